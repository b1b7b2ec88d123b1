// hushpane_query.exe COMMAND [ARG]: looks at a running Hushpane.exe from the
// outside for the shell tests. Exit code 0 when the command's condition holds,
// 1 when it does not, 2 on a usage error.
//   wait STATE MS               waits up to MS ms for the settings window's state: shown,
//                               hidden, gone, moving (dragged), focus:ID (on control ID),
//                               menu (a popup menu shown; prints its rectangle), menu-closed,
//                               dropped:ID / closed:ID (list ID's drop-down shown / not),
//                               settled:ID:INDEX (list ID on item INDEX, no message box, and
//                               the window's thread answering)
//   center ID                   prints the screen x y of control ID's centre
//   rect ID                     prints control ID's screen x y width height and item height
//   items ID                    prints list ID's items as "text=folder" joined by "|"
//   timer                       posts the settings window a WM_TIMER (its auto-apply)
//   origin                      prints the settings window's screen x y
//   group-point ID              prints a screen x y inside group box ID, clear of its boxes
//   tray EXE                    runs a stand-in notification area that prints each request
//                               (see Tray_OnRequest) and passes clicks on it to the icon's owner
//   tray-recreate               the stand-in forgets its icons and broadcasts "TaskbarCreated"
//   menu-cancel                 sends WM_CANCELMODE to the settings window
//   command ID                  posts the menu command ID (WM_COMMAND, lParam 0) to it
//   click ID                    clicks button ID with BM_CLICK, waiting until it is handled;
//                               unlike a real press, unseen by the mouse hooks
//   box CAPTION MS              waits up to MS ms for a message box CAPTION of the settings window's
//                               thread, prints its text (CR, LF as \\r \\n); 0 if the window owns it
//   box-ok CAPTION              presses the message box's OK button
//   buttons CAPTION             prints "owner=0|1 default=ID yes=0|1 no=0|1 cancel=0|1" for
//                               the message box with CAPTION
//   probe CLASS...              tries to create one top-level window of each class here; exit
//                               code bit i set when the i-th was vetoed (30 classes at most),
//                               one "CLASS created|vetoed MS" line each (MS: the call's time)
//   version FILE                prints FILE's version resource: file version, product name
//   hold FILE STOP              maps FILE as a program image until STOP exists; prints "held"
//   switches VIEW B M T A F     stores the five switches in registry view VIEW (32 or 64)
//   slow-press-wait             prints the ms to wait after the last press for a slow one
//   blocked-rows                prints the Blocked Windows list's rows, "time|kind|program|class"
//   blocked-select ROW          selects that row;  exempt-items: prints the programs left alone
//   exempt-select INDEX         selects one of them;  blocked-state: "leave=0|1 again=0|1 note=TEXT"
//                               (the buttons enabled or not); ID in click and wait focus:ID may
//                               name the Blocked Windows window's controls
//   browser PAGECLASS TARGETS STOP  a stand-in browser: a top-level "IEFrame" holding an
//       address bar (an "Edit" with the browser's address id and a second "Edit") above a
//       page of class PAGECLASS, and an unrelated top-level window beside it. Writes TARGETS
//       once all are shown, one "name x y" line per click target in screen coordinates: page,
//       caption, address, search, other, border (on the page's border); prints one line per
//       mouse press or key-down taken from the queue, "input <window> <message> <wParam>",
//       after the hooks saw it; ends with 0 once STOP exists, 1 when a window cannot be made.
#include "win_check.h"
#include <commctrl.h>
#include <stdlib.h>
#include "../../tray/blocked_windows.h"
#include "../../settings/exceptions.h"
#include <string.h>

// The stand-ins, in hushpane_standins.cpp.
int Probe_Run(int count, char **classes);
int Tray_Run(const char *program);
int Tray_Recreate(void);
int Standin_Run(const char *pageClass, const char *targetsPath, const char *stopPath);

