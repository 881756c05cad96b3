// Path position on route legs, the direct-to path and arc legs: which piece
// of the flown transition into a waypoint a point lies on, and how far it is
// along the path from the waypoint. Every leg index is checked against the
// 256-slot tables; an index outside reads as absent (no piece matches).
#include "lnav/path/path_position.h"

#include <cmath>

#include "core/binding.h"
#include "navdata/nav_math.h"
#include "lnav/route/route_intake.h"
#include "lnav/route/fms_legs.h"
#include "lnav/route/route_state.h"
#include "navdata/geodesy.h"
#include "lnav/route/route_geometry.h"

float path_seg_dist;
float path_sub_region;

float legs_seg3_pt_lat[256];
float legs_seg3_pt_lon[256];
float legs_entry_rad[256];
float legs_entry_arc_len[256];

namespace pathpos {

bool faces(float b, float c) { return std::fabs(angle::wrap180_nonneg(b - std::fmod(c, 360.0f))) <= 90.0f; }

// Turn code for the geodesy operations; NaN and odd values fly right.
static int turn_code(float turn) { return is_left(turn) ? kTurnLeft : kTurnRight; }

bool passed_start(double ctr_lat, double ctr_lon, float start, float turn, double lat, double lon) {
  return faces(gc_bearing(ctr_lat, ctr_lon, lat, lon), start + (is_left(turn) ? 270.0f : 90.0f));
}

bool before_end(double ctr_lat, double ctr_lon, float end, float turn, double lat, double lon) {
  return faces(gc_bearing(ctr_lat, ctr_lon, lat, lon), end + (is_left(turn) ? 90.0f : 270.0f));
}

// On an arc of any length up to a whole circle: the angle swept from its
// start radial, the arc's way round, no more than the arc's own. Two half
// planes hold only along an arc of up to half a circle.
bool within_sweep(double ctr_lat, double ctr_lon, float start, float end, float turn, double lat, double lon) {
  const int code = turn_code(turn);
  const float span = std::fabs(course_diff_dir(start, end, code));
  const float swept = std::fabs(course_diff_dir(start, gc_bearing(ctr_lat, ctr_lon, lat, lon), code));
  return swept <= span;
}

float true_heading() {
  return mirror_f(bound::sim_cockpit2_gauges_indicators_heading_AHARS_deg_mag_pilot) -
         mirror_f(bound::sim_flightmodel_position_magnetic_variation);
}

float line_measure(double lat, double lon, double q_lat, double q_lon, float c) {
  track_errors(lat, lon, q_lat, q_lon, c);
  return nav_result.along_track;
}

float arc_measure(double lat, double lon, double ctr_lat, double ctr_lon, float radius, float end, float turn) {
  arc_errors(lat, lon, ctr_lat, ctr_lon, radius, end, turn_code(turn));
  return nav_result.along_track;
}

}  // namespace pathpos

using namespace pathpos;

