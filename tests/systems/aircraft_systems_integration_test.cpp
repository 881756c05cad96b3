// The systems frame as the host sees it through the loaded module: fuel
// quantities, the host's bleed configuration and pressurisation override,
// and no write to a value the host does not let it write.
#include <gtest/gtest.h>

#include <string>

#include "host.h"
#include "platform/xplm.h"

namespace {

class AircraftSystemsThroughHost : public ::testing::Test {
 protected:
  void TearDown() override { simhost::reset(); }
  void load() {
    simhost::Config config;
    config.acf = "737_80NG.acf";
    config.host_version = 120000;
    simhost::reset(config);
    std::string error;
    ASSERT_TRUE(simhost::load_and_start(CORVANE_MODULE_PATH, &error)) << error;
    simhost::set_ints("sim/flightmodel2/gear/on_ground", {1, 1, 1});
    simhost::set_floats("sim/flightmodel/weight/m_fuel", {3004.0f, 0.0f, 2000.0f});
    simhost::frames(2, 0.05f);
    XPLMSetDataf(XPLMFindDataRef("zuvadud/D738/electric/battery_pos"), 1.0f);
  }
  static float pub(const char* name) { return XPLMGetDataf(XPLMFindDataRef(name)); }
};

TEST_F(AircraftSystemsThroughHost, FuelAndBleedReachTheHost) {
  load();
  simhost::frames(20, 0.05f);
  // Display quantities round up to the next 10 kg by default.
  EXPECT_EQ(pub("zuvadud/D738/fuel/left_tank_kgs"), 3010.0f);
  EXPECT_EQ(pub("zuvadud/D738/fuel/right_tank_kgs"), 2000.0f);
  EXPECT_EQ(pub("zuvadud/D738/fuel/center_tank_kgs_c"), 0.0f);
  EXPECT_EQ(simhost::get_int("sim/operation/override/override_pressurization"), 1);
  // Bleed switches on, no APU bleed: both engines feed (mode 2).
  EXPECT_EQ(simhost::get_int("sim/cockpit2/pressurization/actuators/bleed_air_mode"), 2);


  for (const std::string& p : simhost::problems()) {
    for (const char* mine : {"bleedair/", "fuel/", "oxygen/", "pressurization/", "engine/actuators/", "generator"}) {
      EXPECT_EQ(p.find(mine), std::string::npos) << p;
    }
  }
}

}  // namespace
