// A stand-in for the settings window's browser records lists, for
// tests/wine/records_tools.sh: two sorted drop-down lists (ids 1000, 1001)
// whose window procedure hands CBN_SELCHANGE to RecordsTools_OnSelectionChange,
// exactly as the settings window does. It reports on stdout (unbuffered):
//   ready HWND inspect=X,Y,W,H delete=X,Y,W,H item=HEIGHT   (screen pixels)
//   selchange ID INDEX / handled ID INDEX popups=N          around each call
//   dropdown ID / closeup ID                 a list's drop-down shows on screen, closes
//   box owner=0|1 default=ID yes=0|1 no=0|1 cancel=0|1 caption=C text=T  for each message
//       box the handler shows (CR and LF printed as \r and \n)
// Built with FOLDWRIGHT_STANDIN it is instead a Foldwright.dll stand-in that
// only leaves "<its own file>.loaded" beside itself when loaded.
#include <windows.h>
#ifdef FOLDWRIGHT_STANDIN
extern "C" BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID)
{
    char mark[MAX_PATH + 8];
    DWORD n = GetModuleFileNameA(module, mark, MAX_PATH);
    if (reason == DLL_PROCESS_ATTACH && n > 0 && n < MAX_PATH)
        CloseHandle(CreateFileA(lstrcatA(mark, ".loaded"), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL));
    return TRUE;
}
#else
#include <stdio.h>
#include <string.h>

#include "records_tools.h"
#include "resource_ids.h"

static HWND g_window;
static DWORD g_windowThread;
static HWND g_lists[2];
static HWND g_dropDowns[2];
static const int LIST_IDS[2] = {IDC_INSPECT_LIST, IDC_DELETE_LIST};

// The items go in out of order: the sorted lists must put them in the order
// the handler's table expects.
static void FillList(HWND list, int listId)
{
    const int order[RECORDS_FOLDER_COUNT] = {2, 0, 3, 1};
    for (int i = 0; i < RECORDS_FOLDER_COUNT; i++) {
        LRESULT item = SendMessageA(list, CB_ADDSTRING, 0, (LPARAM)RecordsTools_ItemText(listId, order[i]));
        SendMessageA(list, CB_SETITEMDATA, item, order[i]);
    }
    SendMessageA(list, CB_SETCURSEL, 0, 0);
}

static BOOL CALLBACK CountPopup(HWND window, LPARAM count)
{
    if (window != g_window && IsWindowVisible(window))
        ++*(int*)count;
    return TRUE;
}

static void PrintEscaped(const char* text)
{
    for (; *text; text++) {
        if (*text == '\r')
            fputs("\\r", stdout);
        else if (*text == '\n')
            fputs("\\n", stdout);
        else
            fputc(*text, stdout);
    }
}

static BOOL CALLBACK FindBox(HWND window, LPARAM found)
{
    char className[32];
    if (IsWindowVisible(window) && GetClassNameA(window, className, sizeof className) &&
        strcmp(className, "#32770") == 0) {
        *(HWND*)found = window;
        return FALSE;
    }
    return TRUE;
}

static void ReportBox(HWND box)
{
    char caption[128] = "", text[512] = "";
    GetWindowTextA(box, caption, sizeof caption);
    GetDlgItemTextA(box, 0xFFFF, text, sizeof text);   // the message box's text control
    // Wine's message box does not answer DM_GETDEFID; the button style tells.
    int defaultId = 0;
    for (int id = IDOK; id <= IDNO; id++) {
        HWND button = GetDlgItem(box, id);
        if (button && (GetWindowLongA(button, GWL_STYLE) & 0x0F) == BS_DEFPUSHBUTTON)
            defaultId = id;
    }
    printf("box owner=%d default=%d yes=%d no=%d cancel=%d caption=%s text=",
           GetWindow(box, GW_OWNER) == g_window, defaultId,
           GetDlgItem(box, IDYES) != NULL, GetDlgItem(box, IDNO) != NULL,
           GetDlgItem(box, IDCANCEL) != NULL, caption);
    PrintEscaped(text);
    printf("\n");
}

