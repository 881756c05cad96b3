// Navigation display draw pass: the host's draw callback and the map pass
// that draws both displays' map lines (track line, range marks, route) into
// the 3D panel texture. The colours and map scale it shares with the
// other passes are in display/nd_style.h.
#pragma once

#include <cstdint>

#include "display/nd_style.h"
#include "platform/xplm.h"

// Registered at the gauges phase, before the host's gauges. Draws only while
// the main loop has completed a frame since the last model change, in the
// gauges phase, while the host renders the 3D panel. Always returns 1.
int nd_draw_callback(XPLMDrawingPhase phase, int is_before, void* refcon);
// The map pass, inside the callback's 0..1 panel-texture projection.
void draw_nd_maps();

// The colours of this pass (display/nd_style.h): defaults, brightness
// alphas and the scripts' colour overrides.
NdColours nd_build_colours();

// Track line and range reference marks of one side (the first drawing step).
void draw_nd_track_and_marks(int32_t side, const NdColours& colours);
