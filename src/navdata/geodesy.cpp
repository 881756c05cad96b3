// Spherical-earth operations and the shared result records they write.
// No host calls; pure functions apart from the three result records.
#include "navdata/geodesy.h"

#include <bit>
#include <cmath>
#include <cstdint>

#include "core/units.h"
#include "navdata/nav_math.h"

using navmath::deg;
using navmath::f32;
using navmath::kEarthRadiusNm;
using navmath::mod360;
using navmath::rad;
using navmath::wrap180;
using navmath::wrap360;

NavResult nav_result;
MapPoint map_point;
TwoPointResult two_point_result;

namespace {

// Arguments of asin/acos drift a hair past +-1 near the poles and for nearly
// coincident points; clamping keeps the result a number.
double clamp_unit(double x) {
  if (!(x >= -1.0)) return -1.0;  // also catches NaN
  if (x > 1.0) return 1.0;
  return x;
}

// d sin(a) and d cos(a) in single precision, from the angle folded into one
// quadrant. Returns false (and leaves x, y alone) when a is not a number.
bool quadrant_offsets(float d, float a, float& x, float& y) {
  if (a >= 0.0f && a <= 90.0f) {
    const float t = static_cast<float>(rad(90.0f - a));
    x = d * std::cos(t);
    y = d * std::sin(t);
  } else if (a >= -90.0f && a < 0.0f) {
    const float t = static_cast<float>(rad(a + 90.0f));
    x = -d * std::cos(t);
    y = d * std::sin(t);
  } else if (a >= 90.0f) {
    const float t = static_cast<float>(rad(a - 90.0f));
    x = d * std::cos(t);
    y = -d * std::sin(t);
  } else if (a <= -90.0f) {
    const float t = static_cast<float>(rad(-90.0f - a));
    x = -d * std::cos(t);
    y = -d * std::sin(t);
  } else {
    return false;
  }
  return true;
}

// The path rebuild and the map ask for the same few hundred bearings,
// distances and destinations between fixed points frame after frame. Each
// operation is a pure function of its four arguments, so a small table keyed
// on their bits hands back the number worked out before.
struct Args4 {
  uint64_t a, b, c, d;
  bool operator==(const Args4&) const = default;
};

Args4 args_of(double a, double b, double c, double d) {
  return {std::bit_cast<uint64_t>(a), std::bit_cast<uint64_t>(b), std::bit_cast<uint64_t>(c),
          std::bit_cast<uint64_t>(d)};
}

constexpr int kMemoBits = 9;

uint32_t slot_of(const Args4& k) {
  const uint64_t h = (k.a * 0x9E3779B97F4A7C15ull) ^ (k.b * 0xC2B2AE3D27D4EB4Full) ^
                     (k.c * 0x165667B19E3779F9ull) ^ (k.d * 0xD6E8FEB86659FD93ull);
  return static_cast<uint32_t>((h ^ (h >> 29)) >> (64 - kMemoBits));
}

template <typename Value>
struct Memo {
  struct Entry {
    bool used;
    Args4 key;
    Value value;
  };
  Entry entries[1 << kMemoBits];

