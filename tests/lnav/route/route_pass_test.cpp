// The route pass after the decode, in-process against the simulated host: the
// direct-to take-over and its answers, the frames without a path build or
// without a route, the destination entry and distances, the bypassed-leg
// walk, the one-shot debug selectors, and the sequencing block's latches.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <tuple>
#include <vector>

#include "core/binding.h"
#include "core/frame_values.h"
#include "core/preprocess_values.h"
#include "lnav/route/route.h"
#include "lnav/route/route_intake.h"
#include "lnav/route/route_pass_steps.h"
#include "lnav/route/route_sets.h"
#include "host.h"
#include "lnav/route/fms_legs.h"
#include "lnav/guidance_steps.h"
#include "lnav/path/leg_path.h"
#include "lnav/route/route_state.h"
#include "lnav/route/sequencing.h"
#include "navdata/geodesy.h"
#include "bind_for_test.h"

namespace {

const char* const kFms = "zuvadud/D738/fms/";

std::string fms(const char* name) { return std::string(kFms) + name; }

void set_text(const std::string& name, const std::string& text) {
  std::string bytes = text;
  const int size = simhost::array_size(name);
  if (static_cast<int>(bytes.size()) < size) bytes.resize(size, '\0');
  simhost::set_bytes(name, bytes);
}

bool log_has(const std::string& line) {
  for (const std::string& l : simhost::log_lines()) {
    if (l == line) return true;
  }
  return false;
}

int log_count_prefix(const std::string& prefix) {
  int n = 0;
  for (const std::string& l : simhost::log_lines()) n += l.compare(0, prefix.size(), prefix) == 0 ? 1 : 0;
  return n;
}

class RoutePass : public ::testing::Test {
 protected:
  void SetUp() override {
    simhost::reset();
    rebind_datarefs();
    route_tables = RouteStringTables{};
    for (RouteScriptStrings& s : route_script_strings) s = RouteScriptStrings{};
    fms_seq = FmsSequenceState{};
    fms_copies = FmsRouteCopies{};
    route_change_values = RouteChangeValues{};
    legs_change_copy = 0.0f;
    route_reset_request = 0.0f;
    fms_debug_selector = 0.0f;
    sim_paused = 0;
    on_ground = 0;
    direct_to_leg = first_path_leg = path_start_leg = 0;
    route_track = RouteTrackState{};
    hold_region_flag = 0;
    hold_seq_latch = 0;
    display_routes[0] = DisplayRoute{};
    display_routes[1] = DisplayRoute{};
    vnav_markers = VnavMarkerPositions{};
    for (int k = 0; k < 256; ++k) {
      reset_leg_path(k, 0);
      legs_direct[k] = legs_bypass[k] = legs_type[k] = 0.0f;
      legs_rad_turn[k] = -1.0f;
      legs_df_crs[k] = legs_df_crs_fin[k] = -1.0f;
      legs_spd_calc[k] = 250.0f;
      legs_alt_calc[k] = 5000.0f;
      legs_rnp[k] = 1.0f;
      legs_lat[k] = legs_lon[k] = 0.0f;
    }
    frame_flight_data = FrameFlightData{};
    host_mirror.sim_flightmodel_position_latitude = 0.0;
    host_mirror.sim_flightmodel_position_longitude = 0.0;
    host_mirror.sim_cockpit2_gauges_indicators_heading_AHARS_deg_mag_pilot = 90.0f;
    host_mirror.sim_flightmodel_position_groundspeed = 120.0f;
    simhost::clear_log();
  }
  void TearDown() override { simhost::reset(); }

