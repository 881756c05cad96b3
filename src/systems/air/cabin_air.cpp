// Cabin air around the pressurisation controller: passenger oxygen mask
// deployment, the controller call (or, while a saved state is restored, the
// restored cabin values handed to the host), cabin temperature targets, the
// zone and pack-supply temperatures with the trim (mix) valves and the
// temperature indicator, and the crew oxygen masks. Temperatures in deg C.
#include "systems/air/cabin_air.h"

#include <algorithm>
#include <cstdint>

#include "alerting/aural_cues.h"
#include "core/binding.h"
#include "core/frame_values.h"
#include "core/preprocess_values.h"
#include "core/util.h"
#include "core/variant.h"
#include "systems/air/air_values.h"
#include "systems/aircraft_systems.h"
#include "systems/electrical/bus_feeds.h"
#include "systems/electrical/electric_values.h"
#include "core/host_io.h"
#include "systems/instruments/instrument_values.h"
#include "systems/air/oxygen_state.h"
#include "systems/air/pressurisation.h"
#include "systems/switches/switch_values.h"
#include "systems/system_state.h"

CabinAirState cabin_air;

namespace {

constexpr int32_t kDeployed = 6;
constexpr float kPaxMaskAltFt = 14000.0f;

// Slots of cabin_temperatures.values_degc.
enum CabinSlot { zone1, zone2, zone3, zone4, zone5, supply1, supply2 };

float outside_degc() { return mirror_f(bound::sim_cockpit2_temperature_outside_air_temp_degc); }
// The skin in flight is at the air's recovery temperature, not its static one.
float skin_degc() { return mirror_f(bound::sim_cockpit2_temperature_outside_air_LE_temp_degc); }

// Unventilated cabin in flight: its balance above the skin's temperature,
// and the time constant it approaches it with.
constexpr float kCabinHeatGainDegC = 30.0f;
constexpr float kCabinUnventilatedTauS = 1800.0f;

float two_zone_target(float r) {
  if (r == 0.5f) return 23.0f;
  if (r < 0.0f) return 18.0f;
  if (r > 1.0f) return 28.0f;
  return 18.0f + 10.0f * r;
}

float knob_target(float r) { return interpolate_clamped(0.0f, 18.0f, 1.0f, 28.0f, r); }

float mix_valve_target(float target, float zone) {
  const float k = target < 18.0f ? 0.2f : (target > 28.0f ? 0.7f : 0.2f + (target - 18.0f) * 0.5f / 10.0f);
  return clamp_range(k + 0.008f * (target - outside_degc()) + 0.05f * (target - zone), 0.0f, 1.0f);
}

float passenger_cabin(const float* z) { return (z[zone4] + z[zone5]) / 2.0f; }

}  // namespace

bool two_zone_variant() { return variant_index == 2 || variant_index == 3 || variant_index == 5; }

void update_pax_oxygen() {
  const bool deploy = pax_oxy_state == kDeployed ||
                      mirror_f(bound::sim_cockpit2_pressurization_indicators_cabin_altitude_ft) > kPaxMaskAltFt;
  // The doors are held by electric latches: without their power neither the
  // switch nor the cabin altitude opens them, and a switch left ON drops the
  // masks once the power comes. Once out the masks stay out until the host's
  // failure is reset.
  if (deploy && fed(Consumer::pax_mask_door_latches) && mirror_i(bound::sim_operation_failures_rel_pass_o2_on) != kDeployed) {
    host_set_i(bound::sim_operation_failures_rel_pass_o2_on, kDeployed);
  }
}

void cabin_pressure_interface() {
  if (route_reset_request != 0.0f || restore_settle_timer > 0.0f) {
    auto put = [](bound::Id id, float v) {
      set_mirror_f(id, v);
      host_send_f(id, v);
    };
    put(bound::sim_cockpit_pressure_cabin_vvi_actual_m_msec, cockpit::cabin_vvi);
    put(bound::sim_cockpit_pressure_cabin_altitude_actual_m_msl, cockpit::cabin_altitude_actual);
    put(bound::sim_cockpit_pressure_cabin_pressure_differential_psi, cockpit::cabin_pressure_diff);
    return;
  }
  update_pressurization();
}

