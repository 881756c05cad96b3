// Arc legs (AF DME arcs and RF radius-to-fix legs): the arc's own start and
// end radials and length, the tangent turn from a straight onto an AF arc
// (class 3), the tangent turn off an AF arc onto the next course (class 4) and
// the single arc from the arc's end fix onto a course leg that is reached
// without a tangent turn (class 2).
//
// Reads the leg table (arc centre, radius and direction, positions), the
// route strings and the pass frame; writes leg i's transition fields and the
// arc radials and lengths of the arc leg.
#include <cmath>

#include "lnav/route/fms_legs.h"
#include "lnav/path/leg_path.h"
#include "lnav/path/leg_path_internal.h"
#include "lnav/route/route_state.h"
#include "navdata/geodesy.h"
#include "lnav/route/route_geometry.h"

ArcTurnResult arc_turn_result;

namespace legpath {

void arc_setup(int32_t k, bool from_previous) {
  if (k < 1 || !leg_slot_ok(k)) return;
  const double clat = legs_rad_lat[k], clon = legs_rad_lon[k];
  const float to_prev = gc_bearing(clat, clon, legs_lat[k - 1], legs_lon[k - 1]);
  float len = 0.0f;
  if (id_is_gap(k - 1)) {
    if (from_previous) legs_af_beg[k] = to_prev;
    legs_af_end[k] = to_prev;
  } else {
    // From k's own pass the start radial stays: an entry turn may have set it.
    if (from_previous) legs_af_beg[k] = to_prev;
    legs_af_end[k] = gc_bearing(clat, clon, legs_lat[k], legs_lon[k]);
    len = arc_length(legs_radius[k],
                     course_diff_dir(legs_af_beg[k], legs_af_end[k], static_cast<int32_t>(legs_rad_turn[k])));
  }
  legs_af_arc_dist[k] = len;
  if (from_previous) legs_seg_remain_dist[k - 1] = len;
}

}  // namespace legpath

using namespace legpath;

