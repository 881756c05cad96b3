// Route geometry queries over the leg table, the computed leg path, the
// direct-to path and the procedure-turn layout. Every leg index is checked against the 256-slot tables
// before use; neighbours outside them read as absent (0).
#include "lnav/route/route_geometry.h"

#include <cmath>
#include <cstring>

#include "lnav/route/hold_geometry.h"
#include "core/preprocess_values.h"
#include "core/units.h"
#include "lnav/route/route_intake.h"
#include "lnav/route/route_pass_steps.h"
#include "lnav/route/fms_legs.h"
#include "lnav/route/route_state.h"
#include "navdata/geodesy.h"
#include "navdata/nav_math.h"
#include "platform/xplm.h"

using navmath::f32;
using navmath::mod360;
using navmath::wrap360;

const char* waypoint_id(int32_t i) { return leg_slot_ok(i) ? route_tables.waypoint_names[i].text : ""; }

namespace {


const char* leg_type(int32_t i) { return leg_slot_ok(i) ? route_tables.leg_path_types[i].text : ""; }
char type_first(int32_t i) { return leg_type(i)[0]; }

// Leg types whose course the scripts give as a magnetic bearing.
bool magnetic_bearing_type(int32_t i) {
  return type_is(i, "VM") || type_is(i, "FM") || type_is(i, "FA") || type_first(i) == 'C' || type_first(i) == 'V';
}

// Magnetic to true at a position: the subtraction in float, then wrapped.
float true_at(float magnetic, double lat, double lon) {
  return wrap360(magnetic - XPLMGetMagneticVariation(lat, lon));
}
float true_at_waypoint(float magnetic, int32_t i) { return true_at(magnetic, at(legs_lat, i), at(legs_lon, i)); }

float pending_intercept_crs() { return route_change_values.intdir_crs; }

// Tangent course on an arc at a point, in the arc's direction. The hand is a
// leg's coded one, so 0 is a left arc as much as 2.
float arc_tangent(double ctr_lat, double ctr_lon, double lat, double lon, float turn) {
  return mod360(gc_bearing(ctr_lat, ctr_lon, lat, lon) + (navmath::is_left_turn_f(turn) ? 270.0f : 90.0f));
}

// A point on an arc `back_nm` back from radial `from_radial`, against the turn.
void point_back_on_arc(double ctr_lat, double ctr_lon, float radius, float turn, float from_radial, float back_nm) {
  float angle = arc_angle(radius, back_nm);
  if (navmath::is_coded_right_f(turn)) angle = -angle;
  const float radial = mod360(from_radial + angle + 360.0f);
  gc_destination(ctr_lat, ctr_lon, radial, radius);
}

// The transition of the previous path leg (or of the direct-to path).
struct PrevPath {
  double wpt_lat, wpt_lon;
  double ctr1_lat, ctr1_lon;
  float radius1, turn1, end_angle1;
  double ctr3_lat, ctr3_lon;
  float radius3, turn3, end_angle3;
  double seg1_end_lat, seg1_end_lon;
  double seg2_end_lat, seg2_end_lon;
  float wpt_angle, wpt_arc_dist;
  float seg1_arc, seg2_dist, seg3_arc, remain;
};

PrevPath previous_path(int32_t p) {
  PrevPath v{};
  if (p == -1) {
    v.wpt_lat = dir_start_lat;
    v.wpt_lon = dir_start_lon;
    v.ctr1_lat = dir_seg1_ctr_lat;
    v.ctr1_lon = dir_seg1_ctr_lon;
    v.radius1 = dir_seg1_radius;
    v.turn1 = dir_seg1_turn;
    v.end_angle1 = dir_seg1_end_angle;
    v.ctr3_lat = dir_seg3_ctr_lat;
    v.ctr3_lon = dir_seg3_ctr_lon;
    v.radius3 = dir_seg3_radius;
    v.turn3 = dir_seg3_turn;
    v.end_angle3 = dir_seg3_end_angle;
    v.seg1_end_lat = dir_seg1_end_lat;
    v.seg1_end_lon = dir_seg1_end_lon;
    v.seg2_end_lat = dir_seg2_end_lat;
    v.seg2_end_lon = dir_seg2_end_lon;
    v.wpt_angle = dir_wpt_angle;
    v.wpt_arc_dist = dir_wpt_arc_dist;
    v.seg1_arc = dir_seg1_arc_lenght;
    v.seg2_dist = dir_seg2_distance;
    v.seg3_arc = dir_seg3_arc_lenght;
    v.remain = dir_seg_remain_dist;
    return v;
  }
  if (!leg_slot_ok(p)) return v;  // absent: all zero
  v.wpt_lat = legs_lat[p];
  v.wpt_lon = legs_lon[p];
  v.ctr1_lat = legs_seg1_ctr_lat[p];
  v.ctr1_lon = legs_seg1_ctr_lon[p];
  v.radius1 = legs_seg1_radius[p];
  v.turn1 = legs_seg1_turn[p];
  v.end_angle1 = legs_seg1_end_angle[p];
  v.ctr3_lat = legs_seg3_ctr_lat[p];
  v.ctr3_lon = legs_seg3_ctr_lon[p];
  v.radius3 = legs_seg3_radius[p];
  v.turn3 = legs_seg3_turn[p];
  v.end_angle3 = legs_seg3_end_angle[p];
  v.seg1_end_lat = legs_seg1_end_lat[p];
  v.seg1_end_lon = legs_seg1_end_lon[p];
  v.seg2_end_lat = legs_seg2_end_lat[p];
  v.seg2_end_lon = legs_seg2_end_lon[p];
  v.wpt_angle = legs_wpt_angle[p];
  v.wpt_arc_dist = legs_wpt_arc_dist[p];
  v.seg1_arc = legs_seg1_arc_lenght[p];
  v.seg2_dist = legs_seg2_distance[p];
  v.seg3_arc = legs_seg3_arc_lenght[p];
  v.remain = legs_seg_remain_dist[p];
  return v;
}

void set_point(double lat, double lon) {
  nav_result.lat = lat;
  nav_result.lon = lon;
}

// Beyond the previous transition's first arc: its waypoint, or the point of
// its first arc abeam the waypoint when the arc starts before it.
int32_t previous_waypoint(const PrevPath& v, int32_t code_wpt, int32_t code_arc) {
  if (v.wpt_arc_dist == 0.0f) {
    set_point(v.wpt_lat, v.wpt_lon);
    return code_wpt;
  }
  gc_destination(v.ctr1_lat, v.ctr1_lon, v.wpt_angle, v.radius1);
  return code_arc;
}

// The procedure turn of leg i walked back from its fix, `left` nm: the final
// straight, the final turn, the straight back, the 180-degree turn, the
// procedure-course straight, the first turn and the outbound straight; beyond
// them the fix itself. A leg without a laid-out turn has pieces of length 0
// and so always reads as its fix.
int32_t proc_turn_back(int32_t i, float left) {
  const ProcTurnArrays& p = proc_turn;
  const double wlat = legs_lat[i];
  const double wlon = legs_lon[i];
  const float crs = p.pi_crs_true[i];
  const bool left_pt = proc_turn_is_left(legs_rad_turn[i]);
  const float inbound = mod360(crs + (left_pt ? 135.0f : 225.0f));
  // Turn codes of the pieces: the first turn goes against the pattern's side.
  const float first_turn = left_pt ? 3.0f : 2.0f;
  const float other_turns = left_pt ? 2.0f : 3.0f;
  const float r = p.pi_radius[i];

  auto within = [&left](float length) {
    if (left < length) return true;
    left -= length;
    return false;
  };
  if (within(p.pi_last_dist[i])) {
    gc_destination(wlat, wlon, mod360(inbound + 180.0f), left);
    return 57;
  }
  if (within(p.pi_arc1[i])) {
    point_back_on_arc(p.pi_x_lat[i], p.pi_x_lon[i], r, other_turns, p.pi_crs_a[i], left);
    return 56;
  }
  if (within(p.pi_fg_dist[i])) {
    gc_destination(p.pi_p7_lat[i], p.pi_p7_lon[i], crs, left);
    return 55;
  }
  if (within(p.pi_arc2[i])) {
    point_back_on_arc(p.pi_p5_lat[i], p.pi_p5_lon[i], r, other_turns, p.pi_crs_b[i], left);
    return 54;
  }
  // The two straights laid out from a corner are measured from that corner,
  // so the points stay on the great circle the layout used.
  if (within(p.pi_leg2_dist[i])) {
    gc_destination(p.pi_p3_lat[i], p.pi_p3_lon[i], crs, p.pi_leg2_dist[i] - left);
    return 53;
  }
  if (within(p.pi_arc1[i])) {
    point_back_on_arc(p.pi_p2_lat[i], p.pi_p2_lon[i], r, first_turn, p.pi_crs_b[i], left);
    return 52;
  }
  if (within(p.pi_out_dist[i])) {
    gc_destination(wlat, wlon, mod360(inbound + 180.0f), p.pi_out_dist[i] - left);
    return 51;
  }
  set_point(wlat, wlon);
  return 50;
}

// A point on one of the display routes; `r` selects the route (0 second,
// 1 third) and `active_idx` is its active waypoint (1-based).
int32_t point_along_display_route(int32_t r, float active_idx, int32_t k, float d) {
  nav_result.lat = 0.0;
  nav_result.lon = 0.0;
  const DisplayRoute& route = display_routes[r];
  if (!(k > 0 && static_cast<float>(k) <= route.count) || !leg_slot_ok(k)) return 0;
  const double klat = route.lat[k];
  const double klon = route.lon[k];

  if (fms_seq.intdir == 1.0f && static_cast<float>(k) == active_idx - 1.0f &&
      display_route_mod_sel == static_cast<float>(r)) {
    const float crs = fms_copies.intdir_crs2;
    if (crs == -1.0f) {
      const double elat = intdir_end_lat_mod;
      const double elon = intdir_end_lon_mod;
      const float to_end = gc_distance_nm(klat, klon, elat, elon);
      gc_destination(klat, klon, gc_bearing(klat, klon, elat, elon), d < to_end ? d : to_end);
    } else {
      const float back = mod360(crs - frame_flight_data.mag_var_deg + 180.0f);
      gc_destination(klat, klon, back, d < 700.0f ? d : 700.0f);
    }
    return 0;
  }

  const float mark = route.main_leg[k];
  const float prev_mark = route.main_leg[k - 1];
  if (fms_seq.legs_num >= 1.0f && mark != 0.0f && prev_mark != 0.0f && mark == prev_mark + 1.0f &&
      mark >= 1.0f && mark <= static_cast<float>(route_leg_capacity)) {
    return leg_geometry(static_cast<int32_t>(mark) - 1, d);
  }

  const double plat = route.lat[k - 1];
  const double plon = route.lon[k - 1];
  const float leg = gc_distance_nm(klat, klon, plat, plon);
  gc_destination(klat, klon, gc_bearing(klat, klon, plat, plon), d < leg ? d : leg);
  return 0;
}

}  // namespace

