// Foldwright.dll: the exports, and the checks that stand between a CSIDL
// number and deleting files.
#include "foldwright.h"

#include <shellapi.h>
#include <shlobj.h>

#include "clean_rules.h"
#include "clean_walk.h"
#include "folder_paths.h"
#include "platform_version.h"

// Shell folders that must never be emptied, nor any folder holding one; the
// browser folders below the Windows folder (as 9x keeps them) are fine.
static const int KEPT_SHELL_FOLDERS[] = {
    CSIDL_PROFILE, CSIDL_WINDOWS, CSIDL_APPDATA, CSIDL_LOCAL_APPDATA,
};
// Nothing at or below these is ever emptied: the user's own files, everyone's,
// and the programs'. A browser folder moved onto one of them is refused.
static const int OFF_LIMITS_SHELL_FOLDERS[] = {
    CSIDL_PROGRAM_FILES, CSIDL_PROGRAM_FILESX86, CSIDL_PERSONAL, CSIDL_DESKTOPDIRECTORY,
    CSIDL_MYPICTURES, CSIDL_MYMUSIC, CSIDL_MYVIDEO, CSIDL_TEMPLATES, CSIDL_STARTMENU, CSIDL_FONTS,
    CSIDL_COMMON_DOCUMENTS, CSIDL_COMMON_PICTURES, CSIDL_COMMON_MUSIC, CSIDL_COMMON_VIDEO,
    CSIDL_COMMON_DESKTOPDIRECTORY, CSIDL_COMMON_STARTMENU, CSIDL_COMMON_APPDATA,
};
// Known folders with no CSIDL number (Vista on): knownfolders.h's
// FOLDERID_Downloads and FOLDERID_UserProfiles, spelled out because libuuid
// keeps all its GUIDs in one object, and linking it would bring every one.
static const GUID FOLDERID_DOWNLOADS =
    {0x374DE290, 0x123F, 0x4565, {0x91, 0x64, 0x39, 0xC4, 0x92, 0x5E, 0x46, 0x7B}};
static const GUID FOLDERID_USER_PROFILES =
    {0x0762D272, 0xC50A, 0x4BB0, {0xA3, 0x82, 0x69, 0x7D, 0xCD, 0x72, 0x9B, 0x80}};

// Program files by the setup's registry values too (the shell has none on
// 95), in the program's own view and in the 64-bit one; and where NT keeps
// the profiles.
static const char CURRENT_VERSION_KEY[] = "Software\\Microsoft\\Windows\\CurrentVersion";
static const char *const PROGRAM_FILES_VALUES[] = {
    "ProgramFilesDir", "ProgramFilesDir (x86)", "ProgramW6432Dir",
};
static const char PROFILE_LIST_KEY[] = "Software\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList";

// Places for the rules, each as named and as it really leads (through links)
// where the system can tell, in one spelling. A list that cannot take a
// place refuses every clean rather than guard less.
#define PLACE_LIST_SIZE 64
struct Foldwright_Places {
    char paths[PLACE_LIST_SIZE][MAX_PATH];
    const char *list[PLACE_LIST_SIZE];
    int count;
    bool full;
};
static Foldwright_Places s_kept, s_offLimits, s_homes, s_own;

typedef DWORD (WINAPI *LongPathProc)(LPCSTR shortPath, LPSTR longPath, DWORD size);
typedef UINT (WINAPI *SystemWow64DirectoryProc)(LPSTR path, UINT size);
typedef BOOL (WINAPI *VolumePathProc)(LPCSTR path, LPSTR volume, DWORD size);

static bool Foldwright_IsLeadByte(unsigned char byte)
{
    return IsDBCSLeadByte(byte) != FALSE;
}

static FARPROC Foldwright_KernelFunction(const char *name)
{
    return GetProcAddress(GetModuleHandleA("kernel32.dll"), name);
}

// One spelling per folder so the rules can compare bytes: long names where
// the system has GetLongPathNameA (98 and 2000 on), short names on 95 and
// NT 4 (the same for every path compared), and upper case.
static void Foldwright_Canonicalise(char *path)
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