namespace {

// The construction's points and steps (lnav/path/leg_path_internal.h).
using legpath::Pt;
using legpath::brg;
using legpath::dest;
using legpath::dist;
using legpath::wpt;

Pt arc_centre(int32_t k) { return leg_slot_ok(k) ? Pt{legs_rad_lat[k], legs_rad_lon[k]} : Pt{0.0, 0.0}; }
bool is_zero(Pt a) { return a.lat == 0.0 && a.lon == 0.0; }

// Room along arc leg k from its start fix to its end fix for the turns at
// either end: the straight distance, as for a leg, except round an arc of
// more than half a circle, whose end can lie beside its start.
float arc_room(Pt start, Pt end, int32_t k) {
  const Pt A = arc_centre(k);
  const float span = std::fabs(course_diff_dir_f(brg(A, start), brg(A, end), legs_rad_turn[k]));
  if (span > 180.0f) return arc_length(span, legs_radius[k]);
  return dist(start, end);
}

// Crossing of the course lines through a and b, (0, 0) when there is none.
Pt crossing(Pt a, double ca, Pt b, double cb) {
  off_meridian(a.lat, a.lon, ca, b.lat, b.lon, cb);
  gc_intersection(a.lat, a.lon, ca, b.lat, b.lon, cb);
  return {nav_result.lat, nav_result.lon};
}

// Turn codes 0 and 2 are both left, 1 and 3 both right: a turn agrees with an
// arc's direction whatever form of the code the scripts used.
bool same_direction(float side, float code) {
  const bool side_left = navmath::is_left_turn_f(side);
  const bool code_left = navmath::is_left_turn_f(code);
  const bool code_right = navmath::is_coded_right_f(code);
  return side_left ? code_left : code_right;
}

// The waypoint before i; the first entry stands for itself.
int32_t before(int32_t i) { return i > 0 ? i - 1 : i; }

// The speed loops step 10 kt down to 145 kt; a bound on the steps keeps an
// absurd predicted speed from the scripts from spinning the loop.
constexpr int32_t max_speed_steps = 200;

void log_search(const char* what, float xspeed, float xradius, int32_t af_from_to, int32_t res) {
  const LegPassFrame& f = leg_pass;
  if (!tracing(9999.0f)) return;
  trace(9999.0f, "WPT %d <%s>: Loop for connect to WPT %d <%s>  - %s AF/RF\n", f.i, wpt_id(f.i).text, f.j,
        wpt_id(f.j).text, what);
  trace(9999.0f, "    xspeed = %f, xradius = %f, af_from_to = %d, enable_calc_turn = %d, calc_dta = %f  - %s AF/RF\n",
        static_cast<double>(xspeed), static_cast<double>(xradius), af_from_to, res,
        static_cast<double>(arc_turn_result.calc_dta), what);
  trace(9999.0f, "\n");
}

void store_search(int32_t i, float xradius) {
  legs_radii_radius[i] = xradius;
  legs_turn[i] = arc_turn_result.side;
  legs_radii_ctr_lat[i] = arc_turn_result.ctr_lat;
  legs_radii_ctr_lon[i] = arc_turn_result.ctr_lon;
}

// Fills leg i's first arc around the turn centre and measures it around i.
void store_seg1(int32_t i, Pt T, float r, float side, float start, float end) {
  legs_seg1_ctr_lat[i] = static_cast<float>(T.lat);
  legs_seg1_ctr_lon[i] = static_cast<float>(T.lon);
  legs_seg1_radius[i] = r;
  legs_seg1_turn[i] = side;
  legs_seg1_start_angle[i] = start;
  legs_seg1_end_angle[i] = end;
  store_pt(legs_seg1_start_lat, legs_seg1_start_lon, i, dest(T, start, r));
  store_pt(legs_seg1_end_lat, legs_seg1_end_lon, i, dest(T, end, r));
}

// The end both arc turns share: the arc split at waypoint i, the turn traced
// as connecting i to j (`how`: its class), and j's leg built afresh.
int32_t arc_turn_connected(int32_t i, int32_t j, const char* how) {
  split_arc_at_waypoint(i);
  if (tracing(9999.0f)) {
    trace(9999.0f, "WPT %d <%s>: Connected to WPT %d <%s>  %s\n", i, wpt_id(i).text, j, wpt_id(j).text, how);
    trace(9999.0f, "\n");
  }
  reset_leg_path(j, 0);
  return j;
}

// ---- entry onto an AF arc (class 3) ------------------------------------------------------------

int32_t connection_3() {
  const LegPassFrame& f = leg_pass;
  const int32_t i = f.i, j = f.j;
  const ArcTurnResult& t = arc_turn_result;
  const Pt A = arc_centre(j);
  const Pt T{t.ctr_lat, t.ctr_lon};
  const float r = legs_radii_radius[i];
  const bool left = t.side == static_cast<float>(kTurnLeft);
  legs_af_beg[j] = brg(A, T);
  legs_af_end[j] = brg(A, wpt(j));
  const float len = arc_length(legs_radius[j], course_diff_dir(legs_af_beg[j], legs_af_end[j],
                                                               static_cast<int32_t>(legs_rad_turn[j])));
  legs_af_arc_dist[j] = len;
  legs_seg_remain_dist[i] = len;
  legs_radii_dta[i] = legs_seg1_dta[i] = t.calc_dta;
  const float start = angle::wrap360_d(f.xact_crs + (left ? 90.0 : 270.0));
  store_pt(legs_radii_lat2, legs_radii_lon2, i, dest(T, start, r));
  const float end = same_direction(t.side, legs_rad_turn[j]) ? legs_af_beg[j] : brg(T, A);
  store_seg1(i, T, r, t.side, start, end);
  legs_bypass[j] = 0.0f;
  return arc_turn_connected(i, j, "(3) - entry AF/RF");
}

// ---- exit from an AF arc (class 4) -------------------------------------------------------------

int32_t connection_4() {
  const LegPassFrame& f = leg_pass;
  const int32_t i = f.i, j = f.j;
  const ArcTurnResult& t = arc_turn_result;
  const Pt A = arc_centre(i);
  const Pt T{t.ctr_lat, t.ctr_lon};
  const float r = legs_radii_radius[i];
  const bool left = t.side == static_cast<float>(kTurnLeft);
  legs_af_end[i] = brg(A, T);
  legs_radii_dta[i] = legs_seg1_dta[i] = t.calc_dta;
  store_pt(legs_radii_lat2, legs_radii_lon2, i, dest(T, angle::wrap360_d(f.xact_crs + (left ? 90.0 : 270.0)), r));
  const float start = same_direction(t.side, legs_rad_turn[i]) ? legs_af_end[i] : brg(T, A);
  const float end = angle::wrap360_d(f.xnext_crs + (left ? 90.0 : 270.0));
  store_seg1(i, T, r, t.side, start, end);
  legs_bypass[j] = 0.0f;
  legs_seg_remain_dist[i] = gc_distance_nm(legs_seg1_end_lat[i], legs_seg1_end_lon[i], legs_lat[j], legs_lon[j]);
  legs_af_arc_dist[i] = arc_length(legs_radius[i], course_diff_dir(legs_af_beg[i], legs_af_end[i],
                                                                   static_cast<int32_t>(legs_rad_turn[i])));
  return arc_turn_connected(i, j, "(4) - exit AF/RF");
}

// ---- arc exit without a tangent turn (class 2) -------------------------------------------------

int32_t connection_2() {
  const LegPassFrame& f = leg_pass;
  const int32_t i = f.i, j = f.j;
  const Pt I = wpt(i), J = wpt(j);
  const float demand = legs_rad_turn[j];
  bool left;
  if (demand == static_cast<float>(kTurnLeft) || demand == static_cast<float>(kTurnRight)) {
    left = demand == static_cast<float>(kTurnLeft);
  } else {
    left = f.xnext_rel_brg < 0.0f;
  }
  const float side = left ? 2.0f : 3.0f;
  const float p = angle::wrap360_d(f.xact_crs + (left ? 270.0 : 90.0));
  const float half = (180.0f - f.xabs_next_rel_brg) * 0.5f;
  const float c = left ? angle::wrap360_d(static_cast<double>((half + f.xact_crs) + 180.0f))
                       : angle::wrap360_d(static_cast<double>((f.xact_crs - half) + 180.0f));

  bool ok = true;
  Pt T{0.0, 0.0};
  float r = 0.0f;
  if (f.xnext_rel_brg < -170.0f || f.xnext_rel_brg > 170.0f) {
    // Half circle from the fix to the next course line, on either side of j.
    Pt X = crossing(J, f.xnext_crs, I, p);
    float d = dist(I, X);
    if (is_zero(X) || d > 1000.0f) {
      X = crossing(J, angle::wrap360_d(f.xnext_crs + 180.0), I, p);
      d = dist(I, X);
      ok = !(is_zero(X) || d > 1000.0f);
    }
    if (ok) {
      r = d * 0.5f;
      T = dest(I, p, r);
    }
  } else {
    const Pt X = crossing(J, angle::wrap360_d(f.xnext_crs + 180.0), I, f.xact_crs);
    ok = !(is_zero(X) || dist(I, X) > 1000.0f);
    if (ok) {
      float q = angle::wrap360_d(static_cast<double>(brg(I, X)) - f.xact_crs + 360.0);
      if (q > 180.0f) q -= 360.0f;
      ok = q > -90.0f && q < 90.0f;
    }
    if (ok) {
      T = crossing(I, p, X, c);
      r = dist(I, T);
      ok = !(is_zero(T) || r > 1000.0f);
    }
  }
  if (!ok) {
    legs_radii_radius[i] = 0.0f;
    legs_radii_dta[i] = 0.0f;
    legs_seg_remain_dist[i] = legs_dist[j];
    reset_leg_path(j, 0);
    return j;
  }
  store_pt(legs_radii_ctr_lat, legs_radii_ctr_lon, i, T);
  legs_radii_lat2[i] = legs_lat[i];
  legs_radii_lon2[i] = legs_lon[i];
  legs_radii_dta[i] = 0.0f;
  legs_radii_radius[i] = r;
  legs_turn[i] = side;
  legs_seg1_dta[i] = 0.0f;
  legs_bypass[j] = 0.0f;
  // The stored single-precision centre is the one the points are built from.
  const Pt Tf{legs_radii_ctr_lat[i], legs_radii_ctr_lon[i]};
  store_seg1(i, Tf, r, side, angle::wrap360_d(f.xact_crs + (left ? 90.0 : 270.0)),
             angle::wrap360_d(f.xnext_crs + (left ? 90.0 : 270.0)));
  legs_seg_remain_dist[i] = gc_distance_nm(legs_seg1_end_lat[i], legs_seg1_end_lon[i], J.lat, J.lon);
  split_arc_at_waypoint(i);
  if (tracing(9999.0f)) {
    trace(9999.0f, "WPT %d <%s>: Connected to WPT %d <%s>  (2)\n", i, wpt_id(i).text, j, wpt_id(j).text);
    trace(9999.0f, "\n");
  }
  reset_leg_path(j, 0);
  return j;
}

}  // namespace

