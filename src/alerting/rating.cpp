// Flight rating and structural damage (see rating.h).
#include "alerting/rating.h"

#include <cmath>
#include <cstdio>

#include "core/binding.h"
#include "core/frame_values.h"
#include "core/host_io.h"
#include "core/preprocess_values.h"
#include "core/util.h"
#include "core/variant.h"
#include "platform/xplm.h"
#include "systems/electrical/electric_values.h"
#include "systems/flight_controls/flight_control_values.h"
#include "systems/instruments/instrument_values.h"

FlightRatingState flight_rating_state;

namespace {

constexpr float kRefMass_kg = 79000.0f;
constexpr float kNoseCollapse_kg = 64800.0f;
constexpr float kMainCollapse_kg = 194300.0f;
constexpr float kVmo_kt = 340.0f;  // every model's; the approach rating's overspeed too

// Fails a host item unless it already is; mirrored items use their copy.
void host_fail(bound::Id id, int32_t* copy = nullptr) {
  if (copy != nullptr) {
    if (*copy == kHostFailed) return;
    *copy = kHostFailed;
  } else if (read_now_i(id) == kHostFailed) {
    return;
  }
  host_send_i(id, kHostFailed);
}

float radio_height() { return host_mirror.sim_cockpit2_gauges_indicators_radio_altimeter_height_ft_pilot; }

// ---- landing rating ----

float float_term(float t, float t_max) {
  float f = t > t_max ? 2.6f : 0.0f;
  if (t > 6.5f) f += t <= t_max ? (t - 6.5f) * 2.6f / (t_max - 6.5f) : 2.6f;
  return f;
}

float nose_term(float n) {
  if (n <= 1.1f) return 0.0f;
  if (n <= 2.9f) return (n - 1.1f) * 3.5f / 1.8f;
  return 3.5f;
}

float timing_term(float d, float m0) {
  if (d <= m0) return 0.0f;
  if (d <= 6.0f) return (d - m0) * 1.5f / (6.0f - m0);
  return 1.5f;
}

float roll_term(float roll, float r0) {
  roll = clamp_range(roll, 0.0f, 30.0f);
  return roll <= r0 ? 0.0f : (roll - r0) * 3.5f / (30.0f - r0);
}

float nose_timing_term(float e) {
  if (e <= 3.5f) return 0.0f;
  if (e <= 12.0f) return (e - 3.5f) * 1.5f / 8.5f;
  return 1.5f;
}

float handling_term(const TouchdownRecord& r) {
  const float w = clamp_range(std::fabs(r.wind_high_ms - r.wind_low_ms), 0.0f, 13.0f);
  float t_max = 20.0f, r0 = 5.0f, m0 = 1.0f;
  if (w > 2.6f) {
    t_max = 20.0f + (w - 2.6f) * 10.0f / 10.4f;
    r0 = 5.0f + (w - 2.6f) * 5.0f / 10.4f;
    m0 = 1.0f + (w - 2.6f) * 1.5f / 10.4f;
  }
  const float f = float_term(r.float_time_s, t_max);
  const float n = nose_term(r.nose_g);
  const float m = timing_term(std::fabs(r.time_to_contact_s[1] - r.time_to_contact_s[2]), m0);
  const float ro = roll_term(r.max_roll_deg, r0);
  const float main_first = r.time_to_contact_s[1] < r.time_to_contact_s[2] ? r.time_to_contact_s[1] : r.time_to_contact_s[2];
  const float t = nose_timing_term(std::fabs(r.time_to_contact_s[0] - main_first));
  return (3.0f * f + n + m + ro + t) / 7.0f;
}

float landing_rating_step() {
  FlightRatingState& s = flight_rating_state;
  TouchdownRecord& r = s.touchdown;
  if (electric::battery_pos == 0.0f) r.armed = 0;
  const float rh = radio_height();
  if (rh > 50.0f && s.first_frame == 0) {
    r = TouchdownRecord{};
    r.armed = 1;
    r.wind_low_ms = 20.0f;
    r.wind_high_ms = -20.0f;
    return 0.0f;
  }
  if (!(rh <= 50.0f) || r.armed == 0) return 0.0f;

  const float g = read_now_f(bound::sim_flightmodel_forces_g_nrml);
  const float mass = host_mirror.sim_flightmodel_weight_m_total;
  if (on_ground != 0) {
    if (r.contact_mass_kg == 0.0f) r.contact_mass_kg = mass;
    if (g > r.peak_g) r.peak_g = g;
    const float vs = host_mirror.sim_flightmodel_position_vh_ind_fpm;
    if (vs < r.min_vs_fpm) r.min_vs_fpm = vs;
    const float roll = std::fabs(host_mirror.sim_flightmodel_position_phi);
    if (roll > r.max_roll_deg) r.max_roll_deg = roll;
  }

  const int32_t* gear_on = host_mirror.sim_flightmodel2_gear_on_ground;
  for (int i = 0; i < 3; ++i) {
    if (gear_on[i] != 0) {
      if (r.contact[i] == 0) {
        r.contact[i] = 1;
        r.touched[i] = 1;
        if (r.first_gear == 0) r.first_gear = i + 1;
        r.any_touched = 1;
        if (i == 0 && r.nose_g_captured == 0) {
          r.nose_g = g;
          r.nose_g_captured = 1;
        }
      }
      r.off_ground_s[i] = 0.0f;
    } else {
      r.off_ground_s[i] += frame_time;
      // A bounce registers as a new contact once the wheel has been off 1 s.
      if (r.off_ground_s[i] > 1.0f) r.contact[i] = 0;
    }
  }

  int legs = 0;
  for (int i = 0; i < 3; ++i) legs += (r.contact[i] != 0 || r.collapsed[i] != 0) ? 1 : 0;
  if (legs < 1) legs = 1;
  const float* deflection = host_mirror.sim_flightmodel2_gear_tire_vertical_deflection_mtr;
  const float leg_mass = r.contact_mass_kg != 0.0f ? r.contact_mass_kg : mass;
  for (int i = 0; i < 3; ++i) {
    if (r.contact[i] == 0) continue;
    const float limit_m = i == 0 ? 0.8f : 0.4f;
    if (deflection[i] < limit_m && deflection[i] > r.last_deflection_m[i]) {
      if (g > r.compress_peak_g[i]) r.compress_peak_g[i] = g;
    } else if (r.compress_peak_g[i] > 0.0f) {
      const float load = r.compress_peak_g[i] * leg_mass / static_cast<float>(legs) * 0.9f;
      if (load > r.peak_load_kg[i]) r.peak_load_kg[i] = load;
      r.compress_peak_g[i] = 0.0f;
    }
    r.last_deflection_m[i] = deflection[i];
  }
  for (int i = 0; i < 3; ++i) {
    if (r.touched[i] == 0) {
      r.time_to_contact_s[i] += frame_time;
      if (r.time_to_contact_s[i] > 30.0f) r.time_to_contact_s[i] = 30.0f;
    }
  }

  bool collapsed = false;
  if (r.peak_load_kg[0] > kNoseCollapse_kg) {
    if (r.collapsed[0] == 0) host_fail(bound::sim_operation_failures_rel_collapse1,
                                       &host_mirror.sim_operation_failures_rel_collapse1);
    r.collapsed[0] = 1;
    collapsed = true;
  }
  if (r.peak_load_kg[1] > kMainCollapse_kg) {
    if (r.collapsed[1] == 0) host_fail(bound::sim_operation_failures_rel_collapse2,
                                       &host_mirror.sim_operation_failures_rel_collapse2);
    r.collapsed[1] = 1;
    collapsed = true;
  }
  if (r.peak_load_kg[2] > kMainCollapse_kg) {
    if (r.collapsed[2] == 0) host_fail(bound::sim_operation_failures_rel_collapse3,
                                       &host_mirror.sim_operation_failures_rel_collapse3);
    r.collapsed[2] = 1;
    collapsed = true;
  }
  if (collapsed) return 6.0f;

  if (r.any_touched == 0) {
    r.float_time_s += frame_time;
    if (r.float_time_s > 30.0f) r.float_time_s = 30.0f;
    // Metres per second on either host, whatever the older name says: the
    // float and gust allowances are set in that unit.
    const float wind = clamp_range(host_mirror.sim_weather_wind_speed_kt, -20.0f, 20.0f);
    if (wind < r.wind_low_ms) r.wind_low_ms = wind;
    if (wind > r.wind_high_ms) r.wind_high_ms = wind;
    return 0.0f;
  }
  if (r.touched[0] == 0 || r.touched[1] == 0 || r.touched[2] == 0) return 0.0f;

  const float base = r.first_gear == 1 ? 3.5f : 1.0f;
  float worst = rating_load_factor_term(r.peak_g);
  const float sink = rating_sink_term(r.min_vs_fpm);
  if (sink > worst) worst = sink;
  const float handling = handling_term(r);
  if (handling > worst) worst = handling;
  return landing_rating_from_raw(base + worst);
}

// ---- structural damage ----

float load_bound_kg(float n, bool upper) {
  return upper ? n * 1.2f * kRefMass_kg : (1.0f - (1.0f - n) * 1.2f) * kRefMass_kg;
}

void airframe_load() {
  FlightRatingState& s = flight_rating_state;
  const float g = read_now_f(bound::sim_flightmodel_forces_g_nrml);
  const float load = host_mirror.sim_flightmodel_weight_m_total * g;
  if (std::isfinite(load)) s.smoothed_load_kg = (s.smoothed_load_kg + load) / 2.0f;
  const float* flap = host_mirror.sim_flightmodel2_wing_flap2_deg;
  const bool flaps_out = flap[2] > 2.0f || flap[3] > 2.0f;
  const float hard_hi = flaps_out ? 2.5f : 3.25f, hard_lo = flaps_out ? -0.5f : -2.0f;
  const float sus_hi = flaps_out ? 2.0f : 2.5f, sus_lo = flaps_out ? 0.0f : -1.0f;
  const float l = s.smoothed_load_kg;
  if (l > load_bound_kg(hard_hi, true) || l < load_bound_kg(hard_lo, false)) {
    static const bound::Id kAirframe[] = {
        bound::sim_operation_failures_rel_wing1L, bound::sim_operation_failures_rel_wing2L,
        bound::sim_operation_failures_rel_wing3L, bound::sim_operation_failures_rel_wing4L,
        bound::sim_operation_failures_rel_wing1R, bound::sim_operation_failures_rel_wing2R,
        bound::sim_operation_failures_rel_wing3R, bound::sim_operation_failures_rel_wing4R,
        bound::sim_operation_failures_rel_hstbL,  bound::sim_operation_failures_rel_vstb1,
        bound::sim_operation_failures_rel_hstbR,  bound::sim_operation_failures_rel_vstb2,
        bound::sim_operation_failures_rel_flap_act};
    for (bound::Id id : kAirframe) host_fail(id);
  }
  // Sustained overloads are timed for the record but do not fail the airframe.
  if (l > load_bound_kg(sus_hi, true) || l < load_bound_kg(sus_lo, false)) {
    if (s.overload_timer_s < 7.0f) s.overload_timer_s += frame_time;
  } else {
    s.overload_timer_s = 0.0f;
  }
}

bool flap_side_failed(int side) {
  const int32_t off = side == 0 ? host_mirror.sim_operation_failures_rel_L_flp_off
                                : host_mirror.sim_operation_failures_rel_R_flp_off;
  const int32_t fc = read_now_i(side == 0 ? bound::sim_operation_failures_rel_fc_L_flp
                                          : bound::sim_operation_failures_rel_fc_R_flp);
  return off == kHostFailed || fc == kHostFailed;
}

void flap_damage() {
  const float* flap = host_mirror.sim_flightmodel2_wing_flap2_deg;
  const float angle[2] = {flap[2], flap[3]};
  const bound::Id fc[2] = {bound::sim_operation_failures_rel_fc_L_flp, bound::sim_operation_failures_rel_fc_R_flp};
  const float ias = host_mirror.sim_flightmodel_position_indicated_airspeed;
  for (int side = 0; side < 2; ++side) {
    if (flap_side_failed(side) || !(angle[side] > 2.0f)) continue;
    const float r = random_fraction();
    const float margin = (flap_side_failed(1 - side) ? 30.0f : 10.0f) + 15.0f * r;
    if (ias > flap_structural_limit_kt(angle[side]) + margin) host_fail(fc[side]);
  }
  if (!(flap_side_failed(0) && flap_side_failed(1)) && std::fabs(angle[0] - angle[1]) > 6.0f) {
    host_fail(fc[0]);
    host_fail(fc[1]);
  }
}

// The speed brakes may be out at any speed up to VMO: only an overspeed with
// them out loads the stabiliser enough to jam it, sooner the faster.
void elevator_trim_jam(bool damage_enabled) {
  FlightRatingState& s = flight_rating_state;
  const float ias = host_mirror.sim_flightmodel_position_indicated_airspeed;
  const float sb = host_mirror.sim_cockpit2_controls_speedbrake_ratio;
  if (damage_enabled) {
    if (!(ias > kVmo_kt) || sb <= 0.25f) {
      s.trim_jam_timer_s = 0.0f;
      s.trim_jammed = 0;
    } else {
      const float a = 64.0f - (clamp_range(sb, 0.25f, 0.667f) - 0.25f) * 46.0f / 0.417f;
      const float b = 2.0f - (clamp_range(ias, kVmo_kt, kVmo_kt + 20.0f) - kVmo_kt) / 20.0f;
      const float limit = b * a + 10.0f * random_fraction();
      if (s.trim_jam_timer_s < limit) s.trim_jam_timer_s += frame_time;
      if (s.trim_jam_timer_s >= limit) s.trim_jammed = 1;
      if (s.trim_jammed != 0 && host_mirror.sim_operation_failures_rel_trim_elv != kHostFailed) {
        host_fail(bound::sim_operation_failures_rel_trim_elv, &host_mirror.sim_operation_failures_rel_trim_elv);
      }
    }
  }
  const bool jammed = damage_enabled && s.trim_jammed != 0;
  if (!jammed && host_mirror.sim_operation_failures_rel_trim_elv != kHostFailed) {
    s.remembered_trim = host_mirror.sim_cockpit2_controls_elevator_trim;
    return;
  }
  // While jammed every run puts the trim back where it stood before this
  // frame's motion, whoever drives it (the scripts' trim and servos move it
  // outside this frame, so that is where the last run left it). Once the
  // overspeed is over a failed trim holds there unless the scripts drive it.
  const bool hold = (script_mirror.zuvadud_D738_cfy_trim_control == 0.0f || script_mirror.zuvadud_autopilot_ap_on != 0.0f) &&
                    script_mirror.zuvadud_D738_autopilot_servo_override == 0.0f;
  if (!(hold || jammed) || !bound_present(bound::sim_cockpit2_controls_elevator_trim)) return;
  if (read_now_f(bound::sim_cockpit2_controls_elevator_trim) != s.remembered_trim) {
    host_send_f(bound::sim_cockpit2_controls_elevator_trim, s.remembered_trim);
    host_mirror.sim_cockpit2_controls_elevator_trim = s.remembered_trim;
  }
}

// ---- approach rating ----

const char* const kPenaltyText[21] = {
    "- Flap limit\n",
    "- Speedbrake with flaps > 10\n",
    "- Flaps above FL190\n",
    "- 250kts below 6000ft\n",
    "- Landing gear not down below 1000ft AGL\n",
    "- Descent rate > -1200 fpm below 500 ft AGL\n",
    "- Descent rate > -1500 fpm below 1000 ft AGL\n",
    "- Descent rate > -2000 fpm below 2000 ft AGL\n",
    "- Tyre speed > 185 kts\n",
    "",  // the overload, written with the airframe's own limit
    "- High GS deviation between 200ft - 500ft AGL\n",
    "- High GS deviation 500 - 1000ft AGL\n",
    "- Landing flaps with Speedbrake\n",
    "- Landing flaps - speed > Vref + 20 below 400ft AGL\n",
    "- Landing flaps - speed < Vref below 400ft AGL\n",
    "- not set landing flaps at and below 500ft AGL (gate bust)\n",
    "- speed is not between Vref and Vref + 20 with landing flaps at 500ft AGL\n",
    "- Vmo speed\n",
    "- Mmo speed\n",
    "- Damaged flaps\n",
    "- not selected approach flaps/speed in FMS below 6000ft\n",
};

// Each airframe's maximum landing mass (kg), in variant order; the generic
// files are taken for the -800.
float max_landing_mass_kg() {
  static constexpr float kByVariant[variant_count] = {
      65317.0f,  // -800
      66361.0f,  // -900
      58060.0f,  // -700
      55112.0f,  // -600
      71350.0f,  // -900ER
      66043.0f,  // MAX 7
      69308.0f,  // MAX 8-200
      69308.0f,  // MAX 8
      74343.0f,  // MAX 9
      75931.0f,  // MAX 10
  };
  return variant_index >= 0 && variant_index < variant_count ? kByVariant[variant_index] : kByVariant[0];
}

bool landing_flaps_set(float approach_flaps, float f) {
  if (approach_flaps == 15.0f) return f >= 16.9f;
  if (approach_flaps == 25.0f) return f >= 26.9f;
  if (approach_flaps == 30.0f) return f >= 32.9f;
  if (approach_flaps == 40.0f) return f >= 48.9f;
  return false;
}

// Glideslope deviation grade 0..3 that only rises.
void gs_grade(float& slot, float dev, float t1, float t2, float lo3, float hi3) {
  if (!(std::fabs(dev) <= 2.49f)) return;
  const float a = std::fabs(dev);
  if (slot == 0.0f && a > t1) slot = 1.0f;
  else if (slot == 1.0f && a > t2) slot = 2.0f;
  else if (slot == 2.0f && (dev < lo3 || dev > hi3)) slot = 3.0f;
}

void set_penalties() {
  float* slot = flight::app_rating_param;
  const float rh = radio_height();
  const float ias[2] = {host_mirror.sim_cockpit2_gauges_indicators_airspeed_kts_pilot,
                        host_mirror.sim_cockpit2_gauges_indicators_airspeed_kts_copilot};
  const float vs[2] = {host_mirror.sim_cockpit2_gauges_indicators_vvi_fpm_pilot,
                       host_mirror.sim_cockpit2_gauges_indicators_vvi_fpm_copilot};
  auto ias_above = [&](float v) { return ias[0] > v || ias[1] > v; };
  auto ias_below = [&](float v) { return ias[0] < v || ias[1] < v; };
  auto vs_below = [&](float v) { return vs[0] < v || vs[1] < v; };
  const float f = host_mirror.sim_flightmodel2_wing_flap2_deg[3];
  const float app_flaps = script_mirror.zuvadud_D738_FMS_approach_flaps;
  const float vref = script_mirror.zuvadud_D738_FMS_approach_speed;
  const bool landing = landing_flaps_set(app_flaps, f);
  const bool airborne_50 = on_ground == 0 && rh > 50.0f;
  const float alt = static_pressure_altitude_ft;
  const float sb = flt_ctrls::speedbrake_lever;

  if (f > 2.0f && ias_above(flap_placard_kt(f))) slot[0] = 1.0f;
  if (!landing && airborne_50 && f > 14.0f && sb > 0.2f) slot[1] = 1.0f;
  if (alt > 19000.0f && f != 0.0f) slot[2] = 1.0f;
  if (alt < 6000.0f && ias_above(250.0f)) slot[3] = 1.0f;
  if (rh < 1000.0f && controls::gear_handle_down != 1.0f) slot[4] = 1.0f;
  if (rh > 200.0f && rh < 500.0f && vs_below(-1200.0f)) slot[5] = 1.0f;
  if (rh >= 500.0f && rh < 1000.0f && vs_below(-1500.0f)) slot[6] = 1.0f;
  if (rh >= 1000.0f && rh < 2000.0f && vs_below(-2000.0f)) slot[7] = 1.0f;
  if (on_ground != 0 && host_mirror.sim_flightmodel_position_groundspeed > 95.0f) slot[8] = 1.0f;
  if (on_ground != 0 && host_mirror.sim_flightmodel_weight_m_total > max_landing_mass_kg()) slot[9] = 1.0f;
  const float dev[2] = {script_mirror.zuvadud_radios_pilot_nav_vdef, script_mirror.zuvadud_radios_copilot_nav_vdef_fo};
  for (float d : dev) {
    if (rh > 200.0f && rh < 500.0f) gs_grade(slot[10], d, 1.0f, 1.5f, -2.0f, 2.0f);
    if (rh >= 500.0f && rh < 1000.0f) gs_grade(slot[11], d, 1.2f, 1.8f, -2.3f, 2.1f);
  }
  if (landing) {
    if (airborne_50 && sb > 0.2f) slot[12] = 1.0f;
    if (rh > 50.0f && rh < 400.0f && ias_above(vref + 20.0f)) slot[13] = 1.0f;
    if (rh > 50.0f && rh < 400.0f && ias_below(vref)) slot[14] = 1.0f;
    if (rh >= 500.0f && rh < 600.0f && (ias_below(vref) || ias_above(vref + 20.0f))) slot[16] = 1.0f;
  }
  if (rh <= 500.0f && !landing && (app_flaps != 0.0f || f < 26.9f)) slot[15] = 1.0f;
  if (ias_above(kVmo_kt)) slot[17] = 1.0f;
  if (host_mirror.sim_flightmodel_misc_machno > 0.82f) slot[18] = 1.0f;
  if (read_now_i(bound::sim_operation_failures_rel_fc_L_flp) == kHostFailed ||
      read_now_i(bound::sim_operation_failures_rel_fc_R_flp) == kHostFailed)
    slot[19] = 4.0f;
  if (rh < 6000.0f && app_flaps == 0.0f) slot[20] = 3.0f;
}

float penalty_sum() {
  float p = 0.0f;
  for (float v : flight::app_rating_param) p += v;
  return p;
}

void log_penalty_list() {
  XPLMDebugString("\nVODArevu > Approach rating - penalty list:\n");
  bool any = false;
  for (int i = 0; i < 21; ++i) {
    if (flight::app_rating_param[i] != 0.0f) {
      if (i == 9) {
        char text[64];
        std::snprintf(text, sizeof text, "- Overload landing > %.0f kg\n", static_cast<double>(max_landing_mass_kg()));
        XPLMDebugString(text);
      } else {
        XPLMDebugString(kPenaltyText[i]);
      }
      any = true;
    }
  }
  if (!any) XPLMDebugString("none\n");
}

float approach_rating_step() {
  FlightRatingState& s = flight_rating_state;
  const float rh = radio_height();
  const bool ended = (on_ground != 0 || rh < 10.0f) && host_mirror.sim_flightmodel_position_groundspeed < 30.0f;
  if (ended) {
    if (s.approach_latch == 1) s.approach_latch = 0;
    if (s.approach_latch != 0) return 0.0f;
    if (s.penalty_list_logged == 0) {
      log_penalty_list();
      s.penalty_list_logged = 1;
    }
    return approach_rating_from_sum(penalty_sum());
  }
  if (rh > 400.0f && s.approach_latch != 1) {
    s.approach_latch = 1;
    s.penalty_list_logged = 0;
    for (float& v : flight::app_rating_param) v = 0.0f;
  }
  if (s.approach_latch == 0) return approach_rating_from_sum(penalty_sum());
  if (s.approach_latch == 1 && script_mirror.zuvadud_D738_FMS_flight_phase > 4.0f) set_penalties();
  return 0.0f;
}

}  // namespace

