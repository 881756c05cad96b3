// Command handlers of the warning inhibit and test controls (altitude horn
// cutout, below-glideslope inhibit, captain's six-pack recall, annunciator
// bright/test switch, cargo fire and extinguisher circuit tests, flight data
// recorder and ground-proximity inhibit switches with their guards, Mach
// warning and TAT tests) and of the three failure commands.
//
// The transponder/TCAS test command lives with the transponder panel, whose
// test start it runs. The annunciator, fire, alerting and failure models read
// what these handlers set on the next frame.
#include "alerting/aural_cues.h"
#include "alerting/failure_commands.h"
#include "alerting/gpws.h"
#include "commands/command_handlers.h"
#include "commands/command_hold.h"
#include "core/command_refs.h"
#include "commands/switch_moves.h"
#include "core/binding.h"
#include "core/host_io.h"
#include "systems/annunciators/annunciators.h"
#include "systems/annunciators/annunciators_panels.h"
#include "systems/instruments/instrument_values.h"
#include "systems/switches/switch_targets.h"
#include "systems/switches/switch_values.h"

namespace {

int below_gs_handler(float& button, XPLMCommandPhase phase) {
  momentary(button, phase);
  if (phase == phase_begin) gpws_below_gs_inhibit();
  return 0;
}

// ---- Annunciator bright/test switch: -1 DIM, 0 BRT, 1 TEST -----------------

constexpr int kGenericLightsSent = 64;
constexpr int kAnnunciatorRheostat = 14;
constexpr float kBright = 1.0f;
constexpr float kDim = 0.5f;

void set_annunciator_rheostat(float level) {
  float* generic = host_mirror.sim_cockpit2_switches_generic_lights_switch;
  generic[kAnnunciatorRheostat] = level;
  host_send_vf(bound::sim_cockpit2_switches_generic_lights_switch, generic, kGenericLightsSent);
}

void clear_six_pack_memory() {
  for (SixPackGroup& g : ann_state.six_pack) {
    for (int32_t& m : g.memory) m = 0;
  }
}

// Starting phases of the display units' test flicker, spread so the units
// do not flicker in step.
constexpr float kDisplayTestPhases[9] = {0.0f, 0.5f, 0.2f, 3.5f, 1.0f, 3.3f, 2.6f, 2.8f, 2.3f};

// ---- Cargo fire test, failure reset ---------------------------------------

constexpr float kCargoTestHold_s = 0.6f;
constexpr float kFailureResetHold_s = 5.0f;

// 1 after a held failure reset has run, until the command is released.
float rst_fail_latch;

void failure_reset_sequence() {
  const float* tanks = host_mirror.sim_flightmodel_weight_m_fuel;
  for (int i = 0; i < 3; ++i) saved_fuel_load[i] = tanks[i];
  reset_failures();
  issue_command_once(HostCmd::operation_fix_all_systems);
  reset_fuel_distribution();
}

}  // namespace

int cmd_alert_alt_horn_cutout(XPLMCommandRef, XPLMCommandPhase ph, void*) {
  momentary(push_button::alt_horn_cutout_pos, ph);
  if (ph == phase_begin) alert::alt_horn_cut_disable = 1.0f;
  return 0;
}
int cmd_alert_below_gs_pilot(XPLMCommandRef, XPLMCommandPhase ph, void*) { return below_gs_handler(push_button::below_gs_pilot_pos, ph); }
int cmd_alert_below_gs_copilot(XPLMCommandRef, XPLMCommandPhase ph, void*) { return below_gs_handler(push_button::below_gs_copilot_pos, ph); }

int cmd_push_button_capt_six_pack(XPLMCommandRef, XPLMCommandPhase ph, void*) {
  if (ph == phase_begin) {
    six_pack_press(0);
  } else if (ph == phase_end) {
    six_pack_release(0);
  }
  return 0;
}

int cmd_toggle_switch_bright_test_dn(XPLMCommandRef, XPLMCommandPhase ph, void*) {
  if (ph != phase_begin) return 0;
  float& sw = toggle_switch::bright_test;
  if (sw == 1.0f) {
    sw = 0.0f;
    set_annunciator_rheostat(kBright);
    clear_six_pack_memory();
  } else if (sw == 0.0f) {
    sw = -1.0f;
    set_annunciator_rheostat(kDim);
  }
  return 0;
}

int cmd_toggle_switch_bright_test_up(XPLMCommandRef, XPLMCommandPhase ph, void*) {
  if (ph != phase_begin) return 0;
  float& sw = toggle_switch::bright_test;
  if (sw == -1.0f) {
    set_annunciator_rheostat(kBright);
    sw = 0.0f;
  } else if (sw == 0.0f) {
    sw = 1.0f;
    set_annunciator_rheostat(kBright);
    for (int i = 0; i < 9; ++i) ann_state.flicker_phase_s[i] = kDisplayTestPhases[i];
  }
  return 0;
}

