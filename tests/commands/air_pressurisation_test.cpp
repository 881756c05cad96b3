// Air, pressurisation, oxygen and heat handlers: altitude knob steps and
// repeat, selector ends, bleed trip reset rules, window overheat test starts.
#include "cockpit_fixture.h"
#include "core/preprocess_values.h"
#include "systems/air/air_values.h"
#include "systems/annunciators/annunciators_panels.h"
#include "systems/delay_timers.h"
#include "systems/electrical/electric_values.h"
#include "systems/ice_rain/ice_values.h"
#include "systems/instruments/instrument_values.h"
#include "systems/air/oxygen_state.h"
#include "systems/switches/switch_values.h"
#include "systems/systems_step_outputs.h"
#include "systems/ice_rain/window_heat_state.h"

namespace {

const char* const kFlightAlt = "sim/cockpit/pressure/max_allowable_altitude";

using AirPanel = CockpitTest;

TEST_F(AirPanel, AltitudeKnobSteps) {
  struct Case {
    float from;
    bool up;
    float want;
  } landing[] = {{1230, false, 1200}, {1230, true, 1300}, {1200, true, 1250},
                 {-1000, false, -1000}, {13590, true, 13600}, {13600, true, 13600}};
  for (const Case& c : landing) {
    pressurization::knobs_landing_alt = c.from;
    click(c.up ? "knob/land_alt_press_up" : "knob/land_alt_press_dn");
    EXPECT_EQ(pressurization::knobs_landing_alt, c.want) << c.from << (c.up ? " up" : " down");
  }
  host_mirror.sim_cockpit_pressure_max_allowable_altitude = 41800.0f;
  click("knob/flt_alt_press_up");
  EXPECT_EQ(simhost::get_float(kFlightAlt), 42000.0f);
  click("knob/flt_alt_press_up");
  EXPECT_EQ(host_mirror.sim_cockpit_pressure_max_allowable_altitude, 42000.0f);
  host_mirror.sim_cockpit_pressure_max_allowable_altitude = 35250.0f;
  click("knob/flt_alt_press_dn");
  EXPECT_EQ(simhost::get_float(kFlightAlt), 35000.0f);
  host_mirror.sim_cockpit_pressure_max_allowable_altitude = -800.0f;  // the bottom of the flight knob: -1000
  click("knob/flt_alt_press_dn");
  EXPECT_EQ(host_mirror.sim_cockpit_pressure_max_allowable_altitude, -1000.0f);
  click("knob/flt_alt_press_dn");
  EXPECT_EQ(host_mirror.sim_cockpit_pressure_max_allowable_altitude, -1000.0f);
}

TEST_F(AirPanel, AltitudeKnobRepeatsAfterOneSecond) {
  pressurization::knobs_landing_alt = 0.0f;
  // 8 callbacks gather exactly 1.0 s: still only the first step.
  hold("knob/land_alt_press_up", 8);
  EXPECT_EQ(pressurization::knobs_landing_alt, 50.0f);
  // Then: 9th passes 1 s (hold 1.125), repeat time gathers 0.125, step on
  // the next callback, and so on every second callback.
  pressurization::knobs_landing_alt = 0.0f;
  hold("knob/land_alt_press_up", 14);
  EXPECT_EQ(pressurization::knobs_landing_alt, 50.0f + 2 * 50.0f);
}

TEST_F(AirPanel, SelectorEndsAndModeCopy) {
  toggle_switch::air_temp_source = 6.0f;
  click("toggle_switch/air_temp_source_right");
  EXPECT_EQ(toggle_switch::air_temp_source, 6.0f);
  toggle_switch::air_temp_source = 0.0f;
  click("toggle_switch/air_temp_source_left");
  EXPECT_EQ(toggle_switch::air_temp_source, 0.0f);
  // The published mode is the controller the selector puts in charge (0 none,
  // 1 AUTO, 2 ALTN, 3 MAN) from the press on, so no light sees the two
  // disagree for a frame.
  electric::dc_bus1_status = electric::dc_bus2_status = electric::dir_batbus_status = 1.0f;
  struct Move {
    float from;
    const char* command;
    float selector, mode;
  } moves[] = {{1, "toggle_switch/air_valve_ctrl_right", 2, 3},
               {0, "toggle_switch/air_valve_ctrl_right", 1, 2},
               {1, "toggle_switch/air_valve_ctrl_left", 0, 1},
               {2, "toggle_switch/air_valve_ctrl_left", 1, 2}};
  for (const Move& m : moves) {
    toggle_switch::air_valve_ctrl = m.from;
    cockpit::pressurization_mode = 1.0f;
    click(m.command);
    EXPECT_EQ(toggle_switch::air_valve_ctrl, m.selector) << m.from << " " << m.command;
    EXPECT_EQ(cockpit::pressurization_mode, m.mode) << m.from << " " << m.command;
  }
  air::l_pack_pos = 2.0f;
  click("toggle_switch/l_pack_dn");
  EXPECT_EQ(air::l_pack_pos, 2.0f);
  click("toggle_switch/l_pack_up");
  EXPECT_EQ(air::l_pack_pos, 1.0f);
  toggle_switch::bleed_air_1_pos = 0.5f;  // off the two values: stays
  click("toggle_switch/bleed_air_1");
  EXPECT_EQ(toggle_switch::bleed_air_1_pos, 0.5f);
}

TEST_F(AirPanel, BleedTripResetSkipsTheLeftSideHighWithWingAntiIce) {
  electric::dc_bus1_status = electric::dc_bus2_status = 1.0f;
  overhead_lights.bleed_trip_latch[0] = 1.0f;
  overhead_lights.bleed_trip_latch[1] = 1.0f;
  for (int s = 0; s < 2; ++s) {
    bleed_duct_value[s] = 100.0f;
  }
  push_button::trip_reset = 0.0f;
  static_pressure_altitude_ft = 36000.0f;
  system_::wing_anti_ice_valve[0] = 1.0f;
  system_::wing_anti_ice_valve[1] = 0.0f;
  host_mirror.sim_operation_failures_rel_bleed_air_rgt = 6;  // failed: stays
  press("push_button/bleed_trip_reset");
  EXPECT_EQ(push_button::trip_reset, 1.0f);
  EXPECT_EQ(overhead_lights.bleed_trip_latch[0], 1.0f);
  EXPECT_EQ(overhead_lights.bleed_trip_latch[1], 1.0f);
  release("push_button/bleed_trip_reset");

  host_mirror.sim_operation_failures_rel_bleed_air_rgt = 0;
  bleed_duct_value[1] = 254.5f;  // still too hot: stays
  click("push_button/bleed_trip_reset");
  EXPECT_EQ(overhead_lights.bleed_trip_latch[1], 1.0f);
  bleed_duct_value[1] = 254.0f;
  host_mirror.sim_operation_failures_rel_bleed_air_rgt = 0;
  simhost::set_int("sim/operation/failures/rel_bleed_air_rgt", 6);
  click("push_button/bleed_trip_reset");
  EXPECT_EQ(overhead_lights.bleed_trip_latch[1], 0.0f);
  EXPECT_EQ(simhost::get_int("sim/operation/failures/rel_bleed_air_rgt"), 0);
  EXPECT_EQ(overhead_lights.bleed_trip_latch[0], 1.0f);
}

TEST_F(AirPanel, WindowOverheatTestNeedsBusAndHeat) {
  for (float& s : window_overheat_state) s = 0.0f;
  ice::window_heat_l_side_pos = 1.0f;
  ice::window_heat_l_fwd_pos = 0.0f;
  ice::window_heat_r_side_pos = 1.0f;
  ice::window_heat_r_fwd_pos = 1.0f;
  electric::ac_tnsbus1_status = 0.0f;
  electric::ac_tnsbus2_status = 0.0f;
  press("toggle_switch/window_ovht_test_up");
  EXPECT_EQ(toggle_switch::window_ovht_test, -1.0f);
  for (float s : window_overheat_state) EXPECT_EQ(s, 0.0f);
  release("toggle_switch/window_ovht_test_up");
  EXPECT_EQ(toggle_switch::window_ovht_test, 0.0f);

  electric::ac_tnsbus1_status = 1.0f;
  window_overheat_state[window_r_fwd] = 2.0f;  // a running test is not restarted
  delay_timers.window_ovht_test_delay_r_fwd = 5.0f;
  electric::ac_tnsbus2_status = 1.0f;
  click("toggle_switch/window_ovht_test_up");
  EXPECT_EQ(window_overheat_state[window_l_side], 1.0f);
  EXPECT_EQ(delay_timers.window_ovht_test_delay_l_side, 70.0f);
  EXPECT_EQ(window_overheat_state[window_l_fwd], 0.0f);
  EXPECT_EQ(window_overheat_state[window_r_side], 1.0f);
  EXPECT_EQ(window_overheat_state[window_r_fwd], 2.0f);
  EXPECT_EQ(delay_timers.window_ovht_test_delay_r_fwd, 5.0f);

  // Transfer bus 1 lost: the windows bus 2 feeds (left side, right forward)
  // are tested, the side windows fed crosswise.
  for (float& s : window_overheat_state) s = 0.0f;
  ice::window_heat_l_fwd_pos = 1.0f;
  electric::ac_tnsbus1_status = 0.0f;
  click("toggle_switch/window_ovht_test_up");
  const float tested[window_count] = {1.0f, 0.0f, 0.0f, 1.0f};
  for (int w = 0; w < window_count; ++w) EXPECT_EQ(window_overheat_state[w], tested[w]) << w;
}

TEST_F(AirPanel, OxygenSwitches) {
  button_switch::cover_position[7] = 1.0f;  // the passenger oxygen switch's guard lifted
  one_way_switch::pax_oxy_pos = 1.0f;
  pax_oxy_state = 3;
  click("one_way_switch/pax_oxy_on");
  EXPECT_EQ(pax_oxy_state, 3);
  click("one_way_switch/pax_oxy_norm");
  EXPECT_EQ(one_way_switch::pax_oxy_pos, 0.0f);
  EXPECT_EQ(pax_oxy_state, 0);
  click("one_way_switch/pax_oxy_on");
  EXPECT_EQ(pax_oxy_state, 6);
  press("push_button/oxy_test_fo2");
  EXPECT_EQ(oxy_test_active, 1.0f);
  EXPECT_EQ(push_button::oxy_test_fo2_pos, 1.0f);
  // Both pilots test: the test lasts until the last button is let go.
  press("push_button/oxy_test_cpt");
  release("push_button/oxy_test_fo2");
  EXPECT_EQ(push_button::oxy_test_fo2_pos, 0.0f);
  EXPECT_EQ(oxy_test_active, 1.0f);
  release("push_button/oxy_test_cpt");
  EXPECT_EQ(oxy_test_active, 0.0f);
}

}  // namespace
