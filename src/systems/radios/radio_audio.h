// The three radio tuning panels (L, R and the centre D) and the three audio
// control panels (captain, first officer, observer): panel power with the
// buses, the selector and offside-tuning lamps, and the receivers,
// transmitter and volumes of the seat that drives the host's radios.
//
// Reads the bus status (electric::), the display light test, the annunciator
// brightness and the scripts' "zuvadud/D738/effects/prior_tx_com"; writes the
// comm:: panel values and the host's audio selections and volumes, and
// switches COM 1 and COM 2 power with the host's commands.
#pragma once

#include <cstdint>

enum RadioPanel : int32_t { rtp_L, rtp_R, rtp_D, rtp_count };
// Selection flags of a tuning panel, in this order.
enum RadioChannel : int32_t { rtp_vhf_1, rtp_vhf_2, rtp_vhf_3, rtp_hf_1, rtp_am, rtp_hf_2, rtp_channel_count };

struct RadioPanelState {
  float rtp_selection[rtp_count][rtp_channel_count];  // 0/1
  float rtp_offside_lamp[rtp_count];
  float rtp_prev_stdby_bus;  // bus values of the previous frame
  float rtp_prev_tns2_bus;
  // 1 while a powered panel is switched off at its own OFF switch; the
  // selection it had then, given back when it is switched on again.
  float rtp_switched_off[rtp_count];
  float rtp_selection_kept[rtp_count][rtp_channel_count];
  // Per seat (captain, first officer, observer) COM 1, COM 2, NAV 1, NAV 2,
  // MARKER: kept by the audio selector commands.
  float audio_receiver_memory[15];
};
extern RadioPanelState radio_panel_state;

// Sets a panel's six selection flags (panel 0 L, 1 R, 2 D; others select
// nothing) and recomputes every offside lamp and the display of every panel
// that is on.
void rtp_select_radio(int32_t panel, int32_t vhf1, int32_t vhf2, int32_t vhf3, int32_t hf1, int32_t am, int32_t hf2);
// The VHF selector push of a panel (vhf 0..2): selects only that radio when
// the panel is on, and starts the push animation. For the command handlers.
void rtp_vhf_select(int32_t panel, int32_t vhf);

// A panel's OFF switch (panel 0..2): switches a powered panel off (blank
// display, nothing selected, so its knobs tune nothing, its offside lamp
// lit) and, pressed again, back on with the selection it had; an unpowered
// panel does not answer. For the command handlers.
void rtp_off_switch(int32_t panel);

// Every unpaused, live frame after the anti-ice step.
void update_audio_radio_panels();
// First frame after each load.
void init_audio_panels();
