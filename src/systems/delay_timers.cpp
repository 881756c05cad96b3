// The systems' countdown timers (see delay_timers.h) and the APU fuel burn.
//
// Reads: frame_time, ground contact, the host's ground speed, throttle, APU N1
// and APU running flag, tank pumps and tank masses, the DC bus 1 status.
// Writes: the flags of delay_flags, the electrical display and ground-power
// state, the window overheat counters, the autobrake test values, the host
// yaw damper switch and fuel tank masses, and the host APU commands.
#include "systems/delay_timers.h"

#include <cmath>

#include "alerting/tcas_values.h"
#include "core/command_refs.h"
#include "core/binding.h"
#include "core/host_io.h"
#include "core/frame_values.h"
#include "core/preprocess_values.h"
#include "engines/engine_values.h"
#include "systems/apu_start/apu.h"
#include "systems/fuel/fuel_values.h"
#include "systems/electrical/bus_feeds.h"
#include "systems/gear_brakes/autobrake_state.h"
#include "systems/electrical/electric_values.h"
#include "systems/electrical/electrical.h"
#include "systems/flight_controls/flight_control_values.h"
#include "systems/instruments/instrument_values.h"
#include "systems/switches/switch_values.h"
#include "systems/system_state.h"
#include "systems/ice_rain/window_heat_state.h"

DelayTimerBank delay_timers;
DelayTimerFlags delay_flags;
float apu_burn_elapsed;
float apu_fuel_rate;

namespace {

// Runs a timer down; true in the one frame in which it reaches 0.
bool expires(float& t) {
  if (t == 0.0f) return false;
  t -= frame_time;
  if (!(t > 0.0f)) {  // also catches a NaN armed from outside
    t = 0.0f;
    return true;
  }
  return false;
}

// The RTO self-test fails when any of its conditions breaks while it runs,
// and reports its result when the countdown ends.
void autobrake_self_test() {
  if (delay_timers.autobrake_rto_test_delay == 0.0f) return;
  const float gs_mps = mirror_f(bound::sim_flightmodel_position_groundspeed);
  const float throttle = mirror_f(bound::sim_cockpit2_engine_actuators_throttle_ratio_all);
  if (on_ground == 0 || gs_mps > 60.0f || throttle > 0.01f || !fed(Consumer::autobrake)) {
    rto_test_result = 1.0f;
  }
  if (expires(delay_timers.autobrake_rto_test_delay)) {
    autobrake::autobrake_RTO_test = 2.0f;
    if (rto_test_result == 0.0f) {
      rto_test_result = 2.0f;
    } else {
      autobrake::autobrake_disarm = 1.0f;
    }
  }
}

void set_host_yaw_damper_on() {
  host_mirror.sim_cockpit2_switches_yaw_damper_on = 1;
  host_send_i(bound::sim_cockpit2_switches_yaw_damper_on, 1);
}

// Takes the once-a-second APU burn from the tanks the feeding pumps and the
// crossfeed connect it to; what no pump gives, tank 1 gives by suction.
// Masses in kg: 0 left, 1 centre, 2 right.
void apu_fuel_burn() {
  apu_burn_elapsed += frame_time;
  if (!(apu_burn_elapsed > 1.0f)) return;
  if (mirror_i(bound::sim_cockpit_engine_APU_running) != 1) {
    apu_burn_elapsed = 0.0f;
    return;
  }
  int n_mass = 0;
  const float* mass_in = mirror_vf(bound::sim_flightmodel_weight_m_fuel, &n_mass);
  if (mass_in == nullptr || n_mass < 3) {
    apu_burn_elapsed = 0.0f;
    return;
  }
  float m[3] = {mass_in[0], mass_in[1], mass_in[2]};
  const ApuFuelPumps p = apu_fuel_pumps();
  const bool crossfeed_open = fuel::cross_feed_valve == 1.0f;  // the valve, as the engines' feed
  const bool centre = p.centre1 || (crossfeed_open && p.centre2);
  const float burn = apu_fuel_rate * apu_burn_elapsed;
  float rest = burn;
  if (centre) {
    // The centre tank keeps a floor of 99 kg per second of burn; below it
    // the rest is drawn from tank 1.
    const float floor_kg = 99.0f * apu_burn_elapsed;
    const float above = m[1] > floor_kg ? m[1] - floor_kg : 0.0f;
    const float take = rest < above ? rest : above;
    m[1] -= take;
    rest -= take;
  } else if (crossfeed_open && p.left && p.right) {
    // Both wing pumps feeding an open crossfeed share the one burn.
    m[0] -= 0.5f * rest;
    m[2] -= 0.5f * rest;
    rest = 0.0f;
  } else if (p.left) {
    m[0] -= rest;
    rest = 0.0f;
  } else if (crossfeed_open && p.right) {
    m[2] -= rest;
    rest = 0.0f;
  }
  m[0] -= rest;
  if (m[0] < 0.0f) m[0] = 0.0f;
  if (m[2] < 0.0f) m[2] = 0.0f;
  for (int i = 0; i < 3; ++i) host_mirror.sim_flightmodel_weight_m_fuel[i] = m[i];
  host_send_vf(bound::sim_flightmodel_weight_m_fuel, m, 3);
  apu_burn_elapsed = 0.0f;
}

}  // namespace

