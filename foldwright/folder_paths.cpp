#include "folder_paths.h"

#include <shlobj.h>

// SHGetSpecialFolderLocation and SHGetPathFromIDListA exist in every shell32
// since Windows 95, unlike SHGetFolderPathA, so the library loads everywhere.
bool FolderPaths_Resolve(int csidl, char* path)
{
    path[0] = 0;
    LPITEMIDLIST items = NULL;
    if (FAILED(SHGetSpecialFolderLocation(NULL, csidl, &items)) || !items)
        return false;
    BOOL found = SHGetPathFromIDListA(items, path);
    IMalloc* shellMalloc = NULL;
    if (SUCCEEDED(SHGetMalloc(&shellMalloc)) && shellMalloc) {
        shellMalloc->Free(items);
        shellMalloc->Release();
    }
    if (!found)
        path[0] = 0;
    return found && path[0];
}
