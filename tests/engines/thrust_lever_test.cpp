// Thrust levers, autothrottle servo, N1 set knob and the speed-mode throttle
// law: worked values, lock release, fine trim, retard and reverse travel.
#include <cmath>

#include "engine_fixture.h"
#include "engines/thrust_levers.h"
#include "engines/thrust_tables.h"
#include "systems/electrical/electric_values.h"
#include "systems/flight_controls/flight_control_values.h"
#include "systems/instruments/instrument_values.h"
#include "systems/switches/switch_values.h"

namespace {

class Levers : public EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    cockpit::throttle_override = 0.0f;
    autopilot::lock_throttle = 0.0f;
    autopilot::at_throttle_override[0] = autopilot::at_throttle_override[1] = 0.0f;
    axis::throttle1 = axis::throttle2 = 0.0f;
    reset_thrust_lever_state();
  }
  static float& deploy(int e) { return host_mirror.sim_flightmodel2_engines_thrust_reverser_deploy_ratio[e]; }
  static float lever_of(int e, float servo) { return throttle_to_n1_fraction(servo, engine::idle_mode[e], 1, e); }
  static float servo_of(int e, float lever) { return throttle_to_n1_target(lever, engine::idle_mode[e], 1, e); }
};

using N1Set = Levers;

TEST_F(N1Set, KnobPositionsSetBugsDigitsAndLimitPair) {
  struct Case {
    const char* name;
    float knob, mode, dep1, dep2, full_n1, n1_num;
    float bug1, bug2, dig1, dig2, w1, w2, man, assumed;
  } cases[] = {
      {"both", 1, 0, 0, 0, 1, 1, 0.95f, 0.95f, 1, 1, 0.95f, 0.95f, 1, 7},
      {"both, eng2 deployed", 1, 0, 0, 0.5f, 1, 1, 0.95f, 0.984f, 1, 0, 0.95f, 0.91f, 1, 7},
      {"eng1 only", -1, 0, 0, 0, 1, 1, 0.95f, 0.984f, 1, 1, 0.95f, 0.984f, 1, 7},
      {"eng2 only, eng1 deployed", -2, 0, 0.02f, 0, 1, 1, 0.984f, 0.95f, 0, 1, 0.90f, 0.95f, 1, 7},
      {"auto, mode 13", 0, 13, 0, 0, 1, 1, 0.984f, 0.984f, -1, -1, 1.0f, 1.0f, 0, 0},
      {"auto, mode 0", 0, 0, 0, 0, 1, 1, 0.984f, 0.984f, -1, -1, 1.0f, 1.0f, 0, 0},
      {"auto, assumed temperature", 0, 5, 0, 0, 1, 1, 0.90f, 0.91f, 1, 1, 0.90f, 0.91f, 0, 1},
      {"auto, full N1 shown", 0, 2, 0, 0, 0, 0, 0.97f, 0.98f, 0, 0, 0.90f, 0.91f, 0, 0},
      {"auto, negative mode", 0, -1, 0, 0, 1, 1, 0.984f, 0.984f, 7, 7, 0.90f, 0.91f, 0, 7},
      {"auto, reverser out", 0, 4, 0.02f, 0, 1, 1, 0.984f, 0.984f, 0, 0, 0.90f, 0.91f, 0, 1},
      {"auto, mode 3", 0, 3, 0, 0, 1, 1, 0.90f, 0.91f, 1, 1, 0.90f, 0.91f, 0, 0},
      {"auto, mode 7", 0, 7, 0, 0, 1, 1, 0.90f, 0.91f, 1, 1, 0.90f, 0.91f, 0, 0},
      {"both, eng1 at 0.01 still stowed", 1, 0, 0.01f, 0, 1, 1, 0.95f, 0.95f, 1, 1, 0.95f, 0.95f, 1, 7},
      {"unknown knob", 3, 13, 0, 0, 1, 1, 0.984f, 0.984f, 7, 7, 0.90f, 0.91f, 7, 7},
  };
  electric::dc_stdbus_status = 1.0f;  // the captain's display units
  for (const Case& c : cases) {
    toggle_switch::n1_set_source = c.knob;
    reset_thrust_lever_state();
    script_mirror.zuvadud_D738_FMS_N1_mode_thrust[0] = 0.90f;
    script_mirror.zuvadud_D738_FMS_N1_mode_thrust[1] = 0.91f;
    script_mirror.zuvadud_D738_FMS_N1_mode_full_thrust[0] = 0.97f;
    script_mirror.zuvadud_D738_FMS_N1_mode_full_thrust[1] = 0.98f;
    script_mirror.zuvadud_D738_FMS_N1_mode = c.mode;
    script_mirror.zuvadud_D738_eicas_full_n1 = c.full_n1;
    script_mirror.zuvadud_D738_eicas_n1_num = c.n1_num;
    toggle_switch::n1_set_adjust = 0.95f;
    deploy(0) = c.dep1;
    deploy(1) = c.dep2;
    engine::eng1_N1_bug_dig = engine::eng2_N1_bug_dig = 7.0f;
    engine::N1_mode_man = 7.0f;
    eicas::assum_temp_show = 7.0f;
    update_n1_set();
    EXPECT_FLOAT_EQ(engine::eng1_N1_bug, c.bug1) << c.name;
    EXPECT_FLOAT_EQ(engine::eng2_N1_bug, c.bug2) << c.name;
    EXPECT_EQ(engine::eng1_N1_bug_dig, c.dig1) << c.name;
    EXPECT_EQ(engine::eng2_N1_bug_dig, c.dig2) << c.name;
    EXPECT_FLOAT_EQ(script_mirror.zuvadud_D738_FMS_N1_mode_thrust[0], c.w1) << c.name;
    EXPECT_FLOAT_EQ(script_mirror.zuvadud_D738_FMS_N1_mode_thrust[1], c.w2) << c.name;
    EXPECT_EQ(engine::N1_mode_man, c.man) << c.name;
    EXPECT_EQ(eicas::assum_temp_show, c.assumed) << c.name;
  }
  // A deployed reverser keeps that engine's remembered manual value.
  EXPECT_FLOAT_EQ(thrust_lever_state.manual_n1[0], 0.984f);
}

