// Holding patterns and procedure turns of the route, laid out per leg by the
// route decode for every "H..." and "PI" leg at or after the active leg: turn
// radius, leg lengths, turn centres, corner points and entry type, and for a
// procedure turn its whole ground track and length. The path builder, the
// sequencer, route tracking, the route geometry queries and the map read the
// arrays; legs that are no such leg, or lie behind the active leg, read 0.
//
// Reads the scripts' leg table ("legs_crs_mag", "legs_rad_turn",
// "legs_hold_time", "legs_hold_dist", "legs_lat", "legs_lon",
// "legs_dist_dest_true"), the sequencing values, the route tracking state,
// the host mirrors of ground speed, wind, heading, variation and indicated
// altitude, and the host's magnetic variation at a procedure-turn fix.
//
// Units: angles degrees true in [0, 360), distances nm, speeds kt.
#pragma once

#include <cstdint>

#include "navdata/nav_math.h"

// Racetrack of a holding leg. Centre 1 is the turn centre at the fix, centre 2
// the centre of the far-end turn; the far point ends the outbound straight.
struct HoldPatternArrays {
  float hold_leg_len[256];    // nm, straight leg length (at least the radius)
  float hold_radius[256];     // nm, turn radius
  float hold_crs_true[256];   // inbound course
  float hold_side_away[256];  // radial from centre 1 to the fix: inbound + 90 (left), + 270 (right)
  float hold_side[256];       // fix to centre 1: inbound + 270 (left), + 90 (right)
  float hold_ctr1_lat[256];
  float hold_ctr1_lon[256];
  float hold_ctr2_lat[256];
  float hold_ctr2_lon[256];
  float hold_far_lat[256];
  float hold_far_lon[256];
  float hold_entry[256];      // entry type 0..5
  float hold_speed[256];      // kt used for the radius, kept between frames
  uint8_t hold_near[256];     // 1 once the fix is under 180 s ahead, 0 beyond 220 s
};
extern HoldPatternArrays hold_pattern;

// Procedure turn at a fix: out from the fix for 120 s, a 45-degree turn, 75 s
// on the procedure course, a 180-degree turn, back on the reciprocal, and a
// 45-degree turn onto the final straight into the fix.
//   pi_p1  end of the outbound straight      pi_p2  centre of the first turn
//   pi_p3  end of the first turn             pi_p4  end of the 75 s straight
//   pi_p5  centre of the 180-degree turn     pi_p6  end of the 180-degree turn
//   pi_x   centre of the final turn          pi_p7  start of the final turn
//   pi_p8  end of the final turn
// pi_crs_a, pi_crs_b: radials from the first and final turn centres at the
// first turn's start / the final turn's end, and at the first turn's end /
// the final turn's start; pi_crs_b also ends the 180-degree turn, which
// starts at pi_crs_c.
struct ProcTurnArrays {
  float pi_crs_true[256];   // procedure course: "legs_crs_mag" less the variation at the fix
  float pi_radius[256];     // nm
  uint8_t pi_near[256];     // 1 while the leg is a computed procedure turn
  float pi_speed[256];      // kt
  float pi_out_dist[256];   // nm flown in 120 s
  float pi_leg2_dist[256];  // nm flown in 75 s
  float pi_crs_a[256];
  float pi_crs_b[256];
  float pi_crs_c[256];
  float pi_p1_lat[256], pi_p1_lon[256];
  float pi_p2_lat[256], pi_p2_lon[256];
  float pi_p3_lat[256], pi_p3_lon[256];
  float pi_p4_lat[256], pi_p4_lon[256];
  float pi_p5_lat[256], pi_p5_lon[256];
  float pi_p6_lat[256], pi_p6_lon[256];
  float pi_p7_lat[256], pi_p7_lon[256];
  float pi_p8_lat[256], pi_p8_lon[256];
  float pi_x_lat[256], pi_x_lon[256];
  float pi_last_dist[256];  // nm, pi_p8 to the fix
  float pi_fg_dist[256];    // nm, pi_p6 to pi_p7
  float pi_arc1[256];       // nm, one 45-degree turn
  float pi_arc2[256];       // nm, the 180-degree turn
  float pi_lenght[256];     // nm, the whole procedure turn
};
extern ProcTurnArrays proc_turn;

// Altitude (ft) the last hold leg's speed step took in this frame; 0 at the
// start of each hold leg and when that leg's step took none. The route pass
// zeroes it at the start of a frame.
extern float hold_alt_ref;

// Leg numbers outside 0..255 are ignored.
void compute_hold_pattern(int32_t leg);
void clear_hold_pattern(int32_t leg);  // every field but hold_near
void compute_proc_turn(int32_t leg);
void clear_proc_turn(int32_t leg);     // every field, the near flag included

// Whether a procedure-turn side code flies the left-hand pattern (0 or 2).
inline bool proc_turn_is_left(float rad_turn) { return navmath::is_left_turn_f(rad_turn); }
