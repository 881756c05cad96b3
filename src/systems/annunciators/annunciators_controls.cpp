// Light equations of the flight controls, slats and takeoff configuration,
// landing gear and speedbrake, autopilot disconnects, the fuel valves and ram
// air doors, and the recorders, AUTO FAIL and STAB OUT OF TRIM lights.
//
// Reads: hydraulic status, flight control and gear switches, host gear,
// slat, flap, trim, speedbrake, reverser, engine and radio-altitude values,
// bus statuses, pressurisation outputs. Writes: those annunciator:: lights,
// the fuel valve positions, "zuvadud/D738/system/takeoff_config_warn", the
// flap needles and the voice recorder switch.
#include <cmath>

#include "core/binding.h"
#include "core/frame_values.h"
#include "core/preprocess_values.h"
#include "core/util.h"
#include "engines/engine_values.h"
#include "lnav/steering/servo_laws.h"
#include "systems/air/pressurisation.h"
#include "systems/annunciators/annunciator_values.h"
#include "systems/annunciators/annunciators.h"
#include "systems/annunciators/annunciators_controls.h"
#include "systems/delay_timers.h"
#include "systems/electrical/bus_feeds.h"
#include "systems/electrical/electric_values.h"
#include "systems/fire/fire.h"
#include "systems/fire/fire_values.h"
#include "systems/flight_controls/flight_control_values.h"
#include "systems/gear_brakes/gear_horn.h"
#include "core/host_io.h"
#include "systems/hydraulics/hydraulic_values.h"
#include "systems/hydraulics/hydraulics.h"
#include "systems/instruments/instrument_values.h"
#include "systems/switches/switch_values.h"
#include "systems/systems_step_outputs.h"

SpeedbrakeLightState spdbrk;
RecorderLightState recorder_lights;
float slat_ratio_prev;
float slat1_ratio_prev;

