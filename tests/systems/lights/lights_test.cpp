// Exterior lights: cabin equipment loads, the flash cycle, the host switch
// commands, landing lights, emergency exit battery and the saved state; the
// lights' limits as table rows (cockpit lights, retractable and pulsing landing
// lights, the exit light battery, the cockpit flash) and the light spill
// groups on both hosts.
#include <cmath>
#include <limits>
#include <vector>

#include "core/variant.h"
#include "systems/air/air_values.h"
#include "systems/annunciators/annunciator_values.h"
#include "systems/electrical/electrical.h"
#include "systems/lights/cabin_light_values.h"
#include "systems/lights/cabin_lights.h"
#include "systems/lights/lights.h"
#include "systems/panel_fixture.h"
#include "systems/switches/switch_values.h"
#include "systems/systems_steps.h"
#include "systems/value_rows.h"

namespace {

class Lights : public PanelTest {
 protected:
  void SetUp() override {
    PanelTest::SetUp();
    lights_state = ExteriorLightsState{};
    reset_lights_on_load();
    toggle_switch::position_light_pos = 0.0f;
    toggle_switch::ife_pass_seat_pos = 0.0f;
    toggle_switch::cab_util_pos = 0.0f;
    toggle_switch::emer_exit_lights = 0.0f;
    // Landing light switches are left on by the tests that flip them.
    switch_::land_lights_left_pos = 0.0f;
    switch_::land_lights_right_pos = 0.0f;
    switch_::land_lights_ret_left_pos = 0.0f;
    switch_::land_lights_ret_right_pos = 0.0f;
    air::l_recirc_fan_pos = 0.0f;
    air::r_recirc_fan_pos = 0.0f;
    electric::apu_start_load = 0.0f;
    electric::lost_ac_ap_a = 0.0f;
    electric::lost_ac_ap_b = 0.0f;
    elec_bus_status.dc_bus1_volts = 28.0f;
    host_mirror.sim_cockpit2_electrical_cross_tie = 1;
    variant_index = 0;
  }
  void frame() {
    plugin_bus_loads[0] = 0.0f;
    plugin_bus_loads[1] = 0.0f;
    update_exterior_lights();
  }
};

TEST_F(Lights, CabinEquipmentLoads) {
  struct Case {
    const char* what;
    float ife, util, apu_n1, apu_bus1;  // the APU generator connected to side 1
    int eng1_burning, gen1_on;
    float radio_alt_ft, main_bus1, start_load;
    float left_amps;
  };
  const Case cases[] = {
      {"nothing on", 0, 0, 0, 0, 0, 0, 0, 1, 0, 0},
      {"IFE only", 1, 0, 0, 0, 0, 0, 0, 1, 0, 27},
      {"utility on APU", 1, 1, 96, 1, 0, 0, 0, 1, 0, 38},
      {"utility, APU not up to speed", 1, 1, 90, 1, 0, 0, 0, 1, 0, 27},
      {"utility on engine generator", 0, 1, 0, 0, 1, 1, 3000, 1, 0, 11},
      {"utility shed in flight on APU", 1, 1, 96, 1, 0, 0, 51, 1, 0, 27},
      {"main bus dead keeps the start load", 1, 1, 96, 1, 0, 0, 0, 0, 7, 7},
      {"APU start load adds", 0, 0, 0, 0, 0, 0, 0, 1, 7, 7},
  };
  for (const Case& c : cases) {
    SetUp();
    toggle_switch::ife_pass_seat_pos = c.ife;
    toggle_switch::cab_util_pos = c.util;
    host_mirror.sim_cockpit2_electrical_APU_N1_percent = c.apu_n1;
    electrical::apu_power_bus1 = c.apu_bus1;
    electrical::apu_gen1_pos = 0.0f;  // the spring-loaded switch back at rest
    host_mirror.sim_flightmodel2_engines_engine_is_burning_fuel[0] = c.eng1_burning;
    host_mirror.sim_cockpit2_electrical_generator_on[0] = c.gen1_on;
    host_mirror.sim_cockpit2_gauges_indicators_radio_altimeter_height_ft_pilot = c.radio_alt_ft;
    electric::main_bus1 = c.main_bus1;
    electric::apu_start_load = c.start_load;
    frame();
    EXPECT_FLOAT_EQ(plugin_bus_loads[0], c.left_amps) << c.what;
  }
}

TEST_F(Lights, PowerGapEndsWhenItRunsDownToExactlyZero) {
  frame_time = 0.075f;  // two frames take the 0.15 s gap to exactly 0
  electric::lost_ac_ap_a = 1.0f;
  frame();
  electric::lost_ac_ap_a = 0.0f;
  EXPECT_EQ(lights_state.light_power_factor_a, 0.0f);
  for (int i = 0; i < 3; ++i) frame();
  EXPECT_EQ(lights_state.light_power_gap_a, 0.0f);
  EXPECT_EQ(lights_state.light_power_factor_a, 1.0f);
}

TEST_F(Lights, RecirculationFansAndBusTransfer) {
  air::l_recirc_fan_pos = 1.0f;
  air::r_recirc_fan_pos = 1.0f;
  electric::main_bus2 = 0.0f;
  frame();
  EXPECT_FLOAT_EQ(plugin_bus_loads[0], 4.0f);
  EXPECT_FLOAT_EQ(plugin_bus_loads[1], 0.0f);
  EXPECT_FLOAT_EQ(plugin_bus_loads[2], 0.0f);
  host_mirror.sim_cockpit2_electrical_cross_tie = 0;
  frame();
  EXPECT_FLOAT_EQ(plugin_bus_loads[2], -150.0f);
}

TEST_F(Lights, StandardBeaconLightsOncePerCycleAtLongFrames) {
  // At 0.15 s a frame jumps from before the beacon's window to after it.
  for (float step : {0.1f, 0.15f}) {
    SetUp();
    frame_time = step;
    host_mirror.sim_cockpit2_switches_beacon_on = 1;
    host_mirror.sim_cockpit2_switches_strobe_lights_on = 1;
    toggle_switch::position_light_pos = 1.0f;
    host_mirror.sim_cockpit2_switches_navigation_lights_on = 1;
    // Frames with the beacon lit, per flash cycle.
    std::vector<int> beacon_per_cycle(1, 0);
    int strobe_frames = 0;
    float last_phase = 0.0f;
    for (int i = 0; i < 60; ++i) {
      frame();
      if (lights_state.strobe_flash_phase < last_phase) beacon_per_cycle.push_back(0);
      last_phase = lights_state.strobe_flash_phase;
      beacon_per_cycle.back() += lights_state.beacon_flash == 1.0f ? 1 : 0;
      strobe_frames += lights_state.wing_strobe_flash == 1.0f ? 1 : 0;
      EXPECT_EQ(lights_state.tail_strobe_flash, lights_state.wing_strobe_flash);
      // The host sees every change in the frame it happens.
      EXPECT_EQ(simhost::get_floats("sim/flightmodel2/lights/beacon_brightness_ratio")[0], lights_state.beacon_flash);
      EXPECT_EQ(simhost::get_floats("sim/flightmodel2/lights/strobe_brightness_ratio")[3], lights_state.tail_strobe_flash);
    }
    ASSERT_GE(beacon_per_cycle.size(), 4u) << step;
    for (size_t c = 0; c + 1 < beacon_per_cycle.size(); ++c) EXPECT_EQ(beacon_per_cycle[c], 1) << step << " " << c;
    // The strobes fire on the restart frame only.
    EXPECT_EQ(strobe_frames, static_cast<int>(beacon_per_cycle.size()) - 1) << step;
  }
}

TEST_F(Lights, LedTimingAndDarkness) {
  script_mirror.zuvadud_D738_effects_long_led_strobes = 1.0f;
  host_mirror.sim_cockpit2_switches_beacon_on = 1;
  host_mirror.sim_cockpit2_switches_strobe_lights_on = 1;
  frame_time = 0.025f;
  struct Sample {
    int frame;  // phase = frame x 0.025 s
    float beacon, tail, wing;
  };
  const Sample samples[] = {{2, 1, 1, 0}, {4, 1, 0, 1}, {8, 0, 0, 1}, {14, 0, 0, 0}};
  int n = 0;
  for (const Sample& s : samples) {
    while (n < s.frame) {
      frame();
      ++n;
    }
    EXPECT_EQ(lights_state.beacon_flash, s.beacon) << s.frame;
    EXPECT_EQ(lights_state.tail_strobe_flash, s.tail) << s.frame;
    EXPECT_EQ(lights_state.wing_strobe_flash, s.wing) << s.frame;
  }
  electric::ac_tnsbus1_status = 0.0f;
  frame();
  EXPECT_EQ(lights_state.strobe_flash_phase, 0.0f);
  EXPECT_EQ(lights_state.beacon_flash + lights_state.wing_strobe_flash + lights_state.tail_strobe_flash, 0.0f);
}

TEST_F(Lights, SteadyIssuesOneStrobeOffPerFrameUntilTheHostFollows) {
  toggle_switch::position_light_pos = -1.0f;
  host_mirror.sim_cockpit2_switches_strobe_lights_on = 1;
  host_mirror.sim_cockpit2_switches_navigation_lights_on = 0;
  frame();
  frame();
  EXPECT_EQ(issued("sim/lights/strobe_lights_off"), 2);
  EXPECT_EQ(issued("sim/lights/nav_lights_on"), 2);
  host_mirror.sim_cockpit2_switches_strobe_lights_on = 0;
  host_mirror.sim_cockpit2_switches_navigation_lights_on = 1;
  frame();
  EXPECT_EQ(issued("sim/lights/strobe_lights_off"), 2);
  EXPECT_EQ(issued("sim/lights/strobe_lights_on"), 0);
  EXPECT_EQ(issued("sim/lights/nav_lights_off"), 0);
  // Without transfer bus 1 everything goes out.
  electric::ac_tnsbus1_status = 0.0f;
  frame();
  EXPECT_EQ(issued("sim/lights/nav_lights_off"), 1);
}

TEST_F(Lights, LandingLightsAndLedFit) {
  switch_::land_lights_left_pos = 1.0f;
  switch_::land_lights_ret_right_pos = 2.0f;  // ON: its lamp lit
  frame();
  std::vector<float> land = simhost::get_floats("sim/cockpit2/switches/landing_lights_switch");
  EXPECT_FLOAT_EQ(land[0], 1.0f);
  EXPECT_FLOAT_EQ(land[2], 1.0f);
  EXPECT_FLOAT_EQ(land[3], 0.0f);
  // The LED fit has no retractable lights: switches and lamps drop back every frame.
  script_mirror.zuvadud_D738_led_lights = 1.0f;
  switch_::land_lights_ret_left_pos = 2.0f;
  switch_::land_lights_ret_right_pos = 1.0f;
  frame();
  land = simhost::get_floats("sim/cockpit2/switches/landing_lights_switch");
  EXPECT_FLOAT_EQ(land[2], 0.0f);
  EXPECT_EQ(switch_::land_lights_ret_left_pos, 0.0f);
  EXPECT_EQ(switch_::land_lights_ret_right_pos, 0.0f);
  EXPECT_EQ(lights_state.retractable_landing_right_on, 0.0f);
}

TEST_F(Lights, PulsingLandingLightsSwapSides) {
  script_mirror.zuvadud_D738_effects_pulse_lite = 1.0f;
  switch_::land_lights_left_pos = 1.0f;
  switch_::land_lights_right_pos = 1.0f;
  frame_time = 0.1f;
  frame();  // phase 0.15: left dim at the floor... right bright
  std::vector<float> land = simhost::get_floats("sim/cockpit2/switches/landing_lights_switch");
  EXPECT_FLOAT_EQ(land[0], 0.2f);
  EXPECT_FLOAT_EQ(land[3], 0.85f);
  for (int i = 0; i < 6; ++i) frame();  // past 1: falling again
  EXPECT_EQ(lights_state.landing_pulse_falling, 1.0f);
  script_mirror.zuvadud_D738_effects_pulse_lite = 0.0f;
  frame();
  EXPECT_EQ(lights_state.landing_pulse_phase, 0.0f);
  land = simhost::get_floats("sim/cockpit2/switches/landing_lights_switch");
  EXPECT_FLOAT_EQ(land[0], 1.0f);
  EXPECT_FLOAT_EQ(land[3], 1.0f);
}

TEST_F(Lights, EmergencyExitBattery) {
  frame_time = 0.1f;
  toggle_switch::emer_exit_lights = 1.0f;  // ARMED
  frame();
  EXPECT_EQ(simhost::get_floats("sim/cockpit2/switches/generic_lights_switch")[98], 0.0f);
  electric::dc_bus1_status = 0.0f;
  int lit_frames = 0;
  for (int i = 0; i < 11000; ++i) {
    frame();
    if (host_mirror.sim_cockpit2_switches_generic_lights_switch[98] != 0.0f) ++lit_frames;
  }
  EXPECT_NEAR(lit_frames, 10800, 2);  // 1080 s of light, then dark
  EXPECT_EQ(lights_state.emergency_exit_charge, 0.0f);
  EXPECT_EQ(simhost::get_floats("sim/cockpit2/switches/generic_lights_switch")[98], 0.0f);
  // Power back: it recharges at half a second per second.
  electric::dc_bus1_status = 1.0f;
  for (int i = 0; i < 100; ++i) frame();
  EXPECT_NEAR(lights_state.emergency_exit_charge, 5.0f, 1e-3);
  // Switched ON the lights burn and never recharge.
  toggle_switch::emer_exit_lights = 2.0f;
  frame();
  EXPECT_LT(lights_state.emergency_exit_charge, 5.0f);
  EXPECT_EQ(host_mirror.sim_cockpit2_switches_generic_lights_switch[98], 1.0f);
}

TEST_F(Lights, OutsideViewDimsGenericAircraftOnNewHosts) {
  lights_state.taxi_light_level = 1.0f;
  toggle_switch::rwy_light_left = 1.0f;
  host_mirror.sim_graphics_view_view_is_external = 1;
  variant_index = -1;
  frame();
  EXPECT_FLOAT_EQ(host_mirror.sim_cockpit2_switches_generic_lights_switch[4], 0.05f);
  EXPECT_FLOAT_EQ(host_mirror.sim_cockpit2_switches_generic_lights_switch[2], 0.15f);
  variant_index = 0;
  frame();
  EXPECT_FLOAT_EQ(host_mirror.sim_cockpit2_switches_generic_lights_switch[4], 1.0f);
  // A power-source change blanks the lamps for 0.15 s.
  electric::lost_ac_ap_a = 1.0f;
  frame();
  EXPECT_FLOAT_EQ(host_mirror.sim_cockpit2_switches_generic_lights_switch[4], 0.0f);
  electric::lost_ac_ap_a = 0.0f;
  frame();
  frame();
  EXPECT_FLOAT_EQ(host_mirror.sim_cockpit2_switches_generic_lights_switch[4], 1.0f);
}

TEST_F(Lights, StateArraysRoundTrip) {
  lights_state.beacon_flash = 1.0f;
  lights_state.taxi_light_level = 0.5f;
  lights_state.fixed_landing_right_on = 1.0f;
  toggle_switch::cab_util_pos = 1.0f;
  switch_::land_lights_ret_right_pos = 2.0f;
  host_mirror.sim_cockpit2_switches_generic_lights_switch[5] = 1.0f;
  host_mirror.sim_cockpit2_switches_generic_lights_switch[1] = 1.0f;
  host_mirror.sim_cockpit2_switches_beacon_on = 1;
  save_lights_state();
  const std::vector<float> state = simhost::get_floats("zuvadud/D738/lights");
  const std::vector<float> sw = simhost::get_floats("zuvadud/D738/lights_sw");
  ASSERT_EQ(state.size(), 20u);
  EXPECT_EQ(state[1], 1.0f);
  EXPECT_EQ(state[6], 1.0f);
  EXPECT_EQ(state[7], 0.5f);
  EXPECT_EQ(sw[5], 2.0f);
  EXPECT_EQ(sw[13], 1.0f);
  EXPECT_EQ(sw[16], 1.0f);
  EXPECT_EQ(sw[17], 1.0f);

  lights_state = ExteriorLightsState{};
  lights_state.light_power_factor_a = 0.0f;
  toggle_switch::cab_util_pos = 0.0f;
  host_mirror = HostMirror{};
  std::vector<float> edited = sw;
  edited[17] = 0.9f;  // an integer slot: its nearest position
  simhost::set_floats("zuvadud/D738/lights_sw", edited);
  restore_lights_state();
  EXPECT_EQ(lights_state.taxi_light_level, 0.5f);
  EXPECT_EQ(toggle_switch::cab_util_pos, 1.0f);
  EXPECT_EQ(lights_state.light_power_factor_a, 1.0f);
  EXPECT_EQ(simhost::get_int("sim/cockpit2/switches/beacon_on"), 1);
  // The lamps saved lit bring their switches back (the light step then lights
  // them); the one saved dark its switch OFF.
  EXPECT_EQ(toggle_switch::logo_light, 1.0f);
  EXPECT_EQ(toggle_switch::wing_light, 0.0f);
  EXPECT_EQ(toggle_switch::wheel_light, 1.0f);
}

// Restored slots holding NaN or an infinity read off, in the cockpit and in
// what goes on to the host.
TEST_F(Lights, NonFiniteRestoreReadsOff) {
  for (float bad : {std::numeric_limits<float>::quiet_NaN(), -std::numeric_limits<float>::infinity()}) {
    simhost::set_floats("zuvadud/D738/lights", std::vector<float>(20, bad));
    simhost::set_floats("zuvadud/D738/lights_sw", std::vector<float>(20, bad));
    restore_lights_state();
    EXPECT_EQ(lights_state.taxi_light_level, 0.0f) << bad;
    EXPECT_EQ(toggle_switch::position_light_pos, 0.0f) << bad;
    for (float v : simhost::get_floats("sim/cockpit2/switches/generic_lights_switch"))
      EXPECT_TRUE(std::isfinite(v)) << bad;
  }
  // A number no switch can take leaves each where it stands.
  for (float bad : {1e30f, -1e30f, 2147483647.0f}) {
    toggle_switch::position_light_pos = -1.0f;
    toggle_switch::wing_light = 1.0f;
    lights_state.taxi_light_level = 0.5f;
    host_mirror.sim_cockpit2_switches_beacon_on = 1;
    simhost::set_floats("zuvadud/D738/lights", std::vector<float>(20, bad));
    simhost::set_floats("zuvadud/D738/lights_sw", std::vector<float>(20, bad));
    restore_lights_state();
    EXPECT_EQ(toggle_switch::position_light_pos, -1.0f) << bad;
    EXPECT_EQ(toggle_switch::wing_light, 1.0f) << bad;
    EXPECT_EQ(lights_state.taxi_light_level, 0.5f) << bad;
    EXPECT_EQ(simhost::get_int("sim/cockpit2/switches/beacon_on"), 1) << bad;
  }
}

TEST_F(Lights, FirstFrameSwitches) {
  toggle_switch::taxi_light_brightness_pos = 1.0f;
  toggle_switch::compass_brightness_pos = -1.0f;
  spring_switch::landing_lights_all_on = 1.0f;
  update_light_switches();
  EXPECT_EQ(lights_state.taxi_light_level, 0.5f);
  EXPECT_EQ(switch_::land_lights_ret_left_pos, 2.0f);
  EXPECT_EQ(switch_::land_lights_left_pos, 1.0f);
  EXPECT_EQ(toggle_switch::ife_pass_seat_pos, 1.0f);
  EXPECT_FLOAT_EQ(simhost::get_floats("sim/cockpit2/switches/instrument_brightness_ratio")[6], 0.15f);
  EXPECT_EQ(taxi_level_for_position(2.0f), 1.0f);
  EXPECT_EQ(taxi_level_for_position(7.0f), 0.0f);
}

class LightValues : public ::testing::Test {
 protected:
  void SetUp() override { Reset(); }

