// Command handlers of the cockpit area: gear, brakes and speed brake. The
// gear lever with its ground lock, the horn cut-out and lock override, the
// host's brake commands, the parking brake and toe brake buttons, the
// autobrake selector and the speed brake lever. The host's own gear, brake
// and speed brake commands are taken over: these handlers move the
// aircraft's levers and brake requests, and the systems step moves the gear,
// brakes and spoilers from them.
#include "commands/command_handlers.h"
#include "commands/switch_moves.h"
#include "core/binding.h"
#include "core/host_io.h"
#include "core/preprocess_values.h"
#include "systems/gear_brakes/autobrake_state.h"
#include "systems/gear_brakes/brake_command_state.h"
#include "systems/delay_timers.h"
#include "systems/flight_controls/flight_control_values.h"
#include "systems/gear_brakes/gear_horn.h"
#include "systems/gear_brakes/gear_lever.h"
#include "systems/instruments/instrument_values.h"
#include "systems/flight_controls/speedbrake_lever.h"
#include "systems/switches/switch_memory.h"
#include "systems/switches/switch_values.h"

namespace {

// Gear lever positions.
constexpr float kGearUp = 0.0f;
constexpr float kGearOff = 0.5f;
constexpr float kGearDown = 1.0f;

// Speed brake lever detents.
constexpr float kSpeedbrakeDown = 0.0f;
constexpr float kSpeedbrakeArmed = 0.0889f;
constexpr float kSpeedbrakeFlightDetent = 0.667f;
constexpr float kSpeedbrakeUp = 1.0f;

float& gear_lever() { return controls::gear_handle_down; }

// With the manual extension handle or its cover pulled the gear stays
// selected down whatever the lever says.
void gear_up_rule() {
  gear_lever() = kGearUp;
  if (static_cast<double>(emergency::landgear_pos) < 0.9 &&
      static_cast<double>(emergency::landgear_cover_pos) < 0.9) {
    lever_commands.gear_down_selected = 0.0f;
  }
}

void gear_down_rule() {
  gear_lever() = kGearDown;
  lever_commands.gear_down_selected = 1.0f;
}

// One notch down: from UP to OFF, otherwise all the way down.
void gear_down_one() {
  if (gear_lever() == kGearUp) {
    gear_lever() = kGearOff;
  } else {
    gear_down_rule();
  }
}

bool gear_locked() {
  gear_handle_logic();  // refreshes the ground lock; its stop is not used here
  return gear_lever_latch != 0;
}

void write_parking_brake_ratio(float ratio) {
  host_mirror.sim_cockpit2_controls_parking_brake_ratio = ratio;
  host_send_f(bound::sim_cockpit2_controls_parking_brake_ratio, ratio);
}

void write_speedbrake_ratio(float ratio) {
  host_mirror.sim_cockpit2_controls_speedbrake_ratio = ratio;
  host_send_f(bound::sim_cockpit2_controls_speedbrake_ratio, ratio);
}

// Setting or releasing the brakes takes the chocks away when the scripts ask for it.
void remove_chocks() {
  if (script_mirror.zuvadud_D738_fms_chock_status == 1.0f &&
      script_mirror.zuvadud_D738_fms_parkbrake_remove_chock == 1.0f) {
    script_mirror.zuvadud_D738_fms_chock_status = 0.0f;
    script_set_f(bound::zuvadud_D738_fms_chock_status, 0.0f);
  }
}

// A brake command releases a set parking brake, handing the host the
// command's own brake ratio; the chocks go only with a brake it released.
void release_parking_brake_by_brakes(float brake_value) {
  if (cockpit::parking_brake_pos != 1.0f) return;
  write_parking_brake_ratio(brake_value);
  cockpit::parking_brake_pos = 0.0f;
  lever_commands.park_brake_engaged = 0.0f;
  remove_chocks();
}

void hold_brake_command(float brake_value) {
  BrakeCommandState& b = brake_commands;
  b.brake_cmd_value = brake_value;
  b.brake_cmd_left = 0.0f;
  b.brake_cmd_right = 0.0f;
  b.brake_cmd_active = 1.0f;
}

void release_brake_command() {
  brake_commands.brake_cmd_active = 0.0f;
  brake_commands.brake_cmd_value = 0.0f;
}

void held_brake(XPLMCommandPhase phase, float brake_value) {
  if (phase == phase_begin) release_parking_brake_by_brakes(brake_value);
  if (phase == phase_begin || phase == phase_continue) {
    hold_brake_command(brake_value);
  } else if (phase == phase_end) {
    release_brake_command();
  }
}

bool pedals_pressed() {
  const BrakeCommandState& b = brake_commands;
  const double left_max = b.toe_brake_max_left;
  const double right_max = b.toe_brake_max_right;
  const bool host_pedals = static_cast<double>(host_mirror.sim_cockpit2_controls_left_brake_ratio) > 0.95 &&
                           static_cast<double>(host_mirror.sim_cockpit2_controls_right_brake_ratio) > 0.95;
  const bool toe_buttons = static_cast<double>(b.toe_brake_left) >= left_max - 0.1 &&
                           static_cast<double>(b.toe_brake_right) >= right_max - 0.1;
  const bool brake_ramps = static_cast<double>(b.brake_cmd_left) >= left_max - 0.1 &&
                           static_cast<double>(b.brake_cmd_right) >= right_max - 0.1;
  const bool pedal_model = static_cast<double>(b.pedal_brake_left) >= left_max - 0.05 &&
                           static_cast<double>(b.pedal_brake_right) >= right_max - 0.05;
  return host_pedals || toe_buttons || brake_ramps || pedal_model;
}

// Where the scripts ask for it, the parking brake sets only with the pedals
// pressed; a lever set without them springs back when the button is let go.
void parking_brake_button(XPLMCommandPhase phase) {
  const float needs_pedals = script_mirror.zuvadud_D738_parkbrake_set;
  if (phase == phase_begin) {
    lever_commands.park_brake_engaged = 0.0f;
    brake_commands.park_brake_pedals_released = 0.0f;
    if (cockpit::parking_brake_pos != 0.0f) {
      cockpit::parking_brake_pos = 0.0f;
      write_parking_brake_ratio(0.0f);
      return;
    }
    cockpit::parking_brake_pos = 1.0f;
    if (pedals_pressed() || brake_commands.brake_cmd_active == 1.0f || needs_pedals == 0.0f) {
      write_parking_brake_ratio(1.0f);
      lever_commands.park_brake_engaged = 1.0f;
      remove_chocks();
    }
  } else if (phase == phase_end) {
    if (cockpit::parking_brake_pos == 1.0f && needs_pedals != 0.0f && !pedals_pressed() &&
        brake_commands.brake_cmd_active != 1.0f) {
      cockpit::parking_brake_pos = 0.0f;
      write_parking_brake_ratio(0.0f);
      lever_commands.park_brake_engaged = 0.0f;
    }
  }
}

void toe_brake(XPLMCommandPhase phase, bool left, bool right) {
  BrakeCommandState& b = brake_commands;
  if (phase == phase_begin) {
    if (left) b.toe_brake_left = b.toe_brake_max_left;
    if (right) b.toe_brake_right = b.toe_brake_max_right;
    if (left && right) b.toe_brake_both = b.brake_max_value;
    b.brake_cmd_active = 1.0f;
  } else if (phase == phase_end) {
    if (left) b.toe_brake_left = 0.0f;
    if (right) b.toe_brake_right = 0.0f;
    if (left && right) b.toe_brake_both = 0.0f;
    b.brake_cmd_active = 0.0f;
  }
}

void autobrake_select(AutobrakePos position) { select_autobrake(position, AutobrakeSelectedBy::knob_command); }

// One setting up; from setting 3 the knob is only turned to MAX, and the
// systems step pulls the selector over.
void autobrake_step_up() {
  const float pos = autobrake::autobrake_pos;
  if (pos == autobrake_pos_value(AutobrakePos::rto)) {
    autobrake_select(AutobrakePos::off);
  } else if (pos == autobrake_pos_value(AutobrakePos::off)) {
    autobrake_select(AutobrakePos::one);
  } else if (pos == autobrake_pos_value(AutobrakePos::one)) {
    autobrake_select(AutobrakePos::two);
  } else if (pos == autobrake_pos_value(AutobrakePos::two)) {
    autobrake_select(AutobrakePos::three);
  } else if (pos == autobrake_pos_value(AutobrakePos::three)) {
    autobrake_knob_target = autobrake_pos_value(AutobrakePos::max);
  }
}

// One setting down; from MAX the knob is only turned back to setting 3, and
// the systems step returns the selector. Stepping down between settings only
// moves the selector (setting 1 reached this way shows no DISARM); setting 1
// down to OFF ends a landing autobrake, armed or braking.
void autobrake_step_down() {
  const float pos = autobrake::autobrake_pos;
  if (pos == autobrake_pos_value(AutobrakePos::max)) {
    autobrake_knob_target = autobrake_pos_value(AutobrakePos::three);
  } else if (pos == autobrake_pos_value(AutobrakePos::three)) {
    place_autobrake_selector(AutobrakePos::two);
  } else if (pos == autobrake_pos_value(AutobrakePos::two)) {
    place_autobrake_selector(AutobrakePos::one);
  } else if (pos == autobrake_pos_value(AutobrakePos::one)) {
    step_autobrake_to_off();
  } else if (pos == autobrake_pos_value(AutobrakePos::off)) {
    autobrake_select(AutobrakePos::rto);
  }
}

void set_speedbrake_lever(float lever) { move_speedbrake_lever(lever); }

void speedbrake_down_one() {
  const double lever = flt_ctrls::speedbrake_lever;
  if (lever < 0.06) {
    move_speedbrake_lever(kSpeedbrakeArmed);
  } else if (lever > 0.06 && lever < 0.666) {
    move_speedbrake_lever(kSpeedbrakeFlightDetent);
  } else if (lever >= 0.666 && lever < 1.0) {
    move_speedbrake_lever(kSpeedbrakeUp);
  } else {
    snap_speedbrake_lever();
  }
}

void speedbrake_up_one() {
  const double lever = flt_ctrls::speedbrake_lever;
  if (lever > 0.667) {
    move_speedbrake_lever(kSpeedbrakeFlightDetent);
  } else if (lever > 0.12) {
    move_speedbrake_lever(kSpeedbrakeArmed);
  } else if (lever > 0.06 && lever < 0.12) {
    move_speedbrake_lever(kSpeedbrakeDown);
  } else {
    snap_speedbrake_lever();
  }
}

// In flight only the lever moves (the flight detent logic drives the
// spoilers); on the ground the host's ratio follows at once.
void speedbrake_toggle() {
  // Against the detent as stored: the float 0.667 lies just below the
  // double, so a lever resting in the detent would count as short of it.
  const bool below_detent = flt_ctrls::speedbrake_lever < kSpeedbrakeFlightDetent;
  if (speedbrake_flight_detent_latch != 0 && speedbrake_flight_detent_latch != 1) return;
  if (speedbrake_flight_detent_latch == 0 && on_ground == 1) write_speedbrake_ratio(below_detent ? 1.0f : 0.0f);
  move_speedbrake_lever(below_detent ? kSpeedbrakeUp : kSpeedbrakeDown);
}

}  // namespace

