// The frame of one side's map pass and the drawing context the route pass
// and the hold and modified-route passes share: where the map is centred,
// its up direction and scale, and positions, lines and arcs projected into
// it in the pass's dash style.
#pragma once

#include <cmath>
#include <cstdint>

#include "display/map_primitives.h"
#include "navdata/geodesy.h"

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
inline NdXy nd_project(const NdDrawPass& p, double lat, double lon) {
  map_project(p.frame.ref_lat, p.frame.ref_lon, lat, lon, p.frame.up_heading, p.frame.scale);
  return {map_point.x, map_point.y};
}
// A bearing (degrees true) made relative to the map's up direction.
inline float nd_map_bearing(const NdDrawPass& p, double brg) {
  return static_cast<float>(std::fmod(brg - static_cast<double>(p.frame.up_heading) + 360.0, 360.0));
}
// Line between two positions, clipped, in the pass's stipple.
inline void nd_line_ll(const NdDrawPass& p, double lat1, double lon1, double lat2, double lon2) {
  const NdXy a = nd_project(p, lat1, lon1);
  const NdXy b = nd_project(p, lat2, lon2);
  map_line_clipped(a.x, a.y, b.x, b.y, p.stipple, p.side);
}
// Arc about a centre (degrees), radius nm, bearings degrees true; direction
// 0 or 2 counter-clockwise, else clockwise; in the pass's dash style.
inline void nd_arc_ll(const NdDrawPass& p, double ctr_lat, double ctr_lon, double radius_nm, double from_brg,
                      double to_brg, float direction) {
  const NdXy c = nd_project(p, ctr_lat, ctr_lon);
  draw_map_arc(c.x, c.y, radius_nm * p.frame.scale, nd_map_bearing(p, from_brg), nd_map_bearing(p, to_brg),
               direction, p.dash, p.side);
}
