// One frame's mirror polls against the simulated host with every bound host
// and script dataref present: the host's per-call cost included, as in flight.
#include <benchmark/benchmark.h>

#include "core/binding.h"
#include "core/frame_values.h"
#include "host.h"

namespace {

void bind_everything(int version) {
  simhost::Config config;
  config.host_version = version;
  simhost::reset(config);
  host_version = version;
  bind_outside_datarefs();
  bind_host_datarefs();
  bind_librain_datarefs();
  bind_terrain_radar_datarefs();
  bind_addon_datarefs();
  bind_script_datarefs();
  simhost::set_float("zuvadud/D738/autopilot/servo_override", 1.0f);  // trim read included
}

void BM_PollFrame(benchmark::State& state) {
  bind_everything(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    poll_host_datarefs();
    poll_script_datarefs();
    benchmark::DoNotOptimize(host_mirror);
  }
}
BENCHMARK(BM_PollFrame)->Arg(115000)->Arg(120000);

// The same frame with every slot null, the host answering at once: the
// plug-in's own share of the cost.
void BM_PollFrameNullSlots(benchmark::State& state) {
  simhost::reset();
  for (XPLMDataRef& h : bound_handles) h = nullptr;
  host_version = 120000;
  for (auto _ : state) {
    poll_host_datarefs();
    poll_script_datarefs();
    benchmark::DoNotOptimize(host_mirror);
  }
}
BENCHMARK(BM_PollFrameNullSlots);

void BM_GenericMirrorRead(benchmark::State& state) {
  float sum = 0.0f;
  for (auto _ : state) {
    sum += mirror_f(bound::sim_cockpit2_gauges_indicators_airspeed_kts_pilot);
    benchmark::DoNotOptimize(sum);
  }
}
BENCHMARK(BM_GenericMirrorRead);

}  // namespace
