// FIX page overlay of the navigation displays: the scripts' reference fixes
// with their distance circles, radial lines and abeam lines. The main loop
// places the circles' distance labels (update_nd_fix_overlay, one of the
// display steps); the map pass draws the lines.
#pragma once

#include <cstdint>

struct NdColours;

// Main loop: the circles' label positions per side and the shared label
// texts.
void update_nd_fix_overlay();

// The FIX pass of the map drawing, after the route and hold passes: green
// circles (only while the circles are enabled), radials and abeam lines.
void draw_nd_fix_pass(const NdColours& colours);

// A circle's distance label: one decimal below 10 nm, whole numbers below
// 1000 nm, "999" beyond; cut to the 6-byte field (no terminator when full).
void fix_distance_text(float radius_nm, char (&out)[6]);
