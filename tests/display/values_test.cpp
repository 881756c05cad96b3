// The thresholds and tables of the display passes, both sides of each bound.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "core/binding.h"
#include "core/preprocess.h"
#include "display/display_steps.h"
#include "display/map_primitives.h"
#include "display/nd_slots.h"
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
}

}  // namespace