// ---- the two tangent constructions -------------------------------------------------------------

int32_t calc_arc_entry_turn(int32_t i, float course, float rel_turn, float r, int32_t af_from_to) {
  ArcTurnResult& t = arc_turn_result;
  t = ArcTurnResult{};
  if (!leg_slot_ok(i) || !leg_slot_ok(i + 1)) return 0;
  const float R = af_from_to == 1 ? legs_radius[i + 1] + r : legs_radius[i + 1] - r;
  const bool left = rel_turn < 0.0f;
  t.side = left ? 2.0f : 3.0f;
  const Pt W = wpt(i), P = wpt(before(i)), N = wpt(i + 1), A = arc_centre(i + 1);
  const Pt P1 = dest(W, angle::wrap360_d(course + (left ? 270.0 : 90.0)), r);
  const Pt P2 = dest(P1, course, 10.0);
  if (circle_line_intersection(A.lat, A.lon, R, P1.lat, P1.lon, P2.lat, P2.lon) == 0) return 0;
  const Pt T1{two_point_result.lat1, two_point_result.lon1};
  const Pt T2{two_point_result.lat2, two_point_result.lon2};
  auto behind = [&](Pt T) {
    float a = angle::wrap360_d(static_cast<double>(brg(W, T)) - brg(P, T) + 540.0);
    if (a > 180.0f) a = 360.0f - a;
    return a < 90.0f;
  };
  const bool b1 = behind(T1), b2 = behind(T2);
  float s1, s2;
  if (b1 != b2) {
    const Pt m = dist(W, N) > dist(W, P) ? P : N;
    s1 = dist(W, T1) + dist(m, T1);
    s2 = dist(W, T2) + dist(m, T2);
  } else {
    s1 = dist(W, T1);
    s2 = dist(W, T2);
  }
  const Pt T = s2 > s1 ? T1 : T2;
  t.ctr_lat = static_cast<float>(T.lat);
  t.ctr_lon = static_cast<float>(T.lon);
  const float d = dist(W, T);
  const float q = d * d - r * r;
  t.calc_dta = q < 0.0f ? 0.0f : std::sqrt(q);
  return 3;
}