// Hushpane's "Blocked Windows" window, none while it is closed.
static HWND Blocked_Window(void)
{
    HWND owner = Hushpane_Window();
    return owner ? Window_Next("#32770", BLOCKED_WINDOWS_TITLE, [=](HWND window) {
        return Window_Process(window) == Window_Process(owner);
    }) : NULL;
}

static HWND Inspect_Control(int id)
{
    HWND control = GetDlgItem(Hushpane_Window(), id);   // none without the window
    return control ? control : GetDlgItem(Blocked_Window(), id);
}

// A list view answers with pointers into its own process: the item and its
// text live in memory lent there.
static int Blocked_ListCall(UINT message, int row, int column, UINT state, char *text)
{
    HWND list = Inspect_Control(IDC_BLOCKED_LIST);
    HANDLE process = list ? OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE,
                                        Window_Process(list)) : NULL;
    char *lent = process ? (char *)VirtualAllocEx(process, NULL, 4096, MEM_COMMIT, PAGE_READWRITE) : NULL;
    if (lent == NULL)
        return -1;
    LVITEMA item = {};
    item.mask = LVIF_TEXT | LVIF_STATE;
    item.iSubItem = column;
    item.pszText = lent + 1024;
    item.cchTextMax = 256;
    item.state = item.stateMask = state;
    WriteProcessMemory(process, lent, &item, sizeof item, NULL);
    int answer = (int)SendMessageA(list, message, (WPARAM)row, (LPARAM)lent);
    if (text)
        ReadProcessMemory(process, lent + 1024, text, 256, NULL);
    VirtualFreeEx(process, lent, 0, MEM_RELEASE);
    CloseHandle(process);
    return answer;
}

static int Blocked_Rows(void)
{
    HWND list = Inspect_Control(IDC_BLOCKED_LIST);
    const int rows = (int)SendMessageA(list, LVM_GETITEMCOUNT, 0, 0);
    const int columns = (int)SendMessageA((HWND)SendMessageA(list, LVM_GETHEADER, 0, 0), HDM_GETITEMCOUNT, 0, 0);
    for (int row = 0; row < rows; ++row)
        for (int column = 0; column < columns; ++column) {
            char text[256] = "";
            Blocked_ListCall(LVM_GETITEMTEXTA, row, column, 0, text);
            printf("%s%s", text, column + 1 < columns ? "|" : "\n");
        }
    return rows > 0 ? 0 : 1;
}

static int Blocked_State(void)
{
    char note[256] = "";
    GetWindowTextA(Inspect_Control(IDC_BLOCKED_NOTE), note, sizeof note);
    printf("leave=%d again=%d note=%s\n", IsWindowEnabled(Inspect_Control(IDC_LEAVE_ALONE)) ? 1 : 0,
           IsWindowEnabled(Inspect_Control(IDC_BLOCK_AGAIN)) ? 1 : 0, note);
    return Blocked_Window() ? 0 : 1;
}

static int Exempt_Items(void)
{
    HWND list = Inspect_Control(IDC_EXEMPT_LIST);
    const int count = list ? (int)SendMessageA(list, LB_GETCOUNT, 0, 0) : 0;
    for (int i = 0; i < count; ++i) {
        WCHAR text[EXCEPTION_NAME_SIZE] = L"";
        SendMessageW(list, LB_GETTEXT, i, (LPARAM)text);
        printf("%s%ls", i ? "|" : "", text);
    }
    printf("\n");
    return list ? 0 : 1;
}

// A message box shown by the settings window's thread, with CAPTION or any.
static HWND Inspect_FindBox(const char *caption)
{
    HWND window = Hushpane_Window();
    DWORD thread = window ? GetWindowThreadProcessId(window, NULL) : 0;
    return thread ? Window_Next("#32770", caption, [=](HWND box) {
        return IsWindowVisible(box) && GetWindowThreadProcessId(box, NULL) == thread;
    }) : NULL;
}

