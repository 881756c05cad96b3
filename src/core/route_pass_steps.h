// Route-pass stages that follow the route decode in the same frame, and the
// lateral-navigation services the decode calls: the holding and
// procedure-turn geometry per leg (core/hold_geometry.h), the direct-to and
// path build, the path and sequencing pass with its route tracking state and
// hold latch, the valid-leg walk and the leg path reset.
#pragma once

#include <cstdint>

// The holding and procedure-turn layout per leg lives in core/hold_geometry.h.
#include "core/hold_geometry.h"

// Direct-to take-over and path build from path_start_leg (route present).
void direct_to_path_build();
// Sequencing, route tracking, second and third routes, profile markers.
void route_sequencing_pass();

// The valid-leg walk and the leg path reset live with the path builder.
#include "lnav/leg_path.h"

// Where the aircraft is on the sequencing leg's path, kept by the route
// tracking each frame and read by the sequencer and the hold layout the next.
struct RouteTrackState {
  float abeam_dist;      // nm along the path to the sequencing waypoint
  float xtrack;          // nm, positive right of the path
  float abeam_dist_bp;   // abeam_dist less the path between active and sequencing waypoint, >= 0
  int32_t region;        // path piece code; 300..316 in a hold, 50..58 in a procedure turn, 0 none
  float abeam_dist_seg;  // nm to the end of the piece
  int32_t sub_region;    // pieces of the transition, 0..3
};
extern RouteTrackState route_track;

// Set while a hold is flown (nav_mode 3) once the tracking has reached the
// turn at the fix (region 301) after the hold sequencing; cleared whenever
// the nav mode is not 3. While set, the active hold's entry reads 0.
extern uint8_t hold_region_flag;

// Legs the scripts hand back for insertion: a count and the leg indices.
struct FmsAddLegHandback {
  float count;
  float leg_index[128];
};
extern FmsAddLegHandback fms_add_leg_handback;
