// The route pass's map products beside the active route: the scripts' second
// and third routes (taken in when they raise "legs_change2" /
// "legs_change3"), the vertical-profile marker positions of the active and
// the modified route, and the abeam points of a route modification.
//
// The two routes land in display_routes (lnav/route/route_state.h, alias
// route_set2 / route_set3) and in the second and third route text tables
// (route_tables, lnav/route/route_intake.h). Reads the scripts' "zuvadud/D738/fms/"
// values through their handles; writes back the change flags, the abeam
// results ("legs_abeam_lat2", "legs_abeam_lon2", "legs_abeam_dist",
// "legs_abeam_avail").
#pragma once

#include <cstdint>

// ---- second and third routes ------------------------------------------------------------

// Offset route of the modification: taken with the second route (the third
// re-reads the first four).
struct ModRouteOffsets {
  float legs_offset_act_mod;
  float legs_offset_start_mod;
  float legs_offset_end_mod;
  float legs_offset_start_t_mod;
  float latx_mod[4];  // "legs_offset_latx_1_mod" .. "_4_mod", degrees
  float lonx_mod[4];
};
extern ModRouteOffsets mod_route_offsets;

// "legs_mod_active" as it stood when the second route was last taken in; the
// display compares it with the current value to see a modification end.
extern float legs_mod_active_at_decode;

// Takes in set 0 ("_2", second route) or 1 ("_3", third route) as its change
// flag copy asks: 0 nothing, 2 the set was cleared (count 0, nothing read),
// anything else a new route. Answers by writing 0 to the flag.
void take_route_set(int32_t set);

// Hold figures of a second / third route hold leg from the leg's speed (kt,
// 0 taken as 200, below 1 as 260), hold time (s) and hold distance (nm), and
// the altitude the hold layout took this frame (ft): the straight leg length
// and the turn radius, both nm.
struct RouteSetHold {
  float len_nm;
  float radius_nm;
};
RouteSetHold route_set_hold(float spd, float hold_time_s, float hold_dist_nm, float alt_ref_ft);

// ---- vertical-profile markers -----------------------------------------------------------

struct MarkerPos {
  float lat;  // degrees; 0/0 where the route has no such point
  float lon;
};
// Each marker keeps its last position while the scripts report no index.
struct VnavMarkerPositions {
  MarkerPos tc, td, td2, decel, fl100, fl100_2;             // active route
  MarkerPos tc_mod, td_mod, decel_mod, fl100_mod, fl100_2_mod;  // modified route
};
extern VnavMarkerPositions vnav_markers;

// The six markers of the active route, on its computed path; logs them under
// the debug selector 7777.
void place_active_profile_markers();
// The five markers of the modified route, on the second or third route
// according to the active route side.
void place_modified_profile_markers();

// ---- abeam points -----------------------------------------------------------------------

// Feet of the perpendiculars from the scripts' abeam candidates onto the
// present track; a point that is not accepted stays 0/0 with distance 0.
struct AbeamPointSet {
  int32_t count;     // "legs_abeam_num", 0..256
  float selected;    // "legs_abeam_selected" (kept for the display)
  float available;   // 1.0 when a point within 700 nm of its candidate was found
  float lat[256];    // degrees
  float lon[256];
  float dist[256];   // nm from the candidate to its foot
};
extern AbeamPointSet abeam_points;

// Recomputes the abeam points from the scripts' candidates; with no
// candidates nothing is written and the last results stand.
void compute_abeam_points();
