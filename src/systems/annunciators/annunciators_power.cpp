// Light equations of the electrical panel, the window heat ON lights, the
// hydraulic pump lights and the fuel boost pump LOW PRESSURE lights with the
// automatic centre pump shut-off.
//
// Reads: bus statuses, host generator, APU and ground power currents and
// failures, battery voltages, window heat switches and temperatures,
// hydraulic targets, engine pump outputs and quantities, fuel pump switches,
// tank quantities and attitude. Writes: those annunciator:: lights, the fuel pump pressure values
// and fuel_pump_lights.
#include <cmath>

#include "core/binding.h"
#include "core/frame_values.h"
#include "core/util.h"
#include "systems/annunciators/annunciator_values.h"
#include "systems/annunciators/annunciators.h"
#include "systems/electrical/bus_feeds.h"
#include "systems/electrical/electric_values.h"
#include "systems/electrical/electrical.h"
#include "systems/fire/fire_values.h"
#include "systems/fuel/fuel_pump_lights.h"
#include "systems/fuel/fuel_values.h"
#include "core/host_io.h"
#include "systems/hydraulics/hydraulic_values.h"
#include "systems/hydraulics/hydraulics.h"
#include "systems/ice_rain/ice_values.h"
#include "systems/ice_rain/window_heat_state.h"
#include "systems/instruments/instrument_values.h"
#include "systems/switches/switch_values.h"

FuelPumpLightState fuel_pump_lights;

