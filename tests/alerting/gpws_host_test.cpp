// The GPWS as the host and its neighbours see it: the aircraft powered from
// ground power; a radio-altitude callout for the sound scripts, the links to
// the terrain-radar and runway-awareness add-ons, and the structural-damage
// hold after a load.
#include <gtest/gtest.h>

#include <string>

#include "host.h"
#include "platform/xplm.h"

namespace {

class GpwsThroughHost : public ::testing::Test {
 protected:
  void SetUp() override {
    simhost::Config config;
    config.acf = "737_80NG.acf";
    config.host_version = 120000;
    // Both outside add-ons installed.
    for (const char* n : {"terrain_radar/gpws/terrain_prediction/enable_terrain_prediction",
                          "terrain_radar/gpws/terrain_prediction/enable_aural_messages",
                          "terrain_radar/gpws/terrain_prediction/is_active", "terrain_radar/gpws/terrain_prediction/state",
                          "terrain_radar/display1/high_elevation_altitude", "terrain_radar/display1/high_elevation_color",
                          "terrain_radar/display1/low_elevation_altitude", "terrain_radar/display1/low_elevation_color",
                          "terrain_radar/display2/high_elevation_altitude", "terrain_radar/display2/high_elevation_color",
                          "terrain_radar/display2/low_elevation_altitude", "terrain_radar/display2/low_elevation_color"})
      config.extra.push_back({std::string("hollvik/") + n, 1, 1, true, "0"});
    config.extra.push_back({"hollvik/terrain_radar/version", 1, 1, true, "102100"});
    for (const char* n : {"GPWS_prio", "GPWS_prio_act", "GPWS_inop", "GPWS_inop_act", "Vref", "Vref_act", "takeoff_flaps",
                          "landing_flaps"})
      config.extra.push_back({std::string("xraas/override/") + n, 1, 1, true, "0"});
    for (const char* n : {"takeoff_flaps_min_act", "takeoff_flaps_max_act", "landing_flaps_min_act", "landing_flaps_max_act"})
      config.extra.push_back({std::string("xraas/override/") + n, 2, 1, true, "0"});
    simhost::reset(config);
    std::string error;
    ASSERT_TRUE(simhost::load_and_start(CORVANE_MODULE_PATH, &error)) << error;
    simhost::set_ints("sim/flightmodel2/gear/on_ground", {1, 1, 1});
    simhost::set_floats("sim/cockpit2/electrical/battery_voltage_actual_volts", {24.0f, 24.0f, 24.0f});
    simhost::frames(2, 0.05f);
    XPLMSetDataf(XPLMFindDataRef("zuvadud/D738/electric/battery_pos"), 1.0f);
    simhost::frames(15, 0.05f);
    simhost::set_int("sim/cockpit/electrical/gpu_on", 1);
    simhost::frames(5, 0.05f);
    ASSERT_EQ(simhost::get_float("zuvadud/D738/electric/ac_tnsbus1_status"), 1.0f);
    simhost::set_float("zuvadud/D738/FMS/flight_phase", 6.0f);
    simhost::set_float("sim/flightmodel/position/vh_ind_fpm", -700.0f);
  }
  void TearDown() override { simhost::reset(); }