  const Value* find(const Args4& k, uint32_t slot) const {
    const Entry& e = entries[slot];
    return e.used && e.key == k ? &e.value : nullptr;
  }
  void keep(const Args4& k, uint32_t slot, const Value& v) { entries[slot] = Entry{true, k, v}; }
};

struct LatLon {
  double lat, lon;
};

Memo<float> bearing_memo;
Memo<float> distance_memo;
Memo<LatLon> destination_memo;

// Bearing from an origin given by its longitude in radians and the sine and
// cosine of its latitude in radians.
float bearing_from(double lambda1, double sin_phi1, double cos_phi1, double lat2, double lon2) {
  const double phi2 = rad(lat2);
  const double dlon = rad(lon2) - lambda1;
  const double theta =
      std::atan2(std::sin(dlon) * std::cos(phi2), cos_phi1 * std::sin(phi2) - sin_phi1 * std::cos(phi2) * std::cos(dlon));
  const float b = deg(theta) + 360.0f;
  return mod360(b);
}

float gc_bearing_of(double lat1, double lon1, double lat2, double lon2) {
  const double phi1 = rad(lat1);
  return bearing_from(rad(lon1), std::sin(phi1), std::cos(phi1), lat2, lon2);
}

// Haversine distance with the cosine of the origin's latitude given.
float distance_from(double lat1, double lon1, double cos_phi1, double lat2, double lon2) {
  const double dlat = rad(lat2 - lat1);
  const double dlon = rad(lon2 - lon1);
  const double sdlat = std::sin(dlat / 2.0);
  const double sdlon = std::sin(dlon / 2.0);
  double a = cos_phi1 * std::cos(rad(lat2)) * sdlon * sdlon + sdlat * sdlat;
  // Rounding pushes the haversine term of near-antipodal points past 1, and
  // sqrt(1 - a) would then be NaN.
  if (!(a >= 0.0)) a = 0.0;
  if (a > 1.0) a = 1.0;
  return f32(2.0 * std::atan2(std::sqrt(a), std::sqrt(1.0 - a)) * kEarthRadiusNm);
}

float gc_distance_of(double lat1, double lon1, double lat2, double lon2) {
  return distance_from(lat1, lon1, std::cos(rad(lat1)), lat2, lon2);
}

LatLon gc_destination_of(double lat, double lon, double course, double distance_nm) {
  const double delta = distance_nm / kEarthRadiusNm;
  const double phi1 = rad(lat);
  const double theta = rad(course);
  const double lambda1 = rad(lon);
  const double phi2 =
      std::asin(clamp_unit(std::cos(theta) * std::cos(phi1) * std::sin(delta) + std::sin(phi1) * std::cos(delta)));
  const double dlon = std::atan2(std::sin(theta) * std::sin(delta) * std::cos(phi1),
                                 std::cos(delta) - std::sin(phi1) * std::sin(phi2));
  return {deg(phi2), deg(lambda1 + dlon)};
}

}  // namespace

float gc_bearing(double lat1, double lon1, double lat2, double lon2) {
  const Args4 k = args_of(lat1, lon1, lat2, lon2);
  const uint32_t slot = slot_of(k);
  if (const float* v = bearing_memo.find(k, slot)) return *v;
  const float b = gc_bearing_of(lat1, lon1, lat2, lon2);
  bearing_memo.keep(k, slot, b);
  return b;
}

float gc_distance_nm(double lat1, double lon1, double lat2, double lon2) {
  const Args4 k = args_of(lat1, lon1, lat2, lon2);
  const uint32_t slot = slot_of(k);
  if (const float* v = distance_memo.find(k, slot)) return *v;
  const float d = gc_distance_of(lat1, lon1, lat2, lon2);
  distance_memo.keep(k, slot, d);
  return d;
}

GcOrigin gc_origin(double lat, double lon) {
  const double phi = rad(lat);
  return {lat, lon, rad(lon), std::sin(phi), std::cos(phi)};
}

// Many different points, each asked for once: not worth a place in the table.
float gc_bearing_from(const GcOrigin& o, double lat2, double lon2) {
  return bearing_from(o.lambda, o.sin_phi, o.cos_phi, lat2, lon2);
}

float gc_distance_nm_from(const GcOrigin& o, double lat2, double lon2) {
  return distance_from(o.lat, o.lon, o.cos_phi, lat2, lon2);
}

void gc_destination(double lat, double lon, double course, double distance_nm) {
  const Args4 k = args_of(lat, lon, course, distance_nm);
  const uint32_t slot = slot_of(k);
  const LatLon* p = destination_memo.find(k, slot);
  LatLon r;
  if (p) {
    r = *p;
  } else {
    r = gc_destination_of(lat, lon, course, distance_nm);
    destination_memo.keep(k, slot, r);
  }
  nav_result.lat = r.lat;
  nav_result.lon = r.lon;
}

