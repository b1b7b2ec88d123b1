// Drives Foldwright.dll for the tests: for tests/wine/foldwright_clean.sh, which
// prepares the folders from the Unix side (links need `ln -s` under Wine) and
// judges the results there, and records_tools.sh's paths and close. The commands:
static const char USAGE[] =
    "usage: foldwright_driver COMMAND ARGUMENTS..., one of\n"
    "  paths [CSIDL...]             csidl|path|Unix path, one line per folder (the browser's by default)\n"
    "  clean CSIDL...               HLCleanFolder on each, in order\n"
    "  hold WINPATH CSIDL           clean CSIDL while WINPATH is open without share-delete\n"
    "  redirect CSIDL NAME=VALUE... point the user's shell folders NAME at VALUE (@profile, @windows,\n"
    "                               @system, @programfiles: those folders), check the shell honours\n"
    "                               the first, clean CSIDL, put them back\n"
    "  crosses PATH                 succeeds when a part of PATH is a link (as judged before Vista)\n"
    "  recycle WINPATH              empty WINPATH into the Recycle Bin as the favourites are before\n"
    "                               Vista, where no final path is known\n"
    "  close TITLE                  close another process's window so titled, and wait for it to end\n"
    "  calls                        foldwright_calls_test: inspect opens a folder window; cleaning over\n"
    "                               and over empties the folder, leaves no handle behind and frees the\n"
    "                               library; a held folder cannot be renamed\n";
#include "win_check.h"
#include <shlwapi.h>
#include <stdlib.h>
#include <string.h>

#include "clean_walk.h"
#include "folder_paths.h"
#include "foldwright.h"

static int Fail(const char* what)
{
    printf("FAIL: %s (error %lu)\n", what, GetLastError());
    return 1;
}

static int CallTool(const char* exportName, int csidl)
{
    HMODULE library = LoadLibraryA(FOLDWRIGHT_DLL_NAME);
    FolderToolProc tool = library ? (FolderToolProc)(void (*)(void))GetProcAddress(library, exportName) : NULL;
    int result = tool ? 0 : Fail(library ? "export missing" : "Foldwright.dll does not load");
    if (tool) {
        tool(csidl);
        printf("%s(%#x) returned\n", exportName, csidl);
    }
    FreeLibrary(library);   // refuses NULL harmlessly
    return result;
}

