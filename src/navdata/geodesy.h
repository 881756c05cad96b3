// Spherical-earth operations: bearing, distance, destination, course
// crossings, track and arc errors, map projection, turn-direction angles,
// and the circle constructions of turn entries and exits.
//
// Units: latitude/longitude in degrees (north and east positive, doubles),
// courses and radials in degrees true clockwise from north, distances and radii
// in nautical miles, speeds in knots. The earth is a sphere of 3440.064795 nm.
// Several operations leave their result in a shared record (`nav_result`,
// `map_point`, `two_point_result`) that the caller reads right after the call;
// an operation writes only the fields named for it.
//
// None of these fails: degenerate input gives the defined fall-back values
// ((0, 0), 0, or an untouched out-parameter), never NaN for finite input.
#pragma once

#include <cstdint>

// Result record of the geodesy operations. Field order is fixed; the two
// spares are kept zeroed by the error operations.
struct NavResult {
  double lat;          // degrees, a computed point
  double lon;          // degrees
  float cross_track;   // nm, positive when the aircraft is right of the path
  float along_track;   // nm, along a path or an arc
  double spare1;
  double spare2;
  float course;        // degrees, belongs to the error just computed
};
extern NavResult nav_result;

// Map position of the last map_project: nm times the caller's scale; x to the
// right of the map's up direction, y along it.
struct MapPoint {
  double x;
  double y;
};
extern MapPoint map_point;

// The two points of the last circle construction (degrees), all zero when the
// construction failed.
struct TwoPointResult {
  float lat1;
  float lon1;
  float lat2;
  float lon2;
};
extern TwoPointResult two_point_result;

// ---- bearing, distance, destination ----------------------------------------------------------

// Initial great-circle bearing from point 1 to point 2, [0, 360).
float gc_bearing(double lat1, double lon1, double lat2, double lon2);
// Great-circle distance (haversine), nm, never negative.
float gc_distance_nm(double lat1, double lon1, double lat2, double lon2);
// The same bearing and distance for many points seen from one origin: the
// origin's own terms are worked out once, and the results are those of
// gc_bearing and gc_distance_nm to the bit.
struct GcOrigin {
  double lat, lon;
  double lambda, sin_phi, cos_phi;  // of the origin, as the formulas round them
};
GcOrigin gc_origin(double lat, double lon);
float gc_bearing_from(const GcOrigin& o, double lat2, double lon2);
float gc_distance_nm_from(const GcOrigin& o, double lat2, double lon2);
// Destination at `distance_nm` on initial `course`: nav_result lat/lon. The
// longitude is not folded back into [-180, 180]; a negative distance goes the
// reciprocal way.
void gc_destination(double lat, double lon, double course, double distance_nm);
// Course of the great circle through a point at `lat` on `course` there, `distance_nm`
// further along it (negative: behind the point), [0, 360).
float gc_course_at(double lat, float course, double distance_nm);
// Crossing of the great circles through point 1 on course1 and point 2 on
// course2, ahead of both points: nav_result lat/lon, (0, 0) when there is none
// (points on one meridian, coincident circles, crossing behind a point).
void gc_intersection(double lat1, double lon1, double course1, double lat2, double lon2, double course2);

// ---- errors against a path -------------------------------------------------------------------

// Point 1 (the aircraft) against the great circle through point 2 that has
// `course` at point 2, exact on the sphere: along_track (how far point 2 lies
// ahead of point 1's abeam point along the circle, negative behind),
// cross_track (positive when point 1 lies right of the circle in its
// direction) and course (the bearing from point 2 to point 1).
void track_errors(double lat1, double lon1, double lat2, double lon2, float course);
// Point 0 (the aircraft) against the great-circle leg A to B: along_track is
// the distance to go to B along the leg, cross_track positive right of it.
void track_errors_leg(double lat0, double lon0, double lat_a, double lon_a, double lat_b, double lon_b);
// Point 0 against the great circle that has `course` where it passes S (a
// leg measured by the course it starts with), as far as E: cross_track as
// track_errors, along_track the distance from point 0's abeam point on to
// E's, negative once E's is passed.
void track_errors_from(double lat0, double lon0, double s_lat, double s_lon, float course, double e_lat,
                       double e_lon);
