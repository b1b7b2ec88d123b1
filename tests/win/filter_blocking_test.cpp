// Blocking across processes: this program installs the hooks with its own window
// as notify window, and the window probe, a separate process, tries to create
// windows. Switches are set in the real registry of the test prefix.
//   host STOPFILE: override_gestures.sh's hook host, "Browser" alone on, until STOPFILE
//   exists; prints "ready wait <ms>" once installed (the wait before a slow press, the
//   script's pace) and "stopped <n>", n the WM_POPUPBLOCKED messages taken.
#include "win_check.h"
#include "shared_state.h"
#include "hook_thread.h"
#include "snapveil.h"
#include "host_program.h"

static HWND g_notifyWindow;
#define NOTIFY_CLASS "HushpaneTestNotify"

// WM_POPUPBLOCKED messages taken by the counting notify windows.
static int g_hookNotifications;

static LRESULT CALLBACK Hooks_CountingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_POPUPBLOCKED) {
        ++g_hookNotifications;
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

static HWND Hooks_CreateCountingWindow(const char *className)
{
    return Window_Create(className, Hooks_CountingProc);
}

// The installs and uninstalls run as the programs make them, on the hook
// thread (started first) that only pumps: the library passes on unjudged every
// call on the thread that installed it, taking it for one relayed from the
// other bitness. Hooks_Install<InstallCBTHook>(window).
template <void (WINAPI *install)(HWND)>
static void Hooks_Install(HWND notifyWindow)
{
    HookThread_Call([](HWND window) -> LRESULT {
        install(window);
        return 0;
    }, notifyWindow);
}

template <BOOL (WINAPI *uninstall)(void)>
static BOOL Hooks_Uninstall(void)
{
    return (BOOL)HookThread_Call([](HWND) -> LRESULT { return uninstall(); }, NULL);
}

// The tray program's order: everything off first, then all three with one window.
static void Hooks_InstallAll(HWND notifyWindow)
{
    HookThread_UninstallAll();
    HookThread_InstallAll(notifyWindow);
}

// Stores the switches and installs the three hooks with the notify window.
static void Install(DWORD browser, DWORD messenger, DWORD tooltip, DWORD applet, DWORD flash,
                    HWND notify = g_notifyWindow)
{
    const DWORD values[SWITCH_COUNT] = {browser, messenger, tooltip, applet, flash};
    Switches_Write(values);
    Hooks_InstallAll(notify);
}

// Runs the probe on a list of classes and checks its veto mask, and that exactly
// one notification arrived per veto but for those in foreign; returns its run time.
static DWORD Probe(const char *classes, long expected, const char *what, long foreign = 0)
{
    g_hookNotifications = 0;
    DWORD took = 0;
    long mask = Check_Probe(classes, &took);
    Check_Pump(100);
    int vetoes = mask > 0 ? __builtin_popcountl(mask & ~foreign) : 0;
    printf("%s: mask 0x%lx, %d notification(s), %lu ms\n", what, mask, g_hookNotifications, took);
    CHECK(mask == expected, "%s: mask 0x%lx%s", what, mask, mask < 0 ? ", the probe did not finish" : "");
    CHECK(g_hookNotifications == vetoes, "%s: %d notifications for %d vetoes", what,
          g_hookNotifications, vetoes);
    return took;
}

#define TAIL64 "_123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ."

// Another program's system-wide hook, installed before the filter's and so
// called after it: it vetoes windows of its own class, in every process.
extern "C" __declspec(dllimport) HHOOK InstallOtherProgramsHook(void);

// The settings record as other processes see it: found in the probe's
// memory by the switches, while the probe waits on its first veto's notice.
static bool g_findView;
static LRESULT CALLBACK FindViewProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_POPUPBLOCKED && g_findView) {
        g_findView = false;
        const DWORD record[6] = {0x48500005, 1, 0x48500002, 0x48500003, 0x48500004, 0x48500005};
        int views = 0, readOnly = 0;
        MEMORY_BASIC_INFORMATION region;
        for (BYTE *at = NULL; VirtualQueryEx(g_checkChild, at, &region, sizeof region); at += region.RegionSize) {
            DWORD head[6] = {};
            if (region.State == MEM_COMMIT && region.Type == MEM_MAPPED &&
                ReadProcessMemory(g_checkChild, at, head, sizeof head, NULL) && !memcmp(head, record, sizeof head)) {
                ++views;
                readOnly += region.Protect == PAGE_READONLY;
            }
        }
        CHECK(views == 1 && readOnly == 1, "the probe maps the settings record once, read-only: %d "
              "view(s), %d read-only", views, readOnly);
    }
    return Hooks_CountingProc(window, message, wParam, lParam);
}

