// Anti-ice: cowl and wing valves, the ground overheat cycle, the wing switch
// trip after take-off, window heat, and the saved state.
#include <vector>

#include "core/preprocess_values.h"
#include "engines/engine_values.h"
#include "systems/panel_fixture.h"
#include "systems/ice_rain/anti_ice.h"
#include "systems/ice_rain/ice_values.h"
#include "systems/instruments/instrument_values.h"
#include "systems/switches/switch_values.h"
#include "systems/ice_rain/window_heat_state.h"

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
    indicators::duct_press_L = 30.0f;
    indicators::duct_press_R = 30.0f;
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
  open = shut = 0;
  run(50.0f, &open, &shut);  // and round again
  EXPECT_NEAR(open * frame_time, 10.0f, 0.25f);
  EXPECT_NEAR(shut * frame_time, 40.0f, 0.25f);
  // A thrust lever above 0.5 shuts that side at once.
  engine::thrust1_leveler = 0.6f;
  update_anti_ice();
  EXPECT_EQ(anti_ice_state.wing_ground_gate_left, 0.0f);
  EXPECT_EQ(anti_ice_state.wing_ground_gate_right, 1.0f);
}

TEST_F(AntiIce, WingSwitchSetOnGroundTripsAfterTakeoff) {
  struct Case {
    const char* what;
    float set_on_ground;
    int trips;
  };
  const Case cases[] = {{"set on the ground", 1.0f, 1}, {"set in the air", 0.0f, 0}};
  for (const Case& c : cases) {
    SetUp();
    ice::wing_heat_pos = 1.0f;
    anti_ice_state.wing_heat_set_on_ground = c.set_on_ground;
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
  indicators::duct_press_L = 9.0f;
  for (int i = 0; i < 40; ++i) update_anti_ice();
  EXPECT_EQ(ice::wing_l_heat_on, 1.0f);
  indicators::duct_press_L = 7.9f;
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
  sw[7] = 1.7f;  // FADEC slots are integers
  simhost::set_floats("zuvadud/D738/antiice_sw", sw);
  restore_anti_ice_state();
  EXPECT_EQ(ice::l_fwd_temp, 33.0f);
  EXPECT_EQ(anti_ice_state.airborne_latch, 1.0f);
  EXPECT_EQ(ice::window_heat_r_side_pos, 1.0f);
  const std::vector<int> fadec = simhost::get_ints("sim/cockpit2/engine/actuators/fadec_on");
  EXPECT_EQ(fadec[0], 1);
  EXPECT_EQ(fadec[1], 1);
}

}  // namespace
