// Autobrake selector and RTO self-test state that the knob commands, the
// panel-state apply, the delay timers and the systems step share; saved and
// restored with the packed cockpit state.
#pragma once

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
// test countdown ran; the knob commands call it rto_test_fault), 2 passed.
extern float rto_test_result;