static void TestEveryRuleAcrossProcesses(void)
{
    HHOOK other = InstallOtherProgramsHook();
    Install(1, 1, 1, 1, 1);
    // Bits 0..11 and 16 are listed classes (case variants included); 12..15 and
    // 17 are not. A class name is fetched whole up to 127 characters: a longer
    // "ATL..." still begins with "ATL", a listed name with more after it is not
    // listed. Bit 18 is the other program's veto, which stands unannounced.
    Probe("IEFrame ieframe SunAwtCanvas MSAWT_Comp_Class ATL:1234 atlx "
          "MacromediaFlashPlayerActiveX MSBLPopupMsgWClass msblpopupmsgwclass "
          "tooltips_class32 TOOLTIPS_CLASS32 SUNAWTCANVAS "
          "HushpanePlain AT IEFrame2 XATL ATL" TAIL64 TAIL64 " MacromediaFlashPlayerActiveX" TAIL64
          " OtherProgramsVeto", 0x50FFF, "all switches on: listed classes and the other program's "
          "vetoed, others created", 1L << 18);
    UnhookWindowsHookEx(other);

    // Switches no reader takes for "on", and a notify window that looks for
    // the settings record in the vetoing process.
    HWND finder = Window_Create("HushpaneViewFinder", FindViewProc);
    Install(1, 0x48500002, 0x48500003, 0x48500004, 0x48500005, finder);
    g_findView = true;
    Probe("IEFrame", 1, "settings view: vetoed");
    CHECK(!g_findView, "the view was looked for");
    DestroyWindow(finder);
    const char *const records[2] = {FILTER_STATE_RECORD.session, INPUT_STATE_RECORD.session};
    for (int i = 0; i < 2; ++i) {
        HANDLE record = OpenFileMappingA(READ_CONTROL, FALSE, records[i]);
        Check_SessionSecurity(record, i == 1, records[i]);
        CloseHandle(record);
    }
}

static void TestSwitchesOffThenOneAtATime(void)
{
    Install(0, 2, 0, 2, 0);
    Probe("IEFrame SunAwtCanvas ATLx MSBLPopupMsgWClass tooltips_class32", 0, "nothing vetoed with switches 0 or 2");
    const char *classes[] = {"IEFrame", "MSBLPopupMsgWClass", "tooltips_class32", "SunAwtCanvas", "ATLfoo"};
    char what[64];
    for (int i = 0; i < 5; ++i) {
        Install(i == 0, i == 1, i == 2, i == 3, i == 4);
        wsprintfA(what, "only %s vetoed", classes[i]);
        Probe("IEFrame MSBLPopupMsgWClass tooltips_class32 SunAwtCanvas ATLfoo", 1L << i, what);
    }
    // "Flash" alone was on; with "Browser" gone the next install's load starts
    // from what the last one left in the scratch: 1.
    HKEY key = NULL;
    RegOpenKeyExA(HKEY_LOCAL_MACHINE, SETTINGS_SUBKEY, 0, KEY_SET_VALUE | REGPORT_SETTINGS_VIEW, &key);
    RegDeleteValueA(key, SWITCH_NAME_BROWSER);
    RegCloseKey(key);
    Hooks_InstallAll(g_notifyWindow);
    Probe("IEFrame MSBLPopupMsgWClass ATLfoo", 0x5, "Browser deleted after Flash alone carries the "
          "scratch over, Messenger reads 0");
}

