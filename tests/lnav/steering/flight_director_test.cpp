// Flight director: the command shaping laws and the roll and pitch bars
// against the simulated host (step timing, step limits, side and course
// selection, course capture, take-off, glideslope floor, altitude-hold
// references after a loaded situation).
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "core/binding.h"
#include "core/frame_values.h"
#include "core/preprocess_values.h"
#include "display/display_steps.h"
#include "host.h"
#include "lnav/steering/flight_director.h"
#include "lnav/guidance_steps.h"
#include "systems/electrical/electric_values.h"

namespace {

constexpr const char* kRollBar = "sim/cockpit/autopilot/flight_director_roll";
constexpr const char* kPitchBar = "sim/cockpit/autopilot/flight_director_pitch";

void mirror(bound::Id id, float v) { set_mirror_f(id, v); }

void frame_values(int32_t host, float ap_on, float gs_mps, float multiplier) {
  host_version = host;
  mirror(bound::zuvadud_autopilot_ap_on, ap_on);
  mirror(bound::sim_flightmodel_position_groundspeed, gs_mps);
  mirror(bound::sim_time_ground_speed_flt, multiplier);
}

// ---- command shaping ---------------------------------------------------------------

TEST(Shaping, VerticalSpeedLawBeyond2200FpmStillMovesByDistanceAndFloor) {
  frame_values(110000, 0.0f, 0.0f, 1.0f);
  float T, S;
  // 5000 fpm asked, autopilot off: the error is held at 1.5 x 2000.
  vs_pitch(5000.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.1f, T, S, 0);
  EXPECT_NEAR(T, 0.000433f * 7.5f * 3000.0f, 1e-4f);
  EXPECT_NEAR(S, 0.09f * 8.0f * 0.1f, 1e-6f);  // 8 degrees of distance counted at most
  vs_pitch(5000.0f, 0.0f, 0.0f, 0.0f, T, 0.1f, T, S, 0);
  EXPECT_NEAR(S, 0.5f * 0.1f, 1e-6f);  // on target: the floor alone
  // Half of 2200 fpm: its own step is about 15 per second.
  vs_pitch(1100.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.1f, T, S, 0);
  EXPECT_NEAR(S, 1.5f, 1e-4f);
}

TEST(Shaping, VerticalSpeedAuthorityFallsWithGroundSpeed) {
  struct Case {
    int32_t host;
    float gs_kt, k;
  };
  const Case cases[] = {{110000, 200.0f, 2000.0f}, {110000, 350.0f, 1400.0f}, {110000, 500.0f, 800.0f},
                        {120000, 200.0f, 1800.0f}, {120000, 500.0f, 720.0f}};
  for (const Case& c : cases) {
    frame_values(c.host, 1.0f, c.gs_kt / 1.9438f, 1.0f);
    float T, S;
    vs_pitch(9000.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.1f, T, S, 0);
    // With the autopilot engaged the error is held at +-k; from host 12 the
    // gain there is 1 (the whole error is "large").
    EXPECT_NEAR(T, 0.0007f * c.k, 1e-3f) << c.host << " " << c.gs_kt;
  }
}

TEST(Shaping, AltitudeLawCommandsZeroAtTheReferenceAndFullAuthorityBeyond400Ft) {
  frame_values(110000, 0.0f, 0.0f, 1.0f);
  float T, S;
  alt_pitch(10000.0f, 10000.0f, 0.0f, 0.0f, 0.0f, 2.0f, 2.0f, 0.1f, T, S);
  EXPECT_FLOAT_EQ(T, 2.0f);
  for (float e : {400.0f, 1000.0f, -5000.0f}) {
    alt_pitch(10000.0f + e, 10000.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.1f, T, S);
    EXPECT_NEAR(T, (e > 0 ? 1.0f : -1.0f) * 0.00342f * 2000.0f, 1e-3f) << e;
  }
  // 915 ft per inHg of setting change.
  alt_pitch(10000.0f, 10000.0f + 91.5f, 0.1f, 0.0f, 0.0f, 0.0f, 0.0f, 0.1f, T, S);
  EXPECT_NEAR(T, 0.0f, 1e-5f);
  // Ground-speed multiplier 16: commanded vertical speed at most 800 fpm.
  frame_values(110000, 0.0f, 0.0f, 16.0f);
  alt_pitch(20000.0f, 10000.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.1f, T, S);
  EXPECT_NEAR(T, 0.00342f * 800.0f, 1e-3f);
  // Engaged: floor 0.6 per second.
  frame_values(110000, 1.0f, 0.0f, 1.0f);
  alt_pitch(10000.0f, 10000.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.1f, T, S);
  EXPECT_NEAR(S, 0.06f, 1e-6f);
}

TEST(Shaping, SpeedLawsGainsAndSigns) {
  struct Case {
    bool toga;
    int32_t host;
    float ap, multiplier, expected_T;
  };
  // 20 kt below the target, no trend: a nose-down command.
  const Case cases[] = {
      {false, 110000, 1.0f, 1.0f, -0.4f * 1.5f},       {false, 110000, 1.0f, 16.0f, -0.4f * 0.7f},
      {false, 120000, 1.0f, 16.0f, -0.4f * 0.56f},     {true, 110000, 1.0f, 16.0f, -0.4f * 0.35f},
      {false, 110000, 0.0f, 1.0f, -2.4f * 1.5f},       {true, 120000, 1.0f, 1.0f, -0.4f * 0.75f},
  };
  for (const Case& c : cases) {
    frame_values(c.host, c.ap, 0.0f, c.multiplier);
    float T, S;
    if (c.toga) {
      toga_pitch(250.0f, 230.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.1f, T, S);
    } else {
      speed_pitch(250.0f, 230.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.1f, T, S);
    }
    EXPECT_NEAR(T, c.expected_T, 1e-5f) << c.toga << " " << c.host << " " << c.multiplier;
  }
  // Speed above the target: nose up.
  frame_values(110000, 1.0f, 0.0f, 1.0f);
  float T, S;
  speed_pitch(230.0f, 250.0f, 0.0f, 0.0f, 3.0f, 3.0f, 0.1f, T, S);
  EXPECT_GT(T, 3.0f);
}

TEST(Shaping, GlideslopeLawOnTheBeamHoldsPitch) {
  for (int32_t host : {110000, 120000}) {
    for (float ap : {0.0f, 1.0f}) {
      frame_values(host, ap, 70.0f, 1.0f);
      float T, S;
      gs_pitch(0.0f, 0.0f, 0.0f, 1.0f, 2.5f, 2.5f, 0.1f, T, S);
      EXPECT_NEAR(T, 2.5f, 1e-5f);
      EXPECT_NEAR(S, 0.05f, 1e-6f);
    }
  }
  // Full-scale low, engaged, host 11: back toward the beam at 0.1 dot/s.
  frame_values(110000, 1.0f, 70.0f, 1.0f);
  float T, S;
  gs_pitch(2.5f, 0.0f, 0.0f, 1.0f, 0.0f, 0.0f, 0.1f, T, S);
  EXPECT_NEAR(T, -0.7f, 1e-4f);
}

TEST(Shaping, RollTargetByHostVersion) {
  struct Case {
    int32_t host;
    float ap, gs_mps, T, floor;
  };
  const Case cases[] = {{110000, 1.0f, 0.0f, 4.0f, 0.5f},
                        {110000, 0.0f, 0.0f, 5.0f, 0.5f},
                        {120000, 1.0f, 0.0f, 0.4f * 0.9f * 10.0f, 0.25f},
                        {120000, 1.0f, 200.0f, 0.4f * (0.8f + 0.2f * 0.5f) * 0.9f * 10.0f, 0.25f}};
  for (const Case& c : cases) {
    frame_values(c.host, c.ap, c.gs_mps, 1.0f);
    float T, S;
    roll_bar_target(10.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.1f, T, S);
    EXPECT_NEAR(T, c.T, 1e-5f) << c.host << " " << c.gs_mps;
    EXPECT_NEAR(S, 10.0f, 1e-5f);
    roll_bar_target(0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.1f, T, S);
    EXPECT_NEAR(S, c.floor * 0.1f, 1e-7f);
  }
}

// ---- the bars through the simulated host -----------------------------------------

class FlightDirector : public ::testing::Test {
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
    flight_director_state = FlightDirectorState{};
    airspeed_display = AirspeedDisplayState{};
    set_controller_limits();
    global_state_loaded = 0.0f;
    fd_saved_refs_pending = 0;
    load_save = 1.0f;
    on_ground = 0;
    frame_time = 0.05f;
    frame_values(110000, 1.0f, 0.0f, 1.0f);
    mirror(bound::sim_operation_override_override_flightdir_roll, 1.0f);
    mirror(bound::sim_operation_override_override_flightdir_ptch, 1.0f);
    mirror(bound::sim_cockpit2_autopilot_bank_angle_mode, 6.0f);
    mirror(bound::sim_cockpit2_gauges_indicators_radio_altimeter_height_ft_pilot, 3000.0f);
    simhost::set_float("zuvadud/autopilot/fdir_pitch_active", 1.0f);
    electric::ac_stdbus_status = electric::dc_bus2_status = 1.0f;  // the NAV receivers
  }
  void TearDown() override {
    for (const std::string& p : simhost::problems()) ADD_FAILURE() << p;
    simhost::reset();
  }
  static void roll_mode(float m) { simhost::set_float("zuvadud/D738/autopilot/heading_mode", m); }
  static void pitch_mode(float m) { simhost::set_float("zuvadud/D738/autopilot/altitude_mode", m); }
};

