// Flight-model adjustments of the generic aircraft, the tail of the N1
// command: an axial force added to "sim/flightmodel/forces/faxil_plug_acf"
// (lift-off reduction, taxi thrust, reverse reduction, anti-ice loss,
// high-speed loss) and the flap lift and moment coefficients near the ground.
// Switched by the handling options written through "corvane/Debug".
#include <cmath>

#include "core/binding.h"
#include "core/handling_options.h"
#include "core/frame_values.h"
#include "core/preprocess_values.h"
#include "core/units.h"
#include "core/util.h"
#include "core/variant.h"
#include "engines/engine_inputs.h"
#include "engines/engine_values.h"
#include "engines/n1_command.h"
#include "systems/ice_rain/ice_values.h"

namespace {

constexpr float kBaseFlapCl = 1.1f;
constexpr float kBaseFlapCm = -0.75f;

bool option(HandlingOption o) { return handling_options[o] != 0; }

struct FrameInputs {
  float f;             // host axial prop force, N (negative forward)
  float agl_ft;
  float gs_ms;
  float tonnes;
  float n1[2];
  bool burning[2];
  bool reverse[2];
  float deploy[2];
  bool newer;
};

float liftoff_term(const FrameInputs& in) {
  N1CommandState& s = n1_command_state;
  float k = 0.0f;
  if (!(on_ground != 0 || in.f <= -80000.0f || in.agl_ft >= 150.0f)) {
    k = in.agl_ft < 0.0f ? 1.5f : 1.5f - 1.5f * in.agl_ft / 150.0f;
  }
  s.liftoff_factor = ramp_toward(s.liftoff_factor, k, 0.0f, 1.5f, 1.0f);
  return -s.liftoff_factor * in.f * 0.03663f;
}

// Idle thrust of the older host is too weak to taxi: the model's static push
// replaces it when it is more forward.
float taxi_term(const FrameInputs& in) {
  const float w = interpolate_clamped(43.0f, 0.9f, 80.0f, 1.0f, in.tonnes);
  const float v = interpolate_clamped(5.0f, 1.0f, 20.0f, 0.85f, in.gs_ms * kt_per_mps);
  const float steer = finite_or(host_mirror.sim_flightmodel2_gear_tire_steer_command_deg[0], 0.0f);
  const float sn = std::sin(std::fabs(steer) * rad_per_deg_f);
  const float drag = interpolate_clamped(43.0f, -1000.0f, 80.0f, -3000.0f, in.tonnes) * clamp_range(sn, 0.0f, 1.0f);
  float sum = 0.0f;
  for (int e = 0; e < 2; ++e) {
    const float n = in.n1[e];
    if (!(n > 18.0f && n < 40.1f) || !in.burning[e]) continue;
    const float base = n < 19.1f ? n * 3227.0f / 19.1f : 3227.0f + 13878.0f * std::log(1.0f + 1.72f * (n - 19.1f) / 21.0f);
    const float mapped = interpolate_clamped(3227.0f, 4900.0f, 17105.0f, 17105.0f, base);
    sum += -(mapped * w * v) + drag;
  }
  return sum < in.f ? sum - in.f : 0.0f;
}

float reverse_term(const FrameInputs& in) {
  const float g = clamp_range(in.gs_ms * kt_per_mps_3dp, 60.0f, 240.0f);
  const float e = std::log((g - 45.0f) / 10.0f);
  const float a = clamp_range(0.9f - 0.3f * e, 0.5f, 0.9f);
  const float b = clamp_range(0.9f - 0.45f * e, 0.38f, 0.9f);
  const float friction = clamp_range(host_mirror.sim_weather_runway_friction, 0.0f, 1.0f);
  return -interpolate_clamped(0.0f, a, 1.0f, b, friction) * in.f;
}

float anti_ice_term(const FrameInputs& in) {
  const int32_t* inlet = host_mirror.sim_cockpit2_ice_ice_inlet_heat_on_per_engine;
  float sum = 0.0f;
  if (!in.newer) {
    if (ice::wing_l_heat_on != 0.0f || inlet[0] != 0) sum += 1100.0f;
    if (ice::wing_r_heat_on != 0.0f || inlet[1] != 0) sum += 1100.0f;
  } else {
    const float lever[2] = {engine::thrust1_leveler, engine::thrust2_leveler};
    const float both = finite_or(engine::thrust12_leveler, 0.0f);
    for (int e = 0; e < 2; ++e) {
      if (inlet[e] == 0 || !(lever[e] < 0.25f) || !(in.n1[e] > 19.0f)) continue;
      if (both < 0.0f) {
        sum += -in.f * 0.1f;
      } else if (both <= 0.25f) {
        sum += -in.f * 0.1f * (1.0f - 4.0f * both);
      }
    }
  }
  return clamp_range(sum, 0.0f, -in.f);
}

float high_speed_term(const FrameInputs& in) {
  const float g = clamp_range(in.gs_ms, 0.0f, 67.0f) * 0.015f;
  const float gf = g < 1.0f ? g : 1.0f;
  const float* flap2 = host_mirror.sim_flightmodel2_wing_flap2_deg;
  const float fm = (finite_or(flap2[2], 0.0f) + finite_or(flap2[3], 0.0f)) * 0.5f * 0.04f;
  const float fl = 1.0f - (fm < 1.0f ? fm : 1.0f);
  const float h = clamp_range(static_cast<float>(host_mirror.sim_flightmodel_position_elevation) * 3.28f, 0.0f, 45000.0f);
  float k = interpolate_clamped(40000.0f, 0.35f - h * 0.0575e-4f * 1.15f, 80000.0f, 0.31f - h * 0.0875e-4f * 1.14f,
                                in.tonnes * 1000.0f);
  if (k < 0.0f) k = 0.0f;
  const float n = clamp_range(in.n1[0] > in.n1[1] ? in.n1[0] : in.n1[1], 0.0f, 100.0f);
  const float nn = n * n;
  const float q = nn < 2500.0f ? 0.8f : 0.8f * (10000.0f - nn) / 7500.0f;
  return -(k * in.f * fl * gf * q);
}

void flap_coefficients(float agl_ft) {
  float cl = kBaseFlapCl;
  float cm = kBaseFlapCm;
  if (agl_ft <= 120.0f) {
    const float h = clamp_range(agl_ft, 0.0f, 120.0f);
    const float lift = h < 10.0f ? 0.9f - 0.006f * h : 0.84f + 0.16f * (h - 10.0f) / 110.0f;
    const float moment = h < 10.0f ? 0.7f - 0.02f * h : 0.5f + 0.5f * (h - 10.0f) / 110.0f;
    cl = 1.1f * lift;
    cm = -0.75f * moment;
  }
  const float spoilers = read_now_f(bound::sim_flightmodel2_controls_speedbrake_ratio);
  if (spoilers > 1.12f) {
    float q = (spoilers - 1.12f) / 0.35f * 1.55f;
    if (q > 1.0f) q = 1.0f;
    const float r = 1.0f - 1.5f * q;
    cm *= r;
    cl *= r > 0.0f ? r : 0.0f;
  }
  const float values[4] = {cl, cl, cm, cm};
  const bound::Id ids[4] = {bound::sim_aircraft_controls_acf_flap_cl, bound::sim_aircraft_controls_acf_flap2_cl,
                            bound::sim_aircraft_controls_acf_flap_cm, bound::sim_aircraft_controls_acf_flap2_cm};
  for (int i = 0; i < 4; ++i) {
    if (values[i] != n1_command_state.last_flap_coeff[i]) {
      host_send_f(ids[i], values[i]);
      n1_command_state.last_flap_coeff[i] = values[i];
    }
  }
}

}  // namespace

