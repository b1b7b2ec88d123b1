// Requests go to the hook thread as thread messages; it sets s_done after
// each, and the asking thread waits for that.
#include "hook_thread.h"
#include "snapveil.h"

#define HOOK_THREAD_INSTALL   (WM_APP + 1)   // lParam: the notify window
#define HOOK_THREAD_UNINSTALL (WM_APP + 2)
// Sent messages are delivered by any peek whatever its range; nothing is
// ever posted in this one, and nothing is removed, so posted messages and
// input stay queued. (PM_QS_SENDMESSAGE says the same, but only from
// Windows 98 and 2000 on.)
#define HOOK_THREAD_SENT_ONLY (WM_APP + 0x3FFF)

static HANDLE s_thread;
static DWORD s_threadId;
static HANDLE s_done;   // auto-reset

static void HookThread_Serve(UINT request, HWND notifyWindow)
{
    if (request == HOOK_THREAD_INSTALL) {
        InstallCBTHook(notifyWindow);
        InstallMouseHook(notifyWindow);
        InstallKeyDownHook(notifyWindow);
    } else {
        UninstallCBTHook();
        UninstallMouseHook();
        UninstallKeyDownHook();
    }
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
            if (message.hwnd == NULL &&
                (message.message == HOOK_THREAD_INSTALL || message.message == HOOK_THREAD_UNINSTALL)) {
                HookThread_Serve(message.message, (HWND)message.lParam);
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
    s_done = CreateEventA(NULL, FALSE, FALSE, NULL);
    s_thread = s_done ? CreateThread(NULL, 0, HookThread_Main, NULL, 0, &s_threadId) : NULL;
    if (s_thread == NULL)
        return false;
    WaitForSingleObject(s_done, INFINITE);
    return true;
}

static void HookThread_Ask(UINT request, HWND notifyWindow)
{
    if (s_thread == NULL || !PostThreadMessageA(s_threadId, request, 0, (LPARAM)notifyWindow)) {
        HookThread_Serve(request, notifyWindow);
        return;
    }
    HookThread_WaitAnswering(s_done, INFINITE);
}

void HookThread_InstallAll(HWND notifyWindow)
{
    HookThread_Ask(HOOK_THREAD_INSTALL, notifyWindow);
}

void HookThread_UninstallAll(void)
{
    HookThread_Ask(HOOK_THREAD_UNINSTALL, NULL);
}

void HookThread_RunHere(HWND notifyWindow, HANDLE until)
{
    HookThread_Serve(HOOK_THREAD_INSTALL, notifyWindow);
    HookThread_Pump(until);
    HookThread_Serve(HOOK_THREAD_UNINSTALL, NULL);
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
