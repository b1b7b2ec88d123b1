// The "Blocked Windows" window. Sandboxed programs can write the record of
// blocks too, so what it holds is only ever shown, cut to its sizes, and a
// program is left alone only when the user asks for the row he chose.
#include <windows.h>
#include <commctrl.h>
#include "blocked_windows.h"
#include "block_log.h"
#include "creation_rules.h"
#include "hook_thread.h"
#include "platform_version.h"
#include "program_state.h"
#include "resource_ids.h"

#define WM_BLOCKED_REFRESH (WM_APP + 2)

// Named after the switches' check boxes, by BlockRule.
static const char *const RULE_KINDS[] = {
    "", "Browser popup", "Messenger alert", "Tooltip", "Java applet", "Flash player",
};
static_assert(sizeof RULE_KINDS / sizeof RULE_KINDS[0] == BLOCK_RULE_COUNT, "a kind for every rule");

struct ListColumn {
    const char *title;
    int width;
};
static const ListColumn COLUMNS[] = {{"Time", 60}, {"Kind", 95}, {"Program", 110}, {"Window class", 150}};
#define COLUMN_COUNT ((int)(sizeof COLUMNS / sizeof COLUMNS[0]))

static const char NOTE_NOT_WRITABLE[] = "Only an administrator may change which programs are left alone.";
static const char NOTE_CUT[] = "Part of the stored list could not be read and is left out.";
static const char NOTE_FULL[] = "The list is full: block a program again before leaving another alone.";

static HWND s_window;
static const struct BlockLog *s_log;
static struct BlockEntry s_shown[BLOCK_LOG_SLOTS];
static uint32_t s_shownCount;
static struct ExceptionTable s_exceptions;
static bool s_exceptionsFixed;

// Read-only: the tray acts on nothing in the record by itself.
static const struct BlockLog *BlockedWindows_MapRecord(void)
{
    const char *name = Session_ObjectName(&BLOCK_RECORD, Platform_HasOwnNamespace());
    HANDLE mapping = OpenFileMappingA(FILE_MAP_READ, FALSE, name);
    if (mapping == NULL)
        return NULL;
    const void *view = MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, sizeof(struct BlockLog));
    CloseHandle(mapping);   // the view keeps the record
    return (const struct BlockLog *)view;
}

// Hours, minutes and seconds, local time, of a tick some time ago.
static void BlockedWindows_FormatTime(uint32_t tick, char *text)
{
    SYSTEMTIME now;
    FILETIME file;
    GetLocalTime(&now);
    SystemTimeToFileTime(&now, &file);
    ULARGE_INTEGER at;
    at.LowPart = file.dwLowDateTime;
    at.HighPart = file.dwHighDateTime;
    at.QuadPart -= (ULONGLONG)(GetTickCount() - tick) * 10000u;   // milliseconds to 100 ns
    file.dwLowDateTime = at.LowPart;
    file.dwHighDateTime = at.HighPart;
    SYSTEMTIME then;
    FileTimeToSystemTime(&file, &then);
    wsprintfA(text, "%02u:%02u:%02u", then.wHour, then.wMinute, then.wSecond);
}

static void BlockedWindows_SetCell(HWND list, int row, int column, const char *text)
{
    LVITEMA item = {};
    item.mask = LVIF_TEXT;
    item.iItem = row;
    item.iSubItem = column;
    item.pszText = (LPSTR)text;
    if (column == 0)
        SendMessageA(list, LVM_INSERTITEMA, 0, (LPARAM)&item);
    else
        SendMessageA(list, LVM_SETITEMTEXTA, (WPARAM)row, (LPARAM)&item);
}

