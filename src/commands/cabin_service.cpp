// Command handlers of the remaining overhead and pedestal controls: cabin
// call buttons, cabin utility and IFE switches, dome and compass lights, the
// DC meter selector, the emergency locator and emergency exit light switches,
// the cabin and entry light presets, the clocks' elapsed-time reset, the
// wiper selectors, the no-smoking switch, two spare on/off switches, the voice
// recorder switch and the eleven numbered button-switch covers.
//
// The lights, cabin, clock, wiper, electrical and audio models read what these
// handlers set on the next frame; the DC meter selector also steps the host's
// DC voltmeter source.
#include "commands/command_handlers.h"
#include "core/command_refs.h"
#include "commands/switch_moves.h"
#include "core/binding.h"
#include "core/preprocess_values.h"
#include "core/variant.h"
#include "systems/electrical/bus_feeds.h"
#include "systems/lights/cabin_light_values.h"
#include "systems/lights/cabin_lights.h"
#include "systems/instruments/clock_values.h"
#include "systems/instruments/clocks.h"
#include "systems/electrical/electric_values.h"
#include "systems/switches/switch_targets.h"
#include "systems/switches/switch_values.h"
#include "systems/ice_rain/wiper_state.h"

namespace {

// A two-position switch that only the named command moves off its value.
int move_from_handler(float& pos, float from, float to, XPLMCommandPhase phase) {
  if (phase == phase_begin && pos == from) pos = to;
  return 0;
}

// ---- Attendant call -------------------------------------------------------

constexpr int32_t kMaxChimesQueued = 6;

// ---- DC meter selector ----------------------------------------------------

// Which host DC voltmeter command a step to a position sends (none, left or
// right): the host's meter source follows the knob between positions 2 and 6.
enum DcVolt { dc_none, dc_left, dc_right };

int dc_power_handler(bool up, XPLMCommandPhase phase) {
  if (phase != phase_begin) return 0;
  // Indexed by the position the knob leaves.
  static constexpr DcVolt up_cmd[7] = {dc_none, dc_none, dc_left, dc_right, dc_right, dc_none, dc_none};
  static constexpr DcVolt down_cmd[7] = {dc_none, dc_none, dc_none, dc_none, dc_left, dc_right, dc_right};
  float& knob_pos = knob::dc_power;
  const float was = knob_pos;
  if (!step_position(knob_pos, up ? 1 : -1, 0, 6)) return 0;
  const DcVolt cmd = (up ? up_cmd : down_cmd)[static_cast<int>(was)];
  if (cmd == dc_left) issue_command_once(HostCmd::electrical_dc_volt_lft);
  if (cmd == dc_right) issue_command_once(HostCmd::electrical_dc_volt_rgt);
  return 0;
}

// ---- Cabin presets --------------------------------------------------------

// The full cabin model has its own zone lights; the simple ones take four
// preset levels instead.
bool full_cabin() { return model_family != 0.0f && model_family != 2.0f; }

// The attendant panel's presets are set on the cabin lights' own power: a
// dark cabin takes none.
void entry_preset(float simple_w, float full_w, float preset) {
  using namespace tarv_cabin;
  if (!fed(Consumer::entry_lights)) return;
  if (full_cabin()) {
    lightsV = 1.0f;
    lightsX = 1.0f;
    lightsZ = 1.0f;
    lightsZZ = 1.0f;
    lightY = 0.0f;
    lightsW = full_w;
  } else {
    lightsW = simple_w;
  }
  lightsS = 1.0f;
  lightsT = 1.0f;
  lightsU = 1.0f;
  set_entry_lighting = preset;
}

// Zone levels A..R of the full cabin, in order A B C D E F G H I J K L M N O
// P Q R.
void set_pax_zones(const float (&level)[18]) {
  using namespace tarv_cabin;
  float* const zone[18] = {&lightsA, &lightsB, &lightsC, &lightsD, &lightsE, &lightsF, &lightsG, &lightsH, &lightsI,
                           &lightsJ, &lightsK, &lightsL, &lightsM, &lightsN, &lightsO, &lightP, &lightsQ, &lightsR};
  for (int i = 0; i < 18; ++i) *zone[i] = level[i];
}

void pax_preset(const float (&zones)[18], const float (&simple)[4], float preset) {
  if (!fed(Consumer::cabin_lights)) return;
  if (full_cabin()) {
    set_pax_zones(zones);
  } else {
    for (int i = 0; i < 4; ++i) pax_light_scene[i] = simple[i];
  }
  tarx_cabin::set_pax_lighting = preset;
}

// ---- Elapsed-time reset ---------------------------------------------------

int et_reset_handler(int side, float& et, float& reset, float& et_mode, float& display_mode, XPLMCommandPhase phase) {
  if (!clock_face_powered(side)) {  // a dark clock ignores its buttons
    reset = 0.0f;
    return 0;
  }
  if (phase == phase_begin) {
    et = 0.0f;
    reset = 1.0f;
    et_mode = -1.0f;
    if (display_mode > 0.0f) display_mode = 2.0f;
  } else if (phase == phase_end) {
    reset = 0.0f;
  }
  return 0;
}

// ---- Wipers: 0 PARK, 1 INT, 2 LOW, 3 HIGH ----------------------------------

int wiper_handler(float& pos, float& int_start, bool up, XPLMCommandPhase phase) {
  if (phase == phase_begin && step_position(pos, up ? 1 : -1, 0, 3) && pos == 1.0f) int_start = 1.0f;
  return 0;
}

}  // namespace

