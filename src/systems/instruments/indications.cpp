// Indication sections of the systems frame: the PFD speed references and
// V1 off-scale flags, the FMC source of the navigation displays, the first
// officer's inertial source loss, the flight deck door and side windows, the
// overspeed aural, the standby altimeter, the display unit selection with the
// lower display's page-change blanking, the radio-altitude dial and
// radio-height boxes, and at the end of the frame the flap sound pulse and
// the lever relay through the host's landing-light array.
#include <cmath>

#include "alerting/aural_cues.h"
#include "core/binding.h"
#include "core/frame_values.h"
#include "core/preprocess_values.h"
#include "core/util.h"
#include "display/nd_slots.h"
#include "systems/aircraft_systems.h"
#include "systems/delay_timers.h"
#include "systems/electrical/bus_feeds.h"
#include "systems/electrical/electric_values.h"
#include "systems/flight_controls/flight_control_values.h"
#include "core/host_io.h"
#include "systems/instruments/instrument_values.h"
#include "systems/switches/switch_memory.h"
#include "systems/switches/switch_values.h"

// Carried between frames.
struct IndicationState {
  float door_lock;            // 1 engaged
  float standby_baro_state;   // 0, 1, 2: the standby baro settles over two frames
  float lower_page_last;
  float lower_page2_last;
  float page_blank_timer_s;
  float rh_box_timer_s[2];    // captain, first officer
  float rh_box_armed[2];
  float fo_irs_running_mode;  // the scripts' mode of the right IRS while it last ran
};
IndicationState indication_state;

namespace {

constexpr float kHpaPerInHg = 33.8638816f;
constexpr float kStdBaro = 29.92f;
constexpr float kRhBoxArmFt = 2504.0f;
constexpr float kRhBoxShowS = 10.0f;
// The right IRS runs on its DC backup for five minutes once its AC is lost,
// then shuts down.
constexpr float kFoInertialLossS = 300.0f;

void set_side_flags(float digit, float vref) {
  pfd::vspeed_digit_show = pfd::vspeed_digit_show_fo = digit;
  pfd::vspeed_vref_show = pfd::vspeed_vref_show_fo = vref;
}

// SET: a side's manual VREF shows from 57 kt below its airspeed and goes
// only 5 kt later.
void set_vref_side(float airspeed, float& digit, float& vref) {
  const float m = pfd::vspeed_man_vref;
  if (m < airspeed - 57.0f) {
    digit = vref = 1.0f;
  } else if (m > airspeed - 57.0f + 5.0f) {
    digit = vref = 0.0f;
  }
}

void update_v1_off_scale() {
  const float v1 = script_mirror.zuvadud_D738_FMS_v1;
  if (v1 == 0.0f || script_mirror.zuvadud_D738_FMS_flight_phase != 0.0f) {
    pfd::v1_off_show = pfd::v1_off_show_fo = 0.0f;
    return;
  }
  pfd::v1_off_show = v1 - 58.0f - host_mirror.sim_cockpit2_gauges_indicators_airspeed_kts_pilot > 0.0f ? 1.0f : 0.0f;
  pfd::v1_off_show_fo = v1 - 58.0f - host_mirror.sim_cockpit2_gauges_indicators_airspeed_kts_copilot > 0.0f ? 1.0f : 0.0f;
}

float idle_rh_box(int side, float agl) {
  float& timer = indication_state.rh_box_timer_s[side];
  float& armed = indication_state.rh_box_armed[side];
  if (agl > kRhBoxArmFt) {
    timer = armed = 0.0f;
    return 0.0f;
  }
  if (armed == 0.0f) {
    timer = kRhBoxShowS;
    armed = 1.0f;
  }
  if (timer > 0.0f) {
    timer = std::fmax(0.0f, timer - frame_time);
    return 1.0f;
  }
  return 0.0f;
}

}  // namespace

