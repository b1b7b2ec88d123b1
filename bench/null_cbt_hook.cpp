// A global CBT hook that does nothing but pass the event on: the floor any
// system-wide CBT hook costs, against which Snapveil's hooks are measured.
#include <windows.h>

static HHOOK g_hook;

extern "C" LRESULT CALLBACK NullCbtProc(int code, WPARAM wParam, LPARAM lParam)
{
    return CallNextHookEx(g_hook, code, wParam, lParam);
}

extern "C" void WINAPI NullCbt_Install(HINSTANCE module)
{
    g_hook = SetWindowsHookExA(WH_CBT, NullCbtProc, module, 0);
}

extern "C" void WINAPI NullCbt_Uninstall(void)
{
    UnhookWindowsHookEx(g_hook);
    g_hook = NULL;
}