void runway_start(int32_t k, double& lat, double& lon) {
  lat = at(legs_offset_lat, k);
  lon = at(legs_offset_lon, k);
  if (lat == 0.0f && lon == 0.0f) {
    lat = at(legs_lat, k);
    lon = at(legs_lon, k);
  }
}

float arc_angle(float radius_nm, float length_nm) {
  if (radius_nm == 0.0f) return 0.0f;
  return f32(static_cast<double>(length_nm) / (static_cast<double>(radius_nm) * pi_12dp / 180.0));
}

float magvar_course(int32_t i) {
  const float intercept = pending_intercept_crs();
  if (intercept != -1.0f && static_cast<float>(i) == fms_seq.intdir_idx - 1.0f &&
      static_cast<float>(i) == fms_seq.vnav_idx - 1.0f && fms_seq.intdir_act == 2.0f) {
    return wrap360(intercept - frame_flight_data.mag_var_deg);
  }
  if (at(legs_direct, i) == 2.0f) return at(legs_df_crs_fin, i);

  if (type_is(i, "DF")) {
    if (!leg_slot_ok(i)) return 0.0f;
    // Near the runway the first direct-to-fix legs follow the aircraft's own
    // departure, so their course is recomputed while no direct-to runs.
    const bool short_first_leg = fms_seq.intdir_act == 0.0f && legs_dist[i] < 5.0f &&
                                 (i == 1 || (i == 2 && std::strncmp(waypoint_id(1), "RW", 2) == 0));
    if (legs_df_crs[i] == -1.0f || short_first_leg) {
      const double plat = at(legs_lat, i - 1);
      const double plon = at(legs_lon, i - 1);
      legs_df_crs[i] = gc_bearing(plat, plon, legs_lat[i], legs_lon[i]);
      legs_df_crs_fin[i] = mod360(gc_bearing(legs_lat[i], legs_lon[i], plat, plon) + 180.0f);
    }
    return legs_df_crs_fin[i];
  }
  if (magnetic_bearing_type(i)) return true_at_waypoint(rad_to_deg(at(legs_brg_mag, i)), i);
  if (type_is(i, "RF") || type_first(i) == 'H') return true_at_waypoint(at(legs_crs_mag, i), i);
  if (type_is(i, "AF")) {
    if (type_is(i + 1, "AF")) return true_at_waypoint(at(legs_crs_mag, i), i);
    return arc_tangent(at(legs_rad_lat, i), at(legs_rad_lon, i), at(legs_lat, i), at(legs_lon, i),
                       at(legs_rad_turn, i));
  }
  if (type_is(i, "PI")) {
    const float c = true_at_waypoint(at(legs_crs_mag, i), i);
    const float turn = at(legs_rad_turn, i);
    return mod360(c + (navmath::is_left_turn_f(turn) ? 135.0f : 225.0f));
  }
  return rad_to_deg(at(legs_brg_fin_true, i));
}