TEST_F(N1Set, CommandFlagRaisedFromOnePercentDeploy) {
  struct Case {
    float deploy, flag;
  } cases[] = {{0.0f, 0}, {0.005f, 0}, {0.01f, 1}, {0.5f, 1}, {1.0f, 1}};
  for (const Case& c : cases) {
    deploy(0) = deploy(1) = c.deploy;
    update_n1_set();
    EXPECT_EQ(engine::eng1_N1_cmd[0], c.flag) << c.deploy;
    EXPECT_EQ(engine::eng1_N1_cmd[1], c.flag) << c.deploy;
  }
}

using Lock = Levers;

TEST_F(Lock, ReleasedOnlyByMovementBeyondTheNoise) {
  struct Case {
    const char* name;
    float noise, cfy, axis1, ratio1, ratio2, ratio_all;
    float lock;
  } cases[] = {
      {"axis within noise", 5, 0, 0.54f, 0.3f, 0.3f, 0.3f, 1},
      {"axis beyond noise", 5, 0, 0.56f, 0.3f, 0.3f, 0.3f, 0},
      {"host lever moved, noise set", 5, 0, 0.5f, 0.32f, 0.3f, 0.3f, 1},
      {"host lever moved, no noise", 0, 0, 0.5f, 0.301f, 0.3f, 0.3f, 0},
      {"ratio_all moved, levers together", 0, 0, 0.5f, 0.3f, 0.3f, 0.31f, 0},
      {"ratio_all moved, levers apart", 0, 0, 0.5f, 0.3f, 0.4f, 0.31f, 1},
      {"nothing moved", 0, 0, 0.5f, 0.3f, 0.3f, 0.3f, 1},
      {"hardware quadrant", 0, 1, 0.5f, 0.3f, 0.3f, 0.3f, 0},
  };
  for (const Case& c : cases) {
    ThrustLeverState& t = thrust_lever_state;
    t.remembered_axis[0] = t.remembered_axis[1] = 0.5f;
    t.last_input[0] = 0.3f;
    t.last_input[1] = c.ratio2;
    t.last_ratio_all = 0.3f;
    t.speed_mode_checked = 0.0f;
    axis::throttle1 = c.axis1;
    axis::throttle2 = 0.5f;
    host_mirror.sim_cockpit2_engine_actuators_throttle_ratio[0] = c.ratio1;
    host_mirror.sim_cockpit2_engine_actuators_throttle_ratio[1] = c.ratio2;
    host_mirror.sim_cockpit2_engine_actuators_throttle_ratio_all = c.ratio_all;
    script_mirror.zuvadud_D738_fms_throttle_noise = c.noise;
    script_mirror.zuvadud_D738_cfy_enable = c.cfy;
    script_mirror.zuvadud_D738_fms_lock_thrust = 0.0f;
    script_mirror.zuvadud_D738_autopilot_speed_mode2 = 0.0f;
    autopilot::lock_throttle = 1.0f;
    update_thrust_levers();
    EXPECT_EQ(autopilot::lock_throttle, c.lock) << c.name;
  }
}

