// The route phase of the main loop: the scripts' FMS values every frame, and
// on unpaused frames the intake and decode, the path build, sequencing and
// the lowering of the scripts' change flag "zuvadud/D738/fms/legs_change".
#include "core/route.h"

#include "core/hold_geometry.h"

#include "core/binding.h"
#include "core/route_intake.h"
#include "core/route_pass_steps.h"

void route_reads() {
  // The hold altitude of the route pass belongs to one frame only.
  hold_alt_ref = 0.0f;
  route_side_and_copies();
}

void route_pass() {
  // A change raised while paused waits here, still raised, for the first
  // unpaused frame.
  if (sim_paused != 0) return;
  if (route_intake()) direct_to_path_build();
  route_sequencing_pass();
  // The route (if any) has been taken in: answer the scripts' request.
  legs_change_copy = 0.0f;
  XPLMSetDataf(handle(bound::zuvadud_D738_fms_legs_change), 0.0f);
}
