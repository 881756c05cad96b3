// Thrust lever to N1 command and N1 limits. Reads the published thrust and
// reverse levers, the hardware axes, idle modes and indicated N1, the host's
// prop modes, deploy ratios, temperature and density, and the scripts' N1
// limit pair "zuvadud/D738/FMS/N1_mode_thrust". Writes the scripts'
// "eng1_req_n1"/"eng2_req_n1", "eng*_req_pie", "thr_lvr1"/"thr_lvr2", the
// host's "ENGN_thro_use" and the published N1 limits.
#include "engines/n1_command.h"

#include "core/binding.h"
#include "core/frame_values.h"
#include "core/util.h"
#include "engines/engine_eicas.h"
#include "engines/engine_inputs.h"
#include "engines/engine_values.h"
#include "engines/thrust_tables.h"
#include "systems/flight_controls/flight_control_values.h"
#include "systems/switches/switch_values.h"

N1CommandState n1_command_state;

namespace {

using TableFn = float (*)(float, int32_t, float);


float table_temperature() {
  return clamp_range(host_mirror.sim_cockpit2_temperature_outside_air_temp_degc, 0.0f, 40.0f);
}

// The older host's tables shift with the approach-idle density offset.
float table_density() {
  const float d = newer_host() ? sigma() : sigma() - density_offset;
  return clamp_range(d, thrust_tables.low_density, thrust_tables.high_density);
}

// One lookup through the rows the idle mode uses, interpolated over
// temperature and density as the tables are laid out for the running host.
// `rows_family` picks the rows (the newer host's limits always use family 1).
float table_blend(TableFn fn, float v, float mode, float rows_family) {
  if (!newer_host()) {
    const float d = table_density();
    if (mode == 0.0f) {
      const float t = table_temperature();
      // A temperature of exactly 15 uses the 15-to-40 pair.
      const bool warm = t >= 15.0f;
      const int32_t a = warm ? 1 : 0;
      const float ta = warm ? 15.0f : 0.0f;
      const float tb = warm ? 40.0f : 15.0f;
      const float dense = interpolate_clamped(ta, fn(v, a, mode), tb, fn(v, a + 1, mode), t);
      const float thin = interpolate_clamped(ta, fn(v, a + 3, mode), tb, fn(v, a + 4, mode), t);
      return interpolate_clamped(0.235f, thin, 1.0f, dense, d);
    }
    return interpolate_clamped(0.235f, fn(v, 0, mode), 1.0f, fn(v, 1, mode), d);
  }
  const float s = clamp_range(sigma(), 0.235f, 1.0f);
  if (s >= 0.405f) return interpolate_clamped(0.405f, fn(v, 1, rows_family), 1.0f, fn(v, 2, rows_family), s);
  return interpolate_clamped(0.235f, fn(v, 0, rows_family), 0.405f, fn(v, 1, rows_family), s);
}

float n1_limit(float m, float mode, int32_t prop, int32_t e) {
  if (newer_host() && mode == 0.0f) return n1_table_lookup(m, 0, 0.0f);
  const float input = newer_host() ? table_blend(n1_table_lookup, m, mode, 1.0f)
                                   : table_blend(n1_table_lookup, m, mode, mode);
  return throttle_to_n1_target(input, mode, prop, e);
}

}  // namespace

float requested_n1_fraction(float lever, float mode, int32_t prop, int32_t e) {
  if (newer_host() && mode == 0.0f) {
    return n1_table_lookup_alt(throttle_to_n1_target(lever, mode, prop, e), 0, mode);
  }
  return table_blend(n1_table_lookup_alt, lever, mode, mode);
}