// With the key gone an install creates it, empty, in the 32-bit program's view
// (a 64-bit library never touches its own view's key). Then values as other tools
// might leave them, under the path as users spell it: only the bytes count, of at most 4.
static void TestMissingKeyThenOddValues(void)
{
    HookThread_UninstallAll();
    RegDeleteKeyExA(HKEY_LOCAL_MACHINE, SETTINGS_SUBKEY, REGPORT_SETTINGS_VIEW, 0);
    if (REGPORT_SETTINGS_VIEW != 0)
        RegDeleteKeyExA(HKEY_LOCAL_MACHINE, SETTINGS_SUBKEY, KEY_WOW64_64KEY, 0);
    Hooks_Install<InstallCBTHook>(g_notifyWindow);
    HKEY key = NULL, own = NULL;
    DWORD values = 99;
    RegOpenKeyExA(HKEY_LOCAL_MACHINE, SETTINGS_KEY, 0, KEY_ALL_ACCESS | REGPORT_SETTINGS_VIEW, &key);
    RegQueryInfoKeyA(key, NULL, NULL, NULL, NULL, NULL, NULL, &values, NULL, NULL, NULL, NULL);
    CHECK(key && values == 0, "the install created the key, empty: %lu values", values);
    CHECK(REGPORT_SETTINGS_VIEW == 0 ||
          RegOpenKeyExA(HKEY_LOCAL_MACHINE, SETTINGS_SUBKEY, 0, KEY_READ | KEY_WOW64_64KEY, &own) != 0,
          "no key in the 64-bit view");
    RegCloseKey(own);   // harmless on NULL
    const BYTE one[8] = {1}, two[4] = {2};
    RegSetValueExA(key, SWITCH_NAME_BROWSER, 0, REG_SZ, (const BYTE *)"1", 2);
    RegSetValueExA(key, SWITCH_NAME_MESSENGER, 0, REG_BINARY, one, 2);
    RegSetValueExA(key, SWITCH_NAME_TOOLTIP, 0, REG_QWORD, one, 8);
    RegSetValueExA(key, SWITCH_NAME_APPLET, 0, REG_DWORD, two, 4);
    RegCloseKey(key);

    Hooks_InstallAll(g_notifyWindow);
    // Browser "1" reads as 0x31: off. Messenger 01 00: 1, on. Tooltip's 8 bytes
    // are ignored and carry Messenger's 1: on. Applet 2: off. Flash is missing
    // and carries Applet's 2: off.
    Probe("IEFrame MSBLPopupMsgWClass tooltips_class32 SunAwtCanvas ATLx", 0x6,
          "odd values: only Messenger and Tooltip on");
}

static void TestUninstall(void)
{
    Install(1, 1, 1, 1, 1);
    CHECK(Hooks_Uninstall<UninstallCBTHook>() != 0, "first uninstall succeeds");
    // Nothing left to remove: the system is not even asked (it would set an error).
    LRESULT error = HookThread_Call([](HWND) -> LRESULT {
        SetLastError(12345);
        return UninstallCBTHook() == 0 ? (LRESULT)GetLastError() : -1;
    }, NULL);
    CHECK(error == 12345, "second uninstall returns 0 and passes no handle on: error %ld", (long)error);
    Probe("IEFrame tooltips_class32", 0, "nothing vetoed after uninstall");

    // A second install of the same hook replaces the first, so one uninstall
    // really ends the blocking.
    Hooks_Install<InstallCBTHook>(g_notifyWindow);
    Hooks_Install<InstallCBTHook>(g_notifyWindow);
    CHECK(Hooks_Uninstall<UninstallCBTHook>() != 0, "uninstall after double install");
    Probe("IEFrame", 0, "after double install and one uninstall no orphaned hook keeps vetoing");

    // The tray's hook thread. (Which thread installs shows nowhere under Wine,
    // which keeps a thread's hooks after the thread ends.)
    HookThread_InstallAll(g_notifyWindow);
    Probe("IEFrame", 1, "installed on the hook thread");
    HookThread_UninstallAll();
    Probe("IEFrame", 0, "uninstalled on the hook thread");
    // While it waits, the asker answers what is sent to its windows, and only that.
    static HANDLE s_sent = CreateEventA(NULL, TRUE, FALSE, NULL);
    g_hookNotifications = 0;
    PostMessageA(g_notifyWindow, WM_POPUPBLOCKED, 0, 0);
    CloseHandle(CreateThread(NULL, 0, [](LPVOID) WINAPI -> DWORD {
        DWORD_PTR result;
        SendMessageTimeoutA(g_notifyWindow, WM_POPUPBLOCKED, 0, 0, SMTO_NORMAL, 5000, &result);
        return SetEvent(s_sent);
    }, NULL, 0, NULL));
    bool answered = HookThread_WaitAnswering(s_sent, 3000);
    CHECK(answered && g_hookNotifications == 1, "a send answered while waiting (%d), the post "
          "left queued: %d notification(s)", answered, g_hookNotifications);
    Check_Pump(100);
    CHECK(g_hookNotifications == 2, "the post taken by the loop after: %d", g_hookNotifications);
    CloseHandle(s_sent);
}

