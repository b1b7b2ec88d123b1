// The CBT hook: vetoes the creation of windows whose class a switched-on rule names.
#include "shared_state.h"
#include "snapveil.h"
#include "class_names.h"
#include "creation_rules.h"

// Long enough for the tray program's flash (about 150 ms) behind a few queued
// vetoes, short enough that a hung tray program cannot freeze the desktop.
#define NOTIFY_TIMEOUT_MS 2000

static void NotifyPopupBlocked(void)
{
    DWORD_PTR ignored;
    SendMessageTimeoutA(g_shared.notifyWindow, WM_POPUPBLOCKED, 0, 0,
                        SMTO_ABORTIFHUNG, NOTIFY_TIMEOUT_MS, &ignored);
}

extern "C" LRESULT CALLBACK CBTProc(int code, WPARAM wParam, LPARAM lParam)
{
    if (g_shared.override.passThrough != 1 && code == HCBT_CREATEWND) {
        char className[CLASS_NAME_BUFFER];
        if (GetClassNameA((HWND)wParam, className, sizeof className) == 0)
            className[0] = '\0';
        if (Filter_CheckNewWindow(&g_shared.switches, className)) {
            NotifyPopupBlocked();
            return 1;
        }
    }
    CallNextHookEx(g_shared.cbtHook, code, wParam, lParam);
    return 0;
}
