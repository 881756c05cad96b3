// Engine indications. Reads the host's running flags, N2, fuel flow, EGT, oil
// temperature and quantity, failures, leading-edge temperature, barometer and
// Mach (mirror), the published fuel valves and N2 indications; writes the
// published EGT, oil pressure, oil temperature and fuel flow values.
#include "engines/engine_indications.h"

#include <cmath>

#include "core/binding.h"
#include "core/frame_values.h"
#include "core/util.h"
#include "core/variant.h"
#include "engines/engine_inputs.h"
#include "engines/engine_start.h"
#include "engines/engine_state.h"
#include "engines/engine_values.h"

EngineIndicationState engine_indication_state;

namespace {

constexpr int kStartEgtPoints = 19;
constexpr float k_start_n2[kStartEgtPoints] = {20.0f, 28.7f, 29.7f, 32.2f, 34.4f, 36.8f, 38.7f,
                                               40.9f, 42.8f, 45.3f, 47.5f, 50.3f, 53.0f, 55.1f,
                                               56.8f, 57.9f, 58.8f, 59.4f, 59.7f};
constexpr float k_start_egt[kStartEgtPoints] = {68, 71, 77, 105, 130, 158, 181, 205, 230, 260,
                                                290, 322, 352, 385, 420, 428, 436, 444, 451};

// How fast a hung start's EGT climbs, deg C a second: to the NG's start
// limit from a hang near 30 % N2 in about two minutes.
constexpr float kHungStartEgtRise_c_s = 5.0f;

// Display fuel-flow start pulse, in hundredths of kg/s.
constexpr float kFfPeak = 9.722f;
constexpr float kFfSettle = 8.2177f;
// Start switch positions that drive a start: GRD (starter air) and FLT.
constexpr float kStartGrd = 0.0f;
constexpr float kStartFlt = 3.0f;

bool oil_pump_failed(int e) {
  return (e == 0 ? host_mirror.sim_operation_failures_rel_oilpmp0 : host_mirror.sim_operation_failures_rel_oilpmp1) == 6;
}

float egt_rate(float egt, float target, float mach) {
  if (egt <= target) {
    if (egt < 390.0f) return 0.6f;
    if (egt <= 410.0f) return 0.6f - (egt - 390.0f) * 0.015f;
    return 0.3f;
  }
  const float m = clamp_range(1.0f - 0.9f * mach / 0.82f, 0.1f, 1.0f);
  if (egt < 100.0f) return m * 0.02f;
  if (egt < 200.0f) return interpolate_clamped(100.0f, m * 0.02f, 200.0f, m * 0.03f, egt);
  if (egt < 300.0f) return interpolate_clamped(200.0f, m * 0.03f, 300.0f, m * 0.05f, egt);
  if (egt < 400.0f) return interpolate_clamped(300.0f, m * 0.05f, 400.0f, 0.3f, egt);
  if (egt < 410.0f) return 0.6f - (egt - 390.0f) * 0.015f;
  return 0.3f;
}

}  // namespace

float start_egt_table(float n) {
  if (!(n > k_start_n2[0])) return k_start_egt[0];
  for (int i = 1; i < kStartEgtPoints; ++i) {
    if (n < k_start_n2[i]) return interpolate_clamped(k_start_n2[i - 1], k_start_egt[i - 1], k_start_n2[i], k_start_egt[i], n);
  }
  return k_start_egt[kStartEgtPoints - 1];
}

float oil_pressure_for(float n, float p0, float q) {
  float p;
  if (!(n >= 0.0f)) {
    p = 0.0f;
  } else if (n <= 20.2f) {
    p = 15.7f * n / 20.2f;
  } else if (n <= 30.7f) {
    p = interpolate_clamped(20.2f, 15.7f, 30.7f, 20.7f, n);
  } else if (n <= 38.2f) {
    p = interpolate_clamped(30.7f, 20.7f, 38.2f, 27.7f, n);
  } else if (n <= 58.9f) {
    p = interpolate_clamped(38.2f, 27.7f, 58.9f, 39.7f, n);
  } else {
    p = 39.7f + (n - 58.9f) * 1.3223529f;
  }
  p -= p0;
  if (!(p > 0.0f)) p = 0.0f;
  if (!(q >= 0.05f)) return 0.0f;
  if (q < 0.55f) p *= 2.0f * (q - 0.05f);
  return p;
}

