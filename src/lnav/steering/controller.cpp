// The proportional-integral-derivative step of the guidance laws (both forms).
#include "lnav/steering/controller.h"

#include <cmath>

#include "core/util.h"

namespace {

struct StepArgs {
  float e_int;       // error seen by the integral and derivative terms
  float p;           // proportional term
  float lo, hi;      // output and integrator limits
};

// The shared part of both forms: integrator with anti-windup, output with its
// rate limit and bounds, and the record update.
float advance(PidState& s, const StepArgs& a, float dt, float ki, float kd, int32_t reset, float reset_value,
              float rate_limit) {
  const float ki_dt = ki * dt;
  if (ki_dt == 0.0f) {
    s.integral = 0.0f;
  } else {
    if (reset != 0) {
      s.integral = reset_value;
      s.prev_out = reset_value;
      s.prev_error = a.e_int;
    }
    // No further wind-up while the proportional term or the last output
    // already sits at a limit and pushes further into it.
    const bool winding = (a.p < a.lo && s.integral < 0.0f) || (a.p > a.hi && s.integral > 0.0f) ||
                         (s.prev_out == a.lo && a.p < 0.0f) || (s.prev_out == a.hi && a.p > 0.0f);
    if (!winding) s.integral += a.e_int * ki * dt;
    s.integral = clamp_range(s.integral, a.lo, a.hi);
  }

  float out = s.integral + a.p;
  if (dt != 0.0f) out += (a.e_int - s.prev_error) * kd / dt;
  if (rate_limit != 0.0f) {
    const float max_step = std::fabs(rate_limit * dt);
    out = clamp_range(out, s.prev_out - max_step, s.prev_out + max_step);
  }
  out = clamp_range(out, a.lo, a.hi);
  s.integral = clamp_range(s.integral, a.lo, a.hi);

  s.prev_error = a.e_int;
  s.prev_out = out;
  s.p_term = a.p;
  return out;
}

// The gains and step of one call, each non-finite one counted as 0 and a
// negative step as no time at all.
struct Gains {
  float dt, kp, ki, kd, reset_value, rate_limit;
};
Gains finite_gains(float dt, float kp, float ki, float kd, float reset_value, float rate_limit) {
  Gains g{finite_or(dt, 0.0f), finite_or(kp, 0.0f), finite_or(ki, 0.0f),
          finite_or(kd, 0.0f), finite_or(reset_value, 0.0f), finite_or(rate_limit, 0.0f)};
  if (g.dt < 0.0f) g.dt = 0.0f;
  return g;
}

}  // namespace

// A non-finite argument would poison the record for the rest of the flight:
// the gains and steps come from the callers' own arithmetic (quotients among
// them), so each counts as 0 instead (and a negative step as no time at all).
float pid_step(PidState& s, float setpoint, float measured, float dt, float kp, float ki, float kd,
               int32_t reset, float reset_value, float rate_limit, float error_limit, int32_t limit_mode) {
  const Gains g = finite_gains(dt, kp, ki, kd, reset_value, rate_limit);

  float e = finite_or(setpoint - measured, 0.0f);
  float band = 0.0f;
  switch (limit_mode) {
    case 1: band = 450.0f; break;
    case 2: band = 1500.0f; break;
    case 3: band = 20.0f; break;
    case 4: band = std::fabs(finite_or(error_limit, 0.0f)); break;
    case 5: band = 1800.0f; break;
    default: break;
  }
  if (limit_mode >= 1 && limit_mode <= 5) e = clamp_range(e, -band, band);

  const float limit = 2.2f * g.dt;
  StepArgs a;
  a.e_int = clamp_range(e, -0.03f, 0.03f);
  a.p = g.kp * e;
  a.lo = -limit;
  a.hi = limit;
  return advance(s, a, g.dt, g.ki, g.kd, reset, g.reset_value, g.rate_limit);
}

float pid_step(PidState& s, float setpoint, float measured, float dt, float kp, float ki, float kd,
               int32_t reset, float reset_value, float rate_limit, int32_t mode) {
  const Gains g = finite_gains(dt, kp, ki, kd, reset_value, rate_limit);

  float e = finite_or(setpoint - measured, 0.0f);
  if (mode == kPidErrorAngle) {
    e = static_cast<float>(std::fmod(static_cast<double>(e + 360.0f), 360.0));
    if (e > 180.0f) e -= 360.0f;
    if (e <= -180.0f) e += 360.0f;  // only for a difference of a turn or more
  } else if (mode == kPidErrorClamp3) {
    e = clamp_range(e, -3.0f, 3.0f);
  }

  StepArgs a;
  a.e_int = e;
  a.p = g.kp * e;
  a.lo = s.out_min;
  a.hi = s.out_max;
  return advance(s, a, g.dt, g.ki, g.kd, reset, g.reset_value, g.rate_limit);
}
