// The session's two records, seen as the same memory by every process with
// Snapveil.dll or Snapveil64.dll loaded, and this process's own values.
#ifndef HUSHPANE_SHARED_STATE_H
#define HUSHPANE_SHARED_STATE_H

#include <windows.h>
#include <stddef.h>
#include "../settings/settings_store.h"
#include "override_state.h"
#include "block_log.h"
#include "session_namespace.h"
#include "shared_handles.h"

// The records' names; each user's tray program, hooks and clicks are his
// own, so they live in the session's namespace where the system has one.
static const struct SessionObjectName FILTER_STATE_RECORD = SESSION_OBJECT_NAME("SnapveilFilterState");
static const struct SessionObjectName INPUT_STATE_RECORD = SESSION_OBJECT_NAME("SnapveilInputState");

// One library's own hooks, which only it installs, chains to and removes, and
// the thread that installed them.
struct HookSlots {
    uint32_t cbtHook;
    uint32_t mouseHook;
    uint32_t keyboardHook;
    uint32_t installThread;
};

#define BITNESS_32 0
#define BITNESS_64 1
#ifdef _WIN64
#define BITNESS_OWN BITNESS_64
#else
#define BITNESS_OWN BITNESS_32
#endif

// Written only by the installs and uninstalls, on the host program's hook
// thread. On NT every other process maps it read-only; on 9x, where that
// protects nothing, for writing. Both libraries map this one record, so its
// layout is the same in both builds.
struct FilterSettings {
    uint32_t loadScratch;              // carries a switch over to the next when a value is missing
    struct BlockingSwitches switches;  // copies of the registry, refreshed at every install
    uint32_t notifyWindow;             // the last install's window, of either bitness
    struct HookSlots hooks[2];         // by BITNESS_32 and BITNESS_64
    // Odd while the table below is rewritten, and one more after each load,
    // so a reader tells a table it has not seen and one caught mid-write.
    uint32_t exceptionsGeneration;
    struct ExceptionTable exceptions;  // the programs left alone, from the registry
};

static_assert(sizeof(struct HookSlots) == 16 && offsetof(HookSlots, cbtHook) == 0 &&
              offsetof(HookSlots, mouseHook) == 4 && offsetof(HookSlots, keyboardHook) == 8 &&
              offsetof(HookSlots, installThread) == 12, "one hook slot's layout");
static_assert(sizeof(struct BlockingSwitches) == 20 && offsetof(BlockingSwitches, browser) == 0 &&
              offsetof(BlockingSwitches, messenger) == 4 && offsetof(BlockingSwitches, tooltip) == 8 &&
              offsetof(BlockingSwitches, applet) == 12 && offsetof(BlockingSwitches, flash) == 16,
              "the switches' layout");
static_assert(sizeof(struct FilterSettings) == 64 + sizeof(struct ExceptionTable) &&
              offsetof(FilterSettings, loadScratch) == 0 && offsetof(FilterSettings, switches) == 4 &&
              offsetof(FilterSettings, notifyWindow) == 24 && offsetof(FilterSettings, hooks) == 28 &&
              offsetof(FilterSettings, exceptionsGeneration) == 60 && offsetof(FilterSettings, exceptions) == 64,
              "the settings record's layout");

// This process's views of the records; NULL where one could not be mapped,
// and then every hook passes everything on and the installs do nothing.
extern const struct FilterSettings *g_settings;
extern struct OverrideState *g_input;
extern struct BlockLog *g_blockLog;   // NULL leaves vetoes unrecorded, nothing else

// This process's program file name, without its folder, cut to the block
// record's size; read once at attach.
extern char g_ownProgram[BLOCK_PROGRAM_SIZE];

// Whether the classic input hooks judge this call. On 64-bit Windows a hook of
// one bitness is also called for the other bitness's events, on the thread
// that installed it. That thread has no windows and takes no input, so a call
// there is always such a relayed one, to pass on unjudged, its lParam
// pointing into the other bitness's memory. Nor is anything judged without
// both records mapped.
static inline bool State_ShouldJudge(const struct FilterSettings *settings, const struct OverrideState *input)
{
    return settings != NULL && input != NULL &&
           settings->hooks[BITNESS_OWN].installThread != GetCurrentThreadId();
}

// This library's own hook of a kind, as read from the settings record; NULL without one.
static inline HHOOK State_OwnHook(const struct FilterSettings *settings, uint32_t HookSlots::*kind)
{
    return settings ? Handle_Hook(settings->hooks[BITNESS_OWN].*kind) : NULL;
}

// The settings record mapped for writing, the first time an install or an
// uninstall asks; NULL where this process may not write it.
struct FilterSettings *State_WritableSettings(void);

// This process's instance handle of the library. Its platform is
// Platform_Version's: a program in a 9x compatibility mode judges its own
// presses by the 9x rules.
extern HINSTANCE g_module;

// GetAncestor where user32 has it (not on Windows 95 nor NT 4.0 before SP4).
typedef HWND (WINAPI *GetAncestorFn)(HWND, UINT);
extern GetAncestorFn g_getAncestor;

#endif
