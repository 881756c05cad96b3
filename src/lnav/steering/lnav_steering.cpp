// LNAV steering: the piece of path flown per navigation mode, hold phase and
// procedure-turn phase, the commands sent through the last-sent cache, the
// GLS/LPV and final-approach-course intercepts, the active leg's great-circle
// cross-track and the lateral offset's entry and exit.
//
// Reads the scripts' autopilot and FMS values (as they stand now), the frame copies of
// position, variation, heading, ground speed and the route values, the leg
// table, the computed leg path, the direct-to path, the hold and
// procedure-turn layout, the route tracking state and the sequencing state.
// Leg slots come from the sequencing values; a slot outside the 256-leg tables
// steers nothing from them.
#include "lnav/steering/lnav_steering.h"

#include <cmath>

#include "core/binding.h"
#include "core/host_io.h"
#include "core/own_aircraft.h"
#include "core/preprocess_values.h"
#include "lnav/route/route_intake.h"
#include "lnav/route/route_pass_steps.h"
#include "core/units.h"
#include "core/util.h"
#include "lnav/route/fms_legs.h"
#include "lnav/path/leg_path.h"
#include "lnav/path/path_position.h"
#include "lnav/route/route_state.h"
#include "lnav/route/route_tracking.h"
#include "lnav/steering/steering_helpers.h"
#include "navdata/air_data.h"
#include "navdata/geodesy.h"
#include "lnav/route/route_geometry.h"

LnavCommandCache lnav_cmd_cache;
uint8_t offset_pass_flag;

