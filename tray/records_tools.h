// The settings window's two browser records lists: one shows a folder of the
// browser's records, the other deletes its contents after a warning. The work
// itself is Foldwright.dll's, loaded for each request, from beside the program
// only.
#ifndef HUSHPANE_RECORDS_TOOLS_H
#define HUSHPANE_RECORDS_TOOLS_H

#include <windows.h>

// One browser folder and how the lists present it, in the lists' display
// order; each list item carries its folder's index in this table.
struct RecordsFolder {
    int csidl;
    const char *inspectItem;
    const char *deleteItem;
    const char *warning;
};

#define RECORDS_FOLDER_COUNT 4

// The folder at a table index, or NULL outside 0 to 3.
const RecordsFolder *RecordsTools_FolderAt(int index);

// The item text for a list (IDC_INSPECT_LIST or IDC_DELETE_LIST) at an index,
// or NULL; for filling the lists.
const char *RecordsTools_ItemText(int listId, int index);

// Takes the current directory out of the library search (where the system
// can, XP SP1 on), for the libraries the system loads on the program's
// behalf. Called once at start.
void RecordsTools_KeepCurrentDirectoryOutOfSearch(void);

// Around starting another program: true before, false after, so that the
// program starts with the system's own library search.
void RecordsTools_StartingProgram(bool starting);

// Called for every WM_COMMAND with CBN_SELCHANGE: window is the settings
// window, listId the control id (low word of wParam), list its handle.
void RecordsTools_OnSelectionChange(HWND window, int listId, HWND list);

#endif
