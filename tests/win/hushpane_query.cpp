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
//   browser PAGECLASS TARGETS STOP  a stand-in browser: a top-level "IEFrame" holding an
//       address bar (an "Edit" with the browser's address id and a second "Edit") above a
//       page of class PAGECLASS, and an unrelated top-level window beside it. Writes TARGETS
//       once all are shown, one "name x y" line per click target in screen coordinates: page,
//       caption, address, search, other, border (on the page's border); prints one line per
//       mouse press or key-down taken from the queue, "input <window> <message> <wParam>",
//       after the hooks saw it; ends with 0 once STOP exists, 1 when a window cannot be made.
#include "win_check.h"
#include <shellapi.h>
#include <stdlib.h>
#include <string.h>

static HWND Inspect_Window(void)
{
    return FindWindowA(SETTINGS_WINDOW_CLASS, NULL);
}

static HWND Inspect_Control(int id)
{
    return GetDlgItem(Inspect_Window(), id);   // none without the window
}

// A message box shown by the settings window's thread, with CAPTION or any.
static HWND Inspect_FindBox(const char *caption)
{
    HWND window = Inspect_Window(), box = NULL;
    DWORD thread = window ? GetWindowThreadProcessId(window, NULL) : 0;
    while (thread && (box = FindWindowExA(NULL, box, "#32770", caption)))
        if (IsWindowVisible(box) && GetWindowThreadProcessId(box, NULL) == thread)
            return box;
    return NULL;
}

static bool Inspect_StateHolds(const char *state)
{
    HWND window = Inspect_Window();
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
    return GetWindow(box, GW_OWNER) == Inspect_Window() ? 0 : 1;
}

// Wine's message box does not answer DM_GETDEFID; the button style tells.
static int Inspect_Buttons(const char *caption)
{
    HWND box = Inspect_FindBox(caption);
    int defaultId = 0;
    for (int id = IDOK; box && id <= IDNO; id++)   // a missing button's style reads 0
        if ((GetWindowLongA(GetDlgItem(box, id), GWL_STYLE) & 0x0F) == BS_DEFPUSHBUTTON)
            defaultId = id;
    printf("owner=%d default=%d yes=%d no=%d cancel=%d\n", box && GetWindow(box, GW_OWNER) == Inspect_Window(),
           defaultId, GetDlgItem(box, IDYES) != NULL, GetDlgItem(box, IDNO) != NULL,
           GetDlgItem(box, IDCANCEL) != NULL);
    return box ? 0 : 1;
}

static void RegisterClassNamed(const char *name, WNDPROC procedure, UINT style, int colour = COLOR_WINDOW)
{
    WNDCLASSA wc = {};
    wc.style = style;
    wc.lpfnWndProc = procedure;
    wc.hInstance = GetModuleHandleA(NULL);
    wc.hCursor = LoadCursorA(NULL, IDC_ARROW);
    wc.hbrBackground = (HBRUSH)(INT_PTR)(colour + 1);
    wc.lpszClassName = name;
    RegisterClassA(&wc);
}

static int Probe_Run(int count, char **classes)
{
    int vetoed = 0;
    for (int i = 0; i < count && i < 30; ++i) {
        RegisterClassNamed(classes[i], DefWindowProcA, 0);   // fails harmlessly for a class of the system's
        DWORD start = GetTickCount();
        HWND window = CreateWindowExA(0, classes[i], "probe", WS_OVERLAPPED, 0, 0, 50, 50, NULL, NULL,
                                      GetModuleHandleA(NULL), NULL);
        printf("%s %s %lu\n", classes[i], window ? "created" : "vetoed", GetTickCount() - start);
        if (window)
            DestroyWindow(window);
        else
            vetoed |= 1 << i;
    }
    return vetoed;
}

// The group box, not the push button that shares its id.
static int Inspect_GroupPoint(int id)
{
    HWND window = Inspect_Window(), group = NULL;
    RECT r;
    while (window && (group = FindWindowExA(window, group, "Button", NULL)))
        if (GetDlgCtrlID(group) == id && (GetWindowLongA(group, GWL_STYLE) & 0xF) == BS_GROUPBOX &&
            GetWindowRect(group, &r)) {
            printf("%ld %ld\n", r.left + 4, (r.top + r.bottom) / 2);
            return 0;
        }
    return 1;
}

// The stand-in notification area: a topmost window of the shell's tray class,
// which the shell's Shell_NotifyIcon finds ahead of Wine's own tray (the
// window search walks the z-order). Wine's shell hands each request over as
// WM_COPYDATA: the request in dwData; in lpData the owner, id, flags and
// callback message, the tip (wide, from byte 16 in Wine 8), and at the very end a copy
// of the icon's mask and colour bitmaps, matched here against the program's
// own tray icons.
static const int s_trayIconIds[] = {IDI_TRAY_REST, IDI_TRAY_WHITE, IDI_TRAY_YELLOW};
static HICON s_trayIcons[3];
static HWND s_trayOwner;
static UINT s_trayId, s_trayCallback;
static bool s_trayHasIcon, s_trayOwnerGone;

