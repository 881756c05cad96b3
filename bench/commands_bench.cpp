// Start-up and stop cost of the command registration: every look-up, creation,
// take-over and withdrawal, against the simulated host.
#include <benchmark/benchmark.h>

#include "commands/command_refs.h"
#include "host.h"
#include "commands/registration.h"

namespace {

void unregister_all() {
  unregister_n1_source_commands();
  unregister_audio_panel_commands();
  unregister_anti_ice_commands();
  unregister_radio_panel_commands();
  unregister_chrono_commands();
  unregister_fire_commands();
  unregister_cover_commands();
  unregister_light_switch_commands();
  unregister_cabin_light_commands();
  unregister_main_commands();
}

void BM_RegisterAndWithdrawAllCommands(benchmark::State& state) {
  simhost::reset();
  for (auto _ : state) {
    register_commands();
    unregister_all();
  }
}
BENCHMARK(BM_RegisterAndWithdrawAllCommands);

void BM_IssueOwnCommand(benchmark::State& state) {
  simhost::reset();
  register_commands();
  for (auto _ : state) {
    issue_command_once(OwnCmd::push_button_gear_up);
    simhost::clear_issued_commands();
  }
  unregister_all();
}
BENCHMARK(BM_IssueOwnCommand);

}  // namespace