static int PrintPaths(int count, char** numbers)
{
    auto unixName = (char* (CDECL*)(LPCWSTR dosName))(void (*)(void))GetProcAddress(
        GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name");
    if (!unixName)
        return Fail("not running under Wine");
    for (int i = 0; i < (count ? count : BROWSER_FOLDER_COUNT); i++) {
        char path[MAX_PATH];
        int csidl = count ? (int)strtol(numbers[i], NULL, 0) : BROWSER_FOLDERS[i];
        if (!FolderPaths_Resolve(csidl, path))
            return Fail("a folder does not resolve");
        WCHAR wide[MAX_PATH];
        MultiByteToWideChar(CP_ACP, 0, path, -1, wide, MAX_PATH);
        const char* unixPath = unixName(wide);
        if (!unixPath)
            return Fail("no Unix name");
        printf("%d|%s|%s\n", csidl, path, unixPath);
    }
    return 0;
}

// "@profile", "@windows", "@system" and "@programfiles", alone or before
// "\\name", stand for those folders' real paths.
static bool RedirectTarget(const char* value, char* out)
{
    static const struct { const char* name; int csidl; } places[] = {
        {"@profile", 0x28}, {"@windows", 0x24}, {"@system", 0x25}, {"@programfiles", 0x26}};
    for (auto& place : places) {
        size_t n = strlen(place.name);
        if (!strncmp(value, place.name, n) && (value[n] == 0 || value[n] == '\\'))
            return FolderPaths_Resolve(place.csidl, out) && strlen(out) + strlen(value + n) < MAX_PATH &&
                   strcat(out, value + n);
    }
    lstrcpynA(out, value, MAX_PATH);
    return true;
}

#define MAX_REDIRECTS 4

// A shell folder value as it was before, to be put back.
struct SavedValue {
    HKEY key;
    char name[64];
    bool present;
    DWORD type, size;
    char data[MAX_PATH * 2];
};

// Each NAME=VALUE is set in both the user's and the resolved shell folder keys.
static int Redirect(int csidl, int count, char** pairs)
{
    HKEY keys[2];
    if (count > MAX_REDIRECTS ||
        RegCreateKeyA(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User "
                      "Shell Folders", &keys[0]) != ERROR_SUCCESS ||
        RegCreateKeyA(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell "
                      "Folders", &keys[1]) != ERROR_SUCCESS)
        return Fail("cannot open the shell folder keys");
    char values[MAX_REDIRECTS][MAX_PATH];
    SavedValue saved[2 * MAX_REDIRECTS];
    int result = 0, set = 0;
    for (; set < 2 * count; set++) {
        const char *pair = pairs[set / 2], *equals = strchr(pair, '=');
        char* value = values[set / 2];
        SavedValue& s = saved[set];
        if (!equals || equals - pair >= 64 || !RedirectTarget(equals + 1, value)) {
            result = Fail("bad NAME=VALUE");
            break;
        }
        s.key = keys[set % 2];
        lstrcpynA(s.name, pair, (int)(equals - pair) + 1);
        s.size = sizeof s.data;
        s.present = RegQueryValueExA(s.key, s.name, NULL, &s.type, (BYTE*)s.data, &s.size) == ERROR_SUCCESS;
        RegSetValueExA(s.key, s.name, 0, REG_SZ, (const BYTE*)value, (DWORD)strlen(value) + 1);
    }
    char resolved[MAX_PATH];
    if (result == 0 && (!FolderPaths_Resolve(csidl, resolved) || lstrcmpiA(resolved, values[0]) != 0)) {
        printf("FAIL: the shell resolves %#x to '%s', not '%s'\n", csidl, resolved, values[0]);
        result = 1;
    } else if (result == 0) {
        printf("%s now resolves to %s\n", saved[0].name, resolved);
        result = CallTool(FOLDWRIGHT_CLEAN, csidl);
    }
    for (SavedValue* s = saved + set; s-- > saved;)
        s->present ? RegSetValueExA(s->key, s->name, 0, s->type, (const BYTE*)s->data, s->size)
                   : RegDeleteValueA(s->key, s->name);
    RegCloseKey(keys[0]);
    RegCloseKey(keys[1]);
    return result;
}

static int RecycleWithoutFinalPaths(const char* folder)
{
    char path[MAX_PATH];
    HANDLE held;
    lstrcpynA(path, folder, MAX_PATH);
    if (!CleanWalk_HoldFolder(path, &held))
        return Fail("cannot hold the folder");
    CleanWalk_Top favourites = {NULL, true};
    CleanWalk_EmptyFolder(path, lstrlenA(path), NULL, 0, &favourites);
    CleanWalk_ReleaseFolder(held);
    return 0;
}

// A folder window is closed as its user would: a killed viewer stays on the
// shell's list of open windows, and Wine's next viewer for that folder then
// hands over to it and quits.
static int CloseWindowTitled(const char* title)
{
    HWND window = Window_NotOurs(NULL, title);
    if (!window)
        return Fail("no such window");
    PROCESS_INFORMATION viewer = {OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE | PROCESS_QUERY_INFORMATION,
                                              FALSE, Window_Process(window))};
    PostMessageA(window, WM_CLOSE, 0, 0);
    if (viewer.hProcess && Process_WaitExit(viewer, 10000) == -1)
        return Fail("the window's process did not end on WM_CLOSE");
    return 0;
}

// Three records and three nested folders with a record at the bottom.
static void Populate(const char* folder)
{
    static const char* const names[] = {"%s\\nested%d", "%s\\nested%d\\deeper", "%s\\record%d.txt",
                                        "%s\\nested%d\\deeper\\record.txt"};
    char path[MAX_PATH];
    for (int i = 0; i < 3; i++)
        for (int n = 0; n < 4; n++) {
            snprintf(path, sizeof path, names[n], folder, i);
            if (n < 2)
                CreateDirectoryA(path, NULL);
            else
                CloseHandle(CreateFileA(path, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL));
        }
}

// The value the next new handle gets. The system hands out the lowest free
// slot (Wine's GetProcessHandleCount is a stub), so a handle left open by a
// call shows as a higher value afterwards.
static ULONG_PTR NextHandleValue(void)
{
    HANDLE probe = CreateEventA(NULL, FALSE, FALSE, NULL);
    CloseHandle(probe);
    return (ULONG_PTR)probe;
}

