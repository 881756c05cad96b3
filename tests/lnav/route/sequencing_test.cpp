// Leg sequencing: navigation mode set-up, active leg advance, the sequencing
// state machine's guards and thresholds, and the hold and procedure-turn
// phase steps.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "core/binding.h"
#include "lnav/route/hold_geometry.h"
#include "host.h"
#include "lnav/steering/lnav_steering.h"
#include "lnav/route/route_tracking.h"
#include "lnav/route/sequencing.h"
#include "lnav/route/sequencing_internal.h"
#include "navdata/geodesy.h"
#include "lnav/route_fixture.h"

using namespace lnav_fixture;

namespace {

const double kLine[][2] = {{0.0, 0.0}, {0.0, 1.0}, {0.0, 2.0}, {0.0, 3.0}, {0.0, 4.0}, {0.0, 5.0}};

class Sequencing : public ::testing::Test {
 protected:
  void SetUp() override {
    simhost::reset(simhost::Config{});
    for (XPLMDataRef& h : bound_handles) h = nullptr;
    bind_outside_datarefs();
    bind_host_datarefs();
    bind_script_datarefs();
    host_mirror = HostMirror{};
    make_route(kLine, 6);  // legs_num 5
    for (int k = 0; k < 256; ++k) reset_leg_path(k, 0);  // turn starts at the waypoints
    route_track = RouteTrackState{};
    route_change_values.intdir_crs = -1.0f;
    hold_pattern = HoldPatternArrays{};
    proc_turn = ProcTurnArrays{};
    hold_seq_latch = 0;
    long_arc_half_slot = -1;
    prev_hold_phase = 0.0f;
    lnav_cmd_cache = LnavCommandCache{};
    host_mirror.sim_cockpit2_gauges_indicators_heading_AHARS_deg_mag_pilot = 90.0f;
  }
  void TearDown() override {
    for (const std::string& p : simhost::problems()) ADD_FAILURE() << p;
  }
  static void legs(float active, float seq) {
    fms_seq.vnav_idx = active;
    fms_seq.vnav_idx_seq = seq;
  }
  static void aircraft(double lat, double lon, float speed_kt) {
    host_mirror.sim_flightmodel_position_latitude = lat;
    host_mirror.sim_flightmodel_position_longitude = lon;
    host_mirror.sim_flightmodel_position_groundspeed = speed_kt / 1.94384449f;
  }
  static float published(const char* name) { return simhost::get_float(std::string("zuvadud/D738/fms/") + name); }
};

TEST_F(Sequencing, NextValidLegSkipsBypassedSlots) {
  make_route(kLine, 6);
  fms_seq.legs_num = 10.0f;
  EXPECT_EQ(next_valid_leg(9), 10);
  EXPECT_EQ(next_valid_leg(2), 3);
  legs_bypass[3] = legs_bypass[4] = 1.0f;
  EXPECT_EQ(next_valid_leg(2), 5);
  for (int k = 3; k <= 9; ++k) legs_bypass[k] = 1.0f;
  EXPECT_EQ(next_valid_leg(2), 10);
}

TEST_F(Sequencing, AltitudeHoldIsFlownOnlyWellBelowItsRestriction) {
  set_text(route_tables.leg_path_types[2], "HA");
  legs_alt_rest1[2] = 10000.0f;
  hold_pattern.hold_entry[2] = 2.0f;
  struct Case {
    float alt_ft;
    float mode, phase, active, seq;
  } cases[] = {
      {9600.0f, 3.0f, 4.0f, 3.0f, 3.0f},  // 400 ft below: the hold, entry type 2
      {9750.0f, 0.0f, 0.0f, 4.0f, 4.0f},  // 250 ft below: passed at once
  };
  for (const Case& c : cases) {
    legs(3.0f, 3.0f);
    fms_seq.nav_mode = 0.0f;
    host_mirror.sim_cockpit2_gauges_indicators_altitude_ft_pilot = c.alt_ft;
    init_nav_mode(2);
    EXPECT_EQ(fms_seq.nav_mode, c.mode) << c.alt_ft;
    EXPECT_EQ(fms_seq.hold_phase, c.phase) << c.alt_ft;
    EXPECT_EQ(fms_seq.vnav_idx, c.active) << c.alt_ft;
    EXPECT_EQ(fms_seq.vnav_idx_seq, c.seq) << c.alt_ft;
    EXPECT_EQ(published("nav_mode"), c.mode);
    if (c.mode == 0.0f) {
      EXPECT_EQ(published("vnav_idx_seq"), c.seq) << "the skip is published";
    }
  }
}

TEST_F(Sequencing, HoldEntryTypeSelectsTheFirstPhase) {
  set_text(route_tables.leg_path_types[2], "HM");
  const float expect[][2] = {{1, 14}, {2, 4}, {4, 6}, {5, 7}, {0, 0}, {9, 0}};
  for (const auto& e : expect) {
    hold_pattern.hold_entry[2] = e[0];
    legs(3.0f, 3.0f);
    init_nav_mode(2);
    EXPECT_EQ(fms_seq.hold_phase, e[1]) << "entry " << e[0];
    EXPECT_EQ(fms_seq.nav_mode, 3.0f);
  }
  hold_pattern.hold_entry[2] = 3.0f;
  legs_seg1_radius[1] = 0.0f;
  init_nav_mode(2);
  EXPECT_EQ(fms_seq.hold_phase, 12.0f);
  legs_seg1_radius[1] = 1.5f;
  init_nav_mode(2);
  EXPECT_EQ(fms_seq.hold_phase, 11.0f);
}

TEST_F(Sequencing, ArcLegModeFromThePreviousTurn) {
  set_text(route_tables.leg_path_types[3], "AF");
  legs(4.0f, 4.0f);
  fms_seq.intdir_act = 3.0f;
  route_change_values.intdir_crs = 100.0f;
  legs_radii_radius[2] = 0.0f;
  init_nav_mode(3);
  EXPECT_EQ(fms_seq.nav_mode, 4.0f);
  EXPECT_EQ(fms_seq.intdir_act, 0.0f) << "a new leg drops the direct-to state";
  EXPECT_EQ(route_change_values.intdir_crs, -1.0f);
  EXPECT_EQ(published("intdir_crs"), -1.0f);
  legs_radii_radius[2] = 2.0f;
  init_nav_mode(3);
  EXPECT_EQ(fms_seq.nav_mode, 5.0f);
  legs_direct[3] = 1.0f;  // reached from the direct-to path: no previous leg
  init_nav_mode(3);
  EXPECT_EQ(fms_seq.nav_mode, 0.0f);
}

TEST_F(Sequencing, GapsKeepActiveAndSequencingLegTogether) {
  set_text(route_tables.waypoint_names[2], "DISCONTINUITY");
  set_text(route_tables.waypoint_names[3], "DISCONTINUITY");
  legs(3.0f, 4.0f);
  init_nav_mode(3);
  EXPECT_EQ(fms_seq.vnav_idx_seq, 3.0f);
  EXPECT_EQ(fms_seq.vnav_idx, 3.0f);
  EXPECT_EQ(fms_seq.nav_mode, 0.0f);

  set_text(route_tables.waypoint_names[4], "(VECTOR)");
  legs(3.0f, 5.0f);
  init_nav_mode(4);
  EXPECT_EQ(fms_seq.nav_mode, 2.0f);
  EXPECT_EQ(fms_seq.vnav_idx, 5.0f) << "the vector leg never leaves the active leg behind";
  EXPECT_EQ(fms_seq.vnav_idx_seq, 5.0f);
  EXPECT_EQ(published("vnav_idx"), 5.0f);

  // The tables' last slot is a leg like any other.
  legs(250.0f, 250.0f);
  init_nav_mode(255);
  EXPECT_EQ(fms_seq.vnav_idx_seq, 256.0f);
  EXPECT_EQ(published("vnav_idx_seq"), 256.0f);
}

TEST_F(Sequencing, ActiveLegAdvanceGuardsAndEndOfRoute) {
  struct Case {
    const char* what;
    float active, seq, bp, mode;
    int ground;
    bool moved;
    float active_after, mode_after;
  } cases[] = {
      {"one leg", 1.0f, 1.0f, 0.0f, 0.0f, 0, false, 1.0f, 0.0f},
      {"on the ground", 3.0f, 3.0f, 0.0f, 0.0f, 1, false, 3.0f, 0.0f},
      {"not passed", 3.0f, 3.0f, 0.01f, 0.0f, 0, false, 3.0f, 0.0f},
      {"passed", 3.0f, 3.0f, 0.0f, 0.0f, 0, true, 4.0f, 0.0f},
      {"vector", 3.0f, 3.0f, 0.0f, 2.0f, 0, false, 3.0f, 2.0f},
      {"last leg", 5.0f, 5.0f, 0.0f, 0.0f, 0, true, 5.0f, 99.0f},
      {"beyond the route", 6.0f, 6.0f, 0.0f, 0.0f, 0, false, 6.0f, 0.0f},
  };
  for (const Case& c : cases) {
    legs(c.active, c.seq);
    fms_seq.nav_mode = c.mode;
    on_ground = c.ground;
    route_track.abeam_dist_bp = c.bp;
    EXPECT_EQ(sequence_legs_new_offset(), c.moved) << c.what;
    EXPECT_EQ(fms_seq.vnav_idx, c.active_after) << c.what;
    EXPECT_EQ(fms_seq.nav_mode, c.mode_after) << c.what;
    EXPECT_GE(fms_seq.vnav_idx_seq, fms_seq.vnav_idx) << c.what;
  }
}

TEST_F(Sequencing, HoldIsLeftOnlyWhenTerminatedAtTheFix) {
  set_text(route_tables.leg_path_types[2], "HM");
  route_track.abeam_dist_bp = 0.0f;
  struct Case {
    float term, phase;
    bool moved;
  } cases[] = {{0.0f, 0.0f, false}, {2.0f, 1.0f, false}, {2.0f, 0.0f, true}};
  for (const Case& c : cases) {
    legs(3.0f, 3.0f);
    fms_seq.nav_mode = 3.0f;
    fms_seq.hold_term = c.term;
    fms_seq.hold_phase = c.phase;
    EXPECT_EQ(sequence_legs_new_offset(), c.moved) << c.term << " " << c.phase;
  }
  EXPECT_EQ(fms_seq.vnav_idx, 4.0f);
  EXPECT_EQ(fms_seq.nav_mode, 0.0f) << "the leg after the hold";
}

TEST_F(Sequencing, SequencingGuards) {
  // Mode 5 at the waypoint itself: sequences unless a guard holds.
  struct Case {
    const char* what;
    const char* ident;
    const char* type;
    float intdir_act, alt_ft;
    int ground;
    bool moved;
  } cases[] = {
      {"plain", "W2", "TF", 0.0f, 5000.0f, 0, true},
      {"discontinuity", "DISCONTINUITY", "TF", 0.0f, 5000.0f, 0, false},
      {"discontinuity in a direct-to", "DISCONTINUITY", "TF", 3.0f, 5000.0f, 0, true},
      {"on the ground", "W2", "TF", 0.0f, 5000.0f, 1, false},
      {"below the altitude", "W2", "CA", 0.0f, 1500.0f, 0, false},
      {"above the altitude", "W2", "CA", 0.0f, 2500.0f, 0, true},
  };
  for (const Case& c : cases) {
    make_route(kLine, 6);
    set_text(route_tables.waypoint_names[2], c.ident);
    set_text(route_tables.leg_path_types[2], c.type);
    legs_alt_rest1[2] = 2000.0f;
    legs(3.0f, 3.0f);
    fms_seq.nav_mode = 5.0f;
    fms_seq.intdir_act = c.intdir_act;
    on_ground = c.ground;
    host_mirror.sim_cockpit2_gauges_indicators_altitude_ft_pilot = c.alt_ft;
    aircraft(0.0, 2.0, 150.0f);
    sequence_legs();
    EXPECT_EQ(fms_seq.vnav_idx_seq, c.moved ? 4.0f : 3.0f) << c.what;
  }
}

TEST_F(Sequencing, CaptureDistanceGrowsWithSpeed) {
  struct Case {
    float kt, capture_nm;
  } cases[] = {{150.0f, 0.02f}, {235.0f, 0.26f}, {400.0f, 0.5f}};
  for (const Case& c : cases) {
    for (const float f : {0.9f, 1.1f}) {
      legs(3.0f, 3.0f);
      fms_seq.nav_mode = 5.0f;
      route_track.region = 0;
      aircraft(0.0, 2.0 - c.capture_nm * f / 60.0, c.kt);
      sequence_legs();
      EXPECT_EQ(fms_seq.vnav_idx_seq, f < 1.0f ? 4.0f : 3.0f) << c.kt << " kt at " << f;
    }
  }
}

TEST_F(Sequencing, VectorLegIsPulledBackAndNeverAdvances) {
  set_text(route_tables.waypoint_names[3], "(VECTOR)");
  legs(3.0f, 4.0f);
  fms_seq.nav_mode = 2.0f;
  route_track.region = 5;
  aircraft(0.0, 3.0, 150.0f);
  sequence_legs();
  EXPECT_EQ(fms_seq.vnav_idx_seq, 3.0f);
  EXPECT_EQ(published("vnav_idx_seq"), 3.0f);
  EXPECT_EQ(published("vnav_idx_seq_prev"), 2.0f);
}

TEST_F(Sequencing, BypassedSequencingLegIsSkippedFirst) {
  legs_bypass[2] = 1.0f;
  legs(3.0f, 3.0f);
  fms_seq.nav_mode = 0.0f;
  route_track.region = 8;
  route_track.abeam_dist_seg = 40.0f;
  aircraft(0.0, 1.3, 250.0f);
  sequence_legs();
  EXPECT_EQ(fms_seq.vnav_idx_seq, 4.0f);
}

TEST_F(Sequencing, StraightIntoWaypointSequencesHalfAMileOut) {
  for (const float togo : {0.6f, 0.4f}) {
    legs(3.0f, 3.0f);
    fms_seq.nav_mode = 0.0f;
    route_track.region = 8;
    route_track.abeam_dist_seg = togo;
    aircraft(0.0, 2.0 - togo / 60.0, 250.0f);
    sequence_legs();
    EXPECT_EQ(fms_seq.vnav_idx_seq, togo < 0.5f ? 4.0f : 3.0f) << togo;
  }
}

TEST_F(Sequencing, HoldFixPassedLatchAdvancesInTheSameCall) {
  set_text(route_tables.leg_path_types[2], "HM");
  legs(3.0f, 3.0f);
  fms_seq.nav_mode = 3.0f;
  fms_seq.hold_term = 2.0f;
  prev_hold_phase = 0.0f;
  fms_seq.hold_phase = 1.0f;
  route_track.region = 301;
  aircraft(0.0, 2.0, 200.0f);
  sequence_legs();
  EXPECT_EQ(hold_seq_latch, 1);
  EXPECT_EQ(fms_seq.vnav_idx_seq, 4.0f);
}

// A built route flown closed loop from the straight W1 -> W2: route tracking,
// sequencing and steering each half second, the aircraft turning toward the
// track command at up to 3 deg/s, until the end of the route.
struct Flight {
  std::string modes;    // nav modes in the order flown
  std::string actives;  // active legs in the order flown
  float worst_xtrack;   // nm off the path, up to the last waypoint
  float last_seq;       // furthest sequencing leg
  float turned;         // degrees turned, right positive
};

Flight fly_from_w1(const double (*pts)[2], int n, float debug_selector = 0.0f, int left_turn_into = 0) {
  make_route(pts, n);
  if (left_turn_into > 0) legs_rad_turn[left_turn_into] = 2.0f;
  fms_debug_selector = debug_selector;
  frame_flight_data = FrameFlightData{};
  frame_flight_data.alt_ft = 5000.0f;
  host_mirror.sim_cockpit2_gauges_indicators_altitude_ft_pilot = 5000.0f;
  build_route();
  // Distances to the destination along the built path, as the route pass
  // sums them after each build.
  legs_dist_dest_true[n - 1] = 0.0f;
  for (int i = n - 2; i >= 0; --i) legs_dist_dest_true[i] = legs_dist_true[i + 1] + legs_dist_dest_true[i + 1];
  simhost::set_float("zuvadud/D738/autopilot/lnav_engaged", 1.0f);
  fms_seq.vnav_idx = fms_seq.vnav_idx_seq = 3.0f;
  fms_seq.nav_mode = 0.0f;
  simhost::set_float("zuvadud/D738/fms/nav_mode", 0.0f);
  float track = gc_bearing(pts[1][0], pts[1][1], pts[2][0], pts[2][1]);
  gc_destination(pts[1][0], pts[1][1], track, 0.2 * gc_distance_nm(pts[1][0], pts[1][1], pts[2][0], pts[2][1]));
  double lat = nav_result.lat, lon = nav_result.lon;
  const float kt = 250.0f, dt = 0.5f;
  host_mirror.sim_flightmodel_position_groundspeed = kt / 1.94384449f;
  host_mirror.sim_flightmodel_position_latitude = lat;
  host_mirror.sim_flightmodel_position_longitude = lon;
  update_route_tracking();
  Flight f{"0", "3", 0.0f, 0.0f, 0.0f};
  for (int step = 0; step < 20000 && fms_seq.nav_mode != 99.0f; ++step) {
    host_mirror.sim_flightmodel_position_latitude = lat;
    host_mirror.sim_flightmodel_position_longitude = lon;
    host_mirror.sim_cockpit2_gauges_indicators_heading_AHARS_deg_mag_pilot = track;
    if (!sequence_legs_new_offset()) sequence_legs();
    fms_seq.vnav_idx_seq_prev = static_cast<float>(prev_valid_leg(static_cast<int>(fms_seq.vnav_idx_seq) - 1) + 1);
    update_route_tracking();
    // The scripts' desired track: the course of the leg into the sequencing waypoint.
    fms_copies.gps_track_degtm = legs_brg_true[static_cast<int>(fms_seq.vnav_idx_seq) - 1] * 57.29578f;
    update_lnav_steering();
    f.last_seq = std::fmax(f.last_seq, fms_seq.vnav_idx_seq);
    const std::string m = std::to_string(static_cast<int>(fms_seq.nav_mode));
    if (f.modes.substr(f.modes.rfind(' ') + 1) != m) f.modes += " " + m;
    const std::string a = std::to_string(static_cast<int>(fms_seq.vnav_idx));
    if (f.actives.substr(f.actives.rfind(' ') + 1) != a) f.actives += " " + a;
    f.worst_xtrack = std::fmax(f.worst_xtrack, std::fabs(route_track.xtrack));
    const bool straight = fms_seq.nav_mode == 0.0f || fms_seq.nav_mode == 6.0f;
    const float cmd = straight ? lnav_cmd_cache.idx_corr_sent : lnav_cmd_cache.idx_corr2_sent;
    const float turn = std::fmax(-3.0f * dt, std::fmin(3.0f * dt, std::remainder(cmd - track, 360.0f)));
    f.turned += turn;
    track = std::fmod(track + turn + 360.0f, 360.0f);
    gc_destination(lat, lon, track, kt * dt / 3600.0f);
    lat = nav_result.lat;
    lon = nav_result.lon;
  }
  return f;
}

// Every fly-by waypoint is sequenced once, through its turn (nav mode
// 0 -> 5 -> 0), and the aircraft stays on the drawn path.
TEST_F(Sequencing, FlownRouteSequencesEachWaypointThroughItsTurn) {
  const double zigzag[][2] = {{0.0, 0.0}, {0.0, 1.0}, {1.0, 1.0}, {1.0, 2.0},
                              {2.0, 2.0}, {2.0, 3.0}, {3.0, 3.0}, {3.0, 4.0}};
  const Flight f = fly_from_w1(zigzag, 8);
  EXPECT_EQ(f.modes, "0 5 0 5 0 5 0 5 0 99");
  EXPECT_EQ(f.actives, "3 4 5 6 7");
  EXPECT_EQ(f.last_seq, 7.0f) << "never the destination entry";
  EXPECT_LT(f.worst_xtrack, 0.3f);
}

// A course reversal (a turn past the next course, a straight, and a turn
// back onto it) is flown through its three pieces: nav mode 5, 6 and 9.
TEST_F(Sequencing, FlownCourseReversalTakesItsThreePieces) {
  const double reversal[][2] = {{0.0, 0.0}, {0.0, 1.0}, {1.0, 1.0}, {0.5, 1.3}, {0.5, 2.3}, {1.5, 2.3}};
  const Flight f = fly_from_w1(reversal, 6);
  EXPECT_EQ(f.modes, "0 5 6 9 0 5 0 99");
  EXPECT_EQ(f.actives, "3 4 5");
  EXPECT_LT(f.worst_xtrack, 0.3f);
  // A right turn demanded to the left: 270 degrees the long way, one arc
  // from past the corner round onto the next leg before it (with the left
  // turn after it, a full circle left); the legs after that are found where
  // they are and flown, on the path throughout.
  const double long_way[][2] = {{0.0, 0.0}, {0.0, 1.0}, {0.0, 2.0}, {-1.0, 2.0}, {-1.0, 3.0}, {-2.0, 3.0}};
  const Flight lw = fly_from_w1(long_way, 6, 0.0f, 3);
  EXPECT_EQ(lw.modes, "0 5 0 5 0 99");
  EXPECT_NEAR(lw.turned, -360.0f, 10.0f);
  EXPECT_LT(lw.worst_xtrack, 0.35f);
}

// Leaving the first of two touching arcs for the second: armed at once when
// the piece is all but flown, with its own trace line.
TEST_F(Sequencing, TouchingArcsArmTheSecondArc) {
  legs(3.0f, 3.0f);
  fms_seq.nav_mode = 5.0f;
  route_track.region = 1;
  route_track.sub_region = 2;
  route_track.abeam_dist_seg = 0.05f;
  legs_seg1_radius[1] = 2.0f;
  legs_turn[2] = 3.0f;
  aircraft(0.0, 1.9, 250.0f);
  fms_debug_selector = 8888.0f;
  simhost::clear_log();
  sequence_legs();
  fms_debug_selector = 0.0f;
  EXPECT_EQ(fms_seq.nav_mode, 9.0f);
  EXPECT_TRUE(simhost::log_contains("NEW OFFSET SEQ (Reg1/1) (5) -> (9): 2 <W2> -> 3 <W3>  TURN: 3.000000"));
}

TEST(SequencingLead, LeadDistanceAtTurnRadius) {
  EXPECT_NEAR(seqint::lead_distance(2.5f, 250.0f), 0.31f, 0.01f);
  EXPECT_EQ(seqint::lead_distance(0.0f, 250.0f), 0.0f);
  EXPECT_EQ(seqint::lead_distance(std::nanf(""), 250.0f), 0.0f);
}

TEST_F(Sequencing, RacetrackPhaseResynchronisesToTheRegion) {
  set_text(route_tables.leg_path_types[2], "HM");
  legs(3.0f, 3.0f);
  struct Case {
    float phase;
    int32_t region;
    float togo;
    float expect;
  } cases[] = {
      {0.0f, 302, 3.0f, 2.0f}, {1.0f, 302, 3.0f, 2.0f}, {1.0f, 300, 3.0f, 1.0f}, {3.0f, 300, 3.0f, 0.0f},
      {1.0f, 301, 0.05f, 2.0f}, {1.0f, 301, 2.0f, 1.0f}, {0.0f, 300, 0.05f, 1.0f}, {3.0f, 303, 0.05f, 0.0f},
      {4.0f, 304, 0.05f, 2.0f}, {13.0f, 313, 0.05f, 0.0f}, {17.0f, 300, 0.05f, 17.0f},
  };
  for (const Case& c : cases) {
    fms_seq.hold_phase = c.phase;
    route_track.region = c.region;
    route_track.abeam_dist_seg = c.togo;
    hold_pattern.hold_radius[2] = 1.0f;
    sequence_legs_hold();
    EXPECT_EQ(fms_seq.hold_phase, c.expect) << c.phase << " in " << c.region;
  }
}

TEST_F(Sequencing, ProcedureTurnPhasesAndEnd) {
  set_text(route_tables.leg_path_types[2], "PI");
  legs(3.0f, 3.0f);
  fms_seq.nav_mode = 7.0f;
  struct Case {
    float phase;
    int32_t region;
    float expect;
  } cases[] = {{3.0f, 52, 3.0f}, {6.0f, 53, 3.0f}, {1.0f, 50, 1.0f}, {4.0f, 50, 0.0f}, {2.0f, 60, 2.0f}};
  for (const Case& c : cases) {
    fms_seq.pi_phase = c.phase;
    route_track.region = c.region;
    route_track.abeam_dist_seg = 5.0f;
    sequence_legs_pi();
    EXPECT_EQ(fms_seq.pi_phase, c.expect) << c.phase << " in " << c.region;
  }
  // The end: the active leg moves on once; a sequencing leg ahead stays.
  fms_seq.pi_phase = 7.0f;
  route_track.region = 57;
  route_track.abeam_dist_seg = 0.05f;
  legs(3.0f, 5.0f);
  sequence_legs_pi();
  EXPECT_EQ(fms_seq.vnav_idx, 4.0f);
  EXPECT_EQ(fms_seq.vnav_idx_seq, 5.0f);
  EXPECT_EQ(fms_seq.pi_phase, 0.0f);
  EXPECT_EQ(published("pi_phase"), 0.0f);
  // On the last entry the active leg does not run past the route.
  legs(5.0f, 5.0f);
  for (int k = 0; k < 3; ++k) sequence_legs_pi();
  EXPECT_EQ(fms_seq.vnav_idx, 5.0f);
}

TEST(SequencingCourses, WithinNinetyDegrees) {
  EXPECT_TRUE(crs_within_90(350.0f, 80.0f));
  EXPECT_FALSE(crs_within_90(350.0f, 81.0f));
  EXPECT_TRUE(crs_within_90(10.0f, 280.0f));
}

}  // namespace