void engine_n1_command_update() {
  if (handle(bound::sim_flightmodel_engine_ENGN_thro_use) == nullptr ||
      handle(bound::sim_cockpit2_temperature_outside_air_temp_degc) == nullptr ||
      handle(bound::zuvadud_D738_engine_eng1_req_n1) == nullptr ||
      handle(bound::zuvadud_D738_engine_eng2_req_n1) == nullptr)
    return;
  N1CommandState& s = n1_command_state;
  const HostMirror& h = host_mirror;
  s.idle_snapshot[0] = engine::idle_mode[0];
  s.idle_snapshot[1] = engine::idle_mode[1];

  const float thrust_lever[2] = {finite_or(engine::thrust1_leveler, 0.0f), finite_or(engine::thrust2_leveler, 0.0f)};
  const float reverse_lever[2] = {finite_or(flt_ctrls::reverse_lever1, 0.0f),
                                  finite_or(flt_ctrls::reverse_lever2, 0.0f)};
  const float axis_value[2] = {finite_or(axis::throttle1, 0.0f), finite_or(axis::throttle2, 0.0f)};
  const float indicated[2] = {finite_or(engine::indicators_N1_percent_1, 0.0f),
                              finite_or(engine::indicators_N1_percent_2, 0.0f)};
  const bound::Id req_id[2] = {bound::zuvadud_D738_engine_eng1_req_n1, bound::zuvadud_D738_engine_eng2_req_n1};
  const bound::Id pie_id[2] = {bound::zuvadud_D738_engine_eng1_req_pie, bound::zuvadud_D738_engine_eng2_req_pie};
  const bound::Id lvr_id[2] = {bound::zuvadud_D738_engine_thr_lvr1, bound::zuvadud_D738_engine_thr_lvr2};
  const float slow_spool_below = newer_host() ? 36.0f : 38.0f;

  for (int32_t e = 0; e < 2; ++e) {
    const float mode = s.idle_snapshot[e];
    const int32_t prop = h.sim_cockpit2_engine_actuators_prop_mode[e];
    const float deploy = h.sim_flightmodel2_engines_thrust_reverser_deploy_ratio[e];
    const float lever = (prop == 3 && deploy > 0.0f) ? reverse_lever[e] : thrust_lever[e];
    float r = requested_n1_fraction(lever, mode, prop, e);
    const float axis_n1 = requested_n1_fraction(axis_value[e], mode, prop, e);
    float p = r * 100.0f;
    float g = p - indicated[e];

    // The host throttle follows the lever; up from ground idle the engine
    // spools slowly until it is past the slow part of its acceleration.
    const float target = throttle_to_n1_target(prop == 3 ? reverse_lever[e] : thrust_lever[e], mode, prop, e);
    const float tm = thrust_tables.throttle_max;
    float& ratio = s.throttle_ratio[e];
    if (g > 0.0f && mode == 0.0f && indicated[e] < slow_spool_below) {
      ratio = move_toward_timed(ratio, target, 0.0f, tm, 38.0f);
    } else if (g > 0.0f) {
      ratio = ramp_toward(ratio, target, 0.0f, tm, 0.5f);
    } else {
      ratio = ramp_toward(ratio, target, 0.0f, tm, 0.27f);
    }

    // Back at ground idle the request trails the spooling-down engine.
    if (mode != 0.0f) s.held_request_pct[e] = p;
    if (mode == 0.0f && s.prev_idle_mode[e] != mode) s.spool_down_done[e] = 0;
    if (s.spool_down_done[e] == 0) {
      if (indicated[e] - p > 0.2f) {
        float held = s.held_request_pct[e];
        if (indicated[e] - 2.0f < held) held = indicated[e] - 2.0f;
        if (p > held) held = p;
        s.held_request_pct[e] = held;
        p = held;
        g = held - indicated[e];
        r = held / 100.0f;
      } else {
        s.spool_down_done[e] = 1;
      }
    }
    script_set_f(req_id[e], r);
    script_set_f(pie_id[e], g);
    script_set_f(lvr_id[e], axis_n1);
    s.requested_n1[e] = r;
  }
  s.prev_idle_mode[0] = s.idle_snapshot[0];
  s.prev_idle_mode[1] = s.idle_snapshot[1];
  host_send_vf(bound::sim_flightmodel_engine_ENGN_thro_use, s.throttle_ratio, 2);
  host_mirror.sim_flightmodel_engine_ENGN_thro_use[0] = s.throttle_ratio[0];
  host_mirror.sim_flightmodel_engine_ENGN_thro_use[1] = s.throttle_ratio[1];

  float* lim[2] = {&engine::eng1_N1_lim, &engine::eng2_N1_lim};
  float* lim2[2] = {&engine::eng1_N1_lim2, &engine::eng2_N1_lim2};
  for (int32_t e = 0; e < 2; ++e) {
    const float m = finite_or(script_mirror.zuvadud_D738_FMS_N1_mode_thrust[e], 0.0f);
    const float mode = s.idle_snapshot[e];
    const int32_t prop = h.sim_cockpit2_engine_actuators_prop_mode[e];
    *lim[e] = n1_limit(m, mode, prop, e);
    *lim2[e] = n1_limit(0.9f * m, mode, prop, e);
  }

  if (sim_paused == 0 && sim_in_replay == 0) apply_flight_model_adjustments();
}
