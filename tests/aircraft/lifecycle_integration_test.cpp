// The built module's lifecycle as the host sees it: identity, what start-up
// registers and stop withdraws, the log, load messages, the frame guard, the
// aircraft folder and the weather-engine probe over the environment.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "host.h"

namespace {

class Module : public ::testing::Test {
 protected:
  void TearDown() override {
    unsetenv("APPDATA");
    simhost::reset();
  }
  void load(simhost::Config config = simhost::Config()) {
    simhost::reset(config);
    std::string error;
    ASSERT_TRUE(simhost::load_and_start(CORVANE_MODULE_PATH, &error)) << error;
  }
  static int ias_override_writes() { return simhost::counts("sim/operation/override/override_ias").writes; }
};

TEST_F(Module, StartsWithItsIdentityOneDrawCallbackAndTwoEveryFrameLoops) {
  load();
  EXPECT_EQ(simhost::identity().name, "CORVane_plugin");
  EXPECT_EQ(simhost::identity().signature, "corvane.by.Harl");
  EXPECT_EQ(simhost::identity().description, "This is plugin for CORVane.");

  const auto draws = simhost::draw_callbacks();
  ASSERT_EQ(draws.size(), 1u);
  EXPECT_EQ(draws[0].phase, 45);
  EXPECT_EQ(draws[0].before, 1);

  const auto loops = simhost::flight_loops();
  std::vector<simhost::LoopInfo> created;
  for (const auto& l : loops)
    if (l.created) created.push_back(l);
  ASSERT_EQ(created.size(), 2u);
  EXPECT_EQ(created[0].phase, 1);  // main loop, after the flight model
  EXPECT_EQ(created[1].phase, 0);  // load loop, before it
  for (const auto& l : created) EXPECT_FLOAT_EQ(l.interval, -1.0f);

  simhost::frames(3, 1.0f / 30.0f);
  for (const auto& l : simhost::flight_loops()) {
    if (l.created) {
      EXPECT_EQ(l.calls, 3);
    }
  }
}

TEST_F(Module, LogsItsLifecycleLinesInOrder) {
  load();
  simhost::frames(2, 1.0f / 30.0f);
  simhost::stop();
  const auto& log = simhost::log_lines();
  const std::vector<std::string> wanted = {"Corvane plugin running.", "Corvane plugin: Reading navigation data...",
                                           "Corvane plugin unloaded."};
  auto at = log.begin();
  for (const std::string& line : wanted) {
    at = std::find(at, log.end(), line);
    ASSERT_NE(at, log.end()) << "missing or out of order: " << line;
  }
  EXPECT_EQ(log.back(), "Corvane plugin unloaded.");
}

TEST_F(Module, StopLeavesNothingRegistered) {
  load();
  simhost::send_message(simhost::kHostId, 103, nullptr);  // creates the terrain probe
  simhost::frames(5, 1.0f / 30.0f);
  EXPECT_GT(simhost::registrations().total(), 0);
  simhost::stop();
  const simhost::Registrations r = simhost::registrations();
  EXPECT_EQ(r.datarefs, 0);
  EXPECT_EQ(r.command_handlers, 0);
  EXPECT_EQ(r.flight_loops, 0);
  EXPECT_EQ(r.draw_callbacks, 0);
  EXPECT_EQ(r.probes, 0);
  EXPECT_EQ(r.objects, 0);
  EXPECT_EQ(r.instances, 0);
  simhost::unload();
  EXPECT_TRUE(simhost::leftovers().empty());
  for (const std::string& p : simhost::problems()) ADD_FAILURE() << p;
}

// The load loop takes the IAS display over once per load; each accepted load
// message makes it do so again.
TEST_F(Module, LoadMessagesRestartTheLoadWorkOnlyWhenTheyConcernThisAircraft) {
  load();
  simhost::frames(3, 1.0f / 30.0f);
  ASSERT_EQ(ias_override_writes(), 1);
  int other = 1;
  struct Case {
    int from;
    int message;
    void* param;
    int writes_after;
  } cases[] = {
      {simhost::kHostId, 102, &other, 1},
      {simhost::kDatarefEditorId, 102, nullptr, 1},
      {simhost::kDatarefEditorId, 103, nullptr, 1},
      {simhost::kHostId, 102, nullptr, 2},
      {simhost::kHostId, 103, &other, 3},
  };
  for (const Case& c : cases) {
    simhost::send_message(c.from, c.message, c.param);
    simhost::frames(2, 1.0f / 30.0f);
    EXPECT_EQ(ias_override_writes(), c.writes_after) << "from " << c.from << " message " << c.message;
  }
}

TEST_F(Module, WithoutTheScriptsGuardDatarefTheFrameStopsAfterTheStep) {
  simhost::Config config;
  config.omit = {"zuvadud/D738/fms/vnav_idx"};
  load(config);
  simhost::frames(10, 1.0f / 30.0f);
  EXPECT_EQ(simhost::counts("sim/time/paused").reads, 0);
  EXPECT_EQ(simhost::registrations().probes, 0);  // the main loop never got that far

  load();
  simhost::frames(10, 1.0f / 30.0f);
  EXPECT_GT(simhost::counts("sim/time/paused").reads, 0);
  EXPECT_EQ(simhost::registrations().probes, 1);
}

TEST_F(Module, AircraftFolderIsThePathBetweenRootAndPluginFolder) {
  for (const std::string aircraft : {"Aircraft/D738/", "Aircraft/Extra Aircraft/B737 NG/"}) {
    simhost::Config config;
    config.aircraft = aircraft;
    load(config);
    ASSERT_EQ(simhost::plugin_path(), simhost::root() + aircraft + "plugins/corvane/64/lin.xpl");
    EXPECT_EQ(simhost::get_text("corvane/Aircraft_Path"), aircraft);
    EXPECT_EQ(simhost::get_text("corvane/Xplane_Path"), simhost::root());
  }
}

TEST_F(Module, AircraftFolderFoundInAPathWithBackslashes) {
  simhost::Config config;
  config.backslash_paths = true;
  load(config);
  EXPECT_EQ(simhost::get_text("corvane/Aircraft_Path"), "Aircraft\\D738\\");
}

TEST_F(Module, AnAppdataValueTooLongForThePathBufferSkipsTheWeatherProbe) {
  setenv("APPDATA", std::string(5000, 'q').c_str(), 1);
  load();
  simhost::frames(2, 1.0f / 30.0f);
  EXPECT_FALSE(simhost::log_contains("Corvane plugin: ASXP detected."));
  EXPECT_TRUE(simhost::log_contains("Corvane plugin: Reading navigation data..."));
}

TEST_F(Module, WeatherEngineSnapshotIsDetectedAtStartUp) {
  simhost::reset();
  namespace fs = std::filesystem;
  const fs::path dir = fs::path(simhost::root()) / "roaming";
  fs::create_directories(dir / "HiFi/AS_XPL/Weather");
  std::FILE* f = std::fopen((dir / "HiFi/AS_XPL/Weather/current_wx_snapshot.txt").string().c_str(), "w");
  ASSERT_NE(f, nullptr);
  std::fclose(f);
  setenv("APPDATA", dir.string().c_str(), 1);
  std::string error;
  ASSERT_TRUE(simhost::load_and_start(CORVANE_MODULE_PATH, &error)) << error;
  const auto& log = simhost::log_lines();
  auto running = std::find(log.begin(), log.end(), "Corvane plugin running.");
  auto asxp = std::find(log.begin(), log.end(), "Corvane plugin: ASXP detected.");
  auto reading = std::find(log.begin(), log.end(), "Corvane plugin: Reading navigation data...");
  ASSERT_NE(asxp, log.end());
  EXPECT_LT(running, asxp);
  EXPECT_LT(asxp, reading);
}

}  // namespace
