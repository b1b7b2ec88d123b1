// The path decisions behind folder cleaning: which folders may be emptied at
// all. A wrong "yes" here deletes user data, so the cases lean on the edges.
#include <stdio.h>
#include <string.h>

#include "clean_rules.h"

static int g_failures;

static void Check(bool ok, const char* what, const char* detail)
{
    printf("%s: %s [%s]\n", ok ? "ok" : "FAIL", what, detail);
    if (!ok)
        g_failures++;
}

static void CheckFolderNumbers(void)
{
    const int accepted[] = {0x21, 0x06, 0x22, 0x20};
    for (int csidl : accepted)
        Check(CleanRules_IsCleanableFolder(csidl), "browser folder accepted", "");
    const int refused[] = {0x24, 0x28, 0x00, -1, 9999, 0x05, 0x1A, 0x10, 0x25, 0x26, 0x21 | 0x8000};
    for (int csidl : refused) {
        char number[16];
        snprintf(number, sizeof number, "%#x", csidl);
        Check(!CleanRules_IsCleanableFolder(csidl), "other folder number refused", number);
    }
}

static void CheckPathShapes(void)
{
    const char* refused[] = {
        "", "C:", "C:\\", "C:\\\\", "c:\\", "\\\\server\\share", "\\\\server\\share\\",
        "Cookies", "C:Cookies", "\\Cookies", "\\\\server", "\\\\server\\", "\\\\\\share\\x",
        "C:/Users/ann/Cookies", "C:\\Users\\ann/Cookies", "C:\\Users\\..\\Cookies",
        "C:\\Users\\ann\\Cookies\\..", "C:\\Users\\.\\ann", "\\\\?\\C:\\Users\\ann\\Cookies",
        "\\\\.\\C:\\Users", "1:\\x", "C:\\Users\\ann\\...", "C:\\Users\\ann\\Cookies. ",
        "C:\\Users\\ann \\Cookies",
    };
    for (const char* path : refused)
        Check(!CleanRules_IsPathCleanable(path, NULL, 0), "root, relative or odd path refused", path);
    const char* accepted[] = {
        "C:\\WINDOWS\\COOKIES", "C:\\Users\\ann\\AppData\\Local\\Microsoft\\Windows\\INetCache",
        "C:\\Users\\ann\\Favorites\\", "\\\\server\\share\\ann\\Cookies", "D:\\x", "C:\\a..b\\...x",
    };
    for (const char* path : accepted)
        Check(CleanRules_IsPathCleanable(path, NULL, 0), "plain folder accepted", path);
}

static void CheckProtectedFolders(void)
{
    const char* kept[] = {"C:\\USERS\\ANN", "", "C:\\WINDOWS", "C:\\WINDOWS\\SYSTEM32\\"};
    const int count = 4;
    const char* refused[] = {
        "C:\\USERS\\ANN", "C:\\USERS\\ANN\\", "C:\\USERS", "C:\\WINDOWS", "C:\\WINDOWS\\SYSTEM32",
    };
    for (const char* path : refused)
        Check(!CleanRules_IsPathCleanable(path, kept, count), "protected folder or its holder refused", path);
    const char* accepted[] = {
        "C:\\USERS\\ANN\\COOKIES", "C:\\USERS\\ANNA", "C:\\USERS\\AN", "C:\\WINDOWS\\COOKIES",
        "C:\\WINDOWS\\SYSTEM", "D:\\USERS\\ANN",
    };
    for (const char* path : accepted)
        Check(CleanRules_IsPathCleanable(path, kept, count), "folder inside or beside protected ones accepted", path);
}

static void CheckFinalPaths(void)
{
    struct { const char* final; const char* plain; } cases[] = {
        {"\\\\?\\C:\\Users\\ann", "C:\\Users\\ann"},
        {"\\\\?\\UNC\\server\\share\\x", "\\\\server\\share\\x"},
        {"C:\\plain", "C:\\plain"},
    };
    for (auto& c : cases) {
        char out[260];
        bool ok = CleanRules_PlainFromFinal(c.final, out, sizeof out);
        Check(ok && strcmp(out, c.plain) == 0, "final path made plain", c.final);
    }
    char small[8];
    Check(!CleanRules_PlainFromFinal("\\\\?\\C:\\Users\\ann", small, sizeof small),
          "final path longer than the buffer refused", "8 chars");
    Check(!CleanRules_PlainFromFinal("\\\\?\\", small, sizeof small), "empty final path refused", "");
}

int main()
{
    setvbuf(stdout, NULL, _IONBF, 0);
    CheckFolderNumbers();
    CheckPathShapes();
    CheckProtectedFolders();
    CheckFinalPaths();
    printf("%d failed\n", g_failures);
    return g_failures ? 1 : 0;
}
