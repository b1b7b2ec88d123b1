// Hushpane.exe driven from the outside: start-up (every start is three copies
// at the same moment, of which one stays), an unwritable settings key, the
// settings window, apply by hand and by its timer, reset, the hand-over of a
// second start, Esc and quit, and the Messenger service. Input is real (mouse
// and keyboard events); blocking is checked with the window probe and Wine's
// iexplore.exe, both separate processes.
#include "win_check.h"
#include "../../tray/blocked_windows.h"
#include "../../tray/switch_boxes.h"
#include "../../tray/messenger_service.h"
#include "../../tray/window_decisions.h"

// ---- registry ----------------------------------------------------------------

// The view Hushpane.exe reads its key in. Wine ignores the access mask of a
// program that claims a 9x version, as Windows 95 does, the view flag included.
static REGSAM s_settingsView = REGPORT_SETTINGS_VIEW;

// No settings key; with volatileParent its parent is made volatile, which
// refuses the lasting settings key, so every read and write fails.
static void Registry_Clear(bool volatileParent)
{
    RegDeleteKeyExA(HKEY_LOCAL_MACHINE, SETTINGS_SUBKEY, s_settingsView, 0);
    RegDeleteKeyExA(HKEY_LOCAL_MACHINE, SETTINGS_MAKER_KEY, s_settingsView, 0);
    HKEY key;
    RegCreateKeyExA(HKEY_LOCAL_MACHINE, SETTINGS_MAKER_KEY, 0, NULL,
                    volatileParent ? REG_OPTION_VOLATILE : 0, KEY_ALL_ACCESS | s_settingsView, NULL, &key, NULL);
    RegCloseKey(key);
}

static void Registry_Store(const DWORD (&values)[SWITCH_COUNT])
{
    Registry_Clear(false);
    Switches_Write(values, s_settingsView);
}

// Each stored switch, MISSING where it or the key cannot be read.
static void Registry_Expect(const DWORD (&expected)[SWITCH_COUNT], const char *when)
{
    HKEY key = NULL;
    RegOpenKeyExA(HKEY_LOCAL_MACHINE, SETTINGS_SUBKEY, 0, KEY_READ | s_settingsView, &key);
    for (int i = 0; i < SWITCH_COUNT; ++i) {
        DWORD value, size = 4;
        if (!key || RegQueryValueExA(key, SETTINGS_SWITCHES[i].valueName, NULL, NULL, (BYTE *)&value, &size))
            value = MISSING;
        CHECK(value == expected[i], "%s: %s is %ld, expected %ld", when, SETTINGS_SWITCHES[i].valueName,
              (long)value, (long)expected[i]);
    }
    RegCloseKey(key);   // harmless on NULL
}

// The settings key as a limited account sees it: anyone may read it, nobody
// may write it (this test may still delete it and its access list).
static void Registry_MakeReadOnly(void)
{
    HKEY key;
    RegOpenKeyExA(HKEY_LOCAL_MACHINE, SETTINGS_SUBKEY, 0, WRITE_DAC | s_settingsView, &key);
    static DWORD dacl[16];
    SID everyone = {SID_REVISION, 1, SECURITY_WORLD_SID_AUTHORITY, {SECURITY_WORLD_RID}};
    SECURITY_DESCRIPTOR descriptor;
    InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION);
    InitializeAcl((PACL)dacl, sizeof dacl, ACL_REVISION);
    AddAccessAllowedAce((PACL)dacl, ACL_REVISION, KEY_READ | DELETE | WRITE_DAC, &everyone);
    SetSecurityDescriptorDacl(&descriptor, TRUE, (PACL)dacl, FALSE);
    CHECK(RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, &descriptor) == 0, "settings key made read-only");
    RegCloseKey(key);
}

// ---- the program under test ----------------------------------------------------

static PROCESS_INFORMATION s_hushpane;
static DWORD s_startTick, s_shownTick;

