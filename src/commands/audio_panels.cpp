// Command handlers of the three audio control panels (captain, first officer,
// observer): the six transmitter select keys and five receiver select keys of
// each panel, and the SELCAL reset keys of COM 1 to COM 3.
//
// The keys only move selections and key positions; what is heard and which
// lamps light is the radio and audio panel update's and the annunciator
// pass's. No handler here issues a command or arms a timer.
#include "commands/command_handlers.h"
#include "commands/switch_moves.h"
#include "core/preprocess_values.h"
#include "systems/annunciators/annunciator_values.h"
#include "systems/radios/comm_values.h"
#include "systems/radios/mic_select.h"
#include "systems/radios/radio_audio.h"

namespace {

float* const kMicKeys[seat_count][mic_key_count] = {
    {&audio::capt_mic_button1, &audio::capt_mic_button2, &audio::capt_mic_button3, &audio::capt_mic_button4,
     &audio::capt_mic_button5, &audio::capt_mic_button6},
    {&audio::fo_mic_button1, &audio::fo_mic_button2, &audio::fo_mic_button3, &audio::fo_mic_button4,
     &audio::fo_mic_button5, &audio::fo_mic_button6},
    {&audio::obs_mic_button1, &audio::obs_mic_button2, &audio::obs_mic_button3, &audio::obs_mic_button4,
     &audio::obs_mic_button5, &audio::obs_mic_button6},
};

// A push while the key still counts as pressed (the start state leaves the
// selected key down until its first release) is ignored.
int mic_key_handler(int seat, int key, XPLMCommandPhase phase) {
  float* const* keys = kMicKeys[seat];
  if (phase == phase_begin) {
    if (*keys[key] != 0.0f) return 0;
    for (int k = 0; k < mic_key_count; ++k) {
      *keys[k] = k == key ? 1.0f : 0.0f;
      mic_select[seat][k] = k == key ? 1.0f : 0.0f;
    }
  } else if (phase == phase_end) {
    *keys[key] = 0.0f;
  }
  return 0;
}

enum Receiver { rx_com1, rx_com2, rx_nav1, rx_nav2, rx_mark, rx_count };

struct ReceiverKey {
  float* selection;  // 1 heard, 0 not
  float* position;   // 0 off, 0.7 on (standing out), 1 being pushed
};

const ReceiverKey kReceivers[seat_count][rx_count] = {
    {{&comm::audio_sel_com1, &comm::com1_audio_sel_pos},
     {&comm::audio_sel_com2, &comm::com2_audio_sel_pos},
     {&comm::audio_sel_nav1, &comm::nav1_audio_sel_pos},
     {&comm::audio_sel_nav2, &comm::nav2_audio_sel_pos},
     {&comm::audio_sel_marker, &comm::mark_audio_sel_pos}},
    {{&comm::fo_audio_sel_com1, &comm::fo_com1_audio_sel_pos},
     {&comm::fo_audio_sel_com2, &comm::fo_com2_audio_sel_pos},
     {&comm::fo_audio_sel_nav1, &comm::fo_nav1_audio_sel_pos},
     {&comm::fo_audio_sel_nav2, &comm::fo_nav2_audio_sel_pos},
     {&comm::fo_audio_sel_marker, &comm::fo_mark_audio_sel_pos}},
    {{&comm::obs_audio_sel_com1, &comm::obs_com1_audio_sel_pos},
     {&comm::obs_audio_sel_com2, &comm::obs_com2_audio_sel_pos},
     {&comm::obs_audio_sel_nav1, &comm::obs_nav1_audio_sel_pos},
     {&comm::obs_audio_sel_nav2, &comm::obs_nav2_audio_sel_pos},
     {&comm::obs_audio_sel_marker, &comm::obs_mark_audio_sel_pos}},
};

// Push on, push off: the receiver is heard while its key is pushed; the
// release decides by the state the key was left in at its last release.
int receiver_key_handler(int seat, int rx, XPLMCommandPhase phase) {
  const ReceiverKey& k = kReceivers[seat][rx];
  float& latch = radio_panel_state.audio_receiver_memory[seat * rx_count + rx];
  if (phase == phase_begin) {
    *k.selection = 1.0f;
    *k.position = 1.0f;
  } else if (phase == phase_end) {
    if (latch == 1.0f) {
      *k.selection = 0.0f;
      latch = 0.0f;
      *k.position = 0.0f;
    } else {
      latch = *k.selection;
      *k.position = latch != 0.0f ? 0.7f : 0.0f;
    }
  }
  return 0;
}

float* const kSelcalKeys[3] = {&annunciates::selcal_com1_pos, &annunciates::selcal_com2_pos,
                               &annunciates::selcal_com3_pos};

int selcal_reset_handler(int radio, XPLMCommandPhase phase) {
  if (phase == phase_begin) {
    *kSelcalKeys[radio] = 1.0f;
    selcal_state.call_latch[radio] = 0.0f;
  } else if (phase == phase_end) {
    *kSelcalKeys[radio] = 0.0f;
  }
  return 0;
}

}  // namespace

