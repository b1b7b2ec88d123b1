// Shell folders by CSIDL number or known-folder id, as file system paths.
#include "folder_paths.h"

#include <shlobj.h>

typedef HRESULT (WINAPI *KnownFolderListProc)(const GUID *id, DWORD flags, HANDLE token,
                                               LPITEMIDLIST *items);

// The shell's allocator frees what it handed out, the known folders' lists
// included (both are the task allocator from Windows 2000 on).
static bool FolderPaths_FromList(HRESULT listed, LPITEMIDLIST items, char *path)
{
    if (FAILED(listed) || !items)
        return false;
    BOOL found = SHGetPathFromIDListA(items, path);
    IMalloc *shellMalloc = NULL;
    if (SUCCEEDED(SHGetMalloc(&shellMalloc)) && shellMalloc) {
        shellMalloc->Free(items);
        shellMalloc->Release();
    }
    if (!found)
        path[0] = 0;
    return found && path[0];
}

// SHGetSpecialFolderLocation and SHGetPathFromIDListA exist in every shell32
// since Windows 95, unlike SHGetFolderPathA, so the library loads everywhere.
bool FolderPaths_Resolve(int csidl, char *path)
{
    path[0] = 0;
    LPITEMIDLIST items = NULL;
    HRESULT listed = SHGetSpecialFolderLocation(NULL, csidl, &items);
    return FolderPaths_FromList(listed, items, path);
}

bool FolderPaths_ResolveKnown(const GUID *id, char *path)
{
    static KnownFolderListProc knownList = (KnownFolderListProc)(void (*)(void))GetProcAddress(
        GetModuleHandleA("shell32.dll"), "SHGetKnownFolderIDList");
    path[0] = 0;
    LPITEMIDLIST items = NULL;
    HRESULT listed = knownList ? knownList(id, 0, NULL, &items) : E_NOTIMPL;
    return FolderPaths_FromList(listed, items, path);
}
