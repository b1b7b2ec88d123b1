// When the user stands the creation filter aside: plain decisions over the
// input record (override_state.h), with the time passed in, so they run the
// same inside the hooks and in tests without the platform.
#ifndef HUSHPANE_OVERRIDE_RULES_H
#define HUSHPANE_OVERRIDE_RULES_H

#include <stdint.h>
#include "override_state.h"

// The Win32 values the hooks hand in; spelled out so the decisions need no windows.h.
#define OVERRIDE_HC_ACTION        0
#define OVERRIDE_WM_LBUTTONDOWN   0x0201u
#define OVERRIDE_WM_NCLBUTTONDOWN 0x00A1u
#define OVERRIDE_VK_RETURN        0x0Du
#define OVERRIDE_KF_UP            0x80000000u   // the keyboard hook's lParam: the key goes up

// The double-click time is added to, so a triple click spread over a little
// more than two double-click spans still counts as rapid.
#define CLICK_INTERVAL_SLACK_MS 500u

// Control ids that mark the 9x browser's own toolbar and address box.
#define BROWSER_TOOLBAR_ID 0xA000
#define BROWSER_ADDRESS_ID 0xA205

enum PressKind {
    PRESS_IGNORED,      // anything but a left press taken from the queue
    PRESS_CLIENT,       // WM_LBUTTONDOWN
    PRESS_NON_CLIENT    // WM_NCLBUTTONDOWN
};

enum PressVerdict {
    VERDICT_INSIDE = PRESS_VERDICT_INSIDE,
    VERDICT_OUTSIDE = 1,
    VERDICT_NONE = 2    // no opinion: the stored verdict of the previous press stands
};

// Which left presses count: hook code HC_ACTION only, and never a double-click message.
enum PressKind Override_PressKind(int hookCode, uint32_t message);

// A low-level hook sees raw presses only, not the double-click messages the
// system makes of some of them: it keeps the system's memory of the last
// press to tell which those are.
struct LastPress {
    uint32_t window;   // 0: no press a next one could pair with
    uint32_t tick;
    int32_t x, y;
};

// The double-click time and the SM_CXDOUBLECLK by SM_CYDOUBLECLK rectangle.
struct DoubleClickLimits {
    uint32_t time;
    int32_t width, height;
};

// Whether this press reaches `window` as a double click, as the system
// decides: it pairs with the press before when that went to the same window
// less than the double-click time ago, inside the rectangle centred on it; a
// paired press starts no pair of its own. Only a window whose class has
// CS_DBLCLKS, or a press outside its client area, receives the pair as a
// double click; elsewhere the paired press stays an ordinary one.
bool Override_IsDoubleClick(struct LastPress *last, uint32_t window, bool receivesDoubleClicks, int32_t x,
                            int32_t y, uint32_t now, const struct DoubleClickLimits *limits);

// Whether a press landed inside a browser window. windowClass and controlId
// describe the window under the point, rootClass its top-level ancestor; a
// window that could not be fetched has the class name "".
enum PressVerdict Override_ClassifyPress(enum PressKind kind, uint8_t isWin9x,
                                         const char *windowClass, int32_t controlId,
                                         const char *rootClass);

// Applies a press to the pass-through flag: outside opens; inside opens when
// no more than clickInterval ms have passed since the last activity, else closes.
void Override_RegisterPress(struct OverrideState *state, enum PressVerdict verdict, uint32_t now,
                            uint32_t clickInterval);

// A key going down, other than Enter, counts as activity, a repeat too; hook
// code, key and flags (bit 31: going up) as the keyboard hook has them.
// Whether the key is taken from the queue or only looked at (HC_ACTION or
// HC_NOREMOVE), it is held down; a negative code carries no key.
void Override_RegisterKeyDown(struct OverrideState *state, int hookCode, uint32_t virtualKey,
                              uint32_t keyFlags, uint32_t now);

#endif
