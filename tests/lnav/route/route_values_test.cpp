// Route values: where each hold and procedure-turn phase changes, the
// sequencing leg's region thresholds and gates, the hold and procedure-turn
// layout, the course and path-piece queries, the route intake, the second
// route and the plan list; each threshold on both sides.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "core/binding.h"
#include "core/frame_values.h"
#include "core/preprocess_values.h"
#include "host.h"
#include "lnav/route/fms_plan_list.h"
#include "lnav/route/hold_geometry.h"
#include "lnav/route/route_geometry.h"
#include "lnav/route/route_pass_steps.h"
#include "lnav/route/route_sets.h"
#include "lnav/route/route_state.h"
#include "lnav/path/leg_path.h"
#include "lnav/route/route_tracking.h"
#include "lnav/route/sequencing.h"
#include "lnav/route/sequencing_internal.h"
#include "lnav/steering/lnav_steering.h"
#include "navdata/air_data.h"
#include "navdata/geodesy.h"
#include "lnav/route_fixture.h"

using namespace lnav_fixture;

namespace {

const double kLine[][2] = {{0.0, 0.0}, {0.0, 1.0}, {0.0, 2.0}, {0.0, 3.0}, {0.0, 4.0}, {0.0, 5.0}};
constexpr double kAcLon = 2.0;
constexpr double kCtrLon = 2.0 - 1.0 / 60.0;  // every turn centre 1 nm west of the aircraft

class SeqValues : public ::testing::Test {
 protected:
  void SetUp() override {
    simhost::reset(simhost::Config{});
    for (XPLMDataRef& h : bound_handles) h = nullptr;
    bind_outside_datarefs();
    bind_host_datarefs();
    bind_script_datarefs();
    fresh();
  }
  // A table row's start: the route, the legs, the tracking and the aircraft.
  static void fresh() {
    host_mirror = HostMirror{};
    frame_flight_data = FrameFlightData{};
    make_route(kLine, 6);
    route_track = RouteTrackState{};
    route_change_values.intdir_crs = -1.0f;
    hold_pattern = HoldPatternArrays{};
    proc_turn = ProcTurnArrays{};
    hold_seq_latch = 0;
    prev_hold_phase = 0.0f;
    lnav_cmd_cache = LnavCommandCache{};
    fms_seq.vnav_idx = fms_seq.vnav_idx_seq = 3.0f;  // slot 2
    host_mirror.sim_flightmodel_position_latitude = 0.0;
    host_mirror.sim_flightmodel_position_longitude = kAcLon;
    host_mirror.sim_flightmodel_position_groundspeed = 250.0f / 1.94384449f;
    host_mirror.sim_cockpit2_gauges_indicators_heading_AHARS_deg_mag_pilot = 180.0f;
  }
  void TearDown() override {
    for (const std::string& p : simhost::problems()) ADD_FAILURE() << p;
  }
  // A turn test made due or not: the command set 60 degrees to the one or
  // the other side of the arc command (east of the centre a right turn flies
  // 180, a left turn 000).
  static float command(bool due, float side) {
    const bool left = side == 2.0f;
    const float tangent = left ? 0.0f : 180.0f;
    return std::fmod(tangent + ((due != left) ? -60.0f : 60.0f) + 360.0f, 360.0f);
  }
};

// Hold radius 1 nm (lead 0.21 nm at 250 kt), entry arc into the hold 2.5 nm
// (lead 0.31 nm), exit arc 0.5 nm (lead 0.11 nm); right turns throughout.
TEST_F(SeqValues, HoldPhaseStepsOnBothSidesOfEachThreshold) {
  struct Case {
    float phase;
    int32_t region;
    float togo;
    bool due;
    float expect;
  } cases[] = {
      // circuit
      {0, 300, 0.95f, true, 1},   {0, 300, 1.05f, true, 0},   {0, 300, 0.95f, false, 0}, {0, 300, 0.09f, false, 1},
      {0, 300, 0.11f, false, 0},  {1, 301, 0.20f, false, 2},  {1, 301, 0.23f, false, 1}, {2, 302, 0.95f, true, 3},
      {2, 302, 1.05f, true, 2},   {3, 303, 0.20f, false, 0},  {3, 303, 0.23f, false, 3}, {2, 303, 5, false, 3},
      {1, 303, 5, false, 3},      {0, 303, 5, false, 0},      {3, 301, 5, false, 1},     {0, 301, 5, false, 1},
      {2, 301, 5, false, 2},      {2, 300, 5, false, 0},      {3, 302, 5, false, 3},
      // entry type 2
      {4, 304, 0.09f, false, 2},  {4, 304, 0.30f, false, 5},  {4, 304, 0.32f, false, 4},
      // entry types 4 and 5
      {6, 306, 0.30f, false, 7},  {6, 306, 0.32f, false, 6},  {7, 307, 0.45f, true, 8},  {7, 307, 0.55f, true, 7},
      {7, 307, 0.45f, false, 7},  {8, 308, 0.105f, false, 9}, {8, 308, 0.109f, false, 8}, {9, 309, 0.95f, true, 10},
      {9, 309, 1.05f, true, 9},   {7, 306, 0.05f, false, 7},
      // entry type 3
      {11, 311, 0.30f, false, 12}, {11, 311, 0.32f, false, 11}, {12, 312, 0.45f, true, 13}, {12, 312, 0.55f, true, 12},
      {13, 313, 0.30f, false, 0}, {13, 313, 0.32f, false, 13},
      // entry type 1
      {14, 314, 0.30f, false, 15}, {14, 314, 0.32f, false, 14}, {15, 315, 0.45f, true, 16}, {15, 315, 0.55f, true, 15},
      {17, 314, 0.05f, false, 17},
  };
  set_text(route_tables.leg_path_types[2], "HM");
  legs_rad_turn[2] = 3.0f;
  legs_seg3_turn[1] = 3.0f;
  hold_pattern.hold_radius[2] = 1.0f;
  legs_seg1_radius[1] = 2.5f;
  legs_seg3_radius[1] = 0.5f;
  hold_pattern.hold_ctr1_lon[2] = hold_pattern.hold_ctr2_lon[2] = static_cast<float>(kCtrLon);
  legs_seg3_ctr_lon[1] = static_cast<float>(kCtrLon);
  for (const Case& c : cases) {
    fms_seq.hold_phase = c.phase;
    route_track.region = c.region;
    route_track.abeam_dist_seg = c.togo;
    lnav_cmd_cache.idx_corr_sent = command(c.due, 3.0f);
    sequence_legs_hold();
    EXPECT_EQ(fms_seq.hold_phase, c.expect) << c.phase << " in " << c.region << " at " << c.togo << " due " << c.due;
  }
}

// The pieces closing an entry: the hold's inbound course 090 with its turn
// centres west (310, 316) or east of the aircraft, and phase 5 at or 3 nm
// short of the entry arc's end on the outbound course.
TEST_F(SeqValues, HoldEntryEndsByPositionAgainstTheCentres) {
  struct Case {
    float phase;
    int32_t region;
    double ctr_lon;
    float expect;
  } cases[] = {
      {10, 310, kCtrLon, 1}, {10, 310, 2.0 + 1.0 / 60.0, 10}, {16, 316, 2.0 + 1.0 / 60.0, 3}, {16, 316, kCtrLon, 16},
      {5, 0, kAcLon, 2},     {5, 0, kAcLon - 0.05, 5},
  };
  set_text(route_tables.leg_path_types[2], "HM");
  hold_pattern.hold_crs_true[2] = 90.0f;
  for (const Case& c : cases) {
    fms_seq.hold_phase = c.phase;
    route_track.region = c.region;
    route_track.abeam_dist_seg = 5.0f;
    hold_pattern.hold_ctr1_lon[2] = hold_pattern.hold_ctr2_lon[2] = static_cast<float>(c.ctr_lon);
    legs_seg1_end_lon[1] = static_cast<float>(c.ctr_lon);
    sequence_legs_hold();
    EXPECT_EQ(fms_seq.hold_phase, c.expect) << c.phase << " in " << c.region << " centre " << c.ctr_lon;
  }
}

// A left procedure turn of radius 2 nm: the turn pieces change within 2 nm
// (the radius, at most 10), the release pieces within 0.4 pi x 2 = 2.51 nm,
// the first one within 0.4 pi x 1 nm of the arc into the fix. The course
// puts the next course 45 degrees into the turn (due) or out of it.
TEST_F(SeqValues, ProcedureTurnPhaseStepsOnBothSidesOfEachThreshold) {
  struct Case {
    float phase;
    int32_t region;
    float togo, crs;
    bool due;
    float expect;
  } cases[] = {
      {0, 50, 1.20f, 270, true, 1},  {0, 50, 1.30f, 270, true, 0},  {0, 50, 1.20f, 90, false, 0},
      {0, 50, 0.09f, 90, false, 1},  {1, 51, 1.95f, 0, true, 2},    {1, 51, 2.05f, 0, true, 1},
      {1, 51, 1.95f, 0, false, 1},   {2, 52, 2.45f, 225, true, 3},  {2, 52, 2.55f, 225, true, 2},
      {2, 52, 2.45f, 45, false, 2},  {3, 53, 1.95f, 0, true, 4},    {3, 53, 2.05f, 0, true, 3},
      {4, 54, 2.45f, 135, true, 5},  {4, 54, 2.55f, 135, true, 4},  {4, 54, 2.45f, 315, false, 4},
      {5, 55, 1.95f, 0, true, 6},    {5, 55, 2.05f, 0, true, 5},    {6, 56, 2.45f, 135, true, 7},
      {6, 56, 2.55f, 135, true, 6},  {6, 56, 0.09f, 315, false, 7}, {3, 51, 5, 0, false, 1},
      {5, 53, 5, 0, false, 3},       {7, 54, 5, 0, false, 4},       {2, 55, 5, 0, false, 5},
      {3, 56, 5, 0, false, 6},       {1, 52, 5, 0, false, 2},       {4, 53, 5, 0, false, 4},
  };
  set_text(route_tables.leg_path_types[2], "PI");
  fms_seq.nav_mode = 7.0f;
  legs_rad_turn[2] = 2.0f;  // left: first turn right, the others left
  proc_turn.pi_radius[2] = 2.0f;
  legs_seg1_radius[1] = 1.0f;
  legs_seg1_turn[1] = 3.0f;
  for (float* lon : {&proc_turn.pi_p2_lon[2], &proc_turn.pi_p5_lon[2], &proc_turn.pi_x_lon[2], &legs_seg1_ctr_lon[1]})
    *lon = static_cast<float>(kCtrLon);
  for (const Case& c : cases) {
    fms_seq.pi_phase = c.phase;
    route_track.region = c.region;
    route_track.abeam_dist_seg = c.togo;
    proc_turn.pi_crs_true[2] = c.crs;
    const bool right = c.region == 50 || c.region == 51 || c.region == 52;
    lnav_cmd_cache.idx_corr_sent = command(c.due, right ? 3.0f : 2.0f);
    lnav_cmd_cache.idx_corr2_sent = right ? 180.0f : 0.0f;
    sequence_legs_pi();
    EXPECT_EQ(fms_seq.pi_phase, c.expect) << c.phase << " in " << c.region << " at " << c.togo;
  }
}

// Entry type of a hold ahead from the angle a between the arriving course
// (reversed) and the inbound course, on both sides of every band edge.
TEST_F(SeqValues, HoldEntryTypeBands) {
  struct Case {
    float rad_turn, a, entry;
  } cases[] = {
      {3, 0, 5},       {3, 4.9f, 5},    {3, 5, 4},        {3, 109.9f, 4},  {3, 110, 2},   {3, 174.9f, 2},
      {3, 175, 0},     {3, -0.1f, 5},   {3, -4.9f, 5},    {3, -5, 3},      {3, -69.9f, 3},  {3, -70, 1},
      {3, -174.9f, 1}, {3, -175, 0},
      {0, 0, 5},       {0, -4.9f, 5},   {0, -5, 4},       {0, -109.9f, 4}, {0, -110, 2},  {0, -174.9f, 2},
      {0, -175, 0},    {0, 0.1f, 5},    {0, 4.9f, 5},     {0, 5, 3},       {0, 69.9f, 3},   {0, 70, 1},
      {0, 174.9f, 1},  {0, 175, 0},
  };
  set_text(route_tables.leg_path_types[3], "HM");
  const float arriving = magvar_course(2);
  for (const Case& c : cases) {
    legs_rad_turn[3] = c.rad_turn;
    legs_crs_mag[3] = std::fmod(arriving + 180.0f - c.a + 720.0f, 360.0f);
    compute_hold_pattern(3);
    EXPECT_EQ(hold_pattern.hold_entry[3], c.entry) << "turn " << c.rad_turn << " a " << c.a;
  }
}

// A hold ahead: the near flag by time to the fix (on below 180 s, off above
// 220 s, kept between), the speed (at least 145 kt, worst wind component
// added), the bank for the radius (23 degrees, 18 from 19200 ft) and the leg
// (90 s, the hold time, the hold distance, never shorter than the radius).
TEST_F(SeqValues, HoldAheadNearFlagSpeedRadiusAndLeg) {
  struct Case {
    float ahead_s;
    uint8_t near_before;
    float gs_mps, wind_kt, wind_from, alt_ft, hold_time, hold_dist;
    uint8_t near;
    float speed, bank, leg_s;  // leg_s: seconds at the speed; 0: the hold distance; -1: the radius
  } cases[] = {
      {179, 0, 100, 0, 0, 5000, 0, 0, 1, 194.384f, 23, 90},  {181, 0, 100, 0, 0, 5000, 0, 0, 0, 145, 23, 0},
      {219, 1, 100, 0, 0, 5000, 0, 0, 1, 194.384f, 23, 90},  {221, 1, 100, 0, 0, 5000, 0, 0, 0, 145, 23, 0},
      {100, 0, 30, 0, 0, 5000, 0, 0, 1, 145, 23, 90},        {100, 0, 100, 0, 0, 19199, 60, 0, 1, 194.384f, 23, 60},
      {100, 0, 100, 0, 0, 19200, 0, 7, 1, 194.384f, 18, 0},  {100, 0, 100, 0, 0, 5000, 0, 0.1f, 1, 194.384f, 23, -1},
      {100, 0, 100, 20, 270, 5000, 0, 0, 1, 194.384f, 23, 90},  // on the nose: 20 kt less air, 20 kt more along
      {100, 0, 100, 20, 0, 5000, 0, 0, 1, 214.384f, 23, 90},    // across the leg: 20 kt more
      {100, 0, 200, 0, 0, 5000, 0, 0, 1, -1, 23, 90},           // at most the true airspeed of 260 kt
  };
  set_text(route_tables.leg_path_types[3], "HM");
  legs_crs_mag[3] = 270.0f;
  host_mirror.sim_cockpit2_gauges_indicators_heading_AHARS_deg_mag_pilot = 90.0f;
  for (const Case& c : cases) {
    host_mirror.sim_cockpit2_gauges_indicators_wind_heading_deg_mag = c.wind_from;
    host_mirror.sim_flightmodel_position_groundspeed = c.gs_mps;
    host_mirror.sim_cockpit2_gauges_indicators_wind_speed_kts = c.wind_kt;
    host_mirror.sim_cockpit2_gauges_indicators_altitude_ft_pilot = c.alt_ft;
    legs_hold_time[3] = c.hold_time;
    legs_hold_dist[3] = c.hold_dist;
    route_track.abeam_dist_bp = 0.0f;
    legs_dist_dest_true[2] = c.ahead_s * c.gs_mps / 1852.0f;
    legs_dist_dest_true[3] = 0.0f;
    hold_pattern.hold_near[3] = c.near_before;
    compute_hold_pattern(3);
    const float speed = c.speed > 0 ? c.speed : tas_from_speed(260.0f, c.alt_ft);
    const float r = turn_radius_nm(c.bank, speed);
    const float leg = c.leg_s > 0 ? speed * 0.51444f * c.leg_s / 1852.0f : (c.leg_s == 0 ? 2.0f * r : r);
    const float expect_leg = c.hold_dist > 1.0f ? c.hold_dist : leg;
    EXPECT_EQ(hold_pattern.hold_near[3], c.near) << c.ahead_s << " s";
    EXPECT_NEAR(hold_pattern.hold_speed[3], speed, 0.01f) << c.ahead_s << " s, " << c.gs_mps << " m/s";
    EXPECT_NEAR(hold_pattern.hold_radius[3], r, 1e-4f) << c.alt_ft << " ft";
    EXPECT_NEAR(hold_pattern.hold_leg_len[3], expect_leg, 1e-3f) << c.hold_time << " s, " << c.hold_dist << " nm";
  }
}

// Holds of the second route: 200 kt when no speed is given, 260 kt for a
// Mach number; 90 s, the distance, or the time at that speed; a bank of 28
// degrees up to 18800 ft, 15 above.
TEST(RouteSetHold, LengthAndRadius) {
  struct Case {
    float spd, time_s, dist_nm, alt_ft;
    float speed, len_nm, bank;
  } cases[] = {
      {0, 0, 0, 5000, 200, 5.0f, 28},       {0.78f, 0, 0, 18800, 260, 6.5f, 28},
      {1, 60, 0, 18801, 1, 0.016667f, 15},  {250, 0, 7, 0, 250, 7.0f, 28},
      {250, 120, 7, 0, 250, 8.3333f, 28},   {std::nanf(""), 0, 0, 0, 200, 5.0f, 28},
  };
  for (const Case& c : cases) {
    const RouteSetHold h = route_set_hold(c.spd, c.time_s, c.dist_nm, c.alt_ft);
    EXPECT_NEAR(h.len_nm, c.len_nm, 2e-4f * c.len_nm) << c.spd << " kt " << c.time_s << " s";
    EXPECT_FLOAT_EQ(h.radius_nm, turn_radius_nm(c.bank, c.speed)) << c.spd << " kt at " << c.alt_ft << " ft";
  }
}

// Abeam points of a modification flown east from (0, 0), the active
// waypoint 120 nm ahead: accepted more than 10 nm from the aircraft and from
// that waypoint, short of it, more than 1 nm from the point before; available
// once one lies within 700 nm of its own point.
TEST_F(SeqValues, AbeamPointsAcceptanceBands) {
  struct Case {
    const char* what;
    std::vector<float> lat, lon;
    std::vector<float> abeam_lon;  // 0: none accepted
    float available;
  } cases[] = {
      {"30 nm out, 30 nm abeam", {0.5f}, {0.5f}, {0.5f}, 1},
      {"10.2 nm out", {0.5f}, {0.17f}, {0.17f}, 1},
      {"9.8 nm out", {0.5f}, {0.1633f}, {0}, 0},
      {"9.8 nm short of the waypoint", {-0.5f}, {1.8367f}, {0}, 0},
      {"10.2 nm short of the waypoint", {-0.5f}, {1.83f}, {1.83f}, 1},
      {"beyond the waypoint", {0.5f}, {2.5f}, {0}, 0},
      {"0.9 nm after the one before", {0.5f, -0.5f}, {1.0f, 1.015f}, {1.0f, 0}, 1},
      {"1.1 nm after the one before", {0.5f, -0.5f}, {1.0f, 1.0183f}, {1.0f, 1.0183f}, 1},
      {"701 nm abeam", {11.69f}, {0.5f}, {0.5f}, 0},
      {"699 nm abeam", {11.64f}, {0.5f}, {0.5f}, 1},
  };
  fms_seq.vnav_idx = 3.0f;
  route_set2.lat[2] = 0.0f;
  route_set2.lon[2] = 2.0f;
  direct_turn_mod = DirectTurnMod{};
  direct_turn_mod.track = 90.0f;
  host_mirror.sim_flightmodel_position_longitude = 0.0;
  for (const Case& c : cases) {
    const int n = static_cast<int>(c.lat.size());
    simhost::set_float("zuvadud/D738/fms/legs_abeam_num", static_cast<float>(n));
    simhost::set_floats("zuvadud/D738/fms/legs_abeam_lat", c.lat);
    simhost::set_floats("zuvadud/D738/fms/legs_abeam_lon", c.lon);
    compute_abeam_points();
    EXPECT_EQ(abeam_points.available, c.available) << c.what;
    EXPECT_EQ(simhost::get_float("zuvadud/D738/fms/legs_abeam_avail"), c.available) << c.what;
    for (int k = 0; k < n; ++k) EXPECT_NEAR(abeam_points.lon[k], c.abeam_lon[k], 1e-3f) << c.what << " " << k;
  }
}

// The sequencing leg's region decision, one row per threshold side. Slot 2
// (W2) is the sequencing leg; the aircraft is 6 nm short of it at 150 kt,
// heading away from the route so that only the region rules act.
struct RegionRow {
  int32_t region = 0, sub = 0;
  float mode = 0, togo = 5;
  float r1 = 0;            // radius of the arc into W2 (previous slot's entry arc)
  float turn1 = 3;         // its side; -1 none
  float leg_radius = 0;    // "legs_radius" of W2: a turn follows the straight
  float remain = 0;        // the previous slot's remaining straight
  float arc_dist = 0;      // AF/RF arc length of W2
  float arc1_len = 0;      // first arc length of W2's transition
  const char* type2 = "TF";
  const char* type3 = "TF";
  float legs_type2 = 0;
  bool due = true;         // the course test on the arc commands
  float var = 0;           // the host's magnetic variation: the commands are magnetic
  float seq_after = 3, mode_after = 0;
};

TEST_F(SeqValues, RegionDecisionThresholds) {
  const RegionRow rows[] = {
      // arc legs into an arc: a quarter of the arc, at most 1.2 nm, once the command is past
      // the next course the arc's own way, whatever the turn onto it (none reads as left);
      // into anything else, where the roll-out begins whatever the command (0.076 nm on a
      // 1 nm arc at 150 kt, 0.020 nm on a 4 nm one); the entry arc's 0.4 pi R, at most 1.8
      {.region = 105, .mode = 4, .togo = 0.45f, .arc_dist = 2, .type3 = "AF", .due = false, .seq_after = 4},
      {.region = 105, .mode = 4, .togo = 0.55f, .arc_dist = 2, .type3 = "AF", .due = false, .mode_after = 4},
      {.region = 105, .mode = 4, .togo = 1.15f, .arc_dist = 8, .type3 = "AF", .due = false, .seq_after = 4},
      {.region = 105, .mode = 4, .togo = 1.25f, .arc_dist = 8, .type3 = "AF", .due = false, .mode_after = 4},
      {.region = 105, .mode = 4, .togo = 0.45f, .arc_dist = 2, .type3 = "AF", .mode_after = 4},
      {.region = 105, .mode = 4, .togo = 0.45f, .turn1 = 0, .arc_dist = 2, .type3 = "AF", .var = 40, .mode_after = 4},
      {.region = 105, .mode = 4, .togo = 0.45f, .turn1 = 0, .arc_dist = 2, .type3 = "AF", .due = false, .var = -40, .seq_after = 4},
      {.region = 105, .mode = 4, .togo = 0.07f, .leg_radius = 1, .seq_after = 4},
      {.region = 105, .mode = 4, .togo = 0.08f, .leg_radius = 1, .due = false, .mode_after = 4},
      {.region = 105, .mode = 4, .togo = 0.018f, .leg_radius = 4, .seq_after = 4},
      {.region = 105, .mode = 4, .togo = 0.022f, .leg_radius = 4, .mode_after = 4},
      {.region = 105, .mode = 10, .mode_after = 4},
      {.region = 100, .mode = 10, .mode_after = 4},
      {.region = 100, .mode = 4, .togo = 0.09f, .type3 = "AF", .seq_after = 4, .mode_after = 4},
      {.region = 100, .mode = 4, .togo = 0.11f, .type3 = "AF", .mode_after = 4},
      {.region = 102, .mode = 5, .togo = 0.45f, .arc1_len = 2, .seq_after = 4},
      {.region = 102, .mode = 5, .togo = 0.55f, .arc1_len = 2, .mode_after = 5},
      {.region = 102, .mode = 5, .togo = 1.75f, .arc1_len = 10, .seq_after = 4},
      {.region = 102, .mode = 5, .togo = 1.85f, .arc1_len = 10, .mode_after = 5},
      {.region = 101, .mode = 10, .togo = 1.2f, .r1 = 1, .mode_after = 4},
      {.region = 101, .mode = 10, .togo = 1.3f, .r1 = 1, .mode_after = 10},
      {.region = 101, .mode = 10, .togo = 1.75f, .r1 = 2, .mode_after = 4},
      {.region = 101, .mode = 10, .togo = 1.85f, .r1 = 2, .mode_after = 10},
      {.region = 101, .mode = 10, .togo = 1.2f, .r1 = 1, .due = false, .mode_after = 10},
      {.region = 101, .mode = 5, .mode_after = 10},
      // fly-by transition pieces: within 0.1 nm always; a straight of more than 0.5 nm
      // after the turn decides between ending the turn and sequencing at once
      {.region = 1, .sub = 1, .mode = 5, .togo = 0.09f, .leg_radius = 1, .remain = 0.6f, .mode_after = 0},
      {.region = 1, .sub = 1, .mode = 5, .togo = 0.09f, .leg_radius = 1, .remain = 0.4f, .seq_after = 4},
      {.region = 1, .sub = 1, .mode = 5, .togo = 0.11f, .r1 = 1, .turn1 = -1, .mode_after = 5},
      {.region = 1, .sub = 1, .mode = 5, .togo = 0.09f, .r1 = 1, .type2 = "AF", .mode_after = 10},
      {.region = 1, .sub = 1, .mode = 5, .togo = 0.09f, .type2 = "AF", .mode_after = 4},
      {.region = 1, .sub = 2, .mode = 5, .togo = 0.09f, .mode_after = 9},
      {.region = 1, .sub = 2, .mode = 5, .togo = 0.11f, .mode_after = 5},
      {.region = 1, .sub = 3, .mode = 5, .togo = 0.09f, .mode_after = 6},
      {.region = 1, .sub = 3, .mode = 5, .togo = 0.11f, .turn1 = -1, .mode_after = 5},
      {.region = 2, .mode = 6, .togo = 0.09f, .mode_after = 9},
      {.region = 2, .mode = 6, .togo = 0.09f, .type2 = "RF", .mode_after = 4},
      {.region = 2, .mode = 6, .togo = 0.11f, .mode_after = 6},
      {.region = 3, .mode = 9, .togo = 0.09f, .r1 = 1, .mode_after = 0},
      {.region = 3, .mode = 9, .togo = 0.09f, .r1 = 0, .mode_after = 9},
      {.region = 3, .mode = 9, .togo = 0.09f, .leg_radius = 1, .mode_after = 9},  // mode 9 acts on an arm only
      {.region = 3, .mode = 9, .togo = 0.11f, .leg_radius = 1, .mode_after = 9},
      // straights: to the turn's start within 0.02 nm, to the waypoint within 0.5 nm
      {.region = 4, .togo = 0.019f, .seq_after = 4},
      {.region = 9, .togo = 0.019f, .seq_after = 4},
      {.region = 10, .togo = 0.019f, .seq_after = 4},
      {.region = 12, .togo = 0.019f, .seq_after = 4},
      {.region = 4, .togo = 0.021f},
      {.region = 7, .togo = 0.45f, .seq_after = 4},
      {.region = 11, .togo = 0.45f, .seq_after = 4},
      {.region = 11, .togo = 0.55f},
      {.region = 8, .togo = 0.45f, .legs_type2 = 5},
      {.region = 8, .togo = 0.45f, .legs_type2 = 6},
      {.region = 8, .togo = 0.45f, .type3 = "RF"},
      {.region = 5, .seq_after = 4},
  };
  for (const RegionRow& r : rows) {
    fresh();
    host_mirror.sim_flightmodel_position_longitude = 1.9;
    host_mirror.sim_flightmodel_position_groundspeed = 150.0f / 1.94384449f;
    host_mirror.sim_cockpit2_gauges_indicators_heading_AHARS_deg_mag_pilot = 270.0f;
    // The entry arc's centre north of the aircraft: the turn is never found left behind.
    legs_seg1_ctr_lat[1] = 1.0f;
    legs_seg1_ctr_lon[1] = 1.9f;
    legs_seg1_radius[1] = r.r1;
    legs_seg1_turn[1] = r.turn1;
    legs_rad_turn[2] = 3.0f;
    legs_radius[2] = r.leg_radius;
    legs_seg_remain_dist[1] = r.remain;
    legs_af_arc_dist[2] = r.arc_dist;
    legs_seg1_arc_lenght[2] = r.arc1_len;
    legs_type[2] = r.legs_type2;
    set_text(route_tables.leg_path_types[2], r.type2);
    set_text(route_tables.leg_path_types[3], r.type3);
    // 30 degrees short of (due) or past the course the arc ends on, turning right.
    const float end_crs = r.region == 102 ? magvar_course_alt(1) : magvar_course(2);
    host_mirror.sim_flightmodel_position_magnetic_variation = r.var;
    lnav_cmd_cache.idx_corr2_sent = std::fmod(end_crs + r.var + (r.due ? 330.0f : 30.0f) + 360.0f, 360.0f);
    fms_seq.nav_mode = r.mode;
    route_track.region = r.region;
    route_track.sub_region = r.sub;
    route_track.abeam_dist_seg = r.togo;
    sequence_legs();
    const int row = static_cast<int>(&r - rows);
    EXPECT_EQ(fms_seq.vnav_idx_seq, r.seq_after) << "row " << row << ": region " << r.region << " at " << r.togo;
    if (r.seq_after == 3.0f) {
      EXPECT_EQ(fms_seq.nav_mode, r.mode_after) << "row " << row << ": region " << r.region << " at " << r.togo;
    }
  }
}

// A lateral offset starting at W2: its start is left within 0.414 of the
// 22-degree turn radius, and the waypoint is not sequenced in that frame.
TEST_F(SeqValues, OffsetStartLeftWithinTheTurnLead) {
  const float lead_nm = 0.4142136f * turn_radius_nm(22.0f, 250.0f);
  for (const float f : {0.9f, 1.1f}) {
    fresh();
    host_mirror.sim_flightmodel_position_longitude = 2.0 - lead_nm * f / 60.0;
    fms_seq.legs_offset_act = 7.0f;
    route_change_values.legs_offset_start = 3.0f;
    offset_pass_flag = 1;
    fms_seq.nav_mode = 0.0f;
    route_track.region = 5;
    sequence_legs();
    EXPECT_EQ(fms_seq.legs_offset_act, f < 1.0f ? 6.0f : 7.0f) << f;
    EXPECT_EQ(offset_pass_flag, f < 1.0f ? 0 : 1) << f;
    EXPECT_EQ(fms_seq.vnav_idx_seq, 3.0f) << f;
  }
}

// The course a leg ends on, by leg type, with a variation of 10 degrees east:
// W2 at (0, 2), the leg before from (1, 2) due north of it, all legs laid
// out eastward (true 090), magnetic bearings 130 and courses 200.
struct CourseRow {
  const char* type2 = "TF";
  const char* type3 = "TF";
  float rad_turn = 3;
  float direct = 0;
  float df_crs = -1;
  float dist = 10;
  const char* wpt1 = "W1";
  float intdir_act = 0;
  float expect = 0;
};

TEST_F(SeqValues, CourseAtTheWaypointByLegType) {
  const CourseRow rows[] = {
      {.expect = 90},
      {.type2 = "VM", .expect = 120}, {.type2 = "FM", .expect = 120}, {.type2 = "FA", .expect = 120},
      {.type2 = "CF", .expect = 120}, {.type2 = "VI", .expect = 120}, {.type2 = "RF", .expect = 190},
      {.type2 = "HM", .expect = 190}, {.type2 = "AF", .type3 = "AF", .expect = 190},
      {.type2 = "AF", .rad_turn = 2, .expect = 90},  // the arc's tangent, centre due north
      {.type2 = "AF", .rad_turn = 3, .expect = 270},
      {.type2 = "PI", .rad_turn = 0, .expect = 325}, {.type2 = "PI", .rad_turn = 2, .expect = 325},
      {.type2 = "PI", .rad_turn = 3, .expect = 55},
      {.type2 = "DF", .expect = 180},                // recomputed from the leg before
      {.type2 = "DF", .df_crs = 12, .expect = 77},   // kept
      {.type2 = "DF", .df_crs = 12, .dist = 4.9f, .wpt1 = "RW27", .expect = 180},  // short first leg from a runway
      {.type2 = "DF", .df_crs = 12, .dist = 5.1f, .wpt1 = "RW27", .expect = 77},
      {.type2 = "DF", .df_crs = 12, .dist = 4.9f, .expect = 77},
      {.type2 = "DF", .df_crs = 12, .dist = 4.9f, .wpt1 = "RW27", .intdir_act = 3, .expect = 77},
      {.direct = 2, .expect = 77},
      {.intdir_act = 2, .expect = 40},               // the pending intercept, 050 magnetic
  };
  simhost::set_magnetic_variation(10.0f);
  for (const CourseRow& r : rows) {
    fresh();
    frame_flight_data.mag_var_deg = 10.0f;
    legs_lat[1] = 1.0f, legs_lon[1] = 2.0f;
    legs_brg_mag[2] = 130.0f * 3.14159265f / 180.0f;
    legs_crs_mag[2] = 200.0f;
    legs_rad_lat[2] = 1.0f / 60.0f, legs_rad_lon[2] = 2.0f;
    set_text(route_tables.leg_path_types[2], r.type2);
    set_text(route_tables.leg_path_types[3], r.type3);
    set_text(route_tables.waypoint_names[1], r.wpt1);
    legs_rad_turn[2] = r.rad_turn;
    legs_direct[2] = r.direct;
    legs_df_crs[2] = r.df_crs;
    legs_df_crs_fin[2] = 77.0f;
    legs_dist[2] = r.dist;
    fms_seq.intdir_act = r.intdir_act;
    fms_seq.intdir_idx = 3.0f;
    route_change_values.intdir_crs = 50.0f;
    const int row = static_cast<int>(&r - rows);
    EXPECT_NEAR(std::remainder(magvar_course(2) - r.expect, 360.0f), 0.0f, 0.01f) << "row " << row << " " << r.type2;
  }
  simhost::set_magnetic_variation(0.0f);
}

// The course the next leg starts on (leg 3 after W2), by the next leg's type.
TEST_F(SeqValues, CourseOntoTheNextLegByLegType) {
  struct Case {
    const char* type2;
    const char* type3;
    float rad_turn3, df_crs3, expect;
  } cases[] = {
      {"TF", "TF", 3, -1, 90},  {"TF", "AF", 3, -1, 270}, {"TF", "RF", 2, -1, 90},  {"TF", "VM", 3, -1, 120},
      {"TF", "CA", 3, -1, 120}, {"TF", "PI", 2, -1, 145}, {"TF", "PI", 0, -1, 145}, {"TF", "PI", 3, -1, 235},
      {"TF", "DF", 3, 33, 33},  {"TF", "DF", 3, -1, 90},  {"PI", "TF", 3, -1, 120},
  };
  simhost::set_magnetic_variation(10.0f);
  for (const Case& c : cases) {
    fresh();
    legs_brg_mag[3] = 130.0f * 3.14159265f / 180.0f;
    legs_crs_mag[3] = 200.0f;
    legs_rad_lat[3] = 1.0f / 60.0f, legs_rad_lon[3] = 2.0f;  // due north of W2
    legs_rad_turn[3] = c.rad_turn3;
    legs_df_crs[3] = c.df_crs3;
    set_text(route_tables.leg_path_types[2], c.type2);
    set_text(route_tables.leg_path_types[3], c.type3);
    EXPECT_NEAR(std::remainder(magvar_course_alt(2) - c.expect, 360.0f), 0.0f, 0.01f) << c.type2 << " " << c.type3;
  }
  simhost::set_magnetic_variation(0.0f);
}

// A point a distance back along the path before W2: the piece that holds it,
// on both sides of each piece's end. Pieces (nm): the arc through W2 0.5, the
// straight before it 3 - 1, the previous transition's second arc 0.4, its
// straight 0.6, its first arc 0.7 - 0.2; an arc leg's own arc 1; a procedure
// turn's pieces 1, 0.8, 0.6, 2, 3, 0.8, 4 back from its fix.
TEST_F(SeqValues, PointBackAlongThePathByPiece) {
  struct Case {
    const char* type;
    float d;
    int32_t code;
  } cases[] = {
      {"TF", 0, 61},      {"TF", 0.49f, 1},  {"TF", 0.51f, 2},  {"TF", 2.49f, 2},  {"TF", 2.51f, 3},
      {"TF", 2.89f, 3},   {"TF", 2.91f, 4},  {"TF", 3.49f, 4},  {"TF", 3.51f, 5},  {"TF", 3.99f, 5},
      {"TF", 4.01f, 7},   {"AF", 0.49f, 20}, {"AF", 0.51f, 21}, {"AF", 1.49f, 21}, {"AF", 1.51f, 22},
      {"AF", 1.99f, 22},  {"AF", 2.01f, 24}, {"PI", 0.49f, 50}, {"PI", 0.51f, 57}, {"PI", 1.49f, 57},
      {"PI", 1.51f, 56},  {"PI", 2.29f, 56}, {"PI", 2.31f, 55}, {"PI", 2.89f, 55}, {"PI", 2.91f, 54},
      {"PI", 4.89f, 54},  {"PI", 4.91f, 53}, {"PI", 7.89f, 53}, {"PI", 7.91f, 52}, {"PI", 8.69f, 52},
      {"PI", 8.71f, 51},  {"PI", 12.69f, 51}, {"PI", 12.71f, 50},
  };
  for (const Case& c : cases) {
    fresh();
    set_text(route_tables.leg_path_types[2], c.type);
    legs_wpt_arc_dist[2] = 0.5f;
    legs_seg1_radius[2] = legs_seg1_radius[1] = legs_radius[2] = 1.0f;
    legs_seg_remain_dist[1] = 3.0f;
    legs_seg1_dta[2] = 1.0f;
    legs_seg3_arc_lenght[1] = 0.4f;
    legs_seg2_distance[1] = 0.6f;
    legs_seg1_arc_lenght[1] = 0.7f;
    legs_wpt_arc_dist[1] = 0.2f;
    legs_af_arc_dist[2] = 1.0f;
    ProcTurnArrays& t = proc_turn;
    t.pi_last_dist[2] = 1.0f, t.pi_arc1[2] = 0.8f, t.pi_fg_dist[2] = 0.6f, t.pi_arc2[2] = 2.0f;
    t.pi_leg2_dist[2] = 3.0f, t.pi_out_dist[2] = 4.0f, t.pi_radius[2] = 1.0f;
    EXPECT_EQ(leg_geometry(2, c.d), c.code) << c.type << " " << c.d << " nm";
  }
  // The straight's point: on the leg's course back from W2, the anticipation
  // distance plus what is left.
  fresh();
  legs_wpt_arc_dist[2] = 0.5f;
  legs_seg_remain_dist[1] = 3.0f;
  legs_seg1_dta[2] = 1.0f;
  EXPECT_EQ(leg_geometry(2, 1.5f), 2);
  EXPECT_NEAR(nav_result.lat, 0.0, 1e-5);
  EXPECT_NEAR(nav_result.lon, 2.0 - 2.0 / 60.0, 1e-4);
  legs_wpt_arc_dist[2] = 0.0f;
  EXPECT_EQ(leg_geometry(2, 0.0f), 60);
  EXPECT_NEAR(nav_result.lon, 2.0, 1e-6);
  // The first turn of a left procedure turn turns right: 0.3 nm back from its
  // end (radial 090 of a 1 nm turn about (0, 0)) lies on radial 072.8.
  for (const float side : {2.0f, 3.0f}) {
    fresh();
    set_text(route_tables.leg_path_types[2], "PI");
    legs_rad_turn[2] = side;
    proc_turn.pi_radius[2] = 1.0f, proc_turn.pi_arc1[2] = 1.0f, proc_turn.pi_out_dist[2] = 4.0f;
    proc_turn.pi_crs_b[2] = 90.0f;
    EXPECT_EQ(leg_geometry(2, 1.3f), 52);  // past the final turn (also 1 nm)
    EXPECT_NEAR(nav_result.lat, (side == 2.0f ? 1.0 : -1.0) * std::cos(72.81 * 3.14159265 / 180.0) / 60.0, 5e-5) << side;
  }
}

// Direct-to and vector legs: along the direct-to course back from the arc's
// start (at most 600 nm), or ahead of a vector's start (at most 650 nm).
TEST_F(SeqValues, PointBackOnDirectAndVectorLegs) {
  struct Case {
    float direct, d;
    const char* wpt1;
    int32_t code;
    double lon;  // 0: not checked
  } cases[] = {
      {2, 0.49f, "W1", 121, 0}, {2, 0.51f, "W1", 122, 2.0 - 0.01 / 60.0}, {2, 700, "W1", 122, 2.0 - 600.0 / 60.0},
      {0, 3, "(VECTOR)", 10, 1.0 + 3.0 / 60.0}, {0, 700, "(VECTOR)", 10, 1.0 + 650.0 / 60.0},
  };
  for (const Case& c : cases) {
    fresh();
    legs_direct[2] = c.direct;
    legs_wpt_arc_dist[2] = 0.5f;
    legs_seg1_radius[2] = 1.0f;
    legs_df_crs[2] = 90.0f;
    legs_seg1_start_lat[2] = 0.0f, legs_seg1_start_lon[2] = 2.0f;
    set_text(route_tables.waypoint_names[1], c.wpt1);
    EXPECT_EQ(leg_geometry(2, c.d), c.code) << c.direct << " " << c.d << " " << c.wpt1;
    if (c.lon != 0.0) {
      EXPECT_NEAR(nav_result.lon, c.lon, 2e-3 * std::fmax(1.0, std::fabs(c.lon - 2.0))) << c.direct << " " << c.d << " " << c.wpt1;
    }
  }
}

// Plan names offered to the scripts: ".fms" names of 5 to 15 characters
// without a comma, at most 300 of them, only as many as the host counted; a
// listing without any keeps the previous list.
TEST(PlanList, NamesTakenFromAListing) {
  struct Case {
    std::vector<std::string> names;
    int total;
    int kept;
    const char* list;
  } cases[] = {
      {{"a.fms", ".fms", "abcdefghijk.fms", "abcdefghijkl.fms", "a,b.fms", "ab.FMS"}, 6, 2, "a,abcdefghijk,"},
      {{"one.fms", "two.fms"}, 1, 1, "one,"},
      {{"x.txt"}, 1, 0, "one,"},
      {{}, 0, 0, "one,"},
  };
  for (const Case& c : cases) {
    std::string buf;
    for (const std::string& n : c.names) buf += n + '\0';
    buf.resize(64, '\0');
    EXPECT_EQ(take_plan_names(buf.data(), static_cast<int>(buf.size()), c.total), c.kept) << c.list;
    EXPECT_STREQ(filename_list, c.list);
  }
  std::string many;
  for (int k = 0; k < 310; ++k) many += "p" + std::to_string(k % 10) + ".fms" + '\0';
  EXPECT_EQ(take_plan_names(many.data(), static_cast<int>(many.size()), 310), 300);
}

// The per-leg pass of the route intake: a leg before an intercept (CI, VI),
// or before an altitude-terminated leg (CA, VA, FA) that no intercept
// precedes, is marked 5; the first altitude-terminated leg from the path's
// start is kept with its altitude; on the ground with the sequencing leg
// just past a runway the path starts at the runway, at V2 + 20 (145 without V2).
TEST_F(SeqValues, PerLegPassMarksAndPathStart) {
  struct Case {
    const char* pth;
    float seq, v2;
    int ground;
    const char* wpt1;
    const char* marked;  // legs_type of slots 0..3, '5' or '0'
    int32_t start, first_alt;
    float spd1;
  } cases[] = {
      {"IFTFCITF", 1, 0, 0, "W1", "0500", 0, 0, 250},  {"IFTFVITF", 1, 0, 0, "W1", "0500", 0, 0, 250},
      {"IFTFCATF", 1, 0, 0, "W1", "0500", 0, 2, 250},  {"IFCICATF", 1, 0, 0, "W1", "5000", 0, 2, 250},
      {"IFVIFATF", 1, 0, 0, "W1", "5000", 0, 2, 250},  {"IFTFTFVA", 1, 0, 0, "W1", "0050", 0, 3, 250},
      {"IFCATFCA", 3, 0, 0, "W1", "5050", 2, 3, 250},  {"IFCATFCA", 3, 0, 1, "RW27", "5050", 1, 1, 145},
      {"IFCATFCA", 3, 140, 1, "RW27", "5050", 1, 1, 160}, {"IFCATFCA", 3, 0, 0, "RW27", "5050", 2, 3, 250},
      {"IFCATFCA", 4, 0, 1, "RW27", "5050", 3, 3, 250},
  };
  for (const Case& c : cases) {
    fresh();
    legs_change_copy = 0.0f;
    route_reset_request = 0.0f;
    std::snprintf(route_script_strings[0].legs, sizeof route_script_strings[0].legs, "W0 %s W2 W3 W4 ", c.wpt1);
    std::snprintf(route_script_strings[0].legs_pth, sizeof route_script_strings[0].legs_pth, "%s", c.pth);
    route_script_strings[0].legs_pth_before[0] = '\0';
    fms_seq.legs_num = 3.0f;
    fms_seq.vnav_idx = 1.0f;
    fms_seq.vnav_idx_seq = c.seq;
    fms_copies.v2_set = c.v2;
    on_ground = c.ground;
    for (int k = 0; k < 4; ++k) legs_alt_rest1[k] = 1000.0f * static_cast<float>(k);
    ASSERT_TRUE(route_intake());
    std::string marked;
    for (int k = 0; k < 4; ++k) marked += legs_type[k] == 5.0f ? '5' : '0';
    EXPECT_EQ(marked, c.marked) << c.pth;
    EXPECT_EQ(path_start_leg, c.start) << c.pth << " seq " << c.seq;
    EXPECT_EQ(first_alt_term_leg, c.first_alt) << c.pth << " seq " << c.seq;
    EXPECT_EQ(first_alt_term_alt, 1000.0f * static_cast<float>(c.first_alt)) << c.pth;
    EXPECT_EQ(legs_spd_calc[1], c.spd1) << c.pth << " v2 " << c.v2;
  }
  on_ground = 0;
}

// The second and third routes taken in on their change flags: holds from
// the set's own active leg on get their layout, the count is held to 255,
// flag 2 empties the route, and only the second route's intake takes the
// modification snapshot.
TEST_F(SeqValues, RouteSetsTakenOnTheirFlags) {
  struct Case {
    int32_t set;
    float change, count, active_leg;
    bool hold_laid_out;
    float count_after, snapshot;
  } cases[] = {
      {0, 1, 3, 3, true, 3, 7},   {0, 1, 3, 4, false, 3, 7},  {1, 1, 3, 3, true, 3, 0},
      {1, 1, 3, 4, false, 3, 0},  {0, 1, 300, 3, true, 255, 7}, {0, 2, 3, 3, false, 0, 7},
      {0, 0, 3, 3, false, 9, 0},
  };
  for (const Case& c : cases) {
    const std::string sfx = c.set == 0 ? "_2" : "_3";
    const std::string n = c.set == 0 ? "2" : "3";
    DisplayRoute& r = display_routes[c.set];
    r = DisplayRoute{};
    r.count = 9.0f;
    legs_mod_active_at_decode = 0.0f;
    fms_copies.legs_mod_active = 7.0f;
    fms_copies.vnav_idx_mod = fms_copies.vnav_idx_mod3 = c.active_leg;
    (c.set == 0 ? fms_copies.legs_change2 : fms_copies.legs_change3) = c.change;
    simhost::set_float("zuvadud/D738/fms/legs_num" + n, c.count);
    simhost::set_bytes("zuvadud/D738/fms/legs" + sfx, std::string("A B C D ") + '\0');
    simhost::set_bytes("zuvadud/D738/fms/legs_pth" + sfx, std::string("IFTFHMTF") + '\0');
    simhost::set_floats("zuvadud/D738/fms/legs_spd" + sfx, {0, 0, 220, 0});
    take_route_set(c.set);
    EXPECT_EQ(r.count, c.count_after) << c.set << " " << c.change << " " << c.count;
    EXPECT_EQ(r.hold_radius[2] > 0.0f, c.hold_laid_out) << c.set << " active " << c.active_leg;
    EXPECT_EQ(r.hold_len[2] > 0.0f, c.hold_laid_out) << c.set << " active " << c.active_leg;
    EXPECT_EQ(legs_mod_active_at_decode, c.snapshot) << c.set;
    EXPECT_EQ(c.set == 0 ? fms_copies.legs_change2 : fms_copies.legs_change3, 0.0f);
    if (c.change == 1.0f) {
      const RouteText* names = c.set == 0 ? route_tables.waypoint_names_2 : route_tables.waypoint_names_3;
      const RouteText* types = c.set == 0 ? route_tables.leg_path_types_2 : route_tables.leg_path_types_3;
      EXPECT_STREQ(names[1].text, "B") << c.set;
      EXPECT_STREQ(types[2].text, "HM") << c.set;
    }
  }
}

// The leg after the first: its turn comes from slot 0's fly-by radius.
TEST_F(SeqValues, FirstSlotTurnSetsTheNextLegsMode) {
  for (const float radius : {0.0f, 2.0f}) {
    fresh();
    legs_radii_radius[0] = radius;
    fms_seq.vnav_idx = fms_seq.vnav_idx_seq = 2.0f;
    init_nav_mode(1);
    EXPECT_EQ(fms_seq.nav_mode, radius == 0.0f ? 0.0f : 5.0f) << radius;
  }
}

// Leg counts no table can hold give no next leg.
TEST_F(SeqValues, NextValidLegOfCountsOutsideTheTables) {
  struct Case {
    float legs_num;
    int32_t from, next;
  } cases[] = {{300, 299, 0}, {-5, 0, 0}, {std::nanf(""), 0, 0}, {255, 254, 255}, {10, 3, 4}};
  for (const Case& c : cases) {
    fms_seq.legs_num = c.legs_num;
    EXPECT_EQ(next_valid_leg(c.from), c.next) << c.legs_num;
  }
}

// A raised change flag has the route strings and count read again first.
TEST_F(SeqValues, ChangedRouteIsReadAgain) {
  for (const float change : {1.0f, 0.0f}) {
    fresh();
    std::snprintf(route_script_strings[0].legs, sizeof route_script_strings[0].legs, "W0 W1 W2 ");
    std::snprintf(route_script_strings[0].legs_pth, sizeof route_script_strings[0].legs_pth, "IFTFTF");
    fms_seq.legs_num = 2.0f;
    simhost::set_float("zuvadud/D738/vnav/legs_num", 3.0f);
    simhost::set_bytes("zuvadud/D738/fms/legs", std::string("A B C D ") + '\0');
    simhost::set_bytes("zuvadud/D738/fms/legs_pth", std::string("IFTFCITF") + '\0');
    legs_change_copy = change;
    route_reset_request = 0.0f;
    ASSERT_TRUE(route_intake());
    EXPECT_EQ(fms_seq.legs_num, change != 0.0f ? 3.0f : 2.0f);
    EXPECT_STREQ(route_tables.waypoint_names[1].text, change != 0.0f ? "B" : "W1");
    EXPECT_STREQ(route_tables.leg_path_types[2].text, change != 0.0f ? "CI" : "TF");
  }
}

// Passing W2 without a region decision: beyond the start of its turn (or
// beyond W2 itself on an intercept course), heading along the leg where that
// counts, and short of W3; an arc leg ending without a turn is passed where
// its roll-out begins (14 degrees before its end on this 1 nm arc at 250 kt)
// when within 1.5 nm.
TEST_F(SeqValues, PassageOfTheSequencingWaypoint) {
  struct Case {
    const char* what;
    float mode;
    int32_t region;
    float heading;
    double lon;
    bool intercept, arc_leg;
    float abeam;
    float seq_after;
  } cases[] = {
      {"straight into W2, beyond the turn's start", 0, 7, 90, 1.95, false, false, 5, 4},
      {"heading away", 0, 7, 270, 1.95, false, false, 5, 3},
      {"short of the turn's start", 0, 7, 90, 1.85, false, false, 5, 3},
      {"to the turn's start: no passage test", 0, 4, 90, 1.95, false, false, 5, 3},
      {"beyond W3", 0, 7, 90, 3.05, false, false, 5, 3},
      {"hold left at the fix", 3, 300, 270, 1.95, false, false, 5, 4},
      {"hold short of the fix", 3, 300, 270, 1.85, false, false, 5, 3},
      {"intercept: short of W2", 0, 4, 90, 1.95, true, false, 5, 3},
      {"intercept: beyond W2", 0, 4, 90, 2.05, true, false, 5, 4},
      {"arc: 3 degrees before its end", 4, 0, 90, 1.999, false, true, 1.4f, 4},
      {"arc: 6 degrees before its end", 4, 0, 90, 1.9983, false, true, 1.4f, 4},
      {"arc: short of its roll-out", 4, 0, 90, 1.9955, false, true, 1.4f, 3},
      {"arc: 1.5 nm off", 4, 0, 90, 1.9995, false, true, 1.6f, 3},
      {"arc: heading away", 4, 0, 270, 1.9995, false, true, 1.4f, 3},
  };
  for (const Case& c : cases) {
    fresh();
    host_mirror.sim_flightmodel_position_longitude = c.lon;
    host_mirror.sim_cockpit2_gauges_indicators_heading_AHARS_deg_mag_pilot = c.heading;
    legs_seg1_start_lat[2] = 0.0f;
    legs_seg1_start_lon[2] = c.arc_leg ? 2.5f : 1.9f;
    fms_seq.nav_mode = c.mode;
    fms_seq.hold_term = 2.0f;
    route_track.region = c.region;
    route_track.abeam_dist_seg = 5.0f;
    route_track.abeam_dist = c.abeam;
    if (c.intercept) {
      fms_seq.intdir_act = 2.0f;
      route_change_values.intdir_crs = 90.0f;
    }
    if (c.arc_leg) {  // a left arc about a centre 1 nm north of W2, ending there eastbound
      set_text(route_tables.leg_path_types[2], "AF");
      legs_rad_lat[2] = 1.0f / 60.0f, legs_rad_lon[2] = 2.0f;
      legs_radius[2] = 1.0f;
      legs_rad_turn[2] = 2.0f;
    }
    sequence_legs();
    EXPECT_EQ(fms_seq.vnav_idx_seq, c.seq_after) << c.what;
  }
}

// Found left behind a fly-by turn (mode 5, nothing armed): the turn into W2
// turns right 90 degrees about a centre 1 nm north of its end at (0, 1.95),
// so its tangent there is 270; the mode follows the piece the aircraft is on
// once it is past the end, within 90 degrees of radials 225 and 180 from the
// centre, and on W2's side of the next leg.
TEST_F(SeqValues, LeftBehindTurnSetsTheModeOfThePiece) {
  struct Case {
    const char* what;
    double lat, lon;
    int32_t sub;
    const char* type2;
    float mode_after;
  } cases[] = {
      {"past the end, first piece", -0.001, 1.94, 1, "TF", 0},
      {"past the end, second arc", -0.001, 1.94, 2, "TF", 9},
      {"past the end, straight", -0.001, 1.94, 3, "TF", 6},
      {"past the end, other piece", -0.001, 1.94, 0, "TF", 5},
      {"past the end of an arc leg's turn", -0.001, 1.94, 1, "AF", 4},
      {"short of the end", -0.001, 1.96, 1, "TF", 5},
      {"radial 323 from the centre", 0.03, 1.94, 1, "TF", 5},
      {"radial 290 from the centre", 0.0224, 1.9343, 1, "TF", 5},
      {"beyond the next leg", -0.001, 2.3, 1, "TF", 5},
  };
  for (const Case& c : cases) {
    fresh();
    host_mirror.sim_flightmodel_position_latitude = c.lat;
    host_mirror.sim_flightmodel_position_longitude = c.lon;
    host_mirror.sim_flightmodel_position_groundspeed = 150.0f / 1.94384449f;
    legs_seg1_ctr_lat[1] = 1.0f / 60.0f, legs_seg1_ctr_lon[1] = 1.95f;
    legs_seg1_start_lat[1] = 1.0f / 60.0f, legs_seg1_start_lon[1] = 1.95f + 1.0f / 60.0f;
    legs_seg1_end_lat[1] = 0.0f, legs_seg1_end_lon[1] = 1.95f;
    legs_seg1_radius[1] = 1.0f;
    legs_seg1_turn[1] = 3.0f;
    set_text(route_tables.leg_path_types[2], c.type2);
    fms_seq.nav_mode = 5.0f;
    route_track.region = 0;
    route_track.sub_region = c.sub;
    sequence_legs();
    EXPECT_EQ(fms_seq.vnav_idx_seq, 3.0f) << c.what;
    EXPECT_EQ(fms_seq.nav_mode, c.mode_after) << c.what;
  }
}

// A new direct-to with an intercept course (050 magnetic, variation 10 east):
// the course line reaches at least 700 nm, the direct-to is active on the
// active leg with its tracking reset; on the ground the request is dropped.
TEST_F(SeqValues, InterceptDirectToTaken) {
  struct Case {
    double lon;
    int ground;
    float remain, intdir_act, intdir_crs;
  } cases[] = {{1.5, 0, 700, 2, 50}, {-10.0, 0, 720.3f, 2, 50}, {1.5, 1, 0, 0, -1}};
  for (const Case& c : cases) {
    fresh();
    host_mirror.sim_flightmodel_position_longitude = c.lon;
    frame_flight_data.mag_var_deg = 10.0f;
    on_ground = c.ground;
    fms_seq.intdir_act = 1.0f;
    legs_change_copy = 1.0f;
    route_change_values.intdir_crs = 50.0f;
    dir_seg_remain_dist = 0.0f;
    direct_to_path_build();
    EXPECT_NEAR(dir_seg_remain_dist, c.remain, 0.5f) << c.lon << " ground " << c.ground;
    EXPECT_EQ(fms_seq.intdir_act, c.intdir_act) << c.ground;
    EXPECT_EQ(route_change_values.intdir_crs, c.intdir_crs) << c.ground;
    EXPECT_EQ(fms_seq.intdir_idx, c.ground == 0 ? 3.0f : 1.0f);
    EXPECT_EQ(fms_seq.nav_mode, 0.0f);
    if (c.ground == 0) {
      EXPECT_NEAR(legs_df_crs[2], 40.0f, 1e-4f);
      EXPECT_EQ(route_track.abeam_dist_bp, 1.0f);
      EXPECT_EQ(route_track.abeam_dist_seg, 100.0f);
    }
  }
  on_ground = 0;
}

// Procedure-turn layout: flown at the ground speed held to the true airspeeds
// of 170..200 kt (an active turn keeps its speed), radius 1.1 x the 22-degree
// radius, 120 s out and 75 s on the procedure course, the turn courses by side.
TEST_F(SeqValues, ProcedureTurnLayoutValues) {
  struct Case {
    float gs_kt, stored;
    bool active;
    float rad_turn;
    float speed;  // 0: the true airspeed of 170 kt; -1: of 200 kt
    float crs_a, crs_b, crs_c;
  } cases[] = {
      {100, 0, false, 2, 0, 65, 110, 290},   {250, 0, false, 0, -1, 65, 110, 290},
      {190, 0, false, 3, 190, 335, 290, 110}, {250, 190, true, 3, 190, 335, 290, 110},
  };
  simhost::set_magnetic_variation(10.0f);
  for (const Case& c : cases) {
    fresh();
    host_mirror.sim_cockpit2_gauges_indicators_altitude_ft_pilot = 5000.0f;
    host_mirror.sim_flightmodel_position_groundspeed = c.gs_kt / 1.9438445f;
    set_text(route_tables.leg_path_types[2], "PI");
    legs_crs_mag[2] = 210.0f;  // true 200
    legs_rad_turn[2] = c.rad_turn;
    fms_seq.vnav_idx = c.active ? 3.0f : 2.0f;
    proc_turn.pi_speed[2] = c.stored;
    compute_proc_turn(2);
    const float v = c.speed > 0 ? c.speed : tas_from_speed(c.speed == 0 ? 170.0f : 200.0f, 5000.0f);
    EXPECT_NEAR(proc_turn.pi_speed[2], v, 0.01f) << c.gs_kt;
    EXPECT_NEAR(proc_turn.pi_crs_true[2], 200.0f, 1e-4f);
    EXPECT_NEAR(proc_turn.pi_radius[2], 1.1f * turn_radius_nm(22.0f, v), 1e-4f) << c.gs_kt;
    EXPECT_NEAR(proc_turn.pi_out_dist[2], v * 0.514444f * 120.0f / 1852.0f, 1e-4f);
    EXPECT_NEAR(proc_turn.pi_leg2_dist[2], v * 0.514444f * 75.0f / 1852.0f, 1e-4f);
    EXPECT_NEAR(proc_turn.pi_crs_a[2], c.crs_a, 1e-3f) << c.rad_turn;
    EXPECT_NEAR(proc_turn.pi_crs_b[2], c.crs_b, 1e-3f) << c.rad_turn;
    EXPECT_NEAR(proc_turn.pi_crs_c[2], c.crs_c, 1e-3f) << c.rad_turn;
    EXPECT_EQ(proc_turn.pi_near[2], 1);
  }
  simhost::set_magnetic_variation(0.0f);
}

// The active hold's speed and radius once in the pattern: on the inbound leg
// (region 300) the speed moves 1 kt per second toward the new one; elsewhere
// the stored speed (if at least 145 kt) and radius are kept; a PPOS hold not
// yet entered takes the new speed.
TEST_F(SeqValues, ActiveHoldSpeedAndRadiusInThePattern) {
  struct Case {
    const char* ident;
    float mode;
    int32_t region;
    float stored;
    float speed;
    bool radius_kept;
  } cases[] = {
      {"W3", 3, 300, 150, 150.1f, false}, {"W3", 3, 301, 150, 150, true},  {"W3", 3, 301, 140, 194.384f, true},
      {"W3", 3, 250, 150, 194.384f, true}, {"PPOS", 0, 301, 150, 194.384f, false}, {"W3", 0, 301, 150, 145, false},
  };
  for (const Case& c : cases) {
    fresh();
    frame_time = 0.1f;
    set_text(route_tables.leg_path_types[3], "HM");
    set_text(route_tables.waypoint_names[3], c.ident);
    fms_seq.vnav_idx = 4.0f;
    fms_seq.nav_mode = c.mode;
    route_track.region = c.region;
    route_track.abeam_dist_bp = 100.0f;  // far: not near by time
    legs_dist_dest_true[3] = 0.0f;
    host_mirror.sim_flightmodel_position_groundspeed = 100.0f;
    host_mirror.sim_cockpit2_gauges_indicators_altitude_ft_pilot = 5000.0f;
    hold_pattern.hold_speed[3] = c.stored;
    hold_pattern.hold_radius[3] = 9.9f;
    hold_pattern.hold_near[3] = 0;
    compute_hold_pattern(3);
    EXPECT_NEAR(hold_pattern.hold_speed[3], c.speed, 0.01f) << c.ident << " mode " << c.mode << " region " << c.region;
    EXPECT_EQ(hold_pattern.hold_radius[3] == 9.9f, c.radius_kept) << c.ident << " region " << c.region;
  }
}

// An altitude hold reached at its altitude is passed: the leg after it sets
// the mode (a gap keeps both legs together, a vector 2, an arc leg 4, a
// procedure turn 7 from phase 1, else 5 after a fly-by turn or 0), never past
// the route's last leg.
TEST_F(SeqValues, LegAfterAPassedAltitudeHold) {
  struct Case {
    const char* ident3;
    const char* type3;
    float radius2, legs_num;
    float mode, pi_phase, seq;
  } cases[] = {
      {"W3", "TF", 0, 5, 0, 0, 4}, {"W3", "TF", 2, 5, 5, 0, 4}, {"W3", "AF", 2, 5, 4, 0, 4},
      {"W3", "PI", 0, 5, 7, 1, 4}, {"(VECTOR)", "TF", 0, 5, 2, 0, 4}, {"DISCONTINUITY", "TF", 0, 5, 0, 0, 4},
      {"W3", "TF", 0, 3, 0, 0, 3},
  };
  for (const Case& c : cases) {
    fresh();
    fms_seq.legs_num = c.legs_num;
    set_text(route_tables.leg_path_types[2], "HA");
    set_text(route_tables.waypoint_names[3], c.ident3);
    set_text(route_tables.leg_path_types[3], c.type3);
    legs_radii_radius[2] = c.radius2;
    legs_alt_rest1[2] = 10000.0f;
    host_mirror.sim_cockpit2_gauges_indicators_altitude_ft_pilot = 9750.0f;
    init_nav_mode(2);
    EXPECT_EQ(fms_seq.nav_mode, c.mode) << c.ident3 << " " << c.type3 << " legs " << c.legs_num;
    EXPECT_EQ(fms_seq.pi_phase, c.pi_phase) << c.type3;
    EXPECT_EQ(fms_seq.vnav_idx_seq, c.seq) << c.legs_num;
    EXPECT_EQ(fms_seq.vnav_idx, c.seq) << c.legs_num;
  }
}

// Profile markers: an active-route marker with a leg number above 0 is put on
// the path (T/C at W2 itself here), else it keeps its place; the debug
// selector 7777 is lowered once the second FL100 point exists. Modified-route
// markers go 10 nm back along the second route (side 0) or the third (side
// 1), or stay (side 2).
TEST_F(SeqValues, ProfileMarkersPlacedByIndexAndSide) {
  struct Case {
    float tc_idx, fl100_idx2;
    int32_t side;
    float tc_lon, tc_mod_lat, selector_after;
  } cases[] = {
      {3, 0, 0, 2.0f, 0.0f, 7777}, {0, 0, 1, 7.0f, 1.0f, 7777}, {-1, 3, 2, 7.0f, 7.0f, 0},
  };
  for (const Case& c : cases) {
    fresh();
    fms_debug_selector = 7777.0f;
    vnav_markers = VnavMarkerPositions{};
    vnav_markers.tc = {7.0f, 7.0f};
    vnav_markers.tc_mod = {7.0f, 7.0f};
    fms_copies.vnav_tc_idx = c.tc_idx;
    fms_copies.vnav_tc_dist = 0.0f;
    fms_copies.vnav_fl100_idx2 = c.fl100_idx2;
    fms_copies.vnav_tc_idx_mod = 2.0f;
    fms_copies.vnav_tc_dist_mod = 10.0f;
    for (int r = 0; r < 2; ++r) {
      display_routes[r] = DisplayRoute{};
      display_routes[r].count = 2.0f;
      display_routes[r].lat[0] = display_routes[r].lat[1] = static_cast<float>(r);
      display_routes[r].lon[1] = 1.0f;
    }
    active_route_side = c.side;
    place_active_profile_markers();
    place_modified_profile_markers();
    EXPECT_NEAR(vnav_markers.tc.lon, c.tc_lon, 1e-5f) << c.tc_idx;
    EXPECT_NEAR(vnav_markers.tc_mod.lat, c.tc_mod_lat, 1e-3f) << c.side;
    if (c.side != 2) {
      EXPECT_NEAR(vnav_markers.tc_mod.lon, 1.0f - 10.0f / 60.0f, 2e-3f) << c.side;
    }
    EXPECT_EQ(fms_debug_selector, c.selector_after) << c.fl100_idx2;
  }
  fms_debug_selector = 0.0f;
}

// The active route's side: the captain's selection when it is the active
// route, else the first officer's, else neither.
TEST_F(SeqValues, ActiveRouteSide) {
  struct Case {
    float act, sel, sel_fo;
    int32_t side;
  } cases[] = {{1, 1, 1, 0}, {1, 1, 2, 0}, {2, 1, 2, 1}, {3, 1, 2, 2}};
  for (const Case& c : cases) {
    script_mirror = ScriptMirror{};
    set_mirror_f(bound::zuvadud_D738_fms_rte12_act, c.act);
    set_mirror_f(bound::zuvadud_D738_fms_rte12_sel, c.sel);
    set_mirror_f(bound::zuvadud_D738_fms_rte12_sel_fo, c.sel_fo);
    route_side_and_copies();
    EXPECT_EQ(active_route_side, c.side) << c.act << " " << c.sel << " " << c.sel_fo;
  }
}

// Region rules that wait for a turn's capture test: the turn at W2 from the
// straight before it (within its radius, at most 20 nm, not for legs of kind
// 5 or 6), an arc leg after W2 (within its radius, at most 1.5 nm) and the
// second arc of a three-piece transition (within 0.4 pi x the radius). The
// steering command is set 30 degrees short of (due) or past the capture
// command, all turns right.
TEST_F(SeqValues, RegionCaptureThresholds) {
  struct Case {
    int32_t region;
    float mode, togo, radius, legs_type2;
    bool due;
    float seq_after, mode_after;
  } cases[] = {
      {4, 0, 0.95f, 1, 0, true, 4, 0},   {4, 0, 1.05f, 1, 0, true, 3, 0},  {4, 0, 0.95f, 1, 0, false, 3, 0},
      {10, 0, 0.95f, 1, 5, true, 3, 0},  {12, 0, 0.95f, 1, 6, true, 3, 0}, {9, 0, 19.9f, 25, 0, true, 4, 0},
      {9, 0, 20.1f, 25, 0, true, 3, 0},  {8, 0, 0.95f, 1, 0, true, 4, 0},  {8, 0, 1.05f, 1, 0, true, 3, 0},
      {7, 0, 1.45f, 3, 0, true, 4, 0},   {7, 0, 1.55f, 3, 0, true, 3, 0},  {11, 0, 0.95f, 1, 0, false, 3, 0},
      {2, 6, 1.2f, 1, 0, true, 3, 9},    {2, 6, 1.3f, 1, 0, true, 3, 6},   {2, 6, 1.2f, 1, 0, false, 3, 6},
  };
  for (const Case& c : cases) {
    fresh();
    host_mirror.sim_flightmodel_position_longitude = 1.9;
    host_mirror.sim_cockpit2_gauges_indicators_heading_AHARS_deg_mag_pilot = 270.0f;
    const bool arc_next = c.region == 7 || c.region == 8 || c.region == 11;
    double lat = 1.0 / 60.0, lon = 1.9;
    float radius = c.radius, side = 3.0f;
    if (arc_next) {  // slot 3 an arc leg about a centre north of the aircraft
      set_text(route_tables.leg_path_types[3], "AF");
      legs_rad_lat[3] = static_cast<float>(lat), legs_rad_lon[3] = static_cast<float>(lon);
      legs_radius[3] = c.radius;
      legs_rad_turn[3] = side;
    } else if (c.region == 2) {  // the previous slot's second arc, on its first arc's radius
      legs_seg3_ctr_lat[1] = static_cast<float>(lat), legs_seg3_ctr_lon[1] = static_cast<float>(lon);
      legs_seg3_radius[1] = legs_seg1_radius[1] = c.radius;
      legs_seg3_turn[1] = legs_seg1_turn[1] = side;
    } else {  // W2's own turn
      legs_seg1_ctr_lat[2] = static_cast<float>(lat), legs_seg1_ctr_lon[2] = static_cast<float>(lon);
      legs_seg1_radius[2] = c.radius;
      legs_seg1_turn[2] = side;
    }
    legs_type[2] = c.legs_type2;
    const float cmd = seqint::capture_command(lat, lon, radius, side);
    lnav_cmd_cache.idx_corr_sent = std::fmod(cmd + (c.due ? 330.0f : 30.0f), 360.0f);
    fms_seq.nav_mode = c.mode;
    route_track.region = c.region;
    route_track.abeam_dist_seg = c.togo;
    sequence_legs();
    EXPECT_EQ(fms_seq.vnav_idx_seq, c.seq_after) << "region " << c.region << " at " << c.togo << " due " << c.due;
    if (c.seq_after == 3.0f) {
      EXPECT_EQ(fms_seq.nav_mode, c.mode_after) << "region " << c.region << " at " << c.togo;
    }
  }
}

// When the sequencing leg may move at all (a bypassed W2 shows it): not in a
// vector leg; in a hold only once terminated at phase 0 on the inbound leg,
// or in the call the fix is passed after termination; in a procedure turn
// only at its last phase.
TEST_F(SeqValues, SequencingGateByMode) {
  struct Case {
    float mode, term, prev_phase, phase;
    int32_t region;
    float pi_phase;
    float seq_after;
  } cases[] = {
      {0, 0, 0, 0, 0, 0, 4},   {2, 0, 0, 0, 0, 0, 3},   {3, 2, 0, 0, 300, 0, 4}, {3, 1, 0, 0, 300, 0, 3},
      {3, 2, 1, 1, 300, 0, 3}, {3, 2, 0, 0, 301, 0, 3}, {3, 2, 0, 1, 301, 0, 4}, {3, 1, 0, 1, 301, 0, 3},
      {7, 0, 0, 0, 0, 7, 4},   {7, 0, 0, 0, 0, 6, 3},
  };
  for (const Case& c : cases) {
    fresh();
    legs_bypass[2] = 1.0f;
    fms_seq.nav_mode = c.mode;
    fms_seq.hold_term = c.term;
    prev_hold_phase = c.prev_phase;
    fms_seq.hold_phase = c.phase;
    fms_seq.pi_phase = c.pi_phase;
    route_track.region = c.region;
    sequence_legs();
    EXPECT_EQ(fms_seq.vnav_idx_seq, c.seq_after)
        << "mode " << c.mode << " term " << c.term << " phase " << c.prev_phase << "->" << c.phase << " in " << c.region;
  }
}

// Entering a hold brings the active and the sequencing leg together on it.
TEST_F(SeqValues, HoldEntryAlignsActiveAndSequencingLegs) {
  struct Case {
    float active, seq;
    float active_after, seq_after;
  } cases[] = {{3, 4, 3, 3}, {2, 3, 3, 3}, {2, 4, 2, 4}, {3, 3, 3, 3}};
  for (const Case& c : cases) {
    fresh();
    set_text(route_tables.leg_path_types[2], "HM");
    fms_seq.vnav_idx = c.active;
    fms_seq.vnav_idx_seq = c.seq;
    init_nav_mode(2);
    EXPECT_EQ(fms_seq.vnav_idx, c.active_after) << c.active << " " << c.seq;
    EXPECT_EQ(fms_seq.vnav_idx_seq, c.seq_after) << c.active << " " << c.seq;
    EXPECT_EQ(fms_seq.nav_mode, 3.0f);
  }
}

// The path pass on the straight route along the equator (legs of 60.04 nm):
// distances to the destination (W5) summed back from it, the departure
// entry's speed, and after a restored situation, or with a route handed over
// in flight on another active leg, the rest of the sequencing leg measured
// straight from the aircraft (30.02 nm to W2) into the transition before it
// (so the turn at W2 has its anticipation), or into the direct-to path while
// one is active. A route already flown keeps what its passes built.
TEST_F(SeqValues, PathPassDistances) {
  struct Case {
    float reset, seq, mode, intdir, handed;
    float remain1, dir_remain;  // 0: left as it was
  } cases[] = {
      {0, 3, 0, 0, 0, 0, 0},      {0, 3, 0, 0, 1, 30.02f, 0}, {1, 3, 0, 0, 0, 30.02f, 0},
      {1, 2, 0, 0, 0, 0, 0},      {1, 3, 5, 0, 0, 30.02f, 0}, {1, 3, 0, 2, 0, 0, 30.02f},
  };
  for (const Case& c : cases) {
    fresh();
    host_mirror.sim_flightmodel_position_longitude = 1.5;
    route_reset_request = c.reset;
    legs_change_copy = c.handed;
    route_take_in.measured_leg = c.handed != 0.0f ? 2.0f : c.seq;
    route_take_in.ended = false;
    fms_seq.vnav_idx = fms_seq.vnav_idx_seq = c.seq;
    fms_seq.nav_mode = c.mode;
    fms_seq.intdir_act = c.intdir;
    path_start_leg = static_cast<int32_t>(c.seq) - 1;  // as the intake sets it
    legs_spd_calc[0] = 250.0f;
    legs_dist_dest_true[0] = -1.0f;
    simhost::clear_log();
    direct_to_path_build();
    if (c.remain1 != 0.0f) {
      EXPECT_NEAR(legs_seg_remain_dist[1], c.remain1, 0.01f) << c.reset << " " << c.seq << " " << c.mode << " " << c.handed;
    } else {
      EXPECT_GT(std::fabs(legs_seg_remain_dist[1] - 30.02f), 0.1f) << c.reset << " " << c.seq << " " << c.mode << " " << c.handed;
    }
    if (c.dir_remain != 0.0f) {
      EXPECT_NEAR(dir_seg_remain_dist, c.dir_remain, 0.01f);
    }
    EXPECT_EQ(legs_spd_calc[0], 145.0f);
    EXPECT_NEAR(legs_dist_dest_true[5], 0.0f, 1e-6f);
    EXPECT_NEAR(legs_dist_dest_true[4], 60.04f, 0.02f);
    EXPECT_NEAR(legs_dist_dest_true[2], 180.12f, 0.05f);
    EXPECT_GE(legs_dist_dest_true[0], legs_dist_dest_true[2]) << "summed down to the first entry";
    EXPECT_EQ(legs_df_crs[5], -1.0f);
    EXPECT_EQ(simhost::log_text().find("True distance"), std::string::npos) << "no dump without its selector";
  }
  route_reset_request = 0.0f;
  legs_change_copy = 0.0f;
}

// Holds and procedure turns are laid out from the active leg on and cleared
// behind it.
TEST_F(SeqValues, PerLegPassLaysOutFromTheActiveLeg) {
  struct Case {
    float active;
    bool hold, proc_turn;
  } cases[] = {{2, true, true}, {3, false, true}, {4, false, false}};
  for (const Case& c : cases) {
    fresh();
    legs_change_copy = 0.0f;
    route_reset_request = 0.0f;
    std::snprintf(route_script_strings[0].legs, sizeof route_script_strings[0].legs, "W0 W1 W2 W3 W4 ");
    std::snprintf(route_script_strings[0].legs_pth, sizeof route_script_strings[0].legs_pth, "IFHMPITF");
    fms_seq.legs_num = 3.0f;
    fms_seq.vnav_idx = fms_seq.vnav_idx_seq = c.active;
    hold_pattern.hold_radius[1] = 5.0f;
    proc_turn.pi_near[2] = 1;
    ASSERT_TRUE(route_intake());
    EXPECT_EQ(hold_pattern.hold_radius[1] > 0.0f, c.hold) << c.active;
    EXPECT_EQ(proc_turn.pi_near[2] == 1, c.proc_turn) << c.active;
  }
}

// The racetrack of a hold ahead at W3 (0, 3), inbound 090, not yet near (145
// kt, leg of two radii): the first centre a radius right of the inbound
// course for a right-hand hold (left for rad_turn 0), the second a leg
// length back along the outbound course, the far point a radius beyond it.
TEST_F(SeqValues, HoldRacetrackCorners) {
  for (const float turn : {3.0f, 0.0f}) {
    fresh();
    set_text(route_tables.leg_path_types[3], "HM");
    legs_crs_mag[3] = 90.0f;
    legs_rad_turn[3] = turn;
    route_track.abeam_dist_bp = 500.0f;
    host_mirror.sim_flightmodel_position_groundspeed = 100.0f;
    compute_hold_pattern(3);
    const float r = turn_radius_nm(23.0f, 145.0f);
    const float side = turn == 0.0f ? 1.0f : -1.0f;  // north of the course for a left-hand hold
    EXPECT_NEAR(hold_pattern.hold_side[3], turn == 0.0f ? 0.0f : 180.0f, 1e-3f) << turn;
    EXPECT_NEAR(hold_pattern.hold_side_away[3], turn == 0.0f ? 180.0f : 0.0f, 1e-3f) << turn;
    EXPECT_NEAR(hold_pattern.hold_ctr1_lat[3], side * r / 60.0f, 1e-4f) << turn;
    EXPECT_NEAR(hold_pattern.hold_ctr1_lon[3], 3.0f, 1e-4f) << turn;
    EXPECT_NEAR(hold_pattern.hold_ctr2_lon[3], 3.0f - 2.0f * r / 60.0f, 2e-4f) << turn;
    EXPECT_NEAR(hold_pattern.hold_far_lat[3], 2.0f * side * r / 60.0f, 2e-4f) << turn;
  }
}

// A modified-route marker on the leg a pending direct-to flies: toward the
// direct-to's end point (at most to it), or back along its course (at most
// 700 nm); without the direct-to, back along the route's own leg.
TEST_F(SeqValues, ModifiedRouteMarkerOnAPendingDirectTo) {
  struct Case {
    float intdir, crs2, dist;
    float lon;
  } cases[] = {
      {1, -1, 10, 1.0f + 10.0f / 60.0f}, {1, -1, 60, 1.5f}, {1, 90, 10, 1.0f - 10.0f / 60.0f},
      {1, 90, 800, 1.0f - 700.0f / 60.0f}, {0, 90, 10, 1.0f - 10.0f / 60.0f}, {0, -1, 100, 0.0f},
  };
  for (const Case& c : cases) {
    fresh();
    route_set2 = DisplayRoute{};
    route_set2.count = 2.0f;
    route_set2.lon[1] = 1.0f;
    active_route_side = 0;
    display_route_mod_sel = 0.0f;
    fms_seq.intdir = c.intdir;
    fms_copies.vnav_idx_mod = 2.0f;
    fms_copies.intdir_crs2 = c.crs2;
    intdir_end_lat_mod = 0.0f, intdir_end_lon_mod = 1.5f;
    fms_copies.vnav_tc_idx_mod = 2.0f;
    fms_copies.vnav_tc_dist_mod = c.dist;
    place_modified_profile_markers();
    EXPECT_NEAR(vnav_markers.tc_mod.lon, c.lon, 2e-3f * std::fmax(1.0f, std::fabs(c.lon - 1.0f)))
        << c.intdir << " " << c.crs2 << " " << c.dist;
  }
}

// In a hold passed at its fix, the log names the fix when it is within 1 nm.
TEST_F(SeqValues, HoldFixPassedLogWithinOneMile) {
  for (const float nm : {0.9f, 1.1f}) {
    fresh();
    set_text(route_tables.leg_path_types[2], "HM");
    fms_seq.nav_mode = 3.0f;
    fms_seq.hold_term = 2.0f;
    route_track.abeam_dist_bp = 0.0f;
    host_mirror.sim_flightmodel_position_longitude = 2.0 - nm / 60.0;
    fms_debug_selector = 8888.0f;
    simhost::clear_log();
    EXPECT_TRUE(sequence_legs_new_offset());
    const bool logged = simhost::log_text().find("NEW OFFSET (A): 2 <W2> - Distance to current wpt: ") != std::string::npos;
    EXPECT_EQ(logged, nm < 1.0f) << nm;
    fms_debug_selector = 0.0f;
  }
}

// A restored situation clears the computed path; the path then starts at the
// active leg when a direct-to is active, else at the route's start.
TEST_F(SeqValues, RouteResetOnRestore) {
  struct Case {
    float reset, intdir_act;
    int32_t start;
    bool cleared;
  } cases[] = {{1, 2, 2, true}, {1, 0, 0, true}, {0, 2, 7, false}};
  for (const Case& c : cases) {
    fresh();
    legs_change_copy = 0.0f;
    route_reset_request = c.reset;
    std::snprintf(route_script_strings[0].legs, sizeof route_script_strings[0].legs, "W0 W1 W2 W3 ");
    std::snprintf(route_script_strings[0].legs_pth, sizeof route_script_strings[0].legs_pth, "IFTFTFTF");
    fms_seq.legs_num = 3.0f;
    fms_seq.intdir_act = c.intdir_act;
    direct_to_leg = first_path_leg = 7;
    legs_seg1_radius[2] = 4.0f;
    ASSERT_TRUE(route_intake());
    EXPECT_EQ(direct_to_leg, c.start) << c.reset << " " << c.intdir_act;
    EXPECT_EQ(first_path_leg, c.start) << c.reset << " " << c.intdir_act;
    EXPECT_EQ(legs_seg1_radius[2] == 0.0f, c.cleared) << c.reset;
  }
  route_reset_request = 0.0f;
  direct_to_leg = first_path_leg = 0;
}

// Leg numbers outside the route place nothing; on the leg an intercept course
// leads to, the waypoint itself is the point at distance 0 even inside a turn.
TEST_F(SeqValues, PointBackOutsideTheRouteAndOnTheInterceptLeg) {
  struct Case {
    int32_t leg;
    float intdir_act;
    int32_t code;
  } cases[] = {{0, 0, 0}, {6, 0, 0}, {5, 0, 61}, {2, 2, 60}, {3, 2, 61}, {2, 0, 61}};
  for (const Case& c : cases) {
    fresh();
    for (int k = 0; k < 8; ++k) legs_wpt_arc_dist[k] = 0.5f, legs_seg1_radius[k] = 1.0f;
    fms_seq.intdir_act = c.intdir_act;
    fms_seq.intdir_idx = 3.0f;
    route_change_values.intdir_crs = 90.0f;
    EXPECT_EQ(leg_geometry(c.leg, 0.0f), c.code) << c.leg << " " << c.intdir_act;
  }
}

// Tracking the route's first entry: measured like any other slot (6 nm west
// of W0, whose course reads 000 with nothing before it).
TEST_F(SeqValues, TrackingTheFirstEntry) {
  fresh();
  fms_seq.vnav_idx = fms_seq.vnav_idx_seq = 1.0f;
  host_mirror.sim_flightmodel_position_longitude = -0.1;
  update_route_tracking();
  EXPECT_NEAR(route_track.xtrack, -6.0f, 0.05f);
}

// In the first arc with no straight after the turn, W2 is sequenced within
// 0.4 pi R once its own (left) turn's capture test is due; when the arc
// before turns the other way the test compares the other way round.
TEST_F(SeqValues, OwnTurnCaptureAgainstTheArcBefore) {
  struct Case {
    float turn_before;
    float offset;  // of the arc command (idx_corr2) against the capture command
    float seq_after;
  } cases[] = {{2, 30, 4}, {2, -30, 3}, {3, -30, 4}, {3, 30, 3}};
  for (const Case& c : cases) {
    fresh();
    host_mirror.sim_flightmodel_position_longitude = 1.9;
    host_mirror.sim_flightmodel_position_groundspeed = 150.0f / 1.94384449f;
    host_mirror.sim_cockpit2_gauges_indicators_heading_AHARS_deg_mag_pilot = 270.0f;
    legs_seg1_ctr_lat[1] = 1.0f, legs_seg1_ctr_lon[1] = 1.9f;  // far: never found left behind
    legs_seg1_radius[1] = 1.0f;
    legs_seg1_turn[1] = c.turn_before;
    legs_radius[2] = 1.0f;  // a turn follows, no straight
    legs_seg1_ctr_lat[2] = 1.0f / 60.0f, legs_seg1_ctr_lon[2] = 1.9f;
    legs_seg1_radius[2] = 1.0f;
    legs_seg1_turn[2] = 2.0f;
    const float cmd = seqint::capture_command(1.0 / 60.0, 1.9, 1.0f, 2.0f);
    lnav_cmd_cache.idx_corr2_sent = std::fmod(cmd + c.offset + 360.0f, 360.0f);
    fms_seq.nav_mode = 5.0f;
    route_track.region = 1;
    route_track.sub_region = 1;
    route_track.abeam_dist_seg = 1.0f;
    sequence_legs();
    EXPECT_EQ(fms_seq.vnav_idx_seq, c.seq_after) << c.turn_before << " " << c.offset;
  }
}

// Two touching arcs (region 1, second piece): the second arc (right, centre
// 1 nm north of the aircraft) is armed within 0.4 x 0.4 pi R once the first
// is released toward the tangent at their meeting point (090, the first
// centre lying due north of the second) and the second arc's capture test
// holds with the arc command 30 degrees right of its capture command.
TEST_F(SeqValues, TouchingArcsArmOnReleaseAndCapture) {
  struct Case {
    float togo, offset, mode_after;
  } cases[] = {{0.45f, 30, 9}, {0.55f, 30, 5}, {0.45f, -30, 5}};
  for (const Case& c : cases) {
    fresh();
    host_mirror.sim_flightmodel_position_longitude = 2.1;  // beyond W2: never found left behind
    host_mirror.sim_flightmodel_position_groundspeed = 150.0f / 1.94384449f;
    host_mirror.sim_cockpit2_gauges_indicators_heading_AHARS_deg_mag_pilot = 270.0f;
    legs_seg3_ctr_lat[1] = 1.0f / 60.0f, legs_seg3_ctr_lon[1] = 2.1f;
    legs_seg3_turn[1] = 3.0f;
    legs_seg1_ctr_lat[1] = 3.0f / 60.0f, legs_seg1_ctr_lon[1] = 2.1f;
    legs_seg1_radius[1] = 1.0f;
    legs_seg1_turn[1] = 3.0f;
    const float cmd = seqint::capture_command(1.0 / 60.0, 2.1, 1.0f, 3.0f);
    lnav_cmd_cache.idx_corr2_sent = std::fmod(cmd + c.offset + 360.0f, 360.0f);
    fms_seq.nav_mode = 5.0f;
    route_track.region = 1;
    route_track.sub_region = 2;
    route_track.abeam_dist_seg = c.togo;
    sequence_legs();
    EXPECT_EQ(fms_seq.nav_mode, c.mode_after) << c.togo << " " << c.offset;
  }
}

// Leaving a right arc (centre 1 nm north of the aircraft, 150 kt) for the
// course 090 when a straight follows: within the bank lead (0.111 nm) from
// the first arc, within 0.4 pi R from the second, once released: the arc
// command (idx_corr2) at 280 has 090 on its right; at 100 it has not.
TEST_F(SeqValues, ArcReleaseOntoTheNextCourse) {
  struct Case {
    int32_t region, sub;
    float mode, togo, turn, corr2, mode_after;
  } cases[] = {
      {1, 1, 5, 0.105f, 3, 280, 0}, {1, 1, 5, 0.115f, 3, 280, 5}, {1, 1, 5, 0.105f, 3, 100, 5},
      {1, 1, 5, 0.105f, -1, 280, 5}, {1, 3, 5, 0.105f, 3, 280, 6}, {1, 3, 5, 0.115f, 3, 280, 5},
      {1, 3, 5, 0.105f, 3, 100, 5},  {3, 0, 9, 1.2f, 3, 280, 0},   {3, 0, 9, 1.3f, 3, 280, 9},
      {3, 0, 9, 1.2f, 3, 100, 9},
  };
  for (const Case& c : cases) {
    fresh();
    host_mirror.sim_flightmodel_position_longitude = 2.1;  // beyond W2: never found left behind
    host_mirror.sim_flightmodel_position_groundspeed = 150.0f / 1.94384449f;
    host_mirror.sim_cockpit2_gauges_indicators_heading_AHARS_deg_mag_pilot = 270.0f;
    legs_seg1_ctr_lat[1] = legs_seg3_ctr_lat[1] = 1.0f / 60.0f;
    legs_seg1_ctr_lon[1] = legs_seg3_ctr_lon[1] = 2.1f;
    legs_seg1_radius[1] = legs_seg3_radius[1] = 1.0f;
    legs_seg1_turn[1] = c.turn;
    legs_seg3_turn[1] = 3.0f;
    legs_seg2_crs_true[1] = 90.0f;
    legs_radius[2] = legs_seg_remain_dist[1] = legs_radii_dta[2] = 0.0f;  // a straight follows the turn
    lnav_cmd_cache.idx_corr2_sent = c.corr2;
    fms_seq.nav_mode = c.mode;
    route_track.region = c.region;
    route_track.sub_region = c.sub;
    route_track.abeam_dist_seg = c.togo;
    sequence_legs();
    EXPECT_EQ(fms_seq.nav_mode, c.mode_after) << c.region << "/" << c.sub << " at " << c.togo << " cmd " << c.corr2;
  }
}

}  // namespace