void update_annunciator_timers() {
  DelayTimerBank& t = delay_timers;
  DelayTimerFlags& f = delay_flags;
  if (expires(t.ann_delay_1)) f.ann_delayed_1 = 1.0f;
  if (expires(t.window_ovht_test_delay_l_side)) window_overheat_state[window_l_side] += 1.0f;
  if (expires(t.window_ovht_test_delay_l_fwd)) window_overheat_state[window_l_fwd] += 1.0f;
  if (expires(t.window_ovht_test_delay_r_side)) window_overheat_state[window_r_side] += 1.0f;
  if (expires(t.window_ovht_test_delay_r_fwd)) window_overheat_state[window_r_fwd] += 1.0f;
  if (expires(t.ann_delay_2)) f.ann_delayed_2 = 1.0f;
  if (expires(t.ann_delay_3)) f.ann_delayed_3 = 0.0f;
  if (expires(t.ann_delay_4)) f.ann_delayed_4 = 1.0f;
  if (expires(t.ann_delay_5)) f.ann_delayed_5 = 1.0f;
  if (expires(t.bat_discharge_low_delay)) bat_discharge_monitor.low = 1.0f;
  if (expires(t.bat_discharge_mid_delay)) bat_discharge_monitor.mid = 1.0f;
  if (expires(t.bat_discharge_high_delay)) bat_discharge_monitor.high = 1.0f;
  if (expires(t.apu_delay_1)) f.apu_flag_1 = 0.0f;
  if (expires(t.apu_delay_2)) f.apu_flag_2 = 0.0f;
  if (expires(t.apu_start_delay)) {
    if (f.apu_start_request == 1.0f) {
      issue_command_begin(HostCmd::electrical_APU_start);
      t.apu_starter_hold = 1.0f;
      f.apu_start_stage = 2.0f;
      f.apu_start_companion = 0.0f;
    } else {
      f.apu_start_stage = 0.0f;
      t.apu_starter_hold = 0.0f;
    }
  }
  if (expires(t.apu_starter_hold)) {
    issue_command_end(HostCmd::electrical_APU_start);
    issue_command_once(HostCmd::electrical_APU_on);
  }
  if (expires(t.apu_low_oil_delay) && mirror_f(bound::sim_cockpit2_electrical_APU_N1_percent) < 40.0f) {
    electrical::apu_low_oil = 1.0f;
  }
  if (expires(t.apu_run_delay)) f.apu_start_stage = 3.0f;
  autobrake_self_test();
  if (expires(t.autobrake_delay_1)) f.autobrake_flag_1 = 1.0f;
  if (expires(t.autobrake_delay_2)) f.autobrake_flag_2 = 1.0f;
  if (expires(t.yaw_damper_engage_delay)) set_host_yaw_damper_on();
  if (expires(t.capt_display_delay)) elec_bus_state.capt_displays_ready = 1.0f;
  if (expires(t.fo_display_delay)) elec_bus_state.fo_displays_ready = 1.0f;
  if (expires(t.ac_tns_bus1_pow4_delay)) electric::ac_tns_bus1_pow4 = 1.0f;
  if (expires(t.ac_tns_bus2_pow4_delay)) electric::ac_tns_bus2_pow4 = 1.0f;
  if (expires(t.fo_irs_backup_delay)) f.fo_irs_lost_flag = 1.0f;
  if (expires(t.trim_wheel_delay_1)) f.trim_wheel_flag_1 = 0.0f;
  if (expires(t.trim_wheel_delay_2)) f.trim_wheel_flag_2 = 0.0f;
  if (expires(t.fo_trim_delay_fast)) f.fo_trim_flag_fast = 0.0f;
  if (expires(t.fo_trim_delay_slow)) f.fo_trim_flag_slow = 0.0f;
  if (expires(t.capt_trim_delay)) f.capt_trim_flag = 0.0f;
  if (expires(t.tcas_test_delay)) {
    f.tcas_test_flag = 0.0f;
    f.xpndr_test_flag = 0.0f;
    for (float& v : TCAS::type_show) v = 0.0f;
    for (float& v : TCAS::type_show_fo) v = 0.0f;
  }
  if (expires(t.fuel_flow_show_delay)) cockpit::fuel_flow_used_show = 0.0f;
  if (expires(t.fuel_flow_reset_delay)) f.fuel_flow_reset_flag = 0.0f;
  if (expires(t.gpws_delay)) f.gpws_flag = 0.0f;
  if (expires(t.eng_ind_delay)) f.eng_ind_flag = 0.0f;
  if (expires(t.gpu_connect_delay)) gpu_link_state = 3;
  if (expires(t.gpu_disconnect_delay)) gpu_link_state = 0;
  if (expires(t.selcal_delay_hf)) selcal_sound_pending = 1.0f;
  if (expires(t.selcal_delay_com1)) selcal_state.call_latch[0] = 1.0f;
  if (expires(t.selcal_delay_com2)) selcal_state.call_latch[1] = 1.0f;
  if (expires(t.selcal_delay_com3)) selcal_state.call_latch[2] = 1.0f;
  if (expires(t.air_start_delay_1)) f.air_start_flag_1 = 0.0f;
  if (expires(t.air_start_delay_2)) f.air_start_flag_2 = 0.0f;
  if (expires(t.eng_page_delay_1)) f.eng_page_flag_1 = 0.0f;
  if (expires(t.eng_page_delay_2)) f.eng_page_flag_2 = 0.0f;
  if (expires(t.eng_page_delay_3)) f.eng_page_flag_3 = 0.0f;
  if (expires(t.speedbrake_anim_delay)) flt_ctrls::speedbrake_lever_anim = 0.0f;
  apu_fuel_burn();
}
