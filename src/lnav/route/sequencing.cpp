// Leg sequencing: the navigation mode set-up for a new sequencing leg, the
// active leg advance and the sequencing state machine that moves the
// sequencing leg and the navigation mode through the pieces of each
// transition. Every index comes from the leg counters and the valid-leg
// walks and is checked against the 256-slot tables before use.
#include "lnav/route/sequencing.h"

#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "lnav/route/hold_geometry.h"
#include "core/preprocess_values.h"
#include "core/host_io.h"
#include "core/units.h"
#include "core/util.h"
#include "lnav/route/route_intake.h"
#include "lnav/route/route_pass_steps.h"
#include "lnav/route/fms_legs.h"
#include "lnav/path/leg_path.h"
#include "lnav/path/path_position.h"
#include "lnav/steering/lnav_steering.h"
#include "lnav/route/route_state.h"
#include "lnav/route/route_tracking.h"
#include "lnav/route/sequencing_internal.h"
#include "lnav/steering/steering_helpers.h"
#include "navdata/geodesy.h"
#include "lnav/route/route_geometry.h"
#include "platform/xplm.h"

uint8_t hold_seq_latch;
float prev_hold_phase;
int32_t long_arc_half_slot = -1;

bool crs_within_90(float a, float b) {
  float d = std::fmod(b - a + 360.0f, 360.0f);
  if (d < 0.0f) d += 360.0f;
  if (d > 180.0f) d -= 360.0f;
  return std::fabs(d) <= 90.0f;
}

// ---- shared helpers ---------------------------------------------------------------------------

namespace seqint {

namespace {

using angle::mod360_nonneg;
}  // namespace

// The sequencing values go back to the scripts through script_set_finite_f:
// a NaN or an infinity set by a caller of these steps is never handed back,
// the scripts' value is left unchanged.
void publish_nav_mode() { script_set_finite_f(bound::zuvadud_D738_fms_nav_mode, fms_seq.nav_mode); }
void publish_vnav_idx() { script_set_finite_f(bound::zuvadud_D738_fms_vnav_idx, fms_seq.vnav_idx); }
void publish_seq_leg() {
  script_set_finite_f(bound::zuvadud_D738_fms_vnav_idx_seq, fms_seq.vnav_idx_seq);
  fms_seq.vnav_idx_seq_prev = static_cast<float>(prev_valid_leg(trunc_to_i32(fms_seq.vnav_idx_seq - 1.0f)) + 1);
  script_set_finite_f(bound::zuvadud_D738_fms_vnav_idx_seq_prev, fms_seq.vnav_idx_seq_prev);
}

const char* ident(int32_t k) { return k >= 0 && k < 256 ? route_tables.waypoint_names[k].text : ""; }
bool ident_is(int32_t k, const char* s) { return std::strcmp(ident(k), s) == 0; }
bool is_arc_leg(int32_t k) { return type_is(k, "AF") || type_is(k, "RF"); }
bool is_hold_leg(int32_t k) { return type_is(k, "HM") || type_is(k, "HA") || type_is(k, "HF"); }
bool is_alt_term_leg(int32_t k) { return type_is(k, "FA") || type_is(k, "VA") || type_is(k, "CA"); }
// A heading or course to a DME distance has reached it once the aircraft is
// on the other side of the station's circle from the leg's start.
bool dme_reached(int32_t k) {
  if (!type_is(k, "VD") && !type_is(k, "CD")) return false;
  const float dme = at(legs_hold_dist, k);
  if (!(dme > 0.0f) || k < 1) return false;
  const double s_lat = at(legs_rad_lat, k);
  const double s_lon = at(legs_rad_lon, k);
  const bool start_outside = gc_distance_nm(s_lat, s_lon, at(legs_lat, k - 1), at(legs_lon, k - 1)) > dme;
  return (gc_distance_nm(s_lat, s_lon, ac_lat(), ac_lon()) > dme) != start_outside;
}
bool bypassed(int32_t k) { return at(legs_bypass, k) == 1.0f; }

bool tracing() { return fms_debug_selector == 8888.0f; }
void trace(const char* fmt, ...) {
  if (!tracing()) return;
  char line[512];
  va_list args;
  va_start(args, fmt);
  std::vsnprintf(line, sizeof line, fmt, args);
  va_end(args);
  XPLMDebugString(line);
}

float mag_var() { return mirror_f(bound::sim_flightmodel_position_magnetic_variation); }
// No whole turn is added before the remainder, so that without a variation
// the course compared is the true one to the last bit.
float magnetic(float true_crs) { return mod360_nonneg(true_crs + mag_var()); }
float heading_ref() {
  return mod360_nonneg(mirror_f(bound::sim_cockpit2_gauges_indicators_heading_AHARS_deg_mag_pilot) - mag_var() + 360.0f);
}
float idx_corr() { return lnav_cmd_cache.idx_corr_sent; }
// The steering sends 0 for no straight command (disengaged, or flying an
// arc): a capture test against it would start a turn wherever north happens
// to lie.
bool straight_sent() { return lnav_cmd_cache.idx_corr_sent != 0.0f; }
float idx_corr2() { return lnav_cmd_cache.idx_corr2_sent; }

float lead_distance(float r_nm, float speed_kt) {
  if (!(r_nm > 0.0f)) return 0.0f;
  float bank = static_cast<float>(std::atan(speed_kt * speed_kt / (r_nm * 68620.0f)) * 180.0 / pi_12dp);
  if (!(bank > 0.0f)) bank = 0.0f;
  if (bank > 35.0f) bank = 35.0f;
  return static_cast<float>(r_nm * (2.0 * pi_12dp / 360.0) * bank * 0.35);
}

// The distance flown over the ground in half the time the wings take to roll
// from one bank through level to the other.
float half_roll_nm(float bank_from_deg, float bank_to_deg) {
  return ground_speed_kt() / 3600.0f * roll_through_s(bank_from_deg, bank_to_deg) * 0.5f;
}

// An arc leg's roll-out onto a straight on its tangent, centred on its end:
// the distance flown in half the time the wings take to come level from the
// arc's bank. Handed over there, the straight's law takes the bank down to
// level once; handed over earlier, it levels the wings short of the end, and
// the turn still to go banks them again.
float arc_rollout_lead(int32_t i) {
  const float r = at(legs_radius, i);
  if (!(r > 0.0f)) return 0.0f;
  const float lead = half_roll_nm(lnav_bank_for_circle(r, ground_speed_kt()), 0.0f);
  return std::isfinite(lead) ? lead : 0.0f;
}

bool turn_side(float a, float b, float side) { return on_turn_side(a, b, navmath::is_left_turn_f(side) ? kTurnLeft : kTurnRight); }

float capture_command(double ctr_lat, double ctr_lon, float radius, float side, bool raw_xtrack) {
  const bool left = navmath::is_left_turn_f(side);
  const double lat = ac_lat();
  const double lon = ac_lon();
  arc_errors(lat, lon, ctr_lat, ctr_lon, radius, 0.0f, left ? kTurnLeft : kTurnRight);
  const float tangent = nav_result.course;
  const float x = nav_result.cross_track;
  return arc_steer(mod360_nonneg(tangent + mag_var() + 360.0f), raw_xtrack ? x : -x, radius, side, heading_ref(), 1);
}

bool capture_due(double ctr_lat, double ctr_lon, float radius, float side, float cmd) {
  return turn_side(cmd, capture_command(ctr_lat, ctr_lon, radius, side), side);
}

bool release_due(double ctr_lat, double ctr_lon, float radius, float side, float cmd, float next_crs) {
  const bool left = navmath::is_left_turn_f(side);
  const float tangent = arc_tangent_course(ctr_lat, ctr_lon, ac_lat(), ac_lon(), left ? kTurnLeft : kTurnRight);
  const float c = arc_steer(mod360_nonneg(tangent + mag_var() + 360.0f), 0.0f, radius, side, heading_ref(), 1);
  const float next = magnetic(next_crs);
  return turn_side(c, next, side) && turn_side(cmd, next, side);
}

}  // namespace seqint

