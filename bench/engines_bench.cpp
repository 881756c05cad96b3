// Cost of one frame of the engine road (state logic, levers and autothrottle,
// N1 command with the flight-model adjustments, start and spool, indications,
// force model) through the simulated host's dataref calls, and of the table
// lookups the command makes several times per engine and frame.
#include <benchmark/benchmark.h>

#include "core/binding.h"
#include "core/frame_values.h"
#include "core/preprocess_values.h"
#include "core/variant.h"
#include "engines/engine_steps.h"
#include "engines/engine_values.h"
#include "host.h"

namespace {

void setup(int version) {
  simhost::reset();
  bind_outside_datarefs();
  bind_host_datarefs();
  bind_addon_datarefs();
  bind_script_datarefs();
  host_version = version;
  variant_index = -1;
  frame_time = 1.0f / 30.0f;
  on_ground = 0;
  HostMirror& h = host_mirror;
  h.sim_weather_sigma = 0.8f;
  h.sim_cockpit2_temperature_outside_air_temp_degc = 5.0f;
  for (int e = 0; e < 2; ++e) {
    h.sim_flightmodel2_engines_N1_percent[e] = 85.0f;
    h.sim_flightmodel2_engines_N2_percent[e] = 92.0f;
    h.sim_flightmodel_engine_ENGN_running[e] = 1;
    h.sim_flightmodel2_engines_engine_is_burning_fuel[e] = 1;
  }
  h.sim_flightmodel_misc_machno = 0.6f;
  script_mirror.zuvadud_D738_autopilot_speed_mode2 = 2.0f;
  script_mirror.zuvadud_D738_autopilot_mcp_speed_dial_kts = 280.0f;
  h.sim_cockpit2_gauges_indicators_airspeed_kts_pilot = 270.0f;
  set_thrust_tables();
}

void BM_engine_frame(benchmark::State& state) {
  setup(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    engine_forces_update();
    update_engine_eicas();
    update_thrust_control();
    compute_idle_n1(engine::idle_mode[0], engine::idle_mode[1]);
    engine_n1_command_update();
    update_engine_indications();
    update_inflight_start_envelope();
    update_engine_start();
    benchmark::DoNotOptimize(engine::eng1_egt);
  }
  simhost::reset();
}
BENCHMARK(BM_engine_frame)->Arg(110000)->Arg(120000);

void BM_requested_n1(benchmark::State& state) {
  setup(110000);
  float lever = 0.0f;
  for (auto _ : state) {
    benchmark::DoNotOptimize(requested_n1_fraction(lever, 0.0f, 1, 0));
    lever = lever > 1.0f ? 0.0f : lever + 0.01f;
  }
  simhost::reset();
}
BENCHMARK(BM_requested_n1);

void BM_thrust_curve(benchmark::State& state) {
  float x = 0.0f;
  for (auto _ : state) {
    benchmark::DoNotOptimize(engine_thrust_curve(x));
    x = x > 1.05f ? 0.0f : x + 0.01f;
  }
}
BENCHMARK(BM_thrust_curve);

}  // namespace
