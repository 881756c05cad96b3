// Published numbers of the aircraft systems, one table row per threshold with
// a value on each side of it: the speed-brake lever's detents, the nose-wheel
// steering limit and turn-brake fade, and the hydraulic leak rate.
#include <cmath>

#include "alerting/failure_tables.h"
#include "core/preprocess.h"
#include "panel_fixture.h"
#include "systems/brake_command_state.h"
#include "systems/aircraft_systems.h"
#include "systems/brakes.h"
#include "systems/delay_timers.h"
#include "systems/flight_control_values.h"
#include "systems/hydraulic_values.h"
#include "systems/hydraulics.h"
#include "systems/speedbrake_lever.h"
#include "systems/instrument_values.h"
#include "systems/switch_values.h"
#include "systems/system_state.h"

namespace {

using SystemLimits = PanelTest;

TEST_F(SystemLimits, SpeedBrakeLeverToHostRatio) {
  speedbrake_enable = 1;
  speedbrake_flight_detent_latch = 0;
  hydraulic::A_status = 1.0f;
  struct Row {
    float lever, ratio;
  } rows[] = {
      {0.0f, 0},      {0.049f, 0},     {0.051f, -0.5f}, {0.129f, -0.5f},  // armed
      {0.131f, 0},    {0.149f, 0},                                       // between ARMED and the spoilers
      {0.15f, 0},     {0.4085f, 0.495f}, {0.667f, 0.99f},                // spoilers open up to the flight detent
      {0.8335f, 0.995f}, {1.0f, 1.0f},                                   // beyond it on the ground
  };
  for (const Row& r : rows) {
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
  } rows[] = {{0.039f, 0, 0.039f}, {0.041f, 0, 0.0889f}, {0.129f, 0, 0.0889f}, {0.131f, 0, 0.15f},
              {0.149f, 0, 0.15f},  {0.151f, 0, 0.151f},  {0.8f, 0, 0.8f},       {0.8f, 1, 0.667f},
              {0.66f, 1, 0.66f}};
  for (const Row& r : rows) {
    speedbrake_flight_detent_latch = static_cast<int32_t>(r.latch);
    flt_ctrls::speedbrake_lever = r.lever;
    snap_speedbrake_lever();
    EXPECT_FLOAT_EQ(flt_ctrls::speedbrake_lever, r.snapped) << r.lever << " latch " << r.latch;
  }
}

class Steering : public PanelTest {
 protected:
  void SetUp() override {
    PanelTest::SetUp();
    brake_state = BrakeState{};
    brake_commands = BrakeCommandState{};
    on_ground = 1;
    hydraulic::A_rudder = hydraulic::B_rudder = 1.0f;
    switches::nose_steer_pos = 1.0f;
    cockpit::nosewheel_steer_override = 0.0f;
    cockpit::toe_brake_override = 1.0f;  // keep the host brake ratios out of it
    axis::nosewheel = 1.0f;              // full right tiller
  }
};

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

class HydraulicLeak : public ::testing::Test {
 protected:
  void SetUp() override {
    for (XPLMDataRef& h : bound_handles) h = nullptr;
    host_mirror = HostMirror{};
    script_mirror = ScriptMirror{};
    failure_tables = FailureTables{};
    delay_timers = DelayTimerBank{};
    hyd_state = HydraulicState{};
    hydraulic_step_state = HydraulicStepState{};
    frame_time = 0.1f;
    frame_done = 1;
    on_ground = 1;
  }
};

TEST_F(HydraulicLeak, FluidDrainsAtItsRateOnlyInTheLeakingSystem) {
  struct Row {
    int host_a, host_b;
    float entry_a, entry_b;
    bool leak_a, leak_b;
  } rows[] = {{6, 0, 0, 0, true, false},  {0, 6, 0, 0, false, true},  {0, 0, 1, 0, true, false},
              {0, 0, 0, 1, false, true},  {5, 5, 0.5f, 2, false, false}};
  for (const Row& r : rows) {
    SetUp();
    hyd_state.hyd_fluid_a = hyd_state.hyd_fluid_b = 90.0f;
    host_mirror.sim_operation_failures_rel_hydleak = r.host_a;
    host_mirror.sim_operation_failures_rel_hydleak2 = r.host_b;
    failure_tables.hydraulic[3] = r.entry_a;
    failure_tables.hydraulic[4] = r.entry_b;
    for (int i = 0; i < 100; ++i) hyd_update();  // 10 s
    // 1.2 % of what is left per second: 90 x 0.9988^100.
    EXPECT_NEAR(hyd_state.hyd_fluid_a, r.leak_a ? 79.817f : 90.0f, 2e-3f) << r.host_a << " " << r.entry_a;
    EXPECT_NEAR(hyd_state.hyd_fluid_b, r.leak_b ? 79.817f : 90.0f, 2e-3f) << r.host_b << " " << r.entry_b;
  }
}

}  // namespace
