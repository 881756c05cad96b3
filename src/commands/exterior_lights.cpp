// Command handlers of the cockpit area: exterior lights. The fixed and
// retractable landing lights, the spring-loaded all-landing-lights switch,
// runway turn-off, taxi, logo, position/strobe, wheel well and wing lights,
// and the host's landing light commands (taken over, so the host's own
// landing light switches only follow the aircraft's). The landing and taxi
// handlers also set the lamp values the exterior lights step lights from.
#include "commands/command_handlers.h"
#include "commands/switch_moves.h"
#include "systems/lights/lights.h"
#include "systems/switches/switch_values.h"

namespace {

// The four landing lamps: fixed left, retractable left, retractable right,
// fixed right.
float* const kLandingLamps[] = {&lights_state.fixed_landing_left_on, &lights_state.retractable_landing_left_on,
                                &lights_state.retractable_landing_right_on,
                                &lights_state.fixed_landing_right_on};

bool any_landing_lamp(float value) {
  for (const float* lamp : kLandingLamps) {
    if (*lamp == value) return true;
  }
  return false;
}

void set_landing_lamps(float value) {
  for (float* lamp : kLandingLamps) *lamp = value;
}

void all_landing_lights_on() {
  switch_::land_lights_ret_left_pos = 2.0f;
  switch_::land_lights_ret_right_pos = 2.0f;
  switch_::land_lights_left_pos = 1.0f;
  switch_::land_lights_right_pos = 1.0f;
  set_landing_lamps(1.0f);
}

void all_landing_lights_off() {
  switch_::land_lights_ret_left_pos = 0.0f;
  switch_::land_lights_ret_right_pos = 0.0f;
  switch_::land_lights_left_pos = 0.0f;
  switch_::land_lights_right_pos = 0.0f;
  set_landing_lamps(0.0f);
}

// Retractable light 0 retracted, 1 extended, 2 extended and lit: the lamp
// lights on reaching 2 and goes out on any step back up.
void retractable_down(float& pos, float& lamp) {
  if (pos == 0.0f) {
    pos = 1.0f;
    lamp = 0.0f;
  } else if (pos == 1.0f) {
    pos = 2.0f;
    lamp = 1.0f;
  }
}

void retractable_up(float& pos, float& lamp) {
  if (pos == 1.0f) {
    pos = 0.0f;
    lamp = 0.0f;
  } else if (pos == 2.0f) {
    pos = 1.0f;
    lamp = 0.0f;
  }
}

// The direct positions: the lamp burns only at 2, as after the steps.
void set_retractable(float& pos, float& lamp, XPLMCommandPhase phase, float position) {
  if (phase != phase_begin) return;
  pos = position;
  lamp = position == 2.0f ? 1.0f : 0.0f;
}

void set_ret_left(XPLMCommandPhase phase, float position) {
  set_retractable(switch_::land_lights_ret_left_pos, lights_state.retractable_landing_left_on, phase, position);
}

void set_ret_right(XPLMCommandPhase phase, float position) {
  set_retractable(switch_::land_lights_ret_right_pos, lights_state.retractable_landing_right_on, phase, position);
}

void set_taxi(float position) {
  toggle_switch::taxi_light_brightness_pos = position;
  lights_state.taxi_light_level = taxi_level_for_position(position);
}

void step_taxi(int delta) {
  if (step_position(toggle_switch::taxi_light_brightness_pos, delta, 0, 2)) {
    lights_state.taxi_light_level = taxi_level_for_position(toggle_switch::taxi_light_brightness_pos);
  }
}

}  // namespace

int cmd_switch_logo_light_on(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  set_at_begin(toggle_switch::logo_light, phase, 1.0f);
  return 0;
}

int cmd_switch_logo_light_off(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  set_at_begin(toggle_switch::logo_light, phase, 0.0f);
  return 0;
}

int cmd_switch_logo_light_toggle(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  toggle_at_begin(toggle_switch::logo_light, phase);
  return 0;
}

int cmd_switch_wing_light_on(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  set_at_begin(toggle_switch::wing_light, phase, 1.0f);
  return 0;
}

int cmd_switch_wing_light_off(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  set_at_begin(toggle_switch::wing_light, phase, 0.0f);
  return 0;
}

int cmd_switch_wing_light_toggle(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  toggle_at_begin(toggle_switch::wing_light, phase);
  return 0;
}

// The wheel well light's direct commands are wired the other way round
// from the other lights' (key bindings rely on it).
int cmd_switch_wheel_light_on(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  set_at_begin(toggle_switch::wheel_light, phase, 0.0f);
  return 0;
}

int cmd_switch_wheel_light_off(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  set_at_begin(toggle_switch::wheel_light, phase, 1.0f);
  return 0;
}

int cmd_switch_wheel_light_toggle(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  toggle_at_begin(toggle_switch::wheel_light, phase);
  return 0;
}

int cmd_toggle_switch_position_light_up(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  if (phase == phase_begin) step_position(toggle_switch::position_light_pos, 1, -1, 1);
  return 0;
}

int cmd_toggle_switch_position_light_down(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  if (phase == phase_begin) step_position(toggle_switch::position_light_pos, -1, -1, 1);
  return 0;
}

int cmd_toggle_switch_position_light_off(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  set_at_begin(toggle_switch::position_light_pos, phase, 0.0f);
  return 0;
}

int cmd_toggle_switch_position_light_steady(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  set_at_begin(toggle_switch::position_light_pos, phase, -1.0f);
  return 0;
}

