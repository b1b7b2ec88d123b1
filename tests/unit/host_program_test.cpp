// The host's command line: what Hushpane.exe writes, the host reads back;
// anything else a start by hand might give it is refused.
#include <gtest/gtest.h>
#include "../../hooking/host_program.h"

TEST(HostCommandLine, WrittenBesideTheProgramAndReadBack)
{
    char line[HOST_COMMAND_LINE_SIZE];
    ASSERT_TRUE(HostProgram_FormatCommandLine(line, sizeof line, "C:\\Program Files\\Hushpane\\Hushpane.exe",
                                              0xFFFF1234u, 4294967295u));
    EXPECT_STREQ("\"C:\\Program Files\\Hushpane\\Snapveil64.exe\" 4294906420 4294967295", line);
    uint32_t window = 0, process = 0;
    ASSERT_TRUE(HostProgram_ParseCommandLine(line, &window, &process));
    EXPECT_EQ(0xFFFF1234u, window);
    EXPECT_EQ(4294967295u, process);
    // Exactly full, and one character short.
    size_t length = strlen(line);
    EXPECT_TRUE(HostProgram_FormatCommandLine(line, length + 1, "C:\\Program Files\\Hushpane\\Hushpane.exe",
                                              0xFFFF1234u, 4294967295u));
    EXPECT_FALSE(HostProgram_FormatCommandLine(line, length, "C:\\Program Files\\Hushpane\\Hushpane.exe",
                                               0xFFFF1234u, 4294967295u));
}

TEST(HostCommandLine, OnlyTwoNonZeroNumbersAfterTheProgram)
{
    uint32_t window = 0, process = 0;
    EXPECT_TRUE(HostProgram_ParseCommandLine("Snapveil64.exe\t12  34 ", &window, &process));
    EXPECT_EQ(12u, window);
    EXPECT_EQ(34u, process);
    const char *const refused[] = {
        "", "Snapveil64.exe", "\"C:\\a b\\Snapveil64.exe\"", "Snapveil64.exe 12", "Snapveil64.exe 12 34 56",
        "Snapveil64.exe 0 34", "Snapveil64.exe 12 0", "Snapveil64.exe 12x 34", "Snapveil64.exe -12 34",
        "Snapveil64.exe 4294967296 34", "\"C:\\a b\\Snapveil64.exe 12 34",   // no closing quote
        "C:\\a b\\Snapveil64.exe 12 34"};   // unquoted: the program ends at the first blank
    for (const char *line : refused)
        EXPECT_FALSE(HostProgram_ParseCommandLine(line, &window, &process)) << line;
}
