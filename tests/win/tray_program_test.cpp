// Hushpane.exe driven from the outside: start-up (every start is three copies
// at the same moment, of which one stays), an unwritable settings key, the
// settings window, apply by hand and by its timer, reset, the hand-over of a
// second start, Esc and quit, and the Messenger service. Input is real (mouse
// and keyboard events); blocking is checked with the window probe and Wine's
// iexplore.exe, both separate processes.
#include "win_check.h"

// ---- registry ----------------------------------------------------------------

// No settings key; with volatileParent its parent is made volatile, which
// refuses the lasting settings key, so every read and write fails.
static void Registry_Clear(bool volatileParent)
{
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, SETTINGS_SUBKEY);
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, "Software\\Quorvane");
    HKEY key;
    RegCreateKeyExA(HKEY_LOCAL_MACHINE, "Software\\Quorvane", 0, NULL,
                    volatileParent ? REG_OPTION_VOLATILE : 0, KEY_ALL_ACCESS, NULL, &key, NULL);
    RegCloseKey(key);
}

static void Registry_Store(const DWORD values[SWITCH_COUNT])
{
    Registry_Clear(false);
    HookFixture_WriteSwitches(values);
}

static void Registry_Expect(const DWORD expected[SWITCH_COUNT], const char *when)
{
    DWORD values[SWITCH_COUNT];
    Check_ReadSwitches(values);
    for (int i = 0; i < SWITCH_COUNT; ++i)
        CHECK(values[i] == expected[i], "%s: %s is %ld, expected %ld", when, SETTINGS_SWITCHES[i].valueName,
              (long)values[i], (long)expected[i]);
}

// ---- the program under test ----------------------------------------------------

static PROCESS_INFORMATION s_hushpane;
static DWORD s_startTick, s_shownTick;

// Settings windows after `after`; a window of the class that this test made
// itself is not Hushpane's.
static HWND Hushpane_NextWindow(HWND after)
{
    DWORD owner = 0;
    while ((after = FindWindowExA(NULL, after, SETTINGS_WINDOW_CLASS, NULL)) &&
           (GetWindowThreadProcessId(after, &owner), owner == GetCurrentProcessId())) {}
    return after;
}

static HWND Hushpane_Window(void)
{
    return Hushpane_NextWindow(NULL);
}

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
    for (HWND window = NULL; (window = Hushpane_NextWindow(window));)
        ++windows;
    CHECK(shown && windows == 1, "three copies at once leave one settings window: %d", windows);
    return shown;
}

static int FocusId(void)
{
    HWND window = Hushpane_Window();
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    if (!window || !GetGUIThreadInfo(GetWindowThreadProcessId(window, NULL), &info) || !info.hwndFocus)
        return -1;
    return GetDlgCtrlID(info.hwndFocus);
}

static void ExpectFocusOnApply(const char *when)
{
    CHECK(WaitFor([] { return FocusId() == IDC_APPLY && GetForegroundWindow() == Hushpane_Window(); }),
          "%s: in front with the focus on OK (focus %d)", when, FocusId());
}

static void ExpectBoxes(const int expected[SWITCH_COUNT], const char *when)
{
    HWND window = Hushpane_Window();
    auto box = [&](int i) { return (int)IsDlgButtonChecked(window, SETTINGS_SWITCHES[i].boxId); };
    WaitFor([&] {
        for (int i = 0; i < SWITCH_COUNT; ++i)
            if (box(i) != expected[i])
                return false;
        return true;
    });
    for (int i = 0; i < SWITCH_COUNT; ++i)
        CHECK(box(i) == expected[i], "%s: box %d is %d, expected %d", when, SETTINGS_SWITCHES[i].boxId,
              box(i), expected[i]);
}

// ---- real input ------------------------------------------------------------------

