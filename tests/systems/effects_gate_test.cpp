// De-ice holdover, frost and ice limiting, vortex flags, tyre smoke, and the
// nearest stand finder.
#include <cmath>
#include <cstring>
#include <string>

#include "core/frame_values.h"
#include "core/preprocess_values.h"
#include "navdata/geodesy.h"
#include "navdata/navdb.h"
#include "navdata/nav_tables.h"
#include "panel_fixture.h"
#include "systems/electrical/electrical.h"
#include "systems/ground_services/autogate.h"
#include "systems/ground_services/gse.h"
#include "systems/ice_rain/ice_values.h"
#include "systems/instruments/instrument_values.h"
#include "systems/systems_steps.h"

namespace {

class Effects : public PanelTest {
 protected:
  void SetUp() override {
    PanelTest::SetUp();
    ice_rain_state = IceRainState{};
    touchdown_state = TouchdownEffectState{};
    ice::monster_icing = 0.0f;
  }
};

TEST_F(Effects, HoldoverFillsToItsCeilingAndRunsOutInFlight) {
  frame_time = 0.1f;
  on_ground = 1;
  simhost::set_float("zuvadud/D738/de_ice_truck/act", 1.0f);
  // -20 deg C falls in the -25..-18 band: 2400 s.
  struct Case {
    float temp_c, ceiling_s;
  } cases[] = {{-20.0f, 2400.0f}, {-16.0f, 3000.0f}, {-30.0f, 1800.0f}, {-8.0f, 4800.0f}, {-14.0f, 3900.0f}};
  for (const Case& c : cases) {
    ice_rain_state.holdover_time_s = 0.0f;
    host_mirror.sim_weather_temperature_ambient_c = c.temp_c;
    for (int i = 0; i < 1600; ++i) ice_rain();  // 160 s of spraying
    EXPECT_NEAR(ice_rain_state.holdover_time_s, c.ceiling_s, c.ceiling_s / 1600.0f + 0.5f) << c.temp_c;
    for (int i = 0; i < 100; ++i) ice_rain();  // stays there
    EXPECT_LT(ice_rain_state.holdover_time_s, c.ceiling_s + c.ceiling_s / 1600.0f + 0.5f);
  }
  EXPECT_NEAR(simhost::get_float("zuvadud/D738/de_ice_truck/holdover_time"), ice_rain_state.holdover_time_s, 1e-3);
  ice_rain_state.holdover_time_s = 3000.0f;
  on_ground = 0;
  int frames = 0;
  while (ice_rain_state.holdover_time_s > 0.0f && frames < 1000) {
    ice_rain();
    ++frames;
  }
  EXPECT_EQ(frames, 56);  // 540 s per second of flight
}

TEST_F(Effects, FrostThawsAndGrowsWithTheWindshieldGlassTemperature) {
  frame_time = 1.0f;
  ice_rain_state.frost = 0.5f;
  // Heated panes in freezing air: no frost forms, what there is melts.
  host_mirror.sim_weather_temperature_le_c = -13.0f;
  ice::l_fwd_temp = ice::r_fwd_temp = 30.0f;
  ice_rain();
  EXPECT_NEAR(ice_rain_state.frost, 0.499f, 1e-6);
  // One forward pane below freezing: it frosts, whatever the air.
  host_mirror.sim_weather_temperature_le_c = 5.0f;
  ice::r_fwd_temp = -5.0f;
  ice_rain();
  ice_rain();
  EXPECT_NEAR(ice_rain_state.frost, 0.501f, 1e-6);
  host_mirror.sim_flightmodel_failures_window_ice = 0.2f;
  ice_rain();
  EXPECT_NEAR(ice_rain_state.frost, 0.701f, 1e-6);
  EXPECT_EQ(host_mirror.sim_flightmodel_failures_window_ice, 0.0f);  // consumed
  EXPECT_GT(ice::monster_icing, 0.0f);
}

TEST_F(Effects, WingIceGrowthIsRateLimitedAndHeatRemovesIt) {
  frame_time = 0.5f;
  on_ground = 0;
  host_mirror.sim_flightmodel_failures_frm_ice = 0.1f;  // a jump from 0
  ice_rain();
  EXPECT_FLOAT_EQ(host_mirror.sim_flightmodel_failures_frm_ice, 0.00025f);
  EXPECT_FLOAT_EQ(ice_rain_state.frame_ice_left, 0.00025f);
  // Wing heat on: the kept growth and 0.005/s come off.
  ice_rain_state.frame_ice_left = 0.1f;
  host_mirror.sim_flightmodel_failures_frm_ice = 0.1f;
  ice::wing_l_heat_on = 1.0f;
  ice_rain();
  EXPECT_NEAR(host_mirror.sim_flightmodel_failures_frm_ice, 0.0975f, 1e-6);
  // Inlet: heat removes, no fluid removal.
  ice_rain_state.holdover_time_s = 100.0f;
  ice_rain_state.inlet_ice[1] = 0.2f;
  host_mirror.sim_flightmodel_failures_inlet_ice_per_engine[1] = 0.2f;
  ice_rain();
  EXPECT_FLOAT_EQ(host_mirror.sim_flightmodel_failures_inlet_ice_per_engine[1], 0.2f);
  host_mirror.sim_cockpit2_ice_ice_inlet_heat_on_per_engine[1] = 1;
  ice_rain();
  EXPECT_NEAR(host_mirror.sim_flightmodel_failures_inlet_ice_per_engine[1], 0.1975f, 1e-6);
}

TEST_F(Effects, VortexFlagsFromDewPointAndHeight) {
  HostMirror& m = host_mirror;
  m.sim_weather_barometer_sealevel_inhg = 29.92f;
  m.sim_weather_barometer_current_inhg = 29.92f;
  m.sim_weather_temperature_sealevel_c = 15.0f;
  m.sim_flightmodel2_misc_AoA_angle_degrees = 0.0f;
  // 79 % of sea-level pressure cools 15 deg C air to about -4.5 deg C.
  const float local = (15.0f + 273.15f) * std::pow(0.79f, 0.2857143f) - 273.15f;
  struct Case {
    float ra, dew;
    float v1, v2;
  } cases[] = {{500, local + 0.5f, 1, 0}, {500, local + 1.5f, 1, 1}, {500, local - 0.5f, 0, 0},
               {20, local + 5.0f, 0, 0},  {1500, local + 5.0f, 0, 0}};
  for (const Case& c : cases) {
    frame_flight_data.radio_alt_ft = c.ra;
    m.sim_weather_dewpoi_sealevel_c = c.dew;
    vortex_effect();
    EXPECT_EQ(effect::vortex, c.v1) << c.ra << " " << c.dew;
    EXPECT_EQ(effect::vortex2, c.v2) << c.ra << " " << c.dew;
  }
  m.sim_weather_barometer_sealevel_inhg = 0.0f;
  frame_flight_data.radio_alt_ft = 500.0f;
  vortex_effect();
  EXPECT_EQ(effect::vortex, 0.0f);
}

TEST_F(Effects, OnePuffPerTouchdownAndNoneOnAWetRunway) {
  frame_time = 0.1f;
  HostMirror& m = host_mirror;
  auto frame = [&](int on, float tyre_kt) {
    for (int i = 0; i < 3; ++i) {
      m.sim_flightmodel2_gear_on_ground[i] = on;
      systems::tire_speed[i] = tyre_kt;
    }
    update_touchdown_effect();
  };
  m.sim_flightmodel_position_groundspeed = 140.0f / 1.943844f;
  frame(1, 0.0f);  // skidding at 140 kt: the strongest puff
  EXPECT_NEAR(effect::touchdown[1], 1.0f, 1e-5);
  EXPECT_NEAR(effect::touchdown[0], 0.5f, 1e-5);
  int lit = 1;
  for (int i = 0; i < 10; ++i) lit += effect::touchdown[1] > 0.0f ? (frame(1, 140.0f), effect::touchdown[1] > 0.0f) : 0;
  EXPECT_EQ(lit, 5);  // under 0.55 s at 0.1 s a frame
  // A bounce shorter than a second gives no second puff.
  for (int i = 0; i < 5; ++i) frame(0, 140.0f);
  frame(1, 0.0f);
  EXPECT_EQ(effect::touchdown[1], 0.0f);
  // A full second airborne re-arms.
  for (int i = 0; i < 12; ++i) frame(0, 140.0f);
  m.sim_weather_runway_friction = 1;
  frame(1, 0.0f);
  EXPECT_EQ(effect::touchdown[1], 0.0f);
  m.sim_weather_runway_friction = 0;
  frame(1, 0.0f);
  EXPECT_GT(effect::touchdown[1], 0.0f);
}

class StandFinder : public PanelTest {
 protected:
  void SetUp() override {
    PanelTest::SetUp();
    nav_db_clear();
    stand_cache_clear();
    host_mirror.sim_flightmodel2_gear_on_ground[0] = 1;
    host_mirror.sim_flightmodel_position_latitude = 47.0;
    host_mirror.sim_flightmodel_position_longitude = 8.0;
    std::snprintf(nearest_airport_code, sizeof nearest_airport_code, "LSZH");
  }
  static void add_gate(const char* icao, const char* name, double bearing, double dist_nm, int is_gate) {
    gc_destination(47.0, 8.0, bearing, dist_nm);
    NavGate* g = nav_gate_slot();
    *g = NavGate{};
    std::snprintf(g->icao, sizeof g->icao, "%s", icao);
    std::snprintf(g->name, sizeof g->name, "%s", name);
    g->lat = static_cast<float>(nav_result.lat);
    g->lon = static_cast<float>(nav_result.lon);
    g->is_gate = is_gate;
    nav_commit_gate();
  }
  static float f(const char* name) { return simhost::get_float(name); }
};

TEST_F(StandFinder, NearestStandNameAndPower) {
  add_gate("LSZH", "B31", 90.0, 0.0065, 1);
  add_gate("LSZH", "B32", 270.0, 0.0065, 0);  // same measure: the first wins
  add_gate("LSZH", "E10", 0.0, 0.02, 1);
  add_gate("LSZZ", "X1", 0.0, 0.006, 1);       // another airport
  autogate_nearest();
  EXPECT_NEAR(f("zuvadud/D738/autogate_nearest"), 0.0005f, 5e-5);
  EXPECT_EQ(simhost::get_text("zuvadud/D738/autogate_nearest_name"), "B31");
  EXPECT_EQ(f("zuvadud/D738/autogate_gpu"), 1.0f);
  EXPECT_STREQ(nearest_gate_airport, "LSZH");  // the gate connection's stand
  EXPECT_EQ(nearest_gate_gpu, 1.0f);
  EXPECT_EQ(f("zuvadud/D738/de_ice_truck_available"), 1.0f);
  EXPECT_EQ(f("zuvadud/D738/fms/center_line"), 0.0f);
  // Nose wheel lifted: the airborne defaults at once.
  host_mirror.sim_flightmodel2_gear_on_ground[0] = 0;
  autogate_nearest();
  EXPECT_EQ(f("zuvadud/D738/autogate_nearest"), 999.0f);
  EXPECT_EQ(simhost::get_text("zuvadud/D738/autogate_nearest_name"), "");
  EXPECT_STREQ(nearest_gate_airport, "");
  EXPECT_EQ(nearest_gate_gpu, 0.0f);
  EXPECT_EQ(f("zuvadud/D738/de_ice_truck_available"), 0.0f);
  EXPECT_EQ(stand_cache.valid, 1);  // kept below 50 ft
}

TEST_F(StandFinder, FarStandGivesNameButNoPowerAndBadCodesGiveDefaults) {
  add_gate("LSZH", "C5", 45.0, 0.016, 1);  // measure 0.010 nm
  autogate_nearest();
  EXPECT_EQ(simhost::get_text("zuvadud/D738/autogate_nearest_name"), "C5");
  EXPECT_EQ(f("zuvadud/D738/autogate_gpu"), 0.0f);
  EXPECT_STREQ(nearest_gate_airport, "LSZH");  // an airport's only stand is still its stand
  std::snprintf(nearest_airport_code, sizeof nearest_airport_code, "LSZ");
  autogate_nearest();
  EXPECT_EQ(f("zuvadud/D738/autogate_nearest"), 999.0f);
  EXPECT_EQ(f("zuvadud/D738/de_ice_truck_available"), 1.0f);
  // An airport with no stands publishes 0 and an empty name.
  std::snprintf(nearest_airport_code, sizeof nearest_airport_code, "LFPG");
  autogate_nearest();
  EXPECT_EQ(f("zuvadud/D738/autogate_nearest"), 0.0f);
  EXPECT_EQ(simhost::get_text("zuvadud/D738/autogate_nearest_name"), "");
  std::snprintf(nearest_airport_code, sizeof nearest_airport_code, "#ABC");
  autogate_nearest();
  EXPECT_EQ(stand_cache.gate_count, 0);
}

TEST_F(StandFinder, CentreLineOfARunwayAhead) {
  // Runway along 090 through a point 15.6 m ahead of the aircraft on track 090.
  host_mirror.sim_cockpit2_gauges_indicators_ground_track_mag_pilot = 90.0f;
  gc_destination(47.0, 8.0, 270.0, 1.0);
  NavRunway* r = nav_runway_slot();
  *r = NavRunway{};
  std::snprintf(r->icao, sizeof r->icao, "LSZH");
  r->lat1 = static_cast<float>(nav_result.lat);
  r->lon1 = static_cast<float>(nav_result.lon);
  gc_destination(47.0, 8.0, 90.0, 1.0);
  r->lat2 = static_cast<float>(nav_result.lat);
  r->lon2 = static_cast<float>(nav_result.lon);
  nav_commit_runway();
  autogate_nearest();
  EXPECT_EQ(f("zuvadud/D738/fms/center_line"), 1.0f);
  host_mirror.sim_cockpit2_gauges_indicators_ground_track_mag_pilot = 270.0f;  // rolling the other way
  autogate_nearest();
  EXPECT_EQ(f("zuvadud/D738/fms/center_line"), 1.0f);
  // Within 0.18 degrees of the line as seen from its ends: 1.6 m aside is on it, 2.6 m is not.
  const double aside[][2] = {{1.6, 1.0}, {2.6, 0.0}};
  for (const auto& a : aside) {
    host_mirror.sim_flightmodel_position_latitude = 47.0 + a[0] / 111195.0;
    autogate_nearest();
    EXPECT_EQ(f("zuvadud/D738/fms/center_line"), a[1]) << a[0];
  }
  // 100 m to the side: off the line.
  host_mirror.sim_flightmodel_position_latitude = 47.0009;
  stand_cache.valid = 0;
  autogate_nearest();
  EXPECT_EQ(f("zuvadud/D738/fms/center_line"), 0.0f);
}

TEST_F(StandFinder, CentreLineAcrossNorth) {
  // A 36/18 runway whose first end is the northern one; the aircraft rolls
  // north about 0.8 m to either side of the line.
  host_mirror.sim_cockpit2_gauges_indicators_ground_track_mag_pilot = 0.0f;
  gc_destination(47.0, 8.0, 0.0, 1.0);
  NavRunway* r = nav_runway_slot();
  *r = NavRunway{};
  std::snprintf(r->icao, sizeof r->icao, "LSZH");
  r->lat1 = static_cast<float>(nav_result.lat);
  r->lon1 = static_cast<float>(nav_result.lon);
  gc_destination(47.0, 8.0, 180.0, 1.0);
  r->lat2 = static_cast<float>(nav_result.lat);
  r->lon2 = static_cast<float>(nav_result.lon);
  nav_commit_runway();
  for (double lon : {8.00001, 7.99999}) {
    host_mirror.sim_flightmodel_position_longitude = lon;
    autogate_nearest();
    EXPECT_EQ(f("zuvadud/D738/fms/center_line"), 1.0f) << lon;
  }
}

TEST_F(StandFinder, GroundObjectsSitBehindAndLeftForPositiveOffsets) {
  struct Case {
    float heading, a, b, turn;
    float dx, dz, out_heading;
  };
  // Local x points east, z south.
  const Case cases[] = {
      {0.0f, 10.0f, 0.0f, 0.0f, 0.0f, 10.0f, 0.0f},     // behind: south
      {0.0f, 0.0f, 10.0f, 0.0f, -10.0f, 0.0f, 0.0f},    // left: west
      {0.0f, -10.0f, 0.0f, 0.0f, 0.0f, -10.0f, 0.0f},   // ahead: north
      {0.0f, 0.0f, -10.0f, 0.0f, 10.0f, 0.0f, 0.0f},    // right: east
      {90.0f, 10.0f, 0.0f, 0.0f, -10.0f, 0.0f, 90.0f},  // heading east, behind: west
      {90.0f, -17.85f, -3.6f, 0.0f, 17.85f, 3.6f, 90.0f},
      {350.0f, 0.0f, 10.0f, 30.0f, -10.0f * std::cos(0.17453292f), 10.0f * std::sin(0.17453292f), 20.0f},
  };
  ASSERT_EQ(terrain_probe, nullptr);
  for (const Case& c : cases) {
    XPLMDrawInfo_t rec{};
    rec.structSize = sizeof rec;
    rec.x = 100.0f;
    rec.y = 7.0f;
    rec.z = 200.0f;
    rec.heading = c.heading;
    EXPECT_FALSE(place_ground_object(rec, nullptr, nullptr, c.a, c.b, c.turn)) << "no instance";
    EXPECT_NEAR(rec.x, 100.0f + c.dx, 1e-3f) << c.heading << " " << c.a << " " << c.b;
    EXPECT_NEAR(rec.z, 200.0f + c.dz, 1e-3f) << c.heading << " " << c.a << " " << c.b;
    EXPECT_NEAR(rec.heading, c.out_heading, 1e-3f);
    EXPECT_EQ(rec.y, 0.0f) << "no terrain under it: height 0";
  }
  // The slot step anchors the aircraft and folds the first instance value.
  host_mirror.sim_flightmodel_position_local_x = 12.0;
  host_mirror.sim_flightmodel_position_local_z = -3.0;
  float data[2] = {50.0f, 50.0f};
  EXPECT_FALSE(gse_place(gse_gpu, data));
  EXPECT_EQ(data[0], -40.0f);
  EXPECT_EQ(data[1], 50.0f);
  EXPECT_EQ(gse_anchors[gse_gpu].x_m, 12.0f);
  EXPECT_EQ(gse_anchors[gse_gpu].z_m, -3.0f);
  data[0] = 45.0f;
  gse_place(gse_gpu, data);
  EXPECT_EQ(data[0], 45.0f);
}

}  // namespace
