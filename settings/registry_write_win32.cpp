// The registry port's operations that store a value, kept apart so that
// the hook library, which never stores one (though its read creates the key
// when missing), does not even import it.
#include <windows.h>
#include "registry_port.h"

long RegPort_SetDword(RegPortKey key, const char *valueName, const uint32_t *value)
{
    return RegSetValueExA((HKEY)key, valueName, 0, REG_DWORD, (const BYTE *)value, 4);
}

long RegPort_SetMultiString(RegPortKey key, const char *valueName, const unsigned char *data, uint32_t size)
{
    return RegSetValueExA((HKEY)key, valueName, 0, REG_MULTI_SZ, data, size);
}
