// The browser records lists: what each item does, and loading Foldwright.dll.
#include "records_tools.h"

#include "../foldwright/foldwright.h"
#include "library_search.h"
#include "resource_ids.h"

static const char WARNING_CAPTION[] = "Warning";

// The selection each list last acted on; both lists start on item 0. The list
// control also reports a pick of the item already selected, which must not
// start the same request again.
static int s_inspectSelection = 0;
static int s_deleteSelection = 0;

// How the lists present each browser folder, in BROWSER_FOLDERS order; each
// list item carries its folder's index.
struct RecordsFolder {
    const char *inspectItem;
    const char *deleteItem;
    const char *warning;
};

static const RecordsFolder RECORDS_FOLDERS[] = {
    {"Inspect Cookies", "Delete Cookies",
     "This will delete all the cookie stored\r\n"
     "on your machine by Internet Explorer.\r\n"
     "Are you sure you want to proceed?"},
    {"Inspect Favorites", "Delete Favorites",
     "This will delete your Favorites list.\r\n"
     "Are you sure you want to proceed?"},
    {"Inspect History", "Delete History",
     "This will delete your internet surfing\r\n"
     "records maintained by Internet Explorer.\r\n"
     "Are you sure you want to proceed?"},
    {"Inspect Internet Cache", "Delete Internet Cache",
     "This will delete all the internet files stored\r\n"
     "on your machine by Internet Explorer. Are\r\n"
     "you sure you want to proceed?"},
};

static_assert(sizeof RECORDS_FOLDERS / sizeof RECORDS_FOLDERS[0] == BROWSER_FOLDER_COUNT, "a row for every folder");

// The folder at a table index, or NULL outside the table.
static const RecordsFolder *RecordsTools_FolderAt(int index)
{
    if (index < 0 || index >= BROWSER_FOLDER_COUNT)
        return NULL;
    return &RECORDS_FOLDERS[index];
}

const char *RecordsTools_ItemText(int listId, int index)
{
    const RecordsFolder *folder = RecordsTools_FolderAt(index);
    if (!folder)
        return NULL;
    if (listId == IDC_INSPECT_LIST)
        return folder->inspectItem;
    if (listId == IDC_DELETE_LIST)
        return folder->deleteItem;
    return NULL;
}

// Only the copy beside the program, by its full path: a Foldwright.dll
// anywhere else (the current directory, the PATH) is never the one that runs.
static HMODULE RecordsTools_LoadFolderTool(void)
{
    char path[MAX_PATH];
    DWORD length = LibrarySearch_ProgramFolder(path, sizeof FOLDWRIGHT_DLL_NAME);
    if (length == 0)
        return NULL;
    lstrcpyA(path + length, FOLDWRIGHT_DLL_NAME);
    return LoadLibraryA(path);
}

// Loads the folder tool for this one request only; a missing library or
// export drops the request without a word.
static void RecordsTools_CallFolderTool(const char *exportName, int csidl)
{
    HMODULE library = RecordsTools_LoadFolderTool();
    if (!library)
        return;
    FolderToolProc tool = (FolderToolProc)(void (*)(void))GetProcAddress(library, exportName);
    if (tool)
        tool(csidl);
    FreeLibrary(library);
}

void RecordsTools_OnSelectionChange(HWND window, int listId, HWND list)
{
    if (listId != IDC_INSPECT_LIST && listId != IDC_DELETE_LIST)
        return;
    int index = (int)SendMessageA(list, CB_GETCURSEL, 0, 0);
    int *last = listId == IDC_INSPECT_LIST ? &s_inspectSelection : &s_deleteSelection;
    if (index == *last)
        return;
    *last = index;
    int at = (int)SendMessageA(list, CB_GETITEMDATA, index, 0);
    const RecordsFolder *folder = RecordsTools_FolderAt(at);
    if (!folder)
        return;
    if (listId == IDC_INSPECT_LIST) {
        LibrarySearch_StartingProgram(true);
        RecordsTools_CallFolderTool(FOLDWRIGHT_INSPECT, BROWSER_FOLDERS[at]);
        LibrarySearch_StartingProgram(false);
        return;
    }
    if (MessageBoxA(window, folder->warning, WARNING_CAPTION,
                    MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) == IDYES)
        RecordsTools_CallFolderTool(FOLDWRIGHT_CLEAN, BROWSER_FOLDERS[at]);
}
