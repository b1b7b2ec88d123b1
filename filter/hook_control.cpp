// Installing and removing the three system-wide hooks.
#include "shared_state.h"
#include "snapveil.h"

// Replaces any hook of this type still installed, so none is ever left in the
// system without a handle to remove it by; then reloads the switches.
static void Hook_Install(int type, HOOKPROC procedure, HHOOK *handle, HWND notifyWindow)
{
    g_shared.notifyWindow = notifyWindow;
    if (*handle != NULL) {
        UnhookWindowsHookEx(*handle);
        *handle = NULL;
    }
    *handle = SetWindowsHookExA(type, procedure, g_module, 0);
    Settings_LoadBlockingSwitches(&g_shared.loadScratch, &g_shared.switches);
}

// Forgets the handle once used: a stale value may by now name another
// program's hook.
static BOOL Hook_Uninstall(HHOOK *handle)
{
    HHOOK installed = *handle;
    if (installed == NULL)
        return FALSE;
    *handle = NULL;
    return UnhookWindowsHookEx(installed);
}

extern "C" void WINAPI InstallCBTHook(HWND notifyWindow)
{
    Hook_Install(WH_CBT, CBTProc, &g_shared.cbtHook, notifyWindow);
}

extern "C" void WINAPI InstallMouseHook(HWND notifyWindow)
{
    Hook_Install(WH_MOUSE, MouseProc, &g_shared.mouseHook, notifyWindow);
}

extern "C" void WINAPI InstallKeyDownHook(HWND notifyWindow)
{
    Hook_Install(WH_KEYBOARD, KeyDownProc, &g_shared.keyboardHook, notifyWindow);
}

extern "C" BOOL WINAPI UninstallCBTHook(void)
{
    return Hook_Uninstall(&g_shared.cbtHook);
}

extern "C" BOOL WINAPI UninstallMouseHook(void)
{
    return Hook_Uninstall(&g_shared.mouseHook);
}

extern "C" BOOL WINAPI UninstallKeyDownHook(void)
{
    return Hook_Uninstall(&g_shared.keyboardHook);
}
