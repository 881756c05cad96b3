// Worked values of the alerting laws, one table row each: the landing grade's
// handling terms, the gear loads that collapse a leg, and the other limits no
// older table pins.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "alerting/alerting_steps.h"
#include "alerting/failure_commands.h"
#include "alerting/gpws.h"
#include "alerting/rating.h"
#include "bind_for_test.h"
#include "core/binding.h"
#include "core/failure_tables.h"
#include "core/frame_values.h"
#include "core/preprocess_values.h"
#include "core/variant.h"
#include "engines/engine_values.h"
#include "gpws_fixture.h"
#include "host.h"
#include "systems/delay_timers.h"
#include "systems/electrical/electric_values.h"
#include "systems/instruments/instrument_values.h"
#include "systems/switches/switch_targets.h"
#include "systems/switches/switch_values.h"

namespace {

// Seeds the random draws so that the next one lies in [lo, hi).
bool seed_next_draw(float lo, float hi) {
  for (unsigned seed = 1; seed < 100000; ++seed) {
    std::srand(seed);
    const float f = random_fraction();
    if (f >= lo && f < hi) {
      std::srand(seed);
      return true;
    }
  }
  return false;
}

class Values : public ::testing::Test {
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
    on_ground = 0;
  }
  void TearDown() override { simhost::reset(); }
  static void g(float v) { simhost::set_float("sim/flightmodel/forces/g_nrml", v); }
  static void gear(int nose, int left, int right) {
    int32_t* on = host_mirror.sim_flightmodel2_gear_on_ground;
    on[0] = nose;
    on[1] = left;
    on[2] = right;
    on_ground = (nose | left | right) != 0 ? 1 : 0;
  }
};

// A finished touchdown record graded in one frame on the ground: load factor
// 1.0 and no sink leave the handling term alone against the base.
TEST_F(Values, LandingGradeFromEachHandlingTerm) {
  struct Row {
    float want;
    int first_gear = 2;
    float peak_g = 1.0f, vs = 0, float_s = 5, nose_g = 1.0f, nose_s = 10, left_s = 10, right_s = 10, roll = 0;
    float wind_lo = 0, wind_hi = 0;
  } rows[] = {
      {.want = 1.166667f, .nose_g = 2.0f},        {.want = 1.333333f, .nose_g = 3.0f},     // nose load factor
      {.want = 1.071429f, .right_s = 13.5f},      {.want = 1.142857f, .right_s = 17},      // main gear timing
      {.want = 1.166667f, .roll = 17.5f},         {.want = 1.333333f, .roll = 45},         // roll
      {.want = 1.071429f, .nose_s = 17.75f},      {.want = 1.142857f, .nose_s = 30},       // nose timing
      {.want = 1.0f, .float_s = 6.4f},            {.want = 1.074286f, .float_s = 7.85f},   // float
      {.want = 1.371429f, .float_s = 13.25f},     {.want = 2.485714f, .float_s = 25},
      // Gusts widen every allowance; beyond 13 kt they stop widening.
      {.want = 1.822898f, .float_s = 25, .right_s = 14.25f, .roll = 20, .wind_lo = -5, .wind_hi = 8},
      {.want = 1.822898f, .float_s = 25, .right_s = 14.25f, .roll = 20, .wind_lo = -10, .wind_hi = 10},
      {.want = 1.811304f, .float_s = 20, .right_s = 14.25f, .roll = 20, .wind_lo = 0, .wind_hi = 7.8f},
      {.want = 1.571429f, .float_s = 13.25f, .roll = 20, .wind_lo = 0, .wind_hi = 2},
      // Nose first from 3.5; the worst of load, sink and handling counts.
      {.want = 3.75f, .first_gear = 1, .nose_g = 3.0f, .roll = 45},
      {.want = 1.666667f, .peak_g = 1.45f, .vs = -300, .nose_g = 3.0f},
      {.want = 1.433333f, .peak_g = 1.45f, .nose_g = 2.0f},
  };
  g(1.0f);
  gear(1, 1, 1);
  int n = 0;
  for (const Row& r : rows) {
    ++n;
    flight_rating_state = FlightRatingState{};
    TouchdownRecord& t = flight_rating_state.touchdown;
    t.armed = t.any_touched = 1;
    for (int i = 0; i < 3; ++i) t.contact[i] = t.touched[i] = 1;
    t.first_gear = r.first_gear;
    t.peak_g = r.peak_g;
    t.min_vs_fpm = r.vs;
    t.float_time_s = r.float_s;
    t.nose_g = r.nose_g;
    t.time_to_contact_s[0] = r.nose_s;
    t.time_to_contact_s[1] = r.left_s;
    t.time_to_contact_s[2] = r.right_s;
    t.max_roll_deg = r.roll;
    t.wind_low_ms = r.wind_lo;
    t.wind_high_ms = r.wind_hi;
    flight_rating();
    EXPECT_NEAR(flight_rating_state.landing_rating, r.want, 2e-4f) << "row " << n;
  }
}

