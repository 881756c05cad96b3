// State of the overhead, fire, anti-ice and light-spill light equations.
#pragma once

#include <cstdint>

#include "systems/annunciators/annunciators.h"

// Fire detection and bell. The fire test, cargo test and bell light commands
// set fire_test_all, cargo_test_active and fire_bell_enable.
struct FireLightState {
  float fire_test_all = 0.0f;      // overheat/fire test held long enough
  float cargo_test_active = 0.0f;  // cargo fire test pushed
  float fire_bell_enable = 1.0f;   // 1 until a bell light is pushed
  float detection[4] = {};         // engine 1 fire, engine 2 fire, engine 1 overheat, engine 2 overheat
  int32_t prev_engfir[2] = {};     // host engine fire failure values of the last frame
};
extern FireLightState fire_lights;

// Pack fault latches with the previous transfer bus value (left pack on
// bus 2, right pack on bus 1), and the bleed trip latches (set by the light
// equations, cleared by the trip reset button and the first frame).
struct OverheadLightState {
  int32_t pack_latch[2];
  float prev_bus[2];
  float bleed_trip_latch[2];
  // REVERSER, per engine: the prop mode of the last frame, the time left of
  // the light after a stow command, how long the sleeves have been away from
  // the commanded position, and how long the light has been lit (s).
  int32_t reverser_prev_mode[2];
  float reverser_stow_s[2];
  float reverser_disagree_s[2];
  float reverser_lit_s[2];
  // The MAX's configuration reminders: 1 once the aircraft has been on the
  // ground, so that flying after it follows a take-off; and the time since
  // the flaps came up in the air (s).
  int32_t config_takeoff_seen;
  float config_flaps_up_s;
  bool config_reminder_due;  // this frame: the reminders' window is open
};
extern OverheadLightState overhead_lights;

// Probe heat light filters: captain pitot, captain angle of attack, first
// officer pitot, first officer angle of attack.
struct AntiIceLightState {
  LightFilter probe[4];
  // How long each valve light (wing L, wing R, cowl 1, cowl 2) has shown a
  // valve disagreeing with its switch (s): the MAX's caution waits for it.
  float valve_disagree_s[4];
};
extern AntiIceLightState anti_ice_lights;


// Cabin emergency lighting blink after losing AC transfer bus 1.
struct SpillState {
  float emergency_blink_s;  // s since the bus dropped, held at 1 while powered
  float prev_bus;
};
extern SpillState spill_state;
