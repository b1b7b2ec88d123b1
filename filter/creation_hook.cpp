// The CBT hook: vetoes the creation of windows whose class a switched-on rule names.
#include "shared_state.h"
#include "snapveil.h"
#include "class_names.h"
#include "creation_rules.h"

// Long enough for the tray program's flash (about 150 ms) behind a few queued
// vetoes, short enough that a hung tray program cannot freeze the desktop.
#define NOTIFY_TIMEOUT_MS 2000

static void NotifyPopupBlocked(HWND notifyWindow)
{
    DWORD_PTR ignored;
    SendMessageTimeoutA(notifyWindow, WM_POPUPBLOCKED, 0, 0,
                        SMTO_ABORTIFHUNG, NOTIFY_TIMEOUT_MS, &ignored);
}

extern "C" LRESULT CALLBACK CBTProc(int code, WPARAM wParam, LPARAM lParam)
{
    struct SharedFilterState *state = g_state;
    if (state == NULL) {
        CallNextHookEx(NULL, code, wParam, lParam);
        return 0;
    }
    if (state->override.passThrough != 1 && code == HCBT_CREATEWND) {
        char className[CLASS_NAME_BUFFER];
        if (GetClassNameA((HWND)wParam, className, sizeof className) == 0)
            className[0] = '\0';
        if (Filter_CheckNewWindow(&state->switches, className)) {
            NotifyPopupBlocked(state->notifyWindow);
            return 1;
        }
    }
    CallNextHookEx(state->cbtHook, code, wParam, lParam);
    return 0;
}
