// Leg path builder: turns the scripts' route (leg table and route string
// tables) into the flown lateral path, one waypoint transition per call, and
// the small services the main loop, sequencing and display share with it.
//
// Writes the published leg path arrays (lnav/fms_legs.h) and the unpublished
// work arrays (lnav/route_state.h). Leg indices from any caller are checked
// against the 256-slot tables; an index outside reads as absent.
#pragma once

#include <cstdint>

// Builds the transition at waypoint i (flag 0) or the direct-to path (flag 1)
// and returns the waypoint at which the caller continues; always > i for
// flag 0, so the caller's loop ends.
int32_t calc_legs_path(int32_t i, int32_t flag);
// Clears leg k's computed path (flag 0) or the direct-to path (flag 1).
void reset_leg_path(int32_t k, int32_t flag);
// The flown waypoint whose transition leads into waypoint i: 0 for i < 1, -1
// when i is reached from the direct-to path or the path start.
int32_t prev_valid_leg(int32_t i);
// Pieces of the direct-to path: 0..3.
int32_t dir_seg_count();
// Shares the flown distance of a cut leg: n bypassed, p the flown waypoint
// before it (-1 the present position), m the flown waypoint after it.
void bp_true_distance(int32_t n, int32_t p, int32_t m);
// Turn-then-tangent direct-to path of the display routes (frames without a
// path build).
void calc_direct_turn_path();

// Speed (kt, >= 145) for the turn at the end of leg `leg`.
float leg_turn_speed(int32_t leg, float course_change_deg, float bank_deg);

// Transition construction at a waypoint: first arc, straight, second arc.
struct TurnCenterResult {
  double seg1_ctr_lat, seg1_ctr_lon;
  double seg1_start_lat, seg1_start_lon;
  double seg1_end_lat, seg1_end_lon;
  float seg1_start_angle, seg1_end_angle;  // radials from the first centre, deg
  int32_t seg1_turn;                       // 2 left, 3 right, 0 none
  float seg1_arc_lenght;                   // nm
  double seg3_ctr_lat, seg3_ctr_lon;
  double seg2_end_lat, seg2_end_lon;
  float seg3_start_angle, seg3_end_angle;
  int32_t seg3_turn;
  float seg3_arc_lenght;
  float seg2_distance;   // nm
  float seg2_crs_true;   // deg
  double seg3_end_lat, seg3_end_lon;
  float seg_remain_dist; // nm, end of the last piece to the next waypoint
  float seg1_radius;     // nm, both arcs
  float seg1_dta;        // nm, after limiting
};
extern TurnCenterResult turn_center_result;

// 0 when the transition was built into turn_center_result, 1 when rejected.
// turn: 2 left, other right. mode 0/1 turn about the waypoint, 2 about the
// crossing of the inbound and outbound course lines.
int32_t calc_turn_center(double wpt_lat, double wpt_lon, float crs_in, double next_lat, double next_lon,
                         float crs_out, float dta, float radius, int32_t turn, int32_t mode, int32_t leg,
                         bool opposite);

// Floating-leg recomputes handed back to the scripts: entry n holds the leg
// number (k + 1) in fms_add_leg_handback.leg_index[n] and these five values.
struct FmsAddHandbackValues {
  float lat[128];
  float lon[128];
  float brg_true_rad[128];
  float dist_nm[128];
  float brg_mag_rad[128];
};
extern FmsAddHandbackValues fms_add_handback_values;

// Path position against the flown path from p to m (region code, 0 = not
// abeam); nav_result.along_track = distance along the path to m.
int32_t path_position_dir(int32_t m, int32_t p, double lat, double lon, int32_t mode);
int32_t path_position_arc(int32_t m, int32_t p, double lat, double lon);
