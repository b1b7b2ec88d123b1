// Which box of the settings window shows which switch: the window's own
// fact, joined to the store's table by the switch's place.
#ifndef HUSHPANE_SWITCH_BOXES_H
#define HUSHPANE_SWITCH_BOXES_H

#include "../settings/settings_store.h"
#include "resource_ids.h"

struct SwitchBox {
    uint32_t BlockingSwitches::*place;
    int boxId;
};

static constexpr struct SwitchBox SWITCH_BOXES[] = {
    {&BlockingSwitches::browser, IDC_BROWSER_BOX},
    {&BlockingSwitches::messenger, IDC_MESSENGER_BOX},
    {&BlockingSwitches::tooltip, IDC_TOOLTIP_BOX},
    {&BlockingSwitches::applet, IDC_APPLET_BOX},
    {&BlockingSwitches::flash, IDC_FLASH_BOX},
};

// Every switch shows in exactly one box, and no two share a box.
static constexpr bool SwitchBoxes_OnePerSwitch(void)
{
    for (const SwitchEntry &entry : SETTINGS_SWITCHES) {
        int rows = 0;
        for (const SwitchBox &box : SWITCH_BOXES)
            rows += box.place == entry.place;
        if (rows != 1)
            return false;
    }
    for (const SwitchBox &box : SWITCH_BOXES)
        for (const SwitchBox &other : SWITCH_BOXES)
            if (&box != &other && box.boxId == other.boxId)
                return false;
    return sizeof SWITCH_BOXES / sizeof SWITCH_BOXES[0] == SWITCH_COUNT;
}
static_assert(SwitchBoxes_OnePerSwitch(), "a box of its own for every switch");

// The box of the switch at place; 0 for a switch without one.
static inline int SwitchBoxes_IdOf(uint32_t BlockingSwitches::*place)
{
    for (const SwitchBox &box : SWITCH_BOXES)
        if (box.place == place)
            return box.boxId;
    return 0;
}

#endif
