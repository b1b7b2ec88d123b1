// Installing and removing the three system-wide hooks: the only writers of
// the settings record, on the thread of the program that calls them.
#include "shared_state.h"
#include "snapveil.h"

// Where each hook's handle lives in the settings record.
typedef HHOOK FilterSettings::*HookField;

// Replaces any hook of this type still installed, so none is ever left in the
// system without a handle to remove it by; then reloads the switches.
static void Hook_Install(int type, HOOKPROC procedure, HookField field, HWND notifyWindow)
{
    struct FilterSettings *settings = State_WritableSettings();
    if (settings == NULL)
        return;
    settings->notifyWindow = notifyWindow;
    if (settings->*field != NULL) {
        UnhookWindowsHookEx(settings->*field);
        settings->*field = NULL;
    }
    settings->*field = SetWindowsHookExA(type, procedure, g_module, 0);
    Settings_LoadBlockingSwitches(&settings->loadScratch, &settings->switches);
}

// Forgets the handle once used: a stale value may by now name another
// program's hook.
static BOOL Hook_Uninstall(HookField field)
{
    struct FilterSettings *settings = State_WritableSettings();
    HHOOK installed = settings ? settings->*field : NULL;
    if (installed == NULL)
        return FALSE;
    settings->*field = NULL;
    return UnhookWindowsHookEx(installed);
}

extern "C" void WINAPI InstallCBTHook(HWND notifyWindow)
{
    Hook_Install(WH_CBT, CBTProc, &FilterSettings::cbtHook, notifyWindow);
}

extern "C" void WINAPI InstallMouseHook(HWND notifyWindow)
{
    Hook_Install(WH_MOUSE, MouseProc, &FilterSettings::mouseHook, notifyWindow);
}

extern "C" void WINAPI InstallKeyDownHook(HWND notifyWindow)
{
    Hook_Install(WH_KEYBOARD, KeyDownProc, &FilterSettings::keyboardHook, notifyWindow);
}

extern "C" BOOL WINAPI UninstallCBTHook(void)
{
    return Hook_Uninstall(&FilterSettings::cbtHook);
}

extern "C" BOOL WINAPI UninstallMouseHook(void)
{
    return Hook_Uninstall(&FilterSettings::mouseHook);
}

extern "C" BOOL WINAPI UninstallKeyDownHook(void)
{
    return Hook_Uninstall(&FilterSettings::keyboardHook);
}
