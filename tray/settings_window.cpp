// The settings window: its one procedure, which only dispatches, and the
// handlers of its own messages (the tray's handlers are in tray_icon.cpp).
#include <windows.h>
#include <shellapi.h>
#include <commctrl.h>
#include "settings_window.h"
#include "blocked_windows.h"
#include "hook_thread.h"
#include "host_launch.h"
#include "library_search.h"
#include "messenger_service.h"
#include "platform_version.h"
#include "program_state.h"
#include "records_tools.h"
#include "resource_ids.h"
#include "snapveil.h"
#include "switch_boxes.h"
#include "tray_icon.h"
#include "window_decisions.h"

#ifndef HUSHPANE_FAQ_URL
#error HUSHPANE_FAQ_URL is set by the build
#endif

#define AUTO_APPLY_TIMER 99
#define AUTO_APPLY_DELAY_MS 15000

#define LIST_STYLE_DELETE (WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | WS_TABSTOP | \
                           CBS_DROPDOWNLIST | CBS_SORT | CBS_HASSTRINGS)
#define LIST_STYLE_INSPECT (LIST_STYLE_DELETE | WS_GROUP)   // starts the lists' group
#define BUTTON_STYLE_OTHER (WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON | BS_BITMAP | BS_FLAT)
#define BUTTON_STYLE_APPLY (BUTTON_STYLE_OTHER | WS_GROUP | BS_DEFPUSHBUTTON)

static const char QUICK_TIPS_TEXT[] =
    "\r\nWhen you choose to open a popup or new window  \r\n"
    "that has been blocked by default, you can: \r\n\r\n"
    "1. Triple click the link.\r\n"
    "   -------------or-------------\r\n"
    "2. Press down a key (any key)\r\n"
    "   when clicking.\r\n\r\n";

static UINT s_taskbarCreatedMessage;
static UINT s_showSettingsMessage;
// The account may not write the settings key: the boxes show what is stored.
static bool s_switchesFixed;

struct PictureButton {
    int id;
    DWORD style;
    int x, width;
    int bitmap;
};

static const PictureButton PICTURE_BUTTONS[] = {
    {IDC_APPLY, BUTTON_STYLE_APPLY, 58, 35, IDB_APPLY},
    {IDC_RESET, BUTTON_STYLE_OTHER, 99, 50, IDB_RESET},
    {IDC_QUICK_TIPS, BUTTON_STYLE_OTHER, 155, 43, IDB_QUICK_TIPS},
    {IDC_EXIT, BUTTON_STYLE_OTHER, 204, 41, IDB_EXIT},
};
#define PICTURE_BUTTON_Y 290
#define PICTURE_BUTTON_HEIGHT 25

// The lists sort their items, and each item carries its folder, so what an
// item does never depends on where sorting puts it.
static void SettingsWindow_CreateList(HWND window, int id, DWORD style, int y)
{
    HWND list = CreateWindowExA(WS_EX_CLIENTEDGE, "COMBOBOX", NULL, style, 85, y, 170, 200,
                                window, (HMENU)(INT_PTR)id, g_module, NULL);
    SendMessageA(list, WM_SETFONT, (WPARAM)GetStockObject(DEFAULT_GUI_FONT), 0);
    const char *text;
    for (int folder = 0; (text = RecordsTools_ItemText(id, folder)) != NULL; ++folder) {
        LRESULT item = SendMessageA(list, CB_ADDSTRING, 0, (LPARAM)text);
        SendMessageA(list, CB_SETITEMDATA, (WPARAM)item, (LPARAM)folder);
    }
    SendMessageA(list, CB_SETCURSEL, 0, 0);
}

