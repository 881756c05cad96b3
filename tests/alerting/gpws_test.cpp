// GPWS envelopes, alert sequencing, self-test, callouts, add-on links and the
// autoland fail grade, driven through the frame functions with set mirrors.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "alerting/alerting_steps.h"
#include "alerting/aural_cues.h"
#include "core/failure_tables.h"
#include "alerting/gpws.h"
#include "alerting/gpws_test_state.h"
#include "core/binding.h"
#include "core/frame_values.h"
#include "core/preprocess_values.h"
#include "gpws_fixture.h"
#include "host.h"
#include "systems/delay_timers.h"
#include "systems/electrical/electric_values.h"
#include "systems/hydraulics/hydraulics.h"
#include "systems/instruments/instrument_values.h"
#include "systems/replay.h"
#include "systems/switches/switch_values.h"
#include "systems/systems_steps.h"

namespace {

class Gpws : public ::testing::Test {
 protected:
  void SetUp() override {
    simhost::reset();
    for (XPLMDataRef& h : bound_handles) h = nullptr;
    bind_outside_datarefs();
    bind_host_datarefs();
    bind_script_datarefs();
    cockpit_options = CockpitOptions{};
    reset_gpws_world();
    fly(1500.0f, 250.0f, 0.0f);
  }
  void TearDown() override { simhost::reset(); }

