// Autobrake selector and RTO self-test state that the knob commands, the
// panel-state apply, the delay timers and the systems step share; saved and
// restored with the packed cockpit state. Also the one selection logic the
// knob commands and the panel-state apply both run.
#pragma once

#include <cstdint>

// The selector's positions, as the published autobrake_pos (and the knob's
// target and animation) hold them: RTO, OFF, settings 1 to 3, MAX.
enum class AutobrakePos : int8_t { rto = 0, off = 1, one = 2, two = 3, three = 4, max = 5 };

// A position as the published selector value holds it.
constexpr float autobrake_pos_value(AutobrakePos position) { return static_cast<float>(position); }

// The selector's commanded position and its animated value between setting 3
// (4) and MAX (5); the published autobrake_pos follows the animation.
extern float autobrake_knob_target;
extern float autobrake_knob_anim;
// 1 when an armed RTO was switched off: asks the systems step to stow the
// speed brake lever, which clears it.
extern float rto_speedbrake_stow_request;
// Brake pressure ratio the autobrake commands; the OFF and lower selections clear it.
extern float autobrake_brake_value;
// RTO self-test result: 0 untested, 1 failed (a condition broke while the
// test countdown ran), 2 passed.
extern float rto_test_result;

// Who moves the selector: a knob command, or the apply of a saved panel. The
// two differ where a saved panel is not a crew's selection:
//   RTO on the ground: a command starts the self-test (autobrake_RTO_test lit,
//     DISARM on while it runs); a restore only restarts its countdown.
//   OFF: a command also ends a landing autobrake that was armed; a restore
//     leaves the arming to the systems step.
//   any other position: a restore ends RTO, its self-test and any autobrake
//     braking, as OFF does; a command leaves them (setting 1 on the ground
//     shows DISARM until the system arms).
enum class AutobrakeSelectedBy : uint8_t { knob_command, panel_restore };

// Puts the selector at `position` at once (published value, knob target and
// animation; the MAX flag autobrake_pos2 with MAX only), then runs the
// selection's rules above. The knob commands never select MAX this way: the
// selector is pulled over to MAX by the systems step from the knob's target.
void select_autobrake(AutobrakePos position, AutobrakeSelectedBy by);

// Only the first part: the selector at `position`, nothing else changed.
void place_autobrake_selector(AutobrakePos position);

// Whether the autobrake's logic can act: its own power, or the lamps' power
// on which DISARM lights for an autobrake that has lost its own. Without
// either a knob command only moves the selector, and the selection is taken
// as the selector then stands once power comes.
bool autobrake_logic_powered();
// 1 while a knob command's selection waits for that power.
extern float autobrake_selection_waiting;
// The systems step: takes a waiting selection once the power is back.
void take_waiting_autobrake_selection();
// The knob stepped down from setting 1 to OFF: ends a landing autobrake,
// armed or braking, and its DISARM.
void step_autobrake_to_off();
// A restored selector at OFF disarms and resets the system, as selecting OFF
// does: nothing armed, braking, under test or showing DISARM.
void reset_autobrake_at_off();
// A restored autobrake keeps only the flags its selector can produce: with
// RTO selected no landing autobrake, with a landing setting no RTO (armed,
// engaged or under test); a dropped braking flag takes its brakes with it.
// True when a flag was dropped.
bool drop_autobrake_flags_off_selector();