void apply_flight_model_adjustments() {
  FrameInputs in{};
  in.newer = host_version >= 120000;
  // The newer host's own ground effect is good enough.
  if (in.newer) handling_options[handling_reduced_ground_effect] = 0;
  const HostMirror& h = host_mirror;
  in.f = finite_or(h.sim_flightmodel_forces_faxil_prop, 0.0f);
  in.agl_ft = read_now_f(bound::sim_flightmodel_position_y_agl) * ft_per_m;
  in.gs_ms = h.sim_flightmodel_position_groundspeed;
  in.tonnes = h.sim_flightmodel_weight_m_total / 1000.0f;
  for (int e = 0; e < 2; ++e) {
    in.n1[e] = h.sim_flightmodel2_engines_N1_percent[e];
    in.burning[e] = h.sim_flightmodel2_engines_engine_is_burning_fuel[e] != 0;
    in.reverse[e] = h.sim_cockpit2_engine_actuators_prop_mode[e] == 3;
    in.deploy[e] = h.sim_flightmodel2_engines_thrust_reverser_deploy_ratio[e];
  }
  const float plug = read_now_f(bound::sim_flightmodel_forces_faxil_plug_acf);
  float terms = 0.0f;
  if (variant_index == -1) {
    if (!in.newer && option(handling_reduce_thrust_after_lift)) terms += liftoff_term(in);
    if (!in.newer && option(handling_taxi_thrust) && !in.reverse[0] && !in.reverse[1] &&
        n1_command_state.idle_snapshot[0] == 0.0f)
      terms += taxi_term(in);
    const bool reversing = (in.reverse[0] && in.deploy[0] > 0.9f) || (in.reverse[1] && in.deploy[1] > 0.9f);
    const bool pushed = bound_present(bound::bp_connected) && read_now_f(bound::bp_connected) != 0.0f;
    if (option(handling_reduce_reverse) && in.f > 10.0f && reversing && !pushed && on_ground != 0)
      terms += reverse_term(in);
    if (option(handling_reduce_thrust_after_lift) && in.f < 0.0f) terms += anti_ice_term(in);
    if (!in.newer && in.f < 0.0f) terms += high_speed_term(in);
    if (option(handling_reduced_ground_effect)) flap_coefficients(in.agl_ft);
  }
  host_send_f(bound::sim_flightmodel_forces_faxil_plug_acf, plug + finite_or(terms, 0.0f));
}
