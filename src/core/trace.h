// Step trace: a record of which per-frame and lifecycle steps ran, in order.
//
// The frame order is behaviour other modules rely on (a step reads what an
// earlier step of the same frame wrote), so tests pin it through this record.
// Recording is off in normal use; each traced step then costs one predictable
// branch on a global flag. When on, step names (string literals, never
// copied) go into a fixed ring; the oldest entries are overwritten.
#pragma once

#include <cstdint>

struct StepTrace {
  static constexpr int32_t capacity = 1024;
  const char* names[capacity];
  int32_t next;    // ring position of the next record
  int32_t count;   // records made since the last clear (may exceed capacity)
  bool enabled;
};
extern StepTrace step_trace;

void trace_record(const char* name);

inline void trace_step(const char* name) {
  if (step_trace.enabled) [[unlikely]] trace_record(name);
}

// Clears the record and switches recording on or off.
void trace_reset(bool enabled);
// Number of records still held (at most capacity) and the i-th oldest of them.
int32_t trace_size();
const char* trace_at(int32_t i);

// Runs a step that takes no arguments, recording its own name first.
#define CORVANE_STEP(fn) \
  do {                   \
    trace_step(#fn);     \
    fn();                \
  } while (0)
