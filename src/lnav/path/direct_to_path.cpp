// Direct-to path: the turn from the present position and heading onto the
// tangent course to the direct-to waypoint (the direct-to form of the path
// builder), the bypass of a waypoint that lies inside that turn, the same
// first turn for the scripts' display routes of the two sides, and the turn
// of an active direct-to from the present position and heading.
//
// Reads the direct-to start (position, initial course), the leg table and
// route strings, the host's ground speed, heading, variation, altitude and
// position, the scripts' route selection and display routes. Writes the
// direct-to path, the direct-to leg's DF courses and true distance, the
// scripts' "intdir_trk2" and "intdir_*_mod" values, and the present-position
// direct-to turn (direct_to_turn_path).
#include <cmath>

#include "core/binding.h"
#include "core/host_io.h"
#include "lnav/route/hold_geometry.h"
#include "core/preprocess_values.h"
#include "core/units.h"
#include "lnav/route/route_intake.h"
#include "lnav/route/fms_legs.h"
#include "lnav/guidance_steps.h"
#include "lnav/path/leg_path.h"
#include "lnav/path/leg_path_internal.h"
#include "lnav/route/route_state.h"
#include "navdata/geodesy.h"
#include "lnav/route/route_geometry.h"
#include "platform/xplm.h"

DirectTurnMod direct_turn_mod;

using namespace legpath;

