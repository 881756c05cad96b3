// Start-up cockpit state: the first-frame block after a load, the switch set
// of each start-up state, the per-flight random values and the switch memory.
//
// Host values read: start-up preference, outside air temperatures, gear
// handle, tank fuel, throttles, icing, flap and slat ratios, barometer, brake
// ratios, elevator trim. Host values written: cross tie, beacon, landing
// lights, avionics, transponder, APU generator, APU bleed failure, ADF power,
// cabin rate and values, trim time, pressurisation override, generic lights.
// The scripts' failure arrays are written back cleared, unless a situation
// is being restored.
#include "aircraft/startup_state.h"

#include <cmath>

#include "alerting/alerting_steps.h"
#include "alerting/aural_cues.h"
#include "alerting/failure_state.h"
#include "core/failure_tables.h"
#include "alerting/tcas.h"
#include "alerting/tcas_values.h"
#include "core/command_refs.h"
#include "commands/command_settings.h"
#include "core/binding.h"
#include "core/frame_values.h"
#include "core/host_io.h"
#include "core/pitch_trim.h"
#include "systems/flight_controls/elec_trim_state.h"
#include "core/preprocess_values.h"
#include "core/units.h"
#include "core/util.h"
#include "core/variant.h"
#include "engines/engine_eicas.h"
#include "engines/engine_state.h"
#include "engines/engine_steps.h"
#include "engines/engine_values.h"
#include "lnav/route/sequencing.h"
#include "navdata/air_data.h"
#include "publication/switch_writers.h"
#include "systems/air/air_values.h"
#include "systems/annunciators/annunciator_values.h"
#include "systems/annunciators/annunciators.h"
#include "systems/ice_rain/anti_ice.h"
#include "systems/apu_start/apu.h"
#include "systems/apu_start/apu_start_state.h"
#include "systems/apu_start/engine_start_switching.h"
#include "systems/gear_brakes/autobrake_state.h"
#include "systems/gear_brakes/brakes.h"
#include "systems/lights/cabin_light_values.h"
#include "systems/lights/cabin_lights.h"
#include "systems/instruments/clock_values.h"
#include "systems/instruments/clocks.h"
#include "systems/electrical/electric_values.h"
#include "systems/fire/fire.h"
#include "systems/fire/fire_values.h"
#include "systems/flight_controls/flight_control_values.h"
#include "systems/flight_controls/speedbrake_lever.h"
#include "systems/fuel/fuel_pump_lights.h"
#include "systems/fuel/fuel_values.h"
#include "systems/hydraulics/hydraulic_values.h"
#include "systems/ice_rain/ice_values.h"
#include "systems/instruments/instrument_values.h"
#include "systems/lights/lights.h"
#include "systems/radios/mic_select.h"
#include "systems/radios/transponder_code.h"
#include "systems/air/pressurisation.h"
#include "systems/switches/switch_memory.h"
#include "systems/aircraft_systems.h"
#include "systems/switches/switch_targets.h"
#include "systems/switches/switch_values.h"
#include "systems/system_state.h"
#include "systems/systems_steps.h"

