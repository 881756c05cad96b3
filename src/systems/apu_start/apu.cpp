// APU cockpit logic: start permission, the timed start sequence, exhaust
// temperature, inlet door, bus enable, low-oil light, cool-down after
// switch-off and the automatic shutdowns, plus the APU bleed supply the
// pneumatics use. The host turns the rotor; this module decides when to send
// "sim/electrical/APU_on", "APU_start" and "APU_off" and fails
// "sim/operation/failures/rel_APU_press" when power is cut mid cool-down.
#include "systems/apu_start/apu.h"
#include "systems/fuel/fuel.h"
#include "systems/fuel/fuel_values.h"
#include "systems/apu_start/apu_start_state.h"

#include <algorithm>
#include <cmath>

#include "core/command_refs.h"
#include "core/binding.h"
#include "core/frame_values.h"
#include "core/preprocess_values.h"
#include "core/units.h"
#include "core/util.h"
#include "engines/engine_values.h"
#include "systems/air/air_values.h"
#include "systems/aircraft_systems.h"
#include "systems/annunciators/annunciator_values.h"
#include "systems/delay_timers.h"
#include "systems/electrical/bus_feeds.h"
#include "systems/electrical/electric_values.h"
#include "systems/fire/fire_values.h"
#include "systems/fuel/fuel_pump_lights.h"
#include "core/host_io.h"
#include "systems/air/pneumatics.h"
#include "systems/switches/switch_values.h"
#include "systems/system_state.h"

ApuState apu_state = {0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 1.0f, 0.0f, 0.0f};

namespace {

// Up to its certified ceiling (41,000 ft, a pressure altitude as every
// limit of its envelope) the APU draws from the left tank by suction when no
// pump feeds it; above that it is not started.
constexpr float kCeilingFt = 41000.0f;
constexpr float kCoolDown_s = 60.0f;  // from OFF to the APU's shutdown
constexpr float kApuBleedFadeFt = 15000.0f;     // full APU bleed supply up to here
constexpr float kApuBleedCeilingFt = 17000.0f;  // none from here up
constexpr float kDoorClosesN1 = 5.0f;  // %: the rotor run down
// The air drawn (psi of demand) at which the APU's delivery pressure is half
// what it gives with nothing drawing.
constexpr float kApuDroopPsi = 60.0f;

float leading_edge_degc() { return host_mirror.sim_weather_temperature_le_c; }
float apu_n1() { return mirror_f(bound::sim_cockpit2_electrical_APU_N1_percent); }
bool apu_running() { return mirror_i(bound::sim_cockpit_engine_APU_running) != 0; }
// The pressure altitude, 0 where the air's pressure gives none (read as the
// ground's).
float pressure_altitude_or_ground_ft() {
  const float ft = static_pressure_altitude_ft;
  return std::isfinite(ft) ? ft : 0.0f;
}

bool below_ceiling() { return pressure_altitude_or_ground_ft() < kCeilingFt; }

void cancel_cool_down() {
  delay_timers.apu_delay_1 = 0.0f;
  delay_timers.apu_delay_2 = 0.0f;
  delay_flags.apu_flag_1 = 0.0f;
  delay_flags.apu_flag_2 = 0.0f;
  apu_state.bus_latch = 0.0f;
}

bool fuel_feed_available() {
  const float l = tank_kg(0);
  const float c = tank_kg(1);
  const float r = tank_kg(2);
  const ApuFuelPumps p = apu_fuel_pumps();
  if (l > 0.0f && p.left) return true;
  // The cross-feed valve, not its knob, joins the sides: without its power
  // it stays where it stood.
  if (fuel::cross_feed_valve != 1.0f) {
    if (c > 0.0f && p.centre1) return true;
  } else if ((c > 0.0f && (p.centre1 || p.centre2)) || (r > 0.0f && p.right)) {
    return true;
  }
  return l > 0.0f && below_ceiling();
}

// Stops a rotor that is still coming up to speed: the held start command
// let go and the host's APU switched off, once.
void stop_starting_rotor() {
  DelayTimerBank& tm = delay_timers;
  if (tm.apu_starter_hold > 0.0f) {
    tm.apu_starter_hold = 0.0f;
    issue_command_end(HostCmd::electrical_APU_start);
  }
  tm.apu_start_delay = 0.0f;
  tm.apu_run_delay = 0.0f;
  issue_command_once(HostCmd::electrical_APU_off);
}

}  // namespace

