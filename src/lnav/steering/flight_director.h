// Flight director: the roll and pitch command bars that the host's autopilot
// and the pilots' displays follow, and the command shaping laws that turn a
// guidance error into a bar target and a step.
//
// Reads the scripts' autopilot modes, the host's attitude, air data, radio
// deviations and override flags, and the smoothed airspeeds of the speed tape
// (display/display_steps.h). Writes "sim/cockpit/autopilot/flight_director_roll"
// and "sim/cockpit/autopilot/flight_director_pitch" (the latter only from the
// pitch laws) and its own state below. Bars move at most once per 0.06 s of
// accumulated frame time; that accumulated time is the step's dt.
#pragma once

#include <cstdint>

#include "lnav/steering/controller.h"

// Indices into FlightDirectorState::live / hold: the altitude-hold references.
enum FdReference : int32_t {
  kFdRefAltFt = 0,       // reference altitude
  kFdRefIndAltFt = 1,    // indicated altitude at the hold's start
  kFdRefSettingInHg = 2, // altimeter setting at the hold's start
  kFdRefSeaLevelInHg = 3 // sea-level pressure at the hold's start
};

// Indices into FlightDirectorState::carried: last frame's modes. The main
// loop zeroes them on every frame that restores a loaded situation.
enum FdCarried : int32_t {
  kFdPrevPitchMode = 0,
  kFdPrevHostPitchMode = 1,
  kFdPrevFlareStatus = 2,
  kFdPrevGpStatus = 3,
  kFdPrevGlsGsStatus = 4
};

struct FlightDirectorState {
  float live[4];     // the altitude-hold references in use; saved every frame with the cockpit state
  float hold[4];     // the saved references as the cockpit state restore brought them back
  float carried[5];  // previous modes (FdCarried)

  float fd_pitch_cpt, fd_pitch_fo;  // deg, pitch bar per side
  float fd_roll_cpt, fd_roll_fo;    // deg, roll bar per side
  float pitch_step_time, roll_step_time, rate_step_time;  // s since the last update

  // Rate estimates and the samples they were taken from.
  float vs_accel_fpm_s, vs_sample_fpm;
  float trend_rate_kt_s2, trend_sample_kt_s;
  float vdev_rate[2], vdev_sample[2];    // dots/s per side (captain, first officer)
  float vdev_rate2[2], vdev_rate_sample[2];
  float roll_rate_dps, roll_sample_deg;
  float hdg_rate_dps, hdg_sample_deg;
  float ldev_rate, ldev_sample;          // lateral deviation, dots/s

  uint8_t loc_inside;      // course captured
  float loc_inside_time;   // s, 0..12
  uint8_t track_held;      // no course to steer by: the wings came level on held_track_deg
  float held_track_deg;    // deg magnetic, track (heading when slow) held
  float spd_target;        // kt
  int32_t ga_stage;        // 0 before, 1 once the climb is established
  float flare_vs0;         // fpm
};
extern FlightDirectorState flight_director_state;

// The situation-loaded marker that gates the take-over of the saved
// references is the core's (global_state_loaded, core/frame_values.h).
// 1 while the references restored with a loaded situation are still to be
// taken over; set by the situation restore, cleared once they were taken (or
// at a load).
extern uint8_t fd_saved_refs_pending;

// Command shaping. theta: the side's pitch (roll for roll_bar_target), F: the
// bar, t: s since the bar's last update. Each returns the target T and the
// step S (never negative). Read host_version and the frame copies of
// "zuvadud/autopilot/ap_on", the ground speed and the ground-speed multiplier.
void vs_pitch(float target_vs, float vs, float vs_accel, float theta, float F, float t, float& T, float& S,
              int32_t boost);
void alt_pitch(float ref_alt, float alt, float baro_delta, float vs, float vs_accel, float theta, float F, float t,
               float& T, float& S);
void speed_pitch(float speed_target, float speed, float trend, float trend_rate, float theta, float F, float t,
                 float& T, float& S);
void toga_pitch(float speed_target, float speed, float trend, float trend_rate, float theta, float F, float t,
                float& T, float& S);
void gs_pitch(float dev, float dev_rate, float dev_rate2, float mult, float theta, float F, float t, float& T,
              float& S);
void roll_bar_target(float bank_cmd, float roll, float roll_rate, float roll_now, float F, float t, float& T,
                     float& S);

// The bar rule: toward T, by at most S.
inline float bar_toward(float bar, float T, float S) {
  if (T > bar) return T < bar + S ? T : bar + S;
  if (T < bar) return T > bar - S ? T : bar - S;
  return bar;
}
