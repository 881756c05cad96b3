// Command handlers of the radio tuning panels (L, R and the centre D), of the
// plug-in's own third VHF radio (COM 3), of the NAV and ADF transfer keys and
// of the ADF antenna switches.
//
// COM 1 and COM 2 are the host's radios: the panels tune them only through the
// host's own radio commands. COM 3 lives in the published comm::com3_* values
// and is stepped by its own five commands, which the panels issue like any
// host command. Panel power, LCD sources and lamps are the radio and audio
// panel update's; these handlers read the panels' off status and LCD source,
// and the OFF switches switch their panels off and on through it.
#include <cmath>

#include "commands/command_handlers.h"
#include "commands/command_hold.h"
#include "core/command_refs.h"
#include "commands/switch_moves.h"
#include "systems/electrical/bus_feeds.h"
#include "systems/radios/comm_values.h"
#include "systems/radios/radio_audio.h"
#include "systems/switches/switch_values.h"

namespace {

// Knob repeat starts once a knob has been held this long.
constexpr float kKnobRepeatAfter_s = 0.5f;

enum Knob { knob_mhz_down, knob_mhz_up, knob_khz_down, knob_khz_up, knob_count };

struct PanelRefs {
  const float* off_status;
  const float* lcd;
  float* mhz_counter;
  float* khz_counter;
  float* swap_key;
};

const PanelRefs kPanels[rtp_count] = {
    {&comm::rtp_L_off_status, &comm::rtp_L_lcd_to_display, &comm::rtp_L_freq_MHz_sel_dial_pos,
     &comm::rtp_L_freq_khz_sel_dial_pos, &comm::push_button_rtp_L_freq_swap},
    {&comm::rtp_R_off_status, &comm::rtp_R_lcd_to_display, &comm::rtp_R_freq_MHz_sel_dial_pos,
     &comm::rtp_R_freq_khz_sel_dial_pos, &comm::push_button_rtp_R_freq_swap},
    {&comm::rtp_D_off_status, &comm::rtp_D_lcd_to_display, &comm::rtp_D_freq_MHz_sel_dial_pos,
     &comm::rtp_D_freq_khz_sel_dial_pos, &comm::push_button_rtp_D_freq_swap},
};

// The command a knob step sends for the radio the panel shows (VHF 1, 2, 3).
XPLMCommandRef knob_command(Knob knob, int radio) {
  static constexpr HostCmd host[knob_count][2] = {
      {HostCmd::radios_stby_com1_coarse_down, HostCmd::radios_stby_com2_coarse_down},
      {HostCmd::radios_stby_com1_coarse_up, HostCmd::radios_stby_com2_coarse_up},
      {HostCmd::radios_stby_com1_fine_down_833, HostCmd::radios_stby_com2_fine_down_833},
      {HostCmd::radios_stby_com1_fine_up_833, HostCmd::radios_stby_com2_fine_up_833},
  };
  static constexpr OwnCmd com3[knob_count] = {OwnCmd::com3_dial_course_down, OwnCmd::com3_dial_course_up,
                                              OwnCmd::com3_dial_fine_down, OwnCmd::com3_dial_fine_up};
  if (radio == 0 || radio == 1) return host_command(host[knob][radio]);
  if (radio == 2) return own_command(com3[knob]);
  return nullptr;
}

// The panel's LCD source as a radio index 0..2, or -1 for none of the VHFs.
int shown_radio(const PanelRefs& p) {
  const float lcd = *p.lcd;
  if (lcd == 0.0f) return 0;
  if (lcd == 1.0f) return 1;
  if (lcd == 2.0f) return 2;
  return -1;
}

// The panel whose knob or key is issuing a COM 3 command right now, or -1
// when the command comes from outside (a key or button of the user's).
int com3_issuing_panel = -1;

void issue_from_panel(int panel, XPLMCommandRef command) {
  com3_issuing_panel = panel;
  issue_command_once(command);
  com3_issuing_panel = -1;
}

// COM 3 is tuned only with its own power (the captain's radios' bus, which
// also feeds panel D) and from a panel that is on: the panel that sent the
// step, or for a command from outside, COM 3's own panel D.
bool com3_answers() {
  const int panel = com3_issuing_panel >= 0 && com3_issuing_panel < rtp_count ? com3_issuing_panel : rtp_D;
  return fed(Consumer::audio_panel_capt) && *kPanels[panel].off_status == 0.0f;
}

void knob_step(int panel, Knob knob) {
  const PanelRefs& p = kPanels[panel];
  if (*p.off_status == 0.0f) {
    const int radio = shown_radio(p);
    if (radio >= 0) issue_from_panel(panel, knob_command(knob, radio));
  }
  // The knob turns whether or not the panel answers.
  const bool mhz = knob == knob_mhz_down || knob == knob_mhz_up;
  const bool up = knob == knob_mhz_up || knob == knob_khz_up;
  float& counter = mhz ? *p.mhz_counter : *p.khz_counter;
  counter += up ? 1.0f : -1.0f;
}

int knob_handler(int panel, Knob knob, XPLMCommandPhase phase) {
  if (phase == phase_begin) {
    knob_step(panel, knob);
    command_hold_time = 0.0f;
  } else if (phase == phase_continue) {
    if (command_hold_passed(kKnobRepeatAfter_s)) knob_step(panel, knob);
  }
  return 0;
}

int select_handler(int panel, int vhf, XPLMCommandPhase phase) {
  if (phase == phase_begin) rtp_vhf_select(panel, vhf);
  return 0;
}

// The OFF switch: each push switches its panel off, or on again.
int off_switch_handler(int panel, XPLMCommandPhase phase) {
  if (phase == phase_begin) rtp_off_switch(panel);
  return 0;
}

// HF 1, HF 2 and AM are not fitted: their keys only animate.
int key_pulse_handler(XPLMCommandPhase phase) {
  if (phase == phase_begin) comm::radio_button = 1.0f;
  return 0;
}

int transfer_handler(int panel, XPLMCommandPhase phase) {
  const PanelRefs& p = kPanels[panel];
  if (phase == phase_begin) {
    static constexpr HostCmd flip[2] = {HostCmd::radios_com1_standy_flip, HostCmd::radios_com2_standy_flip};
    const int radio = shown_radio(p);
    if (radio < 0) return 0;
    issue_from_panel(panel, radio == 2 ? own_command(OwnCmd::com3_dial_flip) : host_command(flip[radio]));
    *p.swap_key = 1.0f;
  } else if (phase == phase_end) {
    *p.swap_key = 0.0f;
  }
  return 0;
}

// NAV and ADF transfer keys hold the host's flip command exactly as long as
// the key is held, and swap a receiver's frequencies only while the receiver
// has power; the key itself moves either way. A swap begun with power is
// ended at the release even if the power has gone meanwhile.
struct FlipKey {
  float* key;
  HostCmd flip;
  Consumer receiver;
};
enum FlipKeyId { flip_nav1, flip_nav2, flip_adf1, flip_adf2, flip_key_count };
bool flip_begun[flip_key_count] = {false, false, false, false};

int held_flip_handler(FlipKeyId id, XPLMCommandPhase phase) {
  static const FlipKey keys[flip_key_count] = {
      {&push_button::switch_freq_nav1, HostCmd::radios_nav1_standy_flip, Consumer::vor_dme1},
      {&push_button::switch_freq_nav2, HostCmd::radios_nav2_standy_flip, Consumer::vor_dme2},
      {&push_button::switch_freq_adf1, HostCmd::radios_adf1_standy_flip, Consumer::adf1},
      {&push_button::switch_freq_adf2, HostCmd::radios_adf2_standy_flip, Consumer::adf2},
  };
  const FlipKey& k = keys[id];
  if (phase == phase_begin) {
    *k.key = 1.0f;
    flip_begun[id] = fed(k.receiver);
    if (flip_begun[id]) issue_command_begin(k.flip);
  } else if (phase == phase_end) {
    *k.key = 0.0f;
    if (flip_begun[id]) issue_command_end(k.flip);
    flip_begun[id] = false;
  }
  return 0;
}

// COM 3 standby MHz: 118 .. 136, then DATA, then round again.
constexpr float kCom3LowMHz = 118.0f;
constexpr float kCom3HighMHz = 136.0f;

void com3_mhz_step(bool up) {
  float& data = comm::com3_stdby_freq_data;
  float& mhz = comm::com3_stdby_freq_MHz;
  const float entry_end = up ? kCom3HighMHz : kCom3LowMHz;  // the end that leads into DATA
  if (data == 1.0f) {
    data = 0.0f;
    mhz = up ? kCom3LowMHz : kCom3HighMHz;
  } else if (mhz == entry_end) {
    data = 1.0f;
    comm::com3_stdby_freq_kHz = 0.0f;
    mhz = kCom3LowMHz;
  } else {
    mhz += up ? 1.0f : -1.0f;
  }
}

// COM 3 standby kHz over the 8.33 kHz channel names within one MHz: the last
// two digits run 00 05 10 15 25 30 35 40 50 55 60 65 75 80 85 90, skipping
// the 20, 45, 70 and 95 names; 990 up wraps to 000 and 000 down to 990
// without carrying into the MHz.
float com3_khz_next(float khz, bool up) {
  // A negative or non-finite value written from outside restarts the dial at 000.
  if (!(std::isfinite(khz) && khz >= 0.0f)) khz = 0.0f;
  float h = std::floor(khz / 100.0f);
  float r = khz - 100.0f * h;
  if (!(r >= 0.0f)) r = 0.0f;
  if (up) {
    if (r == 90.0f) {
      r = 0.0f;
      h = h == 9.0f ? 0.0f : h + 1.0f;
    } else if (r == 15.0f || r == 40.0f || r == 65.0f) {
      r += 10.0f;
    } else {
      r += 5.0f;
    }
  } else {
    if (r == 0.0f) {
      r = 90.0f;
      h = h == 0.0f ? 9.0f : h - 1.0f;
    } else if (r == 25.0f || r == 50.0f || r == 75.0f) {
      r -= 10.0f;
    } else {
      r -= 5.0f;
    }
  }
  return 100.0f * h + r;
}

void com3_khz_step(bool up) {
  comm::com3_stdby_freq_data = 0.0f;  // turning the kHz knob always leaves DATA
  comm::com3_stdby_freq_kHz = com3_khz_next(comm::com3_stdby_freq_kHz, up);
}

void swap(float& a, float& b) {
  const float t = a;
  a = b;
  b = t;
}

}  // namespace

