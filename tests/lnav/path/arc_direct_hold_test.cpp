// The leg path builder's arc-leg turns (entry, exit, exit without a tangent
// turn), the direct-to path from the present position, the hold entry path,
// and properties of generated routes with arcs and direct-tos.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <random>
#include <vector>

#include "core/binding.h"
#include "lnav/route/hold_geometry.h"
#include "core/preprocess_values.h"
#include "lnav/path/leg_path.h"
#include "lnav/path/leg_path_internal.h"
#include "lnav/path/path_position.h"
#include "lnav/route_fixture.h"
#include "host.h"

using namespace lnav_fixture;

namespace {

struct P {
  double lat, lon;
};
P go(P a, double crs, double d) {
  gc_destination(a.lat, a.lon, crs, d);
  return {nav_result.lat, nav_result.lon};
}
float dist(P a, P b) { return gc_distance_nm(a.lat, a.lon, b.lat, b.lon); }
float brg(P a, P b) { return gc_bearing(a.lat, a.lon, b.lat, b.lon); }
P wpt(int k) { return {legs_lat[k], legs_lon[k]}; }
float off(double a, double b) {
  double v = std::fmod(a - b + 720.0, 360.0);
  if (v > 180.0) v -= 360.0;
  return static_cast<float>(v);
}

void set_route(const std::vector<P>& pts) {
  std::vector<double> raw(pts.size() * 2);
  double(*arr)[2] = reinterpret_cast<double(*)[2]>(raw.data());
  for (size_t k = 0; k < pts.size(); ++k) {
    arr[k][0] = pts[k].lat;
    arr[k][1] = pts[k].lon;
  }
  make_route(arr, static_cast<int>(pts.size()));
}

void make_arc(int k, P centre, float radius, float turn, const char* type = "AF") {
  set_text(route_tables.leg_path_types[k], type);
  set_text(route_tables.prev_leg_path_types[k], type);
  legs_rad_lat[k] = static_cast<float>(centre.lat);
  legs_rad_lon[k] = static_cast<float>(centre.lon);
  legs_radius[k] = radius;
  legs_rad_turn[k] = turn;
}

class ArcDirectHold : public ::testing::Test {
 protected:
  void SetUp() override {
    simhost::reset(simhost::Config{});
    clear_route();
    host_mirror.sim_flightmodel_position_groundspeed = 0.0f;
    route_change_values.intdir_crs = -1.0f;
    for (int k = 0; k < 256; ++k) {
      hold_pattern.hold_entry[k] = 0.0f;
      legs_radius[k] = 0.0f;
    }
  }
};

// ---- exit without a tangent turn ----------------------------------------------------------------

struct Conn2Case {
  const char* what;
  float next_crs;    // true course of the next leg
  float rel;         // the frame's folded change
  float demand;      // legs_rad_turn of the next leg
  P j;               // next waypoint relative to i at (40, -70): built below
  bool built;
  float radius;      // nm
  float side;
  float start, end;  // seg1 radials
  float arc;         // nm
  float remain;      // nm
};

TEST_F(ArcDirectHold, ExitWithoutTangentTurnBuildsOneArcFromTheFix) {
  const P I{40.0, -70.0};
  const P ahead10 = go(I, 0.0, 10.0);
  const P ahead20 = go(I, 0.0, 20.0);
  const Conn2Case cases[] = {
      // Reversal: the crossing behind j fails, the reciprocal finds the point 2 nm east.
      {"reversal", 180.0f, 179.0f, -1.0f, go(go(I, 90.0, 2.0), 180.0, 5.0), true, 1.0f, 3.0f, 270.0f, 90.0f,
       3.1416f, 5.0f},
      // Quarter turn onto a course line crossing 10 nm ahead.
      {"quarter", 90.0f, 90.0f, -1.0f, go(ahead10, 90.0, 5.0), true, 10.0f, 3.0f, 270.0f, 0.0f, 15.708f, 5.0f},
      // The demanded side wins over a free one: code 1 is no demand here.
      {"code 1 is free", 320.0f, -40.0f, 1.0f, go(ahead10, 320.0, 5.0), true, -1.0f, 2.0f, 90.0f, 50.0f, -1.0f,
       -1.0f},
      {"free right", 40.0f, 40.0f, -1.0f, go(ahead10, 40.0, 5.0), true, -1.0f, 3.0f, 270.0f, 310.0f, -1.0f, -1.0f},
      // The crossing lies behind i: no turn.
      {"crossing behind", 90.0f, 90.0f, -1.0f, go(go(I, 180.0, 10.0), 90.0, 5.0), false, 0.0f, 0.0f, 0.0f, 0.0f,
       0.0f, 7.77f},
      // 170 is still the turn onto the line (bisector), 170.5 the half circle.
      {"170 bisector", 170.0f, 170.0f, -1.0f, go(ahead20, 170.0, 30.0), true, 1.7498f, 3.0f, 270.0f, 80.0f, -1.0f,
       -1.0f},
      {"170.5 half circle", 170.5f, 170.5f, -1.0f, go(ahead20, 170.5, 30.0), true, 1.6730f, 3.0f, 270.0f, 80.5f,
       -1.0f, -1.0f},
  };
  for (const Conn2Case& c : cases) {
    SCOPED_TRACE(c.what);
    set_route({go(I, 180.0, 10.0), I, c.j, go(c.j, c.next_crs, 10.0)});
    legs_dist[2] = 7.77f;
    legs_rad_turn[2] = c.demand;
    reset_leg_path(1, 0);
    leg_pass = LegPassFrame{};
    leg_pass.i = 1;
    leg_pass.j = 2;
    leg_pass.xact_crs = 0.0f;
    leg_pass.xnext_crs = c.next_crs;
    leg_pass.xnext_rel_brg = c.rel;
    leg_pass.xabs_next_rel_brg = std::fabs(c.rel);
    EXPECT_EQ(legpath::arc_connection(2), 2);
    EXPECT_EQ(legs_radii_dta[1], 0.0f);
    if (!c.built) {
      EXPECT_EQ(legs_radii_radius[1], 0.0f);
      EXPECT_EQ(legs_seg_remain_dist[1], 7.77f);
      continue;
    }
    const float r = legs_radii_radius[1];
    if (c.radius > 0.0f) {
      EXPECT_NEAR(r, c.radius, 0.01f * c.radius + 0.003f);
    }
    EXPECT_EQ(legs_seg1_radius[1], r);
    EXPECT_EQ(legs_seg1_turn[1], c.side);
    EXPECT_EQ(legs_turn[1], c.side);
    EXPECT_EQ(legs_seg1_dta[1], 0.0f);
    EXPECT_EQ(legs_radii_lat2[1], legs_lat[1]);
    EXPECT_EQ(legs_radii_lon2[1], legs_lon[1]);
    EXPECT_NEAR(std::fabs(off(legs_seg1_start_angle[1], c.start)), 0.0f, 0.05f);
    EXPECT_NEAR(std::fabs(off(legs_seg1_end_angle[1], c.end)), 0.0f, 0.05f);
    // The turn starts at the fix and both ends lie on the circle.
    const P ctr{legs_seg1_ctr_lat[1], legs_seg1_ctr_lon[1]};
    EXPECT_NEAR(dist(ctr, I), r, 0.01f);
    EXPECT_NEAR(dist(ctr, {legs_seg1_end_lat[1], legs_seg1_end_lon[1]}), r, 0.002f + r * 1e-3f);
    if (c.arc > 0.0f) {
      EXPECT_NEAR(legs_seg1_arc_lenght[1], c.arc, 0.02f * c.arc);
    }
    if (c.remain > 0.0f) {
      EXPECT_NEAR(legs_seg_remain_dist[1], c.remain, 0.05f);
    }
    EXPECT_EQ(legs_bypass[2], 0.0f);
  }
}

TEST_F(ArcDirectHold, DemandedLeftTurnAgainstTheChangeGoesTheLongWay) {
  const P I{40.0, -70.0};
  set_route({go(I, 180.0, 10.0), I, go(go(I, 0.0, 10.0), 40.0, 5.0), go(I, 0.0, 40.0)});
  legs_rad_turn[2] = 2.0f;
  leg_pass = LegPassFrame{};
  leg_pass.i = 1;
  leg_pass.j = 2;
  leg_pass.xnext_crs = 40.0f;
  leg_pass.xnext_rel_brg = leg_pass.xabs_next_rel_brg = 40.0f;
  legpath::arc_connection(2);
  ASSERT_GT(legs_radii_radius[1], 0.0f);
  EXPECT_EQ(legs_seg1_turn[1], 2.0f);
  EXPECT_NEAR(course_diff_dir(legs_seg1_start_angle[1], legs_seg1_end_angle[1], 2), -320.0f, 0.1f);
}

// ---- where a transition's first arc starts ------------------------------------------------------

TEST_F(ArcDirectHold, TurnStartsOnItsOwnCircle) {
  const P Pw{40.0, -70.0};
  struct Case {
    const char* what;
    float crs_out, dta, radius, straight_before;
    int32_t mode;
    P next;
    float start_before_p;  // nm along the inbound course
    float radius_out;      // nm
  } cases[] = {
      // The straight before the waypoint (1 nm) cuts a 4 nm anticipation: the
      // centre of the circle fitting 4 nm moves 3 nm on, so the arc takes the
      // radius of that circle (4 nm) rather than the 3 nm asked for.
      {"cut anticipation, shifted centre", 90.0f, 4.0f, 3.0f, 1.0f, 1, go(go(Pw, 0.0, 3.0), 90.0, 30.0), 1.0f,
       4.0f},
      // Course reversal about the crossing: the half circle is laid square to
      // the inbound course at the waypoint, so it starts there.
      {"reversal half circle", 180.0f, 2.0f, 3.0f, 10.0f, 2, go(go(Pw, 90.0, 8.0), 180.0, 10.0), 0.0f, 4.0f},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    set_route({go(Pw, 180.0, 20.0), Pw, c.next, go(c.next, c.crs_out, 20.0)});
    legs_seg_remain_dist[0] = c.straight_before;
    ASSERT_EQ(calc_turn_center(Pw.lat, Pw.lon, 0.0f, c.next.lat, c.next.lon, c.crs_out, c.dta, c.radius, 3, c.mode,
                               1, false),
              0);
    const TurnCenterResult& r = turn_center_result;
    const P ctr{r.seg1_ctr_lat, r.seg1_ctr_lon};
    const P start{r.seg1_start_lat, r.seg1_start_lon};
    EXPECT_NEAR(r.seg1_radius, c.radius_out, 0.02f);
    EXPECT_NEAR(r.seg1_dta, c.start_before_p, 1e-3f);
    EXPECT_NEAR(dist(start, Pw), c.start_before_p, 0.002f);
    EXPECT_NEAR(dist(ctr, start), r.seg1_radius, 0.002f);
    EXPECT_NEAR(dist(ctr, {r.seg1_end_lat, r.seg1_end_lon}), r.seg1_radius, 0.002f);
  }
}

// ---- turns onto and off an AF arc ---------------------------------------------------------------

// West of a DME arc (10 nm, clockwise) flying east; the arc runs from its west
// point to its north point, then a leg north-east.
class ArcRoute : public ArcDirectHold {
 protected:
  P A{40.0, -70.0};
  void build(float exit_crs = 45.0f, float turn = 3.0f, const char* type = "AF") {
    const P west = go(A, 270.0, 10.0), north = go(A, 0.0, 10.0);
    set_route({go(west, 270.0, 40.0), go(west, 270.0, 20.0), west, north, go(north, exit_crs, 20.0),
               go(north, exit_crs, 40.0)});
    make_arc(3, A, 10.0f, turn, type);
    build_route();
  }
};

TEST_F(ArcRoute, EntryTurnEndsOnTheArcAndTheArcStartsThere) {
  build();
  const float r = legs_seg1_radius[2];
  ASSERT_GT(r, 0.0f);
  EXPECT_EQ(legs_seg1_turn[2], 2.0f);  // left onto a clockwise arc from outside
  const P T{legs_seg1_ctr_lat[2], legs_seg1_ctr_lon[2]};
  const P end{legs_seg1_end_lat[2], legs_seg1_end_lon[2]};
  EXPECT_NEAR(dist(T, end), r, 0.005f);
  EXPECT_NEAR(dist(A, end), 10.0f, 0.02f);
  EXPECT_NEAR(dist(T, {legs_seg1_start_lat[2], legs_seg1_start_lon[2]}), r, 0.005f);
  EXPECT_NEAR(dist(A, T), 10.0f + r, 0.02f);
  // The turn begins on the inbound course before the arc's first fix.
  EXPECT_NEAR(legs_radii_dta[2], dist(wpt(2), {legs_radii_lat2[2], legs_radii_lon2[2]}), 0.01f);
  EXPECT_GT(legs_radii_dta[2], 0.0f);
  // The arc leg is measured from the entry radial, not from the arc's first fix.
  EXPECT_NEAR(legs_af_beg[3], brg(A, T), 0.01f);
  const float full = 10.0f * 3.14159265f / 2.0f;
  EXPECT_LT(legs_af_arc_dist[3], full - 0.1f);
  EXPECT_NEAR(legs_af_arc_dist[3], 10.0f * std::fabs(course_diff_dir(legs_af_beg[3], legs_af_end[3], 3)) *
                                       3.14159265f / 180.0f, 0.01f);
}

TEST_F(ArcRoute, ExitTurnLeavesTheArcOntoTheNextCourse) {
  build(45.0f);
  const float r = legs_seg1_radius[3];
  ASSERT_GT(r, 0.0f);
  EXPECT_EQ(legs_seg1_turn[3], 2.0f);
  const P T{legs_seg1_ctr_lat[3], legs_seg1_ctr_lon[3]};
  const P start{legs_seg1_start_lat[3], legs_seg1_start_lon[3]};
  const P end{legs_seg1_end_lat[3], legs_seg1_end_lon[3]};
  EXPECT_NEAR(dist(A, start), 10.0f, 0.02f);
  EXPECT_NEAR(dist(T, start), r, 0.005f);
  EXPECT_NEAR(dist(T, end), r, 0.005f);
  // The arc ends where the turn leaves it, the turn ends on the next leg.
  EXPECT_NEAR(std::fabs(off(legs_af_end[3], brg(A, T))), 0.0f, 0.01f);
  EXPECT_NEAR(std::fabs(off(brg(end, wpt(4)), 45.0f)), 0.0f, 0.5f);
  EXPECT_NEAR(legs_seg_remain_dist[3], dist(end, wpt(4)), 0.01f);
  EXPECT_EQ(legs_bypass[4], 0.0f);
  EXPECT_GT(legs_dist_true[4], 0.0f);
}

TEST_F(ArcRoute, SmallChangesAndRadiusLegsAreNotTurned) {
  struct Case {
    const char* what;
    float exit_crs;
    const char* type;
    int leg;  // transition checked
  } cases[] = {
      {"exit change of 10 degrees", 100.0f, "AF", 3},
      {"radius-to-fix leg entry", 45.0f, "RF", 2},
      {"radius-to-fix leg exit", 45.0f, "RF", 3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    clear_route();
    build(c.exit_crs, 3.0f, c.type);
    EXPECT_EQ(legs_radii_radius[c.leg], 0.0f);
    EXPECT_EQ(legs_seg1_start_lat[c.leg], legs_lat[c.leg]);
  }
}

TEST_F(ArcDirectHold, EntryTurnTooLargeForTheArcIsRetriedSlower) {
  // A 3 nm arc entered from inside, the course through its centre: at 330 kt
  // the 20-degree turn is far too wide, so the search steps the speed down
  // until the radius fits inside the arc less 0.1 nm, and no tangent exists.
  const P A{40.0, -70.0};
  const P south = go(A, 180.0, 3.0), east = go(A, 90.0, 3.0);
  set_route({go(A, 0.0, 30.0), go(A, 0.0, 1.0), south, east, go(east, 0.0, 20.0), go(east, 0.0, 40.0)});
  make_arc(3, A, 3.0f, 2.0f);
  legs_spd_calc[2] = 330.0f;
  legs_alt_calc[2] = 20000.0f;
  fms_debug_selector = 9999.0f;
  build_route();
  int attempts = 0;
  for (const std::string& l : simhost::log_lines()) {
    float speed = 0.0f, radius = 0.0f;
    if (std::sscanf(l.c_str(), "    xspeed = %f, xradius = %f", &speed, &radius) != 2) continue;
    ++attempts;
    EXPECT_LE(radius, 2.9f);
    EXPECT_GE(speed, 145.0f);
    EXPECT_LT(speed, 330.0f);
  }
  EXPECT_EQ(attempts, 1);
  EXPECT_TRUE(simhost::log_contains("WPT 2 <W2>: Loop for connect to WPT 3 <W3>  - entry AF/RF"));
  EXPECT_EQ(legs_radii_radius[2], 0.0f);
}

// ---- direct-to ----------------------------------------------------------------------------------

class DirectTo : public ArcDirectHold {
 protected:
  P S{40.0, -70.0};
  void start(float init_crs, int leg) {
    dir_start_lat = static_cast<float>(S.lat);
    dir_start_lon = static_cast<float>(S.lon);
    dir_init_crs = init_crs;
    legs_direct[leg] = 1.0f;
    fms_seq.intdir_act = 3.0f;
    host_mirror.sim_flightmodel_position_groundspeed = 128.6f;  // 250 kt
  }
};

TEST_F(DirectTo, StraightWithinFiveDegreesTurnFromFive) {
  struct Case {
    float bearing_off;
    int segs;
  } cases[] = {{4.9f, 0}, {-4.9f, 0}, {5.02f, 1}, {-30.0f, 1}, {120.0f, 1}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.bearing_off);
    const P W = go(S, c.bearing_off, 30.0);
    set_route({go(W, 180.0, 50.0), W, go(W, 0.0, 30.0), go(W, 0.0, 60.0)});
    start(0.0f, 1);
    EXPECT_EQ(calc_legs_path(1, 1), 1);
    EXPECT_EQ(dir_seg_count(), c.segs);
    EXPECT_EQ(dir_seg1_start_lat, static_cast<float>(S.lat));
    if (c.segs == 0) {
      EXPECT_NEAR(dir_seg_remain_dist, 30.0f, 0.01f);
      EXPECT_NEAR(std::fabs(off(legs_df_crs[1], c.bearing_off)), 0.0f, 0.01f);
      EXPECT_EQ(dir_seg1_radius, 0.0f);
      continue;
    }
    const float R = dir_seg1_radius;
    EXPECT_NEAR(R, 1.1f * turn_radius_nm(22.0f, 128.6f * 1.94384449f), 1e-3f);
    EXPECT_EQ(dir_seg1_turn, c.bearing_off < 0.0f ? 2.0f : 3.0f);
    const P K{dir_seg1_ctr_lat, dir_seg1_ctr_lon};
    const P T{dir_seg1_end_lat, dir_seg1_end_lon};
    EXPECT_NEAR(dist(K, S), R, 0.003f);
    EXPECT_NEAR(dist(K, T), R, 0.003f);
    // Leaving the circle the aircraft flies straight at the waypoint.
    const float flown = dir_seg1_turn == 2.0f ? brg(K, T) + 270.0f : brg(K, T) + 90.0f;
    EXPECT_NEAR(std::fabs(off(flown, brg(T, W))), 0.0f, 0.5f);
    EXPECT_NEAR(std::fabs(off(legs_df_crs[1], brg(T, W))), 0.0f, 0.01f);
    EXPECT_NEAR(dir_seg_remain_dist, dist(T, W), 0.01f);
    EXPECT_NEAR(legs_dist_true[1], dir_seg1_arc_lenght + dir_seg_remain_dist, 0.01f);
    EXPECT_GT(dir_seg1_arc_lenght, 0.0f);
  }
}

TEST_F(DirectTo, InterceptCourseIsFlownNotTurnedOnto) {
  const P W = go(S, 60.0, 30.0);
  set_route({go(W, 180.0, 50.0), W, go(W, 0.0, 30.0)});
  start(0.0f, 1);
  route_change_values.intdir_crs = 75.0f;
  EXPECT_EQ(calc_legs_path(1, 1), 1);
  EXPECT_EQ(dir_seg_remain_dist, 700.0f);
  EXPECT_NEAR(legs_df_crs[1], 75.0f - frame_flight_data.mag_var_deg, 1e-3f);
  EXPECT_EQ(dir_seg_count(), 0);
}

TEST_F(DirectTo, WaypointInsideTheTurnIsPassedBy) {
  // The waypoint lies 0.5 nm abeam, inside the turn circle.
  const P W = go(S, 90.0, 0.5);
  const P N = go(W, 90.0, 15.0);
  set_route({go(W, 270.0, 30.0), W, N, go(N, 90.0, 20.0), go(N, 90.0, 40.0)});
  start(0.0f, 1);
  const int next = calc_legs_path(1, 1);
  EXPECT_GT(next, 1);
  EXPECT_EQ(legs_bypass[next], 0.0f);
  ASSERT_GT(dir_seg_count(), 0);
  const float R = dir_seg1_radius;
  EXPECT_NEAR(dist({dir_seg1_ctr_lat, dir_seg1_ctr_lon}, {dir_seg1_end_lat, dir_seg1_end_lon}), R, 0.005f);
  EXPECT_GT(legs_dist_true[next], 0.0f);
  // The main loop continues from there, every call moving on, to the end.
  for (int i = next, calls = 0; static_cast<float>(i) <= fms_seq.legs_num - 1.0f; ++calls) {
    ASSERT_LT(calls, 10);
    const int after = calc_legs_path(i, 0);
    ASSERT_GT(after, i);
    i = after;
  }
}

TEST_F(DirectTo, WaypointInsideTheTurnNextToAHoldIsNotPassedBy) {
  const P W = go(S, 90.0, 0.5);
  const P N = go(W, 90.0, 15.0);
  set_route({go(W, 270.0, 30.0), W, N, go(N, 90.0, 20.0), go(N, 90.0, 40.0)});
  set_text(route_tables.leg_path_types[2], "HM");
  fms_debug_selector = 99999.0f;
  start(0.0f, 1);
  EXPECT_EQ(calc_legs_path(1, 1), 2);
  EXPECT_EQ(legs_seg_remain_dist[1], legs_dist[2]);
  EXPECT_EQ(legs_bypass[2], 0.0f);
  EXPECT_NEAR(dir_seg_remain_dist, 0.5f, 0.01f);
  EXPECT_TRUE(simhost::log_contains("WPT 1: Bypass cancel for WPT 2 (6)"));
}

TEST_F(DirectTo, LastWaypointInsideTheTurnIsFlownStraight) {
  const P W = go(S, 90.0, 0.5);
  set_route({go(W, 270.0, 30.0), W, go(W, 0.0, 10.0)});
  fms_seq.legs_num = 2.0f;
  start(0.0f, 1);
  EXPECT_EQ(calc_legs_path(1, 1), 1);
  EXPECT_EQ(dir_seg_count(), 0);
  EXPECT_NEAR(dir_seg_remain_dist, 0.5f, 0.01f);
}

TEST_F(DirectTo, DisplayRouteTurnFollowsTheActiveSideTable) {
  DisplayRoute& cpt = display_routes[0];
  cpt.count = 6.0f;
  for (int k = 0; k < 6; ++k) {
    const P w = go(S, 90.0, 10.0 * k);
    cpt.lat[k] = static_cast<float>(w.lat);
    cpt.lon[k] = static_cast<float>(w.lon);
  }
  set_mirror_f(bound::zuvadud_D738_fms_rte12_act, 1.0f);
  fms_copies.intdir_rte = 1.0f;
  fms_copies.vnav_idx_mod = 3.0f;  // waypoint 2, 20 nm east
  fms_seq.intdir = 1.0f;
  on_ground = 0;
  host_mirror.sim_flightmodel_position_latitude = S.lat;
  host_mirror.sim_flightmodel_position_longitude = S.lon;
  host_mirror.sim_flightmodel_position_groundspeed = 128.6f;
  host_mirror.sim_cockpit2_gauges_indicators_heading_AHARS_deg_mag_pilot = 0.0f;
  host_mirror.sim_cockpit2_gauges_indicators_altitude_ft_pilot = 10000.0f;
  frame_flight_data.mag_var_deg = 0.0f;

  active_route_side = 0;
  intdir_turn();
  EXPECT_EQ(display_route_mod_sel, 0.0f);
  EXPECT_EQ(direct_turn_mod.turn, 3.0f);
  const float R = direct_turn_mod.radius;
  EXPECT_NEAR(R, 1.1f * turn_radius_nm(20.0f, 128.6f * 1.94384449f), 1e-3f);
  const P K{direct_turn_mod.ctr_lat, direct_turn_mod.ctr_lon};
  const P end{intdir_end_lat_mod, intdir_end_lon_mod};
  EXPECT_NEAR(dist(K, S), R, 0.003f);
  EXPECT_NEAR(dist(K, end), R, 0.003f);
  EXPECT_NEAR(std::fabs(off(direct_turn_mod.track, brg(end, {cpt.lat[2], cpt.lon[2]}))), 0.0f, 0.5f);

  // Neither side's selection active on the same route: nothing is recomputed.
  const DirectTurnMod before = direct_turn_mod;
  active_route_side = 2;
  host_mirror.sim_cockpit2_gauges_indicators_heading_AHARS_deg_mag_pilot = 180.0f;
  intdir_turn();
  EXPECT_EQ(direct_turn_mod.radius, before.radius);
  EXPECT_EQ(direct_turn_mod.track, before.track);
  EXPECT_EQ(direct_turn_mod.turn, before.turn);

  // An index beyond the display route: no course and no turn.
  active_route_side = 0;
  fms_copies.vnav_idx_mod = 7.0f;
  intdir_turn();
  EXPECT_EQ(direct_turn_mod.track, -1.0f);
  EXPECT_EQ(direct_turn_mod.radius, 0.0f);
  fms_copies.vnav_idx_mod = 1.0e9f;
  intdir_turn();
  EXPECT_EQ(direct_turn_mod.radius, 0.0f);
}

// ---- hold entry ---------------------------------------------------------------------------------

// Hold at waypoint 2 (inbound north, radius 2 nm), arriving on `arrive`.
class HoldEntry : public ArcDirectHold {
 protected:
  P fix{40.0, -70.0};
  float r = 2.0f;
  void layout(float arrive, bool left, float leg_len, float kind) {
    const P S = go(fix, arrive + 180.0, 12.0);
    set_route({go(S, arrive + 180.0, 20.0), S, fix, go(fix, 0.0, 20.0)});
    set_text(route_tables.leg_path_types[2], "HM");
    legs_rad_turn[2] = left ? 2.0f : 3.0f;
    const P p1 = go(fix, left ? 270.0 : 90.0, r);
    const P p2 = go(p1, 180.0, leg_len);
    hold_pattern.hold_entry[2] = kind;
    hold_pattern.hold_radius[2] = r;
    hold_pattern.hold_crs_true[2] = 0.0f;
    hold_pattern.hold_ctr1_lat[2] = static_cast<float>(p1.lat);
    hold_pattern.hold_ctr1_lon[2] = static_cast<float>(p1.lon);
    hold_pattern.hold_ctr2_lat[2] = static_cast<float>(p2.lat);
    hold_pattern.hold_ctr2_lon[2] = static_cast<float>(p2.lon);
    hold_pattern.hold_side_away[2] = left ? 90.0f : 270.0f;
    hold_pattern.hold_side[2] = left ? 270.0f : 90.0f;
  }
  P c1() const { return {legs_seg1_ctr_lat[1], legs_seg1_ctr_lon[1]}; }
  P c3() const { return {legs_seg3_ctr_lat[1], legs_seg3_ctr_lon[1]}; }
};

// The entries the builder lays out are found by the path position piece by
// piece, in the hold phases that fly them, with the distance to go shrinking
// from each piece to the next.
TEST_F(HoldEntry, PathPositionFollowsTheEntryPieces) {
  struct Case {
    float kind, arrive;
    bool left;
    float leg_len, phase;
    int32_t codes[3];  // first arc, straight, second arc
  } cases[] = {
      {1.0f, 150.0f, true, 5.0f, 14.0f, {314, 315, 316}}, {1.0f, 200.0f, false, 5.0f, 14.0f, {314, 315, 316}},
      {3.0f, 100.0f, true, 8.0f, 11.0f, {311, 312, 313}}, {3.0f, 260.0f, false, 8.0f, 11.0f, {311, 312, 313}},
      {3.0f, 250.0f, true, 6.0f, 11.0f, {311, 312, 313}},
      // Turn circles overlapping: the second turn moves out and the straight
      // between them is flown; the second arc must not claim the first.
      {3.0f, 100.0f, true, 5.0f, 11.0f, {311, 312, 313}}, {3.0f, 260.0f, false, 5.0f, 11.0f, {311, 312, 313}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "kind " << c.kind << " arrive " << c.arrive << " left " << c.left);
    clear_route();
    layout(c.arrive, c.left, c.leg_len, c.kind);
    hold_pattern.hold_leg_len[2] = c.leg_len;
    build_route();
    fms_seq.hold_phase = c.phase;
    const auto on_arc = [](double clat, double clon, float radius, float start, float end, float turn) {
      const float mid = start + 0.5f * course_diff_dir(start, end, static_cast<int>(turn));
      return go({clat, clon}, mid, radius);
    };
    const P s1_end{legs_seg1_end_lat[1], legs_seg1_end_lon[1]};
    const P s2_end{legs_seg2_end_lat[1], legs_seg2_end_lon[1]};
    const P pts[3] = {
        on_arc(legs_seg1_ctr_lat[1], legs_seg1_ctr_lon[1], legs_seg1_radius[1], legs_seg1_start_angle[1],
               legs_seg1_end_angle[1], legs_seg1_turn[1]),
        go(s1_end, gc_bearing(s1_end.lat, s1_end.lon, s2_end.lat, s2_end.lon), 0.5 * dist(s1_end, s2_end)),
        on_arc(legs_seg3_ctr_lat[1], legs_seg3_ctr_lon[1], legs_seg3_radius[1], legs_seg3_start_angle[1],
               legs_seg3_end_angle[1], legs_seg3_turn[1]),
    };
    float to_go = 1.0e9f;
    for (int k = 0; k < 3; ++k) {
      if (c.codes[k] == 0) continue;
      EXPECT_EQ(path_position_hold(2, 1, pts[k].lat, pts[k].lon, 0), c.codes[k]) << "piece " << k;
      EXPECT_LT(nav_result.along_track, to_go) << "piece " << k;
      to_go = nav_result.along_track;
    }
  }
}

TEST_F(HoldEntry, EveryKindPutsItsArcsOnTheirCircles) {
  struct Case {
    float kind;
    float arrive;
    bool left;
    float leg_len;
  } cases[] = {
      {1.0f, 150.0f, true, 5.0f}, {1.0f, 200.0f, false, 5.0f}, {2.0f, 20.0f, true, 5.0f},
      {2.0f, 330.0f, false, 5.0f}, {3.0f, 100.0f, true, 5.0f}, {3.0f, 260.0f, false, 5.0f},
      {3.0f, 250.0f, true, 6.0f}, {4.0f, 10.0f, true, 5.0f}, {4.0f, 350.0f, false, 1.0f},
      {5.0f, 180.0f, true, 5.0f}, {5.0f, 180.0f, false, 1.0f},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "kind " << c.kind << " arrive " << c.arrive << " left " << c.left);
    clear_route();
    layout(c.arrive, c.left, c.leg_len, c.kind);
    build_route();
    const float tol = 0.01f;
    if (legs_seg1_radius[1] > 0.0f) {
      EXPECT_NEAR(dist(c1(), {legs_seg1_start_lat[1], legs_seg1_start_lon[1]}), r, tol);
      EXPECT_NEAR(dist(c1(), {legs_seg1_end_lat[1], legs_seg1_end_lon[1]}), r, tol);
      EXPECT_GT(legs_seg1_arc_lenght[1], 0.0f);
    }
    if (c.kind != 2.0f) {
      EXPECT_NEAR(dist(c3(), {legs_seg3_end_lat[1], legs_seg3_end_lon[1]}), r, tol);
      EXPECT_GT(legs_seg3_arc_lenght[1], 0.0f);
    }
    const P seg2_end{legs_seg2_end_lat[1], legs_seg2_end_lon[1]};
    if (c.kind == 1.0f || c.kind == 3.0f) {
      EXPECT_NEAR(dist(c3(), seg2_end), r, tol);
    }
    if (c.kind == 2.0f) {
      EXPECT_NEAR(dist(fix, seg2_end), 2.0f * r, tol);
    }
    EXPECT_EQ(legs_dist_true[2], 0.0f);
    for (const float* a : {legs_seg1_arc_lenght, legs_seg2_distance, legs_seg3_arc_lenght, legs_seg2_crs_true,
                           legs_dist_true}) {
      EXPECT_TRUE(std::isfinite(a[1]));
    }
    if (c.kind >= 4.0f) {
      const P p1{hold_pattern.hold_ctr1_lat[2], hold_pattern.hold_ctr1_lon[2]};
      // The second turn keeps 2 r + 0.1 nm off the hold's turn at the fix.
      EXPECT_GE(dist(p1, c3()), 2.0f * r + 0.1f - 0.01f);
      if (c.leg_len < 2.0f * r) {
        EXPECT_NEAR(dist(p1, c3()), 2.0f * r + 0.1f, 0.01f);
      }
      EXPECT_NEAR(dist(p1, seg2_end), r, tol);
      const P arc_start{legs_hold_arc_lat[1], legs_hold_arc_lon[1]};
      EXPECT_NEAR(dist(c3(), arc_start), r, tol);
      // The course field carries the outbound straight's length.
      EXPECT_NEAR(legs_seg2_crs_true[1], dist({legs_seg1_end_lat[1], legs_seg1_end_lon[1]}, arc_start), 0.01f);
      EXPECT_GT(legs_hold_arc_dist[1], 0.0f);
      EXPECT_NEAR(dist(p1, {legs_seg2_end_lat[1], legs_seg2_end_lon[1]}), r, tol);
    }
    if (c.kind == 5.0f) {
      EXPECT_EQ(legs_seg1_start_lat[1], legs_lat[2]);
      EXPECT_EQ(legs_seg1_end_lon[1], legs_lon[2]);
      EXPECT_NEAR(legs_seg2_crs_true[1], dist(fix, {legs_hold_arc_lat[1], legs_hold_arc_lon[1]}), 0.01f);
    }
  }
}

