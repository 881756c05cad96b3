// Autopilot servo laws against the simulated host (column servo, auto-trim,
// CWS hold, flare trim, yaw servo) and the controller step they share with
// the flight director.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "commands/registration.h"
#include "core/binding.h"
#include "core/frame_values.h"
#include "core/preprocess_values.h"
#include "core/variant.h"
#include "host.h"
#include "lnav/steering/controller.h"
#include "lnav/guidance_steps.h"
#include "lnav/steering/servo_laws.h"
#include "systems/electrical/electric_values.h"
#include "systems/switches/switch_values.h"
#include "withdraw_commands.h"

namespace {

// ---- controller step ----------------------------------------------------------

PidState record(float lo, float hi) { return PidState{lo, hi, 0.0f, 0.0f, 0.0f, 0.0f}; }

TEST(PidStep, ScaledFormStaysWithinTwoPointTwoTimesDt) {
  struct Case {
    float setpoint, measured, kp, ki, kd;
    int32_t mode;
  };
  const Case cases[] = {
      {1000.0f, 0.0f, 1.0f, 5.0f, 0.0f, 0},    {-1000.0f, 0.0f, 1.0f, 5.0f, 0.0f, 2},
      {0.5f, 0.0f, 0.01f, 50.0f, 0.2f, 3},     {-20.0f, 0.0f, 0.05f, 100.0f, 1.0f, 4},
      {3.0f, 3.1f, 0.001f, 1000.0f, 0.0f, 5},
  };
  for (const Case& c : cases) {
    PidState s = record(-15.0f, 15.0f);
    for (int i = 0; i < 50; ++i) {
      const float out = pid_step(s, c.setpoint, c.measured, 0.1f, c.kp, c.ki, c.kd, 0, 0.0f, 0.0f, 10.0f, c.mode);
      ASSERT_LE(std::fabs(out), 0.22f + 1e-6f) << c.setpoint << " mode " << c.mode;
      ASSERT_LE(std::fabs(s.integral), 0.22f + 1e-6f);
    }
  }
  // Band 2 passes an error of 1000 to the proportional term; the integrator
  // sees at most 0.03 of it.
  PidState s = record(-15.0f, 15.0f);
  pid_step(s, 1000.0f, 0.0f, 0.1f, 0.002f, 2.0f, 0.0f, 0, 0.0f, 0.0f, 0.0f, 2);
  EXPECT_FLOAT_EQ(s.p_term, 2.0f);
  EXPECT_NEAR(s.integral, 0.03f * 2.0f * 0.1f, 1e-7f);
  pid_step(s, 100.0f, 0.0f, 0.1f, 1.0f, 0.0f, 0.0f, 0, 0.0f, 0.0f, 7.0f, 4);
  EXPECT_FLOAT_EQ(s.p_term, 7.0f);
}

TEST(PidStep, BoundedFormShapesTheError) {
  struct Case {
    float setpoint, measured;
    int32_t mode;
    float error;
  };
  const Case cases[] = {
      {350.0f, 10.0f, 1, -20.0f}, {10.0f, 350.0f, 1, 20.0f}, {180.0f, 0.0f, 1, 180.0f},
      {0.0f, 180.0f, 1, 180.0f},  {10.0f, 0.0f, 0, 3.0f},    {-10.0f, 0.0f, 0, -3.0f},
      {1.5f, 0.0f, 0, 1.5f},      {10.0f, 0.0f, 2, 10.0f},
      {-180.0f, 360.0f, 1, 180.0f},  // a turn and a half short still lands on +180
  };
  for (const Case& c : cases) {
    PidState s = record(-1000.0f, 1000.0f);
    pid_step(s, c.setpoint, c.measured, 0.1f, 2.0f, 0.0f, 0.0f, 0, 0.0f, 0.0f, c.mode);
    EXPECT_FLOAT_EQ(s.prev_error, c.error) << c.setpoint << " " << c.measured << " mode " << c.mode;
    EXPECT_FLOAT_EQ(s.p_term, 2.0f * c.error);
  }
}

TEST(PidStep, BoundedFormIntegratorHoldsAtTheLimitWhilePushedFurther) {
  PidState s = record(-1.0f, 1.0f);
  float out = 0.0f;
  for (int i = 0; i < 200; ++i) out = pid_step(s, 2.0f, 0.0f, 0.1f, 0.4f, 1.0f, 0.0f, 0, 0.0f, 0.0f, 0);
  EXPECT_FLOAT_EQ(out, 1.0f);
  const float held = s.integral;
  EXPECT_LT(held, 1.0f);  // the output reached the limit before the integrator
  pid_step(s, 2.0f, 0.0f, 0.1f, 0.4f, 1.0f, 0.0f, 0, 0.0f, 0.0f, 0);
  EXPECT_FLOAT_EQ(s.integral, held);
  // Reversing the error unwinds at once.
  pid_step(s, -2.0f, 0.0f, 0.1f, 0.4f, 1.0f, 0.0f, 0, 0.0f, 0.0f, 0);
  EXPECT_LT(s.integral, held);
}

TEST(PidStep, ResetRateLimitAndZeroStep) {
  PidState s = record(-1.0f, 1.0f);
  s.integral = 0.7f;
  s.prev_out = 0.9f;
  // Reset seeds integrator and output; the rate limit then holds the change.
  const float out = pid_step(s, 5.0f, 0.0f, 0.1f, 0.1f, 0.003f, 0.0f, 1, 0.0f, 0.38f, 1);
  EXPECT_NEAR(out, 0.038f, 1e-6f);
  EXPECT_NEAR(s.integral, 5.0f * 0.003f * 0.1f, 1e-7f);
  // ki x dt = 0 clears the integrator; dt = 0 gives no derivative term.
  s.integral = 0.5f;
  const float out0 = pid_step(s, 1.0f, 0.0f, 0.0f, 0.2f, 1.0f, 100.0f, 0, 0.0f, 0.0f, 0);
  EXPECT_FLOAT_EQ(s.integral, 0.0f);
  EXPECT_FLOAT_EQ(out0, 0.2f);
}

TEST(PidStep, NonFiniteInputsLeaveTheRecordFinite) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  PidState b = record(-1.0f, 1.0f);
  PidState sc = record(-15.0f, 15.0f);
  for (float x : {nan, std::numeric_limits<float>::infinity()}) {
    EXPECT_TRUE(std::isfinite(pid_step(b, x, 0.0f, 0.1f, 1.0f, 1.0f, 1.0f, 0, 0.0f, 0.38f, 1)));
    EXPECT_TRUE(std::isfinite(pid_step(b, 1.0f, x, x, x, x, x, 1, x, x, 0)));
    EXPECT_TRUE(std::isfinite(pid_step(sc, x, 0.0f, x, 1.0f, 1.0f, 1.0f, 1, x, 0.0f, x, 4)));
  }
  for (float v : {b.prev_error, b.integral, b.prev_out, sc.prev_error, sc.integral, sc.prev_out})
    EXPECT_TRUE(std::isfinite(v));
}

