// One full route build: the main loop's pass of the path builder over a
// 100-waypoint route of mixed turns.
#include <benchmark/benchmark.h>

#include <random>

#include "lnav/route_fixture.h"

namespace {

void BM_FullRouteBuild(benchmark::State& state) {
  const int n = 100;
  static double pts[n][2];
  std::mt19937 rng(7);
  std::uniform_real_distribution<double> turn(-120.0, 120.0), len(3.0, 40.0);
  double lat = 45.0, lon = 5.0, crs = 90.0;
  for (int k = 0; k < n; ++k) {
    pts[k][0] = lat;
    pts[k][1] = lon;
    crs = std::fmod(crs + turn(rng) + 360.0, 360.0);
    gc_destination(lat, lon, crs, len(rng));
    lat = nav_result.lat;
    lon = nav_result.lon;
  }
  lnav_fixture::make_route(pts, n);
  for (auto _ : state) {
    benchmark::DoNotOptimize(lnav_fixture::build_route());
  }
  state.SetItemsProcessed(state.iterations() * (n - 1));
}
BENCHMARK(BM_FullRouteBuild);

}  // namespace
