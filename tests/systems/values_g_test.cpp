// Worked values of the APU and the engine start switching: one row per
// threshold, both sides of it.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "core/binding.h"
#include "core/preprocess_values.h"
#include "core/paths.h"
#include "core/variant.h"
#include "engines/engine_values.h"
#include "panel_fixture.h"
#include "systems/air/air_values.h"
#include "systems/air/pneumatics.h"
#include "systems/aircraft_systems.h"
#include "systems/annunciators/annunciator_values.h"
#include "systems/apu_start/apu.h"
#include "systems/apu_start/apu_start_state.h"
#include "systems/apu_start/engine_start_switching.h"
#include "systems/delay_timers.h"
#include "systems/fire/fire_values.h"
#include "systems/ice_rain/anti_ice.h"
#include "systems/ice_rain/ice_values.h"
#include "systems/ice_rain/probe_wipers.h"
#include "systems/ice_rain/wiper_state.h"
#include "systems/ice_rain/window_heat_state.h"
#include "systems/ice_rain/rain.h"
#include "systems/instruments/instrument_values.h"
#include "systems/switches/switch_memory.h"
#include "systems/switches/switch_targets.h"
#include "systems/switches/switch_values.h"
#include "systems/system_state.h"
#include "systems/systems_steps.h"

namespace {

constexpr float K_UNSET = -77.0f;  // a value nothing writes

struct Row2 {
  const char* name;
  float value;
};

class ApuValues : public PanelTest {
 protected:
  void SetUp() override {
    PanelTest::SetUp();
    apu_state = ApuState{};
    apu_state.load_factor = 1.0f;
    delay_timers = DelayTimerBank{};
    delay_flags = DelayTimerFlags{};
    fire::apu_ext_switch_pos_arm = fire::apu_was_fire = 0.0f;
    electrical::apu_low_oil = electrical::apu_bus_enable = electrical::apu_door = 0.0f;
    apu_on_latch = 0.0f;
    spring_toggle_switch::APU_start_pos = 1.0f;
    for (int i = 0; i < 3; ++i) host_mirror.sim_flightmodel_weight_m_fuel[i] = 2000.0f;
    host_mirror.sim_weather_temperature_le_c = 15.0f;
    per_flight_values.apu_bleed_capability_psi = 45.0f;
    pneumatics.apu_bleed_demand_psi = 0.0f;
    engine::start_valve1 = engine::start_valve2 = 0.0f;
    static_pressure_altitude_ft = 0.0f;
    air::apu_psi = 0.0f;
  }
  static void running(bool on, float n1) {
    host_mirror.sim_cockpit_engine_APU_running = on ? 1 : 0;
    host_mirror.sim_cockpit2_electrical_APU_N1_percent = n1;
  }
};

TEST_F(ApuValues, BleedSupplyWarmUpAltitudeStartValvesAndN1) {
  struct Row {
    float le_c, n1, alt_ft, valve, warm0, demand;
    float warm, supply;
  };
  const Row rows[] = {
      {15, 100, 0, 0, 0, 0, 0.125f / (180.0f - 45.0f * 120.0f / 70.0f), 45.0f},
      {-40, 95, 0, 0, 0, 0, 0.125f / 180.0f, 42.75f},  // below -30 deg C: 180 s
      {50, 100, 0, 0, 0, 0, 0.125f / 60.0f, 45.0f},    // above 40 deg C: 60 s
      {15, 90, 0, 0, 0.5f, 0, 0.5f - 0.125f / 500.0f, 40.5f},  // 90 % or less cools over 500 s
      {15, 100, 45000, 0, 0, 0, 0.00121528f, 45.0f * 0.70710678f},
      {15, 100, 62500, 0, 0, 0, 0.00121528f, 45.0f * 0.38268343f},
      {15, 100, 90000, 0, 0, 0, 0.00121528f, 0.0f},
      {15, 100, 0, 0.11f, 0.6f, 0, 0.60121528f, 45.0f - (1.0f - 0.60121528f) * 25.0f},
      {15, 100, 0, 0.1f, 0.6f, 0, 0.60121528f, 45.0f},  // a start valve at 0.1 takes nothing
      {15, 100, 0, 0, 0, 5, 0.00121528f, 40.0f},
      {15, -1, 0, 0, 0, 0, 0.0f, 0.0f},
      {15, 120, 0, 0, 0, 0, 0.00121528f, 45.0f},  // above 100 % unscaled
  };
  for (const Row& r : rows) {
    SetUp();
    host_mirror.sim_weather_temperature_le_c = r.le_c;
    running(true, r.n1);
    static_pressure_altitude_ft = r.alt_ft;
    engine::start_valve2 = r.valve;
    apu_state.warmup = r.warm0;
    pneumatics.apu_bleed_demand_psi = r.demand;
    const float supply = apu_bleed_supply();
    EXPECT_NEAR(apu_state.warmup, r.warm, 2e-6f) << r.le_c << " " << r.n1 << " " << r.alt_ft;
    EXPECT_NEAR(supply, r.supply, 1e-3f) << r.le_c << " " << r.n1 << " " << r.alt_ft << " " << r.valve;
  }
  struct Load {
    float psi, factor, rate;
  };
  const Load loads[] = {{15.9f, 1.0f, 0.0250002f}, {30.5f, 1.06f, 0.02847245f}, {50.0f, 1.12f, 0.0319447f}};
  for (const Load& l : loads) {
    air::apu_psi = l.psi;
    apu_bleed_supply();
    EXPECT_NEAR(apu_state.load_factor, l.factor, 1e-5f) << l.psi;
    EXPECT_NEAR(apu_fuel_rate, l.rate, 1e-7f) << l.psi;
  }
}

TEST_F(ApuValues, RunningStateTemperatureBusEnableAndLowOil) {
  struct Row {
    float le_c, egt0, n1, load, latch;
    float egt, bus, low_oil;
  };
  const Row rows[] = {
      {15, 30, 100, 1, 0, 30 + 0.0625f * 18.5f, 0, 1},  // below 46: rate 0.5 toward 48.5
      {15, 45.9f, 100, 1, 0, 45.9f + 0.0625f * 2.6f, 1, 0},
      {15, 46, 100, 1, 0, 46 + 0.025f * 2.5f, 1, 0},     // 46 and above: rate 0.2
      {50, 50, 100, 1.12f, 0, 50 + 0.025f * 7.12f, 1, 0},  // 51 x load factor
      {-10, 47, 100, 1, 0, 47, 1, 0},                     // cold: 470 deg C
      {15, 53, 100, 1, 0, 53 - 0.025f * 4.5f, 0, 0},      // 520 deg C and above: no bus
      {15, 51.9f, 100, 1, 0, 51.9f - 0.025f * 3.4f, 1, 0},
      {15, 48.5f, 94, 1, 0, 48.5f, 0, 0},
      {15, 48.5f, 94.1f, 1, 0, 48.5f, 1, 0},
      {15, 30, 50, 1, 1, 30 + 0.0625f * 18.5f, 1, 1},  // a restored latch skips the test
      {15, 48.5f, 40, 1, 0, 48.5f, 0, 1},
      {15, 48.5f, 40.1f, 1, 0, 48.5f, 0, 0},
  };
  for (const Row& r : rows) {
    SetUp();
    host_mirror.sim_weather_temperature_le_c = r.le_c;
    running(true, r.n1);
    delay_flags.apu_start_stage = 3.0f;
    apu_state.egt = r.egt0;
    apu_state.load_factor = r.load;
    apu_state.bus_latch = r.latch;
    electrical::apu_low_oil = 1.0f;
    update_apu();
    EXPECT_NEAR(electrical::apu_temp, r.egt, 1e-4f) << r.le_c << " " << r.egt0 << " " << r.n1;
    EXPECT_EQ(electrical::apu_bus_enable, r.bus) << r.le_c << " " << r.egt0 << " " << r.n1;
    EXPECT_EQ(electrical::apu_low_oil, r.low_oil) << r.egt0 << " " << r.n1;
  }
}

TEST_F(ApuValues, StartingPeakAndCoolDownTemperatures) {
  // Starting: the temperature follows N1 (rate 8 is one step at 1/8 s); the
  // 8.5 s peak hold begins above 950 deg C.
  struct Start {
    float n1, egt, hold;
  };
  const Start starts[] = {{95.5f, 95.5f, 8.5f}, {95.0f, 95.0f, 0.0f}};
  for (const Start& s : starts) {
    SetUp();
    running(false, s.n1);
    delay_flags.apu_start_stage = 2.0f;
    apu_state.egt = 90.0f;
    update_apu();
    EXPECT_FLOAT_EQ(apu_state.egt, s.egt);
    EXPECT_EQ(delay_timers.apu_run_delay, s.hold) << s.n1;
  }
  // Stopped or cooling down (start state 0), from 600 deg C.
  struct Cool {
    float stop, cool60, sw, le_c;
    bool run;
    float egt;
  };
  const Cool cools[] = {
      {1, 1, 0, 15, true, 60 - 0.00375f * 40},   // the 60 s cool-down: toward 200 deg C
      {0, 0, 0, 15, false, 60 - 0.375f * 60},    // OFF: toward 0
      {0, 0, 1, 25, false, 60 - 0.375f * 57.5f},  // ON: toward the air
  };
  for (const Cool& c : cools) {
    SetUp();
    running(c.run, c.run ? 100.0f : 0.0f);
    delay_flags.apu_start_companion = c.stop;
    delay_flags.apu_flag_2 = c.cool60;
    spring_toggle_switch::APU_start_pos = c.sw;
    host_mirror.sim_weather_temperature_le_c = c.le_c;
    apu_state.egt = 60.0f;
    apu_on_latch = 1.0f;
    update_apu();
    EXPECT_NEAR(electrical::apu_temp, c.egt, 1e-4f) << c.stop << " " << c.sw;
    EXPECT_EQ(delay_flags.apu_start_companion, c.stop) << c.stop;
    // The door stays open while the APU cools down; it lags at 0.85.
    EXPECT_NEAR(electrical::apu_door, c.sw == 0.0f && !c.run ? 0.0f : 0.10625f, 1e-6f);
  }
}

TEST_F(ApuValues, StartPermissionByFieldElevationTanksAndPumps) {
  struct Row {
    double elev_m;
    float l, c, r, xfeed;
    int ok_pump;  // the one low-pressure light that is out: 0 none, 1 L1, 2 L2, 3 C1, 4 C2, 5 R1, 6 R2
    float ready;
  };
  const Row rows[] = {
      {7619.0, 2000, 0, 0, 0, 0, 1}, {7621.0, 2000, 0, 0, 0, 0, 0},  // suction feed up to 7620 m
      {7621.0, 2000, 0, 0, 0, 1, 1}, {7621.0, 2000, 0, 0, 0, 2, 1},  {7621.0, 0, 2000, 0, 0, 1, 0},
      {7621.0, 0, 2000, 0, 0, 3, 1}, {7621.0, 0, 2000, 0, 0, 4, 0},  {7621.0, 0, 2000, 0, 1, 4, 1},
      {7621.0, 0, 0, 2000, 1, 6, 1}, {7621.0, 0, 0, 2000, 0, 5, 0},  {7621.0, 0, 0, 2000, 1, 3, 0},
      {7621.0, 0, 2000, 0, 1, 5, 0}, {7619.0, 0, 2000, 2000, 0, 0, 0},
  };
  float* lights[] = {&annunciator::low_fuel_press_l1, &annunciator::low_fuel_press_l2, &annunciator::low_fuel_press_c1,
                     &annunciator::low_fuel_press_c2, &annunciator::low_fuel_press_r1, &annunciator::low_fuel_press_r2};
  for (const Row& r : rows) {
    SetUp();
    running(false, 0.0f);
    host_mirror.sim_flightmodel_position_elevation = r.elev_m;
    host_mirror.sim_flightmodel_weight_m_fuel[0] = r.l;
    host_mirror.sim_flightmodel_weight_m_fuel[1] = r.c;
    host_mirror.sim_flightmodel_weight_m_fuel[2] = r.r;
    knobs::cross_feed = r.xfeed;
    for (int i = 0; i < 6; ++i) *lights[i] = (i + 1 == r.ok_pump) ? 0.0f : 1.0f;
    update_apu();  // this frame's feed, read by the next frame's permission
    update_apu();
    EXPECT_EQ(delay_flags.apu_start_request, 0.0f);  // no START: no request
    EXPECT_EQ(apu_start_ready, r.ready) << r.elev_m << " " << r.l << r.c << r.r << " x" << r.xfeed << " p" << r.ok_pump;
    delay_flags.apu_start_request = 1.0f;  // START: kept only while permitted
    update_apu();
    EXPECT_EQ(delay_flags.apu_start_request, r.ready);
  }
}

class StartValues : public PanelTest {
 protected:
  void SetUp() override {
    PanelTest::SetUp();
    start_switching = StartSwitchingState{};
    delay_timers = DelayTimerBank{};
    delay_flags = DelayTimerFlags{};
    toggle_switch::eng_start_source = 1.0f;  // s = 2, the right igniter
    engine::mixture_ratio1 = engine::mixture_ratio2 = 1.0f;
    engine::indicators_N2_percent_1 = engine::indicators_N2_percent_2 = 25.0f;
    engine::starter1_pos = engine::starter2_pos = 1.0f;
    starter1_knob_target = starter2_knob_target = 1.0f;
    engine::start_valve1 = engine::start_valve2 = 0.0f;
    ice::eng1_heat_pos = ice::eng2_heat_pos = 0.0f;
    systems::wms = 0.0f;
    on_ground = 1;
  }
};

TEST_F(StartValues, IgnitionModeByPositionN2AndConditions) {
  struct Row {
    float pos, lever, n2;
    int ground;
    float wms, alt_ft, flap, heat, start_auto;
    int failure;  // 0 none, 1 fire, 2 failure, 3 separation
    float mode;
  };
  const Row rows[] = {
      {1, 1, 50, 1, 0, 0, 0, 0, 0, 0, 0},  {1, 1, 50.1f, 1, 0, 0, 0, 0, 0, 0, 3},  // relight band 50..57
      {1, 1, 56.9f, 1, 0, 0, 0, 0, 0, 0, 3}, {1, 1, 57, 1, 0, 0, 0, 0, 0, 0, 0},
      {1, 0.5f, 55, 1, 0, 0, 0, 0, 0, 0, 0}, {1, 1, 69.9f, 0, 0, 0, 0, 0, 0, 0, 3},  // in flight below 70
      {1, 1, 70, 0, 1, 0, 0, 0, 0, 0, 0},    {1, 1, 30, 0, 0, 0, 0, 0, 0, 0, 3},
      {1, 1, 25, 1, 0, 17999, 0.1f, 0, 0, 0, 2}, {1, 1, 25, 1, 0, 18000, 0.1f, 0, 0, 0, 0},
      {1, 1, 25, 1, 0, 10000, 0, 0, 0, 0, 0},  {1, 1, 25, 1, 0, 30000, 0, 1, 0, 0, 2},  // engine anti-ice
      {1, 1, 25, 1, 0, 10000, 0.1f, 1, 1, 0, 0},  // automatic start ignition option
      {2, 1, 53.9f, 0, 0, 0, 0, 0, 0, 0, 3}, {2, 1, 54, 0, 0, 0, 0, 0, 0, 0, 2},
      {2, 1, 30, 1, 0, 0, 0, 0, 0, 0, 2},    {2, 0.5f, 30, 1, 0, 0, 0, 0, 0, 0, 0},
      {2, 1, 30, 1, 0, 0, 0, 0, 0, 1, 0},    {2, 1, 30, 1, 0, 0, 0, 0, 0, 2, 0},
      {2, 1, 30, 1, 0, 0, 0, 0, 0, 3, 0},    {0, 0.5f, 30, 1, 0, 0, 0, 0, 0, 0, 0},
      {0, 0.51f, 30, 1, 0, 0, 0, 0, 0, 0, 2}, {3, 0.5f, 30, 1, 0, 0, 0, 0, 0, 0, 0},
  };
  for (const Row& r : rows) {
    SetUp();
    engine::starter1_pos = r.pos;
    starter1_knob_target = r.pos;
    engine::mixture_ratio1 = r.lever;
    engine::indicators_N2_percent_1 = r.n2;
    host_mirror.sim_flightmodel2_engines_N2_percent[0] = 60.0f;
    on_ground = r.ground;
    systems::wms = r.wms;
    set_mirror_f(bound::sim_cockpit2_gauges_indicators_altitude_ft_pilot, r.alt_ft);
    host_mirror.sim_cockpit2_controls_flap_ratio = r.flap;
    ice::eng1_heat_pos = r.heat;
    set_mirror_f(bound::zuvadud_D738_engine_start_auto, r.start_auto);
    host_mirror.sim_operation_failures_rel_engfir0 = r.failure == 1 ? 6 : 0;
    set_mirror_i(bound::sim_operation_failures_rel_engfai0, r.failure == 2 ? 6 : 0);
    set_mirror_i(bound::sim_operation_failures_rel_engsep0, r.failure == 3 ? 6 : 0);
    update_ignition_start();
    EXPECT_EQ(start_switching.ignition_mode[0], r.mode)
        << "pos " << r.pos << " lever " << r.lever << " n2 " << r.n2 << " gnd " << r.ground << " alt " << r.alt_ft
        << " fail " << r.failure;
  }
}

TEST_F(StartValues, CutOutRedlineIgniterHoldAndGroundAirStarter) {
  // At GRD: cut-out above 55.3 % indicated N2, also on an engine already
  // running (the switch springs back); the redline shows below 50 % host N2.
  struct Grd {
    float n2_ind, n2_host, target, redline;
  };
  const Grd grds[] = {{55.3f, 60, 0, 0}, {57.9f, 60, 1, 0}, {58, 60, 1, 0}, {60, 60, 1, 0},
                      {90, 90, 1, 0},    {30, 49.9f, 0, 1}, {30, 50, 0, 0}};
  for (const Grd& g : grds) {
    SetUp();
    engine::starter1_pos = starter1_knob_target = 0.0f;
    engine::indicators_N2_percent_1 = g.n2_ind;
    host_mirror.sim_flightmodel2_engines_N2_percent[0] = g.n2_host;
    update_ignition_start();
    EXPECT_EQ(starter1_knob_target, g.target) << g.n2_ind;
    EXPECT_EQ(systems::egt_redline1, g.redline) << g.n2_host;
  }
  // A shown redline: 4 s when a start is abandoned below 5 %, 5 s above 55.3 %.
  struct Red {
    float pos, n2_ind, n2_host, delay;
  };
  const Red reds[] = {{1, 4.9f, 55.3f, 4}, {1, 5, 55.3f, 0}, {0, 4.9f, 55.3f, 0}, {1, 30, 55.4f, 5}};
  for (const Red& r : reds) {
    SetUp();
    engine::starter1_pos = starter1_knob_target = r.pos;
    engine::mixture_ratio1 = 0.0f;
    engine::indicators_N2_percent_1 = r.n2_ind;
    host_mirror.sim_flightmodel2_engines_N2_percent[0] = r.n2_host;
    delay_flags.air_start_flag_1 = 1.0f;
    update_ignition_start();
    EXPECT_EQ(delay_timers.air_start_delay_1, r.delay) << r.pos << " " << r.n2_ind << " " << r.n2_host;
  }
  // With no ignition the host's igniter stays as it is from 54 % N2 up.
  for (float n2 : {53.9f, 54.0f}) {
    SetUp();
    engine::starter1_pos = starter1_knob_target = 1.0f;
    engine::mixture_ratio1 = 0.0f;
    engine::indicators_N2_percent_1 = n2;
    host_mirror.sim_cockpit2_engine_actuators_igniter_on[0] = 1;
    simhost::set_ints("sim/cockpit2/engine/actuators/ignition_key", {5, 5});
    update_ignition_start();
    EXPECT_EQ(simhost::get_ints("sim/cockpit2/engine/actuators/ignition_key")[0], 5);  // written on change only
    EXPECT_EQ(host_mirror.sim_cockpit2_engine_actuators_igniter_on[0], n2 < 54.0f ? 0 : 1) << n2;
  }
  struct Cart {
    float connected, psi, isol, pos1, pos2, lpack, rpack, starter;
  };
  const Cart carts[] = {
      {1, 25, 1, 0, 1, 0, 0, 0},       {1, 25.1f, 1, 0, 1, 0, 0, 1},     {0, 40, 1, 0, 1, 0, 0, 0},
      {1, 40, 1, 0, 1, 1, 0, 4},       {1, 40, 1, 1, 0, 0, 0, 2},        {1, 40, 1, 1, 0, 0, 2, 5},
      {1, 40, 1, 0, 0, 1, 1, 3},       {1, 40, 0.04f, 0, 1, 0, 0, 0},    {1, 40, 0.05f, 0, 1, 0, 0, 1},
      {1, 40, 0.04f, 1, 0, 1, 0, 2},   {1, 40, 0.04f, 1, 0, 0, 1, 5},
  };
  for (const Cart& c : carts) {
    SetUp();
    set_mirror_f(bound::zuvadud_D738_engine_engine_air_start, c.connected);
    pneumatics.ground_air_psi = c.psi;
    air::isolation_bleed_valve_pos = c.isol;
    engine::starter1_pos = starter1_knob_target = c.pos1;
    engine::starter2_pos = starter2_knob_target = c.pos2;
    engine::indicators_N2_percent_1 = engine::indicators_N2_percent_2 = 25.0f;
    air::l_pack_pos = c.lpack;
    air::r_pack_pos = c.rpack;
    update_ignition_start();
    EXPECT_EQ(engine::engine_air_starter, c.starter)
        << c.connected << " " << c.psi << " iso " << c.isol << " " << c.pos1 << c.pos2 << " " << c.lpack << c.rpack;
  }
}

TEST_F(StartValues, KnobAnimationPositionsAcrossEachBand) {
  struct Row {
    float anim0, target, step;  // step: the knob travel this frame
    float anim, pos, pos2;
  };
  const Row rows[] = {
      {0.75f, 0, 0.25f, 0.5f, 1, 1},  {0.5f, 0, 0.25f, 0.25f, 0.5f, 0},
      {0.0f, 1, 0.0625f, 0.0625f, 0.3125f, 0}, {0.2f, 1, 0.25f, 0.45f, 1, 1},
      {0.5f, 1, 0.0625f, 0.5625f, 1, 1},    {1.1f, 1, 0.0625f, 1.0375f, 1, 0.8125f},
      {1.2f, 1, 0.0625f, 1.1375f, 1, 0},   {1.9f, 1, 0.25f, 1.65f, 1.5625f, 0},
      {1.3f, 1, 0.0625f, 1.2375f, 1.046875f, 0},
      {1.0f, 2, 0.25f, 1.25f, 1, 0.5f},     {1.5f, 2, 0.25f, 1.75f, 1.5f, 0},
  };
  for (const Row& r : rows) {
    SetUp();
    frame_time = 0.15f * r.step;  // the knob turns one unit in 0.15 s
    travel_targets.eng1_start_turn = r.anim0;
    starter1_knob_target = r.target;
    engine::starter1_pos = engine::starter1_pos2 = -1.0f;
    animate_start_switches();
    EXPECT_NEAR(travel_targets.eng1_start_turn, r.anim, 1e-5f) << r.anim0 << " -> " << r.target;
    EXPECT_NEAR(engine::starter1_pos, r.pos, 1e-5f) << r.anim0 << " -> " << r.target;
    EXPECT_NEAR(engine::starter1_pos2, r.pos2, 1e-5f) << r.anim0 << " -> " << r.target;
  }
}

TEST_F(StartValues, FluidIndicationsRunDownAndReverserAgreement) {
  struct Row {
    float t0, n2;
    float t, press, temp;
  };
  const Row rows[] = {
      {0.85f, 5.9f, 0.725f, 1, 1}, {0.8f, 5.9f, 0.675f, 1, 0}, {0.45f, 5.9f, 0.325f, 1, 0},
      {0.4f, 5.9f, 0.275f, 0, 0},  {0.4f, 6.0f, 0.4f, 1, 1},
  };
  for (const Row& r : rows) {
    SetUp();
    engine::starter1_pos = 1.0f;
    engine::mixture_ratio1 = 0.0f;
    engine::indicators_N2_percent_1 = r.n2;
    start_switching.fluid_ind_timer_s[0] = r.t0;
    engine::eicas_oil_press1 = engine::eicas_ff1 = engine::eicas_oil_temp1 = 1.0f;
    update_fluid_indications();
    EXPECT_NEAR(start_switching.fluid_ind_timer_s[0], r.t, 1e-6f) << r.t0 << " " << r.n2;
    EXPECT_EQ(engine::eicas_oil_press1, r.press) << r.t0;
    EXPECT_EQ(engine::eicas_ff1, r.press) << r.t0;
    EXPECT_EQ(engine::eicas_oil_temp1, r.temp) << r.t0;
  }
  // Counting up: capped at 4 s; the early flags from 1.6 s, oil temperature from 2 s.
  const float ups[][4] = {{3.95f, 4.0f, 1, 1}, {1.55f, 1.675f, 1, 0}, {1.45f, 1.575f, 0, 0}, {1.9f, 2.025f, 1, 1}};
  for (const auto& u : ups) {
    SetUp();
    engine::starter1_pos = 0.0f;
    start_switching.fluid_ind_timer_s[0] = u[0];
    update_fluid_indications();
    EXPECT_NEAR(start_switching.fluid_ind_timer_s[0], u[1], 1e-6f) << u[0];
    EXPECT_EQ(engine::eicas_oil_press1, u[2]) << u[0];
    EXPECT_EQ(engine::eicas_oil_temp1, u[3]) << u[0];
  }
  const int sync[][4] = {{1, 1, 5, 0}, {3, 3, 5, 1}, {1, 3, 5, 2}, {2, 2, 1, 1}};
  for (const auto& s : sync) {
    host_mirror.sim_cockpit2_engine_actuators_prop_mode[0] = s[0];
    host_mirror.sim_cockpit2_engine_actuators_prop_mode[1] = s[1];
    engine::prop_mode_sync = static_cast<float>(s[2]);
    update_prop_mode_sync();
    EXPECT_EQ(engine::prop_mode_sync, static_cast<float>(s[3])) << s[0] << s[1];
  }
}

// The rain plug-in's side: its datarefs as writable host values.
class RainValues : public PanelTest {
 protected:
  simhost::Config host_config() override {
    simhost::Config c;
    c.host_version = 110000;
    auto add = [&c](const std::string& name, int type, int size) {
      simhost::CatalogEntry e;
      e.name = "librain/" + name;
      e.type = type;
      e.size = size;
      e.writable = true;
      c.extra.push_back(e);
    };
    const char* const floats[] = {"wiper_0/angle", "wiper_0/pivot/x", "wiper_0/pivot/y", "wiper_0/radius_inner",
                                  "wiper_0/radius_outer", "slant_factor", "max_tas", "gravity_factor",
                                  "gravity_point/x", "gravity_point/y", "thrust_factor", "thrust_point/x",
                                  "thrust_point/y", "wind_factor", "wind_normal", "wind_point/x", "wind_point/y",
                                  "therm_inertia", "cabin_temp"};
    for (const char* g : {"glass_0/", "glass_1/"}) {
      for (const char* f : floats) add(std::string(g) + f, 2, 1);
      add(std::string(g) + "wiper_0/moving", 1, 1);
      add(std::string(g) + "heat_zones", 8, 8);
      add(std::string(g) + "heat_tgt_temps", 8, 2);
      add(std::string(g) + "obj/filename", 32, 512);
      add(std::string(g) + "obj/load", 1, 1);
      add(std::string(g) + "obj/loaded", 1, 1);
    }
    for (int i = 0; i < 15; ++i) {
      const std::string o = "z_depth_obj_" + std::to_string(i) + "/";
      add(o + "filename", 32, 512);
      add(o + "load", 1, 1);
      add(o + "loaded", 1, 1);
    }
    for (const char* n : {"init_success", "initialize", "num_glass_use"}) add(n, 1, 1);
    return c;
  }
  void SetUp() override {
    PanelTest::SetUp();
    rain_driver = RainDriverState{};
    variant_index = -1;
    model_family = 0.0f;
    ice::window_heat_l_fwd_pos = ice::window_heat_l_side_pos = 1.0f;
    ice::window_heat_r_fwd_pos = ice::window_heat_r_side_pos = 1.0f;
  }
  static float f(const std::string& name) { return simhost::get_float("librain/" + name); }
  static std::vector<float> zones(int g) {
    return simhost::get_floats("librain/glass_" + std::to_string(g) + "/heat_zones");
  }
};

TEST_F(RainValues, InitialGlassValuesAndHeatZonesByBus) {
  struct Row {
    const char* name;
    float glass0, glass1;
  };
  const Row rows[] = {
      {"wiper_0/pivot/x", 0.67f, 0.67f},     {"wiper_0/pivot/y", 0.41f, 0.40f},  {"wiper_0/radius_inner", 0.2f, 0.2f},
      {"wiper_0/radius_outer", 0.525f, 0.525f}, {"wiper_0/angle", -1.43117f, -1.43117f},
      {"gravity_factor", 0.2f, 0.2f},        {"gravity_point/x", 0.5f, 0.5f},    {"gravity_point/y", 2.0f, 2.0f},
      {"max_tas", 500, 500},                 {"thrust_factor", 0, 0},            {"thrust_point/x", 1, 1},
      {"thrust_point/y", 0, 0},              {"wind_factor", 1, 1},              {"wind_normal", 0.8f, 0.8f},
      {"wind_point/x", 1, 1},                {"wind_point/y", -2, -2},           {"therm_inertia", 15, 15},
      {"cabin_temp", 295, 295},              {"slant_factor", 1, 1},
  };
  // Left forward heat on bus 1, left side on bus 2; the right pane the other way round.
  struct Bus {
    float bus1, bus2;
    std::vector<float> zones0, zones1;
  };
  const Bus buses[] = {
      {1, 1, {0, 0.45f, 1, 0.5f, 0, 0, 1, 0.45f}, {0, 0.45f, 1, 0.5f, 0, 0, 1, 0.45f}},
      {1, 0, {0, 0.45f, 1, 0.5f, 0, 0, 0, 0}, {0, 0, 0, 0, 0, 0, 1, 0.45f}},
      {0, 1, {0, 0, 0, 0, 0, 0, 1, 0.45f}, {0, 0.45f, 1, 0.5f, 0, 0, 0, 0}},
  };
  for (const Bus& b : buses) {
    SetUp();
    for (const Row& r : rows) {
      simhost::set_float(std::string("librain/glass_0/") + r.name, K_UNSET);
      simhost::set_float(std::string("librain/glass_1/") + r.name, K_UNSET);
    }
    electric::ac_tnsbus1_status = b.bus1;
    electric::ac_tnsbus2_status = b.bus2;
    rain_driver.load_stage = 18;
    update_rain_effect();
    ASSERT_EQ(rain_driver.load_stage, 19);
    for (const Row& r : rows) {
      EXPECT_NEAR(f(std::string("glass_0/") + r.name), r.glass0, 1e-6f) << r.name;
      EXPECT_NEAR(f(std::string("glass_1/") + r.name), r.glass1, 1e-6f) << r.name;
    }
    EXPECT_EQ(simhost::get_floats("librain/glass_1/heat_tgt_temps"), (std::vector<float>{600, 600}));
    EXPECT_EQ(zones(0), b.zones0) << b.bus1 << b.bus2;
    EXPECT_EQ(zones(1), b.zones1) << b.bus1 << b.bus2;
  }
}

TEST_F(RainValues, SlantTargetThroughItsPointsAndTheCap) {
  struct Row {
    float p, gs, target;
  };
  const Row rows[] = {
      {0.1f, 0, 1.2f},  {0.1f, 70, 1.766667f},  // capped by the first cap segment
      {0.2f, 35, 1.82f}, {0.4f, 70, 2.75f},     {0.6f, 0, 2.14f},
      {0.6f, 20, 2.333333f}, {1.0f, 100, 2.0f}, {0.0f, 0, 1.0f},
  };
  for (const Row& r : rows) EXPECT_NEAR(rain_slant_target(r.p, r.gs), r.target, 1e-5f) << r.p << " " << r.gs;
}

// An object path that does not fit the 512-byte name (with its terminator)
// goes out empty rather than cut short; one byte less fits.
TEST_F(RainValues, ObjectPathMustFitWithItsTerminator) {
  const std::string object = "objects/rain_glass_left.obj";
  const std::string root = system_root;
  for (size_t total : {size_t{511}, size_t{512}}) {
    SetUp();
    const std::string folder = std::string(total - root.size() - object.size() - 1, 'a') + "/";
    std::snprintf(aircraft_folder, sizeof aircraft_folder, "%s", folder.c_str());
    update_rain_effect();
    const std::string sent = simhost::get_text("librain/glass_0/obj/filename");
    EXPECT_EQ(sent, total == 511 ? root + folder + object : std::string()) << total;
  }
  aircraft_folder[0] = '\0';
}

TEST_F(RainValues, WipersHeatZonesGravityAndCabinEachFrame) {
  simhost::set_int("librain/init_success", 1);
  others::left_wiper_ratio = 36.0f;
  others::left_wiper_up = 0.0f;
  others::right_wiper_ratio = 0.0f;
  others::right_wiper_up = -0.1f;
  rain_driver.gravity_point_x = 0.6f;
  rain_driver.slant_factor = 1.0f;
  host_mirror.sim_flightmodel_position_groundspeed = 20.0f;  // gravity target 0.5
  cockpit::cabin_temp = 20.0f;
  electric::ac_tnsbus1_status = 0.0f;
  update_rain_effect();
  const Row2 rows[] = {
      {"glass_0/wiper_0/angle", -52.5f * 3.1415927f / 180.0f}, {"glass_0/wiper_0/pivot/x", 0.76f},
      {"glass_0/wiper_0/pivot/y", 0.54f},                     {"glass_0/wiper_0/radius_inner", 0.095f},
      {"glass_0/wiper_0/radius_outer", 0.48f},                {"glass_1/wiper_0/angle", -3.1415927f / 2.0f},
      {"glass_1/wiper_0/pivot/x", 0.67f},                     {"glass_1/wiper_0/radius_inner", 0.14f},
      {"glass_0/gravity_point/x", 0.5875f},                   {"glass_1/gravity_point/x", 0.5875f},
      {"glass_0/cabin_temp", 293.0f},
  };
  for (const Row2& r : rows) EXPECT_NEAR(f(r.name), r.value, 1e-6f) << r.name;
  EXPECT_EQ(simhost::get_int("librain/glass_0/wiper_0/moving"), 1);
  EXPECT_EQ(simhost::get_int("librain/glass_1/wiper_0/moving"), 0);
  EXPECT_EQ(zones(0), (std::vector<float>{0, 0, 0, 0, 0, 0, 0.5f, 0.3f}));  // forward heat has no bus 1
  EXPECT_EQ(zones(1), (std::vector<float>{0.5f, 0.4f, 0.5f, 0.5f, 0, 0, 0, 0}));
  // The HUD object follows its option, and only on a change.
  struct Hud {
    float disable;
    int load;
  };
  const Hud huds[] = {{0, 7}, {1, 0}, {1, 7}, {0, 1}};
  for (const Hud& h : huds) {
    simhost::set_int("librain/z_depth_obj_9/load", 7);
    script_mirror.zuvadud_D738_hud_disable = h.disable;
    update_rain_effect();
    EXPECT_EQ(simhost::get_int("librain/z_depth_obj_9/load"), h.load) << h.disable;
  }
}

class EffectValues : public PanelTest {
 protected:
  void SetUp() override {
    PanelTest::SetUp();
    ice_rain_state = IceRainState{};
    touchdown_state = TouchdownEffectState{};
    ice::monster_icing = 0.0f;
    ice::wing_l_heat_on = 0.0f;
    frame_time = 0.5f;
    on_ground = 1;
  }
};

TEST_F(EffectValues, HoldoverRunsDownByRainWindAndSpeedAndTheWindshieldIces) {
  // On the ground without the truck: 1 + 4p, times 1 + 1.5 w/100, times 1.1 above 70 m/s.
  struct Hold {
    float p, wind_kt, gs_mps, after;
  };
  const Hold holds[] = {
      {0, 0, 0, 99.5f},           {0.5f, 50, 0, 100 - 0.5f * 3 * 1.75f}, {2, 200, 0, 100 - 0.5f * 5 * 2.5f},
      {-1, -5, 70, 99.5f},        {0, 0, 70.1f, 100 - 0.5f * 1.1f},
  };
  for (const Hold& h : holds) {
    SetUp();
    ice_rain_state.holdover_time_s = 100.0f;
    host_mirror.sim_weather_precipitation_on_aircraft_ratio = h.p;
    host_mirror.sim_cockpit2_gauges_indicators_wind_speed_kts = h.wind_kt;
    host_mirror.sim_flightmodel_position_groundspeed = h.gs_mps;
    ice_rain();
    EXPECT_NEAR(ice_rain_state.holdover_time_s, h.after, 1e-4f) << h.p << " " << h.wind_kt << " " << h.gs_mps;
  }
  // Spraying fills at a full load per 160 s; the load by ambient temperature.
  struct Limit {
    float temp_c, load_s;
  };
  const Limit limits[] = {{-25.1f, 1800}, {-25, 2400}, {-18.1f, 2400}, {-18, 3000},
                          {-14.1f, 3000}, {-14, 3900}, {-8.1f, 3900}, {-8, 4800}};
  for (const Limit& l : limits) {
    SetUp();
    simhost::set_float("zuvadud/D738/de_ice_truck/act", 1.0f);
    host_mirror.sim_weather_temperature_ambient_c = l.temp_c;
    ice_rain();
    EXPECT_FLOAT_EQ(ice_rain_state.holdover_time_s, l.load_s / 160.0f * 0.5f) << l.temp_c;
  }
  simhost::set_float("zuvadud/D738/de_ice_truck/act", 0.0f);
  // Windshield: the ice build-up's rate from 0.0033 at 0.0001 of window ice a
  // second to 0.066 at 0.00255, held outside.
  struct Ice {
    float window_ice, monster0, monster, frost;
  };
  const Ice ices[] = {
      {0.000025f, 0, 0.5f * 0.0033f, 0.000025f},
      {0.0006625f, 0, 0.5f * (0.0033f + 0.5f * 0.0627f), 0.0006625f},
      {0.0025f, 0, 0.5f * 0.066f, 0.0025f},
      {0, 0.5f, 0.5f - 0.25f * 0.0033f, 0.0005f},  // no new ice, below 0 deg C: frost grows 0.001/s
  };
  for (const Ice& i : ices) {
    SetUp();
    ice::l_fwd_temp = ice::r_fwd_temp = -1.0f;
    host_mirror.sim_flightmodel_failures_window_ice = i.window_ice;
    ice::monster_icing = i.monster0;
    ice_rain();
    EXPECT_NEAR(ice::monster_icing, i.monster, 1e-6f) << i.window_ice;
    EXPECT_NEAR(ice_rain_state.frost, i.frost, 1e-7f) << i.window_ice;
  }
}

TEST_F(EffectValues, WingIceRemovalByHeatAndFluid) {
  struct Row {
    int ground;
    float kept, host, heat_flag, n1, holdover, after;
  };
  const Row rows[] = {
      {1, 0.1f, 0.1f, 0, 60, 0, 0.1f},         // on the ground taxi thrust alone heats nothing
      {1, 0.1f, 0.1f, 1, 22, 0, 0.0975f},      // the wing heat does, at any thrust
      {0, 0.1f, 0.1f, 0.5f, 90, 0, 0.1f},      // in the air only a flag of exactly 1
      {0, 0.1f, 0.1f, 0, 0, 1000, 0.0945f},    // fluid: 0.011 a second
      {0, 0.1f, 0.1001f, 1, 0, 0, 0.0975f},    // growth below the limit is kept, then comes off with the heat
      {0, 0.1f, 0.1003f, 0, 0, 0, 0.10025f},   // above 0.0005 a second: cut to it
  };
  for (const Row& r : rows) {
    SetUp();
    on_ground = r.ground;
    ice_rain_state.frame_ice_left = r.kept;
    host_mirror.sim_flightmodel_failures_frm_ice = r.host;
    ice::wing_l_heat_on = r.heat_flag;
    host_mirror.sim_flightmodel_engine_ENGN_N1_[0] = r.n1;
    ice_rain_state.holdover_time_s = r.holdover;
    ice_rain();
    EXPECT_NEAR(host_mirror.sim_flightmodel_failures_frm_ice, r.after, 1e-6f)
        << r.ground << " " << r.host << " " << r.heat_flag << " " << r.n1 << " " << r.holdover;
  }
}

TEST_F(EffectValues, TouchdownPuffStrengthBySkidAndVortexByAngleOfAttack) {
  struct Puff {
    float slip_kt, nose, main;
  };
  const Puff puffs[] = {{80, 0, 0}, {81, 0.07f + 0.43f / 60, 0.1f + 0.9f / 60}, {110, 0.285f, 0.55f}, {200, 0.5f, 1.0f}};
  for (const Puff& p : puffs) {
    SetUp();
    frame_time = 0.1f;
    host_mirror.sim_flightmodel_position_groundspeed = 0.0f;
    for (int i = 0; i < 3; ++i) {
      host_mirror.sim_flightmodel2_gear_on_ground[i] = 1;
      systems::tire_speed[i] = p.slip_kt;
    }
    update_touchdown_effect();
    EXPECT_NEAR(effect::touchdown[0], p.nose, 1e-5f) << p.slip_kt;
    EXPECT_NEAR(effect::touchdown[2], p.main, 1e-5f) << p.slip_kt;
  }
  // The air over the wing expands to 79 % of the ambient pressure at 0
  // degrees angle of attack, 76 % from 15 degrees up.
  HostMirror& m = host_mirror;
  m.sim_weather_barometer_sealevel_inhg = m.sim_weather_barometer_current_inhg = 29.92f;
  m.sim_weather_temperature_sealevel_c = 15.0f;
  const auto local = [](float share) { return 288.15f * std::pow(share, 0.2857143f) - 273.15f; };
  struct Vortex {
    float ra, aoa, dew, v1;
  };
  const Vortex vortices[] = {{20.5f, 0, local(0.79f) + 0.05f, 1}, {1000, 0, local(0.79f) - 0.05f, 0},
                             {1499, 30, local(0.76f) + 0.05f, 1}, {1000, 15, local(0.76f) - 0.05f, 0},
                             {1000, 7.5f, local(0.775f) + 0.05f, 1}, {1000, 7.5f, local(0.775f) - 0.05f, 0}};
  for (const Vortex& v : vortices) {
    frame_flight_data.radio_alt_ft = v.ra;
    m.sim_flightmodel2_misc_AoA_angle_degrees = v.aoa;
    m.sim_weather_dewpoi_sealevel_c = v.dew;
    vortex_effect();
    EXPECT_EQ(effect::vortex, v.v1) << v.aoa << " " << v.dew;
  }
}

class AntiIceValues : public PanelTest {
 protected:
  void SetUp() override {
    PanelTest::SetUp();
    anti_ice_state = AntiIceState{};
    anti_ice_state.wing_ground_gate_left = anti_ice_state.wing_ground_gate_right = 1.0f;
    for (float& w : window_overheat_state) w = 0.0f;
    for (float* v : {&ice::eng1_heat_pos, &ice::eng2_heat_pos, &ice::wing_heat_pos, &engine::thrust1_leveler,
                     &engine::thrust2_leveler, &electrical::apu_power_bus1, &electrical::apu_power_bus2,
                     &system_::eng_inlet_valve[0], &system_::eng_inlet_valve[1], &system_::wing_anti_ice_valve[0],
                     &system_::wing_anti_ice_valve[1]}) {
      *v = 0.0f;
    }
    on_ground = 1;
    for (int32_t& g : host_mirror.sim_flightmodel2_gear_on_ground) g = 1;
  }
};

// One frame of 1/8 s: the wing valve lags at 1.8 and the cowl valve at 1.5 a
// second; a valve counts as open above 0.95; the wing needs 8 psi of duct
// pressure to open, and heats once open with it.
TEST_F(AntiIceValues, ValvesOpenAndHeatAtTheirThresholds) {
  struct Wing {
    float duct, valve0, valve, heat;
  };
  const Wing wings[] = {
      {7.9f, 0, 0, 0},       {8, 0, 0.225f, 0},          {18, 0.96f, 0.969f, 1},
      {8, 0.96f, 0.969f, 1}, {7.9f, 0.96f, 0.744f, 0},   {30, 0.94f, 0.9535f, 1}, {30, 0.93f, 0.94575f, 0},
  };
  for (const Wing& w : wings) {
    SetUp();
    ice::wing_heat_pos = 1.0f;
    indicators::duct_press_L = w.duct;
    system_::wing_anti_ice_valve[0] = w.valve0;
    update_anti_ice();
    EXPECT_NEAR(system_::wing_anti_ice_valve[0], w.valve, 1e-6f) << w.duct << " " << w.valve0;
    EXPECT_EQ(ice::wing_l_heat_on, w.heat) << w.duct << " " << w.valve0;
  }
  struct Cowl {
    float valve0, valve;
    int inlet;
  };
  const Cowl cowls[] = {{0, 0.1875f, 0}, {0.94f, 0.95125f, 1}, {0.93f, 0.943125f, 0}};
  for (const Cowl& c : cowls) {
    SetUp();
    ice::eng2_heat_pos = 1.0f;
    host_mirror.sim_flightmodel2_engines_engine_is_burning_fuel[1] = 1;
    system_::eng_inlet_valve[1] = c.valve0;
    update_anti_ice();
    EXPECT_NEAR(system_::eng_inlet_valve[1], c.valve, 1e-6f) << c.valve0;
    EXPECT_EQ(host_mirror.sim_cockpit2_ice_ice_inlet_heat_on_per_engine[1], c.inlet) << c.valve0;
  }
  // The ground overheat cycle starts above 41.3 % N1 with the lever at idle;
  // a lever above 0.5 shuts the side; the air latch sets above 10 ft.
  struct Cycle {
    float n1, lever, timer, gate;
  };
  const Cycle cycles[] = {{41.3f, 0, 0, 1}, {41.4f, 0, 0.125f, 1}, {60, 0.5f, 0.125f, 1}, {60, 0.51f, 0, 0}};
  for (const Cycle& c : cycles) {
    SetUp();
    host_mirror.sim_flightmodel2_engines_N1_percent[1] = c.n1;
    engine::thrust2_leveler = c.lever;
    update_anti_ice();
    EXPECT_EQ(anti_ice_state.wing_ground_cycle_timer_right, c.timer) << c.n1 << " " << c.lever;
    EXPECT_EQ(anti_ice_state.wing_ground_gate_right, c.gate) << c.n1 << " " << c.lever;
  }
  // Unheated glass at 0 deg C creeps toward it at the normal rate; heated frozen glass twice as fast.
  for (float oat : {0.0f, 0.1f}) {
    SetUp();
    host_mirror.sim_cockpit2_temperature_outside_air_LE_temp_degc = oat;
    ice::l_side_temp = -5.0f;
    ice::window_heat_l_side_pos = 0.0f;
    update_anti_ice();
    EXPECT_FLOAT_EQ(ice::l_side_temp, -5.0f + 0.125f / (oat > 0.0f ? 5.0f : 10.0f)) << oat;
  }
  // On LOW a parked wiper sets out once 0.03 s have passed.
  for (float step : {0.03f, 0.02f}) {
    SetUp();
    frame_time = step;
    wiper_state[0] = WiperState{};
    switches::left_wiper_pos = 2.0f;
    others::left_wiper_ratio = 0.0f;
    update_windshield_wipers();
    EXPECT_EQ(others::left_wiper_up, step >= 0.03f ? 1.0f : -1.0f) << step;
  }
  // Airborne, a wing switch set on the ground trips once a lever passes 0.5.
  for (int e = 0; e < 4; ++e) {
    const float lever = e < 2 ? 0.5f : 0.51f;
    SetUp();
    on_ground = 0;
    anti_ice_state.airborne_latch = 1.0f;
    anti_ice_state.wing_heat_set_on_ground = 1.0f;
    ice::wing_heat_pos = 1.0f;
    host_mirror.sim_flightmodel2_engines_throttle_used_ratio[e % 2] = lever;
    host_mirror.sim_flightmodel2_engines_throttle_used_ratio[1 - e % 2] = 0.0f;
    update_anti_ice();
    EXPECT_EQ(anti_ice_state.wing_heat_set_on_ground, lever > 0.5f ? 0.0f : 1.0f) << e << " " << lever;
  }
  for (float ra : {10.0f, 10.1f}) {
    SetUp();
    on_ground = 0;
    for (int32_t& g : host_mirror.sim_flightmodel2_gear_on_ground) g = 0;
    host_mirror.sim_cockpit2_gauges_indicators_radio_altimeter_height_ft_pilot = ra;
    update_anti_ice();
    EXPECT_EQ(anti_ice_state.airborne_latch, ra > 10.0f ? 1.0f : 0.0f) << ra;
  }
}

}  // namespace