// Adds the path a system call wrote, written characters long; a place the
// system does not know (nothing written, or too much) is simply absent.
static void Foldwright_AddPlace(Foldwright_Places *places, const char *path, DWORD written)
{
    if (written == 0 || written >= MAX_PATH || !path[0])
        return;
    if (places->count + 2 > PLACE_LIST_SIZE) {
        places->full = true;
        return;
    }
    char *named = places->paths[places->count];
    char *final = places->paths[places->count + 1];
    lstrcpynA(named, path, MAX_PATH);
    CleanWalk_FinalPath(named, final);
    Foldwright_Canonicalise(named);
    Foldwright_Canonicalise(final);
    places->list[places->count++] = named;
    places->list[places->count++] = final;
}

static void Foldwright_AddShellFolder(Foldwright_Places *places, int csidl)
{
    char path[MAX_PATH];
    FolderPaths_Resolve(csidl, path);
    Foldwright_AddPlace(places, path, lstrlenA(path));
}

static void Foldwright_AddKnownFolder(Foldwright_Places *places, const GUID *id)
{
    char path[MAX_PATH];
    FolderPaths_ResolveKnown(id, path);
    Foldwright_AddPlace(places, path, lstrlenA(path));
}

// A path held in HKLM, with the environment's names expanded.
static void Foldwright_AddRegistryValue(Foldwright_Places *places, const char *keyName,
                                        const char *value, REGSAM view)
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyName, 0, KEY_QUERY_VALUE | view, &key) != ERROR_SUCCESS)
        return;
    char raw[MAX_PATH], path[MAX_PATH];
    DWORD type = 0, size = MAX_PATH - 1;
    bool read = RegQueryValueExA(key, value, NULL, &type, (BYTE*)raw, &size) == ERROR_SUCCESS &&
                (type == REG_SZ || type == REG_EXPAND_SZ);
    RegCloseKey(key);
    raw[read ? size : 0] = 0;
    Foldwright_AddPlace(places, path, read ? ExpandEnvironmentStringsA(raw, path, MAX_PATH) : 0);
}

static void Foldwright_AddSystemFolders(Foldwright_Places *places)
{
    char path[MAX_PATH];
    Foldwright_AddPlace(places, path, GetSystemDirectoryA(path, MAX_PATH));
    SystemWow64DirectoryProc wow64 = (SystemWow64DirectoryProc)(void (*)(void))
        Foldwright_KernelFunction("GetSystemWow64DirectoryA");
    if (wow64)
        Foldwright_AddPlace(places, path, wow64(path, MAX_PATH));
    // How a 32-bit program reaches the 64-bit system folder.
    static const char SYSNATIVE[] = "\\Sysnative";
    UINT length = GetWindowsDirectoryA(path, MAX_PATH);
    if (length > 0 && length + sizeof SYSNATIVE <= MAX_PATH)
        Foldwright_AddPlace(places, lstrcatA(path, SYSNATIVE), length + sizeof SYSNATIVE - 1);
}

// The folders holding the users' profiles, and the user's own profile.
static void Foldwright_CollectHomes(void)
{
    char path[MAX_PATH];
    Foldwright_AddKnownFolder(&s_homes, &FOLDERID_USER_PROFILES);
    Foldwright_AddRegistryValue(&s_homes, PROFILE_LIST_KEY, "ProfilesDirectory", 0);
    Foldwright_AddShellFolder(&s_own, CSIDL_PROFILE);
    Foldwright_AddPlace(&s_own, path, GetEnvironmentVariableA("USERPROFILE", path, MAX_PATH));
    // On NT the folder holding the user's profile holds the others' too,
    // named by the system or not (older NT may not). 9x may keep its profile
    // in the Windows folder, whose folder is no home.
    if (Platform_IsWindows9x() || s_own.count == 0)
        return;
    lstrcpynA(path, s_own.paths[0], MAX_PATH);
    int parent = 0;
    for (int i = 0; path[i]; i++) {
        if (path[i] == '\\' && path[i + 1])
            parent = i;
        else if (IsDBCSLeadByte((BYTE)path[i]) && path[i + 1])
            i++;
    }
    path[parent > 2 ? parent : 3] = 0;
    Foldwright_AddPlace(&s_homes, path, lstrlenA(path));
}