  // Captain's radio and baro altitude, airspeed and vertical speed.
  void fly(float ra, float ias, float vs) {
    host_mirror.sim_cockpit2_gauges_indicators_radio_altimeter_height_ft_pilot = ra;
    host_mirror.sim_cockpit2_gauges_indicators_altitude_ft_pilot = ra + 1000.0f;
    host_mirror.sim_cockpit2_gauges_indicators_airspeed_kts_pilot = ias;
    host_mirror.sim_cockpit2_gauges_indicators_vvi_fpm_pilot = vs;
    host_mirror.sim_flightmodel_position_vh_ind_fpm = vs;
  }
  void run(float seconds) {
    const int n = static_cast<int>(std::lround(seconds / frame_time));
    for (int i = 0; i < n; ++i) step();
  }
  void step() {
    gpws_update();
    record();
  }
  // The aural flags raised this frame, in order of raising.
  void record() {
    struct Named {
      const char* name;
      float* flag;
    } flags[] = {{"pull_up", &cue_fmodpack::msg_pull_up},     {"terrain", &cue_fmodpack::msg_terrain},
                 {"windshear", &cue_fmodpack::msg_windshear}, {"alert", &cue_fmodpack::msg_gpws_alert},
                 {"bank", &cue_fmodpack::msg_bank_angle},     {"sink", &cue_fmodpack::msg_sink_rate},
                 {"too_low_gear", &cue_fmodpack::msg_too_low_gear}};
    std::string now;
    for (const Named& f : flags)
      if (*f.flag != 0.0f) now = f.name;
    if (now != last_ && !now.empty()) heard.push_back(now);
    last_ = now;
  }
  std::vector<std::string> heard;
  std::string last_;
};

TEST(GpwsEnvelopes, LimitsAtTheirBreakpoints) {
  struct Row {
    float ra;
    float closure, sink, pull_up, dont_sink;
  } rows[] = {
      {0, 3300, 1100, 1500, 8},          {30, 3300, 1100, 1500, 8},
      {270, 3300, 1100 + 240 * 3900.0f / 2420, 1600, 8 + 240 * 112.0f / 1470},
      {1000, 3300, 1100 + 970 * 3900.0f / 2420, 1600 + 730 * 5200.0f / 2180, 8 + 970 * 112.0f / 1470},
      {1850, 6450, 1100 + 1820 * 3900.0f / 2420, 1600 + 1580 * 5200.0f / 2180, 8 + 1820 * 112.0f / 1470},
      {2450, 9600, 5000, 6800, 8 + 2420 * 112.0f / 1470},
      {3000, 9600, 5000, 6800, 8 + 2970 * 112.0f / 1470},
  };
  for (const Row& r : rows) {
    EXPECT_NEAR(gpws_closure_limit_fpm(r.ra), r.closure, 0.5f) << r.ra;
    EXPECT_NEAR(gpws_sink_rate_limit_fpm(r.ra), r.sink, 0.5f) << r.ra;
    EXPECT_NEAR(gpws_pull_up_limit_fpm(r.ra), r.pull_up, 0.5f) << r.ra;
    EXPECT_NEAR(gpws_dont_sink_allowed_loss_ft(r.ra), r.dont_sink, 0.01f) << r.ra;
  }
  EXPECT_FLOAT_EQ(gpws_dont_sink_allowed_loss_ft(-50.0f), 8.0f);
  // The headwind along the track: from ahead, abeam, behind, across north.
  EXPECT_FLOAT_EQ(gpws_headwind_kt(160.0f, 40.0f, 160.0f), 40.0f);
  EXPECT_NEAR(gpws_headwind_kt(250.0f, 40.0f, 160.0f), 0.0f, 1e-4f);
  EXPECT_FLOAT_EQ(gpws_headwind_kt(340.0f, 10.0f, 160.0f), -10.0f);
  EXPECT_NEAR(gpws_headwind_kt(350.0f, 20.0f, 50.0f), 10.0f, 1e-4f);
  // NaN heights never give a limit that a NaN rate could beat.
  const float nan = std::numeric_limits<float>::quiet_NaN();
  EXPECT_FALSE(std::isnan(gpws_dont_sink_allowed_loss_ft(nan)));
}

TEST_F(Gpws, FullEvaluationOnlyBetween30And2450Feet) {
  struct Case {
    float ra;
    bool full;
  } cases[] = {{29.9f, false}, {30.0f, true}, {2450.0f, true}, {2450.1f, false}};
  for (const Case& c : cases) {
    SetUp();
    // A sink rate far beyond the pull-up limit: only the full path sees it.
    fly(c.ra, 250.0f, -9000.0f);
    step();
    EXPECT_EQ(gpws_state.alert_code == gpws_code::pull_up, c.full) << c.ra;
  }
}

TEST_F(Gpws, BankAngleSoundsOncePerThreshold) {
  fly(1500.0f, 250.0f, 0.0f);
  struct Step {
    float bank;
    int sequences;  // bank-angle sequences heard so far
  } steps[] = {{35.0f, 0}, {35.1f, 1}, {38.0f, 1}, {41.0f, 2}, {46.0f, 3}, {46.0f, 3}, {20.0f, 3}, {36.0f, 4}};
  int bank_flags = 0;
  for (const Step& s : steps) {
    host_mirror.sim_cockpit2_gauges_indicators_roll_electric_deg_pilot = -s.bank;
    heard.clear();
    run(3.0f);
    for (const std::string& h : heard) bank_flags += h == "bank" ? 1 : 0;
    // Each sequence is two flags of 1.0 s.
    EXPECT_EQ(bank_flags, 2 * s.sequences) << s.bank;
  }
}

TEST_F(Gpws, TerrainClosureNeedsThreeSuccessiveSamples) {
  // 250 kt at 1000 ft: the limit is 3060 ft/min of closure.
  fly(1000.0f, 250.0f, 0.0f);
  script_mirror.zuvadud_D738_FMS_radio_height_ratio = -3400.0f;
  run(1.5f);  // samples at 0 and 1 s
  script_mirror.zuvadud_D738_FMS_radio_height_ratio = -3000.0f;
  run(1.0f);  // the third one misses
  EXPECT_EQ(gpws_state.alert_code, 0);
  script_mirror.zuvadud_D738_FMS_radio_height_ratio = -3400.0f;
  run(2.0f);  // two more in a row: still only two successive
  EXPECT_EQ(gpws_state.alert_code, 0);
  script_mirror.zuvadud_D738_FMS_radio_height_ratio = -3400.0f;
  heard.clear();
  run(8.0f);
  ASSERT_GE(heard.size(), 3u);
  EXPECT_EQ(heard[0], "terrain");
  EXPECT_EQ(heard[1], "terrain");
  EXPECT_EQ(heard[2], "pull_up");
}

// A caution never takes the place of a warning that calls for a pull-up, in
// the frame that raises both or while the warning sounds: the closure vote's
// TERRAIN, TERRAIN, PULL UP stands against SINK RATE and AIRSPEED LOW, and
// the PULL UP goes on.
TEST_F(Gpws, CautionsNeverHoldOffATerrainPullUp) {
  struct Row {
    float vs, min_speed;
  } rows[] = {{-3000.0f, 0.0f}, {0.0f, 260.0f}};
  for (const Row& r : rows) {
    SetUp();
    // 250 kt at 1000 ft: closing faster than 3300 ft/min with the ground.
    fly(1000.0f, 250.0f, r.vs);
    script_mirror.zuvadud_D738_pfd_min_speed = r.min_speed;
    script_mirror.zuvadud_D738_FMS_radio_height_ratio = -3400.0f;
    heard.clear();
    run(6.0f);
    const auto terrain = std::find(heard.begin(), heard.end(), "terrain");
    ASSERT_NE(terrain, heard.end()) << r.vs << " " << r.min_speed;
    EXPECT_EQ(terrain + 2 < heard.end() ? terrain[2] : "", "pull_up") << r.vs << " " << r.min_speed;
    EXPECT_EQ(gpws_state.alert_code, gpws_code::pull_up);
  }
  script_mirror.zuvadud_D738_pfd_min_speed = 0.0f;
}

TEST_F(Gpws, TerrainSequenceFlagsAndPause) {
  gpws_state.alert_code = gpws_code::terrain;
  fly(3000.0f, 250.0f, 0.0f);  // reduced path keeps the code
  frame_time = 0.1f;
  std::vector<float> pull_up_pfd;
  heard.clear();
  float t = 0.0f;
  bool all_clear_between = false;
  while (gpws_state.alert_code != 0 && t < 10.0f) {
    step();
    pull_up_pfd.push_back(cue_alert::pfd_pull_up);
    if (cue_fmodpack::msg_terrain == 0.0f && cue_fmodpack::msg_pull_up == 0.0f) all_clear_between = true;
    t += frame_time;
  }
  EXPECT_EQ(heard, (std::vector<std::string>{"terrain", "terrain", "pull_up"}));
  EXPECT_TRUE(all_clear_between);
  // 1.0 + 1.0 + 1.1 s of flags and a 0.5 s pause, plus one frame between each.
  EXPECT_NEAR(t, 3.6f + 0.4f, 0.25f);
  ASSERT_GE(pull_up_pfd.size(), 6u);
  EXPECT_EQ(pull_up_pfd[2], 1.0f);
  EXPECT_EQ(pull_up_pfd.back(), 0.0f);  // the pause
}

TEST_F(Gpws, WindshearSequence) {
  gpws_state.alert_code = gpws_code::windshear;
  fly(3000.0f, 250.0f, 0.0f);
  frame_time = 0.1f;
  heard.clear();
  for (int i = 0; i < 80 && gpws_state.alert_code != 0; ++i) {
    step();
    if (cue_fmodpack::msg_windshear != 0.0f) {
      EXPECT_EQ(cue_alert::pfd_windshear, 1.0f);
    }
  }
  EXPECT_EQ(heard, (std::vector<std::string>{"alert", "windshear", "windshear", "windshear"}));
}

// A steady wind, then another, at once or spread over `over_s`: WINDSHEAR
// below 1,500 ft radio altitude for a loss of mean headwind along the track
// of more than 17 kt, whatever the direction does, within 4 s; and, below
// 1,000 ft on the approach and through a take-off or a go-around's climb-out
// to 1,500 ft, for a lasting loss of 15 kt at 2.5 kt/s or faster, before the
// headwind has died. A lull that comes back within a few seconds is silent.
TEST_F(Gpws, WindshearOnALossOfHeadwindAlongTheTrack) {
  enum Phase { approach, takeoff, go_around };
  struct Case {
    const char* name;
    float from1, kt1, from2, kt2, track;
    bool alert;
    float ra = 1400.0f;
    Phase phase = approach;
    float over_s = 0.0f;  // the change spread over this time (0: at once)
    float back_s = 0.0f;  // the first wind back after this (0: the second stays)
  } cases[] = {
      {"a 40 kt headwind losing 17.5 kt", 160, 40, 160, 22.5f, 160, true},
      {"... losing 16.5 kt", 160, 40, 160, 23.5f, 160, false},
      {"a 12 kt headwind turning into a 6 kt tailwind", 160, 12, 340, 6, 160, true},
      {"a gain of headwind", 160, 20, 160, 40, 160, false},
      {"a 45 kt wind swinging 20 degrees across the nose", 150, 45, 170, 45, 160, false},
      {"a 45 kt crosswind swinging 20 degrees toward the tail: 15.6 kt", 240, 45, 260, 45, 160, false},
      {"a 4 kt wind turning round", 160, 4, 340, 4, 160, false},
      {"across north", 350, 30, 10, 10, 0, true},
      {"a 40 kt headwind dying within 1 s at 2,000 ft", 200, 40, 200, 0, 200, false, 2000},
      {"... at 2,400 ft", 200, 40, 200, 0, 200, false, 2400},
      {"... at 1,499 ft", 200, 40, 200, 0, 200, true, 1499},
      {"25 kt to calm in 10 s at 980 ft", 200, 25, 200, 0, 200, true, 980, approach, 10},
      {"40 kt to calm in 10 s at 980 ft", 200, 40, 200, 0, 200, true, 980, approach, 10},
      {"25 kt to calm in 10 s at 1,200 ft on the approach", 200, 25, 200, 0, 200, false, 1200, approach, 10},
      {"... after a take-off", 200, 25, 200, 0, 200, true, 1200, takeoff, 10},
      {"... in a go-around", 200, 25, 200, 0, 200, true, 1200, go_around, 10},
      {"13 kt lost in 5 s at 980 ft", 200, 25, 200, 12, 200, false, 980, approach, 5},
      {"a 16 kt lull for 3 s at 980 ft", 200, 25, 200, 9, 200, false, 980, approach, 0, 3},
      {"... for 4.5 s", 200, 25, 200, 9, 200, true, 980, approach, 0, 4.5f},
  };
  for (const Case& c : cases) {
    SetUp();
    fly(c.ra, 250.0f, 0.0f);
    script_mirror.zuvadud_D738_FMS_flight_phase = c.phase == takeoff ? 1.0f : 5.0f;
    gpws_state.gpws_phase = c.phase == takeoff ? 1 : 2;
    script_mirror.zuvadud_D738_autopilot_fd_goaround = c.phase == go_around ? 1.0f : 0.0f;
    host_mirror.sim_cockpit2_gauges_indicators_ground_track_mag_pilot = c.track;
    float* from = &host_mirror.sim_cockpit2_gauges_indicators_wind_heading_deg_mag;
    float* kt = &host_mirror.sim_cockpit2_gauges_indicators_wind_speed_kts;
    *from = c.from1;
    *kt = c.kt1;
    run(12.0f);
    EXPECT_NE(gpws_state.alert_code, gpws_code::windshear) << c.name;
    bool warned = false;
    const float within = c.over_s > 0.0f ? c.over_s : c.back_s + 4.0f;
    for (float t = 0.0f; t < within; t += frame_time) {
      const bool back = c.back_s > 0.0f && t > c.back_s;
      const float f = c.over_s > 0.0f ? std::fmin(t / c.over_s, 1.0f) : 1.0f;
      *from = back ? c.from1 : c.from2;
      *kt = back ? c.kt1 : c.kt1 + (c.kt2 - c.kt1) * f;
      step();
      warned = warned || gpws_state.alert_code == gpws_code::windshear;
    }
    EXPECT_EQ(warned, c.alert) << c.name;
  }
}

// A steady wind never raises WINDSHEAR, whatever the window held before: a
// fresh start inside the band, or a window half built before a power loss or
// a load.
TEST_F(Gpws, SteadyWindAfterAFreshStartIsNoWindshear) {
  enum Break { none, power_loss, load };
  for (Break b : {none, power_loss, load}) {
    SetUp();
    fly(1400.0f, 250.0f, 0.0f);
    frame_time = 0.1f;
    float* hdg = &host_mirror.sim_cockpit2_gauges_indicators_wind_heading_deg_mag;
    float* spd = &host_mirror.sim_cockpit2_gauges_indicators_wind_speed_kts;
    if (b != none) {
      for (int i = 0; i < 10; ++i) {  // 1 s of a strong headwind, not yet judged
        *hdg = host_mirror.sim_cockpit2_gauges_indicators_ground_track_mag_pilot;
        *spd = (i % 2) ? 35.0f : 40.0f;
        step();
      }
      if (b == power_loss) {
        electric::ac_tnsbus1_status = 0.0f;
        step();
        electric::ac_tnsbus1_status = 1.0f;
      } else {
        alerting_reset_on_load();
      }
    }
    *hdg = 270.0f;
    *spd = 15.0f;
    run(4.0f);
    EXPECT_NE(gpws_state.alert_code, gpws_code::windshear) << b;
    EXPECT_EQ(std::count(heard.begin(), heard.end(), "windshear"), 0) << b;
  }
}

TEST_F(Gpws, ApproachingMinimumsWindow) {
  script_mirror.zuvadud_D738_pfd_dh_pilot = 200.0f;
  struct Case {
    float ra;
    bool alert;
    float plus_hundred = 0;  // the option moves the window to 300..305 ft
  } cases[] = {{280.0f, false}, {283.0f, true}, {285.0f, false}, {283.0f, false, 1}, {303.0f, true, 1},
               {305.0f, false, 1}};
  for (const Case& c : cases) {
    cockpit_options.plus_hundred = c.plus_hundred;
    gpws_state.alert_code = 0;
    fly(c.ra, 150.0f, -500.0f);
    host_mirror.sim_cockpit2_controls_flap_handle_deploy_ratio = 1.0f;
    float gear[3] = {1, 1, 1};
    for (int i = 0; i < 3; ++i) host_mirror.sim_aircraft_parts_acf_gear_deploy[i] = gear[i];
    script_mirror.zuvadud_D738_FMS_flight_phase = 5.0f;
    script_mirror.zuvadud_D738_pfd_min_speed = 100.0f;
    script_mirror.zuvadud_D738_pfd_min_maneuver_speed = 100.0f;
    step();
    EXPECT_EQ(gpws_state.alert_code == gpws_code::approaching_minimums, c.alert) << c.ra;
  }
}

TEST_F(Gpws, TooLowGearBelow500FeetGearUp) {
  script_mirror.zuvadud_D738_FMS_flight_phase = 5.0f;
  gpws_state.gpws_phase = 2;
  fly(400.0f, 180.0f, -300.0f);
  step();
  EXPECT_EQ(gpws_state.alert_code, gpws_code::too_low_gear);
  // The inhibit switch silences it.
  SetUp();
  script_mirror.zuvadud_D738_FMS_flight_phase = 5.0f;
  gpws_state.gpws_phase = 2;
  toggle_switch::gpws_gear_pos = 1.0f;
  fly(400.0f, 180.0f, -300.0f);
  step();
  EXPECT_NE(gpws_state.alert_code, gpws_code::too_low_gear);
  toggle_switch::gpws_gear_pos = 0.0f;
}

TEST_F(Gpws, LongTestRunsItsTwentyStepsAndEnds) {
  fly(0.0f, 0.0f, 0.0f);
  script_mirror.zuvadud_d738_fmodpack_fmod_gpwstest_long_on = 1.0f;
  system_::gpws_test_running = 1.0f;
  gpws_test.started = 1.0f;
  frame_time = 0.1f;
  std::vector<int> codes;
  for (int i = 0; i < 3000 && system_::gpws_test_running != 0.0f; ++i) {
    step();
    if (gpws_state.alert_code != 0 && (codes.empty() || codes.size() < static_cast<size_t>(gpws_state.test_step)))
      codes.push_back(gpws_state.alert_code);
  }
  EXPECT_EQ(codes, (std::vector<int>{9, 1, 2, 15, 8, 3, 7, 4, 6, 5, 4, 9, 10, 28, 29, 27, 19, 4, 16, 14}));
  EXPECT_EQ(system_::gpws_test_running, 0.0f);
  EXPECT_EQ(script_mirror.zuvadud_d738_fmodpack_fmod_gpwstest_long_on, 0.0f);
  EXPECT_EQ(gpws_state.test_step, 0);
}

TEST_F(Gpws, ShortTestsRunSixAndFiveSteps) {
  struct Case {
    float flag;
    size_t steps;
  } cases[] = {{1.0f, 6u}, {2.0f, 5u}};
  for (const Case& c : cases) {
    SetUp();
    fly(0.0f, 0.0f, 0.0f);
    script_mirror.zuvadud_d738_fmodpack_fmod_gpwstest_short_on = c.flag;
    system_::gpws_test_running = 1.0f;
    gpws_test.started = 1.0f;
    frame_time = 0.1f;
    // The first step re-enables BELOW G/S, except in the second short test.
    alert::below_gs_disable = 1.0f;
    step();
    EXPECT_EQ(alert::below_gs_disable, c.flag == 1.0f ? 0.0f : 1.0f) << c.flag;
    int max_step = 0;
    for (int i = 0; i < 1000 && system_::gpws_test_running != 0.0f; ++i) {
      step();
      if (gpws_state.test_step > max_step) max_step = gpws_state.test_step;
    }
    EXPECT_EQ(static_cast<size_t>(max_step), c.steps + 1) << c.flag;
    EXPECT_EQ(script_mirror.zuvadud_d738_fmodpack_fmod_gpwstest_short_on, 0.0f);
  }
}

TEST_F(Gpws, PowerLossSilencesAndCancelsTest) {
  script_mirror.zuvadud_d738_fmodpack_fmod_gpwstest_long_on = 1.0f;
  system_::gpws_test_running = 1.0f;
  gpws_test.started = 1.0f;
  fly(0.0f, 0.0f, 0.0f);
  run(0.5f);
  electric::ac_tnsbus1_status = 0.0f;
  step();
  EXPECT_EQ(system_::gpws_test_running, 0.0f);
  EXPECT_EQ(script_mirror.zuvadud_d738_fmodpack_fmod_gpwstest_long_on, 0.0f);
  EXPECT_EQ(gpws_state.alert_code, 0);
  EXPECT_EQ(gpws_state.hold_timer, 0.0f);
  EXPECT_EQ(system_::below_gs_warn, 0.0f);
  EXPECT_EQ(gpws_state.peak_altitude, -9999.0f);
}

// A live alert ends the test at once and sounds; a run with no test behind
// it ends.
TEST_F(Gpws, ALiveAlertEndsTheTest) {
  struct Case {
    float long_on, short_on;
  } cases[] = {{0.0f, 2.0f}, {1.0f, 0.0f}, {0.0f, 0.0f}};
  for (const Case& c : cases) {
    SetUp();
    script_mirror.zuvadud_d738_fmodpack_fmod_gpwstest_long_on = c.long_on;
    script_mirror.zuvadud_d738_fmodpack_fmod_gpwstest_short_on = c.short_on;
    system_::gpws_test_running = 1.0f;
    gpws_test.started = 1.0f;
    fly(1500.0f, 250.0f, 0.0f);
    run(2.0f);
    EXPECT_EQ(system_::gpws_test_running, c.long_on + c.short_on != 0.0f ? 1.0f : 0.0f) << c.long_on << c.short_on;
    fly(1500.0f, 250.0f, -9000.0f);
    step();
    EXPECT_EQ(system_::gpws_test_running, 0.0f) << c.long_on << c.short_on;
    EXPECT_EQ(gpws_state.alert_code, gpws_code::pull_up) << c.long_on << c.short_on;
    EXPECT_EQ(script_mirror.zuvadud_d738_fmodpack_fmod_gpwstest_long_on, 0.0f);
    EXPECT_EQ(script_mirror.zuvadud_d738_fmodpack_fmod_gpwstest_short_on, 0.0f);
    // PULL UP sounds from this frame, its whole time.
    EXPECT_EQ(cue_fmodpack::msg_pull_up, 1.0f) << c.long_on << c.short_on;
    EXPECT_FLOAT_EQ(gpws_state.hold_timer, 1.1f) << c.long_on << c.short_on;
  }
}

// The gates the test button consults: 1 refuses that test.
TEST_F(Gpws, TestGatesByHeightPhaseParkingAndHydraulics) {
  struct Case {
    float ra_ft, phase, flap;
    int gear_on_ground;  // all three legs
    float hyd_inhibit;
    float short_gate, long_gate;
  } cases[] = {
      {500.0f, 0.0f, 0.0f, 0, 0.0f, 1.0f, 1.0f},    // between 30 and 1000 ft
      {0.0f, 0.0f, 0.0f, 1, 0.0f, 0.0f, 0.0f},      // parked, flaps up
      {0.0f, 0.0f, 0.25f, 1, 0.0f, 0.0f, 1.0f},     // flaps out
      {0.0f, 0.0f, 0.0f, 0, 0.0f, 1.0f, 1.0f},      // in the air below 1000 ft
      {30.0f, 0.0f, 0.0f, 0, 0.0f, 1.0f, 1.0f},     // at 30 ft in the air
      {1000.0f, 0.0f, 0.0f, 0, 0.0f, 0.0f, 1.0f},   // at 1000 ft
      {500.0f, 1.0f, 0.0f, 0, 0.0f, 1.0f, 1.0f},    // flight phase not 0, in the air
      {500.0f, 6.0f, 0.0f, 0, 0.0f, 1.0f, 1.0f},    // on final
      {30.0f, 0.0f, 0.0f, 1, 0.0f, 0.0f, 0.0f},     // on the ground at 30 ft, parked
      {0.0f, 0.0f, 0.0f, 1, 1.0f, 1.0f, 1.0f},      // hydraulics refuse, parked
      {1500.0f, 2.0f, 0.0f, 0, 1.0f, 1.0f, 1.0f},   // hydraulics refuse, cruise
  };
  for (const Case& c : cases) {
    SetUp();
    fly(c.ra_ft, 0.0f, 0.0f);
    script_mirror.zuvadud_D738_FMS_flight_phase = c.phase;
    host_mirror.sim_cockpit2_controls_flap_handle_deploy_ratio = c.flap;
    for (int32_t& g : host_mirror.sim_flightmodel2_gear_on_ground) g = c.gear_on_ground;
    hyd_state.test_inhibit = c.hyd_inhibit;
    step();
    EXPECT_EQ(gpws_test.short_inhibit, c.short_gate) << c.ra_ft << " ft, hyd " << c.hyd_inhibit;
    EXPECT_EQ(gpws_test.long_inhibit, c.long_gate) << c.ra_ft << " ft, hyd " << c.hyd_inhibit;
  }
}

// A replay that starts earlier than where the last one stopped still calls
// the heights: every normal frame forgets the replay's last running time.
TEST_F(Gpws, NormalFrameLetsTheNextReplayCallOut) {
  for (float power : {1.0f, 0.0f}) {
    SetUp();
    electric::ac_tnsbus1_status = power;
    replay_state.previous_time = 500.0f;  // where an earlier replay stopped
    step();
    EXPECT_EQ(replay_state.previous_time, 0.0f) << "power " << power;
    host_mirror.sim_time_total_running_time_sec = 120.0f;
    host_mirror.sim_cockpit2_gauges_indicators_radio_altimeter_height_ft_pilot = 400.0f;
    host_mirror.sim_flightmodel_position_vh_ind_fpm = -700.0f;
    update_cockpit_indications();
    EXPECT_EQ(cue_fmod::callouts_400, 1.0f) << "power " << power;
  }
}

TEST_F(Gpws, AirspeedWarningFlashesTenSecondsThenSteady) {
  script_mirror.zuvadud_D738_pfd_min_speed = 200.0f;
  script_mirror.zuvadud_D738_pfd_min_maneuver_speed = 200.0f;
  script_mirror.zuvadud_D738_autopilot_blink = 1.0f;
  fly(1500.0f, 150.0f, 0.0f);
  frame_time = 0.1f;
  run(5.0f);
  EXPECT_EQ(pfd::airspeed_warn, 2.0f);  // blink + 1
  script_mirror.zuvadud_D738_autopilot_blink = 0.0f;
  step();
  EXPECT_EQ(pfd::airspeed_warn, 1.0f);
  run(6.0f);
  EXPECT_EQ(pfd::airspeed_warn, 2.0f);
  fly(1500.0f, 250.0f, 0.0f);
  gpws_state.alert_code = 0;
  run(4.0f);
  EXPECT_EQ(pfd::airspeed_warn, 0.0f);
}

TEST_F(Gpws, NaNInputsRaiseNothing) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  fly(nan, nan, nan);
  host_mirror.sim_cockpit2_gauges_indicators_roll_electric_deg_pilot = nan;
  script_mirror.zuvadud_D738_FMS_radio_height_ratio = nan;
  host_mirror.sim_cockpit2_gauges_indicators_wind_heading_deg_mag = nan;
  host_mirror.sim_cockpit2_gauges_indicators_wind_speed_kts = nan;
  run(5.0f);
  EXPECT_EQ(gpws_state.alert_code, 0);
  EXPECT_FALSE(std::isnan(gpws_state.ws_headwind_sum));
  EXPECT_FALSE(std::isnan(gpws_state.peak_altitude));
  EXPECT_TRUE(heard.empty());
}

