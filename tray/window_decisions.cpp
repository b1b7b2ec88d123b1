// Plain decisions of the settings window, unit-tested on the host.
#include "window_decisions.h"
#include "resource_ids.h"
#include "session_namespace.h"

#define NOTIFY_BN_CLICKED     0u
#define NOTIFY_CBN_SELCHANGE  1u

enum CommandRoute WindowDecisions_RouteCommand(uint32_t wParam, bool fromControl)
{
    uint32_t id = wParam & 0xFFFFu;
    uint32_t notification = (wParam >> 16) & 0xFFFFu;
    // A menu command carries no handle; this is what tells "&Settings" (1000)
    // from the inspect list (1000).
    if (!fromControl)
        return id == IDM_SETTINGS ? ROUTE_RESTORE : id == IDM_BLOCKED_WINDOWS ? ROUTE_BLOCKED_WINDOWS : ROUTE_QUIT;
    if (notification == NOTIFY_CBN_SELCHANGE)
        return ROUTE_SELECTION_CHANGE;
    if (notification != NOTIFY_BN_CLICKED)
        return ROUTE_NONE;
    switch (id) {
    case IDC_APPLY:      return ROUTE_APPLY;
    case IDC_RESET:      return ROUTE_RESET;
    case IDC_QUICK_TIPS: return ROUTE_QUICK_TIPS;
    case IDC_EXIT:       return ROUTE_EXIT;
    default:             return ROUTE_NONE;   // check boxes: nothing until the next apply
    }
}

const char *WindowDecisions_OneCopyMutexName(uint32_t platformId, uint32_t majorVersion)
{
    static const SessionObjectName ONE_COPY = SESSION_OBJECT_NAME("Hushpane.OneCopy");
    return Session_ObjectName(&ONE_COPY, Session_HasOwnNamespace(platformId, majorVersion));
}
