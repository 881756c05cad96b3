// Placeholders of the route-pass stages and lateral-navigation services that
// arrive with later work (see docs/status.md). Each keeps its final signature.
#include "core/route_pass_steps.h"

FmsAddLegHandback fms_add_leg_handback;

void compute_hold_pattern(int32_t) {}
void clear_hold_pattern(int32_t) {}
void compute_proc_turn(int32_t) {}
void clear_proc_turn(int32_t) {}
void direct_to_path_build() {}
void route_sequencing_pass() {}

// Without the bypass and direct-to marks yet, the valid leg before i is i - 1.
int32_t prev_valid_leg(int32_t leg) { return leg < 1 ? 0 : leg - 1; }
void reset_leg_path(int32_t, int32_t) {}
