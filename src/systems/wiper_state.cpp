// Storage of the wiper start requests (see wiper_state.h).
#include "systems/wiper_state.h"

float left_wiper_int_start;
float right_wiper_int_start;
