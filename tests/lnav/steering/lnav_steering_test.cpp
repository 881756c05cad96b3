// LNAV steering against the simulated host: the last-sent cache, the
// final-approach-course capture, the rows of the navigation-mode table that
// the edge cases single out, the lateral offset's correction and exit, and
// the active leg's great-circle cross-track.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

#include "core/binding.h"
#include "core/frame_values.h"
#include "core/preprocess_values.h"
#include "lnav/route/route_intake.h"
#include "host.h"
#include "lnav/route/fms_legs.h"
#include "lnav/steering/lnav_steering.h"
#include "lnav/route/route_state.h"
#include "lnav/route/route_tracking.h"
#include "lnav/steering/steering_helpers.h"
#include "navdata/air_data.h"
#include "navdata/geodesy.h"

namespace {

constexpr const char* kCorr = "zuvadud/D738/fms/idx_corr";
constexpr const char* kCorr2 = "zuvadud/D738/fms/idx_corr2";
constexpr const char* kCorr4 = "zuvadud/D738/fms/idx_corr4";
constexpr const char* kCorr5 = "zuvadud/D738/fms/idx_corr5";
constexpr float kKtPerMps = 1.94384449f;

void set_text(RouteText& t, const char* s) {
  std::memset(t.text, 0, sizeof t.text);
  std::strncpy(t.text, s, sizeof t.text - 1);
}

class LnavSteering : public ::testing::Test {
 protected:
  void SetUp() override {
    simhost::reset();
    for (XPLMDataRef& h : bound_handles) h = nullptr;
    bind_outside_datarefs();
    bind_host_datarefs();
    bind_script_datarefs();
    host_mirror = HostMirror{};
    script_mirror = ScriptMirror{};
    frame_flight_data = FrameFlightData{};
    frame_flight_data.alt_ft = 10000.0f;
    fms_seq = FmsSequenceState{};
    fms_copies = FmsRouteCopies{};
    route_change_values = RouteChangeValues{};
    route_change_values.intdir_crs = -1.0f;
    route_track = RouteTrackState{};
    lnav_cmd_cache = LnavCommandCache{};
    offset_pass_flag = 0;
    direct_to_leg = 0;
    for (int k = 0; k < 256; ++k) {
      set_text(route_tables.leg_path_types[k], "TF");
      legs_lat[k] = legs_lon[k] = 0.0f;
      legs_df_crs[k] = -1.0f;
      legs_offset[k] = 0.0f;
    }
    dir_seg1_start_lat = dir_seg1_start_lon = dir_seg1_end_lat = dir_seg1_end_lon = 0.0f;
    dir_seg3_end_lat = dir_seg3_end_lon = 0.0f;
    set_mirror_f(bound::sim_flightmodel_position_groundspeed, 250.0f / kKtPerMps);
  }
  void TearDown() override {
    for (const std::string& p : simhost::problems()) ADD_FAILURE() << p;
    simhost::reset();
  }
  static void aircraft(double lat, double lon) {
    set_mirror_f(bound::sim_flightmodel_position_latitude, static_cast<float>(lat));
    set_mirror_f(bound::sim_flightmodel_position_longitude, static_cast<float>(lon));
  }
  static void lnav(float engaged, float nav_mode) {
    simhost::set_float("zuvadud/D738/autopilot/lnav_engaged", engaged);
    simhost::set_float("zuvadud/D738/fms/nav_mode", nav_mode);
  }
  static int writes(const char* name) { return simhost::counts(name).writes; }
};

TEST_F(LnavSteering, DisengagedClearsEachCommandOnceAndSendsTheCourseCapture) {
  lnav_cmd_cache = LnavCommandCache{120.0f, 240.0f, 5.0f, 0.0f, 0.0f};
  set_mirror_f(bound::sim_cockpit2_gauges_indicators_heading_AHARS_deg_mag_pilot, 33.0f);
  lnav(0.0f, 0.0f);
  simhost::set_float("zuvadud/D738/fms/fac_trk", 100.0f);
  simhost::set_float("zuvadud/D738/fms/fac_xtrack", 1.0f);
  for (int i = 0; i < 3; ++i) update_lnav_steering();
  for (const char* name : {kCorr, kCorr2, kCorr4}) {
    EXPECT_EQ(writes(name), 1) << name;
    EXPECT_FLOAT_EQ(simhost::get_float(name), 0.0f) << name;
  }
  EXPECT_FLOAT_EQ(lnav_cmd_cache.track_cmd_prev, 33.0f);
  // The capture course goes out every frame, past the cache.
  EXPECT_EQ(writes(kCorr5), 3);
  EXPECT_NEAR(simhost::get_float(kCorr5), 100.0f + turn_radius_for_speed(1.0f, 15.0f, 1.15f, 40.0f), 1e-4f);
  EXPECT_FLOAT_EQ(lnav_cmd_cache.idx_corr5_sent, 0.0f);
  // Outside +-2.5 nm nothing is sent.
  simhost::set_float("zuvadud/D738/fms/fac_xtrack", 2.5f);
  update_lnav_steering();
  EXPECT_EQ(writes(kCorr5), 3);
  // Course mode active: through the cache, once.
  simhost::set_float("zuvadud/D738/ap/fac_status", 2.0f);
  update_lnav_steering();
  update_lnav_steering();
  EXPECT_EQ(writes(kCorr5), 4);
}

TEST_F(LnavSteering, UnknownNavModesCaptureTheScriptsTrack) {
  frame_flight_data.mag_var_deg = -5.0f;
  fms_copies.gps_track_degtm = 358.0f;
  fms_copies.xtrack = 0.6f;
  lnav_cmd_cache.idx_corr2_sent = 77.0f;
  for (float mode : {2.0f, 99.0f}) {
    lnav(1.0f, mode);
    update_lnav_steering();
    const float expected = 358.0f - 5.0f + turn_radius_for_speed(0.6f, 20.0f, 1.2f, 45.0f);
    EXPECT_NEAR(simhost::get_float(kCorr), expected, 1e-4f) << mode;
    EXPECT_FLOAT_EQ(simhost::get_float(kCorr2), 0.0f);
    EXPECT_FLOAT_EQ(lnav_cmd_cache.track_cmd_prev, simhost::get_float(kCorr));
  }
}

TEST_F(LnavSteering, ExitArcUsesTheEntryRadiusAndArcsZeroTheStraightCommand) {
  const int p = 3;
  legs_seg3_ctr_lat[p] = 0.0f;
  legs_seg3_ctr_lon[p] = 0.0f;
  legs_seg3_turn[p] = 3.0f;
  legs_seg1_radius[p] = 3.0f;
  legs_seg3_radius[p] = 1.0f;
  fms_seq.vnav_idx_seq = 6.0f;
  fms_seq.vnav_idx_seq_prev = static_cast<float>(p + 1);
  aircraft(3.0 / 60.0, 0.0);  // on the 3 nm circle, north of the centre
  lnav_cmd_cache.idx_corr_sent = 123.0f;
  lnav(1.0f, 9.0f);
  update_lnav_steering();
  arc_errors(3.0f / 60.0f, 0.0f, 0.0, 0.0, 3.0f, 0.0f, 3);
  const float tangent = std::fmod(nav_result.course + 360.0f, 360.0f);
  const float expected = arc_steer(tangent, nav_result.cross_track, 3.0f, 3.0f, 0.0f, 0);
  EXPECT_NEAR(simhost::get_float(kCorr2), expected, 1e-4f);
  EXPECT_NEAR(std::fabs(nav_result.cross_track), 0.0f, 0.01f);  // radius 3 fits, radius 1 would not
  EXPECT_FLOAT_EQ(simhost::get_float(kCorr), 0.0f);
  // A straight leaves the arc command as it was.
  legs_seg2_end_lat[p] = 1.0f;
  legs_seg2_end_lon[p] = 0.0f;
  legs_seg2_crs_true[p] = 10.0f;
  const int arc_writes = writes(kCorr2);
  lnav(1.0f, 6.0f);
  update_lnav_steering();
  EXPECT_EQ(writes(kCorr2), arc_writes);
  EXPECT_NEAR(simhost::get_float(kCorr2), expected, 1e-4f);
  EXPECT_GT(writes(kCorr), 1);
}

TEST_F(LnavSteering, LegSlotsOutsideTheTablesSteerNothing) {
  // (0 names the direct-to path, which is steered.)
  for (float seq : {257.0f, 5000.0f, -3.0f, NAN}) {
    fms_seq.vnav_idx_seq = seq;
    fms_seq.vnav_idx_seq_prev = seq;
    fms_seq.legs_num = 300.0f;
    for (float mode : {0.0f, 3.0f, 5.0f, 6.0f, 7.0f, 9.0f, 10.0f}) {
      fms_seq.hold_phase = 12.0f;
      fms_seq.pi_phase = 3.0f;
      lnav(1.0f, mode);
      update_lnav_steering();
    }
  }
  EXPECT_EQ(writes(kCorr), 0);
  EXPECT_EQ(writes(kCorr2), 0);
}

TEST_F(LnavSteering, OffsetCorrectionIsClampedAndUsesTheLastOffsetLegWhileEntering) {
  route_change_values.legs_offset_start = 2.0f;
  route_change_values.legs_offset_end = 6.0f;
  route_change_values.legs_offset_start_t = 1.0f;
  route_change_values.offset_lat[2] = 50.0f;  // exit point far ahead
  legs_brg_true[3] = 0.0f;
  legs_offset[3] = 2000.0f;
  legs_offset[5] = 1.5f;
  aircraft(0.0, 0.0);
  struct Case {
    float state, expected;
  };
  // States 5 and 6 take the last offset leg's offset, 7 the leg's own.
  for (const Case& c : {Case{5.0f, 0.5f - 1.5f}, Case{6.0f, 0.5f - 1.5f}, Case{7.0f, -999.0f}}) {
    fms_seq.legs_offset_act = c.state;
    nav_result.cross_track = 0.5f;
    lnav_offset_helper(3);
    EXPECT_FLOAT_EQ(nav_result.cross_track, c.expected) << c.state;
    EXPECT_EQ(offset_pass_flag, 1);
  }
  // Outside states 5..7 nothing is touched.
  fms_seq.legs_offset_act = 8.0f;
  offset_pass_flag = 0;
  nav_result.cross_track = 0.5f;
  lnav_offset_helper(3);
  EXPECT_FLOAT_EQ(nav_result.cross_track, 0.5f);
  EXPECT_EQ(offset_pass_flag, 0);
  // An offset end beyond the tables corrects nothing.
  fms_seq.legs_offset_act = 5.0f;
  route_change_values.legs_offset_end = 1000.0f;
  lnav_offset_helper(3);
  EXPECT_FLOAT_EQ(nav_result.cross_track, 0.5f);
}

TEST_F(LnavSteering, OffsetEndsNearOrPastTheExitPoint) {
  route_change_values.legs_offset_start = 1.0f;
  route_change_values.legs_offset_end = 4.0f;
  route_change_values.legs_offset_start_t = 1.0f;
  legs_brg_true[3] = 0.0f;  // leg 3 flown north
  aircraft(0.0, 0.0);
  // 250 kt at 18 degrees: radius 2.80 nm, times tan 22.5 = 1.16 nm.
  struct Case {
    float exit_north_nm, state;
  };
  for (const Case& c : {Case{5.0f, 7.0f}, Case{1.3f, 7.0f}, Case{1.0f, 8.0f}, Case{-0.5f, 8.0f}}) {
    fms_seq.legs_offset_act = 7.0f;
    route_change_values.offset_lat[2] = c.exit_north_nm / 60.0f;
    route_change_values.offset_lon[2] = 0.0f;
    nav_result.cross_track = 0.0f;
    lnav_offset_helper(3);
    EXPECT_FLOAT_EQ(fms_seq.legs_offset_act, c.state) << c.exit_north_nm;
  }
  EXPECT_FLOAT_EQ(simhost::get_float("zuvadud/D738/fms/legs_offset_act"), 8.0f);
}

TEST_F(LnavSteering, DirectToLegCrossTrackIsAgainstTheDirectToPath) {
  fms_seq.legs_num = 6.0f;
  fms_seq.vnav_idx_seq = 2.0f;
  fms_seq.vnav_idx = 2.0f;
  legs_lat[0] = -1.0f;  // previous waypoint well south
  legs_lon[0] = 0.0f;
  legs_lat[1] = 0.0f;
  legs_lon[1] = 1.0f;
  dir_seg1_start_lat = 0.1f;
  dir_seg1_start_lon = 0.0f;
  aircraft(0.05, 0.5);  // on the direct-to line
  lnav(0.0f, 0.0f);
  // Plain TF leg: against the previous waypoint.
  update_lnav_steering();
  EXPECT_GT(std::fabs(route_track.xtrack), 5.0f);
  // Direct-to in force to this leg: against the direct-to start.
  fms_seq.intdir_act = 2.0f;
  fms_seq.intdir_idx = 2.0f;
  legs_df_crs[1] = 10.0f;
  update_lnav_steering();
  EXPECT_LT(std::fabs(route_track.xtrack), 0.05f);
  EXPECT_FLOAT_EQ(simhost::get_float("zuvadud/D738/fms/rt_xtrack"), route_track.xtrack);
  // Aircraft south of the line flying east: right of the path.
  aircraft(0.0, 0.5);
  update_lnav_steering();
  EXPECT_GT(route_track.xtrack, 2.0f);
}

}  // namespace