namespace {

constexpr double kEarthNm = 3440.064795;
constexpr float kTan22_5 = 0.4142136f;

LnavCommandCache& cache = lnav_cmd_cache;

// Through the cache: written only when it differs from the last value sent.
void send(bound::Id id, float& sent, float v) {
  if (sent != v) script_set_f(id, v);
  sent = v;
}
void send_corr(float v) { send(bound::zuvadud_D738_fms_idx_corr, cache.idx_corr_sent, v); }
void send_corr2(float v) { send(bound::zuvadud_D738_fms_idx_corr2, cache.idx_corr2_sent, v); }
void send_corr4(float v) { send(bound::zuvadud_D738_fms_idx_corr4, cache.idx_corr4_sent, v); }
void send_corr5(float v) { send(bound::zuvadud_D738_fms_idx_corr5, cache.idx_corr5_sent, v); }

// Intercept of a course the scripts give in magnetic degrees.
float intercept_course(float xtrack, float course, float bank, float gain, float max_angle) {
  const float angle = turn_radius_for_speed(xtrack, bank, gain, max_angle);
  return below_360(angle + course + frame_flight_data.mag_var_deg + 360.0f);
}


// Leg slot of a 1-based leg number: -1 for 0 (the direct-to path), -2 when
// it names no slot at all.
int32_t path_slot_of(float number) {
  if (!(number >= 0.0f && number < 257.0f)) return -2;
  return static_cast<int32_t>(number - 1.0f);
}

// ---- the two steering procedures -------------------------------------------------

constexpr int32_t kNoOffset = -1;

// `offset_nm`: as for an arc below, a straight laid beside the route.
void steer_straight(double p_lat, double p_lon, float course_true, int32_t offset_leg, float offset_nm = 0.0f) {
  track_errors(ac_lat(), ac_lon(), p_lat, p_lon, course_true);
  // The track to hold is the line's own course abeam the aircraft, not the
  // one it has at p: near a pole the two part by the meridians' convergence,
  // tens of degrees within a few miles.
  const float course_here = gc_course_at(p_lat, course_true, -static_cast<double>(nav_result.along_track));
  nav_result.cross_track += offset_nm;
  if (offset_leg != kNoOffset) lnav_offset_helper(offset_leg);
  const float cmd = lnav_intercept_hdg(course_here, nav_result.cross_track, cache.track_cmd_prev, 0);
  send_corr(cmd);
  cache.track_cmd_prev = cmd;
}

// `offset_nm`: the circle is the offset path's own, that far beside the
// route; its cross-track is told as the route's, which the offset then takes
// off again.
void steer_arc(double c_lat, double c_lon, float radius, float turn, int32_t offset_leg, float offset_nm = 0.0f) {
  arc_errors(ac_lat(), ac_lon(), c_lat, c_lon, radius, 0.0f, static_cast<int>(turn));
  nav_result.cross_track += offset_nm;
  const float c = std::fmod(nav_result.course + frame_flight_data.mag_var_deg + 360.0f, 360.0f);
  if (offset_leg != kNoOffset) lnav_offset_helper(offset_leg);
  const float cmd = arc_steer(c, nav_result.cross_track, radius, turn, cache.track_cmd_prev, 0);
  send_corr2(cmd);
  cache.track_cmd_prev = cmd;
  send_corr4(0.0f);
  send_corr(0.0f);
}

void entry_arc(int32_t k, int32_t offset_leg) {
  double c_lat = legs_seg1_ctr_lat[k];
  double c_lon = legs_seg1_ctr_lon[k];
  float offset = 0.0f;
  // An offset inside the turn is flown on its own fly-by circle.
  if (offset_leg == k) offset_turn_centre(k, c_lat, c_lon, offset);
  steer_arc(c_lat, c_lon, legs_seg1_radius[k], legs_seg1_turn[k], offset_leg, offset);
}
// A point of the straight or second arc of slot k's turn with a rejoin,
// moved where an offset inside the turn flies it; the offset to tell its
// cross-track as the route's, or 0 where the piece stays.
float moved_piece(int32_t k, double& lat, double& lon) {
  OffsetTurnShift shift{};
  if (!offset_turn_shift(k, shift) || !shift.whole) return 0.0f;
  offset_turn_move(shift, lat, lon);
  return shift.offset_nm;
}
void dir_entry_arc() { steer_arc(dir_seg1_ctr_lat, dir_seg1_ctr_lon, dir_seg1_radius, dir_seg1_turn, kNoOffset); }

// ---- great-circle cross-track of the active leg ---------------------------------

void active_leg_xtrack() {
  const FmsSequenceState& q = fms_seq;
  if (q.vnav_idx_seq == 0.0f || q.legs_num == 0.0f || q.vnav_idx_seq >= q.legs_num - 1.0f) return;
  const int32_t r = route_track.region;
  if (r == kRegionFirstArc || r == kRegionBetweenArcs || r == kRegionSecondArc || r == kRegionFlyByTurn || r == kRegionBeforeFirstArc) return;
  const int32_t a = path_slot_of(q.vnav_idx_seq);
  if (!leg_slot_ok(a)) return;
  const int32_t b = a - 1;
  const RouteText& type = route_tables.leg_path_types[a];
  const bool tf = route_text_is(type, "TF") || route_text_is(type, "IF");
  const bool df = route_text_is(type, "DF");
  double s_lat = 0.0;
  double s_lon = 0.0;
  if ((tf || df) && q.vnav_idx_seq > 1.0f && q.intdir_act == 0.0f && leg_slot_ok(b)) {
    if (tf) {
      s_lat = legs_lat[b];
      s_lon = legs_lon[b];
    } else if (legs_seg3_end_lat[b] != 0.0f || legs_seg3_end_lon[b] != 0.0f) {
      s_lat = legs_seg3_end_lat[b];
      s_lon = legs_seg3_end_lon[b];
    } else if (legs_seg1_end_lat[b] != 0.0f || legs_seg1_end_lon[b] != 0.0f) {
      s_lat = legs_seg1_end_lat[b];
      s_lon = legs_seg1_end_lon[b];
    } else {
      s_lat = legs_seg1_start_lat[b];
      s_lon = legs_seg1_start_lon[b];
    }
  } else if (q.intdir_act == 2.0f && q.intdir_idx == q.vnav_idx && q.vnav_idx == q.vnav_idx_seq &&
             route_change_values.intdir_crs == -1.0f && legs_df_crs[a] >= 0.0f) {
    if (dir_seg3_end_lat != 0.0f || dir_seg3_end_lon != 0.0f) {
      s_lat = dir_seg3_end_lat;
      s_lon = dir_seg3_end_lon;
    } else if (dir_seg1_end_lat != 0.0f || dir_seg1_end_lon != 0.0f) {
      s_lat = dir_seg1_end_lat;
      s_lon = dir_seg1_end_lon;
    } else {
      s_lat = dir_seg1_start_lat;
      s_lon = dir_seg1_start_lon;
    }
  } else {
    return;
  }
  const double to_rad = pi_11dp / 180.0;
  const double th13 = gc_bearing(s_lat, s_lon, ac_lat(), ac_lon()) * to_rad;
  const double th12 = gc_bearing(s_lat, s_lon, legs_lat[a], legs_lon[a]) * to_rad;
  const double d13 = gc_distance_nm(s_lat, s_lon, ac_lat(), ac_lon()) / kEarthNm;
  const float xt = static_cast<float>(std::asin(std::sin(d13) * std::sin(th13 - th12)) * kEarthNm);
  route_track.xtrack = xt;
  script_set_f(bound::zuvadud_D738_fms_rt_xtrack, xt);
}

// ---- LNAV by navigation mode -----------------------------------------------------

// Where the transition from waypoint b onto the next leg ends: its second
// arc's end, else its first arc's; false without either.
bool transition_end(int32_t b, double& lat, double& lon) {
  if (legs_seg3_end_lat[b] != 0.0f || legs_seg3_end_lon[b] != 0.0f) {
    lat = legs_seg3_end_lat[b];
    lon = legs_seg3_end_lon[b];
    return true;
  }
  if (legs_seg1_end_lat[b] != 0.0f || legs_seg1_end_lon[b] != 0.0f) {
    lat = legs_seg1_end_lat[b];
    lon = legs_seg1_end_lon[b];
    return true;
  }
  return false;
}

// A climb leg (CA, VA, FA) below its altitude: it does not end there, so the
// turn at its end, laid before an end that moves on as the aircraft climbs,
// is not flown yet.
bool climb_end_held(int32_t a) {
  const RouteText& t = route_tables.leg_path_types[a];
  if (!(route_text_is(t, "CA") || route_text_is(t, "VA") || route_text_is(t, "FA"))) return false;
  return mirror_f(bound::sim_cockpit2_gauges_indicators_altitude_ft_pilot) < legs_alt_rest1[a];
}

// The held climb leg's course, from where the turn onto it ends (or its
// fix, without a turn).
void hold_climb_course(int32_t a) {
  const int32_t b = a - 1;
  double e_lat = 0.0;
  double e_lon = 0.0;
  if (!leg_slot_ok(b)) return;
  if (!transition_end(b, e_lat, e_lon)) {
    e_lat = legs_lat[b];
    e_lon = legs_lon[b];
  }
  steer_straight(e_lat, e_lon, magvar_course_alt(b), a);
}

void mode0_by_region(int32_t a) {
  const int32_t r = route_track.region;
  if (climb_end_held(a) && r != kRegionBeforeFirstArc) {
    hold_climb_course(a);
  } else if (r == kRegionFirstArc || r == kRegionBetweenArcs || r == kRegionSecondArc || r == kRegionFlyByTurn) {
    // The course the leg starts with holds where it starts, at the waypoint
    // before; the great circle is laid through that one when there is one.
    // A heading or course leg (its terminator "V..." or "C...") and a direct
    // leg start where the turn onto them ends, beside the waypoint after a
    // turn from it: their course is held from there (a direct's course laid
    // through the waypoint lies nm beside its path: a roll-out steered to it
    // turns on past the path, then back).
    // A leg passed over before it has no turn of its own: the turn flown
    // is the one laid at the waypoint before that, where the leg starts.
    const int32_t b = a - 1;
    const int32_t t = leg_slot_ok(b) && legs_bypass[b] != 0.0f ? prev_valid_leg(a) : b;
    const RouteText& type = route_tables.leg_path_types[a];
    const char first = type.text[0];
    double e_lat = 0.0;
    double e_lon = 0.0;
    if ((first == 'V' || first == 'C' || route_text_is(type, "DF")) && leg_slot_ok(t) &&
        transition_end(t, e_lat, e_lon)) {
      steer_straight(e_lat, e_lon, magvar_course_alt(b), a);
    } else if (leg_slot_ok(b) && (legs_lat[b] != 0.0f || legs_lon[b] != 0.0f)) {
      steer_straight(legs_lat[b], legs_lon[b], magvar_course_alt(b), a);
    } else {
      steer_straight(legs_lat[a], legs_lon[a], magvar_course_alt(b), a);
    }
  } else if (r == kRegionBeforeFirstArc) {
    const int32_t b = a - 1;
    if (!leg_slot_ok(b)) return;
    steer_straight(legs_lat[b], legs_lon[b], magvar_course(b), b);
  } else {
    nav_result.cross_track = route_track.xtrack;
    lnav_offset_helper(a);
    const float cmd =
        lnav_intercept_hdg(fms_copies.gps_track_degtm, nav_result.cross_track, cache.track_cmd_prev, 0);
    send_corr(cmd);
    cache.track_cmd_prev = cmd;
  }
}

void hold_steering(int32_t a) {
  const int32_t b = a - 1;
  const float inbound = hold_pattern.hold_crs_true[a];
  const float outbound = std::fmod(inbound + 180.0f, 360.0f);
  const int32_t phase = trunc_clamped(fms_seq.hold_phase, -1, 17);
  auto fix_turn = [&] {
    steer_arc(hold_pattern.hold_ctr1_lat[a], hold_pattern.hold_ctr1_lon[a], hold_pattern.hold_radius[a],
              legs_rad_turn[a], kNoOffset);
  };
  // Phases 4 and later fly the entry laid out with the leg before the hold.
  const bool need_b = phase >= 4 && phase != 5 && phase != 10;
  if (need_b && !leg_slot_ok(b)) return;
  switch (phase) {
    case 0: steer_straight(legs_lat[a], legs_lon[a], inbound, kNoOffset); break;
    case 1:
    case 10: fix_turn(); break;
    case 2:
    case 5:
      steer_straight(hold_pattern.hold_far_lat[a], hold_pattern.hold_far_lon[a], outbound, kNoOffset);
      break;
    case 3:
      steer_arc(hold_pattern.hold_ctr2_lat[a], hold_pattern.hold_ctr2_lon[a], hold_pattern.hold_radius[a],
                legs_rad_turn[a], kNoOffset);
      break;
    case 4:
    case 6:
    case 11:
    case 14: entry_arc(b, kNoOffset); break;
    case 7: steer_straight(legs_seg3_pt_lat[b], legs_seg3_pt_lon[b], outbound, kNoOffset); break;
    case 8:
    case 13:
    case 16:
      steer_arc(legs_seg3_ctr_lat[b], legs_seg3_ctr_lon[b], legs_seg3_radius[b], legs_seg3_turn[b], kNoOffset);
      break;
    case 9:
      steer_straight(legs_seg2_end_lat[b], legs_seg2_end_lon[b],
                     gc_bearing(legs_seg3_end_lat[b], legs_seg3_end_lon[b], legs_seg2_end_lat[b],
                                legs_seg2_end_lon[b]),
                     kNoOffset);
      break;
    case 12:
    case 15: steer_straight(legs_seg2_end_lat[b], legs_seg2_end_lon[b], legs_seg2_crs_true[b], kNoOffset); break;
    default: break;
  }
}

void procedure_turn_steering(int32_t a) {
  const ProcTurnArrays& pt = proc_turn;
  const float K = pt.pi_crs_true[a];
  const bool left = navmath::is_left_turn_f(legs_rad_turn[a]);
  const float first = left ? 3.0f : 2.0f;
  const float second = left ? 2.0f : 3.0f;
  const float R = std::fmod(K + (left ? 135.0f : 225.0f), 360.0f);
  const float r = pt.pi_radius[a];
  switch (trunc_clamped(fms_seq.pi_phase, -1, 9)) {
    case 0:
      if (leg_slot_ok(a - 1)) entry_arc(a - 1, kNoOffset);
      break;
    case 1: steer_straight(pt.pi_p1_lat[a], pt.pi_p1_lon[a], std::fmod(R + 180.0f, 360.0f), kNoOffset); break;
    case 2: steer_arc(pt.pi_p2_lat[a], pt.pi_p2_lon[a], r, first, kNoOffset); break;
    case 3: steer_straight(pt.pi_p4_lat[a], pt.pi_p4_lon[a], K, kNoOffset); break;
    case 4: steer_arc(pt.pi_p5_lat[a], pt.pi_p5_lon[a], r, second, kNoOffset); break;
    case 5: steer_straight(pt.pi_p7_lat[a], pt.pi_p7_lon[a], std::fmod(K + 180.0f, 360.0f), kNoOffset); break;
    case 6: steer_arc(pt.pi_x_lat[a], pt.pi_x_lon[a], r, second, kNoOffset); break;
    case 7: steer_straight(legs_lat[a], legs_lon[a], R, kNoOffset); break;
    default: break;
  }
}

void previous_leg_entry_arc(int32_t p) {
  if (p == -1) {
    dir_entry_arc();
  } else if (leg_slot_ok(p)) {
    entry_arc(p, p);
  }
}

// Past the last waypoint before a discontinuity there is no path to fly:
// the track the aircraft had there is held, wings level, until the crew
// closes the gap or flies direct (the sequencing does not move on either).
struct GapHold {
  bool on;
  float track_mag;  // degrees, the track held
};
GapHold gap_hold;

bool at_discontinuity(int32_t a) {
  return leg_slot_ok(a) && fms_seq.intdir_act == 0.0f && route_text_is(route_tables.waypoint_names[a], "DISCONTINUITY");
}

void hold_track_at_gap() {
  if (!gap_hold.on) {
    gap_hold.on = true;
    gap_hold.track_mag =
        std::fmod(mirror_f(bound::sim_flightmodel_position_hpath) + frame_flight_data.mag_var_deg + 360.0f, 360.0f);
    if (!(gap_hold.track_mag >= 0.0f && gap_hold.track_mag < 360.0f)) gap_hold.track_mag = 0.0f;
  }
  send_corr(gap_hold.track_mag);
  cache.track_cmd_prev = gap_hold.track_mag;
  send_corr2(0.0f);
  send_corr4(0.0f);
}

void lnav_engaged_steering() {
  const float mode = read_now_f(bound::zuvadud_D738_fms_nav_mode);
  const int32_t a = path_slot_of(fms_seq.vnav_idx_seq);
  const int32_t p = path_slot_of(fms_seq.vnav_idx_seq_prev);
  if (at_discontinuity(a)) {
    hold_track_at_gap();
    return;
  }
  gap_hold.on = false;
  if (mode == 0.0f) {
    if (leg_slot_ok(a)) mode0_by_region(a);
  } else if (mode == 3.0f) {
    if (leg_slot_ok(a)) hold_steering(a);
  } else if (mode == 4.0f) {
    const float radius = clamp_range(read_now_f(bound::zuvadud_D738_fms_radii_turn), 0.8f, 20.0f);
    const float cmd = arc_steer2(read_now_f(bound::zuvadud_D738_fms_gps_track2_degtm), fms_copies.xtrack, radius,
                                 read_now_f(bound::zuvadud_D738_fms_gps_track_turn),
                                 read_now_f(bound::zuvadud_D738_fms_gps_track_turn2), cache.track_cmd_prev, 0);
    send_corr2(cmd);
    cache.track_cmd_prev = cmd;
    send_corr4(0.0f);
    send_corr(0.0f);
  } else if (mode == 5.0f) {
    const int32_t r = route_track.region;
    if ((r == kRegionOwnTurn || r == kRegionTurnOffArc) && leg_slot_ok(a) && climb_end_held(a)) {
      hold_climb_course(a);
    } else if (r == kRegionOwnTurn || r == kRegionTurnOffArc) {
      if (direct_to_leg == a) {
        dir_entry_arc();
      } else if (leg_slot_ok(a)) {
        entry_arc(a, a);
      }
    } else {
      previous_leg_entry_arc(p);
    }
  } else if (mode == 6.0f) {
    if (p == -1) {
      steer_straight(dir_seg2_end_lat, dir_seg2_end_lon, dir_seg2_crs_true, kNoOffset);
    } else if (leg_slot_ok(p)) {
      double e_lat = legs_seg2_end_lat[p];
      double e_lon = legs_seg2_end_lon[p];
      const float offset = moved_piece(p, e_lat, e_lon);
      steer_straight(e_lat, e_lon, legs_seg2_crs_true[p], p, offset);
    }
  } else if (mode == 7.0f) {
    if (leg_slot_ok(a)) procedure_turn_steering(a);
  } else if (mode == 9.0f) {
    // The exit arc shares the transition's radius, held with the entry arc.
    if (p == -1) {
      steer_arc(dir_seg3_ctr_lat, dir_seg3_ctr_lon, dir_seg1_radius, dir_seg3_turn, kNoOffset);
    } else if (leg_slot_ok(p)) {
      double c_lat = legs_seg3_ctr_lat[p];
      double c_lon = legs_seg3_ctr_lon[p];
      const float offset = moved_piece(p, c_lat, c_lon);
      steer_arc(c_lat, c_lon, legs_seg1_radius[p], legs_seg3_turn[p], p, offset);
    }
  } else if (mode == 10.0f) {
    previous_leg_entry_arc(p);
  } else {
    // No path piece of our own: capture the scripts' track.
    const float v = intercept_course(fms_copies.xtrack, fms_copies.gps_track_degtm, 20.0f, 1.2f, 45.0f);
    send_corr(v);
    cache.track_cmd_prev = v;
    send_corr2(0.0f);
    send_corr4(0.0f);
  }
}

}  // namespace