// ---- Callouts -----------------------------------------------------------

class Callouts : public Gpws {
 protected:
  void SetUp() override {
    Gpws::SetUp();
    script_mirror.zuvadud_D738_FMS_flight_phase = 5.0f;
    frame_time = 0.02f;
  }
  // Descends from `from` to `to` at `fpm`; returns the height at which each
  // named flag first rose.
  struct Fired {
    float* flag;
    float at;
  };
  void descend(float from, float to, float fpm, std::vector<Fired>& watch) {
    for (Fired& w : watch) w.at = -1.0f;
    for (float h = from; h >= to; h -= fpm / 60.0f * frame_time) {
      host_mirror.sim_cockpit2_gauges_indicators_radio_altimeter_height_ft_pilot = h;
      host_mirror.sim_cockpit2_gauges_indicators_altitude_ft_pilot = h + base_;
      host_mirror.sim_flightmodel_position_vh_ind_fpm = -fpm;
      host_mirror.sim_cockpit2_gauges_indicators_vvi_fpm_pilot = 0.0f;
      update_radio_altitude_callouts(false, false);
      for (Fired& w : watch)
        if (w.at < 0.0f && *w.flag == 1.0f) w.at = h;
    }
  }
  float base_ = 0.0f;
};

TEST_F(Callouts, DescentCallsEachHeightOnce) {
  std::vector<Fired> watch = {
      {&cue_fmod::callouts_2500, 0}, {&cue_fmod::callouts_1000, 0}, {&cue_fmod::callouts_500, 0},
      {&cue_fmod::callouts_400, 0},  {&cue_fmod::callouts_100, 0},  {&cue_fmod::callouts_10, 0},
      {&cue_fmod::callouts_5, 0},
  };
  const float expect[] = {2500, 1010, 510, 410, 110, 15, 8};
  descend(3000.0f, 0.0f, 600.0f, watch);
  for (size_t i = 0; i < watch.size(); ++i) EXPECT_NEAR(watch[i].at, expect[i], 0.5f) << expect[i];
}

