// Light equations of the overhead status lights and packs, fire protection,
// doors, radio, SELCAL and audio lamps, crossfeed, cabin altitude, bleed and
// test lights, anti-ice and probe heat, and the light-spill stage.
//
// Reads: host failures and annunciators, the reversers' modes and sleeves,
// switch positions, door ratios of the scripts, anti-ice valve positions,
// radio indicators, the SELCAL call latches, bus statuses and pressurisation
// outputs. Writes: those annunciator:: lights, the duct overheat values, the
// thermal anti-ice indications and the spill arrays, and re-arms the cabin
// altitude horn's cut-out.
#include <cmath>

#include "alerting/aural_cues.h"
#include "core/failure_entries.h"
#include "core/failure_tables.h"
#include "core/util.h"
#include "core/binding.h"
#include "core/frame_values.h"
#include "core/preprocess_values.h"
#include "core/variant.h"
#include "engines/engine_values.h"
#include "systems/air/air_values.h"
#include "systems/annunciators/annunciator_values.h"
#include "systems/annunciators/annunciators.h"
#include "systems/annunciators/annunciators_controls.h"
#include "systems/annunciators/annunciators_panels.h"
#include "systems/apu_start/apu.h"
#include "systems/electrical/bus_feeds.h"
#include "systems/lights/cabin_light_values.h"
#include "systems/radios/comm_values.h"
#include "systems/delay_timers.h"
#include "systems/electrical/electric_values.h"
#include "systems/electrical/electrical.h"
#include "systems/fire/fire_values.h"
#include "systems/flight_controls/flight_control_values.h"
#include "systems/fuel/fuel_values.h"
#include "core/host_io.h"
#include "systems/ice_rain/anti_ice.h"
#include "systems/ice_rain/ice_values.h"
#include "systems/instruments/instrument_values.h"
#include "systems/radios/mic_select.h"
#include "systems/air/pressurisation.h"
#include "systems/switches/switch_values.h"
#include "systems/systems_step_outputs.h"
#include "systems/ice_rain/window_heat_state.h"

FireLightState fire_lights;
OverheadLightState overhead_lights;
SpillState spill_state = {1.0f, 0.0f};
AntiIceLightState anti_ice_lights;

namespace {

// A full bottle holds 600 psi; below this its squib has fired.
constexpr float kBottleSquibFired_psi = 599.9f;
constexpr float kCabinAltWarning_ft = 10000.0f;
constexpr float kCabinAltHighFieldWarning_ft = 15000.0f;
inline int32_t slot(bool b) { return b ? 1 : 0; }
bool host_failed(bound::Id id) { return mirror_i(id) == kHostFailed; }
bool failures_element(int i) { return mirror_vi_at(bound::sim_operation_failures_failures, i) == kHostFailed; }
// The host's pack failure, an entry of its failure array.
constexpr int kHostPackFailure = 153;

// REVERSER of one engine, from what is seen of its reverser: lit for 10 s
// from a stow command (the isolation valve closing after it), and while the
// sleeves have been away from the commanded position for more than 5 s. A
// normal deploy and reverse leaves it dark. The MAX's REVERSER LIMITED shows
// only the fault: a normal stow leaves it dark, and it calls the crew as
// soon as it lights.
constexpr float kReverserStowLight_s = 10.0f;
constexpr float kReverserDisagree_s = 5.0f;
constexpr float kReverserTimerCap_s = 60.0f;
constexpr float kReverserCaution_s = 12.0f;
// The MAX's amber valve light calls the crew once it has shown a valve
// against its switch this long.
constexpr float kValveCaution_s = 6.0f;

bool reverser_light(OverheadLightState& s, int e) {  // e: engine 0 or 1
  const int32_t mode = host_mirror.sim_cockpit2_engine_actuators_prop_mode[e];
  const float sleeves = host_mirror.sim_flightmodel2_engines_thrust_reverser_deploy_ratio[e];
  const bool reverse = mode == 3;
  float& stow = s.reverser_stow_s[e];
  if (reverse) {
    stow = 0.0f;
  } else if (s.reverser_prev_mode[e] == 3) {
    stow = kReverserStowLight_s;
  } else if (stow > 0.0f) {
    stow -= frame_time;
  }
  s.reverser_prev_mode[e] = mode;
  const bool away = reverse ? !(sleeves >= 0.99f) : sleeves > 0.01f;
  float& disagree = s.reverser_disagree_s[e];
  disagree = away ? std::fmin(disagree + frame_time, kReverserTimerCap_s) : 0.0f;
  const bool lit = (stow > 0.0f && !is_max_model()) || disagree > kReverserDisagree_s;
  s.reverser_lit_s[e] = lit ? std::fmin(s.reverser_lit_s[e] + frame_time, kReverserTimerCap_s) : 0.0f;
  return lit;
}

constexpr float kEngineControlArmedN2 = 50.0f;

bool engine_control_fault(int e) {  // e: engine 0 or 1
  const bound::Id fadec[2] = {bound::sim_operation_failures_rel_fadec_0, bound::sim_operation_failures_rel_fadec_1};
  return host_failed(fadec[e]) && on_ground == 1 &&
         mirror_vf_at(bound::sim_flightmodel2_engines_N2_percent, e) > kEngineControlArmedN2;
}

// The MAX's configuration reminders after take-off: both PACK switches, or
// both engine BLEED switches, left OFF light both lights of the pair, with
// MASTER CAUTION and AIR COND, from 45 s after the flaps are up; either
// switch ON puts both out, and the reminder gives up 10 minutes after it
// began. A flight begun in the air has seen no take-off.
constexpr float kConfigReminderDelay_s = 45.0f;
constexpr float kConfigReminderTimeout_s = 600.0f;

bool config_reminder_due(OverheadLightState& s) {
  if (on_ground == 1) {
    s.config_takeoff_seen = 1;
    s.config_flaps_up_s = 0.0f;
    return false;
  }
  const bool flaps_up = mirror_f(bound::sim_cockpit2_controls_flap_handle_deploy_ratio) == 0.0f;
  if (s.config_takeoff_seen == 0 || !flaps_up) {
    s.config_flaps_up_s = 0.0f;
    return false;
  }
  const float end = kConfigReminderDelay_s + kConfigReminderTimeout_s;
  s.config_flaps_up_s = std::fmin(s.config_flaps_up_s + frame_time, end);
  return is_max_model() && s.config_flaps_up_s >= kConfigReminderDelay_s && s.config_flaps_up_s < end;
}

bool packs_left_off() {
  return overhead_lights.config_reminder_due && air::l_pack_pos == 0.0f && air::r_pack_pos == 0.0f;
}

bool bleeds_left_off() {
  return overhead_lights.config_reminder_due && toggle_switch::bleed_air_1_pos == 0.0f &&
         toggle_switch::bleed_air_2_pos == 0.0f;
}

void pack_latch(int32_t& latch, float& prev_bus, float pack_switch, float bus) {
  if (pack_switch != 0.0f && prev_bus == 1.0f && bus == 0.0f) latch = 1;
  if (bus == 1.0f) latch = 0;
  prev_bus = bus;
}

}  // namespace

