// Spherical-earth operations and circle constructions: worked values, edge
// cases and randomised properties (fixed seed).
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>
#include <vector>

#include "navdata/geodesy.h"
#include "navdata/nav_math.h"

namespace {

constexpr double kR = 3440.064795;

TEST(NavMath, WrapRules) {
  struct Case {
    float in, w360, w180;
  } cases[] = {
      {0.0f, 0.0f, 0.0f},       {-10.0f, 350.0f, -10.0f}, {180.0f, 180.0f, 180.0f},
      {-180.0f, 180.0f, 180.0f}, {190.0f, 190.0f, -170.0f}, {359.5f, 359.5f, -0.5f},
      {-359.5f, 0.5f, 0.5f},
  };
  for (const auto& c : cases) {
    EXPECT_FLOAT_EQ(navmath::wrap360(c.in), c.w360) << c.in;
    EXPECT_FLOAT_EQ(navmath::wrap180(c.in), c.w180) << c.in;
  }
}

// The remainder helpers stand in for std::fmod in the course arithmetic, so
// they must give its bits (sign of zero included) for every input.
TEST(NavMath, Remainder360MatchesFmodBitForBit) {
  auto same_d = [](double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0 || (std::isnan(a) && std::isnan(b)); };
  auto same_f = [](float a, float b) { return std::memcmp(&a, &b, sizeof a) == 0 || (std::isnan(a) && std::isnan(b)); };
  std::vector<double> xs = {0.0, -0.0, 360.0, -360.0, 720.0, -720.0, 359.99999999999994, -359.99999999999994,
                            719.9999999999999, -719.9999999999999, 1e-300, -1e-300, 1e18, -1e18,
                            std::nan(""), INFINITY, -INFINITY};
  std::mt19937 rng(7);
  std::uniform_real_distribution<double> u(-1500.0, 1500.0);
  for (int i = 0; i < 20000; ++i) xs.push_back(u(rng));
  for (double x : xs) {
    EXPECT_TRUE(same_d(navmath::rem360(x), std::fmod(x, 360.0))) << x;
    const float xf = static_cast<float>(x);
    EXPECT_TRUE(same_f(navmath::rem360f(xf), std::fmod(xf, 360.0f))) << xf;
  }
}

TEST(GcBearing, WorkedValues) {
  struct Case {
    double lat1, lon1, lat2, lon2;
    float expect;
  } cases[] = {
      {50.0, 8.0, 50.0, 8.0, 0.0f},   // identical points
      {10.0, 5.0, 11.0, 5.0, 0.0f},   // north along a meridian
      {11.0, 5.0, 10.0, 5.0, 180.0f}, // south
      {0.0, 0.0, 0.0, 1.0, 90.0f},    // east on the equator
      {0.0, 1.0, 0.0, 0.0, 270.0f},   // west
  };
  for (const auto& c : cases) {
    const float b = gc_bearing(c.lat1, c.lon1, c.lat2, c.lon2);
    EXPECT_NEAR(b, c.expect, 1e-4) << c.lat1 << "," << c.lon1 << " -> " << c.lat2 << "," << c.lon2;
    EXPECT_GE(b, 0.0f);
    EXPECT_LT(b, 360.0f);
  }
}

TEST(GcDistance, WorkedValues) {
  EXPECT_EQ(gc_distance_nm(47.5, 11.25, 47.5, 11.25), 0.0f);
  EXPECT_NEAR(gc_distance_nm(45.0, 7.0, 46.0, 7.0), 60.04, 0.01);  // one degree of latitude
  EXPECT_NEAR(gc_distance_nm(0.0, 0.0, 0.0, 1.0), 60.04, 0.01);    // one degree of longitude at the equator
  // Antipodes: half the circumference, and a number.
  EXPECT_NEAR(gc_distance_nm(0.0, 0.0, 0.0, 180.0), 3.14159265 * kR, 0.05);
  const float near_antipode = gc_distance_nm(33.3, -120.1, -33.3, 59.9);
  EXPECT_FALSE(std::isnan(near_antipode));
  EXPECT_NEAR(near_antipode, 3.14159265 * kR, 0.05);
}

TEST(GcDestination, WorkedValues) {
  gc_destination(51.25, -0.5, 73.0, 0.0);
  EXPECT_NEAR(nav_result.lat, 51.25, 1e-5);
  EXPECT_NEAR(nav_result.lon, -0.5, 1e-5);

  // Not folded back into [-180, 180].
  gc_destination(0.0, 179.5, 90.0, 60.0);
  EXPECT_GT(nav_result.lon, 180.0);
  EXPECT_NEAR(nav_result.lat, 0.0, 1e-5);

  // A negative distance goes the reciprocal way.
  gc_destination(40.0, 10.0, 0.0, -60.0);
  EXPECT_NEAR(nav_result.lat, 39.0, 0.01);
  EXPECT_NEAR(nav_result.lon, 10.0, 1e-5);
}

TEST(GcIntersection, NoCrossingCasesGiveZero) {
  struct Case {
    const char* what;
    double lat1, lon1, c1, lat2, lon2, c2;
  } cases[] = {
      {"one meridian", 10.0, 20.0, 45.0, 30.0, 20.0, 300.0},
      {"one great circle", 0.0, 10.0, 90.0, 0.0, 12.0, 90.0},
      {"crossing behind point 2", 10.0, 9.0, 90.0, 9.0, 10.0, 180.0},
  };
  for (const auto& c : cases) {
    nav_result.lat = 99.0;
    nav_result.lon = 99.0;
    gc_intersection(c.lat1, c.lon1, c.c1, c.lat2, c.lon2, c.c2);
    EXPECT_EQ(nav_result.lat, 0.0) << c.what;
    EXPECT_EQ(nav_result.lon, 0.0) << c.what;
  }
}

TEST(GcIntersection, FindsCrossingAndKeepsLongitudeInRange) {
  gc_intersection(10.0, 9.0, 90.0, 9.0, 10.0, 0.0);
  EXPECT_NEAR(nav_result.lon, 10.0, 1e-3);
  EXPECT_NEAR(nav_result.lat, 10.0, 0.01);

  // Crossing just west of the antimeridian, from points on either side.
  gc_intersection(0.0, 179.0, 90.0, -1.0, 179.9, 0.0);
  EXPECT_GT(nav_result.lon, 179.8);
  EXPECT_LT(nav_result.lon, 180.0);
  gc_intersection(0.0, -179.0, 270.0, -1.0, 179.9, 0.0);
  EXPECT_GT(nav_result.lon, 179.8);
  EXPECT_LT(nav_result.lon, 180.0);
}

// The crossing is handed on as doubles that hold single-precision values; an
// optimiser that fuses the two conversions would break every later
// comparison against f32 path points.
TEST(GcIntersection, ResultsHoldSinglePrecisionValues) {
  for (int i = 0; i < 200; ++i) {
    const double lat = -60.0 + 0.6 * i, lon = -170.0 + 1.7 * i;
    gc_intersection(lat, lon, 30.0 + i, lat + 1.3, lon + 0.9, 300.0 - i);
    EXPECT_EQ(static_cast<double>(static_cast<float>(nav_result.lat)), nav_result.lat) << i;
    EXPECT_EQ(static_cast<double>(static_cast<float>(nav_result.lon)), nav_result.lon) << i;
  }
}

TEST(TrackErrors, OnCourseAndAbeam) {
  // Point 2 straight ahead on the course.
  track_errors(0.0, 0.0, 0.0, 1.0, 90.0f);
  EXPECT_NEAR(nav_result.cross_track, 0.0f, 1e-4);
  EXPECT_NEAR(nav_result.along_track, 60.04f, 0.01);
  EXPECT_NEAR(nav_result.course, 270.0f, 1e-3);

  // Point 2 abeam to the left of a northbound course: positive cross track.
  track_errors(0.0, 0.0, 0.0, -1.0, 0.0f);
  EXPECT_NEAR(nav_result.along_track, 0.0f, 1e-3);
  EXPECT_NEAR(nav_result.cross_track, 60.04f, 0.01);
  // Abeam to the right: negative.
  track_errors(0.0, 0.0, 0.0, 1.0, 0.0f);
  EXPECT_NEAR(nav_result.cross_track, -60.04f, 0.01);
  // Behind: negative along track.
  track_errors(0.0, 0.0, -1.0, 0.0, 0.0f);
  EXPECT_NEAR(nav_result.along_track, -60.04f, 0.01);
}

TEST(TrackErrors, LegFormSignsRightOfLegPositive) {
  // Northbound leg (0,0) -> (1,0); aircraft 0.1 degree east (right of it), halfway.
  track_errors_leg(0.5, 0.1, 0.0, 0.0, 1.0, 0.0);
  EXPECT_NEAR(nav_result.cross_track, 6.0f, 0.05);
  EXPECT_NEAR(nav_result.along_track, 30.0f, 0.1);
  track_errors_leg(0.5, -0.1, 0.0, 0.0, 1.0, 0.0);
  EXPECT_NEAR(nav_result.cross_track, -6.0f, 0.05);
}

// A point on a long great-circle leg, and one 2 nm right of it, against the
// leg by the course it ends with, by its two ends and by the course it
// starts with: on the circle, whatever the meridians' convergence.
TEST(TrackErrors, ExactOnLongLegsAtHighLatitudes) {
  struct Row {
    double lat, lon, course, leg_nm;
  };
  for (const Row& r : {Row{60.0, 10.0, 80.0, 100.0}, Row{-40.0, 150.0, 110.0, 80.0}, Row{87.6, 30.0, 60.0, 40.0}}) {
    gc_destination(r.lat, r.lon, r.course, r.leg_nm);
    const double e_lat = nav_result.lat, e_lon = nav_result.lon;
    const float end_crs = navmath::mod360(gc_bearing(e_lat, e_lon, r.lat, r.lon) + 180.0f);
    const float start_crs = static_cast<float>(r.course);
    for (const double off : {0.0, 2.0}) {
      gc_destination(r.lat, r.lon, r.course, r.leg_nm * 0.4);
      const double m_lat = nav_result.lat, m_lon = nav_result.lon;
      const float crs_m = navmath::mod360(gc_bearing(m_lat, m_lon, r.lat, r.lon) + 180.0f);
      gc_destination(m_lat, m_lon, crs_m + 90.0f, off);
      const double a_lat = nav_result.lat, a_lon = nav_result.lon;
      track_errors(a_lat, a_lon, e_lat, e_lon, end_crs);
      EXPECT_NEAR(nav_result.cross_track, off, 0.01) << r.lat;
      EXPECT_NEAR(nav_result.along_track, r.leg_nm * 0.6, 0.01) << r.lat;
      track_errors_leg(a_lat, a_lon, r.lat, r.lon, e_lat, e_lon);
      EXPECT_NEAR(nav_result.cross_track, off, 0.01) << r.lat;
      EXPECT_NEAR(nav_result.along_track, r.leg_nm * 0.6, 0.01) << r.lat;
      track_errors_from(a_lat, a_lon, r.lat, r.lon, start_crs, e_lat, e_lon);
      EXPECT_NEAR(nav_result.cross_track, off, 0.01) << r.lat;
      EXPECT_NEAR(nav_result.along_track, r.leg_nm * 0.6, 0.01) << r.lat;
    }
  }
}

TEST(ArcErrors, LeftTurnAroundTheReferenceRadial) {
  const double clat = 45.0, clon = 5.0;
  const float r = 3.0f;
  gc_destination(clat, clon, 90.0, r);
  const double plat = nav_result.lat, plon = nav_result.lon;
  const float radial = gc_bearing(clat, clon, plat, plon);
  const float full = 2.0f * 3.14159265f * r;
  struct Case {
    float ref;  // reference radial, relative to the position's radial
    float min_along, max_along;
  } cases[] = {
      {0.0f, 0.0f, 0.0f},                 // at the reference radial
      {-1.0f, 0.04f, 0.06f},              // just before it (left turns run counter-clockwise)
      {1.0f, full - 0.06f, full - 0.04f}, // just after: nearly a full circle
  };
  for (const auto& c : cases) {
    arc_errors(plat, plon, clat, clon, r, radial + c.ref, 0);
    EXPECT_NEAR(nav_result.cross_track, 0.0f, 2e-3) << c.ref;
    EXPECT_GE(nav_result.along_track, c.min_along) << c.ref;
    EXPECT_LE(nav_result.along_track, c.max_along) << c.ref;
    EXPECT_NEAR(navmath::wrap180(nav_result.course - (radial + 270.0f)), 0.0f, 0.1f) << c.ref;
  }
}

// The track along a circle is the direction from one of its points to the
// next, at 45N as near the pole, where the radial's bearing at the centre
// parts from it by the convergence across the radius (5 degrees at 87.6N
// over 11 nm).
TEST(ArcErrors, CourseIsTheTrackAlongTheCircle) {
  for (const double clat : {45.0, 87.6}) {
    for (const float radial : {0.0f, 60.0f, 135.0f, 250.0f}) {
      for (const int turn : {0, 3}) {
        // The chord over 2 degrees of the circle runs as the track at its middle.
        const float step = turn == 0 ? -1.0f : 1.0f;
        gc_destination(clat, 5.0, radial - step, 11.0);
        const double alat = nav_result.lat, alon = nav_result.lon;
        gc_destination(clat, 5.0, radial + step, 11.0);
        const float along = gc_bearing(alat, alon, nav_result.lat, nav_result.lon);
        gc_destination(clat, 5.0, radial, 11.0);
        const double plat = nav_result.lat, plon = nav_result.lon;
        arc_errors(plat, plon, clat, 5.0, 11.0f, 0.0f, turn);
        EXPECT_NEAR(navmath::wrap180(nav_result.course - along), 0.0f, 0.2f) << clat << " " << radial << " " << turn;
        EXPECT_FLOAT_EQ(arc_tangent_course(clat, 5.0, plat, plon, turn), nav_result.course);
      }
    }
  }
}

TEST(ArcErrors, CrossTrackSignFollowsTurn) {
  // Position 1 nm outside a 3 nm circle: left of a right turn's path, right of a left turn's.
  gc_destination(45.0, 5.0, 0.0, 4.0);
  const double plat = nav_result.lat, plon = nav_result.lon;
  arc_errors(plat, plon, 45.0, 5.0, 3.0f, 90.0f, 1);
  EXPECT_NEAR(nav_result.cross_track, -1.0f, 2e-3);
  EXPECT_NEAR(nav_result.course, 90.0f, 0.01);
  EXPECT_NEAR(nav_result.along_track, 90.0f * 3.0f * 3.14159265f / 180.0f, 0.01);
  arc_errors(plat, plon, 45.0, 5.0, 3.0f, 90.0f, 2);
  EXPECT_NEAR(nav_result.cross_track, 1.0f, 2e-3);
  EXPECT_NEAR(nav_result.course, 270.0f, 0.01);
}

TEST(MapProject, ReferenceAndQuadrants) {
  map_project(45.0, 5.0, 45.0, 5.0, 123.0f, 2.0);
  EXPECT_EQ(map_point.x, 0.0);
  EXPECT_EQ(map_point.y, 0.0);

  const double d = gc_distance_nm(0.0, 0.0, 1.0, 0.0);
  struct Case {
    double lat, lon;
    float up;
    double x, y;
  } cases[] = {
      {1.0, 0.0, 0.0f, 0.0, d},    // ahead
      {1.0, 0.0, 90.0f, -d, 0.0},  // north seen with east up: left
      {1.0, 0.0, 270.0f, d, 0.0},  // right
      {1.0, 0.0, 180.0f, 0.0, -d}, // behind
  };
  for (const auto& c : cases) {
    map_project(0.0, 0.0, c.lat, c.lon, c.up, 2.0);
    EXPECT_NEAR(map_point.x, c.x * 2.0, 1e-3) << c.up;
    EXPECT_NEAR(map_point.y, c.y * 2.0, 1e-3) << c.up;
  }
}

TEST(CourseOffsets, AcrossPositiveRight) {
  float across = -1.0f, along = -1.0f;
  course_offsets(0.0, 0.0, 1.0, 1.0, 0.0f, across, along);
  EXPECT_NEAR(across, 60.0f, 0.1);
  EXPECT_NEAR(along, 60.0f, 0.1);
  course_offsets(0.0, 0.0, -1.0, -1.0, 0.0f, across, along);
  EXPECT_NEAR(across, -60.0f, 0.1);
  EXPECT_NEAR(along, -60.0f, 0.1);
}

TEST(TurnAngles, CourseDiffDirAndTurnSide) {
  struct Case {
    float a, b;
    int turn;
    float diff;
    bool side;
  } cases[] = {
      {350.0f, 10.0f, 1, 20.0f, true},    {350.0f, 10.0f, 0, -340.0f, false},
      {10.0f, 350.0f, 3, 340.0f, false},  {10.0f, 350.0f, 2, -20.0f, true},
      {90.0f, 90.0f, 1, 0.0f, false},     {90.0f, 90.0f, 0, 0.0f, false},
      {0.0f, 180.0f, 1, 180.0f, true},    {0.0f, 180.0f, 0, -180.0f, false},
      {45.0f, 30.0f, 7, 345.0f, false},   // any code other than 0 and 2 turns right
  };
  for (const auto& c : cases) {
    EXPECT_FLOAT_EQ(course_diff_dir(c.a, c.b, c.turn), c.diff) << c.a << "->" << c.b << " turn " << c.turn;
    EXPECT_FLOAT_EQ(course_diff_dir_f(c.a, c.b, static_cast<float>(c.turn)), c.diff);
    EXPECT_EQ(on_turn_side(c.a, c.b, c.turn), c.side) << c.a << "->" << c.b << " turn " << c.turn;
  }
}

TEST(SmallHelpers, ArcLengthTurnRadiusConversions) {
  EXPECT_NEAR(arc_length(90.0f, 10.0f), 15.70796f, 1e-4);
  EXPECT_NEAR(arc_length(90.0f, -10.0f), 15.70796f, 1e-4);  // radius taken unsigned
  EXPECT_NEAR(arc_length(-90.0f, 10.0f), -15.70796f, 1e-4); // angle keeps its sign
  // Radius in the angle place, signed turn angle in the radius place: unsigned length.
  EXPECT_NEAR(arc_length(10.0f, -90.0f), 15.70796f, 1e-4);

  EXPECT_NEAR(turn_radius_nm(25.0f, 250.0f), 250.0f * 250.0f / (std::tan(25.0 * 3.14159265 / 180.0) * 68620.0),
              1e-3);
  // Bank 0 and speed 0 fall back to 0.1 degree and 145 kt.
  EXPECT_NEAR(turn_radius_nm(0.0f, 0.0f), 145.0 * 145.0 / (std::tan(0.1 * 3.14159265 / 180.0) * 68620.0), 0.01);

  EXPECT_NEAR(deg_to_rad(180.0f), 3.14159265f, 1e-6);
  EXPECT_NEAR(rad_to_deg(3.14159265f), 180.0f, 1e-4);
  EXPECT_EQ(abs_f(-2.5f), 2.5f);
  EXPECT_EQ(abs_fd(-2.5f), 2.5);
}

TEST(BeyondAbeam, AheadOrBehindInEveryMode) {
  // Course east along the equator from P1 (0,0) to P2 (0,1).
  struct Case {
    float lat3, lon3;
    bool beyond;
  } cases[] = {{0.0f, 2.0f, true}, {0.3f, 1.2f, true}, {-0.3f, 1.2f, true},
               {0.0f, 0.5f, false}, {0.3f, 0.8f, false}, {-0.3f, 0.8f, false}};
  for (const auto& c : cases) {
    for (float side : {0.0f, 1.0f, 2.0f, 3.0f}) {
      for (int mode : {0, 1}) {
        EXPECT_EQ(beyond_abeam(0.0f, 0.0f, 0.0f, 1.0f, c.lat3, c.lon3, side, mode), c.beyond)
            << c.lat3 << "," << c.lon3 << " side " << side << " mode " << mode;
      }
    }
  }
  // Exactly abeam P2, on either side of the course: the tie goes one way per
  // mode and side code, the same for both abeam points.
  for (float lat3 : {0.3f, -0.3f}) {
    for (float side : {0.0f, 1.0f, 2.0f, 3.0f}) {
      for (int mode : {0, 1}) {
        EXPECT_EQ(beyond_abeam(0.0f, 0.0f, 0.0f, 1.0f, lat3, 1.0f, side, mode), (mode != 0) == (side == 2.0f))
            << "abeam at " << lat3 << " side " << side << " mode " << mode;
      }
    }
  }
}

TEST(InArcSector, WithinNinetyDegreesOfEndAndCentre) {
  // Centre (0,0), arc ends due north at 3 nm.
  gc_destination(0.0, 0.0, 0.0, 3.0);
  const double elat = nav_result.lat, elon = nav_result.lon;
  gc_destination(0.0, 0.0, 45.0, 2.0);  // inside, between the end radial and east
  EXPECT_TRUE(in_arc_sector(nav_result.lat, nav_result.lon, 0.0, 0.0, elat, elon, 1));
  gc_destination(0.0, 0.0, 180.0, 2.0);  // opposite the end
  EXPECT_FALSE(in_arc_sector(nav_result.lat, nav_result.lon, 0.0, 0.0, elat, elon, 1));
  gc_destination(0.0, 0.0, 0.0, 5.0);  // beyond the end, along the radial
  EXPECT_FALSE(in_arc_sector(nav_result.lat, nav_result.lon, 0.0, 0.0, elat, elon, 0));
}

TEST(CircleTangentPoints, SixtyDegreesEitherSideFromTwiceTheRadius) {
  const double clat = 40.0, clon = -3.0, r = 2.0;
  ASSERT_EQ(circle_tangent_points(clat, clon, r, clat + 2.0 * r / 60.0, clon), 1);
  const TwoPointResult t = two_point_result;
  EXPECT_NEAR(gc_bearing(clat, clon, t.lat1, t.lon1), 60.0f, 0.1);   // slot 1 east
  EXPECT_NEAR(gc_bearing(clat, clon, t.lat2, t.lon2), 300.0f, 0.1);  // slot 2 west
  EXPECT_NEAR(gc_distance_nm(clat, clon, t.lat1, t.lon1), r, 0.01);
  EXPECT_NEAR(gc_distance_nm(clat, clon, t.lat2, t.lon2), r, 0.01);
  // The point due east across the date line: 60 degrees either side of east.
  for (double c : {179.99, 20.0}) {
    gc_destination(clat, c, 90.0, 2.0 * r);
    const double east = nav_result.lon > 180.0 ? nav_result.lon - 360.0 : nav_result.lon;
    ASSERT_EQ(circle_tangent_points(clat, c, r, nav_result.lat, east), 1) << c;
    EXPECT_NEAR(gc_bearing(clat, c, two_point_result.lat1, two_point_result.lon1), 150.0f, 0.2) << c;
    EXPECT_NEAR(gc_bearing(clat, c, two_point_result.lat2, two_point_result.lon2), 30.0f, 0.2) << c;
    EXPECT_NEAR(gc_distance_nm(clat, c, two_point_result.lat2, two_point_result.lon2), r, 0.01) << c;
  }

  // A far point near a pole, and across 180: the great circle from each
  // tangent point to the point leaves square to the radius there.
  struct Far {
    double clat, clon, r, lat, lon;
  } far[] = {{86.0, 2.3, 9.6, 85.0, 120.0}, {81.0, 0.5, 9.6, 80.0, -120.0}, {-86.0, -177.9, 9.6, -85.0, -60.2}};
  for (const Far& f : far) {
    ASSERT_EQ(circle_tangent_points(f.clat, f.clon, f.r, f.lat, f.lon), 1) << f.clat;
    const float pts[2][2] = {{two_point_result.lat1, two_point_result.lon1}, {two_point_result.lat2, two_point_result.lon2}};
    for (const auto& p : pts) {
      EXPECT_NEAR(gc_distance_nm(f.clat, f.clon, p[0], p[1]), f.r, 0.01) << f.clat;
      const float square = gc_bearing(p[0], p[1], f.clat, f.clon) - gc_bearing(p[0], p[1], f.lat, f.lon);
      EXPECT_NEAR(std::fabs(std::remainder(square, 180.0f)), 90.0f, 0.01) << f.clat << " " << p[0] << "," << p[1];
    }
  }

  // On or inside the circle: no tangent, zeros.
  struct Case {
    double lat, lon;
  } fails[] = {{clat + r / 60.0, clon}, {clat + 0.5 * r / 60.0, clon}, {clat, clon}};
  for (const auto& c : fails) {
    two_point_result = TwoPointResult{1.0f, 1.0f, 1.0f, 1.0f};
    EXPECT_EQ(circle_tangent_points(clat, clon, r, c.lat, c.lon), 0);
    EXPECT_EQ(two_point_result.lat1, 0.0f);
    EXPECT_EQ(two_point_result.lon2, 0.0f);
  }
}

TEST(CircleLineIntersection, ThroughCentreMissAndDegenerate) {
  const double clat = 10.0, clon = 20.0, r = 3.0;
  // A west-east line through the centre: two points 3 nm either side; slot 1
  // on the far (east) side. The same beside the date line, and across it.
  for (double c : {clon, 179.99, -179.99}) {
    const double west = c - 0.5 < -180.0 ? c + 359.5 : c - 0.5;
    const double east = c + 0.5 > 180.0 ? c - 359.5 : c + 0.5;
    ASSERT_EQ(circle_line_intersection(clat, c, r, clat, west, clat, east), 2) << c;
    const TwoPointResult t = two_point_result;
    EXPECT_NEAR(gc_distance_nm(clat, c, t.lat1, t.lon1), r, 0.01) << c;
    EXPECT_NEAR(gc_distance_nm(clat, c, t.lat2, t.lon2), r, 0.01) << c;
    EXPECT_NEAR(gc_bearing(clat, c, t.lat1, t.lon1), 90.0f, 0.1) << c;
    EXPECT_NEAR(gc_bearing(clat, c, t.lat2, t.lon2), 270.0f, 0.1) << c;
    EXPECT_TRUE(t.lon1 >= -180.0f && t.lon1 <= 180.0f && t.lon2 >= -180.0f && t.lon2 <= 180.0f) << c;
  }

  struct Case {
    const char* what;
    double lat1, lon1, lat2, lon2;
  } fails[] = {
      {"coincident points", clat + 0.01, clon, clat + 0.01, clon},
      {"line misses", clat + 0.2, clon - 1.0, clat + 0.2, clon + 1.0},
  };
  for (const auto& c : fails) {
    two_point_result = TwoPointResult{1.0f, 1.0f, 1.0f, 1.0f};
    EXPECT_EQ(circle_line_intersection(clat, clon, r, c.lat1, c.lon1, c.lat2, c.lon2), 0) << c.what;
    EXPECT_EQ(two_point_result.lat1, 0.0f) << c.what;
    EXPECT_EQ(two_point_result.lon1, 0.0f) << c.what;
    EXPECT_EQ(two_point_result.lat2, 0.0f) << c.what;
    EXPECT_EQ(two_point_result.lon2, 0.0f) << c.what;
  }
}

TEST(CourseLineIntersection, ParallelMeridiansAndCrossingBehind) {
  // Same longitude: no candidate; result is the distance to (0, 0).
  const float d = course_line_intersection(30.0, 10.0, 0.0f, 40.0, 10.0, 0.0f);
  EXPECT_EQ(nav_result.lat, 0.0);
  EXPECT_EQ(nav_result.lon, 0.0);
  EXPECT_FLOAT_EQ(d, gc_distance_nm(30.0, 10.0, 0.0, 0.0));

  // The courses meet behind point 1 (point 1 heads away east of the crossing).
  const float d2 = course_line_intersection(10.0, 11.0, 90.0f, 9.0, 10.0, 0.0f);
  EXPECT_NEAR(nav_result.lon, 10.0, 1e-3);
  EXPECT_NEAR(nav_result.lat, 10.0, 0.01);
  EXPECT_NEAR(d2, 59.1f, 0.2);
}

// ---- properties over random points -------------------------------------------------------------

struct RandomPoints {
  std::mt19937 rng{20261207u};
  double lat(double limit = 80.0) { return std::uniform_real_distribution<double>(-limit, limit)(rng); }
  double lon() { return std::uniform_real_distribution<double>(-180.0, 180.0)(rng); }
  double uniform(double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(rng); }
};

TEST(GeodesyProperties, DistanceSymmetricNonNegativeAndANumber) {
  RandomPoints p;
  for (int n = 0; n < 5000; ++n) {
    const double a = p.lat(90.0), b = p.lon(), c = p.lat(90.0), d = p.lon();
    const float d12 = gc_distance_nm(a, b, c, d);
    const float d21 = gc_distance_nm(c, d, a, b);
    ASSERT_FALSE(std::isnan(d12));
    ASSERT_GE(d12, 0.0f);
    ASSERT_LE(d12, 3.1416 * kR);
    ASSERT_EQ(d12, d21) << a << "," << b << " " << c << "," << d;
    // Near-antipodal pairs, where the haversine term rounds past 1.
    const float anti = gc_distance_nm(a, b, -a + p.uniform(-1e-6, 1e-6), b + 180.0 + p.uniform(-1e-6, 1e-6));
    ASSERT_FALSE(std::isnan(anti)) << a << "," << b;
  }
}

TEST(GeodesyProperties, DestinationRoundTrips) {
  RandomPoints p;
  for (int n = 0; n < 5000; ++n) {
    const double lat = p.lat(), lon = p.lon();
    const double course = p.uniform(0.0, 360.0);
    const double dist = p.uniform(1.0, 3000.0);
    gc_destination(lat, lon, course, dist);
    const double lat2 = nav_result.lat, lon2 = nav_result.lon;
    ASSERT_FALSE(std::isnan(lat2) || std::isnan(lon2));
    // The destination carries float coordinates (about 1e-5 degree): a few
    // thousandths of a mile, and a bearing error that shrinks with distance.
    EXPECT_NEAR(gc_distance_nm(lat, lon, lat2, lon2), dist, 0.01 + dist * 2e-6) << n;
    const float back = gc_bearing(lat, lon, lat2, lon2);
    EXPECT_NEAR(navmath::wrap180(back - static_cast<float>(course)), 0.0f, 0.01 + 0.5 / dist) << n;
  }
}

TEST(GeodesyProperties, CourseCrossingsLieOnBothLines) {
  RandomPoints p;
  int found = 0;
  for (int n = 0; n < 3000; ++n) {
    const double lat1 = p.lat(70.0), lon1 = p.lon();
    const double lat2 = lat1 + p.uniform(-5.0, 5.0), lon2 = lon1 + p.uniform(-5.0, 5.0);
    const float c1 = static_cast<float>(p.uniform(0.0, 360.0));
    const float c2 = static_cast<float>(p.uniform(0.0, 360.0));
    const float d = course_line_intersection(lat1, lon1, c1, lat2, lon2, c2);
    ASSERT_FALSE(std::isnan(d));
    const double xl = nav_result.lat, xo = nav_result.lon;
    if (xl == 0.0 && xo == 0.0) continue;
    ++found;
    // Crossings far round the globe carry large float rounding; the path code
    // only uses nearby ones.
    if (d > 2000.0f) continue;
    EXPECT_NEAR(d, gc_distance_nm(lat1, lon1, xl, xo), 1e-3);
    // The crossing against each point's own course line.
    track_errors(xl, xo, lat1, lon1, c1);
    EXPECT_NEAR(nav_result.cross_track, 0.0f, 0.02 + d * 2e-5) << n;
    const float d2 = gc_distance_nm(lat2, lon2, xl, xo);
    track_errors(xl, xo, lat2, lon2, c2);
    EXPECT_NEAR(nav_result.cross_track, 0.0f, 0.02 + d2 * 2e-5) << n;
  }
  EXPECT_GT(found, 2500);
}

TEST(GeodesyProperties, NoNaNAtPolesAndAntimeridian) {
  const double lats[] = {-90.0, -89.9999, 0.0, 89.9999, 90.0};
  const double lons[] = {-180.0, -179.9999, 0.0, 179.9999, 180.0};
  for (double a : lats)
    for (double b : lons)
      for (double c : lats)
        for (double d : lons) {
          ASSERT_FALSE(std::isnan(gc_bearing(a, b, c, d)));
          ASSERT_FALSE(std::isnan(gc_distance_nm(a, b, c, d)));
          gc_intersection(a, b, 45.0, c, d, 300.0);
          ASSERT_FALSE(std::isnan(nav_result.lat) || std::isnan(nav_result.lon)) << a << b << c << d;
          gc_destination(a, b, 33.0, 100.0);
          ASSERT_FALSE(std::isnan(nav_result.lat) || std::isnan(nav_result.lon));
          track_errors(a, b, c, d, 10.0f);
          ASSERT_FALSE(std::isnan(nav_result.cross_track) || std::isnan(nav_result.along_track));
          circle_tangent_points(a, b, 2.0, c, d);
          ASSERT_FALSE(std::isnan(two_point_result.lat1) || std::isnan(two_point_result.lon1));
          circle_line_intersection(a, b, 2.0, a, b, c, d);
          ASSERT_FALSE(std::isnan(two_point_result.lat1) || std::isnan(two_point_result.lon2));
        }
}

}  // namespace