int32_t calc_arc_exit_turn(int32_t i, float next_course, float rel_turn, float /*abs_turn*/, float r,
                           int32_t af_from_to) {
  ArcTurnResult& t = arc_turn_result;
  t = ArcTurnResult{};
  if (!leg_slot_ok(i) || !leg_slot_ok(i + 1)) return 0;
  const float R = af_from_to == 1 ? legs_radius[i] + r : legs_radius[i] - r;
  const bool left = rel_turn < 0.0f;
  t.side = left ? 2.0f : 3.0f;
  const Pt W = wpt(i), N = wpt(i + 1), A = arc_centre(i);
  const Pt P1 = dest(N, angle::wrap360_d(next_course + (left ? 270.0 : 90.0)), r);
  const Pt P2 = dest(P1, angle::wrap360_d(next_course + 180.0), 10.0);
  if (circle_line_intersection(A.lat, A.lon, R, P1.lat, P1.lon, P2.lat, P2.lon) == 0) return 0;
  const Pt T1{two_point_result.lat1, two_point_result.lon1};
  const Pt T2{two_point_result.lat2, two_point_result.lon2};
  // A track from the arc's end to the next fix, turning the arc's own way,
  // is a chord of its circle: the two centres then lie at its two crossings,
  // as far from the fix and the end by path length. The turn is laid where
  // the course changes first, at the arc's end, not a loop round at the far
  // crossing.
  const float end_radial = brg(A, W);
  const auto off_end = [&](Pt T) { return std::fabs(angle::wrap180_d(static_cast<double>(brg(A, T)) - end_radial)); };
  const Pt T = pt_is_course(i + 1) ? (dist(N, T2) + dist(W, T2) > dist(N, T1) + dist(W, T1) ? T1 : T2)
                                   : (off_end(T2) < off_end(T1) ? T2 : T1);
  t.ctr_lat = static_cast<float>(T.lat);
  t.ctr_lon = static_cast<float>(T.lon);
  t.calc_dta = dist(W, T);
  if (tracing(9999.0f)) {
    trace(9999.0f, "WPT %d <%s>: Loop for connect to WPT %d <%s>  Intersect OK - Turn: %f - exit AF/RF IN CODE\n", i,
          wpt_id(i).text, i + 1, wpt_id(i + 1).text, static_cast<double>(t.side));
    trace(9999.0f, "\n");
  }
  if (pt_is_course(i + 1)) {
    const float code = legs_rad_turn[i];
    const float arc_begin = brg(A, wpt(before(i)));
    const float arc_end = brg(A, W);
    const float arc_ctr_radii = brg(A, T);
    const float arc_range = std::fabs(course_diff_dir_f(arc_begin, arc_end, code));
    const float arc_range_ctr = std::fabs(course_diff_dir_f(arc_begin, arc_ctr_radii, code));
    if (tracing(9999.0f)) {
      trace(9999.0f, "WPT %d <%s>: Loop for connect to WPT %d <%s>  Test Arc range - exit AF/RF IN CODE\n", i,
            wpt_id(i).text, i + 1, wpt_id(i + 1).text);
      trace(9999.0f,
            "    arc_range = %f, arc_range_ctr = %f, arc_begin = %f, arc_end = %f, arc_ctr_radii = %f  - exit "
            "AF/RF\n",
            static_cast<double>(arc_range), static_cast<double>(arc_range_ctr), static_cast<double>(arc_begin),
            static_cast<double>(arc_end), static_cast<double>(arc_ctr_radii));
      trace(9999.0f, "\n");
    }
    const float demand = legs_rad_turn[i + 1];
    if (demand == static_cast<float>(kTurnLeft) || demand == static_cast<float>(kTurnRight)) t.side = demand;
    if (arc_range >= arc_range_ctr) {
      if (t.side != 2.0f && t.side != 3.0f) return 0;
      const float x = angle::wrap360_d(next_course + (t.side == static_cast<float>(kTurnLeft) ? 90.0 : 270.0));
      const float k = course_line_intersection(T.lat, T.lon, x, N.lat, N.lon, next_course);
      const Pt X{nav_result.lat, nav_result.lon};
      if (k <= 0.05f) return 0;
      if (fold_abs(static_cast<double>(brg(N, X)) - next_course) <= 90.0f) {
        t.too_early = 1;
        return 0;
      }
    } else if (af_from_to == 1) {
      const Pt P = dest(T, angle::wrap360_d(next_course + (t.side == static_cast<float>(kTurnLeft) ? 90.0 : 270.0)), r);
      t.ctr_lat = t.ctr_lon = 0.0f;
      if (fold_abs(static_cast<double>(brg(P, N)) - next_course) < 90.0f) return 2;
      t.too_early = 1;
      return 0;
    } else {
      t.ctr_lat = t.ctr_lon = 0.0f;
      const float c = magvar_course(i);
      const float k = course_line_intersection(W.lat, W.lon, c, N.lat, N.lon, angle::wrap360_d(next_course + 180.0));
      const Pt X{nav_result.lat, nav_result.lon};
      if (k <= 1.8f) return 0;
      if (fold_abs(static_cast<double>(brg(W, X)) - c) < 90.0f) return 2;
      t.too_early = 1;
      return 0;
    }
  }
  const float q = t.calc_dta * t.calc_dta - r * r;
  t.calc_dta = q < 0.0f ? 0.0f : std::sqrt(q);
  return 4;
}

