// One navigation display draw pass: both sides, a 40-waypoint route with
// fly-by transitions, run by the simulated host with the line stream
// captured (feedback mode), so the figure is the pass and not the
// rasteriser.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>

#include "core/binding.h"
#include "core/frame_values.h"
#include "core/preprocess_values.h"
#include "lnav/route/route_intake.h"
#include "display/nd_draw.h"
#include "host.h"
#include "lnav/route/fms_legs.h"
#include "systems/electrical/electric_values.h"

namespace {

void set_up_route() {
  simhost::reset();
  bind_host_datarefs();
  bind_script_datarefs();
  simhost::set_int("sim/graphics/view/panel_render_type", 2);
  XPLMRegisterDrawCallback(nd_draw_callback, xplm_Phase_Gauges, 1, nullptr);
  draw_enabled = 1;
  host_mirror.sim_cockpit2_switches_instrument_brightness_ratio[2] = 1.0f;
  host_mirror.sim_cockpit2_switches_instrument_brightness_ratio[3] = 1.0f;
  electric::dc_stdbus_status = electric::dc_bus1_status = 1.0f;
  for (auto& e : efis_side) {
    e = EfisSideState{};
    e.map_mode = 2.0f;
    e.exp_map = 1.0f;
    e.map_range = 1.0f;
  }
  for (int k = 0; k < 40; ++k) {
    legs_lat[k] = static_cast<float>(k * 3.0 / 60.0);
    legs_lon[k] = static_cast<float>((k % 2) * 2.0 / 60.0);
    std::snprintf(route_tables.waypoint_names[k].text, route_text_bytes, "WPT%02d", k);
    std::strcpy(route_tables.leg_path_types[k].text, "TF");
    legs_radii_radius[k] = 0.0f;
    // Every waypoint flown by with a 1.5 nm turn arc around a centre beside it.
    legs_seg1_radius[k] = 1.5f;
    legs_seg1_ctr_lat[k] = legs_lat[k];
    legs_seg1_ctr_lon[k] = legs_lon[k] + 0.03f;
    legs_seg1_start_angle[k] = 250.0f;
    legs_seg1_end_angle[k] = 290.0f;
    legs_seg1_turn[k] = 3.0f;
  }
  for (int k = 1; k < 40; k += 2) legs_radii_radius[k] = 1.5f;
  fms_seq.legs_num = 39.0f;
  fms_seq.vnav_idx = 1.0f;
}

void BM_NdDrawPassCaptured(benchmark::State& state) {
  set_up_route();
  simhost::set_draw_capture(true);
  for (auto _ : state) simhost::frame(0.02f);
  state.counters["lines"] = static_cast<double>(simhost::captured_lines().size());
  XPLMUnregisterDrawCallback(nd_draw_callback, xplm_Phase_Gauges, 1, nullptr);
}
BENCHMARK(BM_NdDrawPassCaptured)->Unit(benchmark::kMicrosecond);

}  // namespace