// One compression of one leg at 80000 kg: leg load = peak g x mass / legs in
// contact x 0.9, against 64800 kg (nose) and 194300 kg (mains); a tyre already
// at its deflection limit (0.8 m nose, 0.4 m mains) adds nothing.
TEST_F(Values, GearCollapseFromTheLegLoad) {
  struct Row {
    int leg, nose, left, right;
    float deflection_m, g;
    bool collapses;
  } rows[] = {
      {0, 1, 1, 1, 0.75f, 2.75f, true},  {0, 1, 1, 1, 0.75f, 2.65f, false}, {0, 1, 1, 1, 0.85f, 2.75f, false},
      {1, 1, 1, 1, 0.35f, 8.2f, true},   {1, 1, 1, 1, 0.35f, 8.0f, false},  {1, 1, 1, 1, 0.45f, 8.2f, false},
      {2, 1, 1, 1, 0.35f, 8.2f, true},   {2, 1, 1, 1, 0.45f, 8.2f, false},
      {1, 0, 1, 0, 0.35f, 2.75f, true},  {1, 0, 1, 0, 0.35f, 2.65f, false},  // one leg carries it all
      {2, 0, 1, 1, 0.35f, 5.5f, true},   {2, 0, 1, 1, 0.35f, 5.3f, false},
  };
  int32_t* const collapse[3] = {&host_mirror.sim_operation_failures_rel_collapse1,
                                &host_mirror.sim_operation_failures_rel_collapse2,
                                &host_mirror.sim_operation_failures_rel_collapse3};
  float* const deflection = host_mirror.sim_flightmodel2_gear_tire_vertical_deflection_mtr;
  int n = 0;
  for (const Row& r : rows) {
    ++n;
    flight_rating_state = FlightRatingState{};
    flight_rating_state.touchdown.armed = 1;
    for (int i = 0; i < 3; ++i) *collapse[i] = 0;
    deflection[0] = deflection[1] = deflection[2] = 0.0f;
    gear(r.nose, r.left, r.right);
    g(1.0f);
    host_mirror.sim_flightmodel_weight_m_total = 80000.0f;
    flight_rating();  // contact: the mass the legs carry from here on
    host_mirror.sim_flightmodel_weight_m_total = 40000.0f;
    deflection[r.leg] = r.deflection_m;
    g(r.g);
    flight_rating();  // compressing
    g(1.0f);
    flight_rating();  // compression over: the leg load is taken
    for (int i = 0; i < 3; ++i)
      EXPECT_EQ(*collapse[i], i == r.leg && r.collapses ? 6 : 0) << "row " << n << " leg " << i;
    if (r.collapses) {
      EXPECT_EQ(flight_rating_state.landing_rating, 6.0f) << "row " << n;
    }
  }
}

// The elevator trim jams after b x a s plus up to 10 s: a from 64 s at a
// speed brake ratio of 0.25 down to 18 s at 0.667, b from 2 just beyond VMO
// (340 kt) down to 1 at 360 kt; up to VMO or with the speed brake at 0.25
// never.
TEST_F(Values, TrimJamTimeBySpeedAndSpeedBrake) {
  struct Row {
    float ias, speedbrake, earliest_s;  // 0: never
  } rows[] = {{355, 0.6f, 31.74f}, {350, 0.3f, 87.73f}, {370, 0.8f, 18.0f}, {345, 0.5f, 63.74f},
              {340, 0.6f, 0},      {355, 0.25f, 0},     {330, 0.99f, 0},    {322, 0.48f, 0}};
  frame_time = 0.25f;
  for (const Row& r : rows) {
    flight_rating_state = FlightRatingState{};
    host_mirror.sim_operation_failures_rel_trim_elv = 0;
    host_mirror.sim_flightmodel_position_indicated_airspeed = r.ias;
    host_mirror.sim_cockpit2_controls_speedbrake_ratio = r.speedbrake;
    float t = 0.0f;
    while (host_mirror.sim_operation_failures_rel_trim_elv != 6 && t < 120.0f) {
      flight_rating();
      t += frame_time;
    }
    if (r.earliest_s == 0.0f) {
      EXPECT_NE(host_mirror.sim_operation_failures_rel_trim_elv, 6) << r.ias << " kt " << r.speedbrake;
    } else {
      EXPECT_GE(t, r.earliest_s) << r.ias << " kt " << r.speedbrake;
      EXPECT_LE(t, r.earliest_s + 10.0f + frame_time) << r.ias << " kt " << r.speedbrake;
    }
  }
}

// The approach latch through one approach: it starts above 400 ft, ends
// on the ground or below 10 ft under 30 m/s, and the grade (1: no penalty,
// none judged before flight phase 5) holds until the next start.
TEST_F(Values, ApproachStartsAbove400FeetAndEndsSlowBelow10) {
  struct Row {
    float rh;
    int ground;
    float ground_speed;
    int latch;
    float rating;
  } rows[] = {{0, 1, 0, -1, 0},   {400, 0, 70, -1, 0}, {401, 0, 70, 1, 0},  {10, 0, 29, 1, 0},
              {9, 0, 30, 1, 0},   {9, 0, 29, 0, 1},    {300, 0, 70, 0, 1},  {401, 0, 70, 1, 0},
              {20, 1, 29, 0, 1}};
  script_mirror.zuvadud_D738_FMS_flight_phase = 4.0f;
  for (const Row& r : rows) {
    host_mirror.sim_cockpit2_gauges_indicators_radio_altimeter_height_ft_pilot = r.rh;
    on_ground = r.ground;
    host_mirror.sim_flightmodel_position_groundspeed = r.ground_speed;
    flight_rating();
    EXPECT_EQ(flight_rating_state.approach_latch, r.latch) << r.rh << " ft " << r.ground_speed << " m/s";
    EXPECT_EQ(simhost::get_float("zuvadud/D738/flight/approach_rating"), r.rating) << r.rh << " ft";
  }
}