static void Foldwright_Collect(int cleaned)
{
    s_kept.count = s_offLimits.count = s_homes.count = s_own.count = 0;
    s_kept.full = s_offLimits.full = s_homes.full = s_own.full = false;
    char path[MAX_PATH];
    for (int csidl : KEPT_SHELL_FOLDERS)
        Foldwright_AddShellFolder(&s_kept, csidl);
    for (int csidl : BROWSER_FOLDERS)   // cleaning one never reaches into another
        if (csidl != cleaned)
            Foldwright_AddShellFolder(&s_kept, csidl);
    Foldwright_AddPlace(&s_kept, path, GetEnvironmentVariableA("USERPROFILE", path, MAX_PATH));
    Foldwright_AddPlace(&s_kept, path, GetWindowsDirectoryA(path, MAX_PATH));
    for (int csidl : OFF_LIMITS_SHELL_FOLDERS)
        Foldwright_AddShellFolder(&s_offLimits, csidl);
    Foldwright_AddKnownFolder(&s_offLimits, &FOLDERID_DOWNLOADS);
    for (const char *value : PROGRAM_FILES_VALUES) {
        Foldwright_AddRegistryValue(&s_offLimits, CURRENT_VERSION_KEY, value, 0);
        Foldwright_AddRegistryValue(&s_offLimits, CURRENT_VERSION_KEY, value, KEY_WOW64_64KEY);
    }
    Foldwright_AddSystemFolders(&s_offLimits);
    Foldwright_CollectHomes();
}

// Only local fixed disks: a share, a removable medium or a CD is no place the
// user's deletions can be undone, nor one that stays put during the walk.
// From 2000 on a volume may be mounted in a folder, so the disk is the one
// holding the path's volume root. Before 2000 the drive letter is all there
// is, and a mount folder is a reparse point, which the link checks refuse.
static bool Foldwright_IsOnFixedDisk(const char *path)
{
    static VolumePathProc volumePath =
        (VolumePathProc)(void (*)(void))Foldwright_KernelFunction("GetVolumePathNameA");
    char letterRoot[] = {path[0], ':', '\\', 0};
    char volumeRoot[MAX_PATH];
    if (!path[0] || path[1] != ':' || (volumePath && !volumePath(path, volumeRoot, MAX_PATH)))
        return false;
    return GetDriveTypeA(volumePath ? volumeRoot : letterRoot) == DRIVE_FIXED;
}

// Judges the folder in every spelling it has: as resolved, in long (or
// short) form and as it really leads.
static bool Foldwright_IsCleanable(int csidl, const char *path, const char *final)
{
    Foldwright_Collect(csidl);
    if (s_kept.full || s_offLimits.full || s_homes.full || s_own.full)
        return false;
    CleanRules_Places rules = {s_kept.list, s_kept.count, s_offLimits.list, s_offLimits.count,
                               Foldwright_IsLeadByte, s_homes.list, s_homes.count,
                               s_own.list, s_own.count};
    char spellings[3][MAX_PATH];
    lstrcpynA(spellings[0], path, MAX_PATH);
    CharUpperBuffA(spellings[0], lstrlenA(spellings[0]));
    lstrcpynA(spellings[1], path, MAX_PATH);
    Foldwright_Canonicalise(spellings[1]);
    lstrcpynA(spellings[2], final ? final : path, MAX_PATH);
    Foldwright_Canonicalise(spellings[2]);
    for (int s = 0; s < 3; s++)
        if (!Foldwright_IsOnFixedDisk(spellings[s]) || !CleanRules_IsPathCleanable(spellings[s], &rules))
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
    CleanWalk_Top top = {csidl == CSIDL_NUMBER_INTERNET_CACHE ? CleanRules_IsOtherProgramsCacheEntry : NULL,
                         csidl == CSIDL_NUMBER_FAVORITES};
    // Without final paths, a link in a middle part of the path would lead
    // the walk somewhere the rules never judged.
    if ((knowsFinal || !CleanWalk_PathCrossesLink(path)) &&
        Foldwright_IsCleanable(csidl, path, knowsFinal ? final : NULL))
        CleanWalk_EmptyFolder(path, lstrlenA(path), knowsFinal ? final : NULL,
                              knowsFinal ? lstrlenA(final) : 0, &top);
    CleanWalk_ReleaseFolder(held);
}
