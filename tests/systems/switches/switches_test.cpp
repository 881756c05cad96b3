// Guarded switches: a closed guard holds its switch, an open one holds none.
#include <gtest/gtest.h>

#include "systems/aircraft_systems.h"
#include "systems/panel_fixture.h"
#include "systems/switches/switch_targets.h"
#include "systems/switches/switch_values.h"
#include "systems/systems_steps.h"

namespace {

// Guards: a cover below 0.3 holds its switch in the guarded position; they
// move at rate 20.
TEST(CoverValues, ClosedGuardsHoldTheirSwitches) {
  struct Case {
    float position;
    float before, after;  // the exit lights switch under cover 09
  } cases[] = {{0.29f, 0, 1}, {0.29f, 2, 1}, {0.3f, 0, 0}, {0.3f, 2, 2}};
  for (XPLMDataRef& h : bound_handles) h = nullptr;
  script_mirror = ScriptMirror{};
  frame_time = 0.01f;
  for (const Case& c : cases) {
    for (int i = 0; i < cover_count; ++i) button_switch::cover_position[i] = cover_target[i] = 1.0f;
    button_switch::cover_position[9] = cover_target[9] = c.position;
    toggle_switch::emer_exit_lights = c.before;
    update_switch_covers();
    EXPECT_EQ(toggle_switch::emer_exit_lights, c.after) << c.position << " " << c.before;
  }
  cover_target[9] = 0.0f;
  button_switch::cover_position[9] = 1.0f;
  update_switch_covers();
  EXPECT_FLOAT_EQ(button_switch::cover_position[9], 0.8f);
  // Named guards likewise: flight control switch A goes back ON from STBY RUD only under a closed guard.
  struct Named {
    float position, after;
  } named[] = {{0.29f, 1}, {0.3f, -1}};
  for (const Named& n : named) {
    switches::flt_ctr_A_cover_pos = flt_ctr_A_cover_target = n.position;
    switches::flt_ctr_A_pos = -1.0f;
    update_named_covers();
    EXPECT_EQ(switches::flt_ctr_A_pos, n.after) << n.position;
  }
  flt_ctr_A_cover_target = 0.0f;
  switches::flt_ctr_A_cover_pos = 1.0f;
  update_named_covers();
  EXPECT_FLOAT_EQ(switches::flt_ctr_A_cover_pos, 0.8f);
}

TEST_F(SystemLimits, OpenGuardsHoldNoSwitch) {
  // Every guard open (its position at 0.3, the closed limit, and rising):
  // each switch beneath keeps the position the pilot gave it.
  for (float& t : cover_target) t = 1.0f;
  for (float& p : button_switch::cover_position) p = 0.3f;
  electric::battery_pos = 0.0f;
  toggle_switch::elt = 1.0f;
  toggle_switch::emer_exit_lights = 0.0f;
  switches::nose_steer_pos = 0.0f;
  one_way_switch::pax_oxy_pos = 1.0f;
  host_mirror.sim_cockpit2_electrical_cross_tie = 0;
  flt_ctr_A_cover_target = spoiler_A_cover_target = alt_flaps_cover_target = gpws_gear_cover_target = 1.0f;
  switches::flt_ctr_A_cover_pos = switches::spoiler_A_cover_pos = switches::alt_flaps_cover_pos = 0.3f;
  toggle_switch::gpws_gear_cover_pos = 0.3f;
  switches::flt_ctr_A_pos = 0.0f;
  switches::spoiler_A_pos = 1.0f;
  switches::alt_flaps_pos = 1.0f;
  toggle_switch::gpws_gear_pos = 1.0f;
  update_switch_covers();
  update_named_covers();
  EXPECT_EQ(electric::battery_pos, 0.0f);
  EXPECT_EQ(toggle_switch::elt, 1.0f);
  EXPECT_EQ(toggle_switch::emer_exit_lights, 0.0f);
  EXPECT_EQ(switches::nose_steer_pos, 0.0f);
  EXPECT_EQ(one_way_switch::pax_oxy_pos, 1.0f);
  EXPECT_EQ(host_mirror.sim_cockpit2_electrical_cross_tie, 0);
  EXPECT_EQ(switches::flt_ctr_A_pos, 0.0f);
  EXPECT_EQ(switches::spoiler_A_pos, 1.0f);
  EXPECT_EQ(switches::alt_flaps_pos, 1.0f);
  EXPECT_EQ(toggle_switch::gpws_gear_pos, 1.0f);
  // Closed, the named guards push their switches home.
  flt_ctr_A_cover_target = spoiler_A_cover_target = alt_flaps_cover_target = gpws_gear_cover_target = 0.0f;
  switches::flt_ctr_A_cover_pos = switches::spoiler_A_cover_pos = switches::alt_flaps_cover_pos = 0.0f;
  toggle_switch::gpws_gear_cover_pos = 0.0f;
  update_named_covers();
  EXPECT_EQ(switches::flt_ctr_A_pos, 1.0f);
  EXPECT_EQ(switches::spoiler_A_pos, 0.0f);
  EXPECT_EQ(switches::alt_flaps_pos, 0.0f);
  EXPECT_EQ(toggle_switch::gpws_gear_pos, 0.0f);
}

}  // namespace
