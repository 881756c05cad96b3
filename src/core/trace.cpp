// Step trace ring (see trace.h).
#include "core/trace.h"

StepTrace step_trace;

void trace_record(const char* name) {
  step_trace.names[step_trace.next] = name;
  step_trace.next = (step_trace.next + 1) % StepTrace::capacity;
  if (step_trace.count < 0x7fffffff) ++step_trace.count;
}

void trace_reset(bool enabled) {
  step_trace.next = 0;
  step_trace.count = 0;
  step_trace.enabled = enabled;
}

int32_t trace_size() {
  return step_trace.count < StepTrace::capacity ? step_trace.count : StepTrace::capacity;
}

const char* trace_at(int32_t i) {
  const int32_t size = trace_size();
  if (i < 0 || i >= size) return nullptr;
  const int32_t first = step_trace.count < StepTrace::capacity ? 0 : step_trace.next;
  return step_trace.names[(first + i) % StepTrace::capacity];
}
