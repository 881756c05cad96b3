// Gear warning horn flags shared by the systems step and the horn cut-out
// button, the button itself, and the thrust lever rule of the gear warning.
#pragma once

#include <cstdint>

extern int32_t gear_horn_active;         // non-zero while the horn sounds
extern int32_t gear_horn_uncancellable;  // non-zero while the cut-out button may not silence it

// The thrust levers as the gear warning reads them (a lever below 0.05, a
// hardware throttle's idle band, is closed). Either lever closed: the horn
// with flaps up to 10 and the red gear lights. With flaps 15 the horn also
// sounds with both levers below about 30 degrees (0.4); there the cut-out
// silences it only on an engine-out approach's levers, one closed and the
// other above 30 degrees.
bool gear_warning_lever_closed();
bool gear_warning_flaps15_thrust();
bool gear_warning_engine_out_levers();

// Moves the cut-out button to `value` (any non-zero value is pressed). A
// press, a move from released to pressed, silences a horn that may be
// silenced; the systems step lifts the silence again.
void move_gear_horn_cutout(float value);
