// Holding and procedure-turn layout: the near flag's hysteresis, the hold
// speeds with wind and in the pattern, bank by altitude, leg lengths, entry
// types on both sides, the pattern's points, and the procedure turn's speed,
// corner points and lengths; bad or out-of-range input stays inside the
// tables and gives finite values.
#include <gtest/gtest.h>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "core/binding.h"
#include "core/frame_values.h"
#include "lnav/route/hold_geometry.h"
#include "lnav/route/route_intake.h"
#include "lnav/route/route_pass_steps.h"
#include "host.h"
#include "lnav/route/fms_legs.h"
#include "lnav/route/route_state.h"
#include "navdata/geodesy.h"

namespace {

constexpr double kPi = 3.14159265358979;

void set_text(RouteText& slot, const char* s) {
  std::strncpy(slot.text, s, sizeof slot.text - 1);
  slot.text[sizeof slot.text - 1] = '\0';
}

// Turn radius of the aircraft's model: V^2 / (tan(bank) x 68620).
double radius_nm(double bank_deg, double v_kt) { return v_kt * v_kt / (std::tan(bank_deg * kPi / 180.0) * 68620.0); }
double mps(double kt) { return kt / 1.94384449244; }
// True airspeed of an indicated speed at an altitude.
double tas(double ias, double alt_ft) { return ias * (1.0 + 0.02 * alt_ft / 1000.0); }

class HoldGeometry : public ::testing::Test {
 protected:
  void SetUp() override {
    hold_pattern = HoldPatternArrays{};
    proc_turn = ProcTurnArrays{};
    route_track = RouteTrackState{};
    hold_region_flag = 0;
    hold_alt_ref = 0.0f;
    route_tables = RouteStringTables{};
    fms_seq = FmsSequenceState{};
    route_change_values = RouteChangeValues{};
    route_change_values.intdir_crs = -1.0f;
    host_mirror = HostMirror{};
    frame_time = 0.05f;
    for (float* a : {legs_lat, legs_lon, legs_crs_mag, legs_rad_turn, legs_hold_time, legs_hold_dist,
                     legs_dist_dest_true, legs_brg_fin_true, legs_direct}) {
      std::memset(a, 0, sizeof(float) * 256);
    }
    simhost::set_magnetic_variation(0.0f);
    // Active leg 2, hold at leg 4, 40 nm north of the equator.
    fms_seq.vnav_idx = 3.0f;
    for (int k = 0; k < 8; ++k) set_text(route_tables.leg_path_types[k], "TF");
    set_text(route_tables.leg_path_types[kHold], "HM");
    legs_lat[kHold] = 40.0f;
    legs_lon[kHold] = 10.0f;
    legs_dist_dest_true[kActive] = 30.0f;
    legs_dist_dest_true[kHold] = 20.0f;
  }

  // Fix ahead at `seconds` at 100 m/s ground speed.
  void fix_ahead_s(float seconds) {
    host_mirror.sim_flightmodel_position_groundspeed = 100.0f;
    route_track.abeam_dist_bp = seconds * 100.0f / 1852.0f - 10.0f;
  }

  // Arriving course (true) from leg 3, given as a magnetic course of a hold
  // leg so that it reads back exactly.
  void arrive_on(float course) {
    set_text(route_tables.leg_path_types[kHold - 1], "HA");
    legs_crs_mag[kHold - 1] = course;
  }