// Parallel entry arriving just over 90 degrees off the outbound course: at
// the fix none of the entry is flown, so the return to the fix is not found.
TEST_F(HoldEntry, ParallelEntryReturnsOnlyAfterItsLastArc) {
  layout(270.0f, false, 5.0f, 4.0f);
  build_route();
  host_mirror.sim_cockpit2_gauges_indicators_heading_AHARS_deg_mag_pilot = 271.0f;
  fms_seq.hold_phase = 6.0f;
  for (const P at : {go(fix, 90.0, 0.3), fix}) EXPECT_EQ(path_position_hold(2, 1, at.lat, at.lon, 0), 331);
}

TEST_F(HoldEntry, NoEntryKindLeavesTheTransition) {
  layout(150.0f, true, 5.0f, 0.0f);
  build_route();
  EXPECT_EQ(legs_seg3_radius[1], 0.0f);
  EXPECT_EQ(legs_seg2_distance[1], 0.0f);
  EXPECT_EQ(legs_hold_arc_dist[1], 0.0f);
}

TEST_F(HoldEntry, StraightFromTheFixWhenTheTangentIsAhead) {
  layout(0.0f, true, 5.0f, 3.0f);
  // Arrive on the tangent course from the fix to the far turn, 3 degrees off.
  const P p2{hold_pattern.hold_ctr2_lat[2], hold_pattern.hold_ctr2_lon[2]};
  circle_tangent_points(p2.lat, p2.lon, r, fix.lat, fix.lon);
  const float b1 = brg(fix, {two_point_result.lat1, two_point_result.lon1});
  const float b2 = brg(fix, {two_point_result.lat2, two_point_result.lon2});
  const float t = off(brg(fix, p2), b1) >= 0.0f ? b2 : b1;
  legs_brg_fin_true[1] = (t + 3.0f) * 3.14159265f / 180.0f;
  legs_brg_true[1] = legs_brg_fin_true[1];
  reset_leg_path(1, 0);
  legpath::hold_entry_stage(1);
  EXPECT_EQ(legs_seg1_radius[1], 0.0f);
  EXPECT_EQ(legs_seg1_arc_lenght[1], 0.0f);
  EXPECT_EQ(legs_radii_radius[1], 0.0f);
  EXPECT_NEAR(legs_seg2_crs_true[1], t, 1e-3f);
  EXPECT_NEAR(legs_seg2_distance[1], dist(fix, {legs_seg2_end_lat[1], legs_seg2_end_lon[1]}), 1e-3f);
  EXPECT_NEAR(dist(p2, {legs_seg3_end_lat[1], legs_seg3_end_lon[1]}), r, 0.01f);
}

