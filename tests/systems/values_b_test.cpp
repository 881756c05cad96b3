// Published numbers of the hydraulic, electrical, light, fuel, fire, radio,
// guard and instrument models and of the replay substitutes: one table row per
// threshold or table point, with a value on each side of a threshold, checked
// through the models' own frame steps.
#include <gtest/gtest.h>

#include <cmath>

#include "alerting/aural_cues.h"
#include "core/binding.h"
#include "core/failure_tables.h"
#include "core/frame_values.h"
#include "core/preprocess_values.h"
#include "core/variant.h"
#include "display/nd_slots.h"
#include "engines/engine_values.h"
#include "systems/air/air_values.h"
#include "systems/aircraft_systems.h"
#include "systems/annunciators/annunciator_values.h"
#include "systems/delay_timers.h"
#include "systems/electrical/electric_values.h"
#include "systems/electrical/electrical.h"
#include "systems/fire/fire.h"
#include "systems/fire/fire_values.h"
#include "systems/flight_controls/flight_control_values.h"
#include "systems/fuel/fuel.h"
#include "systems/fuel/fuel_pump_lights.h"
#include "systems/fuel/fuel_values.h"
#include "systems/host_writes.h"
#include "systems/hydraulics/hydraulic_values.h"
#include "systems/hydraulics/hydraulics.h"
#include "systems/instruments/clock_values.h"
#include "systems/instruments/clocks.h"
#include "systems/instruments/instrument_values.h"
#include "systems/lights/cabin_light_values.h"
#include "systems/lights/cabin_lights.h"
#include "systems/lights/lights.h"
#include "systems/radios/comm_values.h"
#include "systems/radios/radio_audio.h"
#include "systems/replay.h"
#include "systems/switches/switch_memory.h"
#include "systems/switches/switch_targets.h"
#include "systems/switches/switch_values.h"
#include "systems/system_state.h"
#include "systems/systems_steps.h"

namespace {

// Guards: a cover below 0.3 holds its switch in the guarded position; they
// move at rate 20.
TEST(CoverValues, ClosedGuardsHoldTheirSwitches) {
  struct Case {
    float position;
    float before, after;  // the exit lights switch under cover 09
  } cases[] = {{0.29f, 0, 1}, {0.29f, 2, 2}, {0.3f, 0, 0}};
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

}  // namespace
