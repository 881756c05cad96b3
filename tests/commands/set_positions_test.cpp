// Commands that put a switch to one position: each sets its value from the
// other position, and the two-way ones only from the position they leave.
#include <vector>

#include "cockpit_fixture.h"
#include "core/preprocess_values.h"
#include "systems/air/air_values.h"
#include "systems/electrical/electric_values.h"
#include "systems/flight_controls/flight_control_values.h"
#include "systems/instruments/instrument_values.h"
#include "systems/switches/switch_memory.h"
#include "systems/switches/switch_values.h"

namespace {

using SetCommands = CockpitTest;

TEST_F(SetCommands, EachCommandSetsItsPosition) {
  struct Row {
    const char* command;
    float* value;
    float from, to;
  } rows[] = {
      {"toggle_switch/air_temp_source_left_700", &air::temp_ctrl_700, 1, 0},
      {"toggle_switch/air_temp_source_right_700", &air::temp_ctrl_700, 0, 1},
      {"toggle_switch/oxy_mask_capt_off", &system_::oxy_mask_capt, 1, 0},
      {"toggle_switch/oxy_mask_capt_on", &system_::oxy_mask_capt, 0, 1},
      {"toggle_switch/oxy_mask_fo_off", &system_::oxy_mask_fo, 1, 0},
      {"toggle_switch/oxy_mask_fo_on", &system_::oxy_mask_fo, 0, 1},
      {"push_button/capt_window_close", &travel_targets.capt_window, 1, 0},
      {"push_button/capt_window_open", &travel_targets.capt_window, 0, 1},
      {"push_button/fo_window_close", &travel_targets.fo_window, 1, 0},
      {"push_button/fo_window_open", &travel_targets.fo_window, 0, 1},
      {"switch/nose_steer_alt", &switches::nose_steer_pos, 1, 0},
      {"switch/nose_steer_norm", &switches::nose_steer_pos, 0, 1},
      {"toggle_switch/elt_arm", &toggle_switch::elt, 1, 0},
      {"toggle_switch/elt_on", &toggle_switch::elt, 0, 1},
      {"toggle_switch/vcr_auto", &toggle_switch::vcr, 1, 0},
      {"toggle_switch/vcr_on", &toggle_switch::vcr, 0, 1},
  };
  button_switch::cover_position[8] = button_switch::cover_position[10] = 1.0f;  // the ELT's and steering's guards lifted
  for (const Row& r : rows) {
    *r.value = r.from;
    click(r.command);
    EXPECT_EQ(*r.value, r.to) << r.command;
  }
  // The ELT and voice recorder commands move only from the other position.
  toggle_switch::elt = 0.5f;
  click("toggle_switch/elt_arm");
  EXPECT_EQ(toggle_switch::elt, 0.5f);
  toggle_switch::vcr = 0.5f;
  click("toggle_switch/vcr_on");
  EXPECT_EQ(toggle_switch::vcr, 0.5f);
}

TEST_F(SetCommands, NoSmokingSwitchWithAndWithoutItsMiddlePosition) {
  struct Row {
    float option;
    const char* command;
    float from, to;
  } rows[] = {{0, "toggle_switch/no_smoking_dn", 0, 1}, {0, "toggle_switch/no_smoking_dn", 1, 2},
              {0, "toggle_switch/no_smoking_dn", 2, 2}, {0, "toggle_switch/no_smoking_up", 2, 1},
              {0, "toggle_switch/no_smoking_up", 1, 0}, {0, "toggle_switch/no_smoking_up", 0, 0},
              {1, "toggle_switch/no_smoking_dn", 0, 2}, {1, "toggle_switch/no_smoking_up", 2, 0},
              {1, "toggle_switch/no_smoking_up", 1, 0}};
  for (const Row& r : rows) {
    script_mirror.zuvadud_D738_fms_no_smoking = r.option;
    toggle_switch::no_smoking_pos = r.from;
    click(r.command);
    EXPECT_EQ(toggle_switch::no_smoking_pos, r.to) << r.command << " from " << r.from << " option " << r.option;
  }
}

TEST_F(SetCommands, GearUpKeepsGearSelectedDownWithTheManualHandlePulled) {
  struct Row {
    float handle, cover;
    float selected;
  } rows[] = {{0.89f, 0.89f, 0}, {0.91f, 0, 1}, {0, 0.91f, 1}, {1, 1, 1}, {0, 0, 0},
              {0.9f, 0.9f, 0}};  // a float 0.9 lies below 0.9 in double precision
  on_ground = 0;
  const float batbus = electric::batbus_status;
  electric::batbus_status = 1.0f;  // the lever lock releases in the air only with its power
  for (const Row& r : rows) {
    controls::gear_handle_down = 1.0f;
    lever_commands.gear_down_selected = 1.0f;
    emergency::landgear_pos = r.handle;
    emergency::landgear_cover_pos = r.cover;
    click("push_button/gear_up");
    EXPECT_EQ(controls::gear_handle_down, 0.0f) << r.handle << " " << r.cover;
    EXPECT_EQ(lever_commands.gear_down_selected, r.selected) << r.handle << " " << r.cover;
  }
  emergency::landgear_pos = emergency::landgear_cover_pos = 0.0f;
  electric::batbus_status = batbus;
}

}  // namespace
