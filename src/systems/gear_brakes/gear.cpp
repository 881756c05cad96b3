// Landing gear: the gear warning horn and its cut-out, leg movement from
// the lever, hydraulic pressure, airspeed and the manual extension handle
// (with randomised transit times), the host's gear deployment, and tyre
// bursts from overspeed and hot brakes. The lever's ground lock is in
// gear_lever.cpp. Host values written: "sim/aircraft/parts/acf_gear_deploy"
// (every frame the actuator works), "sim/cockpit/switches/gear_handle_status"
// and "rel_tire1".."rel_tire3" (each on change).
#include "systems/gear_brakes/gear.h"

#include <cmath>

#include "alerting/aural_cues.h"
#include "alerting/failure_state.h"
#include "core/binding.h"
#include "core/frame_values.h"
#include "core/preprocess_values.h"
#include "core/util.h"
#include "systems/aircraft_systems.h"
#include "systems/annunciators/annunciator_values.h"
#include "systems/electrical/bus_feeds.h"
#include "systems/electrical/electric_values.h"
#include "systems/flight_controls/flight_control_values.h"
#include "systems/gear_brakes/gear_horn.h"
#include "core/host_io.h"
#include "systems/hydraulics/hydraulic_values.h"
#include "systems/instruments/instrument_values.h"
#include "systems/switches/switch_memory.h"
#include "systems/switches/switch_targets.h"
#include "systems/system_state.h"

GearTransitTimes gear_transit_times = {{7.45f, 10.35f, 10.35f}, {6.85f, 9.6f, 9.6f}, {9.85f, 12.85f, 12.85f}, 0.0f, 0};
TyreState tyre_state;
int32_t gear_legs_from_host = 1;

namespace {

constexpr float kLowPressurePsi = 2500.0f;
constexpr float kSlowFactor = 6.0f;
constexpr float kCollapsed = 0.26f;
constexpr float kFlaps15Lever = 0.625f;  // the lever's flaps 15 detent

float& gear_down_commanded() { return lever_commands.gear_down_selected; }

void draw_transit_times(bool extension) {
  GearTransitTimes& t = gear_transit_times;
  t.spread_s = random_range(0.1f, 0.6f);
  if (!extension) {
    t.retract_s[0] = random_range(7.3f, 7.6f);
    t.retract_s[1] = random_range(10.2f, 10.5f);
    t.retract_s[2] = t.retract_s[1] <= 10.3f ? t.retract_s[1] + t.spread_s : t.retract_s[1] - t.spread_s;
    t.drawn_for = 1;
    return;
  }
  t.extend_s[0] = random_range(6.4f, 7.3f);
  t.extend_s[1] = random_range(9.1f, 10.1f);
  t.extend_s[2] = t.extend_s[1] <= 9.6f ? t.extend_s[1] + t.spread_s : t.extend_s[1] - t.spread_s;
  t.manual_s[0] = random_range(9.3f, 10.4f);
  t.manual_s[1] = random_range(12.3f, 13.4f);
  t.manual_s[2] = t.manual_s[1] + t.spread_s;
  t.drawn_for = 2;
}

bool collapse_failed(int leg) {
  const int32_t* f[3] = {&host_mirror.sim_operation_failures_rel_collapse1, &host_mirror.sim_operation_failures_rel_collapse2,
                         &host_mirror.sim_operation_failures_rel_collapse3};
  return *f[leg] == 6;
}

}  // namespace