TEST_F(Lock, OverrideFreezesEverything) {
  cockpit::throttle_override = 1.0f;
  thrust_lever_state.servo[0] = 0.4f;
  engine::thrust1_leveler = 0.3f;
  script_mirror.zuvadud_D738_autopilot_speed_mode2 = 4.0f;
  host_mirror.sim_cockpit2_engine_actuators_throttle_ratio[0] = 0.9f;
  update_thrust_levers();
  EXPECT_EQ(thrust_lever_state.servo[0], 0.4f);
  EXPECT_EQ(engine::thrust1_leveler, 0.3f);
  EXPECT_EQ(autopilot::lock_throttle, 0.0f);
}

using Servo = Levers;

// Sleeves moving after the crew's reverse zero the forward lever; sleeves
// out without a reverse command (an uncommanded deployment driven home) give
// idle while they move, the crew's lever left where it is.
TEST_F(Servo, ManualModeForwardLeverWhileTheSleevesMove) {
  struct Case {
    float deploy;
    uint8_t after_reverse;
    float lever, servo_lever;
  } cases[] = {{0.0f, 1, 0.5f, 0.5f},  {0.009f, 1, 0.5f, 0.5f}, {0.01f, 1, 0.0f, 0.0f}, {0.3f, 1, 0.0f, 0.0f},
               {0.009f, 0, 0.5f, 0.5f}, {0.01f, 0, 0.5f, 0.0f},  {0.3f, 0, 0.5f, 0.0f}};
  for (const Case& c : cases) {
    reset_thrust_lever_state();
    thrust_lever_state.reverse_sleeves[0] = c.after_reverse;
    deploy(0) = c.deploy;
    host_mirror.sim_cockpit2_engine_actuators_throttle_ratio[0] = 0.5f;
    update_thrust_levers();
    EXPECT_FLOAT_EQ(engine::thrust1_leveler, c.lever) << c.deploy << " " << int(c.after_reverse);
    EXPECT_NEAR(thrust_lever_state.servo[0], servo_of(0, c.servo_lever), 1e-6f) << c.deploy << " " << int(c.after_reverse);
  }
}

