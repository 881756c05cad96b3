// Path position in holding patterns and procedure turns: the piece of the
// racetrack (or of the hold entry, by hold phase) or of the procedure turn a
// point lies on, and the distance along the pattern to the fix. Geometry
// comes from the hold and procedure-turn layout (lnav/route/hold_geometry.h) and
// from the entry pieces stored with the transition leg; a transition leg
// outside the tables reads as zero geometry.
#include <cmath>

#include "core/units.h"
#include "core/util.h"
#include "lnav/route/hold_geometry.h"
#include "lnav/route/route_intake.h"
#include "lnav/route/fms_legs.h"
#include "lnav/path/path_position.h"
#include "lnav/route/route_state.h"
#include "lnav/route/route_tracking.h"
#include "navdata/geodesy.h"
#include "lnav/route/route_geometry.h"

using namespace pathpos;

namespace {



using angle::mod360_nonneg;

// The entry pieces stored with the transition leg p.
struct Entry {
  double ctr1_lat, ctr1_lon;
  float r1, turn1, start1, end1;
  double s1_start_lat, s1_start_lon, s1_end_lat, s1_end_lon;
  float seg1_arc;
  double s2_end_lat, s2_end_lon;
  float seg2_crs, seg2_dist;
  double ctr3_lat, ctr3_lon;
  float r3, turn3, start3, end3;
  double s3_end_lat, s3_end_lon, s3_pt_lat, s3_pt_lon;
  float seg3_arc, entry_rad, entry_arc;
};

Entry entry_of(int32_t p) {
  Entry e{};
  e.ctr1_lat = at(legs_seg1_ctr_lat, p);
  e.ctr1_lon = at(legs_seg1_ctr_lon, p);
  e.r1 = at(legs_seg1_radius, p);
  e.turn1 = at(legs_seg1_turn, p);
  e.start1 = at(legs_seg1_start_angle, p);
  e.end1 = at(legs_seg1_end_angle, p);
  e.s1_start_lat = at(legs_seg1_start_lat, p);
  e.s1_start_lon = at(legs_seg1_start_lon, p);
  e.s1_end_lat = at(legs_seg1_end_lat, p);
  e.s1_end_lon = at(legs_seg1_end_lon, p);
  e.seg1_arc = at(legs_seg1_arc_lenght, p);
  e.s2_end_lat = at(legs_seg2_end_lat, p);
  e.s2_end_lon = at(legs_seg2_end_lon, p);
  e.seg2_crs = at(legs_seg2_crs_true, p);
  e.seg2_dist = at(legs_seg2_distance, p);
  e.ctr3_lat = at(legs_seg3_ctr_lat, p);
  e.ctr3_lon = at(legs_seg3_ctr_lon, p);
  e.r3 = at(legs_seg3_radius, p);
  e.turn3 = at(legs_seg3_turn, p);
  e.start3 = at(legs_seg3_start_angle, p);
  e.end3 = at(legs_seg3_end_angle, p);
  e.s3_end_lat = at(legs_seg3_end_lat, p);
  e.s3_end_lon = at(legs_seg3_end_lon, p);
  e.s3_pt_lat = at(legs_seg3_pt_lat, p);
  e.s3_pt_lon = at(legs_seg3_pt_lon, p);
  e.seg3_arc = at(legs_seg3_arc_lenght, p);
  e.entry_rad = at(legs_entry_rad, p);
  e.entry_arc = at(legs_entry_arc_len, p);
  return e;
}

// Centre bearing tests: "short of the start" and "past the end" of an arc.
bool short_of_start(double ctr_lat, double ctr_lon, float start, float turn, double lat, double lon) {
  return faces(gc_bearing(ctr_lat, ctr_lon, lat, lon), start + (is_left(turn) ? 90.0f : 270.0f));
}
bool past_end(double ctr_lat, double ctr_lon, float end, float turn, double lat, double lon) {
  return passed_start(ctr_lat, ctr_lon, end, turn, lat, lon);
}

}  // namespace

