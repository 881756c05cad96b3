// Outside datarefs the plug-in reads and writes: one handle slot per name,
// looked up once at start-up (null when the host, the scripts or an add-on do
// not publish it), plus the per-frame mirrors of the values read every frame.
#pragma once

#include "platform/xplm.h"

namespace bound {
enum Id : int {
#define BOUND(ident, name, table, access, count, polled, conversion) ident,
#include "core/bound_names.inc"
#undef BOUND
  COUNT
};
}  // namespace bound

// Handle slots, indexed by bound::Id; null when the name was absent at start-up.
extern XPLMDataRef bound_handles[bound::COUNT];

inline XPLMDataRef handle(bound::Id id) { return bound_handles[id]; }

// Start-up look-ups, each over its own table, in the order start-up calls them.
void bind_outside_datarefs();   // the scripts' mirrored values
void bind_host_datarefs();      // the host's own datarefs
void bind_librain_datarefs();   // the rain-on-glass plug-in
void bind_terrain_radar_datarefs();
void bind_addon_datarefs();     // other optional add-ons
void bind_script_datarefs();    // the scripts' values read or written directly

// Per-frame copies into the mirrors, host first, then the scripts.
void poll_host_datarefs();
void poll_script_datarefs();

// Per-frame mirror values, by the bound name they copy. Scalars read as the
// type named; ints kept as floats and floats kept as ints follow the name's
// own conversion. Arrays return a pointer to the mirror storage and its count
// (nullptr / 0 for a name that has no array mirror). A step that changes an
// outside value may store it into the mirror so later steps of the same frame
// see it.
float mirror_f(bound::Id id);
int mirror_i(bound::Id id);
double mirror_d(bound::Id id);
const float* mirror_vf(bound::Id id, int* count);
const int* mirror_vi(bound::Id id, int* count);
void set_mirror_f(bound::Id id, float value);
void set_mirror_i(bound::Id id, int value);

// The pause and replay state of this frame, refreshed by poll_host_datarefs.
extern int sim_paused;
extern int sim_in_replay;
