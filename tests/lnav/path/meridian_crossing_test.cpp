// Course crossings of two points on one meridian: the builder's constructions
// off a due-north or due-south course must still find their crossing, also
// when the two longitudes differ only below single precision.
#include <gtest/gtest.h>

#include <cmath>

#include "lnav/path/leg_path_internal.h"
#include "navdata/geodesy.h"

namespace {

struct Pt {
  double lat, lon;
};

float off_by(float a, float b) {
  float d = std::fmod(a - b + 720.0f, 360.0f);
  if (d > 180.0f) d -= 360.0f;
  return std::fabs(d);
}

struct Case {
  const char* what;
  Pt a;
  float a_crs;
  Pt b;
  float b_crs;
};

// Every pair lies on one meridian as the crossing sees it; each line meets
// the other ahead of both points.
const Case kOneMeridian[] = {
    {"equal longitudes", {40.0, -70.0}, 90.0f, {40.2, -70.0}, 135.0f},
    // The double longitudes differ, the single-precision ones do not.
    {"apart below a float step", {40.0, -70.0}, 90.0f, {40.2, -70.0 + 1e-9}, 135.0f},
    {"apart below a float step, other order", {40.2, -70.0 + 2e-7}, 135.0f, {40.0, -70.0}, 90.0f},
    // b's course is too close to south for a 0.01 nm step to leave the
    // meridian: a moves along its own line instead.
    {"second course nearly south", {40.0, -70.0}, 90.0f, {40.2, -70.0}, 179.5f},
};

TEST(MeridianCrossing, FoundAndOnBothLines) {
  for (const Case& c : kOneMeridian) {
    SCOPED_TRACE(c.what);
    Pt a = c.a, b = c.b;
    legpath::off_meridian(a.lat, a.lon, c.a_crs, b.lat, b.lon, c.b_crs);
    // A moved point stays on its own line, next to where it was.
    EXPECT_LT(gc_distance_nm(a.lat, a.lon, c.a.lat, c.a.lon), 0.011f);
    EXPECT_LT(gc_distance_nm(b.lat, b.lon, c.b.lat, c.b.lon), 0.011f);
    gc_intersection(a.lat, a.lon, c.a_crs, b.lat, b.lon, c.b_crs);
    const Pt x{nav_result.lat, nav_result.lon};
    if (x.lat == 0.0 && x.lon == 0.0) {
      ADD_FAILURE() << "no crossing";
      continue;
    }
    // The crossing lies on both original lines (about 12 nm south-east of b).
    EXPECT_LT(off_by(gc_bearing(c.a.lat, c.a.lon, x.lat, x.lon), c.a_crs), 0.5f);
    EXPECT_LT(off_by(gc_bearing(c.b.lat, c.b.lon, x.lat, x.lon), c.b_crs), 0.5f);
  }
}

TEST(MeridianCrossing, OtherPairsAreLeftAlone) {
  const Case cases[] = {
      {"different meridians", {40.0, -70.0}, 90.0f, {40.2, -69.9}, 135.0f},
      {"one point", {40.0, -70.0}, 90.0f, {40.0, -70.0}, 135.0f},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Pt a = c.a, b = c.b;
    legpath::off_meridian(a.lat, a.lon, c.a_crs, b.lat, b.lon, c.b_crs);
    EXPECT_EQ(a.lat, c.a.lat);
    EXPECT_EQ(a.lon, c.a.lon);
    EXPECT_EQ(b.lat, c.b.lat);
    EXPECT_EQ(b.lon, c.b.lon);
  }
}

TEST(MeridianCrossing, TwoMeridianCoursesStayWithoutCrossing) {
  // One great circle: there is nothing to find, and nothing may be made up.
  Pt a{40.0, -70.0}, b{40.2, -70.0};
  legpath::off_meridian(a.lat, a.lon, 0.0, b.lat, b.lon, 180.0);
  gc_intersection(a.lat, a.lon, 0.0, b.lat, b.lon, 180.0);
  EXPECT_EQ(nav_result.lat, 0.0);
  EXPECT_EQ(nav_result.lon, 0.0);
}

}  // namespace
