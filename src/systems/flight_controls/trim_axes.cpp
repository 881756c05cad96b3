// Control axes, stabiliser trim wheel and thrust reversers. The pilot's
// joystick axes are taken from the host and fed through the aircraft's own
// axis values, so manual reversion can scale them, the yoke can be gated
// against the autopilot, the toe brakes shaped by the brake tables, and raw
// lever axes turned into detented speed brake, flap and gear lever
// positions. The trim wheel follows the host's elevator trim; the reverse
// levers and the host's reverser failures follow hydraulics and height.
#include <cmath>

#include "core/command_refs.h"
#include "core/binding.h"
#include "core/frame_values.h"
#include "core/pitch_trim.h"
#include "core/util.h"
#include "engines/engine_values.h"
#include "systems/aircraft_systems.h"
#include "systems/electrical/bus_feeds.h"
#include "systems/gear_brakes/brakes.h"
#include "systems/delay_timers.h"
#include "systems/flight_controls/elec_trim_state.h"
#include "systems/electrical/electric_values.h"
#include "systems/flight_controls/reverse_levers.h"
#include "systems/flight_controls/flight_control_values.h"
#include "systems/gear_brakes/gear_lever.h"
#include "core/host_io.h"
#include "systems/hydraulics/hydraulic_values.h"
#include "systems/hydraulics/hydraulics.h"
#include "systems/instruments/instrument_values.h"
#include "systems/switches/switch_values.h"
#include "systems/flight_controls/trim_command_state.h"

// Last values of the axes and script inputs, so only a change is applied.
struct AxisInputMemory {
  float pitch_last, roll_last, heading_last;  // published flight axes
  float joy_pitch, joy_roll, joy_heading;
  float toe_left, toe_right, nosewheel;
  float speedbrake, flaps, landgear;
  float mixture1, mixture2;
};
AxisInputMemory axis_inputs;

struct TrimWheelState {
  float last_trim;     // host trim seen by the previous frame's step
  float flaps_out;     // 1 while the flap handle is at 0.05 or more
};
TrimWheelState trim_wheel_state;

struct ReverserMemory {
  int32_t prop_mode_last[2];
};
ReverserMemory reverser_memory;

