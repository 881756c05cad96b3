// The direct-to turn from the present position (once per unpaused frame) and
// a course crossing between two points on one meridian, which the arc and
// turn constructions meet on every due-north or due-south course.
#include <benchmark/benchmark.h>

#include "core/binding.h"
#include "core/preprocess_values.h"
#include "lnav/route/route_intake.h"
#include "lnav/route/fms_legs.h"
#include "lnav/guidance_steps.h"
#include "lnav/path/leg_path.h"
#include "lnav/path/leg_path_internal.h"
#include "navdata/geodesy.h"

namespace {

void BM_PresentPositionDirectTurn(benchmark::State& state) {
  gc_destination(45.0, 5.0, 90.0, 20.0);
  legs_lat[2] = static_cast<float>(nav_result.lat);
  legs_lon[2] = static_cast<float>(nav_result.lon);
  fms_seq.intdir_act = 3.0f;
  fms_seq.vnav_idx = 3.0f;
  host_mirror.sim_flightmodel_position_latitude = 45.0;
  host_mirror.sim_flightmodel_position_longitude = 5.0;
  host_mirror.sim_flightmodel_position_groundspeed = 128.0f;
  host_mirror.sim_cockpit2_gauges_indicators_heading_AHARS_deg_mag_pilot = 0.0f;
  for (auto _ : state) {
    calc_direct_turn_path();
    benchmark::DoNotOptimize(direct_to_turn_path.final_crs);
  }
}
BENCHMARK(BM_PresentPositionDirectTurn);

void BM_CrossingOnOneMeridian(benchmark::State& state) {
  for (auto _ : state) {
    double a_lat = 40.0, a_lon = -70.0, b_lat = 40.2, b_lon = -70.0 + 1e-9;
    legpath::off_meridian(a_lat, a_lon, 90.0, b_lat, b_lon, 135.0);
    gc_intersection(a_lat, a_lon, 90.0, b_lat, b_lon, 135.0);
    benchmark::DoNotOptimize(nav_result.lat);
  }
}
BENCHMARK(BM_CrossingOnOneMeridian);

}  // namespace
