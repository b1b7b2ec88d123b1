// The mouse and keyboard hooks. They never swallow input.
#include "shared_state.h"
#include "snapveil.h"

extern "C" LRESULT CALLBACK MouseProc(int code, WPARAM wParam, LPARAM lParam)
{
    CallNextHookEx(g_shared.mouseHook, code, wParam, lParam);
    return 0;
}

extern "C" LRESULT CALLBACK KeyDownProc(int code, WPARAM wParam, LPARAM lParam)
{
    CallNextHookEx(g_shared.keyboardHook, code, wParam, lParam);
    return 0;
}
