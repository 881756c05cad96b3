// Small input guards shared by the engine modules: a value from the host or
// the scripts that is not a finite number is replaced where it enters a model,
// so no NaN reaches a lag, a table search or a host write.
#pragma once

#include <cmath>
#include <cstdint>

#include "core/util.h"  // finite_or

// Engine index of a host or script array: 0 or 1; anything else reads as 0.
inline int32_t engine_slot(int32_t engine) { return engine == 1 ? 1 : 0; }

#include "core/binding.h"

// Host writes through a slot that may be empty (name absent at start-up).
inline void write_host_f(bound::Id id, float v) {
  if (XPLMDataRef r = handle(id)) XPLMSetDataf(r, v);
}
inline void write_host_i(bound::Id id, int v) {
  if (XPLMDataRef r = handle(id)) XPLMSetDatai(r, v);
}
inline void write_host_vf(bound::Id id, float* v, int count) {
  if (XPLMDataRef r = handle(id)) XPLMSetDatavf(r, v, 0, count);
}
inline void write_host_vi(bound::Id id, int* v, int count) {
  if (XPLMDataRef r = handle(id)) XPLMSetDatavi(r, v, 0, count);
}
