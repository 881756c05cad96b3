// Frame pre-processing and cockpit links. Owns the ground-contact flags, the
// per-frame flight-data, option and EFIS copies, the debug selectors, the
// SELCAL intake state and the attendant chime sequence. Reads the per-frame
// mirrors, and a few script and add-on values at the moment of use
// (read_now_*: the scripts may change them between the poll and this step);
// writes the published air data, jetway power, SELCAL and attendant chime
// values, the scripts' add-on flags and the jetway's power override.
#include "aircraft/preprocess.h"

#include <cmath>

#include "alerting/aural_cues.h"
#include "core/binding.h"
#include "core/frame_values.h"
#include "core/host_io.h"
#include "core/preprocess_values.h"
#include "core/util.h"
#include "core/variant.h"
#include "systems/electrical/bus_feeds.h"
#include "systems/radios/comm_values.h"
#include "systems/delay_timers.h"
#include "systems/electrical/electric_values.h"
#include "systems/instruments/instrument_values.h"

namespace {

constexpr float selcal_delay_s = 0.5f;   // a call lights its latch this long after it arrives

void publish_mach() {
  indicated::mach_no = indicated::sos > 0.0f ? indicated::TAS / indicated::sos : 0.0f;
}

// Arms the COM3 call too when COM3 is in voice mode on the calling radio's
// frequency (the host's ints compared as floats).
void selcal_com3_check(bound::Id mhz, bound::Id khz) {
  if (comm::com3_act_freq_data == 0.0f && comm::com3_act_freq_MHz == static_cast<float>(mirror_i(mhz)) &&
      comm::com3_act_freq_kHz == static_cast<float>(mirror_i(khz))) {
    delay_timers.selcal_delay_com3 = selcal_delay_s;
  }
}

// Calls, pending chime and lamps all forgotten.
void clear_selcal() {
  selcal_state = SelcalState{};
  delay_timers.selcal_delay_hf = 0.0f;
  delay_timers.selcal_delay_com1 = 0.0f;
  delay_timers.selcal_delay_com2 = 0.0f;
  delay_timers.selcal_delay_com3 = 0.0f;
  fmod_::selcal_sound = 0.0f;
  selcal_sound_pending = 0.0f;
}

}  // namespace

void model_watch() {
  if (bound_present(bound::sim_aircraft_view_acf_livery_index)) {
    const int32_t index = read_now_i(bound::sim_aircraft_view_acf_livery_index);
    if (index != last_livery_index) {
      last_livery_index = index;
      livery_read_count = 0;
    }
  }
  if (livery_read_count != 0) return;
  livery_read_count += 1;
  detect_acf_model();
  // The first officer's add-on may appear after start-up; this is the one
  // name looked up again at run time.
  script_set_f(bound::zuvadud_d738_marlet_copilot, as01(rebind_fo_show() != 0));
}

void update_addon_flags() {
  // One frame late after each load, then every frame.
  if (avitab_flag_armed == 1.0f) {
    script_set_f(bound::zuvadud_D738_avitab_installed, as01(bound_present(bound::avitab_panel_powered)));
  }
  avitab_flag_armed = 1.0f;
  if (bp_flag_armed == 1.0f) {
    script_set_f(bound::zuvadud_D738_bp_installed, as01(bound_present(bound::bp_connected)));
  }
  bp_flag_armed = 1.0f;

  if (bound_present(bound::sam_jetway_externalpower_override) && bound_present(bound::sam_jetway_externalpower_on)) {
    script_set_i(bound::sam_jetway_externalpower_override, 1);  // we supply the jetway's ground power ourselves
    cockpit::jetway_power = as01(read_now_i(bound::sam_jetway_externalpower_on) != 0);
  } else {
    cockpit::jetway_power = -1.0f;
  }
}

void smooth_air_data() {
  const float tas = mirror_f(bound::sim_flightmodel_position_true_airspeed);
  const float sos = mirror_f(bound::sim_weather_speed_sound_ms);  // filled by host generation
  const float tat = mirror_f(bound::sim_cockpit2_temperature_outside_air_LE_temp_degc);
  if (init_stage != 0 && sim_in_replay == 0) {
    if (sim_paused == 0) {
      // Rate 0.5 per second: a 2 s time constant on each.
      indicated::TAS = lag_toward(indicated::TAS, tas, 0.0f, 500.0f, 0.5f);
      indicated::sos = lag_toward(indicated::sos, sos, 0.0f, 500.0f, 0.5f);
      indicated::TAT = lag_toward(indicated::TAT, tat, -70.0f, 200.0f, 0.5f);
    }
  } else {
    indicated::TAS = tas;
    indicated::sos = sos;
    indicated::TAT = tat;
  }
  publish_mach();
}

