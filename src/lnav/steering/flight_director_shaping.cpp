// Flight director command shaping: vertical speed, altitude, speed, take-off
// speed, glideslope and roll laws. Pure functions of their arguments and a
// few frame values (host version, autopilot engaged, ground speed and the
// simulator's ground-speed multiplier); no state of their own.
#include <cmath>

#include "core/binding.h"
#include "core/frame_values.h"
#include "core/units.h"
#include "core/util.h"
#include "lnav/steering/flight_director.h"

namespace {


bool ap_engaged() { return mirror_f(bound::zuvadud_autopilot_ap_on) != 0.0f; }
float gs_mps() { return mirror_f(bound::sim_flightmodel_position_groundspeed); }
float time_multiplier() { return mirror_f(bound::sim_time_ground_speed_flt); }

// Every member ends here: the own step, a share of the distance to go (at
// most 8 degrees of it) and a floor, whichever is largest.
float final_step(float own, float T, float F, float t, float floor) {
  const float d = std::fmin(std::fabs(T - F), 8.0f);
  float s = own;
  const float by_distance = 0.09f * d * t;
  if (by_distance > s) s = by_distance;
  if (floor * t > s) s = floor * t;
  return s < 0.0f ? 0.0f : s;
}

// Shared by speed_pitch and toga_pitch; `toga` selects the take-off gains.
void speed_law(bool toga, float speed_target, float speed, float trend, float trend_rate, float theta, float F,
               float t, float& T, float& S) {
  const float e = speed_target - speed;
  const float a = std::fmin(std::fabs(e), 20.0f);
  float g = 1.5f - (clamp_range(time_multiplier(), 2.0f, 16.0f) - 2.0f) * 0.8f / 14.0f;
  if (!toga && newer_host()) g *= 0.8f;
  const float h = toga ? 0.5f * g : g;
  const float desired = h * clamp_range(e, -20.0f, 20.0f) / 20.0f;
  const bool ap = ap_engaged();
  const float m = (toga && ap) ? 4.0f - 3.0f * a / 20.0f : 2.0f - a / 20.0f;
  const float err = clamp_range(desired - (trend + m * trend_rate), -1.5f, 1.5f);
  // Speed above target is a nose-up command.
  T = ap ? theta - 0.4f * err : theta - 0.4f * 6.0f * err;
  S = final_step(std::fabs(0.5f * err * t), T, F, t, 0.5f);
}

}  // namespace

void vs_pitch(float target_vs, float vs, float vs_accel, float theta, float F, float t, float& T, float& S,
              int32_t boost) {
  const float gs = gs_mps();
  float k = interpolate_clamped(250.0f, 2000.0f, 450.0f, 800.0f, gs * kt_per_mps_4dp);
  if (newer_host()) k *= 0.9f;
  float e = target_vs - (vs + 2.0f * vs_accel);
  if (ap_engaged()) {
    e = clamp_range(e, -k, k);
    float g = 1.0f;
    if (newer_host()) {
      const float g0 = interpolate_clamped(130.0f, 1.4f, 185.0f, 1.0f, gs);
      g = g0 + (1.0f - g0) * std::fabs(e) / k;
      if (boost != 0) g *= 1.4f;
    }
    T = theta + 0.0007f * g * e;
  } else {
    e = clamp_range(e, -1.5f * k, 1.5f * k);
    T = theta + 0.000433f * 7.5f * e;
  }
  const float ae = std::fabs(e);
  const float r = ae <= 2200.0f ? 30.0f - 29.9999905f * ae / 2200.0f : 0.00001f;
  S = final_step(std::fabs(r * t), T, F, t, 0.5f);
}

void alt_pitch(float ref_alt, float alt, float baro_delta, float vs, float vs_accel, float theta, float F, float t,
               float& T, float& S) {
  // 915 ft per inHg of altimeter change.
  const float e = ref_alt - (alt - 915.0f * baro_delta);
  const float mult = time_multiplier();
  const float k = mult < 2.0f ? 2000.0f : 2000.0f - (std::fmin(mult, 16.0f) - 2.0f) * 1200.0f / 14.0f;
  // Linear near the target, reaching +-k along a sine at +-400 ft.
  const float x = clamp_range(e, -400.0f, 400.0f);
  const float w = std::fabs(x) / 400.0f;
  const float cmd = (1.0f - w) * k * x / 400.0f + w * k * std::sin((x + 400.0f) * pi_2dp_f / 800.0f - half_pi_2dp_f);
  float ev;
  float floor;
  if (ap_engaged()) {
    ev = clamp_range(cmd - (vs + 4.0f * vs_accel), -2200.0f, 2200.0f);
    float g = 1.0f;
    if (newer_host()) {
      const float g0 = interpolate_clamped(130.0f, 1.8f, 185.0f, 1.0f, gs_mps());
      g = g0 + (1.0f - g0) * std::fabs(ev) / 2200.0f;
    }
    T = theta + 0.000433f * g * ev;
    floor = 0.6f;
  } else {
    ev = clamp_range(cmd - (vs + 2.0f * vs_accel), -2200.0f, 2200.0f);
    T = theta + 0.00038f * 9.0f * ev;
    floor = 0.5f;
  }
  S = final_step(std::fabs(0.0006f * ev * t), T, F, t, floor);
}

void speed_pitch(float speed_target, float speed, float trend, float trend_rate, float theta, float F, float t,
                 float& T, float& S) {
  speed_law(false, speed_target, speed, trend, trend_rate, theta, F, t, T, S);
}

void toga_pitch(float speed_target, float speed, float trend, float trend_rate, float theta, float F, float t,
                float& T, float& S) {
  speed_law(true, speed_target, speed, trend, trend_rate, theta, F, t, T, S);
}

void gs_pitch(float dev, float dev_rate, float dev_rate2, float mult, float theta, float F, float t, float& T,
              float& S) {
  const float m = 2.0f - std::fmin(std::fabs(dev), 2.5f) / 2.5f;
  const float p = dev_rate + m * mult * dev_rate2;
  // Up to 0.1 dot per second back toward the beam.
  const float q = -0.1f * std::sin((clamp_range(dev, -2.5f, 2.5f) + 2.5f) * pi_2dp_f / 5.0f - half_pi_2dp_f);
  float err;
  float base;
  float g = 1.0f;
  if (!ap_engaged()) {
    err = clamp_range(q * mult - p, -1.0f, 1.0f);
    base = 11.0f * mult * err;
    if (newer_host()) g = 1.2f - 0.2f * std::fabs(err);
  } else {
    err = clamp_range(q - p, -1.0f, 1.0f);
    base = 7.0f * err;
    if (newer_host()) g = 1.4f - 0.4f * std::fabs(err);
  }
  T = theta + g * base;
  S = final_step(std::fabs(err * t), T, F, t, 0.5f);
}

void roll_bar_target(float bank_cmd, float roll, float roll_rate, float roll_now, float F, float t, float& T,
                     float& S) {
  const float e = clamp_range(bank_cmd - (roll + roll_rate), -20.0f, 20.0f);
  const float ae = std::fabs(e);
  if (newer_host()) {
    const float g1 = interpolate_clamped(103.0f, 1.0f, 154.0f, 0.8f, gs_mps());
    const float g = (g1 + (1.0f - g1) * ae / 20.0f) * (0.8f + 0.2f * ae / 20.0f);
    T = roll_now + 0.4f * g * e;
  } else {
    T = roll_now + (ap_engaged() ? 0.4f : 0.5f) * e;
  }
  S = final_step(std::fabs(10.0f * e * t), T, F, t, newer_host() ? 0.25f : 0.5f);
}