void annunciators_overhead() {
  OverheadLightState& s = overhead_lights;
  const float l1 = ann_levels.l1;
  annunciator::parking_brake = as01(cockpit::parking_brake_pos == 1.0f) * ann_levels.l2_dimmed;
  // ENGINE CONTROL is a ground light, armed only with its engine running:
  // an engine control fault found before take-off, not in the air.
  const bool engine_control[2] = {engine_control_fault(0), engine_control_fault(1)};
  annunciator::fadec_fail_0 = as01(engine_control[0]) * l1;
  annunciator::fadec_fail_1 = as01(engine_control[1]) * l1;
  annunciator::reverser_fail_0 = as01(reverser_light(s, 0)) * l1;
  annunciator::reverser_fail_1 = as01(reverser_light(s, 1)) * l1;
  annunciator::fadec1_off = as01(mirror_vi_at(bound::sim_cockpit2_engine_actuators_fadec_on, 0) == 0) * l1;
  annunciator::fadec2_off = as01(mirror_vi_at(bound::sim_cockpit2_engine_actuators_fadec_on, 1) == 0) * l1;
  const int32_t oxy = mirror_i(bound::sim_cockpit_warnings_annunciators_passenger_oxy_on);
  annunciator::pax_oxy = static_cast<float>(oxy) * l1;
  const int32_t smoke = mirror_i(bound::sim_operation_failures_rel_smoke_cpit);
  // The host's values below failed only arm a smoke failure for later.
  annunciator::smoke = as01(smoke == kHostFailed) * l1;
  const bool bypass[2] = {failures_element(330), failures_element(331)};
  annunciator::bypass_filter_1 = as01(bypass[0]) * l1;
  annunciator::bypass_filter_2 = as01(bypass[1]) * l1;
  pack_latch(s.pack_latch[0], s.prev_bus[0], air::l_pack_pos, fed01(Consumer::pack_trip_left));
  pack_latch(s.pack_latch[1], s.prev_bus[1], air::r_pack_pos, fed01(Consumer::pack_trip_right));
  // The host has one pack failure, older than its left and right packs: it
  // names no side, so it is taken as the left pack, the one on the side of
  // the isolation valve where the APU's and the ground cart's air come in.
  // One pack failed lights only its own light.
  const bool left_pack_fail = failures_element(kHostPackFailure);
  s.config_reminder_due = config_reminder_due(s);
  const bool packs_off = packs_left_off();
  annunciator::pack_left = as01(left_pack_fail || s.pack_latch[0] == 1 || packs_off) * l1;
  annunciator::pack_right = as01(s.pack_latch[1] == 1 || packs_off) * l1;
  annunciator::altn_press = as01(cockpit::pressurization_mode == 2.0f) * l1;
  annunciator::manual_press = as01(toggle_switch::air_valve_ctrl == 2.0f) * l1;
  annunciator::door_lock_fail = as01(toggle_switch::flt_dk_door == 0.0f && door::flt_dk_door_ratio != 0.0f) * l1;
  annunciator::door_auto_unlk = 0.0f;
  const bool emer_exit = toggle_switch::emer_exit_lights == 0.0f || toggle_switch::emer_exit_lights == 2.0f;
  annunciator::emer_exit = as01(emer_exit) * l1;
  // One GPS receiver lost leaves the other's position: the light is steady
  // only with both lost, and one alone shows on a recall.
  const bool gps[2] = {host_failed(bound::sim_operation_failures_rel_gps),
                       host_failed(bound::sim_operation_failures_rel_gps2)};
  const bool gps_both = gps[0] && gps[1];
  const bool recall = ann_state.recall != 0;
  if (gps[0] || gps[1]) ann_state.recall_shows = true;
  annunciator::ils = ann_state.ann_test_active * l1;
  annunciator::gls = ann_state.ann_test_active * l1;
  annunciator::gps = as01(gps_both || (recall && (gps[0] || gps[1])) || ann_state.ann_test_active == 1.0f) * l1;

  SixPackGroup* g = ann_state.six_pack;
  g[sp_irs].slot[0] = slot(recall ? gps[0] : gps_both);
  g[sp_irs].slot[1] = slot(recall ? gps[1] : gps_both);
  g[sp_irs].slot[2] = slot(mirror_f(bound::zuvadud_D738_annunciator_irs_left_fail) == 1.0f);
  g[sp_irs].slot[3] = slot(mirror_f(bound::zuvadud_D738_annunciator_irs_right_fail) == 1.0f);
  if (host_failed(bound::sim_operation_failures_rel_APU_press)) {
    g[sp_apu].slot[0] = 1;
  } else if (fire::apu_ext_switch_pos_arm != 0.0f) {
    g[sp_apu].slot[1] = 1;
  } else if (fire::apu_was_fire != 0.0f) {
    g[sp_apu].slot[2] = 1;
  } else if (apu_state.fuel_fault == 1.0f) {
    g[sp_apu].slot[3] = 1;
  }
  g[sp_eng].slot[0] = slot(engine_control[0]);
  g[sp_eng].slot[1] = slot(engine_control[1]);
  // The host's chip detector is a flag per engine, not a failure value.
  g[sp_eng].slot[2] = slot(mirror_vi_at(bound::sim_cockpit2_annunciators_chip_detected, 0) != 0);
  g[sp_eng].slot[3] = slot(mirror_vi_at(bound::sim_cockpit2_annunciators_chip_detected, 1) != 0);
  g[sp_eng].slot[4] = slot(host_failed(bound::sim_operation_failures_rel_engsep0));
  g[sp_eng].slot[5] = slot(host_failed(bound::sim_operation_failures_rel_engsep1));
  // REVERSER lit for longer than a stow lights it shows a fault: the crew is called to it.
  const float reverser_caution_s = is_max_model() ? 0.0f : kReverserCaution_s;
  g[sp_eng].slot[6] = slot(s.reverser_lit_s[0] > reverser_caution_s || s.reverser_lit_s[1] > reverser_caution_s);
  // The fuel pump lights fill the group's first seven slots.
  g[sp_fuel].slot[7] = slot(bypass[0]);
  g[sp_fuel].slot[8] = slot(bypass[1]);
  g[sp_overhead].slot[0] = slot(oxy != 0);
  g[sp_overhead].slot[2] = slot(smoke == kHostFailed);
  g[sp_overhead].slot[3] = slot(emer_exit);
}

