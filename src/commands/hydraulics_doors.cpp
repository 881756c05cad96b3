// Command handlers of the hydraulic pump switches, the flight deck door lock
// selector and handle, the sliding cockpit windows, the manual gear extension
// handle and its cover, the nose wheel steering switch, the gentle brake
// release command and the first officer's yoke electric trim switch.
//
// Doors, windows and the manual gear handle are commanded through targets that
// the systems step moves the published positions toward; the trim switch
// writes the host's elevator trim at once (mirror first, then the host).
#include <cmath>

#include "commands/command_handlers.h"
#include "commands/command_hold.h"
#include "core/command_refs.h"
#include "commands/switch_moves.h"
#include "commands/trim_disconnect.h"
#include "core/binding.h"
#include "core/host_io.h"
#include "core/frame_values.h"
#include "core/pitch_trim.h"
#include "systems/electrical/bus_feeds.h"
#include "systems/gear_brakes/brake_command_state.h"
#include "systems/flight_controls/elec_trim_state.h"
#include "systems/electrical/electric_values.h"
#include "systems/flight_controls/flight_control_values.h"
#include "systems/instruments/instrument_values.h"
#include "systems/switches/switch_memory.h"
#include "systems/switches/switch_targets.h"
#include "systems/switches/switch_values.h"
#include "systems/flight_controls/trim_command_state.h"

namespace {

// A door or window opens from anywhere up to the unlocked gap, else closes.
constexpr float kAjarLimit = 0.2f;

// The sliding windows are plugs: the cabin's differential holds them shut
// against their seals, so they open only on an unpressurised cabin. Closing
// is never held back.
constexpr float kWindowHeldShutPsi = 0.1f;

bool window_held_shut() { return cockpit::cabin_pressure_diff > kWindowHeldShutPsi; }

int window_open_handler(float& target, XPLMCommandPhase phase) {
  if (phase == phase_begin && !window_held_shut()) target = 1.0f;
  return 0;
}

int window_toggle_handler(float& target, XPLMCommandPhase phase) {
  if (phase != phase_begin) return 0;
  if (target > kAjarLimit) {
    target = 0.0f;
  } else if (!window_held_shut()) {
    target = 1.0f;
  }
  return 0;
}

// Holding the lock selector left for 2 s unlocks the door to its gap.
constexpr float kDoorUnlockHold_s = 2.0f;

// The door handle reads 1 while it is operated.
int door_handle_handler(float target, XPLMCommandPhase phase) {
  if (phase == phase_begin) {
    door::flt_dk_door_knob_pos = 1.0f;
    travel_targets.flt_dk_door = target;
  } else if (phase == phase_end) {
    door::flt_dk_door_knob_pos = 0.0f;
  }
  return 0;
}

constexpr float kCoverOpen = 0.9f;

// ---- First officer's yoke trim switch -------------------------------------

constexpr float kNoseUpLimit = 0.719298f;
constexpr float kNoseDownLimitFlapsUp = -0.514619f;
constexpr float kNoseDownLimitFlapsOut = -0.970759f;
constexpr float kColumnCutout = 0.4f;
constexpr float kClickSlow_s = 0.55f;
constexpr float kClickFast_s = 0.37f;
constexpr float kSwitchCentre = 0.515f;
// On release the wheel coasts a little past where the trim stopped.
constexpr float kCoastFast = 0.001f;
constexpr float kCoastSlow = 0.0003f;

int fo_trim_handler(bool down, XPLMCommandPhase phase) {
  if (phase == phase_end) {
    switch_::fo_trim_pos = kSwitchCentre;
    trim_wheel_fast_run = 0.0f;
    trim_wheel_slow_run = 0.0f;
    switch_::el_trim_cfy = 0;
    if (elec_trim_moved == 1) {
      const float coast = elec_trim_fast_mode == 1 ? kCoastFast : kCoastSlow;
      trim_wheel_target = down ? trim_wheel_hold - coast : trim_wheel_hold + coast;
    }
    elec_trim_moved = 0;
    return 0;
  }
  if (phase != phase_begin && phase != phase_continue) return 0;

  const float lo = down ? (host_mirror.sim_cockpit2_controls_flap_handle_deploy_ratio == 0.0f ? kNoseDownLimitFlapsUp
                                                                                            : kNoseDownLimitFlapsOut)
                        : -1.0f;
  const float hi = down ? 1.0f : kNoseUpLimit;
  switch_::fo_trim_pos = down ? 1.0f : 0.0f;
  switch_::el_trim_cfy = down ? 2 : 1;

  // The column cutout stops the trim running against a pilot who pulls or
  // pushes hard, unless the override switch is set.
  const float yoke = host_mirror.sim_cockpit2_controls_yoke_pitch_ratio;
  const bool cut_out = toggle_switch::stab_trim_overide_pos == 0.0f && (down ? yoke > kColumnCutout : yoke < -kColumnCutout);
  const float t = host_mirror.sim_cockpit2_controls_elevator_trim;
  const bool moves = fed(Consumer::stab_trim_main_elec) && !yoke_trim_cut_out() && t >= lo && t <= hi &&
                     host_mirror.sim_operation_failures_rel_trim_elv != kHostFailed && !cut_out &&
                     elec_trim_travel_time > 0.0f;
  if (!moves) {
    trim_wheel_fast_run = 0.0f;
    trim_wheel_slow_run = 0.0f;
    return 0;
  }
  if (phase == phase_begin) {
    if (elec_trim_fast_mode == 0 && elec_trim_click_slow_timer() == 0.0f) {
      elec_trim_click_slow_timer() = kClickSlow_s;
      elec_trim_click_slow() = 1.0f;
    }
    if (elec_trim_fast_mode == 1 && elec_trim_click_fast_timer() == 0.0f) {
      elec_trim_click_fast_timer() = kClickFast_s;
      elec_trim_click_fast() = 1.0f;
    }
  }
  const float rate = (2.0f / elec_trim_travel_time) * frame_time;
  float next = down ? t - rate : t + rate;
  next = next < lo ? lo : (next > hi ? hi : next);
  host_mirror.sim_cockpit2_controls_elevator_trim = next;
  host_send_f(bound::sim_cockpit2_controls_elevator_trim, next);
  trim_wheel_hold = next;
  trim_wheel_target = next;
  disconnect_autopilot_on_trim();

  const bool short_of_limit = down ? t > lo + 0.000001f : t < hi;
  trim_wheel_slow_run = short_of_limit && elec_trim_fast_mode == 0 ? 1.0f : 0.0f;
  trim_wheel_fast_run = short_of_limit && elec_trim_fast_mode == 1 ? 1.0f : 0.0f;
  elec_trim_moved = 1;
  return 0;
}

}  // namespace