int cmd_rtp_L_off_switch(XPLMCommandRef, XPLMCommandPhase ph, void*) { return off_switch_handler(rtp_L, ph); }
int cmd_rtp_R_off_switch(XPLMCommandRef, XPLMCommandPhase ph, void*) { return off_switch_handler(rtp_R, ph); }
int cmd_rtp_D_off_switch(XPLMCommandRef, XPLMCommandPhase ph, void*) { return off_switch_handler(rtp_D, ph); }

int cmd_rtp_L_vhf_1_sel_switch(XPLMCommandRef, XPLMCommandPhase ph, void*) { return select_handler(rtp_L, 0, ph); }
int cmd_rtp_L_vhf_2_sel_switch(XPLMCommandRef, XPLMCommandPhase ph, void*) { return select_handler(rtp_L, 1, ph); }
int cmd_rtp_L_vhf_3_sel_switch(XPLMCommandRef, XPLMCommandPhase ph, void*) { return select_handler(rtp_L, 2, ph); }
int cmd_rtp_R_vhf_1_sel_switch(XPLMCommandRef, XPLMCommandPhase ph, void*) { return select_handler(rtp_R, 0, ph); }
int cmd_rtp_R_vhf_2_sel_switch(XPLMCommandRef, XPLMCommandPhase ph, void*) { return select_handler(rtp_R, 1, ph); }
int cmd_rtp_R_vhf_3_sel_switch(XPLMCommandRef, XPLMCommandPhase ph, void*) { return select_handler(rtp_R, 2, ph); }
int cmd_rtp_D_vhf_1_sel_switch(XPLMCommandRef, XPLMCommandPhase ph, void*) { return select_handler(rtp_D, 0, ph); }
int cmd_rtp_D_vhf_2_sel_switch(XPLMCommandRef, XPLMCommandPhase ph, void*) { return select_handler(rtp_D, 1, ph); }
int cmd_rtp_D_vhf_3_sel_switch(XPLMCommandRef, XPLMCommandPhase ph, void*) { return select_handler(rtp_D, 2, ph); }

