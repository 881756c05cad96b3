// Anti-ice and window heat (see anti_ice.h).
#include "systems/ice_rain/anti_ice.h"

#include "core/host_io.h"
#include "core/command_refs.h"
#include "core/binding.h"
#include "core/frame_values.h"
#include "core/preprocess_values.h"
#include "core/restored_travel.h"
#include "core/saved_travels.h"
#include "core/util.h"
#include "engines/engine_values.h"
#include "systems/air/pneumatics.h"
#include "systems/electrical/bus_feeds.h"
#include "systems/electrical/electric_values.h"
#include "systems/ice_rain/ice_values.h"
#include "systems/instruments/instrument_values.h"
#include "systems/switches/switch_values.h"
#include "systems/ice_rain/window_heat_state.h"

AntiIceState anti_ice_state;

namespace {

// Valve travel, per second of first-order lag.
constexpr float kCowlValveRate = 1.5f;
constexpr float kWingValveRate = 1.8f;
constexpr float kValveOpen = 0.95f;
// Wing valves need bleed: below 8 psi they stay shut; open with that much
// behind them they heat, at idle as at climb thrust.
constexpr float kWingMinDuctPsi = 8.0f;
// On the ground, above this N1 with the lever near idle the wing overheats:
// the valve is let open 10 s, then held shut while the timer runs back at a
// quarter of the speed (40 s).
constexpr float kGroundCycleN1 = 41.3f;
constexpr float kGroundCycleOpenS = 10.0f;
constexpr float kGroundCycleCoolRate = 0.25f;
constexpr float kLeverTakeoff = 0.5f;
constexpr float kLiftoffRadioAltFt = 10.0f;

HostMirror& hm = host_mirror;

// A failed anti-ice (the host's failure of that inlet's or wing's heat) is a
// valve that stays shut: no heat, and the crew sees its VALVE OPEN light
// bright against the switch.
bool heat_failed(int32_t host_failure) { return host_failure == kHostFailed; }

void cowl_valves() {
  const int32_t* burning = hm.sim_flightmodel2_engines_engine_is_burning_fuel;
  const bool on1 = ice::eng1_heat_pos == 1.0f && burning[0] != 0 && fed(Consumer::eng1_anti_ice_valve) &&
                   !heat_failed(hm.sim_operation_failures_rel_ice_inlet_heat);
  const bool on2 = ice::eng2_heat_pos == 1.0f && burning[1] != 0 && fed(Consumer::eng2_anti_ice_valve) &&
                   !heat_failed(hm.sim_operation_failures_rel_ice_inlet_heat2);
  float* valve = system_::eng_inlet_valve;
  valve[0] = lag_toward(valve[0], on1 ? 1.0f : 0.0f, 0.0f, 1.0f, kCowlValveRate);
  valve[1] = lag_toward(valve[1], on2 ? 1.0f : 0.0f, 0.0f, 1.0f, kCowlValveRate);
  int32_t* inlet = hm.sim_cockpit2_ice_ice_inlet_heat_on_per_engine;
  const int32_t want[2] = {valve[0] > kValveOpen ? 1 : 0, valve[1] > kValveOpen ? 1 : 0};
  if (inlet[0] != want[0] || inlet[1] != want[1]) {
    inlet[0] = want[0];
    inlet[1] = want[1];
    host_send_vi(bound::sim_cockpit2_ice_ice_inlet_heat_on_per_engine, inlet, 2);
  }
}

// The wing switch trips off once the aircraft is airborne and the thrust
// levers go up, whenever it was on while on the ground: turned on there, or
// left on through a landing, a restore or a write of its position. Turned on
// in the air it stays.
void air_ground_latch() {
  AntiIceState& s = anti_ice_state;
  if (on_ground != 0 && ice::wing_heat_pos != 0.0f) s.wing_heat_set_on_ground = 1.0f;
  const int32_t* gear = hm.sim_flightmodel2_gear_on_ground;
  if (s.airborne_latch == 0.0f) {
    if (hm.sim_cockpit2_gauges_indicators_radio_altimeter_height_ft_pilot > kLiftoffRadioAltFt && gear[0] == 0 &&
        gear[1] == 0 && gear[2] == 0) {
      s.airborne_latch = 1.0f;
      s.apu_feeding_at_liftoff =
          (electrical::apu_power_bus1 != 0.0f && electrical::apu_power_bus2 != 0.0f) ? 1 : 0;
    }
    return;
  }
  if (on_ground != 0) {
    s.airborne_latch = 0.0f;
    s.apu_feeding_at_liftoff = 0;
  } else {
    const float* throttle = hm.sim_flightmodel2_engines_throttle_used_ratio;
    if (throttle[0] > kLeverTakeoff || throttle[1] > kLeverTakeoff) {
      if (ice::wing_heat_pos != 0.0f && s.wing_heat_set_on_ground == 1.0f) {
        issue_command_once(OwnCmd::toggle_switch_wing_heat);
      }
      s.wing_heat_set_on_ground = 0.0f;
    }
  }
  s.wing_ground_gate_left = 1.0f;
  s.wing_ground_gate_right = 1.0f;
}

// After a take-off on APU power the engine generators take the buses back
// once the APU lets go of both; like the GEN switches, whatever the battery
// bus does.
void generator_transfer() {
  AntiIceState& s = anti_ice_state;
  const bool bus1 = electrical::apu_power_bus1 != 0.0f;
  const bool bus2 = electrical::apu_power_bus2 != 0.0f;
  if (!bus1 && !bus2 && s.apu_feeding_at_liftoff == 1) {
    s.apu_feeding_at_liftoff = 0;
    if (electric::gen1_available == 1.0f) {
      issue_command_once(HostCmd::electrical_generator_1_on);
      issue_command_once(HostCmd::electrical_GPU_off);
      electrical::apu_power_bus1 = 0.0f;
    }
    if (electric::gen2_available == 1.0f) {
      issue_command_once(HostCmd::electrical_generator_2_on);
      issue_command_once(HostCmd::electrical_GPU_off);
      electrical::apu_power_bus2 = 0.0f;
    }
  } else if (!bus1 || !bus2) {
    s.apu_feeding_at_liftoff = 0;
  }
}

void ground_cycle_side(float lever, float n1, float& gate, int32_t& closed, float& timer) {
  if (lever > kLeverTakeoff) {
    gate = 0.0f;
    closed = 0;
    timer = 0.0f;
    return;
  }
  gate = 1.0f;
  if (n1 <= kGroundCycleN1) {
    if (timer != 0.0f) {
      timer -= kGroundCycleCoolRate * frame_time;
      if (timer < 0.0f) {
        timer = 0.0f;
        closed = 0;
      }
    }
    if (timer == 0.0f) closed = 0;
  } else if (closed == 0) {
    timer += frame_time;
    if (timer > kGroundCycleOpenS) {
      timer = kGroundCycleOpenS;
      closed = 1;
    }
  } else {
    timer -= kGroundCycleCoolRate * frame_time;
    if (timer < 0.0f) {
      timer = 0.0f;
      closed = 0;
    }
  }
}

void ground_cycle() {
  AntiIceState& s = anti_ice_state;
  if (on_ground == 0) {
    s.wing_ground_cycle_closed_left = 0;
    s.wing_ground_cycle_closed_right = 0;
    s.wing_ground_cycle_timer_left = 0.0f;
    s.wing_ground_cycle_timer_right = 0.0f;
    return;
  }
  const float* n1 = hm.sim_flightmodel2_engines_N1_percent;
  ground_cycle_side(engine::thrust1_leveler, n1[0], s.wing_ground_gate_left, s.wing_ground_cycle_closed_left,
                    s.wing_ground_cycle_timer_left);
  ground_cycle_side(engine::thrust2_leveler, n1[1], s.wing_ground_gate_right, s.wing_ground_cycle_closed_right,
                    s.wing_ground_cycle_timer_right);
}

void wing_valves() {
  const AntiIceState& s = anti_ice_state;
  const float duct_l = pneumatics.duct_psi[0];
  const float duct_r = pneumatics.duct_psi[1];
  float target_l = 0.0f;
  float target_r = 0.0f;
  if (ice::wing_heat_pos != 0.0f && fed(Consumer::wing_anti_ice)) {
    // On the ground one logic drives both valves: either thrust lever at the
    // take-off setting or either duct overheating shuts both, and they reopen
    // together once both levers are back and both ducts have cooled.
    // In flight the valves follow the switch alone: a low duct pressure only
    // leaves the wing unheated. Closing on it would take the valves' own
    // demand off the duct and open them again, over and over.
    // Lifting off at take-off thrust the valves stay shut until the switch
    // trips: opening them for the moment in between would only cycle them.
    const bool ground = on_ground != 0;
    const bool takeoff_held = wing_valves_held_for_takeoff();
    const bool ground_shut = takeoff_held || s.wing_ground_cycle_closed_left != 0 || s.wing_ground_cycle_closed_right != 0;
    const bool shut_l = (ground && (duct_l < kWingMinDuctPsi || ground_shut)) || (!ground && takeoff_held) ||
                        heat_failed(hm.sim_operation_failures_rel_ice_surf_heat);
    const bool shut_r = (ground && (duct_r < kWingMinDuctPsi || ground_shut)) || (!ground && takeoff_held) ||
                        heat_failed(hm.sim_operation_failures_rel_ice_surf_heat2);
    target_l = shut_l ? 0.0f : 1.0f;
    target_r = shut_r ? 0.0f : 1.0f;
  }
  float* valve = system_::wing_anti_ice_valve;
  // The valves are motor driven from transfer bus 1: without it they stay put.
  if (fed(Consumer::wing_anti_ice)) {
    valve[0] = lag_toward(valve[0], target_l, 0.0f, 1.0f, kWingValveRate);
    valve[1] = lag_toward(valve[1], target_r, 0.0f, 1.0f, kWingValveRate);
  }
  ice::wing_l_heat_on = (valve[0] > kValveOpen && duct_l >= kWingMinDuctPsi) ? 1.0f : 0.0f;
  ice::wing_r_heat_on = (valve[1] > kValveOpen && duct_r >= kWingMinDuctPsi) ? 1.0f : 0.0f;
  // The host's own surface heat on only where a valve is open with the duct
  // pressure the wing needs (it would de-ice without bleed otherwise), as
  // the inlets' heat is: a module loaded afresh in flight reads it back.
  host_set_i(bound::sim_cockpit2_ice_ice_surfce_heat_left_on, ice::wing_l_heat_on == 1.0f ? 1 : 0);
  host_set_i(bound::sim_cockpit2_ice_ice_surfce_heat_right_on, ice::wing_r_heat_on == 1.0f ? 1 : 0);
}

void window_heat() {
  const float oat = hm.sim_cockpit2_temperature_outside_air_LE_temp_degc;
  const float heated_temp = window_heated_temp_degc(oat, hm.sim_flightmodel_position_groundspeed);
  float* const temps[window_count] = {&ice::l_side_temp, &ice::l_fwd_temp, &ice::r_side_temp, &ice::r_fwd_temp};
  const float switches_[window_count] = {ice::window_heat_l_side_pos, ice::window_heat_l_fwd_pos,
                                         ice::window_heat_r_side_pos, ice::window_heat_r_fwd_pos};
  // A window overheating for real (the host's failure) has its heat taken
  // off, as one whose overheat test has run its first step.
  const bool overheated = heat_failed(hm.sim_operation_failures_rel_ice_window_heat);
  bool heated[window_count];
  for (int i = 0; i < window_count; ++i) {
    heated[i] = switches_[i] != 0.0f && window_heat_bus(static_cast<WindowIndex>(i)) != 0.0f &&
                window_overheat_state[i] <= 1.0f && !overheated;
    const float target = heated[i] ? heated_temp : oat;
    anti_ice_state.window_heat_target[i] = target;
    // Frozen glass warms faster once heat is on.
    const float unit_time_s = (target > 0.0f && *temps[i] < 0.0f) ? 5.0f : 10.0f;
    *temps[i] = move_toward_timed(*temps[i], target, -50.0f, 70.0f, unit_time_s);
  }
  // The host ices the pilot's windshield unless its windshield switch says
  // it is heated: on every host that switch follows the captain's forward
  // window. Host 12 has a switch per window as well, and its descriptions
  // give both the same meaning, so both are kept.
  host_set_i(bound::sim_cockpit2_ice_ice_window_heat_on, heated[window_l_fwd] ? 1 : 0);
  if (host_version < 120000) return;
  int32_t* host = hm.sim_cockpit2_ice_ice_window_heat_on_window;
  // The host numbers its windows forward ones first.
  const int32_t want[4] = {heated[window_l_fwd] ? 1 : 0, heated[window_r_fwd] ? 1 : 0,
                           heated[window_l_side] ? 1 : 0, heated[window_r_side] ? 1 : 0};
  bool differs = false;
  for (int i = 0; i < 4; ++i) {
    if (host[i] != want[i]) differs = true;
    host[i] = want[i];
  }
  if (differs) host_send_vi(bound::sim_cockpit2_ice_ice_window_heat_on_window, host, 4);
}

}  // namespace

