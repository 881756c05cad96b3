// The bounded copies behind every array and byte-string accessor.
//
// A null output buffer is the host's size query. A negative offset or count,
// an offset at or past the end, or a null input copies nothing and answers 0;
// a copy never touches an element outside the backing array nor more than the
// caller asked for.
#pragma once

#include <cmath>
#include <cstdint>
#include <cstring>

// Float to int by truncation toward zero; NaN reads 0 and values beyond the
// int range read the nearest end of it, so no conversion is undefined.
inline int truncate_to_int(float v) {
  if (std::isnan(v)) return 0;
  if (v >= 2147483648.0f) return INT32_MAX;
  if (v <= -2147483648.0f) return INT32_MIN;
  return static_cast<int>(v);
}

// Number of elements to copy for (offset, max) over n elements, 0 when none.
inline int run_length(int n, int offset, int max) {
  if (offset < 0 || max <= 0 || offset >= n) return 0;
  const int left = n - offset;
  return max < left ? max : left;
}

inline int read_float_run(const float* arr, int n, float* out, int offset, int max) {
  if (out == nullptr) return n;
  const int c = run_length(n, offset, max);
  if (c > 0) std::memcpy(out, arr + offset, static_cast<size_t>(c) * sizeof(float));
  return c;
}

inline int read_int_run(const int32_t* arr, int n, int* out, int offset, int max) {
  if (out == nullptr) return n;
  const int c = run_length(n, offset, max);
  for (int i = 0; i < c; ++i) out[i] = arr[offset + i];
  return c;
}

inline int read_float_run_as_int(const float* arr, int n, int* out, int offset, int max) {
  if (out == nullptr) return n;
  const int c = run_length(n, offset, max);
  for (int i = 0; i < c; ++i) out[i] = truncate_to_int(arr[offset + i]);
  return c;
}

inline int read_byte_run(const char* buf, int len, void* out, int offset, int max) {
  if (out == nullptr) return len;
  const int c = run_length(len, offset, max);
  if (c > 0) std::memcpy(out, buf + offset, static_cast<size_t>(c));
  return c;
}

// A NaN or an infinity written by a cockpit object or a script would spread
// through every model that reads the value (and on into the host's flight
// model): such an element is ignored and keeps its value.
inline void write_float_run(float* arr, int n, const float* values, int offset, int count) {
  if (values == nullptr) return;
  const int c = run_length(n, offset, count);
  for (int i = 0; i < c; ++i)
    if (std::isfinite(values[i])) arr[offset + i] = values[i];
}

// The scalar writers' filter: a finite value that also fits the backing
// global (a double beyond the float range would become an infinity).
inline bool writable_float(float v) { return std::isfinite(v); }
inline bool writable_double(double v) { return std::isfinite(v); }
inline bool writable_narrowed(double v) { return std::isfinite(static_cast<float>(v)); }

// The position a switch takes when it is written from outside: the nearest
// of its whole-number positions lo..hi (half-way goes up), the end for a
// value beyond its travel; a NaN leaves it where it stands.
inline float nearest_position(float current, float v, int lo, int hi) {
  if (std::isnan(v)) return current;
  if (v <= static_cast<float>(lo)) return static_cast<float>(lo);
  if (v >= static_cast<float>(hi)) return static_cast<float>(hi);
  return std::floor(v + 0.5f);
}

// The position a lever, knob, volume or ratio takes when it is written from
// outside: within its travel lo..hi (beyond it, the end), on the nearest of
// the positions lo, lo + step, ... hi where it has them (step 0: anywhere in
// between); a NaN leaves it where it stands. A restored value takes its
// positions the same way (take_restored_position).
inline float written_position(float current, float v, float lo, float hi, float step) {
  if (std::isnan(v)) return current;
  if (v <= lo) return lo;
  if (v >= hi) return hi;
  if (step > 0.0f) {
    const float p = lo + std::floor((v - lo) / step + 0.5f) * step;
    return p > hi ? hi : p;
  }
  return v;
}

inline void write_float_run_within(float* arr, int n, const float* values, int offset, int count, float lo,
                                   float hi, float step) {
  if (values == nullptr) return;
  const int c = run_length(n, offset, count);
  for (int i = 0; i < c; ++i) arr[offset + i] = written_position(arr[offset + i], values[i], lo, hi, step);
}

inline void write_int_run_as_float(float* arr, int n, const int* values, int offset, int count) {
  if (values == nullptr) return;
  const int c = run_length(n, offset, count);
  for (int i = 0; i < c; ++i) arr[offset + i] = static_cast<float>(values[i]);
}