static bool Inspect_StateHolds(const char *state)
{
    HWND window = Hushpane_Window();
    // The window's thread: its focus, whether it drags a window or tracks a menu.
    GUITHREADINFO info = {sizeof info};
    RECT r;
    int id = 0, index = -1;
    DWORD_PTR answer;
    if (!strcmp(state, "gone"))
        return window == NULL;
    if (!window || !GetGUIThreadInfo(GetWindowThreadProcessId(window, NULL), &info))
        return false;
    HWND menu = FindWindowA("#32768", NULL);
    bool menuShown = menu && IsWindowVisible(menu) && GetWindowRect(menu, &r);
    if (!strcmp(state, "menu-closed"))   // the menu's own loop over too
        return !menuShown && !(info.flags & GUI_INMENUMODE);
    if (!strcmp(state, "menu"))   // prints where
        return menuShown && printf("menu %ld %ld %ld %ld\n", r.left, r.top, r.right, r.bottom) > 0;
    if (!strcmp(state, "moving"))
        return (info.flags & GUI_INMOVESIZE) != 0;
    if (sscanf(state, "focus:%d", &id) == 1)
        return info.hwndFocus && GetDlgCtrlID(info.hwndFocus) == id;
    if (sscanf(state, "dropped:%d", &id) == 1 || sscanf(state, "closed:%d", &id) == 1)
        return SendMessageA(Inspect_Control(id), CB_GETDROPPEDSTATE, 0, 0) == (state[0] == 'd');
    // A list's selection has been acted on: no warning up, and the thread back
    // in a message loop of its own (a message box's loop shows its box first).
    if (sscanf(state, "settled:%d:%d", &id, &index) == 2)
        return SendMessageA(Inspect_Control(id), CB_GETCURSEL, 0, 0) == index && !Inspect_FindBox(NULL) &&
               SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 200, &answer);
    return !strcmp(state, "shown") == (IsWindowVisible(window) != 0);
}

static int Inspect_Wait(const char *state, DWORD timeoutMs)
{
    if (WaitFor([=] { return Inspect_StateHolds(state); }, timeoutMs))
        return 0;
    printf("not %s after %lu ms\n", state, (unsigned long)timeoutMs);
    return 1;
}

// Prints where a window is on the screen, as "center", "rect" (with a list's
// item height) or "origin" asks.
static int Inspect_Place(HWND window, char what)
{
    RECT r;
    if (!window || !GetWindowRect(window, &r))
        return 1;
    if (what == 'r')
        printf("%ld %ld %ld %ld %d\n", r.left, r.top, r.right - r.left, r.bottom - r.top,
               (int)SendMessageA(window, CB_GETITEMHEIGHT, 0, 0));
    else if (what == 'o')
        printf("%ld %ld\n", r.left, r.top);
    else
        printf("%ld %ld\n", (r.left + r.right) / 2, (r.top + r.bottom) / 2);
    return 0;
}

// Each item's text and the folder number it carries, in the order shown.
static int Inspect_Items(int id)
{
    HWND list = Inspect_Control(id);
    int count = list ? (int)SendMessageA(list, CB_GETCOUNT, 0, 0) : 0;
    for (int i = 0; i < count; ++i) {
        WCHAR text[64] = L"";   // wide: Wine hands texts across processes so
        SendMessageW(list, CB_GETLBTEXT, i, (LPARAM)text);
        printf("%s%ls=%ld", i ? "|" : "", text, (long)SendMessageA(list, CB_GETITEMDATA, i, 0));
    }
    printf("\n");
    return count > 0 ? 0 : 1;
}

// The box's text is its longest static; 0 when the settings window owns the box.
static int Inspect_Box(const char *caption, DWORD timeoutMs)
{
    HWND box = NULL;
    if (!WaitFor([&] { return (box = Inspect_FindBox(caption)) != NULL; }, timeoutMs))
        return 1;
    WCHAR longest[1024] = L"", wide[1024];   // wide, as Wine hands texts across processes
    for (HWND child = NULL; (child = FindWindowExA(box, child, "Static", NULL));)
        if (GetWindowTextW(child, wide, 1024) > lstrlenW(longest))
            lstrcpyW(longest, wide);
    char text[1024];
    WideCharToMultiByte(CP_ACP, 0, longest, -1, text, sizeof text, NULL, NULL);
    for (const char *c = text; *c; ++c)
        *c == '\r' ? printf("\\r") : *c == '\n' ? printf("\\n") : putchar(*c);
    printf("\n");
    return GetWindow(box, GW_OWNER) == Hushpane_Window() ? 0 : 1;
}