float magvar_course_alt(int32_t i) {
  const int32_t n = i + 1;
  if (type_is(n, "AF") || type_is(n, "RF")) {
    return arc_tangent(at(legs_rad_lat, n), at(legs_rad_lon, n), at(legs_lat, i), at(legs_lon, i),
                       at(legs_rad_turn, n));
  }
  if (magnetic_bearing_type(n)) return true_at_waypoint(rad_to_deg(at(legs_brg_mag, n)), n);
  if (type_is(n, "PI")) {
    const float v = XPLMGetMagneticVariation(at(legs_lat, n), at(legs_lon, n));
    const float add = navmath::is_left_turn_f(at(legs_rad_turn, n)) ? 315.0f : 45.0f;
    return mod360(at(legs_crs_mag, n) - v + add);
  }
  if (type_is(n, "DF") && at(legs_df_crs, n) != -1.0f) return at(legs_df_crs, n);
  if (type_is(i, "PI")) return true_at_waypoint(rad_to_deg(at(legs_brg_mag, n)), n);
  return rad_to_deg(at(legs_brg_true, n));
}

int32_t leg_geometry(int32_t i, float d) {
  nav_result.lat = 0.0;
  nav_result.lon = 0.0;

  // A bypassed waypoint is measured from the next one the path flies over.
  if (leg_slot_ok(i) && legs_bypass[i] != 0.0f && d != 0.0f) {
    const int32_t j = next_valid_leg(i);
    if (j != 0) {
      const float moved = legs_dist_dest_true[i] - at(legs_dist_dest_true, j) + d;
      d = moved > 0.0f ? moved : 0.0f;
      i = j;
    }
  }
  if (!(i > 0 && static_cast<float>(i) <= fms_seq.legs_num) || !leg_slot_ok(i)) return 0;

  const double wlat = legs_lat[i];
  const double wlon = legs_lon[i];
  const bool intercept = fms_seq.intdir_act == 2.0f && pending_intercept_crs() >= 0.0f &&
                         static_cast<float>(i) == fms_seq.intdir_idx - 1.0f;

  if (d == 0.0f) {
    if (legs_wpt_arc_dist[i] == 0.0f || intercept) {
      set_point(wlat, wlon);
      return 60;
    }
    gc_destination(legs_seg1_ctr_lat[i], legs_seg1_ctr_lon[i], legs_wpt_angle[i], legs_seg1_radius[i]);
    return 61;
  }

  if (legs_direct[i] == 2.0f || intercept) {
    if (d >= legs_wpt_arc_dist[i]) {
      float back = gc_distance_nm(wlat, wlon, legs_seg1_start_lat[i], legs_seg1_start_lon[i]) + d -
                   legs_wpt_arc_dist[i];
      if (back > 600.0f) back = 600.0f;
      gc_destination(wlat, wlon, mod360(legs_df_crs[i] + 180.0f), back);
      return 122;
    }
    point_back_on_arc(legs_seg1_ctr_lat[i], legs_seg1_ctr_lon[i], legs_seg1_radius[i], legs_seg1_turn[i],
                      legs_wpt_angle[i], d);
    return 121;
  }

  const int32_t p = prev_valid_leg(i);
  const PrevPath prev = previous_path(p);

  if (p >= 0 && std::strcmp(waypoint_id(i - 1), "(VECTOR)") == 0) {
    float ahead = d < 0.0f ? 0.0f : d;
    if (ahead > 650.0f) ahead = 650.0f;
    gc_destination(at(legs_lat, i - 1), at(legs_lon, i - 1), magvar_course(i - 1), ahead);
    return 10;
  }

  // Each piece is walked backwards: the distance left is compared strictly
  // below the piece's length, then the length is used up.
  float left = d;
  auto within = [&left](float length) {
    if (left < length) return true;
    left -= length;
    return false;
  };

  if (type_is(i, "AF") || type_is(i, "RF")) {
    if (within(legs_wpt_arc_dist[i])) {
      point_back_on_arc(legs_seg1_ctr_lat[i], legs_seg1_ctr_lon[i], legs_seg1_radius[i], legs_seg1_turn[i],
                        legs_wpt_angle[i], left);
      return 20;
    }
    if (within(legs_af_arc_dist[i])) {
      point_back_on_arc(legs_rad_lat[i], legs_rad_lon[i], legs_radius[i], legs_rad_turn[i], legs_af_end[i], left);
      return 21;
    }
    if (within(prev.seg1_arc - prev.wpt_arc_dist)) {
      point_back_on_arc(prev.ctr1_lat, prev.ctr1_lon, prev.radius1, prev.turn1, prev.end_angle1, left);
      return 22;
    }
    return previous_waypoint(prev, 23, 24);
  }

  if (type_is(i, "PI")) {
    if (within(legs_wpt_arc_dist[i])) {
      point_back_on_arc(legs_seg1_ctr_lat[i], legs_seg1_ctr_lon[i], legs_seg1_radius[i], legs_seg1_turn[i],
                        legs_wpt_angle[i], left);
      return 50;
    }
    return proc_turn_back(i, left);
  }

  if (within(legs_wpt_arc_dist[i])) {
    point_back_on_arc(legs_seg1_ctr_lat[i], legs_seg1_ctr_lon[i], legs_seg1_radius[i], legs_seg1_turn[i],
                      legs_wpt_angle[i], left);
    return 1;
  }
  if (within(prev.remain - legs_seg1_dta[i])) {
    gc_destination(wlat, wlon, mod360(magvar_course(i) + 180.0f), legs_seg1_dta[i] + left);
    return 2;
  }
  if (within(prev.seg3_arc)) {
    // The second arc's own radius; transitions built with one radius for
    // both arcs give the same point as the first arc's.
    const float r3 = prev.radius3 != 0.0f ? prev.radius3 : prev.radius1;
    point_back_on_arc(prev.ctr3_lat, prev.ctr3_lon, r3, prev.turn3, prev.end_angle3, left);
    return 3;
  }
  if (within(prev.seg2_dist)) {
    // The straight runs from the first arc's end to the second arc's start;
    // `left` is measured back from its far end.
    gc_destination(prev.seg1_end_lat, prev.seg1_end_lon,
                   gc_bearing(prev.seg1_end_lat, prev.seg1_end_lon, prev.seg2_end_lat, prev.seg2_end_lon),
                   prev.seg2_dist - left);
    return 4;
  }
  if (within(prev.seg1_arc - prev.wpt_arc_dist)) {
    point_back_on_arc(prev.ctr1_lat, prev.ctr1_lon, prev.radius1, prev.turn1, prev.end_angle1, left);
    return 5;
  }
  return previous_waypoint(prev, 6, 7);
}

