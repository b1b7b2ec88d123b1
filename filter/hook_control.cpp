// Installing and removing the three system-wide hooks: the only writers of
// the settings record, on the thread of the program that calls them. Each
// library keeps to its own bitness's slot; the switches and the notify window
// are both libraries'.
#include "shared_state.h"
#include "snapveil.h"
#include "input_hooks.h"
#include "wow64.h"

// Where each hook's handle lives in this library's slot.
typedef uint32_t HookSlots::*HookField;

// The switches belong to the 32-bit Hushpane.exe, which reads them as its
// user sees them (from Vista on, often his virtual store). The 64-bit library
// only ever serves its host, a 64-bit process that no virtualization covers:
// a load there would read the machine's own key instead.
#ifdef _WIN64
#define LIBRARY_LOADS_SWITCHES false
#else
#define LIBRARY_LOADS_SWITCHES true
#endif

// Low-level hooks are called on the installing thread for every program's
// input; their structures live in this process. Nothing is relayed, and no
// library enters any program for input.
static LRESULT CALLBACK LowLevelMouseProc(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HC_ACTION && wParam == WM_LBUTTONDOWN)
        Input_RegisterRawPress(((const MSLLHOOKSTRUCT *)lParam)->pt);
    return CallNextHookEx(State_OwnHook(g_settings, &HookSlots::mouseHook), code, wParam, lParam);
}

static LRESULT CALLBACK LowLevelKeyboardProc(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HC_ACTION) {
        const KBDLLHOOKSTRUCT *key = (const KBDLLHOOKSTRUCT *)lParam;
        Input_RegisterRawKey(key->vkCode, (key->flags & LLKHF_UP) != 0);
    }
    return CallNextHookEx(State_OwnHook(g_settings, &HookSlots::keyboardHook), code, wParam, lParam);
}

// A hook of each kind, as installed on 32-bit Windows and on 64-bit Windows.
// On 64-bit Windows the system hands one bitness's WH_MOUSE and WH_KEYBOARD
// events to the other's hook only by relaying them to its installing thread,
// where the event's own program is out of reach; the low-level hooks see
// every program's input there first-hand. Windows 9x has none of them.
struct HookKind {
    int type;
    HOOKPROC procedure;
    int lowLevelType;
    HOOKPROC lowLevelProcedure;
    HookField field;
};
static const HookKind HOOK_CBT = {WH_CBT, CBTProc, WH_CBT, CBTProc, &HookSlots::cbtHook};
static const HookKind HOOK_MOUSE = {WH_MOUSE, MouseProc, WH_MOUSE_LL, LowLevelMouseProc, &HookSlots::mouseHook};
static const HookKind HOOK_KEYS = {WH_KEYBOARD, KeyDownProc, WH_KEYBOARD_LL, LowLevelKeyboardProc,
                                   &HookSlots::keyboardHook};

// The generation is odd while the table is rewritten: a hook reading it then
// reads again (creation_hook.cpp).
static void Hook_LoadExceptions(struct FilterSettings *settings)
{
    volatile uint32_t *generation = &settings->exceptionsGeneration;
    *generation = (*generation | 1u);
    __atomic_signal_fence(__ATOMIC_SEQ_CST);
    Settings_LoadExceptions(&settings->exceptions);
    __atomic_signal_fence(__ATOMIC_SEQ_CST);
    *generation = *generation + 1u;
}

// Replaces any hook of this kind still installed, so none is ever left in the
// system without a handle to remove it by; then reloads the switches.
static void Hook_Install(const HookKind *kind, HWND notifyWindow)
{
    const bool lowLevel = Platform_Is64BitWindows();
    const int type = lowLevel ? kind->lowLevelType : kind->type;
    HOOKPROC procedure = lowLevel ? kind->lowLevelProcedure : kind->procedure;
    const HookField field = kind->field;
    struct FilterSettings *settings = State_WritableSettings();
    if (settings == NULL)
        return;
    struct HookSlots *own = &settings->hooks[BITNESS_OWN];
    settings->notifyWindow = Handle_To32(notifyWindow);
    // Before the hook exists: its first relayed call may come at once.
    own->installThread = GetCurrentThreadId();
    if (own->*field != 0) {
        UnhookWindowsHookEx(Handle_Hook(own->*field));
        own->*field = 0;
    }
    own->*field = Handle_To32(SetWindowsHookExA(type, procedure, g_module, 0));
    if (LIBRARY_LOADS_SWITCHES) {
        Settings_LoadBlockingSwitches(&settings->loadScratch, &settings->switches);
        Hook_LoadExceptions(settings);
    }
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
    Hook_Install(&HOOK_CBT, notifyWindow);
}

extern "C" void WINAPI InstallMouseHook(HWND notifyWindow)
{
    Hook_Install(&HOOK_MOUSE, notifyWindow);
}

extern "C" void WINAPI InstallKeyDownHook(HWND notifyWindow)
{
    Hook_Install(&HOOK_KEYS, notifyWindow);
}

// The switches stay as the last install loaded them; the table is shared by
// both libraries, so one reload serves every program of both bitnesses.
extern "C" void WINAPI ReloadExceptions(void)
{
    struct FilterSettings *settings = State_WritableSettings();
    if (settings != NULL && LIBRARY_LOADS_SWITCHES)
        Hook_LoadExceptions(settings);
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
