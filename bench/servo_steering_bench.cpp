// Cost of the per-frame servo laws (all three servos engaged, through the
// simulated host's dataref calls) and of the steering helpers that LNAV
// steering and the sequencing call several times per frame.
#include <benchmark/benchmark.h>

#include "core/binding.h"
#include "core/frame_values.h"
#include "host.h"
#include "lnav/guidance_steps.h"
#include "lnav/steering/servo_laws.h"
#include "lnav/steering/steering_helpers.h"

namespace {

void BM_ap_servo_engaged(benchmark::State& state) {
  simhost::reset();
  bind_outside_datarefs();
  bind_host_datarefs();
  bind_script_datarefs();
  set_controller_limits();
  simhost::set_float("zuvadud/D738/autopilot/enable_servo_pitch", 1.0f);
  simhost::set_float("zuvadud/D738/autopilot/enable_servo_elev_pitch", 1.0f);
  simhost::set_float("zuvadud/D738/autopilot/enable_servo_yaw", 1.0f);
  simhost::set_float("sim/cockpit/autopilot/flight_director_pitch", 3.0f);
  set_mirror_f(bound::zuvadud_autopilot_ap_on, 1.0f);
  frame_time = 1.0f / 30.0f;
  for (auto _ : state) {
    ap_servo();
    benchmark::DoNotOptimize(pitch_servo.trim_cmd);
  }
  simhost::reset();
}
BENCHMARK(BM_ap_servo_engaged);

void BM_lnav_intercept_hdg(benchmark::State& state) {
  set_mirror_f(bound::sim_flightmodel_position_groundspeed, 120.0f);
  float x = -2.0f;
  for (auto _ : state) {
    benchmark::DoNotOptimize(lnav_intercept_hdg(90.0f, x, 100.0f, 0));
    x = x > 2.0f ? -2.0f : x + 0.01f;
  }
}
BENCHMARK(BM_lnav_intercept_hdg);

void BM_arc_steer(benchmark::State& state) {
  set_mirror_f(bound::sim_flightmodel_position_groundspeed, 120.0f);
  float x = -2.0f;
  for (auto _ : state) {
    benchmark::DoNotOptimize(arc_steer(90.0f, x, 3.5f, 3.0f));
    x = x > 2.0f ? -2.0f : x + 0.01f;
  }
}
BENCHMARK(BM_arc_steer);

}  // namespace
