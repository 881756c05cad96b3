// The landing altitude selector's writer: the nearest of its 50 ft steps
// inside the selector's range, as a restored setting takes it; a NaN leaves
// the selector where it stands.
#include "publication/accessor_kinds.h"
#include "publication/lever_writers.h"
#include "systems/air/air_values.h"

void landing_alt_writer(void*, float value) {
  float& selector = pressurization::knobs_landing_alt;
  selector = written_position(selector, value, -1000.0f, 13600.0f, 50.0f);
}