// A click on the top-level window root at a point; the caller waits for what it does.
static void Input_ClickAt(POINT at, HWND root)
{
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

static void Input_Click(int controlId)
{
    RECT r;
    GetWindowRect(GetDlgItem(Hushpane_Window(), controlId), &r);
    Input_ClickAt({(r.left + r.right) / 2, (r.top + r.bottom) / 2}, Hushpane_Window());
}

static void Input_Key(BYTE key)
{
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
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(NULL);
    wc.hbrBackground = (HBRUSH)(COLOR_WINDOW + 1);
    wc.lpszClassName = "IEFrame";
    RegisterClassA(&wc);
    s_browserFrame = CreateWindowExA(WS_EX_TOPMOST, "IEFrame", "test browser", WS_POPUP | WS_BORDER | WS_VISIBLE,
                                     0, 0, 160, 120, NULL, NULL, wc.hInstance, NULL);
    CHECK(s_browserFrame != NULL, "test browser frame created");
    Check_Pump(300);
}

// A press counts as slow only past the click interval since the last inside
// press or key-down; this thread must take the press (its release comes
// after) for the hook to see it.
static void Filter_Close(void)
{
    Sleep(GetDoubleClickTime() + 200);
    SetCursorPos(80, 60);
    Check_Pump(50);
    mouse_event(MOUSEEVENTF_LEFTDOWN, 0, 0, 0, 0);
    mouse_event(MOUSEEVENTF_LEFTUP, 0, 0, 0, 0);
    MSG msg = {};
    CHECK(WaitFor([&] {
              while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE) &&
                     !(msg.message == WM_LBUTTONUP && msg.hwnd == s_browserFrame))
                  DispatchMessageA(&msg);
              return msg.message == WM_LBUTTONUP && msg.hwnd == s_browserFrame;
          }),
          "the slow press reached the test browser frame");
    // Give the keyboard back to the program under test.
    HWND window = Hushpane_Window();
    if (window && IsWindowVisible(window))
        SetForegroundWindow(window);
}

// Starts Wine's browser; true when its frame window appeared within timeoutMs.
static bool Browser_GetsWindow(DWORD timeoutMs)
{
    PROCESS_INFORMATION pi = {};
    if (!Process_Start(BROWSER_COMMAND, 0, &pi)) {
        printf("cannot start iexplore.exe\n");
        return false;
    }
    // This test's own frame is an "IEFrame" too.
    bool found = WaitFor([&] { return Check_WindowOf("IEFrame", pi.dwProcessId) != NULL; }, timeoutMs);
    TerminateProcess(pi.hProcess, 0);
    Process_WaitExit(pi, 5000);
    return found;
}

// ---- the stand-in Messenger service -------------------------------------------------

// The stand-in service opened for one call; Service_Close closes both handles.
static SC_HANDLE s_serviceManager;

static SC_HANDLE Service_Open(DWORD access)
{
    s_serviceManager = OpenSCManagerA(NULL, NULL, SC_MANAGER_ALL_ACCESS);
    return OpenServiceA(s_serviceManager, "Messenger", access);
}

static void Service_Close(SC_HANDLE service)
{
    CloseServiceHandle(service);
    CloseServiceHandle(s_serviceManager);
}

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
    s_statusHandle = RegisterServiceCtrlHandlerExA("Messenger", Service_Control, NULL);
    s_stopEvent = CreateEventA(NULL, TRUE, FALSE, NULL);
    Service_Report(SERVICE_RUNNING);
    WaitForSingleObject(s_stopEvent, INFINITE);
    Service_Report(SERVICE_STOPPED);
}

// The stand-in registered as "Messenger", or the existing one pointed at it.
static void Service_Install(void)
{
    char path[MAX_PATH + 16] = "\"";
    GetModuleFileNameA(NULL, path + 1, MAX_PATH);
    lstrcatA(path, "\" service");
    SC_HANDLE service = Service_Open(SERVICE_ALL_ACCESS);
    if (service)
        ChangeServiceConfigA(service, SERVICE_WIN32_OWN_PROCESS, SERVICE_DEMAND_START,
                             SERVICE_ERROR_IGNORE, path, NULL, NULL, NULL, NULL, NULL, NULL);
    else
        service = CreateServiceA(s_serviceManager, "Messenger", "Messenger", SERVICE_ALL_ACCESS,
                                 SERVICE_WIN32_OWN_PROCESS, SERVICE_DEMAND_START, SERVICE_ERROR_IGNORE,
                                 path, NULL, NULL, NULL, NULL, NULL);
    CHECK(service != NULL, "test service registered (error %lu)", GetLastError());
    Service_Close(service);
}

