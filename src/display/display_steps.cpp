// Navigation display: draw callback gate, step entry points, viewports and
// the airspeed display state. The drawing and symbol placement arrive later.
#include "display/display_steps.h"

#include "core/frame.h"

NdViewport nd_viewport[2];
AirspeedDisplayState airspeed_display;

void draw_nd_maps() {}

int nd_draw_callback(XPLMDrawingPhase, int, void*) {
  // Before the first completed frame the route arrays and the display
  // values are not yet consistent; draw nothing rather than stale lines.
  if (draw_enabled != 0) draw_nd_maps();
  return 1;
}

void ias_override() {}
void update_pfd_stall_band() {}
void update_nd_vnav_markers() {}
void update_nd_fix_overlay() {}

void set_nd_viewports() {
  // Both displays share one column of the 2048-pixel texture; the first
  // officer's sits 512 pixels above the captain's.
  constexpr double px = 1.0 / 2048.0;
  nd_viewport[nd_captain] = {521 * px, 8 * px, 500 * px, 500 * px, 492 * px};
  nd_viewport[nd_first_officer] = {521 * px, 520 * px, 500 * px, 500 * px, 492 * px};
}

void airspeed_display_reset() { airspeed_display = AirspeedDisplayState{}; }

void airspeed_display_restart(float captain_kt, float first_officer_kt) {
  airspeed_display.smoothed_kt[0] = captain_kt;
  airspeed_display.smoothed_kt[1] = first_officer_kt;
  airspeed_display.smoothed_prev_kt[0] = captain_kt;
  airspeed_display.smoothed_prev_kt[1] = first_officer_kt;
  airspeed_display.trend_kt[0] = 0.0f;
  airspeed_display.trend_kt[1] = 0.0f;
}
