#include "clean_walk.h"

#include <windows.h>

#include "clean_rules.h"

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

bool CleanWalk_FinalPath(const char* path, char* out)
{
    FinalPathProc finalPath = FinalPathFunction();
    out[0] = 0;
    if (!finalPath)
        return false;
    // No access asked: opening only to ask the name meets no sharing rules.
    HANDLE file = CreateFileA(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              NULL, OPEN_EXISTING,
                              FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    char raw[MAX_PATH];
    DWORD n = finalPath(file, raw, MAX_PATH, 0);
    CloseHandle(file);
    if (n == 0 || n >= MAX_PATH)
        return false;
    return CleanRules_PlainFromFinal(raw, out, MAX_PATH);
}

static bool IsDotEntry(const char* name)
{
    return name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0));
}

// Appends "\name" to a path buffer; false when it would not fit MAX_PATH.
static bool AppendName(char* path, int length, const char* name, int nameLength)
{
    if (length + 1 + nameLength + 1 > MAX_PATH)
        return false;
    path[length] = '\\';
    for (int i = 0; i <= nameLength; i++)
        path[length + 1 + i] = name[i];
    return true;
}

// A read-only file is left alone: the flag is the user's own "keep this".
// A read-only folder is only marked as customised by the shell, so once it is
// empty the flag is cleared to let it go, and put back if it still stays.
static void RemoveEmptiedFolder(const char* path, DWORD attributes)
{
    if (RemoveDirectoryA(path) || !(attributes & FILE_ATTRIBUTE_READONLY))
        return;
    if (!SetFileAttributesA(path, attributes & ~FILE_ATTRIBUTE_READONLY))
        return;
    if (!RemoveDirectoryA(path))
        SetFileAttributesA(path, attributes);
}

// Where the system can tell, the entry must lead to exactly where it is
// listed; anything else is a link that the system would follow.
static bool StaysInPlace(const char* path, const char* expectedFinal)
{
    if (!expectedFinal)
        return true;
    char actual[MAX_PATH];
    return CleanWalk_FinalPath(path, actual) && lstrcmpiA(actual, expectedFinal) == 0;
}

static void RemoveEntry(char* path, int length, char* final, int finalLength, DWORD listedAttributes)
{
    if (!StaysInPlace(path, final))
        return;
    // Look again right before acting, so an entry swapped for a link since it
    // was listed is still treated as a link.
    DWORD attributes = GetFileAttributesA(path);
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return;
    bool folder = ((attributes | listedAttributes) & FILE_ATTRIBUTE_DIRECTORY) != 0;
    if ((attributes | listedAttributes) & FILE_ATTRIBUTE_REPARSE_POINT) {
        // The link itself, as the system removes it; its attributes are not
        // touched, since changing them may reach the target.
        if (folder)
            RemoveDirectoryA(path);
        else
            DeleteFileA(path);
        return;
    }
    if (folder) {
        CleanWalk_EmptyFolder(path, length, final, finalLength);
        RemoveEmptiedFolder(path, attributes);
        return;
    }
    DeleteFileA(path);
}

void CleanWalk_EmptyFolder(char* path, int length, char* final, int finalLength)
{
    if (!AppendName(path, length, "*", 1))
        return;
    WIN32_FIND_DATAA entry;
    HANDLE find = FindFirstFileA(path, &entry);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            if (IsDotEntry(entry.cFileName))
                continue;
            int nameLength = lstrlenA(entry.cFileName);
            // Longer than the ANSI calls take: leave it rather than guess.
            if (!AppendName(path, length, entry.cFileName, nameLength))
                continue;
            if (final && !AppendName(final, finalLength, entry.cFileName, nameLength))
                continue;
            RemoveEntry(path, length + 1 + nameLength, final,
                        finalLength + 1 + nameLength, entry.dwFileAttributes);
            if (final)
                final[finalLength] = 0;
        } while (FindNextFileA(find, &entry));
        FindClose(find);
    }
    path[length] = 0;
}
