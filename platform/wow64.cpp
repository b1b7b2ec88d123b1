// IsWow64Process is looked up at run time: kernel32 has it from XP SP2 on,
// and where it is missing Windows is 32-bit.
#include <windows.h>
#include "wow64.h"

typedef BOOL(WINAPI *IsWow64ProcessFn)(HANDLE, PBOOL);

bool Platform_Is64BitWindows(void)
{
#ifdef _WIN64
    return true;
#else
    IsWow64ProcessFn isWow64 = (IsWow64ProcessFn)(void (*)(void))GetProcAddress(
        GetModuleHandleA("kernel32.dll"), "IsWow64Process");
    BOOL wow64 = FALSE;
    return isWow64 && isWow64(GetCurrentProcess(), &wow64) && wow64;
#endif
}
