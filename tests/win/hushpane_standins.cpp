// hushpane_query.exe's stand-ins for the shell tests: the window probe, a
// notification area and a browser (see hushpane_query.cpp for their commands).
#include "win_check.h"
#include <string.h>

int Probe_Run(int count, char **classes)
{
    int vetoed = 0;
    for (int i = 0; i < count && i < 30; ++i) {
        DWORD start = GetTickCount();
        HWND window = Window_Create(classes[i], DefWindowProcA);   // a system class: registering fails, harmlessly
        printf("%s %s %lu\n", classes[i], window ? "created" : "vetoed", GetTickCount() - start);
        if (window)
            DestroyWindow(window);
        else
            vetoed |= 1 << i;
    }
    return vetoed;
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

int Tray_Run(const char *program)
{
    HMODULE module = LoadLibraryExA(program, NULL, DONT_RESOLVE_DLL_REFERENCES);
    for (int i = 0; i < 3; ++i)
        if (!module || !(s_trayIcons[i] = LoadIconA(module, MAKEINTRESOURCEA(s_trayIconIds[i]))))
            return 1;
    Window_RegisterClass("Shell_TrayWnd", Tray_Procedure, CS_DBLCLKS, COLOR_3DFACE);
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

int Tray_Recreate(void)
{
    return SendMessageA(FindWindowA("Shell_TrayWnd", "Hushpane test tray"), WM_APP, 0, 0) ? 0 : 1;
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
    Window_RegisterClass("IEFrame", FrameProc);
    // Double clicks reported as such, as a browser's page gets them.
    Window_RegisterClass(pageClass, DefWindowProcA, CS_DBLCLKS);
    Window_RegisterClass("HushpaneTestOther", DefWindowProcA, CS_DBLCLKS);
    g_frame = CreateWindowExA(0, "IEFrame", "Hushpane test browser", WS_OVERLAPPEDWINDOW, 40, 40, 480, 360,
                              NULL, NULL, instance, NULL);
    const struct { HWND *window; const char *className, *text; int id; } children[] = {
        {&g_address, "Edit", "about:blank", BROWSER_ADDRESS_ID}, {&g_search, "Edit", "", 7},
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

int Standin_Run(const char *pageClass, const char *targetsPath, const char *stopPath)
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
