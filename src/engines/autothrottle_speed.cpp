// Autothrottle speed law of the speed modes: a predicted-speed proportional
// and integral law with an error band, acceleration-dependent gains and a
// rate limit, stepped every 0.1 s. Reads the side's airspeed and acceleration,
// the MCP speed, the minimum speed, the host N1 and throttle use (mirrors);
// owns autothrottle_speed_state.
#include <cmath>

#include "core/binding.h"
#include "core/frame_values.h"
#include "core/util.h"
#include "engines/engine_inputs.h"
#include "engines/engine_state.h"
#include "engines/thrust_levers.h"

float autothrottle_speed_target() {
  AutothrottleSpeedState& s = autothrottle_speed_state;
  const HostMirror& h = host_mirror;
  const ScriptMirror& sm = script_mirror;
  const bool fo_side = sm.zuvadud_autopilot_ap_side != 0.0f;
  const float v = finite_or(fo_side ? h.sim_cockpit2_gauges_indicators_airspeed_kts_copilot
                                    : h.sim_cockpit2_gauges_indicators_airspeed_kts_pilot, 0.0f);
  const float a = finite_or(fo_side ? h.sim_cockpit2_gauges_indicators_airspeed_acceleration_kts_sec_copilot
                                    : h.sim_cockpit2_gauges_indicators_airspeed_acceleration_kts_sec_pilot, 0.0f);
  const float sel = sm.zuvadud_D738_autopilot_mcp_speed_dial_kts;
  const float min_speed = sm.zuvadud_D738_pfd_min_speed;
  const float abs_a = std::fabs(a);

  // Look further ahead the further the speed is from the selected one.
  const float off = std::fabs(v - sel);
  const float lead = 10.0f + (off * 0.2f > 2.0f ? 2.0f : off * 0.2f);
  const float predicted = v + lead * a;

  const float mean_n1 = (h.sim_flightmodel2_engines_N1_percent[0] +
                         h.sim_flightmodel2_engines_N1_percent[1]) * 0.5f;
  const float g = mean_n1 < 40.0f ? 1.15f : (mean_n1 >= 100.0f ? 0.75f : 1.15f - 0.4f * (mean_n1 - 40.0f) / 60.0f);

  const float mode = sm.zuvadud_D738_autopilot_speed_mode2;
  if (mode != thrust_lever_state.speed_mode_prev) {
    const float t0 = h.sim_flightmodel_engine_ENGN_thro_use[0];
    const float t1 = h.sim_flightmodel_engine_ENGN_thro_use[1];
    const float start = finite_or(t0 > t1 ? t0 : t1, 0.0f);
    s.step_timer_s = 0.0f;
    s.integral = start;
    s.output = start;
    s.last_output = start;
    s.last_predicted_kt = predicted;
  }

  s.step_timer_s += frame_time;
  if (s.step_timer_s <= 0.1f) return s.output;
  const float dt = s.step_timer_s;

  const float err = sel - predicted;
  float band;
  if (err <= 0.0f) {
    band = 8.0f;
  } else if (err <= 4.0f) {
    band = 8.0f * (1.0f - 0.15f * err);
  } else {
    band = 8.0f * (0.4f + 0.15f * ((err < 8.0f ? err : 8.0f) - 4.0f));
  }
  if ((err > 5.0f && a < -0.6f) || (err < -5.0f && a > 0.6f)) {
    band *= abs_a > 1.4f ? 1.5f : 1.0f + 0.625f * (abs_a - 0.6f);
  } else if ((err > 5.0f && a > 0.0f) || (err < -5.0f && a < 0.0f)) {
    band *= abs_a > 1.4f ? 0.5f : 1.0f - 0.5f * abs_a / 1.4f;
  }
  const bool below_min = v < min_speed && v < sel;
  if (below_min) band *= 2.0f;
  const float x = clamp_range(err, -band, band);

  const float d = std::fabs(sel - v);
  float kp;
  float ki;
  if (d >= 5.0f) {
    kp = 0.014f;
    ki = dt * 0.005f;
  } else {
    kp = 0.011f + 0.003f * d / 5.0f;
    if (sel > 339.0f) {
      ki = dt * (0.0026f + 0.0044f * d / 5.0f);
    } else if ((x > 0.0f && a > 0.9f) || (x < 0.0f && a < -0.9f)) {
      ki = dt * (0.00245f + 0.00355f * d / 5.0f);
    } else if (a > -0.9f && a < 0.9f) {
      ki = dt * (0.00245f + 0.00455f * d / 5.0f);
    } else {
      ki = dt * 0.005f;
    }
  }
  const float diff = sel - v;
  if ((diff > 5.0f && a < -0.6f) || (diff < -5.0f && a > 0.6f)) {
    kp *= abs_a > 1.4f ? 1.2f : 1.0f + 0.25f * (abs_a - 0.6f);
  }
  s.step_timer_s = 0.0f;
  const float kd = 0.01f / dt;
  if (below_min) {
    kp = 0.028f;
    ki = 0.01f;
  }

  s.integral = clamp_range(s.integral, s.lower, s.upper);
  s.integral = clamp_range(s.integral + ki * x, s.lower, s.upper);
  const float pp = kp * x;
  float out = clamp_range(s.integral + pp - kd * (predicted - s.last_predicted_kt), s.lower, s.upper);

  float rate = 0.3f * frame_time;
  if ((pp < 0.0f && a < -0.22f) || (pp > 0.0f && a > 0.22f) || (d < 5.0f && abs_a < 0.22f)) rate = 0.11f * frame_time;
  if ((x > 3.0f && a < -0.1f) || (x < -3.0f && a > 0.1f)) rate *= 1.5f;
  if (below_min) rate = 0.9f * frame_time;
  rate *= g;

  // The integral catches up with the output when the proportional term turns.
  if (pp < 0.0f && s.last_p_term >= 0.0f && s.integral > out) s.integral = out;
  if (pp > 0.0f && s.last_p_term <= 0.0f && out > s.integral) s.integral = out;
  s.last_p_term = pp;

  out = clamp_range(out, s.last_output - rate, s.last_output + rate);
  out = finite_or(out, s.last_output);
  s.output = out;
  s.last_output = out;
  s.last_predicted_kt = predicted;
  return s.output;
}
