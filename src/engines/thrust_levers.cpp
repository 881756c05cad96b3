// Thrust levers, autothrottle servo and N1 set. Reads the host throttle
// ratios and the scripts' lever, autopilot and FMS values (mirrors), the
// published N1 limits, bugs and knob; writes the published thrust and reverse
// levers, bugs, servo and autothrottle flags, the scripts'
// "zuvadud/D738/FMS/N1_mode_thrust", and the host's prop mode and throttle
// ratio pairs when they change.
#include "engines/thrust_levers.h"

#include <cmath>

#include "core/binding.h"
#include "core/frame_values.h"
#include "core/preprocess_values.h"
#include "core/util.h"
#include "engines/engine_inputs.h"
#include "engines/engine_state.h"
#include "engines/engine_values.h"
#include "engines/thrust_tables.h"
#include "systems/electrical/bus_feeds.h"
#include "systems/flight_controls/flight_control_values.h"
#include "systems/instruments/instrument_values.h"
#include "systems/switches/switch_values.h"

namespace {

constexpr float kFineTrimRate = 0.0006f;  // lever per second once settled
constexpr float kSettleBand = 0.6f;       // N1 % around the bug
constexpr float kSettleTime = 6.0f;       // s

bool stowed(int e) { return !(host_mirror.sim_flightmodel2_engines_thrust_reverser_deploy_ratio[e] > 0.01f); }
// Reverser moving at all (0.01 or more): the forward lever reads idle and the
// N1 command flag is raised; "stowed" above allows the same 0.01 of play.
bool deploying(int e) { return host_mirror.sim_flightmodel2_engines_thrust_reverser_deploy_ratio[e] >= 0.01f; }

float* thrust_lever(int e) { return e == 0 ? &engine::thrust1_leveler : &engine::thrust2_leveler; }
float* reverse_lever(int e) { return e == 0 ? &flt_ctrls::reverse_lever1 : &flt_ctrls::reverse_lever2; }
float* n1_bug(int e) { return e == 0 ? &engine::eng1_N1_bug : &engine::eng2_N1_bug; }
float* n1_bug_dig(int e) { return e == 0 ? &engine::eng1_N1_bug_dig : &engine::eng2_N1_bug_dig; }
float n1_lim(int e) { return e == 0 ? engine::eng1_N1_lim : engine::eng2_N1_lim; }
float n1_lim2(int e) { return e == 0 ? engine::eng1_N1_lim2 : engine::eng2_N1_lim2; }
float axis_value(int e) { return finite_or(e == 0 ? axis::throttle1 : axis::throttle2, 0.0f); }
int32_t prop_mode(int e) { return host_mirror.sim_cockpit2_engine_actuators_prop_mode[e]; }
float idle_mode(int e) { return engine::idle_mode[e]; }

float lever_to_servo(int e, float lever) { return throttle_to_n1_target(lever, idle_mode(e), prop_mode(e), e); }
float servo_to_lever(int e, float servo) { return throttle_to_n1_fraction(servo, idle_mode(e), prop_mode(e), e); }

float clamp_servo(int e, float v) {
  return clamp_range(v, thrust_tables.idle_throttle[e], thrust_tables.throttle_max);
}

// The highest servo the speed modes may ask of an engine: its N1 limit, up
// to full throttle. A limit not yet worked out (at or below idle) caps
// nothing.
float speed_mode_ceiling(int e) {
  const float lim = n1_lim(e);
  if (!(lim > thrust_tables.idle_throttle[e])) return 1.0f;
  return lim < 1.0f ? lim : 1.0f;
}

void clear_settle(int e) {
  thrust_lever_state.settle_timer_s[e] = 0.0f;
  thrust_lever_state.settled[e] = 0;
}

// Fine trim: once N1 has stayed near the bug the lever creeps instead of the
// servo chasing the limit (the limit and the actual N1 never quite agree).
void track_settle(int e, float bug_pct, float n1) {
  ThrustLeverState& t = thrust_lever_state;
  const float gap = std::fabs(bug_pct - n1);
  if (t.settled[e] == 0) {
    if (gap < kSettleBand) {
      t.settle_timer_s[e] += frame_time;
      if (t.settle_timer_s[e] > kSettleTime) t.settled[e] = 1;
    } else {
      t.settle_timer_s[e] = 0.0f;
    }
    return;
  }
  if (gap >= kSettleBand) {
    clear_settle(e);
    return;
  }
  float& lever = *thrust_lever(e);
  if (n1 < bug_pct - 0.02f) lever += kFineTrimRate * frame_time;
  if (n1 > bug_pct + 0.02f) lever -= kFineTrimRate * frame_time;
  t.servo[e] = clamp_servo(e, lever_to_servo(e, lever));
}

void n1_hold(int e, float target, float rate) {
  ThrustLeverState& t = thrust_lever_state;
  const float bug = finite_or(*n1_bug(e), 0.0f) * 100.0f;
  const float n1 = host_mirror.sim_flightmodel2_engines_N1_percent[e];
  if (t.settled[e] == 0) {
    t.servo[e] = lag_toward(t.servo[e], target, thrust_tables.idle_throttle[e], thrust_tables.throttle_max, rate);
    *thrust_lever(e) = servo_to_lever(e, t.servo[e]);
  }
  track_settle(e, bug, n1);
}

void retard(int e) {
  ThrustLeverState& t = thrust_lever_state;
  const float idle = thrust_tables.idle_throttle[e];
  const float trg = e == 0 ? script_mirror.zuvadud_autopilot_eng1_N1_thrust_trg : script_mirror.zuvadud_autopilot_eng2_N1_thrust_trg;
  if (script_mirror.zuvadud_D738_autopilot_autoland_status != 0.0f) {
    if (trg == 0.0f) t.servo[e] = clamp_servo(e, t.servo[e] - 0.22f * frame_time);
  } else if (trg == 0.0f) {
    t.servo[e] = clamp_servo(e, t.servo[e] - 0.05f * frame_time);
    if (t.servo[e] < idle) t.servo[e] = idle;
    clear_settle(e);
  } else if (on_ground != 0) {
    t.servo[e] = lag_toward(t.servo[e], n1_lim(e), idle, thrust_tables.throttle_max, 0.7f);
  } else {
    if (t.settled[e] == 0) {
      const float step = 0.06f * frame_time;
      const float lim = n1_lim(e);
      float v = t.servo[e];
      v = v < lim ? (v + step > lim ? lim : v + step) : (v - step < lim ? lim : v - step);
      t.servo[e] = clamp_servo(e, v);
      *thrust_lever(e) = servo_to_lever(e, t.servo[e]);
    }
    // The lever is set before the settle check so that fine trim starts
    // from where the servo actually is.
    const float bug = finite_or(*n1_bug(e), 0.0f) * 100.0f;
    track_settle(e, bug, host_mirror.sim_flightmodel2_engines_N1_percent[e]);
    return;
  }
  *thrust_lever(e) = servo_to_lever(e, t.servo[e]);
}

}  // namespace

