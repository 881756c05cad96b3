// Shared set-up of the overhead panel tests: a fresh simulated host with the
// plug-in's bindings and command handles looked up, every bus powered, and a
// fixed frame step.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "commands/registration.h"
#include "core/binding.h"
#include "core/frame_values.h"
#include "host.h"
#include "systems/electrical/electric_values.h"

class PanelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    simhost::reset(host_config());
    for (XPLMDataRef& h : bound_handles) h = nullptr;
    bind_outside_datarefs();
    bind_host_datarefs();
    bind_librain_datarefs();
    bind_addon_datarefs();
    bind_script_datarefs();
    register_commands();
    host_mirror = HostMirror{};
    script_mirror = ScriptMirror{};
    host_version = simhost::config().host_version;
    frame_time = 0.125f;  // exact in binary
    power_all(1.0f);
    simhost::clear_issued_commands();
  }
  virtual simhost::Config host_config() { return simhost::Config(); }

  static void power_all(float v) {
    using namespace electric;
    for (float* bus : {&ac_stdbus_status, &ac_tnsbus1_status, &ac_tnsbus2_status, &dc_stdbus_status, &dc_bus1_status,
                       &dc_bus2_status, &hot_batbus_status, &batbus_status, &dir_batbus_status, &main_bus1,
                       &main_bus2}) {
      *bus = v;
    }
    battery_pos = v;  // the battery switch that powers the cockpit up
  }
  // How many times the plug-in issued a command (once counts once).
  static int issued(const std::string& name) {
    int n = 0;
    for (const simhost::IssuedCommand& c : simhost::issued_commands()) {
      if (c.name == name && c.phase == 0) ++n;
    }
    return n;
  }
};

// The panel set-up alone, for limit tables that need nothing more.
using SystemLimits = PanelTest;
