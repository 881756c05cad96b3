// The publication engine: the record of one published dataref, the accessor
// kinds every row is built from, and the loop that registers a list with the
// host and withdraws it at stop.
//
// Each row gets readers and writers of its own (captureless lambdas over its
// backing global, turned into plain function pointers), so the host always
// hands a null reference value and no accessor looks anything up.
#pragma once

#include <cstdint>

#include "platform/xplm.h"
#include "publication/accessor_kinds.h"

struct PublishedDataref {
  const char* name;
  int type_flags;  // host type bits: 1 int, 2 float, 4 double, 8 float[], 16 int[], 32 bytes
  int writable;    // passed to the host unchanged
  int refind;      // 1: the name is looked up again right after registering
  int size;        // element count, byte length, or 1 for scalars
  XPLMGetDatai_f geti;
  XPLMSetDatai_f seti;
  XPLMGetDataf_f getf;
  XPLMSetDataf_f setf;
  XPLMGetDatad_f getd;
  XPLMSetDatad_f setd;
  XPLMGetDatavi_f getvi;
  XPLMSetDatavi_f setvi;
  XPLMGetDatavf_f getvf;
  XPLMSetDatavf_f setvf;
  XPLMGetDatab_f getb;
  XPLMSetDatab_f setb;
  XPLMFlightLoop_f announcer;
};

// One registration list: its rows in registration order and one handle slot
// per row, kept from registration until withdrawal.
struct PublishedList {
  const char* name;
  const PublishedDataref* rows;
  int count;
  XPLMDataRef* handles;
};

void publish_list(const PublishedList& list);
void withdraw_list(const PublishedList& list);

// Sends the name to the dataref editor when that plug-in is loaded; the value
// to hand back to the host scheduler (0: never call again).
float announce_to_dataref_editor(const char* name);

// ---- row builders used by the generated lists ----------------------------------
#define PUB_ANNOUNCER(NAME) \
  +[](float, float, int, void*) -> float { return announce_to_dataref_editor(NAME); }

#define PUB_WF(VAR) +[](void*, float v) { if (writable_float(v)) VAR = v; }

// A replay shows the past: a cockpit control written during it (by a
// builder's hardware or a cockpit object) stays where it stands, as its
// command pressed then does nothing. Hardware that still holds the control
// elsewhere moves it with its first write after the replay.
bool cockpit_writes_held();

// A switch, selector or knob: the nearest of its positions lo..hi.
#define PUB_WF_SWITCH(VAR, LO, HI) \
  +[](void*, float v) { if (!cockpit_writes_held()) VAR = nearest_position(VAR, v, LO, HI); }
// A lever, knob, volume or ratio: within lo..hi, on the nearest position of
// step where it has them.
#define PUB_WF_TRAVEL(VAR, LO, HI, STEP) \
  +[](void*, float v) { if (!cockpit_writes_held()) VAR = written_position(VAR, v, LO, HI, STEP); }
#define PUB_WVF_TRAVEL(ARR, N, LO, HI, STEP)                                              \
  +[](void*, float* v, int off, int n) {                                                   \
    if (!cockpit_writes_held()) write_float_run_within(ARR, N, v, off, n, LO, HI, STEP); \
  }
// A control whose own writer does more than store (publication/*_writers.h).
#define PUB_WF_CONTROL(FN) +[](void* ref, float v) { if (!cockpit_writes_held()) FN(ref, v); }
#define PUB_WI(VAR) +[](void*, int v) { VAR = v; }
#define PUB_WD(VAR) +[](void*, double v) { if (writable_double(v)) VAR = v; }
// A request flag kept as a float, where any non-zero value asks: a value with
// no float form (NaN, infinities, beyond the float range) asks as 1.
#define PUB_WD_FLAG(VAR) +[](void*, double v) { VAR = writable_narrowed(v) ? static_cast<float>(v) : 1.0f; }
#define PUB_WVF(ARR, N) \
  +[](void*, float* v, int off, int n) { write_float_run(ARR, N, v, off, n); }

