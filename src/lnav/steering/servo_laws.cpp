// Autopilot servo laws: column servo with gain ramp, stabilizer auto-trim,
// CWS pitch hold, flare trim and the rollout yaw servo.
#include "lnav/steering/servo_laws.h"

#include <cmath>

#include "core/command_refs.h"
#include "core/binding.h"
#include "core/host_io.h"
#include "core/frame_values.h"
#include "core/preprocess_values.h"
#include "core/util.h"
#include "lnav/guidance_steps.h"
#include "systems/electrical/bus_feeds.h"
#include "systems/flight_controls/elec_trim_state.h"
#include "systems/switches/switch_values.h"

PitchServoState pitch_servo{};
YawServoState yaw_servo{};

namespace {

// The laws update at most this often; the elapsed time is their step.
constexpr float kUpdatePeriodS = 0.06f;
constexpr float kPitchSamplePeriodS = 0.1f;
// Authority ramp after an engagement: 10 to 100 at 12 per second (7.5 s),
// giving a gain factor of 0.1 to 1.0.
constexpr float kRampStart = 10.0f;
constexpr float kRampFull = 100.0f;
constexpr float kRampRate = 12.0f;
// Pitch law gains (column per degree, per degree-second, per degree/s).
constexpr float kPitchErrorLimitDeg = 3.0f;
constexpr float kPitchKp = 0.45f;
constexpr float kPitchKi = 0.125f;
constexpr float kPitchRateGain = 0.095f;
constexpr float kPitchErrorRateGain = 0.1f;
// The flare trim is fixed below this radio altitude with autoland and
// released above the second.
constexpr float kFlareTrimHeightFt = 365.0f;
constexpr float kFlareReleaseHeightFt = 600.0f;
constexpr float kFlareTrimNoseUp = 0.07f;
constexpr float kFlareTrimUnset = -3.0f;
// The servo moves the stabilizer only inside the trim range it may command
// (the trim's own range is wider than the green band).
constexpr float kTrimMoveLow = -0.97076f;
constexpr float kTrimMoveHigh = 0.719299f;
constexpr float kTrimTargetLow = -0.970759f;
constexpr float kTrimTargetHigh = 0.719298f;
// Full trim travel (2 units) in 63.33 s with flaps out, 190 s clean.
constexpr float kTrimRateFlaps = 2.0f / 63.33f;
constexpr float kTrimRateClean = 2.0f / 190.0f;
// A target this far from the trim that the trim does not move toward is one
// the trim is not following (a frame's motor step is about 0.0003).
constexpr float kTrimStallTolerance = 0.002f;
constexpr float kColumnReleased = 0.05f;
constexpr float kColumnOpposes = 0.4f;

struct ServoInputs {
  float enable_pitch, enable_elev, enable_yaw;
  float servo_override, rollout, autoland;
  float cws_p, ap_on, cws, ap_side;
  float fd_pitch_deg, pitch_cpt_deg, pitch_fo_deg;
  float column, trim;
  float radio_alt_ft, flap_handle;
  float hdef_dots, nav1_crs_deg, mmr_mode, gls_dev, gls_crs_deg, mag_var_deg, heading_deg;
};


// The poll stores finite values only, but a step's own set_mirror_f (the
// column below) takes no check: a non-finite value stored so reads 0.
float read_mirror(bound::Id id) { return finite_or(mirror_f(id), 0.0f); }

ServoInputs read_inputs() {
  ServoInputs in;
  in.enable_pitch = read_now_f(bound::zuvadud_D738_autopilot_enable_servo_pitch);
  in.enable_elev = read_now_f(bound::zuvadud_D738_autopilot_enable_servo_elev_pitch);
  in.enable_yaw = read_now_f(bound::zuvadud_D738_autopilot_enable_servo_yaw);
  in.servo_override = read_mirror(bound::zuvadud_D738_autopilot_servo_override);
  in.rollout = read_mirror(bound::zuvadud_D738_autopilot_rollout_status);
  in.autoland = read_mirror(bound::zuvadud_D738_autopilot_autoland_status);
  in.cws_p = read_mirror(bound::zuvadud_D738_autopilot_cws_p_status);
  in.ap_on = read_mirror(bound::zuvadud_autopilot_ap_on);
  in.cws = read_mirror(bound::zuvadud_D738_autopilot_cws_status);
  in.ap_side = read_mirror(bound::zuvadud_autopilot_ap_side);
  // The flight director wrote its bar earlier in this frame: take it as it
  // stands now, not as the frame's first poll saw it.
  in.fd_pitch_deg = read_now_f(bound::sim_cockpit_autopilot_flight_director_pitch);
  in.pitch_cpt_deg = read_mirror(bound::sim_cockpit2_gauges_indicators_pitch_AHARS_deg_pilot);
  in.pitch_fo_deg = read_mirror(bound::sim_cockpit2_gauges_indicators_pitch_AHARS_deg_copilot);
  in.column = read_mirror(bound::sim_cockpit2_controls_yoke_pitch_ratio);
  in.trim = read_mirror(bound::sim_cockpit2_controls_elevator_trim);
  in.radio_alt_ft = read_mirror(bound::sim_cockpit2_gauges_indicators_radio_altimeter_height_ft_pilot);
  in.flap_handle = read_mirror(bound::sim_cockpit2_controls_flap_handle_deploy_ratio);
  in.hdef_dots = read_mirror(bound::sim_cockpit2_radios_indicators_nav1_hdef_dots_pilot);
  in.nav1_crs_deg = read_mirror(bound::sim_cockpit2_radios_actuators_nav1_course_deg_mag_pilot);
  in.mmr_mode = read_mirror(bound::zuvadud_D738_nav_mmr_act_mode);
  in.gls_dev = read_now_f(bound::zuvadud_D738_nav_gls1_horz_dev);
  in.gls_crs_deg = read_now_f(bound::zuvadud_D738_nav_gls1_crs);
  in.mag_var_deg = read_mirror(bound::sim_flightmodel_position_magnetic_variation);
  in.heading_deg = read_mirror(bound::sim_cockpit2_gauges_indicators_heading_AHARS_deg_mag_pilot);
  return in;
}

void write_column(float v) {
  script_set_f(bound::zuvadud_D738_autopilot_servo_pitch, v);
  host_send_f(bound::sim_cockpit2_controls_yoke_pitch_ratio, v);
  set_mirror_f(bound::sim_cockpit2_controls_yoke_pitch_ratio, v);
  script_set_f(bound::zuvadud_D738_yoke_pitch_ratio2_old, v);
}

float gain_factor(float ramp) {
  if (ramp < kRampStart) return 0.1f;
  if (ramp > kRampFull) return 1.0f;
  return 0.1f + (ramp - kRampStart) * 0.9f / 90.0f;
}

// Pitch servo not engaged: either everything off (the trim target follows the
// trim), or CWS, which holds the attitude captured when the column is let go
// by trimming against the predicted pitch.
void pitch_servo_idle(const ServoInputs& in, float dt) {
  PitchServoState& s = pitch_servo;
  if (in.cws_p == 0.0f || (in.ap_on == 0.0f && in.cws == 0.0f)) {
    script_set_f(bound::zuvadud_D738_autopilot_servo_pitch, 0.0f);
    s.trim_cmd = in.trim;
    s.update_clock_s = 0.0f;
    s.trim_accum = 0.0f;
    s.gain_ramp = 1.0f;
    s.first_update = 1;
    s.last_engaged = in.enable_pitch;
    s.cws_hold = 0.0f;
    return;
  }
  if (!(std::fabs(in.column) < kColumnReleased)) {
    s.cws_hold = 0.0f;
    return;
  }
  const bool fo_side = in.ap_side != 0.0f;
  const float pitch = fo_side ? in.pitch_fo_deg : in.pitch_cpt_deg;
  const float rate = fo_side ? s.pitch_rate_fo_dps : s.pitch_rate_cpt_dps;
  if (s.cws_hold == 0.0f) {
    s.cws_hold = 1.0f;
    s.cws_hold_pitch_deg = pitch;
  }
  const float lead_s = in.flap_handle < 0.05f ? 2.0f : 4.5f;
  const float d = s.cws_hold_pitch_deg - (lead_s * rate + pitch);
  if (std::fabs(d) > 1.0f) {
    s.trim_cmd = clamp_range(in.trim + clamp_range(d, -5.0f, 5.0f) * dt * 60.0f * 0.01f, -1.0f, 1.0f);
  }
  // At a trim stop the hold cannot be kept: hand the pitch back.
  if (in.trim == 1.0f || in.trim == -1.0f) issue_command_once(HostCmd::autopilot_servos_fdir_off);
}

// The stabilizer trim target after a column update: follows the trim while the
// column moves the other way, and steps toward unloading the integrator once
// enough of it has built up.
void auto_trim(const ServoInputs& in, float output, float pitch_error_rate) {
  PitchServoState& s = pitch_servo;
  const float integrator = s.pitch_pid.integral;
  s.trim_accum += s.pitch_pid.p_term;
  if (s.first_update == 0) {
    if (output > 0.0f && output >= s.prev_output && s.trim_cmd < in.trim) s.trim_cmd = in.trim;
    if (output < 0.0f && output <= s.prev_output && s.trim_cmd > in.trim) s.trim_cmd = in.trim;
  }
  s.first_update = 0;

  const float r = pitch_error_rate;
  const float r_abs = std::fabs(r);
  float k1 = 1.0f;
  float k2 = 1.0f;
  if (r_abs > 2.0f) {
    k1 = 1.0f + (std::fmin(r_abs, 4.0f) - 2.0f) / 6.0f;
    k2 = 1.0f + (std::fmin(r_abs, 8.0f) - 2.0f) / 14.0f;
  }
  float v;
  if ((r < -1.0f && integrator > 0.0f) || (r > 1.0f && integrator < 0.0f)) {
    v = -k1 * integrator;
  } else {
    v = k2 * integrator;
  }
  if ((r < 0.0f && v > 0.0f) || (v < 0.0f && r > 0.0f)) s.trim_accum -= 1.1f * integrator;

  // Without the override switch the pilot's column against the demand stops
  // the auto-trim.
  bool step_allowed = true;
  if (toggle_switch::stab_trim_overide_pos == 0.0f &&
      ((in.column < -kColumnOpposes && v > 0.0f) || (in.column > kColumnOpposes && v < 0.0f))) {
    s.trim_accum = 0.0f;
    step_allowed = false;
  }
  s.prev_output = output;
  if (!(std::fabs(s.trim_accum) > 2.0f && step_allowed)) return;

  const float gain = host_version < 120000 ? 0.2f : 0.15f;
  const float step = clamp_range(v * gain, -0.02f, 0.02f);
  s.trim_cmd = clamp_range(s.trim_cmd + step, -1.0f, 1.0f);
  s.trim_accum = 0.0f;
  s.last_engaged = in.enable_pitch;
}

void pitch_servo_engaged(const ServoInputs& in, float dt) {
  PitchServoState& s = pitch_servo;
  PidState& pid = s.pitch_pid;
  s.update_clock_s += dt;
  if (!(s.update_clock_s > kUpdatePeriodS)) return;
  const float t = s.update_clock_s;

  const float pitch = in.ap_side < 2.0f ? in.pitch_cpt_deg : in.pitch_fo_deg;
  const float e = in.fd_pitch_deg - pitch;
  const float ec = clamp_range(e, -kPitchErrorLimitDeg, kPitchErrorLimitDeg);
  const bool new_engagement = s.last_engaged != in.enable_pitch;
  if (new_engagement) {
    s.gain_ramp = kRampStart;
  } else if (s.gain_ramp < kRampFull) {
    s.gain_ramp = std::fmin(s.gain_ramp + kRampRate * t, kRampFull);
  }
  const float f = gain_factor(s.gain_ramp);

  float output;
  if (in.rollout > 0.0f && on_ground == 1) {
    // Rollout: the column eases back to neutral.
    const float step = 0.1f * t;
    output = in.column > 0.0f ? std::fmax(in.column - step, 0.0f) : std::fmin(in.column + step, 0.0f);
    pid.integral = 0.0f;
    pid.prev_error = ec;
  } else {
    if (new_engagement) {
      pid.integral = 0.0f;
      pid.prev_error = ec;
      pid.prev_out = pitch;
    }
    pid.integral = clamp_range(pid.integral + ec * t * f * kPitchKi, pid.out_min, pid.out_max);
    const float pitch_rate_term = (pitch - pid.prev_out) * f * kPitchRateGain / t;
    output = ec * f * kPitchKp + pid.integral - pitch_rate_term - (ec - pid.prev_error) * f * kPitchErrorRateGain;
    output = clamp_range(output, pid.out_min, pid.out_max);
    pid.prev_error = ec;
    pid.p_term = pid.integral;
  }
  pid.prev_out = pitch;
  write_column(output);
  const float pitch_error_rate = e / t;
  s.update_clock_s = 0.0f;

  if (in.enable_elev == 0.0f) {
    s.trim_cmd = in.trim;
    s.first_update = 1;
    s.trim_accum = 0.0f;
    s.last_engaged = in.enable_pitch;
    return;
  }

  if (in.autoland != 0.0f && in.radio_alt_ft < kFlareTrimHeightFt && s.flare_trim < -2.0f) {
    s.flare_trim = in.trim + kFlareTrimNoseUp;
    s.trim_cmd = clamp_range(s.flare_trim, -1.0f, 1.0f);
    s.trim_accum = 0.0f;
  }
  s.last_engaged = in.enable_pitch;
  if (s.flare_trim >= -2.0f) return;  // the flare trim holds

  auto_trim(in, output, pitch_error_rate);
}

// Moves the stabilizer toward the trim target at the trim motor's rate.
void trim_output(const ServoInputs& in, float dt) {
  PitchServoState& s = pitch_servo;
  // With its cutout switch thrown, or the one trim motor it shares with the
  // yoke switches without power, the autopilot's trim moves nothing: its
  // target stays with the trim, so nothing is left pending for the moment
  // the switch goes back to NORMAL or the power comes back.
  const bool cut_out = autopilot_trim_cut_out() || !fed(Consumer::stab_trim_main_elec);
  if (cut_out) {
    s.trim_cmd = in.trim;
    s.trim_accum = 0.0f;
    s.first_update = 1;
  }
  script_set_f(bound::zuvadud_D738_autopilot_servo_pitch_elev, s.trim_cmd);
  const bool driving = in.enable_elev != 0.0f || (in.cws_p != 0.0f && (in.ap_on != 0.0f || in.cws != 0.0f));
  const bool short_of_target = std::fabs(s.trim_cmd - in.trim) > kTrimStallTolerance;
  if (!cut_out && driving && short_of_target && in.trim == s.trim_seen) {
    s.trim_stalled_s += dt;
  } else {
    s.trim_stalled_s = 0.0f;
  }
  s.trim_seen = in.trim;
  if (cut_out || !driving || !(in.trim >= kTrimMoveLow && in.trim <= kTrimMoveHigh)) return;
  const float target = clamp_range(s.trim_cmd, kTrimTargetLow, kTrimTargetHigh);
  const float max_step = (in.flap_handle >= 0.05f ? kTrimRateFlaps : kTrimRateClean) * dt;
  const float trim = clamp_range(target, in.trim - max_step, in.trim + max_step);
  if (trim == in.trim) return;
  host_send_f(bound::sim_cockpit2_controls_elevator_trim, trim);
  set_mirror_f(bound::sim_cockpit2_controls_elevator_trim, trim);
}

// Rudder servo: flies the localizer (or the GLS lateral path) course.
void yaw_servo_step(const ServoInputs& in, float dt) {
  YawServoState& y = yaw_servo;
  if (in.enable_yaw != 1.0f) {
    script_set_f(bound::zuvadud_D738_autopilot_servo_yaw, 0.0f);
    y.last_engaged = in.enable_yaw;
    y.update_clock_s = 0.0f;
    return;
  }
  y.update_clock_s += dt;
  if (!(y.update_clock_s > kUpdatePeriodS)) return;

  float target = in.mmr_mode == 1.0f ? in.hdef_dots * 10.0f + in.nav1_crs_deg
                                     : in.mag_var_deg + in.gls_crs_deg + in.gls_dev * 10.0f;
  target = static_cast<float>(std::fmod(static_cast<double>(target), 360.0));
  if (target < 0.0f) target += 360.0f;
  if (target >= 360.0f) target = 0.0f;  // -tiny + 360 rounds up to 360
  const float kp = in.rollout == 2.0f ? 0.05f : 0.1f;
  const int32_t reset = in.enable_yaw != y.last_engaged ? 1 : 0;
  const float out = pid_step(y.yaw_pid, target, in.heading_deg, y.update_clock_s, kp, kp * 0.03f, 0.0f, reset, 0.0f,
                             0.38f, kPidErrorAngle);
  script_set_f(bound::zuvadud_D738_autopilot_servo_yaw, out);
  y.last_engaged = in.enable_yaw;
  y.update_clock_s = 0.0f;
}

}  // namespace