void reset_thrust_lever_state() {
  ThrustLeverState& t = thrust_lever_state;
  t = ThrustLeverState{};
  // The levers start where the host's throttles stand: a situation brought
  // in (another model's plug-in flew it up to here) keeps its thrust, and a
  // lever left at 0 would be written back to the host as idle.
  for (int e = 0; e < 2; ++e) {
    const float ratio = clamp_range(finite_or(host_mirror.sim_cockpit2_engine_actuators_throttle_ratio[e], 0.0f),
                                    0.0f, 1.0f);
    *thrust_lever(e) = ratio;
    t.servo[e] = lever_to_servo(e, ratio);
    t.last_input[e] = ratio;
  }
  t.last_ratio_all = host_mirror.sim_cockpit2_engine_actuators_throttle_ratio_all;
  t.manual_n1[0] = 0.984f;
  t.manual_n1[1] = 0.984f;
  engine::eng1_N1_bug = 0.984f;
  engine::eng2_N1_bug = 0.984f;
  t.n1_source_taken = toggle_switch::n1_set_source;
  autothrottle_speed_state = AutothrottleSpeedState{};
  autothrottle_speed_state.upper = 1.0f;
}

namespace {

// One detent of the N1 SET source knob (2, 1, AUTO, BOTH: -2..1) as the
// engine display takes it: entering a manual position hands the adjust knob
// the N1 last set by hand for that engine, and the engine that leaves manual
// control gets its bug back.
void take_n1_set_detent(float from, float to) {
  const float m1 = thrust_lever_state.manual_n1[0];
  const float m2 = thrust_lever_state.manual_n1[1];
  if (from == 1.0f && to == 0.0f) {
    engine::eng1_N1_bug = m1;
    engine::eng2_N1_bug = m2;
  } else if (from == 0.0f && to == -1.0f) {
    toggle_switch::n1_set_adjust = m1;
    engine::eng2_N1_bug = m2;
  } else if (from == -1.0f && to == -2.0f) {
    engine::eng1_N1_bug = m1;
    toggle_switch::n1_set_adjust = m2;
  } else if ((from == -2.0f && to == -1.0f) || (from == 0.0f && to == 1.0f)) {
    toggle_switch::n1_set_adjust = m1;
  }
}

bool n1_set_detent(float v) { return v == -2.0f || v == -1.0f || v == 0.0f || v == 1.0f; }

// A knob turned while the display was dark is taken detent by detent, so the
// crew sees what the same turns with power would have shown.
void take_n1_set_knob() {
  ThrustLeverState& t = thrust_lever_state;
  const float knob = toggle_switch::n1_set_source;
  if (!n1_set_detent(t.n1_source_taken) || !n1_set_detent(knob)) {
    t.n1_source_taken = knob;
    return;
  }
  while (t.n1_source_taken != knob) {
    const float from = t.n1_source_taken;
    t.n1_source_taken = from + (knob > from ? 1.0f : -1.0f);
    take_n1_set_detent(from, t.n1_source_taken);
  }
}

}  // namespace