static void SettingsWindow_CreateButton(HWND window, const PictureButton *button)
{
    HWND control = CreateWindowExA(0, "BUTTON", NULL, button->style, button->x, PICTURE_BUTTON_Y,
                                   button->width, PICTURE_BUTTON_HEIGHT, window,
                                   (HMENU)(INT_PTR)button->id, g_module, NULL);
    HANDLE bitmap = LoadImageA(g_module, MAKEINTRESOURCEA(button->bitmap), IMAGE_BITMAP, 0, 0,
                               LR_DEFAULTCOLOR);
    SendMessageA(control, BM_SETIMAGE, IMAGE_BITMAP, (LPARAM)bitmap);
}

// From Vista on the system drops messages sent up from lower integrity
// unless they are let in: the block notice from protected-mode browsers,
// and, for a copy started elevated, the shell's icon callback, its
// "TaskbarCreated" and a normal second start's hand-over. For this window alone where the system can (Windows 7
// on), process-wide before; older systems lack both calls, and Wine has no
// integrity levels, so there this changes nothing.
static void SettingsWindow_AcceptMessages(HWND window)
{
    typedef BOOL(WINAPI * WindowFilterProc)(HWND, UINT, DWORD, void *);
    typedef BOOL(WINAPI * ProcessFilterProc)(UINT, DWORD);
    HMODULE user32 = GetModuleHandleA("user32.dll");
    WindowFilterProc allowHere =
        (WindowFilterProc)(void (*)(void))GetProcAddress(user32, "ChangeWindowMessageFilterEx");
    ProcessFilterProc allow =
        (ProcessFilterProc)(void (*)(void))GetProcAddress(user32, "ChangeWindowMessageFilter");
    const UINT messages[] = {WM_POPUPBLOCKED, WM_TRAYICON, s_taskbarCreatedMessage,
                             s_showSettingsMessage};
    for (UINT message : messages) {
        if (allowHere)
            allowHere(window, message, MSGFLT_ALLOW, NULL);
        else if (allow)
            allow(message, MSGFLT_ADD);
    }
}

// Build the window: the template's controls come after these.
static void SettingsWindow_OnCreate(HWND window)
{
    SettingsWindow_AcceptMessages(window);
    SettingsWindow_CreateList(window, IDC_INSPECT_LIST, LIST_STYLE_INSPECT, 67);
    SettingsWindow_CreateList(window, IDC_DELETE_LIST, LIST_STYLE_DELETE, 98);
    for (const PictureButton &button : PICTURE_BUTTONS)
        SettingsWindow_CreateButton(window, &button);
    SetFocus(GetDlgItem(window, IDC_APPLY));
    TrayIcon_CreateMenu();
    SetForegroundWindow(window);
    SetTimer(window, AUTO_APPLY_TIMER, AUTO_APPLY_DELAY_MS, NULL);
}

// The 64-bit host's hooks go with this program's own.
static void SettingsWindow_UninstallHooks(void)
{
    HookThread_UninstallAll();
    HostLaunch_Stop();
}

// Apply: the writes must all be done before the first install, which reloads
// them; the Messenger service follows its box right after its write.
static void SettingsWindow_OnApply(HWND window)
{
    KillTimer(window, AUTO_APPLY_TIMER);
    SettingsWindow_UninstallHooks();
    for (const SwitchEntry &entry : SETTINGS_SWITCHES) {
        bool ticked = IsDlgButtonChecked(window, SwitchBoxes_IdOf(entry.place)) == BST_CHECKED;
        uint32_t value = ticked ? SWITCH_ON : SWITCH_OFF;
        Settings_WriteSwitch(&value, SETTINGS_SUBKEY, entry.valueName);
        if (entry.place == &BlockingSwitches::messenger)
            MessengerService_Switch(Platform_IsWindows9x(), ticked);
    }
    HookThread_InstallAll(window);
    HostLaunch_Start(window);
    ShowWindow(window, SW_MINIMIZE);
}

// Reset: blocking stops now; the key keeps the last apply's switches. Where
// the key cannot be written the boxes keep showing what is stored, which is
// what the next apply installs.
static void SettingsWindow_OnReset(HWND window)
{
    SettingsWindow_UninstallHooks();
    if (!s_switchesFixed)
        for (const SwitchEntry &entry : SETTINGS_SWITCHES)
            CheckDlgButton(window, SwitchBoxes_IdOf(entry.place),
                           entry.afterReset == SWITCH_ON ? BST_CHECKED : BST_UNCHECKED);
    MessageBeep(MB_OK);
}