float gc_course_at(double lat, float course, double distance_nm) {
  const double delta = distance_nm / kEarthRadiusNm;
  const double phi = rad(lat);
  const double theta = rad(course);
  const double cos_phi = std::cos(phi);
  const double c = std::atan2(std::sin(theta) * cos_phi,
                              std::cos(delta) * cos_phi * std::cos(theta) - std::sin(phi) * std::sin(delta));
  return mod360(deg(c) + 360.0f);
}

namespace {

// What a crossing of two great circles needs of their two points alone, so
// that several course pairs through the same points share the work.
struct GcPointPair {
  bool valid = false;  // false: the points define no crossing (one meridian, a full turn apart)
  double phi1, lambda1, sin_phi1, cos_phi1, sin_d12, cos_d12, theta12, theta21;
};

GcPointPair gc_point_pair(double lat1, double lon1, double lat2, double lon2) {
  GcPointPair p;
  p.phi1 = rad(lat1);
  p.lambda1 = rad(lon1);
  const double phi2 = rad(lat2);
  const double lambda2 = rad(lon2);

  const double sp = std::sin((p.phi1 - phi2) / 2.0);
  const double sl = std::sin((p.lambda1 - lambda2) / 2.0);
  p.cos_phi1 = std::cos(p.phi1);
  const double cos_phi2 = std::cos(phi2);
  const double h = p.cos_phi1 * cos_phi2 * sl * sl + sp * sp;
  const double d12 = 2.0 * std::asin(std::sqrt(h < 0.0 ? 0.0 : (h > 1.0 ? 1.0 : h)));

  const double s = std::sin(lambda2 - p.lambda1);
  if (s == 0.0) return p;  // both points on one meridian

  p.sin_phi1 = std::sin(p.phi1);
  const double sin_phi2 = std::sin(phi2);
  p.sin_d12 = std::sin(d12);
  p.cos_d12 = std::cos(d12);
  const double A = (sin_phi2 - p.sin_phi1 * p.cos_d12) / (p.sin_d12 * p.cos_phi1);
  const double B = (p.sin_phi1 - sin_phi2 * p.cos_d12) / (p.sin_d12 * cos_phi2);
  // 0/0 for two points a full turn of longitude apart: no defined crossing.
  if (std::isnan(A) || std::isnan(B)) return p;
  const double ca = std::acos(clamp_unit(A));
  const double cb = std::acos(clamp_unit(B));
  if (s > 0.0) {
    p.theta12 = ca;
    p.theta21 = two_pi_12dp - cb;
  } else {
    p.theta12 = two_pi_12dp - ca;
    p.theta21 = cb;
  }
  p.valid = true;
  return p;
}

void gc_intersection_of(const GcPointPair& p, double course1, double course2) {
  nav_result.lat = 0.0;
  nav_result.lon = 0.0;
  if (!p.valid) return;
  const double theta13 = rad(course1);
  const double theta23 = rad(course2);

  double alpha1 = rad(wrap360(deg(theta13) - deg(p.theta12)));
  double alpha2 = rad(wrap360(deg(p.theta21) - deg(theta23)));
  const double sa1 = std::sin(alpha1);
  const double sa2 = std::sin(alpha2);
  // One great circle. With the short pi rounded to float, sin of a half turn
  // is -8.7e-8, not 0: anything within a few float steps of 0 or 180 degrees
  // counts as coincident, or a spurious point would come back.
  constexpr double kCoincident = 1e-6;
  if (std::fabs(sa1) <= kCoincident && std::fabs(sa2) <= kCoincident) return;
  if (sa1 * sa2 < 0.0) return;           // crossing behind one of the points
  alpha1 = std::fabs(alpha1);
  alpha2 = std::fabs(alpha2);

  const double alpha3 =
      std::acos(clamp_unit(std::sin(alpha1) * std::sin(alpha2) * p.cos_d12 - std::cos(alpha1) * std::cos(alpha2)));
  const double d13 = std::atan2(std::sin(alpha1) * std::sin(alpha2) * p.sin_d12,
                                std::cos(alpha2) + std::cos(alpha1) * std::cos(alpha3));
  const double phi3 =
      std::asin(clamp_unit(p.sin_phi1 * std::cos(d13) + p.cos_phi1 * std::sin(d13) * std::cos(theta13)));
  const double dlon = std::atan2(std::sin(theta13) * std::sin(d13) * p.cos_phi1,
                                 std::cos(d13) - p.sin_phi1 * std::sin(phi3));
  double lambda3 = std::fmod(p.lambda1 + dlon + pi_12dp, two_pi_12dp);
  if (lambda3 < 0.0) lambda3 += two_pi_12dp;
  nav_result.lat = deg(phi3);
  nav_result.lon = deg(lambda3 - pi_12dp);
}

}  // namespace