TEST_F(FlightDirector, RollBarWaitsForTheStepIntervalAndLimitsTheStep) {
  struct Case {
    int32_t host;
    float bar;  // after the first update, 0.1 s of accumulated time
  };
  // Heading select 90 degrees off: bank command 30, target far beyond the step.
  for (const Case& c : {Case{110000, 1.6f * 0.1f}, Case{120000, 3.0f * 0.1f}}) {
    SetUp();
    host_version = c.host;
    roll_mode(1.0f);
    mirror(bound::sim_cockpit2_autopilot_heading_dial_deg_mag_pilot, 90.0f);
    update_flight_director();
    EXPECT_EQ(simhost::counts(kRollBar).writes, 0) << "0.05 s is not yet an update";
    update_flight_director();
    EXPECT_EQ(simhost::counts(kRollBar).writes, 1);
    EXPECT_NEAR(simhost::get_float(kRollBar), c.bar, 1e-6f) << c.host;
    EXPECT_FLOAT_EQ(flight_director_state.fd_roll_fo, flight_director_state.fd_roll_cpt);
    TearDown();
  }
}

// A heading-select turn across north commands the bank the same turn gets
// anywhere else: the lead factor takes the short way round. Taken plainly, a
// 10 degree turn from 355 to 005 would read as 350 degrees and the bar would
// step back toward a shallower bank.
TEST_F(FlightDirector, HeadingSelectTurnAcrossNorthBanksAsElsewhere) {
  struct Case {
    float heading, selected;
  };
  auto bar_after_one_update = [&](Case c) {
    SetUp();
    roll_mode(1.0f);
    frame_time = 0.1f;
    // Turning toward the selected heading at 1 deg/s, banked 10 degrees.
    const float sign = c.selected > c.heading ? 1.0f : -1.0f;
    const float side = std::fabs(c.selected - c.heading) > 180.0f ? -sign : sign;
    mirror(bound::sim_cockpit2_gauges_indicators_roll_AHARS_deg_pilot, 10.0f * side);
    mirror(bound::sim_cockpit2_gauges_indicators_heading_AHARS_deg_mag_pilot, c.heading);
    mirror(bound::sim_cockpit2_autopilot_heading_dial_deg_mag_pilot, c.selected);
    flight_director_state.roll_sample_deg = 10.0f * side;
    flight_director_state.hdg_sample_deg = c.heading - 0.1f * side;
    flight_director_state.fd_roll_cpt = flight_director_state.fd_roll_fo = 14.0f * side;
    update_flight_director();
    const float bar = simhost::get_float(kRollBar);
    TearDown();
    return bar;
  };
  const float right = bar_after_one_update({175.0f, 185.0f});
  EXPECT_GT(right, 14.0f);  // a 10 degree turn at 1 deg/s still wants more bank
  EXPECT_FLOAT_EQ(bar_after_one_update({355.0f, 5.0f}), right);
  EXPECT_FLOAT_EQ(bar_after_one_update({185.0f, 175.0f}), -right);
  EXPECT_FLOAT_EQ(bar_after_one_update({5.0f, 355.0f}), -right);
}

