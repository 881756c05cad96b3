// The replay substitutes of the cockpit indications: callout windows and
// the engine two flags.
#include <gtest/gtest.h>

#include "alerting/aural_cues.h"
#include "core/binding.h"
#include "engines/engine_values.h"
#include "systems/flight_controls/flight_control_values.h"
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

}  // namespace
