// Brakes and landing gear: autobrake arming and its selector, the parking
// brake and nose-wheel steering, the brake channels and accumulator, tyre
// speeds, brake heat and tyre bursts, the gear horn and gear transit. One
// table row per threshold, with a value on each side of it.
#include <gtest/gtest.h>

#include <cmath>

#include "alerting/aural_cues.h"
#include "alerting/failure_state.h"
#include "systems/brake_fixtures.h"
#include "systems/gear_brakes/brake_heat.h"
#include "systems/gear_brakes/gear.h"
#include "systems/gear_brakes/gear_horn.h"
#include "systems/system_state.h"

namespace {

TEST_F(Brakes, LandingAutobrakeArmsOnlyWithItsConditions) {
  struct Row {
    int ground;
    float pos, rollout, kt, lever, inop, b;
    int mode;
    float arm;
  } rows[] = {
      {1, 2, 2, 31, 0, 0, 1, 1, 2},       {1, 1.95f, 2, 31, 0, 0, 1, 1, 0},  {1, 1.96f, 2, 31, 0, 0, 1, 1, 2},
      {1, 2, 1, 31, 0, 0, 1, 1, 0},       {1, 2, 1.01f, 31, 0, 0, 1, 1, 2},  {1, 2, 2, 29.9f, 0, 0, 1, 1, 0},
      {1, 2, 2, 30.1f, 0, 0, 1, 1, 2},    {1, 2, 2, 31, 0.051f, 0, 1, 1, 0}, {1, 2, 2, 31, 0.05f, 0, 1, 1, 2},
      {1, 2, 2, 31, 0.5f, 0, 1, 3, 2},    {1, 2, 2, 31, 0, 1, 1, 1, 0},      {1, 2, 2, 31, 0, 0, 0, 1, 0},
      {0, 2, 0, 0, 1, 0, 1, 1, 1},
  };
  for (const Row& r : rows) {
    reset_autobrake();
    on_ground = r.ground;
    autobrake::autobrake_pos = r.pos;
    script_mirror.zuvadud_D738_autopilot_rollout_status = r.rollout;
    set_speed_kt(r.kt);
    engine::thrust1_leveler = r.lever;
    host_mirror.sim_cockpit2_engine_actuators_prop_mode[0] = r.mode;
    brake_state.autobrake_inop = r.inop;
    hydraulic::B_status = r.b;
    update_autobrake_arming();
    EXPECT_EQ(autobrake::autobrake_arm, r.arm)
        << r.ground << " " << r.pos << " " << r.rollout << " " << r.kt << " " << r.lever << " " << r.inop << r.b << r.mode;
  }
  // Braking: the selected setting's ratio, dry runway on the newer host.
  struct Setting {
    float pos, ratio;
  } settings[] = {{2, 0.07f}, {3, 0.09f}, {3.99f, 0.09f}, {4, 0.12f}, {4.99f, 0.12f}, {5, 0.18f}};
  for (const Setting& s : settings) {
    reset_autobrake();
    autobrake::autobrake_arm = 2.0f;
    autobrake::autobrake_pos = s.pos;
    update_autobrake_arming();
    EXPECT_NEAR(autobrake_brake_value, s.ratio * 0.95f, 1e-6f) << s.pos;
  }
}

// The landing autobrake on whichever main gear is down: it brakes once both
// levers are at idle (a touchdown with thrust on waits), and a lever
// advanced once it brakes, or thrust still on after the window, disarms it.
TEST_F(Brakes, LandingAutobrakeWindowAfterTheRightMainTouchesDown) {
  constexpr float kBrakes3 = 0.09f * 0.95f;
  struct Row {
    float thrust, window_done, window_before;
    float arm, window_after;
    float value = -1.0f;       // the brake ratio after (-1: not checked)
    int32_t right_main = 1;    // 0: the left main alone
    bool braked_first = false;  // a frame at idle before, braking
  } rows[] = {{0, 0, 0, 2, 3}, {0, 0, 1.5f, 2, 1.5f}, {0.06f, 0, 0, 2, 3}, {0.06f, 1, 0, 0, 0}, {0.05f, 1, 0, 2, 0},
              {0.3f, 0, 0, 2, 3, 0},          {0, 0, 0, 2, 3, kBrakes3, 0},  {0.6f, 0, 0, 0, 0, 0, 0, true},
              {0.06f, 0, 0, 0, 0, 0, 1, true}};
  on_ground = 1;
  for (const Row& r : rows) {
    reset_autobrake();
    brake_state = BrakeState{};
    gear3_on_ground = r.right_main;
    autobrake::autobrake_arm = 2.0f;
    autobrake::autobrake_pos = 3.0f;
    delay_flags.autobrake_flag_1 = r.window_done;
    delay_timers.autobrake_delay_1 = r.window_before;
    if (r.braked_first) {
      update_autobrake_arming();
      ASSERT_NEAR(autobrake_brake_value, kBrakes3, 1e-6f);
      delay_timers.autobrake_delay_1 = r.window_before;
    }
    engine::thrust1_leveler = r.thrust;
    update_autobrake_arming();
    const auto why = ::testing::Message() << r.thrust << " " << r.window_done << " " << r.window_before << " right main "
                                          << r.right_main << (r.braked_first ? " braking" : "");
    EXPECT_EQ(autobrake::autobrake_arm, r.arm) << why;
    EXPECT_EQ(delay_timers.autobrake_delay_1, r.window_after) << why;
    EXPECT_EQ(autobrake::autobrake_disarm, r.arm == 0 ? 1.0f : 0.0f) << why;
    if (r.value >= 0.0f) {
      EXPECT_NEAR(autobrake_brake_value, r.value, 1e-6f) << why;
    }
  }
  gear3_on_ground = 1;
}

TEST_F(Brakes, RtoArmsAboveNinetyKnotsAndEnds) {
  struct Row {
    int ground;
    float state, kt, lever, ra, park, pedal, both;
    float after;
  } rows[] = {
      {1, 1, 90.1f, 0, 0, 0, 0, 0, 2},     {1, 1, 89.9f, 0, 0, 0, 0, 0, 1},   {1, 1, 90.1f, 0.05f, 0, 0, 0, 0, 1},
      {1, 1, 90.1f, 0.049f, 0, 0, 0, 0, 2}, {0, 1, 150, 0, 51, 0, 0, 0, 0},  {0, 1, 150, 0, 50, 0, 0, 0, 1},
      {1, 2, 3.9f, 0, 0, 0, 0, 0, 2},       {1, 2, 3.8f, 0, 0, 0, 0, 0, 2},  {1, 2, 60, 0, 0, 0.1f, 0.1f, 0, 2},
      {1, 2, 0, 0, 0, 0, 0, 0, 2},          {1, 2, 0, 0.05f, 0, 0, 0, 0, 0}, {1, 2, 0, 0, 0, 0.11f, 0, 0, 0},
      {1, 2, 60, 0, 0, 0.11f, 0, 0, 0},     {1, 2, 60, 0, 0, 0, 0.11f, 0, 0}, {1, 2, 60, 0, 0, 0, 0, 0.01f, 0},
      {1, 2, 60, 0.05f, 0, 0, 0, 0, 0},
  };
  for (const Row& r : rows) {
    reset_autobrake();
    on_ground = r.ground;
    autobrake::autobrake_pos = 0.0f;
    autobrake::autobrake_RTO_arm = r.state;
    set_speed_kt(r.kt);  // stopped or not, only the crew or a fault ends the braking
    engine::thrust2_leveler = r.lever;
    host_mirror.sim_cockpit2_gauges_indicators_radio_altimeter_height_ft_pilot = r.ra;
    lever_commands.park_brake_engaged = r.park;
    brake_commands.pedal_brake_right = r.pedal;
    brake_commands.toe_brake_both = r.both;
    update_autobrake_arming();
    const auto why = ::testing::Message() << r.ground << " " << r.state << " " << r.kt << " " << r.lever << " " << r.ra
                                          << " " << r.park << " " << r.pedal << " " << r.both;
    EXPECT_EQ(autobrake::autobrake_RTO_arm, r.after) << why;
    EXPECT_NEAR(autobrake_brake_value, r.after == 2 ? 0.234f * 0.95f : 0.0f, 1e-6f) << why;
    EXPECT_EQ(rto_speedbrake_stow_request, r.state == 2 && r.after == 0 ? 1.0f : 0.0f) << why;
  }
  // The speed brake lever moved to DOWN ends it too; a lever left DOWN does not.
  for (float before : {1.0f, 0.0f}) {
    reset_autobrake();
    autobrake::autobrake_pos = 0.0f;
    autobrake::autobrake_RTO_arm = 2.0f;
    set_speed_kt(0.0f);
    brake_state.speedbrake_lever_last = before;
    flt_ctrls::speedbrake_lever = 0.0f;
    update_autobrake_arming();
    EXPECT_EQ(autobrake::autobrake_RTO_arm, before == 1.0f ? 0.0f : 2.0f) << before;
    EXPECT_EQ(autobrake::autobrake_disarm, before == 1.0f ? 1.0f : 0.0f) << before;
  }
}

TEST_F(Brakes, AutobrakePowerAndPressureChecks) {
  // Without system B pressure (after the first 2.5 s) the selector on 1..MAX
  // lights DISARM and an RTO above 40 m/s is dropped; with it, a discharged
  // accumulator or dead DC bus 1 does the same.
  struct Row {
    float b, since_load, inop, dc1, pos, arm, rto, mps, disarm_in;
    float disarm, arm_after, rto_after;
  } rows[] = {
      {1, 10, 1, 0, 2, 0, 0, 0, 0, 1, 0, 0},        {1, 10, 1, 0, 1, 0, 0, 0, 1, 0, 0, 0},
      {1, 10, 1, 1, 1, 1, 0, 0, 0, 1, 0, 0},        {1, 10, 1, 1, 0, 0, 1, 40.1f, 0, 1, 0, 0},
      {1, 10, 1, 1, 0, 0, 1, 40, 1, 0, 0, 1},       {0, 2.4f, 1, 0, 2, 0, 0, 0, 0, 1, 0, 0},
      {0, 2.5f, 1, 1, 1, 0, 0, 0, 1, 1, 0, 0},      {0, 2.5f, 0, 1, 2, 0, 0, 0, 0, 1, 0, 0},
      {0, 2.5f, 0, 1, 1.9f, 0, 0, 0, 0, 0, 0, 0},   {0, 2.5f, 0, 1, 0, 0, 1, 40.1f, 0, 1, 0, 0},
      {0, 2.5f, 0, 1, 0, 0, 1, 40, 0, 0, 0, 1},     {0, 2.4f, 0, 1, 0, 0, 1, 40.1f, 0, 0, 0, 1},
      // A fault ends RTO braking at any speed; without B an armed landing
      // autobrake disarms.
      {0, 2.5f, 0, 1, 0, 0, 2, 0, 0, 1, 0, 0},      {1, 10, 1, 1, 0, 0, 2, 0, 0, 1, 0, 0},
      {0, 2.5f, 0, 1, 3, 1, 0, 60, 0, 1, 0, 0},     {0, 2.5f, 0, 1, 4, 2, 0, 30, 0, 1, 0, 0},
  };
  for (const Row& r : rows) {
    reset_autobrake();
    hydraulic::B_status = r.b;
    time_since_load = r.since_load;
    brake_state.autobrake_inop = r.inop;
    electric::dc_bus1_status = r.dc1;
    autobrake::autobrake_pos = r.pos;
    autobrake::autobrake_arm = r.arm;
    autobrake::autobrake_RTO_arm = r.rto;
    autobrake::autobrake_disarm = r.disarm_in;
    host_mirror.sim_flightmodel_position_groundspeed = r.mps;
    update_autobrake_arming();
    const auto why = ::testing::Message() << r.b << " " << r.since_load << " " << r.inop << r.dc1 << " " << r.pos << " "
                                          << r.arm << r.rto << " " << r.mps;
    EXPECT_EQ(autobrake::autobrake_disarm, r.disarm) << why;
    EXPECT_EQ(autobrake::autobrake_arm, r.arm_after) << why;
    EXPECT_EQ(autobrake::autobrake_RTO_arm, r.rto_after) << why;
    if (r.arm != 0 && r.b == 0) {
      EXPECT_EQ(autobrake_brake_value, 0.0f) << why;
    }
  }
  // Disarmed by the loss of B, it stays so with B back until the selector
  // has been OFF.
  reset_autobrake();
  on_ground = 0;
  autobrake::autobrake_pos = 3.0f;
  autobrake::autobrake_arm = 1.0f;
  hydraulic::B_status = 0.0f;
  update_autobrake_arming();
  hydraulic::B_status = 1.0f;
  update_autobrake_arming();
  EXPECT_EQ(autobrake::autobrake_arm, 0.0f);
  EXPECT_EQ(autobrake::autobrake_disarm, 1.0f);
  autobrake::autobrake_pos = 1.0f;
  update_autobrake_arming();
  autobrake::autobrake_pos = 3.0f;
  update_autobrake_arming();
  EXPECT_EQ(autobrake::autobrake_arm, 1.0f);
  EXPECT_EQ(autobrake::autobrake_disarm, 0.0f);
}

TEST_F(Brakes, SelectorPullBetweenSettingThreeAndMax) {
  frame_time = 0.0f;  // hold the animation where each row puts it
  struct Row {
    float target, anim, pos, pull;
  } rows[] = {{5, 4.4f, 4, 0.8f},  {5, 4.5f, 4, 1},   {5, 4.75f, 4.5f, 1}, {4, 4.1f, 4, 0.5f},
              {4, 4.6f, 4.5f, 1},  {4, 4.2f, 4, 1}};
  for (const Row& r : rows) {
    autobrake_knob_target = r.target;
    autobrake_knob_anim = r.anim;
    autobrake::autobrake_pos2 = -1.0f;
    animate_autobrake_knob();
    EXPECT_NEAR(autobrake::autobrake_pos, r.pos, 1e-5f) << r.target << " " << r.anim;
    EXPECT_NEAR(autobrake::autobrake_pos2, r.pull, 1e-5f) << r.target << " " << r.anim;
  }
  // Other moves are steps.
  autobrake_knob_target = 3.0f;
  animate_autobrake_knob();
  EXPECT_EQ(autobrake_knob_anim, 3.0f);
  EXPECT_EQ(autobrake::autobrake_pos, 3.0f);
  // One frame of 0.03 s moves the knob a fifth of the way.
  frame_time = 0.03f;
  autobrake_knob_target = 5.0f;
  autobrake_knob_anim = 4.0f;
  animate_autobrake_knob();
  EXPECT_NEAR(autobrake_knob_anim, 4.2f, 1e-5f);
}

TEST_F(Brakes, ParkingBrakeLeverFollowsTheHostAndReleasesOnBothBrakes) {
  on_ground = 0;
  // Toe limit of a dry runway with cool brakes; pedals at 0.12 are neither
  // released (below 0.1) nor pressed (within 0.05 of the limit).
  const float limit = 0.238f * 0.95f;
  struct Row {
    float script_set, host, lever, rearm, hl, hr, pl, pr;
    float lever_after, rearm_after;
  } rows[] = {
      {0, 1, 0, 0, 0.5f, 0.5f, 0.12f, 0.12f, 1, 0},        {0, 0.99f, 0, 0, 0.5f, 0.5f, 0.12f, 0.12f, 0, 0},
      {0, 0, 1, 1, 0.5f, 0.5f, 0.12f, 0.12f, 0, 0},        {0, 0.01f, 1, 0, 0.5f, 0.5f, 0.12f, 0.12f, 1, 0},
      {1, 1, 0, 0, 0.5f, 0.5f, 0.12f, 0.12f, 0, 0},        {1, 0, 1, 0, 0.09f, 0.09f, 0.12f, 0.12f, 1, 1},
      {1, 0, 1, 0, 0.1f, 0.09f, 0.12f, 0.12f, 1, 0},       {1, 0, 1, 0, 0.5f, 0.5f, 0.09f, 0.09f, 1, 1},
      {1, 0, 1, 1, 0.96f, 0.96f, 0.12f, 0.12f, 0, 0},      {1, 0, 1, 1, 0.95f, 0.96f, 0.12f, 0.5f, 1, 1},
      {1, 0, 1, 1, 0.5f, 0.5f, limit - 0.05f, 1, 0, 0},  {1, 0, 1, 1, 0.5f, 0.5f, limit - 0.051f, 1, 1, 1},
  };
  for (const Row& r : rows) {
    script_mirror.zuvadud_D738_parkbrake_set = r.script_set;
    host_mirror.sim_cockpit2_controls_parking_brake_ratio = r.host;
    cockpit::parking_brake_pos = lever_commands.park_brake_engaged = r.lever;
    brake_commands.park_brake_pedals_released = r.rearm;
    host_mirror.sim_cockpit2_controls_left_brake_ratio = r.hl;
    host_mirror.sim_cockpit2_controls_right_brake_ratio = r.hr;
    axis::left_toe_brake = r.pl;
    axis::right_toe_brake = r.pr;
    update_parking_brake_steering();
    const auto why = ::testing::Message() << r.script_set << " " << r.host << " " << r.lever << r.rearm << " " << r.hl
                                          << " " << r.hr << " " << r.pl << " " << r.pr;
    EXPECT_EQ(cockpit::parking_brake_pos, r.lever_after) << why;
    EXPECT_EQ(lever_commands.park_brake_engaged, r.lever_after) << why;
    EXPECT_EQ(brake_commands.park_brake_pedals_released, r.rearm_after) << why;
  }
}

TEST_F(Brakes, NoseWheelTargetBySteeringOptionSourceAndOverride) {
  frame_time = 10.0f;  // at 25 degrees per second the wheel reaches any target in a frame
  struct Row {
    // a_sys, b_sys: systems A and B pressurised (the rudder always has the
    // standby pump, which does not steer). Without the steering's pressure
    // the wheel castors; standing still it stays where it was (5), and the
    // override is held, so that neither the host's pedals nor its tiller
    // steer it.
    float option, tiller, yoke_hdg, yoke_roll, sw, a_sys, b_sys, override_on, chocks, wheel;
    int host_override;
  } rows[] = {
      {0, 0.5f, 0, 0, 1, 1, 0, 0, 0, 39, 1},        {0, 0.05f, 1, 0, 1, 1, 0, 0, 0, 7, 1},
      {0, 0.05f, -1, 0, 1, 1, 0, 0, 0, -7, 1},      {1, 0, 0.5f, 0, 1, 1, 0, 0, 0, 39, 1},
      {1, 0, 0.05f, 1, 1, 1, 0, 0, 0, 3.9f, 1},     {2, 0.5f, 0.2f, -0.25f, 1, 1, 0, 0, 0, -19.5f, 1},
      {0, 0.5f, 0, 0, 0, 1, 0, 0, 0, 5, 1},         {0, 0.5f, 0, 0, 0, 0, 1, 0, 0, 39, 1},
      {0, 0.5f, 1, 0, 1, 0, 1, 0, 0, 5, 1},         {0, 0.5f, 0, 0, 1, 1, 1, 1, 0, 5, 1},
      {0, 0.5f, 0, 0, 1, 1, 1, 0, 1, 5, 1},         {0, 0.5f, 0, 0, 1, 0, 0, 0, 1, 5, 1},
  };
  for (const Row& r : rows) {
    host_mirror.sim_flightmodel_position_groundspeed = 0.0f;
    script_mirror.zuvadud_D738_effects_nosewheel = r.option;
    axis::nosewheel = r.tiller;
    cockpit::nosewheel_steer_ratio = r.tiller;
    host_mirror.sim_cockpit2_controls_yoke_heading_ratio = r.yoke_hdg;
    host_mirror.sim_cockpit2_controls_yoke_roll_ratio = r.yoke_roll;
    switches::nose_steer_pos = r.sw;
    hydraulic::A_status = r.a_sys;
    hydraulic::B_status = r.b_sys;
    hydraulic::A_rudder = hydraulic::B_rudder = 1.0f;
    cockpit::nosewheel_steer_override = r.override_on;
    script_mirror.zuvadud_D738_fms_chock_status = r.chocks;
    brake_state.nosewheel_deg = 5.0f;
    host_mirror.sim_flightmodel2_gear_tire_steer_actual_deg[0] = -12.0f;
    update_parking_brake_steering();
    const auto why = ::testing::Message() << r.option << " " << r.tiller << " " << r.yoke_hdg << " " << r.yoke_roll << " "
                                          << r.sw << r.a_sys << r.b_sys << r.override_on << r.chocks;
    EXPECT_NEAR(brake_state.nosewheel_deg, r.wheel, 1e-4f) << why;
    EXPECT_EQ(host_mirror.sim_operation_override_override_wheel_steer, r.host_override) << why;
  }
  // Rolling without the pressure the free wheel trails the nose gear's path:
  // the drift (track right of heading positive) and the turn carried 14 m
  // forward; rolling backwards (the track behind) along the same line;
  // standing still where it was; the tiller and the pedals turn nothing.
  struct Castor {
    float mps, heading_before, heading, track, wheel;
  } castors[] = {
      {3.0f, 10, 10, 10, 0},          {3.0f, 10, 10, 14, 4},     {3.0f, 359, 359, 357, -2},
      {3.0f, 10, 10.4f, 10.4f, 18.05f}, {3.0f, 10, 10, 186, -4},   {0.2f, 10, 10, 40, 5},
      {3.0f, 10, 190, 190, 0},  // a heading that jumps is the aircraft put elsewhere, no turn
  };
  frame_time = 0.1f;
  hydraulic::A_status = hydraulic::B_status = 0.0f;
  switches::nose_steer_pos = 1.0f;
  cockpit::nosewheel_steer_override = 0.0f;
  script_mirror.zuvadud_D738_fms_chock_status = 0.0f;
  script_mirror.zuvadud_D738_effects_nosewheel = 0.0f;
  axis::nosewheel = cockpit::nosewheel_steer_ratio = -1.0f;
  host_mirror.sim_cockpit2_controls_yoke_heading_ratio = 1.0f;
  for (const Castor& c : castors) {
    brake_state.nosewheel_deg = 5.0f;
    brake_state.heading_last_deg = c.heading_before;
    host_mirror.sim_flightmodel_position_groundspeed = c.mps;
    host_mirror.sim_flightmodel_position_psi = c.heading;
    host_mirror.sim_flightmodel_position_hpath = c.track;
    update_parking_brake_steering();
    const auto why = ::testing::Message() << c.mps << " " << c.heading_before << " " << c.heading << " " << c.track;
    EXPECT_NEAR(brake_state.nosewheel_deg, c.wheel, 0.01f) << why;
    EXPECT_EQ(host_mirror.sim_flightmodel2_gear_tire_steer_actual_deg[0], brake_state.nosewheel_deg) << why;
    EXPECT_EQ(host_mirror.sim_operation_override_override_wheel_steer, 1) << why;
  }
  host_mirror.sim_cockpit2_controls_yoke_heading_ratio = 0.0f;
  frame_time = 10.0f;
  // At 23 m/s the tiller limit (6 degrees) is below the pedals' 7: the rudder
  // option still steers by the tiller law alone.
  script_mirror.zuvadud_D738_fms_chock_status = 0.0f;
  cockpit::nosewheel_steer_override = 0.0f;
  hydraulic::A_status = 1.0f;
  host_mirror.sim_flightmodel_position_groundspeed = 23.0f;
  host_mirror.sim_cockpit2_controls_yoke_heading_ratio = 1.0f;
  axis::nosewheel = 0.0f;
  for (float option : {0.0f, 1.0f}) {
    script_mirror.zuvadud_D738_effects_nosewheel = option;
    update_parking_brake_steering();
    EXPECT_NEAR(brake_state.nosewheel_deg, option == 1.0f ? 6.0f : 7.0f, 1e-4f) << option;
  }
  script_mirror.zuvadud_D738_fms_chock_status = 1.0f;
  update_parking_brake_steering();
  // With chocks in the host holds the aircraft: rolling coefficient 1, parking ratio 1.
  EXPECT_EQ(host_mirror.sim_aircraft_overflow_acf_roll_co, 1.0f);
  EXPECT_EQ(host_mirror.sim_cockpit2_controls_parking_brake_ratio, 1.0f);
  EXPECT_EQ(host_mirror.sim_operation_override_override_wheel_steer, 1);
}

TEST_F(Brakes, ParkingChannelDemandAndRates) {
  on_ground = 0;  // keep the nose wheel out of it
  script_mirror.zuvadud_D738_parkbrake_set = 1.0f;  // the lever does not follow the host's ratio
  struct Row {
    float mps, set, autobrake, ra, deploy1, deploy2, start, ratio;
  } rows[] = {
      {10, 0, 0, 51, 0.99f, 1, 0, 0.02f},    {10, 0, 0, 50, 0.99f, 1, 0, 0},     {10, 0, 0, 51, 1, 1, 0, 0},
      {10, 0, 0, 51, 1, 0.5f, 0, 0.02f},     {1, 0, 0, 51, 0.5f, 1, 0, 0.036f},  {3, 0, 0, 51, 0.5f, 1, 0, 0.028f},
      {5, 0, 0, 51, 0.5f, 1, 0, 0.02f},      {10, 1, 0, 0, 1, 1, 0, 0.525f},     {0.5f, 1, 0, 0, 1, 1, 0, 0.525f},
      {2.5f, 0, 0.1f, 0, 1, 1, 0, 0.045f},   {10, 0, 0.1f, 0, 1, 1, 0, 0.01f},   {10, 0, 0, 0, 1, 1, 0.5f, 0.2375f},
  };
  for (const Row& r : rows) {
    host_mirror.sim_flightmodel_position_groundspeed = r.mps;
    lever_commands.park_brake_engaged = r.set;
    cockpit::parking_brake_pos = r.set;
    autobrake_brake_value = r.autobrake;
    host_mirror.sim_cockpit2_gauges_indicators_radio_altimeter_height_ft_pilot = r.ra;
    host_mirror.sim_aircraft_parts_acf_gear_deploy[1] = r.deploy1;
    host_mirror.sim_aircraft_parts_acf_gear_deploy[2] = r.deploy2;
    host_mirror.sim_cockpit2_controls_parking_brake_ratio = r.start;
    update_parking_brake_steering();
    EXPECT_NEAR(host_mirror.sim_cockpit2_controls_parking_brake_ratio, r.ratio, 1e-6f)
        << r.mps << " " << r.set << " " << r.autobrake << " " << r.ra << " " << r.deploy1 << " " << r.deploy2;
  }
}

TEST_F(Brakes, RollingResistanceByMassSpeedAndNoseWheel) {
  on_ground = 0;  // the nose wheel stays where each row puts it
  host_version = 110000;
  struct Row {
    float tonnes, mps, nose, co;
  } rows[] = {
      {43, 0, 0, 0.018f},   {43, 10, 0, 0.016f},  {43, 5, 0, 0.017f},   {30, 20, 0, 0.016f},   {54, 0, 0, 0.02f},
      {64.9f, 10, 0, 0.0199818f}, {65, 10, 0, 0.018f}, {65, 0, 0, 0.022f}, {80, 10, 0, 0.022f}, {90, 0, 0, 0.026f},
      {43, 0, 78, 0.021f},  {43, 10, -78, 0.026f}, {43, 10, 39, 0.021f}, {80, 0, 78, 0.029f},  {80, 10, 78, 0.034f},
      {72.5f, 10, 78, 0.032f},
  };
  for (const Row& r : rows) {
    host_mirror.sim_flightmodel_weight_m_total = r.tonnes * 1000.0f;
    host_mirror.sim_flightmodel_position_groundspeed = r.mps;
    brake_state.nosewheel_deg = r.nose;
    update_parking_brake_steering();
    EXPECT_NEAR(host_mirror.sim_aircraft_overflow_acf_roll_co, r.co, 1e-6f) << r.tonnes << " " << r.mps << " " << r.nose;
  }
  host_version = 120000;
  for (float kt : {0.0f, 2.5f, 5.0f, 10.0f}) {
    set_speed_kt(kt);
    update_parking_brake_steering();
    EXPECT_NEAR(host_mirror.sim_aircraft_overflow_acf_roll_co, kt < 5 ? 0.008f + 0.002f * kt : 0.018f, 1e-6f) << kt;
  }
}

TEST_F(Brakes, AccumulatorPrechargeChargeAndDemand) {
  hydraulic::A_status = hydraulic::B_status = 0.0f;
  struct Pre {
    float oat, press, dc1, after, inop, override_on;
  } pres[] = {{-50, 0, 1, 825, 1, 1},    {-60, 0, 1, 825, 1, 1},     {12.5f, 0, 1, 1007.5f, 1, 1},
              {75, 0, 1, 1190, 1, 1},    {100, 0, 1, 1190, 1, 1},    {-50, 845, 1, 845, 1, 1},
              {-50, 846, 1, 846, 0, 0},  {-50, 846, 0, 846, 1, 0}};
  for (const Pre& p : pres) {
    cockpit::toe_brake_override = 0.0f;
    brake_state.override_by_discharge = 0.0f;
    host_mirror.sim_weather_temperature_ambient_c = p.oat;
    brake::brake_press = p.press;
    electric::dc_bus1_status = p.dc1;
    brake_pressure_to_host();
    EXPECT_NEAR(brake::brake_press, p.after, 1e-3f) << p.oat << " " << p.press << " " << p.dc1;
    EXPECT_EQ(brake_state.autobrake_inop, p.inop) << p.oat << " " << p.press << " " << p.dc1;
    EXPECT_EQ(cockpit::toe_brake_override, p.override_on) << p.oat << " " << p.press << " " << p.dc1;
  }
  electric::dc_bus1_status = 1.0f;
  host_mirror.sim_weather_temperature_ambient_c = 15.0f;
  // Charging from system B toward 3310 psi at system A's 3000, capped at
  // 3380, and held up by system B's own pressure.
  struct Charge {
    float b, a_psi, b_psi, press, after;
  } charges[] = {{1, 3000, 0, 2000, 2034.5f},  {1, 1500, 0, 2000, 2000},     {1, 3000, 0, 3300, 3302},
                 {1, 3000, 0, 3309, 3309.3107f}, {0, 3000, 3500, 2000, 2040}, {0, 3000, 0, 2000, 2000}};
  for (const Charge& c : charges) {
    hydraulic::B_status = c.b;
    hydraulic::A_pressure = c.a_psi;
    hydraulic::B_pressure = c.b_psi;
    brake::brake_press = c.press;
    brake_pressure_to_host();
    EXPECT_NEAR(brake::brake_press, c.after, 1e-3f) << c.b << " " << c.a_psi << " " << c.b_psi << " " << c.press;
  }
  // Setting the parking brake draws 1500 psi of demand, decaying 1335 psi/s.
  hydraulic::B_status = 0.0f;
  hydraulic::A_pressure = hydraulic::B_pressure = 0.0f;
  brake::brake_press = 3000.0f;
  lever_commands.park_brake_engaged = 1.0f;
  brake_pressure_to_host();
  EXPECT_EQ(brake_state.demand_parking, 1500.0f);
  EXPECT_NEAR(brake::brake_press, 2925.0f, 1e-3f);
  brake_pressure_to_host();
  EXPECT_NEAR(brake_state.demand_parking, 1500.0f - 1335.0f * 0.125f, 1e-3f);
  // The autobrake's change against the manual maximum; a parking ratio of 0.05
  // or more that rose, or moved by 0.01, at 1350..1500 psi/s.
  lever_commands.park_brake_engaged = 0.0f;
  struct Other {
    float autobrake, park_before, park, demand_autobrake, demand_park;
  } others[] = {{0.1f, 0, 0, 663.4233f, 0},   {0, 0, 0.5f, 0, 178.125f},     {0, 0, 0.04f, 0, 0},
                {0, 0.5f, 0.495f, 0, 0},        {0, 0.5f, 0.48f, 0, 177.75f}};
  for (const Other& o : others) {
    brake_state = BrakeState{};
    brake_state.park_ratio_last = o.park_before;
    autobrake_brake_value = o.autobrake;
    host_mirror.sim_cockpit2_controls_parking_brake_ratio = o.park;
    brake_pressure_to_host();
    EXPECT_NEAR(brake_state.demand_autobrake, o.demand_autobrake, 1e-2f) << o.autobrake << " " << o.park_before << " " << o.park;
    EXPECT_NEAR(brake_state.demand_park_ratio, o.demand_park, 1e-3f) << o.autobrake << " " << o.park_before << " " << o.park;
  }
  autobrake_brake_value = 0.0f;
  host_mirror.sim_cockpit2_controls_parking_brake_ratio = 0.0f;
  // Pedals: a full toe-limit change is 1500 psi; a held 0.9 on both sides none.
  struct Pedal {
    float left, right, demand;
  } pedals[] = {{0.2261f, 0, 1500}, {0.1f, 0, 663.4233f}, {0.9f, 0.9f, 0},      {0.88f, 0.9f, 1500},
                {0.89f, 0.9f, 1500}, {0.91f, 0.9f, 1500},    {0.9f, 0.89f, 1500}, {0.9f, 0.91f, 1500}};
  for (const Pedal& p : pedals) {
    brake_state = BrakeState{};
    host_mirror.sim_cockpit2_controls_left_brake_ratio = p.left;
    host_mirror.sim_cockpit2_controls_right_brake_ratio = p.right;
    brake_pressure_to_host();
    EXPECT_NEAR(brake_state.demand_pedals, p.demand, 1e-2f) << p.left << " " << p.right;
  }
}

TEST_F(Brakes, SmoothBrakingTargetsAndHeldCommandsThroughTheParkingChannel) {
  on_ground = 0;
  // The ramp starts 0.005 short of the expected target: one frame of
  // 1/12 per second lands on it only if that is the target.
  const float limit = 0.238f * 0.95f;
  struct Row {
    float mps, factor;
  } rows[] = {{0.5f, 1.8f}, {3, 1.4f}, {41, 0.925f}, {100, 0.85f}};
  brake_commands.brake_smooth_active = 1.0f;
  for (const Row& r : rows) {
    host_mirror.sim_flightmodel_position_groundspeed = r.mps;
    brake_commands.brake_cmd_left = limit * r.factor - 0.005f;
    update_parking_brake_steering();
    EXPECT_NEAR(brake_commands.brake_cmd_left, limit * r.factor, 1e-5f) << r.mps;
  }
  brake_commands.brake_smooth_active = 0.0f;
  // A held brake command brakes through the parking channel at 10 m/s.
  script_mirror.zuvadud_D738_parkbrake_set = 1.0f;
  host_mirror.sim_flightmodel_position_groundspeed = 10.0f;
  for (float active : {1.0f, 0.5f}) {
    host_mirror.sim_cockpit2_controls_parking_brake_ratio = 0.0f;
    brake_commands.brake_cmd_active = active;
    brake_commands.brake_cmd_value = 0.1f;
    update_parking_brake_steering();
    EXPECT_NEAR(host_mirror.sim_cockpit2_controls_parking_brake_ratio, active == 1.0f ? 0.01f : 0.0f, 1e-6f) << active;
  }
}

TEST_F(Brakes, OneHotSideFadesTheSharedRatiosByTheMeanOfClampedSides) {
  using namespace systems;
  const float dry = 0.238f * 0.95f;
  for (int hot_left = 0; hot_left < 2; ++hot_left) {
    brake_temp_l_in = brake_temp_l_out = hot_left ? 12.0f : 3.0f;
    brake_temp_r_in = brake_temp_r_out = hot_left ? 3.0f : 12.0f;
    update_parking_brake_steering();
    EXPECT_NEAR(brake_ratios.max_ratio_both, dry * 0.9f, 1e-6f) << hot_left;  // mean of 3 and 9.9
    EXPECT_NEAR(brake_ratios.autobrake_ratio_max, 0.18f * 0.95f * 0.9f, 1e-6f) << hot_left;
    EXPECT_NEAR(hot_left ? brake_ratios.toe_limit_left : brake_ratios.toe_limit_right, dry * 0.8f, 1e-6f) << hot_left;
    EXPECT_NEAR(hot_left ? brake_ratios.toe_limit_right : brake_ratios.toe_limit_left, dry, 1e-6f) << hot_left;
  }
}

TEST_F(Brakes, TyreSpeedsAndReverserCooling) {
  using namespace systems;
  host_mirror.sim_flightmodel_parts_tire_speed_now[0] = 10.0f;
  host_mirror.sim_flightmodel_parts_tire_speed_now[1] = host_mirror.sim_flightmodel_parts_tire_speed_now[2] = 10.0f;
  host_mirror.sim_aircraft_parts_acf_gear_deploy[1] = host_mirror.sim_aircraft_parts_acf_gear_deploy[2] = 1.0f;
  host_mirror.sim_weather_temperature_le_c = 15.0f;
  update_tyre_speeds_brake_temps();
  EXPECT_NEAR(tire_speed0, 6.75739f, 1e-5f);
  EXPECT_NEAR(tire_speed2, 10.9659f, 1e-4f);
  EXPECT_EQ(tire_speed[1], tire_speed1);
  // Engine 1's reverser cools the left brakes only: the two sides differ by
  // k x (temperature - 0.1) / 9.8 x the frame, from the brake's own
  // temperature (after its cooling to the air), whatever the display shows.
  struct Row {
    float rev, mps, temp, cooled;
  } rows[] = {{1, 25, 5, 0.0192188f}, {0.5f, 25, 5, 0.0096094f}, {2, 60, 5, 0.0375f},
              {1, 0, 9.9f, 0.001875f}, {1, 25, 0.1f, 0},        {0, 25, 5, 0}};
  for (const Row& r : rows) {
    brake_temp_l_out = brake_temp_r_out = brake_temp_l_in = brake_temp_r_in = r.temp;
    brake_temp_left_out = brake_temp_right_out = brake_temp_left_in = brake_temp_right_in = 3.4f;
    host_mirror.sim_flightmodel2_engines_thrust_reverser_deploy_ratio[0] = r.rev;
    host_mirror.sim_flightmodel_position_groundspeed = r.mps;
    update_tyre_speeds_brake_temps();
    EXPECT_NEAR(brake_temp_r_out - brake_temp_l_out, r.cooled, 5e-6f) << r.rev << " " << r.mps << " " << r.temp;
    EXPECT_NEAR(brake_temp_r_in - brake_temp_l_in, r.cooled, 5e-6f) << r.rev << " " << r.mps << " " << r.temp;
  }
  // A steady reverse roll-out that holds the brakes near 3.35: the display
  // settles on one side instead of feeding back on itself every frame.
  host_mirror.sim_flightmodel_weight_m_total = 80000.0f;
  host_mirror.sim_flightmodel_parts_tire_speed_now[1] = host_mirror.sim_flightmodel_parts_tire_speed_now[2] = 45.6f;
  host_mirror.sim_cockpit2_controls_parking_brake_ratio = 0.186f;
  host_mirror.sim_flightmodel2_engines_thrust_reverser_deploy_ratio[0] = 1.0f;
  host_mirror.sim_flightmodel_position_groundspeed = 25.0f;
  brake_temp_l_out = brake_temp_l_in = 3.35f;
  update_tyre_speeds_brake_temps();
  int changes = 0;
  for (int i = 0; i < 80; ++i) {  // 10 s
    const float shown = brake_temp_left_out;
    update_tyre_speeds_brake_temps();
    changes += brake_temp_left_out != shown ? 1 : 0;
  }
  EXPECT_LE(changes, 2) << brake_temp_l_out;
  host_mirror.sim_cockpit2_controls_parking_brake_ratio = 0.0f;
  // Never below the air's temperature / 100; NaN restarts there.
  host_mirror.sim_flightmodel2_engines_thrust_reverser_deploy_ratio[0] = 0.0f;
  brake_temp_l_out = 0.1f;
  brake_temp_r_out = std::nanf("");
  update_tyre_speeds_brake_temps();
  EXPECT_EQ(brake_temp_l_out, 0.15f);
  EXPECT_EQ(brake_temp_r_out, 0.15f);
}

TEST_F(Brakes, DraggedTyreHeatsItsBrakeAndHotBrakesBurstTyres) {
  using namespace systems;
  // A tyre above 30 dragged sideways under the parking brake heats that
  // side's outer brake by h and its inner brake by 0.75 h.
  struct Row {
    float park, tyre_now, slip, left, right;
  } rows[] = {{0.5f, 40, -2, 0.000204902f, 0}, {0.5f, 40, 2, 0, 0.000204902f}, {0.5f, 27.3f, -2, 0, 0}, {0.05f, 40, -2, 0, 0}};
  for (const Row& r : rows) {
    brake_temp_l_out = brake_temp_l_in = brake_temp_r_out = brake_temp_r_in = 1.0f;
    host_mirror.sim_cockpit2_controls_parking_brake_ratio = r.park;
    host_mirror.sim_flightmodel_parts_tire_speed_now[1] = host_mirror.sim_flightmodel_parts_tire_speed_now[2] = r.tyre_now;
    host_mirror.sim_cockpit2_gauges_indicators_sideslip_degrees = r.slip;
    update_tyre_speeds_brake_temps();
    EXPECT_NEAR(brake_temp_l_out - brake_temp_l_in, r.left, 2e-7f) << r.park << " " << r.tyre_now << " " << r.slip;
    EXPECT_NEAR(brake_temp_r_out - brake_temp_r_in, r.right, 2e-7f) << r.park << " " << r.tyre_now << " " << r.slip;
  }
  // With tyre bursts enabled a brake at 9.9 bursts its tyre.
  script_mirror.zuvadud_D738_effect_tire_blown = 1.0f;
  host_mirror.sim_flightmodel_position_groundspeed = 0.0f;
  struct Burst {
    float l_in, l_out, r_in, r_out;
    int left, right;
  } bursts[] = {{9.89f, 9.89f, 9.89f, 9.89f, 0, 0}, {9.9f, 0, 0, 0, 6, 0}, {0, 9.9f, 0, 0, 6, 0}, {0, 0, 9.9f, 0, 0, 6},
                {0, 0, 0, 9.9f, 0, 6}};
  for (const Burst& b : bursts) {
    host_mirror.sim_operation_failures_rel_tire2 = host_mirror.sim_operation_failures_rel_tire3 = 0;
    tyre_burst_flags[1] = tyre_burst_flags[2] = 0.0f;
    brake_temp_l_in = b.l_in;
    brake_temp_l_out = b.l_out;
    brake_temp_r_in = b.r_in;
    brake_temp_r_out = b.r_out;
    update_wing_tyre_failures();
    const auto why = ::testing::Message() << b.l_in << " " << b.l_out << " " << b.r_in << " " << b.r_out;
    EXPECT_EQ(host_mirror.sim_operation_failures_rel_tire2, b.left) << why;
    EXPECT_EQ(host_mirror.sim_operation_failures_rel_tire3, b.right) << why;
  }
}

TEST_F(Brakes, GearHornByFlapsHeightAndThrust) {
  on_ground = 0;
  controls::gear_handle_down = 0.0f;
  struct Row {
    float ra, flaps, thr1, thr2, bat;
    float horn;
    int locked;
  } rows[] = {
      {500, 0, 0, 0.67f, 1, 1, 0},      {500, 0, 0, 0.68f, 1, 1, 0},     {500, 0, 0.67f, 0, 1, 1, 0},
      {500, 0, 0.39f, 0.39f, 1, 0, 0},  {500, 0, 0.4f, 0.39f, 1, 0, 0},  {799, 0.5f, 0, 0, 1, 1, 0},
      {800, 0.5f, 0, 0, 1, 0, 0},       {199, 0, 0, 0, 1, 1, 1},         {200, 0, 0, 0, 1, 1, 0},
      {2499, 0.76f, 1, 1, 1, 1, 1},     {10000, 0.76f, 1, 1, 1, 1, 1},    {2000, 0.625f, 1, 1, 1, 0, 1},
      {2000, 0.75f, 0.3f, 0.3f, 1, 1, 1}, {2000, 0.76f, 1, 1, 0, 0, 1},  {2000, 0.6f, 0.3f, 0.3f, 0, 0, 1},
      {500, 0, 0, 0, 0, 0, 0},
      // One lever in a hardware throttle's idle band is closed.
      {600, 0.625f, 0.02f, 0.5f, 1, 1, 0}, {300, 0.375f, 0.5f, 0.005f, 1, 1, 0}, {500, 0, 0.05f, 0.5f, 1, 0, 0},
      // Flaps 15: an engine-out approach's levers (one closed, the other
      // above 30 degrees) sound a horn the cut-out may silence; both levers
      // below 30 degrees one it may not; both above, none. Flaps 25: the
      // horn whatever the levers.
      {1000, 0.625f, 0, 0.75f, 1, 1, 0}, {600, 0.625f, 0.75f, 0, 1, 1, 0}, {600, 0.625f, 0, 0, 1, 1, 1},
      {1000, 0.625f, 0.6f, 0.6f, 1, 0, 1}, {600, 0.625f, 0.3f, 0.3f, 1, 1, 1}, {1000, 0.75f, 0.6f, 0.6f, 1, 1, 1},
  };
  for (const Row& r : rows) {
    host_mirror.sim_cockpit2_gauges_indicators_radio_altimeter_height_ft_pilot = r.ra;
    flt_ctrls::flap_lever = r.flaps;
    engine::thrust1_leveler = r.thr1;
    engine::thrust2_leveler = r.thr2;
    electric::batbus_status = r.bat;
    alert::gear_horn_cut_disable = 0.0f;
    update_gear_warning_horn();
    const auto why = ::testing::Message() << r.ra << " " << r.flaps << " " << r.thr1 << " " << r.thr2 << " " << r.bat;
    EXPECT_EQ(systems::cabin_gear_wrn, r.horn) << why;
    EXPECT_EQ(gear_horn_uncancellable, r.locked) << why;
  }
  // Silenced at flaps 15 on the engine-out levers, it comes back once the
  // live lever comes back below 30 degrees.
  host_mirror.sim_cockpit2_gauges_indicators_radio_altimeter_height_ft_pilot = 1000.0f;
  flt_ctrls::flap_lever = 0.625f;
  engine::thrust1_leveler = 0.0f;
  engine::thrust2_leveler = 0.75f;
  alert::gear_horn_cut_disable = 1.0f;
  update_gear_warning_horn();
  EXPECT_EQ(systems::cabin_gear_wrn, 0.0f);
  engine::thrust2_leveler = 0.3f;
  update_gear_warning_horn();
  EXPECT_EQ(systems::cabin_gear_wrn, 1.0f);
  EXPECT_EQ(alert::gear_horn_cut_disable, 0.0f);
}

TEST_F(Brakes, GearTransitTimesDrawnWithinTheirRanges) {
  float* leg = systems_memory.gear_leg;
  gear_legs_from_host = 0;  // on the ground: times are drawn, nothing moves
  for (int i = 0; i < 25; ++i) {
    const GearTransitTimes& t = gear_transit_times;
    leg[0] = 1.0f;
    lever_commands.gear_down_selected = 0.0f;
    update_landing_gear();
    ASSERT_EQ(t.drawn_for, 1);
    EXPECT_TRUE(t.spread_s >= 0.1f && t.spread_s <= 0.6f) << t.spread_s;
    EXPECT_TRUE(t.retract_s[0] >= 7.3f && t.retract_s[0] <= 7.6f) << t.retract_s[0];
    EXPECT_TRUE(t.retract_s[1] >= 10.2f && t.retract_s[1] <= 10.5f) << t.retract_s[1];
    EXPECT_FLOAT_EQ(t.retract_s[2], t.retract_s[1] + (t.retract_s[1] <= 10.3f ? t.spread_s : -t.spread_s));
    leg[0] = 0.0f;
    lever_commands.gear_down_selected = 1.0f;
    update_landing_gear();
    ASSERT_EQ(t.drawn_for, 2);
    EXPECT_TRUE(t.extend_s[0] >= 6.4f && t.extend_s[0] <= 7.3f) << t.extend_s[0];
    EXPECT_TRUE(t.extend_s[1] >= 9.1f && t.extend_s[1] <= 10.1f) << t.extend_s[1];
    EXPECT_FLOAT_EQ(t.extend_s[2], t.extend_s[1] + (t.extend_s[1] <= 9.6f ? t.spread_s : -t.spread_s));
    EXPECT_TRUE(t.manual_s[0] >= 9.3f && t.manual_s[0] <= 10.4f) << t.manual_s[0];
    EXPECT_TRUE(t.manual_s[1] >= 12.3f && t.manual_s[1] <= 13.4f) << t.manual_s[1];
    EXPECT_FLOAT_EQ(t.manual_s[2], t.manual_s[1] + t.spread_s);
  }
}

TEST_F(Brakes, GearMovesBelowItsSpeedsSlowerOnLowPressure) {
  // Every transit 5 s: a tenth of the travel per half-second frame.
  frame_time = 0.5f;
  on_ground = 0;
  gear_legs_from_host = 0;
  float* leg = systems_memory.gear_leg;
  GearTransitTimes& t = gear_transit_times;
  struct Row {
    float a, b, down, lever, kt, a_psi, b_psi, n2, start, after;
  } rows[] = {
      {1, 1, 0, 0, 249.9f, 3000, 0, 0, 1, 0.9f},     {1, 1, 0, 0, 250, 3000, 0, 0, 1, 1},
      {1, 1, 0, 0, 200, 2500, 0, 0, 1, 0.983333f},   {1, 1, 0, 0.5f, 200, 3000, 0, 0, 1, 1},
      {0, 1, 0, 0, 200, 0, 2500.1f, 49.9f, 1, 0.9f}, {0, 1, 0, 0, 200, 0, 2500, 49.9f, 1, 0.983333f},
      {0, 1, 0, 0, 200, 0, 3000, 50, 1, 1},          {0, 1, 0, 0, 249.9f, 0, 3000, 0, 1, 0.9f},
      {0, 1, 0, 0, 250, 0, 3000, 0, 1, 1},           {1, 1, 1, 1, 279.9f, 3000, 0, 0, 0, 0.1f},
      {1, 1, 1, 1, 280, 3000, 0, 0, 0, 0},           {1, 1, 1, 0.5f, 200, 3000, 0, 0, 0, 0},
      {1, 1, 1, 1, 200, 2500, 0, 0, 0, 0.0166667f},
  };
  for (const Row& r : rows) {
    for (int i = 0; i < 3; ++i) t.retract_s[i] = t.extend_s[i] = 5.0f;
    t.drawn_for = r.down == 1.0f ? 2 : 1;
    hydraulic::A_status = r.a;
    hydraulic::B_status = r.b;
    lever_commands.gear_down_selected = r.down;
    controls::gear_handle_down = r.lever;
    host_mirror.sim_cockpit2_gauges_indicators_airspeed_kts_copilot = r.kt;
    hydraulic::A_pressure = r.a_psi;
    hydraulic::B_pressure = r.b_psi;
    host_mirror.sim_flightmodel2_engines_N2_percent[0] = r.n2;
    leg[0] = leg[1] = leg[2] = r.start;
    update_landing_gear();
    EXPECT_NEAR(leg[2], r.after, 1e-5f)
        << r.a << r.b << " down " << r.down << " lever " << r.lever << " " << r.kt << " kt " << r.a_psi << " " << r.b_psi
        << " n2 " << r.n2;
  }
}

TEST_F(Brakes, BrakeCoolingBySpeedAndGearAndHeatingByWeight) {
  frame_time = 1.0f;
  // The host's mass is in kilograms: the weight term is 1 at 80 t, 1 % a tonne beside.
  for (const float t : {90.0f, 80.0f, 79.0f, 60.0f}) {
    host_mirror.sim_flightmodel_weight_m_total = t * 1000.0f;
    const float w = 1.0f + (t - 80.0f) / 100.0f;
    EXPECT_NEAR(brake_heat_weight_factor(0.5f, 20.0f), w * 4.4f * 0.5f * 0.02f, 1e-6f) << t;
  }
  struct Row {
    float kt, deploy, loss;
  } rows[] = {{84, 0.11f, 15 * 15 * 0.0015f * 0.002f},   // x = 0.15 + 5 - 1
              {84, 0.1f, 35.05f * 35.05f * 0.0007f * 0.002f},  // gear up: x 0.14
              {500, 1, 35.75f * 35.75f * 0.0015f * 0.002f}};   // fast: x no less than 0
  for (const Row& r : rows) {
    host_mirror.sim_flightmodel_position_groundspeed = r.kt / 1.9438f;
    host_mirror.sim_aircraft_parts_acf_gear_deploy[2] = r.deploy;
    EXPECT_NEAR(brake_heat_from_speed(2.15f, 15.0f, 1), r.loss, 1e-7f) << r.kt << " " << r.deploy;
  }
}

TEST_F(Steering, TillerLimitAndTurnBrakeFadeWithSpeed) {
  struct Row {
    float speed_mps, wheel_deg, inner, outer;
  } rows[] = {
      {0, 78, 0, 0},
      {2, 59, 0, 0},
      {4, 40, 0, 0},
      {6, 35, 0.0042161f, 0.00047296f},  // partial turn braking below 8 m/s
      {8.5f, 28.75f, 0.021546f, 0},
      {10, 25, 0.026703f, 0},
      {12, 20, 0.029738f, 0},            // turn braking fully in from 12 m/s
      {14, 17.4545f, 0.025628f, 0},
      {23, 6, 0.0082213f, 0},
      {30, 6, 0.0076694f, 0},
  };
  for (const Row& r : rows) {
    host_mirror.sim_flightmodel_position_groundspeed = r.speed_mps;
    brake_state.nosewheel_deg = 0.0f;
    for (int i = 0; i < 40; ++i) update_parking_brake_steering();  // 5 s at 25 deg/s
    EXPECT_NEAR(brake_state.nosewheel_deg, r.wheel_deg, 1e-3f) << r.speed_mps;
    EXPECT_NEAR(brake_state.turn_brake_right, r.inner, 2e-6f) << r.speed_mps;
    EXPECT_NEAR(brake_state.turn_brake_left, r.outer, 2e-6f) << r.speed_mps;
  }
  // Left tiller brakes the left side.
  axis::nosewheel = -1.0f;
  host_mirror.sim_flightmodel_position_groundspeed = 12.0f;
  for (int i = 0; i < 40; ++i) update_parking_brake_steering();
  EXPECT_NEAR(brake_state.nosewheel_deg, -20.0f, 1e-3f);
  EXPECT_NEAR(brake_state.turn_brake_left, 0.029738f, 2e-6f);
  EXPECT_EQ(brake_state.turn_brake_right, 0.0f);
}

TEST_F(Steering, BrakeRatioRowsByFrictionOnBothHosts) {
  struct Row {
    int host, friction;
    float ratio[6];  // manual max, settings 1, 2, 3, MAX, RTO
  } rows[] = {
      {110000, 0, {0.238f, 0.07f, 0.09f, 0.12f, 0.18f, 0.234f}},
      {110000, 1, {0.308f, 0.14f, 0.16f, 0.19f, 0.25f, 0.304f}},
      {110000, 2, {0.478f, 0.31f, 0.33f, 0.36f, 0.42f, 0.474f}},
      {110000, 7, {0.478f, 0.31f, 0.33f, 0.36f, 0.42f, 0.474f}},
      {120000, 0, {0.2261f, 0.0665f, 0.0855f, 0.114f, 0.171f, 0.2223f}},
      {120000, 3, {0.25935f, 0.09975f, 0.11875f, 0.14725f, 0.20425f, 0.25555f}},
      {120000, 6, {0.2926f, 0.133f, 0.152f, 0.1805f, 0.2375f, 0.2888f}},
      {120000, 15, {0.4541f, 0.2945f, 0.3135f, 0.342f, 0.399f, 0.4503f}},
  };
  for (const Row& r : rows) {
    host_version = r.host;
    host_mirror.sim_weather_runway_friction = r.friction;
    update_parking_brake_steering();
    const BrakeRatioTable& t = brake_ratios;
    const float got[6] = {t.max_ratio_both,    t.autobrake_ratio_1,   t.autobrake_ratio_2,
                          t.autobrake_ratio_3, t.autobrake_ratio_max, t.autobrake_ratio_rto};
    for (int i = 0; i < 6; ++i) EXPECT_NEAR(got[i], r.ratio[i], 1e-5f) << r.host << " friction " << r.friction << " column " << i;
  }
}

TEST_F(Steering, BrakeTemperatureFadeAndPedalShaping) {
  host_version = 110000;
  host_mirror.sim_weather_runway_friction = 0;
  struct Heat {
    float left, right;
    float both, toe_left, toe_right;  // factors on the dry row
  } heats[] = {{2, 2, 1, 1, 1}, {3, 3, 1, 1, 1}, {6.45f, 6.45f, 0.9f, 0.9f, 0.9f},
               {9.9f, 9.9f, 0.8f, 0.8f, 0.8f}, {12, 3, 0.9f, 0.8f, 1}};
  for (const Heat& h : heats) {
    systems::brake_temp_l_in = systems::brake_temp_l_out = h.left;
    systems::brake_temp_r_in = systems::brake_temp_r_out = h.right;
    update_parking_brake_steering();
    EXPECT_NEAR(brake_ratios.max_ratio_both, 0.238f * h.both, 1e-5f) << h.left << " " << h.right;
    EXPECT_NEAR(brake_ratios.toe_limit_left, 0.238f * h.toe_left, 1e-5f) << h.left;
    EXPECT_NEAR(brake_ratios.toe_limit_right, 0.238f * h.toe_right, 1e-5f) << h.right;
  }
  systems::brake_temp_l_in = systems::brake_temp_l_out = systems::brake_temp_r_in = systems::brake_temp_r_out = 1.0f;
  // A pressed pedal: strong at a standstill, fading to 0.85 at 77 m/s.
  struct Pedal {
    float speed_mps, pedal, out;
  } pedals[] = {{0, 0.1f, 0.28f},  {2.5f, 0.1f, 0.19f}, {5, 0.1f, 0.1f},     {41, 0.1f, 0.0925f},
                {77, 0.1f, 0.085f}, {100, 0.1f, 0.085f}, {0, 1.0f, 0.6664f}};
  for (const Pedal& p : pedals) {
    host_mirror.sim_flightmodel_position_groundspeed = p.speed_mps;
    axis::left_toe_brake = p.pedal;
    update_parking_brake_steering();
    EXPECT_NEAR(brake_commands.pedal_brake_left, p.out, 1e-5f) << p.speed_mps << " " << p.pedal;
  }
  // The command is capped at 0.88 on a contaminated runway.
  host_mirror.sim_weather_runway_friction = 2;
  host_mirror.sim_flightmodel_position_groundspeed = 0.0f;
  axis::left_toe_brake = 1.0f;
  update_parking_brake_steering();
  EXPECT_NEAR(brake_commands.pedal_brake_left, 0.88f, 1e-6f);
}

}  // namespace
