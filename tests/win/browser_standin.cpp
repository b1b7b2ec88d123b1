// browser_standin.exe PAGECLASS RECTFILE STOPFILE: a stand-in browser for tests
// that drive real input. Shows a top-level "IEFrame" window holding an address
// bar (an "Edit" with the browser's address id and a second "Edit") above a page
// window of class PAGECLASS, and an unrelated top-level window beside it.
//   RECTFILE: written once all windows are shown, one "name x y" line per click
//   target, in screen coordinates: page, caption, address, search, other, and
//   border (on the page's border).
//   stdout: one unbuffered line per mouse press or key-down taken from the
//   queue, "input <window> <message> <wParam>", after the hooks have seen it.
//   Exits 0 when STOPFILE exists; 1 when a window cannot be created.
#include <windows.h>
#include <stdio.h>

#define FRAME_TITLE "Hushpane test browser"
#define OTHER_TITLE "Hushpane test other"
#define ADDRESS_BAR_HEIGHT 28
#define ADDRESS_ID 0xA205
#define SEARCH_ID 7

static HWND g_frame, g_page, g_address, g_search, g_other;

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

static void RegisterClassNamed(const char *name, WNDPROC procedure, UINT style)
{
    WNDCLASSA wc = {};
    wc.style = style;
    wc.lpfnWndProc = procedure;
    wc.hInstance = GetModuleHandleA(NULL);
    wc.hCursor = LoadCursorA(NULL, IDC_ARROW);
    wc.hbrBackground = (HBRUSH)(COLOR_WINDOW + 1);
    wc.lpszClassName = name;
    RegisterClassA(&wc);
}

static BOOL CreateWindows(const char *pageClass)
{
    HINSTANCE instance = GetModuleHandleA(NULL);
    RegisterClassNamed("IEFrame", FrameProc, 0);
    // Double clicks reported as such, as a browser's page gets them.
    RegisterClassNamed(pageClass, DefWindowProcA, CS_DBLCLKS);
    RegisterClassNamed("HushpaneTestOther", DefWindowProcA, CS_DBLCLKS);
    g_frame = CreateWindowExA(0, "IEFrame", FRAME_TITLE, WS_OVERLAPPEDWINDOW, 40, 40, 480, 360,
                              NULL, NULL, instance, NULL);
    if (!g_frame)
        return FALSE;
    g_address = CreateWindowExA(0, "Edit", "about:blank", WS_CHILD | WS_VISIBLE | WS_BORDER,
                                0, 0, 10, 10, g_frame, (HMENU)ADDRESS_ID, instance, NULL);
    g_search = CreateWindowExA(0, "Edit", "", WS_CHILD | WS_VISIBLE | WS_BORDER,
                               0, 0, 10, 10, g_frame, (HMENU)SEARCH_ID, instance, NULL);
    g_page = CreateWindowExA(0, pageClass, "page", WS_CHILD | WS_VISIBLE | WS_BORDER,
                             0, 0, 10, 10, g_frame, (HMENU)1, instance, NULL);
    g_other = CreateWindowExA(0, "HushpaneTestOther", OTHER_TITLE, WS_OVERLAPPEDWINDOW,
                              600, 40, 300, 240, NULL, NULL, instance, NULL);
    if (!g_address || !g_search || !g_page || !g_other)
        return FALSE;
    // Size the children now, then show.
    RECT client;
    GetClientRect(g_frame, &client);
    SendMessageA(g_frame, WM_SIZE, 0, MAKELPARAM(client.right, client.bottom));
    ShowWindow(g_other, SW_SHOWNORMAL);
    UpdateWindow(g_other);
    ShowWindow(g_frame, SW_SHOWNORMAL);
    UpdateWindow(g_frame);
    SetForegroundWindow(g_frame);
    return TRUE;
}

