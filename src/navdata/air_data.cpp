// Air-data models and the intercept-angle law. Stateless; the intercept law
// reads the host's ground speed from the per-frame mirror.
#include "navdata/air_data.h"

#include <cmath>

#include "core/binding.h"
#include "core/units.h"
#include "navdata/nav_math.h"

using navmath::f32;
using navmath::rad;

namespace {

constexpr float kMachCap = 0.82f;
constexpr float kIasMin = 145.0f;
constexpr float kIasMax = 340.0f;

// Model absolute temperature, kelvin, in double.
double model_temperature_k(float altitude_ft) { return 15.0 - 0.002 * altitude_ft + 273.15; }

// The last word on any speed the step hands back.
float finish_speed(float v) {
  if (v == 0.0f) return kIasMin;
  if (v < 100.0f) return v > kMachCap ? kMachCap : v;
  if (v < kIasMin) return kIasMin;
  if (v > kIasMax) return kIasMax;
  return v;
}

}  // namespace

float tas_from_speed(float speed, float altitude_ft) {
  const float t = f32(model_temperature_k(altitude_ft));
  if (t < 0.0f) return 145.0f;
  if (speed < 100.0f) return std::sqrt(t) * (speed * 39.0f);
  const float kft = altitude_ft / 1000.0f;
  return f32((static_cast<double>(kft) * 0.02 + 1.0) * speed);
}

float tas_from_mach(float mach, float altitude_ft) {
  const double t = static_cast<double>(f32(15.0 - 0.002 * altitude_ft)) + 273.15;
  // Above about 144,000 ft the model temperature is below absolute zero; fall
  // back like tas_from_speed instead of taking the root of a negative.
  if (t < 0.0) return 145.0f;
  const float m39 = mach * 39.0f;
  return f32(std::sqrt(t) * m39);
}

float speed_step(float current_tas, float target, float limit, float altitude_ft, float step) {
  if (limit == 0.0f) limit = kIasMax;
  float s = limit < target ? limit : target;
  float target_tas;
  if (s > 0.0f && s < 100.0f) {
    if (s > kMachCap) s = kMachCap;
    target_tas = tas_from_mach(s, altitude_ft);
  } else {
    if (s > kIasMax) s = kIasMax;
    target_tas = tas_from_speed(s, altitude_ft);
  }
  const float increment = f32(static_cast<double>(step) / 0.128);
  if (current_tas == 0.0f) current_tas = 145.0f;

  // A step that reaches the target gives the target back as it was given,
  // as an equal speed does: converted again, a Mach target just under the
  // cap comes back as an indicated speed whose true airspeed lies just over
  // it, and the next step turns that back into the Mach, every frame.
  float new_tas;
  if (target_tas > current_tas) {
    new_tas = current_tas + increment;
    if (new_tas >= target_tas) return finish_speed(s);
  } else if (target_tas < current_tas) {
    new_tas = current_tas - increment;
    if (new_tas <= target_tas) return finish_speed(s);
  } else {
    return finish_speed(s);
  }

  const double t = model_temperature_k(altitude_ft);
  // No speed of sound in a model atmosphere below absolute zero: any true
  // airspeed counts as above the Mach cap there.
  if (!(t > 0.0)) return kMachCap;
  const float mach = f32(new_tas / (39.0 * std::sqrt(t)));
  if (mach > kMachCap) return kMachCap;
  float ias = f32(new_tas / (1.0 + 0.02 * altitude_ft / 1000.0));
  if (ias < kIasMin) ias = kIasMin;
  return finish_speed(ias);
}

float pressure_altitude_ft(float static_psi) {
  if (!(static_psi > 0.0f)) return 0.0f;
  const float r = f32(std::log10(static_psi * 68.9475729 / 1013.25) / 5.2558797);
  const float p = f32(std::pow(10.0, static_cast<double>(r)) - 1.0);
  return f32(p / -6.8755856e-6);
}

float intercept_angle_for_offset(float offset_nm, float bank_deg, float gain, float max_angle_deg) {
  float gs_mps = mirror_f(bound::sim_flightmodel_position_groundspeed);
  if (!(gs_mps >= 71.0f)) gs_mps = 71.0f;  // also a NaN from the host
  if (gs_mps > 236.0f) gs_mps = 236.0f;
  float v = f32(gs_mps * kt_per_mps_8dp_d + 10.0);
  if (v == 0.0f) v = 145.0f;
  if (bank_deg == 0.0f) bank_deg = 0.1f;
  float r = v * v / (std::tan(static_cast<float>(rad(bank_deg))) * 68620.0f);
  if (r == 0.0f) r = 0.1f;

  // A negative bank would give a negative radius and, past the radius, the
  // arcsine of a value below -1; the law only cares about the radius's size.
  const float x = std::fabs(offset_nm) / std::fabs(r);
  float angle;
  if (x > 1.0f) {
    angle = max_angle_deg;
  } else {
    const float asin_x = std::asin(x);
    const float a = f32(static_cast<double>(asin_x * 180.0f) / pi_12dp);

    // Shaped angle: steeper for small offsets so the path is captured firmly.
    float s;
    if (a < 15.0f) {
      s = (std::tan(asin_x) + 1.0f) * a;
    } else if (a < 25.0f) {
      s = (1.27f - (a - 15.0f) * 0.27f / 10.0f) * a;
    } else {
      s = a;
    }
    if (s < 10.0f) {
      s *= gain;
    } else if (s < 30.0f) {
      s *= gain + (s - 10.0f) * (1.0f - gain) / 20.0f;
    }
    const float s1 = max_angle_deg < s ? max_angle_deg : s;

    float a2;
    if (a < 10.0f) {
      a2 = a * gain;
    } else if (a < 30.0f) {
      float f;
      if (s1 < 10.0f) {
        f = gain;
      } else if (s1 > 30.0f) {
        f = 1.0f;
      } else {
        f = gain + (s1 - 10.0f) * (1.0f - gain) / 20.0f;
      }
      a2 = a * f;
    } else {
      a2 = a;
    }
    const float a3 = max_angle_deg < a2 ? max_angle_deg : a2;
    angle = x > 0.7f ? a3 : s1 + (a3 - s1) * x / 0.7f;
  }
  return offset_nm > 0.0f ? -angle : angle;
}
