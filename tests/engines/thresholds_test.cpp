// The start model's published numbers: every windmill table row on both sides
// of each altitude band edge, the vibration law's breakpoints and the in-flight
// start envelope's speed band.
#include <cmath>

#include "engine_fixture.h"
#include "engines/engine_start.h"
#include "systems/instrument_values.h"

namespace {

// Windmill rows (percent) at 0, 15000, 25000, 35000 and 45000 ft, Mach 0 .. 0.9.
constexpr float kN1[5][10] = {
    {0, 7.51f, 10.96f, 13.45f, 16.13f, 18.34f, 20.52f, 22.3f, 21.98f, 22.28f},
    {0, 7.13f, 10.41f, 12.77f, 15.32f, 17.43f, 19.5f, 21.19f, 23.13f, 23.45f},
    {0, 6.87f, 10.03f, 12.3f, 14.76f, 16.78f, 18.78f, 20.41f, 22.27f, 22.59f},
    {0, 6.6f, 9.63f, 11.81f, 14.17f, 16.11f, 18.03f, 19.59f, 21.39f, 21.69f},
    {0, 6.34f, 9.25f, 11.34f, 13.6f, 15.47f, 17.31f, 18.81f, 20.54f, 20.82f},
};
// The top row past Mach 0.4 is our own continuation, so it is left out below.
constexpr float kN2[5][10] = {
    {0, 0, 3.64f, 6.95f, 10.27f, 12.08f, 15.24f, 17.23f, 19.83f, 20.12f},
    {0, 0, 3.45f, 6.59f, 9.72f, 11.44f, 14.43f, 16.32f, 18.78f, 19.06f},
    {0, 0, 3.32f, 6.33f, 9.34f, 10.99f, 13.87f, 15.68f, 18.04f, 18.31f},
    {0, 0, 3.18f, 6.06f, 8.95f, 10.53f, 13.28f, 15.02f, 17.28f, 17.54f},
    {0, 0, 3.05f, 5.82f, 8.58f, 0, 0, 0, 0, 0},
};

TEST(WindmillTable, EveryRowOnBothSidesOfEachAltitudeBand) {
  // Each altitude band runs from 0 ft on its lower row to its top on the
  // upper row, so the value jumps where a band starts.
  struct Band {
    float h;
    int lower;  // row index below; the row above is lower + 1
    float top;
  } bands[] = {{0, 0, 15000},         {14999, 0, 15000},     {15000, 1, 25000}, {24999, 1, 25000},
               {25000, 2, 35000},     {34999, 2, 35000},     {35000, 3, 45000}, {45000, 3, 45000}};
  for (const Band& b : bands) {
    const float t = b.h / b.top;
    for (int col = 1; col <= 9; ++col) {
      const float m = 0.1f * static_cast<float>(col) - 0.05f;  // mid-way between columns col-1 and col
      auto row = [&](const float (*table)[10], int r, float x0) {
        const float lo = table[r][col - 1];
        const float hi = table[r][col];
        const float f = (m - x0) / (0.1f * static_cast<float>(col) - x0);
        return lo + (hi - lo) * f;
      };
      // In the first band below 15000 ft the N1 rows start at Mach 0.01.
      const float x0 = col == 1 && b.h < 15000.0f ? 0.01f : 0.1f * static_cast<float>(col - 1);
      const float n1 = row(kN1, b.lower, x0) + (row(kN1, b.lower + 1, x0) - row(kN1, b.lower, x0)) * t;
      const float x2 = 0.1f * static_cast<float>(col - 1);
      const float n2 = row(kN2, b.lower, x2) + (row(kN2, b.lower + 1, x2) - row(kN2, b.lower, x2)) * t;
      float got1 = 0.0f;
      float got2 = 0.0f;
      windmill_floor(b.h, m, 0.0f, &got1, &got2);
      EXPECT_NEAR(got1, n1, 2e-3f) << b.h << " ft, Mach " << m;
      if (b.lower < 3 || col <= 4) {
        EXPECT_NEAR(got2, n2, 2e-3f) << b.h << " ft, Mach " << m;
      }
    }
  }
  // At 0 ft the grid values themselves, read at the column's own Mach.
  float n1 = 0.0f;
  float n2 = 0.0f;
  windmill_floor(0.0f, 0.55f, 0.0f, &n1, &n2);
  EXPECT_NEAR(n1, (18.34f + 20.52f) / 2, 1e-3f);
  EXPECT_NEAR(n2, (12.08f + 15.24f) / 2, 1e-3f);
  // Wind alone turns a parked engine's fan in the first band (N1 only).
  windmill_floor(0.0f, 0.0f, 0.1f, &n1, &n2);
  EXPECT_NEAR(n1, 7.51f, 1e-3f);
  EXPECT_EQ(n2, 0.0f);
}

TEST(VibrationLaw, BreakpointsOfBothEngines) {
  struct Row {
    float n1, engine1, engine2;
  } rows[] = {{-1, 0, 0},        {5, 90.5f, 99},     {10, 181, 198},      {23.5f, 151, 150.5f},
              {37, 121, 103},    {71, 134, 129.5f},  {105, 147, 156},     {120, 147, 156}};
  for (const Row& r : rows) {
    EXPECT_NEAR(vibration_target(0, r.n1), r.engine1, 1e-3f) << r.n1;
    EXPECT_NEAR(vibration_target(1, r.n1), r.engine2, 1e-3f) << r.n1;
  }
}

using StartEnvelope = EngineTest;

TEST_F(StartEnvelope, SpeedBandAndCeiling) {
  // Engine 1 stopped, engine 2 running: the cross-bleed start is offered only
  // inside the band; above its top the windmill start is.
  host_mirror.sim_cockpit2_gauges_indicators_radio_altimeter_height_ft_pilot = 5000.0f;
  host_mirror.sim_flightmodel2_engines_N1_percent[0] = 16.9f;
  host_mirror.sim_flightmodel2_engines_N1_percent[1] = 17.1f;
  host_mirror.sim_flightmodel_engine_ENGN_running[1] = 1;
  struct Row {
    float alt_ft, ias;
    float xbld, wms;
  } rows[] = {
      {10000, 139, 0, 0},   {10000, 141, 1, 0},   {10000, 299, 1, 0},   {10000, 301, 0, 1},
      {17500, 179, 0, 0},   {17500, 181, 1, 0},   {17500, 294.5f, 1, 0}, {17500, 295.5f, 0, 1},
      {22000, 219, 0, 0},   {22000, 221, 1, 0},   {22000, 285, 1, 0},     {22000, 285.5f, 0, 1},
      {23990, 250, 1, 0},   {24010, 250, 0, 0},   {24010, 400, 0, 0},
  };
  for (const Row& r : rows) {
    systems::xbld_start1 = 0.0f;  // outside the band the flag keeps its value
    host_mirror.sim_flightmodel_position_elevation = r.alt_ft / 3.281;
    host_mirror.sim_cockpit2_gauges_indicators_airspeed_kts_pilot = r.ias;
    update_inflight_start_envelope();
    EXPECT_EQ(systems::xbld_start1, r.xbld) << r.alt_ft << " ft " << r.ias << " kt";
    EXPECT_EQ(systems::xbld_start2, 0.0f) << r.alt_ft << " ft " << r.ias << " kt";
    EXPECT_EQ(systems::wms, r.wms) << r.alt_ft << " ft " << r.ias << " kt";
  }
  // Both sides of the 17 % N1 line and of the 50 ft radio height.
  host_mirror.sim_flightmodel_position_elevation = 10000.0 / 3.281;
  host_mirror.sim_cockpit2_gauges_indicators_airspeed_kts_pilot = 250.0f;
  host_mirror.sim_flightmodel2_engines_N1_percent[1] = 16.9f;
  update_inflight_start_envelope();
  EXPECT_EQ(systems::xbld_start1, 0.0f);
  host_mirror.sim_flightmodel2_engines_N1_percent[1] = 17.1f;
  host_mirror.sim_flightmodel2_engines_N1_percent[0] = 17.1f;
  update_inflight_start_envelope();
  EXPECT_EQ(systems::xbld_start1, 0.0f);
  host_mirror.sim_flightmodel2_engines_N1_percent[0] = 16.9f;
  systems::xbld_start1 = 1.0f;
  host_mirror.sim_cockpit2_gauges_indicators_radio_altimeter_height_ft_pilot = 50.0f;
  update_inflight_start_envelope();
  EXPECT_EQ(systems::xbld_start1, 0.0f);
  host_mirror.sim_cockpit2_gauges_indicators_radio_altimeter_height_ft_pilot = 51.0f;
  update_inflight_start_envelope();
  EXPECT_EQ(systems::xbld_start1, 1.0f);
}

}  // namespace
