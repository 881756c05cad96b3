// Shared frame of one leg path builder pass: the work values every stage of
// the builder reads and writes, and the small helpers they share (slot
// checks, route string tests, angle wraps, trace lines). Only the builder's
// own source files include this.
#pragma once

#include <cstdint>

#include "core/units.h"
#include "core/util.h"
#include "lnav/route/fms_legs.h"
#include "lnav/route/route_state.h"
#include "lnav/route/route_intake.h"
#include "navdata/geodesy.h"
#include "navdata/nav_math.h"

// Work values of one call of the builder (degrees true, nm).
struct LegPassFrame {
  int32_t i;                // waypoint whose transition is built
  int32_t j;                // next waypoint (advanced past bypassed ones)
  float xact_crs;           // course into i
  float xnext_crs;          // course out of i
  float xnext_rel_brg;      // signed change, (-180, 180], +-180 as +-179
  float xabs_next_rel_brg;  // its magnitude
  float xsupp_angle;        // 180 - magnitude (1 when 0)
  float xdf_crs;            // course from the DF turn to the DF fix; -1 none
  int32_t enable_calc_turn; // transition class
  int32_t disable_calc;     // 0, 1 (flown over), 2 (already built)
  int32_t af_exit_flag;
};
extern LegPassFrame leg_pass;

namespace legpath {

// A point of the constructions, degrees, and the great-circle steps between
// points that every stage of the builder takes.
struct Pt {
  double lat;
  double lon;
};
// Slot k's waypoint; (0, 0) for a slot outside the tables.
inline Pt wpt(int32_t k) { return leg_slot_ok(k) ? Pt{legs_lat[k], legs_lon[k]} : Pt{0.0, 0.0}; }
inline Pt dest(Pt a, double course, double d) {
  gc_destination(a.lat, a.lon, course, d);
  return {nav_result.lat, nav_result.lon};
}
inline float brg(Pt a, Pt b) { return gc_bearing(a.lat, a.lon, b.lat, b.lon); }
inline float dist(Pt a, Pt b) { return gc_distance_nm(a.lat, a.lon, b.lat, b.lon); }

// Stores point p into leg slot k of a per-leg latitude and longitude pair,
// rounded to the tables' float; nothing for a slot outside the tables.
inline void store_pt(float (&lat)[256], float (&lon)[256], int32_t k, Pt p) {
  if (!leg_slot_ok(k)) return;
  lat[k] = static_cast<float>(p.lat);
  lon[k] = static_cast<float>(p.lon);
}

// Course remainder by 360 into [0, 360), in double.
inline double c360(double x) { return navmath::rem360(navmath::rem360(x) + 360.0); }
// The same rounded to float, as the turn centres keep their angles.
inline float c360_f(double x) { return static_cast<float>(c360(x)); }

// Forgets where leg k's waypoint splits its first arc.
inline void clear_arc_split(int32_t k) {
  if (!leg_slot_ok(k)) return;
  legs_seg1_arc_lenght[k] = 0.0f;
  legs_wpt_angle[k] = 0.0f;
  legs_wpt_arc_dist[k] = 0.0f;
}

// Index of the last route entry: trunc(legs_num) within 0..255; NaN gives 0.
int32_t last_entry();

// Route strings of leg k; an empty text for a slot outside the tables.
const RouteText& wpt_id(int32_t k);
const RouteText& path_type(int32_t k);
const RouteText& prev_path_type(int32_t k);

inline bool id_is(int32_t k, const char* s) { return route_text_is(wpt_id(k), s); }
inline bool pt_is(int32_t k, const char* s) { return route_text_is(path_type(k), s); }
inline bool prev_pt_is(int32_t k, const char* s) { return route_text_is(prev_path_type(k), s); }
inline bool pt_starts(int32_t k, const char* s) { return route_text_starts(path_type(k), s); }
bool id_is_gap(int32_t k);      // "DISCONTINUITY" or "(VECTOR)"
bool id_is_runway(int32_t k);   // begins with "RW"
bool pt_is_arc(int32_t k);      // "AF" or "RF"
bool pt_is_hold(int32_t k);     // "HM", "HA" or "HF"
bool pt_is_intercept(int32_t k);// "CI" or "VI"
bool pt_is_course(int32_t k);   // begins with "C" or "V"
bool climb_below_altitude(int32_t k);  // "CA", "VA" or "FA" not yet at its altitude

// Courses are wrapped in double and stored as float: angle::wrap360_d
// (fmod(x + 360, 360)) and angle::wrap180_d (folded to (-180, 180]), in
// core/util.h.
// Folded, with exactly +-180 taken as +-179 (a reversal is turned one way).
float wrap179(double x);
// |a| folded to 0..180.
float fold_abs(double x);

// Course crossings on the sphere find none for two points on one meridian
// (longitudes equal once rounded to single precision, as the crossing takes
// them), which would lose every construction off a due-north or due-south
// course. Before such a crossing one of the points is moved 0.01 nm along its
// own course (the same line, so the same crossing): b unless that leaves it
// on the meridian, else a.
void off_meridian(double& a_lat, double& a_lon, double a_crs, double& b_lat, double& b_lon, double b_crs);

// Trace line when fms_debug_selector equals `selector`.
void trace(float selector, const char* fmt, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 2, 3)))
#endif
    ;
