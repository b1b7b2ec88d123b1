// Resource, control and command ids of the tray program, shared by
// resources/hushpane.rc and the code. Plain #defines only: windres reads this.
#ifndef HUSHPANE_RESOURCE_IDS_H
#define HUSHPANE_RESOURCE_IDS_H

// Icons: the program (large, small) and the tray icon's three pictures.
#define IDI_PROGRAM          400
#define IDI_PROGRAM_SMALL    401
#define IDI_TRAY_REST        402
#define IDI_TRAY_WHITE       404
#define IDI_TRAY_YELLOW      405

// Button faces.
#define IDB_APPLY            407
#define IDB_RESET            408
#define IDB_QUICK_TIPS       409
#define IDB_EXIT             410

// Controls of the settings window. 3007 and 3008 also name the two group
// boxes, which send no commands; 3009 names both static texts.
#define IDC_BROWSER_BOX      3000
#define IDC_APPLY            3001
#define IDC_RESET            3002
#define IDC_MESSENGER_BOX    3003
#define IDC_TOOLTIP_BOX      3004
#define IDC_APPLET_BOX       3005
#define IDC_FLASH_BOX        3006
#define IDC_QUICK_TIPS       3007
#define IDC_DESKTOP_GROUP    3007
#define IDC_EXIT             3008
#define IDC_BROWSER_GROUP    3008
#define IDC_TEXT             3009
#define IDC_INSPECT_LIST     1000
#define IDC_DELETE_LIST      1001
#define IDC_ANIMATION        4000

// The "Blocked Windows" window and its controls.
#define IDD_BLOCKED_WINDOWS  500
#define IDC_BLOCKED_LIST     5001
#define IDC_EXEMPT_LIST      5002
#define IDC_LEAVE_ALONE      5003
#define IDC_BLOCK_AGAIN      5004
#define IDC_BLOCKED_NOTE     5005

// Tray menu commands; 1000 is told apart from the inspect list by lParam 0.
#define IDM_SETTINGS         1000
#define IDM_BLOCKED_WINDOWS  1005
#define IDM_QUIT_BLOCKING    1010

#endif
