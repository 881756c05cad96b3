// The electrical buses and the annunciators as the cockpit sees them through
// the host: ground power powering the buses, the GPU object making ground
// power available on the ground, and the master caution coming on for a lost
// transfer bus.
#include <gtest/gtest.h>

#include <string>

#include "host.h"
#include "platform/xplm.h"

namespace {

class SystemsThroughHost : public ::testing::Test {
 protected:
  void TearDown() override {
    // The buses write only host values the host lets them write.
    for (const std::string& p : simhost::problems()) {
      EXPECT_EQ(p.find("electrical/"), std::string::npos) << p;
    }
    simhost::reset();
  }
  void load() {
    simhost::Config config;
    config.acf = "737_80NG.acf";
    config.host_version = 120000;
    simhost::reset(config);
    std::string error;
    ASSERT_TRUE(simhost::load_and_start(CORVANE_MODULE_PATH, &error)) << error;
    simhost::set_ints("sim/flightmodel2/gear/on_ground", {1, 1, 1});
    simhost::set_floats("sim/cockpit2/electrical/battery_voltage_actual_volts", {24.0f, 24.0f, 24.0f});
    simhost::set_floats("sim/flightmodel2/lights/generic_lights_brightness_ratio", {1.0f, 1.0f}, 13);
    simhost::set_float("sim/graphics/scenery/sun_pitch_degrees", 40.0f);
    // The first frame after a load sets the cockpit up; switch the battery on after it.
    simhost::frames(2, 0.05f);
    XPLMSetDataf(XPLMFindDataRef("zuvadud/D738/electric/battery_pos"), 1.0f);
  }
};

TEST_F(SystemsThroughHost, GroundPowerPowersTheBusesAndShowsAvailable) {
  load();
  simhost::frames(15, 0.05f);
  EXPECT_EQ(simhost::get_float("zuvadud/D738/electric/ac_tnsbus1_status"), 0.0f);
  EXPECT_EQ(simhost::get_float("zuvadud/D738/electric/batbus_status"), 1.0f);
  // The GPU object stands beside the aircraft: ground power is available.
  EXPECT_EQ(simhost::get_float("zuvadud/D738/gpu_available"), 1.0f);
  simhost::set_int("sim/cockpit/electrical/gpu_on", 1);
  simhost::frames(5, 0.05f);
  EXPECT_EQ(simhost::get_float("zuvadud/D738/electric/ac_tnsbus1_status"), 1.0f);
  EXPECT_EQ(simhost::get_float("zuvadud/D738/electric/ac_tnsbus2_status"), 1.0f);
  EXPECT_EQ(simhost::get_float("zuvadud/D738/electric/dc_bus1_status"), 1.0f);
  EXPECT_EQ(simhost::get_float("zuvadud/D738/electric/tru3_status"), 1.0f);
  EXPECT_EQ(simhost::get_int("sim/cockpit/electrical/avionics_on"), 1);
  // Lifting off hides the GPU and takes ground power away.
  simhost::set_ints("sim/flightmodel2/gear/on_ground", {0, 0, 0});
  simhost::frames(15, 0.05f);
  EXPECT_EQ(simhost::get_float("zuvadud/D738/gpu_available"), 0.0f);
  EXPECT_EQ(simhost::get_float("zuvadud/D738/gpu_hide"), 1.0f);
  EXPECT_EQ(simhost::get_int("sim/cockpit/electrical/gpu_on"), 0);
}

TEST_F(SystemsThroughHost, LostTransferBusLightsMasterCaution) {
  load();
  simhost::set_int("sim/cockpit/electrical/gpu_on", 1);
  simhost::frames(20, 0.05f);
  EXPECT_GT(simhost::get_float("zuvadud/D738/annunciator/six_pack_elec"), 0.0f) << "power-up is news";
  simhost::set_int("sim/cockpit/electrical/gpu_on", 0);
  simhost::frames(3, 0.05f);
  EXPECT_GT(simhost::get_float("zuvadud/D738/annunciator/trans_bus_off1"), 0.0f);
  EXPECT_GT(simhost::get_float("zuvadud/D738/annunciator/six_pack_elec"), 0.0f);
  EXPECT_GT(simhost::get_float("zuvadud/D738/annunciator/master_caution_light"), 0.0f);
}

TEST_F(SystemsThroughHost, LeversComeBackWhenAReplayEndsIntoAPause) {
  load();
  XPLMDataRef flap = XPLMFindDataRef("zuvadud/D738/flt_ctrls/flap_lever");
  XPLMDataRef gear = XPLMFindDataRef("zuvadud/D738/controls/gear_handle_down");
  XPLMDataRef speedbrake = XPLMFindDataRef("zuvadud/D738/flt_ctrls/speedbrake_lever");
  XPLMSetDataf(flap, 0.25f);
  simhost::frames(2, 0.05f);
  ASSERT_EQ(XPLMGetDataf(flap), 0.25f);
  const float gear_before = XPLMGetDataf(gear);
  const float speedbrake_before = XPLMGetDataf(speedbrake);
  ASSERT_TRUE(simhost::set_int("sim/time/is_in_replay", 1));
  simhost::frame(0.05f);
  // The replay plays back the flap lever and gear handle stored in spare host
  // switch slots, and the speed brake lever from the host's ratio.
  ASSERT_TRUE(simhost::set_floats("sim/cockpit2/switches/landing_lights_switch", {0.0f, 0.75f}, 12));
  ASSERT_TRUE(simhost::set_float("sim/cockpit2/controls/speedbrake_ratio", 1.0f));
  simhost::frame(0.05f);
  ASSERT_EQ(XPLMGetDataf(flap), 0.75f);
  ASSERT_NE(XPLMGetDataf(gear), gear_before);
  ASSERT_NE(XPLMGetDataf(speedbrake), speedbrake_before);
  ASSERT_TRUE(simhost::set_int("sim/time/paused", 1));
  ASSERT_TRUE(simhost::set_int("sim/time/is_in_replay", 0));
  for (int k = 0; k < 2; ++k) {  // the paused frame, then the first live one
    simhost::frame(0.05f);
    EXPECT_EQ(XPLMGetDataf(flap), 0.25f) << k;
    EXPECT_EQ(XPLMGetDataf(gear), gear_before) << k;
    EXPECT_EQ(XPLMGetDataf(speedbrake), speedbrake_before) << k;
    ASSERT_TRUE(simhost::set_int("sim/time/paused", 0));
  }
}

}  // namespace