TEST_F(FlightDirector, CourseComesFromTheSelectedReceiverPerSide) {
  // On the beam, the courses 20 degrees either side of the heading: NAV1 and
  // its captain's course 340, NAV2 and its first officer's course 020; the
  // two courses no selector sets for those receivers the other way round.
  // The bar banks toward the course of the receiver the switch gives.
  // A receiver without power steers nothing (sign 0): the transfer switch
  // still gives a side the other one.
  struct Case {
    float ap_side, nav_source, sign;
    int dead_bus = 0;  // DC bus 1 or 2 lost
  };
  const Case cases[] = {{0.0f, -1.0f, -1.0f},  // captain, BOTH ON 1: NAV1, captain's course 340
                        {2.0f, -1.0f, -1.0f},  // first officer, BOTH ON 1: NAV1, captain's course 340
                        {0.0f, 0.0f, -1.0f},   // captain, NORMAL: NAV1 340
                        {2.0f, 0.0f, 1.0f},    // first officer, NORMAL: NAV2 020
                        {0.0f, 1.0f, 1.0f},    // captain, BOTH ON 2: NAV2, first officer's course 020
                        {2.0f, 1.0f, 1.0f},    // first officer, BOTH ON 2: NAV2 020
                        {0.0f, 0.0f, 0.0f, 1}, {2.0f, 0.0f, 0.0f, 2}, {0.0f, 1.0f, 1.0f, 1},
                        {2.0f, -1.0f, -1.0f, 2}, {0.0f, -1.0f, 0.0f, 1}};
  for (const Case& c : cases) {
    SetUp();
    electric::ac_stdbus_status = c.dead_bus == 1 ? 0.0f : 1.0f;
    electric::dc_bus2_status = c.dead_bus == 2 ? 0.0f : 1.0f;
    roll_mode(2.0f);
    mirror(bound::zuvadud_autopilot_ap_side, c.ap_side);
    mirror(bound::zuvadud_D738_toggle_switch_vhf_nav_source, c.nav_source);
    mirror(bound::sim_cockpit2_autopilot_nav_status, 2.0f);
    mirror(bound::sim_cockpit2_radios_actuators_nav1_obs_deg_mag_pilot, 340.0f);
    mirror(bound::sim_cockpit2_radios_actuators_nav1_obs_deg_mag_copilot, 20.0f);
    mirror(bound::sim_cockpit2_radios_actuators_nav2_obs_deg_mag_pilot, 340.0f);
    mirror(bound::sim_cockpit2_radios_actuators_nav2_obs_deg_mag_copilot, 20.0f);
    frame_time = 0.1f;
    update_flight_director();
    EXPECT_EQ(simhost::counts(kRollBar).writes, 1);
    if (c.sign == 0.0f) EXPECT_EQ(simhost::get_float(kRollBar), 0.0f) << c.ap_side << " " << c.dead_bus;
    else EXPECT_GT(c.sign * simhost::get_float(kRollBar), 0.0f) << c.ap_side << " " << c.nav_source;
    TearDown();
  }
}