namespace {

enum AxisRole { role_pitch = 1, role_roll = 2, role_yaw = 3, role_throttle = 4, role_left_toe = 6,
                role_right_toe = 7, role_flaps = 11, role_speedbrake = 14, role_throttle1 = 20,
                role_throttle2 = 21, role_tiller = 37 };
constexpr float kReversionAuthority = 0.35f;
// The host's own elevator trim travel time, end to end (s), held at this
// value so the host's trim runs at the pace the trim wheel here assumes.
constexpr int32_t kElevTrimTravelS = 30;

bool assigned(int role) { return mirror_vi_at(bound::sim_joystick_joy_mapped_axis_avail, role) > 0; }
float axis_value(int role) { return mirror_vf_at(bound::sim_joystick_joy_mapped_axis_value, role); }

// A script input applied once per change.
bool changed(float value, float& last) { return value != last; }


// Pitch or roll axis to the host's yoke, gated against the autopilot.
void yoke_axis(float axis, float& last, bound::Id ratio_id, float cws) {
  const bool ap = script_mirror.zuvadud_autopilot_ap_on != 0.0f;
  const float small = std::fabs(axis);
  auto lag_home = [&]() {
    const float cur = mirror_f(ratio_id);
    if (cur != 0.0f) host_send_mirrored_f(ratio_id, lag_toward(cur, 0.0f, -1.0f, 1.0f, 6.0f));
  };
  if (axis == last) {
    if (small <= 0.11f && cws != 0.0f) lag_home();
  } else if (script_mirror.zuvadud_D738_yoke_disco_ap == 0.0f) {
    if (!ap) host_send_mirrored_f(ratio_id, axis);
  } else if (cws != 0.0f) {
    if (small <= 0.11f) {
      lag_home();
    } else {
      host_send_mirrored_f(ratio_id, axis);
    }
  } else if (ap) {
    if (small > 0.2f) host_send_mirrored_f(ratio_id, axis);
  } else {
    host_send_mirrored_f(ratio_id, axis);
  }
  last = axis;
}

void flight_axes() {
  AxisInputMemory& m = axis_inputs;
  // The standby system powers the rudder, not the elevators or ailerons:
  // pitch and roll are in manual reversion once neither A nor B reaches them
  // (lost, or shut off by its flight control switch), whatever the standby
  // pump does; yaw only while no rudder source is left.
  const bool surfaces_manual = !flight_controls_powered_a() && !flight_controls_powered_b();
  const bool rudder_manual = hydraulic::A_rudder == 0.0f && hydraulic::B_rudder == 0.0f;
  const bool scripts = flt_ctrls::joy_override == 0.0f;
  struct Flight {
    int role;
    float* axis_value_out;
    float script;
    float* script_last;
    bool reversion;
  } flights[3] = {{role_pitch, &axis::pitch, flt_ctrls::joy_pitch, &m.joy_pitch, surfaces_manual},
                  {role_roll, &axis::roll, flt_ctrls::joy_roll, &m.joy_roll, surfaces_manual},
                  {role_yaw, &axis::heading, flt_ctrls::joy_heading, &m.joy_heading, rudder_manual}};
  for (Flight& f : flights) {
    const float host = axis_value(f.role);
    if (f.reversion) {
      if (assigned(f.role) || std::fabs(*f.axis_value_out) > kReversionAuthority) {
        *f.axis_value_out = clamp_range(kReversionAuthority * host, -kReversionAuthority, kReversionAuthority);
      }
      if (scripts && changed(f.script, *f.script_last)) {
        *f.axis_value_out = clamp_range(kReversionAuthority * f.script, -kReversionAuthority, kReversionAuthority);
      }
    } else {
      if (assigned(f.role)) *f.axis_value_out = host;
      if (scripts && changed(f.script, *f.script_last)) *f.axis_value_out = f.script;
    }
    *f.script_last = f.script;
  }
}

// Script speed brake lever to the axis, with the scripts' own detents.
void script_speedbrake() {
  const float s = script_mirror.zuvadud_D738_flt_ctrls_speedbrake;
  float& last = axis_inputs.speedbrake;
  const float lever = flt_ctrls::speedbrake_lever;
  const bool active = (lever > 0.0889f && lever != 0.667f) ||
                      std::fabs(s - last) >= script_mirror.zuvadud_D738_flt_ctrls_speedbrake_noise / 30.0f;
  if (!active) return;
  if (s != last) {
    const float a = script_mirror.zuvadud_D738_flt_ctrls_speedbrake_arm;
    const float f = script_mirror.zuvadud_D738_flt_ctrls_speedbrake_flight;
    float out;
    if (a <= 0.04f || f == 0.0f) {
      out = s;
    } else if (s < a - 0.02f) {
      out = 0.0f;
    } else if (s <= a + 0.02f) {
      out = 0.0889f;
    } else if (s <= f - 0.02f) {
      out = interpolate_clamped(a + 0.02f, 0.13f, f - 0.02f, 0.667f, s);
    } else if (s <= f + 0.02f) {
      out = 0.667f;
    } else {
      const float span = 1.0f - (f + 0.02f);
      out = (s >= 1.0f || !(span > 0.0f)) ? 1.0f : 0.667f + (s - (f + 0.02f)) * 0.333f / span;
    }
    axis::speedbrake_lever = out;
  }
  last = s;
}

void script_gear() {
  const float g = script_mirror.zuvadud_D738_flt_ctrls_landgear;
  if (!changed(g, axis_inputs.landgear)) return;
  axis_inputs.landgear = g;
  const float o = script_mirror.zuvadud_D738_flt_ctrls_landgear_off;
  float lever;
  if (o == 0.0f) {
    lever = g;
  } else if (g >= o) {
    lever = o >= 1.0f ? 0.5f : (g >= 1.0f ? 1.0f : 0.5f + (g - o) * 0.5f / (1.0f - o));
  } else {
    lever = o < 0.0f ? 0.5f : g * 0.5f / o;
  }
  float& handle_pos = controls::gear_handle_down;
  // The lock is asked where the lever stands before it moves.
  const float stop = gear_handle_logic();
  handle_pos = lever;
  if (handle_pos < stop) handle_pos = stop;
  if (handle_pos < 0.1f) {
    handle_pos = 0.0f;
    issue_command_once(OwnCmd::push_button_gear_up);
  } else if (handle_pos >= 0.45f && handle_pos <= 0.55f) {
    handle_pos = 0.5f;
    issue_command_once(OwnCmd::push_button_gear_off);
  } else if (handle_pos > 0.95f) {
    handle_pos = 1.0f;
    issue_command_once(OwnCmd::push_button_gear_down);
  }
}

}  // namespace

