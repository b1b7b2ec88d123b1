// Hushpane.exe: start-up, the single-instance hand-over and the message loop.
// No C runtime: Program_Start is the entry point the system calls.
#include <windows.h>
#include <commctrl.h>
#include "../filter/hook_thread.h"
#include "program_state.h"
#include "records_tools.h"
#include "resource_ids.h"
#include "session_security.h"
#include "settings_window.h"
#include "snapveil.h"
#include "window_decisions.h"

#define HAND_OVER_WAIT_MS 10000
#define HAND_OVER_POLL_MS 50

BYTE g_isWindows9x;
HINSTANCE g_module;
struct BlockingSwitches g_switches;
uint32_t g_loadScratch;

// Owned by the copy that runs, until its process ends: while it exists, a copy
// is starting or running in this session; when that copy dies, the mutex is
// abandoned and the next waiting copy takes it over.
static HANDLE s_oneCopyMutex;
static const char *s_oneCopyMutexName;

static void Program_DetectWindowsFamily(void)
{
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof version;
    GetVersionExA(&version);
    g_isWindows9x = version.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS ? 1 : 0;
    s_oneCopyMutexName =
        WindowDecisions_OneCopyMutexName(version.dwPlatformId, version.dwMajorVersion);
}

// A running copy takes over: the same command as the tray menu's "&Settings".
// Copies started at the same moment would all miss each other's window, so
// the mutex decides first. A copy that made the mutex is the only one and
// looks for no window: any program may make one of this class. A copy that
// finds it taken waits for the owner's window, and carries on as the only
// copy if the owner dies first (the mutex comes to it) or shows no window in
// time.
static void Program_HandOverToRunningCopy(void)
{
    SECURITY_ATTRIBUTES attributes;
    SECURITY_ATTRIBUTES *security =
        g_isWindows9x ? NULL : SessionSecurity_Attributes(&attributes, MUTEX_ALL_ACCESS, false);
    SetLastError(0);   // a new mutex need not clear it everywhere
    s_oneCopyMutex = CreateMutexA(security, TRUE, s_oneCopyMutexName);
    DWORD made = GetLastError();
    // Denied: it exists, made by a copy with more rights (one the installer started).
    bool anotherCopy = made == ERROR_ALREADY_EXISTS || (!s_oneCopyMutex && made == ERROR_ACCESS_DENIED);
    if (!anotherCopy)
        return;
    HWND running = FindWindowA(SETTINGS_WINDOW_CLASS, NULL);
    for (DWORD waited = 0; !running && waited < HAND_OVER_WAIT_MS; waited += HAND_OVER_POLL_MS) {
        DWORD owner = s_oneCopyMutex ? WaitForSingleObject(s_oneCopyMutex, HAND_OVER_POLL_MS)
                                     : (Sleep(HAND_OVER_POLL_MS), WAIT_TIMEOUT);
        if (owner == WAIT_OBJECT_0 || owner == WAIT_ABANDONED)
            return;
        running = FindWindowA(SETTINGS_WINDOW_CLASS, NULL);
    }
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

extern "C" void Program_Start(void)
{
    RecordsTools_KeepCurrentDirectoryOutOfSearch();
    Program_DetectWindowsFamily();
    InitCommonControls();
    Program_HandOverToRunningCopy();
    HookThread_Start();
    Settings_LoadBlockingSwitches(&g_loadScratch, &g_switches);
    g_module = GetModuleHandleA(NULL);
    LPSTR commandLine = GetCommandLineA();
    ExitProcess((UINT)Program_WindowMain(g_module, NULL, commandLine, SW_SHOWDEFAULT));
}
