// Fuel system between the cockpit and the host's tanks (masses in kg: 0 left,
// 1 centre, 2 right): cross-feed knob and valve, the six boost pumps and the
// two suction feeds, the engine-feed tank selectors and tank pumps written to
// the host, the centre-to-left scavenge transfer, quantity displays with their
// LOW, IMBAL and CONFIG states, fuel used per engine, centre pumps switched off
// over an empty tank after a load, and the fuel temperature and its gauge.
#include "systems/fuel/fuel.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "core/binding.h"
#include "core/frame_values.h"
#include "core/preprocess_values.h"
#include "core/util.h"
#include "engines/engine_values.h"
#include "systems/aircraft_systems.h"
#include "systems/delay_timers.h"
#include "systems/electrical/bus_feeds.h"
#include "systems/electrical/electric_values.h"
#include "systems/fire/fire.h"
#include "systems/fuel/fuel_pump_lights.h"
#include "systems/fuel/fuel_values.h"
#include "core/host_io.h"
#include "systems/instruments/instrument_values.h"
#include "systems/switches/switch_values.h"
#include "systems/system_state.h"
#include "systems/systems_steps.h"

FuelState fuel_state;

namespace {

constexpr float kKgToLb = 2.2046225f;
// Fuel temperature time constant (s) by the mean wing-tank mass (kg).
constexpr float kFuelTempLightKg = 300.0f;
constexpr float kFuelTempFullKg = 3900.0f;
constexpr float kFuelTempTauLightS = 2.5f * 3600.0f;
constexpr float kFuelTempTauFullS = 5.0f * 3600.0f;
constexpr float kLowKg = 453.0f;
constexpr float kLowClearKg = 567.0f;
constexpr float kImbalanceKg = 453.0f;       // 1,000 lb apart: IMBAL
constexpr float kImbalanceClearKg = 91.0f;   // 200 lb: shown in flight, it goes only below this
// Centre tank configuration status: shown with both engines above idle N1
// (%) and the centre pumps off while the centre tank holds more than the
// upper mass (kg); once shown it stays down to the lower mass.
constexpr float kConfigIdleN1Pct = 11.0f;
constexpr float kConfigShowKg = 762.0f;
constexpr float kConfigKeepKg = 363.0f;
// Scavenge: with the left tank below kScavengeBelowKg and more than
// kScavengeLeftKg in the centre tank, the centre tank drains into the left
// one at kScavengeLowKgPerS (about 200 kg/h) up to kScavengeLowFt, tapering
// above to kScavengeHighKgPerS (about 100 kg/h) at kScavengeHighFt (the
// captain's indicated altitude): the jet pump draws less in thin air.
constexpr float kScavengeBelowKg = 1990.0f;
constexpr float kScavengeLeftKg = 4.0f;
constexpr float kScavengeLowKgPerS = 0.055555f;
constexpr float kScavengeHighKgPerS = 0.027777f;
constexpr float kScavengeTaperKgPerS = 0.027778f;  // the taper's full drop, rounded up
constexpr float kScavengeLowFt = 10000.0f;
constexpr float kScavengeHighFt = 41000.0f;
constexpr float kScavengeTaperFt = 31000.0f;  // kScavengeHighFt - kScavengeLowFt
// The fuel temperature gauge: its scale ends at +-kFuelGaugeEndDegC, the
// fuel's own temperature is held inside it too. The needle lags at
// kFuelGaugeLagPerS (share of the remaining error per second); powered up it
// first swings toward kFuelGaugeSwingDegC, turns back past kFuelGaugeTurnDegC
// and settles on the fuel temperature within kFuelGaugeSettledDegC.
constexpr float kFuelGaugeEndDegC = 56.0f;
constexpr float kFuelGaugeLagPerS = 6.0f;
constexpr float kFuelGaugeSwingDegC = 50.0f;
constexpr float kFuelGaugeTurnDegC = 40.0f;
constexpr float kFuelGaugeSettledDegC = 0.2f;
// The display electronics ride through a loss of their power shorter than
// this: fuel used is kept over a bus transfer or a switch flicked OFF and ON.
constexpr float kFuelUsedRideThroughS = 2.0f;


// N2 (%) above which an engine draws its tank by suction alone.
float suction_n2_limit(float altitude_ft) {
  if (altitude_ft <= 25000.0f) return 11.0f;
  if (altitude_ft > 41000.0f) return 45.0f;
  return 11.0f + (altitude_ft - 25000.0f) * 34.0f / 16000.0f;
}

void write_selector(bound::Id id, float value) {
  host_set_i(id, trunc_to_i32(value));
}

void low_state(float kg, float other_kg, float& latch, float& status, bool imbalance, bool airborne) {
  if (kg < kLowKg) {
    latch = 1.0f;
    status = 2.0f;
    return;
  }
  if (kg > kLowClearKg) latch = 0.0f;
  if (latch == 1.0f) {
    status = 2.0f;
    return;
  }
  status = (imbalance && airborne && kg < other_kg) ? 1.0f : 0.0f;
}

}  // namespace

