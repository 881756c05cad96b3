// Command handlers of the cockpit area: trim. The stabilizer trim from the
// trim wheel, the yoke switches and the host's own trim commands; the trim
// cutout switches with their guards; the override switch and its cover; and
// the aileron and rudder trim switches (whose host trim still acts, the rudder's
// only while its actuator has power).
//
// The pitch trim handlers write the host's elevator trim at once (mirror
// first, then the host) and hand the new value to the trim wheel; the
// switch handlers only move positions the systems step reads next frame.
#include <cmath>

#include "commands/command_handlers.h"
#include "core/command_refs.h"
#include "commands/switch_moves.h"
#include "commands/trim_disconnect.h"
#include "core/binding.h"
#include "core/host_io.h"
#include "core/frame_values.h"
#include "core/pitch_trim.h"
#include "systems/delay_timers.h"
#include "systems/electrical/bus_feeds.h"
#include "systems/flight_controls/elec_trim_state.h"
#include "systems/electrical/electric_values.h"
#include "systems/flight_controls/flight_control_values.h"
#include "systems/switches/switch_targets.h"
#include "systems/switches/switch_values.h"
#include "systems/flight_controls/trim_command_state.h"

namespace {


// Travel limits of the yoke switches (the wheel reaches the full -1..1).
constexpr float kYokeNoseUpLimit = 0.7192980051040649f;
constexpr float kYokeNoseDownLimitFlapsUp = -0.514618992805481f;
constexpr float kYokeNoseDownLimitFlapsOut = -0.9707589745521545f;

// Beyond this column deflection against the trim the yoke switches are cut
// out, unless the override switch is set.
constexpr float kColumnCutout = 0.4f;

enum TrimDirection : int { nose_down = -1, nose_up = 1 };

void write_elevator_trim(float trim) {
  host_mirror.sim_cockpit2_controls_elevator_trim = trim;
  host_send_f(bound::sim_cockpit2_controls_elevator_trim, trim);
}

bool trim_failed() { return host_mirror.sim_operation_failures_rel_trim_elv == kHostFailed; }

void hand_trim_to_wheel(float trim) {
  trim_wheel_hold = trim;
  trim_wheel_target = trim;
}

// The trim wheel (and the commands that stand for it): 0.01 of travel per
// second, up to the full -1..1.
void manual_pitch_trim(XPLMCommandPhase phase, TrimDirection dir, bool moves_wheel_at_once) {
  if (phase == phase_end) {
    pitch_trim_running = 0.0f;
    return;
  }
  if (phase != phase_begin && phase != phase_continue) return;
  // A NaN acceleration refuses the trim like a violent one.
  if (!(std::fabs(host_mirror.sim_flightmodel_position_local_ay) < 3.0f) || trim_failed()) {
    pitch_trim_running = 0.0f;
    trim_wheel_pulse() = 0.0f;
    return;
  }
  if (phase == phase_begin && trim_wheel_pulse_timer() == 0.0f) {
    trim_wheel_pulse_timer() = 0.55f;
    trim_wheel_pulse() = 1.0f;
  }
  const double current = host_mirror.sim_cockpit2_controls_elevator_trim;
  double next = current + static_cast<double>(dir) * static_cast<double>(frame_time) * 0.01;
  if (dir == nose_down && next < -1.0) next = -1.0;
  if (dir == nose_up && next > 1.0) next = 1.0;
  const float trim = static_cast<float>(next);
  write_elevator_trim(trim);
  hand_trim_to_wheel(trim);
  if (moves_wheel_at_once) flt_ctrls::trim_wheel = trim;
  disconnect_autopilot_on_trim();
  pitch_trim_running = (trim > -1.0f && trim < 1.0f) ? 1.0f : 0.0f;
}

void yoke_trim_release(TrimDirection dir) {
  switch_::capt_trim_pos = 0.515f;
  trim_wheel_fast_run = 0.0f;
  trim_wheel_slow_run = 0.0f;
  switch_::el_trim_cfy = 0;
  if (elec_trim_moved != 0) {
    // The motor runs on a little after the switch is let go.
    const float run_on = elec_trim_fast_mode == 1 ? 0.001f : 0.0003f;
    trim_wheel_target = trim_wheel_hold + static_cast<float>(dir) * run_on;
  }
  elec_trim_moved = 0;
}

// The captain's yoke switches: the electric trim motor at the rate the
// systems step sets, inside the yoke's own travel limits.
void yoke_pitch_trim(XPLMCommandPhase phase, TrimDirection dir) {
  if (phase == phase_end) {
    yoke_trim_release(dir);
    return;
  }
  if (phase != phase_begin && phase != phase_continue) return;
  const bool down = dir == nose_down;
  switch_::capt_trim_pos = down ? 1.0f : 0.0f;
  switch_::el_trim_cfy = down ? 2 : 1;

  const float down_limit = host_mirror.sim_cockpit2_controls_flap_handle_deploy_ratio == 0.0f
                               ? kYokeNoseDownLimitFlapsUp
                               : kYokeNoseDownLimitFlapsOut;
  const float current = host_mirror.sim_cockpit2_controls_elevator_trim;
  bool column_refuses = false;
  if (toggle_switch::stab_trim_overide_pos == 0.0f) {
    const float column = host_mirror.sim_cockpit2_controls_yoke_pitch_ratio;
    column_refuses = down ? column > kColumnCutout : column < -kColumnCutout;
  }
  const bool in_range = down ? (current >= down_limit && current <= 1.0f)
                             : (current >= -1.0f && current <= kYokeNoseUpLimit);
  // A travel time that is not a positive number would make the step
  // infinite: the motor then stays still.
  const float travel_s = elec_trim_travel_time;
  const bool moves = fed(Consumer::stab_trim_main_elec) && !yoke_trim_cut_out() &&
                     in_range && !trim_failed() && !column_refuses && travel_s > 0.0f;
  if (!moves) {
    trim_wheel_fast_run = 0.0f;
    trim_wheel_slow_run = 0.0f;
    return;
  }
  if (phase == phase_begin) {
    if (elec_trim_fast_mode == 0) {
      if (elec_trim_click_slow_timer() == 0.0f) {
        elec_trim_click_slow_timer() = 0.55f;
        elec_trim_click_slow() = 1.0f;
      }
    } else if (elec_trim_click_fast_timer() == 0.0f) {
      elec_trim_click_fast_timer() = 0.37f;
      elec_trim_click_fast() = 1.0f;
    }
  }
  const float step = 2.0f / travel_s * frame_time;
  float trim;
  if (down) {
    trim = current - step;
    if (trim < -1.0f) trim = -1.0f;
    if (trim < down_limit) trim = down_limit;
    if (trim > 1.0f) trim = 1.0f;
  } else {
    trim = current + step;
    if (trim > 1.0f) trim = 1.0f;
    if (trim > kYokeNoseUpLimit) trim = kYokeNoseUpLimit;
    if (trim < -1.0f) trim = -1.0f;
  }
  write_elevator_trim(trim);
  hand_trim_to_wheel(trim);
  disconnect_autopilot_on_trim();
  const bool short_of_limit = down ? current > down_limit + 0.000001f : current < kYokeNoseUpLimit;
  if (short_of_limit) {
    trim_wheel_fast_run = elec_trim_fast_mode == 1 ? 1.0f : 0.0f;
    trim_wheel_slow_run = elec_trim_fast_mode == 1 ? 0.0f : 1.0f;
  } else {
    trim_wheel_fast_run = 0.0f;
    trim_wheel_slow_run = 0.0f;
  }
  elec_trim_moved = 1;
}

// The host's trim A and B commands only report their phase to the systems step.
void record_channel_phase(float& slot, XPLMCommandPhase phase) {
  if (phase == phase_begin) {
    slot = 1.0f;
  } else if (phase == phase_continue) {
    slot = 2.0f;
  } else if (phase == phase_end) {
    slot = 3.0f;
  }
}

// Stabilizer trim cutout switch under its guard.
struct GuardedCutout {
  float& guard;
  float& cutout;
};

GuardedCutout ap_cutout() { return {toggle_switch::ap_trim_lock_pos, toggle_switch::ap_trim_pos}; }
GuardedCutout el_cutout() { return {toggle_switch::el_trim_lock_pos, toggle_switch::el_trim_pos}; }

// Closing the guard returns the switch to normal.
void guard_lift(GuardedCutout c, XPLMCommandPhase phase) {
  if (phase != phase_begin) return;
  if (c.guard == 0.0f) {
    c.guard = 1.0f;
  } else {
    c.guard = 0.0f;
    c.cutout = 0.0f;
  }
}

void cutout_flip(GuardedCutout c, XPLMCommandPhase phase) {
  if (phase == phase_begin && c.guard != 0.0f) toggle_switch_pos(c.cutout);
}

void cutout_set(GuardedCutout c, float value) {
  c.cutout = value;
  c.guard = value;
}

// A held key: one value while held, the other once released.
void cutout_held(GuardedCutout c, XPLMCommandPhase phase, float held, float released) {
  if (phase == phase_begin) {
    cutout_set(c, held);
  } else if (phase == phase_end) {
    cutout_set(c, released);
  }
}

void trim_switch_held(float& sw, XPLMCommandPhase phase, float held) { momentary(sw, phase, held, 0.0f); }

}  // namespace

