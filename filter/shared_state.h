// The one record every process with Snapveil.dll loaded sees as the same memory.
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

extern struct SharedFilterState g_shared;

// This process's instance handle of the library.
extern HINSTANCE g_module;

#endif
