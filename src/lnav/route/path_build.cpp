// Direct-to take-over and path build of the route pass: takes the scripts'
// direct-to or intercept request, keeps the sequencing leg in step with the
// active leg, has the leg path builder compute the legs from
// path_start_leg, closes the destination entry and sums the distances to the
// destination, with the debug dumps of the path.
//
// Writes back to the scripts' "zuvadud/D738/fms/" values vnav_idx_seq,
// vnav_idx_seq_prev, intdir_act, intdir_crs, intdir_idx, nav_mode,
// hold_phase, hold_term, pi_phase and test (selector lowering), keeping the
// FmsSequenceState copies in step.
#include <cmath>
#include <cstdarg>
#include <cstdio>

#include "core/binding.h"
#include "core/host_io.h"
#include "core/frame_values.h"
#include "core/preprocess_values.h"
#include "lnav/path/path_position.h"
#include "lnav/route/route_geometry.h"
#include "lnav/route/route_intake.h"
#include "lnav/route/route_pass_steps.h"
#include "core/units.h"
#include "core/util.h"
#include "lnav/route/fms_legs.h"
#include "lnav/route/route_state.h"
#include "lnav/route/sequencing.h"
#include "lnav/steering/steering_helpers.h"
#include "navdata/geodesy.h"
#include "navdata/nav_math.h"

bool path_pass_ran;
RouteTakeIn route_take_in;