void update_pfd_vspeeds() {
  // The reference speeds are set and shown by the display units; with
  // neither side's units powered the selector turns and sets nothing.
  if (!display_units_powered()) {
    update_v1_off_scale();
    return;
  }
  const float sel = toggle_switch::spd_ref;
  const float set_speed = toggle_switch::spd_ref_adjust;
  const float ias_c = host_mirror.sim_cockpit2_gauges_indicators_airspeed_kts_pilot;
  const float ias_f = host_mirror.sim_cockpit2_gauges_indicators_airspeed_kts_copilot;
  if (sel == 0.0f) {
    pfd::vspeed_show = pfd::vspeed_mode = pfd::vspeed_vref_show = pfd::vspeed_vref_show_fo = 0.0f;
    const float app = script_mirror.zuvadud_D738_FMS_approach_speed;
    if (script_mirror.zuvadud_D738_pfd_fmc_flap_spd < 2.0f || app <= 0.0f) {
      pfd::vspeed_digit_show = pfd::vspeed_ref_show = pfd::vspeed_digit_show_fo = pfd::vspeed_ref_show_fo = 0.0f;
    } else {
      if (ias_c - 50.0f > app) {
        pfd::vspeed = app;
        pfd::vspeed_digit_show = 1.0f;
      } else {
        pfd::vspeed_digit_show = 0.0f;
      }
      pfd::vspeed_ref_show = pfd::vspeed_digit_show;
      pfd::vspeed_digit_show_fo = ias_f - 50.0f > app ? 1.0f : 0.0f;
      pfd::vspeed_ref_show_fo = pfd::vspeed_digit_show_fo;
    }
  } else if (sel == 6.0f) {
    pfd::vspeed_show = pfd::vspeed_mode = 0.0f;
    if (on_ground == 1) {
      pfd::vspeed_digit_show = pfd::vspeed_digit_show_fo = pfd::vspeed_vref_show = pfd::vspeed_vref_show_fo = 0.0f;
    } else {
      set_vref_side(ias_c, pfd::vspeed_digit_show, pfd::vspeed_vref_show);
      set_vref_side(ias_f, pfd::vspeed_digit_show_fo, pfd::vspeed_vref_show_fo);
    }
  } else if (on_ground == 1) {
    if (sel == 1.0f || sel == 2.0f) {
      (sel == 1.0f ? pfd::vspeed_man_v1 : pfd::vspeed_man_vr) = set_speed;
      pfd::vspeed = set_speed;
      pfd::vspeed_show = 1.0f;
      pfd::vspeed_mode = sel;
      pfd::vspeed_digit_show = pfd::vspeed_digit_show_fo = 1.0f;
      pfd::vspeed_vref_show = pfd::vspeed_vref_show_fo = 0.0f;
    } else {
      pfd::vspeed_vref_show = pfd::vspeed_vref_show_fo = pfd::vspeed_show = 0.0f;
      pfd::vspeed_digit_show = pfd::vspeed_digit_show_fo = 0.0f;
      pfd::vspeed_mode = sel == 4.0f ? 4.0f : 0.0f;
    }
  } else if (sel == 1.0f || sel == 2.0f) {
    pfd::vspeed_mode = 4.0f;
    pfd::vspeed_show = 0.0f;
    set_side_flags(0.0f, 0.0f);
  } else if (sel == 4.0f) {
    pfd::vspeed_man_vref = pfd::vspeed = set_speed;
    pfd::vspeed_show = 1.0f;
    pfd::vspeed_mode = 3.0f;
    set_side_flags(1.0f, 1.0f);
  } else {
    pfd::vspeed_mode = 0.0f;
    pfd::vspeed_show = 0.0f;
    set_side_flags(0.0f, 0.0f);
  }
  update_v1_off_scale();
}

namespace {

// The right IRS rides the loss of its AC bus on its backup, the switched hot
// battery bus, for five minutes; AC back within them, it never stopped. Once
// it has shut down (the five minutes over, or no backup to go to) it has lost
// its alignment: AC back, it stays lost until the scripts' mode selector
// takes it through an alignment again (OFF, or another mode than it ran in).
void fo_inertial_source() {
  const float mode = script_mirror.zuvadud_D738_irs_irs2_mode;
  const bool ac = fed(Consumer::irs2_alignment_timer);
  float& lost = delay_flags.fo_irs_lost_flag;
  float& timer = delay_timers.fo_irs_backup_delay;
  if (mode == 0.0f || (lost != 0.0f && ac && mode != indication_state.fo_irs_running_mode)) {
    timer = 0.0f;
    lost = 0.0f;
  } else if (lost != 0.0f) {
    timer = 0.0f;
  } else if (ac) {
    timer = 0.0f;
  } else if (!fed(Consumer::irs2_backup) || electric::battery_pos != 1.0f) {
    timer = 0.0f;
    lost = 1.0f;
  } else if (timer == 0.0f) {
    timer = kFoInertialLossS;
  }
  if (lost == 0.0f) indication_state.fo_irs_running_mode = mode;
  systems::lost_fo_inertial = lost;
}

}  // namespace

