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
