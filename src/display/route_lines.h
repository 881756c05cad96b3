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

// Drawing context of one side's map pass, shared by the route, hold and
// modified-route drawing.
struct NdDrawPass {
  int32_t side;
  NdMapFrame frame;
  int32_t dash;     // arcs: 0 solid, 1 dashed
  int32_t stipple;  // lines: 0 solid, 1 dashed
};
struct NdXy {
  double x;
  double y;
};
// A position projected into the pass's map frame (map-local units).
NdXy nd_project(const NdDrawPass& p, double lat, double lon);
// A bearing (degrees true) made relative to the map's up direction.
float nd_map_bearing(const NdDrawPass& p, double brg_true);
// Line between two positions, clipped, in the pass's stipple.
void nd_line_ll(const NdDrawPass& p, double lat1, double lon1, double lat2, double lon2);
// Arc about a centre (degrees), radius nm, bearings degrees true; direction
// 0 or 2 counter-clockwise, else clockwise; in the pass's dash style.
void nd_arc_ll(const NdDrawPass& p, double ctr_lat, double ctr_lon, double radius_nm, double from_brg, double to_brg,
               float direction);
