// Host and script exchange helpers of the overhead panels (lights, anti-ice,
// fire, radio and audio panels, clocks): host values are written only when the
// wanted value differs from this frame's mirror, the mirror taking the value
// first, so later steps of the same frame see it; the scripts' packed state
// arrays are read whole with the count they actually hold.
#pragma once

#include <cstdint>

#include "core/binding.h"

// Reads up to `count` floats of a script array from element 0. Returns how
// many the scripts delivered (0 when the array is absent); only those are valid.
int read_script_floats(bound::Id id, float* out, int count);

// Scalar host writes on change.
void host_int_on_change(bound::Id id, int32_t& mirror, int32_t value);
void host_float_on_change(bound::Id id, float& mirror, float value);

// Sets one element of a mirrored host float array; true when it changed.
inline bool set_element(float* mirror, int index, float value) {
  if (mirror[index] == value) return false;
  mirror[index] = value;
  return true;
}
// Sends `count` elements of the mirror from element 0.
void host_floats_send(bound::Id id, float* mirror, int count);
void host_ints_send(bound::Id id, int32_t* mirror, int count);
