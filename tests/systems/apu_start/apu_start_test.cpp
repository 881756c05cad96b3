// The APU (bleed supply, running state, temperatures, start permission) and
// the engine start switching (ignition, cut-out, knob positions, fluid
// indications): one row per threshold, both sides of it.
#include <gtest/gtest.h>

#include "core/preprocess_values.h"
#include "engines/engine_values.h"
#include "systems/fuel/fuel_values.h"
#include "systems/air/air_values.h"
#include "systems/air/pneumatics.h"
#include "systems/aircraft_systems.h"
#include "systems/annunciators/annunciator_values.h"
#include "systems/apu_start/apu.h"
#include "systems/fuel/fuel_pump_lights.h"
#include "systems/apu_start/apu_start_state.h"
#include "systems/apu_start/engine_start_switching.h"
#include "systems/delay_timers.h"
#include "systems/fire/fire_values.h"
#include "systems/ice_rain/ice_values.h"
#include "systems/instruments/instrument_values.h"
#include "systems/panel_fixture.h"
#include "systems/switches/switch_memory.h"
#include "systems/switches/switch_targets.h"
#include "systems/switches/switch_values.h"
#include "systems/system_state.h"

namespace {

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
    air::apu_bleed_valve_pos = 0.0f;
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
      {15, 100, 15000, 0, 0, 0, 0.00121528f, 45.0f * 0.99371221f},
      // Bleed air fades out over the last 2,000 ft below 17,000 ft.
      {15, 100, 16000, 0, 0, 0, 0.00121528f, 45.0f * 0.99094976f * 0.5f},
      {15, 100, 17000, 0, 0, 0, 0.00121528f, 0.0f},
      {15, 100, 35000, 0, 0, 0, 0.00121528f, 0.0f},
      {15, 100, 90000, 0, 0, 0, 0.00121528f, 0.0f},
      {15, 100, 0, 0.11f, 0.6f, 0, 0.60121528f, 45.0f - (1.0f - 0.60121528f) * 25.0f},
      {15, 100, 0, 0.1f, 0.6f, 0, 0.60121528f, 45.0f},  // a start valve at 0.1 takes nothing
      // The draw of the last frame lowers it by the same share at any height.
      {15, 100, 0, 0, 0, 5, 0.00121528f, 45.0f * 60.0f / 65.0f},
      {15, 100, 0, 0, 0, 20, 0.00121528f, 45.0f * 0.75f},
      {15, 100, 16000, 0, 0, 20, 0.00121528f, 45.0f * 0.99094976f * 0.5f * 0.75f},
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
    // What it gives with nothing drawn ignores the draw and the start.
    if (r.valve == 0.0f && r.demand != 0.0f) {
      EXPECT_NEAR(apu_state.bleed_available_psi, r.supply * (60.0f + r.demand) / 60.0f, 1e-3f) << r.demand;
    }
  }
  // The load follows the air delivered through the bleed valve, not the
  // duct pressure (highest with nothing drawing).
  struct Load {
    float valve, demand, factor, rate;
  };
  const Load loads[] = {{0.0f, 12.0f, 1.0f, 0.0250002f},      {1.0f, 0.0f, 1.0f, 0.0250002f},
                        {0.5f, 12.0f, 1.016f, 0.02592613f},    {1.0f, 12.0f, 1.032f, 0.02685207f},
                        {1.0f, 32.0f, 1.0853333f, 0.02993851f}, {1.0f, 60.0f, 1.12f, 0.0319447f}};
  for (const Load& l : loads) {
    air::apu_psi = 40.0f;
    air::apu_bleed_valve_pos = l.valve;
    pneumatics.apu_bleed_demand_psi = l.demand;
    apu_bleed_supply();
    EXPECT_NEAR(apu_state.load_factor, l.factor, 1e-5f) << l.valve << " " << l.demand;
    EXPECT_NEAR(apu_fuel_rate, l.rate, 1e-7f) << l.valve << " " << l.demand;
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
    float n1, egt;
  };
  const Cool cools[] = {
      {1, 1, 0, 15, true, 100, 60 - 0.00375f * 40},      // the 60 s cool-down: toward 200 deg C
      {0, 0, 0, 15, false, 0, 60 - 0.375f * 60},         // OFF, run down: the indication unpowered, toward 0
      {0, 0, 0, 15, false, 50, 60 - 0.00375f * 58.5f},   // OFF, running down: the turbine cools toward the air
      {0, 0, 1, 25, false, 0, 60 - 0.00375f * 57.5f},    // ON, stopped hot (failed): cools toward the air
  };
  for (const Cool& c : cools) {
    SetUp();
    running(c.run, c.n1);
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
    EXPECT_NEAR(electrical::apu_door, c.sw == 0.0f && !c.run && c.n1 == 0.0f ? 0.0f : 0.10625f, 1e-6f);
  }
  // The pulled fire switch closes the door of a rotor still at speed.
  SetUp();
  running(true, 100.0f);
  delay_flags.apu_start_stage = 3.0f;
  apu_on_latch = 1.0f;
  electrical::apu_door = 1.0f;
  fire::apu_ext_switch_pos_arm = 1.0f;
  update_apu();
  EXPECT_NEAR(electrical::apu_door, 1.0f - 0.10625f, 1e-6f);
}

