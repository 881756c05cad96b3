// Start-up and stop cost of the command registration: every look-up, creation,
// take-over and withdrawal, against the simulated host.
#include <benchmark/benchmark.h>

#include "core/command_refs.h"
#include "host.h"
#include "commands/registration.h"
#include "withdraw_commands.h"

namespace {

void unregister_all() {
  withdraw_all_command_handlers();
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
