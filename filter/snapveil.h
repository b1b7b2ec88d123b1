// Snapveil.dll: the system-wide hooks that block popup windows. A host calls the
// installs with its window, which then receives WM_POPUPBLOCKED for every veto.
#ifndef HUSHPANE_SNAPVEIL_H
#define HUSHPANE_SNAPVEIL_H

#include <windows.h>

#define WM_POPUPBLOCKED (WM_USER + 8)

#ifdef __cplusplus
extern "C" {
#endif

void WINAPI InstallCBTHook(HWND notifyWindow);
void WINAPI InstallMouseHook(HWND notifyWindow);
void WINAPI InstallKeyDownHook(HWND notifyWindow);

// Reloads the programs left alone from the registry, switches untouched.
void WINAPI ReloadExceptions(void);

BOOL WINAPI UninstallCBTHook(void);
BOOL WINAPI UninstallMouseHook(void);
BOOL WINAPI UninstallKeyDownHook(void);

LRESULT CALLBACK CBTProc(int code, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK MouseProc(int code, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK KeyDownProc(int code, WPARAM wParam, LPARAM lParam);

#ifdef __cplusplus
}
#endif

#endif
