// Brake heating and cooling (see brake_heat.h).
#include "systems/gear_brakes/brake_heat.h"

#include <cmath>

#include "core/binding.h"
#include "core/frame_values.h"
#include "core/units.h"

namespace {
// The weight term is 1 at 80 t and moves 1 percent a tonne; the host's mass is in kilograms.
constexpr float kKgPerTonne = 1000.0f;
// Heat per unit of brake and speed term: a normal autobrake landing shows
// about 1 to 2 on the temperature monitor, only a maximum-energy stop reaches
// the hot range (5 and above).
constexpr float kHeatGain = 0.02f;
constexpr float kGearDown = 0.1f;
}  // namespace

float brake_heat_weight_factor(float brake_ratio, float tyre_speed) {
  const float w = (host_mirror.sim_flightmodel_weight_m_total / kKgPerTonne - 80.0f) / 100.0f + 1.0f;
  const float v = tyre_speed / 10.0f;
  const float s = v * v * 1.1f;
  return w * s * brake_ratio * kHeatGain * frame_time;
}

float brake_heat_from_speed(float temperature, float outside_temp_c, int side) {
  const float g = host_mirror.sim_flightmodel_position_groundspeed * kt_per_mps_4dp;
  // Main gear legs are elements 1 (left) and 2 (right); anything else is absent.
  const float deploy = (side == 0 || side == 1) ? host_mirror.sim_aircraft_parts_acf_gear_deploy[side + 1] : 0.0f;
  float x;
  float k;
  if (deploy > kGearDown) {
    // Down in the airflow the brakes cool toward the air; faster air cools more.
    x = outside_temp_c / 100.0f + 5.0f - g / 84.0f;
    if (!(x > 0.0f)) x = 0.0f;
    k = 0.0015f;
  } else {
    x = 0.14f;
    k = 0.0007f;
  }
  const float e = (temperature + 5.0f - x) * 5.0f;
  return e * e * k * 0.002f * frame_time;
}

float brake_temp_display(float temperature) {
  float t = std::floor(temperature * 10.0f + 0.5f) / 10.0f;
  if (!(t >= 0.1f)) t = 0.1f;  // NaN shows the scale's floor
  if (t > 9.9f) t = 9.9f;
  return t;
}
