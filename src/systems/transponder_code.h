// Digits of the host's transponder code as the digit knobs see them: read from
// the frame's mirror of "sim/cockpit2/radios/actuators/transponder_code".
#pragma once

#include <cstdint>

// The digit at place 0 (thousands) .. 3 (ones) of the mirrored code written
// with at least four digits (a longer code counts from its leading digit). A
// place outside 0..3 or beyond the text, or a negative code, reads 0.
int32_t xpndr_change_digit(int32_t place);