int cmd_toggle_switch_electric_hydro_pumps1(XPLMCommandRef, XPLMCommandPhase ph, void*) { return toggle_handler(toggle_switch::electric_hydro_pumps1_pos, ph); }
int cmd_toggle_switch_electric_hydro_pumps2(XPLMCommandRef, XPLMCommandPhase ph, void*) { return toggle_handler(toggle_switch::electric_hydro_pumps2_pos, ph); }
int cmd_toggle_switch_hydro_pumps1(XPLMCommandRef, XPLMCommandPhase ph, void*) { return toggle_handler(toggle_switch::hydro_pumps1_pos, ph); }
int cmd_toggle_switch_hydro_pumps2(XPLMCommandRef, XPLMCommandPhase ph, void*) { return toggle_handler(toggle_switch::hydro_pumps2_pos, ph); }

int cmd_toggle_switch_flt_dk_door_left(XPLMCommandRef, XPLMCommandPhase ph, void*) {
  if (ph == phase_begin) {
    command_hold_time = 0.0f;
    toggle_switch::flt_dk_door = -1.0f;
  } else if (ph == phase_continue) {
    if (command_hold_passed(kDoorUnlockHold_s)) travel_targets.flt_dk_door = kAjarLimit;
  } else if (ph == phase_end) {
    toggle_switch::flt_dk_door = 0.0f;
  }
  return 0;
}
int cmd_toggle_switch_flt_dk_door_right(XPLMCommandRef, XPLMCommandPhase ph, void*) {
  momentary(toggle_switch::flt_dk_door, ph, 1.0f, 0.0f);
  return 0;
}
int cmd_push_button_flt_dk_door_close(XPLMCommandRef, XPLMCommandPhase ph, void*) { return door_handle_handler(0.0f, ph); }
int cmd_push_button_flt_dk_door_open(XPLMCommandRef, XPLMCommandPhase ph, void*) { return door_handle_handler(1.0f, ph); }
int cmd_toggle_switch_flt_dk_door_open(XPLMCommandRef, XPLMCommandPhase ph, void*) {
  if (ph == phase_begin) {
    door::flt_dk_door_knob_pos = 1.0f;
    float& target = travel_targets.flt_dk_door;
    target = target <= kAjarLimit ? 1.0f : 0.0f;
  } else if (ph == phase_end) {
    door::flt_dk_door_knob_pos = 0.0f;
  }
  return 0;
}

