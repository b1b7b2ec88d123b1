// Snapveil64.exe, which hooks the 64-bit programs this 32-bit one cannot
// reach: started after each install of the hooks on 64-bit Windows, stopped
// with each uninstall. When it cannot start, blocking goes on in the 32-bit
// programs alone, silently; the next apply tries again.
#ifndef HUSHPANE_HOST_LAUNCH_H
#define HUSHPANE_HOST_LAUNCH_H

#include <windows.h>

// Starts the host from this program's folder with notifyWindow, unless the
// one it started still runs or this is no 32-bit program on 64-bit Windows.
// A host refused because the session's old one has not ended yet is started
// again, for a few seconds, from this thread's message loop.
void HostLaunch_Start(HWND notifyWindow);
// Asks the running host to end, and ends it after 2 s if it has not.
void HostLaunch_Stop(void);

#endif
