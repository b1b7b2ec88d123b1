#include "clean_rules.h"

bool CleanRules_IsCleanableFolder(int csidl)
{
    return csidl == CSIDL_NUMBER_COOKIES || csidl == CSIDL_NUMBER_FAVORITES ||
           csidl == CSIDL_NUMBER_HISTORY || csidl == CSIDL_NUMBER_INTERNET_CACHE;
}

static int TextLength(const char* text)
{
    int n = 0;
    while (text[n])
        n++;
    return n;
}

static bool IsLetter(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

int CleanRules_TrimmedLength(const char* path)
{
    int n = TextLength(path);
    while (n > 0 && path[n - 1] == '\\')
        n--;
    return n;
}

// Where the part below the root starts: after "X:\" or after "\\server\share\";
// -1 when the path has neither form.
static int RootEnd(const char* path)
{
    if (IsLetter(path[0]) && path[1] == ':')
        return path[2] == '\\' ? 3 : (path[2] == 0 ? 2 : -1);
    if (path[0] != '\\' || path[1] != '\\')
        return -1;
    int i = 2;
    int server = i;
    while (path[i] && path[i] != '\\')
        i++;
    if (i == server || path[i] != '\\')
        return -1;
    int share = ++i;
    while (path[i] && path[i] != '\\')
        i++;
    if (i == share)
        return -1;
    return path[i] ? i + 1 : i;
}

// "." and "..", and any name ending in a dot or space, which Win32 trims
// ("Ann\..." names "Ann" itself): the text would no longer say the folder.
static bool IsAliasSegment(const char* segment, int length)
{
    return length > 0 && (segment[length - 1] == '.' || segment[length - 1] == ' ');
}

bool CleanRules_IsPlainAbsolutePath(const char* path)
{
    if (!path || !path[0])
        return false;
    int start = RootEnd(path);
    if (start < 0)
        return false;
    // "\\?\" and "\\.\" parse as a share named "?" or "."; refuse them here.
    if (path[0] == '\\' && (path[2] == '?' || path[2] == '.') && path[3] == '\\')
        return false;
    for (int i = 0; path[i]; i++)
        if (path[i] == '/')
            return false;
    int segment = start;
    for (int i = start;; i++) {
        if (path[i] == '\\' || path[i] == 0) {
            if (IsAliasSegment(path + segment, i - segment))
                return false;
            if (path[i] == 0)
                break;
            segment = i + 1;
        }
    }
    return true;
}

bool CleanRules_IsRoot(const char* path)
{
    int start = RootEnd(path);
    return start >= 0 && CleanRules_TrimmedLength(path) <= start;
}

bool CleanRules_Contains(const char* outer, const char* inner)
{
    int outerLength = CleanRules_TrimmedLength(outer);
    int innerLength = CleanRules_TrimmedLength(inner);
    if (outerLength == 0 || outerLength > innerLength)
        return false;
    for (int i = 0; i < outerLength; i++)
        if (outer[i] != inner[i])
            return false;
    // "C:\Users\Ann" holds "C:\Users\Ann\Cookies", not "C:\Users\Anna".
    return innerLength == outerLength || inner[outerLength] == '\\';
}

bool CleanRules_IsPathCleanable(const char* path, const char* const* protectedPaths, int count)
{
    if (!CleanRules_IsPlainAbsolutePath(path) || CleanRules_IsRoot(path))
        return false;
    for (int i = 0; i < count; i++) {
        const char* kept = protectedPaths[i];
        if (kept && kept[0] && CleanRules_Contains(path, kept))
            return false;
    }
    return true;
}

static bool StartsWith(const char* text, const char* prefix)
{
    for (int i = 0; prefix[i]; i++)
        if (text[i] != prefix[i])
            return false;
    return true;
}

bool CleanRules_PlainFromFinal(const char* final, char* out, int size)
{
    const char* rest = final;
    int written = 0;
    if (StartsWith(final, "\\\\?\\UNC\\")) {
        rest = final + 8;
        out[written++] = '\\';
        out[written++] = '\\';
    } else if (StartsWith(final, "\\\\?\\")) {
        rest = final + 4;
    }
    for (int i = 0; rest[i]; i++) {
        if (written + 1 >= size)
            return false;
        out[written++] = rest[i];
    }
    if (written >= size)
        return false;
    out[written] = 0;
    return written > 0;
}
