// What the benches share: the tests' harness (they host the hooks as the tests
// do), a clock, and NullHook.dll, the do-nothing hook they measure against.
#ifndef HUSHPANE_BENCH_H
#define HUSHPANE_BENCH_H

#include "win_check.h"

static double Bench_Seconds(LARGE_INTEGER from, LARGE_INTEGER to)
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return (double)(to.QuadPart - from.QuadPart) / (double)frequency.QuadPart;
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
