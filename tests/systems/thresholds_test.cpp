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

class Brightness : public PanelTest {
 protected:
  void SetUp() override {
    PanelTest::SetUp();
    host_version = 120000;
    elec_bus_state.capt_displays_ready = elec_bus_state.fo_displays_ready = 1.0f;
    display_units::idu_cpt = display_units::idu_fo = display_units::ldu = display_units::udu = 0.0f;
    display::nd_refresh = display::nd_refresh_fo = 0.0f;
    for (float& k : electric::panel_brightness) k = 0.0f;
    for (float& k : electric::instrument_brightness) k = 0.0f;
  }
  const float* ins = host_mirror.sim_cockpit2_switches_instrument_brightness_ratio;
  const float* pan = host_mirror.sim_cockpit2_switches_panel_brightness_ratio;
};

TEST_F(Brightness, AmbientLightBySunElevation) {
  struct Row {
    float sun, glow, scale, knob_min, knob_max, glare_low;
  } rows[] = {
      {-10, 0.05f, 0.05f, 0.5f, 1.0f, 0.05f},  {-5, 0.05f, 0.05f, 0.5f, 1.0f, 0.05f},
      {-2.5f, 0.075f, 0.075f, 0.45f, 0.9f, 0.075f}, {0, 0.1f, 0.1f, 0.4f, 0.8f, 0.1f},
      {17.5f, 0.55f, 0.55f, 0.4f, 0.8f, 0.55f},  {34.9f, 0.99743f, 0.99743f, 0.4f, 0.8f, 0.99743f},
      {35, 0, 1, 0.4f, 0.8f, 0.4f},              {60, 0, 1, 0.4f, 0.8f, 0.4f},
  };
  for (const Row& r : rows) {
    host_mirror.sim_graphics_scenery_sun_pitch_degrees = r.sun;
    electric::panel_brightness[0] = 0.0f;
    electric::panel_brightness[1] = 1.0f;
    electric::instrument_brightness[0] = 0.0f;
    electric::instrument_brightness[1] = 1.0f;
    update_panel_brightness();
    EXPECT_NEAR(pan[1], r.scale, 1e-4f) << r.sun;
    EXPECT_NEAR(ins[0], r.knob_min, 1e-4f) << r.sun;
    EXPECT_NEAR(ins[1], r.knob_max, 1e-4f) << r.sun;
    EXPECT_NEAR(annunciator::brightness_mcp_light, r.glare_low, 1e-4f) << r.sun;
    EXPECT_NEAR(ins[15], std::fmin(r.glow + 0.4f, 1.0f) * 0.8f, 1e-4f) << r.sun;
  }
  // The older host: a night glow that rises toward dusk and is gone by day,
  // never lifting a light past full.
  host_version = 110000;
  host_mirror.sim_cockpit2_switches_generic_lights_switch[14] = 0.5f;  // the flood on its knob
  struct Old {
    float sun, element15, mcp, flood;
  } old[] = {{-10, 0.48f, 0.6f, 0.53f},         {-8, 0.48f, 0.6f, 0.53f}, {-2.5f, 0.74667f, 0.93333f, 0.86333f},
             {2.9f, 0.8f, 1.0f, 1.0f},          {3, 0.32f, 0.4f, 0.33f},  {10, 0.32f, 0.4f, 0.33f}};
  for (const Old& o : old) {
    host_mirror.sim_graphics_scenery_sun_pitch_degrees = o.sun;
    update_panel_brightness();
    EXPECT_NEAR(ins[15], o.element15, 1e-4f) << o.sun;
    EXPECT_NEAR(annunciator::brightness_mcp_light, o.mcp, 1e-4f) << o.sun;
    EXPECT_EQ(ins[9], annunciator::brightness_mcp_light) << o.sun;
    EXPECT_NEAR(ins[17], o.flood, 1e-4f) << o.sun;
    EXPECT_NEAR(ins[0], 0.4f, 1e-6f) << o.sun;
  }
}

