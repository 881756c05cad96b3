// Digits of the host's transponder code as the digit knobs see them: read from
// the frame's mirror of "sim/cockpit2/radios/actuators/transponder_code".
#pragma once

#include <cstdint>

// The digit at place 0 (thousands) .. 3 (ones) of the mirrored code, held to
// 0..9999 first (an invalid code reads as its nearest valid one). A place
// outside 0..3 reads 0.
int32_t xpndr_change_digit(int32_t place);
