// Ground-service equipment: the GPU, the air start unit, two fuel trucks, the
// cones and two de-ice trucks. While the scripts' hide value of an object is
// 0 it is loaded from the aircraft's "objects/GSE/" folder and one instance is
// placed on the terrain at the variant's offset from the aircraft
// (gse_offsets); once the aircraft has moved away from it the object's moved
// flag ("..._test") is raised for the scripts. Hidden again, it is unloaded.
//
// Uses the slots and unload operations of systems_steps.h and the core's
// terrain probe.
#pragma once

#include "platform/xplm.h"
#include "systems/systems_steps.h"

// Aircraft position when each slot's instance was placed (local metres).
struct GseAnchor {
  float x_m;
  float z_m;
};
extern GseAnchor gse_anchors[gse_slot_count];

// Every frame once the start-up frame has completed and the terrain probe exists.
void gse_objects_update();

// Places an instance `a` metres behind (negative: ahead of) and `b` metres
// left of (negative: right of) the aircraft position and attitude held in
// `record`, turned by `heading_offset_deg`, and sets it on the terrain under
// that point (height 0 when the probe misses or finds water). `record` is
// updated with the placed position even without an instance; the result is
// false, placing nothing, when there is no instance.
bool place_ground_object(XPLMDrawInfo_t& record, const float* instance_values, XPLMInstanceRef instance, float a,
                         float b, float heading_offset_deg);

// One slot's placement step: the aircraft's position record, the slot's
// anchor, the fold of data[0] (above 45 loses 90 once) and the placement at
// the slot's offsets. The result is place_ground_object's.
bool gse_place(int slot, float* data);
