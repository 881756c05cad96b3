// Gear warning horn flags (computed by the systems step), the cut-out button
// and the gear warning's thrust lever rule.
#include "systems/gear_brakes/gear_horn.h"

#include "alerting/aural_cues.h"
#include "engines/engine_values.h"
#include "systems/switches/switch_values.h"

int32_t gear_horn_active;
int32_t gear_horn_uncancellable;

namespace {
// A hardware throttle at its idle stop rests a little above 0 (the same
// band the RTO and the speed brake read as idle): a lever there is closed.
constexpr float kLeverClosed = 0.05f;
// About 30 degrees of thrust lever travel: an engine-out approach's live
// lever stands above it.
constexpr float kLeverThirtyDeg = 0.4f;

bool closed(float lever) { return lever < kLeverClosed; }
}  // namespace

bool gear_warning_lever_closed() { return closed(engine::thrust1_leveler) || closed(engine::thrust2_leveler); }

bool gear_warning_flaps15_thrust() {
  const float a = engine::thrust1_leveler;
  const float b = engine::thrust2_leveler;
  return closed(a) || closed(b) || (a < kLeverThirtyDeg && b < kLeverThirtyDeg);
}

bool gear_warning_engine_out_levers() {
  const float a = engine::thrust1_leveler;
  const float b = engine::thrust2_leveler;
  return (closed(a) && b > kLeverThirtyDeg) || (closed(b) && a > kLeverThirtyDeg);
}

void move_gear_horn_cutout(float value) {
  // The nearest of the button's two positions, so the noise of a released
  // button is no press; a NaN leaves it as it stands.
  if (value != value) return;
  const float pos = value >= 0.5f ? 1.0f : 0.0f;
  const bool press = pos == 1.0f && push_button::gear_horn_cutout_pos != 1.0f;
  if (press && gear_horn_active != 0 && gear_horn_uncancellable == 0) alert::gear_horn_cut_disable = 1.0f;
  push_button::gear_horn_cutout_pos = pos;
}
