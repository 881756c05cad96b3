// The navigation display draw pass as the host sees it: the callback's gates,
// the track line and range marks per side and mode, colours, the waypoint
// slots and labels of the route pass, and the GL state left behind.
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>

#include "alerting/alerting_steps.h"
#include "lnav/route/route_intake.h"
#include "display/nd_labels.h"
#include "display/nd_slots.h"
#include "display/route_lines.h"
#include "lnav/route/fms_legs.h"
#include "lnav/route/route_state.h"
#include "nd_pass_fixture.h"
#include "systems/electrical/electric_values.h"
#include "systems/instruments/instrument_values.h"

namespace {

GLint g_matrix_mode = 0, g_attrib_depth = -1;
GLboolean g_stipple = GL_TRUE;
int probe_after(XPLMDrawingPhase, int, void*) {
  glGetIntegerv(GL_MATRIX_MODE, &g_matrix_mode);
  glGetIntegerv(GL_ATTRIB_STACK_DEPTH, &g_attrib_depth);
  g_stipple = glIsEnabled(GL_LINE_STIPPLE);
  return 1;
}

using nd_test::set_name;

// The map pass of every display test (nd_pass_fixture.h).
class NdPass : public nd_test::MapPassFixture {};

}  // namespace

TEST_F(NdPass, GatesDrawNothingAndKeepTheSlots) {
  struct Case {
    int enabled, render_type;
  };
  const Case cases[] = {{0, 2}, {1, 1}, {1, 0}};
  for (const Case& c : cases) {
    draw_enabled = c.enabled;
    simhost::set_int("sim/graphics/view/panel_render_type", c.render_type);
    nd::wpt_x[3] = 5.0f;
    EXPECT_TRUE(pass().empty()) << c.enabled << " " << c.render_type;
    EXPECT_EQ(nd::wpt_x[3], 5.0f);
  }
  EXPECT_EQ(nd_draw_callback(46, 1, nullptr), 1);  // another phase: nothing, result 1
}

TEST_F(NdPass, HeadingUpTrackLineIsClampedAndStartsAboveTheSymbolOnTheGround) {
  efis_side[1].map_mode = 3.0f;  // first officer in plan mode: no track line, no marks
  simhost::set_float("zuvadud/D738/nd/track_nd", 60.0f);
  const auto& lines = pass();
  ASSERT_EQ(lines.size(), 4u);  // track line and three range marks
  const double t40 = std::tan(40.0 * M_PI / 180);
  const auto& track = lines[0];
  EXPECT_NEAR(track.x0, 521 + 500 * (0.5 - t40 * 0.001), 1e-2);
  EXPECT_NEAR(track.y0, 8 + 500 * (0.199 + 0.001), 1e-2);
  // Toward (0.5 - tan 40 x 0.706, 0.905), beyond the left edge: cut there.
  EXPECT_NEAR(track.x1, 521, 1e-2);
  EXPECT_NEAR(track.y1, 8 + 500 * (0.199 + 0.5 / t40), 1e-2);
  EXPECT_FLOAT_EQ(track.a, 0.8f);  // alpha is the captain's brightness
  const double marks[] = {0.1695, 0.339, 0.5085};
  for (int k = 0; k < 3; ++k) EXPECT_NEAR(lines[1 + k].y0, 8 + 500 * (0.199 + marks[k]), 1e-2);
}

