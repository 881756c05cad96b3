// Lateral navigation and flight guidance: the per-frame guidance steps the
// frame sequencer calls, the controller limit records, and the lifecycle
// resets of the guidance state.
#pragma once

#include <cstdint>

#include "lnav/controller.h"

void update_lnav_steering();
void update_flight_director();
void ap_servo();

// A controller's output limits followed by its state values (PidState).
using ControllerLimitRecord = PidState;
// The servo laws' records (the pitch law's and the yaw servo's, owned by the
// servo state in lnav/servo_laws.h) and the flight director's flare record.
extern PidState& servo_limits_1;
extern PidState& servo_limits_2;
extern PidState fd_limits;
// The pitch servo's gain ramp, which start-up seeds (0.1).
extern float& servo_gain_state;
// Start-up: the three records' limits, their state zeroed, the servo gain.
void set_controller_limits();

struct FlightDirectorState {
  float live[4];     // saved every frame in the cockpit state arrays
  float hold[4];     // filled by the cockpit state restore
  float carried[5];  // cleared on every frame that restores a loaded situation
};
extern FlightDirectorState flight_director_state;
void flight_director_restore_reset();

// The turn-then-tangent path of a direct-to: eight values and a valid flag.
struct DirectToTurnPath {
  float values[8];
  uint8_t valid;
};
extern DirectToTurnPath direct_to_turn_path;

// Per load: two live flight-director values to standard pressure (29.92),
// the direct-to turn path cleared.
void guidance_reset_on_load();
