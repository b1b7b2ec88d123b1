// The input record: what the user-override detection keeps, written by the
// mouse and keyboard hooks in every process of the session, protected-mode
// browser tabs included, of both bitnesses: its layout is the same in both builds.
#ifndef HUSHPANE_OVERRIDE_STATE_H
#define HUSHPANE_OVERRIDE_STATE_H

#include <stddef.h>
#include <stdint.h>

#define PRESS_VERDICT_INSIDE 0u

struct OverrideState {
    uint8_t passThrough;        // 1: every new window passes the filter
    uint32_t lastActivityTick;  // last inside press or key-down, GetTickCount ms
    uint32_t pressVerdict;      // 0 inside a browser window, anything else outside
};

static_assert(sizeof(struct OverrideState) == 12 && offsetof(OverrideState, passThrough) == 0 &&
              offsetof(OverrideState, lastActivityTick) == 4 && offsetof(OverrideState, pressVerdict) == 8,
              "the input record's layout");

#endif
