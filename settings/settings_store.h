// The five blocking switches and their registry key, shared by the tray
// program and the hook library.
#ifndef HUSHPANE_SETTINGS_STORE_H
#define HUSHPANE_SETTINGS_STORE_H

#include <stdint.h>
#include "exceptions.h"

// The program's key and the maker's key above it (which also holds the
// installer's bookkeeping), as users spell them: plain literals, so that the
// package and the shell tests read them as written.
#define SETTINGS_MAKER_KEY "Software\\Quorvane"
#define SETTINGS_KEY "Software\\Quorvane\\Hushpane"
#define SETTINGS_SUBKEY SETTINGS_KEY "\\"

constexpr bool Settings_KeyIsOneUnder(const char *key, const char *maker)
{
    while (*maker)
        if (*key++ != *maker++)
            return false;
    if (*key++ != '\\' || !*key)
        return false;
    while (*key)
        if (*key++ == '\\')
            return false;
    return true;
}
static_assert(Settings_KeyIsOneUnder(SETTINGS_KEY, SETTINGS_MAKER_KEY), "the maker's key is the one above");

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

// Every switch once, in the order it is loaded and written: its value name,
// its place among the loaded switches and its state after Reset.
struct SwitchEntry {
    const char *valueName;
    uint32_t BlockingSwitches::*place;
    uint32_t afterReset;
};

static constexpr struct SwitchEntry SETTINGS_SWITCHES[] = {
    {SWITCH_NAME_BROWSER, &BlockingSwitches::browser, SWITCH_ON},
    {SWITCH_NAME_MESSENGER, &BlockingSwitches::messenger, SWITCH_OFF},
    {SWITCH_NAME_TOOLTIP, &BlockingSwitches::tooltip, SWITCH_OFF},
    {SWITCH_NAME_APPLET, &BlockingSwitches::applet, SWITCH_OFF},
    {SWITCH_NAME_FLASH, &BlockingSwitches::flash, SWITCH_OFF},
};
#define SWITCH_COUNT ((int)(sizeof SETTINGS_SWITCHES / sizeof SETTINGS_SWITCHES[0]))
static_assert(SWITCH_COUNT * sizeof(uint32_t) == sizeof(struct BlockingSwitches), "a row for every switch");

// Stores *value as a REG_DWORD. 0 means the key opened and closed, not that the
// value was stored.
long Settings_WriteSwitch(const uint32_t *value, const char *subKey, const char *valueName);

// True when this account may write the key (creating it when absent). NT
// refuses a limited account write access to HKEY_LOCAL_MACHINE; 9x has no
// access rights, so there it is always true.
bool Settings_IsWritable(const char *subKey);

// Copies a value of at most 4 bytes, of any type, over the first bytes of *dest;
// a missing, longer or unreadable value leaves *dest as it was. The key is
// opened for reading only, so a limited account still reads what is stored.
// Returns the open's failure or the close's status, never the read's.
long Settings_CopySwitchAndCloseKey(uint32_t *dest, const char *subKey, const char *valueName);

// Reads the five switches in order through *scratch, copying it after each read:
// a value that cannot be read takes the one read before it (or the scratch's
// value from an earlier load).
void Settings_LoadBlockingSwitches(uint32_t *scratch, struct BlockingSwitches *switches);

// Fills the table from the "Exceptions" value as far as it is valid; returns
// the ExceptionsCut flags of what was left out. A missing value is an empty table.
uint32_t Settings_LoadExceptions(struct ExceptionTable *table);

// Stores the table as the "Exceptions" value; 0 when it was stored.
long Settings_WriteExceptions(const struct ExceptionTable *table);

#endif
