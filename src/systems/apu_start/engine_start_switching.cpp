// Cockpit side of engine starting, both engines: start switch knob animation
// and the return from GRD at starter cut-out, igniter selection and power,
// start valves and air starter valves, the start EGT redline, which engine the
// ground air cart is starting, the reverser mode agreement value and the
// timing of the oil and fuel-flow indications. Writes the host's
// "sim/cockpit2/engine/actuators/ignition_key", "igniter_on",
// "auto_ignite_on" (pairs, on change) and holds
// "sim/operation/override/override_pressurization" at 1.
#include "systems/apu_start/engine_start_switching.h"

#include <algorithm>
#include <cstdint>

#include "core/binding.h"
#include "core/frame_values.h"
#include "core/preprocess_values.h"
#include "core/util.h"
#include "core/variant.h"
#include "engines/engine_values.h"
#include "systems/air/air_values.h"
#include "systems/aircraft_systems.h"
#include "systems/delay_timers.h"
#include "systems/electrical/bus_feeds.h"
#include "systems/electrical/electric_values.h"
#include "core/host_io.h"
#include "systems/ice_rain/ice_values.h"
#include "systems/instruments/instrument_values.h"
#include "systems/air/pneumatics.h"
#include "systems/switches/switch_memory.h"
#include "systems/switches/switch_targets.h"
#include "systems/switches/switch_values.h"

StartSwitchingState start_switching;

