// Anti-ice: cowl and wing valves, the ground overheat cycle, the wing switch
// trip after take-off, window heat, and the saved state; and the valves'
// opening and heating thresholds.
#include <vector>

#include "core/preprocess_values.h"
#include "engines/engine_values.h"
#include "systems/air/pneumatics.h"
#include "systems/aircraft_systems.h"
#include "systems/ice_rain/anti_ice.h"
#include "systems/ice_rain/ice_values.h"
#include "systems/ice_rain/probe_wipers.h"
#include "systems/ice_rain/window_heat_state.h"
#include "systems/instruments/instrument_values.h"
#include "systems/panel_fixture.h"
#include "systems/switches/switch_values.h"

namespace {

class AntiIce : public PanelTest {
 protected:
  void SetUp() override {
    PanelTest::SetUp();
    anti_ice_state = AntiIceState{};
    anti_ice_state.wing_ground_gate_left = 1.0f;
    anti_ice_state.wing_ground_gate_right = 1.0f;
    for (float& w : window_overheat_state) w = 0.0f;
    for (float* v : {&ice::eng1_heat_pos, &ice::eng2_heat_pos, &ice::wing_heat_pos, &ice::window_heat_l_side_pos,
                     &ice::window_heat_l_fwd_pos, &ice::window_heat_r_side_pos, &ice::window_heat_r_fwd_pos,
                     &engine::thrust1_leveler, &engine::thrust2_leveler, &electrical::apu_power_bus1,
                     &electrical::apu_power_bus2}) {
      *v = 0.0f;
    }
    for (float& v : system_::eng_inlet_valve) v = 0.0f;
    for (float& v : system_::wing_anti_ice_valve) v = 0.0f;
    pneumatics.duct_psi[0] = 30.0f;
    pneumatics.duct_psi[1] = 30.0f;
    on_ground = 1;
    for (int32_t& g : host_mirror.sim_flightmodel2_gear_on_ground) g = 1;
  }
  // Seconds the left wing valve spends open (above 0.5) and shut in a run.
  void run(float seconds, int* open_frames, int* shut_frames) {
    const int n = static_cast<int>(seconds / frame_time);
    for (int i = 0; i < n; ++i) {
      update_anti_ice();
      if (anti_ice_state.wing_ground_cycle_closed_left) {
        ++*shut_frames;
      } else {
        ++*open_frames;
      }
    }
  }
};

// Engine 1 alone overheats its duct: both valves cycle together; either
// lever up shuts both.
TEST_F(AntiIce, GroundOverheatCycleTenOpenFortyShut) {
  ice::wing_heat_pos = 1.0f;
  host_mirror.sim_flightmodel2_engines_N1_percent[0] = 60.0f;
  int open = 0;
  int shut = 0;
  run(10.0f, &open, &shut);
  EXPECT_EQ(shut, 0);
  EXPECT_GT(system_::wing_anti_ice_valve[0], 0.95f);
  run(40.0f, &open, &shut);
  EXPECT_NEAR(shut * frame_time, 40.0f, 0.25f);
  EXPECT_LT(system_::wing_anti_ice_valve[0], 0.05f);
  EXPECT_LT(system_::wing_anti_ice_valve[1], 0.05f);
  open = shut = 0;
  run(50.0f, &open, &shut);  // and round again
  EXPECT_NEAR(open * frame_time, 10.0f, 0.25f);
  EXPECT_NEAR(shut * frame_time, 40.0f, 0.25f);
  run(5.0f, &open, &shut);
  ASSERT_GT(system_::wing_anti_ice_valve[1], 0.95f);
  engine::thrust2_leveler = 0.6f;
  run(3.0f, &open, &shut);
  EXPECT_LT(system_::wing_anti_ice_valve[0], 0.01f);
  EXPECT_LT(system_::wing_anti_ice_valve[1], 0.01f);
}

TEST_F(AntiIce, WingSwitchSetOnGroundTripsAfterTakeoff) {
  struct Case {
    const char* what;
    float set_on_ground;
    bool frame_on_ground;  // a frame on the ground with the switch on first
    int trips;
  };
  const Case cases[] = {{"set on the ground", 1.0f, false, 1},
                        {"set in the air", 0.0f, false, 0},
                        {"left on through a landing", 0.0f, true, 1}};
  for (const Case& c : cases) {
    SetUp();
    ice::wing_heat_pos = 1.0f;
    anti_ice_state.wing_heat_set_on_ground = c.set_on_ground;
    if (c.frame_on_ground) update_anti_ice();
    on_ground = 0;
    for (int32_t& g : host_mirror.sim_flightmodel2_gear_on_ground) g = 0;
    host_mirror.sim_cockpit2_gauges_indicators_radio_altimeter_height_ft_pilot = 11.0f;
    host_mirror.sim_flightmodel2_engines_throttle_used_ratio[1] = 0.6f;
    update_anti_ice();  // latch
    EXPECT_EQ(anti_ice_state.airborne_latch, 1.0f) << c.what;
    update_anti_ice();
    update_anti_ice();
    EXPECT_EQ(issued("zuvadud/D738/toggle_switch/wing_heat"), c.trips) << c.what;
    EXPECT_EQ(anti_ice_state.wing_heat_set_on_ground, 0.0f) << c.what;
  }
  on_ground = 1;
  update_anti_ice();
  EXPECT_EQ(anti_ice_state.airborne_latch, 0.0f);
}

TEST_F(AntiIce, WingValvesFreezeWithoutTransferBusOne) {
  ice::wing_heat_pos = 1.0f;
  for (int i = 0; i < 3; ++i) update_anti_ice();
  const float held = system_::wing_anti_ice_valve[0];
  ASSERT_GT(held, 0.3f);
  electric::ac_tnsbus1_status = 0.0f;
  for (int i = 0; i < 20; ++i) update_anti_ice();
  EXPECT_EQ(system_::wing_anti_ice_valve[0], held);
  EXPECT_EQ(ice::wing_l_heat_on, 0.0f);
  // Idle bleed heats the open wing; below 8 psi the heat goes at once, the
  // valve still closing.
  electric::ac_tnsbus1_status = 1.0f;
  pneumatics.duct_psi[0] = 9.0f;
  for (int i = 0; i < 40; ++i) update_anti_ice();
  EXPECT_EQ(ice::wing_l_heat_on, 1.0f);
  pneumatics.duct_psi[0] = 7.9f;
  update_anti_ice();
  EXPECT_EQ(ice::wing_l_heat_on, 0.0f);
}

// The host's failure of an inlet's, a wing's or the windows' heat: that valve
// stays shut with its switch on (its VALVE OPEN light bright), the glass cools.
TEST_F(AntiIce, FailedHeatKeepsItsValveShutAndItsGlassCold) {
  struct Case {
    int32_t* failure;
    float* valve;
  };
  HostMirror& m = host_mirror;
  const Case cases[] = {{&m.sim_operation_failures_rel_ice_inlet_heat, &system_::eng_inlet_valve[0]},
                        {&m.sim_operation_failures_rel_ice_inlet_heat2, &system_::eng_inlet_valve[1]},
                        {&m.sim_operation_failures_rel_ice_surf_heat, &system_::wing_anti_ice_valve[0]},
                        {&m.sim_operation_failures_rel_ice_surf_heat2, &system_::wing_anti_ice_valve[1]},
                        {&m.sim_operation_failures_rel_ice_window_heat, nullptr}};
  for (const Case& c : cases) {
    SetUp();
    ice::eng1_heat_pos = ice::eng2_heat_pos = ice::wing_heat_pos = ice::window_heat_l_fwd_pos = 1.0f;
    m.sim_flightmodel2_engines_engine_is_burning_fuel[0] = m.sim_flightmodel2_engines_engine_is_burning_fuel[1] = 1;
    m.sim_cockpit2_temperature_outside_air_LE_temp_degc = -10.0f;
    ice::l_fwd_temp = 20.0f;
    *c.failure = 6;
    for (int i = 0; i < 40; ++i) update_anti_ice();
    for (float* v : {&system_::eng_inlet_valve[0], &system_::eng_inlet_valve[1], &system_::wing_anti_ice_valve[0],
                     &system_::wing_anti_ice_valve[1]}) {
      if (v == c.valve) {
        EXPECT_EQ(*v, 0.0f);
      } else {
        EXPECT_GT(*v, 0.95f);
      }
    }
    if (c.valve == nullptr) {
      EXPECT_LT(ice::l_fwd_temp, 20.0f);
    } else {
      EXPECT_GT(ice::l_fwd_temp, 20.0f);
    }
  }
}

TEST_F(AntiIce, CowlValvesNeedARunningEngineAndDcPower) {
  ice::eng1_heat_pos = 1.0f;
  ice::eng2_heat_pos = 1.0f;
  host_mirror.sim_flightmodel2_engines_engine_is_burning_fuel[0] = 1;
  electric::dc_bus2_status = 0.0f;
  host_mirror.sim_flightmodel2_engines_engine_is_burning_fuel[1] = 1;
  for (int i = 0; i < 40; ++i) update_anti_ice();
  EXPECT_GT(system_::eng_inlet_valve[0], 0.95f);
  EXPECT_EQ(system_::eng_inlet_valve[1], 0.0f);
  const std::vector<int> inlet = simhost::get_ints("sim/cockpit2/ice/ice_inlet_heat_on_per_engine");
  EXPECT_EQ(inlet[0], 1);
  EXPECT_EQ(inlet[1], 0);
}

TEST_F(AntiIce, WindowHeatTargets) {
  EXPECT_FLOAT_EQ(window_heated_temp_degc(10.0f, 180.0f), 20.0f + 50.0f * 25.0f / 74.0f);
  EXPECT_FLOAT_EQ(window_heated_temp_degc(-80.0f, 0.0f), 20.0f);
  EXPECT_FLOAT_EQ(window_heated_temp_degc(40.0f, 0.0f), 45.0f);

  host_mirror.sim_cockpit2_temperature_outside_air_LE_temp_degc = -10.0f;
  ice::l_fwd_temp = 20.0f;
  ice::r_fwd_temp = 20.0f;
  ice::window_heat_l_fwd_pos = 1.0f;
  ice::window_heat_r_fwd_pos = 1.0f;
  window_overheat_state[window_r_fwd] = 2.0f;  // overheat: cools although switched on
  update_anti_ice();
  EXPECT_GT(ice::l_fwd_temp, 20.0f);
  EXPECT_FLOAT_EQ(ice::r_fwd_temp, 20.0f - frame_time / 10.0f);
  EXPECT_FLOAT_EQ(anti_ice_state.window_heat_target[window_r_fwd], -10.0f);
  const std::vector<int> host = simhost::get_ints("sim/cockpit2/ice/ice_window_heat_on_window");
  EXPECT_EQ(host[0], 1);  // left forward
  EXPECT_EQ(host[1], 0);  // right forward, overheated
  // Frozen glass warms twice as fast.
  ice::l_side_temp = -5.0f;
  ice::window_heat_l_side_pos = 1.0f;
  update_anti_ice();
  EXPECT_FLOAT_EQ(ice::l_side_temp, -5.0f + frame_time / 5.0f);
}

TEST_F(AntiIce, SideWindowsHeatFromTheOppositeTransferBus) {
  host_mirror.sim_cockpit2_temperature_outside_air_LE_temp_degc = -10.0f;
  ice::window_heat_l_side_pos = ice::window_heat_l_fwd_pos = 1.0f;
  ice::window_heat_r_side_pos = ice::window_heat_r_fwd_pos = 1.0f;
  struct Case {
    float bus1, bus2;
    int l_fwd, r_fwd, l_side, r_side;  // host order: forward ones first
  };
  const Case cases[] = {{1, 0, 1, 0, 0, 1}, {0, 1, 0, 1, 1, 0}, {1, 1, 1, 1, 1, 1}};
  for (const Case& c : cases) {
    electric::ac_tnsbus1_status = c.bus1;
    electric::ac_tnsbus2_status = c.bus2;
    update_anti_ice();
    const std::vector<int> host = simhost::get_ints("sim/cockpit2/ice/ice_window_heat_on_window");
    ASSERT_EQ(host.size(), 4u);
    EXPECT_EQ(host[0], c.l_fwd) << c.bus1 << c.bus2;
    EXPECT_EQ(host[1], c.r_fwd) << c.bus1 << c.bus2;
    EXPECT_EQ(host[2], c.l_side) << c.bus1 << c.bus2;
    EXPECT_EQ(host[3], c.r_side) << c.bus1 << c.bus2;
  }
}

TEST_F(AntiIce, GeneratorsTakeOverWhenTheApuReleasesBothBusesAfterLiftOff) {
  electric::gen1_available = electric::gen2_available = 1.0f;
  for (int run = 0; run < 2; ++run) {
    anti_ice_state = AntiIceState{};
    simhost::clear_issued_commands();
    on_ground = 1;
    electrical::apu_power_bus1 = electrical::apu_power_bus2 = 1.0f;
    update_anti_ice();
    // Lift-off on APU power.
    on_ground = 0;
    for (int32_t& g : host_mirror.sim_flightmodel2_gear_on_ground) g = 0;
    host_mirror.sim_cockpit2_gauges_indicators_radio_altimeter_height_ft_pilot = 200.0f;
    update_anti_ice();
    EXPECT_EQ(anti_ice_state.apu_feeding_at_liftoff, 1);
    if (run == 1) {
      // Bus 1 let go alone first: no transfer when bus 2 follows.
      electrical::apu_power_bus1 = 0.0f;
      update_anti_ice();
    }
    electrical::apu_power_bus1 = electrical::apu_power_bus2 = 0.0f;
    update_anti_ice();
    update_anti_ice();
    const int want = run == 0 ? 1 : 0;
    EXPECT_EQ(issued("sim/electrical/generator_1_on"), want) << run;
    EXPECT_EQ(issued("sim/electrical/generator_2_on"), want) << run;
    EXPECT_EQ(issued("sim/electrical/GPU_off") > 0, want == 1) << run;
    EXPECT_EQ(anti_ice_state.apu_feeding_at_liftoff, 0);
  }
}

TEST_F(AntiIce, StateArraysRoundTrip) {
  ice::l_fwd_temp = 33.0f;
  anti_ice_state.airborne_latch = 1.0f;
  anti_ice_state.wing_ground_gate_right = 0.0f;
  system_::wing_anti_ice_valve[1] = 0.4f;
  ice::window_heat_r_side_pos = 1.0f;
  host_mirror.sim_cockpit2_engine_actuators_fadec_on[1] = 1;
  save_anti_ice_state();
  std::vector<float> state = simhost::get_floats("zuvadud/D738/antiice");
  std::vector<float> sw = simhost::get_floats("zuvadud/D738/antiice_sw");
  ASSERT_EQ(state.size(), 30u);
  EXPECT_EQ(state[1], 33.0f);
  EXPECT_EQ(state[9], 1.0f);
  EXPECT_EQ(state[15], 0.4f);
  EXPECT_EQ(state[17], 0.0f);
  EXPECT_EQ(sw[5], 1.0f);
  EXPECT_EQ(sw[8], 1.0f);

  anti_ice_state = AntiIceState{};
  ice::l_fwd_temp = 0.0f;
  ice::window_heat_r_side_pos = 0.0f;
  sw[7] = 0.7f;  // FADEC slots take their nearest position
  simhost::set_floats("zuvadud/D738/antiice_sw", sw);
  restore_anti_ice_state();
  EXPECT_EQ(ice::l_fwd_temp, 33.0f);
  EXPECT_EQ(anti_ice_state.airborne_latch, 1.0f);
  EXPECT_EQ(ice::window_heat_r_side_pos, 1.0f);
  const std::vector<int> fadec = simhost::get_ints("sim/cockpit2/engine/actuators/fadec_on");
  EXPECT_EQ(fadec[0], 1);
  EXPECT_EQ(fadec[1], 1);
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
    pneumatics.duct_psi[0] = w.duct;
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
