// hook_host.exe STOPFILE [BROWSER MESSENGER TOOLTIP APPLET FLASH]: sets the five
// switches (default: "Browser" only), installs the three hooks with a window of
// its own as notify window, and keeps them until STOPFILE exists.
//   stdout: "ready interval <ms>" once installed, where ms is the click interval
//   the hooks use; "blocked <n>" for every WM_POPUPBLOCKED; "stopped <n>" at the end.
#include <windows.h>
#include <stdio.h>
#include <stdlib.h>

#include "hook_fixture.h"

static int g_blocked;

static LRESULT CALLBACK NotifyProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_POPUPBLOCKED) {
        printf("blocked %d\n", ++g_blocked);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

int main(int argc, char **argv)
{
    setvbuf(stdout, NULL, _IONBF, 0);
    if (argc != 2 && argc != 7) {
        printf("usage: hook_host STOPFILE [BROWSER MESSENGER TOOLTIP APPLET FLASH]\n");
        return 2;
    }
    DWORD switches[5] = {1, 0, 0, 0, 0};
    for (int i = 0; argc == 7 && i < 5; ++i)
        switches[i] = (DWORD)strtoul(argv[2 + i], NULL, 0);
    HookFixture_WriteSwitches(switches);

    HWND window = HookFixture_CreateNotifyWindow("HushpaneTestHost", NotifyProc);
    HookFixture_InstallAll(window);
    printf("ready interval %u\n", GetDoubleClickTime() + 500u);

    while (GetFileAttributesA(argv[1]) == INVALID_FILE_ATTRIBUTES) {
        MsgWaitForMultipleObjects(0, NULL, FALSE, 50, QS_ALLINPUT);
        MSG msg;
        while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    HookFixture_UninstallAll();
    DestroyWindow(window);
    printf("stopped %d\n", g_blocked);
    return 0;
}
