// The overhead panels' (lights, clocks) change test on a mirrored host float
// array: the element takes the wanted value in the mirror, and the caller
// sends the array through the seam (host_send_vf, core/host_io.h) when any
// element changed, so later steps of the same frame see the new value.
#pragma once

// Sets one element of a mirrored host float array; true when it changed.
inline bool set_element(float* mirror, int index, float value) {
  if (mirror[index] == value) return false;
  mirror[index] = value;
  return true;
}