// ---- servo laws ----------------------------------------------------------------

const char* const kServoPitch = "zuvadud/D738/autopilot/servo_pitch";
const char* const kServoElev = "zuvadud/D738/autopilot/servo_pitch_elev";
const char* const kServoYaw = "zuvadud/D738/autopilot/servo_yaw";
const char* const kYoke = "sim/cockpit2/controls/yoke_pitch_ratio";
const char* const kYokeOld = "zuvadud/D738/yoke/pitch_ratio2_old";
const char* const kTrim = "sim/cockpit2/controls/elevator_trim";
const char* const kFdPitch = "sim/cockpit/autopilot/flight_director_pitch";

void unregister_all_commands() {
  withdraw_all_command_handlers();
}

int fdir_off_count() {
  int n = 0;
  for (const simhost::IssuedCommand& c : simhost::issued_commands())
    if (c.name == "sim/autopilot/servos_fdir_off" && c.once && c.phase == 0) ++n;
  return n;
}

class ServoLaws : public ::testing::Test {
 protected:
  void SetUp() override {
    unregister_all_commands();  // a case table may set up again before tearing down
    simhost::reset();
    for (XPLMDataRef& h : bound_handles) h = nullptr;
    bind_outside_datarefs();
    bind_host_datarefs();
    bind_script_datarefs();
    register_commands();
    simhost::clear_issued_commands();
    pitch_servo = PitchServoState{};
    yaw_servo = YawServoState{};
    set_controller_limits();
    host_version = 120000;
    on_ground = 0;
    toggle_switch::stab_trim_overide_pos = 0.0f;
    toggle_switch::el_trim_pos = toggle_switch::ap_trim_pos = 0.0f;
    electric::ac_tnsbus1_status = 1.0f;  // the trim motor's bus
    variant_index = 0;
    frame_time = 0.05f;
    // Cruise, servo engaged, no autoland, level attitude.
    mirror(bound::sim_cockpit2_gauges_indicators_radio_altimeter_height_ft_pilot, 2500.0f);
    mirror(bound::zuvadud_D738_autopilot_autoland_status, 0.0f);
    mirror(bound::zuvadud_D738_autopilot_rollout_status, 0.0f);
    mirror(bound::zuvadud_D738_autopilot_servo_override, 0.0f);
    mirror(bound::zuvadud_D738_autopilot_cws_p_status, 0.0f);
    mirror(bound::zuvadud_D738_autopilot_cws_status, 0.0f);
    mirror(bound::zuvadud_autopilot_ap_on, 1.0f);
    mirror(bound::zuvadud_autopilot_ap_side, 0.0f);
    mirror(bound::sim_cockpit2_controls_flap_handle_deploy_ratio, 0.0f);
    mirror(bound::sim_cockpit2_controls_elevator_trim, 0.0f);
    mirror(bound::sim_cockpit2_controls_yoke_pitch_ratio, 0.0f);
    pitch(2.0f);
  }
  void TearDown() override {
    unregister_all_commands();
    for (const std::string& p : simhost::problems()) ADD_FAILURE() << p;
    simhost::reset();
  }

