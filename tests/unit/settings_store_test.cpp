// The settings store over an in-memory registry: key, value names, bytes and carry-over.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "registry_port.h"
#include "settings_store.h"

static const uint32_t FAKE_REG_SZ = 1, FAKE_REG_BINARY = 3, FAKE_REG_DWORD = 4, FAKE_REG_QWORD = 11;
static const long ERROR_FILE_NOT_FOUND_CODE = 2, ERROR_MORE_DATA_CODE = 234;

struct FakeValue { uint32_t type; std::vector<unsigned char> data; };
typedef std::map<std::string, FakeValue> FakeKey;   // values by name (names compared as given)

// An in-memory HKEY_LOCAL_MACHINE behind the registry port below.
struct FakeRegistry {
    std::map<std::string, FakeKey> keys;   // by sub-key path
    long createKeyStatus = 0;   // non-zero: every open fails with this code
    long writeOpenStatus = 0;   // non-zero: every open for writing fails (a limited account)
    int opens = 0, closes = 0;
};
static FakeRegistry s_registry;

static FakeValue Dword(uint32_t value)
{
    const unsigned char *bytes = reinterpret_cast<const unsigned char *>(&value);
    return FakeValue{FAKE_REG_DWORD, {bytes, bytes + 4}};
}

// The port behaves like advapi32 for the calls the store makes, including
// ERROR_MORE_DATA for a value longer than the buffer.
long RegPort_CreateKey(const char *subKey, enum RegPortAccess access, RegPortKey *key)
{
    if (s_registry.createKeyStatus != 0)
        return s_registry.createKeyStatus;
    if (access == REGPORT_ALL_ACCESS && s_registry.writeOpenStatus != 0)
        return s_registry.writeOpenStatus;
    ++s_registry.opens;
    *key = &s_registry.keys[subKey];
    return 0;
}

long RegPort_QueryValue(RegPortKey key, const char *valueName, unsigned char *data, uint32_t *size,
                        uint32_t *type)
{
    const FakeKey &values = *static_cast<FakeKey *>(key);
    auto found = values.find(valueName);
    if (found == values.end())
        return ERROR_FILE_NOT_FOUND_CODE;
    const std::vector<unsigned char> &stored = found->second.data;
    const uint32_t room = *size;
    *size = static_cast<uint32_t>(stored.size());
    if (type)
        *type = found->second.type;
    if (stored.size() > room) {
        // Real registries may leave a partial copy behind on this error.
        std::fill_n(data, room, 0xEE);
        return ERROR_MORE_DATA_CODE;
    }
    std::copy(stored.begin(), stored.end(), data);
    return 0;
}

long RegPort_SetDword(RegPortKey key, const char *valueName, const uint32_t *value)
{
    (*static_cast<FakeKey *>(key))[valueName] = Dword(*value);
    return 0;
}

long RegPort_SetMultiString(RegPortKey key, const char *valueName, const unsigned char *data, uint32_t size)
{
    (*static_cast<FakeKey *>(key))[valueName] = FakeValue{EXCEPTIONS_TYPE_MULTI_SZ, {data, data + size}};
    return 0;
}

long RegPort_CloseKey(RegPortKey)
{
    ++s_registry.closes;
    return 0;
}

namespace {

// Spelled out: the store must use this very path, trailing backslash included.
const std::string KEY = "Software\\Quorvane\\Hushpane\\";

typedef std::vector<uint32_t> Switches;   // browser, messenger, tooltip, applet, flash

class SettingsStore : public ::testing::Test {
protected:
    void SetUp() override { s_registry = FakeRegistry(); }

    FakeKey &Values() { return s_registry.keys[KEY]; }

    // Loads through the scratch, named here rather than through the store's table.
    Switches Load()
    {
        BlockingSwitches s{};
        Settings_LoadBlockingSwitches(&scratch, &s);
        return {s.browser, s.messenger, s.tooltip, s.applet, s.flash};
    }