void annunciators_fire() {
  FireLightState& s = fire_lights;
  const int32_t fir0 = mirror_i(bound::sim_operation_failures_rel_engfir0);
  const int32_t fir1 = mirror_i(bound::sim_operation_failures_rel_engfir1);
  // A new engine fire rings the bell again after it was silenced.
  if (fir0 != s.prev_engfir[0] && fir0 == kHostFailed && annunciator::fire_bell_annun == 0.0f) s.fire_bell_enable = 1.0f;
  if (fir1 != s.prev_engfir[1] && fir1 == kHostFailed && annunciator::fire_bell_annun == 0.0f) s.fire_bell_enable = 1.0f;
  float* det = s.detection;
  det[0] = as01(fir0 == kHostFailed);
  det[1] = as01(fir1 == kHostFailed);
  // ENG OVERHEAT stands in for the cowling's detector loops with the EGT:
  // only beyond the engine's own take-off limit, never at a normal take-off.
  const float overheat_egt = egt_takeoff_limit_c();
  det[2] = as01(mirror_vf_at(bound::sim_cockpit2_engine_indicators_EGT_deg_C, 0) > overheat_egt);
  det[3] = as01(mirror_vf_at(bound::sim_cockpit2_engine_indicators_EGT_deg_C, 1) > overheat_egt);
  const float test = toggle_switch::fire_test;
  // The cargo detectors' test is their own: unpowered they answer it with
  // neither light nor bell.
  const float cargo_test = fed(Consumer::cargo_fire_detection) ? s.cargo_test_active : 0.0f;
  float bell = as01(det[0] == 1.0f || det[1] == 1.0f || test == 1.0f || cargo_test == 1.0f);
  // The test runs each engine's loops through an alarm: an engine whose
  // loops went with it cannot alarm, and its lights stay dark for the FAULT
  // to be read.
  const bool loops_lost[2] = {host_failed(bound::sim_operation_failures_rel_engsep0),
                              host_failed(bound::sim_operation_failures_rel_engsep1)};
  if (s.fire_test_all == 1.0f) {
    for (int i = 0; i < 4; ++i) {
      if (!loops_lost[i % 2]) det[i] = 1.0f;
    }
  }
  // The detection loops, their test and all they light or ring have one
  // power: without it a fire shows nowhere rather than in half the cockpit.
  const bool detecting = fed(Consumer::fire_detection);
  if (!detecting) {
    for (int i = 0; i < 4; ++i) det[i] = 0.0f;
    bell = 0.0f;
  }
  const float l1 = ann_levels.l1;
  const float l2 = ann_levels.l2;
  annunciator::engine1_fire = det[0] * l2;
  annunciator::engine2_fire = det[1] * l2;
  annunciator::engine1_ovht = det[2] * l1;
  annunciator::engine2_ovht = det[3] * l1;
  annunciator::apu_fire = as01(detecting && s.fire_test_all == 1.0f) * l2;
  annunciator::wheel_well_fire =
      as01(test == 1.0f && fed(Consumer::wheel_well_fire_test)) * l1;
  annunciator::l_bottle_discharge = as01(fire::engine01_02L_ext_bottle_psi == 0.0f) * l1;
  annunciator::r_bottle_discharge = as01(fire::engine01_02R_ext_bottle_psi == 0.0f) * l1;
  annunciator::apu_bottle_discharge = as01(fire::apu_ext_bottle_psi == 0.0f) * l1;
  // The green lights show squib continuity, and only in the test: a bottle
  // that has begun to discharge has fired its squib and stays dark, and
  // without the circuits' power none shows continuity.
  const float ext_test = toggle_switch::extinguisher_circuit_test;
  const bool circuits = fed(Consumer::extinguisher_test_lights);
  const bool ext_testing = circuits && (ext_test == 1.0f || ext_test == -1.0f);
  auto squib_intact = [](float bottle_psi) { return bottle_psi >= kBottleSquibFired_psi; };
  annunciator::extinguisher_circuit_annun_left =
      as01(ext_testing && squib_intact(fire::engine01_02L_ext_bottle_psi)) * l1;
  annunciator::extinguisher_circuit_annun_right =
      as01(ext_testing && squib_intact(fire::engine01_02R_ext_bottle_psi)) * l1;
  annunciator::extinguisher_circuit_annun_apu = as01(ext_testing && squib_intact(fire::apu_ext_bottle_psi)) * l1;
  annunciator::extinguisher_circuit_annun2 = as01(circuits && push_botton::cargo_fire_test == 1.0f) * l1;
  annunciator::cargo_fire = cargo_test * l1;
  annunciator::cargo_fault_detector = 0.0f;
  const bool detector_fault = detecting && (test == -1.0f || loops_lost[0] || loops_lost[1]);
  annunciator::fire_fault_inop = as01(detector_fault) * l1;
  annunciator::fire_apu_det_inop = as01(detecting && test == -1.0f) * l1;
  annunciator::fire_bell_annun2 = bell * s.fire_bell_enable;
  annunciator::fire_bell_annun = annunciator::fire_bell_annun2 * l2;
  s.prev_engfir[0] = fir0;
  s.prev_engfir[1] = fir1;

  SixPackGroup& g = ann_state.six_pack[sp_fire];
  for (int i = 0; i < 4; ++i) g.slot[i] = slot(det[i] == 1.0f);
  g.slot[4] = slot(detecting && test == 1.0f);
  // FAULT calls the crew whatever lit it: the test, or a detector loop lost
  // with its engine.
  g.slot[5] = slot(detector_fault);
}

