// Failure-reset values, engine failure latches and the range draw.
#include "alerting/failure_state.h"

#include "core/frame.h"

float failure_reset_values[3];
EngineFailureLatches engine_failure_latches;

float random_range(float a, float b) {
  const float d = random_fraction();
  return a + (b - a) * d;
}
