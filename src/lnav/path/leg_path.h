// Leg path builder: turns the scripts' route (leg table and route string
// tables) into the flown lateral path, one waypoint transition per call, and
// the small services the main loop, sequencing and display share with it.
//
// Writes the published leg path arrays (lnav/route/fms_legs.h) and the unpublished
// work arrays (lnav/route/route_state.h). Leg indices from any caller are checked
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
// First turn of the direct-to on the scripts' display route of the active
// side: hands its course, turn circle and end to the scripts
// ("intdir_trk2", "intdir_*_mod"). Once per unpaused frame after sequencing.
void intdir_turn();
// Turn-then-tangent path of the active direct-to (intdir_act 3, vnav_idx
// above 1) from the present position and heading to the active waypoint,
// into direct_to_turn_path (lnav/guidance_steps.h): valid 1 when a turn
// results; the straight course and valid 0 when the waypoint lies ahead or
// inside the turn; final course -1 and valid 0 without such a direct-to.
// Once per unpaused frame (the path build, else the route pass).
void calc_direct_turn_path();

// The values intdir_turn last handed to the scripts; a value not recomputed
// in a frame is handed over again as it stands. The end point is kept in
// intdir_end_lat_mod / intdir_end_lon_mod (lnav/route/route_state.h).
struct DirectTurnMod {
  float track;    // deg true, -1 when none ("intdir_trk2")
  float radius;   // nm, 0 when no turn ("intdir_radius_mod")
  float ctr_lat;  // turn centre ("intdir_rad_lat_mod", "intdir_rad_lon_mod")
  float ctr_lon;
  float turn;     // 2 left, 3 right ("intdir_turn_mod")
};
extern DirectTurnMod direct_turn_mod;

// Turn onto or off an AF arc found by the arc searches; cleared by each
// search and consumed by the connection that follows it.
struct ArcTurnResult {
  float side;        // 2.0 left, 3.0 right
  float calc_dta;    // nm
  float ctr_lat;     // turn centre, degrees
  float ctr_lon;
  uint8_t too_early; // the next course would be met before the arc's end
};
extern ArcTurnResult arc_turn_result;

// Turn of radius r from the course through waypoint i onto the arc of leg
// i + 1: 3 with arc_turn_result filled, 0 when no tangent circle exists.
int32_t calc_arc_entry_turn(int32_t i, float course, float rel_turn, float r, int32_t af_from_to);
// Turn of radius r from the arc of leg i onto the course through waypoint
// i + 1: 4 built, 2 the course is reached without a turn, 0 none.
int32_t calc_arc_exit_turn(int32_t i, float next_course, float rel_turn, float abs_turn, float r,
                           int32_t af_from_to);

// Hold entry pieces stored with the transition leg before a hold (written by
// the hold entry path, cleared with the leg's path by reset_leg_path; defined
// in path_position.cpp, whose hold position reads them): a point on the
// entry's exit arc (its start), and the start radial and length of the
// entry's last arc, flown about the hold's turn centre at the fix.
extern float legs_seg3_pt_lat[256];
extern float legs_seg3_pt_lon[256];
extern float legs_entry_rad[256];      // degrees true
extern float legs_entry_arc_len[256];  // nm
// The builder's names for them, for leg S when S + 1 is a hold fix entered by
// kind 4 or 5: the arc on the hold's turn circle at the fix from the return
// straight's end (radial legs_hold_arc_angle) to the fix, and where the
// outbound straight ends (legs_hold_arc_lat/lon). Kind 1 writes
// legs_hold_arc_angle only. In kinds 4 and 5 legs_seg2_crs_true[S] holds the
// outbound straight's length (nm), not a course.
inline float (&legs_hold_arc_lat)[256] = legs_seg3_pt_lat;      // degrees
inline float (&legs_hold_arc_lon)[256] = legs_seg3_pt_lon;
inline float (&legs_hold_arc_angle)[256] = legs_entry_rad;      // degrees true, radial from the fix-end centre
inline float (&legs_hold_arc_dist)[256] = legs_entry_arc_len;   // nm

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
// While one made with `on` lives, calc_turn_center builds in the waypoint's
// own frame at every latitude: for an outbound line whose course was carried
// into that frame from another point.
struct OwnFrameTurns {
  explicit OwnFrameTurns(bool on);
  ~OwnFrameTurns();
  OwnFrameTurns(const OwnFrameTurns&) = delete;
  OwnFrameTurns& operator=(const OwnFrameTurns&) = delete;
  bool was;
};
// The S-turn of calc_turn_center from a first circle already placed: a turn
// in progress carried on from (from_lat, from_lon) about its centre, turning
// `turn` (2 left, other right) 45 degrees past the outbound course, a
// straight back and a second arc of the other hand onto the outbound line
// through the waypoint. 0 when built into turn_center_result (its dta 0), 1
// when rejected.
int32_t carried_s_turn(double ctr_lat, double ctr_lon, float radius, int32_t turn, double from_lat, double from_lon,
                       double wpt_lat, double wpt_lon, double next_lat, double next_lon, float crs_out,
                       int32_t leg);

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
