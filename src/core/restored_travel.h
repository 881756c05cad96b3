// Saved cockpit values coming back on a loaded situation: where each may
// stand (its travel), and the count of those a damaged save put elsewhere,
// which the restore logs once per load. Every array the plug-in saves for
// the scripts comes back through here, so a slot holds a value its control
// can have or keeps the one it had.
#pragma once

#include <cstddef>
#include <cstdint>

#include "core/binding.h"

// The positions lo, lo + step, ... hi of a switch, knob, guard or lever
// detent, or anywhere from lo to hi (step 0) for a lever on its way, a ratio,
// a quantity or a timer. A saved value beyond the travel is no position the
// control has (a damaged save) and is dropped like a NaN; one inside it is
// taken to the nearest position. A control that fires, starts or stops
// something when it stands on a position (a fire handle, a start selector, a
// start lever) takes only a value that is one of its positions: anything
// between them is dropped too, so a damaged save never moves it there.
struct Travel {
  float lo;
  float hi;
  float step;
  bool positions_only = false;
};

// A saved slot and its travel, as tools/travels.tsv gives them
// (core/saved_travels.h).
struct SavedSlotTravel {
  int16_t slot;
  Travel travel;
};

// The value v as a restore may take it: within the travel, taken to its
// nearest position (true), or beyond it and counted as dropped (false).
bool restore_within_travel(float& v, const Travel& travel);

// The values dropped since the last call (one load's restore), and clears
// the count.
int32_t take_restore_drops();

// A group of slots restored as one whole whose values, each within its
// travel, contradict each other (a combination no command reaches): counted
// apart, and reported on the load's one line with the dropped values.
void count_restore_contradiction();
// The contradictions since the last call, and clears the count.
int32_t take_restore_contradictions();

// One slot of a saved array and the global it carries.
struct RestoredSlot {
  int16_t slot;
  float* value;
};

// Reads the script array id (its first `size` elements, at most 32) and
// puts each slot of the table that the array holds, is a finite number and
// lies within its travel (its row of `travels`, the array's table in
// core/saved_travels.h) into its global; the others keep their value, and
// so does a slot with no row there. Returns the number of elements the
// array held.
int restore_slots(bound::Id id, int size, const RestoredSlot* slots, int slot_count, const SavedSlotTravel* travels,
                  int travel_count);
template <size_t N>
int restore_slots(bound::Id id, int size, const RestoredSlot* slots, int slot_count,
                  const SavedSlotTravel (&travels)[N]) {
  return restore_slots(id, size, slots, slot_count, travels, static_cast<int>(N));
}
template <size_t M, size_t N>
int restore_slots(bound::Id id, int size, const RestoredSlot (&slots)[M], const SavedSlotTravel (&travels)[N]) {
  return restore_slots(id, size, slots, static_cast<int>(M), travels, static_cast<int>(N));
}
