// Blocking across processes: this program installs the hooks with its own window
// as notify window, and window_probe.exe, a separate process, tries to create
// windows. Switches are set in the real registry of the test prefix.
#include <windows.h>

#include "hook_fixture.h"
#include "win_check.h"

static HWND g_notifyWindow;
static HWND CreateNotifyWindow(void)
{
    return HookFixture_CreateCountingNotifyWindow("HushpaneTestNotify");
}

static void SetSwitches(DWORD browser, DWORD messenger, DWORD tooltip, DWORD applet, DWORD flash)
{
    const DWORD values[5] = {browser, messenger, tooltip, applet, flash};
    HookFixture_WriteSwitches(values);
}

// Runs the probe on a list of classes; returns its veto mask and checks that
// exactly one notification arrived per veto.
static long Probe(const char *classes, const char *what)
{
    char line[1024];
    wsprintfA(line, "window_probe.exe %s", classes);
    g_hookFixtureNotifications = 0;
    long mask = Check_RunPumping(line, 20000, NULL);
    Check_Pump(100);
    int vetoes = 0;
    for (long m = mask; m > 0; m >>= 1)
        vetoes += (int)(m & 1);
    printf("%s: mask 0x%lx, %d notification(s)\n", what, mask, g_hookFixtureNotifications);
    CHECK(mask >= 0, "%s: probe did not finish", what);
    CHECK(g_hookFixtureNotifications == vetoes, "%s: %d notifications for %d vetoes", what,
          g_hookFixtureNotifications, vetoes);
    return mask;
}

static void TestEveryRuleAcrossProcesses(void)
{
    SetSwitches(1, 1, 1, 1, 1);
    HookFixture_InstallAll(g_notifyWindow);
    // Bits 0..11 are listed classes (case variants included); 12.. are not listed.
    long mask = Probe("IEFrame ieframe SunAwtCanvas MSAWT_Comp_Class ATL:1234 atlx "
                      "MacromediaFlashPlayerActiveX MSBLPopupMsgWClass msblpopupmsgwclass "
                      "tooltips_class32 TOOLTIPS_CLASS32 SUNAWTCANVAS "
                      "HushpanePlain AT IEFrame2 XATL",
                      "all switches on");
    CHECK(mask == 0xFFF, "listed classes vetoed, others created: mask 0x%lx", mask);
}

static void TestSwitchesOff(void)
{
    SetSwitches(0, 2, 0, 2, 0);
    HookFixture_InstallAll(g_notifyWindow);
    long mask = Probe("IEFrame SunAwtCanvas ATLx MSBLPopupMsgWClass tooltips_class32", "switches off or 2");
    CHECK(mask == 0, "nothing vetoed with switches 0 or 2: mask 0x%lx", mask);
}

static void TestOneSwitchAtATime(void)
{
    const char *classes[] = {"IEFrame", "MSBLPopupMsgWClass", "tooltips_class32", "SunAwtCanvas", "ATLfoo"};
    for (int i = 0; i < 5; ++i) {
        SetSwitches(i == 0, i == 1, i == 2, i == 3, i == 4);
        HookFixture_InstallAll(g_notifyWindow);
        long mask = Probe("IEFrame MSBLPopupMsgWClass tooltips_class32 SunAwtCanvas ATLfoo", classes[i]);
        CHECK(mask == (1L << i), "only %s vetoed: mask 0x%lx", classes[i], mask);
    }
}

static long RunReg(const char *arguments)
{
    char line[512];
    wsprintfA(line, "reg.exe %s", arguments);
    return Check_RunPumping(line, 30000, NULL);
}

