// Vertical-profile markers on both displays: which pass places which marker,
// the discontinuity and fixed-T/D rules, the label texts, and what a marker
// keeps when it is not placed.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "core/binding.h"
#include "core/preprocess_values.h"
#include "lnav/route/route_intake.h"
#include "lnav/route/route_sets.h"
#include "display/display_steps.h"
#include "display/map_primitives.h"
#include "display/nd_slots.h"
#include "lnav/route/fms_legs.h"
#include "lnav/route/route_state.h"

namespace {

constexpr double kUnits = 14.7058824;  // slot units per map unit
const double kNmPerDeg = 3440.064795 * M_PI / 180.0;  // along a meridian of the geodesy's sphere

class VnavMarkers : public ::testing::Test {
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
      e.map_range = 2.0f;  // 0.034 map units per nm
    }
    for (auto& r : display_routes) r.count = 0.0f;
    for (int k = 0; k < 256; ++k) {
      std::memset(route_tables.waypoint_names[k].text, 0, route_text_bytes);
      legs_lat[k] = static_cast<float>(k * 2.0 / kNmPerDeg);  // a waypoint every 2 nm north
      legs_lon[k] = 0.0f;
    }
    fms_seq.legs_num = 6.0f;
    fms_seq.vnav_idx = 1.0f;
    fms_copies.flight_phase = 1.0f;
    nd::tc_show = nd::tc_fo_show = nd::td_show = nd::ed_show = nd::decel_show = 0.0f;
  }
  static MarkerPos north(double nm) { return MarkerPos{static_cast<float>(nm / kNmPerDeg), 0.0f}; }
};

TEST_F(VnavMarkers, ActiveRouteMarkersOnBothSides) {
  fms_copies.vnav_tc_idx = 3.0f;  // leg 2
  vnav_markers.tc = north(3.0);
  fms_copies.vnav_decel_wpt_idx = 4.0f;
  vnav_markers.decel = north(5.0);
  fms_copies.vnav_fl100_idx = 4.0f;
  vnav_markers.fl100 = north(4.0);
  fms_copies.rnav_idx_last = 5.0f;  // E/D on waypoint 4
  efis_side[1].vsd_map = 1.0f;
  update_nd_vnav_markers();
  EXPECT_EQ(nd::tc_show, 1.0f);
  EXPECT_NEAR(nd::tc_x, 0.0, 1e-4);
  EXPECT_NEAR(nd::tc_y, 3.0 * 0.034 * kUnits, 1e-3);
  EXPECT_STREQ(nd::tc_id, "T/C");
  EXPECT_NEAR(nd::tc_fo_y, 3.0 * 0.034 * kUnits + 5.1, 1e-3);  // with the vertical display
  EXPECT_EQ(nd::decel_show, 1.0f);
  EXPECT_STREQ(nd::decel_id, "DECEL");
  EXPECT_EQ(nd::decel_def_show, 1.0f);
  EXPECT_NEAR(nd::decel_def_y, 4.0 * 0.034 * kUnits, 1e-3);
  EXPECT_EQ(nd::ed_show, 1.0f);
  EXPECT_STREQ(nd::ed_id, "E/D");
  EXPECT_NEAR(nd::ed_y, 8.0 * 0.034 * kUnits, 1e-3);
  EXPECT_EQ(nd::td_show, 0.0f);
  EXPECT_EQ(nd::decel_def2_show, 0.0f);
}

TEST_F(VnavMarkers, TopOfClimbOnlyInClimbPhasesAndNotAfterADiscontinuity) {
  struct Case {
    float phase;
    const char* before;  // identifier of the leg before the marker's leg
    float intdir_act, vnav_idx;
    float shown;
  };
  const Case cases[] = {
      {1.0f, "A", 0.0f, 1.0f, 1.0f},
      {2.0f, "A", 0.0f, 1.0f, 0.0f},
      {3.0f, "A", 0.0f, 1.0f, 1.0f},
      {8.0f, "A", 0.0f, 1.0f, 1.0f},
      {1.0f, "DISCONTINUITY", 0.0f, 1.0f, 0.0f},
      {1.0f, "DISCONTINUITY", 2.0f, 3.0f, 1.0f},  // the active leg of a direct-to
      {1.0f, "DISCONTINUITY", 0.0f, 3.0f, 0.0f},
  };
  for (const Case& c : cases) {
    fms_copies.flight_phase = c.phase;
    std::strcpy(route_tables.waypoint_names[1].text, c.before);
    fms_seq.intdir_act = c.intdir_act;
    fms_seq.vnav_idx = c.vnav_idx;
    fms_copies.vnav_tc_idx = 3.0f;
    vnav_markers.tc = north(3.0);
    fms_copies.rnav_idx_last = 3.0f;  // E/D on the same leg ignores the discontinuity
    update_nd_vnav_markers();
    EXPECT_EQ(nd::tc_show, c.shown) << c.phase << " " << c.before << " " << c.vnav_idx;
    EXPECT_EQ(nd::ed_show, 1.0f);
  }
}

