// Holds on the navigation display map and the modified-route pass.
//
// Active route: a hold leg's racetrack from the hold layout of the route
// decode (lnav/route/hold_geometry.h) and, while its entry is due, the entry path
// the path builder stored with the leg before it (lnav/path/path_position.h).
//
// Modified route: while the scripts hold a modification, a hold being built
// or a route comparison, the second (captain) or third (first officer) route
// table is drawn in white or cyan with dashed lines, with the pending hold
// fixes and the abeam points, and their waypoint slots and labels follow the
// route's own slots.
//
// Reads the leg table and path arrays, the second and third route tables
// (display_routes, route_tables), the pending holds, the abeam points, the
// scripts' route selection values, EfisSideState, the side's power and
// refresh flags. Writes waypoint slots and labels.
#include "display/nd_holds.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>

#include "core/binding.h"
#include "lnav/route/hold_geometry.h"
#include "core/preprocess_values.h"
#include "core/units.h"
#include "lnav/route/route_intake.h"
#include "lnav/route/route_sets.h"
#include "display/map_primitives.h"
#include "display/nd_labels.h"
#include "display/nd_map_frame.h"
#include "display/nd_slots.h"
#include "display/nd_style.h"
#include "lnav/route/fms_legs.h"
#include "lnav/path/path_position.h"
#include "lnav/route/route_state.h"
#include "lnav/route/route_tracking.h"
#include "navdata/geodesy.h"
#include "navdata/nav_math.h"
#include "systems/instruments/instrument_values.h"

