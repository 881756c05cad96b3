// Hydraulics and yaw damper (hydraulics.h).
//
// Reads: pump, fire, flight control, alternate flaps, yaw damper and parking
// brake switches, N2, host pump and leak failures, gear, airspeed, flap and
// spoiler positions, reverser mode, the IRS values of the scripts, bus
// statuses, hydraulic failure entries. Writes: the hydraulic:: status record,
// "zuvadud/D738/systems/lost_hyd_B", the yaw damper switch and the host yaw
// damper, the yaw damper engage delay.
#include "systems/hydraulics/hydraulics.h"

#include <cmath>

#include "alerting/failure_state.h"
#include "core/failure_entries.h"
#include "core/failure_tables.h"
#include "core/binding.h"
#include "core/frame_values.h"
#include "core/preprocess_values.h"
#include "core/util.h"
#include "engines/engine_values.h"
#include "systems/delay_timers.h"
#include "systems/electrical/bus_feeds.h"
#include "systems/electrical/electric_values.h"
#include "systems/fire/fire_values.h"
#include "core/host_io.h"
#include "systems/hydraulics/hydraulic_values.h"
#include "systems/instruments/instrument_values.h"
#include "systems/switches/switch_targets.h"
#include "systems/switches/switch_values.h"
#include "systems/system_state.h"

HydraulicState hyd_state;

