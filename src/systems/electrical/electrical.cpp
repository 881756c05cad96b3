// Electrical distribution, ground power and battery discharge (electrical.h).
//
// Reads: battery, standby power and cabin/utility switches, the APU generator
// selections, the host's generator, APU, ground power, cross tie, battery
// and bus voltages and currents, glideslope and autoland captures, host and
// script electric failures, the ground-power script values and gate finder.
// Writes: the electric:: bus statuses, elec_bus_status, elec_bus_state, the
// four-minute flags, "zuvadud/D738/gpu_available", gpu_link_state, the host
// battery, inverter, generator, avionics and ground power switches.
#include "systems/electrical/electrical.h"

#include "core/failure_entries.h"
#include "core/failure_tables.h"
#include "core/util.h"
#include "core/binding.h"
#include "core/frame_values.h"
#include "core/preprocess_values.h"
#include "systems/delay_timers.h"
#include "systems/electrical/bus_feeds.h"
#include "systems/electrical/electric_values.h"
#include "core/host_io.h"
#include "systems/instruments/instrument_values.h"
#include "systems/switches/switch_values.h"
#include "systems/system_state.h"

ElecBusStatus elec_bus_status;
ApuGenSelection apu_gen_selection;
int32_t gpu_link_state;
char nearest_gate_airport[8];
float nearest_gate_gpu;
BatteryDischargeState bat_discharge_monitor;

namespace {


int32_t* battery_on() { return host_mirror.sim_cockpit2_electrical_battery_on; }
int32_t* generator_on() { return host_mirror.sim_cockpit2_electrical_generator_on; }
int32_t* inverter_on() { return host_mirror.sim_cockpit2_electrical_inverter_on; }

void set_battery_on(int index, int32_t v) {
  host_set_vi(bound::sim_cockpit2_electrical_battery_on, battery_on(), 3, index, v);
}
void set_inverter_on(int index, int32_t v) {
  host_set_vi(bound::sim_cockpit2_electrical_inverter_on, inverter_on(), 2, index, v);
}

// The battery switch removes only what the battery feeds: the engine
// generators' controls run on their own supply and stay on line. The APU's
// control is on the battery bus, so its generator goes with it.
void battery_switch_to_host() {
  if (electric::battery_pos == 0.0f) {
    set_battery_on(1, 0);
    if (mirror_i(bound::sim_cockpit_electrical_generator_apu_on) == 1) {
      host_set_i(bound::sim_cockpit_electrical_generator_apu_on, 0);
    }
    host_set_i(bound::sim_cockpit2_electrical_APU_generator_on, 0);
  } else {
    set_battery_on(1, 1);
    set_inverter_on(0, 1);
  }
}

// The static inverter runs off the battery bus, the DC standby bus off the
// hot battery bus, while the standby power switch has them on.
void standby_power(float dc_source1) {
  const float hot = electric::hot_batbus_status;
  auto inverter = [] { return static_cast<float>(inverter_on()[1]) * electric::batbus_status; };
  float ac_src = 0.0f;
  float dc_src = 0.0f;
  const float pos = electric::standby_bat_pos;
  const bool any_ac = electric::ac_tnsbus1_status != 0.0f || electric::ac_tnsbus2_status != 0.0f;
  if (pos == -1.0f) {
    set_battery_on(2, 1);
    set_inverter_on(1, 1);
    ac_src = inverter();
    dc_src = hot;
  } else if (pos == 1.0f && (any_ac || electric::battery_pos != 0.0f)) {
    set_battery_on(2, 1);
    set_inverter_on(1, 1);
    dc_src = dc_source1 != 0.0f ? dc_source1 : hot;
    ac_src = electric::ac_tnsbus1_status != 0.0f ? electric::ac_tnsbus1_status : inverter();
  } else {
    set_battery_on(2, 0);
    set_inverter_on(1, 0);
  }
  electric::dc_stdbus_status = elec_fail_ok(fail_entry::elec_dc_standby_bus) * dc_src;
  electric::ac_stdbus_status = elec_fail_ok(fail_entry::elec_ac_standby_bus) * ac_src;
}

// Each side's displays live on their own buses, neither of them the battery
// bus nor behind the battery switch: the captain's on the DC standby bus
// (which the battery switch powers only on the battery alone), the first
// officer's on DC bus 2.
void display_power_up() {
  DelayTimerBank& t = delay_timers;
  ElecBusState& d = elec_bus_state;
  if (!fed(Consumer::capt_displays)) {
    d.capt_displays_ready = 0.0f;
    t.capt_display_delay = 0.0f;
  } else if (d.capt_displays_ready == 0.0f && t.capt_display_delay == 0.0f) {
    t.capt_display_delay = 95.0f;  // cold start on the standby bus
  }
  // With DC bus 1 up the captain's side finishes like the first officer's.
  if (fed(Consumer::capt_display_quick_start) && t.capt_display_delay > 6.0f) t.capt_display_delay = 6.0f;
  if (!fed(Consumer::fo_displays)) {
    d.fo_displays_ready = 0.0f;
    t.fo_display_delay = 0.0f;
  } else if ((t.fo_display_delay == 0.0f && d.fo_displays_ready == 0.0f) || t.fo_display_delay > 6.0f) {
    t.fo_display_delay = 6.0f;
  }
}

void standby_display_alignment() {
  ElecBusState& d = elec_bus_state;
  if (!fed(Consumer::standby_display_reset)) {
    d.isfd_countdown = 96.0f;
    d.isfd_ready = 0.0f;
  }
  if (d.isfd_ready == 0.0f && electric::dir_batbus_status != 0.0f) {
    d.isfd_countdown -= frame_time;
    if (d.isfd_countdown < 0.0f) {
      d.isfd_ready = 1.0f;
      d.isfd_countdown = 0.0f;
    }
  }
}

void four_minute_flag(float& flag, float& timer, float bus) {
  if (flag == 0.0f) {
    if (bus == 1.0f) {
      if (timer == 0.0f) timer = 240.0f;
    } else {
      timer = 0.0f;
    }
  } else if (bus == 0.0f) {
    timer = 0.0f;
    flag = 0.0f;
  }
}

}  // namespace

