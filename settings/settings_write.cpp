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
