// Registration and withdrawal as the host sees them. The plug-in's command
// calls reach the simulated host through a recorder (linker wraps), which logs
// their order and tuples and can play a host that lacks some commands or
// refuses creation. Checks the order of look-ups, creations and take-overs,
// the registration tuples, what a command reaches while registered and after
// stop, and that an absent host command is never handed to the host.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "core/command_refs.h"
#include "commands/command_table.h"
#include "commands/registration.h"
#include "host.h"
#include "systems/electrical/electric_values.h"
#include "withdraw_commands.h"

namespace rec {

enum class Call { find, create, reg, unreg, once, begin, end };

struct Event {
  Call call;
  std::string name;  // command name behind the handle
  XPLMCommandRef command;
  XPLMCommandCallback_f handler;
  int before;
  void* refcon;
};

std::vector<Event> events;
std::map<XPLMCommandRef, std::string> names;
std::set<std::string> absent;  // host commands this host does not know
bool refuse_creation = false;

void reset() {
  events.clear();
  names.clear();
  absent.clear();
  refuse_creation = false;
}

std::string name_of(XPLMCommandRef command) {
  auto it = names.find(command);
  return it == names.end() ? "?" : it->second;
}

void log(Call call, XPLMCommandRef c, XPLMCommandCallback_f f = nullptr, int before = 0, void* refcon = nullptr) {
  events.push_back({call, name_of(c), c, f, before, refcon});
}

}  // namespace rec

extern "C" {
XPLMCommandRef __real_XPLMFindCommand(const char* name);
XPLMCommandRef __real_XPLMCreateCommand(const char* name, const char* description);
void __real_XPLMRegisterCommandHandler(XPLMCommandRef, XPLMCommandCallback_f, int, void*);
void __real_XPLMUnregisterCommandHandler(XPLMCommandRef, XPLMCommandCallback_f, int, void*);
void __real_XPLMCommandOnce(XPLMCommandRef);
void __real_XPLMCommandBegin(XPLMCommandRef);
void __real_XPLMCommandEnd(XPLMCommandRef);

XPLMCommandRef __wrap_XPLMFindCommand(const char* name) {
  const XPLMCommandRef h = rec::absent.count(name) ? nullptr : __real_XPLMFindCommand(name);
  if (h) rec::names[h] = name;
  rec::events.push_back({rec::Call::find, name, h, nullptr, 0, nullptr});
  return h;
}
XPLMCommandRef __wrap_XPLMCreateCommand(const char* name, const char* description) {
  const XPLMCommandRef h = rec::refuse_creation ? nullptr : __real_XPLMCreateCommand(name, description);
  if (h) rec::names[h] = name;
  rec::events.push_back({rec::Call::create, name, h, nullptr, 0, nullptr});
  return h;
}
void __wrap_XPLMRegisterCommandHandler(XPLMCommandRef c, XPLMCommandCallback_f f, int before, void* refcon) {
  rec::log(rec::Call::reg, c, f, before, refcon);
  __real_XPLMRegisterCommandHandler(c, f, before, refcon);
}
void __wrap_XPLMUnregisterCommandHandler(XPLMCommandRef c, XPLMCommandCallback_f f, int before, void* refcon) {
  rec::log(rec::Call::unreg, c, f, before, refcon);
  __real_XPLMUnregisterCommandHandler(c, f, before, refcon);
}
void __wrap_XPLMCommandOnce(XPLMCommandRef c) {
  rec::log(rec::Call::once, c);
  __real_XPLMCommandOnce(c);
}
void __wrap_XPLMCommandBegin(XPLMCommandRef c) {
  rec::log(rec::Call::begin, c);
  __real_XPLMCommandBegin(c);
}
void __wrap_XPLMCommandEnd(XPLMCommandRef c) {
  rec::log(rec::Call::end, c);
  __real_XPLMCommandEnd(c);
}
}

