// The creation filter's rule table, one switch at a time and all together.
#include <gtest/gtest.h>

#include <vector>

#include "creation_rules.h"

namespace {

const BlockingSwitches ALL_ON{1, 1, 1, 1, 1};

struct Rule { uint32_t BlockingSwitches::*sw; std::vector<const char *> classes; };

const Rule RULES[] = {
    {&BlockingSwitches::browser, {"IEFrame", "ieframe", "IEFRAME"}},
    {&BlockingSwitches::applet, {"SunAwtCanvas", "sunawtcanvas", "MSAWT_Comp_Class", "msawt_comp_CLASS"}},
    {&BlockingSwitches::flash, {"MacromediaFlashPlayerActiveX", "ATL:0041A2B0", "atl", "AtLSomething",
                                "aTl:Window", "ATLx"}},
    {&BlockingSwitches::messenger, {"MSBLPopupMsgWClass", "msblpopupmsgwclass"}},
    {&BlockingSwitches::tooltip, {"tooltips_class32", "TOOLTIPS_CLASS32"}},
};

// Every listed class is blocked by its own switch alone, and by nothing else; only the
// value 1 switches a rule on.
TEST(CreationRules, EachClassIsBlockedByItsOwnSwitchOnly)
{
    for (const Rule &rule : RULES) {
        for (const char *name : rule.classes) {
            BlockingSwitches onlyThis{};
            onlyThis.*rule.sw = 1;
            EXPECT_TRUE(Filter_CheckNewWindow(&onlyThis, name)) << name;

            BlockingSwitches allButThis = ALL_ON;
            allButThis.*rule.sw = 0;
            EXPECT_FALSE(Filter_CheckNewWindow(&allButThis, name)) << name;

            for (uint32_t value : {0u, 2u, 0x31u, 0x100u | 1u, 0xFFFFFFFFu}) {
                BlockingSwitches s{value, value, value, value, value};
                EXPECT_FALSE(Filter_CheckNewWindow(&s, name)) << name << " with switch value " << value;
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
        EXPECT_FALSE(Filter_CheckNewWindow(&ALL_ON, name)) << name;
}

}  // namespace