namespace {

// The autopilot's trim left short of its target this long lights STAB OUT OF
// TRIM: longer than a trim step takes to start, short of a pilot noticing.
constexpr float kStabOutOfTrimDelayS = 3.0f;
// Trailing edge flap positions (deploy ratio) that set the leading edges'
// place: retracted up to the first, the mid position up to flaps 5.
constexpr float kFlapsUpRatio = 0.01f;
constexpr float kFlaps5Ratio = 0.385f;
constexpr float kFlaps10Ratio = 0.495f;

float radio_alt_ft() { return mirror_f(bound::sim_cockpit2_gauges_indicators_radio_altimeter_height_ft_pilot); }

void rudder_lights() {
  const float l1 = ann_levels.l1;
  const float a = switches::flt_ctr_A_pos;
  const float b = switches::flt_ctr_B_pos;
  const bool any_stby = a == -1.0f || b == -1.0f;
  // LOW PRESSURE downstream of the shutoff valve: lit at OFF, whose valve
  // is closed, and at ON without the system; STBY RUD hands it over to the
  // standby light.
  const bool a_rud = a == 0.0f || (a == 1.0f && !flight_controls_powered_a());
  const bool b_rud = b == 0.0f || (b == 1.0f && !flight_controls_powered_b());
  const bool stby_rud = (hydraulic::standby_on == 1.0f || any_stby) && hydraulic::standby_status == 0.0f;
  // STBY RUD ON: the standby system is on the rudder, by a switch or by the
  // pump starting itself.
  const bool stby_rud_on = any_stby || hyd_state.stby_rudder_auto == 1.0f;
  annunciator::hyd_A_rud = as01(a_rud) * l1;
  annunciator::hyd_B_rud = as01(b_rud) * l1;
  annunciator::hyd_stdby_rud = as01(stby_rud) * l1;
  annunciator::std_rud_on = as01(stby_rud_on) * l1;
  annunciator::yaw_damp = as01(mirror_i(bound::sim_cockpit2_annunciators_yaw_damper) != 1) * l1;
  SixPackGroup& g = ann_state.six_pack[sp_flt_cont];
  g.slot[0] = mirror_i(bound::sim_cockpit2_annunciators_yaw_damper) != 1 ? 1 : 0;
  g.slot[1] = a_rud ? 1 : 0;
  g.slot[2] = b_rud ? 1 : 0;
  g.slot[3] = stby_rud ? 1 : 0;
  g.slot[4] = stby_rud_on ? 1 : 0;
}

// Feel differential: the two systems more than a quarter apart for 30 s in
// flight. The light is armed only with the trailing edge flaps up: with one
// system lost it would otherwise stay lit through the approach and landing.
void feel_differential() {
  const float a = hydraulic::A_pressure;
  const float b = hydraulic::B_pressure;
  const float lo = a < b ? a : b;
  const float hi = a < b ? b : a;
  const bool flaps_up = mirror_f(bound::sim_cockpit2_controls_flap_handle_deploy_ratio) == 0.0f;
  if (lo >= 0.75f * hi || !flaps_up) {
    delay_flags.ann_delayed_2 = 0.0f;
    delay_timers.ann_delay_2 = 0.0f;
  } else if (radio_alt_ft() <= 100.0f) {
    delay_timers.ann_delay_2 = 0.0f;
  } else if (delay_timers.ann_delay_2 == 0.0f) {
    delay_timers.ann_delay_2 = 30.0f;
  }
  annunciator::feel_diff_press = delay_flags.ann_delayed_2 * ann_levels.l1;
  ann_state.six_pack[sp_flt_cont].slot[5] = delay_flags.ann_delayed_2 == 1.0f ? 1 : 0;
}

void slat_lights() {
  const float l1 = ann_levels.l1;
  bool slat_fail = !fed(Consumer::slat_control);
  if (!slat_fail) slat_fail = flap_slat_held == 1.0f && (systems::lost_hyd_B == 1.0f || radio_alt_ft() > 50.0f);
  annunciator::auto_slat_fail = as01(slat_fail) * l1;
  ann_state.six_pack[sp_flt_cont].slot[6] = slat_fail ? 1 : 0;

  // TRANSIT while any device moves or rests away from the position the
  // trailing edge flaps call for; EXT only with the devices at rest extended
  // where they belong, so green never shows over a moving or stopped-halfway
  // leading edge (a slow alternate extension most of all), nor over leading
  // edges that disagree with the flaps. Up to flaps 5 full extension belongs
  // too: the auto slats' and the alternate drive's position.
  const float s = mirror_f(bound::sim_flightmodel2_controls_slat2_deploy_ratio);
  const float s1 = mirror_f(bound::sim_flightmodel2_controls_slat1_deploy_ratio);
  const float te = mirror_f(bound::sim_cockpit2_controls_flap_handle_deploy_ratio);
  const bool moving = s != slat_ratio_prev || s1 != slat1_ratio_prev;
  // An alternate extension is done only with the leading edges fully out and
  // the trailing edges at flaps 10: green before that would tell the crew
  // the slow electric drive has finished.
  const bool alternate = switches::alt_flaps_pos == 1.0f;
  auto agrees = [te, alternate](float le) {
    if (!(te > kFlapsUpRatio) && le == 0.0f) return true;
    if (alternate) return le == 1.0f && te >= kFlaps10Ratio;
    if (!(te > kFlapsUpRatio)) return false;
    if (te <= kFlaps5Ratio) return le == 0.5f || le == 1.0f;
    return le == 1.0f;
  };
  const bool in_place = agrees(s) && agrees(s1);
  const bool ext = !moving && in_place && s != 0.0f;
  const bool transit = moving || !in_place;
  slat_ratio_prev = s;
  slat1_ratio_prev = s1;
  annunciator::slats_extend = as01(ext) * l1;
  annunciator::slats_transit = as01(transit) * l1;
}

void takeoff_config() {
  const float deploy = mirror_f(bound::sim_cockpit2_controls_flap_handle_deploy_ratio);
  const float request = mirror_f(bound::sim_cockpit2_controls_flap_ratio);
  const float trim = mirror_f(bound::sim_cockpit2_controls_elevator_trim);
  const bool correct = deploy >= 0.125f && deploy <= 0.75f && request == deploy &&
                       mirror_f(bound::sim_cockpit2_controls_speedbrake_ratio) == 0.0f &&
                       cockpit::parking_brake_pos != 1.0f && trim >= -0.65f && trim <= 0.075f;
  const bool reverse = mirror_vi_at(bound::sim_cockpit2_engine_actuators_prop_mode, 0) == 3 ||
                       mirror_vi_at(bound::sim_cockpit2_engine_actuators_prop_mode, 1) == 3;
  // On the ground with either forward lever advanced, whatever the FMS makes
  // of the flight: a touch-and-go with the flaps still at 30 is a take-off.
  bool warn = false;
  if (!reverse && !correct) {
    warn = on_ground == 1 && (engine::thrust1_leveler > 0.5f || engine::thrust2_leveler > 0.5f);
  }
  annunciator::takeoff_config = as01(warn) * ann_levels.l1;
  system_::takeoff_config_warn = fed(Consumer::takeoff_config_aural) ? as01(warn) : 0.0f;
}

void gear_lights() {
  const float h = controls::gear_handle_down;
  const bound::Id collapse[3] = {bound::sim_operation_failures_rel_collapse1, bound::sim_operation_failures_rel_collapse2,
                                 bound::sim_operation_failures_rel_collapse3};
  float* transit_light[3] = {&annunciator::nose_gear_transit, &annunciator::left_gear_transit,
                             &annunciator::right_gear_transit};
  float* safe_light[3] = {&annunciator::nose_gear_safe, &annunciator::left_gear_safe, &annunciator::right_gear_safe};
  // Gear warning: low with either thrust lever at idle (a hardware
  // throttle's idle rests a little above 0), the handle not down, whatever
  // the flaps: the horn's own rule for flaps 15 and beyond is not theirs.
  const bool warning = radio_alt_ft() < 800.0f && gear_warning_lever_closed() && h < 1.0f;
  for (int i = 0; i < 3; ++i) {
    const float r = mirror_vf_at(bound::sim_flightmodel2_gear_deploy_ratio, i);
    const bool failed = mirror_i(collapse[i]) == kHostFailed;
    float p = 0.0f;
    float t = 0.0f;
    if ((h < 0.6f && r != 0.0f) || (h > 0.95f && r != 1.0f)) {
      p = 1.0f;
      t = 1.0f;
    } else {
      p = as01(r > 0.0f);
      t = as01(r != 1.0f);
    }
    if (failed) t = 1.0f;
    if (on_ground == 1 && h < 1.0f) t = 1.0f;
    if (warning) p = 1.0f;
    *transit_light[i] = t * p * ann_levels.l1;
    *safe_light[i] = failed ? 0.0f : as01(r == 1.0f) * ann_levels.l1;
  }
}

void speedbrake_lights() {
  SpeedbrakeLightState& s = spdbrk;
  // The do-not-arm flag is the delayed flag that the 0.3 s flash timer clears.
  float& dna = delay_flags.ann_delayed_3;
  const float lever = flt_ctrls::speedbrake_lever;
  const float gs = mirror_f(bound::sim_flightmodel_position_groundspeed);
  const float ra = radio_alt_ft();
  if (ra > 150.0f) {
    s.air_seen = 1.0f;
    s.phase = 0.0f;
  }
  if (on_ground == 1) {
    if (s.air_seen == 1.0f) s.phase = 1.0f;
    s.air_seen = 0.0f;
    if ((s.phase == 0.0f || s.phase == 3.0f) && gs < 30.9f) {
      dna = as01(lever != 0.0f);
      s.armed_flag = 0.0f;
    }
  }
  bool k = false;
  if (s.phase == 0.0f) {
    if (s.air_seen == 1.0f) {
      s.armed_flag = as01(lever > 0.04f);
      dna = 0.0f;
    }
    s.landing_flag = 0.0f;
    k = s.armed_flag == 1.0f;
  } else if (s.phase == 1.0f) {
    if (lever == 0.0f) s.armed_flag = 0.0f;
    k = lever != 0.0f && s.armed_flag == 1.0f;
    if (k && s.landing_flag == 0.0f) {
      // Touchdown with the lever armed: the do-not-arm light flashes 0.3 s.
      s.landing_flag = 1.0f;
      dna = 1.0f;
      if (delay_timers.ann_delay_3 == 0.0f) delay_timers.ann_delay_3 = 0.3f;
    }
    if (gs < 30.9f) {
      dna = as01(lever != 0.0f);
      s.phase = 2.0f;
      s.armed_flag = 0.0f;
      k = false;
    } else {
      k = s.armed_flag == 1.0f;
    }
  } else if (s.phase == 2.0f) {
    if (lever == 0.0f) {
      s.phase = 3.0f;
      s.armed_flag = 0.0f;
      dna = 0.0f;
      k = false;
    } else if (gs < 2.0f) {
      s.armed_flag = 0.0f;
      dna = 0.0f;
      k = false;
    } else {
      k = s.armed_flag == 1.0f;
    }
  } else {
    k = s.armed_flag == 1.0f;
  }
  if (k && hydraulic::A_status == 0.0f && hydraulic::B_status == 0.0f) {
    s.armed_flag = 0.0f;
    dna = 1.0f;
  }
  // The light shows the lever in its ARMED detent, not the flag behind the
  // do-not-arm logic: dark at the flight detent and once the speed brakes
  // are up.
  const bool in_detent = lever > 0.04f && static_cast<double>(lever) < 0.13;
  annunciator::speedbrake_armed = in_detent ? s.armed_flag * ann_levels.l1 : 0.0f;
  annunciator::spd_brk_not_arm = dna * ann_levels.l1;

  bool extend = false;
  if (on_ground == 1) {
    extend = mirror_f(bound::sim_cockpit2_controls_speedbrake_ratio) > 0.99f && hydraulic::A_pressure > 750.0f &&
             lever == 0.0f;
  } else {
    extend = (mirror_f(bound::sim_cockpit2_controls_flap_handle_deploy_ratio) > 0.5f || ra < 800.0f) && lever > 0.15f;
  }
  annunciator::speedbrake_extend = as01(extend) * ann_levels.l1;
}

void disconnect_lights() {
  const float l1 = ann_levels.l1;
  const bool test1 = toggle_switch::ap_discon_test1 == 1.0f || toggle_switch::ap_discon_test1 == -1.0f;
  const bool test2 = toggle_switch::ap_discon_test2 == 1.0f || toggle_switch::ap_discon_test2 == -1.0f;
  const bool ap = mirror_f(bound::zuvadud_D738_annunciator_ap_disconnect) == 1.0f;
  const bool at = mirror_f(bound::zuvadud_D738_annunciator_at_disconnect) == 1.0f;
  const bool fms = mirror_f(bound::zuvadud_D738_fmc_fmc_message_warn) == 1.0f;
  annunciator::ap_disconnect1 = as01(test1 || ap) * l1;
  annunciator::ap_disconnect2 = as01(test2 || ap) * l1;
  annunciator::at_disconnect1 = as01(test1 || at) * l1;
  annunciator::at_disconnect2 = as01(test2 || at) * l1;
  annunciator::at_fms_disconnect1 = as01(test1 || fms) * l1;
  annunciator::at_fms_disconnect2 = as01(test2 || fms) * l1;
  const float below = (push_button::below_gs_pilot_pos == 1.0f || push_button::below_gs_copilot_pos == 1.0f)
                          ? 1.0f
                          : static_cast<float>(trunc_to_i32(system_::below_gs_annun));
  annunciator::below_gs = below * l1;
}

// Position lights: dim at rest in one end, bright while moving, dark at the other.
float valve_light(float pos) {
  if (pos < 0.05f) return 0.3f;
  if (pos > 0.95f) return 0.0f;
  return 1.0f;
}
float door_light(float pos) {
  if (pos < 0.05f) return 0.0f;
  if (pos > 0.95f) return 0.3f;
  return 1.0f;
}

}  // namespace

