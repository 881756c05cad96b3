// Navigation display: the draw callback, the per-frame display steps the
// frame sequencer calls, the display viewports in the panel texture and the
// airspeed display state.
#pragma once

#include "platform/xplm.h"

// Registered at the gauges phase, before the host's gauges. Draws only while
// the frame sequencer has completed a frame since the last model detection.
int nd_draw_callback(XPLMDrawingPhase phase, int is_before, void* refcon);
// The route-line drawing behind the callback (empty until the map lands).
void draw_nd_maps();

void ias_override();
void update_pfd_stall_band();
void update_nd_vnav_markers();
void update_nd_fix_overlay();

// Where a navigation display sits in the 3D panel texture, as fractions of it.
struct NdViewport {
  double x0;
  double y0;
  double width;
  double y_scale;
  double height;
};
enum : int { nd_captain = 0, nd_first_officer = 1 };
extern NdViewport nd_viewport[2];
// Start-up: both displays' places in the 2048 x 2048 panel texture.
void set_nd_viewports();

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
