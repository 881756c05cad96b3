// Engines and thrust: step entry points and the lifecycle resets of the
// engine code's carried state. The engine model itself arrives later; until
// then each step does nothing.
#include "engines/engine_steps.h"

float acf_low_idle_ratio;
float acf_high_idle_ratio;
N1CommandState n1_command_state;
InflightStartEnvelope inflight_start_envelope;
int32_t engine_mode_flag;

void set_thrust_tables() {}
void engine_forces_update() {}
void update_engine_eicas() {}
void update_thrust_control() {}
void replay_engine_indications() {}
void compute_idle_n1(float, float) {}
void engine_n1_command_update() {}
void update_engine_indications() {}
void update_inflight_start_envelope() {}
void update_engine_start() {}
void update_idle_ratios() {}

void n1_command_clear_start_values() {
  n1_command_state.start_values[0] = 0.0f;
  n1_command_state.start_values[1] = 0.0f;
}

void n1_command_restore_reset() {
  for (int i = 0; i < 4; ++i) n1_command_state.carried[i] = 0.0f;
}

void n1_command_stage2_reset() {
  n1_command_state.carried[4] = 0.0f;
  n1_command_state.carried[5] = 0.0f;
  n1_command_state.write_again[0] = 1;
  n1_command_state.write_again[1] = 1;
}

void engines_reset_on_load() {
  inflight_start_envelope.values[0] = 0.0f;
  inflight_start_envelope.values[1] = 0.0f;
  for (float& v : n1_command_state.n1_command) v = 0.0f;
  engine_mode_flag = 0;
}
void init_engine_state() {}