int32_t point_along_leg(int32_t k, float d) { return point_along_display_route(0, fms_copies.vnav_idx_mod, k, d); }

int32_t point_along_leg_alt(int32_t k, float d) {
  return point_along_display_route(1, fms_copies.vnav_idx_mod3, k, d);
}

int32_t leg_seg_kind(int32_t i) {
  if (!leg_slot_ok(i)) return 0;
  if (legs_seg1_end_lat[i] == 0.0f && legs_seg1_end_lon[i] == 0.0f) return 0;
  if (legs_seg3_end_lat[i] == 0.0f && legs_seg3_end_lon[i] == 0.0f) return 1;
  if (legs_seg2_end_lat[i] == 0.0f && legs_seg2_end_lon[i] == 0.0f) return 2;
  return 3;
}

bool lateral_offset_at(int32_t k, float& offset_nm) {
  offset_nm = 0.0f;
  const float s = fms_seq.legs_offset_act;
  const RouteChangeValues& rc = route_change_values;
  if (!(s >= 5.0f && s <= 7.0f) || rc.legs_offset_start == 0.0f || rc.legs_offset_end == 0.0f) return false;
  const float L = static_cast<float>(k);
  const float end = rc.legs_offset_end;
  // The last offset leg's slot, truncated toward zero as every leg number.
  const int32_t end_slot = end >= 0.0f && end < 257.0f ? static_cast<int32_t>(end - 1.0f) : -1;
  int32_t from = -1;
  if (rc.legs_offset_start_t == 0.0f && s == 5.0f) {
    from = end_slot;
  } else if (L >= rc.legs_offset_start || (L >= rc.legs_offset_start - 1.0f && s == 6.0f)) {
    from = (s == 5.0f || s == 6.0f) ? end_slot : k;
  } else {
    return false;
  }
  // An offset end outside the route corrects nothing.
  if (!leg_slot_ok(from)) return false;
  offset_nm = legs_offset[from];
  return true;
}

