// Requests go to the hook thread as a thread message; it runs the call, sets
// s_done, and the asking thread waits for that. One request at a time: the
// asker waits for its answer before it can ask again.
#include "hook_thread.h"
#include "snapveil.h"

#define HOOK_THREAD_CALL (WM_APP + 1)
// Sent messages are delivered by any peek whatever its range; nothing is
// ever posted in this one, and nothing is removed, so posted messages and
// input stay queued. (PM_QS_SENDMESSAGE says the same, but only from
// Windows 98 and 2000 on.)
#define HOOK_THREAD_SENT_ONLY (WM_APP + 0x3FFF)

static HANDLE s_thread;
static DWORD s_threadId;
static HANDLE s_done;   // auto-reset
static HookThreadCall s_call;
static HWND s_window;
static LRESULT s_result;

static LRESULT HookThread_InstallHere(HWND notifyWindow)
{
    InstallCBTHook(notifyWindow);
    InstallMouseHook(notifyWindow);
    InstallKeyDownHook(notifyWindow);
    return 0;
}

static LRESULT HookThread_UninstallHere(HWND)
{
    UninstallCBTHook();
    UninstallMouseHook();
    UninstallKeyDownHook();
    return 0;
}

// Peeking also runs the hook calls the system relays to this thread.
static void HookThread_Pump(HANDLE until)
{
    for (;;) {
        DWORD woke = MsgWaitForMultipleObjects(until ? 1 : 0, &until, FALSE, INFINITE, QS_ALLINPUT);
        if (until && woke == WAIT_OBJECT_0)
            return;
        MSG message;
        while (PeekMessageA(&message, NULL, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT)
                return;
            if (message.hwnd == NULL && message.message == HOOK_THREAD_CALL) {
                s_result = s_call(s_window);
                SetEvent(s_done);
            }
        }
    }
}

static DWORD WINAPI HookThread_Main(LPVOID)
{
    MSG message;
    PeekMessageA(&message, NULL, 0, 0, PM_NOREMOVE);   // the queue posts need
    SetEvent(s_done);
    HookThread_Pump(NULL);
    return 0;
}

bool HookThread_Start(void)
{
    if (s_thread != NULL)
        return true;
    s_done = CreateEventA(NULL, FALSE, FALSE, NULL);
    s_thread = s_done ? CreateThread(NULL, 0, HookThread_Main, NULL, 0, &s_threadId) : NULL;
    if (s_thread == NULL)
        return false;
    WaitForSingleObject(s_done, INFINITE);
    return true;
}

LRESULT HookThread_Call(HookThreadCall call, HWND window)
{
    s_call = call;
    s_window = window;
    if (s_thread == NULL || !PostThreadMessageA(s_threadId, HOOK_THREAD_CALL, 0, 0))
        return call(window);
    HookThread_WaitAnswering(s_done, INFINITE);
    return s_result;
}

void HookThread_InstallAll(HWND notifyWindow)
{
    HookThread_Call(HookThread_InstallHere, notifyWindow);
}

void HookThread_ReloadExceptions(void)
{
    HookThread_Call([](HWND) -> LRESULT {
        ReloadExceptions();
        return 0;
    }, NULL);
}

void HookThread_UninstallAll(void)
{
    HookThread_Call(HookThread_UninstallHere, NULL);
}

// The host installs the creation hook alone: the input of every program, of
// both bitnesses, is watched by Hushpane.exe's low-level hooks.
void HookThread_RunHere(HWND notifyWindow, HANDLE until)
{
    InstallCBTHook(notifyWindow);
    HookThread_Pump(until);
    HookThread_UninstallHere(NULL);
}

bool HookThread_WaitAnswering(HANDLE object, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    for (;;) {
        DWORD waited = GetTickCount() - start;
        if (timeoutMs != INFINITE && waited >= timeoutMs)
            return WaitForSingleObject(object, 0) == WAIT_OBJECT_0;
        DWORD left = timeoutMs == INFINITE ? INFINITE : timeoutMs - waited;
        DWORD woke = MsgWaitForMultipleObjects(1, &object, FALSE, left, QS_SENDMESSAGE);
        if (woke != WAIT_OBJECT_0 + 1)
            return woke == WAIT_OBJECT_0;
        MSG message;
        PeekMessageA(&message, NULL, HOOK_THREAD_SENT_ONLY, HOOK_THREAD_SENT_ONLY, PM_NOREMOVE);
    }
}
