// Navigation display: the per-frame display steps the frame sequencer calls
// and the airspeed display state; the draw callback and the viewports come
// with the includes below.
#pragma once

#include "platform/xplm.h"

#include "display/map_primitives.h"
#include "display/nd_draw.h"

void ias_override();
void update_pfd_stall_band();
void update_nd_vnav_markers();
void update_nd_fix_overlay();

// Per-side airspeed smoothing of the speed tape (11 values in all).
struct AirspeedDisplayState {
  float smoothed_kt[2];       // captain, first officer
  float smoothed_prev_kt[2];  // previous frame's copies
  float trend_kt[2];
  float smoothing[5];
};
extern AirspeedDisplayState airspeed_display;
// Per load: all 11 values 0.
void airspeed_display_reset();
// A loaded situation: both sides restart from the scripts' saved airspeeds.
void airspeed_display_restart(float captain_kt, float first_officer_kt);
