// Cost of one host callback of the per-frame panel handlers: the first
// officer's held yoke trim, a held radio tuning knob repeating, COM 3's
// kilohertz ring and the reverser toggle take-over. No host is loaded, so the
// handles are null and the host calls are skipped: this is the handlers' own
// work.
#include <benchmark/benchmark.h>

#include "commands/command_handlers.h"
#include "commands/command_hold.h"
#include "core/binding.h"
#include "core/frame_values.h"
#include "systems/radios/comm_values.h"
#include "systems/flight_controls/elec_trim_state.h"
#include "systems/electrical/electric_values.h"

namespace {

void BM_FoTrimHeldCallback(benchmark::State& state) {
  frame_time = 0.02f;
  electric::ac_tnsbus1_status = 1.0f;
  elec_trim_travel_time = 85.5f;
  for (auto _ : state) {
    host_mirror.sim_cockpit2_controls_elevator_trim = 0.0f;
    cmd_flight_controls_fo_pitch_trim_up(nullptr, xplm_CommandContinue, nullptr);
    benchmark::DoNotOptimize(host_mirror.sim_cockpit2_controls_elevator_trim);
  }
}
BENCHMARK(BM_FoTrimHeldCallback);

void BM_TuningKnobRepeatCallback(benchmark::State& state) {
  frame_time = 0.02f;
  comm::rtp_L_off_status = 0.0f;
  comm::rtp_L_lcd_to_display = 0.0f;
  command_hold_time = 1.0f;
  for (auto _ : state) {
    cmd_rtp_L_freq_khz_sel_dial_up(nullptr, xplm_CommandContinue, nullptr);
    benchmark::DoNotOptimize(comm::rtp_L_freq_khz_sel_dial_pos);
  }
}
BENCHMARK(BM_TuningKnobRepeatCallback);

void BM_Com3KilohertzStep(benchmark::State& state) {
  for (auto _ : state) {
    cmd_com3_dial_fine_up(nullptr, xplm_CommandBegin, nullptr);
    benchmark::DoNotOptimize(comm::com3_stdby_freq_kHz);
  }
}
BENCHMARK(BM_Com3KilohertzStep);

void BM_ReverserToggle(benchmark::State& state) {
  for (auto _ : state) {
    hook_engines_thrust_reverse_toggle(nullptr, xplm_CommandBegin, nullptr);
    benchmark::DoNotOptimize(host_mirror.sim_cockpit2_engine_actuators_prop_mode[0]);
  }
}
BENCHMARK(BM_ReverserToggle);

}  // namespace