static DWORD Service_State(void)
{
    SC_HANDLE service = Service_Open(SERVICE_QUERY_STATUS);
    SERVICE_STATUS status = {};
    QueryServiceStatus(service, &status);
    Service_Close(service);
    return status.dwCurrentState;
}

static bool Service_WaitState(DWORD state)
{
    // Polled gently: every poll is a round trip to the service manager.
    return WaitFor([=] { return Service_State() == state || (Sleep(80), false); }, 30000);
}

// Stopped, and its process gone: Wine's manager hands a start that comes while
// the old process is still ending to that process, and the start times out.
static void Service_StopAndWait(void)
{
    SC_HANDLE service = Service_Open(SERVICE_ALL_ACCESS);
    SERVICE_STATUS_PROCESS status = {};
    DWORD needed;
    QueryServiceStatusEx(service, SC_STATUS_PROCESS_INFO, (BYTE *)&status, sizeof status, &needed);
    SERVICE_STATUS stopping;
    ControlService(service, SERVICE_CONTROL_STOP, &stopping);
    Service_Close(service);
    Service_WaitState(SERVICE_STOPPED);
    HANDLE process = status.dwProcessId ? OpenProcess(SYNCHRONIZE, FALSE, status.dwProcessId) : NULL;
    if (process) {
        WaitForSingleObject(process, 10000);
        CloseHandle(process);
    }
}

// A freshly booted Wine prefix may keep its service database locked for a
// while (ERROR_SERVICE_DATABASE_LOCKED): run the service once, retrying,
// before the program under test is asked to drive it.
static void Service_WarmUp(void)
{
    DWORD start = GetTickCount();
    bool running = false;
    while (!running && GetTickCount() - start < 60000) {
        SC_HANDLE service = Service_Open(SERVICE_ALL_ACCESS);
        bool started = StartServiceA(service, 0, NULL) || GetLastError() == ERROR_SERVICE_ALREADY_RUNNING;
        Service_Close(service);
        if (started)
            running = Service_WaitState(SERVICE_RUNNING);
        else
            Sleep(500);
    }
    printf("test service warm-up: %s after %lu ms\n", running ? "running" : "NOT running",
           GetTickCount() - start);
    CHECK(running, "the stand-in service can be started at all");
    Service_StopAndWait();
}

static void Service_Remove(void)
{
    Service_StopAndWait();
    SC_HANDLE service = Service_Open(SERVICE_ALL_ACCESS);
    DeleteService(service);
    Service_Close(service);
}

// ---- layout ---------------------------------------------------------------------------

struct Control {
    HWND window;
    int id;
    char kind;   // 'i' list or push button, 'b' check box, 'g' group box, 'p' picture, 't' text, 'a' animation
    RECT rect;   // client coordinates of the settings window
};

static Control s_controls[40];
static int s_controlCount;

static BOOL CALLBACK Layout_Collect(HWND child, LPARAM parent)
{
    if (GetParent(child) != (HWND)parent || s_controlCount == 40)
        return TRUE;
    Control &c = s_controls[s_controlCount++];
    c.window = child;
    c.id = GetDlgCtrlID(child);
    char className[32];
    GetClassNameA(child, className, sizeof className);
    LONG style = GetWindowLongA(child, GWL_STYLE);
    if (!lstrcmpiA(className, "ComboBox"))
        c.kind = 'i';
    else if (!lstrcmpiA(className, "Button"))
        c.kind = (style & 0xF) == BS_GROUPBOX ? 'g' : (style & 0xF) == BS_AUTOCHECKBOX ? 'b' : 'i';
    else if (!lstrcmpiA(className, "Static"))
        c.kind = (style & 0x1F) == SS_ICON ? 'p' : 't';
    else
        c.kind = 'a';
    GetWindowRect(child, &c.rect);
    MapWindowPoints(NULL, (HWND)parent, (POINT *)&c.rect, 2);
    return TRUE;
}