namespace {

constexpr float kDirectBankDeg = 22.0f;  // bank of the direct-to's first turn

// The construction's points and steps (lnav/path/leg_path_internal.h).
using legpath::Pt;
using legpath::brg;
using legpath::dest;
using legpath::dist;
using legpath::wpt;


// Of the two tangent points from the turn circle, the one whose flown course
// points most nearly at the target; a tie takes the second.
struct Tangent {
  Pt point;
  float course;
};
Tangent pick_tangent(Pt K, Pt W, bool left) {
  const Pt T1{two_point_result.lat1, two_point_result.lon1};
  const Pt T2{two_point_result.lat2, two_point_result.lon2};
  const double off = left ? 270.0 : 90.0;
  const float t1 = angle::wrap360_d(static_cast<double>(brg(K, T1)) + off);
  const float t2 = angle::wrap360_d(static_cast<double>(brg(K, T2)) + off);
  const float c1 = brg(T1, W), c2 = brg(T2, W);
  const float e1 = std::fabs(angle::wrap180_d(static_cast<double>(t1) - c1));
  const float e2 = std::fabs(angle::wrap180_d(static_cast<double>(t2) - c2));
  return e2 > e1 ? Tangent{T1, c1} : Tangent{T2, c2};
}

// The first turn from S on course C0 toward W, d (W's bearing off C0) giving
// the side: its centre at radius R abeam S, and the tangent course when W
// lies outside the circle.
struct FirstTurn {
  bool left;
  Pt centre;
  bool found;
  Tangent tangent;
};
FirstTurn first_turn(Pt S, float C0, float d, float R, Pt W) {
  FirstTurn t{};
  t.left = d < 0.0f;
  t.centre = dest(S, t.left ? angle::wrap360_d(C0 + 270.0) : angle::wrap360_d(C0 + 90.0), R);
  t.found = circle_tangent_points(t.centre.lat, t.centre.lon, R, W.lat, W.lon) != 0;
  if (t.found) t.tangent = pick_tangent(t.centre, W, t.left);
  return t;
}

// Straight from the start to the waypoint.
void straight_to(int32_t i, Pt S, Pt W, float C0, float B) {
  dir_seg_remain_dist = dist(S, W);
  legs_df_crs[i] = B;
  legs_df_crs_fin[i] = angle::wrap360_d(static_cast<double>(brg(W, S)) + 180.0);
  trace(99999.0f, "Direct to WPT %d <%s>: Init crs: %f, Target crs:%f\n", i + 1, wpt_id(i + 1).text,
        static_cast<double>(C0), static_cast<double>(B));
}

// The turn-then-tangent path from S onto the course to W.
void tangent_turn(int32_t i, Pt S, const FirstTurn& ft, float R, float C0) {
  const Pt W = wpt(i);
  const Pt K = ft.centre;
  const bool left = ft.left;
  const Tangent& t = ft.tangent;
  const float side = left ? 2.0f : 3.0f;
  legs_df_crs[i] = t.course;
  legs_df_crs_fin[i] = angle::wrap360_d(static_cast<double>(brg(W, t.point)) + 180.0);
  dir_seg1_dta = 0.0f;
  dir_seg1_ctr_lat = static_cast<float>(K.lat);
  dir_seg1_ctr_lon = static_cast<float>(K.lon);
  dir_seg1_radius = R;
  dir_seg1_turn = side;
  // The radials to the turn's ends as seen from its centre (the meridians
  // converge across the radius near a pole).
  dir_seg1_start_angle = brg(K, S);
  dir_seg1_end_angle = brg(K, t.point);
  dir_seg1_start_lat = static_cast<float>(S.lat);
  dir_seg1_start_lon = static_cast<float>(S.lon);
  dir_seg1_end_lat = static_cast<float>(t.point.lat);
  dir_seg1_end_lon = static_cast<float>(t.point.lon);
  dir_seg1_arc_lenght = arc_length(R, course_diff_dir(dir_seg1_start_angle, dir_seg1_end_angle, left ? kTurnLeft : kTurnRight));
  dir_seg_remain_dist = dist(t.point, W);
  dir_wpt_angle = dir_seg1_start_angle;
  dir_wpt_arc_dist = 0.0f;
  legs_bypass[i] = 0.0f;
  if (tracing(99999.0f)) {
    trace(99999.0f, "Direct to WPT %d <%s>: Act crs: %f, Next crs:%f\n", i, wpt_id(i).text, static_cast<double>(C0),
          static_cast<double>(t.course));
    trace(99999.0f, "- dir_seg1_start_angle: %f, dir_seg1_end_angle:%f\n", static_cast<double>(dir_seg1_start_angle),
          static_cast<double>(dir_seg1_end_angle));
    trace(99999.0f, "- dir_seg1_radius: %f, dir_seg1_turn:%f\n", static_cast<double>(dir_seg1_radius),
          static_cast<double>(dir_seg1_turn));
    trace(99999.0f, "- dir_seg1_arc_lenght: %f, dir_seg_remain_dist:%f\n", static_cast<double>(dir_seg1_arc_lenght),
          static_cast<double>(dir_seg_remain_dist));
  }
  reset_leg_path(i, 0);
}

void copy_turn_to_direct() {
  const TurnCenterResult& r = turn_center_result;
  const auto f = [](double v) { return static_cast<float>(v); };
  dir_seg1_dta = r.seg1_dta;
  dir_seg1_ctr_lat = f(r.seg1_ctr_lat);
  dir_seg1_ctr_lon = f(r.seg1_ctr_lon);
  dir_seg1_radius = r.seg1_radius;
  dir_seg1_turn = static_cast<float>(r.seg1_turn);
  dir_seg1_start_angle = r.seg1_start_angle;
  dir_seg1_end_angle = r.seg1_end_angle;
  dir_seg1_start_lat = f(r.seg1_start_lat);
  dir_seg1_start_lon = f(r.seg1_start_lon);
  dir_seg1_end_lat = f(r.seg1_end_lat);
  dir_seg1_end_lon = f(r.seg1_end_lon);
  dir_seg1_arc_lenght = r.seg1_arc_lenght;
  dir_seg2_distance = r.seg2_distance;
  dir_seg2_crs_true = r.seg2_crs_true;
  dir_seg2_end_lat = f(r.seg2_end_lat);
  dir_seg2_end_lon = f(r.seg2_end_lon);
  dir_seg3_ctr_lat = f(r.seg3_ctr_lat);
  dir_seg3_ctr_lon = f(r.seg3_ctr_lon);
  dir_seg3_radius = r.seg1_radius;
  dir_seg3_turn = static_cast<float>(r.seg3_turn);
  dir_seg3_start_angle = r.seg3_start_angle;
  dir_seg3_end_angle = r.seg3_end_angle;
  dir_seg3_end_lat = f(r.seg3_end_lat);
  dir_seg3_end_lon = f(r.seg3_end_lon);
  dir_seg3_arc_lenght = r.seg3_arc_lenght;
  dir_seg_remain_dist = r.seg_remain_dist;
}

bool search_stops(int32_t j) {
  return pt_is_arc(j) || pt_is_arc(j + 1) || id_is_gap(j) || id_is_gap(j + 1) || pt_is(j, "VM") || pt_is_hold(j) ||
         pt_is_hold(j + 1) || pt_is(j, "PI") || pt_is(j + 1, "PI");
}

// W lies inside the first turn: pass it by and join the first later waypoint
// a turn from the start can reach, at most three further waypoints deep.
int32_t bypass_from_start(int32_t i, Pt S, float C0, float R0, int32_t side) {
  const Pt W = wpt(i);
  dir_seg1_start_lat = static_cast<float>(S.lat);
  dir_seg1_start_lon = static_cast<float>(S.lon);
  dir_seg_remain_dist = dist(S, W);
  dir_seg1_arc_lenght = dir_wpt_angle = dir_wpt_arc_dist = 0.0f;
  const float kept_df = legs_df_crs[i];
  const float kept_fin = legs_df_crs_fin[i];
  reset_leg_path(i, 0);
  legs_bypass[i] = 1.0f;
  legs_df_crs[i] = legs_df_crs_fin[i] = -1.0f;

  int cause = 0;  // 1 a leg that cannot be passed by, 2 too deep, 0 ran out of route
  int32_t n = 0;
  int32_t j = i;
  const int32_t last = last_entry();
  while (static_cast<float>(j) < fms_seq.legs_num - 1.0f && j + 1 <= last) {
    if (search_stops(j)) {
      cause = 1;
      break;
    }
    if (n > 3) {
      cause = 2;
      break;
    }
    if (j >= 1) {
      reset_leg_path(j - 1, 0);
      legs_seg_remain_dist[j - 1] = legs_dist[j];
      clear_arc_split(j - 1);
    }
    legs_bypass[j] = 1.0f;
    legs_df_crs[j] = legs_df_crs_fin[j] = -1.0f;
    trace(99999.0f, "WPT %d <%s>: Bypass for WPT %d <%s> (6)\n", i, wpt_id(i).text, j, wpt_id(j).text);
    // A climb below its altitude passes the direct after it over too, as
    // in the route's own bypass: the direct is taken up where the climb ends.
    if (pt_is(j + 1, "DF") && climb_below_altitude(j)) {
      ++j;
      ++n;
      reset_leg_path(j, 0);
      continue;
    }
    float cn = magvar_course_alt(j);
    // A track's course carried from its start to S, the turn built in S's
    // own frame (as in the route's own bypass).
    const bool carried_course = pt_is(j + 1, "TF");
    if (carried_course) cn = course_carried_to(S, wpt(j), cn);
    float rel = wrap179(static_cast<double>(cn) - C0);
    const float calc_turn_crs = angle::wrap180_d(static_cast<double>(brg(S, wpt(j + 1))) - C0);
    const char* change = "NO";
    if (legs_rad_turn[i + 1] == -1.0f &&
        (pt_is(j + 1, "DF") || std::fabs(calc_turn_crs) <= 90.0f || (side == 2 && rel > 0.0f && rel <= 90.0f) ||
         (side == 3 && rel < 0.0f && rel >= -90.0f))) {
      side = calc_turn_crs < 0.0f ? kTurnLeft : kTurnRight;
      change = "YES";
    }
    float radius = R0;
    if (legs_type[i] == 5.0f || legs_type[i + 1] == 6.0f || pt_is(i + 1, "DF")) radius = R0 * 1.1f;
    Pt tp{};
    // A direct's course is the one the turn first points at its fix on, not
    // the one kept from the last pass's turn.
    if (pt_is(j + 1, "DF") &&
        turn_tangent_to_fix(dest(S, c360(C0 + (side == kTurnLeft ? 270.0 : 90.0)), radius), radius, side == kTurnLeft,
                            wpt(j + 1), tp)) {
      cn = brg(tp, wpt(j + 1));
      rel = wrap179(static_cast<double>(cn) - C0);
    }
    const bool opposite = side == 2 ? rel > 0.0f : rel < 0.0f;
    if (tracing(99999.0f)) {
      trace(99999.0f, "WPT %d <%s> -> <%s> <<%s>>  Calc mode 2 after bypass\n", i, wpt_id(i).text,
            wpt_id(j + 1).text, path_type(j + 1).text);
      trace(99999.0f, "Change turn %s - calc_turn_crs:%f, xnext_rel_brg:%f\n", change,
            static_cast<double>(calc_turn_crs), static_cast<double>(rel));
    }
    const Pt N = wpt(j + 1);
    int32_t built;
    {
      const OwnFrameTurns frame(carried_course);
      built = calc_turn_center(S.lat, S.lon, C0, N.lat, N.lon, cn, 0.0f, radius, side, 2, i, opposite);
    }
    if (built == 0) {
      copy_turn_to_direct();
      const int32_t k = j + 1;
      legs_bypass[k] = 0.0f;
      legs_df_crs[k] = legs_df_crs_fin[k] = -1.0f;
      if (pt_is(k, "DF") || prev_pt_is(k, "DF")) {
        Pt P = S;
        const int32_t segs = dir_seg_count();
        if (segs == 1) {
          P = {dir_seg1_end_lat, dir_seg1_end_lon};
        } else if (segs == 2 || segs == 3) {
          P = {dir_seg3_end_lat, dir_seg3_end_lon};
        }
        legs_df_crs[k] = brg(P, wpt(k));
        legs_df_crs_fin[k] = angle::wrap360_d(static_cast<double>(brg(wpt(k), P)) + 180.0);
      }
      if (dir_seg1_radius > 0.0f) {
        dir_seg1_arc_lenght = arc_length(
            dir_seg1_radius,
            course_diff_dir(dir_seg1_start_angle, dir_seg1_end_angle, static_cast<int32_t>(dir_seg1_turn)));
        dir_wpt_angle = dir_seg1_start_angle;
        dir_wpt_arc_dist = 0.0f;
      }
      if (tracing(99999.0f)) {
        trace(99999.0f, "WPT %d <%s>: Direct To - Connected to WPT %d <%s>  (6) - mode2\n", i, wpt_id(i).text, k,
              wpt_id(k).text);
        trace(99999.0f, "\n");
      }
      reset_leg_path(k, 0);
      return k;
    }
    ++j;
    ++n;
    reset_leg_path(j, 0);
  }

  // No connection: W stays behind the straight from the start, and leg W
  // flies on to the next waypoint as before.
  reset_leg_path(i, 0);
  legs_seg1_start_lat[i] = legs_lat[i];
  legs_seg1_start_lon[i] = legs_lon[i];
  legs_seg_remain_dist[i] = legs_dist[i + 1];
  legs_bypass[i + 1] = 0.0f;
  legs_df_crs[i + 1] = kept_df;
  legs_df_crs_fin[i + 1] = kept_fin;
  clear_arc_split(i);
  if (cause == 2) {
    trace(99999.0f, "WPT %d: Bypass canceled for WPT %d (5)- too much bypass\n", i, i + 1);
  } else if (cause == 1) {
    trace(99999.0f, "WPT %d: Bypass cancel for WPT %d (6)\n", i, i + 1);
  }
  return i + 1;
}

}  // namespace

