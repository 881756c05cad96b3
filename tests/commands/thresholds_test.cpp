// The positions and thresholds of the cockpit handlers, both sides of each
// boundary, with the handlers called directly.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "cockpit_fixture.h"
#include "commands/command_handlers.h"
#include "core/failure_tables.h"
#include "core/pitch_trim.h"
#include "core/preprocess_values.h"
#include "core/variant.h"
#include "engines/engine_state.h"
#include "engines/engine_values.h"
#include "systems/air/air_values.h"
#include "systems/annunciators/annunciators.h"
#include "systems/annunciators/annunciators_panels.h"
#include "systems/delay_timers.h"
#include "systems/electrical/electric_values.h"
#include "systems/flight_controls/elec_trim_state.h"
#include "systems/flight_controls/flight_control_values.h"
#include "systems/fuel/fuel_values.h"
#include "systems/ice_rain/ice_values.h"
#include "systems/ice_rain/wiper_state.h"
#include "systems/instruments/clock_values.h"
#include "systems/instruments/clocks.h"
#include "systems/instruments/instrument_values.h"
#include "systems/lights/cabin_light_values.h"
#include "systems/lights/cabin_lights.h"
#include "systems/lights/lights.h"
#include "systems/switches/switch_memory.h"
#include "systems/switches/switch_targets.h"
#include "systems/switches/switch_values.h"
#include "systems/fire/fire.h"
#include "systems/fire/fire_values.h"
#include "systems/flight_controls/trim_command_state.h"
#include "systems/gear_brakes/autobrake_state.h"
#include "systems/hydraulics/hydraulic_values.h"
#include "systems/systems_step_outputs.h"
#include "systems/flight_controls/speedbrake_lever.h"
#include "systems/gear_brakes/brake_command_state.h"
#include "systems/gear_brakes/gear_lever.h"

