// input_bench.exe [N [ROUNDS]]: what Snapveil's mouse and keyboard hooks cost a program
// that takes mouse input. Injects N hardware mouse moves, then N left presses
// (each with its release), into a window of its own with SendInput and takes
// them from the queue, where the mouse hook runs:
//   (a) under a do-nothing global mouse hook, (b) under Snapveil's three hooks;
// on 64-bit Windows, where Snapveil watches input with low-level hooks on the
// hook thread, (a) is a do-nothing low-level hook on that thread too;
// in interleaved rounds; prints each variant's best throughput and the ratio of
// times (b)/(a), of the best rounds and as the median of the rounds' ratios.
#include <stdlib.h>

#include "bench.h"
#include "wow64.h"

#define DEFAULT_ROUNDS 15
#define MAX_ROUNDS 64
#define WINDOW_SIZE 200

static HWND g_window;
static POINT g_center;
static LONG g_moves, g_presses;

static LRESULT CALLBACK BenchProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_MOUSEMOVE:
        ++g_moves;
        return 0;
    case WM_LBUTTONDOWN:
        ++g_presses;
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// No double-click style: every press arrives as WM_LBUTTONDOWN.
static BOOL CreateBenchWindow(void)
{
    Bench_RegisterClass("HushpaneBenchInput", BenchProc);
    g_window = CreateWindowExA(WS_EX_TOPMOST, "HushpaneBenchInput", "Hushpane input bench", WS_POPUP | WS_VISIBLE,
                               100, 100, WINDOW_SIZE, WINDOW_SIZE, NULL, NULL, GetModuleHandleA(NULL), NULL);
    if (!g_window)
        return FALSE;
    SetForegroundWindow(g_window);
    g_center.x = 100 + WINDOW_SIZE / 2;
    g_center.y = 100 + WINDOW_SIZE / 2;
    SetCursorPos(g_center.x, g_center.y);
    Bench_Pump(500);
    return TRUE;
}

static INPUT MouseInput(DWORD flags, LONG x, LONG y)
{
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags;
    if (flags & MOUSEEVENTF_ABSOLUTE) {
        input.mi.dx = (x * 65536 + 65535) / GetSystemMetrics(SM_CXSCREEN);
        input.mi.dy = (y * 65536 + 65535) / GetSystemMetrics(SM_CYSCREEN);
    }
    return input;
}

// Each move goes to alternate points inside the window, and is taken from the
// queue before the next, so none is merged with another.
static double TimeMoves(int count)
{
    INPUT there = MouseInput(MOUSEEVENTF_MOVE, 0, 0);
    INPUT back = there;
    there.mi.dx = 1;
    back.mi.dx = -1;
    LARGE_INTEGER start, end;
    QueryPerformanceCounter(&start);
    for (int i = 0; i < count; ++i) {
        SendInput(1, (i & 1) ? &back : &there, sizeof(INPUT));
        Bench_PumpPending();
    }
    QueryPerformanceCounter(&end);
    return Bench_Seconds(start, end);
}

static double TimePresses(int count)
{
    INPUT click[2] = {MouseInput(MOUSEEVENTF_LEFTDOWN, 0, 0), MouseInput(MOUSEEVENTF_LEFTUP, 0, 0)};
    LARGE_INTEGER start, end;
    QueryPerformanceCounter(&start);
    for (int i = 0; i < count; ++i) {
        SendInput(2, click, sizeof(INPUT));
        Bench_PumpPending();
    }
    QueryPerformanceCounter(&end);
    return Bench_Seconds(start, end);
}

// The hook procedures alone, called directly on one message: what each costs
// per call without the queue and the display server around it.
static double TimeProcedure(HOOKPROC procedure, UINT message, int calls)
{
    MOUSEHOOKSTRUCT mouse = {};
    mouse.pt = g_center;
    mouse.hwnd = g_window;
    LARGE_INTEGER start, end;
    QueryPerformanceCounter(&start);
    for (int i = 0; i < calls; ++i)
        procedure(HC_ACTION, message, (LPARAM)&mouse);
    QueryPerformanceCounter(&end);
    return Bench_Seconds(start, end) / calls;
}

static void ReportProcedures(HOOKPROC nullProc, double moveTime, double pressTime, int count)
{
    const int calls = count;
    double nullMove = 1e30, snapMove = 1e30, nullPress = 1e30, snapPress = 1e30;
    for (int i = 0; i < 5; ++i) {
        double t;
        if ((t = TimeProcedure(nullProc, WM_MOUSEMOVE, calls)) < nullMove) nullMove = t;
        if ((t = TimeProcedure(MouseProc, WM_MOUSEMOVE, calls)) < snapMove) snapMove = t;
        if ((t = TimeProcedure(nullProc, WM_LBUTTONDOWN, calls)) < nullPress) nullPress = t;
        if ((t = TimeProcedure(MouseProc, WM_LBUTTONDOWN, calls)) < snapPress) snapPress = t;
    }
    printf("hook procedure per call: move do-nothing %.3f us, Snapveil %.3f us; "
           "press do-nothing %.3f us, Snapveil %.3f us\n",
           nullMove * 1e6, snapMove * 1e6, nullPress * 1e6, snapPress * 1e6);
    // A press is taken with its release, which costs what a move does.
    double perMove = moveTime / count, perPress = pressTime / count;
    printf("implied time ratio from the procedures' extra cost: moves %.4f, presses %.4f\n",
           1.0 + (snapMove - nullMove) / perMove,
           1.0 + ((snapPress - nullPress) + (snapMove - nullMove)) / perPress);
}

