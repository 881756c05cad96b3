// Engine start panel, APU switch, N1 set source, fuel flow switch and the
// thrust reverser take-overs, through the simulated host.
#include <vector>

#include "cockpit_fixture.h"
#include "engines/engine_state.h"
#include "engines/engine_values.h"
#include "engines/thrust_levers.h"
#include "systems/apu_start/apu_start_state.h"
#include "systems/delay_timers.h"
#include "systems/electrical/electric_values.h"
#include "systems/hydraulics/hydraulic_values.h"
#include "systems/instruments/instrument_values.h"
#include "systems/switches/switch_memory.h"
#include "systems/switches/switch_targets.h"
#include "systems/switches/switch_values.h"

namespace {

const char* const kPropMode = "sim/cockpit2/engine/actuators/prop_mode";

class EngineStart : public CockpitTest {
 protected:
  void SetUp() override {
    CockpitTest::SetUp();
    hydraulic::A_status = 1.0f;
    hydraulic::B_status = 1.0f;
    hydraulic::standby_status = 0.0f;
    engine::thrust1_leveler = 0.0f;
    engine::thrust2_leveler = 0.0f;
    cockpit::throttle_override = 0.0f;
    thrust_lever_state = ThrustLeverState{};
    prop_modes(1, 1);
    host_mirror.sim_cockpit2_gauges_indicators_radio_altimeter_height_ft_pilot = 0.0f;
  }
  static void prop_modes(int a, int b) {
    host_mirror.sim_cockpit2_engine_actuators_prop_mode[0] = a;
    host_mirror.sim_cockpit2_engine_actuators_prop_mode[1] = b;
    simhost::set_ints(kPropMode, {a, b});
  }
};

TEST_F(EngineStart, StartSelectorSteps) {
  struct Case {
    float pos;
    const char* cmd;
    float want_pos, want_target;
  } cases[] = {
      {0, "knob/eng1_start_left", 0, 0.5f},   // at GRD: nothing (target marker kept)
      {3, "knob/eng1_start_left", 2, 2},      // FLT to CONT at once
      {1, "knob/eng1_start_left", 1, 0},      // OFF: only the target turns
      {2, "knob/eng1_start_right", 3, 3},     // CONT to FLT at once
      {3, "knob/eng1_start_right", 3, 0.5f},  // at FLT: nothing
  };
  for (const Case& c : cases) {
    engine::starter1_pos = c.pos;
    starter1_knob_target = 0.5f;
    click(c.cmd);
    EXPECT_EQ(engine::starter1_pos, c.want_pos) << c.cmd << " from " << c.pos;
    EXPECT_EQ(starter1_knob_target, c.want_target) << c.cmd << " from " << c.pos;
  }
  click("rotary/eng2_start_off");
  EXPECT_EQ(engine::starter2_pos, 1.0f);
  EXPECT_EQ(engine::starter2_pos2, 1.0f);
  EXPECT_EQ(starter2_knob_target, 1.0f);
}

TEST_F(EngineStart, ApuSwitch) {
  spring_toggle_switch::APU_start_pos = 0.0f;
  electric::batbus_status = 0.0f;
  apu_start_lock = 0.0f;
  delay_timers.apu_low_oil_delay = 0.0f;
  click("spring_toggle_switch/APU_start_pos_dn");  // unpowered: ON, nothing else
  EXPECT_EQ(spring_toggle_switch::APU_start_pos, 1.0f);
  EXPECT_EQ(issued("sim/electrical/APU_on"), 0);
  EXPECT_EQ(delay_timers.apu_low_oil_delay, 0.0f);

  spring_toggle_switch::APU_start_pos = 0.0f;
  electric::batbus_status = 1.0f;
  click("spring_toggle_switch/APU_start_pos_dn");
  EXPECT_EQ(issued("sim/electrical/APU_on"), 1);
  EXPECT_EQ(delay_timers.apu_low_oil_delay, 1.5f);
  EXPECT_EQ(apu_on_latch, 1.0f);

  // START in the middle of a start (starter engaged, APU not yet running)
  // begins it again.
  apu_start_ready = 1.0f;
  delay_flags.apu_start_request = 0.0f;
  delay_flags.apu_start_stage = 2.0f;
  press("spring_toggle_switch/APU_start_pos_dn");
  EXPECT_EQ(spring_toggle_switch::APU_start_pos, 2.0f);
  EXPECT_EQ(delay_flags.apu_start_request, 1.0f);
  EXPECT_EQ(delay_flags.apu_start_stage, 1.0f);
  release("spring_toggle_switch/APU_start_pos_dn");
  EXPECT_EQ(spring_toggle_switch::APU_start_pos, 1.0f);
  click("spring_toggle_switch/APU_start_pos_up");
  EXPECT_EQ(spring_toggle_switch::APU_start_pos, 0.0f);
}

TEST_F(EngineStart, N1SetSourceCopiesManualValues) {
  electric::dc_stdbus_status = 1.0f;  // the captain's display units
  thrust_lever_state.manual_n1[0] = 0.91f;
  thrust_lever_state.manual_n1[1] = 0.93f;
  toggle_switch::n1_set_source = 0.0f;
  click("toggle_switch/n1_set_source_left");
  EXPECT_EQ(toggle_switch::n1_set_source, -1.0f);
  EXPECT_EQ(toggle_switch::n1_set_adjust, 0.91f);
  EXPECT_EQ(engine::eng2_N1_bug, 0.93f);
  click("toggle_switch/n1_set_source_left");
  EXPECT_EQ(toggle_switch::n1_set_source, -2.0f);
  EXPECT_EQ(toggle_switch::n1_set_adjust, 0.93f);
  EXPECT_EQ(engine::eng1_N1_bug, 0.91f);
  click("toggle_switch/n1_set_source_left");
  EXPECT_EQ(toggle_switch::n1_set_source, -2.0f);
  toggle_switch::n1_set_source = 1.0f;
  click("toggle_switch/n1_set_source_right");
  EXPECT_EQ(toggle_switch::n1_set_source, 1.0f);

  // Turned with the engine display dark only the knob moves; with its power
  // back the display hands over each detent passed, as the turns with power.
  toggle_switch::n1_set_source = 0.0f;
  thrust_lever_state.n1_source_taken = 0.0f;
  toggle_switch::n1_set_adjust = 0.5f;
  engine::eng1_N1_bug = engine::eng2_N1_bug = 0.5f;
  electric::dc_stdbus_status = 0.0f;
  click("toggle_switch/n1_set_source_left");
  click("toggle_switch/n1_set_source_left");
  update_n1_set();
  EXPECT_EQ(toggle_switch::n1_set_source, -2.0f);
  EXPECT_EQ(toggle_switch::n1_set_adjust, 0.5f);
  EXPECT_EQ(engine::eng1_N1_bug, 0.5f);
  EXPECT_EQ(engine::eng2_N1_bug, 0.5f);
  electric::dc_bus2_status = 1.0f;  // the first officer's display units
  update_n1_set();
  EXPECT_EQ(toggle_switch::n1_set_adjust, 0.93f);
  EXPECT_EQ(engine::eng1_N1_bug, 0.91f);
  EXPECT_EQ(engine::eng2_N1_bug, 0.93f);
}

TEST_F(EngineStart, FuelFlowSwitch) {
  // Without the counters' power the switch moves and nothing else.
  electric::batbus_status = 0.0f;
  cockpit::fuel_flow_used1 = 120.0f;
  for (const char* side : {"toggle_switch/fuel_flow_dn", "toggle_switch/fuel_flow_up"}) {
    press(side);
    EXPECT_NE(toggle_switch::fuel_flow_pos, 0.0f) << side;
    EXPECT_EQ(cockpit::fuel_flow_used_show, 0.0f) << side;
    EXPECT_EQ(cockpit::fuel_flow_used1, 120.0f) << side;
    release(side);
  }
  electric::batbus_status = 1.0f;
  press("toggle_switch/fuel_flow_dn");
  EXPECT_EQ(toggle_switch::fuel_flow_pos, 1.0f);
  EXPECT_EQ(cockpit::fuel_flow_used_show, 1.0f);
  EXPECT_EQ(delay_timers.fuel_flow_show_delay, 10.0f);
  release("toggle_switch/fuel_flow_dn");
  EXPECT_EQ(toggle_switch::fuel_flow_pos, 0.0f);
  cockpit::fuel_flow_used1 = 120.0f;
  press("toggle_switch/fuel_flow_up");
  EXPECT_EQ(toggle_switch::fuel_flow_pos, -1.0f);
  EXPECT_EQ(cockpit::fuel_flow_used1, 0.0f);
  EXPECT_EQ(delay_flags.fuel_flow_reset_flag, 1.0f);
  EXPECT_EQ(delay_timers.fuel_flow_show_delay, 1.0f);
  EXPECT_EQ(delay_timers.fuel_flow_reset_delay, 1.0f);
  release("toggle_switch/fuel_flow_up");
}

TEST_F(EngineStart, ReverserHoldOnTheGround) {
  simhost::command_begin("sim/engines/thrust_reverse_hold");
  EXPECT_EQ(simhost::get_ints(kPropMode, 2), (std::vector<int>{3, 3}));
  EXPECT_EQ(thrust_lever_state.reverser_held[0], 1.0f);
  EXPECT_EQ(thrust_lever_state.reverser_engaged[1], 1.0f);
  simhost::command_end("sim/engines/thrust_reverse_hold");
  EXPECT_EQ(thrust_lever_state.reverser_held[0], 0.0f);
  EXPECT_EQ(thrust_lever_state.reverser_held[1], 0.0f);
  EXPECT_EQ(thrust_lever_state.reverser_engaged[0], 1.0f);  // the lever model stows it
  EXPECT_EQ(simhost::host_action_calls("sim/engines/thrust_reverse_hold", 0), 0);
}

// Standby pressure deploys the reverser; letting go of the key must stow it
// whatever powers it.
TEST_F(EngineStart, ReverserReleaseOnStandbyLetsGo) {
  hydraulic::A_status = 0.0f;
  hydraulic::standby_status = 1.0f;
  simhost::command_begin("sim/engines/thrust_reverse_hold_1");
  EXPECT_EQ(thrust_lever_state.reverser_held[0], 1.0f);
  EXPECT_EQ(thrust_lever_state.reverser_held[1], 0.0f);
  hydraulic::standby_status = 0.0f;
  simhost::command_end("sim/engines/thrust_reverse_hold_1");
  EXPECT_EQ(thrust_lever_state.reverser_held[0], 0.0f);
  EXPECT_EQ(thrust_lever_state.reverser_engaged[0], 1.0f);  // the lever model stows it
}

TEST_F(EngineStart, ReverserRefusals) {
  // Above 10 ft the hold does nothing.
  host_mirror.sim_cockpit2_gauges_indicators_radio_altimeter_height_ft_pilot = 10.5f;
  simhost::command_once("sim/engines/thrust_reverse_hold_2");
  EXPECT_EQ(simhost::get_ints(kPropMode, 2), (std::vector<int>{1, 1}));
  EXPECT_EQ(thrust_lever_state.reverser_held[1], 0.0f);
  // ... and a toggle there stows a deployed reverser.
  prop_modes(3, 3);
  thrust_lever_state.reverser_engaged[0] = 1.0f;
  simhost::command_once("sim/engines/thrust_reverse_toggle_1");
  EXPECT_EQ(simhost::get_ints(kPropMode, 2), (std::vector<int>{1, 3}));
  EXPECT_EQ(thrust_lever_state.reverser_engaged[0], 0.0f);
  // Thrust lever out of idle, or the throttle overridden: nothing.
  host_mirror.sim_cockpit2_gauges_indicators_radio_altimeter_height_ft_pilot = 0.0f;
  prop_modes(1, 1);
  engine::thrust1_leveler = 0.3f;
  simhost::command_once("sim/engines/thrust_reverse_toggle");
  EXPECT_EQ(simhost::get_ints(kPropMode, 2), (std::vector<int>{1, 3}));
  cockpit::throttle_override = 1.0f;
  simhost::command_once("sim/engines/thrust_reverse_toggle_2");
  EXPECT_EQ(simhost::get_ints(kPropMode, 2), (std::vector<int>{1, 3}));
}

}  // namespace
