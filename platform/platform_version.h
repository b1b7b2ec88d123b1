// Which Windows this process runs on, read once: the hook library, the tray
// program and the folder tools all judge by the same answer.
#ifndef HUSHPANE_PLATFORM_VERSION_H
#define HUSHPANE_PLATFORM_VERSION_H

#include <stdint.h>

// GetVersionExA's platform id (VER_PLATFORM_WIN32_*) and major version. Where
// the system cannot say, NT with major version 0: the family with access
// rights, and no session namespace.
struct PlatformVersion {
    uint32_t platformId;
    uint32_t majorVersion;
};

// GetVersionExA, once per process; a program in a compatibility mode gets the
// version it is made to see.
const struct PlatformVersion *Platform_Version(void);

// The Windows 95/98/Me family: no access rights, no folder handles, no
// service manager.
bool Platform_IsWindows9x(void);

// Session_HasOwnNamespace of this process's version.
bool Platform_HasOwnNamespace(void);

#endif
