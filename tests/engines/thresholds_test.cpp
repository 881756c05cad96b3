// The engine model's published numbers: every thrust table row at every
// breakpoint, the thrust-fraction and run-down curves point by point, every
// windmill row on both sides of each altitude band edge, the vibration law's
// breakpoints and the in-flight start envelope's speed band.
#include <cmath>
#include <iterator>
#include <vector>

#include "engine_fixture.h"
#include "engines/engine_start.h"
#include "engines/thrust_tables.h"
#include "systems/instruments/instrument_values.h"

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

using ThrustTableRows = EngineTest;

TEST_F(ThrustTableRows, EveryRowAtEveryBreakpoint) {
  struct Family {
    int host;
    float family;
    int row;
    std::vector<float> n1;
  };
  const std::vector<float> older = {0, 0.11f, 0.22f, 0.35f, 0.5f, 0.65f, 0.82f, 1.0f};
  const std::vector<float> newer = {0, 0.05f, 0.1f, 0.15f, 0.2f, 0.25f, 0.3f, 0.4f, 0.5f, 0.6f, 0.7f, 0.8f, 0.9f, 1.0f};
  const Family rows[] = {
      {110000, 0, 0, {0.19f, 0.349f, 0.47f, 0.59f, 0.712f, 0.821f, 0.934f, 1.045f}},
      {110000, 0, 1, {0.195f, 0.352f, 0.472f, 0.592f, 0.712f, 0.821f, 0.934f, 1.044f}},
      {110000, 0, 2, {0.208f, 0.36f, 0.477f, 0.596f, 0.715f, 0.823f, 0.935f, 1.044f}},
      {110000, 0, 3, {0.221f, 0.368f, 0.484f, 0.6f, 0.718f, 0.824f, 0.935f, 1.044f}},
      {110000, 0, 4, {0.226f, 0.371f, 0.486f, 0.601f, 0.719f, 0.825f, 0.935f, 1.044f}},
      {110000, 0, 5, {0.237f, 0.379f, 0.491f, 0.605f, 0.721f, 0.827f, 0.936f, 1.043f}},
      {110000, 1, 0, {0.42f, 0.511f, 0.591f, 0.678f, 0.771f, 0.856f, 0.946f, 1.036f}},
      {110000, 2, 1, {0.3f, 0.421f, 0.522f, 0.628f, 0.736f, 0.835f, 0.939f, 1.041f}},
      {120000, 1, 0, {0.46f, 0.474f, 0.489f, 0.502f, 0.516f, 0.529f, 0.576f, 0.66f, 0.734f, 0.801f, 0.863f, 0.921f, 0.976f, 1.029f}},
      {120000, 1, 1, {0.442f, 0.464f, 0.483f, 0.501f, 0.519f, 0.539f, 0.586f, 0.67f, 0.744f, 0.812f, 0.874f, 0.932f, 0.986f, 1.039f}},
      {120000, 1, 2, {0.356f, 0.392f, 0.425f, 0.455f, 0.484f, 0.51f, 0.564f, 0.657f, 0.737f, 0.809f, 0.875f, 0.936f, 0.993f, 1.047f}},
      {120000, 2, 0, {0.46f, 0.474f, 0.489f, 0.502f, 0.516f, 0.529f, 0.576f, 0.66f, 0.734f, 0.801f, 0.863f, 0.921f, 0.976f, 1.029f}},
      {120000, 2, 1, {0.444f, 0.464f, 0.483f, 0.501f, 0.519f, 0.539f, 0.586f, 0.67f, 0.744f, 0.812f, 0.874f, 0.932f, 0.986f, 1.039f}},
      {120000, 2, 2, {0.391f, 0.419f, 0.444f, 0.467f, 0.489f, 0.51f, 0.564f, 0.657f, 0.737f, 0.809f, 0.875f, 0.936f, 0.993f, 1.047f}},
  };
  for (const Family& f : rows) {
    start(f.host);
    const std::vector<float>& x = f.host < 120000 ? older : newer;
    ASSERT_EQ(x.size(), f.n1.size());
    for (size_t i = 0; i < x.size(); ++i) {
      EXPECT_NEAR(n1_table_lookup_alt(x[i], f.row, f.family), f.n1[i], 1e-6f)
          << f.host << " family " << f.family << " row " << f.row << " at " << x[i];
      EXPECT_NEAR(n1_table_lookup(f.n1[i], f.row, f.family), x[i], 1e-5f)
          << f.host << " family " << f.family << " row " << f.row << " at " << x[i];
    }
  }
  start(110000);
  EXPECT_FLOAT_EQ(thrust_tables.throttle_max, 1.08f);
  EXPECT_FLOAT_EQ(thrust_tables.reverse_max, 0.57f);
  start(120000);
  EXPECT_FLOAT_EQ(thrust_tables.throttle_max, 1.12f);
  EXPECT_FLOAT_EQ(thrust_tables.reverse_max, 0.69f);
  // The ground-idle density term, inside and at both ends of its clamp.
  struct Sigma {
    float sigma, term;
  } sigmas[] = {{0.3f, 0.6902524f}, {0.547701f, 0.6902524f}, {1.0f, 0.0377809f}, {1.138135f, 0}, {1.3f, 0}};
  for (const Sigma& k : sigmas) EXPECT_NEAR(ground_idle_density_term(k.sigma), k.term, 1e-6f) << k.sigma;
}

