// Handling options of the service channel ("corvane/Debug"): written by its
// option commands (publication/debug_service.h), consulted by the thrust and CG
// logic.
#pragma once

#include <cstdint>

// Handling options, 1 = enabled; all on at plug-in load, never saved. Indexed
// by the constants below (the bit of the option command that clears each).
constexpr int32_t handling_option_count = 5;
extern uint8_t handling_options[handling_option_count];
enum HandlingOption : int32_t {
  handling_cg_shift = 0,              // CG reference shift on the ground
  handling_reduced_ground_effect = 1, // cleared by the thrust command on newer hosts
  handling_taxi_thrust = 2,
  handling_reduce_reverse = 3,
  handling_reduce_thrust_after_lift = 4,
};
