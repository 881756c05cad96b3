// The per-frame route work of this module on a built 100-waypoint route:
// route tracking from a position on the path, and one sequencing group
// (active leg advance, then the state machine).
#include <benchmark/benchmark.h>

#include <random>

#include "core/binding.h"
#include "lnav/path/path_position.h"
#include "lnav/route_fixture.h"
#include "lnav/route/route_tracking.h"
#include "lnav/route/sequencing.h"
#include "lnav/route/route_geometry.h"

namespace {

void build_mixed_route() {
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
  lnav_fixture::build_route();
}

// Path position of points along every leg of the route.
void BM_PathPositionAlongRoute(benchmark::State& state) {
  build_mixed_route();
  for (auto _ : state) {
    int32_t sum = 0;
    for (int32_t i = 2; i < 99; ++i) {
      leg_geometry(i, 1.0f);
      sum += path_position_dir(i, prev_valid_leg(i), nav_result.lat, nav_result.lon, 1);
    }
    benchmark::DoNotOptimize(sum);
  }
  state.SetItemsProcessed(state.iterations() * 97);
}
BENCHMARK(BM_PathPositionAlongRoute);

// One frame's tracking and sequencing group on leg 50.
void BM_TrackingAndSequencingFrame(benchmark::State& state) {
  build_mixed_route();
  leg_geometry(50, 2.0f);
  host_mirror.sim_flightmodel_position_latitude = nav_result.lat;
  host_mirror.sim_flightmodel_position_longitude = nav_result.lon;
  host_mirror.sim_flightmodel_position_groundspeed = 128.0f;
  host_mirror.sim_cockpit2_gauges_indicators_heading_AHARS_deg_mag_pilot = magvar_course(50);
  for (auto _ : state) {
    fms_seq.vnav_idx = fms_seq.vnav_idx_seq = 51.0f;
    fms_seq.nav_mode = 0.0f;
    if (!sequence_legs_new_offset()) sequence_legs();
    update_route_tracking();
    benchmark::DoNotOptimize(route_track.abeam_dist);
  }
}
BENCHMARK(BM_TrackingAndSequencingFrame);

}  // namespace
