// Thrust tables and the lookups between lever, host throttle ratio, N1 and
// thrust fraction. Reads host_version and "sim/weather/sigma" (mirror); owns
// `thrust_tables`.
#include "engines/thrust_tables.h"

#include <cmath>

#include "core/bound_mirrors.h"
#include "core/frame_values.h"
#include "core/util.h"
#include "engines/engine_inputs.h"

ThrustTables thrust_tables;

namespace {


// ---- host 11: 8 breakpoints ----
constexpr float k11_breakpoints[8] = {0.0f, 0.11f, 0.22f, 0.35f, 0.5f, 0.65f, 0.82f, 1.0f};
// Rows 0..2: density 1.0 at 0, 15, 40 degC; rows 3..5: density 0.235 likewise.
constexpr float k11_ground[6][8] = {
    {0.19f, 0.349f, 0.47f, 0.59f, 0.712f, 0.821f, 0.934f, 1.045f},
    {0.195f, 0.352f, 0.472f, 0.592f, 0.712f, 0.821f, 0.934f, 1.044f},
    {0.208f, 0.36f, 0.477f, 0.596f, 0.715f, 0.823f, 0.935f, 1.044f},
    {0.221f, 0.368f, 0.484f, 0.6f, 0.718f, 0.824f, 0.935f, 1.044f},
    {0.226f, 0.371f, 0.486f, 0.601f, 0.719f, 0.825f, 0.935f, 1.044f},
    {0.237f, 0.379f, 0.491f, 0.605f, 0.721f, 0.827f, 0.936f, 1.043f},
};
// Row 0 density 0.235, row 1 density 1.0.
constexpr float k11_flight[2][8] = {
    {0.42f, 0.511f, 0.591f, 0.678f, 0.771f, 0.856f, 0.946f, 1.036f},
    {0.3f, 0.421f, 0.522f, 0.628f, 0.736f, 0.835f, 0.939f, 1.041f},
};

// ---- host 12: 14 breakpoints; rows for densities 0.235, 0.405, 1.0 ----
constexpr float k12_breakpoints[14] = {0.0f, 0.05f, 0.1f, 0.15f, 0.2f, 0.25f, 0.3f,
                                       0.4f, 0.5f, 0.6f, 0.7f,  0.8f, 0.9f, 1.0f};
constexpr float k12_flight[3][14] = {
    {0.46f, 0.474f, 0.489f, 0.502f, 0.516f, 0.529f, 0.576f, 0.66f, 0.734f, 0.801f, 0.863f, 0.921f, 0.976f, 1.029f},
    {0.442f, 0.464f, 0.483f, 0.501f, 0.519f, 0.539f, 0.586f, 0.67f, 0.744f, 0.812f, 0.874f, 0.932f, 0.986f, 1.039f},
    {0.356f, 0.392f, 0.425f, 0.455f, 0.484f, 0.51f, 0.564f, 0.657f, 0.737f, 0.809f, 0.875f, 0.936f, 0.993f, 1.047f},
};
constexpr float k12_approach[3][14] = {
    {0.46f, 0.474f, 0.489f, 0.502f, 0.516f, 0.529f, 0.576f, 0.66f, 0.734f, 0.801f, 0.863f, 0.921f, 0.976f, 1.029f},
    {0.444f, 0.464f, 0.483f, 0.501f, 0.519f, 0.539f, 0.586f, 0.67f, 0.744f, 0.812f, 0.874f, 0.932f, 0.986f, 1.039f},
    {0.391f, 0.419f, 0.444f, 0.467f, 0.489f, 0.51f, 0.564f, 0.657f, 0.737f, 0.809f, 0.875f, 0.936f, 0.993f, 1.047f},
};

// Thrust fraction and N1 percent, 58 points. The four equal first N1 values
// make a step from fraction 0 to 0.003 at the table's lower end.
constexpr int kFractionPoints = 58;
constexpr float k_fraction[kFractionPoints] = {
    0.0f,   0.001f, 0.002f, 0.003f, 0.004f, 0.005f, 0.006f, 0.007f, 0.008f, 0.009f, 0.01f,  0.011f,
    0.012f, 0.013f, 0.014f, 0.015f, 0.016f, 0.017f, 0.018f, 0.019f, 0.02f,  0.03f,  0.04f,  0.05f,
    0.06f,  0.07f,  0.08f,  0.09f,  0.1f,   0.11f,  0.12f,  0.13f,  0.14f,  0.15f,  0.16f,  0.17f,
    0.18f,  0.19f,  0.2f,   0.25f,  0.3f,   0.35f,  0.4f,   0.45f,  0.5f,   0.55f,  0.6f,   0.65f,
    0.7f,   0.75f,  0.8f,   0.85f,  0.9f,   0.95f,  1.0f,   1.05f,  1.1f,   1.12f};
constexpr float k_fraction_n1[kFractionPoints] = {
    19.019285f, 19.019285f, 19.019285f, 19.019285f, 19.125874f, 19.395052f, 19.660477f, 19.922125f,
    20.180277f, 20.434858f, 20.686214f, 20.934423f, 21.179457f, 21.421623f, 21.660837f, 21.897434f,
    22.131187f, 22.362495f, 22.591232f, 22.817507f, 23.041565f, 25.165724f, 27.114529f, 28.924425f,
    30.621269f, 32.223293f, 33.744469f, 35.195847f, 36.585583f, 37.921192f, 39.208035f, 40.45113f,
    41.654613f, 42.822208f, 43.956036f, 45.059521f, 46.13488f,  47.183975f, 48.208282f, 53.014099f,
    57.39093f,  61.434525f, 65.209801f, 68.76265f,  72.127617f, 75.330971f, 78.393562f, 81.331909f,
    84.159622f, 86.888229f, 89.527336f, 92.084579f, 94.567307f, 96.981377f, 99.332115f, 101.624031f,
    103.861443f, 104.741905f};

// Run-down curves: value against seconds since the run-down began.
constexpr int kRundownPoints = 12;
constexpr float k_rundown_n1_time[kRundownPoints] = {0, 6, 7, 10, 15, 19, 24, 31, 43, 62, 70, 106};
constexpr float k_rundown_n1[kRundownPoints] = {19.2f, 12.1f, 11.0f, 9.0f, 7.0f, 5.9f, 4.9f, 4.0f, 3.0f, 2.0f, 1.7f, 0.0f};
constexpr float k_rundown_n2_time[kRundownPoints] = {0, 6, 7, 10, 15, 19, 24, 31, 43, 62, 70, 103};
constexpr float k_rundown_n2[kRundownPoints] = {59.8f, 40.7f, 37.5f, 32.1f, 25.9f, 22.3f,
                                                18.6f, 14.8f, 10.4f, 4.2f,  1.7f,  0.0f};

// Ground-idle density clamp of the newer host.
constexpr float kGroundSigmaLow = 0.547701f;
constexpr float kGroundSigmaHigh = 1.138135f;

// The table row a lookup uses; null when the family has no rows (host 12
// ground idle, which uses the thrust-fraction formulas instead).
const float* select_row(int32_t row, float family) {
  ThrustTables& t = thrust_tables;
  if (row < 0) row = 0;
  if (!newer_host()) {
    if (family == 0.0f) return t.ground[row > 5 ? 5 : row];
    return t.flight[row > 1 ? 1 : row];
  }
  if (family == 0.0f) return nullptr;
  const int32_t r = row > 2 ? 2 : row;
  return family == 1.0f ? t.flight[r] : t.approach[r];
}

int32_t points() {
  const int32_t n = thrust_tables.point_count;
  return n < 1 ? 0 : (n > 16 ? 16 : n);
}

// Search for the first x strictly above v; interpolates y between it and the
// point before, holding the ends.
float table_search(const float* xs, const float* ys, int32_t n, float v) {
  if (n <= 0) return 0.0f;
  int32_t i = 0;
  while (i < n && !(xs[i] > v)) ++i;
  if (i == n) return ys[n - 1];
  if (i == 0) return ys[0];
  return interpolate_clamped(xs[i - 1], ys[i - 1], xs[i], ys[i], v);
}

// A spool above a run-down curve's top (one that stops from cruise or
// take-off power) slows from where it stands, in proportion to its speed as
// it does where it joins the curve: the curve continued upwards, so the
// run-down neither holds nor steps down onto the table. Per second.
float rundown_top_rate(const float* ts, const float* vs) { return (vs[0] - vs[1]) / ((ts[1] - ts[0]) * vs[0]); }

// Seconds along a run-down curve for a value on it; negative above its top.
float rundown_time(const float* ts, const float* vs, float v) {
  if (v > vs[0]) return -std::log(v / vs[0]) / rundown_top_rate(ts, vs);
  if (v == vs[0]) return 0.0f;
  if (v == 0.0f) return ts[kRundownPoints - 1];
  for (int32_t i = 1; i < kRundownPoints; ++i) {
    if (vs[i] <= v) return interpolate_clamped(vs[i - 1], ts[i - 1], vs[i], ts[i], v);
  }
  // Below 0 or not a number: the run-down is complete.
  return ts[kRundownPoints - 1];
}

float rundown_step(const float* ts, const float* vs, float v) {
  const float t = rundown_time(ts, vs, v) + frame_time;
  if (t < 0.0f) return vs[0] * std::exp(rundown_top_rate(ts, vs) * -t);
  if (!(t < ts[kRundownPoints - 1])) return 0.0f;
  return table_search(ts, vs, kRundownPoints, t);
}

}  // namespace

