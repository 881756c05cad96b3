// Numeric helpers: snaps, clamps, circular turns and interpolators.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "core/util.h"

extern float frame_time;

namespace {

class Helpers : public ::testing::Test {
 protected:
  void SetUp() override { frame_time = 0.1f; }
  void TearDown() override { frame_time = 0.0f; }
};

TEST_F(Helpers, LagSnapsOntoRangeEnds) {
  struct Case {
    float value, target, rate, expect;
  };
  // Upper snap: target within 0.001 of max and value within 0.01; lower the same.
  const Case cases[] = {
      {0.995f, 1.0f, 0.5f, 1.0f},     {0.995f, 1.0f, 100.0f, 1.0f}, {0.995f, 0.9995f, 0.0f, 1.0f},
      {0.005f, 0.0005f, 0.5f, 0.0f},  {0.005f, 0.0f, 0.0f, 0.0f},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(lag_toward(c.value, c.target, 0.0f, 1.0f, c.rate), c.expect) << c.value << " -> " << c.target;
  }
  // Just outside the tolerances: the lag step applies instead.
  EXPECT_FLOAT_EQ(lag_toward(0.98f, 1.0f, 0.0f, 1.0f, 1.0f), 0.98f + 0.1f * 0.02f);
  EXPECT_FLOAT_EQ(lag_toward(0.005f, 0.002f, 0.0f, 1.0f, 1.0f), 0.005f - 0.1f * 0.003f);
}

TEST_F(Helpers, LagAndRampClampBeforeAndAfter) {
  // Value above range steps from the bound.
  EXPECT_FLOAT_EQ(lag_toward(150.0f, 0.0f, 0.0f, 100.0f, 1.0f), 90.0f);
  EXPECT_FLOAT_EQ(ramp_toward(150.0f, 0.0f, 0.0f, 100.0f, 50.0f), 95.0f);
  // A big lag rate passes the target; only the range bounds it.
  EXPECT_FLOAT_EQ(lag_toward(10.0f, 20.0f, 0.0f, 100.0f, 15.0f), 25.0f);
  EXPECT_FLOAT_EQ(lag_toward(10.0f, 20.0f, 0.0f, 22.0f, 15.0f), 22.0f);
  // Ramp never overshoots.
  EXPECT_FLOAT_EQ(ramp_toward(10.0f, 12.0f, 0.0f, 100.0f, 50.0f), 12.0f);
  EXPECT_FLOAT_EQ(ramp_toward(10.0f, 5.0f, 0.0f, 100.0f, 20.0f), 8.0f);
  // Rate 0 holds the clamped value.
  EXPECT_FLOAT_EQ(ramp_toward(50.0f, 70.0f, 0.0f, 100.0f, 0.0f), 50.0f);
  EXPECT_FLOAT_EQ(lag_toward(50.0f, 70.0f, 0.0f, 100.0f, 0.0f), 50.0f);
  // Target beyond the range ends on the bound.
  float v = 90.0f;
  for (int i = 0; i < 200; ++i) v = ramp_toward(v, 200.0f, 0.0f, 100.0f, 10.0f);
  EXPECT_EQ(v, 100.0f);
}

TEST_F(Helpers, LagLimitedCapsTheStep) {
  // Lag step would be 0.1 x 1 x 100 = 10; the limit is 0.1 x 20 = 2.
  EXPECT_FLOAT_EQ(lag_toward_limited(0.0f, 100.0f, -1000.0f, 1000.0f, 1.0f, 20.0f), 2.0f);
  EXPECT_FLOAT_EQ(lag_toward_limited(0.0f, -100.0f, -1000.0f, 1000.0f, 1.0f, 20.0f), -2.0f);
  EXPECT_FLOAT_EQ(lag_toward_limited(0.0f, 10.0f, -1000.0f, 1000.0f, 1.0f, 20.0f), 1.0f);
}

TEST_F(Helpers, ClampTestsUpperBoundFirst) {
  EXPECT_EQ(clamp_range(5.0f, 0.0f, 10.0f), 5.0f);
  EXPECT_EQ(clamp_range(-1.0f, 0.0f, 10.0f), 0.0f);
  EXPECT_EQ(clamp_range(11.0f, 0.0f, 10.0f), 10.0f);
  // lo > hi: above hi gives hi, everything else gives lo.
  EXPECT_EQ(clamp_range(20.0f, 10.0f, 0.0f), 0.0f);
  EXPECT_EQ(clamp_range(5.0f, 10.0f, 0.0f), 0.0f);
  EXPECT_EQ(clamp_range(-5.0f, 10.0f, 0.0f), 10.0f);
  // The movers use the same clamp on inverted ranges.
  EXPECT_EQ(ramp_toward(-5.0f, -5.0f, 10.0f, 0.0f, 0.0f), 10.0f);
}

TEST_F(Helpers, MoveScaledIsOneWay) {
  // Whole range 0..10 in 2 s: 0.5 per 0.1 s frame.
  EXPECT_FLOAT_EQ(move_toward_scaled(5.0f, 0.0f, 0.0f, 10.0f, 0.0f, 2.0f), 4.5f);
  EXPECT_FLOAT_EQ(move_toward_scaled(5.0f, 10.0f, 0.0f, 10.0f, 0.0f, 2.0f), 5.0f);  // down only
  EXPECT_FLOAT_EQ(move_toward_scaled(-3.0f, 10.0f, 0.0f, 10.0f, 0.0f, 2.0f), 0.0f);  // raised to min
  EXPECT_FLOAT_EQ(move_toward_scaled(5.0f, 10.0f, 0.0f, 10.0f, 1.0f, 2.0f), 5.5f);
  EXPECT_FLOAT_EQ(move_toward_scaled(5.0f, 0.0f, 0.0f, 10.0f, 1.0f, 2.0f), 5.0f);  // up only
  EXPECT_FLOAT_EQ(move_toward_scaled(13.0f, 0.0f, 0.0f, 10.0f, 1.0f, 2.0f), 10.0f);  // lowered to max
  EXPECT_FLOAT_EQ(move_toward_scaled(5.0f, 5.2f, 0.0f, 10.0f, 1.0f, 2.0f), 5.2f);
}

TEST_F(Helpers, MoveTimedBoundsAndDefaults) {
  EXPECT_FLOAT_EQ(move_toward_timed(0.5f, 0.0f, 0.0f, 1.0f, 0.0f), 0.4f);  // unit time <= 0 acts as 1
  EXPECT_FLOAT_EQ(move_toward_timed(0.5f, 1.0f, 0.0f, 1.0f, 0.5f), 0.7f);
  EXPECT_EQ(move_toward_timed(1.5f, 0.0f, 0.0f, 1.0f, 1.0f), 1.0f);   // out of range: bound, no step
  EXPECT_EQ(move_toward_timed(-0.5f, 1.0f, 0.0f, 1.0f, 1.0f), 0.0f);
  // A target past the range end may carry the value over it by less than a step.
  EXPECT_FLOAT_EQ(move_toward_timed(4.95f, 9.0f, 0.0f, 5.0f, 1.0f), 5.05f);
  EXPECT_EQ(move_toward_timed(5.05f, 9.0f, 0.0f, 5.0f, 1.0f), 5.0f);
  EXPECT_EQ(move_toward_timed(0.3f, 0.3f, 0.0f, 1.0f, 1.0f), 0.3f);
}

TEST_F(Helpers, TurnTowardHeadingGoesTheShortWay) {
  EXPECT_FLOAT_EQ(turn_toward_heading(350.0f, 10.0f, 1.0f), 352.0f);
  // Crossing north wraps into small headings.
  EXPECT_NEAR(turn_toward_heading(359.5f, 10.0f, 1.0f), 0.55f, 1e-4);
  EXPECT_FLOAT_EQ(turn_toward_heading(5.0f, 350.0f, 1.0f), 3.5f);
  EXPECT_NEAR(turn_toward_heading(1.0f, 350.0f, 1.0f), 359.9f, 1e-4);
  // Exactly opposite turns toward increasing heading, rate capped at 90 x gain.
  EXPECT_FLOAT_EQ(turn_toward_heading(10.0f, 190.0f, 1.0f), 19.0f);
  // A step reaching the target returns the target exactly.
  EXPECT_EQ(turn_toward_heading(100.0f, 101.0f, 20.0f), 101.0f);
  EXPECT_EQ(turn_toward_heading(100.0f, 99.0f, 20.0f), 99.0f);
  EXPECT_EQ(turn_toward_heading(42.0f, 42.0f, 1.0f), 42.0f);
}

TEST_F(Helpers, TurnBoundedConstantRate) {
  EXPECT_FLOAT_EQ(turn_toward_heading_bounded(358.0f, 10.0f, -1000.0f, 1000.0f, 30.0f), 1.0f);
  EXPECT_FLOAT_EQ(turn_toward_heading_bounded(2.0f, 350.0f, -1000.0f, 1000.0f, 30.0f), 359.0f);
  EXPECT_EQ(turn_toward_heading_bounded(10.0f, 11.0f, -1000.0f, 1000.0f, 30.0f), 11.0f);
  EXPECT_FLOAT_EQ(turn_toward_heading_bounded(10.0f, 20.0f, -1000.0f, 1000.0f, 0.0f), 10.1f);  // rate 0 acts as 1
  EXPECT_EQ(turn_toward_heading_bounded(400.0f, 20.0f, 0.0f, 360.0f, 30.0f), 360.0f);
  EXPECT_EQ(turn_toward_heading_bounded(-5.0f, 20.0f, 0.0f, 360.0f, 30.0f), 0.0f);
}

TEST_F(Helpers, InterpolatorsHoldEnds) {
  struct Case {
    float x, expect;
  };
  // Descending breakpoints.
  for (const Case& c : {Case{5.0f, 2.0f}, Case{11.0f, 1.0f}, Case{-1.0f, 3.0f}, Case{10.0f, 1.0f}, Case{0.0f, 3.0f}}) {
    EXPECT_FLOAT_EQ(interpolate_clamped(10.0f, 1.0f, 0.0f, 3.0f, c.x), c.expect) << c.x;
  }
  for (const Case& c : {Case{0.0f, 10.0f}, Case{2.5f, 15.0f}, Case{-1.0f, 10.0f}, Case{12.0f, 30.0f}}) {
    EXPECT_FLOAT_EQ(interpolate_clamped(0.0f, 10.0f, 10.0f, 30.0f, c.x), c.expect) << c.x;
  }
  // Equal breakpoints: below or at gives y0, above gives y1.
  EXPECT_EQ(interpolate_clamped(5.0f, 1.0f, 5.0f, 2.0f, 4.0f), 1.0f);
  EXPECT_EQ(interpolate_clamped(5.0f, 1.0f, 5.0f, 2.0f, 5.0f), 1.0f);
  EXPECT_EQ(interpolate_clamped(5.0f, 1.0f, 5.0f, 2.0f, 6.0f), 2.0f);
  EXPECT_EQ(interpolate_linear(5.0f, 1.0f, 5.0f, 2.0f, 6.0f), 0.0f);
  EXPECT_FLOAT_EQ(interpolate_linear(0.0f, 0.0f, 10.0f, 20.0f, 15.0f), 30.0f);
}

TEST_F(Helpers, ShapedInterpolationIsQuadratic) {
  // k = 2: y = y0 + (t^2 - 1) / 3 x (y1 - y0), t = 1 + (x - x0) / (x1 - x0).
  EXPECT_FLOAT_EQ(interpolate_shaped(0.0f, 0.0f, 10.0f, 30.0f, 5.0f, 2.0f), 12.5f);
  EXPECT_FLOAT_EQ(interpolate_shaped(0.0f, 0.0f, 10.0f, 30.0f, 0.0f, 2.0f), 0.0f);
  EXPECT_FLOAT_EQ(interpolate_shaped(0.0f, 0.0f, 10.0f, 30.0f, 10.0f, 2.0f), 30.0f);
  EXPECT_EQ(interpolate_shaped(0.0f, 0.0f, 10.0f, 30.0f, 11.0f, 2.0f), 30.0f);
  EXPECT_EQ(interpolate_shaped(0.0f, 0.0f, 10.0f, 30.0f, -1.0f, 2.0f), 0.0f);
  // k = 1 collapses to y0 inside the segment.
  EXPECT_EQ(interpolate_shaped(0.0f, 7.0f, 10.0f, 30.0f, 5.0f, 1.0f), 7.0f);
}

TEST_F(Helpers, RatesScaleWithFrameStep) {
  frame_time = 0.02f;
  EXPECT_FLOAT_EQ(ramp_toward(0.0f, 10.0f, -100.0f, 100.0f, 5.0f), 0.1f);
  EXPECT_FLOAT_EQ(turn_toward_heading(350.0f, 10.0f, 1.0f), 350.4f);
}

}  // namespace

