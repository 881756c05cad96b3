// Electric pitch trim state shared by the captain's and the first officer's
// yoke trim switches and the systems step: the full-travel time and rate mode
// that the systems step sets each frame from the autopilot and the flaps, and
// the run flags the trim wheel animation and its sounds read.
#pragma once

#include <cstdint>

extern float elec_trim_travel_time;  // s for the full trim range -1..1
extern uint8_t elec_trim_fast_mode;  // 1 while the trim runs at its high rate
extern uint8_t elec_trim_moved;      // 1 once a held trim switch moved the trim
extern float trim_wheel_fast_run;    // 1 while the wheel turns at the high rate
extern float trim_wheel_slow_run;    // 1 while the wheel turns at the low rate

// The stabiliser trim cutout switches. The NG splits the electric trim
// between them: the left one (MAIN ELEC) cuts out the yoke switches, the
// right one (AUTOPILOT) the autopilot's trim. On the MAX either switch at
// CUTOUT disconnects every electric input from the trim motor, so a crew
// who throws one of them in a runaway has no live motor left.
bool yoke_trim_cut_out();
bool autopilot_trim_cut_out();