void gc_intersection(double lat1, double lon1, double course1, double lat2, double lon2, double course2) {
  gc_intersection_of(gc_point_pair(lat1, lon1, lat2, lon2), course1, course2);
}

void track_errors(double lat1, double lon1, double lat2, double lon2, float course) {
  // Measured on the great circle itself, from point 2 where the course holds:
  // the angle seen from point 1 would carry the meridians' convergence between
  // the two points (d^2 tan(lat) / 3438 nm of false cross-track, 5 nm over 100
  // nm at 60N).
  const float d = gc_distance_nm(lat1, lon1, lat2, lon2);
  const float b = gc_bearing(lat2, lon2, lat1, lon1);
  const double delta = static_cast<double>(d) / kEarthRadiusNm;
  const double rel = rad(wrap180(b - course));
  const double sin_delta = std::sin(delta);
  nav_result.cross_track = f32(std::asin(clamp_unit(sin_delta * std::sin(rel))) * kEarthRadiusNm);
  nav_result.along_track = f32(-std::atan2(sin_delta * std::cos(rel), std::cos(delta)) * kEarthRadiusNm);
  nav_result.course = b;
  nav_result.spare1 = 0.0;
  nav_result.spare2 = 0.0;
}

void track_errors_leg(double lat0, double lon0, double lat_a, double lon_a, double lat_b, double lon_b) {
  // The leg's own course where it ends at B.
  track_errors(lat0, lon0, lat_b, lon_b, mod360(gc_bearing(lat_b, lon_b, lat_a, lon_a) + 180.0f));
}

void track_errors_from(double lat0, double lon0, double s_lat, double s_lon, float course, double e_lat,
                       double e_lon) {
  track_errors(e_lat, e_lon, s_lat, s_lon, course);
  const float e_along = nav_result.along_track;
  track_errors(lat0, lon0, s_lat, s_lon, course);
  nav_result.along_track = nav_result.along_track - e_along;
}

namespace {

// Track along a circle at the position on radial b (bearing at the centre),
// d nm out: the radial's own course there, a quarter turn on. The radial's
// bearing at the centre would carry the meridians' convergence across the
// radius.
float tangent_at(double ctr_lat, float b, float d, bool left) {
  return mod360(gc_course_at(ctr_lat, b, d) + (left ? 270.0f : 90.0f));
}

}  // namespace

float arc_tangent_course(double ctr_lat, double ctr_lon, double lat, double lon, int turn) {
  return tangent_at(ctr_lat, gc_bearing(ctr_lat, ctr_lon, lat, lon), gc_distance_nm(ctr_lat, ctr_lon, lat, lon),
                    navmath::is_left_turn(turn));
}

void arc_errors(double lat, double lon, double ctr_lat, double ctr_lon, float radius_nm, float ref_radial,
                int turn) {
  const float d = gc_distance_nm(ctr_lat, ctr_lon, lat, lon);
  const float b = gc_bearing(ctr_lat, ctr_lon, lat, lon);
  const bool left = navmath::is_left_turn(turn);
  float a = wrap180(ref_radial - b);
  nav_result.course = tangent_at(ctr_lat, b, d, left);
  if (left) {
    nav_result.cross_track = d - radius_nm;
    if (a > 0.0f) a -= 360.0f;
  } else {
    nav_result.cross_track = radius_nm - d;
    if (a < 0.0f) a += 360.0f;
  }
  nav_result.along_track = f32(std::fabs(static_cast<double>(a)) * (static_cast<double>(radius_nm) * pi_12dp / 180.0));
  nav_result.spare1 = 0.0;
  nav_result.spare2 = 0.0;
}

