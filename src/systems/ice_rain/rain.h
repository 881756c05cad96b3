// Rain-on-glass driver for hosts older than 12: the outside rain plug-in is
// fed only through its datarefs ("librain/..."). Frame by frame it is told
// which glass and occluding cockpit objects to load, then how the two
// windshield panes behave: drop slant and gravity, heated zones, cabin
// temperature and the wiper sweep.
#pragma once

#include <cstdint>

struct RainDriverState {
  int32_t load_stage;     // 0..19 while the objects load; 0 again whenever the effect is switched off
  float hud_state;        // "hud_disable" last acted on
  float layout_state;     // "layout_0_hide" last acted on (+10 for the longer cabin)
  float passenger_state;  // passengers_1_hide x 2 + passengers_0_hide last acted on
  float slant_factor;     // 1.0 after initialisation
  float gravity_point_x;  // 0.5 after initialisation
  uint8_t hud_requested;  // the objects of the current load that were asked for
  uint8_t passenger_requested;
  uint8_t cabin_requested;
};
extern RainDriverState rain_driver;

// Per unpaused frame on older hosts: runs the driver while the scripts'
// windshield mode ("zuvadud/D738/perf/kill_windshield") is 2 and VR allows it;
// any other mode sends the driver back to its first load stage.
void rain_effect_gate();
// One load stage per frame until the plug-in reports success, then the
// per-frame pane values.
void update_rain_effect();

// Drop slant the panes settle at for a precipitation ratio and ground speed (m/s).
float rain_slant_target(float precipitation, float groundspeed_mps);
