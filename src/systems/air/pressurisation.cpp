// Cabin pressurisation (pressurisation.h).
//
// Reads: the mode selector and manual switch, FLT ALT and landing altitude,
// the captain's altimeter setting,
// pack and bleed switches and valves, bleed pressures, the isolation valve,
// door ratios, N1/N2, vertical speed, ground speed, flap handle, bus
// statuses, pressurisation failure entries, the ambient pressure altitude.
// Writes: the published cabin values, ram doors, outflow valve, modes and
// dashes, the host's cabin rate, altitude, differential and outflow valve,
// and the pressurisation failure table on a structural overpressure.
#include "systems/air/pressurisation.h"

#include <cmath>

#include "core/failure_entries.h"
#include "core/failure_tables.h"
#include "core/binding.h"
#include "core/frame_values.h"
#include "core/preprocess_values.h"
#include "core/util.h"
#include "core/variant.h"
#include "navdata/air_data.h"
#include "systems/air/air_values.h"
#include "systems/electrical/bus_feeds.h"
#include "systems/instruments/clock_values.h"
#include "systems/electrical/electric_values.h"
#include "core/host_io.h"
#include "systems/instruments/instrument_values.h"
#include "systems/switches/switch_values.h"
#include "systems/systems_step_outputs.h"

PressController press_ctrl = [] {
  PressController c{};
  c.press_ctrl_armed = 1;
  return c;
}();

float* press_ctrl_saved_value(int i) {
  PressController& c = press_ctrl;
  float* const values[kPressSavedValues] = {&c.sched_cabin_alt,  &c.cruise_cabin_alt, &c.takeoff_field_alt,
                                            &c.max_alt_reached,  &c.mode_alt_ref,     &c.landing_alt_ref,
                                            &c.sched_max_diff,   &c.press_mode_timer_up, &c.press_mode_timer_down};
  return i >= 0 && i < kPressSavedValues ? values[i] : nullptr;
}

void press_ctrl_clear_saved_state() {
  for (int i = 0; i < kPressSavedValues; ++i) *press_ctrl_saved_value(i) = 0.0f;
  press_ctrl.press_channel = 0;
  press_ctrl.selected_channel = 0;
  press_ctrl.channel_faulted = 0;
  press_ctrl.press_ctrl_armed = 0;
  press_ctrl.takeoff_field_known = 0;
  press_ctrl_forget_found_faults();
}

void press_ctrl_forget_found_faults() {
  PressController& c = press_ctrl;
  c.found_fault[0] = c.found_fault[1] = 0;
  c.found_fault_lit = 0;
  c.watched_channel = 0;
  c.valve_stuck_time = 0.0f;
  c.rate_excess_time = 0.0f;
}

float pressure_at_ft(float altitude_ft) {
  const double base = 1.0 - 0.00000687535 * static_cast<double>(altitude_ft);
  if (!(base > 0.0)) return 0.0f;
  return static_cast<float>(std::pow(base, 5.2561) * 1013.25 * 0.014503774);
}

float max_cabin_diff_psi(float altitude_ft) {
  if (altitude_ft <= 28000.0f) return 7.45f;
  if (altitude_ft <= 37000.0f) return 7.8f;
  return 8.35f;
}

