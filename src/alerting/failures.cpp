// Random and conditional failures (see failures.h).
//
// A randomly armed entry is examined once every 70 frames and each
// examination takes one frame step off its delay: the drawn delays are long
// on purpose, so a delay of d seconds lasts about 70 x d seconds of flight.
// An engine entry armed for a flight condition is judged every frame: a climb
// crosses its 100 ft bands in two seconds, and V1 is passed at 3 kt a second.
#include "alerting/failures.h"
#include "core/failure_entries.h"

#include "alerting/failure_state.h"
#include "core/binding.h"
#include "core/host_io.h"
#include "core/preprocess_values.h"
#include "core/frame_values.h"
#include "systems/hydraulics/hydraulics.h"
#include "systems/instruments/instrument_values.h"

FailureTimers failure_timers;
int32_t failure_scan_index;

namespace {

// Entry 69 of each table belongs to the scripts alone.
constexpr int kBulkEntries = 69;

const bound::Id kTableIds[fail_groups] = {
    bound::zuvadud_D738_failure_electric, bound::zuvadud_D738_failure_hydraulic, bound::zuvadud_D738_failure_system,
    bound::zuvadud_D738_failure_pressurisation, bound::zuvadud_D738_failure_engine};

bool failure_timer(int group, int index, float min_s, float max_s) {
  float* table = failure_table(group);
  if (table == nullptr || index < 0 || index >= kFailureEntriesExchanged) return false;
  float& timer = failure_timers.delay_s[group][index];
  if (timer > 0.0f) {
    timer -= frame_time;
    if (timer <= 0.0f) {
      timer = 0.0f;
      table[index] = 1.0f;
      // One failure at a time: every other pending delay starts over.
      clear_failure_timers();
      return true;
    }
  } else {
    timer = random_range(min_s, max_s);
  }
  return false;
}

// Engine entries 0..5 armed with a flight condition (3..8). The speeds are
// the ones the crew reads on the airspeed indicator, as V1 and V2 are: the
// ground speed differs from them by the wind and a high field's thin air.
bool condition_met(float value) {
  const float ias_kt = frame_flight_data.ias_kt;
  const float radio_ft = frame_flight_data.radio_alt_ft;
  const float alt_ft = frame_flight_data.alt_ft;
  if (value == 3.0f) return ias_kt > 65.0f;
  if (value == 4.0f) {
    const float v1 = script_mirror.zuvadud_D738_FMS_v1_set;
    return ias_kt > (v1 == 0.0f ? 135.0f : v1);
  }
  if (value == 5.0f) {
    const float v2 = read_now_f(bound::zuvadud_D738_FMS_v2_set);
    return ias_kt > (v2 == 0.0f ? 145.0f : v2);
  }
  if (value == 6.0f) return radio_ft > 1000.0f && radio_ft < 1100.0f;
  if (value == 7.0f) return alt_ft > 10000.0f && alt_ft < 10100.0f;
  if (value == 8.0f) return script_mirror.zuvadud_D738_FMS_flight_phase == 8.0f;
  return false;
}

constexpr int kConditionalEntries = 6;  // engine entries 0..5

bool armed_for_condition(int i, float v) {
  return i < kConditionalEntries && v >= 3.0f && v <= 8.0f && v == static_cast<float>(static_cast<int>(v));
}

// Every engine entry whose flight condition is met now fails.
bool conditional_entries() {
  float* e = failure_tables.engine;
  bool failed = false;
  for (int i = 0; i < kConditionalEntries; ++i) {
    if (!armed_for_condition(i, e[i]) || !condition_met(e[i])) continue;
    e[i] = 1.0f;
    failure_timers.delay_s[fail_engine][i] = 0.0f;
    clear_failure_timers();
    failed = true;
  }
  return failed;
}

bool engine_entry(int i) {
  float* e = failure_tables.engine;
  const float v = e[i];
  if (v == 0.0f) {
    failure_timers.delay_s[fail_engine][i] = 0.0f;
    return false;
  }
  if (!(v > 1.0f) || armed_for_condition(i, v)) return false;
  const int32_t* burning = host_mirror.sim_flightmodel2_engines_engine_is_burning_fuel;
  const bool burn1 = burning[0] != 0;
  const bool burn2 = burning[1] != 0;
  const bool high = frame_flight_data.radio_alt_ft > 150.0f;
  // Each engine's failures exclude one another: a fire, a flame-out or a
  // damage already failed leaves the others of that engine alone.
  using namespace fail_entry;
  const bool clear1 = !entry_failed(eng_damage_1) && burn1;
  const bool clear2 = !entry_failed(eng_damage_2) && burn2;
  switch (i) {
    case eng_fire_1.index():
      if (v == 2.0f && !entry_failed(eng_flameout_1) && clear1) return failure_timer_engine(i, 8, 6000);
      break;
    case eng_fire_2.index():
      if (v == 2.0f && !entry_failed(eng_flameout_2) && clear2) return failure_timer_engine(i, 8, 6000);
      break;
    case eng_flameout_1.index():
      if (v == 2.0f && !entry_failed(eng_fire_1) && clear1) return failure_timer_engine(i, 8, 6000);
      break;
    case eng_flameout_2.index():
      if (v == 2.0f && !entry_failed(eng_fire_2) && clear2) return failure_timer_engine(i, 8, 6000);
      break;
    case eng_damage_1.index():
      if (v == 2.0f && !entry_failed(eng_fire_1) && !entry_failed(eng_flameout_1) && burn1 && high)
        return failure_timer_engine(i, 70, 13000);
      break;
    case eng_damage_2.index():
      if (v == 2.0f && !entry_failed(eng_fire_2) && !entry_failed(eng_flameout_2) && burn2 && high)
        return failure_timer_engine(i, 70, 13000);
      break;
    case eng_seizure_1.index():
      if (!entry_failed(eng_fire_1) && !entry_failed(eng_flameout_1) && burn1 && high)
        return failure_timer_engine(i, 80, 15000);
      break;
    case eng_seizure_2.index():
      if (!entry_failed(eng_fire_2) && !entry_failed(eng_flameout_2) && burn2 && high)
        return failure_timer_engine(i, 80, 15000);
      break;
    case eng_generator_1.index():
    case eng_oil_pump_1.index():
    case eng_oil_leak_1.index():
      if (clear1) return failure_timer_engine(i, 10, 1900);
      break;
    case eng_generator_2.index():
    case eng_oil_pump_2.index():
    case eng_oil_leak_2.index():
      if (clear2) return failure_timer_engine(i, 10, 1900);
      break;
    default: break;
  }
  return false;
}

struct ResetAvailable {
  int32_t frame_counter;  // 1..5, 0 on the frame that recomputes
  float latched;
};
ResetAvailable reset_available;

}  // namespace

