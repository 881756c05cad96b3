// Outside datarefs the plug-in reads and writes: one handle slot per name,
// looked up once at start-up (null when the host, the scripts or an add-on do
// not publish it), plus the per-frame mirrors of the values read every frame.
//
// Every name, its slot, its mirror field and its poll entry come from one
// generated table (bound_names.inc, bound_mirrors.h, bound_polls.inc; see
// tools/gen_bound.py), so they cannot drift apart.
#pragma once

#include <cstdint>

#include "core/bound_mirrors.h"
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
// Never cleared; only "quenby/fo/_show" is ever looked up again.
extern XPLMDataRef bound_handles[bound::COUNT];

inline XPLMDataRef handle(bound::Id id) { return bound_handles[id]; }

// The dataref name of a slot ("" for an id out of range).
const char* bound_name(bound::Id id);

// Start-up look-ups, each over its own table, in the order start-up calls them.
void bind_outside_datarefs();   // the scripts' mirrored values
void bind_host_datarefs();      // the host's own datarefs
void bind_librain_datarefs();   // the rain-on-glass plug-in
void bind_terrain_radar_datarefs();
void bind_addon_datarefs();     // other optional add-ons
void bind_script_datarefs();    // the scripts' values read or written directly

// Looks "quenby/fo/_show" up again into its slot (the first-officer add-on may
// appear after start-up). Returns 1 when it is now present, else 0; the caller
// publishes that to the scripts.
int rebind_fo_show();

// Per-frame copies into the mirrors, host first, then the scripts. Both run
// while paused and in replay too. The host poll reads host_version (core/frame_values.h)
// to choose between the older and newer hosts' weather names.
void poll_host_datarefs();
void poll_script_datarefs();

// The mirrors themselves: host_mirror and script_mirror (core/bound_mirrors.h),
// one field per mirrored name, named like its bound::Id, e.g.
//   host_mirror.sim_cockpit2_gauges_indicators_airspeed_kts_pilot
// The scripts' five failure arrays land in failure_tables (core/failure_tables.h).

// 1 once a poll has read the host's traffic target arrays (their slot exists);
// then host_mirror.sim_cockpit2_tcas_targets_position_{lat,lon,ele,vz} hold
// elements 0..63. Never cleared.
extern int32_t tcas_targets_present;

// Generic access by id (reads taken now, writes to the host: core/host_io.h).
// Scalars read as the type named, converted from the
// mirror's own type (float to int truncates toward zero; NaN reads 0). Arrays
// return a pointer to the mirror storage and its count (nullptr / 0 for a name
// without an array mirror of that type). Names without a mirror read 0; the
// newer hosts' weather names have none of their own: they fill the older
// name's value. A step that changes an outside value may store it into the
// mirror so later steps of the same frame see it (no effect on unmirrored names).
float mirror_f(bound::Id id);
int mirror_i(bound::Id id);
double mirror_d(bound::Id id);
const float* mirror_vf(bound::Id id, int* count);
const int* mirror_vi(bound::Id id, int* count);
void set_mirror_f(bound::Id id, float value);
void set_mirror_i(bound::Id id, int value);
// A mirrored text ("" for a name without one); always terminated.
const char* mirror_text(bound::Id id);
// The side the flight guidance and its alerts take their instruments from
// (1 captain, 2 first officer, as the scripts number them): the engaged
// autopilot's side, else the master flight director's.
float guidance_side();

// Float to int, truncated toward zero; NaN gives 0, values beyond the int
// range give its limits.
int32_t trunc_to_i32(double value);

// The pause and replay state of this frame, refreshed by poll_host_datarefs.
extern int sim_paused;
extern int sim_in_replay;
