// What a reader in the host pays per published dataref read (a float, a
// 256-float leg array, a byte string), through the simulated host's dispatch
// into the loaded module, and what publishing and withdrawing every list costs.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>

#include "datarefs/lists.h"
#include "host.h"
#include "platform/xplm.h"

namespace {

// One loaded module for all accessor benchmarks.
XPLMDataRef loaded(const char* name) {
  static bool started = false;
  if (!started) {
    simhost::reset();
    if (!simhost::load_and_start(CORVANE_MODULE_PATH)) {
      std::fprintf(stderr, "module did not load\n");
      std::abort();
    }
    started = true;
  }
  return XPLMFindDataRef(name);
}

void BM_ReadFloat(benchmark::State& state) {
  XPLMDataRef h = loaded("corvane/engine_model/static_thrust");
  for (auto _ : state) benchmark::DoNotOptimize(XPLMGetDataf(h));
}
BENCHMARK(BM_ReadFloat);

void BM_ReadFloatArray256(benchmark::State& state) {
  XPLMDataRef h = loaded("zuvadud/D738/fms/legs_lat");
  float out[256];
  for (auto _ : state) {
    benchmark::DoNotOptimize(XPLMGetDatavf(h, out, 0, 256));
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(sizeof out));
}
BENCHMARK(BM_ReadFloatArray256);

void BM_ReadLegTypesAsInts256(benchmark::State& state) {
  XPLMDataRef h = loaded("zuvadud/D738/fms/legs_alt_rest_type");
  int out[256];
  for (auto _ : state) {
    benchmark::DoNotOptimize(XPLMGetDatavi(h, out, 0, 256));
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_ReadLegTypesAsInts256);

void BM_ReadByteString16(benchmark::State& state) {
  XPLMDataRef h = loaded("zuvadud/D738/nd/wpt_id00w");
  char out[16];
  for (auto _ : state) {
    benchmark::DoNotOptimize(XPLMGetDatab(h, out, 0, 16));
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_ReadByteString16);

void BM_ReadByteString4096(benchmark::State& state) {
  XPLMDataRef h = loaded("zuvadud/D738/corvane/filename_list");
  static char out[4096];
  for (auto _ : state) {
    benchmark::DoNotOptimize(XPLMGetDatab(h, out, 0, 4096));
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_ReadByteString4096);

// All fourteen lists registered and withdrawn, from the plug-in library
// linked into this executable (a host of its own, apart from the module above).
void BM_PublishAndWithdrawEveryList(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    simhost::reset();
    state.ResumeTiming();
    register_service_datarefs();
    register_engine_model_datarefs();
    register_throttle_datarefs();
    register_annunciator_datarefs();
    register_ice_datarefs();
    register_comm_datarefs();
    register_clock_datarefs();
    register_fire_datarefs();
    register_cover_vent_datarefs();
    register_light_switch_datarefs();
    register_cabin_light_datarefs();
    register_main_datarefs();
    register_tcas_datarefs();
    register_fms_legs_datarefs();
    unregister_service_datarefs();
    unregister_engine_model_datarefs();
    unregister_throttle_datarefs();
    unregister_annunciator_datarefs();
    unregister_ice_datarefs();
    unregister_comm_datarefs();
    unregister_clock_datarefs();
    unregister_fire_datarefs();
    unregister_cover_vent_datarefs();
    unregister_light_switch_datarefs();
    unregister_cabin_light_datarefs();
    unregister_main_datarefs();
    unregister_tcas_datarefs();
    unregister_fms_legs_datarefs();
  }
}
BENCHMARK(BM_PublishAndWithdrawEveryList)->Unit(benchmark::kMillisecond);

}  // namespace
