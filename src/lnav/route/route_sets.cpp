// Second and third routes, vertical-profile markers and abeam points of the
// route pass (see route_sets.h). Every count from the scripts is limited to
// the 256-slot arrays here, where it enters.
#include "lnav/route/route_sets.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "core/binding.h"
#include "core/host_io.h"
#include "core/preprocess_values.h"
#include "lnav/route/route_intake.h"
#include "lnav/route/hold_geometry.h"
#include "core/units.h"
#include "core/util.h"
#include "lnav/path/leg_path.h"
#include "lnav/route/route_state.h"
#include "navdata/geodesy.h"
#include "navdata/nav_math.h"
#include "lnav/route/route_geometry.h"

ModRouteOffsets mod_route_offsets;
float legs_mod_active_at_decode;
VnavMarkerPositions vnav_markers;
AbeamPointSet abeam_points;

namespace {

using namespace bound;

// ---- route set intake ---------------------------------------------------------------------

struct SetField {
  Id id[2];                     // "_2", "_3"
  float (DisplayRoute::*field)[256];
};

// In the order the scripts' arrays are read.
const SetField set_fields[] = {
    {{zuvadud_D738_fms_legs_lat_2, zuvadud_D738_fms_legs_lat_3}, &DisplayRoute::lat},
    {{zuvadud_D738_fms_legs_lon_2, zuvadud_D738_fms_legs_lon_3}, &DisplayRoute::lon},
    {{zuvadud_D738_fms_legs_brg_true_2, zuvadud_D738_fms_legs_brg_true_3}, &DisplayRoute::brg_true},
    {{zuvadud_D738_fms_legs_brg_mag_2, zuvadud_D738_fms_legs_brg_mag_3}, &DisplayRoute::brg_mag},
    {{zuvadud_D738_fms_legs_brg_fin_true_2, zuvadud_D738_fms_legs_brg_fin_true_3}, &DisplayRoute::brg_fin_true},
    {{zuvadud_D738_fms_legs_dist_2, zuvadud_D738_fms_legs_dist_3}, &DisplayRoute::dist},
    {{zuvadud_D738_fms_legs_radius_2, zuvadud_D738_fms_legs_radius_3}, &DisplayRoute::radius},
    {{zuvadud_D738_fms_legs_rad_lat_2, zuvadud_D738_fms_legs_rad_lat_3}, &DisplayRoute::rad_lat},
    {{zuvadud_D738_fms_legs_rad_lon_2, zuvadud_D738_fms_legs_rad_lon_3}, &DisplayRoute::rad_lon},
    {{zuvadud_D738_fms_legs_rad_turn_2, zuvadud_D738_fms_legs_rad_turn_3}, &DisplayRoute::rad_turn},
    {{zuvadud_D738_fms_legs_wpt_type_2, zuvadud_D738_fms_legs_wpt_type_3}, &DisplayRoute::wpt_type},
    {{zuvadud_D738_fms_legs_spd_2, zuvadud_D738_fms_legs_spd_3}, &DisplayRoute::spd},
    {{zuvadud_D738_fms_legs_crs_mag_2, zuvadud_D738_fms_legs_crs_mag_3}, &DisplayRoute::crs_mag},
    {{zuvadud_D738_fms_legs_hold_time_2, zuvadud_D738_fms_legs_hold_time_3}, &DisplayRoute::hold_time},
    {{zuvadud_D738_fms_legs_hold_dist_2, zuvadud_D738_fms_legs_hold_dist_3}, &DisplayRoute::hold_dist},
    {{zuvadud_D738_fms_legs_before_2, zuvadud_D738_fms_legs_before_3}, &DisplayRoute::before},
    {{zuvadud_D738_fms_legs_offset_2, zuvadud_D738_fms_legs_offset_3}, &DisplayRoute::offset},
    {{zuvadud_D738_fms_legs_idx_2, zuvadud_D738_fms_legs_idx_3}, &DisplayRoute::main_leg},
    {{zuvadud_D738_fms_legs_offset_lat_2, zuvadud_D738_fms_legs_offset_lat_3}, &DisplayRoute::offset_lat},
    {{zuvadud_D738_fms_legs_offset_lon_2, zuvadud_D738_fms_legs_offset_lon_3}, &DisplayRoute::offset_lon},
};

struct SetIds {
  Id change, num, legs, legs_ext, pth, pth_before;
};
const SetIds set_ids[2] = {
    {zuvadud_D738_fms_legs_change2, zuvadud_D738_fms_legs_num2, zuvadud_D738_fms_legs_2, zuvadud_D738_fms_legs_ext_2,
     zuvadud_D738_fms_legs_pth_2, zuvadud_D738_fms_legs_pth_before_2},
    {zuvadud_D738_fms_legs_change3, zuvadud_D738_fms_legs_num3, zuvadud_D738_fms_legs_3, zuvadud_D738_fms_legs_ext_3,
     zuvadud_D738_fms_legs_pth_3, zuvadud_D738_fms_legs_pth_before_3},
};

struct OffsetRead {
  Id id;
  float* dst;
};
ModRouteOffsets& mo = mod_route_offsets;
// The third route re-reads only the first four.
const OffsetRead offset_reads[] = {
    {zuvadud_D738_fms_legs_offset_act_mod, &mo.legs_offset_act_mod},
    {zuvadud_D738_fms_legs_offset_start_mod, &mo.legs_offset_start_mod},
    {zuvadud_D738_fms_legs_offset_end_mod, &mo.legs_offset_end_mod},
    {zuvadud_D738_fms_legs_offset_start_t_mod, &mo.legs_offset_start_t_mod},
    {zuvadud_D738_fms_legs_offset_latx_1_mod, &mo.latx_mod[0]},
    {zuvadud_D738_fms_legs_offset_latx_2_mod, &mo.latx_mod[1]},
    {zuvadud_D738_fms_legs_offset_latx_3_mod, &mo.latx_mod[2]},
    {zuvadud_D738_fms_legs_offset_latx_4_mod, &mo.latx_mod[3]},
    {zuvadud_D738_fms_legs_offset_lonx_1_mod, &mo.lonx_mod[0]},
    {zuvadud_D738_fms_legs_offset_lonx_2_mod, &mo.lonx_mod[1]},
    {zuvadud_D738_fms_legs_offset_lonx_3_mod, &mo.lonx_mod[2]},
    {zuvadud_D738_fms_legs_offset_lonx_4_mod, &mo.lonx_mod[3]},
};

struct SetTables {
  RouteText* names;
  RouteText* types;
  RouteText* prev_types;
};
SetTables set_tables(int32_t set) {
  RouteStringTables& t = route_tables;
  if (set == 0) return {t.waypoint_names_2, t.leg_path_types_2, t.prev_leg_path_types_2};
  return {t.waypoint_names_3, t.leg_path_types_3, t.prev_leg_path_types_3};
}

// The two characters of entry i of a type text, fewer where the text ends
// inside the pair.
void take_pair(const char* text, int32_t i, RouteText& slot) {
  const size_t at = static_cast<size_t>(2 * i);
  const size_t length = std::strlen(text);
  size_t n = 0;
  if (at < length) n = length - at >= 2 ? 2 : 1;
  if (n > 0) std::memcpy(slot.text, text + at, n);
  slot.text[n] = '\0';
}

// The scripts' count as the arrays can hold it: count + 1 entries, so at most
// 255 (the seam reads no number as 0: an empty route).
float bounded_count(float n) { return n > 255.0f ? 255.0f : n; }

void read_route_set(int32_t set) {
  const SetIds& ids = set_ids[set];
  DisplayRoute& r = display_routes[set];
  r.count = bounded_count(read_now_f(ids.num));
  const int32_t entries = trunc_clamped(r.count + 1.0f, 0, route_leg_capacity);
  for (const SetField& f : set_fields) {
    if (entries > 0) read_now_vf(f.id[set], r.*(f.field), entries);
  }
  RouteScriptStrings& s = route_script_strings[set + 1];
  read_now_text(ids.pth, s.legs_pth, sizeof s.legs_pth);
  read_now_text(ids.pth_before, s.legs_pth_before, sizeof s.legs_pth_before);
  read_now_text(ids.legs, s.legs, sizeof s.legs);
  read_now_text(ids.legs_ext, s.legs_ext, sizeof s.legs_ext);
  const int32_t n_offsets = set == 0 ? 12 : 4;
  for (int32_t k = 0; k < n_offsets; ++k) *offset_reads[k].dst = read_now_f(offset_reads[k].id);
}

void decode_route_set(int32_t set) {
  DisplayRoute& r = display_routes[set];
  const RouteScriptStrings& s = route_script_strings[set + 1];
  const SetTables t = set_tables(set);
  const int32_t count = decode_identifiers(s.legs, t.names, 0);
  if (count == 128) decode_identifiers(s.legs_ext, t.names, count);

  const float active_from = (set == 0 ? fms_copies.vnav_idx_mod : fms_copies.vnav_idx_mod3) - 1.0f;
  const int32_t last = trunc_clamped(r.count, 0, route_leg_capacity - 1);
  for (int32_t i = 0; i <= last; ++i) {
    take_pair(s.legs_pth, i, t.types[i]);
    take_pair(s.legs_pth_before, i, t.prev_types[i]);
    if (t.types[i].text[0] == 'H' && static_cast<float>(i) >= active_from) {
      const RouteSetHold h = route_set_hold(r.spd[i], r.hold_time[i], r.hold_dist[i], hold_alt_ref);
      r.hold_len[i] = h.len_nm;
      r.hold_radius[i] = h.radius_nm;
    } else {
      r.hold_len[i] = 0.0f;
      r.hold_radius[i] = 0.0f;
    }
  }
}

// ---- profile markers ----------------------------------------------------------------------

struct MarkerRow {
  const float* index;  // 1-based leg number, 0 or below: no such point
  const float* dist;   // nm
  MarkerPos* pos;
  const char* label;   // debug log
};

FmsRouteCopies& fc = fms_copies;
VnavMarkerPositions& vm = vnav_markers;

const MarkerRow active_rows[] = {
    {&fc.vnav_tc_idx, &fc.vnav_tc_dist, &vm.tc, "T/C"},
    {&fc.vnav_td_idx, &fc.td_dist, &vm.td, "T/D"},
    {&fc.vnav_td_idx2, &fc.vnav_td_dist2, &vm.td2, "T/D-xxxxx"},
    {&fc.vnav_decel_wpt_idx, &fc.vnav_decel_wpt_dist, &vm.decel, "DECEL"},
    {&fc.vnav_fl100_idx, &fc.vnav_fl100_dist, &vm.fl100, "FL100"},
    {&fc.vnav_fl100_idx2, &fc.vnav_fl100_dist2, &vm.fl100_2, "FL100-2"},
};

const MarkerRow modified_rows[] = {
    {&fc.vnav_tc_idx_mod, &fc.vnav_tc_dist_mod, &vm.tc_mod, "T/C"},
    {&fc.vnav_td_idx_mod, &fc.td_dist_mod, &vm.td_mod, "T/D"},
    {&fc.vnav_decel_wpt_idx_mod, &fc.vnav_decel_wpt_dist_mod, &vm.decel_mod, "DECEL"},
    {&fc.vnav_fl100_idx_mod, &fc.vnav_fl100_dist_mod, &vm.fl100_mod, "FL100"},
    {&fc.vnav_fl100_idx2_mod, &fc.vnav_fl100_dist2_mod, &vm.fl100_2_mod, "FL100-2"},
};

void store_nav_result(MarkerPos& p) {
  p.lat = static_cast<float>(nav_result.lat);
  p.lon = static_cast<float>(nav_result.lon);
}

const char* main_route_id(int32_t i) {
  if (i < 0 || i >= route_slots) return "";
  return route_tables.waypoint_names[i].text;
}

// ---- abeam points -------------------------------------------------------------------------

// Candidate points and their identifiers: frame work storage, kept static so
// no frame puts 10 kB on the host's stack.
struct AbeamInput {
  float lat[256];
  float lon[256];
  char ids_text[route_ids_bytes + 1];
  RouteText ids[route_slots];
};
AbeamInput abeam_input;

}  // namespace

