// Engine values carried by the engine code that the cockpit state arrays
// restore and the start-up state initialises: the mixture, N1 and N2 copies,
// the engine start model value, the indication offsets and the thrust lever
// working values.
#pragma once

struct EngineStateCopies {
  float mixture[2];    // engine code's mixture copies
  float n2[2];         // pushed to the host's "sim/flightmodel/engine/ENGN_N2_"
  float n2_second[2];
  float n1[2];
};
extern EngineStateCopies engine_copies;

extern float engine_start_model_value;
// Per-flight offsets of the engine indications, [-20, 20).
extern float engine_indication_offsets[2];

// Thrust lever and N1 set working values.
struct ThrustLeverState {
  float values[5];
  float lever_copy[3];  // throttle ratio 1, 2 and all
  float further[20];
  float one;            // 1.0 at start-up
  float twelve;         // 12.0 at start-up
  float n1_bug_copy[2];
};
extern ThrustLeverState thrust_lever_state;
