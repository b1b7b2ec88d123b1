// Foldwright.dll as the tray program calls it: loaded by name, one call, freed.
// Inspect must bring up a shell folder window for the folder; cleaning over
// and over must leave no handle behind (every Find handle closed) and the
// library must leave the process when freed.
#include <windows.h>
#include <stdio.h>

#include "folder_paths.h"
#include "foldwright.h"

static int g_failures;

static void Check(bool ok, const char* what)
{
    printf("%s: %s\n", ok ? "ok" : "FAIL", what);
    if (!ok)
        g_failures++;
}

static bool CallTool(const char* exportName, int csidl)
{
    HMODULE library = LoadLibraryA(FOLDWRIGHT_DLL_NAME);
    if (!library)
        return false;
    FolderToolProc tool = (FolderToolProc)(void (*)(void))GetProcAddress(library, exportName);
    if (tool)
        tool(csidl);
    FreeLibrary(library);
    return tool != NULL;
}

static void WriteFile(const char* path)
{
    HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    DWORD written;
    ::WriteFile(file, "record", 6, &written, NULL);
    CloseHandle(file);
}

static void Populate(const char* folder)
{
    char path[MAX_PATH];
    for (int i = 0; i < 3; i++) {
        snprintf(path, sizeof path, "%s\\record%d.txt", folder, i);
        WriteFile(path);
        snprintf(path, sizeof path, "%s\\nested%d", folder, i);
        CreateDirectoryA(path, NULL);
        snprintf(path, sizeof path, "%s\\nested%d\\deeper", folder, i);
        CreateDirectoryA(path, NULL);
        snprintf(path, sizeof path, "%s\\nested%d\\deeper\\record.txt", folder, i);
        WriteFile(path);
    }
}

static int CountEntries(const char* folder)
{
    char pattern[MAX_PATH];
    snprintf(pattern, sizeof pattern, "%s\\*", folder);
    WIN32_FIND_DATAA entry;
    HANDLE find = FindFirstFileA(pattern, &entry);
    if (find == INVALID_HANDLE_VALUE)
        return -1;
    int count = 0;
    do {
        if (lstrcmpA(entry.cFileName, ".") && lstrcmpA(entry.cFileName, ".."))
            count++;
    } while (FindNextFileA(find, &entry));
    FindClose(find);
    return count;
}

// The value the next new handle gets. The system hands out the lowest free
// slot (Wine's GetProcessHandleCount is a stub), so a handle left open by a
// call shows as a higher value afterwards.
static ULONG_PTR NextHandleValue(void)
{
    HANDLE probe = CreateEventA(NULL, FALSE, FALSE, NULL);
    CloseHandle(probe);
    return (ULONG_PTR)probe;
}

// Bytes in use on the process heap, where the system keeps each search's
// state until FindClose (Wine closes the directory handle itself at the end
// of a search, so only the heap shows a missing FindClose there).
static SIZE_T HeapInUse(void)
{
    HANDLE heap = GetProcessHeap();
    SIZE_T total = 0;
    PROCESS_HEAP_ENTRY entry;
    entry.lpData = NULL;
    HeapLock(heap);
    while (HeapWalk(heap, &entry))
        if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY)
            total += entry.cbData;
    HeapUnlock(heap);
    return total;
}

static void CheckRepeatedCleaning(void)
{
    char folder[MAX_PATH];
    if (!FolderPaths_Resolve(0x20, folder)) {
        Check(false, "the internet cache folder resolves");
        return;
    }
    Populate(folder);
    CallTool(FOLDWRIGHT_CLEAN, 0x20);   // first use settles what the system keeps
    ULONG_PTR before = NextHandleValue();
    SIZE_T heapBefore = HeapInUse();
    bool allEmptied = true;
    for (int round = 0; round < 10; round++) {
        Populate(folder);
        CallTool(FOLDWRIGHT_CLEAN, 0x20);
        allEmptied = allEmptied && CountEntries(folder) == 0;
    }
    ULONG_PTR after = NextHandleValue();
    SIZE_T heapAfter = HeapInUse();
    printf("process heap in use before %lu bytes, after %lu\n", (unsigned long)heapBefore,
           (unsigned long)heapAfter);
    Check(heapAfter <= heapBefore, "cleaning leaves no search state behind");
    printf("next handle before %#lx, after ten cleanings %#lx\n", (unsigned long)before,
           (unsigned long)after);
    Check(allEmptied, "each cleaning empties the folder, which stays");
    Check(after <= before, "cleaning leaves no handle behind");
    Check(GetModuleHandleA(FOLDWRIGHT_DLL_NAME) == NULL, "the library leaves the process when freed");
}

// Finds a visible top-level window of another process titled as the folder.
static HWND FindFolderWindow(const char* title)
{
    HWND window = NULL;
    while ((window = FindWindowExA(NULL, window, NULL, title)) != NULL) {
        DWORD pid = 0;
        GetWindowThreadProcessId(window, &pid);
        if (pid != GetCurrentProcessId() && IsWindowVisible(window))
            return window;
    }
    return NULL;
}

static void CheckInspect(void)
{
    Check(FindFolderWindow("History") == NULL, "no history window before inspecting");
    Check(CallTool(FOLDWRIGHT_INSPECT, -1) && CallTool(FOLDWRIGHT_INSPECT, 9999),
          "inspecting unknown folders returns");
    Check(CallTool(FOLDWRIGHT_INSPECT, 0x22), "inspecting the history folder returns");
    HWND window = NULL;
    for (int i = 0; i < 200 && !window; i++) {
        window = FindFolderWindow("History");
        if (!window)
            Sleep(100);
    }
    Check(window != NULL, "a folder window for the history folder appears");
    if (!window)
        return;
    char className[64] = "";
    GetClassNameA(window, className, sizeof className);
    printf("folder window class %s\n", className);
    // Our request started that viewer: close it, and end it if it lingers.
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, pid);
    PostMessageA(window, WM_CLOSE, 0, 0);
    if (process) {
        if (WaitForSingleObject(process, 10000) != WAIT_OBJECT_0)
            TerminateProcess(process, 0);
        CloseHandle(process);
    }
}

int main()
{
    setvbuf(stdout, NULL, _IONBF, 0);
    CheckRepeatedCleaning();
    CheckInspect();
    printf("%d failed\n", g_failures);
    return g_failures ? 1 : 0;
}
