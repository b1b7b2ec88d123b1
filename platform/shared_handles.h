// Window and hook handles as programs of both bitnesses pass them to each
// other (the shared records, the host's command line): Windows keeps their
// values within 32 bits, and 64-bit code widens them back by sign extension.
#ifndef HUSHPANE_SHARED_HANDLES_H
#define HUSHPANE_SHARED_HANDLES_H

#include <windows.h>
#include <stdint.h>

static inline uint32_t Handle_To32(const void *handle)
{
    return (uint32_t)(uintptr_t)handle;
}

static inline HWND Handle_Window(uint32_t stored)
{
    return (HWND)(LONG_PTR)(int32_t)stored;
}

static inline HHOOK Handle_Hook(uint32_t stored)
{
    return (HHOOK)(LONG_PTR)(int32_t)stored;
}

#endif