namespace {

// Fuel indication thresholds, kg: where the latches set in flight (the
// lower figures of the fuel step only keep a latch already set).
constexpr float kLowTankKg = 453.0f;
constexpr float kImbalanceKg = 453.0f;
constexpr float kCentreFuelKg = 762.0f;

float oat_le_degc() { return host_mirror.sim_cockpit2_temperature_outside_air_LE_temp_degc; }

// The larger of v and floor_value; a NaN reads as the floor.
float at_least(float v, float floor_value) { return v >= floor_value ? v : floor_value; }

// The host's start-up preference sets a cockpit up for the ramp; a load that
// finds the aircraft in the air or its engines running (the host's own
// situation, a model changed in flight) takes the cockpit as running instead,
// from the host's state, so that nothing flying is shut down.
int32_t startup_mode() {
  return load_finds_aircraft_alive() ? 1 : host_mirror.sim_operation_prefs_startup_running;
}

StartupState current_state() {
  return startup_state_for(startup_mode(), script_mirror.zuvadud_D738_fms_engine_no_running_state);
}

// The transponder knob where the host's mode puts it.
float transponder_knob_from_host() {
  return transponder_knob_for_host_mode(knob::transponder_pos,
                                        host_mirror.sim_cockpit2_radios_actuators_transponder_mode, host_version);
}

// A running engine's start switch at CONT where the host's igniters show it
// selected and OFF would not select them. Where OFF would too (flaps out,
// engine anti-ice on) the igniters tell the two apart no more: a switch
// this module already had at CONT stays there, any other takes OFF, the
// igniters the same either way. Anything else is OFF: the engines run, so
// no start is under way.
float start_switch_from_host(int e, float now) {
  const bool key = host_mirror.sim_cockpit2_engine_actuators_ignition_key[e] != 0;
  const bool running = host_mirror.sim_flightmodel_engine_ENGN_running[e] != 0;
  if (!key || !running) return 1.0f;
  const float heat = e == 0 ? ice::eng1_heat_pos : ice::eng2_heat_pos;
  return (now == 2.0f || !off_selects_igniters(heat)) ? 2.0f : 1.0f;
}

// A plain load into a flying aircraft, or one whose engines run: the
// cockpit's controls are taken from the host's own state. A restored
// situation brings its own.
bool cockpit_from_host() { return load_finds_aircraft_alive() && situation_loaded == 0.0f; }

// The centre pumps the automatic shut-off held off when the load came: the
// host shows them off, but their switches stand ON (the first-frame reset
// frees them once the tank holds fuel again).
bool centre_auto_off_at_load[2] = {};

void set_all(float* const* values, int count, float v) {
  for (int i = 0; i < count; ++i) *values[i] = v;
}

// ---- first-frame block steps ----

void draw_engine_indication_offsets() {
  egt_offset[0] = random_range(0.0f, 40.0f) - 20.0f;
  egt_offset[1] = random_range(0.0f, 40.0f) - 20.0f;
}

void init_thrust_levers() { reset_thrust_lever_state(); }

void init_anti_ice(StartupState state) {
  AntiIceState& a = anti_ice_state;
  for (float& t : a.window_heat_target) t = 0.0f;
  // In the air the anti-ice stays as it is, or as the host heats: switched
  // off in icing it would let ice build on a flying aircraft.
  const bool aloft = on_ground == 0;
  const int32_t* inlet = host_mirror.sim_cockpit2_ice_ice_inlet_heat_on_per_engine;
  ice::eng1_heat_pos = aloft && (ice::eng1_heat_pos == 1.0f || inlet[0] != 0) ? 1.0f : 0.0f;
  ice::eng2_heat_pos = aloft && (ice::eng2_heat_pos == 1.0f || inlet[1] != 0) ? 1.0f : 0.0f;
  // The host's wing heat stands for an open wing valve.
  const bool wing_host_l = host_mirror.sim_cockpit2_ice_ice_surfce_heat_left_on != 0;
  const bool wing_host_r = host_mirror.sim_cockpit2_ice_ice_surfce_heat_right_on != 0;
  ice::wing_heat_pos = aloft && (ice::wing_heat_pos == 1.0f || wing_host_l || wing_host_r) ? 1.0f : 0.0f;
  if (aloft && wing_host_l) system_::wing_anti_ice_valve[0] = 1.0f;
  if (aloft && wing_host_r) system_::wing_anti_ice_valve[1] = 1.0f;
  float* const temps[] = {&ice::l_side_temp, &ice::l_fwd_temp, &ice::r_side_temp, &ice::r_fwd_temp};
  float* const switches_[] = {&ice::window_heat_l_side_pos, &ice::window_heat_l_fwd_pos, &ice::window_heat_r_side_pos,
                              &ice::window_heat_r_fwd_pos};
  if (state == StartupState::cold_and_dark) {
    set_all(temps, 4, at_least(oat_le_degc(), 1.0f));
    set_all(switches_, 4, 0.0f);
  } else {
    set_all(switches_, 4, 1.0f);
    set_all(temps, 4, 20.0f);
  }
  a.wing_heat_set_on_ground = 0.0f;
  a.airborne_latch = 0.0f;
  a.wing_ground_cycle_closed_left = 0;
  a.wing_ground_cycle_closed_right = 0;
  a.wing_ground_cycle_timer_left = 0.0f;
  a.wing_ground_cycle_timer_right = 0.0f;
  a.wing_ground_gate_left = 1.0f;
  a.wing_ground_gate_right = 1.0f;
  a.captured_icing_1 = host_mirror.sim_flightmodel_failures_frm_ice;
  a.captured_icing_2 = host_mirror.sim_flightmodel_failures_frm_ice2;
  ice::monster_icing = 0.0f;
  if (aloft) return;
  for (float& v : system_::eng_inlet_valve) v = 0.0f;
  for (float& v : system_::wing_anti_ice_valve) v = 0.0f;
}

void init_clock_displays() {
  clock_::chrono_display_mode_capt = 2.0f;
  clock_::chrono_display_mode_fo = 2.0f;
  clock_::clock_display_mode_capt = 1.0f;
  clock_::clock_display_mode_fo = 3.0f;
}

void init_clocks() {
  const float mode = static_cast<float>(chrono_mode_setting);
  clock_::captain_chrono_mode = mode;
  clock_::fo_chrono_mode = mode;
  clock_::captain_et_mode = mode;
  clock_::fo_et_mode = mode;
  init_clock_displays();
  clock_::captain_et = 0.0f;
  clock_::fo_et = 0.0f;
  clock_state.chrono_brightness_capt = 0.5f;
  clock_state.chrono_brightness_fo = 0.5f;
}

void init_fire() {
  fire::engine01_02L_ext_bottle_psi = 600.0f;
  fire::engine01_02R_ext_bottle_psi = 600.0f;
  fire::apu_ext_bottle_psi = 600.0f;
  fire::apu_was_fire = 0.0f;
  for (float& v : fire_state.agent_delivered) v = 0.0f;
  for (float& v : fire_state.bottle_fired) v = 0.0f;
  for (float& v : fire_state.engine_fire_timer) v = 0.0f;
}

// Battery 1 stays off and its guard closed only in the cold and dark state.
void battery_decision(StartupState state) {
  const bool cold = state == StartupState::cold_and_dark;
  const float guard = cold ? 1.0f : 0.0f;
  int32_t* battery = host_mirror.sim_cockpit2_electrical_battery_on;
  cover_target[kBatteryCover] = guard;
  button_switch::cover_position[kBatteryCover] = guard;
  battery[1] = cold ? 0 : 1;
  electric::battery_pos = cold ? 0.0f : 1.0f;
  cover_target[kEmerExitCover] = guard;
  button_switch::cover_position[kEmerExitCover] = guard;
  toggle_switch::emer_exit_lights = cold ? 0.0f : 1.0f;
}

void zero_eyeball_vents() {
  air::capt_eyeball_vent_x_pos = 0.0f;
  air::capt_eyeball_vent_y_pos = 0.0f;
  air::fo_eyeball_vent_x_pos = 0.0f;
  air::fo_eyeball_vent_y_pos = 0.0f;
  air::jump_eyeball_vent_x_pos = 0.0f;
  air::jump_eyeball_vent_y_pos = 0.0f;
}

void init_battery_and_cabin(StartupState state) {
  elec_bus_state.start_value = 0.0f;
  host_mirror.sim_cockpit2_electrical_battery_on[0] = 1;
  host_mirror.sim_cockpit2_electrical_battery_on[2] = 1;
  electric::standby_bat_pos = 1.0f;
  switches::nose_steer_pos = 1.0f;
  battery_decision(state);
  zero_eyeball_vents();
  lights_state.light_power_factor_a = 1.0f;
  lights_state.light_power_factor_b = 1.0f;
  lights_state.light_power_gap_a = 0.0f;
  lights_state.light_power_gap_b = 0.0f;
}

void init_lights() { reset_lights_on_load(); }

void init_cabin_lighting() {
  using namespace tarv_cabin;
  const int32_t family = trunc_to_i32(model_family);
  if (family == 0 || family == 2) {
    pax_light_scene[0] = 1.0f;
    pax_light_scene[1] = 1.0f;
    pax_light_scene[2] = 1.0f;
    pax_light_scene[3] = 5.0f;
  } else {
    float* const ones[] = {&lightsA, &lightsB, &lightsC, &lightsD, &lightsF, &lightsH, &lightsI, &lightsJ,
                           &lightsK, &lightsL, &lightsM, &lightsO, &lightsQ, &lightsR, &lightsV, &lightsX,
                           &lightsZ, &lightsZZ};
    set_all(ones, static_cast<int>(sizeof ones / sizeof ones[0]), 1.0f);
    lightsE = 3.0f;
    lightsG = 0.0f;
    lightsN = 3.0f;
    lightP = 0.0f;
    lightY = 0.0f;
  }
  lightsW = 3.0f;
  lightsU = 1.0f;
  lightsT = 1.0f;
  lightsS = 1.0f;
  tarx_cabin::set_pax_lighting = static_cast<float>(pax_lighting_setting);
  set_entry_lighting = static_cast<float>(entry_lighting_setting);
}

// The sequencer's memory of the last flight would otherwise read as a fix
// passed or a phase step on the new flight's first hold, or as a long turn
// already half flown.
void clear_sequencing_memory() {
  prev_hold_phase = 0.0f;
  hold_seq_latch = 0;
  long_arc_half_slot = -1;
}

// A new flight starts without failures; entry 69 of each table is not the
// start-up's to clear. A restored situation keeps the failures the scripts
// saved with it: their tables are theirs to give back.
void clear_failures() {
  engine_damage_timers[0] = 0.0f;
  engine_damage_timers[1] = 0.0f;
  engine_damage_flags[0] = 0;
  engine_damage_flags[1] = 0;
  if (situation_loaded != 0.0f) return;
  struct Table {
    float* entries;
    bound::Id id;
  };
  const Table tables[] = {
      {failure_tables.electric, bound::zuvadud_D738_failure_electric},
      {failure_tables.hydraulic, bound::zuvadud_D738_failure_hydraulic},
      {failure_tables.system, bound::zuvadud_D738_failure_system},
      {failure_tables.pressurisation, bound::zuvadud_D738_failure_pressurisation},
      {failure_tables.engine, bound::zuvadud_D738_failure_engine},
  };
  for (const Table& t : tables) {
    for (int i = 0; i < kFailureEntriesExchanged - 1; ++i) t.entries[i] = 0.0f;
  }
  for (const Table& t : tables) script_set_vf(t.id, t.entries, kFailureEntriesExchanged);
}

// ---- apply_startup_state parts ----

void draw_per_flight_values() {
  PerFlightValues& p = per_flight_values;
  p.apu_bleed_capability_psi = random_fraction() + 45.0f;
  p.second = random_fraction() + 45.0f;
  const float offset = 4.0f * random_fraction() - 2.0f;
  p.third = p.second + offset;
  for (float& f : p.ac_freq_hz) f = 10.0f * random_fraction() + 395.0f;
  for (float& v : p.ac_volt_v) v = 6.0f * random_fraction() + 112.0f;
}

void mode_block(StartupState state) {
  const bool cold = state == StartupState::cold_and_dark;
  const bool running = state == StartupState::engines_running;
  const float run = running ? 1.0f : 0.0f;

  if (!running) {
    host_mirror.sim_cockpit2_switches_electric_hydraulic_pump_on = 0;
    host_mirror.sim_cockpit2_switches_electric_hydraulic_pump2_on = 0;
    issue_command_once(HostCmd::flight_controls_hydraulic_on);
  }
  spring_toggle_switch::APU_start_pos = 0.0f;
  // A load into a flying aircraft takes its APU from the host as it takes
  // the engines: one running keeps running.
  if (load_finds_aircraft_alive()) keep_running_apu_after_load();
  int32_t* host_pumps = host_mirror.sim_cockpit2_fuel_fuel_tank_pump_on;
  const int32_t pumps_before[3] = {host_pumps[0], host_pumps[1], host_pumps[2]};
  for (int i = 0; i < 3; ++i) host_pumps[i] = running ? 1 : 0;
  toggle_switch::hydro_pumps1_pos = 1.0f;
  toggle_switch::hydro_pumps2_pos = 1.0f;
  toggle_switch::electric_hydro_pumps1_pos = cold ? 0.0f : 1.0f;
  toggle_switch::electric_hydro_pumps2_pos = cold ? 0.0f : 1.0f;
  host_mirror.sim_cockpit2_electrical_cross_tie = 1;
  host_send_i(bound::sim_cockpit2_electrical_cross_tie, 1);
  one_way_switch::pax_oxy_pos = 0.0f;
  one_way_switch::drive_disconnect1_pos = 0.0f;
  one_way_switch::drive_disconnect2_pos = 0.0f;
  host_mirror.sim_cockpit2_electrical_APU_generator_on = 0;
  toggle_switch::bleed_air_1_pos = 1.0f;
  toggle_switch::bleed_air_2_pos = 1.0f;
  toggle_switch::bleed_air_apu_pos = 0.0f;
  toggle_switch::position_light_pos = running ? -1.0f : 0.0f;
  host_mirror.sim_cockpit2_switches_beacon_on = running ? 1 : 0;
  host_send_i(bound::sim_cockpit2_switches_beacon_on, running ? 1 : 0);
  // In the air the landing lights stay as the host has them, their
  // switches with them.
  if (running && on_ground != 0) {
    for (int i = 0; i < 4; ++i) host_mirror.sim_cockpit2_switches_landing_lights_switch[i] = 0.0f;
    host_send_vf(bound::sim_cockpit2_switches_landing_lights_switch,
                 host_mirror.sim_cockpit2_switches_landing_lights_switch, 4);
  } else if (on_ground == 0 && situation_loaded == 0.0f) {
    take_landing_switches_from_host();
  }
  host_mirror.sim_cockpit2_switches_avionics_power_on = 1;
  host_send_i(bound::sim_cockpit2_switches_avionics_power_on, 1);
  // A flying aircraft keeps talking to ATC and to the traffic around it.
  const bool from_host = cockpit_from_host();
  knob::transponder_pos = from_host ? transponder_knob_from_host() : 1.0f;
  const int32_t xpdr_mode = host_transponder_mode(knob::transponder_pos, false, host_version);
  host_mirror.sim_cockpit2_radios_actuators_transponder_mode = xpdr_mode;
  host_send_i(bound::sim_cockpit2_radios_actuators_transponder_mode, xpdr_mode);
  host_mirror.sim_cockpit2_switches_yaw_damper_on = running ? 1 : 0;
  toggle_switch::yaw_dumper_pos = run;
  yaw_damper_switch_state = run;
  engine::starter1_pos = from_host ? start_switch_from_host(0, engine::starter1_pos) : 1.0f;
  engine::starter2_pos = from_host ? start_switch_from_host(1, engine::starter2_pos) : 1.0f;
  engine::starter1_pos2 = engine::starter1_pos == 1.0f ? 1.0f : 0.0f;
  engine::starter2_pos2 = engine::starter2_pos == 1.0f ? 1.0f : 0.0f;
  controls::gear_handle_down = host_mirror.sim_cockpit_switches_gear_handle_status == 1 ? 1.0f : 0.5f;
  // A lever placed DOWN counts as selected DOWN, as after the lever was
  // moved there; otherwise the gear logic takes it for a lever never put
  // down and raises the legs after lift-off with the lever still DOWN.
  lever_commands.gear_down_selected = controls::gear_handle_down == 1.0f ? 1.0f : 0.0f;
  lever_commands.gear_up_command = 1.0f;
  // The shorter models and the generic 737 file have no left recirculation fan.
  air::l_recirc_fan_pos = (model_family > 1.0f || variant_index == 2 || variant_index == 3) ? 0.0f : 1.0f;
  air::r_recirc_fan_pos = 1.0f;
  air::trim_air_pos = run;
  air::l_pack_pos = cold ? 0.0f : 1.0f;
  air::r_pack_pos = cold ? 0.0f : 1.0f;
  air::isolation_valve_pos = cold ? 2.0f : 1.0f;
  if (!cold) air::isolation_bleed_valve_pos = running ? 0.0f : 1.0f;
  toggle_switch::capt_probes_pos = run;
  toggle_switch::fo_probes_pos = run;
  float* const pump_switches[] = {&fuel::fuel_tank_pos_lft1, &fuel::fuel_tank_pos_lft2, &fuel::fuel_tank_pos_ctr1,
                                  &fuel::fuel_tank_pos_ctr2, &fuel::fuel_tank_pos_rgt1, &fuel::fuel_tank_pos_rgt2};
  set_all(pump_switches, 6, cold ? 0.0f : 1.0f);
  // A flying aircraft's pumps as the host runs them for each tank: a tank
  // whose pumps are off (an empty centre tank) keeps them off.
  if (from_host) {
    for (int i = 0; i < 6; ++i) {
      const bool held_off = i / 2 == 1 && centre_auto_off_at_load[i - 2];
      const bool on = pumps_before[i / 2] != 0 || held_off;  // left, centre, right: two pumps each
      *pump_switches[i] = on ? 1.0f : 0.0f;
      host_pumps[i / 2] = on ? 1 : 0;
    }
  }
  float* const tank_status[] = {&engine::tank_l1_status,     &engine::tank_l2_status,      &engine::tank_r1_status,
                                &engine::tank_r2_status,     &engine::tank_c1_status,      &engine::tank_c2_status,
                                &engine::tank_l_driven_status, &engine::tank_r_driven_status};
  set_all(tank_status, 8, run);
  engine::fuel_selector_l = 1.0f;
  engine::fuel_selector_r = 1.0f;
  float* cabin = cabin_temperatures.values_degc;
  if (running) {
    const float warm[7] = {25.0f, 27.0f, 26.0f, 28.0f, 27.0f, 27.0f, 28.0f};
    for (int i = 0; i < 7; ++i) cabin[i] = warm[i];
    hydraulic::standby_pressure = 2700.0f;
    hydraulic::A_pressure = 2700.0f;
    hydraulic::B_pressure = 2700.0f;
    hydraulic::A_rudder = 1.0f;
    hydraulic::B_rudder = 1.0f;
    switches::flt_ctr_A_pos = 1.0f;
    switches::flt_ctr_B_pos = 1.0f;
  } else {
    // A cold aircraft's cabin and ducts stand at the outside air's
    // temperature, hot day or cold, within the range the zones are kept in.
    const float outside = clamp_range(oat_le_degc(), -30.0f, 60.0f);
    for (int i = 0; i < 7; ++i) cabin[i] = outside;
    hydraulic::standby_pressure = 0.0f;
    hydraulic::pressure = 0.0f;
  }
  hydraulic::standby_status = run;
  hydraulic::A_status = run;
  hydraulic::B_status = run;
  systems::mach_test_enable = 1.0f;
  travel_targets.flt_dk_door = running ? 0.0f : 1.0f;
  door::flt_dk_door_ratio = running ? 0.0f : 1.0f;
  travel_targets.capt_window = 0.0f;
  travel_targets.fo_window = 0.0f;
  door::capt_window_ratio = 0.0f;
  door::fo_window_ratio = 0.0f;
  elec_bus_state.capt_displays_ready = run;
  elec_bus_state.fo_displays_ready = run;
  elec_bus_state.isfd_ready = run;
  elec_bus_state.isfd_countdown = running ? 0.0f : 96.0f;
  elec_bus_state.flags[0] = running ? 0.0f : 1.0f;
  elec_bus_state.flags[1] = running ? 0.0f : 1.0f;
  elec_bus_state.more_flags[0] = 0.0f;
  elec_bus_state.more_flags[1] = 0.0f;
}

// The parking brake lever as the host's brake ratio shows it. That ratio is
// also the plug-in's own brake channel (autobrake, gear retraction, toe
// brakes), which holds values between: only a ratio held full is a set lever,
// anything less a released one.
float parking_lever_from_host() {
  return host_mirror.sim_cockpit2_controls_parking_brake_ratio >= 0.99f ? 1.0f : 0.0f;
}

void common_fuel_and_brakes() {
  systems_memory.fuel_press[0] = system_::fuel_press_c1;
  systems_memory.fuel_press[1] = system_::fuel_press_c2;
  cockpit::parking_brake_pos = parking_lever_from_host();
  lever_commands.park_brake_engaged = cockpit::parking_brake_pos;
  hydraulic_step_state.yd_irs_seen[0] = script_mirror.zuvadud_D738_toggle_switch_irs_left;
  hydraulic_step_state.yd_irs_seen[1] = script_mirror.zuvadud_D738_toggle_switch_irs_right;
  for (float& v : hydraulic_step_state.values) v = 0.0f;

  toggle_switch::eng_start_source = 1.0f;
  air::cont_cab_temp_rheostat = 0.5f;
  air::fwd_cab_temp_rheostat = 0.5f;
  air::aft_cab_temp_rheostat = 0.5f;
  air::cont_cab_temp_rheostat_700 = 0.5f;
  air::pass_cab_temp_rheostat_700 = 0.5f;
  air::temp_ctrl_700 = 0.0f;
  air::mix_valve1_700 = 0.0f;
  air::mix_valve2_700 = 0.0f;
  host_send_i(bound::sim_operation_failures_rel_APU_press, 0);

  toggle_switch::spd_ref_adjust = 100.0f;
  electrical::apu_gen1_pos = 0.0f;
  electrical::apu_gen2_pos = 0.0f;
  autobrake::autobrake_pos = autobrake_pos_value(AutobrakePos::off);
  autobrake::autobrake_RTO_test = 0.0f;
  autobrake::autobrake_RTO_arm = 0.0f;
  autobrake::autobrake_arm = 0.0f;
  autobrake::autobrake_disarm = 0.0f;
  brake_state.autobrake_crew_disarm = 0.0f;
  rto_speedbrake_stow_request = 0.0f;
  autobrake_brake_value = 0.0f;
  rto_test_result = 0.0f;

  systems::brake_temp_l_out = 0.14f;
  systems::brake_temp_r_out = 0.14f;
  systems::brake_temp_l_in = 0.14f;
  systems::brake_temp_r_in = 0.14f;
  systems::brake_temp_left_out = 0.1f;
  systems::brake_temp_left_in = 0.1f;
  systems::brake_temp_right_out = 0.1f;
  systems::brake_temp_right_in = 0.1f;

  toggle_switch::air_temp_source = 1.0f;
  for (int i = 0; i < 18; ++i) EFIS::tcas_ai_show[i] = 1.0f;
  TCAS::test2 = 1.0f;
  electrical::apu_power_bus1 = 0.0f;
  electrical::apu_power_bus2 = 0.0f;
  if (apu_start_values.saved_apu == 0.0f && host_mirror.sim_cockpit2_electrical_APU_generator_on != 0) {
    host_mirror.sim_cockpit2_electrical_APU_generator_on = 0;
    host_send_i(bound::sim_cockpit2_electrical_APU_generator_on, 0);
  }
}

void common_fuel_indications() {
  const float left_kg = host_mirror.sim_flightmodel_weight_m_fuel[0];
  const float centre_kg = host_mirror.sim_flightmodel_weight_m_fuel[1];
  const float right_kg = host_mirror.sim_flightmodel_weight_m_fuel[2];
  fuel_indications.fuel_load_frames = 0.0f;
  fuel_indications.low_latch_left = left_kg < kLowTankKg ? 1.0f : 0.0f;
  fuel_indications.low_latch_right = right_kg < kLowTankKg ? 1.0f : 0.0f;
  fuel_indications.imbalance_latch = std::fabs(left_kg - right_kg) > kImbalanceKg ? 1.0f : 0.0f;
  fuel_indications.config_latch =
      (centre_kg > kCentreFuelKg && host_mirror.sim_cockpit2_fuel_fuel_tank_pump_on[1] == 0) ? 1.0f : 0.0f;
}

void common_guards_and_brake_pressure(StartupState state) {
  alert::below_gs_disable = 0.0f;
  alert::alt_horn_cut_disable = 0.0f;
  pfd::vspeed_man_v1 = 80.0f;
  pfd::vspeed_man_vr = 80.0f;
  pfd::vspeed_man_vref = 80.0f;

  float* const targets[] = {&flt_ctr_A_cover_target, &flt_ctr_B_cover_target, &spoiler_A_cover_target,
                            &spoiler_B_cover_target, &alt_flaps_cover_target, &gpws_flap_cover_target,
                            &gpws_gear_cover_target, &gpws_terr_cover_target, &gpws_xraas_cover_target,
                            &fdr_cover_target,       &man_gear_cover_target};
  set_all(targets, static_cast<int>(sizeof targets / sizeof targets[0]), 0.0f);
  // A new flight starts with every guard closed, the stabiliser trim
  // cutouts and their override at NORMAL among them; only the battery and
  // emergency exit guards keep what the start-up state gave them.
  const float battery_guard = cover_target[kBatteryCover];
  const float exit_guard = cover_target[kEmerExitCover];
  close_every_guard();
  button_switch::cover_position[kBatteryCover] = cover_target[kBatteryCover] = battery_guard;
  button_switch::cover_position[kEmerExitCover] = cover_target[kEmerExitCover] = exit_guard;
  toggle_switch::gpws_flap_pos = 0.0f;
  toggle_switch::gpws_gear_pos = 0.0f;
  toggle_switch::gpws_terr_pos = 0.0f;
  toggle_switch::gpws_xraas_pos = 0.0f;
  cockpit::xraas_installed = 0.0f;
  for (float& v : systems_memory.minus_one) v = -1.0f;

  brake::brake_press = 3120.0f;
  systems_memory.brake_press_psi = 3120.0f;
  if (state == StartupState::cold_and_dark || state == StartupState::engines_running) {
    const float oat = oat_le_degc();
    brake::brake_press = startup_brake_pressure_psi(oat);
    if (oat < -50.0f || oat > 75.0f) systems_memory.brake_press_psi = brake::brake_press;
  }

  cockpit::zone_temp = 80.0f;
  switches::flt_ctr_A_pos = 1.0f;
  switches::flt_ctr_B_pos = 1.0f;
  systems_memory.display_values[0] = host_mirror.sim_cockpit2_controls_left_brake_ratio;
  systems_memory.display_values[1] = host_mirror.sim_cockpit2_controls_right_brake_ratio;
  systems_memory.display_values[2] = 0.0f;
  systems_memory.display_values[3] = 0.0f;
  EFIS::tfc_show_fo = 0.0f;
  EFIS::ta_only_show_fo = 0.0f;
  EFIS::tcas_test_show_fo = 0.0f;
  EFIS::tcas_off_show_fo = 0.0f;
  cockpit::fuel_flow_used_show = 0.0f;
  // Parked, the valve stands open: shut, the packs of a start with engines
  // running would pressurise the cabin before the controller opens it.
  cockpit::outflow_valve = on_ground != 0 ? 1.0f : 0.0f;
  cockpit::ram_door1 = 0.0f;
  cockpit::ram_door2 = 0.0f;
}

void common_panels_and_instruments() {
  randomize_system_values();
  const int bright[] = {0, 1, 2, 3, 4, 5, 10, 11, 12, 20};
  for (int i : bright) electric::instrument_brightness[i] = 1.0f;
  for (int i = 24; i <= 26; ++i) electric::instrument_brightness[i] = 0.8f;
  cockpit::tcas_test_test = 0.0f;
  fmod_::flap_sound = 0.0f;
  gpws_msgs_reset();
  tcas_startup_reset();

  toggle_switch::adf_ant1 = 0.0f;
  toggle_switch::adf_ant2 = 0.0f;
  host_mirror.sim_cockpit2_radios_actuators_adf1_power = 2;
  host_send_i(bound::sim_cockpit2_radios_actuators_adf1_power, 2);
  host_mirror.sim_cockpit2_radios_actuators_adf2_power = 2;
  toggle_switch::off_on1 = 1.0f;
  toggle_switch::off_on2 = 1.0f;
  electric::panel_brightness[2] = 0.2f;
  electric::panel_brightness[3] = 0.2f;

  const float hpa = script_mirror.zuvadud_D738_fms_baro_in_hpa;
  gauges::standby_altimeter_baro = 29.92f;
  gauges::standby_alt_std_mode = 0.0f;
  gauges::standby_altitude_ft = 0.0f;
  gauges::standby_alt_mode = hpa;
  knobs::standby_alt_baro = hpa == 0.0f ? 29.92f : 1013.21f;
  systems::lost_hyd_B = 0.0f;
  const float speedbrake = host_mirror.sim_cockpit2_controls_speedbrake_ratio;
  if (cockpit_from_host()) {
    flt_ctrls::speedbrake_lever = speedbrake_lever_from_ratio(speedbrake);
  } else if (speedbrake == 0.0f) {
    flt_ctrls::speedbrake_lever = 0.0f;
  }
}

void common_flaps_trim_speedbrake() {
  systems_memory.flap_copies[0] = host_mirror.sim_cockpit2_controls_flap_handle_deploy_ratio;
  systems_memory.flap_copies[1] = host_mirror.sim_flightmodel2_controls_slat1_deploy_ratio;
  systems_memory.flap_copies[2] = host_mirror.sim_flightmodel2_controls_slat2_deploy_ratio;
  // The flap lever in the detent the host's handle asks for (failing that,
  // the one the flaps stand at): at 0 it would retract the flaps of a
  // flying aircraft.
  if (cockpit_from_host()) {
    float request = host_mirror.sim_cockpit2_controls_flap_ratio;
    float deployed = host_mirror.sim_cockpit2_controls_flap_handle_deploy_ratio;
    float& lever = flt_ctrls::flap_lever;
    if (take_restored_position(request, 0.0f, 1.0f, 0.125f)) {
      lever = request;
    } else if (take_restored_position(deployed, 0.0f, 1.0f, 0.125f)) {
      lever = deployed;
    }
    systems_frame.saved_flap_lever = lever;
  }
  for (float& v : tyre_burst_flags) v = 0.0f;
  host_mirror.sim_cockpit_pressure_cabin_vvi_set_m_msec = 500.0f;
  host_send_f(bound::sim_cockpit_pressure_cabin_vvi_set_m_msec, 500.0f);
  if (bound_present(bound::sim_cockpit2_controls_elevator_trim)) {
    host_mirror.sim_cockpit2_controls_elevator_trim = read_now_f(bound::sim_cockpit2_controls_elevator_trim);
  }
  const float elevator_trim = host_mirror.sim_cockpit2_controls_elevator_trim;
  trim_wheel_target = elevator_trim;
  trim_wheel_hold = elevator_trim;
  flt_ctrls::trim_wheel = elevator_trim;
  elec_trim_moved = 0;
  trim_wheel_slow_run = 0.0f;
  trim_wheel_fast_run = 0.0f;
  flt_ctrls::trim_wheel_quick = 0.0f;
  flt_ctrls::trim_wheel_slow = 0.0f;
  flt_ctrls::trim_wheel_quick_ap = 0.0f;
  flt_ctrls::trim_wheel_slow_ap = 0.0f;
  flt_ctrls::trim_wheel_man = 0.0f;
  host_mirror.sim_aircraft_controls_acf_elev_trim_time = 30;
  host_send_f(bound::sim_aircraft_controls_acf_elev_trim_time, 30.0f);
  systems_memory.trim_constants[0] = 42.75f;
  systems_memory.trim_constants[1] = 30.0f;

  systems_memory.speedbrake_state = 0.0f;
  for (float& v : systems_memory.speedbrake_working) v = 0.0f;
  flt_ctrls::speedbrake_lever_anim = 0.0f;
  forget_speedbrake_lever_writes();
  starter1_knob_target = engine::starter1_pos;
  starter2_knob_target = engine::starter2_pos;
  travel_targets.eng1_start_turn = engine::starter1_pos;
  travel_targets.eng2_start_turn = engine::starter2_pos;
  autobrake_knob_target = autobrake_pos_value(AutobrakePos::off);
  autobrake_knob_anim = autobrake_pos_value(AutobrakePos::off);
  host_mirror.sim_operation_override_override_pressurization = 1.0f;
  host_send_i(bound::sim_operation_override_override_pressurization, 1);
}

// The host's cabin as the start leaves it, still at rest.
void put_host_cabin(float cabin_alt, float diff_psi) {
  host_mirror.sim_cockpit_pressure_cabin_altitude_actual_m_msl = cabin_alt;
  host_mirror.sim_cockpit_pressure_cabin_pressure_differential_psi = diff_psi;
  host_mirror.sim_cockpit_pressure_cabin_vvi_actual_m_msec = 0.0f;
  host_send_f(bound::sim_cockpit_pressure_cabin_altitude_actual_m_msl, cabin_alt);
  host_send_f(bound::sim_cockpit_pressure_cabin_pressure_differential_psi, diff_psi);
  host_send_f(bound::sim_cockpit_pressure_cabin_vvi_actual_m_msec, 0.0f);
}

void publish_host_cabin() {
  cockpit::cabin_altitude_actual = host_mirror.sim_cockpit_pressure_cabin_altitude_actual_m_msl;
  cockpit::cabin_vvi = host_mirror.sim_cockpit_pressure_cabin_vvi_actual_m_msec;
  cockpit::cabin_pressure_diff = host_mirror.sim_cockpit_pressure_cabin_pressure_differential_psi;
}

void common_pressurisation(int32_t mode) {
  press_ctrl_clear_saved_state();
  cockpit::pressurization_mode2 = 0.0f;
  if (mode == 0 || (mode == 1 && on_ground != 0)) {
    const float static_psi = host_mirror.sim_weather_barometer_current_inhg * psi_per_inhg_7dp;
    cabin_from_aircraft_state(true, pressure_altitude_ft(static_psi));
  } else if (mode == 1) {
    cabin_from_aircraft_state(false, static_pressure_altitude_ft);
  } else {
    publish_host_cabin();
  }
}

void common_oxygen_effects_alerts() {
  system_::oxy_mask_capt = 0.0f;
  system_::oxy_mask_fo = 0.0f;
  host_mirror.sim_cockpit2_oxygen_indicators_pass_oxygenator_min_rem = 10.0f;
  cockpit::fuel_flow_used1 = 0.0f;
  cockpit::fuel_flow_used2 = 0.0f;
  effect::vortex = 1.0f;
  effect::vortex2 = 1.0f;
  switch_::capt_trim_pos = 0.515f;
  switch_::fo_trim_pos = 0.515f;
  switch_::el_trim_cfy = 0;

  silence_callouts();
  cue_alert::pfd_pull_up = cue_alert::pfd_windshear = 0.0f;
  system_::gpws_test_running = 0.0f;

  systems_memory.hyd_host_state_a = 9.0f;
  systems_memory.hyd_host_state_b = 9.0f;
  systems_memory.ninety_nine = 99.0f;
  engine::fuel_temp = oat_le_degc();
  engine::fuel_temp_real = oat_le_degc();
  cockpit::new_ = 0.0f;
  display::isfd_flags = 0.0f;
}

// Yaw damper on and a warm cabin wherever the aircraft comes up powered.
void powered_extras(int32_t mode, float option) {
  if (!((mode == 0 && option == 1.0f) || mode == 1)) return;
  host_mirror.sim_cockpit2_switches_yaw_damper_on = 1;
  toggle_switch::yaw_dumper_pos = 1.0f;
  yaw_damper_switch_state = 1.0f;
  systems::mach_test_enable = 1.0f;
  const float warm[5] = {25.0f, 27.0f, 26.0f, 28.0f, 27.0f};
  for (int i = 0; i < 5; ++i) cabin_temperatures.values_degc[i] = warm[i];
  const float outside = at_least(oat_le_degc(), 0.0f);
  cabin_temperatures.values_degc[5] = outside;
  cabin_temperatures.values_degc[6] = outside;
  issue_command_once(OwnCmd::toggle_switch_position_light_down);
}

void common_last() {
  cockpit::parking_brake_pos = parking_lever_from_host();
  lever_commands.park_brake_engaged = cockpit::parking_brake_pos;
  autoland::fail_status = 0.0f;
  autoland::fail_flag = 0.0f;
  const float oat = host_mirror.sim_cockpit2_temperature_outside_air_temp_degc;
  const float trip = oat >= 0.0f ? (oat < 40.0f ? oat : 40.0f) : 0.0f;
  systems_memory.bleed_temp_degc[0] = trip;
  systems_memory.bleed_temp_degc[1] = trip;
  display::nd_refresh = 0.0f;
  display::nd_refresh_fo = 0.0f;
}

}  // namespace

