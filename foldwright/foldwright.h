// Foldwright.dll: shows or empties one of the browser's shell folders.
// Both exports take the folder's CSIDL number and use stdcall (WINAPI); they
// are exported undecorated, so a caller finds them with GetProcAddress by the
// plain names and calls them through FolderToolProc.
#ifndef HUSHPANE_FOLDWRIGHT_H
#define HUSHPANE_FOLDWRIGHT_H

#include <windows.h>

#include "browser_folders.h"

#define FOLDWRIGHT_DLL_NAME   "Foldwright.dll"
#define FOLDWRIGHT_INSPECT    "HLInspectFolder"
#define FOLDWRIGHT_CLEAN      "HLCleanFolder"

typedef void (WINAPI *FolderToolProc)(int csidl);

#ifdef __cplusplus
extern "C" {
#endif

// Opens the folder in the shell's folder view; nothing happens when the shell
// cannot resolve it.
void WINAPI HLInspectFolder(int csidl);

// Deletes the folder's contents and keeps the folder. Only the cookies,
// favourites, history and internet cache folders are accepted, and none that
// lies in the system or program files folders or holds a folder the user
// keeps; links inside are removed, never followed; what cannot be deleted is
// left in place.
void WINAPI HLCleanFolder(int csidl);

#ifdef __cplusplus
}
#endif

#endif