float fuel_display_round(float value, bool coarse) {
  if (coarse) return static_cast<float>(std::ceil(static_cast<double>(value) / 10.0) * 10.0);
  return static_cast<float>(std::ceil(static_cast<double>(value) * 100.0) / 100.0);
}

void update_cross_feed() {
  const float pos = knobs::cross_feed_pos;
  knobs::cross_feed = lag_toward(knobs::cross_feed, pos, 0.0f, 1.0f, 5.0f);
  // The valve's motor runs on the battery bus; without it the valve holds.
  if (fed(Consumer::fuel_cross_feed_valve)) {
    fuel::cross_feed_valve = move_toward_scaled(fuel::cross_feed_valve, pos, 0.0f, 1.0f, pos != 0.0f ? 1.0f : 0.0f, 2.5f);
  }
}

void update_fuel_pumps_feed() {
  const bool trip1 = fuel_pump_lights.ctr_pump_auto_off[0] != 0;
  const bool trip2 = fuel_pump_lights.ctr_pump_auto_off[1] != 0;
  bool l1 = fuel::fuel_tank_pos_lft1 == 1.0f && fed(Consumer::fuel_pump_l_fwd);
  bool l2 = fuel::fuel_tank_pos_lft2 == 1.0f && fed(Consumer::fuel_pump_l_aft);
  bool c1 = fuel::fuel_tank_pos_ctr1 == 1.0f && fed(Consumer::fuel_pump_ctr_l) && !trip1;
  bool r1 = fuel::fuel_tank_pos_rgt1 == 1.0f && fed(Consumer::fuel_pump_r_fwd);
  bool r2 = fuel::fuel_tank_pos_rgt2 == 1.0f && fed(Consumer::fuel_pump_r_aft);
  bool c2 = fuel::fuel_tank_pos_ctr2 == 1.0f && fed(Consumer::fuel_pump_ctr_r) && !trip2;

  // Suction feed: the engine pulls fuel without a pump while it turns fast
  // enough for the altitude.
  if (time_since_load > 6.0f) {
    const float limit = suction_n2_limit(static_pressure_altitude_ft);
    engine::tank_l_driven_status = as01(mirror_vf_at(bound::sim_flightmodel2_engines_N2_percent, 0) > limit);
    engine::tank_r_driven_status = as01(mirror_vf_at(bound::sim_flightmodel2_engines_N2_percent, 1) > limit);
  }
  if (time_since_load > 2.5f) {
    const bool centre_empty = !(tank_kg(1) > 0.0f);
    if (system_::fuel_press_c1 == 0.0f || centre_empty) c1 = false;
    if (system_::fuel_press_c2 == 0.0f || centre_empty) c2 = false;
  }
  engine::tank_l1_status = as01(l1);
  engine::tank_l2_status = as01(l2);
  engine::tank_c1_status = as01(c1);
  engine::tank_c2_status = as01(c2);
  engine::tank_r1_status = as01(r1);
  engine::tank_r2_status = as01(r2);
  plugin_bus_loads[0] += 4.0f * as01(l1) + 4.0f * as01(l2) + 6.0f * as01(c1);
  plugin_bus_loads[1] += 4.0f * as01(r1) + 4.0f * as01(r2) + 6.0f * as01(c2);

  const bool ld = nonzero(engine::tank_l_driven_status);
  const bool rd = nonzero(engine::tank_r_driven_status);
  float left = 0.0f;
  float right = 0.0f;
  // The engines feed through the valve, not the knob.
  if (fuel::cross_feed_valve != 1.0f) {
    left = (!l1 && !l2 && !c1 && !ld) ? 0.0f : (c1 ? 2.0f : 1.0f);
    right = (!r1 && !r2 && !c2 && !rd) ? 0.0f : (c2 ? 2.0f : 3.0f);
  } else {
    const bool any_l = l1 || l2;
    const bool any_r = r1 || r2;
    float both;
    if (!any_l && !any_r && !c1 && !c2 && !ld && !rd) {
      both = 0.0f;
    } else if (c1 || c2) {
      both = 2.0f;
    } else if (any_l && !any_r) {
      both = 1.0f;
    } else if (any_r && !any_l) {
      both = 3.0f;
    } else {
      both = 4.0f;  // pumps on both sides, or suction alone
    }
    left = both;
    right = both;
  }
  // The scavenge jet pump runs on tank 1's forward pump, not on the engine:
  // it goes on with engine 1 shut down, its valves closed.
  const bool scavenge_feed = left == 1.0f || left == 4.0f;
  // After a load the valves are still settling, but one a pulled fire
  // switch holds shut feeds nothing from the first frame.
  const bool settled = time_since_load > 2.0f;
  if ((settled || fire_switch_holds_fuel_shut(0)) && (engine::spar1_valve < 0.95f || engine::eng1_valve < 0.95f))
    left = 0.0f;
  if ((settled || fire_switch_holds_fuel_shut(1)) && (engine::spar2_valve < 0.95f || engine::eng2_valve < 0.95f))
    right = 0.0f;
  write_selector(bound::sim_cockpit2_fuel_fuel_tank_selector_left, left * engine::fuel_selector_l);
  write_selector(bound::sim_cockpit2_fuel_fuel_tank_selector_right, right * engine::fuel_selector_r);

  int32_t* pumps = host_mirror.sim_cockpit2_fuel_fuel_tank_pump_on;
  const int32_t want[3] = {(l1 || l2 || ld) ? 1 : 0, (c1 || c2) ? 1 : 0, (r1 || r2 || rd) ? 1 : 0};
  if (pumps[0] != want[0] || pumps[1] != want[1] || pumps[2] != want[2]) {
    for (int i = 0; i < 3; ++i) pumps[i] = want[i];
    host_send_vi(bound::sim_cockpit2_fuel_fuel_tank_pump_on, pumps, 3);
  }

  // Scavenge: the centre tank's last fuel drains slowly into the left tank.
  float* m = host_mirror.sim_flightmodel_weight_m_fuel;
  if (m[0] < kScavengeBelowKg && m[1] > kScavengeLeftKg && scavenge_feed && l2) {
    const float alt = mirror_f(bound::sim_cockpit2_gauges_indicators_altitude_ft_pilot);
    float rate = kScavengeLowKgPerS;
    if (alt > kScavengeHighFt) {
      rate = kScavengeHighKgPerS;
    } else if (alt > kScavengeLowFt) {
      rate = kScavengeLowKgPerS - (alt - kScavengeLowFt) * kScavengeTaperKgPerS / kScavengeTaperFt;
    }
    const float moved = std::min(rate * frame_time, m[1]);
    m[1] -= moved;
    m[0] += moved;
    host_send_vf(bound::sim_flightmodel_weight_m_fuel, m, 2);
  }
}

