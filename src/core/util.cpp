// Shared numeric helpers (see util.h). Reads the frame step only.
#include "core/util.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "core/frame_values.h"

namespace {

// Snap onto a range end when both the value and the target are close to it.
// The target tolerance is ten times tighter than the value's; the upper end
// wins when both apply. Compared in double, as the tolerances are doubles.
inline bool end_snap(float v, float target, float min, float max, float* out) {
  const double t = target;
  const double x = v;
  if (t >= static_cast<double>(max) - 0.001 && x >= static_cast<double>(max) - 0.01) {
    *out = max;
    return true;
  }
  if (t <= static_cast<double>(min) + 0.001 && x <= static_cast<double>(min) + 0.01) {
    *out = min;
    return true;
  }
  return false;
}

// A first-order lag never reaches its target in floats: its last steps
// round to nothing and leave the value a hair off (a denormal beside 0, an
// ulp beside anything else), which reads as a position left. Within the
// float's own resolution of the target the value is the target.
inline float settle_on(float r, float target) {
  const float gap = std::fabs(target - r);
  const float resolution = std::fabs(target) * std::numeric_limits<float>::epsilon();
  return (gap <= resolution || gap < std::numeric_limits<float>::min()) ? target : r;
}

// Signed short-way difference target - from, in (-180, 180].
inline float short_way(float target, float from) {
  float d = angle::mod360(target - from + 360.0f);
  if (d > 180.0f) d = d - 360.0f;
  return d;
}

}  // namespace

float ramp_toward(float value, float target, float min, float max, float rate) {
  const float v = clamp_range(value, min, max);
  float snapped;
  if (end_snap(v, target, min, max, &snapped)) return snapped;
  const float s = frame_time * rate;
  const float r = target > v ? std::min(target, v + s) : std::max(target, v - s);
  return clamp_range(r, min, max);
}

float lag_toward(float value, float target, float min, float max, float rate) {
  const float v = clamp_range(value, min, max);
  float snapped;
  if (end_snap(v, target, min, max, &snapped)) return snapped;
  const float k = frame_time * rate;
  const float r = k * (target - v) + v;
  return clamp_range(settle_on(r, target), min, max);
}

float lag_toward_limited(float value, float target, float min, float max, float rate, float max_rate) {
  const float v = clamp_range(value, min, max);
  float snapped;
  if (end_snap(v, target, min, max, &snapped)) return snapped;
  const float k = frame_time * rate;
  const float limit = frame_time * max_rate;
  const float d = clamp_range(k * (target - v), -limit, limit);
  return clamp_range(settle_on(v + d, target), min, max);
}

float move_toward_scaled(float value, float target, float min, float max, float direction, float travel_time) {
  const float span = std::fabs(min - max);
  const float s = (frame_time / travel_time) * span;
  if (direction == 0.0f) {
    const float r = value > target ? std::max(target, value - s) : value;
    return std::max(min, r);
  }
  const float r = target > value ? std::min(target, value + s) : value;
  return std::min(max, r);
}

float move_toward_timed(float value, float target, float min, float max, float unit_time) {
  if (unit_time <= 0.0f) unit_time = 1.0f;
  float snapped;
  if (end_snap(value, target, min, max, &snapped)) return snapped;
  // Out of range: land on the bound this frame, step from it the next.
  if (value > max) return max;
  if (value < min) return min;
  const float s = frame_time / unit_time;
  if (target > value) return std::min(target, value + s);
  if (value > target) return std::max(target, value - s);
  return target;
}

float turn_toward_heading_bounded(float angle, float target, float min, float max, float rate) {
  if (rate <= 0.0f) rate = 1.0f;
  float snapped;
  if (end_snap(angle, target, min, max, &snapped)) return snapped;
  if (angle > max) return max;
  if (angle < min) return min;
  const float d = short_way(target, angle);
  const float s = frame_time * rate;
  if (d > 0.0f) {
    const float n = angle::mod360(angle + s);
    return short_way(target, n) > 0.0f ? n : target;
  }
  float n = angle::mod360(angle - s);
  if (n < 0.0f) n = n + 360.0f;
  return short_way(target, n) < 0.0f ? n : target;
}

float turn_toward_heading(float heading, float target, float gain) {
  float r;
  if (heading == target) {
    r = target;
  } else {
    // Exactly 180 stays +180: the turn goes toward increasing heading.
    const float d = short_way(target, heading);
    const float s = std::min(std::fabs(d), 90.0f) * (frame_time * gain);
    if (d < 0.0f) {
      r = -s > d ? heading - s : target;
    } else {
      r = (d > 0.0f && d > s) ? heading + s : target;
    }
  }
  if (r < 0.0f) {
    r = r + 360.0f;
  } else if (r >= 360.0f) {
    r = r - 360.0f;
  }
  return r;
}

float interpolate_linear(float x0, float y0, float x1, float y1, float x) {
  if (x1 - x0 == 0.0f) return 0.0f;
  return ((x - x0) / (x1 - x0)) * (y1 - y0) + y0;
}

namespace {
// The end tests shared by the clamped and shaped interpolators.
inline bool held_end(float x0, float y0, float x1, float y1, float x, float* out) {
  if (x1 >= x0) {
    if (x < x0) {
      *out = y0;
      return true;
    }
    if (x > x1) {
      *out = y1;
      return true;
    }
    if (x1 == x0) {
      *out = y0;
      return true;
    }
  } else {
    if (x > x0) {
      *out = y0;
      return true;
    }
    if (x < x1) {
      *out = y1;
      return true;
    }
  }
  return false;
}
}  // namespace

float interpolate_clamped(float x0, float y0, float x1, float y1, float x) {
  float held;
  if (held_end(x0, y0, x1, y1, x, &held)) return held;
  return (x - x0) * (y1 - y0) / (x1 - x0) + y0;
}

float interpolate_shaped(float x0, float y0, float x1, float y1, float x, float k) {
  float held;
  if (held_end(x0, y0, x1, y1, x, &held)) return held;
  const float t = interpolate_clamped(x0, 1.0f, x1, k, x);
  return interpolate_clamped(1.0f, y0, k * k, y1, t * t);
}
