// The path decisions behind folder cleaning: which folders may be emptied at
// all. A wrong "yes" here deletes user data, so the cases lean on the edges.
#include <gtest/gtest.h>
#include <string.h>

#include "clean_rules.h"

// Every path of the list may, or may not, be emptied, among these places.
static void ExpectCleanable(bool expected, std::initializer_list<const char*> paths)
{
    static const char* const kept[] = {"C:\\USERS\\ANN", "", "C:\\WINDOWS", "C:\\WINDOWS\\SYSTEM32\\"};
    static const char* const offLimits[] = {"c:\\Program Files", "C:\\WINDOWS\\SYSTEM32", "C:\\WINDOWS\\SYSTEM"};
    static const char* const homes[] = {"D:\\PROFILES"}, *const own[] = {"", "D:\\PROFILES\\ANN"};
    CleanRules_Places places = {kept, 4, offLimits, 3, NULL, homes, 1, own, 2};
    for (const char* path : paths)
        EXPECT_EQ(expected, CleanRules_IsPathCleanable(path, &places)) << path;
}

TEST(FoldwrightRules, OnlyTheFourBrowserFoldersAreCleanedNotWhatOthersKeepInTheCache)
{
    for (int csidl : {0x21, 0x06, 0x22, 0x20})
        EXPECT_TRUE(CleanRules_IsCleanableFolder(csidl)) << csidl;
    for (int csidl : {0x24, 0x28, 0x00, -1, 9999, 0x05, 0x1A, 0x10, 0x25, 0x26, 0x21 | 0x8000})
        EXPECT_FALSE(CleanRules_IsCleanableFolder(csidl)) << csidl;
    for (const char* name : {"Content.Outlook", "content.mso", "Content.Word", "OLK1F3A", "olk"})
        EXPECT_TRUE(CleanRules_IsOtherProgramsCacheEntry(name)) << name;
    for (const char* name : {"Content.IE5", "Content.Outlook2", "Content.MS", "xOLK1", "Low", "OL"})
        EXPECT_FALSE(CleanRules_IsOtherProgramsCacheEntry(name)) << name;
}

TEST(FoldwrightRules, RootsRelativeAndOddPathsAreRefused)
{
    ExpectCleanable(false,
        {"", "C:", "C:\\", "C:\\\\", "c:/", "\\\\server\\share", "\\\\server\\share\\", "//server//share/",
         "Cookies", "C:Cookies", "\\Cookies", "\\\\server", "\\\\server\\", "\\\\\\share\\x",
         "C:\\Users\\..\\Cookies", "C:\\Users\\ann\\Cookies\\..", "C:\\Users\\.\\ann", "C:\\Users\\ann\\...",
         "\\\\?\\C:\\Users\\ann\\Cookies", "\\\\.\\C:\\Users", "//?/C:/Users/ann", "1:\\x",
         "C:\\Users\\ann\\Cookies::$INDEX_ALLOCATION", "C:\\Users\\a*", "C:\\Users\\ann\\ \\x"});
    ExpectCleanable(true, {"C:\\WINDOWS\\COOKIES", "C:\\Users\\ann\\AppData\\Local\\Microsoft\\INetCache",
                           "C:\\Users\\ann\\Favorites\\", "\\\\server\\share\\ann\\Cookies", "D:\\x",
                           "C:\\a..b\\...x", "C:/Users/ann/Cookies"});
}

TEST(FoldwrightRules, ProtectedFoldersAndTheirHoldersAreRefused)
{
    // In the folder of profiles only the user's own; not the folder nor its holders.
    ExpectCleanable(false, {"C:\\USERS\\ANN", "C:\\USERS\\ANN\\", "C:\\USERS", "C:\\WINDOWS", "D:\\PROFILES",
                            "D:\\Profiles\\Ann", "D:\\PROFILES\\ANNA\\x", "D:\\PROFILES\\BOB\\Favorites", "D:\\PROFILES\\x"});
    ExpectCleanable(true, {"C:\\USERS\\ANN\\COOKIES", "C:\\USERS\\ANNA", "C:\\USERS\\AN", "D:\\PROFILES\\ANN\\x",
                           "C:\\WINDOWS\\COOKIES", "C:\\WINDOWS\\TEMPORARY INTERNET FILES", "D:\\USERS\\ANN",
                           "C:\\WINDOWS\\SYSTEM32X", "C:\\PROGRAM FILES (X86)\\x", "D:\\PROFILESX\\x"});
}

TEST(FoldwrightRules, NothingAtOrBelowTheSystemOrProgramFilesInAnySpelling)
{
    ExpectCleanable(false,
        {"C:\\WINDOWS\\SYSTEM32", "C:\\WINDOWS\\SYSTEM\\Cookies", "C:\\Program Files\\Hushpane",
         "c:\\windows\\system32\\x", "C:\\Windows\\\\System32\\\\x", "C:/Windows/System32/x", "C:\\Windows\\System32.",
         "C:\\Windows.\\System32. .\\x", "C:\\PROGRAM FILES ..\\Cache", "c:\\program files\\\\\\cache\\",
         "C:\\Users\\ANN.", "C:\\USERS\\\\ann\\\\..\\x"});
}

TEST(FoldwrightRules, OneSpellingKeepsCaseAndDoubleByteCharacters)
{
    char out[CLEAN_RULES_PATH_SIZE];
    ASSERT_TRUE(CleanRules_Normalise("c:/Users//Ann.\\\\Cookies. ", out, sizeof out, NULL));
    EXPECT_STREQ("c:\\Users\\Ann\\Cookies", out);
    ASSERT_TRUE(CleanRules_Normalise("//srv\\share\\/x\\", out, sizeof out, NULL));
    EXPECT_STREQ("\\\\srv\\share\\x", out);
    // A second byte 0x5C is part of the name, never a separator to merge or trim.
    auto leadByte = [](unsigned char c) { return c >= 0x81 && c <= 0x9F; };
    ASSERT_TRUE(CleanRules_Normalise("C:\\\x83\\\\Cookies\\\x83\\", out, sizeof out, leadByte));
    EXPECT_STREQ("C:\\\x83\\\\Cookies\\\x83\\", out);
    EXPECT_FALSE(CleanRules_Normalise("C:\\x", out, 4, NULL)) << "does not fit";
}

TEST(FoldwrightRules, FinalPathsAreMadePlain)
{
    char out[260];
    EXPECT_TRUE(CleanRules_PlainFromFinal("\\\\?\\C:\\Users\\ann", out, sizeof out));
    EXPECT_STREQ("C:\\Users\\ann", out);
    EXPECT_TRUE(CleanRules_PlainFromFinal("\\\\?\\UNC\\server\\share\\x", out, sizeof out));
    EXPECT_STREQ("\\\\server\\share\\x", out);
    EXPECT_TRUE(CleanRules_PlainFromFinal("C:\\plain", out, sizeof out));
    EXPECT_STREQ("C:\\plain", out);
    char small[8];
    EXPECT_FALSE(CleanRules_PlainFromFinal("\\\\?\\C:\\Users\\ann", small, sizeof small));
    EXPECT_FALSE(CleanRules_PlainFromFinal("\\\\?\\", small, sizeof small));
}