// Overlapping turn circles (right-hand, inbound 010 from 185 turned by -10,
// 30 s legs at 210 kt): left turn, short straight, right turn onto the inbound.
TEST_F(HoldEntry, OverlappingTurnsMoveTheSecondTurnOut) {
  r = 1.513f;
  layout(175.0f, false, 1.75f, 3.0f);
  build_route();
  EXPECT_NEAR(legs_seg1_arc_lenght[1] / r * 57.29578f, 70.7f, 0.2f);
  EXPECT_NEAR(legs_seg2_crs_true[1], 104.3f, 0.2f);
  EXPECT_NEAR(legs_seg2_distance[1], 0.78f, 0.01f);
  EXPECT_NEAR(legs_seg3_arc_lenght[1] / r * 57.29578f, 255.7f, 0.2f);
  EXPECT_NEAR(off(brg(fix, {legs_seg3_end_lat[1], legs_seg3_end_lon[1]}), 180.0), 0.0f, 0.05f);
  // 1 nm short of the far turn's end: round that turn still on it, from the entry on the inbound leg.
  const P on_inbound = go(fix, 180.0, 2.75);
  fms_seq.hold_phase = 0.0f;
  for (const int32_t from : {303, 313}) {
    route_track.region = from;
    EXPECT_EQ(path_position_hold(2, 1, on_inbound.lat, on_inbound.lon, 0), from == 313 ? 300 : 303);
  }
  EXPECT_NEAR(nav_result.cross_track, 0.0f, 0.01f);
}