static bool WindowShown(void)
{
    HWND window = Hushpane_Window();
    return window && IsWindowVisible(window) && !IsIconic(window);
}

static bool WindowHidden(void)
{
    HWND window = Hushpane_Window();
    return window && !IsWindowVisible(window);
}

// Three copies let go at the same moment: one shows its window and is waiting
// for input (its boxes ticked), the other two hand over to it and exit with 0.
// With ownerDies, another copy owns the one-copy mutex: none carries on until
// the event ends that owner; the start is timed from then.
static bool Hushpane_Start(HANDLE ownerDies = NULL)
{
    PROCESS_INFORMATION copies[3] = {};
    for (PROCESS_INFORMATION &copy : copies)
        Process_Start("Hushpane.exe", CREATE_SUSPENDED, &copy);
    s_startTick = GetTickCount();
    for (PROCESS_INFORMATION &copy : copies)
        ResumeThread(copy.hThread);
    if (ownerDies) {
        CHECK(!WaitFor(WindowShown, 3000), "no copy carries on while the mutex's owner lives");
        SetEvent(ownerDies);
        s_startTick = GetTickCount();
    }
    bool shown = WaitFor(WindowShown, 15000);
    s_shownTick = GetTickCount();
    DWORD shownBy = 0;
    GetWindowThreadProcessId(Hushpane_Window(), &shownBy);
    for (PROCESS_INFORMATION &copy : copies) {
        if (copy.dwProcessId == shownBy) {
            s_hushpane = copy;
            CHECK(WaitForInputIdle(copy.hProcess, 10000) == 0, "the copy with the window waits for input");
        } else {
            long code = Process_WaitExit(copy, 15000);
            CHECK(code == 0, "a copy started at the same moment hands over and exits with 0: %ld", code);
        }
    }
    int windows = 0;
    for (HWND window = NULL; (window = Hushpane_Window(window));)
        ++windows;
    CHECK(shown && windows == 1, "three copies at once leave one settings window: %d", windows);
    return shown;
}

// The copy with the window ends with 0 after what was just done (a key, a click).
static void Hushpane_ExpectExit(const char *how)
{
    long code = Process_WaitExit(s_hushpane, 5000);
    CHECK(code == 0, "%s ends the program with 0: %ld", how, code);
}

static void Hushpane_QuitBlocking(const char *when)
{
    PostMessageA(Hushpane_Window(), WM_COMMAND, IDM_QUIT_BLOCKING, 0);
    Hushpane_ExpectExit(when);
}

// A second start hands over to the running copy and exits with 0.
static void Hushpane_StartAgain(const char *when)
{
    long code = Check_RunPumping("Hushpane.exe", 15000, NULL);
    CHECK(code == 0, "a second start %s exits with 0: %ld", when, code);
}

static void ExpectFocusOnApply(const char *when)
{
    auto focus = [] {
        GUITHREADINFO info = {sizeof info};
        HWND window = Hushpane_Window();
        return window && GetGUIThreadInfo(GetWindowThreadProcessId(window, NULL), &info) && info.hwndFocus
                   ? GetDlgCtrlID(info.hwndFocus) : -1;
    };
    CHECK(WaitFor([&] { return focus() == IDC_APPLY && GetForegroundWindow() == Hushpane_Window(); }),
          "%s: in front with the focus on OK (focus %d)", when, focus());
}

static void ExpectBoxes(const int (&expected)[SWITCH_COUNT], const char *when)
{
    HWND window = Hushpane_Window();
    auto id = [](int i) { return SwitchBoxes_IdOf(SETTINGS_SWITCHES[i].place); };
    auto box = [&](int i) { return (int)IsDlgButtonChecked(window, id(i)); };
    WaitFor([&] { int i = 0; while (i < SWITCH_COUNT && box(i) == expected[i]) ++i; return i == SWITCH_COUNT; });
    for (int i = 0; i < SWITCH_COUNT; ++i)
        CHECK(box(i) == expected[i], "%s: box %d is %d, expected %d", when, id(i),
              box(i), expected[i]);
}

