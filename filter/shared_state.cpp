// The shared filter state and the library's entry point.
#include "shared_state.h"

// One copy for all processes: the section is mapped shared, zero-filled by the
// first process that loads the library.
struct SharedFilterState g_shared __attribute__((section(".shared"), shared)) = {};

HINSTANCE g_module;

// The double-click time is added to, so a triple click spread over a little
// more than two double-click spans still counts as rapid.
#define CLICK_INTERVAL_SLACK_MS 500u

static uint8_t DetectWin9x(void)
{
    OSVERSIONINFOA info;
    info.dwOSVersionInfoSize = sizeof info;
    info.dwPlatformId = VER_PLATFORM_WIN32_NT;
    GetVersionExA(&info);
    return info.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS ? 1 : 0;
}

// Every call, in every process, refreshes the per-process handle and the two
// platform facts, so a changed double-click time is picked up at the next thread start.
extern "C" BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID reserved)
{
    (void)reason;
    (void)reserved;
    g_module = module;
    g_shared.override.clickInterval = GetDoubleClickTime() + CLICK_INTERVAL_SLACK_MS;
    g_shared.isWin9x = DetectWin9x();
    return TRUE;
}