static int Tray_IconId(const BYTE *data, DWORD size)
{
    static BYTE bits[65536];
    for (int i = 0; i < 3; ++i) {
        ICONINFO info;
        BITMAP mask, colour;
        GetIconInfo(s_trayIcons[i], &info);
        GetObjectA(info.hbmMask, sizeof mask, &mask);
        GetObjectA(info.hbmColor, sizeof colour, &colour);
        LONG maskBytes = (mask.bmWidth * mask.bmHeight + 15) / 16 * 2;
        LONG total = maskBytes + (colour.bmWidth * colour.bmHeight * colour.bmBitsPixel + 15) / 16 * 2;
        bool same = total <= (LONG)sizeof bits && (DWORD)total < size &&
                    GetBitmapBits(info.hbmMask, maskBytes, bits) &&
                    GetBitmapBits(info.hbmColor, total - maskBytes, bits + maskBytes) &&
                    !memcmp(bits, data + size - total, total);
        DeleteObject(info.hbmMask);
        DeleteObject(info.hbmColor);
        if (same)
            return s_trayIconIds[i];
    }
    return 0;
}

// One line per request: "add|modify|delete ICON flags=F message=0xM id=I
// window=hidden|shown|gone tip=TEXT", ICON the program's icon id, 0 for none
// of them; the window's state is taken while its sender waits. Answered as a
// shell would: the icon is added once, changed and removed while it is there.
static LRESULT Tray_OnRequest(const COPYDATASTRUCT *request)
{
    const BYTE *data = (const BYTE *)request->lpData;
    const DWORD *head = (const DWORD *)data;
    char tip[128] = "";
    if (request->cbData < 16 + sizeof(WCHAR[128]) || request->dwData > NIM_DELETE)
        return FALSE;
    s_trayOwner = (HWND)(ULONG_PTR)head[0];
    s_trayOwnerGone = false;
    WideCharToMultiByte(CP_ACP, 0, (const WCHAR *)(data + 16), 127, tip, sizeof tip, NULL, NULL);
    const char *requests[] = {"add", "modify", "delete"};
    printf("%s %d flags=%lu message=0x%lx id=%lu window=%s tip=%s\n", requests[request->dwData],
           head[2] & NIF_ICON ? Tray_IconId(data, request->cbData) : 0, head[2], head[3], head[1],
           !IsWindow(s_trayOwner) ? "gone" : IsWindowVisible(s_trayOwner) ? "shown" : "hidden", tip);
    if (s_trayHasIcon == (request->dwData == NIM_ADD))
        return FALSE;
    s_trayHasIcon = request->dwData != NIM_DELETE;
    s_trayId = head[1];
    if (head[2] & NIF_MESSAGE)
        s_trayCallback = head[3];
    return TRUE;
}

static LRESULT CALLBACK Tray_Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COPYDATA:
        return Tray_OnRequest((const COPYDATASTRUCT *)lParam);
    case WM_TIMER:
        if (s_trayOwner && !s_trayOwnerGone && !IsWindow(s_trayOwner)) {
            s_trayOwnerGone = true;
            printf("gone\n");
        }
        return 0;
    case WM_APP:   // a new notification area: no icons until they are added again
        s_trayHasIcon = false;
        printf("recreated\n");
        return SendNotifyMessageA(HWND_BROADCAST, RegisterWindowMessageA("TaskbarCreated"), 0, 0);
    case WM_MOUSEACTIVATE:
        return MA_NOACTIVATE;
    }
    // The shell's part of a click on the icon: the mouse message to its owner.
    if (message > WM_MOUSEFIRST && message <= WM_MOUSELAST && s_trayHasIcon)
        SendNotifyMessageA(s_trayOwner, s_trayCallback, s_trayId, message);
    return DefWindowProcA(window, message, wParam, lParam);
}

static int Tray_Run(const char *program)
{
    HMODULE module = LoadLibraryExA(program, NULL, DONT_RESOLVE_DLL_REFERENCES);
    for (int i = 0; i < 3; ++i)
        if (!module || !(s_trayIcons[i] = LoadIconA(module, MAKEINTRESOURCEA(s_trayIconIds[i]))))
            return 1;
    RegisterClassNamed("Shell_TrayWnd", Tray_Procedure, CS_DBLCLKS, COLOR_3DFACE);
    // Away from the screen's left edge, so that a right-aligned menu fits.
    HWND window = CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, "Shell_TrayWnd",
                                  "Hushpane test tray", WS_POPUP | WS_VISIBLE, 600, 300, 32, 32, NULL,
                                  NULL, GetModuleHandleA(NULL), NULL);
    if (!window || FindWindowA("Shell_TrayWnd", NULL) != window)
        return 1;
    SetTimer(window, 1, 20, NULL);
    printf("ready 616 316\n");
    MSG message;
    while (GetMessageA(&message, NULL, 0, 0) > 0)
        DispatchMessageA(&message);
    return 0;
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

