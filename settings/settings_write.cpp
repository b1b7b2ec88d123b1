// Storing a switch: the tray program only; the hook library never stores one.
#include "settings_store.h"
#include "registry_port.h"

long Settings_WriteSwitch(const uint32_t *value, const char *subKey, const char *valueName)
{
    RegPortKey key = 0;
    long status = RegPort_CreateKey(subKey, REGPORT_ALL_ACCESS, &key);
    if (status != 0)
        return status;
    RegPort_SetDword(key, valueName, value);
    return RegPort_CloseKey(key);
}

bool Settings_IsWritable(const char *subKey)
{
    RegPortKey key = 0;
    if (RegPort_CreateKey(subKey, REGPORT_ALL_ACCESS, &key) != 0)
        return false;
    RegPort_CloseKey(key);
    return true;
}

long Settings_WriteExceptions(const struct ExceptionTable *table)
{
    unsigned char data[EXCEPTION_MAX_COUNT * EXCEPTION_NAME_SIZE + 1];
    const uint32_t size = Exceptions_Format(table, data, sizeof data);
    RegPortKey key = 0;
    long status = RegPort_CreateKey(SETTINGS_SUBKEY, REGPORT_ALL_ACCESS, &key);
    if (status != 0)
        return status;
    status = RegPort_SetMultiString(key, EXCEPTIONS_VALUE_NAME, data, size);
    RegPort_CloseKey(key);
    return status;
}