void map_project(double ref_lat, double ref_lon, double lat, double lon, float up_heading, double scale) {
  const float d = gc_distance_nm(ref_lat, ref_lon, lat, lon);
  const float a = wrap360(gc_bearing(ref_lat, ref_lon, lat, lon) - up_heading);
  float x = 0.0f;
  float y = 0.0f;
  if (!quadrant_offsets(d, a, x, y)) {
    x = 0.0f;
    y = 0.0f;
  }
  map_point.x = static_cast<double>(x) * scale;
  map_point.y = static_cast<double>(y) * scale;
}

void course_offsets(double ref_lat, double ref_lon, double lat, double lon, float course, float& across,
                    float& along) {
  const float d = gc_distance_nm(ref_lat, ref_lon, lat, lon);
  const float a = wrap180(gc_bearing(ref_lat, ref_lon, lat, lon) - course);
  float x = 0.0f;
  float y = 0.0f;
  if (quadrant_offsets(d, a, x, y)) {
    across = x;
    along = y;
  }
}

float course_diff_dir(float a, float b, int turn) {
  float t = wrap180(b - a);
  if (navmath::is_left_turn(turn)) {
    if (t > 0.0f) t -= 360.0f;
  } else {
    if (t < 0.0f) t += 360.0f;
  }
  return t;
}

float course_diff_dir_f(float a, float b, float turn) {
  return course_diff_dir(a, b, navmath::is_left_turn_f(turn) ? 0 : 1);
}

bool on_turn_side(float a, float b, int turn) {
  const float t = wrap180(b - a);
  return navmath::is_left_turn(turn) ? t < 0.0f : t > 0.0f;
}

bool in_arc_sector(double lat, double lon, double ctr_lat, double ctr_lon, double end_lat, double end_lon,
                   int turn) {
  const float r1 = gc_bearing(ctr_lat, ctr_lon, lat, lon);
  float rc = gc_bearing(ctr_lat, ctr_lon, end_lat, end_lon);
  const float r2 = gc_bearing(end_lat, end_lon, lat, lon);
  float rb = gc_bearing(end_lat, end_lon, ctr_lat, ctr_lon);
  if (turn == 0 || turn == 2) {
    rc = mod360(rc + 10.0f);
    rb = mod360(rb + 350.0f);
  } else if (turn == 1 || turn == 3) {
    rc = mod360(rc + 350.0f);
    rb = mod360(rb + 10.0f);
  }
  return std::fabs(wrap180(r1 - rc)) <= 90.0f && std::fabs(wrap180(r2 - rb)) <= 90.0f;
}

bool beyond_abeam(float lat1, float lon1, float lat2, float lon2, float lat3, float lon3, float side, int mode) {
  const float b = gc_bearing(lat1, lon1, lat2, lon2);
  const bool side2 = side == 2.0f;
  float r;
  if (mode != 0) {
    r = side2 ? mod360(b + 270.0f) : mod360(b + 90.0f);
  } else {
    const float r0 = mod360(b + 180.0f);
    r = side2 ? mod360(r0 + 270.0f) : mod360(r0 + 90.0f);
  }
  const float e = wrap180(gc_bearing(lat2, lon2, lat3, lon3) - r);
  if (mode != 0) return side2 ? e >= 0.0f : e < 0.0f;
  return side2 ? e < 0.0f : e >= 0.0f;
}

float arc_length(float angle_deg, float radius_nm) {
  const float r = std::fabs(radius_nm);
  return f32(static_cast<double>(r) * (static_cast<double>(angle_deg) * pi_12dp / 180.0));
}

float turn_radius_nm(float bank_deg, float speed_kt) {
  if (bank_deg == 0.0f) bank_deg = 0.1f;
  if (speed_kt == 0.0f) speed_kt = 145.0f;
  const float t = std::tan(static_cast<float>(rad(bank_deg)));
  return speed_kt * speed_kt / (t * 68620.0f);
}

float deg_to_rad(float deg_value) { return static_cast<float>(rad(deg_value)); }