// ---- real input ------------------------------------------------------------------

// A click on a control of the settings window; the caller waits for what it does.
static void Input_Click(int controlId)
{
    HWND root = Hushpane_Window();
    RECT r;
    GetWindowRect(GetDlgItem(root, controlId), &r);
    POINT at = {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    SetCursorPos(at.x, at.y);
    CHECK(WaitFor([&] {
              POINT now;
              return GetCursorPos(&now) && now.x == at.x && now.y == at.y &&
                     GetAncestor(WindowFromPoint(at), GA_ROOT) == root;
          }),
          "%ld,%ld under the cursor, uncovered", at.x, at.y);
    mouse_event(MOUSEEVENTF_LEFTDOWN, 0, 0, 0, 0);
    mouse_event(MOUSEEVENTF_LEFTUP, 0, 0, 0, 0);
}

// The window shown again (the tray menu's "&Settings"), then a key on OK.
static void Input_KeyOnApply(BYTE key, const char *when)
{
    PostMessageA(Hushpane_Window(), WM_COMMAND, IDM_SETTINGS, 0);
    ExpectFocusOnApply(when);
    keybd_event(key, 0, 0, 0);
    keybd_event(key, 0, KEYEVENTF_KEYUP, 0);
}

// ---- blocking, seen from other processes --------------------------------------------

// A browser frame of this test's own, made before any hook exists: a press on
// the settings window opens the filter for every process, and only a slow
// left press inside a browser window closes it again.
static HWND s_browserFrame;

static void BrowserFrame_Create(void)
{
    s_browserFrame = Window_Create("IEFrame", DefWindowProcA, WS_EX_TOPMOST,
                                   WS_POPUP | WS_BORDER | WS_VISIBLE, 160, 120);
    CHECK(s_browserFrame != NULL, "test browser frame created");
    Check_Pump(300);
}

// A slow press on the frame; this thread must take the press (its release
// comes after) for the hook to see it.
static void Filter_Close(void)
{
    Sleep(Input_SlowPressWait());
    SetCursorPos(80, 60);
    Check_Pump(50);
    mouse_event(MOUSEEVENTF_LEFTDOWN, 0, 0, 0, 0);
    mouse_event(MOUSEEVENTF_LEFTUP, 0, 0, 0, 0);
    MSG msg = {};
    auto reached = [&] { return msg.message == WM_LBUTTONUP && msg.hwnd == s_browserFrame; };
    CHECK(WaitFor([&] {
              while (!reached() && PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE) && !reached())
                  DispatchMessageA(&msg);
              return reached();
          }),
          "the slow press reached the test browser frame");
    // Give the keyboard back to the program under test.
    HWND window = Hushpane_Window();
    if (window && IsWindowVisible(window))
        SetForegroundWindow(window);
}

static void ExpectProbe(const char *classes, long mask, const char *what)
{
    DWORD took = 0;
    long got = Check_Probe(classes, &took);
    CHECK(got == mask, "%s: mask 0x%lx for %s (%lu ms)", what, got, classes, took);
}

// ---- the stand-in Messenger service -------------------------------------------------

// The stand-in, this program run as "tray_program_test.exe service": runs
// until it is asked to stop.
static SERVICE_STATUS_HANDLE s_statusHandle;
static HANDLE s_stopEvent;

static void Service_Report(DWORD state)
{
    SERVICE_STATUS status = {SERVICE_WIN32_OWN_PROCESS, state,
                             state == SERVICE_RUNNING ? (DWORD)SERVICE_ACCEPT_STOP : 0};
    SetServiceStatus(s_statusHandle, &status);
}

static DWORD WINAPI Service_Control(DWORD control, DWORD, LPVOID, LPVOID)
{
    if (control == SERVICE_CONTROL_STOP) {
        Service_Report(SERVICE_STOP_PENDING);
        SetEvent(s_stopEvent);
    }
    return NO_ERROR;
}