void annunciators_flight_controls() {
  rudder_lights();
  feel_differential();
  slat_lights();
  takeoff_config();
}

void annunciators_gear_flight() {
  gear_lights();
  speedbrake_lights();
  disconnect_lights();
}

void annunciators_fuel_valves() {
  struct Valve {
    float* pos;
    float* light;
    int32_t engine;
    Consumer power;
    const float* mixture;
    bool battery_scaled;
  };
  const Valve valves[4] = {
      {&engine::spar1_valve, &annunciator::spar1_valve_closed, 0,
       Consumer::spar_valves, &engine::mixture_ratio1, true},
      {&engine::spar2_valve, &annunciator::spar2_valve_closed, 1,
       Consumer::spar_valves, &engine::mixture_ratio2, true},
      {&engine::eng1_valve, &annunciator::eng1_valve_closed, 0,
       Consumer::engine_fuel_valves, &engine::mixture_ratio1, false},
      {&engine::eng2_valve, &annunciator::eng2_valve_closed, 1,
       Consumer::engine_fuel_valves, &engine::mixture_ratio2, false},
  };
  for (const Valve& v : valves) {
    // The valves are driven by motors: without their control power they stay
    // where they are, so a lost battery bus never starves a running engine.
    // Only the start lever and the fire switch move them.
    if (fed(v.power)) {
      const bool open = !fire_switch_holds_fuel_shut(v.engine) && *v.mixture > 0.5f;
      *v.pos = move_toward_timed(*v.pos, open ? 1.0f : 0.0f, 0.0f, 1.0f, 2.0f);
    }
    const float scale = v.battery_scaled ? ann_levels.l1 * fed01(Consumer::valve_light_dimming) : ann_levels.l1;
    *v.light = valve_light(*v.pos) * scale;
  }
  const float r1 = door_light(cockpit::ram_door1);
  const float r2 = door_light(cockpit::ram_door2);
  annunciator::ram_door_open1 = r1 * ann_levels.l1;
  annunciator::ram_door_open2 = r2 * ann_levels.l1;
  annunciator::ram_door_open1_annun = (r1 > 0.0f && r1 < 1.0f ? 0.5f : r1) * ann_levels.l0;
  annunciator::ram_door_open2_annun = (r2 > 0.0f && r2 < 1.0f ? 0.5f : r2) * ann_levels.l0;
}

