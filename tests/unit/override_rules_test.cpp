// The override decisions: which presses count, the click interval, keys.
#include <gtest/gtest.h>

#include <vector>

#include "override_rules.h"

namespace {

const uint32_t INTERVAL = 1000;
const uint32_t T = 5000000;
const int HC_ACTION = OVERRIDE_HC_ACTION, HC_NOREMOVE = 3;

TEST(OverridePressKind, OnlyLeftPressesTakenFromTheQueueCount)
{
    EXPECT_EQ(Override_PressKind(HC_ACTION, 0x0201), PRESS_CLIENT);
    EXPECT_EQ(Override_PressKind(HC_ACTION, 0x00A1), PRESS_NON_CLIENT);
    EXPECT_EQ(Override_PressKind(HC_NOREMOVE, 0x0201), PRESS_IGNORED);
    EXPECT_EQ(Override_PressKind(HC_NOREMOVE, 0x00A1), PRESS_IGNORED);
    // Moves, releases, double-click messages, right and middle presses.
    for (uint32_t message : {0x0200u, 0x0202u, 0x0203u, 0x0204u, 0x0207u, 0x020Bu,
                             0x00A0u, 0x00A2u, 0x00A3u, 0x00A4u, 0x00A7u})
        EXPECT_EQ(Override_PressKind(HC_ACTION, message), PRESS_IGNORED) << std::hex << message;
}

// Raw presses in a row, each with its window, whether that window takes double clicks, its
// point and time, and whether it arrives as a double click (and so is not counted).
struct RawPress { uint32_t window; bool takesPairs; int32_t x, y; uint32_t now; bool isDouble; };
const DoubleClickLimits LIMITS = {500, 4, 4};   // Windows' defaults

TEST(OverrideDoubleClick, PairsOfPressesAsTheSystemMakesThem)
{
    const std::vector<std::pair<const char *, std::vector<RawPress>>> rows = {
        // Four in a row: the second and the fourth pair, the third starts anew.
        {"four presses", {{7, true, 10, 10, T, false}, {7, true, 11, 9, T + 100, true},
                          {7, true, 10, 10, T + 200, false}, {7, true, 10, 10, T + 300, true}}},
        // Without CS_DBLCLKS in the client area every press is an ordinary one, paired or not.
        {"no CS_DBLCLKS", {{7, false, 10, 10, T, false}, {7, false, 10, 10, T + 100, false},
                           {7, false, 10, 10, T + 200, false}, {7, false, 10, 10, T + 300, false}}},
        // The pair needs less than the time, the same window and less than half the rectangle.
        {"late", {{7, true, 10, 10, T, false}, {7, true, 10, 10, T + 500, false},
                  {7, true, 10, 10, T + 999, true}}},
        {"other window", {{7, true, 10, 10, T, false}, {8, true, 10, 10, T + 100, false},
                          {8, true, 10, 10, T + 200, true}}},
        {"outside the rectangle", {{7, true, 10, 10, T, false}, {7, true, 12, 10, T + 100, false},
                                   {7, true, 12, 8, T + 200, false}, {7, true, 13, 9, T + 300, true}}},
        // A press on nothing never pairs; the tick's wrap does not break a pair.
        {"nothing and the wrap", {{0, true, 1, 1, T, false}, {0, true, 1, 1, T + 1, false},
                                  {7, true, 1, 1, 0xFFFFFF00u, false}, {7, true, 1, 1, 0x10u, true}}},
    };
    for (const auto &row : rows) {
        LastPress last = {};
        for (size_t i = 0; i < row.second.size(); ++i) {
            const RawPress &p = row.second[i];
            EXPECT_EQ(Override_IsDoubleClick(&last, p.window, p.takesPairs, p.x, p.y, p.now, &LIMITS), p.isDouble)
                << row.first << ", press " << i;
        }
    }
}

const PressVerdict IN = VERDICT_INSIDE, OUT = VERDICT_OUTSIDE, NONE = VERDICT_NONE;

// The window under the point, its control id and its top-level ancestor's class.
struct Press { const char *windowClass; int32_t id; const char *rootClass; PressVerdict expected; };

void ExpectVerdicts(PressKind kind, std::vector<uint8_t> win9xFlags, const std::vector<Press> &presses)
{
    for (uint8_t win9x : win9xFlags)
        for (const Press &p : presses)
            EXPECT_EQ(Override_ClassifyPress(kind, win9x, p.windowClass, p.id, p.rootClass), p.expected)
                << p.windowClass << " id " << p.id << " in " << p.rootClass << ", 9x flag " << int(win9x);
}

TEST(OverrideClassify, ByPressKindAndPlatform)
{
    // A client press on NT counts everything inside a browser frame; "" is nothing under the point.
    ExpectVerdicts(PRESS_CLIENT, {0}, {{"SomePage", 0, "IEFrame", IN}, {"IEFrame", 0, "ieFRAME", IN},
                                       {"Internet Explorer_Server", 0, "Notepad", OUT},
                                       {"IEFrame", 0, "IEFrame2", OUT}, {"", 0, "", OUT}});
    // Any flag value but 1 takes the NT path.
    ExpectVerdicts(PRESS_CLIENT, {2}, {{"Edit", BROWSER_ADDRESS_ID, "Notepad", OUT}});
    // A non-client press looks at the window itself on every platform: a child of the frame
    // with a border of its own is not the browser's caption.
    ExpectVerdicts(PRESS_NON_CLIENT, {0, 1}, {
        {"IEFrame", 0, "Desktop", IN}, {"IEFRAME", 0, "", IN}, {"", 0, "", OUT},
        {"Internet Explorer_Server", 0, "IEFrame", OUT}, {"Edit", BROWSER_ADDRESS_ID, "IEFrame", OUT}});
    // A client press on 9x follows the browser control table; the ancestor plays no part.
    for (const char *root : {"IEFrame", "Notepad"})
        ExpectVerdicts(PRESS_CLIENT, {1}, {
            {"Internet Explorer_Server", 0, root, IN}, {"internet explorer_server", 77, root, IN},
            {"ToolbarWindow32", 0xA000, root, IN}, {"TOOLBARWINDOW32", 0xA000, root, IN},
            {"ToolbarWindow32", 0xA001, root, OUT}, {"ToolbarWindow32", BROWSER_ADDRESS_ID, root, OUT},
            {"ToolbarWindow32", 0, root, OUT},
            {"Edit", 0xA205, root, IN}, {"EDIT", 0xA205, root, IN}, {"Edit", 0xA000, root, OUT},
            {"Edit", 0, root, OUT}, {"Edit", -0xA205, root, OUT}, {"Editor", 0xA205, root, NONE},
            {"IEFrame", 0, root, NONE}, {"Notepad", 0, root, NONE}, {"", 0, root, NONE}});
}

// The keyboard hook's lParam: repeat count 1, scan code 0x1E; bit 30 a repeat, bit 31 going up.
const uint32_t DOWN = 0x001E0001u, REPEAT = 0x401E0001u, UP = 0xC01E0001u;
const uint32_t ENTER = OVERRIDE_VK_RETURN, SHIFT = 0x10;

// Each press: its time and verdict, then the pass-through flag, the activity tick and the
// stored verdict it leaves; with a key set, that key (hook code, key, flags) instead.
struct Timed { uint32_t now; PressVerdict verdict; int passThrough; uint32_t tick; PressVerdict stored;
               int keyCode = 0; uint32_t key = 0, keyFlags = 0; };
struct Scene { const char *scene; OverrideState start; std::vector<Timed> events; };

const Scene TIMINGS[] = {
    // The first press in a fresh state closes and records its time; a triple click opens from
    // the second counted press; the next slow press closes again.
    {"triple click", {1, 0, PRESS_VERDICT_INSIDE},   // passing through
     {{T, IN, 0, T, IN}, {T + 400, IN, 1, T + 400, IN}, {T + 800, IN, 1, T + 800, IN},
      {T + 800 + INTERVAL + 1, IN, 0, T + 800 + INTERVAL + 1, IN}}},
    // The click interval is an inclusive bound.
    {"in time", {}, {{T, IN, 0, T, IN}, {T + INTERVAL, IN, 1, T + INTERVAL, IN}}},
    {"late", {}, {{T, IN, 0, T, IN}, {T + INTERVAL + 1, IN, 0, T + INTERVAL + 1, IN}}},
    // Gaps stay right across the tick count's wrap: 256 ms before it; then just after it but
    // more than the interval after the last activity.
    {"wrap", {0, 0xFFFFFFFFu - 255, PRESS_VERDICT_INSIDE}, {{256, IN, 1, 256, IN}}},
    {"slow wrap", {1, 0xFFFFFFFFu - 500, PRESS_VERDICT_INSIDE}, {{600, IN, 0, 600, IN}}},
    // An outside press opens without touching the activity tick; the next inside press is
    // measured against the inside press before, not the outside one.
    {"outside", {}, {{T - 5000, IN, 0, T - 5000, IN}, {T, OUT, 1, T - 5000, OUT},
                     {T + 200, IN, 0, T + 200, IN}}},
    {"outside, recent", {}, {{T - 300, IN, 0, T - 300, IN}, {T, OUT, 1, T - 300, OUT},
                             {T + 600, IN, 1, T + 600, IN}}},   // 900 ms after the inside press
    // No verdict reuses the stored one: after an inside press an unlisted window counts as
    // inside, timed; after an outside press as outside: opens, tick untouched.
    {"no verdict", {}, {{T, IN, 0, T, IN}, {T + 300, NONE, 1, T + 300, IN},
                        {T + 300 + INTERVAL + 1, NONE, 0, T + 300 + INTERVAL + 1, IN},
                        {T + 5000, OUT, 1, T + 300 + INTERVAL + 1, OUT},
                        {T + 9000, NONE, 1, T + 300 + INTERVAL + 1, OUT}}},
    // In a fresh state the stored verdict is inside.
    {"fresh, no verdict", {1, 0, PRESS_VERDICT_INSIDE}, {{T, NONE, 0, T, IN}}},
    // A key-down but Enter makes the next inside press rapid. Enter and releases, Enter's too,
    // do not count; nor does a negative code, which carries no key.
    {"keys", {}, {{T - 10000, IN, 0, T - 10000, IN}, {T, NONE, 0, T - 10000, IN, HC_ACTION, ENTER, DOWN},
                  {T + 100, NONE, 0, T - 10000, IN, HC_ACTION, 'A', UP},
                  {T + 120, NONE, 0, T - 10000, IN, HC_NOREMOVE, 'A', UP},
                  {T + 200, NONE, 0, T - 10000, IN, HC_ACTION, ENTER, UP},
                  {T + 250, NONE, 0, T - 10000, IN, -1, 'A', DOWN}, {T + 300, IN, 0, T + 300, IN},
                  // Any other key counts, but a key alone never opens.
                  {T + 2000, NONE, 0, T + 2000, IN, HC_ACTION, SHIFT, DOWN}, {T + 2300, IN, 1, T + 2300, IN},
                  // A held key's repeats count, and so does a key-down only looked at in the queue.
                  {T + 5000, NONE, 1, T + 5000, IN, HC_ACTION, 'A', REPEAT},
                  {T + 8000, NONE, 1, T + 8000, IN, HC_NOREMOVE, 'A', DOWN},
                  {T + 8300, IN, 1, T + 8300, IN}}},
};

TEST(OverrideTiming, PressesAndKeysOpenOrCloseByTheirGapAndVerdict)
{
    for (const Scene &scene : TIMINGS) {
        OverrideState s = scene.start;
        for (size_t i = 0; i < scene.events.size(); ++i) {
            const Timed &e = scene.events[i];
            SCOPED_TRACE(testing::Message() << scene.scene << ", event " << i);
            if (e.key != 0)
                Override_RegisterKeyDown(&s, e.keyCode, e.key, e.keyFlags, e.now);
            else
                Override_RegisterPress(&s, e.verdict, e.now, INTERVAL);
            EXPECT_EQ(s.passThrough, e.passThrough);
            EXPECT_EQ(s.lastActivityTick, e.tick);
            EXPECT_EQ(s.pressVerdict, uint32_t(e.stored));
        }
    }
}

}  // namespace
