// Hushpane.exe: start-up, the single-instance hand-over and the message loop.
// No C runtime: Program_Start is the entry point the system calls.
#include <windows.h>
#include <commctrl.h>
#include "blocked_windows.h"
#include "hook_thread.h"
#include "library_search.h"
#include "platform_version.h"
#include "program_state.h"
#include "resource_ids.h"
#include "session_security.h"
#include "settings_window.h"
#include "snapveil.h"
#include "window_decisions.h"

#define HAND_OVER_WAIT_MS 10000
#define HAND_OVER_POLL_MS 50

static const char ALREADY_RUNNING_TEXT[] =
    "Hushpane is already running.\r\n"
    "Open its settings from its icon in the notification area.";

HINSTANCE g_module;
struct BlockingSwitches g_switches;
// Carries a missing value over from the one before.
static uint32_t s_loadScratch;

// Owned by the copy that runs, until its process ends: while it exists, a copy
// is starting or running in this session; when that copy dies, the mutex is
// abandoned and the next waiting copy takes it over.
static HANDLE s_oneCopyMutex;

// A running copy takes over: the same as the tray menu's "&Settings".
// Copies started at the same moment would all miss each other's window, so
// the mutex decides first. A copy that made the mutex is the only one and
// looks for no window: any program may make one of this class. A copy that
// finds it taken waits for the owner's window, and carries on as the only
// copy if the owner dies first (the mutex comes to it) or shows no window in
// time.
static void Program_HandOverToRunningCopy(void)
{
    SECURITY_ATTRIBUTES attributes;
    SECURITY_ATTRIBUTES *security = Platform_IsWindows9x()
        ? NULL : SessionSecurity_Attributes(&attributes, MUTEX_ALL_ACCESS, false);
    const struct PlatformVersion *version = Platform_Version();
    SetLastError(0);   // a new mutex need not clear it everywhere
    s_oneCopyMutex = CreateMutexA(security, TRUE,
        WindowDecisions_OneCopyMutexName(version->platformId, version->majorVersion));
    DWORD made = GetLastError();
    // Denied: it exists, made by a copy with more rights (one the installer started).
    bool anotherCopy = made == ERROR_ALREADY_EXISTS || (!s_oneCopyMutex && made == ERROR_ACCESS_DENIED);
    if (!anotherCopy)
        return;
    HWND running = FindWindowA(SETTINGS_WINDOW_CLASS, NULL);
    for (DWORD waited = 0; !running && waited < HAND_OVER_WAIT_MS; waited += HAND_OVER_POLL_MS) {
        DWORD owner = WAIT_TIMEOUT;
        if (s_oneCopyMutex)
            owner = WaitForSingleObject(s_oneCopyMutex, HAND_OVER_POLL_MS);
        else
            Sleep(HAND_OVER_POLL_MS);
        if (owner == WAIT_OBJECT_0 || owner == WAIT_ABANDONED)
            return;
        running = FindWindowA(SETTINGS_WINDOW_CLASS, NULL);
    }
    if (!running)
        return;
    if (PostMessageA(running, RegisterWindowMessageA(SHOW_SETTINGS_MESSAGE), 0, 0)) {
        SetForegroundWindow(running);
        ExitProcess(0);
    }
    // The running copy cannot be reached (a full queue, or a system that still
    // drops the message): a second copy would fight it for the hooks, so say
    // where the running one is and end as a start that did not hand over.
    MessageBoxA(NULL, ALREADY_RUNNING_TEXT, "Hushpane", MB_ICONINFORMATION | MB_SETFOREGROUND);
    ExitProcess(1);
}

// Runs until WM_QUIT; every message goes past the dialog manager first (the
// Blocked Windows window's, then the settings window's), which gives the
// controls their keyboard navigation.
static int Program_MessageLoop(HWND window)
{
    MSG message = {};
    while (GetMessageA(&message, NULL, 0, 0) != 0) {
        if (!BlockedWindows_IsDialogMessage(&message) && !IsDialogMessageA(window, &message)) {
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
    LibrarySearch_KeepCurrentDirectoryOut();
    InitCommonControls();
    Program_HandOverToRunningCopy();
    HookThread_Start();
    Settings_LoadBlockingSwitches(&s_loadScratch, &g_switches);
    g_module = GetModuleHandleA(NULL);
    LPSTR commandLine = GetCommandLineA();
    ExitProcess((UINT)Program_WindowMain(g_module, NULL, commandLine, SW_SHOWDEFAULT));
}
