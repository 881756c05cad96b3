// The ways a cockpit command moves a switch, knob or key position. Positions
// are floats holding small whole numbers compared exactly, so a position that
// stands off its ladder (a stray value written by a script) is left alone by
// the stepping moves rather than snapped somewhere surprising.
#pragma once

#include "platform/xplm.h"

constexpr int phase_begin = xplm_CommandBegin;
constexpr int phase_continue = xplm_CommandContinue;
constexpr int phase_end = xplm_CommandEnd;

// 0 becomes 1, anything else 0.
inline void toggle_switch_pos(float& pos) { pos = pos == 0.0f ? 1.0f : 0.0f; }

// 0 becomes 1 and 1 becomes 0; any other value stays.
inline void toggle_two_values(float& pos) {
  if (pos == 0.0f) {
    pos = 1.0f;
  } else if (pos == 1.0f) {
    pos = 0.0f;
  }
}

// One step along a whole-number ladder lo..hi; nothing at the ends or for a
// value off the ladder. Returns true when the position moved.
inline bool step_position(float& pos, int delta, int lo, int hi) {
  for (int v = lo; v <= hi; ++v) {
    if (pos == static_cast<float>(v)) {
      const int to = v + delta;
      if (to < lo || to > hi) return false;
      pos = static_cast<float>(to);
      return true;
    }
  }
  return false;
}

// A key that reads 1 while it is held and its rest value once released.
inline void momentary(float& pos, XPLMCommandPhase phase, float held = 1.0f, float rest = 0.0f) {
  if (phase == phase_begin) {
    pos = held;
  } else if (phase == phase_end) {
    pos = rest;
  }
}

// Handler bodies for the common switch kinds: they act on the press and
// answer 0, so the host does nothing else.
inline int toggle_handler(float& pos, XPLMCommandPhase phase) {
  if (phase == phase_begin) toggle_switch_pos(pos);
  return 0;
}
inline int two_value_handler(float& pos, XPLMCommandPhase phase) {
  if (phase == phase_begin) toggle_two_values(pos);
  return 0;
}
inline int step_handler(float& pos, int delta, int lo, int hi, XPLMCommandPhase phase) {
  if (phase == phase_begin) step_position(pos, delta, lo, hi);
  return 0;
}
inline int set_handler(float& pos, float value, XPLMCommandPhase phase) {
  if (phase == phase_begin) pos = value;
  return 0;
}
inline int momentary_handler(float& pos, XPLMCommandPhase phase) {
  momentary(pos, phase);
  return 0;
}

// The same moves for handlers that do more at the press and answer
// themselves; a step ladder not given is a three-position switch -1, 0, 1.
inline void toggle_at_begin(float& pos, XPLMCommandPhase phase) {
  if (phase == phase_begin) toggle_switch_pos(pos);
}
inline void step_at_begin(float& pos, XPLMCommandPhase phase, int delta, int lo = -1, int hi = 1) {
  if (phase == phase_begin) step_position(pos, delta, lo, hi);
}
inline void set_at_begin(float& pos, XPLMCommandPhase phase, float value) {
  if (phase == phase_begin) pos = value;
}