int cmd_rtp_L_hf_1_sel_switch(XPLMCommandRef, XPLMCommandPhase ph, void*) { return key_pulse_handler(ph); }
int cmd_rtp_L_am_sel_switch(XPLMCommandRef, XPLMCommandPhase ph, void*) { return key_pulse_handler(ph); }
int cmd_rtp_L_hf_2_sel_switch(XPLMCommandRef, XPLMCommandPhase ph, void*) { return key_pulse_handler(ph); }
int cmd_rtp_R_hf_1_sel_switch(XPLMCommandRef, XPLMCommandPhase ph, void*) { return key_pulse_handler(ph); }
int cmd_rtp_R_am_sel_switch(XPLMCommandRef, XPLMCommandPhase ph, void*) { return key_pulse_handler(ph); }
int cmd_rtp_R_hf_2_sel_switch(XPLMCommandRef, XPLMCommandPhase ph, void*) { return key_pulse_handler(ph); }
int cmd_rtp_D_hf_1_sel_switch(XPLMCommandRef, XPLMCommandPhase ph, void*) { return key_pulse_handler(ph); }
int cmd_rtp_D_am_sel_switch(XPLMCommandRef, XPLMCommandPhase ph, void*) { return key_pulse_handler(ph); }
int cmd_rtp_D_hf_2_sel_switch(XPLMCommandRef, XPLMCommandPhase ph, void*) { return key_pulse_handler(ph); }