// Each height of the callouts' table on both sides: a descent begun just
// under the arming height calls nothing, one begun just over it calls at the
// firing height, and the call stands until the clearing height.
TEST_F(Callouts, EachHeightOfTheTableOnBothSides) {
  struct Row {
    float* flag;
    float clear_ft, fire_ft, arm_ft;
  } rows[] = {
      {&cue_fmod::callouts_5, 2, 8, 15},         {&cue_fmod::callouts_10, 2, 15, 25},
      {&cue_fmod::callouts_20, 12, 25, 35},      {&cue_fmod::callouts_30, 22, 35, 45},
      {&cue_fmod::callouts_40, 32, 45, 55},      {&cue_fmod::callouts_50, 42, 55, 65},
      {&cue_fmod::callouts_60, 52, 65, 75},      {&cue_fmod::callouts_100, 70, 110, 125},
      {&cue_fmod::callouts_200, 120, 210, 225},  {&cue_fmod::callouts_300, 220, 310, 325},
      {&cue_fmod::callouts_400, 320, 410, 425},  {&cue_fmod::callouts_500, 420, 510, 525},
      {&cue_fmod::callouts_1000, 800, 1010, 1025}, {&cue_fmod::callouts_2500, 1500, 2500, 2900},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.fire_ft);
    callout_state = CalloutState{};
    *r.flag = 0.0f;
    std::vector<Fired> watch = {{r.flag, 0}};
    descend(r.arm_ft - std::min(0.04f * r.arm_ft, (r.arm_ft - r.fire_ft) / 2.0f), 0.0f, 600.0f, watch);
    EXPECT_LT(watch[0].at, 0.0f) << "called without arming";
    callout_state = CalloutState{};
    *r.flag = 0.0f;
    descend(r.arm_ft * 1.04f, r.fire_ft - 1.0f, 600.0f, watch);
    EXPECT_NEAR(watch[0].at, r.fire_ft, 0.5f);
    descend(r.clear_ft * 1.04f, r.clear_ft * 1.04f, 600.0f, watch);
    EXPECT_EQ(*r.flag, 1.0f) << "cleared above " << r.clear_ft;
    descend(r.clear_ft * 0.96f, r.clear_ft * 0.96f, 600.0f, watch);
    EXPECT_EQ(*r.flag, 0.0f) << "standing below " << r.clear_ft;
  }
}