static bool Layout_Overlap(const RECT &a, const RECT &b)
{
    RECT both;
    return IntersectRect(&both, &a, &b) != 0;
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
    RECT client;
    GetClientRect(window, &client);
    s_controlCount = 0;
    EnumChildWindows(window, Layout_Collect, (LPARAM)window);
    printf("layout: client %ldx%ld, %d controls\n", client.right, client.bottom, s_controlCount);
    CHECK(s_controlCount == 23, "6 added and 17 template controls: %d", s_controlCount);
    for (int i = 0; i < s_controlCount; ++i) {
        const Control &a = s_controls[i];
        CHECK(IsWindowVisible(a.window), "control %d (%c) visible", a.id, a.kind);
        CHECK(Layout_Inside(a.rect, client), "control %d (%c) at %ld,%ld-%ld,%ld inside the client area",
              a.id, a.kind, a.rect.left, a.rect.top, a.rect.right, a.rect.bottom);
        for (int j = i + 1; j < s_controlCount; ++j) {
            const Control &b = s_controls[j];
            bool mustNotOverlap = a.kind == 'i' || b.kind == 'i' ? a.kind != 'g' && b.kind != 'g'
                                                                 : a.kind == 'b' && b.kind == 'b';
            if (mustNotOverlap)
                CHECK(!Layout_Overlap(a.rect, b.rect), "controls %d (%c) and %d (%c) overlap", a.id,
                      a.kind, b.id, b.kind);
        }
    }
    HWND desktopGroup = NULL, browserGroup = NULL;
    for (int i = 0; i < s_controlCount; ++i)
        if (s_controls[i].kind == 'g')
            (s_controls[i].id == IDC_DESKTOP_GROUP ? desktopGroup : browserGroup) = s_controls[i].window;
    const int groupOf[][2] = {{IDC_MESSENGER_BOX, 0}, {IDC_TOOLTIP_BOX, 0}, {IDC_APPLET_BOX, 1},
                              {IDC_FLASH_BOX, 1}};
    for (const auto &entry : groupOf) {
        RECT box, group;
        GetWindowRect(GetDlgItem(window, entry[0]), &box);
        GetWindowRect(entry[1] ? browserGroup : desktopGroup, &group);
        CHECK(Layout_Inside(box, group), "box %d inside its group box", entry[0]);
    }
    // The lists hold their items sorted, the first one selected.
    WCHAR item[64];
    char text[64];
    HWND inspect = GetDlgItem(window, IDC_INSPECT_LIST);
    HWND remove = GetDlgItem(window, IDC_DELETE_LIST);
    CHECK(SendMessageA(inspect, CB_GETCOUNT, 0, 0) == 4 && SendMessageA(remove, CB_GETCOUNT, 0, 0) == 4,
          "four items per list");
    CHECK(SendMessageA(inspect, CB_GETCURSEL, 0, 0) == 0 && SendMessageA(remove, CB_GETCURSEL, 0, 0) == 0,
          "first items selected");
    const char *expected[] = {"Delete Cookies", "Delete Favorites", "Delete History", "Delete Internet Cache"};
    for (int i = 0; i < 4; ++i) {
        // Wide: Wine hands the ANSI text across processes as wide characters.
        item[0] = 0;
        if (SendMessageW(remove, CB_GETLBTEXTLEN, i, 0) < 64)
            SendMessageW(remove, CB_GETLBTEXT, i, (LPARAM)item);
        WideCharToMultiByte(CP_ACP, 0, item, -1, text, sizeof text, NULL, NULL);
        CHECK(!lstrcmpA(text, expected[i]), "delete list item %d is \"%s\"", i, text);
    }
}

