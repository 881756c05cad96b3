// Window overheat counters and the windows' power feed (see window_heat_state.h).
#include "systems/ice_rain/window_heat_state.h"

#include "systems/electrical/electric_values.h"

float window_overheat_state[window_count];

float window_heat_bus(WindowIndex w) {
  switch (w) {
    case window_l_fwd:
    case window_r_side: return electric::ac_tnsbus1_status;
    case window_l_side:
    case window_r_fwd: return electric::ac_tnsbus2_status;
    default: return 0.0f;
  }
}