 public:
  void Reset() {
    for (XPLMDataRef& h : bound_handles) h = nullptr;
    host_mirror = HostMirror{};
    script_mirror = ScriptMirror{};
    lights_state = ExteriorLightsState{};
    reset_lights_on_load();
    host_version = 110000;
    variant_index = 0;
    for (float* v : {&switch_::land_lights_left_pos, &switch_::land_lights_right_pos, &switch_::land_lights_ret_left_pos,
                     &switch_::land_lights_ret_right_pos, &lights::land_ret_left_pos, &toggle_switch::emer_exit_lights,
                     &toggle_switch::compass_brightness_pos, &toggle_switch::cockpit_dome_pos, &toggle_switch::rwy_light_left,
                     &spring_switch::landing_lights_all_on, &electric::lost_ac_ap_a, &electric::lost_ac_ap_b}) {
      *v = 0.0f;
    }
    for (float* bus : {&electric::ac_tnsbus1_status, &electric::ac_tnsbus2_status, &electric::dc_bus1_status,
                       &electric::batbus_status, &electric::dir_batbus_status}) {
      *bus = 1.0f;
    }
    elec_bus_status.dc_bus1_volts = 28.0f;
    electric::main_bus1 = electric::main_bus2 = 1.0f;
    toggle_switch::ife_pass_seat_pos = 0.0f;
    toggle_switch::cab_util_pos = 1.0f;
    electrical::apu_gen1_pos = electrical::apu_gen2_pos = 0.0f;
    electric::apu_start_load = air::l_recirc_fan_pos = air::r_recirc_fan_pos = 0.0f;
    plugin_bus_loads[0] = plugin_bus_loads[1] = plugin_bus_loads[2] = 0.0f;
    frame_time = 0.1f;
  }
};

TEST_F(LightValues, CockpitLightsRetractablesAndExitLightBattery) {
  float* ratio = host_mirror.sim_cockpit2_switches_instrument_brightness_ratio;
  float* generic = host_mirror.sim_cockpit2_switches_generic_lights_switch;
  float* landing = host_mirror.sim_cockpit2_switches_landing_lights_switch;
  static const ValueRow rows[] = {
      // Compass light: 1 on, 0.33 dimmed (0.15 on the newer host); dome: 0.4 dimmed (0.2), 1 bright.
      {"compass on", [] { toggle_switch::compass_brightness_pos = 1; }, &ratio[6], 1.0f},
      {"compass dim", [] { toggle_switch::compass_brightness_pos = -1; }, &ratio[6], 0.33f},
      {"compass dim 12", [] { toggle_switch::compass_brightness_pos = -1; host_version = 120000; }, &ratio[6], 0.15f},
      {"compass unpowered", [] { toggle_switch::compass_brightness_pos = 1; electric::dir_batbus_status = 0; },
       &ratio[6], 0.0f},
      {"dome dim", [] { toggle_switch::cockpit_dome_pos = 1; }, &generic[9], 0.4f},
      {"dome dim 12", [] { toggle_switch::cockpit_dome_pos = 1; host_version = 120000; }, &generic[9], 0.2f},
      {"dome bright", [] { toggle_switch::cockpit_dome_pos = -1; host_version = 120000; }, &generic[9], 1.0f},
      {"dome off", [] { toggle_switch::cockpit_dome_pos = 2; host_mirror.sim_cockpit2_switches_generic_lights_switch[9] = 0.5f; }, &generic[9], 0.0f},
      // All landing lights on from the first frame.
      {"all on left", [] { spring_switch::landing_lights_all_on = 1; }, &lights_state.retractable_landing_left_on, 1},
      {"all on right", [] { spring_switch::landing_lights_all_on = 1; }, &lights_state.retractable_landing_right_on, 1},
      {"all on fixed", [] { spring_switch::landing_lights_all_on = 1; }, &lights_state.fixed_landing_right_on, 1},
      {"all on ret switch", [] { spring_switch::landing_lights_all_on = 1; }, &switch_::land_lights_ret_right_pos, 2},
  };
  run_rows(*this, rows, std::size(rows), update_light_switches, 1e-6f);

  static const ValueRow frame_rows[] = {
      // Retractable lights extend at rate 3 while their switch is beyond 0.
      {"extend", [] { switch_::land_lights_ret_left_pos = 1; }, &lights::land_ret_left_pos, 0.3f},
      {"stay in", [] { switch_::land_lights_ret_left_pos = 0; }, &lights::land_ret_left_pos, 0.0f},
      // Exit light battery: charges 0.5 s a second above 12 V on DC bus 1 (0.25 while lit), to 1080 s.
      {"charge", [] { toggle_switch::emer_exit_lights = 1; lights_state.emergency_exit_charge = 100; },
       &lights_state.emergency_exit_charge, 100.05f},
      {"12 V", [] { toggle_switch::emer_exit_lights = 1; lights_state.emergency_exit_charge = 100;
                    elec_bus_status.dc_bus1_volts = 12; }, &lights_state.emergency_exit_charge, 100},
      {"charge lit", [] { toggle_switch::emer_exit_lights = 1; lights_state.emergency_exit_charge = 100;
                          electric::ac_tnsbus1_status = electric::ac_tnsbus2_status = 0; },
       &lights_state.emergency_exit_charge, 100.025f},
      {"one AC bus", [] { toggle_switch::emer_exit_lights = 1; electric::ac_tnsbus1_status = 0; }, &generic[98], 0},
      {"full", [] { toggle_switch::emer_exit_lights = 1; lights_state.emergency_exit_charge = 1079.99f; },
       &lights_state.emergency_exit_charge, 1080},
      {"on burns", [] { toggle_switch::emer_exit_lights = 2; lights_state.emergency_exit_charge = 100; },
       &lights_state.emergency_exit_charge, 99.9f},
      {"on lit", [] { toggle_switch::emer_exit_lights = 2; }, &generic[98], 1},
      {"armed, DC bus 1 lost", [] { toggle_switch::emer_exit_lights = 1; electric::dc_bus1_status = 0; }, &generic[98], 1},
      {"flat", [] { toggle_switch::emer_exit_lights = 2; lights_state.emergency_exit_charge = 0.05f; },
       &lights_state.emergency_exit_charge, 0},
      // The plug-in flies the beacons and strobes, not the host.
      {"override", [] {}, &host_mirror.sim_flightmodel2_lights_override_beacons_and_strobes, 1},
      // Cabin utility, 11 A, on a side with an APU generator above 95 % or an engine generator.
      {"utility right on APU", [] { host_mirror.sim_cockpit2_electrical_APU_N1_percent = 96; electrical::apu_power_bus2 = 1; },
       &plugin_bus_loads[1], 11},
      {"APU 95 %", [] { host_mirror.sim_cockpit2_electrical_APU_N1_percent = 95; electrical::apu_power_bus2 = 1; },
       &plugin_bus_loads[1], 0},
      {"utility right on engine 2", [] { host_mirror.sim_flightmodel2_engines_engine_is_burning_fuel[1] = 1;
                                         host_mirror.sim_cockpit2_electrical_generator_on[1] = 1; },
       &plugin_bus_loads[1], 11},
      {"kept at 50 ft", [] { host_mirror.sim_cockpit2_electrical_APU_N1_percent = 96; electrical::apu_power_bus2 = 1;
                             host_mirror.sim_cockpit2_gauges_indicators_radio_altimeter_height_ft_pilot = 50; },
       &plugin_bus_loads[1], 11},
      {"right recirculation fan", [] { air::r_recirc_fan_pos = 1; }, &plugin_bus_loads[1], 4},
      {"turnoff light", [] { toggle_switch::rwy_light_left = 1; }, &generic[2], 1},
      // Each retractable lamp is fed from the other side: a lost transfer bus
      // leaves a landing light burning on each wing.
      {"left retractable, transfer bus 1 lost", [] { switch_::land_lights_ret_left_pos = 2; electric::ac_tnsbus1_status = 0; },
       &landing[1], 1},
      {"right retractable, transfer bus 1 lost", [] { switch_::land_lights_ret_right_pos = 2; electric::ac_tnsbus1_status = 0; },
       &landing[2], 0},
      {"right retractable, transfer bus 2 lost", [] { switch_::land_lights_ret_right_pos = 2; electric::ac_tnsbus2_status = 0; },
       &landing[2], 1},
      {"right fixed, transfer bus 2 lost", [] { switch_::land_lights_right_pos = 1; electric::ac_tnsbus2_status = 0; },
       &landing[3], 0},
      {"engine keeps it aloft", [] { host_mirror.sim_flightmodel2_engines_engine_is_burning_fuel[1] = 1;
                                     host_mirror.sim_cockpit2_electrical_generator_on[1] = 1;
                                     host_mirror.sim_cockpit2_gauges_indicators_radio_altimeter_height_ft_pilot = 51; },
       &plugin_bus_loads[1], 11},
  };
  run_rows(*this, frame_rows, std::size(frame_rows), update_exterior_lights, 1e-3f);
}

// Wig-wag: the phase moves 1.5 a second, turns at 1 and at 0, and each side
// shows it (or its complement) no dimmer than 0.2.
TEST_F(LightValues, PulsingLandingLightsTurnAtBothEnds) {
  script_mirror.zuvadud_D738_effects_pulse_lite = 1.0f;
  switch_::land_lights_left_pos = switch_::land_lights_right_pos = 1.0f;
  frame_time = 1.0f / 3.0f;  // half the travel a frame
  const float sides[][2] = {{0.5f, 0.5f}, {1, 0.2f}, {1, 0.2f}, {0.5f, 0.5f}, {0.2f, 1}, {0.2f, 1}, {0.5f, 0.5f}};
  for (const auto& want : sides) {
    update_exterior_lights();
    EXPECT_NEAR(host_mirror.sim_cockpit2_switches_landing_lights_switch[0], want[0], 1e-6f);
    EXPECT_NEAR(host_mirror.sim_cockpit2_switches_landing_lights_switch[3], want[1], 1e-6f);
  }
  // All four lights, or the retractables alone, swap the same way: 0.15 into the cycle.
  struct Fit {
    float fixed, retractable, out[4];
  } fits[] = {{1, 1, {0.2f, 0.2f, 0.85f, 0.85f}}, {0, 1, {0, 0.2f, 0.85f, 0}}};
  for (const Fit& f : fits) {
    Reset();
    script_mirror.zuvadud_D738_effects_pulse_lite = 1.0f;
    switch_::land_lights_left_pos = switch_::land_lights_right_pos = f.fixed;
    switch_::land_lights_ret_left_pos = switch_::land_lights_ret_right_pos = 2.0f * f.retractable;
    update_exterior_lights();
    for (int i = 0; i < 4; ++i) {
      EXPECT_NEAR(host_mirror.sim_cockpit2_switches_landing_lights_switch[i], f.out[i], 1e-6f) << f.fixed << " " << i;
    }
  }
}

// The cockpit sees a flash when any lamp of the cycle is lit and the scripts
// ask for the reflection.
TEST_F(LightValues, CockpitFlashFollowsAnyLitLamp) {
  struct Case {
    float led;
    int strobes, beacon;
    float step, wanted;
    int flash;
  } cases[] = {
      {1, 1, 0, 0.1f, 1, 1},   // wing strobes only (LED timing)
      {1, 1, 0, 0.05f, 1, 1},  // tail strobe only
      {0, 0, 1, 0.2f, 1, 1},   // beacon only
      {0, 0, 1, 0.1f, 1, 0},   // nothing lit yet
      {1, 1, 0, 0.1f, 0, 0},   // not asked for
  };
  for (const Case& c : cases) {
    Reset();
    script_mirror.zuvadud_D738_effects_long_led_strobes = c.led;
    script_mirror.zuvadud_D738_strobe_cockpit = c.wanted;
    host_mirror.sim_cockpit2_switches_strobe_lights_on = c.strobes;
    host_mirror.sim_cockpit2_switches_beacon_on = c.beacon;
    toggle_switch::position_light_pos = c.strobes != 0 ? 1.0f : -1.0f;
    host_mirror.sim_cockpit2_switches_navigation_lights_on = 1;
    frame_time = c.step;
    update_exterior_lights();
    EXPECT_EQ(host_mirror.sim_flightmodel2_lights_strobe_flash_now, c.flash) << c.led << " " << c.step;
  }
}

// The flash cycle restarts after 1.4 s, with the strobes' flash.
TEST_F(LightValues, FlashCycleRestartsAfterOnePointFourSeconds) {
  host_mirror.sim_cockpit2_switches_strobe_lights_on = 1;
  toggle_switch::position_light_pos = 1.0f;
  host_mirror.sim_cockpit2_switches_navigation_lights_on = 1;
  frame_time = 0.125f;
  int first_flash = 0;
  for (int frame = 1; frame <= 16 && first_flash == 0; ++frame) {
    update_exterior_lights();
    if (lights_state.wing_strobe_flash == 1.0f) first_flash = frame;
  }
  EXPECT_EQ(first_flash, 12);  // 1.5 s: the first frame past 1.4 s
}

// Light spill: colour, size (the newer host's in brackets) and intensity of each group.
TEST(LightSpill, EachGroupOnBothHosts) {
  struct Group {
    float* array;
    float r, g, b, size, size12;
  } groups[] = {
      {light::spill_ratio_fire_warn_spill, 1, 0, 0, 0.15f, 1.35f},
      {light::spill_ratio_extinguisher_circuit_spill_apu, 0.19f, 1, 0.5f, 0.07f, 0.63f},
      {light::spill_ratio_master_caution_spill, 1, 1, 0, 0.15f, 1.35f},
      {light::spill_ratio_cabin_lights_spill, 1, 1, 0.8f, 3, 27},
      {light::spill_ratio_entry_lights_spill, 1, 1, 0.8f, 3, 27},
      {light::spill_ratio_cabin_emergency_lights_spill, 1, 0, 0, 2.2f, 19.8f},
      {light::spill_ratio_apu_avail_lights_spill, 0.53f, 0.86f, 0.92f, 0.03f, 0.27f},
      {light::spill_ratio_obs_radio_mark_lights_spill, 0.53f, 0.43f, 0, 0.03f, 0.27f},
  };
  for (int32_t version : {110000, 120000}) {
    host_version = version;
    init_light_spill();
    for (const Group& g : groups) {
      const float want[8] = {g.r, g.g, g.b, 0, version >= 120000 ? g.size12 : g.size, 1, 0, 0};
      for (int i = 0; i < 8; ++i) EXPECT_FLOAT_EQ(g.array[i], want[i]) << g.r << " " << g.size << " " << i;
    }
  }
}

}  // namespace
