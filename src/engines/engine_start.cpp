// Engine start and spool. Reads the pneumatic duct pressures and valves, the
// start switches, the host's N1/N2, running flags, Mach, elevation, wind and
// failures (mirror); owns spool_n1 / spool_n2 (in
// engine_copies) and writes the host's "ENGN_N2_" and starter ratios every
// frame, plus the published N1/N2, vibration, fan and start-envelope values.
#include "engines/engine_start.h"

#include <cmath>

#include "alerting/failure_state.h"
#include "core/binding.h"
#include "core/frame_values.h"
#include "core/preprocess_values.h"
#include "core/units.h"
#include "core/util.h"
#include "engines/engine_inputs.h"
#include "engines/engine_state.h"
#include "engines/engine_values.h"
#include "engines/thrust_tables.h"
#include "systems/air/air_values.h"
#include "systems/instruments/instrument_values.h"
#include "systems/air/pneumatics.h"

EngineStartState engine_start_state;

namespace {

// The start model's floor of the air density ratio (sigma, 1 at sea level in
// standard air): the starter air limit and the start rates are interpolated
// between it and 1 over the span below, and thinner air counts as this.
constexpr float kStartSigmaMin = 0.635f;
constexpr float kStartSigmaSpan = 0.365f;
// The core speed from which a lit engine runs on the host's own spool.
constexpr float kStarterCutoutN2 = 56.0f;
// On the ground a lit core below the cut-out accelerates only with its
// starter's help, counted as the share of a full starter's air (the limit
// below) that reaches it: from half of it (a dual start with the packs off
// draws about 0.58) at the light-off rate, slower as the air weakens, and
// with a quarter or less (packs on in a dual start, the switch off, the
// APU's air gone) the start hangs.
constexpr float kStarterFullRateAir = 0.5f;
constexpr float kStarterHangAir = 0.25f;
// How long a damaged engine's N2 dips, once a fluctuation period.
constexpr float kDamageDip_s = 0.1f;

// Windmill rows by altitude 0, 15000, 25000, 35000, 45000 ft; Mach 0 .. 0.9.
constexpr float k_windmill_n1[5][10] = {
    {0, 7.51f, 10.96f, 13.45f, 16.13f, 18.34f, 20.52f, 22.3f, 21.98f, 22.28f},
    {0, 7.13f, 10.41f, 12.77f, 15.32f, 17.43f, 19.5f, 21.19f, 23.13f, 23.45f},
    {0, 6.87f, 10.03f, 12.3f, 14.76f, 16.78f, 18.78f, 20.41f, 22.27f, 22.59f},
    {0, 6.6f, 9.63f, 11.81f, 14.17f, 16.11f, 18.03f, 19.59f, 21.39f, 21.69f},
    {0, 6.34f, 9.25f, 11.34f, 13.6f, 15.47f, 17.31f, 18.81f, 20.54f, 20.82f},
};
// The 45000 ft row above Mach 0.4 continues the fall of the rows below it
// (35000 ft values scaled by the 45000/35000 ratio at Mach 0.4).
constexpr float k_windmill_n2[5][10] = {
    {0, 0, 3.64f, 6.95f, 10.27f, 12.08f, 15.24f, 17.23f, 19.83f, 20.12f},
    {0, 0, 3.45f, 6.59f, 9.72f, 11.44f, 14.43f, 16.32f, 18.78f, 19.06f},
    {0, 0, 3.32f, 6.33f, 9.34f, 10.99f, 13.87f, 15.68f, 18.04f, 18.31f},
    {0, 0, 3.18f, 6.06f, 8.95f, 10.53f, 13.28f, 15.02f, 17.28f, 17.54f},
    {0, 0, 3.05f, 5.82f, 8.58f, 10.09f, 12.73f, 14.4f, 16.57f, 16.82f},
};

float pack_loss(float p) {
  if (p < 0.0f) return 0.0f;
  if (p <= 1.0f) return 0.33f * p;
  if (p <= 2.0f) return 0.33f + 0.07f * (p - 1.0f);
  return 0.4f;
}

float ramp(float n, float target, float rate) { return ramp_toward(n, target, 0.0f, 100.0f, rate); }

// The N2 % a full starter's air turns the core to, in this air.
float starter_air_limit() {
  const float s = clamp_range(host_mirror.sim_weather_sigma, kStartSigmaMin, 1.0f);
  return 24.1f + 2.0f * (s - kStartSigmaMin) / kStartSigmaSpan;
}

// The share of the light-off rate a lit core below the cut-out gets on the
// ground from `air`, the starter air that reaches it (its start valve open).
float starter_share(float air) {
  return clamp_range((air / starter_air_limit() - kStarterHangAir) / (kStarterFullRateAir - kStarterHangAir), 0.0f,
                     1.0f);
}

float row_at_mach(const float* row, int band, float m, float x0_override) {
  const float x0 = x0_override >= 0.0f ? x0_override : 0.1f * static_cast<float>(band - 1);
  return interpolate_clamped(x0, row[band - 1], 0.1f * static_cast<float>(band), row[band], m);
}


}  // namespace

