// Cost of the per-frame guidance steps through the simulated host's dataref
// calls: LNAV steering on a route straight and in an arc, the flight director
// with both bars updating, and the speed tape.
#include <benchmark/benchmark.h>

#include "core/binding.h"
#include "core/frame_values.h"
#include "lnav/route/route_intake.h"
#include "display/display_steps.h"
#include "host.h"
#include "lnav/route/fms_legs.h"
#include "lnav/guidance_steps.h"
#include "lnav/steering/lnav_steering.h"

namespace {

void bind_all() {
  simhost::reset();
  for (XPLMDataRef& h : bound_handles) h = nullptr;
  bind_outside_datarefs();
  bind_host_datarefs();
  bind_script_datarefs();
}

void BM_lnav_steering(benchmark::State& state) {
  bind_all();
  simhost::set_float("zuvadud/D738/autopilot/lnav_engaged", 1.0f);
  simhost::set_float("zuvadud/D738/fms/nav_mode", static_cast<float>(state.range(0)));
  set_mirror_f(bound::sim_flightmodel_position_groundspeed, 120.0f);
  fms_seq.vnav_idx_seq = 3.0f;
  fms_seq.vnav_idx_seq_prev = 2.0f;
  fms_seq.legs_num = 10.0f;
  legs_lat[1] = 0.0f;
  legs_lon[1] = 0.5f;
  legs_lat[2] = 0.0f;
  legs_lon[2] = 1.0f;
  legs_seg2_end_lat[1] = 0.0f;
  legs_seg2_end_lon[1] = 0.5f;
  legs_seg2_crs_true[1] = 90.0f;
  legs_seg1_radius[1] = 3.0f;
  legs_seg3_turn[1] = 3.0f;
  double lon = 0.0;
  for (auto _ : state) {
    set_mirror_f(bound::sim_flightmodel_position_longitude, static_cast<float>(lon));
    update_lnav_steering();
    lon = lon > 0.4 ? 0.0 : lon + 0.0001;
  }
  simhost::reset();
}
BENCHMARK(BM_lnav_steering)->Arg(0)->Arg(6)->Arg(9);

void BM_flight_director(benchmark::State& state) {
  bind_all();
  set_controller_limits();
  host_version = 120000;
  frame_time = 0.07f;  // every call updates both bars
  set_mirror_f(bound::sim_operation_override_override_flightdir_roll, 1.0f);
  set_mirror_f(bound::sim_operation_override_override_flightdir_ptch, 1.0f);
  set_mirror_f(bound::sim_cockpit2_autopilot_heading_dial_deg_mag_pilot, 90.0f);
  simhost::set_float("zuvadud/autopilot/fdir_pitch_active", 1.0f);
  simhost::set_float("zuvadud/D738/autopilot/heading_mode", 1.0f);
  simhost::set_float("zuvadud/D738/autopilot/altitude_mode", static_cast<float>(state.range(0)));
  for (auto _ : state) {
    update_flight_director();
    benchmark::DoNotOptimize(flight_director_state.fd_pitch_cpt);
  }
  simhost::reset();
}
BENCHMARK(BM_flight_director)->Arg(2)->Arg(3);

void BM_ias_override(benchmark::State& state) {
  bind_all();
  frame_done = 1;
  frame_time = 1.0f / 30.0f;
  simhost::set_float("sim/cockpit2/gauges/indicators/calibrated_airspeed_kts_pilot", 250.0f);
  for (auto _ : state) {
    ias_override();
    update_pfd_stall_band();
  }
  simhost::reset();
}
BENCHMARK(BM_ias_override);

}  // namespace
