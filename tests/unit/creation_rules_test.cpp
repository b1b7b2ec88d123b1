// The creation filter's rule table, one switch at a time and all together,
// and the record of blocks the rules' numbers are stored in.
#include <gtest/gtest.h>
#include <string.h>

#include <string>
#include <vector>

#include "block_log.h"
#include "creation_rules.h"

namespace {

const BlockingSwitches ALL_ON{1, 1, 1, 1, 1};

struct Rule { uint32_t BlockingSwitches::*sw; BlockRule rule; std::vector<const char *> classes; };

const Rule RULES[] = {
    {&BlockingSwitches::browser, BLOCK_RULE_BROWSER, {"IEFrame", "ieframe", "IEFRAME"}},
    {&BlockingSwitches::applet, BLOCK_RULE_APPLET, {"SunAwtCanvas", "sunawtcanvas", "MSAWT_Comp_Class",
                                                    "msawt_comp_CLASS"}},
    {&BlockingSwitches::flash, BLOCK_RULE_FLASH, {"MacromediaFlashPlayerActiveX", "ATL:0041A2B0", "atl",
                                                  "AtLSomething", "aTl:Window", "ATLx"}},
    {&BlockingSwitches::messenger, BLOCK_RULE_MESSENGER, {"MSBLPopupMsgWClass", "msblpopupmsgwclass"}},
    {&BlockingSwitches::tooltip, BLOCK_RULE_TOOLTIP, {"tooltips_class32", "TOOLTIPS_CLASS32"}},
};

// Every listed class is blocked by its own switch alone, named as its rule, and by nothing
// else; only the value 1 switches a rule on.
TEST(CreationRules, EachClassIsBlockedByItsOwnSwitchOnly)
{
    for (const Rule &rule : RULES) {
        for (const char *name : rule.classes) {
            BlockingSwitches onlyThis{};
            onlyThis.*rule.sw = 1;
            EXPECT_EQ(Filter_MatchRule(&onlyThis, name), rule.rule) << name;
            EXPECT_EQ(Filter_MatchRule(&ALL_ON, name), rule.rule) << name;

            BlockingSwitches allButThis = ALL_ON;
            allButThis.*rule.sw = 0;
            EXPECT_EQ(Filter_MatchRule(&allButThis, name), BLOCK_RULE_NONE) << name;

            for (uint32_t value : {0u, 2u, 0x31u, 0x100u | 1u, 0xFFFFFFFFu}) {
                BlockingSwitches s{value, value, value, value, value};
                EXPECT_EQ(Filter_MatchRule(&s, name), BLOCK_RULE_NONE) << name << " with switch value " << value;
            }
        }
    }
}

// Names must match whole; the Flash prefix needs all three letters; "" matches nothing.
// All switches on, so no rule may match.
TEST(CreationRules, WholeNamesMustMatchExactly)
{
    for (const char *name : {"IEFrame2", "IEFram", " IEFrame", "XIEFrame", "SunAwtCanvasX",
                             "MSAWT_Comp", "tooltips_class", "tooltips_class32 ", "MacromediaFlashPlayer",
                             "AT", "A", "ATX", "XATL", "Edit", "Button", "#32770", ""})
        EXPECT_EQ(Filter_MatchRule(&ALL_ON, name), BLOCK_RULE_NONE) << name;
}

}  // namespace

namespace {

// The record of blocks: 40 vetoes leave the newest 32, newest first; a slot being written
// and a slot of nonsense (as a sandboxed process might leave) never show as they stand.
TEST(BlockLog, NewestFirstCompleteAndCutToSize)
{
    static BlockLog log;
    for (uint32_t claim = 0; claim < 40; ++claim) {
        BlockLog_Write(&log, claim, 1000 + claim, 7, BLOCK_RULE_BROWSER, "IEFrame", "ledger.exe");
        log.claimed = claim + 1;
    }
    BlockEntry read[BLOCK_LOG_SLOTS];
    ASSERT_EQ(BlockLog_ReadNewestFirst(&log, read, BLOCK_RULE_COUNT), 32u);
    for (uint32_t i = 0; i < 32; ++i)
        EXPECT_EQ(read[i].tick, 1039 - i) << i;
    EXPECT_STREQ(read[31].program, "ledger.exe");

    log.slots[39 % BLOCK_LOG_SLOTS].sequence = 0;   // the newest, its writer not done
    BlockEntry &odd = log.slots[38 % BLOCK_LOG_SLOTS];
    memset(odd.className, 'x', sizeof odd.className);
    odd.rule = 77;
    const std::string longName(100, 'p');
    BlockLog_Write(&log, 37, 5, 7, BLOCK_RULE_TOOLTIP, longName.c_str(), nullptr);
    ASSERT_EQ(BlockLog_ReadNewestFirst(&log, read, BLOCK_RULE_COUNT), 31u);
    EXPECT_EQ(read[0].tick, 1038u);
    EXPECT_EQ(strlen(read[0].className), BLOCK_CLASS_SIZE - 1u);
    EXPECT_EQ(read[0].rule, BLOCK_RULE_NONE);
    EXPECT_EQ(std::string(read[1].className), longName.substr(0, BLOCK_CLASS_SIZE - 1));
    EXPECT_STREQ(read[1].program, "");
}

}  // namespace