void lnav_offset_helper(int32_t leg) {
  const float s = fms_seq.legs_offset_act;
  const RouteChangeValues& rc = route_change_values;
  const float L = static_cast<float>(leg);
  const float start = rc.legs_offset_start;
  const float end = rc.legs_offset_end;
  if (!(s >= 5.0f && s <= 7.0f) || start == 0.0f || end == 0.0f) return;

  float x = nav_result.cross_track;
  float offset = 0.0f;
  if (lateral_offset_at(leg, offset)) {
    x = clamp_range(x - offset, -999.0f, 999.0f);
    nav_result.cross_track = x;
  }

  // Bearing from an offset point to the aircraft against the leg's course:
  // within 90 degrees means the point lies behind.
  auto behind = [&](float pt_lat, float pt_lon) {
    const float A = (leg_slot_ok(leg) ? legs_brg_true[leg] : 0.0f) * 180.0f / pi_f;
    const float B = gc_bearing(pt_lat, pt_lon, ac_lat(), ac_lon());
    float D = std::fmod(A - B + 360.0f, 360.0f);
    if (D > 180.0f) D -= 360.0f;
    return D > -90.0f && D < 90.0f;
  };
  float new_state = s;
  if (L == end - 1.0f) {
    const float ex_lat = rc.offset_lat[2];
    const float ex_lon = rc.offset_lon[2];
    if (behind(ex_lat, ex_lon)) {
      new_state = 8.0f;
    } else {
      const float gs_kt = mirror_f(bound::sim_flightmodel_position_groundspeed) * kt_per_mps;
      if (turn_radius_nm(18.0f, gs_kt) * kTan22_5 > gc_distance_nm(ex_lat, ex_lon, ac_lat(), ac_lon()))
        new_state = 8.0f;
    }
  } else if ((s == 6.0f && L == start) || s == 5.0f) {
    if (behind(rc.offset_lat[1], rc.offset_lon[1]) || (x > -2.0f && x < 2.0f && offset_pass_flag != 0))
      new_state = 7.0f;
  } else if (s == 6.0f && L > start) {
    new_state = 7.0f;
  }
  if (new_state != s) {
    fms_seq.legs_offset_act = new_state;
    script_set_f(bound::zuvadud_D738_fms_legs_offset_act, new_state);
  }
  offset_pass_flag = 1;
}