// Track along a circle about a centre, flown in direction `turn`, at a
// position on (or off) it: square to the great circle from the position to
// the centre.
float arc_tangent_course(double ctr_lat, double ctr_lon, double lat, double lon, int turn);
// Position against an arc about a centre flown in direction `turn`:
// cross_track positive right of the arc's path, course the tangent track at the
// position's radial, along_track the arc still to fly to `ref_radial`.
void arc_errors(double lat, double lon, double ctr_lat, double ctr_lon, float radius_nm, float ref_radial,
                int turn);

// ---- map and course offsets ------------------------------------------------------------------

// Point relative to a reference, rotated to the map's up heading: map_point.
void map_project(double ref_lat, double ref_lon, double lat, double lon, float up_heading, double scale);
// Point relative to the course line through a reference: across (positive
// right of the course) and along, nm. Left untouched when undefined.
void course_offsets(double ref_lat, double ref_lon, double lat, double lon, float course, float& across,
                    float& along);

// ---- turn-direction angles -------------------------------------------------------------------

// Signed angle to turn from course a to course b in direction `turn`:
// [0, 360) turning right, (-360, 0] turning left.
float course_diff_dir(float a, float b, int turn);
// The same with the direction as a float (0.0 and 2.0 are left).
float course_diff_dir_f(float a, float b, float turn);
// Whether b lies on the `turn` side of a (exactly ahead or behind: false).
bool on_turn_side(float a, float b, int turn);
// Whether a position lies within the sector of an arc that ends at `end`:
// within 90 degrees of the end radial seen from the centre and of the centre
// seen from the end, each shifted 10 degrees against the turn.
bool in_arc_sector(double lat, double lon, double ctr_lat, double ctr_lon, double end_lat, double end_lon,
                   int turn);
// Whether P3 lies ahead of the line through P2 square to the course P1 to P2.
// `side` (2.0 or other) and `mode` decide only a bearing exactly 90 off.
bool beyond_abeam(float lat1, float lon1, float lat2, float lon2, float lat3, float lon3, float side, int mode);

// ---- small helpers ---------------------------------------------------------------------------

// |radius| x angle in radians (the angle keeps its sign). The path code passes
// the radius in the angle place and the turn angle in the radius place, which
// yields the unsigned length of the turn.
float arc_length(float angle_deg, float radius_nm);
// Turn radius at a bank and speed: V^2 / (tan(bank) x 68620); a bank of 0 is
// taken as 0.1 degree and a speed of 0 as 145 kt.
float turn_radius_nm(float bank_deg, float speed_kt);
float deg_to_rad(float deg_value);
float rad_to_deg(float rad_value);
float abs_f(float x);
double abs_fd(float x);

// ---- circle constructions (a flat local projection about the centre, the tangents on the sphere)

// Crossing of the course lines through the two points, each course also tried
// reversed; the crossing nearest to point 1 goes to nav_result lat/lon and its
// distance from point 1 is returned. With no crossing at all: (0, 0) and the
// distance from point 1 to (0, 0).
float course_line_intersection(double lat1, double lon1, float course1, double lat2, double lon2, float course2);
// Points where the infinite line through points 1 and 2 meets the circle:
// two_point_result; 0 (miss or coincident points), 1 (touching, both slots the
// same point) or 2 (slot 1 on the side of the larger line parameter).
int32_t circle_line_intersection(double ctr_lat, double ctr_lon, double radius_nm, double lat1, double lon1,
                                 double lat2, double lon2);
// Tangent points on the circle seen from an outside point, exact on the
// sphere (the great circle from each to the point is square to its radius):
// two_point_result, slot 1 clockwise of the point's direction from the
// centre, slot 2 counter-clockwise; 0 when the point is on or inside the
// circle.
int32_t circle_tangent_points(double ctr_lat, double ctr_lon, double radius_nm, double lat, double lon);
