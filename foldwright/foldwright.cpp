// Foldwright.dll: the exports, and the checks that stand between a CSIDL
// number and deleting files.
#include "foldwright.h"

#include <shellapi.h>

#include "clean_rules.h"
#include "clean_walk.h"
#include "folder_paths.h"

// Shell folders that must never be emptied, nor any folder holding one.
static const int PROTECTED_FOLDERS[] = {
    0x28,  // CSIDL_PROFILE
    0x24,  // CSIDL_WINDOWS
    0x05,  // CSIDL_PERSONAL
    0x10,  // CSIDL_DESKTOPDIRECTORY
    0x1A,  // CSIDL_APPDATA
    0x1C,  // CSIDL_LOCAL_APPDATA
};
#define PROTECTED_FOLDER_COUNT (sizeof(PROTECTED_FOLDERS) / sizeof(PROTECTED_FOLDERS[0]))
// Cleaning one browser folder never reaches into another.
static const int BROWSER_FOLDERS[] = {
    CSIDL_NUMBER_COOKIES, CSIDL_NUMBER_FAVORITES, CSIDL_NUMBER_HISTORY, CSIDL_NUMBER_INTERNET_CACHE,
};
#define OTHER_BROWSER_FOLDER_COUNT 3
// The shell folders, the other browser folders, the profile from the
// environment and the Windows directory as the kernel reports it.
#define KEPT_NAME_COUNT (PROTECTED_FOLDER_COUNT + OTHER_BROWSER_FOLDER_COUNT + 2)

// Nothing at or below these is ever emptied. Program files by the shell
// where it knows them (not on 95) and by the setup's registry values, in the
// program's own view and in the 64-bit one; the system folder for 32 and 64
// bits ("Sysnative" is how a 32-bit program reaches the 64-bit one).
static const char CURRENT_VERSION_KEY[] = "Software\\Microsoft\\Windows\\CurrentVersion";
static const char* const PROGRAM_FILES_VALUES[] = {
    "ProgramFilesDir", "ProgramFilesDir (x86)", "ProgramW6432Dir",
};
#define PROGRAM_FILES_VALUE_COUNT 3
#define REGISTRY_VIEW_64 0x0100  // KEY_WOW64_64KEY
#define OFF_LIMITS_NAME_COUNT (2 + 2 * PROGRAM_FILES_VALUE_COUNT + 3)

// Each place as named, then each as it really leads (through links), where
// the system can tell.
static char g_kept[2 * KEPT_NAME_COUNT][MAX_PATH];
static char g_offLimits[2 * OFF_LIMITS_NAME_COUNT][MAX_PATH];

typedef DWORD (WINAPI *LongPathProc)(LPCSTR shortPath, LPSTR longPath, DWORD size);
typedef UINT (WINAPI *SystemWow64DirectoryProc)(LPSTR path, UINT size);

static bool Foldwright_IsLeadByte(unsigned char byte)
{
    return IsDBCSLeadByte(byte) != FALSE;
}

// Keeps what a system call wrote only when it fitted.
static void Foldwright_KeepIfFitted(char* path, DWORD written)
{
    if (written == 0 || written >= MAX_PATH)
        path[0] = 0;
}

static FARPROC Foldwright_KernelFunction(const char* name)
{
    return GetProcAddress(GetModuleHandleA("kernel32.dll"), name);
}

// One spelling per folder so the rules can compare bytes: long names where
// the system has GetLongPathNameA (98 and 2000 on), short names on 95 and
// NT 4 (the same for every path compared), and upper case.
static void Foldwright_Canonicalise(char* path)
{
    static LongPathProc longPath =
        (LongPathProc)(void (*)(void))Foldwright_KernelFunction("GetLongPathNameA");
    if (!path[0])
        return;
    char other[MAX_PATH];
    DWORD n = longPath ? longPath(path, other, MAX_PATH) : GetShortPathNameA(path, other, MAX_PATH);
    if (n > 0 && n < MAX_PATH)
        lstrcpynA(path, other, MAX_PATH);
    CharUpperBuffA(path, lstrlenA(path));
}

static void Foldwright_ReadProgramFiles(REGSAM view, char paths[][MAX_PATH])
{
    HKEY key;
    bool opened = RegOpenKeyExA(HKEY_LOCAL_MACHINE, CURRENT_VERSION_KEY, 0,
                                KEY_QUERY_VALUE | view, &key) == ERROR_SUCCESS;
    for (int i = 0; i < PROGRAM_FILES_VALUE_COUNT; i++) {
        DWORD type = 0, size = MAX_PATH - 1;
        bool read = opened &&
                    RegQueryValueExA(key, PROGRAM_FILES_VALUES[i], NULL, &type, (BYTE*)paths[i],
                                     &size) == ERROR_SUCCESS && type == REG_SZ;
        paths[i][read ? size : 0] = 0;
    }
    if (opened)
        RegCloseKey(key);
}

static void Foldwright_CollectKept(int cleaned)
{
    unsigned i = 0;
    for (; i < PROTECTED_FOLDER_COUNT; i++)
        FolderPaths_Resolve(PROTECTED_FOLDERS[i], g_kept[i]);
    for (unsigned b = 0; b < sizeof(BROWSER_FOLDERS) / sizeof(BROWSER_FOLDERS[0]); b++)
        if (BROWSER_FOLDERS[b] != cleaned)
            FolderPaths_Resolve(BROWSER_FOLDERS[b], g_kept[i++]);
    Foldwright_KeepIfFitted(g_kept[i], GetEnvironmentVariableA("USERPROFILE", g_kept[i], MAX_PATH));
    i++;
    Foldwright_KeepIfFitted(g_kept[i], GetWindowsDirectoryA(g_kept[i], MAX_PATH));
}