void hand_over_restored_n1_set() {
  const float m1 = thrust_lever_state.manual_n1[0];
  const float m2 = thrust_lever_state.manual_n1[1];
  const float knob = toggle_switch::n1_set_source;
  if (knob == 1.0f) {
    toggle_switch::n1_set_adjust = m1;
  } else if (knob == -1.0f) {
    toggle_switch::n1_set_adjust = m1;
    engine::eng2_N1_bug = m2;
  } else if (knob == -2.0f) {
    toggle_switch::n1_set_adjust = m2;
    engine::eng1_N1_bug = m1;
  }
  thrust_lever_state.n1_source_taken = knob;
}

void n1_set_source_turned() {
  if (display_units_powered()) take_n1_set_knob();
}

void update_n1_set() {
  for (int e = 0; e < 2; ++e) engine::eng1_N1_cmd[e] = deploying(e) ? 1.0f : 0.0f;
  // The N1 set mode, bugs, limits and manual targets are the engine
  // display's: with neither side's display units powered they hold where
  // they were, and the knob is taken as it stands when the power comes back.
  if (!display_units_powered()) return;
  take_n1_set_knob();
  ThrustLeverState& t = thrust_lever_state;
  const float* fms = script_mirror.zuvadud_D738_FMS_N1_mode_thrust;
  float w[2] = {fms[0], fms[1]};
  const float knob = toggle_switch::n1_set_source;
  const float set_value = finite_or(toggle_switch::n1_set_adjust, 0.0f);
  auto manual = [&](int e) {
    if (stowed(e)) {
      *n1_bug(e) = set_value;
      w[e] = set_value;
      t.manual_n1[e] = set_value;
      *n1_bug_dig(e) = 1.0f;
    } else {
      *n1_bug_dig(e) = 0.0f;
    }
  };
  auto keep = [&](int e) {
    if (stowed(e)) {
      w[e] = *n1_bug(e);
      *n1_bug_dig(e) = 1.0f;
    } else {
      *n1_bug_dig(e) = 0.0f;
    }
  };
  if (knob == 1.0f) {
    manual(0);
    manual(1);
  } else if (knob == -1.0f) {
    manual(0);
    keep(1);
  } else if (knob == -2.0f) {
    manual(1);
    keep(0);
  }
  if (knob == 1.0f || knob == -1.0f || knob == -2.0f) {
    engine::N1_mode_man = 1.0f;
  } else if (knob == 0.0f) {
    engine::N1_mode_man = 0.0f;
    const float m = script_mirror.zuvadud_D738_FMS_N1_mode;
    const float assumed = (m > 3.0f && m < 7.0f) ? 1.0f : 0.0f;
    if (!stowed(0) || !stowed(1)) {
      engine::eng1_N1_bug_dig = 0.0f;
      engine::eng2_N1_bug_dig = 0.0f;
      eicas::assum_temp_show = assumed;
    } else if (m != 0.0f && m != 13.0f) {
      if (m > 0.0f) {
        const float* src = script_mirror.zuvadud_D738_eicas_full_n1 == 0.0f
                               ? script_mirror.zuvadud_D738_FMS_N1_mode_full_thrust
                               : script_mirror.zuvadud_D738_FMS_N1_mode_thrust;
        engine::eng1_N1_bug = src[0];
        engine::eng2_N1_bug = src[1];
        eicas::assum_temp_show = assumed;
        const float dig = script_mirror.zuvadud_D738_eicas_n1_num != 0.0f ? 1.0f : 0.0f;
        engine::eng1_N1_bug_dig = dig;
        engine::eng2_N1_bug_dig = dig;
      }
    } else {
      engine::eng1_N1_bug_dig = -1.0f;
      engine::eng2_N1_bug_dig = -1.0f;
      w[0] = 1.0f;
      w[1] = 1.0f;
      eicas::assum_temp_show = 0.0f;
    }
  }
  if (w[0] != fms[0] || w[1] != fms[1]) {
    script_mirror.zuvadud_D738_FMS_N1_mode_thrust[0] = w[0];
    script_mirror.zuvadud_D738_FMS_N1_mode_thrust[1] = w[1];
    script_set_vf(bound::zuvadud_D738_FMS_N1_mode_thrust, w, 2);
  }
}

