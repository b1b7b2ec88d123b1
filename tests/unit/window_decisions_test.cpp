// Command routing of the settings window (the same id means different things
// depending on whether a control sent it) and the one-copy mutex's name.
#include <gtest/gtest.h>
#include "../../tray/window_decisions.h"
#include "../../tray/resource_ids.h"

static uint32_t Wp(uint32_t id, uint32_t notification)
{
    return (notification << 16) | id;
}

TEST(CommandRouting, WithoutControlHandleEveryIdIsAMenuCommand)
{
    // "&Settings" shares 1000 with the inspect list; Esc and a stray Enter come
    // as IDCANCEL/IDOK without a handle; the auto-apply must never land here.
    const uint32_t ids[] = {IDM_SETTINGS, IDM_QUIT_BLOCKING, 1, 2, IDC_APPLY, IDC_EXIT};
    for (uint32_t id : ids)
        EXPECT_EQ(ROUTE_MENU_COMMAND, WindowDecisions_RouteCommand(Wp(id, 0), false)) << id;
    EXPECT_EQ(ROUTE_MENU_COMMAND, WindowDecisions_RouteCommand(Wp(IDC_INSPECT_LIST, 1), false));
}

TEST(CommandRouting, ButtonsActOnlyOnClicks)
{
    EXPECT_EQ(ROUTE_APPLY, WindowDecisions_RouteCommand(Wp(IDC_APPLY, 0), true));
    EXPECT_EQ(ROUTE_RESET, WindowDecisions_RouteCommand(Wp(IDC_RESET, 0), true));
    EXPECT_EQ(ROUTE_QUICK_TIPS, WindowDecisions_RouteCommand(Wp(IDC_QUICK_TIPS, 0), true));
    EXPECT_EQ(ROUTE_EXIT, WindowDecisions_RouteCommand(Wp(IDC_EXIT, 0), true));
    // Focus changes and other notifications of the same buttons (BN_SETFOCUS 6...).
    EXPECT_EQ(ROUTE_NONE, WindowDecisions_RouteCommand(Wp(IDC_APPLY, 6), true));
    EXPECT_EQ(ROUTE_NONE, WindowDecisions_RouteCommand(Wp(IDC_EXIT, 5), true));
    // Check boxes change only themselves.
    const uint32_t boxes[] = {IDC_BROWSER_BOX, IDC_MESSENGER_BOX, IDC_TOOLTIP_BOX,
                              IDC_APPLET_BOX, IDC_FLASH_BOX};
    for (uint32_t id : boxes)
        EXPECT_EQ(ROUTE_NONE, WindowDecisions_RouteCommand(Wp(id, 0), true)) << id;
}

TEST(CommandRouting, SelectionChangesGoToTheListsWhateverTheId)
{
    EXPECT_EQ(ROUTE_SELECTION_CHANGE, WindowDecisions_RouteCommand(Wp(IDC_INSPECT_LIST, 1), true));
    EXPECT_EQ(ROUTE_SELECTION_CHANGE, WindowDecisions_RouteCommand(Wp(IDC_DELETE_LIST, 1), true));
    // Other list notifications (CBN_DROPDOWN 7, CBN_SELENDOK 9) do nothing.
    EXPECT_EQ(ROUTE_NONE, WindowDecisions_RouteCommand(Wp(IDC_INSPECT_LIST, 7), true));
    EXPECT_EQ(ROUTE_NONE, WindowDecisions_RouteCommand(Wp(IDC_DELETE_LIST, 9), true));
    // The inspect list's id with a click notification is not a menu command.
    EXPECT_EQ(ROUTE_NONE, WindowDecisions_RouteCommand(Wp(IDC_INSPECT_LIST, 0), true));
}

TEST(OneCopyMutexName, SessionNamespaceOnlyWhereSessionsExist)
{
    // Windows 95/98/Me (platform 1) and NT 4.0 take no backslash in a name.
    EXPECT_STREQ("Hushpane.OneCopy", WindowDecisions_OneCopyMutexName(1, 4));
    EXPECT_STREQ("Hushpane.OneCopy", WindowDecisions_OneCopyMutexName(2, 4));
    EXPECT_STREQ("Local\\Hushpane.OneCopy", WindowDecisions_OneCopyMutexName(2, 5));
    EXPECT_STREQ("Local\\Hushpane.OneCopy", WindowDecisions_OneCopyMutexName(2, 10));
}
