// Writers with logic. A NaN from a writer is caught here, at the seam: a
// limiting writer then stores a value inside its range (the neutral 0) and
// the gear lever ignores it, so no NaN reaches the systems or the host. The
// writers without a range treat infinities as they treat NaN.
#include "publication/lever_writers.h"

#include "commands/command_handlers.h"
#include "core/command_refs.h"
#include "core/binding.h"
#include "core/host_io.h"
#include "engines/engine_values.h"
#include "systems/electrical/bus_feeds.h"
#include "systems/flight_controls/flight_control_values.h"
#include "systems/gear_brakes/autobrake_state.h"
#include "systems/gear_brakes/gear_horn.h"
#include "systems/gear_brakes/gear_lever.h"
#include "systems/instruments/instrument_values.h"
#include "systems/flight_controls/reverse_levers.h"
#include "systems/flight_controls/speedbrake_lever.h"
#include "systems/switches/switch_values.h"

namespace {
// Written without <cmath>: several value headers hold namespaces that share a
// name with C library functions.
bool is_nan(float v) { return v != v; }
bool is_finite(float v) { return v - v == 0.0f; }

float limit(float v, float lo, float hi) {
  if (is_nan(v)) return 0.0f;
  if (v < lo) return lo;
  if (v > hi) return hi;
  return v;
}

// Sends the host throttle ratio of both engines, one element changed (or both
// when engine is -1); the other goes back as the mirror holds it. The mirror
// takes the change too, so a second lever written before the next frame
// sends the first one's value, not last frame's.
void send_throttle_ratio(int engine, float t) {
  float* ratio = host_mirror.sim_cockpit2_engine_actuators_throttle_ratio;
  if (engine != 1) ratio[0] = t;
  if (engine != 0) ratio[1] = t;
  host_send_vf(bound::sim_cockpit2_engine_actuators_throttle_ratio, ratio, 2);
}

// A non-finite lever position stows the lever (0), as a position below the
// floor does; beyond full reverse, full reverse.
float reverse_floor(float v) {
  if (!is_finite(v) || static_cast<double>(v) < 0.02) return 0.0f;
  return v > 1.0f ? 1.0f : v;
}
}  // namespace

void thrust1_leveler_writer(void*, float value) {
  const float t = limit(value, 0.0f, 1.0f);
  engine::thrust1_leveler = t;
  send_throttle_ratio(0, t);
}

void thrust2_leveler_writer(void*, float value) {
  const float t = limit(value, 0.0f, 1.0f);
  engine::thrust2_leveler = t;
  send_throttle_ratio(1, t);
}

void thrust12_leveler_writer(void*, float value) {
  const float t = limit(value, 0.0f, 1.0f);
  engine::thrust12_leveler = t;
  if (cockpit::throttle_override == 0.0f) {
    engine::thrust1_leveler = t;
    engine::thrust2_leveler = t;
  }
  send_throttle_ratio(-1, t);
}

void joy_pitch_writer(void*, float value) { flt_ctrls::joy_pitch = limit(value, -1.0f, 1.0f); }
void joy_roll_writer(void*, float value) { flt_ctrls::joy_roll = limit(value, -1.0f, 1.0f); }
void joy_heading_writer(void*, float value) { flt_ctrls::joy_heading = limit(value, -1.0f, 1.0f); }
void toe_left_writer(void*, float value) { flt_ctrls::toe_left = limit(value, -1.0f, 1.0f); }
void toe_right_writer(void*, float value) { flt_ctrls::toe_right = limit(value, -1.0f, 1.0f); }
void nosewheel_writer(void*, float value) { flt_ctrls::nosewheel = limit(value, -1.0f, 1.0f); }

void reverse_lever1_writer(void*, float value) {
  flt_ctrls::reverse_lever1 = reverse_floor(value);
  reverse_lever_logic();
}

void reverse_lever2_writer(void*, float value) {
  flt_ctrls::reverse_lever2 = reverse_floor(value);
  reverse_lever_logic_eng2();
}

void reverse_lever12_writer(void*, float value) {
  const float r = reverse_floor(value);
  flt_ctrls::reverse_lever12 = r;
  flt_ctrls::reverse_lever1 = r;
  flt_ctrls::reverse_lever2 = r;
  reverse_lever_logic();
  reverse_lever_logic_eng2();
}