// The press queues one more chime (at most six) while the battery bus is
// powered; the main loop sounds them one after the other.
int attend_button_handler(XPLMCommandRef, XPLMCommandPhase ph, void*) {
  if (ph == phase_begin) {
    push_button::attend_pos = 1.0f;
    if (attend_chime_count < kMaxChimesQueued && fed(Consumer::attendant_chime)) {
      ++attend_chime_count;
      if (attend_chime_timer == 0.0f) attend_chime_timer = attend_chime_length_s;
    }
  } else if (ph == phase_end) {
    push_button::attend_pos = 0.0f;
  }
  return 0;
}

int cmd_push_button_grd_call(XPLMCommandRef, XPLMCommandPhase ph, void*) {
  momentary(push_button::grd_call_pos, ph);
  return 0;
}

int cmd_autopilot_cab_util_toggle(XPLMCommandRef, XPLMCommandPhase ph, void*) { return two_value_handler(toggle_switch::cab_util_pos, ph); }
int cmd_autopilot_ife_pass_seat_toggle(XPLMCommandRef, XPLMCommandPhase ph, void*) { return two_value_handler(toggle_switch::ife_pass_seat_pos, ph); }
int cmd_toggle_switch_cockpit_dome_dn(XPLMCommandRef, XPLMCommandPhase ph, void*) { return step_handler(toggle_switch::cockpit_dome_pos, -1, -1, 1, ph); }
int cmd_toggle_switch_cockpit_dome_up(XPLMCommandRef, XPLMCommandPhase ph, void*) { return step_handler(toggle_switch::cockpit_dome_pos, 1, -1, 1, ph); }
int cmd_toggle_switch_compass_brightness_lft(XPLMCommandRef, XPLMCommandPhase ph, void*) { return step_handler(toggle_switch::compass_brightness_pos, -1, -1, 1, ph); }
int cmd_toggle_switch_compass_brightness_rgt(XPLMCommandRef, XPLMCommandPhase ph, void*) { return step_handler(toggle_switch::compass_brightness_pos, 1, -1, 1, ph); }
int cmd_knob_dc_power_dn(XPLMCommandRef, XPLMCommandPhase ph, void*) { return dc_power_handler(false, ph); }
int cmd_knob_dc_power_up(XPLMCommandRef, XPLMCommandPhase ph, void*) { return dc_power_handler(true, ph); }
int cmd_toggle_switch_elt_arm(XPLMCommandRef, XPLMCommandPhase ph, void*) { return move_from_handler(toggle_switch::elt, 1.0f, 0.0f, ph); }
int cmd_toggle_switch_elt_on(XPLMCommandRef, XPLMCommandPhase ph, void*) {
  if (numbered_guard_down(kEltCover)) return 0;
  return move_from_handler(toggle_switch::elt, 0.0f, 1.0f, ph);
}
int cmd_toggle_switch_vcr_auto(XPLMCommandRef, XPLMCommandPhase ph, void*) { return move_from_handler(toggle_switch::vcr, 1.0f, 0.0f, ph); }
int cmd_toggle_switch_vcr_on(XPLMCommandRef, XPLMCommandPhase ph, void*) { return move_from_handler(toggle_switch::vcr, 0.0f, 1.0f, ph); }

