// Leg path builder frame: one call builds the transition at one waypoint.
// Owns the pass order (reset, computability checks, courses, speed
// prediction, floating legs, DF course, bypass, classification, connection)
// and the leg services shared with the main loop: path reset, the backward
// valid-leg walk and the direct-to piece count.
//
// Reads the scripts' leg table and route strings, the sequencing values, the
// host's ground speed and altitudes; writes the leg path arrays.
#include "lnav/path/leg_path.h"

#include <cmath>
#include <cstdarg>
#include <cstdio>

#include "core/binding.h"
#include "core/host_io.h"
#include "core/preprocess_values.h"
#include "core/units.h"
#include "lnav/route/route_intake.h"
#include "lnav/route/route_pass_steps.h"
#include "lnav/route/fms_legs.h"
#include "lnav/path/leg_path_internal.h"
#include "lnav/path/path_position.h"
#include "lnav/route/route_state.h"
#include "navdata/air_data.h"
#include "navdata/geodesy.h"
#include "navdata/nav_math.h"
#include "lnav/route/route_geometry.h"
#include "platform/xplm.h"

LegPassFrame leg_pass;

namespace legpath {

namespace {
const RouteText empty_text{};
}

int32_t last_entry() {
  const float n = fms_seq.legs_num;
  if (!(n >= 0.0f)) return 0;
  if (n >= 255.0f) return 255;
  return static_cast<int32_t>(n);
}

const RouteText& wpt_id(int32_t k) { return leg_slot_ok(k) ? route_tables.waypoint_names[k] : empty_text; }
const RouteText& path_type(int32_t k) { return leg_slot_ok(k) ? route_tables.leg_path_types[k] : empty_text; }
const RouteText& prev_path_type(int32_t k) {
  return leg_slot_ok(k) ? route_tables.prev_leg_path_types[k] : empty_text;
}
bool id_is_gap(int32_t k) { return id_is(k, "DISCONTINUITY") || id_is(k, "(VECTOR)"); }
bool id_is_runway(int32_t k) { return route_text_starts(wpt_id(k), "RW"); }
bool pt_is_arc(int32_t k) { return pt_is(k, "AF") || pt_is(k, "RF"); }
bool pt_is_hold(int32_t k) { return pt_is(k, "HM") || pt_is(k, "HA") || pt_is(k, "HF"); }
bool pt_is_intercept(int32_t k) { return pt_is(k, "CI") || pt_is(k, "VI"); }
bool pt_is_course(int32_t k) { return pt_starts(k, "C") || pt_starts(k, "V"); }

float wrap179(double x) {
  float v = angle::wrap180_d(x);
  if (v == 180.0f) v = 179.0f;
  if (v == -180.0f) v = -179.0f;
  return v;
}
float fold_abs(double x) { return std::fabs(angle::wrap180_d(x)); }

namespace {
// The crossing sees an angle only after it went through single precision
// (navmath::rad): two longitudes a hair apart in double are one meridian to it.
bool one_meridian(double a_lon, double b_lon) { return navmath::rad(a_lon) == navmath::rad(b_lon); }

// p moved step_nm along crs; false (p untouched) when that leaves it on the
// meridian of `other`, as a course close to north or south does.
bool step_off(double& lat, double& lon, double crs, double other_lon) {
  // The destination is rounded to single precision: the step must move the
  // longitude by more than a float step.
  constexpr double step_nm = 0.01;
  if (!(std::fabs(std::sin(crs * pi_12dp / 180.0)) > 1e-6)) return false;
  gc_destination(lat, lon, crs, step_nm);
  if (one_meridian(nav_result.lon, other_lon)) return false;
  lat = nav_result.lat;
  lon = nav_result.lon;
  return true;
}
}  // namespace

void off_meridian(double& a_lat, double& a_lon, double a_crs, double& b_lat, double& b_lon, double b_crs) {
  if (!one_meridian(a_lon, b_lon) || navmath::rad(a_lat) == navmath::rad(b_lat)) return;
  if (!step_off(b_lat, b_lon, b_crs, a_lon)) step_off(a_lat, a_lon, a_crs, b_lon);
}

bool tracing(float selector) { return fms_debug_selector == selector; }
void trace(float selector, const char* fmt, ...) {
  if (fms_debug_selector != selector) return;
  char line[512];
  va_list args;
  va_start(args, fmt);
  std::vsnprintf(line, sizeof line, fmt, args);
  va_end(args);
  XPLMDebugString(line);
}

void store_turn_center(int32_t k, int32_t side) {
  if (!leg_slot_ok(k)) return;
  const TurnCenterResult& r = turn_center_result;
  const auto f = [](double v) { return static_cast<float>(v); };
  legs_seg1_ctr_lat[k] = legs_radii_ctr_lat[k] = f(r.seg1_ctr_lat);
  legs_seg1_ctr_lon[k] = legs_radii_ctr_lon[k] = f(r.seg1_ctr_lon);
  legs_seg1_start_lat[k] = f(r.seg1_start_lat);
  legs_seg1_start_lon[k] = f(r.seg1_start_lon);
  legs_seg1_end_lat[k] = f(r.seg1_end_lat);
  legs_seg1_end_lon[k] = f(r.seg1_end_lon);
  legs_seg1_start_angle[k] = r.seg1_start_angle;
  legs_seg1_end_angle[k] = r.seg1_end_angle;
  legs_seg1_turn[k] = static_cast<float>(r.seg1_turn);
  legs_seg1_arc_lenght[k] = r.seg1_arc_lenght;
  legs_seg3_ctr_lat[k] = f(r.seg3_ctr_lat);
  legs_seg3_ctr_lon[k] = f(r.seg3_ctr_lon);
  legs_seg2_end_lat[k] = f(r.seg2_end_lat);
  legs_seg2_end_lon[k] = f(r.seg2_end_lon);
  legs_seg3_start_angle[k] = r.seg3_start_angle;
  legs_seg3_end_angle[k] = r.seg3_end_angle;
  legs_seg3_turn[k] = static_cast<float>(r.seg3_turn);
  legs_seg3_arc_lenght[k] = r.seg3_arc_lenght;
  legs_seg2_distance[k] = r.seg2_distance;
  legs_seg2_crs_true[k] = r.seg2_crs_true;
  legs_seg3_end_lat[k] = f(r.seg3_end_lat);
  legs_seg3_end_lon[k] = f(r.seg3_end_lon);
  legs_seg_remain_dist[k] = r.seg_remain_dist;
  legs_seg1_radius[k] = legs_seg3_radius[k] = legs_radii_radius[k] = r.seg1_radius;
  legs_seg1_dta[k] = legs_radii_dta[k] = r.seg1_dta;
  legs_turn[k] = static_cast<float>(side);
}

void split_arc_at_waypoint(int32_t k) {
  if (!leg_slot_ok(k)) return;
  const float r = legs_seg1_radius[k];
  const int32_t turn = static_cast<int32_t>(legs_seg1_turn[k]);
  const float start = legs_seg1_start_angle[k];
  const float end = legs_seg1_end_angle[k];
  const float w = gc_bearing(legs_seg1_ctr_lat[k], legs_seg1_ctr_lon[k], legs_lat[k], legs_lon[k]);
  legs_wpt_angle[k] = w;
  const float d1 = course_diff_dir(start, end, turn);
  const float d2 = course_diff_dir(start, w, turn);
  if (std::fabs(d2) > std::fabs(d1)) {
    legs_seg1_start_angle[k] = w;
    gc_destination(legs_seg1_ctr_lat[k], legs_seg1_ctr_lon[k], w, r);
    legs_seg1_start_lat[k] = static_cast<float>(nav_result.lat);
    legs_seg1_start_lon[k] = static_cast<float>(nav_result.lon);
    legs_seg1_arc_lenght[k] = arc_length(r, course_diff_dir(w, end, turn));
    legs_wpt_arc_dist[k] = 0.0f;
  } else {
    legs_seg1_arc_lenght[k] = arc_length(r, d1);
    legs_wpt_arc_dist[k] = arc_length(r, d2);
  }
}

void straight_transition(int32_t k, float remain_nm) {
  if (!leg_slot_ok(k)) return;
  legs_radii_radius[k] = 0.0f;
  legs_radii_dta[k] = 0.0f;
  legs_seg1_start_lat[k] = legs_lat[k];
  legs_seg1_start_lon[k] = legs_lon[k];
  legs_seg_remain_dist[k] = remain_nm;
}

void true_distance(int32_t s, int32_t n, bool arc_rule) {
  if (!leg_slot_ok(n)) return;
  const int32_t p = prev_valid_leg(n);
  float d;
  if (p == -1) {
    d = (dir_seg_remain_dist - legs_radii_dta[n]) + (dir_seg1_arc_lenght - dir_wpt_arc_dist) + dir_seg2_distance +
        dir_seg3_arc_lenght + legs_af_arc_dist[n] + legs_wpt_arc_dist[n] + proc_turn.pi_lenght[n];
  } else if (pt_is_hold(n)) {
    d = 0.0f;
  } else if (leg_slot_ok(p)) {
    const float straight = (arc_rule && pt_is_arc(n)) ? 0.0f : legs_seg_remain_dist[p] - legs_radii_dta[n];
    d = (legs_seg1_arc_lenght[p] - legs_wpt_arc_dist[p]) + legs_seg2_distance[p] + legs_seg3_arc_lenght[p] +
        straight + legs_af_arc_dist[n] + legs_wpt_arc_dist[n] + proc_turn.pi_lenght[n];
  } else {
    d = 0.0f;
  }
  legs_dist_true[n] = d;
  if (tracing(9999.0f)) {
    trace(9999.0f, "WPT %d: Distance true for WPT %d (PREV %d): %f\n", s, n, p, static_cast<double>(d));
    trace(9999.0f, "WPT %d: Legs bypass for WPT %d: %f\n", s, n, static_cast<double>(legs_bypass[n]));
    trace(9999.0f, "\n");
  }
}

}  // namespace legpath