int32_t path_position_hold(int32_t leg, int32_t prev, double lat, double lon, int32_t mode) {
  if (leg < 0 || leg > 255) return 0;
  const int32_t i = leg;
  const int32_t p = prev;
  const HoldPatternArrays& h = hold_pattern;
  const float r = h.hold_radius[i];
  const float len = h.hold_leg_len[i];
  const float c = h.hold_crs_true[i];
  const float d = legs_rad_turn[i];
  const float half = static_cast<float>(static_cast<double>(r) * pi_12dp);
  const double c1_lat = h.hold_ctr1_lat[i];
  const double c1_lon = h.hold_ctr1_lon[i];
  const double c2_lat = h.hold_ctr2_lat[i];
  const double c2_lon = h.hold_ctr2_lon[i];
  const float rad_a = h.hold_side_away[i];
  const float rad_b = h.hold_side[i];
  const float phase = fms_seq.hold_phase;
  const float hdg = true_heading();
  const Entry e = entry_of(p);
  const auto before_entry = [&](int32_t code, float rest) {
    const float s = line_measure(lat, lon, e.s1_start_lat, e.s1_start_lon, magvar_course(p));
    return found(code, s, s + rest);
  };

  if (phase <= 3.0f) {
    // The racetrack.
    if (passed_start(c1_lat, c1_lon, rad_a, d, lat, lon) && before_end(c1_lat, c1_lon, rad_b, d, lat, lon)) {
      const float s = arc_measure(lat, lon, c1_lat, c1_lon, r, rad_b, d);
      return found(301, s, s + 2.0f * len + half);
    }
    // The far turn's radials are opposite, so its test takes in the whole
    // half plane beyond its centre, the inbound course there included. An
    // entry whose last turn had to move out past the far turn (overlapping
    // turn circles; always by 0.1 nm or more) joins the inbound course in
    // that half plane; in phase 0 the far turn is then kept only by an
    // aircraft already on it (come round it from phase 3), not by one coming
    // in from that entry.
    const bool joined_outside = phase == 0.0f && h.hold_entry[i] == 3.0f && e.r3 > 0.0f &&
                                route_track.region != 303 &&
                                gc_distance_nm(e.ctr3_lat, e.ctr3_lon, c2_lat, c2_lon) > 0.05f;
    if (!joined_outside && passed_start(c2_lat, c2_lon, rad_b, d, lat, lon) &&
        before_end(c2_lat, c2_lon, rad_a, d, lat, lon)) {
      const float s = arc_measure(lat, lon, c2_lat, c2_lon, r, rad_a, d);
      return found(303, s, s + len);
    }
    if (mode != 0 || faces(c, hdg)) {
      const float s = line_measure(lat, lon, legs_lat[i], legs_lon[i], c);
      return found(300, s, s);
    }
    const float s = line_measure(lat, lon, h.hold_far_lat[i], h.hold_far_lon[i], c + 180.0f);
    return found(302, s, s + half + len);
  }

  const bool outbound_hdg = faces(c + 180.0f, hdg);
  const bool on_seg1 = passed_start(e.ctr1_lat, e.ctr1_lon, e.start1, e.turn1, lat, lon) &&
                       before_end(e.ctr1_lat, e.ctr1_lon, e.end1, e.turn1, lat, lon);
  const bool on_seg3 = passed_start(e.ctr3_lat, e.ctr3_lon, e.start3, e.turn3, lat, lon) &&
                       before_end(e.ctr3_lat, e.ctr3_lon, e.end3, e.turn3, lat, lon);
  // An entry arc of more than half a circle is found by either of its two
  // radial tests; one of less needs both, or it would also claim the pieces
  // flown before it (the half plane past its start takes in nearly all).
  const auto on_entry_arc = [&](double clat, double clon, float start, float end, float turn) {
    const bool a = passed_start(clat, clon, start, turn, lat, lon);
    const bool b = before_end(clat, clon, end, turn, lat, lon);
    return std::fabs(course_diff_dir(start, end, is_left(turn) ? kTurnLeft : kTurnRight)) > 180.0f ? (a || b) : (a && b);
  };
  const bool near_seg3 = on_entry_arc(e.ctr3_lat, e.ctr3_lon, e.start3, e.end3, e.turn3);

  if (phase >= 4.0f && phase <= 5.0f) {
    if (on_entry_arc(e.ctr1_lat, e.ctr1_lon, e.start1, e.end1, e.turn1)) {
      const float s = arc_measure(lat, lon, e.ctr1_lat, e.ctr1_lon, e.r1, e.end1, e.turn1);
      return found(304, s, s + e.seg2_dist + 2.0f * len + half);
    }
    if (outbound_hdg && passed_start(e.ctr1_lat, e.ctr1_lon, e.start1, e.turn1, lat, lon)) {
      const float s = line_measure(lat, lon, h.hold_far_lat[i], h.hold_far_lon[i], c + 180.0f);
      return found(305, s, s + half + len);
    }
    return before_entry(330, e.seg1_arc + e.seg2_dist + 2.0f * len + half);
  }

  if (phase >= 6.0f && phase <= 10.0f) {
    // The entry straight's length is stored in the course slot here.
    const float straight = e.seg2_crs;
    const float last_arc = e.entry_arc;
    if (near_seg3) {
      const float s = arc_measure(lat, lon, e.ctr3_lat, e.ctr3_lon, e.r3, e.end3, e.turn3);
      return found(308, s, s + e.seg2_dist + last_arc);
    }
    // The return to the fix exists only once the entry's last arc has been
    // reached: at the fix, arriving more than 90 degrees off the outbound
    // course, its half-plane tests would hold before any of the entry is flown.
    const bool returning = phase >= 9.0f;
    const float b1 = gc_bearing(c1_lat, c1_lon, lat, lon);
    if (returning && !outbound_hdg && (faces(b1, e.entry_rad + (is_left(d) ? 270.0f : 90.0f)) ||
                          faces(b1, rad_b + (is_left(d) ? 90.0f : 270.0f)))) {
      const float s = arc_measure(lat, lon, c1_lat, c1_lon, r, rad_b, d);
      return found(310, s, s);
    }
    if (returning && !outbound_hdg && past_end(e.ctr3_lat, e.ctr3_lon, e.end3, e.turn3, lat, lon) &&
        faces(b1, e.entry_rad + (is_left(d) ? 90.0f : 270.0f))) {
      const float crs = gc_bearing(e.s3_end_lat, e.s3_end_lon, e.s2_end_lat, e.s2_end_lon);
      const float s = line_measure(lat, lon, e.s2_end_lat, e.s2_end_lon, crs);
      return found(309, s, s + last_arc);
    }
    const float entry_type = h.hold_entry[i];
    if (outbound_hdg && entry_type == 4.0f && on_seg1) {
      const float s = arc_measure(lat, lon, e.ctr1_lat, e.ctr1_lon, e.r1, e.end1, e.turn1);
      return found(306, s, s + straight + e.seg3_arc + e.seg2_dist + last_arc);
    }
    if (outbound_hdg &&
        (entry_type != 4.0f || passed_start(e.ctr1_lat, e.ctr1_lon, e.start1, e.turn1, lat, lon)) &&
        short_of_start(e.ctr3_lat, e.ctr3_lon, e.start3, e.turn3, lat, lon)) {
      const float s = line_measure(lat, lon, e.s3_pt_lat, e.s3_pt_lon, c + 180.0f);
      return found(307, s, s + e.seg3_arc + e.seg2_dist + last_arc);
    }
    return before_entry(331, e.seg1_arc + straight + e.seg3_arc + e.seg2_dist + last_arc);
  }

  if (phase >= 11.0f && phase <= 13.0f) {
    if (near_seg3) {
      const float s = arc_measure(lat, lon, e.ctr3_lat, e.ctr3_lon, e.r3, e.end3, e.turn3);
      return found(313, s, s + len);
    }
    if (e.r1 != 0.0f && on_seg1) {
      const float s = arc_measure(lat, lon, e.ctr1_lat, e.ctr1_lon, e.r1, e.end1, e.turn1);
      return found(311, s, s + e.seg2_dist + e.seg3_arc + len);
    }
    const bool short3 = short_of_start(e.ctr3_lat, e.ctr3_lon, e.start3, e.turn3, lat, lon);
    const bool on_straight =
        e.r1 != 0.0f ? past_end(e.ctr1_lat, e.ctr1_lon, e.end1, e.turn1, lat, lon) && short3
                     : faces(gc_bearing(legs_lat[i], legs_lon[i], lat, lon), e.seg2_crs) && short3;
    if (on_straight) {
      const float s = line_measure(lat, lon, e.s2_end_lat, e.s2_end_lon, e.seg2_crs);
      return found(312, s, s + e.seg3_arc + len);
    }
    return before_entry(333, e.seg1_arc + e.seg2_dist + e.seg3_arc + len);
  }

  if (phase >= 14.0f && phase <= 16.0f) {
    if (on_seg1) {
      const float s = arc_measure(lat, lon, e.ctr1_lat, e.ctr1_lon, e.r1, e.end1, e.turn1);
      return found(314, s, s + e.seg2_dist + e.seg3_arc + len);
    }
    if (on_seg3) {
      const float s = arc_measure(lat, lon, e.ctr3_lat, e.ctr3_lon, e.r3, e.end3, e.turn3);
      return found(316, s, s + len);
    }
    if (past_end(e.ctr1_lat, e.ctr1_lon, e.end1, e.turn1, lat, lon) &&
        short_of_start(e.ctr3_lat, e.ctr3_lon, e.start3, e.turn3, lat, lon)) {
      const float s = line_measure(lat, lon, e.s2_end_lat, e.s2_end_lon, e.seg2_crs);
      return found(315, s, s + e.seg3_arc + len);
    }
    return before_entry(332, e.seg1_arc + e.seg2_dist + e.seg3_arc + len);
  }
  return 0;
}