// While the walk holds a folder nobody can rename it away (and put a link in
// its place); a file or a missing name is no folder to hold.
static void CheckHeldFolder(const char* folder)
{
    char held[MAX_PATH], moved[MAX_PATH], file[MAX_PATH];
    snprintf(held, sizeof held, "%s\\nested0", folder);
    snprintf(moved, sizeof moved, "%s\\moved", folder);
    snprintf(file, sizeof file, "%s\\record0.txt", folder);
    HANDLE handle = NULL, none = NULL;
    CHECK(!CleanWalk_HoldFolder(file, &none) && !CleanWalk_HoldFolder(moved, &none) && !none,
          "a file or a missing name is not held");
    if (!CHECK(CleanWalk_HoldFolder(held, &handle) && handle, "a plain folder is held"))
        return;
    CHECK(!MoveFileA(held, moved), "a held folder cannot be renamed");
    CleanWalk_ReleaseFolder(handle);
    CHECK(MoveFileA(held, moved) && MoveFileA(moved, held), "once released it can");
}

static void CheckRepeatedCleaning(void)
{
    char folder[MAX_PATH];
    if (!CHECK(FolderPaths_Resolve(CSIDL_NUMBER_INTERNET_CACHE, folder), "the internet cache folder resolves"))
        return;
    Populate(folder);
    CheckHeldFolder(folder);
    CallTool(FOLDWRIGHT_CLEAN, CSIDL_NUMBER_INTERNET_CACHE);   // first use settles what the system keeps
    ULONG_PTR before = NextHandleValue();
    bool allEmptied = true;
    for (int round = 0; round < 10; round++) {
        Populate(folder);
        CallTool(FOLDWRIGHT_CLEAN, CSIDL_NUMBER_INTERNET_CACHE);
        allEmptied = allEmptied && PathIsDirectoryEmptyA(folder);
    }
    ULONG_PTR after = NextHandleValue();
    CHECK(allEmptied, "each cleaning empties the folder, which stays");
    CHECK(after <= before, "cleaning leaves no handle behind: next handle %#lx before, %#lx after ten "
          "cleanings", (unsigned long)before, (unsigned long)after);
    CHECK(GetModuleHandleA(FOLDWRIGHT_DLL_NAME) == NULL, "the library leaves the process when freed");
}

static void CheckInspect(void)
{
    CHECK(FindWindowA(NULL, "History") == NULL, "no history window before inspecting");
    CHECK(!CallTool(FOLDWRIGHT_INSPECT, -1) && !CallTool(FOLDWRIGHT_INSPECT, 9999),
          "inspecting unknown folders returns");
    CHECK(!CallTool(FOLDWRIGHT_INSPECT, CSIDL_NUMBER_HISTORY), "inspecting the history folder returns");
    HWND window = NULL;
    CHECK(WaitFor([&] { return (window = FindWindowA(NULL, "History")) && IsWindowVisible(window); }, 20000),
          "a folder window for the history folder appears");
    if (window)  // our request started that viewer: close it
        CHECK(!CloseWindowTitled("History"), "the folder window closes");
}

int main(int argc, char** argv)
{
    Check_Begin();
    const char* command = argc >= 2 ? argv[1] : "";
    if (!strcmp(command, "paths"))
        return PrintPaths(argc - 2, argv + 2);
    if (argc >= 3 && !strcmp(command, "clean")) {
        for (int i = 2; i < argc; i++)
            if (CallTool(FOLDWRIGHT_CLEAN, (int)strtol(argv[i], NULL, 0)))
                return 1;
        return 0;
    }
    if (argc == 4 && !strcmp(command, "hold")) {   // read and write sharing only, as a program using it would
        HANDLE held = CreateFileA(argv[2], GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_EXISTING, 0, NULL);
        if (held == INVALID_HANDLE_VALUE)
            return Fail("cannot open the file to hold");
        int result = CallTool(FOLDWRIGHT_CLEAN, (int)strtol(argv[3], NULL, 0));
        CloseHandle(held);
        return result;
    }
    if (argc >= 4 && !strcmp(command, "redirect"))
        return Redirect((int)strtol(argv[2], NULL, 0), argc - 3, argv + 3);
    if (argc == 3 && !strcmp(command, "crosses"))
        return CleanWalk_PathCrossesLink(argv[2]) ? 0 : 1;
    if (argc == 3 && !strcmp(command, "recycle"))
        return RecycleWithoutFinalPaths(argv[2]);
    if (argc == 3 && !strcmp(command, "close"))
        return CloseWindowTitled(argv[2]);
    if (argc == 2 && !strcmp(command, "calls")) {
        CheckRepeatedCleaning();
        CheckInspect();
        return Check_End();
    }
    printf("%s", USAGE);
    return 2;
}
