// Landing gear working state other code may need: the transit times drawn
// for the current movement and the tyre burst flags (a failure reset clears
// the bursts).
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
