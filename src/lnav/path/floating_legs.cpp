// Legs without a fixed end: climbs to an altitude (CA, VA, FA), intercepts
// (CI, VI), DME distances (VD, CD) and radials (VR, CR) get their end points
// recomputed each pass and handed back to the scripts, which own the flight
// plan; and the course of a DF leg from the turn that starts it.
//
// Writes the recomputed legs into the leg table and the hand-back datarefs
// "zuvadud/D738/fms/fms_add_data_num", "fms_add_data_1".."_6", "fms_add_cmd".
#include <cmath>

#include "navdata/nav_math.h"
#include "core/binding.h"
#include "core/host_io.h"
#include "core/preprocess_values.h"
#include "core/units.h"
#include "lnav/route/route_intake.h"
#include "lnav/route/route_pass_steps.h"
#include "lnav/route/fms_legs.h"
#include "lnav/path/leg_path.h"
#include "lnav/path/leg_path_internal.h"
#include "lnav/route/route_state.h"
#include "navdata/geodesy.h"
#include "lnav/route/route_geometry.h"
#include "platform/xplm.h"

FmsAddHandbackValues fms_add_handback_values;

using namespace legpath;

namespace {


// The construction's points and steps (lnav/path/leg_path_internal.h).
using legpath::Pt;
using legpath::dest;
using legpath::wpt;
Pt runway_start_pt(int32_t k) {
  Pt s{};
  runway_start(k, s.lat, s.lon);
  return s;
}

bool is_left(float code, float rel) {
  if (navmath::is_left_turn_f(code)) return true;
  if (navmath::is_coded_right_f(code)) return false;
  return rel < 0.0f;
}

// Start point moved by the turn from course a to course b (radius r, course
// change rel). After an intercept leg the start only slides along the new
// course: the intercept already ends on it.
Pt turn_offset(Pt s, bool after_intercept, double a, double b, float r, bool left, float rel) {
  if (after_intercept) {
    const float t = std::fabs(rel);
    const bool against = (left && rel > 0.0f) || (!left && rel < 0.0f);
    const double shift = (t < 135.0f && !against) ? r * std::tan(t / 2.0 * pi_12dp / 180.0) + 0.1 : r + 0.1;
    return dest(s, b, shift);
  }
  if (left) return dest(dest(s, c360(a + 270.0), r), c360(b + 90.0), r);
  return dest(dest(s, c360(a + 90.0), r), c360(b + 270.0), r);
}

void append_handback(int32_t k) {
  float n = fms_add_leg_handback.count;
  if (!(n >= 0.0f)) n = 0.0f;
  // Entries past the 128 slots are dropped; the first ones stand.
  if (n >= 128.0f) return;
  const int32_t e = static_cast<int32_t>(n);
  fms_add_leg_handback.leg_index[e] = static_cast<float>(k + 1);
  FmsAddHandbackValues& v = fms_add_handback_values;
  v.lat[e] = legs_lat[k];
  v.lon[e] = legs_lon[k];
  v.brg_true_rad[e] = legs_brg_true[k];
  v.dist_nm[e] = legs_dist[k];
  v.brg_mag_rad[e] = legs_brg_mag[k];
  fms_add_leg_handback.count = static_cast<float>(e + 1);
}

void send_handback() {
  const int32_t n = static_cast<int32_t>(fms_add_leg_handback.count);
  if (n <= 0) return;
  script_set_f(bound::zuvadud_D738_fms_fms_add_data_num, static_cast<float>(n));
  FmsAddHandbackValues& v = fms_add_handback_values;
  float* const arrays[] = {fms_add_leg_handback.leg_index, v.lat, v.lon, v.brg_true_rad, v.dist_nm, v.brg_mag_rad};
  const bound::Id ids[] = {bound::zuvadud_D738_fms_fms_add_data_1, bound::zuvadud_D738_fms_fms_add_data_2,
                           bound::zuvadud_D738_fms_fms_add_data_3, bound::zuvadud_D738_fms_fms_add_data_4,
                           bound::zuvadud_D738_fms_fms_add_data_5, bound::zuvadud_D738_fms_fms_add_data_6};
  for (int32_t a = 0; a < 6; ++a) script_set_vf(ids[a], arrays[a], n);
  script_set_f(bound::zuvadud_D738_fms_fms_add_cmd, 1.0f);
}

void set_leg_end(int32_t k, Pt p) {
  legs_lat[k] = static_cast<float>(p.lat);
  legs_lon[k] = static_cast<float>(p.lon);
  // A track to the next fix starts where this end now is: its courses and
  // length follow, or the turn onto it would be built for the course line
  // through the end as the scripts first placed it, which misses the fix by
  // more the further the end has moved (a slow climb moves a climb's end
  // each frame, and the turn tipped between one arc and an S-turn).
  const int32_t n = k + 1;
  if (n > 255 || !pt_is(n, "TF") || (legs_lat[n] == 0.0f && legs_lon[n] == 0.0f)) return;
  const float d = gc_distance_nm(legs_lat[k], legs_lon[k], legs_lat[n], legs_lon[n]);
  if (!(d > 0.01f)) return;
  legs_brg_true[n] =
      static_cast<float>(gc_bearing(legs_lat[k], legs_lon[k], legs_lat[n], legs_lon[n]) * pi_12dp / 180.0);
  legs_brg_fin_true[n] = static_cast<float>(
      c360(gc_bearing(legs_lat[n], legs_lon[n], legs_lat[k], legs_lon[k]) + 180.0) * pi_12dp / 180.0);
  legs_dist[n] = d;
}

void finish_from_i(int32_t i, int32_t j) {
  legs_brg_true[j] =
      static_cast<float>(gc_bearing(legs_lat[i], legs_lon[i], legs_lat[j], legs_lon[j]) * pi_12dp / 180.0);
  legs_dist[j] = gc_distance_nm(legs_lat[i], legs_lon[i], legs_lat[j], legs_lon[j]);
  append_handback(j);
}

float turn_r(int32_t i, float bank, float rel, bool cap145) {
  float v = leg_turn_speed(i, rel, 20.0f);
  if (cap145) v = std::fmin(v, 145.0f);
  return turn_radius_nm(bank, v) * 1.1f;
}

bool climb_leg(int32_t k) { return pt_is(k, "CA") || pt_is(k, "VA") || pt_is(k, "FA"); }

// The active climb leg i: its end from the present altitude.
bool case_active_climb(int32_t i) {
  const LegPassFrame& f = leg_pass;
  if (i < 1) return false;
  const float gs = host_mirror.sim_flightmodel_position_groundspeed;
  const float ra = frame_flight_data.radio_alt_ft;
  float alt, v;
  if (ra > 50.0f) {
    alt = frame_flight_data.alt_ft;
    v = gs;
    if (id_is_runway(i - 1) && i == 2) v = std::fmax(gs, legs_spd_calc[i - 1] * mps_per_kt_7dp);
  } else {
    alt = std::fmax(frame_flight_data.alt_ft, legs_alt_calc[i - 1]);
    v = std::fmax(gs, legs_spd_calc[i - 1] * mps_per_kt_7dp);
  }
  v = std::fmax(75.0f, v);
  Pt s = id_is_runway(i - 1) ? runway_start_pt(i - 1) : wpt(i - 1);
  // The first leg of the route has no course before its start to turn from.
  // The turn at i - 1 is entered on the course the leg before reaches it
  // with, not the course that leg left its own start on: on a great circle
  // the two part with the meridians' convergence.
  if (i >= 2) {
    const float c0 = magvar_course(i - 1);
    const float rel = angle::wrap180_d(static_cast<double>(f.xact_crs) - c0);
    if (std::fabs(rel) > 5.0f) {
      const bool left = is_left(legs_rad_turn[i], rel);
      s = turn_offset(s, pt_is_intercept(i - 1), c0, f.xact_crs, turn_r(i, 20.0f, rel, false), left, rel);
    }
  }
  if (!(legs_alt_rest1[i] > alt)) return false;
  const double plat = host_mirror.sim_flightmodel_position_latitude;
  const double plon = host_mirror.sim_flightmodel_position_longitude;
  const float d = gc_distance_nm(plat, plon, s.lat, s.lon);
  const float e = angle::wrap180_d(static_cast<double>(f.xact_crs) - gc_bearing(plat, plon, s.lat, s.lon));
  float a = std::fabs(e);
  if (a > 90.0f) a = 180.0f - a;
  const float along = d * static_cast<float>(std::cos(a * pi_12dp / 180.0));
  float climb = (legs_alt_rest1[i] - alt) / 3000.0f * 60.0f * v / 1852.0f;
  if (e >= -90.0f && e <= 90.0f) {
    if (ra > 20.0f) climb = std::fmax(0.0f, climb - along);
  } else {
    climb += along;
  }
  const Pt p = dest(s, f.xact_crs, climb);
  set_leg_end(i, p);
  legs_seg1_start_lat[i] = legs_lat[i];
  legs_seg1_start_lon[i] = legs_lon[i];
  legs_dist[i] = gc_distance_nm(s.lat, s.lon, p.lat, p.lon);
  legs_alt_calc[i] = legs_alt_rest1[i];
  append_handback(i);
  return true;
}

void case_next_climb(int32_t i, int32_t j) {
  const LegPassFrame& f = leg_pass;
  const float alt0 = legs_alt_calc[i];
  const float c = magvar_course(j);
  const float v = std::fmax(75.0f, legs_spd_calc[i] * mps_per_kt_7dp);
  const float rel = angle::wrap180_d(static_cast<double>(c) - f.xact_crs);
  Pt s = id_is_runway(i) ? runway_start_pt(i) : wpt(i);
  if (std::fabs(rel) > 5.0f)
    s = turn_offset(s, pt_is_intercept(i), f.xact_crs, c, turn_r(i, 20.0f, rel, false), is_left(legs_rad_turn[j], rel),
                    rel);
  if (alt0 <= legs_alt_rest1[j]) {
    const float delta = legs_alt_rest1[j] - alt0;
    const float climb = v * (delta / 3000.0f) * 60.0f / 1852.0f;
    trace(9999.0f, "WPT %d: Recalc WPT %d (prev alt <), clb_distance = %f, delta_alt = %f \n", i, j,
          static_cast<double>(climb), static_cast<double>(delta));
    trace(9999.0f, "\n");
    const Pt p = dest(s, c, climb);
    set_leg_end(j, p);
    legs_dist[j] = gc_distance_nm(s.lat, s.lon, p.lat, p.lon);
    legs_alt_calc[j] = alt0 + delta;
  } else {
    trace(9999.0f, "WPT %d: Recalc WPT %d (prev alt >)\n", i, j);
    set_leg_end(j, s);
    legs_seg1_start_lat[j] = legs_lat[j];
    legs_seg1_start_lon[j] = legs_lon[j];
    legs_dist[j] = gc_distance_nm(legs_lat[i], legs_lon[i], s.lat, s.lon);
    legs_alt_calc[j] = alt0;
  }
  append_handback(j);
}

Pt start_after_turn(int32_t i, int32_t j, float c, float bank, bool cap145) {
  const LegPassFrame& f = leg_pass;
  if (f.xabs_next_rel_brg < 5.0f) return wpt(i);
  const float r = turn_r(i, bank, f.xnext_rel_brg, cap145);
  const float code = legs_rad_turn[j];
  const bool left = navmath::is_left_turn_f(code) || (!navmath::is_coded_right_f(code) && f.xnext_rel_brg < 0.0f);
  return turn_offset(wpt(i), pt_is_intercept(i), f.xact_crs, c, r, left, f.xnext_rel_brg);
}

void case_intercept(int32_t i, int32_t j) {
  const int32_t m = j + 1;
  if (m > 255) return;
  const float c = magvar_course(j);
  const Pt s = start_after_turn(i, j, c, 20.0f, pt_is(i, "AF"));
  Pt nj = wpt(m);
  if (pt_is_arc(m)) {
    const Pt p = dest(s, c, 10.0);
    const int32_t n = circle_line_intersection(legs_rad_lat[m], legs_rad_lon[m], legs_radius[m], s.lat, s.lon, p.lat, p.lon);
    if (n > 0) {
      const Pt k1{two_point_result.lat1, two_point_result.lon1};
      const Pt k2{two_point_result.lat2, two_point_result.lon2};
      const Pt wi = wpt(i);
      if (gc_distance_nm(legs_rad_lat[m], legs_rad_lon[m], wi.lat, wi.lon) <= legs_radius[m]) {
        nj = std::fabs(angle::wrap180_d(static_cast<double>(gc_bearing(wi.lat, wi.lon, k1.lat, k1.lon)) - c)) < 90.0f ? k1 : k2;
      } else {
        nj = gc_distance_nm(wi.lat, wi.lon, k1.lat, k1.lon) < gc_distance_nm(wi.lat, wi.lon, k2.lat, k2.lon) ? k1 : k2;
      }
    }
  } else if (pt_is_course(m)) {
    const float cm = magvar_course(m);
    course_line_intersection(s.lat, s.lon, c, legs_lat[m], legs_lon[m], cm);
    const Pt x{nav_result.lat, nav_result.lon};
    nj = std::fabs(angle::wrap180_d(static_cast<double>(gc_bearing(x.lat, x.lon, legs_lat[m], legs_lon[m])) - cm)) >= 90.0f ? wpt(m) : x;
  } else if (id_is(m, "(VECTOR)") || pt_is(m, "FA") || pt_is(m, "FC") || pt_is(m, "FD")) {
    const Pt ref{legs_rad_lat[m], legs_rad_lon[m]};
    const float c2 = static_cast<float>(
        c360(legs_brg_mag[m] * 180.0 / pi_12dp - XPLMGetMagneticVariation(ref.lat, ref.lon)));
    course_line_intersection(s.lat, s.lon, c, ref.lat, ref.lon, c2);
    const Pt x{nav_result.lat, nav_result.lon};
    if (id_is(m, "(VECTOR)")) {
      nj = x;
      set_leg_end(m, x);
    } else {
      nj = std::fabs(angle::wrap180_d(static_cast<double>(gc_bearing(ref.lat, ref.lon, x.lat, x.lon)) - c2)) < 90.0f ? x : wpt(m);
    }
  } else {
    course_line_intersection(s.lat, s.lon, c, legs_lat[m], legs_lon[m], magvar_course(m));
    const Pt x{nav_result.lat, nav_result.lon};
    const float ref_brg = gc_bearing(legs_rad_lat[j], legs_rad_lon[j], legs_lat[m], legs_lon[m]);
    nj = std::fabs(angle::wrap180_d(static_cast<double>(gc_bearing(x.lat, x.lon, legs_lat[m], legs_lon[m])) - ref_brg)) >= 90.0f
             ? wpt(m)
             : x;
  }
  set_leg_end(j, nj);
  finish_from_i(i, j);
}

bool ahead5(Pt s, Pt p, float c) {
  const float d = angle::wrap180_d(static_cast<double>(gc_bearing(s.lat, s.lon, p.lat, p.lon)) - c);
  return d > -5.0f && d < 5.0f;
}

void case_dme(int32_t i, int32_t j) {
  const float c = magvar_course(j);
  const float dme = legs_hold_dist[j];
  Pt nj = wpt(i);
  if (dme != 0.0f) {
    const Pt s = start_after_turn(i, j, c, 20.0f, false);
    const Pt w = wpt(i);
    const float at_fix = gc_distance_nm(legs_rad_lat[j], legs_rad_lon[j], w.lat, w.lon) - dme;
    const float after_turn = gc_distance_nm(legs_rad_lat[j], legs_rad_lon[j], s.lat, s.lon) - dme;
    // The distance first reached inside the turn onto the leg: the leg ends
    // where that turn does, as a climb reached there does (the sequencing
    // ends it where the distance is read). The crossings ahead of the turn's
    // end lie past the station, and the next fix behind them.
    if ((s.lat != w.lat || s.lon != w.lon) && (at_fix > 0.0f) != (after_turn > 0.0f)) {
      set_leg_end(j, s);
      finish_from_i(i, j);
      return;
    }
    const Pt p = dest(s, c, 10.0);
    const int32_t n = circle_line_intersection(legs_rad_lat[j], legs_rad_lon[j], dme, s.lat, s.lon, p.lat, p.lon);
    const Pt k1{two_point_result.lat1, two_point_result.lon1};
    const Pt k2{two_point_result.lat2, two_point_result.lon2};
    if (n == 1) {
      if (ahead5(s, k1, c)) nj = k1;
    } else if (n == 2) {
      const float d1 = ahead5(s, k1, c) ? gc_distance_nm(s.lat, s.lon, k1.lat, k1.lon) : 10000.0f;
      const float d2 = ahead5(s, k2, c) ? gc_distance_nm(s.lat, s.lon, k2.lat, k2.lon) : 10000.0f;
      if (!(d1 == 10000.0f && d2 == 10000.0f)) nj = d1 < d2 ? k1 : k2;
    }
  }
  set_leg_end(j, nj);
  finish_from_i(i, j);
}

void case_radial(int32_t i, int32_t j) {
  const float c = magvar_course(j);
  const Pt s = start_after_turn(i, j, c, 22.0f, false);
  gc_intersection(s.lat, s.lon, c, legs_rad_lat[j], legs_rad_lon[j], legs_hold_dist[j]);
  const Pt x{nav_result.lat, nav_result.lon};
  // (0, 0) is how the crossing reports "none"; it is never a leg end.
  const bool none = x.lat == 0.0 && x.lon == 0.0;
  set_leg_end(j, (!none && ahead5(s, x, c)) ? x : wpt(i));
  finish_from_i(i, j);
}

}  // namespace

