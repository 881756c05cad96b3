// Builds small routes straight into the leg table and route strings for the
// path builder's tests and benchmark.
#pragma once

#include <cmath>
#include <cstring>

#include "core/preprocess_values.h"
#include "lnav/route/route_intake.h"
#include "lnav/route/route_pass_steps.h"
#include "lnav/path/leg_path_internal.h"
#include "lnav/route/fms_legs.h"
#include "lnav/path/leg_path.h"
#include "lnav/route/route_state.h"
#include "navdata/geodesy.h"

namespace lnav_fixture {

inline void set_text(RouteText& t, const char* s) {
  std::memset(t.text, 0, sizeof t.text);
  std::strncpy(t.text, s, sizeof t.text - 1);
}

inline void clear_route() {
  for (int k = 0; k < 256; ++k) {
    reset_leg_path(k, 0);
    set_text(route_tables.waypoint_names[k], "");
    set_text(route_tables.leg_path_types[k], "");
    set_text(route_tables.prev_leg_path_types[k], "");
    legs_direct[k] = legs_bypass[k] = legs_type[k] = 0.0f;
    legs_rad_turn[k] = -1.0f;
    legs_spd_calc[k] = 250.0f;
    legs_alt_calc[k] = 5000.0f;
    legs_max_spd[k] = 0.0f;
    legs_rnp[k] = 1.0f;
    legs_df_crs[k] = legs_df_crs_fin[k] = -1.0f;
    proc_turn.pi_lenght[k] = 0.0f;
  }
  fms_seq = FmsSequenceState{};
  fms_add_leg_handback.count = 0.0f;
  first_path_leg = 0;
  first_alt_term_leg = 0;
  on_ground = 0;
  fms_debug_selector = 0.0f;
  dir_seg_remain_dist = 0.0f;
}

// Waypoints at (lat, lon), all TF legs named W0, W1, ...
inline void make_route(const double (*pts)[2], int n) {
  clear_route();
  for (int k = 0; k < n; ++k) {
    legs_lat[k] = static_cast<float>(pts[k][0]);
    legs_lon[k] = static_cast<float>(pts[k][1]);
    char name[16];
    std::snprintf(name, sizeof name, "W%d", k);
    set_text(route_tables.waypoint_names[k], name);
    set_text(route_tables.leg_path_types[k], k == 0 ? "IF" : "TF");
    set_text(route_tables.prev_leg_path_types[k], k == 0 ? "IF" : "TF");
  }
  for (int k = 1; k < n; ++k) {
    const float b = gc_bearing(legs_lat[k - 1], legs_lon[k - 1], legs_lat[k], legs_lon[k]);
    const float bf = std::fmod(gc_bearing(legs_lat[k], legs_lon[k], legs_lat[k - 1], legs_lon[k - 1]) + 180.0f, 360.0f);
    legs_brg_true[k] = b * 3.14159265f / 180.0f;
    legs_brg_fin_true[k] = bf * 3.14159265f / 180.0f;
    legs_brg_mag[k] = legs_brg_true[k];
    legs_dist[k] = gc_distance_nm(legs_lat[k - 1], legs_lon[k - 1], legs_lat[k], legs_lon[k]);
  }
  fms_seq.legs_num = static_cast<float>(n - 1);
}

// The main loop's pass over the whole route.
inline int build_route() {
  int calls = 0;
  for (int i = 0; static_cast<float>(i) <= fms_seq.legs_num - 1.0f && calls < 600; ++calls) {
    legs_bypass[i] = 0.0f;
    i = calc_legs_path(i, 0);
  }
  return calls;
}

}  // namespace lnav_fixture
