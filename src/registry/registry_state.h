// The registry layer's process-wide state, shared by its own files only.
#pragma once

#include "platform/types.h"

// 0, or KEY_WOW64_64KEY while the 64-bit view is switched on; only key
// creation uses it.
extern os::Dword g_registryViewFlag;
// The keys that the current pass of a tree deletion removed.
extern int g_deletedKeyCount;