TEST_F(FlightDirector, CaptureSetsInsideAtOnceWhenAlreadyTurnedPastTheInterceptTrack) {
  roll_mode(2.0f);
  mirror(bound::sim_cockpit2_autopilot_nav_status, 2.0f);
  mirror(bound::sim_cockpit2_radios_actuators_nav1_obs_deg_mag_pilot, 90.0f);
  mirror(bound::sim_cockpit2_radios_indicators_nav1_hdef_dots_pilot, -2.0f);
  // Intercept track 90 - 45 sin(72) = 47.2; the aircraft already heads 040.
  mirror(bound::sim_cockpit2_gauges_indicators_heading_AHARS_deg_mag_pilot, 40.0f);
  flight_director_state.hdg_sample_deg = 40.0f;
  flight_director_state.ldev_sample = -2.0f;
  frame_time = 0.1f;
  update_flight_director();
  EXPECT_EQ(flight_director_state.loc_inside, 1);
  // Aimed at the intercept track 47.2: a right bank.
  EXPECT_GT(simhost::get_float(kRollBar), 0.0f);
  // Heading 070, past the intercept track the other way: the outside rule
  // would now aim at 066 (t2) and bank left; inside, the reduced correction
  // aims at 90 - 42.8 x 0.728 x 0.5 = 74.4 and the bar goes on to the right.
  const float bar = simhost::get_float(kRollBar);
  mirror(bound::sim_cockpit2_gauges_indicators_heading_AHARS_deg_mag_pilot, 70.0f);
  flight_director_state.hdg_sample_deg = 70.0f;  // no turn rate from the step
  update_flight_director();
  EXPECT_EQ(flight_director_state.loc_inside, 1);
  EXPECT_GT(simhost::get_float(kRollBar), bar);
}