ApuFuelPumps apu_fuel_pumps() {
  // A pump feeds only switched ON, powered and with its LOW PRESSURE light
  // dark: a centre pump switched off shows a dark light too.
  auto feeds = [](float status, int pump) {
    return status == 1.0f && fuel_pump_lights.condition[pump] == 0;
  };
  ApuFuelPumps p;
  p.left = feeds(engine::tank_l1_status, fuel_pump_l1) || feeds(engine::tank_l2_status, fuel_pump_l2);
  p.centre1 = feeds(engine::tank_c1_status, fuel_pump_c1);
  p.centre2 = feeds(engine::tank_c2_status, fuel_pump_c2);
  p.right = feeds(engine::tank_r1_status, fuel_pump_r1) || feeds(engine::tank_r2_status, fuel_pump_r2);
  return p;
}

float apu_bleed_supply() {
  ApuState& a = apu_state;
  const float t = clamp_range(leading_edge_degc(), -30.0f, 40.0f);
  const float n1 = apu_n1();
  if (n1 > 90.0f) {
    const float warm_s = t <= -30.0f ? 180.0f : (t > 40.0f ? 60.0f : 180.0f - (t + 30.0f) * 120.0f / 70.0f);
    a.warmup = move_toward_timed(a.warmup, 1.0f, 0.0f, 1.0f, warm_s);
  } else {
    a.warmup = move_toward_timed(a.warmup, 0.0f, 0.0f, 1.0f, 500.0f);
  }
  // Thinner air: the supply falls from full at 10,000 ft, and the APU gives
  // bleed air only up to 17,000 ft: it fades out over the last 2,000 ft, and
  // above that the APU is a generator only.
  const float alt = static_pressure_altitude_ft;
  const float angle_deg = alt < 10000.0f ? 90.0f : (alt > 80000.0f ? 180.0f : 90.0f + (alt - 10000.0f) * 90.0f / 70000.0f);
  const float ceiling = interpolate_clamped(kApuBleedFadeFt, 1.0f, kApuBleedCeilingFt, 0.0f, alt);
  const float capability = per_flight_values.apu_bleed_capability_psi;
  float unloaded = std::max(0.0f, std::sin(angle_deg * rad_per_deg_f) * capability * ceiling);
  // The delivery pressure falls as more air is drawn, by the same share at
  // any altitude: a start that draws on the thin APU air high up still turns
  // its core, and two starters share what the APU gives rather than starve.
  const float demand = std::max(0.0f, pneumatics.apu_bleed_demand_psi);
  float supply = unloaded * kApuDroopPsi / (kApuDroopPsi + demand);
  if ((engine::start_valve1 > 0.1f || engine::start_valve2 > 0.1f) && a.warmup < 1.0f) {
    supply = std::max(0.0f, supply - (1.0f - a.warmup) * 25.0f);
  }
  if (n1 < 0.0f) {
    supply = 0.0f;
    unloaded = 0.0f;
  } else if (n1 <= 100.0f) {
    supply = supply * n1 / 100.0f;
    unloaded = unloaded * n1 / 100.0f;
  }
  a.bleed_available_psi = unloaded;
  // The load is the air the APU gives through its open bleed valve (the
  // duct pressure is highest when nothing draws), none with it closed.
  const float valve = clamp_range(air::apu_bleed_valve_pos, 0.0f, 1.0f);
  const float delivered = valve > 0.0f ? valve * std::max(0.0f, pneumatics.apu_bleed_demand_psi) : 0.0f;
  a.load_factor = interpolate_clamped(0.0f, 1.0f, capability, 1.12f, delivered);
  apu_fuel_rate = interpolate_clamped(0.0f, 0.0250002f, capability, 0.0319447f, delivered);
  return supply;
}

