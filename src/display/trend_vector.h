// Trend vector and VOR bearing lines of the navigation displays: the last
// pass of each map drawing, in MAP mode only.
#pragma once

#include <cstdint>

struct NdColours;

// What the track-line step of the same draw leaves for this pass, per side
// (0 captain, 1 first officer): the map scale (map units per nm) and the
// trend vector's 30-second pieces (1 at range index 0 and 1, 2 at 2, 3
// beyond). Both 0 for a side whose track-line step did not run.
struct NdTrackPassValues {
  double scale[2];
  int32_t segments[2];
};
extern NdTrackPassValues nd_track_pass;

// Pieces of the trend vector for a display range value.
int32_t trend_segment_count(float range_index);

// The trend vector (the predicted path over the next 30, 60 or 90 s, straight
// or along the present turn) and the lines towards the selected VOR
// stations. Drawn only while the terrain-radar link's version is above
// 102300.
void draw_nd_trend_and_vor(const NdColours& colours);
