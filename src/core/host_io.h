// The seam to the host: every read and write of an outside dataref (the
// host's own, the aircraft scripts', the add-ons') goes through the mirrors
// (core/binding.h) or through the functions below. No other file calls the
// host's dataref getters and setters; scripts/check-seam.sh refuses one that
// does.
//
// One invalid-input policy, the mirrors' (core/binding_mirror.cpp), on every
// read:
//   - a float or double that is not a finite number reads as 0;
//   - a value with a range row there (positions, altitudes, speeds, Mach,
//     temperatures, ambient pressure) that no aircraft can reach reads as 0,
//     or, for positions, altitudes and pressure, as its last good value (the
//     mirror's);
//   - array elements get the first rule; texts always end inside the buffer.
// So a value read through here or from a mirror needs no finite_or guard.
//
// Types: each call uses the host's getter or setter of its own type. The
// host converts nothing: a getter of another type than the dataref's reads
// 0 and a setter of another type does nothing, so pick the call by the
// dataref's type (bound_names.inc lists the calls each name takes), and keep
// float and double apart (f32/f64 are behaviour).
//
// Timing: a mirror holds the value of this frame's poll. read_now_* takes the
// value at the moment of the call: for a value another step or the scripts
// may have changed since the poll, or a name that has no mirror. Converting
// a direct call, keep its timing: a direct read becomes read_now_*, not a
// mirror read, unless nothing can have written the value in between.
//
// Writes, in three families, by whose value it is and whether the mirror
// is kept in step:
//   host_set_*    the host's value, sent only when it differs from the
//                 mirror, the mirror updated with it so later steps of the
//                 frame see it (mirrored names only);
//   host_send_*   the host's value, always sent; the mirror keeps the
//                 poll's value until the next poll (start-up, restore, and
//                 values a step must push whatever the mirror says);
//   script_set_*  a value of the scripts or of an add-on, always sent; a
//                 mirror of it keeps the poll's value.
// A write sends the value as given: the writer owns it. A name whose slot is
// null (absent at start-up) reads 0 (0 elements, an empty text) and takes no
// write, as the host itself would do with a null handle.
#pragma once

#include <array>
#include <cmath>
#include <cstdint>

#include "core/binding.h"

// ---- reads, taken now -------------------------------------------------------

// The range row of core/binding_mirror.cpp that guards each name's float
// reads, -1 for a name without one (most of them: the scripts' values).
extern const std::array<int8_t, bound::COUNT> read_now_float_row;
// A finite float read now checked against its name's range row.
float read_now_f_in_range(bound::Id id, float value);

// The value now, with the policy above (0 for an absent name). The reads of
// the scripts' values run by the hundred every frame, so the common path is
// inline and only a ranged name leaves it.
inline float read_now_f(bound::Id id) {
  if (id < 0 || id >= bound::COUNT) return 0.0f;
  const XPLMDataRef h = bound_handles[id];
  if (h == nullptr) return 0.0f;
  float v = XPLMGetDataf(h);
  if (!std::isfinite(v)) v = 0.0f;
  return read_now_float_row[id] < 0 ? v : read_now_f_in_range(id, v);
}
int32_t read_now_i(bound::Id id);
// Element `index` of an int array now; 0 for an absent name or an element
// the host does not have.
int32_t read_now_vi_at(bound::Id id, int index);
double read_now_d(bound::Id id);

// Elements [0, count) into out; returns how many the host gave (0..count).
// Float elements that are not finite numbers read 0.
inline int read_now_vf(bound::Id id, float* out, int count) {
  if (id < 0 || id >= bound::COUNT || out == nullptr || count <= 0) return 0;
  const XPLMDataRef h = bound_handles[id];
  if (h == nullptr) return 0;
  int got = XPLMGetDatavf(h, out, 0, count);
  if (got < 0) got = 0;
  if (got > count) got = count;
  for (int i = 0; i < got; ++i)
    if (!std::isfinite(out[i])) out[i] = 0.0f;
  return got;
}

// A byte dataref from offset 0 as text: at most out_size - 1 bytes, then a
// terminator right after the bytes the host copied. Returns the bytes read
// (0 for an absent name or out_size < 1).
int read_now_text(bound::Id id, char* out, int out_size);
// Up to count raw bytes from offset 0, no terminator added; returns the bytes
// copied (0..count).
int read_now_bytes(bound::Id id, void* out, int count);