// The sixteenth timer belongs to no callout: it runs down and clears no flag.
TEST_F(Callouts, SixteenthTimerRunsDownAlone) {
  script_mirror.zuvadud_D738_FMS_flight_phase = 0.0f;  // no callout evaluated
  callout_state.callout_timer[16] = 0.2f;
  cue_fmod::callouts_2500 = cue_fmod::callouts_radio_alt = 1.0f;
  for (int i = 0; i < 15; ++i) update_radio_altitude_callouts(false, false);
  EXPECT_EQ(callout_state.callout_timer[16], 0.0f);
  EXPECT_EQ(cue_fmod::callouts_2500, 1.0f);
  EXPECT_EQ(cue_fmod::callouts_radio_alt, 1.0f);
}

TEST_F(Callouts, DisabledCalloutNeverSounds) {
  script_mirror.zuvadud_D738_fms_ra_callout_disable[10] = 1.0f;  // 400
  std::vector<Fired> watch = {{&cue_fmod::callouts_400, 0}, {&cue_fmod::callouts_300, 0}};
  descend(600.0f, 250.0f, 600.0f, watch);
  EXPECT_LT(watch[0].at, 0.0f);
  EXPECT_NEAR(watch[1].at, 310.0f, 0.5f);
  script_mirror.zuvadud_D738_fms_ra_callout_disable[0] = 1.0f;  // 5, the first element
  watch = {{&cue_fmod::callouts_5, 0}, {&cue_fmod::callouts_10, 0}};
  descend(30.0f, 0.0f, 600.0f, watch);
  EXPECT_LT(watch[0].at, 0.0f);
  EXPECT_NEAR(watch[1].at, 15.0f, 0.5f);
}

