// Snapveil64.exe, the 64-bit host of the hooks, as Hushpane.exe starts it:
// its file, beside Hushpane's, and its command line, which names the notify
// window and the process whose end ends it too. Plain text work, shared by
// both programs and unit-tested on the build machine.
#ifndef HUSHPANE_HOST_PROGRAM_H
#define HUSHPANE_HOST_PROGRAM_H

#include <stddef.h>
#include <stdint.h>
#include "session_namespace.h"

#define HOST_PROGRAM_NAME "Snapveil64.exe"
// One host per session; it runs only on 64-bit Windows, which has sessions.
#define HOST_ONE_HOST_MUTEX SESSION_NAMESPACE_PREFIX "Snapveil64.OneHost"
// The host's exit codes: asked to stop (or its Hushpane.exe ended), or
// refused at the start (not Hushpane's command line, or the session has a host).
#define HOST_EXIT_STOPPED 0
#define HOST_EXIT_REFUSED 1
// Room for a MAX_PATH folder, the quotes and two numbers.
#define HOST_COMMAND_LINE_SIZE 300

// `"FOLDER\Snapveil64.exe" WINDOW PROCESS`, FOLDER that of programPath
// (Hushpane's own file); false when it does not fit in size characters.
// Windows hands 32-bit and 64-bit programs the same 32-bit window handles.
bool HostProgram_FormatCommandLine(char *line, size_t size, const char *programPath, uint32_t window,
                                   uint32_t processId);

// The window and process of such a line, program first (quoted or not);
// false unless exactly two non-zero decimal numbers follow it.
bool HostProgram_ParseCommandLine(const char *line, uint32_t *window, uint32_t *processId);

#endif
