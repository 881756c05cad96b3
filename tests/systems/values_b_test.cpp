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