    uint32_t scratch = 0;
};

// Through the one switch table, which names the values in load order.
TEST_F(SettingsStore, WriteThenLoadRoundTripsAllFive)
{
    for (int i = 0; i < SWITCH_COUNT; ++i) {
        const uint32_t value = 10 + i;
        Settings_WriteSwitch(&value, SETTINGS_SUBKEY, SETTINGS_SWITCHES[i].valueName);
    }
    EXPECT_EQ(Load(), Switches({10, 11, 12, 13, 14}));
    EXPECT_EQ(Values()["Browser"].type, FAKE_REG_DWORD);
    EXPECT_EQ(s_registry.opens, s_registry.closes);
}

// Loads in a row from a missing key, the scratch carried from each to the next: a missing
// value takes the one read before it, a missing Browser the scratch the load before left.
TEST_F(SettingsStore, MissingKeyAndValuesCarryTheOneReadBefore)
{
    EXPECT_EQ(Load(), Switches({0, 0, 0, 0, 0}));
    ASSERT_EQ(s_registry.keys.count(KEY), 1u) << "the missing key is created";
    EXPECT_TRUE(Values().empty());

    const struct { FakeKey values; Switches loaded; uint32_t scratchAfter; } loads[] = {
        {{{"Browser", Dword(1)}}, {1, 1, 1, 1, 1}, 1},
        {{{"Browser", Dword(1)}, {"Tooltip", Dword(0)}}, {1, 1, 0, 0, 0}, 0},
        {{{"Browser", Dword(0)}, {"Flash", Dword(1)}}, {0, 0, 0, 0, 1}, 1},
        {{{"Flash", Dword(1)}}, {1, 1, 1, 1, 1}, 1},
        // A switch of 2 loads as 2, not 1. Tooltip's string overwrites only two bytes of the
        // scratch (which held 1); Applet's QWORD is ignored, so it carries Tooltip's bytes on.
        {{{"Browser", Dword(2)}, {"Messenger", Dword(1)}, {"Tooltip", {FAKE_REG_SZ, {'1', 0}}},
          {"Applet", {FAKE_REG_QWORD, {0, 0, 0, 0, 0, 0, 0, 0}}}, {"Flash", {FAKE_REG_BINARY, {0}}}},
         {2, 1, 0x31, 0x31, 0x00}, 0},
    };
    for (size_t i = 0; i < std::size(loads); ++i) {
        SCOPED_TRACE(testing::Message() << "load " << i);
        Values() = loads[i].values;
        EXPECT_EQ(Load(), loads[i].loaded);
        EXPECT_EQ(scratch, loads[i].scratchAfter);
    }
}

TEST_F(SettingsStore, UnopenableKeyLeavesEverySwitchAtTheScratch)
{
    Values() = {{"Browser", Dword(1)}};
    s_registry.createKeyStatus = 5;   // access denied
    scratch = 7;
    EXPECT_EQ(Load(), Switches({7, 7, 7, 7, 7}));

    uint32_t one = 1, dest = 42;
    EXPECT_EQ(Settings_WriteSwitch(&one, SETTINGS_SUBKEY, "Browser"), 5);
    EXPECT_EQ(Settings_CopySwitchAndCloseKey(&dest, SETTINGS_SUBKEY, "Browser"), 5);
    EXPECT_EQ(dest, 42u);

    // A limited account may read the key, not write it: the store still loads.
    s_registry.createKeyStatus = 0;
    s_registry.writeOpenStatus = 5;
    EXPECT_EQ(Load(), Switches({1, 1, 1, 1, 1}));
    EXPECT_FALSE(Settings_IsWritable(SETTINGS_SUBKEY));
    EXPECT_EQ(Settings_WriteSwitch(&one, SETTINGS_SUBKEY, "Browser"), 5);
    s_registry.writeOpenStatus = 0;
    EXPECT_TRUE(Settings_IsWritable(SETTINGS_SUBKEY));
}

// Values of the wrong type or size: short data lands over the low bytes, long
// data is ignored entirely.
TEST_F(SettingsStore, OddValuesReadAsTheirBytes)
{
    const struct { const char *name; FakeValue stored; uint32_t after; } reads[] = {
        {"Sz", {FAKE_REG_SZ, {'1', 0}}, 0xAABB0031u},   // a string "1" is 0x31 in the low byte: off
        {"Bin2", {FAKE_REG_BINARY, {0x01, 0x00}}, 0xAABB0001u}, {"Two", Dword(2), 2u},
        // A value longer than 4 bytes must not touch the destination.
        {"Qword", {FAKE_REG_QWORD, {1, 0, 0, 0, 0, 0, 0, 0}}, 0xAABBCCDDu},
        {"Empty", {FAKE_REG_BINARY, {}}, 0xAABBCCDDu},
    };
    for (const auto &read : reads) {
        Values()[read.name] = read.stored;
        uint32_t dest = 0xAABBCCDD;
        Settings_CopySwitchAndCloseKey(&dest, SETTINGS_SUBKEY, read.name);
        EXPECT_EQ(dest, read.after) << read.name;
    }
}

}  // namespace