// N1 hold: tracks the limit until N1 has stayed within 0.6 % of the bug for
// more than 6 s, then only the lever creeps by 0.0006 per second.
TEST_F(Servo, N1HoldSettlesAfterSixSecondsThenFineTrims) {
  frame_time = 0.25f;
  script_mirror.zuvadud_D738_autopilot_speed_mode2 = 3.0f;
  script_mirror.zuvadud_D738_fms_lock_thrust = 1.0f;
  engine::eng1_N1_bug = engine::eng2_N1_bug = 0.9f;
  engine::eng1_N1_lim = engine::eng2_N1_lim = 0.8f;
  float* n1 = host_mirror.sim_flightmodel2_engines_N1_percent;
  n1[0] = n1[1] = 89.7f;
  thrust_lever_state.servo[0] = thrust_lever_state.servo[1] = 0.6f;
  update_thrust_levers();
  EXPECT_NEAR(thrust_lever_state.servo[0], 0.6f + 0.25f * 0.7f * 0.2f, 1e-6f);  // lag at 0.7/s
  EXPECT_EQ(autopilot::lock_throttle, 1.0f);
  // 0.6 % or more off the bug restarts the clock.
  for (int i = 0; i < 11; ++i) update_thrust_levers();
  n1[0] = n1[1] = 89.3f;
  update_thrust_levers();
  EXPECT_EQ(thrust_lever_state.settle_timer_s[0], 0.0f);
  n1[0] = n1[1] = 90.5f;
  for (int i = 0; i < 24; ++i) update_thrust_levers();  // exactly 6 s
  EXPECT_EQ(thrust_lever_state.settled[0], 0);
  update_thrust_levers();
  EXPECT_EQ(thrust_lever_state.settled[0], 1);
  // Settled: the limit no longer drives the servo; N1 above the bug creeps down.
  engine::eng1_N1_lim = 1.0f;
  const float lever0 = engine::thrust1_leveler;
  for (int i = 0; i < 40; ++i) update_thrust_levers();  // 10 s
  EXPECT_NEAR(engine::thrust1_leveler, lever0 - 0.006f, 1e-5f);
  EXPECT_NEAR(thrust_lever_state.servo[0], servo_of(0, engine::thrust1_leveler), 1e-6f);
  // Within 0.02 % the lever rests.
  n1[0] = 90.01f;
  const float lever1 = engine::thrust1_leveler;
  update_thrust_levers();
  EXPECT_EQ(engine::thrust1_leveler, lever1);
  // Leaving the band unsettles, and the servo tracks the limit again.
  n1[0] = 89.3f;
  update_thrust_levers();
  EXPECT_EQ(thrust_lever_state.settled[0], 0);
  const float s = thrust_lever_state.servo[0];
  update_thrust_levers();
  EXPECT_NEAR(thrust_lever_state.servo[0], s + 0.25f * 0.7f * (1.0f - s), 1e-6f);
  // A speed mode drops the fine-trim state.
  script_mirror.zuvadud_D738_autopilot_speed_mode2 = 0.0f;
  update_thrust_levers();
  EXPECT_EQ(thrust_lever_state.settle_timer_s[0], 0.0f);
}

TEST_F(Servo, HoldRatesAndGoAroundLimits) {
  struct Case {
    float mode, ga, rate, target;
  } cases[] = {{3, 0, 0.7f, 0.8f}, {4, 0, 0.8f, 0.8f}, {4, 1, 0.8f, 1.0f}, {8, 1, 0.8f, 1.0f}, {3, 1, 0.7f, 0.8f}};
  for (const Case& c : cases) {
    reset_thrust_lever_state();
    frame_time = 0.1f;
    engine::eng1_N1_lim = engine::eng2_N1_lim = 0.8f;
    engine::eng1_N1_lim2 = engine::eng2_N1_lim2 = 1.0f;
    script_mirror.zuvadud_D738_autopilot_ap_goaround = c.ga;
    script_mirror.zuvadud_D738_autopilot_speed_mode2 = c.mode;
    thrust_lever_state.servo[0] = 0.6f;
    update_thrust_levers();
    EXPECT_NEAR(thrust_lever_state.servo[0], 0.6f + 0.1f * c.rate * (c.target - 0.6f), 1e-6f) << c.mode;
    EXPECT_NEAR(engine::thrust1_leveler, lever_of(0, thrust_lever_state.servo[0]), 1e-6f) << c.mode;
  }
}

// Speed mode: each engine's servo stops at its own N1 limit, and the speed
// law at the higher one; a limit not worked out yet caps nothing.
TEST_F(Servo, SpeedModeStopsAtEachEnginesN1Limit) {
  frame_time = 0.1f;
  host_mirror.sim_flightmodel_engine_ENGN_thro_use[0] = host_mirror.sim_flightmodel_engine_ENGN_thro_use[1] = 0.95f;
  engine::eng1_N1_lim = 0.8f;
  engine::eng2_N1_lim = 0.7f;
  script_mirror.zuvadud_D738_autopilot_speed_mode2 = 2.0f;
  float* servo = thrust_lever_state.servo;
  servo[0] = servo[1] = 0.6f;
  update_thrust_levers();  // entry: the law asks for 0.95
  EXPECT_NEAR(servo[0], 0.6f + 0.1f * 0.5f * (0.8f - 0.6f), 1e-6f);
  EXPECT_NEAR(servo[1], 0.6f + 0.1f * 0.5f * (0.7f - 0.6f), 1e-6f);
  EXPECT_EQ(autothrottle_speed_state.upper, 0.8f);
  engine::eng2_N1_lim = 0.0f;
  servo[1] = 0.6f;
  update_thrust_levers();
  EXPECT_NEAR(servo[1], 0.6f + 0.1f * 0.5f * (0.95f - 0.6f), 1e-6f);
}

