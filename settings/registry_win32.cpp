// Registry port over advapi32: HKEY_LOCAL_MACHINE, the 32-bit program's view.
#include <windows.h>
#include "registry_port.h"

long RegPort_CreateKey(const char *subKey, enum RegPortAccess access, RegPortKey *key)
{
    HKEY opened = NULL;
    REGSAM rights = access == REGPORT_ALL_ACCESS ? KEY_ALL_ACCESS : KEY_QUERY_VALUE;
    LONG status = RegCreateKeyExA(HKEY_LOCAL_MACHINE, subKey, 0, NULL, 0, rights | REGPORT_SETTINGS_VIEW,
                                  NULL, &opened, NULL);
    *key = opened;
    return status;
}

long RegPort_QueryValue(RegPortKey key, const char *valueName, unsigned char *data, uint32_t *size,
                        uint32_t *type)
{
    DWORD length = *size;
    DWORD stored = REG_NONE;
    LONG status = RegQueryValueExA((HKEY)key, valueName, NULL, &stored, data, &length);
    *size = length;
    if (type)
        *type = stored;
    return status;
}

long RegPort_CloseKey(RegPortKey key)
{
    return RegCloseKey((HKEY)key);
}
