// Lateral navigation and flight guidance: the per-frame guidance steps the
// frame sequencer calls, the controller limit records, and the lifecycle
// resets of the guidance state.
#pragma once

#include <cstdint>

#include "lnav/steering/controller.h"
// update_lnav_steering, the LNAV step, is declared with the steering.
#include "lnav/steering/lnav_steering.h"

void update_flight_director();
void ap_servo();

// A controller's output limits followed by its state values (PidState).
using ControllerLimitRecord = PidState;
// The servo laws' records (the pitch law's and the yaw servo's, owned by the
// servo state in lnav/steering/servo_laws.h) and the flight director's flare record.
extern PidState& servo_limits_1;
extern PidState& servo_limits_2;
extern PidState fd_limits;
// The pitch servo's gain ramp, which start-up seeds (0.1).
extern float& servo_gain_state;
// Start-up: the three records' limits, their state zeroed, the servo gain.
void set_controller_limits();

// The flight director's state (live and hold references, carried modes)
// lives with the flight director.
#include "lnav/steering/flight_director.h"
// A loaded situation: the carried modes cleared, the saved references armed
// for take-over.
void flight_director_restore_reset();

// The turn-then-tangent path of an active direct-to from the present
// position and heading to the active waypoint (calc_direct_turn_path,
// lnav/path/leg_path.h): eight values and a valid flag.
struct DirectToTurnPath {
  float ctr_lat, ctr_lon;  // degrees, turn centre
  float radius_nm;
  float turn;              // 2.0 left, 3.0 right
  float end_lat, end_lon;  // degrees, where the turn meets the tangent course
  float arc_nm;            // length of the turn
  float final_crs;         // degrees true toward the waypoint; -1 without a direct-to
  uint8_t valid;           // 1 while a turn path stands
};
extern DirectToTurnPath direct_to_turn_path;

// Per load: two live flight-director values to standard pressure (29.92),
// the direct-to turn path cleared.
void guidance_reset_on_load();
