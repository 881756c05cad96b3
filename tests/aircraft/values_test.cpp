// The cockpit a new flight starts in, value by value: every listed value is
// first set to a marker, then the first-frame block must leave the value of
// the start-up state's column (the marker where a state leaves it alone).
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "aircraft/startup_state.h"
#include "alerting/aural_cues.h"
#include "alerting/tcas_values.h"
#include "bind_for_test.h"
#include "core/binding.h"
#include "core/command_refs.h"
#include "commands/registration.h"
#include "core/frame_values.h"
#include "core/preprocess_values.h"
#include "core/util.h"
#include "core/variant.h"
#include "engines/engine_values.h"
#include "host.h"
#include "systems/air/air_values.h"
#include "systems/air/pressurisation.h"
#include "systems/annunciators/annunciator_values.h"
#include "systems/apu_start/apu_start_state.h"
#include "systems/gear_brakes/autobrake_state.h"
#include "systems/instruments/clocks.h"
#include "systems/lights/cabin_lights.h"
#include "systems/lights/lights.h"
#include "systems/electrical/electric_values.h"
#include "systems/fire/fire_values.h"
#include "systems/flight_controls/flight_control_values.h"
#include "systems/fuel/fuel_values.h"
#include "systems/hydraulics/hydraulic_values.h"
#include "systems/ice_rain/ice_values.h"
#include "systems/instruments/clock_values.h"
#include "systems/instruments/instrument_values.h"
#include "systems/lights/cabin_light_values.h"
#include "systems/switches/switch_memory.h"
#include "systems/switches/switch_targets.h"
#include "systems/switches/switch_values.h"
#include "systems/system_state.h"

