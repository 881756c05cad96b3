// Route tracking: where the aircraft is against the flown path of the
// sequencing leg. Kept once per unpaused frame and handed to the scripts
// through their rt_* datarefs; the sequencer, the hold layout, the steering
// and the main loop read the record directly in the frames that follow.
#pragma once

#include <cstdint>

// Where the aircraft is on the sequencing leg's path, kept by the route
// tracking each frame and read by the sequencer and the hold layout the next.
struct RouteTrackState {
  float abeam_dist;      // nm along the path to the sequencing waypoint
  float xtrack;          // nm, positive right of the path
  float abeam_dist_bp;   // abeam_dist less the path between active and sequencing waypoint, >= 0
  int32_t region;        // path piece code; 300..316 in a hold, 50..58 in a procedure turn, 20 vector, 0 none
  float abeam_dist_seg;  // nm to the end of the piece
  int32_t sub_region;    // pieces of the transition, 0..3
};
extern RouteTrackState route_track;

// Set while a hold is flown (nav_mode 3) once the tracking has reached the
// turn at the fix (region 301) after the hold sequencing; cleared whenever
// the nav mode is not 3. While set, the active hold's entry reads 0.
extern uint8_t hold_region_flag;

// Recomputes route_track for the sequencing leg from the present position and
// publishes rt_xtrack, rt_abeam_dist, rt_abeam_dist_bp, rt_region and
// rt_abeam_dist_seg (in that order).
void update_route_tracking();