// Under its closed guard the override switch stays at NORM; only the move
// back to NORM gets through.
int cmd_toggle_switch_stab_trim_overide(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  float& pos = toggle_switch::stab_trim_overide_pos;
  if (phase == phase_begin && (pos != 0.0f || !guard_down(toggle_switch::stab_trim_overide_cover_pos))) {
    toggle_switch_pos(pos);
  }
  return 0;
}

int cmd_toggle_switch_stab_trim_overide_cover(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  if (phase == phase_begin) toggle_switch_pos(stab_trim_overide_cover_target);
  return 0;
}

int cmd_toggle_switch_el_trim(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  cutout_flip(el_cutout(), phase);
  return 0;
}

int cmd_toggle_switch_ap_trim(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  cutout_flip(ap_cutout(), phase);
  return 0;
}

int cmd_toggle_switch_el_trim_lock(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  guard_lift(el_cutout(), phase);
  return 0;
}

int cmd_toggle_switch_ap_trim_lock(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  guard_lift(ap_cutout(), phase);
  return 0;
}

int cmd_toggle_switch_el_trim_w_guard(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  cutout_held(el_cutout(), phase, 0.0f, 1.0f);
  return 0;
}

int cmd_toggle_switch_el_trim_w_guard_neg(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  cutout_held(el_cutout(), phase, 1.0f, 0.0f);
  return 0;
}