void update_joystick_axes() {
  host_set_i(bound::sim_operation_override_override_joystick_heading, 1);
  host_set_i(bound::sim_operation_override_override_joystick_pitch, 1);
  host_set_i(bound::sim_operation_override_override_joystick_roll, 1);
  if (assigned(role_throttle1)) axis::throttle1 = axis_value(role_throttle1);
  if (assigned(role_throttle2)) axis::throttle2 = axis_value(role_throttle2);
  if (assigned(role_throttle)) axis::throttle1 = axis::throttle2 = axis_value(role_throttle);

  AxisInputMemory& m = axis_inputs;
  if (cockpit::joy_override == 0.0f) {
    flight_axes();
    yoke_axis(axis::pitch, m.pitch_last, bound::sim_cockpit2_controls_yoke_pitch_ratio,
              script_mirror.zuvadud_D738_autopilot_cws_p_status);
    yoke_axis(axis::roll, m.roll_last, bound::sim_cockpit2_controls_yoke_roll_ratio,
              script_mirror.zuvadud_D738_autopilot_cws_r_status);
    if (axis::heading != m.heading_last) host_send_mirrored_f(bound::sim_cockpit2_controls_yoke_heading_ratio, axis::heading);
    m.heading_last = axis::heading;
  }

  if (cockpit::toe_brake_override == 0.0f) {
    const bool one_pedal = script_mirror.zuvadud_D738_fms_toe_brakes_ovr == 1.0f;
    auto left = [&](float v) {
      axis::left_toe_brake = brake_ratios.toe_limit_left * clamp_range(v, 0.0f, 1.0f);
      if (one_pedal) axis::right_toe_brake = axis::left_toe_brake;
    };
    auto right = [&](float v) {
      axis::right_toe_brake = brake_ratios.toe_limit_right * clamp_range(v, 0.0f, 1.0f);
      if (one_pedal) axis::left_toe_brake = axis::right_toe_brake;
    };
    if (assigned(role_left_toe)) left(axis_value(role_left_toe));
    if (assigned(role_right_toe)) right(axis_value(role_right_toe));
    if (changed(flt_ctrls::toe_left, m.toe_left)) left(flt_ctrls::toe_left);
    if (changed(flt_ctrls::toe_right, m.toe_right)) right(flt_ctrls::toe_right);
  }
  m.toe_left = flt_ctrls::toe_left;
  m.toe_right = flt_ctrls::toe_right;

  if (cockpit::nosewheel_steer_override == 0.0f) {
    if (assigned(role_tiller)) axis::nosewheel = axis_value(role_tiller);
    if (changed(flt_ctrls::nosewheel, m.nosewheel)) axis::nosewheel = flt_ctrls::nosewheel;
  }
  m.nosewheel = flt_ctrls::nosewheel;

  if (script_mirror.zuvadud_D738_flt_ctrls_flaps_mapped < 0.0f && assigned(role_flaps)) axis::flap_lever = axis_value(role_flaps);
  if (script_mirror.zuvadud_D738_flt_ctrls_speedbrake_mapped < 0.0f && assigned(role_speedbrake)) {
    axis::speedbrake_lever = axis_value(role_speedbrake);
  }
  script_speedbrake();
  if (changed(script_mirror.zuvadud_D738_flt_ctrls_flaps, m.flaps)) axis::flap_lever = script_mirror.zuvadud_D738_flt_ctrls_flaps;
  m.flaps = script_mirror.zuvadud_D738_flt_ctrls_flaps;
  script_gear();
  if (changed(script_mirror.zuvadud_D738_flt_ctrls_mixture1, m.mixture1)) engine::mixture_ratio1 = script_mirror.zuvadud_D738_flt_ctrls_mixture1;
  if (changed(script_mirror.zuvadud_D738_flt_ctrls_mixture2, m.mixture2)) engine::mixture_ratio2 = script_mirror.zuvadud_D738_flt_ctrls_mixture2;
  m.mixture1 = script_mirror.zuvadud_D738_flt_ctrls_mixture1;
  m.mixture2 = script_mirror.zuvadud_D738_flt_ctrls_mixture2;
}

