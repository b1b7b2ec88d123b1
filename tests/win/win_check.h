// A minimal check harness for Windows-side test programs: unbuffered progress
// lines, a failure count, non-zero exit on any failed check.
#ifndef HUSHPANE_WIN_CHECK_H
#define HUSHPANE_WIN_CHECK_H

#include <windows.h>
#include <stdio.h>

static int g_checkFailures;

#define CHECK(cond, ...)                                                         \
    do {                                                                         \
        if (!(cond)) {                                                           \
            ++g_checkFailures;                                                   \
            printf("FAIL %s:%d: %s: ", __FILE__, __LINE__, #cond);               \
            printf(__VA_ARGS__);                                                 \
            printf("\n");                                                        \
        }                                                                        \
    } while (0)

static inline void Check_Begin(void)
{
    setvbuf(stdout, NULL, _IONBF, 0);
}

static inline int Check_End(void)
{
    printf(g_checkFailures ? "%d check(s) failed\n" : "all checks passed\n", g_checkFailures);
    return g_checkFailures ? 1 : 0;
}

// Lets sent and posted messages settle for a while.
static inline void Check_Pump(DWORD ms)
{
    DWORD start = GetTickCount();
    while (GetTickCount() - start < ms) {
        MsgWaitForMultipleObjects(0, NULL, FALSE, 10, QS_ALLINPUT);
        MSG msg;
        while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
}

// Runs a command line and returns its exit code, pumping this thread's messages
// meanwhile so that sends from the child (WM_POPUPBLOCKED) are answered.
// Returns -1 when it cannot start or does not end within timeoutMs.
static inline long Check_RunPumping(const char *commandLine, DWORD timeoutMs, DWORD *elapsedMs)
{
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    char line[1024];
    lstrcpynA(line, commandLine, sizeof line);
    DWORD start = GetTickCount();
    if (!CreateProcessA(NULL, line, NULL, NULL, FALSE, 0, NULL, NULL, &si, &pi))
        return -1;
    while (WaitForSingleObject(pi.hProcess, 0) == WAIT_TIMEOUT && GetTickCount() - start < timeoutMs)
        Check_Pump(10);
    DWORD code = 0;
    long result = -1;
    if (WaitForSingleObject(pi.hProcess, 0) == WAIT_OBJECT_0 && GetExitCodeProcess(pi.hProcess, &code))
        result = (long)code;
    else
        TerminateProcess(pi.hProcess, 99);
    if (elapsedMs)
        *elapsedMs = GetTickCount() - start;
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return result;
}

#endif
