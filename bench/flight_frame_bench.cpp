// Frame cost in flight: the built module in the simulated host, with a
// world-size navigation data set, a powered cockpit, a 26-leg route (fly-by
// turns, an arc, a hold, a procedure turn), LNAV and VNAV engaged, both maps
// in MAP mode at 40 nm with airports, navaids and waypoints shown, a full set
// of traffic moving around the aircraft, and the aircraft flown along the
// route. Each benchmark flies the same flight once and reports, over the
// frames after the first 100, the distribution of the host-measured time of
// the main flight loop or of the draw callback.
//
//   BM_FlightFrameMainLoop     the main flight loop
//   BM_FlightFrameDrawCounted  the draw callback, OpenGL calls only counted
//   BM_FlightFrameDrawMesa     the draw callback rasterised by Mesa
//   BM_FlightFrameChecks       the runner's checks of every published value
//                              after the frame (corvane-sim --invariants)
//   BM_FlightFrameMainLoopRatio  the main flight loop of this build against
//                              the module CORVANE_FLIGHT_BASELINE names, the
//                              flights alternating in one run (skipped
//                              without it): the median of after / before
//
// CORVANE_FLIGHT_MODULE flies another module than this build's;
// CORVANE_FLIGHT_DUMP=FILE writes every published value and drawn line every
// CORVANE_FLIGHT_DUMP_EVERY frames (default 25; scripts/trace-compare.sh
// uses 1 to compare two builds frame by frame); CORVANE_FLIGHT_WORLD is the
// folder the flight's host root is made in (default: the temporary folder's
// corvane_flight_bench).
//
// Counters: p50_us, p90_us, p99_us, max_us (and gl_calls per draw).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "gl_counting.h"
#include "host.h"
#include "flight_profile.h"
#include "world_navdata.h"
#include "runner/invariants.h"