// Airborne above 45 m/s the line starts 30 s of ground speed ahead, times
// 1, 2 or 3 by range index plus a little at the shortest and longest ranges;
// 0.009 less on a centred map.
TEST_F(NdPass, AirborneTrackLineStartsAheadBySpeedAndRange) {
  efis_side[1].map_mode = 3.0f;
  struct Row {
    float range, gs_m_s, exp, vsd;
    double origin, start;  // symbol and start above it, display units
  } rows[] = {{0, 100, 1, 0, 0.199, 0.22530237},   {1, 100, 1, 0, 0.199, 0.11515119},
              {2, 100, 1, 0, 0.199, 0.11515119},   {3, 100, 1, 0, 0.199, 0.08261339},
              {6, 100, 1, 0, 0.199, 0.01032667},   {9, 100, 1, 0, 0.199, 0.00616334},
              {2, 45.5f, 1, 0, 0.199, 0.05511879}, {2, 45, 1, 0, 0.199, 0.001},
              {2, 100, 0, 0, 0.48, 0.11515119 - 0.009}, {2, 100, 1, 1, 0.547, 0.11515119 - 0.009}};
  for (const Row& r : rows) {
    host_mirror.sim_flightmodel_position_groundspeed = r.gs_m_s;
    efis_side[0].map_range = r.range;
    efis_side[0].exp_map = r.exp;
    efis_side[0].vsd_map = r.vsd;
    const auto& lines = pass();
    ASSERT_FALSE(lines.empty());
    EXPECT_NEAR(lines[0].y0, 8 + 500 * (r.origin + r.start), 1e-3) << r.range << " " << r.gs_m_s << " " << r.vsd;
  }
}

// The track line is cut at the edge of its display's map area like every
// other line of the pass: at the largest drift on an expanded map it would
// run into the neighbouring instrument, and far ahead at high speed on the
// shortest range it would start above the map's top.
TEST_F(NdPass, TrackLineStaysInsideItsMapArea) {
  struct Row {
    float mode, exp, vsd, track_up, range, gs_m_s, drift;
  } rows[] = {
      {2, 1, 0, 0, 2, 0, 40},  {2, 1, 0, 0, 2, 0, -55}, {2, 1, 0, 1, 2, 0, 40}, {1, 1, 0, 0, 2, 0, -40},
      {0, 1, 0, 0, 2, 0, 36},  {2, 0, 0, 0, 2, 0, 40},  {2, 1, 1, 1, 2, 0, 40}, {2, 1, 0, 0, 0, 400, 10},
  };
  auto inside = [](double x, double y, double y0) {
    return x >= 521 - 1e-3 && x <= 1021 + 1e-3 && y >= y0 - 1e-3 && y <= y0 + 492 + 1e-3;
  };
  for (const Row& r : rows) {
    for (auto& e : efis_side) {
      e.map_mode = r.mode;
      e.exp_map = r.exp;
      e.vsd_map = r.vsd;
      e.map_range = r.range;
    }
    script_mirror.zuvadud_D738_fms_track_up = r.track_up;
    host_mirror.sim_flightmodel_position_groundspeed = r.gs_m_s;
    simhost::set_float("zuvadud/D738/nd/track_nd", r.drift);
    simhost::set_float("zuvadud/D738/nd/track_nd_fo", r.drift);
    const auto& lines = pass();
    ASSERT_FALSE(lines.empty());
    for (const auto& l : lines) {
      const double y0 = l.y0 < 510 ? 8 : 520;  // the captain's area, or the first officer's above it
      EXPECT_TRUE(inside(l.x0, l.y0, y0) && inside(l.x1, l.y1, y0))
          << "(" << l.x0 << ", " << l.y0 << ") to (" << l.x1 << ", " << l.y1 << ") mode " << r.mode << " exp "
          << r.exp << " vsd " << r.vsd << " track up " << r.track_up << " drift " << r.drift;
    }
  }
}

// Track up, the track line is straight up on both maps whatever the drift.
TEST_F(NdPass, TrackUpTrackLineIsVertical) {
  for (float drift : {10.0f, -8.0f}) {
    for (auto& e : efis_side) {
      e.map_mode = 2;
      e.exp_map = 1;
      e.vsd_map = 0;
      e.map_range = 2;
    }
    script_mirror.zuvadud_D738_fms_track_up = 1.0f;
    simhost::set_float("zuvadud/D738/nd/track_nd", drift);
    simhost::set_float("zuvadud/D738/nd/track_nd_fo", drift);
    const auto& lines = pass();
    const simhost::Line* first[2] = {nullptr, nullptr};
    for (const auto& l : lines) {
      const int side = l.y0 < 510 ? 0 : 1;
      if (first[side] == nullptr) first[side] = &l;
    }
    for (const simhost::Line* l : first) {
      ASSERT_NE(l, nullptr) << drift;
      EXPECT_NEAR(l->x0, l->x1, 1e-3) << drift;
      EXPECT_GT(l->y1, l->y0 + 100) << drift;
    }
  }
  script_mirror.zuvadud_D738_fms_track_up = 0.0f;
}

