// Failure state beside the failure tables: the failure-reset values and the
// engine failure latches, plus the one random draw of a range that failures
// and the start-up state share.
#pragma once

#include <cstdint>

extern float failure_reset_values[3];

struct EngineFailureLatches {
  uint8_t flags[2];
  float values[3];
};
extern EngineFailureLatches engine_failure_latches;

// a + (b - a) x a fresh random draw (also left in frame_random).
float random_range(float a, float b);
