// The five blocking switches and their registry key, shared by the tray
// program and the hook library.
#ifndef HUSHPANE_SETTINGS_STORE_H
#define HUSHPANE_SETTINGS_STORE_H

#include <stdint.h>

#define SETTINGS_SUBKEY "Software\\Quorvane\\Hushpane\\"

// Value names, in the order they are loaded.
#define SWITCH_NAME_BROWSER   "Browser"
#define SWITCH_NAME_MESSENGER "Messenger"
#define SWITCH_NAME_TOOLTIP   "Tooltip"
#define SWITCH_NAME_APPLET    "Applet"
#define SWITCH_NAME_FLASH     "Flash"

// Only the value 1 means "block"; anything else is off.
#define SWITCH_ON  1u
#define SWITCH_OFF 0u

struct BlockingSwitches {
    uint32_t browser;
    uint32_t messenger;
    uint32_t tooltip;
    uint32_t applet;
    uint32_t flash;
};

// Stores *value as a REG_DWORD. 0 means the key opened and closed, not that the
// value was stored.
long Settings_WriteSwitch(const uint32_t *value, const char *subKey, const char *valueName);

// Copies a value of at most 4 bytes, of any type, over the first bytes of *dest;
// a missing, longer or unreadable value leaves *dest as it was.
long Settings_ReadSwitch(uint32_t *dest, const char *subKey, const char *valueName);

// Reads the five switches in order through *scratch, copying it after each read:
// a value that cannot be read takes the one read before it (or the scratch's
// value from an earlier load).
void Settings_LoadBlockingSwitches(uint32_t *scratch, struct BlockingSwitches *switches);

#endif