namespace {

// Half the course change of slot k's transition (degrees) and the bearing
// of its bisector toward the inside; false when no offset path can follow
// it by moving it whole. A single arc gives both from its radials. A turn
// with a rejoin (a fly-over: first arc, maybe a straight, a second arc of
// the other hand onto the outbound leg) gives them from where it starts and
// ends, and must first turn the way its course changes.
bool turn_halves(int32_t k, float& half, float& inward) {
  if (!leg_slot_ok(k) || !(legs_seg1_radius[k] > 0.0f)) return false;
  const int32_t kind = leg_seg_kind(k);
  const bool left1 = navmath::is_left_turn_f(legs_seg1_turn[k]);
  float change = 0.0f;
  float crs_in = 0.0f;
  if (kind == 1) {
    change = course_diff_dir(legs_seg1_start_angle[k], legs_seg1_end_angle[k], left1 ? kTurnLeft : kTurnRight);
  } else if (kind == 2 || kind == 3) {
    crs_in = mod360(legs_seg1_start_angle[k] + (left1 ? 270.0f : 90.0f));
    const bool left3 = navmath::is_left_turn_f(legs_seg3_turn[k]);
    const float crs_out = mod360(legs_seg3_end_angle[k] + (left3 ? 270.0f : 90.0f));
    change = std::remainder(crs_out - crs_in, 360.0f);
    if ((change < 0.0f) != left1) return false;
  } else {
    return false;
  }
  half = std::fabs(change) * 0.5f;
  // Beyond 160 degrees the moved path would run off toward infinity.
  if (!(half > 0.0f && half < 80.0f)) return false;
  inward = kind == 1 ? mod360(legs_seg1_start_angle[k] + change * 0.5f + 180.0f)
                     : mod360(crs_in + change * 0.5f + (left1 ? 270.0f : 90.0f));
  return true;
}

}  // namespace

