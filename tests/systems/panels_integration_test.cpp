// Panels and ground services through the loaded module: ground equipment
// placed, reported and removed; a weather report fetched; the panels' packed
// state arrays handed to the scripts every frame.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "host.h"

namespace {

const float kDt = 1.0f / 30.0f;

class Panels : public ::testing::Test {
 protected:
  void TearDown() override {
    unsetenv("APPDATA");
    simhost::reset();
  }
  void load(const simhost::Config& config = simhost::Config()) {
    simhost::reset(config);
    // Only some of the equipment exists in the aircraft folder.
    const std::string gse = simhost::root() + "Aircraft/D738/objects/GSE/";
    std::filesystem::create_directories(gse);
    for (const char* f : {"gpu.obj", "fueltruck.obj", "fueltruck2.obj", "de_ice_truck.obj"}) {
      std::ofstream(gse + f) << "A\n800\nOBJ\n";
    }
    simhost::set_terrain([](float, float) { return 5.0f; });
    std::string error;
    ASSERT_TRUE(simhost::load_and_start(CORVANE_MODULE_PATH, &error)) << error;
    for (const char* hide : {"zuvadud/D738/gpu_hide", "zuvadud/D738/engine/hide_asu", "zuvadud/D738/fueltruck_hide",
                             "zuvadud/D738/fms/cones_hide", "zuvadud/D738/de_ice_truck/hide"}) {
      simhost::set_float(hide, 1.0f);
    }
    simhost::set_double("sim/flightmodel/position/local_x", 100.0);
    simhost::set_double("sim/flightmodel/position/local_z", 200.0);
    simhost::set_float("sim/flightmodel/position/psi", 0.0f);
    simhost::frames(3, kDt);
  }
  static std::vector<simhost::InstanceInfo> alive(const std::string& file) {
    std::vector<simhost::InstanceInfo> out;
    for (const simhost::InstanceInfo& i : simhost::instances()) {
      if (i.alive && i.object_path.size() >= file.size() &&
          i.object_path.compare(i.object_path.size() - file.size(), file.size(), file) == 0) {
        out.push_back(i);
      }
    }
    return out;
  }
};

TEST_F(Panels, GpuPlacedReportedAndRemoved) {
  load();
  EXPECT_TRUE(alive("gpu.obj").empty());
  simhost::set_float("zuvadud/D738/gpu_hide", 0.0f);
  simhost::frames(2, kDt);
  const std::vector<simhost::InstanceInfo> gpu = alive("objects/GSE/gpu.obj");
  ASSERT_EQ(gpu.size(), 1u);
  // 737-800 offsets (-17.85, -3.6): 17.85 m ahead, 3.6 m right; on the terrain.
  EXPECT_NEAR(gpu[0].x, 100.0f + 3.6f, 1e-3);
  EXPECT_NEAR(gpu[0].z, 200.0f - 17.85f, 1e-3);
  EXPECT_FLOAT_EQ(gpu[0].y, 5.0f);
  EXPECT_EQ(gpu[0].positions_set, 1);
  EXPECT_EQ(simhost::get_float("zuvadud/D738/gpu_test"), 0.0f);
  // Taxiing 0.3 m away raises the moved flag.
  simhost::set_double("sim/flightmodel/position/local_x", 100.3);
  simhost::frame(kDt);
  EXPECT_EQ(simhost::get_float("zuvadud/D738/gpu_test"), 1.0f);
  EXPECT_EQ(alive("objects/GSE/gpu.obj")[0].positions_set, 1);  // it stays where it was put
  simhost::set_float("zuvadud/D738/gpu_hide", 1.0f);
  simhost::frame(kDt);
  EXPECT_TRUE(alive("objects/GSE/gpu.obj").empty());
  EXPECT_EQ(simhost::registrations().objects, 0);
  EXPECT_TRUE(simhost::problems().empty()) << simhost::problems().front();
}

TEST_F(Panels, FuelTrucksAndDeIceTrucksComeInPairs) {
  load();
  simhost::set_float("zuvadud/D738/fueltruck_hide", 0.0f);
  simhost::set_float("zuvadud/D738/de_ice_truck/hide", 0.0f);
  simhost::frame(kDt);
  EXPECT_EQ(alive("fueltruck.obj").size(), 1u);
  EXPECT_EQ(alive("fueltruck2.obj").size(), 1u);
  const std::vector<simhost::InstanceInfo> deice = alive("de_ice_truck.obj");
  ASSERT_EQ(deice.size(), 2u);
  EXPECT_FLOAT_EQ(deice[1].heading, 150.0f);
  EXPECT_EQ(simhost::counts("zuvadud/D738/fueltruck_test").writes, 0);
  simhost::set_double("sim/flightmodel/position/local_z", 199.0);
  simhost::frame(kDt);
  EXPECT_EQ(simhost::counts("zuvadud/D738/fueltruck_test").writes, 1);  // the first truck only
  simhost::set_float("zuvadud/D738/fueltruck_hide", 1.0f);
  simhost::frame(kDt);
  EXPECT_TRUE(alive("fueltruck.obj").empty());
  EXPECT_TRUE(alive("fueltruck2.obj").empty());
  simhost::stop();
  EXPECT_EQ(simhost::registrations().total(), 0);
}

TEST_F(Panels, MissingObjectIsNotRetriedUntilShownAgain) {
  load();
  auto attempts = [] {
    int n = 0;
    for (const simhost::ObjectInfo& o : simhost::objects()) n += o.path.find("asu.obj") != std::string::npos;
    return n;
  };
  simhost::set_float("zuvadud/D738/engine/hide_asu", 0.0f);
  simhost::frames(5, kDt);
  EXPECT_EQ(attempts(), 1);
  simhost::set_float("zuvadud/D738/engine/hide_asu", 1.0f);
  simhost::frame(kDt);
  simhost::set_float("zuvadud/D738/engine/hide_asu", 0.0f);
  simhost::frame(kDt);
  EXPECT_EQ(attempts(), 2);
  EXPECT_TRUE(simhost::problems().empty()) << simhost::problems().front();
}

// The host's own report where it has the function (asked once, before its
// flight model); the weather engine's snapshot on a host 11 or a host 12
// without it.
TEST_F(Panels, WeatherReportFromTheHostOrTheSnapshot) {
  const std::string report = "KSEA 071253Z 17008KT 10SM OVC020 09/06 A3001";
  struct Case {
    int host_version;
    bool hide_function;
    int host_calls;
  } cases[] = {{120000, false, 1}, {110000, false, 0}, {120000, true, 0}};
  for (const Case& c : cases) {
    const std::string appdata =
        std::filesystem::temp_directory_path() / ("corvane-appdata-" + std::to_string(getpid()));
    const std::string weather = appdata + "/HiFi/AS_XPL/Weather";
    std::filesystem::create_directories(weather);
    std::ofstream(weather + "/current_wx_snapshot.txt") << "KSEA 071253" << report << ":\n";
    setenv("APPDATA", appdata.c_str(), 1);
    simhost::Config config;
    config.host_version = c.host_version;
    if (c.hide_function) config.absent_symbols = {"XPLMGetMETARForAirport"};
    load(config);
    simhost::set_metar("KSEA", report);
    simhost::set_bytes("zuvadud/D738/metar_icao", "KSEA");
    simhost::set_float("zuvadud/D738/metar_cmd", 1.0f);
    simhost::frames(3, kDt);
    EXPECT_EQ(simhost::get_float("zuvadud/D738/metar_cmd"), 3.0f) << c.host_version;
    EXPECT_EQ(simhost::get_text("zuvadud/D738/metar_data"), report) << c.host_version;
    EXPECT_EQ(simhost::metar_calls(), c.host_calls) << c.host_version;
    EXPECT_EQ(simhost::symbol_lookups("XPLMGetMETARForAirport"), 1);
    simhost::stop();
    EXPECT_EQ(simhost::registrations().total(), 0);
    EXPECT_TRUE(simhost::problems().empty()) << simhost::problems().front();
    std::filesystem::remove_all(appdata);
  }
}

TEST_F(Panels, EmptyHostReportIsAskedAgainAtMostOnceASecond) {
  load();
  simhost::set_bytes("zuvadud/D738/metar_icao", "KSEA");
  simhost::set_float("zuvadud/D738/metar_cmd", 1.0f);
  simhost::frames(90, kDt);  // three seconds without real weather
  EXPECT_GE(simhost::metar_calls(), 3);
  EXPECT_LE(simhost::metar_calls(), 4);
  simhost::stop();  // with the fetch loop still waiting
  EXPECT_EQ(simhost::registrations().total(), 0);
  EXPECT_TRUE(simhost::problems().empty()) << simhost::problems().front();
}

TEST_F(Panels, PackedArraysWrittenEveryFrameAndRestored) {
  load();
  const char* const arrays[] = {"zuvadud/D738/lights", "zuvadud/D738/lights_sw", "zuvadud/D738/antiice",
                                "zuvadud/D738/antiice_sw", "zuvadud/D738/fire", "zuvadud/D738/fire_sw"};
  int before[6];
  for (int i = 0; i < 6; ++i) before[i] = simhost::counts(arrays[i]).writes;
  simhost::frames(2, kDt);
  for (int i = 0; i < 6; ++i) EXPECT_EQ(simhost::counts(arrays[i]).writes, before[i] + 2) << arrays[i];
  // The first frame filled the bottles; a saved situation brings a used one back.
  std::vector<float> fire_sw = simhost::get_floats("zuvadud/D738/fire_sw");
  EXPECT_EQ(fire_sw[6], 600.0f);
  fire_sw[6] = 123.0f;
  simhost::set_floats("zuvadud/D738/fire_sw", fire_sw);
  std::vector<float> ice_sw = simhost::get_floats("zuvadud/D738/antiice_sw");
  ice_sw[2] = 1.0f;  // wing anti-ice on
  simhost::set_floats("zuvadud/D738/antiice_sw", ice_sw);
  simhost::set_float("zuvadud/D738/load_save", 4.0f);
  simhost::frame(kDt);
  EXPECT_EQ(simhost::get_float("zuvadud/D738/fire/engine01_02L/ext_bottle/psi"), 123.0f);
  EXPECT_EQ(simhost::get_float("zuvadud/D738/ice/wing_heat_pos"), 1.0f);
  EXPECT_TRUE(simhost::problems().empty()) << simhost::problems().front();
}

}  // namespace
