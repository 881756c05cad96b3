// Bleed air: engine 5th and 9th stage pressures, high-stage valves and
// pressure-regulating shut-off valves, bleed temperature and precoolers, the
// APU and ground-air supplies, consumer demand, duct pressures, packs and the
// isolation valve, the DUAL BLEED light and the host's bleed configuration.
// Runs right after the bus model so valve conditions see this frame's buses.
// Writes "sim/cockpit2/pressurization/actuators/bleed_air_mode" on change and,
// on hosts that have them, the "sim/cockpit2/bleedair/actuators/" values.
#include "systems/air/pneumatics.h"

#include <algorithm>
#include <cmath>

#include "core/failure_entries.h"
#include "core/failure_tables.h"
#include "core/binding.h"
#include "core/frame_values.h"
#include "core/preprocess_values.h"
#include "core/util.h"
#include "engines/engine_values.h"
#include "systems/air/air_values.h"
#include "systems/aircraft_systems.h"
#include "systems/annunciators/annunciator_values.h"
#include "systems/annunciators/annunciators_panels.h"
#include "systems/apu_start/apu.h"
#include "systems/delay_timers.h"
#include "systems/electrical/bus_feeds.h"
#include "systems/electrical/electric_values.h"
#include "systems/fire/fire_values.h"
#include "core/host_io.h"
#include "systems/instruments/instrument_values.h"
#include "systems/switches/switch_values.h"
#include "systems/system_state.h"
#include "systems/systems_step_outputs.h"
#include "systems/systems_steps.h"

PneumaticsState pneumatics = {{}, {}, 0.0f, 0.0f, 0.0f, 1.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 1.0f, 0, {}};

