// Route geometry queries over hand-built routes: leg courses with the host's
// magnetic variation, the direct-to-fix cache, points back along the path,
// display routes, and index safety at and beyond the table ends.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "core/preprocess_values.h"
#include "lnav/route/route_intake.h"
#include "host.h"
#include "lnav/route/fms_legs.h"
#include "lnav/route/route_state.h"
#include "navdata/geodesy.h"
#include "navdata/nav_math.h"
#include "lnav/route/route_geometry.h"

namespace {

constexpr float kRadPerDeg = 3.14159265f / 180.0f;

void set_text(RouteText& slot, const char* s) {
  std::strncpy(slot.text, s, sizeof slot.text - 1);
  slot.text[sizeof slot.text - 1] = '\0';
}

class RouteGeometry : public ::testing::Test {
 protected:
  void SetUp() override {
    route_tables = RouteStringTables{};
    fms_seq = FmsSequenceState{};
    fms_copies = FmsRouteCopies{};
    route_change_values = RouteChangeValues{};
    route_change_values.intdir_crs = -1.0f;
    frame_flight_data = FrameFlightData{};
    first_path_leg = 0;
    path_start_leg = 0;
    for (float* a : {legs_lat, legs_lon, legs_brg_true, legs_brg_mag, legs_brg_fin_true, legs_dist, legs_radius,
                     legs_rad_lat, legs_rad_lon, legs_rad_turn, legs_crs_mag, legs_af_end, legs_bypass,
                     legs_dist_dest_true, legs_seg1_ctr_lat, legs_seg1_ctr_lon, legs_seg1_radius, legs_seg1_turn,
                     legs_seg1_end_angle, legs_seg1_start_lat, legs_seg1_start_lon, legs_seg1_end_lat,
                     legs_seg1_end_lon, legs_seg2_end_lat, legs_seg2_end_lon, legs_seg3_ctr_lat, legs_seg3_ctr_lon,
                     legs_seg3_radius, legs_seg3_turn, legs_seg3_end_angle, legs_seg3_end_lat, legs_seg3_end_lon,
                     legs_wpt_angle, legs_wpt_arc_dist, legs_seg1_dta, legs_seg1_arc_lenght, legs_seg2_distance,
                     legs_seg3_arc_lenght, legs_seg_remain_dist, legs_af_arc_dist, legs_direct}) {
      std::memset(a, 0, sizeof(float) * 256);
    }
    for (int i = 0; i < 256; ++i) {
      legs_df_crs[i] = -1.0f;
      legs_df_crs_fin[i] = -1.0f;
    }
    display_routes[0] = DisplayRoute{};
    display_routes[1] = DisplayRoute{};
    simhost::set_magnetic_variation(0.0f);
  }