float* failure_table(int group) {
  switch (group) {
    case fail_electric: return failure_tables.electric;
    case fail_hydraulic: return failure_tables.hydraulic;
    case fail_system: return failure_tables.system;
    case fail_pressurisation: return failure_tables.pressurisation;
    case fail_engine: return failure_tables.engine;
    default: return nullptr;
  }
}

void write_failure_table(int group) {
  float* table = failure_table(group);
  if (table == nullptr) return;
  script_set_vf(kTableIds[group], table, kFailureEntriesExchanged);
}

bool failure_timer_electric(int i, float a, float b) { return failure_timer(fail_electric, i, a, b); }
bool failure_timer_hydraulic(int i, float a, float b) { return failure_timer(fail_hydraulic, i, a, b); }
bool failure_timer_system(int i, float a, float b) { return failure_timer(fail_system, i, a, b); }
bool failure_timer_pressurisation(int i, float a, float b) { return failure_timer(fail_pressurisation, i, a, b); }
bool failure_timer_engine(int i, float a, float b) { return failure_timer(fail_engine, i, a, b); }

void clear_failure_timers() {
  for (auto& group : failure_timers.delay_s) {
    for (int i = 0; i < kBulkEntries; ++i) group[i] = 0.0f;
  }
}

void update_random_failures() {
  if (sim_paused != 0 || sim_in_replay != 0) return;
  int i = failure_scan_index;
  if (i < 0 || i >= kFailureEntriesExchanged) i = failure_scan_index = 0;
  bool failed[fail_groups] = {};
  failed[fail_engine] = conditional_entries();

  const float* h = failure_tables.hydraulic;
  const float* p = failure_tables.pressurisation;
  if (failure_tables.electric[i] > 1.0f) failed[fail_electric] = failure_timer_electric(i, 7, 850);
  else if (failure_tables.electric[i] == 0.0f) failure_timers.delay_s[fail_electric][i] = 0.0f;

  if (h[i] > 1.0f) {
    // A system's pumps and its leak never fail together at random.
    using namespace fail_entry;
    const bool allowed = i <= hyd_standby_pump.index()
                             ? (!entry_failed(hyd_leak_a) && !entry_failed(hyd_leak_b))
                             : (!entry_failed(hyd_pumps_a) && !entry_failed(hyd_pumps_b) && !entry_failed(hyd_standby_pump));
    if (allowed) failed[fail_hydraulic] = failure_timer_hydraulic(i, 5, 850);
  } else if (h[i] == 0.0f) {
    failure_timers.delay_s[fail_hydraulic][i] = 0.0f;
  }

  if (p[i] > 1.0f) {
    if (i == fail_entry::press_hull_leak.index()) {
      if (!entry_failed(fail_entry::press_door_seal_leak))
        failed[fail_pressurisation] = failure_timer_pressurisation(i, 25, 1700);
    } else if (i == fail_entry::press_door_seal_leak.index()) {
      if (!entry_failed(fail_entry::press_hull_leak))
        failed[fail_pressurisation] = failure_timer_pressurisation(i, 25, 1700);
    } else {
      failed[fail_pressurisation] = failure_timer_pressurisation(i, 16, 1200);
    }
  } else if (p[i] == 0.0f) {
    failure_timers.delay_s[fail_pressurisation][i] = 0.0f;
  }

  if (engine_entry(i)) failed[fail_engine] = true;

  for (int g = 0; g < fail_groups; ++g) {
    if (failed[g]) write_failure_table(g);
  }
  failure_scan_index = i >= kFailureEntriesExchanged - 1 ? 0 : i + 1;
}

