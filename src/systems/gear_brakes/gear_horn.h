// Gear warning horn flags shared by the systems step and the horn cut-out
// button, and the button itself.
#pragma once

#include <cstdint>

extern int32_t gear_horn_active;         // non-zero while the horn sounds
extern int32_t gear_horn_uncancellable;  // non-zero while the cut-out button may not silence it

// Moves the cut-out button to `value` (any non-zero value is pressed). A
// press, a move from released to pressed, silences a horn that may be
// silenced; the systems step lifts the silence again.
void move_gear_horn_cutout(float value);