void cabin_from_aircraft_state(bool ground, float ambient_alt_ft) {
  if (ground) {
    // On the ground the cabin sits at the field's pressure altitude.
    put_host_cabin(ambient_alt_ft, 0.0f);
  } else {
    // In the air with the engines running: the cabin is where the schedule
    // holds it, whatever the host's own model left (an unpressurised cabin
    // at cruise would sit at the relief limit with AIR COND lit).
    // The differential never starts beyond the schedule's maximum for the
    // aircraft's altitude (above the highest FLT ALT the schedule knows),
    // so the controller finds nothing to call its fault, and the cabin's
    // altitude and differential agree.
    float cabin_alt =
        scheduled_cabin_alt_aloft(host_mirror.sim_cockpit_pressure_max_allowable_altitude, ambient_alt_ft);
    const float outside_psi = pressure_at_ft(ambient_alt_ft);
    const float scheduled_diff = pressure_at_ft(cabin_alt) - outside_psi;
    const float diff = clamp_range(scheduled_diff, -0.2f, max_cabin_diff_psi(ambient_alt_ft));
    if (diff != scheduled_diff) cabin_alt = pressure_altitude_ft(outside_psi + diff);
    put_host_cabin(cabin_alt, diff);
  }
  publish_host_cabin();
}

