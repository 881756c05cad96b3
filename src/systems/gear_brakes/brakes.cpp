// Brakes, autobrake, anti-skid and nose-wheel steering (see brakes.h). The
// host's own brake and steering handling is switched off; this module writes
// its left, right and parking brake ratios and the nose-wheel angle every
// frame. Brake ratios come from a table by runway friction, faded by brake
// temperature, so a setting gives about the same deceleration on any runway.
// Also: tyre speeds, brake temperatures and the brake accumulator.
#include "systems/gear_brakes/brakes.h"

#include <cmath>
#include <initializer_list>

#include "core/binding.h"
#include "core/frame_values.h"
#include "core/preprocess_values.h"
#include "core/units.h"
#include "core/util.h"
#include "engines/engine_values.h"
#include "systems/aircraft_systems.h"
#include "systems/electrical/bus_feeds.h"
#include "systems/gear_brakes/autobrake_state.h"
#include "systems/gear_brakes/brake_command_state.h"
#include "systems/gear_brakes/brake_heat.h"
#include "systems/delay_timers.h"
#include "systems/electrical/electric_values.h"
#include "systems/flight_controls/flight_control_values.h"
#include "core/host_io.h"
#include "systems/hydraulics/hydraulic_values.h"
#include "systems/instruments/instrument_values.h"
#include "systems/switches/switch_memory.h"
#include "systems/switches/switch_values.h"

BrakeRatioTable brake_ratios;
BrakeState brake_state;

