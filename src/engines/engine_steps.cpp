// Engines and thrust: the lifecycle resets of the engine code's carried state.
#include "engines/engine_steps.h"

#include "systems/instruments/instrument_values.h"

float acf_low_idle_ratio;
float acf_high_idle_ratio;

void n1_command_clear_start_values() {
  n1_command_state.throttle_ratio[0] = 0.0f;
  n1_command_state.throttle_ratio[1] = 0.0f;
}

void n1_command_restore_reset() {
  for (float& v : n1_command_state.last_flap_coeff) v = 0.0f;
}

void n1_command_stage2_reset() {
  n1_command_state.held_request_pct[0] = 0.0f;
  n1_command_state.held_request_pct[1] = 0.0f;
  n1_command_state.spool_down_done[0] = 1;
  n1_command_state.spool_down_done[1] = 1;
}

void engines_reset_on_load() {
  systems::xbld_start1 = 0.0f;
  systems::xbld_start2 = 0.0f;
  n1_command_state.liftoff_factor = 0.0f;
  n1_command_state.prev_idle_mode[0] = 0.0f;
  n1_command_state.prev_idle_mode[1] = 0.0f;
  density_offset = 0.0f;
}
