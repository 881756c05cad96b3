// Map drawing primitives of the navigation displays: where each display's map
// area sits in the 3D panel texture, the aircraft symbol's place in it, and
// the small line operations the map pass is built from (clipped and stippled
// straight lines, polar lines, solid and dashed arcs, the runway symbol).
//
// Map-local points are map units (one unit = the width of a display's map
// area), x right and y up, relative to the aircraft symbol. Bearings are
// degrees clockwise from the map's up direction. Everything here draws with
// OpenGL 1.1 immediate mode into the projection the draw callback set up
// (0..1 on both axes = the whole panel texture), with the caller's colour and
// line width. Called only inside the draw callback, on the host's main thread.
// Reads the host's magnetic variation for the runway symbol.
#pragma once

#include <cstdint>

// Whether a position has been given: the route tables hold 0, 0 for none.
inline bool is_set(double lat, double lon) { return !(lat == 0.0 && lon == 0.0); }

// Where a navigation display's map area sits in the 3D panel texture, as
// fractions of it. The clip height is a little smaller than the width: the
// top rows of the map area belong to the display's own header.
struct NdViewport {
  double x0;
  double y0;
  double width;
  double y_scale;
  double height;  // clip height
};
enum : int { nd_captain = 0, nd_first_officer = 1 };
extern NdViewport nd_viewport[2];
// Start-up: both displays' places in the 2048 x 2048 panel texture.
void set_nd_viewports();

// The aircraft symbol's position in the map area, map units from its lower
// left corner. The map pass moves y per side and display mode; every
// operation that takes map-local points adds it before scaling.
struct NdSymbolOrigin {
  double x;
  double y;
};
extern NdSymbolOrigin nd_symbol_origin;

// Map-local end (without the symbol origin) of the last line or arc point a
// primitive computed, so the pass can continue a path where it ended.
struct MapPen {
  double x;
  double y;
};
extern MapPen map_pen;

// Side 0 is the captain's display, any other value the first officer's.
double map_scale_x(double v, int32_t side);
double map_scale_y(double v, int32_t side);
// 1 when a texture point lies in the side's map area (edges inside), else 0.
int32_t map_point_visible(double x, double y, int32_t side);
// Two vertices into the caller's open GL_LINES batch; the points are already
// relative to the map area's corner (symbol origin included). No visibility
// test, no glBegin/glEnd.
void map_vertex_pair(float x1, float y1, float x2, float y2, int32_t side);
// The same pair cut to the side's map area (Cohen-Sutherland, edges inside):
// nothing is emitted when the line lies wholly outside or is not a number.
// Returns 1 when the two vertices were emitted.
int32_t map_vertex_pair_clipped(float x1, float y1, float x2, float y2, int32_t side);
// One straight line, clipped to the side's map area, in its own batch.
// Stipple 1, 2, 20, 21 select a dash pattern; any other value is solid.
// Returns 1 when something was drawn, 0 when the line lies wholly outside
// (or is not a number); map_pen holds (x2, y2) either way.
int32_t map_line_clipped(double x1, double y1, double x2, double y2, int32_t stipple, int32_t side);
// A line from (x, y) along `bearing` for `length` map units.
int32_t map_polar_line(double x, double y, double bearing, double length, int32_t stipple, int32_t side);
// An arc about (cx, cy) from bearing a to bearing b. direction 0 or 2 runs
// counter-clockwise, any other value clockwise. dash: 0 or below solid, 1 and
// 2 evenly dashed, 11..13 the arc in 1..3 pieces, other positive values
// one-degree dashes. Steps that leave the map area are left out whole.
void draw_map_arc(double cx, double cy, double radius, double a, double b, float direction, int32_t dash,
                  int32_t side);
// Runway outline and dashed centre lines from its threshold: course in
// degrees magnetic (made true with the host's variation at the threshold),
// length in metres, drawn at least 0.04 map units long. Returns the last
// line's result.
int32_t draw_runway_symbol(double ref_lat, double ref_lon, double scale, float up_heading, int32_t side,
                           double rwy_lat, double rwy_lon, double course, float length_m);
