// Navigation display holds: the racetracks (and their entries) of hold legs
// on the active route, and the pass over a pending route modification: the
// scripts' second (captain) or third (first officer) route, the pending hold
// fixes and the abeam points, continuing each side's waypoint slots.
#pragma once

#include <cstdint>

#include "display/nd_map_frame.h"

struct NdColours;

// Hold leg i (path type "H..", 1..255) of the active route, inside the route
// pass, in the pass's colour and dash style: the entry when due, then the
// racetrack. Nothing at range index 5 and beyond. The entry is due from the
// hold layout's near flag (hold_pattern.hold_near: the fix is close enough
// for the entry to be flown) and is withheld on the active hold while the
// route pass's hold_region_flag says the aircraft is established in it.
void draw_nd_hold_leg(const NdDrawPass& p, int32_t i);

// Whether a side (0 captain, 1 first officer) shows the pending modification
// in this pass.
bool nd_mod_route_shown(int32_t side);

// The modified-route pass, after the route pass of both sides. slots holds
// each side's next free waypoint slot (0..20) and is advanced here.
void draw_nd_mod_route(int32_t (&slots)[2], const NdColours& colours);
