// Entry types of the generated poll tables (core/bound_polls.inc): one
// outside dataref each, its mirror storage and, for arrays and texts, the
// elements or bytes read. Each table's getter is fixed by its entry type.
#pragma once

#include <cstdint>

#include "core/binding.h"

struct PollF {
  bound::Id id;
  float* dst;
};
struct PollI {
  bound::Id id;
  int32_t* dst;
};
struct PollIntAsFloat {
  bound::Id id;
  float* dst;
};
struct PollFloatAsInt {
  bound::Id id;
  int32_t* dst;
};
struct PollD {
  bound::Id id;
  double* dst;
};
struct PollVF {
  bound::Id id;
  float* dst;
  int count;
};
struct PollVI {
  bound::Id id;
  int32_t* dst;
  int count;
};
// A text of count bytes into a buffer of count + 1.
struct PollB {
  bound::Id id;
  char* dst;
  int count;
};
// A newer host's value converted into the older host's unit, in double
// precision and stored as f32 (scale 1.0 stores the value as read).
struct PollScaled {
  bound::Id id;
  float* dst;
  double scale;
};

enum class MirrorKind : uint8_t { none, f32, i32, f64, vf32, vi32, text };
struct MirrorSlot {
  MirrorKind kind;
  void* ptr;
  int count;
};
