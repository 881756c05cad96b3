// Brakes and autobrake, landing gear, flaps and speed brake, control axes,
// reversers and panel brightness.
#include <cmath>
#include <string>

#include "alerting/aural_cues.h"
#include "bind_for_test.h"
#include "commands/command_handlers.h"
#include "core/frame_values.h"
#include "core/preprocess_values.h"
#include "engines/engine_values.h"
#include "panel_fixture.h"
#include "systems/aircraft_systems.h"
#include "systems/annunciators/annunciator_values.h"
#include "systems/gear_brakes/autobrake_state.h"
#include "systems/gear_brakes/brake_command_state.h"
#include "systems/gear_brakes/brakes.h"
#include "systems/delay_timers.h"
#include "systems/flight_controls/elec_trim_state.h"
#include "systems/flight_controls/flight_control_values.h"
#include "systems/gear_brakes/gear.h"
#include "systems/gear_brakes/gear_horn.h"
#include "systems/hydraulics/hydraulic_values.h"
#include "systems/instruments/instrument_values.h"
#include "systems/flight_controls/speedbrake_lever.h"
#include "systems/switches/switch_memory.h"
#include "systems/switches/switch_targets.h"
#include "systems/switches/switch_values.h"
#include "systems/system_state.h"
#include "systems/systems_step_outputs.h"