int cmd_push_button_capt_window_close(XPLMCommandRef, XPLMCommandPhase ph, void*) { return set_handler(travel_targets.capt_window, 0.0f, ph); }
int cmd_push_button_capt_window_open(XPLMCommandRef, XPLMCommandPhase ph, void*) { return window_open_handler(travel_targets.capt_window, ph); }
int cmd_toggle_switch_capt_window(XPLMCommandRef, XPLMCommandPhase ph, void*) { return window_toggle_handler(travel_targets.capt_window, ph); }
int cmd_push_button_fo_window_close(XPLMCommandRef, XPLMCommandPhase ph, void*) { return set_handler(travel_targets.fo_window, 0.0f, ph); }
int cmd_push_button_fo_window_open(XPLMCommandRef, XPLMCommandPhase ph, void*) { return window_open_handler(travel_targets.fo_window, ph); }
int cmd_toggle_switch_fo_window(XPLMCommandRef, XPLMCommandPhase ph, void*) { return window_toggle_handler(travel_targets.fo_window, ph); }

// The handle can be pulled only with its cover open, but stowed any time.
int cmd_toggle_switch_man_lndgear(XPLMCommandRef, XPLMCommandPhase ph, void*) {
  if (ph != phase_begin) return 0;
  if (man_gear_handle_target == 0.0f) {
    if (emergency::landgear_cover_pos > kCoverOpen) man_gear_handle_target = 1.0f;
  } else {
    man_gear_handle_target = 0.0f;
  }
  return 0;
}
int cmd_toggle_switch_man_lndgear_cover(XPLMCommandRef, XPLMCommandPhase ph, void*) { return toggle_handler(man_gear_cover_target, ph); }

int cmd_switch_nose_steer_alt(XPLMCommandRef, XPLMCommandPhase ph, void*) {
  return numbered_guard_down(kNoseSteerCover) ? 0 : set_handler(switches::nose_steer_pos, 0.0f, ph);
}
int cmd_switch_nose_steer_norm(XPLMCommandRef, XPLMCommandPhase ph, void*) { return set_handler(switches::nose_steer_pos, 1.0f, ph); }

// Releases the parking brake (and the chocks with it when the scripts ask
// for that) and holds the gentle brake for as long as the command is held.
// With the parking brake already off the chocks stay: only releasing the
// brake takes them away.
int cmd_brake_smoothly(XPLMCommandRef, XPLMCommandPhase ph, void*) {
  if (ph == phase_begin && cockpit::parking_brake_pos == 1.0f) {
    cockpit::parking_brake_pos = 0.0f;
    lever_commands.park_brake_engaged = 0.0f;
    host_mirror.sim_cockpit2_controls_parking_brake_ratio = 0.0f;
    host_send_f(bound::sim_cockpit2_controls_parking_brake_ratio, 0.0f);
    if (script_mirror.zuvadud_D738_fms_chock_status == 1.0f && script_mirror.zuvadud_D738_fms_parkbrake_remove_chock == 1.0f) {
      script_mirror.zuvadud_D738_fms_chock_status = 0.0f;
      script_set_f(bound::zuvadud_D738_fms_chock_status, 0.0f);
    }
  }
  if (ph == phase_begin || ph == phase_continue) {
    brake_commands.brake_smooth_active = 1.0f;
    brake_commands.brake_cmd_active = 1.0f;
  } else if (ph == phase_end) {
    brake_commands.brake_cmd_active = 0.0f;
    brake_commands.brake_smooth_active = 0.0f;
  }
  return 0;
}

int cmd_flight_controls_fo_pitch_trim_down(XPLMCommandRef, XPLMCommandPhase ph, void*) { return fo_trim_handler(true, ph); }
int cmd_flight_controls_fo_pitch_trim_up(XPLMCommandRef, XPLMCommandPhase ph, void*) { return fo_trim_handler(false, ph); }
