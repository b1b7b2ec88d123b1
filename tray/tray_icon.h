// The notification-area icon, its menu and the block indicator: handlers of
// the settings window's procedure while the program lives in the tray.
#ifndef HUSHPANE_TRAY_ICON_H
#define HUSHPANE_TRAY_ICON_H

#include <windows.h>

#define WM_TRAYICON (WM_USER + 5)
#define TRAY_ICON_TIP "Hushpane active!"

void TrayIcon_CreateMenu(void);
void TrayIcon_DestroyMenu(void);

// WM_SIZE: a minimise hides the window behind the icon.
void TrayIcon_OnSize(HWND window, WPARAM sizeKind);
// WM_TRAYICON: right press opens the menu, double click restores the window.
void TrayIcon_OnCallback(HWND window, WPARAM iconId, LPARAM mouseMessage);
// WM_COMMAND with lParam 0 (WindowDecisions_RouteCommand): the icon goes, and
// "&Settings" brings the window back; any other id ends the program.
void TrayIcon_Restore(HWND window);
void TrayIcon_Quit(HWND window);
// WM_POPUPBLOCKED: flash white, red, yellow, red.
void TrayIcon_OnPopupBlocked(void);
// WM_SYSCOMMAND: true when a minimise request finds the window already in
// the tray (the auto-apply's second message); the default handling would
// show the minimised window again.
bool TrayIcon_OnSysCommand(WPARAM command);
// "TaskbarCreated": a re-created notification area has lost the icon.
void TrayIcon_OnTaskbarCreated(void);

#endif
