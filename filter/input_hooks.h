// The input decisions as the low-level hooks hand them raw input, on the
// installing thread, for the programs of both bitnesses (hook_control.cpp).
#ifndef HUSHPANE_INPUT_HOOKS_H
#define HUSHPANE_INPUT_HOOKS_H

#include <windows.h>

// A left button going down at a screen point, in whatever program.
void Input_RegisterRawPress(POINT point);

// A key going down or up, in whatever program.
void Input_RegisterRawKey(DWORD virtualKey, bool goingUp);

#endif
