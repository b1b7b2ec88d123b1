// The registry operations the settings store needs. The Windows build maps
// them onto advapi32 (registry_win32.cpp); the unit tests link an in-memory
// registry instead, so the store's rules run without Windows.
#ifndef HUSHPANE_REGISTRY_PORT_H
#define HUSHPANE_REGISTRY_PORT_H

#include <stdint.h>

typedef void *RegPortKey;

// Hushpane.exe is a 32-bit program: on 64-bit Windows its key is the 32-bit
// registry view's (Wow6432Node), which 64-bit code reaches by this flag, so
// both hook libraries read the same switches. 32-bit code passes nothing:
// Windows 2000 refuses the flag.
#ifdef _WIN64
#define REGPORT_SETTINGS_VIEW 0x0200u   // KEY_WOW64_32KEY
#else
#define REGPORT_SETTINGS_VIEW 0u
#endif

// The access a key is opened with; either way a missing key is created.
enum RegPortAccess { REGPORT_QUERY_ONLY, REGPORT_ALL_ACCESS };

// Opens, creating it when absent, a sub-key of HKEY_LOCAL_MACHINE in the
// 32-bit program's view.
long RegPort_CreateKey(const char *subKey, enum RegPortAccess access, RegPortKey *key);

// Reads at most *size bytes of a value into data; *size becomes the stored
// length and *type (where given) its type. Returns 0 only when the whole value fitted.
long RegPort_QueryValue(RegPortKey key, const char *valueName, unsigned char *data, uint32_t *size,
                        uint32_t *type);

// Stores the 4 bytes at value as a REG_DWORD.
long RegPort_SetDword(RegPortKey key, const char *valueName, const uint32_t *value);
// Stores size bytes as a REG_MULTI_SZ.
long RegPort_SetMultiString(RegPortKey key, const char *valueName, const unsigned char *data, uint32_t size);

long RegPort_CloseKey(RegPortKey key);

#endif
