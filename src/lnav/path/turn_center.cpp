// Turn sizing helpers of the leg path builder: the speed of the turn at a
// waypoint and the construction of a waypoint transition (first arc, and for
// a late turn a straight and a second arc of the other hand back onto the
// outbound course) into turn_center_result.
//
// Reads the leg table, the computed remaining straights, the direct-to path
// and the host's ground speed and indicated altitude.
#include <cmath>
#include <cstring>

#include "navdata/nav_math.h"
#include "core/binding.h"
#include "lnav/route/hold_geometry.h"
#include "core/preprocess_values.h"
#include "core/units.h"
#include "lnav/route/route_intake.h"
#include "lnav/route/fms_legs.h"
#include "lnav/path/leg_path.h"
#include "lnav/path/leg_path_internal.h"
#include "lnav/route/route_state.h"
#include "navdata/air_data.h"
#include "navdata/geodesy.h"

TurnCenterResult turn_center_result;

using namespace legpath;

float leg_turn_speed(int32_t leg, float course_change_deg, float bank_deg) {
  if (!leg_slot_ok(leg)) return 145.0f;
  const float s = legs_spd_calc[leg];
  const float lf = static_cast<float>(leg);
  const bool flown = lf == fms_seq.vnav_idx - 1.0f || lf == fms_seq.vnav_idx_seq - 1.0f;
  float v = 0.0f;
  if (s == 0.0f) {
    if (flown) v = host_mirror.sim_flightmodel_position_groundspeed * kt_per_mps;
  } else if (s > 0.0f && s < 100.0f) {
    v = std::sqrt(288.15f) * s * 39.0f;
  } else if (s >= 100.0f) {
    const float t = tas_from_speed(s, flown ? frame_flight_data.alt_ft : legs_alt_calc[leg]);
    float tn = t;
    // The last slot has no next leg: the turn keeps the leg's own speed.
    if (leg + 1 < 256) {
      const float n = legs_spd_calc[leg + 1];
      const float hn = legs_alt_calc[leg + 1];
      if (n >= 100.0f) {
        tn = tas_from_speed(n, hn);
      } else if (n > 0.0f) {
        const float kelvin = 15.0f - 0.002f * hn + 273.15f;
        tn = kelvin > 0.0f ? std::sqrt(kelvin) * n * 39.0f : t;
      }
    }
    if (tn > t) {
      // The builders pass the signed course change: a left turn toward a
      // faster leg gains speed along its arc as a right one does.
      const float a =
          turn_radius_nm(bank_deg, t) * 1.1f * two_pi_f / 360.0f * std::fabs(course_change_deg);
      v = std::fmin(tn, t + a / 0.128f);
    } else {
      v = t;
    }
  }
  // fmax also turns a NaN prediction into the floor.
  return std::fmax(145.0f, v);
}

