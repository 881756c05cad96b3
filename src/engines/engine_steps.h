// Engines and thrust: the per-frame steps the frame sequencer calls and the
// lifecycle resets of the engine code's carried state.
#pragma once

#include <cstdint>

void set_thrust_tables();
void engine_forces_update();
void update_engine_eicas();
void update_thrust_control();
void replay_engine_indications();
void compute_idle_n1(float idle_mode_engine1, float idle_mode_engine2);
void engine_n1_command_update();
void update_engine_indications();
void update_inflight_start_envelope();
void update_engine_start();
void update_idle_ratios();

// The aircraft's own idle ratios, as the host had them before the plug-in
// adjusted anything (stored while the start-up stage is 0).
extern float acf_low_idle_ratio;
extern float acf_high_idle_ratio;

// Carried state of the N1 command step.
struct N1CommandState {
  float carried[6];           // [0..3] cleared on a loaded situation, [4..5] at stage 2
  uint8_t write_again[2];     // 1: write the flight-model adjustments again
  float start_values[2];      // cleared at plug-in start
  float n1_command[3];        // cleared per load
};
extern N1CommandState n1_command_state;

struct InflightStartEnvelope {
  float values[2];  // cleared per load
};
extern InflightStartEnvelope inflight_start_envelope;

// Shared by the N1 command, the engine indications and the idle-ratio update.
extern int32_t engine_mode_flag;

// Plug-in start: the two start values of the N1 command.
void n1_command_clear_start_values();
// A frame that restores a loaded situation: four carried values of the N1 command.
void n1_command_restore_reset();
// End of the start-up work after a load: the other two values, both latches set.
void n1_command_stage2_reset();
// Per load: in-flight start envelope, N1 command values, engine mode flag.
void engines_reset_on_load();

// First frame after a load: the engine state by start-up mode.
void init_engine_state();
