// Kept for hook_host.cpp, which still names it: the harness holds the hooks.
#include "win_check.h"