void update_fail_reset_available() {
  const bool stopped = on_ground != 0 && host_mirror.sim_flightmodel_position_groundspeed < 2.0f;
  system_::rst_fail_available2 = stopped ? 1.0f : 0.0f;
  ResetAvailable& r = reset_available;
  r.frame_counter = r.frame_counter >= 5 ? 0 : r.frame_counter + 1;
  if (r.frame_counter == 0) {
    r.latched = 0.0f;
    for (float f : tyre_burst_flags) {
      if (f != 0.0f) r.latched = 1.0f;
    }
    for (int g = 0; g < fail_groups && r.latched == 0.0f; ++g) {
      const float* t = failure_table(g);
      for (int i = 0; i < kBulkEntries; ++i) {
        if (t[i] == 1.0f) {
          r.latched = 1.0f;
          break;
        }
      }
    }
  }
  const float blink = script_mirror.zuvadud_D738_autopilot_blink;
  if (stopped) system_::rst_fail_available = r.latched == 1.0f ? blink + 1.0f : 1.0f;
  else system_::rst_fail_available = r.latched == 1.0f ? 2.0f * blink : 0.0f;
}

void randomize_system_values() {
  HydraulicState& h = hyd_state;
  const float d = random_range(0.0f, 35.0f);
  h.edp_max_press_a = random_range(2885.0f, 2975.0f);
  h.edp_max_press_b = h.edp_max_press_a < 2930.0f ? h.edp_max_press_a + d : h.edp_max_press_a - d;
  h.hyd_fluid_a = random_range(90.0f, 94.0f);
  const float e = random_range(0.0f, 4.0f);
  h.hyd_fluid_b = h.hyd_fluid_a < 92.0f ? h.hyd_fluid_a + e : h.hyd_fluid_a - e;
  h.hyd_residual_a = random_range(40.0f, 50.0f);
  failure_scan_index = 0;
  h.hyd_residual_b = random_range(40.0f, 50.0f);
  clear_failure_timers();
}