// ---- generated routes with arcs and direct-tos ---------------------------------------------------

TEST_F(ArcDirectHold, GeneratedRoutesWithArcsAndDirectTosHoldTogether) {
  std::mt19937 rng(4321);
  std::uniform_real_distribution<double> turn(-150.0, 150.0), len(2.0, 40.0), spd(150.0, 320.0), alt(0.0, 35000.0),
      unit(0.0, 1.0), arc_r(4.0, 20.0), sweep(20.0, 120.0);
  int arcs_built = 0, direct_turns = 0;
  for (int route = 0; route < 80; ++route) {
    const int n = 14;
    std::vector<P> pts;
    std::vector<int> arc_leg;
    std::vector<P> centres;
    std::vector<float> radii, turns;
    P at{40.0, -70.0};
    double crs = 90.0;
    pts.push_back(at);
    while (static_cast<int>(pts.size()) < n) {
      if (pts.size() >= 2 && unit(rng) < 0.25) {
        // An arc tangent-ish to the current course: centre abeam, sweep on.
        // Its tangent at the start is 20 to 80 degrees off the course flown.
        const bool right = unit(rng) < 0.5;
        const double R = arc_r(rng);
        const double tangent = crs + (unit(rng) < 0.5 ? -1.0 : 1.0) * (20.0 + 60.0 * unit(rng));
        const P C = go(at, tangent + (right ? 90.0 : 270.0), R);
        const double a0 = brg(C, at);
        const double a1 = a0 + (right ? 1.0 : -1.0) * sweep(rng);
        at = go(C, a1, R);
        arc_leg.push_back(static_cast<int>(pts.size()));
        centres.push_back(C);
        radii.push_back(static_cast<float>(R));
        turns.push_back(right ? 3.0f : 2.0f);
        crs = a1 + (right ? 90.0 : 270.0);
      } else {
        crs = std::fmod(crs + turn(rng) + 360.0, 360.0);
        at = go(at, crs, len(rng));
      }
      pts.push_back(at);
    }
    clear_route();
    set_route(pts);
    for (size_t a = 0; a < arc_leg.size(); ++a) make_arc(arc_leg[a], centres[a], radii[a], turns[a]);
    for (int k = 0; k < n; ++k) {
      legs_spd_calc[k] = static_cast<float>(spd(rng));
      legs_alt_calc[k] = static_cast<float>(alt(rng));
    }
    int first = 0;
    if (route % 2 == 1) {
      // A direct-to from somewhere near the route to one of its first waypoints.
      const int d = 1 + static_cast<int>(unit(rng) * 4.0);
      const P s = go(wpt(d), unit(rng) * 360.0, 0.3 + unit(rng) * 20.0);
      dir_start_lat = static_cast<float>(s.lat);
      dir_start_lon = static_cast<float>(s.lon);
      dir_init_crs = static_cast<float>(unit(rng) * 360.0);
      legs_direct[d] = 1.0f;
      fms_seq.intdir_act = 3.0f;
      host_mirror.sim_flightmodel_position_groundspeed = static_cast<float>(80.0 + unit(rng) * 100.0);
      route_change_values.intdir_crs = -1.0f;
      first = calc_legs_path(d, 1);
      ASSERT_GE(first, d);
      ASSERT_TRUE(std::isfinite(dir_seg_remain_dist));
      for (const float v : {dir_seg1_ctr_lat, dir_seg1_end_lat, dir_seg1_arc_lenght, dir_seg2_distance,
                            dir_seg3_arc_lenght, dir_seg3_end_lat})
        ASSERT_TRUE(std::isfinite(v)) << route;
      if (dir_seg_count() > 0) {
        ++direct_turns;
        const P K{dir_seg1_ctr_lat, dir_seg1_ctr_lon};
        const float R = dir_seg1_radius;
        EXPECT_NEAR(dist(K, {dir_seg1_start_lat, dir_seg1_start_lon}), R, 0.01f + R * 2e-3f) << route;
        EXPECT_NEAR(dist(K, {dir_seg1_end_lat, dir_seg1_end_lon}), R, 0.01f + R * 2e-3f) << route;
      }
      fms_seq.intdir_act = 0.0f;
    }
    int calls = 0;
    for (int i = first; static_cast<float>(i) <= fms_seq.legs_num - 1.0f && calls < 600; ++calls) {
      legs_bypass[i] = 0.0f;
      i = calc_legs_path(i, 0);
    }
    ASSERT_LT(calls, n) << route;
    for (int k = first; k < n - 1; ++k) {
      for (const float* a : {legs_seg1_ctr_lat, legs_seg1_start_lat, legs_seg1_end_lat, legs_seg_remain_dist,
                             legs_dist_true, legs_seg1_arc_lenght, legs_seg2_distance, legs_seg3_arc_lenght,
                             legs_af_arc_dist, legs_af_beg, legs_af_end}) {
        ASSERT_TRUE(std::isfinite(a[k])) << route << " " << k;
      }
      if (legs_bypass[k] == 1.0f) continue;
      const float r = legs_seg1_radius[k];
      if (!(r > 0.0f) || legs_seg1_end_lat[k] == 0.0f) continue;
      const float tol = 0.002f + r * 1e-3f;
      const P C{legs_seg1_ctr_lat[k], legs_seg1_ctr_lon[k]};
      EXPECT_NEAR(dist(C, {legs_seg1_end_lat[k], legs_seg1_end_lon[k]}), r, tol) << route << " " << k;
      EXPECT_NEAR(dist(C, {legs_seg1_start_lat[k], legs_seg1_start_lon[k]}), r, tol) << route << " " << k;
      // A turn onto an arc ends on the arc's circle (to the accuracy of the
      // flat circle construction over the arc's radius).
      if (route_text_is(route_tables.leg_path_types[k + 1], "AF") &&
          !route_text_is(route_tables.leg_path_types[k], "AF")) {
        ++arcs_built;
        EXPECT_NEAR(dist({legs_rad_lat[k + 1], legs_rad_lon[k + 1]}, {legs_seg1_end_lat[k], legs_seg1_end_lon[k]}),
                    legs_radius[k + 1], 0.01f + 0.003f * legs_radius[k + 1])
            << route << " " << k;
      }
    }
  }
  EXPECT_GT(direct_turns, 10);
  EXPECT_GT(arcs_built, 3);
}

}  // namespace