TEST_F(Callouts, BarometricFiveHundredAboveRunway) {
  cockpit_options.ra_500_1000_baro = 1.0f;
  script_mirror.zuvadud_D738_pfd_rwy_show = 2.0f;
  script_mirror.zuvadud_D738_pfd_rwy_altitude = 5000.0f;
  base_ = 5000.0f;  // baro altitude = runway + radio height
  std::vector<Fired> watch = {{&cue_fmod::callouts_500, 0}, {&cue_fmod::callouts_1000, 0}};
  descend(1200.0f, 300.0f, 600.0f, watch);
  EXPECT_NEAR(watch[0].at + base_, 5510.0f, 0.5f);
  EXPECT_NEAR(watch[1].at + base_, 6010.0f, 0.5f);
}

TEST_F(Callouts, ThousandSecondNeedsModerateDescent) {
  struct Case {
    float fpm;
    bool fires;
  } cases[] = {{400.0f, false}, {1000.0f, false}, {700.0f, true}};
  for (const Case& c : cases) {
    SetUp();
    std::vector<Fired> watch = {{&cue_fmod::callouts_1000s, 0}};
    descend(1200.0f, 850.0f, c.fpm, watch);
    EXPECT_EQ(watch[0].at > 0.0f, c.fires) << c.fpm;
  }
}

