// The check harness of the Windows-side test programs: unbuffered progress
// lines, a failure count, non-zero exit on any failed check; waits, child
// processes, the window probe, the stored switches and the pace of presses.
#ifndef HUSHPANE_WIN_CHECK_H
#define HUSHPANE_WIN_CHECK_H

#include <windows.h>
#include <stdio.h>
#include <aclapi.h>

#include "../../filter/override_rules.h"
#include "../../settings/settings_store.h"
#include "../../settings/registry_port.h"
#include "../../tray/program_state.h"
#include "../../tray/resource_ids.h"

static int g_checkFailures;

// An expression: true when the check passed, for callers that go on only then.
#define CHECK(cond, ...)                                                                  \
    ((cond) || (++g_checkFailures, printf("FAIL %s:%d: %s: ", __FILE__, __LINE__, #cond), \
                printf(__VA_ARGS__), printf("\n"), false))

static inline void Check_Begin(void)
{
    setvbuf(stdout, NULL, _IONBF, 0);
}

static inline int Check_End(void)
{
    printf(g_checkFailures ? "%d check(s) failed\n" : "all checks passed\n", g_checkFailures);
    return g_checkFailures ? 1 : 0;
}

// Dispatches what is waiting in this thread's queue.
static inline void Check_PumpPending(void)
{
    MSG msg;
    while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

// Lets sent and posted messages settle for a while.
static inline void Check_Pump(DWORD ms)
{
    DWORD start = GetTickCount();
    while (GetTickCount() - start < ms) {
        MsgWaitForMultipleObjects(0, NULL, FALSE, 10, QS_ALLINPUT);
        Check_PumpPending();
    }
}

static inline bool Process_Start(const char *commandLine, DWORD flags, PROCESS_INFORMATION *process)
{
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    char line[1024];
    lstrcpynA(line, commandLine, sizeof line);
    return CreateProcessA(NULL, line, NULL, NULL, FALSE, flags, NULL, NULL, &si, process) != 0;
}

// Exit code, or -1 when it is still running after timeoutMs (it is then ended).
static inline long Process_WaitExit(PROCESS_INFORMATION &process, DWORD timeoutMs)
{
    DWORD code = (DWORD)-1;
    if (WaitForSingleObject(process.hProcess, timeoutMs) == WAIT_OBJECT_0)
        GetExitCodeProcess(process.hProcess, &code);
    else
        TerminateProcess(process.hProcess, 99);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return (long)code;
}

// The process Check_RunPumping is running, for handlers of its sends.
static HANDLE g_checkChild;

// Runs a command line and returns its exit code, pumping this thread's messages
// meanwhile so that sends from the child (WM_POPUPBLOCKED) are answered.
// Returns -1 when it cannot start or does not end within timeoutMs.
static inline long Check_RunPumping(const char *commandLine, DWORD timeoutMs, DWORD *elapsedMs)
{
    PROCESS_INFORMATION pi;
    DWORD start = GetTickCount();
    if (!Process_Start(commandLine, 0, &pi))
        return -1;
    g_checkChild = pi.hProcess;
    while (WaitForSingleObject(pi.hProcess, 0) == WAIT_TIMEOUT && GetTickCount() - start < timeoutMs)
        Check_Pump(10);
    if (elapsedMs)
        *elapsedMs = GetTickCount() - start;
    return Process_WaitExit(pi, 0);
}

template <typename Condition>
static bool WaitFor(Condition condition, DWORD timeoutMs = 10000)
{
    DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start > timeoutMs)
            return false;
        Sleep(20);
    }
    return true;
}

// Until a given tick, such as a moment of the program's countdown.
static inline void WaitUntil(DWORD tick)
{
    while ((LONG)(GetTickCount() - tick) < 0)
        Sleep(50);
}

// The window probe's veto mask for the classes (bit i: the i-th was vetoed),
// -1 when it did not finish; *elapsedMs, if given, is its run time.
static inline long Check_Probe(const char *classes, DWORD *elapsedMs = NULL)
{
    char line[1024];
    wsprintfA(line, "hushpane_query.exe probe %s", classes);
    return Check_RunPumping(line, 20000, elapsedMs);
}

// The next top-level window after `after` of the class and title (NULL: any)
// for which ownerPasses holds, or NULL.
template <typename OwnerTest>
static HWND Window_Next(const char *className, const char *title, OwnerTest ownerPasses, HWND after = NULL)
{
    while ((after = FindWindowExA(NULL, after, className, title)) && !ownerPasses(after)) {}
    return after;
}

static inline DWORD Window_Process(HWND window)
{
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    return process;
}

// The next top-level window of the class and title that another process made:
// one this program made itself is a stand-in, not the window looked for.
static inline HWND Window_NotOurs(const char *className, const char *title, HWND after = NULL)
{
    return Window_Next(className, title, [](HWND w) { return Window_Process(w) != GetCurrentProcessId(); }, after);
}

// Hushpane's settings window, or the next one after `after`.
static inline HWND Hushpane_Window(HWND after = NULL)
{
    return Window_NotOurs(SETTINGS_WINDOW_CLASS, NULL, after);
}

static inline void Window_RegisterClass(const char *className, WNDPROC procedure, UINT style = 0,
                                        int colour = COLOR_WINDOW, int windowExtra = 0)
{
    WNDCLASSA wc = {};
    wc.style = style;
    wc.lpfnWndProc = procedure;
    wc.cbWndExtra = windowExtra;
    wc.hInstance = GetModuleHandleA(NULL);
    wc.hCursor = LoadCursorA(NULL, IDC_ARROW);
    wc.hbrBackground = (HBRUSH)(INT_PTR)(colour + 1);
    wc.lpszClassName = className;
    RegisterClassA(&wc);
}

