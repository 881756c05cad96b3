// State of the flight-control, gear, speedbrake and recorder light equations.
#pragma once

#include <cstdint>

// Speedbrake landing sequence. The do-not-arm flag is the delay timers'
// ann_delayed_3 (its 0.3 s timer ends the touchdown flash).
struct SpeedbrakeLightState {
  float phase;         // 0 normal, 1 landed, 2 rollout, 3 stopped
  float air_seen;      // radio altitude above 150 ft since the last touchdown
  float landing_flag;  // the touchdown flash has been given
  float armed_flag;    // SPEEDBRAKE ARMED
};
extern SpeedbrakeLightState spdbrk;

// Recorders; the first-frame reset clears the test, timer, state and switch
// and takes eng_running_prev from the host.
struct RecorderLightState {
  float fdr_test_on;     // recorder switch at test with its power present
  float cvr_run_timer;   // s of voice recorder run-on after the engines stop
  int32_t cvr_state;     // 0 no start seen, 1 start seen, 2 switch returned
  int32_t eng_running_prev[2];
};
extern RecorderLightState recorder_lights;

// Slat positions of the last frame (0 retracted, 0.5 extended, 1 full): the
// host's slat 2, whose position the lights show, and its slat 1.
extern float slat_ratio_prev;
extern float slat1_ratio_prev;

// The cabin beyond what the automatic controller keeps it to: differential
// above 8.75 psi, cabin above 15,800 ft or climbing or descending faster
// than 3,000 ft/min. AUTO FAIL lights, and MASTER CAUTION AIR COND with it.
bool pressurisation_limits_exceeded();

// Flap position needles follow the flaps while AC transfer bus 2 is powered.
void flap_needles();
