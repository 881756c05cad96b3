// Brakes and autobrake, landing gear, flaps and speed brake, control axes,
// reversers and panel brightness.
#include <cmath>
#include <string>

#include "alerting/aural_cues.h"
#include "bind_for_test.h"
#include "commands/command_handlers.h"
#include "core/preprocess.h"
#include "engines/engine_values.h"
#include "panel_fixture.h"
#include "systems/aircraft_systems.h"
#include "systems/annunciator_values.h"
#include "systems/autobrake_state.h"
#include "systems/brake_command_state.h"
#include "systems/brakes.h"
#include "systems/delay_timers.h"
#include "systems/flight_control_values.h"
#include "systems/gear_horn.h"
#include "systems/hydraulic_values.h"
#include "systems/instrument_values.h"
#include "systems/speedbrake_lever.h"
#include "systems/switch_memory.h"
#include "systems/switch_values.h"
#include "systems/system_state.h"

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
  struct Case {
    float lever, flaps, thr1, thr2;
    float horn;
  } cases[] = {
      {1.0f, 1.0f, 0, 0, 0}, {1.0f, 0.3f, 0, 0, 0}, {0.0f, 0.875f, 1, 1, 1},
      {0.0f, 0.625f, 0.3f, 0.3f, 1}, {0.0f, 0.625f, 0.9f, 0.9f, 0}, {0.0f, 0.25f, 0.0f, 0.5f, 1},
      {0.0f, 0.25f, 0.0f, 0.7f, 0},
  };
  for (const Case& c : cases) {
    controls::gear_handle_down = c.lever;
    host_mirror.sim_cockpit2_controls_flap_ratio = c.flaps;
    engine::thrust1_leveler = c.thr1;
    engine::thrust2_leveler = c.thr2;
    alert::gear_horn_cut_disable = 0.0f;
    update_gear_warning_horn();
    EXPECT_EQ(systems::cabin_gear_wrn, c.horn) << c.lever << " " << c.flaps << " " << c.thr2;
  }
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
  float* leg = host_mirror.sim_aircraft_parts_acf_gear_deploy;
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
  // Above 250 kt the gear stays where it is.
  leg[0] = leg[1] = leg[2] = 1.0f;
  host_mirror.sim_cockpit2_gauges_indicators_airspeed_kts_pilot = 260.0f;
  update_landing_gear();
  EXPECT_EQ(leg[1], 1.0f);
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
  // Flap time by deploy ratio, slowed with low system B pressure.
  EXPECT_EQ(host_mirror.sim_aircraft2_engine_flap_extension_time_sec, 40.0f);
  hydraulic::B_pressure = 2000.0f;
  host_mirror.sim_cockpit2_controls_flap_handle_deploy_ratio = 0.1f;
  update_flaps_slats();
  EXPECT_EQ(host_mirror.sim_aircraft2_engine_flap_extension_time_sec, 240.0f);
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
}

TEST_F(GroundControls, ManualReversionAndAutopilotGate) {
  hydraulic::A_rudder = hydraulic::B_rudder = 0.0f;
  cockpit::joy_override = 0.0f;
  simhost::set_ints("sim/joystick/joy_mapped_axis_avail", {0, 1, 1});
  host_mirror.sim_joystick_joy_mapped_axis_avail[1] = 1;
  host_mirror.sim_joystick_joy_mapped_axis_value[1] = 1.0f;
  update_joystick_axes();
  EXPECT_FLOAT_EQ(axis::pitch, 0.35f);
  hydraulic::A_rudder = 1.0f;
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
  electric::batbus_status = 0.0f;
  update_panel_brightness();
  for (int i = 0; i < 6; ++i) EXPECT_EQ(ins[i], 0.0f) << i;
  EXPECT_EQ(electric::tint_dspl_capt, 0.0f);
  EXPECT_EQ(annunciator::brightness_mcp_light, 0.0f);
}

}  // namespace