void annunciators_recorders() {
  RecorderLightState& s = recorder_lights;
  const float l1 = ann_levels.l1;
  const int32_t onground_all = mirror_i(bound::sim_flightmodel_failures_onground_all);
  const float n2_1 = mirror_vf_at(bound::sim_flightmodel2_engines_N2_percent, 0);
  const float n2_2 = mirror_vf_at(bound::sim_flightmodel2_engines_N2_percent, 1);

  // Flight data recorder.
  s.fdr_test_on = as01(switches::fdr_pos == 1.0f && fed(Consumer::flight_data_recorder));
  const float load = mirror_vf_at(bound::sim_cockpit2_electrical_bus_load_amps, 0);
  const bool fdr = !fed(Consumer::flight_data_recorder) ||
                   (onground_all == 1 && n2_1 < 50.0f && n2_2 < 50.0f) ||
                   (load < 0.3f && (onground_all == 1 || onground_all == 0));
  const bool fdr_off = !(onground_all == 1 && s.fdr_test_on == 1.0f) && fdr;
  annunciator::fdr_off = as01(fdr_off) * l1;
  ann_state.six_pack[sp_overhead].slot[1] = fdr_off ? 1 : 0;

  // Voice recorder: runs on 300 s after the last engine stops; the switch
  // returns to 0 once at the first engine start.
  const bool burn1 = mirror_vi_at(bound::sim_flightmodel2_engines_engine_is_burning_fuel, 0) != 0;
  const bool burn2 = mirror_vi_at(bound::sim_flightmodel2_engines_engine_is_burning_fuel, 1) != 0;
  if (!burn1 && !burn2) {
    if (s.eng_running_prev[0] != 0 || s.eng_running_prev[1] != 0) {
      s.cvr_run_timer = 300.0f;
    } else {
      s.cvr_state = 0;
    }
  } else if (burn1 != burn2) {
    const float n2 = burn1 ? n2_1 : n2_2;
    if (n2 > 50.0f) {
      if (s.cvr_state == 0) s.cvr_state = 1;
    } else {
      s.cvr_run_timer = 0.0f;
    }
  } else {
    s.cvr_run_timer = 0.0f;
  }
  if (read_now_f(bound::zuvadud_D738_fms_no_vcr_switch) == 0.0f) {
    if (s.cvr_state == 1) {
      if (toggle_switch::vcr == 1.0f) toggle_switch::vcr = 0.0f;
      s.cvr_state = 2;
    }
  } else {
    toggle_switch::vcr = 1.0f;
  }
  bool cvr = false;
  if (fed(Consumer::voice_recorder) && fed(Consumer::voice_recorder_side)) {
    cvr = toggle_switch::vcr == 1.0f || (burn1 && n2_1 > 50.0f) || (burn2 && n2_2 > 50.0f) ||
          (!burn1 && !burn2 && s.cvr_run_timer != 0.0f);
  }
  s.eng_running_prev[0] = mirror_vi_at(bound::sim_flightmodel_engine_ENGN_running, 0);
  s.eng_running_prev[1] = mirror_vi_at(bound::sim_flightmodel_engine_ENGN_running, 1);
  annunciator::cvr = as01(cvr) * l1;
  if (s.cvr_run_timer > 0.0f) {
    s.cvr_run_timer -= frame_time;
    if (s.cvr_run_timer < 0.0f) s.cvr_run_timer = 0.0f;
  }

  // Pressurisation controller AUTO FAIL.
  const float sel = toggle_switch::air_valve_ctrl;
  const float mode = cockpit::pressurization_mode;
  const bool autofail = (sel == 0.0f && mode != 1.0f) || (sel == 1.0f && mode != 2.0f) || mode == 0.0f ||
                        press_ctrl.channel_faulted != 0 || press_ctrl.found_fault_lit != 0 ||
                        pressurisation_limits_exceeded();
  annunciator::autofail = as01(autofail) * l1;
  // AUTO FAIL is one of the AIR COND lights whatever lit it: a cabin
  // climbing or diving too fast, or too high, brings the master caution too.
  ann_state.six_pack[sp_air_cond].slot[10] = autofail ? 1 : 0;

  // STAB OUT OF TRIM: the autopilot engaged and its trim not following the
  // servo's target for a few seconds, wherever the stabiliser stands.
  const bool out_of_trim =
      mirror_f(bound::zuvadud_autopilot_ap_on) != 0.0f && pitch_servo.trim_stalled_s >= kStabOutOfTrimDelayS;
  annunciator::stab_out_of_trim = as01(out_of_trim) * l1;
  annunciator::generic = ann_state.ann_test_active * l1;
}

bool pressurisation_limits_exceeded() {
  return mirror_f(bound::sim_cockpit_pressure_cabin_pressure_differential_psi) > kAutoFailDiffPsi ||
         cockpit::cabin_altitude_actual > 15800.0f || std::fabs(cockpit::cabin_vvi) > 3000.0f;
}

void flap_needles() {
  if (!fed(Consumer::flap_indicator)) return;
  float* needle = cockpit::flap_indicator;
  needle[0] = lag_toward(needle[0], mirror_vf_at(bound::sim_flightmodel2_wing_flap2_deg, 2), 0.0f, 49.0f, 5.0f);
  needle[1] = lag_toward(needle[1], mirror_vf_at(bound::sim_flightmodel2_wing_flap2_deg, 3), 0.0f, 49.0f, 5.0f);
}
