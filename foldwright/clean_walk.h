// Emptying a folder on disk: everything below it goes, the folder stays.
#ifndef HUSHPANE_CLEAN_WALK_H
#define HUSHPANE_CLEAN_WALK_H

// Fills out (MAX_PATH chars) with where path really leads, in plain "X:\..."
// or "\\server\share\..." form, without following a link at its end. False
// when the system cannot tell (before Vista) or the name cannot be opened.
bool CleanWalk_FinalPath(const char* path, char* out);

// True when the system can tell final paths at all.
bool CleanWalk_CanTellFinalPaths(void);

// path and final hold the folder (no trailing backslash) in MAX_PATH buffers
// that the walk uses as scratch and restores; final is the folder's final
// path, or NULL where the system cannot tell. Entries are deleted bottom up.
// A link is removed itself and never entered; an entry whose final path is
// not where it is listed is left alone, since deleting it would reach its
// target (Wine follows every link, whatever the flags); entries that cannot
// be deleted, such as files in use, are skipped.
void CleanWalk_EmptyFolder(char* path, int length, char* final, int finalLength);

#endif
