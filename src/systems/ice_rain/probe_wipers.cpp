// Probe heat and windshield wipers. Probe heat switches the host's
// angle-of-attack, pitot and static heaters per side from the probe switches,
// the automatic option and bus power; the wipers sweep from their selectors
// and publish the sweep angle and direction the wiper objects animate.
// Reads: the probe and wiper switches, "zuvadud/D738/probe_heat_auto", N2,
// the bus status values. Writes: the six host heaters (on change), the
// published wiper ratios and directions.
#include "systems/ice_rain/probe_wipers.h"

#include "core/binding.h"
#include "core/frame_values.h"
#include "systems/aircraft_systems.h"
#include "systems/electrical/bus_feeds.h"
#include "systems/electrical/electric_values.h"
#include "core/host_io.h"
#include "systems/switches/switch_values.h"
#include "systems/ice_rain/wiper_state.h"

WiperState wiper_state[2];

namespace {

// The three heaters of one side, as mirror fields and handles.
struct ProbeSide {
  bound::Id aoa, pitot, stat;
};
constexpr ProbeSide kCaptProbes{bound::sim_cockpit2_ice_ice_AOA_heat_on, bound::sim_cockpit2_ice_ice_pitot_heat_on_pilot,
                                bound::sim_cockpit2_ice_ice_static_heat_on_pilot};
constexpr ProbeSide kFoProbes{bound::sim_cockpit2_ice_ice_AOA_heat_on_copilot,
                              bound::sim_cockpit2_ice_ice_pitot_heat_on_copilot,
                              bound::sim_cockpit2_ice_ice_static_heat_on_copilot};

void probe_side(const ProbeSide& side, float sw, float bus, bool auto_heat) {
  int32_t want;
  if (sw == 1.0f) {
    want = bus != 0.0f ? 1 : 0;
  } else if (sw == 0.0f) {
    want = (auto_heat && bus != 0.0f) ? 1 : 0;
  } else {
    return;  // switch in motion: heaters stay as they are
  }
  host_set_i(side.aoa, want);
  host_set_i(side.pitot, want);
  host_set_i(side.stat, want);
}

constexpr float kSweepDeg = 72.0f;
constexpr float kEndDwellS = 0.03f;
constexpr float kIntervalS = 7.0f;

void wiper_side(WiperState& w, float selector, float bus, float& request, float& ratio, float& up) {
  if (bus != 1.0f) {
    // The wiper stops where it is and will head for park when power returns.
    up = -1.0f;
    w.target = 0.0f;
    return;
  }
  if (ratio == kSweepDeg) {
    w.timer += frame_time;
    if (w.timer >= kEndDwellS) {
      w.target = 0.0f;
      w.timer = 0.0f;
    }
  }
  if (selector > 0.0f && ratio == 0.0f) {
    w.timer += frame_time;
    if (selector == 1.0f) {
      if (w.timer >= kIntervalS || request == 1.0f) {
        w.timer = 0.0f;
        w.target = kSweepDeg;
        request = 0.0f;
      }
    } else if (w.timer >= kEndDwellS) {
      w.timer = 0.0f;
      w.target = kSweepDeg;
    }
  }
  if (selector == 1.0f || selector == 2.0f) {
    w.rate = 2.0f;
  } else if (selector == 3.0f) {
    w.rate = 4.0f;
  }
  w.phase = wiper_phase_step(w.phase, w.target, w.rate);
  ratio = w.phase < 0.0f ? 0.0f : (w.phase > 1.0f ? kSweepDeg : w.phase * kSweepDeg);
  if (w.target != 0.0f) {
    up = 1.0f;
  } else {
    up = ratio > 0.0f ? 0.0f : -1.0f;
  }
}

}  // namespace

float wiper_phase_step(float phase, float target, float rate) {
  float p = target != 0.0f ? phase + frame_time * rate : phase - frame_time * rate;
  if (!(p > 0.0f)) p = 0.0f;  // NaN parks
  if (p > 1.0f) p = 1.0f;
  return p;
}

void probe_heat_to_host() {
  const bool auto_heat = script_mirror.zuvadud_D738_probe_heat_auto != 0.0f &&
                         (host_mirror.sim_flightmodel2_engines_N2_percent[0] > 50.0f ||
                          host_mirror.sim_flightmodel2_engines_N2_percent[1] > 50.0f);
  probe_side(kCaptProbes, toggle_switch::capt_probes_pos, fed01(Consumer::capt_probe_heat), auto_heat);
  probe_side(kFoProbes, toggle_switch::fo_probes_pos, fed01(Consumer::fo_probe_heat), auto_heat);
}

void update_windshield_wipers() {
  wiper_side(wiper_state[0], switches::left_wiper_pos, fed01(Consumer::left_wiper), left_wiper_int_start,
             others::left_wiper_ratio, others::left_wiper_up);
  wiper_side(wiper_state[1], switches::right_wiper_pos, fed01(Consumer::right_wiper), right_wiper_int_start,
             others::right_wiper_ratio, others::right_wiper_up);
}
