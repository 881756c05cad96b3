// The CG reference step of one unpaused frame (generic file on the ground, the
// host write included), and the service channel's option and save commands
// as one write through the dataref would run them.
#include <benchmark/benchmark.h>

#include "core/binding.h"
#include "aircraft/cg_reference.h"
#include "publication/debug_service.h"
#include "core/frame_values.h"
#include "core/preprocess_values.h"
#include "core/variant.h"
#include "host.h"

namespace {

void BM_CgReferenceFrame(benchmark::State& state) {
  simhost::reset();
  for (XPLMDataRef& h : bound_handles) h = nullptr;
  bind_host_datarefs();
  bind_script_datarefs();
  simhost::set_float("zuvadud/D738/real_cg", 17.0f);
  variant_index = static_cast<int32_t>(state.range(0));
  host_version = 120000;
  on_ground = 1;
  frame_time = 1.0f / 60.0f;
  for (auto _ : state) {
    update_cg_reference();
    benchmark::DoNotOptimize(cg_shift);
  }
  simhost::reset();
}
BENCHMARK(BM_CgReferenceFrame)->Arg(-1)->Arg(0);

void BM_DebugWrite(benchmark::State& state) {
  simhost::reset();
  variant_index = 0;
  const int value = static_cast<int>(state.range(0));
  for (auto _ : state) {
    debug_command_write(nullptr, value);
    benchmark::DoNotOptimize(debug_status);
    if (simhost::log_lines().size() > 10000) simhost::clear_log();
  }
  simhost::reset();
}
// Unknown value, option command (five log lines).
BENCHMARK(BM_DebugWrite)->Arg(1999)->Arg(2005);

}  // namespace
