// A global mouse hook that does nothing but pass the event on and count it: the
// floor any system-wide mouse hook costs, against which Snapveil's are measured.
#include <windows.h>

static HHOOK g_hook;
static LONG g_calls;

extern "C" LRESULT CALLBACK NullMouseProc(int code, WPARAM wParam, LPARAM lParam)
{
    ++g_calls;
    return CallNextHookEx(g_hook, code, wParam, lParam);
}

extern "C" void WINAPI NullMouse_Install(HINSTANCE module)
{
    g_hook = SetWindowsHookExA(WH_MOUSE, NullMouseProc, module, 0);
}

extern "C" void WINAPI NullMouse_Uninstall(void)
{
    UnhookWindowsHookEx(g_hook);
    g_hook = NULL;
}

// Calls seen in this process: proof that the measured input went through the hook.
extern "C" LONG WINAPI NullMouse_Calls(void)
{
    return g_calls;
}
