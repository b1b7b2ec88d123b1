// The CBT hook: vetoes the creation of windows whose class a switched-on rule names.
#include "shared_state.h"
#include "snapveil.h"
#include "class_names.h"
#include "creation_rules.h"

// Long enough for the tray program's flash (about 150 ms) behind a few queued
// vetoes, short enough that a hung tray program cannot freeze the desktop.
#define NOTIFY_TIMEOUT_MS 2000

// A call relayed to the installing thread (from a program of the other
// bitness, on 64-bit Windows) posts: that thread only pumps, and must never
// wait on a window, its own program's least of all.
static void NotifyPopupBlocked(const struct FilterSettings *settings)
{
    HWND notifyWindow = State_Window(settings->notifyWindow);
    if (settings->hooks[BITNESS_OWN].installThread == GetCurrentThreadId()) {
        PostMessageA(notifyWindow, WM_POPUPBLOCKED, 0, 0);
        return;
    }
    DWORD_PTR ignored;
    SendMessageTimeoutA(notifyWindow, WM_POPUPBLOCKED, 0, 0,
                        SMTO_ABORTIFHUNG, NOTIFY_TIMEOUT_MS, &ignored);
}

// Every creation is judged, relayed or not, by the class of the window
// (wParam), which any process may read; lParam points into the creating
// process and is never read. A veto is this hook's own answer and goes no
// further down the chain, so whichever of our two libraries sees a creation
// first decides it, and notifies once. Any other event gets the chain's
// answer, so another program's veto stands.
extern "C" LRESULT CALLBACK CBTProc(int code, WPARAM wParam, LPARAM lParam)
{
    const struct FilterSettings *settings = g_settings;
    const struct OverrideState *input = g_input;
    HHOOK next = State_OwnHook(settings, &HookSlots::cbtHook);
    if (settings != NULL && input != NULL && input->passThrough != 1 && code == HCBT_CREATEWND) {
        char className[CLASS_NAME_BUFFER];
        if (GetClassNameA((HWND)wParam, className, sizeof className) == 0)
            className[0] = '\0';
        if (Filter_CheckNewWindow(&settings->switches, className)) {
            NotifyPopupBlocked(settings);
            return 1;
        }
    }
    return CallNextHookEx(next, code, wParam, lParam);
}
