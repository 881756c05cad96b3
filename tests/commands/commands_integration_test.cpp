// The built module's commands as the host sees them: what it creates, how many
// handlers it holds, what a taken-over host command reaches while it is loaded,
// and that stop leaves nothing registered.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

#include "host.h"

namespace {

const std::string kPrefix = "zuvadud/D738/";

class LoadedCommands : public ::testing::Test {
 protected:
  void SetUp() override {
    simhost::reset();
    std::string error;
    ASSERT_TRUE(simhost::load_and_start(CORVANE_MODULE_PATH, &error)) << error;
  }
  void TearDown() override { simhost::reset(); }
};

TEST_F(LoadedCommands, CreatesEachCommandOnceByKind) {
  const auto created = simhost::plugin_commands();
  ASSERT_EQ(created.size(), 473u);
  std::set<std::string> names;
  std::map<std::string, int> kinds;
  for (const auto& c : created) {
    EXPECT_TRUE(names.insert(c.name).second) << "created twice: " << c.name;
    ASSERT_EQ(c.name.rfind(kPrefix, 0), 0u) << c.name;
    const std::string rest = c.name.substr(kPrefix.size());
    const auto slash = rest.find('/');
    ++kinds[slash == std::string::npos ? "" : rest.substr(0, slash)];
  }
  const std::map<std::string, int> want = {
      {"toggle_switch", 178}, {"push_button", 67}, {"knob", 43},       {"switch", 39},
      {"audio", 18},          {"comm", 18},        {"rtp_L", 12},      {"rtp_R", 12},
      {"rtp_D", 12},          {"fire", 9},         {"gear_lock", 1},   {"rotary", 8},
      {"engine", 8},          {"cabin", 7},        {"one_way_switch", 6}, {"alert", 4},
      {"system", 4},          {"flight_controls", 4}, {"autopilot", 2}, {"spring_toggle_switch", 2},
      {"spring_switch", 1},   {"LDU_control", 1},  {"", 17}};
  EXPECT_EQ(kinds, want);
  EXPECT_EQ(created.front().name, kPrefix + "toggle_switch/n1_set_source_left");
  EXPECT_EQ(created.back().name, kPrefix + "engine/mixture2_hold");
}

TEST_F(LoadedCommands, DescriptionsAsWritten) {
  std::map<std::string, std::string> by_name;
  for (const auto& c : simhost::plugin_commands()) by_name[c.name] = c.description;
  const std::pair<const char*, const char*> spots[] = {
      {"push_button/master_caution1", "Captain Fire Master Caution"},
      {"audio/obs/mic_push6", "Observer PA Mic"},
      {"toggle_switch/wing_heat", "WING Anti ice on/off"},
      {"brake_smoothly", "Brake smoothly"},
      {"LDU_control/push_button/MFD_CR", "MFD C/R"},
  };
  for (const auto& [path, text] : spots) EXPECT_EQ(by_name[kPrefix + path], text) << path;
}

TEST_F(LoadedCommands, HandlersAndTakeOversWhileLoadedAndAfterStop) {
  EXPECT_EQ(simhost::registrations().command_handlers, 508);
  const std::string trim = "sim/flight_controls/aileron_trim_left";
  const std::string gear = "sim/flight_controls/landing_gear_down";
  EXPECT_EQ(simhost::handler_count(trim), 1);
  EXPECT_EQ(simhost::handler_count(gear), 1);
  EXPECT_EQ(simhost::handler_count(kPrefix + "push_button/gear_up"), 1);

  simhost::command_once(trim);
  EXPECT_EQ(simhost::host_action_calls(trim, 0), 1);
  simhost::command_once(gear);
  EXPECT_EQ(simhost::host_action_calls(gear, 0), 0);

  simhost::stop();
  EXPECT_EQ(simhost::registrations().command_handlers, 0);
  EXPECT_EQ(simhost::handler_count(trim), 0);
  EXPECT_EQ(simhost::handler_count(gear), 0);
  simhost::command_once(gear);
  EXPECT_EQ(simhost::host_action_calls(gear, 0), 1);
  for (const auto& p : simhost::problems()) EXPECT_EQ(p.find("command"), std::string::npos) << p;
}

}  // namespace
