// The override decisions: which presses count, the click interval, keys.
#include <gtest/gtest.h>

#include <vector>

#include "override_rules.h"

namespace {

const uint32_t INTERVAL = 1000;
const uint32_t T = 5000000;

// A press at `now`; returns the pass-through flag it leaves.
int PressAt(OverrideState &s, uint32_t now, PressVerdict verdict = VERDICT_INSIDE)
{
    Override_RegisterPress(&s, verdict, now, INTERVAL);
    return s.passThrough;
}

TEST(OverridePressKind, OnlyLeftPressesTakenFromTheQueueCount)
{
    const int HC_NOREMOVE = 3;
    EXPECT_EQ(Override_PressKind(OVERRIDE_HC_ACTION, 0x0201), PRESS_CLIENT);
    EXPECT_EQ(Override_PressKind(OVERRIDE_HC_ACTION, 0x00A1), PRESS_NON_CLIENT);
    EXPECT_EQ(Override_PressKind(HC_NOREMOVE, 0x0201), PRESS_IGNORED);
    EXPECT_EQ(Override_PressKind(HC_NOREMOVE, 0x00A1), PRESS_IGNORED);
    // Moves, releases, double-click messages, right and middle presses.
    for (uint32_t message : {0x0200u, 0x0202u, 0x0203u, 0x0204u, 0x0207u, 0x020Bu,
                             0x00A0u, 0x00A2u, 0x00A3u, 0x00A4u, 0x00A7u})
        EXPECT_EQ(Override_PressKind(OVERRIDE_HC_ACTION, message), PRESS_IGNORED) << std::hex << message;
}

// The window under the point, its control id and its top-level ancestor's class.
struct Press { const char *windowClass; int32_t id; const char *rootClass; PressVerdict expected; };

void ExpectVerdicts(PressKind kind, std::vector<uint8_t> win9xFlags, const std::vector<Press> &presses)
{
    for (uint8_t win9x : win9xFlags)
        for (const Press &p : presses)
            EXPECT_EQ(Override_ClassifyPress(kind, win9x, p.windowClass, p.id, p.rootClass), p.expected)
                << p.windowClass << " id " << p.id << " in " << p.rootClass << ", 9x flag " << int(win9x);
}

TEST(OverrideClassify, ClientPressOnNtCountsEverythingInsideABrowserFrame)
{
    ExpectVerdicts(PRESS_CLIENT, {0}, {{"SomePage", 0, "IEFrame", VERDICT_INSIDE},
                                       {"IEFrame", 0, "ieFRAME", VERDICT_INSIDE},
                                       {"Internet Explorer_Server", 0, "Notepad", VERDICT_OUTSIDE},
                                       {"IEFrame", 0, "IEFrame2", VERDICT_OUTSIDE},
                                       {"", 0, "", VERDICT_OUTSIDE}});   // nothing under the point
    // Any flag value but 1 takes the NT path.
    ExpectVerdicts(PRESS_CLIENT, {2}, {{"Edit", BROWSER_ADDRESS_ID, "Notepad", VERDICT_OUTSIDE}});
}

TEST(OverrideClassify, NonClientPressLooksAtTheWindowItselfOnEveryPlatform)
{
    // A child of the frame with a border of its own is not the browser's caption.
    ExpectVerdicts(PRESS_NON_CLIENT, {0, 1}, {{"IEFrame", 0, "Desktop", VERDICT_INSIDE},
                                              {"IEFRAME", 0, "", VERDICT_INSIDE},
                                              {"Internet Explorer_Server", 0, "IEFrame", VERDICT_OUTSIDE},
                                              {"Edit", BROWSER_ADDRESS_ID, "IEFrame", VERDICT_OUTSIDE},
                                              {"", 0, "", VERDICT_OUTSIDE}});
}

TEST(OverrideClassify, Win9xClientPressFollowsTheBrowserControlTable)
{
    // The ancestor plays no part on 9x.
    for (const char *root : {"IEFrame", "Notepad"})
        ExpectVerdicts(PRESS_CLIENT, {1}, {
            {"Internet Explorer_Server", 0, root, VERDICT_INSIDE},
            {"internet explorer_server", 77, root, VERDICT_INSIDE},
            {"ToolbarWindow32", 0xA000, root, VERDICT_INSIDE}, {"TOOLBARWINDOW32", 0xA000, root, VERDICT_INSIDE},
            {"ToolbarWindow32", 0xA001, root, VERDICT_OUTSIDE},
            {"ToolbarWindow32", BROWSER_ADDRESS_ID, root, VERDICT_OUTSIDE},
            {"ToolbarWindow32", 0, root, VERDICT_OUTSIDE},
            {"Edit", 0xA205, root, VERDICT_INSIDE}, {"EDIT", 0xA205, root, VERDICT_INSIDE},
            {"Edit", 0xA000, root, VERDICT_OUTSIDE}, {"Edit", 0, root, VERDICT_OUTSIDE},
            {"Edit", -0xA205, root, VERDICT_OUTSIDE}, {"Editor", 0xA205, root, VERDICT_NONE},
            {"IEFrame", 0, root, VERDICT_NONE}, {"Notepad", 0, root, VERDICT_NONE}, {"", 0, root, VERDICT_NONE}});
}

// The first press in a fresh state closes and records its time; a triple
// click opens from the second counted press.
TEST(OverrideTiming, FirstPressClosesThenATripleClickOpens)
{
    OverrideState s{1, 0, PRESS_VERDICT_INSIDE};   // passing through
    EXPECT_EQ(PressAt(s, T), 0);
    EXPECT_EQ(s.lastActivityTick, T);
    EXPECT_EQ(s.pressVerdict, PRESS_VERDICT_INSIDE);
    EXPECT_EQ(PressAt(s, T + 400), 1);
    EXPECT_EQ(PressAt(s, T + 800), 1);
    // The next slow press closes again.
    EXPECT_EQ(PressAt(s, T + 800 + INTERVAL + 1), 0);
}

TEST(OverrideTiming, TheClickIntervalIsAnInclusiveBound)
{
    OverrideState s{}, late{};
    PressAt(s, T);
    EXPECT_EQ(PressAt(s, T + INTERVAL), 1);
    PressAt(late, T);
    EXPECT_EQ(PressAt(late, T + INTERVAL + 1), 0);
    EXPECT_EQ(late.lastActivityTick, T + INTERVAL + 1);
}

TEST(OverrideTiming, GapsStayRightAcrossTheTickCountWrap)
{
    OverrideState s{0, 0xFFFFFFFFu - 255, PRESS_VERDICT_INSIDE};   // 256 ms before the wrap
    EXPECT_EQ(PressAt(s, 256), 1);
    EXPECT_EQ(s.lastActivityTick, 256u);
    // Just after the wrap but more than the interval after the last activity.
    OverrideState slow{1, 0xFFFFFFFFu - 500, PRESS_VERDICT_INSIDE};
    EXPECT_EQ(PressAt(slow, 600), 0);
}

TEST(OverrideTiming, OutsidePressOpensWithoutTouchingTheActivityTick)
{
    OverrideState s{}, recent{};
    PressAt(s, T - 5000);
    EXPECT_EQ(PressAt(s, T, VERDICT_OUTSIDE), 1);
    EXPECT_EQ(s.lastActivityTick, T - 5000);
    EXPECT_NE(s.pressVerdict, PRESS_VERDICT_INSIDE);
    // Measured against the inside press long before, not the outside one.
    EXPECT_EQ(PressAt(s, T + 200), 0);

    PressAt(recent, T - 300);
    PressAt(recent, T, VERDICT_OUTSIDE);
    EXPECT_EQ(PressAt(recent, T + 600), 1);   // 900 ms after the inside press
}

TEST(OverrideTiming, NoVerdictReusesTheStoredOne)
{
    // After an inside press an unlisted window counts as inside, timed.
    OverrideState s{};
    PressAt(s, T);
    EXPECT_EQ(PressAt(s, T + 300, VERDICT_NONE), 1);
    EXPECT_EQ(s.lastActivityTick, T + 300);
    EXPECT_EQ(PressAt(s, T + 300 + INTERVAL + 1, VERDICT_NONE), 0);

    // After an outside press it counts as outside: opens, tick untouched.
    PressAt(s, T + 5000, VERDICT_OUTSIDE);
    EXPECT_EQ(PressAt(s, T + 9000, VERDICT_NONE), 1);
    EXPECT_EQ(s.lastActivityTick, T + 300 + INTERVAL + 1);
    EXPECT_NE(s.pressVerdict, PRESS_VERDICT_INSIDE);

    // In a fresh state the stored verdict is inside.
    OverrideState fresh{1, 0, PRESS_VERDICT_INSIDE};   // passing through
    EXPECT_EQ(PressAt(fresh, T, VERDICT_NONE), 0);
    EXPECT_EQ(fresh.lastActivityTick, T);
}

TEST(OverrideKeys, AKeyDownButEnterMakesTheNextInsidePressRapid)
{
    // The keyboard hook's lParam: repeat count 1, scan code 0x1E; bit 30 a repeat, bit 31 going up.
    const uint32_t DOWN = 0x001E0001u, REPEAT = 0x401E0001u, UP = 0xC01E0001u;
    const int HC_NOREMOVE = 3;
    OverrideState s{};
    PressAt(s, T - 10000);
    // Enter and releases, Enter's too, do not count; nor does a negative code, which carries no key.
    Override_RegisterKeyDown(&s, OVERRIDE_HC_ACTION, OVERRIDE_VK_RETURN, DOWN, T);
    Override_RegisterKeyDown(&s, OVERRIDE_HC_ACTION, 'A', UP, T + 100);
    Override_RegisterKeyDown(&s, HC_NOREMOVE, 'A', UP, T + 120);
    Override_RegisterKeyDown(&s, OVERRIDE_HC_ACTION, OVERRIDE_VK_RETURN, UP, T + 200);
    Override_RegisterKeyDown(&s, -1, 'A', DOWN, T + 250);
    EXPECT_EQ(s.lastActivityTick, T - 10000);
    EXPECT_EQ(PressAt(s, T + 300), 0);

    Override_RegisterKeyDown(&s, OVERRIDE_HC_ACTION, 0x10 /* VK_SHIFT */, DOWN, T + 2000);
    EXPECT_EQ(s.passThrough, 0);   // a key alone never opens
    EXPECT_EQ(s.lastActivityTick, T + 2000);
    EXPECT_EQ(PressAt(s, T + 2300), 1);

    // A held key's repeats count, and so does a key-down only looked at in the queue.
    Override_RegisterKeyDown(&s, OVERRIDE_HC_ACTION, 'A', REPEAT, T + 5000);
    EXPECT_EQ(s.lastActivityTick, T + 5000);
    Override_RegisterKeyDown(&s, HC_NOREMOVE, 'A', DOWN, T + 8000);
    EXPECT_EQ(s.lastActivityTick, T + 8000);
    EXPECT_EQ(PressAt(s, T + 8300), 1);
}

}  // namespace
