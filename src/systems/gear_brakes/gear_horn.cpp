// Gear warning horn flags (computed by the systems step) and the cut-out button.
#include "systems/gear_brakes/gear_horn.h"

#include "alerting/aural_cues.h"
#include "systems/switches/switch_values.h"

int32_t gear_horn_active;
int32_t gear_horn_uncancellable;

void move_gear_horn_cutout(float value) {
  // A NaN differs from everything and is not zero, so it counts as a press.
  const bool press = !(value == push_button::gear_horn_cutout_pos) && value != 0.0f;
  if (press && gear_horn_active != 0 && gear_horn_uncancellable == 0) alert::gear_horn_cut_disable = 1.0f;
  push_button::gear_horn_cutout_pos = value == 0.0f ? 0.0f : 1.0f;
}
