// A Foldwright.dll that only leaves "<its own file>.loaded" beside itself
// when loaded, for telling where the program loads its library from.
#include <windows.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID)
{
    char mark[MAX_PATH + 8];
    DWORD n = GetModuleFileNameA(module, mark, MAX_PATH);
    if (reason == DLL_PROCESS_ATTACH && n > 0 && n < MAX_PATH)
        CloseHandle(CreateFileA(lstrcatA(mark, ".loaded"), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL));
    return TRUE;
}