TEST_F(VnavMarkers, TopOfDescentLabels) {
  struct Case {
    float alt2, trans_lvl;
    const char* label;
  };
  const Case cases[] = {{35000.0f, 18000.0f, "T/D-FL350"}, {12000.0f, 18000.0f, "T/D-12000"},
                        {35000.0f, 0.0f, "T/D-35000"}};
  for (const Case& c : cases) {
    fms_copies.vnav_td_idx2 = 4.0f;
    fms_copies.vnav_td_alt2 = c.alt2;
    fms_copies.fmc_trans_lvl = c.trans_lvl;
    vnav_markers.td2 = north(6.0);
    update_nd_vnav_markers();
    EXPECT_EQ(nd::td_show, 1.0f);
    EXPECT_STREQ(nd::td_id, c.label);
  }
  // A fixed T/D on an earlier leg takes the marker and stops the second one.
  fms_copies.vnav_td_idx = 2.0f;
  fms_copies.vnav_td_dist_fix = 3.0f;
  vnav_markers.td = north(2.0);
  update_nd_vnav_markers();
  EXPECT_STREQ(nd::td_id, "T/D");
  EXPECT_NEAR(nd::td_y, 2.0 * 0.034 * kUnits, 1e-3);
  // Inside the approach (after the initial approach fix) no second T/D.
  fms_copies.vnav_td_dist_fix = 0.0f;
  fms_copies.iaf_app_idx = 3.0f;
  update_nd_vnav_markers();
  EXPECT_EQ(nd::td_show, 0.0f);
}

TEST_F(VnavMarkers, ModificationTakesTheMarkersFromTheSecondPass) {
  fms_copies.vnav_tc_idx = 3.0f;
  vnav_markers.tc = north(3.0);
  fms_copies.legs_mod_active = 1.0f;
  update_nd_vnav_markers();
  EXPECT_EQ(nd::tc_show, 0.0f);  // no modified route yet: nothing
  display_routes[0].count = 6.0f;
  display_routes[1].count = 6.0f;
  for (int k = 0; k < 6; ++k) {
    display_routes[0].lat[k] = static_cast<float>(k * 1.0 / kNmPerDeg);
    display_routes[0].lon[k] = 0.0f;
  }
  fms_copies.vnav_idx_mod = 1.0f;
  fms_copies.vnav_tc_idx_mod = 2.0f;
  fms_copies.vnav_td_idx_mod = 5.0f;
  vnav_markers.tc_mod = north(1.5);
  fms_copies.rnav_idx_last_mod = 4.0f;  // E/D on the second route's waypoint 3 on both sides
  update_nd_vnav_markers();
  EXPECT_EQ(nd::tc_show, 1.0f);
  EXPECT_NEAR(nd::tc_y, 1.5 * 0.034 * kUnits, 1e-3);
  EXPECT_EQ(nd::tc_fo_show, 0.0f);  // the first officer's pass needs its own table
  fms_copies.vnav_idx_mod3 = 1.0f;
  update_nd_vnav_markers();
  EXPECT_EQ(nd::tc_fo_show, 1.0f);
  EXPECT_NEAR(nd::ed_fo_y, 3.0 * 0.034 * kUnits, 1e-3);
  // A climb point past the descent point is no top of climb.
  fms_copies.vnav_tc_idx_mod = 5.0f;
  fms_copies.vnav_td_idx_mod = 4.0f;
  update_nd_vnav_markers();
  EXPECT_EQ(nd::tc_show, 0.0f);
}

TEST_F(VnavMarkers, UnplacedMarkerKeepsItsLastValues) {
  fms_copies.vnav_tc_idx = 3.0f;
  vnav_markers.tc = north(3.0);
  update_nd_vnav_markers();
  const float y = nd::tc_y;
  vnav_markers.tc = north(300.0);  // off the map
  update_nd_vnav_markers();
  EXPECT_EQ(nd::tc_show, 0.0f);
  EXPECT_EQ(nd::tc_y, y);
  EXPECT_STREQ(nd::tc_id, "T/C");
}

TEST_F(VnavMarkers, ModesAndScales) {
  fms_copies.vnav_tc_idx = 3.0f;
  vnav_markers.tc = north(3.0);
  struct Case {
    float mode, range, exp;
    float shown;
    double y;
  };
  const Case cases[] = {
      {0.0f, 2.0f, 1.0f, 0.0f, 0.0},                                   // APP
      {1.0f, 2.0f, 1.0f, 0.0f, 0.0},                                   // VOR
      {2.0f, 7.0f, 1.0f, 1.0f, 3.0 * 0.0010625 * kUnits},              // smallest scale
      {2.0f, 12.0f, 1.0f, 1.0f, 3.0 * 0.0010625 * kUnits},             // out of range: as 7
      {2.0f, 2.0f, 0.0f, 1.0f, 3.0 * 0.034 * kUnits + 4.1},            // centred
      {3.0f, 2.0f, 1.0f, 1.0f, 3.0 * 0.034 * 0.57 * kUnits + 4.1},     // plan: true north up
  };
  // The variation turns no map here: the heading is true north, and the plan
  // view is true north up whatever the variation.
  host_mirror.sim_flightmodel_position_magnetic_variation = 12.0f;
  efis_side[0].heading_mag_deg = 12.0f;
  for (const Case& c : cases) {
    efis_side[0].map_mode = c.mode;
    efis_side[0].map_range = c.range;
    efis_side[0].exp_map = c.exp;
    nd::tc_y = -1.0f;
    update_nd_vnav_markers();
    EXPECT_EQ(nd::tc_show, c.shown) << c.mode << " " << c.range;
    if (c.shown != 0.0f) {
      EXPECT_NEAR(nd::tc_y, c.y, 1e-3) << c.range;
      EXPECT_NEAR(nd::tc_x, 0.0, 1e-3) << c.mode;
    }
  }
  // The map waits for heading alignment in the active-route pass.
  efis_side[0] = efis_side[1];
  script_mirror.zuvadud_D738_irs_nd_allign = 1.0f;
  update_nd_vnav_markers();
  EXPECT_EQ(nd::tc_show, 0.0f);
}

}  // namespace