using namespace seqint;

// ---- navigation mode set-up -------------------------------------------------------------------

namespace {

void reset_leg_state() {
  route_change_values.intdir_crs = -1.0f;
  fms_seq.hold_phase = 0.0f;
  fms_seq.hold_term = 0.0f;
  fms_seq.pi_phase = 0.0f;
  fms_seq.intdir_act = 0.0f;
}

// Mode for a leg reached through its transition: 5 when the previous valid
// leg turns onto it with a fly-by radius, else 0.
float turn_mode(int32_t k) {
  const int32_t p = prev_valid_leg(k);
  return (p == -1 || at(legs_radii_radius, p) == 0.0f) ? 0.0f : 5.0f;
}

// First hold phase of the entry type laid out for hold leg k.
float first_hold_phase(int32_t k) {
  const float entry = at(hold_pattern.hold_entry, k);
  if (entry == 1.0f) return 14.0f;
  if (entry == 2.0f) return 4.0f;
  if (entry == 3.0f) return at(legs_seg1_radius, k - 1) == 0.0f ? 12.0f : 11.0f;
  if (entry == 4.0f) return 6.0f;
  if (entry == 5.0f) return 7.0f;
  return 0.0f;
}

int32_t active_slot() { return slot_of(fms_seq.vnav_idx); }
int32_t seq_slot() { return slot_of(fms_seq.vnav_idx_seq); }

void start_proc_turn() {
  fms_seq.hold_phase = fms_seq.hold_term = fms_seq.intdir_act = 0.0f;
  fms_seq.pi_phase = 1.0f;
  fms_seq.nav_mode = 7.0f;
  route_change_values.intdir_crs = -1.0f;
  if (fms_seq.vnav_idx_seq > fms_seq.vnav_idx) fms_seq.vnav_idx = fms_seq.vnav_idx_seq;
  publish_vnav_idx();
}

// A discontinuity or vector leg keeps the active and the sequencing leg on
// the same slot; `a`/`b` are the letters of the two log lines.
void align_on_gap(const char* gap, char a, char b) {
  if (ident_is(active_slot(), gap) && fms_seq.vnav_idx != fms_seq.vnav_idx_seq) {
    fms_seq.vnav_idx_seq = fms_seq.vnav_idx;
    publish_seq_leg();
    trace("Switched offset_seq (%c)\n", a);
  } else if (ident_is(seq_slot(), gap) && fms_seq.vnav_idx != fms_seq.vnav_idx_seq) {
    fms_seq.vnav_idx = fms_seq.vnav_idx_seq;
    publish_vnav_idx();
    trace("Switched offset_seq (%c)\n", b);
  }
}

void start_discontinuity(char a, char b) {
  reset_leg_state();
  fms_seq.nav_mode = 0.0f;
  align_on_gap("DISCONTINUITY", a, b);
}

void start_vector(char a, char b) {
  reset_leg_state();
  fms_seq.nav_mode = 2.0f;
  if (fms_seq.vnav_idx_seq > fms_seq.vnav_idx) fms_seq.vnav_idx = fms_seq.vnav_idx_seq;
  publish_vnav_idx();
  align_on_gap("(VECTOR)", a, b);
}

// The leg after a skipped altitude hold.
void classify_after_skip(int32_t s) {
  if (ident_is(s, "DISCONTINUITY")) {
    start_discontinuity('J', 'K');
  } else if (ident_is(s, "(VECTOR)")) {
    start_vector('L', 'M');
  } else if (is_arc_leg(s)) {
    fms_seq.nav_mode = 4.0f;
    reset_leg_state();
  } else if (type_is(s, "PI")) {
    start_proc_turn();
  } else {
    reset_leg_state();
    fms_seq.pi_phase = 0.0f;
    fms_seq.nav_mode = at(legs_radii_radius, s - 1) == 0.0f ? 0.0f : 5.0f;
  }
}

void publish_mode_values() {
  script_set_finite_f(bound::zuvadud_D738_fms_nav_mode, fms_seq.nav_mode);
  script_set_finite_f(bound::zuvadud_D738_fms_hold_phase, fms_seq.hold_phase);
  script_set_finite_f(bound::zuvadud_D738_fms_hold_term, fms_seq.hold_term);
  script_set_finite_f(bound::zuvadud_D738_fms_pi_phase, fms_seq.pi_phase);
  script_set_finite_f(bound::zuvadud_D738_fms_intdir_act, fms_seq.intdir_act);
  script_set_finite_f(bound::zuvadud_D738_fms_intdir_crs, route_change_values.intdir_crs);
}

}  // namespace