#define PUB_F(NAME, WR, RF, VAR, W)                                                          \
  PublishedDataref {                                                                         \
    NAME, 2, WR, RF, 1, nullptr, nullptr, +[](void*) -> float { return VAR; }, W, nullptr,   \
        nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, PUB_ANNOUNCER(NAME)   \
  }
#define PUB_F_READER(NAME, WR, RF, FN)                                                      \
  PublishedDataref {                                                                        \
    NAME, 2, WR, RF, 1, nullptr, nullptr, FN, nullptr, nullptr, nullptr, nullptr, nullptr,  \
        nullptr, nullptr, nullptr, nullptr, PUB_ANNOUNCER(NAME)                             \
  }
#define PUB_I(NAME, WR, RF, VAR, W)                                                        \
  PublishedDataref {                                                                       \
    NAME, 1, WR, RF, 1, +[](void*) -> int { return VAR; }, W, nullptr, nullptr, nullptr,   \
        nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, PUB_ANNOUNCER(NAME) \
  }
#define PUB_I_OVER_F(NAME, WR, RF, FVAR)                                                    \
  PublishedDataref {                                                                        \
    NAME, 1, WR, RF, 1, +[](void*) -> int { return truncate_to_int(FVAR); }, nullptr,       \
        nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,    \
        nullptr, PUB_ANNOUNCER(NAME)                                                        \
  }
#define PUB_D(NAME, WR, RF, VAR, W)                                                        \
  PublishedDataref {                                                                       \
    NAME, 4, WR, RF, 1, nullptr, nullptr, nullptr, nullptr,                                \
        +[](void*) -> double { return VAR; }, W, nullptr, nullptr, nullptr, nullptr,       \
        nullptr, nullptr, PUB_ANNOUNCER(NAME)                                              \
  }
#define PUB_D_OVER_F(NAME, WR, RF, FVAR, W)                                                \
  PublishedDataref {                                                                       \
    NAME, 4, WR, RF, 1, nullptr, nullptr, nullptr, nullptr,                                \
        +[](void*) -> double { return static_cast<double>(FVAR); }, W, nullptr, nullptr,   \
        nullptr, nullptr, nullptr, nullptr, PUB_ANNOUNCER(NAME)                            \
  }
#define PUB_VF(NAME, WR, RF, ARR, N, W)                                                       \
  PublishedDataref {                                                                          \
    NAME, 8, WR, RF, N, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,        \
        nullptr,                                                                              \
        +[](void*, float* out, int off, int max) { return read_float_run(ARR, N, out, off, max); }, \
        W, nullptr, nullptr, PUB_ANNOUNCER(NAME)                                              \
  }
#define PUB_VI(NAME, WR, RF, ARR, N)                                                          \
  PublishedDataref {                                                                          \
    NAME, 16, WR, RF, N, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,                \
        +[](void*, int* out, int off, int max) { return read_int_run(ARR, N, out, off, max); }, \
        nullptr, nullptr, nullptr, nullptr, nullptr, PUB_ANNOUNCER(NAME)                      \
  }
// One float array published with a float view and an int view.
#define PUB_VFI(NAME, WR, RF, ARR, N)                                                         \
  PublishedDataref {                                                                          \
    NAME, 24, WR, RF, N, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,                \
        +[](void*, int* out, int off, int max) {                                              \
          return read_float_run_as_int(ARR, N, out, off, max);                                \
        },                                                                                    \
        +[](void*, int* v, int off, int n) { write_int_run_as_float(ARR, N, v, off, n); },    \
        +[](void*, float* out, int off, int max) { return read_float_run(ARR, N, out, off, max); }, \
        PUB_WVF(ARR, N), nullptr, nullptr, PUB_ANNOUNCER(NAME)                                \
  }
#define PUB_B(NAME, WR, RF, BUF, L)                                                            \
  PublishedDataref {                                                                           \
    NAME, 32, WR, RF, L, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,        \
        nullptr, nullptr, nullptr,                                                             \
        +[](void*, void* out, int off, int max) { return read_byte_run(BUF, L, out, off, max); }, \
        nullptr, PUB_ANNOUNCER(NAME)                                                           \
  }
