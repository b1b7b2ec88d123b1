// The access list of the session's named objects (the hook library's two
// records, the tray program's one-copy mutex): the creating token's user and
// SYSTEM, nothing else. Written out in full, so that a copy started elevated,
// whose default list names only Administrators and SYSTEM, still admits the
// same user's normal and protected-mode processes.
#ifndef HUSHPANE_SESSION_SECURITY_H
#define HUSHPANE_SESSION_SECURITY_H

#include <windows.h>

// Fills *attributes for an object that grants fullAccess to the user and to
// SYSTEM, with a low mandatory label (no-write-up) when lowLabel is set and
// the system has labels. For the NT family only (9x objects have no
// security); NULL, for the default security, where the pieces cannot be had.
// One descriptor per module: use it before asking for the next.
SECURITY_ATTRIBUTES *SessionSecurity_Attributes(SECURITY_ATTRIBUTES *attributes, DWORD fullAccess,
                                                bool lowLabel);

// True in an AppContainer (Enhanced Protected Mode browser tabs, Windows 8
// on), whose "Local\\" is a namespace of its own; false where the system
// cannot say, which is every system before Windows 8.
bool SessionSecurity_IsAppContainer(void);

#endif