#define ADDRESS_BAR_HEIGHT 28

static HWND g_frame, g_page, g_address, g_search, g_other;

// The names of the input lines.
static const struct { HWND *window; const char *name; } s_windowNames[] = {
    {&g_frame, "frame"}, {&g_page, "page"}, {&g_address, "address"}, {&g_search, "search"}, {&g_other, "other"}};
#define INPUT_NAMED(message) {message, #message}
static const struct { UINT message; const char *name; } s_inputNames[] = {
    INPUT_NAMED(WM_LBUTTONDOWN), INPUT_NAMED(WM_LBUTTONDBLCLK), INPUT_NAMED(WM_NCLBUTTONDOWN),
    INPUT_NAMED(WM_NCLBUTTONDBLCLK), INPUT_NAMED(WM_KEYDOWN)};

static LRESULT CALLBACK FrameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_NCLBUTTONDOWN:
        // Counted by the hook already; no move loop to hold the pointer.
        if (wParam == HTCAPTION)
            return 0;
        break;
    case WM_SIZE: {
        int width = LOWORD(lParam), height = HIWORD(lParam);
        MoveWindow(g_address, 0, 0, width / 2, ADDRESS_BAR_HEIGHT, TRUE);
        MoveWindow(g_search, width / 2, 0, width - width / 2, ADDRESS_BAR_HEIGHT, TRUE);
        MoveWindow(g_page, 0, ADDRESS_BAR_HEIGHT, width, height - ADDRESS_BAR_HEIGHT, TRUE);
        return 0;
    }
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

static BOOL CreateWindows(const char *pageClass)
{
    HINSTANCE instance = GetModuleHandleA(NULL);
    RegisterClassNamed("IEFrame", FrameProc, 0);
    // Double clicks reported as such, as a browser's page gets them.
    RegisterClassNamed(pageClass, DefWindowProcA, CS_DBLCLKS);
    RegisterClassNamed("HushpaneTestOther", DefWindowProcA, CS_DBLCLKS);
    g_frame = CreateWindowExA(0, "IEFrame", "Hushpane test browser", WS_OVERLAPPEDWINDOW, 40, 40, 480, 360,
                              NULL, NULL, instance, NULL);
    const struct { HWND *window; const char *className, *text; int id; } children[] = {
        {&g_address, "Edit", "about:blank", 0xA205 /* the browser's address id */}, {&g_search, "Edit", "", 7},
        {&g_page, pageClass, "page", 1}};
    for (auto &child : children)
        *child.window = CreateWindowExA(0, child.className, child.text, WS_CHILD | WS_VISIBLE | WS_BORDER,
                                        0, 0, 10, 10, g_frame, (HMENU)(INT_PTR)child.id, instance, NULL);
    g_other = CreateWindowExA(0, "HushpaneTestOther", "Hushpane test other", WS_OVERLAPPEDWINDOW,
                              600, 40, 300, 240, NULL, NULL, instance, NULL);
    if (!g_frame || !g_address || !g_search || !g_page || !g_other)
        return FALSE;
    // Size the children now, then show.
    RECT client;
    GetClientRect(g_frame, &client);
    SendMessageA(g_frame, WM_SIZE, 0, MAKELPARAM(client.right, client.bottom));
    const HWND shown[] = {g_other, g_frame};
    for (HWND window : shown) {
        ShowWindow(window, SW_SHOWNORMAL);
        UpdateWindow(window);
    }
    SetForegroundWindow(g_frame);
    return TRUE;
}

