// Window overheat counters (see window_heat_state.h).
#include "systems/ice_rain/window_heat_state.h"

float window_overheat_state[window_count];