static void SettingsWindow_OnQuickTips(HWND window)
{
    MessageBoxA(window, QUICK_TIPS_TEXT, "Quick Tips", MB_ICONINFORMATION);
    LibrarySearch_StartingProgram(true);
    ShellExecuteA(NULL, "open", HUSHPANE_FAQ_URL, NULL, NULL, SW_SHOWDEFAULT);
    LibrarySearch_StartingProgram(false);
}

static void SettingsWindow_OnCommand(HWND window, WPARAM wParam, LPARAM lParam)
{
    switch (WindowDecisions_RouteCommand((uint32_t)wParam, lParam != 0)) {
    case ROUTE_RESTORE:
        TrayIcon_Restore(window);
        break;
    case ROUTE_BLOCKED_WINDOWS:
        BlockedWindows_Open(window);
        break;
    case ROUTE_QUIT:
        TrayIcon_Quit(window);
        break;
    case ROUTE_APPLY:
        SettingsWindow_OnApply(window);
        break;
    case ROUTE_RESET:
        SettingsWindow_OnReset(window);
        break;
    case ROUTE_QUICK_TIPS:
        SettingsWindow_OnQuickTips(window);
        break;
    case ROUTE_EXIT:
        DestroyWindow(window);
        break;
    case ROUTE_SELECTION_CHANGE:
        RecordsTools_OnSelectionChange(window, LOWORD(wParam), (HWND)lParam);
        break;
    case ROUTE_NONE:
        break;
    }
}

