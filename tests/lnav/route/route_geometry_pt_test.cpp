// Points back along a procedure-turn leg: every point lies on the piece its
// code names (on the turn circle for arcs, between the corners for
// straights), the walk is continuous across the pieces, piece boundaries fall
// on the corner points, and a leg without a laid-out turn reads as its fix.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "core/binding.h"
#include "lnav/route/hold_geometry.h"
#include "core/preprocess_values.h"
#include "lnav/route/route_intake.h"
#include "host.h"
#include "lnav/route/fms_legs.h"
#include "lnav/route/route_state.h"
#include "navdata/geodesy.h"
#include "lnav/route/route_geometry.h"

namespace {

constexpr int kLeg = 5;

void set_text(RouteText& slot, const char* s) {
  std::strncpy(slot.text, s, sizeof slot.text - 1);
  slot.text[sizeof slot.text - 1] = '\0';
}

struct Fix {
  float lat, lon, crs_mag, rad_turn;
};

class ProcTurnWalk : public ::testing::TestWithParam<Fix> {
 protected:
  void SetUp() override {
    route_tables = RouteStringTables{};
    fms_seq = FmsSequenceState{};
    route_change_values = RouteChangeValues{};
    route_change_values.intdir_crs = -1.0f;
    host_mirror = HostMirror{};
    proc_turn = ProcTurnArrays{};
    for (float* a : {legs_lat, legs_lon, legs_crs_mag, legs_rad_turn, legs_bypass, legs_direct, legs_wpt_arc_dist,
                     legs_seg1_ctr_lat, legs_seg1_ctr_lon, legs_seg1_radius, legs_seg1_turn}) {
      std::memset(a, 0, sizeof(float) * 256);
    }
    simhost::set_magnetic_variation(4.0f);
    for (int k = 0; k <= kLeg + 1; ++k) set_text(route_tables.leg_path_types[k], "TF");
    set_text(route_tables.leg_path_types[kLeg], "PI");
    const Fix f = GetParam();
    legs_lat[kLeg] = f.lat;
    legs_lon[kLeg] = f.lon;
    legs_lat[kLeg - 1] = f.lat - 0.5f;
    legs_lon[kLeg - 1] = f.lon;
    legs_crs_mag[kLeg] = f.crs_mag;
    legs_rad_turn[kLeg] = f.rad_turn;
    fms_seq.legs_num = kLeg + 1.0f;
    fms_seq.vnav_idx = 2.0f;
    host_mirror.sim_flightmodel_position_groundspeed = 95.0f;
    compute_proc_turn(kLeg);
  }