namespace {

// The host's slow cabin leak, in the leak terms' units (the door seal leak
// is 12,000): enough that the packs with the outflow valve closed lose the
// cabin at about 500 ft/min at cruise.
constexpr float kHostSlowLeak = 1000.0f;

float door_sum() {
  float d = mirror_f(bound::tarv_doors_L1) + mirror_f(bound::tarv_doors_R1) + mirror_f(bound::tarv_doors_L2) +
            mirror_f(bound::tarv_doors_R2) + mirror_f(bound::tarv_doors_Fwd_Cargo) +
            mirror_f(bound::tarv_doors_aft_Cargo) + mirror_f(bound::tarv_doors_emerg1) +
            mirror_f(bound::tarv_doors_emerg2) + mirror_f(bound::tarv_doors_emerg3) +
            mirror_f(bound::tarv_doors_emerg4) + mirror_f(bound::tarv_doors_aft1) + mirror_f(bound::tarv_doors_aft2);
  if (has_mid_exits()) d += mirror_f(bound::tarv_doors_L_mid) + mirror_f(bound::tarv_doors_R_mid);
  return d;
}

void ram_doors() {
  PressController& c = press_ctrl;
  const float gs = mirror_f(bound::sim_flightmodel_position_groundspeed);
  if (on_ground == 1) {
    c.ram_door_target = 1.0f;
  } else if (mirror_f(bound::sim_cockpit2_controls_flap_ratio) == 0.0f) {
    c.ram_door_target = 0.0f;
  } else if (gs < 123.0f) {
    c.ram_door_target = 1.0f;
  } else if (gs > 136.0f) {
    c.ram_door_target = 0.0f;
  }
  if (fed(Consumer::ram_door_left)) {
    cockpit::ram_door1 = move_toward_timed(cockpit::ram_door1, c.ram_door_target, 0.0f, 1.0f, 10.0f);
  }
  if (fed(Consumer::ram_door_right)) {
    cockpit::ram_door2 = move_toward_timed(cockpit::ram_door2, c.ram_door_target, 0.0f, 1.0f, 10.0f);
  }
}

int32_t select_channel() {
  const float sel = toggle_switch::air_valve_ctrl;
  if (sel == 0.0f) {
    if (fed(Consumer::pressurisation_auto_1)) return 1;
    if (fed(Consumer::pressurisation_auto_2)) return 2;
    return 0;
  }
  if (sel == 1.0f) return fed(Consumer::pressurisation_auto_2) ? 2 : 0;
  if (sel == 2.0f) return fed(Consumer::pressurisation_manual) ? 3 : 0;
  return 0;
}

uint8_t found_fault(int32_t channel) {
  return channel == 1 || channel == 2 ? press_ctrl.found_fault[channel - 1] : 0;
}

// A controller that cannot work the valve: it holds it where it is.
bool channel_fault(int32_t channel) {
  const bool valve = (found_fault(channel) & kValveNotFollowing) != 0;
  return (channel == 1 && failure_value(fail_entry::press_auto_controller_1) == 1.0f) ||
         (channel == 2 && failure_value(fail_entry::press_auto_controller_2) == 1.0f) || valve;
}

// The controller in charge watches its own work: an outflow valve that
// stands still away from its command, or a cabin changing faster than any
// schedule allows, is a fault of that controller (AUTO FAIL), and in AUTO
// controller 2 takes over from 1 as for any other fault. A controller that
// found the rate beyond its limit still works the valve: holding it would
// only let the cabin run further. valve_before is the valve before this
// frame's motion toward the command.
void watch_own_work(float valve_before) {
  PressController& c = press_ctrl;
  if (failure_value(fail_entry::press_outflow_valve) != 1.0f) {
    c.found_fault[0] &= static_cast<uint8_t>(~kValveNotFollowing);
    c.found_fault[1] &= static_cast<uint8_t>(~kValveNotFollowing);
  }
  const int32_t ch = c.press_channel;
  c.found_fault_lit = found_fault(ch) != 0 ? 1 : 0;
  // The ground mode holds no rate: its open valve lets the cabin follow
  // whatever the field does (a situation moved to another field).
  const bool fast = c.mode != 0.0f && std::fabs(cockpit::cabin_vvi) > kCabinRateLimitFpm;
  if (ch != c.watched_channel || (ch != 1 && ch != 2) || c.channel_faulted != 0) {
    c.watched_channel = ch;
    c.valve_stuck_time = 0.0f;
    c.rate_excess_time = 0.0f;
    // A controller taking over a cabin already changing too fast has not
    // failed by it: the rate is the fault of the one that handed over.
    c.rate_excess_inherited = fast ? 1 : 0;
    return;
  }
  const bool stuck = std::fabs(c.valve_cmd - valve_before) > 0.1f && cockpit::outflow_valve == valve_before;
  c.valve_stuck_time = stuck ? c.valve_stuck_time + frame_time : 0.0f;
  if (!fast) c.rate_excess_inherited = 0;
  c.rate_excess_time = fast && c.rate_excess_inherited == 0 ? c.rate_excess_time + frame_time : 0.0f;
  uint8_t& found = c.found_fault[ch - 1];
  if (c.valve_stuck_time > kFoundFaultConfirm_s) found |= kValveNotFollowing;
  if (c.rate_excess_time > kFoundFaultConfirm_s) found |= kCabinRateExcessive;
  c.found_fault_lit = found != 0 ? 1 : 0;
}

// In AUTO a faulted controller 1 hands control to controller 2 by itself
// when that one is powered and healthy (AUTO FAIL and ALTN then light); in
// ALTN there is nothing to fall back to.
int32_t channel_in_charge(int32_t selected) {
  if (toggle_switch::air_valve_ctrl == 0.0f && selected == 1 && (channel_fault(1) || found_fault(1) != 0) &&
      fed(Consumer::pressurisation_auto_2) && !channel_fault(2)) {
    return 2;
  }
  return selected;
}

float pack_target(float sw, float bleed_valve, float other_sw, bool ground_bleeds_off, float flap_request) {
  if (sw == 2.0f) return bleed_valve * 1.82f;
  if (sw == 1.0f) {
    const bool high = (on_ground == 1 && ground_bleeds_off) || (on_ground != 1 && other_sw == 0.0f && flap_request == 0.0f);
    return bleed_valve * (high ? 1.45f : 1.0f);
  }
  return 0.0f;
}

// LAND ALT is the field's elevation; the controller takes the field's
// pressure from it with the captain's altimeter setting, so that the cabin
// comes down to the field's pressure on a high or low pressure day alike. A
// setting no sea-level pressure gives reads as the standard one.
float landing_pressure_alt_ft(float landing_alt) {
  constexpr float kStdSettingInHg = 29.92126f;
  const float setting = mirror_f(bound::sim_cockpit2_gauges_actuators_barometer_setting_in_hg_pilot);
  if (!(setting >= 25.0f && setting <= 33.0f)) return landing_alt;
  return pressure_altitude_ft(pressure_at_ft(landing_alt) * setting / kStdSettingInHg);
}

// A controller taking over in the air above FLT ALT (none set, or one left
// low) schedules the cruise it finds, not a cabin the hull cannot carry.
float taken_over_flt_alt(float flt_alt, float ambient_alt) { return flt_alt > ambient_alt ? flt_alt : ambient_alt; }

// The aircraft is more than 0.25 psi below both FLT ALT and the highest
// altitude of the flight: the descent has begun.
bool descent_started(float p_amb, float flt_alt, float max_alt) {
  return p_amb > pressure_at_ft(flt_alt) + 0.25f && p_amb > pressure_at_ft(max_alt) + 0.25f;
}

void enter_descent(float ambient_alt, float cabin_alt, bool light) {
  PressController& c = press_ctrl;
  c.mode = 4.0f;
  c.mode_alt_ref = ambient_alt;
  c.cruise_cabin_alt = cabin_alt;
  if (light) c.off_sched_descent = 1.0f;
  c.landing_alt_ref = pressurization::knobs_landing_alt;
}

// The climb schedule's shape for a FLT ALT: the maximum differential and the
// altitude at which the cabin reaches its cruise value.
struct ClimbLimits {
  float max_diff_psi;
  float end_alt_ft;
};

ClimbLimits climb_limits(float flt_alt) {
  ClimbLimits l{8.35f, 0.0f};
  if (flt_alt <= 28000.0f) {
    l.max_diff_psi = 7.45f;
    l.end_alt_ft = flt_alt < 27000.0f ? flt_alt : 27000.0f;
  } else if (flt_alt <= 37000.0f) {
    l.max_diff_psi = 7.8f;
    l.end_alt_ft = flt_alt < 36000.0f ? flt_alt : 36000.0f;
  } else {
    l.end_alt_ft = flt_alt < 40000.0f ? flt_alt : 40000.0f;
  }
  if (flt_alt < 0.0f) l.end_alt_ft = 0.0f;
  return l;
}

// Above this the take-off field no longer holds the cabin up: the climb
// takes it down to its cruise altitude, as from any field.
constexpr float kHighFieldCabinFt = 8000.0f;

// The cabin's cruise altitude for a FLT ALT: the hull's differential for it,
// never below a field the flight left up to 8,000 ft (a low FLT ALT would
// otherwise take the cabin down past it).
float cruise_cabin_for(float flt_alt, float field_alt) {
  float cruise = pressure_altitude_ft(pressure_at_ft(clamp_range(flt_alt, 0.0f, 41000.0f)) +
                                      climb_limits(flt_alt).max_diff_psi);
  if (cruise < 0.0f) cruise = 0.0f;
  if (field_alt <= kHighFieldCabinFt && cruise < field_alt) cruise = field_alt;
  return cruise;
}

void climb_schedule(float flt_alt, float ambient_alt) {
  PressController& c = press_ctrl;
  const ClimbLimits l = climb_limits(flt_alt);
  const float m = l.max_diff_psi;
  const float a = l.end_alt_ft;
  c.cruise_cabin_alt = cruise_cabin_for(flt_alt, c.takeoff_field_alt);
  const float progress = ambient_alt > c.max_alt_reached ? ambient_alt : c.max_alt_reached;
  // From a high field the cabin comes down over the first half of the
  // climb, so it is at its cruise altitude well before FLT ALT even at the
  // controller's rate limit.
  const float field = c.takeoff_field_alt;
  const float end = field > kHighFieldCabinFt && a > field ? field + (a - field) * 0.5f : a;
  c.sched_cabin_alt = interpolate_clamped(field, field, end, c.cruise_cabin_alt, progress);
  c.sched_max_diff = clamp_range(pressure_at_ft(c.sched_cabin_alt) - pressure_at_ft(flt_alt), 0.0f, m);
}

void automatic_modes(float ambient_alt, float p_amb, float cabin_alt) {
  PressController& c = press_ctrl;
  const float flt_alt = mirror_f(bound::sim_cockpit_pressure_max_allowable_altitude);
  const float landing_alt = pressurization::knobs_landing_alt;
  if (on_ground == 1) {
    const float n1a = mirror_vf_at(bound::sim_flightmodel2_engines_N1_percent, 0);
    const float n1b = mirror_vf_at(bound::sim_flightmodel2_engines_N1_percent, 1);
    const float n2a = mirror_vf_at(bound::sim_flightmodel2_engines_N2_percent, 0);
    const float n2b = mirror_vf_at(bound::sim_flightmodel2_engines_N2_percent, 1);
    if (c.mode == 0.0f) {
      if ((n1a > 60.0f && n2a > 89.0f) || (n1b > 60.0f && n2b > 89.0f)) {
        c.press_mode_timer_up += frame_time;
        if (c.press_mode_timer_up > 1.5f) {
          c.mode = 1.0f;
          c.takeoff_field_alt = ambient_alt;
          c.takeoff_field_known = 1;
          c.cruise_cabin_alt = clamp_range(flt_alt, 0.0f, 28000.0f) * 8000.0f / 28000.0f;
        }
      } else {
        c.press_mode_timer_up = 0.0f;
        c.max_alt_reached = 0.0f;
      }
    } else if (c.mode == 1.0f) {
      const bool spooled = (n1a >= 50.0f || n2a >= 84.0f) && (n1b >= 50.0f || n2b >= 84.0f);
      if (spooled) {
        c.press_mode_timer_down = 0.0f;
      } else {
        c.press_mode_timer_down += frame_time;
        if (c.press_mode_timer_down > 1.5f) {
          c.mode = 0.0f;
          c.max_alt_reached = 0.0f;
          c.press_mode_timer_down = 0.0f;
          c.cruise_cabin_alt = 0.0f;
          c.valve_cmd = 1.0f;
          c.sched_cabin_alt = ambient_alt;
        }
      }
      if (c.mode == 1.0f) {
        // Take-off: the cabin is held 0.1 psi above the field.
        c.sched_cabin_alt = pressure_altitude_ft(pressure_at_ft(c.takeoff_field_alt) + 0.1f);
        c.sched_max_diff = 8.35f;
      }
    } else {
      c.mode = 1.0f;
      c.takeoff_field_alt = ambient_alt;
      c.takeoff_field_known = 1;
    }
  } else {
    // Taken over in the air (a flight loaded aloft, or control regained
    // there): no schedule has been flown toward the cruise cabin yet.
    bool unscheduled = false;
    if (c.mode == 0.0f) {
      c.mode = 2.0f;
      c.max_alt_reached = ambient_alt;
      c.takeoff_field_alt = 0.0f;
      c.takeoff_field_known = 0;
      c.climb_from_alt = ambient_alt;
      unscheduled = true;
    } else if (c.mode == 1.0f) {
      c.mode = 2.0f;
      c.max_alt_reached = ambient_alt;
    }
    if (c.mode == 2.0f) {
      c.mode_alt_ref = flt_alt;
      if (pressure_at_ft(flt_alt) + 0.25f > p_amb) {
        c.mode = 3.0f;
        if (unscheduled) {
          // Cruise straight away: hold the cabin where the climb schedule
          // would have brought it, not at the zero it was cleared to, and
          // above FLT ALT at the aircraft's own cruise.
          c.mode_alt_ref = taken_over_flt_alt(flt_alt, ambient_alt);
          c.cruise_cabin_alt = cruise_cabin_for(c.mode_alt_ref, c.takeoff_field_alt);
          c.sched_cabin_alt = c.cruise_cabin_alt;
        } else if (pressure_at_ft(c.sched_cabin_alt) - pressure_at_ft(flt_alt) > kAutoFailDiffPsi) {
          // FLT ALT reached far faster than any climb (the host moved the
          // aircraft up): the cabin the schedule had reached would be held
          // past what the hull may carry. Go on to the cruise cabin instead.
          c.cruise_cabin_alt = cruise_cabin_for(flt_alt, c.takeoff_field_alt);
          c.sched_cabin_alt = c.cruise_cabin_alt;
        }
        float diff = pressure_at_ft(c.sched_cabin_alt) - pressure_at_ft(flt_alt);
        if (diff < 0.0f) diff = 0.0f;
        const float limit = max_cabin_diff_psi(flt_alt);
        c.sched_max_diff = diff > limit ? limit : diff;
      } else if (descent_started(p_amb, flt_alt, c.max_alt_reached)) {
        // Off schedule only when a climb toward FLT ALT is given up: a
        // flight taken over in the air may have been started in its descent.
        const bool climbed = c.takeoff_field_known != 0 ||
                             pressure_at_ft(c.max_alt_reached) + 0.25f < pressure_at_ft(c.climb_from_alt);
        enter_descent(ambient_alt, cabin_alt, climbed);
      } else {
        climb_schedule(flt_alt, ambient_alt);
      }
    } else if (c.mode == 3.0f) {
      if (flt_alt > c.prev_flt_alt) {
        c.mode = 2.0f;
        c.max_alt_reached = ambient_alt;
        c.climb_from_alt = ambient_alt;
      } else if (descent_started(p_amb, flt_alt, c.max_alt_reached)) {
        enter_descent(ambient_alt, cabin_alt, false);
      }
    } else if (c.mode == 4.0f) {
      if (pressure_at_ft(flt_alt) + 0.25f > p_amb || flt_alt <= ambient_alt) {
        c.mode = 3.0f;
        c.cruise_cabin_alt = cabin_alt;
        c.sched_cabin_alt = cabin_alt;
        c.mode_alt_ref = flt_alt;
        float diff = pressure_at_ft(cabin_alt) - pressure_at_ft(flt_alt);
        if (diff < 0.0f) diff = 0.0f;
        const float limit = max_cabin_diff_psi(flt_alt);
        c.sched_max_diff = diff > limit ? limit : diff;
        c.off_sched_descent = 0.0f;
      } else if (ambient_alt > c.max_alt_reached) {
        c.mode = 2.0f;
        c.mode_alt_ref = flt_alt;
        c.off_sched_descent = 0.0f;
        climb_schedule(flt_alt, ambient_alt);
      } else {
        c.sched_max_diff = max_cabin_diff_psi(ambient_alt);
        c.landing_alt_ref = landing_alt;
        // A descent before reaching FLT ALT is most likely a return: the
        // cabin goes back to the field it left, not to LAND ALT. Without a
        // field memorised (taken over in the air) LAND ALT is all it knows.
        const bool to_field = c.off_sched_descent == 1.0f && c.takeoff_field_known != 0;
        const float target = to_field ? c.takeoff_field_alt : landing_pressure_alt_ft(landing_alt);
        const float progress = c.mode_alt_ref < ambient_alt ? c.mode_alt_ref : ambient_alt;
        c.sched_cabin_alt = interpolate_clamped(target, target, c.mode_alt_ref, c.cruise_cabin_alt, progress);
      }
    }
  }
  if (ambient_alt > c.max_alt_reached) c.max_alt_reached = ambient_alt;
}

void valve_command(float cabin_alt, float ambient_alt, float diff_now, float leak_q, float inflow, float full_v) {
  PressController& c = press_ctrl;
  // The controller disarms on the ground once the differential crosses zero.
  // The last frame's differential is the one its cabin altitude left, so a
  // crossing within a frame is not seen; a differential inside the dead band
  // counts as zero, or float noise around the field keeps it armed and the
  // valve hunting for ever.
  constexpr float kZeroDiffPsi = 0.001f;
  if (c.mode == 0.0f && (std::fabs(diff_now) <= kZeroDiffPsi || (diff_now <= 0.0f && c.prev_cabin_diff >= 0.0f) ||
                         (diff_now >= 0.0f && c.prev_cabin_diff <= 0.0f))) {
    c.press_ctrl_armed = 0;
  }
  if (c.press_ctrl_armed == 0 && c.mode == 0.0f && on_ground == 1) {
    // Disarmed on the ground (from start-up on, or once the cabin has come
    // down to the field): the valve stands fully open so the packs cannot
    // pressurise a parked aircraft.
    c.valve_cmd = 1.0f;
  }
  if (c.press_ctrl_armed != 0) {
    float rmax = (c.mode == 0.0f || c.mode == 1.0f) ? 350.0f : 700.0f;
    float sched = c.sched_cabin_alt;
    if (c.mode == 3.0f && ambient_alt > c.mode_alt_ref) {
      // Above FLT ALT the cabin stays put until the hull carries the
      // differential FLT ALT allows; climbing on from there, it climbs only as
      // much as that differential needs, never up with the aircraft.
      const float p_amb = pressure_at_ft(ambient_alt);
      const float held = pressure_altitude_ft(p_amb + max_cabin_diff_psi(c.mode_alt_ref));
      if (held > sched) sched = held;
      // The held cabin rises at a fraction of the aircraft's climb: let the
      // cabin keep up with a steep climb rather than overshoot the limit,
      // but never command a rate the controller's own monitor would take for
      // its fault (a margin under it, for the valve's overshoot).
      const float vs = mirror_f(bound::sim_flightmodel_position_vh_ind_fpm);
      constexpr float kHeldCabinRateMaxFpm = 0.9f * kCabinRateLimitFpm;
      if (vs > rmax) rmax = vs < kHeldCabinRateMaxFpm ? vs : kHeldCabinRateMaxFpm;
    }
    const float error = sched - cabin_alt;
    float rc = 0.0f;
    if (c.mode == 0.0f) {
      rc = diff_now < 0.0f ? -rmax : rmax;
    } else {
      rc = interpolate_clamped(-0.05f * rmax, -rmax, 0.05f * rmax, rmax, error);
    }
    rc -= leak_q + inflow;
    if ((rc > 0.0f && full_v < 0.0f) || (rc < 0.0f && full_v > 0.0f) || full_v == 0.0f) {
      c.valve_cmd = 0.0f;
    } else {
      c.valve_cmd = clamp01(rc / full_v);
    }
    if (cabin_alt > 14500.0f) c.valve_cmd = 0.0f;
  }
  if (c.mode != 0.0f) c.press_ctrl_armed = 1;
}

}  // namespace