namespace {

// The construction's points and steps (lnav/path/leg_path_internal.h).
using legpath::Pt;
using legpath::brg;
using legpath::dest;
using legpath::dist;

// Points the construction keeps between its steps are narrowed to f32.
Pt dest_f(Pt a, double course, double d) {
  gc_destination(a.lat, a.lon, course, d);
  return {static_cast<float>(nav_result.lat), static_cast<float>(nav_result.lon)};
}
Pt cross(Pt a, double c, Pt b, double e, float* k = nullptr) {
  off_meridian(a.lat, a.lon, c, b.lat, b.lon, e);
  const float d = course_line_intersection(a.lat, a.lon, static_cast<float>(c), b.lat, b.lon, static_cast<float>(e));
  if (k) *k = d;
  return {static_cast<float>(nav_result.lat), static_cast<float>(nav_result.lon)};
}
bool zero(double a, double b) { return a == 0.0 && b == 0.0; }

// The straight left before the waypoint after the previous transition: a
// hold is entered from its inbound leg and a procedure turn from its final
// straight, whatever the transition before them left.
float straight_before(int32_t leg) {
  const int32_t p = prev_valid_leg(leg);
  if (p == -1) return dir_seg_remain_dist;
  if (pt_is_hold(leg)) return hold_pattern.hold_leg_len[leg];
  if (pt_is(leg, "PI")) return proc_turn.pi_last_dist[leg];
  if (!leg_slot_ok(p)) return 0.0f;
  return legs_seg_remain_dist[p];
}

// A turn's end this close to the next waypoint is on it (a leg ended where
// the turn onto it does): the bearing between two points so close is
// rounding, never a reason to give the turn up.
constexpr float kOnArcEndNm = 0.05f;

// `sector`: the end points must lie in the sector toward N (or on N); a turn
// of 270 degrees or more the long way ends behind the waypoint by
// construction.
int32_t accept(TurnCenterResult& r, Pt P, Pt N, int32_t turn, bool sector = true) {
  float lim = 5.0f * dist(P, N);
  if (lim > 1000.0f) lim = 1000.0f;
  if (!(lim >= 0.0f)) lim = 0.0f;
  auto ok = [&](double la, double lo) {
    return (!sector || gc_distance_nm(la, lo, N.lat, N.lon) < kOnArcEndNm ||
            in_arc_sector(la, lo, P.lat, P.lon, N.lat, N.lon, turn)) &&
           gc_distance_nm(la, lo, P.lat, P.lon) <= lim;
  };
  if (!ok(r.seg1_end_lat, r.seg1_end_lon)) return 1;
  const bool has3 = !zero(r.seg3_end_lat, r.seg3_end_lon);
  const bool has2 = !zero(r.seg2_end_lat, r.seg2_end_lon);
  if (has3) {
    if (!ok(r.seg3_end_lat, r.seg3_end_lon)) return 1;
    if (has2 && !ok(r.seg2_end_lat, r.seg2_end_lon)) return 1;
  }
  r.seg1_arc_lenght = static_cast<float>(
      std::fabs(static_cast<double>(course_diff_dir(r.seg1_start_angle, r.seg1_end_angle, r.seg1_turn))) *
      static_cast<double>(r.seg1_radius) * pi_12dp / 180.0);
  if (!has3) return 0;
  r.seg3_arc_lenght = static_cast<float>(
      std::fabs(static_cast<double>(course_diff_dir(r.seg3_start_angle, r.seg3_end_angle, r.seg3_turn))) *
      static_cast<double>(r.seg1_radius) * pi_12dp / 180.0);
  if (!has2) return 0;
  r.seg2_distance = gc_distance_nm(r.seg1_end_lat, r.seg1_end_lon, r.seg2_end_lat, r.seg2_end_lon);
  r.seg2_crs_true = gc_bearing(r.seg1_end_lat, r.seg1_end_lon, r.seg2_end_lat, r.seg2_end_lon);
  return 0;
}

// ---- turns built in earlier passes ----------------------------------------------------------
//
// The route is rebuilt every frame, and most transitions come out of the same
// inputs as the frame before. A construction is a pure function of the
// values in TurnKey (compared bit for bit), so its result, and what it left
// in the shared geodesy records, is replayed instead of worked out again.

struct TurnKey {
  double wpt_lat, wpt_lon, next_lat, next_lon;
  float crs_in, crs_out, dta, radius, straight;
  int32_t turn, mode, leg, opposite;
  int32_t spare = 0;  // no padding: keys are compared byte for byte
};
static_assert(sizeof(TurnKey) == 72);

bool same_bits(const TurnKey& a, const TurnKey& b) {
  return std::memcmp(&a, &b, sizeof(TurnKey)) == 0;
}

struct TurnMemo {
  bool used;
  bool pair_written;  // the construction left its points in two_point_result
  int32_t res;
  TurnKey key;
  TurnCenterResult result;
  double nav_lat, nav_lon;
  TwoPointResult pair;
};

constexpr int kTurnWays = 4;  // constructions per waypoint and pass: the turn, its retry, bypass tries
TurnMemo turn_memo[256][kTurnWays];
int32_t turn_memo_next[256];

const TurnMemo* find_turn(const TurnKey& key) {
  for (const TurnMemo& e : turn_memo[key.leg]) {
    if (e.used && same_bits(e.key, key)) return &e;
  }
  return nullptr;
}

int32_t replay_turn(const TurnMemo& e) {
  turn_center_result = e.result;
  nav_result.lat = e.nav_lat;
  nav_result.lon = e.nav_lon;
  if (e.pair_written) two_point_result = e.pair;
  return e.res;
}

void remember_turn(const TurnKey& key, int32_t res, bool pair_written) {
  int32_t& next = turn_memo_next[key.leg];
  TurnMemo& e = turn_memo[key.leg][next];
  next = (next + 1) % kTurnWays;
  e.used = true;
  e.pair_written = pair_written;
  e.res = res;
  e.key = key;
  e.result = turn_center_result;
  e.nav_lat = nav_result.lat;
  e.nav_lon = nav_result.lon;
  e.pair = two_point_result;
}

// The long-way loop: the circle of `radius` tangent to the inbound line
// ahead of the corner V and to the outbound line behind it, on the turn's
// side; both tangent points lie radius / tan(h) from V, h being half the
// angle between the two lines on that side.
int32_t long_way_loop(TurnCenterResult& r, Pt P, Pt N, float crs_in, float crs_out, float radius, bool left,
                      int32_t mode) {
  Pt V = P;
  if (mode == 2) {
    const Pt X = cross(P, crs_in, N, crs_out);
    if (!zero(X.lat, X.lon)) V = X;
  }
  const float c = angle::wrap180_d(static_cast<double>(crs_out) - crs_in);
  const double h = (180.0 - std::fabs(static_cast<double>(c))) * 0.5;
  const double tangent = static_cast<double>(radius) / std::tan(h * pi_12dp / 180.0);
  const Pt S = dest(V, crs_in, tangent);
  const Pt C1 = dest(S, c360_f(crs_in + (left ? 270.0 : 90.0)), radius);
  const float end_angle = c360_f(crs_out + (left ? 90.0 : 270.0));
  const Pt E = dest(C1, end_angle, radius);
  r.seg1_start_lat = S.lat;
  r.seg1_start_lon = S.lon;
  r.seg1_ctr_lat = C1.lat;
  r.seg1_ctr_lon = C1.lon;
  r.seg1_start_angle = c360_f(crs_in + (left ? 90.0 : 270.0));
  r.seg1_end_angle = end_angle;
  r.seg1_end_lat = E.lat;
  r.seg1_end_lon = E.lon;
  r.seg1_turn = left ? kTurnLeft : kTurnRight;
  r.seg1_radius = radius;
  // The turn starts past the waypoint: a negative anticipation distance.
  const float to_start = dist(P, S);
  const bool ahead = std::fabs(angle::wrap180_d(static_cast<double>(brg(P, S)) - crs_in)) <= 90.0f;
  r.seg1_dta = ahead ? -to_start : to_start;
  // N must lie ahead on the outbound line once the loop is flown.
  if (std::fabs(angle::wrap180_d(static_cast<double>(brg(E, N)) - crs_out)) > 90.0f) return 1;
  r.seg_remain_dist = dist(E, N);
  return accept(r, P, N, left ? kTurnLeft : kTurnRight, false);
}

// ---- the construction of one transition --------------------------------------------------

// A course change below this many degrees is flown as a straight: no arc is
// built and the leg's own distance is left to fly.
constexpr float kStraightBelowDeg = 5.0f;
// A course change beyond this many degrees either way is a reversal: the
// crossing of the two course lines lies far away or nowhere, so a turn about
// the crossing (mode 2) is laid toward the next waypoint instead.
constexpr float kReversalBeyondDeg = 170.0f;
// The first arc ends on the outbound line when the bearing from its outbound
// point to the next waypoint lies within this many degrees of the outbound
// course there.
constexpr float kTangentToleranceDeg = 1.0f;
// Off by more, but by less than this many degrees toward the turn's side,
// the arc is refitted through the anticipation point instead.
constexpr float kRefitWindowDeg = 91.0f;
// A reversal about the crossing is laid out as a half circle only while the
// next waypoint lies less than this many degrees off the outbound course
// seen from the waypoint (beyond, the half circle's diameter is no chord).
constexpr float kHalfCircleBelowDeg = 89.0f;

// The values one construction works with, shared by its steps.
struct TurnBuild {
  Pt P, N;                // the waypoint and the next one
  float crs_in, crs_out;  // degrees true, inbound at P, outbound toward N
  float dta;              // nm, the anticipation distance asked for
  float radius;           // nm; the shifted-centre construction refits it
  int32_t turn, mode, leg;
  bool opposite, left, reversal;
  float c;  // degrees, the course change in (-180, 180]
  float m;  // nm, the straight left before the waypoint
  // plan_anticipation:
  Pt I;     // the point the turn is built toward: P, N or the lines' crossing
  float k;  // nm from P to the crossing (mode 2)
  float a;  // nm, the anticipation distance used
  float s;  // nm the centre is shifted along the inbound course
  // place_first_centre:
  double p_in, p_out, bis;  // radials at the inbound and outbound tangents, the bisector
  float start_angle, start_exact;
  TurnDirection side1, side3;  // the first arc's hand, and the S-turn's second arc's
  Pt S, C1;                    // where the first arc starts, its centre
};

// The anticipation distance the straight before the waypoint allows and, for
// a turn about the crossing, the crossing itself.
void plan_anticipation(TurnBuild& b, TurnCenterResult& r) {
  b.I = b.P;
  b.k = 0.0f;
  b.a = b.dta;
  if (b.mode != 2) {
    if (b.a != 0.0f) b.a = b.m < 0.0f ? 0.0f : std::fmin(b.m, b.a);
  } else if (b.reversal) {
    b.I = b.N;
  } else {
    b.I = cross(b.P, b.crs_in, b.N, b.crs_out, &b.k);
    if (b.a != 0.0f) {
      const float q = std::fabs(angle::wrap180_d(static_cast<double>(brg(b.P, b.I)) - b.crs_in));
      if (q < 90.0f) {
        if (b.k > b.a) {
          b.a = 0.0f;
        } else if (b.a > b.m + b.k) {
          b.a = b.m;
        }
      } else if (b.a > b.m) {
        b.a = b.m;
      }
    }
  }
  b.s = b.dta > b.a ? b.dta - b.a : 0.0f;
  r.seg1_dta = b.a;
  trace(9999.0f, "WPT %d: turn = %d, mode = %d, radius = %f, remain dist: %f\n", b.leg, b.turn, b.mode,
        static_cast<double>(r.seg1_radius), static_cast<double>(b.leg >= 1 ? legs_seg_remain_dist[b.leg - 1] : 0.0f));
  trace(9999.0f, "WPT %d: cdta = %f, cdta_old = %f, dist intc: %f, shift ctr: %f\n", b.leg, static_cast<double>(b.a),
        static_cast<double>(b.dta), static_cast<double>(b.k), static_cast<double>(b.s));
}

// The centre square to the inbound course at the full anticipation distance,
// on the bisector toward I, moved back along the inbound course by the part
// of the anticipation the straight did not allow.
Pt shifted_centre(const TurnBuild& b) {
  const Pt D = dest_f(b.P, b.crs_in + 180.0, b.dta);
  const Pt X = cross(D, b.p_in, b.I, b.bis);
  return dest(X, b.crs_in, b.s);
}

// The first arc's start and centre.
void place_first_centre(TurnBuild& b, TurnCenterResult& r) {
  const bool left = b.left;
  const double h = (180.0 - std::fabs(static_cast<double>(b.c))) * 0.5;
  b.p_in = c360_f(b.crs_in + (left ? 270.0 : 90.0));
  b.start_angle = c360_f(b.crs_in + (left ? 90.0 : 270.0));
  b.p_out = c360_f(b.crs_out + (left ? 90.0 : 270.0));
  b.bis = b.opposite ? c360_f(left ? b.crs_in - h + 360.0 : b.crs_in + h)
                     : c360_f(left ? b.crs_in + 180.0 + h : b.crs_in + 180.0 - h);
  b.side1 = left ? kTurnLeft : kTurnRight;
  b.side3 = left ? kTurnRight : kTurnLeft;

  b.S = b.a == 0.0f ? b.P : dest(b.P, b.crs_in + 180.0, b.a);
  r.seg1_start_lat = b.S.lat;
  r.seg1_start_lon = b.S.lon;

  b.start_exact = b.start_angle;
  if (b.mode == 1 && b.a != 0.0f && b.s != 0.0f) {
    if (left) trace(9999.0f, "WPT %d: Calc CTR mode 2\n", b.leg);
    b.C1 = shifted_centre(b);
    // The shifted centre lies square to the inbound course at S, but only as
    // far from it as the circle that fits the full anticipation distance,
    // which differs from the radius asked for whenever that distance is not
    // radius x tan(change / 2) (a long-way turn, a limited or rounded
    // distance). The arc is flown about this centre, so it takes the radius
    // that passes through its own start: otherwise the stored start point
    // lies off the circle and the turn would begin with a sideways step.
    b.radius = dist(b.S, b.C1);
    r.seg1_radius = b.radius;
  } else {
    if (left) trace(9999.0f, "WPT %d: Calc CTR mode %d\n", b.leg, (b.mode == 1 && b.a != 0.0f) ? 1 : 3);
    if (b.a == 0.0f) {
      b.C1 = dest(b.S, b.p_in, b.radius);
    } else {
      // Square to the inbound great circle where the turn starts, which is
      // not its course at the waypoint: near the poles the two part by
      // degrees over the anticipation distance.
      const float square = c360_f(gc_course_at(b.P.lat, b.crs_in, -static_cast<double>(b.a)) + (left ? 270.0 : 90.0));
      b.C1 = dest(b.S, square, b.radius);
      // The radial back to S, worked out along the radius itself: a bearing
      // taken between the two points would carry their single-precision
      // rounding, hundredths of a degree over a short radius, and a turn
      // rebuilt every frame would jitter by that much.
      b.start_exact = c360_f(gc_course_at(b.S.lat, square, b.radius) + 180.0);
    }
  }
}

// How the first arc meets the outbound line.
struct Tangency {
  float crs_at_n;  // degrees, the outbound line's course at N
  Pt T;            // the first arc's point square to the outbound course
  float rb;        // degrees, the bearing T to N less the outbound course at T
};

// The outbound line is the great circle through N on the course the leg
// from P reaches it with. Tangency is judged against its course where the
// arc meets it, not against the course at the waypoint: near the poles the
// two part by more than the test's degree within the turn.
Tangency outbound_tangency(const TurnBuild& b) {
  Tangency g;
  track_errors(b.N.lat, b.N.lon, b.P.lat, b.P.lon, b.crs_out);
  g.crs_at_n = gc_course_at(b.P.lat, b.crs_out, -static_cast<double>(nav_result.along_track));
  g.T = dest_f(b.C1, b.p_out, b.radius);
  track_errors(g.T.lat, g.T.lon, b.N.lat, b.N.lon, g.crs_at_n);
  const float out_at_t = gc_course_at(b.N.lat, g.crs_at_n, -static_cast<double>(nav_result.along_track));
  g.rb = angle::wrap180_d(static_cast<double>(brg(g.T, b.N)) - out_at_t);
  return g;
}

// The first arc touches the outbound line: it ends there.
int32_t end_on_outbound(const TurnBuild& b, TurnCenterResult& r, const Tangency& g) {
  r.seg1_ctr_lat = b.C1.lat;
  r.seg1_ctr_lon = b.C1.lon;
  // The arc ends where it touches the outbound line: at the foot of the
  // centre on it. The outbound course read at the waypoint would end it
  // short by the convergence, a few degrees near the poles.
  // The radial is the square from the foot to the centre, worked out
  // along it (not as a bearing between nearby rounded points).
  track_errors(b.C1.lat, b.C1.lon, b.N.lat, b.N.lon, g.crs_at_n);
  const double along = -static_cast<double>(nav_result.along_track);
  const float off = nav_result.cross_track;
  gc_destination(b.N.lat, b.N.lon, g.crs_at_n, along);
  const double foot_lat = nav_result.lat;
  const float square = c360_f(gc_course_at(b.N.lat, g.crs_at_n, along) + (off >= 0.0f ? 90.0 : 270.0));
  float end_angle = c360_f(gc_course_at(foot_lat, square, std::fabs(static_cast<double>(off))) + 180.0);
  if (std::fabs(angle::wrap180_d(static_cast<double>(end_angle) - b.p_out)) > 90.0f) end_angle = c360_f(end_angle + 180.0);
  r.seg1_end_angle = end_angle;
  const Pt E = dest(b.C1, end_angle, b.radius);
  r.seg1_end_lat = E.lat;
  r.seg1_end_lon = E.lon;
  r.seg_remain_dist = dist(E, b.N);
  trace(9999.0f, "WPT %d: Direct to next WPT\n", b.leg);
  return accept(r, b.P, b.N, b.turn);
}

// The first arc falls short of the outbound line on the turn's side: it is
// refitted through the anticipation point (or, for a reversal about the
// crossing, laid as a half circle from the waypoint) to end on the outbound
// course.
int32_t refit_to_outbound(TurnBuild& b, TurnCenterResult& r, const Tangency& g) {
  const bool left = b.left;
  if (!left)
    trace(9999.0f, "WPT %d: Recalc to next WPT, crs temp = %f, crs2 = %f, rel crs = %f, DTA = %f\n", b.leg,
          static_cast<double>(brg(g.T, b.N)), static_cast<double>(b.crs_out), static_cast<double>(g.rb),
          static_cast<double>(b.a));
  bool failed = false;
  r.seg1_start_angle = b.start_angle;
  if (b.mode == 2 && b.reversal) {
    const float dist_pn = dist(b.P, b.N);
    const float e = std::fabs(angle::wrap180_d(static_cast<double>(brg(b.P, b.N)) - b.crs_out));
    if (e < kHalfCircleBelowDeg) {
      const float rho = std::sin(static_cast<float>(e * pi_12dp / 180.0)) * dist_pn * 0.5f;
      r.seg1_radius = rho;
      b.C1 = dest(b.P, b.p_in, rho);
      // The half circle is laid square to the inbound course at the
      // waypoint itself, so that is where it begins: a start left at the
      // anticipation point would lie off the circle.
      r.seg1_start_lat = b.P.lat;
      r.seg1_start_lon = b.P.lon;
      r.seg1_dta = 0.0f;
      if (left) trace(9999.0f, "WPT %d: Calc CTR mode 4\n", b.leg);
    } else {
      r.seg1_radius = 0.0f;
      failed = true;
    }
  } else {
    if (b.s == 0.0f || b.mode == 2) {
      b.C1 = cross(b.S, b.p_in, b.I, b.bis);
      if (left) trace(9999.0f, "WPT %d: Calc CTR mode 5\n", b.leg);
    } else {
      b.C1 = shifted_centre(b);
      if (left) trace(9999.0f, "WPT %d: Calc CTR mode 6\n", b.leg);
    }
    r.seg1_radius = dist(b.S, b.C1);
  }
  r.seg1_ctr_lat = b.C1.lat;
  r.seg1_ctr_lon = b.C1.lon;
  r.seg1_end_angle = static_cast<float>(b.p_out);
  const Pt E = dest(b.C1, b.p_out, r.seg1_radius);
  r.seg1_end_lat = E.lat;
  r.seg1_end_lon = E.lon;
  if (dist(E, b.N) < kOnArcEndNm ||
      std::fabs(angle::wrap180_d(static_cast<double>(brg(E, b.N)) - b.crs_out)) < kRefitWindowDeg) {
    r.seg_remain_dist = dist(E, b.N);
    if (left) trace(9999.0f, "WPT %d: Recalc to next WPT\n", b.leg);
    if (failed) return 1;
    return accept(r, b.P, b.N, b.turn);
  }
  if (left) trace(9999.0f, "WPT %d: Recalc to next WPT - too long\n", b.leg);
  return 1;
}

// The first arc overshoots the outbound line: an S-turn, 45 degrees past the
// outbound course, a straight back, and a second arc of the other hand onto
// it. pair_written: the construction left its points in two_point_result.
int32_t s_turn(const TurnBuild& b, TurnCenterResult& r, bool& pair_written) {
  const bool left = b.left;
  const float radius = b.radius;
  const float crs_out = b.crs_out;
  const Pt C1 = b.C1;
  r.seg1_ctr_lat = C1.lat;
  r.seg1_ctr_lon = C1.lon;
  const double a1 = c360_f(crs_out + (left ? 45.0 : 315.0));
  r.seg1_end_angle = static_cast<float>(a1);
  Pt E1 = dest(C1, a1, radius);
  r.seg1_end_lat = E1.lat;
  r.seg1_end_lon = E1.lon;
  r.seg3_turn = b.side3;
  Pt base = b.N;
  double base_crs = c360_f(b.opposite ? crs_out : crs_out + 180.0);
  if (dist(b.P, b.N) > dist(b.P, b.I)) {
    base = b.I;
    base_crs = c360_f(b.opposite ? crs_out + 180.0 : crs_out);
  }
  const Pt Y = cross(base, base_crs, dest_f(C1, a1, radius), c360_f(crs_out + (left ? 315.0 : 45.0)));
  const Pt Q = dest_f(base, b.p_out, radius);
  Pt C2 = cross(Y, c360_f(crs_out + (left ? 67.5 : 292.5)), Q, crs_out);
  r.seg3_ctr_lat = C2.lat;
  r.seg3_ctr_lon = C2.lon;
  r.seg3_start_angle = c360_f(crs_out + (left ? 225.0 : 135.0));
  r.seg3_end_angle = c360_f(crs_out + (left ? 270.0 : 90.0));
  const float d = angle::wrap180_d(a1 - brg(C1, C2));
  if (left ? d > 0.0f : d < 0.0f) {
    const Pt E2 = dest(C2, r.seg3_start_angle, radius);
    r.seg2_end_lat = E2.lat;
    r.seg2_end_lon = E2.lon;
  } else {
    trace(9999.0f, "WPT %d: POM1 case 4 Intersect circle\n", b.leg);
    const Pt Q2 = dest_f(b.I, b.p_out, radius);
    const Pt F = dest(Q2, crs_out, 4.0 * radius);
    pair_written = true;
    const int32_t n = circle_line_intersection(C1.lat, C1.lon, 2.0 * radius, Q2.lat, Q2.lon, F.lat, F.lon);
    if (n == 0) return 1;
    const Pt K1{two_point_result.lat1, two_point_result.lon1};
    const Pt K2{two_point_result.lat2, two_point_result.lon2};
    const float rk1 = angle::wrap180_d(static_cast<double>(brg(C1, K1)) - crs_out);
    const float rk2 = angle::wrap180_d(static_cast<double>(brg(C1, K2)) - crs_out);
    C2 = std::fabs(rk2) > std::fabs(rk1) ? K1 : K2;
    if (left) {
      trace(9999.0f, "WPT %d: CTR2 intersect circle/line line\n", b.leg);
      trace(9999.0f, "INTC1 lat,lon: %f, %f   rel crs: %f\n", K1.lat, K1.lon, static_cast<double>(rk1));
      trace(9999.0f, "INTC2 lat,lon: %f, %f   rel crs: %f\n", K2.lat, K2.lon, static_cast<double>(rk2));
    }
    r.seg3_ctr_lat = C2.lat;
    r.seg3_ctr_lon = C2.lon;
    const float bc = brg(C1, C2);
    E1 = dest(C1, bc, radius);
    r.seg1_end_lat = E1.lat;
    r.seg1_end_lon = E1.lon;
    r.seg1_end_angle = bc;
    // The second arc starts on the radial through the first arc's end as
    // seen from its own centre: the course back along C1-C2 differs from bc
    // by the meridians' convergence, and the sliver between the two radials
    // lay on neither arc.
    r.seg3_start_angle = brg(C2, E1);
    trace(9999.0f, "WPT %d: CTR2 mode 2\n", b.leg);
    if (left)
      trace(9999.0f, "WPT %d: Angle2 start, end: %f, %f\n", b.leg, static_cast<double>(r.seg3_start_angle),
            static_cast<double>(r.seg3_end_angle));
  }
  const Pt E3 = dest(C2, r.seg3_end_angle, radius);
  r.seg3_end_lat = E3.lat;
  r.seg3_end_lon = E3.lon;
  const float v = angle::wrap180_d(static_cast<double>(crs_out) - brg(E3, b.N));
  r.seg_remain_dist = dist(E3, b.N);
  if (v < -90.0f || v > 90.0f) {
    r.seg_remain_dist = -r.seg_remain_dist;
    return 1;
  }
  return accept(r, b.P, b.N, b.turn);
}

// ---- the waypoint's own frame -------------------------------------------------------------------
//
// The construction adds fixed angles to the courses at the waypoint and takes
// them as radials at centres and points some miles away, which holds where
// the meridians run parallel over a turn. Near a pole they do not (a turn of
// 15 nm radius 40 nm from the pole spans 20 degrees of longitude, and at the
// pole itself a course is only a convention), so there the turn is built on a
// sphere turned to put the waypoint on the equator at 0E, with north at the
// waypoint kept north, and its points and radials are turned back.

// Beyond this latitude either way a turn is built in its waypoint's frame.
constexpr double kOwnFrameBeyondLatDeg = 80.0;

struct WaypointFrame {
  double lon0;            // deg, the waypoint's longitude (at a pole, the meridian its courses are read from)
  double sin_p, cos_p;    // of the waypoint's latitude
  Pt north_true;          // the frame's north pole on the earth
};

WaypointFrame waypoint_frame(Pt p) {
  const double phi = p.lat * pi_12dp / 180.0;
  WaypointFrame f{p.lon, std::sin(phi), std::cos(phi), {}};
  // 90 degrees north of the waypoint along its meridian (over the North
  // Pole from a northern waypoint).
  f.north_true = Pt{90.0 - std::fabs(p.lat), p.lat >= 0.0 ? p.lon + 180.0 : p.lon};
  if (f.north_true.lon > 180.0) f.north_true.lon -= 360.0;
  return f;
}

// Turns a point by the frame's rotation (to the frame) or back.
Pt turned(const WaypointFrame& f, Pt a, bool to_frame) {
  const double phi = a.lat * pi_12dp / 180.0;
  const double lam = (a.lon - (to_frame ? f.lon0 : 0.0)) * pi_12dp / 180.0;
  const double x = std::cos(phi) * std::cos(lam);
  const double y = std::cos(phi) * std::sin(lam);
  const double z = std::sin(phi);
  // About the axis through the waypoint's east: the waypoint's meridian, and
  // so its north, stays where it is.
  const double s = to_frame ? f.sin_p : -f.sin_p;
  const double x2 = x * f.cos_p + z * s;
  const double z2 = z * f.cos_p - x * s;
  double lon = std::atan2(y, x2) * 180.0 / pi_12dp + (to_frame ? 0.0 : f.lon0);
  if (lon > 180.0) lon -= 360.0;
  if (lon <= -180.0) lon += 360.0;
  return Pt{std::atan2(z2, std::sqrt(x2 * x2 + y * y)) * 180.0 / pi_12dp, lon};
}

// A radial or course taken at point a (on the earth) in the frame, as the
// earth's north reads it there.
float radial_true(const WaypointFrame& f, Pt a, float in_frame) {
  return c360_f(static_cast<double>(in_frame) + brg(a, f.north_true));
}

bool own_frame_everywhere = false;

bool in_own_frame(double lat) { return own_frame_everywhere || std::fabs(lat) > kOwnFrameBeyondLatDeg; }

// In the frame the waypoint itself is 0/0, so only the pieces whose 0/0
// means "none" are left as they are.
template <typename T>
void turn_back(const WaypointFrame& f, T& lat, T& lon, bool zero_is_none) {
  if (zero_is_none && lat == 0 && lon == 0) return;
  const Pt t = turned(f, Pt{lat, lon}, false);
  lat = static_cast<T>(t.lat);
  lon = static_cast<T>(t.lon);
}

// The construction's record, built in the frame, read on the earth.
void record_to_earth(const WaypointFrame& f, TurnCenterResult& r, bool pair_written) {
  turn_back(f, r.seg1_ctr_lat, r.seg1_ctr_lon, false);
  turn_back(f, r.seg1_start_lat, r.seg1_start_lon, false);
  turn_back(f, r.seg1_end_lat, r.seg1_end_lon, false);
  turn_back(f, r.seg2_end_lat, r.seg2_end_lon, true);
  turn_back(f, r.seg3_ctr_lat, r.seg3_ctr_lon, true);
  turn_back(f, r.seg3_end_lat, r.seg3_end_lon, true);
  if (r.seg1_turn != 0) {
    const Pt c1{r.seg1_ctr_lat, r.seg1_ctr_lon};
    r.seg1_start_angle = radial_true(f, c1, r.seg1_start_angle);
    r.seg1_end_angle = radial_true(f, c1, r.seg1_end_angle);
  }
  if (r.seg3_turn != 0) {
    const Pt c2{r.seg3_ctr_lat, r.seg3_ctr_lon};
    r.seg3_start_angle = radial_true(f, c2, r.seg3_start_angle);
    r.seg3_end_angle = radial_true(f, c2, r.seg3_end_angle);
  }
  if (r.seg2_distance != 0.0f)
    r.seg2_crs_true = gc_bearing(r.seg1_end_lat, r.seg1_end_lon, r.seg2_end_lat, r.seg2_end_lon);
  turn_back(f, nav_result.lat, nav_result.lon, false);
  if (pair_written) {
    turn_back(f, two_point_result.lat1, two_point_result.lon1, false);
    turn_back(f, two_point_result.lat2, two_point_result.lon2, false);
  }
}

// The whole construction once the straight-ahead case is out of the way.
int32_t build_turn(TurnBuild& b, TurnCenterResult& r, bool& pair_written) {
  // A turn flagged the long way round by 270 degrees or more: one circle
  // touching the inbound line past the corner where the two lines meet
  // and the outbound line before it, flown in the coded direction. The
  // construction below (a first arc 45 degrees past the outbound course)
  // would need more than a full circle and finds no turn.
  if (b.opposite && std::fabs(b.c) <= 90.0f)
    return long_way_loop(r, b.P, b.N, b.crs_in, b.crs_out, b.radius, b.left, b.mode);
  plan_anticipation(b, r);
  place_first_centre(b, r);
  const Tangency g = outbound_tangency(b);
  const bool in_window = b.left ? (g.rb > 0.0f && g.rb < kRefitWindowDeg) : (g.rb > -kRefitWindowDeg && g.rb < 0.0f);
  r.seg1_start_angle = b.start_exact;
  r.seg1_turn = b.side1;
  if (std::fabs(g.rb) < kTangentToleranceDeg) return end_on_outbound(b, r, g);
  if (in_window) return refit_to_outbound(b, r, g);
  return s_turn(b, r, pair_written);
}

}  // namespace