namespace {

using namespace bound;

#if defined(__GNUC__)
__attribute__((format(printf, 1, 2)))
#endif
void log_line(const char* fmt, ...) {
  char line[256];
  va_list args;
  va_start(args, fmt);
  std::vsnprintf(line, sizeof line, fmt, args);
  va_end(args);
  XPLMDebugString(line);
}



double aircraft_lat() { return host_mirror.sim_flightmodel_position_latitude; }
double aircraft_lon() { return host_mirror.sim_flightmodel_position_longitude; }

// Distance from the aircraft to waypoint i (0 for a leg outside the tables).
float distance_to(int32_t i) {
  if (!leg_slot_ok(i)) return 0.0f;
  return gc_distance_nm(aircraft_lat(), aircraft_lon(), legs_lat[i], legs_lon[i]);
}


void lower_selector() {
  fms_debug_selector = 0.0f;
  script_set_finite_f(zuvadud_D738_fms_test, 0.0f);
}

void publish_seq_prev() {
  fms_seq.vnav_idx_seq_prev = static_cast<float>(prev_valid_leg(leg_of(fms_seq.vnav_idx_seq)) + 1);
  script_set_finite_f(zuvadud_D738_fms_vnav_idx_seq_prev, fms_seq.vnav_idx_seq_prev);
}

void publish_modes() {
  script_set_finite_f(zuvadud_D738_fms_nav_mode, fms_seq.nav_mode);
  script_set_finite_f(zuvadud_D738_fms_hold_phase, fms_seq.hold_phase);
  script_set_finite_f(zuvadud_D738_fms_hold_term, fms_seq.hold_term);
  script_set_finite_f(zuvadud_D738_fms_pi_phase, fms_seq.pi_phase);
}

// Every scalar of the direct-to path but its start, initial heading and the
// straight's course.
void clear_direct_to_path() {
  float* const cleared[] = {
      &dir_seg1_ctr_lat,   &dir_seg1_ctr_lon,      &dir_seg1_radius,     &dir_seg1_turn,       &dir_seg1_start_angle,
      &dir_seg1_end_angle, &dir_seg3_ctr_lat,      &dir_seg3_ctr_lon,    &dir_seg3_radius,     &dir_seg3_turn,
      &dir_seg3_start_angle, &dir_seg3_end_angle,  &dir_seg1_start_lat,  &dir_seg1_start_lon,  &dir_seg1_end_lat,
      &dir_seg1_end_lon,   &dir_seg2_end_lat,      &dir_seg2_end_lon,    &dir_seg3_end_lat,    &dir_seg3_end_lon,
      &dir_seg1_dta,       &dir_wpt_angle,         &dir_seg1_arc_lenght, &dir_wpt_arc_dist,    &dir_seg2_distance,
      &dir_seg3_arc_lenght, &dir_seg_remain_dist,
  };
  for (float* v : cleared) *v = 0.0f;
}

// ---- the new direct-to -----------------------------------------------------------------

void start_direct_to() {
  fms_seq.vnav_idx_seq = fms_seq.vnav_idx;
  script_set_finite_f(zuvadud_D738_fms_vnav_idx_seq, fms_seq.vnav_idx_seq);
  publish_seq_prev();
  path_start_leg = direct_to_leg = first_path_leg = leg_of(fms_seq.vnav_idx_seq);
  dir_start_lat = static_cast<float>(aircraft_lat());
  dir_start_lon = static_cast<float>(aircraft_lon());
  dir_start_hdg_true = navmath::mod360(host_mirror.sim_cockpit2_gauges_indicators_heading_AHARS_deg_mag_pilot -
                                       frame_flight_data.mag_var_deg + 360.0f);
  clear_direct_to_path();
}

void catch_up_sequencing_leg() {
  if (!(fms_seq.vnav_idx > fms_seq.vnav_idx_seq)) return;
  fms_seq.vnav_idx_seq = fms_seq.vnav_idx;
  const int32_t active = leg_of(fms_seq.vnav_idx);
  if (leg_slot_ok(active) && legs_bypass[active] == 1.0f) {
    fms_seq.vnav_idx_seq = static_cast<float>(next_sequencing_leg(active) + 1);
  }
  init_nav_mode(leg_of(fms_seq.vnav_idx_seq));
  script_set_finite_f(zuvadud_D738_fms_vnav_idx_seq, fms_seq.vnav_idx_seq);
  publish_seq_prev();
}

// After a saved situation is restored the aircraft is somewhere along the
// sequencing leg: what is left of it is measured straight to its waypoint.
void restore_remaining_distance() {
  if (route_reset_request == 0.0f || !(fms_seq.vnav_idx_seq > 2.0f) || fms_seq.nav_mode != 0.0f) return;
  const float d = distance_to(leg_of(fms_seq.vnav_idx_seq));
  if (fms_seq.intdir_act == 0.0f) {
    const int32_t before = trunc_clamped(fms_seq.vnav_idx_seq - 2.0f, -1, route_leg_capacity);
    if (leg_slot_ok(before)) legs_seg_remain_dist[before] = d;
  } else {
    dir_seg_remain_dist = d;
  }
}

// A route taken in while none was flown, or with another active leg, has
// nothing measured for it yet: what route tracking holds belongs to another
// leg or route (after the end of a route, its last waypoint passed), and
// would sequence the new active waypoint before the aircraft reaches it. Held
// until this frame's tracking measures, as a new direct-to is. The same route
// handed over again with the same active leg keeps its measure.
// Returns true for such a route (a restored one counts too: its path was
// cleared whole).
bool seed_taken_in_route() {
  RouteTakeIn& t = route_take_in;
  const bool handed_over = legs_change_copy != 0.0f;
  const bool none_flown = t.measured_leg == 0.0f || (handed_over && t.ended);
  const bool leg_changed = handed_over && fms_seq.vnav_idx != t.measured_leg;
  if (handed_over) t.ended = false;
  if (!none_flown && !leg_changed) return route_reset_request != 0.0f;
  route_track.abeam_dist_bp = 1.0f;
  route_track.abeam_dist_seg = 100.0f;
  return true;
}

void take_direct_to() {
  if (on_ground == 1) {
    // No direct-to on the ground: the request is cancelled.
    fms_seq.nav_mode = 0.0f;
    direct_to_leg = first_path_leg = 0;
    fms_seq.intdir_act = 0.0f;
    script_set_finite_f(zuvadud_D738_fms_intdir_act, 0.0f);
    route_change_values.intdir_crs = -1.0f;
    script_set_finite_f(zuvadud_D738_fms_intdir_crs, -1.0f);
    fms_seq.intdir_idx = static_cast<float>(direct_to_leg + 1);
    script_set_finite_f(zuvadud_D738_fms_intdir_idx, fms_seq.intdir_idx);
    direct_to_flags[direct_to_leg] = 1.0f;
    fms_seq.hold_phase = fms_seq.hold_term = fms_seq.pi_phase = 0.0f;
    publish_modes();
    return;
  }

  const float intercept_crs = route_change_values.intdir_crs;
  if (intercept_crs >= 0.0f) {
    fms_seq.nav_mode = 0.0f;
    if (leg_slot_ok(path_start_leg)) {
      legs_df_crs[path_start_leg] = legs_df_crs_fin[path_start_leg] =
          navmath::mod360(intercept_crs - frame_flight_data.mag_var_deg + 360.0f);
    }
    if (leg_slot_ok(direct_to_leg)) direct_to_flags[direct_to_leg] = 2.0f;
    reset_leg_path(0, 1);
    const float d = distance_to(direct_to_leg);
    // The intercept course line is drawn far enough to meet the route.
    dir_seg_remain_dist = d < 700.0f ? 700.0f : d;
  } else {
    if (leg_slot_ok(direct_to_leg)) direct_to_flags[direct_to_leg] = 1.0f;
    path_start_leg = calc_legs_path(path_start_leg, 1);
    if (fms_debug_selector == 99999.0f) {
      const float crs_fin = leg_slot_ok(path_start_leg) ? legs_df_crs_fin[path_start_leg] : 0.0f;
      log_line("Direct to  %d <%s> -> CRS final: %f, %d\n", direct_to_leg, waypoint_id(direct_to_leg),
               static_cast<double>(crs_fin), path_start_leg);
      fms_debug_selector = 9999.0f;
      script_set_finite_f(zuvadud_D738_fms_test, 9999.0f);
    }
    first_path_leg = path_start_leg;
    fms_seq.nav_mode = dir_seg_count() == 0 ? 0.0f : 5.0f;
  }

  fms_seq.hold_phase = fms_seq.hold_term = fms_seq.pi_phase = 0.0f;
  publish_modes();
  if (fms_debug_selector == 8888.0f) {
    log_line("Direct to  %d <%s> -> INIT Nav Mode (G) (%f)\n", direct_to_leg, waypoint_id(direct_to_leg),
             static_cast<double>(fms_seq.nav_mode));
  }
  fms_seq.intdir_idx = static_cast<float>(direct_to_leg + 1);
  script_set_finite_f(zuvadud_D738_fms_intdir_idx, fms_seq.intdir_idx);
  fms_seq.intdir_act = 2.0f;
  script_set_finite_f(zuvadud_D738_fms_intdir_act, 2.0f);
  route_track.abeam_dist_bp = 1.0f;
  route_track.abeam_dist_seg = 100.0f;
}

// ---- path, destination, distances ------------------------------------------------------

// An arc leg's start radial is set by the pass of the waypoint before it,
// which a path built from the arc itself never runs: a route taken in (or
// restored) with its sequencing leg already on an arc would keep a start of 0
// and be tracked and drawn from there. That pass is run once, in that frame.
void start_at_arc_entry() {
  if (legs_change_copy == 0.0f && route_reset_request == 0.0f) return;
  const int32_t k = path_start_leg;
  if (fms_seq.intdir_act != 0.0f || k < 2 || !leg_slot_ok(k) || k != leg_of(fms_seq.vnav_idx_seq)) return;
  const RouteText& type = route_tables.leg_path_types[k];
  if (route_text_is(type, "AF") || route_text_is(type, "RF")) path_start_leg = k - 1;
}

// The first turn of a route taken in is sized against the straight before
// its waypoint, which the build (starting at that waypoint) never lays down:
// without it the turn would have no anticipation and begin at the waypoint.
// What is left of that straight is where the aircraft is: measured once,
// as after a restore, and kept (the build does not reach back to it).
void measure_first_straight(bool taken_in) {
  RouteTakeIn& t = route_take_in;
  if (taken_in || path_start_leg < t.first_built_leg) t.first_built_leg = path_start_leg;
  const int32_t k = path_start_leg;
  if (fms_seq.intdir_act != 0.0f || !leg_slot_ok(k) || k != leg_of(fms_seq.vnav_idx_seq)) return;
  // A hold or a procedure turn is entered from a straight of its own.
  const RouteText& type = route_tables.leg_path_types[k];
  if (route_text_is(type, "HM") || route_text_is(type, "HA") || route_text_is(type, "HF") ||
      route_text_is(type, "PI"))
    return;
  const int32_t p = prev_valid_leg(k);
  if (p < 0 || p >= t.first_built_leg) return;
  legs_seg_remain_dist[p] = distance_to(k);
  t.first_built_leg = p;
}

// Mode 0 on the first arc is that turn's roll-out, released onto the leg
// it was laid for: a route changed there changes the turn still flown, and
// it is taken in and carried on as in mode 5, and flown in mode 5 again.
bool rolling_out() { return fms_seq.nav_mode == 0.0f && route_track.region == kRegionFirstArc; }

// A route changed while the transition into the sequencing waypoint is
// flown (the turn at the waypoint behind, its first arc past the
// waypoint's radial, its straight or second arc): that transition is the
// leg before's, which the build from the sequencing leg never reaches, and
// would keep turning onto the old next leg. It is laid out again, once, for
// the new one.
// Returns the leg whose transition was laid out again, or -1.
int32_t take_in_flown_transition() {
  if (legs_change_copy == 0.0f || fms_seq.intdir_act != 0.0f) return -1;
  const float mode = fms_seq.nav_mode;
  if (!(mode == 5.0f || mode == 6.0f || mode == 9.0f || mode == 10.0f || rolling_out())) return -1;
  // Mode 5 on the sequencing waypoint's own turn is a transition the build
  // starts with anyway.
  if (mode == 5.0f && (route_track.region == kRegionOwnTurn || route_track.region == kRegionTurnOffArc)) return -1;
  const int32_t k = path_start_leg;
  if (!leg_slot_ok(k) || k != leg_of(fms_seq.vnav_idx_seq)) return -1;
  const int32_t p = prev_valid_leg(k);
  // The departure entry is never turned at.
  if (p < 1) return -1;
  path_start_leg = p;
  return p;
}

// One arc about (c_lat, c_lon) from the aircraft to (e_lat, e_lon) as leg
// p's whole transition: no straight and no second arc after it.
void lay_one_arc(int32_t p, int32_t n, int turn, double c_lat, double c_lon, float radius, double lat, double lon,
                 double e_lat, double e_lon) {
  const float start = gc_bearing(c_lat, c_lon, lat, lon);
  const float end = gc_bearing(c_lat, c_lon, e_lat, e_lon);
  legs_seg1_start_angle[p] = start;
  legs_seg1_end_angle[p] = end;
  legs_seg1_arc_lenght[p] = arc_length(radius, course_diff_dir(start, end, turn));
  legs_seg_remain_dist[p] = gc_distance_nm(e_lat, e_lon, legs_lat[n], legs_lon[n]);
  float* const s_turn_values[] = {legs_seg2_end_lat,    legs_seg2_end_lon,     legs_seg2_distance,
                                  legs_seg2_crs_true,   legs_seg3_ctr_lat,     legs_seg3_ctr_lon,
                                  legs_seg3_start_angle, legs_seg3_end_angle,  legs_seg3_turn,
                                  legs_seg3_end_lat,    legs_seg3_end_lon,     legs_seg3_arc_lenght};
  for (float* v : s_turn_values) v[p] = 0.0f;
}

// The first arc's centre, radius, start and end, and where on it leg p's
// waypoint is passed.
void place_carried_turn(int32_t p, int turn, double c_lat, double c_lon, float radius, double lat, double lon,
                        double e_lat, double e_lon) {
  legs_radii_radius[p] = legs_seg1_radius[p] = legs_seg3_radius[p] = radius;
  legs_radii_ctr_lat[p] = legs_seg1_ctr_lat[p] = static_cast<float>(c_lat);
  legs_radii_ctr_lon[p] = legs_seg1_ctr_lon[p] = static_cast<float>(c_lon);
  legs_seg1_start_lat[p] = static_cast<float>(lat);
  legs_seg1_start_lon[p] = static_cast<float>(lon);
  legs_seg1_end_lat[p] = static_cast<float>(e_lat);
  legs_seg1_end_lon[p] = static_cast<float>(e_lon);
  // The waypoint is passed abeam on the first arc, or already behind: where
  // it starts.
  const float start = legs_seg1_start_angle[p];
  const float span = course_diff_dir(start, legs_seg1_end_angle[p], turn);
  const float w = gc_bearing(c_lat, c_lon, legs_lat[p], legs_lon[p]);
  const float to_wpt = course_diff_dir(start, w, turn);
  if (std::fabs(to_wpt) <= std::fabs(span)) {
    legs_wpt_angle[p] = w;
    legs_wpt_arc_dist[p] = arc_length(radius, to_wpt);
  } else {
    legs_wpt_angle[p] = start;
    legs_wpt_arc_dist[p] = 0.0f;
  }
  legs_seg1_dta[p] = legs_radii_dta[p] = legs_wpt_arc_dist[p];
}

bool lay_turn_from_aircraft(int32_t p, float max_turn, float reversal_deg = 0.0f);

// The turn being flown as the route changed: its way round and radius.
struct FlownTurn {
  float turn = 0.0f;
  float radius = 0.0f;
};

// A turn reversed: the wings roll from the bank flown through level to the
// new turn's (at the autopilot's 5 degrees a second), and meanwhile the
// track goes on round the old way and then lags the new turn, by about half
// the two turns' rates times that time. Laid tangent to the present track,
// the new turn's first arc was left behind by that much and caught up only
// at full bank, 0.3 nm outside it at 10,000 ft. It is laid tangent to the
// track turned the old way by that lag instead (degrees, signed the way the
// track turns: right positive).
float reversal_lead(float radius, bool old_left) {
  const float v = mirror_f(sim_flightmodel_position_groundspeed);
  if (!(v > 1.0f) || !(radius > 0.0f)) return 0.0f;
  const float bank_old = clamp_range((old_left ? -1.0f : 1.0f) * mirror_f(sim_flightmodel_position_phi), 0.0f, 35.0f);
  const float bank_new = lnav_bank_for_circle(radius, v * kt_per_mps);
  const float rate_sum = 9.80665f * (std::tan(deg_to_rad(bank_old)) + std::tan(deg_to_rad(bank_new))) / v;
  const float lag = rad_to_deg(roll_through_s(bank_old, bank_new) * rate_sum * 0.5f);
  if (!(lag > 0.0f && lag < 45.0f)) return 0.0f;
  return old_left ? -lag : lag;
}

// A turn laid out again while its first arc is flown can begin further on
// than the aircraft already is (a smaller turn starts later, and so does a
// turn of more than 135 degrees, laid out as an S-turn): flown as built, the
// aircraft would roll out, even back the other way, to reach its start. The
// turn in progress is carried on instead, the same way round from where the
// aircraft is, tangent to its present track: one arc ending on the new leg
// where the turn's own radius or a wider one reaches it; where it cannot (the
// new leg too sharp for the radius, or already crossed), the turn's own
// radius on past the new course and back onto it in an S-turn, the overshoot
// the radius forces and no more. Where the new leg lies the other way, the
// rebuilt turn is laid from the aircraft too, the new leg's way round, within
// half a circle, at the radius being flown where the rebuilt one is wider (a
// small turn's radius is too wide to reverse into): as built it begins at a
// point the aircraft has left behind (or never reaches), and the aircraft was
// miles off it once more than a little of the turn had been flown.
// True where the turn was laid anew from the aircraft.
bool carry_on_flown_turn(int32_t p, int32_t region_before, float mode_before, FlownTurn before) {
  if (!leg_slot_ok(p) || (mode_before != 5.0f && mode_before != 0.0f)) return false;
  if (region_before != kRegionFlyByTurn && region_before != kRegionFirstArc) return false;
  const int32_t n = next_valid_leg(p);
  const float r = legs_seg1_radius[p];
  if (!leg_slot_ok(n) || !(r > 0.0f) || leg_seg_kind(p) == 0) return false;
  const bool left = pathpos::is_left(legs_seg1_turn[p]);
  const bool was_turning =
      before.turn == static_cast<float>(kTurnLeft) || before.turn == static_cast<float>(kTurnRight);
  if (was_turning && pathpos::is_left(before.turn) != left) {
    if (before.radius > 0.0f && before.radius < r) legs_seg1_radius[p] = before.radius;
    if (lay_turn_from_aircraft(p, 180.0f, reversal_lead(legs_seg1_radius[p], pathpos::is_left(before.turn))))
      return true;
    legs_seg1_radius[p] = r;
    return false;
  }
  const double lat = aircraft_lat();
  const double lon = aircraft_lon();
  // Past the rebuilt arc's start the aircraft is on that turn already, or
  // outside it, where more of the same turn joins it; inside it (a smaller
  // turn changed late) the arc would be joined by rolling the other way.
  const float b1 = gc_bearing(legs_seg1_ctr_lat[p], legs_seg1_ctr_lon[p], lat, lon);
  const float start1 = legs_seg1_start_angle[p];
  if (!pathpos::faces(b1, start1 + (left ? 90.0f : 270.0f)) || !pathpos::faces(b1, start1)) {
    if (!(gc_distance_nm(legs_seg1_ctr_lat[p], legs_seg1_ctr_lon[p], lat, lon) < r)) return false;
  }
  return lay_turn_from_aircraft(p, 180.0f);
}

// Leg p's transition laid from where the aircraft is, tangent to its track,
// the way round leg p's turn goes.
bool lay_turn_from_aircraft(int32_t p, float max_turn, float reversal_deg) {
  if (!leg_slot_ok(p)) return false;
  const int32_t n = next_valid_leg(p);
  const float r = legs_seg1_radius[p];
  if (!leg_slot_ok(n) || !(r > 0.0f) || leg_seg_kind(p) == 0) return false;
  const bool left = pathpos::is_left(legs_seg1_turn[p]);
  const double lat = aircraft_lat();
  const double lon = aircraft_lon();

  const float track = navmath::mod360(mirror_f(sim_flightmodel_position_hpath) + reversal_deg);
  const float out = gc_bearing(legs_lat[p], legs_lon[p], legs_lat[n], legs_lon[n]);
  track_errors(lat, lon, legs_lat[p], legs_lon[p], out);
  const float side = left ? -nav_result.cross_track : nav_result.cross_track;
  // Non-negative whichever side of north the two courses lie.
  const float to_go = navmath::mod360_nonneg(left ? track - out : out - track);
  if (!(to_go > 0.0f && to_go < max_turn)) return false;
  const int turn = left ? kTurnLeft : kTurnRight;
  const double rho = side > 0.0f ? side / (1.0 - std::cos(static_cast<double>(to_go) * pi_12dp / 180.0)) : 0.0;
  if (!(rho < 1000.0)) return false;

  double c_lat, c_lon, e_lat, e_lon;
  float radius;
  if (rho >= r) {
    gc_destination(lat, lon, navmath::mod360(track + (left ? 270.0f : 90.0f)), rho);
    c_lat = nav_result.lat;
    c_lon = nav_result.lon;
    // It ends at the foot of its centre on the new leg.
    track_errors(c_lat, c_lon, legs_lat[p], legs_lon[p], out);
    gc_destination(legs_lat[p], legs_lon[p], out, -static_cast<double>(nav_result.along_track));
    e_lat = nav_result.lat;
    e_lon = nav_result.lon;
    radius = static_cast<float>(rho);
    lay_one_arc(p, n, turn, c_lat, c_lon, radius, lat, lon, e_lat, e_lon);
  } else {
    gc_destination(lat, lon, navmath::mod360(track + (left ? 270.0f : 90.0f)), r);
    c_lat = nav_result.lat;
    c_lon = nav_result.lon;
    if (carried_s_turn(c_lat, c_lon, r, turn, lat, lon, legs_lat[p], legs_lon[p], legs_lat[n], legs_lon[n], out, p) !=
        0)
      return false;
    const TurnCenterResult& t = turn_center_result;
    e_lat = t.seg1_end_lat;
    e_lon = t.seg1_end_lon;
    radius = r;
    legs_seg1_start_angle[p] = t.seg1_start_angle;
    legs_seg1_end_angle[p] = t.seg1_end_angle;
    legs_seg1_arc_lenght[p] = t.seg1_arc_lenght;
    legs_seg2_end_lat[p] = static_cast<float>(t.seg2_end_lat);
    legs_seg2_end_lon[p] = static_cast<float>(t.seg2_end_lon);
    legs_seg2_distance[p] = t.seg2_distance;
    legs_seg2_crs_true[p] = t.seg2_crs_true;
    legs_seg3_ctr_lat[p] = static_cast<float>(t.seg3_ctr_lat);
    legs_seg3_ctr_lon[p] = static_cast<float>(t.seg3_ctr_lon);
    legs_seg3_start_angle[p] = t.seg3_start_angle;
    legs_seg3_end_angle[p] = t.seg3_end_angle;
    legs_seg3_turn[p] = static_cast<float>(t.seg3_turn);
    legs_seg3_end_lat[p] = static_cast<float>(t.seg3_end_lat);
    legs_seg3_end_lon[p] = static_cast<float>(t.seg3_end_lon);
    legs_seg3_arc_lenght[p] = t.seg3_arc_lenght;
    legs_seg_remain_dist[p] = t.seg_remain_dist;
  }

  place_carried_turn(p, turn, c_lat, c_lon, radius, lat, lon, e_lat, e_lon);
  return true;
}

// A climb leg that ends inside the turn onto it ends where the aircraft is;
// a track to the next fix starts where the turn, carried on from here, first
// points at that fix, and the climb's end moves there: one arc, then the
// track. False where the fix lies inside the turn, the turn to it would be
// max_turn or more, or the next leg is not a track to it.
bool turn_to_next_fix(int32_t p, float max_turn, float reversal_deg) {
  if (!leg_slot_ok(p)) return false;
  const int32_t n = next_valid_leg(p);
  const float r = legs_seg1_radius[p];
  if (!leg_slot_ok(n) || !(r > 0.0f)) return false;
  const RouteText& type = route_tables.leg_path_types[n];
  if (!route_text_is(type, "TF") && !route_text_is(type, "DF")) return false;
  const bool left = pathpos::is_left(legs_seg1_turn[p]);
  const int turn = left ? kTurnLeft : kTurnRight;
  const double lat = aircraft_lat();
  const double lon = aircraft_lon();
  const float track = navmath::mod360(mirror_f(sim_flightmodel_position_hpath) + reversal_deg);
  gc_destination(lat, lon, navmath::mod360(track + (left ? 270.0f : 90.0f)), r);
  const double c_lat = nav_result.lat;
  const double c_lon = nav_result.lon;
  const float d = gc_distance_nm(c_lat, c_lon, legs_lat[n], legs_lon[n]);
  if (!(d > 1.01f * r)) return false;
  const float to_fix = gc_bearing(c_lat, c_lon, legs_lat[n], legs_lon[n]);
  const float a = static_cast<float>(std::acos(static_cast<double>(r / d)) * 180.0 / pi_12dp);
  gc_destination(c_lat, c_lon, navmath::mod360(left ? to_fix + a : to_fix - a), r);
  const double e_lat = nav_result.lat;
  const double e_lon = nav_result.lon;
  const float span = course_diff_dir(gc_bearing(c_lat, c_lon, lat, lon), gc_bearing(c_lat, c_lon, e_lat, e_lon), turn);
  if (!(std::fabs(span) < max_turn)) return false;
  legs_lat[p] = static_cast<float>(e_lat);
  legs_lon[p] = static_cast<float>(e_lon);
  legs_brg_true[n] = static_cast<float>(gc_bearing(e_lat, e_lon, legs_lat[n], legs_lon[n]) * pi_12dp / 180.0);
  legs_brg_fin_true[n] = static_cast<float>(
      navmath::mod360(gc_bearing(legs_lat[n], legs_lon[n], e_lat, e_lon) + 180.0f) * pi_12dp / 180.0);
  legs_dist[n] = gc_distance_nm(e_lat, e_lon, legs_lat[n], legs_lon[n]);
  // A direct leg is steered on its own course, worked out from the old end:
  // left there, the track flown and the one steered would part at the roll-out.
  if (route_text_is(type, "DF")) {
    legs_df_crs[n] = gc_bearing(e_lat, e_lon, legs_lat[n], legs_lon[n]);
    legs_df_crs_fin[n] = navmath::mod360(gc_bearing(legs_lat[n], legs_lon[n], e_lat, e_lon) + 180.0f);
  }
  lay_one_arc(p, n, turn, c_lat, c_lon, r, lat, lon, e_lat, e_lon);
  place_carried_turn(p, turn, c_lat, c_lon, r, lat, lon, e_lat, e_lon);
  return true;
}

// A climb leg that ends inside the turn onto it, followed by another
// heading or course to an altitude: the turn goes on the same way round from
// where the aircraft is until the track is that leg's course, and the
// climb's end moves there. The next climb is then flown, and ended at its
// altitude, in that turn. False where the next leg is not a climb, or the
// course lies max_turn or more round.
bool turn_onto_next_course(int32_t p, float max_turn, float reversal_deg) {
  if (!leg_slot_ok(p)) return false;
  const int32_t n = next_valid_leg(p);
  // Carried on at the radius being flown where that is the wider one.
  const int32_t q = prev_valid_leg(p);
  const float r = std::fmax(legs_seg1_radius[p], leg_slot_ok(q) ? legs_seg1_radius[q] : 0.0f);
  if (!leg_slot_ok(n) || !(r > 0.0f)) return false;
  const RouteText& type = route_tables.leg_path_types[n];
  if (!route_text_is(type, "VA") && !route_text_is(type, "CA") && !route_text_is(type, "FA")) return false;
  const bool left = pathpos::is_left(legs_seg1_turn[p]);
  const int turn = left ? kTurnLeft : kTurnRight;
  const double lat = aircraft_lat();
  const double lon = aircraft_lon();
  const float track = navmath::mod360(mirror_f(sim_flightmodel_position_hpath) + reversal_deg);
  const float out = magvar_course(n);
  const float to_go = navmath::mod360_nonneg(left ? track - out : out - track);
  if (!(to_go > 0.0f && to_go < max_turn)) return false;
  gc_destination(lat, lon, navmath::mod360(track + (left ? 270.0f : 90.0f)), r);
  const double c_lat = nav_result.lat;
  const double c_lon = nav_result.lon;
  gc_destination(c_lat, c_lon, navmath::mod360(out + (left ? 90.0f : 270.0f)), r);
  const double e_lat = nav_result.lat;
  const double e_lon = nav_result.lon;
  legs_lat[p] = static_cast<float>(e_lat);
  legs_lon[p] = static_cast<float>(e_lon);
  lay_one_arc(p, n, turn, c_lat, c_lon, r, lat, lon, e_lat, e_lon);
  place_carried_turn(p, turn, c_lat, c_lon, r, lat, lon, e_lat, e_lon);
  return true;
}

void build_path() {
  int32_t i = path_start_leg;
  if (i < 0) i = 0;
  while (leg_slot_ok(i) && static_cast<float>(i) <= fms_seq.legs_num - 1.0f) {
    legs_bypass[i] = 0.0f;
    const int32_t next = calc_legs_path(i, 0);
    // The builder always moves on; a result that does not would hang the frame.
    i = next > i ? next : i + 1;
  }
}

void close_destination(int32_t n) {
  legs_radii_radius[n] = 0.0f;
  legs_df_crs[n] = legs_df_crs_fin[n] = -1.0f;
  legs_dist_true[n] = n >= 1 ? gc_distance_nm(legs_lat[n - 1], legs_lon[n - 1], legs_lat[n], legs_lon[n]) : 0.0f;
  legs_dist_dest_true[n] = legs_dist_dest_true_bp[n] = 0.0f;
  float* const cleared[] = {
      legs_seg1_dta,        legs_seg1_ctr_lat,    legs_seg1_ctr_lon,     legs_seg1_radius,    legs_seg1_turn,
      legs_seg1_start_angle, legs_seg1_end_angle, legs_seg1_start_lat,   legs_seg1_start_lon, legs_seg1_end_lat,
      legs_seg1_end_lon,    legs_seg1_arc_lenght, legs_seg2_crs_true,    legs_seg2_distance,  legs_seg2_end_lat,
      legs_seg2_end_lon,    legs_seg3_ctr_lat,    legs_seg3_ctr_lon,     legs_seg3_radius,    legs_seg3_turn,
      legs_seg3_start_angle, legs_seg3_end_angle, legs_seg3_end_lat,     legs_seg3_end_lon,   legs_seg3_arc_lenght,
      // the builder's other per-transition values; the arc record goes whole,
      // both radials, so no arc with one end left behind is drawn here
      legs_af_beg,          legs_af_end,          legs_af_arc_dist,      legs_radii_dta,        legs_bypass,
      legs_seg_remain_dist, legs_wpt_angle,       legs_wpt_arc_dist,
  };
  for (float* a : cleared) a[n] = 0.0f;
  if (fms_debug_selector == 5555.0f) {
    log_line("Calculated true distance for destination. WPT %d  <%s>:  %f\n", n, waypoint_id(n),
             static_cast<double>(legs_dist_true[n]));
  }
}

struct Labelled {
  const char* label;
  const float* value;
};

void dump_direct_to() {
  log_line("Direct to data:\n");
  log_line("WPT %d  <%s>:\n", direct_to_leg, waypoint_id(direct_to_leg));
  const int32_t k = leg_slot_ok(direct_to_leg) ? direct_to_leg : 0;
  const Labelled values[] = {
      {"legs_radii_radius", &legs_radii_radius[k]},
      {"legs_turn", &legs_turn[k]},
      {"legs_radii_ctr_lat", &legs_radii_ctr_lat[k]},
      {"legs_radii_ctr_lon", &legs_radii_ctr_lon[k]},
      {"dir_seg1_dta", &dir_seg1_dta},
      {"dir_seg1_ctr_lat", &dir_seg1_ctr_lat},
      {"dir_seg1_ctr_lon", &dir_seg1_ctr_lon},
      {"dir_seg1_radius", &dir_seg1_radius},
      {"dir_seg1_turn", &dir_seg1_turn},
      {"dir_seg1_start_angle", &dir_seg1_start_angle},
      {"dir_seg1_end_angle", &dir_seg1_end_angle},
      {"dir_seg1_start_lat", &dir_seg1_start_lat},
      {"dir_seg1_start_lon", &dir_seg1_start_lon},
      {"dir_seg1_end_lat", &dir_seg1_end_lat},
      {"dir_seg1_end_lon", &dir_seg1_end_lon},
      {"dir_seg1_arc_lenght", &dir_seg1_arc_lenght},
      {"dir_seg2_crs_true", &dir_seg2_crs_true},
      {"dir_seg2_distance", &dir_seg2_distance},
      {"dir_seg2_end_lat", &dir_seg2_end_lat},
      {"dir_seg2_end_lon", &dir_seg2_end_lon},
      {"dir_seg3_ctr_lat", &dir_seg3_ctr_lat},
      {"dir_seg3_ctr_lon", &dir_seg3_ctr_lon},
      {"dir_seg3_radius", &dir_seg3_radius},
      {"dir_seg3_turn", &dir_seg3_turn},
      {"dir_seg3_start_angle", &dir_seg3_start_angle},
      {"dir_seg3_end_angle", &dir_seg3_end_angle},
      {"dir_seg3_end_lat", &dir_seg3_end_lat},
      {"dir_seg3_end_lon", &dir_seg3_end_lon},
      {"dir_seg3_arc_lenght", &dir_seg3_arc_lenght},
      {"dir_seg_remain_dist", &dir_seg_remain_dist},
      {"dir_wpt_angle", &dir_wpt_angle},
      {"dir_wpt_arc_dist", &dir_wpt_arc_dist},
  };
  for (const Labelled& v : values) log_line("%s : %f\n", v.label, static_cast<double>(*v.value));
}

struct LegValue {
  const char* label;
  const float* values;  // per leg
};

// The per-leg path values in dump order (the procedure-turn length follows);
// the speed is left out of the distance dump.
const LegValue leg_dump[] = {
    {"legs_radii_radius", legs_radii_radius},
    {"legs_turn", legs_turn},
    {"legs_radii_ctr_lat", legs_radii_ctr_lat},
    {"legs_radii_ctr_lon", legs_radii_ctr_lon},
    {"legs_seg1_dta", legs_seg1_dta},
    {"legs_seg1_ctr_lat", legs_seg1_ctr_lat},
    {"legs_seg1_ctr_lon", legs_seg1_ctr_lon},
    {"legs_seg1_radius", legs_seg1_radius},
    {"legs_seg1_turn", legs_seg1_turn},
    {"legs_seg1_start_angle", legs_seg1_start_angle},
    {"legs_seg1_end_angle", legs_seg1_end_angle},
    {"legs_seg1_start_lat", legs_seg1_start_lat},
    {"legs_seg1_start_lon", legs_seg1_start_lon},
    {"legs_seg1_end_lat", legs_seg1_end_lat},
    {"legs_seg1_end_lon", legs_seg1_end_lon},
    {"legs_seg1_arc_lenght", legs_seg1_arc_lenght},
    {"legs_seg2_crs_true", legs_seg2_crs_true},
    {"legs_seg2_distance", legs_seg2_distance},
    {"legs_seg2_end_lat", legs_seg2_end_lat},
    {"legs_seg2_end_lon", legs_seg2_end_lon},
    {"legs_seg3_ctr_lat", legs_seg3_ctr_lat},
    {"legs_seg3_ctr_lon", legs_seg3_ctr_lon},
    {"legs_seg3_radius", legs_seg3_radius},
    {"legs_seg3_turn", legs_seg3_turn},
    {"legs_seg3_start_angle", legs_seg3_start_angle},
    {"legs_seg3_end_angle", legs_seg3_end_angle},
    {"legs_seg3_end_lat", legs_seg3_end_lat},
    {"legs_seg3_end_lon", legs_seg3_end_lon},
    {"legs_seg3_arc_lenght", legs_seg3_arc_lenght},
    {"legs_seg_remain_dist", legs_seg_remain_dist},
    {"legs_af_end", legs_af_end},
    {"legs_af_beg", legs_af_beg},
    {"legs_af_arc_dist", legs_af_arc_dist},
    {"legs_wpt_angle", legs_wpt_angle},
    {"legs_wpt_arc_dist", legs_wpt_arc_dist},
    {"legs_dist_true", legs_dist_true},
    {"legs_dist_to_dest", legs_dist_dest_true},
    {"legs_dist_dest_t_bp", legs_dist_dest_true_bp},
    {"legs_bypass", legs_bypass},
    {"legs_spd_calc", legs_spd_calc},
};

void dump_leg(int32_t i, bool with_speed) {
  log_line("WPT %d  <%s>:\n", i, waypoint_id(i));
  for (const LegValue& v : leg_dump) {
    if (!with_speed && v.values == legs_spd_calc) continue;
    log_line("%s : %f\n", v.label, static_cast<double>(v.values[i]));
  }
  log_line("pi_lenght : %f\n", static_cast<double>(proc_turn.pi_lenght[i]));
}

void dump_legs_before_bypass(int32_t n) {
  for (int32_t i = n; i >= 0; --i) {
    log_line("True distance calculated before BP wpts:\n");
    dump_leg(i, true);
  }
}

void bypassed_leg_distances() {
  if (!(fms_seq.legs_num > 1.0f)) return;
  int32_t from = prev_valid_leg(leg_of(fms_seq.vnav_idx) + 1);
  if (from == -1) from = direct_to_leg;
  for_each_bypassed_leg(from, bp_true_distance);
  if (fms_debug_selector == 3333.0f) lower_selector();
}

void distances_to_destination(int32_t n) {
  for (int32_t i = n; i >= 0; --i) {
    if (fms_seq.legs_num > static_cast<float>(i) && i + 1 < route_leg_capacity) {
      legs_dist_dest_true[i] = legs_dist_true[i + 1] + legs_dist_dest_true[i + 1];
      const float next = legs_bypass[i] == 0.0f ? legs_dist_true[i + 1] : legs_dist[i + 1];
      legs_dist_dest_true_bp[i] = legs_dist_dest_true_bp[i + 1] + next;
    }
    if (fms_debug_selector == 5555.0f) dump_leg(i, false);
  }
}

}  // namespace