  static constexpr int kActive = 2;
  static constexpr int kHold = 4;
};

TEST_F(HoldGeometry, NearFlagHysteresis) {
  struct Case {
    uint8_t before;
    float seconds;
    uint8_t after;
  } cases[] = {
      {0, 200.0f, 0}, {1, 200.0f, 1},  // between 180 and 220 s: kept
      {0, 179.0f, 1}, {1, 179.0f, 1},  // under 180 s: on
      {1, 221.0f, 0}, {0, 221.0f, 0},  // over 220 s: off
  };
  for (const Case& c : cases) {
    hold_pattern.hold_near[kHold] = c.before;
    fix_ahead_s(c.seconds);
    compute_hold_pattern(kHold);
    EXPECT_EQ(hold_pattern.hold_near[kHold], c.after) << c.seconds << " s, before " << int(c.before);
  }
  // At or past the fix: on, whatever the speed.
  host_mirror.sim_flightmodel_position_groundspeed = 0.0f;
  route_track.abeam_dist_bp = -10.0f;
  compute_hold_pattern(kHold);
  EXPECT_EQ(hold_pattern.hold_near[kHold], 1);
  // A present-position hold that is the active leg is always near.
  set_text(route_tables.waypoint_names[kActive], "PPOS");
  set_text(route_tables.leg_path_types[kActive], "HM");
  fix_ahead_s(1000.0f);
  legs_dist_dest_true[kActive] = 0.0f;
  compute_hold_pattern(kActive);
  EXPECT_EQ(hold_pattern.hold_near[kActive], 1);
}

TEST_F(HoldGeometry, StandingStillAheadOfTheFix) {
  hold_pattern.hold_near[kHold] = 1;
  host_mirror.sim_flightmodel_position_groundspeed = 0.0f;
  route_track.abeam_dist_bp = 5.0f;
  compute_hold_pattern(kHold);
  EXPECT_EQ(hold_pattern.hold_near[kHold], 0);
  EXPECT_FLOAT_EQ(hold_pattern.hold_speed[kHold], 145.0f);
  const double r = radius_nm(23.0, 145.0);
  EXPECT_NEAR(hold_pattern.hold_radius[kHold], r, 1e-4);
  EXPECT_NEAR(hold_pattern.hold_leg_len[kHold], 2.0 * r, 1e-4);
  EXPECT_FLOAT_EQ(hold_alt_ref, 0.0f);
}

TEST_F(HoldGeometry, LegLengthFromTimeDistanceOrNinetySeconds) {
  struct Case {
    float time_s, dist_nm;
    double expect_nm;  // < 0: the turn radius
  } cases[] = {
      {60.0f, 0.0f, 200.0 * 0.51444 * 60.0 / 1852.0},
      {60.0f, 9.0f, 200.0 * 0.51444 * 60.0 / 1852.0},  // the time wins
      {0.0f, 7.5f, 7.5},
      {0.0f, 0.0f, 200.0 * 0.51444 * 90.0 / 1852.0},
      {0.0f, 0.3f, -1.0},   // shorter than the radius
      {-60.0f, 0.0f, -1.0}, // a negative time gives no negative leg
  };
  for (const Case& c : cases) {
    hold_pattern.hold_near[kHold] = 1;
    fix_ahead_s(60.0f);
    host_mirror.sim_flightmodel_position_groundspeed = static_cast<float>(mps(200.0));
    legs_hold_time[kHold] = c.time_s;
    legs_hold_dist[kHold] = c.dist_nm;
    compute_hold_pattern(kHold);
    EXPECT_NEAR(hold_pattern.hold_speed[kHold], 200.0f, 1e-3);
    const double r = radius_nm(23.0, 200.0);
    EXPECT_NEAR(hold_pattern.hold_radius[kHold], r, 1e-4);
    EXPECT_NEAR(hold_pattern.hold_leg_len[kHold], c.expect_nm < 0.0 ? r : c.expect_nm, 1e-4)
        << c.time_s << " s " << c.dist_nm << " nm";
  }
}

TEST_F(HoldGeometry, BankAndSpeedLimitByAltitude) {
  struct Case {
    float alt_ft, gs_kt;
    double bank_deg, speed_kt;
  } cases[] = {
      {19199.0f, 220.0f, 23.0, 220.0},
      {19200.0f, 220.0f, 18.0, 220.0},
      {30000.0f, 220.0f, 18.0, 220.0},
      {0.0f, 300.0f, 23.0, 260.0},                    // capped at 260 kt indicated
      {10000.0f, 400.0f, 23.0, tas(260.0, 10000.0)},  // as a true airspeed
      {0.0f, 100.0f, 23.0, 145.0},                    // never below 145 kt
  };
  for (const Case& c : cases) {
    hold_pattern.hold_near[kHold] = 1;
    fix_ahead_s(60.0f);
    host_mirror.sim_flightmodel_position_groundspeed = static_cast<float>(mps(c.gs_kt));
    host_mirror.sim_cockpit2_gauges_indicators_altitude_ft_pilot = c.alt_ft;
    compute_hold_pattern(kHold);
    EXPECT_NEAR(hold_pattern.hold_speed[kHold], c.speed_kt, 1e-2) << c.alt_ft;
    EXPECT_NEAR(hold_pattern.hold_radius[kHold], radius_nm(c.bank_deg, c.speed_kt), 1e-3) << c.alt_ft;
    EXPECT_FLOAT_EQ(hold_alt_ref, c.alt_ft);
  }
}

TEST_F(HoldGeometry, WindRaisesTheRadiusSpeed) {
  // Wind from the north (to 180) at 20 kt, heading north, hold course 090:
  // 20 kt headwind on the heading, all of it across the hold course.
  host_mirror.sim_cockpit2_gauges_indicators_wind_speed_kts = 20.0f;
  host_mirror.sim_cockpit2_gauges_indicators_wind_heading_deg_mag = 0.0f;
  host_mirror.sim_cockpit2_gauges_indicators_heading_AHARS_deg_mag_pilot = 0.0f;
  legs_crs_mag[kHold] = 90.0f;
  legs_hold_time[kHold] = 60.0f;
  hold_pattern.hold_near[kHold] = 1;
  fix_ahead_s(60.0f);
  host_mirror.sim_flightmodel_position_groundspeed = static_cast<float>(mps(150.0));
  compute_hold_pattern(kHold);
  // Leg ahead: air 170 kt plus the larger wind component.
  EXPECT_NEAR(hold_pattern.hold_speed[kHold], 190.0f, 1e-2);
  EXPECT_NEAR(hold_pattern.hold_leg_len[kHold], 190.0 * 0.51444 * 60.0 / 1852.0, 1e-4);

  // Active leg: the legs are flown at air speed plus the along-course wind.
  set_text(route_tables.leg_path_types[kActive], "HM");
  legs_crs_mag[kActive] = 90.0f;
  legs_hold_time[kActive] = 60.0f;
  fms_seq.nav_mode = 3.0f;
  compute_hold_pattern(kActive);
  EXPECT_NEAR(hold_pattern.hold_speed[kActive], 190.0f, 1e-2);
  EXPECT_NEAR(hold_pattern.hold_leg_len[kActive], 170.0 * 0.51444 * 60.0 / 1852.0, 1e-4);
}

TEST_F(HoldGeometry, ActiveHoldSpeedAndRadiusInThePattern) {
  set_text(route_tables.leg_path_types[kActive], "HM");
  legs_lat[kActive] = 40.0f;
  fms_seq.nav_mode = 3.0f;
  host_mirror.sim_flightmodel_position_groundspeed = static_cast<float>(mps(190.0));
  struct Case {
    int32_t region;
    float stored_kt, stored_radius;
    double speed_kt;
    bool radius_kept;
  } cases[] = {
      {200, 180.0f, 2.0f, 190.0, true},     // not yet in the pattern: new speed, radius held
      {300, 180.0f, 2.0f, 180.05, false},   // inbound straight: one knot per second
      {300, 195.0f, 2.0f, 194.95, false},
      {301, 180.0f, 2.0f, 180.0, true},     // elsewhere in the pattern: kept
      {302, 140.0f, 2.0f, 190.0, true},     // a stored speed under 145 is not kept
      {301, 0.0f, 0.0f, 190.0, false},      // nothing stored yet
  };
  for (const Case& c : cases) {
    route_track.region = c.region;
    hold_pattern.hold_speed[kActive] = c.stored_kt;
    hold_pattern.hold_radius[kActive] = c.stored_radius;
    compute_hold_pattern(kActive);
    EXPECT_NEAR(hold_pattern.hold_speed[kActive], c.speed_kt, 1e-3) << c.region;
    const double r = c.radius_kept ? c.stored_radius : radius_nm(23.0, c.speed_kt);
    EXPECT_NEAR(hold_pattern.hold_radius[kActive], r, 1e-3) << c.region;
    // Centre 1 lies one stored radius from the fix.
    EXPECT_NEAR(gc_distance_nm(legs_lat[kActive], legs_lon[kActive], hold_pattern.hold_ctr1_lat[kActive],
                               hold_pattern.hold_ctr1_lon[kActive]),
                r, 2e-3);
  }
}

TEST_F(HoldGeometry, PatternPointsOnBothSides) {
  host_mirror.sim_flightmodel_position_magnetic_variation = 10.0f;
  simhost::set_magnetic_variation(50.0f);  // the fix's own variation is not used for holds
  legs_crs_mag[kHold] = 100.0f;            // 090 true
  legs_hold_dist[kHold] = 6.0f;
  hold_pattern.hold_near[kHold] = 1;
  fix_ahead_s(60.0f);
  host_mirror.sim_flightmodel_position_groundspeed = static_cast<float>(mps(200.0));
  struct Case {
    float rad_turn;
    float side, side_away;
  } cases[] = {{0.0f, 0.0f, 180.0f}, {1.0f, 180.0f, 0.0f}, {2.0f, 0.0f, 180.0f}, {3.0f, 180.0f, 0.0f}};
  for (const Case& c : cases) {
    legs_rad_turn[kHold] = c.rad_turn;
    compute_hold_pattern(kHold);
    const HoldPatternArrays& h = hold_pattern;
    EXPECT_NEAR(h.hold_crs_true[kHold], 90.0f, 1e-4);
    EXPECT_NEAR(h.hold_side[kHold], c.side, 1e-4) << c.rad_turn;
    EXPECT_NEAR(h.hold_side_away[kHold], c.side_away, 1e-4) << c.rad_turn;
    const float r = h.hold_radius[kHold];
    EXPECT_NEAR(h.hold_leg_len[kHold], 6.0f, 1e-5);
    EXPECT_NEAR(gc_distance_nm(40.0, 10.0, h.hold_ctr1_lat[kHold], h.hold_ctr1_lon[kHold]), r, 1e-3);
    EXPECT_NEAR(std::remainder(gc_bearing(40.0, 10.0, h.hold_ctr1_lat[kHold], h.hold_ctr1_lon[kHold]) - c.side, 360.0f),
                0.0f, 0.05f);
    EXPECT_NEAR(gc_distance_nm(h.hold_ctr1_lat[kHold], h.hold_ctr1_lon[kHold], h.hold_ctr2_lat[kHold],
                               h.hold_ctr2_lon[kHold]),
                6.0, 1e-3);
    EXPECT_NEAR(gc_bearing(h.hold_ctr1_lat[kHold], h.hold_ctr1_lon[kHold], h.hold_ctr2_lat[kHold],
                           h.hold_ctr2_lon[kHold]),
                270.0, 0.05);
    // The far point lies abeam the fix's centre side: two radii off the inbound line.
    EXPECT_NEAR(gc_distance_nm(h.hold_ctr2_lat[kHold], h.hold_ctr2_lon[kHold], h.hold_far_lat[kHold],
                               h.hold_far_lon[kHold]),
                r, 1e-3);
    EXPECT_NEAR(gc_distance_nm(40.0, 10.0, h.hold_far_lat[kHold], h.hold_far_lon[kHold]),
                std::sqrt(36.0 + 4.0 * r * r), 5e-3);
  }
}

TEST_F(HoldGeometry, EntryTypeByArrivingAngle) {
  // Hold inbound course 000 true; arriving course c gives the angle
  // a = c + 180 folded into (-180, 180].
  struct Case {
    float a;
    float left, right;
  } cases[] = {
      {-4.5f, 5, 5},   {0.0f, 5, 5},    {0.5f, 5, 5},    {4.5f, 5, 5},     {5.0f, 3, 4},    {-5.0f, 4, 3},
      {69.5f, 3, 4},   {70.0f, 1, 4},   {-69.5f, 4, 3},  {-70.0f, 4, 1},   {109.5f, 1, 4},  {110.0f, 1, 2},
      {-109.5f, 4, 1}, {-110.0f, 2, 1}, {174.5f, 1, 2},  {175.0f, 0, 0},   {-174.5f, 2, 1}, {-175.0f, 0, 0},
      {180.0f, 0, 0},
  };
  hold_pattern.hold_near[kHold] = 1;
  fix_ahead_s(60.0f);
  for (const Case& c : cases) {
    float arriving = c.a + 180.0f;
    if (arriving >= 360.0f) arriving -= 360.0f;
    arrive_on(arriving);
    for (const float code : {0.0f, 2.0f}) {
      legs_rad_turn[kHold] = code;
      compute_hold_pattern(kHold);
      EXPECT_EQ(hold_pattern.hold_entry[kHold], c.left) << "left " << code << ", a = " << c.a;
    }
    legs_rad_turn[kHold] = 1.0f;
    compute_hold_pattern(kHold);
    EXPECT_EQ(hold_pattern.hold_entry[kHold], c.right) << "right, a = " << c.a;
  }
}

TEST_F(HoldGeometry, ActiveHoldKeepsItsEntryUntilTheFixTurn) {
  set_text(route_tables.leg_path_types[kActive], "HM");
  set_text(route_tables.leg_path_types[kActive - 1], "HA");
  legs_crs_mag[kActive - 1] = 90.0f;  // would give another entry type
  hold_pattern.hold_entry[kActive] = 4.0f;
  compute_hold_pattern(kActive);
  EXPECT_EQ(hold_pattern.hold_entry[kActive], 4.0f);
  hold_region_flag = 1;
  compute_hold_pattern(kActive);
  EXPECT_EQ(hold_pattern.hold_entry[kActive], 0.0f);
}

// ---- procedure turn ---------------------------------------------------------

class ProcTurn : public HoldGeometry {
 protected:
  void SetUp() override {
    HoldGeometry::SetUp();
    set_text(route_tables.leg_path_types[kPt], "PI");
    legs_lat[kPt] = 47.5f;
    legs_lon[kPt] = -122.3f;
  }
  static constexpr int kPt = 5;
};

TEST_F(ProcTurn, SpeedHeldBetween170And200Indicated) {
  struct Case {
    float gs_kt, alt_ft;
    double expect_kt;
  } cases[] = {
      {300.0f, 10000.0f, tas(200.0, 10000.0)},
      {100.0f, 10000.0f, tas(170.0, 10000.0)},
      {190.0f, 0.0f, 190.0},
  };
  for (const Case& c : cases) {
    host_mirror.sim_flightmodel_position_groundspeed = static_cast<float>(c.gs_kt / 1.9438445);
    host_mirror.sim_cockpit2_gauges_indicators_altitude_ft_pilot = c.alt_ft;
    compute_proc_turn(kPt);
    EXPECT_NEAR(proc_turn.pi_speed[kPt], c.expect_kt, 1e-3) << c.gs_kt;
    EXPECT_EQ(proc_turn.pi_near[kPt], 1);
    EXPECT_NEAR(proc_turn.pi_radius[kPt], radius_nm(22.0, c.expect_kt) * 1.1, 1e-3);
  }
  // The active leg keeps its speed; the ground speed no longer counts.
  fms_seq.vnav_idx = kPt + 1.0f;
  proc_turn.pi_speed[kPt] = 185.0f;
  host_mirror.sim_flightmodel_position_groundspeed = 50.0f;
  compute_proc_turn(kPt);
  EXPECT_FLOAT_EQ(proc_turn.pi_speed[kPt], 185.0f);
}

TEST_F(ProcTurn, CornerPointsAndLengths) {
  host_mirror.sim_flightmodel_position_groundspeed = static_cast<float>(180.0 / 1.9438445);
  simhost::set_magnetic_variation(-15.0f);  // west: true = magnetic + 15
  struct Case {
    float rad_turn, crs_mag;
  } cases[] = {{0.0f, 75.0f}, {2.0f, 200.0f}, {1.0f, 75.0f}, {3.0f, 340.0f}};
  for (const Case& c : cases) {
    legs_rad_turn[kPt] = c.rad_turn;
    legs_crs_mag[kPt] = c.crs_mag;
    compute_proc_turn(kPt);
    const ProcTurnArrays& p = proc_turn;
    const bool left = c.rad_turn == 0.0f || c.rad_turn == 2.0f;
    const float crs = std::fmod(c.crs_mag + 15.0f, 360.0f);
    const auto course = [crs](float add) { return std::fmod(crs + add, 360.0f); };
    const float inbound = course(left ? 135.0f : 225.0f);
    SCOPED_TRACE(testing::Message() << "turn " << c.rad_turn << " crs " << c.crs_mag);

    EXPECT_NEAR(p.pi_crs_true[kPt], crs, 1e-3);
    EXPECT_NEAR(p.pi_crs_a[kPt], course(left ? 225.0f : 135.0f), 1e-3);
    EXPECT_NEAR(p.pi_crs_b[kPt], course(left ? 270.0f : 90.0f), 1e-3);
    EXPECT_NEAR(p.pi_crs_c[kPt], course(left ? 90.0f : 270.0f), 1e-3);
    const double r = radius_nm(22.0, 180.0) * 1.1;
    const double out = 180.0 * 0.514444 * 120.0 / 1852.0;
    const double leg2 = 180.0 * 0.514444 * 75.0 / 1852.0;
    EXPECT_NEAR(p.pi_radius[kPt], r, 1e-4);
    EXPECT_NEAR(p.pi_out_dist[kPt], out, 1e-4);
    EXPECT_NEAR(p.pi_leg2_dist[kPt], leg2, 1e-4);
    EXPECT_NEAR(p.pi_arc1[kPt], r * kPi / 4.0, 1e-4);
    EXPECT_NEAR(p.pi_arc2[kPt], r * kPi, 1e-4);

    // The chain of corners is walked point by point in the route geometry
    // tests; here the ends: out along the reciprocal of the inbound course,
    // and back in on the inbound course, tangent to the final turn.
    const double fl = legs_lat[kPt], fo = legs_lon[kPt];
    auto same_course = [](float a, float b) { return std::fabs(std::remainder(a - b, 360.0f)); };
    EXPECT_NEAR(gc_distance_nm(fl, fo, p.pi_p1_lat[kPt], p.pi_p1_lon[kPt]), out, 1e-3);
    EXPECT_LT(same_course(gc_bearing(fl, fo, p.pi_p1_lat[kPt], p.pi_p1_lon[kPt]), inbound + 180.0f), 0.05f);
    EXPECT_LT(same_course(gc_bearing(p.pi_p8_lat[kPt], p.pi_p8_lon[kPt], fl, fo), inbound), 0.2f);
    EXPECT_LT(same_course(gc_bearing(p.pi_p6_lat[kPt], p.pi_p6_lon[kPt], p.pi_p7_lat[kPt], p.pi_p7_lon[kPt]),
                          crs + 180.0f),
              0.2f);
    EXPECT_NEAR(p.pi_last_dist[kPt], gc_distance_nm(p.pi_p8_lat[kPt], p.pi_p8_lon[kPt], fl, fo), 1e-4);
    EXPECT_NEAR(p.pi_fg_dist[kPt],
                gc_distance_nm(p.pi_p6_lat[kPt], p.pi_p6_lon[kPt], p.pi_p7_lat[kPt], p.pi_p7_lon[kPt]), 1e-4);
    EXPECT_GT(p.pi_last_dist[kPt], 0.5);
    EXPECT_NEAR(p.pi_lenght[kPt],
                2.0 * p.pi_arc1[kPt] + out + leg2 + p.pi_arc2[kPt] + p.pi_fg_dist[kPt] + p.pi_last_dist[kPt], 1e-3);
  }
}

TEST_F(ProcTurn, ClearingEmptiesTheLegButTheHoldNearFlag) {
  host_mirror.sim_flightmodel_position_groundspeed = 90.0f;
  legs_crs_mag[kPt] = 30.0f;
  route_track.abeam_dist_bp = -30.0f;  // at the fix: near
  compute_hold_pattern(kPt);
  compute_proc_turn(kPt);
  ASSERT_GT(proc_turn.pi_lenght[kPt], 0.0f);
  ASSERT_EQ(hold_pattern.hold_near[kPt], 1);
  clear_hold_pattern(kPt);
  clear_proc_turn(kPt);
  HoldPatternArrays hold_empty{};
  hold_empty.hold_near[kPt] = 1;
  const ProcTurnArrays pt_empty{};
  EXPECT_EQ(std::memcmp(&hold_pattern, &hold_empty, sizeof hold_empty), 0);
  EXPECT_EQ(std::memcmp(&proc_turn, &pt_empty, sizeof pt_empty), 0);
}

// ---- bad input ---------------------------------------------------------------

TEST_F(ProcTurn, OutOfRangeLegsAndActiveIndexTouchNothing) {
  const HoldPatternArrays hold_before = hold_pattern;
  for (int32_t leg : {-1, 256, 1000, INT32_MIN, INT32_MAX}) {
    compute_hold_pattern(leg);
    clear_hold_pattern(leg);
    compute_proc_turn(leg);
    clear_proc_turn(leg);
  }
  EXPECT_EQ(std::memcmp(&hold_before, &hold_pattern, sizeof hold_pattern), 0);
  // An active leg far outside the table reads as no active leg.
  for (float idx : {1e9f, -1e9f, NAN, 257.0f}) {
    fms_seq.vnav_idx = idx;
    fix_ahead_s(60.0f);
    compute_hold_pattern(kHold);
    EXPECT_TRUE(std::isfinite(hold_pattern.hold_ctr1_lat[kHold]));
  }
}

TEST_F(ProcTurn, NonFiniteOrExtremeLegValuesGiveFiniteGeometry) {
  struct Case {
    float lat, lon, crs, turn, time, dist;
  } cases[] = {
      {NAN, 10.0f, 90.0f, 0.0f, 60.0f, 0.0f},
      {40.0f, INFINITY, 90.0f, 1.0f, 0.0f, 0.0f},
      {40.0f, 10.0f, NAN, NAN, NAN, NAN},
      {40.0f, 10.0f, 1e30f, -7.0f, -1e30f, 1e30f},
      {89.9f, 179.9f, -720.0f, 2.0f, 0.0f, -5.0f},
  };
  host_mirror.sim_flightmodel_position_groundspeed = 120.0f;
  for (const Case& c : cases) {
    for (int leg : {kHold, kPt}) {
      legs_lat[leg] = c.lat;
      legs_lon[leg] = c.lon;
      legs_crs_mag[leg] = c.crs;
      legs_rad_turn[leg] = c.turn;
      legs_hold_time[leg] = c.time;
      legs_hold_dist[leg] = c.dist;
    }
    hold_pattern.hold_near[kHold] = 1;
    compute_hold_pattern(kHold);
    compute_proc_turn(kPt);
    const float* hold_values = &hold_pattern.hold_leg_len[0];
    for (size_t k = 0; k < offsetof(HoldPatternArrays, hold_near) / sizeof(float); ++k) {
      ASSERT_TRUE(std::isfinite(hold_values[k])) << "hold value " << k / 256 << " lat " << c.lat;
    }
    const ProcTurnArrays& p = proc_turn;
    for (const float* a : {p.pi_crs_true, p.pi_radius, p.pi_speed, p.pi_p1_lat, p.pi_p2_lon, p.pi_p4_lat, p.pi_p6_lon,
                           p.pi_x_lat, p.pi_x_lon, p.pi_p7_lat, p.pi_p8_lon, p.pi_last_dist, p.pi_fg_dist,
                           p.pi_lenght}) {
      ASSERT_TRUE(std::isfinite(a[kPt])) << "procedure turn, lat " << c.lat << " crs " << c.crs;
    }
  }
}

}  // namespace