namespace {

constexpr float kCutOutN2 = 55.3f;     // % N2 at which the NG's starter cuts out
constexpr float kMaxCutOutN2 = 63.0f;  // the MAX's
// A running core above the NG's cut-out that rises slower than this (% N2
// per second) for kIdleSettledS has settled at its idle.
constexpr float kIdleSettledRate = 0.2f;
constexpr float kIdleSettledS = 1.0f;

struct EngineRefs {
  float* anim;
  float* target;
  float* pos;
  float* pos2;
  float* redline_flag;
  float* redline_delay;
  float* start_valve;
  float* air_starter_valve;
  float* oil_press;
  float* oil_temp;
  float* ff;
  float lever;
  float n2_ind;
  float heat_switch;
  float tns_bus;
  bound::Id fire, fail, sep;
};

EngineRefs engine_refs(int e) {
  if (e == 0) {
    return {&travel_targets.eng1_start_turn, &starter1_knob_target, &engine::starter1_pos, &engine::starter1_pos2,
            &delay_flags.air_start_flag_1, &delay_timers.air_start_delay_1, &engine::start_valve1,
            &air::engine1_starter_valve, &engine::eicas_oil_press1, &engine::eicas_oil_temp1, &engine::eicas_ff1,
            engine::mixture_ratio1, engine::indicators_N2_percent_1, ice::eng1_heat_pos, fed01(Consumer::ignition_left),
            bound::sim_operation_failures_rel_engfir0, bound::sim_operation_failures_rel_engfai0,
            bound::sim_operation_failures_rel_engsep0};
  }
  return {&travel_targets.eng2_start_turn, &starter2_knob_target, &engine::starter2_pos, &engine::starter2_pos2,
          &delay_flags.air_start_flag_2, &delay_timers.air_start_delay_2, &engine::start_valve2,
          &air::engine2_starter_valve, &engine::eicas_oil_press2, &engine::eicas_oil_temp2, &engine::eicas_ff2,
          engine::mixture_ratio2, engine::indicators_N2_percent_2, ice::eng2_heat_pos, fed01(Consumer::ignition_right),
          bound::sim_operation_failures_rel_engfir1, bound::sim_operation_failures_rel_engfai1,
          bound::sim_operation_failures_rel_engsep1};
}

void animate_knob(EngineRefs& r) {
  float& anim = *r.anim;
  const float target = *r.target;
  if (anim == target || target == 3.0f) return;
  auto move = [&](float t, float lo, float hi) { anim = move_toward_timed(anim, t, lo, hi, 0.15f); };
  auto ip = [&](float x0, float y0, float x1, float y1) { return interpolate_clamped(x0, y0, x1, y1, anim); };
  if (target == 0.0f) {
    move(0.0f, 0.0f, 1.0f);
    if (anim < 0.5f) {
      *r.pos = ip(0.0f, 0.0f, 0.5f, 1.0f);
      *r.pos2 = 0.0f;
    } else {
      *r.pos = 1.0f;
      *r.pos2 = ip(0.0f, 0.0f, 0.5f, 1.0f);
    }
  } else if (target == 1.0f) {
    const float old = anim;
    if (old < 0.2f) {
      move(1.0f, 0.0f, 1.0f);
      *r.pos = ip(0.0f, 0.0f, 0.2f, 1.0f);
      *r.pos2 = 0.0f;
    } else if (old < 1.0f) {
      move(1.0f, 0.0f, 1.0f);
      *r.pos = 1.0f;
      *r.pos2 = ip(0.0f, 0.0f, 0.2f, 1.0f);
    } else if (old < 1.2f) {
      move(1.0f, 1.0f, 2.0f);
      *r.pos = 1.0f;
      *r.pos2 = ip(1.0f, 1.0f, 1.2f, 0.0f);
    } else {
      move(1.0f, 1.0f, 2.0f);
      *r.pos = ip(1.2f, 1.0f, 2.0f, 2.0f);
      *r.pos2 = 0.0f;
    }
  } else if (target == 2.0f) {
    move(2.0f, 1.0f, 2.0f);
    if (anim < 1.5f) {
      *r.pos = 1.0f;
      *r.pos2 = ip(1.0f, 1.0f, 1.5f, 0.0f);
    } else {
      *r.pos = ip(1.5f, 1.0f, 2.0f, 2.0f);
      *r.pos2 = 0.0f;
    }
  } else {
    return;  // a target no command sets: the knob stays
  }
  if (anim == target) *r.pos = anim;
}

float selected_igniters() {
  const float src = toggle_switch::eng_start_source;
  if (src == -1.0f) return 1.0f;
  if (src == 0.0f) return 3.0f;
  return 2.0f;
}

// Whether engine e's running core has settled at its idle: above the NG's
// cut-out and no longer rising. Kept up once a frame.
bool idle_settled(int e, float n2_ind) {
  StartSwitchingState& st = start_switching;
  const bool running = mirror_vi_at(bound::sim_flightmodel_engine_ENGN_running, e) != 0;
  const bool steady = frame_time > 0.0f && n2_ind - st.n2_prev[e] < kIdleSettledRate * frame_time;
  float& t = st.idle_settled_s[e];
  if (!(running && n2_ind > kCutOutN2)) {
    t = 0.0f;
  } else if (steady) {
    t = std::min(t + frame_time, kIdleSettledS);
  } else if (frame_time > 0.0f) {
    t = 0.0f;
  }
  st.n2_prev[e] = n2_ind;
  return t >= kIdleSettledS;
}

// Starter cut-out at the model's own N2 (`n2`: the switch reads the
// indicated one, the start EGT redline the host's). An engine whose idle
// lies below the MAX's cut-out has finished its start once it has settled
// there: the starter is cut out then, rather than held for good.
bool starter_cut_out(float n2, bool settled) {
  if (!is_max_model()) return n2 > kCutOutN2;
  return n2 > kMaxCutOutN2 || settled;
}

float switch_mode(int e, EngineRefs& r, float s, bool settled) {
  const bool air = on_ground == 0;
  const float n2_host = mirror_vf_at(bound::sim_flightmodel2_engines_N2_percent, e);
  const float n2 = r.n2_ind;
  const bool lever_up = r.lever > 0.5f;
  const float pos = *r.pos;
  float mode = 0.0f;
  if (pos == 0.0f) {
    // The hold solenoid holds only below cut-out and only with its power: on
    // a running engine, or without it, GRD springs straight back to OFF.
    if (starter_cut_out(n2, settled) || !fed(Consumer::start_switch_hold)) *r.target = 1.0f;
    if (lever_up) mode = air ? 3.0f : s;
    if (n2_host < 50.0f) {
      *r.redline_flag = 1.0f;
      *r.redline_delay = 0.0f;
    }
  } else if (pos == 1.0f) {
    if (lever_up) {
      if (n2 > 50.0f && n2 < 57.0f) mode = 3.0f;
      if (air && (n2 < 70.0f || (n2 > 5.0f && n2 < 54.0f && systems::wms == 1.0f))) mode = 3.0f;
      if (off_selects_igniters(r.heat_switch)) mode = s;
    }
  } else if (pos == 2.0f) {
    const bool healthy = mirror_i(r.fire) != kHostFailed && mirror_i(r.fail) != kHostFailed && mirror_i(r.sep) != kHostFailed;
    if (healthy && lever_up) mode = (air && n2 < 54.0f) ? 3.0f : s;
  } else if (pos == 3.0f) {
    mode = lever_up ? 3.0f : 0.0f;
  }
  return mode;
}

// Which igniters have power: the left one on the engine's AC transfer bus,
// the right one on the AC standby bus; without the direct battery bus only
// the standby side is left.
float powered_mode(float mode, float tns_bus) {
  const bool std_bus = fed(Consumer::ignition_standby);
  if (!fed(Consumer::ignition_control)) return (std_bus && (mode == 2.0f || mode == 3.0f)) ? 2.0f : 0.0f;
  const bool left = (mode == 1.0f || mode == 3.0f) && tns_bus != 0.0f;
  const bool right = (mode == 2.0f || mode == 3.0f) && std_bus;
  return left ? (right ? 3.0f : 1.0f) : (right ? 2.0f : 0.0f);
}

void redline(int e, EngineRefs& r, bool settled) {
  if (*r.redline_flag == 0.0f || *r.redline_delay != 0.0f) return;
  const float n2_host = mirror_vf_at(bound::sim_flightmodel2_engines_N2_percent, e);
  if (!starter_cut_out(n2_host, settled)) {
    if (r.n2_ind < 5.0f && *r.pos != 0.0f) *r.redline_delay = 4.0f;  // start abandoned
  } else {
    *r.redline_delay = 5.0f;  // start complete
  }
}

void write_pair(bound::Id id, int32_t* mirror, const int32_t v[2]) {
  if (mirror[0] == v[0] && mirror[1] == v[1]) return;
  mirror[0] = v[0];
  mirror[1] = v[1];
  host_send_vi(id, mirror, 2);
}

}  // namespace

