// Route builds with arc legs and a direct-to: the path builder's pass over a
// 100-waypoint route where every fourth leg is a DME arc, the direct-to build
// that precedes it, and the display routes' direct-to turn.
#include <benchmark/benchmark.h>

#include <random>

#include "core/binding.h"
#include "lnav/route_fixture.h"

namespace {

constexpr int kLegs = 100;

void make_arc_route() {
  static double pts[kLegs][2];
  static double ctr[kLegs][3];  // lat, lon, radius (0 none)
  std::mt19937 rng(11);
  std::uniform_real_distribution<double> turn(-100.0, 100.0), len(4.0, 40.0), unit(0.0, 1.0);
  double lat = 45.0, lon = 5.0, crs = 90.0;
  for (int k = 0; k < kLegs; ++k) {
    ctr[k][2] = 0.0;
    if (k >= 2 && k % 4 == 0) {
      const bool right = unit(rng) < 0.5;
      const double r = 6.0 + 10.0 * unit(rng);
      gc_destination(lat, lon, crs + (right ? 90.0 : 270.0), r);
      const double clat = nav_result.lat, clon = nav_result.lon;
      const double a1 = gc_bearing(clat, clon, lat, lon) + (right ? 60.0 : -60.0);
      gc_destination(clat, clon, a1, r);
      ctr[k][0] = clat;
      ctr[k][1] = clon;
      ctr[k][2] = right ? r : -r;
      crs = a1 + (right ? 90.0 : 270.0);
    } else {
      crs = std::fmod(crs + turn(rng) + 360.0, 360.0);
      gc_destination(lat, lon, crs, len(rng));
    }
    pts[k][0] = lat = nav_result.lat;
    pts[k][1] = lon = nav_result.lon;
    if (k == 0) {
      pts[0][0] = lat = 45.0;
      pts[0][1] = lon = 5.0;
    }
  }
  lnav_fixture::make_route(pts, kLegs);
  for (int k = 0; k < kLegs; ++k) {
    if (ctr[k][2] == 0.0) continue;
    lnav_fixture::set_text(route_tables.leg_path_types[k], "AF");
    legs_rad_lat[k] = static_cast<float>(ctr[k][0]);
    legs_rad_lon[k] = static_cast<float>(ctr[k][1]);
    legs_radius[k] = static_cast<float>(std::fabs(ctr[k][2]));
    legs_rad_turn[k] = ctr[k][2] > 0.0 ? 3.0f : 2.0f;
  }
}

void BM_ArcRouteBuild(benchmark::State& state) {
  make_arc_route();
  for (auto _ : state) benchmark::DoNotOptimize(lnav_fixture::build_route());
  state.SetItemsProcessed(state.iterations() * (kLegs - 1));
}
BENCHMARK(BM_ArcRouteBuild);

void BM_DirectToThenRouteBuild(benchmark::State& state) {
  make_arc_route();
  gc_destination(legs_lat[3], legs_lon[3], 200.0, 0.4);
  dir_start_lat = static_cast<float>(nav_result.lat);
  dir_start_lon = static_cast<float>(nav_result.lon);
  dir_init_crs = 10.0f;
  route_change_values.intdir_crs = -1.0f;
  host_mirror.sim_flightmodel_position_groundspeed = 120.0f;
  for (auto _ : state) {
    legs_direct[3] = 1.0f;
    int i = calc_legs_path(3, 1);
    for (int calls = 0; static_cast<float>(i) <= fms_seq.legs_num - 1.0f && calls < 600; ++calls) {
      legs_bypass[i] = 0.0f;
      i = calc_legs_path(i, 0);
    }
    benchmark::DoNotOptimize(i);
  }
}
BENCHMARK(BM_DirectToThenRouteBuild);

void BM_DisplayRouteDirectTurn(benchmark::State& state) {
  DisplayRoute& rt = display_routes[0];
  rt.count = 10.0f;
  for (int k = 0; k < 10; ++k) {
    rt.lat[k] = 45.0f + 0.1f * static_cast<float>(k);
    rt.lon[k] = 5.0f;
  }
  fms_copies.vnav_idx_mod = 4.0f;
  fms_seq.intdir = 1.0f;
  on_ground = 0;
  host_mirror.sim_flightmodel_position_latitude = 45.1;
  host_mirror.sim_flightmodel_position_longitude = 5.2;
  host_mirror.sim_flightmodel_position_groundspeed = 120.0f;
  host_mirror.sim_cockpit2_gauges_indicators_heading_AHARS_deg_mag_pilot = 90.0f;
  for (auto _ : state) {
    intdir_turn();
    benchmark::DoNotOptimize(direct_turn_mod.radius);
  }
}
BENCHMARK(BM_DisplayRouteDirectTurn);

}  // namespace
