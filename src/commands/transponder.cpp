// Command handlers of the transponder and TCAS panel: the four code digit
// knobs, the mode selector with its spring-loaded TEST position, the test
// commands, the IDENT key and the two two-position switches.
//
// The code is the host's: the digit knobs change it only through the host's
// transponder commands, never past 0 or 7, so every digit stays octal. The
// mode knob is the plug-in's own value; the systems update turns it into the
// host's transponder mode and the TCAS mode each frame. The test runs for a
// fixed 8 s from its start whatever the knob does meanwhile, as a TCAS
// self-test does: longer would leave the aircraft without traffic and
// unseen by ATC for nothing.
#include "commands/command_handlers.h"
#include "commands/command_hold.h"
#include "core/command_refs.h"
#include "commands/switch_moves.h"
#include "core/binding.h"
#include "core/host_io.h"
#include "core/frame_values.h"
#include "systems/delay_timers.h"
#include "systems/electrical/bus_feeds.h"
#include "systems/electrical/electric_values.h"
#include "systems/switches/switch_values.h"
#include "systems/radios/transponder_code.h"

namespace {

constexpr float kTestHoldAfter_s = 1.7f;
constexpr float kTestDuration_s = 8.0f;
constexpr float kKnobTest = 0.0f;
constexpr float kKnobStby = 1.0f;

// Starts the transponder and TCAS test when it is not running and AC transfer
// bus 1 is powered; a running test is neither restarted nor extended.
void transponder_test_start() {
  if (delay_flags.tcas_test_flag != 0.0f || !fed(Consumer::tcas)) return;
  // The TCAS tests itself; an unpowered transponder stays off to the host.
  if (fed(Consumer::transponder)) {
    const int32_t test_mode = host_transponder_mode(knob::transponder_pos, true, host_version);
    host_mirror.sim_cockpit2_radios_actuators_transponder_mode = test_mode;
    host_send_i(bound::sim_cockpit2_radios_actuators_transponder_mode, test_mode);
  }
  delay_flags.tcas_test_flag = 1.0f;
  delay_flags.xpndr_test_flag = 1.0f;
  if (delay_timers.tcas_test_delay == 0.0f) delay_timers.tcas_test_delay = kTestDuration_s;
}

enum Place { place_1000, place_100, place_10, place_1 };

// One digit step through the host, then the code is read back at once so a
// second digit command before the next frame sees the new code.
int digit_handler(Place place, bool up, XPLMCommandPhase phase) {
  if (phase != phase_begin) return 0;
  static constexpr HostCmd down_cmd[4] = {
      HostCmd::transponder_transponder_thousands_down, HostCmd::transponder_transponder_hundreds_down,
      HostCmd::transponder_transponder_tens_down, HostCmd::transponder_transponder_ones_down};
  static constexpr HostCmd up_cmd[4] = {
      HostCmd::transponder_transponder_thousands_up, HostCmd::transponder_transponder_hundreds_up,
      HostCmd::transponder_transponder_tens_up, HostCmd::transponder_transponder_ones_up};
  const int32_t digit = xpndr_change_digit(place);
  if (up ? digit >= 7 : digit <= 0) return 0;
  issue_command_once(up ? up_cmd[place] : down_cmd[place]);
  if (bound_present(bound::sim_cockpit2_radios_actuators_transponder_code)) {
    host_mirror.sim_cockpit2_radios_actuators_transponder_code =
        read_now_i(bound::sim_cockpit2_radios_actuators_transponder_code);
  }
  return 0;
}

int mode_set_handler(float position, XPLMCommandPhase phase) {
  if (phase == phase_begin) knob::transponder_pos = position;
  return 0;
}


}  // namespace