// Heading up on the centred and VSD maps the line, slanted by the drift,
// ends on the rose (0.36 around the airplane) on both sides, as the
// track-up line does.
TEST_F(NdPass, HeadingUpTrackLineEndsAtTheRose) {
  struct Row {
    float exp, vsd, drift;
    double origin;
  } rows[] = {{0, 0, 0, 0.48}, {0, 0, 20, 0.48}, {0, 0, -35, 0.48}, {1, 1, 25, 0.547}};
  for (const Row& r : rows) {
    for (auto& e : efis_side) {
      e.map_mode = 2;
      e.exp_map = r.exp;
      e.vsd_map = r.vsd;
    }
    simhost::set_float("zuvadud/D738/nd/track_nd", r.drift);
    simhost::set_float("zuvadud/D738/nd/track_nd_fo", r.drift);
    const auto& lines = pass();
    const simhost::Line* first[2] = {nullptr, nullptr};
    for (const auto& l : lines) {
      const int side = l.y0 < 510 ? 0 : 1;
      if (first[side] == nullptr) first[side] = &l;
    }
    for (int side = 0; side < 2; ++side) {
      ASSERT_NE(first[side], nullptr) << r.drift;
      const double dx = (first[side]->x1 - 771) / 500.0;
      const double dy = (first[side]->y1 - (side == 0 ? 8 : 520)) / 500.0 - r.origin;
      EXPECT_NEAR(std::hypot(dx, dy), 0.36, 1e-4) << "side " << side << " exp " << r.exp << " drift " << r.drift;
      EXPECT_NEAR(std::atan2(-dx, dy) * 180 / M_PI, r.drift, 1e-2) << "side " << side << " drift " << r.drift;
    }
  }
}

TEST_F(NdPass, PowerAndBrightnessGateEachSide) {
  electric::dc_stdbus_status = 0.0f;  // captain dark
  efis_side[1].exp_map = 0.0f;        // first officer centred MAP
  const auto& lines = pass();
  // First officer only: heading-up track line, two ticks and one vertical
  // around y0 0.48.
  ASSERT_EQ(lines.size(), 4u);
  for (const auto& l : lines) EXPECT_GE(l.y0, 520.0);
  EXPECT_NEAR(lines[0].y0, 520 + 500 * (0.48 + 0.001), 1e-2);
  EXPECT_NEAR(lines[1].y0, 520 + 500 * (0.48 + 0.1695), 1e-2);
  EXPECT_FLOAT_EQ(lines[0].a, 0.6f);
  host_mirror.sim_cockpit2_switches_instrument_brightness_ratio[3] = 0.0f;
  EXPECT_TRUE(pass().empty());
  // The first officer's expanded map starts from the symbol 0.199 up,
  // whatever the captain's display raised it to.
  electric::dc_stdbus_status = 1.0f;
  efis_side[0].vsd_map = 1.0f;
  efis_side[1].exp_map = 1.0f;
  host_mirror.sim_cockpit2_switches_instrument_brightness_ratio[3] = 0.6f;
  bool fo_start = false;
  for (const auto& l : pass()) fo_start = fo_start || std::fabs(l.y0 - (520 + 500 * (0.199 + 0.001))) < 1e-2;
  EXPECT_TRUE(fo_start);
}