static void TestNotifyWindowGoneOrHung(void)
{
    HWND doomed = Hooks_CreateCountingWindow(NOTIFY_CLASS);
    Install(1, 0, 0, 0, 0, doomed);
    DestroyWindow(doomed);
    Probe("IEFrame", 1, "still vetoed with the notify window gone", 1);

    // The last install's window is notified, whichever hook it installed.
    Hooks_Install<InstallMouseHook>(doomed);
    Hooks_Install<InstallCBTHook>(g_notifyWindow);
    Probe("IEFrame", 1, "mouse hook to a gone window, then CBT hook: vetoed");
    Hooks_Install<InstallKeyDownHook>(doomed);
    Probe("IEFrame", 1, "keyboard install last: its gone window was notified, not the CBT install's", 1);

    // A notify window on a thread that stops answering must not hold the creating
    // process forever.
    HWND hung = NULL;
    static HANDLE s_releaseHung = CreateEventA(NULL, TRUE, FALSE, NULL);
    HANDLE thread = CreateThread(NULL, 0, [](LPVOID hungWindow) WINAPI -> DWORD {
        HWND window = *(HWND *)hungWindow = Hooks_CreateCountingWindow(NOTIFY_CLASS);
        WaitForSingleObject(s_releaseHung, INFINITE);   // answers nothing meanwhile
        return DestroyWindow(window);
    }, &hung, 0, NULL);
    while (hung == NULL)
        Sleep(10);
    Hooks_InstallAll(hung);
    DWORD took = Probe("IEFrame", 1, "still vetoed with the notify window hung", 1);
    CHECK(took < 15000, "the probe came back (took %lu ms)", took);
    HookThread_UninstallAll();
    SetEvent(s_releaseHung);
    WaitForSingleObject(thread, 5000);
    CloseHandle(thread);
}

// The hooks as the system calls them, from this process: their state is every
// process's. Presses land on g_frame, a shown "IEFrame" of this process.
static HWND g_frame;
static DWORD g_activityFrom, g_activityTo, g_gapMax;   // ticks around the last activity

// Calls a hook procedure with input that counts as activity, waitMs after the last.
static void Activity(HOOKPROC procedure, WPARAM wParam, LPARAM lParam, DWORD waitMs)
{
    while (GetTickCount() - g_activityTo < waitMs)
        Sleep(5);
    DWORD from = GetTickCount();
    procedure(HC_ACTION, wParam, lParam);
    g_activityTo = GetTickCount();
    g_gapMax = g_activityTo - g_activityFrom;   // the longest gap the library can have seen
    g_activityFrom = from;
}

