// hushpane_query.exe COMMAND [ARG]: looks at a running Hushpane.exe from the
// outside for the shell tests. Exit code 0 when the command's condition holds,
// 1 when it does not, 2 on a usage error.
//   wait shown|hidden|gone MS   waits up to MS ms for the settings window's state
//   state                       prints visibility, boxes, focus and the stored switches
//   focus-is ID                 the focus is on control ID of the settings window
//   center ID                   prints the screen x y of control ID's centre
//   origin                      prints the settings window's screen x y
//   group-point ID              prints a screen x y inside group box ID, clear of its boxes
//   command ID                  posts WM_COMMAND ID with lParam 0 (a menu command)
//   tray-forget                 removes the program's tray icon as a dying shell would
//   taskbar-created             broadcasts "TaskbarCreated" like a new shell
//   menu-shown MS               waits up to MS ms for a popup menu window
//   box CAPTION MS              waits up to MS ms for a message box with CAPTION owned by
//                               the settings window, prints its text (CR and LF as \\r \\n)
//   box-ok CAPTION              presses the message box's OK button
//   find-class CLASS MS         waits up to MS ms for a top-level window of CLASS
//   version FILE                prints FILE's version resource: file version, product name
#include <windows.h>
#include <shellapi.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static HWND Inspect_Window(void)
{
    return FindWindowA("DoviZavazovu", NULL);
}

static bool Inspect_StateHolds(const char *state)
{
    HWND window = Inspect_Window();
    if (!strcmp(state, "gone"))
        return window == NULL;
    if (!window)
        return false;
    bool visible = IsWindowVisible(window) != 0;
    return !strcmp(state, "shown") ? visible : !visible;
}

static int Inspect_Wait(const char *state, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    for (;;) {
        if (Inspect_StateHolds(state))
            return 0;
        if (GetTickCount() - start > timeoutMs)
            return 1;
        Sleep(50);
    }
}

static int Inspect_FocusId(HWND window)
{
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, NULL), &info) || !info.hwndFocus)
        return -1;
    return GetDlgCtrlID(info.hwndFocus);
}

static void Inspect_PrintSwitch(HKEY key, const char *name)
{
    DWORD value = 0, size = sizeof value, type = 0;
    if (key && RegQueryValueExA(key, name, NULL, &type, (BYTE *)&value, &size) == ERROR_SUCCESS)
        printf(" %s=%lu", name, (unsigned long)value);
    else
        printf(" %s=-", name);
}

static int Inspect_State(void)
{
    HWND window = Inspect_Window();
    if (window) {
        printf("visible=%d iconic=%d focus=%d", IsWindowVisible(window) ? 1 : 0,
               IsIconic(window) ? 1 : 0, Inspect_FocusId(window));
        const int boxes[] = {3000, 3003, 3004, 3005, 3006};
        for (int id : boxes)
            printf(" box%d=%u", id, IsDlgButtonChecked(window, id));
        // ACM_ISPLAYING: the clip runs.
        printf(" playing=%d", (int)SendMessageA(GetDlgItem(window, 4000), WM_USER + 104, 0, 0));
    } else {
        printf("window=none");
    }
    HKEY key = NULL;
    RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Quorvane\\Hushpane\\", 0, KEY_READ, &key);
    const char *names[] = {"Browser", "Messenger", "Tooltip", "Applet", "Flash"};
    for (const char *name : names)
        Inspect_PrintSwitch(key, name);
    if (key)
        RegCloseKey(key);
    printf("\n");
    return window ? 0 : 1;
}

static int Inspect_Center(int id)
{
    HWND window = Inspect_Window();
    HWND control = window ? GetDlgItem(window, id) : NULL;
    RECT r;
    if (!control || !GetWindowRect(control, &r))
        return 1;
    printf("%ld %ld\n", (r.left + r.right) / 2, (r.top + r.bottom) / 2);
    return 0;
}

static HWND s_group;

static BOOL CALLBACK Inspect_FindGroup(HWND child, LPARAM id)
{
    if (GetDlgCtrlID(child) == (int)id && (GetWindowLongA(child, GWL_STYLE) & 0xF) == BS_GROUPBOX) {
        s_group = child;
        return FALSE;
    }
    return TRUE;
}

static int Inspect_GroupPoint(int id)
{
    HWND window = Inspect_Window();
    RECT r;
    if (!window)
        return 1;
    EnumChildWindows(window, Inspect_FindGroup, id);
    if (!s_group || !GetWindowRect(s_group, &r))
        return 1;
    printf("%ld %ld\n", r.left + 4, (r.top + r.bottom) / 2);
    return 0;
}

