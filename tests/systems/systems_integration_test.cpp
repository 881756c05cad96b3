// The electrical buses and the annunciators as the cockpit sees them through
// the host: ground power powering the buses, the GPU object making ground
// power available on the ground, and the master caution coming on for a lost
// transfer bus.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

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

// Peak brake temperature (the hottest of the four model brakes) of a stop
// played on a dry runway: the host's tyres roll at the played ground speed,
// engines at idle, the autobrake or smooth braking doing the work.
struct Stop {
  const char* what;
  float tonnes, kt, decel_mps2, reverse_to_kt;  // reverse_to_kt 0: no reverse
  int taxi_stops;                               // 0: an autobrake 2 landing
  float lo, hi;
};

float brake_peak(const Stop& s) {
  simhost::Config config;
  config.acf = "737_80NG.acf";
  config.host_version = 120000;
  simhost::reset(config);
  std::string error;
  EXPECT_TRUE(simhost::load_and_start(CORVANE_MODULE_PATH, &error)) << error;
  simhost::set_draw_capture(true);  // no panel rendered: only the brakes matter here
  const bool landing = s.taxi_stops == 0;
  simhost::set_int("sim/operation/prefs/startup_running", 1);
  simhost::set_ints("sim/flightmodel2/gear/on_ground", landing ? std::vector<int>{0, 0, 0} : std::vector<int>{1, 1, 1});
  simhost::set_int("sim/flightmodel/failures/onground_any", landing ? 0 : 1);
  simhost::set_int("sim/flightmodel/failures/onground_all", landing ? 0 : 1);
  simhost::set_float("sim/cockpit2/gauges/indicators/radio_altimeter_height_ft_pilot", landing ? 300.0f : 0.0f);
  simhost::set_floats("sim/aircraft/parts/acf_gear_deploy", {1, 1, 1});
  simhost::set_float("sim/flightmodel/position/groundspeed", 0.0f);
  simhost::set_float("sim/flightmodel/weight/m_total", s.tonnes * 1000.0f);
  simhost::set_float("zuvadud/D738/fms/chock_status", 0.0f);
  simhost::set_float("sim/cockpit2/controls/parking_brake_ratio", 0.0f);
  simhost::frames(20, 0.05f);
  simhost::set_floats("sim/cockpit2/electrical/battery_voltage_actual_volts", {24.0f});
  simhost::set_floats("sim/cockpit2/electrical/bus_volts", {28, 28, 28});
  simhost::command_once("zuvadud/D738/switch/battery_dn");
  simhost::set_floats("sim/flightmodel2/engines/N2_percent", {90, 90});
  simhost::set_ints("sim/cockpit2/electrical/generator_on", {1, 1});
  simhost::frames(180, 0.05f);
  if (landing) {
    simhost::command_once("zuvadud/D738/knob/autobrake_2");
    simhost::frames(20, 0.05f);
    EXPECT_EQ(simhost::get_float("zuvadud/D738/autobrake/autobrake_arm"), 1.0f) << s.what;
  }
  float peak = 0.0f;
  auto run = [&peak](int n) {
    for (int i = 0; i < n; ++i) {
      simhost::frame(0.05f);
      for (const char* b : {"l_out", "l_in", "r_out", "r_in"}) {
        peak = std::max(peak, simhost::get_float(std::string("zuvadud/D738/systems/brake_temp_") + b));
      }
    }
  };
  for (int stop = 0; stop < (landing ? 1 : s.taxi_stops); ++stop) {
    float mps = s.kt / 1.9438f;
    simhost::set_float("sim/flightmodel/position/groundspeed", mps);
    if (landing) {
      simhost::set_ints("sim/flightmodel2/gear/on_ground", {1, 1, 1});
      simhost::set_int("sim/flightmodel/failures/onground_any", 1);
      simhost::set_int("sim/flightmodel/failures/onground_all", 1);
      simhost::set_float("sim/cockpit2/gauges/indicators/radio_altimeter_height_ft_pilot", 0.0f);
      run(1);  // on the ground before the reversers are asked for
    } else {
      run(400);  // 20 s of taxi
      simhost::command_begin("zuvadud/D738/brake_smoothly");
    }
    bool reversing = s.reverse_to_kt > 0.0f;
    if (reversing) simhost::command_begin("sim/engines/thrust_reverse_hold");
    while (mps > 0.0f) {
      run(1);
      mps = std::max(0.0f, mps - s.decel_mps2 * 0.05f);
      simhost::set_float("sim/flightmodel/position/groundspeed", mps);
      if (reversing && mps * 1.9438f < s.reverse_to_kt) {
        simhost::command_end("sim/engines/thrust_reverse_hold");
        reversing = false;
      }
    }
    if (!landing) simhost::command_end("zuvadud/D738/brake_smoothly");
  }
  run(100);
  simhost::reset();
  return peak;
}

TEST(BrakeHeat, NormalStopsStayCoolAndOnlyAMaximumStopGetsHot) {
  const Stop stops[] = {
      {"autobrake 2, 60 t, 140 kt, reverse to 60 kt, 1.5 m/s2", 60, 140, 1.5f, 60, 0, 0.8f, 2.4f},
      {"autobrake 2, 60 t, 140 kt, reverse, 3 m/s2", 60, 140, 3, 60, 0, 1.0f, 2.2f},
      {"autobrake 2, 60 t, 140 kt, no reverse, 3 m/s2", 60, 140, 3, 0, 0, 0.0f, 3.5f},
      {"taxi, five smooth-brake stops from 20 kt at 1 m/s2", 60, 20, 1, 0, 5, 0.0f, 1.0f},
  };
  for (const Stop& s : stops) {
    const float peak = brake_peak(s);
    EXPECT_GE(peak, s.lo) << s.what;
    EXPECT_LE(peak, s.hi) << s.what;
  }
}

}  // namespace
