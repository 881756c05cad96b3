// The panel-state exchange of one frame: the apply that repeats on every frame
// while the scripts hold mode 0 (host pushes included), and the two saves.
#include <benchmark/benchmark.h>

#include <string>

#include "commands/registration.h"
#include "core/binding.h"
#include "aircraft/panel_state.h"
#include "host.h"
#include "systems/air/air_values.h"

namespace {

void prepare(float mode, const std::string& text) {
  simhost::reset();
  for (XPLMDataRef& h : bound_handles) h = nullptr;
  bind_outside_datarefs();
  bind_host_datarefs();
  bind_script_datarefs();
  register_commands();
  std::string bytes = text;
  bytes.resize(512, '\0');
  simhost::set_bytes("zuvadud/D738/state_cmd", bytes);
  simhost::set_float("zuvadud/D738/state_cmd2", mode);
}

void BM_ApplyEveryFrame(benchmark::State& state) {
  std::string panel(131, '1');
  panel[69] = '0';  // no host command on every pass
  prepare(0.0f, panel);
  for (auto _ : state) {
    exchange_panel_state();
    benchmark::DoNotOptimize(air::l_pack_pos);
  }
  simhost::reset();
}
BENCHMARK(BM_ApplyEveryFrame);

// The scripts' answer is reset each pass so every pass saves.
void BM_SaveFirstBlock(benchmark::State& state) {
  prepare(4.0f, "");
  const std::string empty(512, '\0');
  for (auto _ : state) {
    simhost::set_bytes("zuvadud/D738/state_cmd", empty);
    simhost::set_float("zuvadud/D738/state_cmd2", 4.0f);
    exchange_panel_state();
  }
  simhost::reset();
}
BENCHMARK(BM_SaveFirstBlock);

void BM_SaveLastBlock(benchmark::State& state) {
  prepare(6.0f, "");
  std::string field(92, '0');
  field.resize(512, '\0');
  for (auto _ : state) {
    simhost::set_bytes("zuvadud/D738/state_cmd", field);
    simhost::set_float("zuvadud/D738/state_cmd2", 6.0f);
    exchange_panel_state();
  }
  simhost::reset();
}
BENCHMARK(BM_SaveLastBlock);

}  // namespace