int cmd_rtp_L_freq_txfr_sel_switch(XPLMCommandRef, XPLMCommandPhase ph, void*) { return transfer_handler(rtp_L, ph); }
int cmd_rtp_R_freq_txfr_sel_switch(XPLMCommandRef, XPLMCommandPhase ph, void*) { return transfer_handler(rtp_R, ph); }
int cmd_rtp_D_freq_txfr_sel_switch(XPLMCommandRef, XPLMCommandPhase ph, void*) { return transfer_handler(rtp_D, ph); }

int cmd_rtp_L_freq_MHz_sel_dial_up(XPLMCommandRef, XPLMCommandPhase ph, void*) { return knob_handler(rtp_L, knob_mhz_up, ph); }
int cmd_rtp_L_freq_MHz_sel_dial_dn(XPLMCommandRef, XPLMCommandPhase ph, void*) { return knob_handler(rtp_L, knob_mhz_down, ph); }
int cmd_rtp_L_freq_khz_sel_dial_up(XPLMCommandRef, XPLMCommandPhase ph, void*) { return knob_handler(rtp_L, knob_khz_up, ph); }
int cmd_rtp_L_freq_khz_sel_dial_dn(XPLMCommandRef, XPLMCommandPhase ph, void*) { return knob_handler(rtp_L, knob_khz_down, ph); }
int cmd_rtp_R_freq_MHz_sel_dial_up(XPLMCommandRef, XPLMCommandPhase ph, void*) { return knob_handler(rtp_R, knob_mhz_up, ph); }
int cmd_rtp_R_freq_MHz_sel_dial_dn(XPLMCommandRef, XPLMCommandPhase ph, void*) { return knob_handler(rtp_R, knob_mhz_down, ph); }
int cmd_rtp_R_freq_khz_sel_dial_up(XPLMCommandRef, XPLMCommandPhase ph, void*) { return knob_handler(rtp_R, knob_khz_up, ph); }
int cmd_rtp_R_freq_khz_sel_dial_dn(XPLMCommandRef, XPLMCommandPhase ph, void*) { return knob_handler(rtp_R, knob_khz_down, ph); }
int cmd_rtp_D_freq_MHz_sel_dial_up(XPLMCommandRef, XPLMCommandPhase ph, void*) { return knob_handler(rtp_D, knob_mhz_up, ph); }
int cmd_rtp_D_freq_MHz_sel_dial_dn(XPLMCommandRef, XPLMCommandPhase ph, void*) { return knob_handler(rtp_D, knob_mhz_down, ph); }
int cmd_rtp_D_freq_khz_sel_dial_up(XPLMCommandRef, XPLMCommandPhase ph, void*) { return knob_handler(rtp_D, knob_khz_up, ph); }
int cmd_rtp_D_freq_khz_sel_dial_dn(XPLMCommandRef, XPLMCommandPhase ph, void*) { return knob_handler(rtp_D, knob_khz_down, ph); }

