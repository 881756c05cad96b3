// Cost of one main-loop frame in steady state (start-up complete, every step
// present, most of them still empty), of a frame stopped by the guard, and of
// the load loop when it has nothing to do.
#include <benchmark/benchmark.h>

#include "core/binding.h"
#include "core/frame_values.h"
#include "aircraft/frame.h"
#include "aircraft/lifecycle.h"
#include "core/trace.h"
#include "host.h"

namespace {

void start_host(simhost::Config config) {
  simhost::reset(config);
  for (XPLMDataRef& h : bound_handles) h = nullptr;
  terrain_probe = nullptr;
  host_version = config.host_version;
  bind_outside_datarefs();
  bind_host_datarefs();
  bind_librain_datarefs();
  bind_terrain_radar_datarefs();
  bind_addon_datarefs();
  bind_script_datarefs();
  reset_on_load();
  trace_reset(false);
}

void BM_MainLoopSteadyFrame(benchmark::State& state) {
  start_host(simhost::Config());
  flight_loop_main(0.02f, 0.02f, 1, nullptr);  // start-up frame
  for (auto _ : state) benchmark::DoNotOptimize(flight_loop_main(0.02f, 0.02f, 1, nullptr));
  terrain_probe = nullptr;
  simhost::reset();
}
BENCHMARK(BM_MainLoopSteadyFrame);

void BM_MainLoopGuardedFrame(benchmark::State& state) {
  simhost::Config config;
  config.omit = {"zuvadud/D738/fms/vnav_idx"};
  start_host(config);
  for (auto _ : state) benchmark::DoNotOptimize(flight_loop_main(0.02f, 0.02f, 1, nullptr));
  terrain_probe = nullptr;
  simhost::reset();
}
BENCHMARK(BM_MainLoopGuardedFrame);

void BM_LoadLoopIdle(benchmark::State& state) {
  start_host(simhost::Config());
  flight_loop_state_restore(0.02f, 0.02f, 1, nullptr);
  for (auto _ : state) benchmark::DoNotOptimize(flight_loop_state_restore(0.02f, 0.02f, 1, nullptr));
  terrain_probe = nullptr;
  simhost::reset();
}
BENCHMARK(BM_LoadLoopIdle);

}  // namespace
