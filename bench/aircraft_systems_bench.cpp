// The per-frame aircraft systems step against bound mirrors: the whole
// ordered frame, and its bleed-air, engine start, APU and fuel sections.
#include <benchmark/benchmark.h>

#include "core/binding.h"
#include "core/frame_values.h"
#include "host.h"
#include "systems/aircraft_systems.h"
#include "systems/electrical/electric_values.h"
#include "systems/switches/switch_values.h"
#include "systems/systems_steps.h"
#include "bind_for_test.h"

namespace {

void bind_all() {
  simhost::reset();
  rebind_datarefs();
  poll_host_datarefs();
  poll_script_datarefs();
  frame_time = 0.02f;
  time_since_load = 10.0f;
  electric::battery_pos = 1.0f;
  electric::standby_bat_pos = 1.0f;
  toggle_switch::bleed_air_1_pos = toggle_switch::bleed_air_2_pos = 1.0f;
}

void BM_AircraftSystemsFrame(benchmark::State& state) {
  bind_all();
  for (auto _ : state) update_aircraft_systems();
  simhost::reset();
}
BENCHMARK(BM_AircraftSystemsFrame);

void BM_Pneumatics(benchmark::State& state) {
  bind_all();
  for (auto _ : state) update_pneumatics();
  simhost::reset();
}
BENCHMARK(BM_Pneumatics);

void BM_EngineStartAndApu(benchmark::State& state) {
  bind_all();
  for (auto _ : state) {
    animate_start_switches();
    update_ignition_start();
    update_fluid_indications();
    update_apu();
  }
  simhost::reset();
}
BENCHMARK(BM_EngineStartAndApu);

void BM_FuelAndCabin(benchmark::State& state) {
  bind_all();
  for (auto _ : state) {
    update_cross_feed();
    update_fuel_pumps_feed();
    update_fuel_quantities();
    update_fuel_used();
    update_fuel_temperature();
    update_cabin_temperature();
    update_crew_oxygen();
  }
  simhost::reset();
}
BENCHMARK(BM_FuelAndCabin);

}  // namespace
