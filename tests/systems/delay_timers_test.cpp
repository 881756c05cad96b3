// The delay timers that the panel-state apply and the autobrake and APU
// commands arm: the autobrake RTO self-test and the APU start check.
#include <gtest/gtest.h>

#include "core/binding.h"
#include "core/frame.h"
#include "core/preprocess.h"
#include "systems/autobrake_state.h"
#include "systems/delay_timers.h"
#include "systems/electric_values.h"
#include "systems/flight_control_values.h"

namespace {

class DelayTimers : public ::testing::Test {
 protected:
  void SetUp() override {
    delay_timers = DelayTimerBank{};
    host_mirror = HostMirror{};
    on_ground = 1;
    electric::dc_bus1_status = 1.0f;
    rto_test_result = 0.0f;
    autobrake::autobrake_RTO_test = 1.0f;
    autobrake::autobrake_disarm = 0.0f;
    electrical::apu_low_oil = 0.0f;
    frame_time = 0.125f;  // exact in binary: the frame counts are exact
  }
  // Frames until the autobrake countdown has run out (at most 100).
  int frames_until_autobrake_done() {
    int n = 0;
    while (delay_timers.autobrake_s != 0.0f && n < 100) {
      update_annunciator_timers();
      ++n;
    }
    return n;
  }
};

TEST_F(DelayTimers, RtoSelfTestPassesOrLightsDisarm) {
  struct Case {
    const char* what;
    int32_t ground;
    float groundspeed_mps, throttle, dc_bus1;
    float result, disarm;
  };
  const Case cases[] = {
      {"all good", 1, 59.9f, 0.01f, 1.0f, 2.0f, 0.0f},
      {"in the air", 0, 0.0f, 0.0f, 1.0f, 1.0f, 1.0f},
      {"too fast", 1, 60.1f, 0.0f, 1.0f, 1.0f, 1.0f},
      {"throttle open", 1, 0.0f, 0.011f, 1.0f, 1.0f, 1.0f},
      {"DC bus 1 dead", 1, 0.0f, 0.0f, 0.0f, 1.0f, 1.0f},
  };
  for (const Case& c : cases) {
    SetUp();
    on_ground = c.ground;
    host_mirror.sim_flightmodel_position_groundspeed = c.groundspeed_mps;
    host_mirror.sim_cockpit2_engine_actuators_throttle_ratio_all = c.throttle;
    electric::dc_bus1_status = c.dc_bus1;
    delay_timers.autobrake_s = 1.0f;
    EXPECT_EQ(frames_until_autobrake_done(), 8) << c.what;
    EXPECT_EQ(autobrake::autobrake_RTO_test, 2.0f) << c.what;
    EXPECT_EQ(rto_test_result, c.result) << c.what;
    EXPECT_EQ(autobrake::autobrake_disarm, c.disarm) << c.what;
  }
}

TEST_F(DelayTimers, RtoFailureInAnyFrameOfTheCountdownSticks) {
  delay_timers.autobrake_s = 1.0f;
  for (int i = 0; i < 5; ++i) update_annunciator_timers();
  host_mirror.sim_cockpit2_engine_actuators_throttle_ratio_all = 0.5f;  // throttles advanced mid-test
  update_annunciator_timers();
  host_mirror.sim_cockpit2_engine_actuators_throttle_ratio_all = 0.0f;
  frames_until_autobrake_done();
  EXPECT_EQ(rto_test_result, 1.0f);
  EXPECT_EQ(autobrake::autobrake_disarm, 1.0f);
}

TEST_F(DelayTimers, IdleTimersDoNothing) {
  rto_test_result = 0.0f;
  on_ground = 0;
  for (int i = 0; i < 3; ++i) update_annunciator_timers();
  EXPECT_EQ(autobrake::autobrake_RTO_test, 1.0f);
  EXPECT_EQ(rto_test_result, 0.0f);
  EXPECT_EQ(electrical::apu_low_oil, 0.0f);
}

TEST_F(DelayTimers, ApuLowOilAfterOneAndAHalfSecondsBelowFortyPercent) {
  for (float n1 : {39.9f, 40.0f}) {
    SetUp();
    host_mirror.sim_cockpit2_electrical_APU_N1_percent = n1;
    delay_timers.apu_start_s = 1.5f;
    for (int i = 0; i < 11; ++i) update_annunciator_timers();
    EXPECT_EQ(electrical::apu_low_oil, 0.0f) << n1;  // 0.125 s left
    frame_time = 0.25f;  // a long frame fires it at once, clamped at 0
    update_annunciator_timers();
    EXPECT_EQ(delay_timers.apu_start_s, 0.0f);
    EXPECT_EQ(electrical::apu_low_oil, n1 < 40.0f ? 1.0f : 0.0f) << n1;
  }
}

}  // namespace