namespace legpath {

int32_t direct_to_stage(int32_t i) {
  // The direct-to leg reads slot i + 1.
  if (!leg_slot_ok(i) || i + 1 > 255) return i + 1;
  const Pt S{dir_start_lat, dir_start_lon};
  const Pt W = wpt(i);
  const float C0 = dir_init_crs;
  const float B = brg(S, W);
  const float d = angle::wrap180_d(static_cast<double>(B) - C0);
  int32_t result = i;

  if (route_change_values.intdir_crs != -1.0f) {
    // An intercept course: the leg is flown on it, not turned onto.
    dir_seg_remain_dist = 700.0f;
    legs_df_crs[i] = legs_df_crs_fin[i] =
        angle::wrap360_d(static_cast<double>(route_change_values.intdir_crs) - frame_flight_data.mag_var_deg);
  } else if (std::fabs(d) < 5.0f) {
    straight_to(i, S, W, C0, B);
  } else {
    const float gs_kt = host_mirror.sim_flightmodel_position_groundspeed * kt_per_mps;
    const float R0 = turn_radius_nm(kDirectBankDeg, gs_kt);
    const float R = R0 * 1.1f;
    const FirstTurn ft = first_turn(S, C0, d, R, W);
    if (ft.found) {
      tangent_turn(i, S, ft, R, C0);
    } else if (static_cast<float>(i - 1) == fms_seq.legs_num - 2.0f) {
      straight_to(i, S, W, C0, B);
    } else {
      result = bypass_from_start(i, S, C0, R0, ft.left ? kTurnLeft : kTurnRight);
    }
  }

  legs_dist_true[i] = i >= 1 ? dist(wpt(i - 1), W) : 0.0f;
  if (leg_slot_ok(result)) {
    legs_dist_true[result] = dir_seg1_arc_lenght - dir_wpt_arc_dist + dir_seg2_distance + dir_seg3_arc_lenght +
                             dir_seg_remain_dist + legs_af_arc_dist[result] + legs_wpt_arc_dist[result] +
                             proc_turn.pi_lenght[result];
  }
  return result;
}

}  // namespace legpath

