// Packed cockpit state arrays exchanged with the aircraft's scripts: the slot
// tables of "zuvadud/D738/system" and "system_sw", their save every frame and
// their restore on a loaded situation, and the glare-shield element.
//
// Host values written on restore: max allowable altitude, elevator trim, yaw
// damper, the cabin altitude, rate and differential, batteries, cross tie,
// APU running and generator, fuel pumps, engine running, mixture and N2.
#include "aircraft/state_arrays.h"

#include <cmath>
#include <cstdio>

#include "aircraft/startup_state.h"
#include "alerting/failure_state.h"
#include "core/binding.h"
#include "core/host_io.h"
#include "core/pitch_trim.h"
#include "core/restored_travel.h"
#include "core/saved_travels.h"
#include "core/units.h"
#include "core/util.h"
#include "systems/flight_controls/elec_trim_state.h"
#include "engines/engine_start.h"
#include "engines/engine_state.h"
#include "engines/engine_values.h"
#include "lnav/guidance_steps.h"
#include "navdata/air_data.h"
#include "systems/air/air_values.h"
#include "systems/apu_start/apu.h"
#include "systems/apu_start/apu_start_state.h"
#include "systems/gear_brakes/autobrake_state.h"
#include "systems/gear_brakes/gear.h"
#include "systems/delay_timers.h"
#include "systems/electrical/electric_values.h"
#include "systems/flight_controls/flight_control_values.h"
#include "systems/flight_controls/speedbrake_lever.h"
#include "systems/fuel/fuel_values.h"
#include "systems/instruments/instrument_values.h"
#include "systems/air/pressurisation.h"
#include "systems/switches/switch_memory.h"
#include "systems/switches/switch_targets.h"
#include "systems/switches/switch_values.h"
#include "systems/system_state.h"
#include "systems/systems_steps.h"

StateArrayBuffers state_buffers;
int32_t state_restore_drop_logged;