namespace {

FakeValue MultiString(const std::string &bytes, uint32_t type = EXCEPTIONS_TYPE_MULTI_SZ)
{
    return {type, {bytes.begin(), bytes.end()}};
}

std::vector<std::string> Names(const ExceptionTable &table)
{
    return {table.names, table.names + table.count};
}

// "Exceptions" as stored, what a load keeps of it and the cut it reports; never past the data.
TEST_F(SettingsStore, ExceptionsReadAsFarAsTheyAreValid)
{
    std::string many, large;
    for (int i = 0; i < 40; ++i)
        many += "p" + std::to_string(i) + ".exe" + std::string(1, '\0');
    std::vector<std::string> first32;
    for (int i = 0; i < 32; ++i)
        first32.push_back("p" + std::to_string(i) + ".exe");
    const std::string longName(64, 'x'), longest(63, 'y');
    large = std::string(EXCEPTIONS_READ_SIZE + 1, 'z');
    using S = std::string;
    const struct { const char *what; FakeValue stored; std::vector<std::string> names; uint32_t cut; } rows[] = {
        {"whole", MultiString(S("ledger.exe\0Player.EXE\0\0", 23)), {"ledger.exe", "Player.EXE"}, 0},
        {"an empty string ends it", MultiString(S("a.exe\0\0b.exe\0\0", 14)), {"a.exe"}, 0},
        {"no final empty string", MultiString(S("a.exe\0b.exe\0", 12)), {"a.exe", "b.exe"},
         EXCEPTIONS_CUT_UNTERMINATED},
        {"a name cut by the end", MultiString(S("a.exe\0b.ex", 10)), {"a.exe"}, EXCEPTIONS_CUT_UNTERMINATED},
        {"wrong type", MultiString(S("a.exe\0\0", 7), 1 /* REG_SZ */), {}, EXCEPTIONS_CUT_TYPE},
        {"too long, blank, with a folder", MultiString(longName + S("\0", 1) + longest + S("\0   \0c:\\x.exe\0d.exe\0\0", 22)),
         {longest, "d.exe"}, EXCEPTIONS_CUT_BAD_NAME},
        {"duplicates taken once", MultiString(S("A.exe\0a.EXE\0\0", 13)), {"A.exe"}, 0},
        {"more than the table", MultiString(many + S("\0", 1)), first32, EXCEPTIONS_CUT_TOO_MANY},
        {"larger than a read", MultiString(large), {}, EXCEPTIONS_CUT_TOO_LARGE},
    };
    for (const auto &row : rows) {
        Values()[EXCEPTIONS_VALUE_NAME] = row.stored;
        ExceptionTable table;
        EXPECT_EQ(Settings_LoadExceptions(&table), row.cut) << row.what;
        EXPECT_EQ(Names(table), row.names) << row.what;
    }
    EXPECT_EQ(s_registry.opens, s_registry.closes);

    // What the tray writes back reads the same, and a name is left alone ignoring case.
    ExceptionTable table = {};
    for (const char *name : {"ledger.exe", "LEDGER.EXE", "player.exe"})
        EXPECT_TRUE(Exceptions_Add(&table, name)) << name;
    EXPECT_FALSE(Exceptions_Add(&table, "c:\\x.exe"));
    Exceptions_Remove(&table, "Player.exe");
    ASSERT_EQ(Settings_WriteExceptions(&table), 0);
    ExceptionTable read;
    EXPECT_EQ(Settings_LoadExceptions(&read), 0u);
    EXPECT_EQ(Names(read), std::vector<std::string>({"ledger.exe"}));
    EXPECT_TRUE(Exceptions_Contains(&read, "Ledger.Exe"));
    EXPECT_STREQ(Exceptions_FileName("C:\\Program Files\\Ledger\\ledger.exe"), "ledger.exe");
}

}  // namespace
