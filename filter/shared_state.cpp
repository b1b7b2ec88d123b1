// The session's records and the library's entry point.
#include "shared_state.h"
#include "platform_version.h"
#include "session_namespace.h"
#include "session_security.h"

const struct FilterSettings *g_settings;
struct OverrideState *g_input;
struct BlockLog *g_blockLog;
char g_ownProgram[BLOCK_PROGRAM_SIZE];
HINSTANCE g_module;
GetAncestorFn g_getAncestor;

// Held until detach: a view keeps a record's memory, but only an open
// handle keeps its name, by which the session's other processes find it.
static HANDLE s_settingsMapping;
static HANDLE s_inputMapping;
static HANDLE s_blockMapping;
static struct FilterSettings *s_writableSettings;
static bool s_hasSessions;

static const char *State_Name(const SessionObjectName *name)
{
    return Session_ObjectName(name, s_hasSessions);
}

// Opens the session's record with the access asked for, or creates it
// zero-filled when this process is the session's first, with the session
// objects' access list (and the low label for the input record).
static void *State_Map(const SessionObjectName *name, DWORD size, DWORD access, bool lowLabel, bool isNT,
                       HANDLE *mapping)
{
    *mapping = OpenFileMappingA(access, FALSE, State_Name(name));
    if (*mapping == NULL) {
        SECURITY_ATTRIBUTES attributes;
        SECURITY_ATTRIBUTES *security =
            isNT ? SessionSecurity_Attributes(&attributes, SECTION_ALL_ACCESS, lowLabel) : NULL;
        *mapping = CreateFileMappingA(INVALID_HANDLE_VALUE, security, PAGE_READWRITE, 0, size,
                                      State_Name(name));
    }
    return *mapping ? MapViewOfFile(*mapping, access, 0, 0, size) : NULL;
}

struct FilterSettings *State_WritableSettings(void)
{
    if (s_writableSettings == NULL && g_settings != NULL) {
        HANDLE mapping = OpenFileMappingA(FILE_MAP_WRITE, FALSE, State_Name(&FILTER_STATE_RECORD));
        if (mapping) {
            s_writableSettings = (struct FilterSettings *)MapViewOfFile(
                mapping, FILE_MAP_WRITE, 0, 0, sizeof(struct FilterSettings));
            CloseHandle(mapping);   // the view keeps the record
        }
    }
    return s_writableSettings;
}

static void State_Unmap(void)
{
    // On 9x the settings record's one view is both.
    const void *views[] = {g_settings, g_input, g_blockLog,
                           s_writableSettings != g_settings ? s_writableSettings : NULL};
    g_settings = NULL;
    g_input = NULL;
    g_blockLog = NULL;
    s_writableSettings = NULL;
    for (const void *view : views)
        if (view)
            UnmapViewOfFile(view);
    HANDLE *mappings[] = {&s_settingsMapping, &s_inputMapping, &s_blockMapping};
    for (HANDLE *mapping : mappings) {
        if (*mapping)
            CloseHandle(*mapping);
        *mapping = NULL;
    }
}

// On Windows 95, 98 and Me every view of a mapping lives in the one shared
// arena, and a later view of the same record may come back at the first
// one's address with its protection: the settings record is mapped once, for
// writing, and that view serves both (read-only protects nothing there).
static void State_MapRecords(void)
{
    const bool isNT = Platform_Version()->platformId == VER_PLATFORM_WIN32_NT;
    const bool isWindows9x = Platform_IsWindows9x();
    s_hasSessions = Platform_HasOwnNamespace();
    // An AppContainer's "Local\" is its own: creating the records there would
    // only make empty ones. Without them the hooks pass everything on.
    if (isNT && SessionSecurity_IsAppContainer())
        return;
    g_settings = (const struct FilterSettings *)State_Map(
        &FILTER_STATE_RECORD, sizeof(struct FilterSettings), isWindows9x ? FILE_MAP_WRITE : FILE_MAP_READ,
        false, isNT, &s_settingsMapping);
    if (isWindows9x)
        s_writableSettings = (struct FilterSettings *)g_settings;
    g_input = (struct OverrideState *)State_Map(&INPUT_STATE_RECORD, sizeof(struct OverrideState),
                                                FILE_MAP_WRITE, true, isNT, &s_inputMapping);
    // Low label too: a sandboxed browser's vetoes are recorded as well.
    g_blockLog = (struct BlockLog *)State_Map(&BLOCK_RECORD, sizeof(struct BlockLog), FILE_MAP_WRITE, true,
                                              isNT, &s_blockMapping);
}

// The file name alone, cut to its room; "" where the system will not say.
static void State_LearnOwnProgram(void)
{
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(NULL, path, sizeof path);
    if (length == 0 || length >= sizeof path)
        return;
    Exceptions_CopyFileName(path, g_ownProgram, sizeof g_ownProgram);
}

// Attach and detach only: thread starts and ends are not even reported, so
// no thread of a hooked process waits on this library nor becomes a GUI
// thread through it.
extern "C" BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID reserved)
{
    (void)reserved;
    if (reason == DLL_PROCESS_ATTACH) {
        g_module = module;
        DisableThreadLibraryCalls(module);
        State_MapRecords();
        State_LearnOwnProgram();
        g_getAncestor = (GetAncestorFn)(void (*)(void))GetProcAddress(GetModuleHandleA("user32.dll"),
                                                                      "GetAncestor");
    }
    if (reason == DLL_PROCESS_DETACH)
        State_Unmap();
    return TRUE;
}