StartupState startup_state_for(int32_t mode, float option) {
  if (mode == 1) return StartupState::engines_running;
  if (mode != 0) return StartupState::none;
  return option == 0.0f ? StartupState::cold_and_dark : StartupState::powered;
}

float startup_brake_pressure_psi(float oat_degc) {
  if (oat_degc < -50.0f) return 2800.0f;
  if (oat_degc > 75.0f) return 3165.0f;
  if (!(oat_degc == oat_degc)) return 3120.0f;  // no temperature: the nominal charge
  return 2800.0f + (oat_degc + 50.0f) * 365.0f / 125.0f;
}

void apply_startup_state() {
  const int32_t mode = startup_mode();
  const float option = script_mirror.zuvadud_D738_fms_engine_no_running_state;
  const StartupState state = startup_state_for(mode, option);
  draw_per_flight_values();
  if (state != StartupState::none) mode_block(state);
  common_fuel_and_brakes();
  common_fuel_indications();
  common_guards_and_brake_pressure(state);
  common_panels_and_instruments();
  common_flaps_trim_speedbrake();
  common_pressurisation(mode);
  common_oxygen_effects_alerts();
  powered_extras(mode, option);
  common_last();
}

void reset_switch_memory() {
  float* generic = host_mirror.sim_cockpit2_switches_generic_lights_switch;
  generic[13] = 1.0f;
  generic[14] = 1.0f;
  host_send_vf(bound::sim_cockpit2_switches_generic_lights_switch, generic, 64);
  engine_running_memory = static_cast<float>(host_mirror.sim_flightmodel_engine_ENGN_running[0]);

  using namespace audio;
  float* const mics[] = {&capt_mic_button1, &capt_mic_button2, &capt_mic_button3, &capt_mic_button4,
                         &capt_mic_button5, &capt_mic_button6, &fo_mic_button1,   &fo_mic_button2,
                         &fo_mic_button3,   &fo_mic_button4,   &fo_mic_button5,   &fo_mic_button6,
                         &obs_mic_button1,  &obs_mic_button2,  &obs_mic_button3,  &obs_mic_button4,
                         &obs_mic_button5,  &obs_mic_button6};
  set_all(mics, 18, 0.0f);
  capt_mic_button1 = 1.0f;
  fo_mic_button2 = 1.0f;
  obs_mic_button6 = 1.0f;
  // The selection itself, not only the key positions: the transmitter the
  // host is given and the panels' mic lamps both follow it.
  constexpr int start_mic[seat_count] = {0, 1, 5};
  for (int seat = 0; seat < seat_count; ++seat) {
    for (int k = 0; k < mic_key_count; ++k) mic_select[seat][k] = k == start_mic[seat] ? 1.0f : 0.0f;
  }

  toggle_switch::emer_exit_lights = 1.0f;
  toggle_switch::elt = 0.0f;
  toggle_switch::vcr = 0.0f;
  engine::spar1_valve = 0.0f;
  engine::spar2_valve = 0.0f;
  engine::eng1_valve = 0.0f;
  engine::eng2_valve = 0.0f;
  cockpit::flap_indicator[0] = host_mirror.sim_flightmodel2_wing_flap2_deg[2];
  cockpit::flap_indicator[1] = host_mirror.sim_flightmodel2_wing_flap2_deg[3];
  float* const pressures[] = {&system_::fuel_press_l1, &system_::fuel_press_l2, &system_::fuel_press_c1,
                              &system_::fuel_press_c2, &system_::fuel_press_r1, &system_::fuel_press_r2};
  set_all(pressures, 6, 1.0f);
  annunciator_first_frame_reset();
}