  // A straight route due north along the meridian: waypoint k at latitude k.
  void straight_north_route(int n) {
    for (int k = 0; k <= n; ++k) {
      legs_lat[k] = static_cast<float>(k);
      legs_lon[k] = 0.0f;
      set_text(route_tables.waypoint_names[k], "WPT");
      set_text(route_tables.leg_path_types[k], "TF");
      legs_brg_fin_true[k] = 0.0f;
      legs_brg_true[k] = 0.0f;
    }
    for (int k = 0; k < n; ++k) legs_seg_remain_dist[k] = gc_distance_nm(k, 0.0, k + 1, 0.0);
    fms_seq.legs_num = static_cast<float>(n);
  }
};

TEST_F(RouteGeometry, CourseByLegTypeWithVariation) {
  simhost::set_magnetic_variation(10.0f);  // east: true = magnetic - 10
  legs_lat[3] = 45.0f;
  legs_lon[3] = 7.0f;
  struct Case {
    const char* type;
    float brg_mag_rad, crs_mag, brg_fin_true_rad, rad_turn;
    float expect;
  } cases[] = {
      {"CF", 90.0f * kRadPerDeg, 0.0f, 0.0f, 0.0f, 80.0f},
      {"VM", 5.0f * kRadPerDeg, 0.0f, 0.0f, 0.0f, 355.0f},
      {"FA", 180.0f * kRadPerDeg, 0.0f, 0.0f, 0.0f, 170.0f},
      {"RF", 0.0f, 200.0f, 0.0f, 0.0f, 190.0f},
      {"HM", 0.0f, 5.0f, 0.0f, 0.0f, 355.0f},
      {"PI", 0.0f, 100.0f, 0.0f, 2.0f, 225.0f},  // 90 true + 135
      {"PI", 0.0f, 100.0f, 0.0f, 0.0f, 225.0f},
      {"PI", 0.0f, 100.0f, 0.0f, 1.0f, 315.0f},  // 90 true + 225
      {"TF", 0.0f, 0.0f, 42.0f * kRadPerDeg, 0.0f, 42.0f},  // already true
  };
  for (const auto& c : cases) {
    set_text(route_tables.leg_path_types[3], c.type);
    legs_brg_mag[3] = c.brg_mag_rad;
    legs_crs_mag[3] = c.crs_mag;
    legs_brg_fin_true[3] = c.brg_fin_true_rad;
    legs_rad_turn[3] = c.rad_turn;
    EXPECT_NEAR(magvar_course(3), c.expect, 1e-3) << c.type << " turn " << c.rad_turn;
  }
}

TEST_F(RouteGeometry, ArcLegEndsOnItsTangent) {
  // Waypoint due east of the arc centre: radial 90.
  legs_lat[4] = 10.0f;
  legs_lon[4] = 1.0f;
  legs_rad_lat[4] = 10.0f;
  legs_rad_lon[4] = 0.9f;
  set_text(route_tables.leg_path_types[4], "AF");
  legs_rad_turn[4] = 1.0f;
  EXPECT_NEAR(magvar_course(4), 180.0f, 0.05);  // clockwise: heading south
  // Counter-clockwise, coded either way a left hand is: north.
  for (const float left : {2.0f, 0.0f}) {
    legs_rad_turn[4] = left;
    EXPECT_NEAR(navmath::wrap180(magvar_course(4)), 0.0f, 0.05) << left;
  }
}

TEST_F(RouteGeometry, DirectToFixCacheFilledOnceThenKept) {
  straight_north_route(4);
  set_text(route_tables.leg_path_types[3], "DF");
  legs_dist[3] = 60.0f;
  const float first = magvar_course(3);
  EXPECT_NEAR(first, 0.0f, 1e-3);
  EXPECT_NEAR(legs_df_crs[3], 0.0f, 1e-3);
  EXPECT_NEAR(legs_df_crs_fin[3], 0.0f, 1e-3);

  // Moving the previous waypoint does not change the stored course of a long leg.
  legs_lon[2] = -1.0f;
  EXPECT_EQ(magvar_course(3), first);

  // A short first leg after the runway is recomputed while no direct-to runs.
  set_text(route_tables.leg_path_types[1], "DF");
  legs_dist[1] = 2.0f;
  legs_lon[0] = 0.0f;
  (void)magvar_course(1);
  legs_lon[0] = -1.0f;  // now the leg runs north-east
  EXPECT_GT(magvar_course(1), 30.0f);
  fms_seq.intdir_act = 2.0f;
  legs_lon[0] = 1.0f;  // a direct-to is flown: the cache stays
  EXPECT_GT(magvar_course(1), 30.0f);
}

TEST_F(RouteGeometry, DirectCourseAndInterceptOverrideTheLegType) {
  straight_north_route(3);
  legs_direct[2] = 2.0f;
  legs_df_crs_fin[2] = 123.0f;
  EXPECT_EQ(magvar_course(2), 123.0f);

  // The active direct-to leg with an intercept course in use: magnetic made true.
  frame_flight_data.mag_var_deg = -5.0f;
  route_change_values.intdir_crs = 300.0f;
  fms_seq.intdir_act = 2.0f;
  fms_seq.intdir_idx = 3.0f;
  fms_seq.vnav_idx = 3.0f;
  EXPECT_FLOAT_EQ(magvar_course(2), 305.0f);
}

TEST_F(RouteGeometry, NextLegCourse) {
  simhost::set_magnetic_variation(-3.0f);
  straight_north_route(3);
  legs_brg_true[2] = 90.0f * kRadPerDeg;
  EXPECT_NEAR(magvar_course_alt(1), 90.0f, 1e-3);
  set_text(route_tables.leg_path_types[2], "PI");
  legs_crs_mag[2] = 10.0f;
  legs_rad_turn[2] = 2.0f;
  EXPECT_NEAR(magvar_course_alt(1), 328.0f, 1e-3);  // 10 + 3 + 315
  legs_rad_turn[2] = 1.0f;
  EXPECT_NEAR(magvar_course_alt(1), 58.0f, 1e-3);  // 13 + 45
  set_text(route_tables.leg_path_types[2], "DF");
  legs_df_crs[2] = 77.0f;
  EXPECT_EQ(magvar_course_alt(1), 77.0f);
}

TEST_F(RouteGeometry, OutOfRangeLegsReadAsAbsent) {
  straight_north_route(3);
  for (int32_t i : {-100, -1, 0, 4, 255, 256, 100000}) {
    nav_result.lat = 5.0;
    nav_result.lon = 5.0;
    EXPECT_EQ(leg_geometry(i, 10.0f), 0) << i;
    EXPECT_EQ(nav_result.lat, 0.0) << i;
    EXPECT_EQ(nav_result.lon, 0.0) << i;
    EXPECT_EQ(leg_seg_kind(i), 0) << i;
    EXPECT_FALSE(std::isnan(magvar_course(i))) << i;
    EXPECT_FALSE(std::isnan(magvar_course_alt(i))) << i;
  }
  // The last table slot with a route count beyond the table reads no neighbour past it.
  fms_seq.legs_num = 1000.0f;
  set_text(route_tables.leg_path_types[255], "AF");
  EXPECT_FALSE(std::isnan(magvar_course(255)));
  EXPECT_FALSE(std::isnan(magvar_course_alt(255)));
  EXPECT_GE(leg_geometry(255, 3.0f), 0);
}

TEST_F(RouteGeometry, PointsBackAlongAStraightLeg) {
  straight_north_route(3);
  struct Case {
    float d;
    int code;
    double lat;
  } cases[] = {
      {0.0f, 60, 2.0},                 // the waypoint itself
      {10.0f, 2, 2.0 - 10.0 / 60.04},  // on the leg, before the waypoint
      {59.0f, 2, 2.0 - 59.0 / 60.04},
      {100.0f, 6, 1.0},                // never past the previous waypoint
  };
  for (const auto& c : cases) {
    EXPECT_EQ(leg_geometry(2, c.d), c.code) << c.d;
    EXPECT_NEAR(nav_result.lat, c.lat, 1e-3) << c.d;
    EXPECT_NEAR(nav_result.lon, 0.0, 1e-5) << c.d;
  }
}

TEST_F(RouteGeometry, WalksBackThroughThePreviousTransition) {
  // Previous waypoint 1 with a fly-by transition: first arc, straight and
  // second arc about explicit centres; leg 2 begins after the second arc.
  straight_north_route(3);
  legs_seg1_ctr_lat[1] = 1.0f;
  legs_seg1_ctr_lon[1] = 0.05f;
  legs_seg1_radius[1] = 3.0f;
  legs_seg1_turn[1] = 1.0f;
  legs_seg1_end_angle[1] = 300.0f;
  legs_seg1_arc_lenght[1] = 2.0f;
  legs_seg1_end_lat[1] = 1.02f;
  legs_seg1_end_lon[1] = 0.01f;
  legs_seg2_end_lat[1] = 1.2f;
  legs_seg2_end_lon[1] = 0.01f;
  legs_seg2_distance[1] = gc_distance_nm(1.02, 0.01, 1.2, 0.01);
  legs_seg3_ctr_lat[1] = 1.2f;
  legs_seg3_ctr_lon[1] = -0.04f;
  legs_seg3_radius[1] = 3.0f;
  legs_seg3_turn[1] = 2.0f;
  legs_seg3_end_angle[1] = 90.0f;
  legs_seg3_arc_lenght[1] = 1.0f;
  legs_seg3_end_lat[1] = 1.21f;
  legs_seg3_end_lon[1] = 0.0f;
  legs_seg_remain_dist[1] = 40.0f;

  struct Case {
    float d;
    int code;
  } cases[] = {{39.0f, 2}, {40.5f, 3}, {41.0f + legs_seg2_distance[1] / 2.0f, 4}, {41.5f + legs_seg2_distance[1], 5},
               {45.0f + legs_seg2_distance[1], 6}};
  for (const auto& c : cases) EXPECT_EQ(leg_geometry(2, c.d), c.code) << c.d;

  // Along the straight the walk goes on backwards from where the second arc
  // began (its far end, 1.2): halfway is the midpoint, and 1.08 nm or 8.11 nm
  // into it lie that far back from 1.2, not from the straight's start.
  struct Along {
    float left_nm;
    double lat;
  } along[] = {{legs_seg2_distance[1] / 2.0f, 1.11}, {1.08f, 1.182}, {8.11f, 1.065}};
  for (const Along& a : along) {
    EXPECT_EQ(leg_geometry(2, 41.0f + a.left_nm), 4) << a.left_nm;
    EXPECT_NEAR(nav_result.lat, a.lat, 1e-3) << a.left_nm;
    EXPECT_NEAR(nav_result.lon, 0.01, 1e-4) << a.left_nm;
  }
  // On the second arc: at its radius from its centre.
  leg_geometry(2, 40.5f);
  EXPECT_NEAR(gc_distance_nm(1.2, -0.04, nav_result.lat, nav_result.lon), 3.0f, 0.01);
  // On the first arc: at its radius, turned back against the right turn from 300.
  leg_geometry(2, 41.5f + legs_seg2_distance[1]);
  EXPECT_NEAR(gc_distance_nm(1.0, 0.05, nav_result.lat, nav_result.lon), 3.0f, 0.01);
  EXPECT_NEAR(gc_bearing(1.0, 0.05, nav_result.lat, nav_result.lon), 300.0f - 0.5f / (3.0f * kRadPerDeg), 0.05);
}

TEST_F(RouteGeometry, VectorBypassAndDirectLegs) {
  straight_north_route(3);
  // After a vector leg, points run forward from the previous waypoint, at most 650 nm.
  set_text(route_tables.waypoint_names[1], "(VECTOR)");
  legs_brg_fin_true[1] = 90.0f * kRadPerDeg;
  EXPECT_EQ(leg_geometry(2, 1000.0f), 10);
  EXPECT_NEAR(gc_distance_nm(1.0, 0.0, nav_result.lat, nav_result.lon), 650.0f, 0.05);
  EXPECT_NEAR(gc_bearing(1.0, 0.0, nav_result.lat, nav_result.lon), 90.0f, 0.05);
  set_text(route_tables.waypoint_names[1], "WPT");

  // A bypassed waypoint measures from the next flown one.
  legs_bypass[2] = 1.0f;
  legs_dist_dest_true[2] = 100.0f;
  legs_dist_dest_true[3] = 90.0f;
  EXPECT_EQ(leg_geometry(2, 5.0f), 2);  // 15 nm back from waypoint 3
  EXPECT_NEAR(nav_result.lat, 3.0 - 15.0 / 60.04, 1e-3);
  legs_bypass[2] = 0.0f;

  // A leg flown as a direct course: back along the reciprocal, at most 600 nm.
  legs_direct[3] = 2.0f;
  legs_df_crs[3] = 0.0f;
  legs_seg1_start_lat[3] = 3.0f;
  EXPECT_EQ(leg_geometry(3, 30.0f), 122);
  EXPECT_NEAR(nav_result.lat, 3.0 - 30.0 / 60.04, 1e-3);
  EXPECT_EQ(leg_geometry(3, 5000.0f), 122);
  EXPECT_NEAR(gc_distance_nm(3.0, 0.0, nav_result.lat, nav_result.lon), 600.0f, 0.05);
}

TEST_F(RouteGeometry, DisplayRoutes) {
  straight_north_route(3);
  DisplayRoute& r2 = display_routes[0];
  r2.count = 3.0f;
  for (int k = 0; k <= 3; ++k) {
    r2.lat[k] = static_cast<float>(k) * 0.5f;
    r2.lon[k] = 1.0f;
  }
  // Outside 0 < k <= count: nothing.
  for (int32_t k : {0, 4, -1, 300}) {
    nav_result.lat = 7.0;
    EXPECT_EQ(point_along_leg(k, 5.0f), 0) << k;
    EXPECT_EQ(nav_result.lat, 0.0) << k;
  }
  // A plain display leg: never beyond the previous waypoint.
  EXPECT_EQ(point_along_leg(2, 500.0f), 0);
  EXPECT_NEAR(nav_result.lat, 0.5, 1e-4);
  EXPECT_NEAR(nav_result.lon, 1.0, 1e-4);
  EXPECT_EQ(point_along_leg(2, 6.0f), 0);
  EXPECT_NEAR(nav_result.lat, 1.0 - 6.0 / 60.04, 1e-3);
  // A display leg that follows main-route legs 1 -> 2 uses the main path.
  r2.main_leg[1] = 2.0f;
  r2.main_leg[2] = 3.0f;
  EXPECT_EQ(point_along_leg(2, 10.0f), 2);
  EXPECT_NEAR(nav_result.lat, 2.0 - 10.0 / 60.04, 1e-3);
  EXPECT_NEAR(nav_result.lon, 0.0, 1e-4);
  // The third route keeps its own arrays.
  EXPECT_EQ(point_along_leg_alt(2, 10.0f), 0);
  EXPECT_EQ(nav_result.lat, 0.0);
}

TEST_F(RouteGeometry, SegmentKindsAndArcAngle) {
  struct Case {
    bool seg1, seg2, seg3;
    int kind;
  } cases[] = {{false, true, true, 0}, {true, false, false, 1}, {true, true, false, 1},
               {true, false, true, 2}, {true, true, true, 3}};
  for (const auto& c : cases) {
    legs_seg1_end_lat[5] = c.seg1 ? 1.0f : 0.0f;
    legs_seg2_end_lon[5] = c.seg2 ? 1.0f : 0.0f;
    legs_seg3_end_lat[5] = c.seg3 ? 1.0f : 0.0f;
    EXPECT_EQ(leg_seg_kind(5), c.kind) << c.seg1 << c.seg2 << c.seg3;
  }
  EXPECT_EQ(arc_angle(0.0f, 5.0f), 0.0f);
  EXPECT_NEAR(arc_angle(10.0f, 15.70796f), 90.0f, 1e-3);
  EXPECT_NEAR(arc_angle(2.0f, -1.0f), -28.6479f, 1e-3);
}

}  // namespace