namespace {

// An arc spanning more than this many degrees turns the long way round: its
// radial tests (past its start, not yet past its end) each take in a half
// plane, so either one finds a point on it, where a shorter arc needs both.
constexpr float kHalfCircleDeg = 180.0f;

// The transition into a waypoint: the pieces stored at the transition leg,
// or the direct-to path.
struct Transition {
  double start_lat, start_lon;  // where the transition begins
  double ctr1_lat, ctr1_lon;
  float r1, turn1, start1, end1;
  double s1_start_lat, s1_start_lon, s1_end_lat, s1_end_lon;
  float seg1_arc, wpt_angle, wpt_arc_dist;
  double s2_end_lat, s2_end_lon;
  float seg2_dist;
  double ctr3_lat, ctr3_lon;
  float turn3, start3, end3;
  double s3_end_lat, s3_end_lon;
  float seg3_arc, remain;
  int32_t count;
};

Transition transition_of(int32_t p) {
  Transition t{};
  if (p == -1) {
    t.start_lat = dir_start_lat;
    t.start_lon = dir_start_lon;
    t.ctr1_lat = dir_seg1_ctr_lat;
    t.ctr1_lon = dir_seg1_ctr_lon;
    t.r1 = dir_seg1_radius;
    t.turn1 = dir_seg1_turn;
    t.start1 = dir_seg1_start_angle;
    t.end1 = dir_seg1_end_angle;
    t.s1_start_lat = dir_seg1_start_lat;
    t.s1_start_lon = dir_seg1_start_lon;
    t.s1_end_lat = dir_seg1_end_lat;
    t.s1_end_lon = dir_seg1_end_lon;
    t.seg1_arc = dir_seg1_arc_lenght;
    t.wpt_angle = dir_wpt_angle;
    t.wpt_arc_dist = dir_wpt_arc_dist;
    t.s2_end_lat = dir_seg2_end_lat;
    t.s2_end_lon = dir_seg2_end_lon;
    t.seg2_dist = dir_seg2_distance;
    t.ctr3_lat = dir_seg3_ctr_lat;
    t.ctr3_lon = dir_seg3_ctr_lon;
    t.turn3 = dir_seg3_turn;
    t.start3 = dir_seg3_start_angle;
    t.end3 = dir_seg3_end_angle;
    t.s3_end_lat = dir_seg3_end_lat;
    t.s3_end_lon = dir_seg3_end_lon;
    t.seg3_arc = dir_seg3_arc_lenght;
    t.remain = dir_seg_remain_dist;
    t.count = dir_seg_count();
    return t;
  }
  // After a runway the path starts at the runway's start point.
  if (p == 1 && route_text_starts(route_tables.waypoint_names[1], "RW")) {
    runway_start(1, t.start_lat, t.start_lon);
  } else {
    t.start_lat = legs_lat[p];
    t.start_lon = legs_lon[p];
  }
  t.ctr1_lat = legs_seg1_ctr_lat[p];
  t.ctr1_lon = legs_seg1_ctr_lon[p];
  t.r1 = legs_seg1_radius[p];
  t.turn1 = legs_seg1_turn[p];
  t.start1 = legs_seg1_start_angle[p];
  t.end1 = legs_seg1_end_angle[p];
  t.s1_start_lat = legs_seg1_start_lat[p];
  t.s1_start_lon = legs_seg1_start_lon[p];
  t.s1_end_lat = legs_seg1_end_lat[p];
  t.s1_end_lon = legs_seg1_end_lon[p];
  t.seg1_arc = legs_seg1_arc_lenght[p];
  t.wpt_angle = legs_wpt_angle[p];
  t.wpt_arc_dist = legs_wpt_arc_dist[p];
  t.s2_end_lat = legs_seg2_end_lat[p];
  t.s2_end_lon = legs_seg2_end_lon[p];
  t.seg2_dist = legs_seg2_distance[p];
  t.ctr3_lat = legs_seg3_ctr_lat[p];
  t.ctr3_lon = legs_seg3_ctr_lon[p];
  t.turn3 = legs_seg3_turn[p];
  t.start3 = legs_seg3_start_angle[p];
  t.end3 = legs_seg3_end_angle[p];
  t.s3_end_lat = legs_seg3_end_lat[p];
  t.s3_end_lon = legs_seg3_end_lon[p];
  t.seg3_arc = legs_seg3_arc_lenght[p];
  t.remain = legs_seg_remain_dist[p];
  t.count = leg_seg_kind(p);
  return t;
}

// Intercept course in use for the leg (true degrees), or -1.
float intercept_course() {
  if (route_change_values.intdir_crs == -1.0f || fms_seq.intdir_act != 2.0f) return -1.0f;
  float c = std::fmod(route_change_values.intdir_crs - mirror_f(bound::sim_flightmodel_position_magnetic_variation) +
                          360.0f,
                      360.0f);
  if (c < 0.0f) c += 360.0f;
  return c;
}

// The point X of code 14: the point projected along the course of the first
// arc's end radial onto that arc, if it lies in the arc's part after the
// waypoint radial. Of two crossings the one nearer the point is the
// projection (the first on a tie); the other lies across the circle.
bool project_onto_seg1(const Transition& t, double lat, double lon, double& x_lat, double& x_lon) {
  gc_destination(lat, lon, t.end1, 10.0);
  const double q_lat = nav_result.lat;
  const double q_lon = nav_result.lon;
  const int32_t n = circle_line_intersection(t.ctr1_lat, t.ctr1_lon, t.r1, lat, lon, q_lat, q_lon);
  if (n < 1) return false;
  const TwoPointResult tp = two_point_result;
  x_lat = tp.lat1;
  x_lon = tp.lon1;
  if (n == 2 && gc_distance_nm(lat, lon, tp.lat2, tp.lon2) < gc_distance_nm(lat, lon, tp.lat1, tp.lon1)) {
    x_lat = tp.lat2;
    x_lon = tp.lon2;
  }
  const int turn = is_left(t.turn1) ? kTurnLeft : kTurnRight;
  const float s0 = std::fabs(course_diff_dir(t.wpt_angle, t.end1, turn));
  const float sx = std::fabs(course_diff_dir(gc_bearing(t.ctr1_lat, t.ctr1_lon, x_lat, x_lon), t.end1, turn));
  return s0 > sx;
}

}  // namespace

