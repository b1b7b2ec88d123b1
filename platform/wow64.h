// Whether Windows itself is 64-bit: a 32-bit program there reaches no 64-bit
// process with its own hooks.
#ifndef HUSHPANE_WOW64_H
#define HUSHPANE_WOW64_H

// True in a 64-bit program, and in a 32-bit one that runs under WOW64.
bool Platform_Is64BitWindows(void);

#endif
