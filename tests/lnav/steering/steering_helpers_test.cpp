// Intercept and arc steering helpers: limits, softening, lead, correction
// bands and the range of the commands.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "core/binding.h"
#include "core/preprocess_values.h"
#include "lnav/route/route_intake.h"
#include "lnav/steering/steering_helpers.h"
#include "navdata/air_data.h"

namespace {

constexpr float kKtPerMps = 1.94384449f;

class Steering : public ::testing::Test {
 protected:
  void SetUp() override {
    set_gs_kt(250.0f);
    frame_flight_data.mag_var_deg = 0.0f;
    frame_flight_data.alt_ft = 10000.0f;
    fms_seq = FmsSequenceState{};
    route_change_values = RouteChangeValues{};
  }
  static void set_gs_kt(float kt) { set_mirror_f(bound::sim_flightmodel_position_groundspeed, kt / kKtPerMps); }
  // The intercept angle the law starts from, before softening and limits.
  static float raw_angle(float xtrack, float bank) { return intercept_angle_for_offset(xtrack, bank, 1.2f, 87.0f); }
};

// ---- intercept of a straight course ---------------------------------------------

TEST_F(Steering, InterceptLimitKeepsAPresentTrackBetweenLimitAndWantedAngle) {
  // 5 nm left of course 090: the law wants 87 degrees toward it, limited to 35.
  ASSERT_FLOAT_EQ(raw_angle(-5.0f, 25.0f), 87.0f);
  struct Case {
    float track, expected;
  };
  const Case cases[] = {
      {130.0f, 130.0f},  // present intercept 40: between 35 and 87, kept
      {110.0f, 125.0f},  // present 20: limited to 35
      {90.0f, 125.0f},
      {176.0f, 176.0f},  // present 86
      {177.0f, 177.0f},  // present 87: still within [35, 87]
      {200.0f, 177.0f},  // present 110, past the wanted angle: 5 nm off, not softened, not limited
  };
  for (const Case& c : cases) EXPECT_FLOAT_EQ(lnav_intercept_hdg(90.0f, -5.0f, c.track, 1), c.expected) << c.track;
  // Mirror image right of course.
  EXPECT_FLOAT_EQ(lnav_intercept_hdg(90.0f, 5.0f, 50.0f, 1), 50.0f);
  EXPECT_FLOAT_EQ(lnav_intercept_hdg(90.0f, 5.0f, 80.0f, 1), 55.0f);
}

TEST_F(Steering, SofteningFactorGrowsWithTheOffsetOnEitherSide) {
  struct Case {
    float xtrack, factor;
  };
  const Case cases[] = {{0.1f, 0.8f + 0.1f * 0.2f / 0.15f}, {0.15f, 1.0f}, {0.05f, 0.8f + 0.05f * 0.2f / 0.15f}};
  for (const Case& c : cases) {
    const float a = raw_angle(c.xtrack, 25.0f);
    ASSERT_LT(a, 0.0f);
    ASSERT_GT(a, -35.0f);
    // Present track left of the wanted one: softened.
    const float track = 90.0f + a - 10.0f;
    EXPECT_NEAR(lnav_intercept_hdg(90.0f, c.xtrack, track, 1), 90.0f + a * c.factor, 1e-4f) << c.xtrack;
    // Present track right of it: the full angle.
    EXPECT_NEAR(lnav_intercept_hdg(90.0f, c.xtrack, 90.0f, 1), 90.0f + a, 1e-4f);
  }
  // Left of course the factor grows with the offset's size as on the right,
  // so the two captures are mirror images.
  for (const Case& c : cases) {
    const float a = raw_angle(-c.xtrack, 25.0f);
    EXPECT_NEAR(lnav_intercept_hdg(90.0f, -c.xtrack, 90.0f + a + 10.0f, 1), 90.0f + a * c.factor, 1e-4f) << c.xtrack;
    EXPECT_NEAR(lnav_intercept_hdg(90.0f, -c.xtrack, 90.0f + a + 10.0f, 1) - 90.0f,
                -(lnav_intercept_hdg(90.0f, c.xtrack, 90.0f - a - 10.0f, 1) - 90.0f), 1e-3f)
        << c.xtrack;
  }
}

TEST_F(Steering, InterceptBankDependsOnAltitudeAndVariationMakesItMagnetic) {
  struct Case {
    float alt_ft, bank;
  };
  for (const Case& c : {Case{19000.0f, 25.0f}, Case{19001.0f, 20.0f}, Case{35000.0f, 20.0f}}) {
    frame_flight_data.alt_ft = c.alt_ft;
    frame_flight_data.mag_var_deg = -7.0f;
    const float a = raw_angle(-0.3f, c.bank);
    ASSERT_LT(std::fabs(a), 35.0f);
    EXPECT_NEAR(lnav_intercept_hdg(45.0f, -0.3f, 45.0f - 7.0f + a - 1.0f, 1), 45.0f - 7.0f + a, 1e-4f) << c.alt_ft;
  }
  EXPECT_NE(raw_angle(-0.3f, 25.0f), raw_angle(-0.3f, 20.0f));
}

TEST_F(Steering, OffsetEntryWidensTheLimitToFortyFive) {
  struct Case {
    float seq, legs_num, act, start, end, start_t;
    int32_t plain;
    float limit;
  };
  const Case cases[] = {
      {3.0f, 10.0f, 6.0f, 2.0f, 5.0f, 1.0f, 0, 45.0f},   // leaving the offset
      {3.0f, 10.0f, 5.0f, 2.0f, 5.0f, 0.0f, 0, 45.0f},   // entering, start on the present position
      {3.5f, 10.0f, 7.0f, 2.0f, 5.0f, 1.0f, 0, 45.0f},   // within the offset legs
      {6.0f, 10.0f, 7.0f, 2.0f, 5.0f, 1.0f, 0, 35.0f},   // past them
      {3.0f, 10.0f, 6.0f, 2.0f, 5.0f, 1.0f, 1, 35.0f},   // plain form
      {3.0f, 10.0f, 4.0f, 2.0f, 5.0f, 1.0f, 0, 35.0f},   // no offset in progress
      {3.0f, 10.0f, 10.0f, 2.0f, 5.0f, 1.0f, 0, 35.0f},
      {3.0f, 10.0f, 6.0f, 0.0f, 5.0f, 1.0f, 0, 35.0f},   // no offset defined
      {10.0f, 10.0f, 6.0f, 2.0f, 5.0f, 1.0f, 0, 35.0f},  // last leg
      {0.0f, 10.0f, 6.0f, 2.0f, 5.0f, 1.0f, 0, 35.0f},
  };
  for (const Case& c : cases) {
    fms_seq.vnav_idx_seq = c.seq;
    fms_seq.legs_num = c.legs_num;
    fms_seq.legs_offset_act = c.act;
    route_change_values.legs_offset_start = c.start;
    route_change_values.legs_offset_end = c.end;
    route_change_values.legs_offset_start_t = c.start_t;
    EXPECT_FLOAT_EQ(lnav_intercept_hdg(90.0f, -5.0f, 90.0f, c.plain), 90.0f + c.limit)
        << c.seq << " " << c.act << " plain " << c.plain;
  }
}

TEST_F(Steering, InterceptSofteningUsesTheShortWayRoundNorth) {
  // Course 000, 0.1 nm right: the wanted track lies a few degrees left of
  // north. Present track 010 lies right of it, so no softening, although the
  // difference taken the long way round would say otherwise.
  const float a = raw_angle(0.1f, 25.0f);
  EXPECT_NEAR(lnav_intercept_hdg(0.0f, 0.1f, 10.0f, 1), 360.0f + a, 1e-3f);
  // Course 355 + variation 10 with no offset: 005, not 365.
  frame_flight_data.mag_var_deg = 10.0f;
  EXPECT_NEAR(lnav_intercept_hdg(355.0f, 0.0f, 5.0f, 1), 5.0f, 1e-4f);
}

// ---- arcs --------------------------------------------------------------------------

// Radius at which the arc needs `bank_deg` at `kt`.
float radius_for_bank(float kt, float bank_deg) {
  return kt * kt / (68620.0f * std::tan(bank_deg * 3.14159265f / 180.0f));
}

TEST_F(Steering, ArcLeadAndCorrectionBands) {
  // Bank above 35 degrees ("tight"): the full 20-degree lead, bands 0.1 and
  // 2 nm, full correction 60. Bank 17.5 ("wide"): lead 10, bands 0.05 and
  // 1.5 nm, full correction 35. No radius: no lead, band 1 nm, correction 35.
  // Right of the path steers back left; damped 0.7 toward the arc's own turn
  // side, 0.9 against it. Correction x 0.9 at 280 kt, x 0.8 from 420 kt.
  struct Case {
    float kt, bank, xtrack, dir, expected;
  };
  const Case cases[] = {
      {120.0f, 0.0f, 0.0f, 3.0f, 100.0f},
      {120.0f, 0.0f, 1.0f, 3.0f, 100.0f - 35.0f * 0.7f},
      {120.0f, 0.0f, 1.0f, 2.0f, 100.0f - 35.0f * 0.9f},
      {120.0f, 0.0f, -1.0f, 3.0f, 100.0f + 35.0f * 0.9f},
      {120.0f, 0.0f, -1.0f, 0.0f, 100.0f + 35.0f * 0.7f},
      {120.0f, 0.0f, 0.5f, 1.0f, 100.0f - 17.5f * 0.7f},
      {120.0f, 0.0f, 4.0f, 3.0f, 100.0f - 35.0f * 0.7f},
      {100.0f, 50.0f, 0.0f, 3.0f, 120.0f},
      {100.0f, 50.0f, 0.0f, 2.0f, 80.0f},
      {100.0f, 50.0f, 0.05f, 3.0f, 120.0f - 10.0f * 0.7f},
      {100.0f, 50.0f, 1.05f, 3.0f, 120.0f - 40.0f * 0.7f},
      {100.0f, 50.0f, 3.0f, 3.0f, 120.0f - 60.0f * 0.7f},
      {100.0f, 50.0f, -3.0f, 2.0f, 80.0f + 60.0f * 0.7f},
      {100.0f, 17.5f, 0.0f, 1.0f, 110.0f},
      {100.0f, 17.5f, 0.025f, 1.0f, 110.0f - 5.0f * 0.7f},
      {100.0f, 17.5f, 1.5f, 1.0f, 110.0f - 35.0f * 0.7f},
      {100.0f, 17.5f, -0.775f, 1.0f, 110.0f + 22.5f * 0.9f},
      {280.0f, 80.0f, 0.05f, 3.0f, 120.0f - 10.0f * 0.9f * 0.7f},
      {420.0f, 80.0f, 0.05f, 3.0f, 120.0f - 10.0f * 0.8f * 0.7f},
      {500.0f, 80.0f, 0.05f, 3.0f, 120.0f - 10.0f * 0.8f * 0.7f},
  };
  for (const Case& c : cases) {
    set_gs_kt(c.kt);
    const float r = c.bank == 0.0f ? 0.0f : radius_for_bank(c.kt, c.bank);
    EXPECT_NEAR(arc_steer(100.0f, c.xtrack, r, c.dir), c.expected, 2e-3f)
        << c.kt << " kt, bank " << c.bank << ", " << c.xtrack << " nm, dir " << c.dir;
  }
}

TEST_F(Steering, ArcFallbackDirectionAndRange) {
  set_gs_kt(100.0f);
  const float tight = radius_for_bank(100.0f, 50.0f);
  EXPECT_NEAR(arc_steer2(100.0f, 0.0f, tight, -1.0f, 2.0f), 80.0f, 1e-3f);
  EXPECT_NEAR(arc_steer2(100.0f, 0.0f, tight, -1.0f, 3.0f), 120.0f, 1e-3f);
  EXPECT_NEAR(arc_steer2(100.0f, 0.0f, tight, 3.0f, 2.0f), 120.0f, 1e-3f);
  EXPECT_NEAR(arc_steer(100.0f, 0.0f, tight, -1.0f), 120.0f, 1e-3f);  // -1 alone turns right
  // Sums below 0 come back into [0, 360); so do sums of 360 and more.
  EXPECT_NEAR(arc_steer(0.0f, 0.0f, tight, 2.0f), 340.0f, 1e-3f);
  EXPECT_NEAR(arc_steer(10.0f, 3.0f, tight, 2.0f), 10.0f - 20.0f - 60.0f * 0.9f + 360.0f, 1e-3f);
  EXPECT_NEAR(arc_steer(350.0f, 0.0f, tight, 3.0f), 10.0f, 1e-3f);
  EXPECT_NEAR(arc_steer(359.0f, -3.0f, tight, 3.0f), 359.0f + 20.0f + 54.0f - 360.0f, 1e-3f);
}

TEST_F(Steering, NonFiniteInputsGiveAUsableCommand) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  for (float bad : {nan, inf, -inf}) {
    for (float h : {lnav_intercept_hdg(90.0f, bad, 80.0f, 0), lnav_intercept_hdg(bad, 1.0f, 80.0f, 0),
                    lnav_intercept_hdg(90.0f, 1.0f, bad, 0), lnav_intercept_hdg(bad, bad, bad, 0),
                    arc_steer(90.0f, bad, 2.0f, 3.0f), arc_steer(90.0f, 1.0f, bad, 3.0f), arc_steer(bad, 1.0f, 2.0f, 3.0f),
                    arc_steer(1e30f, 1.0f, 2.0f, 3.0f), arc_steer2(90.0f, 1.0f, 2.0f, -1.0f, bad)}) {
      EXPECT_TRUE(std::isfinite(h));
      EXPECT_GE(h, 0.0f);
      EXPECT_LT(h, 360.0f);
    }
  }
  set_mirror_f(bound::sim_flightmodel_position_groundspeed, nan);
  EXPECT_TRUE(std::isfinite(arc_steer(90.0f, 1.0f, 2.0f, 3.0f)));
}

}  // namespace