// Watches the window's thread for message boxes and describes each once, and
// tells when a list's drop-down is on screen (its notification comes before).
static DWORD WINAPI WatchBoxes(LPVOID)
{
    HWND reported = NULL;
    bool dropped[2] = {false, false};
    for (;;) {
        for (int i = 0; i < 2; i++) {
            if (IsWindowVisible(g_dropDowns[i]) && !dropped[i])
                printf("dropdown %d\n", LIST_IDS[i]);
            dropped[i] = IsWindowVisible(g_dropDowns[i]) != FALSE;
        }
        HWND box = NULL;
        EnumThreadWindows(g_windowThread, FindBox, (LPARAM)&box);
        if (box && box != reported)
            ReportBox(box);
        reported = box;
        Sleep(50);
    }
    return 0;
}

static void OnSelectionChange(HWND window, int listId, HWND list)
{
    int index = (int)SendMessageA(list, CB_GETCURSEL, 0, 0);
    printf("selchange %d %d\n", listId, index);
    RecordsTools_OnSelectionChange(window, listId, list);
    int popups = 0;
    EnumThreadWindows(g_windowThread, CountPopup, (LPARAM)&popups);
    printf("handled %d %d popups=%d\n", listId, index, popups);
}

static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND:
        if (HIWORD(wParam) == CBN_SELCHANGE)
            OnSelectionChange(window, LOWORD(wParam), (HWND)lParam);
        else if (HIWORD(wParam) == CBN_CLOSEUP)
            printf("closeup %d\n", LOWORD(wParam));
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

static void PrintRect(const char* name, HWND control)
{
    RECT r;
    GetWindowRect(control, &r);
    printf(" %s=%ld,%ld,%ld,%ld", name, r.left, r.top, r.right - r.left, r.bottom - r.top);
}

int main()
{
    setvbuf(stdout, NULL, _IONBF, 0);
    RecordsTools_KeepCurrentDirectoryOutOfSearch();   // as the program's start does
    HINSTANCE instance = GetModuleHandleA(NULL);
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursor(NULL, IDC_ARROW);
    windowClass.hbrBackground = (HBRUSH)(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = "RecordsToolsTestWindow";
    RegisterClassA(&windowClass);
    g_window = CreateWindowA("RecordsToolsTestWindow", "Records tools test",
                             WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_VISIBLE,
                             100, 100, 420, 200, NULL, NULL, instance, NULL);
    g_windowThread = GetCurrentThreadId();
    for (int i = 0; i < 2; i++) {
        g_lists[i] = CreateWindowA("COMBOBOX", "",
                                   WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL |
                                       CBS_DROPDOWNLIST | CBS_SORT,
                                   20 + 200 * i, 20, 180, 200, g_window,
                                   (HMENU)(INT_PTR)LIST_IDS[i], instance, NULL);
        SendMessageA(g_lists[i], WM_SETFONT, (WPARAM)GetStockObject(DEFAULT_GUI_FONT), TRUE);
        FillList(g_lists[i], LIST_IDS[i]);
        COMBOBOXINFO info = {sizeof info};
        GetComboBoxInfo(g_lists[i], &info);
        g_dropDowns[i] = info.hwndList;
    }
    for (int i = 0; i < 2; i++)
        for (int index = 0; index < RECORDS_FOLDER_COUNT; index++) {
            char item[64] = "";
            SendMessageA(g_lists[i], CB_GETLBTEXT, index, (LPARAM)item);
            if (strcmp(item, RecordsTools_ItemText(LIST_IDS[i], index)) != 0)
                printf("order list %d index %d shows '%s'\n", LIST_IDS[i], index, item);
        }
    UpdateWindow(g_window);
    CloseHandle(CreateThread(NULL, 0, WatchBoxes, NULL, 0, NULL));
    printf("ready %lu", (unsigned long)(ULONG_PTR)g_window);
    PrintRect("inspect", g_lists[0]);
    PrintRect("delete", g_lists[1]);
    printf(" item=%d\n", (int)SendMessageA(g_lists[0], CB_GETITEMHEIGHT, 0, 0));
    MSG message;
    while (GetMessageA(&message, NULL, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    printf("exit\n");
    return 0;
}
#endif
