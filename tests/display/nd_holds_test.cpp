// Holds, procedure turns, the lateral offset path and the modified-route
// pass as drawn into the panel: racetrack sides and range gate, when a hold
// entry shows, the pending hold and its slot, the second route's colours,
// slots and labels.
#include "lnav/route/hold_geometry.h"
#include "display/nd_labels.h"
#include "display/nd_slots.h"
#include "lnav/path/path_position.h"
#include "nd_pass_fixture.h"

namespace {

using namespace nd_test;

// Lays a racetrack out at leg i as the route decode does: inbound course c
// (true), side code turn (0 left-hand), turn radius r and leg length len, nm.
struct HoldShape {
  double ctr1_lat, ctr1_lon, ctr2_lat, ctr2_lon, out_lat, out_lon, rad_a, rad_b;
};
HoldShape lay_hold(int i, double c, float turn, double r, double len) {
  HoldShape h{};
  const bool left = turn == 0.0f;
  h.rad_a = std::fmod(c + (left ? 90.0 : 270.0), 360.0);
  h.rad_b = std::fmod(c + (left ? 270.0 : 90.0), 360.0);
  gc_destination(legs_lat[i], legs_lon[i], h.rad_b, r);
  h.ctr1_lat = nav_result.lat;
  h.ctr1_lon = nav_result.lon;
  gc_destination(h.ctr1_lat, h.ctr1_lon, std::fmod(c + 180.0, 360.0), len);
  h.ctr2_lat = nav_result.lat;
  h.ctr2_lon = nav_result.lon;
  gc_destination(h.ctr2_lat, h.ctr2_lon, h.rad_b, r);
  h.out_lat = nav_result.lat;
  h.out_lon = nav_result.lon;
  HoldPatternArrays& a = hold_pattern;
  a.hold_radius[i] = static_cast<float>(r);
  a.hold_leg_len[i] = static_cast<float>(len);
  a.hold_ctr1_lat[i] = static_cast<float>(h.ctr1_lat);
  a.hold_ctr1_lon[i] = static_cast<float>(h.ctr1_lon);
  a.hold_ctr2_lat[i] = static_cast<float>(h.ctr2_lat);
  a.hold_ctr2_lon[i] = static_cast<float>(h.ctr2_lon);
  a.hold_far_lat[i] = static_cast<float>(h.out_lat);
  a.hold_far_lon[i] = static_cast<float>(h.out_lon);
  a.hold_side_away[i] = static_cast<float>(h.rad_a);
  a.hold_side[i] = static_cast<float>(h.rad_b);
  legs_rad_turn[i] = turn;
  return h;
}

// The first two entry pieces stored with the transition leg 1: a left arc
// of the given radius from 180 to 90 degrees, then a straight north.
void lay_entry_arc_and_straight(float seg1_radius) {
  legs_seg1_ctr_lat[1] = 0.05f;
  legs_seg1_ctr_lon[1] = -0.02f;
  legs_seg1_radius[1] = seg1_radius;
  legs_seg1_start_angle[1] = 180.0f;
  legs_seg1_end_angle[1] = 90.0f;
  legs_seg1_turn[1] = 2.0f;
  legs_seg1_end_lat[1] = 0.05f;
  legs_seg1_end_lon[1] = -0.01f;
  legs_seg2_end_lat[1] = 0.08f;
  legs_seg2_end_lon[1] = -0.01f;
}

class NdHolds : public MapPassFixture {
 protected:
  void SetUp() override {
    MapPassFixture::SetUp();
    electric::dc_bus2_status = 0.0f;  // captain only
    for (int k = 0; k < 256; ++k) {
      hold_pattern.hold_entry[k] = 0.0f;
      clear_hold_pattern(k);
      clear_proc_turn(k);
    }
  }
  // W0 at the aircraft, W1 6 nm north, a hold at W1 as leg 2.
  void hold_route() {
    route_north(4, 6.0);
    legs_lat[2] = legs_lat[1];
    set_name(route_tables.waypoint_names[2], "W1");
    set_name(route_tables.leg_path_types[2], "HM");
    fms_seq.legs_num = 3.0f;
  }
};

TEST_F(NdHolds, RacetrackOnTheHoldSideAndOnlyUpToRangeIndexFour) {
  struct Case {
    float turn;
    float range;
    bool drawn;
  };
  const Case cases[] = {{1.0f, 2.0f, true}, {0.0f, 2.0f, true}, {1.0f, 4.0f, true}, {1.0f, 5.0f, false}};
  for (const Case& c : cases) {
    hold_route();
    efis_side[0].map_range = c.range;
    const double scale = nd_range_scale(c.range);
    const HoldShape h = lay_hold(2, 0.0, c.turn, 1.0, 4.0);
    const auto& lines = pass();
    const double r_px = 1.0 * scale * kAreaPx;
    const int near_fix_turn = ends_on_circle(lines, capt_px(h.ctr1_lat, h.ctr1_lon, scale), r_px);
    const int far_turn = ends_on_circle(lines, capt_px(h.ctr2_lat, h.ctr2_lon, scale), r_px);
    if (!c.drawn) {
      EXPECT_LT(near_fix_turn + far_turn, 4) << c.range;  // a stray route end at most
      continue;
    }
    // Two half circles of one-degree steps.
    EXPECT_GE(near_fix_turn, 300) << c.turn << " " << c.range;
    EXPECT_GE(far_turn, 300) << c.turn << " " << c.range;
    // The outbound straight joins the end of the first turn to the far turn,
    // on the hold's side of the inbound course.
    gc_destination(h.ctr1_lat, h.ctr1_lon, h.rad_b, 1.0);
    const Px turn_end = capt_px(nav_result.lat, nav_result.lon, scale);
    const Px out_end = capt_px(h.out_lat, h.out_lon, scale);
    EXPECT_TRUE(has_line(lines, turn_end, out_end, 0.8)) << c.turn;
    EXPECT_EQ(turn_end.x > kCaptX0 + 250, c.turn != 0.0f);
  }
}

TEST_F(NdHolds, EntryShowsOnlyWhenDue) {
  struct Case {
    uint8_t entry_drawn, suppress;
    float nav_mode, vnav_idx;
    bool shown;
  };
  const Case cases[] = {
      {0, 0, 0.0f, 3.0f, false},  // active hold, nothing asks for the entry
      {1, 0, 0.0f, 3.0f, true},   // active, entry marked drawn
      {0, 0, 3.0f, 3.0f, true},   // active, in the hold mode
      {1, 1, 3.0f, 3.0f, false},  // active but suppressed
      {1, 1, 0.0f, 2.0f, true},   // a later hold: the suppress byte does not apply
      {0, 0, 3.0f, 2.0f, false},  // a later hold needs its drawn mark
  };
  for (const Case& c : cases) {
    hold_route();
    lay_hold(2, 0.0, 1.0f, 1.0, 4.0);
    // Entry of kind 2 stored with leg 1: arc, straight, then to the fix.
    lay_entry_arc_and_straight(0.5f);
    hold_pattern.hold_entry[2] = 2.0f;
    hold_pattern.hold_near[2] = c.entry_drawn;
    hold_region_flag = c.suppress;
    fms_seq.nav_mode = c.nav_mode;
    fms_seq.vnav_idx = c.vnav_idx;
    const auto& lines = pass();
    const double s = 0.034;
    EXPECT_EQ(has_line(lines, capt_px(0.08, -0.01, s), capt_px(legs_lat[2], 0.0, s)), c.shown)
        << int(c.entry_drawn) << int(c.suppress) << " " << c.nav_mode << " " << c.vnav_idx;
    EXPECT_EQ(has_line(lines, capt_px(0.05, -0.01, s), capt_px(0.08, -0.01, s)), c.shown);
  }
}

// Entry kinds other than 2, drawn into the active hold: each kind's own
// pieces from the transition leg before the hold.
TEST_F(NdHolds, EntryKindsDrawTheirOwnPieces) {
  const double s = 0.034;
  auto px = [s](double lat, double lon) { return capt_px(lat, lon, s); };
  struct Case {
    float kind;
    float seg1_radius;
  };
  const Case cases[] = {{0, 0.5f}, {1, 0.5f}, {3, 0.0f}, {3, 0.5f}, {4, 0.5f}, {5, 0.5f}};
  int hold_circle_without_entry = 0;
  for (const Case& c : cases) {
    hold_route();
    const HoldShape h = lay_hold(2, 0.0, 1.0f, 1.0, 4.0);
    lay_entry_arc_and_straight(c.seg1_radius);
    legs_seg3_ctr_lat[1] = 0.09f;
    legs_seg3_ctr_lon[1] = -0.04f;
    legs_seg3_radius[1] = 0.3f;
    legs_seg3_start_angle[1] = 270.0f;
    legs_seg3_end_angle[1] = 0.0f;
    legs_seg3_turn[1] = 3.0f;
    legs_seg3_end_lat[1] = 0.095f;
    legs_seg3_end_lon[1] = -0.04f;
    legs_seg3_pt_lat[1] = 0.07f;
    legs_seg3_pt_lon[1] = -0.03f;
    legs_entry_rad[1] = 200.0f;
    hold_pattern.hold_entry[2] = c.kind;
    hold_pattern.hold_near[2] = 1;
    fms_seq.vnav_idx = 3.0f;  // the hold is the active leg
    const auto& lines = pass();
    const Px fix = px(legs_lat[2], 0.0);
    const Px seg1_end = px(0.05, -0.01), seg2_end = px(0.08, -0.01), seg3_pt = px(0.07, -0.03);
    const bool first_straight = has_line(lines, seg1_end, seg2_end);
    const int seg3_own = ends_on_circle(lines, px(0.09, -0.04), 0.3 * s * kAreaPx);
    const int seg3_on_seg1_radius = ends_on_circle(lines, px(0.09, -0.04), 0.5 * s * kAreaPx);
    const int hold_circle = ends_on_circle(lines, px(h.ctr1_lat, h.ctr1_lon), 1.0 * s * kAreaPx);
    switch (static_cast<int>(c.kind)) {
      case 0:
        EXPECT_FALSE(first_straight);
        EXPECT_EQ(seg3_own + seg3_on_seg1_radius, 0);
        hold_circle_without_entry = hold_circle;
        break;
      case 1:  // seg1 arc, straight, then the seg3 arc on the entry's radius
        EXPECT_TRUE(first_straight);
        EXPECT_GE(seg3_on_seg1_radius, 20);
        EXPECT_FALSE(has_line(lines, seg2_end, fix));
        break;
      case 3:
        if (c.seg1_radius == 0.0f) {  // straight in from the seg2 end
          EXPECT_TRUE(has_line(lines, seg2_end, fix));
          EXPECT_FALSE(first_straight);
        } else {
          EXPECT_TRUE(first_straight);
          EXPECT_GE(seg3_own, 20);
        }
        break;
      case 4:
        EXPECT_TRUE(has_line(lines, seg1_end, seg3_pt));
        EXPECT_FALSE(first_straight);
        break;
      case 5:  // from the waypoint before, round seg3, back, and onto the hold circle
        EXPECT_TRUE(has_line(lines, px(legs_lat[1], 0.0), seg3_pt));
        EXPECT_GE(seg3_own, 20);
        EXPECT_TRUE(has_line(lines, px(0.095, -0.04), seg2_end));
        EXPECT_GE(hold_circle, hold_circle_without_entry + 20);
        break;
    }
  }
}

// The hold layout decides from the time to the fix whether a later hold's
// entry is shown: under 180 s it is, over 220 s it is not, between the two
// the last answer holds.
TEST_F(NdHolds, LaterHoldEntryFollowsTheTimeToTheFix) {
  struct Case {
    float gs_mps;  // 10 nm to the fix
    bool shown;
  };
  const Case cases[] = {{200.0f, true}, {100.0f, true}, {80.0f, false}, {100.0f, false}, {0.0f, false}};
  hold_route();
  for (const Case& c : cases) {
    lay_hold(2, 0.0, 1.0f, 1.0, 4.0);
    legs_seg1_ctr_lat[1] = 0.05f;
    legs_seg1_ctr_lon[1] = -0.02f;
    legs_seg1_radius[1] = 0.5f;
    legs_seg1_start_angle[1] = 180.0f;
    legs_seg1_end_angle[1] = 90.0f;
    legs_seg1_turn[1] = 2.0f;
    legs_seg1_end_lat[1] = 0.05f;
    legs_seg1_end_lon[1] = -0.01f;
    legs_seg2_end_lat[1] = 0.08f;
    legs_seg2_end_lon[1] = -0.01f;
    fms_seq.vnav_idx = 2.0f;  // leg 1 active, the hold is leg 2
    legs_dist_dest_true[1] = 10.0f;
    legs_dist_dest_true[2] = 0.0f;
    route_track.abeam_dist_bp = 0.0f;
    host_mirror.sim_flightmodel_position_groundspeed = c.gs_mps;
    compute_hold_pattern(2);
    lay_hold(2, 0.0, 1.0f, 1.0, 4.0);  // keep the drawn racetrack where the checks expect it
    hold_pattern.hold_entry[2] = 2.0f;
    const auto& lines = pass();
    const double s = 0.034;
    EXPECT_EQ(has_line(lines, capt_px(0.08, -0.01, s), capt_px(legs_lat[2], 0.0, s)), c.shown) << c.gs_mps;
  }
}

TEST_F(NdHolds, ProcedureTurnFigureAndSymbol) {
  efis_side[0].map_range = 3.0f;
  const double s = 0.017;
  route_north(4, 12.0);
  set_name(route_tables.leg_path_types[2], "PI");
  legs_lat[2] = legs_lat[1];
  set_name(route_tables.waypoint_names[2], "W1");
  legs_crs_mag[2] = 180.0f;
  legs_rad_turn[2] = 0.0f;
  legs_seg1_start_lat[2] = legs_lat[2];  // as the path reset leaves a leg without a turn
  legs_seg1_start_lon[2] = 0.0f;
  fms_seq.legs_num = 3.0f;
  compute_proc_turn(2);
  const ProcTurnArrays& t = proc_turn;
  ASSERT_GT(t.pi_radius[2], 0.0f);
  const double r_px = t.pi_radius[2] * s * kAreaPx;
  const auto& lines = pass();
  // The 45-degree turns and the 180-degree turn, each on the layout's radius.
  EXPECT_GE(ends_on_circle(lines, capt_px(t.pi_p2_lat[2], t.pi_p2_lon[2], s), r_px), 80);
  EXPECT_GE(ends_on_circle(lines, capt_px(t.pi_p5_lat[2], t.pi_p5_lon[2], s), r_px), 340);
  EXPECT_GE(ends_on_circle(lines, capt_px(t.pi_x_lat[2], t.pi_x_lon[2], s), r_px), 80);
  EXPECT_TRUE(has_line(lines, capt_px(legs_lat[2], 0.0, s), capt_px(t.pi_p1_lat[2], t.pi_p1_lon[2], s)));
  EXPECT_TRUE(has_line(lines, capt_px(t.pi_p3_lat[2], t.pi_p3_lon[2], s), capt_px(t.pi_p4_lat[2], t.pi_p4_lon[2], s)));
  // Symbol, for each side code: two 1.65 nm corners joined by a straight,
  // on the side the code gives (0 and 2 left, 1 and 3 right). The first
  // corner lies behind the fix (course + 225 left, + 135 right), the second
  // back along the course from it, abeam a point 5 nm out on that diagonal;
  // the straight runs between their outer sides.
  for (const float code : {0.0f, 1.0f, 2.0f, 3.0f}) {
    legs_rad_turn[2] = code;
    const bool left = code == 0.0f || code == 2.0f;
    const double c = 180.0;
    const double corner = left ? 225.0 : 135.0;
    const double side = left ? 270.0 : 90.0;
    gc_destination(legs_lat[2], 0.0, c + corner, 1.65);
    const double a_lat = nav_result.lat, a_lon = nav_result.lon;
    gc_destination(legs_lat[2], 0.0, c + corner, 5.0);
    gc_destination(nav_result.lat, nav_result.lon, c + side + 180.0, 5.0 * std::sqrt(0.5) - 1.65 * std::sqrt(0.5));
    const double b_lat = nav_result.lat, b_lon = nav_result.lon;
    const auto& sym = pass();
    const double r = 1.65 * s * kAreaPx;
    EXPECT_GE(ends_on_circle(sym, capt_px(a_lat, a_lon, s), r), 100) << code;
    EXPECT_GE(ends_on_circle(sym, capt_px(b_lat, b_lon, s), r), 80) << code;
    gc_destination(a_lat, a_lon, c + side, 1.65);
    const Px from = capt_px(nav_result.lat, nav_result.lon, s);
    gc_destination(b_lat, b_lon, c + side, 1.65);
    EXPECT_TRUE(has_line(sym, from, capt_px(nav_result.lat, nav_result.lon, s), 1.0)) << code;
  }
  legs_rad_turn[2] = 0.0f;

  // A turn of its own before the procedure turn: the figure gives way to the
  // ordinary path, the symbol stays.
  legs_radii_radius[1] = 1.0f;
  const auto& again = pass();
  EXPECT_EQ(ends_on_circle(again, capt_px(t.pi_p5_lat[2], t.pi_p5_lon[2], s), r_px), 0);
  gc_destination(legs_lat[2], 0.0, 180.0 + 225.0, 1.65);
  EXPECT_GE(ends_on_circle(again, capt_px(nav_result.lat, nav_result.lon, s), 1.65 * s * kAreaPx), 100);
}

TEST_F(NdHolds, LateralOffsetPath) {
  route_north(5, 3.0);
  RouteChangeValues& rc = route_change_values;
  rc.legs_offset_start = 2.0f;
  rc.legs_offset_end = 3.0f;
  const float pts[4][2] = {{0.05f, 0.03f}, {0.03f, 0.0f}, {0.1f, 0.03f}, {0.12f, 0.0f}};
  for (int k = 0; k < 4; ++k) {
    rc.offset_lat[k] = pts[k][0];
    rc.offset_lon[k] = pts[k][1];
  }
  const double s = 0.034;
  auto P = [&](int k) { return capt_px(pts[k][0], pts[k][1], s); };
  struct Case {
    float act, vnav_idx;
    bool leave, across, rejoin;
  };
  // From the active leg on: an offset starting on the active leg shows, one
  // on a leg already flown does not.
  const Case cases[] = {{4.0f, 1, false, false, false}, {5.0f, 1, true, true, true}, {9.0f, 1, false, false, true},
                        {5.0f, 2, true, true, true},    {5.0f, 3, false, false, false}};
  for (const Case& c : cases) {
    fms_seq.legs_offset_act = c.act;
    fms_seq.vnav_idx = c.vnav_idx;
    std::vector<simhost::Line> magenta;
    for (const auto& l : pass())
      if (near_colour(l, kMagenta)) magenta.push_back(l);
    EXPECT_EQ(has_line(magenta, P(1), P(0)), c.leave) << c.act;
    EXPECT_EQ(has_line(magenta, P(0), P(2)), c.across) << c.act;
    EXPECT_EQ(has_line(magenta, P(2), P(3)), c.rejoin) << c.act;
  }
  // An offset end beyond the route, or leg numbers below 1, show no offset
  // path (and read no corner before the first leg).
  fms_seq.legs_offset_act = 5.0f;
  fms_seq.vnav_idx = 1.0f;
  struct Bad {
    float start, end;
  };
  for (const Bad b : {Bad{2.0f, 9.0f}, Bad{-3.0f, 3.0f}, Bad{0.5f, 3.0f}}) {
    rc.legs_offset_start = b.start;
    rc.legs_offset_end = b.end;
    legs_offset[0] = 1.0f;
    std::vector<simhost::Line> magenta;
    for (const auto& l : pass())
      if (near_colour(l, kMagenta)) magenta.push_back(l);
    EXPECT_FALSE(has_line(magenta, P(1), P(0))) << b.start << " " << b.end;
    EXPECT_FALSE(has_line(magenta, P(0), P(2))) << b.start << " " << b.end;
  }
}

class NdModRoute : public NdHolds {
 protected:
  void second_route(int n) {
    DisplayRoute& r = display_routes[0];
    r.count = static_cast<float>(n);
    for (int k = 0; k < n; ++k) {
      r.lat[k] = static_cast<float>(k * 0.05);
      r.lon[k] = 0.05f;
      char name[16];
      std::snprintf(name, sizeof name, "M%d", k);
      set_name(route_tables.waypoint_names_2[k], name);
      set_name(route_tables.leg_path_types_2[k], "TF");
    }
    fms_copies.vnav_idx_mod = 1.0f;
  }
};

TEST_F(NdModRoute, NothingPendingDrawsNothing) {
  route_north(3, 2.0);
  const size_t plain = pass().size();
  second_route(3);
  EXPECT_EQ(pass().size(), plain);  // a second route alone is no modification
  fms_copies.legs_mod_active = 1.0f;
  EXPECT_GT(pass().size(), plain);
  fms_copies.legs_mod_active = 0.0f;
  legs_mod_active_at_decode = 1.0f;  // a modification just ended
  EXPECT_GT(pass().size(), plain);
}

TEST_F(NdModRoute, DifferentRouteIsCyanAndItsSlotsFollowTheRoute) {
  route_north(3, 2.0);
  second_route(3);
  script_mirror.zuvadud_D738_fms_rte12_sel = 1.0f;  // the other route is displayed
  set_name(route_tables.leg_path_types_2[0], "VA");  // conditional: its own symbols
  set_name(route_tables.leg_path_types_2[1], "CA");
  const auto& lines = pass();
  const double s = 0.034;
  EXPECT_TRUE(has_line(lines, capt_px(0.0, 0.05, s), capt_px(0.05, 0.05, s)));
  int cyan_legs = 0;
  for (const auto& l : lines)
    if (near_colour(l, kCyan)) ++cyan_legs;
  EXPECT_EQ(cyan_legs, 2);
  EXPECT_FLOAT_EQ(nd::wpt_type[0], 2.0f);  // the active route first
  EXPECT_FLOAT_EQ(nd::wpt_type[1], 1.0f);
  EXPECT_FLOAT_EQ(nd::wpt_type[2], 4.0f);  // then M0 at the modification's index
  EXPECT_FLOAT_EQ(nd::wpt_type[3], 3.0f);
  EXPECT_STREQ(nd::wpt_id_w[3], "MFT)");  // altitude-terminated: "FT)" for the last character
  EXPECT_STREQ(nd::wpt_id_w[2], "MFT)");  // label kind 7: never the active colour
  set_name(route_tables.leg_path_types_2[0], "TF");
  pass();
  EXPECT_FLOAT_EQ(nd::wpt_type[2], 2.0f);  // active, not conditional
  EXPECT_NEAR(nd::wpt_y[3], 3.0 * s * 14.7058824, 5e-3);
}

TEST_F(NdModRoute, SameRouteDrawsOnlyLegsOffTheActiveRoute) {
  route_north(3, 2.0);
  second_route(3);
  fms_copies.legs_mod_active = 1.0f;
  display_routes[0].main_leg[0] = 1.0f;
  display_routes[0].main_leg[1] = 2.0f;  // follows M0: part of the active route
  display_routes[0].main_leg[2] = 0.0f;
  const auto& lines = pass();
  const double s = 0.034;
  EXPECT_FALSE(has_line(lines, capt_px(0.0, 0.05, s), capt_px(0.05, 0.05, s)));
  EXPECT_TRUE(has_line(lines, capt_px(0.05, 0.05, s), capt_px(0.1, 0.05, s)));
  EXPECT_EQ(count_colour(lines, kCyan), 0);
  EXPECT_STREQ(nd::wpt_id_w[2], "M2");  // only M2 gets a slot after the route's
  EXPECT_FLOAT_EQ(nd::wpt_type[3], 0.0f);
}

// A direct-to on the modified route to M2: straight from the aircraft, or
// a turn 1 nm about a centre abeam the aircraft (right for turn codes 1 and
// 3, left otherwise) from the aircraft round to its end, then a line to M2;
// with an intercept course, the inbound course line back from M2.
TEST_F(NdModRoute, DirectToTurnsFromTheAircraftOnItsSide) {
  second_route(3);
  fms_copies.legs_mod_active = 1.0f;
  fms_seq.intdir = 1.0f;
  fms_copies.intdir_idx_mod = 3.0f;
  const double s = 0.034;
  const Px ac = capt_px(0.0, 0.0, s);
  const Px m2 = capt_px(0.1, 0.05, s);
  struct Row {
    float crs2, radius, turn;
    double centre_east_nm, end_north_nm, end_east_nm;  // the turn's end; 0/0 is no end
  } rows[] = {{-1, 0, 0, 0, 1, 0},  {-1, 1, 1, 1, 1, 1},  {-1, 1, 3, 1, 1, 1}, {-1, 1, 2, -1, 1, -1},
              {-1, 1, 0, -1, 1, -1}, {-1, 1, 1, 1, 1, 0}, {-1, 1, 1, 1, 0, 0}, {180, 0, 0, 0, 1, 0}};
  for (const Row& r : rows) {
    fms_copies.intdir_crs2 = r.crs2;
    fms_copies.intdir_radius = r.radius;
    fms_copies.intdir_turn = r.turn;
    const double c_lon = r.centre_east_nm / 60.0;
    fms_copies.intdir_rad_lat = 0.0f;
    fms_copies.intdir_rad_lon = static_cast<float>(c_lon);
    intdir_end_lat_mod = static_cast<float>(r.end_north_nm / 60.0);
    intdir_end_lon_mod = static_cast<float>(r.end_east_nm / 60.0);
    const auto& lines = pass();
    const Px end = capt_px(intdir_end_lat_mod, intdir_end_lon_mod, s);
    if (r.crs2 != -1.0f) {
      // The intercept course 180, drawn back from M2 toward the north.
      bool north = false;
      for (const auto& l : lines)
        north = north || (std::fabs(l.x0 - m2.x) < 0.5 && std::fabs(l.x1 - m2.x) < 0.5 &&
                          std::min(l.y0, l.y1) > m2.y - 0.5 && std::max(l.y0, l.y1) > m2.y + 5.0);
      EXPECT_TRUE(north) << r.crs2;
      EXPECT_FALSE(has_line(lines, ac, m2)) << r.crs2;
    } else if (r.radius == 0.0f || (r.end_north_nm == 0.0 && r.end_east_nm == 0.0)) {
      EXPECT_TRUE(has_line(lines, ac, m2)) << "straight";
      EXPECT_LT(ends_on_circle(lines, capt_px(0.0, c_lon, s), 1.0 * s * kAreaPx), 4) << "straight: no turn";
    } else {
      int from_ac = 0;
      for (const auto& l : lines) from_ac += std::hypot(l.x0 - ac.x, l.y0 - ac.y) < 0.25 ? 1 : 0;
      EXPECT_GE(from_ac, 1) << "turn " << r.turn;
      EXPECT_GE(ends_on_circle(lines, capt_px(0.0, c_lon, s), 1.0 * s * kAreaPx), 8) << "turn " << r.turn;
      EXPECT_TRUE(has_line(lines, end, m2)) << "turn " << r.turn;
    }
  }
}

TEST_F(NdModRoute, PendingHoldLinesWithOrWithoutASlot) {
  struct Case {
    int route_points;
    bool slot;
    float crs_mag, turn;  // turn 0 left-hand: the turns' centre left of the inbound course
    float var;            // magnetic variation (the heading follows, so the map stays north up)
  };
  for (const Case& c : {Case{3, true, 90, 0, 0}, Case{23, false, 90, 0, 0}, Case{3, true, 200, 0, 0},
                        Case{3, true, 200, 1, 0}, Case{3, true, 2, 0, 5}}) {
    host_mirror.sim_flightmodel_position_magnetic_variation = c.var;
    efis_side[0].heading_mag_deg = c.var;
    route_north(c.route_points, 0.3);
    second_route(2);
    PendingHold& h = pending_holds[0];
    h.active = 1.0f;
    h.lat = 0.02f;
    h.lon = 0.02f;
    h.crs_mag = c.crs_mag;
    h.turn = c.turn;
    h.speed = 200.0f;
    h.time = 60.0f;
    std::strcpy(h.id, "HOLDX");
    for (auto& t : nd::wpt_id_w) t[0] = '\0';
    const auto& lines = pass();
    const double s = 0.034;
    EXPECT_TRUE(has_line(lines, capt_px(0.0, 0.0, s), capt_px(0.02, 0.02, s))) << c.route_points;
    bool labelled = false;
    for (auto& t : nd::wpt_id_w) labelled = labelled || std::strcmp(t, "HOLDX") == 0;
    EXPECT_EQ(labelled, c.slot);
    if (!c.slot) {
      EXPECT_FLOAT_EQ(nd::wpt_type[19], 1.0f);  // all twenty taken by the route
    }
    // The racetrack's turns on the radius of a 200 kt hold, dashed like the
    // rest of the modification (about half of each turn).
    const RouteSetHold fig = route_set_hold(200.0f, 60.0f, 0.0f, 0.0f);
    const double r_px = fig.radius_nm * s * kAreaPx;
    gc_destination(0.02, 0.02, std::fmod(c.crs_mag - c.var + (c.turn == 0.0f ? 270.0 : 90.0) + 360.0, 360.0),
                   fig.radius_nm);
    const int ends = ends_on_circle(lines, capt_px(nav_result.lat, nav_result.lon, s), r_px);
    EXPECT_GE(ends, 150) << c.crs_mag << " " << c.turn;
    EXPECT_LE(ends, 250) << c.crs_mag << " " << c.turn;
  }
}

}  // namespace

