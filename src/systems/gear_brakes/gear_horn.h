// Gear warning horn flags shared by the systems step and the horn cut-out
// button, the button itself, and the thrust lever rule of the gear warning.
#pragma once

#include <cstdint>

extern int32_t gear_horn_active;         // non-zero while the horn sounds
extern int32_t gear_horn_uncancellable;  // non-zero while the cut-out button may not silence it

// The thrust levers as the gear warning reads them: one closed (below 0.05,
// a hardware throttle's idle band) with the other below 0.68, or both below
// 0.4. The horn and the red gear lights share it, so a hardware throttle
// resting a little above 0 at idle sets off both.
bool gear_warning_thrust_idle();

// Moves the cut-out button to `value` (any non-zero value is pressed). A
// press, a move from released to pressed, silences a horn that may be
// silenced; the systems step lifts the silence again.
void move_gear_horn_cutout(float value);