namespace {

constexpr float kBleedSetpoint = 8.0f;  // psi a bleed valve needs to regulate
constexpr float kDuctRegulated = 42.0f; // psi the PRSOV holds its duct at
constexpr float kHighStageMax = 32.0f;  // psi the high stage tops the 5th stage up to
constexpr float kPrecoolerTarget = 214.0f;  // deg C
// Precooler capacity. It is not derated with altitude: with less capacity up
// high a healthy precooler fed by the high stage could not keep the air under
// the overtemperature trip once wing and engine anti-ice draw on it at cruise.
// It grows with the fan air that cools it, from idle to holding power: one
// engine above idle then carries a pack and both wings through the isolation
// valve without tripping.
constexpr float kPrecoolerCapacity = 9500.0f;
constexpr float kPrecoolerCapacityFanN1 = 45.0f;      // % N1: the fan adds nothing below
constexpr float kPrecoolerCapacityFull = 11500.0f;
constexpr float kPrecoolerCapacityFullN1 = 60.0f;     // % N1: and nothing more above
constexpr float kPsiToPa = 6894.75729f;
constexpr float kPackLoad = 4.0f;      // a pack's demand on its duct at AUTO
constexpr float kPackHighLoad = 6.0f;  // and at HIGH

// Stage pressure schedule: the N1 band in which a stage builds its pressure,
// by pressure altitude (ft); held beyond the ends.
struct StageSchedule {
  float alt_ft[6];
  float lo[6];
  float hi[6];
  float gain_psi;
};
constexpr StageSchedule kStage5 = {{0.0f, 10000.0f, 22000.0f, 31000.0f, 37000.0f, 41000.0f},
                                   {24.0f, 28.0f, 40.0f, 45.0f, 58.0f, 63.0f},
                                   {54.0f, 60.0f, 70.0f, 76.0f, 82.0f, 89.0f},
                                   42.0f};
// The high stage's band sits low enough up high that flight idle, whose N1
// rises far less with altitude than the 5th stage's band, still gives about
// 27 psi before the draw: the ducts read the type's 18 to 25 psi in an idle
// descent at any cruise level. Held open there the precooler still has the
// capacity for that flow.
constexpr StageSchedule kStage9 = {{0.0f, 10000.0f, 22000.0f, 31000.0f, 37000.0f, 41000.0f},
                                   {9.0f, 13.0f, 16.0f, 19.0f, 21.0f, 22.0f},
                                   {25.0f, 33.0f, 36.0f, 39.0f, 41.0f, 42.0f},
                                   32.0f};

float table(const float* x, const float* y, float v) {
  if (!(v > x[0])) return y[0];
  for (int i = 1; i < 6; ++i) {
    if (v <= x[i]) return interpolate_clamped(x[i - 1], y[i - 1], x[i], y[i], v);
  }
  return y[5];
}

float stage_pressure(const StageSchedule& s, float altitude_ft, float n1) {
  const float lo = table(s.alt_ft, s.lo, altitude_ft);
  const float hi = table(s.alt_ft, s.hi, altitude_ft);
  if (!(n1 > lo)) return 0.0f;
  return s.gain_psi * (n1 - lo) / (hi - lo);
}

float safe_div(float a, float b) { return b != 0.0f ? a / b : 0.0f; }

// Moves a valve toward its command unless its failure entry holds it.
void drive_valve(float& valve, float target, float rate, fail_entry::Pressurisation held_by) {
  if (entry_failed(held_by)) return;
  valve = lag_toward(valve, target, 0.0f, 1.0f, rate);
}

struct EngineBleed {
  float* p5;
  float* p9;
  float* contribution;
  float* high_stage_valve;
  float* prsov;
  float* precooler;
  float n1;
  float bleed_switch;
  float fire_armed;
  float starter_valve;
  float dc_bus;
  float duct;
  fail_entry::Pressurisation fail_high, fail_prsov, fail_precooler;
  // The high-stage and precooler valves are driven to their positions, not
  // sprung: without their power nothing moves them and they stay where
  // they stand.
  bool high_stage_fed, precooler_fed;
};

void engine_stages(int n, EngineBleed& e, float altitude_ft) {
  PneumaticsState& s = pneumatics;
  const float demand = s.bleed_demand_psi[n];
  // The stages are the core's: a core that is not burning fuel, windmilling
  // or run down, compresses nothing the ducts can use, however fast the air
  // turns the fan.
  const bool burning = mirror_vi_at(bound::sim_flightmodel_engine_ENGN_running, n) != 0;
  const float p5 = burning ? std::max(0.0f, bleed_pressure_a(altitude_ft, e.n1) - demand) : 0.0f;
  const float p9 = burning ? std::max(0.0f, bleed_pressure_b(altitude_ft, e.n1) - demand) : 0.0f;
  *e.p5 = p5;
  *e.p9 = p9;

  // High stage: tops the 5th stage up to 32 psi when it alone falls short.
  const float old_high = *e.high_stage_valve;
  float target = 0.0f;
  if (p9 >= kBleedSetpoint - demand && p9 < 110.0f && p5 < kHighStageMax && p9 != 0.0f) {
    const float x = (kHighStageMax - old_high * p9) / p9 + old_high;
    target = x >= 0.0f ? std::min(1.0f, x) : 0.0f;
  }
  if (e.high_stage_fed) drive_valve(*e.high_stage_valve, target, 1.0f, e.fail_high);
  const float supply = std::max(p5, old_high * p9);
  s.engine_supply_psi[n] = supply;

  // PRSOV: regulates its duct toward 42 psi.
  target = 0.0f;
  const bool tripped = overhead_lights.bleed_trip_latch[n] != 0.0f;
  if (e.bleed_switch > 0.95f && e.fire_armed == 0.0f && e.starter_valve == 0.0f && e.dc_bus != 0.0f && !tripped &&
      supply >= kBleedSetpoint - demand && supply != 0.0f) {
    const float x = (kDuctRegulated - e.duct) / supply + *e.prsov;
    target = x >= 0.0f ? std::min(1.0f, x) : 0.0f;
  }
  drive_valve(*e.prsov, target, 2.0f, e.fail_prsov);

  // Bleed temperature and the precooler that holds it at 214 deg C.
  const float k = interpolate_clamped(kPrecoolerCapacityFanN1, kPrecoolerCapacity, kPrecoolerCapacityFullN1,
                                      kPrecoolerCapacityFull, e.n1);
  const float q = std::sqrt(std::max(0.0f, (supply + demand) * kPsiToPa) / 0.601f) * 0.0314f;
  const float outside = mirror_f(bound::sim_cockpit2_temperature_outside_air_temp_degc);
  float ti;
  float t;
  if (e.n1 <= 15.0f) {
    ti = outside;
    t = 0.04f;
  } else {
    t = 0.45f;
    ti = p5 < kHighStageMax ? 580.0f : interpolate_clamped(0.0f, 340.0f, 1.0f, 580.0f, *e.high_stage_valve);
  }
  float& temp = systems_memory.bleed_temp_degc[n];
  // With nothing flowing (an idling or windmilling engine whose stages cannot
  // make the setpoint) no compressor air reaches the sensor: it cools to the
  // outside air rather than heating to the stage's temperature.
  const float temp_target = q != 0.0f ? ti - *e.precooler * k / (q * 1.209212f) : outside;
  temp = move_toward_timed(temp, temp_target, -35.0f, 350.0f, t);
  bleed_duct_value[n] = temp;
  float pre_target = 1.0f;
  if (supply >= kBleedSetpoint - demand) {
    pre_target = clamp_range((ti - kPrecoolerTarget) * q * 1.209212f / k, 0.0f, 1.0f);
  }
  if (e.precooler_fed) drive_valve(*e.precooler, pre_target, 2.0f, e.fail_precooler);
}

// The APU's load control holds its duct at no more than 41 psi with nothing
// drawn, and like any regulator lets it sag a little with the flow through
// it, so even one pack's draw shows on the gauge; where the APU itself gives
// less, the duct reads what it gives under the air drawn from it, falling
// further as packs, a HIGH pack flow or a starter draw on it.
constexpr float kApuRegulatedPsi = 41.0f;
constexpr float kApuRegulationSag = 0.25f;  // psi of duct per psi of demand

void apu_regulation() {
  PneumaticsState& s = pneumatics;
  s.apu_reg_factor = ramp_toward(s.apu_reg_factor, 1.0f, 0.0f, 1.0f, 0.2f);
  const float held = kApuRegulatedPsi - kApuRegulationSag * std::max(0.0f, s.apu_bleed_demand_psi);
  air::apu_psi = std::max(0.0f, std::min(held, s.apu_reg_factor * s.apu_supply_psi));
}

// Consumer demand on each source, for the next frame's pressures.
void consumer_demand(float iso) {
  PneumaticsState& s = pneumatics;
  const float wing_l = clamp01(system_::wing_anti_ice_valve[0]);
  const float wing_r = clamp01(system_::wing_anti_ice_valve[1]);
  const float sv1 = clamp01(air::engine1_starter_valve);
  const float sv2 = clamp01(air::engine2_starter_valve);
  // A pack at HIGH takes more air than at AUTO.
  const float pack_l = (air::l_pack_pos == 2.0f ? kPackHighLoad : kPackLoad) * clamp01(air::l_pack_bleed_valve_pos);
  const float pack_r = (air::r_pack_pos == 2.0f ? kPackHighLoad : kPackLoad) * clamp01(air::r_pack_bleed_valve_pos);
  const float load_l = pack_l + 8.0f * wing_l + 10.0f * sv1;
  const float load_r = pack_r + 8.0f * wing_r + 10.0f * sv2;
  const float e1 = air::engine1_psi;
  const float apu = clamp01(air::apu_bleed_valve_pos) * air::apu_psi;
  const float e2 = air::engine2_psi;
  const float gnd = s.ground_air_psi;
  const float side_l = e1 + apu;
  const float side_r = e2 + gnd;
  const float all = side_l + side_r;
  auto share = [&](float p, float side_sum, float side_load) {
    const float own = safe_div(p, side_sum) * side_load;
    const float total = safe_div(p, all) * (load_l + load_r);
    return own + (total - own) * iso;
  };
  s.bleed_demand_psi[0] = share(e1, side_l, load_l) + static_cast<float>(host_mirror.sim_cockpit2_ice_ice_inlet_heat_on_per_engine[0]);
  s.bleed_demand_psi[1] = share(e2, side_r, load_r) + static_cast<float>(host_mirror.sim_cockpit2_ice_ice_inlet_heat_on_per_engine[1]);
  s.apu_bleed_demand_psi = 5.0f * sv1 + iso * 5.0f * sv2 + 1.5f * share(apu, side_l, load_l);
}

void host_bleed_mode() {
  PneumaticsState& s = pneumatics;
  const bool b1 = toggle_switch::bleed_air_1_pos != 0.0f;
  const bool b2 = toggle_switch::bleed_air_2_pos != 0.0f;
  const bool a = air::apu_bleed_valve_pos > 0.05f && toggle_switch::bleed_air_apu_pos == 1.0f;
  const bool prio = s.apu_bleed_priority != 0.0f;
  int32_t mode = 0;
  float dual = 0.0f;
  if (!a) {
    mode = b1 ? (b2 ? 2 : 1) : (b2 ? 3 : 0);
  } else if (!b1 && !b2) {
    mode = 4;
  } else if (b1 && !b2) {
    mode = prio ? 5 : 1;
    dual = 1.0f;
  } else if (!b1) {
    const bool regulating = s.apu_reg_factor > 0.1f;
    mode = (!prio && regulating) ? 3 : 5;
    // Engine 2 meets the APU's air only through the isolation valve: closed,
    // each feeds its own duct (the set-up after an engine 1 bleed trip).
    dual = (regulating && air::isolation_bleed_valve_pos > 0.05f) ? 1.0f : 0.0f;
  } else {
    mode = prio ? 5 : 2;
    dual = 1.0f;
  }
  s.dual_bleed = dual;
  s.bleed_mode = mode;
  host_set_i(bound::sim_cockpit2_pressurization_actuators_bleed_air_mode, mode);
}

}  // namespace

