// The cockpit panel commands through the built module as the host drives
// them: a command operated by name moves the published position at once,
// the taken-over host commands do their own work instead of the host's, and
// the host commands the handlers issue reach the host.
#include <gtest/gtest.h>

#include <string>

#include "battery_on.h"
#include "host.h"

namespace {

const std::string kOwn = "zuvadud/D738/";

class PanelCommands : public ::testing::Test {
 protected:
  void SetUp() override {
    simhost::reset();
    std::string error;
    ASSERT_TRUE(simhost::load_and_start(CORVANE_MODULE_PATH, &error)) << error;
    simhost::clear_issued_commands();
  }
  void TearDown() override { simhost::reset(); }

  static int issued(const std::string& name, int phase) {
    int n = 0;
    for (const auto& c : simhost::issued_commands()) n += (c.name == name && c.phase == phase) ? 1 : 0;
    return n;
  }
};

TEST_F(PanelCommands, OwnCommandsMoveTheirPublishedPositions) {
  struct Case {
    const char* command;
    const char* dataref;
    int presses;
    float want;
    const char* guard = nullptr;
  } cases[] = {
      {"switch/logo_light_toggle", "toggle_switch/logo_light", 1, 1.0f},
      {"switch/wheel_light_off", "toggle_switch/wheel_light", 1, 1.0f},
      {"knob/ac_power_up", "knob/ac_power", 8, 6.0f},
      {"toggle_switch/seatbelt_sign_dn", "toggle_switch/seatbelt_sign_pos", 3, 2.0f},
      {"toggle_switch/window_heat_l_side", "ice/window_heat_l_side_pos", 1, 1.0f},
      {"toggle_switch/main_pnl_du_capt_right", "toggle_switch/main_pnl_du_capt", 5, 3.0f},
      // The cockpit is cold and dark: a clock without power ignores its
      // buttons and stays in the mode it starts in.
      {"push_button/chrono_disp_mode_capt", "clock/clock_display_mode_capt", 1, 1.0f},
      {"push_button/flaps_15", "flt_ctrls/flap_lever", 1, 0.625f},
      {"push_button/gear_down", "controls/gear_handle_down", 1, 1.0f},
      // Under guards, lifted first as a pilot would.
      {"toggle_switch/flt_ctr_B_up", "switches/flt_ctr_B_pos", 2, -1.0f, "toggle_switch/flt_ctr_B_cover"},
      {"toggle_switch/gpws_terr", "toggle_switch/gpws_terr_pos", 1, 1.0f, "toggle_switch/gpws_terr_cover"},
      // After frames have run: a clock ignores its buttons until its bus is powered.
      {"push_button/chrono_disp_mode_capt", "clock/clock_display_mode_capt", 1, 1.0f},
  };
  for (const Case& c : cases) {
    if (c.guard != nullptr) {
      simhost::frames(30, 1.0f / 30);  // past the start-up, which closes the guards
      simhost::command_once(kOwn + c.guard);
      simhost::frames(15, 1.0f / 30);
    }
    const std::string dataref = kOwn + c.dataref;
    const float before = simhost::get_float(dataref);
    for (int i = 0; i < c.presses; ++i) simhost::command_once(kOwn + c.command);
    EXPECT_EQ(simhost::get_float(dataref), c.want) << c.command << " from " << before;
  }
}

TEST_F(PanelCommands, HostFlapAndLandingLightKeysActOnTheAircraftOnly) {
  const std::string flaps = "sim/flight_controls/flaps_down";
  simhost::command_once(flaps);
  EXPECT_EQ(simhost::host_action_calls(flaps, 0), 0);
  EXPECT_EQ(simhost::get_float(kOwn + "flt_ctrls/flap_lever"), 0.125f);
  EXPECT_EQ(simhost::get_float(kOwn + "fmod/flap_sound"), 1.0f);

  const std::string lights = "sim/lights/landing_lights_toggle";
  simhost::command_once(lights);
  EXPECT_EQ(simhost::host_action_calls(lights, 0), 0);
  EXPECT_EQ(simhost::get_float(kOwn + "switch/land_lights_ret_left_pos"), 2.0f);
  EXPECT_EQ(simhost::get_float(kOwn + "switch/land_lights_right_pos"), 1.0f);
}

TEST_F(PanelCommands, AileronTrimStillReachesTheHost) {
  const std::string trim = "sim/flight_controls/aileron_trim_right";
  simhost::frames(30, 1.0f / 30);
  battery_on();  // the aileron trim's actuator
  simhost::command_begin(trim);
  simhost::command_end(trim);
  EXPECT_EQ(simhost::host_action_calls(trim, 0), 1);
}

TEST_F(PanelCommands, WheelTrimWritesTheHostTrimInsteadOfTheHost) {
  const std::string trim = "sim/flight_controls/pitch_trim_up_mech";
  simhost::frames(3, 0.05f);  // the trim runs by the frame's time
  const float before = simhost::get_float("sim/cockpit2/controls/elevator_trim");
  simhost::command_once(trim);
  EXPECT_EQ(simhost::host_action_calls(trim, 0), 0);
  EXPECT_NEAR(simhost::get_float("sim/cockpit2/controls/elevator_trim") - before, 0.0005f, 1e-6);
}

TEST_F(PanelCommands, IssuedHostCommands) {
  simhost::command_once(kOwn + "toggle_switch/gpu_up");
  EXPECT_EQ(issued("sim/electrical/GPU_off", 0), 1);
  EXPECT_EQ(simhost::get_float(kOwn + "electrical/gpu_pos"), 0.0f);

  // The stall test pushed in flight begins no host test, so its release
  // ends none.
  simhost::set_int("sim/flightmodel/failures/onground_all", 0);
  simhost::command_once(kOwn + "push_button/stall_test1_press");
  EXPECT_EQ(issued("sim/annunciator/test_stall", 0), 0);
  EXPECT_EQ(issued("sim/annunciator/test_stall", 2), 0);

  simhost::command_once(kOwn + "push_button/master_caution1");
  EXPECT_EQ(issued("sim/annunciator/clear_master_caution", 0), 1);
  simhost::command_once(kOwn + "push_button/fire_bell_light2");
  EXPECT_EQ(issued("sim/annunciator/clear_master_warning", 0), 1);
}

}  // namespace