void annunciators_doors_radio() {
  const float l1 = ann_levels.l1;
  const float l2 = ann_levels.l2;
  auto door = [](bound::Id id) { return mirror_f(id) != 0.0f; };
  const bool mid = has_mid_exits();
  struct Door {
    float* light;
    bool open;
  };
  const Door doors[13] = {
      {&annunciator::fwd_entry, door(bound::tarv_doors_L1)},
      {&annunciator::aft_entry, door(bound::tarv_doors_L2)},
      {&annunciator::fwd_service, door(bound::tarv_doors_R1)},
      {&annunciator::aft_service, door(bound::tarv_doors_R2)},
      {&annunciator::fwd_cargo, door(bound::tarv_doors_Fwd_Cargo)},
      {&annunciator::aft_cargo, door(bound::tarv_doors_aft_Cargo)},
      {&annunciator::left_fwd_overwing, door(bound::tarv_doors_emerg4)},
      {&annunciator::left_aft_overwing, door(bound::tarv_doors_emerg3) || door(bound::tarv_doors_aft1)},
      {&annunciator::right_fwd_overwing, door(bound::tarv_doors_emerg2)},
      {&annunciator::right_aft_overwing, door(bound::tarv_doors_emerg1) || door(bound::tarv_doors_aft2)},
      {&annunciator::equip_door, mirror_vf_at(bound::sim_flightmodel2_misc_custom_slider_ratio, 21) > 0.01f},
      {&annunciator::left_mid_exit, mid && door(bound::tarv_doors_L_mid)},
      {&annunciator::right_mid_exit, mid && door(bound::tarv_doors_R_mid)},
  };
  SixPackGroup& g = ann_state.six_pack[sp_doors];
  for (int i = 0; i < 13; ++i) {
    *doors[i].light = as01(doors[i].open) * l1;
    g.slot[i] = slot(doors[i].open);
  }

  transponder::indicators_xpond_fail =
      as01(host_failed(bound::sim_operation_failures_rel_xpndr) || annunciator::test != 0.0f ||
           cockpit::dspl_light_test[9] != 0.0f) *
      l2;
  audio::indicators_com1_avail = static_cast<float>(mirror_i(bound::sim_cockpit2_radios_actuators_com1_power)) * l2;
  audio::indicators_com2_avail = static_cast<float>(mirror_i(bound::sim_cockpit2_radios_actuators_com2_power)) * l2;
  audio::indicators_mark_avail = as01(mirror_i(bound::sim_cockpit2_radios_indicators_over_outer_marker) == 1 ||
                                      mirror_i(bound::sim_cockpit2_radios_indicators_over_middle_marker) == 1 ||
                                      mirror_i(bound::sim_cockpit2_radios_indicators_over_inner_marker) == 1) *
                                 l2;
  // A receiver without its power receives no station, whatever the host's
  // radio still reads.
  audio::indicators_nav1_avail = as01(fed(Consumer::vor_dme1) && (mirror_i(bound::sim_cockpit2_radios_indicators_nav1_display_horizontal) == 1 ||
                                      mirror_i(bound::sim_cockpit2_radios_indicators_nav1_display_vertical) == 1 ||
                                      mirror_i(bound::sim_cockpit2_radios_indicators_nav1_has_dme) == 1)) *
                                 l2;
  audio::indicators_nav2_avail = as01(fed(Consumer::vor_dme2) && (mirror_i(bound::sim_cockpit2_radios_indicators_nav2_display_horizontal) == 1 ||
                                      mirror_i(bound::sim_cockpit2_radios_indicators_nav2_display_vertical) == 1 ||
                                      mirror_i(bound::sim_cockpit2_radios_indicators_nav2_has_dme) == 1)) *
                                 l2;
  // SELCAL lamps: each radio's call, held until its reset key clears it. The
  // scripts hide the panel on aircraft without SELCAL.
  const bool selcal_fitted = mirror_f(bound::zuvadud_D738_selcal_disable) == 0.0f;
  float* const selcal_lamps[3] = {&annunciates::selcal_com1, &annunciates::selcal_com2, &annunciates::selcal_com3};
  for (int i = 0; i < 3; ++i) *selcal_lamps[i] = selcal_fitted ? selcal_state.call_latch[i] * l1 : 0.0f;
  // Microphone selector lamps: the transmitter selection of each audio panel.
  const float capt_power = l1 * fed01(Consumer::audio_panel_lamps);
  const float fo_power = l1 * fed01(Consumer::fo_audio_lamps);
  float* const capt_ind[mic_key_count] = {&audio::capt_mic_indicator1, &audio::capt_mic_indicator2,
                                          &audio::capt_mic_indicator3, &audio::capt_mic_indicator4,
                                          &audio::capt_mic_indicator5, &audio::capt_mic_indicator6};
  float* const fo_ind[mic_key_count] = {&audio::fo_mic_indicator1, &audio::fo_mic_indicator2,
                                        &audio::fo_mic_indicator3, &audio::fo_mic_indicator4,
                                        &audio::fo_mic_indicator5, &audio::fo_mic_indicator6};
  float* const obs_ind[mic_key_count] = {&audio::obs_mic_indicator1, &audio::obs_mic_indicator2,
                                         &audio::obs_mic_indicator3, &audio::obs_mic_indicator4,
                                         &audio::obs_mic_indicator5, &audio::obs_mic_indicator6};
  for (int i = 0; i < mic_key_count; ++i) {
    *capt_ind[i] = mic_select[seat_capt][i] * capt_power;
    *fo_ind[i] = mic_select[seat_fo][i] * fo_power;
    *obs_ind[i] = mic_select[seat_obs][i] * fo_power;
  }
}

