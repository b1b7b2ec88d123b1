// Where named objects that belong to one Windows session live: "Local\" names
// the session's own namespace from Windows 2000 (NT 5.0) on; Windows 9x and
// NT 4.0 have a single namespace and take a backslash in a name as invalid.
// Shared by the hook library's records, the tray program's view of them and
// its one-copy mutex.
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

// A session object's name both ways: SESSION_OBJECT_NAME("Name").
struct SessionObjectName {
    const char *session;
    const char *plain;
};
#define SESSION_OBJECT_NAME(name) {SESSION_NAMESPACE_PREFIX name, name}

static inline const char *Session_ObjectName(const struct SessionObjectName *name, bool ownNamespace)
{
    return ownNamespace ? name->session : name->plain;
}

#endif