using namespace legpath;

// ---- shared leg services --------------------------------------------------------------------

void reset_leg_path(int32_t k, int32_t flag) {
  if (flag == 1) {
    dir_seg1_start_lat = dir_start_lat;
    dir_seg1_start_lon = dir_start_lon;
    dir_seg1_ctr_lat = dir_seg1_ctr_lon = dir_seg1_radius = dir_seg1_turn = 0.0f;
    dir_seg1_start_angle = dir_seg1_end_angle = 0.0f;
    dir_seg3_ctr_lat = dir_seg3_ctr_lon = dir_seg3_radius = dir_seg3_turn = 0.0f;
    dir_seg3_start_angle = dir_seg3_end_angle = 0.0f;
    dir_seg1_end_lat = dir_seg1_end_lon = dir_seg2_end_lat = dir_seg2_end_lon = 0.0f;
    dir_seg3_end_lat = dir_seg3_end_lon = 0.0f;
    dir_seg1_dta = dir_wpt_angle = dir_seg1_arc_lenght = dir_wpt_arc_dist = 0.0f;
    dir_seg2_distance = dir_seg3_arc_lenght = dir_seg_remain_dist = 0.0f;
    return;
  }
  if (!leg_slot_ok(k)) return;
  legs_seg1_start_lat[k] = legs_lat[k];
  legs_seg1_start_lon[k] = legs_lon[k];
  // Constant addresses: the list is laid down once, not on every call.
  static float* const cleared[] = {
      legs_seg1_dta,        legs_seg1_ctr_lat,     legs_seg1_ctr_lon,    legs_seg1_radius,   legs_seg1_turn,
      legs_seg1_start_angle, legs_seg1_end_angle,  legs_seg1_end_lat,    legs_seg1_end_lon,  legs_seg1_arc_lenght,
      legs_seg2_crs_true,   legs_seg2_distance,    legs_seg2_end_lat,    legs_seg2_end_lon,  legs_seg3_ctr_lat,
      legs_seg3_ctr_lon,    legs_seg3_radius,      legs_seg3_turn,       legs_seg3_start_angle, legs_seg3_end_angle,
      legs_seg3_end_lat,    legs_seg3_end_lon,     legs_seg3_arc_lenght, legs_seg_remain_dist, legs_af_end,
      legs_af_arc_dist,     legs_wpt_angle,        legs_wpt_arc_dist,    legs_dist_true,     legs_dist_dest_true,
      legs_dist_dest_true_bp, legs_bypass,         legs_radii_radius,    legs_radii_dta,
      legs_seg3_pt_lat,     legs_seg3_pt_lon,      legs_entry_rad,       legs_entry_arc_len,
  };
  for (float* a : cleared) a[k] = 0.0f;
  // The arc start of the following leg belongs to this transition.
  if (k + 1 < 256) legs_af_beg[k + 1] = 0.0f;
}

