// Route-pass stages that follow the route decode in the same frame, and the
// lateral-navigation services the decode calls: the holding and
// procedure-turn geometry per leg (lnav/route/hold_geometry.h), the direct-to and
// path build, the path and sequencing pass with its route tracking state and
// hold latch, the valid-leg walk and the leg path reset.
#pragma once

#include <cstdint>

// The holding and procedure-turn layout per leg lives in lnav/route/hold_geometry.h.
#include "lnav/route/hold_geometry.h"

// Direct-to take-over and path build from path_start_leg; called on unpaused
// frames with a route (legs_num > 0) and does nothing while the active leg
// vnav_idx is 1 or less. Takes a direct-to request (intdir_act 1 raised with
// "legs_change") in the same frame and answers intdir_act 2, or 0 on the
// ground. Debug logs under fms_debug_selector 99999, 8888, 5555, 3333; the
// one-shot values 2222, 9999 and 3333 are lowered here.
void direct_to_path_build();
// Leg p, a climb ended before its own end, ends where the aircraft is: its
// transition laid again from there, tangent to the present track, the way
// round leg p's turn goes. A track to a fix after it starts where that turn
// first points at the fix (leg p's end moved there); another leg is joined
// with one arc, or the turn's radius past it and back. False, with nothing
// changed, where p has no turn or the next leg cannot be reached that way in
// less than max_turn degrees.
bool end_turn_from_aircraft(int32_t p, float max_turn);
// The rest of the route pass, every unpaused frame: sequencing and route
// tracking after a path build, the direct-to state without a route, the
// lowering of "legs_change", the profile markers, the second and third
// routes, the modified route's turn and the abeam points
// (lnav/route/route_sets.h). Lowers the selector 5555 after the path dumps and
// 7777 after the last marker line.
void route_sequencing_pass();

// Calls visit(leg, prev, next) for every bypassed leg from `from` (0 when
// negative) to the last computed leg; a run of bypassed legs shares the
// valid legs around it (prev_valid_leg / next_valid_leg of its first leg).
void for_each_bypassed_leg(int32_t from, void (*visit)(int32_t leg, int32_t prev, int32_t next));

// True in a frame whose direct_to_path_build built the path (route present
// and vnav_idx > 1); cleared by the route pass at the start of each frame.
extern bool path_pass_ran;

// What route tracking last measured, for the next route taken in: the active
// leg it measured (0 after a frame without a path build), and whether the
// route has ended since the last hand-over. The route pass keeps both. The
// path build keeps the first leg whose transition it has built (or measured)
// for the route now flown: the straights of the legs before it belong to
// another route or to none.
struct RouteTakeIn {
  float measured_leg;
  bool ended;
  int32_t first_built_leg;
};
extern RouteTakeIn route_take_in;

// The valid-leg walk and the leg path reset live with the path builder.
#include "lnav/path/leg_path.h"

// Route tracking state and the hold-turn latch live with the route tracking.
#include "lnav/route/route_tracking.h"

// Legs the scripts hand back for insertion: a count and the leg indices.
struct FmsAddLegHandback {
  float count;
  float leg_index[128];
};
extern FmsAddLegHandback fms_add_leg_handback;
