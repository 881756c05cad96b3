// Engine values carried between frames that other subsystems also touch: the
// mixture commands and the spool model's N1/N2 (restored from the cockpit
// state arrays), the per-load EGT offsets, and the thrust lever, reverser and
// autothrottle working state (reset on the first frame after each load and
// set by the reverser commands).
#pragma once

#include <cstdint>

struct EngineStateCopies {
  float mixture[2];            // mixture commands last sent to the host, 0..1
  float spool_n2[2];           // N2 % as the start model drives it; pushed to "ENGN_N2_"
  float spool_n2_previous[2];  // spool_n2 at the end of the previous frame
  float spool_n1[2];           // N1 % as the start model shows it
};
extern EngineStateCopies engine_copies;

// Per-load EGT bias per engine, degC in [-20, 20).
extern float egt_offset[2];

struct ThrustLeverState {
  float servo[2];              // autothrottle servo, a host throttle ratio
  float last_input[2];         // lever inputs of the previous frame
  float last_ratio_all;        // "throttle_ratio_all" of the previous frame
  float remembered_axis[2];    // hardware axes at the last speed-mode change / while unlocked
  float speed_mode_checked;    // speed_mode2 at the last change check
  float speed_mode_prev;       // speed_mode2 of the previous frame (speed law)
  float settle_timer_s[2];     // N1 fine trim: time within 0.6 % of the bug
  uint8_t settled[2];
  float reverser_held[2];      // 1 while a reverser hold key is down
  float reverser_engaged[2];   // set by the hold key, cleared once stowed at idle
  float manual_n1[2];          // remembered manual N1 set values (fraction)
  float n1_source_taken;       // N1 SET knob position the engine display last took
};
extern ThrustLeverState thrust_lever_state;

// Speed-mode autothrottle law state.
struct AutothrottleSpeedState {
  float integral;
  float output;
  float last_output;
  float last_predicted_kt;
  float step_timer_s;
  float last_p_term;
  float upper;  // the higher speed-mode ceiling of the engines, at most 1.0 (1.0 after each load)
  float lower;  // 0
};
extern AutothrottleSpeedState autothrottle_speed_state;

// First frame after a load: levers and servo from the host throttle ratios,
// speed-law state cleared, bugs and manual N1 values 0.984.
void reset_thrust_lever_state();
// A restored N1 SET knob hands over the remembered manual N1 values as its
// commands do when it is turned there: the adjust knob takes the engine it
// now sets, and an engine it leaves keeps its bug at its own value.
void hand_over_restored_n1_set();
// The N1 SET source knob was turned: with the engine display powered it hands
// over what each detent passed hands over; dark, the display takes the knob
// when its power comes back.
void n1_set_source_turned();