// The emergency exit lights switch sits under its cover, which this push
// flips open at once.
int cmd_push_button_emer_exit_full_off(XPLMCommandRef, XPLMCommandPhase ph, void*) {
  if (ph == phase_begin) {
    button_switch::cover_position[kEmerExitCover] = 1.0f;
    cover_target[kEmerExitCover] = 1.0f;
    toggle_switch::emer_exit_lights = 0.0f;
  }
  return 0;
}
int cmd_toggle_switch_emer_exit_lights_dn(XPLMCommandRef, XPLMCommandPhase ph, void*) {
  if (numbered_guard_down(kEmerExitCover)) return 0;
  return step_handler(toggle_switch::emer_exit_lights, 1, 0, 2, ph);
}
int cmd_toggle_switch_emer_exit_lights_up(XPLMCommandRef, XPLMCommandPhase ph, void*) {
  if (numbered_guard_down(kEmerExitCover)) return 0;
  return step_handler(toggle_switch::emer_exit_lights, -1, 0, 2, ph);
}

int cmd_cabin_entry_white_bright(XPLMCommandRef, XPLMCommandPhase ph, void*) {
  if (ph == phase_begin) entry_preset(3.0f, 2.0f, 0.0f);
  return 0;
}
int cmd_cabin_entry_white_medium(XPLMCommandRef, XPLMCommandPhase ph, void*) {
  if (ph == phase_begin) entry_preset(1.2f, 1.0f, 1.0f);
  return 0;
}
int cmd_cabin_pax_cruise(XPLMCommandRef, XPLMCommandPhase ph, void*) {
  static constexpr float zones[18] = {1.0f, 0.7f, 0.3f, 0.5f, 1.0f, 1.0f, 0.0f, 1.0f,  1.0f,
                                      1.0f, 1.0f, 0.95f, 0.1f, 2.0f, 1.0f, 0.0f, 1.0f, 1.0f};
  static constexpr float simple[4] = {0.8f, 0.1f, 0.8f, 1.8f};
  if (ph == phase_begin) pax_preset(zones, simple, 2.0f);
  return 0;
}
int cmd_cabin_pax_night_sleep(XPLMCommandRef, XPLMCommandPhase ph, void*) {
  static constexpr float zones[18] = {0.2f, 0.5f, 1.0f, 0.15f, 3.0f, 1.0f, 0.0f, 1.0f, 1.0f,
                                      1.0f, 1.0f, 1.0f, 0.1f,  1.0f, 1.0f, 0.0f, 1.0f, 1.0f};
  static constexpr float simple[4] = {0.1f, 0.1f, 1.0f, 0.5f};
  if (ph == phase_begin) pax_preset(zones, simple, 4.0f);
  return 0;
}

int cmd_push_button_et_reset_capt(XPLMCommandRef, XPLMCommandPhase ph, void*) {
  return et_reset_handler(clock_captain, clock_::captain_et, clock_::captain_reset, clock_::captain_et_mode,
                          clock_::chrono_display_mode_capt, ph);
}
int cmd_push_button_et_reset_fo(XPLMCommandRef, XPLMCommandPhase ph, void*) {
  return et_reset_handler(clock_first_officer, clock_::fo_et, clock_::fo_reset, clock_::fo_et_mode, clock_::chrono_display_mode_fo, ph);
}