// A top-level window of a class registered here (a second window of the class
// finds it registered): hidden and tiny unless given a style and size.
static inline HWND Window_Create(const char *className, WNDPROC procedure, DWORD exStyle = 0,
                                 DWORD style = WS_OVERLAPPED, int width = 10, int height = 10)
{
    Window_RegisterClass(className, procedure);
    return CreateWindowExA(exStyle, className, "notify", style, 0, 0, width, height, NULL, NULL,
                           GetModuleHandleA(NULL), NULL);
}

// Wine's own browser, a program nobody here wrote: its frame is an "IEFrame".
// Started, this thread's messages pumped until its frame shows, over() holds
// or timeoutMs pass, then ended; true when its frame showed.
static inline bool Browser_GetsFrame(DWORD timeoutMs, bool (*over)(void) = NULL)
{
    PROCESS_INFORMATION pi = {};
    if (!CHECK(Process_Start("\"C:\\Program Files\\Internet Explorer\\iexplore.exe\" about:blank", 0, &pi),
               "iexplore.exe starts"))
        return false;
    auto ours = [&](HWND w) { return Window_Process(w) == pi.dwProcessId; };
    auto framed = [&] { return Window_Next("IEFrame", NULL, ours) != NULL; };
    bool found = WaitFor([&] {
        Check_Pump(50);
        return framed() || (over && over());
    }, timeoutMs) && framed();
    TerminateProcess(pi.hProcess, 0);
    Process_WaitExit(pi, 10000);
    return found;
}

// A value that is not stored.
#define MISSING 0xFFFFFFFFu

// The switches as REG_DWORD values, in SETTINGS_SWITCHES order; MISSING ones
// are left as they are. In the programs' registry view unless given another.
// True when every one given was stored.
static inline bool Switches_Write(const DWORD values[SWITCH_COUNT], REGSAM view = REGPORT_SETTINGS_VIEW)
{
    HKEY key;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, SETTINGS_SUBKEY, 0, NULL, 0, KEY_ALL_ACCESS | view,
                        NULL, &key, NULL) != ERROR_SUCCESS)
        return false;
    bool stored = true;
    for (int i = 0; i < SWITCH_COUNT; ++i)
        if (values[i] != MISSING)
            stored &= RegSetValueExA(key, SETTINGS_SWITCHES[i].valueName, 0, REG_DWORD,
                                     (const BYTE *)&values[i], 4) == ERROR_SUCCESS;
    RegCloseKey(key);
    return stored;
}

// How long to wait after the last press or key-down before a press counts as
// slow (which closes the filter): the double-click time, the filter's slack
// and room for the press to reach the hooks.
static inline DWORD Input_SlowPressWait(void)
{
    return GetDoubleClickTime() + CLICK_INTERVAL_SLACK_MS + 300;
}

// The session objects' security as given at creation: an access list of
// exactly this user and SYSTEM, and a low label only where lowLabel.
static inline void Check_SessionSecurity(HANDLE object, bool lowLabel, const char *what)
{
    PACL dacl = NULL, sacl = NULL;
    PSECURITY_DESCRIPTOR descriptor = NULL;
    DWORD got = object ? GetSecurityInfo(object, SE_KERNEL_OBJECT, DACL_SECURITY_INFORMATION |
                                         LABEL_SECURITY_INFORMATION, NULL, NULL, &dacl, &sacl,
                                         &descriptor) : ERROR_INVALID_HANDLE;
    static DWORD user[32];
    HANDLE token;
    DWORD needed;
    OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token);
    GetTokenInformation(token, TokenUser, user, sizeof user, &needed);
    CloseHandle(token);
    SID system = {SID_REVISION, 1, SECURITY_NT_AUTHORITY, {SECURITY_LOCAL_SYSTEM_RID}};
    PSID allowed[2] = {((TOKEN_USER *)user)->User.Sid, &system};
    int matched = 0;
    for (int i = 0; got == 0 && dacl && dacl->AceCount == 2 && i < 2; ++i) {
        ACCESS_ALLOWED_ACE *ace = NULL;
        GetAce(dacl, i, (void **)&ace);
        matched += ace->Header.AceType == ACCESS_ALLOWED_ACE_TYPE && EqualSid(&ace->SidStart, allowed[i]);
    }
    SYSTEM_MANDATORY_LABEL_ACE *label = NULL;
    if (got == 0 && sacl && sacl->AceCount == 1)
        GetAce(sacl, 0, (void **)&label);
    bool low = label && label->Header.AceType == SYSTEM_MANDATORY_LABEL_ACE_TYPE &&
               *GetSidSubAuthority(&label->SidStart, 0) == SECURITY_MANDATORY_LOW_RID;
    CHECK(matched == 2 && low == lowLabel && (lowLabel || !sacl || sacl->AceCount == 0),
          "%s: the user and SYSTEM alone, %s (security %lu, %d of %d entries them, label %s)", what,
          lowLabel ? "labelled low" : "no label", got, matched, dacl ? dacl->AceCount : -1,
          low ? "low" : sacl && sacl->AceCount ? "other" : "none");
    LocalFree(descriptor);
}

#endif