// Range reference marks by display state, as (y from, y to) in display
// units: ticks are level, the centred MAP and APP/VOR add vertical strokes.
TEST_F(NdPass, ReferenceMarksByDisplayState) {
  struct Row {
    float mode, exp, vsd;
    int n;
    double y[4][2];
  } rows[] = {
      {2, 0, 0, 3, {{0.6495, 0.6495}, {0.3105, 0.3105}, {0.349, 0.139}}},
      {2, 0, 1, 3, {{0.7165, 0.7165}, {0.3775, 0.3775}, {0.416, 0.206}}},
      {2, 1, 0, 3, {{0.3685, 0.3685}, {0.538, 0.538}, {0.7075, 0.7075}}},
      {1, 1, 0, 3, {{0.3685, 0.3685}, {0.538, 0.538}, {0.7075, 0.7075}}},
      {0, 0, 0, 4, {{0.715, 0.715}, {0.245, 0.245}, {0.65, 0.81}, {0.31, 0.15}}},
      {1, 0, 0, 4, {{0.715, 0.715}, {0.245, 0.245}, {0.65, 0.81}, {0.31, 0.15}}},
      {3, 0, 0, 0, {}},  // PLN: no marks and no track line
  };
  electric::dc_bus2_status = 0.0f;  // captain only
  for (const Row& r : rows) {
    efis_side[0].map_mode = r.mode;
    efis_side[0].exp_map = r.exp;
    efis_side[0].vsd_map = r.vsd;
    const auto& lines = pass();
    if (r.n == 0) {
      EXPECT_TRUE(lines.empty()) << "mode " << r.mode;
    }
    for (int k = 0; k < r.n; ++k) {
      bool found = false;
      for (const auto& l : lines)
        found = found || (std::fabs(l.y0 - (8 + 500 * r.y[k][0])) < 1e-2 && std::fabs(l.y1 - (8 + 500 * r.y[k][1])) < 1e-2);
      EXPECT_TRUE(found) << "mode " << r.mode << " exp " << r.exp << " vsd " << r.vsd << " mark " << k;
    }
  }
}

TEST_F(NdPass, ColourOverrides) {
  efis_side[1].map_mode = 3.0f;
  script_mirror.zuvadud_d738_nd_white_r = -1.0f;
  script_mirror.zuvadud_d738_nd_white_g = 0.5f;
  NdColours c = nd_build_colours();
  EXPECT_FLOAT_EQ(c.white[0][0], 1.0f);
  EXPECT_FLOAT_EQ(c.white[0][1], 0.5f);
  EXPECT_FLOAT_EQ(c.white[0][2], 0.0f);
  EXPECT_FLOAT_EQ(c.white[1][3], 0.6f);
  EXPECT_FLOAT_EQ(c.magenta[0][0], 0.772549f);  // all-zero triple keeps the default
  EXPECT_FLOAT_EQ(c.magenta[0][2], 1.0f);
  EXPECT_FLOAT_EQ(c.cyan[1][1], 0.72156864f);
  EXPECT_FLOAT_EQ(c.cyan[1][2], 1.0f);
  EXPECT_FLOAT_EQ(c.green[0][1], 1.0f);
  script_mirror.zuvadud_d738_nd_white_r = std::nanf("");
  EXPECT_FLOAT_EQ(nd_build_colours().white[0][1], 1.0f);  // not a number: default
}

TEST_F(NdPass, LeavesNoStateBehind) {
  XPLMRegisterDrawCallback(probe_after, xplm_Phase_Gauges, 0, nullptr);
  route_north(4, 5.0);
  legs_bypass[2] = 0.0f;
  pass();
  XPLMUnregisterDrawCallback(probe_after, xplm_Phase_Gauges, 0, nullptr);
  EXPECT_EQ(g_matrix_mode, GL_MODELVIEW);
  EXPECT_EQ(g_attrib_depth, 0);
  EXPECT_EQ(g_stipple, GL_FALSE);
  EXPECT_EQ(simhost::graphics_state().alpha_blending, 1);
  EXPECT_EQ(simhost::graphics_state().depth_testing, 0);
}