namespace {

constexpr float kToeCap = 0.88f;
constexpr float kMaxSteerDeg = 78.0f;
// A free nose wheel: the nose gear's distance ahead of the centre of
// gravity (m, the -800's; the other bodies castor a few degrees more or less
// in a tight turn), the ground speed below which the ground no longer turns
// it (it stays where it is), and the heading change no turn on the ground
// reaches (a faster one is the aircraft put elsewhere).
constexpr float kNoseGearArmM = 14.0f;
constexpr float kCastorFromMps = 0.5f;
constexpr float kFastestTurnDps = 60.0f;
// The host's brake friction coefficient (dimensionless), held at this value
// every frame so braking does not depend on what the aircraft file or
// another add-on set.
constexpr float kBrakeCoefficient = 0.95f;
// Below this the speed brake lever is in its DOWN detent (spoilers stowed).
constexpr float kSpeedbrakeDownBand = 0.05f;
// The landing autobrake arms from setting 1 up. A selector restored from the
// scripts' packed state can hold any value: one just short of setting 1
// counts as it.
constexpr float kLandingArmAbove = autobrake_pos_value(AutobrakePos::one) - 0.05f;
static_assert(kLandingArmAbove == 1.95f, "the arming threshold moved");

// Brake ratio rows by runway: manual maximum, autobrake 1, 2, 3, MAX, RTO.
constexpr float kRatioRows[3][6] = {
    {0.238f, 0.07f, 0.09f, 0.12f, 0.18f, 0.234f},  // dry
    {0.308f, 0.14f, 0.16f, 0.19f, 0.25f, 0.304f},  // wet
    {0.478f, 0.31f, 0.33f, 0.36f, 0.42f, 0.474f},  // contaminated
};

// Rolling resistance on the older hosts: per mass row (lighter 43..65 t,
// heavier 65..80 t) the straight-moving, straight-breakaway, turning-moving
// and turning-breakaway coefficients at the row's two masses.
struct RollRow {
  float m0_t, m1_t;
  float a[2], b[2], c[2], d[2];
};
constexpr RollRow kRollLight{43.0f, 65.0f, {0.016f, 0.02f}, {0.018f, 0.022f}, {0.026f, 0.03f}, {0.021f, 0.025f}};
constexpr RollRow kRollHeavy{65.0f, 80.0f, {0.018f, 0.022f}, {0.022f, 0.026f}, {0.03f, 0.034f}, {0.025f, 0.029f}};

float speed_mps() { return host_mirror.sim_flightmodel_position_groundspeed; }

float temp_factor(float t) { return 1.0f - (clamp_range(t, 3.0f, 9.9f) - 3.0f) * 0.2f / 6.9f; }

void compute_ratio_table() {
  float row[6];
  // The host's friction is a float on both hosts: a continuous scale on the
  // newer host, whole-numbered categories on the older one.
  const float friction = host_mirror.sim_weather_runway_friction;
  if (host_version >= 120000) {
    const float f = friction;
    for (int i = 0; i < 6; ++i) {
      const float v = f < 6.0f ? interpolate_clamped(0.0f, kRatioRows[0][i], 6.0f, kRatioRows[1][i], f)
                               : interpolate_clamped(6.0f, kRatioRows[1][i], 15.0f, kRatioRows[2][i], f);
      row[i] = v * 0.95f;
    }
  } else {
    const int32_t fr = trunc_to_i32(friction);
    const int r = fr <= 0 ? 0 : (fr == 1 ? 1 : 2);
    for (int i = 0; i < 6; ++i) row[i] = kRatioRows[r][i];
  }
  using namespace systems;
  const float left = clamp_range((brake_temp_l_in + brake_temp_l_out) * 0.5f, 3.0f, 9.9f);
  const float right = clamp_range((brake_temp_r_in + brake_temp_r_out) * 0.5f, 3.0f, 9.9f);
  const float all = temp_factor((left + right) * 0.5f);
  BrakeRatioTable& t = brake_ratios;
  t.max_ratio_both = row[0] * all;
  t.autobrake_ratio_1 = row[1] * all;
  t.autobrake_ratio_2 = row[2] * all;
  t.autobrake_ratio_3 = row[3] * all;
  t.autobrake_ratio_max = row[4] * all;
  t.autobrake_ratio_rto = row[5] * all;
  t.toe_limit_left = row[0] * temp_factor(left);
  t.toe_limit_right = row[0] * temp_factor(right);
  // The brake commands read the same values under their own names.
  brake_commands.brake_max_value = t.max_ratio_both;
  brake_commands.toe_brake_max_left = t.toe_limit_left;
  brake_commands.toe_brake_max_right = t.toe_limit_right;
}

// Speed fade shared by pedals and smooth braking above 5 m/s.
float high_speed_fade(float v) { return std::fmax(0.85f, 1.0f - (v - 5.0f) * 0.15f / 72.0f); }

float shape_pedal(float pedal, float limit, float v) {
  const float p = std::fmin(clamp_range(pedal, 0.0f, 1.0f), limit);
  float out = p;
  if (p > 0.0f) out = v < 5.0f ? p * interpolate_clamped(0.0f, 2.8f, 5.0f, 1.0f, v) : p * high_speed_fade(v);
  return std::fmin(out, kToeCap);
}

// Steps of 0.1 s and 1 s per unit of travel: full pedal braking builds in a
// tenth of a second and lets go over a second.
float ramp_pedal(float out, float cmd) {
  return move_toward_timed(out, cmd, 0.0f, 1.0f, cmd > out ? 0.1f : 1.0f);
}

float smooth_target(float limit, float v) {
  float k;
  if (v < 1.0f) {
    k = 1.8f;
  } else if (v <= 5.0f) {
    k = interpolate_clamped(1.0f, 1.8f, 5.0f, 1.0f, v);
  } else {
    k = high_speed_fade(v);
  }
  return std::fmin(limit * k, 1.0f);
}


// The both-sides toe-brake button and the held host brake commands brake
// through the parking channel.
float toe_button_both() {
  const BrakeCommandState& c = brake_commands;
  const float held = c.brake_cmd_active == 1.0f ? c.brake_cmd_value : 0.0f;
  return std::fmax(c.toe_brake_both, held);
}

bool chocks_in() { return script_mirror.zuvadud_D738_fms_chock_status != 0.0f; }

void pedals_and_host_ratios(float v) {
  BrakeCommandState& c = brake_commands;
  BrakeState& s = brake_state;
  c.pedal_brake_left = shape_pedal(axis::left_toe_brake, brake_ratios.toe_limit_left, v);
  c.pedal_brake_right = shape_pedal(axis::right_toe_brake, brake_ratios.toe_limit_right, v);
  s.toe_out_left = ramp_pedal(s.toe_out_left, c.pedal_brake_left);
  s.toe_out_right = ramp_pedal(s.toe_out_right, c.pedal_brake_right);
  const float step = frame_time / 12.0f;
  const float tl = c.brake_smooth_active != 0.0f ? smooth_target(brake_ratios.toe_limit_left, v) : 0.0f;
  const float tr = c.brake_smooth_active != 0.0f ? smooth_target(brake_ratios.toe_limit_right, v) : 0.0f;
  c.brake_cmd_left = c.brake_cmd_left < tl ? std::fmin(tl, c.brake_cmd_left + step) : std::fmax(tl, c.brake_cmd_left - step);
  c.brake_cmd_right =
      c.brake_cmd_right < tr ? std::fmin(tr, c.brake_cmd_right + step) : std::fmax(tr, c.brake_cmd_right - step);
  if (cockpit::toe_brake_override == 0.0f) {
    const float left = std::fmax(std::fmax(s.toe_out_left, c.toe_brake_left), std::fmax(s.turn_brake_left, c.brake_cmd_left));
    const float right =
        std::fmax(std::fmax(s.toe_out_right, c.toe_brake_right), std::fmax(s.turn_brake_right, c.brake_cmd_right));
    host_send_mirrored_f(bound::sim_cockpit2_controls_left_brake_ratio, chocks_in() ? 0.0f : left);
    host_send_mirrored_f(bound::sim_cockpit2_controls_right_brake_ratio, chocks_in() ? 0.0f : right);
  }
  host_set_f(bound::sim_aircraft_overflow_acf_brake_co, kBrakeCoefficient);
}

void parking_brake_lever() {
  float& set = lever_commands.park_brake_engaged;
  float& rearm = brake_commands.park_brake_pedals_released;
  float& lever = cockpit::parking_brake_pos;
  const float host = host_mirror.sim_cockpit2_controls_parking_brake_ratio;
  // The chocks hold the wheels through the same host ratio; that ratio is
  // theirs, not the lever's, until the channel has written one of its own.
  const bool host_ratio_is_lever = !chocks_in() && brake_state.chocks_held_last == 0.0f;
  if (script_mirror.zuvadud_D738_parkbrake_set == 0.0f && host_ratio_is_lever) {
    if (host == 1.0f && lever == 0.0f && set == 0.0f) {
      lever = set = 1.0f;
    } else if (host == 0.0f && lever == 1.0f && set == 1.0f) {
      lever = set = rearm = 0.0f;
    }
  }
  const float hl = host_mirror.sim_cockpit2_controls_left_brake_ratio;
  const float hr = host_mirror.sim_cockpit2_controls_right_brake_ratio;
  const float pl = std::fmin(axis::left_toe_brake, brake_ratios.toe_limit_left);
  const float pr = std::fmin(axis::right_toe_brake, brake_ratios.toe_limit_right);
  if ((hl < 0.1f && hr < 0.1f) || (pl < 0.1f && pr < 0.1f)) rearm = 1.0f;
  const bool both_pressed = (hl > 0.95f && hr > 0.95f) ||
                            (pl >= brake_ratios.toe_limit_left - 0.05f && pr >= brake_ratios.toe_limit_right - 0.05f &&
                             brake_ratios.toe_limit_left > 0.0f);
  if (lever == 1.0f && rearm == 1.0f && both_pressed) lever = set = rearm = 0.0f;
}

void parking_channel(float v) {
  BrakeState& s = brake_state;
  const float* deploy = host_mirror.sim_aircraft_parts_acf_gear_deploy;
  s.gear_retract_brake =
      (host_mirror.sim_cockpit2_gauges_indicators_radio_altimeter_height_ft_pilot > 50.0f &&
       (deploy[1] < 1.0f || deploy[2] < 1.0f))
          ? 0.2f
          : 0.0f;
  const float set = lever_commands.park_brake_engaged;
  float demand = std::fmax(std::fmax(set, autobrake_brake_value), std::fmax(s.gear_retract_brake, toe_button_both()));
  demand = std::fmax(demand, script_mirror.zuvadud_D738_fms_chock_status) * 10000.0f;
  if (v < 5.0f) {
    if (autobrake_brake_value > 0.0f) demand = std::fmax(demand, interpolate_clamped(0.0f, 5000.0f, 5.0f, demand, v));
    if (demand != 0.0f) demand *= v <= 1.0f ? 1.8f : interpolate_clamped(1.0f, 1.8f, 5.0f, 1.0f, v);
  }
  demand = std::fmin(demand, 10000.0f);
  s.chocks_held_last = chocks_in() ? 1.0f : 0.0f;
  if (chocks_in()) {
    host_send_mirrored_f(bound::sim_cockpit2_controls_parking_brake_ratio, 1.0f);
    return;
  }
  const float cur = host_mirror.sim_cockpit2_controls_parking_brake_ratio * 10000.0f;
  const float rate = (set != 0.0f || demand < cur) ? 4.2f : 0.8f;
  host_send_mirrored_f(bound::sim_cockpit2_controls_parking_brake_ratio, lag_toward(cur, demand, 0.0f, 10000.0f, rate) / 10000.0f);
}

// The aircraft's turn rate from its heading frame to frame; 0 for a frame
// that takes no time or a heading that jumps.
void track_turn_rate() {
  BrakeState& s = brake_state;
  const float psi = host_mirror.sim_flightmodel_position_psi;
  const float rate = frame_time > 0.0f ? angle::wrap180_nonneg(psi - s.heading_last_deg) / frame_time : 0.0f;
  s.heading_rate_dps = std::fabs(rate) <= kFastestTurnDps ? rate : 0.0f;
  s.heading_last_deg = psi;
}

// Where a free (castoring) nose wheel points: along the way its contact
// point moves over the ground, the aircraft's drift (track less heading)
// and its turn carried forward to the nose gear; 0 rolling straight. At a
// standstill it stays as it is.
float castor_angle(float held, float v) {
  if (!(v >= kCastorFromMps)) return held;
  const float drift = angle::wrap180_nonneg(host_mirror.sim_flightmodel_position_hpath -
                                            host_mirror.sim_flightmodel_position_psi) * rad_per_deg_f;
  const float ahead = v * std::cos(drift);
  const float aside = v * std::sin(drift) + brake_state.heading_rate_dps * rad_per_deg_f * kNoseGearArmM;
  // Rolling backwards the wheel trails the other way, along the same line.
  const float deg = std::atan2(ahead < 0.0f ? -aside : aside, std::fabs(ahead)) / rad_per_deg_f;
  return clamp_range(deg, -kMaxSteerDeg, kMaxSteerDeg);
}

void write_nose_wheel(float deg) {
  host_mirror.sim_flightmodel2_gear_tire_steer_command_deg[0] = deg;
  host_mirror.sim_flightmodel2_gear_tire_steer_actual_deg[0] = deg;
  host_send_vf(bound::sim_flightmodel2_gear_tire_steer_command_deg, &deg, 1);
  host_send_vf(bound::sim_flightmodel2_gear_tire_steer_actual_deg, &deg, 1);
}

void nose_steering(float v) {
  BrakeState& s = brake_state;
  track_turn_rate();
  if (chocks_in()) {
    host_set_i(bound::sim_operation_override_override_toe_brakes, 1);
    host_set_i(bound::sim_operation_override_override_wheel_steer, 1);
    s.turn_brake_left = s.turn_brake_right = 0.0f;
    return;
  }
  host_set_i(bound::sim_operation_override_override_toe_brakes, 1);
  const float option = script_mirror.zuvadud_D738_effects_nosewheel;
  const float yoke_hdg = host_mirror.sim_cockpit2_controls_yoke_heading_ratio;
  const float yoke_roll = host_mirror.sim_cockpit2_controls_yoke_roll_ratio;
  if (on_ground == 1 && cockpit::nosewheel_steer_override == 0.0f) {
    cockpit::nosewheel_steer_ratio = option == 1.0f ? yoke_hdg : (option == 2.0f ? yoke_roll : axis::nosewheel);
  }
  // Steering takes its pressure from system A (B on the alternate switch);
  // the standby pump does not feed it, so the rudder's flags would not do.
  const bool source = switches::nose_steer_pos == 1.0f ? hydraulic::A_status != 0.0f : hydraulic::B_status != 0.0f;
  // Without that pressure nothing holds the nose wheel: it castors, and
  // neither the tiller nor the pedals turn it, the crew steering with the
  // brakes. The override stays on (released, the host would steer the wheel
  // from the pedals and the tiller itself), and the steering drives the
  // wheel on from where it castored once the pressure returns.
  host_set_i(bound::sim_operation_override_override_wheel_steer, 1);
  if (!source && on_ground == 1 && cockpit::nosewheel_steer_override == 0.0f) {
    s.nosewheel_deg = castor_angle(s.nosewheel_deg, v);
    write_nose_wheel(s.nosewheel_deg);
  }
  if (!(on_ground == 1 && source)) {
    s.turn_brake_left = s.turn_brake_right = 0.0f;
    return;
  }
  const float sc = clamp_range(v, 0.0f, 23.0f);
  const float limit = sc <= 4.0f ? interpolate_clamped(0.0f, 78.0f, 4.0f, 40.0f, sc)
                                 : (sc <= 12.0f ? interpolate_clamped(4.0f, 40.0f, 12.0f, 20.0f, sc)
                                                : interpolate_clamped(12.0f, 20.0f, 23.0f, 6.0f, sc));
  const float input = option == 1.0f ? yoke_hdg : (option == 2.0f ? yoke_roll : cockpit::nosewheel_steer_ratio);
  const float tiller = interpolate_clamped(-1.0f, -limit, 1.0f, limit, input);
  const float pedal = interpolate_clamped(-1.0f, -7.0f, 1.0f, 7.0f, yoke_hdg);
  const float target = option == 1.0f ? tiller : (std::fabs(pedal) > std::fabs(tiller) ? pedal : tiller);
  if (cockpit::nosewheel_steer_override == 0.0f) {
    s.nosewheel_deg = move_toward_timed(s.nosewheel_deg, target, -kMaxSteerDeg, kMaxSteerDeg, 0.04f);
    write_nose_wheel(s.nosewheel_deg);
  }
  // Turn braking helps tight turns; nothing straight ahead.
  s.turn_brake_left = s.turn_brake_right = 0.0f;
  if (v > 5.0f) {
    const float g = clamp_range(v, 0.0f, 70.0f);
    const float k1 = interpolate_clamped(0.0f, 0.8f, 70.0f, 0.36f, g);
    const float k2 = interpolate_clamped(5.0f, 0.0f, 12.0f, 1.0f, std::fmin(v, 12.0f));
    const float a = std::fabs(s.nosewheel_deg);
    const float value = std::sin(a * rad_per_deg_f) * k1 * k2 * 0.12f;
    float inner = value;
    float outer = 0.0f;
    if (v < 8.0f) {
      const float f = v * v / 64.0f;
      inner = value * f;
      outer = 0.25f * value * a / kMaxSteerDeg * f;
    }
    if (s.nosewheel_deg < 0.0f) {
      s.turn_brake_left = inner;
      s.turn_brake_right = outer;
    } else if (s.nosewheel_deg > 0.0f) {
      s.turn_brake_right = inner;
      s.turn_brake_left = outer;
    }
  }
}

float roll_row(const RollRow& r, const float* col, float m) { return interpolate_clamped(r.m0_t, col[0], r.m1_t, col[1], m); }

void rolling_resistance(float v) {
  float co;
  if (chocks_in()) {
    co = 1.0f;
  } else if (host_version >= 120000) {
    co = interpolate_clamped(0.0f, 0.008f, 5.0f, 0.018f, v * kt_per_mps_5dp);
  } else {
    const float m = clamp_range(host_mirror.sim_flightmodel_weight_m_total / 1000.0f, 43.0f, 80.0f);
    const RollRow& r = m < 65.0f ? kRollLight : kRollHeavy;
    const float vv = clamp_range(v, 0.0f, 10.0f);
    const float straight = interpolate_clamped(0.0f, roll_row(r, r.b, m), 10.0f, roll_row(r, r.a, m), vv);
    const float turning = interpolate_clamped(0.0f, roll_row(r, r.d, m), 10.0f, roll_row(r, r.c, m), vv);
    co = interpolate_clamped(0.0f, straight, kMaxSteerDeg, turning, std::fabs(brake_state.nosewheel_deg));
  }
  host_set_f(bound::sim_aircraft_overflow_acf_roll_co, co);
}

}  // namespace