TEST_F(Brightness, DisplayFormatsTakeTheirKnobsAlong) {
  host_mirror.sim_graphics_scenery_sun_pitch_degrees = 60.0f;  // knob range 0.4 .. 0.8
  for (int i = 0; i < 6; ++i) electric::instrument_brightness[i] = 0.1f * static_cast<float>(i + 1);
  electric::instrument_brightness[24] = electric::instrument_brightness[26] = 1.0f;
  // Each display's own knob gives E0 .. E5 = 0.44 .. 0.64.
  struct Row {
    float ldu, udu, idu_fo, idu_cpt;
    float e[6];
    float e24, e26;
  } rows[] = {
      {0, 0, 0, 0, {0.44f, 0.48f, 0.52f, 0.56f, 0.60f, 0.64f}, 0.416f, 0.448f},
      {1, 0, 0, 2, {0.52f, 0.48f, 0.64f, 0.56f, 0.60f, 0.64f}, 0.512f, 0.448f},
      {2, 0, 2, 3, {0.44f, 0.56f, 0.52f, 0.56f, 0.64f, 0.52f}, 0.512f, 0.512f},
      {3, 0, 3, 1, {0.44f, 0.48f, 0.52f, 0.64f, 0.60f, 0.56f}, 0.512f, 0.512f},
      {0, 1, 1, 1, {0.44f, 0.48f, 0.52f, 0.56f, 0.52f, 0.64f}, 0.512f, 0.512f},
      {0, 1, 1, 0, {0.44f, 0.48f, 0.52f, 0.56f, 0.56f, 0.64f}, 0.416f, 0.512f},
  };
  for (const Row& r : rows) {
    display_units::ldu = r.ldu;
    display_units::udu = r.udu;
    display_units::idu_fo = r.idu_fo;
    display_units::idu_cpt = r.idu_cpt;
    update_panel_brightness();
    for (int i = 0; i < 6; ++i) {
      EXPECT_NEAR(ins[i], r.e[i], 1e-5f) << "element " << i << " ldu " << r.ldu << " udu " << r.udu << " fo "
                                         << r.idu_fo << " cpt " << r.idu_cpt;
    }
    EXPECT_NEAR(ins[24], r.e24, 1e-5f) << r.idu_cpt;
    EXPECT_NEAR(ins[26], r.e26, 1e-5f) << r.idu_fo;
  }
}

TEST_F(Brightness, FloodLevelsByOverheadKnob) {
  host_mirror.sim_graphics_scenery_sun_pitch_degrees = 60.0f;  // knob range 0.4 .. 0.8
  struct Row {
    float knob;  // overhead flood knob; its level is 0.4 + 0.4 x knob
    float e19, e28, g;
  } rows[] = {{0, 0, 0.33f, 0.33f}, {0.25f, 0, 0.3475f, 0.41228f}, {0.5f, 0.4675f, 0.3725f, 0.52982f},
              {1, 0.75676f, 0, 0.76491f}};
  for (const Row& r : rows) {
    electric::panel_brightness[3] = r.knob;
    update_panel_brightness();
    EXPECT_NEAR(ins[19], r.e19, 1e-4f) << r.knob;
    EXPECT_NEAR(ins[16], r.e19, 1e-4f) << r.knob;
    EXPECT_NEAR(ins[28], r.e28, 1e-4f) << r.knob;
    EXPECT_NEAR(ins[27], r.e28, 1e-4f) << r.knob;
    EXPECT_NEAR(ins[29], r.g, 1e-4f) << r.knob;
    EXPECT_NEAR(ins[30], r.g, 1e-4f) << r.knob;
  }
  // The pedestal flood follows its own knob in the dimmed switch position.
  host_mirror.sim_cockpit2_switches_generic_lights_switch[14] = 0.5f;
  for (float knob : {0.0f, 0.5f, 1.0f}) {
    electric::panel_brightness[2] = knob;
    update_panel_brightness();
    EXPECT_NEAR(ins[17], 0.4f + 0.4f * knob, 1e-5f) << knob;
  }
  host_mirror.sim_cockpit2_switches_generic_lights_switch[14] = 1.0f;
  update_panel_brightness();
  EXPECT_EQ(ins[17], 1.0f);
  EXPECT_NEAR(electric::tint_dspl_capt, 0.72f, 1e-6f);
  EXPECT_NEAR(electric::tint_dspl_fo, 0.72f, 1e-6f);
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

TEST_F(SystemLimits, StandbyDisplayAlignsInNinetySixSecondsOnBothBatteryBuses) {
  host_mirror.sim_cockpit2_electrical_battery_voltage_actual_volts[0] = 24.0f;
  host_mirror.sim_cockpit2_electrical_bus_volts[0] = 28.0f;
  host_mirror.sim_cockpit2_electrical_bus_volts[1] = 27.5f;
  struct Row {
    float battery, standby;  // switch positions
    int frames;              // of 0.125 s
    float countdown, ready;
  } rows[] = {
      {1, 1, 1, 95.875f, 0},   // both battery buses: counting down
      {1, 1, 767, 0.125f, 0},
      {1, 1, 769, 0, 1},       // aligned after 96 s
      {0, -1, 1, 95.875f, 0},  // battery bus off, direct bus on standby: reset every frame
      {0, -1, 40, 95.875f, 0},
  };
  for (const Row& r : rows) {
    elec_bus_state.isfd_ready = 1.0f;
    elec_bus_state.isfd_countdown = 0.0f;
    electric::battery_pos = 0.0f;
    electric::standby_bat_pos = 0.0f;
    elec_buses_update();  // everything dark: the alignment starts over
    electric::battery_pos = r.battery;
    electric::standby_bat_pos = r.standby;
    for (int i = 0; i < r.frames; ++i) elec_buses_update();
    EXPECT_NEAR(elec_bus_state.isfd_countdown, r.countdown, 1e-3f) << r.battery << " " << r.standby << " " << r.frames;
    EXPECT_EQ(elec_bus_state.isfd_ready, r.ready) << r.battery << " " << r.standby << " " << r.frames;
  }
}

}  // namespace
