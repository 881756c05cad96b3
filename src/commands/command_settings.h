// Settings that cockpit command handlers keep and the start-up state copies
// into the published values: the chronograph mode and the cabin lighting
// presets.
#pragma once

#include <cstdint>

extern int32_t chrono_mode_setting;     // -1 until a chronograph command sets it
extern int32_t pax_lighting_setting;    // passenger cabin lighting preset
extern int32_t entry_lighting_setting;  // entry lighting preset