void update_engine_indications() {
  EngineIndicationState& s = engine_indication_state;
  HostMirror& h = host_mirror;
  const bool replay = sim_in_replay != 0;
  const float spar[2] = {engine::spar1_valve, engine::spar2_valve};
  const float valve[2] = {engine::eng1_valve, engine::eng2_valve};
  float* const egt_out[2] = {&engine::eng1_egt, &engine::eng2_egt};
  float* const press_out[2] = {&engine::eng1_oil_press, &engine::eng2_oil_press};
  float* const temp_out[2] = {&engine::eng1_oil_temp, &engine::eng2_oil_temp};
  const float n2_ind[2] = {finite_or(engine::indicators_N2_percent_1, 0.0f),
                           finite_or(engine::indicators_N2_percent_2, 0.0f)};
  const float air_le = finite_or(h.sim_cockpit2_temperature_outside_air_LE_temp_degc, 15.0f);
  const float mach = h.sim_flightmodel_misc_machno;

  uint8_t fuel[2];
  uint8_t fuel_prev[2];
  for (int e = 0; e < 2; ++e) {
    fuel[e] = (spar[e] >= 0.95f && valve[e] >= 0.95f) ? 1 : 0;
    fuel_prev[e] = s.fuel_flag_prev[e];
    s.fuel_flag_prev[e] = fuel[e];
  }

  for (int e = 0; e < 2; ++e) {
    const float host_ff = h.sim_cockpit2_engine_indicators_fuel_flow_kg_sec[e];
    if (replay) {
      engine::fuel_flow_kg_sec[e] = host_ff;
      fuel[e] = 1;
      continue;
    }
    const bool running = h.sim_flightmodel_engine_ENGN_running[e] != 0;
    if (running && s.running_prev[e] == 0) s.ff_phase[e] = 1;
    const float avail_target = (h.sim_flightmodel2_engines_N2_percent[e] > 20.0f && fuel[e] != 0) ? 1.0f : 0.0f;
    s.fuel_available[e] = move_toward_timed(s.fuel_available[e], avail_target, 0.0f, 1.0f, 2.0f);
    float v = finite_or(engine::fuel_flow_kg_sec[e], 0.0f) * 100.0f;
    // A start meters its fuel whether or not the igniters light it: a wet
    // start shows its flow with a cold EGT, an ignition fault rather than a
    // fuel one.
    const float start_switch = e == 0 ? engine::starter1_pos : engine::starter2_pos;
    const bool starting = (start_switch == kStartGrd || start_switch == kStartFlt) && n2_ind[e] < 56.5f;
    if (separated(e)) {
      v = lag_toward(v, 0.0f, 0.0f, 1000.0f, 5.0f);
    } else if (!running && starting && s.fuel_available[e] >= 0.99f) {
      v = lag_toward(v, kFfSettle, 0.0f, 1000.0f, 1.0f);
    } else if (s.fuel_available[e] < 0.99f || !running) {
      v = lag_toward(v, 0.0f, 0.0f, 1000.0f, 1.0f);
    } else if (s.ff_phase[e] == 1) {
      v = move_toward_timed(v, kFfPeak, 0.0f, 1000.0f, 0.154f);
      if (v == kFfPeak) s.ff_phase[e] = 2;
    } else if (s.ff_phase[e] == 2) {
      v = move_toward_timed(v, kFfSettle, 0.0f, 1000.0f, 0.333f);
      if (v == kFfSettle) s.ff_phase[e] = 0;
    } else {
      float target = host_ff;
      if (target < kFfSettle / 100.0f && n2_ind[e] < 56.5f) target = kFfSettle / 100.0f;
      v = lag_toward(v, target * 100.0f, 0.0f, 1000.0f, 1.0f);
    }
    engine::fuel_flow_kg_sec[e] = v / 100.0f;
  }

  for (int e = 0; e < 2; ++e) {
    const bool running = h.sim_flightmodel_engine_ENGN_running[e] != 0;
    const float n = n2_ind[e];
    if (!running && s.running_prev[e] != 0 && n > 57.0f && fuel[e] != 0) {
      s.egt_stop_state[e] = 1;
      float target = *egt_out[e] + (n <= 101.4f ? 100.0f + (n - 57.0f) * 40.0f / 44.4f : 140.0f);
      const float top = egt_indication_max_c();
      s.egt_stop_target[e] = target > top ? top : target;
    } else if (running || n < 18.2f) {
      s.egt_stop_state[e] = 0;
      if (n < 18.2f) s.egt_start_base[e] = air_le;
    }
    s.running_prev[e] = running ? 1 : 0;
  }

  for (int e = 0; e < 2; ++e) {
    if (fuel[e] != 0 && fuel_prev[e] == 0) {
      const float n = n2_ind[e];
      s.egt_start_base[e] = *egt_out[e];
      s.egt_start_factor[e] = n < 17.2f ? 2.0f : (n > 24.3f ? 1.0f : 2.0f - (n - 17.2f) / 7.1f);
    }
  }

  for (int e = 0; e < 2; ++e) {
    const bool running = h.sim_flightmodel_engine_ENGN_running[e] != 0;
    const float n = n2_ind[e];
    const float host_ff = h.sim_cockpit2_engine_indicators_fuel_flow_kg_sec[e];
    const float offset = finite_or(egt_offset[e], 0.0f);
    const float egt_now = finite_or(*egt_out[e], 0.0f);
    float target;
    if (!running) {
      target = air_le;
    } else if (n >= 56.5f || host_ff >= 0.1f) {
      // Engine 2 reads its own displayed flow, so its target follows the display.
      const float f = (e == 0 || replay) ? host_ff : engine::fuel_flow_kg_sec[1];
      target = 200.0f * std::pow(1000.0f * (f > 0.0f ? f : 0.0f), 0.2f) - 50.0f;
      s.egt_start_base[e] = air_le;
    } else {
      // A hung start: the start fuel burns on in a core that no longer
      // accelerates, hotter by the second, a hot start if left.
      const float hung_rise = kHungStartEgtRise_c_s * finite_or(engine_start_state.hung_s[e], 0.0f);
      float start = air_le;
      if (fuel[e] != 0 && n >= 20.0f && (n >= 28.0f || host_ff >= 0.0279f)) {
        start = start_egt_table(n) * (offset + 431.0f) / 431.0f * s.egt_start_factor[e] + hung_rise;
        if (start < egt_now) start = egt_now;
      }
      auto mx = [](float a, float b) { return a > b ? a : b; };
      if (n < 18.2f) {
        target = mx(air_le + hung_rise, start);
      } else if (n >= 58.9f) {
        s.egt_start_base[e] = air_le;
        target = n <= 101.4f ? mx(431.0f + (n - 58.9f) * 375.0f / 42.5f, start) : mx(806.0f, start);
      } else if (fuel[e] == 0) {
        target = mx(air_le, start);
      } else {
        const float base = s.egt_start_base[e];
        target = mx(base + (n - 18.2f) * (431.0f - base) / 40.7f + hung_rise, start);
      }
    }
    const float host_egt = h.sim_cockpit2_engine_indicators_EGT_deg_C[e];
    if (target < air_le - offset) target = air_le - offset;
    if (target < -offset) target = -offset;
    if (target < host_egt) target = host_egt;
    target += offset;
    if (target < air_le) target = air_le;

    if (separated(e)) {
      *egt_out[e] = 0.0f;
      continue;
    }
    float rate;
    if (s.egt_stop_state[e] == 1) {
      rate = 0.3f;
      // The residual heat shows while the core runs down from where it
      // stood: the spool is the start model's, never held here.
      if (egt_now >= s.egt_stop_target[e] - 45.0f) {
        s.egt_stop_state[e] = 2;
      } else {
        target = s.egt_stop_target[e];
      }
    } else {
      rate = egt_rate(egt_now, target, mach);
    }
    *egt_out[e] = lag_toward(egt_now, target, 0.0f, egt_indication_max_c(), rate);
  }

  const float p0 = h.sim_weather_barometer_current_inhg / 2.03602f;
  for (int e = 0; e < 2; ++e) {
    float press = 0.0f;
    if (!oil_pump_failed(e) && !separated(e)) {
      press = oil_pressure_for(n2_ind[e], p0, h.sim_flightmodel_engine_ENGN_oil_quan[e]);
    }
    *press_out[e] = press;
  }

  for (int e = 0; e < 2; ++e) {
    if (separated(e)) {
      *temp_out[e] = 0.0f;
      continue;
    }
    const float host_t = h.sim_cockpit2_engine_indicators_oil_temperature_deg_C[e];
    float base = 0.0f;
    if (host_t >= 31.0f) {
      base = 69.0f + (host_t - 31.0f) * 0.66f;
    } else if (host_t >= 0.0f) {
      base = host_t * 69.0f / 31.0f;
    }
    float target = air_le > base ? air_le : base;
    if (target < 0.0f) target = 0.0f;
    const float temp = finite_or(*temp_out[e], 0.0f);
    // Without oil pressure the oil overheats toward 200 degC.
    if (h.sim_flightmodel2_engines_engine_is_burning_fuel[e] != 0 && *press_out[e] <= 14.5f) {
      target = interpolate_clamped(0.0f, 200.0f, 14.5f, target, *press_out[e]);
      *temp_out[e] = ramp_toward(temp, target, 0.0f, 200.0f, 0.26f);
    } else {
      *temp_out[e] = lag_toward(temp, target, 0.0f, 200.0f, 0.4f);
    }
  }
}
