// The program's library search: where the libraries it and the system load
// on its behalf may come from.
#include "library_search.h"

typedef BOOL (WINAPI *DllDirectoryProc)(LPCSTR directory);
typedef BOOL (WINAPI *DefaultDllDirectoriesProc)(DWORD flags);

// Set only where the DLL directory is how the current directory was taken
// out; programs started from here would inherit it.
static DllDirectoryProc s_setDllDirectory;
static char s_dllDirectory[MAX_PATH];

DWORD LibrarySearch_ProgramFolder(char *path, DWORD room)
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
void LibrarySearch_KeepCurrentDirectoryOut(void)
{
    HMODULE kernel32 = GetModuleHandleA("kernel32.dll");
    DefaultDllDirectoriesProc defaultDirectories = (DefaultDllDirectoriesProc)(void (*)(void))
        GetProcAddress(kernel32, "SetDefaultDllDirectories");
    if (defaultDirectories && defaultDirectories(LOAD_LIBRARY_SEARCH_DEFAULT_DIRS))
        return;
    s_setDllDirectory =
        (DllDirectoryProc)(void (*)(void))GetProcAddress(kernel32, "SetDllDirectoryA");
    if (s_setDllDirectory && LibrarySearch_ProgramFolder(s_dllDirectory, 1))
        s_setDllDirectory(s_dllDirectory);
    else
        s_setDllDirectory = NULL;
}

// A program started from here (the FAQ page's browser, an inspected
// folder's window) gets the system's own search, not this one's folder.
void LibrarySearch_StartingProgram(bool starting)
{
    if (s_setDllDirectory)
        s_setDllDirectory(starting ? NULL : s_dllDirectory);
}