int32_t path_position_pi(int32_t leg, int32_t prev, double lat, double lon) {
  nav_result.spare1 = 0.0;
  nav_result.spare2 = 0.0;
  if (leg < 0 || leg > 255) return 0;
  const int32_t i = leg;
  const int32_t p = prev;
  const ProcTurnArrays& t = proc_turn;
  const float c_pt = t.pi_crs_true[i];
  const bool left_pt = proc_turn_is_left(legs_rad_turn[i]);
  const float d1 = left_pt ? 3.0f : 2.0f;
  const float d2 = left_pt ? 2.0f : 3.0f;
  const bool l1 = is_left(d1);
  const bool l2 = is_left(d2);
  const float c_in = mod360_nonneg(c_pt + (left_pt ? 135.0f : 225.0f));
  const float c_out = mod360_nonneg(c_in + 180.0f);
  const float r = t.pi_radius[i];
  const float hdg = true_heading();
  const bool h_out = faces(c_out, hdg);
  const bool h_pt = faces(c_pt, hdg);
  const double fix_lat = legs_lat[i];
  const double fix_lon = legs_lon[i];
  // Piece lengths: the 45-degree turn, the procedure-course straight, the
  // 180-degree turn, the straight back, the final straight.
  const float arc_turn = t.pi_arc1[i];
  const float len_leg2 = t.pi_leg2_dist[i];
  const float arc_180 = t.pi_arc2[i];
  const float len_return = t.pi_fg_dist[i];
  const float len_inbound = t.pi_last_dist[i];
  const float rad_a = t.pi_crs_a[i];
  const float rad_b = t.pi_crs_b[i];
  const float rad_c = t.pi_crs_c[i];
  const double c1_lat = t.pi_p2_lat[i], c1_lon = t.pi_p2_lon[i];
  const double c2_lat = t.pi_p5_lat[i], c2_lon = t.pi_p5_lon[i];
  const double c3_lat = t.pi_x_lat[i], c3_lon = t.pi_x_lon[i];
  const float fly_by = at(legs_radii_radius, p);
  const auto brg = [lat, lon](double from_lat, double from_lon) { return gc_bearing(from_lat, from_lon, lat, lon); };

  // 51: outbound from the fix (or from the fly-by turn's centre).
  {
    const double ref_lat = fly_by == 0.0f ? fix_lat : at(legs_seg1_ctr_lat, p);
    const double ref_lon = fly_by == 0.0f ? fix_lon : at(legs_seg1_ctr_lon, p);
    if (h_out && faces(brg(ref_lat, ref_lon), c_out) && faces(brg(c1_lat, c1_lon), rad_a + (l1 ? 90.0f : 270.0f))) {
      const float s = line_measure(lat, lon, t.pi_p1_lat[i], t.pi_p1_lon[i], c_out);
      return found(51, s, s + 2.0f * arc_turn + len_leg2 + arc_180 + len_return + len_inbound);
    }
  }
  // 50: the fly-by turn at the fix.
  if (fly_by != 0.0f) {
    const double k_lat = at(legs_seg1_ctr_lat, p), k_lon = at(legs_seg1_ctr_lon, p);
    const float turn = at(legs_seg1_turn, p);
    if (passed_start(k_lat, k_lon, at(legs_seg1_start_angle, p), turn, lat, lon) &&
        before_end(k_lat, k_lon, at(legs_seg1_end_angle, p), turn, lat, lon)) {
      const float s = arc_measure(lat, lon, k_lat, k_lon, at(legs_seg1_radius, p), at(legs_seg1_end_angle, p), turn);
      return found(50, s, s + t.pi_lenght[i]);
    }
  }
  // 52: the first turn.
  if (h_out && passed_start(c1_lat, c1_lon, rad_a, d1, lat, lon) && before_end(c1_lat, c1_lon, rad_b, d1, lat, lon)) {
    const float s = arc_measure(lat, lon, c1_lat, c1_lon, r, rad_b, d1);
    return found(52, s, s + len_leg2 + arc_180 + len_return + arc_turn + len_inbound);
  }
  // 53: the straight on the procedure course.
  if (h_pt && faces(brg(c1_lat, c1_lon), rad_b + (l1 ? 270.0f : 90.0f)) &&
      faces(brg(c2_lat, c2_lon), rad_c + (l2 ? 90.0f : 270.0f))) {
    const float s = line_measure(lat, lon, t.pi_p4_lat[i], t.pi_p4_lon[i], c_pt);
    return found(53, s, s + arc_180 + len_return + arc_turn + len_inbound);
  }
  // 54: the 180-degree turn.
  if (passed_start(c2_lat, c2_lon, rad_c, d2, lat, lon) && before_end(c2_lat, c2_lon, rad_b, d2, lat, lon)) {
    const float s = arc_measure(lat, lon, c2_lat, c2_lon, r, rad_b, d2);
    return found(54, s, s + len_return + arc_turn + len_inbound);
  }
  // 55: the straight back.
  if (!h_pt && faces(brg(c2_lat, c2_lon), rad_b + (l2 ? 270.0f : 90.0f)) &&
      faces(brg(c3_lat, c3_lon), rad_b + (l2 ? 90.0f : 270.0f))) {
    const float s = line_measure(lat, lon, t.pi_p7_lat[i], t.pi_p7_lon[i], mod360_nonneg(c_pt + 180.0f));
    return found(55, s, s + arc_turn + len_inbound);
  }
  // 56: the final turn.
  if (passed_start(c3_lat, c3_lon, rad_b, d2, lat, lon) && before_end(c3_lat, c3_lon, rad_a, d2, lat, lon)) {
    const float s = arc_measure(lat, lon, c3_lat, c3_lon, r, rad_a, d2);
    return found(56, s, s + len_inbound);
  }
  // 57: inbound to the fix.
  if (!h_out && faces(brg(c3_lat, c3_lon), rad_a + (l2 ? 270.0f : 90.0f)) && faces(brg(fix_lat, fix_lon), c_out)) {
    const float s = line_measure(lat, lon, fix_lat, fix_lon, c_in);
    return found(57, s, s);
  }
  // 58: not yet at the fix.
  if (faces(brg(fix_lat, fix_lon), c_in)) {
    const float s = line_measure(lat, lon, fix_lat, fix_lon, c_out);
    return found(58, s, s + t.pi_lenght[i]);
  }
  return 0;
}