bool wing_valves_held_for_takeoff() {
  const AntiIceState& s = anti_ice_state;
  return s.wing_ground_gate_left == 0.0f || s.wing_ground_gate_right == 0.0f;
}

float window_heated_temp_degc(float oat_degc, float groundspeed_mps) {
  const float t = clamp_range(oat_degc - (groundspeed_mps / 180.0f) * 10.0f, -50.0f, 24.0f);
  return 20.0f + (t + 50.0f) * 25.0f / 74.0f;
}

void update_anti_ice() {
  cowl_valves();
  air_ground_latch();
  generator_transfer();
  ground_cycle();
  wing_valves();
  window_heat();
}

void build_anti_ice_images(float state[kAntiIceArraySize], float switches_[kAntiIceArraySize]) {
  const AntiIceState& s = anti_ice_state;
  for (int i = 0; i < kAntiIceArraySize; ++i) {
    state[i] = 0.0f;
    switches_[i] = 0.0f;
  }
  state[0] = ice::l_side_temp;
  state[1] = ice::l_fwd_temp;
  state[2] = ice::r_side_temp;
  state[3] = ice::r_fwd_temp;
  for (int i = 0; i < 4; ++i) state[4 + i] = s.window_heat_target[i];
  state[8] = s.wing_heat_set_on_ground;
  state[9] = s.airborne_latch;
  state[10] = s.captured_icing_1;
  state[11] = s.captured_icing_2;
  state[12] = system_::eng_inlet_valve[0];
  state[13] = system_::eng_inlet_valve[1];
  state[14] = system_::wing_anti_ice_valve[0];
  state[15] = system_::wing_anti_ice_valve[1];
  state[16] = s.wing_ground_gate_left;
  state[17] = s.wing_ground_gate_right;
  state[18] = cockpit::flap_indicator[0];
  state[19] = cockpit::flap_indicator[1];

  switches_[0] = ice::eng1_heat_pos;
  switches_[1] = ice::eng2_heat_pos;
  switches_[2] = ice::wing_heat_pos;
  switches_[3] = ice::window_heat_l_side_pos;
  switches_[4] = ice::window_heat_l_fwd_pos;
  switches_[5] = ice::window_heat_r_side_pos;
  switches_[6] = ice::window_heat_r_fwd_pos;
  switches_[7] = static_cast<float>(hm.sim_cockpit2_engine_actuators_fadec_on[0]);
  switches_[8] = static_cast<float>(hm.sim_cockpit2_engine_actuators_fadec_on[1]);
  switches_[9] = toggle_switch::emer_exit_lights;
  switches_[10] = engine::mixture_ratio1;
  switches_[11] = engine::mixture_ratio2;
}