namespace {

// The remainders by 360 that share a family: each keeps the behaviour its
// callers were tuned against, and the rows show where two of them part.
TEST(Angles, EachRemainderKeepsItsOwnBehaviour) {
  struct Case {
    float x;
    float mod360, mod360_nonneg, wrap360, wrap180, wrap180_nonneg;
  };
  const Case cases[] = {
      {10.0f, 10.0f, 10.0f, 10.0f, 10.0f, 10.0f},
      {370.0f, 10.0f, 10.0f, 10.0f, 10.0f, 10.0f},
      {-10.0f, -10.0f, 350.0f, 350.0f, -10.0f, -10.0f},
      {-370.0f, -10.0f, 350.0f, -10.0f, -10.0f, -10.0f},  // wrap* are for (-360, 360)
      {-730.0f, -10.0f, 350.0f, -10.0f, -10.0f, -10.0f},
      {190.0f, 190.0f, 190.0f, 190.0f, -170.0f, -170.0f},
      {-1e-6f, -1e-6f, 360.0f, 0.0f, 0.0f, 0.0f},  // 360 + x rounds to 360 in float
  };
  for (const Case& c : cases) {
    EXPECT_EQ(angle::mod360(c.x), c.mod360) << c.x;
    EXPECT_EQ(angle::mod360_nonneg(c.x), c.mod360_nonneg) << c.x;
    EXPECT_EQ(angle::wrap360(c.x), c.wrap360) << c.x;
    EXPECT_EQ(angle::wrap180(c.x), c.wrap180) << c.x;
    EXPECT_EQ(angle::wrap180_nonneg(c.x), c.wrap180_nonneg) << c.x;
  }
  // In double: the sum is not rounded to float first, and fmod's sign and
  // bits are kept.
  EXPECT_EQ(angle::rem360(-360.0), std::fmod(-360.0, 360.0));
  EXPECT_TRUE(std::signbit(angle::rem360(-360.0)));
  EXPECT_EQ(angle::wrap360_d(-1e-9), 360.0f);
  EXPECT_EQ(angle::wrap360(static_cast<float>(-1e-9)), 0.0f);
  EXPECT_EQ(angle::wrap360_d(1.0000001), static_cast<float>(1.0000001));
  EXPECT_EQ(angle::mod360_nonneg_d(-10.0), 350.0);
  EXPECT_EQ(angle::wrap180_nonneg_d(-190.0), 170.0);
  EXPECT_EQ(angle::wrap180_d(-730.0), -10.0f);
}

TEST(Flags, As01AndFiniteOr) {
  EXPECT_EQ(as01(true), 1.0f);
  EXPECT_EQ(as01(false), 0.0f);
  EXPECT_EQ(finite_or(std::numeric_limits<float>::quiet_NaN(), 2.0f), 2.0f);
  EXPECT_EQ(finite_or(-std::numeric_limits<float>::infinity(), 0.0f), 0.0f);
  EXPECT_EQ(finite_or(3.0f, 2.0f), 3.0f);
  EXPECT_EQ(finite_or(std::numeric_limits<double>::infinity(), 1.0), 1.0);
}

}  // namespace