// A wheel off the ground for more than 1 s no longer counts as in contact:
// the left main then carries the whole 80000 kg (2.75 g: 198000 kg, beyond
// 194300) instead of half of it.
TEST_F(Values, WheelOffTheGroundOverOneSecondLeavesTheLeg) {
  for (int off_frames : {7, 9}) {  // off 0.9 s or 1.1 s when the load is taken
    flight_rating_state = FlightRatingState{};
    flight_rating_state.touchdown.armed = 1;
    host_mirror.sim_operation_failures_rel_collapse2 = 0;
    float* deflection = host_mirror.sim_flightmodel2_gear_tire_vertical_deflection_mtr;
    deflection[1] = 0.0f;
    host_mirror.sim_flightmodel_weight_m_total = 80000.0f;
    g(1.0f);
    gear(0, 1, 1);
    flight_rating();
    gear(0, 1, 0);
    for (int i = 0; i < off_frames; ++i) flight_rating();
    deflection[1] = 0.2f;
    g(2.75f);
    flight_rating();
    g(1.0f);
    flight_rating();
    EXPECT_EQ(host_mirror.sim_operation_failures_rel_collapse2, off_frames > 8 ? 6 : 0) << off_frames;
  }
}

// A 40 s float in gusts, then all gears at once (nose first: base 3.5): the
// float counts 30 s at most and the wind +-20 m/s at most, so 25/12 m/s
// gusts spread 8 m/s (float allowance 25.2 s, float term 5.2) and 25/5 m/s
// 13 m/s or more (allowance 30 s, float term 2.6).
TEST_F(Values, FloatAndGustsCappedOverALongFloat) {
  struct Row {
    float wind_a, wind_b, rating;
  } rows[] = {{25, 12, 5.592857f}, {-25, -12, 5.592857f}, {25, 5, 3.921429f}};
  frame_time = 0.5f;
  g(1.0f);
  for (const Row& r : rows) {
    flight_rating_state = FlightRatingState{};
    gear(0, 0, 0);
    host_mirror.sim_cockpit2_gauges_indicators_radio_altimeter_height_ft_pilot = 200.0f;
    flight_rating();
    host_mirror.sim_cockpit2_gauges_indicators_radio_altimeter_height_ft_pilot = 30.0f;
    for (int i = 0; i < 80; ++i) {
      host_mirror.sim_weather_wind_speed_kt = (i % 2) != 0 ? r.wind_a : r.wind_b;
      flight_rating();
    }
    gear(1, 1, 1);
    flight_rating();
    EXPECT_NEAR(flight_rating_state.landing_rating, r.rating, 1e-4f) << r.wind_a << "/" << r.wind_b;
  }
  // Nose down after a 19 s float, mains 15 s later: their time counts 30 s at
  // most, so the nose timing term sees 11 s (1.32), not 15.5 s (1.5).
  flight_rating_state = FlightRatingState{};
  host_mirror.sim_weather_wind_speed_kt = 0.0f;
  gear(0, 0, 0);
  host_mirror.sim_cockpit2_gauges_indicators_radio_altimeter_height_ft_pilot = 200.0f;
  flight_rating();
  host_mirror.sim_cockpit2_gauges_indicators_radio_altimeter_height_ft_pilot = 30.0f;
  for (int i = 0; i < 38; ++i) flight_rating();
  gear(1, 0, 0);
  for (int i = 0; i < 31; ++i) flight_rating();
  gear(1, 1, 1);
  flight_rating();
  EXPECT_NEAR(flight_rating_state.landing_rating, 4.081233f, 1e-4f);
}

// The host's own overspeed and overload warnings are turned off every run.
TEST_F(Values, HostWarningsTurnedOff) {
  const char* const prefs[] = {"warn_overspeed", "warn_overgforce", "warn_overspeed_flaps", "warn_overspeed_gear"};
  for (const char* p : prefs) simhost::set_int(std::string("sim/operation/prefs/") + p, 1);
  flight_rating();
  for (const char* p : prefs) EXPECT_EQ(simhost::get_int(std::string("sim/operation/prefs/") + p), 0) << p;
}

// A restored situation holds the airframe intact for 5 s, as a load does.
TEST_F(Values, RestartHoldsDamageFiveSeconds) {
  simhost::Config config;
  config.extra.push_back({"sim/operation/failures/rel_wing1L", 1, 1, true, "0"});
  simhost::reset(config);
  rebind_datarefs();
  flight_rating_restart();
  host_mirror.sim_flightmodel_weight_m_total = 79000.0f;
  g(5.0f);
  for (int i = 0; i < 48; ++i) flight_rating();
  EXPECT_EQ(simhost::get_int("sim/operation/failures/rel_wing1L"), 0);
  for (int i = 0; i < 5; ++i) flight_rating();
  EXPECT_EQ(simhost::get_int("sim/operation/failures/rel_wing1L"), 6);
}

