// Snapveil64.exe: the 64-bit hooks for the Hushpane.exe named on its command
// line, for as long as that program keeps it running and lives itself. Any
// other start (by hand, a second host in the session) ends at once with 1.
// No C runtime: Host_Start is the entry point the system calls.
#include <windows.h>
#include "hook_thread.h"
#include "host_program.h"
#include "session_security.h"
#include "shared_handles.h"

// Held until the process ends: while it exists, the session has its host.
static HANDLE s_oneHost;

// Owned for the host's whole life, so that whoever waits on it (the
// installer, before it replaces the files) is let go when the host ends.
static bool Host_TakeSession(void)
{
    SECURITY_ATTRIBUTES attributes;
    SetLastError(0);
    s_oneHost = CreateMutexA(SessionSecurity_Attributes(&attributes, MUTEX_ALL_ACCESS, false), TRUE,
                             HOST_ONE_HOST_MUTEX);
    return s_oneHost != NULL && GetLastError() != ERROR_ALREADY_EXISTS;
}

static UINT Host_Run(void)
{
    uint32_t window = 0, processId = 0;
    if (!HostProgram_ParseCommandLine(GetCommandLineA(), &window, &processId))
        return HOST_EXIT_REFUSED;
    // Open first, so the process id cannot be reused before the window is matched to it.
    HANDLE hushpane = OpenProcess(SYNCHRONIZE, FALSE, processId);
    if (hushpane == NULL)
        return HOST_EXIT_REFUSED;
    HWND notifyWindow = Handle_Window(window);
    DWORD owner = 0;   // stays 0 for a window that is not there
    GetWindowThreadProcessId(notifyWindow, &owner);
    if (owner != processId || !Host_TakeSession())
        return HOST_EXIT_REFUSED;
    HookThread_RunHere(notifyWindow, hushpane);
    return HOST_EXIT_STOPPED;
}

extern "C" void Host_Start(void)
{
    ExitProcess(Host_Run());
}