// Auto-apply: exactly as if the apply button were pressed, after this returns.
static void SettingsWindow_OnTimer(HWND window)
{
    PostMessageA(window, WM_COMMAND, MAKEWPARAM(IDC_APPLY, BN_CLICKED),
                 (LPARAM)GetDlgItem(window, IDC_APPLY));
    PostMessageA(window, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    KillTimer(window, AUTO_APPLY_TIMER);
}

// A press on the body drags the window as if by its caption.
static void SettingsWindow_OnLButtonDown(HWND window)
{
    SendMessageA(window, WM_NCLBUTTONDOWN, HTCAPTION, 0);
}

// Every way out passes here, so the hooks never outlive the program.
static void SettingsWindow_OnDestroy(HWND window)
{
    DestroyWindow(GetDlgItem(window, IDC_ANIMATION));
    TrayIcon_DestroyMenu();
    SettingsWindow_UninstallHooks();
    PostQuitMessage(0);
}

static LRESULT CALLBACK SettingsWindow_Procedure(HWND window, UINT message, WPARAM wParam,
                                                 LPARAM lParam)
{
    if (message == s_taskbarCreatedMessage && message != 0) {
        TrayIcon_OnTaskbarCreated();
        return 0;
    }
    if (message == s_showSettingsMessage && message != 0) {
        TrayIcon_Restore(window);
        return 0;
    }
    switch (message) {
    case WM_CREATE:
        SettingsWindow_OnCreate(window);
        return 0;
    case WM_DESTROY:
        SettingsWindow_OnDestroy(window);
        return 0;
    case WM_SIZE:
        TrayIcon_OnSize(window, wParam);
        return 0;
    case WM_COMMAND:
        SettingsWindow_OnCommand(window, wParam, lParam);
        return 0;
    case WM_TIMER:
        SettingsWindow_OnTimer(window);
        return 0;
    case WM_LBUTTONDOWN:
        SettingsWindow_OnLButtonDown(window);
        return 0;
    case WM_TRAYICON:
        TrayIcon_OnCallback(window, wParam, lParam);
        return 0;
    case WM_POPUPBLOCKED:
        TrayIcon_OnPopupBlocked();
        BlockedWindows_OnPopupBlocked();
        return 0;
    case WM_SYSCOMMAND:
        if (TrayIcon_OnSysCommand(wParam))
            return 0;
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

void SettingsWindow_RegisterClass(HINSTANCE module)
{
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof wc;
    wc.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
    wc.lpfnWndProc = SettingsWindow_Procedure;
    wc.cbWndExtra = DLGWINDOWEXTRA;   // a class used by a dialog template must reserve these
    wc.hInstance = module;
    wc.hIcon = LoadIconA(module, MAKEINTRESOURCEA(IDI_PROGRAM));
    wc.hIconSm = LoadIconA(module, MAKEINTRESOURCEA(IDI_PROGRAM_SMALL));
    wc.hCursor = LoadCursorA(NULL, IDC_ARROW);
    wc.hbrBackground = (HBRUSH)(COLOR_BTNFACE + 1);
    wc.lpszClassName = SETTINGS_WINDOW_CLASS;
    RegisterClassExA(&wc);
    // Sent to every top-level window when the shell's notification area is
    // (re-)created, e.g. after Explorer restarts.
    s_taskbarCreatedMessage = RegisterWindowMessageA("TaskbarCreated");
    s_showSettingsMessage = RegisterWindowMessageA(SHOW_SETTINGS_MESSAGE);
}

HWND SettingsWindow_Create(HINSTANCE module)
{
    return CreateDialogParamA(module, SETTINGS_WINDOW_TEMPLATE, NULL, NULL, 0);
}

// The controls added in code are placed in pixels for the template font's
// reference metrics (1.5 x 1.625 pixels per dialog unit). Where the template
// font measures otherwise (another DPI, a substitute font) the template's
// controls move but these would not, and the buttons would fall off the
// bottom of the window; so their positions follow the measured scale.
void SettingsWindow_FitAddedControls(HWND window)
{
    RECT scale = {0, 0, 400, 800};   // 600 x 1300 pixels at the reference metrics
    if (!MapDialogRect(window, &scale) || (scale.right == 600 && scale.bottom == 1300))
        return;
    const int ids[] = {IDC_INSPECT_LIST, IDC_DELETE_LIST, IDC_APPLY, IDC_RESET, IDC_QUICK_TIPS,
                       IDC_EXIT};
    for (int id : ids) {
        HWND control = GetDlgItem(window, id);
        RECT place;
        GetWindowRect(control, &place);
        MapWindowPoints(NULL, window, (POINT *)&place, 2);
        SetWindowPos(control, NULL, MulDiv(place.left, scale.right, 600),
                     MulDiv(place.top, scale.bottom, 1300), 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

// The template names the clip in the animation control's text, which starts it
// on Windows; Wine's control ignores that text, so the clip is opened once
// more by name (with ACS_AUTOPLAY the open starts it).
void SettingsWindow_StartClip(HWND window)
{
    SendDlgItemMessageA(window, IDC_ANIMATION, ACM_OPENA, (WPARAM)g_module, (LPARAM) "FLASHINGP");
}

// "Browser" is forced on at every start. Where the account may not write the
// key (a limited one on NT 4.0 to XP) the boxes show the stored switches,
// which every apply installs, and cannot be changed.
void SettingsWindow_ShowSwitches(HWND window)
{
    s_switchesFixed = !Settings_IsWritable(SETTINGS_SUBKEY);
    for (const SwitchEntry &entry : SETTINGS_SWITCHES) {
        const int box = SwitchBoxes_IdOf(entry.place);
        bool on = g_switches.*entry.place == SWITCH_ON;
        if (!on && entry.place == &BlockingSwitches::browser) {
            uint32_t forced = SWITCH_ON;
            on = Settings_WriteSwitch(&forced, SETTINGS_SUBKEY, entry.valueName) == 0;
        }
        if (on)
            CheckDlgButton(window, box, BST_CHECKED);
        EnableWindow(GetDlgItem(window, box), !s_switchesFixed);
    }
}
