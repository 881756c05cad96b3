// Yoke electric trim in the systems step: the host's split trim commands
// (both halves of a direction held) move the stabilizer trim once per frame,
// with the same cut-outs and limits as the yoke switches; the single yoke
// trim commands move it in their handlers only.
#include <utility>
#include <vector>

#include "systems/panel_fixture.h"
#include "systems/aircraft_systems.h"
#include "systems/flight_controls/elec_trim_state.h"
#include "systems/switches/switch_values.h"
#include "systems/flight_controls/trim_command_state.h"
#include "withdraw_commands.h"

namespace {

constexpr float kStep = 2.0f / 85.5f * 0.125f;  // one frame at the flaps-up rate

class SplitTrim : public PanelTest {
 protected:
  // Handlers are withdrawn before each fresh host, so the registration in
  // the set-up reaches it (also when a case starts over).
  static void withdraw_handlers() {
    withdraw_all_command_handlers();
  }
  void TearDown() override { withdraw_handlers(); }
  void SetUp() override {
    withdraw_handlers();
    PanelTest::SetUp();
    trim_channel_commands = TrimChannelCommands{};
    elec_trim_travel_time = 85.5f;
    toggle_switch::el_trim_pos = 0.0f;
    toggle_switch::stab_trim_overide_pos = 0.0f;
    switch_::capt_trim_pos = 0.515f;
    switch_::el_trim_cfy = 0;
  }
  static void trim_at(float v) {
    host_mirror.sim_cockpit2_controls_elevator_trim = v;
    simhost::set_float("sim/cockpit2/controls/elevator_trim", v);
  }
  static float host_trim() { return simhost::get_float("sim/cockpit2/controls/elevator_trim"); }
};

TEST_F(SplitTrim, BothHalvesOfOneDirectionMoveTheTrim) {
  struct Case {
    std::vector<const char*> held;  // commands begun before the frame
    float start, column, cutout, override_sw, flaps;
    float expect;
    float switch_pos;
  };
  const char* au = "sim/flight_controls/pitch_trimA_up";
  const char* bu = "sim/flight_controls/pitch_trimB_up";
  const char* ad = "sim/flight_controls/pitch_trimA_down";
  const char* bd = "sim/flight_controls/pitch_trimB_down";
  const Case cases[] = {
      {{au, bu}, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, kStep, 0.0f},
      {{ad, bd}, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, -kStep, 1.0f},
      {{au}, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.515f},        // one half only
      {{au, bu, ad}, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.515f},  // both ways at once
      {{au, bu}, 0.718f, 0.0f, 0.0f, 0.0f, 0.0f, 0.7192980051040649f, 0.0f},  // nose-up limit
      {{ad, bd}, -0.513f, 0.0f, 0.0f, 0.0f, 0.0f, -0.514618992805481f, 1.0f},  // flaps-up limit
      {{ad, bd}, -0.6f, 0.0f, 0.0f, 0.0f, 0.0f, -0.6f, 1.0f},    // beyond it: refused
      {{ad, bd}, -0.6f, 0.0f, 0.0f, 0.0f, 0.15f, -0.6f - kStep, 1.0f},  // flaps out: allowed
      {{au, bu}, 0.0f, 0.0f, 1.0f, 0.0f, 0.0f, 0.0f, 0.0f},     // cutout switch
      {{ad, bd}, 0.0f, 0.5f, 0.0f, 0.0f, 0.0f, 0.0f, 1.0f},     // column opposes
      {{ad, bd}, 0.0f, 0.5f, 0.0f, 1.0f, 0.0f, -kStep, 1.0f},   // ... overridden
      {{au, bu}, 0.0f, -0.5f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f},
  };
  for (const Case& c : cases) {
    SetUp();
    trim_at(c.start);
    host_mirror.sim_cockpit2_controls_yoke_pitch_ratio = c.column;
    host_mirror.sim_cockpit2_controls_flap_handle_deploy_ratio = c.flaps;
    toggle_switch::el_trim_pos = c.cutout;
    toggle_switch::stab_trim_overide_pos = c.override_sw;
    for (const char* name : c.held) simhost::command_begin(name);
    update_trim_switches_reversers();
    EXPECT_FLOAT_EQ(host_trim(), c.expect) << c.held.size() << " " << c.start;
    EXPECT_FLOAT_EQ(host_mirror.sim_cockpit2_controls_elevator_trim, c.expect);
    EXPECT_FLOAT_EQ(switch_::capt_trim_pos, c.switch_pos) << c.held.size() << " " << c.start;
    // The halves are spent: without a new report the next frame moves nothing.
    update_trim_switches_reversers();
    EXPECT_FLOAT_EQ(host_trim(), c.expect);
  }
}

TEST_F(SplitTrim, ReleasingAHalfCentresTheSwitchAndAutopilotDisconnects) {
  script_mirror.zuvadud_autopilot_ap_on = 1.0f;
  trim_at(0.0f);
  simhost::command_begin("sim/flight_controls/pitch_trimA_up");
  simhost::command_begin("sim/flight_controls/pitch_trimB_up");
  update_trim_switches_reversers();
  EXPECT_EQ(switch_::el_trim_cfy, 1);
  EXPECT_EQ(issued("sim/autopilot/servos_fdir_off"), 1);
  simhost::command_end("sim/flight_controls/pitch_trimA_up");
  simhost::command_end("sim/flight_controls/pitch_trimB_up");
  update_trim_switches_reversers();
  EXPECT_FLOAT_EQ(switch_::capt_trim_pos, 0.515f);
  EXPECT_EQ(switch_::el_trim_cfy, 0);
  EXPECT_FLOAT_EQ(host_trim(), kStep);
}

// The single yoke command moves the trim in its handler; the systems step
// must not move it a second time in the same frame.
TEST_F(SplitTrim, SingleYokeCommandMovesTheTrimOncePerFrame) {
  trim_at(0.0f);
  simhost::command_begin("sim/flight_controls/pitch_trim_up");
  update_trim_switches_reversers();
  EXPECT_FLOAT_EQ(host_trim(), kStep);
}

TEST_F(SplitTrim, RateModeFollowsTheFlapHandle) {
  for (const auto& [ratio, mode] :
       {std::pair{0.0f, 0}, std::pair{0.049f, 0}, std::pair{0.05f, 1}, std::pair{1.0f, 1}}) {
    host_mirror.sim_cockpit2_controls_flap_handle_deploy_ratio = ratio;
    update_stab_trim_wheel();
    EXPECT_EQ(elec_trim_fast_mode, mode) << ratio;
  }
}

// The yoke trim's full-travel time comes from the autopilot and the flaps
// each frame; with the autopilot on and flaps up the last time stays.
TEST_F(SplitTrim, TravelTimeFollowsAutopilotAndFlaps) {
  struct Case {
    float ap, flaps, before, expect;
  } cases[] = {
      {0.0f, 0.0f, 63.33f, 85.5f},  {0.0f, 0.049f, 63.33f, 85.5f}, {0.0f, 0.05f, 85.5f, 42.75f},
      {1.0f, 0.5f, 85.5f, 63.33f},  {1.0f, 0.0f, 42.75f, 42.75f},  {1.0f, 0.0f, 85.5f, 85.5f},
  };
  for (const Case& c : cases) {
    script_mirror.zuvadud_autopilot_ap_on = c.ap;
    host_mirror.sim_cockpit2_controls_flap_handle_deploy_ratio = c.flaps;
    elec_trim_travel_time = c.before;
    update_stab_trim_wheel();
    EXPECT_FLOAT_EQ(elec_trim_travel_time, c.expect) << c.ap << " " << c.flaps << " " << c.before;
  }
  // Flaps out with the autopilot off: both halves held move the trim at the
  // faster rate in the same frame.
  script_mirror.zuvadud_autopilot_ap_on = 0.0f;
  host_mirror.sim_cockpit2_controls_flap_handle_deploy_ratio = 0.5f;
  elec_trim_travel_time = 85.5f;
  trim_at(0.0f);
  update_stab_trim_wheel();
  simhost::command_begin("sim/flight_controls/pitch_trimA_up");
  simhost::command_begin("sim/flight_controls/pitch_trimB_up");
  update_trim_switches_reversers();
  EXPECT_FLOAT_EQ(host_trim(), 2.0f / 42.75f * 0.125f);
}

}  // namespace
