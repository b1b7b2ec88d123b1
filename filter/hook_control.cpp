// Installing and removing the three system-wide hooks.
#include "shared_state.h"
#include "snapveil.h"

// Replaces any hook of this type still installed, so none is ever left in the
// system without a handle to remove it by; then reloads the switches.
static void Hook_Install(int type, HOOKPROC procedure, HHOOK *handle, HWND notifyWindow)
{
    struct SharedFilterState *state = g_state;
    state->notifyWindow = notifyWindow;
    if (*handle != NULL) {
        UnhookWindowsHookEx(*handle);
        *handle = NULL;
    }
    *handle = SetWindowsHookExA(type, procedure, g_module, 0);
    Settings_LoadBlockingSwitches(&state->loadScratch, &state->switches);
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
    if (g_state)
        Hook_Install(WH_CBT, CBTProc, &g_state->cbtHook, notifyWindow);
}

extern "C" void WINAPI InstallMouseHook(HWND notifyWindow)
{
    if (g_state)
        Hook_Install(WH_MOUSE, MouseProc, &g_state->mouseHook, notifyWindow);
}

extern "C" void WINAPI InstallKeyDownHook(HWND notifyWindow)
{
    if (g_state)
        Hook_Install(WH_KEYBOARD, KeyDownProc, &g_state->keyboardHook, notifyWindow);
}

extern "C" BOOL WINAPI UninstallCBTHook(void)
{
    return g_state ? Hook_Uninstall(&g_state->cbtHook) : FALSE;
}

extern "C" BOOL WINAPI UninstallMouseHook(void)
{
    return g_state ? Hook_Uninstall(&g_state->mouseHook) : FALSE;
}

extern "C" BOOL WINAPI UninstallKeyDownHook(void)
{
    return g_state ? Hook_Uninstall(&g_state->keyboardHook) : FALSE;
}
