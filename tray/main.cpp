// Hushpane.exe: start-up, the single-instance hand-over and the message loop.
#include <windows.h>
#include <commctrl.h>
#include "program_state.h"
#include "records_tools.h"
#include "resource_ids.h"
#include "settings_window.h"

BYTE g_isWindows9x;
HINSTANCE g_module;
struct BlockingSwitches g_switches;
uint32_t g_loadScratch;

static void Program_DetectWindowsFamily(void)
{
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof version;
    GetVersionExA(&version);
    g_isWindows9x = version.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS ? 1 : 0;
}

// A running copy takes over: the same command as the tray menu's "&Settings".
static void Program_HandOverToRunningCopy(void)
{
    HWND running = FindWindowA(SETTINGS_WINDOW_CLASS, NULL);
    if (!running)
        return;
    PostMessageA(running, WM_COMMAND, IDM_SETTINGS, 0);
    SetForegroundWindow(running);
    ExitProcess(0);
}

// Runs until WM_QUIT; every message goes past the dialog manager first, which
// gives the controls their keyboard navigation.
static int Program_MessageLoop(HWND window)
{
    MSG message = {};
    while (GetMessageA(&message, NULL, 0, 0) != 0) {
        if (!IsDialogMessageA(window, &message)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
    return (int)message.wParam;
}

static int Program_WindowMain(HINSTANCE module, HINSTANCE, LPSTR, int)
{
    SettingsWindow_RegisterClass(module);
    HWND window = SettingsWindow_Create(module);
    if (!window)
        return 1;   // without a window nothing could ever end the loop
    SettingsWindow_FitAddedControls(window);
    SettingsWindow_StartClip(window);
    SettingsWindow_ShowSwitches(window);
    ShowWindow(window, SW_SHOWNORMAL);
    RECT frame;
    GetWindowRect(window, &frame);
    SetWindowPos(window, HWND_TOP, frame.left, frame.top, frame.right - frame.left,
                 frame.bottom - frame.top, SWP_SHOWWINDOW);
    UpdateWindow(window);
    return Program_MessageLoop(window);
}

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    RecordsTools_KeepCurrentDirectoryOutOfSearch();
    Program_DetectWindowsFamily();
    InitCommonControls();
    Program_HandOverToRunningCopy();
    Settings_LoadBlockingSwitches(&g_loadScratch, &g_switches);
    g_module = GetModuleHandleA(NULL);
    LPSTR commandLine = GetCommandLineA();
    ExitProcess((UINT)Program_WindowMain(g_module, NULL, commandLine, SW_SHOWDEFAULT));
}