int cmd_push_button_cargo_fire_test_push(XPLMCommandRef, XPLMCommandPhase ph, void*) {
  float& button = push_botton::cargo_fire_test;
  if (ph == phase_begin) {
    if (button == 0.0f) button = 1.0f;
    command_hold_time = 0.0f;
  } else if (ph == phase_continue) {
    // The bell rings once as the test starts; a cutout silences it for the
    // rest of the test.
    if (command_hold_passed(kCargoTestHold_s) && fire_lights.cargo_test_active == 0.0f) {
      fire_lights.cargo_test_active = 1.0f;
      fire_lights.fire_bell_enable = 1.0f;
    }
  } else if (ph == phase_end) {
    if (button == 1.0f) {
      button = 0.0f;
      fire_lights.cargo_test_active = 0.0f;
    }
  }
  return 0;
}

int cmd_toggle_switch_exting_test_lft(XPLMCommandRef, XPLMCommandPhase ph, void*) {
  if (ph == phase_begin) {
    step_position(toggle_switch::extinguisher_circuit_test, -1, -1, 1);
  } else if (ph == phase_end) {
    toggle_switch::extinguisher_circuit_test = 0.0f;
  }
  return 0;
}
int cmd_toggle_switch_exting_test_rgt(XPLMCommandRef, XPLMCommandPhase ph, void*) {
  if (ph == phase_begin) {
    step_position(toggle_switch::extinguisher_circuit_test, 1, -1, 1);
  } else if (ph == phase_end) {
    toggle_switch::extinguisher_circuit_test = 0.0f;
  }
  return 0;
}

int cmd_toggle_switch_fdr(XPLMCommandRef, XPLMCommandPhase ph, void*) { return toggle_handler(switches::fdr_pos, ph); }
int cmd_toggle_switch_fdr_cover(XPLMCommandRef, XPLMCommandPhase ph, void*) { return toggle_handler(fdr_cover_target, ph); }
int cmd_toggle_switch_gpws_flap(XPLMCommandRef, XPLMCommandPhase ph, void*) {
  return guard_down(toggle_switch::gpws_flap_cover_pos) ? 0 : toggle_handler(toggle_switch::gpws_flap_pos, ph);
}
int cmd_toggle_switch_gpws_flap_cover(XPLMCommandRef, XPLMCommandPhase ph, void*) { return toggle_handler(gpws_flap_cover_target, ph); }
int cmd_toggle_switch_gpws_gear(XPLMCommandRef, XPLMCommandPhase ph, void*) {
  return guard_down(toggle_switch::gpws_gear_cover_pos) ? 0 : toggle_handler(toggle_switch::gpws_gear_pos, ph);
}
int cmd_toggle_switch_gpws_gear_cover(XPLMCommandRef, XPLMCommandPhase ph, void*) { return toggle_handler(gpws_gear_cover_target, ph); }

int cmd_push_button_mach_warn1_test(XPLMCommandRef, XPLMCommandPhase ph, void*) { return momentary_handler(push_button::mach_warn1_pos, ph); }
int cmd_push_button_mach_warn2_test(XPLMCommandRef, XPLMCommandPhase ph, void*) { return momentary_handler(push_button::mach_warn2_pos, ph); }
int cmd_push_button_tat_test(XPLMCommandRef, XPLMCommandPhase ph, void*) { return momentary_handler(push_button::tat_test_pos, ph); }

int cmd_system_disable_rnd_fail(XPLMCommandRef, XPLMCommandPhase ph, void*) {
  if (ph == phase_begin) disable_random_failures();
  return 0;
}
int cmd_system_enable_rnd_fail(XPLMCommandRef, XPLMCommandPhase ph, void*) {
  if (ph == phase_begin) enable_random_failures();
  return 0;
}

// Runs at once while a reset is offered; otherwise held for 5 s. Either way
// once per press: a reset run at the press latches out the held one.
int cmd_system_rst_fail(XPLMCommandRef, XPLMCommandPhase ph, void*) {
  if (ph == phase_begin) {
    rst_fail_latch = 0.0f;
    command_hold_time = 0.0f;
    if (system_::rst_fail_available2 == 1.0f) {
      rst_fail_latch = 1.0f;
      failure_reset_sequence();
    }
  } else if (ph == phase_continue) {
    if (command_hold_passed(kFailureResetHold_s) && rst_fail_latch == 0.0f) {
      rst_fail_latch = 1.0f;
      failure_reset_sequence();
    }
  } else if (ph == phase_end) {
    rst_fail_latch = 0.0f;
  }
  return 0;
}