void publish_air_data_unsmoothed(float tas, float speed_of_sound, float tat_degc) {
  indicated::TAS = tas;
  indicated::sos = speed_of_sound;
  indicated::TAT = tat_degc;
  publish_mach();
}

void update_ground_contact() {
  int32_t n = 0;
  const int* gear = mirror_vi(bound::sim_flightmodel2_gear_on_ground, &n);
  int32_t any = 0;
  for (int32_t i = 0; gear != nullptr && i < 3 && i < n; ++i) {
    if (gear[i] != 0) any = 1;
  }
  on_ground = any;
  gear3_on_ground = (gear != nullptr && n > 2 && gear[2] != 0) ? 1 : 0;
}

void selcal_intake() {
  if (!bound_present(bound::ivaopilot_selcal)) {
    clear_selcal();
    return;
  }
  const int32_t code = read_now_i(bound::ivaopilot_selcal);
  if (!fed(Consumer::selcal)) {
    // The decoder is dead: a call is still taken from the client, but nothing
    // chimes or lights, and what it held is lost, as the attendant chime's.
    if (code != 0) script_set_i(bound::ivaopilot_selcal, 0);
    clear_selcal();
    return;
  }
  switch (code) {
    case 1:
      delay_timers.selcal_delay_com1 = selcal_delay_s;
      selcal_com3_check(bound::sim_cockpit2_radios_actuators_com1_frequency_Mhz,
                        bound::sim_cockpit2_radios_actuators_com1_frequency_khz);
      break;
    case 2:
      delay_timers.selcal_delay_com2 = selcal_delay_s;
      selcal_com3_check(bound::sim_cockpit2_radios_actuators_com2_frequency_Mhz,
                        bound::sim_cockpit2_radios_actuators_com2_frequency_khz);
      break;
    case 3:
      delay_timers.selcal_delay_com2 = selcal_delay_s;
      delay_timers.selcal_delay_com1 = selcal_delay_s;
      selcal_com3_check(bound::sim_cockpit2_radios_actuators_com1_frequency_Mhz,
                        bound::sim_cockpit2_radios_actuators_com1_frequency_khz);
      break;
    default:
      break;
  }
  if (code != 0) {
    // Any code, known or not, is taken (cleared at the client) and chimes.
    script_set_i(bound::ivaopilot_selcal, 0);
    delay_timers.selcal_delay_hf = selcal_delay_s;
  }
  fmod_::selcal_sound = selcal_sound_pending;
  if (selcal_sound_pending == 1.0f) selcal_sound_pending = 0.0f;
}

void update_flight_data_copies() {
  fms_debug_selector = read_now_f(bound::zuvadud_D738_fms_test);
  fms_test6_copy = read_now_f(bound::zuvadud_D738_fms_test6);

  FrameFlightData& f = frame_flight_data;
  f.mag_var_deg = mirror_f(bound::sim_flightmodel_position_magnetic_variation);
  f.radio_alt_ft = mirror_f(bound::sim_cockpit2_gauges_indicators_radio_altimeter_height_ft_pilot);
  f.flap_handle = mirror_f(bound::sim_cockpit2_controls_flap_handle_deploy_ratio);
  f.aoa_deg = mirror_f(bound::sim_flightmodel2_misc_AoA_angle_degrees);
  f.ias_kt = mirror_f(bound::sim_cockpit2_gauges_indicators_airspeed_kts_pilot);
  f.alt_ft = mirror_f(bound::sim_cockpit2_gauges_indicators_altitude_ft_pilot);
  f.alt_fo_ft = mirror_f(bound::sim_cockpit2_gauges_indicators_altitude_ft_copilot);
  f.min_speed_kt = mirror_f(bound::zuvadud_D738_pfd_min_speed);

  CockpitOptions& o = cockpit_options;
  o.plus_hundred = read_now_f(bound::zuvadud_D738_plus_hundred);
  o.ra_radio_altimeter = read_now_f(bound::zuvadud_D738_ra_radio_altimeter);
  o.ra_decision_height = read_now_f(bound::zuvadud_D738_ra_decision_height);
  o.ra_minimums = read_now_f(bound::zuvadud_D738_ra_minimums);
  o.ra_500_1000_baro = read_now_f(bound::zuvadud_D738_ra_500_1000_baro);
  o.missed_app_colour = read_now_f(bound::zuvadud_D738_missed_app_colour);
  o.high_alt_ldg = read_now_f(bound::zuvadud_D738_high_alt_ldg);
  o.raas = read_now_f(bound::zuvadud_D738_raas);
  o.isfd_rmi = read_now_f(bound::zuvadud_D738_isfd_rmi);
  o.guarded_covers = read_now_f(bound::zuvadud_D738_guarded_covers);

  // Standard-atmosphere pressure altitude from the ambient pressure (inHg).
  const double p_inhg = mirror_f(bound::sim_weather_barometer_current_inhg);
  static_pressure_altitude_ft = static_cast<float>((1.0 - std::pow(p_inhg / 29.92, 0.190284)) * 145366.45);
}

