// The CBT hook: vetoes the creation of windows whose class a switched-on rule
// names, unless their program is left alone, and records each veto.
#include "shared_state.h"
#include "snapveil.h"
#include "class_names.h"
#include "creation_rules.h"
#include "platform_version.h"

// Long enough for the tray program's flash (about 150 ms) behind a few queued
// vetoes, short enough that a hung tray program cannot freeze the desktop.
#define NOTIFY_TIMEOUT_MS 2000
// A table caught mid-write is read again this many times, then taken as no exception.
#define EXCEPTION_READ_TRIES 4

// What this process last made of the exception table, by its generation.
static uint32_t s_seenGeneration = 1;   // odd: never a finished table's
static bool s_ownProgramExempt;

// A call relayed to the installing thread (from a program of the other
// bitness, on 64-bit Windows) posts: that thread only pumps, and must never
// wait on a window, its own program's least of all.
static void NotifyPopupBlocked(const struct FilterSettings *settings, bool relayed)
{
    HWND notifyWindow = Handle_Window(settings->notifyWindow);
    if (relayed) {
        PostMessageA(notifyWindow, WM_POPUPBLOCKED, 0, 0);
        return;
    }
    DWORD_PTR ignored;
    SendMessageTimeoutA(notifyWindow, WM_POPUPBLOCKED, 0, 0,
                        SMTO_ABORTIFHUNG, NOTIFY_TIMEOUT_MS, &ignored);
}

static bool IsLeftAlone(const struct FilterSettings *settings, const char *program)
{
    for (int tries = 0; tries < EXCEPTION_READ_TRIES; ++tries) {
        const uint32_t before = settings->exceptionsGeneration;
        if (before & 1u)
            continue;
        __atomic_signal_fence(__ATOMIC_SEQ_CST);
        const bool listed = Exceptions_Contains(&settings->exceptions, program);
        __atomic_signal_fence(__ATOMIC_SEQ_CST);
        if (settings->exceptionsGeneration == before)
            return listed;
    }
    return false;
}

// Only once a rule matched: this process's own answer is kept until the
// table changes; a relayed creation's program is looked up each time.
static bool IsProgramLeftAlone(const struct FilterSettings *settings, const char *program, bool relayed)
{
    if (relayed)
        return IsLeftAlone(settings, program);
    const uint32_t generation = settings->exceptionsGeneration;
    if (generation != s_seenGeneration) {
        s_ownProgramExempt = IsLeftAlone(settings, program);
        s_seenGeneration = generation;
    }
    return s_ownProgramExempt;
}

// The file name of another process's program, for a relayed creation: only
// from Vista on (QueryFullProcessImageNameA); elsewhere "" (none left alone).
typedef BOOL(WINAPI *QueryImageNameFn)(HANDLE, DWORD, LPSTR, PDWORD);
#define PROCESS_QUERY_LIMITED_INFORMATION_RIGHT 0x1000

static void ProgramOfProcess(DWORD processId, char *name)
{
    name[0] = '\0';
    QueryImageNameFn query = (QueryImageNameFn)(void (*)(void))GetProcAddress(
        GetModuleHandleA("kernel32.dll"), "QueryFullProcessImageNameA");
    HANDLE process = query ? OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION_RIGHT, FALSE, processId) : NULL;
    if (process == NULL)
        return;
    char path[MAX_PATH];
    DWORD length = sizeof path;
    if (query(process, 0, path, &length) && length < sizeof path)
        Exceptions_CopyFileName(path, name, BLOCK_PROGRAM_SIZE);
    CloseHandle(process);
}

// A slot of the record of blocks, claimed without a lock. The 386 has no
// instruction that adds and returns the sum at once (xadd is the 486's), so
// the 32-bit library calls kernel32's InterlockedIncrement, which Windows 95
// answers with the sum's sign alone: on the 9x family the sum is read after
// it. Two writers may then share a slot, which shows at worst one entry of
// the two (mixed, perhaps: nothing is acted on by it).
typedef LONG(WINAPI *InterlockedIncrementFn)(LONG volatile *);

static uint32_t ClaimSlot(struct BlockLog *log)
{
    LONG volatile *claimed = (LONG volatile *)&log->claimed;
#ifdef _WIN64
    return (uint32_t)InterlockedIncrement(claimed) - 1u;
#else
    static InterlockedIncrementFn s_increment;
    if (s_increment == NULL)
        s_increment = (InterlockedIncrementFn)(void (*)(void))GetProcAddress(GetModuleHandleA("kernel32.dll"),
                                                                             "InterlockedIncrement");
    LONG sum = s_increment(claimed);
    if (Platform_IsWindows9x())
        sum = *claimed;
    return (uint32_t)sum - 1u;
#endif
}

// Every creation is judged, relayed or not, by the class of the window
// (wParam), which any process may read; lParam points into the creating
// process and is never read. A veto is this hook's own answer and goes no
// further down the chain, so whichever of our two libraries sees a creation
// first decides it, records it and notifies once. Any other event gets the
// chain's answer, so another program's veto stands.
extern "C" LRESULT CALLBACK CBTProc(int code, WPARAM wParam, LPARAM lParam)
{
    const struct FilterSettings *settings = g_settings;
    const struct OverrideState *input = g_input;
    HHOOK next = State_OwnHook(settings, &HookSlots::cbtHook);
    if (settings == NULL || input == NULL || input->passThrough == 1 || code != HCBT_CREATEWND)
        return CallNextHookEx(next, code, wParam, lParam);
    char className[CLASS_NAME_BUFFER];
    if (GetClassNameA((HWND)wParam, className, sizeof className) == 0)
        className[0] = '\0';
    const enum BlockRule rule = Filter_MatchRule(&settings->switches, className);
    if (rule == BLOCK_RULE_NONE)
        return CallNextHookEx(next, code, wParam, lParam);
    const bool relayed = settings->hooks[BITNESS_OWN].installThread == GetCurrentThreadId();
    DWORD processId = GetCurrentProcessId();
    char relayedProgram[BLOCK_PROGRAM_SIZE];
    const char *program = g_ownProgram;
    if (relayed) {
        GetWindowThreadProcessId((HWND)wParam, &processId);
        ProgramOfProcess(processId, relayedProgram);
        program = relayedProgram;
    }
    if (IsProgramLeftAlone(settings, program, relayed))
        return CallNextHookEx(next, code, wParam, lParam);
    struct BlockLog *log = g_blockLog;
    if (log)
        BlockLog_Write(log, ClaimSlot(log), GetTickCount(), processId, rule, className, program);
    NotifyPopupBlocked(settings, relayed);
    return 1;
}
