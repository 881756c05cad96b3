// Thrust tables, idle throttle, thrust fraction and run-down curves.
#include <cmath>

#include "engine_fixture.h"

namespace {

using Tables = EngineTest;

TEST_F(Tables, OlderHostGroundRowZero) {
  start(110000);
  struct Case {
    float x, n1;
  } cases[] = {{0.0f, 0.19f}, {1.0f, 1.045f}, {1.7f, 1.045f}, {0.055f, 0.2695f}, {-0.5f, 0.19f}};
  for (const Case& c : cases) EXPECT_NEAR(n1_table_lookup_alt(c.x, 0, 0.0f), c.n1, 1e-5f) << c.x;
  // The inverse holds the ends.
  EXPECT_FLOAT_EQ(n1_table_lookup(0.1f, 0, 0.0f), 0.0f);
  EXPECT_FLOAT_EQ(n1_table_lookup(1.2f, 0, 0.0f), 1.0f);
  EXPECT_NEAR(n1_table_lookup(0.2695f, 0, 0.0f), 0.055f, 1e-5f);
  EXPECT_FLOAT_EQ(thrust_tables.throttle_max, 1.08f);
  EXPECT_FLOAT_EQ(thrust_tables.reverse_max, 0.57f);
}

TEST_F(Tables, RowsAreMonotonicOnBothHosts) {
  for (int version : {110000, 120000}) {
    start(version);
    const ThrustTables& t = thrust_tables;
    for (int i = 1; i < t.point_count; ++i) {
      EXPECT_LT(t.breakpoints[i - 1], t.breakpoints[i]);
      for (int r = 0; r < (version < 120000 ? 6 : 0); ++r) EXPECT_LT(t.ground[r][i - 1], t.ground[r][i]);
      for (int r = 0; r < (version < 120000 ? 2 : 3); ++r) EXPECT_LT(t.flight[r][i - 1], t.flight[r][i]);
      for (int r = 0; r < (version < 120000 ? 0 : 3); ++r) EXPECT_LT(t.approach[r][i - 1], t.approach[r][i]);
    }
  }
}

TEST_F(Tables, ThrustFractionTable) {
  struct Case {
    float n1, fraction;
  } cases[] = {{19.0f, 0.0f}, {19.019285f, 0.003f}, {104.8f, 1.12f}, {99.332115f, 1.0f}, {48.208282f, 0.2f}};
  for (const Case& c : cases) EXPECT_NEAR(thrust_fraction_from_n1(c.n1), c.fraction, 1e-5f) << c.n1;
  EXPECT_FLOAT_EQ(n1_from_thrust_fraction(-0.1f), 19.019285f);
  EXPECT_FLOAT_EQ(n1_from_thrust_fraction(1.2f), 104.741905f);
  EXPECT_NEAR(n1_from_thrust_fraction(1.0f), 99.332115f, 1e-4f);
  EXPECT_FLOAT_EQ(thrust_fraction_from_n1(NAN), 0.0f);
}

TEST_F(Tables, NewerHostIdleThrottle) {
  struct Case {
    float sigma, mode, idle;
  } cases[] = {{0.2f, 1.0f, 0.145f}, {1.2f, 1.0f, 0.085f}, {1.2f, 2.0f, 0.114f}, {0.533304f, 2.0f, 0.11f},
               {1.0f, 3.0f, 0.0f}};
  for (const Case& c : cases) {
    host_mirror.sim_weather_sigma = c.sigma;
    compute_idle_n1(c.mode, c.mode);
    EXPECT_NEAR(thrust_tables.idle_throttle[0], c.idle, 1e-6f) << c.sigma << " " << c.mode;
    EXPECT_NEAR(thrust_tables.idle_throttle[1], c.idle, 1e-6f);
  }
  // Ground idle at sigma 1: 19.8 % plus the density term (about 0.0378).
  host_mirror.sim_weather_sigma = 1.0f;
  compute_idle_n1(0.0f, 1.0f);
  EXPECT_NEAR(thrust_tables.idle_throttle[0], thrust_fraction_from_n1(19.8378f), 1e-5f);
  EXPECT_NEAR(thrust_tables.idle_throttle[1], 0.085f, 1e-6f);
  start(110000);
  compute_idle_n1(1.0f, 2.0f);
  EXPECT_EQ(thrust_tables.idle_throttle[0], 0.0f);
}

TEST_F(Tables, LeverToThrottleRatio) {
  thrust_tables.idle_throttle[0] = 0.1f;
  thrust_tables.idle_throttle[1] = 0.05f;
  EXPECT_FLOAT_EQ(throttle_to_n1_target(0.25f, 0, 0, 0), 0.224f);
  EXPECT_FLOAT_EQ(throttle_to_n1_target(0.25f, 0, 0, 1), 0.224f);
  EXPECT_FLOAT_EQ(throttle_to_n1_target(0.0f, 0, 0, 1), 0.05f);
  EXPECT_FLOAT_EQ(throttle_to_n1_target(2.0f, 0, 0, 0), 1.12f);
  EXPECT_FLOAT_EQ(throttle_to_n1_target(1.0f, 0, 3, 0), 0.69f);
  EXPECT_FLOAT_EQ(throttle_to_n1_target(0.03f, 0, 3, 0), 0.1f);
  // Round trip through the inverse on every branch of both hosts.
  for (int version : {110000, 120000}) {
    start(version);
    thrust_tables.idle_throttle[0] = version < 120000 ? 0.0f : 0.1f;
    for (int prop : {1, 3}) {
      for (float lever : {0.1f, 0.2f, 0.5f, 0.9f}) {
        const float ratio = throttle_to_n1_target(lever, 0, prop, 0);
        EXPECT_NEAR(throttle_to_n1_fraction(ratio, 0, prop, 0), lever, 1e-5f) << version << " " << prop;
      }
    }
  }
}

TEST_F(Tables, RunDownCurves) {
  frame_time = 0.05f;
  EXPECT_NEAR(n1_rundown_step(19.2f), 19.1408f, 1e-3f);
  // Above the curve's top a spool runs down from where it stands, joining
  // the curve's slope: no step onto the table.
  EXPECT_NEAR(n1_rundown_step(25.0f), 25.0f * std::exp(-0.0616319f * 0.05f), 1e-3f);
  EXPECT_NEAR(n2_rundown_step(89.0f), 89.0f * std::exp(-0.0532330f * 0.05f), 1e-3f);
  EXPECT_EQ(n1_rundown_step(0.0f), 0.0f);
  EXPECT_EQ(n2_rundown_step(-3.0f), 0.0f);
  EXPECT_EQ(n2_rundown_step(NAN), 0.0f);
  float v = 1.0f;
  int frames = 0;
  while (v > 0.0f && frames < 10000) {
    v = n1_rundown_step(v);
    ++frames;
  }
  EXPECT_NEAR(frames * 0.05f, 21.2f, 0.3f);
  // N2 falls through the curve's points in order.
  float n2 = 59.8f;
  for (int i = 0; i < 120; ++i) n2 = n2_rundown_step(n2);  // 6 s
  EXPECT_NEAR(n2, 40.7f, 0.05f);
  // From take-off power at 30 frames a second: falling every frame, never
  // by more than 1 %, onto the curve at its top.
  frame_time = 1.0f / 30.0f;
  n2 = 100.0f;
  int frames_to_top = 0;
  for (; n2 > 59.8f && frames_to_top < 1000; ++frames_to_top) {
    const float next = n2_rundown_step(n2);
    ASSERT_LT(next, n2) << frames_to_top;
    ASSERT_LT(n2 - next, 1.0f) << frames_to_top;
    n2 = next;
  }
  EXPECT_NEAR(frames_to_top / 30.0f, std::log(100.0f / 59.8f) / 0.0532330f, 0.05f);
}

}  // namespace
