// Flight control panel, flap, gear, brake and speed brake handlers called
// directly, table-driven over the positions they start from.
#include <gtest/gtest.h>

#include "alerting/aural_cues.h"
#include "commands/command_handlers.h"
#include "core/binding.h"
#include "core/preprocess_values.h"
#include "systems/gear_brakes/autobrake_state.h"
#include "systems/gear_brakes/brake_command_state.h"
#include "systems/delay_timers.h"
#include "systems/electrical/electric_values.h"
#include "systems/flight_controls/flight_control_values.h"
#include "systems/gear_brakes/gear_lever.h"
#include "systems/instruments/instrument_values.h"
#include "systems/flight_controls/speedbrake_lever.h"
#include "systems/switches/switch_memory.h"
#include "systems/switches/switch_targets.h"
#include "systems/switches/switch_values.h"

namespace {

constexpr XPLMCommandPhase kBegin = xplm_CommandBegin;
constexpr XPLMCommandPhase kHeld = xplm_CommandContinue;
constexpr XPLMCommandPhase kEnd = xplm_CommandEnd;

void gear_down_rule_for_test() {
  controls::gear_handle_down = 1.0f;
  lever_commands.gear_down_selected = 1.0f;
}

void press(command_handler* h) {
  h(nullptr, kBegin, nullptr);
  h(nullptr, kEnd, nullptr);
}

TEST(FlapLever, HostFlapCommandsStepToTheNeighbouringDetent) {
  struct Case {
    command_handler* h;
    float from, to;
    bool sound;
  } cases[] = {
      {hook_flight_controls_flaps_down, 0.3f, 0.375f, true},
      {hook_flight_controls_flaps_up, 0.3f, 0.25f, true},
      {hook_flight_controls_flaps_down, 0.0f, 0.125f, true},
      {hook_flight_controls_flaps_down, 0.875f, 1.0f, true},
      {hook_flight_controls_flaps_up, 0.125f, 0.0f, true},
      {hook_flight_controls_flaps_up, 0.0f, 0.0f, false},
      {hook_flight_controls_flaps_down, 1.0f, 1.0f, false},
  };
  for (const Case& c : cases) {
    flt_ctrls::flap_lever = c.from;
    fmod_::flap_sound = 0.0f;
    EXPECT_EQ(c.h(nullptr, kBegin, nullptr), 0);
    EXPECT_EQ(flt_ctrls::flap_lever, c.to) << c.from;
    EXPECT_EQ(fmod_::flap_sound, c.sound ? 1.0f : 0.0f) << c.from;
  }
}

TEST(FlapLever, DetentButtonsSetTheirPosition) {
  const std::pair<command_handler*, float> cases[] = {
      {cmd_push_button_flaps_0, 0.0f},    {cmd_push_button_flaps_1, 0.125f}, {cmd_push_button_flaps_2, 0.25f},
      {cmd_push_button_flaps_5, 0.375f},  {cmd_push_button_flaps_10, 0.5f},  {cmd_push_button_flaps_15, 0.625f},
      {cmd_push_button_flaps_25, 0.75f},  {cmd_push_button_flaps_30, 0.875f}, {cmd_push_button_flaps_40, 1.0f}};
  for (const auto& [h, detent] : cases) {
    flt_ctrls::flap_lever = 0.5f;
    fmod_::flap_sound = 0.0f;
    h(nullptr, kBegin, nullptr);
    EXPECT_EQ(flt_ctrls::flap_lever, detent);
    EXPECT_EQ(fmod_::flap_sound, 1.0f);
  }
}

TEST(FlightControlPanel, ThreePositionSwitchesStopAtTheirEnds) {
  switches::flt_ctr_A_cover_pos = 1.0f;
  switches::flt_ctr_A_pos = 1.0f;
  press(cmd_toggle_switch_flt_ctr_A_dn);
  EXPECT_EQ(switches::flt_ctr_A_pos, 1.0f);
  press(cmd_toggle_switch_flt_ctr_A_up);
  press(cmd_toggle_switch_flt_ctr_A_up);
  press(cmd_toggle_switch_flt_ctr_A_up);
  EXPECT_EQ(switches::flt_ctr_A_pos, -1.0f);
}

TEST(FlightControlPanel, AlternateFlapsUpLatchesOnlyWithBatteryBus) {
  toggle_switch::alt_flaps_ctrl = 0.0f;
  electric::batbus_status = 1.0f;
  press(cmd_toggle_switch_alt_flaps_ctrl_up);
  EXPECT_EQ(toggle_switch::alt_flaps_ctrl, -1.0f);
  electric::batbus_status = 0.0f;
  press(cmd_toggle_switch_alt_flaps_ctrl_up);
  EXPECT_EQ(toggle_switch::alt_flaps_ctrl, 0.0f);
  // Down from up: off at begin and at release; pressed again, down while held.
  toggle_switch::alt_flaps_ctrl = -1.0f;
  press(cmd_toggle_switch_alt_flaps_ctrl_dn);
  EXPECT_EQ(toggle_switch::alt_flaps_ctrl, 0.0f);
  cmd_toggle_switch_alt_flaps_ctrl_dn(nullptr, kBegin, nullptr);
  EXPECT_EQ(toggle_switch::alt_flaps_ctrl, 1.0f);
  cmd_toggle_switch_alt_flaps_ctrl_dn(nullptr, kEnd, nullptr);
  EXPECT_EQ(toggle_switch::alt_flaps_ctrl, 0.0f);
}

TEST(FlightControlPanel, YawDamperHeldOnReadsTwoThenOne) {
  toggle_switch::yaw_dumper_pos = 0.0f;
  cmd_toggle_switch_yaw_dumper(nullptr, kBegin, nullptr);
  EXPECT_EQ(yaw_damper_switch_state, 2.0f);
  cmd_toggle_switch_yaw_dumper(nullptr, kEnd, nullptr);
  EXPECT_EQ(yaw_damper_switch_state, 1.0f);
  cmd_toggle_switch_yaw_dumper(nullptr, kBegin, nullptr);
  EXPECT_EQ(toggle_switch::yaw_dumper_pos, 0.0f);
  EXPECT_EQ(yaw_damper_switch_state, 0.0f);
}

TEST(FlightControlPanel, StallTestInFlightOnlyMovesTheButton) {
  host_mirror.sim_flightmodel_failures_onground_all = 0;
  cmd_push_button_stall_test1_press(nullptr, kBegin, nullptr);
  EXPECT_EQ(push_button::stall_test1, 1.0f);
  EXPECT_EQ(push_button::stall_test_active1, 0.0f);
  host_mirror.sim_flightmodel_failures_onground_all = 1;
  electric::dc_stdbus_status = 1.0f;
  electric::ac_tnsbus1_status = 1.0f;
  electric::ac_tns_bus1_pow4 = 1.0f;
  host_mirror.sim_cockpit2_gauges_indicators_radio_altimeter_height_ft_pilot = 0.0f;
  cmd_push_button_stall_test1_press(nullptr, kBegin, nullptr);
  EXPECT_EQ(push_button::stall_test_active1, 1.0f);
  cmd_push_button_stall_test1_press(nullptr, kEnd, nullptr);
  EXPECT_EQ(push_button::stall_test1, 0.0f);
  EXPECT_EQ(push_button::stall_test_active1, 0.0f);
  // Only below 50 ft of radio altitude.
  struct Row {
    float ra_ft, active;
  } rows[] = {{49.9f, 1}, {50, 0}};
  for (const Row& r : rows) {
    host_mirror.sim_cockpit2_gauges_indicators_radio_altimeter_height_ft_pilot = r.ra_ft;
    cmd_push_button_stall_test1_press(nullptr, kBegin, nullptr);
    EXPECT_EQ(push_button::stall_test_active1, r.active) << r.ra_ft;
    cmd_push_button_stall_test1_press(nullptr, kEnd, nullptr);
  }
  host_mirror.sim_cockpit2_gauges_indicators_radio_altimeter_height_ft_pilot = 0.0f;
}

class GearLever : public ::testing::Test {
 protected:
  void SetUp() override {
    gear_lock_ovrd::position = 0.0f;
    gear_lever_latch = 0;
    emergency::landgear_pos = 0.0f;
    emergency::landgear_cover_pos = 0.0f;
    lever_commands.gear_down_selected = 1.0f;
    electric::batbus_status = 1.0f;  // the lock releases in the air only with its power
  }
  void TearDown() override { electric::batbus_status = 0.0f; }
};

TEST_F(GearLever, ToggleOnTheGroundStopsAtOffInTheAirGoesUp) {
  on_ground = 1;
  controls::gear_handle_down = 1.0f;
  press(hook_flight_controls_landing_gear_toggle);
  EXPECT_EQ(controls::gear_handle_down, 0.5f);
  press(hook_flight_controls_landing_gear_toggle);
  EXPECT_EQ(controls::gear_handle_down, 1.0f);
  on_ground = 0;
  press(hook_flight_controls_landing_gear_toggle);
  EXPECT_EQ(controls::gear_handle_down, 0.0f);
  EXPECT_EQ(lever_commands.gear_down_selected, 0.0f);
  // From UP the toggle goes to OFF, not DOWN.
  press(hook_flight_controls_landing_gear_toggle);
  EXPECT_EQ(controls::gear_handle_down, 0.5f);
  EXPECT_EQ(lever_commands.gear_down_selected, 0.0f);
}

TEST_F(GearLever, UpOneAndDownOne) {
  on_ground = 1;
  controls::gear_handle_down = 0.5f;
  press(cmd_push_button_gear_up_one);
  EXPECT_EQ(controls::gear_handle_down, 0.5f);
  on_ground = 0;
  press(cmd_push_button_gear_up_one);
  EXPECT_EQ(controls::gear_handle_down, 0.0f);
  press(cmd_push_button_gear_down_one);
  EXPECT_EQ(controls::gear_handle_down, 0.5f);
  press(hook_flight_controls_landing_gear_down);
  EXPECT_EQ(controls::gear_handle_down, 1.0f);
  EXPECT_EQ(lever_commands.gear_down_selected, 1.0f);
}

TEST_F(GearLever, ManualExtensionKeepsGearSelectedDown) {
  on_ground = 0;
  controls::gear_handle_down = 1.0f;
  emergency::landgear_pos = 0.95f;
  press(cmd_push_button_gear_up);
  EXPECT_EQ(controls::gear_handle_down, 0.0f);
  EXPECT_EQ(lever_commands.gear_down_selected, 1.0f);
  // The handle compares in double precision: a float 0.9 lies just below it.
  emergency::landgear_pos = 0.9f;
  gear_down_rule_for_test();
  press(cmd_push_button_gear_up);
  EXPECT_EQ(lever_commands.gear_down_selected, 0.0f);
}

TEST_F(GearLever, LockOverrideHeldLetsTheLeverUpOnTheGround) {
  on_ground = 1;
  controls::gear_handle_down = 1.0f;
  cmd_gear_lock_override(nullptr, kBegin, nullptr);
  cmd_gear_lock_override(nullptr, kHeld, nullptr);
  EXPECT_EQ(gear_lock_ovrd::position, 1.0f);
  press(hook_flight_controls_landing_gear_up);
  EXPECT_EQ(controls::gear_handle_down, 0.0f);
  cmd_gear_lock_override(nullptr, kEnd, nullptr);
  EXPECT_EQ(gear_lock_ovrd::position, 0.0f);
}

class Brakes : public ::testing::Test {
 protected:
  void SetUp() override {
    brake_commands = BrakeCommandState{};
    cockpit::parking_brake_pos = 0.0f;
    lever_commands.park_brake_engaged = 0.0f;
    host_mirror.sim_cockpit2_controls_parking_brake_ratio = 0.0f;
    host_mirror.sim_cockpit2_controls_left_brake_ratio = 0.0f;
    host_mirror.sim_cockpit2_controls_right_brake_ratio = 0.0f;
    script_mirror.zuvadud_D738_parkbrake_set = 0.0f;
    script_mirror.zuvadud_D738_fms_chock_status = 1.0f;
    script_mirror.zuvadud_D738_fms_parkbrake_remove_chock = 0.0f;
  }
};

TEST_F(Brakes, MaxBrakesReleaseTheParkingBrakeWithTheirValue) {
  cockpit::parking_brake_pos = 1.0f;
  brake_commands.brake_max_value = 0.31f;
  hook_flight_controls_brakes_max(nullptr, kBegin, nullptr);
  EXPECT_EQ(cockpit::parking_brake_pos, 0.0f);
  EXPECT_EQ(host_mirror.sim_cockpit2_controls_parking_brake_ratio, 0.31f);
  EXPECT_EQ(brake_commands.brake_cmd_active, 1.0f);
  EXPECT_EQ(script_mirror.zuvadud_D738_fms_chock_status, 1.0f) << "chocks stay unless asked";
  hook_flight_controls_brakes_max(nullptr, kEnd, nullptr);
  EXPECT_EQ(brake_commands.brake_cmd_active, 0.0f);
  EXPECT_EQ(brake_commands.brake_cmd_value, 0.0f);

  // The chocks go with a parking brake the command releases, never without.
  script_mirror.zuvadud_D738_fms_parkbrake_remove_chock = 1.0f;
  hook_flight_controls_brakes_regular(nullptr, kBegin, nullptr);
  hook_flight_controls_brakes_regular(nullptr, kEnd, nullptr);
  EXPECT_EQ(script_mirror.zuvadud_D738_fms_chock_status, 1.0f);
  cockpit::parking_brake_pos = 1.0f;
  hook_flight_controls_brakes_regular(nullptr, kBegin, nullptr);
  EXPECT_EQ(script_mirror.zuvadud_D738_fms_chock_status, 0.0f);
}

TEST_F(Brakes, ParkingBrakeNeedingPedalsSpringsBackWithoutThem) {
  script_mirror.zuvadud_D738_parkbrake_set = 1.0f;
  cmd_push_button_park_brake_on_off(nullptr, kBegin, nullptr);
  EXPECT_EQ(cockpit::parking_brake_pos, 1.0f);
  EXPECT_EQ(host_mirror.sim_cockpit2_controls_parking_brake_ratio, 0.0f);
  cmd_push_button_park_brake_on_off(nullptr, kEnd, nullptr);
  EXPECT_EQ(cockpit::parking_brake_pos, 0.0f);

  host_mirror.sim_cockpit2_controls_left_brake_ratio = 0.96f;
  host_mirror.sim_cockpit2_controls_right_brake_ratio = 0.96f;
  press(hook_flight_controls_brakes_toggle_max);
  EXPECT_EQ(cockpit::parking_brake_pos, 1.0f);
  EXPECT_EQ(host_mirror.sim_cockpit2_controls_parking_brake_ratio, 1.0f);
  EXPECT_EQ(lever_commands.park_brake_engaged, 1.0f);
  // Pressed again: released.
  press(cmd_push_button_park_brake_on_off);
  EXPECT_EQ(cockpit::parking_brake_pos, 0.0f);
  EXPECT_EQ(host_mirror.sim_cockpit2_controls_parking_brake_ratio, 0.0f);
}

TEST_F(Brakes, ToeBrakeButtonsAndRegularToggle) {
  cmd_push_button_toe_brake_both(nullptr, kBegin, nullptr);
  EXPECT_EQ(brake_commands.toe_brake_left, 0.28f);
  EXPECT_EQ(brake_commands.toe_brake_right, 0.28f);
  EXPECT_EQ(brake_commands.brake_cmd_active, 1.0f);
  cmd_push_button_toe_brake_both(nullptr, kEnd, nullptr);
  EXPECT_EQ(brake_commands.toe_brake_left, 0.0f);
  EXPECT_EQ(brake_commands.brake_cmd_active, 0.0f);

  hook_flight_controls_brakes_toggle_regular(nullptr, kBegin, nullptr);
  EXPECT_EQ(brake_commands.brake_cmd_value, 0.2f);
  hook_flight_controls_brakes_toggle_regular(nullptr, kBegin, nullptr);
  EXPECT_EQ(brake_commands.brake_cmd_value, 0.0f);
  EXPECT_EQ(brake_commands.brake_cmd_active, 0.0f);
}

TEST(Autobrake, SelectorSteps) {
  struct Case {
    command_handler* h;
    float from;
    float pos;     // autobrake_pos after
    float target;  // knob target after
  } cases[] = {
      {cmd_knob_autobrake_up, 0, 1, 1},  {cmd_knob_autobrake_up, 1, 2, 2}, {cmd_knob_autobrake_up, 3, 4, 4},
      {cmd_knob_autobrake_up, 4, 4, 5},  {cmd_knob_autobrake_up, 5, 5, 5}, {cmd_knob_autobrake_dn, 5, 5, 4},
      {cmd_knob_autobrake_dn, 4, 3, 3},  {cmd_knob_autobrake_dn, 2, 1, 1}, {cmd_knob_autobrake_dn, 1, 0, 0},
      {cmd_knob_autobrake_dn, 0, 0, 0},  {cmd_knob_autobrake_max, 2, 2, 5}, {cmd_knob_autobrake_3, 0, 4, 4},
  };
  on_ground = 0;
  for (const Case& c : cases) {
    autobrake::autobrake_pos = c.from;
    autobrake_knob_target = c.from;
    c.h(nullptr, kBegin, nullptr);
    EXPECT_EQ(autobrake::autobrake_pos, c.pos) << c.from;
    EXPECT_EQ(autobrake_knob_target, c.target) << c.from;
  }
}

TEST(Autobrake, RtoSelfTestOnlyOnTheGroundAndOffStowsAnEngagedRto) {
  electric::dc_bus1_status = 1.0f;  // the autobrake's own power
  on_ground = 0;
  delay_timers.autobrake_rto_test_delay = 0.0f;
  autobrake::autobrake_RTO_test = 0.0f;
  press(cmd_knob_autobrake_rto);
  EXPECT_EQ(autobrake::autobrake_pos, 0.0f);
  EXPECT_EQ(delay_timers.autobrake_rto_test_delay, 0.0f);
  on_ground = 1;
  press(cmd_knob_autobrake_rto);
  EXPECT_EQ(autobrake::autobrake_RTO_test, 1.0f);
  EXPECT_EQ(delay_timers.autobrake_rto_test_delay, 1.0f);

  autobrake::autobrake_RTO_arm = 2.0f;
  rto_speedbrake_stow_request = 0.0f;
  press(cmd_knob_autobrake_off);
  EXPECT_EQ(autobrake::autobrake_pos, 1.0f);
  EXPECT_EQ(rto_speedbrake_stow_request, 1.0f);
  EXPECT_EQ(autobrake::autobrake_RTO_arm, 0.0f);
  EXPECT_EQ(autobrake::autobrake_RTO_test, 0.0f);
  EXPECT_EQ(delay_timers.autobrake_rto_test_delay, 0.0f);

  autobrake::autobrake_disarm = 0.0f;
  press(cmd_knob_autobrake_1);
  EXPECT_EQ(autobrake::autobrake_disarm, 1.0f);

  // OFF after a landing ends the autobrake that was braking, without the
  // DISARM light, as stepping down to OFF does.
  autobrake::autobrake_arm = 2.0f;
  autobrake_brake_value = 0.3f;
  press(cmd_knob_autobrake_off);
  EXPECT_EQ(autobrake::autobrake_arm, 0.0f);
  EXPECT_EQ(autobrake_brake_value, 0.0f);
  EXPECT_EQ(autobrake::autobrake_disarm, 0.0f);

  // Stepped down onto setting 1 on the ground, the selector only moves: no
  // DISARM, unlike selecting setting 1.
  autobrake::autobrake_pos = 3.0f;
  press(cmd_knob_autobrake_dn);
  EXPECT_EQ(autobrake::autobrake_pos, 2.0f);
  EXPECT_EQ(autobrake::autobrake_disarm, 0.0f);

  // Without power the selector only moves; RTO is tested once power comes.
  electric::dc_bus1_status = electric::dir_batbus_status = 0.0f;
  press(cmd_knob_autobrake_rto);
  EXPECT_EQ(autobrake::autobrake_pos, 0.0f);
  EXPECT_EQ(autobrake::autobrake_RTO_test, 0.0f);
  take_waiting_autobrake_selection();
  EXPECT_EQ(autobrake::autobrake_RTO_test, 0.0f);
  electric::dc_bus1_status = 1.0f;
  take_waiting_autobrake_selection();
  EXPECT_EQ(autobrake::autobrake_RTO_test, 1.0f);
  EXPECT_EQ(delay_timers.autobrake_rto_test_delay, 1.0f);
}

TEST(SpeedBrake, StepsThroughItsDetents) {
  speedbrake_enable = 0;  // keep the host ratio out of it
  speedbrake_flight_detent_latch = 0;
  flt_ctrls::speedbrake_lever_anim = 0.0f;
  flt_ctrls::speedbrake_lever = 0.0f;
  const float down[] = {0.0889f, 0.667f, 1.0f, 1.0f};
  for (float want : down) {
    press(hook_flight_controls_speed_brakes_down_one);
    EXPECT_EQ(flt_ctrls::speedbrake_lever, want);
  }
  const float up[] = {0.667f, 0.0889f, 0.0f};
  for (float want : up) {
    press(hook_flight_controls_speed_brakes_up_one);
    EXPECT_EQ(flt_ctrls::speedbrake_lever, want);
  }
}

TEST(SpeedBrake, ToggleWritesTheHostRatioOnlyOnTheGround) {
  speedbrake_enable = 0;
  flt_ctrls::speedbrake_lever_anim = 0.0f;
  flt_ctrls::speedbrake_lever = 0.0f;
  host_mirror.sim_cockpit2_controls_speedbrake_ratio = 0.0f;
  speedbrake_flight_detent_latch = 1;
  press(hook_flight_controls_speed_brakes_toggle);
  EXPECT_EQ(host_mirror.sim_cockpit2_controls_speedbrake_ratio, 0.0f);
  EXPECT_GT(flt_ctrls::speedbrake_lever, 0.6f);
  press(hook_flight_controls_speed_brakes_toggle);
  EXPECT_EQ(flt_ctrls::speedbrake_lever, 0.0f) << "from the flight detent the toggle stows";
  // In flight with the flaps out the stop lets the lever go to UP, but the
  // host's ratio is still left to the lever's own logic.
  speedbrake_flight_detent_latch = 0;
  on_ground = 0;
  press(hook_flight_controls_speed_brakes_toggle);
  EXPECT_EQ(flt_ctrls::speedbrake_lever, 1.0f);
  EXPECT_EQ(host_mirror.sim_cockpit2_controls_speedbrake_ratio, 0.0f);
  on_ground = 1;
  flt_ctrls::speedbrake_lever = 0.0f;
  press(hook_flight_controls_speed_brakes_toggle);
  EXPECT_EQ(flt_ctrls::speedbrake_lever, 1.0f);
  EXPECT_EQ(host_mirror.sim_cockpit2_controls_speedbrake_ratio, 1.0f);
  press(hook_flight_controls_speed_brakes_toggle);
  EXPECT_EQ(flt_ctrls::speedbrake_lever, 0.0f);
  EXPECT_EQ(host_mirror.sim_cockpit2_controls_speedbrake_ratio, 0.0f);
  on_ground = 0;
}

}  // namespace
