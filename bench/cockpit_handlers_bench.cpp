// Cost of one host callback of the busiest cockpit panel handlers: the held
// yoke trim (runs every frame while held), the flap lever step and the host
// landing light toggle.
#include <benchmark/benchmark.h>

#include "commands/command_handlers.h"
#include "core/binding.h"
#include "core/frame_values.h"
#include "systems/electrical/electric_values.h"
#include "systems/flight_controls/flight_control_values.h"

namespace {

void BM_YokeTrimHeldCallback(benchmark::State& state) {
  frame_time = 0.02f;
  electric::ac_tnsbus1_status = 1.0f;
  for (auto _ : state) {
    host_mirror.sim_cockpit2_controls_elevator_trim = 0.0f;
    hook_flight_controls_pitch_trim_up(nullptr, xplm_CommandContinue, nullptr);
    benchmark::DoNotOptimize(host_mirror.sim_cockpit2_controls_elevator_trim);
  }
}
BENCHMARK(BM_YokeTrimHeldCallback);

void BM_FlapLeverDownUp(benchmark::State& state) {
  flt_ctrls::flap_lever = 0.3f;
  for (auto _ : state) {
    hook_flight_controls_flaps_down(nullptr, xplm_CommandBegin, nullptr);
    hook_flight_controls_flaps_up(nullptr, xplm_CommandBegin, nullptr);
    benchmark::DoNotOptimize(flt_ctrls::flap_lever);
  }
}
BENCHMARK(BM_FlapLeverDownUp);

void BM_LandingLightsToggle(benchmark::State& state) {
  for (auto _ : state) {
    hook_lights_landing_lights_toggle(nullptr, xplm_CommandBegin, nullptr);
  }
}
BENCHMARK(BM_LandingLightsToggle);

}  // namespace
