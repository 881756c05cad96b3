// The thresholds and tables of the display passes, both sides of each bound.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "core/binding.h"
#include "core/preprocess_values.h"
#include "display/display_steps.h"
#include "display/map_primitives.h"
#include "display/nd_draw.h"
#include "display/nd_labels.h"
#include "display/nd_map_frame.h"
#include "display/nd_slots.h"
#include "display/route_lines.h"
#include "display/trend_vector.h"
#include "lnav/route/fms_legs.h"
#include "lnav/route/route_intake.h"
#include "lnav/route/route_sets.h"
#include "lnav/route/route_state.h"

namespace {

const double kNmPerDeg = 3440.064795 * M_PI / 180.0;  // along a meridian of the geodesy's sphere

MarkerPos north(double nm) { return MarkerPos{static_cast<float>(nm / kNmPerDeg), 0.0f}; }

// Expanded MAP at 10 nm on both sides, route legs every 2 nm north.
class MarkerValues : public ::testing::Test {
 protected:
  void SetUp() override {
    set_nd_viewports();
    host_mirror = HostMirror{};
    script_mirror = ScriptMirror{};
    fms_seq = FmsSequenceState{};
    fms_copies = FmsRouteCopies{};
    pending_holds[0] = PendingHold{};
    legs_mod_active_at_decode = 0.0f;
    vnav_markers = VnavMarkerPositions{};
    for (auto& e : efis_side) {
      e = EfisSideState{};
      e.map_mode = 2.0f;
      e.exp_map = 1.0f;
      e.map_range = 2.0f;
    }
    for (auto& r : display_routes) r.count = 0.0f;
    for (int k = 0; k < 256; ++k) {
      std::memset(route_tables.waypoint_names[k].text, 0, route_text_bytes);
      legs_lat[k] = static_cast<float>(k * 2.0 / kNmPerDeg);
      legs_lon[k] = 0.0f;
    }
    fms_seq.legs_num = 6.0f;
    fms_seq.vnav_idx = 1.0f;
    fms_copies.flight_phase = 1.0f;
  }
};

// The second T/D (leg index 4) is left out inside the approach: after the
// initial approach fix a and up to the missed approach point m, or after a
// alone, or up to m alone.
TEST_F(MarkerValues, SecondTopOfDescentOutsideTheApproachOnly) {
  struct Row {
    float iaf, missed;
    bool shown;
  } rows[] = {{0, 0, true},  {3, 0, false}, {4, 0, true},  {0, 4, false}, {0, 3, true},
              {3, 4, false}, {3, 3, true},  {4, 5, true},  {3, 5, false}};
  fms_copies.vnav_td_idx2 = 4.0f;
  fms_copies.vnav_td_alt2 = 12000.0f;
  vnav_markers.td2 = north(6.0);
  for (const Row& r : rows) {
    fms_copies.iaf_app_idx = r.iaf;
    fms_copies.missed_app_wpt_idx = r.missed;
    nd::td_show = -1.0f;
    update_nd_vnav_markers();
    EXPECT_EQ(nd::td_show, r.shown ? 1.0f : 0.0f) << r.iaf << " " << r.missed;
  }
}

// On the modified route a top of climb shows before the top of descent: on
// an earlier leg, or on the same leg when the descent distance is below the
// climb distance.
TEST_F(MarkerValues, ModifiedTopOfClimbBeforeTheTopOfDescent) {
  struct Row {
    float tc_idx, td_idx, tc_dist, td_dist;
    bool shown;
  } rows[] = {{2, 5, 1, 1, true},  {3, 3, 1, 2, false}, {3, 3, 2, 1, true},
              {3, 3, 1, 1, false}, {4, 3, 2, 1, false}};
  fms_copies.legs_mod_active = 1.0f;
  display_routes[0].count = 6.0f;
  for (int k = 0; k < 6; ++k) {
    display_routes[0].lat[k] = static_cast<float>(k * 1.0 / kNmPerDeg);
    display_routes[0].lon[k] = 0.0f;
  }
  fms_copies.vnav_idx_mod = 1.0f;
  vnav_markers.tc_mod = north(1.5);
  for (const Row& r : rows) {
    fms_copies.vnav_tc_idx_mod = r.tc_idx;
    fms_copies.vnav_td_idx_mod = r.td_idx;
    fms_copies.vnav_tc_dist_mod = r.tc_dist;
    fms_copies.td_dist_mod = r.td_dist;
    nd::tc_show = -1.0f;
    update_nd_vnav_markers();
    EXPECT_EQ(nd::tc_show, r.shown ? 1.0f : 0.0f) << r.tc_idx << " " << r.td_idx << " " << r.td_dist;
  }
  // Its E/D on the table's last point shows; one past the table does not.
  for (float ed : {6.0f, 7.0f}) {
    fms_copies.rnav_idx_last_mod = ed;
    nd::ed_show = -1.0f;
    update_nd_vnav_markers();
    EXPECT_EQ(nd::ed_show, ed == 6.0f ? 1.0f : 0.0f) << ed;
  }
  // Its T/D shows only as a fixed one, on its own leg.
  vnav_markers.td_mod = north(3.0);
  for (float fixed : {0.0f, 1.5f}) {
    fms_copies.vnav_td_dist_fix_mod = fixed;
    nd::td_show = -1.0f;
    update_nd_vnav_markers();
    EXPECT_EQ(nd::td_show, fixed > 0.0f ? 1.0f : 0.0f) << fixed;
  }
}

// In plan mode the markers are placed about the plan centre with the symbol
// 0.48 up the display: at the 10 nm range (0.034 x 0.57 units per nm) a
// marker shows from about 24.8 nm behind the centre to 26 nm ahead of it.
TEST_F(MarkerValues, MarkerVisibilityAtTheDisplayEdges) {
  efis_side[0].map_mode = 3.0f;
  display_routes[0].count = 2.0f;
  display_routes[0].lat[0] = display_routes[0].lon[0] = 0.0f;
  fms_copies.vnav_tc_idx = 3.0f;
  struct Row {
    double nm;
    bool shown;
  } rows[] = {{22, true}, {27, false}, {-24, true}, {-26, false}};
  for (const Row& r : rows) {
    vnav_markers.tc = north(r.nm);
    nd::tc_show = -1.0f;
    update_nd_vnav_markers();
    EXPECT_EQ(nd::tc_show, r.shown ? 1.0f : 0.0f) << r.nm;
  }
  // Expanded MAP, symbol in the middle: about 14.7 nm either side at 0.034 units per nm.
  efis_side[0].map_mode = 2.0f;
  for (const Row& r : {Row{12, true}, Row{16, false}, Row{-12, true}, Row{-16, false}}) {
    vnav_markers.tc = MarkerPos{static_cast<float>(5.0 / kNmPerDeg), static_cast<float>(r.nm / kNmPerDeg)};
    nd::tc_show = -1.0f;
    update_nd_vnav_markers();
    EXPECT_EQ(nd::tc_show, r.shown ? 1.0f : 0.0f) << r.nm << " east";
  }
}

// The route pass's map frame per side. PLN: the side's display route at
// point step - 1 (step limited to the route; point 0 for step 0, a route of
// one point or step - 1 below 1), true north up, scale x 0.57, slots 4.1 up.
// MAP: the aircraft, track or heading up, slots 5.1 up with the vertical
// display, 4.1 centred, 0 expanded. Other modes, or MAP before alignment,
// draw no route.
TEST_F(MarkerValues, RouteMapFrameByModeAndStep) {
  struct Row {
    int side;
    float mode, count, step, exp, vsd, track_up, active, align;
    bool drawn;
    float ref_lat, up, y_offset;
    double scale;
  } rows[] = {
      {0, 3, 4, 0, 1, 0, 0, 0, 0, true, 0, 0, 4.1f, 0.034 * 0.57},
      {0, 3, 4, 1, 1, 0, 0, 0, 0, true, 0, 0, 4.1f, 0.034 * 0.57},
      {0, 3, 4, 2, 1, 0, 0, 0, 0, true, 1, 0, 4.1f, 0.034 * 0.57},
      {0, 3, 4, 3.9f, 1, 0, 0, 0, 0, true, 2, 0, 4.1f, 0.034 * 0.57},
      {0, 3, 4, 9, 1, 0, 0, 0, 0, true, 3, 0, 4.1f, 0.034 * 0.57},
      {0, 3, 1, 2, 1, 0, 0, 0, 0, true, 0, 0, 4.1f, 0.034 * 0.57},
      {1, 3, 4, 3, 1, 0, 0, 0, 0, true, 12, 0, 4.1f, 0.034 * 0.57},
      {0, 2, 0, 0, 1, 0, 0, 0, 0, true, 0.5f, 95, 0, 0.034},
      {0, 2, 0, 0, 0, 0, 0, 0, 0, true, 0.5f, 95, 4.1f, 0.034},
      {0, 2, 0, 0, 1, 1, 0, 0, 0, true, 0.5f, 95, 5.1f, 0.034},
      {0, 2, 0, 0, 1, 0, 1, 1, 0, true, 0.5f, 115, 0, 0.034},
      {0, 2, 0, 0, 1, 0, 1, 0, 0, true, 0.5f, 95, 0, 0.034},
      {0, 2, 0, 0, 1, 0, 0, 0, 1, false, 0, 0, 0, 0},
      {0, 1, 0, 0, 1, 0, 0, 0, 0, false, 0, 0, 0, 0},
  };
  host_mirror.sim_flightmodel_position_magnetic_variation = 5.0f;
  host_mirror.sim_flightmodel_position_latitude = 0.5;
  for (int k = 0; k < 4; ++k) {
    display_routes[0].lat[k] = static_cast<float>(k);
    display_routes[1].lat[k] = static_cast<float>(10 + k);
  }
  for (const Row& r : rows) {
    EfisSideState& e = efis_side[r.side];
    e.map_mode = r.mode;
    e.exp_map = r.exp;
    e.vsd_map = r.vsd;
    e.track_up = r.track_up;
    e.track_up_active = r.active;
    e.heading_mag_deg = 100.0f;
    e.track_mag_deg = 120.0f;
    display_routes[r.side].count = r.count;
    (r.side == 0 ? fms_copies.legs_step_ctr : fms_copies.legs_step_ctr_fo) = r.step;
    script_mirror.zuvadud_D738_irs_nd_allign = r.align;
    NdMapFrame f{};
    const bool drawn = nd_map_frame(r.side, f);
    EXPECT_EQ(drawn, r.drawn) << r.mode << " step " << r.step;
    if (!drawn) continue;
    EXPECT_FLOAT_EQ(static_cast<float>(f.ref_lat), r.ref_lat) << r.mode << " step " << r.step << " count " << r.count;
    EXPECT_FLOAT_EQ(f.up_heading, r.up) << r.mode << " track up " << r.track_up << " " << r.active;
    EXPECT_FLOAT_EQ(f.slot_y_offset, r.y_offset) << r.mode << " exp " << r.exp << " vsd " << r.vsd;
    EXPECT_DOUBLE_EQ(f.scale, r.scale) << r.mode;
  }
}

// Map units per nm by range index: 0.136 halved per step to index 6; index
// 7 and anything else 0.0010625.
TEST(RangeScale, HalvesPerIndexAndFallsBackToTheSmallest) {
  struct Row {
    float index;
    double scale;
  } rows[] = {{0, 0.136},      {1, 0.068},       {2, 0.034},      {3, 0.017},         {4, 0.0085},
              {5, 0.00425},    {6.9f, 0.002125}, {7, 0.0010625},  {-0.5f, 0.136},     {-1, 0.0010625},
              {NAN, 0.0010625}};
  for (const Row& r : rows) EXPECT_DOUBLE_EQ(nd_range_scale(r.index), r.scale) << r.index;
  // The trend vector's 30 s pieces: one at indices 0 and 1, two at 2, three beyond.
  struct Pieces {
    float index;
    int32_t n;
  } pieces[] = {{0, 1}, {1, 1}, {2, 2}, {3, 3}, {6, 3}, {9, 3}, {NAN, 3}};
  for (const Pieces& p : pieces) EXPECT_EQ(trend_segment_count(p.index), p.n) << p.index;
}

// Constraint labels: above the transition altitude (climb and cruise,
// phases below 5) or from the transition level on (descent) a flight level,
// else feet rounded to the nearest foot; B below, A above, both for a
// window. The active waypoint's labels go to the magenta fields.
TEST_F(MarkerValues, ConstraintLabelsByPhaseAndTransition) {
  struct Row {
    float phase, alt, type, alt2;
    const char* text;
  } rows[] = {
      {1, 10000, 2, 0, "10000A"},  {1, 10001, 2, 0, "FL100A"},    {4, 15000, 0, 0, "FL150"},
      {5, 15000, 0, 0, "15000"},   {5, 18000, 1, 0, "FL180B"},    {5, 17999, 1, 0, "17999B"},
      {1, 5999.5f, 0, 0, " 6000"}, {1, 5999.4f, 0, 0, " 5999"},   {1, 6000, 3, 11000, "FL110B 6000A"},
  };
  fms_copies.fmc_trans_alt = 10000.0f;
  fms_copies.fmc_trans_lvl = 18000.0f;
  fms_seq.vnav_idx = 0.0f;
  std::strcpy(route_tables.waypoint_names[7].text, "ABCDE");
  std::strcpy(route_tables.leg_path_types[7].text, "TF");
  for (const Row& r : rows) {
    fms_copies.flight_phase = r.phase;
    legs_alt_rest1[7] = r.alt;
    legs_alt_rest2[7] = r.alt2;
    legs_alt_rest_type[7] = r.type;
    nd_wpt_labels(7, 4, 0, 0, 0, 1);
    EXPECT_STREQ(nd::wpt_alt_w[4], r.text) << r.phase << " " << r.alt;
  }
  fms_seq.vnav_idx = 8.0f;  // leg 7 active
  nd_wpt_labels(7, 4, 0, 0, 0, 1);
  EXPECT_STREQ(nd::wpt_id_m[4], "ABCDE");
  EXPECT_STREQ(nd::wpt_alt_m[4], "FL110B 6000A");
  EXPECT_STREQ(nd::wpt_id_w[4], "");
  struct Level {
    int32_t alt, transition;
    const char* text;
  } levels[] = {{18001, 18000, "FL180"}, {18000, 18000, "18000"}, {35000, 0, "35000"}};
  for (const Level& l : levels) {
    format_flight_level(l.alt, l.transition);
    EXPECT_STREQ(flight_level_text, l.text) << l.alt;
  }
  // ETA minutes are cut, not rounded; RNP shows two decimals below 9.5.
  fms_seq.vnav_idx = 0.0f;
  legs_eta[7] = 14.999f;
  legs_rnp_data[7] = 9.5f;
  nd_wpt_labels(7, 4, 0, 1, 0, 0);
  EXPECT_STREQ(nd::wpt_alt_w[4], "1459Z");
  EXPECT_STREQ(nd::wpt_eta_w[4], "RNP  9.5");
}

// A hold at a fix carries the fix's label once: the fix before a hold at
// the same identifier, or the hold right after the active leg that follows
// its own fix, shows no white identifier.
TEST_F(MarkerValues, HoldAtAFixLabelledOnce) {
  struct Row {
    const char *type7, *id8, *type8, *id6;
    float vnav_idx;
    const char* shown;
  } rows[] = {
      {"TF", "ABC", "HM", "X", 0, ""},   {"TF", "XYZ", "HM", "X", 0, "ABC"}, {"TF", "ABC", "TF", "X", 0, "ABC"},
      {"HF", "X", "TF", "ABC", 7, ""},   {"HF", "X", "TF", "ABC", 9, "ABC"}, {"HF", "X", "TF", "XYZ", 7, "ABC"},
      {"TF", "X", "TF", "ABC", 7, "ABC"},
  };
  std::strcpy(route_tables.waypoint_names[7].text, "ABC");
  for (const Row& r : rows) {
    std::strcpy(route_tables.leg_path_types[7].text, r.type7);
    std::strcpy(route_tables.waypoint_names[8].text, r.id8);
    std::strcpy(route_tables.leg_path_types[8].text, r.type8);
    std::strcpy(route_tables.waypoint_names[6].text, r.id6);
    fms_seq.vnav_idx = r.vnav_idx;
    nd_wpt_labels(7, 4, 0, 0, 0, 0);
    EXPECT_STREQ(nd::wpt_id_w[4], r.shown) << r.type7 << " " << r.id8 << " " << r.type8 << " " << r.id6;
  }
}

}  // namespace
