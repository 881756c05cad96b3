// Bleed air, engine start switching and ignition, against the simulated host.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "core/failure_tables.h"
#include "core/preprocess_values.h"
#include "engines/engine_values.h"
#include "panel_fixture.h"
#include "systems/air/air_values.h"
#include "systems/aircraft_systems.h"
#include "systems/annunciators/annunciators.h"
#include "systems/annunciators/annunciators_panels.h"
#include "systems/delay_timers.h"
#include "systems/apu_start/engine_start_switching.h"
#include "systems/fire/fire_values.h"
#include "systems/instruments/instrument_values.h"
#include "systems/air/pneumatics.h"
#include "systems/switches/switch_memory.h"
#include "systems/switches/switch_targets.h"
#include "systems/switches/switch_values.h"
#include "systems/system_state.h"
#include "systems/systems_step_outputs.h"
#include "systems/systems_steps.h"

namespace {

TEST(BleedStages, ScheduleByAltitudeAndN1) {
  struct Case {
    float alt_ft, n1, p5, p9;
  };
  const Case cases[] = {
      {0.0f, 24.0f, 0.0f, 32.0f * 15.0f / 16.0f},    // at the 5th stage's low bound: nothing yet
      {0.0f, 54.0f, 42.0f, 32.0f * 45.0f / 16.0f},   // full band: 42 psi, no upper clamp on the 9th
      {0.0f, 84.0f, 84.0f, 32.0f * 75.0f / 16.0f},
      {-500.0f, 39.0f, 21.0f, 60.0f},                // held below sea level
      {5000.0f, 42.0f, 42.0f * 16.0f / 31.0f, 32.0f * 31.0f / 18.0f},
      {41000.0f, 89.0f, 42.0f, 32.0f * 67.0f / 20.0f},
      {50000.0f, 63.0f, 0.0f, 32.0f * 41.0f / 20.0f},  // held above 41,000 ft
      {0.0f, 9.0f, 0.0f, 0.0f},
  };
  for (const Case& c : cases) {
    EXPECT_NEAR(bleed_pressure_a(c.alt_ft, c.n1), c.p5, 1e-3f) << c.alt_ft << " " << c.n1;
    EXPECT_NEAR(bleed_pressure_b(c.alt_ft, c.n1), c.p9, 1e-3f) << c.alt_ft << " " << c.n1;
  }
}

class Bleed : public PanelTest {
 protected:
  void SetUp() override {
    PanelTest::SetUp();
    pneumatics = PneumaticsState{};
    pneumatics.apu_bleed_priority = 1.0f;
    failure_tables = FailureTables{};
    overhead_lights = OverheadLightState{};
    toggle_switch::bleed_air_1_pos = toggle_switch::bleed_air_2_pos = 1.0f;
    toggle_switch::bleed_air_apu_pos = 0.0f;
    air::l_pack_pos = air::r_pack_pos = 1.0f;
    air::isolation_valve_pos = 1.0f;
    fire::engine01_ext_switch_pos_arm = fire::engine02_ext_switch_pos_arm = 0.0f;
    engine::indicators_N1_percent_1 = engine::indicators_N1_percent_2 = 60.0f;
    host_mirror.sim_flightmodel_engine_ENGN_running[0] = host_mirror.sim_flightmodel_engine_ENGN_running[1] = 1;
    air::engine1_starter_valve = air::engine2_starter_valve = 0.0f;
    air::engine1_bleed_valve_pos = air::engine2_bleed_valve_pos = 0.0f;
    air::isolation_bleed_valve_pos = 0.0f;
    static_pressure_altitude_ft = 0.0f;
    frame_time = 0.1f;
  }
  static void run(int frames) {
    for (int i = 0; i < frames; ++i) update_pneumatics();
  }
};

TEST_F(Bleed, PrsovRegulatesTheDuctAndClosesOnAnArmedFireSwitch) {
  run(100);
  EXPECT_GT(air::engine1_bleed_valve_pos, 0.3f);
  EXPECT_NEAR(indicators::duct_press_L, 42.0f, 2.0f);
  fire::engine01_ext_switch_pos_arm = 1.0f;
  run(100);
  EXPECT_LT(air::engine1_bleed_valve_pos, 0.01f);
  EXPECT_GT(air::engine2_bleed_valve_pos, 0.3f);
}

TEST_F(Bleed, TrippedBleedAndStarterValveKeepThePrsovShut) {
  overhead_lights.bleed_trip_latch[1] = 1.0f;
  air::engine1_starter_valve = 0.5f;
  run(50);
  EXPECT_EQ(air::engine1_bleed_valve_pos, 0.0f);
  EXPECT_EQ(air::engine2_bleed_valve_pos, 0.0f);
}

TEST_F(Bleed, HighStageSuppliesTheDuctAtIdle) {
  engine::indicators_N1_percent_1 = engine::indicators_N1_percent_2 = 22.0f;
  run(200);
  EXPECT_EQ(air::engine1_5th_psi, 0.0f);
  EXPECT_GT(air::engine1_9th_valve, 0.9f);
  EXPECT_GT(indicators::duct_press_L, 8.0f);
}

TEST_F(Bleed, FailedValveStaysWhereItIs) {
  run(100);
  const float held = air::engine1_bleed_valve_pos;
  failure_tables.pressurisation[7] = 1.0f;
  toggle_switch::bleed_air_1_pos = 0.0f;
  run(50);
  EXPECT_EQ(air::engine1_bleed_valve_pos, held);
}

TEST_F(Bleed, ColdAircraftWithNoSourceStaysFinite) {
  // Every source at 0 while the packs and wing anti-ice still ask for air:
  // the shares of an empty side are 0, not 0/0.
  engine::indicators_N1_percent_1 = engine::indicators_N1_percent_2 = 0.0f;
  air::l_pack_bleed_valve_pos = air::r_pack_bleed_valve_pos = 1.0f;
  air::isolation_valve_pos = 2.0f;  // OPEN
  air::isolation_bleed_valve_pos = 1.0f;
  run(20);
  EXPECT_EQ(pneumatics.bleed_demand_psi[0], 0.0f);
  EXPECT_EQ(pneumatics.apu_bleed_demand_psi, 0.0f);
  EXPECT_EQ(indicators::duct_press_L, 0.0f);
  engine::indicators_N1_percent_1 = 60.0f;
  run(100);
  EXPECT_GT(indicators::duct_press_R, 20.0f);  // engine 1 across the open isolation valve
}

TEST_F(Bleed, IsolationValveInAutoClosesOnlyWithEverythingOn) {
  struct Case {
    float sel, b1, b2, lp, rp, cmd;
  };
  const Case cases[] = {{1, 1, 1, 1, 1, 0}, {1, 0, 1, 1, 1, 1}, {1, 1, 1, 1, 0, 1},
                        {1, 1, 1, 2, 1, 0}, {2, 1, 1, 1, 1, 1}, {0, 0, 0, 0, 0, 0}};
  for (const Case& c : cases) {
    air::isolation_valve_pos = c.sel;
    toggle_switch::bleed_air_1_pos = c.b1;
    toggle_switch::bleed_air_2_pos = c.b2;
    air::l_pack_pos = c.lp;
    air::r_pack_pos = c.rp;
    update_pneumatics();
    EXPECT_EQ(pneumatics.isolation_cmd, c.cmd) << c.sel << c.b1 << c.b2 << c.lp << c.rp;
  }
  // Without AC transfer bus 1 the valve stays put.
  electric::ac_tnsbus1_status = 0.0f;
  air::isolation_valve_pos = 2.0f;
  air::isolation_bleed_valve_pos = 0.0f;
  update_pneumatics();
  EXPECT_EQ(air::isolation_bleed_valve_pos, 0.0f);
}

TEST_F(Bleed, HostBleedModeTable) {
  struct Case {
    float b1, b2;
    bool apu;
    float priority, factor;
    int mode;
    float dual;
    float isolation = 1.0f;
  };
  const Case cases[] = {
      {0, 0, false, 1, 1, 0, 0}, {1, 0, false, 1, 1, 1, 0}, {0, 1, false, 1, 1, 3, 0}, {0, 0, true, 1, 1, 4, 0},
      {1, 1, false, 1, 1, 2, 0}, {1, 0, true, 1, 1, 5, 1},  {1, 0, true, 0, 1, 1, 1},  {0, 1, true, 1, 1, 5, 1},
      {0, 1, true, 0, 1, 3, 1},  {0, 1, true, 0, 0, 5, 0},  {1, 1, true, 1, 1, 5, 1},  {1, 1, true, 0, 1, 2, 1},
      // The isolation valve shut keeps engine 2's air and the APU's apart;
      // engine 1 shares the APU's duct whatever it does.
      {0, 1, true, 1, 1, 5, 0, 0.05f}, {1, 0, true, 1, 1, 5, 1, 0}, {1, 1, true, 1, 1, 5, 1, 0},
  };
  failure_tables.pressurisation[5] = 1.0f;  // and the isolation valve
  for (const Case& c : cases) {
    air::isolation_bleed_valve_pos = c.isolation;
    toggle_switch::bleed_air_1_pos = c.b1;
    toggle_switch::bleed_air_2_pos = c.b2;
    toggle_switch::bleed_air_apu_pos = c.apu ? 1.0f : 0.0f;
    air::apu_bleed_valve_pos = c.apu ? 1.0f : 0.0f;
    failure_tables.pressurisation[6] = 1.0f;  // hold the APU valve where the case puts it
    pneumatics.apu_bleed_priority = c.priority;
    pneumatics.apu_reg_factor = c.factor;
    // The factor moves at most 0.025 within the frame: a case's 0 or 1 still
    // reads as not regulating or regulating.
    pneumatics.apu_bleed_demand_psi = 0.0f;
    update_pneumatics();
    EXPECT_EQ(simhost::get_int("sim/cockpit2/pressurization/actuators/bleed_air_mode"), c.mode)
        << c.b1 << c.b2 << c.apu << c.priority << c.factor;
    EXPECT_EQ(pneumatics.dual_bleed, c.dual) << c.b1 << c.b2 << c.apu << c.priority << c.factor << " " << c.isolation;
  }
}

TEST_F(Bleed, DemandWithNoSourceAnywhereIsZeroNotUndefined) {
  engine::indicators_N1_percent_1 = engine::indicators_N1_percent_2 = 0.0f;
  air::l_pack_bleed_valve_pos = air::r_pack_bleed_valve_pos = 1.0f;
  air::engine1_starter_valve = air::engine2_starter_valve = 1.0f;  // loads, but nothing to feed them
  for (int i = 0; i < 3; ++i) update_pneumatics();
  ASSERT_EQ(air::engine1_psi + air::engine2_psi + air::apu_psi + pneumatics.ground_air_psi, 0.0f);
  EXPECT_EQ(pneumatics.bleed_demand_psi[0], 0.0f);
  EXPECT_EQ(pneumatics.bleed_demand_psi[1], 0.0f);
  EXPECT_EQ(pneumatics.apu_bleed_demand_psi, 5.0f + 5.0f * air::isolation_bleed_valve_pos);  // the starters alone
}

// The host's own packs and valves are ints and follow the overhead panel.
TEST_F(Bleed, HostPacksAndValvesFollowThePanel) {
  struct Case {
    float bleed1, bleed2, l_pack, r_pack, isolation;
    bool apu;
    int sov1, sov2, pack_l, pack_r, apu_bleed, isol_l, isol_r;
  };
  const Case cases[] = {
      {1, 1, 1, 1, 1, false, 1, 1, 1, 1, 0, 0, 0},  // all on, isolation in auto: shut
      {0, 1, 1, 0, 1, false, 0, 1, 1, 0, 0, 1, 1},  // one bleed and one pack off: auto opens
      {1, 1, 1, 1, 2, false, 1, 1, 1, 1, 0, 1, 1},  // isolation open
      {0, 0, 0, 0, 0, true, 0, 0, 0, 0, 1, 1, 0},   // APU bleed feeds the left side
  };
  for (const Case& c : cases) {
    toggle_switch::bleed_air_1_pos = c.bleed1;
    toggle_switch::bleed_air_2_pos = c.bleed2;
    air::l_pack_pos = c.l_pack;
    air::r_pack_pos = c.r_pack;
    air::isolation_valve_pos = c.isolation;
    toggle_switch::bleed_air_apu_pos = c.apu ? 1.0f : 0.0f;
    air::apu_bleed_valve_pos = c.apu ? 1.0f : 0.0f;
    update_host_bleed_air();
    const std::string a = "sim/cockpit2/bleedair/actuators/";
    EXPECT_EQ(simhost::get_ints(a + "engine_bleed_sov", 2), (std::vector<int>{c.sov1, c.sov2}));
    EXPECT_EQ(simhost::get_int(a + "pack_left"), c.pack_l);
    EXPECT_EQ(simhost::get_int(a + "pack_right"), c.pack_r);
    EXPECT_EQ(simhost::get_int(a + "pack_center"), 0);
    EXPECT_EQ(simhost::get_int(a + "apu_bleed"), c.apu_bleed);
    EXPECT_EQ(simhost::get_int(a + "gpu_bleed"), 0);
    EXPECT_EQ(simhost::get_int(a + "isol_valve_left"), c.isol_l);
    EXPECT_EQ(simhost::get_int(a + "isol_valve_right"), c.isol_r);
  }
  EXPECT_TRUE(simhost::problems().empty()) << simhost::problems().front();
}

// A healthy precooler keeps the bleed air under the trip over the whole
// envelope: packs on, engine and wing anti-ice in every combination, thrust
// stepped from idle to climb and back at each altitude. A precooler valve
// failed where the 5th stage needed little cooling trips its side once the
// high stage supplies.
TEST_F(Bleed, HealthyPrecoolerNeverTripsFromIdleToClimbUpToFl410) {
  const float altitudes_ft[] = {0, 5000, 10000, 12900, 20000, 25000, 31000, 33000, 35000, 37000, 39000, 41000};
  // 66.5 % at 41,000 ft is where the high stage alone just makes 32 psi
  // under the full anti-ice load: the precooler's hardest point.
  const float n1s[] = {22, 30, 40, 50, 60, 66.5f, 70, 80, 90, 85, 75, 65, 55, 45, 35, 25};
  struct AntiIce {
    int engine;
    float wing;
  };
  const AntiIce loads[] = {{0, 0}, {1, 0}, {0, 1}, {1, 1}};
  for (float alt : altitudes_ft) {
    for (const AntiIce& load : loads) {
      SetUp();
      systems_memory.bleed_temp_degc[0] = systems_memory.bleed_temp_degc[1] = 15.0f;
      air::eng1_precooler_valve_pos = air::eng2_precooler_valve_pos = 0.0f;
      air::l_pack_bleed_valve_pos = air::r_pack_bleed_valve_pos = 0.0f;
      static_pressure_altitude_ft = alt;
      host_mirror.sim_cockpit2_ice_ice_inlet_heat_on_per_engine[0] = load.engine;
      host_mirror.sim_cockpit2_ice_ice_inlet_heat_on_per_engine[1] = load.engine;
      system_::wing_anti_ice_valve[0] = system_::wing_anti_ice_valve[1] = load.wing;
      float hottest = 0.0f;
      for (float n1 : n1s) {
        engine::indicators_N1_percent_1 = engine::indicators_N1_percent_2 = n1;
        for (int i = 0; i < 300; ++i) {  // 30 s at each thrust
          update_pneumatics();
          annunciators_cabin_bleed();
          hottest = std::max(hottest, std::max(bleed_duct_value[0], bleed_duct_value[1]));
        }
        const std::string at = std::to_string(alt) + " ft, N1 " + std::to_string(n1) + ", engine " +
                               std::to_string(load.engine) + ", wing " + std::to_string(load.wing);
        ASSERT_EQ(overhead_lights.bleed_trip_latch[0] + overhead_lights.bleed_trip_latch[1], 0.0f) << at;
        if (pneumatics.engine_supply_psi[0] >= 8.0f) {
          EXPECT_GT(air::engine1_bleed_valve_pos, 0.3f) << at;
          EXPECT_GT(air::engine2_bleed_valve_pos, 0.3f) << at;
          EXPECT_GT(air::l_pack_bleed_valve_pos, 0.99f) << at;
          EXPECT_GT(air::r_pack_bleed_valve_pos, 0.99f) << at;
        }
      }
      EXPECT_LT(hottest, 240.0f) << alt << " " << load.engine << " " << load.wing;
    }
  }

  // Climb thrust at sea level (the 5th stage supplies, 340 deg C air), then
  // the left precooler valve fails where it is and the thrust comes back to
  // taxi, where the high stage supplies 580 deg C air.
  SetUp();
  host_mirror.sim_cockpit2_ice_ice_inlet_heat_on_per_engine[0] = 0;
  host_mirror.sim_cockpit2_ice_ice_inlet_heat_on_per_engine[1] = 0;
  system_::wing_anti_ice_valve[0] = system_::wing_anti_ice_valve[1] = 0.0f;
  engine::indicators_N1_percent_1 = engine::indicators_N1_percent_2 = 80.0f;
  for (int i = 0; i < 600; ++i) {
    update_pneumatics();
    annunciators_cabin_bleed();
  }
  ASSERT_LT(air::eng1_precooler_valve_pos, 0.6f);
  failure_tables.pressurisation[13] = 1.0f;
  engine::indicators_N1_percent_1 = engine::indicators_N1_percent_2 = 40.0f;
  int frames = 0;
  while (overhead_lights.bleed_trip_latch[0] == 0.0f && frames < 600) {
    update_pneumatics();
    annunciators_cabin_bleed();
    ++frames;
  }
  EXPECT_LT(frames, 600) << "no trip within 60 s";
  EXPECT_EQ(overhead_lights.bleed_trip_latch[1], 0.0f);
  for (int i = 0; i < 100; ++i) update_pneumatics();
  EXPECT_EQ(air::engine1_bleed_valve_pos, 0.0f);
  EXPECT_GT(air::engine2_bleed_valve_pos, 0.3f);
}

class Start : public PanelTest {
 protected:
  void SetUp() override {
    PanelTest::SetUp();
    start_switching = StartSwitchingState{};
    delay_timers = DelayTimerBank{};
    delay_flags = DelayTimerFlags{};
    toggle_switch::eng_start_source = 1.0f;  // right igniter selected
    engine::mixture_ratio1 = engine::mixture_ratio2 = 1.0f;
    engine::indicators_N2_percent_1 = engine::indicators_N2_percent_2 = 25.0f;
    engine::starter1_pos = engine::starter2_pos = 1.0f;
    // The knob tests leave a target behind (FLT); the others expect the GRD
    // target a fresh start has.
    starter1_knob_target = starter2_knob_target = 0.0f;
    engine::start_valve1 = engine::start_valve2 = 0.0f;
    on_ground = 1;
    frame_time = 0.125f;
  }
};

TEST_F(Start, IgniterSelectionByPositionGroundAndPower) {
  struct Case {
    float pos, source;
    int ground;
    float std_bus, tns1, dir_bat, mode;
  };
  const Case cases[] = {
      {0, 1, 1, 1, 1, 1, 2},   // GRD on the ground: the selected igniter
      {0, 1, 0, 1, 1, 1, 3},   // GRD in flight: both
      {0, 0, 1, 0, 1, 1, 1},   // both selected, standby bus lost: left only
      {0, -1, 1, 1, 0, 1, 0},  // left selected, its transfer bus lost
      {0, 0, 1, 1, 1, 0, 2},   // no direct battery bus: only the standby side
      {3, 1, 1, 1, 1, 1, 3},   // FLT
      {2, -1, 1, 1, 1, 1, 1},  // CONT on the ground
      {1, 1, 1, 1, 1, 1, 0},   // OFF on the ground below 50 % N2
  };
  for (const Case& c : cases) {
    engine::starter1_pos = c.pos;
    toggle_switch::eng_start_source = c.source;
    on_ground = c.ground;
    electric::ac_stdbus_status = c.std_bus;
    electric::ac_tnsbus1_status = c.tns1;
    electric::dir_batbus_status = c.dir_bat;
    update_ignition_start();
    EXPECT_EQ(start_switching.ignition_mode[0], c.mode) << c.pos << " " << c.source << " " << c.ground;
    EXPECT_EQ(simhost::get_ints("sim/cockpit2/engine/actuators/ignition_key")[0], static_cast<int>(c.mode));
  }
  EXPECT_EQ(simhost::get_int("sim/operation/override/override_pressurization"), 1);
}

TEST_F(Start, StartValveOpensInTwoAndAHalfSecondsOnlyWithTheDirectBatteryBus) {
  engine::starter1_pos = 0.0f;
  for (int i = 0; i < 10; ++i) update_ignition_start();
  EXPECT_FLOAT_EQ(engine::start_valve1, 0.5f);
  for (int i = 0; i < 10; ++i) update_ignition_start();
  EXPECT_FLOAT_EQ(engine::start_valve1, 1.0f);
  electric::dir_batbus_status = 0.0f;
  update_ignition_start();
  EXPECT_LT(engine::start_valve1, 1.0f);
  EXPECT_EQ(engine::start_valve2, 0.0f);
}

TEST_F(Start, CutOutReturnsTheSwitchAndTheRedlineFollowsTheStart) {
  engine::starter1_pos = 0.0f;
  host_mirror.sim_flightmodel2_engines_N2_percent[0] = 20.0f;
  update_ignition_start();
  EXPECT_EQ(systems::egt_redline1, 1.0f);
  engine::indicators_N2_percent_1 = 55.3f;
  update_ignition_start();
  EXPECT_EQ(starter1_knob_target, 0.0f);  // cut-out is above 55.3
  engine::indicators_N2_percent_1 = 56.0f;
  host_mirror.sim_flightmodel2_engines_N2_percent[0] = 56.0f;
  update_ignition_start();
  EXPECT_EQ(starter1_knob_target, 1.0f);
  EXPECT_EQ(delay_timers.air_start_delay_1, 5.0f);  // start complete
}

TEST_F(Start, KnobTurnsFromOffToGroundIn0_15sPerUnit) {
  travel_targets.eng1_start_turn = 1.0f;
  starter1_knob_target = 0.0f;
  frame_time = 0.05f;
  animate_start_switches();
  EXPECT_NEAR(travel_targets.eng1_start_turn, 1.0f - 1.0f / 3.0f, 1e-5f);
  EXPECT_EQ(engine::starter1_pos, 1.0f);
  EXPECT_NEAR(engine::starter1_pos2, 1.0f, 1e-5f);
  for (int i = 0; i < 5; ++i) animate_start_switches();
  EXPECT_EQ(travel_targets.eng1_start_turn, 0.0f);
  EXPECT_EQ(engine::starter1_pos, 0.0f);
  // FLT has no animation.
  starter1_knob_target = 3.0f;
  engine::starter1_pos = 3.0f;
  animate_start_switches();
  EXPECT_EQ(engine::starter1_pos, 3.0f);
}

TEST_F(Start, FluidIndicationsAppearAt1_6And2Seconds) {
  engine::starter1_pos = 0.0f;
  frame_time = 0.1f;
  struct Step {
    int frames;
    float press, temp;
  };
  const Step steps[] = {{15, 0, 0}, {2, 1, 0}, {3, 1, 1}};
  for (const Step& s : steps) {
    for (int i = 0; i < s.frames; ++i) update_fluid_indications();
    EXPECT_EQ(engine::eicas_oil_press1, s.press);
    EXPECT_EQ(engine::eicas_ff1, s.press);
    EXPECT_EQ(engine::eicas_oil_temp1, s.temp);
  }
  // Run-down: out again below 6 % N2.
  engine::starter1_pos = 1.0f;
  engine::indicators_N2_percent_1 = 5.0f;
  for (int i = 0; i < 40; ++i) update_fluid_indications();
  EXPECT_EQ(engine::eicas_oil_press1, 0.0f);
  EXPECT_EQ(engine::eicas_oil_temp1, 0.0f);
}

}  // namespace
