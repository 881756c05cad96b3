// Electrical distribution: which buses are powered this frame (the published
// electric:: status values plus the unpublished part below), the display and
// standby-display power-up, ground power availability with the gate
// connection, and the battery discharge monitor.
#pragma once

#include <cstdint>

#include "core/failure_entries.h"

// The unpublished tail of the bus status record; the published fields are the
// electric:: globals (systems/electrical/electric_values.h).
struct ElecBusStatus {
  float dc_bus1_volts;    // V, read by the exterior lights
  float dc_bus2_volts;    // V
  float dir_batbus_copy;  // direct battery bus before the host failure zeroing; lamp power factor
  // What the DC meter reads on these two buses: the volts of the source
  // feeding each (DC bus 1's TRUs or TRU 3, else the battery), 0 unpowered.
  float dc_stdbus_volts;  // V
  float batbus_volts;     // V
};
extern ElecBusStatus elec_bus_status;

// Which transfer buses the APU took only because the other side's APU GEN
// switch was put ON, its own still not: the APU powers such a bus, yet the
// crew has selected no source for it. Forgotten once the bus leaves the APU.
struct ApuGenSelection {
  float fed_across[2];  // transfer bus 1, 2: 1 while on the APU by the other switch
};
extern ApuGenSelection apu_gen_selection;

// The display power-up flags and the standby display alignment are the
// saved electrical bus state (elec_bus_state, systems/system_state.h).

// Gate ground power connection: 0 disconnected, 2 connecting, 3 connected,
// 1 disconnecting.
extern int32_t gpu_link_state;

// Nearest gate found by the gate finder: four-letter airport ("" when none)
// and 1 when that gate offers ground power.
extern char nearest_gate_airport[8];
extern float nearest_gate_gpu;

// Battery discharge monitor: flags set by their delay timers; `active` is the
// summary the annunciator pass shows.
struct BatteryDischargeState {
  float low;     // -15 A < I <= -5 A for 95 s
  float mid;     // -100 A < I <= -15 A for 3.5 s
  float high;    // I <= -100 A for 2 s
  float active;
};
extern BatteryDischargeState bat_discharge_monitor;

// An electric failure-table entry counts as working unless it holds 1
// (failed); a value above it is only armed.
float elec_fail_ok(fail_entry::Electric entry);

// Per frame, systems step: bus statuses, host electrical switches, display
// power-up, four-minute flags, host avionics.
void elec_buses_update();
// Per frame after the systems block, not paused: ground power availability.
void update_ground_power();
// Last step of the annunciator pass: discharge flags from the battery current.
void battery_discharge_monitor();