float bleed_pressure_a(float altitude_ft, float n1_pct) { return stage_pressure(kStage5, altitude_ft, n1_pct); }
float bleed_pressure_b(float altitude_ft, float n1_pct) { return stage_pressure(kStage9, altitude_ft, n1_pct); }

void update_pneumatics() {
  PneumaticsState& s = pneumatics;
  s.apu_supply_psi = apu_bleed_supply();

  const float h = static_pressure_altitude_ft;
  EngineBleed e1 = {&air::engine1_5th_psi, &air::engine1_9th_psi, &air::engine1_psi, &air::engine1_9th_valve,
                    &air::engine1_bleed_valve_pos, &air::eng1_precooler_valve_pos, engine::indicators_N1_percent_1,
                    toggle_switch::bleed_air_1_pos, fire::engine01_ext_switch_pos_arm, air::engine1_starter_valve,
                    fed01(Consumer::engine1_bleed_valve), pneumatics.duct_psi[0], fail_entry::press_high_stage_valve_1,
                    fail_entry::press_bleed_valve_1, fail_entry::press_precooler_valve_1,
                    fed(Consumer::engine1_high_stage_valve), fed(Consumer::engine1_precooler_valve)};
  EngineBleed e2 = {&air::engine2_5th_psi, &air::engine2_9th_psi, &air::engine2_psi, &air::engine2_9th_valve,
                    &air::engine2_bleed_valve_pos, &air::eng2_precooler_valve_pos, engine::indicators_N1_percent_2,
                    toggle_switch::bleed_air_2_pos, fire::engine02_ext_switch_pos_arm, air::engine2_starter_valve,
                    fed01(Consumer::engine2_bleed_valve), pneumatics.duct_psi[1], fail_entry::press_high_stage_valve_2,
                    fail_entry::press_bleed_valve_2, fail_entry::press_precooler_valve_2,
                    fed(Consumer::engine2_high_stage_valve), fed(Consumer::engine2_precooler_valve)};
  engine_stages(0, e1, h);
  engine_stages(1, e2, h);

  // Ground air cart and the APU's own regulation.
  if (mirror_f(bound::zuvadud_D738_engine_engine_air_start) == 1.0f) {
    s.ground_air_psi = ramp_toward(s.ground_air_psi, 48.0f, 0.0f, 48.0f, 6.0f);
  } else {
    s.ground_air_psi = 0.0f;
  }
  apu_regulation();
  air::engine1_psi = air::engine1_bleed_valve_pos * s.engine_supply_psi[0];
  air::engine2_psi = air::engine2_bleed_valve_pos * s.engine_supply_psi[1];

  const float iso = clamp01(air::isolation_bleed_valve_pos);
  consumer_demand(iso);

  // Duct pressures: each side's largest source, blended across by the
  // isolation valve.
  const float apu_c = clamp01(air::apu_bleed_valve_pos) * air::apu_psi;
  const float own_l = std::max(air::engine1_psi, apu_c);
  const float own_r = std::max(air::engine2_psi, s.ground_air_psi);
  const float all = std::max(own_l, own_r);
  float* duct = s.duct_psi;
  duct[0] = lag_toward(duct[0], own_l + (all - own_l) * iso, 0.0f, 80.0f, 4.0f);
  duct[1] = lag_toward(duct[1], own_r + (all - own_r) * iso, 0.0f, 80.0f, 4.0f);
  // Without its power a needle of the gauge drops to 0; the duct keeps its air.
  indicators::duct_press_L = fed(Consumer::duct_pressure_left) ? duct[0] : 0.0f;
  indicators::duct_press_R = fed(Consumer::duct_pressure_right) ? duct[1] : 0.0f;

  host_bleed_mode();
  const float lvl = annunciator::brightness_level;
  annunciator::dual_bleed =
      annunciator::test == 1.0f ? lvl : s.dual_bleed * (air::apu_bleed_valve_pos > 0.05f ? 1.0f : 0.0f) * lvl;
  s.apu_bleed_priority = (s.dual_bleed == 1.0f && duct[0] - air::apu_psi > 5.0f) ? 0.0f : 1.0f;

  // Valve commands. The APU valve follows its switch and protections and
  // whether the APU can give air at all, never the pressure left after this
  // frame's draw: opening on that and closing under the load it lets through
  // would cycle it. Its air holds it open only while its command has power:
  // without it the valve closes.
  const bool apu_valve_power = fed(Consumer::apu_bleed_valve);
  s.apu_valve_cmd = (mirror_i(bound::sim_operation_failures_rel_APU_press) != 6 && fire::apu_ext_switch_pos_arm == 0.0f &&
                     spring_toggle_switch::APU_start_pos != 0.0f && apu_valve_power && delay_flags.apu_start_companion == 0.0f &&
                     toggle_switch::bleed_air_apu_pos == 1.0f && apu_state.bleed_available_psi > kBleedSetpoint)
                        ? 1.0f
                        : 0.0f;
  s.l_pack_cmd = (air::l_pack_pos > 0.95f && duct[0] >= 4.0f) ? 1.0f : 0.0f;
  s.r_pack_cmd = (air::r_pack_pos > 0.95f && duct[1] >= 4.0f) ? 1.0f : 0.0f;
  const float sel = air::isolation_valve_pos;
  if (sel == 2.0f) {
    s.isolation_cmd = 1.0f;
  } else if (sel == 1.0f) {
    const bool all_on = toggle_switch::bleed_air_1_pos > 0.95f && toggle_switch::bleed_air_2_pos > 0.95f &&
                        air::l_pack_pos > 0.95f && air::r_pack_pos > 0.95f;
    s.isolation_cmd = all_on ? 0.0f : 1.0f;
  } else {
    s.isolation_cmd = 0.0f;
  }
  drive_valve(air::apu_bleed_valve_pos, s.apu_valve_cmd, 10.0f, fail_entry::press_apu_bleed_valve);
  // The pack valves are commanded electrically and held by their air:
  // without their control power nothing moves them.
  if (fed(Consumer::pack_valves)) {
    drive_valve(air::l_pack_bleed_valve_pos, s.l_pack_cmd, 10.0f, fail_entry::press_left_pack_valve);
    drive_valve(air::r_pack_bleed_valve_pos, s.r_pack_cmd, 10.0f, fail_entry::press_right_pack_valve);
  }
  if (fed(Consumer::isolation_valve)) drive_valve(air::isolation_bleed_valve_pos, s.isolation_cmd, 10.0f, fail_entry::press_isolation_valve);
  ::isolation_valve_open = air::isolation_bleed_valve_pos;
}