namespace {

// Where each restored value can stand is the slot's row of tools/travels.tsv
// (core/saved_travels.h): a control's travel, an internal value's physical
// range.

struct FloatSlot {
  int16_t slot;
  float* value;
};

// "zuvadud/D738/system": the slots that carry a float global as it is. The
// slots with more to them (pitch trim, yaw damper, flight director, the
// pressurisation integer) are handled in code below.
const FloatSlot kSystemFloats[] = {
    {0, &axis::flap_lever},
    {1, &systems_memory.flap_axis_last},
    {2, &autobrake::autobrake_pos2},
    {3, &autobrake_knob_target},
    {4, &autobrake_knob_anim},
    {5, &rto_speedbrake_stow_request},
    {6, &autobrake::autobrake_RTO_arm},
    {7, &autobrake::autobrake_RTO_test},
    {8, &autobrake::autobrake_disarm},
    {9, &autobrake_brake_value},
    {10, &rto_test_result},
    {11, &engine::starter1_pos2},
    {12, &starter1_knob_target},
    {13, &travel_targets.eng1_start_turn},
    {14, &engine::starter2_pos2},
    {15, &starter2_knob_target},
    {16, &travel_targets.eng2_start_turn},
    {17, &flt_ctrls::speedbrake_lever_anim},
    {18, &systems_memory.speedbrake_state},
    {19, &script_mirror.zuvadud_D738_switches_landing_gear},
    {20, &lever_commands.gear_down_selected},
    {21, &lever_commands.gear_up_command},
    {22, &host_mirror.sim_cockpit_pressure_max_allowable_altitude},
    {23, &pressurization::knobs_landing_alt},
    {24, press_ctrl_saved_value(0)},
    {25, press_ctrl_saved_value(1)},
    {26, press_ctrl_saved_value(2)},
    {27, &cockpit::pressurization_mode2},
    {28, &host_mirror.sim_cockpit2_controls_elevator_trim},
    {29, &flt_ctrls::trim_wheel},
    {31, &flt_ctr_A_cover_target},
    {32, &flt_ctr_B_cover_target},
    {33, &spoiler_A_cover_target},
    {34, &spoiler_B_cover_target},
    {35, &alt_flaps_cover_target},
    {36, &gpws_flap_cover_target},
    {37, &gpws_gear_cover_target},
    {38, &gpws_terr_cover_target},
    {39, &fdr_cover_target},
    {40, &man_gear_cover_target},
    {41, &man_gear_handle_target},
    {42, &tyre_burst_flags[0]},
    {43, &tyre_burst_flags[1]},
    {44, &tyre_burst_flags[2]},
    {46, &toggle_switch::yaw_dumper_pos},
    {47, &yaw_damper_switch_state},
    {48, &hydraulic_step_state.yd_irs_seen[0]},
    {49, &hydraulic_step_state.yd_irs_seen[1]},
    {50, &hydraulic_step_state.values[0]},
    {51, &hydraulic_step_state.values[1]},
    {52, &hydraulic_step_state.values[2]},
    {53, &travel_targets.flt_dk_door},
    {54, &door::flt_dk_door_ratio},
    {55, &elec_bus_state.capt_displays_ready},
    {56, &elec_bus_state.fo_displays_ready},
    {57, &elec_bus_state.isfd_ready},
    {58, &damage_fluctuation_timer},  // the spool model's N2 fluctuation period
    {59, &gauges::standby_mode},
    {60, &gauges::standby_alt_mode},
    {61, &gauges::standby_alt_std_mode},
    {62, &gauges::standby_altimeter_baro},
    {63, &systems_memory.gear_leg[0]},
    {64, &systems_memory.gear_leg[1]},
    {65, &systems_memory.gear_leg[2]},
    {66, &systems_memory.step_value},
    {67, &autobrake::autobrake_arm},
    {79, &elec_bus_state.isfd_countdown},
    {80, &systems_memory.annunciator_value},
    {81, &gpws_xraas_cover_target},
    {82, &cockpit::cabin_vvi},
    {83, &cockpit::cabin_altitude_actual},
    {84, &cockpit::cabin_pressure_diff},
    {85, press_ctrl_saved_value(3)},
    {86, press_ctrl_saved_value(4)},
    {87, press_ctrl_saved_value(5)},
    {88, press_ctrl_saved_value(6)},
    {89, press_ctrl_saved_value(7)},
    {90, press_ctrl_saved_value(8)},
    {92, &systems_memory.bleed_temp_degc[0]},
    {93, &systems_memory.bleed_temp_degc[1]},
    {96, &cockpit::fuel_flow_used1},
    {97, &cockpit::fuel_flow_used2},
};

// "zuvadud/D738/system_sw": the float slots; integer host copies, mixture and
// N2 are handled in code below.
const FloatSlot kSystemSwFloats[] = {
    {0, &air::l_pack_pos},
    {1, &air::r_pack_pos},
    {2, &air::isolation_valve_pos},
    {3, &air::l_recirc_fan_pos},
    {4, &air::r_recirc_fan_pos},
    {5, &air::trim_air_pos},
    {6, &toggle_switch::eng_start_source},
    {7, &toggle_switch::dspl_ctrl_pnl},
    {8, &toggle_switch::dspl_source},
    {9, &toggle_switch::fmc_source},
    {10, &toggle_switch::eq_cool_exhaust},
    {11, &toggle_switch::eq_cool_supply},
    {12, &toggle_switch::hydro_pumps1_pos},
    {13, &toggle_switch::hydro_pumps2_pos},
    {14, &toggle_switch::electric_hydro_pumps1_pos},
    {15, &toggle_switch::electric_hydro_pumps2_pos},
    {16, &toggle_switch::capt_probes_pos},
    {17, &toggle_switch::fo_probes_pos},
    {18, &toggle_switch::bleed_air_1_pos},
    {19, &toggle_switch::bleed_air_2_pos},
    {20, &toggle_switch::bleed_air_apu_pos},
    {21, &knobs::cross_feed_pos},
    {22, &fuel::fuel_tank_pos_lft1},
    {23, &fuel::fuel_tank_pos_lft2},
    {24, &fuel::fuel_tank_pos_rgt1},
    {25, &fuel::fuel_tank_pos_rgt2},
    {26, &fuel::fuel_tank_pos_ctr1},
    {27, &fuel::fuel_tank_pos_ctr2},
    {30, &toggle_switch::air_valve_ctrl},
    {31, &toggle_switch::air_temp_source},
    {32, &toggle_switch::service_interphone},
    {33, &toggle_switch::alt_flaps_ctrl},
    {34, &toggle_switch::flt_dk_door},
    {35, &toggle_switch::main_pnl_du_capt},
    {36, &toggle_switch::lower_du_capt},
    {37, &toggle_switch::main_pnl_du_fo},
    {38, &toggle_switch::lower_du_fo},
    {39, &toggle_switch::spd_ref},
    {40, &autobrake::autobrake_pos},
    {41, &switches::flt_ctr_A_cover_pos},
    {42, &switches::flt_ctr_B_cover_pos},
    {43, &switches::spoiler_A_cover_pos},
    {44, &switches::spoiler_B_cover_pos},
    {45, &switches::alt_flaps_cover_pos},
    {46, &switches::fdr_cover_pos},
    {47, &switches::flt_ctr_A_pos},
    {48, &switches::flt_ctr_B_pos},
    {49, &switches::spoiler_A_pos},
    {50, &switches::spoiler_B_pos},
    {51, &switches::alt_flaps_pos},
    {52, &switches::left_wiper_pos},
    {53, &switches::right_wiper_pos},
    {54, &switches::fdr_pos},
    {55, &switches::nose_steer_pos},
    {56, &knob::ac_power},
    {57, &knob::dc_power},
    {58, &toggle_switch::gpws_gear_cover_pos},
    {59, &toggle_switch::gpws_flap_cover_pos},
    {60, &toggle_switch::gpws_terr_cover_pos},
    {61, &emergency::landgear_cover_pos},
    {62, &toggle_switch::gpws_gear_pos},
    {63, &toggle_switch::gpws_flap_pos},
    {64, &toggle_switch::gpws_terr_pos},
    {65, &emergency::landgear_pos},
    {66, &knob::transponder_pos},
    {67, &engine::starter1_pos},
    {68, &engine::starter2_pos},
    {69, &spring_toggle_switch::APU_start_pos},
    {70, &toggle_switch::yaw_dumper_pos},
    {72, &one_way_switch::pax_oxy_pos},
    {73, &flt_ctrls::flap_lever},
    {75, &controls::gear_handle_down},
    {76, &electric::panel_brightness[0]},
    {77, &electric::panel_brightness[1]},
    {78, &electric::panel_brightness[2]},
    {79, &electric::panel_brightness[3]},
    {80, &toggle_switch::gpws_xraas_pos},
    {81, &toggle_switch::gpws_xraas_cover_pos},
    {82, &cockpit::pressurization_mode},
    {83, &host_mirror.sim_cockpit2_controls_parking_brake_ratio},
    {84, &cockpit::parking_brake_pos},
    {85, &lever_commands.park_brake_engaged},
    {86, &apu_start_values.value1},
    {87, &apu_start_values.value2},
    {88, &delay_timers.apu_delay_1},
    {89, &delay_timers.apu_delay_2},
    {90, &systems_memory.sw_step_value},
    {91, &apu_on_latch},
    {92, &delay_timers.apu_start_delay},
    {93, &delay_timers.apu_run_delay},
    {94, &delay_timers.apu_starter_hold},
    {95, &delay_timers.apu_low_oil_delay},
    {97, &electrical::apu_power_bus1},
    {98, &electrical::apu_power_bus2},
    {99, &apu_start_values.saved_apu},
    {100, &electrical::apu_bus_enable},
    {109, &electric::battery_pos},
    {110, &host_mirror.sim_flightmodel2_engines_N1_percent[0]},
    {111, &host_mirror.sim_flightmodel2_engines_N1_percent[1]},
    {114, &electric::standby_bat_pos},
    {115, &system_::high_alt_ldg_on},
    {116, &autoland::fail_flag},
    // Kept since a start saved under way could not be told from one never
    // begun; older saves hold 0 here.
    {117, &delay_flags.apu_start_stage},
};

// Integer host copies of "system_sw" that restore and push one by one.
struct IntSlot {
  int16_t slot;
  int32_t* value;
};
const IntSlot kSystemSwInts[] = {
    {28, &host_mirror.sim_cockpit2_electrical_battery_on[1]},
    {29, &host_mirror.sim_cockpit2_electrical_battery_on[2]},
    {71, &host_mirror.sim_cockpit2_electrical_cross_tie},
    {96, &host_mirror.sim_cockpit_engine_APU_running},
    {101, &host_mirror.sim_cockpit2_fuel_fuel_tank_pump_on[0]},
    {102, &host_mirror.sim_cockpit2_fuel_fuel_tank_pump_on[1]},
    {103, &host_mirror.sim_cockpit2_fuel_fuel_tank_pump_on[2]},
    {104, &host_mirror.sim_cockpit2_electrical_APU_generator_on},
    {105, &host_mirror.sim_flightmodel_engine_ENGN_running[0]},
    {106, &host_mirror.sim_flightmodel_engine_ENGN_running[1]},
};

// Per-slot lookup of the tables, built once; a slot without a travel carries
// nothing.
struct SlotIndex {
  float* system[kStateArraySize];
  float* system_sw[kStateArraySize];
  int32_t* system_sw_int[kStateArraySize];
  const Travel* system_travel[kStateArraySize];
  const Travel* system_sw_travel[kStateArraySize];
};
const SlotIndex& slot_index() {
  static const SlotIndex index = [] {
    SlotIndex s{};
    for (const FloatSlot& f : kSystemFloats) s.system[f.slot] = f.value;
    for (const FloatSlot& f : kSystemSwFloats) s.system_sw[f.slot] = f.value;
    for (const IntSlot& i : kSystemSwInts) s.system_sw_int[i.slot] = i.value;
    for (const SavedSlotTravel& t : saved_travel::kSystem)
      if (t.slot >= 0 && t.slot < kStateArraySize) s.system_travel[t.slot] = &t.travel;
    for (const SavedSlotTravel& t : saved_travel::kSystemSw)
      if (t.slot >= 0 && t.slot < kStateArraySize) s.system_sw_travel[t.slot] = &t.travel;
    return s;
  }();
  return index;
}

bool within_travel(const Travel* travel, float& v) {
  return travel == nullptr || restore_within_travel(v, *travel);
}

// ---- slots restored as one whole ----
// Each slot of a group may lie within its travel while the group contradicts
// itself: such a group is settled to a state the aircraft has.

// How far the cabin's values may stand from what the aircraft's altitude
// and the outside pressure make of them (psi): a relief valve's negative
// differential, the ground controller's pre-pressurisation, a frame's lag.
constexpr float kCabinAboveAircraftPsi = -0.3f;
constexpr float kCabinBelowFieldPsi = 0.5f;
constexpr float kCabinDiffAgreementPsi = 0.5f;

bool aircraft_on_ground_now() {
  for (int i = 0; i < 3; ++i)
    if (read_now_vi_at(bound::sim_flightmodel2_gear_on_ground, i) != 0) return true;
  return false;
}

// The cabin's altitude, differential and rate come back only where they
// agree with the aircraft's altitude and the outside pressure as the loaded
// situation has them (read now: the load loop runs before this frame's
// poll): no cabin above the aircraft, none below the field on the ground,
// a differential that is the cabin's against the outside's, no rate on the
// ground a controller would not hold. Otherwise the cabin starts from the
// aircraft's state, as on the first frame.
void settle_cabin() {
  const float static_psi = read_now_f(bound::sim_weather_barometer_current_inhg) * psi_per_inhg_7dp;
  if (!(static_psi > 0.5f && static_psi < 20.0f)) return;  // no outside pressure to judge by
  const bool ground = aircraft_on_ground_now();
  const float implied = pressure_at_ft(cockpit::cabin_altitude_actual) - static_psi;
  const bool agrees = implied >= kCabinAboveAircraftPsi && (!ground || implied <= kCabinBelowFieldPsi) &&
                      std::fabs(implied - cockpit::cabin_pressure_diff) <= kCabinDiffAgreementPsi &&
                      (!ground || std::fabs(cockpit::cabin_vvi) <= kCabinRateLimitFpm);
  if (agrees) return;
  count_restore_contradiction();
  cabin_from_aircraft_state(ground, pressure_altitude_ft(static_psi));
}

// The parking brake is engaged exactly when its lever is set, as the
// start-up and a write of the lever leave it; and the autobrake selector at
// OFF disarms and resets the system, as selecting OFF does. Neither is
// logged: a save can hold either apart (the parking brake button held
// without the pedals, a flag written at OFF), and its restore settles it as
// the aircraft would.
void settle_brakes() {
  lever_commands.park_brake_engaged = cockpit::parking_brake_pos;
  reset_autobrake_at_off();
  // A flag its selector cannot produce (an RTO braking at a landing
  // setting, a landing autobrake at RTO) is a damaged save's.
  if (drop_autobrake_flags_off_selector()) count_restore_contradiction();
}

// ---- restore, "zuvadud/D738/system" ----

// Slots 98 and 99: engine 1's and engine 2's remembered manual N1 set value.
constexpr int kManualN1Slot = 98;

void restore_system_slot(int slot, float v) {
  if (float* p = slot_index().system[slot]) {
    *p = v;
    return;
  }
  switch (slot) {
    case 30:
      trim_wheel_target = v;
      trim_wheel_hold = v;
      break;
    case 45:
      host_mirror.sim_cockpit2_switches_yaw_damper_on = trunc_to_i32(v);
      host_send_i(bound::sim_cockpit2_switches_yaw_damper_on, host_mirror.sim_cockpit2_switches_yaw_damper_on);
      break;
    // The saved flight director values come back as hold values; the
    // flight director takes them over itself after a load.
    case 69: flight_director_state.hold[0] = v; break;
    case 70: flight_director_state.hold[1] = v; break;
    case 94: flight_director_state.hold[2] = v; break;
    case 95: flight_director_state.hold[3] = v; break;
    case 91:
      press_ctrl.press_channel = trunc_to_i32(v);
      // A saved flight carries no fault the controllers found: they judge
      // the restored one afresh.
      press_ctrl_forget_found_faults();
      break;
    // The remembered manual N1 set values. A save from before they were
    // kept holds 0 here, which leaves the remembered values as they are.
    case kManualN1Slot:
    case kManualN1Slot + 1:
      if (v > 0.0f) thrust_lever_state.manual_n1[slot - kManualN1Slot] = v;
      break;
    default: break;  // slots that carry nothing
  }
}

void after_system_slot(int slot) {
  switch (slot) {
    case 22:
      host_send_f(bound::sim_cockpit_pressure_max_allowable_altitude,
             host_mirror.sim_cockpit_pressure_max_allowable_altitude);
      break;
    case 27:
      if (cockpit::pressurization_mode2 != 0.0f) press_ctrl.press_ctrl_armed = 1;
      break;
    case 28:
      host_send_f(bound::sim_cockpit2_controls_elevator_trim, host_mirror.sim_cockpit2_controls_elevator_trim);
      elec_trim_moved = 0;
      trim_wheel_slow_run = 0.0f;
      trim_wheel_fast_run = 0.0f;
      break;
    case 61:
      // A saved flight always comes back with the windows closed.
      travel_targets.capt_window = 0.0f;
      travel_targets.fo_window = 0.0f;
      door::capt_window_ratio = 0.0f;
      door::fo_window_ratio = 0.0f;
      break;
    case 84: settle_cabin(); break;
    case 89:
      if (bound_present(bound::sim_cockpit2_pressurization_actuators_max_allowable_altitude_ft)) {
        host_mirror.sim_cockpit2_pressurization_actuators_max_allowable_altitude_ft =
            read_now_f(bound::sim_cockpit2_pressurization_actuators_max_allowable_altitude_ft);
      }
      break;
    case 91:
      host_mirror.sim_cockpit_pressure_cabin_vvi_actual_m_msec = cockpit::cabin_vvi;
      host_send_f(bound::sim_cockpit_pressure_cabin_vvi_actual_m_msec, cockpit::cabin_vvi);
      host_mirror.sim_cockpit_pressure_cabin_altitude_actual_m_msl = cockpit::cabin_altitude_actual;
      host_send_f(bound::sim_cockpit_pressure_cabin_altitude_actual_m_msl, cockpit::cabin_altitude_actual);
      host_mirror.sim_cockpit_pressure_cabin_pressure_differential_psi = cockpit::cabin_pressure_diff;
      host_send_f(bound::sim_cockpit_pressure_cabin_pressure_differential_psi, cockpit::cabin_pressure_diff);
      break;
    default: break;
  }
}

// ---- restore, "zuvadud/D738/system_sw" ----

void restore_system_sw_slot(int slot, float v) {
  const SlotIndex& index = slot_index();
  if (float* p = index.system_sw[slot]) {
    *p = v;
    return;
  }
  if (int32_t* p = index.system_sw_int[slot]) {
    *p = trunc_to_i32(v);
    return;
  }
  switch (slot) {
    case 74:
      // A lever a hair off a detent is in it, written or restored.
      flt_ctrls::speedbrake_lever = speedbrake_detent(v);
      break;
    case 107:
    case 108:
      host_mirror.sim_cockpit2_engine_actuators_mixture_ratio[slot - 107] = v;
      engine_copies.mixture[slot - 107] = v;
      break;
    case 112:
    case 113:
      host_mirror.sim_flightmodel2_engines_N2_percent[slot - 112] = v;
      engine_copies.spool_n2[slot - 112] = v;
      break;
    default: break;
  }
}

void after_system_sw_slot(int slot) {
  switch (slot) {
    case 29:
      // Battery 1 is always on after a restore.
      host_mirror.sim_cockpit2_electrical_battery_on[0] = 1;
      host_send_vi(bound::sim_cockpit2_electrical_battery_on, host_mirror.sim_cockpit2_electrical_battery_on, 3);
      break;
    case 71: host_send_i(bound::sim_cockpit2_electrical_cross_tie, host_mirror.sim_cockpit2_electrical_cross_tie); break;
    case 96: host_send_i(bound::sim_cockpit_engine_APU_running, host_mirror.sim_cockpit_engine_APU_running); break;
    case 103:
      host_send_vi(bound::sim_cockpit2_fuel_fuel_tank_pump_on, host_mirror.sim_cockpit2_fuel_fuel_tank_pump_on, 3);
      break;
    case 104:
      host_send_i(bound::sim_cockpit2_electrical_APU_generator_on, host_mirror.sim_cockpit2_electrical_APU_generator_on);
      break;
    case 108:
      host_send_vf(bound::sim_cockpit2_engine_actuators_mixture_ratio,
                   host_mirror.sim_cockpit2_engine_actuators_mixture_ratio, 2);
      host_send_vi(bound::sim_flightmodel_engine_ENGN_running, host_mirror.sim_flightmodel_engine_ENGN_running, 2);
      break;
    case 113:
      // N1 stays with the host; only N2 is pushed.
      host_send_vf(bound::sim_flightmodel_engine_ENGN_N2_, engine_copies.spool_n2, 2);
      // The spool model later in this frame reads the host N2 from the mirror.
      host_mirror.sim_flightmodel_engine_ENGN_N2_[0] = engine_copies.spool_n2[0];
      host_mirror.sim_flightmodel_engine_ENGN_N2_[1] = engine_copies.spool_n2[1];
      break;
    default: break;
  }
}

void restore_engine_values() {
  engine_copies.spool_n2_previous[0] = engine_copies.spool_n2[0];
  engine_copies.spool_n2_previous[1] = engine_copies.spool_n2[1];
  engine_copies.spool_n1[0] = host_mirror.sim_flightmodel2_engines_N1_percent[0];
  engine_copies.spool_n1[1] = host_mirror.sim_flightmodel2_engines_N1_percent[1];
  engine::indicators_N1_percent_1 = host_mirror.sim_flightmodel2_engines_N1_percent[0];
  engine::indicators_N1_percent_2 = host_mirror.sim_flightmodel2_engines_N1_percent[1];
  engine::indicators_N2_percent_1 = host_mirror.sim_flightmodel2_engines_N2_percent[0];
  engine::indicators_N2_percent_2 = host_mirror.sim_flightmodel2_engines_N2_percent[1];
  engine::indicators_eng1_vib = n1_vibration(host_mirror.sim_flightmodel2_engines_N1_percent[0]);
  // Engine 2 on its own curve: a restore in flight must not drop its gauge.
  engine::indicators_eng2_vib = vibration_target(1, host_mirror.sim_flightmodel2_engines_N1_percent[1]) * 0.01f;
}

}  // namespace