void update_gear_warning_horn() {
  int32_t horn = 0;
  gear_horn_active = 0;
  gear_horn_uncancellable = 0;
  const float ra = host_mirror.sim_cockpit2_gauges_indicators_radio_altimeter_height_ft_pilot;
  // The flap lever, not the flaps' request to the host: the alternate flaps
  // ask the host for full travel while they creep out with the lever UP.
  const float flaps = flt_ctrls::flap_lever;
  const bool bat = fed(Consumer::gear_horn);
  // The horn watches the gear itself: a leg stuck up warns whatever the lever
  // says, and a gear down and locked is silent in every lever position.
  const float* deploy = host_mirror.sim_aircraft_parts_acf_gear_deploy;
  const bool down_and_locked = deploy[0] >= 1.0f && deploy[1] >= 1.0f && deploy[2] >= 1.0f;
  // The landing flaps warn at any height; only flaps up to 10 are limited to
  // low radio altitudes. Beyond flaps 15 (25, 30, 40) the horn sounds
  // whatever the levers.
  if (down_and_locked) {
    alert::gear_horn_cut_disable = 0.0f;
  } else if (flaps > kFlaps15Lever) {
    gear_horn_active = gear_horn_uncancellable = 1;
    alert::gear_horn_cut_disable = 0.0f;
    horn = bat ? 1 : 0;
  } else if (flaps > 0.5f) {
    if (gear_warning_flaps15_thrust()) {
      gear_horn_active = 1;
      horn = 1;
    }
    if (!gear_warning_engine_out_levers()) {
      gear_horn_uncancellable = 1;
      alert::gear_horn_cut_disable = 0.0f;
    }
    horn = (horn != 0 && alert::gear_horn_cut_disable == 0.0f && bat) ? 1 : 0;
  } else if (ra >= 2500.0f) {
    alert::gear_horn_cut_disable = 0.0f;
  } else if (ra < 800.0f) {
    if (gear_warning_lever_closed()) {
      gear_horn_active = 1;
      horn = 1;
    }
    if (ra < 200.0f) {
      gear_horn_uncancellable = 1;
      alert::gear_horn_cut_disable = 0.0f;
    }
    horn = (horn != 0 && alert::gear_horn_cut_disable == 0.0f && bat) ? 1 : 0;
  }
  systems::cabin_gear_wrn = static_cast<float>(horn);
}

void update_landing_gear() {
  using namespace emergency;
  landgear_cover_pos = lag_toward(landgear_cover_pos, man_gear_cover_target, 0.0f, 1.0f, 20.0f);
  landgear_pos = lag_toward(landgear_pos, man_gear_handle_target, 0.0f, 1.0f, 20.0f);
  const bool manual_handle = landgear_pos > 0.9f;
  if (manual_handle) {
    gear_down_commanded() = 1.0f;
    host_set_i(bound::sim_cockpit_switches_gear_handle_status, 1);
  }
  // The model's legs are its own; after a start, load or restore they begin
  // where the host has them, so neither lowers nor raises the gear by itself.
  float* leg = systems_memory.gear_leg;
  float* host_leg = host_mirror.sim_aircraft_parts_acf_gear_deploy;
  auto sanitise_legs = [&]() {
    for (int i = 0; i < 3; ++i) {
      if (std::isnan(leg[i])) leg[i] = 1.0f;  // unknown reads as down, the safe side on the ground
      leg[i] = clamp_range(leg[i], 0.0f, 1.0f);
    }
  };
  auto legs_from_host = [&]() {
    for (int i = 0; i < 3; ++i) leg[i] = host_leg[i];
    sanitise_legs();
  };
  if (gear_legs_from_host != 0) {
    legs_from_host();
    gear_legs_from_host = 0;
  }
  sanitise_legs();
  const bool commanded = gear_down_commanded() == 1.0f;
  if (leg[0] == 1.0f && !commanded && gear_transit_times.drawn_for != 1) draw_transit_times(false);
  if (leg[0] == 0.0f && commanded && gear_transit_times.drawn_for != 2) draw_transit_times(true);

  if (on_ground != 1) {
    const float ias = std::fmax(host_mirror.sim_cockpit2_gauges_indicators_airspeed_kts_pilot,
                                host_mirror.sim_cockpit2_gauges_indicators_airspeed_kts_copilot);
    const float lever = controls::gear_handle_down;
    const GearTransitTimes& t = gear_transit_times;
    auto retract_all = [&](float pressure) {
      const float k = pressure <= kLowPressurePsi ? kSlowFactor : 1.0f;
      for (int i = 0; i < 3; ++i) leg[i] = move_toward_scaled(leg[i], 0.0f, 0.0f, 1.0f, 0.0f, t.retract_s[i] * k);
    };
    float before[3];
    for (int i = 0; i < 3; ++i) before[i] = leg[i];
    if (hydraulic::A_status > 0.0f) {
      if (!commanded) {
        if (ias < 250.0f && lever != 0.5f) {
          retract_all(hydraulic::A_pressure);
          host_set_i(bound::sim_cockpit_switches_gear_handle_status, 0);
        }
      } else if (ias < 280.0f && !(lever == 0.5f && !manual_handle)) {
        const float k = hydraulic::A_pressure <= kLowPressurePsi ? kSlowFactor : 1.0f;
        for (int i = 0; i < 3; ++i) leg[i] = move_toward_scaled(leg[i], 1.0f, 0.0f, 1.0f, 1.0f, t.extend_s[i] * k);
        host_set_i(bound::sim_cockpit_switches_gear_handle_status, 1);
      }
    } else {
      const bool any_down = leg[0] > 0.0f || leg[1] > 0.0f || leg[2] > 0.0f;
      if (hydraulic::B_status > 0.0f && host_mirror.sim_flightmodel2_engines_N2_percent[0] < 50.0f && !commanded &&
          lever == 0.0f && any_down && ias < 250.0f) {
        retract_all(hydraulic::B_pressure);
      }
    }
    // A failed actuator moves no leg, whatever the pressure.
    if (host_mirror.sim_operation_failures_rel_gear_act == 6) {
      for (int i = 0; i < 3; ++i) leg[i] = before[i];
    }
    // The handle releases the uplocks: each leg falls and locks by its own
    // weight in its own time from the pull, whatever system A holds and
    // whether or not its actuator works. Only a faster hydraulic extension
    // (A at full pressure through a working actuator) gets a leg down sooner.
    if (ias < 280.0f && manual_handle) {
      for (int i = 0; i < 3; ++i) {
        leg[i] = std::fmax(leg[i], move_toward_scaled(before[i], 1.0f, 0.0f, 1.0f, 1.0f, t.manual_s[i]));
      }
    }
  }
  // A failed actuator moves nothing: the legs stay where the host has them
  // and travel from there, at their normal pace, once it works again. A
  // manual extension moves them without it.
  const bool act_failed = host_mirror.sim_operation_failures_rel_gear_act == 6 && !manual_handle;
  if (act_failed) legs_from_host();
  for (int i = 0; i < 3; ++i) {
    if (collapse_failed(i) && leg[i] > 0.0f) leg[i] = kCollapsed;
  }
  if (!act_failed) {
    for (int i = 0; i < 3; ++i) host_leg[i] = leg[i];
    host_send_vf(bound::sim_aircraft_parts_acf_gear_deploy, leg, 3);
  }
}