namespace legpath {

void floating_legs_stage() {
  const int32_t i = leg_pass.i;
  const int32_t j = i + 1;
  bool changed = false;
  const float fi = static_cast<float>(i);
  if (climb_leg(i) && (fi == fms_seq.vnav_idx_seq - 1.0f || fi == fms_seq.vnav_idx - 1.0f)) {
    changed = case_active_climb(i);
    // This leg's end moved under the turn about to be built at it.
    if (changed) set_next_course(i);
  }
  if (climb_leg(j)) {
    case_next_climb(i, j);
    changed = true;
  } else if (pt_is_intercept(j)) {
    case_intercept(i, j);
    changed = true;
  } else if (pt_is(j, "VD") || pt_is(j, "CD")) {
    case_dme(i, j);
    changed = true;
  } else if (pt_is(j, "VR") || pt_is(j, "CR")) {
    case_radial(i, j);
    changed = true;
  }
  if (changed) send_handback();
}

bool climb_below_altitude(int32_t k) {
  return leg_slot_ok(k) && climb_leg(k) && legs_alt_rest1[k] > frame_flight_data.alt_ft;
}

bool turn_tangent_to_fix(Pt centre, float r, bool left, Pt fix, Pt& tp) {
  if (circle_tangent_points(centre.lat, centre.lon, r, fix.lat, fix.lon) == 0) return false;
  const Pt p1{two_point_result.lat1, two_point_result.lon1};
  const Pt p2{two_point_result.lat2, two_point_result.lon2};
  // Of the two tangents, the one the turn flies along toward the fix.
  auto off = [&](Pt p) {
    const double travel = c360(brg(centre, p) + (left ? 270.0 : 90.0));
    return std::fabs(angle::wrap180_d(travel - brg(p, fix)));
  };
  tp = off(p2) <= off(p1) ? p2 : p1;
  return true;
}

float course_carried_to(Pt from, Pt at, float crs) {
  if (!(dist(from, at) > 0.01f)) return crs;
  return c360_f(static_cast<double>(brg(from, at)) + crs - brg(at, from) - 180.0);
}

bool df_course_stage() {
  LegPassFrame& f = leg_pass;
  const int32_t i = f.i;
  const int32_t j = i + 1;
  const float to_fix = gc_bearing(legs_lat[i], legs_lon[i], legs_lat[j], legs_lon[j]);
  const float diff = angle::wrap180_d(static_cast<double>(to_fix) - f.xact_crs);
  if (std::fabs(diff) < 5.0f) {
    // Straight on to the fix: the course is the bearing to it from this
    // leg's end. The course carried from the last pass would keep whatever
    // the first pass found, a course the route never had.
    take_next_course(to_fix);
    legs_df_crs[j] = to_fix;
    legs_df_crs_fin[j] = angle::wrap360_d(gc_bearing(legs_lat[j], legs_lon[j], legs_lat[i], legs_lon[i]) + 180.0);
    return false;
  }
  const float r = turn_r(i, 22.0f, f.xnext_rel_brg, false);
  const float code = legs_rad_turn[j];
  const bool left = navmath::is_left_turn_f(code) || (!navmath::is_coded_right_f(code) && diff < 0.0f);
  const int32_t side = left ? kTurnLeft : kTurnRight;
  gc_destination(legs_lat[i], legs_lon[i], c360(f.xact_crs + (left ? 270.0 : 90.0)), r);
  const Pt t{nav_result.lat, nav_result.lon};
  legs_turn[i] = static_cast<float>(side);
  Pt tp{};
  if (!turn_tangent_to_fix(t, r, left, wpt(j), tp)) {
    straight_transition(i, legs_dist[j]);
    legs_bypass[j] = 1.0f;
    legs_df_crs[j] = legs_df_crs_fin[j] = -1.0f;
    return true;
  }
  f.xdf_crs = gc_bearing(tp.lat, tp.lon, legs_lat[j], legs_lon[j]);
  take_next_course(f.xdf_crs);
  legs_df_crs[j] = f.xdf_crs;
  legs_df_crs_fin[j] = angle::wrap360_d(gc_bearing(legs_lat[j], legs_lon[j], tp.lat, tp.lon) + 180.0);

  legs_radii_dta[i] = legs_seg1_dta[i] = 0.0f;
  legs_radii_radius[i] = legs_seg1_radius[i] = r;
  legs_seg1_turn[i] = static_cast<float>(side);
  legs_radii_ctr_lat[i] = legs_seg1_ctr_lat[i] = static_cast<float>(t.lat);
  legs_radii_ctr_lon[i] = legs_seg1_ctr_lon[i] = static_cast<float>(t.lon);
  // The radials to the turn's start and end as seen from its centre: near a
  // pole the meridians converge across the radius, and a radial square to
  // the course at either end would lay the arc's ends beside them.
  legs_seg1_start_angle[i] = gc_bearing(t.lat, t.lon, legs_lat[i], legs_lon[i]);
  legs_seg1_end_angle[i] = gc_bearing(t.lat, t.lon, tp.lat, tp.lon);
  legs_seg1_start_lat[i] = legs_lat[i];
  legs_seg1_start_lon[i] = legs_lon[i];
  legs_seg1_end_lat[i] = static_cast<float>(tp.lat);
  legs_seg1_end_lon[i] = static_cast<float>(tp.lon);
  legs_seg1_arc_lenght[i] = arc_length(r, course_diff_dir(legs_seg1_start_angle[i], legs_seg1_end_angle[i], side));
  legs_seg_remain_dist[i] = gc_distance_nm(tp.lat, tp.lon, legs_lat[j], legs_lon[j]);
  legs_wpt_angle[i] = legs_seg1_start_angle[i];
  legs_wpt_arc_dist[i] = 0.0f;
  legs_bypass[j] = 0.0f;
  f.disable_calc = 2;
  reset_leg_path(j, 0);
  return false;
}

}  // namespace legpath
