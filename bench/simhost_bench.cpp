// Cost of the simulated host's own paths: dataref access through a handle,
// a command dispatch and an empty host frame with two flight loops.
#include "host.h"
#include "platform/xplm.h"

#include <benchmark/benchmark.h>

namespace {

void BM_GetFloatThroughHandle(benchmark::State& state) {
  simhost::Config c;
  c.extra = {{"b/f", xplmType_Float, 1, true, "1.5"}};
  simhost::reset(c);
  XPLMDataRef r = XPLMFindDataRef("b/f");
  for (auto _ : state) benchmark::DoNotOptimize(XPLMGetDataf(r));
}
BENCHMARK(BM_GetFloatThroughHandle);

void BM_GetFloatArray16(benchmark::State& state) {
  simhost::Config c;
  c.extra = {{"b/fa", xplmType_FloatArray, 16, true, "2"}};
  simhost::reset(c);
  XPLMDataRef r = XPLMFindDataRef("b/fa");
  float out[16];
  for (auto _ : state) benchmark::DoNotOptimize(XPLMGetDatavf(r, out, 0, 16));
}
BENCHMARK(BM_GetFloatArray16);

int pass(XPLMCommandRef, XPLMCommandPhase, void*) { return 1; }

void BM_CommandOnce(benchmark::State& state) {
  simhost::reset();
  XPLMCommandRef cmd = XPLMCreateCommand("b/cmd", "");
  XPLMRegisterCommandHandler(cmd, pass, 1, nullptr);
  for (auto _ : state) {
    XPLMCommandOnce(cmd);
    if (simhost::issued_commands().size() > 100000) simhost::clear_issued_commands();
  }
}
BENCHMARK(BM_CommandOnce);

float every_frame(float, float, int, void*) { return -1.0f; }

void BM_HostFrameTwoLoops(benchmark::State& state) {
  simhost::reset();
  XPLMCreateFlightLoop_t p = {static_cast<int>(sizeof(XPLMCreateFlightLoop_t)), 1, every_frame, nullptr};
  XPLMScheduleFlightLoop(XPLMCreateFlightLoop(&p), -1.0f, 0);
  p.phase = 0;
  XPLMScheduleFlightLoop(XPLMCreateFlightLoop(&p), -1.0f, 0);
  for (auto _ : state) simhost::frame(1.0f / 30.0f);
}
BENCHMARK(BM_HostFrameTwoLoops);

// The host's traffic moving on: eight targets, each filling its TCAS slot
// and its multiplayer plane every frame.
void BM_HostFrameEightTargets(benchmark::State& state) {
  simhost::reset();
  for (int slot = 1; slot <= 8; ++slot) {
    simhost::TrafficTarget t;
    t.lat = 47.0 + slot * 0.01;
    t.lon = -122.0;
    t.elevation_m = 3000.0;
    t.track_deg = 45.0 * slot;
    t.speed_mps = 120.0;
    t.vs_mps = -5.0;
    simhost::set_traffic(slot, t);
  }
  for (auto _ : state) simhost::frame(1.0f / 30.0f);
}
BENCHMARK(BM_HostFrameEightTargets);

}  // namespace