void animate_start_switches() {
  for (int e = 0; e < 2; ++e) {
    EngineRefs r = engine_refs(e);
    animate_knob(r);
  }
}

void update_prop_mode_sync() {
  const int32_t m0 = host_mirror.sim_cockpit2_engine_actuators_prop_mode[0];
  const int32_t m1 = host_mirror.sim_cockpit2_engine_actuators_prop_mode[1];
  if (m0 != m1) {
    engine::prop_mode_sync = 2.0f;
  } else if (m0 == 1) {
    engine::prop_mode_sync = 0.0f;
  } else if (m0 == 3) {
    engine::prop_mode_sync = 1.0f;
  }
}

void update_ignition_start() {
  StartSwitchingState& st = start_switching;
  const float s = selected_igniters();
  for (int e = 0; e < 2; ++e) {
    EngineRefs r = engine_refs(e);
    const bool settled = idle_settled(e, r.n2_ind);
    st.ignition_mode[e] = powered_mode(switch_mode(e, r, s, settled), r.tns_bus);
    redline(e, r, settled);
  }
  // The redline is drawn by the engine display: dark, it keeps what it
  // showed and takes the start as it then stands when its power comes back.
  if (display_units_powered()) {
    systems::egt_redline1 = delay_flags.air_start_flag_1;
    systems::egt_redline2 = delay_flags.air_start_flag_2;
  }

  // The ground air cart feeds the right duct; across the isolation valve it
  // can start either engine.
  float starter = 0.0f;
  if (mirror_f(bound::zuvadud_D738_engine_engine_air_start) != 0.0f && pneumatics.ground_air_psi > 25.0f) {
    const bool grd1 = engine::starter1_pos == 0.0f;
    const bool grd2 = engine::starter2_pos == 0.0f;
    const bool packs_off = air::l_pack_pos == 0.0f && air::r_pack_pos == 0.0f;
    if (air::isolation_bleed_valve_pos < 0.05f) {
      if (grd2) starter = air::r_pack_pos == 0.0f ? 2.0f : 5.0f;
    } else if (grd1 && grd2) {
      starter = 3.0f;
    } else if (grd1) {
      starter = packs_off ? 1.0f : 4.0f;
    } else if (grd2) {
      starter = packs_off ? 2.0f : 5.0f;
    }
  }
  engine::engine_air_starter = starter;

  host_set_i(bound::sim_operation_override_override_pressurization, 1);

  const int32_t key[2] = {static_cast<int32_t>(st.ignition_mode[0]), static_cast<int32_t>(st.ignition_mode[1])};
  write_pair(bound::sim_cockpit2_engine_actuators_ignition_key, host_mirror.sim_cockpit2_engine_actuators_ignition_key, key);
  int32_t igniter[2];
  for (int e = 0; e < 2; ++e) {
    const float n2 = e == 0 ? engine::indicators_N2_percent_1 : engine::indicators_N2_percent_2;
    if (key[e] != 0) {
      igniter[e] = 1;
    } else {
      igniter[e] = n2 < 54.0f ? 0 : host_mirror.sim_cockpit2_engine_actuators_igniter_on[e];
    }
  }
  write_pair(bound::sim_cockpit2_engine_actuators_igniter_on, host_mirror.sim_cockpit2_engine_actuators_igniter_on, igniter);
  const int32_t off[2] = {0, 0};
  write_pair(bound::sim_cockpit2_engine_actuators_auto_ignite_on, host_mirror.sim_cockpit2_engine_actuators_auto_ignite_on, off);

  for (int e = 0; e < 2; ++e) {
    EngineRefs r = engine_refs(e);
    const bool open = *r.pos == 0.0f && fed(Consumer::engine_start_valve_close);
    const float target = open ? 1.0f : 0.0f;
    *r.start_valve = move_toward_scaled(*r.start_valve, target, 0.0f, 1.0f, open ? 1.0f : 0.0f, 2.5f);
    *r.air_starter_valve = lag_toward(*r.air_starter_valve, target, 0.0f, 1.0f, 1.0f);
  }
}

