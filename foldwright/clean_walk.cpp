// Walking a folder on disk: holding, judging and removing its entries.
#include "clean_walk.h"

#include <shellapi.h>

#include "clean_rules.h"
#include "platform_version.h"

typedef DWORD (WINAPI *FinalPathProc)(HANDLE file, LPSTR path, DWORD size, DWORD flags);

static FinalPathProc FinalPathFunction(void)
{
    static FinalPathProc finalPath = (FinalPathProc)(void (*)(void))GetProcAddress(
        GetModuleHandleA("kernel32.dll"), "GetFinalPathNameByHandleA");
    return finalPath;
}

bool CleanWalk_CanTellFinalPaths(void)
{
    return FinalPathFunction() != NULL;
}

static bool IsPlainFolder(DWORD attributes)
{
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) &&
           !(attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

// The link itself is opened, never its target; listing rights count as data
// access, so the missing delete sharing is enforced against later openers.
static HANDLE OpenUnfollowed(const char *path, DWORD access, DWORD share)
{
    return CreateFileA(path, access, share, NULL, OPEN_EXISTING,
                       FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, NULL);
}

bool CleanWalk_HoldFolder(const char *path, HANDLE *held)
{
    *held = NULL;
    if (Platform_IsWindows9x())
        return IsPlainFolder(GetFileAttributesA(path));
    HANDLE folder = OpenUnfollowed(path, FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE);
    if (folder == INVALID_HANDLE_VALUE)
        return false;
    // By the name too, once held: Wine opens a link's target whatever the
    // flags, but still names the link a reparse point.
    BY_HANDLE_FILE_INFORMATION information;
    if (!GetFileInformationByHandle(folder, &information) ||
        !IsPlainFolder(information.dwFileAttributes) || !IsPlainFolder(GetFileAttributesA(path))) {
        CloseHandle(folder);
        return false;
    }
    *held = folder;
    return true;
}

void CleanWalk_ReleaseFolder(HANDLE held)
{
    if (held)
        CloseHandle(held);
}

bool CleanWalk_HeldFinalPath(HANDLE file, char *out)
{
    FinalPathProc finalPath = FinalPathFunction();
    out[0] = 0;
    if (!finalPath || !file)
        return false;
    char raw[MAX_PATH];
    DWORD n = finalPath(file, raw, MAX_PATH, 0);
    return n > 0 && n < MAX_PATH && CleanRules_PlainFromFinal(raw, out, MAX_PATH);
}

static bool StaysInPlace(HANDLE file, const char *expectedFinal)
{
    char actual[MAX_PATH];
    return !expectedFinal ||
           (CleanWalk_HeldFinalPath(file, actual) && lstrcmpiA(actual, expectedFinal) == 0);
}

bool CleanWalk_FinalPath(const char *path, char *out)
{
    out[0] = 0;
    if (!FinalPathFunction())
        return false;
    // No access asked: opening only to ask the name meets no sharing rules.
    HANDLE file = OpenUnfollowed(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    bool known = CleanWalk_HeldFinalPath(file, out);
    CloseHandle(file);
    return known;
}

bool CleanWalk_PathCrossesLink(const char *path)
{
    char part[MAX_PATH];
    for (int i = 3; i < MAX_PATH; i++) {
        if (path[i] == '\\' || path[i] == 0) {
            lstrcpynA(part, path, i + 1);
            DWORD attributes = GetFileAttributesA(part);
            if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_REPARSE_POINT))
                return true;
            if (path[i] == 0)
                return false;
        } else if (IsDBCSLeadByte((BYTE)path[i]) && path[i + 1]) {
            i++;
        }
    }
    return true;
}

static bool IsDotEntry(const char *name)
{
    return name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0));
}

// Appends "\name" to a path buffer; false when it would not fit MAX_PATH.
static bool AppendName(char *path, int length, const char *name, int nameLength)
{
    if (length + 1 + nameLength + 1 > MAX_PATH)
        return false;
    path[length] = '\\';
    for (int i = 0; i <= nameLength; i++)
        path[length + 1 + i] = name[i];
    return true;
}

// A read-only folder is only marked as customised by the shell, so once it is
// empty the flag is cleared (while still held) to let it go, and put back if
// it still stays. A read-only file is left alone: the flag is the user's own.
static void RemoveEmptiedFolder(const char *path, HANDLE held, DWORD attributes)
{
    bool readOnly = (attributes & FILE_ATTRIBUTE_READONLY) != 0;
    if (readOnly)
        SetFileAttributesA(path, attributes & ~FILE_ATTRIBUTE_READONLY);
    CleanWalk_ReleaseFolder(held);
    if (RemoveDirectoryA(path) || !readOnly || !CleanWalk_HoldFolder(path, &held))
        return;
    SetFileAttributesA(path, attributes);
    CleanWalk_ReleaseFolder(held);
}

// Where the system can tell, a name must lead to exactly where it is listed;
// anything else is a link that the system would follow.
static bool NameStaysInPlace(const char *path, const char *expectedFinal)
{
    char actual[MAX_PATH];
    return !expectedFinal || (CleanWalk_FinalPath(path, actual) && lstrcmpiA(actual, expectedFinal) == 0);
}