// ---- scenarios --------------------------------------------------------------------------

static const DWORD RESET_STORED[5] = {1, 0, 0, 0, 0};

// An unwritable settings key, then a first start, apply by a click, the
// hand-over of a second start, no second apply from the timer, reset, apply
// by Enter, and Esc.
// The settings key as a limited account sees it: anyone may read it, nobody
// may write it (this test may still delete it and its access list).
static void Registry_MakeReadOnly(void)
{
    HKEY key;
    RegOpenKeyExA(HKEY_LOCAL_MACHINE, SETTINGS_SUBKEY, 0, WRITE_DAC, &key);
    static DWORD dacl[16];
    SID_IDENTIFIER_AUTHORITY world = SECURITY_WORLD_SID_AUTHORITY;
    SID everyone = {SID_REVISION, 1, world, {SECURITY_WORLD_RID}};
    SECURITY_DESCRIPTOR descriptor;
    InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION);
    InitializeAcl((PACL)dacl, sizeof dacl, ACL_REVISION);
    AddAccessAllowedAce((PACL)dacl, ACL_REVISION, KEY_READ | DELETE | WRITE_DAC, &everyone);
    SetSecurityDescriptorDacl(&descriptor, TRUE, (PACL)dacl, FALSE);
    CHECK(RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, &descriptor) == 0, "settings key made read-only");
    RegCloseKey(key);
}

