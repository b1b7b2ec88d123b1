// The mouse and keyboard hooks: they keep the user-override state current and
// never swallow input.
#include "shared_state.h"
#include "snapveil.h"
#include "input_hooks.h"
#include "class_names.h"
#include "override_rules.h"
#include "platform_version.h"

// A window that is gone or has no class reads as "".
static void FetchClassName(HWND window, char *buffer)
{
    if (window == NULL || GetClassNameA(window, buffer, CLASS_NAME_BUFFER) == 0)
        buffer[0] = '\0';
}

// GA_ROOT, or on systems without GetAncestor the same walk by hand: up the
// parents of child windows, never to an owner.
static HWND TopLevelOf(HWND window)
{
    if (g_getAncestor)
        return g_getAncestor(window, GA_ROOT);
    while (GetWindowLongA(window, GWL_STYLE) & WS_CHILD) {
        HWND parent = GetParent(window);
        if (parent == NULL)
            break;
        window = parent;
    }
    return window;
}

// Looks at the window under the press only as far as the classification needs:
// the top-level ancestor for an NT client press, the window itself otherwise.
static enum PressVerdict ClassifyPress(enum PressKind kind, uint8_t isWin9x, HWND window)
{
    char windowClass[CLASS_NAME_BUFFER];
    char rootClass[CLASS_NAME_BUFFER];
    int32_t controlId = 0;
    windowClass[0] = '\0';
    rootClass[0] = '\0';
    if (kind == PRESS_CLIENT && isWin9x != 1) {
        FetchClassName(window == NULL ? NULL : TopLevelOf(window), rootClass);
    } else {
        FetchClassName(window, windowClass);
        if (kind == PRESS_CLIENT && window != NULL)
            controlId = (int32_t)GetWindowLongA(window, GWL_ID);
    }
    return Override_ClassifyPress(kind, isWin9x, windowClass, controlId, rootClass);
}

// The double-click time is read where it counts, not at every thread start.
static void RegisterPress(struct OverrideState *input, enum PressKind kind, uint8_t isWin9x, HWND window)
{
    Override_RegisterPress(input, ClassifyPress(kind, isWin9x, window), GetTickCount(),
                           GetDoubleClickTime() + CLICK_INTERVAL_SLACK_MS);
}

// Only the hook thread of the program that installed the low-level hooks
// (64-bit Windows, never 9x) keeps this.
static struct LastPress s_lastRawPress;

// Outside the client rectangle is where the window's own hit test would
// answer non-client for an ordinary window; asking the window itself would
// mean a message to another program from inside a low-level hook.
static bool IsNonClientPoint(HWND window, POINT point)
{
    RECT client;
    return window != NULL && GetClientRect(window, &client) && ScreenToClient(window, &point) &&
           !PtInRect(&client, point);
}

void Input_RegisterRawPress(POINT point)
{
    struct OverrideState *input = g_input;
    if (input == NULL)
        return;
    HWND window = WindowFromPoint(point);
    const bool nonClient = IsNonClientPoint(window, point);
    const bool takesPairs = nonClient || (window != NULL && (GetClassLongA(window, GCL_STYLE) & CS_DBLCLKS));
    const struct DoubleClickLimits limits = {GetDoubleClickTime(), GetSystemMetrics(SM_CXDOUBLECLK),
                                             GetSystemMetrics(SM_CYDOUBLECLK)};
    if (Override_IsDoubleClick(&s_lastRawPress, Handle_To32(window), takesPairs, point.x, point.y,
                               GetTickCount(), &limits))
        return;   // the window gets it as a double click, which does not count
    RegisterPress(input, nonClient ? PRESS_NON_CLIENT : PRESS_CLIENT, 0, window);
}

void Input_RegisterRawKey(DWORD virtualKey, bool goingUp)
{
    if (g_input)
        Override_RegisterKeyDown(g_input, OVERRIDE_HC_ACTION, virtualKey, goingUp ? OVERRIDE_KF_UP : 0,
                                 GetTickCount());
}

// Both hooks pass every event on and answer what the rest of the chain
// answered: another program's hook may swallow input, and that must stand.
extern "C" LRESULT CALLBACK MouseProc(int code, WPARAM wParam, LPARAM lParam)
{
    const struct FilterSettings *settings = g_settings;
    struct OverrideState *input = g_input;
    const enum PressKind kind = Override_PressKind(code, (uint32_t)wParam);
    // The system always passes the structure; a direct caller might not.
    if (State_ShouldJudge(settings, input) && kind != PRESS_IGNORED && lParam != 0)
        RegisterPress(input, kind, Platform_IsWindows9x() ? 1 : 0,
                      WindowFromPoint(((const MOUSEHOOKSTRUCT *)lParam)->pt));
    return CallNextHookEx(State_OwnHook(settings, &HookSlots::mouseHook), code, wParam, lParam);
}

extern "C" LRESULT CALLBACK KeyDownProc(int code, WPARAM wParam, LPARAM lParam)
{
    const struct FilterSettings *settings = g_settings;
    struct OverrideState *input = g_input;
    LRESULT chain = CallNextHookEx(State_OwnHook(settings, &HookSlots::keyboardHook), code, wParam, lParam);
    if (State_ShouldJudge(settings, input))
        Override_RegisterKeyDown(input, code, (uint32_t)wParam, (uint32_t)lParam, GetTickCount());
    return chain;
}