namespace {

// One row per command: the value set before it, the value read after (the
// same one unless named), and whether the command is held (a momentary
// switch reads its held value until let go, then its rest value). Every
// command acts as it is pressed; only a held one acts again when let go.
using PanelCommands = CockpitTest;

TEST_F(PanelCommands, EachCommandMovesItsValue) {
  struct Row {
    const char* command;
    float* set;
    float from;
    float want;
    float* read = nullptr;
    bool held = false;
  };
  const Row rows[] = {
      // Exterior lights: direct set, toggle (any other value to 0), steps.
      {"switch/logo_light_off", &toggle_switch::logo_light, 1, 0},
      {"switch/wing_light_on", &toggle_switch::wing_light, 0, 1},
      {"switch/wing_light_off", &toggle_switch::wing_light, 1, 0},
      {"switch/wing_light_toggle", &toggle_switch::wing_light, 0.5f, 0},
      {"switch/wheel_light_toggle", &toggle_switch::wheel_light, 0, 1},
      {"toggle_switch/position_light_off", &toggle_switch::position_light_pos, 1, 0},
      {"toggle_switch/position_light_steady", &toggle_switch::position_light_pos, 0, -1},
      {"toggle_switch/position_light_strobe", &toggle_switch::position_light_pos, 0, 1},
      {"switch/rwy_light_left_on", &toggle_switch::rwy_light_left, 0, 1},
      {"switch/rwy_light_left_off", &toggle_switch::rwy_light_left, 1, 0},
      {"switch/rwy_light_left_toggle", &toggle_switch::rwy_light_left, 0, 1},
      {"switch/rwy_light_right_on", &toggle_switch::rwy_light_right, 0, 1},
      {"switch/rwy_light_right_off", &toggle_switch::rwy_light_right, 1, 0},
      {"switch/rwy_light_right_toggle", &toggle_switch::rwy_light_right, 1, 0},
      {"toggle_switch/taxi_light_brightness_off", &toggle_switch::taxi_light_brightness_pos, 2, 0},
      {"toggle_switch/taxi_light_brightness_off", &toggle_switch::taxi_light_brightness_pos, 2, 0,
       &lights_state.taxi_light_level},
      {"switch/land_lights_left", &switch_::land_lights_left_pos, 0, 1},
      {"switch/land_lights_right", &switch_::land_lights_right_pos, 1, 0},
      {"switch/land_lights_left_on", &switch_::land_lights_left_pos, 0, 1},
      {"switch/land_lights_left_off", &switch_::land_lights_left_pos, 1, 0},
      {"switch/land_lights_right_on", &switch_::land_lights_right_pos, 0, 1},
      {"switch/land_lights_right_off", &switch_::land_lights_right_pos, 1, 0},
      {"switch/land_lights_ret_left_off", &switch_::land_lights_ret_left_pos, 2, 0},
      {"switch/land_lights_ret_left_ret", &switch_::land_lights_ret_left_pos, 0, 1},
      {"switch/land_lights_ret_right_off", &switch_::land_lights_ret_right_pos, 2, 0},
      {"switch/land_lights_ret_right_ret", &switch_::land_lights_ret_right_pos, 2, 1},
      {"switch/land_lights_ret_right_on", &switch_::land_lights_ret_right_pos, 0, 2},
      {"switch/land_lights_ret_right_up", &switch_::land_lights_ret_right_pos, 2, 1},
      {"switch/land_lights_ret_right_up", &switch_::land_lights_ret_right_pos, 1, 0},
      {"switch/land_lights_ret_right_up", &switch_::land_lights_ret_right_pos, 0, 0},
      // The direct positions light the lamp only at ON, as the steps do.
      {"switch/land_lights_ret_left_on", &switch_::land_lights_ret_left_pos, 0, 1,
       &lights_state.retractable_landing_left_on},
      {"switch/land_lights_ret_left_ret", &switch_::land_lights_ret_left_pos, 2, 0,
       &lights_state.retractable_landing_left_on},
      {"switch/land_lights_ret_right_off", &switch_::land_lights_ret_right_pos, 2, 0,
       &lights_state.retractable_landing_right_on},
      // Engine start selectors: 0 GRD, 1 OFF, 2 CONT, 3 FLT; the second value
      // reads 1 only at OFF. The knob moves the animation target between GRD
      // and CONT, the position itself to and from FLT.
      {"rotary/eng1_start_grd", &engine::starter1_pos, 3, 0},
      {"rotary/eng1_start_off", &engine::starter1_pos2, 0, 1},
      {"rotary/eng1_start_cont", &engine::starter1_pos, 0, 2},
      {"rotary/eng1_start_flt", &engine::starter1_pos, 0, 3},
      {"rotary/eng2_start_grd", &engine::starter2_pos, 3, 0},
      {"rotary/eng2_start_off", &engine::starter2_pos2, 0, 1},
      {"rotary/eng2_start_cont", &engine::starter2_pos2, 1, 0},
      {"rotary/eng2_start_flt", &engine::starter2_pos, 0, 3},
      {"knob/eng1_start_right", &engine::starter1_pos, 0, 1, &starter1_knob_target},
      {"knob/eng1_start_right", &engine::starter1_pos, 1, 2, &starter1_knob_target},
      {"knob/eng1_start_right", &engine::starter1_pos, 2, 3},
      {"knob/eng1_start_right", &engine::starter1_pos, 3, 3},
      {"knob/eng2_start_left", &engine::starter2_pos, 1, 0, &starter2_knob_target},
      {"knob/eng2_start_left", &engine::starter2_pos, 2, 1, &starter2_knob_target},
      {"knob/eng2_start_left", &engine::starter2_pos, 3, 2},
      {"knob/eng2_start_left", &engine::starter2_pos, 0, 0},
      {"knob/eng2_start_right", &engine::starter2_pos, 0, 1, &starter2_knob_target},
      {"knob/eng2_start_right", &engine::starter2_pos, 2, 3},
      {"toggle_switch/eng_start_source_left", &toggle_switch::eng_start_source, 0, -1},
      {"toggle_switch/eng_start_source_left", &toggle_switch::eng_start_source, -1, -1},
      {"toggle_switch/eng_start_source_right", &toggle_switch::eng_start_source, 0, 1},
      {"toggle_switch/eng_start_source_right", &toggle_switch::eng_start_source, 1, 1},
      {"engine/mixture1_cutoff", &engine::mixture_ratio1, 1, 0},
      {"engine/mixture1_idle", &engine::mixture_ratio1, 0, 1},
      {"engine/mixture1_toggle", &engine::mixture_ratio1, 0.5f, 0},
      {"engine/mixture1_hold", &engine::mixture_ratio1, 0, 1, nullptr, true},
      {"engine/mixture2_cutoff", &engine::mixture_ratio2, 1, 0},
      {"engine/mixture2_idle", &engine::mixture_ratio2, 0, 1},
      {"engine/mixture2_toggle", &engine::mixture_ratio2, 0, 1},
      {"toggle_switch/fuel_pump_lft1", &fuel::fuel_tank_pos_lft1, 0, 1},
      {"toggle_switch/fuel_pump_lft2", &fuel::fuel_tank_pos_lft2, 1, 0},
      {"toggle_switch/fuel_pump_ctr1", &fuel::fuel_tank_pos_ctr1, 0, 1},
      {"toggle_switch/fuel_pump_ctr2", &fuel::fuel_tank_pos_ctr2, 1, 0},
      {"toggle_switch/fuel_pump_rgt1", &fuel::fuel_tank_pos_rgt1, 0, 1},
      {"toggle_switch/fuel_pump_rgt2", &fuel::fuel_tank_pos_rgt2, 1, 0},
      {"toggle_switch/crossfeed_valve_on", &knobs::cross_feed_pos, 0, 1},
      {"toggle_switch/crossfeed_valve_on", &knobs::cross_feed_pos, 0.5f, 0.5f},
      {"toggle_switch/crossfeed_valve_off", &knobs::cross_feed_pos, 1, 0},
      // Air and pressurisation.
      {"toggle_switch/air_valve_ctrl_left", &toggle_switch::air_valve_ctrl, 2, 1},
      {"toggle_switch/air_valve_ctrl_left", &toggle_switch::air_valve_ctrl, 0, 0},
      {"toggle_switch/air_valve_manual_left", &toggle_switch::air_valve_manual, 0, -1, nullptr, true},
      {"toggle_switch/air_valve_manual_right", &toggle_switch::air_valve_manual, 0, 1, nullptr, true},
      {"toggle_switch/bleed_air_2", &toggle_switch::bleed_air_2_pos, 0, 1},
      {"toggle_switch/bleed_air_apu", &toggle_switch::bleed_air_apu_pos, 1, 0},
      {"toggle_switch/iso_valve_dn", &air::isolation_valve_pos, 1, 2},
      {"toggle_switch/iso_valve_dn", &air::isolation_valve_pos, 2, 2},
      {"toggle_switch/iso_valve_up", &air::isolation_valve_pos, 1, 0},
      {"toggle_switch/iso_valve_up", &air::isolation_valve_pos, 0, 0},
      {"toggle_switch/r_pack_dn", &air::r_pack_pos, 0, 1},
      {"toggle_switch/r_pack_up", &air::r_pack_pos, 2, 1},
      {"toggle_switch/trim_air", &air::trim_air_pos, 0.5f, 0.5f},
      {"push_button/duct_ovht_test", &push_button::duct_ovht_test_pos, 0, 1, nullptr, true},
      {"system/high_alt_ldg", &system_::high_alt_ldg_pos, 0, 1, nullptr, true},
      {"push_button/oxy_test_fo", &push_button::oxy_test_fo_pos, 0, 1, nullptr, true},
      {"toggle_switch/eng2_heat", &ice::eng2_heat_pos, 0, 1},
      {"toggle_switch/window_ovht_test_dn", &toggle_switch::window_ovht_test, 0, 1, nullptr, true},
      // Hydraulics and doors: a door or window opens from up to its 0.2 gap.
      {"toggle_switch/flt_dk_door_right", &toggle_switch::flt_dk_door, 0, 1, nullptr, true},
      {"toggle_switch/fo_window", &travel_targets.fo_window, 0.2f, 1},
      {"toggle_switch/fo_window", &travel_targets.fo_window, 0.21f, 0},
      {"toggle_switch/flt_dk_door_open", &travel_targets.flt_dk_door, 0.2f, 1},
      {"toggle_switch/flt_dk_door_open", &travel_targets.flt_dk_door, 0.21f, 0},
      {"push_button/flt_dk_door_close", &travel_targets.flt_dk_door, 1, 0},
      {"push_button/flt_dk_door_open", &door::flt_dk_door_knob_pos, 0, 1, nullptr, true},
      // Cabin and service: three-position steps stop at their ends.
      {"push_button/grd_call", &push_button::grd_call_pos, 0, 1, nullptr, true},
      {"toggle_switch/cockpit_dome_up", &toggle_switch::cockpit_dome_pos, -1, 0},
      {"toggle_switch/cockpit_dome_up", &toggle_switch::cockpit_dome_pos, 1, 1},
      {"toggle_switch/compass_brightness_lft", &toggle_switch::compass_brightness_pos, 1, 0},
      {"toggle_switch/compass_brightness_lft", &toggle_switch::compass_brightness_pos, -1, -1},
      {"toggle_switch/compass_brightness_rgt", &toggle_switch::compass_brightness_pos, 1, 1},
      {"toggle_switch/emer_exit_lights_dn", &toggle_switch::emer_exit_lights, 1, 2},
      {"toggle_switch/emer_exit_lights_dn", &toggle_switch::emer_exit_lights, 2, 2},
      {"toggle_switch/emer_exit_lights_up", &toggle_switch::emer_exit_lights, 1, 0},
      {"toggle_switch/emer_exit_lights_up", &toggle_switch::emer_exit_lights, 0, 0},
      {"knob/right_wiper_dn", &switches::right_wiper_pos, 2, 1},
      {"knob/right_wiper_dn", &switches::right_wiper_pos, 0, 0},
      {"knob/right_wiper_up", &switches::right_wiper_pos, 2, 3},
      {"knob/right_wiper_up", &switches::right_wiper_pos, 3, 3},
      {"knob/right_wiper_up", &switches::right_wiper_pos, 0, 1, &right_wiper_int_start},
      // Clocks: display mode 1 to 4 and round; chronograph run, stop, reset;
      // unpowered brightness buttons only clamp.
      {"push_button/chrono_disp_mode_capt", &clock_::clock_display_mode_capt, 3, 4},
      {"push_button/chrono_disp_mode_capt", &clock_::clock_display_mode_capt, 4, 1},
      {"push_button/chrono_disp_mode_fo", &clock_::clock_display_mode_fo, 1, 2},
      {"push_button/chrono_cycle_fo", &clock_::fo_chrono_mode, 1, 0},
      {"push_button/chrono_cycle_fo", &clock_::fo_chrono_mode, 0, -1},
      {"push_button/chrono_cycle_fo", &clock_::fo_chrono_mode, -1, 1},
      {"push_button/chrono_cycle_fo", &clock_::fo_chrono_mode, 1, 1, &clock_::fo_chr},
      {"push_button/chrono_bright_plus_cpt", &clock_state.chrono_brightness_capt, 1.2f, 1},
      {"push_button/chrono_bright_minus_fo", &clock_state.chrono_brightness_fo, -0.2f, 0},
      {"toggle_switch/standby_alt_baro_std", &gauges::standby_alt_std_mode, 0, 1},
      {"toggle_switch/standby_alt_baro_std", &gauges::standby_alt_std_mode, 1, 0},
      {"push_button/fo_window_open", &travel_targets.fo_window, 0, 1},
      {"push_button/fo_window_close", &travel_targets.fo_window, 1, 0},
      // The host's gear and speed brake commands taken over.
      {"sim/flight_controls/landing_gear_down", &controls::gear_handle_down, 0, 1},  // a two-position lever's DOWN
      {"sim/flight_controls/landing_gear_down", &controls::gear_handle_down, 0.5f, 1},
      {"sim/flight_controls/speed_brakes_up_all", &flt_ctrls::speedbrake_lever, 0.5f, 0},
      {"sim/flight_controls/speed_brakes_down_all", &flt_ctrls::speedbrake_lever, 0.5f, 1},
      // The toggle on the ground: a lever in the flight detent counts as at
      // it and goes down with the host's ratio; below it, full up.
      {"sim/flight_controls/speed_brakes_toggle", &flt_ctrls::speedbrake_lever, 0.667f, 0},
      {"sim/flight_controls/speed_brakes_toggle", &flt_ctrls::speedbrake_lever, 0.66f, 1},
      {"sim/flight_controls/speed_brakes_toggle", &flt_ctrls::speedbrake_lever, 0.667f, 0,
       &host_mirror.sim_cockpit2_controls_speedbrake_ratio},
      {"knob/autobrake_dn", &autobrake::autobrake_pos, 3, 2},
      {"knob/autobrake_up", &autobrake::autobrake_pos, 2, 3},
      // A toe brake button of one side leaves the both-sides command alone.
      {"push_button/toe_brake_left", &brake_commands.toe_brake_both, 0.3f, 0.3f},
      {"push_button/toe_brake_right", &brake_commands.toe_brake_both, 0.3f, 0.3f},
      {"push_button/toe_brake_right", &brake_commands.toe_brake_right, 0, 0.28f, nullptr, true},
      {"toggle_switch/fuel_flow_up", &toggle_switch::fuel_flow_pos, 0, -1, nullptr, true},
      {"toggle_switch/fuel_flow_dn", &toggle_switch::fuel_flow_pos, 0, 1, nullptr, true},
      // Both reversers, with system A up and B unpressurised: the fire
      // switches pulled for the handle rows below shut engine 1's isolation
      // valve, so neither deploys.
      {"sim/engines/thrust_reverse_hold", &thrust_lever_state.reverser_held[0], 0, 0, nullptr, true},
      {"sim/engines/thrust_reverse_hold_1", &thrust_lever_state.reverser_held[0], 0, 0, nullptr, true},
      {"sim/engines/thrust_reverse_hold_2", &thrust_lever_state.reverser_held[1], 0, 0, nullptr, true},
      // Fire handles (pulled out) turn one step each way, limited to one.
      {"fire/engine01/ext_switch_L", &fire_state.fire_handle_turn_target[fire_handle_eng1], 0, -1},
      {"fire/engine01/ext_switch_R", &fire_state.fire_handle_turn_target[fire_handle_eng1], 0, 1},
      {"fire/engine02/ext_switch_L", &fire_state.fire_handle_turn_target[fire_handle_eng2], -1, -1},
      {"fire/engine02/ext_switch_R", &fire_state.fire_handle_turn_target[fire_handle_eng2], 0, 1},
      {"fire/apu/ext_switch_R", &fire_state.fire_handle_turn_target[fire_handle_apu], 1, 1},
      // Random failures: enabling marks the unset entries 2, disabling clears
      // only the random ones (above 1).
      {"system/enable_rnd_fail", &failure_tables.electric[0], 0, 2},
      {"system/enable_rnd_fail", &failure_tables.electric[0], 1, 1},
      {"system/disable_rnd_fail", &failure_tables.system[3], 2, 0},
      {"system/disable_rnd_fail", &failure_tables.system[3], 1, 1},
      {"one_way_switch/pax_oxy_on", &one_way_switch::pax_oxy_pos, 0, 1},
      {"one_way_switch/pax_oxy_on", &one_way_switch::pax_oxy_pos, 0.5f, 0.5f},
      {"knob/transponder_tcas_test", &delay_flags.xpndr_test_flag, 0, 1},
      // Speed reference selector: V1, VR and VREF positions hand their speed to the adjust knob.
      {"toggle_switch/spd_ref_right", &toggle_switch::spd_ref, 0, 121, &toggle_switch::spd_ref_adjust},
      {"toggle_switch/spd_ref_right", &toggle_switch::spd_ref, 1, 132, &toggle_switch::spd_ref_adjust},
      {"toggle_switch/spd_ref_right", &toggle_switch::spd_ref, 3, 143, &toggle_switch::spd_ref_adjust},
      {"toggle_switch/spd_ref_right", &toggle_switch::spd_ref, 6, 6},
      {"toggle_switch/spd_ref_left", &toggle_switch::spd_ref, 2, 121, &toggle_switch::spd_ref_adjust},
      {"toggle_switch/spd_ref_left", &toggle_switch::spd_ref, 3, 132, &toggle_switch::spd_ref_adjust},
      {"toggle_switch/spd_ref_left", &toggle_switch::spd_ref, 5, 143, &toggle_switch::spd_ref_adjust},
      {"toggle_switch/spd_ref_left", &toggle_switch::spd_ref, 0, 0},
      // N1 set source, left to right -2, -1, 0 (AUTO), 1 (BOTH).
      {"toggle_switch/n1_set_source_right", &toggle_switch::n1_set_source, -2, -1},
      {"toggle_switch/n1_set_source_right", &toggle_switch::n1_set_source, -1, 0},
      {"toggle_switch/n1_set_source_right", &toggle_switch::n1_set_source, 0, 1},
      {"toggle_switch/n1_set_source_right", &toggle_switch::n1_set_source, 1, 1},
      {"toggle_switch/n1_set_source_left", &toggle_switch::n1_set_source, 1, 0},
      {"toggle_switch/n1_set_source_left", &toggle_switch::n1_set_source, 0, -1},
      {"toggle_switch/n1_set_source_left", &toggle_switch::n1_set_source, -1, -2},
      {"toggle_switch/n1_set_source_left", &toggle_switch::n1_set_source, -2, -2},
      {"switch/standby_bat_on", &electric::standby_bat_pos, 0, 1},
      {"toggle_switch/apu_gen1_dn", &electrical::apu_gen1_pos, 0, 1, nullptr, true},
      // The light test starts the display units' flicker at phases of their own.
      {"toggle_switch/bright_test_up", &toggle_switch::bright_test, 0, 0, &ann_state.flicker_phase_s[0]},
      {"toggle_switch/bright_test_up", &toggle_switch::bright_test, 0, 0.5f, &ann_state.flicker_phase_s[1]},
      {"toggle_switch/bright_test_up", &toggle_switch::bright_test, 0, 0.2f, &ann_state.flicker_phase_s[2]},
      {"toggle_switch/bright_test_up", &toggle_switch::bright_test, 0, 1, &ann_state.flicker_phase_s[4]},
      {"toggle_switch/bright_test_up", &toggle_switch::bright_test, 0, 3.3f, &ann_state.flicker_phase_s[5]},
      {"toggle_switch/bright_test_up", &toggle_switch::bright_test, 0, 2.6f, &ann_state.flicker_phase_s[6]},
      {"toggle_switch/bright_test_up", &toggle_switch::bright_test, 0, 2.8f, &ann_state.flicker_phase_s[7]},
      {"toggle_switch/bright_test_up", &toggle_switch::bright_test, 0, 2.3f, &ann_state.flicker_phase_s[8]},
  };
  electric::ac_tnsbus1_status = 1.0f;
  // A dark clock or standby display ignores its buttons.
  electric::batbus_status = electric::dir_batbus_status = electric::dc_stdbus_status = 1.0f;
  delay_flags.tcas_test_flag = 0.0f;
  pfd::vspeed_man_v1 = 121.0f;
  pfd::vspeed_man_vr = 132.0f;
  pfd::vspeed_man_vref = 143.0f;
  hydraulic::A_status = 1.0f;
  hydraulic::B_status = hydraulic::standby_status = 0.0f;
  brake_commands.toe_brake_max_right = 0.28f;
  fire::engine01_ext_switch_pos_arm = fire::engine02_ext_switch_pos_arm = fire::apu_ext_switch_pos_arm = 1.0f;
  speedbrake_flight_detent_latch = 0;  // on the ground
  on_ground = 1;
  flt_ctrls::speedbrake_lever_anim = 0.0f;
  for (float& guard : button_switch::cover_position) guard = 1.0f;
  for (float& guard : cover_target) guard = 1.0f;
  for (const Row& r : rows) {
    float* read = r.read != nullptr ? r.read : r.set;
    if (read != r.set) *read = -9.0f;  // so a command that does nothing shows
    *r.set = r.from;
    // The failure commands take the scripts' arrays as they stand at the
    // press: the row's entry goes there too.
    if (std::string(r.command).ends_with("_rnd_fail")) {
      const std::pair<const char*, const float*> arrays[] = {
          {"electric", failure_tables.electric}, {"hydraulic", failure_tables.hydraulic},
          {"system", failure_tables.system},     {"pressurisation", failure_tables.pressurisation},
          {"engine", failure_tables.engine}};
      for (const auto& [table, values] : arrays)
        simhost::set_floats(std::string("zuvadud/D738/failure/") + table,
                            std::vector<float>(values, values + kFailureEntriesExchanged));
    }
    const std::string name = std::string(r.command).starts_with("sim/") ? r.command : cmd(r.command);
    simhost::command_begin(name);
    if (r.held) simhost::frames(1, kFrame_s);  // the host repeats a held command
    EXPECT_FLOAT_EQ(*read, r.want) << r.command << " from " << r.from;
    simhost::command_end(name);
    EXPECT_FLOAT_EQ(*read, r.held ? r.from : r.want) << r.command << " let go";
  }
}

// The bleed trip reset skips a side high up (above 35000 ft) with its wing
// anti-ice valve open (above 0.95).
TEST_F(PanelCommands, BleedTripResetInhibitHighWithWingAntiIce) {
  // The reset acts through the side's trip sensing: not without DC bus 1.
  const float dc1_before = electric::dc_bus1_status;
  struct Row {
    float alt_ft, valve, dc1;
    bool reset;
  } rows[] = {{35000, 1, 1, true}, {35001, 1, 1, false}, {36000, 0.95f, 1, true}, {36000, 0.96f, 1, false}, {0, 0, 0, false}};
  for (const Row& r : rows) {
    electric::dc_bus1_status = r.dc1;
    overhead_lights.bleed_trip_latch[0] = 1.0f;
    bleed_duct_value[0] = 100.0f;
    push_button::trip_reset = 0.0f;
    static_pressure_altitude_ft = r.alt_ft;
    system_::wing_anti_ice_valve[0] = r.valve;
    click("push_button/bleed_trip_reset");
    EXPECT_EQ(overhead_lights.bleed_trip_latch[0], r.reset ? 0.0f : 1.0f) << r.alt_ft << " " << r.valve << " " << r.dc1;
  }
  electric::dc_bus1_status = dc1_before;
  system_::wing_anti_ice_valve[0] = 0.0f;
  static_pressure_altitude_ft = 0.0f;
}

// The yaw damper switch reads 2 while held on, through the host's repeated
// calls, and settles at 1 when let go.
TEST_F(PanelCommands, YawDamperHeldReadsTwoUntilLetGo) {
  toggle_switch::yaw_dumper_pos = 0.0f;
  press("toggle_switch/yaw_dumper");
  simhost::frames(2, kFrame_s);
  EXPECT_EQ(yaw_damper_switch_state, 2.0f);
  release("toggle_switch/yaw_dumper");
  EXPECT_EQ(yaw_damper_switch_state, 1.0f);
  EXPECT_EQ(toggle_switch::yaw_dumper_pos, 1.0f);
}

// The barometric knob steps 0.01 inHg (unit 0) or 0.0295 inHg (unit 1, shown
// in hPa) and stops at its ends, 0 and 40 in, never past them.
TEST_F(PanelCommands, StandbyBaroStepsStopAtTheirEnds) {
  struct Row {
    float unit;
    const char* command;
    float from, want;
  } rows[] = {
      {0, "knob/standby_alt_baro_dn", 0.005f, 0.0f}, {0, "knob/standby_alt_baro_dn", 0, 0},
      {0, "knob/standby_alt_baro_up", 39.995f, 40.0f}, {0, "knob/standby_alt_baro_up", 40, 40},
      {1, "knob/standby_alt_baro_dn", 0.031f, 0.0015f}, {1, "knob/standby_alt_baro_dn", 0.029f, 0.029f},
      {1, "knob/standby_alt_baro_up", 39.97f, 39.9995f}, {1, "knob/standby_alt_baro_up", 39.99f, 39.99f},
  };
  gauges::standby_alt_std_mode = 0.0f;
  electric::batbus_status = electric::dir_batbus_status = 1.0f;
  for (const Row& r : rows) {
    gauges::standby_alt_mode = r.unit;
    gauges::standby_altimeter_baro = r.from;
    click(r.command);
    EXPECT_FLOAT_EQ(gauges::standby_altimeter_baro, r.want) << r.command << " from " << r.from;
    EXPECT_FLOAT_EQ(knobs::standby_alt_baro, r.unit == 1 ? r.want * 33.8638816f : r.want) << r.command;
  }
  gauges::standby_alt_mode = 0.0f;
}

// Cabin light presets: the full cabin (any model family but 0 and 2) takes
// zone levels A to R, the others four scene levels; the preset number is
// set either way.
TEST_F(PanelCommands, CabinPresetsByModel) {
  using namespace tarv_cabin;
  float* const zone[18] = {&lightsA, &lightsB, &lightsC, &lightsD, &lightsE, &lightsF, &lightsG, &lightsH, &lightsI,
                           &lightsJ, &lightsK, &lightsL, &lightsM, &lightsN, &lightsO, &lightP, &lightsQ, &lightsR};
  struct Pax {
    const char* command;
    float zones[18];  // A .. R
    float scene[4];
    float number;
  } pax[] = {
      {"cabin/pax_to_landing", {1, 1, 1, 0.1f, 1, 1, 0, 1, 1, 0.3f, 0.5f, 1, 0.4f, 1, 1, 0, 1, 1}, {0.3f, 0.8f, 0.1f, 2}, 1},
      {"cabin/pax_white_bright", {1, 1, 1, 1, 3, 1, 0, 1, 1, 1, 1, 1, 1, 3, 1, 0, 1, 1}, {1, 1, 1, 5}, 0},
      {"cabin/pax_cruise", {1, 0.7f, 0.3f, 0.5f, 1, 1, 0, 1, 1, 1, 1, 0.95f, 0.1f, 2, 1, 0, 1, 1}, {0.8f, 0.1f, 0.8f, 1.8f}, 2},
      {"cabin/pax_white_medium", {1, 1, 1, 0.7f, 3, 1, 0, 1, 1, 1, 1, 1, 0.7f, 1.5f, 1, 0, 1, 1}, {1, 1, 1, 1.5f}, 3},
      {"cabin/pax_night_sleep", {0.2f, 0.5f, 1, 0.15f, 3, 1, 0, 1, 1, 1, 1, 1, 0.1f, 1, 1, 0, 1, 1}, {0.1f, 0.1f, 1, 0.5f}, 4},
  };
  electric::batbus_status = electric::main_bus1 = 1.0f;  // the entry lights' bus, the cabin lights' bus
  for (float family : {1.0f, 0.0f, 2.0f, -1.0f}) {
    model_family = family;
    const bool full = family != 0.0f && family != 2.0f;
    for (const Pax& p : pax) {
      for (float* z : zone) *z = 7.0f;
      for (float& v : pax_light_scene) v = 9.0f;
      tarx_cabin::set_pax_lighting = -1.0f;
      click(p.command);
      for (int i = 0; i < 18; ++i) EXPECT_EQ(*zone[i], full ? p.zones[i] : 7.0f) << p.command << " zone " << i;
      for (int i = 0; i < 4; ++i) EXPECT_EQ(pax_light_scene[i], full ? 9.0f : p.scene[i]) << p.command << " " << i;
      EXPECT_EQ(tarx_cabin::set_pax_lighting, p.number) << p.command;
    }
    // Entry lights: W by model; V, X, Z, ZZ on and Y off in the full cabin.
    struct Entry {
      const char* command;
      float full_w, simple_w, number;
    } entry[] = {{"cabin/entry_white_bright", 2, 3, 0}, {"cabin/entry_white_medium", 1, 1.2f, 1}};
    for (const Entry& e : entry) {
      for (float* v : {&lightsS, &lightsT, &lightsU, &lightsV, &lightsX, &lightY, &lightsZ, &lightsZZ}) *v = 7.0f;
      set_entry_lighting = -1.0f;
      click(e.command);
      EXPECT_EQ(lightsW, full ? e.full_w : e.simple_w) << e.command << " " << family;
      for (float* v : {&lightsV, &lightsX, &lightsZ, &lightsZZ}) EXPECT_EQ(*v, full ? 1.0f : 7.0f) << e.command;
      EXPECT_EQ(lightY, full ? 0.0f : 7.0f) << e.command;
      for (float* v : {&lightsS, &lightsT, &lightsU}) EXPECT_EQ(*v, 1.0f) << e.command;
      EXPECT_EQ(set_entry_lighting, e.number) << e.command;
    }
  }
  // A dark cabin takes no preset.
  electric::batbus_status = electric::main_bus1 = 0.0f;
  set_entry_lighting = -1.0f;
  tarx_cabin::set_pax_lighting = -1.0f;
  click("cabin/entry_white_medium");
  click("cabin/pax_cruise");
  EXPECT_EQ(set_entry_lighting, -1.0f);
  EXPECT_EQ(tarx_cabin::set_pax_lighting, -1.0f);
  model_family = 0.0f;
}

// The first officer's yoke trim, one frame of 0.125 (travel time 2 s): the
// column cut-out at 0.4 either way, the travel limits (nose up 0.719298, nose
// down -0.514619 flaps up or -0.970759 flaps out), the click of each rate and
// the run-on past the held value on release (0.0003 slow, 0.001 fast).
TEST_F(PanelCommands, FirstOfficerYokeTrimLimitsAndRates) {
  struct Row {
    bool down;
    uint8_t fast;
    float yoke, flaps, from, want;
  } rows[] = {
      {false, 0, 0, 0, 0, 0.125f},           {false, 1, 0, 0, 0, 0.125f},
      {true, 1, 0.39f, 0, 0, -0.125f},       {true, 0, 0.41f, 0, 0, 0},
      {false, 0, -0.39f, 0, 0, 0.125f},      {false, 0, -0.41f, 0, 0, 0},
      {false, 0, 0, 0, 0.7f, 0.719298f},     {false, 0, 0, 0, 0.72f, 0.72f},
      {true, 0, 0, 0, -0.5f, -0.514619f},    {true, 0, 0, 0, -0.52f, -0.52f},
      {true, 1, 0, 0.125f, -0.9f, -0.970759f},
      {true, 0, 0.4f, 0, 0, -0.125f},        {false, 0, -0.4f, 0, 0, 0.125f},  // at the cut-out: still moves
  };
  electric::ac_tnsbus1_status = 1.0f;
  toggle_switch::el_trim_pos = 0.0f;
  toggle_switch::stab_trim_overide_pos = 0.0f;
  elec_trim_travel_time = 2.0f;
  for (const Row& r : rows) {
    const char* command = r.down ? "flight_controls/fo_pitch_trim_down" : "flight_controls/fo_pitch_trim_up";
    elec_trim_fast_mode = r.fast;
    elec_trim_moved = 0;
    elec_trim_click_slow_timer() = elec_trim_click_fast_timer() = 0.0f;
    host_mirror.sim_cockpit2_controls_yoke_pitch_ratio = r.yoke;
    host_mirror.sim_cockpit2_controls_flap_handle_deploy_ratio = r.flaps;
    host_mirror.sim_cockpit2_controls_elevator_trim = r.from;
    trim_wheel_hold = trim_wheel_target = r.from;
    press(command);
    EXPECT_FLOAT_EQ(host_mirror.sim_cockpit2_controls_elevator_trim, r.want) << command << " from " << r.from;
    const bool moved = r.want != r.from;
    EXPECT_EQ(r.fast ? elec_trim_click_fast_timer() : elec_trim_click_slow_timer(),
              moved ? (r.fast ? 0.37f : 0.55f) : 0.0f) << command << " from " << r.from;
    release(command);
    const float run_on = !moved ? 0.0f : (r.fast ? 0.001f : 0.0003f) * (r.down ? -1.0f : 1.0f);
    EXPECT_FLOAT_EQ(trim_wheel_target, r.want + run_on) << command << " from " << r.from;
  }
  host_mirror = HostMirror{};
  elec_trim_fast_mode = 0;
}

constexpr XPLMCommandPhase kBegin = xplm_CommandBegin;
constexpr XPLMCommandPhase kEnd = xplm_CommandEnd;

// Lever steps one detent at a time, from mid-travel (animation running): a
// step is the crew's hand and ends the movement; a lever the command does
// not move stays where it is, unsnapped.
TEST(SpeedBrakeValues, OneDetentStepsFromEachSideOfTheirBounds) {
  struct Row {
    command_handler* h;
    float from, to;
  } rows[] = {
      {hook_flight_controls_speed_brakes_down_one, 0.05f, 0.0889f},
      {hook_flight_controls_speed_brakes_down_one, 0.07f, 0.667f},
      {hook_flight_controls_speed_brakes_down_one, 0.119f, 0.667f},
      {hook_flight_controls_speed_brakes_down_one, 0.5f, 0.667f},
      {hook_flight_controls_speed_brakes_down_one, 0.6655f, 0.667f},
      {hook_flight_controls_speed_brakes_down_one, 0.667f, 1.0f},
      {hook_flight_controls_speed_brakes_down_one, 0.99f, 1.0f},
      {hook_flight_controls_speed_brakes_down_one, 1.2f, 1.2f},
      {hook_flight_controls_speed_brakes_up_one, 1.0f, 0.667f},
      {hook_flight_controls_speed_brakes_up_one, 0.668f, 0.667f},
      {hook_flight_controls_speed_brakes_up_one, 0.667f, 0.0889f},
      {hook_flight_controls_speed_brakes_up_one, 0.13f, 0.0889f},
      {hook_flight_controls_speed_brakes_up_one, 0.119f, 0.0f},
      {hook_flight_controls_speed_brakes_up_one, 0.07f, 0.0f},
      {hook_flight_controls_speed_brakes_up_one, 0.05f, 0.05f},
      // The toggle turns at the flight detent, in flight and on the ground.
      {hook_flight_controls_speed_brakes_toggle, 0.66f, 1.0f},
      {hook_flight_controls_speed_brakes_toggle, 0.7f, 0.0f},
  };
  speedbrake_enable = 0;
  speedbrake_flight_detent_latch = 0;
  for (const Row& r : rows) {
    flt_ctrls::speedbrake_lever_anim = 0.5f;
    flt_ctrls::speedbrake_lever = r.from;
    r.h(nullptr, kBegin, nullptr);
    EXPECT_EQ(flt_ctrls::speedbrake_lever, r.to) << r.from;
    EXPECT_EQ(flt_ctrls::speedbrake_lever_anim, r.to == r.from ? 0.5f : 0.0f) << r.from;
  }
  flt_ctrls::speedbrake_lever_anim = 0.0f;
  flt_ctrls::speedbrake_lever = 0.0f;
}

// The pedals count as pressed when both sides of any one pair reach their
// mark: host ratios above 0.95, toe buttons and brake ramps within 0.1 of
// the side's maximum, the pedal model within 0.05. A parking brake that
// needs the pedals sets the host brake only then.
TEST(ParkingBrakeValues, PedalsPressedOnBothSidesOfEachPair) {
  struct Row {
    float host_l, host_r, toe_l, toe_r, ramp_l, ramp_r, pedal_l, pedal_r;
    bool pressed;
  } rows[] = {
      {0.96f, 0.96f, 0, 0, 0, 0, 0, 0, true},     {0.94f, 0.96f, 0, 0, 0, 0, 0, 0, false},
      {0.96f, 0.94f, 0, 0, 0, 0, 0, 0, false},    {0, 0, 0.41f, 0.51f, 0, 0, 0, 0, true},
      {0, 0, 0.39f, 0.51f, 0, 0, 0, 0, false},    {0, 0, 0.41f, 0.49f, 0, 0, 0, 0, false},
      {0, 0, 0, 0, 0.41f, 0.51f, 0, 0, true},     {0, 0, 0, 0, 0.39f, 0.51f, 0, 0, false},
      {0, 0, 0, 0, 0.41f, 0.49f, 0, 0, false},    {0, 0, 0, 0, 0, 0, 0.46f, 0.56f, true},
      {0, 0, 0, 0, 0, 0, 0.44f, 0.56f, false},    {0, 0, 0, 0, 0, 0, 0.46f, 0.54f, false},
      {0.96f, 0, 0, 0.51f, 0, 0, 0, 0, false},  // one side of each of two pairs is no pair
  };
  script_mirror.zuvadud_D738_parkbrake_set = 1.0f;
  for (const Row& r : rows) {
    BrakeCommandState& b = brake_commands;
    b = BrakeCommandState{};
    b.toe_brake_max_left = 0.5f;  // the two sides differ, so a swapped side shows
    b.toe_brake_max_right = 0.6f;
    b.toe_brake_left = r.toe_l;
    b.toe_brake_right = r.toe_r;
    b.brake_cmd_left = r.ramp_l;
    b.brake_cmd_right = r.ramp_r;
    b.pedal_brake_left = r.pedal_l;
    b.pedal_brake_right = r.pedal_r;
    host_mirror.sim_cockpit2_controls_left_brake_ratio = r.host_l;
    host_mirror.sim_cockpit2_controls_right_brake_ratio = r.host_r;
    host_mirror.sim_cockpit2_controls_parking_brake_ratio = 0.0f;
    cockpit::parking_brake_pos = 0.0f;
    cmd_push_button_park_brake_on_off(nullptr, kBegin, nullptr);
    EXPECT_EQ(host_mirror.sim_cockpit2_controls_parking_brake_ratio, r.pressed ? 1.0f : 0.0f)
        << r.host_l << " " << r.toe_l << " " << r.ramp_l << " " << r.pedal_l;
    cmd_push_button_park_brake_on_off(nullptr, kEnd, nullptr);
    EXPECT_EQ(cockpit::parking_brake_pos, r.pressed ? 1.0f : 0.0f);
  }
  script_mirror.zuvadud_D738_parkbrake_set = 0.0f;
  brake_commands = BrakeCommandState{};
  host_mirror = HostMirror{};
  cockpit::parking_brake_pos = 0.0f;
}

}  // namespace