float rating_load_factor_term(float g) {
  if (!(g > 1.1f)) return 0.0f;
  if (g <= 1.8f) return (g - 1.1f) * 1.3f / 0.7f;
  if (g <= 3.3f) return 1.3f + (g - 1.8f) * 3.1f / 1.5f;
  return 4.4f;
}

float rating_sink_term(float v) {
  if (!(v < 0.0f)) return 0.0f;
  const float a = -v;
  if (a <= 150.0f) return a * 0.2f / 150.0f;
  if (a <= 250.0f) return 0.2f + (a - 150.0f) * 0.3f / 100.0f;
  if (a <= 350.0f) return 0.5f + (a - 250.0f) / 100.0f;
  if (a <= 800.0f) return 1.5f + (a - 350.0f) * 2.9f / 450.0f;
  return 4.4f;
}

float landing_rating_from_raw(float raw) {
  raw = clamp_range(raw, 1.0f, 6.0f);
  return raw < 4.0f ? 1.0f + 2.0f * (raw - 1.0f) / 3.0f : 3.0f + 1.5f * (raw - 4.0f);
}

float approach_rating_from_sum(float p) {
  if (p == 0.0f) return 1.0f;
  if (p < 3.0f) return 2.0f;
  if (p < 5.0f) return 3.0f;
  if (p < 7.0f) return 4.0f;
  if (p < 9.0f) return 5.0f;
  return 6.0f;
}