int32_t path_position_dir(int32_t m, int32_t p, double lat, double lon, int32_t mode) {
  nav_result.spare1 = 0.0;
  nav_result.spare2 = 0.0;
  if (m < 0 || m > 255 || p < -1 || p > 255) return kRegionNone;
  Transition t = transition_of(p);
  path_sub_region = static_cast<float>(t.count);
  const int32_t i = m;
  const bool own_turn = legs_radii_radius[i] != 0.0f;
  // The aircraft beside the route on a lateral offset that lies inside a
  // fly-by turn flies that turn on the offset path's own circle (the route's
  // moved inward, starting earlier by `lead`): its pieces are found on that
  // circle, and its cross-track is told as the route's.
  float offset1 = 0.0f;
  float lead1 = 0.0f;
  OffsetTurnShift shift1{};
  if (mode == 0 && p >= 0 && offset_turn_shift(p, shift1)) {
    offset1 = shift1.offset_nm;
    offset_turn_move(shift1, t.ctr1_lat, t.ctr1_lon);
    if (shift1.whole) {
      // A turn with a rejoin is flown whole beside the route, its start too.
      offset_turn_move(shift1, t.s1_start_lat, t.s1_start_lon);
      offset_turn_move(shift1, t.s1_end_lat, t.s1_end_lon);
      offset_turn_move(shift1, t.s2_end_lat, t.s2_end_lon);
      offset_turn_move(shift1, t.ctr3_lat, t.ctr3_lon);
      offset_turn_move(shift1, t.s3_end_lat, t.s3_end_lon);
    } else {
      lead1 = offset_turn_lead(p, offset1);
    }
  }
  const bool l1 = is_left(t.turn1);
  const float leg_crs = magvar_course(i);
  const bool hdg_ok = mode == 1 || faces(leg_crs, true_heading());
  const float tail = (t.remain - legs_seg1_dta[i]) + legs_wpt_arc_dist[i];
  const double wpt_lat = legs_lat[i];
  const double wpt_lon = legs_lon[i];
  // Waypoint i's own turn.
  double ti_ctr_lat = legs_seg1_ctr_lat[i];
  double ti_ctr_lon = legs_seg1_ctr_lon[i];
  const float ti_turn = legs_seg1_turn[i];
  const float ti_start = legs_seg1_start_angle[i];
  const double ti_start_lat = legs_seg1_start_lat[i];
  const double ti_start_lon = legs_seg1_start_lon[i];
  // Where the turn begins as flown: the route's start, or the offset circle's.
  double ts_lat = ti_start_lat;
  double ts_lon = ti_start_lon;
  float offset_i = 0.0f;
  float lead_i = 0.0f;
  if (mode == 0 && own_turn && offset_turn_centre(i, ti_ctr_lat, ti_ctr_lon, offset_i)) {
    lead_i = offset_turn_lead(i, offset_i);
    gc_destination(ti_ctr_lat, ti_ctr_lon, ti_start, legs_seg1_radius[i]);
    ts_lat = nav_result.lat;
    ts_lon = nav_result.lon;
  }
  const bool li = is_left(ti_turn);
  const float span3 = std::fabs(course_diff_dir(t.start3, t.end3, l1 ? kTurnLeft : kTurnRight));
  // Where the second arc turns against the first (a course reversal), its
  // span taken the first arc's way round is the long way, and the straight
  // before it would never be found: guidance would stay on that straight. The
  // straight's test takes the arc's own way round.
  const float span3_own = std::fabs(course_diff_dir(t.start3, t.end3, is_left(t.turn3) ? kTurnLeft : kTurnRight));
  const auto brg_from = [lat, lon](double from_lat, double from_lon) {
    return gc_bearing(from_lat, from_lon, lat, lon);
  };
  const auto short_of_wpt = [&]() { return faces(brg_from(wpt_lat, wpt_lon), leg_crs + 180.0f); };
  // An arc of more than half a circle (a turn the long way) ends where its
  // own start lies in the same half-plane: while it is being entered (nav
  // mode 5) a point short of its start is not past its end.
  const auto short_of_seg1 = [&]() {
    const float b1 = brg_from(t.ctr1_lat, t.ctr1_lon);
    return faces(b1, t.start1 + (l1 ? 90.0f : 270.0f)) && faces(b1, t.start1);
  };
  const bool wide1 = std::fabs(course_diff_dir(t.start1, t.end1, l1 ? kTurnLeft : kTurnRight)) > kHalfCircleDeg;
  const auto past_seg1_end = [&]() {
    return passed_start(t.ctr1_lat, t.ctr1_lon, t.end1, t.turn1, lat, lon) &&
           !(wide1 && fms_seq.nav_mode == 5.0f && short_of_seg1());
  };
  const auto past_seg3_end = [&]() { return faces(brg_from(t.s3_end_lat, t.s3_end_lon), t.end3 + (l1 ? 90.0f : 270.0f)); };
  const auto short_of_turn_start = [&]() {
    return faces(brg_from(ts_lat, ts_lon), ti_start + (li ? 90.0f : 270.0f));
  };
  const auto before_turn_start = [&]() {
    return faces(brg_from(ti_ctr_lat, ti_ctr_lon), ti_start + (li ? 90.0f : 270.0f));
  };

  // A first arc of more than half a circle (a turn the long way round) has
  // its own straight, and the path after it, run back through the sector of
  // its first part. Once the sequencer has left that arc (nav mode 0, 6 or
  // 9) a point there lies on those later pieces, never on the arc.
  const auto long_first_arc_left = [&t, l1]() {
    const float nav_mode = fms_seq.nav_mode;
    return (nav_mode == 0.0f || nav_mode == 6.0f || nav_mode == 9.0f) &&
           std::fabs(course_diff_dir(t.start1, t.end1, l1 ? kTurnLeft : kTurnRight)) > kHalfCircleDeg;
  };

  // 6: the fly-by turn before the waypoint's radial.
  if (mode == 0 && t.count >= 1 && !long_first_arc_left() &&
      passed_start(t.ctr1_lat, t.ctr1_lon, t.start1, t.turn1, lat, lon) &&
      before_end(t.ctr1_lat, t.ctr1_lon, t.wpt_angle, t.turn1, lat, lon)) {
    const float s = arc_measure(lat, lon, t.ctr1_lat, t.ctr1_lon, t.r1, t.wpt_angle, t.turn1);
    nav_result.cross_track += offset1;
    return found(kRegionFlyByTurn, s, s + (t.seg1_arc - t.wpt_arc_dist) + t.seg2_dist + t.seg3_arc + tail);
  }
  // 1: the rest of the first arc; a remainder over half a circle needs only
  // one of the two tests. Once the sequencer has left such an arc only its
  // last half can still be under the aircraft: the straight after it sweeps
  // the radials of the rest, and would be taken for the loop again.
  if (t.count >= 1) {
    const bool a = passed_start(t.ctr1_lat, t.ctr1_lon, t.wpt_angle, t.turn1, lat, lon);
    const bool b = before_end(t.ctr1_lat, t.ctr1_lon, t.end1, t.turn1, lat, lon);
    const bool wide = std::fabs(course_diff_dir(t.wpt_angle, t.end1, l1 ? kTurnLeft : kTurnRight)) > kHalfCircleDeg;
    const bool on_arc = !wide ? a && b : (long_first_arc_left() ? b : a || b);
    if (on_arc) {
      const float s = arc_measure(lat, lon, t.ctr1_lat, t.ctr1_lon, t.r1, t.end1, t.turn1);
      nav_result.cross_track += offset1;
      return found(kRegionFirstArc, s, s + t.seg2_dist + t.seg3_arc + tail);
    }
  }
  // 2: the straight between the arcs.
  if (t.count == 3 && hdg_ok && faces(brg_from(t.s1_end_lat, t.s1_end_lon), t.end1 + (l1 ? 270.0f : 90.0f)) &&
      faces(brg_from(t.s2_end_lat, t.s2_end_lon), t.start3 + (l1 ? 270.0f : 90.0f)) &&
      faces(brg_from(t.ctr3_lat, t.ctr3_lon), l1 ? t.start3 + span3_own + 270.0f : t.start3 - span3_own + 90.0f)) {
    track_errors_leg(lat, lon, t.s1_end_lat, t.s1_end_lon, t.s2_end_lat, t.s2_end_lon);
    nav_result.cross_track += offset1;
    const float s = nav_result.along_track;
    return found(kRegionBetweenArcs, s, s + t.seg3_arc + tail);
  }
  // 3: the second arc (measured with the first arc's radius).
  if ((t.count == 2 || t.count == 3) && hdg_ok) {
    const float b3 = brg_from(t.ctr3_lat, t.ctr3_lon);
    if (faces(b3, t.start3 + (l1 ? 90.0f : 270.0f)) && faces(b3, t.end3 + (l1 ? 270.0f : 90.0f))) {
      const float s = arc_measure(lat, lon, t.ctr3_lat, t.ctr3_lon, t.r1, t.end3, t.turn3);
      nav_result.cross_track += offset1;
      return found(kRegionSecondArc, s, s + tail);
    }
  }
  // 4: from the second arc's end to the start of the waypoint's own turn.
  if (t.count == 3 && own_turn && hdg_ok && past_seg3_end() && short_of_turn_start() &&
      faces(brg_from(t.ctr3_lat, t.ctr3_lon), l1 ? t.start3 - span3 + 90.0f : t.start3 + span3 + 270.0f)) {
    track_errors_leg(lat, lon, t.s3_end_lat, t.s3_end_lon, ti_start_lat, ti_start_lon);
    const float s = nav_result.along_track - lead_i;
    return found(kRegionStraightAfterSecondArcToTurn, s, s + legs_wpt_arc_dist[i]);
  }
  // 5: the waypoint's own turn up to its waypoint radial.
  if (own_turn && hdg_ok && passed_start(ti_ctr_lat, ti_ctr_lon, ti_start, ti_turn, lat, lon) &&
      before_end(ti_ctr_lat, ti_ctr_lon, legs_wpt_angle[i], ti_turn, lat, lon)) {
    const float s = arc_measure(lat, lon, ti_ctr_lat, ti_ctr_lon, legs_seg1_radius[i], legs_wpt_angle[i], ti_turn);
    nav_result.cross_track += offset_i;
    return found(kRegionOwnTurn, s, s);
  }
  // 7: from the first arc's end to the waypoint.
  if (t.count == 1 && !own_turn && hdg_ok && past_seg1_end() && short_of_wpt()) {
    const float s = line_measure(lat, lon, wpt_lat, wpt_lon, leg_crs);
    return found(kRegionFirstArcToWaypoint, s, s);
  }
  // 8: straight to the waypoint, on the intercept course while one is in use.
  if (t.count == 0 && !own_turn && hdg_ok && short_of_wpt()) {
    const float icpt = intercept_course();
    const float s = line_measure(lat, lon, wpt_lat, wpt_lon, icpt != -1.0f ? icpt : leg_crs);
    return found(kRegionStraightToWaypoint, s, s);
  }
  // 9: from the first arc's end to the start of the waypoint's turn.
  if (t.count == 1 && own_turn && hdg_ok && past_seg1_end() && before_turn_start()) {
    track_errors_leg(lat, lon, t.s1_end_lat, t.s1_end_lon, ti_start_lat, ti_start_lon);
    const float s = nav_result.along_track - lead_i;
    return found(kRegionFirstArcToTurn, s, s + legs_wpt_arc_dist[i]);
  }
  // 10: straight to the start of the waypoint's turn.
  if (t.count == 0 && own_turn && hdg_ok && before_turn_start()) {
    const float icpt = intercept_course();
    // The straight's own course where it ends, at the start of the turn.
    const float own = navmath::mod360(gc_bearing(ti_start_lat, ti_start_lon, t.start_lat, t.start_lon) + 180.0f);
    const float c = icpt != -1.0f ? icpt : own;
    const float s = line_measure(lat, lon, ti_start_lat, ti_start_lon, c) - lead_i;
    return found(kRegionStraightToTurn, s, s + legs_wpt_arc_dist[i]);
  }
  // 11: from the second arc's end to the waypoint.
  if ((t.count == 2 || t.count == 3) && !own_turn && hdg_ok && past_seg3_end() && short_of_wpt()) {
    const float s = line_measure(lat, lon, wpt_lat, wpt_lon, leg_crs);
    return found(kRegionSecondArcToWaypoint, s, s);
  }
  // 12: from the second arc's end to the start of the waypoint's turn.
  if (t.count == 2 && own_turn && hdg_ok && past_seg3_end() && short_of_turn_start()) {
    track_errors_leg(lat, lon, t.s3_end_lat, t.s3_end_lon, ti_start_lat, ti_start_lon);
    const float s = nav_result.along_track - lead_i;
    return found(kRegionSecondArcToTurn, s, s + legs_wpt_arc_dist[i]);
  }
  // 13: not yet at the first arc.
  if (mode == 0 && t.count >= 1) {
    const float b1 = brg_from(t.ctr1_lat, t.ctr1_lon);
    if (faces(b1, t.start1 + (l1 ? 90.0f : 270.0f)) && faces(b1, t.start1)) {
      // The course is the inbound line's where the turn starts, not at the
      // waypoint: near a pole the two part by degrees over the anticipation.
      float c = magvar_course(p);
      if (leg_slot_ok(p)) {
        track_errors(t.s1_start_lat, t.s1_start_lon, legs_lat[p], legs_lon[p], c);
        c = gc_course_at(legs_lat[p], c, -static_cast<double>(nav_result.along_track));
      }
      const float s = line_measure(lat, lon, t.s1_start_lat, t.s1_start_lon, c) - lead1;
      return found(kRegionBeforeFirstArc, s, s + t.seg1_arc + t.seg2_dist + t.seg3_arc + tail);
    }
  }
  // 14: a waypoint abeam the first arc, projected onto it.
  if (mode == 1 && t.count >= 1 && before_end(t.ctr1_lat, t.ctr1_lon, t.end1, t.turn1, lat, lon)) {
    double x_lat = 0.0;
    double x_lon = 0.0;
    if (project_onto_seg1(t, lat, lon, x_lat, x_lon)) {
      const float s = arc_measure(x_lat, x_lon, t.ctr1_lat, t.ctr1_lon, t.r1, t.end1, t.turn1);
      return found(kRegionAbeamFirstArc, s, s + t.seg2_dist + t.seg3_arc + tail);
    }
  }
  return kRegionNone;
}