int32_t prev_valid_leg(int32_t i) {
  if (i < 1) return 0;
  if (i > 255) i = 255;
  int32_t j = i - 1;
  if (j < first_path_leg || legs_direct[i] != 0.0f) return -1;
  while (legs_bypass[j] == 1.0f) {
    if (j == 0) break;
    --j;
    if (j < first_path_leg || legs_direct[j + 1] != 0.0f) return -1;
  }
  if (static_cast<float>(j) > fms_seq.legs_num) return last_entry();
  return j;
}

int32_t dir_seg_count() {
  if (dir_seg1_end_lat == 0.0f && dir_seg1_end_lon == 0.0f) return 0;
  if (dir_seg3_end_lat == 0.0f && dir_seg3_end_lon == 0.0f) return 1;
  if (dir_seg2_end_lat == 0.0f && dir_seg2_end_lon == 0.0f) return 2;
  return 3;
}

// ---- one pass ------------------------------------------------------------------------------

namespace legpath {

void take_next_course(float c) {
  LegPassFrame& f = leg_pass;
  f.xnext_crs = c;
  f.xnext_rel_brg = wrap179(static_cast<double>(f.xnext_crs) - f.xact_crs);
  f.xabs_next_rel_brg = std::fabs(f.xnext_rel_brg);
  f.xsupp_angle = 180.0f - f.xabs_next_rel_brg;
  if (f.xsupp_angle == 0.0f) f.xsupp_angle = 1.0f;
}

void set_next_course(int32_t i) { take_next_course(magvar_course_alt(i)); }

}  // namespace legpath

