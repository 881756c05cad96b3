// Cabin, service and panel handlers: the attendant chime queue, the DC meter
// selector's host commands, cabin presets by model, wipers, no-smoking rule.
#include "cockpit_fixture.h"
#include "core/preprocess_values.h"
#include "core/variant.h"
#include "systems/lights/cabin_light_values.h"
#include "systems/lights/cabin_lights.h"
#include "systems/instruments/clock_values.h"
#include "systems/electrical/electric_values.h"
#include "systems/switches/switch_targets.h"
#include "systems/switches/switch_values.h"
#include "systems/ice_rain/wiper_state.h"

namespace {

using Cabin = CockpitTest;

TEST_F(Cabin, AttendantCallQueuesAtMostSixChimes) {
  attend_chime_count = 0;
  attend_chime_timer = 0.0f;
  electric::batbus_status = 0.0f;
  press("push_button/attend");
  EXPECT_EQ(push_button::attend_pos, 1.0f);
  release("push_button/attend");
  EXPECT_EQ(push_button::attend_pos, 0.0f);
  EXPECT_EQ(attend_chime_count, 0);
  electric::batbus_status = 1.0f;
  for (int i = 0; i < 7; ++i) click("push_button/attend");
  EXPECT_EQ(attend_chime_count, 6);
  EXPECT_EQ(attend_chime_timer, 2.5f);
}

TEST_F(Cabin, DcMeterSelector) {
  struct Case {
    float from;
    bool up;
    float want;
    const char* sent;
  } cases[] = {
      {2, true, 3, "sim/electrical/dc_volt_lft"},  {3, true, 4, "sim/electrical/dc_volt_rgt"},
      {4, true, 5, "sim/electrical/dc_volt_rgt"},  {6, true, 6, nullptr},
      {1, true, 2, nullptr},                       {4, false, 3, "sim/electrical/dc_volt_lft"},
      {6, false, 5, "sim/electrical/dc_volt_rgt"}, {0, false, 0, nullptr},
      {2.5f, true, 2.5f, nullptr},
  };
  for (const Case& c : cases) {
    simhost::clear_issued_commands();
    knob::dc_power = c.from;
    click(c.up ? "knob/dc_power_up" : "knob/dc_power_dn");
    EXPECT_EQ(knob::dc_power, c.want) << c.from << (c.up ? " up" : " down");
    EXPECT_EQ(issued_total(), c.sent ? 1 : 0) << c.from << (c.up ? " up" : " down");
    if (c.sent) {
      EXPECT_EQ(issued(c.sent), 1) << c.from;
    }
  }
}

TEST_F(Cabin, WiperEntersIntermittentWithAStart) {
  switches::left_wiper_pos = 0.0f;
  left_wiper_int_start = 0.0f;
  click("knob/left_wiper_up");
  EXPECT_EQ(switches::left_wiper_pos, 1.0f);
  EXPECT_EQ(left_wiper_int_start, 1.0f);
  left_wiper_int_start = 0.0f;
  click("knob/left_wiper_up");
  click("knob/left_wiper_up");
  click("knob/left_wiper_up");
  EXPECT_EQ(switches::left_wiper_pos, 3.0f);
  EXPECT_EQ(left_wiper_int_start, 0.0f);
  click("knob/left_wiper_dn");
  click("knob/left_wiper_dn");
  EXPECT_EQ(left_wiper_int_start, 1.0f);
}

TEST_F(Cabin, ElapsedTimeResetAndCovers) {
  clock_::captain_et = 75.0f;
  clock_::chrono_display_mode_capt = 1.0f;
  // A dark clock ignores the reset.
  electric::batbus_status = electric::dir_batbus_status = 0.0f;
  click("push_button/et_reset_capt");
  EXPECT_EQ(clock_::captain_et, 75.0f);
  // So does one whose face has lost its bus, the time kept.
  electric::batbus_status = electric::dir_batbus_status = 1.0f;
  electric::dc_stdbus_status = electric::dc_bus1_status = 0.0f;
  click("push_button/et_reset_capt");
  EXPECT_EQ(clock_::captain_et, 75.0f);
  electric::dc_stdbus_status = 1.0f;
  press("push_button/et_reset_capt");
  EXPECT_EQ(clock_::captain_et, 0.0f);
  EXPECT_EQ(clock_::captain_reset, 1.0f);
  EXPECT_EQ(clock_::captain_et_mode, -1.0f);
  EXPECT_EQ(clock_::chrono_display_mode_capt, 2.0f);
  release("push_button/et_reset_capt");
  EXPECT_EQ(clock_::captain_reset, 0.0f);

  cover_target[9] = 0.0f;
  button_switch::cover_position[9] = 0.0f;
  toggle_switch::emer_exit_lights = 1.0f;
  click("push_button/emer_exit_full_off");
  EXPECT_EQ(button_switch::cover_position[9], 1.0f);
  EXPECT_EQ(cover_target[9], 1.0f);
  EXPECT_EQ(toggle_switch::emer_exit_lights, 0.0f);
  click("button_switch_cover09");
  EXPECT_EQ(cover_target[9], 0.0f);
}

}  // namespace
