// Engine tests: a simulated host with every binding made, clean mirrors and
// engine state, and the thrust tables of the host version under test.
#pragma once

#include <gtest/gtest.h>

#include "core/binding.h"
#include "core/frame_values.h"
#include "core/preprocess_values.h"
#include "core/variant.h"
#include "engines/engine_eicas.h"
#include "engines/engine_state.h"
#include "engines/engine_steps.h"
#include "engines/engine_values.h"
#include "host.h"
#include "bind_for_test.h"

class EngineTest : public ::testing::Test {
 protected:
  void SetUp() override { start(120000); }
  void TearDown() override { simhost::reset(); }
  void start(int version) {
    simhost::reset();
    rebind_datarefs();
    host_mirror = HostMirror{};
    script_mirror = ScriptMirror{};
    host_mirror.sim_weather_sigma = 1.0f;
    host_mirror.sim_cockpit2_temperature_outside_air_temp_degc = 15.0f;
    host_mirror.sim_cockpit2_temperature_outside_air_LE_temp_degc = 15.0f;
    host_mirror.sim_weather_barometer_current_inhg = 29.92f;
    host_version = version;
    variant_index = -1;
    frame_time = 0.05f;
    on_ground = 1;
    density_offset = 0.0f;
    n1_command_state = N1CommandState{};
    engine_eicas_state = EngineEicasState{};
    engine_copies = EngineStateCopies{};
    engine::idle_mode[0] = engine::idle_mode[1] = 0.0f;
    set_thrust_tables();
    compute_idle_n1(0.0f, 0.0f);
  }
};
