// Command handlers of the cockpit area: flight control panel and flaps. The
// flight control, spoiler and alternate flaps switches with their covers, the
// yaw damper, the autopilot disconnect and stall warning tests, the flap test
// button, and the flap lever with the host's own flap commands (taken over,
// so the host's flaps never move on their own).
#include "alerting/aural_cues.h"
#include "commands/command_handlers.h"
#include "core/command_refs.h"
#include "commands/switch_moves.h"
#include "core/binding.h"
#include "systems/electrical/bus_feeds.h"
#include "systems/electrical/electric_values.h"
#include "systems/flight_controls/flight_control_values.h"
#include "systems/switches/switch_targets.h"
#include "systems/switches/switch_values.h"

namespace {

// Flap lever detents for flaps 0, 1, 2, 5, 10, 15, 25, 30 and 40.
constexpr float kFlapDetents[] = {0.0f, 0.125f, 0.25f, 0.375f, 0.5f, 0.625f, 0.75f, 0.875f, 1.0f};
constexpr int kFlapDetentCount = static_cast<int>(sizeof kFlapDetents / sizeof kFlapDetents[0]);

void set_flap_lever(float lever) {
  flt_ctrls::flap_lever = lever;
  fmod_::flap_sound = 1.0f;
}

// A lever between detents (written through its dataref) moves to the
// neighbouring detent in the commanded direction.
void flap_lever_down_one() {
  for (int i = 1; i < kFlapDetentCount; ++i) {
    if (flt_ctrls::flap_lever < kFlapDetents[i]) {
      set_flap_lever(kFlapDetents[i]);
      return;
    }
  }
}

void flap_lever_up_one() {
  for (int i = kFlapDetentCount - 2; i >= 0; --i) {
    if (flt_ctrls::flap_lever > kFlapDetents[i]) {
      set_flap_lever(kFlapDetents[i]);
      return;
    }
  }
}

struct StallTestSide {
  float& button;
  float& active;
  const float& dc_bus;
  const float& ac_transfer_bus;
};

// The test only reaches the host's stall warning on the ground, with the
// side's buses powered and below 50 ft; the release ends the host's test
// only where this push began it (the other side's push may still hold it).
void stall_test(StallTestSide side, XPLMCommandPhase phase) {
  if (phase == phase_begin) {
    const int on_ground_all = host_mirror.sim_flightmodel_failures_onground_all;
    if (on_ground_all == 1) {
      side.button = 1.0f;
      if (side.dc_bus == 1.0f && side.ac_transfer_bus == 1.0f &&
          host_mirror.sim_cockpit2_gauges_indicators_radio_altimeter_height_ft_pilot < 50.0f) {
        issue_command_begin(HostCmd::annunciator_test_stall);
        side.active = 1.0f;
      }
    } else if (on_ground_all == 0) {
      side.button = 1.0f;
    }
  } else if (phase == phase_end) {
    side.button = 0.0f;
    if (side.active == 1.0f) issue_command_end(HostCmd::annunciator_test_stall);
    side.active = 0.0f;
  }
}

}  // namespace

int cmd_toggle_switch_ap_disconnect_test1_up(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  momentary(toggle_switch::ap_discon_test1, phase, 1.0f);
  return 0;
}

int cmd_toggle_switch_ap_disconnect_test1_dn(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  momentary(toggle_switch::ap_discon_test1, phase, -1.0f);
  return 0;
}

int cmd_toggle_switch_ap_disconnect_test2_up(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  momentary(toggle_switch::ap_discon_test2, phase, 1.0f);
  return 0;
}

int cmd_toggle_switch_ap_disconnect_test2_dn(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  momentary(toggle_switch::ap_discon_test2, phase, -1.0f);
  return 0;
}

int cmd_toggle_switch_flt_ctr_A_up(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  if (!guard_down(switches::flt_ctr_A_cover_pos)) step_at_begin(switches::flt_ctr_A_pos, phase, -1);
  return 0;
}

int cmd_toggle_switch_flt_ctr_A_dn(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  if (!guard_down(switches::flt_ctr_A_cover_pos)) step_at_begin(switches::flt_ctr_A_pos, phase, 1);
  return 0;
}

int cmd_toggle_switch_flt_ctr_B_up(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  if (!guard_down(switches::flt_ctr_B_cover_pos)) step_at_begin(switches::flt_ctr_B_pos, phase, -1);
  return 0;
}

int cmd_toggle_switch_flt_ctr_B_dn(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  if (!guard_down(switches::flt_ctr_B_cover_pos)) step_at_begin(switches::flt_ctr_B_pos, phase, 1);
  return 0;
}