static void TestManualApplyResetAndEsc(void)
{
    printf("-- limited account, settings key refused; first start, manual apply, second start, reset, Esc\n");
    Service_StopAndWait();
    const DWORD stored[5] = {1, 0, 1, 0, 0};
    Registry_Store(stored);
    Registry_MakeReadOnly();
    if (Hushpane_Start()) {
        HWND window = Hushpane_Window();
        const int storedBoxes[5] = {1, 0, 1, 0, 0};
        ExpectBoxes(storedBoxes, "limited account: the stored switches");
        for (const SwitchEntry &entry : SETTINGS_SWITCHES)
            CHECK(!IsWindowEnabled(GetDlgItem(window, entry.boxId)), "box %d cannot be changed", entry.boxId);
        HANDLE mutex = OpenMutexA(READ_CONTROL, FALSE, "Local\\Hushpane.OneCopy");
        Check_SessionSecurity(mutex, false, "one-copy mutex");
        CloseHandle(mutex);
        PostMessageA(window, WM_COMMAND, IDC_APPLY, (LPARAM)GetDlgItem(window, IDC_APPLY));
        CHECK(WaitFor(WindowHidden, 15000), "limited account: hidden after OK");
        Filter_Close();
        DWORD took;
        CHECK(Check_Probe("IEFrame tooltips_class32 SunAwtCanvas", &took) == 3, "blocking as stored");
        Registry_Expect(stored, "limited account: nothing written");
        PostMessageA(window, WM_COMMAND, IDM_QUIT_BLOCKING, 0);
        CHECK(Process_WaitExit(s_hushpane, 5000) == 0, "quit on a limited account");
        Service_StopAndWait();
    }
    const int onlyBrowser[5] = {1, 0, 0, 0, 0};
    Registry_Clear(true);
    if (Hushpane_Start()) {
        const int none[5] = {0, 0, 0, 0, 0};
        ExpectBoxes(none, "settings key refused: the forced Browser write failed");
        PostMessageA(Hushpane_Window(), WM_COMMAND, IDM_QUIT_BLOCKING, 0);
        CHECK(Process_WaitExit(s_hushpane, 5000) == 0, "quit with the settings key refused");
    }
    Registry_Clear(false);
    if (!Hushpane_Start())
        return;
    ExpectBoxes(onlyBrowser, "first start");
    const DWORD browserForced[5] = {1, MISSING, MISSING, MISSING, MISSING};
    Registry_Expect(browserForced, "first start, waiting");
    ExpectFocusOnApply("at start");
    TestLayout();
    DWORD took = 0;
    CHECK(Check_Probe("IEFrame", &took) == 0, "nothing blocked before the first apply");

    Input_Click(IDC_TOOLTIP_BOX);
    const int tooltipTicked[5] = {1, 0, 1, 0, 0};
    ExpectBoxes(tooltipTicked, "after a click on the Tooltip box");
    Registry_Expect(browserForced, "a box click writes nothing");
    Input_Click(IDC_APPLY);
    // The apply asks the service manager to start the service, which may take
    // Wine's a few seconds.
    CHECK(WaitFor(WindowHidden, 15000), "hidden after a click on OK");
    const DWORD applied[5] = {1, 0, 1, 0, 0};
    Registry_Expect(applied, "after OK");
    DWORD serviceWait = GetTickCount();
    CHECK(Service_WaitState(SERVICE_RUNNING), "Messenger box cleared: service started (state %lu)",
          Service_State());
    printf("service running after %lu ms\n", GetTickCount() - serviceWait);
    long mask = Check_Probe("IEFrame tooltips_class32 SunAwtCanvas", &took);
    CHECK(mask == 3, "browser and tooltip vetoed, applet created: mask %ld", mask);

    // A second start: hands over and leaves the registry alone.
    const DWORD sentinel[5] = {0, 0, 1, 0, 7};
    Registry_Store(sentinel);
    long code = Check_RunPumping("Hushpane.exe", 15000, &took);
    CHECK(code == 0, "second start exits with 0: %ld", code);
    CHECK(WaitFor(WindowShown), "first copy's window back");
    ExpectFocusOnApply("after the hand-over");
    Registry_Expect(sentinel, "second start touched nothing");
    mask = Check_Probe("IEFrame", &took);
    printf("veto while shown took %lu ms (whole probe)\n", took);
    CHECK(mask == 1, "still blocking after the hand-over: %ld", mask);

    // A list selection reaches the browser records tools: the delete list
    // warns, owned by the settings window; No does nothing.
    Input_Click(IDC_DELETE_LIST);
    HWND items = NULL;
    CHECK(WaitFor([&] {
              while ((items = FindWindowExA(NULL, items, "ComboLBox", NULL)) && !IsWindowVisible(items)) {}
              return items != NULL;
          }),
          "delete list open");
    RECT inside;
    GetClientRect(items, &inside);
    MapWindowPoints(items, NULL, (POINT *)&inside, 2);
    LONG itemHeight = (LONG)SendMessageA(items, LB_GETITEMHEIGHT, 0, 0);
    Input_ClickAt({inside.left + 10, inside.top + itemHeight * 3 / 2}, items);   // the second item
    HWND warning = NULL;
    CHECK(WaitFor([&] { return (warning = FindWindowA("#32770", "Warning")) != NULL; }),
          "a selection in the delete list shows its warning");
    if (warning) {
        CHECK(GetWindow(warning, GW_OWNER) == Hushpane_Window(), "warning owned by the settings window");
        PostMessageA(warning, WM_COMMAND, IDNO, 0);
        CHECK(WaitFor([=] { return !IsWindow(warning); }), "warning closed by No");
    }
    CHECK(WindowShown(), "window shown after the warning");

    // The timer was killed by the apply: past 15 s nothing changes.
    WaitUntil(s_startTick + 17000);
    CHECK(WindowShown(), "no second apply minimised the window");
    Registry_Expect(sentinel, "no second apply wrote the switches");

    Input_Click(IDC_RESET);
    ExpectBoxes(onlyBrowser, "after reset");
    CHECK(WindowShown(), "reset keeps the window shown");
    CHECK(Check_Probe("IEFrame", &took) == 0, "reset stops blocking at once");
    Registry_Expect(sentinel, "reset writes nothing");

    // Apply by the keyboard: Enter with the focus on OK.
    PostMessageA(Hushpane_Window(), WM_COMMAND, IDM_SETTINGS, 0);
    ExpectFocusOnApply("back on OK");
    Input_Key(VK_RETURN);
    CHECK(WaitFor(WindowHidden, 15000), "hidden after Enter on OK");
    Registry_Expect(RESET_STORED, "after Enter");
    // The click on the delete list above opened the filter.
    Filter_Close();
    CHECK(Check_Probe("IEFrame", &took) == 1, "blocking again after Enter");

    PostMessageA(Hushpane_Window(), WM_COMMAND, IDM_SETTINGS, 0);
    ExpectFocusOnApply("shown for Esc");
    Input_Key(VK_ESCAPE);
    code = Process_WaitExit(s_hushpane, 5000);
    CHECK(code == 0, "Esc ends the program with 0: %ld", code);
    CHECK(Check_Probe("IEFrame", &took) == 0, "hooks gone after Esc");
}