// A course lost mid-intercept, banked 16.5 degrees (its signal gone, or its
// receiver's DC bus, on either side): the bar commands the wings level, then
// holds the track they came level on, steering back to it after a drift.
TEST_F(FlightDirector, LostCourseLevelsTheWingsAndHoldsTheTrack) {
  struct Case {
    float ap_side;
    int dead_bus;  // 0: the signal lost instead
    bound::Id status;
  };
  const Case cases[] = {{0.0f, 0, bound::sim_cockpit2_autopilot_nav_status},
                        {0.0f, 1, bound::sim_cockpit2_autopilot_nav_status},
                        {2.0f, 2, bound::sim_cockpit2_autopilot_approach_status},
                        {2.0f, 0, bound::sim_cockpit2_autopilot_approach_status}};
  for (const Case& c : cases) {
    SetUp();
    host_version = 120000;
    frame_time = 0.05f;
    roll_mode(2.0f);
    mirror(bound::zuvadud_autopilot_ap_side, c.ap_side);
    mirror(bound::sim_flightmodel_position_groundspeed, 80.0f);
    const bound::Id roll = c.ap_side == 2.0f ? bound::sim_cockpit2_gauges_indicators_roll_AHARS_deg_copilot
                                             : bound::sim_cockpit2_gauges_indicators_roll_AHARS_deg_pilot;
    auto fly = [&](float bank, float track, float seconds) {
      mirror(roll, bank);
      mirror(bound::sim_cockpit2_gauges_indicators_heading_AHARS_deg_mag_pilot, track);
      mirror(bound::sim_cockpit2_gauges_indicators_ground_track_mag_pilot, track);
      for (int i = 0; i < static_cast<int>(seconds / frame_time); ++i) update_flight_director();
      return simhost::get_float(kRollBar);
    };
    mirror(c.status, 2.0f);
    flight_director_state.fd_roll_cpt = flight_director_state.fd_roll_fo = 16.5f;
    electric::ac_stdbus_status = c.dead_bus == 1 ? 0.0f : 1.0f;
    electric::dc_bus2_status = c.dead_bus == 2 ? 0.0f : 1.0f;
    if (c.dead_bus == 0) mirror(c.status, 0.0f);
    // The bar leads the bank: held at 16.5 degrees while the wings are
    // still banked, it stands well inside it.
    EXPECT_LT(fly(16.5f, 60.0f, 3.0f), 12.0f) << c.ap_side << " " << c.dead_bus;
    // Level on 070: held there, a drift to 080 steered back.
    EXPECT_NEAR(fly(1.0f, 70.0f, 5.0f), 0.6f, 0.5f) << c.ap_side << " " << c.dead_bus;
    flight_director_state.hdg_sample_deg = 80.0f;
    EXPECT_LT(fly(0.0f, 80.0f, 3.0f), -3.0f) << c.ap_side << " " << c.dead_bus;
    TearDown();
  }
}