TEST(ThrustFraction, EveryPointOfTheCurve) {
  std::vector<float> fraction = {0};
  for (int i = 1; i <= 20; ++i) fraction.push_back(0.001f * static_cast<float>(i));
  for (int i = 3; i <= 20; ++i) fraction.push_back(0.01f * static_cast<float>(i));
  for (int i = 5; i <= 21; ++i) fraction.push_back(0.05f * static_cast<float>(i));
  fraction.push_back(1.1f);
  fraction.push_back(1.12f);
  const float n1[] = {
      19.019285f, 19.019285f, 19.019285f, 19.019285f, 19.125874f, 19.395052f, 19.660477f, 19.922125f, 20.180277f,
      20.434858f, 20.686214f, 20.934423f, 21.179457f, 21.421623f, 21.660837f, 21.897434f, 22.131187f, 22.362495f,
      22.591232f, 22.817507f, 23.041565f, 25.165724f, 27.114529f, 28.924425f, 30.621269f, 32.223293f, 33.744469f,
      35.195847f, 36.585583f, 37.921192f, 39.208035f, 40.45113f,  41.654613f, 42.822208f, 43.956036f, 45.059521f,
      46.13488f,  47.183975f, 48.208282f, 53.014099f, 57.39093f,  61.434525f, 65.209801f, 68.76265f,  72.127617f,
      75.330971f, 78.393562f, 81.331909f, 84.159622f, 86.888229f, 89.527336f, 92.084579f, 94.567307f, 96.981377f,
      99.332115f, 101.624031f, 103.861443f, 104.741905f};
  ASSERT_EQ(fraction.size(), std::size(n1));
  for (size_t i = 0; i < fraction.size(); ++i) {
    EXPECT_NEAR(n1_from_thrust_fraction(fraction[i]), n1[i], 1e-4f) << fraction[i];
    if (i >= 3) {
      EXPECT_NEAR(thrust_fraction_from_n1(n1[i]), fraction[i], 1e-5f) << n1[i];
    }
  }
}

TEST(RunDown, CurvesPointByPoint) {
  // One-second frames walk both curves through their points.
  const float seconds[] = {6, 7, 10, 15, 19, 24, 31, 43, 62, 70};
  const float n1[] = {12.1f, 11, 9, 7, 5.9f, 4.9f, 4, 3, 2, 1.7f};
  const float n2[] = {40.7f, 37.5f, 32.1f, 25.9f, 22.3f, 18.6f, 14.8f, 10.4f, 4.2f, 1.7f};
  frame_time = 1.0f;
  float a = 19.2f;
  float b = 59.8f;
  int t = 0;
  for (int i = 0; i < 10; ++i) {
    for (; t < static_cast<int>(seconds[i]); ++t) {
      a = n1_rundown_step(a);
      b = n2_rundown_step(b);
    }
    EXPECT_NEAR(a, n1[i], 2e-3f) << t << " s";
    EXPECT_NEAR(b, n2[i], 2e-3f) << t << " s";
  }
  // The last stretch: N1 reaches 0 at 106 s, N2 at 103 s.
  for (; t < 102; ++t) {
    a = n1_rundown_step(a);
    b = n2_rundown_step(b);
  }
  EXPECT_NEAR(a, 1.7f * 4 / 36, 2e-3f);
  EXPECT_NEAR(b, 1.7f / 33, 2e-3f);
  EXPECT_NEAR(n2_rundown_step(b), 0.0f, 1e-5f);
  frame_time = 0.05f;
}

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
  } rows[] = {{-1, 0, 0},         {5, 90.5f, 99},       {10, 181, 198},        {11, 178.7778f, 194.4815f},
              {23.5f, 151, 150.5f}, {37, 121, 103},       {40, 122.1471f, 105.3382f}, {71, 134, 129.5f},
              {105, 147, 156},      {110, 147, 156}};
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
      {10000, 140, 1, 0},   {10000, 300, 1, 0},
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