// A height callout waits while PULL UP or TERRAIN sounds and is dropped once
// its height has gone by: a sink-rate PULL UP through 500 ft, arrested at
// 470 ft, leaves FIVE HUNDRED unsaid and FOUR HUNDRED at its height; the
// terrain radar's warning from 3,000 to 1,700 ft leaves TWO THOUSAND FIVE
// HUNDRED unsaid and ONE THOUSAND at its height; a closure's TERRAIN,
// TERRAIN, PULL UP through 1,000 ft holds ONE THOUSAND for as long as it lasts.
TEST_F(Callouts, WaitWhileAWarningSounds) {
  struct Row {
    float* flag;
    float from, arrested_at, to, sink_fpm, closure_fpm;
    float called_low, called_high;  // ft, the height of the call; -1 never
    float terrain_to = 0.0f;         // ft, the terrain radar's warning stands down to here
  } rows[] = {{&cue_fmod::callouts_500, 600, 470, 430, 3000, 0, -1, -1},
              {&cue_fmod::callouts_400, 600, 470, 380, 3000, 0, 409, 411},
              {&cue_fmod::callouts_2500, 3000, 0, 1600, 2000, 0, -1, -1, 1700},
              {&cue_fmod::callouts_1000, 3000, 0, 900, 2000, 0, 1009, 1011, 1700},
              {&cue_fmod::callouts_1000, 1100, 0, 900, 600, -3400, -1, -1},
              {&cue_fmod::callouts_500, 600, 0, 430, 1000, 0, 509, 511},
              {&cue_fmod::callouts_1000, 1100, 0, 900, 600, 0, 1009, 1011}};
  for (const Row& r : rows) {
    SetUp();
    for (float& g : host_mirror.sim_aircraft_parts_acf_gear_deploy) g = 1.0f;
    host_mirror.sim_cockpit2_controls_flap_handle_deploy_ratio = 0.625f;
    host_mirror.sim_cockpit2_gauges_indicators_airspeed_kts_pilot = 150.0f;
    script_mirror.zuvadud_D738_FMS_radio_height_ratio = r.closure_fpm;
    float called_at = -1.0f;
    bool warned = false;
    float sink = r.sink_fpm;
    for (float h = r.from; h >= r.to; h -= sink / 60.0f * frame_time) {
      if (h <= r.arrested_at) sink = 600.0f;
      gpws::terr_warn = h > r.terrain_to && r.terrain_to > 0.0f ? 2.0f : 0.0f;
      host_mirror.sim_cockpit2_gauges_indicators_radio_altimeter_height_ft_pilot = h;
      host_mirror.sim_cockpit2_gauges_indicators_altitude_ft_pilot = h;
      host_mirror.sim_flightmodel_position_vh_ind_fpm = -sink;
      host_mirror.sim_cockpit2_gauges_indicators_vvi_fpm_pilot = -sink;
      gpws_update();
      const bool sounding = cue_fmodpack::msg_pull_up != 0.0f || cue_fmodpack::msg_terrain != 0.0f;
      warned = warned || sounding;
      if (called_at < 0.0f && *r.flag == 1.0f) {
        called_at = h;
        EXPECT_EQ(gpws_state.alert_code, 0) << r.from;
      }
    }
    EXPECT_EQ(warned, r.sink_fpm > 2000.0f || r.closure_fpm != 0.0f || r.terrain_to > 0.0f) << r.from;
    EXPECT_GE(called_at, r.called_low) << r.from << " " << r.closure_fpm;
    EXPECT_LE(called_at, r.called_high) << r.from << " " << r.closure_fpm;
  }
}

