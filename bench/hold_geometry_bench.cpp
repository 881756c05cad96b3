// Cost of laying out one holding pattern and one procedure turn (done per
// such leg every unpaused frame), and of one point on a procedure turn.
#include <benchmark/benchmark.h>

#include <cstring>

#include "core/binding.h"
#include "lnav/route/hold_geometry.h"
#include "lnav/route/route_intake.h"
#include "host.h"
#include "lnav/route/fms_legs.h"
#include "lnav/route/route_geometry.h"

namespace {

constexpr int kLeg = 5;

void set_type(int leg, const char* s) {
  std::strncpy(route_tables.leg_path_types[leg].text, s, sizeof route_tables.leg_path_types[leg].text - 1);
}

void route_with(const char* type) {
  simhost::set_magnetic_variation(3.0f);
  fms_seq.vnav_idx = 2.0f;
  fms_seq.legs_num = kLeg + 1.0f;
  for (int k = 0; k <= kLeg + 1; ++k) set_type(k, "TF");
  set_type(kLeg, type);
  legs_lat[kLeg] = 47.5f;
  legs_lon[kLeg] = -122.3f;
  legs_crs_mag[kLeg] = 160.0f;
  legs_hold_time[kLeg] = 60.0f;
  host_mirror.sim_flightmodel_position_groundspeed = 110.0f;
  host_mirror.sim_cockpit2_gauges_indicators_wind_speed_kts = 25.0f;
  host_mirror.sim_cockpit2_gauges_indicators_wind_heading_deg_mag = 240.0f;
  hold_pattern.hold_near[kLeg] = 1;
}

void BM_HoldPattern(benchmark::State& state) {
  route_with("HM");
  for (auto _ : state) {
    compute_hold_pattern(kLeg);
    benchmark::DoNotOptimize(hold_pattern.hold_far_lat[kLeg]);
  }
}
BENCHMARK(BM_HoldPattern);

void BM_ProcTurn(benchmark::State& state) {
  route_with("PI");
  for (auto _ : state) {
    compute_proc_turn(kLeg);
    benchmark::DoNotOptimize(proc_turn.pi_lenght[kLeg]);
  }
}
BENCHMARK(BM_ProcTurn);

void BM_ProcTurnPoint(benchmark::State& state) {
  route_with("PI");
  compute_proc_turn(kLeg);
  const float total = proc_turn.pi_lenght[kLeg];
  float d = 0.0f;
  for (auto _ : state) {
    d += 0.37f;
    if (d > total) d = 0.0f;
    benchmark::DoNotOptimize(leg_geometry(kLeg, d));
  }
}
BENCHMARK(BM_ProcTurnPoint);

}  // namespace
