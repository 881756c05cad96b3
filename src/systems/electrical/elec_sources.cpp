// Electrical sources around the bus model: the APU generator switch state the
// host needs, engine generator availability and failures (host failures and
// the scripts' electric failure table kept in agreement, the drive
// disconnects), and the AC and DC meters of the electrical panel.
// Reads the host's generator, battery and bus values; writes
// "sim/cockpit2/electrical/generator_on", "rel_genera0/1", "APU_generator_on"
// and the scripts' "zuvadud/D738/failure/electric".
#include <cstdint>

#include "core/failure_entries.h"
#include "core/failure_tables.h"
#include "core/binding.h"
#include "core/frame_values.h"
#include "core/util.h"
#include "engines/engine_values.h"
#include "systems/aircraft_systems.h"
#include "systems/electrical/electric_values.h"
#include "systems/electrical/bus_feeds.h"
#include "systems/electrical/electrical.h"
#include "core/host_io.h"
#include "systems/instruments/instrument_values.h"
#include "systems/switches/switch_values.h"
#include "systems/system_state.h"

namespace {

constexpr float kGenMinN2 = 48.0f;  // % N2 below which a generator drops off
// Electric failure-table entries of the two engine generators.
constexpr fail_entry::Electric kGenFailEntry[2] = {fail_entry::elec_generator_1, fail_entry::elec_generator_2};

// Meter source slots of the per-flight frequency and voltage tables.
enum MeterFreq { freq_standby, freq_gpu, freq_gen1, freq_apu, freq_gen2, freq_inverter };
enum MeterVolt { volt_gpu, volt_gen1, volt_apu, volt_gen2, volt_inverter };

void write_generator_pair(const int32_t gen[2]) {
  int32_t* m = host_mirror.sim_cockpit2_electrical_generator_on;
  if (m[0] == gen[0] && m[1] == gen[1]) return;
  m[0] = gen[0];
  m[1] = gen[1];
  host_send_vi(bound::sim_cockpit2_electrical_generator_on, m, 2);
}

void write_electric_table() {
  script_set_vf(bound::zuvadud_D738_failure_electric, failure_tables.electric, kFailureEntriesExchanged);
}

float amps99(float a) { return clamp_range(a, -99.0f, 99.0f); }

// A meter knob selects a source only at a whole position; a script may write
// anything, and any other value (NaN included) leaves the meter as it is.
int knob_position(float knob) {
  for (int k = 0; k <= 5; ++k) {
    if (knob == static_cast<float>(k)) return k;
  }
  return -1;
}

// What the standby AC bus runs on, for its volts: transfer bus 1's own
// source in AUTO while that bus is powered (through the bus transfer from
// side 2 when its generator is off), else the static inverter.
int standby_ac_source() {
  if (electric::standby_bat_pos != 1.0f || electric::ac_tnsbus1_status == 0.0f) return volt_inverter;
  const int32_t* gen = host_mirror.sim_cockpit2_electrical_generator_on;
  const bool apu_gen = mirror_i(bound::sim_cockpit_electrical_generator_apu_on) != 0;
  if (gen[0] != 0) return volt_gen1;
  if (apu_gen && electrical::apu_power_bus1 != 0.0f) return volt_apu;
  if (mirror_i(bound::sim_cockpit_electrical_gpu_on) != 0) return volt_gpu;
  if (gen[1] != 0) return volt_gen2;
  return volt_apu;
}

}  // namespace

void apu_generator_to_host() {
  const bool bus_switch_on = electrical::apu_power_bus1 != 0.0f || electrical::apu_power_bus2 != 0.0f;
  const int32_t apu_gen = mirror_i(bound::sim_cockpit_electrical_generator_apu_on);
  const int32_t host_on = mirror_i(bound::sim_cockpit2_electrical_APU_generator_on);
  if (!bus_switch_on && apu_gen == 1 && host_on != 0) {
    host_set_i(bound::sim_cockpit2_electrical_APU_generator_on, 0);
  } else if (bus_switch_on && apu_gen == 0 && host_on == 0) {
    host_set_i(bound::sim_cockpit2_electrical_APU_generator_on, 1);
  }
}

void update_engine_generators() {
  int32_t gen[2] = {host_mirror.sim_cockpit2_electrical_generator_on[0],
                    host_mirror.sim_cockpit2_electrical_generator_on[1]};
  float* const available[2] = {&electric::gen1_available, &electric::gen2_available};
  const bound::Id fail_id[2] = {bound::sim_operation_failures_rel_genera0, bound::sim_operation_failures_rel_genera1};
  int32_t* const seen = generator_failure_memory.host_seen;
  // Right after a load the host's generators settle first; nothing fails or
  // switches off until then.
  if (!(time_since_load > 6.0f)) {
    for (int e = 0; e < 2; ++e) {
      *available[e] = gen[e] != 0 ? 1.0f : 0.0f;
      seen[e] = mirror_i(fail_id[e]);
    }
    return;
  }
  float* disconnect[2] = {&one_way_switch::drive_disconnect1_pos, &one_way_switch::drive_disconnect2_pos};
  const float start_lever[2] = {engine::mixture_ratio1, engine::mixture_ratio2};
  for (int e = 0; e < 2; ++e) {
    float& slot = failure_value(kGenFailEntry[e]);
    // The host repaired the generator (its "fix all systems"): the newer
    // event wins, or the slot would fail it again in this frame for good.
    if (seen[e] == kHostFailed && mirror_i(fail_id[e]) != kHostFailed && slot == 1.0f) {
      slot = 0.0f;
      write_electric_table();
    }
    if (mirror_i(fail_id[e]) != kHostFailed && slot == 1.0f) {
      gen[e] = 0;
      host_set_i(fail_id[e], kHostFailed);
    }
    if (mirror_i(fail_id[e]) == kHostFailed && slot != 1.0f) {
      gen[e] = 0;
      slot = 1.0f;
      write_electric_table();
    }
    // A disconnected drive stays failed until the failure is reset.
    if (mirror_i(fail_id[e]) != kHostFailed && *disconnect[e] == 1.0f && start_lever[e] >= 0.9f) {
      gen[e] = 0;
      host_set_i(fail_id[e], kHostFailed);
      slot = 1.0f;
      write_electric_table();
    }
    // The switch works only with the start lever at IDLE and is spring
    // loaded: pressed at CUTOFF it springs back having done nothing, so no
    // later start disconnects the drive it left armed.
    if (*disconnect[e] == 1.0f && start_lever[e] < 0.9f) *disconnect[e] = 0.0f;
    // The engine's own N2, not its gauge: a failed indicator leaves the
    // generator turning.
    const float n2 = mirror_vf_at(bound::sim_flightmodel2_engines_N2_percent, e);
    const bool failed = mirror_i(fail_id[e]) != 0;
    if ((n2 < kGenMinN2 || failed) && gen[e] != 0) gen[e] = 0;
    *available[e] = (n2 > kGenMinN2 && mirror_i(fail_id[e]) == 0) ? 1.0f : 0.0f;
    seen[e] = mirror_i(fail_id[e]);
  }
  write_generator_pair(gen);
}