// NaN steers straight ahead (0); beyond the tiller's travel, its end.
void nosewheel_steer_ratio_writer(void*, float value) {
  const float v = limit(value, -1.0f, 1.0f);
  const double d = v;
  const bool dead_zone = cockpit::nosewheel_steer_override == 0.0f &&
                         mirror_f(bound::zuvadud_D738_effects_nosewheel) > 2.0f && d > -0.015 && d < 0.015;
  cockpit::nosewheel_steer_ratio = dead_zone ? 0.0f : v;
}

// A NaN leaves the lever where it stands; beyond its travel, its end.
void speedbrake_lever_writer(void*, float value) { write_speedbrake_lever(value); }

// The standby altimeter's setting written as its window shows it (inches of
// mercury, or hectopascals in unit 1) sets the altimeter as its knob does,
// within the knob's 0 to 40 in; with STD selected, or the standby display
// without power, the knob, and so a write, does nothing.
void standby_alt_baro_writer(void*, float value) {
  constexpr float kHpaPerInHg = 33.8638816f;
  const float unit = gauges::standby_alt_mode;
  if (is_nan(value) || gauges::standby_alt_std_mode != 0.0f || (unit != 0.0f && unit != 1.0f)) return;
  if (!fed(Consumer::standby_display_reset)) return;
  const float inhg = unit == 1.0f ? value / kHpaPerInHg : value;
  const float setting = limit(inhg, 0.0f, 40.0f);
  gauges::standby_altimeter_baro = setting;
  if (setting != inhg) value = unit == 1.0f ? setting * kHpaPerInHg : setting;
  knobs::standby_alt_baro = value;
}

void gear_horn_cutout_pos_writer(void*, float value) { move_gear_horn_cutout(value); }

// The lever has three detents, UP, OFF and DOWN: a write takes the nearest,
// beyond an end that end, as the restore does.
void gear_handle_writer(void*, float value) {
  if (is_nan(value)) return;
  const double w = value;
  float v = w < 0.25 ? 0.0f : (w < 0.75 ? 0.5f : 1.0f);
  float& lever = controls::gear_handle_down;
  // The lock is asked where the lever stands before the write, as the gear
  // commands ask it: a lever at OFF or DOWN on the ground stays there.
  const float stop = gear_handle_logic();
  lever = v;
  if (stop > v) {
    lever = stop;
    v = stop;
  }
  const double d = v;
  if (d < 0.1) {
    lever = 0.0f;
    issue_command_once(OwnCmd::push_button_gear_up);
  } else if (d > 0.45 && d < 0.55) {
    lever = 0.5f;
    issue_command_once(OwnCmd::push_button_gear_off);
  } else if (d > 0.95) {
    lever = 1.0f;
    issue_command_once(OwnCmd::push_button_gear_down);
  }
}

// A cockpit's lever written works the brakes as the parking brake button
// does: set (the pedals and the chocks as the button asks for them) or
// released, whichever detent is the nearer (from halfway, set); beyond an
// end counts as that end, and a NaN leaves it. The lever has no place
// between them to stand.
void parking_brake_pos_writer(void*, float value) {
  if (is_nan(value)) return;
  float& lever = cockpit::parking_brake_pos;
  const bool set = value >= 0.5f;
  if (lever == (set ? 1.0f : 0.0f)) return;
  // The button sets a lever that rests released and releases any other.
  if (set) lever = 0.0f;
  cmd_push_button_park_brake_on_off(nullptr, xplm_CommandBegin, nullptr);
  cmd_push_button_park_brake_on_off(nullptr, xplm_CommandEnd, nullptr);
}

// A selector written to another position selects it as its knob does: RTO
// runs its self-test, setting 1 shows DISARM, OFF ends the autobrake, and
// MAX turns the knob for the systems step to pull the selector after it.
// The nearest position is taken, a value beyond the travel its end; a NaN
// is ignored.
void autobrake_pos_writer(void*, float value) {
  if (is_nan(value)) return;
  const float lo = autobrake_pos_value(AutobrakePos::rto);
  const float hi = autobrake_pos_value(AutobrakePos::max);
  const float v = value < lo ? lo : (value > hi ? hi : value);
  const auto position = static_cast<AutobrakePos>(static_cast<int>(v + 0.5f));
  if (position == AutobrakePos::max) {
    autobrake_knob_target = autobrake_pos_value(AutobrakePos::max);
    return;
  }
  if (autobrake::autobrake_pos == autobrake_pos_value(position)) return;
  select_autobrake(position, AutobrakeSelectedBy::knob_command);
}