float n1_vibration(float n1) {
  if (n1 != n1) return 0.0f;
  if (n1 < 0.0f) return 0.0f;
  if (n1 < 10.0f) return n1 * 1.81f / 10.0f;
  if (n1 < 37.0f) return 1.81f - (n1 - 10.0f) * 0.6f / 27.0f;
  if (n1 > 105.0f) return 1.47f;
  return 1.21f + (n1 - 37.0f) * 0.26f / 68.0f;
}

void build_system_image(float image[kStateArraySize]) {
  for (int i = 0; i < kStateArraySize; ++i) image[i] = 0.0f;
  for (const FloatSlot& f : kSystemFloats) image[f.slot] = *f.value;
  image[30] = trim_wheel_target;
  image[45] = static_cast<float>(host_mirror.sim_cockpit2_switches_yaw_damper_on);
  image[69] = flight_director_state.live[0];
  image[70] = flight_director_state.live[1];
  image[94] = flight_director_state.live[2];
  image[95] = flight_director_state.live[3];
  image[91] = static_cast<float>(press_ctrl.press_channel);
  image[kManualN1Slot] = thrust_lever_state.manual_n1[0];
  image[kManualN1Slot + 1] = thrust_lever_state.manual_n1[1];
}

void build_system_sw_image(float image[kStateArraySize]) {
  for (int i = 0; i < kStateArraySize; ++i) image[i] = 0.0f;
  for (const FloatSlot& f : kSystemSwFloats) image[f.slot] = *f.value;
  for (const IntSlot& s : kSystemSwInts) image[s.slot] = static_cast<float>(*s.value);
  image[74] = flt_ctrls::speedbrake_lever;
  image[107] = engine_copies.mixture[0];
  image[108] = engine_copies.mixture[1];
  image[112] = host_mirror.sim_flightmodel2_engines_N2_percent[0];
  image[113] = host_mirror.sim_flightmodel2_engines_N2_percent[1];
}

