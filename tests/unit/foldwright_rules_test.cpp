// The path decisions behind folder cleaning: which folders may be emptied at
// all. A wrong "yes" here deletes user data, so the cases lean on the edges.
#include <gtest/gtest.h>
#include <string.h>
#include <vector>

#include "clean_rules.h"

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

// Every path of a row may, or may not, be emptied, among these places.
TEST(FoldwrightRules, OnlyPlainPathsOutsideWhatIsKeptAreCleanable)
{
    static const char* const kept[] = {"C:\\USERS\\ANN", "", "C:\\WINDOWS", "C:\\WINDOWS\\SYSTEM32\\"};
    static const char* const offLimits[] = {"c:\\Program Files", "C:\\WINDOWS\\SYSTEM32", "C:\\WINDOWS\\SYSTEM"};
    static const char* const homes[] = {"D:\\PROFILES"}, *const own[] = {"", "D:\\PROFILES\\ANN"};
    CleanRules_Places places = {kept, 4, offLimits, 3, NULL, homes, 1, own, 2};
    const struct { bool cleanable; std::vector<const char*> paths; } rows[] = {
        // Roots, relative and odd paths are refused.
        {false, {"", "C:", "C:\\", "C:\\\\", "c:/", "\\\\server\\share", "\\\\server\\share\\",
                 "//server//share/", "Cookies", "C:Cookies", "\\Cookies", "\\\\server", "\\\\server\\",
                 "\\\\\\share\\x", "C:\\Users\\..\\Cookies", "C:\\Users\\ann\\Cookies\\..",
                 "C:\\Users\\.\\ann", "C:\\Users\\ann\\...", "\\\\?\\C:\\Users\\ann\\Cookies",
                 "\\\\.\\C:\\Users", "//?/C:/Users/ann", "1:\\x",
                 "C:\\Users\\ann\\Cookies::$INDEX_ALLOCATION", "C:\\Users\\a*", "C:\\Users\\ann\\ \\x"}},
        {true, {"C:\\WINDOWS\\COOKIES", "C:\\Users\\ann\\AppData\\Local\\Microsoft\\INetCache",
                "C:\\Users\\ann\\Favorites\\", "\\\\server\\share\\ann\\Cookies", "D:\\x", "C:\\a..b\\...x",
                "C:/Users/ann/Cookies"}},
        // Protected folders and their holders are refused; in the folder of profiles only the
        // user's own is cleaned, not the folder nor its holders.
        {false, {"C:\\USERS\\ANN", "C:\\USERS\\ANN\\", "C:\\USERS", "C:\\WINDOWS", "D:\\PROFILES",
                 "D:\\Profiles\\Ann", "D:\\PROFILES\\ANNA\\x", "D:\\PROFILES\\BOB\\Favorites",
                 "D:\\PROFILES\\x"}},
        {true, {"C:\\USERS\\ANN\\COOKIES", "C:\\USERS\\ANNA", "C:\\USERS\\AN", "D:\\PROFILES\\ANN\\x",
                "C:\\WINDOWS\\COOKIES", "C:\\WINDOWS\\TEMPORARY INTERNET FILES", "D:\\USERS\\ANN",
                "C:\\WINDOWS\\SYSTEM32X", "C:\\PROGRAM FILES (X86)\\x", "D:\\PROFILESX\\x"}},
        // Nothing at or below the system or Program Files in any spelling.
        {false, {"C:\\WINDOWS\\SYSTEM32", "C:\\WINDOWS\\SYSTEM\\Cookies", "C:\\Program Files\\Hushpane",
                 "c:\\windows\\system32\\x", "C:\\Windows\\\\System32\\\\x", "C:/Windows/System32/x",
                 "C:\\Windows\\System32.", "C:\\Windows.\\System32. .\\x", "C:\\PROGRAM FILES ..\\Cache",
                 "c:\\program files\\\\\\cache\\", "C:\\Users\\ANN.", "C:\\USERS\\\\ann\\\\..\\x"}},
    };
    for (const auto &row : rows)
        for (const char* path : row.paths)
            EXPECT_EQ(row.cleanable, CleanRules_IsPathCleanable(path, &places)) << path;
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
    const char *const plain[][2] = {{"\\\\?\\C:\\Users\\ann", "C:\\Users\\ann"}, {"C:\\plain", "C:\\plain"},
                                    {"\\\\?\\UNC\\server\\share\\x", "\\\\server\\share\\x"}};
    char out[260], small[8];
    for (const auto &path : plain) {
        EXPECT_TRUE(CleanRules_PlainFromFinal(path[0], out, sizeof out)) << path[0];
        EXPECT_STREQ(path[1], out);
    }
    EXPECT_FALSE(CleanRules_PlainFromFinal("\\\\?\\C:\\Users\\ann", small, sizeof small));
    EXPECT_FALSE(CleanRules_PlainFromFinal("\\\\?\\", small, sizeof small));
}
