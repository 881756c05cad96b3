// Engine failures, overspeed and fuel starvation (see engine_failures.h).
#include "alerting/engine_failures.h"

#include "alerting/failure_state.h"
#include "alerting/failures.h"
#include "core/binding.h"
#include "core/failure_entries.h"
#include "core/frame_values.h"
#include "core/host_io.h"
#include "core/preprocess_values.h"
#include "core/util.h"
#include "engines/engine_state.h"
#include "engines/engine_values.h"
#include "systems/fuel/fuel_values.h"

EngineFailureState engine_failure_state;

namespace {

constexpr float kOverspeedLimit = 450.0f;

// A host failure item goes out only when it differs from the frame's copy.
void set_host_failure(bound::Id id, int32_t* copy, int32_t value) {
  if (*copy == value) return;
  *copy = value;
  host_send_i(id, value);
}

struct EngineIds {
  bound::Id fire, fail, separation, generator, oil_pump;
  int32_t* fire_copy;
  int32_t* fail_copy;
  int32_t* separation_copy;
  int32_t* generator_copy;
  int32_t* oil_pump_copy;
};

EngineIds engine_ids(int e) {
  HostMirror& h = host_mirror;
  if (e == 0) {
    return {bound::sim_operation_failures_rel_engfir0, bound::sim_operation_failures_rel_engfai0,
            bound::sim_operation_failures_rel_engsep0, bound::sim_operation_failures_rel_genera0,
            bound::sim_operation_failures_rel_oilpmp0, &h.sim_operation_failures_rel_engfir0,
            &h.sim_operation_failures_rel_engfai0, &h.sim_operation_failures_rel_engsep0,
            &h.sim_operation_failures_rel_genera0, &h.sim_operation_failures_rel_oilpmp0};
  }
  return {bound::sim_operation_failures_rel_engfir1, bound::sim_operation_failures_rel_engfai1,
          bound::sim_operation_failures_rel_engsep1, bound::sim_operation_failures_rel_genera1,
          bound::sim_operation_failures_rel_oilpmp1, &h.sim_operation_failures_rel_engfir1,
          &h.sim_operation_failures_rel_engfai1, &h.sim_operation_failures_rel_engsep1,
          &h.sim_operation_failures_rel_genera1, &h.sim_operation_failures_rel_oilpmp1};
}

bool burning(int e) { return host_mirror.sim_flightmodel2_engines_engine_is_burning_fuel[e] != 0; }

// Damage countdown rate (per second) from the timer value and the vibration.
float damage_rate(float timer_s, float vibration) {
  float b = 0.0f;
  if (timer_s < 50.0f) b = 0.5f;
  else if (timer_s < 150.0f) b = 0.5f - (timer_s - 50.0f) * 0.5f / 100.0f;
  if (vibration < 0.0f) return b;
  if (vibration <= 3.7f) return b + vibration * (1.0f - b) / 3.7f;
  if (vibration <= 5.0f) return 1.0f + 2.0f * (vibration - 3.7f) / 1.3f;
  return 3.0f;
}

void fail_from_damage(int e, const EngineIds& ids) {
  engine_damage_timers[e] = 0.0f;
  engine_damage_flags[e] = 0;
  set_host_failure(ids.fail, ids.fail_copy, kHostFailed);
  if (*engine_ids(1 - e).fail_copy != kHostFailed) damage_fluctuation_timer = 0.0f;
}

void seize(int e) {
  HostMirror& h = host_mirror;
  h.sim_flightmodel_engine_ENGN_N1_[e] = 0.0f;
  h.sim_flightmodel_engine_ENGN_N2_[e] = 0.0f;
  h.sim_flightmodel2_engines_N1_percent[e] = 0.0f;
  h.sim_flightmodel2_engines_N2_percent[e] = 0.0f;
  engine_copies.spool_n1[e] = 0.0f;
  engine_copies.spool_n2[e] = 0.0f;
  engine_copies.spool_n2_previous[e] = 0.0f;
  host_send_vf(bound::sim_flightmodel_engine_ENGN_N1_, engine_copies.spool_n1, 2);
  host_send_vf(bound::sim_flightmodel_engine_ENGN_N2_, engine_copies.spool_n2, 2);
  if (e == 0) {
    engine::indicators_N1_percent_1 = 0.0f;
    engine::indicators_N2_percent_1 = 0.0f;
  } else {
    engine::indicators_N1_percent_2 = 0.0f;
    engine::indicators_N2_percent_2 = 0.0f;
  }
}

// A timer that grows toward a limit while the condition holds and runs back
// down otherwise; true once the limit is reached.
bool limit_timer(float& t, bool condition, float limit_s) {
  if (condition) {
    if (t < limit_s) t += frame_time;
    return t >= limit_s;
  }
  t -= frame_time;
  if (t < 0.0f) t = 0.0f;
  return false;
}

// Host items in the order of host_items_seen, and the per-engine entries
// that fail each one: the engine
// failure takes the flame-out, the damage and the seizure; the separation
// none.
constexpr int kHostItems = 5;
constexpr const fail_entry::Engine* kItemEntries[kHostItems][3] = {
    {fail_entry::eng_fire, nullptr, nullptr},
    {fail_entry::eng_flameout, fail_entry::eng_damage, fail_entry::eng_seizure},
    {nullptr, nullptr, nullptr},
    {fail_entry::eng_generator, nullptr, nullptr},
    {fail_entry::eng_oil_pump, nullptr, nullptr}};

void host_item_copies(const EngineIds& ids, int32_t* out[kHostItems]) {
  out[0] = ids.fire_copy;
  out[1] = ids.fail_copy;
  out[2] = ids.separation_copy;
  out[3] = ids.generator_copy;
  out[4] = ids.oil_pump_copy;
}

// The host's own repair (its "fix all systems", or its failure menu) is the
// newer event: the entries that failed the item are cleared, or they would
// fail it again in this very frame and nothing could ever repair it.
void host_repair_step(int e, bool& table_changed) {
  int32_t* items[kHostItems];
  host_item_copies(engine_ids(e), items);
  const int32_t* seen = engine_failure_state.host_items_seen[e];
  for (int k = 0; k < kHostItems; ++k) {
    if (seen[k] != kHostFailed || *items[k] == kHostFailed) continue;
    for (const fail_entry::Engine* pair : kItemEntries[k]) {
      if (pair == nullptr || failure_value(pair[e]) != 1.0f) continue;
      failure_value(pair[e]) = 0.0f;
      table_changed = true;
    }
  }
}

void remember_host_items() {
  for (int e = 0; e < 2; ++e) {
    int32_t* items[kHostItems];
    host_item_copies(engine_ids(e), items);
    for (int k = 0; k < kHostItems; ++k) engine_failure_state.host_items_seen[e][k] = *items[k];
  }
}

// The steps of one frame, each run for engine 1 then engine 2 before the
// next: a flame-out of engine 2 is in place before engine 1's damage step
// looks at it.
void fire_step(int e, bool&) {
  if (failure_value(fail_entry::eng_fire[e]) == 1.0f) {
    const EngineIds ids = engine_ids(e);
    set_host_failure(ids.fire, ids.fire_copy, kHostFailed);
  }
}

void flameout_step(int e, bool& table_changed) {
  float& t = engine_failure_state.flameout_timers[e];
  if (failure_value(fail_entry::eng_flameout[e]) != 1.0f) {
    t = 0.0f;
    return;
  }
  const EngineIds ids = engine_ids(e);
  set_host_failure(ids.fail, ids.fail_copy, kHostFailed);
  if (t == 0.0f) {
    t = random_range(30.0f, 90.0f);
  } else if (t > 0.0f) {
    t -= frame_time;
    if (t <= 0.0f) {
      t = 0.0f;
      failure_value(fail_entry::eng_flameout[e]) = 0.0f;
      table_changed = true;
      set_host_failure(ids.fail, ids.fail_copy, 0);
    }
  }
}

void damage_step(int e, bool&) {
  const EngineIds ids = engine_ids(e);
  if (failure_value(fail_entry::eng_damage[e]) != 1.0f || *ids.fail_copy == kHostFailed) return;
  float& t = engine_damage_timers[e];
  if (t == 0.0f) {
    // About one damaged engine in twenty fails at once.
    if (random_range(0.0f, 200.0f) < 10.0f) {
      fail_from_damage(e, ids);
    } else {
      t = random_range(15.0f, 240.0f);
      engine_damage_flags[e] = 1;
    }
  } else {
    const float vib = e == 0 ? engine::indicators_eng1_vib : engine::indicators_eng2_vib;
    t -= damage_rate(t, vib) * frame_time;
    if (t <= 0.0f) fail_from_damage(e, ids);
  }
}

// A seized engine stops as a failed one (the host's loss of power: no fuel,
// no generator, no bleed); its rotors stand still. It stays on the wing: the
// host's separation is the host's own failure, never this one.
void seizure_step(int e, bool&) {
  if (failure_value(fail_entry::eng_seizure[e]) != 1.0f) return;
  const EngineIds ids = engine_ids(e);
  set_host_failure(ids.fail, ids.fail_copy, kHostFailed);
  seize(e);
}

void generator_step(int e, bool&) {
  if (failure_value(fail_entry::eng_generator[e]) != 1.0f) return;
  const EngineIds ids = engine_ids(e);
  set_host_failure(ids.generator, ids.generator_copy, kHostFailed);
}

void oil_pump_step(int e, bool&) {
  if (failure_value(fail_entry::eng_oil_pump[e]) != 1.0f) return;
  const EngineIds ids = engine_ids(e);
  set_host_failure(ids.oil_pump, ids.oil_pump_copy, kHostFailed);
}

void oil_leak_step(int e, bool&) {
  float* oil = host_mirror.sim_flightmodel_engine_ENGN_oil_quan;
  if (failure_value(fail_entry::eng_oil_leak[e]) != 1.0f || !(oil[e] > 0.0f)) return;
  oil[e] -= frame_time * 0.00625f;
  if (oil[e] < 0.0f) oil[e] = 0.0f;
  host_send_vf(bound::sim_flightmodel_engine_ENGN_oil_quan, oil, 2);
}

void oil_overheat_step(int e, bool& table_changed) {
  const float oil_temp = e == 0 ? engine::eng1_oil_temp : engine::eng2_oil_temp;
  if (limit_timer(engine_failure_state.oil_overheat_timers[e], oil_temp >= 165.0f && burning(e), 180.0f) &&
      failure_value(fail_entry::eng_seizure[e]) != 1.0f) {
    failure_value(fail_entry::eng_seizure[e]) = 1.0f;
    table_changed = true;
  }
}

void oil_pressure_step(int e, bool& table_changed) {
  const float oil_press = e == 0 ? engine::eng1_oil_press : engine::eng2_oil_press;
  if (limit_timer(engine_failure_state.oil_pressure_loss_timers[e], oil_press <= 13.0f && burning(e), 300.0f) &&
      failure_value(fail_entry::eng_seizure[e]) != 1.0f) {
    failure_value(fail_entry::eng_seizure[e]) = 1.0f;
    table_changed = true;
  }
}

// A countdown that stops the engine in its last 10 s; true when it stopped it.
bool flameout_countdown(float& t, float dt) {
  if (!(t > 0.0f)) return false;
  t -= dt;
  if (t <= 0.0f) {
    t = 0.0f;
    return false;
  }
  return t <= 10.0f;
}

bool engine_fed(int e) {
  const float* tank = host_mirror.sim_flightmodel_weight_m_fuel;  // left, centre, right
  using namespace engine;
  const bool left = ((tank_l1_status != 0.0f || tank_l2_status != 0.0f) && tank[0] > 0.0f) ||
                    (tank_c1_status != 0.0f && tank[1] > 0.0f);
  const bool right = ((tank_r1_status != 0.0f || tank_r2_status != 0.0f) && tank[2] > 0.0f) ||
                     (tank_c2_status != 0.0f && tank[1] > 0.0f);
  const bool own = e == 0 ? left : right;
  const bool other = e == 0 ? right : left;
  return own || (fuel::cross_feed_valve != 0.0f && other);
}

// The start switch protects against a rain flame-out in OFF, CONT and FLT.
bool rain_protected(int e) {
  const float pos = e == 0 ? engine::starter1_pos : engine::starter2_pos;
  return pos >= 1.0f;
}

// CONT and FLT keep the igniters lit: a countdown drawn before the crew
// selected them ends there.
bool igniters_continuous(int e) {
  const float pos = e == 0 ? engine::starter1_pos : engine::starter2_pos;
  return pos >= 2.0f;
}

// An engine its starter still turns is being started, not running in rain on
// its own: its start valve is open.
bool starter_assisting(int e) { return (e == 0 ? engine::start_valve1 : engine::start_valve2) > 0.0f; }

}  // namespace