// The engine display shows the oil and fuel-flow values a moment after a
// start or ignition begins and blanks them after a shut-down. The timing runs
// with the engine; with neither side's display units powered the display
// keeps what it showed and takes the timing as it stands when its power
// comes back.
void update_fluid_indications() {
  const bool display = display_units_powered();
  for (int e = 0; e < 2; ++e) {
    EngineRefs r = engine_refs(e);
    float& t = start_switching.fluid_ind_timer_s[e];
    float& press = start_switching.fluid_ind[e][0];
    float& temp = start_switching.fluid_ind[e][1];
    float& ff = start_switching.fluid_ind[e][2];
    const bool running = mirror_vi_at(bound::sim_flightmodel_engine_ENGN_running, e) != 0;
    const float pos = *r.pos;
    if (running || start_switching.ignition_mode[e] != 0.0f || pos == 0.0f || pos == 2.0f || pos == 3.0f) {
      t = std::min(4.0f, t + frame_time);
      const float early = t < 1.6f ? 0.0f : 1.0f;
      press = early;
      ff = early;
      temp = t < 2.0f ? 0.0f : 1.0f;
    } else if (t > 0.0f && r.n2_ind < 6.0f) {
      t = std::max(0.0f, t - frame_time);
      if (t < 0.3f) {
        press = 0.0f;
        ff = 0.0f;
        temp = 0.0f;
      } else if (t < 0.7f) {
        temp = 0.0f;
      }
    }
    if (display) {
      *r.oil_press = press;
      *r.oil_temp = temp;
      *r.ff = ff;
    }
  }
}

bool off_selects_igniters(float heat_switch) {
  const float alt = mirror_f(bound::sim_cockpit2_gauges_indicators_altitude_ft_pilot);
  // The handle request shares one mirror on both host generations.
  const float flap = host_mirror.sim_cockpit2_controls_flap_ratio;
  return mirror_f(bound::zuvadud_D738_engine_start_auto) == 0.0f &&
         ((alt < 18000.0f && flap != 0.0f) || heat_switch != 0.0f);
}