float elec_fail_ok(fail_entry::Electric entry) {
  // Only 1 is failed: every value above it is armed (2 at random, 3 to 8
  // for a flight condition) and the bus works until the failure comes.
  return as01(!entry_failed(entry));
}

void elec_buses_update() {
  battery_switch_to_host();

  // AC transfer buses: engine generator, ground power, or the APU on its side.
  const bool apu_gen = mirror_i(bound::sim_cockpit_electrical_generator_apu_on) != 0;
  const bool gpu = mirror_i(bound::sim_cockpit_electrical_gpu_on) != 0;
  if (electrical::apu_power_bus1 == 0.0f) apu_gen_selection.fed_across[0] = 0.0f;
  if (electrical::apu_power_bus2 == 0.0f) apu_gen_selection.fed_across[1] = 0.0f;
  const bool apu1 = apu_gen && electrical::apu_power_bus1 != 0.0f;
  const bool apu2 = apu_gen && electrical::apu_power_bus2 != 0.0f;
  float t1 = as01(generator_on()[0] != 0 || gpu || apu1) * elec_fail_ok(fail_entry::elec_transfer_bus_1);
  float t2 = as01(generator_on()[1] != 0 || gpu || apu2) * elec_fail_ok(fail_entry::elec_transfer_bus_2);

  // Bus transfer.
  const int32_t host_tie = mirror_i(bound::sim_cockpit2_electrical_cross_tie);
  float ac_tie = 0.0f;
  float dc_tie = 0.0f;
  if (host_tie == 1) {
    if (t1 == 0.0f && t2 == 1.0f) {
      t1 = 1.0f;
      ac_tie = elec_fail_ok(fail_entry::elec_transfer_bus_1);
    } else if (t1 == 1.0f && t2 == 0.0f) {
      t2 = 1.0f;
      ac_tie = elec_fail_ok(fail_entry::elec_transfer_bus_2);
    }
    t1 *= elec_fail_ok(fail_entry::elec_transfer_bus_1);
    t2 *= elec_fail_ok(fail_entry::elec_transfer_bus_2);
    // The DC tie opens for an approach with glideslope, GLS path or autoland.
    const bool approach = mirror_i(bound::sim_cockpit2_autopilot_glideslope_status) == 2 ||
                          mirror_f(bound::zuvadud_D738_autopilot_autoland_status) == 1.0f ||
                          mirror_f(bound::zuvadud_D738_nav_gls_gs_status) == 2.0f;
    dc_tie = as01((t1 != 0.0f || t2 != 0.0f) && !approach);
  }
  electric::ac_tnsbus1_status = t1;
  electric::ac_tnsbus2_status = t2;
  electric::ac_cross_tie = ac_tie;
  electric::dc_cross_tie = dc_tie;

  // Ground service buses.
  const float service1_ok = elec_fail_ok(fail_entry::elec_ground_service_bus_1);
  const float service2_ok = elec_fail_ok(fail_entry::elec_ground_service_bus_2);
  electric::ac_gnd_service_bus1 = gpu ? service1_ok : service1_ok * t1;
  electric::ac_gnd_service_bus2 = gpu ? service2_ok : service2_ok * t2;

  // Main buses.
  if (toggle_switch::cab_util_pos == 0.0f) {
    electric::main_bus1 = 0.0f;
    electric::main_bus2 = 0.0f;
    electric::main_bus = 0.0f;
  } else {
    electric::main_bus1 = elec_fail_ok(fail_entry::elec_main_bus_1) * t1;
    electric::main_bus2 = elec_fail_ok(fail_entry::elec_main_bus_2) * t2;
    electric::main_bus = electric::main_bus1 * electric::main_bus2;
  }

  // Transformer-rectifiers; TRU 3 falls back to side 1 through the transfer.
  const bool tru3_from_side1 = host_tie != 0 && t2 == 0.0f;
  electric::tru1_status = elec_fail_ok(fail_entry::elec_tru_1) * t1;
  electric::tru2_status = elec_fail_ok(fail_entry::elec_tru_2) * t2;
  electric::tru3_status = elec_fail_ok(fail_entry::elec_tru_3) * (tru3_from_side1 ? t1 : t2);
  const bool tru1 = electric::tru1_status != 0.0f;
  const bool tru2 = electric::tru2_status != 0.0f;
  const bool tru3 = electric::tru3_status != 0.0f;

  // Battery buses. TRU 3 feeds the battery bus and the direct battery bus
  // whenever it has power; the battery, through the hot battery bus, takes
  // over only when TRU 3 is lost. So a dead battery or a failed hot battery
  // bus costs neither bus (nor the lamps and warnings on them) in flight.
  const float bat_volts = mirror_vf_at(bound::sim_cockpit2_electrical_battery_voltage_actual_volts, 0);
  electric::hot_batbus_status = as01(elec_fail_ok(fail_entry::elec_hot_battery_bus) != 0.0f && bat_volts > 10.0f);
  const bool hot = electric::hot_batbus_status != 0.0f;
  // STANDBY POWER at BAT puts the battery bus on the battery, the battery
  // switch on or off.
  const bool batbus_switched = electric::battery_pos == 1.0f || electric::standby_bat_pos == -1.0f;
  electric::batbus_status = as01(elec_fail_ok(fail_entry::elec_battery_bus) != 0.0f && batbus_switched && (tru3 || hot));
  electric::dir_batbus_status =
      as01(elec_fail_ok(fail_entry::elec_direct_battery_bus) != 0.0f &&
           (tru3 || (hot && (electric::battery_pos == 1.0f || electric::standby_bat_pos == -1.0f))));

  // DC buses 1 and 2.
  const float v0 = mirror_vf_at(bound::sim_cockpit2_electrical_bus_volts, 0);
  const float v1 = mirror_vf_at(bound::sim_cockpit2_electrical_bus_volts, 1);
  float src1 = 0.0f;
  float src2 = 0.0f;
  float volts1 = 0.0f;
  float volts2 = 0.0f;
  if (dc_tie == 0.0f) {
    src1 = as01(tru1);
    volts1 = v0;
    src2 = as01(tru2 || tru3);
    volts2 = (tru3 && host_tie != 0 && t2 == 0.0f) ? v0 : v1;
  } else if (tru1 || tru2 || tru3) {
    src1 = 1.0f;
    src2 = 1.0f;
    volts1 = v0 > v1 ? v0 : v1;
    volts2 = volts1;
  }
  electric::dc_bus1_status = as01(elec_fail_ok(fail_entry::elec_dc_bus_1) != 0.0f && src1 != 0.0f);
  electric::dc_bus2_status = as01(elec_fail_ok(fail_entry::elec_dc_bus_2) != 0.0f && src2 != 0.0f);
  elec_bus_status.dc_bus1_volts = volts1 * electric::dc_bus1_status;
  elec_bus_status.dc_bus2_volts = volts2 * electric::dc_bus2_status;

  elec_bus_status.dir_batbus_copy = electric::dir_batbus_status;

  // The host's "bus 1" failure takes side 1's transfer and DC buses, as its
  // "bus 2" failure takes side 2's: the battery and standby buses belong to
  // neither, and the standby system takes over as after any loss of AC
  // transfer bus 1 and DC bus 1.
  const bool host_bus1_failed = mirror_i(bound::sim_operation_failures_rel_esys) == kHostFailed;
  if (host_bus1_failed) {
    electric::ac_tnsbus1_status = 0.0f;
    electric::dc_bus1_status = 0.0f;
    src1 = 0.0f;
  }
  standby_power(src1);
  const float* bat_indicated = host_mirror.sim_cockpit2_electrical_battery_voltage_indicated_volts;
  const float dc_stdbus_volts = src1 != 0.0f && electric::standby_bat_pos == 1.0f ? volts1 : bat_indicated[2];
  const float tru3_volts = (host_tie != 0 && t2 == 0.0f) ? v0 : v1;
  const float batbus_volts = tru3 ? tru3_volts : bat_indicated[electric::battery_pos == 1.0f ? 1 : 2];

  electric::cross_tie = battery_on()[1] != 0 ? ac_tie : 0.0f;

  // The host's "bus 2" failure zeroes its side after the fact; what was
  // already derived from those buses this frame stays as computed, as for
  // "bus 1" above.
  if (mirror_i(bound::sim_operation_failures_rel_esys2) == kHostFailed) {
    electric::ac_tnsbus2_status = 0.0f;
    electric::dc_bus2_status = 0.0f;
  }

  elec_bus_status.dc_stdbus_volts = electric::dc_stdbus_status * dc_stdbus_volts;
  elec_bus_status.batbus_volts = electric::batbus_status * batbus_volts;

  display_power_up();
  standby_display_alignment();
  four_minute_flag(electric::ac_tns_bus1_pow4, delay_timers.ac_tns_bus1_pow4_delay, electric::ac_tnsbus1_status);
  four_minute_flag(electric::ac_tns_bus2_pow4, delay_timers.ac_tns_bus2_pow4_delay, electric::ac_tnsbus2_status);
  // The aircraft has no avionics master: its radios and receivers hang on
  // the transfer, DC and standby buses, so the host's avionics power goes
  // only when all of those are dark.
  const bool radio_buses = electric::ac_tnsbus1_status != 0.0f || electric::ac_tnsbus2_status != 0.0f ||
                           electric::dc_bus1_status != 0.0f || electric::dc_bus2_status != 0.0f ||
                           electric::ac_stdbus_status != 0.0f || electric::dc_stdbus_status != 0.0f;
  host_set_i(bound::sim_cockpit_electrical_avionics_on, radio_buses ? 1 : 0);
  display::isfd_init_time = elec_bus_state.isfd_countdown;
}

