// Trim handlers called directly: the wheel and yoke pitch trim against their
// stops and refusals, the yoke release run-on, the sound pulse, the cutout
// switches under their guards and the aileron/rudder hooks.
#include <gtest/gtest.h>

#include <limits>

#include "commands/command_handlers.h"
#include "core/binding.h"
#include "core/frame_values.h"
#include "core/variant.h"
#include "core/pitch_trim.h"
#include "systems/flight_controls/elec_trim_state.h"
#include "systems/electrical/electric_values.h"
#include "systems/flight_controls/flight_control_values.h"
#include "systems/switches/switch_values.h"
#include "systems/flight_controls/trim_command_state.h"

namespace {

constexpr XPLMCommandPhase kBegin = xplm_CommandBegin;
constexpr XPLMCommandPhase kHeld = xplm_CommandContinue;
constexpr XPLMCommandPhase kEnd = xplm_CommandEnd;

class TrimHandlers : public ::testing::Test {
 protected:
  void SetUp() override {
    frame_time = 0.05f;
    host_mirror.sim_cockpit2_controls_elevator_trim = 0.0f;
    host_mirror.sim_flightmodel_position_local_ay = 0.0f;
    host_mirror.sim_operation_failures_rel_trim_elv = 0;
    host_mirror.sim_cockpit2_controls_yoke_pitch_ratio = 0.0f;
    host_mirror.sim_cockpit2_controls_flap_handle_deploy_ratio = 0.0f;
    electric::ac_tnsbus1_status = 1.0f;
    toggle_switch::el_trim_pos = toggle_switch::ap_trim_pos = 0.0f;
    variant_index = 0;
    toggle_switch::stab_trim_overide_pos = 0.0f;
    elec_trim_travel_time = 85.5f;
    elec_trim_fast_mode = 0;
    elec_trim_moved = 0;
    trim_wheel_fast_run = trim_wheel_slow_run = 0.0f;
    trim_wheel_pulse() = trim_wheel_pulse_timer() = 0.0f;
    elec_trim_click_slow() = elec_trim_click_slow_timer() = 0.0f;
    elec_trim_click_fast() = elec_trim_click_fast_timer() = 0.0f;
    pitch_trim_running = 0.0f;
  }
  float trim() const { return host_mirror.sim_cockpit2_controls_elevator_trim; }
};

TEST_F(TrimHandlers, WheelTrimHeldAtNoseDownStopKeepsWritingMinusOne) {
  host_mirror.sim_cockpit2_controls_elevator_trim = -0.9996f;
  cmd_flight_controls_pitch_trim_down(nullptr, kBegin, nullptr);
  EXPECT_FLOAT_EQ(trim(), -1.0f);
  EXPECT_EQ(pitch_trim_running, 0.0f);
  cmd_flight_controls_pitch_trim_down(nullptr, kHeld, nullptr);
  EXPECT_FLOAT_EQ(trim(), -1.0f);
  EXPECT_FLOAT_EQ(trim_wheel_target, -1.0f);
  EXPECT_FLOAT_EQ(trim_wheel_hold, -1.0f);
  EXPECT_EQ(pitch_trim_running, 0.0f);
}

TEST_F(TrimHandlers, WheelTrimMovesOneHundredthPerSecondAndPulsesOnce) {
  cmd_flight_controls_pitch_trim_up(nullptr, kBegin, nullptr);
  EXPECT_NEAR(trim(), 0.0005f, 1e-7);
  EXPECT_FLOAT_EQ(flt_ctrls::trim_wheel, trim());
  EXPECT_EQ(pitch_trim_running, 1.0f);
  EXPECT_EQ(trim_wheel_pulse(), 1.0f);
  EXPECT_FLOAT_EQ(trim_wheel_pulse_timer(), 0.55f);
  // A second press within the pulse does not re-arm it.
  trim_wheel_pulse_timer() = 0.3f;
  cmd_flight_controls_pitch_trim_up(nullptr, kEnd, nullptr);
  cmd_flight_controls_pitch_trim_up(nullptr, kBegin, nullptr);
  EXPECT_FLOAT_EQ(trim_wheel_pulse_timer(), 0.3f);
  cmd_flight_controls_pitch_trim_up(nullptr, kEnd, nullptr);
  EXPECT_EQ(pitch_trim_running, 0.0f);
}

TEST_F(TrimHandlers, HostNoseUpWheelCommandLeavesTheWheelToItsTarget) {
  flt_ctrls::trim_wheel = 0.25f;
  hook_flight_controls_pitch_trim_up_mech(nullptr, kBegin, nullptr);
  EXPECT_FLOAT_EQ(flt_ctrls::trim_wheel, 0.25f);
  EXPECT_FLOAT_EQ(trim_wheel_target, trim());
  hook_flight_controls_pitch_trim_down_mech(nullptr, kBegin, nullptr);
  EXPECT_FLOAT_EQ(flt_ctrls::trim_wheel, trim());
}

TEST_F(TrimHandlers, WheelTrimRefusedBySideForceFailureOrNaN) {
  const float ay[] = {3.0f, -3.5f, std::numeric_limits<float>::quiet_NaN()};
  for (float a : ay) {
    host_mirror.sim_flightmodel_position_local_ay = a;
    trim_wheel_pulse() = 1.0f;
    pitch_trim_running = 1.0f;
    cmd_flight_controls_pitch_trim_up(nullptr, kBegin, nullptr);
    EXPECT_EQ(trim(), 0.0f) << a;
    EXPECT_EQ(pitch_trim_running, 0.0f) << a;
    EXPECT_EQ(trim_wheel_pulse(), 0.0f) << a;
  }
  host_mirror.sim_flightmodel_position_local_ay = 0.0f;
  host_mirror.sim_operation_failures_rel_trim_elv = 6;
  cmd_flight_controls_pitch_trim_up(nullptr, kBegin, nullptr);
  EXPECT_EQ(trim(), 0.0f);
}

TEST_F(TrimHandlers, YokeNoseDownStopsAtItsLimitByFlapHandle) {
  struct Case {
    float flap;
    float limit;
  } cases[] = {{0.0f, -0.514619f}, {0.01f, -0.970759f}, {1.0f, -0.970759f}};
  frame_time = 0.1f;
  elec_trim_travel_time = 0.5f;  // a full travel in half a second: reaches the stop fast
  for (const Case& c : cases) {
    host_mirror.sim_cockpit2_controls_flap_handle_deploy_ratio = c.flap;
    host_mirror.sim_cockpit2_controls_elevator_trim = 0.0f;
    hook_flight_controls_pitch_trim_down(nullptr, kBegin, nullptr);
    for (int i = 0; i < 20; ++i) hook_flight_controls_pitch_trim_down(nullptr, kHeld, nullptr);
    EXPECT_NEAR(trim(), c.limit, 1e-6) << c.flap;
    EXPECT_EQ(trim_wheel_slow_run, 0.0f) << "stopped at the limit";
    hook_flight_controls_pitch_trim_down(nullptr, kEnd, nullptr);
  }
}

TEST_F(TrimHandlers, YokeStepFollowsTravelTimeAndSetsRunFlag) {
  frame_time = 0.1f;
  hook_flight_controls_pitch_trim_up(nullptr, kBegin, nullptr);
  EXPECT_NEAR(trim(), 2.0f / 85.5f * 0.1f, 1e-7);
  EXPECT_EQ(trim_wheel_slow_run, 1.0f);
  EXPECT_EQ(trim_wheel_fast_run, 0.0f);
  EXPECT_EQ(elec_trim_click_slow(), 1.0f);
  EXPECT_FLOAT_EQ(elec_trim_click_slow_timer(), 0.55f);
  EXPECT_EQ(switch_::capt_trim_pos, 0.0f);
  EXPECT_EQ(switch_::el_trim_cfy, 1);

  elec_trim_fast_mode = 1;
  hook_flight_controls_pitch_trim_down(nullptr, kBegin, nullptr);
  EXPECT_EQ(trim_wheel_fast_run, 1.0f);
  EXPECT_EQ(trim_wheel_slow_run, 0.0f);
  EXPECT_FLOAT_EQ(elec_trim_click_fast_timer(), 0.37f);
  EXPECT_EQ(switch_::capt_trim_pos, 1.0f);
  EXPECT_EQ(switch_::el_trim_cfy, 2);
}

TEST_F(TrimHandlers, YokeAtItsLimitMovesNothingButShowsTheSwitchHeld) {
  host_mirror.sim_cockpit2_controls_elevator_trim = 0.7192980051040649f;
  hook_flight_controls_pitch_trim_up(nullptr, kBegin, nullptr);
  EXPECT_EQ(trim(), 0.7192980051040649f);
  EXPECT_EQ(trim_wheel_slow_run, 0.0f);
  EXPECT_EQ(trim_wheel_fast_run, 0.0f);
  EXPECT_EQ(switch_::capt_trim_pos, 0.0f);
  EXPECT_EQ(switch_::el_trim_cfy, 1);
}

TEST_F(TrimHandlers, YokeRefusals) {
  struct Case {
    const char* what;
    void (*arrange)();
    bool down;
  } cases[] = {
      {"unpowered", [] { electric::ac_tnsbus1_status = 0.0f; }, true},
      {"cut out", [] { toggle_switch::el_trim_pos = 1.0f; }, true},
      {"MAX, the other switch cut out", [] { variant_index = 7; toggle_switch::ap_trim_pos = 1.0f; }, false},
      {"failed", [] { host_mirror.sim_operation_failures_rel_trim_elv = 6; }, false},
      {"column against nose down", [] { host_mirror.sim_cockpit2_controls_yoke_pitch_ratio = 0.41f; }, true},
      {"column against nose up", [] { host_mirror.sim_cockpit2_controls_yoke_pitch_ratio = -0.41f; }, false},
      {"no travel time", [] { elec_trim_travel_time = 0.0f; }, false},
  };
  for (const Case& c : cases) {
    SetUp();
    c.arrange();
    trim_wheel_slow_run = 1.0f;
    if (c.down) {
      hook_flight_controls_pitch_trim_down(nullptr, kBegin, nullptr);
    } else {
      hook_flight_controls_pitch_trim_up(nullptr, kBegin, nullptr);
    }
    EXPECT_EQ(trim(), 0.0f) << c.what;
    EXPECT_EQ(trim_wheel_slow_run, 0.0f) << c.what;
    EXPECT_EQ(elec_trim_moved, 0) << c.what;
  }
  // The override switch lets the trim run against the column.
  SetUp();
  host_mirror.sim_cockpit2_controls_yoke_pitch_ratio = 0.9f;
  toggle_switch::stab_trim_overide_pos = 1.0f;
  hook_flight_controls_pitch_trim_down(nullptr, kBegin, nullptr);
  EXPECT_LT(trim(), 0.0f);
}

TEST_F(TrimHandlers, YokeReleaseRunsOnOnlyAfterMoving) {
  struct Case {
    uint8_t mode;
    bool down;
    float offset;
  } cases[] = {{0, true, -0.0003f}, {1, true, -0.001f}, {0, false, 0.0003f}, {1, false, 0.001f}};
  for (const Case& c : cases) {
    SetUp();
    elec_trim_fast_mode = c.mode;
    auto* handler = c.down ? hook_flight_controls_pitch_trim_down : hook_flight_controls_pitch_trim_up;
    handler(nullptr, kBegin, nullptr);
    const float held = trim_wheel_hold;
    handler(nullptr, kEnd, nullptr);
    EXPECT_NEAR(trim_wheel_target, held + c.offset, 1e-7);
    EXPECT_EQ(elec_trim_moved, 0);
    EXPECT_EQ(switch_::capt_trim_pos, 0.515f);
    EXPECT_EQ(switch_::el_trim_cfy, 0);
  }
  // Released without movement: the target stays.
  SetUp();
  electric::ac_tnsbus1_status = 0.0f;
  trim_wheel_target = 0.2f;
  hook_flight_controls_pitch_trim_up(nullptr, kBegin, nullptr);
  hook_flight_controls_pitch_trim_up(nullptr, kEnd, nullptr);
  EXPECT_EQ(trim_wheel_target, 0.2f);
}

TEST(TrimChannels, PhasesRecordedAsOneTwoThree) {
  hook_flight_controls_pitch_trimA_up(nullptr, kBegin, nullptr);
  EXPECT_EQ(trim_channel_commands.a_up, 1.0f);
  hook_flight_controls_pitch_trimA_up(nullptr, kHeld, nullptr);
  EXPECT_EQ(trim_channel_commands.a_up, 2.0f);
  hook_flight_controls_pitch_trimB_down(nullptr, kEnd, nullptr);
  EXPECT_EQ(trim_channel_commands.b_down, 3.0f);
}

TEST(TrimCutouts, GuardGatesTheSwitchAndClosingItRestoresNormal) {
  toggle_switch::ap_trim_lock_pos = 0.0f;
  toggle_switch::ap_trim_pos = 0.0f;
  cmd_toggle_switch_ap_trim(nullptr, kBegin, nullptr);
  EXPECT_EQ(toggle_switch::ap_trim_pos, 0.0f);
  cmd_toggle_switch_ap_trim_lock(nullptr, kBegin, nullptr);
  cmd_toggle_switch_ap_trim(nullptr, kBegin, nullptr);
  EXPECT_EQ(toggle_switch::ap_trim_pos, 1.0f);
  cmd_toggle_switch_ap_trim_lock(nullptr, kBegin, nullptr);
  EXPECT_EQ(toggle_switch::ap_trim_lock_pos, 0.0f);
  EXPECT_EQ(toggle_switch::ap_trim_pos, 0.0f);

  cmd_toggle_switch_el_trim_w_guard(nullptr, kBegin, nullptr);
  EXPECT_EQ(toggle_switch::el_trim_pos, 0.0f);
  cmd_toggle_switch_el_trim_w_guard(nullptr, kEnd, nullptr);
  EXPECT_EQ(toggle_switch::el_trim_pos, 1.0f);
  EXPECT_EQ(toggle_switch::el_trim_lock_pos, 1.0f);
  cmd_toggle_switch_el_trim_w_guard_on(nullptr, kBegin, nullptr);
  EXPECT_EQ(toggle_switch::el_trim_pos, 0.0f);
  EXPECT_EQ(toggle_switch::el_trim_lock_pos, 0.0f);
  cmd_toggle_switch_ap_trim_w_guard_neg(nullptr, kBegin, nullptr);
  EXPECT_EQ(toggle_switch::ap_trim_pos, 1.0f);
  cmd_toggle_switch_ap_trim_w_guard_neg(nullptr, kEnd, nullptr);
  EXPECT_EQ(toggle_switch::ap_trim_pos, 0.0f);
}

// The knobs turn either way; the host's aileron and rudder trims act only
// while their actuators (the battery bus) have power.
TEST(TrimHooks, AileronAndRudderPassToTheHostInEveryPhase) {
  struct Case {
    command_handler* h;
    float* sw;
    float held;
    float battery_bus;
    int passes;
  } cases[] = {{hook_flight_controls_aileron_trim_left, &aileron_trim_switch, -1.0f, 1.0f, 1},
               {hook_flight_controls_aileron_trim_right, &aileron_trim_switch, 1.0f, 1.0f, 1},
               {hook_flight_controls_rudder_trim_left, &rudder_trim_switch, -1.0f, 1.0f, 1},
               {hook_flight_controls_rudder_trim_right, &rudder_trim_switch, 1.0f, 1.0f, 1},
               {hook_flight_controls_aileron_trim_left, &aileron_trim_switch, -1.0f, 0.0f, 0},
               {hook_flight_controls_aileron_trim_right, &aileron_trim_switch, 1.0f, 0.0f, 0},
               {hook_flight_controls_rudder_trim_left, &rudder_trim_switch, -1.0f, 0.0f, 0},
               {hook_flight_controls_rudder_trim_right, &rudder_trim_switch, 1.0f, 0.0f, 0}};
  for (const Case& c : cases) {
    electric::batbus_status = c.battery_bus;
    EXPECT_EQ(c.h(nullptr, kBegin, nullptr), c.passes);
    EXPECT_EQ(*c.sw, c.held);
    EXPECT_EQ(c.h(nullptr, kHeld, nullptr), c.passes);
    EXPECT_EQ(*c.sw, c.held);
    EXPECT_EQ(c.h(nullptr, kEnd, nullptr), c.passes);
    EXPECT_EQ(*c.sw, 0.0f);
  }
  electric::batbus_status = 0.0f;
}

}  // namespace
