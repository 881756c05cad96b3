// The built module in the simulated host: variant publication from the
// aircraft file, the add-on flags' first frames, and the route handshake
// with the scripts (decode log, lowering of the change flag, pause).
#include <gtest/gtest.h>

#include <string>

#include "host.h"

namespace {

void set_text(const char* name, const std::string& text) {
  std::string bytes = text;
  bytes.resize(simhost::array_size(name), '\0');
  simhost::set_bytes(name, bytes);
}

class ModuleRoute : public ::testing::Test {
 protected:
  void start(const std::string& acf) {
    simhost::Config config;
    config.acf = acf;
    simhost::reset(config);
    std::string error;
    ASSERT_TRUE(simhost::load_and_start(CORVANE_MODULE_PATH, &error)) << error;
  }
  void TearDown() override { simhost::reset(); }
};

TEST_F(ModuleRoute, VariantPublishedFromAircraftFile) {
  struct Case {
    const char* acf;
    int variant, family;
  };
  for (const Case& c : {Case{"737_80NG.acf", 0, 0}, Case{"b739_4k.acf", -1, 1}, Case{"B739.acf", -1, -1}}) {
    start(c.acf);
    EXPECT_EQ(simhost::get_int("corvane/b737_variant"), c.variant) << c.acf;
    EXPECT_EQ(simhost::get_int("zuvadud/D738/73x"), c.family) << c.acf;
    simhost::reset();
  }
}

TEST_F(ModuleRoute, AddOnFlagsWithoutAddOns) {
  start("737_80NG.acf");
  simhost::frame(0.02f);
  EXPECT_EQ(simhost::counts("zuvadud/D738/avitab_installed").writes, 0);
  EXPECT_EQ(simhost::counts("zuvadud/D738/bp_installed").writes, 0);
  EXPECT_EQ(simhost::get_float("zuvadud/D738/jetway_power"), -1.0f);
  EXPECT_EQ(simhost::get_float("zuvadud/d738/marlet_copilot"), 0.0f);
  simhost::frame(0.02f);
  EXPECT_EQ(simhost::counts("zuvadud/D738/avitab_installed").writes, 1);
  EXPECT_EQ(simhost::get_float("zuvadud/D738/avitab_installed"), 0.0f);
  EXPECT_EQ(simhost::get_float("zuvadud/D738/bp_installed"), 0.0f);
}

TEST_F(ModuleRoute, RouteTakenInAndFlagLoweredSameFrame) {
  start("737_80NG.acf");
  simhost::frames(2, 0.02f);
  set_text("zuvadud/D738/fms/legs", "KSEA RW16L SEA ALPSE ");
  set_text("zuvadud/D738/fms/legs_pth", "IFCFTFTF");
  simhost::set_float("zuvadud/D738/vnav/legs_num", 3.0f);
  simhost::set_float("zuvadud/D738/fms/test", 5555.0f);
  simhost::set_float("zuvadud/D738/fms/legs_change", 1.0f);
  simhost::clear_log();
  simhost::frame(0.02f);
  EXPECT_TRUE(simhost::log_contains("Decode 1 -> Waypoint names. Waypoints: 4  Legs_num: 3.000000"));
  EXPECT_TRUE(simhost::log_contains("- WPT 0  <KSEA>:"));
  EXPECT_TRUE(simhost::log_contains("- WPT 3  <ALPSE>:"));
  EXPECT_EQ(simhost::get_float("zuvadud/D738/fms/legs_change"), 0.0f);
}

TEST_F(ModuleRoute, FlagRaisedWhilePausedWaits) {
  start("737_80NG.acf");
  simhost::frames(2, 0.02f);
  set_text("zuvadud/D738/fms/legs", "KSEA RW16L ");
  simhost::set_float("zuvadud/D738/vnav/legs_num", 1.0f);
  simhost::set_float("zuvadud/D738/fms/test", 5555.0f);
  simhost::set_int("sim/time/paused", 1);
  simhost::set_float("zuvadud/D738/fms/legs_change", 1.0f);
  simhost::clear_log();
  simhost::frames(3, 0.02f);
  EXPECT_EQ(simhost::get_float("zuvadud/D738/fms/legs_change"), 1.0f);
  EXPECT_FALSE(simhost::log_contains("Decode 1 -> Waypoint names. Waypoints: 2  Legs_num: 1.000000"));
  simhost::set_int("sim/time/paused", 0);
  simhost::frame(0.02f);
  EXPECT_EQ(simhost::get_float("zuvadud/D738/fms/legs_change"), 0.0f);
  EXPECT_TRUE(simhost::log_contains("Decode 1 -> Waypoint names. Waypoints: 2  Legs_num: 1.000000"));
}

}  // namespace
