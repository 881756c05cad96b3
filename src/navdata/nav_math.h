// Rounding helpers of the navigation maths.
//
// Every navigation computation passes its angles through single precision at
// fixed points: a degree value is rounded to float before it becomes radians,
// radians are rounded to float before they become degrees, and wrapped angles
// are stored as floats. Course thresholds elsewhere (5, 12, 135, 170 degrees
// and the like) were tuned against exactly these roundings, so they are
// behaviour, not a detail: keep every static_cast<float> where it is.
//
// pi is the short literal below on purpose, not the full double value.
#pragma once

#include <cmath>
#include <cstdint>

#include "core/units.h"
#include "core/util.h"

// Turn direction codes, as the leg tables, the path pieces and the geodesy
// operations store and pass them (the tables as floats of the same values).
// The path pieces store 2 or 3, and 0 for no turn; a leg's coded hand from
// the scripts may also be 0 (left) or 1 (right).
enum TurnDirection : int32_t {
  kTurnNone = 0,        // no turn stored; as a leg's coded hand, left
  kTurnRightCoded = 1,  // a leg's coded hand: right
  kTurnLeft = 2,
  kTurnRight = 3,
};

namespace navmath {

// Earth radius of the spherical model, nautical miles.
inline constexpr double kEarthRadiusNm = 3440.064795;

inline float f32(double x) { return static_cast<float>(x); }

// Degrees to radians through single precision: the angle rounded to float,
// times pi over 180 in double, rounded to float, handed on as a double.
inline double rad(double deg_value) {
  const float d = static_cast<float>(deg_value);
  return static_cast<double>(static_cast<float>(static_cast<double>(d) * pi_12dp / 180.0));
}

// Radians to degrees: rounded to float, times 180 in float, over pi in double,
// rounded to float.
inline float deg(double rad_value) {
  const float r = static_cast<float>(rad_value);
  const float r180 = r * 180.0f;
  return static_cast<float>(static_cast<double>(r180) / pi_12dp);
}

// The remainders by 360 and the wraps to a circle live in core/util.h
// (namespace angle), where the cockpit movers use them too; the navigation
// maths names them here as well, so navmath::mod360 and the rest read on.
using angle::mod360;
using angle::mod360_nonneg;
using angle::mod360_nonneg_d;
using angle::rem360;
using angle::rem360f;
using angle::wrap180;
using angle::wrap180_d;
using angle::wrap180_nonneg;
using angle::wrap180_nonneg_d;
using angle::wrap360;
using angle::wrap360_d;

// Direction codes: none and left turn left, anything else right.
inline bool is_left_turn(int code) { return code == kTurnNone || code == kTurnLeft; }
inline bool is_left_turn_f(float code) {
  return code == static_cast<float>(kTurnNone) || code == static_cast<float>(kTurnLeft);
}
// A right hand as a leg's code gives it (1 or 3); other values are no hand.
inline bool is_coded_right_f(float code) {
  return code == static_cast<float>(kTurnRightCoded) || code == static_cast<float>(kTurnRight);
}

}  // namespace navmath

