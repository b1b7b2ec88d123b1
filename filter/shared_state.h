// The session's two records, seen as the same memory by every process with
// Snapveil.dll loaded, and this process's own values.
#ifndef HUSHPANE_SHARED_STATE_H
#define HUSHPANE_SHARED_STATE_H

#include <windows.h>
#include "../settings/settings_store.h"
#include "override_state.h"

// The records' names, in the session's namespace where there is one.
#define FILTER_RECORD_NAME "SnapveilFilterState"
#define INPUT_RECORD_NAME  "SnapveilInputState"

// Written only by the installs and uninstalls, on the tray program's thread;
// every other process maps it read-only.
struct FilterSettings {
    uint32_t loadScratch;              // carries a switch over to the next when a value is missing
    struct BlockingSwitches switches;  // copies of the registry, refreshed at every install
    HHOOK cbtHook;
    HHOOK mouseHook;
    HHOOK keyboardHook;
    HWND notifyWindow;
};

// This process's views of the records; NULL where one could not be mapped,
// and then every hook passes everything on and the installs do nothing.
extern const struct FilterSettings *g_settings;
extern struct OverrideState *g_input;

// The settings record mapped for writing, the first time an install or an
// uninstall asks; NULL where this process may not write it.
struct FilterSettings *State_WritableSettings(void);

// This process's instance handle of the library and its double-click span.
// Its platform is Platform_Version's: a program in a 9x compatibility mode
// judges its own presses by the 9x rules.
extern HINSTANCE g_module;
extern uint32_t g_clickInterval;   // double-click time + 500 ms: the longest rapid gap

// GetAncestor where user32 has it (not on Windows 95 nor NT 4.0 before SP4).
typedef HWND (WINAPI *GetAncestorFn)(HWND, UINT);
extern GetAncestorFn g_getAncestor;

#endif