void ap_servo() {
  const float dt = std::isfinite(frame_time) && frame_time > 0.0f ? frame_time : 0.0f;
  const ServoInputs in = read_inputs();
  PitchServoState& s = pitch_servo;

  s.sample_clock_s += dt;
  if (s.sample_clock_s > kPitchSamplePeriodS) {
    s.pitch_rate_cpt_dps = (in.pitch_cpt_deg - s.pitch_sample_cpt_deg) / s.sample_clock_s;
    s.pitch_rate_fo_dps = (in.pitch_fo_deg - s.pitch_sample_fo_deg) / s.sample_clock_s;
    s.pitch_sample_cpt_deg = in.pitch_cpt_deg;
    s.pitch_sample_fo_deg = in.pitch_fo_deg;
    s.sample_clock_s = 0.0f;
  }

  if (in.radio_alt_ft > kFlareReleaseHeightFt || in.autoland == 0.0f) s.flare_trim = kFlareTrimUnset;

  // The scripts' override freezes every servo output where it stands.
  if (in.servo_override != 0.0f) {
    s.update_clock_s = 0.0f;
    s.gain_ramp = 1.0f;
    s.cws_hold = 0.0f;
    s.first_update = 1;
    s.trim_stalled_s = 0.0f;
    return;
  }

  if (in.enable_pitch != 1.0f) {
    pitch_servo_idle(in, dt);
  } else {
    pitch_servo_engaged(in, dt);
  }
  trim_output(in, dt);
  yaw_servo_step(in, dt);
}