void update_stab_trim_wheel() {
  TrimWheelState& w = trim_wheel_state;
  // A float on the host: only the float write below reaches it.
  set_mirror_i(bound::sim_aircraft_controls_acf_elev_trim_time, kElevTrimTravelS);
  if (bound_present(bound::sim_aircraft_controls_acf_elev_trim_time) &&
      read_now_f(bound::sim_aircraft_controls_acf_elev_trim_time) != static_cast<float>(kElevTrimTravelS)) {
    host_send_f(bound::sim_aircraft_controls_acf_elev_trim_time, static_cast<float>(kElevTrimTravelS));
  }
  const bool ap = script_mirror.zuvadud_autopilot_ap_on != 0.0f;
  const float handle_ratio = host_mirror.sim_cockpit2_controls_flap_handle_deploy_ratio;
  const bool flaps_out = handle_ratio >= 0.05f;
  w.flaps_out = flaps_out ? 1.0f : 0.0f;
  elec_trim_fast_mode = flaps_out ? 1 : 0;
  if (!ap) {
    elec_trim_travel_time = flaps_out ? 42.75f : 85.5f;
  } else if (flaps_out) {
    elec_trim_travel_time = 63.33f;
  }
  // A failed trim stops the wheel; the sound flags below still follow.
  const bool trim_failed = host_mirror.sim_operation_failures_rel_trim_elv == 6;
  // Control-wheel steering drives the trim as the autopilot does.
  const bool ap_wheel = ap || script_mirror.zuvadud_D738_autopilot_cws_status == 2.0f;
  const float period = elec_trim_travel_time > 0.0f ? elec_trim_travel_time : 85.5f;
  float& wheel = flt_ctrls::trim_wheel;
  const float trim = host_mirror.sim_cockpit2_controls_elevator_trim;
  // The trim commands hand the wheel its target themselves (with the yoke
  // motor's run-on); a trim moved by anything else (the autopilot, the split
  // yoke switches, the host) becomes the target here. Trim motion under the
  // autopilot's hand sounds the wheel.
  if (std::isfinite(trim) && trim != w.last_trim) {
    if (trim != trim_wheel_target) trim_wheel_target = trim_wheel_hold = clamp_range(trim, -1.0f, 1.0f);
    if (replay_active != 1.0f && ap_wheel) {
      float& t = flaps_out ? delay_timers.trim_wheel_delay_2 : delay_timers.trim_wheel_delay_1;
      float& f = flaps_out ? delay_flags.trim_wheel_flag_2 : delay_flags.trim_wheel_flag_1;
      t = flaps_out ? 0.37f : 0.55f;
      f = 1.0f;
    }
  }
  w.last_trim = trim;
  // The wheel turns one way toward its target and rests there; a failed trim
  // stops it where the failure caught it.
  if (!trim_failed && std::isfinite(trim_wheel_target) && wheel != trim_wheel_target) {
    wheel = move_toward_timed(wheel, clamp_range(trim_wheel_target, -1.0f, 1.0f), -1.0f, 1.0f, period / 2.0f);
  }
  const bool ac = fed(Consumer::trim_wheel_fast);
  flt_ctrls::trim_wheel_quick =
      (trim_wheel_fast_run != 0.0f && ac && !trim_failed) || elec_trim_click_fast() != 0.0f ? 1.0f : 0.0f;
  flt_ctrls::trim_wheel_man = (pitch_trim_running != 0.0f || trim_wheel_pulse() != 0.0f) ? 1.0f : 0.0f;
  flt_ctrls::trim_wheel_slow =
      (trim_wheel_slow_run != 0.0f || pitch_trim_running != 0.0f || elec_trim_click_slow() != 0.0f) ? 1.0f : 0.0f;
  flt_ctrls::trim_wheel_quick_ap = delay_flags.trim_wheel_flag_2;
  flt_ctrls::trim_wheel_slow_ap = delay_flags.trim_wheel_flag_1;
}

namespace {

// Yoke electric trim through the host's split trim commands: each half of the
// switch reports its own command phase, and the motor runs only while both
// halves of one direction are held. The single yoke trim commands move the
// trim in their handlers instead; these two paths never share a command.
constexpr float kYokeNoseUpLimit = 0.7192980051040649f;
constexpr float kYokeNoseDownLimitFlapsUp = -0.514618992805481f;
constexpr float kYokeNoseDownLimitFlapsOut = -0.9707589745521545f;
constexpr float kColumnCutout = 0.4f;
constexpr float kSwitchCentre = 0.515f;

bool half_held(float phase) { return phase >= 1.0f && phase <= 2.0f; }

void split_trim_run(bool down) {
  switch_::capt_trim_pos = down ? 1.0f : 0.0f;
  switch_::el_trim_cfy = down ? 2 : 1;
  const HostMirror& m = host_mirror;
  const float lo = down ? (m.sim_cockpit2_controls_flap_handle_deploy_ratio == 0.0f ? kYokeNoseDownLimitFlapsUp
                                                                                   : kYokeNoseDownLimitFlapsOut)
                        : -1.0f;
  const float hi = down ? 1.0f : kYokeNoseUpLimit;
  const float trim = m.sim_cockpit2_controls_elevator_trim;
  const float column = m.sim_cockpit2_controls_yoke_pitch_ratio;
  const bool column_refuses =
      toggle_switch::stab_trim_overide_pos == 0.0f && (down ? column > kColumnCutout : column < -kColumnCutout);
  // A travel time that is not a positive number would make the step
  // infinite: the motor then stays still.
  const float travel_s = elec_trim_travel_time;
  if (!(fed(Consumer::stab_trim_main_elec) && !yoke_trim_cut_out() && trim >= lo && trim <= hi &&
        m.sim_operation_failures_rel_trim_elv != 6 && !column_refuses && travel_s > 0.0f)) {
    return;
  }
  const float step = 2.0f / travel_s * frame_time;
  host_set_f(bound::sim_cockpit2_controls_elevator_trim, clamp_range(down ? trim - step : trim + step, lo, hi));
  const float cws = script_mirror.zuvadud_D738_autopilot_cws_status;
  if (script_mirror.zuvadud_autopilot_ap_on == 1.0f || cws == 2.0f) {
    issue_command_once(HostCmd::autopilot_servos_fdir_off);
  }
}

}  // namespace