void init_startup_switches() {
  battery_decision(current_state());
  host_mirror.sim_cockpit2_electrical_battery_on[2] = 1;
  electric::standby_bat_pos = 1.0f;
  switches::nose_steer_pos = 1.0f;
  zero_eyeball_vents();
}

void set_start_positions() {
  toggle_switch::spd_ref_adjust = 100.0f;
  init_clock_displays();
  autobrake::autobrake_pos = autobrake_pos_value(AutobrakePos::off);
  autobrake_knob_target = autobrake::autobrake_pos;
  autobrake_knob_anim = autobrake::autobrake_pos;
}

void first_frame_block() {
  const StartupState state = current_state();
  draw_engine_indication_offsets();
  init_engine_state();
  init_thrust_levers();
  init_light_spill();
  for (int c = 0; c < 2; ++c) centre_auto_off_at_load[c] = fuel_pump_lights.ctr_pump_auto_off[c] != 0;
  reset_switch_memory();
  forget_written_switches();
  init_anti_ice(state);
  ice_rain_take_host_ice();
  init_audio_panels();
  init_clocks();
  init_fire();
  init_battery_and_cabin(state);
  update_light_switches();
  init_lights();
  init_cabin_lighting();
  apply_startup_state();
  clear_sequencing_memory();
  clear_failures();
  flight_rating_first_frame();
}
