// The GPWS envelopes' published numbers, one table row per threshold with a
// value on each side of it, driven through one frame of the GPWS update.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "alerting/aural_cues.h"
#include "alerting/engine_failures.h"
#include "alerting/gpws.h"
#include "alerting/rating.h"
#include "alerting/tcas.h"
#include "alerting/tcas_values.h"
#include "alerting/gpws_test_state.h"
#include "bind_for_test.h"
#include "gpws_fixture.h"
#include "core/binding.h"
#include "core/frame_values.h"
#include "core/preprocess_values.h"
#include "core/variant.h"
#include "host.h"
#include "systems/delay_timers.h"
#include "systems/flight_controls/flight_control_values.h"
#include "systems/electrical/electric_values.h"
#include "systems/hydraulics/hydraulics.h"
#include "systems/instruments/instrument_values.h"
#include "systems/replay.h"
#include "systems/switches/switch_values.h"

namespace {

class GpwsLimits : public ::testing::Test {
 protected:
  void SetUp() override {
    simhost::reset();
    rebind_datarefs();
    reset_gpws_world();
    toggle_switch::gpws_gear_pos = 0.0f;
    toggle_switch::gpws_flap_pos = 0.0f;
    script_mirror.zuvadud_D738_FMS_flight_phase = 5.0f;  // approach
  }
  void TearDown() override { simhost::reset(); }

