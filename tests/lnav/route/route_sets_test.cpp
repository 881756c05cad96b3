// Second and third routes, profile markers and abeam points, in-process
// against the simulated host: the change-flag intake of both sets with their
// identifiers, leg types and hold figures, the cleared set, counts beyond the
// tables, the markers of the active and the modified route, and the abeam
// point acceptance rules.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "core/binding.h"
#include "core/frame_values.h"
#include "lnav/route/hold_geometry.h"
#include "core/preprocess_values.h"
#include "lnav/route/route_intake.h"
#include "lnav/route/route_sets.h"
#include "host.h"
#include "lnav/route/fms_legs.h"
#include "lnav/path/leg_path.h"
#include "lnav/route/route_state.h"
#include "navdata/geodesy.h"
#include "bind_for_test.h"

namespace {

std::string fms(const std::string& name) { return "zuvadud/D738/fms/" + name; }

void set_text(const std::string& name, const std::string& text) {
  std::string bytes = text;
  const int size = simhost::array_size(name);
  if (static_cast<int>(bytes.size()) < size) bytes.resize(size, '\0');
  simhost::set_bytes(name, bytes);
}

// Two-character identifiers, so that more than 256 fit one text.
std::string short_id(int k) {
  const char* digits = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
  return std::string{digits[k / 36], digits[k % 36]};
}
std::string short_ids(int count) {
  std::string s;
  for (int k = 0; k < count; ++k) s += short_id(k) + " ";
  return s;
}

// Turn radius for a bank and speed, from the turn formula r = V^2 / (g tan b).
float radius_nm(float bank_deg, float kt) {
  return static_cast<float>(kt * kt / (std::tan(bank_deg * 3.14159265358979 / 180.0) * 68620.0));
}

class RouteSets : public ::testing::Test {
 protected:
  void SetUp() override {
    simhost::reset();
    rebind_datarefs();
    route_tables = RouteStringTables{};
    for (RouteScriptStrings& s : route_script_strings) s = RouteScriptStrings{};
    fms_seq = FmsSequenceState{};
    fms_copies = FmsRouteCopies{};
    display_routes[0] = DisplayRoute{};
    display_routes[1] = DisplayRoute{};
    mod_route_offsets = ModRouteOffsets{};
    vnav_markers = VnavMarkerPositions{};
    abeam_points = AbeamPointSet{};
    direct_turn_mod = DirectTurnMod{};
    hold_alt_ref = 0.0f;
    fms_debug_selector = 0.0f;
    active_route_side = 0;
    legs_mod_active_at_decode = 0.0f;
    simhost::clear_log();
  }
  void TearDown() override { simhost::reset(); }
};

const char* const kSuffix[2] = {"_2", "_3"};

TEST_F(RouteSets, BothSetsTakenInOnTheirFlag) {
  for (int set = 0; set < 2; ++set) {
    SetUp();
    const std::string sfx = kSuffix[set];
    const std::string num = set == 0 ? "legs_num2" : "legs_num3";
    simhost::set_float(fms(num), 3.0f);
    simhost::set_floats(fms("legs_lat" + sfx), {10.0f, 11.0f, 12.0f, 13.0f, 99.0f});
    simhost::set_floats(fms("legs_lon" + sfx), {20.0f, 21.0f, 22.0f, 23.0f, 99.0f});
    simhost::set_floats(fms("legs_idx" + sfx), {1.0f, 2.0f, 0.0f, 0.0f});
    simhost::set_floats(fms("legs_spd" + sfx), {250.0f, 250.0f, 0.0f, 0.78f});
    simhost::set_floats(fms("legs_hold_time" + sfx), {0.0f, 0.0f, 0.0f, 60.0f});
    set_text(fms("legs" + sfx), "AAA BBB CCC DDD ");
    set_text(fms("legs_pth" + sfx), "IFHMHAHF");
    set_text(fms("legs_pth_before" + sfx), "IFTFTFTF");
    simhost::set_float(fms("legs_offset_act_mod"), 4.0f);
    simhost::set_float(fms("legs_offset_lonx_4_mod"), 7.0f);
    float& change = set == 0 ? fms_copies.legs_change2 : fms_copies.legs_change3;
    (set == 0 ? fms_copies.vnav_idx_mod : fms_copies.vnav_idx_mod3) = 3.0f;  // holds from leg 2 on
    fms_copies.legs_mod_active = 1.0f;
    change = 1.0f;
    simhost::set_float(fms(set == 0 ? "legs_change2" : "legs_change3"), 1.0f);
    take_route_set(set);

    SCOPED_TRACE(sfx);
    const DisplayRoute& r = display_routes[set];
    EXPECT_EQ(r.count, 3.0f);
    EXPECT_EQ(r.lat[3], 13.0f);
    EXPECT_EQ(r.lat[4], 0.0f);  // count + 1 entries only
    EXPECT_EQ(r.lon[1], 21.0f);
    EXPECT_EQ(r.main_leg[1], 2.0f);
    const RouteText* names = set == 0 ? route_tables.waypoint_names_2 : route_tables.waypoint_names_3;
    const RouteText* types = set == 0 ? route_tables.leg_path_types_2 : route_tables.leg_path_types_3;
    const RouteText* before = set == 0 ? route_tables.prev_leg_path_types_2 : route_tables.prev_leg_path_types_3;
    EXPECT_STREQ(names[3].text, "DDD");
    EXPECT_STREQ(types[1].text, "HM");
    EXPECT_STREQ(before[1].text, "TF");
    // Leg 1 holds before the set's active leg: no figures.
    EXPECT_EQ(r.hold_len[1], 0.0f);
    EXPECT_EQ(r.hold_radius[1], 0.0f);
    // Leg 2: speed 0 is 200 kt, a 90 s leg.
    EXPECT_NEAR(r.hold_len[2], 4.99996f, 1e-5f);
    EXPECT_NEAR(r.hold_radius[2], radius_nm(28.0f, 200.0f), 1e-4f);
    // Leg 3: a Mach number is flown at 260 kt, for its 60 s.
    EXPECT_NEAR(r.hold_len[3], 260.0f * 0.51444f * 60.0f / 1852.0f, 1e-5f);
    EXPECT_NEAR(r.hold_radius[3], radius_nm(28.0f, 260.0f), 1e-4f);
    EXPECT_EQ(mod_route_offsets.legs_offset_act_mod, 4.0f);
    // Only the second route reads the corner points and takes the snapshot.
    EXPECT_EQ(mod_route_offsets.lonx_mod[3], set == 0 ? 7.0f : 0.0f);
    EXPECT_EQ(legs_mod_active_at_decode, set == 0 ? 1.0f : 0.0f);
    EXPECT_EQ(change, 0.0f);
    EXPECT_EQ(simhost::get_float(fms(set == 0 ? "legs_change2" : "legs_change3")), 0.0f);
    legs_mod_active_at_decode = 0.0f;
  }
}

TEST_F(RouteSets, FlagTwoClearsWithoutReading) {
  for (int set = 0; set < 2; ++set) {
    SetUp();
    const std::string num = set == 0 ? "legs_num2" : "legs_num3";
    const std::string flag = set == 0 ? "legs_change2" : "legs_change3";
    display_routes[set].count = 6.0f;
    display_routes[set].lat[2] = 5.0f;
    simhost::set_float(fms(num), 9.0f);
    (set == 0 ? fms_copies.legs_change2 : fms_copies.legs_change3) = 2.0f;
    simhost::set_float(fms(flag), 2.0f);
    take_route_set(set);
    EXPECT_EQ(display_routes[set].count, 0.0f);
    EXPECT_EQ(display_routes[set].lat[2], 5.0f);  // beyond the count now
    EXPECT_EQ(simhost::counts(fms(num)).reads, 0);
    EXPECT_EQ(simhost::get_float(fms(flag)), 0.0f);

    // Flag 0: nothing happens at all.
    simhost::set_float(fms(flag), 0.0f);
    const int writes = simhost::counts(fms(flag)).writes;
    take_route_set(set);
    EXPECT_EQ(simhost::counts(fms(flag)).writes, writes);
  }
}

TEST_F(RouteSets, CountsBeyondTheTablesAreBounded) {
  const float counts[] = {400.0f, 255.0f, 1.0e20f, std::nanf(""), -3.0f};
  const float expect[] = {255.0f, 255.0f, 255.0f, 0.0f, -3.0f};
  for (int k = 0; k < 5; ++k) {
    SetUp();
    simhost::set_float(fms("legs_num3"), counts[k]);
    std::vector<float> lat(256, 1.0f);
    simhost::set_floats(fms("legs_lat_3"), lat);
    std::string pth(512, 'H');
    set_text(fms("legs_pth_3"), pth);
    set_text(fms("legs_3"), short_ids(300));
    fms_copies.legs_change3 = 1.0f;
    take_route_set(1);
    EXPECT_EQ(display_routes[1].count, expect[k]) << counts[k];
    if (expect[k] == 255.0f) {
      EXPECT_EQ(display_routes[1].lat[255], 1.0f);
      EXPECT_STREQ(route_tables.waypoint_names_3[255].text, short_id(255).c_str());
      EXPECT_GT(display_routes[1].hold_len[255], 0.0f);
    }
  }
}

TEST_F(RouteSets, HoldFigures) {
  struct Case {
    float spd, time_s, dist_nm, alt_ft;
    float len_nm, bank_deg, kt;
  };
  const Case cases[] = {
      {0.0f, 0.0f, 0.0f, 0.0f, 4.99996f, 28.0f, 200.0f},                       // no data: 200 kt, 90 s
      {0.78f, 0.0f, 0.0f, 5000.0f, 260.0f * 0.51444f * 90.0f / 1852.0f, 28.0f, 260.0f},
      {220.0f, 0.0f, 4.5f, 18800.0f, 4.5f, 28.0f, 220.0f},                      // distance given
      {220.0f, 60.0f, 4.5f, 18801.0f, 220.0f * 0.51444f * 60.0f / 1852.0f, 15.0f, 220.0f},  // time wins
      {-5.0f, 0.0f, 0.0f, 0.0f, 260.0f * 0.51444f * 90.0f / 1852.0f, 28.0f, 260.0f},
      {std::nanf(""), 0.0f, 0.0f, 0.0f, 4.99996f, 28.0f, 200.0f},
  };
  for (const Case& c : cases) {
    const RouteSetHold h = route_set_hold(c.spd, c.time_s, c.dist_nm, c.alt_ft);
    EXPECT_NEAR(h.len_nm, c.len_nm, 1e-5f) << c.spd << " " << c.time_s;
    EXPECT_NEAR(h.radius_nm, radius_nm(c.bank_deg, c.kt), 1e-4f) << c.spd << " " << c.alt_ft;
  }
}

// ---- markers ----------------------------------------------------------------------------------

TEST_F(RouteSets, ActiveRouteMarkers) {
  fms_seq.legs_num = 5.0f;
  for (int k = 0; k < 6; ++k) {
    legs_lat[k] = 1.0f + static_cast<float>(k);
    legs_lon[k] = 2.0f;
    legs_wpt_arc_dist[k] = 0.0f;
    legs_bypass[k] = 0.0f;
  }
  fms_copies.vnav_tc_idx = 3.0f;  // at waypoint 2
  fms_copies.vnav_td_idx = 5.0f;
  vnav_markers.decel = {7.0f, 8.0f};  // index 0: kept
  fms_copies.vnav_fl100_idx = 9.0f;   // beyond the route: 0/0
  vnav_markers.fl100 = {7.0f, 8.0f};
  place_active_profile_markers();
  EXPECT_EQ(vnav_markers.tc.lat, 3.0f);
  EXPECT_EQ(vnav_markers.tc.lon, 2.0f);
  EXPECT_EQ(vnav_markers.td.lat, 5.0f);
  EXPECT_EQ(vnav_markers.decel.lat, 7.0f);
  EXPECT_EQ(vnav_markers.fl100.lat, 0.0f);
  EXPECT_EQ(vnav_markers.fl100.lon, 0.0f);
  EXPECT_TRUE(simhost::log_lines().empty());
}

TEST_F(RouteSets, MarkerLogUnder7777) {
  fms_seq.legs_num = 5.0f;
  for (int k = 0; k < 6; ++k) {
    legs_lat[k] = static_cast<float>(k);
    legs_wpt_arc_dist[k] = legs_bypass[k] = 0.0f;
    route_tables.waypoint_names[k] = RouteText{};
    route_tables.waypoint_names[k].text[0] = static_cast<char>('A' + k);
  }
  fms_copies.vnav_tc_idx = 3.0f;
  fms_copies.vnav_decel_wpt_idx = 4.0f;
  fms_copies.vnav_decel_wpt_dist = 0.0f;
  fms_debug_selector = 7777.0f;
  // Without the second FL100 point the lines repeat and the selector stays.
  place_active_profile_markers();
  place_active_profile_markers();
  const std::vector<std::string> twice = {
      "T/C 2 <C> 0.000000: calc mode: 60", "DECEL 3 <D> 0.000000: calc mode: 60",
      "T/C 2 <C> 0.000000: calc mode: 60", "DECEL 3 <D> 0.000000: calc mode: 60"};
  EXPECT_EQ(simhost::log_lines(), twice);
  EXPECT_EQ(fms_debug_selector, 7777.0f);
  // Its line closes the log.
  fms_copies.vnav_fl100_idx2 = 5.0f;
  simhost::clear_log();
  place_active_profile_markers();
  EXPECT_EQ(simhost::log_lines().back(), "FL100-2 4 <E> 0.000000: calc mode: 60");
  EXPECT_EQ(fms_debug_selector, 0.0f);
  EXPECT_EQ(simhost::get_float(fms("test")), 0.0f);
  EXPECT_EQ(simhost::counts(fms("test")).writes, 1);
}

TEST_F(RouteSets, ModifiedRouteMarkersBySide) {
  for (int r = 0; r < 2; ++r) {
    display_routes[r].count = 3.0f;
    for (int k = 0; k < 4; ++k) {
      display_routes[r].lat[k] = static_cast<float>(10 * (r + 1) + k);
      display_routes[r].lon[k] = 0.0f;
    }
  }
  fms_copies.vnav_td_idx_mod = 3.0f;  // at point 2
  fms_copies.td_dist_mod = 0.0f;
  const float expect[3] = {12.0f, 22.0f, -1.0f};
  for (int side = 0; side < 3; ++side) {
    vnav_markers.td_mod = {-1.0f, -1.0f};
    active_route_side = side;
    place_modified_profile_markers();
    EXPECT_NEAR(vnav_markers.td_mod.lat, expect[side], 1e-4f) << side;
  }
}

// ---- abeam points ---------------------------------------------------------------------------

class AbeamPoints : public RouteSets {
 protected:
  // Present position at 0/0 flying east; the modified route's active
  // waypoint 5 degrees (300 nm) ahead.
  void SetUp() override {
    RouteSets::SetUp();
    host_mirror.sim_flightmodel_position_latitude = 0.0;
    host_mirror.sim_flightmodel_position_longitude = 0.0;
    direct_turn_mod.track = 90.0f;
    direct_turn_mod.turn = 0.0f;
    fms_seq.vnav_idx = 2.0f;
    route_set2.lat[1] = 0.0f;
    route_set2.lon[1] = 5.0f;
  }
  void candidates(const std::vector<float>& lat, const std::vector<float>& lon, const std::string& names) {
    simhost::set_float(fms("legs_abeam_num"), static_cast<float>(lat.size()));
    simhost::set_floats(fms("legs_abeam_lat"), lat);
    simhost::set_floats(fms("legs_abeam_lon"), lon);
    set_text(fms("legs_abeam_new_id"), names);
  }
};

TEST_F(AbeamPoints, FeetOnTheTrackAccepted) {
  candidates({1.0f, -1.0f, -1.0f, 1.0f, 1.0f, 0.5f}, {2.0f, 3.0f, 3.005f, 6.0f, 0.1f, 4.0f},
             "NTH STH CLOSE BYD NEAR LAST ");
  compute_abeam_points();
  const AbeamPointSet& a = abeam_points;
  EXPECT_EQ(a.count, 6);
  EXPECT_EQ(a.available, 1.0f);
  // 0: north of the track at 2E, foot on the equator, 60 nm away.
  EXPECT_NEAR(a.lat[0], 0.0f, 1e-4f);
  EXPECT_NEAR(a.lon[0], 2.0f, 1e-3f);
  EXPECT_NEAR(a.dist[0], 60.04f, 0.05f);
  EXPECT_STREQ(route_tables.abeam_ids[0].text, "NTH");
  // 1: south of it, the same.
  EXPECT_NEAR(a.lon[1], 3.0f, 1e-3f);
  EXPECT_STREQ(route_tables.abeam_ids[1].text, "STH");
  // 2: within 1 nm of the foot before it; 3: beyond the waypoint; 4: within
  // 10 nm of the present position: all rejected.
  for (int k : {2, 3, 4}) {
    EXPECT_EQ(a.lat[k], 0.0f) << k;
    EXPECT_EQ(a.lon[k], 0.0f) << k;
    EXPECT_EQ(a.dist[k], 0.0f) << k;
    EXPECT_STREQ(route_tables.abeam_ids[k].text, "") << k;
  }
  // 5: a degree short of the waypoint, after a rejected one: accepted.
  EXPECT_NEAR(a.lon[5], 4.0f, 1e-3f);
  const std::vector<float> lat2 = simhost::get_floats(fms("legs_abeam_lat2"));
  const std::vector<float> dist = simhost::get_floats(fms("legs_abeam_dist"));
  EXPECT_NEAR(dist[0], 60.04f, 0.05f);
  EXPECT_EQ(dist[2], 0.0f);
  EXPECT_EQ(simhost::get_float(fms("legs_abeam_avail")), 1.0f);
  EXPECT_EQ(simhost::counts(fms("legs_abeam_lat2")).writes, 1);
}

TEST_F(AbeamPoints, WritesOnlyWhatWasFound) {
  // No candidates: nothing written, the last results stand.
  simhost::set_float(fms("legs_abeam_num"), 0.0f);
  abeam_points.lat[0] = 3.0f;
  compute_abeam_points();
  EXPECT_EQ(simhost::counts(fms("legs_abeam_avail")).writes, 0);
  EXPECT_EQ(abeam_points.lat[0], 3.0f);
  // Nothing accepted: only the flag, 0.
  simhost::set_float(fms("legs_abeam_avail"), 1.0f);
  candidates({1.0f}, {7.0f}, "FAR ");
  compute_abeam_points();
  EXPECT_EQ(simhost::get_float(fms("legs_abeam_avail")), 0.0f);
  EXPECT_EQ(simhost::counts(fms("legs_abeam_lat2")).writes, 0);
}

TEST_F(AbeamPoints, ActiveLegOutsideTheTablesRejectsAll) {
  for (float idx : {0.0f, 300.0f, std::nanf("")}) {
    SetUp();
    fms_seq.vnav_idx = idx;
    candidates({1.0f}, {2.0f}, "NTH ");
    compute_abeam_points();
    EXPECT_EQ(abeam_points.available, 0.0f) << idx;
    EXPECT_EQ(abeam_points.lat[0], 0.0f) << idx;
  }
}

TEST_F(AbeamPoints, CountBeyondTheTablesIsBounded) {
  std::vector<float> lat(256, 1.0f), lon(256, 2.0f);
  candidates(lat, lon, short_ids(300));
  simhost::set_float(fms("legs_abeam_num"), 5000.0f);
  compute_abeam_points();
  EXPECT_EQ(abeam_points.count, 256);
  EXPECT_EQ(abeam_points.available, 1.0f);
}

TEST_F(AbeamPoints, FromTheEndOfTheInterceptTurn) {
  // With a turn onto the modification the track starts where the turn ends.
  direct_turn_mod.turn = 3.0f;
  intdir_end_lat_mod = 0.0f;
  intdir_end_lon_mod = 1.9f;
  candidates({1.0f}, {2.0f}, "NTH ");
  compute_abeam_points();
  // The foot is 6 nm from the turn's end: too close.
  EXPECT_EQ(abeam_points.available, 0.0f);
  intdir_end_lon_mod = 0.0f;
}

}  // namespace