// Wine's message box does not answer DM_GETDEFID; the button style tells.
static int Inspect_Buttons(const char *caption)
{
    HWND box = Inspect_FindBox(caption);
    int defaultId = 0;
    for (int id = IDOK; box && id <= IDNO; id++)   // a missing button's style reads 0
        if ((GetWindowLongA(GetDlgItem(box, id), GWL_STYLE) & 0x0F) == BS_DEFPUSHBUTTON)
            defaultId = id;
    printf("owner=%d default=%d yes=%d no=%d cancel=%d\n", box && GetWindow(box, GW_OWNER) == Hushpane_Window(),
           defaultId, GetDlgItem(box, IDYES) != NULL, GetDlgItem(box, IDNO) != NULL,
           GetDlgItem(box, IDCANCEL) != NULL);
    return box ? 0 : 1;
}

// The group box, not the push button that shares its id.
static int Inspect_GroupPoint(int id)
{
    HWND window = Hushpane_Window(), group = NULL;
    RECT r;
    while (window && (group = FindWindowExA(window, group, "Button", NULL)))
        if (GetDlgCtrlID(group) == id && (GetWindowLongA(group, GWL_STYLE) & 0xF) == BS_GROUPBOX &&
            GetWindowRect(group, &r)) {
            printf("%ld %ld\n", r.left + 4, (r.top + r.bottom) / 2);
            return 0;
        }
    return 1;
}

static int Inspect_Version(const char *path)
{
    static char data[8192];
    DWORD unused, size = GetFileVersionInfoSizeA(path, &unused);
    if (!size || size > sizeof data || !GetFileVersionInfoA(path, 0, sizeof data, data))
        return 1;
    VS_FIXEDFILEINFO *fixed = NULL;
    char *fileVersion = NULL, *productName = NULL;
    UINT length;
    if (!VerQueryValueA(data, "\\", (void **)&fixed, &length) ||
        !VerQueryValueA(data, "\\StringFileInfo\\040904E4\\FileVersion", (void **)&fileVersion, &length) ||
        !VerQueryValueA(data, "\\StringFileInfo\\040904E4\\ProductName", (void **)&productName, &length))
        return 1;
    printf("%lu.%lu.%lu %s %s\n", fixed->dwFileVersionMS >> 16, fixed->dwFileVersionMS & 0xFFFF,
           fixed->dwFileVersionLS >> 16, fileVersion, productName);
    return 0;
}

// 0 once there is a window and the message is posted to it or, sent, handled.
static int Deliver(HWND window, UINT message, WPARAM wParam, bool post)
{
    if (window && !post)
        SendMessageA(window, message, wParam, 0);
    return window && (!post || PostMessageA(window, message, wParam, 0)) ? 0 : 1;
}

// What a host is started with, as Hushpane.exe starts it: the window of that
// title and its process.
static int Inspect_HostArguments(const char *title)
{
    HWND window = FindWindowA(NULL, title);
    printf("%lu %lu\n", (unsigned long)(uintptr_t)window, (unsigned long)Window_Process(window));
    return window ? 0 : 1;
}

// FILE mapped as a program image, as a copy running in another session holds
// it (out of reach of anything that looks for windows here), until STOP exists.
static int Hold_Run(const char *file, const char *stop)
{
    HMODULE image = LoadLibraryExA(file, NULL, DONT_RESOLVE_DLL_REFERENCES);
    if (image == NULL)
        return 1;
    printf("held\n");
    fflush(stdout);
    while (GetFileAttributesA(stop) == INVALID_FILE_ATTRIBUTES)
        Sleep(100);
    FreeLibrary(image);
    return 0;
}