TEST_F(NdPass, RouteFillsSlotsAndLabelsAndDrawsItsLegs) {
  electric::dc_bus2_status = 0.0f;  // first officer dark: no route, no slots
  route_north(4, 2.0);
  set_name(route_tables.waypoint_names[2], "RW27");
  legs_eta[0] = 14.5f;
  efis_side[0].data_status = 1.0f;
  const auto& lines = pass();
  EXPECT_FLOAT_EQ(nd::wpt_type[0], 2.0f);  // active
  EXPECT_FLOAT_EQ(nd::wpt_type[1], 1.0f);
  EXPECT_FLOAT_EQ(nd::wpt_type[2], 0.0f);  // runway: a position but no symbol
  EXPECT_FLOAT_EQ(nd::wpt_type[3], 0.0f);  // the last entry is not a drawn leg
  EXPECT_NEAR(nd::wpt_y[1], 2.0 * 0.034 * 14.7058824, 1e-3);
  EXPECT_STREQ(nd::wpt_id_m[0], "W0");
  EXPECT_STREQ(nd::wpt_alt_m[0], "1430Z");  // data on, no constraint: ETA moves up a line
  EXPECT_STREQ(nd::wpt_eta_m[0], "");       // and the empty RNP with it
  EXPECT_STREQ(nd::wpt_id_w[1], "W1");
  int magenta = 0;
  for (const auto& l : lines)
    if (std::fabs(l.r - 0.772549f) < 1e-4f) ++magenta;
  EXPECT_EQ(magenta, 2);  // W0-W1 and W1-W2
  for (int k = 0; k < 20; ++k) EXPECT_EQ(nd::wpt_fo_type[k], 0.0f);
}

// The first officer's map is powered with his display, from DC bus 2: DC
// bus 1 alone lights none of it, DC bus 2 alone its route and waypoints.
TEST_F(NdPass, FirstOfficersMapFollowsHisDisplaysBus) {
  route_north(4, 2.0);
  struct Row {
    float bus1, bus2;
    bool drawn;
  } rows[] = {{1.0f, 0.0f, false}, {0.0f, 1.0f, true}, {1.0f, 1.0f, true}};
  for (const Row& r : rows) {
    electric::dc_bus1_status = r.bus1;
    electric::dc_bus2_status = r.bus2;
    int magenta = 0;
    for (const auto& l : pass())
      if (std::fabs(l.r - 0.772549f) < 1e-4f) ++magenta;
    EXPECT_EQ(magenta, r.drawn ? 4 : 2) << r.bus1 << r.bus2;  // W0-W1 and W1-W2 on each drawn side
    EXPECT_EQ(nd::wpt_fo_type[0], r.drawn ? 2.0f : 0.0f) << r.bus1 << r.bus2;
  }
}

TEST_F(NdPass, TwentySlotsAtMostAndDiscontinuityBreaksTheLine) {
  electric::dc_bus2_status = 0.0f;
  efis_side[0].map_range = 0.0f;
  route_north(26, 0.05);
  const auto& all = pass();
  int magenta = 0;
  for (const auto& l : all) magenta += std::fabs(l.r - 0.772549f) < 1e-4f ? 1 : 0;
  EXPECT_EQ(magenta, 24);  // legs into 1..24 drawn although slots ran out
  EXPECT_FLOAT_EQ(nd::wpt_type[19], 1.0f);
  set_name(route_tables.waypoint_names[5], "DISCONTINUITY");
  const auto& broken = pass();
  magenta = 0;
  for (const auto& l : broken) magenta += std::fabs(l.r - 0.772549f) < 1e-4f ? 1 : 0;
  EXPECT_EQ(magenta, 22);  // neither into nor out of the discontinuity
}

TEST_F(NdPass, MissedApproachLegsAreCyanUntilActive) {
  electric::dc_bus2_status = 0.0f;
  route_north(4, 2.0);
  fms_copies.missed_app_wpt_idx = 2.0f;
  fms_copies.missed_app_wpt_idx2 = 3.0f;
  fms_copies.missed_app_act = 0.0f;
  int cyan = 0;
  for (const auto& l : pass()) cyan += std::fabs(l.r - 0.160784f) < 1e-4f ? 1 : 0;
  EXPECT_EQ(cyan, 2);
  fms_copies.missed_app_act = 1.0f;
  cyan = 0;
  for (const auto& l : pass()) cyan += std::fabs(l.r - 0.160784f) < 1e-4f ? 1 : 0;
  EXPECT_EQ(cyan, 0);
  fms_copies.missed_app_wpt_idx = fms_copies.missed_app_wpt_idx2 = 0.0f;
  fms_copies.missed_app_act = 0.0f;
}