// The do-nothing hook of the kind Snapveil installs here, on the hook thread.
static int s_nullKind;

static void NullHook_OnHookThread(bool install)
{
    HookThread_Call(install ? [](HWND) -> LRESULT { NullHook_Start(s_nullKind); return 0; }
                            : [](HWND) -> LRESULT { s_nullUninstall(); return 0; }, NULL);
}

static double Best(double times[][2], int rounds, int variant)
{
    double best = times[0][variant];
    for (int i = 1; i < rounds; ++i)
        if (times[i][variant] < best)
            best = times[i][variant];
    return best;
}

// The median of the rounds' own ratios: each compares two runs made back to back.
static double MedianRatio(double times[][2], int rounds)
{
    double ratios[MAX_ROUNDS];
    for (int i = 0; i < rounds; ++i) {
        double r = times[i][1] / times[i][0];
        int j = i;
        for (; j > 0 && ratios[j - 1] > r; --j)
            ratios[j] = ratios[j - 1];
        ratios[j] = r;
    }
    return rounds & 1 ? ratios[rounds / 2] : (ratios[rounds / 2 - 1] + ratios[rounds / 2]) / 2;
}

static void Report(const char *what, double times[][2], int rounds, int count)
{
    double nullBest = Best(times, rounds, 0), snapveilBest = Best(times, rounds, 1);
    printf("%s: do-nothing hook %.0f/s, Snapveil %.0f/s (best rounds); time ratio best %.3f, median %.3f\n",
           what, count / nullBest, count / snapveilBest, snapveilBest / nullBest, MedianRatio(times, rounds));
}

int main(int argc, char **argv)
{
    if (!Bench_Begin())
        return 1;
    int count = argc > 1 ? atoi(argv[1]) : 2000;
    if (count <= 0)
        count = 2000;
    int rounds = argc > 2 ? atoi(argv[2]) : DEFAULT_ROUNDS;
    if (rounds <= 0 || rounds > MAX_ROUNDS)
        rounds = DEFAULT_ROUNDS;
    if (!NullHook_Load())
        return 1;
    if (!CreateBenchWindow()) {
        printf("cannot create the bench window\n");
        return 1;
    }
    HookThread_UninstallAll();
    const bool lowLevel = Platform_Is64BitWindows();
    s_nullKind = lowLevel ? WH_MOUSE_LL : WH_MOUSE;

    double moves[MAX_ROUNDS][2], presses[MAX_ROUNDS][2];
    LONG movesSeen[2] = {0, 0}, pressesSeen[2] = {0, 0};
    for (int round = 0; round < rounds; ++round) {
        // Alternate which variant goes first, so a drift in the machine's load
        // falls on both alike.
        for (int step = 0; step < 2; ++step) {
            int variant = (round & 1) ? 1 - step : step;
            if (variant == 0)
                NullHook_OnHookThread(true);
            else
                HookThread_InstallAll(g_window);
            LONG before = g_moves;
            moves[round][variant] = TimeMoves(count);
            movesSeen[variant] += g_moves - before;
            before = g_presses;
            presses[round][variant] = TimePresses(count);
            pressesSeen[variant] += g_presses - before;
            if (variant == 0)
                NullHook_OnHookThread(false);
            else
                HookThread_UninstallAll();
        }
    }
    Bench_Pump(100);
    // Taken now: the procedures timed below are called directly, and count too.
    const LONG hookCalls = s_nullCalls();

    printf("%d rounds of %d moves and %d presses (with releases), %s hooks\n", rounds, count, count,
           lowLevel ? "low-level" : "mouse");
    printf("do-nothing hook calls: %ld; messages taken: moves %ld/%ld, presses %ld/%ld\n",
           hookCalls, movesSeen[0], movesSeen[1], pressesSeen[0], pressesSeen[1]);
    Report("mouse moves ", moves, rounds, count);
    Report("left presses", presses, rounds, count);
    if (!lowLevel)   // MouseProc is what runs only where the library hooks WH_MOUSE
        ReportProcedures(s_nullProc, Best(moves, rounds, 0), Best(presses, rounds, 0), count);
    DestroyWindow(g_window);
    // The measurement only counts if the input reached the window under both hooks.
    BOOL delivered = hookCalls > 0 && movesSeen[0] > 0 && movesSeen[1] > 0 &&
                     pressesSeen[0] > 0 && pressesSeen[1] > 0;
    if (!delivered)
        printf("input did not reach the bench window\n");
    return delivered ? 0 : 1;
}
