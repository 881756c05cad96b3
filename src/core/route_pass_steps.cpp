// Placeholders of the route-pass stages and lateral-navigation services that
// arrive with later work (see docs/status.md). Each keeps its final signature.
#include "core/route_pass_steps.h"

FmsAddLegHandback fms_add_leg_handback;
RouteTrackState route_track;
uint8_t hold_region_flag;

void direct_to_path_build() {}
void route_sequencing_pass() {}