void update_thrust_levers() {
  if (cockpit::throttle_override != 0.0f) return;
  ThrustLeverState& t = thrust_lever_state;
  HostMirror& h = host_mirror;
  const ScriptMirror& sm = script_mirror;
  const float speed_mode = sm.zuvadud_D738_autopilot_speed_mode2;
  const float cfy = sm.zuvadud_D738_cfy_enable;
  if (speed_mode != t.speed_mode_checked) {
    t.remembered_axis[0] = axis_value(0);
    t.remembered_axis[1] = axis_value(1);
    t.speed_mode_checked = speed_mode;
  }

  float* ratio = h.sim_cockpit2_engine_actuators_throttle_ratio;
  const float ratio_all = h.sim_cockpit2_engine_actuators_throttle_ratio_all;
  float& lock = autopilot::lock_throttle;
  if (cfy == 0.0f) {
    if (lock != 0.0f && (sm.zuvadud_D738_fms_lock_thrust == 0.0f || speed_mode == 0.0f)) {
      const float noise = sm.zuvadud_D738_fms_throttle_noise;
      const float n = noise / 100.0f;
      bool moved = std::fabs(axis_value(0) - t.remembered_axis[0]) > n ||
                   std::fabs(axis_value(1) - t.remembered_axis[1]) > n;
      if (noise == 0.0f) {
        moved = moved || std::fabs(ratio[0] - t.last_input[0]) > n || std::fabs(ratio[1] - t.last_input[1]) > n ||
                (std::fabs(ratio_all - t.last_ratio_all) > n && std::fabs(ratio[0] - ratio[1]) <= 0.05f);
      }
      if (moved) lock = 0.0f;
    }
  } else {
    lock = 0.0f;
  }

  float input[2];
  for (int e = 0; e < 2; ++e) {
    input[e] = finite_or(ratio[e], 0.0f);
    if (cfy == 2.0f) {
      input[e] = finite_or(prop_mode(e) == 3 ? flt_ctrls::throttle_reverse_raw[e] : flt_ctrls::throttle_raw[e], 0.0f);
    }
  }

  const bool reversing = t.reverser_engaged[0] != 0.0f || t.reverser_engaged[1] != 0.0f;
  float host_lever[2] = {*thrust_lever(0), *thrust_lever(1)};
  int32_t new_prop[2] = {prop_mode(0), prop_mode(1)};
  if (!reversing) {
    if (lock == 0.0f) {
      for (int e = 0; e < 2; ++e) {
        if (input[e] != t.last_input[e]) {
          *thrust_lever(e) = input[e];
          t.servo[e] = lever_to_servo(e, input[e]);
          t.remembered_axis[0] = axis_value(0);
          t.remembered_axis[1] = axis_value(1);
        }
      }
    }
    t.last_input[0] = input[0];
    t.last_input[1] = input[1];
    t.last_ratio_all = ratio_all;
    if (sm.zuvadud_D738_fms_throttle_noise != 0.0f && lock != 0.0f) {
      for (int e = 0; e < 2; ++e) *thrust_lever(e) = servo_to_lever(e, t.servo[e]);
    }

    bool keep_settle = false;
    if (sm.zuvadud_autopilot_at_throttle_hold == 0.0f) {
      const int32_t mode = trunc_clamped(speed_mode, -1000, 1000);
      // A lever the pilot overrides stays where the pilot holds it, whatever
      // the servo mode would have done with it.
      const float pilot_lever[2] = {*thrust_lever(0), *thrust_lever(1)};
      if (mode == 0) {
        for (int e = 0; e < 2; ++e) {
          if (prop_mode(e) == 3) {
            t.servo[e] = clamp_range(*reverse_lever(e), 0.0f, 1.0f) * thrust_tables.reverse_max;
          } else {
            if (deploying(e)) *thrust_lever(e) = 0.0f;
            t.servo[e] = lever_to_servo(e, *thrust_lever(e));
          }
        }
      } else {
        lock = 1.0f;
        if (mode == 2 || mode == 9) {
          // Speed on thrust never asks an engine for more than its N1 limit;
          // the speed law itself stops at the higher one, so that it does
          // not wind up beyond what the servos may give.
          const float ceiling[2] = {speed_mode_ceiling(0), speed_mode_ceiling(1)};
          autothrottle_speed_state.upper = ceiling[0] > ceiling[1] ? ceiling[0] : ceiling[1];
          float target = autothrottle_speed_target();
          if (target > 1.0f) target = 1.0f;
          for (int e = 0; e < 2; ++e) {
            const float capped = target > ceiling[e] ? ceiling[e] : target;
            t.servo[e] = lag_toward(t.servo[e], capped, thrust_tables.idle_throttle[e], thrust_tables.throttle_max, 0.5f);
            *thrust_lever(e) = servo_to_lever(e, t.servo[e]);
          }
        } else if (mode == 6 || mode == 7) {
          keep_settle = true;
          for (int e = 0; e < 2; ++e) retard(e);
        } else {
          keep_settle = true;
          const bool go_around = sm.zuvadud_D738_autopilot_ap_goaround == 1.0f || sm.zuvadud_D738_autopilot_fd_goaround == 1.0f;
          const bool toga_modes = mode == 4 || mode == 5 || mode == 8;
          for (int e = 0; e < 2; ++e) {
            const float target = (toga_modes && go_around) ? n1_lim2(e) : n1_lim(e);
            n1_hold(e, target, toga_modes ? 0.8f : 0.7f);
          }
        }
      }
      for (int e = 0; e < 2; ++e) {
        if (autopilot::at_throttle_override[e] == 0.0f) continue;
        if (mode != 0) *thrust_lever(e) = pilot_lever[e];
        t.servo[e] = lever_to_servo(e, *thrust_lever(e));
      }
    } else {
      for (int e = 0; e < 2; ++e) t.servo[e] = lever_to_servo(e, *thrust_lever(e));
    }
    if (!keep_settle) {
      clear_settle(0);
      clear_settle(1);
    }
    host_lever[0] = *thrust_lever(0);
    host_lever[1] = *thrust_lever(1);
  } else {
    const float rm = thrust_tables.reverse_max;
    // Both engines run the reverse law while either reverser is engaged: one
    // left forward is brought back to idle with the other.
    for (int e = 0; e < 2; ++e) {
      const float idle = thrust_tables.idle_throttle[e];
      const float deploy = h.sim_flightmodel2_engines_thrust_reverser_deploy_ratio[e];
      if (t.reverser_held[e] != 0.0f) {
        if (deploy > 0.9f) t.servo[e] = lag_toward(t.servo[e], rm, 0.0f, rm, 1.5f);
      } else {
        t.servo[e] = lag_toward(t.servo[e], 0.0f, 0.0f, rm, 1.5f);
        if (t.servo[e] <= idle) {
          t.servo[e] = idle;
          new_prop[e] = 1;
          t.reverser_engaged[e] = 0.0f;
          *reverse_lever(e) = 0.0f;
        }
      }
      if (t.servo[e] > idle) {
        *reverse_lever(e) = throttle_to_n1_fraction(t.servo[e], idle_mode(e), 3, e);
        host_lever[e] = clamp_range((*reverse_lever(e) - 0.06f) / 0.94f, 0.0f, 1.0f);
      } else {
        host_lever[e] = 0.0f;
      }
    }
    clear_settle(0);
    clear_settle(1);
  }

  // A lever in reverse reads idle on the forward quadrant.
  for (int e = 0; e < 2; ++e) {
    if (new_prop[e] == 3) *thrust_lever(e) = 0.0f;
  }
  engine::thrust12_leveler = (engine::thrust1_leveler + engine::thrust2_leveler) * 0.5f;
  const float show = sm.zuvadud_D738_effects_hardware_thr_lever != 0.0f ? 1.0f : 0.0f;
  engine::thr_lvr1_show = show;
  engine::thr_lvr2_show = show;
  flt_ctrls::throttle_servo_status = 0.0f;
  autopilot::autothrottle_status = 0.0f;
  if (sm.zuvadud_autopilot_at_throttle_hold == 0.0f && speed_mode != 0.0f) {
    if (cfy == 2.0f) {
      flt_ctrls::throttle_servo_status = 1.0f;
      flt_ctrls::throttle_target[0] = engine::thrust1_leveler;
      flt_ctrls::throttle_target[1] = engine::thrust2_leveler;
    } else if (cfy == 1.0f) {
      autopilot::autothrottle_status = 1.0f;
    }
  }
  int32_t* prop = h.sim_cockpit2_engine_actuators_prop_mode;
  if (new_prop[0] != prop[0] || new_prop[1] != prop[1]) {
    prop[0] = new_prop[0];
    prop[1] = new_prop[1];
    host_send_vi(bound::sim_cockpit2_engine_actuators_prop_mode, prop, 2);
  }
  for (int e = 0; e < 2; ++e) host_lever[e] = finite_or(host_lever[e], 0.0f);
  if (host_lever[0] != ratio[0] || host_lever[1] != ratio[1]) {
    ratio[0] = host_lever[0];
    ratio[1] = host_lever[1];
    host_send_vf(bound::sim_cockpit2_engine_actuators_throttle_ratio, ratio, 2);
  }
  // What was just written is not a pilot input next frame.
  if (!reversing) {
    t.last_input[0] = cfy == 2.0f ? input[0] : ratio[0];
    t.last_input[1] = cfy == 2.0f ? input[1] : ratio[1];
  }
  t.speed_mode_prev = speed_mode;
}

void update_thrust_control() {
  compute_idle_n1(engine::idle_mode[0], engine::idle_mode[1]);
  update_n1_set();
  update_thrust_levers();
}