int cmd_toggle_switch_el_trim_w_guard_on(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  if (phase == phase_begin) cutout_set(el_cutout(), 0.0f);
  return 0;
}

int cmd_toggle_switch_el_trim_w_guard_off(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  if (phase == phase_begin) cutout_set(el_cutout(), 1.0f);
  return 0;
}

int cmd_toggle_switch_ap_trim_w_guard(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  cutout_held(ap_cutout(), phase, 0.0f, 1.0f);
  return 0;
}

int cmd_toggle_switch_ap_trim_w_guard_neg(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  cutout_held(ap_cutout(), phase, 1.0f, 0.0f);
  return 0;
}

int cmd_toggle_switch_ap_trim_w_guard_on(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  if (phase == phase_begin) cutout_set(ap_cutout(), 0.0f);
  return 0;
}

int cmd_toggle_switch_ap_trim_w_guard_off(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  if (phase == phase_begin) cutout_set(ap_cutout(), 1.0f);
  return 0;
}

int cmd_flight_controls_pitch_trim_up(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  manual_pitch_trim(phase, nose_up, true);
  return 0;
}

int cmd_flight_controls_pitch_trim_down(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  manual_pitch_trim(phase, nose_down, true);
  return 0;
}

// The aileron and rudder trim hooks let the host's own trim act as well. Both
// trims are moved by electric actuators: without their power the knob still
// turns but the host's trim is held where it stands.
int hook_flight_controls_rudder_trim_left(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  trim_switch_held(rudder_trim_switch, phase, -1.0f);
  if (!fed(Consumer::rudder_trim_actuator)) return 0;
  return 1;
}

int hook_flight_controls_rudder_trim_right(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  trim_switch_held(rudder_trim_switch, phase, 1.0f);
  if (!fed(Consumer::rudder_trim_actuator)) return 0;
  return 1;
}

int hook_flight_controls_aileron_trim_left(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  trim_switch_held(aileron_trim_switch, phase, -1.0f);
  if (!fed(Consumer::aileron_trim_actuator)) return 0;
  return 1;
}

int hook_flight_controls_aileron_trim_right(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  trim_switch_held(aileron_trim_switch, phase, 1.0f);
  if (!fed(Consumer::aileron_trim_actuator)) return 0;
  return 1;
}

int hook_flight_controls_pitch_trim_up(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  yoke_pitch_trim(phase, nose_up);
  return 0;
}

int hook_flight_controls_pitch_trim_down(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  yoke_pitch_trim(phase, nose_down);
  return 0;
}

// The host's nose-up wheel command leaves the wheel to follow its target.
int hook_flight_controls_pitch_trim_up_mech(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  manual_pitch_trim(phase, nose_up, false);
  return 0;
}

int hook_flight_controls_pitch_trim_down_mech(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  manual_pitch_trim(phase, nose_down, true);
  return 0;
}

int hook_flight_controls_pitch_trimA_up(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  record_channel_phase(trim_channel_commands.a_up, phase);
  return 0;
}

int hook_flight_controls_pitch_trimA_down(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  record_channel_phase(trim_channel_commands.a_down, phase);
  return 0;
}

int hook_flight_controls_pitch_trimB_up(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  record_channel_phase(trim_channel_commands.b_up, phase);
  return 0;
}

int hook_flight_controls_pitch_trimB_down(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  record_channel_phase(trim_channel_commands.b_down, phase);
  return 0;
}