void update_ground_power() {
  // The GPU object is hidden on request or once airborne (unless the scripts
  // keep it for testing).
  bool hide_request = false;
  if (read_now_f(bound::zuvadud_D738_gpu_test) != 0.0f) {
    script_set_f(bound::zuvadud_D738_gpu_test, 0.0f);
    hide_request = true;
  } else {
    hide_request = read_now_f(bound::zuvadud_D738_fms_gpu_test_enable) == 0.0f && on_ground != 1;
  }
  float gpu_hide = read_now_f(bound::zuvadud_D738_gpu_hide);
  if (hide_request && gpu_hide == 0.0f) {
    script_set_f(bound::zuvadud_D738_gpu_hide, 1.0f);
    gpu_hide = 1.0f;
  }

  const int32_t jetway =
      read_now_f(bound::zuvadud_D738_sam_enable) != 0.0f ? trunc_to_i32(cockpit::jetway_power) : -1;

  int decided = -1;  // -1: the gate connection decides
  if (on_ground != 1) {
    decided = 0;
  } else if (gpu_hide == 0.0f) {
    decided = 1;
  } else if (jetway == 0) {
    decided = 0;
  } else if (jetway == 1) {
    decided = 1;
  } else if (nearest_gate_airport[0] == '\0' || nearest_gate_gpu == 0.0f) {
    decided = 0;
  }
  if (decided >= 0) {
    gpu_link_state = 0;
    delay_timers.gpu_connect_delay = 0.0f;
    delay_timers.gpu_disconnect_delay = 0.0f;
    cockpit::gpu_available = static_cast<float>(decided);
    if (decided == 0) host_set_i(bound::sim_cockpit_electrical_gpu_on, 0);
    return;
  }

  const bool available = gpu_link_state == 1 || gpu_link_state == 3;
  cockpit::gpu_available = available ? 1.0f : 0.0f;
  if (!available) host_set_i(bound::sim_cockpit_electrical_gpu_on, 0);

  // The ramp plugs the stand in with engine 2 stopped (with the scripts'
  // cable, not under a beacon), and removes it on the crew's word: while
  // GRD POWER carries a transfer bus it stays, whatever the beacon or engine
  // 2 do, and goes once it is switched off or both buses are on generators.
  bool stand_clear = mirror_vi_at(bound::sim_flightmodel2_engines_engine_is_burning_fuel, 1) == 0;
  if (stand_clear && read_now_f(bound::zuvadud_D738_gp_cable_connect) != 0.0f) {
    stand_clear = mirror_i(bound::sim_cockpit2_switches_beacon_on) == 0 || electric::ac_tnsbus1_status == 0.0f;
  }
  const bool feeding = mirror_i(bound::sim_cockpit_electrical_gpu_on) != 0;
  const bool connect =
      mirror_f(bound::sim_cockpit2_controls_parking_brake_ratio) == 1.0f && (feeding || stand_clear);
  if (connect && gpu_link_state < 2) {
    delay_timers.gpu_disconnect_delay = 0.0f;
    delay_timers.gpu_connect_delay = 15.0f;
    gpu_link_state = 2;
  } else if (!connect && gpu_link_state > 1) {
    delay_timers.gpu_connect_delay = 0.0f;
    delay_timers.gpu_disconnect_delay = 15.0f;
    gpu_link_state = 1;
  }
}

