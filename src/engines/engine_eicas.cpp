// Engine state logic and EICAS modes. Reads the host mirror (radio altitude,
// throttle use, failures, flap handle, gear, inlet heat, N1/N2), the published
// engine values and the scripts' lower display page; writes
// "zuvadud/D738/engine/idle_mode", the host mixture ratio, "eicas/warn" and, on
// a new alert, the scripts' lower display page and camera values.
#include "engines/engine_eicas.h"

#include "core/binding.h"
#include "core/frame_values.h"
#include "core/preprocess_values.h"
#include "core/util.h"
#include "engines/engine_inputs.h"
#include "engines/engine_state.h"
#include "engines/engine_start.h"
#include "engines/engine_values.h"
#include "engines/n1_command.h"
#include "systems/fire/fire.h"

float density_offset;
EngineEicasState engine_eicas_state;

namespace {

// Below this an engine fuel shutoff valve passes no fuel.
constexpr float kEngineValveClosed = 0.05f;

// The alert countdowns and the touchdown hold run down with the frame; the
// expiry actions are those of the engine state logic alone.
void run_countdowns() {
  EngineEicasState& s = engine_eicas_state;
  if (s.touchdown_hold_s > 0.0f) {
    s.touchdown_hold_s -= frame_time;
    if (s.touchdown_hold_s <= 0.0f) {
      s.touchdown_hold_s = 0.0f;
      s.flight_latch = 0;
    }
  }
  for (int k = 0; k < 3; ++k) {
    if (s.alert_countdown_s[k] > 0.0f) {
      s.alert_countdown_s[k] -= frame_time;
      if (s.alert_countdown_s[k] <= 0.0f) {
        s.alert_countdown_s[k] = 0.0f;
        s.alert_running[k] = 0;
      }
    }
  }
}

bool any_gear_above(float v, bool exact) {
  for (float g : host_mirror.sim_aircraft_parts_acf_gear_deploy) {
    if (exact ? g == v : g > v) return true;
  }
  return false;
}

bool inlet_heat_on() {
  return host_mirror.sim_cockpit2_ice_ice_inlet_heat_on_per_engine[0] == 1 ||
         host_mirror.sim_cockpit2_ice_ice_inlet_heat_on_per_engine[1] == 1;
}

float flight_idle_mode() {
  const HostMirror& h = host_mirror;
  const float flap = h.sim_cockpit2_controls_flap_handle_deploy_ratio;
  if (!newer_host()) {
    const bool failed = h.sim_operation_failures_rel_antice > 0 || h.sim_operation_failures_rel_flap_act > 0;
    if (failed) return h.sim_cockpit2_gauges_indicators_radio_altimeter_height_ft_pilot < 15000.0f ? 2.0f : 1.0f;
    if (flap >= 0.625f || any_gear_above(0.98f, false)) return 2.0f;
    return inlet_heat_on() ? 2.0f : 1.0f;
  }
  const double alt = h.sim_flightmodel2_position_pressure_altitude;
  if (h.sim_operation_failures_rel_flap_act > 0 && alt < 19000.0) return 2.0f;
  if (flap >= 0.625f && alt < 15500.0) return 2.0f;
  if (any_gear_above(1.0f, true) && alt < 15500.0) return 2.0f;
  return inlet_heat_on() ? 2.0f : 1.0f;
}

float decide_idle_mode() {
  EngineEicasState& s = engine_eicas_state;
  const HostMirror& h = host_mirror;
  const float ra = h.sim_cockpit2_gauges_indicators_radio_altimeter_height_ft_pilot;
  const float t1 = h.sim_flightmodel_engine_ENGN_thro_use[0];
  const float t2 = h.sim_flightmodel_engine_ENGN_thro_use[1];
  if (s.flight_latch == 0 && ra > 20.0f) s.flight_latch = 1;
  if (on_ground != 0 && s.flight_latch != 0) {
    if (!newer_host()) {
      if (t1 >= 0.115f || t2 >= 0.115f) {
        s.touchdown_hold_s = 0.0f;
      } else if (s.touchdown_hold_s == 0.0f) {
        s.touchdown_hold_s = s.flight_latch == 2 ? 2.0f : 5.0f;
      }
    } else if (s.touchdown_hold_s == 0.0f) {
      s.touchdown_hold_s = 5.0f;
    }
    return flight_idle_mode();
  }
  if (on_ground != 0) {
    if (newer_host()) {
      s.touchdown_hold_s = 0.0f;
      return 0.0f;
    }
    const bool both_reversers = h.sim_cockpit_warnings_annunciators_reverser_on[0] != 0 &&
                                h.sim_cockpit_warnings_annunciators_reverser_on[1] != 0;
    if (!both_reversers) {
      const float r1 = n1_command_state.requested_n1[0];
      const float r2 = n1_command_state.requested_n1[1];
      const bool high_request = r1 > 0.5f || r2 > 0.5f;
      if ((high_request && (t1 > 0.13f || t2 > 0.13f)) || (!high_request && (t1 > 0.25f || t2 > 0.25f))) {
        s.flight_latch = 2;
        return 1.0f;
      }
    }
    return 0.0f;
  }
  return flight_idle_mode();
}

void move_density_offset(float mode) {
  const float target = mode == 2.0f ? 0.1f : 0.0f;
  const float step = 0.05f * frame_time;
  if (density_offset < target) {
    density_offset = density_offset + step > target ? target : density_offset + step;
  } else if (density_offset > target) {
    density_offset = density_offset - step < target ? target : density_offset - step;
  }
}

void update_mixture(float mode) {
  float target[2] = {finite_or(engine::mixture_ratio1, 0.0f), finite_or(engine::mixture_ratio2, 0.0f)};
  // A closed engine fuel shutoff valve (the fire switch pulled) stops the
  // engine as CUTOFF does, not once the line beyond it has run dry. The
  // valves are still settling for a moment after a load, but one the fire
  // switch holds shut is shut from the first frame.
  const float valve[2] = {engine::eng1_valve, engine::eng2_valve};
  for (int e = 0; e < 2; ++e) {
    const bool settled = time_since_load > 2.0f || fire_switch_holds_fuel_shut(e);
    if (settled && valve[e] < kEngineValveClosed) target[e] = 0.0f;
  }
  if (!newer_host() && mode == 0.0f) {
    target[0] *= 0.59f;
    target[1] *= 0.59f;
  }
  float* mix = host_mirror.sim_cockpit2_engine_actuators_mixture_ratio;
  bool changed = false;
  for (int e = 0; e < 2; ++e) {
    engine_copies.mixture[e] = lag_toward(engine_copies.mixture[e], target[e], 0.0f, 1.0f, 1.0f);
    if (engine_copies.mixture[e] != mix[e]) changed = true;
  }
  if (changed) {
    mix[0] = engine_copies.mixture[0];
    mix[1] = engine_copies.mixture[1];
    host_send_vf(bound::sim_cockpit2_engine_actuators_mixture_ratio, engine_copies.mixture, 2);
  }
}

// Alert kinds in priority order: 0 exceedance, 1 caution band, 2 vibration.
void evaluate_alerts(bool present[3]) {
  const float press[2] = {engine::eng1_oil_press, engine::eng2_oil_press};
  const float temp[2] = {engine::eng1_oil_temp, engine::eng2_oil_temp};
  const float press_on[2] = {engine::eicas_oil_press1, engine::eicas_oil_press2};
  const float temp_on[2] = {engine::eicas_oil_temp1, engine::eicas_oil_temp2};
  const float n1[2] = {engine::indicators_N1_percent_1, engine::indicators_N1_percent_2};
  const float n2[2] = {engine::indicators_N2_percent_1, engine::indicators_N2_percent_2};
  const float vib[2] = {engine::indicators_eng1_vib, engine::indicators_eng2_vib};
  present[0] = present[1] = present[2] = false;
  for (int e = 0; e < 2; ++e) {
    const bool watch_press = press_on[e] != 0.0f && n1[e] >= 19.0f;
    const bool watch_temp = temp_on[e] != 0.0f;
    if ((watch_press && press[e] < 13.0f) || (watch_temp && temp[e] > 165.0f) || n2[e] >= 101.5f) present[0] = true;
    if ((watch_press && press[e] >= 13.0f && press[e] <= 22.0f) ||
        (watch_temp && temp[e] >= 153.0f && temp[e] <= 165.0f))
      present[1] = true;
    if (vib[e] >= 4.0f || host_mirror.sim_cockpit2_engine_indicators_oil_quantity_ratio[e] <= 0.19f) present[2] = true;
  }
}

void clear_countdowns() {
  EngineEicasState& s = engine_eicas_state;
  for (int k = 0; k < 3; ++k) {
    s.alert_countdown_s[k] = 0.0f;
    s.alert_running[k] = 0;
  }
}

void update_alerts() {
  EngineEicasState& s = engine_eicas_state;
  bool present[3];
  evaluate_alerts(present);
  const uint8_t status = (present[0] || present[1] || present[2]) ? 1 : 0;
  const float page = script_mirror.zuvadud_D738_systems_lowerDU_page;
  const float blink = script_mirror.zuvadud_D738_autopilot_blink;
  if (page == 2.0f) {
    int kind = -1;
    for (int k = 0; k < 3 && kind < 0; ++k)
      if (present[k]) kind = k;
    if (kind < 0) {
      for (uint8_t& f : s.alert_first_seen) f = 0;
      eicas::warn = 0.0f;
    } else {
      if (s.alert_first_seen[kind] == 0) {
        s.alert_first_seen[kind] = 1;
        s.alert_countdown_s[kind] = 10.0f;
        s.alert_running[kind] = 1;
      }
      const float steady = static_cast<float>(kind + 2);
      if (s.alert_running[kind] != 0) {
        if (kind == 0) {
          eicas::warn = blink;
        } else {
          eicas::warn = blink != 0.0f ? steady : 0.0f;
        }
      } else {
        eicas::warn = steady;
      }
    }
  } else if (page == 1.0f) {
    clear_countdowns();
    s.alert_first_seen[0] = status;
    eicas::warn = 0.0f;
  } else {
    if (status != 0 && status != s.alert_status_prev) {
      script_mirror.zuvadud_D738_systems_lowerDU_page = 1.0f;
      script_mirror.zuvadud_D738_systems_lowerDU_page2 = 0.0f;
      script_mirror.zuvadud_D738_fd_cam = 0.0f;
      script_set_f(bound::zuvadud_D738_systems_lowerDU_page, 1.0f);
      script_set_f(bound::zuvadud_D738_systems_lowerDU_page2, 0.0f);
      script_set_f(bound::zuvadud_D738_fd_cam, 0.0f);
    }
    eicas::warn = 0.0f;
    clear_countdowns();
  }
  s.alert_status_prev = status;
}

}  // namespace

