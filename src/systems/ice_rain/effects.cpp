// Effects that drive looks rather than systems: the de-ice holdover time,
// windshield frost and ice build-up, the limiting and removal of the host's
// wing, tail and inlet ice, the wing-tip vortex flags, and the tyre-smoke
// puff at touchdown. Reads the host's weather, ice and gear values and the
// scripts' de-ice truck state; writes the host's ice values, the scripts'
// holdover time and frost, and the published effect values.
#include <cmath>

#include "core/binding.h"
#include "core/frame_values.h"
#include "core/preprocess_values.h"
#include "core/units.h"
#include "core/util.h"
#include "core/host_io.h"
#include "systems/ice_rain/ice_values.h"
#include "systems/instruments/instrument_values.h"
#include "systems/systems_steps.h"

namespace {

constexpr float kHpaPerInHg = 33.8638816f;
// Most ice the host may add per second before the excess is discarded.
constexpr float kIceGrowthPerS = 0.0005f;

// Holdover limit (s) by ambient temperature (deg C): the first row whose
// upper bound the temperature is below.
struct HoldoverRow {
  float below_degc;
  float limit_s;
};
constexpr HoldoverRow kHoldover[] = {{-25.0f, 1800.0f}, {-18.0f, 2400.0f}, {-14.0f, 3000.0f}, {-8.0f, 3900.0f}};
constexpr float kHoldoverWarm_s = 4800.0f;

float holdover_limit(float t) {
  for (const HoldoverRow& r : kHoldover) {
    if (t < r.below_degc) return r.limit_s;
  }
  return kHoldoverWarm_s;
}

float precipitation() {
  if (read_now_f(bound::zuvadud_D738_perf_kill_windshield) == 0.0f) {
    return host_mirror.sim_weather_precipitation_on_aircraft_ratio;
  }
  if (bound_present(bound::env_active) && read_now_f(bound::env_active) != 0.0f) {
    return std::fmax(read_now_f(bound::env_rain), read_now_f(bound::env_snow));
  }
  return read_now_f(bound::sim_weather_rain_percent);
}

void update_holdover(float p) {
  float& h = ice_rain_state.holdover_time_s;
  const float limit = holdover_limit(host_mirror.sim_weather_temperature_ambient_c);
  if (on_ground != 1) {
    if (h > 0.0f) h = std::fmax(0.0f, h - 540.0f * frame_time);
  } else if (read_now_f(bound::zuvadud_D738_de_ice_truck_act) != 0.0f) {
    if (h < limit) h += limit / 160.0f * frame_time;
  } else if (h > 0.0f) {
    const float fp = 1.0f + 4.0f * clamp_range(p, 0.0f, 1.0f);
    const float fw = 1.0f + 1.5f * clamp_range(host_mirror.sim_cockpit2_gauges_indicators_wind_speed_kts, 0.0f, 100.0f) / 100.0f;
    float rate = fp * fw;
    if (host_mirror.sim_flightmodel_position_groundspeed > 70.0f) rate *= 1.1f;
    h = std::fmax(0.0f, h - frame_time * rate);
  }
  script_set_f(bound::zuvadud_D738_de_ice_truck_holdover_time, h);
}

void update_windshield() {
  const float w = host_mirror.sim_flightmodel_failures_window_ice;
  float r = 0.0033f;
  if (w > 0.0f && frame_time > 0.0f) r = interpolate_clamped(0.0001f, 0.0033f, 0.00255f, 0.066f, w / frame_time);
  ice::monster_icing = lag_toward(ice::monster_icing, w > 0.0f ? 1.0f : 0.0f, 0.0f, 1.0f, r);
  // Frost forms on glass below freezing and melts off glass above it: the
  // windshield's forward panes, as warm as their heat keeps them.
  const float glass = std::fmin(ice::l_fwd_temp, ice::r_fwd_temp);
  float& frost = ice_rain_state.frost;
  if (w > 0.0f) {
    frost += w;
  } else if (glass < 0.0f) {
    frost += 0.001f * frame_time;
  } else {
    frost -= 0.001f * frame_time;
  }
  frost = clamp_range(frost, 0.0f, 1.0f);
  host_set_f(bound::sim_flightmodel_failures_window_ice, 0.0f);
  script_set_f(bound::zuvadud_D738_freeze_effect, frost);
}

// Host ice H against the kept value K: growth beyond the limit is dropped.
// Returns the limited value; g receives the growth kept.
float limit_growth(float host, float kept, float& g) {
  g = host - kept;
  if (frame_time > 0.0f && g / frame_time > kIceGrowthPerS) {
    g = kIceGrowthPerS * frame_time;
    return kept + g;
  }
  return host;
}

float remove_ice(float value, float rate, float g) { return std::fmax(0.0f, value - (rate * frame_time + std::fmax(g, 0.0f))); }

// Only the wing heat takes ice off, on the ground as in the air: its flag is
// set while the valve is open with the duct pressure the wing needs. Engine
// thrust alone heats nothing.
float wing_ice(float host, float& kept, float heat_flag) {
  float g;
  float h = limit_growth(host, kept, g);
  if (h > 0.0f && heat_flag == 1.0f) h = remove_ice(h, 0.005f, g);
  if (ice_rain_state.holdover_time_s > 0.0f && h > 0.0f) h = remove_ice(h, 0.011f, g);
  kept = h;
  return h;
}

}  // namespace

