// The proportional-integral-derivative step shared by the guidance laws.
//
// One record per controller, owned by its caller and advanced once per update.
// Two forms share the record and the leading arguments:
//   - the scaled form (flight-director flare law): output and integrator held
//     within +-2.2 x dt, the error limited by a selectable band;
//   - the bounded form (autopilot servos): output and integrator held within
//     the record's own limits, the error limited to +-3 or wrapped as an angle.
// Single precision throughout. No host access.
#pragma once

#include <cstdint>

// Six floats in this order; callers and start-up set the limits before use.
struct PidState {
  float out_min;     // lower output and integrator limit (bounded form)
  float out_max;     // upper output and integrator limit (bounded form)
  float prev_error;  // error of the previous step, as the I and D terms used it
  float integral;    // integrator
  float prev_out;    // output of the previous step
  float p_term;      // proportional term of the last step
};

// Error shaping of the bounded form.
enum PidErrorMode : int32_t {
  kPidErrorClamp3 = 0,  // error limited to +-3
  kPidErrorAngle = 1,   // error wrapped into (-180, 180]
};

// Scaled form. `limit_mode` bounds the proportional error: 1 +-450, 2 +-1500,
// 3 +-20, 4 +-|error_limit|, 5 +-1800, other values unbounded; the integral
// and derivative terms see that error further limited to +-0.03.
float pid_step(PidState& s, float setpoint, float measured, float dt, float kp, float ki, float kd,
               int32_t reset, float reset_value, float rate_limit, float error_limit, int32_t limit_mode);

// Bounded form. `mode` 0 limits the error to +-3, 1 wraps it as an angle,
// other values leave it as it is.
float pid_step(PidState& s, float setpoint, float measured, float dt, float kp, float ki, float kd,
               int32_t reset, float reset_value, float rate_limit, int32_t mode);
