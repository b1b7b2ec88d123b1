// Decisions of the settings window that need no Windows: how a WM_COMMAND is
// routed and which value a check box's state stores.
#ifndef HUSHPANE_WINDOW_DECISIONS_H
#define HUSHPANE_WINDOW_DECISIONS_H

#include <stdint.h>

enum CommandRoute {
    ROUTE_NONE,
    ROUTE_MENU_COMMAND,       // lParam 0: tray menu, double click, hand-over, Esc, stray Enter
    ROUTE_APPLY,
    ROUTE_RESET,
    ROUTE_QUICK_TIPS,
    ROUTE_EXIT,
    ROUTE_SELECTION_CHANGE    // a list's CBN_SELCHANGE
};

// wParam of WM_COMMAND and whether lParam carried a control's handle.
enum CommandRoute WindowDecisions_RouteCommand(uint32_t wParam, bool fromControl);

// A check box state of exactly BST_CHECKED (1) stores 1; any other state 0.
uint32_t WindowDecisions_SwitchFromBox(uint32_t boxState);

#endif
