// Doors, windows, manual gear, gentle brake release and the first officer's
// yoke trim switch, through the simulated host.
#include "cockpit_fixture.h"
#include "core/pitch_trim.h"
#include "systems/gear_brakes/brake_command_state.h"
#include "systems/flight_controls/elec_trim_state.h"
#include "systems/electrical/electric_values.h"
#include "systems/flight_controls/flight_control_values.h"
#include "systems/instruments/instrument_values.h"
#include "systems/switches/switch_memory.h"
#include "systems/switches/switch_targets.h"
#include "systems/switches/switch_values.h"
#include "systems/flight_controls/trim_command_state.h"

namespace {

const char* const kTrim = "sim/cockpit2/controls/elevator_trim";

using Doors = CockpitTest;

TEST_F(Doors, ManualGearHandleNeedsItsCover) {
  man_gear_handle_target = 0.0f;
  emergency::landgear_cover_pos = 0.5f;
  click("toggle_switch/man_lndgear");
  EXPECT_EQ(man_gear_handle_target, 0.0f);
  emergency::landgear_cover_pos = 0.95f;
  click("toggle_switch/man_lndgear");
  EXPECT_EQ(man_gear_handle_target, 1.0f);
  emergency::landgear_cover_pos = 0.0f;
  click("toggle_switch/man_lndgear");
  EXPECT_EQ(man_gear_handle_target, 0.0f);
}

TEST_F(Doors, DoorUnlocksOnlyAfterTwoSecondsHeld) {
  travel_targets.flt_dk_door = 0.0f;
  hold("toggle_switch/flt_dk_door_left", 16);  // exactly 2.0 s gathered
  EXPECT_EQ(travel_targets.flt_dk_door, 0.0f);
  EXPECT_EQ(toggle_switch::flt_dk_door, 0.0f);
  press("toggle_switch/flt_dk_door_left");
  EXPECT_EQ(toggle_switch::flt_dk_door, -1.0f);
  simhost::frames(18, kFrame_s);
  EXPECT_EQ(travel_targets.flt_dk_door, 0.2f);
  release("toggle_switch/flt_dk_door_left");
  // From the unlocked gap the handle opens the door, from open it closes it.
  press("toggle_switch/flt_dk_door_open");
  EXPECT_EQ(door::flt_dk_door_knob_pos, 1.0f);
  EXPECT_EQ(travel_targets.flt_dk_door, 1.0f);
  release("toggle_switch/flt_dk_door_open");
  EXPECT_EQ(door::flt_dk_door_knob_pos, 0.0f);
  click("toggle_switch/flt_dk_door_open");
  EXPECT_EQ(travel_targets.flt_dk_door, 0.0f);
  travel_targets.capt_window = 0.2f;
  click("toggle_switch/capt_window");
  EXPECT_EQ(travel_targets.capt_window, 1.0f);
}

// The sliding windows open only on a cabin without differential (0.1 psi
// at most); they close whatever it is.
TEST_F(Doors, WindowsHeldShutByCabinPressure) {
  struct Row {
    const char* command;
    float psi, from, to;
  } rows[] = {{"push_button/capt_window_open", 8, 0, 0},  {"push_button/fo_window_open", 0.11f, 0, 0},
              {"toggle_switch/capt_window", 8, 0.2f, 0.2f}, {"toggle_switch/fo_window", 8, 0, 0},
              {"push_button/capt_window_open", 0.1f, 0, 1}, {"toggle_switch/fo_window", 0, 0, 1},
              {"toggle_switch/capt_window", 8, 1, 0},       {"push_button/fo_window_close", 8, 1, 0}};
  for (const Row& r : rows) {
    const bool fo = std::string(r.command).find("fo_") != std::string::npos;
    float& target = fo ? travel_targets.fo_window : travel_targets.capt_window;
    target = r.from;
    cockpit::cabin_pressure_diff = r.psi;
    click(r.command);
    EXPECT_EQ(target, r.to) << r.command << " at " << r.psi << " psi";
  }
  cockpit::cabin_pressure_diff = 0.0f;
}

TEST_F(Doors, GentleBrakeRelease) {
  // Parking brake already off: the chocks stay where they are.
  cockpit::parking_brake_pos = 0.0f;
  script_mirror.zuvadud_D738_fms_chock_status = 1.0f;
  script_mirror.zuvadud_D738_fms_parkbrake_remove_chock = 1.0f;
  press("brake_smoothly");
  EXPECT_EQ(script_mirror.zuvadud_D738_fms_chock_status, 1.0f);
  simhost::frames(2, kFrame_s);
  EXPECT_EQ(brake_commands.brake_smooth_active, 1.0f);
  EXPECT_EQ(brake_commands.brake_cmd_active, 1.0f);
  EXPECT_EQ(simhost::counts("sim/cockpit2/controls/parking_brake_ratio").writes, 0);
  release("brake_smoothly");
  EXPECT_EQ(brake_commands.brake_smooth_active, 0.0f);
  EXPECT_EQ(brake_commands.brake_cmd_active, 0.0f);

  cockpit::parking_brake_pos = 1.0f;
  lever_commands.park_brake_engaged = 1.0f;
  simhost::set_float("sim/cockpit2/controls/parking_brake_ratio", 1.0f);
  script_mirror.zuvadud_D738_fms_chock_status = 1.0f;
  script_mirror.zuvadud_D738_fms_parkbrake_remove_chock = 1.0f;
  click("brake_smoothly");
  EXPECT_EQ(cockpit::parking_brake_pos, 0.0f);
  EXPECT_EQ(lever_commands.park_brake_engaged, 0.0f);
  EXPECT_EQ(simhost::get_float("sim/cockpit2/controls/parking_brake_ratio"), 0.0f);
  EXPECT_EQ(script_mirror.zuvadud_D738_fms_chock_status, 0.0f);
}

class FoTrim : public CockpitTest {
 protected:
  void SetUp() override {
    CockpitTest::SetUp();
    electric::ac_tnsbus1_status = 1.0f;
    toggle_switch::el_trim_pos = 0.0f;
    toggle_switch::stab_trim_overide_pos = 0.0f;
    elec_trim_travel_time = 2.0f;  // 1.0 of trim per second: 0.125 per frame
    elec_trim_fast_mode = 0;
    elec_trim_moved = 0;
    elec_trim_click_slow_timer() = 0.0f;
    trim(0.0f);
  }
  static void trim(float t) {
    host_mirror.sim_cockpit2_controls_elevator_trim = t;
    simhost::set_float(kTrim, t);
  }
};

TEST_F(FoTrim, NoseDownStopsAtTheFlapLimit) {
  struct Case {
    float flaps, want;
  } cases[] = {{0.0f, -0.514619f}, {0.125f, -0.970759f}};
  for (const Case& c : cases) {
    trim(0.0f);
    host_mirror.sim_cockpit2_controls_flap_handle_deploy_ratio = c.flaps;
    hold("flight_controls/fo_pitch_trim_down", 12);
    EXPECT_FLOAT_EQ(simhost::get_float(kTrim), c.want) << c.flaps;
    EXPECT_FLOAT_EQ(trim_wheel_hold, c.want);
  }
}

TEST_F(FoTrim, MovesPerFrameAndCoastsOnRelease) {
  press("flight_controls/fo_pitch_trim_up");
  EXPECT_EQ(switch_::fo_trim_pos, 0.0f);
  EXPECT_EQ(switch_::el_trim_cfy, 1);
  EXPECT_EQ(elec_trim_click_slow(), 1.0f);
  EXPECT_EQ(elec_trim_click_slow_timer(), 0.55f);
  EXPECT_EQ(trim_wheel_slow_run, 1.0f);
  EXPECT_FLOAT_EQ(host_mirror.sim_cockpit2_controls_elevator_trim, 0.125f);
  simhost::frames(1, kFrame_s);
  EXPECT_FLOAT_EQ(simhost::get_float(kTrim), 0.25f);
  release("flight_controls/fo_pitch_trim_up");
  EXPECT_EQ(switch_::fo_trim_pos, 0.515f);
  EXPECT_EQ(switch_::el_trim_cfy, 0);
  EXPECT_EQ(trim_wheel_slow_run, 0.0f);
  EXPECT_FLOAT_EQ(trim_wheel_target, 0.25f + 0.0003f);
  EXPECT_EQ(elec_trim_moved, 0);
}

TEST_F(FoTrim, ColumnCutoutAndAutopilotDisconnect) {
  host_mirror.sim_cockpit2_controls_yoke_pitch_ratio = -0.5f;
  trim_wheel_slow_run = 1.0f;
  click("flight_controls/fo_pitch_trim_up");
  EXPECT_EQ(simhost::get_float(kTrim), 0.0f);
  EXPECT_EQ(trim_wheel_slow_run, 0.0f);
  EXPECT_EQ(trim_wheel_fast_run, 0.0f);
  toggle_switch::stab_trim_overide_pos = 1.0f;  // the override lets it run
  script_mirror.zuvadud_D738_autopilot_cws_status = 0.0f;
  script_mirror.zuvadud_autopilot_ap_on = 1.0f;
  click("flight_controls/fo_pitch_trim_up");
  EXPECT_GT(simhost::get_float(kTrim), 0.0f);
  EXPECT_EQ(issued("sim/autopilot/servos_fdir_off"), 1);
}

}  // namespace
