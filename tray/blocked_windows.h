// The "Blocked Windows" window: the session's recent vetoes from the record
// of blocks, newest first, and the programs left alone, which the user may
// change where he may change the switches.
#ifndef HUSHPANE_BLOCKED_WINDOWS_H
#define HUSHPANE_BLOCKED_WINDOWS_H

#include <windows.h>

#define BLOCKED_WINDOWS_TITLE "Blocked Windows"

// Opens the window, or brings the open one forward.
void BlockedWindows_Open(HWND owner);
// A veto was just recorded: the open window shows it, after the notice's send has returned.
void BlockedWindows_OnPopupBlocked(void);
// The dialog manager's keys (Tab, Esc) for the open window; true when it took the message.
bool BlockedWindows_IsDialogMessage(MSG *message);

#endif
