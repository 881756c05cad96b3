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

// std::fmod(x, 360.0) to the bit, without the library call for |x| < 720,
// where courses almost always are: the remainder is x itself or x -/+ 360,
// which is exact there (the operands are within a factor of two), and a zero
// keeps the dividend's sign as fmod's does.
inline double rem360(double x) {
  if (x >= 0.0) {
    if (x < 360.0) return x;
    if (x < 720.0) return x - 360.0;
  } else {
    if (x > -360.0) return x;
    if (x > -720.0) {
      const double r = x + 360.0;
      return r == 0.0 ? -0.0 : r;
    }
  }
  return std::fmod(x, 360.0);
}
// The same for std::fmod(x, 360.0f) in single precision.
inline float rem360f(float x) {
  if (x >= 0.0f) {
    if (x < 360.0f) return x;
    if (x < 720.0f) return x - 360.0f;
  } else {
    if (x > -360.0f) return x;
    if (x > -720.0f) {
      const float r = x + 360.0f;
      return r == 0.0f ? -0.0f : r;
    }
  }
  return std::fmod(x, 360.0f);
}

// Remainder by 360 as the course arithmetic uses it: float sum, double
// remainder with the sign of the dividend, rounded to float.
inline float mod360(float x) { return static_cast<float>(rem360(static_cast<double>(x))); }

// (x + 360) in float, remainder by 360: [0, 360) for x in (-360, 360).
inline float wrap360(float x) {
  const float s = x + 360.0f;
  return static_cast<float>(rem360(static_cast<double>(s)));
}

// wrap360, then folded to (-180, 180] for x in (-360, 360).
inline float wrap180(float x) {
  float w = wrap360(x);
  if (w > 180.0f) w -= 360.0f;
  return w;
}

// Direction codes: 0 and 2 turn left, anything else right.
inline bool is_left_turn(int code) { return code == 0 || code == 2; }
inline bool is_left_turn_f(float code) { return code == 0.0f || code == 2.0f; }

}  // namespace navmath
