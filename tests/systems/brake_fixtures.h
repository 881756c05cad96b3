// Fixtures shared by the brake and gear tests and the flight-control tests:
// a powered panel on the ground with the brakes, autobrake and steering at
// rest.
#pragma once

#include <gtest/gtest.h>

#include "core/preprocess_values.h"
#include "engines/engine_values.h"
#include "systems/aircraft_systems.h"
#include "systems/delay_timers.h"
#include "systems/flight_controls/flight_control_values.h"
#include "systems/gear_brakes/autobrake_state.h"
#include "systems/gear_brakes/brake_command_state.h"
#include "systems/gear_brakes/brakes.h"
#include "systems/hydraulics/hydraulic_values.h"
#include "systems/instruments/instrument_values.h"
#include "systems/panel_fixture.h"
#include "systems/switches/switch_memory.h"
#include "systems/switches/switch_values.h"

class Brakes : public PanelTest {
 protected:
  void SetUp() override {
    PanelTest::SetUp();
    brake_state = BrakeState{};
    brake_commands = BrakeCommandState{};
    lever_commands = LeverCommands{};
    delay_timers = DelayTimerBank{};
    delay_flags = DelayTimerFlags{};
    using namespace systems;
    brake_temp_l_in = brake_temp_l_out = brake_temp_r_in = brake_temp_r_out = 1.0f;
    host_version = 120000;
    on_ground = 1;
    gear3_on_ground = 0;
    hydraulic::A_status = hydraulic::B_status = 1.0f;
    hydraulic::A_pressure = hydraulic::B_pressure = 0.0f;
    cockpit::toe_brake_override = 0.0f;
    cockpit::parking_brake_pos = 0.0f;
    axis::left_toe_brake = axis::right_toe_brake = 0.0f;
    engine::thrust1_leveler = engine::thrust2_leveler = 0.0f;
    host_mirror.sim_cockpit2_engine_actuators_prop_mode[0] = host_mirror.sim_cockpit2_engine_actuators_prop_mode[1] = 1;
    time_since_load = 10.0f;
    reset_autobrake();
    update_parking_brake_steering();  // the ratio table of a dry runway
  }
  static void reset_autobrake() {
    using namespace autobrake;
    autobrake_RTO_arm = autobrake_arm = autobrake_disarm = autobrake_RTO_test = 0.0f;
    autobrake_pos = 1.0f;
    autobrake_brake_value = rto_test_result = rto_speedbrake_stow_request = 0.0f;
    brake_state.autobrake_inop = brake_state.autobrake_crew_disarm = 0.0f;
    engine::thrust1_leveler = engine::thrust2_leveler = 0.0f;
    lever_commands.park_brake_engaged = 0.0f;
    brake_commands = BrakeCommandState{};
  }
  static void set_speed_kt(float kt) { host_mirror.sim_flightmodel_position_groundspeed = kt / 1.94384f; }
};

class Steering : public PanelTest {
 protected:
  void SetUp() override {
    PanelTest::SetUp();
    brake_state = BrakeState{};
    brake_commands = BrakeCommandState{};
    on_ground = 1;
    hydraulic::A_status = hydraulic::B_status = 1.0f;
    hydraulic::A_rudder = hydraulic::B_rudder = 1.0f;
    switches::nose_steer_pos = 1.0f;
    cockpit::nosewheel_steer_override = 0.0f;
    cockpit::toe_brake_override = 1.0f;  // keep the host brake ratios out of it
    axis::nosewheel = 1.0f;              // full right tiller
    axis::left_toe_brake = axis::right_toe_brake = 0.0f;
    systems::brake_temp_l_in = systems::brake_temp_l_out = 1.0f;
    systems::brake_temp_r_in = systems::brake_temp_r_out = 1.0f;
    host_mirror.sim_weather_runway_friction = 0;
  }
};
