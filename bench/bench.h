// What the benches share, standing on the product alone: a clock, the hook
// thread as Hushpane.exe drives it, the switches as the settings window stores
// them, children run while this thread answers the hooks' notices, and
// NullHook.dll, the do-nothing hook they measure against.
#ifndef HUSHPANE_BENCH_H
#define HUSHPANE_BENCH_H

#include <windows.h>
#include <stdio.h>

#include "hook_thread.h"
#include "settings_store.h"
#include "snapveil.h"

static double Bench_Seconds(LARGE_INTEGER from, LARGE_INTEGER to)
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return (double)(to.QuadPart - from.QuadPart) / (double)frequency.QuadPart;
}

// Unbuffered lines, and the hook thread the installs run on: the library
// passes on unjudged what comes to the thread that installed it.
static bool Bench_Begin(void)
{
    setvbuf(stdout, NULL, _IONBF, 0);
    return HookThread_Start();
}

static void Bench_PumpPending(void)
{
    MSG msg;
    while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

static void Bench_Pump(DWORD ms)
{
    DWORD start = GetTickCount();
    while (GetTickCount() - start < ms) {
        MsgWaitForMultipleObjects(0, NULL, FALSE, 10, QS_ALLINPUT);
        Bench_PumpPending();
    }
}

static void Bench_RegisterClass(const char *className, WNDPROC procedure)
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = procedure;
    wc.hInstance = GetModuleHandleA(NULL);
    wc.lpszClassName = className;
    RegisterClassA(&wc);
}

// This program again with the arguments; its exit code, answering the notices
// its vetoes send meanwhile. -1 when it cannot start or does not end within a minute.
static long Bench_RunSelf(const char *arguments)
{
    char self[MAX_PATH], line[MAX_PATH + 64];
    GetModuleFileNameA(NULL, self, sizeof self);
    wsprintfA(line, "\"%s\" %s", self, arguments);
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi;
    if (!CreateProcessA(NULL, line, NULL, NULL, FALSE, 0, NULL, NULL, &si, &pi))
        return -1;
    DWORD code = (DWORD)-1;
    if (HookThread_WaitAnswering(pi.hProcess, 60000))
        GetExitCodeProcess(pi.hProcess, &code);
    else
        TerminateProcess(pi.hProcess, 99);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return (long)code;
}

// Stores the switches, in SETTINGS_SWITCHES order.
static void Bench_StoreSwitches(const uint32_t (&values)[SWITCH_COUNT])
{
    for (int i = 0; i < SWITCH_COUNT; ++i)
        Settings_WriteSwitch(&values[i], SETTINGS_SUBKEY, SETTINGS_SWITCHES[i].valueName);
}

static HMODULE s_nullHook;
static void (WINAPI *s_nullInstall)(int kind, HINSTANCE module);
static void (WINAPI *s_nullUninstall)(void);
static LONG (WINAPI *s_nullCalls)(void);
static HOOKPROC s_nullProc;

// True once every export is found; says so when one is not.
static bool NullHook_Load(void)
{
    s_nullHook = LoadLibraryA(NULL_HOOK_DLL);
    s_nullInstall = (void (WINAPI *)(int, HINSTANCE))(void *)GetProcAddress(s_nullHook, "NullHook_Install");
    s_nullUninstall = (void (WINAPI *)(void))(void *)GetProcAddress(s_nullHook, "NullHook_Uninstall");
    s_nullCalls = (LONG (WINAPI *)(void))(void *)GetProcAddress(s_nullHook, "NullHook_Calls");
    s_nullProc = (HOOKPROC)(void *)GetProcAddress(s_nullHook, "NullHookProc");
    bool loaded = s_nullInstall && s_nullUninstall && s_nullCalls && s_nullProc;
    if (!loaded)
        printf("cannot load " NULL_HOOK_DLL "\n");
    return loaded;
}

static void NullHook_Start(int kind)
{
    s_nullInstall(kind, s_nullHook);
}

#endif