OwnFrameTurns::OwnFrameTurns(bool on) : was(own_frame_everywhere) { own_frame_everywhere = was || on; }
OwnFrameTurns::~OwnFrameTurns() { own_frame_everywhere = was; }

int32_t calc_turn_center(double wpt_lat, double wpt_lon, float crs_in, double next_lat, double next_lon,
                         float crs_out, float dta, float radius, int32_t turn, int32_t mode, int32_t leg,
                         bool opposite) {
  TurnCenterResult& r = turn_center_result;
  r = TurnCenterResult{};
  r.seg1_radius = radius;
  r.seg1_dta = dta;
  if (!leg_slot_ok(leg)) return 1;
  TurnBuild b{};
  b.P = Pt{wpt_lat, wpt_lon};
  b.N = Pt{next_lat, next_lon};
  b.crs_in = crs_in;
  b.crs_out = crs_out;
  b.dta = dta;
  b.radius = radius;
  b.turn = turn;
  b.mode = mode;
  b.leg = leg;
  b.opposite = opposite;
  b.left = turn == kTurnLeft;

  b.c = angle::wrap180_d(static_cast<double>(crs_out) - crs_in);
  if (std::fabs(b.c) < kStraightBelowDeg) {
    r.seg1_start_lat = legs_lat[leg];
    r.seg1_start_lon = legs_lon[leg];
    r.seg_remain_dist = leg + 1 < 256 ? legs_dist[leg + 1] : 0.0f;
    r.seg1_radius = 0.0f;
    r.seg1_dta = 0.0f;
    return 0;
  }
  b.reversal = b.c < -kReversalBeyondDeg || b.c > kReversalBeyondDeg;
  if (tracing(9999.0f)) {
    trace(9999.0f, "WPT %d <%s> <<%s>>: mode: %d, turn: %d, change crs: %f", leg, wpt_id(leg).text,
          path_type(leg).text, mode, turn, static_cast<double>(b.c));
    trace(9999.0f, "%s", opposite ? ", opposite dir: yes" : ", opposite dir: no");
    trace(9999.0f, "%s", b.reversal ? ", chg crs 180: yes" : ", chg crs 180: no");
    trace(9999.0f, "\n");
  }
  b.m = straight_before(leg);

  // What follows reads nothing but these values; a traced pass is built
  // afresh so that its lines are written.
  TurnKey key{};
  const bool memo = !tracing(9999.0f);
  if (memo) {
    key = TurnKey{wpt_lat, wpt_lon, next_lat, next_lon, crs_in, crs_out, dta, radius, b.m, turn, mode, leg,
                  opposite ? 1 : 0, own_frame_everywhere ? 1 : 0};
    if (const TurnMemo* e = find_turn(key)) return replay_turn(*e);
  }
  bool pair_written = false;
  int32_t res;
  if (in_own_frame(wpt_lat)) {
    const WaypointFrame frame = waypoint_frame(b.P);
    b.P = turned(frame, b.P, true);
    b.N = turned(frame, b.N, true);
    res = build_turn(b, r, pair_written);
    record_to_earth(frame, r, pair_written);
  } else {
    res = build_turn(b, r, pair_written);
  }
  if (memo) remember_turn(key, res, pair_written);
  return res;
}

