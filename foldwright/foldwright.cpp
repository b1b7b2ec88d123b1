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
    0x25,  // CSIDL_SYSTEM
    0x26,  // CSIDL_PROGRAM_FILES
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
// The shell folders, the profile from the environment, the Windows and
// system directories as the kernel reports them; each as named and as it
// really leads (through links), where the system can tell.
#define PROTECTED_NAME_COUNT (PROTECTED_FOLDER_COUNT + OTHER_BROWSER_FOLDER_COUNT + 3)
#define PROTECTED_PATH_COUNT (2 * PROTECTED_NAME_COUNT)

typedef DWORD (WINAPI *LongPathProc)(LPCSTR shortPath, LPSTR longPath, DWORD size);

// Drops trailing separators; returns the length left.
static int Foldwright_TrimSeparators(char* path)
{
    int length = CleanRules_TrimmedLength(path);
    path[length] = 0;
    return length;
}

// Keeps what a system call wrote only when it fitted.
static void Foldwright_KeepIfFitted(char* path, DWORD written)
{
    if (written == 0 || written >= MAX_PATH)
        path[0] = 0;
}

// One spelling per folder so the rules can compare bytes: long names (where
// the system has GetLongPathNameA, Windows 98 and 2000 on) and upper case.
static void Foldwright_Canonicalise(char* path)
{
    static LongPathProc longPath = (LongPathProc)(void (*)(void))GetProcAddress(
        GetModuleHandleA("kernel32.dll"), "GetLongPathNameA");
    if (!path[0])
        return;
    if (longPath) {
        char full[MAX_PATH];
        DWORD n = longPath(path, full, MAX_PATH);
        if (n > 0 && n < MAX_PATH)
            lstrcpynA(path, full, MAX_PATH);
    }
    CharUpperBuffA(path, lstrlenA(path));
}

static void Foldwright_CollectProtected(int cleaned, char paths[PROTECTED_PATH_COUNT][MAX_PATH])
{
    unsigned i = 0;
    for (; i < PROTECTED_FOLDER_COUNT; i++)
        FolderPaths_Resolve(PROTECTED_FOLDERS[i], paths[i]);
    for (unsigned b = 0; b < sizeof(BROWSER_FOLDERS) / sizeof(BROWSER_FOLDERS[0]); b++)
        if (BROWSER_FOLDERS[b] != cleaned)
            FolderPaths_Resolve(BROWSER_FOLDERS[b], paths[i++]);
    Foldwright_KeepIfFitted(paths[i], GetEnvironmentVariableA("USERPROFILE", paths[i], MAX_PATH));
    i++;
    Foldwright_KeepIfFitted(paths[i], GetWindowsDirectoryA(paths[i], MAX_PATH));
    i++;
    Foldwright_KeepIfFitted(paths[i], GetSystemDirectoryA(paths[i], MAX_PATH));
    for (i = 0; i < PROTECTED_NAME_COUNT; i++) {
        CleanWalk_FinalPath(paths[i], paths[PROTECTED_NAME_COUNT + i]);
        Foldwright_Canonicalise(paths[i]);
        Foldwright_Canonicalise(paths[PROTECTED_NAME_COUNT + i]);
    }
}

// The folder itself must be a real folder, not a link to somewhere else.
static bool Foldwright_IsPlainFolder(const char* path)
{
    DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES &&
           (attributes & FILE_ATTRIBUTE_DIRECTORY) &&
           !(attributes & FILE_ATTRIBUTE_REPARSE_POINT);
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
    char path[MAX_PATH];
    if (!FolderPaths_Resolve(csidl, path))
        return;
    int length = Foldwright_TrimSeparators(path);

    // Where the system can tell, the folder is judged by where it really
    // leads as well as by its name, and the walk checks every entry by it.
    char final[MAX_PATH];
    int finalLength = 0;
    bool knowsFinal = CleanWalk_CanTellFinalPaths();
    if (knowsFinal) {
        if (!CleanWalk_FinalPath(path, final))
            return;
        finalLength = Foldwright_TrimSeparators(final);
    }

    char canonical[MAX_PATH];
    char canonicalFinal[MAX_PATH];
    lstrcpynA(canonical, path, MAX_PATH);
    Foldwright_Canonicalise(canonical);
    lstrcpynA(canonicalFinal, knowsFinal ? final : path, MAX_PATH);
    Foldwright_Canonicalise(canonicalFinal);
    static char protectedPaths[PROTECTED_PATH_COUNT][MAX_PATH];
    Foldwright_CollectProtected(csidl, protectedPaths);
    const char* kept[PROTECTED_PATH_COUNT];
    for (unsigned i = 0; i < PROTECTED_PATH_COUNT; i++)
        kept[i] = protectedPaths[i];
    if (!CleanRules_IsPathCleanable(path, kept, 0) ||
        !CleanRules_IsPathCleanable(canonical, kept, PROTECTED_PATH_COUNT) ||
        !CleanRules_IsPathCleanable(canonicalFinal, kept, PROTECTED_PATH_COUNT))
        return;
    if (!Foldwright_IsPlainFolder(path))
        return;
    CleanWalk_EmptyFolder(path, length, knowsFinal ? final : NULL, finalLength);
}