// Flaps at 15 degrees (structural limit 221.3 kt) fail beyond the limit
// plus 10 + 15 x r kt, or 30 + 15 x r once the other side has failed; r is
// the frame's random fraction, here held near 0 or near 1.
TEST_F(Values, FlapOverspeedMarginByRandomDraw) {
  struct Row {
    float r_lo, r_hi, over_kt;
    int other_failed;
    bool fails;
  } rows[] = {{0, 0.01f, 10.3f, 0, true},  {0, 0.01f, 9.9f, 0, false},  {0.99f, 1, 25.2f, 0, true},
              {0.99f, 1, 24.7f, 0, false}, {0, 0.01f, 30.3f, 6, true}, {0, 0.01f, 29.9f, 6, false}};
  simhost::Config config;
  for (const char* n : {"rel_fc_L_flp", "rel_fc_R_flp"})
    config.extra.push_back({std::string("sim/operation/failures/") + n, 1, 1, true, "0"});
  simhost::reset(config);
  rebind_datarefs();
  float* flap = host_mirror.sim_flightmodel2_wing_flap2_deg;
  flap[2] = flap[3] = 15.0f;
  for (const Row& r : rows) {
    simhost::set_int("sim/operation/failures/rel_fc_L_flp", 0);
    host_mirror.sim_operation_failures_rel_R_flp_off = r.other_failed;
    host_mirror.sim_flightmodel_position_indicated_airspeed = 221.333f + r.over_kt;
    ASSERT_TRUE(seed_next_draw(r.r_lo, r.r_hi));
    flight_rating();
    EXPECT_EQ(simhost::get_int("sim/operation/failures/rel_fc_L_flp") == 6, r.fails) << r.over_kt << " kt over";
  }
}

// The fuel put back after a repair, wings first, while the total lies in
// 1..20.9 t and payload + fuel + empty weight stays within the maximum:
// 79 t / 41.4 t / 3900 kg wings, 85 t / 44.67 t / 3920 kg (family 1 or
// variant 1, 4), 70 t / 37.6 t / 3900 kg (family 2 or variant 2).
TEST_F(Values, FuelPutBackWingsFirstWithinTheWeightLimits) {
  struct Row {
    float family;
    int variant;
    float payload_kg, total_kg, left, centre, right;  // the saved load is 10/80/10 %
  } rows[] = {
      {0, 0, 0, 10000, 3900, 2200, 3900},     {0, 0, 0, 5000, 2500, 0, 2500},
      {0, 0, 27700, 10000, 1000, 8000, 1000}, {0, 0, 27500, 10000, 3900, 2200, 3900},
      {0, 0, 0, 20900, 3900, 13100, 3900},    {0, 0, 0, 21000, 2100, 16800, 2100},
      {0, 0, 0, 1000, 500, 0, 500},           {0, 0, 0, 990, 99, 792, 99},
      {1, 0, 0, 10000, 3920, 2160, 3920},     {0, 1, 0, 10000, 3920, 2160, 3920},
      {0, 4, 0, 10000, 3920, 2160, 3920},     {1, 0, 30400, 10000, 1000, 8000, 1000},
      {1, 0, 30300, 10000, 3920, 2160, 3920}, {2, 0, 22500, 10000, 1000, 8000, 1000},
      {0, 2, 22300, 10000, 3900, 2200, 3900},
  };
  const float family = model_family;
  const int32_t variant = variant_index;
  for (const Row& r : rows) {
    model_family = r.family;
    variant_index = r.variant;
    host_mirror.sim_flightmodel_weight_m_fixed = r.payload_kg;
    saved_fuel_load[0] = saved_fuel_load[2] = 0.1f * r.total_kg;
    saved_fuel_load[1] = 0.8f * r.total_kg;
    reset_fuel_distribution();
    const float* tank = host_mirror.sim_flightmodel_weight_m_fuel;
    const std::string row = std::to_string(r.family) + " " + std::to_string(r.variant) + " " +
                            std::to_string(r.payload_kg) + " " + std::to_string(r.total_kg);
    EXPECT_NEAR(tank[0], r.left, 0.01f) << row;
    EXPECT_NEAR(tank[1], r.centre, 0.01f) << row;
    EXPECT_NEAR(tank[2], r.right, 0.01f) << row;
  }
  model_family = family;
  variant_index = variant;
}

// The warning computer powered and quiet, every option off.
class GpwsModes : public ::testing::Test {
 protected:
  void SetUp() override {
    simhost::reset();
    rebind_datarefs();
    cockpit_options = CockpitOptions{};
    reset_gpws_world();
  }
  void TearDown() override {
    engine::thrust1_leveler = 0.0f;
    cockpit_options = CockpitOptions{};
    simhost::reset();
  }
};

