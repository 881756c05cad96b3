// Autobrake selector and RTO self-test state (see the header).
#include "systems/gear_brakes/autobrake_state.h"

// The selector rests at OFF (1) when the aircraft is loaded.
float autobrake_knob_target = 1.0f;
float autobrake_knob_anim = 1.0f;
float rto_speedbrake_stow_request;
float autobrake_brake_value;
float rto_test_result;
