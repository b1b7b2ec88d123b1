// The host ends on WM_QUIT to its main thread, or when this process ends.
#include "host_launch.h"
#include "hook_thread.h"
#include "host_program.h"
#include "wow64.h"

#define HOST_STOP_WAIT_MS 2000
#define HOST_STOP_POLL_MS 50

static PROCESS_INFORMATION s_running;   // all zero while none runs

void HostLaunch_Start(HWND notifyWindow)
{
    if (sizeof(void *) != 4 || s_running.hProcess != NULL || !Platform_Is64BitWindows())
        return;
    char program[MAX_PATH];
    char line[HOST_COMMAND_LINE_SIZE];
    DWORD length = GetModuleFileNameA(NULL, program, sizeof program);
    if (length == 0 || length >= sizeof program ||
        !HostProgram_FormatCommandLine(line, sizeof line, program, (uint32_t)(UINT_PTR)notifyWindow,
                                       GetCurrentProcessId()))
        return;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_FORCEOFFFEEDBACK;   // no busy cursor for a program without windows
    if (!CreateProcessA(NULL, line, NULL, NULL, FALSE, 0, NULL, NULL, &startup, &s_running))
        s_running = PROCESS_INFORMATION();
}

// A host just started may not have its message queue yet, and the post
// fails: it is posted again until the host is gone or the time is up.
void HostLaunch_Stop(void)
{
    if (s_running.hProcess == NULL)
        return;
    bool gone = false;
    for (DWORD waited = 0; !gone && waited < HOST_STOP_WAIT_MS; waited += HOST_STOP_POLL_MS) {
        PostThreadMessageA(s_running.dwThreadId, WM_QUIT, 0, 0);
        gone = HookThread_WaitAnswering(s_running.hProcess, HOST_STOP_POLL_MS);
    }
    if (!gone) {
        TerminateProcess(s_running.hProcess, 1);
        HookThread_WaitAnswering(s_running.hProcess, HOST_STOP_WAIT_MS);
    }
    CloseHandle(s_running.hThread);
    CloseHandle(s_running.hProcess);
    s_running = PROCESS_INFORMATION();
}