void update_fuel_quantities() {
  FuelIndications& fi = fuel_indications;
  const float l = tank_kg(0);
  const float c = tank_kg(1);
  const float r = tank_kg(2);
  const float diff = std::fabs(l - r);
  // IMBAL comes with the mains more than 1,000 lb apart. In the air, once
  // shown, it stays until they are within 200 lb: a crew balancing by
  // crossfeed balances all the way. On the ground it is judged afresh each
  // frame, so a refuel that fills one wing first leaves nothing for the
  // take-off.
  if (on_ground != 0) {
    fi.imbalance_latch = diff > kImbalanceKg ? 1.0f : 0.0f;
  } else if (diff > kImbalanceKg) {
    fi.imbalance_latch = 1.0f;
  } else if (diff < kImbalanceClearKg) {
    fi.imbalance_latch = 0.0f;
  }
  const bool imbalance = fi.imbalance_latch == 1.0f;
  const bool airborne = on_ground == 0;
  low_state(l, r, fi.low_latch_left, fuel::left_status, imbalance, airborne);
  low_state(r, l, fi.low_latch_right, fuel::right_status, imbalance, airborne);

  const float n1a = mirror_vf_at(bound::sim_flightmodel2_engines_N1_percent, 0);
  const float n1b = mirror_vf_at(bound::sim_flightmodel2_engines_N1_percent, 1);
  if ((n1a < kConfigIdleN1Pct && n1b < kConfigIdleN1Pct) || host_mirror.sim_cockpit2_fuel_fuel_tank_pump_on[1] != 0) {
    fuel::center_status = 0.0f;
    fi.config_latch = 0.0f;
  } else if (c > kConfigShowKg) {
    fuel::center_status = 3.0f;
    fi.config_latch = 1.0f;
  } else if (c >= kConfigKeepKg) {
    fuel::center_status = fi.config_latch == 1.0f ? 3.0f : 0.0f;
  } else {
    fuel::center_status = 0.0f;
    fi.config_latch = 0.0f;
  }

  const bool coarse = mirror_f(bound::zuvadud_D738_effects_fuelgauge) == 0.0f;
  fuel::left_tank_kgs = fuel_display_round(l, coarse);
  fuel::center_tank_kgs = fuel_display_round(c, coarse);
  fuel::right_tank_kgs = fuel_display_round(r, coarse);
  fuel::left_tank_lbs = fuel_display_round(l * kKgToLb, coarse);
  fuel::center_tank_lbs = fuel_display_round(c * kKgToLb, coarse);
  fuel::right_tank_lbs = fuel_display_round(r * kKgToLb, coarse);
  fuel::total_tank_kgs = fuel::left_tank_kgs + fuel::center_tank_kgs + fuel::right_tank_kgs;
  fuel::total_tank_lbs = fuel::left_tank_lbs + fuel::center_tank_lbs + fuel::right_tank_lbs;
  fuel::center_tank_kgs_c = c;
}