int cmd_com3_dial_course_up(XPLMCommandRef, XPLMCommandPhase ph, void*) {
  if (ph == phase_begin && com3_answers()) com3_mhz_step(true);
  return 0;
}
int cmd_com3_dial_course_down(XPLMCommandRef, XPLMCommandPhase ph, void*) {
  if (ph == phase_begin && com3_answers()) com3_mhz_step(false);
  return 0;
}
int cmd_com3_dial_fine_up(XPLMCommandRef, XPLMCommandPhase ph, void*) {
  if (ph == phase_begin && com3_answers()) com3_khz_step(true);
  return 0;
}
int cmd_com3_dial_fine_down(XPLMCommandRef, XPLMCommandPhase ph, void*) {
  if (ph == phase_begin && com3_answers()) com3_khz_step(false);
  return 0;
}
int cmd_com3_dial_flip(XPLMCommandRef, XPLMCommandPhase ph, void*) {
  if (ph == phase_begin && com3_answers()) {
    swap(comm::com3_act_freq_data, comm::com3_stdby_freq_data);
    swap(comm::com3_act_freq_MHz, comm::com3_stdby_freq_MHz);
    swap(comm::com3_act_freq_kHz, comm::com3_stdby_freq_kHz);
  }
  return 0;
}

int cmd_push_button_switch_freq_nav1_press(XPLMCommandRef, XPLMCommandPhase ph, void*) {
  return held_flip_handler(flip_nav1, ph);
}
int cmd_push_button_switch_freq_nav2_press(XPLMCommandRef, XPLMCommandPhase ph, void*) {
  return held_flip_handler(flip_nav2, ph);
}
int cmd_push_button_switch_freq_adf1_press(XPLMCommandRef, XPLMCommandPhase ph, void*) {
  return held_flip_handler(flip_adf1, ph);
}
int cmd_push_button_switch_freq_adf2_press(XPLMCommandRef, XPLMCommandPhase ph, void*) {
  return held_flip_handler(flip_adf2, ph);
}

int cmd_toggle_switch_adf_ant1(XPLMCommandRef, XPLMCommandPhase ph, void*) {
  if (ph == phase_begin) toggle_switch_pos(toggle_switch::adf_ant1);
  return 0;
}
int cmd_toggle_switch_adf_ant2(XPLMCommandRef, XPLMCommandPhase ph, void*) {
  if (ph == phase_begin) toggle_switch_pos(toggle_switch::adf_ant2);
  return 0;
}
