// Reading the switches: the tray program and the hook library.
#include "settings_store.h"
#include "registry_port.h"

long Settings_CopySwitchAndCloseKey(uint32_t *dest, const char *subKey, const char *valueName)
{
    RegPortKey key = 0;
    long status = RegPort_CreateKey(subKey, REGPORT_QUERY_ONLY, &key);
    if (status != 0)
        return status;

    // Read into a buffer of our own: on a value longer than 4 bytes some
    // registries write a partial copy before failing, and the destination
    // must keep its old contents then.
    unsigned char data[4];
    uint32_t size = sizeof data;
    if (RegPort_QueryValue(key, valueName, data, &size, nullptr) == 0 && size <= sizeof data) {
        unsigned char *out = (unsigned char *)dest;
        for (uint32_t i = 0; i < size; ++i)
            out[i] = data[i];
    }
    return RegPort_CloseKey(key);
}

void Settings_LoadBlockingSwitches(uint32_t *scratch, struct BlockingSwitches *switches)
{
    for (const SwitchEntry &entry : SETTINGS_SWITCHES) {
        Settings_CopySwitchAndCloseKey(scratch, SETTINGS_SUBKEY, entry.valueName);
        switches->*entry.place = *scratch;
    }
}

uint32_t Settings_LoadExceptions(struct ExceptionTable *table)
{
    table->count = 0;
    RegPortKey key = 0;
    if (RegPort_CreateKey(SETTINGS_SUBKEY, REGPORT_QUERY_ONLY, &key) != 0)
        return 0;
    unsigned char data[EXCEPTIONS_READ_SIZE];
    uint32_t size = sizeof data, type = 0;
    const long status = RegPort_QueryValue(key, EXCEPTIONS_VALUE_NAME, data, &size, &type);
    RegPort_CloseKey(key);
    if (status != 0)   // missing, or too large to read (then size is past the buffer)
        return size > sizeof data ? EXCEPTIONS_CUT_TOO_LARGE : 0;
    return Exceptions_Parse(data, size, type, table);
}