static void WINAPI Service_Main(DWORD, LPSTR *)
{
    s_statusHandle = RegisterServiceCtrlHandlerExA(MESSENGER_SERVICE_NAME, Service_Control, NULL);
    s_stopEvent = CreateEventA(NULL, TRUE, FALSE, NULL);
    Service_Report(SERVICE_RUNNING);
    WaitForSingleObject(s_stopEvent, INFINITE);
    Service_Report(SERVICE_STOPPED);
}

// The test's handles on the service manager and the stand-in, from
// Service_Install to Service_Remove.
static SC_HANDLE s_serviceManager, s_service;

static SERVICE_STATUS_PROCESS Service_Status(void)
{
    SERVICE_STATUS_PROCESS status = {};
    DWORD needed;
    QueryServiceStatusEx(s_service, SC_STATUS_PROCESS_INFO, (BYTE *)&status, sizeof status, &needed);
    return status;
}

static bool Service_WaitState(DWORD state)
{
    // Polled gently: every poll is a round trip to the service manager.
    return WaitFor([=] {
        if (Service_Status().dwCurrentState == state)
            return true;
        Sleep(80);
        return false;
    }, 30000);
}

// Stopped, and its process gone: Wine's manager hands a start that comes while
// the old process is still ending to that process, and the start times out.
static void Service_StopAndWait(void)
{
    DWORD pid = Service_Status().dwProcessId;
    SERVICE_STATUS stopping;
    ControlService(s_service, SERVICE_CONTROL_STOP, &stopping);
    Service_WaitState(SERVICE_STOPPED);
    HANDLE process = pid ? OpenProcess(SYNCHRONIZE, FALSE, pid) : NULL;
    if (process) {
        WaitForSingleObject(process, 10000);
        CloseHandle(process);
    }
}

// The stand-in registered as "Messenger", or the existing one pointed at it,
// and run once.
static void Service_Install(void)
{
    char path[MAX_PATH + 16] = "\"";
    GetModuleFileNameA(NULL, path + 1, MAX_PATH);
    lstrcatA(path, "\" service");
    s_serviceManager = OpenSCManagerA(NULL, NULL, SC_MANAGER_ALL_ACCESS);
    if ((s_service = OpenServiceA(s_serviceManager, MESSENGER_SERVICE_NAME, SERVICE_ALL_ACCESS)))
        ChangeServiceConfigA(s_service, SERVICE_WIN32_OWN_PROCESS, SERVICE_DEMAND_START,
                             SERVICE_ERROR_IGNORE, path, NULL, NULL, NULL, NULL, NULL, NULL);
    else
        s_service = CreateServiceA(s_serviceManager, MESSENGER_SERVICE_NAME, MESSENGER_SERVICE_NAME, SERVICE_ALL_ACCESS,
                                   SERVICE_WIN32_OWN_PROCESS, SERVICE_DEMAND_START, SERVICE_ERROR_IGNORE,
                                   path, NULL, NULL, NULL, NULL, NULL);
    if (!CHECK(s_service != NULL, "test service registered (error %lu)", GetLastError()))
        return;
    // A freshly booted Wine prefix may keep its service database locked for a
    // while (ERROR_SERVICE_DATABASE_LOCKED): run the service once, retrying,
    // before the program under test is asked to drive it.
    DWORD start = GetTickCount();
    bool running = false;
    while (!running && GetTickCount() - start < 60000) {
        if (StartServiceA(s_service, 0, NULL) || GetLastError() == ERROR_SERVICE_ALREADY_RUNNING)
            running = Service_WaitState(SERVICE_RUNNING);
        else
            Sleep(500);
    }
    CHECK(running, "the stand-in service can be started at all (%lu ms)", GetTickCount() - start);
    Service_StopAndWait();
}

static void Service_Remove(void)
{
    Service_StopAndWait();
    DeleteService(s_service);
    CloseServiceHandle(s_service);
    CloseServiceHandle(s_serviceManager);
}