void save_anti_ice_state() {
  float state[kAntiIceArraySize];
  float switches_[kAntiIceArraySize];
  build_anti_ice_images(state, switches_);
  script_set_vf(bound::zuvadud_D738_antiice, state, kAntiIceArraySize);
  script_set_vf(bound::zuvadud_D738_antiice_sw, switches_, kAntiIceArraySize);
}

void restore_anti_ice_state() {
  AntiIceState& s = anti_ice_state;
  // Where each saved value can stand; slots the scripts did not deliver, or
  // that hold a value beyond their travel, keep their current value.
  const RestoredSlot state_slots[] = {
      {0, &ice::l_side_temp},
      {1, &ice::l_fwd_temp},
      {2, &ice::r_side_temp},
      {3, &ice::r_fwd_temp},
      {4, &s.window_heat_target[0]},
      {5, &s.window_heat_target[1]},
      {6, &s.window_heat_target[2]},
      {7, &s.window_heat_target[3]},
      {8, &s.wing_heat_set_on_ground},
      {9, &s.airborne_latch},
      {10, &s.captured_icing_1},
      {11, &s.captured_icing_2},
      {12, &system_::eng_inlet_valve[0]},
      {13, &system_::eng_inlet_valve[1]},
      {14, &system_::wing_anti_ice_valve[0]},
      {15, &system_::wing_anti_ice_valve[1]},
      {16, &s.wing_ground_gate_left},
      {17, &s.wing_ground_gate_right},
      {18, &cockpit::flap_indicator[0]},
      {19, &cockpit::flap_indicator[1]},
  };
  restore_slots(bound::zuvadud_D738_antiice, kAntiIceArraySize, state_slots, saved_travel::kAntiice);

  // The switches; the FADEC switches are the host's; the start levers cut
  // an engine off or let it run as they stand, so only CUTOFF and IDLE come
  // back.
  float fadec[2] = {static_cast<float>(hm.sim_cockpit2_engine_actuators_fadec_on[0]),
                    static_cast<float>(hm.sim_cockpit2_engine_actuators_fadec_on[1])};
  const RestoredSlot switch_slots[] = {
      {0, &ice::eng1_heat_pos},
      {1, &ice::eng2_heat_pos},
      {2, &ice::wing_heat_pos},
      {3, &ice::window_heat_l_side_pos},
      {4, &ice::window_heat_l_fwd_pos},
      {5, &ice::window_heat_r_side_pos},
      {6, &ice::window_heat_r_fwd_pos},
      {7, &fadec[0]},
      {8, &fadec[1]},
      {9, &toggle_switch::emer_exit_lights},
      {10, &engine::mixture_ratio1},
      {11, &engine::mixture_ratio2},
  };
  restore_slots(bound::zuvadud_D738_antiice_sw, kAntiIceArraySize, switch_slots, saved_travel::kAntiiceSw);
  int32_t* host_fadec = hm.sim_cockpit2_engine_actuators_fadec_on;
  host_fadec[0] = trunc_to_i32(fadec[0]);
  host_fadec[1] = trunc_to_i32(fadec[1]);
  host_send_vi(bound::sim_cockpit2_engine_actuators_fadec_on, host_fadec, 2);
}
