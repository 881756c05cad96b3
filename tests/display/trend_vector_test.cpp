// Trend vector and VOR bearing lines: the version gate, straight line or arc
// by the swept angle, the 359-degree limit, alignment, and the VOR lines'
// start offset and colours.
#include <vector>

#include "nd_pass_fixture.h"

namespace {

using namespace nd_test;

class TrendVector : public MapPassFixture {
 protected:
  void SetUp() override {
    MapPassFixture::SetUp();
    electric::dc_bus2_status = 0.0f;
  }
  // Lines the trend pass adds: the pass with the add-on version that allows
  // it against the same pass without.
  std::vector<simhost::Line> trend_lines() {
    terrain_radar_link_state.terrain_radar_version = 102300;
    const std::vector<simhost::Line> without = pass();
    terrain_radar_link_state.terrain_radar_version = 4294967295u;
    const std::vector<simhost::Line> with = pass();
    EXPECT_GE(with.size(), without.size());
    return std::vector<simhost::Line>(with.begin() + static_cast<long>(without.size()), with.end());
  }
};

TEST_F(TrendVector, VersionGateAndStraightLineWhenTheTurnIsGentle) {
  // 250 kt, wings level, three 30 s pieces: under 2 degrees of turn.
  efis_side[0].map_range = 3.0f;
  host_mirror.sim_flightmodel_position_groundspeed = 250.0f / 1.94384449f;
  const auto lines = trend_lines();
  ASSERT_EQ(lines.size(), 1u);
  const double len_px = 3 * (250.0 / 1.94384449) * 30 * 0.0005399568 * 0.017 * kAreaPx;
  EXPECT_NEAR(lines[0].x0, kCaptX0 + 250.0, 0.01);
  EXPECT_NEAR(lines[0].y0, kCaptY0 + kAreaPx * 0.199, 0.01);
  EXPECT_NEAR(lines[0].y1 - lines[0].y0, len_px, 0.01);
  EXPECT_TRUE(near_colour(lines[0], kWhite));
  terrain_radar_link_state.terrain_radar_version = 102300;
  const size_t gated = pass().size();
  terrain_radar_link_state.terrain_radar_version = 102301;
  EXPECT_EQ(pass().size(), gated + 1);
  // On a centred map the vector starts at the symbol 0.48 up the display.
  efis_side[0].exp_map = 0.0f;
  const auto centred = trend_lines();
  ASSERT_EQ(centred.size(), 1u);
  EXPECT_NEAR(centred[0].y0, kCaptY0 + kAreaPx * 0.48, 0.01);
  // A display turned fully down shows no vector.
  host_mirror.sim_cockpit2_switches_instrument_brightness_ratio[2] = 0.0f;
  EXPECT_TRUE(trend_lines().empty());
}

TEST_F(TrendVector, TightTurnSweepsAtMost359Degrees) {
  // 45 m/s at 50 degrees of bank: a circle shorter than the path.
  efis_side[0].map_range = 0.0f;
  host_mirror.sim_flightmodel_position_groundspeed = 45.0f;
  efis_side[0].bank_deg = 70.0f;  // limited to 50
  const auto lines = trend_lines();
  // One piece (range 0) of one-degree steps over 359 degrees, less the gap
  // of 0.01 map units that closes a piece.
  const double kt = 45.0 * 1.94384449;
  const double r_units = kt * kt / (std::tan(50.0 * M_PI / 180.0) * 68620.0) * 0.136;
  const double gap_deg = 360.0 / (r_units * 6.283185307178 / 0.01);
  EXPECT_NEAR(static_cast<double>(lines.size()), 359.0 - gap_deg, 2.0);
  // Right bank: the arc lies right of the symbol.
  double min_x = 1e9;
  for (const auto& l : lines) min_x = std::min({min_x, static_cast<double>(l.x0), static_cast<double>(l.x1)});
  EXPECT_GE(min_x, kCaptX0 + 250.0 - 0.05);
  // The arc starts at the symbol.
  ASSERT_FALSE(lines.empty());
  EXPECT_NEAR(lines[0].x0, kCaptX0 + 250.0, 0.05);
  EXPECT_NEAR(lines[0].y0, kCaptY0 + kAreaPx * 0.199, 0.05);
}

// A turn of 2 degrees or more over the vector's length is drawn as an arc:
// at 100 m/s and range index 3 (90 s ahead) a bank of 0.26 degrees turns
// about 2.3 degrees, 0.2 degrees about 1.8.
TEST_F(TrendVector, ArcFromTwoDegreesOfTurn) {
  efis_side[0].map_range = 3.0f;
  host_mirror.sim_flightmodel_position_groundspeed = 100.0f;
  struct Row {
    float bank;
    bool arc;
  } rows[] = {{0.26f, true}, {0.2f, false}};
  for (const Row& r : rows) {
    efis_side[0].bank_deg = r.bank;
    EXPECT_EQ(trend_lines().size() > 1, r.arc) << r.bank;
  }
  // Each side bends its vector by its own instruments' bank.
  electric::dc_bus2_status = 1.0f;
  efis_side[1].map_range = 3.0f;
  efis_side[0].bank_deg = 0.2f;
  efis_side[1].bank_deg = 0.26f;
  size_t capt = 0, fo = 0;
  for (const auto& l : trend_lines()) ++(l.y0 >= kFoY0 ? fo : capt);
  EXPECT_EQ(capt, 1u);
  EXPECT_GT(fo, 1u);
}

// The straight vector points along the drift from the host's track value,
// limited to 40 degrees either way.
TEST_F(TrendVector, StraightLineFollowsTheDriftUpTo40Degrees) {
  efis_side[0].map_range = 3.0f;
  host_mirror.sim_flightmodel_position_groundspeed = 250.0f / 1.94384449f;
  struct Row {
    float track_nd, bearing;
  } rows[] = {{30, 330}, {39, 321}, {60, 320}, {-50, 40}};
  for (const Row& r : rows) {
    simhost::set_float("zuvadud/D738/nd/track_nd", r.track_nd);
    const auto lines = trend_lines();
    ASSERT_EQ(lines.size(), 1u) << r.track_nd;
    const double brg = std::fmod(std::atan2(lines[0].x1 - lines[0].x0, lines[0].y1 - lines[0].y0) * 180.0 / M_PI + 360.0, 360.0);
    EXPECT_NEAR(brg, r.bearing, 0.05) << r.track_nd;
  }
}

TEST_F(TrendVector, SlowWingsLevelBendsLeftAndZeroSpeedHasNoLength) {
  efis_side[0].map_range = 3.0f;
  host_mirror.sim_flightmodel_position_groundspeed = 20.0f;
  const auto arc = trend_lines();
  EXPECT_GT(arc.size(), 1u);
  for (const auto& l : arc) EXPECT_LE(l.x1, kCaptX0 + 250.0 + 0.05);
  EXPECT_NEAR(arc[0].x0, kCaptX0 + 250.0, 0.05);  // from the symbol
  EXPECT_NEAR(arc[0].y0, kCaptY0 + kAreaPx * 0.199, 0.05);
  host_mirror.sim_flightmodel_position_groundspeed = 0.0f;
  const auto none = trend_lines();
  ASSERT_EQ(none.size(), 1u);
  EXPECT_EQ(none[0].x0, none[0].x1);
  EXPECT_EQ(none[0].y0, none[0].y1);
}

TEST_F(TrendVector, VorLinesStartOffTheSymbolAndSurviveAlignment) {
  electric::dc_bus2_status = electric::ac_stdbus_status = 1.0f;
  efis_side[0].map_range = efis_side[1].map_range = 0.0f;  // start offset 0.5 nm
  ScriptMirror& s = script_mirror;
  s.zuvadud_D738_pfd_vor1_pos_show = 1.0f;
  s.zuvadud_D738_pfd_vor1_sel_lat = static_cast<float>(0.3 / 60.0);  // inside the offset
  s.zuvadud_D738_pfd_vor2_pos_fo_show = 1.0f;
  s.zuvadud_D738_pfd_vor2_sel_lat_fo = static_cast<float>(2.0 / 60.0);
  host_mirror.sim_cockpit2_radios_indicators_nav2_bearing_deg_mag = 0.0f;
  auto greens = [&]() {
    std::vector<simhost::Line> g;
    for (const auto& l : trend_lines())
      if (near_colour(l, kGreen)) g.push_back(l);
    return g;
  };
  auto g = greens();
  ASSERT_EQ(g.size(), 1u);  // only the first officer's station is far enough
  EXPECT_FLOAT_EQ(g[0].a, 0.6f);
  EXPECT_NEAR(g[0].y0, kFoY0 + kAreaPx * (0.199 + 0.5 * 0.136), 0.05);
  EXPECT_NEAR(g[0].y1, kFoY0 + kAreaPx * (0.199 + 2.0 * 0.136 * 60.04 / 60.0), 0.1);
  s.zuvadud_D738_pfd_vor1_sel_lat = static_cast<float>(0.6 / 60.0);
  EXPECT_EQ(greens().size(), 2u);
  // A receiver without its power gives no bearing to draw, as its RMI
  // needle shows: the captain's VOR 1 without the AC standby bus, and
  // VOR 2, shown on both maps, without DC bus 2 (the first officer's map
  // dark with it).
  s.zuvadud_D738_pfd_vor2_pos_show = 1.0f;
  s.zuvadud_D738_pfd_vor2_sel_lat = static_cast<float>(2.0 / 60.0);
  EXPECT_EQ(greens().size(), 3u);
  const struct {
    float* bus;
    size_t left;
  } cuts[] = {{&electric::ac_stdbus_status, 2u}, {&electric::dc_bus2_status, 1u}};
  for (const auto& c : cuts) {
    *c.bus = 0.0f;
    EXPECT_EQ(greens().size(), c.left);
    *c.bus = 1.0f;
  }
  s.zuvadud_D738_pfd_vor2_pos_show = 0.0f;
  // Heading alignment hides the trend vector, not the VOR lines.
  s.zuvadud_D738_irs_pfd_allign_hdg = 1.0f;
  const auto aligned = trend_lines();
  EXPECT_EQ(aligned.size(), 2u);
  EXPECT_EQ(count_colour(aligned, kWhite), 0);
}

}  // namespace
