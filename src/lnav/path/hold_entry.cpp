// Hold entry path: when the waypoint after S is a hold fix, S's transition is
// replaced by the entry into the hold that the route decode chose (kinds 1 to
// 5): first arc, straight, second arc, and for the entries that fly out on
// the hold's outbound course an outbound straight and an arc on the hold's
// own turn circle up to the fix (the hold-arc values).
//
// Reads the hold layout of the hold leg (lnav/route/hold_geometry.h), the leg table
// and S's course; writes S's transition fields and the hold-arc values.
#include <cmath>

#include "lnav/route/hold_geometry.h"
#include "core/units.h"
#include "lnav/route/fms_legs.h"
#include "lnav/path/leg_path.h"
#include "lnav/path/leg_path_internal.h"
#include "lnav/route/route_state.h"
#include "navdata/geodesy.h"
#include "lnav/route/route_geometry.h"

using namespace legpath;

namespace {

// The construction's points and steps (lnav/path/leg_path_internal.h).
using legpath::Pt;
using legpath::brg;
using legpath::dest;
using legpath::dist;

Pt get(const float* lat, const float* lon, int32_t k) { return {lat[k], lon[k]}; }

// a - b wrapped to (-180, 180].
float rel(double a, double b) {
  float v = angle::wrap360_d(a - b + 360.0);
  if (v > 180.0f) v -= 360.0f;
  return v;
}
float arc_len(float r, float start, float end, float turn) {
  return arc_length(r, course_diff_dir(start, end, static_cast<int32_t>(turn)));
}

// Distance from the turn's start before the course line to fly r-radius
// turn from course a onto course b.
float half_angle_offset(float r, float a, float b) {
  const float x = std::fabs(rel(a, b));
  float h = (180.0f - x) * 0.5f;
  if (h == 0.0f) h = 0.1f;
  return r / std::tan(deg_to_rad(h));
}

// The point beyond `from` on `course` that lies `d` from `c` (`from` nearer
// than d), solved in the flat frame about c: the turns are a few nm apart.
Pt away_along(Pt c, Pt from, float course, float d) {
  constexpr double kRad = pi_20dp / 180.0;
  const double b = brg(c, from) * kRad;
  const double g = dist(c, from);
  const double u = course * kRad;
  const double along = g * (std::sin(b) * std::sin(u) + std::cos(b) * std::cos(u));
  const double t = -along + std::sqrt(std::fmax(0.0, along * along - g * g + static_cast<double>(d) * d));
  return dest(from, course, t);
}

struct HoldInputs {
  int32_t s;     // waypoint whose transition becomes the entry
  int32_t h;     // the hold leg, s + 1
  bool left;     // left-hand hold
  float r;       // nm, hold turn radius
  float H;       // inbound course
  float K;       // course of leg s
  Pt S, fix, P1, P2;
};

// Parallel-side entry: a turn at S onto the outer tangent to the far-end turn,
// then that turn round to the inbound side.
void kind_1(const HoldInputs& in) {
  const int32_t s = in.s;
  const float side = in.left ? 2.0f : 3.0f;
  legs_seg1_radius[s] = legs_seg3_radius[s] = in.r;
  legs_seg1_turn[s] = legs_seg3_turn[s] = side;
  const Pt C1 = dest(in.S, angle::wrap360_d(in.K + (in.left ? 270.0 : 90.0)), in.r);
  store_pt(legs_seg1_ctr_lat, legs_seg1_ctr_lon, s, C1);
  const float B = brg(C1, in.P2);
  legs_seg1_start_angle[s] = angle::wrap360_d(in.K + (in.left ? 90.0 : 270.0));
  legs_seg1_end_angle[s] = angle::wrap360_d(B + (in.left ? 90.0 : 270.0));
  store_pt(legs_seg1_start_lat, legs_seg1_start_lon, s, dest(C1, legs_seg1_start_angle[s], in.r));
  store_pt(legs_seg1_end_lat, legs_seg1_end_lon, s, dest(C1, legs_seg1_end_angle[s], in.r));
  store_pt(legs_seg3_ctr_lat, legs_seg3_ctr_lon, s, in.P2);
  legs_seg3_start_angle[s] = legs_seg1_end_angle[s];
  legs_seg3_end_angle[s] = angle::wrap360_d(in.H + (in.left ? 90.0 : 270.0));
  legs_hold_arc_angle[s] = angle::wrap360_d(in.H + (in.left ? 270.0 : 90.0));
  store_pt(legs_seg2_end_lat, legs_seg2_end_lon, s, dest(in.P2, legs_seg3_start_angle[s], in.r));
  store_pt(legs_seg3_end_lat, legs_seg3_end_lon, s, dest(in.P2, legs_hold_arc_angle[s], in.r));
  legs_seg1_arc_lenght[s] = arc_len(in.r, legs_seg1_start_angle[s], legs_seg1_end_angle[s], side);
  legs_seg3_arc_lenght[s] = arc_len(in.r, legs_seg3_start_angle[s], legs_seg3_end_angle[s], side);
  legs_seg2_distance[s] = dist(get(legs_seg1_end_lat, legs_seg1_end_lon, s), get(legs_seg2_end_lat, legs_seg2_end_lon, s));
  legs_seg2_crs_true[s] = B;
  legs_radii_radius[s] = in.r;
  legs_radii_dta[s] = 0.0f;
}

// One turn onto the inbound course ahead of the fix, then a straight.
void kind_2(const HoldInputs& in) {
  const int32_t s = in.s;
  const float side = in.left ? 2.0f : 3.0f;
  const float d = half_angle_offset(in.r, in.K, in.H);
  legs_seg1_radius[s] = in.r;
  legs_seg1_turn[s] = side;
  const Pt Q = dest(in.S, in.H, d);
  const Pt C = dest(Q, angle::wrap360_d(in.H + (in.left ? 270.0 : 90.0)), in.r);
  store_pt(legs_seg1_ctr_lat, legs_seg1_ctr_lon, s, C);
  legs_seg1_start_angle[s] = angle::wrap360_d(in.K + (in.left ? 90.0 : 270.0));
  legs_seg1_end_angle[s] = angle::wrap360_d(in.H + (in.left ? 270.0 : 90.0));
  store_pt(legs_seg1_start_lat, legs_seg1_start_lon, s, dest(C, legs_seg1_start_angle[s], in.r));
  store_pt(legs_seg1_end_lat, legs_seg1_end_lon, s, dest(C, legs_seg1_end_angle[s], in.r));
  store_pt(legs_seg2_end_lat, legs_seg2_end_lon, s, dest(in.fix, legs_seg1_end_angle[s], 2.0 * in.r));
  legs_seg1_arc_lenght[s] = arc_len(in.r, legs_seg1_start_angle[s], legs_seg1_end_angle[s], side);
  legs_seg2_distance[s] = dist(get(legs_seg1_end_lat, legs_seg1_end_lon, s), get(legs_seg2_end_lat, legs_seg2_end_lon, s));
  legs_radii_radius[s] = in.r;
  legs_radii_dta[s] = d;
}

// From the fix: a straight tangent to the far-end turn circle, with a first
// arc when its course differs from the arriving course by 5 degrees or more.
void kind_3(const HoldInputs& in) {
  const int32_t s = in.s;
  circle_tangent_points(in.P2.lat, in.P2.lon, in.r, in.fix.lat, in.fix.lon);
  const float B1 = brg(in.fix, {two_point_result.lat1, two_point_result.lon1});
  const float B2 = brg(in.fix, {two_point_result.lat2, two_point_result.lon2});
  const float D = rel(brg(in.fix, in.P2), B1);
  const float T = (in.left ? D >= 0.0f : D <= 0.0f) ? B2 : B1;
  const float X = rel(T, in.K);
  Pt C2 = in.P2;  // the second turn's centre
  legs_seg3_turn[s] = in.left ? 2.0f : 3.0f;
  legs_seg3_radius[s] = in.r;
  const bool first_arc = !(X > -5.0f && X < 5.0f);
  if (!first_arc) {
    legs_seg1_radius[s] = 0.0f;
    legs_seg2_crs_true[s] = T;
  } else {
    legs_seg1_radius[s] = in.r;
    const bool arc_left = X < 0.0f;
    legs_seg1_turn[s] = arc_left ? 2.0f : 3.0f;
    const Pt C1 = dest(in.fix, angle::wrap360_d(in.K + (arc_left ? 270.0 : 90.0)), in.r);
    legs_seg1_start_angle[s] = angle::wrap360_d(in.K + (arc_left ? 90.0 : 270.0));
    store_pt(legs_seg1_ctr_lat, legs_seg1_ctr_lon, s, C1);
    float course, end;
    if (arc_left == in.left) {
      course = brg(C1, in.P2);
      end = angle::wrap360_d(course + (arc_left ? 90.0 : 270.0));
    } else {
      // The inner tangent through the midpoint of the two centres, as the
      // radial R of the second circle where the straight meets it.
      const auto inner_tangent = [&](Pt c2, float& R) {
        const float E = brg(c2, C1);
        const float h = dist(c2, C1) * 0.5f;
        if (in.r > h) return false;
        const Pt M = dest(c2, E, h);
        if (circle_tangent_points(c2.lat, c2.lon, in.r, M.lat, M.lon) == 0) return false;
        const Pt p1{two_point_result.lat1, two_point_result.lon1};
        const Pt p2{two_point_result.lat2, two_point_result.lon2};
        const float D2 = rel(brg(c2, p1), E);
        const Pt used = in.left ? (D2 >= 0.0f ? p2 : p1) : (D2 > 0.0f ? p1 : p2);
        R = brg(c2, used);
        return true;
      };
      float R = 0.0f;
      if (!inner_tangent(C2, R)) {
        // Overlapping circles have no inner tangent (laying the straight on
        // the centre line instead left a degenerate second arc that was never
        // reached): move the second turn out along the outbound course until
        // the circles stand 2 r + 0.1 nm apart, as the parallel entries do.
        C2 = away_along(C1, in.P2, angle::wrap360_d(in.H + 180.0), static_cast<float>(static_cast<double>(in.r + in.r) + 0.1));
        inner_tangent(C2, R);
      }
      if (in.left) {
        course = angle::wrap360_d(R + 270.0);
        end = angle::wrap360_d(course + 270.0);
      } else {
        course = angle::wrap360_d(R + 90.0);
        end = angle::wrap360_d(course + 90.0);
      }
    }
    legs_seg2_crs_true[s] = course;
    legs_seg1_end_angle[s] = end;
    store_pt(legs_seg1_start_lat, legs_seg1_start_lon, s, dest(C1, legs_seg1_start_angle[s], in.r));
    store_pt(legs_seg1_end_lat, legs_seg1_end_lon, s, dest(C1, end, in.r));
  }
  store_pt(legs_seg3_ctr_lat, legs_seg3_ctr_lon, s, C2);
  legs_seg3_start_angle[s] = angle::wrap360_d(legs_seg2_crs_true[s] + (in.left ? 90.0 : 270.0));
  legs_seg3_end_angle[s] = angle::wrap360_d(in.H + (in.left ? 90.0 : 270.0));
  store_pt(legs_seg3_end_lat, legs_seg3_end_lon, s, dest(C2, legs_seg3_end_angle[s], in.r));
  store_pt(legs_seg2_end_lat, legs_seg2_end_lon, s, dest(C2, legs_seg3_start_angle[s], in.r));
  const Pt seg2_end = get(legs_seg2_end_lat, legs_seg2_end_lon, s);
  if (first_arc) {
    legs_seg1_arc_lenght[s] = arc_len(in.r, legs_seg1_start_angle[s], legs_seg1_end_angle[s], legs_seg1_turn[s]);
    legs_seg2_distance[s] = dist(get(legs_seg1_end_lat, legs_seg1_end_lon, s), seg2_end);
  } else {
    legs_seg1_arc_lenght[s] = 0.0f;
    legs_seg2_distance[s] = dist(in.fix, seg2_end);
  }
  legs_seg3_arc_lenght[s] = arc_len(in.r, legs_seg3_start_angle[s], legs_seg3_end_angle[s], legs_seg3_turn[s]);
  legs_radii_radius[s] = legs_seg1_radius[s];
  legs_radii_dta[s] = 0.0f;
}

// Out on the hold's outbound course (kind 4 turns onto it at S, kind 5 is
// already on it), a turn against the hold's direction, a straight back to
// the hold's turn circle at the fix and that circle round to the fix.
void kind_4_5(const HoldInputs& in, bool turn_first) {
  const int32_t s = in.s;
  const float O = angle::wrap360_d(in.H + 180.0);
  float d = 0.0f;
  if (turn_first) {
    d = half_angle_offset(in.r, in.K, O);
    legs_seg1_radius[s] = in.r;
    const Pt Q = dest(in.S, O, d);
    const Pt C = dest(Q, angle::wrap360_d(O + (in.left ? 90.0 : 270.0)), in.r);
    legs_seg1_turn[s] = in.left ? 3.0f : 2.0f;
    legs_seg1_start_angle[s] = angle::wrap360_d(in.K + (in.left ? 270.0 : 90.0));
    legs_seg1_end_angle[s] = angle::wrap360_d(O + (in.left ? 270.0 : 90.0));
    store_pt(legs_seg1_ctr_lat, legs_seg1_ctr_lon, s, C);
    store_pt(legs_seg1_start_lat, legs_seg1_start_lon, s, dest(C, legs_seg1_start_angle[s], in.r));
    store_pt(legs_seg1_end_lat, legs_seg1_end_lon, s, dest(C, legs_seg1_end_angle[s], in.r));
  }
  legs_seg3_radius[s] = in.r;
  // The second turn keeps clear of the hold's own turn circle at the fix.
  const float L = static_cast<float>(static_cast<double>(in.r + in.r) + 0.1);
  const float G = dist(in.P1, in.P2);
  Pt C2 = in.P2;
  float h = G * 0.5f;
  if (G < L) {
    C2 = dest(in.P1, O, L);
    h = L * 0.5f;
  }
  const Pt M = dest(in.P1, O, h);
  if (circle_tangent_points(in.P1.lat, in.P1.lon, in.r, M.lat, M.lon) != 0) {
    const Pt t1{two_point_result.lat1, two_point_result.lon1};
    const Pt t2{two_point_result.lat2, two_point_result.lon2};
    const float F = brg(M, in.fix);
    const float A1 = brg(M, t1), A2 = brg(M, t2);
    const float e1 = std::fabs(rel(A1, F)), e2 = std::fabs(rel(A2, F));
    const float A = e2 > e1 ? A1 : A2;
    legs_seg3_turn[s] = in.left ? 3.0f : 2.0f;
    store_pt(legs_seg3_ctr_lat, legs_seg3_ctr_lon, s, C2);
    legs_seg3_start_angle[s] = angle::wrap360_d(O + (in.left ? 270.0 : 90.0));
    legs_seg3_end_angle[s] = angle::wrap360_d(A + (in.left ? 270.0 : 90.0));
    store_pt(legs_seg3_end_lat, legs_seg3_end_lon, s, dest(C2, legs_seg3_end_angle[s], in.r));
    legs_hold_arc_angle[s] = angle::wrap360_d(A + (in.left ? 90.0 : 270.0));
    store_pt(legs_seg2_end_lat, legs_seg2_end_lon, s, dest(in.P1, legs_hold_arc_angle[s], in.r));
  }
  if (turn_first) {
    legs_radii_radius[s] = legs_seg1_radius[s];
    legs_radii_dta[s] = d;
    legs_seg1_arc_lenght[s] =
        arc_len(legs_seg1_radius[s], legs_seg1_start_angle[s], legs_seg1_end_angle[s], legs_seg1_turn[s]);
  } else {
    store_pt(legs_seg1_start_lat, legs_seg1_start_lon, s, in.fix);
    store_pt(legs_seg1_end_lat, legs_seg1_end_lon, s, in.fix);
  }
  legs_seg3_arc_lenght[s] = arc_len(in.r, legs_seg3_start_angle[s], legs_seg3_end_angle[s], legs_seg3_turn[s]);
  legs_seg2_distance[s] = dist(get(legs_seg3_end_lat, legs_seg3_end_lon, s), get(legs_seg2_end_lat, legs_seg2_end_lon, s));
  const Pt C2s = get(legs_seg3_ctr_lat, legs_seg3_ctr_lon, s);
  store_pt(legs_hold_arc_lat, legs_hold_arc_lon, s, dest(C2s, legs_seg3_start_angle[s], in.r));
  // The outbound straight's length travels in the course field.
  legs_seg2_crs_true[s] =
      dist(get(legs_seg1_end_lat, legs_seg1_end_lon, s), get(legs_hold_arc_lat, legs_hold_arc_lon, s));
  legs_hold_arc_dist[s] =
      arc_length(in.r, course_diff_dir(legs_hold_arc_angle[s], hold_pattern.hold_side_away[in.h],
                                       static_cast<int32_t>(legs_rad_turn[in.h])));
}

}  // namespace