  double fix_lat() const { return legs_lat[kLeg]; }
  double fix_lon() const { return legs_lon[kLeg]; }
};

double dist(double la1, double lo1, double la2, double lo2) { return gc_distance_nm(la1, lo1, la2, lo2); }

// How far the result point lies off the piece its code names: off the circle
// for a turn, off the straight between its two corners for a straight.
double off_piece(int code) {
  const ProcTurnArrays& p = proc_turn;
  const double la = nav_result.lat, lo = nav_result.lon;
  const double r = p.pi_radius[kLeg];
  auto off_line = [&](double a_lat, double a_lon, double b_lat, double b_lon) {
    return dist(a_lat, a_lon, la, lo) + dist(la, lo, b_lat, b_lon) - dist(a_lat, a_lon, b_lat, b_lon);
  };
  switch (code) {
    case 57: return off_line(legs_lat[kLeg], legs_lon[kLeg], p.pi_p8_lat[kLeg], p.pi_p8_lon[kLeg]);
    case 56: return std::fabs(dist(p.pi_x_lat[kLeg], p.pi_x_lon[kLeg], la, lo) - r);
    case 55: return off_line(p.pi_p7_lat[kLeg], p.pi_p7_lon[kLeg], p.pi_p6_lat[kLeg], p.pi_p6_lon[kLeg]);
    case 54: return std::fabs(dist(p.pi_p5_lat[kLeg], p.pi_p5_lon[kLeg], la, lo) - r);
    case 53: return off_line(p.pi_p4_lat[kLeg], p.pi_p4_lon[kLeg], p.pi_p3_lat[kLeg], p.pi_p3_lon[kLeg]);
    case 52: return std::fabs(dist(p.pi_p2_lat[kLeg], p.pi_p2_lon[kLeg], la, lo) - r);
    case 51: return off_line(p.pi_p1_lat[kLeg], p.pi_p1_lon[kLeg], legs_lat[kLeg], legs_lon[kLeg]);
    case 50: return dist(legs_lat[kLeg], legs_lon[kLeg], la, lo);
    default: return 1e9;
  }
}

TEST_P(ProcTurnWalk, EveryPointLiesOnItsPieceAndTheWalkIsContinuous) {
  const float total = proc_turn.pi_lenght[kLeg];
  ASSERT_GT(total, 10.0f);
  const std::vector<int> order = {57, 56, 55, 54, 53, 52, 51, 50};
  size_t at = 0;
  double prev_lat = fix_lat(), prev_lon = fix_lon();
  const float step = 0.05f;
  for (float d = step; d < total + 2.0f; d += step) {
    const int code = leg_geometry(kLeg, d);
    ASSERT_TRUE(std::isfinite(nav_result.lat) && std::isfinite(nav_result.lon));
    while (at < order.size() && order[at] != code) ++at;
    ASSERT_LT(at, order.size()) << "code " << code << " out of order at d = " << d;
    EXPECT_LT(off_piece(code), 0.01) << "code " << code << " at d = " << d;
    // A step back along the path never moves the point further than the step.
    EXPECT_LT(dist(prev_lat, prev_lon, nav_result.lat, nav_result.lon), step + 0.01) << "d = " << d;
    prev_lat = nav_result.lat;
    prev_lon = nav_result.lon;
  }
  EXPECT_EQ(order[at], 50);
}

TEST_P(ProcTurnWalk, PieceBoundariesFallOnTheCorners) {
  const ProcTurnArrays& p = proc_turn;
  struct Case {
    float d;
    int code;
    float lat, lon;
  };
  float d = p.pi_last_dist[kLeg];
  std::vector<Case> cases;
  cases.push_back({d, 56, p.pi_p8_lat[kLeg], p.pi_p8_lon[kLeg]});
  d += p.pi_arc1[kLeg];
  cases.push_back({d, 55, p.pi_p7_lat[kLeg], p.pi_p7_lon[kLeg]});
  d += p.pi_fg_dist[kLeg];
  cases.push_back({d, 54, p.pi_p6_lat[kLeg], p.pi_p6_lon[kLeg]});
  d += p.pi_arc2[kLeg];
  cases.push_back({d, 53, p.pi_p4_lat[kLeg], p.pi_p4_lon[kLeg]});
  d += p.pi_leg2_dist[kLeg];
  cases.push_back({d, 52, p.pi_p3_lat[kLeg], p.pi_p3_lon[kLeg]});
  d += p.pi_arc1[kLeg];
  cases.push_back({d, 51, p.pi_p1_lat[kLeg], p.pi_p1_lon[kLeg]});
  d += p.pi_out_dist[kLeg];
  cases.push_back({d, 50, legs_lat[kLeg], legs_lon[kLeg]});
  EXPECT_NEAR(d, p.pi_lenght[kLeg], 1e-3);
  for (const Case& c : cases) {
    // Just past the boundary: the sums above round differently from the walk.
    EXPECT_EQ(leg_geometry(kLeg, c.d + 1e-3f), c.code) << c.d;
    EXPECT_LT(dist(c.lat, c.lon, nav_result.lat, nav_result.lon), 0.01) << "code " << c.code;
  }
}

TEST_P(ProcTurnWalk, EntryArcFirstThenTheTurnFromTheFix) {
  // A fly-by arc ends 1 nm past the fix: it is walked first, the turn after it.
  legs_wpt_arc_dist[kLeg] = 1.0f;
  legs_wpt_angle[kLeg] = 90.0f;
  legs_seg1_ctr_lat[kLeg] = legs_lat[kLeg];
  legs_seg1_ctr_lon[kLeg] = legs_lon[kLeg] - 0.05f;
  legs_seg1_radius[kLeg] = 2.0f;
  legs_seg1_turn[kLeg] = 1.0f;
  EXPECT_EQ(leg_geometry(kLeg, 0.5f), 50);
  EXPECT_NEAR(dist(legs_seg1_ctr_lat[kLeg], legs_seg1_ctr_lon[kLeg], nav_result.lat, nav_result.lon), 2.0, 0.01);
  EXPECT_EQ(leg_geometry(kLeg, 1.3f), 57);
  EXPECT_NEAR(dist(fix_lat(), fix_lon(), nav_result.lat, nav_result.lon), 0.3, 0.01);
}

TEST_P(ProcTurnWalk, WithoutALaidOutTurnThePointIsTheFix) {
  clear_proc_turn(kLeg);
  for (float d : {0.5f, 3.0f, 40.0f}) {
    EXPECT_EQ(leg_geometry(kLeg, d), 50) << d;
    EXPECT_NEAR(nav_result.lat, fix_lat(), 1e-6);
    EXPECT_NEAR(nav_result.lon, fix_lon(), 1e-6);
  }
}

INSTANTIATE_TEST_SUITE_P(Fixes, ProcTurnWalk,
                         ::testing::Values(Fix{47.5f, -122.3f, 160.0f, 0.0f}, Fix{47.5f, -122.3f, 160.0f, 1.0f},
                                           Fix{-33.9f, 151.2f, 20.0f, 2.0f}, Fix{-33.9f, 151.2f, 290.0f, 3.0f},
                                           Fix{64.0f, 179.98f, 355.0f, 0.0f}));

}  // namespace