void init_nav_mode(int32_t slot) {
  if (slot < 0 || slot > 255) {
    publish_mode_values();
    return;
  }
  if (fms_seq.vnav_idx_seq - 1.0f < static_cast<float>(slot)) {
    const int32_t old = seq_slot();
    trace("INIT NAV MODE (A) change offset SEQ from: %d <%s>  Nav mode: %f  Turn: %f\n", old, ident(old),
          static_cast<double>(fms_seq.nav_mode), static_cast<double>(at(legs_turn, old)));
    fms_seq.vnav_idx_seq = static_cast<float>(slot + 1);
    if (bypassed(slot)) fms_seq.vnav_idx_seq = static_cast<float>(next_sequencing_leg(slot) + 1);
    publish_seq_leg();
    const int32_t now = seq_slot();
    trace("INIT NAV MODE (B) change offset SEQ to: %d <%s>  Nav mode: %f  Turn: %f\n", now, ident(now),
          static_cast<double>(fms_seq.nav_mode), static_cast<double>(at(legs_turn, now)));
  }

  const float alt_ft = mirror_f(bound::sim_cockpit2_gauges_indicators_altitude_ft_pilot);
  if (ident_is(slot, "DISCONTINUITY")) {
    start_discontinuity('F', 'G');
  } else if (ident_is(slot, "(VECTOR)")) {
    start_vector('H', 'I');
  } else if (is_arc_leg(slot)) {
    const int32_t p = prev_valid_leg(slot);
    fms_seq.nav_mode = p == -1 ? 0.0f : (at(legs_radii_radius, p) == 0.0f ? 4.0f : 5.0f);
    reset_leg_state();
  } else if (type_is(slot, "PI")) {
    start_proc_turn();
  } else if (!is_hold_leg(slot)) {
    reset_leg_state();
    fms_seq.nav_mode = turn_mode(slot);
  } else if (type_is(slot, "HM") || type_is(slot, "HF") || alt_ft < legs_alt_rest1[slot] - 300.0f) {
    fms_seq.nav_mode = 3.0f;
    fms_seq.hold_phase = first_hold_phase(slot);
    fms_seq.hold_term = fms_seq.pi_phase = fms_seq.intdir_act = 0.0f;
    route_change_values.intdir_crs = -1.0f;
    const bool active_is_hold = is_hold_leg(active_slot());
    if (active_is_hold && fms_seq.vnav_idx_seq != fms_seq.vnav_idx) {
      fms_seq.vnav_idx_seq = fms_seq.vnav_idx;
      publish_seq_leg();
      trace("Switched offset_seq (N)\n");
    } else if (!active_is_hold && is_hold_leg(seq_slot()) && fms_seq.vnav_idx_seq != fms_seq.vnav_idx) {
      fms_seq.vnav_idx = fms_seq.vnav_idx_seq;
      publish_vnav_idx();
      trace("Switched offset_seq (O)\n");
    }
  } else {
    // An altitude hold reached at its altitude is not flown. The route's end
    // bounds the step so the legs never point past the last entry.
    float next = fms_seq.vnav_idx_seq + 1.0f;
    if (fms_seq.legs_num >= 1.0f && next > fms_seq.legs_num) next = fms_seq.legs_num;
    fms_seq.vnav_idx = next;
    fms_seq.vnav_idx_seq = next;
    const int32_t a = active_slot();
    if (bypassed(a)) fms_seq.vnav_idx_seq = static_cast<float>(next_sequencing_leg(a) + 1);
    script_set_finite_f(bound::zuvadud_D738_fms_vnav_idx_seq, fms_seq.vnav_idx_seq);
    publish_vnav_idx();
    fms_seq.vnav_idx_seq_prev = static_cast<float>(prev_valid_leg(trunc_to_i32(fms_seq.vnav_idx_seq - 1.0f)) + 1);
    script_set_finite_f(bound::zuvadud_D738_fms_vnav_idx_seq_prev, fms_seq.vnav_idx_seq_prev);
    classify_after_skip(seq_slot());
  }

  trace("INIT NAV MODE (C)- NEW Nav mode: %f  Turn: %f\n", static_cast<double>(fms_seq.nav_mode),
        static_cast<double>(at(legs_turn, seq_slot())));
  publish_mode_values();
}

// ---- active leg advance -----------------------------------------------------------------------

namespace {

// A climb's end placed inside the turn before it, with a DF after it whose
// fix lies inside the turn from there, leaves the DF passed over: the path
// runs on to the leg after it. Once the climb really ends (often miles on,
// where a slow climb leaves the aircraft) the DF is flown after all, and the
// path then lay along the leg after the fix, which took the aircraft away
// from every leg. The DF is taken up again from where the aircraft is, by
// the shortest turn to its fix (the other way round where the fix lies
// inside that turn). Where no turn reaches it, it stays passed over.
bool take_up_passed_over_direct(int32_t a) {
  if (!leg_slot_ok(a)) return false;
  const bool ended = is_alt_term_leg(a) || dme_reached(a);
  const int32_t n = a + 1;
  if (!ended || !leg_slot_ok(n) || !type_is(n, "DF") || !bypassed(n)) return false;
  const int32_t q = prev_valid_leg(a);
  const float r = std::fmax(legs_seg1_radius[a], leg_slot_ok(q) ? legs_seg1_radius[q] : 0.0f);
  if (!(r > 0.0f)) return false;
  const float track = navmath::mod360(mirror_f(bound::sim_flightmodel_position_hpath));
  const float to_fix = gc_bearing(ac_lat(), ac_lon(), legs_lat[n], legs_lon[n]);
  const bool left = navmath::mod360_nonneg(to_fix - track) > 180.0f;
  const float saved_r = legs_seg1_radius[a];
  const float saved_radii_r = legs_radii_radius[a];
  const float saved_turn = legs_seg1_turn[a];
  const float saved_bypass = legs_bypass[a];
  legs_bypass[a] = legs_bypass[n] = 0.0f;
  legs_seg1_radius[a] = legs_radii_radius[a] = r;
  legs_seg1_turn[a] = static_cast<float>(left ? kTurnLeft : kTurnRight);
  if (end_turn_from_aircraft(a, 360.0f)) return true;
  legs_seg1_turn[a] = static_cast<float>(left ? kTurnRight : kTurnLeft);
  if (end_turn_from_aircraft(a, 360.0f)) return true;
  legs_bypass[n] = 1.0f;
  legs_bypass[a] = saved_bypass;
  legs_seg1_radius[a] = saved_r;
  legs_radii_radius[a] = saved_radii_r;
  legs_seg1_turn[a] = saved_turn;
  return false;
}

}  // namespace

bool sequence_legs_new_offset() {
  FmsSequenceState& s = fms_seq;
  if (!(s.vnav_idx > 1.0f && s.vnav_idx <= s.legs_num) || on_ground != 0) return false;
  const int32_t a = active_slot();
  if (a < 0) return false;
  const bool hold_left = s.hold_phase == 0.0f && s.hold_term > 1.0f;
  const bool allowed = !(ident_is(a, "DISCONTINUITY") && s.intdir_act == 0.0f) && s.nav_mode != 2.0f &&
                       !(s.nav_mode == 3.0f && !hold_left);
  if (is_alt_term_leg(a) &&
      legs_alt_rest1[a] > mirror_f(bound::sim_cockpit2_gauges_indicators_altitude_ft_pilot))
    return false;
  if (!allowed) return false;

  // A leg to a DME distance reached inside the turn onto it is passed over
  // by the path, which turns on to the next leg: it ends where the distance
  // is read.
  const bool passed = route_track.abeam_dist_bp == 0.0f || (bypassed(a) && dme_reached(a));
  if (passed) {
    const int32_t k = trunc_to_i32(s.vnav_idx);
    trace("NEW OFFSET : %d <%s> - RT abeam dist bp = 0\n", k, ident(k));
  }
  if (!passed) return false;
  if (s.nav_mode == 3.0f) {
    const int32_t q = seq_slot();
    const float d = gc_distance_nm(ac_lat(), ac_lon(), at(legs_lat, q), at(legs_lon, q));
    if (d < 1.0f) trace("NEW OFFSET (A): %d <%s> - Distance to current wpt: %f = 0\n", q, ident(q), static_cast<double>(d));
  }

  if (s.vnav_idx == s.legs_num) {
    s.vnav_idx_seq = s.vnav_idx;
    publish_seq_leg();
    s.nav_mode = 99.0f;
    publish_nav_mode();
    return true;
  }
  const bool taken_up = take_up_passed_over_direct(a);
  s.vnav_idx += 1.0f;
  publish_vnav_idx();
  trace("NEW OFFSET (B): %d <%s>\n", active_slot(), ident(active_slot()));
  if (s.vnav_idx > s.vnav_idx_seq || taken_up) {
    s.vnav_idx_seq = s.vnav_idx;
    const int32_t na = active_slot();
    if (bypassed(na)) s.vnav_idx_seq = static_cast<float>(next_sequencing_leg(na) + 1);
    init_nav_mode(seq_slot());
    publish_seq_leg();
    trace("NEW OFFSET SEQ (A): %d <%s>  Nav mode: %f\n", seq_slot(), ident(seq_slot()),
          static_cast<double>(s.nav_mode));
  }
  return true;
}

