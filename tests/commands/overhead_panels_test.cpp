// Electrical, exterior light, cabin, display source, clock, fire protection
// and window heat handlers called directly, table-driven where the same
// rule runs over several start positions.
#include <gtest/gtest.h>

#include "alerting/gpws_test_state.h"
#include "commands/command_handlers.h"
#include "commands/command_hold.h"
#include "commands/command_settings.h"
#include "core/binding.h"
#include "core/frame_values.h"
#include "core/preprocess_values.h"
#include "core/variant.h"
#include "systems/ice_rain/anti_ice.h"
#include "systems/annunciators/annunciators_panels.h"
#include "systems/lights/cabin_light_values.h"
#include "systems/lights/cabin_lights.h"
#include "systems/instruments/clock_values.h"
#include "systems/instruments/clocks.h"
#include "systems/delay_timers.h"
#include "systems/electrical/electric_values.h"
#include "systems/fire/fire.h"
#include "systems/fire/fire_values.h"
#include "systems/ice_rain/ice_values.h"
#include "systems/instruments/instrument_values.h"
#include "systems/lights/lights.h"
#include "systems/switches/switch_targets.h"
#include "systems/switches/switch_values.h"
#include "systems/ice_rain/window_heat_state.h"

namespace {

constexpr XPLMCommandPhase kBegin = xplm_CommandBegin;
constexpr XPLMCommandPhase kHeld = xplm_CommandContinue;
constexpr XPLMCommandPhase kEnd = xplm_CommandEnd;

void press(command_handler* h) {
  h(nullptr, kBegin, nullptr);
  h(nullptr, kEnd, nullptr);
}

// ---- electrical panel ------------------------------------------------------

TEST(ElectricalPanel, LadderAndStepSwitchesMoveOnlyFromWhatTheyExpect) {
  struct Case {
    command_handler* h;
    float* pos;
    float from, to;
  } cases[] = {
      {cmd_knob_ac_power_up, &knob::ac_power, 6, 6},     {cmd_knob_ac_power_dn, &knob::ac_power, 0, 0},
      {cmd_knob_ac_power_up, &knob::ac_power, 2.5f, 2.5f}, {cmd_knob_ac_power_dn, &knob::ac_power, 2.5f, 2.5f},
      {cmd_knob_ac_power_up, &knob::ac_power, 3, 4},     {cmd_knob_ac_power_dn, &knob::ac_power, 1, 0},
      {cmd_switch_battery_dn, &electric::battery_pos, 1, 1}, {cmd_switch_battery_dn, &electric::battery_pos, 0, 1},
      {cmd_switch_battery_up, &electric::battery_pos, 0, 0}, {cmd_switch_battery_up, &electric::battery_pos, 1, 0},
      {cmd_switch_standby_bat_left, &electric::standby_bat_pos, -1, -1},
      {cmd_switch_standby_bat_left, &electric::standby_bat_pos, 1, 0},
      {cmd_switch_standby_bat_right, &electric::standby_bat_pos, 0, 1},
      {cmd_switch_standby_bat_off, &electric::standby_bat_pos, -1, 0},
      {cmd_one_way_switch_drive_disconnect2, &one_way_switch::drive_disconnect2_pos, 0, 1},
      {cmd_one_way_switch_drive_disconnect2_off, &one_way_switch::drive_disconnect2_pos, 1, 0},
  };
  button_switch::cover_position[2] = button_switch::cover_position[3] = 1.0f;  // the guards lifted
  for (const Case& c : cases) {
    *c.pos = c.from;
    press(c.h);
    EXPECT_EQ(*c.pos, c.to) << c.from;
  }
}

TEST(ElectricalPanel, SourceSwitchesShowHeldAndConnectOnlyWhenAvailable) {
  electric::batbus_status = 0.0f;
  electric::gen1_available = 0.0f;
  electrical::apu_power_bus1 = 1.0f;
  cmd_toggle_switch_gen1_dn(nullptr, kBegin, nullptr);
  EXPECT_EQ(electrical::gen1_pos, 1.0f);
  EXPECT_EQ(electrical::apu_power_bus1, 1.0f) << "generator unavailable: nothing connects";
  cmd_toggle_switch_gen1_dn(nullptr, kEnd, nullptr);
  EXPECT_EQ(electrical::gen1_pos, 0.0f);
  electric::gen1_available = 1.0f;
  press(cmd_toggle_switch_gen1_dn);
  EXPECT_EQ(electrical::apu_power_bus1, 0.0f) << "battery bus unpowered: the generator connects all the same";
  electric::batbus_status = 1.0f;

  electrical::apu_bus_enable = 1.0f;
  host_mirror.sim_cockpit2_electrical_APU_generator_on = 0;
  cmd_toggle_switch_apu_gen2_dn(nullptr, kBegin, nullptr);
  EXPECT_EQ(electrical::apu_gen2_pos, 1.0f);
  EXPECT_EQ(electrical::apu_power_bus2, 1.0f);
  EXPECT_EQ(host_mirror.sim_cockpit2_electrical_APU_generator_on, 1);
  cmd_toggle_switch_apu_gen2_dn(nullptr, kEnd, nullptr);
  press(cmd_toggle_switch_apu_gen2_up);
  EXPECT_EQ(electrical::apu_power_bus2, 0.0f);

  cockpit::gpu_available = 1.0f;
  electrical::apu_power_bus1 = electrical::apu_power_bus2 = 1.0f;
  press(cmd_toggle_switch_gpu_dn);
  EXPECT_EQ(electrical::apu_power_bus1, 0.0f);
  EXPECT_EQ(electrical::apu_power_bus2, 0.0f);
}

TEST(ElectricalPanel, FullOffOpensTheCoverAndCutsOnlyItsBattery) {
  host_mirror.sim_cockpit2_electrical_battery_on[0] = 7;
  host_mirror.sim_cockpit2_electrical_battery_on[1] = 1;
  host_mirror.sim_cockpit2_electrical_battery_on[2] = 1;
  electric::battery_pos = 1.0f;
  button_switch::cover_position[2] = 0.0f;
  cover_target[2] = 0.0f;
  press(cmd_push_button_batt_full_off);
  EXPECT_EQ(electric::battery_pos, 0.0f);
  EXPECT_EQ(button_switch::cover_position[2], 1.0f);
  EXPECT_EQ(cover_target[2], 1.0f);
  EXPECT_EQ(host_mirror.sim_cockpit2_electrical_battery_on[0], 7);
  EXPECT_EQ(host_mirror.sim_cockpit2_electrical_battery_on[1], 0);
  EXPECT_EQ(host_mirror.sim_cockpit2_electrical_battery_on[2], 1);
  press(cmd_push_button_batt_std_full_off);
  EXPECT_EQ(host_mirror.sim_cockpit2_electrical_battery_on[2], 0);
  EXPECT_EQ(cover_target[3], 1.0f);
}

// A guard down on its switch keeps the switch's own commands from it; lifted
// to where it no longer holds the switch, the command moves it.
TEST(GuardedSwitches, CommandsDoNothingUnderAClosedGuard) {
  float* cover = button_switch::cover_position;
  struct Case {
    const char* what;
    command_handler* h;
    float* guard;
    float* pos;
    float from;
  } cases[] = {
      {"battery_up", cmd_switch_battery_up, &cover[2], &electric::battery_pos, 1},
      {"standby_bat_off", cmd_switch_standby_bat_off, &cover[3], &electric::standby_bat_pos, 1},
      {"standby_bat_left", cmd_switch_standby_bat_left, &cover[3], &electric::standby_bat_pos, 1},
      {"pax_oxy_on", cmd_one_way_switch_pax_oxy_on, &cover[7], &one_way_switch::pax_oxy_pos, 0},
      {"elt_on", cmd_toggle_switch_elt_on, &cover[8], &toggle_switch::elt, 0},
      {"emer_exit_lights_up", cmd_toggle_switch_emer_exit_lights_up, &cover[9], &toggle_switch::emer_exit_lights, 1},
      {"emer_exit_lights_dn", cmd_toggle_switch_emer_exit_lights_dn, &cover[9], &toggle_switch::emer_exit_lights, 1},
      {"nose_steer_alt", cmd_switch_nose_steer_alt, &cover[10], &switches::nose_steer_pos, 1},
      {"flt_ctr_A_up", cmd_toggle_switch_flt_ctr_A_up, &switches::flt_ctr_A_cover_pos, &switches::flt_ctr_A_pos, 1},
      {"flt_ctr_B_up", cmd_toggle_switch_flt_ctr_B_up, &switches::flt_ctr_B_cover_pos, &switches::flt_ctr_B_pos, 1},
      {"spoiler_B", cmd_toggle_switch_spoiler_B, &switches::spoiler_B_cover_pos, &switches::spoiler_B_pos, 0},
      {"alt_flaps", cmd_toggle_switch_alt_flaps, &switches::alt_flaps_cover_pos, &switches::alt_flaps_pos, 0},
      {"gpws_gear", cmd_toggle_switch_gpws_gear, &toggle_switch::gpws_gear_cover_pos, &toggle_switch::gpws_gear_pos, 0},
      {"gpws_terr", cmd_toggle_switch_gpws_terr, &toggle_switch::gpws_terr_cover_pos, &toggle_switch::gpws_terr_pos, 0},
      {"stab_trim_overide", cmd_toggle_switch_stab_trim_overide, &toggle_switch::stab_trim_overide_cover_pos,
       &toggle_switch::stab_trim_overide_pos, 0},
  };
  for (const Case& c : cases) {
    *c.pos = c.from;
    *c.guard = 0.29f;
    press(c.h);
    EXPECT_EQ(*c.pos, c.from) << c.what;
    *c.guard = 0.3f;
    press(c.h);
    EXPECT_NE(*c.pos, c.from) << c.what;
    *c.guard = 1.0f;
  }
  press(cmd_one_way_switch_pax_oxy_norm);  // the masks stowed again
}

// ---- exterior lights -------------------------------------------------------

class LandingLights : public ::testing::Test {
 protected:
  void SetUp() override {
    switch_::land_lights_left_pos = switch_::land_lights_right_pos = 0.0f;
    switch_::land_lights_ret_left_pos = switch_::land_lights_ret_right_pos = 0.0f;
    spring_switch::landing_lights_all_on = 0.0f;
    lights_state.fixed_landing_left_on = lights_state.fixed_landing_right_on = 0.0f;
    lights_state.retractable_landing_left_on = lights_state.retractable_landing_right_on = 0.0f;
  }
  static bool all_on() {
    return switch_::land_lights_ret_left_pos == 2.0f && switch_::land_lights_ret_right_pos == 2.0f &&
           switch_::land_lights_left_pos == 1.0f && switch_::land_lights_right_pos == 1.0f &&
           lights_state.fixed_landing_left_on == 1.0f && lights_state.retractable_landing_left_on == 1.0f &&
           lights_state.retractable_landing_right_on == 1.0f && lights_state.fixed_landing_right_on == 1.0f;
  }
};

TEST_F(LandingLights, RetractableDirectPositionsSetTheLampAsTheStepsDo) {
  press(cmd_switch_land_lights_ret_left_on);
  EXPECT_EQ(switch_::land_lights_ret_left_pos, 2.0f);
  EXPECT_EQ(lights_state.retractable_landing_left_on, 1.0f);
  press(cmd_switch_land_lights_ret_left_dn);
  EXPECT_EQ(switch_::land_lights_ret_left_pos, 2.0f) << "already at its end";
  press(cmd_switch_land_lights_ret_left_up);
  EXPECT_EQ(switch_::land_lights_ret_left_pos, 1.0f);
  EXPECT_EQ(lights_state.retractable_landing_left_on, 0.0f);
  press(cmd_switch_land_lights_ret_right_dn);
  press(cmd_switch_land_lights_ret_right_dn);
  EXPECT_EQ(lights_state.retractable_landing_right_on, 1.0f);
  press(cmd_switch_land_lights_ret_right_ret);
  EXPECT_EQ(switch_::land_lights_ret_right_pos, 1.0f);
  EXPECT_EQ(lights_state.retractable_landing_right_on, 0.0f) << "extended but dark";
}

TEST_F(LandingLights, SpringSwitchTurnsAllOnAndReleaseLeavesThemOn) {
  cmd_spring_switch_landing_lights_all(nullptr, kBegin, nullptr);
  EXPECT_TRUE(all_on());
  switch_::land_lights_left_pos = 0.0f;
  cmd_spring_switch_landing_lights_all(nullptr, kBegin, nullptr);
  EXPECT_EQ(switch_::land_lights_left_pos, 0.0f) << "a second begin while held changes nothing";
  cmd_spring_switch_landing_lights_all(nullptr, kEnd, nullptr);
  EXPECT_EQ(spring_switch::landing_lights_all_on, 0.0f);
  EXPECT_EQ(switch_::land_lights_right_pos, 1.0f);
}

TEST_F(LandingLights, HostCommandsTestTheLamps) {
  press(hook_lights_landing_lights_off);
  EXPECT_EQ(switch_::land_lights_ret_left_pos, 0.0f);
  press(hook_lights_landing_lights_toggle);
  EXPECT_TRUE(all_on());
  SetUp();
  lights_state.fixed_landing_left_on = 1.0f;
  press(hook_lights_landing_lights_on);
  EXPECT_TRUE(all_on());
  SetUp();
  lights_state.fixed_landing_left_on = 1.0f;
  switch_::land_lights_left_pos = 1.0f;
  press(hook_lights_landing_lights_toggle);
  EXPECT_EQ(switch_::land_lights_left_pos, 0.0f);
  EXPECT_EQ(lights_state.fixed_landing_left_on, 0.0f);
}

TEST(ExteriorLights, TogglesStepsAndTheReversedWheelLight) {
  toggle_switch::logo_light = 0.5f;
  press(cmd_switch_logo_light_toggle);
  EXPECT_EQ(toggle_switch::logo_light, 0.0f);
  press(cmd_switch_wheel_light_off);
  EXPECT_EQ(toggle_switch::wheel_light, 1.0f);
  press(cmd_switch_wheel_light_on);
  EXPECT_EQ(toggle_switch::wheel_light, 0.0f);
  toggle_switch::position_light_pos = 1.0f;
  press(cmd_toggle_switch_position_light_up);
  EXPECT_EQ(toggle_switch::position_light_pos, 1.0f);
  press(cmd_toggle_switch_position_light_down);
  press(cmd_toggle_switch_position_light_down);
  EXPECT_EQ(toggle_switch::position_light_pos, -1.0f);

  struct Taxi {
    command_handler* h;
    float from, to, level;
  } taxi[] = {{cmd_toggle_switch_taxi_light_brightness_pos_dn, 0, 1, 0.5f},
              {cmd_toggle_switch_taxi_light_brightness_pos_dn, 1, 2, 1.0f},
              {cmd_toggle_switch_taxi_light_brightness_pos_up, 1, 0, 0.0f},
              {cmd_toggle_switch_taxi_light_brigh_toggle, 1, 2, 1.0f},
              {cmd_toggle_switch_taxi_light_brigh_toggle, 2, 0, 0.0f},
              {cmd_toggle_switch_taxi_light_brightness_on, 0, 2, 1.0f}};
  for (const Taxi& t : taxi) {
    toggle_switch::taxi_light_brightness_pos = t.from;
    lights_state.taxi_light_level = -1.0f;
    press(t.h);
    EXPECT_EQ(toggle_switch::taxi_light_brightness_pos, t.to) << t.from;
    EXPECT_EQ(lights_state.taxi_light_level, t.level) << t.from;
  }
  toggle_switch::taxi_light_brightness_pos = 2.0f;
  lights_state.taxi_light_level = 1.0f;
  press(cmd_toggle_switch_taxi_light_brightness_pos_dn);
  EXPECT_EQ(toggle_switch::taxi_light_brightness_pos, 2.0f);
}

// ---- cabin -----------------------------------------------------------------

TEST(CabinSigns, PresetsFollowTheCabinModel) {
  model_family = 0.0f;
  // A dark cabin takes no preset: the cabin lights hang on the main AC
  // buses, which the battery alone does not reach.
  electric::batbus_status = 1.0f;
  electric::main_bus1 = electric::main_bus2 = 0.0f;
  pax_light_scene[0] = 9.0f;
  tarx_cabin::set_pax_lighting = -1.0f;
  press(cmd_cabin_pax_to_landing);
  EXPECT_EQ(pax_light_scene[0], 9.0f);
  EXPECT_EQ(tarx_cabin::set_pax_lighting, -1.0f);
  electric::main_bus2 = 1.0f;
  press(cmd_cabin_pax_to_landing);
  EXPECT_EQ(pax_light_scene[0], 0.3f);
  EXPECT_EQ(pax_light_scene[3], 2.0f);
  EXPECT_EQ(tarx_cabin::set_pax_lighting, 1.0f);
  EXPECT_EQ(pax_lighting_setting, 1);

  for (float family : {1.0f, -1.0f}) {
    model_family = family;
    pax_light_scene[3] = 9.0f;
    tarv_cabin::lightsG = 5.0f;
    press(cmd_cabin_pax_white_medium);
    EXPECT_EQ(pax_light_scene[3], 9.0f) << family;
    EXPECT_EQ(tarv_cabin::lightsD, 0.7f);
    EXPECT_EQ(tarv_cabin::lightsE, 3.0f);
    EXPECT_EQ(tarv_cabin::lightsN, 1.5f);
    EXPECT_EQ(tarv_cabin::lightsG, 0.0f);
    EXPECT_EQ(tarx_cabin::set_pax_lighting, 3.0f);
  }
  press(cmd_cabin_pax_white_bright);
  EXPECT_EQ(tarv_cabin::lightsN, 3.0f);
  EXPECT_EQ(tarx_cabin::set_pax_lighting, 0.0f);
  electric::main_bus2 = electric::batbus_status = 0.0f;
}

TEST(CabinSigns, SignAndInterphoneStayOnTheirLadder) {
  toggle_switch::seatbelt_sign_pos = 2.0f;
  press(cmd_toggle_switch_seatbelt_sign_dn);
  EXPECT_EQ(toggle_switch::seatbelt_sign_pos, 2.0f);
  press(cmd_toggle_switch_seatbelt_sign_up);
  EXPECT_EQ(toggle_switch::seatbelt_sign_pos, 1.0f);
  toggle_switch::service_interphone = 0.5f;
  press(cmd_toggle_switch_service_interphone);
  EXPECT_EQ(toggle_switch::service_interphone, 0.5f);
}

// ---- display sources -------------------------------------------------------

TEST(DisplaySources, SelectorsAndSpeedReference) {
  toggle_switch::main_pnl_du_fo = 3.0f;
  press(cmd_toggle_switch_main_pnl_du_fo_left);
  EXPECT_EQ(toggle_switch::main_pnl_du_fo, 3.0f);
  press(cmd_toggle_switch_main_pnl_du_fo_right);
  EXPECT_EQ(toggle_switch::main_pnl_du_fo, 2.0f);
  toggle_switch::lower_du_fo = -1.0f;
  press(cmd_toggle_switch_lower_du_fo_right);
  EXPECT_EQ(toggle_switch::lower_du_fo, -1.0f);

  pfd::vspeed_man_v1 = 140.0f;
  pfd::vspeed_man_vr = 145.0f;
  pfd::vspeed_man_vref = 150.0f;
  toggle_switch::spd_ref = 0.0f;
  press(cmd_toggle_switch_spd_ref_right);
  EXPECT_EQ(toggle_switch::spd_ref_adjust, 140.0f);
  press(cmd_toggle_switch_spd_ref_right);
  EXPECT_EQ(toggle_switch::spd_ref_adjust, 145.0f);
  toggle_switch::spd_ref = 5.0f;
  press(cmd_toggle_switch_spd_ref_left);
  EXPECT_EQ(toggle_switch::spd_ref_adjust, 150.0f);
  toggle_switch::spd_ref = 1.0f;
  press(cmd_toggle_switch_spd_ref_left);
  EXPECT_EQ(pfd::vspeed_man_v1, 80.0f);
  EXPECT_EQ(pfd::vspeed_man_vr, 80.0f);
  EXPECT_EQ(pfd::vspeed_man_vref, 80.0f);

  // The adjust knob turns back down over the range it turns up: 85 kt,
  // three clicks left, 82 kt; it stops at the 80 kt a reset loads.
  toggle_switch::spd_ref_adjust = 85.0f;
  for (int i = 0; i < 3; ++i) press(cmd_toggle_switch_spd_ref_adjust_left);
  EXPECT_EQ(toggle_switch::spd_ref_adjust, 82.0f);
  for (int i = 0; i < 3; ++i) press(cmd_toggle_switch_spd_ref_adjust_left);
  EXPECT_EQ(toggle_switch::spd_ref_adjust, 80.0f);
  for (int i = 0; i < 200; ++i) press(cmd_toggle_switch_spd_ref_adjust_right);
  EXPECT_EQ(toggle_switch::spd_ref_adjust, 200.0f);
}

TEST(DisplaySources, ClearRecallButton) {
  autoland::fail_status = 0.0f;
  autoland::fail_flag = 0.0f;
  cmd_LDU_control_push_button_MFD_CR(nullptr, kBegin, nullptr);
  EXPECT_EQ(autoland::fail_flag, 1.0f);
  cmd_LDU_control_push_button_MFD_CR(nullptr, kEnd, nullptr);
  EXPECT_EQ(autoland::fail_flag, 0.0f);
  autoland::fail_status = 2.0f;
  autoland::fail_flag = 3.0f;
  press(cmd_LDU_control_push_button_MFD_CR);
  EXPECT_EQ(autoland::fail_flag, 0.0f);
}

// ---- clocks and standby altimeter -----------------------------------------

TEST(Clocks, ElapsedTimeHeldBeyondTwoSecondsResetsOnce) {
  electric::batbus_status = electric::dir_batbus_status = electric::dc_stdbus_status = 1.0f;
  frame_time = 0.1f;
  clock_::captain_et_mode = 1.0f;
  clock_::chrono_display_mode_capt = 2.0f;
  cmd_push_button_chrono_capt_et_mode(nullptr, kBegin, nullptr);
  EXPECT_EQ(clock_::captain_et_mode, 0.0f);
  EXPECT_EQ(clock_::chrono_display_mode_capt, 1.0f);
  int resets_seen = 0;
  for (int i = 0; i < 40; ++i) {
    const float before = clock_::captain_et_mode;
    cmd_push_button_chrono_capt_et_mode(nullptr, kHeld, nullptr);
    if (before != -1.0f && clock_::captain_et_mode == -1.0f) {
      ++resets_seen;
      EXPECT_GT(i, 19) << "no reset before 2 s";
    }
  }
  EXPECT_EQ(resets_seen, 1);
  EXPECT_EQ(clock_::chrono_display_mode_capt, 2.0f);
  cmd_push_button_chrono_capt_et_mode(nullptr, kEnd, nullptr);
  EXPECT_EQ(clock_::captain_et_mode, -1.0f);
  EXPECT_EQ(clock_::captain_et, 0.0f);
  EXPECT_EQ(command_hold_time, 0.0f);
}

TEST(Clocks, ChronographCycleAndSidesApart) {
  electric::batbus_status = electric::dir_batbus_status = electric::dc_stdbus_status = 1.0f;
  clock_::captain_chrono_mode = 0.0f;
  clock_::captain_et_mode = -1.0f;
  clock_::fo_chrono_mode = 1.0f;
  press(cmd_push_button_chrono_cycle_capt);
  EXPECT_EQ(clock_::captain_chrono_mode, -1.0f);
  EXPECT_EQ(clock_::chrono_display_mode_capt, 2.0f);
  EXPECT_EQ(clock_::captain_chr, 0.0f);
  EXPECT_EQ(clock_::fo_chrono_mode, 1.0f);
  clock_::captain_chrono_mode = 0.0f;
  clock_::captain_et_mode = 1.0f;
  press(cmd_push_button_chrono_cycle_capt);
  EXPECT_EQ(clock_::chrono_display_mode_capt, 1.0f);
  press(cmd_push_button_chrono_cycle_capt);
  EXPECT_EQ(clock_::captain_chrono_mode, 1.0f);
  EXPECT_EQ(clock_::captain_chr, 1.0f);
  clock_::clock_display_mode_fo = 4.0f;
  press(cmd_push_button_chrono_disp_mode_fo);
  EXPECT_EQ(clock_::clock_display_mode_fo, 1.0f);
}

TEST(Clocks, ButtonsAndBrightnessNeedBothBatteryBusesAndClamp) {
  electric::batbus_status = 1.0f;
  electric::dir_batbus_status = 0.0f;
  clock_state.chrono_brightness_capt = 0.5f;
  press(cmd_push_button_chrono_bright_minus_cpt);
  EXPECT_EQ(clock_state.chrono_brightness_capt, 0.5f);
  // A dark clock's other buttons do nothing either.
  clock_::fo_et_mode = -1.0f;
  clock_::fo_chrono_mode = -1.0f;
  clock_::clock_display_mode_fo = 1.0f;
  press(cmd_push_button_chrono_fo_et_mode);
  press(cmd_push_button_chrono_cycle_fo);
  press(cmd_push_button_chrono_disp_mode_fo);
  EXPECT_EQ(clock_::fo_et_mode, -1.0f);
  EXPECT_EQ(clock_::fo_chrono_mode, -1.0f);
  EXPECT_EQ(clock_::clock_display_mode_fo, 1.0f);
  // Both battery buses keep the time, but a face without its own bus is as
  // dark: on the battery with STANDBY POWER off (the DC standby bus and
  // both DC buses dark) neither clock takes a button.
  electric::dir_batbus_status = 1.0f;
  electric::dc_stdbus_status = electric::dc_bus1_status = electric::dc_bus2_status = 0.0f;
  clock_::captain_et = clock_::fo_et = 0.0f;
  clock_::captain_et_mode = clock_::captain_chrono_mode = -1.0f;
  press(cmd_push_button_chrono_capt_et_mode);
  press(cmd_push_button_chrono_cycle_capt);
  press(cmd_push_button_chrono_fo_et_mode);
  press(cmd_push_button_chrono_cycle_fo);
  press(cmd_push_button_chrono_bright_plus_cpt);
  EXPECT_EQ(clock_::captain_et_mode, -1.0f);
  EXPECT_EQ(clock_::captain_chrono_mode, -1.0f);
  EXPECT_EQ(clock_::fo_et_mode, -1.0f);
  EXPECT_EQ(clock_::fo_chrono_mode, -1.0f);
  EXPECT_EQ(clock_state.chrono_brightness_capt, 0.5f);
  // DC bus 2 lights the first officer's face alone.
  electric::dc_bus2_status = 1.0f;
  press(cmd_push_button_chrono_cycle_capt);
  press(cmd_push_button_chrono_cycle_fo);
  EXPECT_EQ(clock_::captain_chrono_mode, -1.0f);
  EXPECT_EQ(clock_::fo_chrono_mode, 1.0f);
  electric::dc_stdbus_status = 1.0f;
  clock_state.chrono_brightness_capt = 0.05f;
  press(cmd_push_button_chrono_bright_minus_cpt);
  EXPECT_EQ(clock_state.chrono_brightness_capt, 0.0f);
  clock_state.chrono_brightness_fo = 0.95f;
  press(cmd_push_button_chrono_bright_plus_fo);
  EXPECT_EQ(clock_state.chrono_brightness_fo, 1.0f);
}

class StandbyAltimeter : public ::testing::Test {
 protected:
  void SetUp() override {
    electric::batbus_status = electric::dir_batbus_status = 1.0f;  // the display's power
    gauges::standby_alt_std_mode = 0.0f;
    gauges::standby_alt_mode = 0.0f;
    gauges::standby_altimeter_baro = 29.92f;
    knobs::standby_alt_baro = 0.0f;
    frame_time = 0.1f;
  }
};

TEST_F(StandbyAltimeter, KnobStepsAndLimits) {
  press(cmd_knob_standby_alt_baro_up);
  EXPECT_FLOAT_EQ(gauges::standby_altimeter_baro, 29.93f);
  EXPECT_EQ(knobs::standby_alt_baro, gauges::standby_altimeter_baro);
  gauges::standby_alt_mode = 1.0f;
  gauges::standby_altimeter_baro = 39.99f;
  press(cmd_knob_standby_alt_baro_up);
  EXPECT_EQ(gauges::standby_altimeter_baro, 39.99f);
  EXPECT_FLOAT_EQ(knobs::standby_alt_baro, static_cast<float>(39.99f * 33.8638816));
  gauges::standby_alt_mode = 0.0f;
  gauges::standby_altimeter_baro = 0.0f;
  press(cmd_knob_standby_alt_baro_dn);
  EXPECT_EQ(gauges::standby_altimeter_baro, 0.0f);
}

TEST_F(StandbyAltimeter, HeldKnobRepeatsAfterOneAndAHalfSeconds) {
  frame_time = 0.25f;  // exact in binary: the hold reaches 1.5 s after six callbacks
  cmd_knob_standby_alt_baro_dn(nullptr, kBegin, nullptr);
  EXPECT_FLOAT_EQ(gauges::standby_altimeter_baro, 29.91f);
  for (int i = 0; i < 7; ++i) cmd_knob_standby_alt_baro_dn(nullptr, kHeld, nullptr);
  EXPECT_FLOAT_EQ(gauges::standby_altimeter_baro, 29.91f) << "nothing until the hold passes 1.5 s";
  for (int i = 0; i < 3; ++i) cmd_knob_standby_alt_baro_dn(nullptr, kHeld, nullptr);
  EXPECT_NEAR(gauges::standby_altimeter_baro, 29.88f, 1e-4) << "then one step per callback";
}

TEST_F(StandbyAltimeter, StandardFreezesTheKnobButBeginStillRestartsTheHold) {
  press(cmd_toggle_switch_standby_alt_baro_std);
  EXPECT_EQ(gauges::standby_alt_std_mode, 1.0f);
  command_hold_time = 3.0f;
  cmd_knob_standby_alt_baro_up(nullptr, kBegin, nullptr);
  EXPECT_EQ(gauges::standby_altimeter_baro, 29.92f);
  EXPECT_EQ(command_hold_time, 0.0f);
  gauges::standby_alt_mode = 1.0f;
  press(cmd_toggle_switch_standby_alt_baro_std);
  EXPECT_EQ(gauges::standby_alt_std_mode, 0.0f);
  EXPECT_FLOAT_EQ(knobs::standby_alt_baro, static_cast<float>(29.92f * 33.8638816));
  press(cmd_toggle_switch_standby_alt_hpin);
  EXPECT_EQ(gauges::standby_alt_mode, 0.0f);
  EXPECT_EQ(knobs::standby_alt_baro, 29.92f);
}

TEST_F(StandbyAltimeter, ApproachModeAndBrightness) {
  gauges::standby_mode = 2.0f;
  press(cmd_toggle_switch_standby_alt_app);
  EXPECT_EQ(gauges::standby_mode, 0.0f);
  press(cmd_toggle_switch_standby_alt_mode_down);
  EXPECT_EQ(gauges::standby_mode, 0.0f);
  electric::instrument_brightness[20] = 0.04f;
  press(cmd_toggle_switch_standby_alt_minus);
  EXPECT_EQ(electric::instrument_brightness[20], 0.04f);
  electric::instrument_brightness[20] = 0.95f;
  press(cmd_toggle_switch_standby_alt_plus);
  EXPECT_FLOAT_EQ(electric::instrument_brightness[20], 1.0f);
  EXPECT_EQ(knobs::standby_alt_plus_pos, 0.0f);
  // Twenty steps of 0.05 run the whole range, whatever the floats round to.
  electric::instrument_brightness[20] = 0.0f;
  for (int i = 0; i < 20; ++i) press(cmd_toggle_switch_standby_alt_plus);
  EXPECT_EQ(electric::instrument_brightness[20], 1.0f);
  for (int i = 0; i < 20; ++i) press(cmd_toggle_switch_standby_alt_minus);
  EXPECT_EQ(electric::instrument_brightness[20], 0.0f);
}

// Cold and dark, each of the display's buttons and its knob moves but
// changes nothing: it comes up as it was.
TEST_F(StandbyAltimeter, DeadDisplayTakesNoButton) {
  gauges::standby_mode = 1.0f;
  electric::instrument_brightness[20] = 0.5f;
  for (float* bus : {&electric::batbus_status, &electric::dir_batbus_status}) {
    electric::batbus_status = electric::dir_batbus_status = 1.0f;
    *bus = 0.0f;
    for (auto* handler : {cmd_toggle_switch_standby_alt_app, cmd_toggle_switch_standby_alt_hpin,
                          cmd_knob_standby_alt_baro_up, cmd_knob_standby_alt_baro_dn,
                          cmd_toggle_switch_standby_alt_baro_std, cmd_toggle_switch_standby_alt_mode_up,
                          cmd_toggle_switch_standby_alt_mode_down, cmd_toggle_switch_standby_alt_plus,
                          cmd_toggle_switch_standby_alt_minus}) {
      press(handler);
    }
    EXPECT_EQ(gauges::standby_mode, 1.0f);
    EXPECT_EQ(gauges::standby_alt_mode, 0.0f);
    EXPECT_EQ(gauges::standby_alt_std_mode, 0.0f);
    EXPECT_FLOAT_EQ(gauges::standby_altimeter_baro, 29.92f);
    EXPECT_EQ(electric::instrument_brightness[20], 0.5f);
  }
  electric::batbus_status = electric::dir_batbus_status = 1.0f;
  press(cmd_toggle_switch_standby_alt_app);
  EXPECT_EQ(gauges::standby_mode, 2.0f);
}

// ---- fire protection and GPWS ----------------------------------------------

TEST(FireProtection, HandlesPullWhenCentredAndTurnWhenFullyOut) {
  fire_state.fire_handle_arm_target[fire_handle_eng1] = 0.0f;
  fire_state.fire_handle_turn_target[fire_handle_eng1] = 1.0f;
  fire_state.fire_handle_lock[fire_handle_eng1] = 0.0f;
  press(cmd_fire_engine01_ext_switch_arm);
  EXPECT_EQ(fire_state.fire_handle_arm_target[fire_handle_eng1], 0.0f) << "turned: cannot move";
  fire_state.fire_handle_turn_target[fire_handle_eng1] = 0.0f;
  press(cmd_fire_engine01_ext_switch_arm);
  EXPECT_EQ(fire_state.fire_handle_arm_target[fire_handle_eng1], 1.0f);

  fire::apu_ext_switch_pos_arm = 0.99f;
  fire_state.fire_handle_turn_target[fire_handle_apu] = 0.0f;
  press(cmd_fire_apu_ext_switch_L);
  EXPECT_EQ(fire_state.fire_handle_turn_target[fire_handle_apu], 0.0f);
  fire::apu_ext_switch_pos_arm = 1.0f;
  press(cmd_fire_apu_ext_switch_L);
  press(cmd_fire_apu_ext_switch_L);
  EXPECT_EQ(fire_state.fire_handle_turn_target[fire_handle_apu], -1.0f);
}

TEST(FireProtection, BellCutoutSilencesAFireOrATestAndARecallLeavesItSilenced) {
  host_mirror.sim_operation_failures_rel_engfir0 = 0;
  host_mirror.sim_operation_failures_rel_engfir1 = 0;
  toggle_switch::fire_test = 0.0f;
  fire_lights.cargo_test_active = 0.0f;
  fire_lights.fire_bell_enable = 1.0f;
  press(cmd_push_button_fire_bell_light1);
  EXPECT_EQ(fire_lights.fire_bell_enable, 1.0f) << "nothing ringing: ready for the next warning";
  EXPECT_EQ(push_button::fire_bell_cutout1, 0.0f);
  host_mirror.sim_operation_failures_rel_engfir1 = 6;
  press(cmd_push_button_fire_bell_light2);
  EXPECT_EQ(fire_lights.fire_bell_enable, 0.0f);
  press(cmd_push_button_fo_six_pack);
  press(cmd_push_button_capt_six_pack);
  EXPECT_EQ(fire_lights.fire_bell_enable, 0.0f) << "a recall rings no silenced bell";
  host_mirror.sim_operation_failures_rel_engfir1 = 0;
  // Either test ringing it: the cutout silences it as in a fire.
  for (float* test : {&toggle_switch::fire_test, &fire_lights.cargo_test_active}) {
    fire_lights.fire_bell_enable = 1.0f;
    *test = 1.0f;
    press(cmd_push_button_fire_bell_light1);
    EXPECT_EQ(fire_lights.fire_bell_enable, 0.0f);
    *test = 0.0f;
  }
  fire_lights.fire_bell_enable = 1.0f;
}

TEST(FireProtection, OverheatTestLightsAfterSixTenthsHeld) {
  frame_time = 0.1f;
  for (int held_frames : {5, 10}) {
    toggle_switch::fire_test = 0.0f;
    fire_lights.fire_test_all = 0.0f;
    fire_lights.fire_bell_enable = 0.0f;
    cmd_toggle_switch_fire_test_rgt(nullptr, kBegin, nullptr);
    EXPECT_EQ(toggle_switch::fire_test, 1.0f);
    bool lit = false;
    for (int i = 0; i < held_frames; ++i) {
      cmd_toggle_switch_fire_test_rgt(nullptr, kHeld, nullptr);
      lit = lit || fire_lights.fire_test_all == 1.0f;
    }
    EXPECT_EQ(lit, held_frames == 10) << held_frames;
    // The test rings the bell as it starts; silenced, it stays so while held.
    EXPECT_EQ(fire_lights.fire_bell_enable, held_frames == 10 ? 1.0f : 0.0f) << held_frames;
    fire_lights.fire_bell_enable = 1.0f;
    press(cmd_push_button_fire_bell_light1);
    cmd_toggle_switch_fire_test_rgt(nullptr, kHeld, nullptr);
    EXPECT_EQ(fire_lights.fire_bell_enable, 0.0f) << held_frames;
    cmd_toggle_switch_fire_test_rgt(nullptr, kEnd, nullptr);
    EXPECT_EQ(fire_lights.fire_test_all, 0.0f);
    EXPECT_EQ(toggle_switch::fire_test, 0.0f);
  }
  toggle_switch::fire_test = 0.0f;
  cmd_toggle_switch_fire_test_lft(nullptr, kBegin, nullptr);
  EXPECT_EQ(toggle_switch::fire_test, -1.0f);
  cmd_toggle_switch_fire_test_lft(nullptr, kEnd, nullptr);
  EXPECT_EQ(toggle_switch::fire_test, 0.0f);
}

class GpwsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    frame_time = 0.1f;
    electric::batbus_status = 1.0f;
    electric::ac_tnsbus1_status = 1.0f;
    system_::gpws_test_running = 0.0f;
    gpws_test = GpwsTestState{};
    script_mirror.zuvadud_d738_fmodpack_fmod_gpwstest_short_on = 0.0f;
    script_mirror.zuvadud_d738_fmodpack_fmod_gpwstest_long_on = 0.0f;
    host_mirror.sim_cockpit2_controls_flap_handle_deploy_ratio = 0.0f;
  }
  void hold(int frames) {
    cmd_push_button_gpws_test(nullptr, kBegin, nullptr);
    for (int i = 0; i < frames; ++i) cmd_push_button_gpws_test(nullptr, kHeld, nullptr);
    cmd_push_button_gpws_test(nullptr, kEnd, nullptr);
  }
};

