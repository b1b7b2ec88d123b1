// The creation filter's rule table, one switch at a time and all together.
#include <gtest/gtest.h>

#include <string>

#include "creation_rules.h"

namespace {

BlockingSwitches AllOn() { return BlockingSwitches{1, 1, 1, 1, 1}; }

bool Blocks(const BlockingSwitches &s, const std::string &name)
{
    return Filter_CheckNewWindow(&s, name.c_str());
}

struct Rule {
    uint32_t BlockingSwitches::*sw;
    const char *classes[4];
};

const Rule RULES[] = {
    {&BlockingSwitches::browser, {"IEFrame", "ieframe", "IEFRAME", nullptr}},
    {&BlockingSwitches::applet, {"SunAwtCanvas", "sunawtcanvas", "MSAWT_Comp_Class", "msawt_comp_CLASS"}},
    {&BlockingSwitches::flash, {"MacromediaFlashPlayerActiveX", "ATL:0041A2B0", "atl", "AtLSomething"}},
    {&BlockingSwitches::messenger, {"MSBLPopupMsgWClass", "msblpopupmsgwclass", nullptr, nullptr}},
    {&BlockingSwitches::tooltip, {"tooltips_class32", "TOOLTIPS_CLASS32", nullptr, nullptr}},
};

// Every listed class is blocked by its own switch alone, and by nothing else.
TEST(CreationRules, EachClassIsBlockedByItsOwnSwitchOnly)
{
    for (const Rule &rule : RULES) {
        for (const char *name : rule.classes) {
            if (!name)
                continue;
            BlockingSwitches onlyThis{};
            onlyThis.*rule.sw = 1;
            EXPECT_TRUE(Blocks(onlyThis, name)) << name;

            BlockingSwitches allButThis = AllOn();
            allButThis.*rule.sw = 0;
            EXPECT_FALSE(Blocks(allButThis, name)) << name;
        }
    }
}

TEST(CreationRules, OnlyTheValueOneSwitchesARuleOn)
{
    for (uint32_t value : {0u, 2u, 0x31u, 0x100u | 1u, 0xFFFFFFFFu}) {
        BlockingSwitches s{value, value, value, value, value};
        for (const char *name : {"IEFrame", "SunAwtCanvas", "ATLx", "MSBLPopupMsgWClass", "tooltips_class32"})
            EXPECT_FALSE(Blocks(s, name)) << name << " with switch value " << value;
    }
}

TEST(CreationRules, WholeNamesMustMatchExactly)
{
    const BlockingSwitches s = AllOn();
    for (const char *name : {"IEFrame2", "IEFram", " IEFrame", "XIEFrame", "SunAwtCanvasX",
                             "MSAWT_Comp", "tooltips_class", "tooltips_class32 ",
                             "MacromediaFlashPlayer", "Edit", "Button", "#32770"})
        EXPECT_FALSE(Blocks(s, name)) << name;
}

TEST(CreationRules, FlashPrefixNeedsAllThreeLetters)
{
    BlockingSwitches flashOnly{};
    flashOnly.flash = 1;
    EXPECT_FALSE(Blocks(flashOnly, "AT"));
    EXPECT_FALSE(Blocks(flashOnly, "A"));
    EXPECT_FALSE(Blocks(flashOnly, "ATX"));
    EXPECT_FALSE(Blocks(flashOnly, "XATL"));
    EXPECT_TRUE(Blocks(flashOnly, "aTl:Window"));
}

TEST(CreationRules, EmptyNameMatchesNothing)
{
    EXPECT_FALSE(Blocks(AllOn(), ""));
}

}  // namespace