int cmd_push_button_toe_brake_left(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  toe_brake(phase, true, false);
  return 0;
}

int cmd_push_button_toe_brake_right(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  toe_brake(phase, false, true);
  return 0;
}

int cmd_push_button_toe_brake_both(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  toe_brake(phase, true, true);
  return 0;
}

int cmd_knob_autobrake_up(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  if (phase == phase_begin) autobrake_step_up();
  return 0;
}

int cmd_knob_autobrake_dn(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  if (phase == phase_begin) autobrake_step_down();
  return 0;
}

int cmd_knob_autobrake_rto(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  if (phase == phase_begin) autobrake_select(AutobrakePos::rto);
  return 0;
}

int cmd_knob_autobrake_off(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  if (phase == phase_begin) autobrake_select(AutobrakePos::off);
  return 0;
}

int cmd_knob_autobrake_1(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  if (phase == phase_begin) autobrake_select(AutobrakePos::one);
  return 0;
}

int cmd_knob_autobrake_2(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  if (phase == phase_begin) autobrake_select(AutobrakePos::two);
  return 0;
}

int cmd_knob_autobrake_3(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  if (phase == phase_begin) autobrake_select(AutobrakePos::three);
  return 0;
}

int cmd_knob_autobrake_max(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  if (phase == phase_begin) autobrake_knob_target = autobrake_pos_value(AutobrakePos::max);
  return 0;
}

