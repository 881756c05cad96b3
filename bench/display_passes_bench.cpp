// The later map passes and the per-frame display placement: the vertical
// profile markers and the FIX page labels (main loop), and one draw pass
// with a hold on the route, a pending modification, five FIX circles per side
// and the trend vector (captured line stream, so the figure is the pass).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "alerting/alerting_steps.h"
#include "core/binding.h"
#include "core/frame_values.h"
#include "lnav/route/hold_geometry.h"
#include "core/preprocess_values.h"
#include "lnav/route/route_intake.h"
#include "lnav/route/route_sets.h"
#include "display/display_steps.h"
#include "display/map_primitives.h"
#include "display/nd_draw.h"
#include "host.h"
#include "lnav/route/fms_legs.h"
#include "lnav/route/route_state.h"
#include "systems/electrical/electric_values.h"

namespace {

void set_up() {
  simhost::reset();
  bind_host_datarefs();
  bind_script_datarefs();
  set_nd_viewports();
  simhost::set_int("sim/graphics/view/panel_render_type", 2);
  draw_enabled = 1;
  host_mirror.sim_cockpit2_switches_instrument_brightness_ratio[2] = 1.0f;
  host_mirror.sim_cockpit2_switches_instrument_brightness_ratio[3] = 1.0f;
  host_mirror.sim_flightmodel_position_groundspeed = 120.0f;
  host_mirror.sim_cockpit2_gauges_indicators_roll_electric_deg_pilot = 20.0f;
  electric::dc_stdbus_status = electric::dc_bus1_status = 1.0f;
  terrain_radar_link_state.fix_circles_enabled = 1;
  for (auto& e : efis_side) {
    e = EfisSideState{};
    e.map_mode = 2.0f;
    e.exp_map = 1.0f;
    e.map_range = 2.0f;
  }
  for (int k = 0; k < 40; ++k) {
    legs_lat[k] = static_cast<float>(k * 2.0 / 60.0);
    legs_lon[k] = 0.0f;
    std::snprintf(route_tables.waypoint_names[k].text, route_text_bytes, "WPT%02d", k);
    std::strcpy(route_tables.leg_path_types[k].text, "TF");
  }
  std::strcpy(route_tables.leg_path_types[3].text, "HM");
  legs_lat[3] = legs_lat[2];
  fms_seq.legs_num = 39.0f;
  fms_seq.vnav_idx = 1.0f;
  host_mirror.sim_cockpit2_gauges_indicators_altitude_ft_pilot = 5000.0f;
  compute_hold_pattern(3);
  // A pending modification on the second route.
  fms_copies.vnav_idx_mod = 1.0f;
  fms_copies.legs_mod_active = 1.0f;
  display_routes[0].count = 20.0f;
  for (int k = 0; k < 20; ++k) {
    display_routes[0].lat[k] = static_cast<float>(k * 2.0 / 60.0);
    display_routes[0].lon[k] = 0.05f;
  }
  // Profile markers along the route.
  fms_copies.vnav_tc_idx = 3.0f;
  fms_copies.vnav_decel_wpt_idx = 6.0f;
  fms_copies.rnav_idx_last = 8.0f;
  vnav_markers.tc = {0.05f, 0.0f};
  vnav_markers.decel = {0.1f, 0.0f};
  // Five fixes with a circle and a radial each, on both sides.
  for (const std::string side : {"", "fo_"}) {
    const std::string p = "zuvadud/D738/nd/fix_" + side;
    simhost::set_floats(p + "lat", {0.05f, 0.1f, 0.15f, 0.2f, 0.25f});
    simhost::set_floats(p + "en", {1, 1, 1, 1, 1});
    simhost::set_floats(p + "rad_dist_0", {2, 2, 2, 2, 2});
    simhost::set_floats(p + "dist_0_nm", {3, 4, 5, 6, 7});
    simhost::set_floats(p + "rad_dist_0a", {2, 2, 2, 2, 2});
    simhost::set_floats(p + "rad_dist_1a", {1, 1, 1, 1, 1});
    simhost::set_floats(p + "rot_1", {10, 20, 30, 40, 50});
  }
}

void BM_VnavMarkers(benchmark::State& state) {
  set_up();
  for (auto _ : state) update_nd_vnav_markers();
}
BENCHMARK(BM_VnavMarkers)->Unit(benchmark::kMicrosecond);

void BM_FixOverlayLabels(benchmark::State& state) {
  set_up();
  for (auto _ : state) update_nd_fix_overlay();
}
BENCHMARK(BM_FixOverlayLabels)->Unit(benchmark::kMicrosecond);

void BM_NdDrawAllPassesCaptured(benchmark::State& state) {
  set_up();
  XPLMRegisterDrawCallback(nd_draw_callback, xplm_Phase_Gauges, 1, nullptr);
  simhost::set_draw_capture(true);
  for (auto _ : state) simhost::frame(0.02f);
  state.counters["lines"] = static_cast<double>(simhost::captured_lines().size());
  XPLMUnregisterDrawCallback(nd_draw_callback, xplm_Phase_Gauges, 1, nullptr);
}
BENCHMARK(BM_NdDrawAllPassesCaptured)->Unit(benchmark::kMicrosecond);

}  // namespace