int cmd_toggle_switch_position_light_strobe(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  set_at_begin(toggle_switch::position_light_pos, phase, 1.0f);
  return 0;
}

int cmd_switch_rwy_light_left_on(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  set_at_begin(toggle_switch::rwy_light_left, phase, 1.0f);
  return 0;
}

int cmd_switch_rwy_light_left_off(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  set_at_begin(toggle_switch::rwy_light_left, phase, 0.0f);
  return 0;
}

int cmd_switch_rwy_light_left_toggle(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  toggle_at_begin(toggle_switch::rwy_light_left, phase);
  return 0;
}

int cmd_switch_rwy_light_right_on(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  set_at_begin(toggle_switch::rwy_light_right, phase, 1.0f);
  return 0;
}

int cmd_switch_rwy_light_right_off(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  set_at_begin(toggle_switch::rwy_light_right, phase, 0.0f);
  return 0;
}

int cmd_switch_rwy_light_right_toggle(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  toggle_at_begin(toggle_switch::rwy_light_right, phase);
  return 0;
}

int cmd_toggle_switch_taxi_light_brightness_pos_up(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  if (phase == phase_begin) step_taxi(-1);
  return 0;
}

int cmd_toggle_switch_taxi_light_brightness_pos_dn(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  if (phase == phase_begin) step_taxi(1);
  return 0;
}

int cmd_toggle_switch_taxi_light_brigh_toggle(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  if (phase != phase_begin) return 0;
  const float pos = toggle_switch::taxi_light_brightness_pos;
  if (pos == 0.0f || pos == 1.0f) {
    set_taxi(2.0f);
  } else if (pos == 2.0f) {
    set_taxi(0.0f);
  }
  return 0;
}

int cmd_toggle_switch_taxi_light_brightness_on(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  if (phase == phase_begin) set_taxi(2.0f);
  return 0;
}

int cmd_toggle_switch_taxi_light_brightness_off(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  if (phase == phase_begin) set_taxi(0.0f);
  return 0;
}

// Held: every landing light comes on; released: they stay on.
int cmd_spring_switch_landing_lights_all(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  float& spring = spring_switch::landing_lights_all_on;
  if (phase == phase_begin && spring == 0.0f) {
    spring = 1.0f;
    all_landing_lights_on();
  } else if (phase == phase_end && spring == 1.0f) {
    spring = 0.0f;
  }
  return 0;
}

int cmd_switch_land_lights_ret_left_up(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  if (phase == phase_begin) {
    retractable_up(switch_::land_lights_ret_left_pos, lights_state.retractable_landing_left_on);
  }
  return 0;
}

int cmd_switch_land_lights_ret_left_dn(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  if (phase == phase_begin) {
    retractable_down(switch_::land_lights_ret_left_pos, lights_state.retractable_landing_left_on);
  }
  return 0;
}

int cmd_switch_land_lights_ret_right_up(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  if (phase == phase_begin) {
    retractable_up(switch_::land_lights_ret_right_pos, lights_state.retractable_landing_right_on);
  }
  return 0;
}

int cmd_switch_land_lights_ret_right_dn(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  if (phase == phase_begin) {
    retractable_down(switch_::land_lights_ret_right_pos, lights_state.retractable_landing_right_on);
  }
  return 0;
}

int cmd_switch_land_lights_left(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  toggle_at_begin(switch_::land_lights_left_pos, phase);
  return 0;
}

int cmd_switch_land_lights_right(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  toggle_at_begin(switch_::land_lights_right_pos, phase);
  return 0;
}

int cmd_switch_land_lights_ret_left_off(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  set_ret_left(phase, 0.0f);
  return 0;
}

int cmd_switch_land_lights_ret_left_ret(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  set_ret_left(phase, 1.0f);
  return 0;
}

int cmd_switch_land_lights_ret_left_on(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  set_ret_left(phase, 2.0f);
  return 0;
}

int cmd_switch_land_lights_ret_right_off(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  set_ret_right(phase, 0.0f);
  return 0;
}

int cmd_switch_land_lights_ret_right_ret(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  set_ret_right(phase, 1.0f);
  return 0;
}

int cmd_switch_land_lights_ret_right_on(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  set_ret_right(phase, 2.0f);
  return 0;
}

int cmd_switch_land_lights_left_on(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  set_at_begin(switch_::land_lights_left_pos, phase, 1.0f);
  return 0;
}

int cmd_switch_land_lights_left_off(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  set_at_begin(switch_::land_lights_left_pos, phase, 0.0f);
  return 0;
}

int cmd_switch_land_lights_right_on(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  set_at_begin(switch_::land_lights_right_pos, phase, 1.0f);
  return 0;
}

int cmd_switch_land_lights_right_off(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  set_at_begin(switch_::land_lights_right_pos, phase, 0.0f);
  return 0;
}

// The host's landing light keys act on the lamps, not the switch positions.
int hook_lights_landing_lights_on(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  if (phase == phase_begin && any_landing_lamp(0.0f)) all_landing_lights_on();
  return 0;
}

int hook_lights_landing_lights_off(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  if (phase == phase_begin && any_landing_lamp(1.0f)) all_landing_lights_off();
  return 0;
}

int hook_lights_landing_lights_toggle(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  if (phase != phase_begin) return 0;
  if (any_landing_lamp(1.0f)) {
    all_landing_lights_off();
  } else {
    all_landing_lights_on();
  }
  return 0;
}
