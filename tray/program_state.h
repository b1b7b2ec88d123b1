// Process-wide state of Hushpane.exe, set once at start-up and read by the
// settings window and the tray icon.
#ifndef HUSHPANE_PROGRAM_STATE_H
#define HUSHPANE_PROGRAM_STATE_H

#include <windows.h>
#include "../settings/settings_store.h"

#define SETTINGS_WINDOW_CLASS "DoviZavazovu"
#define SETTINGS_WINDOW_TEMPLATE "MyDialog2"
// A second start asks the running copy to show its settings window with this
// registered message: the one message from another copy that the window lets
// in from lower integrity (WM_COMMAND would let a page post Quit or Reset).
#define SHOW_SETTINGS_MESSAGE "Hushpane.ShowSettings"

extern HINSTANCE g_module;                    // this program's module handle
extern struct BlockingSwitches g_switches;    // as loaded at start-up

#endif