void update_apu() {
  ApuState& a = apu_state;
  DelayTimerBank& tm = delay_timers;
  DelayTimerFlags& fl = delay_flags;
  float& start_state = fl.apu_start_stage;
  float& stop_state = fl.apu_start_companion;
  float& cooling_60 = fl.apu_flag_2;
  const bool running = apu_running();
  const float n1 = apu_n1();
  const float bat = fed01(Consumer::apu_control);
  const float sw = spring_toggle_switch::APU_start_pos;
  const bool host_failed = mirror_i(bound::sim_operation_failures_rel_APU_press) == kHostFailed;
  const float t10 = std::max(0.0f, leading_edge_degc() / 10.0f);

  const bool permitted = fire::apu_ext_switch_pos_arm == 0.0f && bat == 1.0f && fire::apu_was_fire == 0.0f &&
                         !host_failed && !running &&
                         ((below_ceiling() && tank_kg(0) > 0.0f) || a.fuel_available == 1.0f);
  apu_start_ready = permitted ? 1.0f : 0.0f;
  // START sets state 1 together with its request; a request found without
  // its state starts from state 1 as well.
  if (fl.apu_start_request == 1.0f && start_state == 0.0f) start_state = 1.0f;

  if (sw == 0.0f) {
    // OFF trips the generator and closes the bleed at once; the APU runs
    // unloaded for its 60 s cool-down, then stops. A start not yet on speed
    // is stopped at once.
    if (running && stop_state == 0.0f) {
      stop_state = 1.0f;
      cooling_60 = 1.0f;
      if (tm.apu_delay_2 == 0.0f) tm.apu_delay_2 = kCoolDown_s;
    }
    if (!running && start_state != 0.0f) stop_starting_rotor();
    start_state = 0.0f;
    a.fuel_fault = 0.0f;
    if (!running) {
      if (tm.apu_delay_2 > 0.0f) {
        tm.apu_delay_2 = 0.0f;
        cooling_60 = 0.0f;
        issue_command_once(HostCmd::electrical_APU_off);
      }
      apu_on_latch = 0.0f;
    }
    electrical::apu_bus_enable = 0.0f;
    electrical::apu_low_oil = 0.0f;
    a.bus_latch = 0.0f;
  } else if (stop_state != 0.0f && running) {
    // Back to ON within the cool-down: the shutdown is cancelled and the APU
    // runs on, its generator and bleed available again.
    stop_state = 0.0f;
    start_state = 3.0f;
    cancel_cool_down();
  }

  // A start request finding the APU already running (the host started it
  // meanwhile) goes straight to the running state instead of waiting for a
  // permission that a running APU never gets.
  if (start_state == 1.0f && (permitted || running)) {
    if (!running) {
      if (tm.apu_start_delay == 0.0f) {
        // About 18 s in temperate air at sea level; longer when cold and high,
        // and longer still above 28,000 ft, where a suction-fed start is slow
        // to light (half as long again as on the ground at the ceiling).
        const float ft = clamp_range(pressure_altitude_or_ground_ft(), 0.0f, kCeilingFt);
        const float high = ft <= 28000.0f ? interpolate_clamped(0.0f, 1.0f, 28000.0f, 1.3f, ft)
                                          : interpolate_clamped(28000.0f, 1.3f, 41000.0f, 1.5f, ft);
        const float d =
            interpolate_clamped(0.0f, 28.0f, 60.0f, 8.0f, clamp_range(t10 + 30.0f, 0.0f, 60.0f)) * high;
        if (electrical::apu_low_oil == 0.0f) {
          if (tm.apu_low_oil_delay == 0.0f) tm.apu_low_oil_delay = 1.5f;
          tm.apu_start_delay = d;
        } else {
          tm.apu_start_delay = d * 0.125f;
        }
      }
    } else {
      start_state = 3.0f;
      stop_state = 0.0f;
    }
    cancel_cool_down();
  } else if (start_state == 2.0f) {
    if (a.egt < n1) a.egt_target = n1;
    a.egt = lag_toward(a.egt, a.egt_target, 0.0f, 100.0f, 8.0f);
    if (a.egt > 95.0f && tm.apu_run_delay == 0.0f) tm.apu_run_delay = 8.5f;
    cancel_cool_down();
  } else if (start_state == 3.0f && running) {
    a.egt_target = interpolate_clamped(0.0f, 47.0f, 4.0f, 51.0f, clamp_range(t10, 0.0f, 4.0f));
    if (a.egt_target > a.egt && a.egt < 46.0f) {
      a.egt = lag_toward(a.egt, a.egt_target, 0.0f, 100.0f, 0.5f);
    } else {
      a.egt = lag_toward(a.egt, a.egt_target * a.load_factor, 0.0f, 100.0f, 0.2f);
    }
    if (a.bus_latch == 1.0f || (a.egt > 46.0f && a.egt < 52.0f * a.load_factor && n1 > 94.0f)) {
      electrical::apu_bus_enable = 1.0f;
    }
    if (a.egt > 40.0f && n1 > 40.0f) electrical::apu_low_oil = 0.0f;
    cancel_cool_down();
  } else {
    if (start_state == 3.0f) {
      stop_state = 0.0f;
      start_state = 0.0f;
      electrical::apu_bus_enable = 0.0f;
    }
    // Cutting the battery while the APU still cools down damages it.
    if (cooling_60 == 1.0f && bat == 0.0f && !host_failed) {
      host_set_i(bound::sim_operation_failures_rel_APU_press, kHostFailed);
    }
  }

  electric::apu_start_load = tm.apu_start_delay > 0.0f ? 60.0f : 0.0f;

  a.fuel_available = fuel_feed_available() ? 1.0f : 0.0f;
  bool shut_down = false;
  if (running && tank_kg(0) > 0.0f) {
    a.fuel_available = 1.0f;
  } else if (a.fuel_available == 0.0f) {
    shut_down = true;
    // No fuel for a start asked for, under way or run: FAULT, until OFF.
    if (running || start_state != 0.0f || sw == 2.0f) a.fuel_fault = 1.0f;
  }
  if (fire::apu_was_fire != 0.0f || mirror_i(bound::sim_operation_failures_rel_APU_press) == kHostFailed ||
      fire::apu_ext_switch_pos_arm != 0.0f || bat == 0.0f) {
    shut_down = true;
  }
  if (shut_down) {
    stop_state = 0.0f;
    electrical::apu_bus_enable = 0.0f;
    if (running) {
      issue_command_once(HostCmd::electrical_APU_off);
      apu_on_latch = 0.0f;
    } else if (start_state != 0.0f) {
      stop_starting_rotor();
    }
    start_state = 0.0f;
    cancel_cool_down();
  }

  if (stop_state != 0.0f && cooling_60 == 0.0f) {
    stop_state = 0.0f;
    issue_command_once(HostCmd::electrical_APU_off);
    apu_on_latch = 0.0f;
    a.bus_latch = 0.0f;
  }

  if (start_state == 0.0f) {
    // A turbine that has stopped burning cools over tens of seconds, whether
    // its cool-down ran first or a failure or the fire switch stopped it hot.
    constexpr float kTurbineCooling = 0.03f;  // per second, toward the target
    float target = a.egt;
    float rate = 0.0f;
    if (stop_state != 0.0f) {
      target = 20.0f;
      rate = kTurbineCooling;
    } else if (bat == 0.0f || (sw == 0.0f && n1 <= kDoorClosesN1)) {
      // The EGT indication needs the APU's control power: the switch's OFF
      // takes it away once the rotor has run down.
      target = 0.0f;
      rate = 3.0f;
    } else {
      target = t10;
      rate = a.egt > target ? kTurbineCooling : 3.0f;
    }
    a.egt = lag_toward(a.egt, target, 0.0f, 100.0f, rate);
  }

  // Kept at 1 only while a permitted start waits for its delay, so that the
  // delay's expiry begins the start only then.
  fl.apu_start_request = (start_state == 1.0f && permitted) ? 1.0f : 0.0f;
  apu_start_lock = stop_state;

  if (electrical::apu_bus_enable == 0.0f) {
    electrical::apu_power_bus1 = 0.0f;
    electrical::apu_power_bus2 = 0.0f;
  }
  // The inlet door stays open while the rotor runs down after a shutdown;
  // the pulled fire switch closes it at once, to starve a fire of air.
  const bool fire_closed = fire::apu_ext_switch_pos_arm != 0.0f;
  const float door_cmd = (!fire_closed && (apu_on_latch == 1.0f || n1 > kDoorClosesN1)) ? 1.0f : 0.0f;
  electrical::apu_door = lag_toward(electrical::apu_door, door_cmd, 0.0f, 1.0f, 0.85f);
  electrical::apu_temp = a.egt;
}

