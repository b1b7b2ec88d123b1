// The folder-cleaning decisions: one spelling per path, and where a path may not be emptied.
#include "clean_rules.h"

bool CleanRules_IsCleanableFolder(int csidl)
{
    for (int browserFolder : BROWSER_FOLDERS)
        if (csidl == browserFolder)
            return true;
    return false;
}

static bool IsLetter(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

static bool IsSeparator(char c)
{
    return c == '\\' || c == '/';
}

// ":" would name a stream of the folder ("X::$INDEX_ALLOCATION" is X itself).
static bool IsForbiddenInName(char c)
{
    return c == ':' || c == '*' || c == '?' || c == '"' || c == '<' || c == '>' || c == '|' ||
           (c > 0 && c < ' ');
}

// The spelling behind CleanRules_Normalise; upper also folds ASCII letters
// (never the second byte of a character), and depth counts the names.
static bool Spell(const char *path, char *out, int size, CleanRules_LeadByteTest isLeadByte,
                  bool upper, int *depth)
{
    if (!path || size < 4)
        return false;
    int i = 0, o = 0;
    bool share = false;
    if (IsLetter(path[0]) && path[1] == ':' && IsSeparator(path[2])) {
        out[o++] = upper && path[0] >= 'a' ? (char)(path[0] - 'a' + 'A') : path[0];
        out[o++] = ':';
        out[o++] = '\\';
        i = 3;
    } else if (IsSeparator(path[0]) && IsSeparator(path[1])) {
        if ((path[2] == '?' || path[2] == '.') && IsSeparator(path[3]))
            return false;
        out[o++] = '\\';
        out[o++] = '\\';
        i = 2;
        share = true;
    } else {
        return false;
    }
    int names = 0;
    for (;;) {
        while (IsSeparator(path[i]))
            i++;
        if (!path[i])
            break;
        if (names > 0) {
            if (o + 2 >= size)
                return false;
            out[o++] = '\\';
        }
        int start = o;
        while (path[i] && !IsSeparator(path[i])) {
            unsigned char c = (unsigned char)path[i];
            int width = isLeadByte && isLeadByte(c) && path[i + 1] ? 2 : 1;
            if (width == 1 && IsForbiddenInName((char)c))
                return false;
            if (o + width + 1 >= size)
                return false;
            out[o++] = (upper && width == 1 && c >= 'a' && c <= 'z') ? (char)(c - 'a' + 'A') : (char)c;
            if (width == 2)
                out[o++] = path[++i];
            i++;
        }
        // No second byte is a dot or a space, so trimming from the end is safe.
        while (o > start && (out[o - 1] == '.' || out[o - 1] == ' '))
            o--;
        if (o == start)
            return false;
        names++;
    }
    if (share && names < 2)
        return false;
    out[o] = 0;
    *depth = share ? names - 2 : names;
    return true;
}

bool CleanRules_Normalise(const char *path, char *out, int size, CleanRules_LeadByteTest isLeadByte)
{
    int depth;
    return Spell(path, out, size, isLeadByte, false, &depth);
}

// True when outer names the same folder as inner or one of its ancestors;
// both in one spelling.
static bool Contains(const char *outer, const char *inner)
{
    int n = 0;
    for (; outer[n]; n++)
        if (outer[n] != inner[n])
            return false;
    // "C:\Users\Ann" holds "C:\Users\Ann\Cookies", not "C:\Users\Anna".
    return inner[n] == 0 || inner[n] == '\\' || outer[n - 1] == '\\';
}

// Does the place, spelt as the path is, meet the path?
static bool Meets(const char *place, const char *spelt, bool below, CleanRules_LeadByteTest isLeadByte)
{
    char key[CLEAN_RULES_PATH_SIZE];
    int depth;
    if (!place || !place[0] || !Spell(place, key, sizeof key, isLeadByte, true, &depth))
        return false;
    return Contains(spelt, key) || (below && Contains(key, spelt));
}

static bool MeetsAny(const char *const *list, int count, const char *spelt, bool below,
                     CleanRules_LeadByteTest isLeadByte)
{
    for (int i = 0; i < count; i++)
        if (Meets(list[i], spelt, below, isLeadByte))
            return true;
    return false;
}

bool CleanRules_IsPathCleanable(const char *path, const CleanRules_Places *places)
{
    char spelt[CLEAN_RULES_PATH_SIZE];
    int depth;
    CleanRules_LeadByteTest lead = places->isLeadByte;
    if (!Spell(path, spelt, sizeof spelt, lead, true, &depth) || depth == 0)
        return false;
    if (MeetsAny(places->kept, places->keptCount, spelt, false, lead) ||
        MeetsAny(places->offLimits, places->offLimitsCount, spelt, true, lead))
        return false;
    // Within a folder of profiles only the user's own is his to empty; the
    // rest belongs to others.
    if (!MeetsAny(places->homes, places->homesCount, spelt, true, lead))
        return true;
    return !MeetsAny(places->homes, places->homesCount, spelt, false, lead) &&
           MeetsAny(places->own, places->ownCount, spelt, true, lead) &&
           !MeetsAny(places->own, places->ownCount, spelt, false, lead);
}

static char UpperAscii(char c)
{
    return c >= 'a' && c <= 'z' ? (char)(c - 'a' + 'A') : c;
}

// ignoreCase compares ASCII letters without case (names of entries).
static bool StartsWith(const char *text, const char *prefix, bool ignoreCase = false)
{
    for (int i = 0; prefix[i]; i++)
        if (ignoreCase ? UpperAscii(text[i]) != UpperAscii(prefix[i]) : text[i] != prefix[i])
            return false;
    return true;
}

// True when name, which starts with prefix, is no longer than it.
static bool SameLength(const char *name, const char *prefix)
{
    int n = 0;
    while (prefix[n])
        n++;
    return name[n] == 0;
}

bool CleanRules_IsOtherProgramsCacheEntry(const char *name)
{
    static const char *const NAMES[] = {"Content.Outlook", "Content.MSO", "Content.Word"};
    for (const char *kept : NAMES)
        if (StartsWith(name, kept, true) && SameLength(name, kept))
            return true;
    return StartsWith(name, "OLK", true);
}

bool CleanRules_PlainFromFinal(const char *final, char *out, int size)
{
    const char *rest = final;
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