// ---- the searches of the classification ---------------------------------------------------------

namespace {

// Whether the turn lies beyond the abeam of the arc's centre A, seen from the
// arc's waypoint W and the other end X of the turn (1), or within it (0).
int32_t beyond_arc_abeam(const Pt& A, const Pt& W, const Pt& X, float rad_turn, int32_t exit) {
  const auto f = [](double v) { return static_cast<float>(v); };
  return beyond_abeam(f(A.lat), f(A.lon), f(W.lat), f(W.lon), f(X.lat), f(X.lon), rad_turn, exit) ? 1 : 0;
}

// What one try of a turn speed gave: the classification, whether to try the
// next slower speed, and whether the search is over with no turn.
struct SpeedTry {
  int32_t res;
  bool slower;
  bool abort;
};

// The speed search both arc turns share: from the leg's turn speed down in
// 10 kt steps to 145 kt. Within the arc's abeam the radius flown at
// bank_within must stay 0.1 nm inside the arc's own; beyond it the radius is
// flown at bank_beyond. false: no turn (no radius, or a try gave up).
template <class Try>
bool search_turn_speed(float xspeed, int32_t beyond, float bank_within, float bank_beyond, float arc_radius,
                       Try attempt, int32_t* res, float* xradius) {
  *res = 0;
  *xradius = 0.0f;
  arc_turn_result = ArcTurnResult{};
  for (int32_t step = 0; step < max_speed_steps; ++step) {
    bool too_large = false;
    if (beyond == 0) {
      *xradius = turn_radius_nm(bank_within, xspeed);
      too_large = *xradius > arc_radius - 0.1f;
    } else {
      *xradius = turn_radius_nm(bank_beyond, xspeed);
    }
    if (!(*xradius > 0.0f)) return false;
    if (too_large) {
      if (xspeed == 145.0f) break;
      xspeed = std::fmax(145.0f, xspeed - 10.0f);
      continue;
    }
    const SpeedTry t = attempt(xspeed, *xradius);
    *res = t.res;
    if (!t.slower || xspeed == 145.0f) break;
    if (t.abort) return false;
    xspeed = std::fmax(145.0f, xspeed - 10.0f);
  }
  return true;
}

}  // namespace

