// Into the tray and back: the icon, its menu and the block indicator.
#include <windows.h>
#include <shellapi.h>
#include "tray_icon.h"
#include "program_state.h"
#include "resource_ids.h"

// NOTIFYICONDATAA in its first form (88 bytes in 32-bit code): understood by
// every shell from Windows 95 on.
struct TrayIconRecord {
    DWORD cbSize;
    HWND hWnd;
    UINT uID;
    UINT uFlags;
    UINT uCallbackMessage;
    HICON hIcon;
    CHAR szTip[64];
};
static_assert(sizeof(TrayIconRecord) == NOTIFYICONDATAA_V1_SIZE, "first form of NOTIFYICONDATAA");

#define TRAY_ICON_ID 0
#define FLASH_PAUSE_MS 50

static TrayIconRecord s_record;
static HMENU s_menu;
// Whether the window is minimised into the tray, so that a re-created
// notification area gets the icon back.
static bool s_inTray;

static BOOL TrayIcon_Notify(DWORD action)
{
    return Shell_NotifyIconA(action, (NOTIFYICONDATAA *)&s_record);
}

void TrayIcon_CreateMenu(void)
{
    s_menu = CreatePopupMenu();
    AppendMenuA(s_menu, MF_STRING, IDM_SETTINGS, "&Settings");
    AppendMenuA(s_menu, MF_STRING, IDM_BLOCKED_WINDOWS, "&Blocked Windows...");
    AppendMenuA(s_menu, MF_STRING, IDM_QUIT_BLOCKING, "&Quit Blocking");
}

void TrayIcon_DestroyMenu(void)
{
    DestroyMenu(s_menu);
    s_menu = NULL;
}

// Into the tray: every minimise, from an apply or from anywhere else.
void TrayIcon_OnSize(HWND window, WPARAM sizeKind)
{
    if (sizeKind != SIZE_MINIMIZED)
        return;
    s_record.cbSize = sizeof s_record;
    s_record.hWnd = window;
    s_record.uID = TRAY_ICON_ID;
    s_record.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    s_record.uCallbackMessage = WM_TRAYICON;
    s_record.hIcon = LoadIconA(g_module, MAKEINTRESOURCEA(IDI_TRAY_REST));
    lstrcpyA(s_record.szTip, TRAY_ICON_TIP);
    ShowWindow(window, SW_HIDE);
    TrayIcon_Notify(NIM_ADD);
    s_inTray = true;
    MessageBeep(MB_OK);
}

static void TrayIcon_ShowMenu(HWND window)
{
    POINT cursor;
    GetCursorPos(&cursor);
    // Foreground first, and WM_NULL after, or the menu does not close when
    // the user clicks elsewhere.
    SetForegroundWindow(window);
    TrackPopupMenu(s_menu, TPM_RIGHTALIGN, cursor.x, cursor.y, 0, window, NULL);
    PostMessageA(window, WM_NULL, 0, 0);
}

void TrayIcon_OnCallback(HWND window, WPARAM iconId, LPARAM mouseMessage)
{
    if (iconId != TRAY_ICON_ID)
        return;
    switch (mouseMessage) {
    case WM_RBUTTONDOWN:
        TrayIcon_ShowMenu(window);
        break;
    case WM_LBUTTONDBLCLK:
        PostMessageA(window, WM_COMMAND, IDM_SETTINGS, 0);
        SetForegroundWindow(window);
        break;
    }
}

static void TrayIcon_Leave(void)
{
    TrayIcon_Notify(NIM_DELETE);
    s_inTray = false;
}

void TrayIcon_Restore(HWND window)
{
    TrayIcon_Leave();
    ShowWindow(window, SW_RESTORE);
    SetFocus(GetDlgItem(window, IDC_APPLY));
}

// WM_DESTROY takes the rest down, the animation included.
void TrayIcon_Quit(HWND window)
{
    TrayIcon_Leave();
    DestroyWindow(window);
}

static void TrayIcon_ShowPicture(int iconId)
{
    s_record.hIcon = LoadIconA(g_module, MAKEINTRESOURCEA(iconId));
    TrayIcon_Notify(NIM_MODIFY);
}

// The vetoing thread waits in its send until this returns: keep it short
// and fixed.
void TrayIcon_OnPopupBlocked(void)
{
    TrayIcon_ShowPicture(IDI_TRAY_WHITE);
    Sleep(FLASH_PAUSE_MS);
    TrayIcon_ShowPicture(IDI_TRAY_REST);
    Sleep(FLASH_PAUSE_MS);
    TrayIcon_ShowPicture(IDI_TRAY_YELLOW);
    Sleep(FLASH_PAUSE_MS);
    TrayIcon_ShowPicture(IDI_TRAY_REST);
}

bool TrayIcon_OnSysCommand(WPARAM command)
{
    return (command & 0xFFF0) == SC_MINIMIZE && s_inTray;
}

void TrayIcon_OnTaskbarCreated(void)
{
    if (!s_inTray)
        return;
    s_record.hIcon = LoadIconA(g_module, MAKEINTRESOURCEA(IDI_TRAY_REST));
    TrayIcon_Notify(NIM_ADD);
}