int cmd_knob_xpndr_1000_dn(XPLMCommandRef, XPLMCommandPhase ph, void*) { return digit_handler(place_1000, false, ph); }
int cmd_knob_xpndr_1000_up(XPLMCommandRef, XPLMCommandPhase ph, void*) { return digit_handler(place_1000, true, ph); }
int cmd_knob_xpndr_100_dn(XPLMCommandRef, XPLMCommandPhase ph, void*) { return digit_handler(place_100, false, ph); }
int cmd_knob_xpndr_100_up(XPLMCommandRef, XPLMCommandPhase ph, void*) { return digit_handler(place_100, true, ph); }
int cmd_knob_xpndr_10_dn(XPLMCommandRef, XPLMCommandPhase ph, void*) { return digit_handler(place_10, false, ph); }
int cmd_knob_xpndr_10_up(XPLMCommandRef, XPLMCommandPhase ph, void*) { return digit_handler(place_10, true, ph); }
int cmd_knob_xpndr_1_dn(XPLMCommandRef, XPLMCommandPhase ph, void*) { return digit_handler(place_1, false, ph); }
int cmd_knob_xpndr_1_up(XPLMCommandRef, XPLMCommandPhase ph, void*) { return digit_handler(place_1, true, ph); }

int cmd_knob_transponder_mode_up(XPLMCommandRef, XPLMCommandPhase ph, void*) {
  if (ph == phase_begin) step_position(knob::transponder_pos, 1, 0, 5);
  return 0;
}

// Turning down into TEST and holding there starts the test; TEST springs back
// to STBY on release.
int cmd_knob_transponder_mode_dn(XPLMCommandRef, XPLMCommandPhase ph, void*) {
  if (ph == phase_begin) {
    step_position(knob::transponder_pos, -1, 0, 5);
    command_hold_time = 0.0f;
  } else if (ph == phase_continue) {
    if (command_hold_passed(kTestHoldAfter_s) && knob::transponder_pos == kKnobTest) transponder_test_start();
  } else if (ph == phase_end) {
    if (knob::transponder_pos == kKnobTest) knob::transponder_pos = kKnobStby;
  }
  return 0;
}

int cmd_knob_transponder_test(XPLMCommandRef, XPLMCommandPhase ph, void*) {
  if (ph == phase_begin) {
    knob::transponder_pos = kKnobTest;
    command_hold_time = 0.0f;
  } else if (ph == phase_continue) {
    if (command_hold_passed(kTestHoldAfter_s)) transponder_test_start();
  } else if (ph == phase_end) {
    knob::transponder_pos = kKnobStby;
  }
  return 0;
}

int cmd_knob_transponder_tcas_test(XPLMCommandRef, XPLMCommandPhase ph, void*) {
  if (ph == phase_begin) transponder_test_start();
  return 0;
}

int cmd_knob_transponder_stby(XPLMCommandRef, XPLMCommandPhase ph, void*) { return mode_set_handler(1.0f, ph); }
int cmd_knob_transponder_altoff(XPLMCommandRef, XPLMCommandPhase ph, void*) { return mode_set_handler(2.0f, ph); }
int cmd_knob_transponder_alton(XPLMCommandRef, XPLMCommandPhase ph, void*) { return mode_set_handler(3.0f, ph); }
int cmd_knob_transponder_ta(XPLMCommandRef, XPLMCommandPhase ph, void*) { return mode_set_handler(4.0f, ph); }
int cmd_knob_transponder_tara(XPLMCommandRef, XPLMCommandPhase ph, void*) { return mode_set_handler(5.0f, ph); }

int cmd_push_button_transponder_ident_dn(XPLMCommandRef, XPLMCommandPhase ph, void*) {
  if (ph == phase_begin) {
    push_button::transponder_ident = 1.0f;
    issue_command_once(HostCmd::transponder_transponder_ident);
  } else if (ph == phase_end) {
    push_button::transponder_ident = 0.0f;
  }
  return 0;
}

int cmd_toggle_switch_xpndr_alt(XPLMCommandRef, XPLMCommandPhase ph, void*) {
  return toggle_handler(switch_::xpndr_alt_pos, ph);
}
int cmd_toggle_switch_xpndr_atc(XPLMCommandRef, XPLMCommandPhase ph, void*) {
  return toggle_handler(switch_::xpndr_atc_pos, ph);
}