TEST_F(ApuValues, StartPermissionByPressureAltitudeTanksAndPumps) {
  // A pump feeds switched ON and powered with its LOW PRESSURE light dark; a
  // centre pump switched OFF shows a dark light but feeds nothing.
  struct Row {
    float alt_ft;  // pressure altitude
    float l, c, r, xfeed;
    int ok_pump;    // the one pump that feeds: 0 none, 1 L1, 2 L2, 3 C1, 4 C2, 5 R1, 6 R2
    int dark_off;   // a pump switched OFF with its light dark, numbered the same
    float ready;
  };
  const Row rows[] = {
      // Suction feed from the left tank up to 41,000 ft pressure altitude, FL370
      // among it.
      {37000, 2000, 0, 0, 0, 0, 0, 1}, {40990, 2000, 0, 0, 0, 0, 0, 1}, {41010, 2000, 0, 0, 0, 0, 0, 0},
      {41010, 2000, 0, 0, 0, 1, 0, 1}, {41010, 2000, 0, 0, 0, 2, 0, 1},  {41010, 0, 2000, 0, 0, 1, 0, 0},
      {41010, 0, 2000, 0, 0, 3, 0, 1}, {41010, 0, 2000, 0, 0, 4, 0, 0},  {41010, 0, 2000, 0, 1, 4, 0, 1},
      {41010, 0, 0, 2000, 1, 6, 0, 1}, {41010, 0, 0, 2000, 0, 5, 0, 0},  {41010, 0, 0, 2000, 1, 3, 0, 0},
      {41010, 0, 2000, 0, 1, 5, 0, 0}, {40990, 0, 2000, 2000, 0, 0, 0, 0},
      {40990, 0, 2000, 2000, 0, 0, 3, 0}, {41010, 0, 2000, 2000, 1, 0, 4, 0},
  };
  float* status[] = {&engine::tank_l1_status, &engine::tank_l2_status, &engine::tank_c1_status,
                     &engine::tank_c2_status, &engine::tank_r1_status, &engine::tank_r2_status};
  for (const Row& r : rows) {
    SetUp();
    running(false, 0.0f);
    static_pressure_altitude_ft = r.alt_ft;
    // A warm, high-pressure day: higher than 41,000 ft, the APU is still
    // below its ceiling.
    host_mirror.sim_flightmodel_position_elevation = 12600.0;
    host_mirror.sim_flightmodel_weight_m_fuel[0] = r.l;
    host_mirror.sim_flightmodel_weight_m_fuel[1] = r.c;
    host_mirror.sim_flightmodel_weight_m_fuel[2] = r.r;
    knobs::cross_feed = fuel::cross_feed_valve = r.xfeed;
    for (int i = 0; i < 6; ++i) {
      *status[i] = (i + 1 == r.ok_pump) ? 1.0f : 0.0f;
      fuel_pump_lights.condition[i] = (i + 1 == r.ok_pump || i + 1 == r.dark_off) ? 0 : 1;
    }
    update_apu();  // this frame's feed, read by the next frame's permission
    update_apu();
    EXPECT_EQ(delay_flags.apu_start_request, 0.0f);  // no START: no request
    EXPECT_EQ(apu_start_ready, r.ready) << r.alt_ft << " " << r.l << r.c << r.r << " x" << r.xfeed << " p" << r.ok_pump;
    delay_flags.apu_start_request = 1.0f;  // START: kept only while permitted
    update_apu();
    EXPECT_EQ(delay_flags.apu_start_request, r.ready);
  }
  static_pressure_altitude_ft = 0.0f;
  for (float* st : status) *st = 0.0f;
  for (int32_t& lit : fuel_pump_lights.condition) lit = 0;
  knobs::cross_feed = fuel::cross_feed_valve = 0.0f;
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
    for (float& shown : start_switching.fluid_ind[0]) shown = 1.0f;
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
  // With the display units dark the values shown hold; with their power back
  // they show the timing as it then stands.
  SetUp();
  electric::dc_stdbus_status = electric::dc_bus2_status = 0.0f;
  engine::starter1_pos = 2.0f;
  engine::eicas_oil_press1 = engine::eicas_oil_temp1 = 0.0f;
  start_switching.fluid_ind_timer_s[0] = 3.0f;
  update_fluid_indications();
  EXPECT_EQ(engine::eicas_oil_press1, 0.0f);
  electric::dc_bus2_status = 1.0f;
  update_fluid_indications();
  EXPECT_EQ(engine::eicas_oil_press1, 1.0f);
  EXPECT_EQ(engine::eicas_oil_temp1, 1.0f);
  const int sync[][4] = {{1, 1, 5, 0}, {3, 3, 5, 1}, {1, 3, 5, 2}, {2, 2, 1, 1}};
  for (const auto& s : sync) {
    host_mirror.sim_cockpit2_engine_actuators_prop_mode[0] = s[0];
    host_mirror.sim_cockpit2_engine_actuators_prop_mode[1] = s[1];
    engine::prop_mode_sync = static_cast<float>(s[2]);
    update_prop_mode_sync();
    EXPECT_EQ(engine::prop_mode_sync, static_cast<float>(s[3])) << s[0] << s[1];
  }
}

}  // namespace
