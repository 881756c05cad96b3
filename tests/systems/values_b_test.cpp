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
#include "systems/value_rows.h"

namespace {

class LightValues : public ::testing::Test {
 protected:
  void SetUp() override { Reset(); }

 public:
  void Reset() {
    for (XPLMDataRef& h : bound_handles) h = nullptr;
    host_mirror = HostMirror{};
    script_mirror = ScriptMirror{};
    lights_state = ExteriorLightsState{};
    reset_lights_on_load();
    host_version = 110000;
    variant_index = 0;
    for (float* v : {&switch_::land_lights_left_pos, &switch_::land_lights_right_pos, &switch_::land_lights_ret_left_pos,
                     &switch_::land_lights_ret_right_pos, &lights::land_ret_left_pos, &toggle_switch::emer_exit_lights,
                     &toggle_switch::compass_brightness_pos, &toggle_switch::cockpit_dome_pos, &toggle_switch::rwy_light_left,
                     &spring_switch::landing_lights_all_on, &electric::lost_ac_ap_a, &electric::lost_ac_ap_b}) {
      *v = 0.0f;
    }
    for (float* bus : {&electric::ac_tnsbus1_status, &electric::ac_tnsbus2_status, &electric::dc_bus1_status,
                       &electric::batbus_status, &electric::dir_batbus_status}) {
      *bus = 1.0f;
    }
    elec_bus_status.dc_bus1_volts = 28.0f;
    electric::main_bus1 = electric::main_bus2 = 1.0f;
    toggle_switch::ife_pass_seat_pos = 0.0f;
    toggle_switch::cab_util_pos = 1.0f;
    electrical::apu_gen1_pos = electrical::apu_gen2_pos = 0.0f;
    electric::apu_start_load = air::l_recirc_fan_pos = air::r_recirc_fan_pos = 0.0f;
    plugin_bus_loads[0] = plugin_bus_loads[1] = plugin_bus_loads[2] = 0.0f;
    frame_time = 0.1f;
  }
};

TEST_F(LightValues, CockpitLightsRetractablesAndExitLightBattery) {
  float* ratio = host_mirror.sim_cockpit2_switches_instrument_brightness_ratio;
  float* generic = host_mirror.sim_cockpit2_switches_generic_lights_switch;
  static const ValueRow rows[] = {
      // Compass light: 1 on, 0.33 dimmed (0.15 on the newer host); dome: 0.4 dimmed (0.2), 1 bright.
      {"compass on", [] { toggle_switch::compass_brightness_pos = 1; }, &ratio[6], 1.0f},
      {"compass dim", [] { toggle_switch::compass_brightness_pos = -1; }, &ratio[6], 0.33f},
      {"compass dim 12", [] { toggle_switch::compass_brightness_pos = -1; host_version = 120000; }, &ratio[6], 0.15f},
      {"compass unpowered", [] { toggle_switch::compass_brightness_pos = 1; electric::dir_batbus_status = 0; },
       &ratio[6], 0.0f},
      {"dome dim", [] { toggle_switch::cockpit_dome_pos = 1; }, &generic[9], 0.4f},
      {"dome dim 12", [] { toggle_switch::cockpit_dome_pos = 1; host_version = 120000; }, &generic[9], 0.2f},
      {"dome bright", [] { toggle_switch::cockpit_dome_pos = -1; host_version = 120000; }, &generic[9], 1.0f},
      {"dome off", [] { toggle_switch::cockpit_dome_pos = 2; host_mirror.sim_cockpit2_switches_generic_lights_switch[9] = 0.5f; }, &generic[9], 0.0f},
      // All landing lights on from the first frame.
      {"all on left", [] { spring_switch::landing_lights_all_on = 1; }, &lights_state.retractable_landing_left_on, 1},
      {"all on right", [] { spring_switch::landing_lights_all_on = 1; }, &lights_state.retractable_landing_right_on, 1},
      {"all on fixed", [] { spring_switch::landing_lights_all_on = 1; }, &lights_state.fixed_landing_right_on, 1},
      {"all on ret switch", [] { spring_switch::landing_lights_all_on = 1; }, &switch_::land_lights_ret_right_pos, 2},
  };
  run_rows(*this, rows, std::size(rows), update_light_switches, 1e-6f);

  static const ValueRow frame_rows[] = {
      // Retractable lights extend at rate 3 while their switch is beyond 0.
      {"extend", [] { switch_::land_lights_ret_left_pos = 1; }, &lights::land_ret_left_pos, 0.3f},
      {"stay in", [] { switch_::land_lights_ret_left_pos = 0; }, &lights::land_ret_left_pos, 0.0f},
      // Exit light battery: charges 0.5 s a second above 12 V on DC bus 1 (0.25 while lit), to 1080 s.
      {"charge", [] { toggle_switch::emer_exit_lights = 1; lights_state.emergency_exit_charge = 100; },
       &lights_state.emergency_exit_charge, 100.05f},
      {"12 V", [] { toggle_switch::emer_exit_lights = 1; lights_state.emergency_exit_charge = 100;
                    elec_bus_status.dc_bus1_volts = 12; }, &lights_state.emergency_exit_charge, 100},
      {"charge lit", [] { toggle_switch::emer_exit_lights = 1; lights_state.emergency_exit_charge = 100;
                          electric::ac_tnsbus1_status = electric::ac_tnsbus2_status = 0; },
       &lights_state.emergency_exit_charge, 100.025f},
      {"one AC bus", [] { toggle_switch::emer_exit_lights = 1; electric::ac_tnsbus1_status = 0; }, &generic[98], 0},
      {"full", [] { toggle_switch::emer_exit_lights = 1; lights_state.emergency_exit_charge = 1079.99f; },
       &lights_state.emergency_exit_charge, 1080},
      {"on burns", [] { toggle_switch::emer_exit_lights = 2; lights_state.emergency_exit_charge = 100; },
       &lights_state.emergency_exit_charge, 99.9f},
      {"on lit", [] { toggle_switch::emer_exit_lights = 2; }, &generic[98], 1},
      {"armed, DC bus 1 lost", [] { toggle_switch::emer_exit_lights = 1; electric::dc_bus1_status = 0; }, &generic[98], 1},
      {"flat", [] { toggle_switch::emer_exit_lights = 2; lights_state.emergency_exit_charge = 0.05f; },
       &lights_state.emergency_exit_charge, 0},
      // The plug-in flies the beacons and strobes, not the host.
      {"override", [] {}, &host_mirror.sim_flightmodel2_lights_override_beacons_and_strobes, 1},
      // Cabin utility, 11 A, on a side with an APU generator above 95 % or an engine generator.
      {"utility right on APU", [] { host_mirror.sim_cockpit2_electrical_APU_N1_percent = 96; electrical::apu_gen2_pos = 1; },
       &plugin_bus_loads[1], 11},
      {"APU 95 %", [] { host_mirror.sim_cockpit2_electrical_APU_N1_percent = 95; electrical::apu_gen2_pos = 1; },
       &plugin_bus_loads[1], 0},
      {"utility right on engine 2", [] { host_mirror.sim_flightmodel2_engines_engine_is_burning_fuel[1] = 1;
                                         host_mirror.sim_cockpit2_electrical_generator_on[1] = 1; },
       &plugin_bus_loads[1], 11},
      {"kept at 50 ft", [] { host_mirror.sim_cockpit2_electrical_APU_N1_percent = 96; electrical::apu_gen2_pos = 1;
                             host_mirror.sim_cockpit2_gauges_indicators_radio_altimeter_height_ft_pilot = 50; },
       &plugin_bus_loads[1], 11},
      {"right recirculation fan", [] { air::r_recirc_fan_pos = 1; }, &plugin_bus_loads[1], 4},
      {"turnoff light", [] { toggle_switch::rwy_light_left = 1; }, &generic[2], 1},
      {"engine keeps it aloft", [] { host_mirror.sim_flightmodel2_engines_engine_is_burning_fuel[1] = 1;
                                     host_mirror.sim_cockpit2_electrical_generator_on[1] = 1;
                                     host_mirror.sim_cockpit2_gauges_indicators_radio_altimeter_height_ft_pilot = 51; },
       &plugin_bus_loads[1], 11},
  };
  run_rows(*this, frame_rows, std::size(frame_rows), update_exterior_lights, 1e-3f);
}

// Wig-wag: the phase moves 1.5 a second, turns at 1 and at 0, and each side
// shows it (or its complement) no dimmer than 0.2.
TEST_F(LightValues, PulsingLandingLightsTurnAtBothEnds) {
  script_mirror.zuvadud_D738_effects_pulse_lite = 1.0f;
  switch_::land_lights_left_pos = switch_::land_lights_right_pos = 1.0f;
  frame_time = 1.0f / 3.0f;  // half the travel a frame
  const float sides[][2] = {{0.5f, 0.5f}, {1, 0.2f}, {1, 0.2f}, {0.5f, 0.5f}, {0.2f, 1}, {0.2f, 1}, {0.5f, 0.5f}};
  for (const auto& want : sides) {
    update_exterior_lights();
    EXPECT_NEAR(host_mirror.sim_cockpit2_switches_landing_lights_switch[0], want[0], 1e-6f);
    EXPECT_NEAR(host_mirror.sim_cockpit2_switches_landing_lights_switch[3], want[1], 1e-6f);
  }
  // All four lights, or the retractables alone, swap the same way: 0.15 into the cycle.
  struct Fit {
    float fixed, retractable, out[4];
  } fits[] = {{1, 1, {0.2f, 0.2f, 0.85f, 0.85f}}, {0, 1, {0, 0.2f, 0.85f, 0}}};
  for (const Fit& f : fits) {
    Reset();
    script_mirror.zuvadud_D738_effects_pulse_lite = 1.0f;
    switch_::land_lights_left_pos = switch_::land_lights_right_pos = f.fixed;
    lights_state.retractable_landing_left_on = lights_state.retractable_landing_right_on = f.retractable;
    update_exterior_lights();
    for (int i = 0; i < 4; ++i) {
      EXPECT_NEAR(host_mirror.sim_cockpit2_switches_landing_lights_switch[i], f.out[i], 1e-6f) << f.fixed << " " << i;
    }
  }
}

// Replay: each radio-altitude callout is up while lo < h <= hi and not
// disabled; engine 2's indications come alive with its N2.
TEST(ReplayValues, CalloutWindowsAndEngineTwoFlags) {
  struct Window {
    float* flag;
    int disable;
    float lo, hi;
  } windows[] = {
      {&cue_fmod::callouts_5, 0, 2, 9},          {&cue_fmod::callouts_10, 1, 5, 15},
      {&cue_fmod::callouts_20, 2, 2, 25},        {&cue_fmod::callouts_30, 3, 22, 35},
      {&cue_fmod::callouts_40, 4, 32, 45},       {&cue_fmod::callouts_50, 5, 42, 55},
      {&cue_fmod::callouts_60, 6, 52, 65},       {&cue_fmod::callouts_100, 7, 60, 110},
      {&cue_fmod::callouts_200, 8, 120, 210},    {&cue_fmod::callouts_300, 9, 220, 310},
      {&cue_fmod::callouts_400, 10, 320, 410},   {&cue_fmod::callouts_500, 11, 420, 510},
      {&cue_fmod::callouts_1000, 12, 900, 1010}, {&cue_fmod::callouts_1000s, 13, 800, 1010},
  };
  for (XPLMDataRef& h : bound_handles) h = nullptr;
  host_mirror = HostMirror{};
  script_mirror = ScriptMirror{};
  HostMirror& m = host_mirror;
  m.sim_flightmodel_position_vh_ind_fpm = -100.0f;
  auto at = [&m](float h) {
    m.sim_time_total_running_time_sec += 1.0f;
    m.sim_cockpit2_gauges_indicators_radio_altimeter_height_ft_pilot = h;
    update_cockpit_indications();
  };
  for (const Window& w : windows) {
    const float heights[][2] = {{w.lo, 0}, {w.lo + 0.5f, 1}, {w.hi, 1}, {w.hi + 0.5f, 0}};
    for (const auto& h : heights) {
      at(h[0]);
      EXPECT_EQ(*w.flag, h[1]) << w.lo << " " << h[0];
    }
    script_mirror.zuvadud_D738_fms_ra_callout_disable[w.disable] = 1.0f;
    at(w.hi);
    EXPECT_EQ(*w.flag, 0.0f) << w.lo << " disabled";
    script_mirror.zuvadud_D738_fms_ra_callout_disable[w.disable] = 0.0f;
  }
  // 2500 ft: up from 2500 down to above 2300, kept up to 2900.
  const float heights[][2] = {{2900.5f, 0}, {2500.5f, 0}, {2500, 1}, {2900, 1}, {2900.5f, 0}, {2300.5f, 1}, {2300, 0}};
  for (const auto& h : heights) {
    at(h[0]);
    EXPECT_EQ(cue_fmod::callouts_2500, h[1]) << h[0];
  }
  script_mirror.zuvadud_D738_fms_ra_callout_disable[14] = 1.0f;
  at(2400.0f);
  EXPECT_EQ(cue_fmod::callouts_2500, 0.0f);
  script_mirror.zuvadud_D738_fms_ra_callout_disable[14] = 0.0f;

  struct Engine {
    float n2, oil_press, oil_temp, ff;
  } engine_rows[] = {{5.6f, 1, 1, 1}, {5.5f, 1, 0, 1}, {2.8f, 1, 0, 1}, {2.7f, 0, 0, 1}, {0.02f, 0, 0, 1}, {0.01f, 0, 0, 0}};
  for (const Engine& e : engine_rows) {
    engine::indicators_N2_percent_2 = e.n2;
    at(0.0f);
    EXPECT_EQ(engine::eicas_oil_press2, e.oil_press) << e.n2;
    EXPECT_EQ(engine::eicas_oil_temp2, e.oil_temp) << e.n2;
    EXPECT_EQ(engine::eicas_ff2, e.ff) << e.n2;
  }
  // Reverse lever: 0.06 at idle reverse to 1 at full, from the throttle ratio.
  const float reverse[][2] = {{-0.1f, 0.06f}, {0.5f, 0.53f}, {1.1f, 1.0f}};
  m.sim_cockpit2_engine_actuators_prop_mode[1] = 3;
  for (const auto& r : reverse) {
    m.sim_cockpit2_engine_actuators_throttle_ratio[1] = r[0];
    at(0.0f);
    EXPECT_FLOAT_EQ(flt_ctrls::reverse_lever2, r[1]) << r[0];
  }
}

// A radio tuning selection outside the three panels or three VHF radios is
// ignored (it comes from a command's index).
TEST(RadioValues, TuningSelectionOutsideThePanelsIsIgnored) {
  const int32_t calls[][3] = {{-1, 0, 0}, {rtp_count, 0, 0}, {0, -1, 0}, {0, 3, 0}, {rtp_count - 1, 2, 1}};
  for (const auto& c : calls) {
    comm::radio_button = 0.0f;
    rtp_vhf_select(c[0], c[1]);
    EXPECT_EQ(comm::radio_button, static_cast<float>(c[2])) << c[0] << " " << c[1];
  }
  // The receiver selectors of the panel in charge switch the host's NAV and marker audio.
  for (XPLMDataRef& h : bound_handles) h = nullptr;
  host_mirror = HostMirror{};
  script_mirror = ScriptMirror{};
  for (float sel : {1.0f, 0.0f}) {
    comm::audio_sel_marker = comm::audio_sel_nav1 = comm::audio_sel_nav2 = sel;
    update_audio_radio_panels();
    const int want = sel != 0.0f ? 1 : 0;
    EXPECT_EQ(host_mirror.sim_cockpit2_radios_actuators_audio_marker_enabled, want);
    EXPECT_EQ(host_mirror.sim_cockpit2_radios_actuators_audio_selection_nav1, want);
    EXPECT_EQ(host_mirror.sim_cockpit2_radios_actuators_audio_selection_nav2, want);
  }
}

// The cockpit sees a flash when any lamp of the cycle is lit and the scripts
// ask for the reflection.
TEST_F(LightValues, CockpitFlashFollowsAnyLitLamp) {
  struct Case {
    float led;
    int strobes, beacon;
    float step, wanted;
    int flash;
  } cases[] = {
      {1, 1, 0, 0.1f, 1, 1},   // wing strobes only (LED timing)
      {1, 1, 0, 0.05f, 1, 1},  // tail strobe only
      {0, 0, 1, 0.2f, 1, 1},   // beacon only
      {0, 0, 1, 0.1f, 1, 0},   // nothing lit yet
      {1, 1, 0, 0.1f, 0, 0},   // not asked for
  };
  for (const Case& c : cases) {
    Reset();
    script_mirror.zuvadud_D738_effects_long_led_strobes = c.led;
    script_mirror.zuvadud_D738_strobe_cockpit = c.wanted;
    host_mirror.sim_cockpit2_switches_strobe_lights_on = c.strobes;
    host_mirror.sim_cockpit2_switches_beacon_on = c.beacon;
    toggle_switch::position_light_pos = c.strobes != 0 ? 1.0f : -1.0f;
    host_mirror.sim_cockpit2_switches_navigation_lights_on = 1;
    frame_time = c.step;
    update_exterior_lights();
    EXPECT_EQ(host_mirror.sim_flightmodel2_lights_strobe_flash_now, c.flash) << c.led << " " << c.step;
  }
}

// The flash cycle restarts after 1.4 s, with the strobes' flash.
TEST_F(LightValues, FlashCycleRestartsAfterOnePointFourSeconds) {
  host_mirror.sim_cockpit2_switches_strobe_lights_on = 1;
  toggle_switch::position_light_pos = 1.0f;
  host_mirror.sim_cockpit2_switches_navigation_lights_on = 1;
  frame_time = 0.125f;
  int first_flash = 0;
  for (int frame = 1; frame <= 16 && first_flash == 0; ++frame) {
    update_exterior_lights();
    if (lights_state.wing_strobe_flash == 1.0f) first_flash = frame;
  }
  EXPECT_EQ(first_flash, 12);  // 1.5 s: the first frame past 1.4 s
}

// Light spill: colour, size (the newer host's in brackets) and intensity of each group.
TEST(LightSpill, EachGroupOnBothHosts) {
  struct Group {
    float* array;
    float r, g, b, size, size12;
  } groups[] = {
      {light::spill_ratio_fire_warn_spill, 1, 0, 0, 0.15f, 1.35f},
      {light::spill_ratio_extinguisher_circuit_spill_apu, 0.19f, 1, 0.5f, 0.07f, 0.63f},
      {light::spill_ratio_master_caution_spill, 1, 1, 0, 0.15f, 1.35f},
      {light::spill_ratio_cabin_lights_spill, 1, 1, 0.8f, 3, 27},
      {light::spill_ratio_entry_lights_spill, 1, 1, 0.8f, 3, 27},
      {light::spill_ratio_cabin_emergency_lights_spill, 1, 0, 0, 2.2f, 19.8f},
      {light::spill_ratio_apu_avail_lights_spill, 0.53f, 0.86f, 0.92f, 0.03f, 0.27f},
      {light::spill_ratio_obs_radio_mark_lights_spill, 0.53f, 0.43f, 0, 0.03f, 0.27f},
  };
  for (int32_t version : {110000, 120000}) {
    host_version = version;
    init_light_spill();
    for (const Group& g : groups) {
      const float want[8] = {g.r, g.g, g.b, 0, version >= 120000 ? g.size12 : g.size, 1, 0, 0};
      for (int i = 0; i < 8; ++i) EXPECT_FLOAT_EQ(g.array[i], want[i]) << g.r << " " << g.size << " " << i;
    }
  }
}

// Array elements of the host's values: read as 0 and never written outside the array.
TEST(HostArrays, ElementsOutsideReadAsAbsentAndAreNotWritten) {
  for (XPLMDataRef& h : bound_handles) h = nullptr;
  host_mirror = HostMirror{};
  int nf = 0;
  int ni = 0;
  mirror_vf(bound::sim_flightmodel_weight_m_fuel, &nf);
  mirror_vi(bound::sim_flightmodel2_gear_on_ground, &ni);
  ASSERT_GT(nf, 0);
  ASSERT_GT(ni, 0);
  host_mirror.sim_flightmodel_weight_m_fuel[0] = 1.0f;
  host_mirror.sim_flightmodel_weight_m_fuel[nf - 1] = 2.0f;
  host_mirror.sim_flightmodel2_gear_on_ground[0] = 3;
  host_mirror.sim_flightmodel2_gear_on_ground[ni - 1] = 4;
  const int fi[][2] = {{-1, 0}, {0, 1}, {nf - 1, 2}, {nf, 0}};
  for (const auto& r : fi) EXPECT_EQ(mirror_vf_at(bound::sim_flightmodel_weight_m_fuel, r[0]), r[1]) << r[0];
  const int ii[][2] = {{-1, 0}, {0, 3}, {ni - 1, 4}, {ni, 0}};
  for (const auto& r : ii) EXPECT_EQ(mirror_vi_at(bound::sim_flightmodel2_gear_on_ground, r[0]), r[1]) << r[0];
  int32_t arr[4] = {0, 0, 0, 0};  // a host array of 3 and a guard element
  struct Write {
    int index;
    int32_t after[4];
  } writes[] = {{-1, {0, 0, 0, 0}}, {3, {0, 0, 0, 0}}, {2, {0, 0, 9, 0}}, {0, {9, 0, 9, 0}}};
  for (const Write& w : writes) {
    host_set_vi(bound::sim_cockpit2_electrical_battery_on, arr, 3, w.index, 9);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(arr[i], w.after[i]) << w.index << " " << i;
  }
}

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
