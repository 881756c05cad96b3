// The engine force override as the host sees it: taken over and written every
// frame on the newer host with a generic aircraft file, left alone on the
// older host and with a named variant.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "host.h"

namespace {

class EngineOverride : public ::testing::Test {
 protected:
  void TearDown() override { simhost::reset(); }
  void load(const std::string& acf, int host_version) {
    simhost::Config config;
    config.acf = acf;
    config.host_version = host_version;
    simhost::reset(config);
    std::string error;
    ASSERT_TRUE(simhost::load_and_start(CORVANE_MODULE_PATH, &error)) << error;
    simhost::set_floats("sim/flightmodel2/engines/N1_percent", {90.0f, 90.0f});
    simhost::set_ints("sim/flightmodel2/engines/engine_is_burning_fuel", {1, 1});
    simhost::set_float("sim/weather/sigma", 1.0f);
    simhost::frames(5, 1.0f / 30);
  }
  static bool own_problem_free() {
    for (const std::string& p : simhost::problems()) {
      if (p.find("forces") != std::string::npos || p.find("engine") != std::string::npos ||
          p.find("idle_ratio") != std::string::npos || p.find("override") != std::string::npos) {
        ADD_FAILURE() << p;
        return false;
      }
    }
    return true;
  }
};

TEST_F(EngineOverride, NewerHostGenericAircraftFliesOnTheModelsThrust) {
  load("d738.acf", 120000);
  EXPECT_EQ(simhost::get_int("sim/operation/override/override_engine_forces"), 1);
  EXPECT_EQ(simhost::get_int("sim/operation/override/override_fuel_flow"), 1);
  EXPECT_GE(simhost::counts("sim/flightmodel/forces/faxil_prop").writes, 5);
  const float faxil = simhost::get_float("sim/flightmodel/forces/faxil_prop");
  EXPECT_LT(faxil, -100000.0f);  // two engines near full thrust push forward
  const std::vector<float> ff = simhost::get_floats("sim/flightmodel/engine/ENGN_FF_", 2);
  ASSERT_EQ(ff.size(), 2u);
  EXPECT_GT(ff[0], 0.5f);
  EXPECT_FLOAT_EQ(ff[0], ff[1]);
  // The host drops the override: it is taken back on the next frame.
  simhost::set_int("sim/operation/override/override_engine_forces", 0);
  simhost::frame(1.0f / 30);
  EXPECT_EQ(simhost::get_int("sim/operation/override/override_engine_forces"), 1);
  // Idle ratios of the newer host's generic aircraft.
  simhost::frames(20, 1.0f / 30);
  EXPECT_FLOAT_EQ(simhost::get_float("sim/aircraft2/engine/low_idle_ratio"), 0.6f);
  EXPECT_FLOAT_EQ(simhost::get_float("sim/aircraft2/engine/high_idle_ratio"), 0.67f);
  EXPECT_TRUE(own_problem_free());
}

TEST_F(EngineOverride, OlderHostOrNamedVariantLeavesTheHostsThrust) {
  struct Case {
    const char* acf;
    int version;
  } cases[] = {{"d738.acf", 110000}, {"737_80NG.acf", 120000}};
  for (const Case& c : cases) {
    load(c.acf, c.version);
    EXPECT_EQ(simhost::get_int("sim/operation/override/override_engine_forces"), 0) << c.acf;
    EXPECT_EQ(simhost::get_int("sim/operation/override/override_fuel_flow"), 0) << c.acf;
    EXPECT_EQ(simhost::counts("sim/flightmodel/forces/faxil_prop").writes, 0) << c.acf;
    EXPECT_EQ(simhost::counts("sim/flightmodel/engine/ENGN_FF_").writes, 0) << c.acf;
    EXPECT_TRUE(own_problem_free());
  }
}

TEST_F(EngineOverride, StopReleasesTheOverrides) {
  load("b737.acf", 120000);
  ASSERT_EQ(simhost::get_int("sim/operation/override/override_engine_forces"), 1);
  simhost::stop();
  EXPECT_EQ(simhost::get_int("sim/operation/override/override_engine_forces"), 0);
  EXPECT_EQ(simhost::get_int("sim/operation/override/override_fuel_flow"), 0);
}

}  // namespace