// Stored "Browser" 0 is forced back to 1; a second start while the timer runs
// only restores the window; with no input the timer applies.
static void TestAutoApplyAndQuit(void)
{
    printf("-- auto-apply after a second start, Quit\n");
    const DWORD stored[5] = {0, 1, 0, 1, MISSING};
    Registry_Store(stored);
    // Any program may make a window of the class: it is no running copy.
    WNDCLASSA squatterClass = {};
    squatterClass.lpfnWndProc = DefWindowProcA;
    squatterClass.lpszClassName = SETTINGS_WINDOW_CLASS;
    RegisterClassA(&squatterClass);
    HWND squatter = CreateWindowExA(0, SETTINGS_WINDOW_CLASS, "", WS_POPUP, 0, 0, 1, 1, NULL, NULL, NULL, NULL);
    bool started = Hushpane_Start();
    DestroyWindow(squatter);
    if (!started)
        return;
    // Flash is missing and carries Applet's 1 over.
    const int boxes[5] = {1, 1, 0, 1, 1};
    ExpectBoxes(boxes, "stored switches shown");
    const DWORD forced[5] = {1, 1, 0, 1, MISSING};
    Registry_Expect(forced, "Browser rewritten while waiting");

    // Late enough that a timer started again by it would fire well after 15 s.
    WaitUntil(s_shownTick + 6000);
    DWORD took;
    long code = Check_RunPumping("Hushpane.exe", 15000, &took);
    CHECK(code == 0, "a second start while counting down exits with 0: %ld", code);
    ExpectFocusOnApply("after a second start while counting down");
    CHECK(WaitFor(WindowHidden, 25000), "hidden by the auto-apply");
    DWORD after = GetTickCount() - s_shownTick;
    printf("auto-apply %lu ms after the window showed\n", after);
    CHECK(after >= 13000 && after <= 19000, "auto-apply 15 s after the first start, not the second: %lu ms",
          after);
    const DWORD written[5] = {1, 1, 0, 1, 1};
    Registry_Expect(written, "auto-apply wrote the boxes");
    CHECK(Service_WaitState(SERVICE_STOPPED), "Messenger box ticked: service stopped (state %lu)",
          Service_State());
    // The minimise request posted after the apply must not show the window again.
    CHECK(!WaitFor(WindowShown, 1000), "still hidden a second later");
    // The last press of the scenario before left the filter open.
    Filter_Close();
    long mask = Check_Probe("IEFrame MSBLPopupMsgWClass tooltips_class32 SunAwtCanvas ATLx", &took);
    CHECK(mask == 0x1B, "switches from the boxes are in force: mask 0x%lx", mask);
    CHECK(!Browser_GetsWindow(4000), "Wine's browser gets no window while blocked");

    // The Quit button (the tray menu's "&Quit Blocking" is the shell test's).
    PostMessageA(Hushpane_Window(), WM_COMMAND, IDM_SETTINGS, 0);
    CHECK(WaitFor(WindowShown), "shown again for Quit");
    Input_Click(IDC_EXIT);
    code = Process_WaitExit(s_hushpane, 5000);
    CHECK(code == 0, "Quit ends the program with 0: %ld", code);
    CHECK(WaitFor([] { return Hushpane_Window() == NULL; }), "window gone");
    CHECK(Check_Probe("IEFrame", &took) == 0, "hooks gone after quit");
    CHECK(Browser_GetsWindow(15000), "Wine's browser gets its window once blocking ended");
}