int cmd_push_button_gear_down(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  if (phase == phase_begin) gear_down_rule();
  return 0;
}

int cmd_push_button_gear_up(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  if (phase != phase_begin) return 0;
  if (gear_locked() && gear_lever() >= kGearOff) return 0;
  gear_up_rule();
  return 0;
}

int cmd_push_button_gear_off(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  if (phase == phase_begin) gear_lever() = kGearOff;
  return 0;
}

int cmd_push_button_gear_down_one(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  if (phase == phase_begin) gear_down_one();
  return 0;
}

int cmd_push_button_gear_up_one(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  if (phase != phase_begin) return 0;
  const bool locked = gear_locked();
  if (gear_lever() == kGearUp) return 0;
  if (locked && gear_lever() >= kGearOff) {
    gear_lever() = kGearOff;
  } else {
    gear_up_rule();
  }
  return 0;
}

// A press of the button, as a click on it is.
int cmd_alert_gear_horn_cutout(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  if (phase == phase_begin) move_gear_horn_cutout(1.0f);
  if (phase == phase_end) move_gear_horn_cutout(0.0f);
  return 0;
}

int cmd_gear_lock_override(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  if (phase == phase_begin || phase == phase_continue) {
    gear_lock_ovrd::position = 1.0f;
  } else if (phase == phase_end) {
    gear_lock_ovrd::position = 0.0f;
  }
  return 0;
}

