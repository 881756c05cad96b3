// Windscreen wiper selectors' start requests: raised by the wiper selector
// commands when a selector enters INT (position 1), read and cleared by the
// wiper model so the first intermittent sweep starts at once.
#pragma once

extern float left_wiper_int_start;
extern float right_wiper_int_start;
