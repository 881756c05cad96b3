// Path position: where a point (as a rule the aircraft) lies on the flown
// path into a waypoint, as a region code plus distances. Route legs and the
// direct-to path (path_position_dir), arc legs (path_position_arc, both
// declared with the path builder in lnav/path/leg_path.h), holds and procedure
// turns. The region codes are read by the route tracking and the sequencer.
//
// Results: the region code (0 none); nav_result.cross_track (nm, positive
// right of the path) and nav_result.along_track (nm along the path to the
// waypoint or to the hold / procedure-turn fix); path_seg_dist (nm to the end
// of the piece the point is on) and, for route legs only, path_sub_region.
#pragma once

#include <cstdint>

#include "lnav/path/leg_path.h"
#include "lnav/route/route_state.h"
#include "navdata/geodesy.h"
#include "navdata/nav_math.h"

// Where a point lies on the path into a waypoint: the region codes the path
// position calls return, route tracking keeps in route_track.region and
// publishes as "fms/rt_region", and the sequencing and the steering read.
// A route leg's transition is one arc (first arc, then a straight to the
// waypoint), two arcs, or two arcs with a straight between them; the
// waypoint's own turn is the fly-by turn onto the next leg. Holds use codes
// 300..316 and 330..333, procedure turns 50..58 (path_position_hold.cpp).
enum LegRegion : int32_t {
  kRegionNone = 0,
  // Route legs and the direct-to path (path_position_dir).
  kRegionFirstArc = 1,                // the first arc past the waypoint's radial
  kRegionBetweenArcs = 2,             // the straight between the two arcs
  kRegionSecondArc = 3,               // the second arc
  kRegionStraightAfterSecondArcToTurn = 4,  // after three pieces, to the start of the waypoint's turn
  kRegionOwnTurn = 5,                 // the waypoint's own turn, up to its radial
  kRegionFlyByTurn = 6,               // the first arc before the waypoint's radial
  kRegionFirstArcToWaypoint = 7,      // after the first arc, straight to the waypoint
  kRegionStraightToWaypoint = 8,      // no transition: straight to the waypoint
  kRegionFirstArcToTurn = 9,          // after the first arc, to the start of the waypoint's turn
  kRegionStraightToTurn = 10,         // no transition: to the start of the waypoint's turn
  kRegionSecondArcToWaypoint = 11,    // after the second arc, straight to the waypoint
  kRegionSecondArcToTurn = 12,        // after two arcs, to the start of the waypoint's turn
  kRegionBeforeFirstArc = 13,         // not yet at the first arc
  kRegionAbeamFirstArc = 14,          // a waypoint abeam the first arc, projected onto it
  // A "(VECTOR)" leg (route tracking).
  kRegionVector = 20,
  // Arc legs (path_position_arc).
  kRegionArcThenTurn = 100,           // on the arc, a fly-by turn off its end follows
  kRegionTurnOntoArc = 101,           // the fly-by turn onto the arc
  kRegionTurnOffArc = 102,            // the turn off the arc, up to the waypoint's radial
  kRegionBeforeTurnOntoArc = 103,     // before the fly-by turn onto the arc
  kRegionBeforeArc = 104,             // before an arc joined without a turn
  kRegionArc = 105,                   // on the arc, no turn off its end
};

// nm to the end of the piece found by the last path position call.
extern float path_seg_dist;
// Pieces of the transition seen by the last path_position_dir (0..3).
extern float path_sub_region;

// The hold entry pieces stored with the transition leg before a hold
// (legs_seg3_pt_lat/lon, legs_entry_rad, legs_entry_arc_len) are declared
// with the leg path (lnav/path/leg_path.h), which names them for the builder.

// Hold leg `leg`, transition leg `prev` (-1: none); mode 0 tests the inbound
// course against the heading. Codes 300..316 and 330..333; which pieces are
// tried depends on the hold phase.
int32_t path_position_hold(int32_t leg, int32_t prev, double lat, double lon, int32_t mode);
// Procedure-turn leg `leg`: codes 50..58.
int32_t path_position_pi(int32_t leg, int32_t prev, double lat, double lon);

// Shared by the path position modules.
namespace pathpos {
// Whether bearing b lies within 90 degrees (inclusive) of course c.
bool faces(float b, float c);
// 0 and 2 are left turns.
inline bool is_left(float turn) { return navmath::is_left_turn_f(turn); }
// The answer of a position search: its code, with the piece's remaining
// distance s and the along-track distance along kept as its results.
inline int32_t found(int32_t code, float s, float along) {
  path_seg_dist = s;
  nav_result.along_track = along;
  return code;
}
// Arc tests about a centre: the point is past the radial `start` in the turn
// direction / not yet past `end`.
bool passed_start(double ctr_lat, double ctr_lon, float start, float turn, double lat, double lon);
bool before_end(double ctr_lat, double ctr_lon, float end, float turn, double lat, double lon);
bool within_sweep(double ctr_lat, double ctr_lon, float start, float end, float turn, double lat, double lon);
// True heading of the aircraft: magnetic heading less the variation.
float true_heading();
// Line measure to q on course c; returns the along-track distance.
float line_measure(double lat, double lon, double q_lat, double q_lon, float c);
// Arc measure about a centre; returns the arc still to fly to `end`.
float arc_measure(double lat, double lon, double ctr_lat, double ctr_lon, float radius, float end, float turn);
}  // namespace pathpos
