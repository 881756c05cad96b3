// Navigation database benchmarks: loading a world-size data set (generated
// once into a temporary folder in the host's and the aircraft's formats), one
// frame of scan work over it, and one frame of each map symbol stage.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "core/binding.h"
#include "core/bound_mirrors.h"
#include "core/frame_values.h"
#include "core/preprocess_values.h"
#include "display/nd_slots.h"
#include "host.h"
#include "navdata/nav_tables.h"
#include "display/map_symbols.h"
#include "navdata/navdb.h"
#include "world_navdata.h"

namespace {

using bench_world::WorldFiles;

const WorldFiles& world() {
  static const WorldFiles w =
      bench_world::generate_world(std::filesystem::temp_directory_path() / "corvane_navdb_bench");
  return w;
}

void load_world() {
  const WorldFiles& w = world();
  load_nav_dat(w.nav.c_str());
  load_fix_dat(w.fix.c_str());
  load_apt_list(w.apt.c_str());
  load_rnw_list(w.rnw.c_str());
  load_gate_list(w.gate.c_str());
}

void BM_LoadWorld(benchmark::State& state) {
  const WorldFiles& w = world();
  for (auto _ : state) {
    load_world();
    benchmark::DoNotOptimize(nav_db.waypoint_count);
  }
  state.SetBytesProcessed(state.iterations() *
                          (w.nav_bytes + w.fix_bytes + w.apt_bytes + w.rnw_bytes + w.gate_bytes));
  state.counters["waypoints"] = nav_db.waypoint_count;
  state.counters["airports"] = nav_db.airport_count;
  state.counters["runways"] = nav_db.runway_count;
  state.counters["gates"] = nav_db.gate_count;
}
BENCHMARK(BM_LoadWorld)->Unit(benchmark::kMillisecond);

void BM_LoadFixes(benchmark::State& state) {
  const WorldFiles& w = world();
  for (auto _ : state) {
    nav_reset_navaid_tables();
    load_fix_dat(w.fix.c_str());
  }
  state.SetBytesProcessed(state.iterations() * w.fix_bytes);
}
BENCHMARK(BM_LoadFixes)->Unit(benchmark::kMillisecond);

// One frame of both scans after the first pass (25 records each), and one of
// the first pass (1000 each), at a busy spot of the generated world.
void scan_frames(benchmark::State& state, bool first_pass) {
  load_world();
  host_mirror.sim_flightmodel_position_latitude = 10.0;
  host_mirror.sim_flightmodel_position_longitude = 10.0;
  frame_done = 1;
  reset_nav_search_state();
  clear_nearest_airport_lists();
  for (auto _ : state) {
    if (first_pass) {
      state.PauseTiming();
      reset_nav_search_state();
      state.ResumeTiming();
      script_mirror.zuvadud_D738_fms_xfirst_time2 = 0.0f;
    } else {
      // Keep restarting: a completed pass flips and starts again.
      script_mirror.zuvadud_D738_fms_xfirst_time2 = 1.0f;
    }
    scan_navaids();
    update_nearest_airport();
  }
}
void BM_ScanFrame(benchmark::State& state) { scan_frames(state, false); }
void BM_ScanFrameFirstPass(benchmark::State& state) { scan_frames(state, true); }
BENCHMARK(BM_ScanFrame);
BENCHMARK(BM_ScanFrameFirstPass);

// ---- map symbols ---------------------------------------------------------------

// The host values the navaid publication reads directly, found in the
// simulated host as the start-up would find them.
void bind_symbol_values() {
  simhost::reset();
  for (bound::Id id : {bound::zuvadud_D738_pfd_vor1_show, bound::zuvadud_D738_pfd_vor2_show,
                       bound::zuvadud_D738_pfd_vor1_sel_id, bound::zuvadud_D738_pfd_vor2_sel_id,
                       bound::zuvadud_D738_fms_fpln_nav_id})
    bound_handles[id] = XPLMFindDataRef(bound_name(id));
  simhost::set_bytes("zuvadud/D738/pfd/vor1_sel_id", std::string("ZZZ\0\0\0", 6));
  simhost::set_float("zuvadud/D738/pfd/vor1_show", 1.0f);
}

// Both displays in map mode with every button on: the captain at range index
// 5 (navaids and airports to 161 nm), the first officer at 7 (airports to
// 642 nm, no navaids).
void set_map_controls() {
  auto& m = script_mirror;
  m.zuvadud_D738_EFIS_control_capt_map_mode_pos = m.zuvadud_D738_EFIS_control_fo_map_mode_pos = 2.0f;
  m.zuvadud_D738_EFIS_capt_map_range = 5.0f;
  m.zuvadud_D738_EFIS_fo_map_range = 7.0f;
  m.zuvadud_D738_EFIS_EFIS_vor_on = m.zuvadud_D738_EFIS_fo_EFIS_vor_on = 1.0f;
  m.zuvadud_D738_EFIS_EFIS_fix_on = m.zuvadud_D738_EFIS_fo_EFIS_fix_on = 1.0f;
  m.zuvadud_D738_EFIS_EFIS_airport_on = m.zuvadud_D738_EFIS_fo_EFIS_airport_on = 1.0f;
  m.zuvadud_D738_EFIS_control_capt_exp_map = m.zuvadud_D738_EFIS_control_fo_exp_map = 1.0f;
  nd_runway_length = 0.0f;
}

// Scans the world around a busy spot until a pass is complete and flipped,
// then projects both halves of the candidate lists, as the scripts'
// handshake drives it.
void place_world_candidates() {
  load_world();
  set_map_controls();
  host_mirror.sim_flightmodel_position_latitude = 10.0;
  host_mirror.sim_flightmodel_position_longitude = 10.0;
  reset_nav_search_state();
  clear_nearest_airport_lists();
  frame_done = 1;
  script_mirror.zuvadud_D738_fms_xfirst_time2 = 0.0f;
  for (int i = 0; i < 400; ++i) {  // 280,000 waypoints at 1000 a frame
    scan_navaids();
    update_nearest_airport();
  }
  script_mirror.zuvadud_D738_fms_xfirst_time2 = 1.0f;
  scan_navaids();
  update_nearest_airport();
  map_search_ref = MapSearchReference{10.0f, 10.0f, {90.0f, 90.0f}, {95.0f, 95.0f}};
  map_navaid_ref();
  map_airport_ref();
  script_mirror.zuvadud_D738_fms_xfirst_time2 = 2.0f;
  map_navaid_ref();
  map_airport_ref();
  script_mirror.zuvadud_D738_fms_xfirst_time2 = 0.0f;
}

int complete_navaids() { return nav_search.navaid_count[nav_search.navaid_scan.flag ? 0 : 1]; }
int complete_airports() { return nav_search.airport_count[nav_search.airport_scan.flag ? 0 : 1]; }

int filled(const float* marks, int n) {
  int k = 0;
  for (int i = 0; i < n; ++i) k += marks[i] != 0.0f;
  return k;
}

void candidate_counters(benchmark::State& state) {
  state.counters["navaid_candidates"] = complete_navaids();
  state.counters["airport_candidates"] = complete_airports();
}

void symbol_counters(benchmark::State& state) {
  candidate_counters(state);
  state.counters["navaid_slots"] = filled(nd::object_type, 50) + filled(nd::object_fo_type, 50);
  state.counters["airport_slots"] = filled(nd::apt_enable, 30) + filled(nd::apt_fo_enable, 30);
}

// One publication frame of both symbol kinds from the world's candidates.
void BM_MapSymbolsFrame(benchmark::State& state) {
  bind_symbol_values();
  place_world_candidates();
  for (auto _ : state) {
    map_navaid_symbols();
    map_airport_symbols();
    benchmark::ClobberMemory();
  }
  symbol_counters(state);
}
BENCHMARK(BM_MapSymbolsFrame);

// The worst publication frame: both complete lists full (999 each), every
// entry visible on both sides, one in 32 inside the drawable area (a VOR
// for the navaids), so each walk runs through (nearly) the whole list.
void BM_MapSymbolsFullLists(benchmark::State& state) {
  bind_symbol_values();
  nav_db_clear();
  set_map_controls();
  reset_nav_search_state();
  const int buf = nav_search.navaid_scan.flag ? 0 : 1;
  for (int i = 0; i < kMapCandidates - 1; ++i) {
    const bool in_view = i % 32 == 1;
    MapNavaidCandidate& n = nav_search.navaids[buf][i];
    n = MapNavaidCandidate{};
    n.kind = i % 2 ? 1 : 4;
    std::snprintf(n.ident, sizeof n.ident, "N%03d", i % 1000);
    MapAirportCandidate& a = nav_search.airports[buf][i];
    a = MapAirportCandidate{};
    std::snprintf(a.icao, sizeof a.icao, "A%03d", i % 1000);
    a.runway_length = 9000.0f;
    for (int side = 0; side < 2; ++side) {
      n.side[side] = MapSideProjection{in_view ? 10.0f : 500.0f, 20.0f, 1};
      a.side[side] = MapSideProjection{in_view ? 10.0f : 5000.0f, 20.0f, 1};
    }
  }
  nav_search.navaid_count[buf] = kMapCandidates - 1;
  nav_search.airport_count[buf] = kMapCandidates - 1;
  for (auto _ : state) {
    map_navaid_symbols();
    map_airport_symbols();
    benchmark::ClobberMemory();
  }
  symbol_counters(state);
}
BENCHMARK(BM_MapSymbolsFullLists);

// One projection frame (half of each complete list, great circles for both
// sides) over the world's candidates.
void BM_MapProjectionFrame(benchmark::State& state) {
  place_world_candidates();
  script_mirror.zuvadud_D738_fms_xfirst_time2 = 1.0f;
  for (auto _ : state) {
    map_navaid_ref();
    map_airport_ref();
    benchmark::ClobberMemory();
  }
  candidate_counters(state);
}
BENCHMARK(BM_MapProjectionFrame);

}  // namespace