namespace {

constexpr float kEnginePumpLowPsi = 1300.0f;  // an engine pump's LOW PRESSURE switch

struct WindowHeatLights {
  LightFilter filter[4];
};
WindowHeatLights window_heat;
LightFilter hyd_low_press[4];  // A engine, B engine, A electric, B electric

// Power-source changes of the last frame, for the power-transfer pulses.
struct PowerTransferMemory {
  bool gpu_off;      // ground power current below 1 A
  bool apu_side[2];  // APU generator current below 1 A or not selected onto the side
  int32_t gen_off[2];
};
PowerTransferMemory power_transfer_prev;
float el_pump_heat[2];
float el_pump_ovht_latch[2];

void window_heat_on_lights() {
  struct Row {
    float* light;
    const float* sw;
    const float* temp;
    const float* ovht;
  };
  const Row rows[window_count] = {
      {&annunciator::window_heat_l_side, &ice::window_heat_l_side_pos, &ice::l_side_temp,
       &annunciator::window_heat_ovht_ls},
      {&annunciator::window_heat_l_fwd, &ice::window_heat_l_fwd_pos, &ice::l_fwd_temp,
       &annunciator::window_heat_ovht_lf},
      {&annunciator::window_heat_r_side, &ice::window_heat_r_side_pos, &ice::r_side_temp,
       &annunciator::window_heat_ovht_rs},
      {&annunciator::window_heat_r_fwd, &ice::window_heat_r_fwd_pos, &ice::r_fwd_temp,
       &annunciator::window_heat_ovht_rf},
  };
  for (int i = 0; i < window_count; ++i) {
    const Row& r = rows[i];
    const float target = as01(window_heat_bus(static_cast<WindowIndex>(i)) == 1.0f && *r.sw == 1.0f);
    const float latch = light_filter_step(window_heat.filter[i], target, 8.0f);
    // The overheat light of the previous pass darkens the ON light, at any
    // brightness the panel is set to.
    const float on = (*r.ovht > 0.0f) ? 0.0f : as01(latch == 1.0f && *r.temp < 43.0f);
    *r.light = on * ann_levels.l1;
  }
}

// SOURCE OFF: the transfer bus is not powered by a source the crew selected
// for it: its engine generator, ground power, or the APU by this side's own
// APU GEN switch (the APU taken across by the other switch is not).
float source_off(int side) {
  const float gpu_amps = mirror_f(bound::sim_cockpit_electrical_gpu_amps);
  const float apu_amps = mirror_f(bound::sim_cockpit2_electrical_APU_generator_amps);
  const float apu_side = side == 0 ? electrical::apu_power_bus1 : electrical::apu_power_bus2;
  const bool apu_selected = apu_side != 0.0f && apu_gen_selection.fed_across[side] == 0.0f;
  const bool gen_on = mirror_vi_at(bound::sim_cockpit2_annunciators_generator_off, side) == 0;
  const float transfer = side == 0 ? electric::ac_tnsbus1_status : electric::ac_tnsbus2_status;
  const bool sourced = gpu_amps >= 1.0f || (apu_amps >= 1.0f && apu_selected) || gen_on;
  return as01(transfer == 0.0f || !sourced);
}

// A one-frame pulse on each side when its power source changes, so the
// lights on that side blink as the buses transfer. Quiet for the first six
// seconds after a load, while the sources settle.
void power_transfer_pulses() {
  PowerTransferMemory now{};
  now.gpu_off = mirror_f(bound::sim_cockpit_electrical_gpu_amps) < 1.0f;
  const bool apu_low = mirror_f(bound::sim_cockpit2_electrical_APU_generator_amps) < 1.0f;
  now.apu_side[0] = apu_low || electrical::apu_power_bus1 == 0.0f;
  now.apu_side[1] = apu_low || electrical::apu_power_bus2 == 0.0f;
  now.gen_off[0] = mirror_vi_at(bound::sim_cockpit2_annunciators_generator_off, 0);
  now.gen_off[1] = mirror_vi_at(bound::sim_cockpit2_annunciators_generator_off, 1);
  const PowerTransferMemory& prev = power_transfer_prev;
  if (time_since_load > 6.0f) {
    electric::lost_ac_ap_a = as01(now.gpu_off != prev.gpu_off || now.apu_side[0] != prev.apu_side[0] ||
                                  now.gen_off[0] != prev.gen_off[0]);
    electric::lost_ac_ap_b = as01(now.gpu_off != prev.gpu_off || now.apu_side[1] != prev.apu_side[1] ||
                                  now.gen_off[1] != prev.gen_off[1]);
  }
  power_transfer_prev = now;
}

void electrical_lights() {
  const float l1 = ann_levels.l1;
  const float t1 = electric::ac_tnsbus1_status;
  const float t2 = electric::ac_tnsbus2_status;
  annunciator::trans_bus_off1 = as01(t1 == 0.0f) * l1;
  annunciator::trans_bus_off2 = as01(t2 == 0.0f) * l1;
  const bool drive1 = mirror_i(bound::sim_operation_failures_rel_genera0) == kHostFailed || electric::gen1_available == 0.0f;
  const bool drive2 = mirror_i(bound::sim_operation_failures_rel_genera1) == kHostFailed || electric::gen2_available == 0.0f;
  annunciator::drive1 = as01(drive1) * l1;
  annunciator::drive2 = as01(drive2) * l1;
  // GEN OFF BUS: the generator is not powering its transfer bus, whether it
  // is off line or its bus has failed.
  annunciator::gen_off_bus1 =
      as01(mirror_vi_at(bound::sim_cockpit2_annunciators_generator_off, 0) != 0 || t1 == 0.0f) * l1;
  annunciator::gen_off_bus2 =
      as01(mirror_vi_at(bound::sim_cockpit2_annunciators_generator_off, 1) != 0 || t2 == 0.0f) * l1;
  annunciator::apu_gen_off_bus =
      as01(electrical::apu_bus_enable == 1.0f && !(mirror_f(bound::sim_cockpit2_electrical_APU_generator_amps) > 0.0f)) *
      l1;
  annunciator::source_off1x = source_off(0);
  annunciator::source_off2x = source_off(1);
  annunciator::source_off1 = annunciator::source_off1x * l1;
  annunciator::source_off2 = annunciator::source_off2x * l1;

  const float stby_volts = mirror_vf_at(bound::sim_cockpit2_electrical_battery_voltage_actual_volts, 1);
  const float stby = electric::standby_bat_pos;
  // Any of the buses the standby system keeps alive lost is the crew's cue,
  // whatever the switch: a failed bus is not announced anywhere else.
  const bool stby_bus_lost = electric::ac_stdbus_status == 0.0f || electric::dc_stdbus_status == 0.0f ||
                             electric::batbus_status == 0.0f;
  const bool stby_off = stby == 0.0f || (stby == -1.0f && stby_volts < 10.0f) ||
                        (stby == 1.0f && t1 == 0.0f && t2 == 0.0f && stby_volts < 10.0f) || stby_bus_lost;
  annunciator::standby_pwr_off = as01(stby_off) * l1;
  annunciator::bat_discharge = bat_discharge_monitor.active * l1;
  // The cart lights its own lamp, battery or not; it dims with the others.
  annunciator::ground_power_avail = as01(cockpit::gpu_available == 1.0f) * ann_levels.unpowered;

  power_transfer_pulses();

  SixPackGroup& g = ann_state.six_pack[sp_elec];
  g.slot[0] = annunciator::source_off1x != 0.0f ? 1 : 0;
  g.slot[1] = annunciator::source_off2x != 0.0f ? 1 : 0;
  g.slot[2] = t1 == 0.0f ? 1 : 0;
  g.slot[3] = t2 == 0.0f ? 1 : 0;
  g.slot[4] = bat_discharge_monitor.active != 0.0f ? 1 : 0;
  g.slot[5] = drive1 ? 1 : 0;
  g.slot[6] = drive2 ? 1 : 0;
  g.slot[8] = stby_off ? 1 : 0;  // slot 7 is the TR unit's
}

// Whether the airplane is in flight for the power monitors: the air/ground
// logic of the TR UNIT and ELEC lights.
bool power_monitor_airborne() {
  return mirror_f(bound::sim_cockpit2_gauges_indicators_radio_altimeter_height_ft_pilot) >= 10.0f;
}

// ELEC: the power monitor's ground-only fault light. It lights for any TR
// unit the TR UNIT light counts as failed on the ground, or a bus of the
// standby system lost; in flight the crew has TR UNIT and STANDBY PWR OFF.
void elec_light(bool any_tru_failed) {
  const bool standby_bus_lost = electric::ac_stdbus_status == 0.0f || electric::dc_stdbus_status == 0.0f ||
                                electric::batbus_status == 0.0f;
  const bool lit = !power_monitor_airborne() && (any_tru_failed || standby_bus_lost);
  annunciator::elec = as01(lit) * ann_levels.l1;
  ann_state.six_pack[sp_elec].slot[9] = lit ? 1 : 0;
}

// TR UNIT: a TRU counts as failed when the AC bus feeding it has power and
// it has none. In flight only TRU 1, or TRUs 2 and 3 together, light it (DC
// bus 2 keeps either of the two); on the ground any. The bus transfer switch
// changes only which bus feeds TRU 3, never the rule.
void tr_unit_light() {
  const bool t1 = electric::ac_tnsbus1_status != 0.0f;
  const bool t2 = electric::ac_tnsbus2_status != 0.0f;
  const bool tie = mirror_i(bound::sim_cockpit2_electrical_cross_tie) != 0;
  const bool tru3_fed = (tie && !t2) ? t1 : t2;
  const bool tru1_failed = t1 && electric::tru1_status == 0.0f;
  const bool tru2_failed = t2 && electric::tru2_status == 0.0f;
  const bool tru3_failed = tru3_fed && electric::tru3_status == 0.0f;
  const bool airborne = power_monitor_airborne();
  const bool lit = tru1_failed || (airborne ? (tru2_failed && tru3_failed) : (tru2_failed || tru3_failed));
  annunciator::tr_unit = as01(lit) * ann_levels.l1;
  ann_state.six_pack[sp_elec].slot[7] = lit ? 1 : 0;
  elec_light(tru1_failed || tru2_failed || tru3_failed);
}

void hydraulic_pump_lights() {
  const float l1 = ann_levels.l1;
  // An engine pump's light reads its own output, not what it is asked for:
  // a core turning too slowly for the pump (a start, a run-down) lights it.
  const float a = light_filter_step(hyd_low_press[0], as01(hyd_state.edp_press_a < kEnginePumpLowPsi), 2.0f);
  const float b = light_filter_step(hyd_low_press[1], as01(hyd_state.edp_press_b < kEnginePumpLowPsi), 2.0f);
  const float ea = light_filter_step(hyd_low_press[2], as01(hydraulic::A_press_el_trg == 0.0f), 2.0f);
  const float eb = light_filter_step(hyd_low_press[3], as01(hydraulic::B_press_el_trg == 0.0f), 2.0f);
  const float ha = fire::engine01_ext_switch_pos_arm == 1.0f ? 0.0f : a;
  const float hb = fire::engine02_ext_switch_pos_arm == 1.0f ? 0.0f : b;
  annunciator::hyd_press_a = ha * l1;
  annunciator::hyd_press_b = hb * l1;
  annunciator::hyd_el_press_a = ea * l1;
  annunciator::hyd_el_press_b = eb * l1;
  SixPackGroup& g = ann_state.six_pack[sp_hyd];
  g.slot[0] = ha == 1.0f ? 1 : 0;
  g.slot[1] = hb == 1.0f ? 1 : 0;
  g.slot[2] = ea == 1.0f ? 1 : 0;
  g.slot[3] = eb == 1.0f ? 1 : 0;

  // Electric pump overheat: heat builds while the pump runs dry. Without its
  // control power the motor is not switched on, so it cannot heat either.
  const bool ele_ok = mirror_i(bound::sim_operation_failures_rel_hydpmp_ele) != kHostFailed;
  const bool dry[2] = {
      hydraulic::hyd_A_qty < 30.0f && toggle_switch::electric_hydro_pumps1_pos == 1.0f &&
          fed(Consumer::hyd_elec_pump_a_motor) && fed(Consumer::hyd_elec_pump_a) && ele_ok,
      hydraulic::hyd_B_qty < 30.0f && toggle_switch::electric_hydro_pumps2_pos == 1.0f &&
          fed(Consumer::hyd_elec_pump_b_motor) && fed(Consumer::hyd_elec_pump_b) && ele_ok,
  };
  for (int i = 0; i < 2; ++i) {
    el_pump_heat[i] = dry[i] ? move_toward_timed(el_pump_heat[i], 120.0f, 0.0f, 120.0f, 0.5f)
                             : move_toward_timed(el_pump_heat[i], 0.0f, 0.0f, 120.0f, 1.33f);
    if (el_pump_heat[i] > 100.0f) el_pump_ovht_latch[i] = 1.0f;
    if (el_pump_heat[i] < 1.0f) el_pump_ovht_latch[i] = 0.0f;
  }
  annunciator::el_hyd_ovht_1 = el_pump_ovht_latch[0] * l1;
  annunciator::el_hyd_ovht_2 = el_pump_ovht_latch[1] * l1;
  g.slot[4] = el_pump_ovht_latch[0] == 1.0f ? 1 : 0;
  g.slot[5] = el_pump_ovht_latch[1] == 1.0f ? 1 : 0;
}

// Fuel boost pumps. A tank counts as empty before its gauge reads zero: the
// unusable fuel grows with pitch (up to 450 kg) and bank (up to 130 kg).
void fuel_pump_low_pressure() {
  FuelPumpLightState& s = fuel_pump_lights;
  s.unusable_pitch_lag = lag_toward(s.unusable_pitch_lag,
                                    clamp_range(mirror_f(bound::sim_flightmodel_position_theta), -18.0f, 18.0f),
                                    -18.0f, 18.0f, 2.0f);
  s.unusable_roll_lag = lag_toward(s.unusable_roll_lag,
                                   clamp_range(mirror_f(bound::sim_flightmodel_position_phi), -30.0f, 30.0f),
                                   -30.0f, 30.0f, 2.0f);
  float pitch_kg = 0.0f;
  if (s.unusable_pitch_lag > 8.0f) {
    pitch_kg = 450.0f * (s.unusable_pitch_lag - 8.0f) / 10.0f;
    if (pitch_kg > 450.0f) pitch_kg = 450.0f;
  }
  float bank_kg = 130.0f * std::fabs(s.unusable_roll_lag) / 35.0f;
  if (bank_kg > 130.0f) bank_kg = 130.0f;
  const float unusable = bank_kg > pitch_kg ? bank_kg : pitch_kg;
  auto non_negative = [](float v) { return v > 0.0f ? v : 0.0f; };
  // The wing tanks are mirrors: each tank's pump 2 (the forward pump, which
  // the fuel leaves first in a climb) counts all of the unusable fuel, its
  // pump 1 (aft) half of it.
  const float left_kg = mirror_vf_at(bound::sim_cockpit2_fuel_fuel_quantity, 0);
  const float q_l1 = non_negative(left_kg - 0.5f * unusable);
  const float q_l2 = non_negative(left_kg - unusable);
  const float q_ctr = non_negative(mirror_vf_at(bound::sim_cockpit2_fuel_fuel_quantity, 1) - unusable);
  const float right_kg = mirror_vf_at(bound::sim_cockpit2_fuel_fuel_quantity, 2);
  const float q_r1 = non_negative(right_kg - 0.5f * unusable);
  const float q_r2 = non_negative(right_kg - unusable);

  struct Pump {
    float* light;
    float* pressure;
    const float* sw;
    Consumer power;
    float quantity;
    int centre;  // -1 wing pump, else centre pump index
  };
  const Pump pumps[kFuelPumpCount] = {
      {&annunciator::low_fuel_press_l1, &system_::fuel_press_l1, &fuel::fuel_tank_pos_lft1, Consumer::fuel_pump_l_fwd,
       q_l1, -1},
      {&annunciator::low_fuel_press_l2, &system_::fuel_press_l2, &fuel::fuel_tank_pos_lft2, Consumer::fuel_pump_l_aft,
       q_l2, -1},
      {&annunciator::low_fuel_press_c1, &system_::fuel_press_c1, &fuel::fuel_tank_pos_ctr1, Consumer::fuel_pump_ctr_l,
       q_ctr, 0},
      {&annunciator::low_fuel_press_c2, &system_::fuel_press_c2, &fuel::fuel_tank_pos_ctr2, Consumer::fuel_pump_ctr_r,
       q_ctr, 1},
      {&annunciator::low_fuel_press_r1, &system_::fuel_press_r1, &fuel::fuel_tank_pos_rgt1, Consumer::fuel_pump_r_fwd,
       q_r1, -1},
      {&annunciator::low_fuel_press_r2, &system_::fuel_press_r2, &fuel::fuel_tank_pos_rgt2, Consumer::fuel_pump_r_aft,
       q_r2, -1},
  };
  const bool auto_option = mirror_f(bound::zuvadud_D738_ctr_fuel_pump_auto) != 0.0f;
  for (int i = 0; i < kFuelPumpCount; ++i) {
    const Pump& p = pumps[i];
    const bool empty = p.quantity == 0.0f;
    const bool sw_on = *p.sw == 1.0f;
    const bool bus_on = fed(p.power);
    *p.pressure = lag_toward(*p.pressure, empty ? 0.0f : 1.0f, 0.0f, 1.0f, 5.0f);
    const bool delivering = sw_on && bus_on && (p.centre < 0 || p.quantity > 0.0f);
    LightFilter f{s.pump_low_filter[i], s.pump_low_latch[i]};
    light_filter_step(f, delivering ? 0.0f : 1.0f, 5.0f);
    s.pump_low_filter[i] = f.value;
    s.pump_low_latch[i] = f.latch;
    int cond = 0;
    if (p.centre < 0) {
      cond = (empty || s.pump_low_latch[i] == 1.0f) ? 1 : 0;
    } else {
      const int c = p.centre;
      cond = empty ? 1 : 0;
      if ((s.pump_low_latch[i] == 1.0f || s.ctr_pump_auto_off[c] == 1) && sw_on) cond = 1;
      if (*p.sw == 0.0f) cond = 0;
    }
    s.condition[i] = cond;
    *p.light = static_cast<float>(cond) * ann_levels.l1;
    if (p.centre < 0) continue;

    const int c = p.centre;
    s.ctr_pump_low_10s[c] = 0;
    if (cond == 1) {
      if (s.ctr_pump_light_time[c] < 10.0f) s.ctr_pump_light_time[c] += frame_time;
      if (s.ctr_pump_light_time[c] >= 10.0f) s.ctr_pump_low_10s[c] = 1;
    } else {
      s.ctr_pump_light_time[c] = 0.0f;
    }
    s.ctr_pump_run_filter[c] = lag_toward(s.ctr_pump_run_filter[c],
                                          (sw_on && bus_on && s.ctr_pump_auto_off[c] == 0) ? 1.0f : 0.0f, 0.0f,
                                          1.0f, 1.5f);
    if (*p.sw == 0.0f || !auto_option) {
      s.ctr_pump_auto_off[c] = 0;
      s.ctr_pump_auto_timer[c] = 0.0f;
    } else if (s.ctr_pump_auto_timer[c] != 0.0f) {
      s.ctr_pump_auto_timer[c] -= frame_time;
      if (s.ctr_pump_auto_timer[c] <= 0.0f) {
        s.ctr_pump_auto_off[c] = 1;
        s.ctr_pump_auto_timer[c] = 0.0f;
      }
    }
    if (auto_option && cond == 1 && s.ctr_pump_auto_off[c] == 0 && s.ctr_pump_run_filter[c] == 1.0f &&
        s.ctr_pump_auto_timer[c] == 0.0f) {
      s.ctr_pump_auto_timer[c] = 16.0f;
    }
  }

  // Six-pack: wing pumps pair up unless a six-pack recall shows each alone.
  SixPackGroup& g = ann_state.six_pack[sp_fuel];
  const int32_t l1c = s.condition[fuel_pump_l1];
  const int32_t l2c = s.condition[fuel_pump_l2];
  const int32_t r1c = s.condition[fuel_pump_r1];
  const int32_t r2c = s.condition[fuel_pump_r2];
  if (ann_state.recall == 0) {
    const int32_t left = (l1c == 1 && l2c == 1) ? 1 : 0;
    const int32_t right = (r1c == 1 && r2c == 1) ? 1 : 0;
    g.slot[0] = left;
    g.slot[1] = left;
    g.slot[2] = right;
    g.slot[3] = right;
  } else {
    g.slot[0] = l1c;
    g.slot[1] = l2c;
    g.slot[2] = r1c;
    g.slot[3] = r2c;
  }
  if (l1c != 0 || l2c != 0 || r1c != 0 || r2c != 0) ann_state.recall_shows = true;
  g.slot[4] = s.ctr_pump_low_10s[0];
  g.slot[5] = s.ctr_pump_low_10s[1];
  g.slot[6] = mirror_f(bound::sim_flightmodel_weight_m_fuel_total) < 459.0f ? 1 : 0;
}

}  // namespace

void annunciators_electrical() {
  window_heat_on_lights();
  electrical_lights();
  hydraulic_pump_lights();
  fuel_pump_low_pressure();
  tr_unit_light();
}
