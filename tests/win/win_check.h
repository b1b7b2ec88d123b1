// A minimal check harness for Windows-side test programs: unbuffered progress
// lines, a failure count, non-zero exit on any failed check.
#ifndef HUSHPANE_WIN_CHECK_H
#define HUSHPANE_WIN_CHECK_H

#include <windows.h>
#include <stdio.h>
#include <aclapi.h>

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

// The process Check_RunPumping is running, for handlers of its sends.
static HANDLE g_checkChild;

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
    g_checkChild = pi.hProcess;
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

// The session objects' security as given at creation: an access list of
// exactly this user and SYSTEM, and a low label only where lowLabel.
static inline void Check_SessionSecurity(HANDLE object, bool lowLabel, const char *what)
{
    PACL dacl = NULL, sacl = NULL;
    PSECURITY_DESCRIPTOR descriptor = NULL;
    DWORD got = object ? GetSecurityInfo(object, SE_KERNEL_OBJECT, DACL_SECURITY_INFORMATION |
                                         LABEL_SECURITY_INFORMATION, NULL, NULL, &dacl, &sacl,
                                         &descriptor) : ERROR_INVALID_HANDLE;
    static DWORD user[32];
    HANDLE token;
    DWORD needed;
    OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token);
    GetTokenInformation(token, TokenUser, user, sizeof user, &needed);
    CloseHandle(token);
    PSID allowed[2] = {((TOKEN_USER *)user)->User.Sid, NULL};
    SID_IDENTIFIER_AUTHORITY nt = SECURITY_NT_AUTHORITY;
    AllocateAndInitializeSid(&nt, 1, SECURITY_LOCAL_SYSTEM_RID, 0, 0, 0, 0, 0, 0, 0, &allowed[1]);
    int matched = 0;
    for (int i = 0; got == 0 && dacl && dacl->AceCount == 2 && i < 2; ++i) {
        ACCESS_ALLOWED_ACE *ace = NULL;
        GetAce(dacl, i, (void **)&ace);
        matched += ace->Header.AceType == ACCESS_ALLOWED_ACE_TYPE && EqualSid(&ace->SidStart, allowed[i]);
    }
    SYSTEM_MANDATORY_LABEL_ACE *label = NULL;
    if (got == 0 && sacl && sacl->AceCount == 1)
        GetAce(sacl, 0, (void **)&label);
    bool low = label && label->Header.AceType == SYSTEM_MANDATORY_LABEL_ACE_TYPE &&
               *GetSidSubAuthority(&label->SidStart, 0) == SECURITY_MANDATORY_LOW_RID;
    printf("%s: security %lu, %d of %d entries the user and SYSTEM, label %s\n", what, got, matched,
           dacl ? dacl->AceCount : -1, low ? "low" : sacl && sacl->AceCount ? "other" : "none");
    CHECK(matched == 2 && low == lowLabel && (lowLabel || !sacl || sacl->AceCount == 0),
          "%s: the user and SYSTEM alone, %s", what, lowLabel ? "labelled low" : "no label");
    FreeSid(allowed[1]);
    LocalFree(descriptor);
}

#endif
