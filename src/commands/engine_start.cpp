// Command handlers of the engine start panel (start selectors, start source),
// the start levers, the APU start switch, the N1 set source knob, the fuel
// panel (boost pumps, crossfeed, fuel-used switch) and the take-overs of the
// host's six thrust reverser commands.
//
// The handlers move positions, arm delay timers and at most issue the host's
// APU on command or write the host's prop modes; the engine start, fuel, APU
// and thrust lever models read the positions on the next frame.
#include "commands/command_handlers.h"
#include "core/command_refs.h"
#include "commands/switch_moves.h"
#include "core/binding.h"
#include "core/host_io.h"
#include "engines/engine_state.h"
#include "engines/engine_values.h"
#include "systems/apu_start/apu_start_state.h"
#include "systems/delay_timers.h"
#include "systems/electrical/bus_feeds.h"
#include "systems/electrical/electric_values.h"
#include "systems/flight_controls/reverse_levers.h"
#include "systems/fuel/fuel_values.h"
#include "systems/instruments/instrument_values.h"
#include "systems/switches/switch_memory.h"
#include "systems/switches/switch_targets.h"
#include "systems/switches/switch_values.h"

namespace {

// ---- Engine start selectors: 0 GRD, 1 OFF, 2 CONT, 3 FLT ------------------

struct StartSelector {
  float* pos;     // published position
  float* at_off;  // 1 while the selector is at OFF
  float* target;  // where the knob animation turns it
  float* angle;   // the animated angle, set directly only to and from FLT
};

const StartSelector kSelectors[2] = {
    {&engine::starter1_pos, &engine::starter1_pos2, &starter1_knob_target, &travel_targets.eng1_start_turn},
    {&engine::starter2_pos, &engine::starter2_pos2, &starter2_knob_target, &travel_targets.eng2_start_turn},
};

int selector_set_handler(int eng, float position, XPLMCommandPhase phase) {
  if (phase != phase_begin) return 0;
  const StartSelector& s = kSelectors[eng];
  *s.pos = position;
  *s.at_off = position == 1.0f ? 1.0f : 0.0f;
  *s.target = position;
  return 0;
}

// Between GRD, OFF and CONT only the target moves and the animation carries
// the position; to and from FLT the position jumps at once.
int selector_left_handler(int eng, XPLMCommandPhase phase) {
  if (phase != phase_begin) return 0;
  const StartSelector& s = kSelectors[eng];
  const float pos = *s.pos;
  if (pos == 1.0f) {
    *s.target = 0.0f;
  } else if (pos == 2.0f) {
    *s.target = 1.0f;
  } else if (pos == 3.0f) {
    *s.pos = 2.0f;
    *s.at_off = 0.0f;
    *s.target = 2.0f;
    *s.angle = 2.0f;
  }
  return 0;
}

int selector_right_handler(int eng, XPLMCommandPhase phase) {
  if (phase != phase_begin) return 0;
  const StartSelector& s = kSelectors[eng];
  const float pos = *s.pos;
  if (pos == 0.0f) {
    *s.target = 1.0f;
  } else if (pos == 1.0f) {
    *s.target = 2.0f;
  } else if (pos == 2.0f) {
    *s.pos = 3.0f;
    *s.at_off = 0.0f;
    *s.target = 3.0f;
    *s.angle = 3.0f;
  }
  return 0;
}

// ---- Start levers: 0 CUTOFF, 1 IDLE --------------------------------------

float* const kStartLevers[2] = {&engine::mixture_ratio1, &engine::mixture_ratio2};

int lever_set_handler(int eng, float value, XPLMCommandPhase phase) {
  if (phase == phase_begin) *kStartLevers[eng] = value;
  return 0;
}

int lever_toggle_handler(int eng, XPLMCommandPhase phase) {
  if (phase == phase_begin) toggle_switch_pos(*kStartLevers[eng]);
  return 0;
}

int lever_hold_handler(int eng, XPLMCommandPhase phase) {
  *kStartLevers[eng] = phase == phase_end ? 0.0f : 1.0f;
  return 0;
}

// ---- Fuel panel -----------------------------------------------------------


constexpr float kFuelUsedShow_s = 10.0f;
constexpr float kFuelUsedResetShow_s = 1.0f;
constexpr float kFuelUsedReset_s = 1.0f;

// ---- APU start switch: 0 OFF, 1 ON, 2 START (springs back to ON) ----------

constexpr float kApuLowOilCheck_s = 1.5f;

// ---- Thrust reversers -----------------------------------------------------

constexpr int32_t kPropNormal = 1;
constexpr int32_t kPropReverse = 3;
constexpr float kReverseMaxRadioAlt_ft = 10.0f;
constexpr float kLeverIdle = 0.02f;

enum Engines { eng_1 = 1, eng_2 = 2, eng_both = 3 };

bool engine_in(Engines which, int e) { return (which & (1 << e)) != 0; }

// Engine 1's reverser runs on hydraulic system A, engine 2's on B, either
// also on standby.
bool lever_at_idle(int e) { return (e == 0 ? engine::thrust1_leveler : engine::thrust2_leveler) < kLeverIdle; }

bool aircraft_low() {
  return host_mirror.sim_cockpit2_gauges_indicators_radio_altimeter_height_ft_pilot <= kReverseMaxRadioAlt_ft;
}

void send_prop_modes() {
  host_send_vi(bound::sim_cockpit2_engine_actuators_prop_mode, host_mirror.sim_cockpit2_engine_actuators_prop_mode, 2);
}

int reverse_hold_handler(Engines which, XPLMCommandPhase phase) {
  if (cockpit::throttle_override != 0.0f) return 0;
  ThrustLeverState& t = thrust_lever_state;
  int32_t* prop = host_mirror.sim_cockpit2_engine_actuators_prop_mode;
  // Held through the flare, the reverse comes as the interlock releases:
  // the press is tried again while it is held.
  if (phase == phase_begin || phase == phase_continue) {
    if (which != eng_both && !reverser_powered(which == eng_1 ? 0 : 1)) return 0;
    bool changed = false;
    for (int e = 0; e < 2; ++e) {
      if (!engine_in(which, e) || !reverser_powered(e)) continue;
      if (!(lever_at_idle(e) || prop[e] == kPropReverse) || !aircraft_low()) continue;
      t.reverser_engaged[e] = 1.0f;
      t.reverser_held[e] = 1.0f;
      if (prop[e] == kPropNormal) {
        prop[e] = kPropReverse;
        changed = true;
      }
    }
    if (changed) send_prop_modes();
  } else if (phase == phase_end) {
    // Letting go always lets go: whatever powers the reverser, a released key
    // must not leave the engine commanded to full reverse.
    for (int e = 0; e < 2; ++e) {
      if (engine_in(which, e)) t.reverser_held[e] = 0.0f;
    }
  }
  return 0;
}

int reverse_toggle_handler(Engines which, XPLMCommandPhase phase) {
  if (cockpit::throttle_override != 0.0f || phase != phase_begin) return 0;
  int32_t* prop = host_mirror.sim_cockpit2_engine_actuators_prop_mode;
  bool changed = false;
  for (int e = 0; e < 2; ++e) {
    if (!engine_in(which, e) || !lever_at_idle(e) || !reverser_powered(e)) continue;
    const int32_t was = prop[e];
    if (was == kPropNormal && aircraft_low()) {
      prop[e] = kPropReverse;
    } else {
      prop[e] = kPropNormal;
      thrust_lever_state.reverser_engaged[e] = 0.0f;
    }
    changed = changed || prop[e] != was;
  }
  if (changed) send_prop_modes();
  return 0;
}

}  // namespace

