// The landing altitude selector's writer: raised to the next multiple of 50 ft
// and held inside the selector's range; a NaN stores 0.
#include <cmath>

#include "publication/lever_writers.h"
#include "systems/air/air_values.h"

void landing_alt_writer(void*, float value) {
  if (std::isnan(value)) {
    pressurization::knobs_landing_alt = 0.0f;
    return;
  }
  float x = std::ceil(value / 50.0f) * 50.0f;
  if (x < -1000.0f) x = -1000.0f;
  if (x > 13600.0f) x = 13600.0f;
  pressurization::knobs_landing_alt = x;
}