namespace legpath {

int32_t arc_entry_search() {
  const LegPassFrame& f = leg_pass;
  const int32_t i = f.i, j = f.j;
  if (!leg_slot_ok(i) || !leg_slot_ok(j)) return 0;
  const float xspeed = leg_turn_speed(i, f.xnext_rel_brg, 20.0f);
  const int32_t p = prev_valid_leg(i);
  const float rem = p == -1 ? dir_seg_remain_dist : (leg_slot_ok(p) ? legs_seg_remain_dist[p] : 0.0f);
  const float limit = std::fmin(0.5f * arc_room(wpt(i), wpt(j), j), std::fmax(0.0f, rem));
  if (!(f.xabs_next_rel_brg > 12.0f && limit > 0.0f)) return 0;
  const int32_t af_from_to = beyond_arc_abeam(arc_centre(j), wpt(i), wpt(before(i)), legs_rad_turn[j], 0);
  const auto attempt = [&](float speed, float radius) {
    const int32_t res = calc_arc_entry_turn(i, f.xact_crs, f.xnext_rel_brg, radius, af_from_to);
    log_search("entry", speed, radius, af_from_to, res);
    return SpeedTry{res, arc_turn_result.calc_dta > limit, res != 3};
  };
  int32_t res = 0;
  float xradius = 0.0f;
  if (!search_turn_speed(xspeed, af_from_to, 20.0f, 25.0f, legs_radius[j], attempt, &res, &xradius)) return 0;
  if (res != 3) return 0;
  store_search(i, xradius);
  return 3;
}

int32_t arc_exit_search() {
  const LegPassFrame& f = leg_pass;
  const int32_t i = f.i, j = f.j;
  if (!leg_slot_ok(i) || !leg_slot_ok(j)) return 0;
  const float xspeed = leg_turn_speed(i, f.xnext_rel_brg, 20.0f);
  const int32_t b = before(i);
  const float limit =
      std::fmin(0.9f * dist(wpt(i), wpt(j)), arc_room(wpt(b), wpt(i), i) - (b != i ? legs_radii_dta[b] : 0.0f));
  if (!(f.xabs_next_rel_brg > 12.0f)) return 0;
  const int32_t af_from_to = beyond_arc_abeam(arc_centre(i), wpt(i), wpt(j), legs_rad_turn[i], 1);
  const auto attempt = [&](float speed, float radius) {
    const int32_t res = calc_arc_exit_turn(i, f.xnext_crs, f.xnext_rel_brg, f.xabs_next_rel_brg, radius, af_from_to);
    log_search("exit", speed, radius, af_from_to, res);
    const bool again = (arc_turn_result.calc_dta > limit && res == 4) || arc_turn_result.too_early != 0;
    return SpeedTry{res, again, false};
  };
  int32_t res = 0;
  float xradius = 0.0f;
  if (!search_turn_speed(xspeed, af_from_to, 25.0f, 20.0f, legs_radius[i], attempt, &res, &xradius)) return 0;
  if (res == 4) store_search(i, xradius);
  return res;
}

int32_t arc_connection(int32_t cls) {
  switch (cls) {
    case 3:
      return connection_3();
    case 4:
      return connection_4();
    case 2:
      return connection_2();
    default:
      return leg_pass.j;
  }
}

}  // namespace legpath