// For a value whose absence or non-finite value the caller must tell from a
// 0, to keep its own value then: false, *out untouched, when the name is
// absent or its value is not a finite number; otherwise true and the value
// in *out. No range row applies: for the scripts' values, and for a host
// value whose reader holds its own last value instead.
inline bool read_now_finite_f(bound::Id id, float* out) {
  const XPLMDataRef h = (id >= 0 && id < bound::COUNT) ? handle(id) : nullptr;
  if (h == nullptr) return false;
  const float v = XPLMGetDataf(h);
  if (!std::isfinite(v)) return false;
  *out = v;
  return true;
}

// read_now_vf that also tells which elements were finite numbers: finite[i]
// is false for an element that was not (it reads 0, as with read_now_vf) and
// true for the others, for i below the count returned.
inline int read_now_vf_finite(bound::Id id, float* out, bool* finite, int count) {
  if (out == nullptr || finite == nullptr || count <= 0) return 0;
  const XPLMDataRef h = (id >= 0 && id < bound::COUNT) ? handle(id) : nullptr;
  if (h == nullptr) return 0;
  int got = XPLMGetDatavf(h, out, 0, count);
  if (got < 0) got = 0;
  if (got > count) got = count;
  for (int i = 0; i < got; ++i) {
    finite[i] = std::isfinite(out[i]);
    if (!finite[i]) out[i] = 0.0f;
  }
  return got;
}

// Whether the name was found at start-up (its slot is not null).
inline bool bound_present(bound::Id id) { return handle(id) != nullptr; }

// Element `index` of a float (int) array mirror, 0 outside it.
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

// A host failure item's value for an item failed (inoperative); 0 is working.
inline constexpr int32_t kHostFailed = 6;

// True while the host replays a recording: the cockpit's own moves are held.
inline bool host_in_replay() { return read_now_i(bound::sim_time_is_in_replay) != 0; }

// ---- the host's values, kept in step with the mirror -------------------------

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

// Element `index` of the int array mirror `mirror` of `count` elements; the
// whole array is sent from the mirror when the element changes.
inline void host_set_vi(bound::Id id, int32_t* mirror, int count, int index, int32_t value) {
  if (index < 0 || index >= count || mirror[index] == value) return;
  mirror[index] = value;
  if (XPLMDataRef h = handle(id)) XPLMSetDatavi(h, mirror, 0, count);
}

// ---- the host's values, always sent ------------------------------------------

inline void host_send_i(bound::Id id, int32_t value) {
  if (XPLMDataRef h = handle(id)) XPLMSetDatai(h, value);
}
inline void host_send_f(bound::Id id, float value) {
  if (XPLMDataRef h = handle(id)) XPLMSetDataf(h, value);
}
// Sent, and the mirror set to it, even when the mirror already holds it: the
// host may have moved the value since it was read.
inline void host_send_mirrored_f(bound::Id id, float value) {
  set_mirror_f(id, value);
  host_send_f(id, value);
}
// values[0, count) into elements [offset, offset + count); the host reads
// exactly count values, so values must hold that many.
inline void host_send_vi(bound::Id id, const int32_t* values, int count, int offset = 0) {
  if (XPLMDataRef h = handle(id)) XPLMSetDatavi(h, const_cast<int32_t*>(values), offset, count);
}
inline void host_send_vf(bound::Id id, const float* values, int count, int offset = 0) {
  if (XPLMDataRef h = handle(id)) XPLMSetDatavf(h, const_cast<float*>(values), offset, count);
}

// ---- the scripts' and add-ons' values, always sent ---------------------------

inline void script_set_i(bound::Id id, int32_t value) {
  if (XPLMDataRef h = handle(id)) XPLMSetDatai(h, value);
}
inline void script_set_f(bound::Id id, float value) {
  if (XPLMDataRef h = handle(id)) XPLMSetDataf(h, value);
}
// script_set_f for a value that may carry a NaN or an infinity the scripts
// handed over: such a value is not sent, and the script's value stays as it
// was.
inline void script_set_finite_f(bound::Id id, float value) {
  if (std::isfinite(value)) script_set_f(id, value);
}
inline void script_set_vf(bound::Id id, const float* values, int count, int offset = 0) {
  if (XPLMDataRef h = handle(id)) XPLMSetDatavf(h, const_cast<float*>(values), offset, count);
}
// count bytes from offset 0; the host reads exactly count bytes.
inline void script_set_bytes(bound::Id id, const void* bytes, int count) {
  if (XPLMDataRef h = handle(id)) XPLMSetDatab(h, const_cast<void*>(bytes), 0, count);
}
