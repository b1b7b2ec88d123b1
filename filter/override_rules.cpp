// The user-override decisions: which presses count and what they do to the filter.
#include "override_rules.h"
#include "class_names.h"

enum PressKind Override_PressKind(int hookCode, uint32_t message)
{
    if (hookCode != OVERRIDE_HC_ACTION)
        return PRESS_IGNORED;
    if (message == OVERRIDE_WM_LBUTTONDOWN)
        return PRESS_CLIENT;
    if (message == OVERRIDE_WM_NCLBUTTONDOWN)
        return PRESS_NON_CLIENT;
    return PRESS_IGNORED;
}

static int32_t Distance(int32_t a, int32_t b)
{
    return a > b ? a - b : b - a;
}

bool Override_IsDoubleClick(struct LastPress *last, uint32_t window, bool receivesDoubleClicks, int32_t x,
                            int32_t y, uint32_t now, const struct DoubleClickLimits *limits)
{
    const bool paired = last->window != 0 && last->window == window && now - last->tick < limits->time &&
                        Distance(x, last->x) < limits->width / 2 && Distance(y, last->y) < limits->height / 2;
    if (paired) {
        last->window = 0;
        return receivesDoubleClicks;
    }
    last->window = window;
    last->tick = now;
    last->x = x;
    last->y = y;
    return false;
}

static enum PressVerdict InsideWhen(bool inside)
{
    return inside ? VERDICT_INSIDE : VERDICT_OUTSIDE;
}

// The 9x browser is recognised by its page, toolbar and address box; a click
// on anything else keeps the verdict of the click before.
static enum PressVerdict ClassifyWin9xClientPress(const char *windowClass, int32_t controlId)
{
    if (ClassName_Equals(windowClass, CLASS_BROWSER_TOOLBAR))
        return InsideWhen(controlId == BROWSER_TOOLBAR_ID);
    if (ClassName_Equals(windowClass, CLASS_BROWSER_PAGE))
        return VERDICT_INSIDE;
    if (ClassName_Equals(windowClass, CLASS_EDIT))
        return InsideWhen(controlId == BROWSER_ADDRESS_ID);
    return VERDICT_NONE;
}

enum PressVerdict Override_ClassifyPress(enum PressKind kind, uint8_t isWin9x,
                                         const char *windowClass, int32_t controlId,
                                         const char *rootClass)
{
    switch (kind) {
    case PRESS_CLIENT:
        if (isWin9x == 1)
            return ClassifyWin9xClientPress(windowClass, controlId);
        return InsideWhen(ClassName_Equals(rootClass, CLASS_BROWSER_FRAME));
    case PRESS_NON_CLIENT:
        // The frame's own caption and borders; a child's non-client area is not the browser's.
        return InsideWhen(ClassName_Equals(windowClass, CLASS_BROWSER_FRAME));
    default:
        return VERDICT_NONE;
    }
}

void Override_RegisterPress(struct OverrideState *state, enum PressVerdict verdict, uint32_t now,
                            uint32_t clickInterval)
{
    // Decide on this press's own verdict: the stored one may meanwhile be
    // rewritten by a press in another process.
    uint32_t effective = state->pressVerdict;
    if (verdict != VERDICT_NONE) {
        effective = (uint32_t)verdict;
        state->pressVerdict = effective;
    }
    if (effective != PRESS_VERDICT_INSIDE) {
        state->passThrough = 1;
        return;
    }
    // Unsigned difference: stays right across the tick count's wrap.
    const uint32_t gap = now - state->lastActivityTick;
    state->passThrough = gap <= clickInterval ? 1 : 0;
    state->lastActivityTick = now;
}

void Override_RegisterKeyDown(struct OverrideState *state, int hookCode, uint32_t virtualKey,
                              uint32_t keyFlags, uint32_t now)
{
    const bool goingUp = (keyFlags & OVERRIDE_KF_UP) != 0;
    if (hookCode >= OVERRIDE_HC_ACTION && !goingUp && virtualKey != OVERRIDE_VK_RETURN)
        state->lastActivityTick = now;
}
