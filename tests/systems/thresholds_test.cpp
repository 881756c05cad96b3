// Published numbers of the aircraft systems, one table row per threshold with
// a value on each side of it: the speed-brake lever's detents, the nose-wheel
// steering limit and turn-brake fade, and the hydraulic leak rate.
#include <cmath>

#include "alerting/aural_cues.h"
#include "core/failure_tables.h"
#include "core/preprocess_values.h"
#include "panel_fixture.h"
#include "systems/air/air_values.h"
#include "systems/gear_brakes/autobrake_state.h"
#include "systems/gear_brakes/brake_command_state.h"
#include "systems/aircraft_systems.h"
#include "engines/engine_values.h"
#include "systems/annunciators/annunciator_values.h"
#include "systems/annunciators/annunciators.h"
#include "systems/annunciators/annunciators_controls.h"
#include "systems/annunciators/annunciators_panels.h"
#include "systems/gear_brakes/brakes.h"
#include "systems/flight_controls/elec_trim_state.h"
#include "systems/electrical/electric_values.h"
#include "systems/electrical/electrical.h"
#include "systems/system_state.h"
#include "systems/instruments/clocks.h"
#include "systems/delay_timers.h"
#include "systems/fire/fire_values.h"
#include "systems/flight_controls/flight_control_values.h"
#include "systems/fuel/fuel_pump_lights.h"
#include "systems/fuel/fuel_values.h"
#include "systems/hydraulics/hydraulic_values.h"
#include "systems/hydraulics/hydraulics.h"
#include "systems/ice_rain/ice_values.h"
#include "systems/air/pneumatics.h"
#include "systems/air/pressurisation.h"
#include "systems/flight_controls/reverse_levers.h"
#include "systems/flight_controls/speedbrake_lever.h"
#include "systems/instruments/instrument_values.h"
#include "systems/switches/switch_memory.h"
#include "systems/switches/switch_targets.h"
#include "systems/switches/switch_values.h"
#include "systems/systems_steps.h"
#include "systems/system_state.h"

namespace {

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
