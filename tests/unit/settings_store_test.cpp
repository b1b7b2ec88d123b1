// The settings store over an in-memory registry: key, value names, bytes and carry-over.
#include <gtest/gtest.h>

#include "fake_registry.h"
#include "settings_store.h"

namespace {

// Spelled out: the store must use this very path, trailing backslash included.
const std::string KEY = "Software\\Quorvane\\Hushpane\\";

class SettingsStore : public ::testing::Test {
protected:
    void SetUp() override { FakeRegistry_Reset(); }

    BlockingSwitches Load(uint32_t &scratch)
    {
        BlockingSwitches s{};
        Settings_LoadBlockingSwitches(&scratch, &s);
        return s;
    }
};

void ExpectSwitches(const BlockingSwitches &s, uint32_t browser, uint32_t messenger,
                    uint32_t tooltip, uint32_t applet, uint32_t flash)
{
    EXPECT_EQ(std::vector<uint32_t>({s.browser, s.messenger, s.tooltip, s.applet, s.flash}),
              std::vector<uint32_t>({browser, messenger, tooltip, applet, flash}));
}

// Through the one switch table, which names the values in load order.
TEST_F(SettingsStore, WriteThenLoadRoundTripsAllFive)
{
    ASSERT_EQ(SWITCH_COUNT, 5);
    for (int i = 0; i < SWITCH_COUNT; ++i) {
        const uint32_t value = 10 + i;
        Settings_WriteSwitch(&value, SETTINGS_SUBKEY, SETTINGS_SWITCHES[i].valueName);
    }
    uint32_t scratch = 0;
    ExpectSwitches(Load(scratch), 10, 11, 12, 13, 14);
    EXPECT_EQ(g_fakeRegistry.keys[KEY]["Browser"].type, FAKE_REG_DWORD);
    EXPECT_EQ(g_fakeRegistry.opens, g_fakeRegistry.closes);
}

TEST_F(SettingsStore, MissingKeyIsCreatedEmptyAndLoadsZeros)
{
    uint32_t scratch = 0;
    ExpectSwitches(Load(scratch), 0, 0, 0, 0, 0);
    ASSERT_EQ(g_fakeRegistry.keys.count(KEY), 1u);
    EXPECT_TRUE(g_fakeRegistry.keys[KEY].empty());
}

TEST_F(SettingsStore, MissingValuesCarryTheOneReadBefore)
{
    FakeRegistry_PutDword(KEY, "Browser", 1);
    uint32_t scratch = 0;
    ExpectSwitches(Load(scratch), 1, 1, 1, 1, 1);

    FakeRegistry_Reset();
    FakeRegistry_PutDword(KEY, "Browser", 1);
    FakeRegistry_PutDword(KEY, "Tooltip", 0);
    scratch = 0;
    ExpectSwitches(Load(scratch), 1, 1, 0, 0, 0);
}

TEST_F(SettingsStore, MissingBrowserTakesTheScratchOfTheLoadBefore)
{
    FakeRegistry_PutDword(KEY, "Browser", 0);
    FakeRegistry_PutDword(KEY, "Flash", 1);
    uint32_t scratch = 0;
    Load(scratch);
    EXPECT_EQ(scratch, 1u);

    g_fakeRegistry.keys[KEY].erase("Browser");
    ExpectSwitches(Load(scratch), 1, 1, 1, 1, 1);
}

TEST_F(SettingsStore, UnopenableKeyLeavesEverySwitchAtTheScratch)
{
    FakeRegistry_PutDword(KEY, "Browser", 1);
    g_fakeRegistry.createKeyStatus = 5;   // access denied
    uint32_t scratch = 7;
    ExpectSwitches(Load(scratch), 7, 7, 7, 7, 7);

    uint32_t one = 1;
    EXPECT_EQ(Settings_WriteSwitch(&one, SETTINGS_SUBKEY, "Browser"), 5);
    uint32_t dest = 42;
    EXPECT_EQ(Settings_ReadSwitch(&dest, SETTINGS_SUBKEY, "Browser"), 5);
    EXPECT_EQ(dest, 42u);

    // A limited account may read the key, not write it: the store still loads.
    g_fakeRegistry.createKeyStatus = 0;
    g_fakeRegistry.writeOpenStatus = 5;
    ExpectSwitches(Load(scratch), 1, 1, 1, 1, 1);
    EXPECT_FALSE(Settings_IsWritable(SETTINGS_SUBKEY));
    EXPECT_EQ(Settings_WriteSwitch(&one, SETTINGS_SUBKEY, "Browser"), 5);
    g_fakeRegistry.writeOpenStatus = 0;
    EXPECT_TRUE(Settings_IsWritable(SETTINGS_SUBKEY));
}

// Values of the wrong type or size: short data lands over the low bytes, long
// data is ignored entirely.
TEST_F(SettingsStore, OddValuesReadAsTheirBytes)
{
    FakeRegistry_Put(KEY, "Sz", FAKE_REG_SZ, {'1', 0});
    FakeRegistry_Put(KEY, "Bin2", FAKE_REG_BINARY, {0x01, 0x00});
    FakeRegistry_Put(KEY, "Qword", FAKE_REG_QWORD, {1, 0, 0, 0, 0, 0, 0, 0});
    FakeRegistry_Put(KEY, "Empty", FAKE_REG_BINARY, {});
    FakeRegistry_PutDword(KEY, "Two", 2);

    auto readOver = [](uint32_t dest, const char *name) {
        Settings_ReadSwitch(&dest, SETTINGS_SUBKEY, name);
        return dest;
    };
    EXPECT_EQ(readOver(0xAABBCCDD, "Sz"), 0xAABB0031u) << "a string \"1\" is 0x31 in the low byte: off";
    EXPECT_EQ(readOver(0xAABBCCDD, "Bin2"), 0xAABB0001u);
    EXPECT_EQ(readOver(0xAABBCCDD, "Qword"), 0xAABBCCDDu)
        << "a value longer than 4 bytes must not touch the destination";
    EXPECT_EQ(readOver(0xAABBCCDD, "Empty"), 0xAABBCCDDu);
    EXPECT_EQ(readOver(0, "Two"), 2u);
}

TEST_F(SettingsStore, SwitchOfTwoLoadsAsTwoNotOne)
{
    FakeRegistry_PutDword(KEY, "Browser", 2);
    FakeRegistry_PutDword(KEY, "Messenger", 1);
    FakeRegistry_Put(KEY, "Tooltip", FAKE_REG_SZ, {'1', 0});
    FakeRegistry_Put(KEY, "Applet", FAKE_REG_QWORD, {0, 0, 0, 0, 0, 0, 0, 0});
    FakeRegistry_Put(KEY, "Flash", FAKE_REG_BINARY, {0});
    uint32_t scratch = 0;
    // Tooltip's string overwrites only two bytes of the scratch (which held 1);
    // Applet's QWORD is ignored, so it carries Tooltip's bytes on.
    ExpectSwitches(Load(scratch), 2, 1, 0x31, 0x31, 0x00);
}

}  // namespace