// A left press inside the frame; true when the filter then lets an "IEFrame" through.
static bool PressInside(DWORD waitMs)
{
    MOUSEHOOKSTRUCT mouse = {{250, 200}, NULL, 0, 0};   // the middle of the frame
    Activity(MouseProc, WM_LBUTTONDOWN, (LPARAM)&mouse, waitMs);
    return CBTProc(HCBT_CREATEWND, (WPARAM)g_frame, 0) == 0;
}

static void TestHookProceduresCalledDirectly(void)
{
    Install(1, 0, 0, 0, 0);
    const UINT savedTime = GetDoubleClickTime();
    SetDoubleClickTime(300);
    // The library reads the double-click time at each press: the click interval
    // is 300 ms and the slack from now on.
    const DWORD interval = 300 + CLICK_INTERVAL_SLACK_MS, rapid = interval - 100, slow = interval + 100;
    PressInside(0);
    // 100 ms inside the interval is rapid and 100 ms past it is not; a press the
    // machine held back past the interval is tried again.
    bool open = false;
    for (int attempt = 0; attempt < 3 && (attempt == 0 || g_gapMax > interval); ++attempt) {
        CHECK(!PressInside(slow), "a press %lu ms after the last one closes the filter", slow);
        open = PressInside(rapid);
    }
    CHECK(open && g_gapMax <= interval, "a press %lu ms after the last one opens it (gap %lu)", rapid, g_gapMax);

    // A held key repeats its key-down (bit 30 set), however long it is held.
    CHECK(!PressInside(slow), "closed again");
    for (int i = 0; i < 5; ++i)
        Activity(KeyDownProc, 'A', i == 0 ? 0x001E0001 : 0x401E0001, 250);
    CHECK(PressInside(100), "a press while a key repeats opens the filter");
    Probe("IEFrame", 0, "a press while a key repeats: windows of other processes pass");
    KeyDownProc(HC_ACTION, 'A', (LPARAM)0xC01E0001);   // the release is no activity
    CHECK(!PressInside(slow), "a press past the interval, the key released since, closes it");
    SetDoubleClickTime(savedTime);

    // Closed: only creations are judged, and a handle that is no window passes
    // whatever the call before left in the class name buffer.
    CHECK(CBTProc(HCBT_CREATEWND, (WPARAM)g_frame, 0) == 1 &&
          CBTProc(HCBT_CREATEWND, (WPARAM)0x7FFF0, 0) == 0, "a handle that is no window passes");
    // On the installing thread a creation relayed from the other bitness is judged by its
    // window's class alone, its lParam (the other bitness's pointer there) never read, and
    // its notice is posted: none has arrived while this thread waited answering sends.
    HANDLE inputRecord = OpenFileMappingA(FILE_MAP_READ, FALSE, INPUT_STATE_RECORD.session);
    const OverrideState *input = (const OverrideState *)MapViewOfFile(inputRecord, FILE_MAP_READ, 0, 0, 0);
    const OverrideState before = *input;
    Sleep(20);   // a key-down taken now would show in the activity tick
    Check_PumpPending();
    g_hookNotifications = 0;
    HookThreadCall relayedCreation = [](HWND window) -> LRESULT {
        return CBTProc(HCBT_CREATEWND, (WPARAM)window, 16);
    };
    LRESULT relayedFrame = HookThread_Call(relayedCreation, g_frame);
    LRESULT unlisted = HookThread_Call(relayedCreation, g_notifyWindow);
    const int noticesWhileWaiting = g_hookNotifications;
    Check_PumpPending();
    CHECK(relayedFrame == 1 && unlisted == 0 && noticesWhileWaiting == 0 && g_hookNotifications == 1,
          "a relayed \"IEFrame\" creation vetoed, an unlisted one passed, one notice posted: answers "
          "%ld %ld, notices %d then %d", (long)relayedFrame, (long)unlisted, noticesWhileWaiting, g_hookNotifications);
    HookThread_Call([](HWND) -> LRESULT {
        MouseProc(HC_ACTION, WM_LBUTTONDOWN, 16);   // read, its lParam would fault
        return KeyDownProc(HC_ACTION, 'A', 16);
    }, NULL);
    CHECK(input->passThrough == before.passThrough && input->lastActivityTick == before.lastActivityTick &&
          input->pressVerdict == before.pressVerdict, "relayed input leaves the input record as it was: "
          "activity tick %lu then %lu", (unsigned long)before.lastActivityTick, (unsigned long)input->lastActivityTick);
    UnmapViewOfFile(input);
    CloseHandle(inputRecord);
    const int others[] = {HCBT_MOVESIZE, HCBT_ACTIVATE, HCBT_DESTROYWND, HCBT_SETFOCUS, -1};
    for (int code : others)
        CHECK(CBTProc(code, (WPARAM)g_frame, 0) == 0, "CBT code %d on an \"IEFrame\" passes", code);
    // Thread hooks run before system-wide ones, so CBTProc itself is put in this thread's
    // chain, in front of a hook that counts the creations reaching it and would veto each.
    static int s_reachedNext;
    HHOOK next = SetWindowsHookExA(WH_CBT, [](int code, WPARAM, LPARAM) CALLBACK -> LRESULT {
        s_reachedNext += code == HCBT_CREATEWND;
        return 1;
    }, NULL, GetCurrentThreadId());
    HHOOK filter = SetWindowsHookExA(WH_CBT, CBTProc, NULL, GetCurrentThreadId());
    HWND vetoed = Window_Create("IEFrame", DefWindowProcA);
    CHECK(!vetoed && s_reachedNext == 0, "a veto reached the next hook %d time(s)", s_reachedNext);
    HWND passed = Hooks_CreateCountingWindow(NOTIFY_CLASS);
    CHECK(!passed && s_reachedNext == 1, "a creation that passes reaches the next hook, whose veto "
          "stands (%p, %d)", (void *)passed, s_reachedNext);
    UnhookWindowsHookEx(filter);
    UnhookWindowsHookEx(next);
}