TEST_F(Servo, RetardRates) {
  struct Case {
    const char* name;
    float autoland, trg;
    int ground;
    float start, lim, after;  // servo after one 0.5 s frame
  } cases[] = {
      {"autoland idle", 1, 0, 0, 0.5f, 0.8f, 0.5f - 0.11f},
      {"autoland thrust", 1, 1, 0, 0.5f, 0.8f, 0.5f},
      {"idle", 0, 0, 0, 0.5f, 0.8f, 0.5f - 0.025f},
      {"ground", 0, 1, 1, 0.5f, 0.8f, 0.5f + 0.5f * 0.7f * 0.3f},
      {"air up", 0, 1, 0, 0.5f, 0.8f, 0.53f},
      {"air down", 0, 1, 0, 0.5f, 0.4f, 0.47f},
      {"air no overshoot", 0, 1, 0, 0.5f, 0.51f, 0.51f},
  };
  for (const Case& c : cases) {
    reset_thrust_lever_state();
    frame_time = 0.5f;
    on_ground = c.ground;
    script_mirror.zuvadud_D738_autopilot_speed_mode2 = 6.0f;
    script_mirror.zuvadud_D738_autopilot_autoland_status = c.autoland;
    script_mirror.zuvadud_autopilot_eng1_N1_thrust_trg = c.trg;
    engine::eng1_N1_lim = c.lim;
    thrust_lever_state.servo[0] = c.start;
    update_thrust_levers();
    EXPECT_NEAR(thrust_lever_state.servo[0], c.after, 1e-6f) << c.name;
    EXPECT_NEAR(engine::thrust1_leveler, lever_of(0, c.after), 1e-6f) << c.name;
  }
  // Idle is the floor.
  script_mirror.zuvadud_autopilot_eng1_N1_thrust_trg = 0.0f;
  script_mirror.zuvadud_D738_autopilot_autoland_status = 0.0f;
  thrust_lever_state.servo[0] = thrust_tables.idle_throttle[0] + 0.001f;
  update_thrust_levers();
  EXPECT_FLOAT_EQ(thrust_lever_state.servo[0], thrust_tables.idle_throttle[0]);
}

// In the air the retard servo steps toward the limit until settled; the lever
// it leaves must match the servo so fine trim starts without a jump.
TEST_F(Servo, RetardSettlesWithTheLeverWhereTheServoIs) {
  frame_time = 0.25f;
  on_ground = 0;
  script_mirror.zuvadud_D738_autopilot_speed_mode2 = 7.0f;
  script_mirror.zuvadud_D738_fms_lock_thrust = 1.0f;
  script_mirror.zuvadud_autopilot_eng1_N1_thrust_trg = 1.0f;
  engine::eng1_N1_bug = 0.9f;
  engine::eng1_N1_lim = 1.0f;
  host_mirror.sim_flightmodel2_engines_N1_percent[0] = 90.1f;
  thrust_lever_state.servo[0] = 0.5f;
  for (int i = 0; i < 25; ++i) update_thrust_levers();
  ASSERT_EQ(thrust_lever_state.settled[0], 1);
  EXPECT_NEAR(thrust_lever_state.servo[0], 0.5f + 25 * 0.015f, 1e-5f);
  EXPECT_NEAR(engine::thrust1_leveler, lever_of(0, thrust_lever_state.servo[0]), 1e-6f);
  const float lever = engine::thrust1_leveler;
  update_thrust_levers();
  EXPECT_NEAR(engine::thrust1_leveler, lever - 0.00015f, 1e-6f);
  EXPECT_NEAR(thrust_lever_state.servo[0], servo_of(0, engine::thrust1_leveler), 1e-6f);
}