// Don't sink (mode 3): after takeoff or in a go-around, short of gear down
// and flaps 30, a loss of barometric altitude beyond 8 + (R - 30) x 112 /
// 1470 ft (43.8 ft at 500 ft) below 1330 ft radio; the go-around it rides on,
// from either go-around mode or a lever above 0.5 climbing above 100 ft/min
// past takeoff.
TEST_F(GpwsModes, DontSinkAndGoAround) {
  struct Row {
    int phase;
    float flight_phase, ra, drop, flap, gear;
    int ga_mode;  // 1 flight director, 2 autopilot
    float lever, vs;
    int code, go_around;
    float latch;
  } rows[] = {
      {1, 1, 500, 50, 0, 0, 0, 0, 0, 7, 0, 0},      {1, 1, 500, 40, 0, 0, 0, 0, 0, 0, 0, 0},
      {1, 1, 1329, 110, 0, 0, 0, 0, 0, 7, 0, 0},    {1, 1, 1330, 200, 0, 0, 0, 0, 0, 0, 0, 0},
      {1, 1, 500, 50, 0.625f, 0, 0, 0, 0, 7, 0, 0}, {1, 1, 500, 50, 0.6f, 0, 0, 0, 0, 7, 0, 0},
      {1, 1, 500, 50, 0, 0.1f, 0, 0, 0, 7, 0, 0},   {0, 1, 500, 50, 0, 0, 0, 0, 0, 7, 0, 0},
      // Take-off and go-around flaps with the gear down; landing flaps with it.
      {1, 1, 400, 70, 0.625f, 1, 0, 0, 0, 7, 0, 0}, {1, 1, 400, 70, 0.375f, 1, 0, 0, 0, 7, 0, 0},
      {2, 5, 600, 80, 0.625f, 1, 1, 0, 0, 7, 1, 0}, {2, 5, 600, 80, 0.875f, 1, 1, 0, 0, 0, 1, 0},
      {1, 1, 400, 70, 0.875f, 1, 0, 0, 0, 0, 0, 0}, {1, 1, 400, 70, 0.875f, 0.5f, 0, 0, 0, 7, 0, 0},
      {0, 2, 500, 50, 0, 0, 0, 0, 0, 0, 0, 0},      {2, 5, 500, 50, 0, 0, 1, 0, 0, 7, 1, 0},
      {2, 5, 500, 50, 0, 0, 2, 0, 0, 7, 1, 0},      {2, 5, 500, 50, 0, 0, 0, 0.6f, 200, 0, 1, 1},
      {2, 5, 500, 50, 0, 0, 0, 0.4f, 200, 0, 0, 0}, {2, 5, 500, 50, 0, 0, 0, 0.6f, 90, 0, 0, 0},
      {1, 1, 500, 50, 0, 0, 0, 0.6f, 200, 7, 0, 0},
  };
  int n = 0;
  for (const Row& r : rows) {
    ++n;
    reset_gpws_world();
    gpws_state.gpws_phase = r.phase;
    HostMirror& h = host_mirror;
    ScriptMirror& s = script_mirror;
    s.zuvadud_D738_FMS_flight_phase = r.flight_phase;
    s.zuvadud_D738_autopilot_fd_goaround = r.ga_mode == 1 ? 1.0f : 0.0f;
    s.zuvadud_D738_autopilot_ap_goaround = r.ga_mode == 2 ? 1.0f : 0.0f;
    engine::thrust1_leveler = r.lever;
    engine::thrust2_leveler = 0.0f;
    h.sim_cockpit2_gauges_indicators_radio_altimeter_height_ft_pilot = r.ra;
    h.sim_cockpit2_gauges_indicators_airspeed_kts_pilot = 185.0f;
    h.sim_cockpit2_gauges_indicators_vvi_fpm_pilot = h.sim_flightmodel_position_vh_ind_fpm = r.vs;
    h.sim_cockpit2_controls_flap_handle_deploy_ratio = r.flap;
    for (int i = 0; i < 3; ++i) h.sim_aircraft_parts_acf_gear_deploy[i] = r.gear;
    h.sim_cockpit2_gauges_indicators_altitude_ft_pilot = 3000.0f;
    gpws_update();
    h.sim_cockpit2_gauges_indicators_altitude_ft_pilot = 3000.0f - r.drop;
    gpws_update();
    EXPECT_EQ(gpws_state.alert_code, r.code) << "row " << n;
    EXPECT_EQ(gpws_state.go_around, r.go_around) << "row " << n;
    EXPECT_EQ(delay_flags.gpws_flag, r.latch) << "row " << n;
    EXPECT_EQ(delay_timers.gpws_delay, r.go_around != 0 ? 5.0f : 0.0f) << "row " << n;
  }
}