TEST_F(FlightDirector, TakeOffOnTheGroundByAirspeedAndSingleCue) {
  pitch_mode(8.0f);
  on_ground = 1;
  frame_time = 0.1f;
  frame_flight_data.ias_kt = 40.0f;
  update_flight_director();
  EXPECT_NEAR(simhost::get_float(kPitchBar), -0.725f, 1e-5f);
  for (int i = 0; i < 30; ++i) update_flight_director();
  EXPECT_FLOAT_EQ(simhost::get_float(kPitchBar), -10.0f);
  frame_flight_data.ias_kt = 60.0f;
  update_flight_director();
  EXPECT_NEAR(simhost::get_float(kPitchBar), -10.0f + 0.725f, 1e-5f);
  // Single cue: toward the aircraft's pitch.
  simhost::set_float("zuvadud/D738/single_cue_fd", 1.0f);
  mirror(bound::sim_cockpit2_gauges_indicators_pitch_AHARS_deg_pilot, 3.0f);
  for (int i = 0; i < 40; ++i) update_flight_director();
  EXPECT_FLOAT_EQ(simhost::get_float(kPitchBar), 3.0f);
}

TEST_F(FlightDirector, GlideslopeBelow80FtDoesNotUpdate) {
  pitch_mode(4.0f);
  mirror(bound::sim_cockpit2_autopilot_altitude_mode, 8.0f);
  mirror(bound::sim_cockpit2_gauges_indicators_radio_altimeter_height_ft_pilot, 70.0f);
  frame_time = 0.1f;
  for (int i = 0; i < 5; ++i) update_flight_director();
  EXPECT_EQ(simhost::counts(kPitchBar).writes, 0);
  EXPECT_FLOAT_EQ(flight_director_state.pitch_step_time, 0.0f);
  // From 80 ft the law runs.
  mirror(bound::sim_cockpit2_gauges_indicators_radio_altimeter_height_ft_pilot, 200.0f);
  update_flight_director();
  EXPECT_EQ(simhost::counts(kPitchBar).writes, 1);
}

TEST_F(FlightDirector, PitchBarsFollowAttitudeWhenThePitchLawsDoNotRun) {
  simhost::set_float("zuvadud/autopilot/fdir_pitch_active", 0.0f);
  pitch_mode(1.0f);
  mirror(bound::sim_cockpit2_gauges_indicators_pitch_AHARS_deg_pilot, 4.0f);
  mirror(bound::sim_cockpit2_gauges_indicators_pitch_AHARS_deg_copilot, 4.5f);
  update_flight_director();
  EXPECT_FLOAT_EQ(flight_director_state.fd_pitch_cpt, 4.0f);
  EXPECT_FLOAT_EQ(flight_director_state.fd_pitch_fo, 4.5f);
  EXPECT_EQ(simhost::counts(kPitchBar).writes, 0);
}

