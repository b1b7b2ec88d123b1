// The creation filter's decision: which switched-on rule names the new window's class.
#include "creation_rules.h"
#include "class_names.h"

static bool IsOn(uint32_t value)
{
    return value == SWITCH_ON;
}

enum BlockRule Filter_MatchRule(const struct BlockingSwitches *switches, const char *className)
{
    // Each switch is read once: another process may change it mid-call. No
    // class name is named by two rules, so the order decides nothing.
    if (IsOn(switches->browser) && ClassName_Equals(className, CLASS_BROWSER_FRAME))
        return BLOCK_RULE_BROWSER;
    if (IsOn(switches->applet) &&
        (ClassName_Equals(className, CLASS_JAVA_CANVAS) || ClassName_Equals(className, CLASS_MS_JAVA_CANVAS)))
        return BLOCK_RULE_APPLET;
    if (IsOn(switches->flash) &&
        (ClassName_StartsWith(className, CLASS_FLASH_ATL_PREFIX) || ClassName_Equals(className, CLASS_FLASH_PLAYER)))
        return BLOCK_RULE_FLASH;
    if (IsOn(switches->messenger) && ClassName_Equals(className, CLASS_MESSENGER_ALERT))
        return BLOCK_RULE_MESSENGER;
    if (IsOn(switches->tooltip) && ClassName_Equals(className, CLASS_TOOLTIP))
        return BLOCK_RULE_TOOLTIP;
    return BLOCK_RULE_NONE;
}