bool thrust_levers_idle() {
  const int32_t* pm = host_mirror.sim_cockpit2_engine_actuators_prop_mode;
  return !((engine::thrust1_leveler > 0.05f && pm[0] == 1) || (engine::thrust2_leveler > 0.05f && pm[1] == 1));
}

bool manual_braking() {
  const BrakeCommandState& c = brake_commands;
  // Smooth braking is not the pilot taking over: only the toe buttons and
  // the held brake commands count.
  const bool buttons = c.toe_brake_left > 0.0f || c.toe_brake_right > 0.0f || c.toe_brake_both > 0.0f ||
                       (c.brake_cmd_active == 1.0f && c.brake_cmd_value > 0.0f);
  return lever_commands.park_brake_engaged > 0.1f || std::fmax(c.pedal_brake_left, c.pedal_brake_right) > 0.1f || buttons;
}

bool system_b_lost() {
  if (hydraulic::B_status != 0.0f) return false;
  return toggle_switch::electric_hydro_pumps2_pos != 0.0f ||
         mirror_vi_at(bound::sim_flightmodel_engine_ENGN_running, 1) != 0;
}

void update_parking_brake_steering() {
  const float v = speed_mps();
  compute_ratio_table();
  // The lever reads last frame's host ratios; the steering's turn braking
  // reaches the host ratios in the same frame.
  parking_brake_lever();
  parking_channel(v);
  nose_steering(v);
  pedals_and_host_ratios(v);
  rolling_resistance(v);
}