bool tracing(float selector);

// Copies turn_center_result into slot k's transition fields and sets the
// turn side.
void store_turn_center(int32_t k, int32_t side);
// Arc-length split of slot k's first arc around its waypoint (the fly-by
// rule: an arc that starts past the waypoint's radial is measured from it).
void split_arc_at_waypoint(int32_t k);
// Clears i's transition to a straight toward i + 1.
void straight_transition(int32_t k, float remain_nm);

// True distance of waypoint n computed in the pass of s; arc_rule leaves the
// straight out for a waypoint that ends an arc leg.
void true_distance(int32_t s, int32_t n, bool arc_rule);

// Stages.
// The next leg's course into the pass frame (xnext_crs and the change from
// xact_crs), from the leg table as it stands.
void set_next_course(int32_t i);
// The pass's next course `c` (true) and the turn it makes from the present one.
void take_next_course(float c);
void floating_legs_stage();   // recomputed end points and hand-back
// DF course from the turn at i; returns true when a bypass must start.
bool df_course_stage();
// Where a turn about `centre` (radius r, left or right) first points at
// `fix`: false where the fix lies inside the circle.
bool turn_tangent_to_fix(Pt centre, float r, bool left, Pt fix, Pt& tp);
// A leg's course read at `at`, carried to `from` as its angle to the way
// between them: the course the leg holds in from's own frame, where a turn
// laid from `from` can take it (see OwnFrameTurns).
float course_carried_to(Pt from, Pt at, float crs);
// Bypass search from waypoint s. entry: 0 DF turn, 1 failed connection 6,
// 2 failed connection 5 in calc mode 1, 3 in calc mode 2. Returns the waypoint
// joined to s, or -1 when the bypass was cancelled.
int32_t bypass_search(int32_t s, int32_t entry, int32_t side);
// Fly-by connections 1, 5, 6. Returns the waypoint the pass continues with.
int32_t flyby_connection(int32_t conn);
// Arc leg searches and connections (classes 3, 4, 2).
int32_t arc_entry_search();
int32_t arc_exit_search();
int32_t arc_connection(int32_t cls);
// Arc set-up of leg k from the pass of k - 1 (next) or of k itself.
void arc_setup(int32_t k, bool from_previous);
// Direct-to build; returns the waypoint the route pass continues with.
int32_t direct_to_stage(int32_t i);
// Entry path into the hold at s + 1 (nothing unless leg s + 1 is a hold).
void hold_entry_stage(int32_t s);

}  // namespace legpath
