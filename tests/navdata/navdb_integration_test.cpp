// The navigation database as the host sees it: start-up loading with its
// fall-back files, and the scan and map-symbol handshake with the scripts.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "host.h"
#include "navdata/navdb_test_util.h"

namespace {

const std::string kWarn = "Corvane plugin: WARNING - I didn't find file >";
const std::string kLoaded = "Corvane plugin: Loaded file >";

class NavdbHost : public ::testing::Test {
 protected:
  void start(const std::string& custom_nav) {
    tmp.write("Custom Data/earth_nav.dat", custom_nav);
    tmp.write("Resources/default data/earth_nav.dat",
              navtest::host_header() + "3  0.1 0.0 0 11680 130 19.0 SEA ENRT K1 SEATTLE VORTAC\n99\n");
    tmp.write("Resources/default data/earth_fix.dat", navtest::host_header() + "0.05 0.0 FIXAA ENRT K1 2\n99\n");
    tmp.write("Aircraft/D738/Velar_apt.dat", "h\nh\nh\nKSEA 0.2 0.0 433 18000 11901\nKBFI 0.1 0.1 21 18000 10007\n");
    tmp.write("Aircraft/D738/Velar_rnw.dat", "h\nKSEA 16L 0.21 0 0.19 0 11901 150\n");
    tmp.write("Aircraft/D738/Velar_gate.dat", "h\nKSEA 0.2 0.01 gate 90 A1\n");
    simhost::Config config;
    config.root = tmp.dir().string() + "/";
    simhost::reset(config);
    std::string error;
    ASSERT_TRUE(simhost::load_and_start(CORVANE_MODULE_PATH, &error)) << error;
  }
  void TearDown() override { simhost::reset(); }
  std::string root() const { return tmp.dir().string() + "/"; }
  navtest::TempDir tmp;
};

TEST_F(NavdbHost, HostFilesFromTheFallBackChain) {
  start(navtest::host_header());  // "Custom Data/earth_fix.dat" is missing
  const std::string r = root();
  const std::string scenery = r + "Custom Scenery/Global Airports/Earth nav data/";
  EXPECT_TRUE(simhost::log_contains(kWarn + scenery + "earth_nav.dat< !!!"));
  EXPECT_TRUE(simhost::log_contains(kLoaded + r + "Resources/default data/earth_nav.dat<"));
  EXPECT_TRUE(simhost::log_contains(kWarn + scenery + "earth_fix.dat< !!!"));
  EXPECT_TRUE(simhost::log_contains(kLoaded + r + "Resources/default data/earth_fix.dat<"));
  EXPECT_FALSE(simhost::log_contains(kLoaded + r + "Custom Data/earth_nav.dat<"));
  for (const char* f : {"Velar_apt.dat", "Velar_rnw.dat", "Velar_gate.dat"})
    EXPECT_TRUE(simhost::log_contains(kLoaded + r + "Aircraft/D738/" + f + "<")) << f;
}

TEST_F(NavdbHost, NearestAirportAndMapSymbolsThroughTheHandshake) {
  start(navtest::host_header());
  simhost::set_double("sim/flightmodel/position/latitude", 0.0);
  simhost::set_double("sim/flightmodel/position/longitude", 0.0);
  simhost::set_float("zuvadud/D738/EFIS_control/capt/map_mode_pos", 2.0f);
  simhost::set_float("zuvadud/D738/EFIS/capt/map_range", 2.0f);  // 21 nm selection, scale 0.5
  simhost::set_float("zuvadud/D738/EFIS/EFIS_vor_on", 1.0f);
  simhost::set_float("zuvadud/D738/EFIS/EFIS_airport_on", 1.0f);
  simhost::set_float("zuvadud/D738/EFIS_control/capt/exp_map", 1.0f);
  // The scripts' cycle: 1 restarts the scans and projects the first half,
  // 2 the second half and marks the map ready, 0 publishes.
  const float cycle[] = {0, 0, 0, 1, 2, 0, 0, 1, 2, 0, 0};
  for (int round = 0; round < 4; ++round) {
    for (float v : cycle) {
      simhost::set_float("zuvadud/D738/fms/xfirst_time2", v);
      simhost::frame(1.0f / 30.0f);
    }
  }
  EXPECT_EQ(simhost::get_text("zuvadud/D738/near_apt_icao"), "KBFI");
  EXPECT_EQ(simhost::get_text("zuvadud/D738/nd/object_id49"), "SEA");
  auto y = simhost::get_floats("zuvadud/D738/nd/object_y");
  ASSERT_EQ(y.size(), 50u);
  EXPECT_NEAR(y[49], 6.0f * 0.5f, 0.05f);  // 6 nm ahead at scale 0.5
  // Airports fill from slot 29 down, the nearest first.
  EXPECT_EQ(simhost::get_text("zuvadud/D738/nd/apt_id29"), "KBFI");
  EXPECT_EQ(simhost::get_text("zuvadud/D738/nd/apt_id28"), "KSEA");
  EXPECT_EQ(simhost::get_floats("zuvadud/D738/nd/apt_enable")[27], 0.0f);
}

}  // namespace