// ---- the sequencing state machine -------------------------------------------------------------

namespace {

// The path into the sequencing waypoint: slot p's pieces, or the direct-to
// path when nothing flown lies before it.
struct PathIn {
  double ctr1_lat, ctr1_lon, s1_start_lat, s1_start_lon, s1_end_lat, s1_end_lon;
  float turn1, r1, seg2_crs;
  double ctr3_lat, ctr3_lon;
  float turn3, r3, remain;
};

PathIn path_into(int32_t p) {
  PathIn v{};
  if (p == -1) {
    v.ctr1_lat = dir_seg1_ctr_lat;
    v.ctr1_lon = dir_seg1_ctr_lon;
    v.s1_start_lat = dir_seg1_start_lat;
    v.s1_start_lon = dir_seg1_start_lon;
    v.s1_end_lat = dir_seg1_end_lat;
    v.s1_end_lon = dir_seg1_end_lon;
    v.turn1 = dir_seg1_turn;
    v.r1 = dir_seg1_radius;
    v.seg2_crs = dir_seg2_crs_true;
    v.ctr3_lat = dir_seg3_ctr_lat;
    v.ctr3_lon = dir_seg3_ctr_lon;
    v.turn3 = dir_seg3_turn;
    v.r3 = dir_seg3_radius;
    v.remain = dir_seg_remain_dist;
    return v;
  }
  v.ctr1_lat = at(legs_seg1_ctr_lat, p);
  v.ctr1_lon = at(legs_seg1_ctr_lon, p);
  v.s1_start_lat = at(legs_seg1_start_lat, p);
  v.s1_start_lon = at(legs_seg1_start_lon, p);
  v.s1_end_lat = at(legs_seg1_end_lat, p);
  v.s1_end_lon = at(legs_seg1_end_lon, p);
  v.turn1 = at(legs_seg1_turn, p);
  v.r1 = at(legs_seg1_radius, p);
  v.seg2_crs = at(legs_seg2_crs_true, p);
  v.ctr3_lat = at(legs_seg3_ctr_lat, p);
  v.ctr3_lon = at(legs_seg3_ctr_lon, p);
  v.turn3 = at(legs_seg3_turn, p);
  v.r3 = at(legs_seg3_radius, p);
  v.remain = at(legs_seg_remain_dist, p);
  // An offset inside the turn is flown, and left, on its own pieces.
  OffsetTurnShift shift{};
  if (offset_turn_shift(p, shift)) {
    offset_turn_move(shift, v.ctr1_lat, v.ctr1_lon);
    if (shift.whole) {
      offset_turn_move(shift, v.s1_start_lat, v.s1_start_lon);
      offset_turn_move(shift, v.s1_end_lat, v.s1_end_lon);
      offset_turn_move(shift, v.ctr3_lat, v.ctr3_lon);
    }
  }
  return v;
}

// One call's view of the sequencing leg.
struct SeqFrame {
  int32_t i, n, p;
  PathIn in;
  bool seq, arm;
  float target;
};

void load_frame(SeqFrame& f) {
  f.i = seq_slot();
  f.n = next_valid_leg(f.i);
  f.p = prev_valid_leg(f.i);
  f.in = path_into(f.p);
}

void advance_sequencing_leg() {
  // On the last counted leg there is none to move to: the route ends at its
  // waypoint, and the nav mode stays the one it is flown in.
  const int32_t from = seq_slot();
  const int32_t to = next_sequencing_leg(from);
  if (to == from) return;
  fms_seq.vnav_idx_seq = static_cast<float>(to + 1);
  init_nav_mode(seq_slot());
  publish_seq_leg();
}

void arm(SeqFrame& f, float target) {
  f.arm = true;
  f.target = target;
}

// Capture test on waypoint i's own fly-by turn; `exchange` compares the
// operands the other way round when that turn goes against the entry arc.
bool own_turn_capture(const SeqFrame& f, float cmd, bool exchange_on_reversal, float* out_cmd) {
  const int32_t i = f.i;
  const float side = legs_seg1_turn[i];
  double c_lat = legs_seg1_ctr_lat[i];
  double c_lon = legs_seg1_ctr_lon[i];
  float offset = 0.0f;
  offset_turn_centre(i, c_lat, c_lon, offset);
  const float c = capture_command(c_lat, c_lon, legs_seg1_radius[i], side);
  if (out_cmd) *out_cmd = c;
  const bool reversal = exchange_on_reversal && navmath::is_left_turn_f(side) != (navmath::is_left_turn_f(f.in.turn1));
  return reversal ? turn_side(c, cmd, side) : turn_side(cmd, c, side);
}

void trace_pair(const char* head, const SeqFrame& f) {
  trace("%s: %d <%s> -> %d <%s>\n", head, f.i, ident(f.i), f.n, ident(f.n));
}
void trace_turn(const char* head, const SeqFrame& f) {
  trace("%s WPT: %d <%s> -> %d <%s>  TURN: %f\n", head, f.i, ident(f.i), f.n, ident(f.n),
        static_cast<double>(at(legs_turn, f.i)));
}
void trace_remain(const SeqFrame& f) {
  trace("    Remain dist for act WPT: %f, DTA for next WPT: %f\n", static_cast<double>(f.in.remain),
        static_cast<double>(legs_radii_dta[f.i]));
}

// The region decision: which of seq / arm the aircraft's place on the path
// calls for.
void region_decision(SeqFrame& f) {
  const int32_t i = f.i;
  const int32_t n = f.n;
  const PathIn& in = f.in;
  const float mode = fms_seq.nav_mode;
  const int32_t region = route_track.region;
  const int32_t sub = route_track.sub_region;
  const float togo = route_track.abeam_dist_seg;
  const float r1 = in.r1;
  const float a_dist = static_cast<float>(r1 * pi_12dp * 0.4);
  const float lead = lead_distance(r1, ground_speed_kt());
  const bool straight_follows = in.remain - legs_radii_dta[i] > 0.5f || legs_radius[i] == 0.0f;
  const bool entry_arc = in.turn1 != -1.0f;
  const float corr = idx_corr();
  const float corr2 = idx_corr2();

  if (region == kRegionArc && mode == 4.0f) {
    // Onto an arc, the next leg takes over once the arc's command has come
    // round past its course, the arc's own way: the steering already asks
    // for it. The side of the turn onto the arc says nothing of that (a
    // tangent join has none, which reads as left, and would hand a left arc
    // over at once and its mirror 0.4 nm on). The command is magnetic, the
    // course true. Onto anything else, where the roll-out begins.
    if (!is_arc_leg(i + 1)) {
      f.seq = togo < arc_rollout_lead(i);
    } else if (togo < clamp_range(legs_af_arc_dist[i] * 0.25f, 0.0f, 1.2f)) {
      f.seq = turn_side(magnetic(magvar_course(i)), corr2, legs_rad_turn[i]);
    }
  } else if ((region == kRegionArc || region == kRegionArcThenTurn) && mode == 10.0f) {
    arm(f, 4.0f);
  } else if (region == kRegionArcThenTurn && mode == 4.0f) {
    if (is_arc_leg(i + 1)) {
      if (togo < 0.1f) f.seq = true;
    } else if (togo < 1.5f) {
      const float side = legs_seg1_turn[i];
      const float c =
          capture_command(legs_seg1_ctr_lat[i], legs_seg1_ctr_lon[i], legs_radii_radius[i], side, true);
      if (turn_side(corr2, c, side)) arm(f, 5.0f);
    }
  } else if (region == kRegionTurnOffArc && mode == 5.0f) {
    if (togo < clamp_range(legs_seg1_arc_lenght[i] * 0.25f, 0.0f, 1.8f))
      f.seq = turn_side(corr2, magnetic(magvar_course_alt(i - 1)), in.turn1);
  } else if (region == kRegionTurnOntoArc && mode == 10.0f) {
    if (togo < clamp_range(a_dist, 0.0f, 1.8f) && turn_side(corr2, magnetic(magvar_course(i)), legs_rad_turn[i]))
      arm(f, 4.0f);
  } else if (region == kRegionTurnOntoArc && mode == 5.0f) {
    arm(f, 10.0f);
  } else if (region == kRegionFirstArc && sub == 1 && mode == 5.0f) {
    if (straight_follows) {
      const float next = magvar_course_alt(i - 1);
      if (togo < 0.1f ||
          (togo < lead && entry_arc && release_due(in.ctr1_lat, in.ctr1_lon, r1, in.turn1, corr2, next))) {
        arm(f, 0.0f);
        if (tracing()) {
          trace_pair("NEW OFFSET SEQ (Reg1/0) (5) -> (0)", f);
          trace_remain(f);
          trace("    idx_corr_precalc: %f, Next_crs act wpt: %f, cs_dr_idx_corr2: %f\n",
                static_cast<double>(capture_command(in.ctr1_lat, in.ctr1_lon, r1, in.turn1)),
                static_cast<double>(next), static_cast<double>(corr2));
        }
      }
    } else {
      float c = 0.0f;
      if (togo < 0.1f || (togo < a_dist && own_turn_capture(f, corr2, true, &c))) {
        f.seq = true;
        trace_turn("NEW OFFSET SEQ (Reg1/1) (5) -> (5)", f);
        trace("    Precalc crs: %f, Idx_corr2: %f\n", static_cast<double>(c), static_cast<double>(corr2));
      }
    }
  } else if (region == kRegionFirstArc && sub == 2 && mode == 5.0f) {
    // The wings roll through level from one arc's bank to the other's (at
    // the autopilot's 5 degrees a second): begun half that roll before the
    // arcs meet, the track flown straddles the corner where they touch. Begun
    // there, the aircraft fell 0.17 nm behind a short second arc.
    const float bank = lnav_bank_for_circle(r1, ground_speed_kt());
    const float half_reversal = half_roll_nm(bank, bank);
    bool due = togo < std::fmax(0.1f, half_reversal);
    float c = 0.0f;
    if (!due && togo < a_dist * 0.4f) {
      // Leaving the first arc for the second where the two arcs meet.
      const float meet = gc_bearing(in.ctr3_lat, in.ctr3_lon, in.ctr1_lat, in.ctr1_lon);
      const bool left3 = navmath::is_left_turn_f(in.turn3);
      const float tangent = std::fmod(meet + (left3 ? 270.0f : 90.0f), 360.0f);
      c = capture_command(in.ctr3_lat, in.ctr3_lon, r1, in.turn3);
      due = release_due(in.ctr3_lat, in.ctr3_lon, r1, in.turn3, corr2, tangent) && turn_side(c, corr2, in.turn3);
    }
    if (due) {
      arm(f, 9.0f);
      trace("NEW OFFSET SEQ (Reg1/1) (5) -> (9): %d <%s> -> %d <%s>  TURN: %f\n", f.i, ident(f.i), f.n, ident(f.n),
            static_cast<double>(at(legs_turn, f.i)));
      trace("    Precalc crs: %f, Idx_corr2: %f\n", static_cast<double>(c), static_cast<double>(corr2));
    }
  } else if (region == kRegionFirstArc && sub == 3 && mode == 5.0f) {
    if (togo < 0.1f ||
        (togo < lead && entry_arc && release_due(in.ctr1_lat, in.ctr1_lon, r1, in.turn1, corr2, in.seg2_crs))) {
      arm(f, 6.0f);
      trace_pair("NEW OFFSET SEQ (Reg1/3) (5) -> (6)", f);
      trace_remain(f);
    }
  } else if (region == kRegionBetweenArcs && mode == 6.0f) {
    if (togo < 0.1f || (togo < a_dist && capture_due(in.ctr3_lat, in.ctr3_lon, in.r3, in.turn3, corr))) {
      arm(f, 9.0f);
      trace_pair("NEW OFFSET SEQ (Reg1/3) (6) -> (9)", f);
      trace_remain(f);
    }
  } else if (region == kRegionSecondArc && mode == 9.0f) {
    if (straight_follows) {
      // The arc is flown as the arc to where the roll-out onto the leg
      // begins, its last lead distance, as the first arc is. Handed over
      // anywhere within a_dist while the leg's course still lay ahead, a
      // second arc shorter than that (an S-turn laid from where the aircraft
      // is after a route change) went over as it was entered, and the whole
      // arc was flown on the straight law, past the leg.
      if (togo < a_dist && togo < std::fmax(lead, 0.1f)) {
        arm(f, 0.0f);
        trace_pair("NEW OFFSET SEQ (Reg1/0) (9) -> (0)", f);
        trace_remain(f);
      }
    } else {
      float c = 0.0f;
      const float to_start = gc_distance_nm(ac_lat(), ac_lon(), in.s1_start_lat, in.s1_start_lon);
      if (togo < 0.1f || (togo < 1.5f && to_start < clamp_range(legs_seg1_radius[i], 0.0f, 20.0f) &&
                          own_turn_capture(f, corr2, true, &c))) {
        f.seq = true;
        trace_turn("NEW OFFSET SEQ (Reg1/1) (9) -> (5)", f);
        trace("    Precalc crs: %f, Idx_corr2: %f\n", static_cast<double>(c), static_cast<double>(corr2));
      }
    }
  } else if ((region == kRegionStraightAfterSecondArcToTurn || region == kRegionFirstArcToTurn || region == kRegionStraightToTurn || region == kRegionSecondArcToTurn) && mode == 0.0f) {
    float c = 0.0f;
    if (togo < 0.02f) {
      f.seq = true;
      trace_turn("NEW OFFSET SEQ AA (Reg9-10-12) (0) -> (5)", f);
      trace("    Precalc crs: %f, Idx_corr: %f\n", static_cast<double>(c), static_cast<double>(corr));
    } else if (togo < clamp_range(legs_seg1_radius[i], 0.0f, 20.0f) && legs_type[i] != 5.0f && legs_type[i] != 6.0f &&
               straight_sent() && own_turn_capture(f, corr, false, &c)) {
      f.seq = true;
      trace_turn("NEW OFFSET SEQ (Reg9-10-12) (0) -> (5)", f);
      trace("    Precalc crs: %f, Idx_corr: %f\n", static_cast<double>(c), static_cast<double>(corr));
    }
  } else if ((region == kRegionFirstArcToWaypoint || region == kRegionStraightToWaypoint || region == kRegionSecondArcToWaypoint) && mode == 0.0f) {
    if (legs_type[i] != 5.0f && legs_type[i] != 6.0f) {
      if (!is_arc_leg(n)) {
        if (togo < 0.5f) {
          f.seq = true;
          trace_pair("NEW OFFSET SEQ (Reg7-8-11) (0) -> (0) FB WPT", f);
          trace("    Precalc crs: %f, Idx_corr: %f\n", 0.0, static_cast<double>(corr));
        }
      } else if (togo < clamp_range(at(legs_radius, n), 0.0f, 1.5f)) {
        const float c = capture_command(at(legs_rad_lat, n), at(legs_rad_lon, n), at(legs_radius, n),
                                        at(legs_rad_turn, n));
        if (straight_sent() && turn_side(corr, c, at(legs_rad_turn, n))) {
          f.seq = true;
          trace_turn("NEW OFFSET SEQ (Reg7-8-11) (0) -> (AF/RF)", f);
          trace("    Precalc crs: %f, Idx_corr: %f\n", static_cast<double>(c), static_cast<double>(corr));
        }
      }
    }
  } else if (region == kRegionOwnTurn) {
    f.seq = true;
    trace("NEW OFFSET SEQ (Reg5) (0) -> (?) FO WPT: %d <%s> -> %d <%s>\n", i, ident(i), n, ident(n));
  }
}

// A climb leg ends at its altitude, inside the turn onto it too (and a leg
// to a DME distance at that distance, the same way): held to the
// end of that turn, the aircraft would climb on past the altitude and then
// roll back against the turn to reach the next leg's turn, laid from the
// climb's end behind it. The next leg is taken at once, active and
// sequenced, and its turn laid from where the aircraft is, on from the turn
// being flown when the two go the same way round, or when the next leg is
// reached that way round within half a circle. A turn onto the leg laid
// as an S-turn ends so in its straight back and its second arc too (flown
// in mode 6, 9, or 0 once the roll-out onto the leg is armed): held, the
// aircraft rolled out onto the climb's course and then came back round a
// loop of well over half a circle to the next leg. From there the next
// turn is laid from the aircraft only where it is less than half a circle
// that way round; where the next leg lies the other way its turn stays as
// built.
bool end_climb_in_turn(const SeqFrame& f) {
  const int32_t i = f.i;
  if (!is_alt_term_leg(i) && !type_is(i, "VD") && !type_is(i, "CD")) return false;
  const float mode = fms_seq.nav_mode;
  const int32_t region = route_track.region;
  const bool first_arc = mode == 5.0f && (region == kRegionFirstArc || region == kRegionFlyByTurn);
  const bool s_turn_rest =
      (mode == 6.0f || mode == 9.0f || mode == 0.0f) && (region == kRegionBetweenArcs || region == kRegionSecondArc);
  if (!first_arc && !s_turn_rest) return false;
  if (is_alt_term_leg(i) ? mirror_f(bound::sim_cockpit2_gauges_indicators_altitude_ft_pilot) < legs_alt_rest1[i]
                         : !dme_reached(i))
    return false;
  const int32_t n = next_sequencing_leg(i);
  if (n == i || n < 0) return false;
  const bool same_way =
      first_arc && navmath::is_left_turn_f(f.in.turn1) == navmath::is_left_turn_f(legs_seg1_turn[i]);
  if (fms_seq.vnav_idx < static_cast<float>(n + 1)) {
    fms_seq.vnav_idx = static_cast<float>(n + 1);
    publish_vnav_idx();
  }
  advance_sequencing_leg();
  trace("NEW OFFSET SEQ (ALT): %d <%s> - altitude or distance reached in the turn onto it\n", i, ident(i));
  if (fms_seq.nav_mode == 5.0f && legs_radii_radius[i] > 0.0f) {
    if (same_way || s_turn_rest) {
      end_turn_from_aircraft(i, same_way ? 360.0f : 180.0f);
    } else if (first_arc) {
      // The turn built at the climb's end goes the other way, from a course
      // the aircraft has not reached: the turn in progress is carried on
      // where it reaches the next leg within half a circle. Further round
      // than that, the next leg is turned to the short way, from here: left
      // as built from the climb's old end, the path lay miles off and the
      // aircraft looped back to it.
      const float built = legs_seg1_turn[i];
      const float flown = f.in.turn1;
      legs_seg1_turn[i] = flown;
      if (!end_turn_from_aircraft(i, 180.0f)) {
        legs_seg1_turn[i] = static_cast<float>(navmath::is_left_turn_f(flown) ? kTurnRight : kTurnLeft);
        if (!end_turn_from_aircraft(i, 180.0f)) legs_seg1_turn[i] = built;
      }
    }
  }
  return true;
}

// The aircraft has left the fly-by turn without the pieces sequencing it
// (mode 5, nothing armed): set the mode from its side of the turn.
void direction_recheck(const SeqFrame& f) {
  const PathIn& in = f.in;
  const bool left = in.turn1 == static_cast<float>(kTurnLeft);
  const double lat = ac_lat();
  const double lon = ac_lon();
  const float radial_e = gc_bearing(in.ctr1_lat, in.ctr1_lon, in.s1_end_lat, in.s1_end_lon);
  const float t = std::fmod(radial_e + (left ? 270.0f : 90.0f), 360.0f);
  const auto near = [](float a, float b) { return crs_within_90(b, a); };

  const float pos1 = gc_bearing(in.s1_end_lat, in.s1_end_lon, lat, lon);
  const bool st1 = near(pos1, t);
  bool st4 = false;
  float pos4 = 0.0f;
  float ref4 = 0.0f;
  if (route_track.sub_region == 1) {
    gc_destination(in.ctr1_lat, in.ctr1_lon, radial_e + (left ? 10.0f : 350.0f), in.r1);
    const double q_lat = nav_result.lat;
    const double q_lon = nav_result.lon;
    pos4 = gc_bearing(q_lat, q_lon, lat, lon);
    ref4 = std::fmod(gc_bearing(in.ctr1_lat, in.ctr1_lon, q_lat, q_lon) + (left ? 270.0f : 90.0f), 360.0f);
    st4 = near(pos4, ref4);
  }
  const float radial = gc_bearing(in.ctr1_lat, in.ctr1_lon, lat, lon);
  const float k1 = std::fmod(t + (left ? 45.0f : 315.0f), 360.0f);
  const float k2 = std::fmod(k1 + (left ? 45.0f : 315.0f), 360.0f);
  const bool st3 = near(radial, k1);
  const bool st5 = near(radial, k2);
  const float pos2 = gc_bearing(at(legs_lat, f.i), at(legs_lon, f.i), lat, lon);
  const float ref2 = std::fmod(magvar_course(f.n) + 180.0f, 360.0f);
  const bool st2 = near(pos2, ref2);
  // A first arc of more than half a circle ends on a radial less than half a
  // circle from its start, so these states also hold at its start: it is left
  // only once the aircraft has been round its far half.
  const float radial_s = gc_bearing(in.ctr1_lat, in.ctr1_lon, in.s1_start_lat, in.s1_start_lon);
  const float span = std::fabs(course_diff_dir(radial_s, radial_e, left ? kTurnLeft : kTurnRight));
  if (span > 180.0f) {
    const float flown = std::fabs(course_diff_dir(radial_s, radial, left ? kTurnLeft : kTurnRight));
    if (flown >= 0.5f * span && flown <= span) long_arc_half_slot = f.i;
    if (long_arc_half_slot != f.i) return;
  }
  if (!((st1 || st4) && st2 && st3 && st5)) return;

  if (is_arc_leg(f.i)) {
    fms_seq.nav_mode = 4.0f;
    publish_nav_mode();
    trace("OFFSET SEQ (5) WPT %d <%s> -> INIT Nav Mode (D) (4)\n", f.i, ident(f.i));
  } else {
    const int32_t sub = route_track.sub_region;
    if (sub == 1) fms_seq.nav_mode = 0.0f;
    else if (sub == 2) fms_seq.nav_mode = 9.0f;
    else if (sub == 3) fms_seq.nav_mode = 6.0f;
    publish_nav_mode();
    trace("OFFSET SEQ (5) WPT %d <%s> -> INIT Nav Mode (E) (0)\n", f.i, ident(f.i));
  }
  if (!tracing()) return;
  if (st1) trace("   - dir_crs_state1: TRUE   Pos crs: %f, Act crs: %f\n", static_cast<double>(pos1), static_cast<double>(t));
  if (st2) trace("   - dir_crs_state2: TRUE   Pos crs: %f, Act crs: %f\n", static_cast<double>(pos2), static_cast<double>(ref2));
  if (st3) trace("   - dir_crs_state3: TRUE   Pos crs: %f, Act crs: %f\n", static_cast<double>(radial), static_cast<double>(k1));
  if (st4) trace("   - dir_crs_state4: TRUE   Pos crs: %f, Act crs: %f\n", static_cast<double>(pos4), static_cast<double>(ref4));
  trace("   - dir_crs_state5: TRUE   Pos crs: %f, Act crs: %f\n", static_cast<double>(radial), static_cast<double>(k2));
}

// Along an arc of more than half a circle its end radial lies less than
// half a circle from its start, so the passage's half planes hold on its
// first part too: such an arc is passed only over its last quarter circle
// or beyond its end. Of the gap outside the arc, the half after its end is
// beyond it and the half before its start short of it.
bool short_of_long_arc_end(int32_t i) {
  if (!is_arc_leg(i)) return false;
  const int code = navmath::is_left_turn_f(legs_rad_turn[i]) ? kTurnLeft : kTurnRight;
  const float span = std::fabs(course_diff_dir(legs_af_beg[i], legs_af_end[i], code));
  if (!(span > 180.0f)) return false;
  const float radial = gc_bearing(legs_rad_lat[i], legs_rad_lon[i], ac_lat(), ac_lon());
  float swept = std::fabs(course_diff_dir(legs_af_beg[i], radial, code));
  if (swept > span + (360.0f - span) * 0.5f) swept -= 360.0f;
  return swept < span - 90.0f;
}

// Straight or arc legs (modes 4, 0, 3) without a region decision: the
// sequencing waypoint is passed when the aircraft is beyond it and behind the
// next one.
void passage_test(const SeqFrame& f) {
  const int32_t i = f.i;
  const int32_t n = f.n;
  const float mode = fms_seq.nav_mode;
  const int32_t region = route_track.region;
  const double lat = ac_lat();
  const double lon = ac_lon();
  const bool intercept = route_change_values.intdir_crs != -1.0f && fms_seq.intdir_act == 2.0f;
  const float leg_crs = magvar_course(i);
  const bool h = crs_within_90(leg_crs, heading_ref());
  const double ref_lat = intercept ? at(legs_lat, i) : at(legs_seg1_start_lat, i);
  const double ref_lon = intercept ? at(legs_lon, i) : at(legs_seg1_start_lon, i);
  const bool beyond_ref = crs_within_90(leg_crs, gc_bearing(ref_lat, ref_lon, lat, lon));
  const bool needs_heading = mode == 4.0f || (mode == 0.0f && (region == kRegionFirstArcToWaypoint || region == kRegionStraightToWaypoint || region == kRegionSecondArcToWaypoint)) || intercept;
  bool start = false;
  if (needs_heading) start = h && beyond_ref;
  else if (mode == 3.0f) start = beyond_ref;
  const bool behind_next = crs_within_90(std::fmod(magvar_course(n) + 180.0f, 360.0f),
                                         gc_bearing(at(legs_lat, n), at(legs_lon, n), lat, lon));

  if (hold_seq_latch != 0) {
    advance_sequencing_leg();
    trace("NEW OFFSET SEQ (D): %d <%s> - HOLD fix pased \n", i, ident(i));
  } else if (short_of_long_arc_end(i)) {
    return;
  } else if (start && behind_next) {
    advance_sequencing_leg();
    trace("NEW OFFSET SEQ (D): %d <%s> - Condition START and WPT \n", i, ident(i));
  } else if (mode == 4.0f && !is_arc_leg(i + 1) && legs_radii_radius[i] == 0.0f && h &&
             route_track.abeam_dist < 1.5f) {
    // An arc leg ending without a turn: passed where its roll-out begins.
    const bool left = navmath::is_left_turn_f(legs_rad_turn[i]);
    const double x_lat = legs_rad_lat[i];
    const double x_lon = legs_rad_lon[i];
    const float lead = legs_radius[i] > 0.0f ? navmath::deg(arc_rollout_lead(i) / legs_radius[i]) : 0.0f;
    const float b = std::fmod(gc_bearing(x_lat, x_lon, legs_lat[i], legs_lon[i]) + (left ? lead : 360.0f - lead), 360.0f);
    gc_destination(x_lat, x_lon, b, legs_radius[i]);
    const double q_lat = nav_result.lat;
    const double q_lon = nav_result.lon;
    const float tangent = std::fmod(gc_bearing(x_lat, x_lon, q_lat, q_lon) + (left ? 270.0f : 90.0f), 360.0f);
    if (behind_next && crs_within_90(tangent, gc_bearing(q_lat, q_lon, lat, lon))) {
      advance_sequencing_leg();
      trace("NEW OFFSET SEQ (E): %d <%s> - AF/RF 5(12) degrees to final crs WPT 1 \n", i, ident(i));
    }
  }
}

}  // namespace

