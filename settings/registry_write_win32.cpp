// The registry port's one writing operation, kept apart so that the hook
// library, which only reads, does not even import it.
#include <windows.h>
#include "registry_port.h"

long RegPort_SetDword(RegPortKey key, const char *valueName, const uint32_t *value)
{
    return RegSetValueExA((HKEY)key, valueName, 0, REG_DWORD, (const BYTE *)value, 4);
}
