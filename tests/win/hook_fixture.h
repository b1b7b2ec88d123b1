// What every test host of the hooks does: store the five switches, make a
// window to be notified, install or remove all three hooks.
#ifndef HUSHPANE_HOOK_FIXTURE_H
#define HUSHPANE_HOOK_FIXTURE_H

#include <windows.h>

#include "snapveil.h"
#include "../../settings/settings_store.h"

// Browser, Messenger, Tooltip, Applet, Flash, as REG_DWORD values.
static inline void HookFixture_WriteSwitches(const DWORD values[5])
{
    static const char *const names[5] = {SWITCH_NAME_BROWSER, SWITCH_NAME_MESSENGER,
                                          SWITCH_NAME_TOOLTIP, SWITCH_NAME_APPLET, SWITCH_NAME_FLASH};
    HKEY key;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, SETTINGS_SUBKEY, 0, NULL, 0, KEY_ALL_ACCESS, NULL,
                        &key, NULL) != ERROR_SUCCESS)
        return;
    for (int i = 0; i < 5; ++i)
        RegSetValueExA(key, names[i], 0, REG_DWORD, (const BYTE *)&values[i], sizeof values[i]);
    RegCloseKey(key);
}

static inline HWND HookFixture_CreateNotifyWindow(const char *className, WNDPROC procedure)
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = procedure;
    wc.hInstance = GetModuleHandleA(NULL);
    wc.lpszClassName = className;
    RegisterClassA(&wc);   // a second window of the same class finds it registered
    return CreateWindowExA(0, className, "notify", WS_OVERLAPPED, 0, 0, 10, 10,
                           NULL, NULL, wc.hInstance, NULL);
}

// WM_POPUPBLOCKED messages taken by a counting notify window.
static int g_hookFixtureNotifications;

static inline LRESULT CALLBACK HookFixture_CountingProc(HWND window, UINT message, WPARAM wParam,
                                                        LPARAM lParam)
{
    if (message == WM_POPUPBLOCKED) {
        ++g_hookFixtureNotifications;
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

static inline HWND HookFixture_CreateCountingNotifyWindow(const char *className)
{
    return HookFixture_CreateNotifyWindow(className, HookFixture_CountingProc);
}

static inline void HookFixture_UninstallAll(void)
{
    UninstallCBTHook();
    UninstallMouseHook();
    UninstallKeyDownHook();
}

// The tray program's order: everything off first, then all three with one window.
static inline void HookFixture_InstallAll(HWND notifyWindow)
{
    HookFixture_UninstallAll();
    InstallCBTHook(notifyWindow);
    InstallMouseHook(notifyWindow);
    InstallKeyDownHook(notifyWindow);
}

#endif