// Values as other tools might leave them: only the bytes matter, of at most 4.
static void TestOddRegistryValues(void)
{
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, SETTINGS_SUBKEY);
    const char *key = "add \"HKLM\\Software\\Quorvane\\Hushpane\" /f";
    char line[256];
    wsprintfA(line, "%s /v Browser /t REG_SZ /d 1", key);
    CHECK(RunReg(line) == 0, "reg add REG_SZ");
    wsprintfA(line, "%s /v Messenger /t REG_BINARY /d 0100", key);
    CHECK(RunReg(line) == 0, "reg add REG_BINARY");
    wsprintfA(line, "%s /v Tooltip /t REG_QWORD /d 1", key);
    CHECK(RunReg(line) == 0, "reg add REG_QWORD");
    wsprintfA(line, "%s /v Applet /t REG_DWORD /d 2", key);
    CHECK(RunReg(line) == 0, "reg add REG_DWORD");

    HookFixture_InstallAll(g_notifyWindow);
    // Browser "1" reads as 0x31: off. Messenger 01 00: 1, on. Tooltip's 8 bytes
    // are ignored and carry Messenger's 1: on. Applet 2: off. Flash is missing
    // and carries Applet's 2: off.
    long mask = Probe("IEFrame MSBLPopupMsgWClass tooltips_class32 SunAwtCanvas ATLx", "odd values");
    CHECK(mask == 0x6, "only Messenger and Tooltip on: mask 0x%lx", mask);
}

static void TestMissingKeyIsCreatedEmpty(void)
{
    HookFixture_UninstallAll();
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, SETTINGS_SUBKEY);
    InstallCBTHook(g_notifyWindow);
    HKEY key;
    LONG status = RegOpenKeyExA(HKEY_LOCAL_MACHINE, SETTINGS_SUBKEY, 0, KEY_READ, &key);
    CHECK(status == ERROR_SUCCESS, "install created the key (status %ld)", status);
    if (status == ERROR_SUCCESS) {
        DWORD values = 99;
        RegQueryInfoKeyA(key, NULL, NULL, NULL, NULL, NULL, NULL, &values, NULL, NULL, NULL, NULL);
        CHECK(values == 0, "created key is empty: %lu values", values);
        RegCloseKey(key);
    }
    HookFixture_UninstallAll();
}

static void TestUninstall(void)
{
    SetSwitches(1, 1, 1, 1, 1);
    HookFixture_InstallAll(g_notifyWindow);
    CHECK(UninstallCBTHook() != 0, "first uninstall succeeds");
    CHECK(UninstallCBTHook() == 0, "second uninstall returns 0");
    long mask = Probe("IEFrame tooltips_class32", "after uninstall");
    CHECK(mask == 0, "nothing vetoed after uninstall: mask 0x%lx", mask);

    // A second install of the same hook replaces the first, so one uninstall
    // really ends the blocking.
    InstallCBTHook(g_notifyWindow);
    InstallCBTHook(g_notifyWindow);
    CHECK(UninstallCBTHook() != 0, "uninstall after double install");
    mask = Probe("IEFrame", "after double install and one uninstall");
    CHECK(mask == 0, "no orphaned hook keeps vetoing: mask 0x%lx", mask);
    HookFixture_UninstallAll();
}

// A notify window on a thread that stops answering must not hold the creating
// process forever.
static HANDLE g_releaseHungThread;

static DWORD WINAPI HungWindowThread(LPVOID parameter)
{
    HWND *out = (HWND *)parameter;
    HWND window = CreateNotifyWindow();
    *out = window;
    WaitForSingleObject(g_releaseHungThread, INFINITE);   // answers nothing meanwhile
    DestroyWindow(window);
    return 0;
}

