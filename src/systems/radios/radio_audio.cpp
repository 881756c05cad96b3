// Radio tuning and audio control panels (see radio_audio.h).
#include "systems/radios/radio_audio.h"

#include "core/host_io.h"
#include "core/command_refs.h"
#include "core/binding.h"
#include "systems/annunciators/annunciator_values.h"
#include "systems/electrical/bus_feeds.h"
#include "systems/radios/comm_values.h"
#include "systems/electrical/electric_values.h"
#include "systems/electrical/electrical.h"
#include "systems/instruments/instrument_values.h"
#include "systems/radios/mic_select.h"

RadioPanelState radio_panel_state;

namespace {

constexpr float kLcdBlank = 90.0f;
constexpr float kLcdOther = 99.0f;
// Host transmitter selection values for COM 1 and COM 2.
constexpr int32_t kTransmitCom1 = 6;
constexpr int32_t kTransmitCom2 = 7;

struct PanelRefs {
  float* off_status;
  float* offside_status;
  float* status[rtp_channel_count];
  float* lcd;
};

const PanelRefs panels[rtp_count] = {
    {&comm::rtp_L_off_status,
     &comm::rtp_L_offside_tuning_status,
     {&comm::rtp_L_vhf_1_status, &comm::rtp_L_vhf_2_status, &comm::rtp_L_vhf_3_status, &comm::rtp_L_hf_1_status,
      &comm::rtp_L_am_status, &comm::rtp_L_hf_2_status},
     &comm::rtp_L_lcd_to_display},
    {&comm::rtp_R_off_status,
     &comm::rtp_R_offside_tuning_status,
     {&comm::rtp_R_vhf_1_status, &comm::rtp_R_vhf_2_status, &comm::rtp_R_vhf_3_status, &comm::rtp_R_hf_1_status,
      &comm::rtp_R_am_status, &comm::rtp_R_hf_2_status},
     &comm::rtp_R_lcd_to_display},
    {&comm::rtp_D_off_status,
     &comm::rtp_D_offside_tuning_status,
     {&comm::rtp_D_vhf_1_status, &comm::rtp_D_vhf_2_status, &comm::rtp_D_vhf_3_status, &comm::rtp_D_hf_1_status,
      &comm::rtp_D_am_status, &comm::rtp_D_hf_2_status},
     &comm::rtp_D_lcd_to_display},
};

enum Channel { ch_com1, ch_com2, ch_nav1, ch_nav2, ch_mark, ch_count };

struct SeatRefs {
  float* selector[ch_count];  // receiver selectors
  float* volume[ch_count];
  float* knob[ch_count];
  float* lamp[ch_count];
};

const SeatRefs seats[3] = {
    {{&comm::audio_sel_com1, &comm::audio_sel_com2, &comm::audio_sel_nav1, &comm::audio_sel_nav2,
      &comm::audio_sel_marker},
     {&comm::audio_vol_com1, &comm::audio_vol_com2, &comm::audio_vol_nav1, &comm::audio_vol_nav2,
      &comm::audio_vol_mark},
     {&comm::com1_audio_sel_pos, &comm::com2_audio_sel_pos, &comm::nav1_audio_sel_pos, &comm::nav2_audio_sel_pos,
      &comm::mark_audio_sel_pos},
     {&comm::audio_sel_com1_on, &comm::audio_sel_com2_on, &comm::audio_sel_nav1_on, &comm::audio_sel_nav2_on,
      &comm::audio_sel_mark_on}},
    {{&comm::fo_audio_sel_com1, &comm::fo_audio_sel_com2, &comm::fo_audio_sel_nav1, &comm::fo_audio_sel_nav2,
      &comm::fo_audio_sel_marker},
     {&comm::fo_audio_vol_com1, &comm::fo_audio_vol_com2, &comm::fo_audio_vol_nav1, &comm::fo_audio_vol_nav2,
      &comm::fo_audio_vol_mark},
     {&comm::fo_com1_audio_sel_pos, &comm::fo_com2_audio_sel_pos, &comm::fo_nav1_audio_sel_pos,
      &comm::fo_nav2_audio_sel_pos, &comm::fo_mark_audio_sel_pos},
     {&comm::fo_audio_sel_com1_on, &comm::fo_audio_sel_com2_on, &comm::fo_audio_sel_nav1_on,
      &comm::fo_audio_sel_nav2_on, &comm::fo_audio_sel_mark_on}},
    {{&comm::obs_audio_sel_com1, &comm::obs_audio_sel_com2, &comm::obs_audio_sel_nav1, &comm::obs_audio_sel_nav2,
      &comm::obs_audio_sel_marker},
     {&comm::obs_audio_vol_com1, &comm::obs_audio_vol_com2, &comm::obs_audio_vol_nav1, &comm::obs_audio_vol_nav2,
      &comm::obs_audio_vol_mark},
     {&comm::obs_com1_audio_sel_pos, &comm::obs_com2_audio_sel_pos, &comm::obs_nav1_audio_sel_pos,
      &comm::obs_nav2_audio_sel_pos, &comm::obs_mark_audio_sel_pos},
     {&comm::obs_audio_sel_com1_on, &comm::obs_audio_sel_com2_on, &comm::obs_audio_sel_nav1_on,
      &comm::obs_audio_sel_nav2_on, &comm::obs_audio_sel_mark_on}},
};

HostMirror& hm = host_mirror;

// The bus a panel and its own VHF radio run on: L and D the AC standby bus,
// R AC transfer bus 2.
float panel_bus(int32_t p) { return fed01(p == rtp_R ? Consumer::audio_panel_fo : Consumer::audio_panel_capt); }

// The host's COM 1 and COM 2 follow the power of their panels' bus.
void com_power(int32_t p, bool on) {
  if (p == rtp_L) issue_command_once(on ? HostCmd::radios_power_com1_on : HostCmd::radios_power_com1_off);
  if (p == rtp_R) issue_command_once(on ? HostCmd::radios_power_com2_on : HostCmd::radios_power_com2_off);
}

// A panel goes dark: blank display and nothing selected, so that it tunes
// nothing and lights no other panel's offside lamp.
void panel_dark(int32_t p) {
  *panels[p].off_status = 1.0f;
  *panels[p].lcd = kLcdBlank;
  rtp_select_radio(p, 0, 0, 0, 0, 0, 0);
}

// A panel comes on with a selection; with none kept, on its own radio.
void panel_light(int32_t p, const float* kept) {
  *panels[p].off_status = 0.0f;
  int32_t f[rtp_channel_count] = {};
  bool any = false;
  for (int c = 0; c < rtp_channel_count; ++c) {
    f[c] = (kept != nullptr && kept[c] != 0.0f) ? 1 : 0;
    if (f[c] != 0) any = true;
  }
  if (!any) f[p] = 1;  // L owns VHF 1, R VHF 2, D VHF 3
  rtp_select_radio(p, f[0], f[1], f[2], f[3], f[4], f[5]);
}

// A panel switched off at its own switch stays dark while it has power; one
// that loses its power forgets the switch, as at start-up, and comes back on
// its own radio with the power.
void panel_power(int32_t p, float bus, float prev_bus) {
  RadioPanelState& s = radio_panel_state;
  const bool on = *panels[p].off_status == 0.0f;
  if (bus == 0.0f) {
    if (on || s.rtp_switched_off[p] != 0.0f) {
      if (on) panel_dark(p);
      s.rtp_switched_off[p] = 0.0f;
      com_power(p, false);
    }
  } else if (!on) {
    if (bus == prev_bus || s.rtp_switched_off[p] != 0.0f) {
      s.rtp_offside_lamp[p] = 1.0f;
    } else {
      panel_light(p, nullptr);
      com_power(p, true);
    }
  }
}

void panel_lamps(int32_t p, float bus) {
  const RadioPanelState& s = radio_panel_state;
  const PanelRefs& r = panels[p];
  if (cockpit::dspl_light_test[0] == 0.0f) {
    *r.offside_status = s.rtp_offside_lamp[p];
    for (int c = 0; c < rtp_channel_count; ++c) *r.status[c] = s.rtp_selection[p][c];
    return;
  }
  const float lit = (bus != 0.0f && cockpit::dspl_light_test[2 + p] != 2.0f) ? 1.0f : 0.0f;
  *r.offside_status = lit;
  for (int c = 0; c < rtp_channel_count; ++c) *r.status[c] = lit;
}

void drive_host_radios() {
  const float prior = script_mirror.zuvadud_D738_effects_prior_tx_com;
  const int seat_index = prior == 0.0f ? seat_capt : prior == 1.0f ? seat_fo : seat_obs;
  const SeatRefs& seat = seats[seat_index];
  // A key transmits only from a powered panel: the lamp supply (direct
  // battery bus), and transfer bus 2 as well for the first officer's and
  // observer's panels. The lamp dimmer and the daylight play no part.
  const bool lamp_power =
      elec_bus_status.dir_batbus_copy != 0.0f && fed(Consumer::audio_panel_lamps);
  const bool panel_powered = lamp_power && (seat_index == seat_capt || fed(Consumer::audio_panel_fo));
  const bool mic1 = panel_powered && mic_select[seat_index][0] != 0.0f;
  const bool mic2 = panel_powered && mic_select[seat_index][1] != 0.0f;
  const float sel1 = *seat.selector[ch_com1];
  const float sel2 = *seat.selector[ch_com2];
  const int32_t com1 =
      (hm.sim_cockpit2_radios_actuators_com1_power != 0 && (sel1 == 1.0f || (sel1 == 0.0f && mic1))) ? 1 : 0;
  const int32_t com2 =
      (hm.sim_cockpit2_radios_actuators_com2_power != 0 && (sel2 == 1.0f || (sel2 == 0.0f && mic2))) ? 1 : 0;
  const int32_t transmit = mic1 ? kTransmitCom1 : mic2 ? kTransmitCom2 : 0;

  struct Every {
    bound::Id id;
    int32_t& mirror;
    int32_t value;
  };
  const Every every[] = {
      {bound::sim_cockpit2_radios_actuators_audio_com_selection, hm.sim_cockpit2_radios_actuators_audio_com_selection,
       transmit},
      {bound::sim_cockpit2_radios_actuators_audio_selection_com1,
       hm.sim_cockpit2_radios_actuators_audio_selection_com1, com1},
      {bound::sim_cockpit2_radios_actuators_audio_selection_com2,
       hm.sim_cockpit2_radios_actuators_audio_selection_com2, com2},
  };
  for (const Every& e : every) {
    // The host's transmitter selection knows COM 1 and COM 2 only: with no
    // mic key to transmit from (no key selected, the panel unpowered) it
    // keeps the radio it had.
    if (&e.mirror == &hm.sim_cockpit2_radios_actuators_audio_com_selection && e.value == 0) continue;
    e.mirror = e.value;
    host_send_i(e.id, e.value);
  }
  struct Volume {
    bound::Id id;
    float& mirror;
  };
  const Volume volumes[ch_count] = {
      {bound::sim_cockpit2_radios_actuators_audio_volume_com1, hm.sim_cockpit2_radios_actuators_audio_volume_com1},
      {bound::sim_cockpit2_radios_actuators_audio_volume_com2, hm.sim_cockpit2_radios_actuators_audio_volume_com2},
      {bound::sim_cockpit2_radios_actuators_audio_volume_nav1, hm.sim_cockpit2_radios_actuators_audio_volume_nav1},
      {bound::sim_cockpit2_radios_actuators_audio_volume_nav2, hm.sim_cockpit2_radios_actuators_audio_volume_nav2},
      {bound::sim_cockpit2_radios_actuators_audio_volume_mark, hm.sim_cockpit2_radios_actuators_audio_volume_mark},
  };
  for (int c = 0; c < ch_count; ++c) {
    volumes[c].mirror = *seat.volume[c];
    host_send_f(volumes[c].id, *seat.volume[c]);
  }
  // A receiver without its power sends no ident to the headsets.
  host_set_i(bound::sim_cockpit2_radios_actuators_audio_selection_nav1,
             (*seat.selector[ch_nav1] != 0.0f && fed(Consumer::vor_dme1)) ? 1 : 0);
  host_set_i(bound::sim_cockpit2_radios_actuators_audio_selection_nav2,
             (*seat.selector[ch_nav2] != 0.0f && fed(Consumer::vor_dme2)) ? 1 : 0);
  host_set_i(bound::sim_cockpit2_radios_actuators_audio_marker_enabled, *seat.selector[ch_mark] != 0.0f ? 1 : 0);
}

void selector_lamps() {
  const float bright = annunciator::brightness_level;
  const float bus[3] = {fed01(Consumer::audio_panel_capt), fed01(Consumer::audio_panel_fo), fed01(Consumer::audio_panel_fo)};
  for (int seat = 0; seat < 3; ++seat) {
    for (int c = 0; c < ch_count; ++c) {
      *seats[seat].lamp[c] = *seats[seat].knob[c] == 0.0f ? 0.0f : bus[seat] * bright;
    }
  }
}

}  // namespace