void starter_air_targets(float out[2]) {
  const float limit = starter_air_limit();
  const float dl = clamp_range((finite_or(pneumatics.duct_psi[0], 0.0f) - 10.5f) / 11.1f, 0.0f, 1.0f);
  const float dr = clamp_range((finite_or(pneumatics.duct_psi[1], 0.0f) - 10.5f) / 11.1f, 0.0f, 1.0f);
  const float g = script_mirror.zuvadud_D738_engine_engine_air_start != 0.0f
                      ? clamp_range(finite_or(pneumatics.ground_air_psi, 0.0f) / 21.6f, 0.0f, 1.0f)
                      : 0.0f;
  const float iso = finite_or(air::isolation_bleed_valve_pos, 0.0f);
  const float a = dl * finite_or(air::apu_bleed_valve_pos, 0.0f) * finite_or(pneumatics.apu_reg_factor, 0.0f);
  auto max3 = [](float x, float y, float z) {
    const float m = x > y ? x : y;
    return m > z ? m : z;
  };
  float air1 = limit * max3(a, 1.1f * g * iso, dl * iso);
  float air2 = limit * max3(a * iso, 1.1f * g, dr * iso);
  const float lp = finite_or(air::l_pack_bleed_valve_pos, 0.0f);
  const float rp = finite_or(air::r_pack_bleed_valve_pos, 0.0f);
  air1 *= 1.0f - (0.42f * finite_or(engine::start_valve2, 0.0f) * iso + pack_loss(lp + rp * iso));
  air2 *= 1.0f - (0.42f * finite_or(engine::start_valve1, 0.0f) * iso + pack_loss(rp + lp * iso));
  out[0] = air1 > 0.0f ? air1 : 0.0f;
  out[1] = air2 > 0.0f ? air2 : 0.0f;
  systems::starter_is_running[0] = out[0] != 0.0f ? 1 : 0;
  systems::starter_is_running[1] = out[1] != 0.0f ? 1 : 0;
  engine::starter = (out[0] != 0.0f || out[1] != 0.0f) ? 1.0f : 0.0f;
}

void windmill_floor(float h, float m, float wind_mach, float* n1_out, float* n2_out) {
  // The host's Mach can be anything (a huge one does not convert to an int):
  // bands 1 to 9, 0.1 wide, the last open-ended.
  const int band = trunc_clamped(m / 0.1f, 0, 8) + 1;
  int lo = 0;
  float top = 15000.0f;
  if (h >= 35000.0f) {
    lo = 3;
    top = 45000.0f;
  } else if (h >= 25000.0f) {
    lo = 2;
    top = 35000.0f;
  } else if (h >= 15000.0f) {
    lo = 1;
    top = 25000.0f;
  }
  float n1_mach = m;
  float n1_x0 = -1.0f;
  if (band == 1) {
    n1_mach = m > wind_mach ? m : wind_mach;
    if (h < 15000.0f) n1_x0 = 0.01f;
  }
  const float n1_below = row_at_mach(k_windmill_n1[lo], band, n1_mach, n1_x0);
  const float n1_above = row_at_mach(k_windmill_n1[lo + 1], band, n1_mach, n1_x0);
  const float n2_below = row_at_mach(k_windmill_n2[lo], band, m, -1.0f);
  const float n2_above = row_at_mach(k_windmill_n2[lo + 1], band, m, -1.0f);
  // The altitude axis of every band starts at 0 ft.
  *n1_out = interpolate_clamped(0.0f, n1_below, top, n1_above, h);
  *n2_out = interpolate_clamped(0.0f, n2_below, top, n2_above, h);
}