void annunciators_cabin_bleed() {
  const float l1 = ann_levels.l1;
  const float l0 = ann_levels.l0;
  const float xfeed = fuel::cross_feed_valve;
  if (xfeed == 1.0f) {
    annunciator::crossfeed = 0.3f * l1;
    annunciator::crossfeed_annun = 0.5f * l0;
  } else if (xfeed > 0.01f) {
    annunciator::crossfeed = l1;
    annunciator::crossfeed_annun = l0;
  } else {
    annunciator::crossfeed = 0.0f;
    annunciator::crossfeed_annun = 0.0f;
  }
  // HIGH ALT LANDING raises the warning for a field up to about 14,000 ft;
  // it never takes the warning away.
  const bool high_alt_ldg = cockpit_options.high_alt_ldg != 0.0f && system_::high_alt_ldg_on != 0.0f;
  const float warning_ft = high_alt_ldg ? kCabinAltHighFieldWarning_ft : kCabinAltWarning_ft;
  const bool cabin_alt = cockpit::cabin_alt > warning_ft;
  annunciator::cabin_alt = as01(cabin_alt) * l1;
  // The horn cut-out silences one excursion only: back below the warning
  // altitude the horn is armed for the next.
  if (!cabin_alt) alert::alt_horn_cut_disable = 0.0f;
  annunciator::high_alt_ldg = system_::high_alt_ldg_on != 0.0f ? l1 : 0.0f;
  annunciator::high_alt_ldg_inop = 0.0f;
  annunciator::off_sched_descent = press_ctrl.off_sched_descent * l1;

  // GPWS INOP: in the test, and while the computer has no power (AC transfer
  // bus 1) and the light has its own.
  const bool gpws_test = system_::gpws_test_running == 1.0f;
  annunciator::gpws = as01(gpws_test || !fed(Consumer::gpws)) * l1;
  annunciator::xraas =
      as01(cockpit::xraas_installed == 0.0f || gpws_test || toggle_switch::gpws_xraas_pos != 0.0f) * l1;
  annunciator::anti_skid_inop =
      as01(!fed(Consumer::anti_skid) ||
           (cockpit::parking_brake_pos == 1.0f && mirror_f(bound::sim_cockpit2_controls_parking_brake_ratio) != 1.0f)) *
      l1;
  // AIRSTAIR is one of the door lights of the overhead: DOORS with the others.
  const bool airstair_out = mirror_f(bound::zuvadud_D738_airstairs_hide) == 0.0f;
  annunciator::airstair = as01(airstair_out) * l1;
  ann_state.six_pack[sp_doors].slot[13] = slot(airstair_out);
  annunciator::elt = as01(toggle_switch::elt == 1.0f) * l1;
  annunciator::apu_low_oil = electrical::apu_low_oil * l1;
  annunciator::auto_brake_disarm = as01(autobrake::autobrake_disarm == 1.0f) * l1;
  annunciator::apu_fault = as01(host_failed(bound::sim_operation_failures_rel_APU_press) ||
                                fire::apu_ext_switch_pos_arm != 0.0f || fire::apu_was_fire != 0.0f ||
                                apu_state.fuel_fault == 1.0f) *
                           l1;

  // Duct overheat test: the wing-body overheat lights come on 3 s into it.
  if (push_button::duct_ovht_test_pos == 0.0f) {
    delay_timers.ann_delay_1 = 0.0f;
    delay_flags.ann_delayed_1 = 0.0f;
  } else if (delay_timers.ann_delay_1 == 0.0f && delay_flags.ann_delayed_1 == 0.0f) {
    delay_timers.ann_delay_1 = 3.0f;
  }
  // Each side's detection lights its own light, overheat or test: without
  // its power it senses nothing and its test lights nothing.
  const bool overheat = mirror_i(bound::sim_cockpit_warnings_annunciators_hvac) == 1 || delay_flags.ann_delayed_1 == 1.0f;
  const bool wing_body_l = overheat && fed(Consumer::wing_body_overheat_left);
  const bool wing_body_r = overheat && fed(Consumer::wing_body_overheat_right);
  const bool wing_body = wing_body_l || wing_body_r;
  annunciator::wing_body_ovht_left = as01(wing_body_l) * l1;
  annunciator::wing_body_ovht_right = as01(wing_body_r) * l1;
  air::l_duct_overheat_700 = 0.0f;
  air::r_duct_overheat_700 = 0.0f;

  // Bleed trip latches: only set here; the reset button and the first frame
  // clear them. The host's bleed failure is a flag per engine. A side's
  // sensing without its power senses nothing; a trip it latched stays.
  float* trip = overhead_lights.bleed_trip_latch;
  const bool sensing[2] = {fed(Consumer::bleed_trip_left), fed(Consumer::bleed_trip_right)};
  for (int side = 0; side < 2; ++side) {
    if (!sensing[side]) continue;
    if (mirror_vi_at(bound::sim_cockpit_warnings_annunciators_bleed_air_fail, side) != 0 ||
        bleed_duct_value[side] > kBleedOvertempDegC) {
      trip[side] = 1.0f;
    }
  }
  // The MAX's BLEED light also reminds of both engine bleeds left OFF: no
  // trip, so nothing latches and no valve is shut by it.
  const bool bleeds_off = bleeds_left_off();
  const bool bleed_light[2] = {trip[0] == 1.0f || bleeds_off, trip[1] == 1.0f || bleeds_off};
  annunciator::bleed_trip_1 = as01(bleed_light[0]) * l1;
  annunciator::bleed_trip_2 = as01(bleed_light[1]) * l1;

  SixPackGroup& g = ann_state.six_pack[sp_air_cond];
  g.slot[0] = slot(wing_body);
  g.slot[1] = slot(annunciator::dual_bleed > 0.0f);
  g.slot[2] = slot(bleed_light[0]);
  g.slot[3] = slot(bleed_light[1]);
  g.slot[4] = slot(press_ctrl.off_sched_descent == 1.0f);
  // PACK is an AIR COND light however it lit: failed, tripped off, or both
  // packs left OFF after take-off.
  const int32_t* pack_trip = overhead_lights.pack_latch;
  g.slot[5] = slot(failures_element(kHostPackFailure) || pack_trip[0] == 1 || pack_trip[1] == 1 || packs_left_off());
  g.slot[6] = slot(cabin_alt);
  g.slot[7] = slot(cockpit::cabin_pressure_diff > 8.9f);
  // A controller fault stays shown while the selector and power pick that
  // controller, also once controller 2 has taken over from a faulted 1.
  const int32_t selected = press_ctrl.selected_channel;
  g.slot[8] = slot(failure_value(fail_entry::press_auto_controller_1) == 1.0f && selected == 1);
  g.slot[9] = slot(failure_value(fail_entry::press_auto_controller_2) == 1.0f && selected == 2);
  // Slot 10, AUTO FAIL whatever lit it, is filled with the light itself.
}