void save_cockpit_state() {
  build_system_image(state_buffers.system);
  build_system_sw_image(state_buffers.system_sw);
  script_set_vf(bound::zuvadud_D738_system, state_buffers.system, kStateArraySize);
  script_set_vf(bound::zuvadud_D738_system_sw, state_buffers.system_sw, kStateArraySize);
}

void restore_cockpit_state() {
  const bool starter_was_held = delay_timers.apu_starter_hold > 0.0f;
  bool system_given[kStateArraySize];
  bool sw_given[kStateArraySize];
  const int n_system = read_now_vf_finite(bound::zuvadud_D738_system, state_buffers.system, system_given, kStateArraySize);
  const int n_sw = read_now_vf_finite(bound::zuvadud_D738_system_sw, state_buffers.system_sw, sw_given, kStateArraySize);
  // A slot that holds no number (NaN, an infinity), or one no control can
  // take, is treated as absent: the cockpit keeps its value rather than take
  // one the scripts did not save.
  const SlotIndex& index = slot_index();
  for (int slot = 0; slot < n_system; ++slot) {
    float v = state_buffers.system[slot];
    if (system_given[slot] && within_travel(index.system_travel[slot], v)) restore_system_slot(slot, v);
    after_system_slot(slot);
  }
  for (int slot = 0; slot < n_sw; ++slot) {
    float v = state_buffers.system_sw[slot];
    if (sw_given[slot] && within_travel(index.system_sw_travel[slot], v)) restore_system_sw_slot(slot, v);
    after_system_sw_slot(slot);
  }
  settle_brakes();
  // The restores of this load's other arrays ran before this one: one line
  // counts them all.
  const int32_t contradicted = take_restore_contradictions();
  const int32_t dropped = take_restore_drops() + contradicted;
  if (dropped > 0 && state_restore_drop_logged == 0) {
    char line[200];
    std::snprintf(line, sizeof line,
                  "Corvane plugin: WARNING - %d saved cockpit values beyond their control's travel%s not restored !!!\n",
                  dropped, contradicted > 0 ? " or at odds with the values saved with them" : "");
    XPLMDebugString(line);
    state_restore_drop_logged = 1;
  }
  restore_engine_values();
  // The other arrays came back before this one: every guard and switch
  // beneath it is where the save had it now.
  hold_guarded_switches_after_restore();
  resume_apu_start_after_restore(starter_was_held);
  // A restored flight starts without engine failure latches.
  engine_damage_flags[0] = 0;
  engine_damage_flags[1] = 0;
  engine_damage_timers[0] = 0.0f;
  engine_damage_timers[1] = 0.0f;
  damage_fluctuation_timer = 0.0f;
  // The saved legs are only where the scripts last stored them; the host's,
  // as the situation placed the aircraft, are taken in the next systems run.
  gear_legs_from_host = 1;
  // The APU's exhaust temperature is not part of the saved state, so a
  // restored running APU would drop its bus until the temperature climbs
  // back into band. The latch keeps the bus up; any start, stop or switch
  // OFF clears it again.
  apu_state.bus_latch = 1.0f;
}

void sync_glare_switch() {
  if (!bound_present(bound::zuvadud_D738_glare_sw)) return;
  const int n = read_now_vf(bound::zuvadud_D738_glare_sw, state_buffers.glare, kGlareArraySize);
  state_buffers.glare[kGlareN1SourceElement] = toggle_switch::n1_set_source;
  if (n >= kGlareArraySize) {
    script_set_vf(bound::zuvadud_D738_glare_sw, state_buffers.glare, kGlareArraySize);
  } else {
    // A shorter array: never write zeros over script elements we were not given.
    script_set_vf(bound::zuvadud_D738_glare_sw, &state_buffers.glare[kGlareN1SourceElement], 1,
                  kGlareN1SourceElement);
  }
}

// Only the scripts' 15 elements are asked for: a longer read would run past
// the end of their array.
void read_glare_switches() {
  // The N1 SET knob: 2, 1, AUTO, BOTH, where its commands step.
  const RestoredSlot knob[] = {{kGlareN1SourceElement, &toggle_switch::n1_set_source}};
  restore_slots(bound::zuvadud_D738_glare_sw, kGlareArraySize, knob, 1, saved_travel::kGlareSw);
}