int cmd_knob_left_wiper_dn(XPLMCommandRef, XPLMCommandPhase ph, void*) { return wiper_handler(switches::left_wiper_pos, left_wiper_int_start, false, ph); }
int cmd_knob_left_wiper_up(XPLMCommandRef, XPLMCommandPhase ph, void*) { return wiper_handler(switches::left_wiper_pos, left_wiper_int_start, true, ph); }
int cmd_knob_right_wiper_dn(XPLMCommandRef, XPLMCommandPhase ph, void*) { return wiper_handler(switches::right_wiper_pos, right_wiper_int_start, false, ph); }
int cmd_knob_right_wiper_up(XPLMCommandRef, XPLMCommandPhase ph, void*) { return wiper_handler(switches::right_wiper_pos, right_wiper_int_start, true, ph); }

// With the scripts' no-smoking option set the switch has no middle (AUTO)
// position: it moves between OFF (0) and ON (2) only.
int cmd_toggle_switch_no_smoking_dn(XPLMCommandRef, XPLMCommandPhase ph, void*) {
  if (ph != phase_begin) return 0;
  float& sw = toggle_switch::no_smoking_pos;
  const bool two_position = script_mirror.zuvadud_D738_fms_no_smoking != 0.0f;
  if (sw == 0.0f) {
    sw = two_position ? 2.0f : 1.0f;
  } else if (sw == 1.0f) {
    sw = 2.0f;
  }
  return 0;
}
int cmd_toggle_switch_no_smoking_up(XPLMCommandRef, XPLMCommandPhase ph, void*) {
  if (ph != phase_begin) return 0;
  float& sw = toggle_switch::no_smoking_pos;
  const bool two_position = script_mirror.zuvadud_D738_fms_no_smoking != 0.0f;
  if (sw == 2.0f) {
    sw = two_position ? 0.0f : 1.0f;
  } else if (sw == 1.0f) {
    sw = 0.0f;
  }
  return 0;
}

int cmd_toggle_switch_off_on1(XPLMCommandRef, XPLMCommandPhase ph, void*) { return toggle_handler(toggle_switch::off_on1, ph); }
int cmd_toggle_switch_off_on2(XPLMCommandRef, XPLMCommandPhase ph, void*) { return toggle_handler(toggle_switch::off_on2, ph); }

int cmd_button_switch_cover00(XPLMCommandRef, XPLMCommandPhase ph, void*) { return two_value_handler(cover_target[0], ph); }
int cmd_button_switch_cover01(XPLMCommandRef, XPLMCommandPhase ph, void*) { return two_value_handler(cover_target[1], ph); }
int cmd_button_switch_cover02(XPLMCommandRef, XPLMCommandPhase ph, void*) { return two_value_handler(cover_target[2], ph); }
int cmd_button_switch_cover03(XPLMCommandRef, XPLMCommandPhase ph, void*) { return two_value_handler(cover_target[3], ph); }
int cmd_button_switch_cover04(XPLMCommandRef, XPLMCommandPhase ph, void*) { return two_value_handler(cover_target[4], ph); }
int cmd_button_switch_cover05(XPLMCommandRef, XPLMCommandPhase ph, void*) { return two_value_handler(cover_target[5], ph); }
int cmd_button_switch_cover06(XPLMCommandRef, XPLMCommandPhase ph, void*) { return two_value_handler(cover_target[6], ph); }
int cmd_button_switch_cover07(XPLMCommandRef, XPLMCommandPhase ph, void*) { return two_value_handler(cover_target[7], ph); }
int cmd_button_switch_cover08(XPLMCommandRef, XPLMCommandPhase ph, void*) { return two_value_handler(cover_target[8], ph); }
int cmd_button_switch_cover09(XPLMCommandRef, XPLMCommandPhase ph, void*) { return two_value_handler(cover_target[9], ph); }
int cmd_button_switch_cover10(XPLMCommandRef, XPLMCommandPhase ph, void*) { return two_value_handler(cover_target[10], ph); }