float ground_idle_density_term(float s) {
  const float c = clamp_range(finite_or(s, 1.0f), kGroundSigmaLow, kGroundSigmaHigh);
  const float d = kGroundSigmaHigh - c;
  return 1.98f * d * d;
}

void set_thrust_tables() {
  ThrustTables& t = thrust_tables;
  t.low_density = 0.235f;
  t.high_density = 1.0f;
  if (!newer_host()) {
    t.throttle_max = 1.08f;
    t.reverse_max = 0.57f;
    for (int i = 0; i < 8; ++i) {
      t.breakpoints[i] = k11_breakpoints[i];
      for (int r = 0; r < 6; ++r) t.ground[r][i] = k11_ground[r][i];
      for (int r = 0; r < 2; ++r) t.flight[r][i] = k11_flight[r][i];
    }
    t.point_count = 8;
  } else {
    t.throttle_max = 1.12f;
    t.reverse_max = 0.69f;
    for (int i = 0; i < 14; ++i) {
      t.breakpoints[i] = k12_breakpoints[i];
      for (int r = 0; r < 3; ++r) {
        t.flight[r][i] = k12_flight[r][i];
        t.approach[r][i] = k12_approach[r][i];
      }
    }
    t.point_count = 14;
  }
}

float thrust_fraction_from_n1(float p) {
  return table_search(k_fraction_n1, k_fraction, kFractionPoints, finite_or(p, 0.0f));
}

