// Engine force model: takes over "sim/operation/override/override_engine_forces"
// and "override_fuel_flow" and writes "sim/flightmodel/forces/*_prop" and
// "sim/flightmodel/engine/ENGN_FF_" every frame from the engine_model
// coefficients, the host's N1, Mach, density, groundspeed, reverser deploy
// ratios and fuel burning flags (all from the host mirror). The force values
// written are stored back into the mirror so later steps read them.
#include "engines/engine_forces.h"

#include <cmath>

#include "core/binding.h"
#include "core/preprocess_values.h"
#include "core/units.h"
#include "core/util.h"
#include "engines/engine_inputs.h"
#include "engines/engine_model_coeffs.h"

namespace {

constexpr float kNewtonsPerLbf = 4.44822162f;

float mach() { return host_mirror.sim_flightmodel_misc_machno; }

// Reverse coefficient doubles between 60 and 80 kt of groundspeed.
float reverse_coefficient() {
  const float kt = host_mirror.sim_flightmodel_position_groundspeed * kt_per_mps;
  const float k = engine_model::reverse_coef;
  if (kt < 60.0f) return k;
  if (kt < 80.0f) return k * (1.0f + (kt - 60.0f) / 20.0f);
  return k * 2.0f;
}

float specific_consumption(float n1_pct, float m) {
  const float sfc = engine_model::sfc;
  const float idle = engine_model::idle_sfc;
  float c;
  if (n1_pct < 20.0f) {
    c = idle;
  } else if (n1_pct >= 40.0f) {
    c = sfc;
  } else {
    c = idle + (sfc - idle) * (n1_pct - 20.0f) / 20.0f;
  }
  const float tk = host_mirror.sim_cockpit2_temperature_outside_air_temp_degc + 273.15f;
  if (tk > 0.0f) c *= std::sqrt(288.15f / tk);
  return c + 0.0243f * m;
}

// Extra static push on the ground, newtons, by N1 percent.
float ground_thrust(float n) {
  if (n < 0.0f) return 0.0f;
  if (n < 20.0f) return n * 1500.0f / 20.0f;
  if (n < 40.0f) return 1500.0f + (n - 20.0f) * 10300.0f / 20.0f;
  if (n < 50.0f) return 11800.0f;
  if (n < 90.0f) return 11800.0f - (n - 50.0f) * 11800.0f / 40.0f;
  return 0.0f;
}

// Signed axial force, positive aft: forward thrust fades out by half deploy,
// then reverse thrust grows to k x thrust at full deploy.
float reverser_blend(float te, float d, float k) {
  if (d < 0.0f) return -te;
  if (d <= 0.5f) return -te * (1.0f - 2.0f * d);
  if (d <= 1.0f) return te * k * 2.0f * (d - 0.5f);
  return te * k;
}

float ic(float x0, float y0, float x1, float y1, float x) { return interpolate_clamped(x0, y0, x1, y1, x); }

float curve_type0(float x, float c1, float c2, float c3) {
  auto p = [&](float y) { return c3 * ((1.0f - y) * std::pow(y, c1) + y * std::pow(y, c2)); };
  const float d = 0.96f * c3;
  float r;
  if (x < 0.95f) {
    r = p(x);
    if (x > 0.15f && x < 0.6f) {
      if (x < 0.35f) {
        r = r - ic(0.15f, 0.0f, 0.35f, 0.1f, x) * r;
      } else if (x < 0.4f) {
        r = r - ic(0.35f, 0.1f, 0.4f, 0.0f, x) * r;
      } else if (x < 0.5f) {
        r = r + ic(0.4f, 0.0f, 0.5f, 200.0f, x);
      } else {
        r = r + ic(0.5f, 200.0f, 0.6f, 0.0f, x);
      }
    }
  } else if (x < 1.0f) {
    r = ic(0.95f, p(0.95f), 1.0f, d, x);
  } else {
    if (x > 1.04f) x = 1.04f;
    r = ic(1.0f, d, 1.05f, 0.88f * p(1.05f), x);
  }
  return d > 0.0f ? r / d : 0.0f;
}

float curve_type4(float x, float c1, float c2, float c3, float c4, float c5, float c6) {
  auto q = [&](float y) {
    return (c4 * std::pow(y, c1) + c3) * (1.0f - y) + (c4 * std::pow(y, c2) + c3) * y;
  };
  const float d4 = 0.96f * q(0.85f * c5);
  float r;
  if (x < 0.2f) {
    r = ic(0.0f, 0.0f, 0.3f, q(0.15f * c5) + 1100.0f - c6, x);
  } else if (x < 0.3f) {
    const float v = q(0.15f * c5) + 1100.0f;
    r = ic(0.2f, v - c6, 0.3f, v, x);
  } else if (x < 0.95f) {
    r = q((x - 0.15f) * c5);
    if (x < 0.5f) r += ic(0.3f, 1100.0f, 0.5f, 0.0f, x);
  } else if (x < 1.0f) {
    r = ic(0.95f, q(0.8f * c5), 1.0f, d4, x);
  } else {
    if (x > 1.05f) x = 1.05f;
    r = ic(1.0f, d4, 1.05f, 0.9f * q(0.9f * c5), x);
  }
  if (r < 0.0f || !(d4 > 0.0f)) return 0.0f;
  return r / d4;
}

}  // namespace