float pressurisation_mode_for_selector() { return static_cast<float>(channel_in_charge(select_channel())); }

float scheduled_cabin_alt_aloft(float flt_alt, float ambient_alt) {
  const float flt = taken_over_flt_alt(flt_alt, ambient_alt);
  const float cruise = cruise_cabin_for(flt, 0.0f);
  return interpolate_clamped(0.0f, 0.0f, climb_limits(flt).end_alt_ft, cruise, ambient_alt);
}

void update_pressurization() {
  PressController& c = press_ctrl;
  // The published mode is the one the cockpit state saves and restores.
  c.mode = cockpit::pressurization_mode2;
  ram_doors();

  if (mirror_f(bound::sim_cockpit_pressure_cabin_vvi_actual_m_msec) != cockpit::cabin_vvi) {
    host_set_f(bound::sim_cockpit_pressure_cabin_vvi_actual_m_msec, cockpit::cabin_vvi);
  }
  if (mirror_f(bound::sim_cockpit_pressure_cabin_pressure_differential_psi) != cockpit::cabin_pressure_diff) {
    host_set_f(bound::sim_cockpit_pressure_cabin_pressure_differential_psi, cockpit::cabin_pressure_diff);
  }

  // Back in the ground mode on the ground, a controller that found the
  // cabin rate beyond its limit tests clear for the next flight.
  if (on_ground == 1 && c.mode == 0.0f) {
    c.found_fault[0] &= static_cast<uint8_t>(~kCabinRateExcessive);
    c.found_fault[1] &= static_cast<uint8_t>(~kCabinRateExcessive);
  }
  c.selected_channel = select_channel();
  c.press_channel = channel_in_charge(c.selected_channel);
  c.channel_faulted = channel_fault(c.press_channel) ? 1 : 0;
  cockpit::pressurization_dash = as01(!fed(Consumer::pressurisation_display));
  clock_::clock_dash = as01(!fed(Consumer::clock_dashes));
  clock_::clock_dash_fo = clock_::clock_dash;

  const float ambient_alt = static_pressure_altitude_ft;
  const float p_amb = pressure_at_ft(ambient_alt);
  const float cabin_alt = cockpit::cabin_altitude_actual;
  const float p_cabin = pressure_at_ft(cabin_alt);

  // Supply of each side, ft/min of cabin altitude.
  const float full = p_amb * 85.0f;
  // A source's share of full flow: the duct gauges read above the outside
  // air, so its air flows into the cabin by what it stands above the
  // cabin's own pressure, both taken absolute. A source that gives nothing
  // pushes nothing, whatever a cabin below the outside air does.
  auto source_share = [p_amb, p_cabin](float gauge_psi) {
    return gauge_psi > 0.0f ? clamp01((gauge_psi + p_amb - p_cabin) * 0.5f) : 0.0f;
  };
  const float e1 = source_share(air::engine1_psi);
  const float e2 = source_share(air::engine2_psi);
  const float apu = source_share(air::apu_bleed_valve_pos * air::apu_psi);
  const float left_src = full * 0.5f * apu + e1 * full;
  const float right_src = e2 * full;
  // Each side keeps its own source and gains the other's through the open
  // isolation valve: its travel, 0..1 as its drive keeps it (the switch's
  // CLOSE/AUTO/OPEN is air::isolation_valve_pos, read by the bleed model).
  const float x = isolation_valve_open;
  const float left_supply = left_src + right_src * x;
  const float right_supply = right_src + left_src * x;

  const float flap_request = mirror_f(bound::sim_cockpit2_controls_flap_ratio);
  const bool bleeds_off = toggle_switch::bleed_air_1_pos == 0.0f && toggle_switch::bleed_air_2_pos == 0.0f;
  c.pack_flow_l = move_toward_timed(
      c.pack_flow_l, pack_target(air::l_pack_pos, air::l_pack_bleed_valve_pos, air::r_pack_pos, bleeds_off, flap_request),
      0.0f, 1.82f, 3.0f);
  c.pack_flow_r = move_toward_timed(
      c.pack_flow_r, pack_target(air::r_pack_pos, air::r_pack_bleed_valve_pos, air::l_pack_pos, bleeds_off, flap_request),
      0.0f, 1.82f, 3.0f);

  // Inflow lowers the cabin; each pack's term is 0 when both candidates are positive.
  auto inflow_term = [full](float valve, float supply) {
    const float a = -full;
    const float b = -(valve * supply);
    if (a > 0.0f && b > 0.0f) return 0.0f;
    return a > b ? a : b;
  };
  const float inflow = c.pack_flow_l * inflow_term(air::l_pack_bleed_valve_pos, left_supply) +
                       c.pack_flow_r * inflow_term(air::r_pack_bleed_valve_pos, right_supply);
  const float h1 = cabin_alt + inflow / 60.0f * frame_time;
  const float d1 = pressure_at_ft(h1) - p_amb;

  const float doors = door_sum();
  float leak_k = 0.0f;
  if (doors > 1.0f) leak_k = 600000.0f;
  else if (doors != 0.0f || failure_value(fail_entry::press_hull_leak) == 1.0f) leak_k = 360000.0f;
  if (failure_value(fail_entry::press_door_seal_leak) == 1.0f) leak_k += 12000.0f;
  // The host's own slow depressurisation: a leak the packs cannot make up,
  // the cabin climbing slowly with the outflow valve closed.
  if (host_mirror.sim_operation_failures_rel_depres_slow == kHostFailed) leak_k += kHostSlowLeak;
  float leak_q = leak_k + 15.0f + std::fabs(d1) * 15.0f;
  float full_v = std::fabs(d1) * 250.0f + 5500.0f;
  if (d1 < 0.0f) {
    leak_q = -leak_q;
    full_v = -full_v;
  }

  if (on_ground == 1) c.off_sched_descent = 0.0f;
  if (c.press_channel == 0 || c.channel_faulted != 0) {
    c.valve_cmd = cockpit::outflow_valve;
    c.mode = 0.0f;
    c.press_mode_timer_up = 0.0f;
    c.press_mode_timer_down = 0.0f;
    c.sched_cabin_alt = 0.0f;
  } else {
    automatic_modes(ambient_alt, p_amb, cabin_alt);
    if (c.press_channel != 3) {
      valve_command(cabin_alt, ambient_alt, pressure_at_ft(cabin_alt) - p_amb, leak_q, inflow, full_v);
    }
  }

  const float valve_before = cockpit::outflow_valve;
  float valve = valve_before;
  if (failure_value(fail_entry::press_outflow_valve) != 1.0f) {
    if (c.press_channel == 3) {
      if (toggle_switch::air_valve_manual == -1.0f) {
        valve = ramp_toward(valve, 0.0f, 0.0f, 1.0f, 0.05f);
      } else if (toggle_switch::air_valve_manual == 1.0f) {
        valve = ramp_toward(valve, 1.0f, 0.0f, 1.0f, 0.05f);
        c.press_mode_timer_up = 0.0f;
        c.press_mode_timer_down = 0.0f;
      }
    } else {
      valve = ramp_toward(valve, c.valve_cmd, 0.0f, 1.0f, 0.05f);
    }
  }
  cockpit::outflow_valve = clamp01(valve);
  host_set_f(bound::sim_cockpit_pressure_outflow_valve, cockpit::outflow_valve);

  // Cabin altitude moves toward ambient through the outflow valve and leaks.
  const float w = cockpit::outflow_valve * full_v + leak_q;
  float h = h1 + w / 60.0f * frame_time;
  // A field below standard sea-level pressure (a high-pressure day, a field
  // below sea level) has a negative pressure altitude: the cabin must be able
  // to come down to it, or it never equalises after landing.
  const float amb_limit = clamp_range(ambient_alt, -2000.0f, 50000.0f);
  if (w > 0.0f && h > amb_limit) h = amb_limit;
  if (w < 0.0f && h < amb_limit) h = amb_limit;

  // Safety relief.
  const float diff = pressure_at_ft(h) - p_amb;
  if (diff > 9.1f) h = pressure_altitude_ft(p_amb + 9.1f);
  else if (diff < -1.0f) h = pressure_altitude_ft(p_amb - 1.0f);

  const float rate_target = clamp_range((h - cabin_alt) / frame_time * 60.0f, -4000.0f, 4000.0f);
  cockpit::cabin_vvi = lag_toward(cockpit::cabin_vvi, rate_target, -4000.0f, 4000.0f, 4.0f);
  host_set_f(bound::sim_cockpit_pressure_cabin_vvi_actual_m_msec, cockpit::cabin_vvi);
  host_set_f(bound::sim_cockpit_pressure_cabin_altitude_actual_m_msl, h);
  const float cabin_diff = clamp_range(pressure_at_ft(h) - p_amb, -0.2f, 10.2f);
  host_set_f(bound::sim_cockpit_pressure_cabin_pressure_differential_psi, cabin_diff);
  cockpit::cabin_altitude_actual = h;
  cockpit::cabin_pressure_diff = cabin_diff;
  cockpit::cabin_alt = mirror_f(bound::sim_cockpit2_pressurization_indicators_cabin_altitude_ft);
  cockpit::pressurization_mode = static_cast<float>(c.press_channel);
  cockpit::pressurization_mode2 = c.mode;
  c.prev_cabin_diff = cabin_diff;
  c.prev_flt_alt = mirror_f(bound::sim_cockpit_pressure_max_allowable_altitude);
  c.prev_landing_alt = pressurization::knobs_landing_alt;
  watch_own_work(valve_before);

  // Structural overpressure: held above 9.2 psi it fails the hull seal
  // (entry 0), sooner the higher it is.
  if (cabin_diff > 9.2f) {
    const float t = 1.0f - ((cabin_diff < 10.0f ? cabin_diff : 10.0f) - 9.2f) * 0.9f / 0.8f;
    c.overpressure_time = move_toward_timed(c.overpressure_time, 240.0f, 0.0f, 240.0f, t);
  } else if (c.overpressure_time != 0.0f) {
    c.overpressure_time = move_toward_timed(c.overpressure_time, 0.0f, 0.0f, 240.0f, 1.0f);
  }
  if (c.overpressure_time >= 240.0f && failure_value(fail_entry::press_hull_leak) != 1.0f) {
    failure_value(fail_entry::press_hull_leak) = 1.0f;
    script_set_vf(bound::zuvadud_D738_failure_pressurisation, failure_tables.pressurisation, kFailureEntriesExchanged);
  }
}
