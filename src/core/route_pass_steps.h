// Route-pass stages that follow the route decode in the same frame, and the
// lateral-navigation services the decode calls: the holding and
// procedure-turn geometry per leg, the direct-to and path build, the path
// and sequencing pass, the valid-leg walk and the leg path reset.
#pragma once

#include <cstdint>

// Holding pattern of a leg whose type begins with "H", at or after the
// active leg; clear_hold_pattern empties the leg's holding fields.
void compute_hold_pattern(int32_t leg);
void clear_hold_pattern(int32_t leg);
// Procedure turn ("PI") of a leg at or after the active leg;
// clear_proc_turn empties the leg's procedure-turn fields and near flag.
void compute_proc_turn(int32_t leg);
void clear_proc_turn(int32_t leg);

// Direct-to take-over and path build from path_start_leg (route present).
void direct_to_path_build();
// Sequencing, route tracking, second and third routes, profile markers.
void route_sequencing_pass();

// Index of the valid leg before leg i (0 when i < 1, -1 when none).
int32_t prev_valid_leg(int32_t leg);
// Clears one leg's computed path (flag 0) or the direct-to path (flag 1).
void reset_leg_path(int32_t leg, int32_t flag);

// Legs the scripts hand back for insertion: a count and the leg indices.
struct FmsAddLegHandback {
  float count;
  float leg_index[128];
};
extern FmsAddLegHandback fms_add_leg_handback;
