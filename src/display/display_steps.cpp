// Navigation display: step entry points and the airspeed display state. The
// symbol placement arrives later.
#include "display/display_steps.h"

#include "core/frame.h"

AirspeedDisplayState airspeed_display;

void ias_override() {}
void update_pfd_stall_band() {}
void update_nd_vnav_markers() {}
void update_nd_fix_overlay() {}

void airspeed_display_reset() { airspeed_display = AirspeedDisplayState{}; }

void airspeed_display_restart(float captain_kt, float first_officer_kt) {
  airspeed_display.smoothed_kt[0] = captain_kt;
  airspeed_display.smoothed_kt[1] = first_officer_kt;
  airspeed_display.smoothed_prev_kt[0] = captain_kt;
  airspeed_display.smoothed_prev_kt[1] = first_officer_kt;
  airspeed_display.trend_kt[0] = 0.0f;
  airspeed_display.trend_kt[1] = 0.0f;
}
