// The route pass's segment kinds as drawn into the panel: the direct-to path
// and its intercept line, DME arcs with their lead-in turn, radius-to-fix
// arcs, the fly-by transition of the leg before, the vector line and the
// runway symbols. Route W0..W3 northward every 3 nm from the aircraft.
#include "lnav/path/leg_path.h"
#include "nd_pass_fixture.h"

namespace {

using namespace nd_test;

constexpr double kNm = 1.0 / 60.0;  // degrees per nm at the equator

class NdSegments : public MapPassFixture {
 protected:
  void SetUp() override {
    MapPassFixture::SetUp();
    electric::dc_bus2_status = 0.0f;  // captain only
    for (int k = 0; k < 256; ++k) {
      legs_radii_ctr_lat[k] = legs_radii_ctr_lon[k] = legs_radii_dta[k] = 0.0f;
      legs_rad_lat[k] = legs_rad_lon[k] = legs_radius[k] = legs_af_beg[k] = legs_af_end[k] = 0.0f;
      legs_turn[k] = legs_brg_mag[k] = legs_direct[k] = 0.0f;
      legs_seg1_ctr_lat[k] = legs_seg1_ctr_lon[k] = legs_seg1_start_angle[k] = legs_seg1_end_angle[k] = 0.0f;
      legs_seg1_start_lat[k] = legs_seg1_start_lon[k] = legs_seg1_end_lat[k] = legs_seg1_end_lon[k] = 0.0f;
      legs_seg2_end_lat[k] = legs_seg2_end_lon[k] = 0.0f;
      legs_seg3_ctr_lat[k] = legs_seg3_ctr_lon[k] = legs_seg3_start_angle[k] = legs_seg3_end_angle[k] = 0.0f;
      legs_seg3_end_lat[k] = legs_seg3_end_lon[k] = 0.0f;
      legs_seg1_turn[k] = legs_seg3_turn[k] = 0.0f;
    }
    dir_seg1_radius = dir_seg3_radius = 0.0f;
    dir_seg1_end_lat = dir_seg1_end_lon = dir_seg2_end_lat = dir_seg2_end_lon = 0.0f;
    dir_seg3_end_lat = dir_seg3_end_lon = 0.0f;
    dir_start_lat = dir_start_lon = 0.0f;
    direct_to_leg = first_path_leg = 0;
    route_change_values.intdir_crs = -1.0f;
    runway_refs[0] = RunwayRefs{};
    route_north(4, 3.0);
    scale = nd_range_scale(efis_side[0].map_range);
  }
  Px px(double lat, double lon) const { return capt_px(lat, lon, scale); }
  Px wpt(int i) const { return px(legs_lat[i], legs_lon[i]); }
  double r_px(double nm) const { return nm * scale * kAreaPx; }
  // A line from `from` that runs at least `min_px` toward `toward`.
  static bool has_ray(const std::vector<simhost::Line>& lines, Px from, Px toward, double min_px) {
    const double n = std::hypot(toward.x - from.x, toward.y - from.y);
    const double dx = (toward.x - from.x) / n, dy = (toward.y - from.y) / n;
    for (const auto& l : lines) {
      for (int end = 0; end < 2; ++end) {
        const double ax = end ? l.x1 : l.x0, ay = end ? l.y1 : l.y0;
        const double bx = end ? l.x0 : l.x1, by = end ? l.y0 : l.y1;
        if (std::hypot(ax - from.x, ay - from.y) > 0.6) continue;
        const double along = (bx - ax) * dx + (by - ay) * dy;
        const double across = std::fabs((bx - ax) * dy - (by - ay) * dx);
        if (along >= min_px && across < 1.0) return true;
      }
    }
    return false;
  }
  // A point `nm` from (lat, lon) toward north, east, south or west.
  Px off(double lat, double lon, double north_nm, double east_nm) const {
    return px(lat + north_nm * kNm, lon + east_nm * kNm);
  }
  double scale = 0.0;
};

TEST_F(NdSegments, RadiusToFixAndDmeArcWithItsLeadInTurn) {
  // Centre 1.5 nm east of the W1-W2 midpoint: both fixes lie on its circle.
  const double c_lat = 4.5 * kNm, c_lon = 1.5 * kNm;
  const double r = std::sqrt(1.5 * 1.5 + 1.5 * 1.5);
  legs_rad_lat[2] = static_cast<float>(c_lat);
  legs_rad_lon[2] = static_cast<float>(c_lon);
  legs_radius[2] = static_cast<float>(r);
  legs_rad_turn[2] = 1.0f;
  set_name(route_tables.leg_path_types[2], "RF");
  const auto& rf = pass();
  EXPECT_GE(ends_on_circle(rf, px(c_lat, c_lon), r_px(r)), 100);  // 90 degrees in one-degree steps
  EXPECT_FALSE(has_line(rf, wpt(1), wpt(2)));

  // The same arc flown as a DME arc between two radials, entered by the
  // previous leg's turn onto it.
  set_name(route_tables.leg_path_types[2], "AF");
  legs_af_beg[2] = 225.0f;
  legs_af_end[2] = 315.0f;
  legs_radii_ctr_lat[1] = static_cast<float>(3.0 * kNm);
  legs_radii_ctr_lon[1] = static_cast<float>(-0.8 * kNm);
  legs_radii_radius[1] = 0.5f;
  legs_turn[1] = 2.0f;  // left
  legs_seg1_start_lat[1] = static_cast<float>(2.5 * kNm);  // leg 1's own entry point
  const auto& af = pass();
  EXPECT_GE(ends_on_circle(af, px(c_lat, c_lon), r_px(r)), 100);
  EXPECT_GE(ends_on_circle(af, px(3.0 * kNm, -0.8 * kNm), r_px(0.5)), 20);
  // Begin and end radials equal: the arc runs from fix to fix as for RF.
  legs_af_end[2] = legs_af_beg[2];
  const auto& af_fix = pass();
  EXPECT_GE(ends_on_circle(af_fix, px(c_lat, c_lon), r_px(r)), 100);
  EXPECT_EQ(ends_on_circle(af_fix, px(3.0 * kNm, -0.8 * kNm), r_px(0.5)), 0);
}

TEST_F(NdSegments, FlyByTransitionOfTheLegBefore) {
  // Leg 1 turns through seg1, a straight and seg3 before the line into W2.
  legs_radii_radius[1] = 1.0f;
  legs_seg1_start_lat[1] = static_cast<float>(2.0 * kNm);
  legs_seg1_ctr_lat[1] = static_cast<float>(3.0 * kNm);
  legs_seg1_ctr_lon[1] = static_cast<float>(1.0 * kNm);
  legs_seg1_radius[1] = 1.0f;
  legs_seg1_start_angle[1] = 270.0f;
  legs_seg1_end_angle[1] = 0.0f;
  legs_seg1_turn[1] = 1.0f;
  legs_seg1_end_lat[1] = static_cast<float>(4.0 * kNm);
  legs_seg1_end_lon[1] = static_cast<float>(1.0 * kNm);
  legs_seg2_end_lat[1] = static_cast<float>(4.0 * kNm);
  legs_seg2_end_lon[1] = static_cast<float>(2.0 * kNm);
  legs_seg3_ctr_lat[1] = static_cast<float>(5.0 * kNm);
  legs_seg3_ctr_lon[1] = static_cast<float>(2.0 * kNm);
  legs_seg3_radius[1] = 1.0f;
  legs_seg3_start_angle[1] = 180.0f;
  legs_seg3_end_angle[1] = 270.0f;
  legs_seg3_turn[1] = 1.0f;
  legs_seg3_end_lat[1] = static_cast<float>(5.0 * kNm);
  legs_seg3_end_lon[1] = static_cast<float>(1.0 * kNm);
  const auto& lines = pass();
  EXPECT_GE(ends_on_circle(lines, px(3.0 * kNm, 1.0 * kNm), r_px(1.0)), 100);
  EXPECT_TRUE(has_line(lines, px(4.0 * kNm, 1.0 * kNm), px(4.0 * kNm, 2.0 * kNm)));
  EXPECT_GE(ends_on_circle(lines, px(5.0 * kNm, 2.0 * kNm), r_px(1.0)), 100);
  EXPECT_TRUE(has_line(lines, px(5.0 * kNm, 1.0 * kNm), wpt(2)));
  EXPECT_FALSE(has_line(lines, wpt(1), wpt(2)));
  // Without the straight the first arc runs to the second arc's centre.
  legs_seg2_end_lat[1] = legs_seg2_end_lon[1] = 0.0f;
  const auto& no_straight = pass();
  EXPECT_TRUE(has_line(no_straight, px(4.0 * kNm, 1.0 * kNm), px(5.0 * kNm, 2.0 * kNm)));
}

TEST_F(NdSegments, DirectToPathAndInterceptCourse) {
  fms_seq.vnav_idx = 3.0f;  // direct to W2, the active leg
  fms_seq.intdir_act = 2.0f;
  direct_to_leg = first_path_leg = 2;
  dir_seg1_radius = 1.0f;
  dir_seg1_ctr_lat = static_cast<float>(0.5 * kNm);
  dir_seg1_ctr_lon = static_cast<float>(1.5 * kNm);
  dir_seg1_start_angle = 270.0f;
  dir_seg1_end_angle = 0.0f;
  dir_seg1_turn = 1.0f;
  dir_seg1_end_lat = static_cast<float>(1.0 * kNm);
  dir_seg1_end_lon = static_cast<float>(1.0 * kNm);
  const auto& lines = pass();
  EXPECT_GE(ends_on_circle(lines, px(0.5 * kNm, 1.5 * kNm), r_px(1.0)), 100);
  EXPECT_TRUE(has_line(lines, px(1.0 * kNm, 1.0 * kNm), wpt(2)));
  // With a second turn: straight, arc 3, then into the fix.
  dir_seg2_end_lat = static_cast<float>(3.0 * kNm);
  dir_seg2_end_lon = static_cast<float>(1.0 * kNm);
  dir_seg3_radius = 1.0f;
  dir_seg3_ctr_lat = static_cast<float>(3.0 * kNm);
  dir_seg3_ctr_lon = 0.0f;
  dir_seg3_start_angle = 90.0f;
  dir_seg3_end_angle = 30.0f;
  dir_seg3_turn = 0.0f;
  dir_seg3_end_lat = static_cast<float>(4.0 * kNm);
  dir_seg3_end_lon = static_cast<float>(0.5 * kNm);
  const auto& two_turns = pass();
  EXPECT_TRUE(has_line(two_turns, px(1.0 * kNm, 1.0 * kNm), px(3.0 * kNm, 1.0 * kNm)));
  EXPECT_GE(ends_on_circle(two_turns, px(3.0 * kNm, 0.0), r_px(1.0)), 40);
  EXPECT_TRUE(has_line(two_turns, px(4.0 * kNm, 0.5 * kNm), wpt(2)));
  // An intercept course of 090: the inbound course line runs back west from the fix.
  route_change_values.intdir_crs = 90.0f;
  const auto& intercept = pass();
  EXPECT_TRUE(has_ray(intercept, wpt(2), off(legs_lat[2], 0.0, 0.0, -1.0), 150.0));
  EXPECT_EQ(ends_on_circle(intercept, px(0.5 * kNm, 1.5 * kNm), r_px(1.0)), 0);
}

TEST_F(NdSegments, VectorLineAndRunwaySymbols) {
  set_name(route_tables.waypoint_names[1], "(VECTOR)");
  legs_brg_mag[1] = 1.5707964f;  // 090, radians
  const auto& lines = pass();
  EXPECT_TRUE(has_ray(lines, wpt(1), off(legs_lat[1], 0.0, 0.0, 1.0), 200.0)) << "the heading line runs on to the edge";
  EXPECT_FALSE(has_line(lines, wpt(1), wpt(2))) << "no leg after a vector";
  const int white_before = count_colour(lines, kWhite);
  // Departure and destination runways, 3000 m on 360.
  RunwayRefs& rw = runway_refs[0];
  rw.ils_show0 = 1.0f;
  rw.ref_lat = static_cast<float>(1.0 * kNm);
  rw.ref_crs = 0.0f;
  rw.ref_len = 3000.0f;
  const auto& one = pass();
  // The left edge starts 0.0085 map units west of the threshold and runs north.
  const Px thr = px(1.0 * kNm, 0.0);
  const Px west = off(1.0 * kNm, 0.0, 0.0, -1.0);
  const double w = 0.0085 * kAreaPx / std::hypot(west.x - thr.x, west.y - thr.y);
  const Px edge{thr.x + (west.x - thr.x) * w, thr.y + (west.y - thr.y) * w};
  const Px ahead = off(1.0 * kNm, 0.0, 1.0, 0.0);
  EXPECT_TRUE(has_ray(one, edge, {edge.x + ahead.x - thr.x, edge.y + ahead.y - thr.y},
                      3000.0 * 0.0005399568 * scale * kAreaPx - 1.0));
  EXPECT_GT(count_colour(one, kWhite), white_before);
  rw.ils_show = 1.0f;
  rw.des_lat = static_cast<float>(7.0 * kNm);
  rw.des_crs = 0.0f;
  rw.des_len = 3000.0f;
  const auto& both = pass();
  const Px des = px(7.0 * kNm, 0.0);
  const Px des_edge{des.x + (edge.x - thr.x), des.y + (edge.y - thr.y)};
  EXPECT_TRUE(has_ray(both, des_edge, {des_edge.x + ahead.x - thr.x, des_edge.y + ahead.y - thr.y}, 20.0));
}

}  // namespace
