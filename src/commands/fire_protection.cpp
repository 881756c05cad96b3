// Command handlers of the cockpit area: fire protection, alert and test. The
// three extinguisher handles (pulled, then turned toward a bottle), the fire
// bell cutouts, the fault/overheat test switch, the master caution buttons
// and the first officer's six-pack recall, and the GPWS inhibit switches,
// covers and test button.
#include "alerting/gpws_test_state.h"
#include "commands/command_handlers.h"
#include "commands/command_hold.h"
#include "core/command_refs.h"
#include "commands/switch_moves.h"
#include "core/binding.h"
#include "core/host_io.h"
#include "core/frame_values.h"
#include "systems/annunciators/annunciators.h"
#include "systems/annunciators/annunciators_panels.h"
#include "systems/electrical/bus_feeds.h"
#include "systems/electrical/electric_values.h"
#include "systems/fire/fire.h"
#include "systems/instruments/instrument_values.h"
#include "systems/switches/switch_targets.h"
#include "systems/switches/switch_values.h"

namespace {

constexpr int kEngineFireActive = 6;       // host failure value of a burning engine
constexpr float kFireTestHoldS = 0.6f;     // the overheat/fire test lights after this hold
constexpr float kGpwsLongTestHoldS = 2.0f; // a longer press starts the long GPWS test
constexpr float kGpwsHoldCapS = 2.5f;

constexpr int kCaptain = 0;
constexpr int kFirstOfficer = 1;

bool engine_fire_active() {
  return host_mirror.sim_operation_failures_rel_engfir0 == kEngineFireActive ||
         host_mirror.sim_operation_failures_rel_engfir1 == kEngineFireActive;
}

// The bell is silenced while something rings it, an engine fire or either
// fire test, until a new warning; pushed with nothing ringing it keeps the
// bell ready for the next one. The master warning clears either way.
void fire_bell_cutout(float& button, XPLMCommandPhase phase) {
  if (phase == phase_begin && button == 0.0f) {
    button = 1.0f;
    issue_command_once(HostCmd::annunciator_clear_master_warning);
    if (engine_fire_active() || toggle_switch::fire_test == 1.0f || fire_lights.cargo_test_active == 1.0f) {
      fire_lights.fire_bell_enable = 0.0f;
    }
  } else if (phase == phase_end) {
    button = 0.0f;
  }
}

void master_caution(int side, XPLMCommandPhase phase) {
  if (phase == phase_begin) {
    master_caution_press(side);
  } else if (phase == phase_end) {
    master_caution_release(side);
  }
}

// The inhibit switch covers: the command moves the cover itself; its saved
// target goes with it.
void gpws_cover(float& pos, float& target, XPLMCommandPhase phase) {
  if (phase != phase_begin) return;
  toggle_switch_pos(pos);
  target = pos;
}

void write_gpws_test_cue(bound::Id id, float& mirror, float value) {
  mirror = value;
  script_set_f(id, value);
}

bool gpws_powered() { return fed(Consumer::gpws_self_test); }

void start_gpws_test() {
  system_::gpws_test_running = 1.0f;
  gpws_test.started = 1.0f;
}

// A press shorter than 2 s starts the short test at release; a longer hold
// starts the long test while still held.
void gpws_test_button(XPLMCommandPhase phase) {
  GpwsTestState& t = gpws_test;
  if (phase == phase_begin) {
    push_button::gpws_test_pos = 1.0f;
    t.hold_time_s = 0.0f;
  } else if (phase == phase_continue) {
    if (!gpws_powered() || system_::gpws_test_running != 0.0f || t.long_inhibit != 0.0f) return;
    t.hold_time_s += frame_time;
    if (t.hold_time_s > kGpwsHoldCapS) {
      t.hold_time_s = kGpwsHoldCapS;
    } else if (t.hold_time_s > kGpwsLongTestHoldS) {
      write_gpws_test_cue(bound::zuvadud_d738_fmodpack_fmod_gpwstest_long_on,
                          script_mirror.zuvadud_d738_fmodpack_fmod_gpwstest_long_on, 1.0f);
      start_gpws_test();
    }
  } else if (phase == phase_end) {
    push_button::gpws_test_pos = 0.0f;
    if (!gpws_powered() || system_::gpws_test_running != 0.0f || t.short_inhibit != 0.0f ||
        !(t.hold_time_s < kGpwsLongTestHoldS)) {
      return;
    }
    // Low down the short test calls out its whole set; higher up, with the
    // flaps not beyond 15, the shorter set; with more flap, no test at all,
    // and nothing is left running.
    float cue = 0.0f;
    if (host_mirror.sim_cockpit2_gauges_indicators_radio_altimeter_height_ft_pilot <= 1000.0f) {
      cue = 1.0f;
    } else if (host_mirror.sim_cockpit2_controls_flap_handle_deploy_ratio <= 0.625f) {
      cue = 2.0f;
    }
    if (cue == 0.0f) return;
    write_gpws_test_cue(bound::zuvadud_d738_fmodpack_fmod_gpwstest_short_on,
                        script_mirror.zuvadud_d738_fmodpack_fmod_gpwstest_short_on, cue);
    start_gpws_test();
  }
}

}  // namespace