float vibration_target(int32_t e, float n) {
  if (n < 0.0f) return 0.0f;
  if (e == 0) {
    if (n <= 10.0f) return 18.1f * n;
    if (n <= 37.0f) return 181.0f - (n - 10.0f) * 60.0f / 27.0f;
    if (n <= 105.0f) return 121.0f + (n - 37.0f) * 26.0f / 68.0f;
    return 147.0f;
  }
  if (n <= 10.0f) return 19.8f * n;
  if (n <= 37.0f) return 198.0f - (n - 10.0f) * 95.0f / 27.0f;
  if (n <= 105.0f) return 103.0f + (n - 37.0f) * 53.0f / 68.0f;
  return 156.0f;
}

void engine_start_clear_state() {
  EngineStartState& s = engine_start_state;
  for (int e = 0; e < 2; ++e) {
    s.fan_speed_rad_s[e] = 0.0f;
    s.fan_angle_deg[e] = 0.0f;
    s.starter_air[e] = 0.0f;
    s.damage_dip[e] = 0.0f;
    s.damage_dip_fraction[e] = 0.0f;
    s.past_cutout[e] = 0;
    s.hung_s[e] = 0.0f;
  }
  damage_fluctuation_timer = 0.0f;
}

void update_inflight_start_envelope() {
  if (handle(bound::sim_flightmodel_position_elevation) == nullptr) return;
  const HostMirror& h = host_mirror;
  const float alt = static_cast<float>(h.sim_flightmodel_position_elevation) * 3.281f;
  if (alt >= 24000.0f) {
    systems::xbld_start1 = 0.0f;
    systems::xbld_start2 = 0.0f;
    systems::wms = 0.0f;
    return;
  }
  float lower = 140.0f;
  float upper = 300.0f;
  if (alt >= 15000.0f) {
    lower = alt <= 20000.0f ? 140.0f + (alt - 15000.0f) * 80.0f / 5000.0f : 220.0f;
    upper = 300.0f - (alt - 15000.0f) * 19.0f / 9000.0f;
  }
  const float ias = h.sim_cockpit2_gauges_indicators_airspeed_kts_pilot;
  if (h.sim_cockpit2_gauges_indicators_radio_altimeter_height_ft_pilot <= 50.0f) {
    systems::xbld_start1 = 0.0f;
    systems::xbld_start2 = 0.0f;
  } else if (ias >= lower && ias <= upper) {
    const float* n1 = h.sim_flightmodel2_engines_N1_percent;
    const int32_t* run = h.sim_flightmodel_engine_ENGN_running;
    systems::xbld_start1 = (n1[0] < 17.0f && n1[1] > 17.0f && run[1] != 0) ? 1.0f : 0.0f;
    systems::xbld_start2 = (n1[1] < 17.0f && n1[0] > 17.0f && run[0] != 0) ? 1.0f : 0.0f;
  }
  systems::wms = ias > upper ? 1.0f : 0.0f;
}