static POINT CenterOf(HWND window)
{
    RECT r;
    GetWindowRect(window, &r);
    POINT p = {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    return p;
}

// Halfway between the frame's top edge and its client area, left of the caption buttons.
static POINT CaptionPoint(void)
{
    RECT frame;
    GetWindowRect(g_frame, &frame);
    POINT clientTop = {0, 0};
    ClientToScreen(g_frame, &clientTop);
    POINT p = {frame.left + (frame.right - frame.left) / 3, (frame.top + clientTop.y) / 2};
    return p;
}

static void WriteTargets(const char *path)
{
    char temporary[MAX_PATH];
    wsprintfA(temporary, "%s.tmp", path);
    FILE *file = fopen(temporary, "w");
    if (!file)
        return;
    POINT page = CenterOf(g_page), caption = CaptionPoint(), address = CenterOf(g_address),
          search = CenterOf(g_search), other = CenterOf(g_other);
    // The page's own one-pixel border: its non-client area, inside the frame.
    RECT pageRect;
    GetWindowRect(g_page, &pageRect);
    POINT border = {pageRect.left, page.y};
    fprintf(file, "page %ld %ld\n", page.x, page.y);
    fprintf(file, "caption %ld %ld\n", caption.x, caption.y);
    fprintf(file, "address %ld %ld\n", address.x, address.y);
    fprintf(file, "search %ld %ld\n", search.x, search.y);
    fprintf(file, "other %ld %ld\n", other.x, other.y);
    fprintf(file, "border %ld %ld\n", border.x, border.y);
    fclose(file);
    // Appears whole or not at all for the script that waits for it.
    MoveFileExA(temporary, path, MOVEFILE_REPLACE_EXISTING);
    LRESULT captionHit = SendMessageA(g_frame, WM_NCHITTEST, 0, MAKELPARAM(caption.x, caption.y));
    LRESULT borderHit = SendMessageA(g_page, WM_NCHITTEST, 0, MAKELPARAM(border.x, border.y));
    printf("targets written; caption hit test %ld; border hit test %ld\n", (long)captionHit, (long)borderHit);
}

static const char *WindowName(HWND window)
{
    if (window == g_frame) return "frame";
    if (window == g_page) return "page";
    if (window == g_address) return "address";
    if (window == g_search) return "search";
    if (window == g_other) return "other";
    return "unknown";
}

static const char *InputName(UINT message)
{
    switch (message) {
    case WM_LBUTTONDOWN: return "WM_LBUTTONDOWN";
    case WM_LBUTTONDBLCLK: return "WM_LBUTTONDBLCLK";
    case WM_NCLBUTTONDOWN: return "WM_NCLBUTTONDOWN";
    case WM_NCLBUTTONDBLCLK: return "WM_NCLBUTTONDBLCLK";
    case WM_KEYDOWN: return "WM_KEYDOWN";
    default: return NULL;
    }
}

int main(int argc, char **argv)
{
    setvbuf(stdout, NULL, _IONBF, 0);
    if (argc != 4) {
        printf("usage: browser_standin PAGECLASS RECTFILE STOPFILE\n");
        return 2;
    }
    if (!CreateWindows(argv[1])) {
        printf("cannot create the windows (error %lu)\n", GetLastError());
        return 1;
    }
    WriteTargets(argv[2]);
    while (GetFileAttributesA(argv[3]) == INVALID_FILE_ATTRIBUTES) {
        MsgWaitForMultipleObjects(0, NULL, FALSE, 50, QS_ALLINPUT);
        MSG msg;
        while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
            const char *name = InputName(msg.message);
            // Auto-repeats are not logged: one line per key press.
            if (name && !(msg.message == WM_KEYDOWN && (msg.lParam & 0x40000000)))
                printf("input %s %s %lu\n", WindowName(msg.hwnd), name, (unsigned long)msg.wParam);
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    DestroyWindow(g_other);
    DestroyWindow(g_frame);
    return 0;
}