  static void mirror(bound::Id id, float v) { set_mirror_f(id, v); }
  static void pitch(float deg) {
    mirror(bound::sim_cockpit2_gauges_indicators_pitch_AHARS_deg_pilot, deg);
    mirror(bound::sim_cockpit2_gauges_indicators_pitch_AHARS_deg_copilot, deg);
  }
  static void enable(float pitch_servo_on, float trim_servo_on, float yaw_servo_on) {
    simhost::set_float("zuvadud/D738/autopilot/enable_servo_pitch", pitch_servo_on);
    simhost::set_float("zuvadud/D738/autopilot/enable_servo_elev_pitch", trim_servo_on);
    simhost::set_float("zuvadud/D738/autopilot/enable_servo_yaw", yaw_servo_on);
  }
  // One frame with the column where the pilot (or the last servo output) left it.
  static void frame(float column = std::numeric_limits<float>::quiet_NaN()) {
    if (!std::isnan(column)) mirror(bound::sim_cockpit2_controls_yoke_pitch_ratio, column);
    ap_servo();
  }
};

TEST_F(ServoLaws, EngagementStartsAtATenthOfTheAuthority) {
  struct Case {
    float fd_pitch;
    float first_output;  // error x 0.1 x 0.45 + error x 0.1 s x 0.1 x 0.125
  };
  // A 10-degree error counts as 3.
  const Case cases[] = {{4.0f, 0.0925f}, {12.0f, 0.13875f}, {0.0f, -0.0925f}, {-8.0f, -0.13875f}};
  for (const Case& c : cases) {
    SetUp();
    enable(1.0f, 0.0f, 0.0f);
    simhost::set_float(kFdPitch, c.fd_pitch);
    frame();  // 0.05 s: no update yet
    EXPECT_EQ(simhost::counts(kServoPitch).writes, 0);
    frame();  // 0.1 s: first update
    EXPECT_NEAR(simhost::get_float(kServoPitch), c.first_output, 1e-6f) << c.fd_pitch;
    EXPECT_NEAR(simhost::get_float(kYoke), c.first_output, 1e-6f);
    EXPECT_NEAR(simhost::get_float(kYokeOld), c.first_output, 1e-6f);
    TearDown();
  }
}

