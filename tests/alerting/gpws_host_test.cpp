// A radio-altitude callout as the sound scripts see it through the host: the
// aircraft powered from ground power, the radio altimeter passing 500 ft on
// the way down.
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

}  // namespace
