// Route path state that is not published: the per-leg work values of the
// computed path, the direct-course flags, the direct-to path's own fields,
// the two script-held display routes and the direct-to turn end of the
// modified route, plus the forward walk over bypassed legs.
//
// Written by the path builder, the route intake and the direct-to code; read
// by the route geometry queries and the display. Per-leg arrays are indexed by
// leg number 0..255; callers check the index against the array.
#pragma once

#include <cstdint>

#include "core/util.h"

constexpr int32_t route_leg_capacity = 256;

// Whether k names one of the per-leg slots: the check before any per-leg
// array is indexed with a leg number worked out from a route count or index.
inline bool leg_slot_ok(int32_t k) { return k >= 0 && k < route_leg_capacity; }

// 0-based leg of a 1-based script leg number; -1 before the route, 256 past
// the tables.
inline int32_t leg_of(float one_based) { return trunc_clamped(one_based - 1.0f, -1, route_leg_capacity); }

// Slot of a 1-based leg number held as a float; -1 for any number that names
// no slot (past the tables as well as before them).
inline int32_t slot_of(float leg_number) {
  const double k = static_cast<double>(leg_number) - 1.0;
  if (!(k > -1.0 && k < 256.0)) return -1;
  return static_cast<int32_t>(k);
}

// A per-leg value, or 0 for a leg number outside the tables.
inline float at(const float (&a)[256], int32_t k) { return leg_slot_ok(k) ? a[k] : 0.0f; }

// Per-leg work values of the computed path (nm and degrees).
extern float legs_wpt_angle[256];        // radial from the first arc's centre through the waypoint
extern float legs_wpt_arc_dist[256];     // arc length from the first arc's start to that radial
extern float legs_seg1_dta[256];         // turn anticipation distance of the first arc
extern float legs_seg1_arc_lenght[256];  // first arc length
extern float legs_seg2_distance[256];    // straight length
extern float legs_seg3_arc_lenght[256];  // second arc length
extern float legs_seg_remain_dist[256];  // from the transition's end to the next waypoint
extern float legs_af_arc_dist[256];      // length of an arc leg's own arc

// 1.0: the leg is computed as a direct course (the direct-to target); 2.0:
// flown as a direct course from the present position on an intercept course.
extern float legs_direct[256];
// The route pass's name for the same per-leg direct-to marks.
inline float (&direct_to_flags)[256] = legs_direct;

// Direct-to path fields beyond the published dir_seg* values.
extern float dir_start_lat;   // degrees, direct-to start (aircraft position)
extern float dir_start_lon;
extern float dir_init_crs;    // degrees true, initial course
inline float& dir_start_hdg_true = dir_init_crs;  // the route pass's name for it
extern float dir_seg1_dta;    // nm
extern float dir_seg1_arc_lenght;
extern float dir_seg2_distance;
extern float dir_seg3_arc_lenght;
extern float dir_seg_remain_dist;
extern float dir_wpt_angle;   // degrees
extern float dir_wpt_arc_dist;

// A route the scripts hold for the displays: index 0 the second route table
// ("legs_lat_2", count "legs_num2", the captain's), 1 the third ("_3", the
// first officer's).
// Every field is the scripts' per-leg array of the same name with suffix
// "_2" / "_3" ("legs_brg_true_2" ...), taken in when they raise
// "legs_change2" / "legs_change3" (lnav/route/route_sets.h).
struct DisplayRoute {
  float count;                 // waypoint count ("legs_num2"), 0..255
  float lat[256];              // degrees
  float lon[256];
  float main_leg[256];         // "legs_idx": main-route leg number + 1, 0 when none
  float brg_true[256], brg_mag[256], brg_fin_true[256];
  float dist[256];             // nm
  float radius[256], rad_lat[256], rad_lon[256], rad_turn[256];
  float wpt_type[256];
  float spd[256];              // kt, or Mach below 1
  float crs_mag[256];          // degrees
  float hold_time[256];        // s
  float hold_dist[256];        // nm
  float before[256], offset[256], offset_lat[256], offset_lon[256];
  // Derived at intake for hold legs at or after the set's active leg, else 0.
  float hold_len[256];         // nm, straight leg
  float hold_radius[256];      // nm, turn radius
};
extern DisplayRoute display_routes[2];
// The same two routes by the names the route pass gives them.
inline DisplayRoute& route_set2 = display_routes[0];
inline DisplayRoute& route_set3 = display_routes[1];
// Which display route a pending modification is on: 0 the second table, 1 the
// third (set by the direct-to turn of the modified route).
extern float display_route_mod_sel;

// End point of the direct-to turn of the modified route, the copies that
// intdir_turn keeps of "intdir_end_lat_mod" and "intdir_end_lon_mod".
extern float intdir_end_lat_mod;
extern float intdir_end_lon_mod;

// First leg after i whose bypass flag is not 1.0; the last route index when i
// is at or beyond the last computed leg or the search runs past it.
int32_t next_valid_leg(int32_t i);
// The leg the sequencing leg moves on to from i: next_valid_leg, but never
// the destination entry after the last counted leg, whose leg the route does
// not fly (the route ends at the last counted waypoint); i itself when there
// is no counted leg after it.
int32_t next_sequencing_leg(int32_t i);