void update_elec_meters() {
  const PerFlightValues& pf = per_flight_values;
  const float bat1_v = mirror_vf_at(bound::sim_cockpit2_electrical_battery_voltage_indicated_volts, 1);
  float& freq = cockpit::ac_freq_value;
  float& volt = cockpit::ac_volt_value;
  float& amp = cockpit::ac_amp_value;
  // A source that is not there shows 0 Hz and 0 V; the amps of the
  // generators fall to 0 with it.
  auto source = [&](bool present, int f, int v, bool has_amps, float amps) {
    freq = present ? pf.ac_freq_hz[f] : 0.0f;
    volt = present ? pf.ac_volt_v[v] : 0.0f;
    if (has_amps) amp = present ? amps99(amps) : 0.0f;
  };
  // The meter itself runs on the DC side: with no DC bus alive it is dark,
  // whatever its knob selects (ground power at the receptacle included).
  switch (fed(Consumer::ac_meter) ? knob_position(knob::ac_power) : -2) {
    case -2:
      freq = 0.0f;
      volt = 0.0f;
      amp = 0.0f;
      break;
    case 0: {
      // On the inverter the standby bus shows the inverter's own reading,
      // as INV does.
      const bool powered = electric::ac_stdbus_status != 0.0f;
      const int feed = standby_ac_source();
      freq = powered ? pf.ac_freq_hz[feed == volt_inverter ? freq_inverter : freq_standby] : 0.0f;
      volt = powered ? pf.ac_volt_v[feed] : 0.0f;
      break;
    }
    case 1:
      source(cockpit::gpu_available != 0.0f, freq_gpu, volt_gpu, false, 0.0f);
      break;
    case 2:
      source(electric::gen1_available == 1.0f, freq_gen1, volt_gen1, true,
             mirror_vf_at(bound::sim_cockpit2_electrical_generator_amps, 0));
      break;
    case 3:
      source(electrical::apu_bus_enable == 1.0f, freq_apu, volt_apu, true,
             mirror_f(bound::sim_cockpit2_electrical_APU_generator_amps));
      break;
    case 4:
      source(electric::gen2_available == 1.0f, freq_gen2, volt_gen2, true,
             mirror_vf_at(bound::sim_cockpit2_electrical_generator_amps, 1));
      break;
    case 5: {
      // The static inverter runs off the battery bus while the standby
      // power switch has it on, as the bus model feeds the AC standby bus
      // from it; unpowered it reads nothing.
      const int32_t inv = mirror_vi_at(bound::sim_cockpit2_electrical_inverter_on, 1);
      if (inv == 1 || inv == 0) {
        source(inv == 1 && electric::batbus_status != 0.0f, freq_inverter, volt_inverter, false, 0.0f);
      }
      break;
    }
    default:
      break;
  }

  const float dc_volts = mirror_f(bound::sim_cockpit2_electrical_dc_voltmeter_value);
  const float bus0 = mirror_vf_at(bound::sim_cockpit2_electrical_bus_load_amps, 0);
  const float bus1 = mirror_vf_at(bound::sim_cockpit2_electrical_bus_load_amps, 1);
  float& dv = cockpit::dc_volt_value;
  float& da = cockpit::dc_amp_value;
  switch (knob_position(knob::dc_power)) {
    case 0:  // STBY PWR: the DC standby bus
      dv = elec_bus_status.dc_stdbus_volts;
      da = 0.0f;
      break;
    case 1:  // BAT BUS
      dv = elec_bus_status.batbus_volts;
      da = 0.0f;
      break;
    case 2:
      dv = bat1_v;
      da = amps99(mirror_vf_at(bound::sim_cockpit2_electrical_battery_amps, 1) +
                  mirror_vf_at(bound::sim_cockpit2_electrical_battery_amps, 2));
      break;
    case 3:
      dv = electric::tru1_status * dc_volts;
      da = amps99(electric::tru1_status * bus0);
      break;
    case 4:
      dv = electric::tru2_status * dc_volts;
      da = amps99(electric::tru2_status * bus1);
      break;
    case 5:
      dv = electric::tru3_status * dc_volts;
      da = amps99(electric::tru3_status * bus1);
      break;
    default:
      break;
  }
}