TEST_F(Callouts, BatteryBusChangeSilencesUntilRearmed) {
  std::vector<Fired> watch = {{&cue_fmod::callouts_500, 0}};
  descend(700.0f, 505.0f, 600.0f, watch);
  EXPECT_EQ(cue_fmod::callouts_500, 1.0f);
  electric::batbus_status = 0.0f;
  gpws_update();
  EXPECT_EQ(cue_fmod::callouts_500, 0.0f);
  EXPECT_EQ(callout_state.callout_armed[11], 0);  // 400 was armed above 425
}

// ---- Autoland fail grade ----------------------------------------------

TEST_F(Gpws, AutolandFailGrade) {
  autoland_fail_state = AutolandFailState{};
  host_mirror.sim_flightmodel_position_groundspeed = 100.0f;
  on_ground = 0;
  script_mirror.zuvadud_autopilot_ap_on = 1.0f;
  host_mirror.sim_cockpit2_gauges_indicators_radio_altimeter_height_ft_pilot = 3000.0f;
  display::isfd_init_time = 0.0f;
  update_autoland_status();
  EXPECT_EQ(autoland::fail_status, 0.0f);
  EXPECT_EQ(autoland::fail_flag, 0.0f);
  script_mirror.zuvadud_D738_irs_pfd_allign2 = 1.0f;  // one source lost
  update_autoland_status();
  EXPECT_EQ(autoland::fail_status, 1.0f);
  EXPECT_EQ(autoland::fail_flag, 2.0f);
  update_autoland_status();
  EXPECT_EQ(autoland::fail_flag, 2.0f);
  host_mirror.sim_operation_failures_rel_ss_ahz = 6;  // two lost
  update_autoland_status();
  EXPECT_EQ(autoland::fail_status, 2.0f);
  EXPECT_EQ(autoland::fail_flag, 3.0f);
  script_mirror.zuvadud_D738_autopilot_autoland_status = 1.0f;
  host_mirror.sim_cockpit2_gauges_indicators_radio_altimeter_height_ft_pilot = 150.0f;
  update_autoland_status();
  EXPECT_EQ(autoland::fail_flag, 0.0f);
  on_ground = 1;
}

}  // namespace