bool end_turn_from_aircraft(int32_t p, float max_turn) {
  if (!leg_slot_ok(p)) return false;
  // Laid against the bank being flown, the turn is a reversal: the wings
  // roll through, and the turn is laid from the track turned on the old way
  // by the lag that costs.
  const bool left = pathpos::is_left(legs_seg1_turn[p]);
  const float phi = mirror_f(sim_flightmodel_position_phi);
  const bool against = left ? phi > 0.0f : phi < 0.0f;
  const float lead = against ? reversal_lead(legs_seg1_radius[p], !left) : 0.0f;
  if (!turn_to_next_fix(p, max_turn, lead) && !turn_onto_next_course(p, max_turn, lead) &&
      !lay_turn_from_aircraft(p, max_turn, lead))
    return false;
  // The leg has ended where the aircraft is: its end is behind it, and the
  // whole turn, more than half a circle or not, is the first arc past it.
  legs_wpt_angle[p] = legs_seg1_start_angle[p];
  legs_wpt_arc_dist[p] = 0.0f;
  legs_seg1_dta[p] = legs_radii_dta[p] = 0.0f;
  return true;
}

void for_each_bypassed_leg(int32_t from, void (*visit)(int32_t leg, int32_t prev, int32_t next)) {
  auto in_path = [](int32_t k) { return leg_slot_ok(k) && static_cast<float>(k) <= fms_seq.legs_num - 1.0f; };
  int32_t j = from < 0 ? 0 : from;
  while (in_path(j)) {
    if (legs_bypass[j] != 0.0f) {
      const int32_t p = prev_valid_leg(j);
      const int32_t n = next_valid_leg(j);
      while (in_path(j) && legs_bypass[j] != 0.0f) {
        visit(j, p, n);
        ++j;
      }
    }
    ++j;  // a valid leg, or the one that ended the run
  }
}