namespace {

void unregister_all() {
  withdraw_all_command_handlers();
}

std::vector<rec::Event> of(rec::Call call) {
  std::vector<rec::Event> out;
  for (const rec::Event& e : rec::events)
    if (e.call == call) out.push_back(e);
  return out;
}

size_t index_of(rec::Call call, const std::string& name) {
  for (size_t i = 0; i < rec::events.size(); ++i)
    if (rec::events[i].call == call && rec::events[i].name == name) return i;
  return rec::events.size();
}

class Registration : public ::testing::Test {
 protected:
  void SetUp() override {
    simhost::reset();
    rec::reset();
  }
  void TearDown() override {
    unregister_all();
    // Nothing the plug-in did was a misuse the host would crash on or ignore.
    for (const std::string& p : simhost::problems()) ADD_FAILURE() << p;
    EXPECT_EQ(simhost::registrations().command_handlers, 0);
    rec::reset();
  }
};

TEST_F(Registration, IssuedHostCommandsAreFoundBeforeAnyCreation) {
  register_commands();
  const size_t first_create = index_of(rec::Call::create, cockpit_commands[0].name);
  ASSERT_EQ(first_create, static_cast<size_t>(host_lookup_count));
  for (int i = 0; i < host_lookup_count; ++i) {
    EXPECT_EQ(rec::events[i].call, rec::Call::find);
    EXPECT_EQ(rec::events[i].name, host_command_names[i]);
  }
}

TEST_F(Registration, EachCommandCreatedOnceInOrderThenRegisteredBeforeWithNullRefcon) {
  register_commands();
  const auto creates = of(rec::Call::create);
  ASSERT_EQ(creates.size(), static_cast<size_t>(cockpit_command_count));
  for (int i = 0; i < cockpit_command_count; ++i) EXPECT_EQ(creates[i].name, cockpit_commands[i].name) << i;

  const auto created = simhost::plugin_commands();
  ASSERT_EQ(created.size(), static_cast<size_t>(cockpit_command_count));
  for (int i = 0; i < cockpit_command_count; ++i) {
    EXPECT_EQ(created[i].name, cockpit_commands[i].name);
    EXPECT_EQ(created[i].description, cockpit_commands[i].description);
  }

  // Every creation is followed at once by its handler registration.
  for (size_t i = 0; i + 1 < rec::events.size(); ++i) {
    if (rec::events[i].call != rec::Call::create) continue;
    const rec::Event& r = rec::events[i + 1];
    ASSERT_EQ(r.call, rec::Call::reg) << rec::events[i].name;
    EXPECT_EQ(r.command, rec::events[i].command);
  }
  const auto regs = of(rec::Call::reg);
  ASSERT_EQ(regs.size(), static_cast<size_t>(command_handler_count));
  EXPECT_EQ(simhost::registrations().command_handlers, command_handler_count);
  std::set<XPLMCommandCallback_f> handlers;
  std::set<XPLMCommandRef> commands;
  for (const rec::Event& r : regs) {
    EXPECT_EQ(r.before, 1) << r.name;
    EXPECT_EQ(r.refcon, nullptr) << r.name;
    handlers.insert(r.handler);
    commands.insert(r.command);
  }
  EXPECT_EQ(handlers.size(), static_cast<size_t>(command_handler_count));
  EXPECT_EQ(commands.size(), static_cast<size_t>(command_handler_count));
}

TEST_F(Registration, GroupsTakeOverTheirHostCommandsAfterTheirOwn) {
  register_commands();
  struct Seam {
    const char* last_own;  // null: the table's last command
    const char* first_hook;
    const char* last_hook;
    const char* next_create;
  };
  const Seam seams[] = {
      {"zuvadud/D738/toggle_switch/n1_set_source_right", "sim/engines/thrust_reverse_toggle",
       "sim/engines/thrust_reverse_toggle_2", "zuvadud/D738/push_button/capt_six_pack"},
      {"zuvadud/D738/push_button/emer_exit_full_off", "sim/flight_controls/rudder_trim_left",
       "sim/flight_controls/aileron_trim_right", "zuvadud/D738/switch/logo_light_on"},
      {nullptr, "sim/lights/landing_lights_on", "sim/flight_controls/pitch_trimB_down", nullptr},
  };
  for (const Seam& s : seams) {
    const size_t own =
        index_of(rec::Call::reg, s.last_own ? s.last_own : cockpit_commands[cockpit_command_count - 1].name);
    const size_t find = index_of(rec::Call::find, s.first_hook);
    const size_t last = index_of(rec::Call::reg, s.last_hook);
    ASSERT_LT(last, rec::events.size()) << s.last_hook;
    EXPECT_EQ(find, own + 1) << s.first_hook;
    EXPECT_EQ(rec::events[find + 1].call, rec::Call::reg);
    if (s.next_create) {
      EXPECT_EQ(index_of(rec::Call::create, s.next_create), last + 1) << s.next_create;
    } else {
      EXPECT_EQ(last + 1, rec::events.size());
    }
  }
}

// The rudder trim's actuator powered, so its hook lets the host's trim run.
TEST_F(Registration, WhatACommandReachesWhileRegisteredAndAfterStop) {
  electric::batbus_status = 1.0f;
  register_commands();
  struct Case {
    const char* name;
    int host_runs_registered;
  };
  const Case cases[] = {
      {"sim/flight_controls/aileron_trim_left", 1}, {"sim/flight_controls/rudder_trim_right", 1},
      {"sim/flight_controls/landing_gear_down", 0}, {"sim/flight_controls/pitch_trim_up", 0},
      {"sim/engines/thrust_reverse_hold", 0},       {"zuvadud/D738/push_button/gear_up", 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(simhost::handler_count(c.name), 1) << c.name;
    simhost::command_once(c.name);
    EXPECT_EQ(simhost::host_action_calls(c.name, xplm_CommandBegin), c.host_runs_registered) << c.name;
  }
  unregister_all();
  for (const Case& c : cases) {
    EXPECT_EQ(simhost::handler_count(c.name), 0) << c.name;
    simhost::command_once(c.name);
    EXPECT_EQ(simhost::host_action_calls(c.name, xplm_CommandBegin), c.host_runs_registered + 1) << c.name;
  }
  electric::batbus_status = 0.0f;
}

TEST_F(Registration, StopWithdrawsEveryRegistrationWithItsTupleInGroupOrder) {
  register_commands();
  const auto regs = of(rec::Call::reg);
  rec::events.clear();
  unregister_all();
  const auto unregs = of(rec::Call::unreg);
  ASSERT_EQ(unregs.size(), regs.size());
  for (size_t i = 0; i < regs.size(); ++i) {
    EXPECT_EQ(unregs[i].name, regs[i].name) << i;
    EXPECT_EQ(unregs[i].command, regs[i].command) << regs[i].name;
    EXPECT_EQ(unregs[i].handler, regs[i].handler) << regs[i].name;
    EXPECT_EQ(unregs[i].before, 1);
    EXPECT_EQ(unregs[i].refcon, nullptr);
  }
  EXPECT_EQ(simhost::registrations().command_handlers, 0);

  // A second stop has nothing left to withdraw.
  rec::events.clear();
  unregister_all();
  EXPECT_TRUE(rec::events.empty());
}

TEST_F(Registration, AbsentHostCommandIsNeverHandedToTheHost) {
  rec::absent = {"sim/flight_controls/landing_gear_down", "sim/flight_controls/aileron_trim_left",
                 "sim/electrical/APU_on"};
  register_commands();
  // Two take-overs are lost with their host commands; the look-up had no handler.
  EXPECT_EQ(of(rec::Call::reg).size(), static_cast<size_t>(command_handler_count - 2));
  EXPECT_EQ(host_command(HostCmd::electrical_APU_on), nullptr);
  EXPECT_EQ(host_command(HostCmd::flight_controls_landing_gear_down), nullptr);
  EXPECT_NE(host_command(HostCmd::flight_controls_landing_gear_up), nullptr);

  issue_command_once(HostCmd::electrical_APU_on);
  issue_command_begin(HostCmd::electrical_APU_on);
  issue_command_end(HostCmd::electrical_APU_on);
  unregister_all();
  EXPECT_EQ(of(rec::Call::unreg).size(), static_cast<size_t>(command_handler_count - 2));
  for (const rec::Event& e : rec::events) {
    if (e.call != rec::Call::find && e.call != rec::Call::create) {
      EXPECT_NE(e.command, nullptr) << e.name;
    }
  }
}

TEST_F(Registration, RefusedCreationRegistersNothing) {
  rec::refuse_creation = true;
  register_commands();
  EXPECT_EQ(of(rec::Call::reg).size(), static_cast<size_t>(host_hook_count));
  EXPECT_EQ(own_command(OwnCmd::push_button_gear_up), nullptr);
  issue_command_once(OwnCmd::push_button_gear_up);
  EXPECT_TRUE(of(rec::Call::once).empty());
}

TEST_F(Registration, IssuedHandlesReachTheirCommands) {
  register_commands();
  EXPECT_EQ(host_command(HostCmd::electrical_APU_on), XPLMFindCommand("sim/electrical/APU_on"));
  EXPECT_EQ(host_command(HostCmd::flight_controls_pitch_trimB_down),
            XPLMFindCommand("sim/flight_controls/pitch_trimB_down"));
  EXPECT_EQ(host_command(static_cast<HostCmd>(host_command_count)), nullptr);
  EXPECT_EQ(host_command(static_cast<HostCmd>(-1)), nullptr);
  EXPECT_EQ(own_command(static_cast<OwnCmd>(own_issued_count)), nullptr);
  EXPECT_EQ(cockpit_command_handle(cockpit_command_count), nullptr);
  EXPECT_EQ(cockpit_command_handle(-1), nullptr);

  simhost::clear_issued_commands();
  issue_command_once(OwnCmd::push_button_gear_up);
  issue_command_once(OwnCmd::push_button_gear_off);
  issue_command_once(OwnCmd::push_button_gear_down);
  issue_command_begin(HostCmd::electrical_APU_on);
  issue_command_end(HostCmd::electrical_APU_on);
  const std::vector<std::pair<std::string, int>> want = {
      {"zuvadud/D738/push_button/gear_up", 0},   {"zuvadud/D738/push_button/gear_up", 2},
      {"zuvadud/D738/push_button/gear_off", 0},  {"zuvadud/D738/push_button/gear_off", 2},
      {"zuvadud/D738/push_button/gear_down", 0}, {"zuvadud/D738/push_button/gear_down", 2},
      {"sim/electrical/APU_on", 0},              {"sim/electrical/APU_on", 2}};
  const auto& issued = simhost::issued_commands();
  ASSERT_EQ(issued.size(), want.size());
  for (size_t i = 0; i < want.size(); ++i) {
    EXPECT_EQ(issued[i].name, want[i].first);
    EXPECT_EQ(issued[i].phase, want[i].second);
  }
}

}  // namespace