void update_split_yoke_trim() {
  TrimChannelCommands& c = trim_channel_commands;
  const bool up_set = c.a_up != 0.0f || c.b_up != 0.0f;
  const bool down_set = c.a_down != 0.0f || c.b_down != 0.0f;
  if (!down_set && up_set) {
    if (c.a_up == 3.0f || c.b_up == 3.0f) {
      switch_::capt_trim_pos = kSwitchCentre;
      switch_::el_trim_cfy = 0;
    } else if (half_held(c.a_up) && half_held(c.b_up)) {
      split_trim_run(false);
    }
  } else if (!up_set && down_set) {
    if (c.a_down == 3.0f || c.b_down == 3.0f) {
      switch_::capt_trim_pos = kSwitchCentre;
      switch_::el_trim_cfy = 0;
    } else if (half_held(c.a_down) && half_held(c.b_down)) {
      split_trim_run(true);
    }
  }
  // Each phase acts in one frame only: a held half reports itself again.
  c = TrimChannelCommands{};
}

void update_trim_switches_reversers() {
  update_split_yoke_trim();
  const float ra = host_mirror.sim_cockpit2_gauges_indicators_radio_altimeter_height_ft_pilot;
  const int32_t* pm = host_mirror.sim_cockpit2_engine_actuators_prop_mode;
  const float* thr = host_mirror.sim_cockpit2_engine_actuators_throttle_ratio;
  struct Engine {
    bool hyd;
    bound::Id revers, revdep;
    float* lever;
    float* lock;
  } engines[2] = {
      {reverser_powered(0), bound::sim_operation_failures_rel_revers0, bound::sim_operation_failures_rel_revdep0,
       &flt_ctrls::reverse_lever1, &flt_ctrls::lock_reverse1},
      {reverser_powered(1), bound::sim_operation_failures_rel_revers1, bound::sim_operation_failures_rel_revdep1,
       &flt_ctrls::reverse_lever2, &flt_ctrls::lock_reverse2},
  };
  for (int e = 0; e < 2; ++e) {
    Engine& en = engines[e];
    if (!en.hyd || ra > 10.0f) {
      const bool was_reverse = reverser_memory.prop_mode_last[e] == 3;
      // Sleeves that came out without a reverse command (the host's own
      // deployment failure, set and cleared in flight) are driven home while
      // there is pressure, and only then locked: locked out, they would keep
      // the forward lever at idle for the rest of the flight.
      const float sleeves = host_mirror.sim_flightmodel2_engines_thrust_reverser_deploy_ratio[e];
      const bool stray = !was_reverse && en.hyd && sleeves > 0.0f;
      host_set_i(en.revdep, was_reverse ? 6 : 0);
      host_set_i(en.revers, was_reverse || stray ? 0 : 6);
    } else {
      host_set_i(en.revdep, 0);
      host_set_i(en.revers, 0);
    }
    if (pm[e] == 3) {
      if (cockpit::throttle_override == 0.0f) *en.lever = interpolate_clamped(0.0f, 0.06f, 1.0f, 1.0f, thr[e]);
    } else {
      *en.lever = 0.0f;
      *en.lock = (thr[e] > 0.02f || ra > 10.0f) ? 1.0f : 0.0f;
    }
    reverser_memory.prop_mode_last[e] = pm[e];
  }
  flt_ctrls::reverse_lever12 = (flt_ctrls::reverse_lever1 + flt_ctrls::reverse_lever2) * 0.5f;
  flt_ctrls::lock_reverse12 = (flt_ctrls::lock_reverse1 != 0.0f || flt_ctrls::lock_reverse2 != 0.0f) ? 1.0f : 0.0f;
}