void update_engine_start() {
  if (handle(bound::sim_flightmodel_position_elevation) == nullptr ||
      handle(bound::sim_aircraft_engine_acf_starter_torque_ratio) == nullptr ||
      handle(bound::sim_aircraft_engine_acf_starter_max_rpm_ratio) == nullptr ||
      handle(bound::sim_flightmodel2_engines_N2_percent) == nullptr)
    return;
  HostMirror& h = host_mirror;
  EngineStartState& st = engine_start_state;
  EngineStateCopies& c = engine_copies;

  const float s = clamp_range(h.sim_weather_sigma, kStartSigmaMin, 1.0f);
  const float k1 = 1.1f + (s - kStartSigmaMin) * 0.1f / kStartSigmaSpan;
  float k2 = 1.7f + (s - kStartSigmaMin) * 0.1f / kStartSigmaSpan;
  const float precip = h.sim_weather_precipitation_on_aircraft_ratio;
  if (precip > 0.1f) k2 *= 1.0f - 0.1f * (precip > 1.0f ? 1.0f : precip);

  starter_air_targets(st.starter_air);

  const float ias = finite_or(h.sim_cockpit2_gauges_indicators_airspeed_kts_pilot, 0.0f);
  const float switch_pos[2] = {engine::starter1_pos, engine::starter2_pos};
  const float start_valve[2] = {clamp_range(finite_or(engine::start_valve1, 0.0f), 0.0f, 1.0f),
                                clamp_range(finite_or(engine::start_valve2, 0.0f), 0.0f, 1.0f)};
  float n1[2];
  for (int e = 0; e < 2; ++e) {
    float n = finite_or(c.spool_n2[e], 0.0f);
    // What the last frame's damage dip took from the core is given back: the
    // host holds the dipped value it was sent.
    const float host = finite_or(h.sim_flightmodel_engine_ENGN_N2_[e], 0.0f) + st.damage_dip[e];
    const float prev = c.spool_n2_previous[e];
    const float air = st.starter_air[e];
    const bool running = h.sim_flightmodel_engine_ENGN_running[e] != 0;
    const bool lit = host > prev;
    const bool inflight = switch_pos[e] == 3.0f && ias > 180.0f && host >= 11.0f;
    if (!running) st.past_cutout[e] = 0;
    // A core that has once run past the cut-out is the host's: below it again
    // it is pushed back up as before, whatever the starter does. A replay
    // keeps the valves and ducts where they stood, so its starts run up.
    const bool carried = on_ground != 0 && st.past_cutout[e] == 0 && sim_in_replay == 0;
    const float share = carried ? starter_share(air * start_valve[e]) : 1.0f;
    bool hung = false;
    auto light_off_ramp = [&]() {
      hung = share == 0.0f;
      return ramp(n, 60.0f, k2 * share);
    };
    if (inflight) {
      if (running) {
        n = n < kStarterCutoutN2 ? ramp(n, 60.0f, 0.95f * k2) : host;
      } else if (lit) {
        if (air > n) {
          n = ramp(n, air, 0.85f * k1);
        } else {
          n = host > 21.0f ? ramp(n, 60.0f, 0.95f * k2) : air;
        }
      } else {
        // Fuel at the nozzles is not a light: until the engine burns, the
        // core gets no more than its starter air or the windmill gives it.
        const float r = n2_rundown_step(n);
        n = air > r ? ramp(n, air, 0.85f * k1) : r;
      }
    } else if (switch_pos[e] == 0.0f && !running) {
      if (lit) {
        n = air > n ? ramp(n, air, k1) : light_off_ramp();
      } else {
        const float r = n2_rundown_step(n);
        n = air > r ? ramp(n, air, k1) : r;
      }
    } else if (running) {
      if (n >= kStarterCutoutN2) {
        n = host;
      } else {
        n = light_off_ramp();
      }
    } else if (lit) {
      n = light_off_ramp();
    } else {
      n = n2_rundown_step(n);
    }
    if (running && n >= kStarterCutoutN2) st.past_cutout[e] = 1;
    st.hung_s[e] = hung ? finite_or(st.hung_s[e], 0.0f) + frame_time : 0.0f;
    c.spool_n2[e] = n;

    const float host_n1 = h.sim_flightmodel2_engines_N1_percent[e];
    n1[e] = host_n1;
    if (!running && c.spool_n1[e] < 19.0f && c.spool_n1[e] > host_n1) n1[e] = n1_rundown_step(c.spool_n1[e]);
  }

  // Windmilling: the airflow alone keeps a stopped engine turning, and the
  // fan of one relit in flight until its core passes the starter's cut-out
  // (the core's own speed is then the start model's).
  auto windmills = [&](int e) {
    return h.sim_flightmodel_engine_ENGN_running[e] == 0 || c.spool_n2[e] < kStarterCutoutN2;
  };
  if (windmills(0) || windmills(1)) {
    const float alt = clamp_range(static_cast<float>(h.sim_flightmodel_position_elevation) * 3.28f, 0.0f, 45000.0f);
    float m = h.sim_flightmodel_misc_machno;
    if (m < 0.01f) m = 0.0f;
    const float wind_dir = h.sim_cockpit2_gauges_indicators_wind_heading_deg_mag;
    const float rel = std::fmod(wind_dir + 180.0f, 360.0f) - h.sim_flightmodel_position_mag_psi;
    float wm = std::fabs(std::cos(rel * rad_per_deg_f) * h.sim_cockpit2_gauges_indicators_wind_speed_kts) *
               mps_per_kt_3dp / 330.0f;
    if (wm > 0.1f) wm = 0.1f;
    if (wm < 0.01f) wm = 0.0f;
    float wn1 = 0.0f;
    float wn2 = 0.0f;
    windmill_floor(alt, m, wm, &wn1, &wn2);
    for (int e = 0; e < 2; ++e) {
      if (!windmills(e)) continue;
      if (n1[e] < wn1) n1[e] = wn1;
      if (h.sim_flightmodel_engine_ENGN_running[e] != 0) continue;
      if (c.spool_n2[e] < wn2) c.spool_n2[e] = wn2;
      if (h.sim_flightmodel2_engines_N2_percent[e] < wn2) h.sim_flightmodel2_engines_N2_percent[e] = wn2;
    }
  }
  c.spool_n1[0] = n1[0];
  c.spool_n1[1] = n1[1];

  // A damaged engine's N2 hunts: once a period it dips, for the last tenth
  // of a second of the period whatever the frame rate, by a fraction drawn
  // for that period. The dip is shown and sent, never kept: the core comes
  // back to where it runs, and the engine keeps its thrust until the damage
  // fails it.
  float n2_out[2] = {c.spool_n2[0], c.spool_n2[1]};
  for (int e = 0; e < 2; ++e) {
    st.damage_dip[e] = 0.0f;
    if (engine_damage_flags[e] != 1) {
      st.damage_dip_fraction[e] = 0.0f;
      continue;
    }
    if (damage_fluctuation_timer > kDamageDip_s) continue;
    st.damage_dip[e] = clamp_range(st.damage_dip_fraction[e], 0.0f, 0.3f) * n2_out[e];
    n2_out[e] -= st.damage_dip[e];
    h.sim_flightmodel2_engines_N2_percent[e] = n2_out[e];
  }
  damage_fluctuation_timer -= frame_time;
  if (damage_fluctuation_timer <= 0.0f) {
    damage_fluctuation_timer = random_range(2.0f, 3.0f);
    for (int e = 0; e < 2; ++e) {
      if (engine_damage_flags[e] == 1) st.damage_dip_fraction[e] = random_range(0.0f, 0.3f);
    }
  }

  engine::indicators_N2_percent_1 = lag_toward(engine::indicators_N2_percent_1, n2_out[0], 0.0f, 108.0f, 1.0f);
  engine::indicators_N2_percent_2 = lag_toward(engine::indicators_N2_percent_2, n2_out[1], 0.0f, 108.0f, 1.0f);
  h.sim_flightmodel_engine_ENGN_N2_[0] = n2_out[0];
  h.sim_flightmodel_engine_ENGN_N2_[1] = n2_out[1];
  host_send_vf(bound::sim_flightmodel_engine_ENGN_N2_, n2_out, 2);

  float* n1_ind[2] = {&engine::indicators_N1_percent_1, &engine::indicators_N1_percent_2};
  for (int e = 0; e < 2; ++e) {
    // A flamed-out engine still turns: its gauge runs down with the fan to
    // the windmill speed. Only an engine that has left the wing reads 0.
    if (separated(e)) {
      c.spool_n1[e] = 0.0f;
      *n1_ind[e] = 0.0f;
    } else {
      *n1_ind[e] = lag_toward(*n1_ind[e], c.spool_n1[e], 0.0f, 108.0f, 1.0f);
    }
  }
  host_send_f(bound::sim_aircraft_engine_acf_starter_torque_ratio, 0.07f);
  host_send_f(bound::sim_aircraft_engine_acf_starter_max_rpm_ratio, 0.09f);
  c.spool_n2_previous[0] = c.spool_n2[0];
  c.spool_n2_previous[1] = c.spool_n2[1];

  float* vib[2] = {&engine::indicators_eng1_vib, &engine::indicators_eng2_vib};
  float* rot_spd[2] = {&engine::rot_spd0, &engine::rot_spd1};
  float* rot_ang[2] = {&engine::rot_ang0, &engine::rot_ang1};
  for (int e = 0; e < 2; ++e) {
    if (separated(e)) {
      *vib[e] = 0.0f;
    } else {
      float target = vibration_target(e, *n1_ind[e]);
      if (engine_damage_flags[e] == 1) target = target * 3.0f > 500.0f ? 500.0f : target * 3.0f;
      *vib[e] = lag_toward(*vib[e] * 100.0f, target, 0.0f, 500.0f, 3.0f) * 0.01f;
    }
    float w = *n1_ind[e] / 0.1845273f;
    const float host_speed = h.sim_flightmodel2_engines_engine_rotation_speed_rad_sec[e];
    if (separated(e)) {
      st.fan_speed_rad_s[e] = 0.0f;
    } else if (w <= host_speed) {
      st.fan_speed_rad_s[e] = host_speed;
      st.fan_angle_deg[e] = h.sim_flightmodel2_engines_engine_rotation_angle_deg[e];
    } else {
      if (w < 0.04f) w = 0.0f;
      st.fan_speed_rad_s[e] = lag_toward(st.fan_speed_rad_s[e], w, 0.0f, 45.0f, 0.65f);
      st.fan_angle_deg[e] = std::fmod(st.fan_speed_rad_s[e] * 57.3f * frame_time + st.fan_angle_deg[e], 360.0f);
    }
    *rot_spd[e] = st.fan_speed_rad_s[e];
    *rot_ang[e] = st.fan_angle_deg[e];
  }
}
