// The positions and thresholds of the cockpit handlers, both sides of each
// boundary, with the handlers called directly.
#include <gtest/gtest.h>

#include "commands/command_handlers.h"
#include "core/binding.h"
#include "core/preprocess.h"
#include "systems/flight_controls/flight_control_values.h"
#include "systems/flight_controls/speedbrake_lever.h"
#include "systems/gear_brakes/brake_command_state.h"
#include "systems/gear_brakes/gear_lever.h"
#include "systems/instruments/instrument_values.h"

namespace {

constexpr XPLMCommandPhase kBegin = xplm_CommandBegin;
constexpr XPLMCommandPhase kEnd = xplm_CommandEnd;

// Lever steps one detent at a time; the lever is held mid-travel
// (animation running) so the detent snap leaves the stepped value alone.
TEST(SpeedBrakeValues, OneDetentStepsFromEachSideOfTheirBounds) {
  struct Row {
    command_handler* h;
    float from, to;
  } rows[] = {
      {hook_flight_controls_speed_brakes_down_one, 0.05f, 0.0889f},
      {hook_flight_controls_speed_brakes_down_one, 0.07f, 0.667f},
      {hook_flight_controls_speed_brakes_down_one, 0.119f, 0.667f},
      {hook_flight_controls_speed_brakes_down_one, 0.5f, 0.667f},
      {hook_flight_controls_speed_brakes_down_one, 0.6655f, 0.667f},
      {hook_flight_controls_speed_brakes_down_one, 0.667f, 1.0f},
      {hook_flight_controls_speed_brakes_down_one, 0.99f, 1.0f},
      {hook_flight_controls_speed_brakes_down_one, 1.2f, 1.2f},
      {hook_flight_controls_speed_brakes_up_one, 1.0f, 0.667f},
      {hook_flight_controls_speed_brakes_up_one, 0.668f, 0.667f},
      {hook_flight_controls_speed_brakes_up_one, 0.667f, 0.0889f},
      {hook_flight_controls_speed_brakes_up_one, 0.13f, 0.0889f},
      {hook_flight_controls_speed_brakes_up_one, 0.119f, 0.0f},
      {hook_flight_controls_speed_brakes_up_one, 0.07f, 0.0f},
      {hook_flight_controls_speed_brakes_up_one, 0.05f, 0.05f},
      // The toggle turns at the flight detent, in flight and on the ground.
      {hook_flight_controls_speed_brakes_toggle, 0.66f, 1.0f},
      {hook_flight_controls_speed_brakes_toggle, 0.7f, 0.0f},
  };
  speedbrake_enable = 0;
  speedbrake_flight_detent_latch = 0;
  flt_ctrls::speedbrake_lever_anim = 0.5f;
  for (const Row& r : rows) {
    flt_ctrls::speedbrake_lever = r.from;
    r.h(nullptr, kBegin, nullptr);
    EXPECT_EQ(flt_ctrls::speedbrake_lever, r.to) << r.from;
  }
  flt_ctrls::speedbrake_lever_anim = 0.0f;
  flt_ctrls::speedbrake_lever = 0.0f;
}

// The pedals count as pressed when both sides of any one pair reach their
// mark: host ratios above 0.95, toe buttons and brake ramps within 0.1 of
// the side's maximum, the pedal model within 0.05. A parking brake that
// needs the pedals sets the host brake only then.
TEST(ParkingBrakeValues, PedalsPressedOnBothSidesOfEachPair) {
  struct Row {
    float host_l, host_r, toe_l, toe_r, ramp_l, ramp_r, pedal_l, pedal_r;
    bool pressed;
  } rows[] = {
      {0.96f, 0.96f, 0, 0, 0, 0, 0, 0, true},     {0.94f, 0.96f, 0, 0, 0, 0, 0, 0, false},
      {0.96f, 0.94f, 0, 0, 0, 0, 0, 0, false},    {0, 0, 0.41f, 0.51f, 0, 0, 0, 0, true},
      {0, 0, 0.39f, 0.51f, 0, 0, 0, 0, false},    {0, 0, 0.41f, 0.49f, 0, 0, 0, 0, false},
      {0, 0, 0, 0, 0.41f, 0.51f, 0, 0, true},     {0, 0, 0, 0, 0.39f, 0.51f, 0, 0, false},
      {0, 0, 0, 0, 0.41f, 0.49f, 0, 0, false},    {0, 0, 0, 0, 0, 0, 0.46f, 0.56f, true},
      {0, 0, 0, 0, 0, 0, 0.44f, 0.56f, false},    {0, 0, 0, 0, 0, 0, 0.46f, 0.54f, false},
      {0.96f, 0, 0, 0.51f, 0, 0, 0, 0, false},  // one side of each of two pairs is no pair
  };
  script_mirror.zuvadud_D738_parkbrake_set = 1.0f;
  for (const Row& r : rows) {
    BrakeCommandState& b = brake_commands;
    b = BrakeCommandState{};
    b.toe_brake_max_left = 0.5f;  // the two sides differ, so a swapped side shows
    b.toe_brake_max_right = 0.6f;
    b.toe_brake_left = r.toe_l;
    b.toe_brake_right = r.toe_r;
    b.brake_cmd_left = r.ramp_l;
    b.brake_cmd_right = r.ramp_r;
    b.pedal_brake_left = r.pedal_l;
    b.pedal_brake_right = r.pedal_r;
    host_mirror.sim_cockpit2_controls_left_brake_ratio = r.host_l;
    host_mirror.sim_cockpit2_controls_right_brake_ratio = r.host_r;
    host_mirror.sim_cockpit2_controls_parking_brake_ratio = 0.0f;
    cockpit::parking_brake_pos = 0.0f;
    cmd_push_button_park_brake_on_off(nullptr, kBegin, nullptr);
    EXPECT_EQ(host_mirror.sim_cockpit2_controls_parking_brake_ratio, r.pressed ? 1.0f : 0.0f)
        << r.host_l << " " << r.toe_l << " " << r.ramp_l << " " << r.pedal_l;
    cmd_push_button_park_brake_on_off(nullptr, kEnd, nullptr);
    EXPECT_EQ(cockpit::parking_brake_pos, r.pressed ? 1.0f : 0.0f);
  }
  script_mirror.zuvadud_D738_parkbrake_set = 0.0f;
  brake_commands = BrakeCommandState{};
  host_mirror = HostMirror{};
  cockpit::parking_brake_pos = 0.0f;
}

}  // namespace