static int Inspect_TrayForget(void)
{
    HWND window = Inspect_Window();
    if (!window)
        return 1;
    NOTIFYICONDATAA data = {};
    data.cbSize = NOTIFYICONDATAA_V1_SIZE;
    data.hWnd = window;
    data.uID = 0;
    return Shell_NotifyIconA(NIM_DELETE, &data) ? 0 : 1;
}

static int Inspect_MenuShown(DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    for (;;) {
        HWND menu = FindWindowA("#32768", NULL);
        if (menu && IsWindowVisible(menu)) {
            RECT r;
            GetWindowRect(menu, &r);
            printf("menu %ld %ld %ld %ld\n", r.left, r.top, r.right, r.bottom);
            return 0;
        }
        if (GetTickCount() - start > timeoutMs)
            return 1;
        Sleep(50);
    }
}

static char s_boxText[1024];

static BOOL CALLBACK Inspect_LongestText(HWND child, LPARAM)
{
    char className[16];
    GetClassNameA(child, className, sizeof className);
    WCHAR wide[1024];
    // Wide: Wine hands window texts across processes as wide characters.
    if (lstrcmpiA(className, "Static") || !GetWindowTextW(child, wide, 1024))
        return TRUE;
    char text[1024];
    WideCharToMultiByte(CP_ACP, 0, wide, -1, text, sizeof text, NULL, NULL);
    if (lstrlenA(text) > lstrlenA(s_boxText))
        lstrcpyA(s_boxText, text);
    return TRUE;
}

static int Inspect_Box(const char *caption, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    HWND box;
    while (!(box = FindWindowA("#32770", caption)) || !IsWindowVisible(box)) {
        if (GetTickCount() - start > timeoutMs)
            return 1;
        Sleep(50);
    }
    EnumChildWindows(box, Inspect_LongestText, 0);
    for (const char *c = s_boxText; *c; ++c) {
        if (*c == '\r')
            printf("\\r");
        else if (*c == '\n')
            printf("\\n");
        else
            putchar(*c);
    }
    printf("\n");
    return GetWindow(box, GW_OWNER) == Inspect_Window() ? 0 : 1;
}

static int Inspect_Version(const char *path)
{
    static char data[8192];
    DWORD unused;
    DWORD size = GetFileVersionInfoSizeA(path, &unused);
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

int main(int argc, char **argv)
{
    setvbuf(stdout, NULL, _IONBF, 0);
    if (argc < 2)
        return 2;
    const char *command = argv[1];
    const char *arg = argc > 2 ? argv[2] : "";
    if (!strcmp(command, "wait") && argc > 3)
        return Inspect_Wait(arg, (DWORD)atol(argv[3]));
    if (!strcmp(command, "state"))
        return Inspect_State();
    if (!strcmp(command, "focus-is")) {
        HWND window = Inspect_Window();
        int focus = window ? Inspect_FocusId(window) : -1;
        printf("focus %d\n", focus);
        return focus == atoi(arg) ? 0 : 1;
    }
    if (!strcmp(command, "origin")) {
        RECT r;
        HWND window = Inspect_Window();
        if (!window || !GetWindowRect(window, &r))
            return 1;
        printf("%ld %ld\n", r.left, r.top);
        return 0;
    }
    if (!strcmp(command, "group-point"))
        return Inspect_GroupPoint(atoi(arg));
    if (!strcmp(command, "center"))
        return Inspect_Center(atoi(arg));
    if (!strcmp(command, "command")) {
        HWND window = Inspect_Window();
        return window && PostMessageA(window, WM_COMMAND, (WPARAM)atoi(arg), 0) ? 0 : 1;
    }
    if (!strcmp(command, "tray-forget"))
        return Inspect_TrayForget();
    if (!strcmp(command, "taskbar-created")) {
        UINT message = RegisterWindowMessageA("TaskbarCreated");
        return SendNotifyMessageA(HWND_BROADCAST, message, 0, 0) ? 0 : 1;
    }
    if (!strcmp(command, "find-class") && argc > 3) {
        DWORD start = GetTickCount();
        while (!FindWindowA(arg, NULL)) {
            if (GetTickCount() - start > (DWORD)atol(argv[3]))
                return 1;
            Sleep(50);
        }
        return 0;
    }
    if (!strcmp(command, "box") && argc > 3)
        return Inspect_Box(arg, (DWORD)atol(argv[3]));
    if (!strcmp(command, "box-ok")) {
        HWND box = FindWindowA("#32770", arg);
        return box && PostMessageA(box, WM_COMMAND, IDOK, 0) ? 0 : 1;
    }
    if (!strcmp(command, "version"))
        return Inspect_Version(arg);
    if (!strcmp(command, "menu-shown"))
        return Inspect_MenuShown((DWORD)atol(arg));
    return 2;
}
