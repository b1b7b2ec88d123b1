// Which new windows the creation filter vetoes: a decision on the class name
// and the five switches alone.
#ifndef HUSHPANE_CREATION_RULES_H
#define HUSHPANE_CREATION_RULES_H

#include "../settings/settings_store.h"

// The rules, one per switch; the block record stores them by these numbers.
enum BlockRule {
    BLOCK_RULE_NONE = 0,
    BLOCK_RULE_BROWSER,
    BLOCK_RULE_MESSENGER,
    BLOCK_RULE_TOOLTIP,
    BLOCK_RULE_APPLET,
    BLOCK_RULE_FLASH,
    BLOCK_RULE_COUNT
};

// The rule whose switch is exactly 1 and which names the class;
// BLOCK_RULE_NONE when none does.
enum BlockRule Filter_MatchRule(const struct BlockingSwitches *switches, const char *className);

#endif