namespace {

class GroundControls : public PanelTest {
 protected:
  void SetUp() override {
    PanelTest::SetUp();
    brake_state = BrakeState{};
    brake_commands = BrakeCommandState{};
    lever_commands = LeverCommands{};
    delay_timers = DelayTimerBank{};
    delay_flags = DelayTimerFlags{};
    using namespace systems;
    brake_temp_l_in = brake_temp_l_out = brake_temp_r_in = brake_temp_r_out = 1.0f;
    host_version = 120000;
    host_mirror.sim_weather_runway_friction = 0;
    on_ground = 1;
    gear3_on_ground = 1;
    hydraulic::A_status = hydraulic::B_status = 1.0f;
    hydraulic::A_rudder = hydraulic::B_rudder = 1.0f;
    switches::flt_ctr_A_pos = switches::flt_ctr_B_pos = 1.0f;
    cockpit::toe_brake_override = 0.0f;
    cockpit::parking_brake_pos = 0.0f;
    axis::left_toe_brake = axis::right_toe_brake = 0.0f;
    autobrake::autobrake_RTO_arm = autobrake::autobrake_arm = autobrake::autobrake_disarm = 0.0f;
    autobrake::autobrake_RTO_test = 0.0f;
    autobrake::autobrake_pos = 1.0f;
    autobrake_brake_value = 0.0f;
    rto_test_result = 0.0f;
    brake_state.autobrake_inop = 0.0f;
    engine::thrust1_leveler = engine::thrust2_leveler = 0.0f;
    host_mirror.sim_cockpit2_engine_actuators_prop_mode[0] = host_mirror.sim_cockpit2_engine_actuators_prop_mode[1] = 1;
    time_since_load = 10.0f;
  }
};

TEST_F(GroundControls, BrakeRatioTableByFrictionAndTemperature) {
  struct Case {
    int host, friction;
    float row0, rto;
  } cases[] = {
      {120000, 0, 0.238f * 0.95f, 0.234f * 0.95f}, {120000, 6, 0.308f * 0.95f, 0.304f * 0.95f},
      {120000, 15, 0.478f * 0.95f, 0.474f * 0.95f}, {120000, 3, 0.273f * 0.95f, 0.269f * 0.95f},
      {110000, 0, 0.238f, 0.234f}, {110000, 1, 0.308f, 0.304f}, {110000, 4, 0.478f, 0.474f},
  };
  for (const Case& c : cases) {
    host_version = c.host;
    host_mirror.sim_weather_runway_friction = c.friction;
    update_parking_brake_steering();
    EXPECT_NEAR(brake_ratios.max_ratio_both, c.row0, 1e-5) << c.host << " " << c.friction;
    EXPECT_NEAR(brake_ratios.toe_limit_left, c.row0, 1e-5);
    EXPECT_NEAR(brake_ratios.autobrake_ratio_rto, c.rto, 1e-5);
  }
  // Hot brakes fade to 0.8 of the table; one hot side fades its own limit.
  host_version = 110000;
  host_mirror.sim_weather_runway_friction = 0;
  systems::brake_temp_l_in = systems::brake_temp_l_out = 9.9f;
  systems::brake_temp_r_in = systems::brake_temp_r_out = 12.0f;
  update_parking_brake_steering();
  EXPECT_NEAR(brake_ratios.max_ratio_both, 0.238f * 0.8f, 1e-5);
  systems::brake_temp_r_in = systems::brake_temp_r_out = 2.0f;
  update_parking_brake_steering();
  EXPECT_NEAR(brake_ratios.toe_limit_left, 0.238f * 0.8f, 1e-5);
  EXPECT_NEAR(brake_ratios.toe_limit_right, 0.238f, 1e-5);
  EXPECT_NEAR(brake_ratios.max_ratio_both, 0.238f * 0.9f, 1e-5);
}

// The host serves the runway friction as a float on both hosts: a snowy
// runway (9) brakes by a higher row of the table than a dry one.
TEST_F(GroundControls, HostRunwayFrictionReachesTheBrakeTable) {
  struct Case {
    int version;
    const char* name;
    float dry_row0, snowy_row0;
  };
  const Case cases[] = {
      {115000, "sim/weather/runway_friction", 0.238f, 0.478f},
      {120000, "sim/weather/region/runway_friction", 0.238f * 0.95f, (0.308f + 0.17f * 3.0f / 9.0f) * 0.95f},
  };
  for (const Case& c : cases) {
    simhost::Config config;
    config.host_version = c.version;
    simhost::reset(config);
    rebind_datarefs();
    host_version = c.version;
    float row0[2] = {};
    for (int snowy = 0; snowy < 2; ++snowy) {
      ASSERT_TRUE(simhost::set_float(c.name, snowy ? 9.0f : 0.0f)) << c.name;
      poll_host_datarefs();
      update_parking_brake_steering();
      row0[snowy] = brake_ratios.max_ratio_both;
    }
    EXPECT_NEAR(row0[0], c.dry_row0, 1e-5) << c.version;
    EXPECT_NEAR(row0[1], c.snowy_row0, 1e-5) << c.version;
  }
  EXPECT_TRUE(simhost::problems().empty()) << simhost::problems().front();
}

// The brake commands copy the frame's maxima as they stand: a toe brake
// button on an icy runway with one hot side brakes by that side's faded limit.
TEST_F(GroundControls, BrakeCommandsUseTheFrameBrakeMaxima) {
  host_version = 120000;
  host_mirror.sim_weather_runway_friction = 15;
  systems::brake_temp_l_in = systems::brake_temp_l_out = 9.9f;
  systems::brake_temp_r_in = systems::brake_temp_r_out = 3.0f;
  update_parking_brake_steering();
  const float row0 = 0.478f * 0.95f;
  EXPECT_NEAR(brake_commands.brake_max_value, row0 * 0.9f, 1e-5);
  EXPECT_NEAR(brake_commands.toe_brake_max_left, row0 * 0.8f, 1e-5);
  EXPECT_NEAR(brake_commands.toe_brake_max_right, row0, 1e-5);
  EXPECT_EQ(brake_commands.brake_regular_value, 0.2f);
  cmd_push_button_toe_brake_both(nullptr, 0, nullptr);
  EXPECT_NEAR(brake_commands.toe_brake_left, row0 * 0.8f, 1e-5);
  EXPECT_NEAR(brake_commands.toe_brake_right, row0, 1e-5);
  update_parking_brake_steering();
  EXPECT_NEAR(simhost::get_float("sim/cockpit2/controls/left_brake_ratio"), row0 * 0.8f, 1e-5);
  EXPECT_NEAR(simhost::get_float("sim/cockpit2/controls/right_brake_ratio"), row0, 1e-5);
  cmd_push_button_toe_brake_both(nullptr, 2, nullptr);
  // Cooled brakes on a dry runway: the next press follows the new table.
  host_mirror.sim_weather_runway_friction = 0;
  systems::brake_temp_l_in = systems::brake_temp_l_out = 1.0f;
  update_parking_brake_steering();
  cmd_push_button_toe_brake_left(nullptr, 0, nullptr);
  EXPECT_NEAR(brake_commands.toe_brake_left, 0.238f * 0.95f, 1e-5);
}

TEST_F(GroundControls, FullPedalAtStandstillOnDryRunway) {
  host_version = 110000;
  host_mirror.sim_flightmodel_position_groundspeed = 0.0f;
  axis::left_toe_brake = 1.0f;
  update_parking_brake_steering();
  EXPECT_NEAR(brake_commands.pedal_brake_left, 0.6664f, 1e-5);
  EXPECT_EQ(brake_commands.pedal_brake_right, 0.0f);
  // At 77 m/s the pedal gives 0.85 of its limit.
  host_mirror.sim_flightmodel_position_groundspeed = 77.0f;
  update_parking_brake_steering();
  EXPECT_NEAR(brake_commands.pedal_brake_left, 0.238f * 0.85f, 1e-5);
}

// The ramp's unit times: full pedal travel in 0.1 s going on, 1 s letting go.
TEST_F(GroundControls, PedalBrakesBuildInATenthAndLetGoInASecond) {
  host_version = 110000;
  frame_time = 0.03125f;
  axis::left_toe_brake = 1.0f;
  update_parking_brake_steering();
  EXPECT_FLOAT_EQ(simhost::get_float("sim/cockpit2/controls/left_brake_ratio"), 0.3125f);
  update_parking_brake_steering();
  update_parking_brake_steering();
  EXPECT_NEAR(simhost::get_float("sim/cockpit2/controls/left_brake_ratio"), 0.6664f, 1e-5);
  axis::left_toe_brake = 0.0f;
  update_parking_brake_steering();
  EXPECT_NEAR(simhost::get_float("sim/cockpit2/controls/left_brake_ratio"), 0.6664f - 0.03125f, 1e-5);
  EXPECT_EQ(simhost::get_float("sim/cockpit2/controls/right_brake_ratio"), 0.0f);
}

TEST_F(GroundControls, BothToeBrakeButtonBrakesThroughTheParkingChannel) {
  host_version = 110000;
  host_mirror.sim_flightmodel_position_groundspeed = 0.0f;
  update_parking_brake_steering();
  cmd_push_button_toe_brake_both(nullptr, 0, nullptr);
  EXPECT_NEAR(brake_commands.toe_brake_both, 0.238f, 1e-6);
  for (int i = 0; i < 8; ++i) update_parking_brake_steering();  // 1 s
  const float park = simhost::get_float("sim/cockpit2/controls/parking_brake_ratio");
  EXPECT_GT(park, 0.2f);
  EXPECT_LT(park, 0.238f * 1.8f);
  cmd_push_button_toe_brake_both(nullptr, 2, nullptr);
  EXPECT_EQ(brake_commands.toe_brake_both, 0.0f);
  for (int i = 0; i < 16; ++i) update_parking_brake_steering();
  EXPECT_LT(simhost::get_float("sim/cockpit2/controls/parking_brake_ratio"), 0.05f);
}

TEST_F(GroundControls, SmoothBrakingIsNotManualBraking) {
  struct Case {
    const char* what;
    float left, right, both, active, value, smooth;
    bool manual;
  };
  const Case cases[] = {
      {"nothing", 0, 0, 0, 0, 0, 0, false},
      {"brake smoothly held", 0, 0, 0, 0, 0, 1, false},  // through its command
      {"left toe button", 0.2f, 0, 0, 1, 0, 0, true},
      {"both toe button", 0.2f, 0.2f, 0.2f, 1, 0, 0, true},
      {"held host brake command", 0, 0, 0, 1, 0.2f, 0, true},
  };
  for (const Case& c : cases) {
    brake_commands.toe_brake_left = c.left;
    brake_commands.toe_brake_right = c.right;
    brake_commands.toe_brake_both = c.both;
    brake_commands.brake_cmd_active = c.active;
    brake_commands.brake_cmd_value = c.value;
    if (c.smooth != 0.0f) cmd_brake_smoothly(nullptr, xplm_CommandBegin, nullptr);
    EXPECT_EQ(manual_braking(), c.manual) << c.what;
    if (c.smooth != 0.0f) cmd_brake_smoothly(nullptr, xplm_CommandEnd, nullptr);
  }
}

TEST_F(GroundControls, NoseWheelSteeringAndTurnBraking) {
  host_mirror.sim_flightmodel_position_groundspeed = 10.0f;  // tiller limit 25 deg
  script_mirror.zuvadud_D738_effects_nosewheel = 0.0f;
  switches::nose_steer_pos = 1.0f;
  axis::nosewheel = 1.0f;
  update_parking_brake_steering();
  // 25 deg/s: the first frame's turn brake reaches the host in that frame.
  EXPECT_FLOAT_EQ(brake_state.nosewheel_deg, 3.125f);
  EXPECT_GT(simhost::get_float("sim/cockpit2/controls/right_brake_ratio"), 0.0f);
  for (int i = 0; i < 16; ++i) update_parking_brake_steering();
  EXPECT_FLOAT_EQ(brake_state.nosewheel_deg, 25.0f);
  EXPECT_FLOAT_EQ(simhost::get_floats("sim/flightmodel2/gear/tire_steer_command_deg")[0], 25.0f);
  const float k1 = 0.8f - 0.44f * 10.0f / 70.0f;
  const float turn = std::sin(25.0f * 0.017453292f) * k1 * (5.0f / 7.0f) * 0.12f;
  EXPECT_NEAR(simhost::get_float("sim/cockpit2/controls/right_brake_ratio"), turn, 1e-5);
  EXPECT_EQ(simhost::get_float("sim/cockpit2/controls/left_brake_ratio"), 0.0f);
  // Below 8 m/s the outer side takes a share too; straight ahead nothing.
  host_mirror.sim_flightmodel_position_groundspeed = 6.0f;
  update_parking_brake_steering();
  EXPECT_GT(brake_state.turn_brake_left, 0.0f);
  EXPECT_LT(brake_state.turn_brake_left, brake_state.turn_brake_right);
  // Without the selected hydraulic source the wheel castors, straight ahead
  // as the aircraft rolls straight, whatever the tiller, and nothing brakes;
  // the standby pump powering the rudder does not steer.
  hydraulic::A_status = 0.0f;
  hydraulic::A_rudder = 1.0f;
  axis::nosewheel = -1.0f;
  update_parking_brake_steering();
  EXPECT_EQ(brake_state.nosewheel_deg, 0.0f);
  EXPECT_EQ(brake_state.turn_brake_right, 0.0f);
  switches::nose_steer_pos = 0.0f;  // alternate: system B steers
  update_parking_brake_steering();
  EXPECT_LT(brake_state.nosewheel_deg, 0.0f);
}

TEST_F(GroundControls, DischargedAccumulatorHoldsTheToeBrakesUntilPressureReturns) {
  host_version = 110000;
  host_mirror.sim_weather_temperature_ambient_c = -50.0f;  // precharge 825 psi
  hydraulic::A_status = hydraulic::B_status = 0.0f;
  hydraulic::A_pressure = hydraulic::B_pressure = 0.0f;
  brake::brake_press = 800.0f;
  axis::left_toe_brake = 1.0f;
  for (int i = 0; i < 8; ++i) {
    update_parking_brake_steering();
    brake_pressure_to_host();
  }
  EXPECT_EQ(cockpit::toe_brake_override, 1.0f);
  EXPECT_EQ(brake_state.autobrake_inop, 1.0f);
  EXPECT_EQ(simhost::get_float("sim/cockpit2/controls/left_brake_ratio"), 0.0f);
  EXPECT_FLOAT_EQ(brake::brake_press, 825.0f);
  // Hydraulics back: once the accumulator is charged the pedals brake again.
  hydraulic::B_status = 1.0f;
  hydraulic::A_pressure = hydraulic::B_pressure = 3000.0f;
  for (int i = 0; i < 80; ++i) {
    update_parking_brake_steering();
    brake_pressure_to_host();
  }
  EXPECT_GT(brake::brake_press, 845.0f);
  EXPECT_EQ(cockpit::toe_brake_override, 0.0f);
  EXPECT_EQ(brake_state.autobrake_inop, 0.0f);
  update_parking_brake_steering();
  EXPECT_GT(simhost::get_float("sim/cockpit2/controls/left_brake_ratio"), 0.5f);
  // An override a script set is its own: a charged accumulator leaves it.
  cockpit::toe_brake_override = 1.0f;
  brake_pressure_to_host();
  EXPECT_EQ(cockpit::toe_brake_override, 1.0f);
}

TEST_F(GroundControls, ParkingBrakeNeedsPedalsReleasedBeforeBothPressedReleaseIt) {
  cockpit::parking_brake_pos = 1.0f;
  lever_commands.park_brake_engaged = 1.0f;
  brake_commands.park_brake_pedals_released = 0.0f;
  host_mirror.sim_cockpit2_controls_parking_brake_ratio = 1.0f;
  host_mirror.sim_cockpit2_controls_left_brake_ratio = 0.96f;
  host_mirror.sim_cockpit2_controls_right_brake_ratio = 0.96f;
  axis::left_toe_brake = axis::right_toe_brake = 1.0f;
  update_parking_brake_steering();
  EXPECT_EQ(cockpit::parking_brake_pos, 1.0f);  // never released since it was set
  axis::left_toe_brake = axis::right_toe_brake = 0.0f;
  update_parking_brake_steering();
  EXPECT_EQ(brake_commands.park_brake_pedals_released, 1.0f);
  axis::left_toe_brake = axis::right_toe_brake = 1.0f;
  update_parking_brake_steering();
  EXPECT_EQ(cockpit::parking_brake_pos, 0.0f);
  EXPECT_EQ(lever_commands.park_brake_engaged, 0.0f);
}

TEST_F(GroundControls, RtoBrakesAboveNinetyKnotsAndEndsOnLeverAdvance) {
  autobrake::autobrake_pos = 0.0f;
  autobrake::autobrake_RTO_arm = 1.0f;
  update_parking_brake_steering();  // fills the ratio table
  host_mirror.sim_flightmodel_position_groundspeed = 85.0f / 1.94384f;
  update_autobrake_arming();
  EXPECT_EQ(autobrake::autobrake_RTO_arm, 1.0f);
  host_mirror.sim_flightmodel_position_groundspeed = 95.0f / 1.94384f;
  update_autobrake_arming();
  EXPECT_EQ(autobrake::autobrake_RTO_arm, 2.0f);
  EXPECT_NEAR(autobrake_brake_value, 0.234f * 0.95f, 1e-5);
  engine::thrust1_leveler = 0.3f;
  update_autobrake_arming();
  EXPECT_EQ(autobrake::autobrake_RTO_arm, 0.0f);
  EXPECT_EQ(autobrake::autobrake_disarm, 1.0f);
  EXPECT_EQ(autobrake_brake_value, 0.0f);
  EXPECT_EQ(rto_speedbrake_stow_request, 1.0f);
}

TEST_F(GroundControls, RtoSelfTestOutcome) {
  autobrake::autobrake_pos = 0.0f;
  autobrake::autobrake_RTO_test = 1.0f;
  update_autobrake_arming();
  EXPECT_EQ(autobrake::autobrake_disarm, 1.0f);  // lit while the test runs
  autobrake::autobrake_RTO_test = 2.0f;
  rto_test_result = 2.0f;
  update_autobrake_arming();
  EXPECT_EQ(autobrake::autobrake_RTO_arm, 1.0f);
  EXPECT_EQ(autobrake::autobrake_disarm, 0.0f);
  EXPECT_EQ(autobrake::autobrake_RTO_test, 0.0f);
  autobrake::autobrake_RTO_arm = 0.0f;
  autobrake::autobrake_RTO_test = 2.0f;
  rto_test_result = 1.0f;
  update_autobrake_arming();
  EXPECT_EQ(autobrake::autobrake_RTO_arm, 0.0f);
  EXPECT_EQ(autobrake::autobrake_disarm, 1.0f);
}

TEST_F(GroundControls, LandingAutobrakeArmsAirborneAndBrakesOnTheGround) {
  update_parking_brake_steering();
  on_ground = 0;
  gear3_on_ground = 0;
  autobrake::autobrake_pos = 3.0f;  // setting 2
  update_autobrake_arming();
  EXPECT_EQ(autobrake::autobrake_arm, 1.0f);
  EXPECT_EQ(autobrake_brake_value, 0.0f);
  on_ground = 1;
  gear3_on_ground = 1;
  update_autobrake_arming();
  EXPECT_EQ(autobrake::autobrake_arm, 2.0f);
  EXPECT_NEAR(autobrake_brake_value, 0.09f * 0.95f, 1e-5);
  EXPECT_EQ(delay_timers.autobrake_delay_1, 3.0f);
  axis::left_toe_brake = 1.0f;
  update_parking_brake_steering();  // pedal shaped
  update_autobrake_arming();
  EXPECT_EQ(autobrake::autobrake_arm, 0.0f);
  EXPECT_EQ(autobrake::autobrake_disarm, 1.0f);
}

TEST_F(GroundControls, GearHornByFlapsLeverAndThrust) {
  frame_time = 0.1f;
  host_mirror.sim_cockpit2_gauges_indicators_radio_altimeter_height_ft_pilot = 500.0f;
  // The horn follows the gear (a main leg at `gear`), whatever the lever says.
  struct Case {
    float lever, gear, flaps, thr1, thr2;
    float horn;
  } cases[] = {
      {1.0f, 1.0f, 1.0f, 0, 0, 0},         {1.0f, 1.0f, 0.3f, 0, 0, 0},         {0.0f, 0.0f, 0.875f, 1, 1, 1},
      {0.0f, 0.0f, 0.625f, 0.3f, 0.3f, 1}, {0.0f, 0.0f, 0.625f, 0.9f, 0.9f, 0}, {0.0f, 0.0f, 0.25f, 0.0f, 0.5f, 1},
      {0.0f, 0.0f, 0.25f, 0.0f, 0.7f, 1},  {1.0f, 0.0f, 0.875f, 0.7f, 0.7f, 1}, {0.5f, 1.0f, 0.875f, 0.7f, 0.7f, 0},
      {0.0f, 1.0f, 0.25f, 0.0f, 0.0f, 0},  {1.0f, 0.99f, 0.25f, 0.0f, 0.0f, 1},
  };
  for (const Case& c : cases) {
    controls::gear_handle_down = c.lever;
    host_mirror.sim_aircraft_parts_acf_gear_deploy[0] = host_mirror.sim_aircraft_parts_acf_gear_deploy[2] = 1.0f;
    host_mirror.sim_aircraft_parts_acf_gear_deploy[1] = c.gear;
    flt_ctrls::flap_lever = c.flaps;
    engine::thrust1_leveler = c.thr1;
    engine::thrust2_leveler = c.thr2;
    alert::gear_horn_cut_disable = 0.0f;
    update_gear_warning_horn();
    EXPECT_EQ(systems::cabin_gear_wrn, c.horn) << c.lever << " " << c.gear << " " << c.flaps << " " << c.thr2;
  }
  host_mirror.sim_aircraft_parts_acf_gear_deploy[1] = 0.0f;
  // Silenced at low flaps above 200 ft; not below 200 ft.
  alert::gear_horn_cut_disable = 1.0f;
  update_gear_warning_horn();
  controls::gear_handle_down = 0.0f;
  engine::thrust2_leveler = 0.5f;
  update_gear_warning_horn();
  EXPECT_EQ(systems::cabin_gear_wrn, 0.0f);
  EXPECT_EQ(gear_horn_uncancellable, 0);
  host_mirror.sim_cockpit2_gauges_indicators_radio_altimeter_height_ft_pilot = 150.0f;
  update_gear_warning_horn();
  EXPECT_EQ(systems::cabin_gear_wrn, 1.0f);
  EXPECT_EQ(gear_horn_uncancellable, 1);
}

TEST_F(GroundControls, TyresBurstAboveTheirSpeedForTheDay) {
  script_mirror.zuvadud_D738_effect_tire_blown = 1.0f;
  for (int i = 0; i < 3; ++i) host_mirror.sim_flightmodel2_gear_on_ground[i] = 1;
  struct Case {
    float speed, temp;
    int burst;
  } cases[] = {{99.0f, 40.0f, 6}, {100.0f, 0.0f, 0}, {120.5f, -10.0f, 6}};
  for (const Case& c : cases) {
    host_mirror.sim_operation_failures_rel_tire1 = 0;
    host_mirror.sim_flightmodel_position_groundspeed = c.speed;
    host_mirror.sim_weather_temperature_le_c = c.temp;
    update_wing_tyre_failures();
    EXPECT_EQ(host_mirror.sim_operation_failures_rel_tire1, c.burst) << c.speed << " " << c.temp;
  }
}

TEST_F(GroundControls, GearRetractsAtItsTransitTimeAndNotOnTheGround) {
  frame_time = 0.5f;
  gear_legs_from_host = 0;
  float* leg = systems_memory.gear_leg;
  const float* host = host_mirror.sim_aircraft_parts_acf_gear_deploy;
  leg[0] = leg[1] = leg[2] = 1.0f;
  controls::gear_handle_down = 0.0f;
  lever_commands.gear_down_selected = 0.0f;
  hydraulic::A_pressure = 3000.0f;
  host_mirror.sim_cockpit2_gauges_indicators_airspeed_kts_pilot = 180.0f;
  update_landing_gear();
  EXPECT_EQ(leg[0], 1.0f);  // on the ground nothing moves
  on_ground = 0;
  int frames = 0;
  while (leg[1] > 0.0f && frames < 100) {
    update_landing_gear();
    ++frames;
  }
  EXPECT_GE(frames, 20);  // 10.2 .. 10.5 s
  EXPECT_LE(frames, 22);
  EXPECT_EQ(leg[0], 0.0f);
  EXPECT_EQ(simhost::get_floats("sim/aircraft/parts/acf_gear_deploy")[1], 0.0f);
  // Above 250 kt the gear stays where it is.
  leg[0] = leg[1] = leg[2] = 1.0f;
  host_mirror.sim_cockpit2_gauges_indicators_airspeed_kts_pilot = 260.0f;
  update_landing_gear();
  EXPECT_EQ(leg[1], 1.0f);
  EXPECT_EQ(host[1], 1.0f);
}

TEST_F(GroundControls, GearExtendsPoweredAndByTheManualHandle) {
  frame_time = 0.5f;
  gear_legs_from_host = 0;
  float* leg = systems_memory.gear_leg;
  leg[0] = leg[1] = leg[2] = 0.0f;
  on_ground = 0;
  controls::gear_handle_down = 1.0f;
  lever_commands.gear_down_selected = 1.0f;
  hydraulic::A_pressure = 3000.0f;
  host_mirror.sim_cockpit2_gauges_indicators_airspeed_kts_pilot = 200.0f;
  int frames = 0;
  while (leg[1] < 1.0f && frames < 100) {
    update_landing_gear();
    ++frames;
  }
  EXPECT_GE(frames, 18);  // 9.1 .. 10.1 s
  EXPECT_LE(frames, 21);
  EXPECT_EQ(leg[0], 1.0f);
  // Manual extension: the handle lets every leg fall from the pull, nose
  // 9.3 .. 10.4 s, mains 12.3 .. 14 s, whatever system A holds and whether
  // its actuator works; with the lever DOWN and A's actuator working the
  // hydraulic extension is the faster.
  struct Case {
    float a_status, a_psi, lever;
    int actuator;
    int nose_min, nose_max, mains_max;  // half-second frames to lock down
  } cases[] = {
      {0, 0, 0.5f, 0, 19, 21, 28},  {1, 2920, 0.5f, 6, 19, 21, 28}, {1, 2920, 1, 6, 19, 21, 28},
      {1, 2000, 1, 0, 19, 21, 28},  {1, 2920, 1, 0, 13, 15, 21},
  };
  float* host = host_mirror.sim_aircraft_parts_acf_gear_deploy;
  for (const Case& c : cases) {
    leg[0] = leg[1] = leg[2] = 0.0f;
    host[0] = host[1] = host[2] = 0.0f;
    lever_commands.gear_down_selected = 0.0f;
    controls::gear_handle_down = c.lever;
    hydraulic::A_status = c.a_status;
    hydraulic::A_pressure = c.a_psi;
    hydraulic::B_status = 0.0f;
    host_mirror.sim_operation_failures_rel_gear_act = c.actuator;
    man_gear_handle_target = 1.0f;
    emergency::landgear_pos = 0.0f;
    int nose = 0;
    int mains = 0;
    for (int f = 1; f <= 40 && mains == 0; ++f) {
      update_landing_gear();  // the handle passes 0.9 within the first frame
      if (nose == 0 && leg[0] >= 1.0f) nose = f;
      if (leg[1] >= 1.0f && leg[2] >= 1.0f) mains = f;
    }
    const auto why = ::testing::Message() << c.a_status << " " << c.a_psi << " lever " << c.lever << " act " << c.actuator;
    EXPECT_EQ(lever_commands.gear_down_selected, 1.0f) << why;
    EXPECT_GE(nose, c.nose_min) << why;
    EXPECT_LE(nose, c.nose_max) << why;
    EXPECT_LE(mains, c.mains_max) << why;
    EXPECT_GT(mains, 0) << why;
    EXPECT_EQ(simhost::get_floats("sim/aircraft/parts/acf_gear_deploy")[2], 1.0f) << why;
  }
  host_mirror.sim_operation_failures_rel_gear_act = 0;
  man_gear_handle_target = 0.0f;
  emergency::landgear_pos = 0.0f;
}

TEST_F(GroundControls, GearLegsAreTheModelsOwnOnceTakenFromTheHost) {
  float* leg = systems_memory.gear_leg;
  float* host = host_mirror.sim_aircraft_parts_acf_gear_deploy;
  controls::gear_handle_down = 1.0f;
  lever_commands.gear_down_selected = 1.0f;
  // A situation load with the gear up: the saved legs do not lower it.
  gear_legs_from_host = 1;
  leg[0] = leg[1] = leg[2] = 1.0f;
  host[0] = host[1] = host[2] = 0.0f;
  on_ground = 0;
  host_mirror.sim_cockpit2_gauges_indicators_airspeed_kts_pilot = 300.0f;  // too fast to move
  update_landing_gear();
  EXPECT_EQ(leg[0], 0.0f);
  EXPECT_EQ(simhost::get_floats("sim/aircraft/parts/acf_gear_deploy")[0], 0.0f);
  // From then on the model's legs are written every frame, whatever the host has.
  leg[0] = leg[1] = leg[2] = 1.0f;
  update_landing_gear();
  EXPECT_EQ(simhost::get_floats("sim/aircraft/parts/acf_gear_deploy")[2], 1.0f);
  // A collapsed leg sits at 0.26; with the actuator failed it is not written.
  host_mirror.sim_operation_failures_rel_collapse2 = 6;
  update_landing_gear();
  EXPECT_FLOAT_EQ(simhost::get_floats("sim/aircraft/parts/acf_gear_deploy")[1], 0.26f);
  host_mirror.sim_operation_failures_rel_collapse2 = 0;
  host_mirror.sim_operation_failures_rel_collapse3 = 6;
  host_mirror.sim_operation_failures_rel_gear_act = 6;
  update_landing_gear();
  EXPECT_FLOAT_EQ(leg[2], 0.26f);
  EXPECT_EQ(simhost::get_floats("sim/aircraft/parts/acf_gear_deploy")[2], 1.0f);
  host_mirror.sim_operation_failures_rel_collapse3 = 0;
  host_mirror.sim_operation_failures_rel_gear_act = 0;
}

TEST_F(GroundControls, FlapLoadReliefHysteresis) {
  host_mirror.sim_cockpit2_controls_flap_handle_deploy_ratio = 1.0f;
  switches::alt_flaps_pos = 0.0f;
  hydraulic::B_pressure = 3000.0f;
  host_mirror.sim_operation_failures_rel_flap_act = 0;
  systems_memory.flap_axis_last = axis::flap_lever;
  flt_ctrls::flap_lever = 1.0f;
  struct Step {
    float ias, request;
  } steps[] = {{160, 1.0f}, {163, 0.875f}, {160, 0.875f}, {158, 0.875f}, {157.9f, 1.0f}};
  for (const Step& s : steps) {
    host_mirror.sim_cockpit2_gauges_indicators_airspeed_kts_pilot = s.ias;
    update_flaps_slats();
    EXPECT_EQ(host_mirror.sim_cockpit2_controls_flap_ratio, s.request) << s.ias;
  }
  flt_ctrls::flap_lever = 0.875f;
  host_mirror.sim_cockpit2_gauges_indicators_airspeed_kts_pilot = 176.0f;
  update_flaps_slats();
  EXPECT_EQ(host_mirror.sim_cockpit2_controls_flap_ratio, 0.75f);
  // A lever off its detent is judged on the detent it stands nearest.
  for (const Step& s : {Step{1.0001f, 0.875f}, Step{0.9999f, 0.875f}, Step{0.3f, 0.25f}, Step{-1.0f, 0.0f}}) {
    flt_ctrls::flap_lever = s.ias;
    host_mirror.sim_cockpit2_gauges_indicators_airspeed_kts_pilot = 170.0f;
    update_flaps_slats();
    EXPECT_EQ(host_mirror.sim_cockpit2_controls_flap_ratio, s.request) << s.ias;
  }
  // Flap time by deploy ratio, slowed with low system B pressure.
  EXPECT_EQ(host_mirror.sim_aircraft2_engine_flap_extension_time_sec, 40.0f);
  hydraulic::B_pressure = 2000.0f;
  host_mirror.sim_cockpit2_controls_flap_handle_deploy_ratio = 0.1f;
  update_flaps_slats();
  EXPECT_EQ(host_mirror.sim_aircraft2_engine_flap_extension_time_sec, 240.0f);
}

TEST_F(GroundControls, AlternateFlapsOnStandbyHydraulics) {
  switches::alt_flaps_pos = 1.0f;
  hydraulic::standby_status = 1.0f;
  host_mirror.sim_operation_failures_rel_flap_act = 0;
  systems_memory.flap_axis_last = axis::flap_lever;
  host_mirror.sim_flightmodel2_gear_on_ground[0] = host_mirror.sim_flightmodel2_gear_on_ground[1] = 0;
  host_mirror.sim_flightmodel2_gear_on_ground[2] = 0;
  host_mirror.sim_cockpit2_controls_flap_handle_deploy_ratio = 0.0f;
  host_mirror.sim_flightmodel2_controls_slat1_deploy_ratio = 0.0f;
  host_mirror.sim_flightmodel2_controls_slat2_deploy_ratio = 0.0f;
  toggle_switch::alt_flaps_ctrl = 1.0f;  // DOWN
  update_flaps_slats();
  EXPECT_EQ(host_mirror.sim_cockpit2_controls_flap_ratio, 1.0f);
  EXPECT_FLOAT_EQ(host_mirror.sim_aircraft2_engine_flap_extension_time_sec, 80.0f * 4.21f);
  EXPECT_FLOAT_EQ(host_mirror.sim_flightmodel2_controls_slat1_deploy_ratio, frame_time / 32.0f);
  EXPECT_FLOAT_EQ(host_mirror.sim_flightmodel2_controls_slat2_deploy_ratio, frame_time / 58.0f);
  // Switch at OFF part way: the flaps stop where they are.
  host_mirror.sim_cockpit2_controls_flap_handle_deploy_ratio = 0.5f;
  toggle_switch::alt_flaps_ctrl = 0.0f;
  update_flaps_slats();
  update_flaps_slats();
  EXPECT_EQ(host_mirror.sim_cockpit2_controls_flap_ratio, 0.5f);
  EXPECT_FLOAT_EQ(host_mirror.sim_aircraft2_engine_flap_extension_time_sec, 24.0f * 4.21f);
  EXPECT_EQ(host_mirror.sim_aircraft_specialcontrols_acf_autoslatEQ, 1);
  toggle_switch::alt_flaps_ctrl = -1.0f;  // UP
  update_flaps_slats();
  EXPECT_EQ(host_mirror.sim_cockpit2_controls_flap_ratio, 0.0f);
  EXPECT_EQ(flap_slat_held, 0.0f);
  // Without the standby system the trailing edges still run on the alternate
  // drive; the slats are held, and AUTO SLAT FAIL is told.
  hydraulic::standby_status = 0.0f;
  host_mirror.sim_cockpit2_controls_flap_handle_deploy_ratio = 0.3f;
  update_flaps_slats();
  EXPECT_EQ(host_mirror.sim_cockpit2_controls_flap_ratio, 0.0f);
  EXPECT_EQ(host_mirror.sim_aircraft_specialcontrols_acf_autoslatEQ, 0);
  EXPECT_EQ(flap_slat_held, 1.0f);
  // Once system B has had the flaps, arming again leaves the slats in until DOWN.
  switches::alt_flaps_pos = 0.0f;
  hydraulic::B_status = 1.0f;
  host_mirror.sim_flightmodel2_controls_slat1_deploy_ratio = 0.0f;
  update_flaps_slats();
  switches::alt_flaps_pos = 1.0f;
  hydraulic::standby_status = 1.0f;
  update_flaps_slats();
  EXPECT_EQ(host_mirror.sim_flightmodel2_controls_slat1_deploy_ratio, 0.0f);
  switches::alt_flaps_pos = 0.0f;
  toggle_switch::alt_flaps_ctrl = 0.0f;
}

TEST_F(GroundControls, FlapLeverDetentsFromAxisThresholds) {
  const float thr[8] = {0.1f, 0.2f, 0.3f, 0.4f, 0.5f, 0.6f, 0.7f, 0.8f};
  for (int i = 0; i < 8; ++i) script_mirror.zuvadud_D738_fms_flap_detents_thr[i] = thr[i];
  const float axis_lever[][2] = {{0.05f, 0.0f}, {0.1f, 0.125f}, {0.45f, 0.5f}, {0.79f, 0.875f}, {0.95f, 1.0f}};
  for (const auto& c : axis_lever) {
    axis::flap_lever = c[0];
    flt_ctrls::flap_lever = 0.75f;  // another detent: the move sounds
    fmod_::flap_sound = 0.0f;
    update_flaps_slats();
    EXPECT_EQ(flt_ctrls::flap_lever, c[1]) << c[0];
    EXPECT_EQ(fmod_::flap_sound, 1.0f);
  }
  // The same detent again is silent.
  axis::flap_lever = 0.96f;
  fmod_::flap_sound = 0.0f;
  update_flaps_slats();
  EXPECT_EQ(fmod_::flap_sound, 0.0f);
}

TEST_F(GroundControls, SpeedBrakeLeverAirborneStopsAtFlightDetent) {
  host_mirror.sim_flightmodel_failures_onground_all = 0;
  flt_ctrls::speedbrake_lever_anim = 0.0f;
  flt_ctrls::speedbrake_lever = 0.5f;
  axis::speedbrake_lever = 0.9f;
  update_speedbrake_stop();
  EXPECT_FLOAT_EQ(flt_ctrls::speedbrake_lever, 0.667f);
  EXPECT_NEAR(host_mirror.sim_cockpit2_controls_speedbrake_ratio, 0.99f, 1e-5);
  axis::speedbrake_lever = 0.0889f;
  update_speedbrake_stop();
  EXPECT_FLOAT_EQ(host_mirror.sim_cockpit2_controls_speedbrake_ratio, -0.5f);
  // The stop holds only in flight with the flaps up and its power: on any
  // wheel (the mains down, the nose up), with the flaps out or without the
  // power UP is UP, the ground spoilers with it on the right main; a lever
  // held at UP in flight is taken as the stop lets go.
  struct Row {
    int32_t any, right_main;
    float flaps, power, lever, ratio;
  } rows[] = {{1, 1, 0.875f, 1, 1.0f, 1.0f}, {1, 0, 0.875f, 1, 1.0f, 0.99f}, {0, 0, 0.875f, 1, 1.0f, 0.99f},
              {0, 0, 0, 0, 1.0f, 0.99f},     {0, 0, 0, 1, 0.667f, 0.99f}};
  for (const Row& r : rows) {
    host_mirror.sim_flightmodel_failures_onground_any = r.any;
    gear3_on_ground = r.right_main;
    host_mirror.sim_cockpit2_controls_flap_handle_deploy_ratio = r.flaps;
    electric::ac_tnsbus1_status = electric::ac_tnsbus2_status = r.power;
    flt_ctrls::speedbrake_lever = 0.5f;
    axis::speedbrake_lever = 0.5f;
    update_speedbrake_stop();
    axis::speedbrake_lever = 1.0f;
    update_speedbrake_stop();
    EXPECT_FLOAT_EQ(flt_ctrls::speedbrake_lever, r.lever) << r.any << r.right_main << " flaps " << r.flaps;
    EXPECT_NEAR(host_mirror.sim_cockpit2_controls_speedbrake_ratio, r.ratio, 1e-5) << r.any << r.right_main;
    // The nose comes down on the mains (the held lever stays UP), or the
    // wheels touch under a lever held at UP in flight: UP.
    host_mirror.sim_flightmodel_failures_onground_any = 1;
    update_speedbrake_stop();
    EXPECT_FLOAT_EQ(flt_ctrls::speedbrake_lever, 1.0f) << r.any << r.right_main << " flaps " << r.flaps;
  }
  electric::ac_tnsbus1_status = electric::ac_tnsbus2_status = 1.0f;
  host_mirror.sim_flightmodel_failures_onground_any = 0;
  host_mirror.sim_cockpit2_controls_flap_handle_deploy_ratio = 0.0f;
  // Spoiler switches off fail the host's spoilers.
  switches::spoiler_A_pos = 1.0f;
  update_speedbrake_stop();
  EXPECT_EQ(host_mirror.sim_operation_failures_rel_wing2L, 6);
  EXPECT_EQ(host_mirror.sim_operation_failures_rel_wing2R, 0);
}

TEST_F(GroundControls, AutoSpeedBrakeDeploysAtTouchdownWhenArmed) {
  host_mirror.sim_cockpit2_gauges_indicators_radio_altimeter_height_ft_pilot = 150.0f;
  on_ground = 0;
  gear3_on_ground = 0;
  flt_ctrls::speedbrake_lever = 0.0889f;
  flt_ctrls::speedbrake_lever_anim = 0.0f;
  update_speedbrake();
  host_mirror.sim_cockpit2_gauges_indicators_radio_altimeter_height_ft_pilot = 0.0f;
  on_ground = gear3_on_ground = 1;
  host_mirror.sim_flightmodel_position_groundspeed = 130.0f / 1.94384f;
  update_speedbrake();
  EXPECT_EQ(flt_ctrls::speedbrake_lever_anim, 1.0f);
  EXPECT_EQ(speedbrake_lever_anim_target, 1.0f);
  EXPECT_EQ(delay_timers.autobrake_delay_2, 6.0f);
  EXPECT_EQ(simhost::get_float("zuvadud/D738/flt_ctrls/speedbrake_target"), 1.0f) << "the scripts see the target";
  // A target the scripts set steers the automatic movement.
  ASSERT_TRUE(simhost::set_float("zuvadud/D738/flt_ctrls/speedbrake_target", 0.5f));
  hydraulic::A_status = 1.0f;
  for (int i = 0; i < 40; ++i) update_speedbrake_stop();
  EXPECT_NEAR(flt_ctrls::speedbrake_lever, 0.5f, 1e-3f);
}

TEST_F(GroundControls, TrimWheelSoundsUnderATrimFailureAndControlWheelSteering) {
  script_mirror.zuvadud_autopilot_ap_on = 0.0f;
  script_mirror.zuvadud_D738_autopilot_cws_status = 2.0f;
  host_mirror.sim_cockpit2_controls_flap_handle_deploy_ratio = 0.0f;
  host_mirror.sim_cockpit2_controls_elevator_trim = 0.5f;
  bool slow_ap = false;
  for (int i = 0; i < 10 && !slow_ap; ++i) {
    update_stab_trim_wheel();
    slow_ap = flt_ctrls::trim_wheel_slow_ap == 1.0f;
  }
  EXPECT_TRUE(slow_ap) << "a trim change under control-wheel steering sounds like the autopilot's";
  // A trim failure stops the wheel and silences a quick trim still running.
  trim_wheel_fast_run = 1.0f;
  update_stab_trim_wheel();
  EXPECT_EQ(flt_ctrls::trim_wheel_quick, 1.0f);
  host_mirror.sim_operation_failures_rel_trim_elv = 6;
  const float wheel = flt_ctrls::trim_wheel;
  update_stab_trim_wheel();
  EXPECT_EQ(flt_ctrls::trim_wheel_quick, 0.0f);
  EXPECT_EQ(flt_ctrls::trim_wheel, wheel);
  trim_wheel_fast_run = 0.0f;
  host_mirror.sim_operation_failures_rel_trim_elv = 0;
  script_mirror.zuvadud_D738_autopilot_cws_status = 0.0f;
}

TEST_F(GroundControls, ManualReversionAndAutopilotGate) {
  hydraulic::A_status = hydraulic::B_status = 0.0f;
  hydraulic::A_rudder = hydraulic::B_rudder = 0.0f;
  cockpit::joy_override = 0.0f;
  simhost::set_ints("sim/joystick/joy_mapped_axis_avail", {0, 1, 1});
  host_mirror.sim_joystick_joy_mapped_axis_avail[1] = 1;
  host_mirror.sim_joystick_joy_mapped_axis_value[1] = 1.0f;
  update_joystick_axes();
  EXPECT_FLOAT_EQ(axis::pitch, 0.35f);
  hydraulic::A_status = hydraulic::A_rudder = 1.0f;
  script_mirror.zuvadud_autopilot_ap_on = 1.0f;
  script_mirror.zuvadud_D738_yoke_disco_ap = 1.0f;
  host_mirror.sim_cockpit2_controls_yoke_pitch_ratio = 0.0f;
  host_mirror.sim_joystick_joy_mapped_axis_value[1] = 0.15f;
  update_joystick_axes();
  EXPECT_EQ(host_mirror.sim_cockpit2_controls_yoke_pitch_ratio, 0.0f);
  host_mirror.sim_joystick_joy_mapped_axis_value[1] = 0.25f;
  update_joystick_axes();
  EXPECT_FLOAT_EQ(host_mirror.sim_cockpit2_controls_yoke_pitch_ratio, 0.25f);
}

TEST_F(GroundControls, ScriptGearInputAtItsOffDetent) {
  on_ground = 0;
  script_mirror.zuvadud_D738_flt_ctrls_landgear_off = 0.4f;
  script_mirror.zuvadud_D738_flt_ctrls_landgear = 0.4f;
  update_joystick_axes();
  EXPECT_EQ(controls::gear_handle_down, 0.5f);
  EXPECT_EQ(issued("zuvadud/D738/push_button/gear_off"), 1);
  script_mirror.zuvadud_D738_flt_ctrls_landgear = 1.0f;
  update_joystick_axes();
  EXPECT_EQ(controls::gear_handle_down, 1.0f);
  EXPECT_EQ(issued("zuvadud/D738/push_button/gear_down"), 1);
}

TEST_F(GroundControls, ScriptSpeedBrakeInputThroughTheScriptsDetents) {
  struct Case {
    float arm, flight, input, axis;
  };
  const Case cases[] = {
      {0.1f, 0.7f, 0.05f, 0.0f},     {0.1f, 0.7f, 0.11f, 0.0889f}, {0.1f, 0.7f, 0.4f, 0.3985f},
      {0.1f, 0.7f, 0.71f, 0.667f},   {0.1f, 0.7f, 0.86f, 0.8335f}, {0.1f, 0.7f, 1.0f, 1.0f},
      {0.1f, 0.99f, 0.995f, 0.667f}, {0.1f, 0.99f, 1.02f, 1.0f},  // no travel left beyond the detent: full
      {0.02f, 0.7f, 0.3f, 0.3f},     // no armed detent: the input itself
  };
  for (const Case& c : cases) {
    flt_ctrls::speedbrake_lever = 0.3f;  // in the flight range: every input counts
    script_mirror.zuvadud_D738_flt_ctrls_speedbrake_arm = c.arm;
    script_mirror.zuvadud_D738_flt_ctrls_speedbrake_flight = c.flight;
    script_mirror.zuvadud_D738_flt_ctrls_speedbrake = c.input;
    update_joystick_axes();
    EXPECT_NEAR(axis::speedbrake_lever, c.axis, 1e-4f) << c.arm << " " << c.flight << " " << c.input;
  }
}

TEST_F(GroundControls, ReverseLeverFollowsTheHostInReverse) {
  host_mirror.sim_cockpit2_engine_actuators_prop_mode[0] = 3;
  host_mirror.sim_cockpit2_engine_actuators_throttle_ratio[0] = 1.0f;
  host_mirror.sim_cockpit2_engine_actuators_prop_mode[1] = 1;
  host_mirror.sim_cockpit2_engine_actuators_throttle_ratio[1] = 0.5f;
  cockpit::throttle_override = 0.0f;
  update_trim_switches_reversers();
  EXPECT_FLOAT_EQ(flt_ctrls::reverse_lever1, 1.0f);
  EXPECT_EQ(flt_ctrls::reverse_lever2, 0.0f);
  EXPECT_EQ(flt_ctrls::lock_reverse2, 1.0f);
  EXPECT_EQ(flt_ctrls::lock_reverse12, 1.0f);
  // Airborne after reversing: the deploy failure holds the reverser.
  host_mirror.sim_cockpit2_gauges_indicators_radio_altimeter_height_ft_pilot = 50.0f;
  update_trim_switches_reversers();
  EXPECT_EQ(host_mirror.sim_operation_failures_rel_revdep0, 6);
  EXPECT_EQ(host_mirror.sim_operation_failures_rel_revers1, 6);
}

TEST_F(GroundControls, DisplayBrightnessByDayNightAndRouting) {
  host_version = 120000;
  elec_bus_state.capt_displays_ready = elec_bus_state.fo_displays_ready = 1.0f;
  display_units::idu_cpt = 0.0f;
  display_units::idu_fo = 0.0f;
  display_units::ldu = display_units::udu = 0.0f;
  display::nd_refresh = display::nd_refresh_fo = 0.0f;
  const float* ins = host_mirror.sim_cockpit2_switches_instrument_brightness_ratio;
  struct Case {
    float sun, knob, expect;
  } cases[] = {{-10, 0, 0.5f}, {-10, 1, 1.0f}, {40, 0, 0.4f}, {40, 1, 0.8f}};
  for (const Case& c : cases) {
    host_mirror.sim_graphics_scenery_sun_pitch_degrees = c.sun;
    electric::instrument_brightness[0] = c.knob;
    update_panel_brightness();
    EXPECT_FLOAT_EQ(ins[0], c.expect) << c.sun << " " << c.knob;
  }
  electric::instrument_brightness[2] = 1.0f;
  display_units::idu_cpt = 2.0f;
  update_panel_brightness();
  EXPECT_FLOAT_EQ(ins[0], 0.8f);  // the inboard format's knob
  display::nd_refresh = 0.3f;
  display_units::idu_cpt = 0.0f;
  update_panel_brightness();
  EXPECT_EQ(ins[2], 0.0f);
  electric::panel_brightness[3] = 0.04f;
  update_panel_brightness();
  EXPECT_EQ(electric::panel_brightness[3], 0.0f);
  // The battery bus lost alone: the displays stay on their own buses.
  electric::batbus_status = 0.0f;
  update_panel_brightness();
  EXPECT_GT(ins[0], 0.0f);
  EXPECT_GT(ins[1], 0.0f);
  EXPECT_FLOAT_EQ(electric::tint_dspl_capt, 0.72f);
  EXPECT_GT(annunciator::brightness_mcp_light, 0.0f);
  // The battery switch off with the buses up: nothing goes dark.
  electric::battery_pos = 0.0f;
  update_panel_brightness();
  EXPECT_GT(ins[0], 0.0f);
  EXPECT_GT(ins[1], 0.0f);
  EXPECT_FLOAT_EQ(electric::tint_dspl_capt, 0.72f);
  EXPECT_FLOAT_EQ(electric::tint_dspl_fo, 0.72f);
  EXPECT_GT(annunciator::brightness_mcp_light, 0.0f);
  // The DC buses lost: all dark.
  electric::dc_stdbus_status = electric::dc_bus1_status = electric::dc_bus2_status = 0.0f;
  update_panel_brightness();
  for (int i = 0; i < 6; ++i) EXPECT_EQ(ins[i], 0.0f) << i;
  EXPECT_EQ(electric::tint_dspl_capt, 0.0f);
  EXPECT_EQ(annunciator::brightness_mcp_light, 0.0f);
}

}  // namespace