TEST(NdLabels, TextsOfTheLegTable) {
  struct Case {
    float eta, rnp;
    const char* eta_text;
    const char* rnp_text;
  };
  const Case cases[] = {{0.999f, 0.3f, "0059Z", "RNP 0.30"},
                        {14.5f, 10.0f, "1430Z", "RNP 10.0"},
                        {25.25f, 9.49f, "0115Z", "RNP 9.49"},
                        {24.5f, 1.0f, "0030Z", "RNP 1.00"},
                        {47.999f, 1.0f, "2359Z", "RNP 1.00"},
                        {0.0f, 0.0f, "----Z", ""},
                        {-2.0f, std::nanf(""), "----Z", ""}};
  fms_seq.vnav_idx = 0.0f;
  std::strcpy(route_tables.waypoint_names[7].text, "ABCDE");
  std::strcpy(route_tables.leg_path_types[7].text, "TF");
  for (const Case& c : cases) {
    legs_eta[7] = c.eta;
    legs_rnp_data[7] = c.rnp;
    nd_wpt_labels(7, 4, 0, 1, 1, 0);
    EXPECT_STREQ(nd::wpt_fo_alt_w[4], c.eta_text);
    EXPECT_STREQ(nd::wpt_fo_eta_w[4], c.rnp_text);
    EXPECT_STREQ(nd::wpt_fo_rnp_w[4], "");
  }
  fms_copies.flight_phase = 1.0f;
  fms_copies.fmc_trans_alt = 10000.0f;
  legs_alt_rest1[7] = 6000.0f;
  legs_alt_rest2[7] = 8000.0f;
  legs_alt_rest_type[7] = 3.0f;
  nd_wpt_labels(7, 4, 0, 0, 0, 1);
  EXPECT_STREQ(nd::wpt_alt_w[4], " 8000B 6000A");
  std::strcpy(route_tables.waypoint_names[7].text, "(1500)");
  std::strcpy(route_tables.leg_path_types[7].text, "CA");
  nd_wpt_labels(7, 4, 0, 0, 0, 0);
  EXPECT_STREQ(nd::wpt_id_w[4], "(1500FT)");
  std::strcpy(route_tables.waypoint_names[7].text, "A_VERY_LONG_IDENTIFIER_NAME");
  std::strcpy(route_tables.leg_path_types[7].text, "TF");
  nd_wpt_labels(7, 4, 0, 0, 0, 0);
  EXPECT_EQ(std::strlen(nd::wpt_id_w[4]), 15u);  // cut to the field
  nd_wpt_labels(7, 4, 5, 0, 0, 0);
  EXPECT_STREQ(nd::wpt_id_w[4], "");
  // No such slot: nothing written anywhere.
  auto all_texts = [] {
    std::string t;
    for (const auto* a : {&nd::wpt_id_w, &nd::wpt_alt_w, &nd::wpt_eta_w, &nd::wpt_rnp_w, &nd::wpt_id_m,
                          &nd::wpt_alt_m, &nd::wpt_eta_m, &nd::wpt_rnp_m, &nd::wpt_fo_id_w, &nd::wpt_fo_rnp_w,
                          &nd::wpt_fo_id_m, &nd::wpt_fo_rnp_m})
      t.append(&(*a)[0][0], sizeof *a);
    return t;
  };
  const std::string before = all_texts();
  nd_wpt_labels(7, 20, 0, 0, 0, 0);
  nd_wpt_labels(7, -1, 0, 0, 1, 0);
  EXPECT_EQ(all_texts(), before);
  format_flight_level(35000, 18000);
  EXPECT_STREQ(flight_level_text, "FL350");
  format_flight_level(35000, 0);
  EXPECT_STREQ(flight_level_text, "35000");
}

TEST_F(NdPass, RendersTheRouteIntoThePanel) {
  simhost::set_draw_capture(false);
  route_north(6, 4.0);
  electric::dc_bus2_status = 0.0f;
  pass();
  // Magenta route pixels above the symbol of the captain's display.
  const uint32_t p = simhost::pixel(771, 8 + static_cast<int>(500 * (0.199 + 6 * 0.034)));
  EXPECT_GT(p >> 24, 150u) << std::hex << p;
  EXPECT_LT((p >> 16) & 0xff, 80u);
  EXPECT_EQ(simhost::count_pixels_not(0) > 0, true);
  if (const char* png = std::getenv("CORVANE_ND_PNG")) simhost::write_png(png);
}