TEST_F(Servo, ReverseDeploysWaitsAndStows) {
  frame_time = 0.5f;
  ThrustLeverState& t = thrust_lever_state;
  const float idle = thrust_tables.idle_throttle[0];
  const float rmax = thrust_tables.reverse_max;
  ASSERT_FLOAT_EQ(rmax, 0.69f);
  t.reverser_engaged[0] = t.reverser_held[0] = 1.0f;
  host_mirror.sim_cockpit2_engine_actuators_prop_mode[0] = 3;
  engine::thrust1_leveler = 0.2f;
  t.servo[0] = idle;
  deploy(0) = 0.9f;
  update_thrust_levers();
  EXPECT_EQ(t.servo[0], idle);  // waits for the doors
  EXPECT_EQ(host_mirror.sim_cockpit2_engine_actuators_throttle_ratio[0], 0.0f);
  EXPECT_EQ(engine::thrust1_leveler, 0.0f);
  deploy(0) = 0.95f;
  update_thrust_levers();
  const float s = idle + 0.5f * 1.5f * (rmax - idle);
  EXPECT_NEAR(t.servo[0], s, 1e-6f);
  const float rev = throttle_to_n1_fraction(s, engine::idle_mode[0], 3, 0);
  EXPECT_NEAR(flt_ctrls::reverse_lever1, rev, 1e-6f);
  const float host = std::fmin(std::fmax((rev - 0.06f) / 0.94f, 0.0f), 1.0f);
  EXPECT_NEAR(simhost::get_floats("sim/cockpit2/engine/actuators/throttle_ratio")[0], host, 1e-6f);
  // Released: back toward 0, then idle, forward thrust and the lever cleared.
  t.reverser_held[0] = 0.0f;
  for (int i = 0; i < 40 && t.reverser_engaged[0] != 0.0f; ++i) update_thrust_levers();
  EXPECT_EQ(t.reverser_engaged[0], 0.0f);
  EXPECT_EQ(t.servo[0], idle);
  EXPECT_EQ(flt_ctrls::reverse_lever1, 0.0f);
  EXPECT_EQ(simhost::get_ints("sim/cockpit2/engine/actuators/prop_mode")[0], 1);
  EXPECT_EQ(host_mirror.sim_cockpit2_engine_actuators_throttle_ratio[0], 0.0f);
}

// An overridden lever stays where the pilot put it in every servo mode and
// the host throttle follows it; the other engine stays on the servo.
TEST_F(Servo, OverriddenLeverIsNotDriven) {
  const float modes[] = {2, 3, 4, 6};
  for (float mode : modes) {
    reset_thrust_lever_state();
    frame_time = 0.25f;
    on_ground = 1;
    script_mirror.zuvadud_D738_autopilot_speed_mode2 = mode;
    script_mirror.zuvadud_D738_fms_lock_thrust = 1.0f;
    script_mirror.zuvadud_autopilot_eng1_N1_thrust_trg = script_mirror.zuvadud_autopilot_eng2_N1_thrust_trg = 1.0f;
    engine::eng1_N1_lim = engine::eng2_N1_lim = 0.9f;
    autopilot::at_throttle_override[0] = 1.0f;
    engine::thrust1_leveler = engine::thrust2_leveler = 0.3f;
    thrust_lever_state.servo[0] = thrust_lever_state.servo[1] = servo_of(0, 0.3f);
    for (int i = 0; i < 8; ++i) update_thrust_levers();
    EXPECT_FLOAT_EQ(engine::thrust1_leveler, 0.3f) << mode;
    EXPECT_NEAR(thrust_lever_state.servo[0], servo_of(0, 0.3f), 1e-6f) << mode;
    EXPECT_FLOAT_EQ(simhost::get_floats("sim/cockpit2/engine/actuators/throttle_ratio")[0], 0.3f) << mode;
    EXPECT_GT(std::fabs(engine::thrust2_leveler - 0.3f), 0.01f) << mode;  // still on the servo
  }
}

// With one reverser engaged the other engine runs the reverse law too: its
// servo falls to idle and its host throttle with it, its lever stays.
TEST_F(Servo, ReverseOnOneSideBringsTheOtherToIdle) {
  frame_time = 0.5f;
  ThrustLeverState& t = thrust_lever_state;
  t.reverser_engaged[0] = t.reverser_held[0] = 1.0f;
  host_mirror.sim_cockpit2_engine_actuators_prop_mode[0] = 3;
  t.servo[0] = thrust_tables.idle_throttle[0];
  deploy(0) = 1.0f;
  engine::thrust2_leveler = 0.5f;
  t.servo[1] = servo_of(1, 0.5f);
  for (int i = 0; i < 8; ++i) update_thrust_levers();
  EXPECT_EQ(t.servo[1], thrust_tables.idle_throttle[1]);
  EXPECT_EQ(simhost::get_floats("sim/cockpit2/engine/actuators/throttle_ratio")[1], 0.0f);
  EXPECT_EQ(engine::thrust2_leveler, 0.5f);
  EXPECT_EQ(t.reverser_engaged[1], 0.0f);
  EXPECT_GT(flt_ctrls::reverse_lever1, 0.5f);
}

