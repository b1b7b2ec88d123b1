// The shared filter state and the library's entry point.
#include "shared_state.h"
#include "session_namespace.h"

struct SharedFilterState *g_state;
HINSTANCE g_module;
GetAncestorFn g_getAncestor;

static HANDLE s_mapping;

// The double-click time is added to, so a triple click spread over a little
// more than two double-click spans still counts as rapid.
#define CLICK_INTERVAL_SLACK_MS 500u

// One record per session: each user's tray program, hooks and clicks are his
// own.
#define STATE_NAME_SESSION "Local\\SnapveilFilterState"
#define STATE_NAME_PLAIN   "SnapveilFilterState"

// A function the running system may lack, from a module already loaded.
typedef void (*AnyFunction)(void);
static AnyFunction SystemFunction(const char *module, const char *name)
{
    return (AnyFunction)GetProcAddress(GetModuleHandleA(module), name);
}

static void ReadVersion(OSVERSIONINFOA *info)
{
    info->dwOSVersionInfoSize = sizeof *info;
    info->dwPlatformId = VER_PLATFORM_WIN32_NT;
    info->dwMajorVersion = 0;
    GetVersionExA(info);
}

// Browsers in protected mode run at low integrity (Vista on) and may not
// write to objects of the default, medium label. The label goes in at
// creation, so there is no moment when the record is unlabelled; the access
// list stays the creator's default, which keeps other users out. Wine has no
// integrity levels, so this runs only on Windows itself.
typedef BOOL (WINAPI *InitializeSecurityDescriptorFn)(PSECURITY_DESCRIPTOR, DWORD);
typedef BOOL (WINAPI *InitializeAclFn)(PACL, DWORD, DWORD);
typedef BOOL (WINAPI *AddMandatoryAceFn)(PACL, DWORD, DWORD, DWORD, PSID);
typedef BOOL (WINAPI *SetSecurityDescriptorSaclFn)(PSECURITY_DESCRIPTOR, BOOL, PACL, BOOL);

static SECURITY_DESCRIPTOR s_lowLabel;
static DWORD s_lowLabelAcl[16];   // an ACL with one mandatory label ACE: 28 bytes
static SID s_lowIntegrity = {SID_REVISION, 1, SECURITY_MANDATORY_LABEL_AUTHORITY,
                             {SECURITY_MANDATORY_LOW_RID}};

static SECURITY_ATTRIBUTES *LowLabelAttributes(SECURITY_ATTRIBUTES *attributes)
{
    InitializeSecurityDescriptorFn initDescriptor = (InitializeSecurityDescriptorFn)
        SystemFunction("advapi32.dll", "InitializeSecurityDescriptor");
    InitializeAclFn initAcl = (InitializeAclFn)SystemFunction("advapi32.dll", "InitializeAcl");
    AddMandatoryAceFn addLabel =
        (AddMandatoryAceFn)SystemFunction("advapi32.dll", "AddMandatoryAce");
    SetSecurityDescriptorSaclFn setSacl = (SetSecurityDescriptorSaclFn)
        SystemFunction("advapi32.dll", "SetSecurityDescriptorSacl");
    PACL acl = (PACL)s_lowLabelAcl;
    if (!initDescriptor || !initAcl || !addLabel || !setSacl ||
        !initDescriptor(&s_lowLabel, SECURITY_DESCRIPTOR_REVISION) ||
        !initAcl(acl, sizeof s_lowLabelAcl, ACL_REVISION) ||
        !addLabel(acl, ACL_REVISION, 0, SYSTEM_MANDATORY_LABEL_NO_WRITE_UP, &s_lowIntegrity) ||
        !setSacl(&s_lowLabel, TRUE, acl, FALSE))
        return NULL;
    attributes->nLength = sizeof *attributes;
    attributes->lpSecurityDescriptor = &s_lowLabel;
    attributes->bInheritHandle = FALSE;
    return attributes;
}

// Opens the session's record, or creates it zero-filled when this process is
// the session's first.
static void State_Map(const OSVERSIONINFOA *version)
{
    const bool hasSessions = Session_HasOwnNamespace(version->dwPlatformId, version->dwMajorVersion);
    SECURITY_ATTRIBUTES attributes;
    SECURITY_ATTRIBUTES *security = NULL;
    if (version->dwPlatformId == VER_PLATFORM_WIN32_NT && version->dwMajorVersion >= 6)
        security = LowLabelAttributes(&attributes);
    s_mapping = CreateFileMappingA(INVALID_HANDLE_VALUE, security, PAGE_READWRITE, 0,
                                   sizeof(struct SharedFilterState),
                                   hasSessions ? STATE_NAME_SESSION : STATE_NAME_PLAIN);
    if (s_mapping == NULL)
        return;
    g_state = (struct SharedFilterState *)MapViewOfFile(s_mapping, FILE_MAP_WRITE, 0, 0,
                                                         sizeof(struct SharedFilterState));
}

static void State_Unmap(void)
{
    struct SharedFilterState *state = g_state;
    g_state = NULL;
    if (state)
        UnmapViewOfFile(state);
    if (s_mapping)
        CloseHandle(s_mapping);
    s_mapping = NULL;
}

// Every call, in every process, refreshes the per-process handle and the two
// platform facts, so a changed double-click time is picked up at the next
// thread start. Only attach and detach touch the mapping.
extern "C" BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID reserved)
{
    (void)reserved;
    OSVERSIONINFOA version;
    ReadVersion(&version);
    g_module = module;
    if (reason == DLL_PROCESS_ATTACH) {
        State_Map(&version);
        g_getAncestor = (GetAncestorFn)SystemFunction("user32.dll", "GetAncestor");
    }
    struct SharedFilterState *state = g_state;
    if (state) {
        state->override.clickInterval = GetDoubleClickTime() + CLICK_INTERVAL_SLACK_MS;
        state->isWin9x = version.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS ? 1 : 0;
    }
    if (reason == DLL_PROCESS_DETACH)
        State_Unmap();
    return TRUE;
}