namespace {

bool computable(int32_t i) {
  if (id_is_gap(i) || id_is(i + 1, "DISCONTINUITY")) return false;
  if (id_is(i + 1, "(VECTOR)") && !((first_alt_term_leg != 0 && i == first_alt_term_leg) || pt_is_intercept(i)))
    return false;
  if (id_is_gap(i - 1) && fms_seq.intdir_act != 2.0f) return false;
  if (static_cast<float>(i) == fms_seq.legs_num - 1.0f) return false;
  if (pt_is(i, "PI")) return false;
  return true;
}

void set_courses(int32_t i) {
  LegPassFrame& f = leg_pass;
  f.xact_crs = magvar_course(i);
  if (pt_is_arc(i)) {
    arc_setup(i, false);
    if (i >= 1) legs_seg_remain_dist[i - 1] = 0.0f;
  }
  set_next_course(i);
  trace(2222.0f, "WPT %d <%s>: Act crs: %f, Next crs:%f\n", i, wpt_id(i).text, static_cast<double>(f.xact_crs),
        static_cast<double>(f.xnext_crs));
}

void predict_speed(int32_t i) {
  const float fi = static_cast<float>(i);
  const float v2 = fms_copies.v2_set;
  if (fi == fms_seq.vnav_idx - 1.0f || fi == fms_seq.vnav_idx_seq - 1.0f) {
    const float gs = std::fmax(145.0f, host_mirror.sim_flightmodel_position_groundspeed * kt_per_mps);
    if (i == 1 && id_is_runway(1)) {
      legs_spd_calc[1] = v2 == 0.0f ? 145.0f : v2 + 20.0f;
      if (gs > legs_spd_calc[1]) legs_spd_calc[1] = gs;
    } else {
      legs_spd_calc[i] = speed_step(gs, legs_spd_calc[i], legs_max_spd[i], frame_flight_data.alt_ft,
                                    route_track.abeam_dist);
    }
    return;
  }
  if (i == 1 && id_is_runway(1)) {
    legs_spd_calc[1] = v2 == 0.0f ? 145.0f : v2 + 20.0f;
    return;
  }
  if (id_is_runway(i)) {
    if (legs_spd[i] == 0.0f) legs_spd_calc[i] = 145.0f;
    return;
  }
  if (i < 1) return;
  int32_t p = i - 1;
  float d = legs_dist[i];
  if (legs_bypass[i - 1] != 0.0f) {
    p = prev_valid_leg(i);
    if (p <= 0) return;
    d = 0.0f;
    for (int32_t k = p + 1; k <= i; ++k) d += legs_dist[k];
  }
  const float s = legs_spd_calc[p];
  if (!(s > 0.0f)) return;
  const float tas = s >= 100.0f ? tas_from_speed(s, legs_alt_calc[p]) : tas_from_mach(s, legs_alt_calc[p]);
  if (tas == 0.0f) return;
  legs_spd_calc[i] = speed_step(tas, legs_spd_calc[i], legs_max_spd[i], legs_alt_calc[i], d);
}

void speed_probe() {
  if (fms_debug_selector != 1235.0f) return;
  const bound::Id probe = bound::zuvadud_D738_fms_test8;
  if (!bound_present(probe)) return;
  const float v = read_now_f(probe);
  if (!(v >= 0.0f && v <= fms_seq.legs_num)) return;
  const int32_t k = static_cast<int32_t>(v);
  if (leg_slot_ok(k)) script_set_f(probe, legs_spd_calc[k]);
}

int32_t classify(int32_t i, int32_t j) {
  LegPassFrame& f = leg_pass;
  if (f.disable_calc != 0) return 0;
  if (pt_is(j, "AF") && !pt_is_arc(i)) return arc_entry_search();
  if (pt_is(i, "AF") && !pt_is_arc(j)) {
    const int32_t r = arc_exit_search();
    if (r == 4) return 4;
    if (pt_is_intercept(j)) return 6;
    if (r == 2) f.af_exit_flag = 1;
    return r;
  }
  if (f.xabs_next_rel_brg < 5.0f) return 0;
  if (pt_is_course(j) || f.xdf_crs != -1.0f) return 6;
  if (legs_type[i] == 5.0f) return 5;
  if (legs_type[j] == 6.0f && !pt_is_intercept(i)) return 5;
  if (pt_is(j, "DF")) return 5;
  if (pt_is(j, "TF") || pt_is(j, "IF") || pt_is(j, "FD") || pt_is(j, "FA")) return pt_is_arc(i) ? 0 : 5;
  return 0;
}

int32_t skip_waypoint(int32_t i) {
  straight_transition(i, legs_dist[i + 1]);
  legs_bypass[i + 1] = 0.0f;
  true_distance(i, i, true);
  hold_entry_stage(i);
  reset_leg_path(i + 1, 0);
  true_distance(i, i + 1, false);
  if (fms_seq.intdir_act == 0.0f && !pt_is(i, "DF") && !prev_pt_is(i, "DF")) {
    legs_df_crs[i] = -1.0f;
    legs_df_crs_fin[i] = -1.0f;
  }
  if (tracing(9999.0f)) {
    trace(9999.0f, "WPT %d <%s>: Skipped to WPT %d <%s>\n", i, wpt_id(i).text, i + 1, wpt_id(i + 1).text);
    trace(9999.0f, "\n");
  }
  return i + 1;
}

}  // namespace