TEST_F(Servo, StatusFlags) {
  struct Case {
    float cfy, hold, mode, hw, servo_status, at_status, show;
  } cases[] = {{2, 0, 2, 0, 1, 0, 0}, {2, 1, 2, 1, 0, 0, 1}, {2, 0, 0, 0, 0, 0, 0},
               {1, 0, 4, 0, 0, 1, 0}, {1, 1, 4, 0, 0, 0, 0}, {0, 0, 4, 3, 0, 0, 1}};
  for (const Case& c : cases) {
    reset_thrust_lever_state();
    script_mirror.zuvadud_D738_cfy_enable = c.cfy;
    script_mirror.zuvadud_autopilot_at_throttle_hold = c.hold;
    script_mirror.zuvadud_D738_autopilot_speed_mode2 = c.mode;
    script_mirror.zuvadud_D738_effects_hardware_thr_lever = c.hw;
    update_thrust_levers();
    EXPECT_EQ(flt_ctrls::throttle_servo_status, c.servo_status) << c.cfy << " " << c.mode;
    EXPECT_EQ(autopilot::autothrottle_status, c.at_status) << c.cfy << " " << c.mode;
    EXPECT_EQ(engine::thr_lvr1_show, c.show);
    EXPECT_EQ(engine::thr_lvr2_show, c.show);
    if (c.servo_status != 0.0f) {
      EXPECT_EQ(flt_ctrls::throttle_target[0], engine::thrust1_leveler);
    }
    EXPECT_FLOAT_EQ(engine::thrust12_leveler, (engine::thrust1_leveler + engine::thrust2_leveler) * 0.5f);
  }
}

// Speed law: one step from entering a speed mode with the throttle at 0.5.
class SpeedLaw : public Levers {
 protected:
  void enter(float v, float sel, float a, float min_speed, float n1, float p_term) {
    HostMirror& h = host_mirror;
    h.sim_cockpit2_gauges_indicators_airspeed_kts_pilot = v;
    h.sim_cockpit2_gauges_indicators_airspeed_acceleration_kts_sec_pilot = a;
    h.sim_flightmodel2_engines_N1_percent[0] = h.sim_flightmodel2_engines_N1_percent[1] = n1;
    script_mirror.zuvadud_D738_autopilot_mcp_speed_dial_kts = sel;
    script_mirror.zuvadud_D738_pfd_min_speed = min_speed;
    script_mirror.zuvadud_D738_autopilot_speed_mode2 = 2.0f;
    thrust_lever_state.speed_mode_prev = 0.0f;
    autothrottle_speed_state.last_p_term = p_term;
  }
};