int cmd_push_button_fo_six_pack(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  if (phase == phase_begin) {
    six_pack_press(kFirstOfficer);
  } else if (phase == phase_end) {
    six_pack_release(kFirstOfficer);
  }
  return 0;
}

// The fault test position springs back when released.
int cmd_toggle_switch_fire_test_lft(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  if (phase == phase_begin) {
    step_position(toggle_switch::fire_test, -1, -1, 1);
  } else if (phase == phase_end) {
    toggle_switch::fire_test = 0.0f;
  }
  return 0;
}

int cmd_toggle_switch_fire_test_rgt(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  if (phase == phase_begin) {
    step_position(toggle_switch::fire_test, 1, -1, 1);
    command_hold_time = 0.0f;
  } else if (phase == phase_continue) {
    // The test rings the bell once as it starts; a cutout silences it for
    // the rest of the test.
    if (command_hold_passed(kFireTestHoldS) && toggle_switch::fire_test == 1.0f && fire_lights.fire_test_all == 0.0f) {
      fire_lights.fire_test_all = 1.0f;
      fire_lights.fire_bell_enable = 1.0f;
    }
  } else if (phase == phase_end) {
    toggle_switch::fire_test = 0.0f;
    fire_lights.fire_test_all = 0.0f;
  }
  return 0;
}

int cmd_push_button_fire_bell_light1(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  fire_bell_cutout(push_button::fire_bell_cutout1, phase);
  return 0;
}

int cmd_push_button_fire_bell_light2(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  fire_bell_cutout(push_button::fire_bell_cutout2, phase);
  return 0;
}

int cmd_push_button_master_caution1(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  master_caution(kCaptain, phase);
  return 0;
}

int cmd_push_button_master_caution2(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  master_caution(kFirstOfficer, phase);
  return 0;
}

int cmd_fire_engine01_ext_switch_arm(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  if (phase == phase_begin) fire_handle_pull(fire_handle_eng1);
  return 0;
}

int cmd_fire_engine02_ext_switch_arm(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  if (phase == phase_begin) fire_handle_pull(fire_handle_eng2);
  return 0;
}

int cmd_fire_apu_ext_switch_arm(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  if (phase == phase_begin) fire_handle_pull(fire_handle_apu);
  return 0;
}

int cmd_fire_engine01_ext_switch_L(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  if (phase == phase_begin) fire_handle_turn(fire_handle_eng1, -1);
  return 0;
}

int cmd_fire_engine01_ext_switch_R(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  if (phase == phase_begin) fire_handle_turn(fire_handle_eng1, 1);
  return 0;
}

int cmd_fire_engine02_ext_switch_L(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  if (phase == phase_begin) fire_handle_turn(fire_handle_eng2, -1);
  return 0;
}

int cmd_fire_engine02_ext_switch_R(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  if (phase == phase_begin) fire_handle_turn(fire_handle_eng2, 1);
  return 0;
}

int cmd_fire_apu_ext_switch_L(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  if (phase == phase_begin) fire_handle_turn(fire_handle_apu, -1);
  return 0;
}

int cmd_fire_apu_ext_switch_R(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  if (phase == phase_begin) fire_handle_turn(fire_handle_apu, 1);
  return 0;
}

int cmd_push_button_gpws_test(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  gpws_test_button(phase);
  return 0;
}

int cmd_toggle_switch_gpws_terr(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  if (!guard_down(toggle_switch::gpws_terr_cover_pos)) toggle_at_begin(toggle_switch::gpws_terr_pos, phase);
  return 0;
}

int cmd_toggle_switch_gpws_xraas(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  if (!guard_down(toggle_switch::gpws_xraas_cover_pos)) toggle_at_begin(toggle_switch::gpws_xraas_pos, phase);
  return 0;
}

int cmd_toggle_switch_gpws_terr_cover(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  gpws_cover(toggle_switch::gpws_terr_cover_pos, gpws_terr_cover_target, phase);
  return 0;
}

int cmd_toggle_switch_gpws_xraas_cover(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  gpws_cover(toggle_switch::gpws_xraas_cover_pos, gpws_xraas_cover_target, phase);
  return 0;
}