float vibration_from_n1(float n) {
  if (!(n >= 0.0f)) return 0.0f;
  if (n < 10.0f) return n * 1.81f / 10.0f;
  if (n < 37.0f) return 1.81f - 0.6f * (n - 10.0f) / 27.0f;
  if (n <= 105.0f) return 1.21f + 0.26f * (n - 37.0f) / 68.0f;
  return 1.47f;
}

void update_engine_eicas() {
  const float mode = decide_idle_mode();
  engine::idle_mode[0] = mode;
  engine::idle_mode[1] = mode;
  move_density_offset(mode);
  update_mixture(mode);
  update_alerts();
  run_countdowns();
}

void replay_engine_indications() {
  const HostMirror& h = host_mirror;
  engine::indicators_N1_percent_1 = h.sim_flightmodel2_engines_N1_percent[0];
  engine::indicators_N1_percent_2 = h.sim_flightmodel2_engines_N1_percent[1];
  engine::indicators_N2_percent_1 = h.sim_flightmodel2_engines_N2_percent[0];
  engine::indicators_N2_percent_2 = h.sim_flightmodel2_engines_N2_percent[1];
  // Each engine on its own curve, as the live spool step shows it.
  engine::indicators_eng1_vib = vibration_target(0, engine::indicators_N1_percent_1) * 0.01f;
  engine::indicators_eng2_vib = vibration_target(1, engine::indicators_N1_percent_2) * 0.01f;
}