static bool BrowserVetoed(void)
{
    if (g_hookNotifications == 0)
        return false;
    Check_Pump(1000);   // give it the chance to try again and show something
    return true;
}

static void TestRealBrowser(void)
{
    Install(1, 0, 0, 0, 0);
    g_hookNotifications = 0;
    CHECK(!Browser_GetsFrame(30000, BrowserVetoed), "no browser frame exists");
    CHECK(g_hookNotifications >= 1, "the browser's frame was vetoed and reported");
    HookThread_UninstallAll();
    CHECK(Browser_GetsFrame(30000), "the browser's frame appears when nothing is installed");
}

#ifdef _WIN64
// Snapveil64.exe started as Hushpane starts it, beside this program, for the
// window and process given; with no window, by hand, with no arguments.
static bool Host_Start(HWND window, DWORD processId, PROCESS_INFORMATION *host)
{
    char self[MAX_PATH], line[HOST_COMMAND_LINE_SIZE] = HOST_PROGRAM_NAME;
    GetModuleFileNameA(NULL, self, sizeof self);
    if (window)
        HostProgram_FormatCommandLine(line, sizeof line, self, Handle_To32(window), processId);
    return Process_Start(line, 0, host);
}

// Vetoes by the host's hooks once it has installed them; foreign when its
// notify window is another process's.
static void Host_ExpectBlocking(const char *what, long foreign = 0)
{
    WaitFor([] { return Check_Probe("IEFrame") == 1; }, 10000);
    Probe("IEFrame", 1, what, foreign);
}

static void Host_ExpectExit(PROCESS_INFORMATION &host, long code, const char *what)
{
    DWORD start = GetTickCount();
    long got = Process_WaitExit(host, 2000);
    CHECK(got == code, "%s: the host exits with %ld within 2 s: %ld after %lu ms", what, code, got,
          GetTickCount() - start);
}