// ---- the first turn of the display routes' direct-to ------------------------------------------

void intdir_turn() {
  DirectTurnMod& t = direct_turn_mod;
  const bool same_route = fms_copies.intdir_rte == mirror_f(bound::zuvadud_D738_fms_rte12_act);
  int32_t table = -1;
  if (same_route) {
    if (active_route_side == 0) table = 0;
    if (active_route_side == 1) table = 1;
  } else {
    table = active_route_side == 0 ? 1 : 0;
  }

  if (table >= 0) {
    display_route_mod_sel = static_cast<float>(table);
    const DisplayRoute& rt = display_routes[table];
    const float idx = (table == 0 ? fms_copies.vnav_idx_mod : fms_copies.vnav_idx_mod3) - 1.0f;
    // Index and count come from the scripts: anything outside the table is
    // no waypoint at all.
    const int32_t m = (idx >= -1.0f && idx < 256.0f) ? static_cast<int32_t>(idx) : -1;
    const float count = rt.count;
    const bool valid = m >= 1 && count > 0.0f && static_cast<float>(m) < count;
    float course = -1.0f;
    t.radius = 0.0f;
    const HostMirror& h = host_mirror;
    if (on_ground != 0) {
      if (m > 0 && m < 256) course = gc_bearing(rt.lat[m - 1], rt.lon[m - 1], rt.lat[m], rt.lon[m]);
    } else if (fms_seq.intdir == 1.0f && valid) {
      const Pt A{h.sim_flightmodel_position_latitude, h.sim_flightmodel_position_longitude};
      const Pt M{rt.lat[m], rt.lon[m]};
      const float H = angle::wrap360_d(static_cast<double>(h.sim_cockpit2_gauges_indicators_heading_AHARS_deg_mag_pilot) -
                              frame_flight_data.mag_var_deg);
      const float rel = angle::wrap180_d(static_cast<double>(brg(A, M)) - H);
      t.turn = static_cast<float>(kTurnLeft);
      intdir_end_lat_mod = static_cast<float>(A.lat);
      intdir_end_lon_mod = static_cast<float>(A.lon);
      const float gs = h.sim_flightmodel_position_groundspeed;
      if (gs > 0.0f && std::fabs(rel) > 5.0f) {
        const bool right = rel > 0.0f;
        t.turn = right ? 3.0f : 2.0f;
        const float bank = h.sim_cockpit2_gauges_indicators_altitude_ft_pilot <= 18800.0f ? 20.0f : 10.0f;
        const float R = turn_radius_nm(bank, gs * kt_per_mps) * 1.1f;
        const Pt K = dest(A, angle::wrap360_d(H + (right ? 90.0 : 270.0)), R);
        t.ctr_lat = static_cast<float>(K.lat);
        t.ctr_lon = static_cast<float>(K.lon);
        if (circle_tangent_points(K.lat, K.lon, R, M.lat, M.lon) != 0) {
          const Tangent tg = pick_tangent(K, M, !right);
          course = tg.course;
          t.radius = R;
          const Pt E = dest(K, angle::wrap360_d(tg.course + (right ? 270.0 : 90.0)), R);
          intdir_end_lat_mod = static_cast<float>(E.lat);
          intdir_end_lon_mod = static_cast<float>(E.lon);
        }
      }
    }
    t.track = course;
    script_set_f(bound::zuvadud_D738_fms_intdir_trk2, course);
    if (!valid) t.radius = 0.0f;
  }

  const struct {
    bound::Id id;
    float value;
  } writes[] = {
      {bound::zuvadud_D738_fms_intdir_radius_mod, t.radius},
      {bound::zuvadud_D738_fms_intdir_rad_lat_mod, t.ctr_lat},
      {bound::zuvadud_D738_fms_intdir_rad_lon_mod, t.ctr_lon},
      {bound::zuvadud_D738_fms_intdir_turn_mod, t.turn},
      {bound::zuvadud_D738_fms_intdir_end_lat_mod, intdir_end_lat_mod},
      {bound::zuvadud_D738_fms_intdir_end_lon_mod, intdir_end_lon_mod},
  };
  for (const auto& w : writes) script_set_f(w.id, w.value);
}

