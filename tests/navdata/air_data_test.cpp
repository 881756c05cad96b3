// Air-data conversions, the speed step and the intercept-angle law.
#include <gtest/gtest.h>

#include <cmath>

#include "core/binding.h"
#include "navdata/air_data.h"

namespace {

TEST(TasFromSpeed, IasMachAndColdFallback) {
  struct Case {
    float speed, alt, expect, tol;
  } cases[] = {
      {250.0f, 10000.0f, 300.0f, 0.0f},                                   // 2 % per 1,000 ft
      {250.0f, 0.0f, 250.0f, 0.0f},
      {0.78f, 35000.0f, static_cast<float>(0.78 * 39.0 * std::sqrt(218.15)), 0.01f},
      {0.5f, 0.0f, static_cast<float>(0.5 * 39.0 * std::sqrt(288.15)), 0.01f},
      {250.0f, 200000.0f, 145.0f, 0.0f},  // model temperature below absolute zero
      {0.8f, 200000.0f, 145.0f, 0.0f},
  };
  for (const auto& c : cases) {
    EXPECT_NEAR(tas_from_speed(c.speed, c.alt), c.expect, c.tol) << c.speed << " at " << c.alt;
  }
  EXPECT_NEAR(tas_from_mach(0.78f, 35000.0f), 0.78 * 39.0 * std::sqrt(218.15), 0.01);
  EXPECT_FALSE(std::isnan(tas_from_mach(0.78f, 200000.0f)));
}

TEST(SpeedStep, CapsLimitsAndStops) {
  struct Case {
    const char* what;
    float current_tas, target, limit, alt, step, expect, tol;
  } cases[] = {
      // Already at the capped Mach's true airspeed: Mach 0.85 is held to 0.82.
      {"mach cap", tas_from_mach(0.82f, 35000.0f), 0.85f, 0.0f, 35000.0f, 10.0f, 0.82f, 0.0f},
      // A step past the target stops there: 260 IAS at 10,000 ft is 312 TAS.
      {"no overshoot", 300.0f, 260.0f, 0.0f, 10000.0f, 12.8f, 260.0f, 0.01f},
      {"no overshoot down", 330.0f, 260.0f, 0.0f, 10000.0f, 12.8f, 260.0f, 0.01f},
      // Small step: 0.128 adds 1 kt of true airspeed.
      {"small step", 300.0f, 280.0f, 0.0f, 10000.0f, 0.128f, 301.0f / 1.2f, 0.01f},
      // A current speed of 0 starts from 145.
      {"from zero", 0.0f, 250.0f, 0.0f, 0.0f, 0.128f, 146.0f, 0.01f},
      // The limit wins over a higher target; a limit of 0 means 340.
      {"limit", 250.0f, 300.0f, 250.0f, 0.0f, 0.0f, 250.0f, 0.0f},
      {"zero limit", 340.0f, 400.0f, 0.0f, 0.0f, 0.0f, 340.0f, 0.0f},
      // Never below 145 kt indicated.
      {"floor", 150.0f, 120.0f, 0.0f, 0.0f, 12.8f, 145.0f, 0.0f},
      // A true airspeed above Mach 0.82 comes back as Mach 0.82.
      {"high mach", 480.0f, 300.0f, 0.0f, 35000.0f, 0.0f, 0.82f, 0.0f},
      // A step that reaches its target gives the target back as given: in
      // cruise at 458 kt true, Mach 0.82 and the indicated speed of the same
      // true airspeed stay what they are instead of turning into each other
      // every frame.
      {"reached mach", 458.0f, 0.82f, 0.0f, 35000.0f, 10.0f, 0.82f, 0.0f},
      {"reached ias at the cap", 458.0f, 277.847931f, 0.0f, 35000.0f, 10.0f, 277.847931f, 0.0f},
  };
  for (const auto& c : cases) {
    EXPECT_NEAR(speed_step(c.current_tas, c.target, c.limit, c.alt, c.step), c.expect, c.tol) << c.what;
  }
}

TEST(PressureAltitude, StandardAtmosphereRoundTrip) {
  EXPECT_NEAR(pressure_altitude_ft(14.696f), 0.0f, 5.0f);
  EXPECT_EQ(pressure_altitude_ft(0.0f), 0.0f);
  EXPECT_EQ(pressure_altitude_ft(-3.0f), 0.0f);
  EXPECT_EQ(pressure_altitude_ft(NAN), 0.0f);
  for (float h : {1000.0f, 5000.0f, 10000.0f, 25000.0f, 41000.0f}) {
    const double p = 1013.25 * std::pow(1.0 - 6.8755856e-6 * h, 5.2558797) / 68.9475729;
    EXPECT_NEAR(pressure_altitude_ft(static_cast<float>(p)), h, 2.0f) << h;
  }
}

// Worked values of the law at the slowest ground speed (148 kt, a turn
// radius of 0.685 nm at 25 degrees of bank), one per shaping band: the
// tangent shaping below 15 degrees, the 1.27 factor falling by 0.27 over
// 15 to 25, the gain ramp from 10 to 30, and the blend up to x = 0.7.
TEST(InterceptAngle, WorkedValuesAcrossTheBands) {
  set_mirror_f(bound::sim_flightmodel_position_groundspeed, 0.0f);
  struct Case {
    float offset, gain, max_angle, angle;
  } cases[] = {
      {0.05f, 0.8f, 45.0f, -3.5701f},   // asin 4.2 deg
      {0.1f, 0.8f, 45.0f, -7.5038f},    // 8.4
      {0.2f, 0.8f, 45.0f, -17.2033f},   // 17.0
      {0.25f, 0.8f, 45.0f, -20.7778f},  // 21.4
      {0.3f, 0.8f, 45.0f, -24.7749f},   // 26.0
      {-0.3f, 0.8f, 45.0f, 24.7749f},
      {0.45f, 0.8f, 45.0f, -41.0911f},  // 41.1, x 0.657: still blended
      {0.6f, 0.8f, 45.0f, -45.0f},      // x 0.876: the unshaped angle, capped
      {0.1f, 0.5f, 30.0f, -4.6899f},
      {0.2f, 0.5f, 30.0f, -13.8058f},
      {0.25f, 0.5f, 30.0f, -17.6922f},
  };
  for (const auto& c : cases) {
    EXPECT_NEAR(intercept_angle_for_offset(c.offset, 25.0f, c.gain, c.max_angle), c.angle, 2e-3f)
        << c.offset << " gain " << c.gain;
  }
  // Faster over the ground the radius grows and the same offset asks less.
  set_mirror_f(bound::sim_flightmodel_position_groundspeed, 150.0f);
  EXPECT_NEAR(intercept_angle_for_offset(0.3f, 25.0f, 0.8f, 45.0f), -5.2839f, 2e-3f);
}

TEST(InterceptAngle, SignLimitsAndBlend) {
  // Slowest ground speed the law uses: 71 m/s.
  set_mirror_f(bound::sim_flightmodel_position_groundspeed, 0.0f);
  struct Case {
    float offset;
    float lo, hi;
  } cases[] = {
      {0.0f, 0.0f, 0.0f},
      {50.0f, -30.0f, -30.0f},   // beyond the turn radius: the maximum, against the offset
      {-50.0f, 30.0f, 30.0f},
      {0.2f, -30.0f, -0.01f},    // small offsets: a correction back toward the path
      {-0.2f, 0.01f, 30.0f},
  };
  for (const auto& c : cases) {
    const float a = intercept_angle_for_offset(c.offset, 25.0f, 0.8f, 30.0f);
    EXPECT_GE(a, c.lo) << c.offset;
    EXPECT_LE(a, c.hi) << c.offset;
    EXPECT_EQ(turn_radius_for_speed(c.offset, 25.0f, 0.8f, 30.0f), a);
  }
  // Grows with the offset up to the limit, and stays a number for any bank.
  float last = 0.0f;
  for (float off = 0.05f; off < 3.0f; off += 0.05f) {
    const float a = -intercept_angle_for_offset(off, 25.0f, 0.8f, 45.0f);
    EXPECT_GE(a, last - 1e-3f) << off;
    last = a;
  }
  for (float bank : {-30.0f, 0.0f, 89.0f, 90.0f}) {
    EXPECT_FALSE(std::isnan(intercept_angle_for_offset(5.0f, bank, 0.8f, 30.0f))) << bank;
  }
}

}  // namespace