// A copy that owns the one-copy mutex (named as where there are no sessions)
// until the event, and then dies owning it: the mutex is left abandoned.
static HANDLE s_ownerHolds, s_ownerDies;

static DWORD WINAPI DyingCopy(LPVOID)
{
    CreateMutexA(NULL, TRUE, "Hushpane.OneCopy");
    SetEvent(s_ownerHolds);
    return WaitForSingleObject(s_ownerDies, 30000);
}

// On the 9x family the service is left alone whatever the box says; a reset
// before the timer fires is what its apply stores. The three copies started
// wait on the mutex of a copy that dies meanwhile: one of them takes it over.
static void TestResetThenAutoApplyOn9x(void)
{
    printf("-- Windows 98 family: reset, auto-apply, no service calls\n");
    HKEY key;
    RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Wine\\AppDefaults\\Hushpane.exe", 0, NULL, 0,
                    KEY_ALL_ACCESS, NULL, &key, NULL);
    RegSetValueExA(key, "Version", 0, REG_SZ, (const BYTE *)"win98", 6);
    RegCloseKey(key);
    Service_StopAndWait();
    const DWORD stored[5] = {1, 1, 1, 1, 1};
    Registry_Store(stored);
    s_ownerHolds = CreateEventA(NULL, TRUE, FALSE, NULL);
    s_ownerDies = CreateEventA(NULL, TRUE, FALSE, NULL);
    CloseHandle(CreateThread(NULL, 0, DyingCopy, NULL, 0, NULL));
    WaitForSingleObject(s_ownerHolds, 5000);
    if (Hushpane_Start(s_ownerDies)) {
        CHECK(s_shownTick - s_startTick < 5000, "no wait after the owner died: %lu ms", s_shownTick - s_startTick);
        const int all[5] = {1, 1, 1, 1, 1};
        ExpectBoxes(all, "stored switches shown on 9x");
        Input_Click(IDC_RESET);
        const int onlyBrowser[5] = {1, 0, 0, 0, 0};
        ExpectBoxes(onlyBrowser, "after reset on 9x");
        // What the countdown's end does, whichever timer it is.
        PostMessageA(Hushpane_Window(), WM_TIMER, 1, 0);
        CHECK(WaitFor(WindowHidden, 25000), "hidden by the auto-apply");
        Registry_Expect(RESET_STORED, "the auto-apply stored the reset states");
        // On the NT family the cleared Messenger box would start the service.
        CHECK(!WaitFor([] { return Service_State() != SERVICE_STOPPED; }, 1500),
              "9x apply left the service stopped: state %lu", Service_State());
        PostMessageA(Hushpane_Window(), WM_COMMAND, IDM_QUIT_BLOCKING, 0);
        CHECK(Process_WaitExit(s_hushpane, 5000) == 0, "quit on 9x");
    }
    RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Wine\\AppDefaults\\Hushpane.exe");
}

int main(int argc, char **argv)
{
    if (argc == 2 && !lstrcmpA(argv[1], "service")) {
        SERVICE_TABLE_ENTRYA table[] = {{(LPSTR) "Messenger", Service_Main}, {NULL, NULL}};
        return StartServiceCtrlDispatcherA(table) ? 0 : 1;
    }
    Check_Begin();
    BrowserFrame_Create();
    Service_Install();
    Service_WarmUp();
    TestManualApplyResetAndEsc();
    TestAutoApplyAndQuit();
    TestResetThenAutoApplyOn9x();
    Service_Remove();
    return Check_End();
}
