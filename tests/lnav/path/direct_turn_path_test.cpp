// The turn of an active direct-to from the present position and heading onto
// the tangent course to the active waypoint.
#include <gtest/gtest.h>

#include <cmath>

#include "core/binding.h"
#include "core/preprocess_values.h"
#include "lnav/route/route_intake.h"
#include "host.h"
#include "lnav/route/fms_legs.h"
#include "lnav/guidance_steps.h"
#include "lnav/path/leg_path.h"
#include "navdata/geodesy.h"

namespace {

struct P {
  double lat, lon;
};
P go(P a, double crs, double d) {
  gc_destination(a.lat, a.lon, crs, d);
  return {nav_result.lat, nav_result.lon};
}
float dist(P a, P b) { return gc_distance_nm(a.lat, a.lon, b.lat, b.lon); }
float brg(P a, P b) { return gc_bearing(a.lat, a.lon, b.lat, b.lon); }
float off(float a, float b) {
  float d = std::fmod(a - b + 720.0f, 360.0f);
  return d > 180.0f ? d - 360.0f : d;
}

const P kAircraft{40.0, -70.0};
constexpr float kGsKt = 250.0f;
// 22 degrees of bank at 250 kt, 10 % wider: 250^2 / (tan 22 x 68620) x 1.1.
constexpr float kRadiusNm = 2.480f;

class DirectTurnPath : public ::testing::Test {
 protected:
  void SetUp() override {
    simhost::reset(simhost::Config{});
    for (XPLMDataRef& h : bound_handles) h = nullptr;
    bind_script_datarefs();
    host_mirror = HostMirror{};
    host_mirror.sim_flightmodel_position_latitude = kAircraft.lat;
    host_mirror.sim_flightmodel_position_longitude = kAircraft.lon;
    host_mirror.sim_cockpit2_gauges_indicators_heading_AHARS_deg_mag_pilot = 10.0f;
    host_mirror.sim_flightmodel_position_groundspeed = kGsKt / 1.94384449f;
    frame_flight_data = FrameFlightData{};
    frame_flight_data.mag_var_deg = 10.0f;  // true heading 000
    fms_seq = FmsSequenceState{};
    fms_seq.intdir_act = 3.0f;
    fms_seq.vnav_idx = 3.0f;  // active waypoint: entry 2
    fms_seq.legs_num = 4.0f;
    for (int k = 0; k < 256; ++k) legs_lat[k] = legs_lon[k] = 0.0f;
    direct_to_turn_path = DirectToTurnPath{};
  }
  void waypoint(P w) {
    legs_lat[2] = static_cast<float>(w.lat);
    legs_lon[2] = static_cast<float>(w.lon);
  }
  P active() const { return {legs_lat[2], legs_lon[2]}; }
};

TEST_F(DirectTurnPath, TurnsOntoTheTangentCourse) {
  struct Case {
    const char* what;
    float wpt_brg;     // from the aircraft, 20 nm out
    float turn;        // side code
    float final_crs;   // tangent course, degrees true
    float arc_deg;     // degrees of turn
  };
  // Centre 2.48 nm abeam; waypoint 17.52 nm from it: the tangent leaves the
  // circle 81.86 degrees round from the waypoint's radial.
  const Case cases[] = {
      {"right, waypoint abeam", 90.0f, 3.0f, 98.14f, 98.14f},
      {"left, waypoint abeam", 270.0f, 2.0f, 261.86f, 98.14f},
      {"right, 5.5 degrees off", 5.5f, 3.0f, -1.0f, -1.0f},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    waypoint(go(kAircraft, c.wpt_brg, 20.0));
    calc_direct_turn_path();
    const DirectToTurnPath& p = direct_to_turn_path;
    ASSERT_EQ(p.valid, 1);
    EXPECT_EQ(p.turn, c.turn);
    EXPECT_NEAR(p.radius_nm, kRadiusNm, 0.005f);
    const P ctr{p.ctr_lat, p.ctr_lon};
    const P end{p.end_lat, p.end_lon};
    // The turn starts at the aircraft, square to its heading, on the turn side.
    EXPECT_NEAR(dist(ctr, kAircraft), kRadiusNm, 0.01f);
    EXPECT_NEAR(std::fabs(off(brg(kAircraft, ctr), c.turn == 3.0f ? 90.0f : 270.0f)), 0.0f, 0.1f);
    // It ends on its circle, flying the final course, which points at the waypoint.
    EXPECT_NEAR(dist(ctr, end), kRadiusNm, 0.01f);
    const float flown = brg(ctr, end) + (c.turn == 3.0f ? 90.0f : 270.0f);
    EXPECT_NEAR(std::fabs(off(flown, p.final_crs)), 0.0f, 0.3f);
    EXPECT_NEAR(std::fabs(off(brg(end, active()), p.final_crs)), 0.0f, 0.3f);
    if (c.final_crs >= 0.0f) {
      EXPECT_NEAR(std::fabs(off(p.final_crs, c.final_crs)), 0.0f, 0.3f);
      EXPECT_NEAR(p.arc_nm, kRadiusNm * c.arc_deg * 3.14159265f / 180.0f, 0.03f);
    }
  }
}

TEST_F(DirectTurnPath, NoTurnAheadOrInsideTheCircle) {
  const struct {
    const char* what;
    float wpt_brg, wpt_dist;
  } cases[] = {
      {"4.9 degrees off: straight", 4.9f, 20.0f},
      {"inside the turn circle", 90.0f, 1.0f},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    waypoint(go(kAircraft, 90.0, 20.0));
    calc_direct_turn_path();
    ASSERT_EQ(direct_to_turn_path.valid, 1);
    waypoint(go(kAircraft, c.wpt_brg, c.wpt_dist));
    calc_direct_turn_path();
    const DirectToTurnPath& p = direct_to_turn_path;
    EXPECT_EQ(p.valid, 0);
    EXPECT_EQ(p.radius_nm, 0.0f);
    EXPECT_EQ(p.turn, 0.0f);
    // The course straight to the waypoint.
    EXPECT_NEAR(std::fabs(off(p.final_crs, brg(kAircraft, active()))), 0.0f, 1e-3f);
  }
}

TEST_F(DirectTurnPath, WithoutAnActiveDirectToTheCourseIsNone) {
  const struct {
    const char* what;
    float intdir_act, vnav_idx;
  } cases[] = {
      {"no direct-to", 0.0f, 3.0f},
      {"requested, not yet taken", 1.0f, 3.0f},
      {"taken by the path build", 2.0f, 3.0f},
      {"first leg active", 3.0f, 1.0f},
      {"active leg beyond the table", 3.0f, 300.0f},
      {"active leg not a number", 3.0f, std::nanf("")},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    fms_seq.intdir_act = 3.0f;
    fms_seq.vnav_idx = 3.0f;
    waypoint(go(kAircraft, 90.0, 20.0));
    calc_direct_turn_path();
    ASSERT_EQ(direct_to_turn_path.valid, 1);
    fms_seq.intdir_act = c.intdir_act;
    fms_seq.vnav_idx = c.vnav_idx;
    calc_direct_turn_path();
    EXPECT_EQ(direct_to_turn_path.final_crs, -1.0f);
    EXPECT_EQ(direct_to_turn_path.valid, 0);
    EXPECT_EQ(direct_to_turn_path.radius_nm, 0.0f);
  }
}

TEST_F(DirectTurnPath, LeavesTheModifiedRouteTurnToItsOwnStep) {
  // The modified route's turn is handed to the scripts once a frame by its
  // own step; this one writes nothing to them.
  waypoint(go(kAircraft, 90.0, 20.0));
  calc_direct_turn_path();
  fms_seq.intdir_act = 0.0f;
  calc_direct_turn_path();
  for (const char* name : {"zuvadud/D738/fms/intdir_trk2", "zuvadud/D738/fms/intdir_radius_mod",
                           "zuvadud/D738/fms/intdir_turn_mod", "zuvadud/D738/fms/intdir_end_lat_mod"}) {
    EXPECT_EQ(simhost::counts(name).writes, 0) << name;
  }
}

}  // namespace
