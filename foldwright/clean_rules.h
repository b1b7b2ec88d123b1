// The decisions of folder cleaning, free of Win32 so they can be checked on
// their own: which folders may be emptied, and which paths are safe to empty.
// Every path is brought to one spelling before it is compared, so no other
// spelling of a folder slips past a rule its plain spelling meets. Letters
// are compared without case only in ASCII: callers upper-case the rest.
#ifndef HUSHPANE_CLEAN_RULES_H
#define HUSHPANE_CLEAN_RULES_H

#include "browser_folders.h"

#define CLEAN_RULES_PATH_SIZE 260

// True for the first byte of a two-byte character in the ANSI code page; a
// second byte may be a backslash that is no separator. NULL: single-byte.
typedef bool (*CleanRules_LeadByteTest)(unsigned char byte);

// True only for the four browser folders.
bool CleanRules_IsCleanableFolder(int csidl);

// Writes the one spelling of an absolute path into out: "/" as "\", runs of
// separators as one, no trailing separator (but "X:\"), and every name
// without the trailing dots and spaces that Win32 drops. False for relative
// paths, device paths ("\\?\", "\\.\"), "\\server" without a share, names
// made only of dots or spaces ("." and ".." among them), characters no name
// may hold (":" of a stream, wildcards), and paths that do not fit.
bool CleanRules_Normalise(const char *path, char *out, int size, CleanRules_LeadByteTest isLeadByte);

// Where a path may not be emptied. Empty or unspellable entries are ignored.
struct CleanRules_Places {
    const char *const *kept;       // these and every folder holding one
    int keptCount;
    const char *const *offLimits;  // these, everything below them, every folder holding one
    int offLimitsCount;
    CleanRules_LeadByteTest isLeadByte;
    const char *const *homes;      // kept, and below them only what is inside one of own:
    int homesCount;                // the folders holding the users' profiles, where
    const char *const *own;        // everything but the user's own profile is another's
    int ownCount;
};

// The whole verdict: an absolute path that is no drive or share root and
// meets none of the places.
bool CleanRules_IsPathCleanable(const char *path, const CleanRules_Places *places);

// True for the entries that other programs keep at the top of the internet
// cache (Outlook's open attachments, Office's downloads), which stay whole.
bool CleanRules_IsOtherProgramsCacheEntry(const char *name);

// Turns a final path as the system reports it ("\\?\C:\...",
// "\\?\UNC\server\share\...") into the plain form; false when it does not fit.
bool CleanRules_PlainFromFinal(const char *final, char *out, int size);

#endif
