// Puts the loaded aircraft's battery bus up through the simulated host: the
// battery switch ON with the battery charged, and a second for the bus to
// come up.
#pragma once

#include <gtest/gtest.h>

#include "host.h"

inline void battery_on() {
  ASSERT_TRUE(simhost::set_floats("sim/cockpit2/electrical/battery_voltage_actual_volts", {24.0f}, 0));
  ASSERT_TRUE(simhost::set_floats("sim/cockpit2/electrical/bus_volts", {28.0f, 28.0f, 28.0f}));
  simhost::command_once("zuvadud/D738/switch/battery_dn");
  simhost::frames(30, 1.0f / 30);
  ASSERT_EQ(simhost::get_float("zuvadud/D738/electric/batbus_status"), 1.0f);
}
