// Window overheat counters and the windows' power feed (see window_heat_state.h).
#include "systems/ice_rain/window_heat_state.h"

#include "systems/electrical/bus_feeds.h"
#include "systems/electrical/electric_values.h"

float window_overheat_state[window_count];

float window_heat_bus(WindowIndex w) {
  switch (w) {
    case window_l_fwd:
    case window_r_side: return fed01(Consumer::window_heat_l_fwd_r_side);
    case window_l_side:
    case window_r_fwd: return fed01(Consumer::window_heat_l_side_r_fwd);
    default: return 0.0f;
  }
}