namespace {

constexpr int kWarmupFrames = 100;
constexpr int kMeasuredFrames = 10000;
constexpr float kFrameSeconds = 1.0f / 30;

// ---- one measured flight --------------------------------------------------------

enum class What { MainLoop, Draw, Checks };

struct Samples {
  std::vector<double> us;
  long long gl_calls = 0;
  int draws = 0;
};

const std::filesystem::path& world_root() {
  static const std::filesystem::path root = [] {
    // CORVANE_FLIGHT_WORLD: another folder, so two runs at once do not share one.
    const char* world = std::getenv("CORVANE_FLIGHT_WORLD");
    const std::filesystem::path r =
        world ? std::filesystem::path(world) : std::filesystem::temp_directory_path() / "corvane_flight_bench";
    const std::filesystem::path sample = std::filesystem::path(CORVANE_SOURCE_DIR) / "sample" / "root";
    std::filesystem::remove_all(r);
    std::filesystem::copy(sample, r, std::filesystem::copy_options::recursive);
    bench_world::DenseRegion dense{47.8, -122.0, 3.0, 4};
    const bench_world::WorldFiles w = bench_world::generate_world(r / "world", dense);
    const std::filesystem::path nav = r / "Resources" / "default data", acf = r / "Aircraft" / "D738";
    const auto over = std::filesystem::copy_options::overwrite_existing;
    std::filesystem::copy_file(w.nav, nav / "earth_nav.dat", over);
    std::filesystem::copy_file(w.fix, nav / "earth_fix.dat", over);
    std::filesystem::copy_file(w.apt, acf / "Velar_apt.dat", over);
    std::filesystem::copy_file(w.rnw, acf / "Velar_rnw.dat", over);
    std::filesystem::copy_file(w.gate, acf / "Velar_gate.dat", over);
    return r;
  }();
  return root;
}

double loop_seconds() {
  for (const simhost::LoopInfo& l : simhost::flight_loops())
    if (l.phase == 1 && l.interval != 0 && l.calls > 0) return l.last_seconds;  // the main loop runs every frame
  return 0;
}

double draw_seconds() {
  double s = 0;
  for (const simhost::DrawInfo& d : simhost::draw_callbacks()) s += d.last_seconds;
  return s;
}

// Everything the module published and drew, as text, for comparing two
// builds of the module over the same flight (CORVANE_FLIGHT_DUMP=FILE).
void dump_state(std::FILE* out, int frame) {
  std::fprintf(out, "frame %d\n", frame);
  for (const simhost::DatarefInfo& d : simhost::plugin_datarefs()) {
    std::string v;
    if (simhost::format_value(d.name, &v)) std::fprintf(out, "%s=%s\n", d.name.c_str(), v.c_str());
  }
  for (const simhost::Line& l : simhost::captured_lines())
    std::fprintf(out, "line %a %a %a %a %a %a %a\n", l.x0, l.y0, l.x1, l.y1, l.r, l.g, l.b);
}

bool fly_flight(What what, bool rasterise, Samples* out, std::string* error, const char* module_path = nullptr) {
  simhost::Config config;
  config.root = world_root().string();
  simhost::reset(config);
  // Start-up draws and clocks pinned, so two builds fly the same flight.
  simhost::pin_time(1796000000);
  simhost::pin_rand([n = 12345u]() mutable {
    n = n * 1103515245u + 12345u;
    return static_cast<int>((n >> 16) & 0x7fff);
  });
  const char* dump_path = std::getenv("CORVANE_FLIGHT_DUMP");
  std::FILE* dump = dump_path ? std::fopen(dump_path, "w") : nullptr;
  // Feedback mode rasterises nothing; a dump captures through Mesa.
  simhost::set_draw_capture(!rasterise || dump);
  gl_counting::forward = rasterise || dump;
  const char* module = module_path ? module_path : std::getenv("CORVANE_FLIGHT_MODULE");
  if (!simhost::load_and_start(module ? module : CORVANE_MODULE_PATH, error)) return false;
  const char* every_text = std::getenv("CORVANE_FLIGHT_DUMP_EVERY");
  const int dump_every = every_text && std::atoi(every_text) > 0 ? std::atoi(every_text) : 25;
  gl_counting::locate_module("lin.xpl");
  flight_profile::Flight f = flight_profile::prepare(kFrameSeconds);
  runner::Invariants checks;
  std::FILE* alerts = nullptr;  // the checks' log lines, kept out of the report
  if (what == What::Checks) {
    if (!checks.prepare(std::string(CORVANE_SOURCE_DIR) + "/simhost/catalog/", scenario::Script(), "bench", error))
      return false;
    checks.enable(true);
    alerts = std::tmpfile();
  }
  for (int frame = 0; frame < kWarmupFrames + kMeasuredFrames; ++frame) {
    flight_profile::advance(f, frame, kFrameSeconds);
    const long long gl_before = gl_counting::module_calls;
    simhost::frame(kFrameSeconds);
    if (dump && frame % dump_every == 0) dump_state(dump, frame);
    double checked = 0;
    if (what == What::Checks) {
      const auto t0 = std::chrono::steady_clock::now();
      checks.after_frame(frame + 1, (frame + 1) * static_cast<double>(kFrameSeconds), alerts);
      checked = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    }
    if (frame < kWarmupFrames) continue;
    const double s = what == What::MainLoop ? loop_seconds() : what == What::Draw ? draw_seconds() : checked;
    out->us.push_back(s * 1e6);
    out->gl_calls += gl_counting::module_calls - gl_before;
    ++out->draws;
  }
  if (dump) std::fclose(dump);
  if (alerts) std::fclose(alerts);
  if (const char* png = std::getenv("CORVANE_FLIGHT_PNG"); png && rasterise) simhost::write_png(png);
  simhost::reset();
  gl_counting::forward = true;
  return true;
}

double percentile(std::vector<double> v, double p) {
  if (v.empty()) return 0;
  std::sort(v.begin(), v.end());
  const size_t i = std::min(v.size() - 1, static_cast<size_t>(p * static_cast<double>(v.size() - 1) + 0.5));
  return v[i];
}

void report(benchmark::State& state, What what, bool rasterise) {
  Samples s;
  for (auto _ : state) {
    std::string error;
    if (!fly_flight(what, rasterise, &s, &error)) {
      state.SkipWithError(error.c_str());
      return;
    }
  }
  // Each frame's time in order, for finding which frames cost what.
  if (const char* path = std::getenv("CORVANE_FLIGHT_TIMES")) {
    if (std::FILE* f = std::fopen(path, "w")) {
      for (double us : s.us) std::fprintf(f, "%.3f\n", us);
      std::fclose(f);
    }
  }
  state.counters["p50_us"] = percentile(s.us, 0.50);
  state.counters["p90_us"] = percentile(s.us, 0.90);
  state.counters["p99_us"] = percentile(s.us, 0.99);
  state.counters["max_us"] = percentile(s.us, 1.0);
  state.counters["frames"] = static_cast<double>(s.us.size());
  if (what == What::Draw && !rasterise)
    state.counters["gl_calls"] = s.draws ? static_cast<double>(s.gl_calls) / s.draws : 0.0;
}

void BM_FlightFrameMainLoop(benchmark::State& state) { report(state, What::MainLoop, false); }

// Flights with each module in pairs, before-after then after-before (so a
// drift in the machine's load cancels), CORVANE_FLIGHT_ROUNDS pairs (default
// 7). Each flight gives its median frame time; the ratio is the median over
// the pairs of after / before, each pair flown back to back under the same
// load.
void BM_FlightFrameMainLoopRatio(benchmark::State& state) {
  const char* before = std::getenv("CORVANE_FLIGHT_BASELINE");
  if (before == nullptr) {
    state.SkipWithError("CORVANE_FLIGHT_BASELINE names no module to compare with");
    return;
  }
  const char* after_env = std::getenv("CORVANE_FLIGHT_MODULE");
  const std::string after = after_env ? after_env : CORVANE_MODULE_PATH;
  const char* rounds_env = std::getenv("CORVANE_FLIGHT_ROUNDS");
  const int rounds = rounds_env && std::atoi(rounds_env) > 0 ? std::atoi(rounds_env) : 7;
  std::vector<double> p50[2], ratios;
  for (auto _ : state) {
    for (int round = 0; round < rounds; ++round) {
      double pair[2] = {0, 0};
      for (int k = 0; k < 2; ++k) {
        const int m = round % 2 == 0 ? k : 1 - k;  // 0 before, 1 after
        Samples s;
        std::string error;
        if (!fly_flight(What::MainLoop, false, &s, &error, m == 0 ? before : after.c_str())) {
          state.SkipWithError(error.c_str());
          return;
        }
        pair[m] = percentile(s.us, 0.50);
        p50[m].push_back(pair[m]);
      }
      ratios.push_back(pair[0] > 0 ? pair[1] / pair[0] : 0.0);
    }
  }
  state.counters["before_p50_us"] = percentile(p50[0], 0.50);
  state.counters["after_p50_us"] = percentile(p50[1], 0.50);
  state.counters["ratio"] = percentile(ratios, 0.50);
  state.counters["ratio_min"] = percentile(ratios, 0.0);
  state.counters["ratio_max"] = percentile(ratios, 1.0);
}

void BM_FlightFrameDrawCounted(benchmark::State& state) { report(state, What::Draw, false); }
void BM_FlightFrameDrawMesa(benchmark::State& state) { report(state, What::Draw, true); }
void BM_FlightFrameChecks(benchmark::State& state) { report(state, What::Checks, false); }

BENCHMARK(BM_FlightFrameMainLoop)->Iterations(1)->Unit(benchmark::kSecond);
BENCHMARK(BM_FlightFrameDrawCounted)->Iterations(1)->Unit(benchmark::kSecond);
BENCHMARK(BM_FlightFrameDrawMesa)->Iterations(1)->Unit(benchmark::kSecond);
BENCHMARK(BM_FlightFrameChecks)->Iterations(1)->Unit(benchmark::kSecond);
BENCHMARK(BM_FlightFrameMainLoopRatio)->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace
