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

// Map frame of one side for the current pass: reference point, map up
// heading (degrees true) and scale (map units per nm). False when the
// display's mode shows no route. Sets nd_symbol_origin.y for the mode.
struct NdMapFrame {
  double ref_lat;
  double ref_lon;
  float up_heading;
  double scale;
  float slot_y_offset;  // added to a waypoint slot's y
};
bool nd_map_frame(int32_t side, NdMapFrame& frame);
