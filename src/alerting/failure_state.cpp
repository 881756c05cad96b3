// Tyre-burst flags, engine damage state and the range draw.
#include "alerting/failure_state.h"

#include "core/frame_values.h"

float tyre_burst_flags[3];
float engine_damage_timers[2];
uint8_t engine_damage_flags[2];
float damage_fluctuation_timer;

float random_range(float a, float b) {
  const float d = random_fraction();
  return a + (b - a) * d;
}
