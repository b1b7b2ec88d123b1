// Where named objects that belong to one Windows session live: "Local\" names
// the session's own namespace from Windows 2000 (NT 5.0) on; Windows 9x and
// NT 4.0 have a single namespace and take a backslash in a name as invalid.
// Shared by the hook library's state and the tray program's one-copy mutex.
#ifndef HUSHPANE_SESSION_NAMESPACE_H
#define HUSHPANE_SESSION_NAMESPACE_H

#include <stdint.h>

#define SESSION_PLATFORM_NT 2u   // VER_PLATFORM_WIN32_NT
#define SESSION_NAMESPACE_PREFIX "Local\\"

// For GetVersionExA's platform id and major version (Platform_HasOwnNamespace
// answers it for this process).
static inline bool Session_HasOwnNamespace(uint32_t platformId, uint32_t majorVersion)
{
    return platformId == SESSION_PLATFORM_NT && majorVersion >= 5u;
}

#endif