// The 500 call from 600 ft down to 505 ft: heard only with the callouts
// gated in (flight phase above 1, no go-around, not climbing, no self-test)
// and not disabled; a disable value of 2 silences it only within 2.4 dots
// of the side's glidepath.
TEST_F(GpwsModes, FiveHundredCallGatesAndGlidepathDisable) {
  struct Row {
    float phase, fd_ga, ap_ga, vs;
    int test;  // 1 long, 2 short
    float disable;
    bool fo;
    float mode, type, active, dev;
    bool heard;
  } rows[] = {
      {2, 0, 0, 0, 0, 0, false, 0, 0, 0, 0, true},      {1, 0, 0, 0, 0, 0, false, 0, 0, 0, 0, false},
      {2, 1, 0, 0, 0, 0, false, 0, 0, 0, 0, false},     {2, 0, 1, 0, 0, 0, false, 0, 0, 0, 0, false},
      {2, 0, 0, 10, 0, 0, false, 0, 0, 0, 0, false},    {2, 0, 0, 0, 1, 0, false, 0, 0, 0, 0, false},
      {2, 0, 0, 0, 2, 0, false, 0, 0, 0, 0, false},     {2, 0, 0, 0, 0, 1, false, 0, 0, 0, 0, false},
      {2, 0, 0, 0, 0, 2, false, 0, 2, 0, 2.3f, false},  {2, 0, 0, 0, 0, 2, false, 0, 2, 0, -2.5f, true},
      {2, 0, 0, 0, 0, 2, false, 0, 1, 0, 0, true},      {2, 0, 0, 0, 0, 2, false, 1, 0, 1, 2.3f, false},
      {2, 0, 0, 0, 0, 2, false, 1, 0, 0, 0, true},      {2, 0, 0, 0, 0, 2, false, 1, 0, 1, 2.5f, true},
      {2, 0, 0, 0, 0, 2, true, 0, 2, 0, 2.5f, true},    {2, 0, 0, 0, 0, 2, true, 1, 0, 1, 2.5f, true},
      {2, 0, 0, 0, 0, 2, true, 1, 0, 1, -1, false},
  };
  int n = 0;
  for (const Row& r : rows) {
    ++n;
    reset_gpws_world();
    cue_fmod::callouts_500 = 0.0f;
    ScriptMirror& s = script_mirror;
    s.zuvadud_D738_FMS_flight_phase = r.phase;
    s.zuvadud_D738_autopilot_fd_goaround = r.fd_ga;
    s.zuvadud_D738_autopilot_ap_goaround = r.ap_ga;
    s.zuvadud_d738_fmodpack_fmod_gpwstest_long_on = r.test == 1 ? 1.0f : 0.0f;
    s.zuvadud_d738_fmodpack_fmod_gpwstest_short_on = r.test == 2 ? 1.0f : 0.0f;
    s.zuvadud_D738_fms_ra_callout_disable[11] = r.disable;
    // The other side's receivers show a captured path: only the listened side counts.
    (r.fo ? s.zuvadud_D738_nav_mmr_act_mode_fo : s.zuvadud_D738_nav_mmr_act_mode) = r.mode;
    (r.fo ? s.zuvadud_radios_copilot_nav_tuned_type_fo : s.zuvadud_radios_pilot_nav_tuned_type) = r.type;
    (r.fo ? s.zuvadud_radios_copilot_nav_vdef_fo : s.zuvadud_radios_pilot_nav_vdef) = r.dev;
    (r.fo ? s.zuvadud_D738_nav_mmr_vdef_fo : s.zuvadud_D738_nav_mmr_vdef) = r.dev;
    s.zuvadud_D738_nav_mmr_active = r.active;
    (r.fo ? s.zuvadud_radios_pilot_nav_tuned_type : s.zuvadud_radios_copilot_nav_tuned_type_fo) = 2.0f;
    host_mirror.sim_flightmodel_position_vh_ind_fpm = r.vs;
    for (float h : {600.0f, 505.0f}) {
      host_mirror.sim_cockpit2_gauges_indicators_radio_altimeter_height_ft_pilot = h;
      host_mirror.sim_cockpit2_gauges_indicators_radio_altimeter_height_ft_copilot = h;
      update_radio_altitude_callouts(r.fo, false);
    }
    EXPECT_EQ(cue_fmod::callouts_500, r.heard ? 1.0f : 0.0f) << "row " << n;
  }
}

// The flight-recorder cover closes at rate 20 (0.2 of the way per 0.01 s
// frame) and the switch drops once it is below 0.3: after six frames (0.8^5
// is 0.33, 0.8^6 is 0.26). With the covers option on it stays open.
// The air/ground sensor follows the main gears and flags each change once.
TEST_F(GpwsModes, RecorderCoverAndAirGroundSensor) {
  frame_time = 0.01f;
  switches::fdr_cover_pos = 1.0f;
  switches::fdr_pos = 1.0f;
  fdr_cover_target = 0.0f;
  int frames = 0;
  while (switches::fdr_pos == 1.0f && frames < 20) {
    gpws_update();
    ++frames;
  }
  EXPECT_EQ(frames, 6);
  cockpit_options.guarded_covers = 1.0f;
  gpws_update();
  EXPECT_EQ(switches::fdr_cover_pos, 1.0f);
  EXPECT_EQ(fdr_cover_target, 1.0f);

  struct Row {
    int nose, left, right;
    float sensor, changed;
  } rows[] = {{1, 0, 0, 0, 0}, {0, 1, 0, 1, 1}, {0, 1, 1, 1, 0}, {0, 0, 1, 1, 0}, {1, 0, 0, 0, 1}};
  for (const Row& r : rows) {
    int32_t* on = host_mirror.sim_flightmodel2_gear_on_ground;
    on[0] = r.nose;
    on[1] = r.left;
    on[2] = r.right;
    gpws_update();
    EXPECT_EQ(cockpit::air_ground_sensor, r.sensor) << r.nose << r.left << r.right;
    EXPECT_EQ(fcom::ground_sensor, r.changed) << r.nose << r.left << r.right;
  }
}

