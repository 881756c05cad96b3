// Questions about the route and its computed path: the true course with which
// a leg ends or the next one begins, the point a given distance back along the
// flown path before a waypoint (on the active route and on the two display
// routes), and which turn pieces a leg's path has.
//
// Reads the scripts' leg table, the computed leg path, the direct-to path, the
// route string tables and the sequencing values; asks the host for the
// magnetic variation at waypoints. magvar_course keeps the direct-to-fix
// course cache ("legs_df_crs", "legs_df_crs_fin") up to date. Results that are
// points go to nav_result (geodesy.h). A leg number outside the route or the
// 256-slot tables reads as absent: point (0, 0), code 0, course of empty data.
#pragma once

#include <cstdint>

// Waypoint i's name for the log ("" outside the tables).
const char* waypoint_id(int32_t i);
// True course (degrees) with which leg i ends.
float magvar_course(int32_t i);
// True course (degrees) with which leg i + 1 begins.
float magvar_course_alt(int32_t i);
// Point d nm back along the flown path before waypoint i: nav_result lat/lon;
// returns the code of the path piece that placed it (0: none).
int32_t leg_geometry(int32_t i, float d);
// The same on the second (captain's) and third (first officer's) display
// routes, waypoint k: 0, or leg_geometry's code where the display route
// follows the main route.
int32_t point_along_leg(int32_t k, float d);
int32_t point_along_leg_alt(int32_t k, float d);
// Pieces of leg i's transition: 0 none, 1 first arc only, 2 arc and straight,
// 3 arc, straight and second arc.
int32_t leg_seg_kind(int32_t i);
// Where a take-off from runway slot k starts: the scripts' start point for
// the slot (an intersection take-off), or the runway waypoint itself when
// they leave it at exactly 0/0, which is how they say "none given".
void runway_start(int32_t k, double& lat, double& lon);
// Angle (degrees) that an arc of `length_nm` subtends at `radius_nm`; 0 for a
// zero radius.
float arc_angle(float radius_nm, float length_nm);

// Lateral offset (nm, right of the route positive) that guidance flies beside
// leg slot k in the offset's present state ("legs_offset_act" 5 to 7):
// false, and 0, where none applies.
bool lateral_offset_at(int32_t k, float& offset_nm);
// Slot k's transition as the offset path flies it when the offset lies
// inside the turn: the route's pieces moved along the turn's bisector toward
// the inside by offset / cos(change / 2), same radii and radials, so the
// path starts and ends on the offset legs (a fly-over then passes over the
// offset legs' meeting point). False, with nothing written, where no offset
// applies or it lies outside the turn (flown as concentric pieces).
struct OffsetTurnShift {
  float bearing;    // degrees true, toward the inside of the turn
  double distance;  // nm
  float offset_nm;  // the offset, signed as the legs carry it
  bool whole;       // a turn with a rejoin: every piece moves, not the circle alone
};
bool offset_turn_shift(int32_t k, OffsetTurnShift& shift);
// A point of that transition moved onto the offset path (0/0, no point, stays).
void offset_turn_move(const OffsetTurnShift& shift, double& lat, double& lon);
// The first circle of that transition, moved.
bool offset_turn_centre(int32_t k, double& lat, double& lon, float& offset_nm);
// How much earlier along the inbound leg that moved circle starts than the
// route's own: offset x tan(change / 2).
float offset_turn_lead(int32_t k, float offset_nm);