void annunciators_anti_ice() {
  AntiIceLightState& s = anti_ice_lights;
  const float l1 = ann_levels.l1;
  const float l0 = ann_levels.l0;
  // A probe is not heated with its heat switched off or its heater failed
  // (the host publishes a failure for each pitot heater, none for the vanes).
  struct Probe {
    float* light;
    bound::Id heat;
    const int32_t* failure;
    float rate;
  };
  const HostMirror& h = host_mirror;
  const Probe probes[4] = {
      {&annunciator::capt_pitot_off, bound::sim_cockpit2_ice_ice_pitot_heat_on_pilot,
       &h.sim_operation_failures_rel_ice_pitot_heat1, 8.0f},
      {&annunciator::capt_aoa_off, bound::sim_cockpit2_ice_ice_AOA_heat_on, nullptr, 7.0f},
      {&annunciator::fo_pitot_off, bound::sim_cockpit2_ice_ice_pitot_heat_on_copilot,
       &h.sim_operation_failures_rel_ice_pitot_heat2, 8.0f},
      {&annunciator::fo_aoa_off, bound::sim_cockpit2_ice_ice_AOA_heat_on_copilot, nullptr, 7.0f},
  };
  SixPackGroup& g = ann_state.six_pack[sp_ice];
  for (int i = 0; i < 4; ++i) {
    const bool failed = probes[i].failure != nullptr && *probes[i].failure == 6;
    const bool unheated = mirror_i(probes[i].heat) != 1 || failed;
    const float latch = light_filter_step(s.probe[i], as01(unheated), probes[i].rate);
    *probes[i].light = latch * l1;
    g.slot[4 + i] = slot(latch == 1.0f);
  }

  // Valve lights: bright while moving, dim open, dark closed; a switch that
  // disagrees with the resting valve shows bright. The MAX's amber valve
  // lights, wing and cowl, show only disagreement (a caution, called after
  // 6 s), and the wing's are inhibited while the take-off thrust logic holds
  // the valves shut against an ON switch.
  struct Valve {
    float* light;
    float* annun;
    float pos;
    float sw;
  };
  const Valve valves[4] = {
      {&annunciator::wing_ice_on_L, &annunciator::wing_ice_on_L_annun, system_::wing_anti_ice_valve[0], ice::wing_heat_pos},
      {&annunciator::wing_ice_on_R, &annunciator::wing_ice_on_R_annun, system_::wing_anti_ice_valve[1], ice::wing_heat_pos},
      {&annunciator::cowl_ice_on_0, &annunciator::cowl_ice_on_0_annun, system_::eng_inlet_valve[0], ice::eng1_heat_pos},
      {&annunciator::cowl_ice_on_1, &annunciator::cowl_ice_on_1_annun, system_::eng_inlet_valve[1], ice::eng2_heat_pos},
  };
  const bool disagreement_only = is_max_model();
  const bool takeoff_inhibit = disagreement_only && ice::wing_heat_pos == 1.0f && wing_valves_held_for_takeoff();
  bool open_on[4];
  bool valve_caution[4];
  for (int i = 0; i < 4; ++i) {
    const Valve& v = valves[i];
    open_on[i] = v.pos > 0.95f && v.sw != 0.0f;
    float raw = 1.0f;
    if (v.pos > 0.95f) raw = v.sw == 0.0f ? 1.0f : (disagreement_only ? 0.0f : 0.3f);
    else if (!(v.pos > 0.05f)) raw = v.sw == 1.0f ? 1.0f : 0.0f;
    if (i < 2 && takeoff_inhibit) raw = 0.0f;
    *v.light = raw * l1;
    *v.annun = (raw == 0.3f ? 0.5f : raw) * l0;
    float& disagree = s.valve_disagree_s[i];
    disagree = disagreement_only && raw == 1.0f ? std::fmin(disagree + frame_time, kValveCaution_s + 1.0f) : 0.0f;
    valve_caution[i] = disagree > kValveCaution_s;
  }

  // Engine thermal anti-ice: switch and valve disagreeing for 8 s. It is
  // shown on the engine display, dark with neither side's display units
  // powered.
  const bool engine_display = display_units_powered();
  float* tai[2] = {&eicas::eng1_tai, &eicas::eng2_tai};
  float* timers[2] = {&delay_timers.ann_delay_4, &delay_timers.ann_delay_5};
  float* flags[2] = {&delay_flags.ann_delayed_4, &delay_flags.ann_delayed_5};
  for (int e = 0; e < 2; ++e) {
    const Valve& v = valves[2 + e];
    const float normal = open_on[2 + e] ? 0.5f : 0.0f;
    if (v.sw == v.pos) {
      *timers[e] = 0.0f;
      *flags[e] = 0.0f;
      *tai[e] = normal;
    } else {
      if (*timers[e] == 0.0f && *flags[e] == 0.0f) *timers[e] = 8.0f;
      *tai[e] = *flags[e] == 1.0f ? 1.0f : normal;
    }
    if (!engine_display) *tai[e] = 0.0f;
  }

  // COWL ANTI-ICE reports overpressure in the duct behind the cowl valve,
  // which nothing here models: ice on the inlet, heated or not, never lights
  // it. It lights only in the light test.
  const bool cowl_overpressure[2] = {false, false};
  annunciator::cowl_ice_0 = as01(cowl_overpressure[0]) * l1;
  annunciator::cowl_ice_1 = as01(cowl_overpressure[1]) * l1;

  // A window overheats for real (the host's failure) or in the overheat
  // test (its counter set); its OVERHEAT light also lights while its switch
  // is on without power. The light calls the crew whatever lit it: ANTI-ICE.
  const bool window_fail = host_failed(bound::sim_operation_failures_rel_ice_window_heat);
  struct WindowOverheat {
    float* light;
    float sw;
  };
  const WindowOverheat windows[window_count] = {
      {&annunciator::window_heat_ovht_ls, ice::window_heat_l_side_pos},
      {&annunciator::window_heat_ovht_lf, ice::window_heat_l_fwd_pos},
      {&annunciator::window_heat_ovht_rs, ice::window_heat_r_side_pos},
      {&annunciator::window_heat_ovht_rf, ice::window_heat_r_fwd_pos},
  };
  for (int w = 0; w < window_count; ++w) {
    const bool on = windows[w].sw != 0.0f;
    const bool overheat = window_overheat_state[w] != 0.0f || (on && window_fail);
    const bool bus_off = window_heat_bus(static_cast<WindowIndex>(w)) == 0.0f;
    const bool lit = on && (overheat || bus_off);
    *windows[w].light = as01(lit) * l1;
    g.slot[8 + w] = slot(lit);
  }
  flap_needles();

  // ANTI-ICE is called by its own lights: COWL ANTI-ICE, PITOT HEAT and
  // window OVERHEAT. On the NG a failed inlet or wing heater calls no one:
  // its valve stays shut, which its blue VALVE OPEN light shows bright
  // against a switch ON, and with the switch OFF nothing is asked of it. The
  // MAX's amber valve light is a caution: it calls ANTI-ICE.
  g.slot[0] = slot(cowl_overpressure[0]);
  g.slot[1] = slot(cowl_overpressure[1]);
  for (int i = 0; i < 4; ++i) g.slot[12 + i] = slot(valve_caution[i]);
}

