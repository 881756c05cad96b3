// Writes of host datarefs that the systems drive: only when the wanted value
// differs from the frame's mirror copy, which is updated with the write so
// later steps of the frame see it. Arrays are sent whole from the mirror.
#pragma once

#include <cstdint>

#include "core/binding.h"

inline void host_set_i(bound::Id id, int32_t value) {
  if (mirror_i(id) == value) return;
  set_mirror_i(id, value);
  if (XPLMDataRef h = handle(id)) XPLMSetDatai(h, value);
}

inline void host_set_f(bound::Id id, float value) {
  if (mirror_f(id) == value) return;
  set_mirror_f(id, value);
  if (XPLMDataRef h = handle(id)) XPLMSetDataf(h, value);
}

// Element `index` of an int array mirror of `count` elements.
inline void host_set_vi(bound::Id id, int32_t* mirror, int count, int index, int32_t value) {
  if (index < 0 || index >= count || mirror[index] == value) return;
  mirror[index] = value;
  if (XPLMDataRef h = handle(id)) XPLMSetDatavi(h, mirror, 0, count);
}

// Float of an array mirror, 0 outside it.
inline float mirror_vf_at(bound::Id id, int index) {
  int n = 0;
  const float* v = mirror_vf(id, &n);
  return (v != nullptr && index >= 0 && index < n) ? v[index] : 0.0f;
}

inline int32_t mirror_vi_at(bound::Id id, int index) {
  int n = 0;
  const int* v = mirror_vi(id, &n);
  return (v != nullptr && index >= 0 && index < n) ? v[index] : 0;
}

// A script or add-on value read directly through its handle (0 when absent).
inline float script_value(bound::Id id) {
  XPLMDataRef h = handle(id);
  return h != nullptr ? XPLMGetDataf(h) : 0.0f;
}
