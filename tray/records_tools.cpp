// The browser records lists: what each item does, and loading Foldwright.dll.
#include "records_tools.h"

#include "../foldwright/foldwright.h"
#include "resource_ids.h"

static const char WARNING_CAPTION[] = "Warning";

// The selection each list last acted on; both lists start on item 0. The list
// control also reports a pick of the item already selected, which must not
// start the same request again.
static int s_inspectSelection = 0;
static int s_deleteSelection = 0;

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

const RecordsFolder *RecordsTools_FolderAt(int index)
{
    if (index < 0 || index >= RECORDS_FOLDER_COUNT)
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

typedef BOOL (WINAPI *DllDirectoryProc)(LPCSTR directory);
typedef BOOL (WINAPI *DefaultDllDirectoriesProc)(DWORD flags);
#define SEARCH_DEFAULT_DIRS 0x00001000   // LOAD_LIBRARY_SEARCH_DEFAULT_DIRS

// Set only where the DLL directory is how the current directory was taken
// out; programs started from here would inherit it.
static DllDirectoryProc s_setDllDirectory;
static char s_dllDirectory[MAX_PATH];

// Fills path (MAX_PATH chars) with the program's own folder, with its final
// backslash; returns the length, or 0 when room more characters (the
// terminator included) would not fit after it.
static DWORD RecordsTools_ProgramFolder(char *path, DWORD room)
{
    DWORD length = GetModuleFileNameA(NULL, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return 0;
    while (length > 0 && path[length - 1] != '\\')
        length--;
    path[length] = 0;
    return length + room <= MAX_PATH ? length : 0;
}

// The default directories alone (Windows 8, and Vista and 7 updated) hold for
// this process only. Else, from XP SP1 on, naming a folder takes the
// current directory out as "" does on Windows, and under Wine too, which
// takes "" for "back to the default".
void RecordsTools_KeepCurrentDirectoryOutOfSearch(void)
{
    HMODULE kernel32 = GetModuleHandleA("kernel32.dll");
    DefaultDllDirectoriesProc defaultDirectories = (DefaultDllDirectoriesProc)(void (*)(void))
        GetProcAddress(kernel32, "SetDefaultDllDirectories");
    if (defaultDirectories && defaultDirectories(SEARCH_DEFAULT_DIRS))
        return;
    s_setDllDirectory =
        (DllDirectoryProc)(void (*)(void))GetProcAddress(kernel32, "SetDllDirectoryA");
    if (s_setDllDirectory && RecordsTools_ProgramFolder(s_dllDirectory, 1))
        s_setDllDirectory(s_dllDirectory);
    else
        s_setDllDirectory = NULL;
}

// A program started from here (the FAQ page's browser, an inspected
// folder's window) gets the system's own search, not this one's folder.
void RecordsTools_StartingProgram(bool starting)
{
    if (s_setDllDirectory)
        s_setDllDirectory(starting ? NULL : s_dllDirectory);
}

// Only the copy beside the program, by its full path: a Foldwright.dll
// anywhere else (the current directory, the PATH) is never the one that runs.
static HMODULE RecordsTools_LoadFolderTool(void)
{
    char path[MAX_PATH];
    DWORD length = RecordsTools_ProgramFolder(path, sizeof FOLDWRIGHT_DLL_NAME);
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
    const RecordsFolder *folder = RecordsTools_FolderAt((int)SendMessageA(list, CB_GETITEMDATA, index, 0));
    if (!folder)
        return;
    if (listId == IDC_INSPECT_LIST) {
        RecordsTools_StartingProgram(true);
        RecordsTools_CallFolderTool(FOLDWRIGHT_INSPECT, folder->csidl);
        RecordsTools_StartingProgram(false);
        return;
    }
    if (MessageBoxA(window, folder->warning, WARNING_CAPTION,
                    MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) == IDYES)
        RecordsTools_CallFolderTool(FOLDWRIGHT_CLEAN, folder->csidl);
}