// VIEW (32 or 64) and the five values, each 0 or 1.
static int Switches_Store(int, char **a)
{
    DWORD values[SWITCH_COUNT];
    for (int i = 0; i < SWITCH_COUNT; ++i)
        values[i] = (DWORD)atol(a[1 + i]);
    return Switches_Write(values, atoi(a[0]) == 64 ? KEY_WOW64_64KEY : REGPORT_SETTINGS_VIEW) ? 0 : 1;
}

// Each command with the fewest arguments it takes.
static const struct {
    const char *name;
    int arguments;
    int (*run)(int count, char **args);
} s_commands[] = {
    {"wait", 2, [](int, char **a) { return Inspect_Wait(a[0], (DWORD)atol(a[1])); }},
    {"origin", 0, [](int, char **) { return Inspect_Place(Hushpane_Window(), 'o'); }},
    {"group-point", 1, [](int, char **a) { return Inspect_GroupPoint(atoi(a[0])); }},
    {"center", 1, [](int, char **a) { return Inspect_Place(Inspect_Control(atoi(a[0])), 'c'); }},
    {"rect", 1, [](int, char **a) { return Inspect_Place(Inspect_Control(atoi(a[0])), 'r'); }},
    {"items", 1, [](int, char **a) { return Inspect_Items(atoi(a[0])); }},
    {"buttons", 1, [](int, char **a) { return Inspect_Buttons(a[0]); }},
    {"host-arguments", 1, [](int, char **a) { return Inspect_HostArguments(a[0]); }},
    {"blocked-rows", 0, [](int, char **) { return Blocked_Rows(); }},
    {"blocked-select", 1, [](int, char **a) {
        return Blocked_ListCall(LVM_SETITEMSTATE, atoi(a[0]), 0, LVIS_SELECTED | LVIS_FOCUSED, NULL) > 0 ? 0 : 1;
    }},
    {"blocked-state", 0, [](int, char **) { return Blocked_State(); }},
    {"exempt-items", 0, [](int, char **) { return Exempt_Items(); }},
    {"exempt-select", 1, [](int, char **a) {
        return SendMessageA(Inspect_Control(IDC_EXEMPT_LIST), LB_SETCURSEL, atoi(a[0]), 0) == atoi(a[0]) ? 0 : 1;
    }},
    {"timer", 0, [](int, char **) { return Deliver(Hushpane_Window(), WM_TIMER, 1, true); }},
    {"probe", 0, Probe_Run},
    {"tray", 1, [](int, char **a) { return Tray_Run(a[0]); }},
    {"tray-recreate", 0, [](int, char **) { return Tray_Recreate(); }},
    {"box", 2, [](int, char **a) { return Inspect_Box(a[0], (DWORD)atol(a[1])); }},
    {"box-ok", 1, [](int, char **a) { return Deliver(Inspect_FindBox(a[0]), WM_COMMAND, IDOK, true); }},
    {"version", 1, [](int, char **a) { return Inspect_Version(a[0]); }},
    {"browser", 3, [](int, char **a) { return Standin_Run(a[0], a[1], a[2]); }},
    {"command", 1, [](int, char **a) { return Deliver(Hushpane_Window(), WM_COMMAND, atoi(a[0]), true); }},
    {"click", 1, [](int, char **a) { return Deliver(Inspect_Control(atoi(a[0])), BM_CLICK, 0, false); }},
    // What a click on another window sends on Windows.
    {"menu-cancel", 0, [](int, char **) { return Deliver(Hushpane_Window(), WM_CANCELMODE, 0, false); }},
    {"hold", 2, [](int, char **a) { return Hold_Run(a[0], a[1]); }},
    {"switches", 1 + SWITCH_COUNT, Switches_Store},
    {"slow-press-wait", 0, [](int, char **) { printf("%lu\n", Input_SlowPressWait()); return 0; }},
};

int main(int argc, char **argv)
{
    Check_Begin();
    for (auto &command : s_commands)
        if (argc > 1 && !strcmp(argv[1], command.name) && argc - 2 >= command.arguments)
            return command.run(argc - 2, argv + 2);
    return 2;
}
