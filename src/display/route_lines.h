// Navigation display route pass: the active route's legs, turns and arcs
// drawn on one display, and that display's waypoint symbol slots.
#pragma once

#include <cstdint>

struct NdColours;

// Route of one side (0 captain, 1 first officer): projects the computed path
// onto the map, draws it and fills the side's waypoint slots from 0, handing
// each symbol slot to the label writer. Returns the next free slot (0..20),
// where the later map steps of the same pass continue.
int32_t draw_nd_route(int32_t side, const NdColours& colours);
