// Command handlers of the cockpit area: display sources and selectors. The
// instrument and display source selectors, the captain's and first
// officer's display unit selectors, the speed reference selector with its
// adjust knob, and the lower display unit's clear/recall button. The first
// officer's selectors turn the other way from the captain's.
#include "commands/command_handlers.h"
#include "commands/switch_moves.h"
#include "systems/instruments/instrument_values.h"
#include "systems/switches/switch_values.h"

namespace {

// Turning back to 0 resets the three manual speeds; entering the V1, VR and
// VREF positions loads that speed into the adjust knob.
constexpr float kManualSpeedReset = 80.0f;

void speed_reference_left() {
  float& sel = toggle_switch::spd_ref;
  if (!step_position(sel, -1, 0, 6)) return;
  if (sel == 0.0f) {
    pfd::vspeed_man_v1 = kManualSpeedReset;
    pfd::vspeed_man_vr = kManualSpeedReset;
    pfd::vspeed_man_vref = kManualSpeedReset;
  } else if (sel == 1.0f) {
    toggle_switch::spd_ref_adjust = pfd::vspeed_man_v1;
  } else if (sel == 2.0f) {
    toggle_switch::spd_ref_adjust = pfd::vspeed_man_vr;
  } else if (sel == 4.0f) {
    toggle_switch::spd_ref_adjust = pfd::vspeed_man_vref;
  }
}

void speed_reference_right() {
  float& sel = toggle_switch::spd_ref;
  if (!step_position(sel, 1, 0, 6)) return;
  if (sel == 1.0f) {
    toggle_switch::spd_ref_adjust = pfd::vspeed_man_v1;
  } else if (sel == 2.0f) {
    toggle_switch::spd_ref_adjust = pfd::vspeed_man_vr;
  } else if (sel == 4.0f) {
    toggle_switch::spd_ref_adjust = pfd::vspeed_man_vref;
  }
}

}  // namespace

int cmd_toggle_switch_dspl_ctrl_pnl_left(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  step_at_begin(toggle_switch::dspl_ctrl_pnl, phase, -1, -1, 1);
  return 0;
}

int cmd_toggle_switch_dspl_ctrl_pnl_right(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  step_at_begin(toggle_switch::dspl_ctrl_pnl, phase, 1, -1, 1);
  return 0;
}

int cmd_toggle_switch_fmc_source_left(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  step_at_begin(toggle_switch::fmc_source, phase, -1, -1, 1);
  return 0;
}

int cmd_toggle_switch_fmc_source_right(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  step_at_begin(toggle_switch::fmc_source, phase, 1, -1, 1);
  return 0;
}

int cmd_toggle_switch_main_pnl_du_fo_left(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  step_at_begin(toggle_switch::main_pnl_du_fo, phase, 1, -1, 3);
  return 0;
}

int cmd_toggle_switch_main_pnl_du_fo_right(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  step_at_begin(toggle_switch::main_pnl_du_fo, phase, -1, -1, 3);
  return 0;
}

int cmd_toggle_switch_lower_du_fo_left(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  step_at_begin(toggle_switch::lower_du_fo, phase, 1, -1, 1);
  return 0;
}

int cmd_toggle_switch_lower_du_fo_right(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  step_at_begin(toggle_switch::lower_du_fo, phase, -1, -1, 1);
  return 0;
}

int cmd_toggle_switch_main_pnl_du_capt_left(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  step_at_begin(toggle_switch::main_pnl_du_capt, phase, -1, -1, 3);
  return 0;
}

int cmd_toggle_switch_main_pnl_du_capt_right(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  step_at_begin(toggle_switch::main_pnl_du_capt, phase, 1, -1, 3);
  return 0;
}

int cmd_toggle_switch_lower_du_capt_left(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  step_at_begin(toggle_switch::lower_du_capt, phase, -1, -1, 1);
  return 0;
}

int cmd_toggle_switch_lower_du_capt_right(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  step_at_begin(toggle_switch::lower_du_capt, phase, 1, -1, 1);
  return 0;
}

int cmd_toggle_switch_dspl_source_left(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  step_at_begin(toggle_switch::dspl_source, phase, -1, -1, 1);
  return 0;
}

int cmd_toggle_switch_dspl_source_right(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  step_at_begin(toggle_switch::dspl_source, phase, 1, -1, 1);
  return 0;
}

int cmd_toggle_switch_spd_ref_left(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  if (phase == phase_begin) speed_reference_left();
  return 0;
}

int cmd_toggle_switch_spd_ref_right(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  if (phase == phase_begin) speed_reference_right();
  return 0;
}

// The adjust knob turns both ways over one range, from the reset speed up
// to 200 kt, so a speed turned up from a selection can be turned back.
constexpr float kManualSpeedHighest = 200.0f;

int cmd_toggle_switch_spd_ref_adjust_left(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  if (phase == phase_begin && toggle_switch::spd_ref_adjust > kManualSpeedReset) toggle_switch::spd_ref_adjust -= 1.0f;
  return 0;
}

int cmd_toggle_switch_spd_ref_adjust_right(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  if (phase == phase_begin && toggle_switch::spd_ref_adjust < kManualSpeedHighest) {
    toggle_switch::spd_ref_adjust += 1.0f;
  }
  return 0;
}

// Pressed: shows the autoland failure (or the next page of it); a second
// press over a present failure clears the display. Released with no
// failure present, the display clears.
int cmd_LDU_control_push_button_MFD_CR(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  if (phase == phase_begin) {
    if (autoland::fail_flag <= 1.0f || autoland::fail_status == 0.0f) {
      autoland::fail_flag = autoland::fail_status + 1.0f;
    } else {
      autoland::fail_flag = 0.0f;
    }
  } else if (phase == phase_end && autoland::fail_status == 0.0f) {
    autoland::fail_flag = 0.0f;
  }
  return 0;
}