TEST_F(ServoLaws, AuthorityReachesFullAfterSevenAndAHalfSecondsWithinTheLimitRecord) {
  enable(1.0f, 0.0f, 0.0f);
  simhost::set_float(kFdPitch, 2.5f);  // 0.5 degree error, well inside the column limit
  frame_time = 0.1f;
  frame();  // engagement update: ramp at 10
  float elapsed = 0.0f;
  for (; pitch_servo.gain_ramp < 100.0f && elapsed < 20.0f; elapsed += 0.1f) frame();
  EXPECT_NEAR(elapsed, 7.5f, 0.11f);
  frame();  // full authority: the proportional part of the column is 0.5 x 0.45
  EXPECT_NEAR(simhost::get_float(kServoPitch) - pitch_servo.pitch_pid.integral, 0.225f, 1e-5f);
  for (float fd : {30.0f, -30.0f}) {
    simhost::set_float(kFdPitch, fd);
    for (int i = 0; i < 300; ++i) {
      frame();
      ASSERT_LE(std::fabs(simhost::get_float(kServoPitch)), 0.8f);
    }
    EXPECT_FLOAT_EQ(simhost::get_float(kServoPitch), fd > 0.0f ? 0.8f : -0.8f);
  }
}

TEST_F(ServoLaws, RolloutEasesTheColumnToNeutral) {
  enable(1.0f, 0.0f, 0.0f);
  frame_time = 0.1f;
  on_ground = 1;
  mirror(bound::zuvadud_D738_autopilot_rollout_status, 1.0f);
  frame(0.3f);
  EXPECT_NEAR(simhost::get_float(kServoPitch), 0.29f, 1e-6f);
  frame(-0.05f);
  EXPECT_NEAR(simhost::get_float(kServoPitch), -0.04f, 1e-6f);
  frame(0.005f);
  EXPECT_FLOAT_EQ(simhost::get_float(kServoPitch), 0.0f);  // does not cross neutral
}

TEST_F(ServoLaws, AutoTrimStepsUnlessThePilotOpposesIt) {
  struct Case {
    float override_switch;
    float column;
    bool trims;
  };
  // A sustained nose-up error builds a positive integrator: nose-up trim demand.
  const Case cases[] = {
      {0.0f, 0.0f, true},    // nobody opposes
      {0.0f, -0.5f, false},  // column pushed against the nose-up demand
      {1.0f, -0.5f, true},   // the override switch lets the trim run
      {0.0f, 0.5f, true},    // column with the demand
  };
  for (const Case& c : cases) {
    SetUp();
    enable(1.0f, 1.0f, 0.0f);
    toggle_switch::stab_trim_overide_pos = c.override_switch;
    simhost::set_float(kFdPitch, 5.0f);
    frame_time = 0.1f;
    float max_accum = 0.0f;
    for (int i = 0; i < 60; ++i) {
      frame(c.column);
      max_accum = std::fmax(max_accum, std::fabs(pitch_servo.trim_accum));
    }
    if (c.trims) {
      EXPECT_GT(simhost::get_float(kServoElev), 0.0f) << c.override_switch << " " << c.column;
      EXPECT_GT(simhost::get_float(kTrim), 0.0f);
      EXPECT_LE(simhost::get_float(kServoElev), 0.02f * 60);  // at most 0.02 per step
    } else {
      EXPECT_FLOAT_EQ(simhost::get_float(kServoElev), 0.0f);
      EXPECT_EQ(simhost::counts(kTrim).writes, 0);
      EXPECT_FLOAT_EQ(max_accum, 0.0f);  // the accumulator empties every update
    }
    TearDown();
  }
}