TEST_F(FlightDirector, SavedReferencesAreTakenOnlyRightAfterALoadedSituation) {
  host_version = 120000;
  mirror(bound::zuvadud_D738_autopilot_preselected_alt, 12000.0f);
  for (int i = 0; i < 4; ++i) flight_director_state.hold[i] = 9000.0f + static_cast<float>(i);
  // Without a restore the hold values are not taken, even with the marker
  // set (a situation restored earlier in the session leaves it set).
  global_state_loaded = 1.0f;
  pitch_mode(3.0f);
  update_flight_director();
  EXPECT_FLOAT_EQ(flight_director_state.live[kFdRefAltFt], 12000.0f);
  // A restored situation: the next altitude hold resumes the saved references.
  pitch_mode(1.0f);
  update_flight_director();
  flight_director_restore_reset();
  pitch_mode(3.0f);
  update_flight_director();
  EXPECT_FLOAT_EQ(flight_director_state.live[kFdRefAltFt], 9000.0f);
  EXPECT_FLOAT_EQ(flight_director_state.live[kFdRefSettingInHg], 9002.0f);
  // A later altitude hold takes the pilot's altitude again.
  pitch_mode(1.0f);
  update_flight_director();
  pitch_mode(3.0f);
  update_flight_director();
  EXPECT_FLOAT_EQ(flight_director_state.live[kFdRefAltFt], 12000.0f);
  // Restored holding while the marker is still clear: the references wait
  // for it, then the hold carries on with them.
  global_state_loaded = 0.0f;
  flight_director_restore_reset();
  update_flight_director();
  EXPECT_FLOAT_EQ(flight_director_state.live[kFdRefAltFt], 12000.0f);
  global_state_loaded = 1.0f;
  update_flight_director();
  EXPECT_FLOAT_EQ(flight_director_state.live[kFdRefAltFt], 9000.0f);
  // Restored in V/S: the first altitude hold, frames later, is an ordinary
  // entry and never takes the references saved before the restore.
  flight_director_restore_reset();
  pitch_mode(1.0f);
  for (int k = 0; k < 20; ++k) update_flight_director();
  pitch_mode(3.0f);
  update_flight_director();
  EXPECT_FLOAT_EQ(flight_director_state.live[kFdRefAltFt], 12000.0f);
  EXPECT_FLOAT_EQ(flight_director_state.live[kFdRefIndAltFt], 12000.0f);
}

TEST_F(FlightDirector, LevelChangeIsBoundedByTheVerticalSpeedLimits) {
  // The speed law alone would pitch against the vertical-speed bound: an
  // accelerating aircraft descending, a decelerating one climbing.
  struct Case {
    float direction, trend, sign;
  };
  for (const Case& c : {Case{0.0f, 3.0f, -1.0f}, Case{1.0f, -3.0f, 1.0f}}) {
    SetUp();
    pitch_mode(2.0f);
    simhost::set_float("zuvadud/D738/autopilot/lvl_chg_mode", c.direction);
    airspeed_display.smoothed_kt[0] = 250.0f;
    airspeed_display.trend_kt[0] = c.trend;
    flight_director_state.trend_sample_kt_s = c.trend;
    mirror(bound::sim_cockpit2_autopilot_airspeed_dial_kts, 250.0f);
    frame_time = 0.1f;
    update_flight_director();
    ASSERT_EQ(simhost::counts(kPitchBar).writes, 1);
    EXPECT_GT(c.sign * simhost::get_float(kPitchBar), 0.0f) << c.direction;
    TearDown();
  }
}

TEST_F(FlightDirector, FlareTargetsZeroVerticalSpeedAtTouchdown) {
  simhost::set_float("zuvadud/D738/autopilot/flare_status", 2.0f);
  mirror(bound::sim_flightmodel_position_vh_ind_fpm, -600.0f);
  flight_director_state.vs_sample_fpm = -600.0f;
  mirror(bound::sim_cockpit2_gauges_indicators_radio_altimeter_height_ft_pilot, 60.0f);
  frame_time = 0.1f;
  update_flight_director();
  // At 60 ft the target is the sink rate the flare began with: no change.
  EXPECT_FLOAT_EQ(flight_director_state.flare_vs0, -600.0f);
  EXPECT_NEAR(simhost::get_float(kPitchBar), 0.0f, 1e-6f);
  // At touchdown height the target is 0 fpm: nose up, by at most 2.4 deg/s.
  mirror(bound::sim_cockpit2_gauges_indicators_radio_altimeter_height_ft_pilot, 0.0f);
  update_flight_director();
  EXPECT_GT(simhost::get_float(kPitchBar), 0.0f);
  EXPECT_LE(simhost::get_float(kPitchBar), 0.24f + 1e-6f);
}

}  // namespace
