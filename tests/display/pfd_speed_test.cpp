// Speed tape aids: the plug-in's indicated airspeed and trend (restart, trend
// following and limits, pause, replay and return from replay) and the
// low-speed band.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "core/binding.h"
#include "core/frame_values.h"
#include "core/preprocess_values.h"
#include "display/display_steps.h"
#include "host.h"
#include "systems/instruments/instrument_values.h"

namespace {

constexpr const char* kCasPilot = "sim/cockpit2/gauges/indicators/calibrated_airspeed_kts_pilot";
constexpr const char* kCasCopilot = "sim/cockpit2/gauges/indicators/calibrated_airspeed_kts_copilot";
constexpr const char* kIasPilot = "sim/cockpit2/gauges/indicators/airspeed_kts_pilot";
constexpr const char* kIasCopilot = "sim/cockpit2/gauges/indicators/airspeed_kts_copilot";
constexpr const char* kTrendPilot = "sim/cockpit2/gauges/indicators/airspeed_acceleration_kts_sec_pilot";
constexpr const char* kTrendCopilot = "sim/cockpit2/gauges/indicators/airspeed_acceleration_kts_sec_copilot";

class IasOverride : public ::testing::Test {
 protected:
  void SetUp() override {
    simhost::reset();
    for (XPLMDataRef& h : bound_handles) h = nullptr;
    bind_outside_datarefs();
    bind_host_datarefs();
    bind_script_datarefs();
    host_mirror = HostMirror{};
    airspeed_display_reset();
    frame_done = 1;
    route_reset_request = 0.0f;
    sim_paused = sim_in_replay = 0;
    prev_sim_paused = prev_sim_in_replay = 0;
    frame_time = 0.02f;
  }
  void TearDown() override {
    for (const std::string& p : simhost::problems()) ADD_FAILURE() << p;
    simhost::reset();
  }
  static void cas(float pilot, float copilot) {
    simhost::set_float(kCasPilot, pilot);
    simhost::set_float(kCasCopilot, copilot);
  }
  // One main-loop frame as far as the tape is concerned.
  static void frame() {
    ias_override();
    prev_sim_paused = sim_paused;
    prev_sim_in_replay = sim_in_replay;
  }
  static float ias(const char* name) { return simhost::get_float(name); }
};

TEST_F(IasOverride, RestartShowsTheCalibratedAirspeedWithZeroTrend) {
  airspeed_display.trend_kt[0] = 5.0f;
  cas(180.0f, 182.0f);
  struct Case {
    int32_t done;
    float restore;
  };
  for (const Case& c : {Case{0, 0.0f}, Case{1, 1.0f}}) {
    frame_done = c.done;
    route_reset_request = c.restore;
    frame();
    EXPECT_FLOAT_EQ(ias(kIasPilot), 180.0f);
    EXPECT_FLOAT_EQ(ias(kIasCopilot), 182.0f);
    EXPECT_FLOAT_EQ(ias(kTrendPilot), 0.0f);
    EXPECT_FLOAT_EQ(ias(kTrendCopilot), 0.0f);
  }
  EXPECT_EQ(simhost::get_int("sim/operation/override/override_ias"), 1);
}

TEST_F(IasOverride, TrendSettlesOnASteadyAccelerationAndIsLimitedTo20) {
  float v = 150.0f;
  cas(v, v);
  frame_done = 0;
  frame();
  frame_done = 1;
  for (int i = 0; i < 1500; ++i) {  // 30 s at 2 kt/s
    v += 2.0f * frame_time;
    cas(v, v);
    frame();
  }
  EXPECT_NEAR(ias(kTrendPilot), 2.0f, 0.05f);
  EXPECT_NEAR(ias(kTrendCopilot), 2.0f, 0.05f);
  EXPECT_NEAR(ias(kIasPilot), v - 2.0f / 0.65f, 0.2f);  // the first-order lag's steady offset
  // A jump far beyond 20 kt/s: the trend is held at the limit, either way.
  for (float jump : {300.0f, -300.0f}) {
    v += jump;
    for (int i = 0; i < 25; ++i) {
      cas(v, v);
      frame();
    }
    EXPECT_FLOAT_EQ(std::fabs(ias(kTrendPilot)), 20.0f) << jump;
  }
}

TEST_F(IasOverride, PauseFreezesReplayShowsRawAndTheTapeReturnsAfterIt) {
  cas(200.0f, 200.0f);
  frame_done = 0;
  frame();
  frame_done = 1;
  for (int i = 0; i < 50; ++i) {
    cas(200.0f + static_cast<float>(i), 200.0f);
    frame();
  }
  const float held_ias = ias(kIasPilot);
  const float held_trend = ias(kTrendPilot);
  ASSERT_GT(held_trend, 1.0f);
  // Paused: the values stay, whatever the host shows.
  sim_paused = 1;
  cas(100.0f, 100.0f);
  for (int i = 0; i < 10; ++i) frame();
  EXPECT_FLOAT_EQ(ias(kIasPilot), held_ias);
  EXPECT_FLOAT_EQ(ias(kTrendPilot), held_trend);
  sim_paused = 0;
  // Replay: the calibrated airspeed as it is, no trend.
  sim_in_replay = 1;
  cas(120.0f, 121.0f);
  frame();
  EXPECT_FLOAT_EQ(ias(kIasPilot), 120.0f);
  EXPECT_FLOAT_EQ(ias(kIasCopilot), 121.0f);
  EXPECT_FLOAT_EQ(ias(kTrendPilot), 0.0f);
  // Back from the replay: smoothing continues from the pre-replay values.
  sim_in_replay = 0;
  cas(held_ias, 200.0f);
  frame();
  EXPECT_NEAR(ias(kIasPilot), held_ias, 0.05f);
  EXPECT_GT(ias(kTrendPilot), 0.5f);
}

TEST(PfdStallBand, PlacementByHeightSpeedFlapsAndAngleOfAttack) {
  struct Case {
    float ra, margin_kt, flaps, aoa;
    float show, position;  // position -1: kept from before
  };
  const Case cases[] = {
      {41.0f, 10.0f, 0.0f, 5.0f, 1.0f, 6.0f},    {41.0f, 40.0f, 0.0f, 5.0f, 0.0f, -1.0f},
      {41.0f, 40.0f, 0.0f, 11.0f, 1.0f, 18.0f},  {41.0f, 40.0f, 0.25f, 5.0f, 1.0f, 18.0f},
      {41.0f, 30.0f, 0.0f, 10.0f, 0.0f, -1.0f},  {41.0f, -5.0f, 0.0f, 5.0f, 1.0f, 0.0f},
      {41.0f, 29.0f, 0.0f, 5.0f, 1.0f, 17.4f},   {40.0f, -50.0f, 0.5f, 5.0f, 1.0f, 18.0f},
      {40.0f, 40.0f, 0.5f, 5.0f, 1.0f, 18.0f},   {40.0f, -50.0f, 0.0f, 20.0f, 0.0f, -1.0f},
  };
  for (const Case& c : cases) {
    frame_flight_data.radio_alt_ft = c.ra;
    frame_flight_data.min_speed_kt = 140.0f;
    frame_flight_data.ias_kt = 140.0f + c.margin_kt;
    frame_flight_data.flap_handle = c.flaps;
    frame_flight_data.aoa_deg = c.aoa;
    pfd::pfd_stall = 7.5f;
    update_pfd_stall_band();
    EXPECT_FLOAT_EQ(pfd::pfd_stall_show, c.show) << c.ra << " " << c.margin_kt << " " << c.aoa;
    EXPECT_NEAR(pfd::pfd_stall, c.position < 0.0f ? 7.5f : c.position, 1e-5f) << c.ra << " " << c.margin_kt;
  }
}

}  // namespace
