// Track commands from a cross-track error: the intercept of a straight course
// and the flying of an arc. Pure helpers without state of their own, shared by
// LNAV steering and the hold, leg and procedure-turn sequencing.
//
// Angles in degrees, distances in nautical miles. Cross-track errors are
// positive when the aircraft is right of the path. Direction codes 0 and 2
// turn left, any other value right.
//
// Reads the frame copies of the ground speed, the pilot's indicated altitude
// and the magnetic variation, and (intercept only) the sequencing and
// lateral-offset values of the route.
#pragma once

#include <cmath>
#include <cstdint>

// Sums of courses and corrections are brought below 360 by whole turns. The
// callers' courses lie in [0, 360), so one or two turns are the rule; a
// remainder covers anything larger without looping on a value that 360 no
// longer changes.
inline float below_360(float h) {
  for (int i = 0; i < 4 && h >= 360.0f; ++i) h -= 360.0f;
  if (h >= 360.0f) h = static_cast<float>(std::fmod(static_cast<double>(h), 360.0));
  return h;
}

// Magnetic track command in [0, 360) that intercepts the true course `crs`
// from the cross-track `xtrack_nm`, at most 35 degrees off the course (45
// while a lateral offset is entered or left, unless `plain` is set), without
// jumping past the limit when the present track `track_mag` already lies
// between the limit and the wanted angle (it is then returned unchanged).
float lnav_intercept_hdg(float crs, float xtrack_nm, float track_mag, int32_t plain);

// The bank (degrees) that flies a circle of `radius_nm` at `speed_kt`,
// within the 25 degrees LNAV banks to; 0 without a circle or a speed.
float lnav_bank_for_circle(float radius_nm, float speed_kt);
// Seconds the wings take to roll from one bank through level to the other
// way's (degrees, each taken as its size), at about 5 degrees a second.
float roll_through_s(float bank_from_deg, float bank_to_deg);

// Track command in [0, 360) that flies an arc of `radius_nm` whose tangent
// course is `crs`: the tangent plus the bank lead of the arc at the present
// ground speed (up to 20 degrees toward the turn side), corrected by the
// cross-track. LNAV steering also hands over its current command and a flag;
// the law does not use them.
float arc_steer(float crs, float xtrack_nm, float radius_nm, float dir, float current_cmd = 0.0f,
                int32_t flag = 0);

// As arc_steer; `dir2` is the direction used when `dir` is exactly -1.
float arc_steer2(float crs, float xtrack_nm, float radius_nm, float dir, float dir2, float current_cmd = 0.0f,
                 int32_t flag = 0);
