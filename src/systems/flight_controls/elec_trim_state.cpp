// Storage of the electric pitch trim state (see elec_trim_state.h).
#include "systems/flight_controls/elec_trim_state.h"

#include "core/variant.h"
#include "systems/switches/switch_values.h"

// The systems step overwrites it every frame; until then the manual-flight,
// flaps-up travel time keeps a trim command from dividing by zero.
float elec_trim_travel_time = 85.5f;
uint8_t elec_trim_fast_mode;
uint8_t elec_trim_moved;
float trim_wheel_fast_run;
float trim_wheel_slow_run;

// A switch is at NORMAL only at 0.
bool yoke_trim_cut_out() {
  return toggle_switch::el_trim_pos != 0.0f || (is_max_model() && toggle_switch::ap_trim_pos != 0.0f);
}

bool autopilot_trim_cut_out() {
  return toggle_switch::ap_trim_pos != 0.0f || (is_max_model() && toggle_switch::el_trim_pos != 0.0f);
}
