// Reverse lever logic: a written reverse lever selects the engine's reverser
// mode on the host ("sim/cockpit2/engine/actuators/prop_mode") and sets its
// throttle ratio; the host mirrors of prop mode, throttle ratio and reverse
// ratio are updated with each write so the frame that follows sees them.
#include "systems/flight_controls/reverse_levers.h"

#include <cmath>

#include "core/binding.h"
#include "core/host_io.h"
#include "systems/fire/fire_values.h"
#include "systems/flight_controls/flight_control_values.h"
#include "systems/hydraulics/hydraulic_values.h"

namespace {

void write_pairs(bool prop, bool ratio, bool reverse_ratio) {
  HostMirror& h = host_mirror;
  if (prop) host_send_vi(bound::sim_cockpit2_engine_actuators_prop_mode, h.sim_cockpit2_engine_actuators_prop_mode, 2);
  if (ratio) {
    host_send_vf(bound::sim_cockpit2_engine_actuators_throttle_ratio, h.sim_cockpit2_engine_actuators_throttle_ratio, 2);
  }
  if (reverse_ratio) {
    host_send_vf(bound::sim_cockpit2_engine_actuators_throttle_jet_rev_ratio,
                 h.sim_cockpit2_engine_actuators_throttle_jet_rev_ratio, 2);
  }
}

// e: 0 or 1; powered: the reverser's hydraulic system or standby is up.
void lever_logic(int e, float lever, bool powered) {
  HostMirror& h = host_mirror;
  int32_t& prop = h.sim_cockpit2_engine_actuators_prop_mode[e];
  float& ratio = h.sim_cockpit2_engine_actuators_throttle_ratio[e];
  if (!std::isfinite(lever)) lever = 0.0f;  // the cockpit's written lever
  const float ra = h.sim_cockpit2_gauges_indicators_radio_altimeter_height_ft_pilot;
  if (powered) {
    if (prop != 3) {
      if (!(lever >= 0.06f && ra < 10.0f)) return;
      prop = 3;
      write_pairs(true, false, false);
    } else if (lever == 0.0f) {
      prop = 1;
      ratio = 0.0f;
      write_pairs(true, true, false);
      return;
    } else if (!(ra < 10.0f)) {
      prop = 1;
      ratio = 0.0f;
      h.sim_cockpit2_engine_actuators_throttle_jet_rev_ratio[e] = 0.0f;
      write_pairs(true, true, true);
      return;
    }
  }
  if (prop != 3) return;
  ratio = lever < 0.06f ? 0.0f : (lever > 1.0f ? 1.0f : (lever - 0.06f) / 0.94f);
  write_pairs(false, true, false);
}

}  // namespace

bool reverser_powered(int e) {
  const float own = e == 0 ? hydraulic::A_status : hydraulic::B_status;
  const float pulled = e == 0 ? fire::engine01_ext_switch_pos_arm : fire::engine02_ext_switch_pos_arm;
  return (own == 1.0f || hydraulic::standby_status == 1.0f) && pulled != 1.0f;
}

void reverse_lever_logic() { lever_logic(0, flt_ctrls::reverse_lever1, reverser_powered(0)); }

void reverse_lever_logic_eng2() { lever_logic(1, flt_ctrls::reverse_lever2, reverser_powered(1)); }
