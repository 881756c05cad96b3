// The route phase of the main loop: the scripts' FMS values every frame, and
// on unpaused frames the intake and decode, the path build, sequencing and
// the lowering of the scripts' change flag "zuvadud/D738/fms/legs_change".
#include "lnav/route/route.h"

#include "lnav/route/hold_geometry.h"

#include "core/binding.h"
#include "lnav/route/route_intake.h"
#include "lnav/route/route_pass_steps.h"

void route_reads() {
  // The hold altitude of the route pass belongs to one frame only.
  hold_alt_ref = 0.0f;
  route_side_and_copies();
}

void route_pass() {
  // A change raised while paused waits here, still raised, for the first
  // unpaused frame.
  if (sim_paused != 0) return;
  path_pass_ran = false;
  if (route_intake()) direct_to_path_build();
  // Sequencing, and the answer to the scripts' change flag at its place there.
  route_sequencing_pass();
}
