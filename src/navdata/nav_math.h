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

#include "core/util.h"

namespace navmath {

inline constexpr double kPi = 3.141592653589;
inline constexpr double kTwoPi = 6.283185307178;
// Earth radius of the spherical model, nautical miles.
inline constexpr double kEarthRadiusNm = 3440.064795;

inline float f32(double x) { return static_cast<float>(x); }

// Degrees to radians through single precision: the angle rounded to float,
// times pi over 180 in double, rounded to float, handed on as a double.
inline double rad(double deg_value) {
  const float d = static_cast<float>(deg_value);
  return static_cast<double>(static_cast<float>(static_cast<double>(d) * kPi / 180.0));
}

// Radians to degrees: rounded to float, times 180 in float, over pi in double,
// rounded to float.
inline float deg(double rad_value) {
  const float r = static_cast<float>(rad_value);
  const float r180 = r * 180.0f;
  return static_cast<float>(static_cast<double>(r180) / kPi);
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

// Direction codes: 0 and 2 turn left, anything else right.
inline bool is_left_turn(int code) { return code == 0 || code == 2; }
inline bool is_left_turn_f(float code) { return code == 0.0f || code == 2.0f; }

}  // namespace navmath