void animate_autobrake_knob() {
  constexpr float three = autobrake_pos_value(AutobrakePos::three);
  constexpr float max = autobrake_pos_value(AutobrakePos::max);
  const float target = autobrake_knob_target;
  float& anim = autobrake_knob_anim;
  if (anim == target) return;
  if (!((target == three || target == max) && (anim >= three && anim <= max))) {
    // Moves below setting 3 are steps of the selector.
    anim = target;
    autobrake::autobrake_pos = target;
    return;
  }
  anim = move_toward_timed(anim, target, three, max, 0.15f);
  // MAX sits behind a pull: the knob comes out (autobrake_pos2) at setting 3
  // before the selector turns on to MAX, and goes back in only once the
  // selector is home at 3 again.
  const float pull = target == max ? 4.5f : 4.2f;
  if (anim < pull) {
    autobrake::autobrake_pos = three;
    autobrake::autobrake_pos2 = interpolate_clamped(three, 0.0f, pull, 1.0f, anim);
  } else {
    autobrake::autobrake_pos = interpolate_clamped(pull, three, max, max, anim);
    autobrake::autobrake_pos2 = 1.0f;
  }
}

void update_autobrake_arming() {
  using namespace autobrake;
  BrakeState& s = brake_state;
  const float v = speed_mps();
  const float kt = v * kt_per_mps_5dp;
  const bool dc1 = fed(Consumer::autobrake);
  const bool b_press = hydraulic::B_status != 0.0f;
  take_waiting_autobrake_selection();
  // With no power for its logic DISARM neither lights nor goes out; the
  // braking still ends below.
  const bool disarm_powered = autobrake_logic_powered();
  const float disarm_held = autobrake_disarm;
  auto cancel_rto = [&]() {
    // An RTO that was braking stows the speed brakes the reject raised, as
    // every other end of its braking does.
    if (autobrake_RTO_arm == 2.0f) rto_speedbrake_stow_request = 1.0f;
    autobrake_disarm = 1.0f;
    autobrake_RTO_arm = autobrake_RTO_test = rto_test_result = 0.0f;
    autobrake_brake_value = 0.0f;
  };
  // 1. Power and pressure. The RTO brakes on until the crew takes over, so a
  // fault must end its braking at any speed, or it would hold the brakes on
  // under its DISARM light.
  if (b_press || time_since_load < 2.5f) {
    if (s.autobrake_inop == 1.0f) {
      if (autobrake_RTO_arm == 2.0f) {
        cancel_rto();
      } else if ((!dc1 && autobrake_pos != autobrake_pos_value(AutobrakePos::off)) || autobrake_arm != 0.0f) {
        autobrake_disarm = 1.0f;
        autobrake_brake_value = 0.0f;
      } else if (autobrake_RTO_arm != 0.0f && v > 40.0f) {
        cancel_rto();
      } else {
        autobrake_disarm = 0.0f;
      }
      autobrake_arm = 0.0f;
    }
  } else {
    if (autobrake_pos >= autobrake_pos_value(AutobrakePos::one)) autobrake_disarm = 1.0f;
    // The RTO brakes only through the normal brakes: with B lost (not a cold
    // stand's preflight) it disarms at once, DISARM lit, rather than in the
    // roll where the crew counts on it.
    if (autobrake_pos == autobrake_pos_value(AutobrakePos::rto) &&
        (v > 40.0f || autobrake_RTO_arm == 2.0f || system_b_lost())) {
      cancel_rto();
      autobrake_arm = 0.0f;
    }
    // The autobrake works only through the normal brakes: without B an
    // armed or braking landing autobrake disarms and stays so until the
    // selector goes OFF, leaving the accumulator to the crew's pedals.
    if (autobrake_arm != 0.0f) {
      s.autobrake_crew_disarm = 1.0f;
      autobrake_arm = 0.0f;
      autobrake_disarm = 1.0f;
      autobrake_brake_value = 0.0f;
      delay_timers.autobrake_delay_1 = 0.0f;
    }
  }
  // 2. RTO self-test (the timer bank marks failures and ends it).
  if (autobrake_RTO_test == 1.0f) autobrake_disarm = 1.0f;
  if (autobrake_RTO_test == 2.0f) {
    if (rto_test_result == 2.0f) {
      autobrake_RTO_arm = 1.0f;
      autobrake_disarm = 0.0f;
    } else {
      autobrake_RTO_arm = 0.0f;
      autobrake_disarm = 1.0f;
    }
    autobrake_RTO_test = rto_test_result = 0.0f;
  }
  // The speed brake lever moved into its DOWN detent this frame.
  const float sb_lever = flt_ctrls::speedbrake_lever;
  const bool sb_stowed = sb_lever < kSpeedbrakeDownBand && !(s.speedbrake_lever_last < kSpeedbrakeDownBand);
  s.speedbrake_lever_last = sb_lever;
  // 3. RTO arming and braking. The braking holds the aircraft at the stop
  // until the crew takes over: thrust, braking, the speed brakes stowed.
  const bool levers_low = engine::thrust1_leveler < 0.05f && engine::thrust2_leveler < 0.05f;
  if (autobrake_RTO_arm == 1.0f) {
    if (on_ground == 1 && kt > 90.0f && levers_low) {
      autobrake_RTO_arm = 2.0f;
      autobrake_brake_value = brake_ratios.autobrake_ratio_rto;
    } else if (host_mirror.sim_cockpit2_gauges_indicators_radio_altimeter_height_ft_pilot > 50.0f) {
      autobrake_RTO_arm = 0.0f;
    }
  } else if (autobrake_RTO_arm == 2.0f) {
    if (!levers_low || manual_braking() || sb_stowed) {
      autobrake_RTO_arm = 0.0f;
      autobrake_disarm = 1.0f;
      autobrake_brake_value = 0.0f;
      rto_speedbrake_stow_request = 1.0f;
    } else {
      autobrake_brake_value = brake_ratios.autobrake_ratio_rto;
    }
  }
  // 4. Landing autobrake arming.
  if (autobrake_pos == autobrake_pos_value(AutobrakePos::off)) s.autobrake_crew_disarm = 0.0f;
  const bool can_arm = s.autobrake_inop != 1.0f && b_press && s.autobrake_crew_disarm == 0.0f;
  if (autobrake_arm == 0.0f && autobrake_pos > kLandingArmAbove && can_arm) {
    const bool ground_ok = script_mirror.zuvadud_D738_autopilot_rollout_status > 1.0f && kt > 30.0f && !manual_braking() &&
                           thrust_levers_idle();
    if (on_ground != 1 || ground_ok) {
      autobrake_arm = 1.0f;
      autobrake_disarm = 0.0f;
      delay_flags.autobrake_flag_1 = 0.0f;
    }
  }
  // 5. Landing autobrake braking. Stowing the speed brake lever after
  // touchdown is the crew taking the stop over, as braking is.
  if (on_ground == 1 && autobrake_arm == 1.0f) autobrake_arm = 2.0f;
  if (autobrake_arm == 2.0f && on_ground == 1 && sb_stowed) {
    s.autobrake_crew_disarm = 1.0f;
    autobrake_arm = 0.0f;
    autobrake_disarm = 1.0f;
    autobrake_brake_value = 0.0f;
    delay_timers.autobrake_delay_1 = 0.0f;
  }
  if (autobrake_arm == 2.0f) {
    const float p = autobrake_pos;
    autobrake_brake_value = p >= autobrake_pos_value(AutobrakePos::max)     ? brake_ratios.autobrake_ratio_max
                            : p >= autobrake_pos_value(AutobrakePos::three) ? brake_ratios.autobrake_ratio_3
                            : p >= autobrake_pos_value(AutobrakePos::two)   ? brake_ratios.autobrake_ratio_2
                                                                            : brake_ratios.autobrake_ratio_1;
    // On whichever gear is down: braking begins once both levers are at
    // idle (a touchdown made with thrust on waits for them); then a lever
    // advanced, or the crew's braking, ends it. Thrust kept on past the
    // touchdown hold ends it too.
    if (on_ground == 1) {
      const bool idle = thrust_levers_idle();
      if (manual_braking() || (!idle && (s.landing_braking == 1.0f || delay_flags.autobrake_flag_1 == 1.0f))) {
        s.autobrake_crew_disarm = 1.0f;
        autobrake_arm = 0.0f;
        autobrake_disarm = 1.0f;
        autobrake_brake_value = 0.0f;
        delay_timers.autobrake_delay_1 = 0.0f;
      } else {
        if (idle) s.landing_braking = 1.0f;
        else autobrake_brake_value = 0.0f;
        if (delay_timers.autobrake_delay_1 == 0.0f && delay_flags.autobrake_flag_1 == 0.0f)
          delay_timers.autobrake_delay_1 = 3.0f;
      }
    } else if (!thrust_levers_idle()) {
      // Airborne again after the touchdown (a bounce, a go-around): thrust
      // advanced is the crew leaving the landing, and the brakes must not be
      // set for the next touchdown.
      s.autobrake_crew_disarm = 1.0f;
      autobrake_arm = 0.0f;
      autobrake_disarm = 1.0f;
      autobrake_brake_value = 0.0f;
      delay_timers.autobrake_delay_1 = 0.0f;
    }
  }
  // 6. Nothing braking, no ratio.
  if (autobrake_arm != 2.0f) s.landing_braking = 0.0f;
  if (autobrake_RTO_arm != 2.0f && autobrake_arm != 2.0f) autobrake_brake_value = 0.0f;
  if (!disarm_powered) autobrake_disarm = disarm_held;
}

