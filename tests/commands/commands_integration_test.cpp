// The built module's commands as the host sees them: what it creates, how many
// handlers it holds, what a taken-over host command reaches while it is loaded,
// and that stop leaves nothing registered.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

#include "battery_on.h"
#include "commands/command_handlers.h"
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

// What each one is, by kind and group, the reference (reference_docs_check)
// and the generator's check of its table (gen_commands_check) pin.
TEST_F(LoadedCommands, CreatesEachCommandOnce) {
  const auto created = simhost::plugin_commands();
  ASSERT_EQ(created.size(), static_cast<size_t>(cockpit_command_count));
  std::set<std::string> names;
  for (const auto& c : created) {
    EXPECT_TRUE(names.insert(c.name).second) << "created twice: " << c.name;
    EXPECT_EQ(c.name.rfind(kPrefix, 0), 0u) << c.name;
  }
  EXPECT_EQ(created.front().name, kPrefix + "toggle_switch/n1_set_source_left");
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
  EXPECT_EQ(simhost::registrations().command_handlers, command_handler_count);
  const std::string trim = "sim/flight_controls/aileron_trim_left";
  const std::string gear = "sim/flight_controls/landing_gear_down";
  EXPECT_EQ(simhost::handler_count(trim), 1);
  EXPECT_EQ(simhost::handler_count(gear), 1);
  EXPECT_EQ(simhost::handler_count(kPrefix + "push_button/gear_up"), 1);

  simhost::frames(30, 1.0f / 30);
  battery_on();  // the aileron trim's actuator
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
