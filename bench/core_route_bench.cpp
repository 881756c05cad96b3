// Per-frame cost of the numeric helpers and of the route phase (copies,
// decode of a full route and the per-leg pass) over the simulated host.
#include <benchmark/benchmark.h>

#include <string>

#include "core/binding.h"
#include "core/frame_values.h"
#include "lnav/route/route.h"
#include "lnav/route/route_intake.h"
#include "core/util.h"
#include "host.h"

namespace {

void BM_LagToward(benchmark::State& state) {
  frame_time = 0.02f;
  float v = 0.0f;
  for (auto _ : state) {
    v = lag_toward(v, 100.0f, 0.0f, 200.0f, 0.5f);
    benchmark::DoNotOptimize(v);
  }
}
BENCHMARK(BM_LagToward);

void BM_TurnTowardHeading(benchmark::State& state) {
  frame_time = 0.02f;
  float h = 350.0f;
  for (auto _ : state) {
    h = turn_toward_heading(h, 10.0f, 1.0f);
    if (h == 10.0f) h = 350.0f;
    benchmark::DoNotOptimize(h);
  }
}
BENCHMARK(BM_TurnTowardHeading);

void BM_InterpolateShaped(benchmark::State& state) {
  float x = 0.0f;
  for (auto _ : state) {
    x += 0.01f;
    if (x > 10.0f) x = 0.0f;
    benchmark::DoNotOptimize(interpolate_shaped(0.0f, 0.0f, 10.0f, 30.0f, x, 2.0f));
  }
}
BENCHMARK(BM_InterpolateShaped);

// A 255-entry route, taken in on every iteration (change flag raised), the
// worst case of one frame's route phase before the path build.
void BM_RoutePhaseFullRoute(benchmark::State& state) {
  simhost::reset();
  bind_outside_datarefs();
  bind_host_datarefs();
  bind_addon_datarefs();
  bind_script_datarefs();
  std::string legs;
  std::string types;
  for (int i = 0; i < 128; ++i) legs += "WP" + std::to_string(i) + " ";
  std::string ext;
  for (int i = 128; i < 256; ++i) ext += "WP" + std::to_string(i) + " ";
  for (int i = 0; i < 256; ++i) types += (i % 5 == 0) ? "CA" : "TF";
  legs.resize(1024, '\0');
  ext.resize(1024, '\0');
  simhost::set_bytes("zuvadud/D738/fms/legs", legs);
  simhost::set_bytes("zuvadud/D738/fms/legs_ext", ext);
  simhost::set_bytes("zuvadud/D738/fms/legs_pth", types);
  simhost::set_float("zuvadud/D738/vnav/legs_num", 255.0f);
  sim_paused = 0;
  for (auto _ : state) {
    simhost::set_float("zuvadud/D738/fms/legs_change", 1.0f);
    route_reads();
    route_pass();
  }
  benchmark::DoNotOptimize(route_tables.waypoint_names[255].text[0]);
  simhost::reset();
}
BENCHMARK(BM_RoutePhaseFullRoute);

}  // namespace