// ---- the direct-to's turn from the present position --------------------------------------------

void calc_direct_turn_path() {
  DirectToTurnPath& p = direct_to_turn_path;
  const float idx = fms_seq.vnav_idx - 1.0f;
  // The active waypoint comes from the scripts: outside the table there is
  // no waypoint to turn to.
  const int32_t m = (idx >= 0.0f && idx < 256.0f) ? static_cast<int32_t>(idx) : -1;
  p = DirectToTurnPath{};
  if (!(fms_seq.intdir_act == 3.0f && fms_seq.vnav_idx > 1.0f) || !leg_slot_ok(m)) {
    p.final_crs = -1.0f;
    return;
  }
  const HostMirror& h = host_mirror;
  const Pt S{h.sim_flightmodel_position_latitude, h.sim_flightmodel_position_longitude};
  const Pt W = wpt(m);
  const float C0 = angle::wrap360_d(static_cast<double>(h.sim_cockpit2_gauges_indicators_heading_AHARS_deg_mag_pilot) -
                           frame_flight_data.mag_var_deg);
  const float B = brg(S, W);
  const float d = angle::wrap180_d(static_cast<double>(B) - C0);
  p.final_crs = B;
  // Nearly ahead: the course straight to the waypoint, no turn.
  if (std::fabs(d) < 5.0f) return;
  const float R = turn_radius_nm(kDirectBankDeg, h.sim_flightmodel_position_groundspeed * kt_per_mps) * 1.1f;
  const FirstTurn ft = first_turn(S, C0, d, R, W);
  // Inside the turn: no tangent, the straight course stands.
  if (!ft.found) return;
  const float side = ft.left ? 2.0f : 3.0f;
  const double radial = ft.left ? 90.0 : 270.0;
  const float start_angle = angle::wrap360_d(C0 + radial);
  const float end_angle = angle::wrap360_d(ft.tangent.course + radial);
  p.ctr_lat = static_cast<float>(ft.centre.lat);
  p.ctr_lon = static_cast<float>(ft.centre.lon);
  p.radius_nm = R;
  p.turn = side;
  p.end_lat = static_cast<float>(ft.tangent.point.lat);
  p.end_lon = static_cast<float>(ft.tangent.point.lon);
  p.arc_nm = arc_length(R, course_diff_dir(start_angle, end_angle, ft.left ? kTurnLeft : kTurnRight));
  p.final_crs = ft.tangent.course;
  p.valid = 1;
}
