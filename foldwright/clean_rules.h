// The decisions of folder cleaning, free of Win32 so they can be checked on
// their own: which folders may be emptied, and which paths are safe to empty.
// Paths are compared byte for byte: callers pass them already upper-cased and
// in long form.
#ifndef HUSHPANE_CLEAN_RULES_H
#define HUSHPANE_CLEAN_RULES_H

#include "browser_folders.h"

// True only for the four browser folders.
bool CleanRules_IsCleanableFolder(int csidl);

// Length without the trailing backslashes, which name the same folder.
int CleanRules_TrimmedLength(const char* path);

// True for "X:\..." and "\\server\share\..." paths; false for relative paths,
// forward slashes, device paths ("\\?\", "\\.\") and names that Win32 would
// trim into another ("." and "..", a trailing dot or space).
bool CleanRules_IsPlainAbsolutePath(const char* path);

// True for a drive ("X:", "X:\") or a network share's root ("\\server\share").
bool CleanRules_IsRoot(const char* path);

// True when outer names the same folder as inner or one of its ancestors.
bool CleanRules_Contains(const char* outer, const char* inner);

// The whole verdict: a plain absolute path that is no root and holds none of
// the protected folders (empty entries in the list are ignored).
bool CleanRules_IsPathCleanable(const char* path, const char* const* protectedPaths, int count);

// Turns a final path as the system reports it ("\\?\C:\...",
// "\\?\UNC\server\share\...") into the plain form; false when it does not fit.
bool CleanRules_PlainFromFinal(const char* final, char* out, int size);

#endif
