// Autobrake selector and RTO self-test state, and the selection logic (see
// the header).
#include "systems/gear_brakes/autobrake_state.h"

#include "core/preprocess_values.h"
#include "systems/delay_timers.h"
#include "systems/electrical/bus_feeds.h"
#include "systems/flight_controls/flight_control_values.h"

// The selector rests at OFF when the aircraft is loaded.
float autobrake_knob_target = autobrake_pos_value(AutobrakePos::off);
float autobrake_knob_anim = autobrake_pos_value(AutobrakePos::off);
float rto_speedbrake_stow_request;
float autobrake_brake_value;
float rto_test_result;
float autobrake_selection_waiting;

namespace {

// RTO armed and engaged (braking): leaving it stows the speed brake it raised.
constexpr float kRtoEngaged = 2.0f;
// A landing autobrake armed and braking.
constexpr float kLandingBraking = 2.0f;

// Leaving RTO ends it, its self-test and any autobrake braking; an engaged
// RTO stows the speed brake lever it raised.
void end_rto_and_braking() {
  if (autobrake::autobrake_RTO_arm == kRtoEngaged) rto_speedbrake_stow_request = 1.0f;
  autobrake::autobrake_RTO_arm = 0.0f;
  autobrake::autobrake_RTO_test = 0.0f;
  autobrake::autobrake_disarm = 0.0f;
  autobrake_brake_value = 0.0f;
  rto_test_result = 0.0f;
  delay_timers.autobrake_rto_test_delay = 0.0f;
}

}  // namespace

void place_autobrake_selector(AutobrakePos position) {
  const float value = autobrake_pos_value(position);
  autobrake::autobrake_pos = value;
  autobrake::autobrake_pos2 = position == AutobrakePos::max ? 1.0f : 0.0f;
  autobrake_knob_target = value;
  autobrake_knob_anim = value;
}

bool autobrake_logic_powered() { return fed(Consumer::autobrake) || fed(Consumer::annunciator_lamps); }

namespace {

void selection_rules(AutobrakePos position, bool command) {
  if (position == AutobrakePos::rto) {
    // RTO on the ground runs the one-second self-test (again).
    if (on_ground == 1) {
      if (command) autobrake::autobrake_RTO_test = 1.0f;
      delay_timers.autobrake_rto_test_delay = 1.0f;
      rto_test_result = 0.0f;
    }
    return;
  }
  if (position == AutobrakePos::off || !command) {
    // OFF also ends a landing autobrake, armed or braking, as stepping down
    // to OFF does: left armed it would go on braking at level 1 with the
    // selector at OFF.
    if (command) autobrake::autobrake_arm = 0.0f;
    end_rto_and_braking();
    return;
  }
  // Setting 1 on the ground shows DISARM until the system arms.
  if (position == AutobrakePos::one && on_ground == 1) autobrake::autobrake_disarm = 1.0f;
}

}  // namespace

void select_autobrake(AutobrakePos position, AutobrakeSelectedBy by) {
  const bool command = by == AutobrakeSelectedBy::knob_command;
  place_autobrake_selector(position);
  // A saved panel puts the selector back as it was: no turn waits then.
  if (!command) autobrake_selection_waiting = 0.0f;
  if (command && !autobrake_logic_powered()) {
    autobrake_selection_waiting = 1.0f;
    return;
  }
  selection_rules(position, command);
}

void step_autobrake_to_off() {
  place_autobrake_selector(AutobrakePos::off);
  if (!autobrake_logic_powered()) {
    autobrake_selection_waiting = 1.0f;
    return;
  }
  autobrake::autobrake_arm = 0.0f;
  autobrake::autobrake_disarm = 0.0f;
  autobrake_brake_value = 0.0f;
}

void take_waiting_autobrake_selection() {
  if (autobrake_selection_waiting == 0.0f || !autobrake_logic_powered()) return;
  autobrake_selection_waiting = 0.0f;
  // Where the knob is going: the selector may still be on its way to MAX.
  const float target = autobrake_knob_target;
  const int position = static_cast<int>(target);
  if (static_cast<float>(position) == target && target >= autobrake_pos_value(AutobrakePos::rto) &&
      target <= autobrake_pos_value(AutobrakePos::max)) {
    selection_rules(static_cast<AutobrakePos>(position), true);
  }
}

void reset_autobrake_at_off() {
  if (autobrake::autobrake_pos != autobrake_pos_value(AutobrakePos::off)) return;
  // The speed brake stow the save asked for stands; a restore raises none.
  const float stow = rto_speedbrake_stow_request;
  autobrake::autobrake_arm = 0.0f;
  end_rto_and_braking();
  rto_speedbrake_stow_request = stow;
}

bool drop_autobrake_flags_off_selector() {
  const float pos = autobrake::autobrake_pos;
  bool dropped = false;
  if (pos == autobrake_pos_value(AutobrakePos::rto)) {
    // RTO selected: no landing autobrake is armed or braking.
    dropped = autobrake::autobrake_arm != 0.0f;
    autobrake::autobrake_arm = 0.0f;
  } else if (pos != autobrake_pos_value(AutobrakePos::off)) {
    // A landing setting: no RTO is armed, engaged or under test.
    dropped = autobrake::autobrake_RTO_arm != 0.0f || autobrake::autobrake_RTO_test != 0.0f;
    autobrake::autobrake_RTO_arm = 0.0f;
    autobrake::autobrake_RTO_test = 0.0f;
    if (dropped) {
      rto_test_result = 0.0f;
      delay_timers.autobrake_rto_test_delay = 0.0f;
    }
  }
  // Brakes applied only by an autobrake braking.
  if (dropped && autobrake::autobrake_RTO_arm != kRtoEngaged && autobrake::autobrake_arm != kLandingBraking) {
    autobrake_brake_value = 0.0f;
  }
  return dropped;
}