float flap_placard_kt(float f) {
  if (f <= 11.0f) return 250.0f;
  if (f <= 14.0f) return 250.0f - (f - 11.0f) * 40.0f / 3.0f;
  if (f <= 17.0f) return 210.0f - (f - 14.0f) * 10.0f / 3.0f;
  if (f <= 27.0f) return 200.0f - (f - 17.0f);
  if (f <= 33.0f) return 190.0f - (f - 27.0f) * 15.0f / 6.0f;
  if (f <= 48.0f) return 175.0f - (f - 33.0f) * 13.0f / 15.0f;
  return 162.0f;
}

float flap_structural_limit_kt(float f) {
  if (f <= 11.0f) return 268.0f;
  if (f <= 14.0f) return 268.0f - (f - 11.0f) * 43.0f / 3.0f;
  if (f <= 17.0f) return 225.0f - (f - 14.0f) * 11.0f / 3.0f;
  if (f <= 27.0f) return 214.0f - (f - 17.0f) * 11.0f / 10.0f;
  if (f <= 33.0f) return 203.0f - (f - 27.0f) * 16.0f / 6.0f;
  if (f <= 49.0f) return 187.0f - (f - 33.0f) * 14.0f / 16.0f;
  return 173.0f;
}

void flight_rating() {
  FlightRatingState& s = flight_rating_state;
  static const bound::Id kWarnings[] = {
      bound::sim_operation_prefs_warn_overspeed, bound::sim_operation_prefs_warn_overgforce,
      bound::sim_operation_prefs_warn_overspeed_flaps, bound::sim_operation_prefs_warn_overspeed_gear};
  for (bound::Id id : kWarnings) {
    if (read_now_i(id) != 0) host_send_i(id, 0);
  }

  s.landing_rating = landing_rating_step();
  s.first_frame = 0;
  script_set_f(bound::zuvadud_D738_flight_landing_rating, s.landing_rating);

  if (script_mirror.zuvadud_D738_failure_rst != 0.0f) {
    s.hold_timer_s = 7.0f;
    script_mirror.zuvadud_D738_failure_rst = 0.0f;
    script_set_f(bound::zuvadud_D738_failure_rst, 0.0f);
  } else if (s.hold_timer_s > 0.0f) {
    s.hold_timer_s -= frame_time;
    if (s.hold_timer_s < 0.0f) s.hold_timer_s = 0.0f;
  }
  if (s.hold_timer_s > 0.0f) {
    elevator_trim_jam(false);
    script_set_f(bound::zuvadud_D738_flight_approach_rating, 0.0f);
    return;
  }
  airframe_load();
  flap_damage();
  elevator_trim_jam(true);
  script_set_f(bound::zuvadud_D738_flight_approach_rating, approach_rating_step());
}

void flight_rating_reset_on_load() {
  FlightRatingState& s = flight_rating_state;
  s.touchdown = TouchdownRecord{};
  s.landing_rating = 0.0f;
  s.smoothed_load_kg = 0.0f;
  s.overload_timer_s = 0.0f;
  s.trim_jam_timer_s = 0.0f;
  s.trim_jammed = 0;
  s.approach_latch = -1;
  s.penalty_list_logged = 0;
  for (float& v : flight::app_rating_param) v = 0.0f;
}

void flight_rating_first_frame() {
  FlightRatingState& s = flight_rating_state;
  s.hold_timer_s = 5.0f;
  s.approach_latch = -1;
  s.first_frame = 1;
  for (float& v : flight::app_rating_param) v = 0.0f;
}

void flight_rating_restart() {
  FlightRatingState& s = flight_rating_state;
  s.smoothed_load_kg = 0.0f;
  s.hold_timer_s = 5.0f;
  s.approach_latch = -1;
  s.overload_timer_s = 0.0f;
  s.trim_jam_timer_s = 0.0f;
  s.trim_jammed = 0;
  for (float& v : flight::app_rating_param) v = 0.0f;
}
