// Storage of the wiper start requests (see wiper_state.h).
#include "systems/ice_rain/wiper_state.h"

float left_wiper_int_start;
float right_wiper_int_start;
