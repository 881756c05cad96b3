// Failure state beside the failure tables: the tyre-burst flags that a
// failure reset clears, the engine damage state, and the one random draw of a
// range that failures, the start-up state and the models share.
#pragma once

#include <cstdint>

// 1 = that tyre has burst (host gear order: nose, left, right); saved with the
// system state, cleared by a failure reset and at start-up.
extern float tyre_burst_flags[3];

// Engine damage (per engine): the countdown (s) to the failure of a damaged
// engine (0 = none drawn), the running-damage flag that makes the spool model
// shake N2, and that model's fluctuation period timer (s).
extern float engine_damage_timers[2];
extern uint8_t engine_damage_flags[2];
extern float damage_fluctuation_timer;

// a + (b - a) x a fresh random draw (also left in frame_random).
float random_range(float a, float b);