RouteSetHold route_set_hold(float spd, float hold_time_s, float hold_dist_nm, float alt_ref_ft) {
  float v = std::isfinite(spd) ? spd : 0.0f;
  if (v == 0.0f) {
    v = 200.0f;
  } else if (v < 1.0f) {
    // A Mach number: the hold is laid out at a typical hold speed instead.
    v = 260.0f;
  }
  RouteSetHold h{};
  const double metres_per_s = static_cast<double>(v) * mps_per_kt_5dp_d;
  if (hold_time_s == 0.0f && hold_dist_nm == 0.0f) {
    h.len_nm = static_cast<float>(metres_per_s * 90.0 / 1852.0);
  } else if (hold_time_s == 0.0f) {
    h.len_nm = hold_dist_nm;
  } else {
    h.len_nm = static_cast<float>(metres_per_s * static_cast<double>(hold_time_s) / 1852.0);
  }
  h.radius_nm = turn_radius_nm(alt_ref_ft <= 18800.0f ? 28.0f : 15.0f, v);
  return h;
}

void take_route_set(int32_t set) {
  if (set < 0 || set > 1) return;
  float& change = set == 0 ? fms_copies.legs_change2 : fms_copies.legs_change3;
  if (change == 0.0f) return;
  DisplayRoute& r = display_routes[set];
  if (change == 2.0f) {
    // The scripts cleared the route: the old entries stay but lie beyond the count.
    r.count = 0.0f;
  } else {
    read_route_set(set);
    if (r.count > 0.0f) decode_route_set(set);
  }
  change = 0.0f;
  script_set_f(set_ids[set].change, 0.0f);
  if (set == 0) legs_mod_active_at_decode = fms_copies.legs_mod_active;
}

