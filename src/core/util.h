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

#include <cstdint>

// Range clamp, upper bound tested first: with lo > hi a value above hi gives
// hi and any other value gives lo.
inline float clamp_range(float x, float lo, float hi) {
  if (x > hi) return hi;
  if (x < lo) return lo;
  return x;
}

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
