// Command routing of the settings window (the same id means different things
// depending on whether a control sent it) and the one-copy mutex's name.
#include <gtest/gtest.h>
#include <vector>
#include "window_decisions.h"
#include "resource_ids.h"

// Every id of a row, sent with the row's notification, routes to its result.
struct Routing { bool fromControl; uint32_t notification; std::vector<uint32_t> ids; CommandRoute expected; };

const Routing ROUTINGS[] = {
    // Without a control handle every id is a menu command, whatever the notification: "&Settings"
    // shares 1000 with the inspect list and restores; Esc and a stray Enter come as IDCANCEL/IDOK
    // and quit, as "&Quit Blocking" does; the auto-apply and the delete list never land here.
    {false, 0, {IDM_SETTINGS}, ROUTE_RESTORE}, {false, 1, {IDC_DELETE_LIST}, ROUTE_QUIT},
    {false, 0, {IDM_BLOCKED_WINDOWS}, ROUTE_BLOCKED_WINDOWS},
    {false, 0, {IDM_QUIT_BLOCKING, 1, 2, IDC_APPLY, IDC_EXIT}, ROUTE_QUIT},
    // Buttons act only on clicks, not on focus changes and other notifications (BN_SETFOCUS 6...).
    {true, 0, {IDC_APPLY}, ROUTE_APPLY}, {true, 0, {IDC_RESET}, ROUTE_RESET},
    {true, 0, {IDC_QUICK_TIPS}, ROUTE_QUICK_TIPS}, {true, 0, {IDC_EXIT}, ROUTE_EXIT},
    {true, 6, {IDC_APPLY}, ROUTE_NONE}, {true, 5, {IDC_EXIT}, ROUTE_NONE},
    // Check boxes change only themselves; the inspect list's id clicked is no menu command.
    {true, 0, {IDC_BROWSER_BOX, IDC_MESSENGER_BOX, IDC_TOOLTIP_BOX, IDC_APPLET_BOX, IDC_FLASH_BOX,
               IDC_INSPECT_LIST}, ROUTE_NONE},
    // Selection changes go to the lists whatever the id; their other notifications
    // (CBN_DROPDOWN 7, CBN_SELENDOK 9) do nothing.
    {true, 1, {IDC_INSPECT_LIST, IDC_DELETE_LIST}, ROUTE_SELECTION_CHANGE},
    {true, 7, {IDC_INSPECT_LIST}, ROUTE_NONE}, {true, 9, {IDC_DELETE_LIST}, ROUTE_NONE},
};

TEST(CommandRouting, HandleFirstThenNotificationThenId)
{
    for (const Routing &row : ROUTINGS)
        for (uint32_t id : row.ids)
            EXPECT_EQ(row.expected, WindowDecisions_RouteCommand((row.notification << 16) | id, row.fromControl))
                << "id " << id << " notification " << row.notification << " from control " << row.fromControl;
}

TEST(OneCopyMutexName, SessionNamespaceOnlyWhereSessionsExist)
{
    // Windows 95/98/Me (platform 1) and NT 4.0 take no backslash in a name.
    EXPECT_STREQ("Hushpane.OneCopy", WindowDecisions_OneCopyMutexName(1, 4));
    EXPECT_STREQ("Hushpane.OneCopy", WindowDecisions_OneCopyMutexName(2, 4));
    EXPECT_STREQ("Local\\Hushpane.OneCopy", WindowDecisions_OneCopyMutexName(2, 5));
    EXPECT_STREQ("Local\\Hushpane.OneCopy", WindowDecisions_OneCopyMutexName(2, 10));
}
