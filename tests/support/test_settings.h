#pragma once
#include "core/settings/settings.h"

// The settings store of the window tests: in memory, shared by the test program, never the
// user's own. Tests that care about stored values clear it first.
MemorySettings& testSettings();
