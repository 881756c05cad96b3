// The FIX page overlay: label texts and positions written back to the
// scripts, and the circles, radials and abeam lines of the map pass.
#include <string>
#include <vector>

#include "display/display_steps.h"
#include "display/fix_overlay.h"
#include "nd_pass_fixture.h"

namespace {

using namespace nd_test;

std::string text6(float r) {
  char out[6];
  fix_distance_text(r, out);
  return std::string(out, 6);
}

TEST(FixDistanceText, RoundsAndCutsToTheField) {
  struct Case {
    float r;
    const char* text;  // six bytes
  };
  const Case cases[] = {{9.94f, "9.9\0\0\0"},  {9.96f, " 10\0\0\0"},  {999.9f, "999\0\0\0"}, {1000.0f, "999\0\0\0"},
                        {5e6f, "999\0\0\0"},   {0.04f, "0.0\0\0\0"},  {12.5f, " 12\0\0\0"},  {-999.9f, "-999.9"},
                        {-5000.0f, "-5000."}};
  for (const Case& c : cases) EXPECT_EQ(text6(c.r), std::string(c.text, 6)) << c.r;
}

class FixPage : public MapPassFixture {
 protected:
  void SetUp() override {
    MapPassFixture::SetUp();
    terrain_radar_link_state.fix_circles_enabled = 1;
  }
  static void set5(const std::string& name, std::vector<float> v) {
    v.resize(5, 0.0f);
    ASSERT_TRUE(simhost::set_floats("zuvadud/D738/nd/" + name, v)) << name;
  }
  static std::vector<float> get5(const std::string& name) { return simhost::get_floats("zuvadud/D738/nd/" + name); }
  // Fix 0 of a side `nm` north of the aircraft with element 0 a circle of
  // radius r that gets a label position.
  static void circle_fix(const std::string& side, double nm, float r) {
    set5("fix_" + side + "lat", {static_cast<float>(nm / 60.0)});
    set5("fix_" + side + "en", {1.0f});
    set5("fix_" + side + "rad_dist_0", {2.0f});
    set5("fix_" + side + "dist_0_nm", {r});
    set5("fix_" + side + "rad_dist_0a", {2.0f});
  }
};

TEST_F(FixPage, LabelTextAndPositionFacingTheAircraft) {
  circle_fix("", 6.0, 2.0f);
  set5("fix_fo_dist_y_0", {9.0f});
  electric::dc_bus2_status = 0.0f;  // first officer dark
  update_nd_fix_overlay();
  EXPECT_EQ(simhost::get_text("zuvadud/D738/nd/fix_dist_00_00"), "2.0");
  // Just inside the circle towards the aircraft: 2 nm + 0.3 display units at
  // 0.5 units per nm, so 3.4 nm ahead.
  EXPECT_NEAR(get5("fix_dist_x_0")[0], 0.0f, 1e-3);
  EXPECT_NEAR(get5("fix_dist_y_0")[0], 3.4f * 0.5f, 5e-3);
  EXPECT_EQ(get5("fix_fo_dist_y_0")[0], 0.0f);  // written, as zero

  terrain_radar_link_state.fix_circles_enabled = 0;
  update_nd_fix_overlay();
  EXPECT_EQ(simhost::get_text("zuvadud/D738/nd/fix_dist_00_00"), "");
  EXPECT_NEAR(get5("fix_dist_y_0")[0], 3.4f * 0.5f, 5e-3);  // positions still placed
}

// The label sits 0.3 display units outside the circle toward the aircraft;
// display units per nm halve with each range index from 2 at index 0, times
// 0.57 and 4.1 up in plan mode (here centred on the aircraft).
TEST_F(FixPage, LabelDistanceByRange) {
  circle_fix("", 6.0, 2.0f);
  struct Row {
    float mode, range, y;
  } rows[] = {{2, 0, 3.85f * 2}, {2, 1, 3.7f}, {2, 2, 3.4f * 0.5f}, {2, 3, 2.8f * 0.25f}, {3, 2, 4.94f}};
  // Heading true north under a variation: the map is not turned, nor is the
  // plan view, which is true north up.
  host_mirror.sim_flightmodel_position_magnetic_variation = -15.0f;
  efis_side[0].heading_mag_deg = 345.0f;
  for (const Row& r : rows) {
    efis_side[0].map_mode = r.mode;
    efis_side[0].map_range = r.range;
    update_nd_fix_overlay();
    EXPECT_NEAR(get5("fix_dist_y_0")[0], r.y, 0.02) << r.mode << " " << r.range;
    EXPECT_NEAR(get5("fix_dist_x_0")[0], 0.0f, 1e-3) << r.mode << " " << r.range;
  }
}

// A label that would land beside the display (x beyond 5.5) is turned
// round the fix until it lands on it.
TEST_F(FixPage, LabelBesideTheDisplayTurnsOntoIt) {
  circle_fix("", 14.12, 2.0f);
  set5("fix_lon", {static_cast<float>(14.12 / 60.0)});  // 20 nm to the north-east: first try at x 6
  update_nd_fix_overlay();
  const float x = get5("fix_dist_x_0")[0];
  const float y = get5("fix_dist_y_0")[0];
  EXPECT_TRUE(x > -5.5f && x < 5.5f && y > 0.0f && y < 9.0f) << x << " " << y;
}

TEST_F(FixPage, OffscreenLabelTriesSevenTurnsThenKeepsTheLast) {
  circle_fix("", -6.0, 2.0f);  // behind the aircraft: every try lands below the display
  update_nd_fix_overlay();
  // The seventh turn ends pointing away from the aircraft: 8.6 nm behind.
  EXPECT_NEAR(get5("fix_dist_x_0")[0], 0.0f, 1e-3);
  EXPECT_NEAR(get5("fix_dist_y_0")[0], -8.6f * 0.5f, 1e-2);
}

TEST_F(FixPage, OffsetByDisplayModePerSide) {
  circle_fix("", 6.0, 2.0f);
  circle_fix("fo_", 6.0, 2.0f);
  efis_side[1].exp_map = 0.0f;  // first officer centred: 4.1 up
  update_nd_fix_overlay();
  EXPECT_NEAR(get5("fix_dist_y_0")[0], 1.7f, 5e-3);
  EXPECT_NEAR(get5("fix_fo_dist_y_0")[0], 1.7f + 4.1f, 5e-3);
  // Neither side shows a map: nothing written, the last values stay.
  efis_side[0].map_mode = efis_side[1].map_mode = 1.0f;
  set5("fix_dist_y_0", {7.0f});
  update_nd_fix_overlay();
  EXPECT_EQ(get5("fix_dist_y_0")[0], 7.0f);
}

// The circles are drawn about the fix as the symbols sit: the aircraft
// symbol 0.199 up the display, 0.48 on a centred map, 0.547 with the
// vertical display.
TEST_F(FixPage, CirclesFollowTheSymbolOrigin) {
  circle_fix("", 6.0, 2.0f);
  electric::dc_bus2_status = 0.0f;  // captain only
  struct Row {
    float exp, vsd;
    double origin_y;
  } rows[] = {{1, 0, 0.199}, {0, 0, 0.48}, {1, 1, 0.547}, {0, 1, 0.547}};
  for (const Row& r : rows) {
    efis_side[0].exp_map = r.exp;
    efis_side[0].vsd_map = r.vsd;
    const Px fix = capt_px(6.0 / 60.0, 0.0, 0.034, r.origin_y);
    EXPECT_GT(ends_on_circle(pass(), fix, 2.0 * 0.034 * kAreaPx), 60) << r.exp << " " << r.vsd;
  }
  // A display turned fully down shows no circles.
  host_mirror.sim_cockpit2_switches_instrument_brightness_ratio[2] = 0.0f;
  EXPECT_TRUE(pass().empty());
}

TEST_F(FixPage, CirclesRadialsAndAbeamLines) {
  const double s = 0.034;
  circle_fix("", 6.0, 2.0f);
  set5("fix_rad_dist_1a", {1.0f});
  set5("fix_rot_1", {45.7f});  // radial at 315.7, drawn at 315
  const auto& lines = pass();
  const Px fix = capt_px(6.0 / 60.0, 0.0, s);
  const int circle_ends = ends_on_circle(lines, fix, 2.0 * s * kAreaPx);
  EXPECT_GT(circle_ends, 60);  // dashed: the circle in many short pieces
  bool radial = false;
  for (const auto& l : lines) {
    if (!near_colour(l, kGreen) || std::hypot(l.x0 - fix.x, l.y0 - fix.y) > 0.5) continue;
    const double brg = std::fmod(std::atan2(l.x1 - l.x0, l.y1 - l.y0) * 180.0 / M_PI + 360.0, 360.0);
    radial = radial || std::fabs(brg - 315.0) < 0.01;
  }
  EXPECT_TRUE(radial);
  terrain_radar_link_state.fix_circles_enabled = 0;
  EXPECT_EQ(ends_on_circle(pass(), fix, 2.0 * s * kAreaPx), 0);

  // Abeam line: the captain's whatever its shown flag, the first officer's
  // only with its own.
  for (const char* side : {"", "fo_"}) {
    set5(std::string("fix_") + side + "lat", {static_cast<float>(6.0 / 60.0)});
    set5(std::string("fix_") + side + "en", {0.0f});
    set5(std::string("fix_") + side + "rad_dist_1a", {0.0f});
  }
  set5("fix_abm_act", {1.0f});
  set5("fix_abm_brg", {90.0f});
  set5("fix_abm_dist", {3.0f});
  auto abeam_count = [&](double y0) {
    const Px from{kCaptX0 + 250.0, y0 + kAreaPx * (0.199 + 6.0 * s * 1.0006)};
    int n = 0;
    for (const auto& l : pass())
      if (near_colour(l, kGreen) && std::fabs(l.x0 - from.x) < 0.5 && std::fabs(l.y0 - from.y) < 0.5 &&
          std::fabs(l.x1 - (from.x + 3.0 * s * kAreaPx)) < 0.5)
        ++n;
    return n;
  };
  EXPECT_EQ(abeam_count(kCaptY0), 1);
  EXPECT_EQ(abeam_count(kFoY0), 0);
  set5("fix_fo_en", {1.0f});
  EXPECT_EQ(abeam_count(kFoY0), 1);
}

}  // namespace
