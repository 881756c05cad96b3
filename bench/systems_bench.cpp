// Per-frame systems work against bound mirrors: the annunciator pass (timers,
// levels, every light equation, six-pack, spill) and the electrical,
// hydraulic and pressurisation models.
#include <benchmark/benchmark.h>

#include "core/binding.h"
#include "core/frame_values.h"
#include "host.h"
#include "systems/electrical/electric_values.h"
#include "systems/electrical/electrical.h"
#include "systems/hydraulics/hydraulics.h"
#include "systems/air/pressurisation.h"
#include "systems/systems_steps.h"
#include "bind_for_test.h"

namespace {

void bind_all() {
  simhost::reset();
  rebind_datarefs();
  poll_host_datarefs();
  poll_script_datarefs();
  frame_time = 0.02f;
  electric::battery_pos = 1.0f;
  electric::standby_bat_pos = 1.0f;
}

void BM_AnnunciatorPass(benchmark::State& state) {
  bind_all();
  for (auto _ : state) update_annunciators();
  simhost::reset();
}
BENCHMARK(BM_AnnunciatorPass);

void BM_ElectricalBuses(benchmark::State& state) {
  bind_all();
  for (auto _ : state) elec_buses_update();
  simhost::reset();
}
BENCHMARK(BM_ElectricalBuses);

void BM_Hydraulics(benchmark::State& state) {
  bind_all();
  for (auto _ : state) hyd_update();
  simhost::reset();
}
BENCHMARK(BM_Hydraulics);

void BM_Pressurisation(benchmark::State& state) {
  bind_all();
  for (auto _ : state) update_pressurization();
  simhost::reset();
}
BENCHMARK(BM_Pressurisation);

}  // namespace