void ice_rain_take_host_ice() {
  const HostMirror& m = host_mirror;
  ice_rain_state.frame_ice_left = clamp_range(m.sim_flightmodel_failures_frm_ice, 0.0f, 1.0f);
  ice_rain_state.frame_ice_right = clamp_range(m.sim_flightmodel_failures_frm_ice2, 0.0f, 1.0f);
  for (int e = 0; e < 2; ++e)
    ice_rain_state.inlet_ice[e] = clamp_range(m.sim_flightmodel_failures_inlet_ice_per_engine[e], 0.0f, 1.0f);
}

void ice_rain() {
  if (frame_time != frame_time) return;
  update_holdover(precipitation());
  update_windshield();
  HostMirror& m = host_mirror;
  const float left = wing_ice(m.sim_flightmodel_failures_frm_ice, ice_rain_state.frame_ice_left, ice::wing_l_heat_on);
  host_set_f(bound::sim_flightmodel_failures_frm_ice, left);
  const float right = wing_ice(m.sim_flightmodel_failures_frm_ice2, ice_rain_state.frame_ice_right, ice::wing_r_heat_on);
  host_set_f(bound::sim_flightmodel_failures_frm_ice2, right);
  if (host_version >= 120000) {
    host_set_f(bound::sim_flightmodel_failures_tail_ice, left);
    host_set_f(bound::sim_flightmodel_failures_tail_ice2, right);
  }
  bool changed = false;
  for (int e = 0; e < 2; ++e) {
    float g;
    float v = limit_growth(m.sim_flightmodel_failures_inlet_ice_per_engine[e], ice_rain_state.inlet_ice[e], g);
    if (m.sim_cockpit2_ice_ice_inlet_heat_on_per_engine[e] != 0) v = remove_ice(v, 0.005f, g);
    ice_rain_state.inlet_ice[e] = v;
    if (m.sim_flightmodel_failures_inlet_ice_per_engine[e] != v) changed = true;
    m.sim_flightmodel_failures_inlet_ice_per_engine[e] = v;
  }
  if (changed) {
    host_send_vf(bound::sim_flightmodel_failures_inlet_ice_per_engine, m.sim_flightmodel_failures_inlet_ice_per_engine, 2);
  }
}

void vortex_effect() {
  const HostMirror& m = host_mirror;
  effect::vortex = effect::vortex2 = 0.0f;
  const float ra = frame_flight_data.radio_alt_ft;
  if (!(ra > 20.0f && ra < 1500.0f)) return;
  const float f = 79.0f - 3.0f * clamp_range(m.sim_flightmodel2_misc_AoA_angle_degrees, 0.0f, 15.0f) / 15.0f;
  const float p0 = m.sim_weather_barometer_sealevel_inhg * kHpaPerInHg * 100.0f;
  if (p0 == 0.0f) return;
  const float ratio = m.sim_weather_barometer_current_inhg * kHpaPerInHg * f / p0;
  const float t = (m.sim_weather_temperature_sealevel_c + 273.15f) * std::pow(ratio, 0.2857143f) - 273.15f;
  const float dew = m.sim_weather_dewpoi_sealevel_c;
  if (dew > t) effect::vortex = 1.0f;
  if (dew - 1.0f > t) effect::vortex2 = 1.0f;
}

void update_touchdown_effect() {
  TouchdownEffectState& s = touchdown_state;
  const float ground_kt = host_mirror.sim_flightmodel_position_groundspeed * kt_per_mps_6dp;
  for (int i = 0; i < 3; ++i) {
    if (host_mirror.sim_weather_runway_friction != 0.0f) {
      effect::touchdown[i] = 0.0f;
      continue;
    }
    const float slip = std::fabs(systems::tire_speed[i] - ground_kt);
    const bool down = host_mirror.sim_flightmodel2_gear_on_ground[i] == 1;
    if (down && slip > 80.0f) s.smoke_armed[i] = 1.0f;
    if (s.smoke_armed[i] == 1.0f && s.smoke_timer_s[i] < 0.55f) {
      if (s.smoke_timer_s[i] == 0.0f) {
        const float over = std::fmin(slip, 140.0f) - 80.0f;
        if (i == 0) {
          s.smoke_strength[i] = slip <= 80.0f ? 0.07f : 0.07f + over * 0.43f / 60.0f;
        } else {
          s.smoke_strength[i] = slip <= 80.0f ? 0.1f : 0.1f + over * 0.9f / 60.0f;
        }
      }
      s.smoke_timer_s[i] += frame_time;
      s.airborne_timer_s[i] = 0.0f;
    } else if (!down) {
      if (s.airborne_timer_s[i] < 1.0f) {
        s.airborne_timer_s[i] += frame_time;
      } else {
        s.smoke_armed[i] = 0.0f;
        s.smoke_timer_s[i] = 0.0f;
      }
    } else {
      s.airborne_timer_s[i] = 0.0f;
    }
    const float t = s.smoke_timer_s[i];
    effect::touchdown[i] = (t > 0.0f && t < 0.55f) ? s.smoke_strength[i] : 0.0f;
  }
}