namespace legpath {

void hold_entry_stage(int32_t s) {
  const int32_t h = s + 1;
  if (!leg_slot_ok(s) || !leg_slot_ok(h) || !pt_is_hold(h)) return;
  const float kind = hold_pattern.hold_entry[h];
  if (tracing(9999.0f)) {
    trace(9999.0f, "WPT %d: Next wpt is HOLD -> entry pattern = %f\n", s, static_cast<double>(kind));
    trace(9999.0f, "\n");
  }
  HoldInputs in{};
  in.s = s;
  in.h = h;
  const float code = legs_rad_turn[h];
  in.left = navmath::is_left_turn_f(code);
  in.r = hold_pattern.hold_radius[h];
  in.H = hold_pattern.hold_crs_true[h];
  in.K = magvar_course(s);
  in.S = {legs_lat[s], legs_lon[s]};
  in.fix = {legs_lat[h], legs_lon[h]};
  in.P1 = {hold_pattern.hold_ctr1_lat[h], hold_pattern.hold_ctr1_lon[h]};
  in.P2 = {hold_pattern.hold_ctr2_lat[h], hold_pattern.hold_ctr2_lon[h]};
  if (kind == 1.0f) {
    kind_1(in);
  } else if (kind == 2.0f) {
    kind_2(in);
  } else if (kind == 3.0f) {
    kind_3(in);
  } else if (kind == 4.0f) {
    kind_4_5(in, true);
  } else if (kind == 5.0f) {
    kind_4_5(in, false);
  }
}

}  // namespace legpath