void update_annunciators_aux() {
  auto copy = [](float* spill, float light) { spill[3] = light; };
  copy(light::spill_ratio_parking_brake, annunciator::parking_brake);
  copy(light::spill_ratio_extinguisher_circuit_spill2, annunciator::extinguisher_circuit_annun2);
  copy(light::spill_ratio_extinguisher_circuit_spill_left, annunciator::extinguisher_circuit_annun_left);
  copy(light::spill_ratio_extinguisher_circuit_spill_right, annunciator::extinguisher_circuit_annun_right);
  copy(light::spill_ratio_extinguisher_circuit_spill_apu, annunciator::extinguisher_circuit_annun_apu);
  copy(light::spill_ratio_extinguisher_leveler_spill_eng1, annunciator::engine1_fire);
  copy(light::spill_ratio_extinguisher_leveler_spill_eng2, annunciator::engine2_fire);
  copy(light::spill_ratio_extinguisher_leveler_spill_apu, annunciator::apu_fire);
  copy(light::spill_ratio_master_caution_spill, annunciator::master_caution_light);
  copy(light::spill_ratio_fire_warn_spill, annunciator::fire_bell_annun);
  copy(light::spill_ratio_gen1_avail_lights_spill, annunciator::gen_off_bus1);
  copy(light::spill_ratio_gen2_avail_lights_spill, annunciator::gen_off_bus2);
  copy(light::spill_ratio_apu_avail_lights_spill, annunciator::apu_gen_off_bus);
  copy(light::spill_ratio_radio_com1_lights_spill, comm::audio_sel_com1_on);
  copy(light::spill_ratio_radio_com2_lights_spill, comm::audio_sel_com2_on);
  copy(light::spill_ratio_radio_nav1_lights_spill, comm::audio_sel_nav1_on);
  copy(light::spill_ratio_radio_nav2_lights_spill, comm::audio_sel_nav2_on);
  copy(light::spill_ratio_radio_mark_lights_spill, comm::audio_sel_mark_on);
  copy(light::spill_ratio_fo_radio_com1_lights_spill, comm::fo_audio_sel_com1_on);
  copy(light::spill_ratio_fo_radio_com2_lights_spill, comm::fo_audio_sel_com2_on);
  copy(light::spill_ratio_fo_radio_nav1_lights_spill, comm::fo_audio_sel_nav1_on);
  copy(light::spill_ratio_fo_radio_nav2_lights_spill, comm::fo_audio_sel_nav2_on);
  copy(light::spill_ratio_fo_radio_mark_lights_spill, comm::fo_audio_sel_mark_on);
  copy(light::spill_ratio_obs_radio_com1_lights_spill, comm::obs_audio_sel_com1_on);
  copy(light::spill_ratio_obs_radio_com2_lights_spill, comm::obs_audio_sel_com2_on);
  copy(light::spill_ratio_obs_radio_nav1_lights_spill, comm::obs_audio_sel_nav1_on);
  copy(light::spill_ratio_obs_radio_nav2_lights_spill, comm::obs_audio_sel_nav2_on);
  copy(light::spill_ratio_obs_radio_mark_lights_spill, comm::obs_audio_sel_mark_on);

  // A dim light spills less than its level.
  auto dim_or_bright = [](float* spill, float light) { spill[3] = light * (light > 0.55f ? 1.0f : 0.35f); };
  dim_or_bright(light::spill_ratio_l_wings_lights_spill, annunciator::wing_ice_on_L);
  dim_or_bright(light::spill_ratio_r_wings_lights_spill, annunciator::wing_ice_on_R);
  dim_or_bright(light::spill_ratio_eng1_wings_lights_spill, annunciator::cowl_ice_on_0);
  dim_or_bright(light::spill_ratio_eng2_wings_lights_spill, annunciator::cowl_ice_on_1);
  dim_or_bright(light::spill_ratio_gpu_avail_lights_spill, annunciator::ground_power_avail);
  dim_or_bright(light::spill_ratio_eng1_valve_lights_spill, annunciator::eng1_valve_closed);
  dim_or_bright(light::spill_ratio_eng2_valve_lights_spill, annunciator::eng2_valve_closed);
  dim_or_bright(light::spill_ratio_eng1_spar_lights_spill, annunciator::spar1_valve_closed);
  dim_or_bright(light::spill_ratio_eng2_spar_lights_spill, annunciator::spar2_valve_closed);
  dim_or_bright(light::spill_ratio_ram1_full_lights_spill, annunciator::ram_door_open1);
  dim_or_bright(light::spill_ratio_ram2_full_lights_spill, annunciator::ram_door_open2);
  dim_or_bright(light::spill_ratio_crossfeed_lights_spill, annunciator::crossfeed);

  float door_factor = 1.0f;
  float* cabin = light::spill_ratio_cabin_lights_spill;
  float* entry = light::spill_ratio_entry_lights_spill;
  if (model_family == 0.0f || model_family == 2.0f) {
    float limit = -14.5f;
    switch (variant_index) {
      case 1: limit = -16.3f; break;
      case 2: limit = -11.4f; break;
      case 3: limit = -9.8f; break;
      case 4: limit = -16.2f; break;
      default: break;
    }
    // Seen from the cabin, the flight deck door shades the cockpit spill.
    if (mirror_f(bound::sim_aircraft_view_acf_peZ) < limit) door_factor = door::flt_dk_door_ratio;
    const float scale = host_version >= 120000 ? 9.0f : 1.0f;
    const float bus = fed01(Consumer::cabin_entry_lights_dimmer);
    if (bus == 0.0f) {
      if (bus != spill_state.prev_bus) spill_state.emergency_blink_s = 0.0f;
      if (spill_state.emergency_blink_s < 0.9f) spill_state.emergency_blink_s += frame_time;
      const float t = spill_state.emergency_blink_s;
      const bool off = t < 0.3f || (t >= 0.5f && t < 0.6f) || (t >= 0.8f && t < 0.9f);
      const float on = off ? 0.0f : 1.0f;
      cabin[4] = on * 1.85f * scale;
      entry[4] = mirror_f(bound::sim_graphics_scenery_sun_pitch_degrees) >= -0.5f ? 0.0f : cabin[4];
    } else {
      spill_state.emergency_blink_s = 1.0f;
      cabin[4] = tarx_cabin::lights_x[4] * scale;
      entry[4] = tarx_cabin::entry_lights_x[4] * scale;
    }
    spill_state.prev_bus = bus;
    const float emergency = mirror_vf_at(bound::sim_cockpit2_switches_generic_lights_switch, 98);
    light::spill_ratio_cabin_emergency_lights_spill[3] = emergency * door_factor;
    if (emergency != 0.0f) entry[4] = tarx_cabin::lights_x[4] * scale;
    for (int i = 0; i < 3; ++i) {
      cabin[i] = tarx_cabin::lights_x[i];
      entry[i] = tarx_cabin::entry_lights_x[i];
    }
  }
  cabin[3] = fed01(Consumer::cabin_lights) * door_factor;
  entry[3] = fed01(Consumer::entry_lights) * door_factor;
}