void update_source_indications() {
  const float src = toggle_switch::fmc_source;
  if (src == -1.0f) {
    nd::capt_fmc_source = nd::fo_fmc_source = 1.0f;
  } else if (src == 1.0f) {
    nd::capt_fmc_source = nd::fo_fmc_source = 2.0f;
  } else {
    nd::capt_fmc_source = 1.0f;
    nd::fo_fmc_source = 2.0f;
  }

  fo_inertial_source();

  door::flt_dk_door_ratio = lag_toward(door::flt_dk_door_ratio, travel_targets.flt_dk_door, 0.0f, 1.0f, 5.0f);
  door::capt_window_ratio = ramp_toward(door::capt_window_ratio, travel_targets.capt_window, 0.0f, 1.0f, 0.25f);
  door::fo_window_ratio = ramp_toward(door::fo_window_ratio, travel_targets.fo_window, 0.0f, 1.0f, 0.25f);
  const float lock_before = indication_state.door_lock;
  if (toggle_switch::flt_dk_door == -1.0f) {
    if (indication_state.door_lock == 1.0f) indication_state.door_lock = 0.0f;
  } else if (indication_state.door_lock == 0.0f && door::flt_dk_door_ratio == 0.0f) {
    indication_state.door_lock = 1.0f;
  }
  cue_fmodpack::flt_dk_door_lock = indication_state.door_lock != lock_before ? 1.0f : 0.0f;

  fmod_::mach_warn = 0.0f;
  if (fed(Consumer::mach_warning)) {
    const bool fast = host_mirror.sim_cockpit2_gauges_indicators_airspeed_kts_pilot > 341.0f ||
                      host_mirror.sim_cockpit2_gauges_indicators_airspeed_kts_copilot > 341.0f ||
                      host_mirror.sim_flightmodel_misc_machno > 0.823f;
    const bool test = host_mirror.sim_cockpit2_gauges_indicators_radio_altimeter_height_ft_pilot < 50.0f &&
                      (push_button::mach_warn1_pos != 0.0f || push_button::mach_warn2_pos != 0.0f);
    if (fast || test) fmod_::mach_warn = 1.0f;
  }
}

// The standard atmosphere an altimeter is calibrated to: the lapse-rate
// formula up to the tropopause (36,089 ft), then the isothermal layer at
// -56.5 C, where pressure falls by e every 20,806 ft. The tropopause's
// pressure ratio is the one the lapse-rate formula gives at 36,089 ft, so
// the two layers meet without a step.
namespace {
constexpr double kTropopauseFt = 36089.24;
constexpr double kTropopauseRatio = 0.2231959;
constexpr double kIsothermalScaleFt = 20805.83;

double standard_altitude_ft(double pressure_ratio) {
  if (pressure_ratio >= kTropopauseRatio) return (1.0 - std::pow(pressure_ratio, 0.190284)) * 145366.45;
  return kTropopauseFt + kIsothermalScaleFt * std::log(kTropopauseRatio / pressure_ratio);
}
}  // namespace

// The standby altimeter is a pneumatic instrument: it reads the static
// pressure at the aircraft against its own baro setting, replayed or live.
void update_standby_altitude() {
  float b = gauges::standby_altimeter_baro;
  if (gauges::standby_alt_std_mode == 1.0f || b == 0.0f) b = kStdBaro;
  const float p = host_mirror.sim_weather_barometer_current_inhg;
  float target = static_cast<float>(standard_altitude_ft(static_cast<double>(p) / b));
  if (!std::isfinite(target)) target = gauges::standby_altitude_ft;  // a pressure <= 0 gives no altitude
  gauges::standby_altitude_ft = lag_toward(gauges::standby_altitude_ft, target, -5000.0f, 47000.0f, 2.0f);
}