float rad_to_deg(float rad_value) {
  const float r180 = rad_value * 180.0f;
  return f32(static_cast<double>(r180) / pi_12dp);
}

float abs_f(float x) { return std::fabs(x); }
double abs_fd(float x) { return static_cast<double>(std::fabs(x)); }

// ---- circle constructions ----------------------------------------------------------------------

namespace {

// Flat projection about a centre: nm north (y) and nm east (x), with k the
// nm per degree of longitude at the centre's latitude.
struct FlatFrame {
  float k;
};

FlatFrame flat_frame(double ctr_lat) {
  return FlatFrame{std::cos(static_cast<float>(rad(ctr_lat))) * 60.0f};
}

float flat_y(double lat) { return f32(lat * 60.0); }
// A longitude more than half a circle from the centre's is taken on the
// centre's side of the date line (179.9W beside a centre at 179.9E is
// 180.1E), so a construction across the date line is the same as anywhere
// else; any other longitude is used as it is.
double beside(double ctr_lon, double lon) {
  if (lon - ctr_lon > 180.0) return lon - 360.0;
  if (ctr_lon - lon > 180.0) return lon + 360.0;
  return lon;
}
float flat_x(const FlatFrame& f, double ctr_lon, double lon) {
  return f32(static_cast<double>(f.k) * beside(ctr_lon, lon));
}

// Back to degrees; both divisions in float, the longitude brought back
// within the date line.
void flat_unproject(const FlatFrame& f, double x, double y, float& lat, float& lon) {
  lat = f32(y) / 60.0f;
  lon = f32(x) / f.k;
  if (lon > 180.0f) lon -= 360.0f;
  if (lon < -180.0f) lon += 360.0f;
}

}  // namespace

namespace {

struct Crossing {
  float dist;
  double lat, lon;
};

// The path rebuild crosses the same course lines of fixed waypoints every
// frame; the crossing is a pure function of the six arguments.
struct CrossingKey {
  Args4 points;
  uint32_t course1, course2;
  bool operator==(const CrossingKey&) const = default;
};

struct CrossingEntry {
  bool used;
  CrossingKey key;
  Crossing value;
};

constexpr int kCrossingBits = 7;
CrossingEntry crossing_memo[1 << kCrossingBits];

Crossing crossing_of(double lat1, double lon1, float course1, double lat2, double lon2, float course2) {
  const float r1 = mod360(course1 + 180.0f);
  const float r2 = mod360(course2 + 180.0f);
  const float from1[4] = {course1, r1, course1, r1};
  const float from2[4] = {r2, r2, course2, course2};
  bool found = false;
  float best_dist = 0.0f;
  float best_lat = 0.0f;
  float best_lon = 0.0f;
  const GcPointPair points = gc_point_pair(lat1, lon1, lat2, lon2);
  for (int n = 0; n < 4; ++n) {
    gc_intersection_of(points, from1[n], from2[n]);
    if (nav_result.lat == 0.0 && nav_result.lon == 0.0) continue;
    const float clat = f32(nav_result.lat);
    const float clon = f32(nav_result.lon);
    const float dist = gc_distance_nm(lat1, lon1, clat, clon);
    if (!found || dist < best_dist) {
      found = true;
      best_dist = dist;
      best_lat = clat;
      best_lon = clon;
    }
  }
  if (!found) return {gc_distance_nm(lat1, lon1, 0.0, 0.0), best_lat, best_lon};
  return {best_dist, best_lat, best_lon};
}

}  // namespace

float course_line_intersection(double lat1, double lon1, float course1, double lat2, double lon2, float course2) {
  const CrossingKey k{args_of(lat1, lon1, lat2, lon2), std::bit_cast<uint32_t>(course1),
                      std::bit_cast<uint32_t>(course2)};
  const uint64_t h = (static_cast<uint64_t>(slot_of(k.points)) << 32) ^ (k.course1 * 0x9E3779B1ull) ^
                     (k.course2 * 0x85EBCA77ull);
  CrossingEntry& e = crossing_memo[(h ^ (h >> 17) ^ (h >> 35)) & ((1u << kCrossingBits) - 1)];
  if (!(e.used && e.key == k)) e = CrossingEntry{true, k, crossing_of(lat1, lon1, course1, lat2, lon2, course2)};
  nav_result.lat = e.value.lat;
  nav_result.lon = e.value.lon;
  return e.value.dist;
}

