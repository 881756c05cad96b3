// Gear warning horn flags shared by the systems step and the horn cut-out button.
#pragma once

#include <cstdint>

extern int32_t gear_horn_active;         // non-zero while the horn sounds
extern int32_t gear_horn_uncancellable;  // non-zero while the cut-out button may not silence it
