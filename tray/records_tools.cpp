#include "records_tools.h"

#include "../foldwright/foldwright.h"
#include "resource_ids.h"

static const char WARNING_CAPTION[] = "Warning";

// The selection each list last acted on; both lists start on item 0. The list
// control also reports a pick of the item already selected, which must not
// start the same request again.
static int g_inspectSelection = 0;
static int g_deleteSelection = 0;

static const RecordsFolder RECORDS_FOLDERS[RECORDS_FOLDER_COUNT] = {
    {CSIDL_NUMBER_COOKIES, "Inspect Cookies", "Delete Cookies",
     "This will delete all the cookie stored\r\n"
     "on your machine by Internet Explorer.\r\n"
     "Are you sure you want to proceed?"},
    {CSIDL_NUMBER_FAVORITES, "Inspect Favorites", "Delete Favorites",
     "This will delete your Favorites list.\r\n"
     "Are you sure you want to proceed?"},
    {CSIDL_NUMBER_HISTORY, "Inspect History", "Delete History",
     "This will delete your internet surfing\r\n"
     "records maintained by Internet Explorer.\r\n"
     "Are you sure you want to proceed?"},
    {CSIDL_NUMBER_INTERNET_CACHE, "Inspect Internet Cache", "Delete Internet Cache",
     "This will delete all the internet files stored\r\n"
     "on your machine by Internet Explorer. Are\r\n"
     "you sure you want to proceed?"},
};

const RecordsFolder* RecordsTools_FolderAt(int index)
{
    if (index < 0 || index >= RECORDS_FOLDER_COUNT)
        return NULL;
    return &RECORDS_FOLDERS[index];
}

const char* RecordsTools_ItemText(int listId, int index)
{
    const RecordsFolder* folder = RecordsTools_FolderAt(index);
    if (!folder)
        return NULL;
    if (listId == IDC_INSPECT_LIST)
        return folder->inspectItem;
    if (listId == IDC_DELETE_LIST)
        return folder->deleteItem;
    return NULL;
}

typedef BOOL (WINAPI *DllDirectoryProc)(LPCSTR directory);

// Fills path (MAX_PATH chars) with the program's own folder, with its final
// backslash; returns the length, or 0 when room more characters (the
// terminator included) would not fit after it.
static DWORD RecordsTools_ProgramFolder(char* path, DWORD room)
{
    DWORD length = GetModuleFileNameA(NULL, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return 0;
    while (length > 0 && path[length - 1] != '\\')
        length--;
    path[length] = 0;
    return length + room <= MAX_PATH ? length : 0;
}

// Naming a folder takes the current directory out as "" does on Windows, and
// under Wine too, which takes "" for "back to the default"; the program's
// own folder is searched first anyway.
void RecordsTools_KeepCurrentDirectoryOutOfSearch(void)
{
    DllDirectoryProc setDllDirectory = (DllDirectoryProc)(void (*)(void))GetProcAddress(
        GetModuleHandleA("kernel32.dll"), "SetDllDirectoryA");
    char folder[MAX_PATH];
    if (setDllDirectory && RecordsTools_ProgramFolder(folder, 1))
        setDllDirectory(folder);
}

// The copy beside the program first, by its full path, so that a
// Foldwright.dll in the current directory is never the one that runs where
// the system still searches there; then the system's search for the name.
static HMODULE RecordsTools_LoadFolderTool(void)
{
    char path[MAX_PATH];
    DWORD length = RecordsTools_ProgramFolder(path, sizeof FOLDWRIGHT_DLL_NAME);
    if (length > 0) {
        lstrcpyA(path + length, FOLDWRIGHT_DLL_NAME);
        HMODULE library = LoadLibraryA(path);
        if (library)
            return library;
    }
    return LoadLibraryA(FOLDWRIGHT_DLL_NAME);
}

// Loads the folder tool for this one request only; a missing library or
// export drops the request without a word.
static void RecordsTools_CallFolderTool(const char* exportName, int csidl)
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
    int* last = listId == IDC_INSPECT_LIST ? &g_inspectSelection : &g_deleteSelection;
    if (index == *last)
        return;
    *last = index;
    const RecordsFolder* folder = RecordsTools_FolderAt(index);
    if (!folder)
        return;
    if (listId == IDC_INSPECT_LIST) {
        RecordsTools_CallFolderTool(FOLDWRIGHT_INSPECT, folder->csidl);
        return;
    }
    if (MessageBoxA(window, folder->warning, WARNING_CAPTION,
                    MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) == IDYES)
        RecordsTools_CallFolderTool(FOLDWRIGHT_CLEAN, folder->csidl);
}
