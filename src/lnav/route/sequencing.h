// Leg sequencing: when the active and the sequencing leg move on, which
// navigation mode the lateral guidance flies next, and the hold and
// procedure-turn phases. Every value changed here is published at once to the
// scripts' fms datarefs (the FmsSequenceState copies are kept in step).
#pragma once

#include <cstdint>

// Set when, in a hold (nav_mode 3) that is to be left (hold_term > 1), the
// hold phase has just stepped from 0 to 1: the fix was passed. The main loop
// clears it in every frame whose nav_mode is not 3.
extern uint8_t hold_seq_latch;
// hold_phase seen by the previous sequence_legs call.
extern float prev_hold_phase;
// Slot of the sequencing leg whose entry arc, longer than half a circle, has
// been flown past its half in this turn (nav_mode 5); -1 when none. Cleared
// by sequence_legs in every frame whose nav_mode is not 5.
extern int32_t long_arc_half_slot;

// Re-initialises nav_mode (and the hold or procedure-turn phase) for the
// sequencing leg slot i after a route change, a direct-to or a leg advance.
void init_nav_mode(int32_t i);
// Moves the active leg on when its waypoint is passed. False, with nothing
// changed, when vnav_idx is not above 1 or above legs_num, or on the ground.
bool sequence_legs_new_offset();
// The sequencing state machine (called only when sequence_legs_new_offset
// returned false).
void sequence_legs();
// Hold phase stepping; called only in nav_mode 3.
void sequence_legs_hold();
// Procedure-turn phase stepping and its end; called only in nav_mode 7.
void sequence_legs_pi();

// True when b - a, folded into -180..180, is at most 90 degrees either way.
bool crs_within_90(float a, float b);