void rtp_select_radio(int32_t panel, int32_t vhf1, int32_t vhf2, int32_t vhf3, int32_t hf1, int32_t am,
                      int32_t hf2) {
  RadioPanelState& s = radio_panel_state;
  if (panel >= 0 && panel < rtp_count) {
    const int32_t flags[rtp_channel_count] = {vhf1, vhf2, vhf3, hf1, am, hf2};
    for (int c = 0; c < rtp_channel_count; ++c) s.rtp_selection[panel][c] = flags[c] != 0 ? 1.0f : 0.0f;
  }
  // A panel's offside lamp is dark only while it alone tunes its own radio.
  const auto& sel = s.rtp_selection;
  for (int p = 0; p < rtp_count; ++p) {
    const int own = p;  // L owns VHF 1, R VHF 2, D VHF 3
    bool alone = sel[p][own] == 1.0f;
    for (int q = 0; q < rtp_count; ++q) {
      if (q != p && sel[q][own] == 1.0f) alone = false;
    }
    s.rtp_offside_lamp[p] = alone ? 0.0f : 1.0f;
  }
  for (int p = 0; p < rtp_count; ++p) {
    if (*panels[p].off_status != 0.0f) continue;
    const float* f = sel[p];
    *panels[p].lcd = f[rtp_vhf_1] == 1.0f ? 0.0f : f[rtp_vhf_2] == 1.0f ? 1.0f : f[rtp_vhf_3] == 1.0f ? 2.0f : kLcdOther;
  }
}

