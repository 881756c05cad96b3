// Published limits of the flight-control, gear, speed-brake, recorder and
// valve lights, the brakes and autobrake, the flaps and trim, and the air
// systems: one table row per threshold with a value on each side of it.
#include <gtest/gtest.h>

#include <cmath>

#include "alerting/aural_cues.h"
#include "alerting/failure_state.h"
#include "core/binding.h"
#include "core/bound_mirrors.h"
#include "core/frame_values.h"
#include "core/pitch_trim.h"
#include "core/preprocess_values.h"
#include "engines/engine_values.h"
#include "systems/annunciators/annunciator_values.h"
#include "systems/annunciators/annunciators.h"
#include "systems/annunciators/annunciators_controls.h"
#include "core/failure_tables.h"
#include "navdata/air_data.h"
#include "systems/air/air_values.h"
#include "systems/air/cabin_air.h"
#include "systems/air/pneumatics.h"
#include "systems/air/pressurisation.h"
#include "systems/annunciators/annunciators_panels.h"
#include "systems/system_state.h"
#include "systems/ice_rain/window_heat_state.h"
#include "systems/delay_timers.h"
#include "systems/electrical/electric_values.h"
#include "systems/electrical/electrical.h"
#include "panel_fixture.h"
#include "systems/aircraft_systems.h"
#include "systems/fire/fire_values.h"
#include "systems/fuel/fuel_pump_lights.h"
#include "systems/fuel/fuel_values.h"
#include "systems/flight_controls/elec_trim_state.h"
#include "systems/flight_controls/reverse_levers.h"
#include "systems/flight_controls/speedbrake_lever.h"
#include "systems/flight_controls/trim_command_state.h"
#include "systems/gear_brakes/autobrake_state.h"
#include "systems/gear_brakes/brake_command_state.h"
#include "systems/gear_brakes/brake_heat.h"
#include "systems/gear_brakes/brakes.h"
#include "systems/gear_brakes/gear.h"
#include "systems/gear_brakes/gear_horn.h"
#include "systems/switches/switch_memory.h"
#include "systems/switches/switch_targets.h"
#include "systems/flight_controls/flight_control_values.h"
#include "systems/hydraulics/hydraulic_values.h"
#include "systems/ice_rain/ice_values.h"
#include "systems/lights/cabin_light_values.h"
#include "systems/instruments/instrument_values.h"
#include "systems/switches/switch_values.h"
#include "core/variant.h"
#include "systems/systems_step_outputs.h"
#include "systems/systems_steps.h"

