// hook_host.exe STOPFILE: sets the "Browser" switch alone, installs the three
// hooks with a window of its own as notify window, and keeps them until STOPFILE exists.
//   stdout: "ready interval <ms>" once installed, where ms is the double-click
//   time + 500, the interval the hooks should count clicks in (the script's pace);
//   "stopped <n>" at the end, n being the WM_POPUPBLOCKED messages taken.
#include "hook_fixture.h"
#include "win_check.h"

int main(int argc, char **argv)
{
    Check_Begin();
    if (argc != 2) {
        printf("usage: hook_host STOPFILE\n");
        return 2;
    }
    const DWORD switches[5] = {1, 0, 0, 0, 0};
    HookFixture_WriteSwitches(switches);

    HWND window = HookFixture_CreateCountingNotifyWindow("HushpaneTestHost");
    HookFixture_InstallAll(window);
    printf("ready interval %u\n", GetDoubleClickTime() + 500u);

    while (GetFileAttributesA(argv[1]) == INVALID_FILE_ATTRIBUTES)
        Check_Pump(50);
    HookFixture_UninstallAll();
    DestroyWindow(window);
    printf("stopped %d\n", g_hookFixtureNotifications);
    return 0;
}