void keep_running_apu_after_load() {
  if (!apu_running()) return;
  spring_toggle_switch::APU_start_pos = 1.0f;
  // A start request that finds the APU running goes straight to running.
  delay_flags.apu_start_stage = 1.0f;
  delay_flags.apu_start_companion = 0.0f;
  cancel_cool_down();
  apu_on_latch = 1.0f;
}

void resume_apu_start_after_restore(bool starter_was_held) {
  DelayTimerBank& tm = delay_timers;
  DelayTimerFlags& fl = delay_flags;
  float& sw = spring_toggle_switch::APU_start_pos;
  float& stage = fl.apu_start_stage;
  // The flight left behind let go of the starter it held.
  if (starter_was_held) issue_command_end(HostCmd::electrical_APU_start);
  const bool running = apu_running();
  // A save from before the stage was kept holds 0: the start's timers, or
  // START itself, tell a start that was under way.
  const bool timing = tm.apu_start_delay > 0.0f || tm.apu_starter_hold > 0.0f || tm.apu_run_delay > 0.0f;
  if (stage == 0.0f && (timing || sw == 2.0f)) stage = running ? (tm.apu_run_delay > 0.0f ? 2.0f : 3.0f) : 1.0f;
  if (sw == 2.0f) sw = 1.0f;
  // The host's starter is not part of the saved state: a start whose APU did
  // not yet run begins again, its delay taken afresh by the next step.
  if (!running && stage > 1.0f) {
    stage = 1.0f;
    tm.apu_start_delay = 0.0f;
    tm.apu_run_delay = 0.0f;
  }
  tm.apu_starter_hold = 0.0f;
  if (sw == 0.0f) stage = 0.0f;
  fl.apu_start_request = stage == 1.0f ? 1.0f : 0.0f;
  if (stage == 1.0f) {
    // As the switch put ON: the host's APU master on, the inlet door opening.
    issue_command_once(HostCmd::electrical_APU_on);
    apu_on_latch = 1.0f;
  }
}