  static void radio_altitude(float ft) {
    simhost::set_float("sim/cockpit2/gauges/indicators/radio_altimeter_height_ft_pilot", ft);
    simhost::set_float("sim/cockpit2/gauges/indicators/radio_altimeter_height_ft_copilot", ft);
  }
};

TEST_F(GpwsThroughHost, FiveHundredCalledOnceOnTheWayDown) {
  const char* flag = "zuvadud/d738/fmod/callouts_500";
  // At an approach speed, once the airspeed indicators have come up to it:
  // AIRSPEED LOW would hold the callout.
  simhost::set_float("sim/flightmodel/position/indicated_airspeed", 150.0f);
  simhost::frames(60, 0.05f);
  radio_altitude(600.0f);
  simhost::frames(5, 0.05f);
  EXPECT_EQ(simhost::get_float(flag), 0.0f);
  radio_altitude(505.0f);
  simhost::frames(2, 0.05f);
  EXPECT_EQ(simhost::get_float(flag), 1.0f);
  // The flag drops after its hold and does not sound again below.
  radio_altitude(480.0f);
  simhost::frames(140, 0.05f);
  EXPECT_EQ(simhost::get_float(flag), 0.0f);
  radio_altitude(470.0f);
  simhost::frames(20, 0.05f);
  EXPECT_EQ(simhost::get_float(flag), 0.0f);
}

// The terrain radar's elevations reach both displays in hundreds of feet
// (rounded toward the ground on the low side, away from it on the high
// side), its warning reaches the GPWS, and the inhibit switch turns its
// prediction off. Its own voice is always kept off.
TEST_F(GpwsThroughHost, TerrainRadarLink) {
  const std::string radar = "hollvik/terrain_radar/";
  struct Case {
    int low, high;
    float shown_low, shown_high;
  } cases[] = {{-150, 150, -1, 2}, {0, 100, 0, 1}, {150000, 150000, 999, 999}, {-20000, -20000, -99, -99}};
  for (const Case& c : cases) {
    simhost::set_int(radar + "display1/low_elevation_altitude", c.low);
    simhost::set_int(radar + "display2/high_elevation_altitude", c.high);
    simhost::set_int(radar + "display2/high_elevation_color", 3);
    simhost::frames(1, 0.05f);
    EXPECT_EQ(simhost::get_float("zuvadud/D738/terrain_low"), c.shown_low) << c.low;
    EXPECT_EQ(simhost::get_float("zuvadud/D738/terrain_high2"), c.shown_high) << c.high;
    EXPECT_EQ(simhost::get_float("zuvadud/D738/terrain_high_colour2"), 3.0f);
  }
  EXPECT_EQ(simhost::get_float("zuvadud/D738/gpws/draw_terrain_flag"), 1.0f);
  simhost::set_int(radar + "gpws/terrain_prediction/enable_aural_messages", 1);
  simhost::set_int(radar + "gpws/terrain_prediction/is_active", 1);
  simhost::set_int(radar + "gpws/terrain_prediction/state", 2);
  simhost::frames(1, 0.05f);
  EXPECT_EQ(simhost::get_float("zuvadud/D738/gpws/terr_warn"), 2.0f);
  EXPECT_EQ(simhost::get_int(radar + "gpws/terrain_prediction/enable_terrain_prediction"), 1);
  EXPECT_EQ(simhost::get_int(radar + "gpws/terrain_prediction/enable_aural_messages"), 0);
  // The link is the GPWS computer's: with AC transfer bus 1 lost it is gone
  // as with TERR INHIBIT, and it comes back with the bus.
  const char* const peaks[] = {"terrain_low", "terrain_high", "terrain_low2", "terrain_high2", "terrain_high_colour2"};
  simhost::set_floats("zuvadud/D738/failure/electric", {1.0f});
  simhost::frames(2, 0.05f);
  ASSERT_EQ(simhost::get_float("zuvadud/D738/electric/ac_tnsbus1_status"), 0.0f);
  EXPECT_GT(simhost::get_float("zuvadud/D738/annunciator/gpws"), 0.0f);
  EXPECT_EQ(simhost::get_float("zuvadud/D738/gpws/terr_warn"), 0.0f);
  EXPECT_EQ(simhost::get_int(radar + "gpws/terrain_prediction/enable_terrain_prediction"), 0);
  EXPECT_EQ(simhost::get_float("zuvadud/D738/gpws/draw_terrain_flag"), 0.0f);
  for (const char* peak : peaks) EXPECT_EQ(simhost::get_float(std::string("zuvadud/D738/") + peak), 0.0f) << peak;
  simhost::set_floats("zuvadud/D738/failure/electric", {0.0f});
  simhost::frames(2, 0.05f);
  EXPECT_EQ(simhost::get_float("zuvadud/D738/gpws/terr_warn"), 2.0f);
  EXPECT_EQ(simhost::get_float("zuvadud/D738/gpws/draw_terrain_flag"), 1.0f);
  EXPECT_EQ(simhost::get_float("zuvadud/D738/terrain_high2"), -99.0f);
  simhost::command_once("zuvadud/D738/toggle_switch/gpws_terr_cover");
  simhost::frames(20, 0.05f);
  simhost::command_once("zuvadud/D738/toggle_switch/gpws_terr");  // TERR INHIBIT
  simhost::frames(1, 0.05f);
  ASSERT_EQ(simhost::get_float("zuvadud/D738/toggle_switch/gpws_terr_pos"), 1.0f);
  EXPECT_EQ(simhost::get_float("zuvadud/D738/gpws/terr_warn"), 0.0f);
  EXPECT_EQ(simhost::get_int(radar + "gpws/terrain_prediction/enable_terrain_prediction"), 0);
  // ... and the terrain off both displays, no peaks published.
  EXPECT_EQ(simhost::get_float("zuvadud/D738/gpws/draw_terrain_flag"), 0.0f);
  for (const char* peak : peaks) EXPECT_EQ(simhost::get_float(std::string("zuvadud/D738/") + peak), 0.0f) << peak;
}

// At 3,000 ft the terrain radar's caution sounds CAUTION TERRAIN, never the
// warning's TERRAIN; its warning sounds TERRAIN, then PULL UP.
TEST_F(GpwsThroughHost, TerrainRadarCautionAndWarningAurals) {
  const std::string radar = "hollvik/terrain_radar/gpws/terrain_prediction/";
  radio_altitude(3000.0f);
  simhost::set_int(radar + "is_active", 1);
  struct Case {
    int state;
    const char* first;
    const char* then;
  } cases[] = {{1, "zuvadud/d738/fmodpack/msg_caution_terrain", ""},
               {2, "zuvadud/d738/fmodpack/msg_terrain", "zuvadud/d738/fmodpack/msg_pull_up"}};
  for (const Case& c : cases) {
    simhost::set_int(radar + "state", c.state);
    std::string heard;
    bool terrain = false;
    for (int i = 0; i < 80; ++i) {
      simhost::frames(1, 0.05f);
      for (const char* flag : {c.first, c.then}) {
        if (*flag != '\0' && simhost::get_float(flag) == 1.0f && heard.find(flag) == std::string::npos)
          heard += std::string(flag) + " ";
      }
      terrain = terrain || simhost::get_float("zuvadud/d738/fmodpack/msg_terrain") == 1.0f;
    }
    EXPECT_EQ(heard, std::string(c.first) + " " + (*c.then != '\0' ? std::string(c.then) + " " : "")) << c.state;
    EXPECT_EQ(terrain, c.state == 2) << c.state;
    simhost::set_int(radar + "state", 0);
    simhost::frames(80, 0.05f);
  }
}

// The runway-awareness advisor is told our Vref and the takeoff and landing
// flap ranges, and takes its GPWS state from ours.
TEST_F(GpwsThroughHost, RunwayAwarenessLink) {
  const std::string raas = "xraas/override/";
  simhost::frames(2, 0.05f);
  for (const char* n : {"GPWS_prio", "GPWS_inop", "Vref", "takeoff_flaps", "landing_flaps"})
    EXPECT_EQ(simhost::get_int(raas + n), 1) << n;
  EXPECT_EQ(simhost::get_int(raas + "GPWS_inop_act"), 0);
  struct Case {
    float vapp;
    int vref;
  } vrefs[] = {{0.0f, 180}, {142.7f, 142}};
  for (const auto& c : vrefs) {
    simhost::set_float("zuvadud/D738/FMS/approach_speed", c.vapp);
    simhost::frames(2, 0.05f);
    EXPECT_EQ(simhost::get_int(raas + "Vref_act"), c.vref) << c.vapp;
  }
  struct Flaps {
    const char* setting;
    float value, min, max;
  } flaps[] = {{"takeoff", 2, 0.124f, 0.751f},  {"takeoff", 5, 0.374f, 0.376f}, {"approach", 30, 0.874f, 0.876f},
               {"approach", 7, 0.624f, 1.0f},   {"takeoff", 1, 0.124f, 0.126f}, {"takeoff", 10, 0.499f, 0.501f},
               {"takeoff", 15, 0.624f, 0.626f}, {"takeoff", 25, 0.749f, 0.751f}, {"approach", 15, 0.624f, 0.626f},
               {"approach", 25, 0.749f, 0.751f}, {"approach", 40, 0.999f, 1.0f}};
  for (const Flaps& f : flaps) {
    const bool takeoff = std::string(f.setting) == "takeoff";
    simhost::set_float(std::string("zuvadud/D738/FMS/") + f.setting + "_flaps", f.value);
    simhost::frames(2, 0.05f);
    const std::string which = raas + (takeoff ? "takeoff" : "landing") + "_flaps_";
    EXPECT_EQ(simhost::get_float(which + "min_act"), f.min) << f.setting << " " << f.value;
    EXPECT_EQ(simhost::get_float(which + "max_act"), f.max) << f.setting << " " << f.value;
  }
  // Without power our GPWS is inoperative for the advisor too.
  simhost::set_int("sim/cockpit/electrical/gpu_on", 0);
  XPLMSetDataf(XPLMFindDataRef("zuvadud/D738/electric/battery_pos"), 0.0f);
  simhost::frames(10, 0.05f);
  EXPECT_EQ(simhost::get_int(raas + "GPWS_inop_act"), 1);
}

// Nothing of the airframe fails in the first 5 s after a load: flaps out far
// beyond their limit on the first frame fail only once the hold has passed.
TEST(RatingThroughHost, NoStructuralDamageInTheFirstSecondsAfterALoad) {
  simhost::reset();
  std::string error;
  ASSERT_TRUE(simhost::load_and_start(CORVANE_MODULE_PATH, &error)) << error;
  simhost::set_floats("sim/flightmodel2/wing/flap2_deg", {30.0f, 30.0f, 30.0f, 30.0f});
  simhost::set_float("sim/flightmodel/position/indicated_airspeed", 300.0f);
  const char* const left = "sim/operation/failures/rel_fc_L_flp";
  simhost::frames(1, 0.05f);
  EXPECT_EQ(simhost::get_int(left), 0);
  simhost::frames(90, 0.05f);  // 4.55 s
  EXPECT_EQ(simhost::get_int(left), 0);
  simhost::frames(20, 0.05f);
  EXPECT_EQ(simhost::get_int(left), 6);
  simhost::reset();
}

}  // namespace
