// Navigation display draw pass: the host's draw callback and the map pass
// that draws both displays' map lines (track line, range marks, route) into
// the 3D panel texture, with the display colours and map scale it shares
// with the route drawing.
#pragma once

#include <cstdint>

#include "platform/xplm.h"

// Registered at the gauges phase, before the host's gauges. Draws only while
// the main loop has completed a frame since the last model change, in the
// gauges phase, while the host renders the 3D panel. Always returns 1.
int nd_draw_callback(XPLMDrawingPhase phase, int is_before, void* refcon);
// The map pass, inside the callback's 0..1 panel-texture projection.
void draw_nd_maps();

// RGBA per side (0 captain, 1 first officer); alpha is the side's display
// brightness. Rebuilt on every pass.
struct NdColours {
  float white[2][4];
  float cyan[2][4];
  float magenta[2][4];
  float green[2][4];
};
// Defaults, brightness alphas and the scripts' colour overrides.
NdColours nd_build_colours();

// Map units per nautical mile for a display range index: 0.136 / 2^index for
// 0..6; anything else (7, out of range, not a number) as index 7.
double nd_range_scale(float range_index);
// The range index as 0..7, with every value outside 0..6 as 7.
int32_t nd_range_index(float range_index);

// Track line and range reference marks of one side (the first drawing step).
void draw_nd_track_and_marks(int32_t side, const NdColours& colours);