TEST_F(GpwsTest, ShortPressPicksTheSetByHeight) {
  struct Case {
    float radio_alt_ft, flap, cue;
  } cases[] = {{500, 0, 1}, {5000, 0, 2}, {5000, 0.75f, 0}};
  for (const Case& c : cases) {
    SetUp();
    host_mirror.sim_cockpit2_gauges_indicators_radio_altimeter_height_ft_pilot = c.radio_alt_ft;
    host_mirror.sim_cockpit2_controls_flap_handle_deploy_ratio = c.flap;
    hold(10);
    EXPECT_EQ(script_mirror.zuvadud_d738_fmodpack_fmod_gpwstest_short_on, c.cue) << c.radio_alt_ft;
    // A push that starts no test leaves nothing running.
    EXPECT_EQ(system_::gpws_test_running, c.cue != 0 ? 1.0f : 0.0f) << c.radio_alt_ft;
    EXPECT_EQ(gpws_test.started, c.cue != 0 ? 1.0f : 0.0f) << c.radio_alt_ft;
  }
}

TEST_F(GpwsTest, LongHoldStartsTheLongTestOnceAndNothingAtRelease) {
  hold(30);
  EXPECT_EQ(script_mirror.zuvadud_d738_fmodpack_fmod_gpwstest_long_on, 1.0f);
  EXPECT_EQ(script_mirror.zuvadud_d738_fmodpack_fmod_gpwstest_short_on, 0.0f);
  EXPECT_EQ(push_button::gpws_test_pos, 0.0f);
}