namespace {

float round_down_10(float psi) { return std::floor(psi / 10.0f) * 10.0f; }

// Engine-driven pump output by N2. The pump turns with the core, and what it
// can deliver against the system's leakage goes with its speed: it holds its
// LOW PRESSURE switch's 1,300 psi from 20.4 % N2 and full output from 32 %.
// That is above what the air alone turns a windmilling core at any speed
// the aircraft flies (up to about 20 % N2), so a failed engine's pump shows
// LOW PRESSURE in flight, while a start brings it in as the starter turns the
// core up toward fuel-on.
constexpr float kEdpLowPressN2 = 20.4f;
constexpr float kEdpFullN2 = 32.0f;
float edp_target_for_n2(float n2, float max_psi) {
  if (n2 <= 0.0f) return 0.0f;
  if (n2 <= kEdpLowPressN2) return interpolate_clamped(0.0f, 0.0f, kEdpLowPressN2, 1300.0f, n2);
  if (n2 <= 23.2f) return interpolate_clamped(kEdpLowPressN2, 1300.0f, 23.2f, 1600.0f, n2);
  if (n2 <= 24.0f) return interpolate_clamped(23.2f, 1600.0f, 24.0f, 1920.0f, n2);
  if (n2 <= kEdpFullN2) return interpolate_clamped(24.0f, 1920.0f, kEdpFullN2, max_psi, n2);
  return max_psi;
}

float pump_output(float output, float target, float rise_time, float fall_rate) {
  if (target > output) return move_toward_timed(output, target, 0.0f, 3500.0f, rise_time);
  return lag_toward(output, target, 0.0f, 3500.0f, fall_rate);
}

struct SystemInputs {
  float& fluid;
  float& residual;
  float& emdp;
  float& edp;
  float edp_max;
  fail_entry::Hydraulic pumps_failure;
  float el_switch;
  float el_bus;  // the electric pump's power: its AC motor bus and its control power
  float el_target_psi;
  float eng_switch;
  float eng_depressurise;  // the engine pump's depressurising solenoid has power
  bound::Id eng_pump_failure;
  float fire_switch;
  float n2;
  float fall_rate;
};

// One main system: returns the raw pressure and publishes the two targets.
float run_system(SystemInputs s, float& el_trg, float& eng_trg) {
  el_trg = 0.0f;
  eng_trg = 0.0f;
  if (s.fluid > 30.0f && failure_value(s.pumps_failure) != 1.0f) {
    const bool ele_ok = mirror_i(bound::sim_operation_failures_rel_hydpmp_ele) != kHostFailed;
    if (s.el_switch == 1.0f && ele_ok && s.el_bus == 1.0f) el_trg = s.el_target_psi;
    // OFF depressurises the engine pump through a solenoid: without its power
    // the pump pressurises whatever the switch says.
    const bool eng_on = s.eng_switch == 1.0f || s.eng_depressurise == 0.0f;
    if (eng_on && mirror_i(s.eng_pump_failure) != kHostFailed && s.fire_switch != 1.0f) {
      eng_trg = edp_target_for_n2(s.n2, s.edp_max);
    }
  }
  s.emdp = pump_output(s.emdp, el_trg, 0.00207f, s.fall_rate);
  s.edp = pump_output(s.edp, eng_trg, 0.001379f, s.fall_rate);
  if (s.fluid < 30.0f) {
    s.residual = lag_toward(s.residual, 0.0f, 0.0f, 3500.0f, s.fall_rate);
  } else if (s.residual < 40.0f) {
    s.residual = random_range(40.0f, 50.0f);
  }
  float raw = s.residual;
  if (s.emdp > raw) raw = s.emdp;
  if (s.edp > raw) raw = s.edp;
  return raw;
}

// One transfer step moves 0.99 % of quantity, or what is left.
void transfer_step(float& from, float& to) {
  const float step = from > 0.99f ? 0.99f : from;
  from -= step;
  to += step;
  if (to > 120.0f) to = 120.0f;
}

void fluid_transfers() {
  HydraulicState& h = hyd_state;
  const float pb_pos = cockpit::parking_brake_pos;
  const float pb_ratio = mirror_f(bound::sim_cockpit2_controls_parking_brake_ratio);
  const int rev_mode = mirror_vi_at(bound::sim_cockpit2_engine_actuators_prop_mode, 0);
  if (hydraulic::A_press_trg == 0.0f && hydraulic::B_press_trg == 0.0f) {
    if (pb_pos != h.prev_parking_brake_pos && pb_ratio != h.prev_parking_brake_ratio) {
      if (pb_pos == 0.0f && pb_ratio == 0.0f && h.pb_transfer_armed == 1.0f) {
        if (hydraulic::B_pressure > 1500.0f && h.hyd_fluid_a > 0.0f) transfer_step(h.hyd_fluid_a, h.hyd_fluid_b);
        h.pb_transfer_armed = 0.0f;
      } else if (pb_pos == 1.0f && pb_ratio == 1.0f && h.pb_transfer_armed == 0.0f &&
                 hydraulic::A_pressure > 1300.0f && hydraulic::B_pressure < 300.0f) {
        h.pb_transfer_armed = 1.0f;
      }
    }
    if (rev_mode != h.prev_rev_mode) {
      const float a = switches::flt_ctr_A_pos;
      const float b = switches::flt_ctr_B_pos;
      if (rev_mode == 3) {
        if (hydraulic::A_pressure < 300.0f && hydraulic::B_pressure < 300.0f && a == -1.0f && b == -1.0f &&
            hydraulic::standby_status == 1.0f) {
          h.rev_transfer_armed = 1.0f;
        }
      } else if (rev_mode == 1) {
        if (h.rev_transfer_armed == 1.0f && hydraulic::A_pressure > 1300.0f && hydraulic::B_pressure < 300.0f &&
            a == 1.0f && b == 1.0f && h.hyd_fluid_b > 0.0f) {
          transfer_step(h.hyd_fluid_b, h.hyd_fluid_a);
        }
        h.rev_transfer_armed = 0.0f;
      }
    }
  } else {
    h.pb_transfer_armed = 0.0f;
    h.rev_transfer_armed = 0.0f;
  }
  h.prev_parking_brake_pos = pb_pos;
  h.prev_parking_brake_ratio = pb_ratio;
  h.prev_rev_mode = rev_mode;
}

void displayed_quantities() {
  HydraulicState& h = hyd_state;
  auto spoiler_term = [](float deg) { return deg < 0.0f ? -5.0f : interpolate_clamped(0.0f, -5.0f, 50.0f, 0.0f, deg); };
  auto flap_term = [](float deg) { return deg < 0.0f ? 0.0f : interpolate_clamped(0.0f, 0.0f, 49.0f, 16.0f, deg); };
  float a = h.hyd_fluid_a;
  float b = h.hyd_fluid_b;
  if (a != 0.0f) a += spoiler_term(mirror_vf_at(bound::sim_flightmodel2_wing_spoiler1_deg, 0));
  if (b != 0.0f) {
    b += spoiler_term(mirror_vf_at(bound::sim_flightmodel2_wing_spoiler1_deg, 1)) -
         flap_term(mirror_vf_at(bound::sim_flightmodel2_wing_flap1_deg, 0)) -
         flap_term(mirror_vf_at(bound::sim_flightmodel2_wing_flap1_deg, 1));
  }
  hydraulic::hyd_A_qty = a > 0.0f ? a : 0.0f;
  hydraulic::hyd_B_qty = b > 0.0f ? b : 0.0f;
}

void yaw_damper() {
  HydraulicState& h = hyd_state;
  const float gs = mirror_f(bound::sim_flightmodel_position_groundspeed);
  float& lost_b = systems::lost_hyd_B;
  if (hydraulic::B_status != h.hyd_b_status_prev) lost_b = hydraulic::B_status == 0.0f ? 1.0f : 0.0f;
  if ((lost_b == 1.0f && gs < 5.0f && engine::mixture_ratio2 < 0.1f && on_ground == 1) || h.yd_settle_time < 5.0f) {
    lost_b = 0.0f;
  }
  h.hyd_b_status_prev = hydraulic::B_status;

  float& sw = toggle_switch::yaw_dumper_pos;
  const bound::Id yd_host = bound::sim_cockpit2_switches_yaw_damper_on;
  if (sw == 0.0f && mirror_i(yd_host) == 1) host_set_i(yd_host, 0);
  float& left_seen = hydraulic_step_state.yd_irs_seen[0];
  float& right_seen = hydraulic_step_state.yd_irs_seen[1];
  if (sw == 0.0f && sw != h.yd_switch_prev) {
    left_seen = 0.0f;
    right_seen = 0.0f;
  }
  const float irs_left = mirror_f(bound::zuvadud_D738_toggle_switch_irs_left);
  const float irs_right = mirror_f(bound::zuvadud_D738_toggle_switch_irs_right);
  if (irs_left != 0.0f && (mirror_f(bound::zuvadud_D738_annunciator_irs_align_left) != 0.0f ||
                           mirror_f(bound::zuvadud_D738_irs_irs_mode) > 1.0f)) {
    left_seen = 1.0f;
  }
  if (irs_right != 0.0f && (mirror_f(bound::zuvadud_D738_annunciator_irs_align_right) != 0.0f ||
                            mirror_f(bound::zuvadud_D738_irs_irs2_mode) > 1.0f)) {
    right_seen = 1.0f;
  }
  const bool fail_left = mirror_f(bound::zuvadud__D738__annunciator__irs__align_fail_left) != 0.0f;
  const bool fail_right = mirror_f(bound::zuvadud__D738__annunciator__irs__align_fail_right) != 0.0f;
  bool unavailable = false;
  bool fault = false;
  const float source = mirror_f(bound::zuvadud_D738_toggle_switch_irs_source);
  if (source == -1.0f) {
    unavailable = irs_left == 0.0f || left_seen == 0.0f;
    fault = unavailable || fail_left;
  } else if (source == 0.0f) {
    unavailable = (irs_left == 0.0f && irs_right == 0.0f) || (left_seen == 0.0f && right_seen == 0.0f);
    fault = unavailable || (fail_left && fail_right);
  } else if (source == 1.0f) {
    unavailable = irs_right == 0.0f || right_seen == 0.0f;
    fault = unavailable || fail_right;
  }
  h.yd_irs_fault = as01(fault);

  const float a = switches::flt_ctr_A_pos;
  const float b = switches::flt_ctr_B_pos;
  const bool any_stby = a == -1.0f || b == -1.0f;
  // The damper acts through system B's rudder actuator: B away from ON
  // trips it, unless both switches put the standby system on the rudder.
  bool forced = false;
  if (b == -1.0f) {
    forced = a != -1.0f || h.stby_pump_running == 0.0f;
  } else if (b == 0.0f) {
    forced = true;
  } else {
    forced = (hydraulic::B_status == 0.0f && on_ground != 1) || (any_stby && h.stby_pump_running == 0.0f);
  }
  if (forced) {
    unavailable = true;
    fault = true;
  }
  // The solenoid lets go of a switch that was released ON whenever the
  // damper cannot stay engaged: it trips to OFF and stays there until the
  // crew puts it back.
  if ((fault || unavailable || !fed(Consumer::yaw_damper)) && yaw_damper_switch_state == 1.0f) {
    yaw_damper_switch_state = 0.0f;
    sw = 0.0f;
  }
  if (mirror_i(yd_host) == 1 && (!fed(Consumer::yaw_damper) || fault)) host_set_i(yd_host, 0);
  if (!fault && !unavailable && sw == 1.0f && mirror_i(yd_host) == 0 && delay_timers.yaw_damper_engage_delay == 0.0f) {
    delay_timers.yaw_damper_engage_delay = 1.2f;
  }
  h.yd_switch_prev = sw;
}

}  // namespace