void update_tyre_speeds_brake_temps() {
  using namespace systems;
  const float* now = host_mirror.sim_flightmodel_parts_tire_speed_now;
  tire_speed0 = now[0] * 0.675739f;
  tire_speed1 = now[1] * 1.09659f;
  tire_speed2 = now[2] * 1.09659f;
  tire_speed[0] = tire_speed0;
  tire_speed[1] = tire_speed1;
  tire_speed[2] = tire_speed2;

  const float park = host_mirror.sim_cockpit2_controls_parking_brake_ratio;
  const float slip = host_mirror.sim_cockpit2_gauges_indicators_sideslip_degrees;
  if (park > 0.05f) {
    // A tyre dragged sideways under the parking brake heats its brake.
    if (tire_speed1 > 30.0f && slip < 0.0f) {
      const float h = std::fabs(slip) * tire_speed1 * 0.65f * park * 0.01f * 0.023f * frame_time;
      brake_temp_l_out += h;
      brake_temp_l_in += 0.75f * h;
    }
    if (tire_speed2 > 30.0f && slip > 0.0f) {
      const float h = std::fabs(slip) * tire_speed2 * 0.65f * park * 0.01f * 0.023f * frame_time;
      brake_temp_r_out += h;
      brake_temp_r_in += 0.75f * h;
    }
  }
  const BrakeCommandState& c = brake_commands;
  const float left = std::fmax(std::fmax(c.pedal_brake_left, park), std::fmax(c.toe_brake_left, c.brake_cmd_left));
  const float right = std::fmax(std::fmax(c.pedal_brake_right, park), std::fmax(c.toe_brake_right, c.brake_cmd_right));
  const float hl = brake_heat_weight_factor(left, tire_speed1);
  const float hr = brake_heat_weight_factor(right, tire_speed2);
  brake_temp_l_out += hl;
  brake_temp_l_in += hl;
  brake_temp_r_out += hr;
  brake_temp_r_in += hr;
  const float le = host_mirror.sim_weather_temperature_le_c;
  brake_temp_l_out -= brake_heat_from_speed(brake_temp_l_out, le, 0);
  brake_temp_l_in -= brake_heat_from_speed(brake_temp_l_in, le, 0);
  brake_temp_r_out -= brake_heat_from_speed(brake_temp_r_out, le, 1);
  brake_temp_r_in -= brake_heat_from_speed(brake_temp_r_in, le, 1);
  const float* rev = host_mirror.sim_flightmodel2_engines_thrust_reverser_deploy_ratio;
  const float gs = clamp_range(speed_mps(), 0.0f, 50.0f);
  // Worked out from the brake's own temperature, not its rounded display,
  // so that the display does not feed back on itself and flicker.
  auto reverser_cool = [&](float r, float& temp) {
    if (!(r > 0.0f)) return;
    const float k = 0.03f * std::fmin(r, 1.0f) * (0.5f + 19.5f * gs / 50.0f);
    temp -= k * clamp_range((temp - 0.1f) / 9.8f, 0.0f, 1.0f) * frame_time;
  };
  reverser_cool(rev[0], brake_temp_l_out);
  reverser_cool(rev[0], brake_temp_l_in);
  reverser_cool(rev[1], brake_temp_r_out);
  reverser_cool(rev[1], brake_temp_r_in);
  const float floor = le / 100.0f;
  for (float* t : {&brake_temp_l_out, &brake_temp_l_in, &brake_temp_r_out, &brake_temp_r_in}) {
    if (!(*t >= floor)) *t = floor;  // NaN restarts at the air's temperature
  }
  brake_temp_left_out = brake_temp_display(brake_temp_l_out);
  brake_temp_left_in = brake_temp_display(brake_temp_l_in);
  brake_temp_right_out = brake_temp_display(brake_temp_r_out);
  brake_temp_right_in = brake_temp_display(brake_temp_r_in);
}

