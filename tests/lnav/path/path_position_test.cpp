// Path position against built routes, holds and procedure turns, and the
// route tracking that publishes it.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "core/binding.h"
#include "lnav/route/hold_geometry.h"
#include "host.h"
#include "lnav/path/path_position.h"
#include "lnav/route/route_tracking.h"
#include "lnav/route/route_geometry.h"
#include "lnav/route_fixture.h"

using namespace lnav_fixture;

namespace {

class PathPosition : public ::testing::Test {
 protected:
  void SetUp() override {
    simhost::reset(simhost::Config{});
    for (XPLMDataRef& h : bound_handles) h = nullptr;
    bind_outside_datarefs();
    bind_host_datarefs();
    bind_script_datarefs();
    host_mirror = HostMirror{};
    clear_route();
    route_track = RouteTrackState{};
    route_change_values.intdir_crs = -1.0f;
    hold_pattern = HoldPatternArrays{};
    proc_turn = ProcTurnArrays{};
  }
  void TearDown() override {
    for (const std::string& p : simhost::problems()) ADD_FAILURE() << p;
  }
  static void heading(float true_deg) {
    host_mirror.sim_cockpit2_gauges_indicators_heading_AHARS_deg_mag_pilot = true_deg;
  }
  static void aircraft(double lat, double lon) {
    host_mirror.sim_flightmodel_position_latitude = lat;
    host_mirror.sim_flightmodel_position_longitude = lon;
  }
};

const double kSquare[][2] = {{0.0, 0.0}, {0.0, 1.0}, {1.0, 1.0}, {1.0, 2.0}, {2.0, 2.0}};
const double kLine[][2] = {{0.0, 0.0}, {0.0, 1.0}, {0.0, 2.0}};

TEST_F(PathPosition, StraightLegShortOfWaypointThenPast) {
  make_route(kLine, 3);
  heading(90.0f);
  // Half a degree of longitude before W2, 2 nm north of the course.
  EXPECT_EQ(path_position_dir(2, -1, 2.0 / 60.0, 1.5, 0), 8) << "an empty direct-to path is the straight";
  const int32_t code = path_position_dir(2, 1, 2.0 / 60.0, 1.5, 0);
  EXPECT_EQ(code, 8);
  EXPECT_NEAR(nav_result.along_track, 30.0f, 0.1f);
  EXPECT_NEAR(nav_result.cross_track, -2.0f, 0.05f) << "left of the path is negative";
  EXPECT_EQ(path_seg_dist, nav_result.along_track);
  EXPECT_EQ(path_sub_region, 0.0f);
  // Past the waypoint, or flying away from the leg's course: nothing.
  EXPECT_EQ(path_position_dir(2, 1, 0.0, 2.1, 0), 0);
  heading(270.0f);
  EXPECT_EQ(path_position_dir(2, 1, 0.0, 1.5, 0), 0);
  EXPECT_EQ(path_position_dir(2, 1, 0.0, 1.5, 1), 8) << "mode 1 has no heading check";
  // The route's first waypoint, with no leg before it, is still measured: a
  // straight to it on its own course.
  EXPECT_EQ(path_position_dir(0, -1, -0.5, 0.0, 1), 8);
  EXPECT_NEAR(nav_result.along_track, 30.0f, 0.1f);
}

TEST_F(PathPosition, InterceptCourseReplacesLegCourseOnTheStraight) {
  make_route(kLine, 3);
  heading(90.0f);
  fms_seq.intdir_act = 2.0f;
  route_change_values.intdir_crs = 45.0f;  // magnetic, variation 0
  ASSERT_EQ(path_position_dir(2, 1, 0.0, 1.5, 0), 8);
  // On the leg's course line, 30 nm short: left of the 045 line into W2.
  EXPECT_NEAR(nav_result.cross_track, -30.0f * std::sin(45.0f * 3.14159265f / 180.0f), 0.2f);
}

TEST_F(PathPosition, AlongTrackFollowsTheBuiltPathIntoEachWaypoint) {
  make_route(kSquare, 5);
  build_route();
  for (int32_t i = 2; i <= 3; ++i) {
    const int32_t p = prev_valid_leg(i);
    ASSERT_EQ(p, i - 1);
    ASSERT_GE(leg_seg_kind(p), 1) << "the square's corners are flown by";
    heading(magvar_course(i));
    int32_t turn_codes = 0;
    // The path's points stop at the previous waypoint's radial on its turn.
    leg_geometry(i, 1000.0f);
    ASSERT_EQ(path_position_dir(i, p, nav_result.lat, nav_result.lon, 0), 6);
    const float whole = nav_result.along_track;
    ASSERT_GT(whole, 55.0f);
    for (float d = 0.5f; d < whole - 0.1f; d += 0.5f) {
      leg_geometry(i, d);
      const double lat = nav_result.lat;
      const double lon = nav_result.lon;
      const int32_t code = path_position_dir(i, p, lat, lon, 0);
      ASSERT_NE(code, 0) << "leg " << i << " d " << d;
      EXPECT_NEAR(nav_result.along_track, d, 0.05f) << "leg " << i << " d " << d << " code " << code;
      EXPECT_NEAR(nav_result.cross_track, 0.0f, 0.05f) << "leg " << i << " d " << d;
      if (code == 1 || code == 6) ++turn_codes;
    }
    EXPECT_GT(turn_codes, 0);
  }
}

TEST_F(PathPosition, FlyByTurnSplitsAtTheWaypointRadial) {
  make_route(kSquare, 5);
  build_route();
  const int32_t p = 1;
  heading(0.0f);
  ASSERT_NE(legs_seg1_radius[p], 0.0f);
  // Points on the turn at W1 just before and after its waypoint radial.
  const float before = legs_wpt_angle[p] + (legs_seg1_turn[p] == 2.0f ? 5.0f : -5.0f);
  const float after = legs_wpt_angle[p] + (legs_seg1_turn[p] == 2.0f ? -5.0f : 5.0f);
  gc_destination(legs_seg1_ctr_lat[p], legs_seg1_ctr_lon[p], before, legs_seg1_radius[p]);
  const double b_lat = nav_result.lat, b_lon = nav_result.lon;
  gc_destination(legs_seg1_ctr_lat[p], legs_seg1_ctr_lon[p], after, legs_seg1_radius[p]);
  const double a_lat = nav_result.lat, a_lon = nav_result.lon;
  EXPECT_EQ(path_position_dir(2, p, b_lat, b_lon, 0), 6);
  EXPECT_EQ(path_position_dir(2, p, a_lat, a_lon, 0), 1);
  EXPECT_EQ(path_sub_region, static_cast<float>(leg_seg_kind(p)));
  // A waypoint measured in mode 1 never gets the codes of the aircraft only:
  // before the radial nothing matches (projected along the end radial's
  // course it still lies before the radial); after it, code 1 as for the
  // aircraft.
  EXPECT_EQ(path_position_dir(2, p, b_lat, b_lon, 1), 0);
  EXPECT_EQ(path_position_dir(2, p, a_lat, a_lon, 1), 1);
}

TEST_F(PathPosition, ArcLegCodeTellsWhetherItsEndIsFlownBy) {
  make_route(kLine, 3);
  set_text(route_tables.leg_path_types[2], "AF");
  // Arc of 10 nm about (0, 2) from radial 270 clockwise to 360.
  legs_rad_lat[2] = 0.0f;
  legs_rad_lon[2] = 2.0f;
  legs_radius[2] = 10.0f;
  legs_rad_turn[2] = 3.0f;
  legs_af_beg[2] = 270.0f;
  legs_af_end[2] = 360.0f;
  gc_destination(0.0, 2.0, 315.0, 10.0);
  const double lat = nav_result.lat, lon = nav_result.lon;
  struct Case {
    float exit_radius;
    int32_t code;
  } cases[] = {{0.0f, 105}, {2.0f, 100}};
  for (const Case& c : cases) {
    legs_radii_radius[2] = c.exit_radius;
    EXPECT_EQ(path_position_arc(2, 1, lat, lon), c.code);
    EXPECT_NEAR(nav_result.along_track, 10.0f * 3.14159265f / 4.0f, 0.05f);
  }
  // Short of the arc after a runway: measured to the runway waypoint itself,
  // not to the runway's start point 6 nm before it.
  set_text(route_tables.waypoint_names[1], "RW09");
  legs_offset_lat[1] = 0.0f;
  legs_offset_lon[1] = 0.9f;
  legs_radii_radius[1] = legs_radii_radius[2] = 0.0f;
  EXPECT_EQ(path_position_arc(2, 1, -0.01, 0.5), 104);
  EXPECT_NEAR(nav_result.along_track, gc_distance_nm(0.0, 0.5, 0.0, 1.0), 0.05f);
}

// An arc of more than half a circle is the arc all the way from its start
// radial to its end, and nowhere else.
TEST_F(PathPosition, ArcOverHalfACircleHoldsAllAlongIt) {
  make_route(kLine, 3);
  set_text(route_tables.leg_path_types[2], "AF");
  legs_rad_lat[2] = 0.0f;
  legs_rad_lon[2] = 2.0f;
  legs_radius[2] = 10.0f;
  legs_radii_radius[2] = 0.0f;
  struct Case {
    float turn, beg, end, radial;
    bool on;
  } cases[] = {
      {3.0f, 180.0f, 20.0f, 181.0f, true},  {3.0f, 180.0f, 20.0f, 300.0f, true},
      {3.0f, 180.0f, 20.0f, 19.0f, true},   {3.0f, 180.0f, 20.0f, 100.0f, false},
      {3.0f, 180.0f, 20.0f, 179.0f, false}, {2.0f, 180.0f, 340.0f, 179.0f, true},
      {2.0f, 180.0f, 340.0f, 60.0f, true},  {2.0f, 180.0f, 340.0f, 341.0f, true},
      {2.0f, 180.0f, 340.0f, 260.0f, false}, {0.0f, 180.0f, 340.0f, 90.0f, true},
  };
  for (const Case& c : cases) {
    legs_rad_turn[2] = c.turn;
    legs_af_beg[2] = c.beg;
    legs_af_end[2] = c.end;
    gc_destination(0.0, 2.0, c.radial, 10.0);
    EXPECT_EQ(path_position_arc(2, 1, nav_result.lat, nav_result.lon) == 105, c.on)
        << c.turn << " " << c.beg << "-" << c.end << " at " << c.radial;
  }
}

// A right-hand racetrack: fix at (0, 1), inbound 090, 1 nm turns, 4 nm legs.
void lay_out_hold(int32_t i) {
  HoldPatternArrays& h = hold_pattern;
  h.hold_radius[i] = 1.0f;
  h.hold_leg_len[i] = 4.0f;
  h.hold_crs_true[i] = 90.0f;
  h.hold_side_away[i] = 0.0f;  // centre 1 to the fix
  h.hold_side[i] = 180.0f;
  gc_destination(legs_lat[i], legs_lon[i], 180.0, 1.0);
  h.hold_ctr1_lat[i] = static_cast<float>(nav_result.lat);
  h.hold_ctr1_lon[i] = static_cast<float>(nav_result.lon);
  gc_destination(h.hold_ctr1_lat[i], h.hold_ctr1_lon[i], 270.0, 4.0);
  h.hold_ctr2_lat[i] = static_cast<float>(nav_result.lat);
  h.hold_ctr2_lon[i] = static_cast<float>(nav_result.lon);
  gc_destination(h.hold_ctr2_lat[i], h.hold_ctr2_lon[i], 180.0, 1.0);
  h.hold_far_lat[i] = static_cast<float>(nav_result.lat);
  h.hold_far_lon[i] = static_cast<float>(nav_result.lon);
  legs_rad_turn[i] = 3.0f;
}

TEST_F(PathPosition, RacetrackPiecesAndLapDistances) {
  make_route(kLine, 3);
  set_text(route_tables.leg_path_types[1], "HM");
  lay_out_hold(1);
  const HoldPatternArrays& h = hold_pattern;
  const float half = 3.14159265f;
  fms_seq.hold_phase = 0.0f;
  // 2 nm before the fix on the inbound course.
  heading(90.0f);
  ASSERT_EQ(path_position_hold(1, 0, 0.0, 1.0 - 2.0 / 60.0, 0), 300);
  EXPECT_NEAR(nav_result.along_track, 2.0f, 0.02f);
  // The same place flown outbound: the outbound leg, half a circle and a leg to go.
  heading(270.0f);
  ASSERT_EQ(path_position_hold(1, 0, -2.0 / 60.0, 1.0 - 2.0 / 60.0, 0), 302);
  EXPECT_NEAR(nav_result.along_track, path_seg_dist + half + 4.0f, 0.001f);
  EXPECT_EQ(path_position_hold(1, 0, -2.0 / 60.0, 1.0 - 2.0 / 60.0, 1), 300) << "mode 1: inbound";
  // Just past the fix in the turn: one whole lap back to the fix.
  gc_destination(h.hold_ctr1_lat[1], h.hold_ctr1_lon[1], 10.0, 1.0);
  ASSERT_EQ(path_position_hold(1, 0, nav_result.lat, nav_result.lon, 0), 301);
  EXPECT_NEAR(nav_result.along_track, path_seg_dist + 8.0f + half, 0.001f);
  EXPECT_NEAR(path_seg_dist, half * 170.0f / 180.0f, 0.02f);
  // A phase outside every range measures nothing.
  fms_seq.hold_phase = 17.0f;
  EXPECT_EQ(path_position_hold(1, 0, 0.0, 0.9, 0), 0);
}

TEST_F(PathPosition, ProcedureTurnWithoutFlyByNeverReportsTheFixTurn) {
  make_route(kLine, 3);
  set_text(route_tables.leg_path_types[2], "PI");
  proc_turn.pi_crs_true[2] = 90.0f;
  legs_rad_turn[2] = 2.0f;  // left: inbound 225, outbound 045
  proc_turn.pi_lenght[2] = 20.0f;
  // Turn centres away to the north-east, out of the way of both points.
  proc_turn.pi_p2_lat[2] = proc_turn.pi_p5_lat[2] = proc_turn.pi_x_lat[2] = 0.5f;
  proc_turn.pi_p2_lon[2] = proc_turn.pi_p5_lon[2] = proc_turn.pi_x_lon[2] = 2.5f;
  // Out from the fix on 045: the outbound straight, measured from the fix.
  heading(45.0f);
  EXPECT_EQ(path_position_pi(2, 1, 0.05, 2.05), 51);
  legs_radii_radius[1] = 0.0f;
  EXPECT_NE(path_position_pi(2, 1, 0.0, 2.0), 50);
  // Flying to the fix on 045 from the south-west: not yet begun.
  ASSERT_EQ(path_position_pi(2, 1, -0.1, 1.9), 58);
  EXPECT_NEAR(nav_result.along_track, path_seg_dist + 20.0f, 0.001f);
  EXPECT_NEAR(path_seg_dist, gc_distance_nm(-0.1, 1.9, 0.0, 2.0), 0.05f);
}

// ---- route tracking ---------------------------------------------------------------------------

class RouteTracking : public PathPosition {};

TEST_F(RouteTracking, VectorAndDiscontinuityMeasureTheLegLine) {
  make_route(kLine, 3);
  fms_seq.vnav_idx = fms_seq.vnav_idx_seq = 3.0f;
  aircraft(0.0, 1.5);
  heading(90.0f);
  // A discontinuity has no path of its own: the last leg before it is
  // measured, run on past its waypoint, 30 nm behind.
  struct Case {
    const char* id;
    int32_t region;
    float abeam_nm;
  } cases[] = {{"(VECTOR)", 20, 30.0f}, {"DISCONTINUITY", 0, -30.0f}, {"W2", 8, 30.0f}};
  for (const Case& c : cases) {
    set_text(route_tables.waypoint_names[2], c.id);
    update_route_tracking();
    EXPECT_EQ(route_track.region, c.region) << c.id;
    EXPECT_NEAR(route_track.abeam_dist, c.abeam_nm, 0.1f) << c.id;
    EXPECT_EQ(simhost::get_float("zuvadud/D738/fms/rt_region"), static_cast<float>(c.region));
    EXPECT_EQ(simhost::get_float("zuvadud/D738/fms/rt_abeam_dist"), route_track.abeam_dist);
  }
}

TEST_F(RouteTracking, InterceptGivesStraightDistanceAndInterceptCrossTrack) {
  make_route(kLine, 3);
  fms_seq.vnav_idx = fms_seq.vnav_idx_seq = 3.0f;
  fms_seq.intdir_act = 2.0f;
  fms_seq.intdir_idx = 3.0f;
  route_change_values.intdir_crs = 45.0f;
  heading(45.0f);
  aircraft(-0.25, 1.75);
  update_route_tracking();
  const float d = gc_distance_nm(-0.25, 1.75, 0.0, 2.0);
  EXPECT_NEAR(route_track.abeam_dist, d, 1e-4f);
  EXPECT_NEAR(route_track.xtrack, 0.0f, 0.05f) << "on the 045 line through the waypoint";
}

TEST_F(RouteTracking, AbeamDistanceWithBypassNeverNegative) {
  make_route(kLine, 3);
  legs_dist_dest_true[1] = 60.0f;
  legs_dist_dest_true[2] = 0.0f;
  heading(90.0f);
  aircraft(0.0, 1.5);
  struct Case {
    float active, seq;
    float expect;
  } cases[] = {{3.0f, 3.0f, 30.0f}, {2.0f, 3.0f, 0.0f}};
  for (const Case& c : cases) {
    fms_seq.vnav_idx = c.active;
    fms_seq.vnav_idx_seq = c.seq;
    update_route_tracking();
    EXPECT_NEAR(route_track.abeam_dist_bp, c.expect, 0.1f);
  }
  // An active leg outside the tables reads as no distance.
  fms_seq.vnav_idx = 900.0f;
  update_route_tracking();
  EXPECT_NEAR(route_track.abeam_dist_bp, route_track.abeam_dist, 1e-6f);
  fms_seq.vnav_idx_seq = std::nanf("");
  update_route_tracking();
  EXPECT_EQ(route_track.region, 0);
}

TEST_F(RouteTracking, TraceOnlyWhenTheRegionChanges) {
  make_route(kLine, 3);
  fms_seq.vnav_idx = fms_seq.vnav_idx_seq = 3.0f;
  fms_debug_selector = 8888.0f;
  heading(90.0f);
  aircraft(0.0, 1.5);
  update_route_tracking();
  update_route_tracking();
  int lines = 0;
  for (const std::string& l : simhost::log_lines())
    if (l.rfind("FMC: Offset: 2, Offset_seq: 2, Region: 8", 0) == 0) ++lines;
  EXPECT_EQ(lines, 1);
  EXPECT_TRUE(simhost::log_contains("FMC: Offset DTD: 0.000000, Offset_seq DTD: 0.000000"));
}

}  // namespace
