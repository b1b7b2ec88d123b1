// Where this program's libraries come from: its own folder, never the
// current directory.
#ifndef HUSHPANE_LIBRARY_SEARCH_H
#define HUSHPANE_LIBRARY_SEARCH_H

#include <windows.h>

// Takes the current directory out of the library search (where the system
// can, XP SP1 on), for the libraries the system loads on the program's
// behalf. Called once at start.
void LibrarySearch_KeepCurrentDirectoryOut(void);

// Around starting another program: true before, false after, so that the
// program starts with the system's own library search.
void LibrarySearch_StartingProgram(bool starting);

// Fills path (MAX_PATH chars) with the program's own folder, with its final
// backslash; returns the length, or 0 when room more characters (the
// terminator included) would not fit after it.
DWORD LibrarySearch_ProgramFolder(char *path, DWORD room);

#endif
