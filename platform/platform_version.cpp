// The one reader of the platform's version.
#include <windows.h>
#include "platform_version.h"
#include "session_namespace.h"

static struct PlatformVersion s_version;
static bool s_read;

const struct PlatformVersion *Platform_Version(void)
{
    // Threads that race here read the same answer; the flag is published
    // after the values, so a thread that sees it set sees them too.
    if (!__atomic_load_n(&s_read, __ATOMIC_ACQUIRE)) {
        OSVERSIONINFOA info;
        info.dwOSVersionInfoSize = sizeof info;
        if (!GetVersionExA(&info)) {
            info.dwPlatformId = VER_PLATFORM_WIN32_NT;
            info.dwMajorVersion = 0;
        }
        s_version.platformId = info.dwPlatformId;
        s_version.majorVersion = info.dwMajorVersion;
        __atomic_store_n(&s_read, true, __ATOMIC_RELEASE);
    }
    return &s_version;
}

bool Platform_IsWindows9x(void)
{
    return Platform_Version()->platformId == VER_PLATFORM_WIN32_WINDOWS;
}

bool Platform_HasOwnNamespace(void)
{
    const struct PlatformVersion *version = Platform_Version();
    return Session_HasOwnNamespace(version->platformId, version->majorVersion);
}