void place_active_profile_markers() {
  for (const MarkerRow& row : active_rows) {
    if (!(*row.index > 0.0f)) continue;
    const int32_t leg = trunc_to_i32(static_cast<double>(*row.index) - 1.0);
    const int32_t code = leg_geometry(leg, *row.dist);
    store_nav_result(*row.pos);
    if (fms_debug_selector != 7777.0f) continue;
    char line[192];
    std::snprintf(line, sizeof line, "%s %d <%s> %f: calc mode: %d\n", row.label, leg, main_route_id(leg),
                  static_cast<double>(*row.dist), code);
    XPLMDebugString(line);
    if (row.pos == &vm.fl100_2) {
      fms_debug_selector = 0.0f;
      script_set_f(zuvadud_D738_fms_test, 0.0f);
    }
  }
}

void place_modified_profile_markers() {
  if (active_route_side != 0 && active_route_side != 1) return;
  for (const MarkerRow& row : modified_rows) {
    if (!(*row.index > 0.0f)) continue;
    const int32_t leg = trunc_to_i32(static_cast<double>(*row.index) - 1.0);
    if (active_route_side == 0) {
      point_along_leg(leg, *row.dist);
    } else {
      point_along_leg_alt(leg, *row.dist);
    }
    store_nav_result(*row.pos);
  }
}

