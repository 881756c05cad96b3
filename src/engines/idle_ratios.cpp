// Host idle ratios for a generic aircraft file: keeps the host's
// "sim/aircraft2/engine/low_idle_ratio" and "high_idle_ratio" in line with the
// thrust model (fixed on the newer host; by temperature and density on the
// older one). acf_low_idle_ratio / acf_high_idle_ratio hold what the host
// last had, read at each load and overwritten with what is written here.
#include "core/binding.h"
#include "core/frame_values.h"
#include "core/variant.h"
#include "core/util.h"
#include "engines/engine_eicas.h"
#include "engines/engine_inputs.h"
#include "engines/engine_steps.h"

namespace {

// The idle ratios (dimensionless, on the host's scale) written on the newer
// host whatever the air; the older host's follow temperature and density
// (older_host_ratios).
constexpr float kNewerLowIdle = 0.6f;
constexpr float kNewerHighIdle = 0.67f;

void newer_host_ratios() {
  constexpr bound::Id low = bound::sim_aircraft2_engine_low_idle_ratio;
  constexpr bound::Id high = bound::sim_aircraft2_engine_high_idle_ratio;
  if (!bound_present(bound::sim_weather_sigma) || !bound_present(low) || !bound_present(high)) {
    acf_low_idle_ratio = 0.0f;
    acf_high_idle_ratio = 0.0f;
    return;
  }
  const float h = acf_high_idle_ratio;
  const float l = acf_low_idle_ratio;
  // The host refuses a low ratio above the high one, so the order matters.
  if (h < kNewerLowIdle) {
    host_send_f(high, kNewerHighIdle);
    host_send_f(low, kNewerLowIdle);
  } else if (l > kNewerHighIdle || h > kNewerHighIdle) {
    host_send_f(low, kNewerLowIdle);
    host_send_f(high, kNewerHighIdle);
  } else {
    if (h != kNewerHighIdle) host_send_f(high, kNewerHighIdle);
    if (l != kNewerLowIdle) host_send_f(low, kNewerLowIdle);
  }
  acf_low_idle_ratio = kNewerLowIdle;
  acf_high_idle_ratio = kNewerHighIdle;
}

void older_host_ratios() {
  constexpr bound::Id low = bound::sim_aircraft2_engine_low_idle_ratio;
  constexpr bound::Id high = bound::sim_aircraft2_engine_high_idle_ratio;
  float low_value = 0.0f;
  if (bound_present(low) && bound_present(bound::sim_cockpit2_temperature_outside_air_temp_degc)) {
    const float t = finite_or(host_mirror.sim_cockpit2_temperature_outside_air_temp_degc, 15.0f);
    low_value = t < 15.0f ? interpolate_clamped(0.0f, 0.48f, 15.0f, 0.515f, t)
                          : interpolate_clamped(15.0f, 0.515f, 40.0f, 0.605f, t);
    host_send_f(low, low_value);
  }
  if (!bound_present(high) || !bound_present(bound::sim_weather_sigma)) {
    acf_low_idle_ratio = low_value;
    acf_high_idle_ratio = 0.0f;
    return;
  }
  const float lo = 0.235f;  // table densities
  const float hi = 1.0f;
  const float d = clamp_range(finite_or(host_mirror.sim_weather_sigma, 1.0f) - density_offset, lo, hi);
  const float high_value = 2.38f - (d - lo) * 1.02f / (hi - lo);
  host_send_f(high, high_value);
  acf_low_idle_ratio = low_value;
  acf_high_idle_ratio = high_value;
}

}  // namespace

void update_idle_ratios() {
  if (host_version >= 120000 && variant_index == -1) {
    newer_host_ratios();
  } else {
    older_host_ratios();
  }
}