void direct_to_path_build() {
  if (!(fms_seq.vnav_idx > 1.0f)) return;
  path_pass_ran = true;
  const bool taken_in = seed_taken_in_route();

  calc_direct_turn_path();
  // The departure entry is never turned at or bypassed.
  legs_radii_radius[0] = 0.0f;
  legs_bypass[0] = 0.0f;
  legs_spd_calc[0] = 145.0f;

  const bool new_direct_to = fms_seq.intdir_act == 1.0f && legs_change_copy != 0.0f;
  if (new_direct_to) start_direct_to();
  catch_up_sequencing_leg();
  restore_remaining_distance();
  if (new_direct_to) take_direct_to();

  start_at_arc_entry();
  measure_first_straight(taken_in);
  const int32_t region_before = route_track.region;
  const float mode_before = fms_seq.nav_mode;
  const int32_t relaid = take_in_flown_transition();
  FlownTurn before{};
  if (leg_slot_ok(relaid)) before = FlownTurn{legs_seg1_turn[relaid], legs_seg1_radius[relaid]};
  build_path();
  if (carry_on_flown_turn(relaid, region_before, mode_before, before) && mode_before == 0.0f) {
    fms_seq.nav_mode = 5.0f;
    publish_modes();
  }
  if (fms_debug_selector == 2222.0f || fms_debug_selector == 9999.0f) lower_selector();

  // The destination entry: legs_num within the tables (the intake stops the
  // route at slot 255).
  const int32_t n = trunc_clamped(fms_seq.legs_num, 0, route_leg_capacity - 1);
  close_destination(n);
  if (fms_seq.intdir_act == 2.0f && fms_debug_selector == 5555.0f) dump_direct_to();
  if (fms_debug_selector == 5555.0f) dump_legs_before_bypass(n);
  bypassed_leg_distances();
  distances_to_destination(n);
}