TEST_F(ServoLaws, FlareTrimJumpsOnceAndHoldsUntilSixHundredFeet) {
  enable(1.0f, 1.0f, 0.0f);
  frame_time = 0.1f;
  simhost::set_float(kFdPitch, 2.0f);
  mirror(bound::zuvadud_D738_autopilot_autoland_status, 1.0f);
  mirror(bound::sim_cockpit2_gauges_indicators_radio_altimeter_height_ft_pilot, 300.0f);
  mirror(bound::sim_cockpit2_controls_elevator_trim, 0.1f);
  frame();
  EXPECT_NEAR(simhost::get_float(kServoElev), 0.17f, 1e-6f);
  // The stabilizer runs toward it; the target does not move again.
  mirror(bound::sim_cockpit2_controls_elevator_trim, 0.15f);
  for (float ra : {200.0f, 400.0f, 590.0f}) {
    mirror(bound::sim_cockpit2_gauges_indicators_radio_altimeter_height_ft_pilot, ra);
    frame();
    EXPECT_NEAR(simhost::get_float(kServoElev), 0.17f, 1e-6f) << ra;
  }
  mirror(bound::sim_cockpit2_gauges_indicators_radio_altimeter_height_ft_pilot, 650.0f);
  frame();
  EXPECT_FLOAT_EQ(pitch_servo.flare_trim, -3.0f);
  // Released: a new descent below 365 ft takes the trim as it stands then.
  mirror(bound::sim_cockpit2_gauges_indicators_radio_altimeter_height_ft_pilot, 360.0f);
  const float trim_now = simhost::get_float(kTrim);
  mirror(bound::sim_cockpit2_controls_elevator_trim, trim_now);
  frame();
  EXPECT_NEAR(simhost::get_float(kServoElev), trim_now + 0.07f, 1e-6f);
}

TEST_F(ServoLaws, StabilizerMovesAtTheMotorRateInsideItsRangeOnly) {
  struct Case {
    float trim, flaps, expected;
    float el_cutout = 0.0f, ap_cutout = 0.0f;
    int32_t variant = 0;
    float motor_bus = 1.0f;
  };
  // Flare target trim + 0.07; the trim moves 2/190 (clean) or 2/63.33 (flaps)
  // per second, never past 0.719298, and not at all from outside the range.
  // Its cutout switch stops it; on the MAX either switch does; without the
  // motor's bus it does not move on either model.
  const Case cases[] = {
      {0.70f, 0.0f, 0.70f + 2.0f / 190.0f * 0.1f},
      {0.70f, 0.5f, 0.70f + 2.0f / 63.33f * 0.1f},
      {0.7185f, 0.5f, 0.719298f},
      {0.72f, 0.5f, 0.72f},
      {-0.98f, 0.5f, -0.98f},
      {0.70f, 0.5f, 0.70f, 0.0f, 1.0f},
      {0.70f, 0.5f, 0.70f + 2.0f / 63.33f * 0.1f, 1.0f, 0.0f},
      {0.70f, 0.5f, 0.70f, 1.0f, 0.0f, 7},
      {0.70f, 0.5f, 0.70f, 0.0f, 0.0f, 0, 0.0f},
      {0.70f, 0.0f, 0.70f, 0.0f, 0.0f, 7, 0.0f},
  };
  for (const Case& c : cases) {
    SetUp();
    toggle_switch::el_trim_pos = c.el_cutout;
    toggle_switch::ap_trim_pos = c.ap_cutout;
    variant_index = c.variant;
    electric::ac_tnsbus1_status = c.motor_bus;
    enable(1.0f, 1.0f, 0.0f);
    frame_time = 0.1f;
    simhost::set_float(kFdPitch, 2.0f);
    mirror(bound::zuvadud_D738_autopilot_autoland_status, 1.0f);
    mirror(bound::sim_cockpit2_gauges_indicators_radio_altimeter_height_ft_pilot, 100.0f);
    mirror(bound::sim_cockpit2_controls_flap_handle_deploy_ratio, c.flaps);
    mirror(bound::sim_cockpit2_controls_elevator_trim, c.trim);
    simhost::set_float(kTrim, c.trim);
    frame();
    EXPECT_NEAR(simhost::get_float(kTrim), c.expected, 1e-6f) << c.trim << " flaps " << c.flaps;
    EXPECT_NEAR(mirror_f(bound::sim_cockpit2_controls_elevator_trim), c.expected, 1e-6f);
    if (c.expected == c.trim) {
      EXPECT_EQ(simhost::counts(kTrim).writes, 0);
    }
    TearDown();
  }
}

