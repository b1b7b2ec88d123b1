// The session objects' security descriptor, built in static storage (the
// hook library allocates nothing). Every call here is looked up at run time:
// Windows 95 has none of them, and mandatory labels exist only from Vista on.
#include "session_security.h"

typedef BOOL(WINAPI *OpenProcessTokenFn)(HANDLE, DWORD, PHANDLE);
typedef BOOL(WINAPI *GetTokenInformationFn)(HANDLE, TOKEN_INFORMATION_CLASS, LPVOID, DWORD, PDWORD);
typedef BOOL(WINAPI *InitializeSecurityDescriptorFn)(PSECURITY_DESCRIPTOR, DWORD);
typedef BOOL(WINAPI *InitializeAclFn)(PACL, DWORD, DWORD);
typedef BOOL(WINAPI *AddAccessAllowedAceFn)(PACL, DWORD, DWORD, PSID);
typedef BOOL(WINAPI *SetSecurityDescriptorDaclFn)(PSECURITY_DESCRIPTOR, BOOL, PACL, BOOL);
typedef BOOL(WINAPI *AddMandatoryAceFn)(PACL, DWORD, DWORD, DWORD, PSID);
typedef BOOL(WINAPI *SetSecurityDescriptorSaclFn)(PSECURITY_DESCRIPTOR, BOOL, PACL, BOOL);

static SECURITY_DESCRIPTOR s_descriptor;
static DWORD s_tokenUser[32];   // TOKEN_USER and the SID it points to
static DWORD s_dacl[32];        // two allowed ACEs, each of at most 8 + 68 bytes
static DWORD s_sacl[8];         // one mandatory label ACE: 28 bytes
static SID s_system = {SID_REVISION, 1, SECURITY_NT_AUTHORITY, {SECURITY_LOCAL_SYSTEM_RID}};
static SID s_lowIntegrity = {SID_REVISION, 1, SECURITY_MANDATORY_LABEL_AUTHORITY,
                             {SECURITY_MANDATORY_LOW_RID}};

typedef void (*AnyFunction)(void);
static AnyFunction SessionSecurity_Function(const char *name)
{
    return (AnyFunction)GetProcAddress(GetModuleHandleA("advapi32.dll"), name);
}

// One class of this process's token into buffer; false where it cannot be had.
static bool SessionSecurity_QueryToken(TOKEN_INFORMATION_CLASS tokenClass, void *buffer, DWORD size)
{
    OpenProcessTokenFn openToken = (OpenProcessTokenFn)SessionSecurity_Function("OpenProcessToken");
    GetTokenInformationFn tokenInformation =
        (GetTokenInformationFn)SessionSecurity_Function("GetTokenInformation");
    HANDLE token;
    if (!openToken || !tokenInformation || !openToken(GetCurrentProcess(), TOKEN_QUERY, &token))
        return false;
    DWORD needed = 0;
    BOOL read = tokenInformation(token, tokenClass, buffer, size, &needed);
    CloseHandle(token);
    return read != 0;
}

// The user the process runs as; the same SID elevated or not.
static PSID SessionSecurity_TokenUser(void)
{
    return SessionSecurity_QueryToken(TokenUser, s_tokenUser, sizeof s_tokenUser)
               ? ((TOKEN_USER *)s_tokenUser)->User.Sid : NULL;
}

// Windows 8 on answers TokenIsAppContainer; older systems refuse the class.
bool SessionSecurity_IsAppContainer(void)
{
    DWORD isContainer = 0;
    return SessionSecurity_QueryToken(TokenIsAppContainer, &isContainer, sizeof isContainer) &&
           isContainer != 0;
}

// Protected-mode browser tabs run at low integrity, and a low label is what
// lets them write. Before Vista AddMandatoryAce is missing: nothing to do.
static bool SessionSecurity_AddLowLabel(void)
{
    AddMandatoryAceFn addLabel = (AddMandatoryAceFn)SessionSecurity_Function("AddMandatoryAce");
    SetSecurityDescriptorSaclFn setSacl =
        (SetSecurityDescriptorSaclFn)SessionSecurity_Function("SetSecurityDescriptorSacl");
    InitializeAclFn initAcl = (InitializeAclFn)SessionSecurity_Function("InitializeAcl");
    PACL sacl = (PACL)s_sacl;
    if (!addLabel || !setSacl)
        return true;
    return initAcl(sacl, sizeof s_sacl, ACL_REVISION) &&
           addLabel(sacl, ACL_REVISION, 0, SYSTEM_MANDATORY_LABEL_NO_WRITE_UP, &s_lowIntegrity) &&
           setSacl(&s_descriptor, TRUE, sacl, FALSE);
}

SECURITY_ATTRIBUTES *SessionSecurity_Attributes(SECURITY_ATTRIBUTES *attributes, DWORD fullAccess,
                                                bool lowLabel)
{
    InitializeSecurityDescriptorFn initDescriptor =
        (InitializeSecurityDescriptorFn)SessionSecurity_Function("InitializeSecurityDescriptor");
    InitializeAclFn initAcl = (InitializeAclFn)SessionSecurity_Function("InitializeAcl");
    AddAccessAllowedAceFn allow = (AddAccessAllowedAceFn)SessionSecurity_Function("AddAccessAllowedAce");
    SetSecurityDescriptorDaclFn setDacl =
        (SetSecurityDescriptorDaclFn)SessionSecurity_Function("SetSecurityDescriptorDacl");
    PSID user = SessionSecurity_TokenUser();
    PACL dacl = (PACL)s_dacl;
    if (!initDescriptor || !initAcl || !allow || !setDacl || !user ||
        !initDescriptor(&s_descriptor, SECURITY_DESCRIPTOR_REVISION) ||
        !initAcl(dacl, sizeof s_dacl, ACL_REVISION) || !allow(dacl, ACL_REVISION, fullAccess, user) ||
        !allow(dacl, ACL_REVISION, fullAccess, &s_system) || !setDacl(&s_descriptor, TRUE, dacl, FALSE) ||
        (lowLabel && !SessionSecurity_AddLowLabel()))
        return NULL;
    attributes->nLength = sizeof *attributes;
    attributes->lpSecurityDescriptor = &s_descriptor;
    attributes->bInheritHandle = FALSE;
    return attributes;
}