  // Waypoints W0..W(n-1) one degree apart along the equator, TF legs; the
  // scripts hand the route over and raise the change flag.
  void hand_over_route(int n, float vnav_idx) {
    std::string ids, types;
    for (int k = 0; k < n; ++k) {
      legs_lat[k] = 0.0f;
      legs_lon[k] = static_cast<float>(k);
      ids += "W" + std::to_string(k) + " ";
      types += k == 0 ? "IF" : "TF";
      if (k > 0) {
        legs_brg_true[k] = legs_brg_fin_true[k] = legs_brg_mag[k] = 1.5707964f;
        legs_dist[k] = gc_distance_nm(0.0, k - 1.0, 0.0, k);
      }
    }
    set_text(fms("legs"), ids);
    set_text(fms("legs_pth"), types);
    set_text(fms("legs_pth_before"), types);
    simhost::set_float("zuvadud/D738/vnav/legs_num", static_cast<float>(n - 1));
    simhost::set_float(fms("vnav_idx"), vnav_idx);
    simhost::set_float(fms("vnav_idx_seq"), vnav_idx);
    simhost::set_float(fms("intdir_crs"), -1.0f);
    simhost::set_float(fms("legs_change"), 1.0f);
    // Flying east on the active leg, halfway along it.
    const double active = vnav_idx - 1.0;
    host_mirror.sim_flightmodel_position_latitude = 0.0;
    host_mirror.sim_flightmodel_position_longitude = active - 0.5;
  }
  void frame() {
    route_reads();
    route_pass();
  }
};

// ---- direct-to -------------------------------------------------------------------------------

TEST_F(RoutePass, DirectToRequestAnswered) {
  struct Case {
    const char* what;
    int ground;
    float intdir_crs;
    float act, idx;  // intdir_act and intdir_idx handed back
    int flagged_leg;
    float flag;
  };
  const Case cases[] = {
      {"on the ground: cancelled", 1, -1.0f, 0.0f, 1.0f, 0, 1.0f},
      {"direct to the waypoint", 0, -1.0f, 2.0f, 3.0f, 2, 1.0f},
      {"intercept course 0 counts as a course", 0, 0.0f, 2.0f, 3.0f, 2, 2.0f},
      {"intercept course", 0, 120.0f, 2.0f, 3.0f, 2, 2.0f},
  };
  for (const Case& c : cases) {
    SetUp();
    frame_flight_data.mag_var_deg = 10.0f;
    on_ground = c.ground;
    hand_over_route(6, 3.0f);
    host_mirror.sim_flightmodel_position_latitude = 0.5;
    host_mirror.sim_flightmodel_position_longitude = 0.5;
    simhost::set_float(fms("intdir_act"), 1.0f);
    simhost::set_float(fms("intdir_crs"), c.intdir_crs);
    simhost::set_float(fms("nav_mode"), 4.0f);
    simhost::set_float(fms("hold_phase"), 2.0f);
    route_reads();
    path_pass_ran = false;
    ASSERT_TRUE(route_intake());
    direct_to_path_build();
    SCOPED_TRACE(c.what);
    if (!c.ground) {
      // Until the route tracking of this frame measures again.
      EXPECT_EQ(route_track.abeam_dist_bp, 1.0f);
      EXPECT_EQ(route_track.abeam_dist_seg, 100.0f);
    }
    route_sequencing_pass();
    EXPECT_EQ(simhost::get_float(fms("intdir_act")), c.act);
    EXPECT_EQ(fms_seq.intdir_act, c.act);
    EXPECT_EQ(simhost::get_float(fms("intdir_idx")), c.idx);
    EXPECT_EQ(direct_to_flags[c.flagged_leg], c.flag);
    EXPECT_EQ(simhost::get_float(fms("hold_phase")), 0.0f);
    EXPECT_EQ(simhost::get_float(fms("legs_change")), 0.0f);
    EXPECT_EQ(simhost::get_float(fms("vnav_idx_seq")), 3.0f);
    // Start of the direct-to: the aircraft's position and true heading.
    EXPECT_EQ(dir_start_lat, 0.5f);
    EXPECT_EQ(dir_start_lon, 0.5f);
    EXPECT_EQ(dir_start_hdg_true, 80.0f);
    if (c.ground) {
      EXPECT_EQ(simhost::get_float(fms("intdir_crs")), -1.0f);
      EXPECT_EQ(simhost::get_float(fms("nav_mode")), 0.0f);
      EXPECT_EQ(first_path_leg, 0);
    } else {
      EXPECT_EQ(direct_to_leg, 2);
    }
    if (c.flag == 2.0f) {
      EXPECT_EQ(simhost::get_float(fms("nav_mode")), 0.0f);
      EXPECT_FLOAT_EQ(legs_df_crs[2], std::fmod(c.intdir_crs - 10.0f + 360.0f, 360.0f));
      EXPECT_EQ(legs_df_crs_fin[2], legs_df_crs[2]);
      // 90 nm to W2: the intercept line still runs 700 nm.
      EXPECT_EQ(dir_seg_remain_dist, 700.0f);
    }
  }
}

TEST_F(RoutePass, DirectToWaitsForChangeFlag) {
  hand_over_route(6, 3.0f);
  frame();
  // intdir_act is taken only together with a raised change flag.
  simhost::set_float(fms("intdir_act"), 1.0f);
  frame();
  EXPECT_EQ(simhost::get_float(fms("intdir_act")), 1.0f);
  for (int k = 0; k < 6; ++k) EXPECT_EQ(direct_to_flags[k], 0.0f) << k;
  simhost::set_float(fms("legs_change"), 1.0f);
  frame();
  EXPECT_EQ(simhost::get_float(fms("intdir_act")), 2.0f);
  // At the active leg of that frame (the sequencer may have moved it on).
  EXPECT_EQ(direct_to_leg, static_cast<int>(simhost::get_float(fms("vnav_idx_seq"))) - 1);
  EXPECT_EQ(direct_to_flags[direct_to_leg], 1.0f);
  EXPECT_EQ(simhost::get_float(fms("intdir_idx")), static_cast<float>(direct_to_leg + 1));
}

TEST_F(RoutePass, SequencingLegCatchesUpWithActiveLeg) {
  hand_over_route(6, 2.0f);
  frame();
  simhost::set_float(fms("vnav_idx"), 4.0f);
  simhost::set_float(fms("vnav_idx_seq"), 2.0f);
  frame();
  EXPECT_EQ(simhost::get_float(fms("vnav_idx_seq")), 4.0f);
  EXPECT_EQ(fms_seq.vnav_idx_seq, 4.0f);
  EXPECT_EQ(simhost::get_float(fms("vnav_idx_seq_prev")), 3.0f);
}

// A route taken in while airborne, first or after a route's end, keeps its
// active waypoint (an arc leg set up from the waypoint before it); handed
// over again with the same active leg, it sequences as before.
TEST_F(RoutePass, RouteTakenInKeepsItsActiveWaypoint) {
  hand_over_route(6, 3.0f);  // on the arc to W2
  set_text(fms("legs_pth"), "IFTFAFTFTFTF");
  legs_rad_lat[2] = -0.5f;
  legs_rad_lon[2] = 1.5f;
  legs_radius[2] = gc_distance_nm(-0.5, 1.5, 0.0, 2.0);
  legs_rad_turn[2] = 1.0f;
  host_mirror.sim_flightmodel_position_latitude = 0.2;
  frame();
  EXPECT_EQ(simhost::get_float(fms("vnav_idx")), 3.0f);
  EXPECT_NEAR(legs_af_beg[2], 315.0f, 0.1f);
  host_mirror.sim_flightmodel_position_latitude = 0.0;
  host_mirror.sim_flightmodel_position_longitude = 2.01;  // W2 passed
  frame();
  simhost::set_float(fms("legs_change"), 1.0f);
  frame();
  EXPECT_EQ(simhost::get_float(fms("vnav_idx")), 4.0f);
  hand_over_route(6, 5.0f);  // ended past W4, then a longer route on the same leg
  host_mirror.sim_flightmodel_position_longitude = 4.01;
  for (int k = 0; k < 2; ++k) frame();
  EXPECT_EQ(simhost::get_float(fms("nav_mode")), 99.0f);
  hand_over_route(8, 5.0f);
  frame();
  EXPECT_EQ(simhost::get_float(fms("vnav_idx")), 5.0f);
}

// ---- frames without a path build ---------------------------------------------------------------

TEST_F(RoutePass, ActiveLegOneBuildsNothing) {
  hand_over_route(6, 1.0f);
  legs_df_crs[5] = 123.0f;
  legs_dist_dest_true[0] = 77.0f;
  frame();
  EXPECT_FALSE(path_pass_ran);
  EXPECT_EQ(legs_df_crs[5], 123.0f);  // no destination entry
  EXPECT_EQ(legs_dist_dest_true[0], 77.0f);
  EXPECT_EQ(simhost::get_float(fms("legs_change")), 0.0f);
}

TEST_F(RoutePass, NoRouteClearsDirectToState) {
  hand_over_route(6, 3.0f);
  simhost::set_float(fms("intdir_act"), 2.0f);
  direct_to_flags[4] = 1.0f;
  direct_to_flags[255] = 2.0f;
  direct_to_leg = first_path_leg = 4;
  simhost::set_float("zuvadud/D738/vnav/legs_num", 0.0f);
  simhost::set_float(fms("legs_change"), 1.0f);
  route_reads();
  route_pass();
  EXPECT_EQ(fms_seq.intdir_act, 0.0f);
  EXPECT_EQ(simhost::get_float(fms("intdir_act")), 2.0f);  // the copy only
  EXPECT_EQ(simhost::counts(fms("intdir_act")).writes, 0);
  EXPECT_EQ(direct_to_leg, 0);
  EXPECT_EQ(first_path_leg, 0);
  for (int k = 0; k < 256; ++k) ASSERT_EQ(direct_to_flags[k], 0.0f) << k;
  EXPECT_EQ(simhost::get_float(fms("legs_change")), 0.0f);
}

// ---- destination entry and distances -----------------------------------------------------------

TEST_F(RoutePass, DestinationEntryAndDistancesToGo) {
  hand_over_route(6, 2.0f);
  legs_seg1_ctr_lat[5] = legs_seg2_end_lon[5] = legs_wpt_arc_dist[5] = 9.0f;
  frame();
  ASSERT_TRUE(path_pass_ran);
  const float leg_nm = gc_distance_nm(0.0, 0.0, 0.0, 1.0);  // 60.04 nm
  EXPECT_EQ(legs_df_crs[5], -1.0f);
  EXPECT_EQ(legs_df_crs_fin[5], -1.0f);
  EXPECT_EQ(legs_dist_true[5], leg_nm);
  EXPECT_EQ(legs_dist_dest_true[5], 0.0f);
  EXPECT_EQ(legs_seg1_ctr_lat[5], 0.0f);
  EXPECT_EQ(legs_seg2_end_lon[5], 0.0f);
  EXPECT_EQ(legs_wpt_arc_dist[5], 0.0f);
  // A straight route: what is left from each waypoint is the legs after it.
  for (int i = 1; i <= 4; ++i) {
    EXPECT_NEAR(legs_dist_dest_true[i], leg_nm * static_cast<float>(5 - i), 0.05f) << i;
    EXPECT_NEAR(legs_dist_dest_true_bp[i], leg_nm * static_cast<float>(5 - i), 0.05f) << i;
  }
  // The departure entry is pinned.
  EXPECT_EQ(legs_spd_calc[0], 145.0f);
  EXPECT_EQ(legs_bypass[0], 0.0f);
}

// A route ending on an arc leg: the arc record the builder set up for the
// destination is cleared whole, so no arc with one end left is drawn there.
TEST_F(RoutePass, DestinationArcRecordIsClearedWhole) {
  hand_over_route(6, 2.0f);
  set_text(fms("legs_pth"), "IFTFTFTFTFRF");
  set_text(fms("legs_pth_before"), "IFTFTFTFTFRF");
  legs_rad_lat[5] = -0.5f;
  legs_rad_lon[5] = 4.5f;
  legs_radius[5] = 42.0f;
  legs_rad_turn[5] = 0.0f;
  frame();
  ASSERT_TRUE(path_pass_ran);
  EXPECT_EQ(legs_af_beg[5], 0.0f);
  EXPECT_EQ(legs_af_end[5], 0.0f);
  EXPECT_EQ(legs_af_arc_dist[5], 0.0f);
}

std::vector<std::tuple<int, int, int>> visits;
void record(int32_t leg, int32_t prev, int32_t next) { visits.emplace_back(leg, prev, next); }

TEST_F(RoutePass, BypassedRunsShareTheirValidNeighbours) {
  fms_seq.legs_num = 10.0f;
  struct Case {
    std::vector<int> bypassed;
    int from;
    std::vector<std::tuple<int, int, int>> expect;
  };
  const Case cases[] = {
      {{5, 6, 7}, 0, {{5, 4, 8}, {6, 4, 8}, {7, 4, 8}}},
      {{2, 6}, 0, {{2, 1, 3}, {6, 5, 7}}},
      {{2, 6}, 4, {{6, 5, 7}}},
      {{8, 9}, -1, {{8, 7, 10}, {9, 7, 10}}},  // up to the last computed leg; none valid after
      {{}, 0, {}},
  };
  for (const Case& c : cases) {
    for (float& b : legs_bypass) b = 0.0f;
    for (int k : c.bypassed) legs_bypass[k] = 1.0f;
    visits.clear();
    for_each_bypassed_leg(c.from, record);
    EXPECT_EQ(visits, c.expect);
  }
  // A count from the scripts beyond the tables stops at the last slot.
  fms_seq.legs_num = 1.0e9f;
  for (float& b : legs_bypass) b = 1.0f;
  visits.clear();
  for_each_bypassed_leg(250, record);
  EXPECT_EQ(visits.size(), 6u);
}

// ---- debug selectors ---------------------------------------------------------------------------

TEST_F(RoutePass, OneShotSelectorsLoweredAfterUse) {
  struct Case {
    float selector;
    bool direct_to;
    float after;  // "fms/test" at the end of the frame
    const char* line;
  };
  const Case cases[] = {
      {99999.0f, true, 0.0f, "Direct to  2 <W2> -> CRS final: "},
      {2222.0f, false, 0.0f, nullptr},
      {9999.0f, false, 0.0f, nullptr},
      {3333.0f, false, 0.0f, nullptr},
      {5555.0f, false, 0.0f, "Calculated true distance for destination. WPT 5  <W5>:  60.04"},
      {8888.0f, true, 8888.0f, "Direct to  2 <W2> -> INIT Nav Mode (G) ("},
  };
  for (const Case& c : cases) {
    SetUp();
    host_mirror.sim_flightmodel_position_latitude = 0.5;
    host_mirror.sim_flightmodel_position_longitude = 0.5;
    hand_over_route(6, 3.0f);
    if (c.direct_to) simhost::set_float(fms("intdir_act"), 1.0f);
    simhost::set_float(fms("test"), c.selector);
    fms_debug_selector = c.selector;
    frame();
    SCOPED_TRACE(c.selector);
    EXPECT_EQ(simhost::get_float(fms("test")), c.after);
    EXPECT_EQ(fms_debug_selector, c.after);
    if (c.line != nullptr) {
      EXPECT_EQ(log_count_prefix(c.line), 1);
    }
  }
}

TEST_F(RoutePass, PathDumpsUnder5555) {
  host_mirror.sim_flightmodel_position_latitude = 0.5;
  host_mirror.sim_flightmodel_position_longitude = 0.5;
  hand_over_route(4, 2.0f);
  simhost::set_float(fms("intdir_act"), 1.0f);
  fms_debug_selector = 5555.0f;
  frame();
  EXPECT_TRUE(log_has("Direct to data:"));
  EXPECT_TRUE(log_has("WPT 1  <W1>:"));
  EXPECT_EQ(log_count_prefix("dir_seg"), 26);
  // One header per leg before the bypass pass, and both per-leg dumps.
  EXPECT_EQ(log_count_prefix("True distance calculated before BP wpts:"), 4);
  EXPECT_EQ(log_count_prefix("legs_spd_calc : "), 4);
  EXPECT_EQ(log_count_prefix("pi_lenght : "), 8);
  EXPECT_EQ(log_count_prefix("legs_dist_dest_t_bp : "), 8);
  EXPECT_EQ(log_count_prefix("WPT 3  <W3>:"), 2);
  // Lowered by the sequencing pass: one dump only.
  simhost::clear_log();
  frame();
  EXPECT_TRUE(simhost::log_lines().empty());
}

// ---- sequencing block ------------------------------------------------------------------------

TEST_F(RoutePass, HoldLatchesFollowNavMode) {
  struct Case {
    float nav_mode;
    int region;
    float reset_request;
    uint8_t flag_before, flag_after, latch_after;
  };
  // The sequencer's own latch is only checked where the pass clears it.
  const Case cases[] = {
      {0.0f, 301, 0.0f, 1, 0, 0},  // not in a hold: both cleared
      {5.0f, 301, 0.0f, 1, 0, 0},
      {3.0f, 301, 0.0f, 0, 1, 2},  // in the hold's first turn: raised
      {3.0f, 300, 0.0f, 0, 0, 2},  // elsewhere in the hold: left as it was
      {3.0f, 301, 0.0f, 1, 1, 2},
      {3.0f, 301, 1.0f, 0, 0, 2},  // restoring a situation: no sequencing at all
      {0.0f, 301, 1.0f, 1, 1, 2},
  };
  for (const Case& c : cases) {
    SetUp();
    hand_over_route(6, 3.0f);
    simhost::set_float(fms("nav_mode"), c.nav_mode);
    route_reads();
    route_track.region = c.region;
    hold_region_flag = c.flag_before;
    // Raised, the sequencer's latch would let the hold be left at once.
    hold_seq_latch = c.latch_after == 0 ? 1 : 0;
    route_reset_request = c.reset_request;
    route_pass();
    EXPECT_EQ(hold_region_flag, c.flag_after) << c.nav_mode << " " << c.region << " " << c.reset_request;
    if (c.latch_after != 2) {
      EXPECT_EQ(hold_seq_latch, c.latch_after) << c.nav_mode << " " << c.region;
    }
  }
}

TEST_F(RoutePass, DirectCoursesHandedBackForSecondRoute) {
  hand_over_route(6, 3.0f);
  route_set2.count = 5.0f;
  frame();
  const std::vector<float> handed = simhost::get_floats(fms("legs_df_crs_2"));
  ASSERT_EQ(handed.size(), 256u);
  EXPECT_EQ(handed[5], -1.0f);  // the destination entry, closed this frame
  EXPECT_EQ(simhost::counts(fms("legs_df_crs_2")).writes, 1);

  // Not while a modification is pending, nor for another count.
  simhost::set_float(fms("legs_mod_active"), 1.0f);
  frame();
  route_set2.count = 4.0f;
  simhost::set_float(fms("legs_mod_active"), 0.0f);
  frame();
  EXPECT_EQ(simhost::counts(fms("legs_df_crs_2")).writes, 1);
}

TEST_F(RoutePass, DirectTurnsRunOncePerFrame) {
  // A direct-to flown (intdir_act 3) to W2, the aircraft heading north on
  // the equator between W1 and W2: its turn goes right onto W2.
  hand_over_route(6, 3.0f);
  simhost::set_float(fms("intdir_act"), 3.0f);
  host_mirror.sim_cockpit2_gauges_indicators_heading_AHARS_deg_mag_pilot = 0.0f;
  struct Case {
    const char* what;
    float vnav_idx, legs_num;
    bool path_built;
    uint8_t turn_valid;
  };
  const Case cases[] = {
      {"path build", 3.0f, 5.0f, true, 1},
      {"first leg active: no path build", 1.0f, 5.0f, false, 0},
      {"no route", 3.0f, 0.0f, false, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    simhost::set_float(fms("vnav_idx"), c.vnav_idx);
    simhost::set_float("zuvadud/D738/vnav/legs_num", c.legs_num);
    simhost::set_float(fms("legs_change"), 1.0f);
    const int before = simhost::counts(fms("intdir_radius_mod")).writes;
    frame();
    EXPECT_EQ(path_pass_ran, c.path_built);
    // The modified route's turn is handed to the scripts once.
    EXPECT_EQ(simhost::counts(fms("intdir_radius_mod")).writes - before, 1);
    EXPECT_EQ(direct_to_turn_path.valid, c.turn_valid);
    if (c.turn_valid != 0) {
      EXPECT_GT(direct_to_turn_path.final_crs, 90.0f);
      EXPECT_LT(direct_to_turn_path.final_crs, 180.0f);
    } else {
      EXPECT_EQ(direct_to_turn_path.final_crs, -1.0f);
    }
  }
}

}  // namespace
