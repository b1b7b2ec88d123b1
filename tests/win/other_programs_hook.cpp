// OtherProgramsHook.dll: another program's system-wide CBT hook, for the
// filter test. It vetoes windows of its own class in every process.
#include <windows.h>

static LRESULT CALLBACK OtherProgramsHook(int code, WPARAM wParam, LPARAM lParam)
{
    char name[32];
    if (code == HCBT_CREATEWND && GetClassNameA((HWND)wParam, name, sizeof name) &&
        !lstrcmpA(name, "OtherProgramsVeto"))
        return 1;
    return CallNextHookEx(NULL, code, wParam, lParam);
}

extern "C" __declspec(dllexport) HHOOK InstallOtherProgramsHook(void)
{
    return SetWindowsHookExA(WH_CBT, OtherProgramsHook, GetModuleHandleA("OtherProgramsHook.dll"), 0);
}
