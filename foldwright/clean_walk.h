// Emptying a folder on disk: everything below it goes, the folder stays.
#ifndef HUSHPANE_CLEAN_WALK_H
#define HUSHPANE_CLEAN_WALK_H

#include <windows.h>

// NT family: opens the folder so that nobody can rename, move or delete it
// until it is released, and keeps it only when it is a plain folder, not a
// link. The walk holds every folder from the top down to the one it
// empties. The 9x family has no folder handles and no links: there the
// attributes are checked and *held is NULL. False, with nothing held, when
// path is no plain folder.
bool CleanWalk_HoldFolder(const char *path, HANDLE *held);
void CleanWalk_ReleaseFolder(HANDLE held);

// Fills out (MAX_PATH chars) with where a held folder really leads, in plain
// "X:\..." or "\\server\share\..." form. False when the system cannot tell
// (before Vista) or nothing is held.
bool CleanWalk_HeldFinalPath(HANDLE held, char *out);

// The same for a path, opened only to ask, without following a link at its end.
bool CleanWalk_FinalPath(const char *path, char *out);

// True when the system can tell final paths at all.
bool CleanWalk_CanTellFinalPaths(void);

// Before Vista the walk cannot tell where a name leads: true when any part of
// the path, from the first name below the drive down, is a link (or is not
// there), so the place judged by name is the place reached.
bool CleanWalk_PathCrossesLink(const char *path);

// What becomes of the emptied folder's own entries (all below them is erased
// or goes with them): names kept whole, and whether they go to the Recycle
// Bin instead, as Explorer deletes. Whatever the bin refuses stays in place.
struct CleanWalk_Top {
    bool (*keeps)(const char *name);  // NULL: none
    bool recycles;
};

// path and final hold the folder (no trailing backslash) in MAX_PATH buffers
// that the walk uses as scratch and restores; final is the folder's final
// path, or NULL where the system cannot tell. The caller holds the folder.
// Entries are deleted bottom up, each folder held while it is emptied. A
// link is removed itself and never entered; an entry whose final path is not
// where it is listed is left alone, since deleting it would reach its target
// (Wine follows every link, whatever the flags); entries that cannot be
// deleted, such as files in use, are skipped. Without final paths, the links
// inside a folder bound for the bin are removed first, and a folder that may
// keep one stays. top NULL: everything erased.
void CleanWalk_EmptyFolder(char *path, int length, char *final, int finalLength,
                           const CleanWalk_Top *top);

#endif