bool offset_turn_shift(int32_t k, OffsetTurnShift& shift) {
  float o = 0.0f;
  if (!lateral_offset_at(k, o) || o == 0.0f || !std::isfinite(o)) return false;
  float half = 0.0f;
  float inward = 0.0f;
  if (!turn_halves(k, half, inward)) return false;
  const bool left = navmath::is_left_turn_f(legs_seg1_turn[k]);
  if (left ? o > 0.0f : o < 0.0f) return false;
  shift.bearing = inward;
  shift.distance = std::fabs(static_cast<double>(o)) / std::cos(static_cast<double>(half) * pi_12dp / 180.0);
  shift.offset_nm = o;
  shift.whole = leg_seg_kind(k) != 1;
  return true;
}

void offset_turn_move(const OffsetTurnShift& shift, double& lat, double& lon) {
  if (lat == 0.0 && lon == 0.0) return;
  gc_destination(lat, lon, shift.bearing, shift.distance);
  lat = nav_result.lat;
  lon = nav_result.lon;
}

bool offset_turn_centre(int32_t k, double& lat, double& lon, float& offset_nm) {
  OffsetTurnShift shift{};
  if (!offset_turn_shift(k, shift)) return false;
  lat = legs_seg1_ctr_lat[k];
  lon = legs_seg1_ctr_lon[k];
  offset_turn_move(shift, lat, lon);
  offset_nm = shift.offset_nm;
  return true;
}

float offset_turn_lead(int32_t k, float offset_nm) {
  float half = 0.0f;
  float inward = 0.0f;
  if (!turn_halves(k, half, inward)) return 0.0f;
  return std::fabs(offset_nm) * static_cast<float>(std::tan(static_cast<double>(half) * pi_12dp / 180.0));
}