static void TestNotifyWindowGoneOrHung(void)
{
    SetSwitches(1, 0, 0, 0, 0);
    HWND doomed = CreateNotifyWindow();
    HookFixture_InstallAll(doomed);
    DestroyWindow(doomed);
    DWORD took = 0;
    long mask = Check_RunPumping("window_probe.exe IEFrame", 20000, &took);
    printf("notify window gone: mask 0x%lx in %lu ms\n", mask, took);
    CHECK(mask == 1, "still vetoed with the notify window gone: 0x%lx", mask);

    HWND hung = NULL;
    g_releaseHungThread = CreateEventA(NULL, TRUE, FALSE, NULL);
    HANDLE thread = CreateThread(NULL, 0, HungWindowThread, &hung, 0, NULL);
    while (hung == NULL)
        Sleep(10);
    HookFixture_InstallAll(hung);
    mask = Check_RunPumping("window_probe.exe IEFrame", 20000, &took);
    printf("notify window hung: mask 0x%lx in %lu ms\n", mask, took);
    CHECK(mask == 1, "still vetoed with the notify window hung: 0x%lx", mask);
    CHECK(took < 15000, "the probe came back (took %lu ms)", took);
    HookFixture_UninstallAll();
    SetEvent(g_releaseHungThread);
    WaitForSingleObject(thread, 5000);
    CloseHandle(thread);
}

// Wine's own browser: a program nobody here wrote, whose frame is an "IEFrame".
static bool StartBrowser(PROCESS_INFORMATION *pi)
{
    char line[] = "\"C:\\Program Files\\Internet Explorer\\iexplore.exe\" about:blank";
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    return CreateProcessA(NULL, line, NULL, NULL, FALSE, 0, NULL, NULL, &si, pi) != 0;
}

static HWND FindBrowserFrame(DWORD processId)
{
    for (HWND w = FindWindowExA(NULL, NULL, "IEFrame", NULL); w; w = FindWindowExA(NULL, w, "IEFrame", NULL)) {
        DWORD owner = 0;
        GetWindowThreadProcessId(w, &owner);
        if (owner == processId)
            return w;
    }
    return NULL;
}

static void EndBrowser(PROCESS_INFORMATION *pi)
{
    TerminateProcess(pi->hProcess, 0);
    WaitForSingleObject(pi->hProcess, 10000);
    CloseHandle(pi->hThread);
    CloseHandle(pi->hProcess);
}

static void TestRealBrowser(void)
{
    SetSwitches(1, 0, 0, 0, 0);
    HookFixture_InstallAll(g_notifyWindow);
    g_hookFixtureNotifications = 0;
    PROCESS_INFORMATION pi = {};
    CHECK(StartBrowser(&pi), "iexplore.exe starts");
    DWORD start = GetTickCount();
    while (g_hookFixtureNotifications == 0 && GetTickCount() - start < 30000)
        Check_Pump(50);
    Check_Pump(1000);   // give it the chance to try again and show something
    printf("browser with blocking: %d notification(s), frame %p\n", g_hookFixtureNotifications,
           (void *)FindBrowserFrame(pi.dwProcessId));
    CHECK(g_hookFixtureNotifications >= 1, "the browser's frame was vetoed and reported");
    CHECK(FindBrowserFrame(pi.dwProcessId) == NULL, "no browser frame exists");
    EndBrowser(&pi);

    HookFixture_UninstallAll();
    CHECK(StartBrowser(&pi), "iexplore.exe starts again");
    HWND frame = NULL;
    start = GetTickCount();
    while (frame == NULL && GetTickCount() - start < 30000) {
        Check_Pump(50);
        frame = FindBrowserFrame(pi.dwProcessId);
    }
    printf("browser without hooks: frame %p after %lu ms\n", (void *)frame, GetTickCount() - start);
    CHECK(frame != NULL, "the browser's frame appears when nothing is installed");
    EndBrowser(&pi);
}

int main(void)
{
    Check_Begin();
    g_notifyWindow = CreateNotifyWindow();
    TestEveryRuleAcrossProcesses();
    TestSwitchesOff();
    TestOneSwitchAtATime();
    TestOddRegistryValues();
    TestMissingKeyIsCreatedEmpty();
    TestUninstall();
    TestNotifyWindowGoneOrHung();
    TestRealBrowser();
    HookFixture_UninstallAll();
    return Check_End();
}