TEST_F(SpeedLaw, OneStepWorkedValues) {
  struct Case {
    const char* name;
    float v, sel, a, min_speed, dt, p_term;
    float integral, out;
  } cases[] = {
      // 2 kt slow, steady: band 5.6, kP 0.0122, kI 0.00427/s, slow rate.
      {"near, steady", 250, 252, 0, 0, 1, 1, 0.50854f, 0.53294f},
      {"near, fast selected", 343, 345, 0, 0, 1, 1, 0.50872f, 0.53312f},
      // Predicted 260.4: error -8.4, band widened to 10 while running away.
      {"near, accelerating away", 250, 252, 1.0f, 0, 1, -1, 0.458f, 0.35552f},
      {"near, integral catches up", 250, 252, 1.0f, 0, 1, 1, 0.35552f, 0.35552f},
      // 30 kt slow, decelerating: band 10, kP 0.0154.
      {"far, slowing", 250, 280, -1.0f, 0, 1, 1, 0.55f, 0.704f},
      {"far, slowing hard", 250, 280, -2.0f, 0, 1, 1, 0.56f, 0.7616f},
      // Closing at 2 kt/s: band halved to 2.8.
      {"far, closing", 250, 280, 2.0f, 0, 1, 1, 0.514f, 0.5532f},
      {"far, half-second step", 100, 150, 0, 0, 0.5f, 1, 0.52f, 0.632f},
      // Below minimum speed: band 16, kP 0.028, kI 0.01 whatever the step.
      {"below minimum", 100, 150, 0, 120, 0.5f, 1, 0.66f, 1.0f},
      {"overspeed", 200, 150, 0, 0, 1, -1, 0.0f, 0.0f},
  };
  for (const Case& c : cases) {
    reset_thrust_lever_state();
    frame_time = c.dt;
    host_mirror.sim_flightmodel_engine_ENGN_thro_use[0] = host_mirror.sim_flightmodel_engine_ENGN_thro_use[1] =
        c.name[0] == 'o' ? 0.05f : 0.5f;
    enter(c.v, c.sel, c.a, c.min_speed, 30.0f, c.p_term);
    const float out = autothrottle_speed_target();
    EXPECT_NEAR(out, c.out, 1e-5f) << c.name;
    EXPECT_NEAR(autothrottle_speed_state.integral, c.name[0] == 'o' ? 0.01f : c.integral, 1e-5f) << c.name;
    EXPECT_GE(out, 0.0f);
    EXPECT_LE(out, 1.0f);
  }
}

// Rate limit 0.3 per second scaled by the N1 factor (1.15 below 40 %, 0.75
// from 100 %), or 0.9 per second below minimum speed.
TEST_F(SpeedLaw, RateLimitAndN1Factor) {
  struct Case {
    float n1, min_speed, rate;
  } cases[] = {{30, 0, 0.3f * 1.15f}, {40, 0, 0.3f * 1.15f}, {70, 0, 0.3f * 0.95f},
               {100, 0, 0.3f * 0.75f}, {110, 0, 0.3f * 0.75f}, {30, 120, 0.9f * 1.15f}};
  for (const Case& c : cases) {
    reset_thrust_lever_state();
    frame_time = 0.05f;
    host_mirror.sim_flightmodel_engine_ENGN_thro_use[0] = 0.5f;
    host_mirror.sim_flightmodel_engine_ENGN_thro_use[1] = 0.5f;
    enter(100, 150, 0, c.min_speed, c.n1, 1);
    EXPECT_EQ(autothrottle_speed_target(), 0.5f);
    thrust_lever_state.speed_mode_prev = 2.0f;
    EXPECT_EQ(autothrottle_speed_target(), 0.5f);  // 0.1 s: still waiting
    EXPECT_NEAR(autothrottle_speed_target(), 0.5f + 0.05f * c.rate, 1e-5f) << c.n1 << " " << c.min_speed;
  }
}

TEST_F(SpeedLaw, EntryStartsFromTheLargerThrottleAndHoldsBetweenSteps) {
  frame_time = 0.03f;
  host_mirror.sim_flightmodel_engine_ENGN_thro_use[0] = 0.3f;
  host_mirror.sim_flightmodel_engine_ENGN_thro_use[1] = 0.7f;
  enter(250, 250, 0, 0, 60, 0);
  EXPECT_EQ(autothrottle_speed_target(), 0.7f);
  EXPECT_EQ(autothrottle_speed_state.integral, 0.7f);
  thrust_lever_state.speed_mode_prev = 2.0f;
  host_mirror.sim_cockpit2_gauges_indicators_airspeed_kts_pilot = 200.0f;
  EXPECT_EQ(autothrottle_speed_target(), 0.7f);
  EXPECT_EQ(autothrottle_speed_target(), 0.7f);
  EXPECT_NE(autothrottle_speed_target(), 0.7f);  // 0.12 s: a step runs
  EXPECT_EQ(autothrottle_speed_state.step_timer_s, 0.0f);
  // The first officer's side reads the first officer's airspeed.
  script_mirror.zuvadud_autopilot_ap_side = 1.0f;
  host_mirror.sim_cockpit2_gauges_indicators_airspeed_kts_copilot = 250.0f;
  script_mirror.zuvadud_D738_autopilot_speed_mode2 = 9.0f;
  const float entry = autothrottle_speed_target();
  EXPECT_EQ(entry, 0.7f);
  EXPECT_EQ(autothrottle_speed_state.last_predicted_kt, 250.0f);
}

}  // namespace