namespace {

constexpr float K = 7.0f;  // the marker: "left as it was"

class StartupValues : public ::testing::Test {
 protected:
  void SetUp() override {
    simhost::reset();
    rebind_datarefs();
    host_mirror = HostMirror{};
    script_mirror = ScriptMirror{};
    on_ground = 1;
    model_family = 0.0f;
    variant_index = 0;
  }
  void TearDown() override { simhost::reset(); }
  static void start(int mode, float option) {
    host_mirror.sim_operation_prefs_startup_running = mode;
    script_mirror.zuvadud_D738_fms_engine_no_running_state = option;
  }
};

// Columns: cold and dark, powered (option 0.5: no yaw damper step), engines running.
TEST_F(StartupValues, SwitchSetOfEachState) {
  struct Row {
    float* v;
    float cold, powered, running;
  };
  const Row rows[] = {
      {&spring_toggle_switch::APU_start_pos, 0, 0, 0},
      {&toggle_switch::hydro_pumps1_pos, 1, 1, 1},
      {&toggle_switch::hydro_pumps2_pos, 1, 1, 1},
      {&toggle_switch::electric_hydro_pumps1_pos, 0, 1, 1},
      {&toggle_switch::electric_hydro_pumps2_pos, 0, 1, 1},
      {&one_way_switch::pax_oxy_pos, 0, 0, 0},
      {&one_way_switch::drive_disconnect1_pos, 0, 0, 0},
      {&one_way_switch::drive_disconnect2_pos, 0, 0, 0},
      {&toggle_switch::bleed_air_1_pos, 1, 1, 1},
      {&toggle_switch::bleed_air_2_pos, 1, 1, 1},
      {&toggle_switch::bleed_air_apu_pos, 0, 0, 0},
      {&knob::transponder_pos, 1, 1, 1},
      {&toggle_switch::yaw_dumper_pos, 0, 0, 1},
      {&yaw_damper_switch_state, 0, 0, 1},
      {&engine::starter1_pos, 1, 1, 1},
      {&engine::starter2_pos, 1, 1, 1},
      {&engine::starter1_pos2, 1, 1, 1},
      {&engine::starter2_pos2, 1, 1, 1},
      {&controls::gear_handle_down, 0.5f, 0.5f, 0.5f},  // the host's handle is up
      {&lever_commands.gear_up_command, 1, 1, 1},
      {&air::l_recirc_fan_pos, 1, 1, 1},
      {&air::r_recirc_fan_pos, 1, 1, 1},
      {&air::trim_air_pos, 0, 0, 1},
      {&air::l_pack_pos, 0, 1, 1},
      {&air::r_pack_pos, 0, 1, 1},
      {&air::isolation_valve_pos, 2, 1, 1},
      {&air::isolation_bleed_valve_pos, K, 1, 0},
      {&toggle_switch::capt_probes_pos, 0, 0, 1},
      {&toggle_switch::fo_probes_pos, 0, 0, 1},
      {&fuel::fuel_tank_pos_lft1, 0, 1, 1},
      {&fuel::fuel_tank_pos_rgt2, 0, 1, 1},
      {&engine::tank_l1_status, 0, 0, 1},
      {&engine::tank_c2_status, 0, 0, 1},
      {&engine::tank_r_driven_status, 0, 0, 1},
      {&engine::fuel_selector_l, 1, 1, 1},
      {&engine::fuel_selector_r, 1, 1, 1},
      {&hydraulic::standby_pressure, 0, 0, 2700},
      {&hydraulic::pressure, 0, 0, K},
      {&hydraulic::A_pressure, K, K, 2700},
      {&hydraulic::B_pressure, K, K, 2700},
      {&hydraulic::standby_status, 0, 0, 1},
      {&hydraulic::A_status, 0, 0, 1},
      {&hydraulic::B_status, 0, 0, 1},
      {&hydraulic::A_rudder, K, K, 1},
      {&hydraulic::B_rudder, K, K, 1},
      {&systems::mach_test_enable, 1, 1, 1},
      {&travel_targets.flt_dk_door, 1, 1, 0},
      {&door::flt_dk_door_ratio, 1, 1, 0},
      {&travel_targets.capt_window, 0, 0, 0},
      {&door::fo_window_ratio, 0, 0, 0},
      {&elec_bus_state.capt_displays_ready, 0, 0, 1},
      {&elec_bus_state.fo_displays_ready, 0, 0, 1},
      {&elec_bus_state.isfd_ready, 0, 0, 1},
      {&elec_bus_state.isfd_countdown, 96, 96, 0},
      {&elec_bus_state.flags[0], 1, 1, 0},
      {&elec_bus_state.flags[1], 1, 1, 0},
      {&elec_bus_state.more_flags[1], 0, 0, 0},
      // The first-frame block's own settings by state.
      {&ice::l_side_temp, 3.5f, 20, 20},  // cold: the outside air, at least 1 deg C
      {&ice::r_fwd_temp, 3.5f, 20, 20},
      {&ice::window_heat_l_side_pos, 0, 1, 1},
      {&ice::window_heat_r_fwd_pos, 0, 1, 1},
      {&cover_target[2], 1, 0, 0},
      {&button_switch::cover_position[9], 1, 0, 0},
      {&electric::battery_pos, 0, 1, 1},
      {&toggle_switch::emer_exit_lights, 0, 1, 1},
      {&cabin_temperatures.values_degc[0], 3.5f, 3.5f, 25},
      {&cabin_temperatures.values_degc[1], 3.5f, 3.5f, 27},
      {&cabin_temperatures.values_degc[4], 3.5f, 3.5f, 27},
      {&cabin_temperatures.values_degc[6], 3.5f, 3.5f, 3.5f},
  };
  struct IntRow {
    int32_t* v;
    int cold, powered, running;
  };
  const IntRow ints[] = {
      {&host_mirror.sim_cockpit2_fuel_fuel_tank_pump_on[0], 0, 0, 1},
      {&host_mirror.sim_cockpit2_fuel_fuel_tank_pump_on[2], 0, 0, 1},
      {&host_mirror.sim_cockpit2_switches_electric_hydraulic_pump_on, 0, 0, 7},
      {&host_mirror.sim_cockpit2_switches_electric_hydraulic_pump2_on, 0, 0, 7},
      {&host_mirror.sim_cockpit2_electrical_APU_generator_on, 0, 0, 0},
      {&host_mirror.sim_cockpit2_switches_beacon_on, 0, 0, 1},
      {&host_mirror.sim_cockpit2_switches_avionics_power_on, 1, 1, 1},
      {&host_mirror.sim_cockpit2_radios_actuators_transponder_mode, 1, 1, 1},
      {&host_mirror.sim_cockpit2_switches_yaw_damper_on, 0, 0, 1},
      {&host_mirror.sim_cockpit2_electrical_cross_tie, 1, 1, 1},
      {&host_mirror.sim_cockpit2_electrical_battery_on[1], 0, 1, 1},
  };
  struct State {
    int mode;
    float option;
    const char* name;
  };
  const State states[] = {{0, 0.0f, "cold"}, {0, 0.5f, "powered"}, {1, 0.0f, "running"}};
  for (int s = 0; s < 3; ++s) {
    SetUp();
    start(states[s].mode, states[s].option);
    host_mirror.sim_cockpit2_temperature_outside_air_LE_temp_degc = 3.5f;
    for (const Row& r : rows) *r.v = K;
    for (const IntRow& r : ints) *r.v = 7;
    host_mirror.sim_cockpit2_switches_landing_lights_switch[3] = K;
    first_frame_block();
    for (const Row& r : rows) {
      const float want = s == 0 ? r.cold : (s == 1 ? r.powered : r.running);
      EXPECT_FLOAT_EQ(*r.v, want) << states[s].name << " row " << (&r - rows);
    }
    for (const IntRow& r : ints) {
      const int want = s == 0 ? r.cold : (s == 1 ? r.powered : r.running);
      EXPECT_EQ(*r.v, want) << states[s].name << " int row " << (&r - ints);
    }
    EXPECT_EQ(host_mirror.sim_cockpit2_switches_landing_lights_switch[3], s == 2 ? 0.0f : K) << states[s].name;
    EXPECT_EQ(simhost::get_int("sim/cockpit2/switches/beacon_on"), s == 2 ? 1 : 0) << states[s].name;
  }
}

// The same in every state (checked in cold and dark and with engines running).
TEST_F(StartupValues, CommonSettings) {
  struct Row {
    float* v;
    float want;
  };
  const Row rows[] = {
      {&toggle_switch::eng_start_source, 1},
      {&air::cont_cab_temp_rheostat, 0.5f},
      {&air::fwd_cab_temp_rheostat, 0.5f},
      {&air::aft_cab_temp_rheostat, 0.5f},
      {&air::cont_cab_temp_rheostat_700, 0.5f},
      {&air::pass_cab_temp_rheostat_700, 0.5f},
      {&air::temp_ctrl_700, 0},
      {&air::mix_valve1_700, 0},
      {&air::mix_valve2_700, 0},
      {&toggle_switch::spd_ref_adjust, 100},
      {&electrical::apu_gen1_pos, 0},
      {&electrical::apu_gen2_pos, 0},
      {&autobrake::autobrake_pos, 1},
      {&autobrake::autobrake_RTO_test, 0},
      {&autobrake::autobrake_RTO_arm, 0},
      {&autobrake::autobrake_arm, 0},
      {&autobrake::autobrake_disarm, 0},
      {&systems::brake_temp_r_out, 0.14f},
      {&systems::brake_temp_l_in, 0.14f},
      {&systems::brake_temp_left_out, 0.1f},
      {&systems::brake_temp_right_out, 0.1f},
      {&toggle_switch::air_temp_source, 1},
      {&EFIS::tcas_ai_show[0], 1},
      {&EFIS::tcas_ai_show[17], 1},
      {&EFIS::tcas_ai_show[18], K},  // only elements 0-17
      {&TCAS::test2, 1},
      {&electrical::apu_power_bus1, 0},
      {&electrical::apu_power_bus2, 0},
      {&alert::below_gs_disable, 0},
      {&alert::alt_horn_cut_disable, 0},
      {&pfd::vspeed_man_vr, 80},
      {&flt_ctr_A_cover_target, 0},
      {&man_gear_cover_target, 0},
      {&toggle_switch::gpws_flap_pos, 0},
      {&toggle_switch::gpws_xraas_pos, 0},
      {&cockpit::xraas_installed, 0},
      {&systems_memory.minus_one[0], -1},
      {&cockpit::zone_temp, 80},
      {&switches::flt_ctr_A_pos, 1},
      {&switches::flt_ctr_B_pos, 1},
      {&EFIS::tcas_off_show_fo, 0},
      {&cockpit::fuel_flow_used_show, 0},
      {&cockpit::outflow_valve, 1},  // parked: open
      {&cockpit::ram_door2, 0},
      {&electric::instrument_brightness[0], 1},
      {&electric::instrument_brightness[5], 1},
      {&electric::instrument_brightness[20], 1},
      {&electric::instrument_brightness[24], 0.8f},
      {&electric::instrument_brightness[26], 0.8f},
      {&cockpit::tcas_test_test, 0},
      {&fmod_::flap_sound, 0},
      {&toggle_switch::adf_ant1, 0},
      {&toggle_switch::adf_ant2, 0},
      {&toggle_switch::off_on1, 1},
      {&toggle_switch::off_on2, 1},
      {&electric::panel_brightness[2], 0.2f},
      {&electric::panel_brightness[3], 0.2f},
      {&gauges::standby_altimeter_baro, 29.92f},
      {&gauges::standby_alt_std_mode, 0},
      {&gauges::standby_altitude_ft, 0},
      {&knobs::standby_alt_baro, 29.92f},  // inches unless the scripts use hPa
      {&systems::lost_hyd_B, 0},
      {&flt_ctrls::speedbrake_lever, 0},
      {&systems_memory.trim_constants[0], 42.75f},
      {&systems_memory.trim_constants[1], 30},
      {&flt_ctrls::speedbrake_lever_anim, 0},
      {&starter1_knob_target, 1},
      {&starter2_knob_target, 1},
      {&travel_targets.eng1_start_turn, 1},
      {&travel_targets.eng2_start_turn, 1},
      {&autobrake_knob_target, 1},
      {&autobrake_knob_anim, 1},
      {&system_::oxy_mask_capt, 0},
      {&system_::oxy_mask_fo, 0},
      {&host_mirror.sim_cockpit2_oxygen_indicators_pass_oxygenator_min_rem, 10},
      {&cockpit::fuel_flow_used1, 0},
      {&effect::vortex, 1},
      {&effect::vortex2, 1},
      {&switch_::capt_trim_pos, 0.515f},
      {&switch_::fo_trim_pos, 0.515f},
      {&systems_memory.hyd_host_state_a, 9},
      {&systems_memory.hyd_host_state_b, 9},
      {&systems_memory.ninety_nine, 99},
      {&engine::fuel_temp, -8},  // the outside air
      {&engine::fuel_temp_real, -8},
      {&display::isfd_flags, 0},
      {&autoland::fail_status, 0},
      {&autoland::fail_flag, 0},
      {&display::nd_refresh_fo, 0},
      // First-frame block.
      {&ice::eng1_heat_pos, 0},
      {&ice::wing_heat_pos, 0},
      {&ice::monster_icing, 0},
      {&fire::engine01_02L_ext_bottle_psi, 600},
      {&fire::engine01_02R_ext_bottle_psi, 600},
      {&fire::apu_ext_bottle_psi, 600},
      {&fire::apu_was_fire, 0},
      {&clock_::captain_chrono_mode, -1},  // the chronograph mode setting, -1 until set
      {&clock_::chrono_display_mode_capt, 2},
      {&clock_::chrono_display_mode_fo, 2},
      {&clock_::clock_display_mode_capt, 1},
      {&clock_::clock_display_mode_fo, 3},
      {&clock_::captain_et, 0},
      {&clock_state.chrono_brightness_capt, 0.5f},
      {&clock_state.chrono_brightness_fo, 0.5f},
      {&electric::standby_bat_pos, 1},
      {&switches::nose_steer_pos, 1},
      {&lights_state.light_power_factor_a, 1},
      {&lights_state.light_power_factor_b, 1},
      {&lights_state.light_power_gap_a, 0},
      {&air::capt_eyeball_vent_x_pos, 0},
      {&air::jump_eyeball_vent_y_pos, 0},
      {&tarv_cabin::lightsW, 3},
      {&tarv_cabin::lightsU, 1},
      {&tarv_cabin::lightsS, 1},
      {&pax_light_scene[2], 1},
      {&pax_light_scene[3], 5},
      {&toggle_switch::elt, 0},
      {&toggle_switch::vcr, 0},
      {&engine::spar1_valve, 0},
      {&engine::eng2_valve, 0},
      {&system_::fuel_press_l1, 1},
      {&system_::fuel_press_r2, 1},
      {&audio::capt_mic_button1, 1},
      {&audio::fo_mic_button2, 1},
      {&audio::obs_mic_button6, 1},
      {&audio::capt_mic_button2, 0},
      {&host_mirror.sim_cockpit2_switches_generic_lights_switch[13], 1},
      {&host_mirror.sim_cockpit2_switches_generic_lights_switch[14], 1},
      {&host_mirror.sim_cockpit_pressure_cabin_vvi_set_m_msec, 500},
  };
  for (int mode : {0, 1}) {
    SetUp();
    start(mode, 0.0f);
    host_mirror.sim_cockpit2_temperature_outside_air_LE_temp_degc = -8.0f;
    for (const Row& r : rows) *r.v = K;
    first_frame_block();
    for (const Row& r : rows) EXPECT_FLOAT_EQ(*r.v, r.want) << "mode " << mode << " row " << (&r - rows);
    EXPECT_EQ(host_mirror.sim_cockpit2_radios_actuators_adf1_power, 2);
    EXPECT_EQ(host_mirror.sim_cockpit2_radios_actuators_adf2_power, 2);
    EXPECT_EQ(simhost::get_int("sim/cockpit2/radios/actuators/adf1_power"), 2);
    EXPECT_FLOAT_EQ(simhost::get_float("sim/aircraft/controls/acf_elev_trim_time"), 30.0f);
    EXPECT_EQ(simhost::get_int("sim/operation/override/override_pressurization"), 1);
  }
}

// Values that follow an input: the bleed trip temperature (outside air, 0 to
// 40), the standby altimeter in hPa, the cabin lighting of the other family,
// the gear handle, the left recirculation fan and the cabin at the field's
// pressure altitude.
TEST_F(StartupValues, ValuesThatFollowTheirInputs) {
  struct Row {
    float oat, hpa, family;
    int variant, gear_handle, mode, ground;
    double baro_inhg;
    float trip, standby_baro, lights_a, lights_e, lights_g, gear_down, l_recirc, cabin_ft;
  };
  const float kept = 1234.0f;
  const Row rows[] = {
      {50, 0, 0, 0, 1, 0, 1, 29.92, 40, 29.92f, K, K, K, 1, 1, 0},
      {30, 1, 1, 2, 0, 0, 1, 25.0, 30, 1013.21f, 1, 3, 0, 0.5f, 0, 4887},
      {-1, 0, 1.5f, 0, 0, 1, 1, 25.0, 0, 29.92f, 1, 3, 0, 0.5f, 0, 4887},
      {0, 0, 0, 3, 0, 1, 0, 25.0, 0, 29.92f, K, K, K, 0.5f, 0, 7939},  // aloft: the scheduled cabin
      {0, 0, 0, 1, 0, 2, 1, 25.0, 0, 29.92f, K, K, K, K, K, kept},  // no mode block
  };
  for (const Row& r : rows) {
    SetUp();
    start(r.mode, 1.0f);
    on_ground = r.ground;
    host_mirror.sim_cockpit2_temperature_outside_air_temp_degc = r.oat;
    script_mirror.zuvadud_D738_fms_baro_in_hpa = r.hpa;
    model_family = r.family;
    variant_index = r.variant;
    host_mirror.sim_cockpit_switches_gear_handle_status = r.gear_handle;
    host_mirror.sim_weather_barometer_current_inhg = static_cast<float>(r.baro_inhg);
    host_mirror.sim_cockpit_pressure_cabin_altitude_actual_m_msl = kept;
    host_mirror.sim_cockpit_pressure_max_allowable_altitude = 37000.0f;
    static_pressure_altitude_ft = 37000.0f;  // FL370, FLT ALT 37000: the cruise cabin
    tarv_cabin::lightsA = tarv_cabin::lightsE = tarv_cabin::lightsG = K;
    controls::gear_handle_down = air::l_recirc_fan_pos = K;
    first_frame_block();
    const auto at = [&r] { return std::to_string(r.oat) + " mode " + std::to_string(r.mode); };
    EXPECT_FLOAT_EQ(systems_memory.bleed_temp_degc[0], r.trip) << at();
    EXPECT_FLOAT_EQ(systems_memory.bleed_temp_degc[1], r.trip) << at();
    EXPECT_FLOAT_EQ(knobs::standby_alt_baro, r.standby_baro) << at();
    EXPECT_EQ(gauges::standby_alt_mode, r.hpa) << at();
    EXPECT_EQ(tarv_cabin::lightsA, r.lights_a) << at();
    EXPECT_EQ(tarv_cabin::lightsE, r.lights_e) << at();
    EXPECT_EQ(tarv_cabin::lightsG, r.lights_g) << at();
    EXPECT_EQ(controls::gear_handle_down, r.gear_down) << at();
    EXPECT_EQ(air::l_recirc_fan_pos, r.l_recirc) << at();
    EXPECT_NEAR(cockpit::cabin_altitude_actual, r.cabin_ft, 10.0f) << at();
  }
}

// Outside values become indices through one conversion: whole part toward
// zero, held to the range, NaN at the low end.
TEST(IndexConversion, WholePartHeldToTheRange) {
  struct Row {
    float v;
    int32_t lo, hi, want;
  };
  const Row rows[] = {
      {std::numeric_limits<float>::quiet_NaN(), 0, 9, 0}, {-1.0f, 0, 9, 0}, {3.7f, 0, 9, 3}, {9.0f, 0, 9, 9},
      {12.0f, 0, 9, 9}, {-2.5f, -5, 5, -2}, {1e10f, 0, 100, 100}, {-1e10f, -3, 100, -3},
  };
  for (const Row& r : rows) EXPECT_EQ(trunc_clamped(r.v, r.lo, r.hi), r.want) << r.v;
}

// Headings stay in [0, 360): a turn that lands on north reads 0, never 360.
TEST(HeadingTurn, StaysWithinTheCircle) {
  frame_time = 0.125f;
  struct Row {
    float heading, target, gain, want;
  };
  const Row rows[] = {{0, 0, 1, 0}, {10, 0, 100, 0}, {350, 10, 1, 352.5f}, {5, 355, 1, 3.75f},
                      {0.1f, 359, 1, 359.9625f}, {359, 10, 100, 10}};
  for (const Row& r : rows) EXPECT_NEAR(turn_toward_heading(r.heading, r.target, r.gain), r.want, 1e-4f) << r.heading;
}

// Every host command the systems issue is looked up, the first and the last
// included; an index past the table is no command.
TEST_F(StartupValues, HostCommandTableEnds) {
  register_commands();
  EXPECT_NE(host_command(static_cast<HostCmd>(0)), nullptr);
  EXPECT_NE(host_command(static_cast<HostCmd>(host_command_count - 1)), nullptr);
  EXPECT_EQ(host_command(static_cast<HostCmd>(host_command_count)), nullptr);
  EXPECT_EQ(host_command(static_cast<HostCmd>(-1)), nullptr);
}

}  // namespace