float n1_from_thrust_fraction(float f) {
  return table_search(k_fraction, k_fraction_n1, kFractionPoints, finite_or(f, 0.0f));
}

float n1_table_lookup_alt(float x, int32_t row, float family) {
  x = finite_or(x, 0.0f);
  if (newer_host() && family == 0.0f) {
    return (n1_from_thrust_fraction(x) - ground_idle_density_term(sigma())) / 100.0f;
  }
  const float* r = select_row(row, family);
  if (r == nullptr) return 0.0f;
  return table_search(thrust_tables.breakpoints, r, points(), x);
}

float n1_table_lookup(float n, int32_t row, float family) {
  n = finite_or(n, 0.0f);
  if (newer_host() && family == 0.0f) {
    return thrust_fraction_from_n1(n * 100.0f + ground_idle_density_term(sigma()));
  }
  const float* r = select_row(row, family);
  if (r == nullptr) return 0.0f;
  return table_search(r, thrust_tables.breakpoints, points(), n);
}

float throttle_to_n1_target(float lever, float, int32_t prop_mode, int32_t engine) {
  const ThrustTables& t = thrust_tables;
  const float L = finite_or(lever, 0.0f);
  const float tm = t.throttle_max;
  const float rm = t.reverse_max;
  const bool reverse = prop_mode == 3;
  if (!newer_host()) {
    if (!reverse) {
      if (L < 0.0f) return 0.0f;
      if (L > 1.0f) return tm;
      return tm * L;
    }
    if (L < 0.06f) return 0.0f;
    if (L > 1.0f) return rm;
    return rm * (L - 0.06f) / 0.94f;
  }
  const float idle = t.idle_throttle[engine_slot(engine)];
  if (!reverse) {
    if (L >= 0.25f) {
      if (L > 1.0f) return tm;
      return 0.224f + (tm - 0.224f) * (L - 0.25f) / 0.75f;
    }
    if (L < 0.0f) return idle;
    return idle + (0.224f - idle) * 4.0f * L;
  }
  if (L < 0.06f) return idle;
  if (L > 1.0f) return rm;
  return idle + (rm - idle) * (L - 0.06f) / 0.94f;
}