// This program stands in for Hushpane; a copy of it in "window" mode, for a
// Hushpane that is killed.
static void TestHost64(void)
{
    Install(1, 0, 0, 0, 0);   // the switches the hosts read
    HookThread_UninstallAll();
    PROCESS_INFORMATION host, other, standin;
    CHECK(Process_Start("filter_blocking_test.exe window", 0, &standin), "the stand-in starts");
    HWND standinWindow = NULL;
    auto ofStandin = [&](HWND w) { return Window_Process(w) == standin.dwProcessId; };
    WaitFor([&] { return (standinWindow = Window_Next(NOTIFY_CLASS, NULL, ofStandin)) != NULL; });
    HWND gone = Hooks_CreateCountingWindow(NOTIFY_CLASS);
    DestroyWindow(gone);
    Process_Start("hushpane_query.exe", 0, &other);   // ends at once: no command
    DWORD ended = other.dwProcessId;
    Process_WaitExit(other, 10000);
    const struct { HWND window; DWORD processId; const char *what; } refused[] = {
        {NULL, 0, "no arguments"}, {g_notifyWindow, ended, "a process that is not there"},
        {gone, GetCurrentProcessId(), "a window that is not there"},
        {g_notifyWindow, standin.dwProcessId, "another process's window"}};
    for (const auto &start : refused) {
        Host_Start(start.window, start.processId, &other);
        Host_ExpectExit(other, 1, start.what);
    }
    Probe("IEFrame", 0, "nothing blocked after the refused starts");

    CHECK(Host_Start(g_notifyWindow, GetCurrentProcessId(), &host), "the host starts");
    Host_ExpectBlocking("the host's hooks veto and notify");
    HANDLE oneHost = OpenMutexA(READ_CONTROL, FALSE, HOST_ONE_HOST_MUTEX);
    Check_SessionSecurity(oneHost, false, "one-host mutex");
    CloseHandle(oneHost);
    Host_Start(g_notifyWindow, GetCurrentProcessId(), &other);
    Host_ExpectExit(other, 1, "a second host in the session");
    Probe("IEFrame", 1, "the first host still blocks");
    PostThreadMessageA(host.dwThreadId, WM_QUIT, 0, 0);
    Host_ExpectExit(host, 0, "asked to stop");
    Probe("IEFrame", 0, "nothing blocked after the stop");

    CHECK(Host_Start(standinWindow, standin.dwProcessId, &host), "the stand-in's host starts");
    Host_ExpectBlocking("the stand-in's host vetoes", 1);
    TerminateProcess(standin.hProcess, 9);
    Host_ExpectExit(host, 0, "its Hushpane killed");
    Process_WaitExit(standin, 5000);
    Probe("IEFrame", 0, "nothing blocked after the stand-in's end");
}
#endif

int main(int argc, char **argv)
{
    Check_Begin();
    if (!CHECK(HookThread_Start(), "the hook thread starts"))
        return Check_End();
    g_notifyWindow = Hooks_CreateCountingWindow(NOTIFY_CLASS);
    if (argc == 2 && !strcmp(argv[1], "window"))
        for (;;)
            Check_Pump(1000);
    if (argc == 3 && !strcmp(argv[1], "host")) {
        Install(1, 0, 0, 0, 0);
        printf("ready wait %lu\n", Input_SlowPressWait());
        while (GetFileAttributesA(argv[2]) == INVALID_FILE_ATTRIBUTES)
            Check_Pump(50);
        HookThread_UninstallAll();
        printf("stopped %d\n", g_hookNotifications);
        return 0;
    }
    g_frame = Window_Create("IEFrame", DefWindowProcA);
    SetWindowPos(g_frame, HWND_TOP, 100, 100, 300, 200, SWP_SHOWWINDOW);   // presses land in its middle
    // A test before may have left the session's filter open: a slow press inside closes it.
    Sleep(Input_SlowPressWait());
    PressInside(0);
    TestEveryRuleAcrossProcesses();
    TestSwitchesOffThenOneAtATime();
    TestMissingKeyThenOddValues();
    TestUninstall();
    TestNotifyWindowGoneOrHung();
    TestHookProceduresCalledDirectly();
    TestRealBrowser();
#ifdef _WIN64
    TestHost64();
#endif
    HookThread_UninstallAll();
    return Check_End();
}