// Below glideslope at 500 ft descending, 2 dots low, from the listened
// side's receiver: ILS valid with the vertical display on and no glideslope
// flag, GLS valid while active with type 0; the other side's receiver, an
// inhibited ILS or a receiver in neither mode raise nothing.
TEST_F(GpwsModes, BelowGlideslopeFromTheSidesReceiver) {
  struct Row {
    int side;  // 1 captain, 2 first officer
    float mode;
    int display, flag;
    float gls_active, gls_type, ils_disable;
    bool alert;
  } rows[] = {
      {1, 1, 1, 0, 0, 0, 0, true},  {1, 1, 0, 0, 0, 0, 0, false}, {1, 1, 1, 1, 0, 0, 0, false},
      {1, 2, 0, 0, 1, 0, 0, true},  {1, 2, 0, 0, 0, 0, 0, false}, {1, 2, 0, 0, 1, 1, 0, false},
      {1, 0, 1, 0, 1, 0, 0, false}, {1, 1, 1, 0, 0, 0, 1, false}, {2, 1, 1, 0, 0, 0, 0, true},
      {2, 1, 0, 0, 0, 0, 0, false}, {2, 2, 0, 0, 1, 0, 0, true},  {2, 2, 0, 0, 1, 1, 0, false},
  };
  int n = 0;
  for (const Row& r : rows) {
    ++n;
    reset_gpws_world();
    HostMirror& h = host_mirror;
    ScriptMirror& s = script_mirror;
    s.zuvadud_autopilot_fd_side = static_cast<float>(r.side);
    s.zuvadud_D738_FMS_flight_phase = 5.0f;
    s.zuvadud_D738_FMS_ils_disable = r.ils_disable;
    gpws_state.gpws_phase = 2;
    h.sim_cockpit2_gauges_indicators_radio_altimeter_height_ft_pilot = 500.0f;
    h.sim_cockpit2_gauges_indicators_radio_altimeter_height_ft_copilot = 500.0f;
    h.sim_cockpit2_gauges_indicators_airspeed_kts_pilot = h.sim_cockpit2_gauges_indicators_airspeed_kts_copilot = 150.0f;
    h.sim_flightmodel_position_vh_ind_fpm = -700.0f;
    h.sim_cockpit2_controls_flap_handle_deploy_ratio = 1.0f;
    for (int i = 0; i < 3; ++i) h.sim_aircraft_parts_acf_gear_deploy[i] = 1.0f;
    // The listened side's receiver as the row says, the other one valid.
    const bool fo = r.side == 2;
    (fo ? s.zuvadud_D738_mmr_fo_act_mode : s.zuvadud_D738_mmr_cpt_act_mode) = r.mode;
    (fo ? s.zuvadud_D738_mmr_cpt_act_mode : s.zuvadud_D738_mmr_fo_act_mode) = 1.0f;
    h.sim_cockpit2_radios_indicators_nav1_display_vertical = fo ? 1 : r.display;
    h.sim_cockpit2_radios_indicators_nav1_flag_glideslope = fo ? 0 : r.flag;
    h.sim_cockpit2_radios_indicators_nav2_display_vertical = fo ? r.display : 1;
    h.sim_cockpit2_radios_indicators_nav2_flag_glideslope = fo ? r.flag : 0;
    h.sim_cockpit2_radios_indicators_nav1_vdef_dots_pilot = h.sim_cockpit2_radios_indicators_nav2_vdef_dots_copilot = -2.0f;
    s.zuvadud_D738_nav_gls1_active = fo ? 1.0f : r.gls_active;
    s.zuvadud_D738_nav_gls1_type = fo ? 0.0f : r.gls_type;
    s.zuvadud_D738_nav_gls2_active = fo ? r.gls_active : 1.0f;
    s.zuvadud_D738_nav_gls2_type = fo ? r.gls_type : 0.0f;
    s.zuvadud_D738_nav_gls1_vert_dev = s.zuvadud_D738_nav_gls2_vert_dev = -2.0f;
    gpws_update();
    EXPECT_EQ(gpws_state.alert_code == gpws_code::below_glideslope, r.alert) << "row " << n;
  }
}

// The autoland grade (0 full, 1 one attitude source lost or system entry 1
// failed, 2 two lost or entry 0 failed) and its alert (grade + 1) on a change
// while the autopilot flies above 40 kt groundspeed (20.58 m/s), airborne,
// without the option, and not in an autoland below 200 ft.
TEST_F(GpwsModes, AutolandGradeAndItsAlertGates) {
  struct Row {
    float lost_sources, sys0, sys1, gs, install, ap;
    int ground;
    float autoland, ra, prev_status, prev_install;
    float status, flag;
  } rows[] = {
      {1, 0, 0, 20.58f, 0, 1, 0, 0, 3000, 0, 0, 1, 2}, {1, 0, 0, 20.5f, 0, 1, 0, 0, 3000, 0, 0, 1, 0},
      {1, 0, 0, 30, 1, 1, 0, 0, 3000, 0, 1, 1, 0},     {1, 0, 0, 30, 0, 0, 0, 0, 3000, 0, 0, 1, 0},
      {1, 0, 0, 30, 0, 1, 1, 0, 3000, 0, 0, 1, 0},     {1, 0, 0, 30, 0, 1, 0, 1, 199, 0, 0, 1, 0},
      {1, 0, 0, 30, 0, 1, 0, 1, 200, 0, 0, 1, 2},      {0, 1, 0, 30, 0, 1, 0, 0, 3000, 0, 0, 2, 3},
      {0, 0, 1, 30, 0, 1, 0, 0, 3000, 0, 0, 1, 2},     {1, 0, 0, 30, 0, 1, 0, 0, 3000, 1, 0, 1, 0},
      {1, 0, 0, 30, 0, 1, 0, 0, 3000, 1, 1, 1, 2},     {2, 0, 0, 30, 0, 1, 0, 0, 3000, 0, 0, 2, 3},
  };
  int n = 0;
  for (const Row& r : rows) {
    ++n;
    HostMirror& h = host_mirror;
    ScriptMirror& s = script_mirror;
    autoland_fail_state.autoland_status_prev = r.prev_status;
    autoland_fail_state.autoland_install_prev = r.prev_install;
    autoland::fail_flag = 0.0f;
    display::isfd_init_time = 0.0f;
    s.zuvadud_D738_irs_pfd_allign = r.lost_sources >= 2 ? 1.0f : 0.0f;
    s.zuvadud_D738_irs_pfd_allign2 = r.lost_sources >= 1 ? 1.0f : 0.0f;
    failure_tables.system[0] = r.sys0;
    failure_tables.system[1] = r.sys1;
    h.sim_flightmodel_position_groundspeed = r.gs;
    s.zuvadud_D738_autoland_install = r.install;
    s.zuvadud_autopilot_ap_on = r.ap;
    on_ground = r.ground;
    s.zuvadud_D738_autopilot_autoland_status = r.autoland;
    h.sim_cockpit2_gauges_indicators_radio_altimeter_height_ft_pilot = r.ra;
    update_autoland_status();
    EXPECT_EQ(autoland::fail_status, r.status) << "row " << n;
    EXPECT_EQ(autoland::fail_flag, r.flag) << "row " << n;
  }
  failure_tables.system[0] = failure_tables.system[1] = 0.0f;
  on_ground = 0;
}