namespace {

constexpr int32_t slot_count = 20;
constexpr float slot_units = 14.7058824f;  // slot positions in units of the 40 nm range

using angle::mod360_nonneg_d;

// Seg1 / seg3 arcs of the transition leg q before a hold.
void seg1_arc(const NdDrawPass& p, int32_t q) {
  nd_arc_ll(p, legs_seg1_ctr_lat[q], legs_seg1_ctr_lon[q], legs_seg1_radius[q], legs_seg1_start_angle[q],
            legs_seg1_end_angle[q], legs_seg1_turn[q]);
}
void seg3_arc(const NdDrawPass& p, int32_t q) {
  nd_arc_ll(p, legs_seg3_ctr_lat[q], legs_seg3_ctr_lon[q], legs_seg3_radius[q], legs_seg3_start_angle[q],
            legs_seg3_end_angle[q], legs_seg3_turn[q]);
}

void hold_entry_path(const NdDrawPass& p, int32_t i) {
  const int32_t q = i - 1;
  const float kind = hold_pattern.hold_entry[i];
  if (kind == 1.0f) {
    seg1_arc(p, q);
    nd_line_ll(p, legs_seg1_end_lat[q], legs_seg1_end_lon[q], legs_seg2_end_lat[q], legs_seg2_end_lon[q]);
    // The last arc runs on the entry's own radius up to where it meets the hold.
    nd_arc_ll(p, legs_seg3_ctr_lat[q], legs_seg3_ctr_lon[q], legs_seg1_radius[q], legs_seg3_start_angle[q],
              legs_entry_rad[q], legs_seg3_turn[q]);
  } else if (kind == 2.0f) {
    seg1_arc(p, q);
    nd_line_ll(p, legs_seg1_end_lat[q], legs_seg1_end_lon[q], legs_seg2_end_lat[q], legs_seg2_end_lon[q]);
    nd_line_ll(p, legs_seg2_end_lat[q], legs_seg2_end_lon[q], legs_lat[i], legs_lon[i]);
  } else if (kind == 3.0f) {
    if (legs_seg1_radius[q] == 0.0f) {
      nd_line_ll(p, legs_seg2_end_lat[q], legs_seg2_end_lon[q], legs_lat[i], legs_lon[i]);
    } else {
      seg1_arc(p, q);
      nd_line_ll(p, legs_seg1_end_lat[q], legs_seg1_end_lon[q], legs_seg2_end_lat[q], legs_seg2_end_lon[q]);
      seg3_arc(p, q);
    }
  } else if (kind == 4.0f) {
    seg1_arc(p, q);
    nd_line_ll(p, legs_seg1_end_lat[q], legs_seg1_end_lon[q], legs_seg3_pt_lat[q], legs_seg3_pt_lon[q]);
  } else if (kind == 5.0f) {
    nd_line_ll(p, legs_lat[q], legs_lon[q], legs_seg3_pt_lat[q], legs_seg3_pt_lon[q]);
    seg3_arc(p, q);
    nd_line_ll(p, legs_seg3_end_lat[q], legs_seg3_end_lon[q], legs_seg2_end_lat[q], legs_seg2_end_lon[q]);
    nd_arc_ll(p, hold_pattern.hold_ctr1_lat[i], hold_pattern.hold_ctr1_lon[i], hold_pattern.hold_radius[i],
              legs_entry_rad[q], hold_pattern.hold_side_away[i], legs_rad_turn[i]);
  }
}

// A racetrack: the turn at the fix side, the outbound straight, the far turn
// and the inbound straight back to the fix. rad_a is the fix's radial from
// the first centre, rad_b the opposite one.
void racetrack(const NdDrawPass& p, double fix_lat, double fix_lon, double ctr1_lat, double ctr1_lon, double ctr2_lat,
               double ctr2_lon, double out_lat, double out_lon, double radius_nm, double rad_a, double rad_b,
               float turn) {
  nd_arc_ll(p, ctr1_lat, ctr1_lon, radius_nm, rad_a, rad_b, turn);
  const NdXy out = nd_project(p, out_lat, out_lon);
  map_line_clipped(map_pen.x, map_pen.y, out.x, out.y, p.stipple, p.side);
  nd_arc_ll(p, ctr2_lat, ctr2_lon, radius_nm, rad_b, rad_a, turn);
  const NdXy fix = nd_project(p, fix_lat, fix_lon);
  map_line_clipped(map_pen.x, map_pen.y, fix.x, fix.y, p.stipple, p.side);
}

// A racetrack laid out here from its fix, inbound course (true), side code
// (0 or 2 left-hand), straight length and turn radius.
void racetrack_at(const NdDrawPass& p, double fix_lat, double fix_lon, double inbound_true, float turn, double len_nm,
                  double radius_nm) {
  const bool left = navmath::is_left_turn_f(turn);
  const double rad_a = mod360_nonneg_d(inbound_true + (left ? 90.0 : 270.0));
  const double rad_b = mod360_nonneg_d(inbound_true + (left ? 270.0 : 90.0));
  gc_destination(fix_lat, fix_lon, rad_b, radius_nm);
  const double c1_lat = nav_result.lat;
  const double c1_lon = nav_result.lon;
  gc_destination(c1_lat, c1_lon, mod360_nonneg_d(inbound_true + 180.0), len_nm);
  const double c2_lat = nav_result.lat;
  const double c2_lon = nav_result.lon;
  gc_destination(c2_lat, c2_lon, rad_b, radius_nm);
  racetrack(p, fix_lat, fix_lon, c1_lat, c1_lon, c2_lat, c2_lon, nav_result.lat, nav_result.lon, radius_nm, rad_a,
            rad_b, turn);
}

// The displayed route of the side is the active one.
bool shows_active_route(int32_t side) {
  const float sel = side == 0 ? script_mirror.zuvadud_D738_fms_rte12_sel : script_mirror.zuvadud_D738_fms_rte12_sel_fo;
  return script_mirror.zuvadud_D738_fms_rte12_act == sel;
}

// Writes the next free slot of a side when the map point is visible; returns
// the slot written or -1.
int32_t put_slot(const NdDrawPass& p, int32_t& n, const NdXy& w, float type) {
  const int32_t sd = p.side;
  const double tx = map_scale_x(w.x + nd_symbol_origin.x, sd);
  const double ty = map_scale_y(w.y + nd_symbol_origin.y, sd);
  if (!map_point_visible(tx, ty, sd) || n >= slot_count) return -1;
  float* sx = sd == 0 ? nd::wpt_x : nd::wpt_fo_x;
  float* sy = sd == 0 ? nd::wpt_y : nd::wpt_fo_y;
  float* st = sd == 0 ? nd::wpt_type : nd::wpt_fo_type;
  sx[n] = static_cast<float>(w.x) * slot_units;
  sy[n] = static_cast<float>(w.y) * slot_units + p.frame.slot_y_offset;
  st[n] = type;
  return n++;
}


void pending_hold(const NdDrawPass& p, int32_t& n, int32_t h, int32_t data) {
  const PendingHold& ph = pending_holds[h];
  const double ac_lat = host_mirror.sim_flightmodel_position_latitude;
  const double ac_lon = host_mirror.sim_flightmodel_position_longitude;
  nd_line_ll(p, ac_lat, ac_lon, ph.lat, ph.lon);
  if (put_slot(p, n, nd_project(p, ph.lat, ph.lon), 1.0f) >= 0) nd_wpt_labels(0, n - 1, h == 0 ? 2 : 4, data, p.side, 0);
  const RouteSetHold fig = route_set_hold(ph.speed, ph.time, ph.distance, hold_alt_ref);
  const double var = host_mirror.sim_flightmodel_position_magnetic_variation;
  racetrack_at(p, ph.lat, ph.lon, mod360_nonneg_d(static_cast<double>(ph.crs_mag) - var), ph.turn, fig.len_nm,
               fig.radius_nm);
}

// The direct-to of the modified route into leg k: the turn from the present
// heading and the line to the fix, or the inbound course line.
void mod_direct_to(const NdDrawPass& p, int32_t k, const DisplayRoute& rt) {
  const FmsRouteCopies& f = fms_copies;
  const double var = host_mirror.sim_flightmodel_position_magnetic_variation;
  const double ac_lat = host_mirror.sim_flightmodel_position_latitude;
  const double ac_lon = host_mirror.sim_flightmodel_position_longitude;
  if (f.intdir_crs2 == -1.0f) {
    if (f.intdir_radius > 0.0f && is_set(intdir_end_lat_mod, intdir_end_lon_mod)) {
      const bool right = navmath::is_coded_right_f(f.intdir_turn);
      const double hdg = static_cast<double>(efis_side[p.side].heading_mag_deg) - var;
      const double from = mod360_nonneg_d(hdg + (right ? 270.0 : 90.0));
      const double to = gc_bearing(f.intdir_rad_lat, f.intdir_rad_lon, intdir_end_lat_mod, intdir_end_lon_mod);
      nd_arc_ll(p, f.intdir_rad_lat, f.intdir_rad_lon, f.intdir_radius, from, to, right ? 1.0f : 0.0f);
      nd_line_ll(p, intdir_end_lat_mod, intdir_end_lon_mod, rt.lat[k], rt.lon[k]);
    } else {
      nd_line_ll(p, ac_lat, ac_lon, rt.lat[k], rt.lon[k]);
    }
    return;
  }
  const NdXy w = nd_project(p, rt.lat[k], rt.lon[k]);
  map_polar_line(w.x, w.y, nd_map_bearing(p, static_cast<double>(f.intdir_crs2) - var + 180.0), 700.0 * p.frame.scale,
                 p.stipple, p.side);
}

void mod_route_side(int32_t sd, int32_t& n, const NdColours& colours) {
  const float refresh = sd == 0 ? display::nd_refresh : display::nd_refresh_fo;
  if (!nd_side_powered(sd) || refresh != 0.0f) return;
  const DisplayRoute& rt = display_routes[sd];
  const RouteText* names = sd == 0 ? route_tables.waypoint_names_2 : route_tables.waypoint_names_3;
  const RouteText* types = sd == 0 ? route_tables.leg_path_types_2 : route_tables.leg_path_types_3;
  const bool same = shows_active_route(sd) && fms_seq.legs_num > 1.0f;
  glColor4fv(same ? colours.white[sd] : colours.cyan[sd]);
  nd_symbol_origin.y = 0.199;
  NdDrawPass p{sd, {}, 1, 1};
  if (!nd_map_frame(sd, p.frame)) return;
  if (efis_side[sd].map_mode != nd_mode(NdMapMode::plan)) {
    p.frame.ref_lat = host_mirror.sim_flightmodel_position_latitude;
    p.frame.ref_lon = host_mirror.sim_flightmodel_position_longitude;
  }
  if (!std::isfinite(p.frame.up_heading) || !std::isfinite(p.frame.ref_lat) || !std::isfinite(p.frame.ref_lon))
    return;
  const int32_t data = trunc_to_i32(efis_side[sd].data_status);
  const int32_t count = std::clamp(trunc_to_i32(static_cast<double>(rt.count)), 0, route_leg_capacity);
  const float vmod = sd == 0 ? fms_copies.vnav_idx_mod : fms_copies.vnav_idx_mod3;
  const int32_t start = std::max(std::min(trunc_to_i32(static_cast<double>(vmod)) - 2, count - 1), 0);

  for (int32_t h = 0; h < 2; ++h)
    if (pending_holds[h].active != 0.0f && count > 1) pending_hold(p, n, h, data);

  const AbeamPointSet& ab = abeam_points;
  if (ab.available != 0.0f && ab.count > 0 && ab.selected != 0.0f) {
    const int32_t na = std::min(ab.count, route_leg_capacity);
    for (int32_t j = 0; j < na && n < slot_count; ++j)
      if (put_slot(p, n, nd_project(p, ab.lat[j], ab.lon[j]), 1.0f) >= 0) nd_wpt_labels(j, n - 1, 3, data, sd, 0);
  }

  const float active_k = vmod - 1.0f;
  const int32_t kind = shows_active_route(sd) ? (sd == 0 ? 1 : 8) : (sd == 0 ? 7 : 9);
  const double ac_lat = host_mirror.sim_flightmodel_position_latitude;
  const double ac_lon = host_mirror.sim_flightmodel_position_longitude;
  const double var = host_mirror.sim_flightmodel_position_magnetic_variation;
  const FmsRouteCopies& f = fms_copies;
  for (int32_t k = start; k < count; ++k) {
    // Legs that are also the active route's are drawn by the route pass.
    const bool in_active = rt.main_leg[k] > 0.0f && (k == 0 || rt.main_leg[k] == rt.main_leg[k - 1] + 1.0f);
    if (same && in_active) continue;
    const RouteText& name = names[k];
    const NdXy w = nd_project(p, rt.lat[k], rt.lon[k]);
    float type = 1.0f;
    if (route_text_is(name, "ORGN")) {
      type = 0.0f;
    } else {
      const bool cond = is_conditional(types[k]);
      const bool act = static_cast<float>(k) == active_k;
      type = act ? (cond ? 4.0f : 2.0f) : (cond ? 3.0f : 1.0f);
    }
    if (put_slot(p, n, w, type) >= 0 && type != 0.0f) nd_wpt_labels(k, n - 1, kind, data, sd, 0);

    if (k > 0 && !route_text_is(names[k - 1], "DISCONTINUITY") && !route_text_is(name, "DISCONTINUITY") &&
        !route_text_is(names[k - 1], "(VECTOR)")) {
      const RouteText& type_k = types[k];
      const bool ppos_prev = route_text_is(names[k - 1], "PPOS");
      const double from_lat = ppos_prev ? ac_lat : rt.lat[k - 1];
      const double from_lon = ppos_prev ? ac_lon : rt.lon[k - 1];
      if (f.intdir_idx_mod - 1.0f == static_cast<float>(k) && fms_seq.intdir != 0.0f &&
          f.intdir_rte == script_mirror.zuvadud_D738_fms_rte12_act) {
        mod_direct_to(p, k, rt);
      } else if (route_text_is(type_k, "RF") || route_text_is(type_k, "AF")) {
        const double c_lat = rt.rad_lat[k];
        const double c_lon = rt.rad_lon[k];
        const bool right = navmath::is_coded_right_f(rt.rad_turn[k]);
        nd_arc_ll(p, c_lat, c_lon, rt.radius[k], gc_bearing(c_lat, c_lon, rt.lat[k - 1], rt.lon[k - 1]),
                  gc_bearing(c_lat, c_lon, rt.lat[k], rt.lon[k]), right ? 1.0f : 0.0f);
      } else if (route_text_starts(type_k, "H")) {
        const bool ppos = route_text_is(name, "PPOS");
        racetrack_at(p, ppos ? ac_lat : rt.lat[k], ppos ? ac_lon : rt.lon[k],
                     mod360_nonneg_d(static_cast<double>(rt.crs_mag[k]) - var), rt.rad_turn[k], rt.hold_len[k],
                     rt.hold_radius[k]);
      } else {
        nd_line_ll(p, from_lat, from_lon, rt.lat[k], rt.lon[k]);
      }
    }
    if (route_text_is(name, "(VECTOR)")) {
      const double brg = static_cast<double>(rt.brg_mag[k]) * deg_per_rad_d - XPLMGetMagneticVariation(rt.lat[k], rt.lon[k]);
      map_polar_line(w.x, w.y, nd_map_bearing(p, brg), 700.0 * p.frame.scale, p.stipple, sd);
    }
  }
}

}  // namespace

