// Air systems besides pressurisation: the cabin temperature model (targets,
// zone and supply temperatures, mix valves) and the pneumatics (APU bleed
// regulation, duct temperature, consumers and valves, engine stage pressure).
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <set>
#include <sstream>
#include <string>

#include "core/variant.h"
#include "engines/engine_values.h"
#include "systems/air/cabin_air.h"
#include "systems/air/cabin_fixture.h"
#include "systems/air/pneumatics.h"
#include "systems/aircraft_systems.h"
#include "systems/annunciators/annunciator_values.h"
#include "systems/annunciators/annunciators_panels.h"
#include "systems/delay_timers.h"
#include "systems/fire/fire_values.h"
#include "systems/panel_fixture.h"
#include "systems/system_state.h"
#include "systems/systems_step_outputs.h"

namespace {

TEST_F(Cabin, TemperatureTargetsBySelectorAndVariant) {
  struct Row {
    int variant;
    float cont, fwd, aft, d, f, a;
  } rows[] = {
      {0, 0, 0, 0, 18, 18, 18},        {0, 0.5f, 0.5f, 0.5f, 23, 24, 23}, {0, -0.0f, 0, 0, 18, 18, 18},
      {0, 0.02f, 0, 0, 18.2f, 18, 18}, {0, 0.25f, 0.75f, 1.2f, 20.5f, 25.5f, 28},
      {2, 0.5f, 0.3f, 0, 23, 21, 21},  {3, -0.1f, 1.1f, 0, 18, 28, 28},   {5, 0, 0.5f, 0, 18, 23, 23},
      {4, 0, 0, 0, 18, 18, 18},
  };
  for (const Row& r : rows) {
    variant_index = r.variant;
    air::cont_cab_temp_rheostat = air::cont_cab_temp_rheostat_700 = r.cont;
    air::fwd_cab_temp_rheostat = air::pass_cab_temp_rheostat_700 = r.fwd;
    air::aft_cab_temp_rheostat = r.aft;
    update_cabin_temperature();
    EXPECT_NEAR(cabin_air.cont_cab_target, r.d, 1e-5f) << r.variant << " " << r.cont;
    EXPECT_NEAR(cabin_air.fwd_cab_target, r.f, 1e-5f) << r.variant << " " << r.fwd;
    EXPECT_NEAR(cabin_air.aft_cab_target, r.a, 1e-5f) << r.variant << " " << r.aft;
  }
  variant_index = 0;
}

// A cockpit builder wires the temperature knobs from the reference, so each
// knob's row names the airframes whose cabin it moves: on each of those it
// moves the zone's target, on every other it moves nothing.
TEST_F(Cabin, TheReferenceNamesTheAirframesEachTemperatureKnobMoves) {
  std::ifstream in(CORVANE_SOURCE_DIR "/tools/dataref_meanings.tsv");
  ASSERT_TRUE(in.good());
  auto airframes_of = [&](const std::string& pattern) {
    in.clear();
    in.seekg(0);
    std::set<std::string> named;
    for (std::string line; std::getline(in, line);) {
      if (line.rfind(pattern + "\t", 0) != 0) continue;
      const std::string lead = "moves the cabin on ";
      const size_t from = line.find(lead);
      if (from == std::string::npos) break;
      std::string list = line.substr(from + lead.size());
      list = list.substr(0, list.find(" ("));
      for (std::string sep : {std::string(" and "), std::string(", ")}) {
        for (size_t at; (at = list.find(sep)) != std::string::npos;) list.replace(at, sep.size(), "|");
      }
      std::stringstream parts(list);
      for (std::string part; std::getline(parts, part, '|');) {
        if (part.rfind("the ", 0) == 0) part = part.substr(4);
        if (part.rfind("a ", 0) == 0) part = part.substr(2);
        named.insert(part.substr(0, part.find(" only")));
      }
    }
    return named;
  };
  // The airframes in the order of the aircraft files the plug-in knows; -1
  // is a generic aircraft file.
  const char* const airframe[] = {"-800", "-900", "-700",  "-600",  "-900ER",
                                  "MAX 7", "MAX 200", "MAX 8", "MAX 9", "MAX 10"};
  struct Knob {
    const char* row;
    float* knob;
  } knobs[] = {
      {"zuvadud/D738/air/(cont_cab_temp|fwd_cab_temp|aft_cab_temp)/rheostat", &air::cont_cab_temp_rheostat},
      {"zuvadud/D738/air/(cont_cab_temp|pass_cab_temp)/rheostat_700", &air::cont_cab_temp_rheostat_700},
  };
  for (const Knob& k : knobs) {
    const std::set<std::string> named = airframes_of(k.row);
    EXPECT_FALSE(named.empty()) << k.row << " names no airframe";
    for (int v = -1; v < variant_count; ++v) {
      variant_index = v;
      const std::string name = v < 0 ? "generic aircraft file" : airframe[v];
      air::cont_cab_temp_rheostat = air::cont_cab_temp_rheostat_700 = 0.0f;
      *k.knob = 1.0f;
      update_cabin_temperature();
      EXPECT_EQ(cabin_air.cont_cab_target == 28.0f, named.count(name) == 1) << k.row << " on " << name;
    }
  }
  variant_index = 0;
}

TEST_F(Cabin, ZoneAndSupplyTemperaturesByPacksAndTrimAir) {
  // Flight deck 24, forward 18, aft 23 (P 20.5, lowest 18, mean 21.667); 4 degrees outside.
  variant_index = 0;
  air::cont_cab_temp_rheostat = 0.6f;
  air::fwd_cab_temp_rheostat = 0.0f;
  air::aft_cab_temp_rheostat = 0.5f;
  host_mirror.sim_cockpit2_temperature_outside_air_temp_degc = 4.0f;
  float* z = cabin_temperatures.values_degc;
  struct Row {
    float l_pack, r_pack, trim;
    float zone[7];  // zones 1..5, supply 1, supply 2
  } rows[] = {
      {1, 1, 0, {24, 25, 23, 20.5f, 20.5f, 24, 20.5f}},
      {0.11f, 1, 1, {24, 25, 23, 18, 23, 18, 18}},
      {1, 0.1f, 0, {21.6667f, 21.6667f, 21.6667f, 21.6667f, 21.6667f, 21.6667f, 4}},
      {0.1f, 1, 1, {24, 25, 23, 18, 23, 4, 18}},
      {0, 0, 1, {4, 4, 4, 4, 4, 4, 4}},
  };
  // Every value reaches its target in one frame: the linear ones at their
  // seconds a degree, the unventilated zones with their 30-minute lag.
  frame_time = 1800.0f;
  for (const Row& r : rows) {
    air::l_pack_bleed_valve_pos = r.l_pack;
    air::r_pack_bleed_valve_pos = r.r_pack;
    air::trim_air_pos = r.trim;
    update_cabin_temperature();
    for (int i = 0; i < 7; ++i) EXPECT_NEAR(z[i], r.zone[i], 1e-3f) << r.l_pack << " " << r.r_pack << " " << r.trim << " value " << i;
  }
  // Seconds per degree: supplies 3, zones 18, recirculated zones 21 with the
  // fan on its bus or 26; without packs the zones lag toward the outside air
  // on the ground with a 30-minute time constant.
  frame_time = 1.0f;
  air::l_recirc_fan_pos = 1.0f;
  air::r_recirc_fan_pos = 1.0f;
  electric::main_bus1 = 1.0f;
  electric::main_bus2 = 0.0f;
  air::l_pack_bleed_valve_pos = air::r_pack_bleed_valve_pos = 1.0f;
  air::trim_air_pos = 0.0f;
  for (float& v : cabin_temperatures.values_degc) v = 10.0f;
  update_cabin_temperature();
  const float steps[7] = {1 / 18.0f, 1 / 18.0f, 1 / 18.0f, 1 / 21.0f, 1 / 26.0f, 1 / 3.0f, 1 / 3.0f};
  for (int i = 0; i < 7; ++i) EXPECT_NEAR(z[i], 10.0f + steps[i], 1e-5f) << i;
  air::l_pack_bleed_valve_pos = air::r_pack_bleed_valve_pos = 0.0f;
  update_cabin_temperature();
  const float fed = 10.0f + 1 / 18.0f;
  EXPECT_NEAR(z[0], fed + (4.0f - fed) / 1800.0f, 1e-5f);
}

TEST_F(Cabin, MixValvesAndTheTemperatureIndicator) {
  variant_index = 0;
  air::cont_cab_temp_rheostat = 0.6f;  // 24
  air::fwd_cab_temp_rheostat = 0.0f;   // 18
  air::aft_cab_temp_rheostat = 0.5f;   // 23, passenger 20.5
  air::l_pack_bleed_valve_pos = air::r_pack_bleed_valve_pos = 1.0f;
  air::trim_air_pos = 0.0f;
  electric::dir_batbus_status = 1.0f;
  // One frame of 1/0.3 s lands the valves on their targets; the zones sit on
  // their targets, 24 or 28 (flight deck) and 20.5 (passenger).
  struct Row {
    float oat, rheostat, valve1, valve2;
  } rows[] = {{4, 0.6f, 0.66f, 0.457f}, {100, 0.6f, 0, 0}, {4, 1, 0.892f, 0.457f}, {-100, 0.6f, 1, 1}};
  for (const Row& r : rows) {
    frame_time = 1.0f / 0.3f;
    air::cont_cab_temp_rheostat = r.rheostat;
    host_mirror.sim_cockpit2_temperature_outside_air_temp_degc = r.oat;
    float* z = cabin_temperatures.values_degc;
    z[0] = r.rheostat == 1.0f ? 28.0f : 24.0f;
    z[3] = z[4] = 20.5f;
    air::mix_valve1_700 = air::mix_valve2_700 = 0.5f;
    update_cabin_temperature();
    EXPECT_NEAR(air::mix_valve1_700, r.valve1, 1e-4f) << r.oat << " " << r.rheostat;
    EXPECT_NEAR(air::mix_valve2_700, r.valve2, 1e-4f) << r.oat << " " << r.rheostat;
  }
  // Indicator: the source switch picks a value; the needle lags 5 per second.
  air::l_pack_bleed_valve_pos = air::r_pack_bleed_valve_pos = 0.0f;
  host_mirror.sim_cockpit2_temperature_outside_air_temp_degc = 12.0f;
  frame_time = 0.2f;
  struct Source {
    float source;
    int slot;  // -1: the passenger cabin (mean of zones 4 and 5)
  } sources[] = {{0, -1}, {1, 0}, {2, 3}, {3, 4}, {4, 1}, {5, 6}, {6, 5}};
  for (const Source& src : sources) {
    float* z = cabin_temperatures.values_degc;
    for (int i = 0; i < 7; ++i) z[i] = 30.0f + 2.0f * static_cast<float>(i);
    toggle_switch::air_temp_source = src.source;
    cockpit::zone_temp = 0.0f;
    update_cabin_temperature();
    const float picked = src.slot < 0 ? (z[3] + z[4]) / 2.0f : z[src.slot];
    EXPECT_NEAR(cockpit::zone_temp, picked, 1e-4f) << src.source;
    EXPECT_NEAR(picked, src.slot < 0 ? 37.0f : 30.0f + 2.0f * static_cast<float>(src.slot), 0.02f) << src.source;
    EXPECT_EQ(cockpit::cabin_temp, (z[3] + z[4]) / 2.0f);
  }
  for (float& v : cabin_temperatures.values_degc) v = -5.0f;
  update_cabin_temperature();
  EXPECT_EQ(cockpit::zone_temp, 0.0f);  // a negative reading shows 0
}

// The APU alone feeds the ducts (engines shut down), its supply 50 psi.
class Bleeds : public PanelTest {
 protected:
  void SetUp() override {
    PanelTest::SetUp();
    pneumatics = PneumaticsState{};
    pneumatics.apu_bleed_priority = 1.0f;
    failure_tables = FailureTables{};
    overhead_lights = OverheadLightState{};
    delay_flags = DelayTimerFlags{};
    toggle_switch::bleed_air_1_pos = toggle_switch::bleed_air_2_pos = 0.0f;
    toggle_switch::bleed_air_apu_pos = 1.0f;
    spring_toggle_switch::APU_start_pos = 1.0f;
    air::l_pack_pos = air::r_pack_pos = 1.0f;
    air::isolation_valve_pos = 1.0f;
    engine::indicators_N1_percent_1 = engine::indicators_N1_percent_2 = 0.0f;
    air::engine1_starter_valve = air::engine2_starter_valve = 0.0f;
    air::engine1_bleed_valve_pos = air::engine2_bleed_valve_pos = 0.0f;
    air::isolation_bleed_valve_pos = air::l_pack_bleed_valve_pos = air::r_pack_bleed_valve_pos = 0.0f;
    air::apu_bleed_valve_pos = 1.0f;
    system_::wing_anti_ice_valve[0] = system_::wing_anti_ice_valve[1] = 0.0f;
    for (int slot : {3, 4, 5, 6}) failure_tables.pressurisation[slot] = 1.0f;  // valves stay where a row puts them
    pneumatics.duct_psi[0] = pneumatics.duct_psi[1] = 0.0f;
    host_mirror.sim_cockpit2_electrical_APU_N1_percent = 100.0f;
    per_flight_values.apu_bleed_capability_psi = 50.0f;
    static_pressure_altitude_ft = 0.0f;
    frame_time = 0.1f;
  }
};

TEST_F(Bleeds, ApuDuctFallsWithTheAirDrawnAndItsValveHoldsUnderLoad) {
  // The last frame's draw on the APU (psi of demand) against the duct it
  // reads: 41 psi at most with nothing drawn, the regulator sagging a quarter
  // psi for each psi drawn (one pack's 6 shows), lower still where the APU
  // gives less, whatever the packs. The
  // valve command follows what the APU can give with nothing drawn, so a
  // heavy draw high up leaves it open; an APU not turning or above its
  // bleed ceiling gives none.
  struct Row {
    float demand, alt_ft, apu_n1, apu_psi, valve_cmd;
  } rows[] = {
      {0, 0, 100, 41, 1},         {6, 0, 100, 39.5f, 1}, {12, 0, 100, 38, 1},  {20, 0, 100, 36, 1}, {40, 0, 100, 30, 1},
      {60, 16000, 100, 12.3868f, 1}, {60, 0, 100, 25, 1},  {0, 17000, 100, 0, 0},  {0, 0, 0, 0, 0},
      {0, 0, 16, 8, 0},           {0, 0, 17, 8.5f, 1},
  };
  for (const Row& r : rows) {
    pneumatics = PneumaticsState{};
    pneumatics.apu_reg_factor = 1.0f;
    pneumatics.apu_bleed_demand_psi = r.demand;
    static_pressure_altitude_ft = r.alt_ft;
    host_mirror.sim_cockpit2_electrical_APU_N1_percent = r.apu_n1;
    for (float lp : {0.0f, 1.0f, 2.0f}) {
      air::l_pack_pos = air::r_pack_pos = lp;
      pneumatics.apu_bleed_demand_psi = r.demand;
      update_pneumatics();
      EXPECT_NEAR(air::apu_psi, r.apu_psi, 1e-3f) << r.demand << " " << r.alt_ft << " " << r.apu_n1 << " " << lp;
      EXPECT_EQ(pneumatics.apu_valve_cmd, r.valve_cmd) << r.demand << " " << r.alt_ft << " " << r.apu_n1;
    }
  }
  // From a factor left below 1 the regulation rises at 0.2 per second.
  pneumatics = PneumaticsState{};
  pneumatics.apu_reg_factor = 0.5f;
  update_pneumatics();
  EXPECT_NEAR(pneumatics.apu_reg_factor, 0.52f, 1e-6f);
}

TEST_F(Bleeds, BleedTemperatureAndPrecooler) {
  // Engine 1 alone; the precooler row's position enters the temperature of
  // the same frame, and a long frame lands the temperature on its target.
  host_mirror.sim_cockpit2_temperature_outside_air_temp_degc = 10.0f;
  host_mirror.sim_flightmodel_engine_ENGN_running[0] = 1;
  struct Row {
    float n1, alt_ft, precooler, temp, precooler_target;
  } rows[] = {{60, 0, 0, 340, 0.316331f},          {60, 0, 0.5f, 140.842f, 0.316331f},
              {80, 20500, 0.5f, 153.737f, 0.338231f}, {80, 45000, 1, 40.389f, 0.678266f},
              {15, 0, 0.5f, 10, 1},
              {30, 32800, 0.5f, 10, 1}};  // high stage short of the setpoint: nothing flows, outside air
  for (const Row& r : rows) {
    for (float frame : {1000.0f, 0.5f}) {  // 0.5 s: the precooler's lag of 2/s lands on its target
      pneumatics = PneumaticsState{};
      frame_time = frame;
      engine::indicators_N1_percent_1 = r.n1;
      static_pressure_altitude_ft = r.alt_ft;
      air::eng1_precooler_valve_pos = r.precooler;
      air::engine1_9th_valve = 0.0f;
      systems_memory.bleed_temp_degc[0] = 0.0f;
      update_pneumatics();
      if (frame > 1.0f) {
        EXPECT_NEAR(systems_memory.bleed_temp_degc[0], r.temp, 2e-3f) << r.n1 << " " << r.alt_ft << " " << r.precooler;
        EXPECT_EQ(bleed_duct_value[0], systems_memory.bleed_temp_degc[0]);
      } else {
        EXPECT_NEAR(air::eng1_precooler_valve_pos, r.precooler_target, 1e-5f) << r.n1 << " " << r.alt_ft;
      }
    }
  }
}

TEST_F(Bleeds, ConsumerDemandDuctsAndGroundAir) {
  struct Row {
    float wing_l, starter1, starter2, iso, r_pack;
    int inlet;
    float apu_demand, engine1_demand, duct_l_share, duct_r_share;
  } rows[] = {{0.5f, 0, 0, 0, 0, 0, 12, 0, 1, 0},
              {0, 1, 0, 0, 0, 1, 26, 1, 1, 0},
              {0, 0, 1, 1, 1, 0, 32, 0, 1, 1}};
  air::l_pack_bleed_valve_pos = 1.0f;
  for (const Row& r : rows) {
    pneumatics = PneumaticsState{};
    pneumatics.apu_bleed_priority = 1.0f;
    pneumatics.duct_psi[0] = pneumatics.duct_psi[1] = 0.0f;
    system_::wing_anti_ice_valve[0] = r.wing_l;
    air::engine1_starter_valve = r.starter1;
    air::engine2_starter_valve = r.starter2;
    air::isolation_bleed_valve_pos = r.iso;
    air::r_pack_bleed_valve_pos = r.r_pack;
    host_mirror.sim_cockpit2_ice_ice_inlet_heat_on_per_engine[0] = r.inlet;
    update_pneumatics();
    const auto why = ::testing::Message() << r.wing_l << " " << r.starter1 << r.starter2 << r.iso << r.r_pack << r.inlet;
    EXPECT_NEAR(pneumatics.apu_bleed_demand_psi, r.apu_demand, 1e-4f) << why;
    EXPECT_NEAR(pneumatics.bleed_demand_psi[0], r.engine1_demand, 1e-6f) << why;
    // The ducts lag 4 per second toward the APU's pressure.
    EXPECT_NEAR(indicators::duct_press_L, 0.4f * air::apu_psi * r.duct_l_share, 1e-5f) << why;
    EXPECT_NEAR(indicators::duct_press_R, 0.4f * air::apu_psi * r.duct_r_share, 1e-5f) << why;
  }
  // A pack at HIGH draws 6 where AUTO draws 4.
  for (float lp : {1.0f, 2.0f}) {
    pneumatics = PneumaticsState{};
    system_::wing_anti_ice_valve[0] = 0.0f;
    air::engine1_starter_valve = air::engine2_starter_valve = 0.0f;
    air::isolation_bleed_valve_pos = air::r_pack_bleed_valve_pos = 0.0f;
    host_mirror.sim_cockpit2_ice_ice_inlet_heat_on_per_engine[0] = 0;
    air::l_pack_pos = lp;
    update_pneumatics();
    EXPECT_NEAR(pneumatics.apu_bleed_demand_psi, lp == 2.0f ? 9.0f : 6.0f, 1e-4f) << lp;
  }
  air::l_pack_pos = 1.0f;
  // The air cart builds 6 psi per second toward 48 while connected.
  struct Cart {
    float connected, before, after;
  } carts[] = {{1, 0, 0.6f}, {1, 47.9f, 48}, {0.99f, 20, 0}};
  for (const Cart& c : carts) {
    script_mirror.zuvadud_D738_engine_engine_air_start = c.connected;
    pneumatics.ground_air_psi = c.before;
    update_pneumatics();
    EXPECT_NEAR(pneumatics.ground_air_psi, c.after, 1e-5f) << c.connected << " " << c.before;
  }
}

TEST_F(Bleeds, ApuValveCommandDualBleedAndPriority) {
  struct Row {
    int failed;
    float fire, start_sw, bat, cooling, apu_sw, capability, cmd;
  } rows[] = {{0, 0, 1, 1, 0, 1, 8.1f, 1}, {0, 0, 1, 1, 0, 1, 8, 0}, {6, 0, 1, 1, 0, 1, 50, 0}, {0, 1, 1, 1, 0, 1, 50, 0},
              {0, 0, 0, 1, 0, 1, 50, 0},   {0, 0, 1, 0, 0, 1, 50, 0}, {0, 0, 1, 1, 1, 1, 50, 0}, {0, 0, 1, 1, 0, 0, 50, 0}};
  for (const Row& r : rows) {
    pneumatics = PneumaticsState{};
    host_mirror.sim_operation_failures_rel_APU_press = r.failed;
    fire::apu_ext_switch_pos_arm = r.fire;
    spring_toggle_switch::APU_start_pos = r.start_sw;
    electric::batbus_status = r.bat;
    delay_flags.apu_start_companion = r.cooling;
    toggle_switch::bleed_air_apu_pos = r.apu_sw;
    per_flight_values.apu_bleed_capability_psi = r.capability;
    update_pneumatics();
    EXPECT_EQ(pneumatics.apu_valve_cmd, r.cmd)
        << r.failed << r.fire << r.start_sw << r.bat << r.cooling << r.apu_sw << " " << r.capability;
  }
  electric::batbus_status = 1.0f;
  per_flight_values.apu_bleed_capability_psi = 50.0f;
  toggle_switch::bleed_air_apu_pos = 1.0f;
  // Engine 1 bleed with the APU: DUAL BLEED, and the APU keeps priority
  // unless the left duct is more than 5 psi above it (APU 26 psi here).
  toggle_switch::bleed_air_1_pos = 1.0f;
  air::l_pack_pos = 2.0f;
  annunciator::brightness_level = 0.8f;
  struct Priority {
    float duct_before, priority;
  } priorities[] = {{34.3f, 1}, {34.4f, 0}};
  for (const Priority& p : priorities) {
    pneumatics = PneumaticsState{};
    pneumatics.apu_bleed_priority = 1.0f;
    pneumatics.apu_reg_factor = 0.5f;
    pneumatics.duct_psi[0] = p.duct_before;
    update_pneumatics();
    EXPECT_NEAR(air::apu_psi, 26.0f, 1e-4f);
    EXPECT_EQ(annunciator::dual_bleed, 0.8f);
    EXPECT_EQ(pneumatics.apu_bleed_priority, p.priority) << p.duct_before;
  }
  air::apu_bleed_valve_pos = 0.05f;
  update_pneumatics();
  EXPECT_EQ(annunciator::dual_bleed, 0.0f);
  air::apu_bleed_valve_pos = 0.06f;
  update_pneumatics();
  EXPECT_EQ(annunciator::dual_bleed, 0.8f);
}

TEST(StagePressure, BandsAtEveryAltitudePoint) {
  struct Band {
    float alt_ft, lo5, hi5, lo9, hi9;
  } bands[] = {{0, 24, 54, 9, 25},          {10000, 28, 60, 13, 33}, {16000, 34, 65, 14.5f, 34.5f},
               {22000, 40, 70, 16, 36},     {31000, 45, 76, 19, 39}, {37000, 58, 82, 21, 41},
               {41000, 63, 89, 22, 42}};
  for (const Band& b : bands) {
    EXPECT_NEAR(bleed_pressure_a(b.alt_ft, (b.lo5 + b.hi5) / 2), 21.0f, 1e-3f) << b.alt_ft;
    EXPECT_NEAR(bleed_pressure_a(b.alt_ft, b.lo5 + 0.5f), 21.0f / (b.hi5 - b.lo5), 1e-4f) << b.alt_ft;
    EXPECT_EQ(bleed_pressure_a(b.alt_ft, b.lo5), 0.0f) << b.alt_ft;
    EXPECT_NEAR(bleed_pressure_b(b.alt_ft, (b.lo9 + b.hi9) / 2), 16.0f, 1e-3f) << b.alt_ft;
    EXPECT_NEAR(bleed_pressure_b(b.alt_ft, b.lo9 + 0.5f), 16.0f / (b.hi9 - b.lo9), 1e-4f) << b.alt_ft;
    EXPECT_EQ(bleed_pressure_b(b.alt_ft, b.lo9), 0.0f) << b.alt_ft;
  }
}

}  // namespace