// Silently, as the program has warned already; but where the bin cannot take
// an entry the shell would destroy it instead (following links, too), so it
// must ask first (shells from 2000 on), over the window the request came
// from, so the question cannot open behind it. Nothing follows whatever the
// outcome: what the bin refuses stays where it is.
static void Recycle(const char *path)
{
    char names[MAX_PATH + 1];  // a list of names, ended by an empty one
    lstrcpynA(names, path, MAX_PATH);
    names[lstrlenA(names) + 1] = 0;
    SHFILEOPSTRUCTA operation;
    operation.hwnd = GetActiveWindow();
    operation.wFunc = FO_DELETE;
    operation.pFrom = names;
    operation.pTo = NULL;
    operation.fFlags = FOF_ALLOWUNDO | FOF_NOCONFIRMATION | FOF_SILENT | FOF_NOERRORUI |
                       FOF_WANTNUKEWARNING;
    operation.fAnyOperationsAborted = FALSE;
    operation.hNameMappings = NULL;
    operation.lpszProgressTitle = NULL;
    SHFileOperationA(&operation);
}

// What the walk does with each entry it meets: erases it, sends it to the
// Recycle Bin, or removes only the links in and below it.
enum EntryFate { FATE_ERASED, FATE_RECYCLED, FATE_UNLINKED };

static bool WalkEntries(char *path, int length, char *final, int finalLength,
                        bool (*keeps)(const char *name), EntryFate fate);

// A link is removed itself whatever the fate: the bin would take it, but a
// shell that failed to would follow it when it deleted instead. False when a
// link may be left in place at or below the entry, as in a folder that
// cannot be entered.
static bool RemoveEntry(char *path, int length, char *final, int finalLength, DWORD listed,
                        EntryFate fate)
{
    if (listed & FILE_ATTRIBUTE_REPARSE_POINT) {
        // The link itself, as the system removes it; its attributes are not
        // touched, since changing them may reach the target.
        if (!NameStaysInPlace(path, final))
            return false;
        return (listed & FILE_ATTRIBUTE_DIRECTORY) ? RemoveDirectoryA(path) != FALSE
                                                   : DeleteFileA(path) != FALSE;
    }
    if (listed & FILE_ATTRIBUTE_DIRECTORY) {
        // Held from here on, the folder cannot be swapped for a link.
        HANDLE held;
        if (!CleanWalk_HoldFolder(path, &held))
            return false;
        if (!StaysInPlace(held, final)) {
            CleanWalk_ReleaseFolder(held);
            return false;
        }
        if (fate == FATE_ERASED) {
            bool linkFree = WalkEntries(path, length, final, finalLength, NULL, FATE_ERASED);
            RemoveEmptiedFolder(path, held, listed);
            return linkFree;
        }
        // The bin moves the folder whole, its links with it, never into them.
        // But the 2000 and XP shells follow junctions when they erase the bin
        // later on, and they are the ones without final paths: there the
        // links go first, and a folder that may keep one stays.
        bool linkFree = final || WalkEntries(path, length, NULL, 0, NULL, FATE_UNLINKED);
        // The bin cannot take the folder while it is held.
        CleanWalk_ReleaseFolder(held);
        if (fate == FATE_RECYCLED && linkFree)
            Recycle(path);
        return linkFree;
    }
    if (fate == FATE_UNLINKED)
        return true;
    // Look again right before acting: an entry that became a folder or a
    // link since it was listed is left alone.
    DWORD attributes = GetFileAttributesA(path);
    if (attributes != INVALID_FILE_ATTRIBUTES &&
        !(attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) &&
        NameStaysInPlace(path, final)) {
        if (fate == FATE_RECYCLED)
            Recycle(path);
        else
            DeleteFileA(path);
    }
    return true;
}

// The entries of path, but those kept; false when a link may be left in place.
static bool WalkEntries(char *path, int length, char *final, int finalLength,
                        bool (*keeps)(const char *name), EntryFate fate)
{
    if (!AppendName(path, length, "*", 1))
        return false;
    bool linkFree = true;
    WIN32_FIND_DATAA entry;
    HANDLE find = FindFirstFileA(path, &entry);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            if (IsDotEntry(entry.cFileName) || (keeps && keeps(entry.cFileName)))
                continue;
            int nameLength = lstrlenA(entry.cFileName);
            // Longer than the ANSI calls take: leave it rather than guess.
            if (!AppendName(path, length, entry.cFileName, nameLength) ||
                (final && !AppendName(final, finalLength, entry.cFileName, nameLength))) {
                linkFree = false;
                continue;
            }
            linkFree = RemoveEntry(path, length + 1 + nameLength, final, finalLength + 1 + nameLength,
                                   entry.dwFileAttributes, fate) && linkFree;
            if (final)
                final[finalLength] = 0;
        } while (FindNextFileA(find, &entry));
        FindClose(find);
    }
    path[length] = 0;
    return linkFree;
}

void CleanWalk_EmptyFolder(char *path, int length, char *final, int finalLength,
                           const CleanWalk_Top *top)
{
    WalkEntries(path, length, final, finalLength, top ? top->keeps : NULL,
                top && top->recycles ? FATE_RECYCLED : FATE_ERASED);
}