void update_standby_alt_du_select() {
  const ScriptMirror& s = script_mirror;
  const HostMirror& h = host_mirror;
  const float sync = s.zuvadud_D738_effects_sync_pilot_isdf;
  if (sync == 1.0f || sync == 2.0f) {
    const bool capt = sync == 1.0f;
    const float baro = capt ? h.sim_cockpit2_gauges_actuators_barometer_setting_in_hg_pilot
                            : h.sim_cockpit2_gauges_actuators_barometer_setting_in_hg_copilot;
    const float hpa = capt ? s.zuvadud_D738_EFIS_control_capt_baro_in_hpa_pfd : s.zuvadud_D738_EFIS_control_fo_baro_in_hpa_fo;
    gauges::standby_altimeter_baro = baro;
    gauges::standby_alt_std_mode = capt ? s.zuvadud_D738_EFIS_baro_set_std_pilot : s.zuvadud_D738_EFIS_baro_set_std_copilot;
    gauges::standby_alt_mode = hpa;
    knobs::standby_alt_baro = hpa != 0.0f ? baro * kHpaPerInHg : baro;
    indication_state.standby_baro_state = 2.0f;
  } else {
    if (read_now_f(bound::zuvadud_D738_isfd_rmi) != 0.0f) {
      knobs::standby_alt_baro = gauges::standby_altimeter_baro;
      gauges::standby_alt_mode = 0.0f;
    }
    if (indication_state.standby_baro_state == 0.0f) {
      indication_state.standby_baro_state = 1.0f;
    } else if (indication_state.standby_baro_state == 1.0f) {
      indication_state.standby_baro_state = 2.0f;
      gauges::standby_alt_mode = s.zuvadud_D738_fms_baro_in_hpa;
    }
  }
  update_standby_altitude();

  const float mode = gauges::standby_mode;
  gauges::standby_app_horz = mode == 0.0f ? 0.0f : 1.0f;
  gauges::standby_app_vert = mode == 1.0f ? 1.0f : 0.0f;

  auto main_du = [](float sel, float& idu, float& odu) {
    if (sel == -1.0f || sel == 0.0f || sel == 1.0f) {
      idu = sel;
      odu = 0.0f;
    } else if (sel == 2.0f) {
      idu = 2.0f;
      odu = -1.0f;
    } else {
      idu = 3.0f;
      odu = 0.0f;
    }
  };
  main_du(toggle_switch::main_pnl_du_capt, display_units::idu_cpt, display_units::odu_cpt);
  main_du(toggle_switch::main_pnl_du_fo, display_units::idu_fo, display_units::odu_fo);

  float ldu = 0.0f;
  float udu = 0.0f;
  if (toggle_switch::lower_du_capt == 1.0f) {
    ldu = 1.0f;
  } else if (toggle_switch::lower_du_capt == -1.0f) {
    udu = -1.0f;
    ldu = 2.0f;
  } else if (toggle_switch::lower_du_fo == 1.0f) {
    ldu = 3.0f;
  } else if (toggle_switch::lower_du_fo == -1.0f) {
    udu = -1.0f;
    ldu = 2.0f;
  }
  display_units::ldu = ldu;
  display_units::udu = udu;

  const float page = s.zuvadud_D738_systems_lowerDU_page;
  const float page2 = s.zuvadud_D738_systems_lowerDU_page2;
  if ((page != indication_state.lower_page_last && page == 1.0f) || page2 != indication_state.lower_page2_last) {
    indication_state.page_blank_timer_s = 2.0f;
  } else {
    indication_state.page_blank_timer_s = std::fmax(0.0f, indication_state.page_blank_timer_s - frame_time);
  }
  indication_state.lower_page_last = page;
  indication_state.lower_page2_last = page2;
  const float t = indication_state.page_blank_timer_s;
  display::lu_init = t > 1.4f ? 2.0f : (t > 0.8f ? 1.0f : 0.0f);
}

void update_radio_alt_dial() {
  const float ra = host_mirror.sim_cockpit2_gauges_indicators_radio_altimeter_height_ft_pilot;
  pfd::ra_dial = (script_mirror.zuvadud_D738_aoa_ra == 2.0f &&
                  (ra >= 1000.0f || host_mirror.sim_flightmodel_position_groundspeed < 26.0f))
                     ? 1.0f
                     : 0.0f;
  pfd::rh_pilot_white_box = idle_rh_box(0, script_mirror.zuvadud_D738_PFD_agl_pilot);
  pfd::rh_copilot_white_box = idle_rh_box(1, script_mirror.zuvadud_D738_PFD_agl_copilot);
}

void update_flap_cue_and_lever_relay() {
  if (fmod_::flap_sound == 1.0f) {
    fmod_::flap_sound = 2.0f;
  } else if (fmod_::flap_sound == 2.0f) {
    fmod_::flap_sound = 0.0f;
  }
  // The host records this array in a replay; elements 12 and 13 carry the
  // gear handle and the flap lever through it.
  float* lights = host_mirror.sim_cockpit2_switches_landing_lights_switch;
  lights[12] = controls::gear_handle_down;
  lights[13] = flt_ctrls::flap_lever;
  host_send_vf(bound::sim_cockpit2_switches_landing_lights_switch, lights, 14);
}