float throttle_to_n1_fraction(float ratio, float, int32_t prop_mode, int32_t engine) {
  const ThrustTables& t = thrust_tables;
  const float r = finite_or(ratio, 0.0f);
  const bool reverse = prop_mode == 3;
  if (!newer_host()) {
    if (!reverse) return interpolate_clamped(0.0f, 0.0f, t.throttle_max, 1.0f, r);
    return interpolate_clamped(0.0f, 0.06f, t.reverse_max, 1.0f, r);
  }
  const float idle = t.idle_throttle[engine_slot(engine)];
  if (!reverse) {
    if (r >= 0.224f) return interpolate_clamped(0.224f, 0.25f, t.throttle_max, 1.0f, r);
    return interpolate_clamped(idle, 0.0f, 0.224f, 0.25f, r);
  }
  return interpolate_clamped(idle, 0.06f, t.reverse_max, 1.0f, r);
}

namespace {

// Flight and approach idle throttle over density; the two curves part above
// sigma 0.533304.
constexpr float k_idle_sigma[5] = {0.247144f, 0.374827f, 0.533304f, 0.738808f, 1.0f};
constexpr float k_flight_idle[5] = {0.145f, 0.125f, 0.11f, 0.1f, 0.085f};
constexpr float k_approach_idle[5] = {0.145f, 0.125f, 0.11f, 0.112f, 0.114f};

float idle_throttle_for(float mode, float s) {
  if (mode == 0.0f) {
    const float c = clamp_range(s, kGroundSigmaLow, kGroundSigmaHigh);
    const float base = c <= 1.0f ? interpolate_clamped(kGroundSigmaLow, 22.3f, 1.0f, 19.8f, c)
                                 : interpolate_clamped(1.0f, 19.8f, kGroundSigmaHigh, 19.018276f, c);
    return thrust_fraction_from_n1(base + ground_idle_density_term(s));
  }
  if (mode == 1.0f || mode == 2.0f) {
    const float c = clamp_range(s, 0.247144f, 1.0f);
    return table_search(k_idle_sigma, mode == 1.0f ? k_flight_idle : k_approach_idle, 5, c);
  }
  return 0.0f;
}

}  // namespace

void compute_idle_n1(float idle_mode_engine1, float idle_mode_engine2) {
  ThrustTables& t = thrust_tables;
  t.idle_throttle[0] = 0.0f;
  t.idle_throttle[1] = 0.0f;
  if (!newer_host()) return;
  const float s = sigma();
  t.idle_throttle[0] = idle_throttle_for(idle_mode_engine1, s);
  t.idle_throttle[1] = idle_throttle_for(idle_mode_engine2, s);
}

float n1_rundown_step(float v) { return rundown_step(k_rundown_n1_time, k_rundown_n1, v); }
float n2_rundown_step(float v) { return rundown_step(k_rundown_n2_time, k_rundown_n2, v); }