int cmd_audio_capt_mic_push1(XPLMCommandRef, XPLMCommandPhase ph, void*) { return mic_key_handler(seat_capt, 0, ph); }
int cmd_audio_capt_mic_push2(XPLMCommandRef, XPLMCommandPhase ph, void*) { return mic_key_handler(seat_capt, 1, ph); }
int cmd_audio_capt_mic_push3(XPLMCommandRef, XPLMCommandPhase ph, void*) { return mic_key_handler(seat_capt, 2, ph); }
int cmd_audio_capt_mic_push4(XPLMCommandRef, XPLMCommandPhase ph, void*) { return mic_key_handler(seat_capt, 3, ph); }
int cmd_audio_capt_mic_push5(XPLMCommandRef, XPLMCommandPhase ph, void*) { return mic_key_handler(seat_capt, 4, ph); }
int cmd_audio_capt_mic_push6(XPLMCommandRef, XPLMCommandPhase ph, void*) { return mic_key_handler(seat_capt, 5, ph); }
int cmd_audio_fo_mic_push1(XPLMCommandRef, XPLMCommandPhase ph, void*) { return mic_key_handler(seat_fo, 0, ph); }
int cmd_audio_fo_mic_push2(XPLMCommandRef, XPLMCommandPhase ph, void*) { return mic_key_handler(seat_fo, 1, ph); }
int cmd_audio_fo_mic_push3(XPLMCommandRef, XPLMCommandPhase ph, void*) { return mic_key_handler(seat_fo, 2, ph); }
int cmd_audio_fo_mic_push4(XPLMCommandRef, XPLMCommandPhase ph, void*) { return mic_key_handler(seat_fo, 3, ph); }
int cmd_audio_fo_mic_push5(XPLMCommandRef, XPLMCommandPhase ph, void*) { return mic_key_handler(seat_fo, 4, ph); }
int cmd_audio_fo_mic_push6(XPLMCommandRef, XPLMCommandPhase ph, void*) { return mic_key_handler(seat_fo, 5, ph); }
int cmd_audio_obs_mic_push1(XPLMCommandRef, XPLMCommandPhase ph, void*) { return mic_key_handler(seat_obs, 0, ph); }
int cmd_audio_obs_mic_push2(XPLMCommandRef, XPLMCommandPhase ph, void*) { return mic_key_handler(seat_obs, 1, ph); }
int cmd_audio_obs_mic_push3(XPLMCommandRef, XPLMCommandPhase ph, void*) { return mic_key_handler(seat_obs, 2, ph); }
int cmd_audio_obs_mic_push4(XPLMCommandRef, XPLMCommandPhase ph, void*) { return mic_key_handler(seat_obs, 3, ph); }
int cmd_audio_obs_mic_push5(XPLMCommandRef, XPLMCommandPhase ph, void*) { return mic_key_handler(seat_obs, 4, ph); }
int cmd_audio_obs_mic_push6(XPLMCommandRef, XPLMCommandPhase ph, void*) { return mic_key_handler(seat_obs, 5, ph); }

int cmd_comm_com1_audio_sel(XPLMCommandRef, XPLMCommandPhase ph, void*) { return receiver_key_handler(seat_capt, rx_com1, ph); }
int cmd_comm_com2_audio_sel(XPLMCommandRef, XPLMCommandPhase ph, void*) { return receiver_key_handler(seat_capt, rx_com2, ph); }
int cmd_comm_nav1_audio_sel(XPLMCommandRef, XPLMCommandPhase ph, void*) { return receiver_key_handler(seat_capt, rx_nav1, ph); }
int cmd_comm_nav2_audio_sel(XPLMCommandRef, XPLMCommandPhase ph, void*) { return receiver_key_handler(seat_capt, rx_nav2, ph); }
int cmd_comm_mark_audio_sel(XPLMCommandRef, XPLMCommandPhase ph, void*) { return receiver_key_handler(seat_capt, rx_mark, ph); }
int cmd_comm_fo_com1_audio_sel(XPLMCommandRef, XPLMCommandPhase ph, void*) { return receiver_key_handler(seat_fo, rx_com1, ph); }
int cmd_comm_fo_com2_audio_sel(XPLMCommandRef, XPLMCommandPhase ph, void*) { return receiver_key_handler(seat_fo, rx_com2, ph); }
int cmd_comm_fo_nav1_audio_sel(XPLMCommandRef, XPLMCommandPhase ph, void*) { return receiver_key_handler(seat_fo, rx_nav1, ph); }
int cmd_comm_fo_nav2_audio_sel(XPLMCommandRef, XPLMCommandPhase ph, void*) { return receiver_key_handler(seat_fo, rx_nav2, ph); }
int cmd_comm_fo_mark_audio_sel(XPLMCommandRef, XPLMCommandPhase ph, void*) { return receiver_key_handler(seat_fo, rx_mark, ph); }
int cmd_comm_obs_com1_audio_sel(XPLMCommandRef, XPLMCommandPhase ph, void*) { return receiver_key_handler(seat_obs, rx_com1, ph); }
int cmd_comm_obs_com2_audio_sel(XPLMCommandRef, XPLMCommandPhase ph, void*) { return receiver_key_handler(seat_obs, rx_com2, ph); }
int cmd_comm_obs_nav1_audio_sel(XPLMCommandRef, XPLMCommandPhase ph, void*) { return receiver_key_handler(seat_obs, rx_nav1, ph); }
int cmd_comm_obs_nav2_audio_sel(XPLMCommandRef, XPLMCommandPhase ph, void*) { return receiver_key_handler(seat_obs, rx_nav2, ph); }
int cmd_comm_obs_mark_audio_sel(XPLMCommandRef, XPLMCommandPhase ph, void*) { return receiver_key_handler(seat_obs, rx_mark, ph); }

int cmd_comm_rst_selcal_com1(XPLMCommandRef, XPLMCommandPhase ph, void*) { return selcal_reset_handler(0, ph); }
int cmd_comm_rst_selcal_com2(XPLMCommandRef, XPLMCommandPhase ph, void*) { return selcal_reset_handler(1, ph); }
int cmd_comm_rst_selcal_com3(XPLMCommandRef, XPLMCommandPhase ph, void*) { return selcal_reset_handler(2, ph); }
