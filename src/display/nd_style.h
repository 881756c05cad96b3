// What every pass of the navigation display map draws with: the map mode
// codes, the colours of each side, the map scale of a display range and the
// side's power. The
// draw pass builds the colours once per pass (nd_build_colours,
// display/nd_draw.h) and hands them to the route, hold, FIX and
// trend-vector passes.
#pragma once

#include <cstdint>

// The EFIS control panel's map mode selector, as the scripts publish it in
// "EFIS_control/<side>/map_mode_pos" (a float holding one of these numbers):
// approach and VOR draw the compass rose around the aircraft (expanded or
// centred), map the route ahead of the aircraft, plan the route north up
// around the selected waypoint. The order matters: modes below map are the
// two rose modes.
enum class NdMapMode : int32_t { app = 0, vor = 1, map = 2, plan = 3 };
// The selector's value of a mode, to compare with the float it is read as.
constexpr float nd_mode(NdMapMode m) { return static_cast<float>(m); }

// RGBA per side (0 captain, 1 first officer); alpha is the side's display
// brightness. Rebuilt on every pass.
struct NdColours {
  float white[2][4];
  float cyan[2][4];
  float magenta[2][4];
  float green[2][4];
};

// Map units per nautical mile for a display range index: 0.136 / 2^index for
// 0..6; anything else (7, out of range, not a number) as index 7.
double nd_range_scale(float range_index);
// The range index as 0..7, with every value outside 0..6 as 7.
int32_t nd_range_index(float range_index);
// Whether a side's map is drawn by power: it follows the side's own display,
// the captain's on the standby DC bus, the first officer's on DC bus 2.
bool nd_side_powered(int32_t side);