int32_t circle_line_intersection(double ctr_lat, double ctr_lon, double radius_nm, double lat1, double lon1,
                                 double lat2, double lon2) {
  two_point_result = TwoPointResult{};
  const FlatFrame f = flat_frame(ctr_lat);
  if (f.k == 0.0f) return 0;
  const float cx = flat_x(f, ctr_lon, ctr_lon);
  const float cy = flat_y(ctr_lat);
  const float x1 = flat_x(f, ctr_lon, lon1);
  const float y1 = flat_y(lat1);
  const float x2 = flat_x(f, ctr_lon, lon2);
  const float y2 = flat_y(lat2);

  const float dx = x2 - x1;
  const float dy = y2 - y1;
  const double a = static_cast<double>(dx) * dx + static_cast<double>(dy) * dy;
  const float fx = x1 - cx;
  const float fy = y1 - cy;
  const double b = 2.0 * (static_cast<double>(fy) * dy + static_cast<double>(fx) * dx);
  const float ff = fy * fy + fx * fx;
  const double c = static_cast<double>(ff) - radius_nm * radius_nm;
  const double disc = b * b - 4.0 * a * c;
  if (a <= 1e-7 || !(disc >= 0.0)) return 0;

  if (disc == 0.0) {
    const double t = -b / (2.0 * a);
    flat_unproject(f, x1 + t * dx, y1 + t * dy, two_point_result.lat1, two_point_result.lon1);
    two_point_result.lat2 = two_point_result.lat1;
    two_point_result.lon2 = two_point_result.lon1;
    return 1;
  }
  const double s = std::sqrt(disc);
  const double t1 = (s - b) / (2.0 * a);
  const double t2 = (-b - s) / (2.0 * a);
  flat_unproject(f, x1 + t1 * dx, y1 + t1 * dy, two_point_result.lat1, two_point_result.lon1);
  flat_unproject(f, x1 + t2 * dx, y1 + t2 * dy, two_point_result.lat2, two_point_result.lon2);
  return 2;
}

int32_t circle_tangent_points(double ctr_lat, double ctr_lon, double radius_nm, double lat, double lon) {
  two_point_result = TwoPointResult{};
  // Laid on the sphere, not in a flat frame about the centre: a far point
  // near a pole lies tens of degrees off the direction a flat frame gives,
  // and the tangent found there would not be on the great circle flown.
  // The right angle at the tangent point gives the angle at the centre:
  // cos(angle) = tan(radius) / tan(distance), both as arcs of the sphere.
  // A point within a few metres of the circle is taken as on it, as a flat
  // frame of 60 nm to the degree has it (this sphere's degree is 60.04 nm).
  constexpr double kOnCircleNm = 0.005;
  const double d = gc_distance_of(ctr_lat, ctr_lon, lat, lon);
  if (!(d > radius_nm + kOnCircleNm) || !(radius_nm > 0.0)) return 0;
  const double c = d / kEarthRadiusNm;
  const double a = radius_nm / kEarthRadiusNm;
  if (!(std::sin(c) > 1e-12)) return 0;
  const double alpha = deg(std::acos(clamp_unit(std::tan(a) * std::cos(c) / std::sin(c))));
  const double b = gc_bearing_of(ctr_lat, ctr_lon, lat, lon);
  const auto put = [&](double course, float& p_lat, float& p_lon) {
    const LatLon p = gc_destination_of(ctr_lat, ctr_lon, course, radius_nm);
    p_lat = static_cast<float>(p.lat);
    p_lon = static_cast<float>(std::remainder(p.lon, 360.0));
  };
  put(b + alpha, two_point_result.lat1, two_point_result.lon1);
  put(b - alpha, two_point_result.lat2, two_point_result.lon2);
  return 1;
}
