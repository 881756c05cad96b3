// Flight director bars: the start-of-frame rate estimates, the roll bar from
// the scripts' roll mode and the pitch bar from their pitch mode, each moving
// toward a shaped target by a limited step.
//
// Reads (as they stand now) the scripts' autopilot modes and flight-director options
// and the host's own roll bar; (frame copies) attitude, air data, altimeter
// settings, selected values, radio deviations and capture states. Writes
// "sim/cockpit/autopilot/flight_director_roll" and
// "sim/cockpit/autopilot/flight_director_pitch" and flight_director_state.
#include "lnav/steering/flight_director.h"

#include <cmath>
#include <initializer_list>

#include "core/binding.h"
#include "core/host_io.h"
#include "core/frame_values.h"
#include "core/preprocess_values.h"
#include "core/units.h"
#include "core/util.h"
#include "display/display_steps.h"
#include "lnav/guidance_steps.h"
#include "systems/electrical/bus_feeds.h"

FlightDirectorState flight_director_state;
uint8_t fd_saved_refs_pending;

namespace {

constexpr float kStepInterval = 0.06f;  // s of accumulated frame time between bar updates
// deg, the bank within which the wings count as level once a course is lost.
constexpr float kWingsLevelDeg = 3.0f;

FlightDirectorState& fd = flight_director_state;


using angle::mod360_nonneg;
using angle::wrap180_nonneg;

// The frame's inputs, with the side already chosen.
struct Inputs {
  int side;  // 0 captain, 1 first officer
  float single_cue, pitch_active, pitch_override;
  float speed_mode, pitch_mode, roll_mode, vnav_engaged, lvl_chg_mode, flare_status;
  int32_t host_pitch_mode;
  int32_t host_ptch_override, host_roll_override;
  float host_pitch_bar, host_roll_bar;
  float pitch_cpt, pitch_fo, theta, roll;
  float vs, geo_alt_ft, ind_alt, setting, slp;
  float airspeed, trend;
  float spd_sel, presel_alt, hdg_sel, vvi_dial;
  int32_t bank_mode;
  float heading, track, gs_mps;
  float course, ldev;
  float vdev[2];
  int32_t nav_status, approach_status;
  bool nav_powered;  // the receiver this side flies has power
  float gp_status, gls_gs_status, gls_app_status, gls_nav_status;
  float ap_on, cws_p, radio_alt, flight_phase;
};

Inputs read_inputs() {
  Inputs in{};
  in.side = guidance_side() < 2.0f ? 0 : 1;
  in.single_cue = read_now_f(bound::zuvadud_D738_single_cue_fd);
  in.pitch_active = read_now_f(bound::zuvadud_autopilot_fdir_pitch_active);
  in.pitch_override = read_now_f(bound::zuvadud_autopilot_fdir_pitch_override);
  in.speed_mode = read_now_f(bound::zuvadud_D738_autopilot_speed_mode);
  in.pitch_mode = read_now_f(bound::zuvadud_D738_autopilot_altitude_mode);
  in.roll_mode = read_now_f(bound::zuvadud_D738_autopilot_heading_mode);
  in.vnav_engaged = read_now_f(bound::zuvadud_D738_autopilot_vnav_engaged);
  in.lvl_chg_mode = read_now_f(bound::zuvadud_D738_autopilot_lvl_chg_mode);
  in.flare_status = read_now_f(bound::zuvadud_D738_autopilot_flare_status);
  in.host_pitch_mode = mirror_i(bound::sim_cockpit2_autopilot_altitude_mode);
  in.host_ptch_override = mirror_i(bound::sim_operation_override_override_flightdir_ptch);
  in.host_roll_override = mirror_i(bound::sim_operation_override_override_flightdir_roll);
  in.host_pitch_bar = mirror_f(bound::sim_cockpit_autopilot_flight_director_pitch);
  in.host_roll_bar = read_now_f(bound::sim_cockpit_autopilot_flight_director_roll);
  in.pitch_cpt = mirror_f(bound::sim_cockpit2_gauges_indicators_pitch_AHARS_deg_pilot);
  in.pitch_fo = mirror_f(bound::sim_cockpit2_gauges_indicators_pitch_AHARS_deg_copilot);
  const bool cpt = in.side == 0;
  in.theta = cpt ? in.pitch_cpt : in.pitch_fo;
  in.roll = mirror_f(cpt ? bound::sim_cockpit2_gauges_indicators_roll_AHARS_deg_pilot
                         : bound::sim_cockpit2_gauges_indicators_roll_AHARS_deg_copilot);
  in.vs = mirror_f(bound::sim_flightmodel_position_vh_ind_fpm);
  in.geo_alt_ft = static_cast<float>(mirror_d(bound::sim_flightmodel_position_elevation)) * ft_per_m;
  in.ind_alt = mirror_f(cpt ? bound::sim_cockpit2_gauges_indicators_altitude_ft_pilot
                            : bound::sim_cockpit2_gauges_indicators_altitude_ft_copilot);
  in.setting = mirror_f(cpt ? bound::sim_cockpit2_gauges_actuators_barometer_setting_in_hg_pilot
                            : bound::sim_cockpit2_gauges_actuators_barometer_setting_in_hg_copilot);
  in.slp = mirror_f(bound::sim_weather_barometer_sealevel_inhg);
  in.airspeed = airspeed_display.smoothed_kt[in.side];
  in.trend = airspeed_display.trend_kt[in.side];
  in.spd_sel = mirror_f(bound::sim_cockpit2_autopilot_airspeed_dial_kts);
  in.presel_alt = mirror_f(bound::zuvadud_D738_autopilot_preselected_alt);
  in.hdg_sel = mirror_f(bound::sim_cockpit2_autopilot_heading_dial_deg_mag_pilot);
  in.vvi_dial = mirror_f(bound::zuvadud_autopilot_ap_vvi_dial);
  in.bank_mode = mirror_i(bound::sim_cockpit2_autopilot_bank_angle_mode);
  in.heading = mirror_f(bound::sim_cockpit2_gauges_indicators_heading_AHARS_deg_mag_pilot);
  in.track = mirror_f(bound::sim_cockpit2_gauges_indicators_ground_track_mag_pilot);
  in.gs_mps = mirror_f(bound::sim_flightmodel_position_groundspeed);
  // The VHF NAV transfer switch: NORMAL (0) gives each side its own
  // receiver, BOTH ON 1 (-1) receiver 1 to both sides, BOTH ON 2 (1)
  // receiver 2 to both. A receiver's deviation is always flown against the
  // course of the side it belongs to: NAV 1 the captain's, NAV 2 the first
  // officer's, so a transferred side follows the other pilot's course.
  const float source = mirror_f(bound::zuvadud_D738_toggle_switch_vhf_nav_source);
  const bool nav1 = source <= -1.0f || (source < 1.0f && cpt);
  if (nav1) {
    in.course = mirror_f(bound::sim_cockpit2_radios_actuators_nav1_obs_deg_mag_pilot);
    in.ldev = mirror_f(bound::sim_cockpit2_radios_indicators_nav1_hdef_dots_pilot);
  } else {
    in.course = mirror_f(bound::sim_cockpit2_radios_actuators_nav2_obs_deg_mag_copilot);
    in.ldev = mirror_f(bound::sim_cockpit2_radios_indicators_nav2_hdef_dots_copilot);
  }
  in.vdev[0] = mirror_f(bound::zuvadud_radios_pilot_nav_vdef);
  in.vdev[1] = mirror_f(bound::zuvadud_radios_copilot_nav_vdef_fo);
  in.nav_status = mirror_i(bound::sim_cockpit2_autopilot_nav_status);
  in.approach_status = mirror_i(bound::sim_cockpit2_autopilot_approach_status);
  // A receiver without power gives no deviation: its modes drop as when the
  // signal is lost, though the host's own receiver still hears one.
  in.nav_powered = fed(nav1 ? Consumer::vor_dme1 : Consumer::vor_dme2);
  if (!in.nav_powered) {
    in.ldev = 0.0f;
    in.nav_status = in.approach_status = 0;
  }
  in.gp_status = mirror_f(bound::zuvadud_D738_pfd_gp_status);
  in.gls_gs_status = mirror_f(bound::zuvadud_D738_nav_gls_gs_status);
  in.gls_app_status = mirror_f(bound::zuvadud_D738_nav_gls_app_status);
  in.gls_nav_status = mirror_f(bound::zuvadud_D738_nav_gls_nav_status);
  in.ap_on = mirror_f(bound::zuvadud_autopilot_ap_on);
  in.cws_p = mirror_f(bound::zuvadud_D738_autopilot_cws_p_status);
  in.radio_alt = mirror_f(bound::sim_cockpit2_gauges_indicators_radio_altimeter_height_ft_pilot);
  in.flight_phase = mirror_f(bound::zuvadud_D738_FMS_flight_phase);
  return in;
}

// ---- rate estimates -----------------------------------------------------------

void refresh_rates(const Inputs& in) {
  fd.rate_step_time += frame_time;
  if (!(fd.rate_step_time > kStepInterval)) return;
  const float dt = fd.rate_step_time;
  fd.vs_accel_fpm_s = (in.vs - fd.vs_sample_fpm) / dt;
  fd.vs_sample_fpm = in.vs;
  // Scaled by 100 through the lag so its snap and limits act on hundredths.
  const float trend_raw = (in.trend - fd.trend_sample_kt_s) / dt;
  fd.trend_rate_kt_s2 = 0.01f * lag_toward(100.0f * fd.trend_rate_kt_s2, 100.0f * trend_raw, -250.0f, 250.0f, 10.0f);
  fd.trend_sample_kt_s = in.trend;
  for (int s = 0; s < 2; ++s) {
    float rate = 0.0f;
    // A deviation pegged at full scale says nothing about its motion.
    if (std::fabs(in.vdev[s]) < 2.49f) {
      const float raw = (in.vdev[s] - fd.vdev_sample[s]) / dt;
      rate = 0.01f * lag_toward(100.0f * fd.vdev_rate[s], 100.0f * raw, -250.0f, 250.0f, 3.0f);
    }
    fd.vdev_rate[s] = rate;
    fd.vdev_sample[s] = in.vdev[s];
    fd.vdev_rate2[s] = (fd.vdev_rate[s] - fd.vdev_rate_sample[s]) / dt;
    fd.vdev_rate_sample[s] = fd.vdev_rate[s];
  }
  fd.roll_rate_dps = (in.roll - fd.roll_sample_deg) / dt;
  fd.roll_sample_deg = in.roll;
  fd.hdg_rate_dps = wrap180_nonneg(in.heading - fd.hdg_sample_deg) / dt;
  fd.hdg_sample_deg = in.heading;
  fd.ldev_rate = (in.ldev - fd.ldev_sample) / dt;
  fd.ldev_sample = in.ldev;
  fd.rate_step_time = 0.0f;
}

// ---- roll bar -------------------------------------------------------------------

// Bank toward a track: the lead grows with the remaining turn (k 1..5).
float bank_for_track(float target, float reference, float hdg_rate) {
  const float k = 1.0f + 4.0f * std::fmin(std::fabs(wrap180_nonneg(target - reference)), 30.0f) / 30.0f;
  const float predicted = reference + k * hdg_rate;
  const float e = wrap180_nonneg(target - predicted);
  const float b = 30.0f * std::sin(90.0f * std::fmin(std::fabs(e), 15.0f) / 15.0f * pi_f / 180.0f);
  return e < 0.0f ? -b : b;
}

void move_roll_bar(const Inputs& in, float bank, float max_step_factor_host11) {
  const float t = fd.roll_step_time;
  const float F = in.side == 0 ? fd.fd_roll_cpt : fd.fd_roll_fo;
  float T = 0.0f;
  float S = 0.0f;
  roll_bar_target(bank, in.roll, fd.roll_rate_dps, in.roll, F, t, T, S);
  float m = max_step_factor_host11;
  if (m == 0.0f) {
    if (host_version < 120000) {
      m = 1.6f;
    } else if (S < 4.0f) {
      m = 2.0f;
    } else if (S <= 14.0f) {
      m = 2.0f + (S - 4.0f) / 10.0f;
    } else {
      m = 3.0f;
    }
  }
  if (S > t * m) S = t * m;
  const float bar = bar_toward(F, T, S);
  fd.fd_roll_cpt = fd.fd_roll_fo = bar;
  host_send_f(bound::sim_cockpit_autopilot_flight_director_roll, bar);
  fd.roll_step_time = 0.0f;
}

float selector_limit(int32_t bank_mode) {
  if (bank_mode < 3) return 10.0f;
  if (bank_mode == 3) return 15.0f;
  if (bank_mode == 4) return 20.0f;
  if (bank_mode == 5) return 25.0f;
  return 30.0f;
}

bool accumulate_roll() {
  fd.roll_step_time += frame_time;
  return fd.roll_step_time > kStepInterval;
}

// With no course to steer by (none captured yet, its signal gone, its
// receiver without power) a director commands no turn: the wings come level,
// and the track they came level on is held until a course is captured again
// or another mode is chosen.
float hold_track(const Inputs& in, float reference) {
  if (fd.track_held == 0) {
    if (!(std::fabs(in.roll) < kWingsLevelDeg)) return 0.0f;
    fd.track_held = 1;
    fd.held_track_deg = reference;
  }
  return bank_for_track(fd.held_track_deg, reference, fd.hdg_rate_dps);
}

void course_capture(const Inputs& in) {
  if (!accumulate_roll()) return;
  const float limit = selector_limit(in.bank_mode);
  const float reference = in.gs_mps >= 45.0f ? in.track : in.heading;
  float bank = 0.0f;
  if (!(in.nav_status == 2 || in.approach_status == 2)) {
    bank = hold_track(in, reference);
  } else {
    fd.track_held = 0;
    const float dev = in.ldev + 4.5f * fd.ldev_rate;
    const float a = std::fabs(dev);
    const float q = 90.0f * std::fmin(a, 2.5f) / 2.5f * pi_f / 180.0f;
    const float s1 = 45.0f * std::sin(q);
    const float s2 = 25.0f * std::sin(q);
    const float side = dev < 0.0f ? -1.0f : 1.0f;
    float target;
    if (a > 0.8f && fd.loc_inside == 0) {
      fd.loc_inside_time = std::fmax(fd.loc_inside_time - frame_time, 0.0f);
      const float t1 = mod360_nonneg(in.course + side * s1);
      const float t2 = mod360_nonneg(in.course + side * s2);
      const float delta = wrap180_nonneg(t2 - t1);
      const float h = wrap180_nonneg(in.heading - t1);
      if (dev < 0.0f) {
        if (h > 0.0f) {
          target = h <= delta ? in.heading : t2;
        } else {
          fd.loc_inside = 1;
          target = t1;
        }
      } else {
        if (h < 0.0f) {
          target = delta <= h ? in.heading : t2;
        } else {
          fd.loc_inside = 1;
          target = t1;
        }
      }
    } else {
      if (a <= 0.8f) {
        fd.loc_inside = 1;
        fd.loc_inside_time = std::fmin(fd.loc_inside_time + frame_time, 12.0f);
      }
      const float g = 1.0f - 0.34f * std::fmin(a, 2.5f) / 2.5f;
      const float w = interpolate_clamped(8.0f, 0.5f, 12.0f, 1.0f, fd.loc_inside_time);
      target = in.course + side * s1 * g * w;
    }
    bank = bank_for_track(target, reference, fd.hdg_rate_dps);
  }
  move_roll_bar(in, clamp_range(bank, -limit, limit), 0.0f);
}

void roll_bar(const Inputs& in) {
  const float rm = in.roll_mode;
  if (in.host_roll_override == 0 || rm == 0.0f) {
    fd.fd_roll_cpt = fd.fd_roll_fo = in.host_roll_bar;
    fd.loc_inside = 0;
    fd.loc_inside_time = 0.0f;
    fd.track_held = 0;
    fd.roll_step_time = 0.0f;
    return;
  }
  const bool capture_mode = rm == 2.0f || rm == 3.0f || rm == 9.0f || rm == 14.0f;
  if (capture_mode && in.gls_app_status == 0.0f && in.gls_nav_status == 0.0f) {
    course_capture(in);
    return;
  }
  fd.loc_inside = 0;
  fd.loc_inside_time = 0.0f;
  fd.track_held = 0;
  if (rm == 15.0f || rm == 18.0f) {
    if (accumulate_roll()) move_roll_bar(in, 0.0f, 1.6f);
    return;
  }
  if (!accumulate_roll()) return;
  float bank_limit = 30.0f;
  if ((rm >= 4.0f && rm <= 8.0f) || rm == 13.0f) {
    if (in.radio_alt < 200.0f) {
      bank_limit = 8.0f;
    } else if (in.radio_alt <= 400.0f) {
      bank_limit = 15.0f;
    }
  }
  const float limit = std::fmin(bank_limit, selector_limit(in.bank_mode));
  const float bank = bank_for_track(in.hdg_sel, in.heading, fd.hdg_rate_dps);
  move_roll_bar(in, clamp_range(bank, -limit, limit), 0.0f);
}

// ---- pitch bar ------------------------------------------------------------------

float& side_pitch_bar(const Inputs& in) { return in.side == 0 ? fd.fd_pitch_cpt : fd.fd_pitch_fo; }

void set_pitch_bar(float bar) {
  fd.fd_pitch_cpt = fd.fd_pitch_fo = bar;
  host_send_f(bound::sim_cockpit_autopilot_flight_director_pitch, bar);
  set_mirror_f(bound::sim_cockpit_autopilot_flight_director_pitch, bar);
}

void follow_attitude(const Inputs& in) {
  fd.fd_pitch_cpt = in.pitch_cpt;
  fd.fd_pitch_fo = in.pitch_fo;
}

// Accumulates the step time; true once an update is due.
bool accumulate_pitch() {
  fd.pitch_step_time += frame_time;
  return fd.pitch_step_time > kStepInterval;
}

void apply_pitch(const Inputs& in, float T, float S) {
  set_pitch_bar(bar_toward(side_pitch_bar(in), T, S));
  fd.pitch_step_time = 0.0f;
}

// Bar toward a fixed attitude at a fixed rate per second of frame time.
void pitch_toward_at(const Inputs& in, float target, float rate_dps) {
  set_pitch_bar(bar_toward(side_pitch_bar(in), target, rate_dps * frame_time));
}

// Takes the references saved with a loaded situation, once per restore and
// only in the first frame after it (see update_flight_director).
bool take_saved_refs() {
  if (global_state_loaded == 0.0f || fd_saved_refs_pending == 0) return false;
  for (int i = 0; i < 4; ++i) fd.live[i] = fd.hold[i];
  fd_saved_refs_pending = 0;
  return true;
}

void set_alt_hold_refs(const Inputs& in) {
  fd.live[kFdRefSeaLevelInHg] = in.slp;
  if (take_saved_refs()) return;
  fd.live[kFdRefSettingInHg] = in.setting;
  if (host_version < 120000) {
    if (fd.carried[kFdPrevPitchMode] == 0.0f && in.cws_p == 0.0f) {
      fd.live[kFdRefIndAltFt] = in.ind_alt;
      fd.live[kFdRefAltFt] = in.geo_alt_ft;
    } else {
      fd.live[kFdRefIndAltFt] = in.presel_alt;
      fd.live[kFdRefAltFt] = in.presel_alt + 915.0f * (in.slp - in.setting);
    }
  } else {
    fd.live[kFdRefIndAltFt] = in.presel_alt;
    fd.live[kFdRefAltFt] = in.presel_alt;
  }
}

void ramp_speed_target(const Inputs& in) {
  fd.spd_target = ramp_toward(fd.spd_target, in.spd_sel, 100.0f, 340.0f, 5.0f);
}

// Speed law bounded by a vertical-speed law: the lower target wins with
// `lower`, else the higher.
void speed_with_vs_bound(const Inputs& in, float t, float vs_bound, bool lower, float& T, float& S) {
  const float F = side_pitch_bar(in);
  float T1, S1, T2, S2;
  speed_pitch(fd.spd_target, in.airspeed, in.trend, fd.trend_rate_kt_s2, in.theta, F, t, T1, S1);
  vs_pitch(vs_bound, in.vs, fd.vs_accel_fpm_s, in.theta, F, t, T2, S2, 0);
  const bool second = lower ? T2 < T1 : T2 > T1;
  T = second ? T2 : T1;
  S = second ? S2 : S1;
}

void vs_law(const Inputs& in, float target_vs, float cap_factor) {
  if (!accumulate_pitch()) return;
  const float t = fd.pitch_step_time;
  float T, S;
  vs_pitch(target_vs, in.vs, fd.vs_accel_fpm_s, in.theta, side_pitch_bar(in), t, T, S, 0);
  apply_pitch(in, T, std::fmin(S, cap_factor * t));
}

void flare_law(const Inputs& in, bool entry) {
  if (entry) {
    fd.flare_vs0 = in.vs;
    fd.pitch_step_time = 0.0f;
  }
  if (!accumulate_pitch()) return;
  const float t = fd.pitch_step_time;
  const float h = clamp_range(in.radio_alt, 0.0f, 60.0f);
  const float target_vs = fd.flare_vs0 * h / 60.0f;
  const float measured = in.vs + (2.0f - h / 60.0f) * fd.vs_accel_fpm_s;
  const float u = pid_step(fd_limits, target_vs, measured, t, 0.00006f, 0.00004f, 0.0f, 0, 0.0f, 0.5f, 0.03f, 2);
  const float T = in.theta + 0.04f * (target_vs - measured);
  apply_pitch(in, T, std::fmin(std::fabs(u * t * 17.0f * 2.8f), 2.4f * t));
}

void level_change_law(const Inputs& in, bool entry) {
  if (entry) {
    fd.spd_target = in.airspeed;
    fd.pitch_step_time = 0.0f;
  }
  ramp_speed_target(in);
  if (!accumulate_pitch()) return;
  const float t = fd.pitch_step_time;
  float T, S;
  if (in.lvl_chg_mode == 0.0f) {
    speed_with_vs_bound(in, t, -350.0f, true, T, S);
  } else {
    speed_with_vs_bound(in, t, 200.0f, false, T, S);
  }
  apply_pitch(in, T, std::fmin(S, 1.6f * t));
}

void altitude_law(const Inputs& in, bool entry) {
  if (entry) {
    set_alt_hold_refs(in);
    fd.pitch_step_time = 0.0f;
  } else {
    // Restored already holding (the scripts' state arrives after the first
    // frames): the hold resumes with the references saved with it.
    take_saved_refs();
  }
  if (!accumulate_pitch()) return;
  const float t = fd.pitch_step_time;
  float T, S;
  if (host_version < 120000) {
    alt_pitch(fd.live[kFdRefAltFt], in.geo_alt_ft, in.slp - fd.live[kFdRefSeaLevelInHg], in.vs, fd.vs_accel_fpm_s,
              in.theta, side_pitch_bar(in), t, T, S);
  } else {
    alt_pitch(fd.live[kFdRefAltFt], in.ind_alt, in.setting - fd.live[kFdRefSettingInHg], in.vs, fd.vs_accel_fpm_s,
              in.theta, side_pitch_bar(in), t, T, S);
  }
  apply_pitch(in, T, std::fmin(S, 1.6f * t));
}

void vnav_law(const Inputs& in, bool entry) {
  const int32_t hm = in.host_pitch_mode;
  const float prev_hm = fd.carried[kFdPrevHostPitchMode];
  if (entry || static_cast<float>(hm) != prev_hm) {
    fd.live[kFdRefAltFt] = in.presel_alt;
    fd.pitch_step_time = 0.0f;
    fd.spd_target = in.spd_sel;
  }
  ramp_speed_target(in);
  if (!take_saved_refs()) {
    const bool level = hm == 3 || hm == 6;
    const bool was_level = prev_hm == 3.0f || prev_hm == 6.0f;
    if (level && !was_level) fd.live[kFdRefAltFt] = in.presel_alt;
  }
  if (!accumulate_pitch()) return;
  const float t = fd.pitch_step_time;
  float T, S;
  if (hm == 4) {
    vs_pitch(in.vvi_dial, in.vs, fd.vs_accel_fpm_s, in.theta, side_pitch_bar(in), t, T, S, 0);
    apply_pitch(in, T, std::fmin(S, 2.4f * t));
  } else if (hm == 5) {
    if (in.flight_phase < 4.0f || in.flight_phase > 7.0f) {
      speed_with_vs_bound(in, t, 200.0f, false, T, S);
    } else {
      speed_with_vs_bound(in, t, -350.0f, true, T, S);
    }
    apply_pitch(in, T, std::fmin(std::fabs(S), 3.6f * t));
  } else if (hm == 3 || hm == 6) {
    alt_pitch(fd.live[kFdRefAltFt], in.ind_alt, 0.0f, in.vs, fd.vs_accel_fpm_s, in.theta, side_pitch_bar(in), t, T,
              S);
    apply_pitch(in, T, std::fmin(S, 2.4f * t));
  }
}

void glideslope_law(const Inputs& in) {
  if (fd.carried[kFdPrevHostPitchMode] != 8.0f) fd.pitch_step_time = 0.0f;
  const float R = in.radio_alt;
  if (R < 80.0f) {
    fd.pitch_step_time = 0.0f;
    return;
  }
  float mult = 1.0f;
  if (R < 400.0f) {
    mult = 0.8f;
  } else if (R < 1200.0f) {
    mult = interpolate_clamped(400.0f, 0.8f, 1200.0f, 1.0f, R);
  }
  if (!accumulate_pitch()) return;
  const float t = fd.pitch_step_time;
  float cap;
  if (in.ap_on == 0.0f) {
    mult *= 2.5f;
    cap = 2.88f * t;
  } else {
    cap = 4.8f * t;
  }
  const float F = side_pitch_bar(in);
  const float A = fd.vs_accel_fpm_s;
  // The beam is flown down to the flare, at the reduced gain below 400 ft: a
  // bar holding a remembered vertical speed would lead a crew off the beam.
  const int s = in.side;
  float T, S, T2, S2, T3, S3;
  gs_pitch(in.vdev[s], fd.vdev_rate[s], fd.vdev_rate2[s], mult, in.theta, F, t, T, S);
  vs_pitch(-1500.0f, in.vs, A, in.theta, F, t, T2, S2, 0);
  if (T2 > T) {
    T = T2;
    S = S2;
  }
  vs_pitch(0.0f, in.vs, A, in.theta, F, t, T3, S3, 0);
  if (T3 < T) {
    T = T3;
    S = S3;
  }
  apply_pitch(in, T, std::fmin(std::fabs(S), cap));
}

void approach_law(const Inputs& in) {
  if (in.host_pitch_mode == 8 && !in.nav_powered) {
    // A dead receiver gives no beam: the bar shown (and flown by an engaged
    // autopilot) comes to the attitude rather than keep its last command.
    pitch_toward_at(in, in.theta, 7.25f);
  } else if (in.host_pitch_mode == 8) {
    glideslope_law(in);
  } else if (in.host_pitch_mode == 4) {
    vs_law(in, in.vvi_dial, 1.6f);
  }
}

// Climb once established: the take-off speed law bounded below by +200 fpm.
void climb_stage1(const Inputs& in, bool limit18) {
  ramp_speed_target(in);
  if (!accumulate_pitch()) return;
  const float t = fd.pitch_step_time;
  const float F = side_pitch_bar(in);
  float T, S, T2, S2;
  toga_pitch(fd.spd_target, in.airspeed, in.trend, fd.trend_rate_kt_s2, in.theta, F, t, T, S);
  vs_pitch(200.0f, in.vs, fd.vs_accel_fpm_s, in.theta, F, t, T2, S2, 0);
  if (T2 > T) {
    T = T2;
    S = S2;
  }
  if (limit18 && T > 18.0f) T = 18.0f;
  apply_pitch(in, T, std::fmin(S, 2.4f * 1.5f * t));
}

void takeoff_law(const Inputs& in, bool entry) {
  if (entry) {
    fd.ga_stage = 0;
    fd.spd_target = in.airspeed;
    fd.pitch_step_time = 0.0f;
  }
  if (on_ground != 0) {
    if (in.single_cue != 0.0f) {
      pitch_toward_at(in, in.theta, 7.25f);
    } else {
      pitch_toward_at(in, frame_flight_data.ias_kt < 60.0f ? -10.0f : 15.0f, 7.25f);
    }
    return;
  }
  if (fd.ga_stage == 0) {
    if (in.vs > 500.0f) {
      fd.ga_stage = 1;
      fd.spd_target = in.airspeed;
      fd.pitch_step_time = 0.0f;
    }
    pitch_toward_at(in, 15.0f, 7.25f);
    return;
  }
  climb_stage1(in, true);
}

void climb_out_law(const Inputs& in, bool entry) {
  if (entry) {
    fd.spd_target = in.airspeed;
    fd.pitch_step_time = 0.0f;
    fd.ga_stage = 0;
  }
  if (on_ground != 0 || fd.ga_stage == 0) {
    if (fd.ga_stage == 0 && on_ground == 0 && in.vs + fd.vs_accel_fpm_s > 1000.0f) {
      fd.ga_stage = 1;
      fd.spd_target = in.airspeed;
      fd.pitch_step_time = 0.0f;
    }
    pitch_toward_at(in, 15.0f, 2.5f);
    return;
  }
  climb_stage1(in, false);
}

bool in_group(float m, std::initializer_list<float> group) {
  for (float g : group)
    if (m == g) return true;
  return false;
}

void pitch_bar(const Inputs& in) {
  if (!(in.pitch_active != 0.0f && in.host_ptch_override == 1 && in.pitch_override == 0.0f)) {
    follow_attitude(in);
    fd.pitch_step_time = 0.0f;
    return;
  }
  const float pm = in.pitch_mode;
  const float prev = fd.carried[kFdPrevPitchMode];
  // A row is entered when the pitch mode moves into its group from outside it.
  auto entered = [&](std::initializer_list<float> group) { return in_group(pm, group) && !in_group(prev, group); };
  const bool approach_row = !(in.flare_status == 2.0f) && !(in.gp_status == 2.0f || in.gls_gs_status == 2.0f) &&
                            in_group(pm, {4.0f, 13.0f});

  if (in.flare_status == 2.0f) {
    flare_law(in, fd.carried[kFdPrevFlareStatus] != 2.0f);
  } else if (in.gp_status == 2.0f || in.gls_gs_status == 2.0f) {
    if (fd.carried[kFdPrevGpStatus] != 2.0f && fd.carried[kFdPrevGlsGsStatus] != 2.0f) fd.pitch_step_time = 0.0f;
    vs_law(in, in.vvi_dial, 2.4f);
  } else if (pm == 1.0f) {
    if (entered({1.0f})) fd.pitch_step_time = 0.0f;
    vs_law(in, in.vvi_dial, 1.6f);
  } else if (pm == 2.0f) {
    level_change_law(in, entered({2.0f}));
  } else if (pm == 3.0f || pm == 6.0f) {
    altitude_law(in, entered({3.0f, 6.0f}));
  } else if (pm == 5.0f && in.vnav_engaged != 0.0f) {
    vnav_law(in, entered({5.0f}));
  } else if (approach_row) {
    if (entered({4.0f, 13.0f})) fd.pitch_step_time = 0.0f;
    approach_law(in);
  } else if (pm == 8.0f || pm == 11.0f) {
    takeoff_law(in, entered({8.0f, 11.0f}));
  } else if (pm == 9.0f || pm == 10.0f || pm == 12.0f) {
    climb_out_law(in, entered({9.0f, 10.0f, 12.0f}));
  } else {
    const float sm = in.speed_mode;
    if ((sm >= 3.0f && sm <= 5.0f) || sm == 8.0f) {
      fd.fd_pitch_cpt = fd.fd_pitch_fo = in.host_pitch_bar;
    } else {
      follow_attitude(in);
    }
  }
}

void end_of_frame(const Inputs& in) {
  fd.carried[kFdPrevPitchMode] = in.pitch_mode;
  fd.carried[kFdPrevHostPitchMode] = static_cast<float>(in.host_pitch_mode);
  fd.carried[kFdPrevFlareStatus] = in.flare_status;
  fd.carried[kFdPrevGpStatus] = in.gp_status;
  fd.carried[kFdPrevGlsGsStatus] = in.gls_gs_status;
  if (in.pitch_mode == 5.0f && in.vnav_engaged == 0.0f) {
    fd.carried[kFdPrevPitchMode] = 0.0f;
    fd.pitch_step_time = 0.0f;
    follow_attitude(in);
  }
  if (in.pitch_override != 0.0f) fd.fd_pitch_cpt = fd.fd_pitch_fo = in.host_pitch_bar;
}

}  // namespace

void update_flight_director() {
  const Inputs in = read_inputs();
  if (in.pitch_override != 0.0f) fd.fd_pitch_cpt = fd.fd_pitch_fo = in.host_pitch_bar;
  refresh_rates(in);
  roll_bar(in);
  pitch_bar(in);
  // The saved references belong to the hold or VNAV level the situation was
  // saved in, which the first frame after the restore resumes. Kept armed any
  // longer, a hold entered minutes later would chase that stale altitude.
  if (global_state_loaded != 0.0f) fd_saved_refs_pending = 0;
  end_of_frame(in);
}