bool flight_controls_powered_a() { return switches::flt_ctr_A_pos == 1.0f && hydraulic::A_status == 1.0f; }
bool flight_controls_powered_b() { return switches::flt_ctr_B_pos == 1.0f && hydraulic::B_status == 1.0f; }

void hyd_update() {
  HydraulicState& h = hyd_state;
  const float n2_1 = mirror_vf_at(bound::sim_flightmodel2_engines_N2_percent, 0);
  const float n2_2 = mirror_vf_at(bound::sim_flightmodel2_engines_N2_percent, 1);
  const float raw_a = run_system({h.hyd_fluid_a, h.hyd_residual_a, h.emdp_press_a, h.edp_press_a, h.edp_max_press_a,
                                  fail_entry::hyd_pumps_a,
                                  toggle_switch::electric_hydro_pumps1_pos, fed01(Consumer::hyd_elec_pump_a), 2850.0f,
                                  toggle_switch::hydro_pumps1_pos, fed01(Consumer::hyd_eng_pump_1_depressurise),
                                  bound::sim_operation_failures_rel_hydpmp,
                                  fire::engine01_ext_switch_pos_arm, n2_1, 0.26f},
                                 hydraulic::A_press_el_trg, hydraulic::A_press_trg);
  const float raw_b = run_system({h.hyd_fluid_b, h.hyd_residual_b, h.emdp_press_b, h.edp_press_b, h.edp_max_press_b,
                                  fail_entry::hyd_pumps_b,
                                  toggle_switch::electric_hydro_pumps2_pos, fed01(Consumer::hyd_elec_pump_b), 2820.0f,
                                  toggle_switch::hydro_pumps2_pos, fed01(Consumer::hyd_eng_pump_2_depressurise),
                                  bound::sim_operation_failures_rel_hydpmp2,
                                  fire::engine02_ext_switch_pos_arm, n2_2, 0.37f},
                                 hydraulic::B_press_el_trg, hydraulic::B_press_trg);
  hydraulic::A_pressure = round_down_10(raw_a);
  hydraulic::B_pressure = round_down_10(raw_b);
  hydraulic::A_status = as01(hydraulic::A_pressure > 1300.0f);
  hydraulic::B_status = as01(hydraulic::B_pressure > 1300.0f);

  // Standby pump: selected by a flight control switch at STBY RUD or the
  // alternate flaps, or automatically when a main system fails with flaps out.
  // The automatic operation also opens the standby rudder valve, so it holds
  // with ALTERNATE FLAPS armed too: after a loss of B that is how the flaps
  // come out, and the rudder needs the standby system all the more.
  // A failed pump is called for all the same (STBY RUD ON and its LOW
  // PRESSURE light tell the crew so) and gives no pressure.
  const float a_sw = switches::flt_ctr_A_pos;
  const float b_sw = switches::flt_ctr_B_pos;
  float stby_demand = 0.0f;
  bool stby_auto = false;
  if (fed(Consumer::standby_hydraulics)) {
    const bool airborne_or_fast =
        mirror_vi_at(bound::sim_flightmodel2_gear_on_ground, 0) == 0 ||
        mirror_vi_at(bound::sim_flightmodel2_gear_on_ground, 1) == 0 ||
        mirror_vi_at(bound::sim_flightmodel2_gear_on_ground, 2) == 0 ||
        mirror_f(bound::sim_cockpit2_gauges_indicators_airspeed_kts_pilot) > 60.0f;
    stby_auto = (a_sw == 1.0f || b_sw == 1.0f) &&
                (hydraulic::A_pressure < 2000.0f || hydraulic::B_pressure < 2000.0f) &&
                mirror_f(bound::sim_cockpit2_controls_flap_handle_deploy_ratio) > 0.0f && airborne_or_fast;
    if (stby_auto || a_sw == -1.0f || b_sw == -1.0f || switches::alt_flaps_pos == 1.0f) stby_demand = 2700.0f;
  }
  // The pump's AC motor has its own bus: called for without it, the pump
  // gives nothing and its LOW PRESSURE light says so.
  const float stby_target =
      failure_value(fail_entry::hyd_standby_pump) != 1.0f && fed(Consumer::standby_hydraulic_pump_motor) ? stby_demand : 0.0f;
  h.stby_press_state = lag_toward(h.stby_press_state, stby_target, 0.0f, 2700.0f,
                                  stby_target > h.stby_press_state ? 0.98f : 0.19f);
  hydraulic::standby_pressure = round_down_10(h.stby_press_state);
  hydraulic::standby_on = as01(stby_demand != 0.0f);
  h.stby_pump_running = as01(stby_target != 0.0f);
  h.stby_rudder_auto = as01(stby_auto);
  hydraulic::standby_status = as01(hydraulic::standby_pressure > 2000.0f);
  float highest = h.stby_press_state;
  if (raw_a > highest) highest = raw_a;
  if (raw_b > highest) highest = raw_b;
  hydraulic::pressure = highest;
  hydraulic::A_rudder = as01(flight_controls_powered_a() || (a_sw != 0.0f && hydraulic::standby_status == 1.0f));
  hydraulic::B_rudder = as01(flight_controls_powered_b() || (b_sw != 0.0f && hydraulic::standby_status == 1.0f));

  if (mirror_i(bound::sim_operation_failures_rel_hydleak) == kHostFailed || failure_value(fail_entry::hyd_leak_a) == 1.0f) {
    h.hyd_fluid_a = lag_toward(h.hyd_fluid_a, 0.0f, 0.0f, 120.0f, 0.012f);
  }
  if (mirror_i(bound::sim_operation_failures_rel_hydleak2) == kHostFailed || failure_value(fail_entry::hyd_leak_b) == 1.0f) {
    h.hyd_fluid_b = lag_toward(h.hyd_fluid_b, 0.0f, 0.0f, 120.0f, 0.012f);
  }
  fluid_transfers();
  displayed_quantities();

  const bool none_burning = mirror_vi_at(bound::sim_flightmodel2_engines_engine_is_burning_fuel, 0) == 0 &&
                            mirror_vi_at(bound::sim_flightmodel2_engines_engine_is_burning_fuel, 1) == 0;
  hydraulic::hyd_rf = as01(on_ground == 1 && (none_burning ||
                                              (mirror_f(bound::sim_cockpit2_controls_flap_ratio) == 0.0f &&
                                               mirror_f(bound::sim_flightmodel_position_groundspeed) > 5.0f)));

  if (h.yd_settle_time > 4.0f) yaw_damper();
  if (h.yd_settle_time < 5.0f && frame_done != 0) h.yd_settle_time += frame_time;
}
