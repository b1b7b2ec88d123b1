// The creation filter's decision: which switched-on rule names the new window's class.
#include "creation_rules.h"
#include "class_names.h"

static bool IsOn(uint32_t value)
{
    return value == SWITCH_ON;
}

bool Filter_CheckNewWindow(const struct BlockingSwitches *switches, const char *className)
{
    // Each switch is read once: another process may change it mid-call.
    const bool browser = IsOn(switches->browser) &&
        ClassName_Equals(className, CLASS_BROWSER_FRAME);
    const bool applet = IsOn(switches->applet) &&
        (ClassName_Equals(className, CLASS_JAVA_CANVAS) ||
         ClassName_Equals(className, CLASS_MS_JAVA_CANVAS));
    const bool flash = IsOn(switches->flash) &&
        (ClassName_StartsWith(className, CLASS_FLASH_ATL_PREFIX) ||
         ClassName_Equals(className, CLASS_FLASH_PLAYER));
    const bool messenger = IsOn(switches->messenger) &&
        ClassName_Equals(className, CLASS_MESSENGER_ALERT);
    const bool tooltip = IsOn(switches->tooltip) &&
        ClassName_Equals(className, CLASS_TOOLTIP);
    return browser || applet || flash || messenger || tooltip;
}