void rtp_vhf_select(int32_t panel, int32_t vhf) {
  if (panel < 0 || panel >= rtp_count || vhf < 0 || vhf > 2) return;
  if (*panels[panel].off_status == 0.0f) {
    rtp_select_radio(panel, vhf == 0 ? 1 : 0, vhf == 1 ? 1 : 0, vhf == 2 ? 1 : 0, 0, 0, 0);
  }
  comm::radio_button = 1.0f;
}

void rtp_off_switch(int32_t panel) {
  // A panel without power answers no switch.
  if (panel < 0 || panel >= rtp_count || panel_bus(panel) == 0.0f) return;
  RadioPanelState& s = radio_panel_state;
  if (s.rtp_switched_off[panel] == 0.0f) {
    s.rtp_switched_off[panel] = 1.0f;
    for (int c = 0; c < rtp_channel_count; ++c) s.rtp_selection_kept[panel][c] = s.rtp_selection[panel][c];
    if (*panels[panel].off_status == 0.0f) panel_dark(panel);
  } else {
    s.rtp_switched_off[panel] = 0.0f;
    if (*panels[panel].off_status != 0.0f) panel_light(panel, s.rtp_selection_kept[panel]);
  }
}

void update_audio_radio_panels() {
  RadioPanelState& s = radio_panel_state;
  const float stdby = fed01(Consumer::audio_panel_capt);
  const float tns2 = fed01(Consumer::audio_panel_fo);
  // Each NAV receiver is one unit on its own bus: its status reads the row
  // its flags, needle, flight director input and glideslope read.
  comm::nav1_status = fed01(Consumer::vor_dme1);
  comm::nav2_status = fed01(Consumer::vor_dme2);

  panel_power(rtp_L, stdby, s.rtp_prev_stdby_bus);
  panel_power(rtp_R, tns2, s.rtp_prev_tns2_bus);
  panel_power(rtp_D, stdby, s.rtp_prev_stdby_bus);
  // An unpowered panel's lamp is dark whatever the selection says.
  if (stdby == 0.0f) {
    s.rtp_offside_lamp[rtp_L] = 0.0f;
    s.rtp_offside_lamp[rtp_D] = 0.0f;
  }
  if (tns2 == 0.0f) s.rtp_offside_lamp[rtp_R] = 0.0f;

  panel_lamps(rtp_L, stdby);
  panel_lamps(rtp_R, tns2);
  panel_lamps(rtp_D, stdby);

  if (comm::radio_button == 1.0f) {
    comm::radio_button = 2.0f;
  } else if (comm::radio_button == 2.0f) {
    comm::radio_button = 0.0f;
  }

  drive_host_radios();
  s.rtp_prev_stdby_bus = stdby;
  s.rtp_prev_tns2_bus = tns2;
  selector_lamps();
}

