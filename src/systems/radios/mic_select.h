// Transmitter selection of the three audio control panels (captain, first
// officer, observer): one-hot over the six transmitter keys of each panel.
// The mic select keys set it; the first-frame switch memory reset selects the
// captain's transmitter 1, the first officer's 2 and the observer's 6; the
// annunciator pass lights each panel's mic indicators from it.
#pragma once

enum AudioPanelSeat : int { seat_capt, seat_fo, seat_obs, seat_count };
constexpr int mic_key_count = 6;

extern float mic_select[seat_count][mic_key_count];  // 1 selected, 0 not