int32_t carried_s_turn(double ctr_lat, double ctr_lon, float radius, int32_t turn, double from_lat, double from_lon,
                       double wpt_lat, double wpt_lon, double next_lat, double next_lon, float crs_out,
                       int32_t leg) {
  TurnCenterResult& r = turn_center_result;
  r = TurnCenterResult{};
  r.seg1_radius = radius;
  if (!leg_slot_ok(leg) || !(radius > 0.0f)) return 1;
  // Laid out in the waypoint's own frame, where it sits on the equator with
  // its north kept: the construction's fixed angles off the outbound course
  // hold near the equator, where courses do not turn with the meridians; on
  // the earth at 45 degrees its second arc ended up to 0.1 nm off the leg,
  // and differently either side of the equator.
  const WaypointFrame frame = waypoint_frame(Pt{wpt_lat, wpt_lon});
  const Pt from = turned(frame, Pt{from_lat, from_lon}, true);
  TurnBuild b{};
  b.P = turned(frame, Pt{wpt_lat, wpt_lon}, true);
  b.N = turned(frame, Pt{next_lat, next_lon}, true);
  // The turn is laid out about the waypoint, as a turn that starts before it.
  b.I = b.P;
  b.crs_out = crs_out;
  b.radius = radius;
  b.turn = turn;
  b.mode = 1;
  b.leg = leg;
  b.left = turn == kTurnLeft;
  b.side1 = b.left ? kTurnLeft : kTurnRight;
  b.side3 = b.left ? kTurnRight : kTurnLeft;
  b.p_out = c360_f(crs_out + (b.left ? 90.0 : 270.0));
  b.C1 = turned(frame, Pt{ctr_lat, ctr_lon}, true);
  r.seg1_start_lat = from.lat;
  r.seg1_start_lon = from.lon;
  r.seg1_start_angle = brg(b.C1, from);
  r.seg1_turn = b.side1;
  bool pair_written = false;
  const int32_t res = s_turn(b, r, pair_written);
  record_to_earth(frame, r, pair_written);
  // Each piece begins on the radial line the one before ends on, read from
  // its own centre through the point where they meet, as the route's tables
  // hold them (single floats): worked out in the frame and turned back, two
  // such lines parted by a metre, and a frame between them lay on no piece.
  if (r.seg3_turn != 0) {
    auto stored = [](double lat, double lon) {
      return Pt{static_cast<float>(lat), static_cast<float>(lon)};
    };
    const Pt e1 = stored(r.seg1_end_lat, r.seg1_end_lon);
    const bool straight = !zero(r.seg2_end_lat, r.seg2_end_lon);
    r.seg1_end_angle = brg(stored(ctr_lat, ctr_lon), e1);
    r.seg3_start_angle =
        brg(stored(r.seg3_ctr_lat, r.seg3_ctr_lon), straight ? stored(r.seg2_end_lat, r.seg2_end_lon) : e1);
  }
  return res;
}