void sequence_legs() {
  FmsSequenceState& s = fms_seq;
  if (s.nav_mode != 5.0f) long_arc_half_slot = -1;
  if (s.vnav_idx_seq <= 1.0f) return;
  SeqFrame f{};
  load_frame(f);
  if (f.i < 0) return;
  if (ident_is(f.i, "DISCONTINUITY") && s.intdir_act == 0.0f) return;
  if (on_ground != 0) return;

  if (s.nav_mode == 3.0f && s.hold_term > 1.0f && prev_hold_phase == 0.0f && s.hold_phase == 1.0f) hold_seq_latch = 1;
  prev_hold_phase = s.hold_phase;

  const float mode = s.nav_mode;
  const bool open = (mode != 2.0f && mode != 3.0f && mode != 7.0f) ||
                    (mode == 3.0f && s.hold_term > 1.0f && s.hold_phase == 0.0f && route_track.region == 300) ||
                    (mode == 3.0f && hold_seq_latch != 0) || (mode == 7.0f && s.pi_phase == 7.0f);

  if (mode == 2.0f || mode == 3.0f || mode == 7.0f) {
    if (s.vnav_idx < s.vnav_idx_seq) {
      s.vnav_idx_seq = s.vnav_idx;
      trace("Switched back offset_seq (E)\n");
      load_frame(f);
      if (f.i < 0) {
        publish_seq_leg();
        return;
      }
    }
    publish_seq_leg();
  }

  // Below its altitude a climb leg does not end: nothing moves the sequencing
  // leg past it. The turn onto it is flown all the same, to its end, so the
  // leg's heading or course is held until the altitude.
  const bool end_held = is_alt_term_leg(f.i) &&
                        mirror_f(bound::sim_cockpit2_gauges_indicators_altitude_ft_pilot) < legs_alt_rest1[f.i];
  if (!open) return;
  if (end_climb_in_turn(f)) return;

  if (!end_held && bypassed(f.i)) {
    s.vnav_idx_seq = static_cast<float>(next_sequencing_leg(f.i) + 1);
    publish_seq_leg();
    const int32_t a = active_slot();
    trace("NEW OFFSET SEQ (B): %d <%s> - Bypassed wpt0\n", a, ident(a));
    return;
  }

  bool decide = true;
  if (!end_held && s.vnav_idx_seq < s.vnav_idx) {
    s.vnav_idx_seq = s.vnav_idx;
    const int32_t a = active_slot();
    if (bypassed(a)) s.vnav_idx_seq = static_cast<float>(next_sequencing_leg(a) + 1);
    init_nav_mode(seq_slot());
    publish_seq_leg();
    trace("NEW OFFSET SEQ (C): %d <%s> - Offset seq lower than Offset\n", seq_slot(), ident(seq_slot()));
    load_frame(f);
    if (f.i < 0) return;
    decide = false;
  }
  if (decide) region_decision(f);
  if (end_held) f.seq = false;

  // Lateral offset: its start waypoint is left once the turn onto the offset
  // track begins.
  if (!end_held && s.legs_offset_act == 7.0f && s.vnav_idx_seq == route_change_values.legs_offset_start) {
    const float d = gc_distance_nm(ac_lat(), ac_lon(), at(legs_lat, f.i), at(legs_lon, f.i));
    if (d < 0.4142136f * turn_radius_nm(22.0f, ground_speed_kt())) {
      s.legs_offset_act = 6.0f;
      script_set_finite_f(bound::zuvadud_D738_fms_legs_offset_act, s.legs_offset_act);
      offset_pass_flag = 0;
    }
    f.seq = false;
  }

  const float m = s.nav_mode;
  if (m == 5.0f) {
    const float v = ground_speed_kt();
    const float capture = v < 170.0f ? 0.02f : (v > 300.0f ? 0.5f : (v - 170.0f) * 0.48f / 130.0f + 0.02f);
    const float d = gc_distance_nm(ac_lat(), ac_lon(), at(legs_lat, f.i), at(legs_lon, f.i));
    if (d < capture && !end_held) {
      trace_pair("NEW OFFSET SEQ (Distance to WPT) (5)", f);
      trace("    Distance to WPT: %f, Distance threeshold: %f\n", static_cast<double>(d), static_cast<double>(capture));
      advance_sequencing_leg();
    } else if (f.seq) {
      advance_sequencing_leg();
    } else if (f.arm) {
      s.nav_mode = is_arc_leg(f.i) ? (f.in.r1 == 0.0f ? 4.0f : 10.0f) : f.target;
      publish_nav_mode();
      trace("OFFSET SEQ (5,9) WPT %d <%s> -> INIT Nav Mode (H) (%f)\n", f.i, ident(f.i), static_cast<double>(s.nav_mode));
    } else {
      direction_recheck(f);
    }
  } else if (m == 4.0f || m == 0.0f || m == 3.0f) {
    if (f.seq) advance_sequencing_leg();
    else if (!end_held) passage_test(f);
  } else if (m == 6.0f && f.arm) {
    s.nav_mode = is_arc_leg(f.i) ? 4.0f : f.target;
    publish_nav_mode();
    trace("OFFSET SEQ (6) %d <%s> -> INIT Nav Mode (F) (%f)\n", f.i, ident(f.i), static_cast<double>(s.nav_mode));
  } else if (m == 9.0f && f.arm) {
    s.nav_mode = f.target;
    publish_nav_mode();
    trace("OFFSET SEQ (9) %d <%s> -> INIT Nav Mode (I) (%f)\n", f.i, ident(f.i), static_cast<double>(s.nav_mode));
  } else if (m == 10.0f && f.arm) {
    s.nav_mode = f.target;
    publish_nav_mode();
    trace("OFFSET SEQ (10) %d <%s> -> INIT Nav Mode (J) (%f)\n", f.i, ident(f.i), static_cast<double>(s.nav_mode));
  }
}
