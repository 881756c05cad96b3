// The displays' per-frame steps the frame sequencer calls (speed tape,
// low-speed band, profile markers) and the airspeed display state; the draw
// callback and the viewports come with the includes below.
#pragma once

#include "platform/xplm.h"

#include "display/fix_overlay.h"
#include "display/map_primitives.h"
#include "display/nd_draw.h"

void ias_override();
void update_pfd_stall_band();
void update_nd_vnav_markers();

// Per-side airspeed smoothing of the speed tape (index 0 captain, 1 first
// officer); ias_override (display/pfd_speed.cpp) keeps it.
struct AirspeedDisplayState {
  float smoothed_kt[2];       // indicated airspeed written to the host
  float smoothed_prev_kt[2];  // smoothed airspeed at the last rate sample
  float trend_kt[2];          // kt/s, speed trend written to the host
  float sample_timer_s;       // since the last rate sample (both sides)
  float rate_kt_s[2];         // airspeed rate found at the last sample
  float snap_ias_kt[2];       // outputs as they stood after the last running frame
  float snap_trend_kt[2];
};
extern AirspeedDisplayState airspeed_display;
// Per load: all 11 values 0.
void airspeed_display_reset();
// A loaded situation: both sides restart from the scripts' saved airspeeds.
void airspeed_display_restart(float captain_kt, float first_officer_kt);