int cmd_rotary_eng1_start_grd(XPLMCommandRef, XPLMCommandPhase ph, void*) { return selector_set_handler(0, 0.0f, ph); }
int cmd_rotary_eng1_start_off(XPLMCommandRef, XPLMCommandPhase ph, void*) { return selector_set_handler(0, 1.0f, ph); }
int cmd_rotary_eng1_start_cont(XPLMCommandRef, XPLMCommandPhase ph, void*) { return selector_set_handler(0, 2.0f, ph); }
int cmd_rotary_eng1_start_flt(XPLMCommandRef, XPLMCommandPhase ph, void*) { return selector_set_handler(0, 3.0f, ph); }
int cmd_rotary_eng2_start_grd(XPLMCommandRef, XPLMCommandPhase ph, void*) { return selector_set_handler(1, 0.0f, ph); }
int cmd_rotary_eng2_start_off(XPLMCommandRef, XPLMCommandPhase ph, void*) { return selector_set_handler(1, 1.0f, ph); }
int cmd_rotary_eng2_start_cont(XPLMCommandRef, XPLMCommandPhase ph, void*) { return selector_set_handler(1, 2.0f, ph); }
int cmd_rotary_eng2_start_flt(XPLMCommandRef, XPLMCommandPhase ph, void*) { return selector_set_handler(1, 3.0f, ph); }
int cmd_knob_eng1_start_left(XPLMCommandRef, XPLMCommandPhase ph, void*) { return selector_left_handler(0, ph); }
int cmd_knob_eng1_start_right(XPLMCommandRef, XPLMCommandPhase ph, void*) { return selector_right_handler(0, ph); }
int cmd_knob_eng2_start_left(XPLMCommandRef, XPLMCommandPhase ph, void*) { return selector_left_handler(1, ph); }
int cmd_knob_eng2_start_right(XPLMCommandRef, XPLMCommandPhase ph, void*) { return selector_right_handler(1, ph); }

