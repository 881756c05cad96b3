// The whole map pass run by the simulated host's draw pass, with both
// displays powered and bright, in expanded MAP at the 10 nm range (index 2),
// aircraft at 0/0 heading north; helpers to build routes and to find drawn
// shapes in the captured line stream (panel pixels).
#pragma once

#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

#include "alerting/alerting_steps.h"
#include "lnav/route/route_intake.h"
#include "lnav/route/route_sets.h"
#include "lnav/route/hold_geometry.h"
#include "display/nd_holds.h"
#include "lnav/route/fms_legs.h"
#include "lnav/route/route_state.h"
#include "lnav/route/route_tracking.h"
#include "navdata/geodesy.h"
#include "nd_fixture.h"
#include "systems/electrical/electric_values.h"
#include "systems/instruments/instrument_values.h"

namespace nd_test {

inline void set_name(RouteText& t, const char* s) {
  std::memset(t.text, 0, sizeof t.text);
  std::strncpy(t.text, s, sizeof t.text - 1);
}

// Captain's map area in panel pixels: x0 521, y0 8, 500 wide.
constexpr double kCaptX0 = 521.0;
constexpr double kCaptY0 = 8.0;
constexpr double kFoY0 = 520.0;
constexpr double kAreaPx = 500.0;

inline bool near_colour(const simhost::Line& l, const float (&rgb)[3]) {
  return std::fabs(l.r - rgb[0]) < 1e-4f && std::fabs(l.g - rgb[1]) < 1e-4f && std::fabs(l.b - rgb[2]) < 1e-4f;
}
constexpr float kMagenta[3] = {0.772549f, 0.10588235f, 1.0f};
constexpr float kCyan[3] = {0.160784f, 0.72156864f, 1.0f};
constexpr float kWhite[3] = {1.0f, 1.0f, 1.0f};
constexpr float kGreen[3] = {0.0f, 1.0f, 0.0f};

class MapPassFixture : public DrawFixture {
 protected:
  void SetUp() override {
    DrawFixture::SetUp();
    bind_host_datarefs();
    bind_script_datarefs();
    simhost::set_int("sim/graphics/view/panel_render_type", 2);
    XPLMRegisterDrawCallback(nd_draw_callback, xplm_Phase_Gauges, 1, nullptr);
    draw_enabled = 1;
    host_mirror = HostMirror{};
    script_mirror = ScriptMirror{};
    host_mirror.sim_cockpit2_switches_instrument_brightness_ratio[2] = 0.8f;
    host_mirror.sim_cockpit2_switches_instrument_brightness_ratio[3] = 0.6f;
    electric::dc_stdbus_status = 1.0f;
    electric::dc_bus2_status = 1.0f;
    display::nd_refresh = display::nd_refresh_fo = 0.0f;
    terrain_radar_link_state = TerrainRadarLinkState{};
    terrain_radar_link_state.terrain_radar_version = 0;
    for (auto& e : efis_side) e = EfisSideState{};
    efis_side[0].map_mode = efis_side[1].map_mode = 2.0f;
    efis_side[0].exp_map = efis_side[1].exp_map = 1.0f;
    efis_side[0].map_range = efis_side[1].map_range = 2.0f;
    fms_seq = FmsSequenceState{};
    fms_copies = FmsRouteCopies{};
    route_change_values = RouteChangeValues{};
    pending_holds[0] = PendingHold{};
    pending_holds[1] = PendingHold{};
    for (uint8_t& n : hold_pattern.hold_near) n = 0;
    hold_region_flag = 0;
    abeam_points.count = 0;
    abeam_points.available = 0.0f;
    legs_mod_active_at_decode = 0.0f;
    mod_route_offsets = ModRouteOffsets{};
    for (auto& r : display_routes) {
      r.count = 0.0f;
      for (int k = 0; k < 256; ++k) r.lat[k] = r.lon[k] = r.main_leg[k] = 0.0f;
    }
    for (int k = 0; k < 256; ++k) {
      for (RouteText* t : {route_tables.waypoint_names, route_tables.leg_path_types, route_tables.waypoint_names_2,
                           route_tables.leg_path_types_2, route_tables.waypoint_names_3, route_tables.leg_path_types_3})
        set_name(t[k], "");
      legs_lat[k] = legs_lon[k] = legs_radii_radius[k] = legs_bypass[k] = 0.0f;
      legs_alt_rest1[k] = legs_alt_rest_type[k] = legs_eta[k] = legs_rnp_data[k] = 0.0f;
      legs_rad_turn[k] = legs_crs_mag[k] = legs_offset[k] = 0.0f;
      legs_seg1_radius[k] = legs_seg3_radius[k] = 0.0f;
    }
  }
  void TearDown() override {
    XPLMUnregisterDrawCallback(nd_draw_callback, xplm_Phase_Gauges, 1, nullptr);
    draw_enabled = 0;
    DrawFixture::TearDown();
  }
  const std::vector<simhost::Line>& pass() {
    simhost::frame(0.01f);
    return simhost::captured_lines();
  }
  // n waypoints northward every step_nm from the aircraft at 0/0; active leg 1.
  void route_north(int n, double step_nm) {
    for (int k = 0; k < n; ++k) {
      legs_lat[k] = static_cast<float>(k * step_nm / 60.0);
      char name[16];
      std::snprintf(name, sizeof name, "W%d", k);
      set_name(route_tables.waypoint_names[k], name);
      set_name(route_tables.leg_path_types[k], "TF");
    }
    fms_seq.legs_num = static_cast<float>(n - 1);
    fms_seq.vnav_idx = 1.0f;
  }
};

// Panel pixel of a position on the captain's expanded MAP (aircraft 0/0,
// north up, origin y 0.199) at `scale` map units per nm.
struct Px {
  double x, y;
};
inline Px capt_px(double lat, double lon, double scale, double origin_y = 0.199) {
  map_project(0.0, 0.0, lat, lon, 0.0f, scale);
  return {kCaptX0 + kAreaPx * (map_point.x + 0.5), kCaptY0 + kAreaPx * (map_point.y + origin_y)};
}

// Line end points lying on a circle of radius r_px about c (within tol px).
inline int ends_on_circle(const std::vector<simhost::Line>& lines, Px c, double r_px, double tol = 0.6) {
  int n = 0;
  for (const auto& l : lines) {
    if (std::fabs(std::hypot(l.x0 - c.x, l.y0 - c.y) - r_px) < tol) ++n;
    if (std::fabs(std::hypot(l.x1 - c.x, l.y1 - c.y) - r_px) < tol) ++n;
  }
  return n;
}

// Whether a line joins a and b (either way round) within tol px.
inline bool has_line(const std::vector<simhost::Line>& lines, Px a, Px b, double tol = 0.6) {
  for (const auto& l : lines) {
    const bool fwd = std::hypot(l.x0 - a.x, l.y0 - a.y) < tol && std::hypot(l.x1 - b.x, l.y1 - b.y) < tol;
    const bool rev = std::hypot(l.x0 - b.x, l.y0 - b.y) < tol && std::hypot(l.x1 - a.x, l.y1 - a.y) < tol;
    if (fwd || rev) return true;
  }
  return false;
}

inline int count_colour(const std::vector<simhost::Line>& lines, const float (&rgb)[3]) {
  int n = 0;
  for (const auto& l : lines) n += near_colour(l, rgb) ? 1 : 0;
  return n;
}

}  // namespace nd_test
