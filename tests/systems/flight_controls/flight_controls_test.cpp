// Flight controls: flaps and slats, the speed brake (lever detents, landing
// deployment, retraction and servo cues), the host and script control axes,
// the reverse levers and the stabilizer trim wheel. One table row per
// threshold, with a value on each side of it.
#include <gtest/gtest.h>

#include <limits>

#include "core/pitch_trim.h"
#include "systems/brake_fixtures.h"
#include "systems/flight_controls/elec_trim_state.h"
#include "systems/flight_controls/reverse_levers.h"
#include "systems/flight_controls/speedbrake_lever.h"
#include "systems/flight_controls/trim_command_state.h"
#include "systems/system_state.h"

namespace {

// Landing: armed above 100 ft, then a touchdown at 100 kt with the lever
// stowed leaves the deployment pending.
class SpeedBrake : public Brakes {
 protected:
  static void land(float thrust2) {
    on_ground = gear3_on_ground = 0;
    host_mirror.sim_cockpit2_gauges_indicators_radio_altimeter_height_ft_pilot = 150.0f;
    update_speedbrake();
    host_mirror.sim_cockpit2_gauges_indicators_radio_altimeter_height_ft_pilot = 0.0f;
    on_ground = gear3_on_ground = 1;
    set_speed_kt(100.0f);
    flt_ctrls::speedbrake_lever = 0.0f;
    engine::thrust2_leveler = thrust2;
    update_speedbrake();
    clear_motion();
  }
  static void clear_motion() {
    flt_ctrls::speedbrake_lever_anim = 0.0f;
    set_speedbrake_target(0.5f);
  }
  static bool deployed() { return flt_ctrls::speedbrake_lever_anim == 1.0f && speedbrake_target() == 1.0f; }
  static bool retracted() { return flt_ctrls::speedbrake_lever_anim == 1.0f && speedbrake_target() == 0.0f; }
};

TEST_F(Brakes, AlternateFlapTimesAndTheControlSwitchAtTheEnds) {
  switches::alt_flaps_pos = 1.0f;
  hydraulic::standby_status = 1.0f;
  host_mirror.sim_operation_failures_rel_flap_act = 0;
  systems_memory.flap_axis_last = axis::flap_lever;
  struct Row {
    float r, ctrl, hold, request, time_s;
  } rows[] = {{0.125f, 0, 0.125f, 0.125f, 80}, {0.126f, 0, 0.126f, 0.126f, 32}, {0.375f, 0, 0.375f, 0.375f, 32},
              {0.376f, 0, 0.376f, 0.376f, 24},  {0.625f, 0, 0.625f, 0.625f, 24}, {0.626f, 0, 0.626f, 0.626f, 40},
              {0, -1, 0.3f, 0, 80},             {0.01f, -1, 0.3f, 0, 80},        {1, 1, 0.7f, 1, 40},
              {0.99f, 1, 0.7f, 1, 40}};  // at an end the flaps are held where they stand
  for (const Row& r : rows) {
    host_mirror.sim_cockpit2_controls_flap_handle_deploy_ratio = r.r;
    toggle_switch::alt_flaps_ctrl = r.ctrl;
    systems_memory.flap_copies[0] = r.hold;
    host_mirror.sim_cockpit2_controls_flap_ratio = -1.0f;
    update_flaps_slats();
    EXPECT_NEAR(host_mirror.sim_cockpit2_controls_flap_ratio, r.request, 1e-6f) << r.r << " " << r.ctrl;
    EXPECT_NEAR(host_mirror.sim_aircraft2_engine_flap_extension_time_sec, r.time_s * 4.21f, 1e-3f) << r.r;
  }
  switches::alt_flaps_pos = 0.0f;
  toggle_switch::alt_flaps_ctrl = 0.0f;
}

TEST_F(SpeedBrake, PendingDeploymentAfterTouchdown) {
  struct Row {
    float kt;
    int mode1;
    float thrust2, lever;
    bool deploy, still_pending;
  } rows[] = {{61, 3, 0, 0, true, false},    {59, 3, 0, 0, false, false},  {61, 1, 0, 0, false, true},
              {61, 3, 0, 1, false, false},   {59, 1, 0, 1, false, true},   {61, 3, 0.06f, 0, false, true}};
  for (const Row& r : rows) {
    host_mirror.sim_cockpit2_engine_actuators_prop_mode[0] = 1;
    land(0.0f);
    ASSERT_FALSE(deployed());
    set_speed_kt(r.kt);
    host_mirror.sim_cockpit2_engine_actuators_prop_mode[0] = r.mode1;
    engine::thrust2_leveler = r.thrust2;
    flt_ctrls::speedbrake_lever = r.lever;
    update_speedbrake();
    EXPECT_EQ(deployed(), r.deploy) << r.kt << " " << r.mode1 << " " << r.thrust2 << " " << r.lever;
    // Still pending: a frame in reverse at 61 kt with the lever stowed deploys
    // (not once the lever has been up above 60 kt: the crew's stow holds).
    clear_motion();
    set_speed_kt(61.0f);
    host_mirror.sim_cockpit2_engine_actuators_prop_mode[0] = 3;
    engine::thrust2_leveler = 0.0f;
    flt_ctrls::speedbrake_lever = 0.0f;
    update_speedbrake();
    EXPECT_EQ(deployed(), r.still_pending) << r.kt << " " << r.mode1 << " " << r.thrust2 << " " << r.lever;
    clear_motion();
  }
}

TEST_F(SpeedBrake, RetractionOnThrustAfterTheHoldAndFromIdle) {
  // After the touchdown hold: a thrust lever advanced retracts a lever at 0.15 or more.
  for (float lever : {0.149f, 0.15f}) {
    land(0.06f);  // advanced from touchdown on: the levers were not idle
    delay_flags.autobrake_flag_2 = 1.0f;
    flt_ctrls::speedbrake_lever = lever;
    update_speedbrake();
    EXPECT_EQ(retracted(), lever >= 0.15f) << lever;
    clear_motion();
    delay_flags.autobrake_flag_2 = 0.0f;
  }
  // On the ground, a lever leaving idle (below 0.05) retracts a lever out
  // beyond ARMED; DOWN and ARMED stay.
  struct Row {
    float before, after, lever;
    bool retract;
    int engine, mode;
  } rows[] = {{0.049f, 0.051f, 0.3f, true, 2, 1},  {0.049f, 0.051f, 0, false, 2, 1}, {0.049f, 0.05f, 0.3f, false, 2, 1},
              {0.05f, 0.3f, 0.3f, false, 2, 1},    {0.049f, 0.051f, 0.3f, true, 1, 1}, {0.049f, 0.5f, 0.3f, false, 1, 3},
              {0.049f, 0.051f, 0.0889f, false, 2, 1}, {0.049f, 0.051f, 0.131f, true, 2, 1}};
  for (const Row& r : rows) {
    float& thrust = r.engine == 1 ? engine::thrust1_leveler : engine::thrust2_leveler;
    land(0.0f);
    set_speed_kt(30.0f);
    host_mirror.sim_cockpit2_engine_actuators_prop_mode[r.engine - 1] = r.mode;
    flt_ctrls::speedbrake_lever = r.lever;
    thrust = r.before;
    update_speedbrake();
    clear_motion();
    thrust = r.after;
    update_speedbrake();
    EXPECT_EQ(retracted(), r.retract) << r.before << " " << r.after << " " << r.lever << " engine " << r.engine;
    clear_motion();
    thrust = 0.0f;
    host_mirror.sim_cockpit2_engine_actuators_prop_mode[r.engine - 1] = 1;
  }
}

TEST_F(SpeedBrake, LeverMotionServoCuesAndSpoilerSwitches) {
  // The lever lags 4 per second toward the target; there the 0.7 s hold starts.
  host_mirror.sim_flightmodel_failures_onground_all = 1;
  flt_ctrls::speedbrake_lever = 0.0f;
  axis::speedbrake_lever = 0.0f;
  update_speedbrake_stop();
  flt_ctrls::speedbrake_lever_anim = 1.0f;
  set_speedbrake_target(1.0f);
  update_speedbrake_stop();
  EXPECT_NEAR(flt_ctrls::speedbrake_lever, 0.5f, 1e-6f);
  EXPECT_EQ(delay_timers.speedbrake_anim_delay, 0.0f);
  flt_ctrls::speedbrake_lever = 0.995f;
  update_speedbrake_stop();
  EXPECT_EQ(flt_ctrls::speedbrake_lever, 1.0f);
  EXPECT_NEAR(delay_timers.speedbrake_anim_delay, 0.7f, 1e-6f);
  flt_ctrls::speedbrake_lever_stop = 1.0f;
  set_speedbrake_target(0.0f);
  flt_ctrls::speedbrake_lever = 0.005f;
  update_speedbrake_stop();
  EXPECT_EQ(flt_ctrls::speedbrake_lever_stop, 0.0f);
  // Servo cues while the lever is driven; no AC transfer bus stops it.
  flt_ctrls::speedbrake_lever_anim = 1.0f;
  set_speedbrake_target(1.0f);
  update_speedbrake();
  EXPECT_EQ(script_mirror.zuvadud_d738_fmod_sb_servo_deploy, 1.0f);
  set_speedbrake_target(0.0f);
  update_speedbrake();
  EXPECT_EQ(script_mirror.zuvadud_d738_fmod_sb_servo_retract, 1.0f);
  electric::ac_tnsbus1_status = 0.0f;
  update_speedbrake();
  EXPECT_EQ(flt_ctrls::speedbrake_lever_anim, 1.0f);
  electric::ac_tnsbus2_status = 0.0f;
  update_speedbrake();
  EXPECT_EQ(flt_ctrls::speedbrake_lever_anim, 0.0f);
  // Spoiler shut-off switches fail their side's spoilers.
  for (float sw : {0.0f, 1.0f}) {
    switches::spoiler_A_pos = switches::spoiler_B_pos = sw;
    update_speedbrake_stop();
    EXPECT_EQ(host_mirror.sim_operation_failures_rel_wing2L, sw == 0.0f ? 0 : 6);
    EXPECT_EQ(host_mirror.sim_operation_failures_rel_wing2R, sw == 0.0f ? 0 : 6);
  }
}

class Controls : public PanelTest {
 protected:
  void SetUp() override {
    PanelTest::SetUp();
    hydraulic::A_rudder = hydraulic::B_rudder = 1.0f;
    hydraulic::A_status = hydraulic::B_status = 1.0f;
    hydraulic::standby_status = 0.0f;
    switches::flt_ctr_A_pos = switches::flt_ctr_B_pos = 1.0f;
    cockpit::joy_override = cockpit::toe_brake_override = cockpit::throttle_override = 0.0f;
    host_mirror.sim_joystick_joy_mapped_axis_avail[1] = 1;  // pitch
  }
};

TEST_F(Controls, YokePitchGateByAutopilotAndControlWheelSteering) {
  struct Row {
    float disco, ap, cws, input, ratio_before, ratio;
  } rows[] = {
      {0, 0, 0, 0.3f, 0, 0.3f},        {0, 1, 0, 0.3f, 0.1f, 0.1f},     {1, 0, 1, 0.11f, 0.5f, 0.125f},
      {1, 0, 1, -0.12f, 0.5f, -0.12f}, {1, 1, 0, 0.2f, 0.1f, 0.1f},     {1, 1, 0, -0.21f, 0.1f, -0.21f},
      {1, 0, 0, 0.05f, 0.1f, 0.05f},
  };
  for (const Row& r : rows) {
    script_mirror.zuvadud_D738_yoke_disco_ap = r.disco;
    script_mirror.zuvadud_autopilot_ap_on = r.ap;
    script_mirror.zuvadud_D738_autopilot_cws_p_status = r.cws;
    host_mirror.sim_joystick_joy_mapped_axis_value[1] = 0.77f;  // a frame before, elsewhere
    update_joystick_axes();
    host_mirror.sim_cockpit2_controls_yoke_pitch_ratio = r.ratio_before;
    host_mirror.sim_joystick_joy_mapped_axis_value[1] = r.input;
    update_joystick_axes();
    EXPECT_NEAR(host_mirror.sim_cockpit2_controls_yoke_pitch_ratio, r.ratio, 1e-6f)
        << r.disco << r.ap << r.cws << " " << r.input << " " << r.ratio_before;
  }
  // A steady small input under control-wheel steering lets the yoke home at 6/s.
  script_mirror.zuvadud_D738_yoke_disco_ap = script_mirror.zuvadud_autopilot_ap_on = 0.0f;
  script_mirror.zuvadud_D738_autopilot_cws_p_status = 1.0f;
  for (float input : {0.11f, 0.12f}) {
    host_mirror.sim_joystick_joy_mapped_axis_value[1] = input;
    update_joystick_axes();
    update_joystick_axes();
    EXPECT_NEAR(host_mirror.sim_cockpit2_controls_yoke_pitch_ratio, input == 0.11f ? 0.0275f : 0.12f, 1e-6f) << input;
  }
  // Manual reversion: a third of the authority and a bit more. Pitch and
  // roll are out once systems A and B are, standby pump or not; the rudder
  // only when neither rudder source (A or B, or the standby pump) is left.
  // Both flight control switches away from ON shut A and B off the
  // controls however much pressure they have.
  struct Reversion {
    float ab_status, rudder, pitch_in, heading_in, pitch, heading;
    float switches = 1.0f;
  } reversions[] = {
      {0, 0, -1.0f, 1.0f, -0.35f, 0.35f},    {0, 0, 0.5f, -0.5f, 0.175f, -0.175f},
      {0, 1, 0.7f, 0.5f, 0.245f, 0.5f},      {1, 1, 0.7f, 0.5f, 0.7f, 0.5f},
      {1, 0, 0.7f, 0.5f, 0.245f, 0.175f, 0}, {1, 1, 0.7f, 0.5f, 0.245f, 0.5f, -1},
  };
  host_mirror.sim_joystick_joy_mapped_axis_avail[3] = 1;  // yaw
  for (const Reversion& r : reversions) {
    switches::flt_ctr_A_pos = switches::flt_ctr_B_pos = r.switches;
    hydraulic::A_status = hydraulic::B_status = r.ab_status;
    hydraulic::A_rudder = hydraulic::B_rudder = r.rudder;
    host_mirror.sim_joystick_joy_mapped_axis_value[1] = r.pitch_in;
    host_mirror.sim_joystick_joy_mapped_axis_value[3] = r.heading_in;
    update_joystick_axes();
    EXPECT_NEAR(axis::pitch, r.pitch, 1e-6f) << r.ab_status << r.rudder << " " << r.pitch_in;
    EXPECT_NEAR(axis::heading, r.heading, 1e-6f) << r.ab_status << r.rudder << " " << r.heading_in;
  }
  host_mirror.sim_joystick_joy_mapped_axis_avail[3] = 0;
}

TEST_F(Controls, ToeBrakeAxesScaledByTheirLimits) {
  brake_ratios.toe_limit_left = 0.2f;
  brake_ratios.toe_limit_right = 0.3f;
  host_mirror.sim_joystick_joy_mapped_axis_avail[6] = 1;
  struct Row {
    float one_pedal, input, left, right;
  } rows[] = {{0, 0.5f, 0.1f, 0}, {0, 1.5f, 0.2f, 0}, {0, -0.5f, 0, 0}, {1, 0.5f, 0.1f, 0.1f}};
  for (const Row& r : rows) {
    axis::right_toe_brake = 0.0f;
    script_mirror.zuvadud_D738_fms_toe_brakes_ovr = r.one_pedal;
    host_mirror.sim_joystick_joy_mapped_axis_value[6] = r.input;
    update_joystick_axes();
    EXPECT_NEAR(axis::left_toe_brake, r.left, 1e-6f) << r.one_pedal << " " << r.input;
    EXPECT_NEAR(axis::right_toe_brake, r.right, 1e-6f) << r.one_pedal << " " << r.input;
  }
  cockpit::toe_brake_override = 1.0f;
  host_mirror.sim_joystick_joy_mapped_axis_value[6] = 1.0f;
  update_joystick_axes();
  EXPECT_NEAR(axis::left_toe_brake, 0.1f, 1e-6f);
}

TEST_F(Controls, ReverserFailuresAndLocksByHydraulicsAndHeight) {
  // A sleeve out without a reverse command is let home before it is locked
  // (with pressure to drive it); without pressure it stays locked where it is.
  struct Row {
    float a, stby, ra;
    int mode;
    int revdep, revers;
    float sleeve;
  } rows[] = {{1, 0, 10, 1, 0, 0, 0},         {1, 0, 10.1f, 1, 0, 6, 0},        {1, 0, 10.1f, 3, 6, 0, 0},
              {0, 0, 0, 1, 0, 6, 0},          {0, 1, 0, 1, 0, 0, 0},            {1, 0, 35000, 1, 0, 0, 0.067f},
              {0, 1, 35000, 1, 0, 0, 0.001f}, {0, 0, 35000, 1, 0, 6, 0.067f}, {1, 0, 10.1f, 3, 6, 0, 1}};
  for (const Row& r : rows) {
    host_mirror.sim_flightmodel2_engines_thrust_reverser_deploy_ratio[0] = r.sleeve;
    hydraulic::A_status = r.a;
    hydraulic::standby_status = r.stby;
    host_mirror.sim_cockpit2_gauges_indicators_radio_altimeter_height_ft_pilot = r.ra;
    host_mirror.sim_cockpit2_engine_actuators_prop_mode[0] = r.mode;
    update_trim_switches_reversers();  // the frame before, in the same mode
    update_trim_switches_reversers();
    EXPECT_EQ(host_mirror.sim_operation_failures_rel_revdep0, r.revdep) << r.a << r.stby << " " << r.ra << " " << r.mode;
    EXPECT_EQ(host_mirror.sim_operation_failures_rel_revers0, r.revers) << r.a << r.stby << " " << r.ra << " " << r.mode;
  }
  host_mirror.sim_flightmodel2_engines_thrust_reverser_deploy_ratio[0] = 0.0f;
  hydraulic::A_status = 1.0f;
  host_mirror.sim_cockpit2_engine_actuators_prop_mode[0] = host_mirror.sim_cockpit2_engine_actuators_prop_mode[1] = 1;
  struct Lock {
    float throttle, ra, lock;
  } locks[] = {{0.02f, 10, 0}, {0.021f, 0, 1}, {0, 10.1f, 1}};
  for (const Lock& l : locks) {
    host_mirror.sim_cockpit2_engine_actuators_throttle_ratio[1] = l.throttle;
    host_mirror.sim_cockpit2_gauges_indicators_radio_altimeter_height_ft_pilot = l.ra;
    update_trim_switches_reversers();
    EXPECT_EQ(flt_ctrls::lock_reverse2, l.lock) << l.throttle << " " << l.ra;
    EXPECT_EQ(flt_ctrls::lock_reverse12, l.lock) << l.throttle << " " << l.ra;
  }
  // Both in reverse: each lever from its throttle, and their mean.
  host_mirror.sim_cockpit2_engine_actuators_prop_mode[0] = host_mirror.sim_cockpit2_engine_actuators_prop_mode[1] = 3;
  host_mirror.sim_cockpit2_engine_actuators_throttle_ratio[0] = 1.0f;
  host_mirror.sim_cockpit2_engine_actuators_throttle_ratio[1] = 0.0f;
  update_trim_switches_reversers();
  EXPECT_NEAR(flt_ctrls::reverse_lever2, 0.06f, 1e-6f);
  EXPECT_NEAR(flt_ctrls::reverse_lever12, 0.53f, 1e-6f);
}

TEST_F(Controls, SecondReverseLeverBySystemBOrStandby) {
  struct Row {
    float b, stby;
    int mode;
    float lever, ra;
    int mode_after;
    float ratio, rev_ratio;
  } rows[] = {{1, 0, 1, 0.06f, 0, 3, 0, 0.7f},      {0, 1, 1, 0.06f, 0, 3, 0, 0.7f},  {0, 0, 1, 0.5f, 0, 1, 0.3f, 0.7f},
              {0, 0, 3, 0.53f, 20, 3, 0.5f, 0.7f},  {1, 0, 3, 0.53f, 10, 1, 0, 0},     {1, 0, 3, 0.05f, 0, 3, 0, 0.7f}};
  for (const Row& r : rows) {
    hydraulic::B_status = r.b;
    hydraulic::standby_status = r.stby;
    host_mirror.sim_cockpit2_engine_actuators_prop_mode[1] = r.mode;
    host_mirror.sim_cockpit2_engine_actuators_throttle_ratio[1] = 0.3f;
    host_mirror.sim_cockpit2_engine_actuators_throttle_jet_rev_ratio[1] = 0.7f;
    host_mirror.sim_cockpit2_gauges_indicators_radio_altimeter_height_ft_pilot = r.ra;
    flt_ctrls::reverse_lever2 = r.lever;
    reverse_lever_logic_eng2();
    const auto why = ::testing::Message() << r.b << r.stby << " " << r.mode << " " << r.lever << " " << r.ra;
    EXPECT_EQ(host_mirror.sim_cockpit2_engine_actuators_prop_mode[1], r.mode_after) << why;
    EXPECT_NEAR(host_mirror.sim_cockpit2_engine_actuators_throttle_ratio[1], r.ratio, 1e-6f) << why;
    EXPECT_EQ(host_mirror.sim_cockpit2_engine_actuators_throttle_jet_rev_ratio[1], r.rev_ratio) << why;
  }
}

TEST_F(Controls, HostFlapAndSpeedBrakeAxesWhenMapped) {
  struct Row {
    float mapped;
    int assigned;
    float axis;
  } rows[] = {{-1, 1, 0.4f}, {0, 1, 0.1f}, {-1, 0, 0.1f}};
  for (const Row& r : rows) {
    axis::flap_lever = axis::speedbrake_lever = 0.1f;
    script_mirror.zuvadud_D738_flt_ctrls_flaps_mapped = script_mirror.zuvadud_D738_flt_ctrls_speedbrake_mapped = r.mapped;
    host_mirror.sim_joystick_joy_mapped_axis_avail[11] = host_mirror.sim_joystick_joy_mapped_axis_avail[14] = r.assigned;
    host_mirror.sim_joystick_joy_mapped_axis_value[11] = host_mirror.sim_joystick_joy_mapped_axis_value[14] = 0.4f;
    update_joystick_axes();
    EXPECT_EQ(axis::flap_lever, r.axis) << r.mapped << " " << r.assigned;
    EXPECT_EQ(axis::speedbrake_lever, r.axis) << r.mapped << " " << r.assigned;
  }
}

TEST_F(Controls, TrimWheelSoundFlags) {
  struct Row {
    float fast, slow, manual, pulse, click_fast, click_slow, ac1, ac2;
    int failed;
    float quick, man, slow_flag;
  } rows[] = {
      {1, 0, 0, 0, 0, 0, 1, 0, 0, 1, 0, 0}, {1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, {1, 0, 0, 0, 0, 0, 0, 1, 6, 0, 0, 0},
      {0, 0, 0, 0, 1, 0, 0, 0, 6, 1, 0, 0}, {0, 1, 0, 0, 0, 0, 1, 1, 0, 0, 0, 1}, {0, 0, 1, 0, 0, 0, 1, 1, 0, 0, 1, 1},
      {0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0}, {0, 0, 0, 0, 0, 1, 1, 1, 0, 0, 0, 1}, {0, 0, 0, 0, 0, 0, 1, 1, 0, 0, 0, 0},
  };
  for (const Row& r : rows) {
    trim_wheel_fast_run = r.fast;
    trim_wheel_slow_run = r.slow;
    pitch_trim_running = r.manual;
    trim_wheel_pulse() = r.pulse;
    elec_trim_click_fast() = r.click_fast;
    elec_trim_click_slow() = r.click_slow;
    electric::ac_tnsbus1_status = r.ac1;
    electric::ac_tnsbus2_status = r.ac2;
    host_mirror.sim_operation_failures_rel_trim_elv = r.failed;
    update_stab_trim_wheel();
    const auto why = ::testing::Message() << r.fast << r.slow << r.manual << r.pulse << r.click_fast << r.click_slow << " "
                                          << r.ac1 << r.ac2 << " " << r.failed;
    EXPECT_EQ(flt_ctrls::trim_wheel_quick, r.quick) << why;
    EXPECT_EQ(flt_ctrls::trim_wheel_man, r.man) << why;
    EXPECT_EQ(flt_ctrls::trim_wheel_slow, r.slow_flag) << why;
  }
  host_mirror.sim_operation_failures_rel_trim_elv = 0;
  pitch_trim_running = 0.0f;
}

// The wheel follows whatever moves the trim, however little: one way, at its
// own rate, coming to rest on the trim. The autopilot's trim motion sounds it.
TEST_F(Controls, TrimWheelFollowsTheTrimOneWayAndRestsOnIt) {
  script_mirror.zuvadud_autopilot_ap_on = 1.0f;
  host_mirror.sim_cockpit2_controls_flap_handle_deploy_ratio = 0.0f;
  elec_trim_travel_time = 0.0f;  // as a load leaves it with the autopilot on and flaps up: 85.5 s
  flt_ctrls::trim_wheel = trim_wheel_target = trim_wheel_hold = 0.0f;
  host_mirror.sim_cockpit2_controls_elevator_trim = 0.0f;
  update_stab_trim_wheel();
  delay_timers.trim_wheel_delay_1 = 0.0f;
  update_stab_trim_wheel();
  EXPECT_EQ(flt_ctrls::trim_wheel, 0.0f);
  EXPECT_EQ(delay_timers.trim_wheel_delay_1, 0.0f) << "a trim at rest is silent";
  host_mirror.sim_cockpit2_controls_elevator_trim = 0.005f;  // well under 0.02
  update_stab_trim_wheel();
  EXPECT_NEAR(delay_timers.trim_wheel_delay_1, 0.55f, 1e-6f);  // flaps up: the slow autopilot sound
  EXPECT_EQ(flt_ctrls::trim_wheel_slow_ap, 1.0f);
  EXPECT_NEAR(flt_ctrls::trim_wheel, 0.125f * 2.0f / 85.5f, 1e-6f);
  update_stab_trim_wheel();
  EXPECT_EQ(flt_ctrls::trim_wheel, 0.005f);
  struct Leg {
    float trim;
    int frames;
  } legs[] = {{0.021f, 12}, {0.0f, 16}};
  for (const Leg& leg : legs) {
    host_mirror.sim_cockpit2_controls_elevator_trim = leg.trim;
    const float dir = leg.trim > flt_ctrls::trim_wheel ? 1.0f : -1.0f;
    for (int i = 0; i < leg.frames; ++i) {
      const float before = flt_ctrls::trim_wheel;
      update_stab_trim_wheel();
      EXPECT_GE(dir * (flt_ctrls::trim_wheel - before), 0.0f) << "toward " << leg.trim << ", frame " << i;
      EXPECT_LE(dir * (flt_ctrls::trim_wheel - leg.trim), 0.0f) << "past " << leg.trim << ", frame " << i;
    }
    EXPECT_EQ(flt_ctrls::trim_wheel, leg.trim);
  }
  // Flaps out: the quick sound for 0.37 s.
  host_mirror.sim_cockpit2_controls_flap_handle_deploy_ratio = 0.05f;
  for (int i = 0; i < 20; ++i) update_stab_trim_wheel();
  host_mirror.sim_cockpit2_controls_elevator_trim = -0.5f;
  for (int i = 0; i < 3 && delay_timers.trim_wheel_delay_2 == 0.0f; ++i) update_stab_trim_wheel();
  EXPECT_NEAR(delay_timers.trim_wheel_delay_2, 0.37f, 1e-6f);
  EXPECT_EQ(flt_ctrls::trim_wheel_quick_ap, 1.0f);
  script_mirror.zuvadud_autopilot_ap_on = 0.0f;
}

TEST_F(SystemLimits, SpeedBrakeLeverToHostRatio) {
  speedbrake_enable = 1;
  speedbrake_flight_detent_latch = 0;
  hydraulic::A_status = 1.0f;
  struct Row {
    float lever, ratio;
    int32_t right_main = 1;
  } rows[] = {
      {0.0f, 0},      {0.049f, 0},     {0.051f, -0.5f}, {0.129f, -0.5f},  // armed
      {0.131f, 0},    {0.149f, 0},                                       // between ARMED and the spoilers
      {0.15f, 0},     {0.4085f, 0.495f}, {0.667f, 0.99f},                // spoilers open up to the flight detent
      {0.8335f, 0.995f}, {1.0f, 1.0f},                                   // beyond it on the right main
      {1.0f, 0.99f, 0}, {0.8335f, 0.99f, 0},  // in the air or on the left main: the flight spoilers alone
  };
  for (const Row& r : rows) {
    gear3_on_ground = r.right_main;
    host_mirror.sim_cockpit2_controls_speedbrake_ratio = 7.0f;
    flt_ctrls::speedbrake_lever = r.lever;
    speedbrake_detents();
    EXPECT_NEAR(host_mirror.sim_cockpit2_controls_speedbrake_ratio, r.ratio, 1e-4f) << r.lever;
  }
  // In flight the flight detent holds the ratio; without system A on the
  // ground the ratio is left as it was.
  speedbrake_flight_detent_latch = 1;
  flt_ctrls::speedbrake_lever = 0.9f;
  speedbrake_detents();
  EXPECT_NEAR(host_mirror.sim_cockpit2_controls_speedbrake_ratio, 0.99f, 1e-6f);
  speedbrake_flight_detent_latch = 0;
  hydraulic::A_status = 0.0f;
  speedbrake_detents();
  EXPECT_NEAR(host_mirror.sim_cockpit2_controls_speedbrake_ratio, 0.99f, 1e-6f);
}

TEST_F(SystemLimits, SpeedBrakeLeverSnapsToItsDetents) {
  speedbrake_enable = 1;
  flt_ctrls::speedbrake_lever_anim = 0.0f;
  struct Row {
    float lever, latch, snapped;
  } rows[] = {{0.039f, 0, 0.0f},  {0.041f, 0, 0.0889f}, {0.129f, 0, 0.0889f}, {0.131f, 0, 0.15f},
              {0.149f, 0, 0.15f},  {0.151f, 0, 0.151f},  {0.8f, 0, 0.8f},       {0.8f, 1, 0.667f},
              {0.66f, 1, 0.66f},   {0.01f, 0, 0.0f},     {-0.001f, 0, 0.0f},    {-3.0f, 0, 0.0f},
              {4.0f, 0, 1.0f},     {4.0f, 1, 0.667f}};
  for (const Row& r : rows) {
    speedbrake_flight_detent_latch = static_cast<int32_t>(r.latch);
    flt_ctrls::speedbrake_lever = r.lever;
    snap_speedbrake_lever();
    EXPECT_FLOAT_EQ(flt_ctrls::speedbrake_lever, r.snapped) << r.lever << " latch " << r.latch;
  }
}

// A hardware lever or axis reads with the noise of its potentiometer: only a
// reading in another detent is the crew's hand on the lever.
TEST_F(SystemLimits, NoisySpeedBrakeLeverAndAxisMoveOnlyBetweenDetents) {
  speedbrake_enable = 1;
  speedbrake_flight_detent_latch = 0;
  forget_speedbrake_lever_writes();
  flt_ctrls::speedbrake_lever_anim = 0.0f;
  write_speedbrake_lever(0.088f);
  EXPECT_FLOAT_EQ(flt_ctrls::speedbrake_lever, 0.0889f);
  flt_ctrls::speedbrake_lever_anim = 1.0f;  // the touchdown deployment under way
  flt_ctrls::speedbrake_lever = 0.5f;
  for (float v : {0.090f, 0.088f, std::numeric_limits<float>::quiet_NaN()}) write_speedbrake_lever(v);
  EXPECT_EQ(flt_ctrls::speedbrake_lever_anim, 1.0f);
  EXPECT_EQ(flt_ctrls::speedbrake_lever, 0.5f);
  write_speedbrake_lever(0.002f);  // DOWN
  EXPECT_EQ(flt_ctrls::speedbrake_lever_anim, 0.0f);
  EXPECT_EQ(flt_ctrls::speedbrake_lever, 0.0f);
  // The axis: ARMED read, the spoilers deployed, the same detent read again.
  axis::speedbrake_lever = 0.088f;
  update_speedbrake_stop();
  EXPECT_FLOAT_EQ(flt_ctrls::speedbrake_lever, 0.0889f);
  flt_ctrls::speedbrake_lever = 1.0f;
  for (float v : {0.090f, 0.088f, 0.09f}) {
    axis::speedbrake_lever = v;
    update_speedbrake_stop();
  }
  EXPECT_EQ(flt_ctrls::speedbrake_lever, 1.0f);
  axis::speedbrake_lever = 0.003f;
  update_speedbrake_stop();
  EXPECT_EQ(flt_ctrls::speedbrake_lever, 0.0f);
}

TEST_F(SystemLimits, FlapTimeAndAutoSlatsByHandle) {
  hydraulic::B_status = 1.0f;
  switches::alt_flaps_pos = 0.0f;
  electric::dc_bus1_status = 1.0f;
  host_mirror.sim_operation_failures_rel_flap_act = 0;
  struct Row {
    float handle, b_psi, ra_ft;
    float time_s;
    int auto_slat;
  } rows[] = {
      {0.125f, 3000, 1000, 96, 1}, {0.126f, 3000, 1000, 20, 1}, {0.25f, 3000, 1000, 20, 1},
      {0.26f, 3000, 1000, 24, 1},  {0.625f, 3000, 1000, 24, 1}, {0.626f, 3000, 1000, 40, 1},
      {0.75f, 3000, 1000, 40, 1},  {0.76f, 3000, 1000, 40, 0},  {0.124f, 3000, 1000, 96, 0},
      {0.25f, 2499, 1000, 50, 1},  {0.25f, 2500, 1000, 20, 1},  {0.25f, 3000, 50, 20, 1},
      {0.25f, 3000, 49, 20, 0},
  };
  for (const Row& r : rows) {
    host_mirror.sim_cockpit2_controls_flap_handle_deploy_ratio = r.handle;
    hydraulic::B_pressure = r.b_psi;
    host_mirror.sim_cockpit2_gauges_indicators_radio_altimeter_height_ft_pilot = r.ra_ft;
    update_flaps_slats();
    EXPECT_FLOAT_EQ(host_mirror.sim_aircraft2_engine_flap_extension_time_sec, r.time_s) << r.handle << " " << r.b_psi;
    EXPECT_EQ(host_mirror.sim_aircraft_specialcontrols_acf_autoslatEQ, r.auto_slat) << r.handle << " " << r.ra_ft;
  }
}

TEST_F(SystemLimits, ReverserEngagesBelowTenFeetAndScalesTheLever) {
  hydraulic::A_status = 1.0f;
  hydraulic::standby_status = 0.0f;
  struct Row {
    float ra_ft, lever;
    int mode;
    float ratio;
  } rows[] = {{9.9f, 0.06f, 3, 0}, {9.9f, 0.059f, 1, 0}, {10, 0.5f, 1, 0},
              {9.9f, 0.53f, 3, 0.5f}, {9.9f, 1, 3, 1}, {9.9f, 1.2f, 3, 1}};
  for (const Row& r : rows) {
    host_mirror.sim_cockpit2_engine_actuators_prop_mode[0] = 1;
    host_mirror.sim_cockpit2_engine_actuators_throttle_ratio[0] = 0.0f;
    host_mirror.sim_cockpit2_gauges_indicators_radio_altimeter_height_ft_pilot = r.ra_ft;
    flt_ctrls::reverse_lever1 = r.lever;
    reverse_lever_logic();
    EXPECT_EQ(host_mirror.sim_cockpit2_engine_actuators_prop_mode[0], r.mode) << r.ra_ft << " " << r.lever;
    EXPECT_NEAR(host_mirror.sim_cockpit2_engine_actuators_throttle_ratio[0], r.ratio, 1e-6f) << r.ra_ft << " " << r.lever;
  }
  // Reversing, the aircraft leaving 10 ft or the lever stowed ends it.
  host_mirror.sim_cockpit2_gauges_indicators_radio_altimeter_height_ft_pilot = 10.0f;
  flt_ctrls::reverse_lever1 = 0.5f;
  reverse_lever_logic();
  EXPECT_EQ(host_mirror.sim_cockpit2_engine_actuators_prop_mode[0], 1);
  host_mirror.sim_cockpit2_engine_actuators_prop_mode[0] = 3;
  host_mirror.sim_cockpit2_gauges_indicators_radio_altimeter_height_ft_pilot = 0.0f;
  flt_ctrls::reverse_lever1 = 0.0f;
  reverse_lever_logic();
  EXPECT_EQ(host_mirror.sim_cockpit2_engine_actuators_prop_mode[0], 1);
}

TEST_F(SystemLimits, StabilizerTrimTravelTimeByFlapsAndAutopilot) {
  struct Row {
    float ap, flap;
    int fast;
    float travel_s;  // 20 before the frame: kept where the rule leaves it
  } rows[] = {{0, 0.049f, 0, 85.5f}, {0, 0.05f, 1, 42.75f}, {1, 0.05f, 1, 63.33f}, {1, 0.049f, 0, 20}};
  for (const Row& r : rows) {
    elec_trim_travel_time = 20.0f;
    script_mirror.zuvadud_autopilot_ap_on = r.ap;
    host_mirror.sim_cockpit2_controls_flap_handle_deploy_ratio = r.flap;
    update_stab_trim_wheel();
    EXPECT_EQ(elec_trim_fast_mode, r.fast) << r.ap << " " << r.flap;
    EXPECT_FLOAT_EQ(elec_trim_travel_time, r.travel_s) << r.ap << " " << r.flap;
  }
  script_mirror.zuvadud_autopilot_ap_on = 0.0f;
}

TEST_F(SystemLimits, ScriptGearInputAroundItsOffDetent) {
  on_ground = 0;
  struct Row {
    float off, input, handle;
  } rows[] = {{0.4f, 0.2f, 0.25f}, {0.4f, 0.7f, 0.75f}, {0.4f, 1, 1},  {0, 0.3f, 0.3f},  {1, 1, 0.5f},
              {-0.1f, -0.2f, 0.5f}, {0, 0.09f, 0},        {0, 0.11f, 0.11f}, {0, 0.44f, 0.44f}, {0, 0.46f, 0.5f},
              {0, 0.54f, 0.5f},  {0, 0.56f, 0.56f},    {0, 0.94f, 0.94f}, {0, 0.96f, 1}};
  for (const Row& r : rows) {
    script_mirror.zuvadud_D738_flt_ctrls_landgear_off = r.off;
    script_mirror.zuvadud_D738_flt_ctrls_landgear = r.input;
    update_joystick_axes();
    EXPECT_FLOAT_EQ(controls::gear_handle_down, r.handle) << r.off << " " << r.input;
  }
}

TEST_F(Steering, AutomaticSpeedBrakeLimits) {
  delay_timers = DelayTimerBank{};
  delay_flags = DelayTimerFlags{};
  lever_commands = LeverCommands{};
  autobrake::autobrake_RTO_arm = 0.0f;
  autobrake::autobrake_pos = 1.0f;
  host_mirror.sim_cockpit2_engine_actuators_prop_mode[0] = host_mirror.sim_cockpit2_engine_actuators_prop_mode[1] = 1;
  engine::thrust1_leveler = engine::thrust2_leveler = 0.0f;
  auto deployed = [] { return flt_ctrls::speedbrake_lever_anim == 1.0f && speedbrake_lever_anim_target == 1.0f; };
  // Landing: armed above 100 ft, deployed at touchdown above 60 kt with the
  // lever armed and the thrust levers idle.
  // The lever comes up at the first main gear, the left one alone too.
  struct Landing {
    float arm_ft, kt, lever, thrust;
    bool deploy;
    int32_t right_main = 1;
  } landings[] = {{100, 130, 0.0889f, 0, false}, {101, 130, 0.0889f, 0, true},   {150, 59, 0.0889f, 0, false},
                  {150, 61, 0.0889f, 0, true},   {150, 61, 0.04f, 0, false},     {150, 61, 0.041f, 0, true},
                  {150, 61, 0.0889f, 0.051f, false}, {150, 61, 0.0889f, 0.05f, true},
                  {150, 130, 0.0889f, 0, true, 0}};
  for (const Landing& r : landings) {
    on_ground = gear3_on_ground = 0;
    engine::thrust1_leveler = 0.0f;
    host_mirror.sim_cockpit2_gauges_indicators_radio_altimeter_height_ft_pilot = r.arm_ft;
    update_speedbrake();
    flt_ctrls::speedbrake_lever_anim = 0.0f;
    speedbrake_lever_anim_target = 0.0f;
    host_mirror.sim_cockpit2_gauges_indicators_radio_altimeter_height_ft_pilot = 0.0f;
    on_ground = 1;
    gear3_on_ground = r.right_main;
    host_mirror.sim_flightmodel_position_groundspeed = r.kt / 1.94384f;
    flt_ctrls::speedbrake_lever = r.lever;
    engine::thrust1_leveler = r.thrust;
    update_speedbrake();
    EXPECT_EQ(deployed(), r.deploy) << r.arm_ft << " ft " << r.kt << " kt lever " << r.lever << " thrust " << r.thrust;
  }
  // Rejected take-off: above 60 kt, lever DOWN or ARMED, a reverser out.
  engine::thrust1_leveler = 0.0f;
  autobrake::autobrake_RTO_arm = 2.0f;
  struct Rto {
    float kt, lever;
    int prop_mode;
    bool deploy;
  } rtos[] = {{61, 0.04f, 3, true},    {59, 0.04f, 3, false}, {61, 0.041f, 3, true},
              {61, 0.0889f, 3, true},  {61, 0.15f, 3, false}, {61, 0.04f, 1, false}};
  for (const Rto& r : rtos) {
    // Each from a standstill: a new take-off roll.
    host_mirror.sim_flightmodel_position_groundspeed = 0.0f;
    host_mirror.sim_cockpit2_engine_actuators_prop_mode[0] = 1;
    update_speedbrake();
    flt_ctrls::speedbrake_lever_anim = 0.0f;
    speedbrake_lever_anim_target = 0.0f;
    host_mirror.sim_flightmodel_position_groundspeed = r.kt / 1.94384f;
    flt_ctrls::speedbrake_lever = r.lever;
    host_mirror.sim_cockpit2_engine_actuators_prop_mode[0] = r.prop_mode;
    update_speedbrake();
    EXPECT_EQ(deployed(), r.deploy) << r.kt << " kt lever " << r.lever << " mode " << r.prop_mode;
  }
  autobrake::autobrake_RTO_arm = 0.0f;
}

}  // namespace