namespace {

class Cabin : public ::testing::Test {
 protected:
  void SetUp() override {
    for (XPLMDataRef& h : bound_handles) h = nullptr;
    host_mirror = HostMirror{};
    script_mirror = ScriptMirror{};
    failure_tables = FailureTables{};
    press_ctrl = PressController{};
    cockpit::pressurization_mode2 = 0.0f;
    using namespace electric;
    dc_bus1_status = dc_bus2_status = ac_tnsbus1_status = ac_tnsbus2_status = dir_batbus_status = batbus_status = 1.0f;
    toggle_switch::air_valve_ctrl = 2.0f;  // manual: the valve stays where a row puts it
    toggle_switch::air_valve_manual = 0.0f;
    toggle_switch::bleed_air_1_pos = toggle_switch::bleed_air_2_pos = 1.0f;
    air::l_pack_pos = air::r_pack_pos = 0.0f;
    air::l_pack_bleed_valve_pos = air::r_pack_bleed_valve_pos = 1.0f;
    air::engine1_psi = air::engine2_psi = 40.0f;
    cockpit::cabin_vvi = cockpit::cabin_pressure_diff = 0.0f;
    cockpit::outflow_valve = 0.0f;
    frame_time = 0.1f;
    on_ground = 1;
  }
};

TEST_F(Cabin, LeaksOutflowAndCabinRate) {
  // Cabin at 5000 ft under 10000 ft outside (2.1213 psi), packs off.
  struct Row {
    float doors_l1, doors_r1, leak0, leak1, valve, cabin, vvi;
  } rows[] = {
      {0, 0, 0, 0, 0, 5000.078f, 18.728f},      {0.5f, 0, 0, 0, 0, 5600.078f, 1600},
      {0.5f, 0.5f, 0, 0, 0, 5600.078f, 1600},   {0.5f, 0.51f, 0, 0, 0, 6000.078f, 1600},
      {0, 0, 1, 0, 0, 5600.078f, 1600},         {0, 0, 0, 1, 0, 5020.078f, 1600},
      {0, 0, 0, 0, 0.5f, 5005.103f, 1224.79f},
  };
  for (const Row& r : rows) {
    static_pressure_altitude_ft = 10000.0f;
    cockpit::cabin_altitude_actual = 5000.0f;
    cockpit::cabin_vvi = 0.0f;
    cockpit::outflow_valve = r.valve;
    script_mirror.tarv_doors_L1 = r.doors_l1;
    script_mirror.tarv_doors_R1 = r.doors_r1;
    failure_tables.pressurisation[0] = r.leak0;
    failure_tables.pressurisation[1] = r.leak1;
    update_pressurization();
    const auto why = ::testing::Message() << r.doors_l1 << " " << r.doors_r1 << " " << r.leak0 << r.leak1 << " " << r.valve;
    EXPECT_NEAR(cockpit::cabin_altitude_actual, r.cabin, 0.01f) << why;
    EXPECT_NEAR(cockpit::cabin_vvi, r.vvi, 0.2f) << why;  // the cabin altitude is a float near 5000
  }
  // Below standard sea-level pressure the cabin stays with the outside air:
  // the base leak's 15 ft/min cannot lift it above a field at -500 ft.
  static_pressure_altitude_ft = cockpit::cabin_altitude_actual = -500.0f;
  script_mirror.tarv_doors_L1 = script_mirror.tarv_doors_R1 = 0.0f;
  failure_tables.pressurisation[0] = failure_tables.pressurisation[1] = 0.0f;
  cockpit::outflow_valve = 0.0f;
  update_pressurization();
  EXPECT_NEAR(cockpit::cabin_altitude_actual, -500.0f, 1e-3f);
  // A cabin far above the outside air is held 1 psi below it.
  static_pressure_altitude_ft = 0.0f;
  cockpit::cabin_altitude_actual = 20000.0f;
  cockpit::cabin_vvi = 0.0f;
  failure_tables.pressurisation[0] = failure_tables.pressurisation[1] = 0.0f;
  update_pressurization();
  EXPECT_NEAR(pressure_at_ft(cockpit::cabin_altitude_actual), pressure_at_ft(0.0f) - 1.0f, 1e-3f);
  EXPECT_EQ(cockpit::cabin_pressure_diff, -0.2f);
  EXPECT_EQ(cockpit::cabin_vvi, -1600.0f);
}

TEST_F(Cabin, PackInflowBySourceAndIsolationValve) {
  // Sea level, valve shut, the left pack alone at flow 1: its inflow is the
  // left supply up to p x 85 ft/min, and the base leak lifts the cabin again.
  air::l_pack_pos = 1.0f;
  air::engine1_psi = air::engine2_psi = 0.0f;
  struct Row {
    float e1_psi, e2_psi, apu_psi, iso, cabin;
  } rows[] = {{40, 0, 0, 0, -2.056898f},     {15.696f, 0, 0, 0, -1.016002f}, {0, 40, 0, 0, 0},
              {0, 40, 0, 0.5f, -1.015949f},  {0, 40, 0, 2, -2.056898f},      {0, 0, 40, 0, -1.015949f},
              {15.696f, 40, 0, -1, -1.016002f}};
  for (const Row& r : rows) {
    static_pressure_altitude_ft = cockpit::cabin_altitude_actual = 0.0f;
    press_ctrl.pack_flow_l = 1.0f;
    air::engine1_psi = r.e1_psi;
    air::engine2_psi = r.e2_psi;
    air::apu_psi = r.apu_psi;
    air::apu_bleed_valve_pos = 1.0f;
    isolation_valve_pos = r.iso;
    update_pressurization();
    EXPECT_NEAR(cockpit::cabin_altitude_actual, r.cabin, 2e-4f) << r.e1_psi << " " << r.e2_psi << " " << r.apu_psi << " " << r.iso;
  }
  isolation_valve_pos = 0.0f;
}

TEST_F(Cabin, ManualAndJammedOutflowValve) {
  struct Row {
    float sw, jammed, after;
  } rows[] = {{-1, 0, 0.495f}, {1, 0, 0.505f}, {0, 0, 0.5f}, {1, 1, 0.5f}};
  for (const Row& r : rows) {
    cockpit::outflow_valve = 0.5f;
    toggle_switch::air_valve_manual = r.sw;
    failure_tables.pressurisation[2] = r.jammed;
    update_pressurization();
    EXPECT_NEAR(cockpit::outflow_valve, r.after, 1e-6f) << r.sw << " " << r.jammed;
  }
}

TEST_F(Cabin, PackFlowBySwitchBleedsAndFlaps) {
  frame_time = 6.0f;  // one frame reaches any flow
  struct Row {
    float sw, other, valve;
    int ground;
    float bleed1, flap, flow;
  } rows[] = {
      {2, 1, 1, 1, 1, 0, 1.82f}, {2, 1, 0.5f, 1, 1, 0, 0.91f}, {1, 1, 1, 1, 0, 0, 1.45f}, {1, 1, 1, 1, 1, 0, 1},
      {1, 0, 1, 0, 1, 0, 1.45f}, {1, 1, 1, 0, 1, 0, 1},         {1, 0, 1, 0, 1, 0.1f, 1},  {0, 1, 1, 1, 0, 0, 0},
  };
  toggle_switch::bleed_air_2_pos = 0.0f;
  for (const Row& r : rows) {
    press_ctrl.pack_flow_l = 0.0f;
    air::l_pack_pos = r.sw;
    air::r_pack_pos = r.other;
    air::l_pack_bleed_valve_pos = r.valve;
    on_ground = r.ground;
    toggle_switch::bleed_air_1_pos = r.bleed1;
    host_mirror.sim_cockpit2_controls_flap_ratio = r.flap;
    static_pressure_altitude_ft = cockpit::cabin_altitude_actual = 0.0f;
    update_pressurization();
    EXPECT_NEAR(press_ctrl.pack_flow_l, r.flow, 1e-6f)
        << r.sw << " " << r.other << " " << r.valve << " " << r.ground << " " << r.bleed1 << " " << r.flap;
  }
}

TEST_F(Cabin, RamDoorsCloseInFlightAboveTheirSpeed) {
  on_ground = 0;
  struct Row {
    float flap, mps, before, target;
  } rows[] = {{0, 100, 1, 0},   {0.1f, 122.9f, 0, 1}, {0.1f, 123, 0, 0},
              {0.1f, 136, 1, 1}, {0.1f, 136.1f, 1, 0}};
  for (const Row& r : rows) {
    host_mirror.sim_cockpit2_controls_flap_ratio = r.flap;
    host_mirror.sim_flightmodel_position_groundspeed = r.mps;
    press_ctrl.ram_door_target = r.before;
    update_pressurization();
    EXPECT_EQ(press_ctrl.ram_door_target, r.target) << r.flap << " " << r.mps << " " << r.before;
  }
}

TEST_F(Cabin, OutflowValveCommandInCruiseAndOnTheGround) {
  // Cruise at FLT ALT 35000 with the cabin at 8000 ft (7.4587 psi): the
  // rate command is limited to 700 ft/min beyond 35 ft of error.
  toggle_switch::air_valve_ctrl = 0.0f;
  on_ground = 0;
  struct Row {
    float error, cabin, cmd;
  } rows[] = {{35, 8000, 0.077824f}, {70, 8000, 0.077824f}, {17.5f, 8000, 0.030299f}, {0, 8000, 0},
              {-35, 8000, 0},         {35, 14501, 0}};
  for (const Row& r : rows) {
    press_ctrl = PressController{};
    press_ctrl.press_ctrl_armed = 1;
    cockpit::pressurization_mode2 = 3.0f;
    host_mirror.sim_cockpit_pressure_max_allowable_altitude = 35000.0f;
    press_ctrl.prev_flt_alt = press_ctrl.mode_alt_ref = press_ctrl.max_alt_reached = 35000.0f;
    static_pressure_altitude_ft = 35000.0f;
    cockpit::cabin_altitude_actual = r.cabin;
    press_ctrl.sched_cabin_alt = r.cabin + r.error;
    update_pressurization();
    EXPECT_EQ(press_ctrl.mode, 3.0f);
    EXPECT_NEAR(press_ctrl.valve_cmd, r.cmd, 2e-5f) << r.error << " " << r.cabin;
  }
  // A faulted channel holds the valve where it is and drops to mode 0; in
  // AUTO controller 2 takes over from a faulted 1 while it is healthy.
  struct Fault {
    float selector, fail9, fail10, dc2, mode;
    int32_t channel;
  } faults[] = {{0, 1, 0, 1, 3, 2}, {0, 1, 1, 1, 0, 1}, {0, 1, 0, 0, 0, 1},
                {0, 0, 1, 1, 3, 1}, {1, 0, 1, 1, 0, 2}, {1, 1, 0, 1, 3, 2}};
  for (const Fault& f : faults) {
    press_ctrl = PressController{};
    press_ctrl.press_ctrl_armed = 1;
    toggle_switch::air_valve_ctrl = f.selector;
    electric::dc_bus2_status = f.dc2;
    failure_tables.pressurisation[9] = f.fail9;
    failure_tables.pressurisation[10] = f.fail10;
    cockpit::pressurization_mode2 = 3.0f;
    press_ctrl.prev_flt_alt = press_ctrl.mode_alt_ref = press_ctrl.max_alt_reached = 35000.0f;
    cockpit::cabin_altitude_actual = 8000.0f;
    cockpit::outflow_valve = 0.25f;
    press_ctrl.sched_cabin_alt = 8035.0f;
    update_pressurization();
    EXPECT_EQ(press_ctrl.mode, f.mode) << f.selector << " " << f.fail9 << f.fail10 << f.dc2;
    EXPECT_EQ(press_ctrl.press_channel, f.channel) << f.selector << " " << f.fail9 << f.fail10 << f.dc2;
    EXPECT_EQ(press_ctrl.valve_cmd == 0.25f, f.mode == 0.0f) << f.selector << " " << f.fail9 << f.fail10 << f.dc2;
  }
  electric::dc_bus2_status = 1.0f;
  failure_tables = FailureTables{};
  toggle_switch::air_valve_ctrl = 0.0f;
  // On the ground in mode 0 the command is 350 ft/min the way the
  // differential points; a differential crossing zero disarms and opens.
  on_ground = 1;
  struct Ground {
    float prev_diff, cmd;
  } grounds[] = {{0.2f, 0.059457f}, {-0.1f, 1}};
  for (const Ground& g : grounds) {
    press_ctrl = PressController{};
    press_ctrl.press_ctrl_armed = 1;
    press_ctrl.prev_cabin_diff = g.prev_diff;
    cockpit::pressurization_mode2 = 0.0f;
    static_pressure_altitude_ft = 0.0f;
    cockpit::cabin_altitude_actual = -500.0f;
    update_pressurization();
    EXPECT_NEAR(press_ctrl.valve_cmd, g.cmd, 2e-5f) << g.prev_diff;
  }
}

TEST_F(Cabin, ScheduleByModeAndFlightAltitudeBand) {
  toggle_switch::air_valve_ctrl = 0.0f;
  on_ground = 0;
  // Climb: maximum differential M and schedule end A by the FLT ALT band;
  // 10000 ft of climb from a sea-level field.
  struct Climb {
    float flt, m, a;
  } climbs[] = {{20000, 7.45f, 20000}, {28000, 7.45f, 27000}, {28001, 7.8f, 28001}, {37000, 7.8f, 36000},
                {37001, 8.35f, 37001}, {41000, 8.35f, 40000}, {45000, 8.35f, 40000}};
  for (const Climb& c : climbs) {
    press_ctrl = PressController{};
    cockpit::pressurization_mode2 = 2.0f;
    host_mirror.sim_cockpit_pressure_max_allowable_altitude = c.flt;
    static_pressure_altitude_ft = 10000.0f;
    cockpit::cabin_altitude_actual = 2000.0f;
    update_pressurization();
    const float cruise = pressure_altitude_ft(pressure_at_ft(std::fmin(c.flt, 41000.0f)) + c.m);
    EXPECT_EQ(press_ctrl.mode, 2.0f) << c.flt;
    EXPECT_NEAR(press_ctrl.cruise_cabin_alt, cruise, 0.5f) << c.flt;
    EXPECT_NEAR(press_ctrl.sched_cabin_alt, cruise * 10000.0f / c.a, 0.5f) << c.flt;
    EXPECT_EQ(press_ctrl.sched_max_diff, c.m) << c.flt;  // the schedule is beyond M this low
  }
  // Level off and top of descent: 0.25 psi either side of FLT ALT 35000.
  struct Level {
    float mode, psi_below, mode_after;
  } levels[] = {{2, 0.24f, 3}, {2, 0.26f, 2}, {3, 0.24f, 3}, {3, 0.26f, 4}};
  for (const Level& l : levels) {
    press_ctrl = PressController{};
    cockpit::pressurization_mode2 = l.mode;
    host_mirror.sim_cockpit_pressure_max_allowable_altitude = 35000.0f;
    press_ctrl.prev_flt_alt = 35000.0f;
    press_ctrl.max_alt_reached = l.mode == 3.0f ? 35000.0f : 0.0f;
    static_pressure_altitude_ft = pressure_altitude_ft(pressure_at_ft(35000.0f) + l.psi_below);
    cockpit::cabin_altitude_actual = 8000.0f;
    update_pressurization();
    EXPECT_EQ(press_ctrl.mode, l.mode_after) << l.mode << " " << l.psi_below;
  }
  // Descent from FLT ALT 35000 with the cabin at 8000 toward a 1000 ft field.
  pressurization::knobs_landing_alt = 1000.0f;
  struct Descent {
    float ambient, max_alt, mode, sched, max_diff;
  } descents[] = {{20000, 35000, 4, 4911.765f, 7.45f}, {30000, 35000, 4, 6970.588f, 7.8f}, {20000, 19000, 2, -1, -1}};
  for (const Descent& d : descents) {
    press_ctrl = PressController{};
    cockpit::pressurization_mode2 = 4.0f;
    host_mirror.sim_cockpit_pressure_max_allowable_altitude = 35000.0f;
    press_ctrl.prev_flt_alt = press_ctrl.mode_alt_ref = 35000.0f;
    press_ctrl.max_alt_reached = d.max_alt;
    press_ctrl.cruise_cabin_alt = 8000.0f;
    static_pressure_altitude_ft = d.ambient;
    cockpit::cabin_altitude_actual = 6000.0f;
    update_pressurization();
    EXPECT_EQ(press_ctrl.mode, d.mode) << d.ambient << " " << d.max_alt;
    if (d.mode != 4.0f) continue;
    EXPECT_NEAR(press_ctrl.sched_cabin_alt, d.sched, 0.01f) << d.ambient;
    EXPECT_EQ(press_ctrl.sched_max_diff, d.max_diff) << d.ambient;
  }
  // Take-off mode on the ground: 1.5 s of either engine above N1 60 and N2 89.
  on_ground = 1;
  struct TakeOff {
    float n1, n2, flt, mode, cruise;
  } takeoffs[] = {{60.1f, 89.1f, 35000, 1, 8000}, {60.1f, 89.1f, 14000, 1, 4000}, {60, 89.1f, 14000, 0, 0},
                  {60.1f, 89, 14000, 0, 0}};
  for (const TakeOff& t : takeoffs) {
    press_ctrl = PressController{};
    press_ctrl.press_mode_timer_up = 1.45f;
    cockpit::pressurization_mode2 = 0.0f;
    host_mirror.sim_flightmodel2_engines_N1_percent[1] = t.n1;
    host_mirror.sim_flightmodel2_engines_N2_percent[1] = t.n2;
    host_mirror.sim_cockpit_pressure_max_allowable_altitude = t.flt;
    static_pressure_altitude_ft = 1000.0f;
    update_pressurization();
    EXPECT_EQ(press_ctrl.mode, t.mode) << t.n1 << " " << t.n2 << " " << t.flt;
    EXPECT_NEAR(press_ctrl.cruise_cabin_alt, t.cruise, 0.01f) << t.n1 << " " << t.n2 << " " << t.flt;
  }
  update_pressurization();
  EXPECT_EQ(press_ctrl.sched_max_diff, 0.0f);
  // Spooled down: both engines below N1 50 and N2 84 for 1.5 s end it.
  struct Spool {
    float n1a, n2a, n1b, n2b, timer;
  } spools[] = {{50, 0, 0, 84, 0}, {0, 84, 50, 0, 0}, {49.9f, 0, 0, 84, 0.1f}, {0, 84, 0, 83.9f, 0.1f}, {0, 84, 49.9f, 0, 0.1f}};
  for (const Spool& sp : spools) {
    cockpit::pressurization_mode2 = 1.0f;
    press_ctrl.press_mode_timer_down = 0.0f;
    host_mirror.sim_flightmodel2_engines_N1_percent[0] = sp.n1a;
    host_mirror.sim_flightmodel2_engines_N2_percent[0] = sp.n2a;
    host_mirror.sim_flightmodel2_engines_N1_percent[1] = sp.n1b;
    host_mirror.sim_flightmodel2_engines_N2_percent[1] = sp.n2b;
    update_pressurization();
    EXPECT_NEAR(press_ctrl.press_mode_timer_down, sp.timer, 1e-6f) << sp.n1a << " " << sp.n2a << " " << sp.n1b << " " << sp.n2b;
    EXPECT_EQ(press_ctrl.sched_max_diff, 8.35f);
  }
}

TEST_F(Cabin, TemperatureTargetsBySelectorAndVariant) {
  struct Row {
    int variant;
    float cont, fwd, aft, d, f, a;
  } rows[] = {
      {0, 0, 0, 0, 24, 18, 18},        {0, 0.5f, 0.5f, 0.5f, 23, 24, 23}, {0, 0.25f, 0.75f, 1.2f, 20.5f, 25.5f, 28},
      {2, 0.5f, 0.3f, 0, 23, 21, 21},  {3, -0.1f, 1.1f, 0, 18, 28, 28},   {5, 0, 0.5f, 0, 18, 23, 23},
      {4, 0, 0, 0, 24, 18, 18},
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

TEST_F(Cabin, ZoneAndSupplyTemperaturesByPacksAndTrimAir) {
  // Flight deck 24, forward 18, aft 23 (P 20.5, lowest 18, mean 21.667); 4 degrees outside.
  variant_index = 0;
  air::cont_cab_temp_rheostat = 0.0f;
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
  air::cont_cab_temp_rheostat = 0.0f;  // 24
  air::fwd_cab_temp_rheostat = 0.0f;   // 18
  air::aft_cab_temp_rheostat = 0.5f;   // 23, passenger 20.5
  air::l_pack_bleed_valve_pos = air::r_pack_bleed_valve_pos = 1.0f;
  air::trim_air_pos = 0.0f;
  electric::dir_batbus_status = 1.0f;
  // One frame of 1/0.3 s lands the valves on their targets; the zones sit on
  // their targets, 24 or 28 (flight deck) and 20.5 (passenger).
  struct Row {
    float oat, rheostat, valve1, valve2;
  } rows[] = {{4, 0, 0.66f, 0.457f}, {100, 0, 0, 0}, {4, 1, 0.892f, 0.457f}, {-100, 0, 1, 1}};
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
    indicators::duct_press_L = indicators::duct_press_R = 0.0f;
    host_mirror.sim_cockpit2_electrical_APU_N1_percent = 100.0f;
    per_flight_values.apu_bleed_capability_psi = 50.0f;
    static_pressure_altitude_ft = 0.0f;
    frame_time = 0.1f;
  }
};

TEST_F(Bleeds, ApuRegulationTargetsByPackConfiguration) {
  // Each row starts the factor 0.01 below the expected target, so one frame
  // lands on it only if the target is the expected one.
  struct Row {
    float lp, rp, apu_sw, timer, starter1, starter2, iso, target;
  } rows[] = {
      {1, 1, 1, 2.5f, 0, 0, 0, 0.42f},  {1, 1, 1, 2.3f, 0, 0, 0, 1},    {0, 0, 1, 1.8f, 0, 0, 0, 0.76f},
      {0, 0, 1, 2.0f, 0, 0, 0, 0.66f},  {0, 0, 1, 9.3f, 0, 0, 0, 0.66f}, {0, 0, 1, 9.5f, 0, 0, 0, 0.42f},
      {1, 1, 0, 5, 0, 0, 0, 1},         {2, 1, 1, 5, 0, 0, 0, 1},        {1, 0, 1, 5, 0, 0, 0, 1},
      {1, 1, 1, 5, 0.1f, 0, 0, 1},      {1, 1, 1, 5, 0, 1, 0.5f, 1},     {1, 1, 1, 5, 0, 1, 0, 0.42f},
  };
  for (const Row& r : rows) {
    pneumatics = PneumaticsState{};
    air::l_pack_pos = r.lp;
    air::r_pack_pos = r.rp;
    pneumatics.pack_config_last[0] = r.lp;
    pneumatics.pack_config_last[1] = r.rp;
    pneumatics.pack_config_timer_s = r.timer;
    toggle_switch::bleed_air_apu_pos = r.apu_sw;
    air::engine1_starter_valve = r.starter1;
    air::engine2_starter_valve = r.starter2;
    air::isolation_bleed_valve_pos = r.iso;
    pneumatics.apu_reg_factor = r.target - 0.01f;
    update_pneumatics();
    EXPECT_NEAR(pneumatics.apu_reg_factor, r.target, 1e-5f)
        << r.lp << r.rp << r.apu_sw << " " << r.timer << " " << r.starter1 << r.starter2 << r.iso;
    EXPECT_NEAR(air::apu_psi, std::fmin(41.0f, r.target * 50.0f), 1e-3f) << r.lp << r.rp << " " << r.timer;
  }
  // A changed configuration restarts the timer; it counts to 15 s at most.
  pneumatics = PneumaticsState{};
  pneumatics.pack_config_timer_s = 14.95f;
  pneumatics.pack_config_last[0] = pneumatics.pack_config_last[1] = 1.0f;
  update_pneumatics();
  EXPECT_EQ(pneumatics.pack_config_timer_s, 15.0f);
  air::r_pack_pos = 0.0f;
  update_pneumatics();
  EXPECT_EQ(pneumatics.pack_config_timer_s, 0.0f);
  // Above its target the factor falls at 0.06 per second.
  air::r_pack_pos = 1.0f;
  pneumatics = PneumaticsState{};
  pneumatics.pack_config_last[0] = pneumatics.pack_config_last[1] = 1.0f;
  pneumatics.pack_config_timer_s = 5.0f;
  pneumatics.apu_reg_factor = 0.5f;
  update_pneumatics();
  EXPECT_NEAR(pneumatics.apu_reg_factor, 0.494f, 1e-6f);
}

TEST_F(Bleeds, BleedTemperatureAndPrecooler) {
  // Engine 1 alone; the precooler row's position enters the temperature of
  // the same frame, and a long frame lands the temperature on its target.
  host_mirror.sim_cockpit2_temperature_outside_air_temp_degc = 10.0f;
  struct Row {
    float n1, alt_ft, precooler, temp, precooler_target;
  } rows[] = {{60, 0, 0, 340, 0.382928f},          {60, 0, 0.5f, 175.478f, 0.382928f},
              {80, 20500, 0.5f, 186.130f, 0.409437f}, {80, 45000, 1, 134.234f, 0.821059f},
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
    indicators::duct_press_L = indicators::duct_press_R = 0.0f;
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
    indicators::duct_press_L = p.duct_before;
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

}  // namespace