float engine_thrust_curve(float x) {
  if (!(x >= 0.0f)) return 0.0f;
  const float type = engine_model::curve02_type;
  const float c1 = engine_model::curve02_coef1;
  const float c2 = engine_model::curve02_coef2;
  const float c3 = engine_model::curve02_coef3;
  const float c4 = engine_model::curve02_coef4;
  float r = 0.0f;
  if (type == 0.0f) {
    r = curve_type0(x, c1, c2, c3);
  } else if (type == 1.0f) {
    r = x < 0.4f ? ic(0.0f, std::pow(x, c1), 0.4f, c3 * x + c4, x) : ic(0.4f, c3 * x + c4, 1.0f, std::pow(x, c2), x);
  } else if (type == 2.0f) {
    r = c2 <= 0.0f ? 0.0f : ic(0.0f, std::pow(x, c1), 1.0f, std::pow(x, 1.0f / c2), x);
  } else if (type == 3.0f) {
    if (c2 <= 0.0f) {
      r = 0.0f;
    } else if (x < c3) {
      r = ic(0.0f, 0.0f, c3, ic(0.0f, std::pow(c3, c1), 1.0f, std::pow(c3, 1.0f / c2), c3), x);
    } else {
      r = ic(0.0f, std::pow(x, c1), 1.0f, std::pow(x, 1.0f / c2), x);
    }
  } else if (type == 4.0f) {
    r = curve_type4(x, c1, c2, c3, c4, engine_model::curve02_coef5, engine_model::curve02_coef6);
  }
  // Coefficients are writable by anyone: a curve that comes out as no number
  // gives no thrust rather than a NaN force.
  return finite_or(r, 0.0f);
}

float engine_static_thrust() {
  const float m = mach();
  const float t0 = engine_model::static_thrust;
  const float b = engine_model::bypass;
  const float inlet = engine_model::inlet;
  const float ms = engine_model::shock_mach;
  float s;
  if (m < ms) {
    s = t0 - b * m * t0 + m * m * t0 * inlet;
  } else if (m < ms + 0.1f) {
    s = ic(ms, t0 - b * ms * t0 + ms * ms * t0 * inlet, ms + 0.1f, t0 - b * (ms + 0.1f) * t0, m);
  } else {
    s = t0 - b * m * t0;
  }
  if (s < 0.0f) s = 0.0f;
  return finite_or(s * host_mirror.sim_weather_sigma * kNewtonsPerLbf, 0.0f);
}

void engine_forces_update() {
  HostMirror& h = host_mirror;
  // The host releases the overrides on its own at times; take them back.
  if (h.sim_operation_override_override_engine_forces == 0) {
    h.sim_operation_override_override_engine_forces = 1;
    host_send_i(bound::sim_operation_override_override_engine_forces, 1);
  }
  if (h.sim_operation_override_override_fuel_flow == 0) {
    h.sim_operation_override_override_fuel_flow = 1;
    host_send_i(bound::sim_operation_override_override_fuel_flow, 1);
  }

  const float sn = engine_static_thrust();
  const float k = reverse_coefficient();
  const float m = mach();
  float fuel_flow[2];
  float axial[2];
  for (int e = 0; e < 2; ++e) {
    const float n = h.sim_flightmodel2_engines_N1_percent[e];
    const float burning = h.sim_flightmodel2_engines_engine_is_burning_fuel[e] != 0 ? 1.0f : 0.0f;
    float te = engine_thrust_curve(n / 100.0f) * sn * burning;
    fuel_flow[e] = finite_or(specific_consumption(n, m) * te / 3600.0f, 0.0f);
    if (on_ground != 0) te += ground_thrust(n) * burning;
    const float d = h.sim_flightmodel2_engines_thrust_reverser_deploy_ratio[e];
    axial[e] = finite_or(reverser_blend(te, d, k), 0.0f);
  }

  const float faxil = axial[0] + axial[1];
  const float fnrml = static_cast<float>(-static_cast<double>(faxil) * 0.0874886627);
  const float moment_m = static_cast<float>(-static_cast<double>(faxil) * 1.69597236585);
  const float fside = static_cast<float>(static_cast<double>(axial[1] - axial[0]) * 0.06139626);
  const float moment_l = static_cast<float>(static_cast<double>(fside) * 5.498948495);
  const float moment_n = static_cast<float>(static_cast<double>(fside) * 82.23832144);

  h.sim_flightmodel_forces_faxil_prop = faxil;
  h.sim_flightmodel_forces_fnrml_prop = fnrml;
  h.sim_flightmodel_forces_fside_prop = fside;
  h.sim_flightmodel_forces_L_prop = moment_l;
  h.sim_flightmodel_forces_M_prop = moment_m;
  h.sim_flightmodel_forces_N_prop = moment_n;
  host_send_f(bound::sim_flightmodel_forces_faxil_prop, faxil);
  host_send_f(bound::sim_flightmodel_forces_fnrml_prop, fnrml);
  host_send_f(bound::sim_flightmodel_forces_fside_prop, fside);
  host_send_f(bound::sim_flightmodel_forces_L_prop, moment_l);
  host_send_f(bound::sim_flightmodel_forces_M_prop, moment_m);
  host_send_f(bound::sim_flightmodel_forces_N_prop, moment_n);
  host_send_vf(bound::sim_flightmodel_engine_ENGN_FF_, fuel_flow, 2);
}