int cmd_toggle_switch_eng_start_source_left(XPLMCommandRef, XPLMCommandPhase ph, void*) {
  if (ph == phase_begin) step_position(toggle_switch::eng_start_source, -1, -1, 1);
  return 0;
}
int cmd_toggle_switch_eng_start_source_right(XPLMCommandRef, XPLMCommandPhase ph, void*) {
  if (ph == phase_begin) step_position(toggle_switch::eng_start_source, 1, -1, 1);
  return 0;
}

int cmd_engine_mixture1_cutoff(XPLMCommandRef, XPLMCommandPhase ph, void*) { return lever_set_handler(0, 0.0f, ph); }
int cmd_engine_mixture1_idle(XPLMCommandRef, XPLMCommandPhase ph, void*) { return lever_set_handler(0, 1.0f, ph); }
int cmd_engine_mixture1_toggle(XPLMCommandRef, XPLMCommandPhase ph, void*) { return lever_toggle_handler(0, ph); }
int cmd_engine_mixture1_hold(XPLMCommandRef, XPLMCommandPhase ph, void*) { return lever_hold_handler(0, ph); }
int cmd_engine_mixture2_cutoff(XPLMCommandRef, XPLMCommandPhase ph, void*) { return lever_set_handler(1, 0.0f, ph); }
int cmd_engine_mixture2_idle(XPLMCommandRef, XPLMCommandPhase ph, void*) { return lever_set_handler(1, 1.0f, ph); }
int cmd_engine_mixture2_toggle(XPLMCommandRef, XPLMCommandPhase ph, void*) { return lever_toggle_handler(1, ph); }
int cmd_engine_mixture2_hold(XPLMCommandRef, XPLMCommandPhase ph, void*) { return lever_hold_handler(1, ph); }

int cmd_spring_toggle_switch_APU_start_pos_dn(XPLMCommandRef, XPLMCommandPhase ph, void*) {
  float& sw = spring_toggle_switch::APU_start_pos;
  const bool powered = fed(Consumer::apu_control);
  if (ph == phase_begin) {
    if (sw == 0.0f) {
      sw = 1.0f;
      if (powered && apu_start_lock == 0.0f) {
        issue_command_once(HostCmd::electrical_APU_on);
        delay_timers.apu_low_oil_delay = kApuLowOilCheck_s;
        apu_on_latch = 1.0f;
      }
    } else if (sw == 1.0f) {
      sw = 2.0f;
      // START restarts the sequence even when a start is already under way.
      if (powered && apu_start_ready == 1.0f && apu_start_lock == 0.0f) {
        delay_flags.apu_start_stage = 1.0f;
        delay_flags.apu_start_request = 1.0f;
      }
    }
  } else if (ph == phase_end) {
    if (sw == 2.0f) sw = 1.0f;
  }
  return 0;
}

int cmd_spring_toggle_switch_APU_start_pos_up(XPLMCommandRef, XPLMCommandPhase ph, void*) {
  if (ph == phase_begin && spring_toggle_switch::APU_start_pos == 1.0f) spring_toggle_switch::APU_start_pos = 0.0f;
  return 0;
}

// N1 set source, left to right -2, -1, 0 (AUTO), 1 (BOTH). The knob turns by
// itself; what each detent hands over is the engine display's.
int cmd_toggle_switch_n1_set_source_left(XPLMCommandRef, XPLMCommandPhase ph, void*) {
  if (ph != phase_begin) return 0;
  float& src = toggle_switch::n1_set_source;
  if (src == 1.0f || src == 0.0f || src == -1.0f) {
    src -= 1.0f;
    n1_set_source_turned();
  }
  return 0;
}

int cmd_toggle_switch_n1_set_source_right(XPLMCommandRef, XPLMCommandPhase ph, void*) {
  if (ph != phase_begin) return 0;
  float& src = toggle_switch::n1_set_source;
  if (src == -2.0f || src == -1.0f || src == 0.0f) {
    src += 1.0f;
    n1_set_source_turned();
  }
  return 0;
}