TEST_F(GpwsTest, UnpoweredStartsNothingButTheButtonMoves) {
  electric::ac_tnsbus1_status = 0.0f;
  cmd_push_button_gpws_test(nullptr, kBegin, nullptr);
  EXPECT_EQ(push_button::gpws_test_pos, 1.0f);
  cmd_push_button_gpws_test(nullptr, kEnd, nullptr);
  EXPECT_EQ(system_::gpws_test_running, 0.0f);
}

TEST(GpwsSwitches, CoversMoveWithTheirTargets) {
  toggle_switch::gpws_terr_cover_pos = 0.0f;
  press(cmd_toggle_switch_gpws_terr_cover);
  EXPECT_EQ(toggle_switch::gpws_terr_cover_pos, 1.0f);
  EXPECT_EQ(gpws_terr_cover_target, 1.0f);
  toggle_switch::gpws_xraas_cover_pos = 1.0f;
  toggle_switch::gpws_xraas_pos = 0.3f;
  press(cmd_toggle_switch_gpws_xraas);
  EXPECT_EQ(toggle_switch::gpws_xraas_pos, 0.0f);
}

// ---- window and wing heat --------------------------------------------------

TEST(WindowHeat, OnWarmsOffEndsTheOverheatTest) {
  ice::window_heat_r_fwd_pos = 0.0f;
  press(cmd_toggle_switch_window_heat_r_fwd);
  EXPECT_EQ(ice::window_heat_r_fwd_pos, 1.0f);
  EXPECT_EQ(anti_ice_state.window_heat_target[window_r_fwd], 45.0f);
  window_overheat_state[window_r_fwd] = 1.0f;
  delay_timers.window_ovht_test_delay_r_fwd = 30.0f;
  delay_timers.window_ovht_test_delay_l_side = 30.0f;
  press(cmd_toggle_switch_window_heat_r_fwd);
  EXPECT_EQ(ice::window_heat_r_fwd_pos, 0.0f);
  EXPECT_EQ(window_overheat_state[window_r_fwd], 0.0f);
  EXPECT_EQ(delay_timers.window_ovht_test_delay_r_fwd, 0.0f);
  EXPECT_EQ(delay_timers.window_ovht_test_delay_l_side, 30.0f) << "other windows untouched";
  ice::window_heat_l_side_pos = 0.5f;
  press(cmd_toggle_switch_window_heat_l_side);
  EXPECT_EQ(ice::window_heat_l_side_pos, 0.0f);
  EXPECT_EQ(delay_timers.window_ovht_test_delay_l_side, 0.0f);
}

TEST(WindowHeat, WingHeatArmsTheLiftOffSwitchOffOnlyOnTheGround) {
  ice::wing_heat_pos = 0.0f;
  anti_ice_state.wing_heat_set_on_ground = 0.0f;
  on_ground = 0;
  press(cmd_toggle_switch_wing_heat);
  EXPECT_EQ(ice::wing_heat_pos, 1.0f);
  EXPECT_EQ(anti_ice_state.wing_heat_set_on_ground, 0.0f);
  press(cmd_toggle_switch_wing_heat);
  on_ground = 1;
  press(cmd_toggle_switch_wing_heat);
  EXPECT_EQ(anti_ice_state.wing_heat_set_on_ground, 1.0f);
  press(cmd_toggle_switch_wing_heat);
  EXPECT_EQ(ice::wing_heat_pos, 0.0f);
  EXPECT_EQ(anti_ice_state.wing_heat_set_on_ground, 0.0f);
}

}  // namespace
