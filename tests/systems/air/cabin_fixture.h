// Shared set-up of the pressurisation and cabin temperature tests: a powered
// aircraft on the ground, both bleeds on, packs off, the outflow valve under
// manual control.
#pragma once

#include <gtest/gtest.h>

#include "core/binding.h"
#include "core/failure_tables.h"
#include "core/frame_values.h"
#include "core/preprocess_values.h"
#include "systems/air/air_values.h"
#include "systems/air/pressurisation.h"
#include "systems/electrical/electric_values.h"
#include "systems/instruments/instrument_values.h"
#include "systems/switches/switch_values.h"

class Cabin : public ::testing::Test {
 protected:
  void SetUp() override {
    for (XPLMDataRef& h : bound_handles) h = nullptr;
    host_mirror = HostMirror{};
    script_mirror = ScriptMirror{};
    failure_tables = FailureTables{};
    press_ctrl = PressController{};
    cockpit::pressurization_mode2 = 0.0f;
    using namespace electric;
    dc_bus1_status = dc_bus2_status = ac_tnsbus1_status = ac_tnsbus2_status = dir_batbus_status = batbus_status = 1.0f;
    toggle_switch::air_valve_ctrl = 2.0f;  // manual: the valve stays where a row puts it
    toggle_switch::air_valve_manual = 0.0f;
    toggle_switch::bleed_air_1_pos = toggle_switch::bleed_air_2_pos = 1.0f;
    air::l_pack_pos = air::r_pack_pos = 0.0f;
    air::l_pack_bleed_valve_pos = air::r_pack_bleed_valve_pos = 1.0f;
    air::engine1_psi = air::engine2_psi = 40.0f;
    cockpit::cabin_vvi = cockpit::cabin_pressure_diff = 0.0f;
    cockpit::outflow_valve = 0.0f;
    frame_time = 0.1f;
    on_ground = 1;
  }
};