bool load_finds_aircraft_alive() {
  const int32_t* running = host_mirror.sim_flightmodel_engine_ENGN_running;
  return on_ground == 0 || running[0] != 0 || running[1] != 0;
}

void init_engine_state() {
  HostMirror& h = host_mirror;
  const int32_t preference = h.sim_operation_prefs_startup_running;
  // A load that finds the aircraft flying, or its engines turning under a
  // preference that would not start them, keeps the engines as the host has
  // them: each start lever where the host's fuel stands, nothing sent. On
  // the ground the engines-running preference starts them as it always did.
  const bool from_host = on_ground == 0 || (preference != 1 && load_finds_aircraft_alive());
  if (situation_loaded == 0.0f && from_host) {
    for (int e = 0; e < 2; ++e) {
      const float lever = h.sim_cockpit2_engine_actuators_mixture_ratio[e] > 0.2f ? 1.0f : 0.0f;
      engine_copies.mixture[e] = lever;
      *(e == 0 ? &engine::mixture_ratio1 : &engine::mixture_ratio2) = lever;
    }
  } else if (situation_loaded == 0.0f) {
    if (preference == 0) {
      engine::mixture_ratio1 = 0.0f;
      engine::mixture_ratio2 = 0.0f;
      for (int e = 0; e < 2; ++e) {
        engine_copies.mixture[e] = 0.0f;
        h.sim_flightmodel2_engines_N1_percent[e] = 0.0f;
        h.sim_flightmodel2_engines_N2_percent[e] = 0.0f;
        h.sim_cockpit2_engine_actuators_mixture_ratio[e] = 0.0f;
        h.sim_flightmodel_engine_ENGN_running[e] = 0;
      }
    } else if (preference == 1) {
      engine::mixture_ratio1 = 1.0f;
      engine::mixture_ratio2 = 1.0f;
      int running[2] = {1, 1};
      for (int e = 0; e < 2; ++e) {
        engine_copies.mixture[e] = 1.0f;
        h.sim_flightmodel2_engines_N1_percent[e] = 19.5f;
        h.sim_flightmodel2_engines_N2_percent[e] = 58.5f;
        h.sim_cockpit2_engine_actuators_mixture_ratio[e] = 1.0f;
        h.sim_flightmodel_engine_ENGN_running[e] = 1;
      }
      host_send_vf(bound::sim_cockpit2_engine_actuators_mixture_ratio, engine_copies.mixture, 2);
      host_send_vi(bound::sim_flightmodel_engine_ENGN_running, running, 2);
    }
  } else {
    // Once a situation has been loaded the engines keep what it brought back.
    if (h.sim_cockpit2_engine_actuators_mixture_ratio[0] > 0.2f) {
      engine::mixture_ratio1 = 1.0f;
      engine_copies.mixture[0] = 1.0f;
    }
    if (h.sim_cockpit2_engine_actuators_mixture_ratio[1] > 0.2f) {
      engine::mixture_ratio2 = 1.0f;
      engine_copies.mixture[1] = 1.0f;
    }
  }
  for (int e = 0; e < 2; ++e) {
    const float n1 = h.sim_flightmodel2_engines_N1_percent[e];
    const float n2 = finite_or(h.sim_flightmodel2_engines_N2_percent[e], 0.0f);
    h.sim_flightmodel_engine_ENGN_N1_[e] = n1;
    h.sim_flightmodel_engine_ENGN_N2_[e] = n2;
    engine_copies.spool_n1[e] = n1;
    engine_copies.spool_n2[e] = n2;
    engine_copies.spool_n2_previous[e] = n2;
  }
  engine::indicators_N1_percent_1 = engine_copies.spool_n1[0];
  engine::indicators_N1_percent_2 = engine_copies.spool_n1[1];
  engine::indicators_N2_percent_1 = engine_copies.spool_n2[0];
  engine::indicators_N2_percent_2 = engine_copies.spool_n2[1];
  int* ign = h.sim_cockpit2_engine_actuators_igniter_on;
  if (ign[0] == 0 || ign[1] == 0) {
    ign[0] = 1;
    ign[1] = 1;
    host_send_vi(bound::sim_cockpit2_engine_actuators_igniter_on, ign, 2);
  }
  engine::indicators_eng1_vib = vibration_from_n1(engine::indicators_N1_percent_1);
  engine::indicators_eng2_vib = 0.0f;
  engine_start_clear_state();
}
