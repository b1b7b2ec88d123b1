// The mouse and keyboard hooks: they keep the user-override state current and
// never swallow input.
#include "shared_state.h"
#include "snapveil.h"
#include "class_names.h"
#include "override_rules.h"

// A window that is gone or has no class reads as "".
static void FetchClassName(HWND window, char *buffer)
{
    if (window == NULL || GetClassNameA(window, buffer, CLASS_NAME_BUFFER) == 0)
        buffer[0] = '\0';
}

// Looks at the window under the press only as far as the classification needs:
// the top-level ancestor for an NT client press, the window itself otherwise.
static enum PressVerdict ClassifyPressAt(enum PressKind kind, POINT point)
{
    const uint8_t isWin9x = g_shared.isWin9x;
    HWND window = WindowFromPoint(point);
    char windowClass[CLASS_NAME_BUFFER];
    char rootClass[CLASS_NAME_BUFFER];
    int32_t controlId = 0;
    windowClass[0] = '\0';
    rootClass[0] = '\0';
    if (kind == PRESS_CLIENT && isWin9x != 1) {
        FetchClassName(window == NULL ? NULL : GetAncestor(window, GA_ROOT), rootClass);
    } else {
        FetchClassName(window, windowClass);
        if (kind == PRESS_CLIENT && window != NULL)
            controlId = (int32_t)GetWindowLongA(window, GWL_ID);
    }
    return Override_ClassifyPress(kind, isWin9x, windowClass, controlId, rootClass);
}

extern "C" LRESULT CALLBACK MouseProc(int code, WPARAM wParam, LPARAM lParam)
{
    const enum PressKind kind = Override_PressKind(code, (uint32_t)wParam);
    // The system always passes the structure; a direct caller might not.
    if (kind != PRESS_IGNORED && lParam != 0) {
        const MOUSEHOOKSTRUCT *mouse = (const MOUSEHOOKSTRUCT *)lParam;
        const enum PressVerdict verdict = ClassifyPressAt(kind, mouse->pt);
        Override_RegisterPress(&g_shared.override, verdict, GetTickCount());
    }
    CallNextHookEx(g_shared.mouseHook, code, wParam, lParam);
    return 0;
}

extern "C" LRESULT CALLBACK KeyDownProc(int code, WPARAM wParam, LPARAM lParam)
{
    CallNextHookEx(g_shared.keyboardHook, code, wParam, lParam);
    Override_RegisterKeyDown(&g_shared.override, (uint32_t)wParam,
                             ((uint32_t)lParam >> 31) & 1u, GetTickCount());
    return 0;
}
