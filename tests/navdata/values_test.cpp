// Arc sectors on both sides of their 90-degree limits, each shifted 10
// degrees against the turn.
#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>

#include <cstdio>

#include "core/binding.h"

#include "navdata/air_data.h"
#include "navdata/airport_lookup.h"
#include "navdata/geodesy.h"
#include "navdata/nav_tables.h"
#include "navdata/navdb.h"
#include "navdata/line_split.h"

namespace {

TEST(ArcSectorLimits, TenDegreeShiftAgainstTheTurnOnBothSides) {
  // Centre (0, 0); the arc ends 3 nm due north. A point is placed at `dist`
  // nm on `bearing` from the centre (from_end false) or from the end.
  gc_destination(0.0, 0.0, 0.0, 3.0);
  const double elat = nav_result.lat, elon = nav_result.lon;
  struct Row {
    bool from_end;
    double bearing, dist;
    int turn;
    bool inside;
  };
  const Row rows[] = {
      // Seen from the centre: within 90 degrees of the end radial plus 10 (left
      // turns) or minus 10 (right turns).
      {false, 99, 2, 0, true},   {false, 101, 2, 0, false}, {false, 281, 2, 2, true}, {false, 278, 2, 2, false},
      {false, 79, 2, 1, true},   {false, 81, 2, 3, false},  {false, 261, 2, 3, true}, {false, 259, 2, 1, false},
      // Seen from the end: within 90 degrees of the centre minus 10 (left) or plus 10 (right).
      {true, 81, 1, 0, true},    {true, 79, 1, 2, false},   {true, 101, 1, 1, true},  {true, 99, 1, 3, false},
  };
  for (const Row& r : rows) {
    gc_destination(r.from_end ? elat : 0.0, r.from_end ? elon : 0.0, r.bearing, r.dist);
    EXPECT_EQ(in_arc_sector(nav_result.lat, nav_result.lon, 0.0, 0.0, elat, elon, r.turn), r.inside)
        << (r.from_end ? "from the end " : "from the centre ") << r.bearing << " turn " << r.turn;
  }
}

// With a gain of 0.8 the shaped angle passes 10 degrees while the arcsine
// angle is still below 12.5: the unshaped angle then already takes the ramp.
TEST(InterceptGain, RampBeginsWithTheShapedAngle) {
  host_mirror.sim_flightmodel_position_groundspeed = 100.0f;  // turn radius 1.3055 nm at 25 degrees
  struct Row {
    float offset_nm, angle;
  };
  const Row rows[] = {{0.2155f, -8.6659f}, {0.2491f, -10.3719f}, {0.2714f, -11.5806f}};  // 9.5, 11, 12 degrees
  for (const Row& r : rows) {
    EXPECT_NEAR(intercept_angle_for_offset(r.offset_nm, 25.0f, 0.8f, 45.0f), r.angle, 2e-3f) << r.offset_nm;
  }
  host_mirror.sim_flightmodel_position_groundspeed = 0.0f;
}

// The largest float stays itself; only what lies beyond it becomes infinite.
TEST(NumberLimits, LargestFloatIsNotInfinite) {
  EXPECT_EQ(to_f32(static_cast<double>(FLT_MAX)), FLT_MAX);
  EXPECT_EQ(to_f32(-static_cast<double>(FLT_MAX)), -FLT_MAX);
  EXPECT_TRUE(std::isinf(to_f32(1e39)));
}

// A database holding a single runway and a single stand still finds them.
TEST(AirportLists, OneRunwayAndOneStandAreFound) {
  nav_db_clear();
  NavRunway* r = nav_runway_slot();
  *r = NavRunway{};
  std::snprintf(r->icao, sizeof r->icao, "LSZH");
  std::snprintf(r->runway, sizeof r->runway, "28");
  nav_commit_runway();
  NavGate* g = nav_gate_slot();
  *g = NavGate{};
  std::snprintf(g->icao, sizeof g->icao, "LSZH");
  std::snprintf(g->name, sizeof g->name, "A1");
  nav_commit_gate();
  EXPECT_EQ(runways_of_airport("LSZH"), 1);
  EXPECT_EQ(gates_of_airport("LSZH"), 1);
  nav_db_clear();
}

}  // namespace