// ---- layout ---------------------------------------------------------------------------

// 'i' list or push button, 'b' check box, 'g' group box, 'p' picture, 't' text, 'a' animation
static char Layout_Kind(HWND control)
{
    char className[32];
    GetClassNameA(control, className, sizeof className);
    LONG style = GetWindowLongA(control, GWL_STYLE);
    if (!lstrcmpiA(className, "ComboBox"))
        return 'i';
    if (!lstrcmpiA(className, "Button"))
        return (style & 0xF) == BS_GROUPBOX ? 'g' : (style & 0xF) == BS_AUTOCHECKBOX ? 'b' : 'i';
    if (!lstrcmpiA(className, "Static"))
        return (style & 0x1F) == SS_ICON ? 'p' : 't';
    return 'a';
}

static bool Layout_Inside(const RECT &inner, const RECT &outer)
{
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

// Every control within the client area; no two interactive controls overlap;
// pictures and texts keep off lists and buttons; each group box holds its boxes.
static void TestLayout(void)
{
    HWND window = Hushpane_Window();
    struct Control { HWND window; int id; char kind; RECT rect; } controls[40];   // rect: in the client area
    int count = 0;
    for (HWND child = GetWindow(window, GW_CHILD); child && count < 40; child = GetWindow(child, GW_HWNDNEXT)) {
        Control &c = controls[count++] = {child, GetDlgCtrlID(child), Layout_Kind(child)};
        GetWindowRect(child, &c.rect);
        MapWindowPoints(NULL, window, (POINT *)&c.rect, 2);
    }
    RECT client, both;
    GetClientRect(window, &client);
    CHECK(count == 23, "6 added and 17 template controls: %d", count);
    HWND group[2] = {};   // the desktop group box, the browser one
    for (int i = 0; i < count; ++i) {
        const Control &a = controls[i];
        CHECK(IsWindowVisible(a.window), "control %d (%c) visible", a.id, a.kind);
        CHECK(Layout_Inside(a.rect, client), "control %d (%c) at %ld,%ld-%ld,%ld inside the client area "
              "0,0-%ld,%ld", a.id, a.kind, a.rect.left, a.rect.top, a.rect.right, a.rect.bottom,
              client.right, client.bottom);
        if (a.kind == 'g')
            group[a.id != IDC_DESKTOP_GROUP] = a.window;
        for (int j = i + 1; j < count; ++j) {
            const Control &b = controls[j];
            bool mustNotOverlap = a.kind == 'i' || b.kind == 'i' ? a.kind != 'g' && b.kind != 'g'
                                                                 : a.kind == 'b' && b.kind == 'b';
            CHECK(!mustNotOverlap || !IntersectRect(&both, &a.rect, &b.rect), "controls %d (%c) and %d (%c) "
                  "overlap", a.id, a.kind, b.id, b.kind);
        }
    }
    const int groupOf[][2] = {{IDC_MESSENGER_BOX, 0}, {IDC_TOOLTIP_BOX, 0}, {IDC_APPLET_BOX, 1},
                              {IDC_FLASH_BOX, 1}};
    for (const auto &entry : groupOf) {
        RECT box, in;
        GetWindowRect(GetDlgItem(window, entry[0]), &box);
        GetWindowRect(group[entry[1]], &in);
        CHECK(Layout_Inside(box, in), "box %d inside its group box", entry[0]);
    }
    // Their items are records_tools.sh's to check.
    CHECK(SendMessageA(GetDlgItem(window, IDC_INSPECT_LIST), CB_GETCURSEL, 0, 0) == 0 &&
          SendMessageA(GetDlgItem(window, IDC_DELETE_LIST), CB_GETCURSEL, 0, 0) == 0, "first list items selected");
}

// ---- scenarios --------------------------------------------------------------------------

// An unwritable settings key, then a first start, apply by a click, the
// hand-over of a second start, no second apply from the timer, reset, apply
// by Enter, and Esc.
static void TestManualApplyResetAndEsc(void)
{
    printf("-- limited account, settings key refused; first start, manual apply, second start, reset, Esc\n");
    Service_StopAndWait();
    Registry_Store({1, 0, 1, 0, 0});
    Registry_MakeReadOnly();
    if (Hushpane_Start()) {
        HWND window = Hushpane_Window();
        ExpectBoxes({1, 0, 1, 0, 0}, "limited account: the stored switches");
        for (const SwitchBox &box : SWITCH_BOXES)
            CHECK(!IsWindowEnabled(GetDlgItem(window, box.boxId)), "box %d cannot be changed", box.boxId);
        HANDLE mutex = OpenMutexA(READ_CONTROL, FALSE,
                                  WindowDecisions_OneCopyMutexName(VER_PLATFORM_WIN32_NT, 5));
        Check_SessionSecurity(mutex, false, "one-copy mutex");
        CloseHandle(mutex);
        PostMessageA(window, WM_COMMAND, IDC_APPLY, (LPARAM)GetDlgItem(window, IDC_APPLY));
        CHECK(WaitFor(WindowHidden, 15000), "limited account: hidden after OK");
        Filter_Close();
        ExpectProbe("IEFrame tooltips_class32 SunAwtCanvas", 3, "blocking as stored");
        // Nor may it change the programs left alone: both buttons greyed, a line says why
        // (set last as the window starts, so once it shows the buttons are as they stay).
        PostMessageA(window, WM_COMMAND, IDM_BLOCKED_WINDOWS, 0);
        HWND blocked = NULL;
        char note[128] = "";
        WaitFor([&] {
            blocked = Window_NotOurs("#32770", BLOCKED_WINDOWS_TITLE);
            HWND line = GetDlgItem(blocked, IDC_BLOCKED_NOTE);
            return line && GetWindowTextA(line, note, sizeof note) > 0;
        }, 5000);
        CHECK(note[0] && !IsWindowEnabled(GetDlgItem(blocked, IDC_LEAVE_ALONE)) &&
              !IsWindowEnabled(GetDlgItem(blocked, IDC_BLOCK_AGAIN)),
              "limited account: the Blocked Windows buttons greyed, a line says why (\"%s\")", note);
        Registry_Expect({1, 0, 1, 0, 0}, "limited account: nothing written");
        Hushpane_QuitBlocking("Quit Blocking on a limited account");
        Service_StopAndWait();
    }
    Registry_Clear(true);
    if (Hushpane_Start()) {
        ExpectBoxes({0, 0, 0, 0, 0}, "settings key refused: the forced Browser write failed");
        Hushpane_QuitBlocking("Quit Blocking with the settings key refused");
    }
    Registry_Clear(false);
    if (!Hushpane_Start())
        return;
    ExpectBoxes({1, 0, 0, 0, 0}, "first start");
    Registry_Expect({1, MISSING, MISSING, MISSING, MISSING}, "first start, waiting");
    ExpectFocusOnApply("at start");
    TestLayout();
    ExpectProbe("IEFrame", 0, "nothing blocked before the first apply");

    Input_Click(IDC_TOOLTIP_BOX);
    ExpectBoxes({1, 0, 1, 0, 0}, "after a click on the Tooltip box");
    Registry_Expect({1, MISSING, MISSING, MISSING, MISSING}, "a box click writes nothing");
    Input_Click(IDC_APPLY);
    // The apply asks the service manager to start the service, which may take
    // Wine's a few seconds.
    CHECK(WaitFor(WindowHidden, 15000), "hidden after a click on OK");
    Registry_Expect({1, 0, 1, 0, 0}, "after OK");
    CHECK(Service_WaitState(SERVICE_RUNNING), "Messenger box cleared: service started (state %lu)",
          Service_Status().dwCurrentState);
    ExpectProbe("IEFrame tooltips_class32 SunAwtCanvas", 3, "browser and tooltip vetoed, applet created");

    // A second start: hands over and leaves the registry alone.
    const DWORD sentinel[5] = {0, 0, 1, 0, 7};
    Registry_Store(sentinel);
    Hushpane_StartAgain("after the apply");
    CHECK(WaitFor(WindowShown), "first copy's window back");
    ExpectFocusOnApply("after the hand-over");
    Registry_Expect(sentinel, "second start touched nothing");
    ExpectProbe("IEFrame", 1, "still blocking after the hand-over");

    // The timer was killed by the apply: past 15 s nothing changes.
    WaitUntil(s_startTick + 17000);
    CHECK(WindowShown(), "no second apply minimised the window");
    Registry_Expect(sentinel, "no second apply wrote the switches");

    Input_Click(IDC_RESET);
    ExpectBoxes({1, 0, 0, 0, 0}, "after reset");
    CHECK(WindowShown(), "reset keeps the window shown");
    // The press on Reset opened the filter: closed, a hook still installed would veto.
    Filter_Close();
    ExpectProbe("IEFrame", 0, "reset stops blocking at once");
    Registry_Expect(sentinel, "reset writes nothing");

    // Apply by the keyboard: Enter with the focus on OK.
    Input_KeyOnApply(VK_RETURN, "back on OK");
    CHECK(WaitFor(WindowHidden, 15000), "hidden after Enter on OK");
    Registry_Expect({1, 0, 0, 0, 0}, "after Enter: the reset states");
    // The press on Reset opened the filter; no hook saw the close after it.
    Filter_Close();
    ExpectProbe("IEFrame", 1, "blocking again after Enter");

    Input_KeyOnApply(VK_ESCAPE, "shown for Esc");
    Hushpane_ExpectExit("Esc");
    ExpectProbe("IEFrame", 0, "hooks gone after Esc");
}

// Stored "Browser" 0 is forced back to 1; a second start while the timer runs
// only restores the window; with no input the timer applies.
static void TestAutoApplyAndQuit(void)
{
    printf("-- auto-apply after a second start, Quit\n");
    Registry_Store({0, 1, 0, 1, MISSING});
    // Any program may make a window of the class: it is no running copy.
    HWND squatter = Window_Create(SETTINGS_WINDOW_CLASS, DefWindowProcA);
    bool started = Hushpane_Start();
    DestroyWindow(squatter);
    if (!started)
        return;
    // Flash is missing and carries Applet's 1 over.
    ExpectBoxes({1, 1, 0, 1, 1}, "stored switches shown");
    Registry_Expect({1, 1, 0, 1, MISSING}, "Browser rewritten while waiting");

    // Late enough that a timer started again by it would fire well after 15 s.
    WaitUntil(s_shownTick + 6000);
    Hushpane_StartAgain("while counting down");
    ExpectFocusOnApply("after a second start while counting down");
    CHECK(WaitFor(WindowHidden, 25000), "hidden by the auto-apply");
    DWORD after = GetTickCount() - s_shownTick;
    CHECK(after >= 13000 && after <= 19000, "auto-apply 15 s after the first start, not the second: %lu ms "
          "after the window showed", after);
    Registry_Expect({1, 1, 0, 1, 1}, "auto-apply wrote the boxes");
    CHECK(Service_WaitState(SERVICE_STOPPED), "Messenger box ticked: service stopped (state %lu)",
          Service_Status().dwCurrentState);
    // The minimise request posted after the apply must not show the window again.
    CHECK(!WaitFor(WindowShown, 1000), "still hidden a second later");
    // The last press of the scenario before left the filter open.
    Filter_Close();
    ExpectProbe("IEFrame MSBLPopupMsgWClass tooltips_class32 SunAwtCanvas ATLx", 0x1B,
                "switches from the boxes are in force");
    CHECK(!Browser_GetsFrame(4000), "Wine's browser gets no window while blocked");

    // The Quit button (the tray menu's "&Quit Blocking" is the shell test's).
    PostMessageA(Hushpane_Window(), WM_COMMAND, IDM_SETTINGS, 0);
    CHECK(WaitFor(WindowShown), "shown again for Quit");
    Input_Click(IDC_EXIT);
    Hushpane_ExpectExit("Quit");
    CHECK(WaitFor([] { return Hushpane_Window() == NULL; }), "window gone");
    ExpectProbe("IEFrame", 0, "hooks gone after quit");
    CHECK(Browser_GetsFrame(15000), "Wine's browser gets its window once blocking ended");
}

// A copy that owns the one-copy mutex (named as where there are no sessions)
// until the event, and then dies owning it: the mutex is left abandoned.
static HANDLE s_ownerHolds, s_ownerDies;

static DWORD WINAPI DyingCopy(LPVOID)
{
    CreateMutexA(NULL, TRUE, WindowDecisions_OneCopyMutexName(VER_PLATFORM_WIN32_WINDOWS, 4));
    SetEvent(s_ownerHolds);
    return WaitForSingleObject(s_ownerDies, 30000);
}

// On the 9x family the service is left alone whatever the box says; a reset
// before the timer fires is what its apply stores. The three copies started
// wait on the mutex of a copy that dies meanwhile: one of them takes it over.
static void TestResetThenAutoApplyOn9x(void)
{
    printf("-- Windows 98 family: reset, auto-apply, no service calls\n");
    RegSetKeyValueA(HKEY_CURRENT_USER, "Software\\Wine\\AppDefaults\\Hushpane.exe", "Version", REG_SZ, "win98", 6);
    s_settingsView = 0;
    Service_StopAndWait();
    Registry_Store({1, 1, 1, 1, 1});
    s_ownerHolds = CreateEventA(NULL, TRUE, FALSE, NULL);
    s_ownerDies = CreateEventA(NULL, TRUE, FALSE, NULL);
    CloseHandle(CreateThread(NULL, 0, DyingCopy, NULL, 0, NULL));
    WaitForSingleObject(s_ownerHolds, 5000);
    if (Hushpane_Start(s_ownerDies)) {
        CHECK(s_shownTick - s_startTick < 5000, "no wait after the owner died: %lu ms", s_shownTick - s_startTick);
        ExpectBoxes({1, 1, 1, 1, 1}, "stored switches shown on 9x");
        Input_Click(IDC_RESET);
        ExpectBoxes({1, 0, 0, 0, 0}, "after reset on 9x");
        // What the countdown's end does, whichever timer it is.
        PostMessageA(Hushpane_Window(), WM_TIMER, 1, 0);
        CHECK(WaitFor(WindowHidden, 25000), "hidden by the auto-apply");
        Registry_Expect({1, 0, 0, 0, 0}, "the auto-apply stored the reset states");
        // On the NT family the cleared Messenger box would start the service.
        CHECK(!WaitFor([] { return Service_Status().dwCurrentState != SERVICE_STOPPED; }, 1500),
              "9x apply left the service stopped: state %lu", Service_Status().dwCurrentState);
        Hushpane_QuitBlocking("Quit Blocking on 9x");
    }
    RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Wine\\AppDefaults\\Hushpane.exe");
    s_settingsView = REGPORT_SETTINGS_VIEW;
}

int main(int argc, char **argv)
{
    if (argc == 2 && !lstrcmpA(argv[1], "service")) {
        SERVICE_TABLE_ENTRYA table[] = {{(LPSTR)MESSENGER_SERVICE_NAME, Service_Main}, {NULL, NULL}};
        return StartServiceCtrlDispatcherA(table) ? 0 : 1;
    }
    Check_Begin();
    BrowserFrame_Create();
    Service_Install();
    TestManualApplyResetAndEsc();
    TestAutoApplyAndQuit();
    TestResetThenAutoApplyOn9x();
    Service_Remove();
    return Check_End();
}