void update_cabin_temperature() {
  CabinAirState& c = cabin_air;
  if (two_zone_variant()) {
    c.cont_cab_target = two_zone_target(air::cont_cab_temp_rheostat_700);
    c.fwd_cab_target = two_zone_target(air::pass_cab_temp_rheostat_700);
    c.aft_cab_target = c.fwd_cab_target;
  } else {
    const float rc = air::cont_cab_temp_rheostat;
    const float rf = air::fwd_cab_temp_rheostat;
    const float ra = air::aft_cab_temp_rheostat;
    c.cont_cab_target = rc == 0.5f ? 23.0f : knob_target(rc);
    c.fwd_cab_target = rf == 0.0f ? 18.0f : (rf == 0.5f ? 24.0f : knob_target(rf));
    c.aft_cab_target = ra == 0.0f ? 18.0f : knob_target(ra);
  }
  const float d = c.cont_cab_target;
  const float f = c.fwd_cab_target;
  const float a = c.aft_cab_target;
  const float p = (f + a) / 2.0f;
  const float lowest = std::min(d, std::min(f, a));
  const float mean = (d + f + a) / 3.0f;
  const float oat = outside_degc();

  float* z = cabin_temperatures.values_degc;
  auto move = [&](int slot, float target, float seconds) {
    z[slot] = move_toward_timed(z[slot], target, -30.0f, 60.0f, seconds);
  };
  const float recirc_l =
      (air::l_recirc_fan_pos == 1.0f && fed(Consumer::recirc_fan_left)) ? 21.0f : 26.0f;
  const float recirc_r =
      (air::r_recirc_fan_pos == 1.0f && fed(Consumer::recirc_fan_right)) ? 21.0f : 26.0f;
  const bool pack_l = air::l_pack_bleed_valve_pos > 0.1f;
  const bool pack_r = air::r_pack_bleed_valve_pos > 0.1f;
  const bool trim_air = fed(Consumer::trim_air_valve) && air::trim_air_pos == 1.0f;
  if (pack_l && pack_r) {
    move(supply1, trim_air ? lowest : d, 3.0f);
    move(supply2, trim_air ? lowest : p, 3.0f);
  } else if (pack_l || pack_r) {
    // One pack mixes a single supply for the whole aircraft, as cold as the
    // coldest zone asks when trim air warms each zone up to its own; the
    // idle pack's duct drifts to the outside air.
    const float supply = trim_air ? lowest : mean;
    move(supply1, pack_l ? supply : oat, pack_l ? 3.0f : 35.0f);
    move(supply2, pack_r ? supply : oat, pack_r ? 3.0f : 35.0f);
  } else {
    move(supply1, oat, 35.0f);
    move(supply2, oat, 35.0f);
  }
  if ((pack_l && pack_r) || ((pack_l || pack_r) && trim_air)) {
    move(zone1, d, 18.0f);
    move(zone2, d + 1.0f, 18.0f);
    move(zone3, d - 1.0f, 18.0f);
    move(zone4, trim_air ? f : p, recirc_l);
    move(zone5, trim_air ? a : p, recirc_r);
  } else if (pack_l || pack_r) {
    // Without trim air one pack's single supply brings every zone to the
    // mean of the selections.
    for (int s = zone1; s <= zone3; ++s) move(s, mean, 18.0f);
    move(zone4, mean, recirc_l);
    move(zone5, mean, recirc_r);
  } else {
    // No conditioned air: in flight the insulated hull, the passengers,
    // galleys and electronics hold the cabin well above the air on its
    // skin, and it cools toward that balance over tens of minutes; on the
    // ground, doors open, it takes the outside air's temperature.
    const float balance = on_ground != 0 ? oat : skin_degc() + kCabinHeatGainDegC;
    for (int s = zone1; s <= zone5; ++s) {
      z[s] = lag_toward(z[s], balance, -30.0f, 60.0f, 1.0f / kCabinUnventilatedTauS);
    }
  }

  if (fed(Consumer::zone_mix_valves)) {
    air::mix_valve1_700 = lag_toward(air::mix_valve1_700, mix_valve_target(d, z[zone1]), 0.0f, 1.0f, 0.3f);
    air::mix_valve2_700 = lag_toward(air::mix_valve2_700, mix_valve_target(p, passenger_cabin(z)), 0.0f, 1.0f, 0.3f);
  }

  float selected;
  if (two_zone_variant()) {
    selected = air::temp_ctrl_700 == 0.0f ? z[zone1] : passenger_cabin(z);
  } else {
    switch (trunc_to_i32(toggle_switch::air_temp_source)) {
      case 1: selected = z[zone1]; break;
      case 2: selected = z[zone4]; break;
      case 3: selected = z[zone5]; break;
      case 4: selected = z[zone2]; break;
      case 5: selected = z[supply2]; break;
      case 6: selected = z[supply1]; break;
      default: selected = passenger_cabin(z); break;
    }
  }
  // Without its power the indicator's needle falls to the bottom of its scale.
  const float shown = fed(Consumer::cabin_temp_indicator) ? std::min(100.0f, std::max(0.0f, selected)) : 0.0f;
  cockpit::zone_temp = lag_toward(cockpit::zone_temp, shown, 0.0f, 100.0f, 5.0f);
  cockpit::cabin_temp = passenger_cabin(z);
}

void update_crew_oxygen() {
  const bool capt = system_::oxy_mask_capt == 1.0f;
  const bool fo = system_::oxy_mask_fo == 1.0f;
  const bool any = capt || fo;
  host_set_i(bound::sim_cockpit2_oxygen_actuators_o2_valve_on, any ? 1 : 0);
  host_set_i(bound::sim_cockpit2_oxygen_actuators_demand_flow_setting, any ? 2 : 0);
  fmod_::oxygen_test = oxy_test_active != 0.0f ? 1.0f : 0.0f;
  fmod_::mask_breath = capt ? 1.0f : 0.0f;
  fmod_::mask_breath2 = fo ? 1.0f : 0.0f;
}