void battery_discharge_monitor() {
  float amps = mirror_vf_at(bound::sim_cockpit2_electrical_battery_amps, 1) +
               mirror_vf_at(bound::sim_cockpit2_electrical_battery_amps, 2);
  if (mirror_i(bound::sim_cockpit2_electrical_cross_tie) != 0) {
    amps += mirror_vf_at(bound::sim_cockpit2_electrical_battery_amps, 0);
  }
  DelayTimerBank& t = delay_timers;
  if (amps > -5.0f) {
    bat_discharge_monitor.low = 0.0f;
    bat_discharge_monitor.mid = 0.0f;
    bat_discharge_monitor.high = 0.0f;
    t.bat_discharge_low_delay = 0.0f;
    t.bat_discharge_mid_delay = 0.0f;
    t.bat_discharge_high_delay = 0.0f;
  } else if (amps > -15.0f) {
    if (t.bat_discharge_low_delay == 0.0f) t.bat_discharge_low_delay = 95.0f;
  } else if (amps > -100.0f) {
    if (t.bat_discharge_mid_delay == 0.0f) t.bat_discharge_mid_delay = 3.5f;
  } else {
    if (t.bat_discharge_high_delay == 0.0f) t.bat_discharge_high_delay = 2.0f;
  }
  if (amps > -15.0f) {
    bat_discharge_monitor.mid = 0.0f;
    bat_discharge_monitor.high = 0.0f;
  }
  if (amps > -100.0f) bat_discharge_monitor.high = 0.0f;
  BatteryDischargeState& m = bat_discharge_monitor;
  m.active = as01(m.low == 1.0f || m.mid == 1.0f || m.high == 1.0f);
}
