// window_probe.exe CLASS...: tries to create one top-level window of each class
// in this process and reports which creations were vetoed.
//   exit code: bit i set when the creation of the i-th class was vetoed (max 30
//   classes); 255 on a usage error.
//   stdout: "<class> created|vetoed <ms>", one line per class, where ms is how
//   long the creating call took.
#include <windows.h>
#include <stdio.h>

static void RegisterLocalClass(const char *name)
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(NULL);
    wc.lpszClassName = name;
    RegisterClassA(&wc);   // fails harmlessly for a class this process already has
}

int main(int argc, char **argv)
{
    setvbuf(stdout, NULL, _IONBF, 0);
    if (argc < 2 || argc > 31) {
        printf("usage: window_probe CLASS...\n");
        return 255;
    }
    int vetoed = 0;
    for (int i = 1; i < argc; ++i) {
        RegisterLocalClass(argv[i]);
        DWORD start = GetTickCount();
        HWND window = CreateWindowExA(0, argv[i], "probe", WS_OVERLAPPED, 0, 0, 50, 50,
                                      NULL, NULL, GetModuleHandleA(NULL), NULL);
        DWORD took = GetTickCount() - start;
        printf("%s %s %lu\n", argv[i], window ? "created" : "vetoed", (unsigned long)took);
        if (window)
            DestroyWindow(window);
        else
            vetoed |= 1 << (i - 1);
    }
    return vetoed;
}