void update_host_bleed_air() {
  if (!bound_present(bound::sim_cockpit2_bleedair_actuators_pack_center)) return;
  // The host's valves and packs are int datarefs: open 1, shut 0.
  auto seti = [](bound::Id id, bool on) { host_send_i(id, on ? 1 : 0); };
  seti(bound::sim_cockpit2_bleedair_actuators_pack_center, false);
  const int32_t sov[2] = {toggle_switch::bleed_air_1_pos != 0.0f ? 1 : 0, toggle_switch::bleed_air_2_pos != 0.0f ? 1 : 0};
  host_send_vi(bound::sim_cockpit2_bleedair_actuators_engine_bleed_sov, sov, 2);
  const bool apu_bleed = air::apu_bleed_valve_pos > 0.05f && toggle_switch::bleed_air_apu_pos == 1.0f;
  const bool cart = mirror_f(bound::zuvadud_D738_engine_engine_air_start) != 0.0f;
  seti(bound::sim_cockpit2_bleedair_actuators_apu_bleed, apu_bleed);
  seti(bound::sim_cockpit2_bleedair_actuators_gpu_bleed, cart);
  seti(bound::sim_cockpit2_bleedair_actuators_pack_left, air::l_pack_pos != 0.0f);
  seti(bound::sim_cockpit2_bleedair_actuators_pack_right, air::r_pack_pos != 0.0f);
  const float sel = air::isolation_valve_pos;
  const bool all_on = air::l_pack_pos != 0.0f && air::r_pack_pos != 0.0f && toggle_switch::bleed_air_1_pos != 0.0f &&
                      toggle_switch::bleed_air_2_pos != 0.0f;
  const bool open = sel == 2.0f || (sel == 1.0f && !all_on);
  bool left = open;
  bool right = open;
  if (cart) {
    right = true;
  } else if (apu_bleed) {
    left = true;
  }
  seti(bound::sim_cockpit2_bleedair_actuators_isol_valve_left, left);
  seti(bound::sim_cockpit2_bleedair_actuators_isol_valve_right, right);
}
