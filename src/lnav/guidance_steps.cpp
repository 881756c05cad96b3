// Lateral navigation and flight guidance: the controller limit records, the
// direct-to turn path's storage and the lifecycle resets. LNAV steering lives
// in lnav/steering/lnav_steering.cpp, the flight director in
// lnav/steering/flight_director*.cpp, the servo laws in
// lnav/steering/servo_laws.cpp.
#include "lnav/guidance_steps.h"

#include "lnav/steering/servo_laws.h"

PidState& servo_limits_1 = pitch_servo.pitch_pid;
PidState& servo_limits_2 = yaw_servo.yaw_pid;
PidState fd_limits;
float& servo_gain_state = pitch_servo.gain_ramp;
DirectToTurnPath direct_to_turn_path;

void set_controller_limits() {
  servo_limits_1 = {-0.8f, 0.8f, 0.0f, 0.0f, 0.0f, 0.0f};
  servo_limits_2 = {-1.0f, 1.0f, 0.0f, 0.0f, 0.0f, 0.0f};
  fd_limits = {-15.0f, 15.0f, 0.0f, 0.0f, 0.0f, 0.0f};
  servo_gain_state = 0.1f;
}

void flight_director_restore_reset() {
  for (float& v : flight_director_state.carried) v = 0.0f;
  fd_saved_refs_pending = 1;
}

void guidance_reset_on_load() {
  // The two barometric values the cockpit state save carries.
  flight_director_state.live[2] = 29.92f;
  flight_director_state.live[3] = 29.92f;
  direct_to_turn_path = DirectToTurnPath{};
  fd_saved_refs_pending = 0;
}
