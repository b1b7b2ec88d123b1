// The settings window's two browser records lists: one shows a folder of the
// browser's records, the other deletes its contents after a warning. The work
// itself is Foldwright.dll's, loaded for each request, from beside the program
// only.
#ifndef HUSHPANE_RECORDS_TOOLS_H
#define HUSHPANE_RECORDS_TOOLS_H

#include <windows.h>

// The item text for a list (IDC_INSPECT_LIST or IDC_DELETE_LIST) of the
// folder at an index, from 0 on, or NULL past the last folder; for filling
// the lists, whose items carry that index.
const char *RecordsTools_ItemText(int listId, int index);

// Called for every WM_COMMAND with CBN_SELCHANGE: window is the settings
// window, listId the control id (low word of wParam), list its handle.
void RecordsTools_OnSelectionChange(HWND window, int listId, HWND list);

#endif