void update_fuel_used() {
  float* used[2] = {&cockpit::fuel_flow_used1, &cockpit::fuel_flow_used2};
  float& unpowered_s = fuel_state.fuel_used_unpowered_s;
  const bool powered = fed(Consumer::fuel_used_counter);
  unpowered_s = powered ? 0.0f : unpowered_s + frame_time;
  if (delay_flags.fuel_flow_reset_flag != 0.0f || !(unpowered_s < kFuelUsedRideThroughS)) {
    *used[0] = 0.0f;
    *used[1] = 0.0f;
    return;
  }
  // Within the ride-through the count is kept but not advanced.
  if (!powered) return;
  for (int e = 0; e < 2; ++e) {
    if (mirror_vi_at(bound::sim_flightmodel2_engines_engine_is_burning_fuel, e) == 0) continue;
    const float ff = mirror_vf_at(bound::sim_flightmodel_engine_ENGN_FF_, e);
    *used[e] = clamp_range(*used[e] + ff * frame_time, 0.0f, 99999.0f);
  }
}

void centre_pumps_after_load() {
  float& frames = fuel_indications.fuel_load_frames;
  // From the frame the cockpit is set up: its centre pumps ON over an empty
  // tank would otherwise light LOW PRESSURE for that frame (a reload whose
  // restore the scripts report a frame late sets the cockpit up first).
  if (frames <= 1.0f && !(tank_kg(1) > 0.0f)) {
    if (fuel::fuel_tank_pos_ctr1 != 0.0f) fuel::fuel_tank_pos_ctr1 = 0.0f;
    if (fuel::fuel_tank_pos_ctr2 != 0.0f) fuel::fuel_tank_pos_ctr2 = 0.0f;
  }
  if (frames < 2.0f) frames += 1.0f;
}

void update_fuel_temperature() {
  const float oat = mirror_f(bound::sim_cockpit2_temperature_outside_air_LE_temp_degc);
  float& real = engine::fuel_temp_real;
  FuelState& s = fuel_state;
  // The wing tanks' fuel approaches the air on their skin over hours: a few
  // degrees an hour in a long cold cruise. Full tanks hold their heat
  // longest; the time constant shortens as they empty.
  const float m = clamp_range((tank_kg(0) + tank_kg(2)) / 2.0f, kFuelTempLightKg, kFuelTempFullKg);
  const float tau_s = interpolate_clamped(kFuelTempLightKg, kFuelTempTauLightS, kFuelTempFullKg, kFuelTempTauFullS, m);
  if (static_cast<float>(s.fuel_temp_fine_degc) != real) s.fuel_temp_fine_degc = real;
  const double k = 1.0 - std::exp(-static_cast<double>(frame_time) / tau_s);
  const double end_degc = kFuelGaugeEndDegC;
  s.fuel_temp_fine_degc = std::clamp(s.fuel_temp_fine_degc + (oat - s.fuel_temp_fine_degc) * k, -end_degc, end_degc);
  real = static_cast<float>(s.fuel_temp_fine_degc);

  float& gauge = engine::fuel_temp;
  const float bus = fed01(Consumer::fuel_temp_gauge);
  if (!nonzero(bus)) {
    gauge = lag_toward(gauge, -kFuelGaugeEndDegC, -kFuelGaugeEndDegC, kFuelGaugeEndDegC, kFuelGaugeLagPerS);
    s.fuel_temp_state = 0.0f;
  } else if (bus == s.gauge_bus_prev) {
    if (s.fuel_temp_state == 1.0f) {
      gauge = lag_toward(gauge, real, -kFuelGaugeEndDegC, kFuelGaugeEndDegC, kFuelGaugeLagPerS);
      if (std::fabs(gauge - real) <= kFuelGaugeSettledDegC) s.fuel_temp_state = 0.0f;
    } else if (s.fuel_temp_state == 2.0f) {
      gauge = lag_toward(gauge, kFuelGaugeSwingDegC, -kFuelGaugeEndDegC, kFuelGaugeEndDegC, kFuelGaugeLagPerS);
      if (gauge > kFuelGaugeTurnDegC) s.fuel_temp_state = 1.0f;
    } else {
      gauge = real;
    }
  } else {
    s.fuel_temp_state = 2.0f;  // powered just now: the needle swings up first
  }
  s.gauge_bus_prev = bus;
}
