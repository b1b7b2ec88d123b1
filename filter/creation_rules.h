// Which new windows the creation filter vetoes: a decision on the class name
// and the five switches alone.
#ifndef HUSHPANE_CREATION_RULES_H
#define HUSHPANE_CREATION_RULES_H

#include "../settings/settings_store.h"

// True when a rule whose switch is exactly 1 matches the class name.
bool Filter_CheckNewWindow(const struct BlockingSwitches *switches, const char *className);

#endif