int cmd_toggle_switch_flt_ctr_A_cover(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  toggle_at_begin(flt_ctr_A_cover_target, phase);
  return 0;
}

int cmd_toggle_switch_flt_ctr_B_cover(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  toggle_at_begin(flt_ctr_B_cover_target, phase);
  return 0;
}

int cmd_toggle_switch_spoiler_A(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  if (!guard_down(switches::spoiler_A_cover_pos)) toggle_at_begin(switches::spoiler_A_pos, phase);
  return 0;
}

int cmd_toggle_switch_spoiler_B(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  if (!guard_down(switches::spoiler_B_cover_pos)) toggle_at_begin(switches::spoiler_B_pos, phase);
  return 0;
}

int cmd_toggle_switch_spoiler_A_cover(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  toggle_at_begin(spoiler_A_cover_target, phase);
  return 0;
}

int cmd_toggle_switch_spoiler_B_cover(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  toggle_at_begin(spoiler_B_cover_target, phase);
  return 0;
}

int cmd_toggle_switch_alt_flaps(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  if (!guard_down(switches::alt_flaps_cover_pos)) toggle_at_begin(switches::alt_flaps_pos, phase);
  return 0;
}

int cmd_toggle_switch_alt_flaps_cover(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  toggle_at_begin(alt_flaps_cover_target, phase);
  return 0;
}

int cmd_push_button_flaps_test(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  momentary(push_button::flaps_test_pos, phase);
  return 0;
}

int cmd_push_button_stall_test1_press(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  stall_test({push_button::stall_test1, push_button::stall_test_active1, fed01(Consumer::stall_test_1),
              electric::ac_tns_bus1_pow4},
             phase);
  return 0;
}

int cmd_push_button_stall_test2_press(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  stall_test({push_button::stall_test2, push_button::stall_test_active2, fed01(Consumer::stall_test_2),
              electric::ac_tns_bus2_pow4},
             phase);
  return 0;
}

// UP stays latched while the battery bus holds it; DOWN springs back.
int cmd_toggle_switch_alt_flaps_ctrl_up(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  if (phase == phase_begin) {
    step_position(toggle_switch::alt_flaps_ctrl, -1, -1, 1);
  } else if (phase == phase_end && !fed(Consumer::alternate_flaps_latch)) {
    toggle_switch::alt_flaps_ctrl = 0.0f;
  }
  return 0;
}

int cmd_toggle_switch_alt_flaps_ctrl_dn(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  if (phase == phase_begin) {
    step_position(toggle_switch::alt_flaps_ctrl, 1, -1, 1);
  } else if (phase == phase_end) {
    toggle_switch::alt_flaps_ctrl = 0.0f;
  }
  return 0;
}

// While the switch is held on the damper reads 2; the release settles it at 1.
int cmd_toggle_switch_yaw_dumper(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  float& pos = toggle_switch::yaw_dumper_pos;
  if (phase == phase_begin) {
    if (pos == 0.0f) {
      pos = 1.0f;
      yaw_damper_switch_state = 2.0f;
    } else {
      pos = 0.0f;
      yaw_damper_switch_state = 0.0f;
    }
  } else if (phase == phase_end && pos == 1.0f) {
    yaw_damper_switch_state = 1.0f;
  }
  return 0;
}

#define CORVANE_FLAP_DETENT_HANDLER(fn, detent)                  \
  int fn(XPLMCommandRef, XPLMCommandPhase phase, void*) {        \
    if (phase == phase_begin) set_flap_lever(kFlapDetents[detent]); \
    return 0;                                                    \
  }

CORVANE_FLAP_DETENT_HANDLER(cmd_push_button_flaps_0, 0)
CORVANE_FLAP_DETENT_HANDLER(cmd_push_button_flaps_1, 1)
CORVANE_FLAP_DETENT_HANDLER(cmd_push_button_flaps_2, 2)
CORVANE_FLAP_DETENT_HANDLER(cmd_push_button_flaps_5, 3)
CORVANE_FLAP_DETENT_HANDLER(cmd_push_button_flaps_10, 4)
CORVANE_FLAP_DETENT_HANDLER(cmd_push_button_flaps_15, 5)
CORVANE_FLAP_DETENT_HANDLER(cmd_push_button_flaps_25, 6)
CORVANE_FLAP_DETENT_HANDLER(cmd_push_button_flaps_30, 7)
CORVANE_FLAP_DETENT_HANDLER(cmd_push_button_flaps_40, 8)

#undef CORVANE_FLAP_DETENT_HANDLER

int hook_flight_controls_flaps_up(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  if (phase == phase_begin) flap_lever_up_one();
  return 0;
}

int hook_flight_controls_flaps_down(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  if (phase == phase_begin) flap_lever_down_one();
  return 0;
}