void update_wing_tyre_failures() {
  const bound::Id tyre_id[3] = {bound::sim_operation_failures_rel_tire1, bound::sim_operation_failures_rel_tire2,
                                bound::sim_operation_failures_rel_tire3};
  int32_t f[3];
  for (int i = 0; i < 3; ++i) f[i] = mirror_i(tyre_id[i]);
  bool any = false;
  bool all_clear = true;
  for (int32_t v : f) {
    if (v >= 1 && v <= 5) any = true;
    if (v != 0) all_clear = false;
  }
  if (any) tyre_state.failed_any = 1;
  if (all_clear) tyre_state.failed_any = 0;
  if (script_mirror.zuvadud_D738_effect_tire_blown != 0.0f) {
    const float t = clamp_range(host_mirror.sim_weather_temperature_le_c, 0.0f, 40.0f);
    const float burst_mps = 120.0f - 21.0f * t / 40.0f;
    // At the burst speed itself the tyre goes (99 m/s on a 40 degree day).
    if (host_mirror.sim_flightmodel_position_groundspeed >= burst_mps) {
      int n = 0;
      const int* noisy = mirror_vi(bound::sim_flightmodel2_gear_on_noisy, &n);
      for (int i = 0; i < 3; ++i) {
        const bool rough = noisy != nullptr && i < n && noisy[i] != 0;
        if (host_mirror.sim_flightmodel2_gear_on_ground[i] != 0 && !rough) {
          host_set_i(tyre_id[i], 6);
          tyre_burst_flags[i] = 1.0f;
        }
      }
    }
    using namespace systems;
    if (brake_temp_l_in >= 9.9f || brake_temp_l_out >= 9.9f) {
      host_set_i(tyre_id[1], 6);
      tyre_burst_flags[1] = 1.0f;
    }
    if (brake_temp_r_in >= 9.9f || brake_temp_r_out >= 9.9f) {
      host_set_i(tyre_id[2], 6);
      tyre_burst_flags[2] = 1.0f;
    }
  }
  if (tyre_state.failed_any == 0) {
    for (int i = 0; i < 3; ++i) {
      if (mirror_i(tyre_id[i]) != 0 && tyre_burst_flags[i] == 0.0f) host_set_i(tyre_id[i], 0);
    }
  }
}