int cmd_push_button_park_brake_on_off(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  parking_brake_button(phase);
  return 0;
}

// The host's gear down is a two-position lever's DOWN (a cockpit builder's
// gear lever sends it after the host's gear up): DOWN from any position. The
// aircraft's own one-notch command keeps its step through OFF.
int hook_flight_controls_landing_gear_down(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  if (phase == phase_begin) gear_down_rule();
  return 0;
}

int hook_flight_controls_landing_gear_toggle(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  if (phase != phase_begin) return 0;
  const bool locked = gear_locked();
  const float lever = gear_lever();
  if (lever == kGearUp) {
    gear_lever() = kGearOff;
  } else if (lever == kGearDown) {
    if (locked) {
      gear_lever() = kGearOff;
    } else {
      gear_up_rule();
    }
  } else {
    gear_down_rule();
  }
  return 0;
}

int hook_flight_controls_landing_gear_up(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  if (phase != phase_begin) return 0;
  const bool locked = gear_locked();
  if (gear_lever() != kGearDown) return 0;
  if (locked) {
    gear_lever() = kGearOff;
  } else {
    gear_up_rule();
  }
  return 0;
}

int hook_flight_controls_brakes_toggle_max(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  parking_brake_button(phase);
  return 0;
}

int hook_flight_controls_brakes_toggle_regular(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  if (phase != phase_begin) return 0;
  const float brake_value = brake_commands.brake_regular_value;
  release_parking_brake_by_brakes(brake_value);
  if (brake_commands.brake_cmd_value == 0.0f) {
    hold_brake_command(brake_value);
  } else {
    release_brake_command();
  }
  return 0;
}

int hook_flight_controls_brakes_max(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  held_brake(phase, brake_commands.brake_max_value);
  return 0;
}

int hook_flight_controls_brakes_regular(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  held_brake(phase, brake_commands.brake_regular_value);
  return 0;
}

int hook_flight_controls_speed_brakes_down_one(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  if (phase == phase_begin) speedbrake_down_one();
  return 0;
}

int hook_flight_controls_speed_brakes_up_one(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  if (phase == phase_begin) speedbrake_up_one();
  return 0;
}

int hook_flight_controls_speed_brakes_down_all(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  if (phase == phase_begin) set_speedbrake_lever(kSpeedbrakeUp);
  return 0;
}

int hook_flight_controls_speed_brakes_up_all(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  if (phase == phase_begin) set_speedbrake_lever(kSpeedbrakeDown);
  return 0;
}

int hook_flight_controls_speed_brakes_toggle(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  if (phase == phase_begin) speedbrake_toggle();
  return 0;
}
