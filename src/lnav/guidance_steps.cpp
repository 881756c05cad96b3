// Lateral navigation and flight guidance: step entry points, controller
// limit records and lifecycle resets. The guidance laws arrive later; until
// then each step does nothing.
#include "lnav/guidance_steps.h"

ControllerLimitRecord servo_limits_1;
ControllerLimitRecord servo_limits_2;
ControllerLimitRecord fd_limits;
float servo_gain_state;
FlightDirectorState flight_director_state;
DirectToTurnPath direct_to_turn_path;

void update_lnav_steering() {}
void update_flight_director() {}
void ap_servo() {}

void set_controller_limits() {
  servo_limits_1 = {-0.8f, 0.8f, {}};
  servo_limits_2 = {-1.0f, 1.0f, {}};
  fd_limits = {-15.0f, 15.0f, {}};
  servo_gain_state = 0.1f;
}

void flight_director_restore_reset() {
  for (float& v : flight_director_state.carried) v = 0.0f;
}

void guidance_reset_on_load() {
  // The two barometric values the cockpit state save carries.
  flight_director_state.live[2] = 29.92f;
  flight_director_state.live[3] = 29.92f;
  direct_to_turn_path = DirectToTurnPath{};
}
