// Gear warning horn flags (computed by the systems step) and the cut-out button.
#include "systems/gear_brakes/gear_horn.h"

#include "alerting/aural_cues.h"
#include "systems/switches/switch_values.h"

int32_t gear_horn_active;
int32_t gear_horn_uncancellable;

void move_gear_horn_cutout(float value) {
  // The nearest of the button's two positions, so the noise of a released
  // button is no press; a NaN leaves it as it stands.
  if (value != value) return;
  const float pos = value >= 0.5f ? 1.0f : 0.0f;
  const bool press = pos == 1.0f && push_button::gear_horn_cutout_pos != 1.0f;
  if (press && gear_horn_active != 0 && gear_horn_uncancellable == 0) alert::gear_horn_cut_disable = 1.0f;
  push_button::gear_horn_cutout_pos = pos;
}