void init_audio_panels() {
  RadioPanelState& s = radio_panel_state;
  issue_command_once(OwnCmd::rtp_L_vhf_1_sel_switch);
  issue_command_once(OwnCmd::rtp_R_vhf_2_sel_switch);
  issue_command_once(OwnCmd::rtp_D_vhf_3_sel_switch);
  comm::rtp_L_hf_sens_ctrl_rheostat = 500.0f;
  comm::rtp_R_hf_sens_ctrl_rheostat = 500.0f;
  s.rtp_prev_stdby_bus = 0.0f;
  s.rtp_prev_tns2_bus = 0.0f;
  // Nothing saves the OFF switches: a loaded aircraft has its panels on.
  for (int p = 0; p < rtp_count; ++p) {
    s.rtp_switched_off[p] = 0.0f;
    for (int c = 0; c < rtp_channel_count; ++c) s.rtp_selection_kept[p][c] = 0.0f;
  }

  const float host_volume[ch_count] = {
      hm.sim_cockpit2_radios_actuators_audio_volume_com1, hm.sim_cockpit2_radios_actuators_audio_volume_com2,
      hm.sim_cockpit2_radios_actuators_audio_volume_nav1, hm.sim_cockpit2_radios_actuators_audio_volume_nav2,
      hm.sim_cockpit2_radios_actuators_audio_volume_mark};
  for (const SeatRefs& seat : seats) {
    for (int c = 0; c < ch_count; ++c) *seat.volume[c] = host_volume[c];
  }
  // Both pilots start listening on COM 1 and COM 2; the observer on nothing.
  for (int i = 0; i < 3; ++i) {
    const bool pilot = i < 2;
    for (int c = 0; c < ch_count; ++c) {
      const bool com = c == ch_com1 || c == ch_com2;
      *seats[i].selector[c] = (pilot && com) ? 1.0f : 0.0f;
      *seats[i].knob[c] = (pilot && com) ? 0.7f : 0.0f;
      s.audio_receiver_memory[i * ch_count + c] = (pilot && com) ? 1.0f : 0.0f;
    }
  }
}
