// Per-frame cost of the route pass after the decode over the simulated host:
// a full path build of a long route, the intake of a full second route, and
// the abeam search over the most candidates the scripts can hand over.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "core/binding.h"
#include "core/frame_values.h"
#include "core/preprocess_values.h"
#include "lnav/route/route.h"
#include "lnav/route/route_intake.h"
#include "lnav/route/route_sets.h"
#include "host.h"
#include "lnav/route/fms_legs.h"
#include "lnav/path/leg_path.h"
#include "lnav/route/route_state.h"
#include "bind_for_test.h"

namespace {

void bind_all() {
  simhost::reset();
  rebind_datarefs();
}

void set_text(const std::string& name, std::string text) {
  text.resize(simhost::array_size(name), '\0');
  simhost::set_bytes(name, text);
}

// n waypoints zig-zagging east, TF legs, the aircraft on the second leg: the
// frame builds every leg's transition.
void BM_RoutePassPathBuild(benchmark::State& state) {
  bind_all();
  const int n = static_cast<int>(state.range(0));
  std::string ids, types;
  for (int k = 0; k < n; ++k) {
    legs_lat[k] = (k % 2 == 0) ? 0.0f : 0.2f;
    legs_lon[k] = 0.5f * static_cast<float>(k);
    legs_rad_turn[k] = -1.0f;
    legs_spd_calc[k] = 250.0f;
    ids += "W" + std::to_string(k) + " ";
    types += k == 0 ? "IF" : "TF";
  }
  set_text("zuvadud/D738/fms/legs", ids.substr(0, 1024));
  set_text("zuvadud/D738/fms/legs_pth", types);
  simhost::set_float("zuvadud/D738/vnav/legs_num", static_cast<float>(n - 1));
  simhost::set_float("zuvadud/D738/fms/vnav_idx", 2.0f);
  simhost::set_float("zuvadud/D738/fms/vnav_idx_seq", 2.0f);
  simhost::set_float("zuvadud/D738/fms/legs_change", 1.0f);
  host_mirror.sim_flightmodel_position_latitude = 0.05;
  host_mirror.sim_flightmodel_position_longitude = 0.2;
  host_mirror.sim_flightmodel_position_groundspeed = 120.0f;
  sim_paused = 0;
  on_ground = 0;
  for (auto _ : state) {
    route_reads();
    route_pass();
  }
  benchmark::DoNotOptimize(legs_dist_dest_true[0]);
  simhost::reset();
}
BENCHMARK(BM_RoutePassPathBuild)->Arg(20)->Arg(100);

// A 255-leg second route handed over on every frame, holds throughout.
void BM_RouteSetIntakeFull(benchmark::State& state) {
  bind_all();
  std::vector<float> v(256, 1.0f);
  for (const char* f : {"lat", "lon", "spd", "hold_time", "idx", "crs_mag"}) {
    simhost::set_floats(std::string("zuvadud/D738/fms/legs_") + f + "_2", v);
  }
  std::string ids;
  for (int k = 0; k < 128; ++k) ids += "H" + std::to_string(k) + " ";
  set_text("zuvadud/D738/fms/legs_2", ids);
  set_text("zuvadud/D738/fms/legs_ext_2", ids);
  set_text("zuvadud/D738/fms/legs_pth_2", std::string(512, 'H'));
  simhost::set_float("zuvadud/D738/fms/legs_num2", 255.0f);
  for (auto _ : state) {
    fms_copies.legs_change2 = 1.0f;
    take_route_set(0);
  }
  benchmark::DoNotOptimize(route_set2.hold_len[255]);
  simhost::reset();
}
BENCHMARK(BM_RouteSetIntakeFull);

// 256 abeam candidates either side of the track, all tested and most accepted.
void BM_AbeamPoints256(benchmark::State& state) {
  bind_all();
  std::vector<float> lat(256), lon(256);
  for (int k = 0; k < 256; ++k) {
    lat[k] = (k % 2 == 0) ? 0.5f : -0.5f;
    lon[k] = 0.3f + 0.02f * static_cast<float>(k);
  }
  simhost::set_floats("zuvadud/D738/fms/legs_abeam_lat", lat);
  simhost::set_floats("zuvadud/D738/fms/legs_abeam_lon", lon);
  simhost::set_float("zuvadud/D738/fms/legs_abeam_num", 256.0f);
  host_mirror.sim_flightmodel_position_latitude = 0.0;
  host_mirror.sim_flightmodel_position_longitude = 0.0;
  direct_turn_mod.track = 90.0f;
  direct_turn_mod.turn = 0.0f;
  fms_seq.vnav_idx = 2.0f;
  route_set2.lat[1] = 0.0f;
  route_set2.lon[1] = 20.0f;
  for (auto _ : state) compute_abeam_points();
  benchmark::DoNotOptimize(abeam_points.available);
  simhost::reset();
}
BENCHMARK(BM_AbeamPoints256);

}  // namespace
