// A global hook that does nothing but count its calls and pass each event on:
// the floor any system-wide hook of its kind costs, against which Snapveil's
// are measured (a CBT hook for the creation bench, a mouse hook for the input bench).
#include <windows.h>

static HHOOK g_hook;
static LONG g_calls;

extern "C" LRESULT CALLBACK NullHookProc(int code, WPARAM wParam, LPARAM lParam)
{
    ++g_calls;
    return CallNextHookEx(g_hook, code, wParam, lParam);
}

extern "C" void WINAPI NullHook_Install(int kind, HINSTANCE module)
{
    g_hook = SetWindowsHookExA(kind, NullHookProc, module, 0);
}

extern "C" void WINAPI NullHook_Uninstall(void)
{
    UnhookWindowsHookEx(g_hook);
    g_hook = NULL;
}

// Calls seen in this process: proof that the measured events went through the hook.
extern "C" LONG WINAPI NullHook_Calls(void)
{
    return g_calls;
}
