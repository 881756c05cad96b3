// The speed tape's airspeed display state and its reset and restart. The
// speed tape's steps live in display/pfd_speed.cpp, the profile markers in
// vnav_markers.cpp and the FIX page placement in fix_overlay.cpp.
#include "display/display_steps.h"

#include "core/frame_values.h"

AirspeedDisplayState airspeed_display;

void airspeed_display_reset() { airspeed_display = AirspeedDisplayState{}; }

void airspeed_display_restart(float captain_kt, float first_officer_kt) {
  airspeed_display.smoothed_kt[0] = captain_kt;
  airspeed_display.smoothed_kt[1] = first_officer_kt;
  airspeed_display.smoothed_prev_kt[0] = captain_kt;
  airspeed_display.smoothed_prev_kt[1] = first_officer_kt;
  airspeed_display.trend_kt[0] = 0.0f;
  airspeed_display.trend_kt[1] = 0.0f;
}
