// Landing gear working state other code may need: the transit times drawn
// for the current movement, the tyre burst flags (a failure reset clears
// the bursts) and the request that the legs start from the host's.
#pragma once

#include <cstdint>

struct GearTransitTimes {
  float retract_s[3];  // nose, left, right
  float extend_s[3];
  float manual_s[3];
  float spread_s;
  int32_t drawn_for;  // 0 none, 1 retraction, 2 extension
};
extern GearTransitTimes gear_transit_times;

// The burst flags themselves (nose, left, right) are the failure model's
// `tyre_burst_flags`, so the reset lights, the failure reset and the saved
// cockpit state all see what this model bursts.
struct TyreState {
  int32_t failed_any;
};
extern TyreState tyre_state;

// 1 until the model's next run: that run takes the host's leg ratios as its
// own, and from then on the model owns them. Set at start, by every load and
// on every frame that restores a situation; a pause in between leaves it set,
// so a parked aircraft never has its legs written up under it.
extern int32_t gear_legs_from_host;