// The terrain radar's caution (1) and warning (2) become codes 30 and 3 in
// the full evaluation and above 50 ft outside it. A pending code gives way
// at once to a higher one only (a radar warning or caution over a bank-angle
// call, TOO LOW TERRAIN with the gear up at 250 kt over it at 50 ft, where
// the envelopes are still watched); below the band the bank latches clear.
TEST_F(GpwsModes, TerrainRadarCodesAndThePendingPath) {
  struct Row {
    float ra, terr;
    int pending;
    float bank;
    int code;
    float bank_warn;
  } rows[] = {{1000, 2, 0, 0, 3, 0},   {1000, 1, 0, 0, 30, 0}, {3000, 2, 0, 0, 3, 0},  {3000, 1, 0, 0, 30, 0},
              {3000, 0, 0, 0, 0, 0},   {20, 2, 0, 0, 0, 0},    {29, 0, 10, 40, 10, 0}, {50, 0, 10, 40, 4, 1},
              {51, 0, 10, 40, 4, 1},   {3000, 0, 10, 40, 10, 1}, {3000, 2, 10, 0, 3, 0}, {3000, 1, 10, 0, 30, 0},
              {3000, 1, 3, 0, 3, 0}};
  for (const Row& r : rows) {
    reset_gpws_world();
    gpws_state.gpws_phase = 2;
    gpws_state.alert_code = r.pending;
    gpws_state.bank_latch_35 = gpws_state.bank_latch_40 = r.bank > 0.0f ? 1 : 0;
    gpws::terr_warn = r.terr;
    script_mirror.zuvadud_D738_FMS_flight_phase = 5.0f;
    HostMirror& h = host_mirror;
    h.sim_cockpit2_gauges_indicators_radio_altimeter_height_ft_pilot = r.ra;
    h.sim_cockpit2_gauges_indicators_altitude_ft_pilot = r.ra + 1000.0f;
    h.sim_cockpit2_gauges_indicators_airspeed_kts_pilot = 250.0f;
    h.sim_cockpit2_gauges_indicators_roll_electric_deg_pilot = r.bank;
    gpws_update();
    EXPECT_EQ(gpws_state.alert_code, r.code) << r.ra << " ft, radar " << r.terr << ", pending " << r.pending;
    EXPECT_EQ(gpws_state.bank_warn, r.bank_warn) << r.ra << " ft, pending " << r.pending;
  }
}

// How long a call's flag stays up: its repeat timer, run down in 0.7 s
// frames from the calling frame on, drops it once below 0 (6 s: 8 frames up;
// 11 s: 15). The barometric 500 and the second 1000 hold 11 s.
TEST_F(GpwsModes, CallFlagHeldForItsRepeatTime) {
  struct Row {
    float baro, arm_ft, fire_ft;
    float* flag;
    int frames;
    float radio_wording = 0;  // 2500 said as "radio altitude"; 18 s: 25 frames
  } rows[] = {{0, 600, 505, &cue_fmod::callouts_500, 8},
              {1, 600, 505, &cue_fmod::callouts_500, 15},
              {0, 1100, 950, &cue_fmod::callouts_1000s, 15},
              {0, 3000, 2450, &cue_fmod::callouts_2500, 25},
              {0, 3000, 2450, &cue_fmod::callouts_radio_alt, 25, 1},
              {0, 3000, 2450, &cue_fmod::callouts_2500, 0, 1}};
  for (const Row& r : rows) {
    reset_gpws_world();
    *r.flag = 0.0f;
    frame_time = 0.7f;
    cockpit_options.ra_500_1000_baro = r.baro;
    cockpit_options.ra_radio_altimeter = r.radio_wording;
    script_mirror.zuvadud_D738_pfd_rwy_show = 2.0f;
    script_mirror.zuvadud_D738_pfd_rwy_altitude = 1000.0f;
    script_mirror.zuvadud_D738_FMS_flight_phase = 5.0f;
    host_mirror.sim_flightmodel_position_vh_ind_fpm = -700.0f;
    int up = 0;
    for (int i = 0; i < 30; ++i) {
      const float h = i == 0 ? r.arm_ft : r.fire_ft;
      host_mirror.sim_cockpit2_gauges_indicators_radio_altimeter_height_ft_pilot = h;
      host_mirror.sim_cockpit2_gauges_indicators_altitude_ft_pilot = 1000.0f + h;
      update_radio_altitude_callouts(false, false);
      up += *r.flag != 0.0f ? 1 : 0;
    }
    EXPECT_EQ(up, r.frames) << r.baro << " " << r.fire_ft;
  }
}

// Without the terrain radar its warning reads -1 (no radar) after the first
// frame, 0 on the first frame after a load, and no terrain is drawn.
TEST_F(GpwsModes, NoTerrainRadarReadsMinusOne) {
  for (int done : {0, 1}) {
    frame_done = done;
    gpws::terr_warn = 5.0f;
    update_terrain_radar_link();
    EXPECT_EQ(gpws::terr_warn, done != 0 ? -1.0f : 0.0f) << done;
    EXPECT_EQ(gpws::draw_terrain_flag, 0.0f) << done;
  }
  frame_done = 0;
}

}  // namespace
