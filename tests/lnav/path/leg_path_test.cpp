// The leg path builder: valid-leg walk, path reset, turn speed, transition
// construction, the builder's pass (skips, classes, floating legs, DF
// bypass, true distances) and properties of whole generated routes.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "core/binding.h"
#include "platform/xplm.h"
#include "lnav/path/leg_path.h"
#include "lnav/route_fixture.h"
#include "host.h"

using namespace lnav_fixture;

namespace {

class LegPath : public ::testing::Test {
 protected:
  void SetUp() override {
    simhost::reset(simhost::Config{});
    clear_route();
    frame_flight_data = FrameFlightData{};
    host_mirror.sim_flightmodel_position_groundspeed = 0.0f;
    host_mirror.sim_flightmodel_position_latitude = host_mirror.sim_flightmodel_position_longitude = 0.0;
  }
  // The pass at leg 1 toward leg 2, heading east with the next leg 45 degrees left.
  static void pass_turning_left_at_leg_1() {
    leg_pass = LegPassFrame{};
    leg_pass.i = 1;
    leg_pass.j = 2;
    leg_pass.xact_crs = 90.0f;
    leg_pass.xnext_rel_brg = -45.0f;
    leg_pass.xabs_next_rel_brg = 45.0f;
  }
};

const double kSquare[][2] = {{0.0, 0.0}, {0.0, 1.0}, {1.0, 1.0}, {1.0, 2.0}, {2.0, 2.0}};

TEST_F(LegPath, PrevValidLegWalksBackOverBypassedLegs) {
  make_route(kSquare, 5);
  fms_seq.legs_num = 10.0f;
  first_path_leg = 1;
  struct Case {
    int leg;
    int bypass_from, bypass_to;  // legs marked 1.0
    int direct;                  // leg with a direct flag, -1 none
    int expect;
  } cases[] = {
      {0, 0, -1, -1, 0},   {3, 0, -1, -1, 2},  {1, 0, -1, -1, -1},  // first path leg has none before it
      {5, 3, 4, -1, 2},    {4, 1, 3, -1, -1},  // the run passes below the first path leg
      {4, 0, -1, 4, -1},   {5, 4, 4, 4, -1},   // a direct-to leg is left
  };
  for (const Case& c : cases) {
    for (int k = 0; k < 256; ++k) legs_bypass[k] = legs_direct[k] = 0.0f;
    for (int k = c.bypass_from; k <= c.bypass_to; ++k) legs_bypass[k] = 1.0f;
    if (c.direct >= 0) legs_direct[c.direct] = 1.0f;
    EXPECT_EQ(prev_valid_leg(c.leg), c.expect) << "leg " << c.leg;
  }
  // A run reaching leg 0 stops there; results above legs_num are clamped.
  first_path_leg = 0;
  for (int k = 0; k < 256; ++k) legs_bypass[k] = legs_direct[k] = 0.0f;
  legs_bypass[0] = legs_bypass[1] = 1.0f;
  EXPECT_EQ(prev_valid_leg(2), 0);
  fms_seq.legs_num = 3.0f;
  EXPECT_EQ(prev_valid_leg(9), 3);
  EXPECT_EQ(prev_valid_leg(100000), 3);
}

TEST_F(LegPath, ResetKeepsTurnCentreAndClearsOnlyInsideTables) {
  make_route(kSquare, 5);
  legs_radii_ctr_lat[2] = 7.0f;
  legs_turn[2] = 3.0f;
  legs_seg1_radius[2] = 2.0f;
  legs_af_beg[3] = 45.0f;
  legs_seg1_start_lat[2] = 9.0f;
  reset_leg_path(2, 0);
  EXPECT_EQ(legs_radii_ctr_lat[2], 7.0f);
  EXPECT_EQ(legs_turn[2], 3.0f);
  EXPECT_EQ(legs_seg1_radius[2], 0.0f);
  EXPECT_EQ(legs_af_beg[3], 0.0f);
  EXPECT_EQ(legs_seg1_start_lat[2], legs_lat[2]);
  reset_leg_path(255, 0);   // no slot 256 touched
  reset_leg_path(-3, 0);
  reset_leg_path(4000, 0);

  dir_start_lat = 12.5f;
  dir_seg2_crs_true = 33.0f;
  dir_seg1_end_lat = 1.0f;
  reset_leg_path(0, 1);
  EXPECT_EQ(dir_seg1_start_lat, 12.5f);
  EXPECT_EQ(dir_seg2_crs_true, 33.0f);
  EXPECT_EQ(dir_seg_count(), 0);
}

TEST_F(LegPath, TurnSpeedFromPrediction) {
  make_route(kSquare, 5);
  fms_seq.vnav_idx = 3.0f;  // leg 2 is flown
  host_mirror.sim_flightmodel_position_groundspeed = 100.0f;  // 194.4 kt
  struct Case {
    int leg;
    float spd, next_spd;
    float expect;
  } cases[] = {
      {1, 0.0f, 0.0f, 145.0f},             // no prediction, not flown
      {2, 0.0f, 0.0f, 194.384449f},        // flown: ground speed
      {1, 250.0f, 200.0f, 275.0f},         // slower next leg: own TAS at 5000 ft
      {1, 250.0f, 0.0f, 275.0f},
      {1, 120.0f, 0.0f, 145.0f},           // floor
  };
  for (const Case& c : cases) {
    legs_spd_calc[c.leg] = c.spd;
    legs_spd_calc[c.leg + 1] = c.next_spd;
    EXPECT_NEAR(leg_turn_speed(c.leg, 90.0f, 20.0f), c.expect, 0.01f) << c.leg << " " << c.spd;
  }
  // A faster next leg raises the speed by one knot per 0.128 nm of the turn's
  // arc at 1.1 times its radius, never above that leg's TAS (330 kt).
  legs_spd_calc[1] = 250.0f;
  legs_spd_calc[2] = 300.0f;
  const double arc_nm = turn_radius_nm(20.0f, 275.0f) * 1.1 * 3.14159265 / 2.0;
  EXPECT_NEAR(leg_turn_speed(1, 90.0f, 20.0f), 275.0 + arc_nm / 0.128, 0.05);
  EXPECT_NEAR(leg_turn_speed(1, -90.0f, 20.0f), 275.0 + arc_nm / 0.128, 0.05);  // left: the same gain
  EXPECT_NEAR(leg_turn_speed(1, 180.0f, 20.0f), 330.0f, 0.01f);
  EXPECT_NEAR(leg_turn_speed(255, 90.0f, 20.0f), 275.0f, 0.01f);  // no next leg: its own TAS
  EXPECT_EQ(leg_turn_speed(-1, 90.0f, 20.0f), 145.0f);
}

TEST_F(LegPath, TurnCentreStraightBelowFiveDegreesAndQuarterCircle) {
  make_route(kSquare, 5);
  legs_seg_remain_dist[0] = 50.0f;
  EXPECT_EQ(calc_turn_center(0.0, 1.0, 90.0f, 1.0, 1.1, 94.9f, 2.0f, 2.0f, 3, 0, 1, false), 0);
  EXPECT_EQ(turn_center_result.seg1_radius, 0.0f);
  EXPECT_EQ(turn_center_result.seg_remain_dist, legs_dist[2]);
  EXPECT_EQ(turn_center_result.seg1_start_lon, legs_lon[1]);

  // 90 degrees left, heading east then north, waypoint (0, 1), next 60 nm north.
  ASSERT_EQ(calc_turn_center(0.0, 1.0, 90.0f, 1.0, 1.0, 0.0f, 3.0f, 3.0f, 2, 0, 1, false), 0);
  const TurnCenterResult& r = turn_center_result;
  EXPECT_NEAR(r.seg1_arc_lenght, 3.0 * 3.14159265 / 2.0, 0.01);
  EXPECT_NEAR(gc_distance_nm(r.seg1_ctr_lat, r.seg1_ctr_lon, r.seg1_start_lat, r.seg1_start_lon), 3.0, 0.01);
  EXPECT_NEAR(gc_distance_nm(r.seg1_ctr_lat, r.seg1_ctr_lon, r.seg1_end_lat, r.seg1_end_lon), 3.0, 0.01);
  EXPECT_NEAR(r.seg1_end_lon, 1.0, 0.001);  // on the outbound course
  EXPECT_NEAR(r.seg1_ctr_lat, 3.0 / 60.0, 0.002);  // left of the inbound course
  EXPECT_EQ(r.seg3_end_lat, 0.0);
  EXPECT_EQ(r.seg2_end_lat, 0.0);
  EXPECT_EQ(r.seg1_turn, 2);
  // A leg outside the tables is rejected.
  EXPECT_EQ(calc_turn_center(0.0, 1.0, 90.0f, 1.0, 1.0, 0.0f, 3.0f, 3.0f, 2, 0, 300, false), 1);
}

// A route W0 -> W1 -> W2 with a course change of `change` degrees at W1.
void make_turn(double change) {
  const double d2r = 3.14159265358979 / 180.0;
  const double pts[][2] = {{0.0, 0.0},
                           {0.0, 0.5},
                           {0.5 * std::cos((90.0 + change) * d2r), 0.5 + 0.5 * std::sin((90.0 + change) * d2r)},
                           {2.0, 3.0}};
  make_route(pts, 4);
  legs_brg_fin_true[1] = static_cast<float>(90.0 * d2r);
  legs_brg_true[2] = static_cast<float>((90.0 + change) * d2r);
}

TEST_F(LegPath, SmallCourseChangesAreFlownOver) {
  make_turn(4.9);
  EXPECT_EQ(calc_legs_path(1, 0), 2);
  EXPECT_EQ(leg_pass.enable_calc_turn, 0);
  EXPECT_EQ(legs_radii_radius[1], 0.0f);
  EXPECT_EQ(legs_seg_remain_dist[1], legs_dist[2]);
  make_turn(5.0);
  EXPECT_EQ(calc_legs_path(1, 0), 2);
  EXPECT_EQ(leg_pass.enable_calc_turn, 5);
  EXPECT_GT(legs_radii_radius[1], 0.0f);
}

// Waypoints passed by on a cut leg share its distance in flight order: each
// gets its distance from the one before, and what is left stays with the
// next flown waypoint, so the sum is the cut leg's distance.
TEST_F(LegPath, PassedByWaypointsShareTheCutLeg) {
  const double pts[][2] = {{0.0, 0.0}, {0.0, 1.0}, {0.0, 2.0}, {0.0, 3.0}, {0.0, 4.0}, {0.0, 5.0}};
  make_route(pts, 6);
  build_route();
  const float leg_nm = gc_distance_nm(0.0, 1.0, 0.0, 2.0);
  legs_bypass[2] = legs_bypass[3] = 1.0f;
  const float cut = gc_distance_nm(0.0, 1.0, 0.0, 4.0);
  legs_dist_true[4] = cut;
  bp_true_distance(2, 1, 4);
  bp_true_distance(3, 1, 4);
  EXPECT_NEAR(legs_dist_true[2], leg_nm, 0.01f);
  EXPECT_NEAR(legs_dist_true[3], leg_nm, 0.01f);
  EXPECT_NEAR(legs_dist_true[4], leg_nm, 0.01f);
  EXPECT_NEAR(legs_dist_true[2] + legs_dist_true[3] + legs_dist_true[4], cut, 0.01f);
  // A passed-by waypoint beyond the next flown one gets no share.
  legs_dist_true[4] = cut;
  bp_true_distance(5, 1, 4);
  EXPECT_EQ(legs_dist_true[5], 0.0f);
  EXPECT_EQ(legs_dist_true[4], cut);
  // Passed by inside the turn at W1, abeam the turn's part before W1's radial.
  const double inside[][2] = {{0.0, 0.0}, {0.0, 1.0}, {-0.0177, 0.9823}, {-0.25, 1.0}, {0.0, 4.0}};
  make_route(inside, 5);
  build_route();
  ASSERT_EQ(legs_bypass[2], 1.0f);
  const float turn_cut = legs_dist_true[3];
  bp_true_distance(2, 1, 3);
  EXPECT_NEAR(legs_dist_true[2], 1.28f, 0.01f);
  EXPECT_NEAR(legs_dist_true[2] + legs_dist_true[3], turn_cut, 1e-4f);
}

TEST_F(LegPath, TurnAtLowAltitudeBanks22Degrees) {
  make_turn(60.0);
  calc_legs_path(0, 0);  // the straight before W1 comes from W0's transition
  calc_legs_path(1, 0);
  // 250 kt at 5000 ft is 275 kt true: radius 275^2 / (tan 22 x 68620).
  const double r = 275.0 * 275.0 / (std::tan(22.0 * 3.14159265 / 180.0) * 68620.0);
  EXPECT_NEAR(legs_seg1_radius[1], r, 0.01);
  EXPECT_NEAR(legs_seg1_dta[1], r * std::tan(30.0 * 3.14159265 / 180.0), 0.01);
  EXPECT_EQ(legs_turn[1], 3.0f);  // right: east to south-east
  EXPECT_EQ(legs_bypass[2], 0.0f);
}

TEST_F(LegPath, SkipsAroundDiscontinuityAndLastWaypoint) {
  make_route(kSquare, 5);
  set_text(route_tables.waypoint_names[2], "DISCONTINUITY");
  legs_bypass[2] = 1.0f;
  EXPECT_EQ(calc_legs_path(1, 0), 2);
  EXPECT_EQ(legs_seg_remain_dist[1], legs_dist[2]);
  EXPECT_EQ(legs_bypass[2], 0.0f);
  EXPECT_EQ(legs_radii_radius[1], 0.0f);
  // The last computed waypoint is always skipped.
  make_route(kSquare, 5);
  EXPECT_EQ(calc_legs_path(3, 0), 4);
  EXPECT_EQ(legs_seg_remain_dist[3], legs_dist[4]);
  // Indices outside the tables advance without touching anything.
  EXPECT_EQ(calc_legs_path(255, 0), 256);
  EXPECT_EQ(calc_legs_path(70000, 0), 70001);
  EXPECT_EQ(calc_legs_path(-5, 0), 0);
}

TEST_F(LegPath, VectorAfterInterceptIsComputedAfterTrackToFixSkipped) {
  make_route(kSquare, 5);
  set_text(route_tables.waypoint_names[2], "(VECTOR)");
  EXPECT_EQ(calc_legs_path(1, 0), 2);
  EXPECT_EQ(leg_pass.xact_crs, 0.0f);  // never reached the course step
  make_route(kSquare, 5);
  set_text(route_tables.waypoint_names[2], "(VECTOR)");
  set_text(route_tables.leg_path_types[1], "CI");
  calc_legs_path(1, 0);
  EXPECT_NE(leg_pass.xact_crs, 0.0f);
  EXPECT_EQ(leg_pass.disable_calc, 1);
}

TEST_F(LegPath, ClimbLegEndFromAltitudeRestriction) {
  // W1 -> CA leg straight on: 1000 ft to 4000 ft at the 75 m/s floor.
  const double pts[][2] = {{0.0, 0.0}, {0.0, 0.5}, {0.0, 0.6}, {0.0, 2.0}};
  make_route(pts, 4);
  set_text(route_tables.leg_path_types[2], "CA");
  legs_alt_calc[1] = 1000.0f;
  legs_alt_rest1[2] = 4000.0f;
  legs_spd_calc[1] = 120.0f;  // 61.7 m/s: the floor of 75 applies
  calc_legs_path(1, 0);
  EXPECT_NEAR(legs_dist[2], 75.0 * 60.0 / 1852.0, 0.01);
  EXPECT_EQ(legs_alt_calc[2], 4000.0f);
  EXPECT_EQ(fms_add_leg_handback.count, 1.0f);
  EXPECT_EQ(fms_add_leg_handback.leg_index[0], 3.0f);
  EXPECT_NEAR(fms_add_handback_values.dist_nm[0], 2.43f, 0.01f);

  // After a runway the climb starts at the runway's start point (here an
  // intersection 6 nm before it); one left at 0/0 is not given: the runway.
  for (const float start_lon : {0.0f, 0.4f}) {
    make_route(pts, 4);
    set_text(route_tables.waypoint_names[1], "RW09");
    set_text(route_tables.leg_path_types[2], "CA");
    legs_alt_calc[1] = 1000.0f;
    legs_alt_rest1[2] = 4000.0f;
    legs_offset_lat[1] = 0.0f;
    legs_offset_lon[1] = start_lon;
    calc_legs_path(1, 0);
    EXPECT_NEAR(legs_lon[2], (start_lon == 0.0f ? 0.5f : start_lon) + 2.43f / 60.0f, 0.001f) << start_lon;
  }
  legs_offset_lon[1] = 0.0f;

  // Already above the restriction: the leg collapses onto the start.
  make_route(pts, 4);
  set_text(route_tables.leg_path_types[2], "CA");
  legs_alt_calc[1] = 5000.0f;
  legs_alt_rest1[2] = 4000.0f;
  calc_legs_path(1, 0);
  EXPECT_EQ(legs_lat[2], legs_lat[1]);
  EXPECT_EQ(legs_lon[2], legs_lon[1]);
  EXPECT_EQ(legs_alt_calc[2], 5000.0f);
}

// A climb leg after an intercept starts on its own course: the intercept
// ends on that course, so the start slides along it rather than being moved
// aside by a full turn.
TEST_F(LegPath, ClimbLegAfterAnInterceptStartsOnItsCourse) {
  const double pts[][2] = {{0.0, 0.0}, {0.0, 0.5}, {0.5, 1.0}, {0.5, 2.0}, {0.5, 3.0}};
  make_route(pts, 5);
  set_text(route_tables.leg_path_types[1], "CI");
  set_text(route_tables.leg_path_types[2], "FA");
  legs_alt_calc[1] = 1000.0f;
  legs_alt_rest1[2] = 4000.0f;
  legs_spd_calc[1] = 250.0f;
  const float course = gc_bearing(0.0, 0.5, 0.5, 1.0);
  calc_legs_path(1, 0);
  const float climb = 250.0f * 0.5144444f * 60.0f / 1852.0f;
  EXPECT_NEAR(legs_dist[2], climb, 0.01f);
  EXPECT_NEAR(gc_bearing(0.0, 0.5, legs_lat[2], legs_lon[2]), course, 0.05f) << "off the climb course";
  EXPECT_GT(gc_distance_nm(0.0, 0.5, legs_lat[2], legs_lon[2]), climb + 0.1f);
  // The active climb leg, flown from the intercept's end at the 75 m/s floor,
  // ends the whole climb along its course from there.
  fms_seq.vnav_idx = fms_seq.vnav_idx_seq = 3.0f;
  frame_flight_data.radio_alt_ft = frame_flight_data.alt_ft = 1000.0f;
  host_mirror.sim_flightmodel_position_longitude = 0.5;
  calc_legs_path(2, 0);
  EXPECT_NEAR(gc_bearing(0.0, 0.5, legs_lat[2], legs_lon[2]), course, 0.05f) << "active leg off its course";
  EXPECT_NEAR(gc_distance_nm(0.0, 0.5, legs_lat[2], legs_lon[2]), 75.0f * 60.0f / 1852.0f, 0.01f);
}

// The active climb leg right after the route's first entry is still worked
// out from the aircraft's altitude and handed back; only the turn onto it,
// which has no course before it, is left out.
TEST_F(LegPath, ActiveClimbLegAtTheRouteStartIsRecomputed) {
  const double pts[][2] = {{0.0, 0.0}, {0.0, 0.3}, {0.0, 1.0}, {0.0, 2.0}};
  make_route(pts, 4);
  set_text(route_tables.leg_path_types[1], "CA");
  fms_seq.vnav_idx = fms_seq.vnav_idx_seq = 2.0f;
  legs_alt_rest1[1] = 5000.0f;
  frame_flight_data.radio_alt_ft = 1000.0f;
  frame_flight_data.alt_ft = 2000.0f;
  host_mirror.sim_flightmodel_position_groundspeed = 100.0f;
  host_mirror.sim_flightmodel_position_latitude = 0.0;
  host_mirror.sim_flightmodel_position_longitude = -0.01;
  calc_legs_path(1, 0);
  // 3000 ft at 3000 ft/min and 100 m/s, less the 0.6 nm still to fly to W0.
  const float expect = 3000.0f / 3000.0f * 60.0f * 100.0f / 1852.0f - gc_distance_nm(0.0, -0.01, 0.0, 0.0);
  EXPECT_NEAR(legs_dist[1], expect, 0.01f);
  EXPECT_NEAR(legs_lon[1], expect / 60.0f, 0.001f);
  EXPECT_EQ(legs_alt_calc[1], 5000.0f);
  ASSERT_GE(fms_add_leg_handback.count, 1.0f);
  EXPECT_EQ(fms_add_leg_handback.leg_index[0], 2.0f);
}

// An intercept ends where its course meets the course the next leg is flown
// on from its reference point: for an FD leg only the intercept's end moves
// (onto that crossing when it lies ahead of the reference point, else onto
// the FD's own waypoint); for "(VECTOR)" both move to the crossing.
TEST_F(LegPath, InterceptEndsOnTheNextLegsCourse) {
  const double pts[][2] = {{0.0, 0.0}, {0.0, 0.5}, {0.0, 0.8}, {-0.5, 1.2}, {-1.0, 1.2}};
  struct Case {
    const char* name;
    const char* type;
    float ref_lat;      // reference point at (ref_lat, 1.2), course south
    double j_lat, j_lon;
    bool m_moves;
  } cases[] = {
      {"W3", "FD", 0.5f, 0.0, 1.2, false},   // crossing ahead of the reference point
      {"W3", "FD", -0.3f, -0.5, 1.2, false}, // crossing behind it: onto the FD waypoint
      {"(VECTOR)", "TF", 0.5f, 0.0, 1.2, true},
  };
  for (const Case& c : cases) {
    make_route(pts, 5);
    set_text(route_tables.leg_path_types[2], "CI");
    set_text(route_tables.waypoint_names[3], c.name);
    set_text(route_tables.leg_path_types[3], c.type);
    legs_rad_lat[3] = c.ref_lat;
    legs_rad_lon[3] = 1.2f;
    legs_brg_mag[3] = (180.0f + XPLMGetMagneticVariation(c.ref_lat, 1.2)) * 3.14159265f / 180.0f;
    calc_legs_path(1, 0);
    EXPECT_NEAR(legs_lat[2], c.j_lat, 1e-3) << c.name << " " << c.ref_lat;
    EXPECT_NEAR(legs_lon[2], c.j_lon, 1e-3) << c.name << " " << c.ref_lat;
    EXPECT_NEAR(legs_lat[3], c.m_moves ? 0.0 : -0.5, 1e-3) << c.name;
  }
}

TEST_F(LegPath, DmeAndRadialLegsFallBackToPreviousWaypoint) {
  const double pts[][2] = {{0.0, 0.0}, {0.0, 0.5}, {0.0, 0.9}, {0.0, 2.0}};
  for (const char* type : {"VD", "CD"}) {
    make_route(pts, 4);
    set_text(route_tables.leg_path_types[2], type);
    legs_hold_dist[2] = 0.0f;  // DME distance 0
    calc_legs_path(1, 0);
    EXPECT_EQ(legs_lon[2], legs_lon[1]) << type;
    EXPECT_EQ(legs_dist[2], 0.0f) << type;
  }
  // A DME circle ahead on the course: the end is the nearer crossing.
  make_route(pts, 4);
  set_text(route_tables.leg_path_types[2], "VD");
  legs_rad_lat[2] = 0.0f;
  legs_rad_lon[2] = 1.5f;
  legs_hold_dist[2] = 30.0f;  // crossings at lon 1.0 and 2.0
  calc_legs_path(1, 0);
  EXPECT_NEAR(legs_lon[2], 1.0f, 0.01f);
  // A radial that never crosses ahead: the leg ends on waypoint 1, not (0, 0).
  make_route(pts, 4);
  set_text(route_tables.leg_path_types[2], "CR");
  legs_rad_lat[2] = 5.0f;
  legs_rad_lon[2] = 0.5f;
  legs_hold_dist[2] = 0.0f;  // due north, away from the course line
  calc_legs_path(1, 0);
  EXPECT_EQ(legs_lon[2], legs_lon[1]);
  EXPECT_EQ(legs_lat[2], legs_lat[1]);
}

TEST_F(LegPath, DfFixInsideTurnCircleIsBypassed) {
  // East into W1, then a DF leg to a fix 1 nm behind-right: inside the circle.
  const double pts[][2] = {{0.0, 0.0}, {0.0, 0.5}, {-0.02, 0.49}, {-1.0, 0.6}, {-2.0, 0.6}};
  make_route(pts, 5);
  set_text(route_tables.leg_path_types[2], "DF");
  calc_legs_path(1, 0);
  EXPECT_EQ(legs_bypass[2], 1.0f);
  EXPECT_EQ(leg_pass.j, 3);
  EXPECT_GT(legs_seg1_radius[1], 0.0f);
}

// When the turn off a DME arc onto an intercept leg fails and the intercept's
// waypoint is passed by, the turn to the next waypoint is still the arc's
// tight turn: 145 kt at 22 degrees bank, no anticipation.
TEST_F(LegPath, BypassAfterArcToInterceptKeepsTheTightTurn) {
  const double pts[][2] = {{0.0, 0.0}, {0.0, 0.5}, {0.02, 0.52}, {0.5, 1.0}, {0.5, 2.0}, {0.5, 3.0}};
  make_route(pts, 6);
  set_text(route_tables.leg_path_types[1], "AF");
  set_text(route_tables.leg_path_types[2], "CI");
  legs_spd_calc[1] = 250.0f;
  pass_turning_left_at_leg_1();
  ASSERT_EQ(legpath::bypass_search(1, 1, 2), 3);
  EXPECT_EQ(legs_bypass[2], 1.0f);
  EXPECT_NEAR(legs_radii_radius[1], turn_radius_nm(22.0f, 145.0f), 1e-4f);
  EXPECT_EQ(legs_radii_dta[1], 0.0f);
}

// A runway passed by leaves no turn anticipation, whichever way the bypass
// started (DF turn, connection 6, connection 5 in calc mode 2): the turn to
// the waypoint after it starts on the bypassing waypoint, not 1.32 nm before.
TEST_F(LegPath, BypassedRunwayGivesNoAnticipation) {
  const double pts[][2] = {{0.0, 0.0}, {0.0, 0.5}, {0.02, 0.52}, {0.5, 0.9}, {0.5, 2.0}, {0.5, 3.0}};
  for (const int32_t entry : {0, 1, 3}) {
    for (const char* id : {"W2", "RW27"}) {
      make_route(pts, 6);
      set_text(route_tables.waypoint_names[2], id);
      legs_seg_remain_dist[0] = legs_dist[1];
      legs_spd_calc[1] = 250.0f;
      pass_turning_left_at_leg_1();
      ASSERT_EQ(legpath::bypass_search(1, entry, 2), 3) << entry << " " << id;
      EXPECT_NEAR(legs_radii_dta[1], id[0] == 'R' ? 0.0f : 1.32f, 0.01f) << entry << " " << id;
    }
  }
}

// A bypass that would pass more than three waypoints in a row is cancelled:
// the first passed-by waypoint is flown again with its DF courses restored.
TEST_F(LegPath, BypassDeeperThanThreeWaypointsIsCancelled) {
  // East into W1, then a knot of fixes just behind it that no turn can reach.
  const double pts[][2] = {{0.0, 0.0},     {0.0, 0.5},     {0.001, 0.499}, {-0.001, 0.498}, {0.001, 0.497},
                           {-0.001, 0.496}, {0.001, 0.495}, {-0.001, 0.494}, {0.0, 0.0},     {0.0, -1.0}};
  make_route(pts, 10);
  legs_spd_calc[1] = 250.0f;
  legs_df_crs[2] = 123.0f;
  legs_df_crs_fin[2] = 124.0f;
  leg_pass = LegPassFrame{};
  leg_pass.i = 1;
  leg_pass.j = 2;
  leg_pass.xact_crs = 90.0f;
  leg_pass.xnext_rel_brg = 170.0f;
  leg_pass.xabs_next_rel_brg = 170.0f;
  fms_debug_selector = 9999.0f;
  simhost::clear_log();
  EXPECT_EQ(legpath::bypass_search(1, 1, 3), -1);
  EXPECT_TRUE(simhost::log_contains("WPT 1: Bypass canceled for WPT 2 (5)- too much bypass"));
  EXPECT_EQ(legs_bypass[2], 0.0f);
  EXPECT_EQ(legs_df_crs[2], 123.0f);
  EXPECT_EQ(legs_df_crs_fin[2], 124.0f);
  EXPECT_EQ(legs_radii_radius[1], 0.0f);
  EXPECT_EQ(legs_seg_remain_dist[1], legs_dist[2]);
}

// A fly-by turn that failed in calc mode 1 is first tried again in mode 2 at
// the same waypoint; when that fits, nothing is passed by.
TEST_F(LegPath, FailedFlyByIsRetriedInModeTwoBeforeAnyBypass) {
  make_route(kSquare, 5);
  legs_spd_calc[1] = 250.0f;
  leg_pass = LegPassFrame{};
  leg_pass.i = 1;
  leg_pass.j = 2;
  leg_pass.xact_crs = 90.0f;
  leg_pass.xnext_rel_brg = -90.0f;
  leg_pass.xabs_next_rel_brg = 90.0f;
  fms_debug_selector = 9999.0f;
  simhost::clear_log();
  EXPECT_EQ(legpath::bypass_search(1, 2, 2), 2);
  EXPECT_TRUE(simhost::log_contains("Trying for WPT 1 <W1> again Calc mode 2 (5)"));
  EXPECT_EQ(legs_bypass[2], 0.0f);
  EXPECT_GT(legs_radii_radius[1], 0.0f);
}

TEST_F(LegPath, HoldWaypointHasNoTrueDistance) {
  make_route(kSquare, 5);
  set_text(route_tables.leg_path_types[2], "HM");
  build_route();
  EXPECT_EQ(legs_dist_true[2], 0.0f);
  EXPECT_GT(legs_dist_true[1], 0.0f);
}

// Routes of random legs: every built arc (start and end) lies on its circle, the remaining
// straight ends at the next flown waypoint, nothing is NaN, and no more than
// three waypoints in a row are passed by.
TEST_F(LegPath, GeneratedRoutesHoldTogether) {
  std::mt19937 rng(1234);
  std::uniform_real_distribution<double> turn(-150.0, 150.0), len(0.5, 40.0), spd(150.0, 320.0), alt(0.0, 35000.0);
  int built_turns = 0, bypasses = 0;
  for (int route = 0; route < 60; ++route) {
    const int n = 12;
    double pts[n][2];
    double lat = 40.0, lon = -70.0, crs = 90.0;
    for (int k = 0; k < n; ++k) {
      pts[k][0] = lat;
      pts[k][1] = lon;
      crs = std::fmod(crs + turn(rng) + 360.0, 360.0);
      gc_destination(lat, lon, crs, len(rng));
      lat = nav_result.lat;
      lon = nav_result.lon;
    }
    make_route(pts, n);
    for (int k = 0; k < n; ++k) {
      legs_spd_calc[k] = static_cast<float>(spd(rng));
      legs_alt_calc[k] = static_cast<float>(alt(rng));
    }
    const int calls = build_route();
    ASSERT_LT(calls, n);
    int run = 0;
    for (int k = 0; k < n - 1; ++k) {
      for (const float* a : {legs_seg1_ctr_lat, legs_seg1_end_lat, legs_seg_remain_dist, legs_dist_true,
                             legs_seg1_arc_lenght, legs_seg2_distance, legs_seg3_arc_lenght}) {
        ASSERT_TRUE(std::isfinite(a[k])) << route << " " << k;
      }
      run = legs_bypass[k] == 1.0f ? run + 1 : 0;
      bypasses += legs_bypass[k] == 1.0f;
      EXPECT_LE(run, 3);
      if (legs_bypass[k] == 1.0f) continue;
      const float r = legs_seg1_radius[k];
      if (!(r > 0.0f) || legs_seg1_end_lat[k] == 0.0f) continue;
      ++built_turns;
      const float tol = 0.002f + r * 1e-3f;
      EXPECT_NEAR(gc_distance_nm(legs_seg1_ctr_lat[k], legs_seg1_ctr_lon[k], legs_seg1_end_lat[k],
                                 legs_seg1_end_lon[k]), r, tol) << route << " " << k;
      // The turn starts on its own circle too, also when the anticipation
      // distance was cut short and the centre moved along the inbound course.
      EXPECT_NEAR(gc_distance_nm(legs_seg1_ctr_lat[k], legs_seg1_ctr_lon[k], legs_seg1_start_lat[k],
                                 legs_seg1_start_lon[k]), r, tol) << route << " " << k;
      float ex = legs_seg1_end_lat[k], ey = legs_seg1_end_lon[k];
      if (legs_seg3_end_lat[k] != 0.0f || legs_seg3_end_lon[k] != 0.0f) {
        EXPECT_NEAR(gc_distance_nm(legs_seg3_ctr_lat[k], legs_seg3_ctr_lon[k], legs_seg3_end_lat[k],
                                   legs_seg3_end_lon[k]), r, tol) << route << " " << k;
        if (legs_seg2_end_lat[k] != 0.0f || legs_seg2_end_lon[k] != 0.0f) {
          EXPECT_NEAR(gc_distance_nm(legs_seg3_ctr_lat[k], legs_seg3_ctr_lon[k], legs_seg2_end_lat[k],
                                     legs_seg2_end_lon[k]), r, tol);
          EXPECT_NEAR(legs_seg2_distance[k], gc_distance_nm(legs_seg1_end_lat[k], legs_seg1_end_lon[k],
                                                             legs_seg2_end_lat[k], legs_seg2_end_lon[k]), 1e-3);
        }
        ex = legs_seg3_end_lat[k];
        ey = legs_seg3_end_lon[k];
      }
      const int m = next_valid_leg(k);
      EXPECT_NEAR(gc_distance_nm(ex, ey, legs_lat[m], legs_lon[m]), std::fabs(legs_seg_remain_dist[k]), 0.01)
          << route << " " << k;
    }
  }
  EXPECT_GT(built_turns, 100);
  EXPECT_GT(bypasses, 0);
}

}  // namespace