void copy_efis_state() {
  // Each side's map turns with its own instruments' heading, track and bank:
  // the host gives them per side as the instrument transfer selects them.
  struct SideIds {
    bound::Id map_mode, vsd, exp, range, data, track, heading, bank;
  };
  const SideIds sides[2] = {
      {bound::zuvadud_D738_EFIS_control_capt_map_mode_pos, bound::zuvadud_D738_EFIS_control_capt_vsd_map,
       bound::zuvadud_D738_EFIS_control_capt_exp_map, bound::zuvadud_D738_EFIS_capt_map_range,
       bound::zuvadud_D738_EFIS_capt_data_status, bound::sim_cockpit2_gauges_indicators_ground_track_mag_pilot,
       bound::sim_cockpit2_gauges_indicators_heading_AHARS_deg_mag_pilot,
       bound::sim_cockpit2_gauges_indicators_roll_electric_deg_pilot},
      {bound::zuvadud_D738_EFIS_control_fo_map_mode_pos, bound::zuvadud_D738_EFIS_control_fo_vsd_map,
       bound::zuvadud_D738_EFIS_control_fo_exp_map, bound::zuvadud_D738_EFIS_fo_map_range,
       bound::zuvadud_D738_EFIS_fo_data_status, bound::sim_cockpit2_gauges_indicators_ground_track_mag_copilot,
       bound::sim_cockpit2_gauges_indicators_heading_AHARS_deg_mag_copilot,
       bound::sim_cockpit2_gauges_indicators_roll_AHARS_deg_copilot},
  };
  for (int32_t s = 0; s < 2; ++s) {
    EfisSideState& e = efis_side[s];
    e.map_mode = mirror_f(sides[s].map_mode);
    e.vsd_map = mirror_f(sides[s].vsd);
    e.exp_map = mirror_f(sides[s].exp);
    e.map_range = mirror_f(sides[s].range);
    e.data_status = read_now_f(sides[s].data);
    e.track_up = mirror_f(bound::zuvadud_D738_fms_track_up);
    e.track_up_active = mirror_f(bound::zuvadud_D738_fms_track_up_active);
    e.track_mag_deg = mirror_f(sides[s].track);
    e.heading_mag_deg = mirror_f(sides[s].heading);
    e.bank_deg = mirror_f(sides[s].bank);
  }
  nd_runway_length = read_now_f(bound::zuvadud_D738_nd_arpt_rw_lenght);
}

void attendant_chime_sequence() {
  if (!fed(Consumer::attendant_chime)) {
    // Losing the battery bus drops every pending chime.
    attend_chime_count = 0;
    attend_chime_timer = 0.0f;
  }
  fmod_::attend = 0.0f;
  if (attend_chime_count == 0 || attend_chime_timer == 0.0f) return;
  fmod_::attend = 1.0f;
  attend_chime_timer -= frame_time;
  if (attend_chime_timer > 0.0f) return;
  // One silent frame between chimes.
  attend_chime_timer = 0.0f;
  fmod_::attend = 0.0f;
  if (attend_chime_count > 0) attend_chime_count -= 1;
  if (attend_chime_count > 0) attend_chime_timer = attend_chime_length_s;
}