void update_engine_failures() {
  using Step = void (*)(int, bool&);
  static constexpr Step kSteps[] = {host_repair_step, fire_step,     flameout_step,     damage_step,
                                    seizure_step,     generator_step, oil_pump_step,    oil_leak_step,
                                    oil_overheat_step, oil_pressure_step};
  bool changed = false;
  for (Step step : kSteps) {
    for (int e = 0; e < 2; ++e) step(e, changed);
  }
  if (changed) write_failure_table(fail_engine);
  remember_host_items();
}

void engine_overspeed_starvation_step(float dt) {
  EngineFailureState& s = engine_failure_state;
  for (int e = 0; e < 2; ++e) {
    const float n = host_mirror.sim_flightmodel_engine_ENGN_N1_[e];
    float& a = s.overspeed_accumulators[e];
    if (n >= 103.5f) {
      if (a < kOverspeedLimit) a += dt;
    } else if (n >= 102.1f) {
      const float r = n < 102.4f ? 0.5f : 0.5f + 0.5f * (n - 102.4f) / 1.1f;
      if (a < kOverspeedLimit) a += r * dt;
    } else if (a > 0.0f) {
      a -= 0.33f * dt;
      if (a < 0.0f) a = 0.0f;
    }
    // At the limit itself: steps of exactly 0.5 s would otherwise park the
    // accumulator on 450 and never fail the engine.
    if (a >= kOverspeedLimit) {
      const EngineIds ids = engine_ids(e);
      set_host_failure(ids.fail, ids.fail_copy, kHostFailed);
    }
  }

  if (load_settle_timer > 0.0f || on_ground != 0) {
    engine::fuel_selector_l = 1.0f;
    engine::fuel_selector_r = 1.0f;
    s.suction_feed_timers[0] = s.suction_feed_timers[1] = 0.0f;
    s.suction_starved[0] = s.suction_starved[1] = 0.0f;
    s.rain_flameout_timers[0] = s.rain_flameout_timers[1] = 0.0f;
    return;
  }

  bool stopped[2] = {false, false};
  const int32_t* running = host_mirror.sim_flightmodel_engine_ENGN_running;
  const float elev = clamp_range(static_cast<float>(host_mirror.sim_flightmodel_position_elevation), 8500.0f, 12500.0f);
  if (elev <= 8500.0f) {
    s.suction_feed_timers[0] = s.suction_feed_timers[1] = 0.0f;
    s.suction_starved[0] = s.suction_starved[1] = 0.0f;
  } else {
    const float mixture[2] = {engine::mixture_ratio1, engine::mixture_ratio2};
    for (int e = 0; e < 2; ++e) {
      float& t = s.suction_feed_timers[e];
      if (running[e] == 0) {
        if (mixture[e] == 0.0f) t = 0.0f;
      } else if (engine_fed(e)) {
        t = 0.0f;
      } else if (t == 0.0f) {
        t = 120.0f - (elev - 8500.0f) * 108.0f / 4000.0f + 30.0f * random_fraction();
      }
      if (flameout_countdown(t, dt)) {
        stopped[e] = true;
        s.suction_starved[e] = 1.0f;
      }
      // The engine the countdown stopped gets no fuel while none can reach
      // it: the host itself keeps it out, whatever its igniters do, until a
      // pump or the cross-feed feeds it again and the crew relights it.
      if (engine_fed(e)) s.suction_starved[e] = 0.0f;
    }
  }

  const float precip = host_mirror.sim_weather_precipitation_on_aircraft_ratio;
  const float oat = host_mirror.sim_cockpit2_temperature_outside_air_LE_temp_degc;
  const bool rain = precip > 0.7f || (precip > 0.2f && oat > -12.0f && oat < 0.0f);
  if (!rain) {
    s.rain_flameout_timers[0] = s.rain_flameout_timers[1] = 0.0f;
  } else {
    const float m = 1.8f - (clamp_range(precip, 0.2f, 1.0f) - 0.2f) * 1.1f / 0.8f;
    for (int e = 0; e < 2; ++e) {
      float& t = s.rain_flameout_timers[e];
      if (igniters_continuous(e)) t = 0.0f;
      if (running[e] != 0 && t == 0.0f && !rain_protected(e) && !starter_assisting(e)) {
        t = random_range(80.0f, 180.0f) * m;
        // The two engines never flame out together.
        const float other = s.rain_flameout_timers[1 - e];
        if (t - other < 16.0f && other - t < 16.0f) t += 20.0f;
      }
      if (flameout_countdown(t, dt)) stopped[e] = true;
    }
  }

  if (stopped[0] || stopped[1]) {
    int32_t* run = host_mirror.sim_flightmodel_engine_ENGN_running;
    for (int e = 0; e < 2; ++e) {
      if (stopped[e]) run[e] = 0;
    }
    host_send_vi(bound::sim_flightmodel_engine_ENGN_running, run, 2);
  }
  engine::fuel_selector_l = stopped[0] || s.suction_starved[0] != 0.0f ? 0.0f : 1.0f;
  engine::fuel_selector_r = stopped[1] || s.suction_starved[1] != 0.0f ? 0.0f : 1.0f;
}

void update_engine_overspeed_starvation() { engine_overspeed_starvation_step(half_second_timer); }

void clear_oil_timers() {
  for (int e = 0; e < 2; ++e) {
    engine_failure_state.oil_overheat_timers[e] = 0.0f;
    engine_failure_state.oil_pressure_loss_timers[e] = 0.0f;
  }
}

void engine_failures_reset_on_load() {
  engine_failure_state.suction_feed_timers[0] = 0.0f;
  engine_failure_state.suction_feed_timers[1] = 0.0f;
  engine_failure_state.suction_starved[0] = 0.0f;
  engine_failure_state.suction_starved[1] = 0.0f;
}

void engine_failures_clear_at_start() {
  engine_failure_state.overspeed_accumulators[0] = 0.0f;
  engine_failure_state.overspeed_accumulators[1] = 0.0f;
}