// The selection follows its entry across a refresh.
static void BlockedWindows_FillBlocks(void)
{
    HWND list = GetDlgItem(s_window, IDC_BLOCKED_LIST);
    const int selected = ListView_GetNextItem(list, -1, LVNI_SELECTED);
    const uint32_t selectedSequence = selected >= 0 && (uint32_t)selected < s_shownCount ? s_shown[selected].sequence : 0;
    s_shownCount = s_log ? BlockLog_ReadNewestFirst(s_log, s_shown, BLOCK_RULE_COUNT) : 0;
    SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    ListView_DeleteAllItems(list);
    for (uint32_t row = 0; row < s_shownCount; ++row) {
        const struct BlockEntry *entry = &s_shown[row];
        char time[16];
        BlockedWindows_FormatTime(entry->tick, time);
        const char *cells[COLUMN_COUNT] = {time, RULE_KINDS[entry->rule], entry->program, entry->className};
        for (int column = 0; column < COLUMN_COUNT; ++column)
            BlockedWindows_SetCell(list, (int)row, column, cells[column]);
        if (entry->sequence == selectedSequence)
            ListView_SetItemState(list, (int)row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    }
    SendMessageA(list, WM_SETREDRAW, TRUE, 0);
}

static void BlockedWindows_FillExceptions(uint32_t cut)
{
    HWND list = GetDlgItem(s_window, IDC_EXEMPT_LIST);
    SendMessageA(list, LB_RESETCONTENT, 0, 0);
    for (uint32_t i = 0; i < s_exceptions.count; ++i)
        SendMessageA(list, LB_ADDSTRING, 0, (LPARAM)s_exceptions.names[i]);
    const char *note = s_exceptionsFixed ? NOTE_NOT_WRITABLE : cut ? NOTE_CUT : "";
    SetDlgItemTextA(s_window, IDC_BLOCKED_NOTE, note);
}

// Stores the list, then has the hook thread reload it: every hooked program
// of both bitnesses leaves the program alone, or blocks it, from its next window on.
static void BlockedWindows_StoreExceptions(void)
{
    if (Settings_WriteExceptions(&s_exceptions) == 0)
        HookThread_ReloadExceptions();
    BlockedWindows_FillExceptions(Settings_LoadExceptions(&s_exceptions));
}

static void BlockedWindows_OnLeaveAlone(void)
{
    const int row = ListView_GetNextItem(GetDlgItem(s_window, IDC_BLOCKED_LIST), -1, LVNI_SELECTED);
    if (row < 0 || (uint32_t)row >= s_shownCount || !Exceptions_IsValidName(s_shown[row].program))
        return;
    if (!Exceptions_Add(&s_exceptions, s_shown[row].program)) {
        SetDlgItemTextA(s_window, IDC_BLOCKED_NOTE, NOTE_FULL);
        return;
    }
    BlockedWindows_StoreExceptions();
}

static void BlockedWindows_OnBlockAgain(void)
{
    HWND list = GetDlgItem(s_window, IDC_EXEMPT_LIST);
    const LRESULT index = SendMessageA(list, LB_GETCURSEL, 0, 0);
    if (index < 0 || (uint32_t)index >= s_exceptions.count)
        return;
    char name[EXCEPTION_NAME_SIZE];
    lstrcpynA(name, s_exceptions.names[index], sizeof name);
    Exceptions_Remove(&s_exceptions, name);
    BlockedWindows_StoreExceptions();
}

// Who may change the switches may change the list.
static void BlockedWindows_OnInit(HWND window)
{
    s_window = window;
    if (s_log == NULL)
        s_log = BlockedWindows_MapRecord();
    HWND list = GetDlgItem(window, IDC_BLOCKED_LIST);
    SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
    for (int i = 0; i < COLUMN_COUNT; ++i) {
        LVCOLUMNA column = {};
        column.mask = LVCF_TEXT | LVCF_WIDTH;
        column.pszText = (LPSTR)COLUMNS[i].title;
        column.cx = COLUMNS[i].width;
        SendMessageA(list, LVM_INSERTCOLUMNA, (WPARAM)i, (LPARAM)&column);
    }
    s_exceptionsFixed = !Settings_IsWritable(SETTINGS_SUBKEY);
    EnableWindow(GetDlgItem(window, IDC_LEAVE_ALONE), !s_exceptionsFixed);
    EnableWindow(GetDlgItem(window, IDC_BLOCK_AGAIN), !s_exceptionsFixed);
    BlockedWindows_FillBlocks();
    BlockedWindows_FillExceptions(Settings_LoadExceptions(&s_exceptions));
}

static INT_PTR CALLBACK BlockedWindows_Procedure(HWND window, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        BlockedWindows_OnInit(window);
        return TRUE;
    case WM_BLOCKED_REFRESH:
        BlockedWindows_FillBlocks();
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_LEAVE_ALONE:
            BlockedWindows_OnLeaveAlone();
            return TRUE;
        case IDC_BLOCK_AGAIN:
            BlockedWindows_OnBlockAgain();
            return TRUE;
        case IDCANCEL:
            DestroyWindow(window);
            return TRUE;
        }
        return FALSE;
    case WM_DESTROY:
        s_window = NULL;
        return TRUE;
    }
    return FALSE;
}

void BlockedWindows_Open(HWND owner)
{
    if (s_window == NULL)
        CreateDialogParamA(g_module, MAKEINTRESOURCEA(IDD_BLOCKED_WINDOWS), owner, BlockedWindows_Procedure, 0);
    if (s_window != NULL) {
        ShowWindow(s_window, SW_SHOWNORMAL);
        SetForegroundWindow(s_window);
    }
}

void BlockedWindows_OnPopupBlocked(void)
{
    if (s_window != NULL)
        PostMessageA(s_window, WM_BLOCKED_REFRESH, 0, 0);
}

bool BlockedWindows_IsDialogMessage(MSG *message)
{
    return s_window != NULL && IsDialogMessageA(s_window, message);
}