TEST_F(ServoLaws, CwsHoldsThePitchCapturedAtColumnRelease) {
  enable(0.0f, 0.0f, 0.0f);
  mirror(bound::sim_cockpit2_controls_elevator_trim, 0.1f);
  pitch(2.0f);
  pitch_servo.pitch_sample_cpt_deg = pitch_servo.pitch_sample_fo_deg = 2.0f;  // level at 2 degrees so far
  frame(0.3f);  // CWS off: column command 0, the trim target follows the trim
  EXPECT_EQ(simhost::counts(kServoPitch).writes, 1);
  EXPECT_FLOAT_EQ(simhost::get_float(kServoElev), 0.1f);
  EXPECT_EQ(simhost::counts(kTrim).writes, 0);
  mirror(bound::zuvadud_D738_autopilot_cws_p_status, 1.0f);
  frame(0.3f);  // column held: nothing captured
  EXPECT_FLOAT_EQ(pitch_servo.cws_hold, 0.0f);
  frame(0.01f);  // released at 2 degrees (pitch rate sampled: 0)
  EXPECT_FLOAT_EQ(pitch_servo.cws_hold_pitch_deg, 2.0f);
  EXPECT_NEAR(simhost::get_float(kServoElev), 0.1f, 1e-6f);
  pitch(0.0f);
  frame(0.01f);  // 2 degrees low: trim 0.1 + 2 x 0.05 s x 0.6
  EXPECT_NEAR(simhost::get_float(kServoElev), 0.16f, 1e-6f);
  EXPECT_NEAR(simhost::get_float(kTrim), 0.1f + 2.0f / 190.0f * 0.05f, 1e-6f);
  frame(0.01f);
  // Next sample: falling at 2 / 0.15 deg/s, predicted 2 s ahead (flaps up):
  // far below the hold, so the correction is the full 5 degrees' worth.
  const float trim_before = mirror_f(bound::sim_cockpit2_controls_elevator_trim);
  frame(0.01f);
  EXPECT_NEAR(pitch_servo.pitch_rate_cpt_dps, -2.0f / 0.15f, 1e-3f);
  EXPECT_NEAR(simhost::get_float(kServoElev), trim_before + 5.0f * 0.05f * 0.6f, 1e-6f);
  EXPECT_EQ(fdir_off_count(), 0);
  // The first officer's side is held from the first officer's pitch.
  frame(0.5f);
  mirror(bound::zuvadud_autopilot_ap_side, 1.0f);
  mirror(bound::sim_cockpit2_gauges_indicators_pitch_AHARS_deg_copilot, 4.0f);
  frame(0.0f);
  EXPECT_FLOAT_EQ(pitch_servo.cws_hold_pitch_deg, 4.0f);
}

TEST_F(ServoLaws, CwsAtATrimStopHandsThePitchBack) {
  enable(0.0f, 0.0f, 0.0f);
  mirror(bound::zuvadud_D738_autopilot_cws_p_status, 1.0f);
  mirror(bound::zuvadud_autopilot_ap_on, 0.0f);
  mirror(bound::zuvadud_D738_autopilot_cws_status, 1.0f);
  for (float stop : {1.0f, -1.0f}) {
    simhost::clear_issued_commands();
    mirror(bound::sim_cockpit2_controls_elevator_trim, stop);
    frame(0.0f);
    frame(0.0f);
    EXPECT_EQ(fdir_off_count(), 2) << stop;
  }
  simhost::clear_issued_commands();
  mirror(bound::sim_cockpit2_controls_elevator_trim, 0.99f);
  frame(0.0f);
  frame(0.2f);
  mirror(bound::sim_cockpit2_controls_elevator_trim, 1.0f);
  frame(0.2f);  // column held: no hold, no hand-back
  EXPECT_EQ(fdir_off_count(), 0);
}

TEST_F(ServoLaws, OverrideFreezesEveryOutput) {
  enable(1.0f, 1.0f, 1.0f);
  mirror(bound::zuvadud_D738_autopilot_servo_override, 1.0f);
  simhost::set_float(kFdPitch, 10.0f);
  for (int i = 0; i < 10; ++i) frame();
  for (const char* name : {kServoPitch, kServoElev, kServoYaw, kYoke, kYokeOld, kTrim})
    EXPECT_EQ(simhost::counts(name).writes, 0) << name;
  EXPECT_EQ(pitch_servo.first_update, 1);
}

