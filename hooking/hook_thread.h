// The thread the hooks are installed and removed on, in Hushpane.exe and in
// Snapveil64.exe, each with the library of its own bitness. The system runs a
// hook's calls from processes of the other bitness on the installing thread
// and holds those processes until it has, so that thread only pumps: it
// makes no windows, takes no input and never waits on anything slow.
#ifndef HUSHPANE_HOOK_THREAD_H
#define HUSHPANE_HOOK_THREAD_H

#include <windows.h>

// Hushpane.exe's hook thread, started at the first call (later ones find it
// running); false when it cannot be made, and then the requests below run on
// the caller's own thread.
bool HookThread_Start(void);

// call(window) on the hook thread, its result; the caller waits, answering
// what is sent to its windows meanwhile.
typedef LRESULT (*HookThreadCall)(HWND window);
LRESULT HookThread_Call(HookThreadCall call, HWND window);

// The three installs (the last one's window is notified), or the three
// uninstalls, through HookThread_Call.
void HookThread_InstallAll(HWND notifyWindow);
void HookThread_UninstallAll(void);
// ReloadExceptions through HookThread_Call.
void HookThread_ReloadExceptions(void);

// The calling thread as the hook thread (the host's): installs the creation
// hook, the only one the host needs; pumps until WM_QUIT or until `until` is
// signalled; uninstalls.
void HookThread_RunHere(HWND notifyWindow, HANDLE until);

// Waits up to timeoutMs for object, answering only messages sent to this
// thread's windows meanwhile (posted ones and input wait for its own loop);
// true when it was signalled.
bool HookThread_WaitAnswering(HANDLE object, DWORD timeoutMs);

#endif