void draw_nd_hold_leg(const NdDrawPass& p, int32_t i) {
  if (i < 1 || !leg_slot_ok(i)) return;
  if (nd_range_index(efis_side[p.side].map_range) > 4) return;
  const float fi = static_cast<float>(i);
  const float active = fms_seq.vnav_idx - 1.0f;
  const bool drawn = hold_pattern.hold_near[i] != 0;
  const bool entry = (fi == active && hold_region_flag == 0 && (drawn || fms_seq.nav_mode == 3.0f)) ||
                     (fi > active && drawn);
  if (entry) hold_entry_path(p, i);
  const HoldPatternArrays& h = hold_pattern;
  racetrack(p, legs_lat[i], legs_lon[i], h.hold_ctr1_lat[i], h.hold_ctr1_lon[i], h.hold_ctr2_lat[i],
            h.hold_ctr2_lon[i], h.hold_far_lat[i], h.hold_far_lon[i], h.hold_radius[i], h.hold_side_away[i],
            h.hold_side[i], legs_rad_turn[i]);
}

bool nd_mod_route_shown(int32_t side) {
  const int32_t sd = side == 0 ? 0 : 1;
  const float vmod = sd == 0 ? fms_copies.vnav_idx_mod : fms_copies.vnav_idx_mod3;
  if (vmod == 0.0f || !(display_routes[sd].count >= 1.0f)) return false;
  const FmsRouteCopies& f = fms_copies;
  return !shows_active_route(sd) || fms_seq.legs_num <= 1.0f || f.legs_mod_active != 0.0f || f.hold_exec != 0.0f ||
         pending_holds[0].active != 0.0f || f.crz_exec != 0.0f ||
         (f.legs_mod_active == 0.0f && legs_mod_active_at_decode != 0.0f) ||
         fms_seq.legs_offset_act != mod_route_offsets.legs_offset_act_mod;
}

void draw_nd_mod_route(int32_t (&slots)[2], const NdColours& colours) {
  const bool shown[2] = {nd_mod_route_shown(0), nd_mod_route_shown(1)};
  if (!shown[0] && !shown[1]) return;
  glLineWidth(2.0f);
  for (int32_t sd = 0; sd < 2; ++sd) {
    if (!shown[sd]) continue;
    slots[sd] = std::clamp(slots[sd], 0, slot_count);
    mod_route_side(sd, slots[sd], colours);
  }
}
