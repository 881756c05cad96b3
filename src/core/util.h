// Shared numeric helpers: rate-limited movers, range clamp and interpolators.
//
// Every animated or time-dependent value of the aircraft is advanced once per
// frame by one of these. Arguments come in the order value, target, range
// (min, max), then the rate arguments; rates are per second and scaled by the
// frame step `frame_time`. All arithmetic is single precision except the
// end-snap comparisons and the circular remainder, which are done in double
// (their rounding is part of the behaviour the cockpit animations were tuned
// against). The helpers keep no state; the caller stores the result.
#pragma once

#include <cmath>
#include <cstdint>

// Range clamp, upper bound tested first: with lo > hi a value above hi gives
// hi and any other value gives lo.
inline float clamp_range(float x, float lo, float hi) {
  if (x > hi) return hi;
  if (x < lo) return lo;
  return x;
}
inline float clamp01(float x) { return clamp_range(x, 0.0f, 1.0f); }

// Linear approach at `rate` units per second, no overshoot.
float ramp_toward(float value, float target, float min, float max, float rate);
// First-order lag: moves by frame_time x rate of the remaining error. A large
// rate can pass the target; only the range bounds the result.
float lag_toward(float value, float target, float min, float max, float rate);
// First-order lag whose step is limited to max_rate units per second.
float lag_toward_limited(float value, float target, float min, float max, float rate, float max_rate);
// One-way travel over the whole range in travel_time seconds: direction 0
// moves only down, any other direction only up. travel_time must be positive.
float move_toward_scaled(float value, float target, float min, float max, float direction, float travel_time);
// Constant-speed travel of one unit per unit_time seconds (<= 0 acts as 1).
float move_toward_timed(float value, float target, float min, float max, float unit_time);
// Constant-rate turn the short way round the circle, at rate degrees per second.
float turn_toward_heading_bounded(float angle, float target, float min, float max, float rate);
// First-order turn the short way; the error driving the rate is capped at 90
// degrees. Result in [0, 360).
float turn_toward_heading(float heading, float target, float gain);

// y on the line through (x0, y0) and (x1, y1); 0 when x0 == x1.
float interpolate_linear(float x0, float y0, float x1, float y1, float x);
// y on the segment, end values held outside it; breakpoints in either order.
float interpolate_clamped(float x0, float y0, float x1, float y1, float x);
// y along a quadratic between the points (k sets the curvature; 2 in use),
// end values held outside.
float interpolate_shaped(float x0, float y0, float x1, float y1, float x, float k);

// Whole-number part (toward zero) of a value from the host or the scripts,
// limited to [lo, hi]; NaN gives lo. Conversions of outside values to
// indices go through here so that no float-to-int conversion overflows.
inline int32_t trunc_clamped(float v, int32_t lo, int32_t hi) {
  if (!(v == v)) return lo;
  if (v <= static_cast<float>(lo)) return lo;
  if (v >= static_cast<float>(hi)) return hi;
  return static_cast<int32_t>(v);
}

// A saved value restored into a control: whether it lies within the travel
// lo..hi (a NaN lies nowhere); if so it is taken to the nearest of the
// positions lo, lo + step, ... hi (step 0: it stays where it is). A value
// beyond the travel is no position the control has, and the caller keeps
// the control as it stands.
inline bool take_restored_position(float& v, float lo, float hi, float step) {
  if (!(v >= lo && v <= hi)) return false;
  if (step > 0.0f) {
    const float p = lo + std::floor((v - lo) / step + 0.5f) * step;
    v = p > hi ? hi : p;
  }
  return true;
}

// A condition as the 0/1 float the published values and the scripts use.
inline float as01(bool b) { return b ? 1.0f : 0.0f; }
// The other way: a switch, valve or flag value read as a condition.
inline bool nonzero(float v) { return v != 0.0f; }

// v, or fallback when v is not a finite number. Values read through the seam
// (core/host_io.h) and the mirrors are finite already; this guards values
// that arrive another way: a published dataref the cockpit or the scripts
// write, or a quotient of finite values that may overflow.
inline float finite_or(float v, float fallback) { return std::isfinite(v) ? v : fallback; }
inline double finite_or(double v, double fallback) { return std::isfinite(v) ? v : fallback; }

// Remainders by 360 and wraps to the circle, one home for every variant in
// use. Two helpers of one family differ in precision or in what they do with
// a negative remainder, and the published courses were tuned against each
// caller's own choice, so each variant keeps its behaviour under its own
// name: pick by the comment, never by the name alone.
namespace angle {

// std::fmod(x, 360.0) to the bit (the sign of x kept, a zero keeping x's
// sign), without the library call for |x| < 720, where courses almost always
// are: the remainder is x itself or x -/+ 360, exact there as the operands
// are within a factor of two.
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

// Remainder by 360 as the course arithmetic and the cockpit movers use it:
// the float widened, the remainder in double with the sign of the dividend
// (so in (-360, 360)), rounded to float.
inline float mod360(float x) { return static_cast<float>(rem360(static_cast<double>(x))); }

// Remainder by 360 in single precision, a negative one moved up by 360: in
// [0, 360], where 360 itself comes out for a tiny negative x (its remainder
// plus 360 rounds to 360 in float).
inline float mod360_nonneg(float x) {
  float r = std::fmod(x, 360.0f);
  if (r < 0.0f) r += 360.0f;
  return r;
}
// The same in double precision: in [0, 360].
inline double mod360_nonneg_d(double x) {
  const double r = std::fmod(x, 360.0);
  return r < 0.0 ? r + 360.0 : r;
}

// (x + 360) summed in float, remainder by 360: [0, 360) for x in (-360, 360).
inline float wrap360(float x) {
  const float s = x + 360.0f;
  return static_cast<float>(rem360(static_cast<double>(s)));
}
// (x + 360) summed in double, remainder by 360, rounded to float: the same
// as wrap360 for a float x, but a double x (a sum of floats kept in double)
// is not rounded to float before the sum.
inline float wrap360_d(double x) { return static_cast<float>(rem360(x + 360.0)); }

// wrap360, then folded to (-180, 180] for x in (-360, 360).
inline float wrap180(float x) {
  float w = wrap360(x);
  if (w > 180.0f) w -= 360.0f;
  return w;
}
// mod360_nonneg of (x + 360) summed in float, folded to (-180, 180]: unlike
// wrap180, an x below -360 still lands in the range.
inline float wrap180_nonneg(float x) {
  const float r = mod360_nonneg(x + 360.0f);
  return r > 180.0f ? r - 360.0f : r;
}
// In double: the remainder of x, plus 360, remainder again, folded to
// (-180, 180], rounded to float. Any finite x lands in the range.
inline float wrap180_d(double x) {
  double v = rem360(rem360(x) + 360.0);
  if (v > 180.0) v -= 360.0;
  return static_cast<float>(v);
}
// mod360_nonneg_d folded to (-180, 180], kept in double.
inline double wrap180_nonneg_d(double x) {
  const double w = mod360_nonneg_d(x);
  return w > 180.0 ? w - 360.0 : w;
}

}  // namespace angle
