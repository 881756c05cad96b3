// Steering values: the flight director's shaping laws (worked numbers), its
// roll and pitch bars' limits, bands and capture tracks, the controller's
// error bands, the servo laws' trim steps, and the piece of path LNAV
// steering flies in each mode and phase, through the simulated host.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "core/binding.h"
#include "core/frame_values.h"
#include "core/preprocess_values.h"
#include "display/display_steps.h"
#include "host.h"
#include "lnav/guidance_steps.h"
#include "lnav/steering/flight_director.h"
#include "lnav/path/path_position.h"
#include "lnav/route/fms_legs.h"
#include "lnav/route/hold_geometry.h"
#include "lnav/route/route_intake.h"
#include "lnav/route/route_state.h"
#include "lnav/route/route_tracking.h"
#include "lnav/steering/lnav_steering.h"
#include "lnav/steering/controller.h"
#include "lnav/steering/servo_laws.h"
#include "lnav/steering/steering_helpers.h"
#include "navdata/air_data.h"
#include "navdata/geodesy.h"
#include "systems/electrical/electric_values.h"
#include "lnav/route_fixture.h"

namespace {

constexpr const char* kRollBar = "sim/cockpit/autopilot/flight_director_roll";
constexpr const char* kPitchBar = "sim/cockpit/autopilot/flight_director_pitch";

void mirror(bound::Id id, float v) { set_mirror_f(id, v); }

// ---- shaping laws: one row per gain, breakpoint and limit ------------------------

TEST(ShapingValues, WorkedTargetsAndSteps) {
  enum Law { kVs, kAlt, kSpeed, kToga, kGs, kRoll };
  struct Row {
    Law law;
    int32_t host;
    float ap, gs_mps, multiplier;
    float a[8];  // the law's arguments before theta, F, t (boost / mult last)
    float theta, F, T, S;
  };
  // t is 0.1 s throughout.
  const Row rows[] = {
      // vs: host 12 authority x 0.9 and gain 1.2 at 157.5 m/s; boost x 1.4; 2 x acceleration lead.
      {kVs, 120000, 1, 157.5f, 1, {500, 0, 50, 0}, 1, 0, 1.32103f, 2.45455f},
      {kVs, 120000, 1, 157.5f, 1, {500, 0, 50, 1}, 1, 0, 1.44945f, 2.45455f},
      {kVs, 110000, 1, 180.0f, 1, {600, 100, -20, 0}, 0, 0, 0.378f, 2.26364f},
      // vs off: own step shrinks to 2200 fpm, then 0.00001; distance term below 8 degrees.
      {kVs, 110000, 0, 50.0f, 1, {2000, 0, 0, 0}, 0, 0, 6.495f, 0.272728f},
      {kVs, 110000, 0, 50.0f, 1, {2300, 0, 0, 0}, 0, 0, 7.46925f, 0.0672232f},
      {kVs, 110000, 0, 50.0f, 1, {2500, 0, 0, 0}, 0, 1.12f, 8.11875f, 0.0629888f},
      // alt: 200 ft off at multiplier 9 (k 1400), host 12 gain 1.4 at 157.5 m/s, 4 x lead, floor 0.6.
      {kAlt, 120000, 1, 157.5f, 9, {10200, 10000, 0, 100, 10}, 1, 0, 1.38813f, 0.06f},
      {kAlt, 110000, 0, 50.0f, 1, {9900, 10000, 0, -200, 20}, 0, 0, -1.38937f, 0.05f},
      {kAlt, 110000, 1, 50.0f, 20, {9000, 10000, 0, 0, 0}, 0, 0, -0.3464f, 0.06f},
      {kAlt, 110000, 0, 50.0f, 1, {9000, 10000, 0, 0, 0}, 0, 0, -6.84f, 0.12f},
      // speed: multiplier 9 gain 1.1, host 12 x 0.8; take-off half gain, lead 4 - 3a/20 engaged.
      {kSpeed, 110000, 1, 0, 9, {250, 240, 0.2f, 0.1f}, 2, 2, 1.92f, 0.05f},
      {kSpeed, 120000, 1, 0, 9, {250, 240, 0.2f, 0.1f}, 2, 2, 1.964f, 0.05f},
      {kToga, 120000, 1, 0, 9, {250, 240, 0.2f, 0.1f}, 2, 2, 2.07f, 0.05f},
      {kToga, 110000, 0, 0, 9, {250, 240, 0.2f, 0.1f}, 2, 2, 2.18f, 0.05f},
      {kSpeed, 110000, 1, 0, 9, {250, 280, 0, 0.3f}, 2, 2, 2.56f, 0.07f},  // error counted to 20 kt
      {kSpeed, 110000, 1, 0, 9, {280, 250, 0, 0.3f}, 2, 2, 1.68f, 0.05f},  // either way
      {kSpeed, 110000, 1, 0, 9, {250, 280, 3, 0}, 2, 2, 2.6f, 0.075f},      // trend error held at 1.5
      // glideslope: one dot high with rates, per host and engagement; pegged low.
      {kGs, 110000, 1, 0, 1, {1, 0.05f, 0.02f, 0.8f}, 1, 1, 0.0595307f, 0.05f},
      {kGs, 120000, 1, 0, 1, {1, 0.05f, 0.02f, 0.8f}, 1, 1, -0.266115f, 0.05f},
      {kGs, 120000, 0, 0, 1, {1, 0.05f, 0.02f, 0.8f}, 1, 1, -0.268224f, 0.05f},
      {kGs, 110000, 1, 0, 1, {-3, -2, 0, 1}, 0, 0, 7.0f, 0.1f},
      // roll: host 12 gain 0.9 at 128.5 m/s; error held at 20; 0.4 engaged, 0.5 off.
      {kRoll, 120000, 1, 128.5f, 1, {15, 2, 1, 2}, 0, 0, 6.23936f, 12.0f},
      {kRoll, 110000, 1, 0, 1, {40, 0, 0, 0}, 0, 0, 8.0f, 20.0f},
      {kRoll, 110000, 0, 0, 1, {-40, 0, 0, 0}, 0, 0, -10.0f, 20.0f},
  };
  for (const Row& r : rows) {
    host_version = r.host;
    mirror(bound::zuvadud_autopilot_ap_on, r.ap);
    mirror(bound::sim_flightmodel_position_groundspeed, r.gs_mps);
    mirror(bound::sim_time_ground_speed_flt, r.multiplier);
    float T = 0.0f, S = 0.0f;
    const float* a = r.a;
    const float th = r.theta, F = r.F, t = 0.1f;
    switch (r.law) {
      case kVs: vs_pitch(a[0], a[1], a[2], th, F, t, T, S, static_cast<int32_t>(a[3])); break;
      case kAlt: alt_pitch(a[0], a[1], a[2], a[3], a[4], th, F, t, T, S); break;
      case kSpeed: speed_pitch(a[0], a[1], a[2], a[3], th, F, t, T, S); break;
      case kToga: toga_pitch(a[0], a[1], a[2], a[3], th, F, t, T, S); break;
      case kGs: gs_pitch(a[0], a[1], a[2], a[3], th, F, t, T, S); break;
      case kRoll: roll_bar_target(a[0], a[1], a[2], a[3], F, t, T, S); break;
    }
    const int row = static_cast<int>(&r - rows);
    EXPECT_NEAR(T, r.T, 2e-4f * std::fmax(1.0f, std::fabs(r.T))) << "row " << row;
    EXPECT_NEAR(S, r.S, 2e-4f * std::fmax(1.0f, std::fabs(r.S))) << "row " << row;
  }
}

// ---- the bars through the simulated host ----------------------------------------

class FdValues : public ::testing::Test {
 protected:
  void SetUp() override {
    simhost::reset();
    for (XPLMDataRef& h : bound_handles) h = nullptr;
    bind_outside_datarefs();
    bind_host_datarefs();
    bind_script_datarefs();
    fresh();
  }
  // A table row's start: the bars' state and the frame values the rows set.
  static void fresh() {
    host_mirror = HostMirror{};
    script_mirror = ScriptMirror{};
    frame_flight_data = FrameFlightData{};
    flight_director_state = FlightDirectorState{};
    airspeed_display = AirspeedDisplayState{};
    set_controller_limits();
    global_state_loaded = 0.0f;
    fd_saved_refs_pending = 0;
    on_ground = 0;
    frame_time = 0.1f;
    host_version = 110000;
    electric::ac_stdbus_status = electric::dc_bus2_status = 1.0f;  // the NAV receivers
    electric::ac_tnsbus1_status = 1.0f;                           // the trim motor
    mirror(bound::zuvadud_autopilot_ap_on, 1.0f);
    mirror(bound::sim_time_ground_speed_flt, 1.0f);
    mirror(bound::sim_operation_override_override_flightdir_roll, 1.0f);
    mirror(bound::sim_operation_override_override_flightdir_ptch, 1.0f);
    mirror(bound::sim_cockpit2_autopilot_bank_angle_mode, 6.0f);
    mirror(bound::sim_cockpit2_gauges_indicators_radio_altimeter_height_ft_pilot, 3000.0f);
    simhost::set_float("zuvadud/autopilot/fdir_pitch_active", 1.0f);
  }
  void TearDown() override {
    for (const std::string& p : simhost::problems()) ADD_FAILURE() << p;
    simhost::reset();
  }
  // Banked and held at `roll` with the bar on it: the bar stays only when the
  // law's bank command is exactly `roll`.
  static void steady_roll(float roll) {
    mirror(bound::sim_cockpit2_gauges_indicators_roll_AHARS_deg_pilot, roll);
    flight_director_state.roll_sample_deg = roll;
    flight_director_state.fd_roll_cpt = flight_director_state.fd_roll_fo = roll;
  }
  static void heading(float hdg, float rate_dps) {
    mirror(bound::sim_cockpit2_gauges_indicators_heading_AHARS_deg_mag_pilot, hdg);
    flight_director_state.hdg_sample_deg = hdg - rate_dps * frame_time;
  }
};

TEST_F(FdValues, BankLimitBySelectorRollModeAndRadioAltitude) {
  struct Case {
    float roll_mode;
    int bank_mode;
    float radio_alt, limit;
  } cases[] = {
      {1, 2, 3000, 10}, {1, 3, 3000, 15}, {1, 4, 3000, 20}, {1, 5, 3000, 25}, {1, 6, 3000, 30},
      {4, 6, 199, 8},   {4, 6, 200, 15},  {8, 6, 400, 15},  {4, 6, 401, 30},  {13, 6, 100, 8},
      {12, 6, 100, 30}, {4, 2, 300, 10},
  };
  for (const Case& c : cases) {
    fresh();
    simhost::set_float("zuvadud/D738/autopilot/heading_mode", c.roll_mode);
    mirror(bound::sim_cockpit2_autopilot_bank_angle_mode, static_cast<float>(c.bank_mode));
    mirror(bound::sim_cockpit2_gauges_indicators_radio_altimeter_height_ft_pilot, c.radio_alt);
    mirror(bound::sim_cockpit2_autopilot_heading_dial_deg_mag_pilot, 90.0f);  // 90 degrees to turn
    heading(0.0f, 0.0f);
    steady_roll(c.limit);
    const int writes = simhost::counts(kRollBar).writes;
    update_flight_director();
    ASSERT_EQ(simhost::counts(kRollBar).writes, writes + 1);
    EXPECT_NEAR(simhost::get_float(kRollBar), c.limit, 1e-4f)
        << "mode " << c.roll_mode << " selector " << c.bank_mode << " at " << c.radio_alt << " ft";
  }
}

TEST_F(FdValues, RollStepLimitByHostAndWingsLevelModes) {
  struct Case {
    int32_t host;
    float roll_mode, roll, step;
  } cases[] = {
      {120000, 1, 7, 0.2f},   // bank 10 against 7: returned step 3, below 4: x 2
      {120000, 1, 1, 0.25f},  // step 9: 2 + 0.5
      {120000, 1, -5, 0.3f},  // step 15: above 14, x 3
      {120000, 15, 10, -0.16f}, {120000, 18, 10, -0.16f},  // wings level: 1.6 on any host
  };
  for (const Case& c : cases) {
    fresh();
    host_version = c.host;
    simhost::set_float("zuvadud/D738/autopilot/heading_mode", c.roll_mode);
    mirror(bound::sim_cockpit2_autopilot_bank_angle_mode, 2.0f);
    mirror(bound::sim_cockpit2_autopilot_heading_dial_deg_mag_pilot, 90.0f);
    heading(0.0f, 0.0f);
    steady_roll(c.roll);
    update_flight_director();
    EXPECT_NEAR(simhost::get_float(kRollBar), c.roll + c.step, 1e-5f) << c.host << " mode " << c.roll_mode;
  }
}

// Course capture on course 090: intercept tracks 45 and 25 x sin of the
// deviation's share of 2.5 dots, the inside reduction and its 8..12 s fade,
// the 4.5 s deviation lead and the track reference above 45 m/s.
TEST_F(FdValues, CaptureBankTowardTheInterceptTrack) {
  struct Case {
    float ldev, ldev_rate;
    int inside;
    float inside_time, hdg, track, gs_mps, hdg_rate;
    float bank;  // the law's bank command
    int inside_after;
    float time_after;
  } cases[] = {
      {-1.25f, 0, 1, 12, 58.59f, 0, 0, 0, 14.99881f, 1, 12},
      {-1.25f, 0, 1, 10, 65, 0, 0, 0, 15.51977f, 1, 10},
      {-0.5f, 0, 0, 0, 80, 0, 0, 0, 10.80942f, 1, 0.1f},
      {-2, 0, 0, 5, 71.22f, 0, 0, 0, -14.99024f, 0, 4.9f},
      {2, 0, 0, 0, 100, 0, 0, 0, 29.75406f, 0, 0},
      {-1.25f, 0, 1, 12, 90, 58.59f, 50, 0, 14.99881f, 1, 12},
      {-1.25f, 0, 1, 12, 58.59f, 0, 0, 1, 10.25948f, 1, 12},
      {0.3f, 0.1f, 0, 0, 95, 0, 0, 0, 12.69623f, 1, 0.1f},
  };
  for (const Case& c : cases) {
    fresh();
    simhost::set_float("zuvadud/D738/autopilot/heading_mode", 2.0f);
    mirror(bound::sim_cockpit2_autopilot_nav_status, 2.0f);
    mirror(bound::sim_cockpit2_radios_actuators_nav1_obs_deg_mag_pilot, 90.0f);
    mirror(bound::sim_cockpit2_radios_indicators_nav1_hdef_dots_pilot, c.ldev);
    flight_director_state.ldev_sample = c.ldev - c.ldev_rate * frame_time;
    flight_director_state.loc_inside = static_cast<uint8_t>(c.inside);
    flight_director_state.loc_inside_time = c.inside_time;
    mirror(bound::sim_cockpit2_gauges_indicators_ground_track_mag_pilot, c.track);
    mirror(bound::sim_flightmodel_position_groundspeed, c.gs_mps);
    heading(c.hdg, c.hdg_rate);
    steady_roll(c.bank);
    update_flight_director();
    const int row = static_cast<int>(&c - cases);
    EXPECT_NEAR(simhost::get_float(kRollBar), c.bank, 0.01f) << "row " << row;
    EXPECT_EQ(flight_director_state.loc_inside, c.inside_after) << "row " << row;
    EXPECT_NEAR(flight_director_state.loc_inside_time, c.time_after, 1e-5f) << "row " << row;
  }
}

// Glideslope capture by radio altitude, autopilot off unless said (gain x 2.5,
// step 2.88 per second; engaged 4.8): one dot high, level, the bar started
// just above the expected target so that it lands on it.
TEST_F(FdValues, GlideslopeBandsAndCaps) {
  struct Case {
    float radio_alt, ap, vs, F;
    float bar;
  } cases[] = {
      {80, 0, 0, -1.8985f, -1.9485f},   // the law runs from 80 ft
      {399, 0, 0, -1.8985f, -1.9485f},
      {400, 0, 0, -2.53512f, -2.58512f},  // gain 0.8
      {800, 0, 0, -3.22178f, -3.27178f},  // gain 0.9
      {800, 0, -1200, -3.22178f, -2.93378f},  // sinking: the -1500 fpm bound wins
      {1200, 0, 0, -3.98925f, -4.03925f},   // full gain
      {1300, 1, 0, -0.36127f, -0.41127f},   // engaged: 7 x the rate error
      {200, 0, -600, -5, -4.95f},  // one dot high below 400 ft: still toward the beam
      {200, 1, -600, -5, -4.95f},
  };
  for (const Case& c : cases) {
    fresh();
    simhost::set_float("zuvadud/D738/autopilot/altitude_mode", 4.0f);
    mirror(bound::sim_cockpit2_autopilot_altitude_mode, 8.0f);
    mirror(bound::zuvadud_autopilot_ap_on, c.ap);
    mirror(bound::sim_cockpit2_gauges_indicators_radio_altimeter_height_ft_pilot, c.radio_alt);
    mirror(bound::sim_flightmodel_position_vh_ind_fpm, c.vs);
    flight_director_state.vs_sample_fpm = c.vs;
    mirror(bound::zuvadud_radios_pilot_nav_vdef, 1.0f);
    flight_director_state.vdev_sample[0] = 1.0f;
    flight_director_state.fd_pitch_cpt = c.F;
    update_flight_director();
    EXPECT_NEAR(simhost::get_float(kPitchBar), c.bar, 1e-3f) << c.radio_alt << " ft, ap " << c.ap;
  }
  // Down to the flare the bar follows the beam: 1.5 and 2 dots high or low
  // on a 700 fpm descent, level, either side, autopilot off or on.
  for (float ra : {300.0f, 230.0f, 150.0f}) {
    for (float dots : {1.5f, -1.5f, 2.0f, -2.0f}) {
      for (float ap : {0.0f, 1.0f}) {
        for (float side : {1.0f, 2.0f}) {
          fresh();
          simhost::set_float("zuvadud/D738/autopilot/altitude_mode", 4.0f);
          mirror(bound::sim_cockpit2_autopilot_altitude_mode, 8.0f);
          mirror(bound::zuvadud_autopilot_ap_on, ap);
          mirror(bound::zuvadud_autopilot_ap_side, side);
          mirror(bound::zuvadud_autopilot_fd_side, side);
          mirror(bound::sim_cockpit2_gauges_indicators_radio_altimeter_height_ft_pilot, ra);
          mirror(bound::sim_flightmodel_position_vh_ind_fpm, -700.0f);
          flight_director_state.vs_sample_fpm = -700.0f;
          mirror(side == 1.0f ? bound::zuvadud_radios_pilot_nav_vdef : bound::zuvadud_radios_copilot_nav_vdef_fo, dots);
          flight_director_state.vdev_sample[side == 1.0f ? 0 : 1] = dots;
          flight_director_state.fd_pitch_cpt = flight_director_state.fd_pitch_fo = 0.0f;
          for (int i = 0; i < 5; ++i) update_flight_director();
          const float bar = simhost::get_float(kPitchBar);
          EXPECT_TRUE(dots > 0.0f ? bar < -0.1f : bar > 0.1f)
              << ra << " ft, " << dots << " dots, ap " << ap << ", side " << side << ": bar " << bar;
        }
      }
    }
  }
}

// On G/S with the side's receiver unpowered (NAV 1 on the AC standby bus for
// the captain's, NAV 2 on DC bus 2 for the first officer's) the bar shown comes to the side's attitude within
// a second, director alone or autopilot on.
TEST_F(FdValues, GlideslopeDeadReceiverBarToTheAttitude) {
  for (int side : {1, 2}) {
    for (float ap : {0.0f, 1.0f}) {
      fresh();
      simhost::set_float("zuvadud/D738/autopilot/altitude_mode", 4.0f);
      mirror(bound::sim_cockpit2_autopilot_altitude_mode, 8.0f);
      mirror(bound::zuvadud_autopilot_ap_on, ap);
      mirror(bound::zuvadud_autopilot_ap_side, static_cast<float>(side));
      mirror(bound::zuvadud_autopilot_fd_side, static_cast<float>(side));
      mirror(bound::sim_cockpit2_gauges_indicators_radio_altimeter_height_ft_pilot, 1500.0f);
      mirror(bound::sim_cockpit2_gauges_indicators_pitch_AHARS_deg_pilot, 2.01f);
      mirror(bound::sim_cockpit2_gauges_indicators_pitch_AHARS_deg_copilot, 2.01f);
      flight_director_state.fd_pitch_cpt = flight_director_state.fd_pitch_fo = 4.41f;
      simhost::set_float(kPitchBar, 4.41f);
      (side == 1 ? electric::ac_stdbus_status : electric::dc_bus2_status) = 0.0f;
      for (int i = 0; i < 10; ++i) update_flight_director();
      EXPECT_NEAR(simhost::get_float(kPitchBar), 2.01f, 1e-4f) << "side " << side << ", ap " << ap;
    }
  }
}

// The side flown: the engaged autopilot's, else the master flight
// director's. VOR/LOC on 090 heading 090 with the receivers 2 dots apart
// (NAV 1 at -1, NAV 2 at +1): the roll bar banks toward the course as the
// side's own receiver shows it, so its sign is that receiver's.
TEST_F(FdValues, SideFromTheAutopilotElseTheMasterFlightDirector) {
  struct Case {
    float ap_on, ap_side, fd_side;
    float dev;  // the deviation flown: -1 NAV 1's, +1 NAV 2's
  } cases[] = {
      {0, 2, 1, -1}, {0, 1, 2, 1}, {0, 2, 2, 1}, {0, 1, 1, -1},  // director alone: the master's
      {1, 2, 1, 1},  {1, 1, 2, -1},                                // autopilot B, then A, engaged
  };
  for (const Case& c : cases) {
    fresh();
    simhost::set_float("zuvadud/D738/autopilot/heading_mode", 2.0f);
    mirror(bound::sim_cockpit2_autopilot_nav_status, 2.0f);
    mirror(bound::zuvadud_autopilot_ap_on, c.ap_on);
    mirror(bound::zuvadud_autopilot_ap_side, c.ap_side);
    mirror(bound::zuvadud_autopilot_fd_side, c.fd_side);
    mirror(bound::sim_cockpit2_radios_actuators_nav1_obs_deg_mag_pilot, 90.0f);
    mirror(bound::sim_cockpit2_radios_actuators_nav2_obs_deg_mag_copilot, 90.0f);
    mirror(bound::sim_cockpit2_radios_indicators_nav1_hdef_dots_pilot, -1.0f);
    mirror(bound::sim_cockpit2_radios_indicators_nav2_hdef_dots_copilot, 1.0f);
    flight_director_state.ldev_sample = c.dev;
    heading(90.0f, 0.0f);
    steady_roll(0.0f);
    update_flight_director();
    EXPECT_GT(simhost::get_float(kRollBar) * c.dev, 0.1f)
        << "ap " << c.ap_on << ", ap side " << c.ap_side << ", master " << c.fd_side;
  }
}

// Vertical-speed bounds of level change and VNAV speed (-350 descending, +200
// climbing; VNAV by flight phase 4..7), the take-off stage and its 18 degree
// limit, the climb-out stage (begun and flown only in the air), and the rates
// toward 15 degrees.
TEST_F(FdValues, PitchModeBoundsStagesAndRates) {
  struct Case {
    const char* what;
    float pitch_mode, host_mode, direction, phase;
    float prev_mode;  // last frame's pitch mode (entry when outside the row)
    int32_t stage;
    float vs, theta, airspeed, F;
    float bar;
    int32_t stage_after;
    int32_t ground;
  } cases[] = {
      {"level change down", 2, 0, 0, 0, 0, 0, 0, 0, 250, -0.2f, -0.245f, 0, 0},
      {"level change up", 2, 0, 1, 0, 0, 0, 0, 0, 250, 0.1f, 0.14f, 0, 0},
      {"vnav climb phase 3", 5, 5, 0, 3, 5, 0, 0, 0, 250, 0.1f, 0.14f, 0, 0},
      {"vnav phase 4", 5, 5, 0, 4, 5, 0, 0, 0, 250, -0.2f, -0.245f, 0, 0},
      {"vnav phase 7", 5, 5, 0, 7, 5, 0, 0, 0, 250, -0.2f, -0.245f, 0, 0},
      {"vnav phase 8", 5, 5, 0, 8, 5, 0, 0, 0, 250, 0.1f, 0.14f, 0, 0},
      {"take-off at 500 fpm", 8, 0, 0, 0, 0, 0, 500, 0, 250, 0, 0.725f, 0, 0},
      {"take-off above 500 fpm", 8, 0, 0, 0, 0, 0, 501, 0, 250, 0, 0.725f, 1, 0},
      {"take-off limited to 18", 8, 0, 0, 0, 8, 1, 0, 18, 300, 18.05f, 18.0f, 1, 0},
      {"climb-out unlimited", 9, 0, 0, 0, 9, 1, 0, 18, 300, 18.05f, 18.1f, 1, 0},
      {"climb-out at 1000 fpm", 9, 0, 0, 0, 0, 0, 1000, 0, 250, 0, 0.25f, 0, 0},
      {"climb-out above 1000 fpm", 9, 0, 0, 0, 0, 0, 1001, 0, 250, 0, 0.25f, 1, 0},
      {"go-around above 500 fpm", 11, 0, 0, 0, 0, 0, 501, 0, 250, 0, 0.725f, 1, 0},
      {"climb-out 10", 10, 0, 0, 0, 0, 0, 1001, 0, 250, 0, 0.25f, 1, 0},
      {"climb-out 12", 12, 0, 0, 0, 0, 0, 1001, 0, 250, 0, 0.25f, 1, 0},
      {"climb-out on the ground above 1000 fpm", 9, 0, 0, 0, 0, 0, 1001, 0, 250, 0, 0.25f, 0, 1},
      {"climb-out on the ground in stage 1", 9, 0, 0, 0, 9, 1, 0, 18, 300, 18.05f, 17.8f, 1, 1},
  };
  for (const Case& c : cases) {
    fresh();
    on_ground = c.ground;
    simhost::set_float("zuvadud/D738/autopilot/altitude_mode", c.pitch_mode);
    simhost::set_float("zuvadud/D738/autopilot/lvl_chg_mode", c.direction);
    simhost::set_float("zuvadud/D738/autopilot/vnav_engaged", 1.0f);
    mirror(bound::zuvadud_D738_FMS_flight_phase, c.phase);
    mirror(bound::sim_cockpit2_autopilot_altitude_mode, c.host_mode);
    flight_director_state.carried[kFdPrevPitchMode] = c.prev_mode;
    flight_director_state.carried[kFdPrevHostPitchMode] = c.host_mode;
    flight_director_state.ga_stage = c.stage;
    mirror(bound::sim_flightmodel_position_vh_ind_fpm, c.vs);
    flight_director_state.vs_sample_fpm = c.vs;
    mirror(bound::sim_cockpit2_gauges_indicators_pitch_AHARS_deg_pilot, c.theta);
    airspeed_display.smoothed_kt[0] = c.airspeed;
    mirror(bound::sim_cockpit2_autopilot_airspeed_dial_kts, 250.0f);
    flight_director_state.spd_target = 250.0f;
    flight_director_state.fd_pitch_cpt = c.F;
    update_flight_director();
    EXPECT_NEAR(simhost::get_float(kPitchBar), c.bar, 1e-4f) << c.what;
    EXPECT_EQ(flight_director_state.ga_stage, c.stage_after) << c.what;
  }
}

// ---- LNAV steering: the piece flown per hold and procedure-turn phase -----------

// Every straight's reference point lies on the aircraft (the command is the
// piece's course); every arc of radius 1 nm has its centre 1 nm north or
// south of it (the command is the tangent, 270 or 090 by side and centre,
// led 17.4 degrees into the turn at 200 kt).
class PieceSteering : public FdValues {
 protected:
  static constexpr float kAcLat = 0.0f, kAcLon = 1.9f;
  static constexpr float kNorth = 1.0f / 60.0f;
  static constexpr float kR = 17.4f, kL = -17.4f;  // the arcs' lead, right and left
  static void lnav_mode(float mode) {
    simhost::set_float("zuvadud/D738/autopilot/lnav_engaged", 1.0f);
    simhost::set_float("zuvadud/D738/fms/nav_mode", mode);
    set_mirror_f(bound::sim_flightmodel_position_latitude, kAcLat);
    set_mirror_f(bound::sim_flightmodel_position_longitude, kAcLon);
    set_mirror_f(bound::sim_flightmodel_position_groundspeed, 200.0f / 1.94384449f);
    fms_seq = FmsSequenceState{};
    fms_seq.vnav_idx = fms_seq.vnav_idx_seq = 3.0f;  // slot 2; the entry pieces in slot 1
    route_track = RouteTrackState{};
    route_change_values = RouteChangeValues{};
    lnav_cmd_cache = LnavCommandCache{};
  }
  static void arc(float& lat, float& lon, float side_lat, float& radius, float r) {
    lat = side_lat;
    lon = kAcLon;
    radius = r;
  }
  // Straight command (idx_corr) or arc command (idx_corr2) after one update.
  static void expect_command(bool arc_piece, float crs, const std::string& what) {
    update_lnav_steering();
    const float straight = lnav_cmd_cache.idx_corr_sent, turn = lnav_cmd_cache.idx_corr2_sent;
    const float got = arc_piece ? turn : straight;
    EXPECT_NEAR(std::remainder(got - crs, 360.0f), 0.0f, 1.0f) << what << (arc_piece ? " arc" : " straight");
    EXPECT_EQ(arc_piece ? straight : turn, 0.0f) << what;
  }
};

TEST_F(PieceSteering, HoldPhasesFlyTheirPieces) {
  HoldPatternArrays& h = hold_pattern;
  h = HoldPatternArrays{};
  h.hold_crs_true[2] = 90.0f;
  legs_lat[2] = kAcLat, legs_lon[2] = kAcLon;
  h.hold_far_lat[2] = kAcLat, h.hold_far_lon[2] = kAcLon;
  float r2 = 0.0f;
  arc(h.hold_ctr1_lat[2], h.hold_ctr1_lon[2], kNorth, h.hold_radius[2], 1.0f);
  arc(h.hold_ctr2_lat[2], h.hold_ctr2_lon[2], -kNorth, r2, 1.0f);
  legs_rad_turn[2] = 3.0f;
  arc(legs_seg1_ctr_lat[1], legs_seg1_ctr_lon[1], kNorth, legs_seg1_radius[1], 1.0f);
  legs_seg1_turn[1] = 2.0f;
  arc(legs_seg3_ctr_lat[1], legs_seg3_ctr_lon[1], -kNorth, legs_seg3_radius[1], 1.0f);
  legs_seg3_turn[1] = 2.0f;
  legs_seg3_pt_lat[1] = kAcLat, legs_seg3_pt_lon[1] = kAcLon;
  legs_seg2_end_lat[1] = kAcLat, legs_seg2_end_lon[1] = kAcLon;
  legs_seg3_end_lat[1] = 0.5f, legs_seg3_end_lon[1] = kAcLon;  // phase 9: from there, due south
  legs_seg2_crs_true[1] = 300.0f;
  struct Case {
    float phase;
    bool arc_piece;
    float crs;
  } cases[] = {
      {0, false, 90},       {1, true, 270 + kR},  {10, true, 270 + kR}, {2, false, 270},      {5, false, 270},
      {3, true, 90 + kR},   {4, true, 90 + kL},   {6, true, 90 + kL},   {11, true, 90 + kL},  {14, true, 90 + kL},
      {7, false, 270},      {8, true, 270 + kL},  {13, true, 270 + kL}, {16, true, 270 + kL}, {9, false, 180},
      {12, false, 300},     {15, false, 300},
  };
  for (const Case& c : cases) {
    lnav_mode(3.0f);
    fms_seq.hold_phase = c.phase;
    expect_command(c.arc_piece, c.crs, "hold phase " + std::to_string(c.phase));
  }
}

// A left procedure turn on course 090 (rad_turn 0 or 2): out on 045, the
// right turn, 090, the left turns and 270, back on 225.
TEST_F(PieceSteering, ProcedureTurnPhasesFlyTheirPieces) {
  ProcTurnArrays& t = proc_turn;
  t = ProcTurnArrays{};
  t.pi_crs_true[2] = 90.0f;
  legs_rad_turn[2] = 2.0f;
  t.pi_radius[2] = 1.0f;
  float r = 0.0f;
  for (float* p : {&t.pi_p1_lat[2], &t.pi_p4_lat[2], &t.pi_p7_lat[2], &legs_lat[2]}) *p = kAcLat;
  for (float* p : {&t.pi_p1_lon[2], &t.pi_p4_lon[2], &t.pi_p7_lon[2], &legs_lon[2]}) *p = kAcLon;
  arc(t.pi_p2_lat[2], t.pi_p2_lon[2], kNorth, r, 1.0f);
  arc(t.pi_p5_lat[2], t.pi_p5_lon[2], kNorth, r, 1.0f);
  arc(t.pi_x_lat[2], t.pi_x_lon[2], -kNorth, r, 1.0f);
  arc(legs_seg1_ctr_lat[1], legs_seg1_ctr_lon[1], kNorth, legs_seg1_radius[1], 1.0f);
  legs_seg1_turn[1] = 3.0f;
  struct Case {
    float rad_turn, phase;
    bool arc_piece;
    float crs;
  } cases[] = {{2, 0, true, 270 + kR}, {2, 1, false, 45},  {2, 2, true, 270 + kR}, {2, 3, false, 90},
               {2, 4, true, 90 + kL},  {2, 5, false, 270}, {2, 6, true, 270 + kL}, {2, 7, false, 225},
               // a right procedure turn: out on 135, the left turn, the right turns, back on 315
               {0, 1, false, 45},      {3, 1, false, 135}, {3, 2, true, 90 + kL},  {3, 4, true, 270 + kR},
               {3, 6, true, 90 + kR},  {3, 7, false, 315}};
  for (const Case& c : cases) {
    lnav_mode(7.0f);
    legs_rad_turn[2] = c.rad_turn;
    fms_seq.pi_phase = c.phase;
    expect_command(c.arc_piece, c.crs, "procedure turn phase " + std::to_string(c.phase));
  }
}

// ---- the pitch servo's auto-trim step -------------------------------------------

// One pitch-law update (0.1 s) with the integrator at 0.05 and the sums of
// earlier updates preset: the step is the integrator after the update, scaled
// 1 + (|rate| - 2) / 14 (rate counted to 8) with the error rate, or reversed
// and scaled 1 + (|rate| - 2) / 6 (counted to 4) when the rate runs against
// it; x 0.15 (0.2 before host 12), at most 0.02, once the sums pass 2.
TEST_F(FdValues, AutoTrimStepByErrorRate) {
  struct Case {
    int32_t host;
    float error_deg, integral, accum_before;
    float trim_step;
  } cases[] = {
      {120000, 0.1f, 0.05f, 2.5f, 0.0076875f},    // rate 1: the integrator as it stands
      {120000, 0.3f, 0.05f, 2.5f, 0.0086384f},    // rate 3
      {110000, 0.3f, 0.05f, 2.5f, 0.0115179f},
      {120000, 0.6f, 0.05f, 2.5f, 0.0110893f},    // rate 6
      {120000, 1.0f, 0.05f, 2.5f, 0.0133929f},    // rate 10, counted as 8
      {120000, -0.3f, 0.05f, 2.5f, -0.0080938f},  // against the integrator: rate 3
      {120000, -0.6f, 0.05f, 2.5f, -0.0085f},     // rate 6, counted as 4
      {120000, 0.3f, 0.5f, 2.5f, 0.02f},          // at most 0.02
      {120000, 0.1f, 0.05f, 1.9f, 0.0f},          // sums 1.95: no step
      {120000, 0.1f, 0.05f, 1.96f, 0.0076875f},   // sums 2.01
      {120000, -0.05f, 0.05f, 1.99f, 0.0f},       // slowing the wrong way: 1.1 x the integrator taken back
  };
  for (const Case& c : cases) {
    fresh();
    host_version = c.host;
    frame_time = 0.1f;
    simhost::set_float("zuvadud/D738/autopilot/enable_servo_pitch", 1.0f);
    simhost::set_float("zuvadud/D738/autopilot/enable_servo_elev_pitch", 1.0f);
    simhost::set_float("zuvadud/D738/autopilot/enable_servo_yaw", 0.0f);
    mirror(bound::sim_cockpit2_gauges_indicators_pitch_AHARS_deg_pilot, 2.0f);
    mirror(bound::sim_cockpit2_gauges_indicators_radio_altimeter_height_ft_pilot, 2500.0f);
    simhost::set_float("sim/cockpit/autopilot/flight_director_pitch", 2.0f + c.error_deg);
    pitch_servo = PitchServoState{};
    pitch_servo.gain_ramp = 100.0f;
    pitch_servo.last_engaged = 1.0f;
    pitch_servo.first_update = 1;
    pitch_servo.pitch_pid.out_min = -1.0f;
    pitch_servo.pitch_pid.out_max = 1.0f;
    pitch_servo.pitch_pid.integral = c.integral;
    pitch_servo.pitch_pid.prev_out = 2.0f;
    pitch_servo.pitch_pid.prev_error = c.error_deg;
    pitch_servo.trim_accum = c.accum_before;
    ap_servo();
    EXPECT_NEAR(pitch_servo.trim_cmd, c.trim_step, 1e-6f) << c.host << " error " << c.error_deg << " sums " << c.accum_before;
  }
}

// ---- the lateral offset's correction, entry and exit -----------------------------

// Offset from leg 3 to leg 6 (slot 5 holds the offset of the route's end),
// flown east at 250 kt from (0, 2): the correction taken off the cross-track
// by state and leg, the entry on a point behind or within 2 nm of the track,
// the exit on a point behind or within tan 22.5 of the 18-degree turn radius.
TEST_F(FdValues, OffsetCorrectionEntryAndExit) {
  const float lead = 0.4142136f * turn_radius_nm(18.0f, 250.0f);
  constexpr float kFar = 3.0f;  // lon of a point far ahead
  struct Case {
    int32_t leg;
    float state, start, start_t, x, flag, entry_lon, exit_lon;
    float x_after, state_after;
    float entry_lat;
  } cases[] = {
      {2, 4, 3, 0, 5, 1, kFar, kFar, 5, 4, 0},        {2, 8, 3, 0, 5, 1, kFar, kFar, 5, 8, 0},
      {2, 5, 0, 0, 5, 1, kFar, kFar, 5, 5, 0},        {2, 5, 3, 0, 5, 1, kFar, kFar, 3.5f, 5, 0},
      {2, 5, 3, 0, 3.4f, 1, kFar, kFar, 1.9f, 7, 0},  {2, 5, 3, 0, 3.6f, 1, kFar, kFar, 2.1f, 5, 0},
      {2, 5, 3, 0, 1.4f, 1, kFar, kFar, -0.1f, 7, 0}, {2, 5, 3, 0, -0.4f, 1, kFar, kFar, -1.9f, 7, 0},
      {2, 5, 3, 0, -0.6f, 1, kFar, kFar, -2.1f, 5, 0}, {2, 5, 3, 0, 3.0f, 0, kFar, kFar, 1.5f, 5, 0},
      {3, 7, 3, 1, 5, 1, kFar, kFar, 4.3f, 7, 0},     {2, 7, 3, 1, 5, 1, kFar, kFar, 5, 7, 0},
      {2, 6, 3, 1, 5, 1, kFar, kFar, 3.5f, 6, 0},     {4, 6, 3, 1, 5, 1, kFar, kFar, 3.5f, 7, 0},
      {3, 6, 3, 1, 5, 1, kFar, kFar, 3.5f, 6, 0},     {3, 6, 3, 1, 5, 1, 1.9f, kFar, 3.5f, 7, 0},
      {5, 7, 3, 1, 5, 1, kFar, kFar, 3.5f, 7, 0},     {5, 7, 3, 1, 5, 1, kFar, 1.9f, 3.5f, 8, 0},
      {5, 7, 3, 1, 5, 1, kFar, 2.0f + 0.9f * lead / 60.0f, 3.5f, 8, 0},
      {5, 7, 3, 1, 5, 1, kFar, 2.0f + 1.1f * lead / 60.0f, 3.5f, 7, 0},
      {3, 7, 3, 1, 5000, 1, kFar, kFar, 999, 7, 0},
      {3, 6, 3, 1, 5, 1, 1.97f, kFar, 3.5f, 7, 0.05f},  // behind, 60 degrees off the course
  };
  mirror(bound::sim_flightmodel_position_latitude, 0.0f);
  mirror(bound::sim_flightmodel_position_longitude, 2.0f);
  mirror(bound::sim_flightmodel_position_groundspeed, 250.0f / 1.94384449f);
  for (int k = 0; k < 8; ++k) legs_brg_true[k] = 3.14159265f / 2.0f;
  legs_offset[2] = 0.5f, legs_offset[3] = 0.7f, legs_offset[4] = 0.9f, legs_offset[5] = 1.5f;
  for (const Case& c : cases) {
    fms_seq.legs_offset_act = c.state;
    route_change_values.legs_offset_start = c.start;
    route_change_values.legs_offset_end = 6.0f;
    route_change_values.legs_offset_start_t = c.start_t;
    route_change_values.offset_lat[1] = c.entry_lat;
    route_change_values.offset_lat[2] = 0.0f;
    route_change_values.offset_lon[1] = c.entry_lon;
    route_change_values.offset_lon[2] = c.exit_lon;
    offset_pass_flag = static_cast<uint8_t>(c.flag);
    nav_result.cross_track = c.x;
    lnav_offset_helper(c.leg);
    const int row = static_cast<int>(&c - cases);
    EXPECT_NEAR(nav_result.cross_track, c.x_after, 1e-4f) << "row " << row;
    EXPECT_EQ(fms_seq.legs_offset_act, c.state_after) << "row " << row;
  }
}

// Step caps of the vertical-speed laws (1000 fpm asked, level, bar far below):
// 1.6 per second in V/S and approach V/S, 2.4 on the glide path and in VNAV
// V/S. The flare: sink from the entry rate toward 0 over 60 ft, the rate lead
// (2 - h/60), 0.04 per fpm, the step from the controller x 17 x 2.8.
TEST_F(FdValues, PitchStepCapsAndFlare) {
  struct Case {
    const char* what;
    float pitch_mode, host_mode, gp_status, flare, radio_alt, vs, accel, F;
    float bar;
  } cases[] = {
      {"V/S", 1, 0, 0, 0, 3000, 0, 0, -5, -4.84f},
      {"glide path", 1, 0, 2, 0, 3000, 0, 0, -5, -4.76f},
      {"VNAV V/S", 5, 4, 0, 0, 3000, 0, 0, -5, -4.76f},
      {"approach V/S", 4, 4, 0, 0, 3000, 0, 0, -5, -4.84f},
      {"approach V/S 13", 13, 4, 0, 0, 3000, 0, 0, -5, -4.84f},
      {"flare at 30 ft", 0, 0, 0, 2, 30, -600, 0, 0, 0.0856806f},
      {"flare at 30 ft, accelerating", 0, 0, 0, 2, 30, -600, 100, 0, 0.0428403f},
      {"flare above 60 ft", 0, 0, 0, 2, 90, -600, 100, 0, -0.0285602f},
  };
  for (const Case& c : cases) {
    fresh();
    simhost::set_float("zuvadud/D738/autopilot/altitude_mode", c.pitch_mode);
    simhost::set_float("zuvadud/D738/autopilot/vnav_engaged", 1.0f);
    simhost::set_float("zuvadud/D738/autopilot/flare_status", c.flare);
    mirror(bound::zuvadud_D738_pfd_gp_status, c.gp_status);
    mirror(bound::sim_cockpit2_autopilot_altitude_mode, c.host_mode);
    flight_director_state.carried[kFdPrevPitchMode] = c.pitch_mode;
    flight_director_state.carried[kFdPrevHostPitchMode] = c.host_mode;
    mirror(bound::zuvadud_autopilot_ap_vvi_dial, 1000.0f);
    mirror(bound::sim_cockpit2_gauges_indicators_radio_altimeter_height_ft_pilot, c.radio_alt);
    mirror(bound::sim_flightmodel_position_vh_ind_fpm, c.vs);
    flight_director_state.vs_sample_fpm = c.vs - c.accel * frame_time;
    flight_director_state.fd_pitch_cpt = c.F;
    update_flight_director();
    EXPECT_NEAR(simhost::get_float(kPitchBar), c.bar, 1e-5f) << c.what;
  }
}

// Altitude hold entered before host 12: from level flight (previous mode 0, no
// CWS) the references are the present altitudes; otherwise the preselected
// altitude, shifted 915 ft per inHg of sea-level pressure over the setting.
TEST_F(FdValues, AltitudeHoldReferencesBeforeHost12) {
  struct Case {
    float prev_mode, cws;
    float ind_ref, alt_ref;
  } cases[] = {{0, 0, 5000, 4921.26f}, {1, 0, 6000, 6091.5f}, {0, 1, 6000, 6091.5f}};
  for (const Case& c : cases) {
    fresh();
    simhost::set_float("zuvadud/D738/autopilot/altitude_mode", 3.0f);
    flight_director_state.carried[kFdPrevPitchMode] = c.prev_mode;
    mirror(bound::zuvadud_D738_autopilot_cws_p_status, c.cws);
    mirror(bound::sim_cockpit2_gauges_indicators_altitude_ft_pilot, 5000.0f);
    host_mirror.sim_flightmodel_position_elevation = 1500.0;
    mirror(bound::zuvadud_D738_autopilot_preselected_alt, 6000.0f);
    mirror(bound::sim_weather_barometer_sealevel_inhg, 30.02f);
    mirror(bound::sim_cockpit2_gauges_actuators_barometer_setting_in_hg_pilot, 29.92f);
    update_flight_director();
    EXPECT_NEAR(flight_director_state.live[kFdRefIndAltFt], c.ind_ref, 0.01f) << c.prev_mode << " " << c.cws;
    EXPECT_NEAR(flight_director_state.live[kFdRefAltFt], c.alt_ref, 0.05f) << c.prev_mode << " " << c.cws;
    EXPECT_NEAR(flight_director_state.live[kFdRefSeaLevelInHg], 30.02f, 1e-5f);
    EXPECT_NEAR(flight_director_state.live[kFdRefSettingInHg], 29.92f, 1e-5f);
  }
}

// CWS holding the captured pitch (5 degrees) with the trim at 0.1: the trim
// target moves 0.6 per second per degree (at most 5 degrees counted) once the
// pitch predicted 2 s ahead (4.5 s from flaps 0.05) is more than 1 degree off.
TEST_F(FdValues, CwsTrimTowardTheHeldPitch) {
  struct Case {
    float pitch, rate, flaps, column, side;
    float trim_cmd;  // 0.33: left where it was
    float hold;
  } cases[] = {
      {2, 0, 0, 0, 0, 0.19f, 1},      {2, 0.5f, 0, 0, 0, 0.16f, 1},   {2, 0.5f, 0.05f, 0, 0, 0.33f, 1},
      {2, 0.4f, 0.049f, 0, 0, 0.166f, 1}, {4.1f, 0, 0, 0, 0, 0.33f, 1}, {3.9f, 0, 0, 0, 0, 0.133f, 1},
      {-15, 0, 0, 0, 0, 0.25f, 1},    {20, 0, 0, 0, 0, -0.05f, 1},    {2, 0, 0, 0.06f, 0, 0.33f, 0},
      {2, 0, 0, -0.04f, 0, 0.19f, 1}, {8, 0, 0, 0, 2, 0.19f, 1},     // first officer's pitch: 2
  };
  for (const Case& c : cases) {
    fresh();
    frame_time = 0.05f;
    simhost::set_float("zuvadud/D738/autopilot/enable_servo_pitch", 0.0f);
    simhost::set_float("zuvadud/D738/autopilot/enable_servo_yaw", 0.0f);
    mirror(bound::zuvadud_D738_autopilot_cws_p_status, 1.0f);
    mirror(bound::zuvadud_autopilot_ap_side, c.side);
    mirror(bound::sim_cockpit2_gauges_indicators_pitch_AHARS_deg_pilot, c.side == 0 ? c.pitch : 8.0f);
    mirror(bound::sim_cockpit2_gauges_indicators_pitch_AHARS_deg_copilot, c.side == 0 ? 8.0f : 2.0f);
    mirror(bound::sim_cockpit2_controls_flap_handle_deploy_ratio, c.flaps);
    mirror(bound::sim_cockpit2_controls_yoke_pitch_ratio, c.column);
    mirror(bound::sim_cockpit2_controls_elevator_trim, 0.1f);
    pitch_servo = PitchServoState{};
    pitch_servo.cws_hold = 1.0f;
    pitch_servo.cws_hold_pitch_deg = 5.0f;
    pitch_servo.pitch_rate_cpt_dps = pitch_servo.pitch_rate_fo_dps = c.rate;
    pitch_servo.trim_cmd = 0.33f;
    ap_servo();
    EXPECT_NEAR(pitch_servo.trim_cmd, c.trim_cmd, 1e-5f) << c.pitch << " " << c.rate << " " << c.flaps << " " << c.column;
    EXPECT_EQ(pitch_servo.cws_hold, c.hold) << c.column;
  }
}

// The piece flown in the other navigation modes: leg 3 (slot 2) sequencing,
// the leg before it (slot 1) or the direct-to path holding the transition.
// Turn into slot 2 about a centre north (right), slot 1's first arc about one
// south (right), its second arc south (left); the direct-to first arc north
// (left), its second arc north (right).
TEST_F(PieceSteering, NavModesFlyTheirPieces) {
  struct Case {
    const char* what;
    float mode;
    int32_t region;
    float seq_prev;  // 0: the direct-to path holds the transition
    int32_t direct_leg;
    bool arc_piece;
    float crs;
  } cases[] = {
      {"0 on the transition", 0, 1, 2, 0, false, 123}, {"0 on its straight", 0, 6, 2, 0, false, 123},
      {"0 before the transition", 0, 13, 2, 0, false, 45}, {"0 elsewhere", 0, 4, 2, 0, false, 200},
      {"5 own turn", 5, 5, 2, 0, true, 270 + kR},          {"5 arc leg's turn", 5, 102, 2, 0, true, 270 + kR},
      {"5 own turn from a direct-to", 5, 5, 2, 2, true, 90 + kL}, {"5 turn in", 5, 1, 2, 0, true, 90 + kR},
      {"5 turn in from the direct-to", 5, 1, 0, 0, true, 90 + kL},
      {"6", 6, 0, 2, 0, false, 33},                        {"6 direct-to", 6, 0, 0, 0, false, 66},
      {"9", 9, 0, 2, 0, true, 270 + kL},                   {"9 direct-to", 9, 0, 0, 0, true, 270 + kR},
      {"10", 10, 0, 2, 0, true, 90 + kR},                  {"10 direct-to", 10, 0, 0, 0, true, 90 + kL},
  };
  for (int k = 1; k <= 3; ++k) lnav_fixture::set_text(route_tables.leg_path_types[k], "TF");
  legs_brg_true[2] = 123.0f * 3.14159265f / 180.0f;
  legs_brg_fin_true[1] = 45.0f * 3.14159265f / 180.0f;
  legs_lat[1] = legs_lat[2] = kAcLat, legs_lon[1] = legs_lon[2] = kAcLon;
  fms_copies.gps_track_degtm = 200.0f;
  arc(legs_seg1_ctr_lat[2], legs_seg1_ctr_lon[2], kNorth, legs_seg1_radius[2], 1.0f);
  legs_seg1_turn[2] = 3.0f;
  arc(legs_seg1_ctr_lat[1], legs_seg1_ctr_lon[1], -kNorth, legs_seg1_radius[1], 1.0f);
  legs_seg1_turn[1] = 3.0f;
  float r3 = 0.0f;
  arc(legs_seg3_ctr_lat[1], legs_seg3_ctr_lon[1], -kNorth, r3, 1.0f);
  legs_seg3_radius[1] = 5.0f;  // the second arc is flown on the first arc's radius
  legs_seg3_turn[1] = 2.0f;
  legs_seg2_end_lat[1] = kAcLat, legs_seg2_end_lon[1] = kAcLon, legs_seg2_crs_true[1] = 33.0f;
  dir_seg1_ctr_lat = kNorth, dir_seg1_ctr_lon = kAcLon, dir_seg1_radius = 1.0f, dir_seg1_turn = 2.0f;
  dir_seg3_ctr_lat = kNorth, dir_seg3_ctr_lon = kAcLon, dir_seg3_radius = 5.0f, dir_seg3_turn = 3.0f;
  dir_seg2_end_lat = kAcLat, dir_seg2_end_lon = kAcLon, dir_seg2_crs_true = 66.0f;
  for (const Case& c : cases) {
    lnav_mode(c.mode);
    route_track.region = c.region;
    fms_seq.vnav_idx_seq_prev = c.seq_prev;
    direct_to_leg = c.direct_leg;
    expect_command(c.arc_piece, c.crs, c.what);
  }
  direct_to_leg = 0;
}

// Arc legs flown on the scripts' track: the radius held to 0.8 .. 20 nm sets
// the lead (20/35 of the bank the arc needs), toward the second turn code
// when the first is -1.
TEST_F(PieceSteering, ArcLegRadiusLimitsAndTurnCode) {
  struct Case {
    float radius, kt, turn, turn2, cmd;
  } cases[] = {
      {0.5f, 100, 3, 0, 155.8994f}, {0.8f, 100, 3, 0, 155.8994f}, {1.0f, 100, 3, 0, 154.7379f},
      {25, 200, 3, 0, 150.9540f},   {20, 200, 2, 0, 149.0460f},   {20, 200, -1, 3, 150.9540f},
  };
  for (const Case& c : cases) {
    lnav_mode(4.0f);
    set_mirror_f(bound::sim_flightmodel_position_groundspeed, c.kt / 1.94384449f);
    fms_copies.xtrack = 0.0f;
    simhost::set_float("zuvadud/D738/fms/radii_turn", c.radius);
    simhost::set_float("zuvadud/D738/fms/gps_track2_degtm", 150.0f);
    simhost::set_float("zuvadud/D738/fms/gps_track_turn", c.turn);
    simhost::set_float("zuvadud/D738/fms/gps_track_turn2", c.turn2);
    update_lnav_steering();
    EXPECT_NEAR(lnav_cmd_cache.idx_corr2_sent, c.cmd, 0.01f) << c.radius << " nm at " << c.kt << " kt";
  }
}

// Autoland flare trim: 0.07 nose up from the trim below 365 ft, within the
// trim's range.
TEST_F(FdValues, FlareTrimStepAndRange) {
  struct Case {
    float radio_alt, trim, trim_cmd;
  } cases[] = {{364, 0.1f, 0.17f}, {366, 0.1f, 0.33f}, {300, 0.95f, 1.0f}};
  for (const Case& c : cases) {
    fresh();
    simhost::set_float("zuvadud/D738/autopilot/enable_servo_pitch", 1.0f);
    simhost::set_float("zuvadud/D738/autopilot/enable_servo_elev_pitch", 1.0f);
    simhost::set_float("zuvadud/D738/autopilot/enable_servo_yaw", 0.0f);
    mirror(bound::zuvadud_D738_autopilot_autoland_status, 1.0f);
    mirror(bound::sim_cockpit2_gauges_indicators_radio_altimeter_height_ft_pilot, c.radio_alt);
    mirror(bound::sim_cockpit2_controls_elevator_trim, c.trim);
    pitch_servo = PitchServoState{};
    pitch_servo.last_engaged = 1.0f;
    pitch_servo.gain_ramp = 100.0f;
    pitch_servo.pitch_pid.out_min = -1.0f;
    pitch_servo.pitch_pid.out_max = 1.0f;
    pitch_servo.trim_cmd = 0.33f;
    pitch_servo.first_update = 1;
    ap_servo();
    EXPECT_NEAR(pitch_servo.trim_cmd, c.trim_cmd, 1e-6f) << c.radio_alt << " ft, trim " << c.trim;
  }
}

// Entering the glide path (either status newly 2) starts the step interval
// afresh; staying on it does not.
TEST_F(FdValues, GlidePathEntryRestartsTheStepInterval) {
  struct Case {
    float gp, gls, prev_gp, prev_gls;
    bool written;
  } cases[] = {{2, 0, 0, 0, false}, {2, 0, 2, 0, true}, {0, 2, 0, 0, false}, {0, 2, 0, 2, true}, {2, 0, 0, 2, true}};
  for (const Case& c : cases) {
    fresh();
    frame_time = 0.03f;
    simhost::set_float("zuvadud/D738/autopilot/altitude_mode", 1.0f);
    mirror(bound::zuvadud_D738_pfd_gp_status, c.gp);
    mirror(bound::zuvadud_D738_nav_gls_gs_status, c.gls);
    flight_director_state.carried[kFdPrevPitchMode] = 1.0f;
    flight_director_state.carried[kFdPrevGpStatus] = c.prev_gp;
    flight_director_state.carried[kFdPrevGlsGsStatus] = c.prev_gls;
    flight_director_state.pitch_step_time = 0.05f;
    const int writes = simhost::counts(kPitchBar).writes;
    update_flight_director();
    EXPECT_EQ(simhost::counts(kPitchBar).writes - writes, c.written ? 1 : 0)
        << c.gp << " " << c.gls << " after " << c.prev_gp << " " << c.prev_gls;
  }
}

// The scaled controller's error bands for the proportional term by limit
// mode: 450, 1500, 20, the caller's limit, 1800, none.
TEST(ControllerValues, ScaledFormErrorBands) {
  struct Case {
    int32_t mode;
    float error, p;
  } cases[] = {{1, 449, 449}, {1, 500, 450},   {2, 1499, 1499}, {2, -2000, -1500}, {3, 19, 19},
               {3, 25, 20},   {4, 9, 7},       {5, 1799, 1799}, {5, 2000, 1800},   {0, 5000, 5000}};
  for (const Case& c : cases) {
    PidState s{-15.0f, 15.0f, 0.0f, 0.0f, 0.0f, 0.0f};
    pid_step(s, c.error, 0.0f, 0.1f, 1.0f, 0.0f, 0.0f, 0, 0.0f, 0.0f, 7.0f, c.mode);
    EXPECT_FLOAT_EQ(s.p_term, c.p) << "mode " << c.mode << " error " << c.error;
  }
}

// The active leg's great-circle cross-track: from the start the leg is flown
// from (the waypoint before for TF/IF; for DF the end of the transition's
// last piece laid out; for the direct-to the same of its path) to W2 at
// (0, 2). Only the chosen start lies on the equator, 0.6 nm south of the
// aircraft; the others lie off it.
TEST_F(PieceSteering, ActiveLegCrossTrackStart) {
  struct Case {
    const char* what;
    const char* type;
    int pick;  // 0 waypoint, 1 second arc's end, 2 first arc's end, 3 first arc's start; 9: not computed
    bool direct;
    int32_t region;
    float seq, intdir_act;
  } cases[] = {
      {"TF", "TF", 0, false, 0, 3, 0},         {"IF", "IF", 0, false, 0, 3, 0},
      {"DF second arc", "DF", 1, false, 0, 3, 0}, {"DF first arc", "DF", 2, false, 0, 3, 0},
      {"DF straight", "DF", 3, false, 0, 3, 0}, {"direct second arc", "DF", 1, true, 0, 3, 2},
      {"direct first arc", "DF", 2, true, 0, 3, 2}, {"direct straight", "DF", 3, true, 0, 3, 2},
      {"region 1", "TF", 9, false, 1, 3, 0},    {"region 2", "TF", 9, false, 2, 3, 0},
      {"region 3", "TF", 9, false, 3, 3, 0},    {"region 6", "TF", 9, false, 6, 3, 0},
      {"region 13", "TF", 9, false, 13, 3, 0},  {"region 4", "TF", 0, false, 4, 3, 0},
      {"last legs", "TF", 9, false, 0, 4, 0},   {"a direct-to of another kind", "TF", 9, false, 0, 3, 3},
      {"first leg", "TF", 9, false, 0, 1, 0},
  };
  const float off = 0.05f;
  for (const Case& c : cases) {
    lnav_mode(0.0f);
    simhost::set_float("zuvadud/D738/autopilot/lnav_engaged", 0.0f);
    set_mirror_f(bound::sim_flightmodel_position_latitude, 0.01f);
    set_mirror_f(bound::sim_flightmodel_position_longitude, 1.5f);
    fms_seq.legs_num = 5.0f;
    fms_seq.vnav_idx = fms_seq.vnav_idx_seq = c.seq;
    fms_seq.intdir_act = c.intdir_act;
    fms_seq.intdir_idx = c.seq;
    route_change_values.intdir_crs = -1.0f;
    route_track.region = c.region;
    route_track.xtrack = 9.0f;
    const int32_t a = static_cast<int32_t>(c.seq) - 1;
    lnav_fixture::set_text(route_tables.leg_path_types[a], c.type);
    legs_df_crs[a] = 90.0f;
    legs_lat[a] = 0.0f, legs_lon[a] = 2.0f;
    float* lat[4] = {&legs_lat[a - 1 < 0 ? 0 : a - 1], c.direct ? &dir_seg3_end_lat : &legs_seg3_end_lat[1],
                     c.direct ? &dir_seg1_end_lat : &legs_seg1_end_lat[1],
                     c.direct ? &dir_seg1_start_lat : &legs_seg1_start_lat[1]};
    float* lon[4] = {&legs_lon[a - 1 < 0 ? 0 : a - 1], c.direct ? &dir_seg3_end_lon : &legs_seg3_end_lon[1],
                     c.direct ? &dir_seg1_end_lon : &legs_seg1_end_lon[1],
                     c.direct ? &dir_seg1_start_lon : &legs_seg1_start_lon[1]};
    for (int k = 0; k < 4; ++k) {
      // Pieces laid out after the chosen one are absent (0, 0); earlier ones lie off the line.
      const bool absent = c.pick != 9 && k != 0 && k < c.pick;
      *lat[k] = absent ? 0.0f : (k == c.pick ? 0.0f : off);
      *lon[k] = absent ? 0.0f : 1.0f;
    }
    update_lnav_steering();
    EXPECT_NEAR(route_track.xtrack, c.pick == 9 ? 9.0f : -0.6f, 2e-3f) << c.what;
  }
}

// Intercept angles at their limits at 250 kt: the final approach course and
// GLS/LPV capture (15 degrees of bank, at most 40), the capture of the
// scripts' track (20 degrees, at most 45), turning back toward the course; the
// final approach course only within 2.5 nm until its mode is active.
TEST_F(PieceSteering, InterceptAngleLimits) {
  struct Case {
    const char* what;
    float fac_status, fac_xtrack, gls_xtrack, xtrack;
    float corr5, gls_corr, corr;  // -1: not written
  } cases[] = {
      {"FAC right", 0, 2.4f, 0, 0, 60, -1, -1}, {"FAC left", 0, -2.4f, 0, 0, 140, -1, -1},
      {"FAC beyond", 0, 2.5f, 0, 0, -1, -1, -1}, {"FAC active", 2, 3.0f, 0, 0, 60, -1, -1},
      {"GLS", 0, 0, 3.0f, 0, 100, 60, -1},       {"track", 0, 0, 0, 6.0f, 100, -1, 55},
  };
  for (const Case& c : cases) {
    lnav_mode(2.0f);
    simhost::set_float("zuvadud/D738/autopilot/lnav_engaged", c.xtrack != 0.0f ? 1.0f : 0.0f);
    set_mirror_f(bound::sim_flightmodel_position_groundspeed, 250.0f / 1.94384449f);
    simhost::set_float("zuvadud/D738/fms/fac_trk", 100.0f);
    simhost::set_float("zuvadud/D738/fms/fac_xtrack", c.fac_xtrack);
    simhost::set_float("zuvadud/D738/ap/fac_status", c.fac_status);
    simhost::set_float("zuvadud/D738/nav/lpv_app_status", c.gls_xtrack != 0.0f ? 1.0f : 0.0f);
    simhost::set_float("zuvadud/D738/nav/gls_crs", 100.0f);
    simhost::set_float("zuvadud/D738/nav/gls_xtrack", c.gls_xtrack);
    fms_copies.gps_track_degtm = 100.0f;
    fms_copies.xtrack = c.xtrack;
    simhost::set_float("zuvadud/D738/fms/idx_corr5", -1.0f);
    simhost::set_float("zuvadud/D738/nav/gls_corr", -1.0f);
    update_lnav_steering();
    EXPECT_NEAR(simhost::get_float("zuvadud/D738/fms/idx_corr5"), c.corr5, 1e-3f) << c.what;
    EXPECT_NEAR(simhost::get_float("zuvadud/D738/nav/gls_corr"), c.gls_corr, 1e-3f) << c.what;
    if (c.corr >= 0.0f) {
      EXPECT_NEAR(lnav_cmd_cache.idx_corr_sent, c.corr, 1e-3f) << c.what;
    }
  }
  // A final approach course of 360 on the course itself goes out as 000.
  lnav_mode(2.0f);
  simhost::set_float("zuvadud/D738/autopilot/lnav_engaged", 0.0f);
  simhost::set_float("zuvadud/D738/ap/fac_status", 0.0f);
  simhost::set_float("zuvadud/D738/fms/fac_trk", 360.0f);
  simhost::set_float("zuvadud/D738/fms/fac_xtrack", 0.0f);
  update_lnav_steering();
  EXPECT_EQ(simhost::get_float("zuvadud/D738/fms/idx_corr5"), 0.0f);
}

// Pitch modes without a law of their own: the bars take the host's bar in
// speed modes 3 to 5 and 8, else follow the attitude.
TEST_F(FdValues, OtherPitchModesFollowHostBarOrAttitude) {
  struct Case {
    float speed_mode, bar;
  } cases[] = {{2, 4}, {3, 7}, {5, 7}, {6, 4}, {8, 7}, {9, 4}};
  for (const Case& c : cases) {
    fresh();
    simhost::set_float("zuvadud/D738/autopilot/altitude_mode", 7.0f);
    simhost::set_float("zuvadud/D738/autopilot/speed_mode", c.speed_mode);
    mirror(bound::sim_cockpit_autopilot_flight_director_pitch, 7.0f);
    mirror(bound::sim_cockpit2_gauges_indicators_pitch_AHARS_deg_pilot, 4.0f);
    update_flight_director();
    EXPECT_EQ(flight_director_state.fd_pitch_cpt, c.bar) << c.speed_mode;
  }
}

// Rate estimates over 0.1 s: the deviation rate lagged at 3 per second (none
// from 2.49 dots), the trend rate at 10, both scaled by 100 within +-250;
// the vertical acceleration, the heading rate the short way round, the
// deviation rate's own rate; nothing before 0.06 s has passed.
TEST_F(FdValues, RateEstimates) {
  struct Case {
    float frame, vdev, vdev_sample, trend, trend_sample;
    float vdev_rate, rate2, trend_rate;
  } cases[] = {
      {0.1f, 2.48f, 2.38f, 1.1f, 1.0f, 0.3f, 3.0f, 1.0f},   {0.1f, 2.49f, 2.39f, 1.4f, 1.0f, 0, 0, 2.5f},
      {0.1f, -2.48f, -2.38f, 0.6f, 1.0f, -0.3f, -3.0f, -2.5f}, {0.1f, 2.0f, 0.0f, 1.0f, 1.0f, 2.5f, 25.0f, 0},
      {0.05f, 2.48f, 2.38f, 1.1f, 1.0f, 0, 0, 0},
  };
  for (const Case& c : cases) {
    fresh();
    frame_time = c.frame;
    FlightDirectorState& f = flight_director_state;
    f.vs_accel_fpm_s = f.hdg_rate_dps = 9.0f;
    mirror(bound::zuvadud_radios_pilot_nav_vdef, c.vdev);
    f.vdev_sample[0] = c.vdev_sample;
    airspeed_display.trend_kt[0] = c.trend;
    f.trend_sample_kt_s = c.trend_sample;
    mirror(bound::sim_flightmodel_position_vh_ind_fpm, 500.0f);
    f.vs_sample_fpm = 400.0f;
    mirror(bound::sim_cockpit2_gauges_indicators_heading_AHARS_deg_mag_pilot, 5.0f);
    f.hdg_sample_deg = 355.0f;
    update_flight_director();
    EXPECT_NEAR(f.vdev_rate[0], c.vdev_rate, 1e-4f) << c.vdev;
    EXPECT_NEAR(f.vdev_rate2[0], c.rate2, 1e-3f) << c.vdev;
    EXPECT_NEAR(f.trend_rate_kt_s2, c.trend_rate, 1e-4f) << c.trend;
    EXPECT_NEAR(f.vs_accel_fpm_s, c.frame > 0.06f ? 1000.0f : 9.0f, 0.05f);
    EXPECT_NEAR(f.hdg_rate_dps, c.frame > 0.06f ? 100.0f : 9.0f, 1e-3f);
  }
}

// Holding 5000 ft: before host 12 on the geometric altitude and the
// sea-level pressure's change, from host 12 on the indicated altitude and the
// altimeter setting's change (915 ft per inHg either way).
TEST_F(FdValues, AltitudeHoldSourcesByHost) {
  struct Case {
    int32_t host;
    float geo_ft, ind_ft, slp, setting;
    int sign;  // of the bar's move: below the held altitude, up
  } cases[] = {
      {110000, 4900, 5000, 29.92f, 29.92f, 1}, {120000, 4900, 5000, 29.92f, 29.92f, 0},
      {120000, 5000, 5000, 29.92f, 30.02f, 1}, {110000, 5000, 5000, 30.02f, 29.92f, 1},
      {110000, 5000, 4900, 29.92f, 29.92f, 0}, {120000, 5000, 5000, 30.02f, 29.92f, 0},
  };
  for (const Case& c : cases) {
    fresh();
    host_version = c.host;
    simhost::set_float("zuvadud/D738/autopilot/altitude_mode", 3.0f);
    FlightDirectorState& f = flight_director_state;
    f.carried[kFdPrevPitchMode] = 3.0f;
    f.live[kFdRefAltFt] = 5000.0f;
    f.live[kFdRefSeaLevelInHg] = 29.92f;
    f.live[kFdRefSettingInHg] = 29.92f;
    host_mirror.sim_flightmodel_position_elevation = c.geo_ft / 3.28084;
    mirror(bound::sim_cockpit2_gauges_indicators_altitude_ft_pilot, c.ind_ft);
    mirror(bound::sim_weather_barometer_sealevel_inhg, c.slp);
    mirror(bound::sim_cockpit2_gauges_actuators_barometer_setting_in_hg_pilot, c.setting);
    update_flight_director();
    const float bar = simhost::get_float(kPitchBar);
    if (c.sign == 0) {
      EXPECT_NEAR(bar, 0.0f, 1e-3f) << c.host << " " << c.geo_ft << " " << c.ind_ft;
    } else {
      EXPECT_GT(bar, 0.01f) << c.host << " " << c.geo_ft << " " << c.ind_ft;
    }
  }
}

// The pitch servo eases the column to neutral only in a rollout on the
// ground; without one the law flies the director's pitch there too.
TEST_F(FdValues, ColumnEasedOnlyInARollout) {
  struct Case {
    float rollout;
    int ground;
    float column;
  } cases[] = {{1, 1, 0.29f}, {0, 1, 0.0925f}, {1, 0, 0.0925f}};  // 0.1 per second; the law's first step
  for (const Case& c : cases) {
    fresh();
    on_ground = c.ground;
    simhost::set_float("zuvadud/D738/autopilot/enable_servo_pitch", 1.0f);
    simhost::set_float("zuvadud/D738/autopilot/enable_servo_elev_pitch", 0.0f);
    simhost::set_float("zuvadud/D738/autopilot/enable_servo_yaw", 0.0f);
    mirror(bound::zuvadud_D738_autopilot_rollout_status, c.rollout);
    mirror(bound::sim_cockpit2_controls_yoke_pitch_ratio, 0.3f);
    mirror(bound::sim_cockpit2_gauges_indicators_pitch_AHARS_deg_pilot, 2.0f);
    simhost::set_float("sim/cockpit/autopilot/flight_director_pitch", 4.0f);
    pitch_servo = PitchServoState{};
    set_controller_limits();
    ap_servo();  // engagement: a tenth of the authority, 2 degrees of error
    EXPECT_NEAR(simhost::get_float("zuvadud/D738/autopilot/servo_pitch"), c.column, 1e-5f) << c.rollout << " " << c.ground;
  }
  on_ground = 0;
}

// Commands summing to exactly 360 are sent as 000.
TEST_F(FdValues, CommandsOfExactlyATurnAreZero) {
  mirror(bound::sim_flightmodel_position_groundspeed, 100.0f / 1.94384449f);
  const float tight = 100.0f * 100.0f / (68620.0f * std::tan(50.0f * 3.14159265f / 180.0f));
  EXPECT_EQ(arc_steer(340.0f, 0.0f, tight, 3.0f, 0.0f, 0), 0.0f);  // lead 20
  EXPECT_EQ(lnav_intercept_hdg(360.0f, 0.0f, 0.0f, 1), 0.0f);
}

// The intercept angle is softened while the track already turns past the
// wanted one: x 0.8 on the course, rising to x 1 at 0.15 nm right of it.
TEST_F(FdValues, InterceptSofteningBand) {
  mirror(bound::sim_flightmodel_position_groundspeed, 250.0f / 1.94384449f);
  for (const float x : {0.075f, 0.15f, 0.17f}) {
    const float factor = x >= 0.15f ? 1.0f : 0.8f + x * 0.2f / 0.15f;
    const float a = intercept_angle_for_offset(x, 25.0f, 1.2f, 87.0f);
    EXPECT_NEAR(lnav_intercept_hdg(90.0f, x, 60.0f, 1), 90.0f + a * factor, 1e-3f) << x;
  }
}

// VNAV level: the reference altitude is taken from the preselected altitude
// when the host's mode becomes a level mode, and then held.
TEST_F(FdValues, VnavLevelReferenceTakenOnceOnEntry) {
  struct Case {
    int32_t host_mode, prev_host_mode;
    float ref_after;
  } cases[] = {{3, 3, 6000}, {3, 4, 7000}, {6, 5, 7000}, {5, 5, 6000}, {6, 3, 7000}};
  for (const Case& c : cases) {
    fresh();
    simhost::set_float("zuvadud/D738/autopilot/altitude_mode", 5.0f);
    simhost::set_float("zuvadud/D738/autopilot/vnav_engaged", 1.0f);
    mirror(bound::sim_cockpit2_autopilot_altitude_mode, static_cast<float>(c.host_mode));
    flight_director_state.carried[kFdPrevPitchMode] = 5.0f;
    flight_director_state.carried[kFdPrevHostPitchMode] = static_cast<float>(c.prev_host_mode);
    flight_director_state.live[kFdRefAltFt] = 6000.0f;
    mirror(bound::zuvadud_D738_autopilot_preselected_alt, 7000.0f);
    update_flight_director();
    EXPECT_EQ(flight_director_state.live[kFdRefAltFt], c.ref_after) << c.prev_host_mode << " -> " << c.host_mode;
  }
}

}  // namespace