int32_t calc_legs_path(int32_t i, int32_t flag) {
  // The transition at i reads slot i + 1: the last slot has none.
  if (i < 0 || i > 254) return i < 0 ? 0 : i + 1;
  LegPassFrame& f = leg_pass;
  f = LegPassFrame{};
  f.i = i;
  f.j = i + 1;
  f.xdf_crs = -1.0f;

  reset_leg_path(i, flag);
  if (on_ground == 0) legs_direct[i + 1] = 0.0f;
  if (flag == 1) return direct_to_stage(i);

  if (pt_is_arc(i + 1)) arc_setup(i + 1, true);
  if (!computable(i)) return skip_waypoint(i);

  set_courses(i);
  predict_speed(i);
  floating_legs_stage();

  if (!pt_is(i, "DF") && !prev_pt_is(i, "DF") && fms_seq.intdir_act == 0.0f &&
      static_cast<float>(i) == fms_seq.vnav_idx - 1.0f) {
    legs_df_crs[i] = -1.0f;
    legs_df_crs_fin[i] = -1.0f;
  }
  legs_df_crs[i + 1] = -1.0f;
  legs_df_crs_fin[i + 1] = -1.0f;
  bool df_bypass = false;
  if (pt_is(i + 1, "DF") || prev_pt_is(i + 1, "DF")) df_bypass = df_course_stage();
  speed_probe();

  if (df_bypass) {
    const int32_t side = static_cast<int32_t>(legs_turn[i]);
    const int32_t joined = bypass_search(i, 0, side);
    if (joined >= 0) {
      f.j = joined;
      f.disable_calc = 2;
    } else {
      f.disable_calc = 1;
    }
  }

  if (id_is(f.j, "(VECTOR)") && f.disable_calc == 0) f.disable_calc = 1;
  f.enable_calc_turn = classify(i, f.j);
  if (tracing(9999.0f)) {
    trace(9999.0f,
          "WPT %d <%s>: enable_calc_turn %d, disable_calc: %d, xabs_next_rel_brg: %f, xact_crs: %f, xnext_crs: %f\n",
          i, wpt_id(i).text, f.enable_calc_turn, f.disable_calc, static_cast<double>(f.xabs_next_rel_brg),
          static_cast<double>(f.xact_crs), static_cast<double>(f.xnext_crs));
    trace(9999.0f, "\n");
  }

  int32_t next = f.j;
  switch (f.enable_calc_turn) {
    case 1:
    case 5:
    case 6:
      next = flyby_connection(f.enable_calc_turn);
      break;
    case 2:
    case 3:
    case 4:
      next = arc_connection(f.enable_calc_turn);
      break;
    default:
      if (f.disable_calc != 2) {
        straight_transition(i, leg_slot_ok(f.j) ? legs_dist[f.j] : 0.0f);
        if (leg_slot_ok(f.j)) legs_bypass[f.j] = 0.0f;
        if (tracing(9999.0f)) {
          trace(9999.0f, "WPT %d <%s>: Skipped to WPT %d <%s> (disable_calc %d) \n", i, wpt_id(i).text, f.j,
                wpt_id(f.j).text, f.disable_calc);
          trace(9999.0f, "\n");
        }
        reset_leg_path(f.j, 0);
      }
      break;
  }
  if (next <= i) next = i + 1;
  true_distance(i, i, true);
  hold_entry_stage(i);
  true_distance(i, next, false);
  return next;
}
