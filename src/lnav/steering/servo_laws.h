// Autopilot servo laws: the column (pitch) servo that flies the flight
// director's pitch command, the stabilizer auto-trim behind it, control-wheel
// steering pitch hold, the one-time nose-up trim of the autoland flare, and
// the rudder (yaw) servo on the localizer or GLS course during rollout.
//
// The scripts decide which servos are engaged; these laws compute and write
// the outputs. Reads: the scripts' servo enables and autopilot states, the
// host's flight-director pitch, attitudes, column, trim, radio altitude, flap
// handle, navigation deviations and heading. Writes: "zuvadud/D738/autopilot/
// servo_pitch", "servo_pitch_elev", "servo_yaw", the host's column
// ("sim/cockpit2/controls/yoke_pitch_ratio", also "zuvadud/D738/yoke/
// pitch_ratio2_old") and elevator trim, and the host command
// "sim/autopilot/servos_fdir_off" at a trim stop during CWS pitch hold.
// `ap_servo` (declared with the other guidance steps) runs once per unpaused
// frame right after the flight-director update.
#pragma once

#include <cstdint>

#include "lnav/steering/controller.h"

struct PitchServoState {
  float pitch_rate_cpt_dps;   // pitch rates, sampled every 0.1 s
  float pitch_rate_fo_dps;
  float pitch_sample_cpt_deg; // pitches at the last sample
  float pitch_sample_fo_deg;
  float sample_clock_s;       // since the last sample
  float update_clock_s;       // since the last pitch-law update
  float gain_ramp;            // 10..100 after an engagement (authority 0.1..1.0); start-up sets 0.1
  float last_engaged;         // enable_servo_pitch at the last update
  // The pitch law's record: limits, last clamped error, integrator, the
  // pitch at the last update (prev_out) and a copy of the integrator (p_term)
  // that the auto-trim sums.
  PidState pitch_pid;
  float trim_cmd;             // stabilizer trim target, -1..1
  float trim_accum;           // integrator values summed since the last trim step
  float prev_output;          // column output of the last auto-trim pass
  int32_t first_update;       // 1 after a reset: skips the trim-follow test once
  // -3 not set; else the trim held for the flare. Starts unset: a "set" value
  // would freeze the trim target on a first call made below 600 ft in autoland.
  float flare_trim = -3.0f;
  float cws_hold;             // 1 while CWS holds a captured pitch
  float cws_hold_pitch_deg;
  // How long the stabiliser has stood still short of the trim target the
  // servo drives it to (a failed trim, or a stop it cannot pass): STAB OUT
  // OF TRIM reads it. 0 while the trim follows or nothing drives it.
  float trim_stalled_s;
  float trim_seen;            // the trim at the last output pass
};
extern PitchServoState pitch_servo;

struct YawServoState {
  float update_clock_s;
  float last_engaged;  // enable_servo_yaw at the last update
  PidState yaw_pid;    // limits -1..1, set at start-up
};
extern YawServoState yaw_servo;
