// Shell folders by CSIDL number, resolved the same way on every Windows: the
// shell's item id list turned into a file system path; and known folders by
// id, where the shell has them (Vista on).
#ifndef HUSHPANE_FOLDER_PATHS_H
#define HUSHPANE_FOLDER_PATHS_H

#include <windows.h>

// Fills path (MAX_PATH chars) with the folder's file system path; false when
// the shell does not know the folder or it has no path.
bool FolderPaths_Resolve(int csidl, char *path);
bool FolderPaths_ResolveKnown(const GUID *id, char *path);

#endif
