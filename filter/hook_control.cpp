// Installing and removing the three system-wide hooks: the only writers of
// the settings record, on the thread of the program that calls them. Each
// library keeps to its own bitness's slot; the switches and the notify window
// are both libraries'.
#include "shared_state.h"
#include "snapveil.h"

// Where each hook's handle lives in this library's slot.
typedef uint32_t HookSlots::*HookField;

// Replaces any hook of this type still installed, so none is ever left in the
// system without a handle to remove it by; then reloads the switches.
static void Hook_Install(int type, HOOKPROC procedure, HookField field, HWND notifyWindow)
{
    struct FilterSettings *settings = State_WritableSettings();
    if (settings == NULL)
        return;
    struct HookSlots *own = &settings->hooks[BITNESS_OWN];
    settings->notifyWindow = State_Handle32(notifyWindow);
    // Before the hook exists: its first relayed call may come at once.
    own->installThread = GetCurrentThreadId();
    if (own->*field != 0) {
        UnhookWindowsHookEx(State_Hook(own->*field));
        own->*field = 0;
    }
    own->*field = State_Handle32(SetWindowsHookExA(type, procedure, g_module, 0));
    Settings_LoadBlockingSwitches(&settings->loadScratch, &settings->switches);
}

// Forgets the handle once used: a stale value may by now name another
// program's hook.
static BOOL Hook_Uninstall(HookField field)
{
    struct FilterSettings *settings = State_WritableSettings();
    HHOOK installed = State_OwnHook(settings, field);
    if (installed == NULL)
        return FALSE;
    settings->hooks[BITNESS_OWN].*field = 0;
    return UnhookWindowsHookEx(installed);
}

extern "C" void WINAPI InstallCBTHook(HWND notifyWindow)
{
    Hook_Install(WH_CBT, CBTProc, &HookSlots::cbtHook, notifyWindow);
}

extern "C" void WINAPI InstallMouseHook(HWND notifyWindow)
{
    Hook_Install(WH_MOUSE, MouseProc, &HookSlots::mouseHook, notifyWindow);
}

extern "C" void WINAPI InstallKeyDownHook(HWND notifyWindow)
{
    Hook_Install(WH_KEYBOARD, KeyDownProc, &HookSlots::keyboardHook, notifyWindow);
}

extern "C" BOOL WINAPI UninstallCBTHook(void)
{
    return Hook_Uninstall(&HookSlots::cbtHook);
}

extern "C" BOOL WINAPI UninstallMouseHook(void)
{
    return Hook_Uninstall(&HookSlots::mouseHook);
}

extern "C" BOOL WINAPI UninstallKeyDownHook(void)
{
    return Hook_Uninstall(&HookSlots::keyboardHook);
}
