// Decisions of the tray program that need no Windows: how a WM_COMMAND is
// routed and what the one-copy mutex is called.
#ifndef HUSHPANE_WINDOW_DECISIONS_H
#define HUSHPANE_WINDOW_DECISIONS_H

#include <stdint.h>

enum CommandRoute {
    ROUTE_NONE,
    ROUTE_RESTORE,            // lParam 0, "&Settings": tray menu, double click, hand-over
    ROUTE_BLOCKED_WINDOWS,    // lParam 0, "&Blocked Windows..."
    ROUTE_QUIT,               // lParam 0, any other id: "&Quit Blocking", Esc, stray Enter
    ROUTE_APPLY,
    ROUTE_RESET,
    ROUTE_QUICK_TIPS,
    ROUTE_EXIT,
    ROUTE_SELECTION_CHANGE    // a list's CBN_SELCHANGE
};

// wParam of WM_COMMAND and whether lParam carried a control's handle.
enum CommandRoute WindowDecisions_RouteCommand(uint32_t wParam, bool fromControl);

// The one-copy mutex's name for a platform id and major version as
// Platform_Version reads them.
const char *WindowDecisions_OneCopyMutexName(uint32_t platformId, uint32_t majorVersion);

#endif