void update_lnav_steering() {
  const float mag_hdg = mirror_f(bound::sim_cockpit2_gauges_indicators_heading_AHARS_deg_mag_pilot);

  // GLS or LPV approach course.
  if (read_now_f(bound::zuvadud_D738_nav_lpv_app_status) > 0.0f) {
    const float v = intercept_course(read_now_f(bound::zuvadud_D738_nav_gls_xtrack), read_now_f(bound::zuvadud_D738_nav_gls_crs),
                                     15.0f, 1.15f, 40.0f);
    script_set_f(bound::zuvadud_D738_nav_gls_corr, v);
    send_corr(0.0f);
    send_corr2(0.0f);
    send_corr4(0.0f);
    send_corr5(0.0f);
    cache.track_cmd_prev = mag_hdg;
  }

  active_leg_xtrack();

  const float fac_status = read_now_f(bound::zuvadud_D738_ap_fac_status);
  if (read_now_f(bound::zuvadud_D738_autopilot_lnav_engaged) == 1.0f) {
    lnav_engaged_steering();
  } else {
    gap_hold.on = false;
    cache.track_cmd_prev = mag_hdg;
    send_corr(0.0f);
    send_corr2(0.0f);
    send_corr4(0.0f);
    if (fac_status == 2.0f) {
      send_corr5(intercept_course(read_now_f(bound::zuvadud_D738_fms_fac_xtrack), read_now_f(bound::zuvadud_D738_fms_fac_trk),
                                  15.0f, 1.15f, 40.0f));
    }
  }

  // Final approach course capture, sent every frame while not yet active.
  if (fac_status < 2.0f) {
    const float fac_xtrack = read_now_f(bound::zuvadud_D738_fms_fac_xtrack);
    if (fac_xtrack > -2.5f && fac_xtrack < 2.5f) {
      script_set_f(bound::zuvadud_D738_fms_idx_corr5,
            intercept_course(fac_xtrack, read_now_f(bound::zuvadud_D738_fms_fac_trk), 15.0f, 1.15f, 40.0f));
    }
  }
}
