// Failure model: trigger timers and the entry scan, conditional engine
// entries, the reset-available lights, per-aircraft hydraulic draws; engine
// failures, overspeed damage and fuel starvation.
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "alerting/engine_failures.h"
#include "alerting/failure_commands.h"
#include "alerting/failure_state.h"
#include "alerting/failures.h"
#include "core/binding.h"
#include "core/frame_values.h"
#include "core/preprocess_values.h"
#include "engines/engine_state.h"
#include "engines/engine_values.h"
#include "systems/fuel/fuel_values.h"
#include "systems/hydraulics/hydraulics.h"
#include "systems/instruments/instrument_values.h"

namespace {

// A seed whose first draw lies in [lo, hi) (fraction of 1).
unsigned seed_drawing(float lo, float hi) {
  for (unsigned s = 1; s < 100000; ++s) {
    std::srand(s);
    const float f = random_fraction();
    if (f >= lo && f < hi) {
      std::srand(s);
      return s;
    }
  }
  return 0;
}

class Failures : public ::testing::Test {
 protected:
  void SetUp() override {
    for (XPLMDataRef& h : bound_handles) h = nullptr;
    host_mirror = HostMirror{};
    script_mirror = ScriptMirror{};
    failure_tables = FailureTables{};
    failure_timers = FailureTimers{};
    failure_scan_index = 0;
    engine_failure_state = EngineFailureState{};
    engine_damage_timers[0] = engine_damage_timers[1] = 0.0f;
    engine_damage_flags[0] = engine_damage_flags[1] = 0;
    damage_fluctuation_timer = 0.0f;
    for (float& f : tyre_burst_flags) f = 0.0f;
    frame_flight_data = FrameFlightData{};
    sim_paused = 0;
    sim_in_replay = 0;
    on_ground = 0;
    load_settle_timer = 0.0f;
    frame_time = 0.1f;
    host_mirror.sim_flightmodel2_engines_engine_is_burning_fuel[0] = 1;
    host_mirror.sim_flightmodel2_engines_engine_is_burning_fuel[1] = 1;
    std::srand(7);
  }
  // Full scans of the 70 entries.
  static void scans(int n) {
    for (int i = 0; i < n * 70; ++i) update_random_failures();
  }
};

TEST_F(Failures, DelayCountsOnlyWhenItsEntryIsExamined) {
  failure_tables.electric[5] = 2.0f;
  update_random_failures();  // examines entry 0 only
  EXPECT_EQ(failure_timers.delay_s[fail_electric][5], 0.0f);
  scans(1);
  const float drawn = failure_timers.delay_s[fail_electric][5];
  EXPECT_GE(drawn, 7.0f);
  EXPECT_LE(drawn, 850.0f);
  scans(3);
  EXPECT_NEAR(failure_timers.delay_s[fail_electric][5], drawn - 3 * 0.1f, 1e-3f);
}

TEST_F(Failures, AFailureRestartsEveryOtherDelay) {
  failure_tables.electric[3] = 2.0f;
  failure_tables.pressurisation[10] = 2.0f;
  failure_tables.hydraulic[20] = 2.0f;
  scans(1);
  const float before = failure_timers.delay_s[fail_pressurisation][10];
  ASSERT_GT(before, 0.0f);
  failure_timers.delay_s[fail_electric][3] = 0.05f;  // runs out at its next look
  scans(1);
  EXPECT_EQ(failure_tables.electric[3], 1.0f);
  // Entry 10 was looked at after the failure at 3: a fresh delay, not the old one run down.
  const float after = failure_timers.delay_s[fail_pressurisation][10];
  EXPECT_GT(after, 0.0f);
  EXPECT_NE(after, before - frame_time);
  failure_tables.electric[3] = 0.0f;
  failure_timers.delay_s[fail_pressurisation][10] = 0.05f;
  failure_scan_index = 10;
  update_random_failures();
  EXPECT_EQ(failure_tables.pressurisation[10], 1.0f);
  EXPECT_EQ(failure_timers.delay_s[fail_hydraulic][20], 0.0f);
  for (int g = 0; g < fail_groups; ++g) {
    for (int i = 0; i < 69; ++i) EXPECT_EQ(failure_timers.delay_s[g][i], 0.0f);
  }
}

TEST_F(Failures, HydraulicGroupsExcludeEachOther) {
  failure_tables.hydraulic[1] = 2.0f;
  failure_tables.hydraulic[6] = 2.0f;
  failure_tables.hydraulic[4] = 1.0f;  // a failure of the second group
  failure_tables.hydraulic[0] = 0.0f;
  scans(2);
  EXPECT_EQ(failure_timers.delay_s[fail_hydraulic][1], 0.0f);
  EXPECT_GT(failure_timers.delay_s[fail_hydraulic][6], 0.0f);
  failure_tables.hydraulic[4] = 0.0f;
  failure_tables.hydraulic[2] = 1.0f;
  failure_timers = FailureTimers{};
  scans(2);
  EXPECT_EQ(failure_timers.delay_s[fail_hydraulic][6], 0.0f);
}

TEST_F(Failures, ConditionalEngineEntriesFailAtOnce) {
  struct Case {
    int entry;
    float armed;
    float ias_kt, radio_ft, alt_ft, phase, v1;
    bool fails;
    float gs_kt = 0.0f;  // the wind or a high field sets it apart
  };
  const Case cases[] = {
      // V1 140 kt: a 21 kt tailwind, a 20 kt headwind, a 5,430 ft field.
      {4, 4, 139, 0, 0, 0, 140, false, 160}, {4, 4, 141, 0, 0, 0, 140, true, 162},
      {4, 4, 141, 0, 0, 0, 140, true, 121},  {4, 4, 139, 0, 0, 0, 140, false, 151},
      {0, 3, 64, 0, 0, 0, 0, false, 85},     {5, 5, 146, 0, 0, 0, 0, true, 126},
      {0, 3, 66, 0, 0, 0, 0, true},      {0, 3, 64, 0, 0, 0, 0, false},
      {4, 4, 136, 0, 0, 0, 0, true},     {4, 4, 134, 0, 0, 0, 0, false},
      {4, 4, 136, 0, 0, 0, 140, false},  {5, 5, 146, 0, 0, 0, 0, true},
      {2, 6, 0, 1050, 0, 0, 0, true},    {2, 6, 0, 1100, 0, 0, 0, false},
      {1, 7, 0, 0, 10050, 0, 0, true},   {3, 8, 0, 0, 0, 8, 0, true},
      {3, 9, 300, 1050, 10050, 8, 0, false},
      {5, 5, 144, 0, 0, 0, 0, false},    {2, 6, 0, 1000, 0, 0, 0, false},
      {1, 7, 0, 0, 10000, 0, 0, false},  {1, 7, 0, 0, 10100, 0, 0, false},
      {3, 8, 0, 0, 0, 7, 0, false},
  };
  for (const Case& k : cases) {
    SetUp();
    // Engine 1 shut down: a conditional entry ignores the fuel condition.
    host_mirror.sim_flightmodel2_engines_engine_is_burning_fuel[0] = 0;
    on_ground = 1;
    failure_tables.engine[k.entry] = k.armed;
    host_mirror.sim_flightmodel_position_groundspeed = k.gs_kt / 1.94384449f;
    frame_flight_data.ias_kt = k.ias_kt;
    frame_flight_data.radio_alt_ft = k.radio_ft;
    frame_flight_data.alt_ft = k.alt_ft;
    script_mirror.zuvadud_D738_FMS_flight_phase = k.phase;
    script_mirror.zuvadud_D738_FMS_v1_set = k.v1;
    // Judged in the frame the condition holds, wherever the scan of the
    // random entries stands.
    failure_scan_index = 37;
    update_random_failures();
    EXPECT_EQ(failure_tables.engine[k.entry] == 1.0f, k.fails) << k.entry << " armed " << k.armed;
  }
}

// A randomly armed engine entry draws its delay only while the engine burns
// fuel, no conflicting entry of that engine has failed, and (damage, seizure)
// above 150 ft radio height.
TEST_F(Failures, EngineEntryDrawsOnlyWithoutConflict) {
  struct Row {
    int entry, failed;  // failed: an entry already at 1, or -1
    int32_t burn1, burn2;
    float radio_ft;
    bool draws;
  } rows[] = {
      {0, -1, 1, 1, 0, true},     {0, 2, 1, 1, 0, false},    {0, 4, 1, 1, 0, false},   {0, -1, 0, 1, 0, false},
      {1, -1, 1, 1, 0, true},     {1, 3, 1, 1, 0, false},    {1, 5, 1, 1, 0, false},   {1, -1, 1, 0, 0, false},
      {2, 0, 1, 1, 0, false},     {2, 4, 1, 1, 0, false},    {3, 1, 1, 1, 0, false},   {3, 5, 1, 1, 0, false},
      {4, -1, 1, 1, 200, true},   {4, -1, 1, 1, 100, false}, {4, 0, 1, 1, 200, false}, {4, 2, 1, 1, 200, false},
      {5, -1, 1, 1, 200, true},   {5, 1, 1, 1, 200, false},  {5, 3, 1, 1, 200, false}, {5, -1, 1, 0, 200, false},
      {6, -1, 1, 1, 200, true},   {6, 2, 1, 1, 200, false},  {6, -1, 1, 1, 100, false},
      {7, -1, 1, 1, 200, true},   {7, 1, 1, 1, 200, false},  {7, 3, 1, 1, 200, false},  {7, -1, 1, 0, 200, false},
      {10, -1, 1, 1, 0, true},    {10, 4, 1, 1, 0, false},   {10, -1, 0, 1, 0, false},
      {11, -1, 1, 1, 0, true},    {11, 5, 1, 1, 0, false},   {11, -1, 1, 0, 0, false},
  };
  for (const Row& r : rows) {
    SetUp();
    failure_tables.engine[r.entry] = 2.0f;
    if (r.failed >= 0) failure_tables.engine[r.failed] = 1.0f;
    host_mirror.sim_flightmodel2_engines_engine_is_burning_fuel[0] = r.burn1;
    host_mirror.sim_flightmodel2_engines_engine_is_burning_fuel[1] = r.burn2;
    frame_flight_data.radio_alt_ft = r.radio_ft;
    scans(1);
    EXPECT_EQ(failure_timers.delay_s[fail_engine][r.entry] > 0.0f, r.draws) << r.entry << " with " << r.failed;
  }
}

// The two pressurisation controllers exclude each other; other entries draw
// regardless.
TEST_F(Failures, PressurisationControllersExcludeEachOther) {
  struct Row {
    int entry, failed;
    bool draws;
  } rows[] = {{0, -1, true}, {0, 1, false}, {1, -1, true}, {1, 0, false}, {2, 0, true}, {2, 1, true}};
  for (const Row& r : rows) {
    SetUp();
    failure_tables.pressurisation[r.entry] = 2.0f;
    if (r.failed >= 0) failure_tables.pressurisation[r.failed] = 1.0f;
    scans(1);
    EXPECT_EQ(failure_timers.delay_s[fail_pressurisation][r.entry] > 0.0f, r.draws) << r.entry << " with " << r.failed;
  }
}

// A scan position out of the table (a stored or corrupted value) starts over
// at the first entry.
TEST_F(Failures, ScanPositionOutOfTheTableStartsOver) {
  for (int start : {-3, 70, 500}) {
    failure_scan_index = start;
    update_random_failures();
    EXPECT_EQ(failure_scan_index, 1) << start;
  }
}

TEST_F(Failures, EngineSeizureArmedAnyWayDrawsTheLongDelay) {
  for (float armed : {2.0f, 5.0f}) {
    SetUp();
    failure_tables.engine[6] = armed;
    frame_flight_data.radio_alt_ft = 2000.0f;
    scans(1);
    const float d = failure_timers.delay_s[fail_engine][6];
    EXPECT_GE(d, 80.0f) << armed;
    EXPECT_LE(d, 15000.0f) << armed;
  }
}

TEST_F(Failures, ResetAvailableAlternatesWithTheBlink) {
  struct Case {
    bool stopped;
    bool failed;
    float blink;
    float expected;
  };
  const Case cases[] = {{true, true, 0, 1}, {true, true, 1, 2}, {true, false, 1, 1},
                        {false, true, 0, 0}, {false, true, 1, 2}, {false, false, 1, 0}};
  for (const Case& k : cases) {
    SetUp();
    tyre_burst_flags[1] = k.failed ? 1.0f : 0.0f;
    on_ground = k.stopped ? 1 : 0;
    script_mirror.zuvadud_D738_autopilot_blink = k.blink;
    for (int i = 0; i < 6; ++i) update_fail_reset_available();
    EXPECT_EQ(system_::rst_fail_available, k.expected);
    EXPECT_EQ(system_::rst_fail_available2, k.stopped ? 1.0f : 0.0f);
  }
}

TEST_F(Failures, ResetKeepsArmedEntriesAndDisableClearsThem) {
  failure_tables.system[3] = 1.0f;
  failure_tables.system[4] = 2.0f;
  failure_tables.engine[69] = 1.0f;
  engine_damage_timers[1] = 50.0f;
  engine_failure_state.oil_overheat_timers[0] = 12.0f;
  tyre_burst_flags[2] = 1.0f;
  reset_failures();
  EXPECT_EQ(failure_tables.system[3], 0.0f);
  EXPECT_EQ(failure_tables.system[4], 2.0f);
  EXPECT_EQ(failure_tables.engine[69], 1.0f);
  EXPECT_EQ(engine_damage_timers[1], 0.0f);
  EXPECT_EQ(engine_failure_state.oil_overheat_timers[0], 0.0f);
  EXPECT_EQ(tyre_burst_flags[2], 0.0f);
  disable_random_failures();
  EXPECT_EQ(failure_tables.system[4], 0.0f);
}

TEST_F(Failures, HydraulicValuesDrawnWithinTheirRanges) {
  for (unsigned seed = 1; seed <= 40; ++seed) {
    std::srand(seed);
    failure_scan_index = 40;
    randomize_system_values();
    const HydraulicState& h = hyd_state;
    EXPECT_GE(h.edp_max_press_a, 2885.0f);
    EXPECT_LE(h.edp_max_press_a, 2975.0f);
    EXPECT_LE(std::abs(h.edp_max_press_b - h.edp_max_press_a), 35.0f);
    EXPECT_GE(h.edp_max_press_b, 2885.0f - 35.0f);
    EXPECT_LE(h.edp_max_press_b, 2975.0f);
    EXPECT_GE(h.hyd_fluid_b, 88.0f);
    EXPECT_LE(h.hyd_fluid_b, 96.0f);
    EXPECT_LE(std::abs(h.hyd_fluid_b - h.hyd_fluid_a), 4.0f);
    EXPECT_GE(h.hyd_residual_b, 40.0f);
    EXPECT_LE(h.hyd_residual_b, 50.0f);
    EXPECT_EQ(failure_scan_index, 0);
  }
}

// ---- engine failures ----

// The host item each engine entry fails; damage (4, 5) and seizure (6, 7)
// fail the engine through the flame-out item, the oil leaks (12, 13) have
// none: nothing of the plug-in's takes an engine off the wing.
int32_t* engine_entry_item(HostMirror& h, int entry) {
  int32_t* items[12] = {&h.sim_operation_failures_rel_engfir0, &h.sim_operation_failures_rel_engfir1,
                        &h.sim_operation_failures_rel_engfai0, &h.sim_operation_failures_rel_engfai1,
                        &h.sim_operation_failures_rel_engfai0, &h.sim_operation_failures_rel_engfai1,
                        &h.sim_operation_failures_rel_engfai0, &h.sim_operation_failures_rel_engfai1,
                        &h.sim_operation_failures_rel_genera0, &h.sim_operation_failures_rel_genera1,
                        &h.sim_operation_failures_rel_oilpmp0, &h.sim_operation_failures_rel_oilpmp1};
  return entry >= 0 && entry < 12 ? items[entry] : nullptr;
}

// Each engine entry at 1 reaches its own host item (an armed 2 does not);
// the oil leak drains 0.00625 per second.
TEST_F(Failures, EngineEntriesReachTheirHostItems) {
  HostMirror& h = host_mirror;
  struct Row {
    int entry;
    int32_t* item;
  };
  std::vector<Row> rows;
  for (int entry : {0, 1, 2, 3, 6, 7, 8, 9, 10, 11, 12, 13}) rows.push_back({entry, engine_entry_item(h, entry)});
  for (const Row& r : rows) {
    for (float armed : {2.0f, 1.0f}) {
      SetUp();
      frame_time = 1.0f;
      engine::eng1_oil_press = engine::eng2_oil_press = 40.0f;
      h.sim_flightmodel_engine_ENGN_oil_quan[0] = h.sim_flightmodel_engine_ENGN_oil_quan[1] = 1.0f;
      failure_tables.engine[r.entry] = armed;
      update_engine_failures();
      if (r.item != nullptr) {
        EXPECT_EQ(*r.item, armed == 1.0f ? 6 : 0) << "entry " << r.entry << " at " << armed;
      } else {
        const int e = r.entry - 12;
        EXPECT_FLOAT_EQ(h.sim_flightmodel_engine_ENGN_oil_quan[e], armed == 1.0f ? 0.99375f : 1.0f) << r.entry;
        EXPECT_EQ(h.sim_flightmodel_engine_ENGN_oil_quan[1 - e], 1.0f) << r.entry;
      }
    }
  }
}

// The host's own repair ("fix all systems": its item from 6 to 0) takes back
// the entry that failed it, so the item stays repaired; an item the host
// never failed leaves its entry alone. Damage fails the engine through the
// flame-out item.
TEST_F(Failures, HostRepairClearsTheEntryBehindEachItem) {
  HostMirror& h = host_mirror;
  struct Row {
    int entry;
    int32_t* item;
  };
  std::vector<Row> rows;
  for (int entry = 0; entry < 12; ++entry) rows.push_back({entry, engine_entry_item(h, entry)});
  for (const Row& r : rows) {
    SetUp();
    engine::eng1_oil_press = engine::eng2_oil_press = 40.0f;
    failure_tables.engine[r.entry] = 1.0f;
    failure_tables.engine[12] = 1.0f;  // an oil leak: no host item, untouched
    *r.item = 6;                       // failed (damage: after its countdown)
    update_engine_failures();
    ASSERT_EQ(*r.item, 6) << r.entry;
    *r.item = 0;  // the host's repair
    update_engine_failures();
    EXPECT_EQ(failure_tables.engine[r.entry], 0.0f) << r.entry;
    EXPECT_EQ(failure_tables.engine[12], 1.0f) << r.entry;
    update_engine_failures();
    EXPECT_EQ(*r.item, 0) << r.entry;
  }
  // Armed by the scripts while the host item is healthy: it fails as before.
  SetUp();
  update_engine_failures();
  failure_tables.engine[8] = 1.0f;
  update_engine_failures();
  EXPECT_EQ(h.sim_operation_failures_rel_genera0, 6);
  EXPECT_EQ(failure_tables.engine[8], 1.0f);
}

// A flame-out clears itself after 30..90 s; oil pressure at or below 13 with
// fuel burning seizes the engine after 300 s.
TEST_F(Failures, FlameoutClearsAndLowOilPressureSeizes) {
  struct Draw {
    float lo, hi, t_lo, t_hi;
  } draws[] = {{0, 0.01f, 30, 30.6f}, {0.99f, 1, 89.4f, 90}};
  for (const Draw& d : draws) {
    SetUp();
    failure_tables.engine[2] = 1.0f;
    ASSERT_NE(seed_drawing(d.lo, d.hi), 0u);
    update_engine_failures();
    const float t = engine_failure_state.flameout_timers[0];
    EXPECT_TRUE(t >= d.t_lo && t <= d.t_hi) << t;
  }
  engine_failure_state.flameout_timers[0] = 0.05f;
  update_engine_failures();
  EXPECT_EQ(failure_tables.engine[2], 0.0f);
  EXPECT_EQ(host_mirror.sim_operation_failures_rel_engfai0, 0);

  struct Row {
    float press;
    int32_t burning;
    int seconds;
    bool seized;
  } rows[] = {{13, 1, 300, true}, {13, 1, 299, false}, {13.5f, 1, 300, false}, {13, 0, 300, false}};
  for (const Row& r : rows) {
    SetUp();
    frame_time = 1.0f;
    engine::eng1_oil_press = r.press;
    engine::eng2_oil_press = 40.0f;
    engine::eng1_oil_temp = engine::eng2_oil_temp = 100.0f;
    host_mirror.sim_flightmodel2_engines_engine_is_burning_fuel[0] = r.burning;
    for (int i = 0; i < r.seconds; ++i) update_engine_failures();
    EXPECT_EQ(failure_tables.engine[6] == 1.0f, r.seized) << r.press << " for " << r.seconds << " s";
  }
}

TEST_F(Failures, OverspeedAccumulatesToItsLimit) {
  struct Case {
    float n1;
    float seconds_to_fail;
  };
  for (const Case& k : {Case{103.5f, 450.0f}, Case{102.2f, 900.0f}}) {
    SetUp();
    host_mirror.sim_flightmodel_engine_ENGN_N1_[0] = k.n1;
    on_ground = 1;
    float t = 0.0f;
    while (host_mirror.sim_operation_failures_rel_engfai0 != 6 && t < 2000.0f) {
      engine_overspeed_starvation_step(0.5f);
      t += 0.5f;
    }
    EXPECT_NEAR(t, k.seconds_to_fail, 1.0f) << k.n1;
  }
  engine_failure_state.overspeed_accumulators[1] = 10.0f;
  host_mirror.sim_flightmodel_engine_ENGN_N1_[1] = 95.0f;
  engine_overspeed_starvation_step(10.0f);
  EXPECT_NEAR(engine_failure_state.overspeed_accumulators[1], 6.7f, 1e-4f);
  engine_overspeed_starvation_step(100.0f);
  EXPECT_EQ(engine_failure_state.overspeed_accumulators[1], 0.0f);
}

TEST_F(Failures, DamageDrawFailsAtOnceOneTimeInTwenty) {
  failure_tables.engine[4] = 1.0f;
  seed_drawing(0.0f, 0.049f);
  update_engine_failures();
  EXPECT_EQ(host_mirror.sim_operation_failures_rel_engfai0, 6);
  EXPECT_EQ(engine_damage_flags[0], 0);

  SetUp();
  failure_tables.engine[5] = 1.0f;
  seed_drawing(0.06f, 1.0f);
  update_engine_failures();
  EXPECT_EQ(host_mirror.sim_operation_failures_rel_engfai1, 0);
  EXPECT_EQ(engine_damage_flags[1], 1);
  EXPECT_GE(engine_damage_timers[1], 15.0f);
}

TEST_F(Failures, DamageCountdownRateFollowsVibration) {
  failure_tables.engine[4] = 1.0f;
  struct Case {
    float timer, vib, after_1s;
  };
  const Case cases[] = {{200, 0, 200}, {100, 0, 99.75f}, {40, 0, 39.5f}, {200, 3.7f, 199}, {200, 6, 197},
                        {200, 4.35f, 198}};
  for (const Case& k : cases) {
    engine_damage_timers[0] = k.timer;
    engine::indicators_eng1_vib = k.vib;
    frame_time = 1.0f;
    update_engine_failures();
    EXPECT_NEAR(engine_damage_timers[0], k.after_1s, 1e-3f) << k.timer << " " << k.vib;
  }
}

// Each step runs for both engines before the next: engine 2's flame-out is
// in place when engine 1 fails from damage in the same frame, so the N2
// fluctuation period carries on.
TEST_F(Failures, FlameoutOfTheOtherEngineKeepsTheFluctuationPeriod) {
  failure_tables.engine[3] = 1.0f;
  failure_tables.engine[4] = 1.0f;
  engine_damage_timers[0] = 0.01f;
  damage_fluctuation_timer = 5.0f;
  update_engine_failures();
  EXPECT_EQ(host_mirror.sim_operation_failures_rel_engfai0, 6);
  EXPECT_EQ(host_mirror.sim_operation_failures_rel_engfai1, 6);
  EXPECT_EQ(damage_fluctuation_timer, 5.0f);
}

TEST_F(Failures, OilOverheatSeizesAfterThreeMinutes) {
  engine::eng1_oil_temp = 170.0f;
  engine::eng1_oil_press = 40.0f;
  engine::eng2_oil_press = 40.0f;
  frame_time = 1.0f;
  for (int i = 0; i < 179; ++i) update_engine_failures();
  EXPECT_EQ(failure_tables.engine[6], 0.0f);
  engine::eng1_oil_temp = 150.0f;
  for (int i = 0; i < 60; ++i) update_engine_failures();
  EXPECT_NEAR(engine_failure_state.oil_overheat_timers[0], 119.0f, 1e-3f);
  engine::eng1_oil_temp = 170.0f;
  for (int i = 0; i < 61; ++i) update_engine_failures();
  EXPECT_EQ(failure_tables.engine[6], 1.0f);
  // The seizure holds the spool at zero.
  engine_copies.spool_n2[0] = 30.0f;
  update_engine_failures();
  EXPECT_EQ(engine_copies.spool_n2[0], 0.0f);
  EXPECT_EQ(host_mirror.sim_operation_failures_rel_engfai0, 6);
  EXPECT_EQ(host_mirror.sim_operation_failures_rel_engsep0, 0);
  EXPECT_EQ(engine::indicators_N1_percent_1, 0.0f);
}

TEST_F(Failures, FuelStarvationAtAltitude) {
  host_mirror.sim_flightmodel_position_elevation = 10500.0;
  host_mirror.sim_flightmodel_engine_ENGN_running[0] = 1;
  host_mirror.sim_flightmodel_engine_ENGN_running[1] = 1;
  float* tank = host_mirror.sim_flightmodel_weight_m_fuel;
  tank[0] = tank[1] = tank[2] = 2000.0f;
  using namespace engine;
  tank_l1_status = tank_l2_status = tank_c1_status = 0.0f;
  tank_r1_status = tank_r2_status = tank_c2_status = 0.0f;
  fuel::cross_feed_valve = 0.0f;
  engine_overspeed_starvation_step(0.5f);
  const float drawn = engine_failure_state.suction_feed_timers[0];
  // 120 s at 8500 m down to 12 s at 12500 m, plus up to 30 s.
  EXPECT_GE(drawn, 66.0f - 0.5f);
  EXPECT_LE(drawn, 96.0f);
  float t = 0.5f;
  while (host_mirror.sim_flightmodel_engine_ENGN_running[0] != 0 && t < 200.0f) {
    engine_overspeed_starvation_step(0.5f);
    t += 0.5f;
  }
  EXPECT_NEAR(t, drawn + 0.5f - 10.0f, 0.6f);
  EXPECT_EQ(fuel_selector_l, 0.0f);

  // One side's pumps and the cross-feed feed both engines.
  SetUp();
  host_mirror.sim_flightmodel_position_elevation = 10500.0;
  host_mirror.sim_flightmodel_engine_ENGN_running[0] = 1;
  host_mirror.sim_flightmodel_engine_ENGN_running[1] = 1;
  tank[0] = tank[2] = 2000.0f;
  tank_r1_status = 1.0f;
  fuel::cross_feed_valve = 1.0f;
  for (int i = 0; i < 400; ++i) engine_overspeed_starvation_step(0.5f);
  EXPECT_EQ(host_mirror.sim_flightmodel_engine_ENGN_running[0], 1);
  EXPECT_EQ(engine_failure_state.suction_feed_timers[0], 0.0f);
  EXPECT_EQ(fuel_selector_l, 1.0f);
  EXPECT_EQ(fuel_selector_r, 1.0f);
  tank_r1_status = 0.0f;
}

// Flame-out countdowns as drawn, from the lowest or highest random fraction:
// the unfed engine's by elevation (120 s at 8500 m to 12 s at 12500 m, plus
// 30 s x f) and the rain's (80..180 s x m, m by the precipitation ratio).
TEST_F(Failures, FlameoutCountdownsAsDrawn) {
  struct Row {
    double elev_m;
    float precip, oat, f_lo, f_hi;
    float feed_lo, feed_hi, rain_lo, rain_hi;
  } rows[] = {
      {10500, 0, 15, 0, 0.01f, 66, 66.3f, 0, 0},       {10500, 0, 15, 0.99f, 1, 95.7f, 96, 0, 0},
      {8600, 0, 15, 0, 0.01f, 117.3f, 117.6f, 0, 0},   {13000, 0, 15, 0, 0.01f, 12, 12.3f, 0, 0},
      {8500, 0, 15, 0, 1, 0, 0, 0, 0},
      {0, 0.71f, 20, 0, 0.01f, 0, 0, 87.9f, 89.0f},    {0, 0.6f, 20, 0, 1, 0, 0, 0, 0},
      {0, 0.3f, -5, 0, 0.01f, 0, 0, 133.0f, 134.7f},   {0, 0.3f, -12, 0, 1, 0, 0, 0, 0},
      {0, 0.3f, 0, 0, 1, 0, 0, 0, 0},                  {0, 0.2f, -5, 0, 1, 0, 0, 0, 0},
  };
  for (const Row& r : rows) {
    SetUp();
    host_mirror.sim_flightmodel_position_elevation = r.elev_m;
    host_mirror.sim_flightmodel_engine_ENGN_running[0] = 1;
    host_mirror.sim_weather_precipitation_on_aircraft_ratio = r.precip;
    host_mirror.sim_cockpit2_temperature_outside_air_LE_temp_degc = r.oat;
    using namespace engine;
    tank_l1_status = tank_l2_status = tank_c1_status = tank_r1_status = tank_r2_status = tank_c2_status = 0.0f;
    fuel::cross_feed_valve = 0.0f;
    starter1_pos = 0.0f;
    ASSERT_NE(seed_drawing(r.f_lo, r.f_hi), 0u);
    engine_overspeed_starvation_step(0.0f);
    const float feed = engine_failure_state.suction_feed_timers[0];
    const float rain = engine_failure_state.rain_flameout_timers[0];
    EXPECT_TRUE(feed >= r.feed_lo && feed <= r.feed_hi) << r.elev_m << " m: " << feed;
    EXPECT_TRUE(rain >= r.rain_lo && rain <= r.rain_hi) << r.precip << " at " << r.oat << " C: " << rain;
  }
  // The second engine stops alone within the last 10 s of its countdown.
  SetUp();
  host_mirror.sim_flightmodel_position_elevation = 10500.0;
  host_mirror.sim_flightmodel_engine_ENGN_running[0] = host_mirror.sim_flightmodel_engine_ENGN_running[1] = 1;
  host_mirror.sim_flightmodel_weight_m_fuel[0] = 2000.0f;
  engine::tank_l1_status = 1.0f;
  engine_failure_state.suction_feed_timers[1] = 10.4f;
  engine_overspeed_starvation_step(0.5f);
  EXPECT_EQ(host_mirror.sim_flightmodel_engine_ENGN_running[1], 0);
  EXPECT_EQ(host_mirror.sim_flightmodel_engine_ENGN_running[0], 1);
  EXPECT_EQ(engine::fuel_selector_r, 0.0f);
  EXPECT_EQ(engine::fuel_selector_l, 1.0f);
  engine::tank_l1_status = 0.0f;
  // A stopped engine's countdown runs on, unless its mixture is cut off.
  for (float mixture : {1.0f, 0.0f}) {
    host_mirror.sim_flightmodel_engine_ENGN_running[0] = 0;
    engine::mixture_ratio1 = mixture;
    engine_failure_state.suction_feed_timers[0] = 50.0f;
    engine_overspeed_starvation_step(0.5f);
    EXPECT_EQ(engine_failure_state.suction_feed_timers[0], mixture != 0.0f ? 49.5f : 0.0f) << mixture;
  }
}

TEST_F(Failures, OnGroundOrSettlingTheFeedModelsRest) {
  host_mirror.sim_flightmodel_position_elevation = 11000.0;
  host_mirror.sim_flightmodel_engine_ENGN_running[0] = 1;
  host_mirror.sim_weather_precipitation_on_aircraft_ratio = 1.0f;
  engine_failure_state.rain_flameout_timers[0] = 30.0f;
  load_settle_timer = 1.0f;
  engine::fuel_selector_l = 0.0f;
  engine_overspeed_starvation_step(0.5f);
  EXPECT_EQ(engine::fuel_selector_l, 1.0f);
  EXPECT_EQ(engine_failure_state.rain_flameout_timers[0], 0.0f);
  EXPECT_EQ(engine_failure_state.suction_feed_timers[0], 0.0f);
}

TEST_F(Failures, RainFlameoutsAreStaggered) {
  host_mirror.sim_flightmodel_engine_ENGN_running[0] = 1;
  host_mirror.sim_flightmodel_engine_ENGN_running[1] = 1;
  host_mirror.sim_weather_precipitation_on_aircraft_ratio = 1.0f;
  engine::starter1_pos = 0.0f;  // GRD does not protect
  engine::starter2_pos = 2.0f;  // CONT does
  engine_overspeed_starvation_step(0.5f);
  const float t1 = engine_failure_state.rain_flameout_timers[0];
  EXPECT_GE(t1, 80.0f * 0.7f - 0.5f);  // 0.7 x 80..180 s at full precipitation
  EXPECT_LE(t1, 180.0f * 0.7f);
  EXPECT_EQ(engine_failure_state.rain_flameout_timers[1], 0.0f);
  engine::starter2_pos = 0.0f;
  engine_failure_state.rain_flameout_timers[0] = 100.0f;
  for (unsigned s = 1; s < 200; ++s) {
    engine_failure_state.rain_flameout_timers[1] = 0.0f;
    std::srand(s);
    engine_overspeed_starvation_step(0.0f);
    const float t2 = engine_failure_state.rain_flameout_timers[1];
    // A draw within 16 s of the running 100 s moves 20 s later.
    EXPECT_FALSE(t2 > 84.01f && t2 < 103.99f) << t2;
  }
  // The lowest draw (56 s) beside a running 60 s: moved to 76 s.
  engine_failure_state.rain_flameout_timers[0] = 60.0f;
  engine_failure_state.rain_flameout_timers[1] = 0.0f;
  ASSERT_NE(seed_drawing(0.0f, 0.01f), 0u);
  engine_overspeed_starvation_step(0.0f);
  EXPECT_GE(engine_failure_state.rain_flameout_timers[1], 76.0f);
  EXPECT_LE(engine_failure_state.rain_flameout_timers[1], 76.7f);
}

// In heavy rain: CONT and FLT end a countdown drawn before them, GRD and OFF
// leave it running; an engine whose start valve is still open draws none.
TEST_F(Failures, RainCountdownEndsAtContOrFltAndWaitsForTheStarter) {
  host_mirror.sim_flightmodel_engine_ENGN_running[0] = 1;
  host_mirror.sim_weather_precipitation_on_aircraft_ratio = 1.0f;
  struct Row {
    float pos, valve, drawn, after;
  } rows[] = {{0, 0, 50, 49.5f}, {1, 0, 50, 49.5f}, {2, 0, 50, 0}, {3, 0, 5, 0}, {0, 1, 0, 0}, {0, 0.3f, 0, 0}};
  for (const Row& r : rows) {
    engine::starter1_pos = r.pos;
    engine::start_valve1 = r.valve;
    engine_failure_state.rain_flameout_timers[0] = r.drawn;
    engine_overspeed_starvation_step(0.5f);
    EXPECT_EQ(engine_failure_state.rain_flameout_timers[0], r.after) << r.pos << " " << r.valve;
    EXPECT_EQ(host_mirror.sim_flightmodel_engine_ENGN_running[0], 1) << r.pos << " " << r.valve;
  }
  engine::start_valve1 = 0.0f;
}

}  // namespace
