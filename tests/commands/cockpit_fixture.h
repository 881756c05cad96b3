// Shared set-up of the cockpit handler tests: a fresh simulated host with the
// plug-in's bindings looked up and every command registered, so a test
// operates a command by name as the pilot would and reads the state the
// handler moved, the host values it wrote and the commands it issued.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "commands/command_hold.h"
#include "commands/registration.h"
#include "core/binding.h"
#include "core/frame_values.h"
#include "host.h"
#include "withdraw_commands.h"

class CockpitTest : public ::testing::Test {
 protected:
  static constexpr float kFrame_s = 0.125f;  // exact in binary

  void SetUp() override {
    simhost::reset();
    for (XPLMDataRef& h : bound_handles) h = nullptr;
    bind_outside_datarefs();
    bind_host_datarefs();
    bind_script_datarefs();
    register_commands();
    host_mirror = HostMirror{};
    script_mirror = ScriptMirror{};
    frame_time = kFrame_s;
    command_hold_time = 0.0f;
    command_repeat_time = 0.0f;
    simhost::clear_issued_commands();
  }
  // Withdraws the handlers as stop does, so the next test's registration
  // reaches its fresh host.
  void TearDown() override {
    withdraw_all_command_handlers();
    simhost::reset();
  }

  static std::string cmd(const std::string& path) { return "zuvadud/D738/" + path; }
  static void press(const std::string& path) { simhost::command_begin(cmd(path)); }
  static void release(const std::string& path) { simhost::command_end(cmd(path)); }
  static void click(const std::string& path) { simhost::command_once(cmd(path)); }
  // Holds a command for `frames` continue callbacks, then releases it.
  static void hold(const std::string& path, int frames) {
    press(path);
    simhost::frames(frames, kFrame_s);
    release(path);
  }
  // Begin phases the plug-in issued of a command (a once counts once).
  static int issued(const std::string& name) {
    int n = 0;
    for (const simhost::IssuedCommand& c : simhost::issued_commands()) {
      if (c.name == name && c.phase == 0) ++n;
    }
    return n;
  }
  // Begin phases of every command the plug-in issued.
  static int issued_total() {
    int n = 0;
    for (const simhost::IssuedCommand& c : simhost::issued_commands()) n += c.phase == 0 ? 1 : 0;
    return n;
  }
  static int ended(const std::string& name) {
    int n = 0;
    for (const simhost::IssuedCommand& c : simhost::issued_commands()) {
      if (c.name == name && c.phase == 2 && !c.once) ++n;
    }
    return n;
  }
};
