// The host's transponder: the digits of its code as the digit knobs see them
// (read from the frame's mirror of "sim/cockpit2/radios/actuators/
// transponder_code"), and the mode number it is sent for the mode knob.
#pragma once

#include <cstdint>

// The digit at place 0 (thousands) .. 3 (ones) of the mirrored code, held to
// 0..9999 first (an invalid code reads as its nearest valid one). A place
// outside 0..3 reads 0.
int32_t xpndr_change_digit(int32_t place);

// The host's "transponder_mode" for a mode knob position (1 STBY, 2 ALT RPTG
// OFF, 3 XPNDR, 4 TA ONLY, 5 TA/RA; anything else off) or a running test.
// Host 12 numbers the modes by what the transponder answers with: 2 mode A
// (no altitude), 3 mode C, 6 TA only, 7 TA/RA, 4 the test. Older hosts know
// off 0, standby 1, on 2 and test 3 only.
int32_t host_transponder_mode(float knob, bool test, int32_t host_version);

// The mode knob that gives the host's mode `host_mode`, for a cockpit taken
// from the host: `knob` where it already gives that mode, else the knob's
// position for it (an older host's "on" reads as TA/RA, the position a
// flying crew has it in; off, standby and the test as STBY).
float transponder_knob_for_host_mode(float knob, int32_t host_mode, int32_t host_version);