static POINT CenterOf(HWND window)
{
    RECT r;
    GetWindowRect(window, &r);
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

static void WriteTargets(const char *path)
{
    char temporary[MAX_PATH];
    wsprintfA(temporary, "%s.tmp", path);
    FILE *file = fopen(temporary, "w");
    if (!file)
        return;
    // The caption: halfway between the frame's top edge and its client area,
    // left of the caption buttons. The border: the page's own one-pixel
    // non-client edge, inside the frame.
    RECT frame, page;
    GetWindowRect(g_frame, &frame);
    GetWindowRect(g_page, &page);
    POINT clientTop = {0, 0};
    ClientToScreen(g_frame, &clientTop);
    const struct { const char *name; POINT at; } targets[] = {
        {"page", CenterOf(g_page)}, {"caption", {frame.left + (frame.right - frame.left) / 3, (frame.top + clientTop.y) / 2}},
        {"address", CenterOf(g_address)}, {"search", CenterOf(g_search)}, {"other", CenterOf(g_other)},
        {"border", {page.left, CenterOf(g_page).y}}};
    for (auto &target : targets)
        fprintf(file, "%s %ld %ld\n", target.name, target.at.x, target.at.y);
    fclose(file);
    // Appears whole or not at all for the script that waits for it.
    MoveFileExA(temporary, path, MOVEFILE_REPLACE_EXISTING);
    POINT caption = targets[1].at, border = targets[5].at;
    printf("targets written; caption hit test %ld; border hit test %ld\n",
           (long)SendMessageA(g_frame, WM_NCHITTEST, 0, MAKELPARAM(caption.x, caption.y)),
           (long)SendMessageA(g_page, WM_NCHITTEST, 0, MAKELPARAM(border.x, border.y)));
}

static const char *WindowName(HWND window)
{
    for (auto &named : s_windowNames)
        if (*named.window == window)
            return named.name;
    return "unknown";
}

static int Standin_Run(const char *pageClass, const char *targetsPath, const char *stopPath)
{
    if (!CreateWindows(pageClass)) {
        printf("cannot create the windows (error %lu)\n", GetLastError());
        return 1;
    }
    WriteTargets(targetsPath);
    while (GetFileAttributesA(stopPath) == INVALID_FILE_ATTRIBUTES) {
        MsgWaitForMultipleObjects(0, NULL, FALSE, 50, QS_ALLINPUT);
        MSG msg;
        while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
            // Auto-repeats are not logged: one line per key press.
            for (auto &input : s_inputNames)
                if (msg.message == input.message && !(msg.message == WM_KEYDOWN && (msg.lParam & 0x40000000)))
                    printf("input %s %s %lu\n", WindowName(msg.hwnd), input.name, (unsigned long)msg.wParam);
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    DestroyWindow(g_other);
    DestroyWindow(g_frame);
    return 0;
}

// Each command with the fewest arguments it takes.
static const struct {
    const char *name;
    int arguments;
    int (*run)(int count, char **args);
} s_commands[] = {
    {"wait", 2, [](int, char **a) { return Inspect_Wait(a[0], (DWORD)atol(a[1])); }},
    {"origin", 0, [](int, char **) { return Inspect_Place(Inspect_Window(), 'o'); }},
    {"group-point", 1, [](int, char **a) { return Inspect_GroupPoint(atoi(a[0])); }},
    {"center", 1, [](int, char **a) { return Inspect_Place(Inspect_Control(atoi(a[0])), 'c'); }},
    {"rect", 1, [](int, char **a) { return Inspect_Place(Inspect_Control(atoi(a[0])), 'r'); }},
    {"items", 1, [](int, char **a) { return Inspect_Items(atoi(a[0])); }},
    {"buttons", 1, [](int, char **a) { return Inspect_Buttons(a[0]); }},
    {"timer", 0, [](int, char **) { return PostMessageA(Inspect_Window(), WM_TIMER, 1, 0) ? 0 : 1; }},
    {"probe", 0, Probe_Run},
    {"tray", 1, [](int, char **a) { return Tray_Run(a[0]); }},
    {"tray-recreate", 0, [](int, char **) {
         return SendMessageA(FindWindowA("Shell_TrayWnd", "Hushpane test tray"), WM_APP, 0, 0) ? 0 : 1;
     }},
    {"box", 2, [](int, char **a) { return Inspect_Box(a[0], (DWORD)atol(a[1])); }},
    {"box-ok", 1, [](int, char **a) {
         HWND box = Inspect_FindBox(a[0]);
         return box && PostMessageA(box, WM_COMMAND, IDOK, 0) ? 0 : 1;
     }},
    {"version", 1, [](int, char **a) { return Inspect_Version(a[0]); }},
    {"browser", 3, [](int, char **a) { return Standin_Run(a[0], a[1], a[2]); }},
    {"command", 1, [](int, char **a) {
         return Inspect_Window() && PostMessageA(Inspect_Window(), WM_COMMAND, atoi(a[0]), 0) ? 0 : 1;
     }},
    {"click", 1, [](int, char **a) {
         HWND button = Inspect_Control(atoi(a[0]));
         return button ? (SendMessageA(button, BM_CLICK, 0, 0), 0) : 1;
     }},
    // What a click on another window sends on Windows.
    {"menu-cancel", 0, [](int, char **) {
         return Inspect_Window() ? (SendMessageA(Inspect_Window(), WM_CANCELMODE, 0, 0), 0) : 1;
     }},
};

int main(int argc, char **argv)
{
    Check_Begin();
    for (auto &command : s_commands)
        if (argc > 1 && !strcmp(argv[1], command.name) && argc - 2 >= command.arguments)
            return command.run(argc - 2, argv + 2);
    return 2;
}