TEST_F(ServoLaws, YawServoFliesTheCourseFromZeroOnEngagement) {
  struct Case {
    float mmr_mode, hdef, nav1_crs, gls_crs, gls_dev, mag_var, heading, rollout;
    float first;  // rate limited to 0.38 / s from 0
    float error;  // deg
  };
  const Case cases[] = {
      {1.0f, 0.5f, 90.0f, 0.0f, 0.0f, 0.0f, 90.0f, 0.0f, 0.038f, 5.0f},
      {1.0f, -0.2f, 2.0f, 0.0f, 0.0f, 0.0f, 355.0f, 0.0f, 0.038f, 5.0f},    // 0 - 355 wraps to 5
      {0.0f, 0.0f, 0.0f, 2.0f, -0.1f, -5.0f, 350.0f, 0.0f, 0.038f, 6.0f},   // -4 wraps to 356
      {0.0f, 0.0f, 0.0f, 180.0f, 0.0f, 0.0f, 180.3f, 2.0f, -0.015045f, -0.3f}, // rollout: kp 0.05
  };
  for (const Case& c : cases) {
    SetUp();
    enable(0.0f, 0.0f, 1.0f);
    frame_time = 0.1f;
    mirror(bound::zuvadud_D738_nav_mmr_act_mode, c.mmr_mode);
    mirror(bound::sim_cockpit2_radios_indicators_nav1_hdef_dots_pilot, c.hdef);
    mirror(bound::sim_cockpit2_radios_actuators_nav1_course_deg_mag_pilot, c.nav1_crs);
    simhost::set_float("zuvadud/D738/nav/gls1_crs", c.gls_crs);
    simhost::set_float("zuvadud/D738/nav/gls1_horz_dev", c.gls_dev);
    mirror(bound::sim_flightmodel_position_magnetic_variation, c.mag_var);
    mirror(bound::sim_cockpit2_gauges_indicators_heading_AHARS_deg_mag_pilot, c.heading);
    mirror(bound::zuvadud_D738_autopilot_rollout_status, c.rollout);
    yaw_servo.yaw_pid.integral = 0.6f;  // left over from an earlier engagement
    yaw_servo.yaw_pid.prev_out = 0.9f;
    frame();
    EXPECT_NEAR(simhost::get_float(kServoYaw), c.first, 1e-5f) << c.heading;
    EXPECT_NEAR(yaw_servo.yaw_pid.prev_error, c.error, 1e-4f);
    TearDown();
  }
}

TEST_F(ServoLaws, NonFiniteInputsNeverReachTheHost) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  enable(1.0f, 1.0f, 1.0f);
  simhost::set_float(kFdPitch, nan);
  simhost::set_float("zuvadud/D738/nav/gls1_crs", nan);
  simhost::set_float("zuvadud/D738/nav/gls1_horz_dev", std::numeric_limits<float>::infinity());
  for (bound::Id id : {bound::sim_cockpit2_gauges_indicators_pitch_AHARS_deg_pilot,
                       bound::sim_cockpit2_gauges_indicators_heading_AHARS_deg_mag_pilot,
                       bound::sim_cockpit2_controls_yoke_pitch_ratio, bound::sim_cockpit2_controls_elevator_trim,
                       bound::sim_flightmodel_position_magnetic_variation})
    mirror(id, nan);
  for (float ft : {0.05f, nan, -1.0f, 0.1f, std::numeric_limits<float>::infinity(), 0.1f}) {
    frame_time = ft;
    ap_servo();
    for (const char* name : {kServoPitch, kServoElev, kServoYaw, kYoke, kYokeOld, kTrim})
      ASSERT_TRUE(std::isfinite(simhost::get_float(name))) << name << " frame_time " << ft;
  }
  EXPECT_GT(simhost::counts(kServoPitch).writes, 0);
  EXPECT_GT(simhost::counts(kServoYaw).writes, 0);
}

}  // namespace
