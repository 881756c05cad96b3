// The packed cockpit state as the frame runs it: the save of both arrays and
// the glare element every unpaused frame, a restore on a loaded situation, and
// the first-frame block once per load.
#include <benchmark/benchmark.h>

#include <vector>

#include "core/binding.h"
#include "aircraft/startup_state.h"
#include "aircraft/state_arrays.h"
#include "host.h"
#include "bind_for_test.h"

namespace {

void bind_all() {
  simhost::reset();
  rebind_datarefs();
}

void BM_SaveCockpitState(benchmark::State& state) {
  bind_all();
  for (auto _ : state) {
    sync_glare_switch();
    save_cockpit_state();
    benchmark::DoNotOptimize(state_buffers.system[0]);
  }
  simhost::reset();
}
BENCHMARK(BM_SaveCockpitState);

void BM_RestoreCockpitState(benchmark::State& state) {
  bind_all();
  simhost::set_floats("zuvadud/D738/system", std::vector<float>(200, 1.0f));
  simhost::set_floats("zuvadud/D738/system_sw", std::vector<float>(200, 1.0f));
  for (auto _ : state) {
    read_glare_switches();
    restore_cockpit_state();
    benchmark::DoNotOptimize(state_buffers.system_sw[0]);
  }
  simhost::reset();
}
BENCHMARK(BM_RestoreCockpitState);

void BM_FirstFrameBlock(benchmark::State& state) {
  bind_all();
  simhost::set_int("sim/operation/prefs/startup_running", static_cast<int>(state.range(0)));
  for (auto _ : state) first_frame_block();
  simhost::reset();
}
BENCHMARK(BM_FirstFrameBlock)->Arg(0)->Arg(1);

}  // namespace