int32_t path_position_arc(int32_t m, int32_t p, double lat, double lon) {
  nav_result.spare1 = 0.0;
  nav_result.spare2 = 0.0;
  if (m < 0 || m > 255 || p < -1 || p > 255) return kRegionNone;
  const int32_t i = m;
  const bool entry_turn = at(legs_radii_radius, p) != 0.0f;
  const bool exit_turn = legs_radii_radius[i] != 0.0f;
  const Transition t = transition_of(p);
  const double ctr_lat = legs_rad_lat[i];
  const double ctr_lon = legs_rad_lon[i];
  const float dir = legs_rad_turn[i];
  const float beg = legs_af_beg[i];
  const float end = legs_af_end[i];

  // On the arc itself.
  if (within_sweep(ctr_lat, ctr_lon, beg, end, dir, lat, lon)) {
    const float s = arc_measure(lat, lon, ctr_lat, ctr_lon, legs_radius[i], end, dir);
    return found(exit_turn ? kRegionArcThenTurn : kRegionArc, s, s + legs_wpt_arc_dist[i]);
  }
  // The fly-by turn onto the arc.
  if (entry_turn && passed_start(t.ctr1_lat, t.ctr1_lon, t.start1, t.turn1, lat, lon) &&
      before_end(t.ctr1_lat, t.ctr1_lon, t.end1, t.turn1, lat, lon)) {
    const float s = arc_measure(lat, lon, t.ctr1_lat, t.ctr1_lon, t.r1, t.end1, t.turn1);
    return found(kRegionTurnOntoArc, s, s + legs_af_arc_dist[i] + legs_wpt_arc_dist[i]);
  }
  // The turn off the arc at its end, up to the waypoint's radial: measured on
  // the turn itself. The arc's end lies behind the aircraft there, and the arc
  // measured from the turn would run the whole circle round again.
  if (exit_turn &&
      passed_start(legs_seg1_ctr_lat[i], legs_seg1_ctr_lon[i], legs_seg1_start_angle[i], legs_seg1_turn[i], lat,
                   lon) &&
      before_end(legs_seg1_ctr_lat[i], legs_seg1_ctr_lon[i], legs_wpt_angle[i], legs_seg1_turn[i], lat, lon)) {
    const float s = arc_measure(lat, lon, legs_seg1_ctr_lat[i], legs_seg1_ctr_lon[i], legs_seg1_radius[i],
                                legs_wpt_angle[i], legs_seg1_turn[i]);
    return found(kRegionTurnOffArc, s, s);
  }
  // The approach is measured to the waypoint before the arc, even where that
  // is a runway whose transition starts at the runway's start point.
  const auto approach = [&](int32_t code) {
    const double to_lat = p >= 0 ? static_cast<double>(legs_lat[p]) : t.start_lat;
    const double to_lon = p >= 0 ? static_cast<double>(legs_lon[p]) : t.start_lon;
    // The course leg p starts with holds at the waypoint before it.
    const float crs = magvar_course_alt(p - 1);
    float s;
    if (p >= 1 && (legs_lat[p - 1] != 0.0f || legs_lon[p - 1] != 0.0f)) {
      track_errors_from(lat, lon, legs_lat[p - 1], legs_lon[p - 1], crs, to_lat, to_lon);
      s = nav_result.along_track;
    } else {
      s = line_measure(lat, lon, to_lat, to_lon, crs);
    }
    return found(code, s, s + legs_af_arc_dist[i] + t.seg1_arc + legs_wpt_arc_dist[i]);
  };
  // Before the fly-by turn onto the arc.
  if (entry_turn && faces(gc_bearing(t.ctr1_lat, t.ctr1_lon, lat, lon), t.start1 + (is_left(t.turn1) ? 90.0f : 270.0f)))
    return approach(kRegionBeforeTurnOntoArc);
  // Before an arc joined without a turn: on the near side of its middle radial.
  if (!entry_turn) {
    const float mid = std::fmod(beg + course_diff_dir(beg, end, is_left(dir) ? kTurnLeft : kTurnRight) * 0.5f + 360.0f, 360.0f);
    if (faces(gc_bearing(ctr_lat, ctr_lon, lat, lon), mid + (is_left(dir) ? 90.0f : 270.0f))) return approach(kRegionBeforeArc);
  }
  return kRegionNone;
}
