// Failure commands' effects (see failure_commands.h).
//
// Reads: model_family, variant_index, the host's payload mass. Writes: the
// failure tables and the scripts' failure arrays and reset flag, engine damage
// state, the fire bottles, the host's oil quantities and tank masses.
#include "alerting/failure_commands.h"

#include <cmath>

#include "alerting/engine_failures.h"
#include "alerting/failure_state.h"
#include "core/failure_tables.h"
#include "alerting/failures.h"
#include "core/binding.h"
#include "core/host_io.h"
#include "core/variant.h"
#include "systems/fire/fire.h"
#include "systems/fire/fire_values.h"

float saved_fuel_load[3];

namespace {

// Entry 69 of each table is never armed or cleared from the cockpit.
constexpr int kCockpitEntries = 69;

struct TableRef {
  float* values;
  bound::Id id;
};

const TableRef kTables[5] = {
    {failure_tables.electric, bound::zuvadud_D738_failure_electric},
    {failure_tables.hydraulic, bound::zuvadud_D738_failure_hydraulic},
    {failure_tables.system, bound::zuvadud_D738_failure_system},
    {failure_tables.pressurisation, bound::zuvadud_D738_failure_pressurisation},
    {failure_tables.engine, bound::zuvadud_D738_failure_engine},
};

// The scripts may have set an entry since this frame's poll (a failure
// chosen on their own page just before the click): the tables are taken
// afresh so that writing them back whole keeps it.
void read_tables_now() {
  for (const TableRef& t : kTables) read_now_vf(t.id, t.values, kFailureEntriesExchanged);
}

void write_tables_back() {
  for (const TableRef& t : kTables) {
    script_set_vf(t.id, t.values, kFailureEntriesExchanged);
  }
}

void forget_engine_damage() {
  engine_damage_timers[0] = 0.0f;
  engine_damage_timers[1] = 0.0f;
  engine_damage_flags[0] = 0;
  engine_damage_flags[1] = 0;
  damage_fluctuation_timer = 0.0f;
}

constexpr float kBottleFull_psi = 600.0f;
constexpr float kOilRefill = 0.85f;

}  // namespace

void enable_random_failures() {
  read_tables_now();
  for (const TableRef& t : kTables) {
    for (int i = 0; i < kCockpitEntries; ++i) {
      if (t.values[i] == 0.0f) t.values[i] = 2.0f;
    }
  }
  write_tables_back();
}

void disable_random_failures() {
  read_tables_now();
  for (const TableRef& t : kTables) {
    for (int i = 0; i < kCockpitEntries; ++i) {
      if (t.values[i] > 1.0f) t.values[i] = 0.0f;
    }
  }
  forget_engine_damage();
  write_tables_back();
}

void reset_failures() {
  read_tables_now();
  randomize_system_values();
  for (float& f : tyre_burst_flags) f = 0.0f;
  for (const TableRef& t : kTables) {
    for (int i = 0; i < kCockpitEntries; ++i) {
      if (t.values[i] == 1.0f) t.values[i] = 0.0f;
    }
  }
  forget_engine_damage();
  write_tables_back();
  fire::engine01_02L_ext_bottle_psi = kBottleFull_psi;
  fire::engine01_02R_ext_bottle_psi = kBottleFull_psi;
  fire::apu_ext_bottle_psi = kBottleFull_psi;
  fire::apu_was_fire = 0.0f;
  for (float& agent : fire_state.agent_delivered) agent = 0.0f;
  for (float& fired : fire_state.bottle_fired) fired = 0.0f;
  for (float& burned : fire_state.engine_fire_timer) burned = 0.0f;
  float* oil = host_mirror.sim_flightmodel_engine_ENGN_oil_quan;
  oil[0] = kOilRefill;
  oil[1] = kOilRefill;
  host_send_vf(bound::sim_flightmodel_engine_ENGN_oil_quan, oil, 2);
  clear_oil_timers();
  script_mirror.zuvadud_D738_failure_rst = 1.0f;
  script_set_f(bound::zuvadud_D738_failure_rst, 1.0f);
}

void reset_fuel_distribution() {
  const float* saved = saved_fuel_load;
  // A saved mass that is not a number would poison the host's tanks.
  if (!std::isfinite(saved[0]) || !std::isfinite(saved[1]) || !std::isfinite(saved[2])) return;
  float* tank = host_mirror.sim_flightmodel_weight_m_fuel;  // left, centre, right
  tank[0] = saved[0];
  tank[1] = saved[1];
  tank[2] = saved[2];

  // Empty mass and weight limit (t) and one wing tank's capacity (kg) by model.
  float empty_t = 41.4f;
  float limit_t = 79.0f;
  float wing_kg = 3900.0f;
  if (model_family == 1.0f || variant_index == 1 || variant_index == 4) {
    empty_t = 44.67f;
    limit_t = 85.0f;
    wing_kg = 3920.0f;
  } else if (model_family == 2.0f || variant_index == 2) {
    empty_t = 37.6f;
    limit_t = 70.0f;
  }
  const float total_kg = saved[0] + saved[1] + saved[2];
  const float total_t = total_kg / 1000.0f;
  const float payload_t = host_mirror.sim_flightmodel_weight_m_fixed / 1000.0f;
  if (total_t >= 1.0f && total_t <= 20.9f && payload_t + total_t + empty_t <= limit_t) {
    if (total_kg > 2.0f * wing_kg) {
      tank[0] = wing_kg;
      tank[2] = wing_kg;
      tank[1] = total_kg - 2.0f * wing_kg;
    } else {
      tank[0] = total_kg / 2.0f;
      tank[2] = total_kg / 2.0f;
      tank[1] = 0.0f;
    }
  }
  host_send_vf(bound::sim_flightmodel_weight_m_fuel, tank, 3);
}