void compute_abeam_points() {
  AbeamPointSet& a = abeam_points;
  a.count = trunc_to_i32(static_cast<double>(read_now_f(zuvadud_D738_fms_legs_abeam_num)));
  a.selected = read_now_f(zuvadud_D738_fms_legs_abeam_selected);
  if (a.count <= 0) return;
  if (a.count > route_slots) a.count = route_slots;
  const int32_t n = a.count;

  AbeamInput& in = abeam_input;
  std::memset(a.lat, 0, sizeof a.lat);
  std::memset(a.lon, 0, sizeof a.lon);
  std::memset(a.dist, 0, sizeof a.dist);
  std::memset(in.lat, 0, sizeof in.lat);
  std::memset(in.lon, 0, sizeof in.lon);
  read_now_vf(zuvadud_D738_fms_legs_abeam_lat, in.lat, n);
  read_now_vf(zuvadud_D738_fms_legs_abeam_lon, in.lon, n);
  read_now_text(zuvadud_D738_fms_legs_abeam_new_id, in.ids_text, sizeof in.ids_text);
  for (RouteText& t : in.ids) t.text[0] = '\0';
  decode_identifiers(in.ids_text, in.ids, 0);

  // From the present position, or from the end of the turn onto the
  // modification's intercept when there is one, along its course.
  double r_lat = static_cast<float>(host_mirror.sim_flightmodel_position_latitude);
  double r_lon = static_cast<float>(host_mirror.sim_flightmodel_position_longitude);
  if (direct_turn_mod.turn != 0.0f) {
    r_lat = intdir_end_lat_mod;
    r_lon = intdir_end_lon_mod;
  }
  const float t_crs = direct_turn_mod.track;
  a.available = 0.0f;

  // The active waypoint of the modified route bounds the search; without one
  // no point can be judged.
  const int32_t w = trunc_to_i32(static_cast<double>(fms_seq.vnav_idx) - 1.0);
  if (w >= 0 && w < route_leg_capacity) {
    const double w_lat = route_set2.lat[w];
    const double w_lon = route_set2.lon[w];
    const float r_to_w = gc_distance_nm(r_lat, r_lon, w_lat, w_lon);
    for (int32_t k = 0; k < n; ++k) {
      const double p_lat = in.lat[k];
      const double p_lon = in.lon[k];
      float side = navmath::wrap360(gc_bearing(r_lat, r_lon, p_lat, p_lon) - t_crs);
      if (side > 180.0f) side -= 360.0f;
      const float q_crs = side >= 0.0f ? navmath::mod360(t_crs + 270.0f) : navmath::mod360(t_crs + 90.0f);
      gc_intersection(r_lat, r_lon, t_crs, p_lat, p_lon, q_crs);
      const double x_lat = nav_result.lat;
      const double x_lon = nav_result.lon;
      if (x_lat == 0.0 && x_lon == 0.0) continue;
      const float r_to_x = gc_distance_nm(r_lat, r_lon, x_lat, x_lon);
      if (!(r_to_w > r_to_x && r_to_x > 10.0f && gc_distance_nm(w_lat, w_lon, x_lat, x_lon) > 10.0f)) continue;
      if (k > 0 && !(gc_distance_nm(a.lat[k - 1], a.lon[k - 1], x_lat, x_lon) > 1.0f)) continue;
      a.lat[k] = static_cast<float>(x_lat);
      a.lon[k] = static_cast<float>(x_lon);
      route_tables.abeam_ids[k] = in.ids[k];
      a.dist[k] = gc_distance_nm(p_lat, p_lon, x_lat, x_lon);
      if (a.dist[k] < 700.0f) a.available = 1.0f;
    }
  }

  if (a.available == 1.0f) {
    script_set_vf(zuvadud_D738_fms_legs_abeam_lat2, a.lat, n);
    script_set_vf(zuvadud_D738_fms_legs_abeam_lon2, a.lon, n);
    script_set_vf(zuvadud_D738_fms_legs_abeam_dist, a.dist, n);
  }
  script_set_f(zuvadud_D738_fms_legs_abeam_avail, a.available);
}
