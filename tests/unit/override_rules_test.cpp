// The override decisions: which presses count, the click interval, keys.
#include <gtest/gtest.h>

#include "override_rules.h"

namespace {

const uint32_t INTERVAL = 1000;
const uint32_t T = 5000000;

OverrideState Fresh() { return OverrideState{}; }

// An inside press at `now`; returns the pass-through flag it leaves.
int InsideAt(OverrideState &s, uint32_t now)
{
    Override_RegisterPress(&s, VERDICT_INSIDE, now, INTERVAL);
    return s.passThrough;
}

TEST(OverridePressKind, OnlyLeftPressesTakenFromTheQueueCount)
{
    EXPECT_EQ(Override_PressKind(OVERRIDE_HC_ACTION, 0x0201), PRESS_CLIENT);
    EXPECT_EQ(Override_PressKind(OVERRIDE_HC_ACTION, 0x00A1), PRESS_NON_CLIENT);
    const int HC_NOREMOVE = 3;
    EXPECT_EQ(Override_PressKind(HC_NOREMOVE, 0x0201), PRESS_IGNORED);
    EXPECT_EQ(Override_PressKind(HC_NOREMOVE, 0x00A1), PRESS_IGNORED);
    // Moves, releases, double-click messages, right and middle presses.
    for (uint32_t message : {0x0200u, 0x0202u, 0x0203u, 0x0204u, 0x0207u, 0x020Bu,
                             0x00A0u, 0x00A2u, 0x00A3u, 0x00A4u, 0x00A7u}) {
        EXPECT_EQ(Override_PressKind(OVERRIDE_HC_ACTION, message), PRESS_IGNORED) << std::hex << message;
    }
}

TEST(OverrideClassify, ClientPressOnNtCountsEverythingInsideABrowserFrame)
{
    EXPECT_EQ(Override_ClassifyPress(PRESS_CLIENT, 0, "SomePage", 0, "IEFrame"), VERDICT_INSIDE);
    EXPECT_EQ(Override_ClassifyPress(PRESS_CLIENT, 0, "IEFrame", 0, "ieFRAME"), VERDICT_INSIDE);
    EXPECT_EQ(Override_ClassifyPress(PRESS_CLIENT, 0, "Internet Explorer_Server", 0, "Notepad"),
              VERDICT_OUTSIDE);
    EXPECT_EQ(Override_ClassifyPress(PRESS_CLIENT, 0, "IEFrame", 0, "IEFrame2"), VERDICT_OUTSIDE);
    // Nothing under the point.
    EXPECT_EQ(Override_ClassifyPress(PRESS_CLIENT, 0, "", 0, ""), VERDICT_OUTSIDE);
    // Any flag value but 1 takes the NT path.
    EXPECT_EQ(Override_ClassifyPress(PRESS_CLIENT, 2, "Edit", BROWSER_ADDRESS_ID, "Notepad"),
              VERDICT_OUTSIDE);
}

TEST(OverrideClassify, NonClientPressLooksAtTheWindowItselfOnEveryPlatform)
{
    for (uint8_t win9x : {0, 1}) {
        EXPECT_EQ(Override_ClassifyPress(PRESS_NON_CLIENT, win9x, "IEFrame", 0, "Desktop"), VERDICT_INSIDE);
        EXPECT_EQ(Override_ClassifyPress(PRESS_NON_CLIENT, win9x, "IEFRAME", 0, ""), VERDICT_INSIDE);
        // A child of the frame with a border of its own is not the browser's caption.
        EXPECT_EQ(Override_ClassifyPress(PRESS_NON_CLIENT, win9x, "Internet Explorer_Server", 0, "IEFrame"),
                  VERDICT_OUTSIDE);
        EXPECT_EQ(Override_ClassifyPress(PRESS_NON_CLIENT, win9x, "Edit", BROWSER_ADDRESS_ID, "IEFrame"),
                  VERDICT_OUTSIDE);
        EXPECT_EQ(Override_ClassifyPress(PRESS_NON_CLIENT, win9x, "", 0, ""), VERDICT_OUTSIDE);
    }
}

TEST(OverrideClassify, Win9xClientPressFollowsTheBrowserControlTable)
{
    struct Case {
        const char *windowClass;
        int32_t id;
        PressVerdict expected;
    } cases[] = {
        {"Internet Explorer_Server", 0, VERDICT_INSIDE},
        {"internet explorer_server", 77, VERDICT_INSIDE},
        {"ToolbarWindow32", 0xA000, VERDICT_INSIDE},
        {"TOOLBARWINDOW32", 0xA000, VERDICT_INSIDE},
        {"ToolbarWindow32", 0xA001, VERDICT_OUTSIDE},
        {"ToolbarWindow32", BROWSER_ADDRESS_ID, VERDICT_OUTSIDE},
        {"ToolbarWindow32", 0, VERDICT_OUTSIDE},
        {"Edit", 0xA205, VERDICT_INSIDE},
        {"EDIT", 0xA205, VERDICT_INSIDE},
        {"Edit", 0xA000, VERDICT_OUTSIDE},
        {"Edit", 0, VERDICT_OUTSIDE},
        {"Edit", -0xA205, VERDICT_OUTSIDE},
        {"Editor", 0xA205, VERDICT_NONE},
        {"IEFrame", 0, VERDICT_NONE},
        {"Notepad", 0, VERDICT_NONE},
        {"", 0, VERDICT_NONE},
    };
    for (const Case &c : cases) {
        // The ancestor plays no part on 9x.
        EXPECT_EQ(Override_ClassifyPress(PRESS_CLIENT, 1, c.windowClass, c.id, "IEFrame"), c.expected)
            << c.windowClass << " id " << c.id;
        EXPECT_EQ(Override_ClassifyPress(PRESS_CLIENT, 1, c.windowClass, c.id, "Notepad"), c.expected)
            << c.windowClass << " id " << c.id;
    }
}

// The first press in a fresh state closes and records its time; a triple
// click opens from the second counted press.
TEST(OverrideTiming, FirstPressClosesThenATripleClickOpens)
{
    OverrideState s = Fresh();
    s.passThrough = 1;
    EXPECT_EQ(InsideAt(s, T), 0);
    EXPECT_EQ(s.lastActivityTick, T);
    EXPECT_EQ(s.pressVerdict, PRESS_VERDICT_INSIDE);
    EXPECT_EQ(InsideAt(s, T + 400), 1);
    EXPECT_EQ(InsideAt(s, T + 800), 1);
    // The next slow press closes again.
    EXPECT_EQ(InsideAt(s, T + 800 + INTERVAL + 1), 0);
}

TEST(OverrideTiming, TheClickIntervalIsAnInclusiveBound)
{
    OverrideState s = Fresh();
    InsideAt(s, T);
    EXPECT_EQ(InsideAt(s, T + INTERVAL), 1);

    OverrideState late = Fresh();
    InsideAt(late, T);
    EXPECT_EQ(InsideAt(late, T + INTERVAL + 1), 0);
    EXPECT_EQ(late.lastActivityTick, T + INTERVAL + 1);
}

TEST(OverrideTiming, GapsStayRightAcrossTheTickCountWrap)
{
    OverrideState s = Fresh();
    s.lastActivityTick = 0xFFFFFFFFu - 255;   // 256 ms before the wrap
    EXPECT_EQ(InsideAt(s, 256), 1);
    EXPECT_EQ(s.lastActivityTick, 256u);

    // Just after the wrap but more than the interval after the last activity.
    OverrideState slow = Fresh();
    slow.lastActivityTick = 0xFFFFFFFFu - 500;
    slow.passThrough = 1;
    EXPECT_EQ(InsideAt(slow, 600), 0);
}

TEST(OverrideTiming, OutsidePressOpensWithoutTouchingTheActivityTick)
{
    OverrideState s = Fresh();
    InsideAt(s, T - 5000);
    Override_RegisterPress(&s, VERDICT_OUTSIDE, T, INTERVAL);
    EXPECT_EQ(s.passThrough, 1);
    EXPECT_EQ(s.lastActivityTick, T - 5000);
    EXPECT_NE(s.pressVerdict, PRESS_VERDICT_INSIDE);
    // Measured against the inside press long before, not the outside one.
    EXPECT_EQ(InsideAt(s, T + 200), 0);

    OverrideState recent = Fresh();
    InsideAt(recent, T - 300);
    Override_RegisterPress(&recent, VERDICT_OUTSIDE, T, INTERVAL);
    EXPECT_EQ(InsideAt(recent, T + 600), 1);   // 900 ms after the inside press
}

TEST(OverrideTiming, NoVerdictReusesTheStoredOne)
{
    // After an inside press an unlisted window counts as inside, timed.
    OverrideState s = Fresh();
    InsideAt(s, T);
    Override_RegisterPress(&s, VERDICT_NONE, T + 300, INTERVAL);
    EXPECT_EQ(s.passThrough, 1);
    EXPECT_EQ(s.lastActivityTick, T + 300);
    Override_RegisterPress(&s, VERDICT_NONE, T + 300 + INTERVAL + 1, INTERVAL);
    EXPECT_EQ(s.passThrough, 0);

    // After an outside press it counts as outside: opens, tick untouched.
    Override_RegisterPress(&s, VERDICT_OUTSIDE, T + 5000, INTERVAL);
    Override_RegisterPress(&s, VERDICT_NONE, T + 9000, INTERVAL);
    EXPECT_EQ(s.passThrough, 1);
    EXPECT_EQ(s.lastActivityTick, T + 300 + INTERVAL + 1);
    EXPECT_NE(s.pressVerdict, PRESS_VERDICT_INSIDE);

    // In a fresh state the stored verdict is inside.
    OverrideState fresh = Fresh();
    fresh.passThrough = 1;
    Override_RegisterPress(&fresh, VERDICT_NONE, T, INTERVAL);
    EXPECT_EQ(fresh.passThrough, 0);
    EXPECT_EQ(fresh.lastActivityTick, T);
}

TEST(OverrideKeys, AKeyDownButEnterMakesTheNextInsidePressRapid)
{
    OverrideState s = Fresh();
    InsideAt(s, T - 10000);
    // Enter and releases, Enter's too, do not count.
    Override_RegisterKeyDown(&s, OVERRIDE_VK_RETURN, 0, T);
    Override_RegisterKeyDown(&s, 'A', 1, T + 100);
    Override_RegisterKeyDown(&s, OVERRIDE_VK_RETURN, 1, T + 200);
    EXPECT_EQ(s.lastActivityTick, T - 10000);
    EXPECT_EQ(InsideAt(s, T + 300), 0);

    Override_RegisterKeyDown(&s, 0x10 /* VK_SHIFT */, 0, T + 2000);
    EXPECT_EQ(s.passThrough, 0);   // a key alone never opens
    EXPECT_EQ(s.lastActivityTick, T + 2000);
    EXPECT_EQ(InsideAt(s, T + 2300), 1);
}

}  // namespace