void brake_pressure_to_host() {
  BrakeState& s = brake_state;
  const float press = brake::brake_press;
  float charge = 0.0f;
  if (hydraulic::B_status != 0.0f) {
    const float d = clamp_range(interpolate_clamped(0.0f, 0.0f, 3000.0f, 3310.0f, hydraulic::A_pressure) - press, 0.0f, 3310.0f);
    charge = d * 6500.0f / 3400.0f;
  }
  const float decay = 1335.0f * frame_time;
  auto decay_to_zero = [decay](float& x) { x = std::fmax(0.0f, x - decay); };
  decay_to_zero(s.demand_pedals);
  decay_to_zero(s.demand_parking);
  decay_to_zero(s.demand_autobrake);
  decay_to_zero(s.demand_park_ratio);
  const float hl = host_mirror.sim_cockpit2_controls_left_brake_ratio;
  const float hr = host_mirror.sim_cockpit2_controls_right_brake_ratio;
  const bool held_full = hl > 0.89f && hl < 0.91f && hr > 0.89f && hr < 0.91f;
  if (!held_full) {
    if (hl != s.host_left_last) {
      s.demand_pedals += interpolate_clamped(0.0f, 0.0f, brake_ratios.toe_limit_left, 1500.0f, std::fabs(hl - s.host_left_last));
    }
    if (hr != s.host_right_last) {
      s.demand_pedals +=
          interpolate_clamped(0.0f, 0.0f, brake_ratios.toe_limit_right, 1500.0f, std::fabs(hr - s.host_right_last));
    }
  }
  s.demand_pedals = std::fmin(s.demand_pedals, 1500.0f);
  const float set = lever_commands.park_brake_engaged;
  const float park = host_mirror.sim_cockpit2_controls_parking_brake_ratio;
  if (set != s.parking_set_last) {
    s.demand_parking = std::fmin(1500.0f, s.demand_parking + std::fabs(set - s.parking_set_last) * 1500.0f);
  } else if (autobrake_brake_value > 0.0f && autobrake_brake_value != s.autobrake_last) {
    s.demand_autobrake = std::fmin(
        1500.0f, s.demand_autobrake + interpolate_clamped(0.0f, 0.0f, brake_ratios.max_ratio_both, 1500.0f,
                                                          std::fabs(autobrake_brake_value - s.autobrake_last)));
  } else if (park != s.park_ratio_last && park >= 0.05f && (park > s.park_ratio_last || std::fabs(park - s.park_ratio_last) >= 0.01f)) {
    s.demand_park_ratio =
        std::fmin(1200.0f, s.demand_park_ratio + interpolate_clamped(0.0f, 1350.0f, 1.0f, 1500.0f, park) * frame_time);
  }
  s.host_left_last = hl;
  s.host_right_last = hr;
  s.parking_set_last = set;
  s.autobrake_last = autobrake_brake_value;
  s.park_ratio_last = park;
  // With system B lost the alternate brakes take system A's pressure: the
  // accumulator stays on B's side, neither recharged nor drawn on by them, so
  // the pedals and the parking brake keep working and the accumulator keeps
  // its charge for both systems lost.
  const bool alternate = hydraulic::B_status == 0.0f && hydraulic::A_status != 0.0f;
  const float demand =
      alternate ? 0.0f : s.demand_pedals + s.demand_parking + s.demand_autobrake + s.demand_park_ratio;
  float target = std::fmin(press + (charge - demand) * frame_time * 52.0f, 3380.0f);
  target = std::fmax(target, interpolate_clamped(0.0f, 0.0f, 3500.0f, 3600.0f, hydraulic::B_pressure));
  target = std::fmax(target, 0.0f);
  const float precharge = interpolate_clamped(-50.0f, 825.0f, 75.0f, 1190.0f, host_mirror.sim_weather_temperature_ambient_c);
  if (press > precharge + 20.0f || alternate) {
    s.autobrake_inop = fed(Consumer::autobrake) ? 0.0f : 1.0f;
    // Pressure is back: hand the toe brakes back, unless something else
    // set the override.
    if (s.override_by_discharge != 0.0f) {
      cockpit::toe_brake_override = 0.0f;
      s.override_by_discharge = 0.0f;
    }
  } else {
    // Accumulator discharged: no pressure for toe brakes or the autobrake.
    if (cockpit::toe_brake_override == 0.0f) s.override_by_discharge = 1.0f;
    cockpit::toe_brake_override = 1.0f;
    if (hl != 0.0f) host_send_mirrored_f(bound::sim_cockpit2_controls_left_brake_ratio, 0.0f);
    if (hr != 0.0f) host_send_mirrored_f(bound::sim_cockpit2_controls_right_brake_ratio, 0.0f);
    s.autobrake_inop = 1.0f;
    if (!chocks_in()) host_send_mirrored_f(bound::sim_cockpit2_controls_parking_brake_ratio, 0.0f);
  }
  brake::brake_press = std::fmax(lag_toward(press, target, 0.0f, 4000.0f, 0.2f), precharge);
}
