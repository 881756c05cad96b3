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
  void start_module() {
    simhost::Config config;
    config.acf = "737_80NG.acf";
    config.host_version = 120000;
    simhost::reset(config);
    std::string error;
    ASSERT_TRUE(simhost::load_and_start(CORVANE_MODULE_PATH, &error)) << error;
  }
  void load() {
    ASSERT_NO_FATAL_FAILURE(start_module());
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

// An engines-running start over an empty centre tank: the start-up's centre
// pumps go off before their LOW PRESSURE lights can show, in daylight.
TEST_F(AircraftSystemsThroughHost, EmptyCentreTankPumpsGoOffUnlit) {
  ASSERT_NO_FATAL_FAILURE(start_module());
  simhost::set_int("sim/operation/prefs/startup_running", 1);
  simhost::set_floats("sim/flightmodel/weight/m_fuel", {3000.0f, 0.0f, 3000.0f});
  simhost::set_floats("sim/cockpit2/electrical/battery_voltage_actual_volts", {24.0f, 24.0f});
  simhost::set_floats("sim/cockpit2/electrical/bus_volts", {28.0f, 28.0f, 28.0f});
  simhost::set_float("sim/graphics/scenery/sun_pitch_degrees", 45.0f);
  simhost::set_floats("sim/flightmodel2/lights/generic_lights_brightness_ratio", {1.0f, 1.0f}, 13);
  for (int frame = 1; frame <= 30; ++frame) {
    simhost::frames(1, 1.0f / 30);
    EXPECT_EQ(pub("zuvadud/D738/annunciator/low_fuel_press_c1"), 0.0f) << "frame " << frame;
    EXPECT_EQ(pub("zuvadud/D738/annunciator/low_fuel_press_c2"), 0.0f) << "frame " << frame;
  }
  EXPECT_EQ(pub("zuvadud/D738/fuel/fuel_tank_pos_ctr1"), 0.0f);
  EXPECT_EQ(pub("zuvadud/D738/fuel/fuel_tank_pos_ctr2"), 0.0f);
  EXPECT_EQ(pub("zuvadud/D738/fuel/fuel_tank_pos_lft1"), 1.0f);
}

// Ice gathered on the ground stays through taxi thrust and comes off once the
// wing anti-ice heats the wings. The host keeps adding ice faster than the
// aircraft lets it grow (0.0005 a second) while it is icing.
TEST_F(AircraftSystemsThroughHost, GroundIceStaysThroughTaxiThrustAndMeltsWithWingHeat) {
  ASSERT_NO_FATAL_FAILURE(start_module());
  simhost::set_draw_capture(true);  // nothing to look at: spare the rendering
  simhost::set_ints("sim/flightmodel2/gear/on_ground", {1, 1, 1});
  simhost::set_int("sim/operation/prefs/startup_running", 1);
  simhost::set_ints("sim/flightmodel/engine/ENGN_running", {1, 1});
  simhost::set_floats("sim/cockpit2/electrical/battery_voltage_actual_volts", {24.0f});
  simhost::set_floats("sim/cockpit2/electrical/bus_volts", {28.0f, 28.0f, 28.0f});
  simhost::set_floats("sim/flightmodel2/engines/throttle_used_ratio", {0.0f, 0.0f});
  const auto n1 = [](float v) {
    simhost::set_floats("sim/flightmodel/engine/ENGN_N1_", {v, v});
    simhost::set_floats("sim/flightmodel2/engines/N1_percent", {v, v});
  };
  const float dt = 1.0f / 30.0f;
  n1(22.0f);  // ground idle
  simhost::frames(210, dt);
  simhost::set_ints("sim/cockpit2/electrical/generator_on", {1, 1});
  for (int i = 0; i < 3000; ++i) {  // 100 s of icing
    for (const char* wing : {"sim/flightmodel/failures/frm_ice", "sim/flightmodel/failures/frm_ice2"}) {
      simhost::set_float(wing, simhost::get_float(wing) + 0.001f);
    }
    simhost::frames(1, dt);
  }
  EXPECT_NEAR(simhost::get_float("sim/flightmodel/failures/frm_ice"), 0.05f, 0.001f);
  n1(40.0f);  // taxi thrust, wing anti-ice off
  simhost::frames(600, dt);
  EXPECT_NEAR(simhost::get_float("sim/flightmodel/failures/frm_ice"), 0.05f, 0.002f);
  EXPECT_NEAR(simhost::get_float("sim/flightmodel/failures/frm_ice2"), 0.05f, 0.002f);
  XPLMCommandOnce(XPLMFindCommand("zuvadud/D738/toggle_switch/wing_heat"));
  simhost::frames(90, dt);
  EXPECT_EQ(pub("zuvadud/D738/ice/wing_l_heat_on"), 1.0f);
  EXPECT_EQ(pub("zuvadud/D738/ice/wing_r_heat_on"), 1.0f);
  simhost::frames(450, dt);  // 0.005 a second: the 0.05 is gone in 10 s
  EXPECT_EQ(simhost::get_float("sim/flightmodel/failures/frm_ice"), 0.0f);
  EXPECT_EQ(simhost::get_float("sim/flightmodel/failures/frm_ice2"), 0.0f);
}

}  // namespace