static void Foldwright_CollectOffLimits(void)
{
    char (*paths)[MAX_PATH] = g_offLimits;
    FolderPaths_Resolve(0x26, paths[0]);  // CSIDL_PROGRAM_FILES
    FolderPaths_Resolve(0x2A, paths[1]);  // CSIDL_PROGRAM_FILESX86
    Foldwright_ReadProgramFiles(0, paths + 2);
    Foldwright_ReadProgramFiles(REGISTRY_VIEW_64, paths + 2 + PROGRAM_FILES_VALUE_COUNT);
    paths += 2 + 2 * PROGRAM_FILES_VALUE_COUNT;
    Foldwright_KeepIfFitted(paths[0], GetSystemDirectoryA(paths[0], MAX_PATH));
    SystemWow64DirectoryProc wow64 = (SystemWow64DirectoryProc)(void (*)(void))
        Foldwright_KernelFunction("GetSystemWow64DirectoryA");
    paths[1][0] = 0;
    if (wow64)
        Foldwright_KeepIfFitted(paths[1], wow64(paths[1], MAX_PATH));
    static const char SYSNATIVE[] = "\\Sysnative";
    UINT length = GetWindowsDirectoryA(paths[2], MAX_PATH);
    if (length > 0 && length + sizeof SYSNATIVE <= MAX_PATH)
        lstrcatA(paths[2], SYSNATIVE);
    else
        paths[2][0] = 0;
}

// Adds where each of the count names really leads after them, brings all to
// one spelling and lists them for the rules.
static void Foldwright_CompletePlaces(char paths[][MAX_PATH], unsigned count, const char** list)
{
    for (unsigned i = 0; i < count; i++) {
        CleanWalk_FinalPath(paths[i], paths[count + i]);
        Foldwright_Canonicalise(paths[i]);
        Foldwright_Canonicalise(paths[count + i]);
        list[i] = paths[i];
        list[count + i] = paths[count + i];
    }
}

// Judges the folder in every spelling it has: as resolved, in long (or
// short) form and as it really leads.
static bool Foldwright_IsCleanable(int csidl, const char* path, const char* final)
{
    const char* kept[2 * KEPT_NAME_COUNT];
    const char* offLimits[2 * OFF_LIMITS_NAME_COUNT];
    Foldwright_CollectKept(csidl);
    Foldwright_CompletePlaces(g_kept, KEPT_NAME_COUNT, kept);
    Foldwright_CollectOffLimits();
    Foldwright_CompletePlaces(g_offLimits, OFF_LIMITS_NAME_COUNT, offLimits);
    CleanRules_Places rules = {kept, 2 * KEPT_NAME_COUNT, offLimits, 2 * OFF_LIMITS_NAME_COUNT,
                               Foldwright_IsLeadByte};
    char spellings[3][MAX_PATH];
    lstrcpynA(spellings[0], path, MAX_PATH);
    CharUpperBuffA(spellings[0], lstrlenA(spellings[0]));
    lstrcpynA(spellings[1], path, MAX_PATH);
    Foldwright_Canonicalise(spellings[1]);
    lstrcpynA(spellings[2], final ? final : path, MAX_PATH);
    Foldwright_Canonicalise(spellings[2]);
    for (int s = 0; s < 3; s++)
        if (!CleanRules_IsPathCleanable(spellings[s], &rules))
            return false;
    return true;
}

extern "C" BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID reserved)
{
    (void)reserved;
    if (reason == DLL_PROCESS_ATTACH)
        DisableThreadLibraryCalls(module);
    return TRUE;
}

extern "C" void WINAPI HLInspectFolder(int csidl)
{
    char path[MAX_PATH];
    if (!FolderPaths_Resolve(csidl, path))
        return;
    // "explore" gives the folder view with its tree; fall back to "open" where
    // the folder class has no such verb.
    if ((INT_PTR)ShellExecuteA(NULL, "explore", path, NULL, NULL, SW_SHOWNORMAL) <= 32)
        ShellExecuteA(NULL, "open", path, NULL, NULL, SW_SHOWNORMAL);
}

extern "C" void WINAPI HLCleanFolder(int csidl)
{
    if (!CleanRules_IsCleanableFolder(csidl))
        return;
    char resolved[MAX_PATH];
    char path[MAX_PATH];
    if (!FolderPaths_Resolve(csidl, resolved) ||
        !CleanRules_Normalise(resolved, path, MAX_PATH, Foldwright_IsLeadByte))
        return;
    // From here until the end the folder cannot be renamed or replaced, so
    // the path judged below is the folder emptied.
    HANDLE held;
    if (!CleanWalk_HoldFolder(path, &held))
        return;
    // Where the system can tell, the folder is judged by where it really
    // leads as well as by its name, and the walk checks every entry by it.
    char final[MAX_PATH];
    bool knowsFinal = CleanWalk_CanTellFinalPaths();
    char finalRaw[MAX_PATH];
    if (knowsFinal && (!CleanWalk_HeldFinalPath(held, finalRaw) ||
                       !CleanRules_Normalise(finalRaw, final, MAX_PATH, Foldwright_IsLeadByte))) {
        CleanWalk_ReleaseFolder(held);
        return;
    }
    if (Foldwright_IsCleanable(csidl, path, knowsFinal ? final : NULL))
        CleanWalk_EmptyFolder(path, lstrlenA(path), knowsFinal ? final : NULL,
                              knowsFinal ? lstrlenA(final) : 0);
    CleanWalk_ReleaseFolder(held);
}
