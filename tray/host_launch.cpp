// The host ends on WM_QUIT to its main thread, or when this process ends.
#include "host_launch.h"
#include "hook_thread.h"
#include "host_program.h"
#include "shared_handles.h"
#include "wow64.h"

#define HOST_STOP_WAIT_MS 2000
#define HOST_STOP_POLL_MS 50
// How often, and how many times, a refused start is looked at and retried.
#define HOST_RETRY_MS 250
#define HOST_RETRY_TICKS 20

static PROCESS_INFORMATION s_running;   // all zero while none was started
static HWND s_notifyWindow;
static UINT_PTR s_retryTimer;
static int s_retryTicksLeft;

static void HostLaunch_Forget(void)
{
    if (s_running.hProcess != NULL) {
        CloseHandle(s_running.hThread);
        CloseHandle(s_running.hProcess);
    }
    s_running = PROCESS_INFORMATION();
}

static void HostLaunch_StopRetrying(void)
{
    if (s_retryTimer != 0)
        KillTimer(NULL, s_retryTimer);
    s_retryTimer = 0;
}

static bool HostLaunch_HasExited(DWORD *exitCode)
{
    return s_running.hProcess != NULL && WaitForSingleObject(s_running.hProcess, 0) == WAIT_OBJECT_0 &&
           GetExitCodeProcess(s_running.hProcess, exitCode);
}

static bool HostLaunch_CreateHost(void)
{
    char program[MAX_PATH];
    char line[HOST_COMMAND_LINE_SIZE];
    DWORD length = GetModuleFileNameA(NULL, program, sizeof program);
    if (length == 0 || length >= sizeof program ||
        !HostProgram_FormatCommandLine(line, sizeof line, program, Handle_To32(s_notifyWindow),
                                       GetCurrentProcessId()))
        return false;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_FORCEOFFFEEDBACK;   // no busy cursor for a program without windows
    if (CreateProcessA(NULL, line, NULL, NULL, FALSE, 0, NULL, NULL, &startup, &s_running))
        return true;
    s_running = PROCESS_INFORMATION();
    return false;
}

// A refusal comes within moments of the start; a host of an earlier
// Hushpane.exe (killed, say) ends as soon as it sees that program gone.
static void CALLBACK HostLaunch_OnRetryTimer(HWND, UINT, UINT_PTR, DWORD)
{
    DWORD exitCode = 0;
    const bool exited = HostLaunch_HasExited(&exitCode);
    if (--s_retryTicksLeft <= 0 || (exited && exitCode != HOST_EXIT_REFUSED)) {
        HostLaunch_StopRetrying();
        return;
    }
    if (exited) {
        HostLaunch_Forget();
        if (!HostLaunch_CreateHost())
            HostLaunch_StopRetrying();
    }
}

void HostLaunch_Start(HWND notifyWindow)
{
    if (sizeof(void *) != 4 || !Platform_Is64BitWindows())
        return;
    DWORD exitCode;
    if (s_running.hProcess != NULL && !HostLaunch_HasExited(&exitCode))
        return;
    HostLaunch_Forget();   // a host that ended by itself: crashed, or refused
    HostLaunch_StopRetrying();
    s_notifyWindow = notifyWindow;
    if (!HostLaunch_CreateHost())
        return;
    s_retryTicksLeft = HOST_RETRY_TICKS;
    s_retryTimer = SetTimer(NULL, 0, HOST_RETRY_MS, HostLaunch_OnRetryTimer);
}

// A host just started may not have its message queue yet, and the post
// fails: it is posted again until the host is gone or the time is up.
void HostLaunch_Stop(void)
{
    HostLaunch_StopRetrying();
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
    HostLaunch_Forget();
}
