// The one record every process of a session with Snapveil.dll loaded sees as
// the same memory.
#ifndef HUSHPANE_SHARED_STATE_H
#define HUSHPANE_SHARED_STATE_H

#include <windows.h>
#include "../settings/settings_store.h"
#include "override_state.h"

struct SharedFilterState {
    uint32_t loadScratch;              // carries a switch over to the next when a value is missing
    uint8_t isWin9x;
    struct BlockingSwitches switches;  // copies of the registry, refreshed at every install
    HHOOK cbtHook;
    HHOOK mouseHook;
    HHOOK keyboardHook;
    HWND notifyWindow;
    struct OverrideState override;
};

// This process's view of the session's state; NULL where it could not be
// mapped, and then every hook passes everything on and the installs do nothing.
extern struct SharedFilterState *g_state;

// This process's instance handle of the library.
extern HINSTANCE g_module;

// GetAncestor where user32 has it (not on Windows 95 nor NT 4.0 before SP4).
typedef HWND (WINAPI *GetAncestorFn)(HWND, UINT);
extern GetAncestorFn g_getAncestor;

#endif