  // One frame at a radio height (ft), airspeed (kt) and vertical speed
  // (ft/min), gear and flap handle given; the code it leaves pending.
  int frame(float ra, float ias, float vs, float gear, float flap) {
    gpws_state.gpws_phase = 2;
    return phase_frame(ra, ra + 1000.0f, ias, vs, gear, flap);
  }
  // One frame in the phase the computer has reached, at a barometric altitude.
  int phase_frame(float ra, float baro, float ias, float vs, float gear, float flap) {
    gpws_state.alert_code = 0;
    host_mirror.sim_cockpit2_gauges_indicators_radio_altimeter_height_ft_pilot = ra;
    host_mirror.sim_cockpit2_gauges_indicators_altitude_ft_pilot = baro;
    host_mirror.sim_cockpit2_gauges_indicators_airspeed_kts_pilot = ias;
    host_mirror.sim_cockpit2_gauges_indicators_vvi_fpm_pilot = vs;
    host_mirror.sim_flightmodel_position_vh_ind_fpm = vs;
    host_mirror.sim_cockpit2_controls_flap_handle_deploy_ratio = flap;
    for (float& g : host_mirror.sim_aircraft_parts_acf_gear_deploy) g = 0.0f;
    for (int i = 0; i < 3; ++i) host_mirror.sim_aircraft_parts_acf_gear_deploy[i] = gear;
    gpws_update();
    return gpws_state.alert_code;
  }
  // The code left after `seconds` of the same frame.
  // The terrain-closure call the frames raise first (0 none), and the code
  // of the last frame.
  std::pair<int, int> hold(float seconds, float ra, float ias, float vs, float gear, float flap) {
    std::pair<int, int> code{0, 0};
    for (int i = 0; i < static_cast<int>(seconds / frame_time); ++i) {
      code.second = frame(ra, ias, vs, gear, flap);
      const bool closure =
          code.second == gpws_code::closure_terrain || code.second == gpws_code::closure_terrain_landing;
      if (code.first == 0 && closure) code.first = code.second;
    }
    return code;
  }
};

TEST_F(GpwsLimits, TooLowGearFlapsAndTerrain) {
  using namespace gpws_code;
  struct Row {
    float ra, ias, gear, flap;
    int code;
  } rows[] = {
      // Gear up: the gear alert below 190 kt and 500 ft.
      {490, 189, 0, 0, too_low_gear},     {510, 189, 0, 0, 0},
      {490, 190, 0, 0, 0},                {490, 191, 0, 0, too_low_terrain},
      // Gear up above 500 ft: the limit rises 60 kt per 500 ft.
      {700, 213, 0, 0, 0},                {700, 215, 0, 0, too_low_terrain},
      {990, 248, 0, 0, 0},                {990, 250, 0, 0, too_low_terrain},
      {1000, 300, 0, 0, 0},
      // Gear down, flaps short of landing: the flap alert below 159 kt and 245 ft.
      {240, 158, 1, 0, too_low_flaps},    {250, 158, 1, 0, 0},
      {240, 159, 1, 0, 0},                {300, 159, 1, 0, 0},
      {300, 160, 1, 0, too_low_terrain},  {240, 160, 1, 0.6f, too_low_terrain},
      // Gear down above 500 ft: the limit rises 91 kt per 500 ft.
      {600, 177, 1, 0, 0},                {600, 178, 1, 0, too_low_terrain},
      // Flaps 15 and 25 are short of landing; flaps 1 and 5 at their speeds.
      {200, 150, 1, 0.625f, too_low_flaps}, {200, 150, 1, 0.75f, too_low_flaps},
      {400, 165, 1, 0.625f, too_low_terrain}, {400, 165, 1, 0.75f, too_low_terrain},
      {300, 185, 1, 0.125f, too_low_terrain}, {450, 174, 1, 0.375f, too_low_terrain},
      // Landing flaps, 30 and 40: no too-low alert at any speed.
      {200, 150, 1, 0.875f, 0},           {400, 165, 1, 0.875f, 0},
      {240, 158, 1, 1, 0},                {400, 250, 1, 0.875f, 0},
  };
  for (const Row& r : rows)
    EXPECT_EQ(frame(r.ra, r.ias, 0.0f, r.gear, r.flap), r.code)
        << r.ra << " ft " << r.ias << " kt gear " << r.gear << " flap " << r.flap;
  // The override switches silence only their own alert. FLAP INHIBIT reads
  // the flaps as landing flaps: no TOO LOW TERRAIN for them either.
  toggle_switch::gpws_flap_pos = 1.0f;
  EXPECT_EQ(frame(240, 158, 0.0f, 1, 0), 0);
  EXPECT_EQ(frame(300, 185, 0.0f, 1, 0.125f), 0);
  EXPECT_EQ(frame(450, 174, 0.0f, 1, 0.375f), 0);
  EXPECT_EQ(frame(490, 189, 0.0f, 0, 0), too_low_gear);
  EXPECT_EQ(frame(490, 191, 0.0f, 0, 0), too_low_terrain);
  toggle_switch::gpws_gear_pos = 1.0f;
  EXPECT_EQ(frame(490, 189, 0.0f, 0, 0), 0);
  // GEAR INHIBIT alone reads the gear as down: the flaps' alerts as with it.
  toggle_switch::gpws_flap_pos = 0.0f;
  EXPECT_EQ(frame(490, 191, 0.0f, 0, 0.875f), 0);
  EXPECT_EQ(frame(240, 158, 0.0f, 0, 0), too_low_flaps);
}

// After take-off, short of the landing configuration, TOO LOW TERRAIN once
// the ground comes within three quarters of the highest radio altitude
// reached, that floor no higher than 500 ft up to 190 kt, rising to 1,000
// ft at 250 kt. Level at the peak's barometric altitude: no descent alert.
TEST_F(GpwsLimits, TakeOffFloor) {
  using namespace gpws_code;
  struct Row {
    float peak, ias, gear, flap, ra, phase;
    int code;
  } rows[] = {
      // Flaps 5 at 170 kt from 900 ft: the floor is 500 ft.
      {900, 170, 0, 0.375f, 510, 1, 0},        {900, 170, 0, 0.375f, 490, 1, too_low_terrain},
      {900, 170, 1, 0.375f, 490, 1, too_low_terrain},
      // Flaps 1 at 200 kt from 1,200 ft: 583 ft.
      {1200, 200, 0, 0.125f, 590, 1, 0},      {1200, 200, 0, 0.125f, 575, 1, too_low_terrain},
      // Low: three quarters of 400 ft; fast and high: 1,000 ft.
      {400, 170, 0, 0.375f, 310, 1, 0},        {400, 170, 0, 0.375f, 290, 1, too_low_terrain},
      {2000, 260, 0, 0, 1010, 1, 0},           {2000, 260, 0, 0, 990, 1, too_low_terrain},
      // The landing configuration, or past the take-off: no floor.
      {900, 150, 1, 0.875f, 300, 1, 0},        {900, 150, 1, 0.375f, 300, 1, too_low_terrain},
      {900, 150, 1, 0.375f, 300, 2, 0},
  };
  for (const Row& r : rows) {
    SetUp();
    script_mirror.zuvadud_D738_FMS_flight_phase = r.phase;
    for (float h : {0.0f, 50.0f, r.peak}) phase_frame(h, 1000.0f + h, r.ias, 0.0f, r.gear, r.flap);
    EXPECT_EQ(phase_frame(r.ra, 1000.0f + r.peak, r.ias, 0.0f, r.gear, r.flap), r.code)
        << r.peak << " ft " << r.ias << " kt gear " << r.gear << " flap " << r.flap << " at " << r.ra;
  }
}

// The warning computer listens to the engaged autopilot's side, else the
// flight director's: the first officer's radio altimeter reads 0 here, so
// only the captain's side evaluates the pull-up envelope.
TEST_F(GpwsLimits, SideFromAutopilotOrFlightDirector) {
  struct Row {
    float ap_on, ap_side, fd_side;
    bool captain;
  } rows[] = {{0, 2, 1, true}, {0, 1, 2, false}, {1, 2, 1, false}, {1, 1, 2, true}};
  for (const Row& r : rows) {
    script_mirror.zuvadud_autopilot_ap_on = r.ap_on;
    script_mirror.zuvadud_autopilot_ap_side = r.ap_side;
    script_mirror.zuvadud_autopilot_fd_side = r.fd_side;
    EXPECT_EQ(frame(1500, 250, -9000, 0, 0) == gpws_code::pull_up, r.captain) << r.ap_on << r.ap_side << r.fd_side;
  }
}

TEST_F(GpwsLimits, BankAngleCallsEachStepOnce) {
  struct Row {
    float bank;
    bool called;  // a new callout this frame
    float warn;
  } rows[] = {{34.9f, false, 0}, {35.1f, true, 1}, {35.5f, false, 1}, {40.0f, false, 1}, {40.1f, true, 1},
              {45.0f, false, 1}, {45.1f, true, 1}, {-46, false, 1},   {30.0f, false, 1}, {29.9f, false, 0},
              {-35.1f, true, 1}};
  for (const Row& r : rows) {
    host_mirror.sim_cockpit2_gauges_indicators_roll_electric_deg_pilot = r.bank;
    EXPECT_EQ(frame(1500, 250, 0.0f, 0, 0) == gpws_code::bank_angle, r.called) << r.bank;
    EXPECT_EQ(gpws_state.bank_warn, r.warn) << r.bank;
  }
}

TEST_F(GpwsLimits, BelowGlideslopeBand) {
  script_mirror.zuvadud_D738_mmr_cpt_act_mode = 1.0f;  // ILS
  host_mirror.sim_cockpit2_radios_indicators_nav1_display_vertical = 1;
  struct Row {
    float ra, dots, vs;
    bool alert;
  } rows[] = {{500, -1.29f, -700, false}, {500, -1.31f, -700, true},  {500, -1.31f, 10, false},
              {199, -2, -700, true},       {201, -2, -700, true},      {999, -2, -700, true},
              {1001, -2, -700, false},    {200, -2, -700, true},      {1000, -2, -700, false},
              // Below 150 ft the limit widens along 243 - 71.43 x dots ft.
              {180, -2.5f, -700, true},    {120, -2.5f, -700, true},   {120, -1, -700, false},
              {150, -1.31f, -700, true},   {100, -1.95f, -700, false}, {100, -2.05f, -700, true},
              {30, -3, -700, true},        {29, -3, -700, false},
              // Level or climbing the ceiling is 500 ft, rising to 1,000 ft
              // at a 500 ft/min descent.
              {300, -2.5f, 0, true},       {450, -2, 0, true},         {499, -2, 300, true},
              {501, -2, 0, false},         {790, -2, -300, true},      {810, -2, -300, false},
              {999, -2, -500, true}};
  for (const Row& r : rows) {
    host_mirror.sim_cockpit2_radios_indicators_nav1_vdef_dots_pilot = r.dots;
    EXPECT_EQ(frame(r.ra, 250, r.vs, 1, 1) == gpws_code::below_glideslope, r.alert) << r.ra << " " << r.dots;
    EXPECT_EQ(system_::below_gs_annun, r.alert ? 1.0f : 0.0f) << r.ra << " " << r.dots;
  }
  // A receiver without power gives no deviation: NAV 1 rides the AC standby
  // bus, DC bus 1 is not its.
  host_mirror.sim_cockpit2_radios_indicators_nav1_vdef_dots_pilot = -2.0f;
  electric::dc_bus1_status = 0.0f;
  EXPECT_EQ(frame(500, 250, -700, 1, 1), gpws_code::below_glideslope);
  electric::dc_bus1_status = 1.0f;
  electric::ac_stdbus_status = 0.0f;
  EXPECT_NE(frame(500, 250, -700, 1, 1), gpws_code::below_glideslope);
  electric::ac_stdbus_status = 1.0f;
  // The first officer's side alike, its receiver on DC bus 2.
  script_mirror.zuvadud_autopilot_fd_side = 2.0f;
  script_mirror.zuvadud_D738_mmr_fo_act_mode = 1.0f;
  host_mirror.sim_cockpit2_radios_indicators_nav2_display_vertical = 1;
  host_mirror.sim_cockpit2_radios_indicators_nav2_vdef_dots_copilot = -2.0f;
  host_mirror.sim_cockpit2_gauges_indicators_radio_altimeter_height_ft_copilot = 500.0f;
  for (float bus : {1.0f, 0.0f}) {
    electric::dc_bus2_status = bus;
    EXPECT_EQ(frame(500, 250, -700, 1, 1) == gpws_code::below_glideslope, bus != 0.0f) << bus;
  }
  electric::dc_bus2_status = 1.0f;
  script_mirror.zuvadud_autopilot_fd_side = 0.0f;
}

TEST_F(GpwsLimits, AirspeedLowThresholds) {
  script_mirror.zuvadud_D738_pfd_min_speed = 120.0f;
  script_mirror.zuvadud_D738_pfd_min_maneuver_speed = 140.0f;
  struct Row {
    float ra, ias;
    bool low;
  } rows[] = {
      // Below 200 ft the minimum speed itself.
      {150, 119, true}, {150, 121, false},
      // From 200 ft the manoeuvre speed less 8 kt, or minimum plus 3 kt if higher.
      {200, 131, true}, {200, 133, false},
  };
  for (const Row& r : rows) {
    EXPECT_EQ(frame(r.ra, r.ias, 0.0f, 1, 1) == gpws_code::airspeed_low, r.low) << r.ra << " " << r.ias;
    EXPECT_EQ(gpws_state.airspeed_low, r.low ? 1 : 0);
  }
  script_mirror.zuvadud_D738_pfd_min_maneuver_speed = 125.0f;
  EXPECT_EQ(frame(300, 122, 0.0f, 1, 1), gpws_code::airspeed_low);
  EXPECT_EQ(frame(300, 124, 0.0f, 1, 1), 0);
}

// After three one-second samples inside the envelope: outside the landing
// configuration TERRAIN, TERRAIN, then PULL UP while it holds; with gear
// down and landing flaps TERRAIN alone, however long it holds.
TEST_F(GpwsLimits, TerrainClosureBands) {
  using namespace gpws_code;
  constexpr int clean = closure_terrain;
  constexpr int landing = closure_terrain_landing;
  struct Row {
    float ra, ias, closure_fpm, gear, flap;
    int code;
  } rows[] = {
      {1649, 219, -6000, 0, 0, clean},    {1650, 219, -6000, 0, 0, 0},       {1649, 221, -6000, 0, 0, clean},
      {1649, 309, -6000, 0, 0, clean},    {1649, 310, -6000, 0, 0, clean},   {1649, 219, -5300, 0, 0, 0},
      {1800, 320, -8000, 0, 0, clean},    {1800, 320, -6100, 0, 0, 0},
      {1250, 219, -3350, 0, 0, clean},    {1250, 219, -3250, 0, 0, 0},       {1000, 219, -3100, 1, 0.75f, clean},
      {1000, 219, -3000, 1, 0.75f, 0},    {700, 219, -2900, 1, 0.875f, landing}, {780, 219, -2900, 1, 0.875f, landing},
      // Landing flaps end the envelope at 789 ft, the gear down or up and
      // at any speed.
      {800, 219, -2900, 1, 0.875f, 0},    {1200, 219, -3400, 1, 0.875f, 0},  {1000, 219, -3400, 0, 0.875f, 0},
      {900, 250, -3200, 1, 1, 0},         {780, 219, -2900, 0, 0.875f, clean}, {780, 250, -2900, 1, 1, landing},
      {700, 219, -2900, 1, 0.5f, clean},  {700, 219, -2900, 0.9f, 0.875f, clean},
      {700, 219, -2900, 1, 0.625f, clean}, {700, 219, -2900, 1, 0.75f, clean},
      {210, 219, -2400, 1, 0.875f, landing}, {190, 219, -2400, 1, 0.875f, landing},
      {600, 200, -3000, 0, 0, clean},     {600, 200, -3000, 1, 0.875f, landing},
      // The lower boundary does not move with speed; speed lifts the ceiling.
      {500, 230, -3000, 0, 0, clean},     {900, 230, -3200, 0, 0, clean},     {500, 250, -3000, 0, 0, clean},
      {900, 250, -3200, 0, 0, clean},     {500, 250, -2500, 1, 0.875f, 0},         {2000, 265, -8000, 0, 0, clean},
      {2100, 265, -9000, 0, 0, 0},
  };
  for (const Row& r : rows) {
    SetUp();
    script_mirror.zuvadud_D738_FMS_radio_height_ratio = r.closure_fpm;
    const int last = r.code == clean ? pull_up : r.code;
    EXPECT_EQ(hold(4.0f, r.ra, r.ias, 0.0f, r.gear, r.flap), std::make_pair(r.code, last))
        << r.ra << " ft " << r.ias << " kt " << r.closure_fpm;
  }
  // FLAP INHIBIT stands in for the landing flaps.
  SetUp();
  toggle_switch::gpws_flap_pos = 1.0f;
  script_mirror.zuvadud_D738_FMS_radio_height_ratio = -2900.0f;
  EXPECT_EQ(hold(4.0f, 700, 219, 0.0f, 1, 0.375f), std::make_pair(landing, landing));
  SetUp();
  toggle_switch::gpws_flap_pos = 1.0f;
  script_mirror.zuvadud_D738_FMS_radio_height_ratio = -3400.0f;
  EXPECT_EQ(hold(4.0f, 1000, 219, 0.0f, 1, 0.375f), std::make_pair(0, 0));
  toggle_switch::gpws_flap_pos = 0.0f;
  // GEAR INHIBIT stands in for the gear down.
  SetUp();
  toggle_switch::gpws_gear_pos = 1.0f;
  script_mirror.zuvadud_D738_FMS_radio_height_ratio = -2900.0f;
  EXPECT_EQ(hold(4.0f, 700, 160, 0.0f, 0, 0.875f), std::make_pair(landing, landing));
  toggle_switch::gpws_gear_pos = 0.0f;
}

TEST_F(GpwsLimits, MinimumsCalledOnceAboveZero) {
  struct Row {
    float value, vs;
    bool called;
  } rows[] = {{0, -500, false}, {-1, -500, false}, {0.5f, 100, false}, {0.5f, -500, true}, {0.5f, -500, false}};
  for (const Row& r : rows) {
    script_mirror.zuvadud_D738_fmod_dh_minimum_pilot2_ra = r.value;
    EXPECT_EQ(frame(400, 150, r.vs, 1, 1) == gpws_code::minimums, r.called) << r.value << " " << r.vs;
  }
}

TEST_F(GpwsLimits, EachOutputHoldsItsFlagForItsTime) {
  using namespace cue_fmodpack;
  struct Row {
    int code;
    float* flag;
    float hold_s;  // of that output within the code's sequence
  } rows[] = {
      {1, &msg_pull_up, 1.1f},          {2, &msg_gpws_alert, 0.9f},       {3, &msg_terrain, 1.0f},
      {30, &msg_caution_terrain, 2.2f}, {4, &msg_too_low_terrain, 1.8f},  {5, &msg_too_low_flaps, 1.8f},
      {31, &msg_terrain, 1.0f},         {32, &msg_terrain, 1.0f},
      {6, &msg_too_low_gear, 1.8f},     {7, &msg_dont_sink, 1.2f},        {8, &msg_sink_rate, 1.2f},
      {9, &system_::below_gs_warn, 1.8f}, {10, &msg_bank_angle, 1.0f},    {11, &msg_airspeed_low, 2.0f},
      {12, &msg_obstacle, 1.2f},        {15, &msg_gpws_inop, 1.0f},       {16, &msg_terrain_ahead, 1.8f},
      {27, &msg_alt_callouts, 20.0f},   {2, &msg_windshear, 1.0f},        {14, &msg_obstacle_pull_up, 2.0f},
  };
  for (const Row& r : rows) {
    SetUp();
    host_mirror.sim_cockpit2_gauges_indicators_radio_altimeter_height_ft_pilot = 1500.0f;
    host_mirror.sim_cockpit2_gauges_indicators_airspeed_kts_pilot = 250.0f;
    gpws_state.alert_code = r.code;
    int up = 0;
    bool seen = false;
    for (int i = 0; i < static_cast<int>(r.hold_s / frame_time) + 80; ++i) {
      gpws_update();  // a pending code takes the reduced path: nothing new is raised
      EXPECT_TRUE(*r.flag == 0.0f || *r.flag == 1.0f) << *r.flag;  // a flag is 0 or 1
      if (*r.flag != 0.0f) {
        ++up;
        seen = true;
      } else if (seen) {
        break;
      }
    }
    EXPECT_NEAR(static_cast<float>(up) * frame_time, r.hold_s, 0.06f) << "code " << r.code;
  }
}

TEST_F(GpwsLimits, MinimumsCalloutsByOption) {
  struct Row {
    int code;
    float ra_dh, plus_hundred, ra_minimums;
    float* flag;
    float hold_s;
    float mins = 1, testing = 0;  // the minimums call sounds at minimums or in the self-test
  } rows[] = {{28, 0, 0, 0, &cue_fmodpack::appro_mins, 1.8f},
              {29, 0, 0, 0, &fmod_::dh_minimum_pilot, 0, 0, 0},
              {29, 0, 0, 0, &fmod_::dh_minimum_pilot, 1.2f, 0, 1},
              {28, 0, 1, 0, &cue_fmodpack::plus_hundred, 1.8f},
              {28, 1, 0, 0, &cue_fmod::app_dec_height, 1.6f},
              {29, 0, 0, 0, &fmod_::dh_minimum_pilot, 1.2f},
              {29, 0, 0, 1, &fmod_::dh_minimums_pilot, 1.2f}};
  for (const Row& r : rows) {
    SetUp();
    host_mirror.sim_cockpit2_gauges_indicators_radio_altimeter_height_ft_pilot = 1500.0f;
    host_mirror.sim_cockpit2_gauges_indicators_airspeed_kts_pilot = 250.0f;
    script_mirror.zuvadud_D738_fmod_dh_minimum_pilot2 = script_mirror.zuvadud_D738_fmod_dh_minimum_pilot2_ra = r.mins;
    system_::gpws_test_running = r.testing;
    // In the long test MINIMUMS is its fifteenth step.
    script_mirror.zuvadud_d738_fmodpack_fmod_gpwstest_long_on = r.testing;
    gpws_state.test_step = r.testing != 0.0f ? 15 : 0;
    cockpit_options.ra_decision_height = r.ra_dh;
    cockpit_options.plus_hundred = r.plus_hundred;
    cockpit_options.ra_minimums = r.ra_minimums;
    gpws_state.alert_code = r.code;
    gpws_state.minimums_called = 1;
    int up = 0;
    for (int i = 0; i < 60 && gpws_state.alert_code == r.code; ++i) {
      gpws_update();
      if (*r.flag != 0.0f) ++up;
      EXPECT_TRUE(*r.flag == 0.0f || *r.flag == 1.0f) << *r.flag;  // a flag is 0 or 1
    }
    EXPECT_NEAR(static_cast<float>(up) * frame_time, r.hold_s, 0.06f) << "code " << r.code << " option " << r.ra_dh
                                                                        << r.plus_hundred << r.ra_minimums;
  }
  cockpit_options = CockpitOptions{};
}

TEST_F(GpwsLimits, OverspeedAccumulatorRates) {
  engine_failure_state = EngineFailureState{};
  on_ground = 1;
  struct Row {
    float n1, per_second;
  } rows[] = {{104, 1}, {103.5f, 1}, {103.4f, 0.95455f}, {102.95f, 0.75f}, {102.4f, 0.5f},
              {102.3f, 0.5f}, {102.1f, 0.5f}, {102.0f, -0.33f}};
  for (const Row& r : rows) {
    engine_failure_state.overspeed_accumulators[0] = 100.0f;
    host_mirror.sim_flightmodel_engine_ENGN_N1_[0] = r.n1;
    engine_overspeed_starvation_step(1.0f);
    EXPECT_NEAR(engine_failure_state.overspeed_accumulators[0], 100.0f + r.per_second, 1e-4f) << r.n1;
  }
  EXPECT_EQ(host_mirror.sim_operation_failures_rel_engfai0, 0);
  engine_failure_state.overspeed_accumulators[0] = 449.0f;
  host_mirror.sim_flightmodel_engine_ENGN_N1_[0] = 103.5f;
  engine_overspeed_starvation_step(0.5f);
  EXPECT_EQ(host_mirror.sim_operation_failures_rel_engfai0, 0) << "450 s of overspeed, not 449.5";
  engine_overspeed_starvation_step(0.5f);
  EXPECT_EQ(host_mirror.sim_operation_failures_rel_engfai0, 6);
}

// One frame of the approach rating with a clean approach changed by one row.
class ApproachPenalties : public ::testing::Test {
 protected:
  void SetUp() override {
    simhost::reset();
    rebind_datarefs();
    host_mirror = HostMirror{};
    script_mirror = ScriptMirror{};
    flight_rating_state = FlightRatingState{};
    flight_rating_reset_on_load();
    init_stage = 2;
    frame_time = 0.1f;
    electric::battery_pos = 1.0f;
  }
  void TearDown() override { simhost::reset(); }
};

TEST_F(ApproachPenalties, EachPenaltyOnBothSidesOfItsLimit) {
  struct Row {
    int slot;
    float expect;
    float rh = 700, ias = 150, vs = 0, alt = 3000, gear = 1, speedbrake = 0, app_flaps = 30, flap = 33;
    float dev = 0, mach = 0.3f, preset = 0;
    int ground = 0;
    float ground_speed = 70, mass = 60000, phase = 6;
    int variant = -1;  // the aircraft file (generic: the -800's landing limit)
  } rows[] = {
      {.slot = 0, .expect = 1, .ias = 176},  // flap placard 175 kt at 33 degrees
      {.slot = 0, .expect = 0, .ias = 175},
      {.slot = 0, .expect = 1, .ias = 251, .flap = 2.5f},
      {.slot = 0, .expect = 0, .ias = 251, .flap = 2},
      {.slot = 1, .expect = 1, .speedbrake = 0.3f, .app_flaps = 40},
      {.slot = 1, .expect = 0, .speedbrake = 0.2f, .app_flaps = 40},
      {.slot = 1, .expect = 0, .speedbrake = 0.3f, .app_flaps = 40, .flap = 14},
      {.slot = 1, .expect = 0, .rh = 50, .speedbrake = 0.3f, .app_flaps = 40},
      {.slot = 2, .expect = 1, .alt = 19001},
      {.slot = 2, .expect = 0, .alt = 19000},
      {.slot = 2, .expect = 0, .alt = 19001, .flap = 0},
      {.slot = 3, .expect = 1, .ias = 251, .alt = 5999},
      {.slot = 3, .expect = 0, .ias = 250, .alt = 5999},
      {.slot = 3, .expect = 0, .ias = 251, .alt = 6000},
      {.slot = 4, .expect = 1, .rh = 999, .gear = 0},
      {.slot = 4, .expect = 0, .rh = 1000, .gear = 0},
      {.slot = 5, .expect = 1, .rh = 201, .vs = -1201},
      {.slot = 5, .expect = 0, .rh = 201, .vs = -1200},
      {.slot = 5, .expect = 0, .rh = 200, .vs = -1201},
      {.slot = 5, .expect = 1, .rh = 499, .vs = -1201},
      {.slot = 5, .expect = 0, .rh = 500, .vs = -1201},
      {.slot = 6, .expect = 1, .rh = 500, .vs = -1501},
      {.slot = 6, .expect = 0, .rh = 999, .vs = -1500},
      {.slot = 6, .expect = 0, .rh = 1000, .vs = -1501},
      {.slot = 7, .expect = 1, .rh = 1999, .vs = -2001},
      {.slot = 7, .expect = 0, .rh = 1000, .vs = -2000},
      {.slot = 7, .expect = 0, .rh = 2000, .vs = -2001},
      {.slot = 7, .expect = 1, .rh = 1000, .vs = -2001},
      {.slot = 7, .expect = 0, .rh = 999, .vs = -2001},
      {.slot = 8, .expect = 1, .ground = 1, .ground_speed = 95.1f},
      {.slot = 8, .expect = 0, .ground = 1, .ground_speed = 95},
      {.slot = 9, .expect = 1, .ground = 1, .mass = 65318},
      {.slot = 9, .expect = 0, .ground = 1, .mass = 65317},
      {.slot = 8, .expect = 0, .ground_speed = 96},  // airborne: no tyre or landing-weight penalty
      {.slot = 9, .expect = 0, .mass = 70000},
      // Each airframe's own landing limit.
      {.slot = 9, .expect = 1, .ground = 1, .mass = 68000, .variant = 0},  // -800: 65,317 kg
      {.slot = 9, .expect = 0, .ground = 1, .mass = 68000, .variant = 7},  // MAX 8: 69,308 kg
      {.slot = 9, .expect = 1, .ground = 1, .mass = 69309, .variant = 7},
      {.slot = 9, .expect = 0, .ground = 1, .mass = 69308, .variant = 6},  // MAX 8-200 as the MAX 8
      {.slot = 9, .expect = 0, .ground = 1, .mass = 74343, .variant = 8},  // MAX 9: 74,343 kg
      {.slot = 9, .expect = 1, .ground = 1, .mass = 62000, .variant = 2},  // -700: 58,060 kg
      {.slot = 9, .expect = 1, .ground = 1, .mass = 60000, .variant = 3},  // -600: 55,112 kg
      {.slot = 9, .expect = 0, .ground = 1, .mass = 71350, .variant = 4},  // -900ER: 71,350 kg
      {.slot = 9, .expect = 1, .ground = 1, .mass = 66044, .variant = 5},  // MAX 7: 66,043 kg
      {.slot = 19, .expect = 0},  // no flap failed
      // Glideslope grades rise one step at a time, below and above 500 ft.
      {.slot = 10, .expect = 1, .rh = 300, .dev = 1.01f},
      {.slot = 10, .expect = 0, .rh = 300, .dev = 1.0f},
      {.slot = 10, .expect = 2, .rh = 300, .dev = -1.51f, .preset = 1},
      {.slot = 10, .expect = 1, .rh = 300, .dev = 1.5f, .preset = 1},
      {.slot = 10, .expect = 3, .rh = 300, .dev = 2.01f, .preset = 2},
      {.slot = 10, .expect = 2, .rh = 300, .dev = -2.0f, .preset = 2},
      {.slot = 10, .expect = 0, .rh = 300, .dev = 2.5f},
      {.slot = 10, .expect = 1, .rh = 201, .dev = 1.01f},
      {.slot = 10, .expect = 0, .rh = 200, .dev = 1.01f},
      {.slot = 10, .expect = 1, .rh = 499, .dev = 1.01f},
      {.slot = 10, .expect = 0, .rh = 500, .dev = 1.01f},
      {.slot = 11, .expect = 1, .rh = 500, .dev = 1.21f},
      {.slot = 11, .expect = 0, .rh = 499, .dev = 1.21f},
      {.slot = 11, .expect = 1, .rh = 999, .dev = 1.21f},
      {.slot = 11, .expect = 0, .rh = 1000, .dev = 1.21f},
      {.slot = 11, .expect = 1, .rh = 600, .dev = 1.21f},
      {.slot = 11, .expect = 0, .rh = 600, .dev = 1.2f},
      {.slot = 11, .expect = 2, .rh = 600, .dev = 1.81f, .preset = 1},
      {.slot = 11, .expect = 1, .rh = 600, .dev = 1.8f, .preset = 1},
      {.slot = 11, .expect = 3, .rh = 600, .dev = -2.31f, .preset = 2},
      {.slot = 11, .expect = 2, .rh = 600, .dev = -2.3f, .preset = 2},
      {.slot = 11, .expect = 3, .rh = 600, .dev = 2.11f, .preset = 2},
      {.slot = 11, .expect = 2, .rh = 600, .dev = 2.1f, .preset = 2},
      // Landing flaps set (approach flaps 30 with 33 degrees out).
      {.slot = 12, .expect = 1, .rh = 60, .speedbrake = 0.21f},
      {.slot = 12, .expect = 0, .rh = 60, .speedbrake = 0.2f},
      {.slot = 12, .expect = 0, .rh = 50, .speedbrake = 0.21f},
      {.slot = 13, .expect = 1, .rh = 399, .ias = 166},
      {.slot = 13, .expect = 0, .rh = 399, .ias = 165},
      {.slot = 13, .expect = 0, .rh = 400, .ias = 166},
      {.slot = 13, .expect = 1, .rh = 51, .ias = 166},
      {.slot = 13, .expect = 0, .rh = 50, .ias = 166},
      {.slot = 14, .expect = 1, .rh = 51, .ias = 144},
      {.slot = 14, .expect = 0, .rh = 51, .ias = 145},
      {.slot = 14, .expect = 0, .rh = 50, .ias = 144},
      {.slot = 14, .expect = 1, .rh = 399, .ias = 144},
      {.slot = 14, .expect = 0, .rh = 400, .ias = 144},
      {.slot = 15, .expect = 1, .rh = 500, .app_flaps = 40},
      {.slot = 15, .expect = 0, .rh = 501, .app_flaps = 40},
      {.slot = 15, .expect = 1, .rh = 500, .app_flaps = 0, .flap = 26.8f},
      {.slot = 15, .expect = 0, .rh = 500, .app_flaps = 0, .flap = 26.9f},
      {.slot = 16, .expect = 1, .rh = 500, .ias = 144},
      {.slot = 16, .expect = 1, .rh = 599, .ias = 166},
      {.slot = 16, .expect = 0, .rh = 599, .ias = 165},
      {.slot = 16, .expect = 0, .rh = 600, .ias = 144},
      {.slot = 16, .expect = 0, .rh = 499, .ias = 144},
      {.slot = 17, .expect = 1, .ias = 341},
      {.slot = 17, .expect = 0, .ias = 340},
      {.slot = 17, .expect = 1, .ias = 341, .phase = 5},  // judged only past flight phase 4
      {.slot = 17, .expect = 0, .ias = 341, .phase = 4},
      {.slot = 18, .expect = 1, .mach = 0.821f},
      {.slot = 18, .expect = 0, .mach = 0.82f},
      {.slot = 20, .expect = 3, .rh = 5999, .app_flaps = 0},
      {.slot = 20, .expect = 0, .rh = 6000, .app_flaps = 0},
      {.slot = 20, .expect = 0, .rh = 5999},
      // The landing-flap angle each approach setting needs.
      {.slot = 12, .expect = 1, .rh = 60, .speedbrake = 0.3f, .app_flaps = 15, .flap = 16.9f},
      {.slot = 1, .expect = 1, .rh = 60, .speedbrake = 0.3f, .app_flaps = 15, .flap = 16.8f},
      {.slot = 12, .expect = 1, .rh = 60, .speedbrake = 0.3f, .app_flaps = 25, .flap = 26.9f},
      {.slot = 1, .expect = 1, .rh = 60, .speedbrake = 0.3f, .app_flaps = 25, .flap = 26.8f},
      {.slot = 12, .expect = 1, .rh = 60, .speedbrake = 0.3f, .app_flaps = 30, .flap = 32.9f},
      {.slot = 1, .expect = 1, .rh = 60, .speedbrake = 0.3f, .app_flaps = 30, .flap = 32.8f},
      {.slot = 12, .expect = 1, .rh = 60, .speedbrake = 0.3f, .app_flaps = 40, .flap = 48.9f},
      {.slot = 1, .expect = 1, .rh = 60, .speedbrake = 0.3f, .app_flaps = 40, .flap = 48.8f},
  };
  int n = 0;
  for (const Row& r : rows) {
    ++n;
    HostMirror& h = host_mirror;
    h.sim_cockpit2_gauges_indicators_radio_altimeter_height_ft_pilot = r.rh;
    h.sim_cockpit2_gauges_indicators_airspeed_kts_pilot = r.ias;
    h.sim_cockpit2_gauges_indicators_airspeed_kts_copilot = 150.0f;
    h.sim_cockpit2_gauges_indicators_vvi_fpm_pilot = 0.0f;
    h.sim_cockpit2_gauges_indicators_vvi_fpm_copilot = r.vs;  // either pilot's indication counts
    h.sim_flightmodel2_wing_flap2_deg[2] = h.sim_flightmodel2_wing_flap2_deg[3] = r.flap;
    h.sim_flightmodel_misc_machno = r.mach;
    h.sim_flightmodel_position_groundspeed = r.ground_speed;
    h.sim_flightmodel_weight_m_total = r.mass;
    variant_index = r.variant;
    on_ground = r.ground;
    static_pressure_altitude_ft = r.alt;
    controls::gear_handle_down = r.gear;
    flt_ctrls::speedbrake_lever = r.speedbrake;
    script_mirror.zuvadud_D738_FMS_flight_phase = r.phase;
    script_mirror.zuvadud_D738_FMS_approach_flaps = r.app_flaps;
    script_mirror.zuvadud_D738_FMS_approach_speed = 145.0f;
    script_mirror.zuvadud_radios_pilot_nav_vdef = r.dev;
    script_mirror.zuvadud_radios_copilot_nav_vdef_fo = 0.0f;
    flight_rating_state.approach_latch = 1;
    flight_rating_state.hold_timer_s = 0.0f;
    for (float& v : flight::app_rating_param) v = 0.0f;
    flight::app_rating_param[r.slot] = r.preset;
    flight_rating();
    EXPECT_EQ(flight::app_rating_param[r.slot], r.expect) << "row " << n << ", slot " << r.slot;
  }
}

TEST_F(GpwsLimits, ResolutionAdvisoryMessagesAndHoldTimes) {
  using namespace cue_fmodpack;
  struct Named {
    const char* name;
    float* flag;
  } const flags[] = {{"climb now", &msg_climb_now},     {"climb", &msg_climb},
                     {"increase climb", &msg_increase_climb}, {"descend now", &msg_descent_now},
                     {"descend", &msg_descent},          {"increase descent", &msg_increase_descent},
                     {"maintain", &msg_maint_vert_spd},  {"clear", &msg_clear_of_conflict},
                     {"traffic", &msg_traffic},          {"monitor", &msg_mon_vert_spd},
                     {"adjust", &msg_adj_vert_spd},      {"crossing climb", &msg_cross_climb},
                     {"crossing descend", &msg_cross_descent}};
  struct Row {
    int command;
    std::vector<std::pair<std::string, float>> heard;  // message and seconds held
  } rows[] = {
      {1, {{"climb", 1.0f}, {"climb now", 1.5f}}},
      {2, {{"climb", 1.0f}, {"climb", 1.0f}}},
      {3, {{"increase climb", 2.0f}, {"increase climb", 2.0f}}},
      {4, {{"climb", 1.0f}, {"crossing climb", 2.3f}}},
      {5, {{"maintain", 2.3f}}},
      {6, {{"descend", 1.0f}, {"descend now", 1.5f}}},
      {7, {{"descend", 1.0f}, {"descend", 1.0f}}},
      {8, {{"increase descent", 2.0f}, {"increase descent", 2.0f}}},
      {9, {{"descend", 1.0f}, {"crossing descend", 2.3f}}},
      {10, {{"maintain", 2.3f}}},
      {11, {{"adjust", 2.3f}}},
      {12, {{"monitor", 2.3f}}},
      {13, {{"traffic", 1.5f}}},
      {14, {{"clear", 2.3f}}},
  };
  electric::ac_tnsbus1_status = 1.0f;
  electric::ac_stdbus_status = 1.0f;  // the transponder's
  knob::transponder_pos = 5.0f;
  host_mirror.sim_cockpit2_gauges_indicators_radio_altimeter_height_ft_pilot = 1000.0f;
  for (const Row& r : rows) {
    tcas_threat = TcasThreatState{};
    tcas_msgs_reset();
    tcas_threat.ra_command = static_cast<float>(r.command);
    std::vector<std::pair<std::string, float>> heard;
    std::string last;
    for (int i = 0; i < 200; ++i) {
      tcas_resolution_advisory();
      std::string now;
      for (const Named& f : flags) {
        if (*f.flag != 0.0f) now = f.name;
      }
      if (!now.empty()) {
        if (now != last) heard.push_back({now, 0.0f});
        heard.back().second += frame_time;
      }
      last = now;
    }
    // The advisory by the messages it should give, not by its code alone.
    std::string advisory = "advisory " + std::to_string(r.command) + " (";
    for (size_t k = 0; k < r.heard.size(); ++k) advisory += (k ? ", " : "") + r.heard[k].first;
    advisory += ")";
    ASSERT_EQ(heard.size(), r.heard.size()) << advisory << ": messages heard";
    for (size_t k = 0; k < heard.size(); ++k) {
      EXPECT_EQ(heard[k].first, r.heard[k].first) << advisory << ": message " << k + 1;
      EXPECT_NEAR(heard[k].second, r.heard[k].second, 0.06f)
          << advisory << ": hold time of \"" << heard[k].first << "\"";
    }
  }
}

TEST(TcasSensitivityRows, AboveEachAltitudeLimit) {
  struct Row {
    float radio, alt, ta_time, ra_time;
    const char* limit;
  } rows[] = {{2350, 1000, 30, 20, "at the 2350 ft radio altitude limit"},
              {3000, 5000, 40, 25, "at the 5000 ft altitude limit"},
              {3000, 10000, 45, 30, "at the 10000 ft altitude limit"},
              {3000, 20000, 48, 35, "at the 20000 ft altitude limit"},
              {2349, 45000, 25, 15, "below the 2350 ft radio altitude limit, whatever the altitude"}};
  for (const Row& r : rows) {
    const TcasSensitivity s = tcas_sensitivity(false, r.radio, r.alt);
    EXPECT_EQ(s.ta_time_s, r.ta_time) << "TA time " << r.limit << " (radio " << r.radio << " ft, " << r.alt << " ft)";
    EXPECT_EQ(s.ra_time_s, r.ra_time) << "RA time " << r.limit << " (radio " << r.radio << " ft, " << r.alt << " ft)";
  }
}

TEST_F(ApproachPenalties, LandingRatingFromTheFloatTime) {
  // All three gears touch together (graded as nose first, base 3.5) at
  // -100 ft/min in calm air; the float below 50 ft sets the handling term.
  struct Row {
    int float_frames;  // of 0.25 s
    float rating;
  } rows[] = {{24, 2.755556f}, {53, 3.085714f}, {100, 5.592857f}};
  frame_time = 0.25f;
  for (const Row& r : rows) {
    flight_rating_state = FlightRatingState{};
    flight_rating_reset_on_load();
    HostMirror& h = host_mirror;
    h.sim_flightmodel_position_vh_ind_fpm = -100.0f;
    h.sim_flightmodel_weight_m_total = 60000.0f;
    for (int32_t& g : h.sim_flightmodel2_gear_on_ground) g = 0;
    on_ground = 0;
    h.sim_cockpit2_gauges_indicators_radio_altimeter_height_ft_pilot = 200.0f;
    flight_rating();
    h.sim_cockpit2_gauges_indicators_radio_altimeter_height_ft_pilot = 30.0f;
    for (int i = 0; i < r.float_frames; ++i) flight_rating();
    for (int32_t& g : h.sim_flightmodel2_gear_on_ground) g = 1;
    on_ground = 1;
    flight_rating();
    EXPECT_NEAR(flight_rating_state.landing_rating, r.rating, 1e-4f) << r.float_frames * 0.25f << " s";
  }
}

TEST(FlapSpeedSchedules, PlacardAndStructuralLimitAtEachBreakpoint) {
  struct Row {
    float flap_deg, placard_kt, structural_kt;
  } rows[] = {{0, 250, 268},     {11, 250, 268},     {12.5f, 230, 246.5f}, {14, 210, 225},  {15.5f, 205, 219.5f},
              {17, 200, 214},    {19, 198, 211.8f},    {22, 195, 208.5f},  {27, 190, 203},       {30, 182.5f, 195}, {33, 175, 187},
              {40.5f, 168.5f, 180.4375f}, {48, 162, 173.875f}, {49, 162, 173}, {55, 162, 173}};
  for (const Row& r : rows) {
    EXPECT_NEAR(flap_placard_kt(r.flap_deg), r.placard_kt, 1e-3f) << r.flap_deg;
    EXPECT_NEAR(flap_structural_limit_kt(r.flap_deg), r.structural_kt, 1e-3f) << r.flap_deg;
  }
}

}  // namespace