int cmd_toggle_switch_fuel_pump_lft1(XPLMCommandRef, XPLMCommandPhase ph, void*) { return toggle_handler(fuel::fuel_tank_pos_lft1, ph); }
int cmd_toggle_switch_fuel_pump_lft2(XPLMCommandRef, XPLMCommandPhase ph, void*) { return toggle_handler(fuel::fuel_tank_pos_lft2, ph); }
int cmd_toggle_switch_fuel_pump_ctr1(XPLMCommandRef, XPLMCommandPhase ph, void*) { return toggle_handler(fuel::fuel_tank_pos_ctr1, ph); }
int cmd_toggle_switch_fuel_pump_ctr2(XPLMCommandRef, XPLMCommandPhase ph, void*) { return toggle_handler(fuel::fuel_tank_pos_ctr2, ph); }
int cmd_toggle_switch_fuel_pump_rgt1(XPLMCommandRef, XPLMCommandPhase ph, void*) { return toggle_handler(fuel::fuel_tank_pos_rgt1, ph); }
int cmd_toggle_switch_fuel_pump_rgt2(XPLMCommandRef, XPLMCommandPhase ph, void*) { return toggle_handler(fuel::fuel_tank_pos_rgt2, ph); }

int cmd_toggle_switch_crossfeed_valve_on(XPLMCommandRef, XPLMCommandPhase ph, void*) {
  if (ph == phase_begin && knobs::cross_feed_pos == 0.0f) knobs::cross_feed_pos = 1.0f;
  return 0;
}
int cmd_toggle_switch_crossfeed_valve_off(XPLMCommandRef, XPLMCommandPhase ph, void*) {
  if (ph == phase_begin && knobs::cross_feed_pos == 1.0f) knobs::cross_feed_pos = 0.0f;
  return 0;
}

// Held down the fuel flow indicators show fuel used for 10 s; held up they
// reset it and show the zero for a second. Without the counters' power the
// switch moves and does nothing more.
int cmd_toggle_switch_fuel_flow_dn(XPLMCommandRef, XPLMCommandPhase ph, void*) {
  if (ph == phase_begin) {
    toggle_switch::fuel_flow_pos = 1.0f;
    if (!fed(Consumer::fuel_used_counter)) return 0;
    cockpit::fuel_flow_used_show = 1.0f;
    delay_timers.fuel_flow_show_delay = kFuelUsedShow_s;
  } else if (ph == phase_end) {
    toggle_switch::fuel_flow_pos = 0.0f;
  }
  return 0;
}

int cmd_toggle_switch_fuel_flow_up(XPLMCommandRef, XPLMCommandPhase ph, void*) {
  if (ph == phase_begin) {
    toggle_switch::fuel_flow_pos = -1.0f;
    if (!fed(Consumer::fuel_used_counter)) return 0;
    cockpit::fuel_flow_used1 = 0.0f;
    cockpit::fuel_flow_used2 = 0.0f;
    cockpit::fuel_flow_used_show = 1.0f;
    delay_flags.fuel_flow_reset_flag = 1.0f;
    delay_timers.fuel_flow_show_delay = kFuelUsedResetShow_s;
    delay_timers.fuel_flow_reset_delay = kFuelUsedReset_s;
  } else if (ph == phase_end) {
    toggle_switch::fuel_flow_pos = 0.0f;
  }
  return 0;
}

int hook_engines_thrust_reverse_hold(XPLMCommandRef, XPLMCommandPhase ph, void*) { return reverse_hold_handler(eng_both, ph); }
int hook_engines_thrust_reverse_hold_1(XPLMCommandRef, XPLMCommandPhase ph, void*) { return reverse_hold_handler(eng_1, ph); }
int hook_engines_thrust_reverse_hold_2(XPLMCommandRef, XPLMCommandPhase ph, void*) { return reverse_hold_handler(eng_2, ph); }
int hook_engines_thrust_reverse_toggle(XPLMCommandRef, XPLMCommandPhase ph, void*) { return reverse_toggle_handler(eng_both, ph); }
int hook_engines_thrust_reverse_toggle_1(XPLMCommandRef, XPLMCommandPhase ph, void*) { return reverse_toggle_handler(eng_1, ph); }
int hook_engines_thrust_reverse_toggle_2(XPLMCommandRef, XPLMCommandPhase ph, void*) { return reverse_toggle_handler(eng_2, ph); }
