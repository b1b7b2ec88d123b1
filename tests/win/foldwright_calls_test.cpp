// Foldwright.dll as the tray program calls it: loaded by name, one call, freed.
// Inspect must bring up a shell folder window for the folder; cleaning over
// and over must leave no handle behind (every folder held is released) and
// the library must leave the process when freed.
#include <windows.h>
#include <stdio.h>

#include "clean_walk.h"
#include "folder_paths.h"
#include "foldwright.h"

static int g_failures;

static void Check(bool ok, const char* what)
{
    printf("%s: %s\n", ok ? "ok" : "FAIL", what);
    if (!ok)
        g_failures++;
}

static bool CallTool(const char* exportName, int csidl)
{
    HMODULE library = LoadLibraryA(FOLDWRIGHT_DLL_NAME);
    if (!library)
        return false;
    FolderToolProc tool = (FolderToolProc)(void (*)(void))GetProcAddress(library, exportName);
    if (tool)
        tool(csidl);
    FreeLibrary(library);
    return tool != NULL;
}

static void WriteFile(const char* path)
{
    HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    DWORD written;
    ::WriteFile(file, "record", 6, &written, NULL);
    CloseHandle(file);
}

static void Populate(const char* folder)
{
    char path[MAX_PATH];
    for (int i = 0; i < 3; i++) {
        snprintf(path, sizeof path, "%s\\record%d.txt", folder, i);
        WriteFile(path);
        snprintf(path, sizeof path, "%s\\nested%d", folder, i);
        CreateDirectoryA(path, NULL);
        snprintf(path, sizeof path, "%s\\nested%d\\deeper", folder, i);
        CreateDirectoryA(path, NULL);
        snprintf(path, sizeof path, "%s\\nested%d\\deeper\\record.txt", folder, i);
        WriteFile(path);
    }
}

static int CountEntries(const char* folder)
{
    char pattern[MAX_PATH];
    snprintf(pattern, sizeof pattern, "%s\\*", folder);
    WIN32_FIND_DATAA entry;
    HANDLE find = FindFirstFileA(pattern, &entry);
    if (find == INVALID_HANDLE_VALUE)
        return -1;
    int count = 0;
    do {
        if (lstrcmpA(entry.cFileName, ".") && lstrcmpA(entry.cFileName, ".."))
            count++;
    } while (FindNextFileA(find, &entry));
    FindClose(find);
    return count;
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
    Check(!CleanWalk_HoldFolder(file, &none) && !CleanWalk_HoldFolder(moved, &none) && !none,
          "a file or a missing name is not held");
    if (!CleanWalk_HoldFolder(held, &handle) || !handle) {
        Check(false, "a plain folder is held");
        return;
    }
    Check(!MoveFileA(held, moved), "a held folder cannot be renamed");
    CleanWalk_ReleaseFolder(handle);
    Check(MoveFileA(held, moved) && MoveFileA(moved, held), "once released it can");
}

static void CheckRepeatedCleaning(void)
{
    char folder[MAX_PATH];
    if (!FolderPaths_Resolve(0x20, folder)) {
        Check(false, "the internet cache folder resolves");
        return;
    }
    Populate(folder);
    CheckHeldFolder(folder);
    CallTool(FOLDWRIGHT_CLEAN, 0x20);   // first use settles what the system keeps
    ULONG_PTR before = NextHandleValue();
    bool allEmptied = true;
    for (int round = 0; round < 10; round++) {
        Populate(folder);
        CallTool(FOLDWRIGHT_CLEAN, 0x20);
        allEmptied = allEmptied && CountEntries(folder) == 0;
    }
    ULONG_PTR after = NextHandleValue();
    printf("next handle before %#lx, after ten cleanings %#lx\n", (unsigned long)before,
           (unsigned long)after);
    Check(allEmptied, "each cleaning empties the folder, which stays");
    Check(after <= before, "cleaning leaves no handle behind");
    Check(GetModuleHandleA(FOLDWRIGHT_DLL_NAME) == NULL, "the library leaves the process when freed");
}

// Finds a visible top-level window of another process titled as the folder.
static HWND FindFolderWindow(const char* title)
{
    HWND window = NULL;
    while ((window = FindWindowExA(NULL, window, NULL, title)) != NULL) {
        DWORD pid = 0;
        GetWindowThreadProcessId(window, &pid);
        if (pid != GetCurrentProcessId() && IsWindowVisible(window))
            return window;
    }
    return NULL;
}

static void CheckInspect(void)
{
    Check(FindFolderWindow("History") == NULL, "no history window before inspecting");
    Check(CallTool(FOLDWRIGHT_INSPECT, -1) && CallTool(FOLDWRIGHT_INSPECT, 9999),
          "inspecting unknown folders returns");
    Check(CallTool(FOLDWRIGHT_INSPECT, 0x22), "inspecting the history folder returns");
    HWND window = NULL;
    for (int i = 0; i < 200 && !window; i++) {
        window = FindFolderWindow("History");
        if (!window)
            Sleep(100);
    }
    Check(window != NULL, "a folder window for the history folder appears");
    if (!window)
        return;
    char className[64] = "";
    GetClassNameA(window, className, sizeof className);
    printf("folder window class %s\n", className);
    // Our request started that viewer: close it, and end it if it lingers.
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, pid);
    PostMessageA(window, WM_CLOSE, 0, 0);
    if (process) {
        if (WaitForSingleObject(process, 10000) != WAIT_OBJECT_0)
            TerminateProcess(process, 0);
        CloseHandle(process);
    }
}

int main()
{
    setvbuf(stdout, NULL, _IONBF, 0);
    CheckRepeatedCleaning();
    CheckInspect();
    printf("%d failed\n", g_failures);
    return g_failures ? 1 : 0;
}
