// Engine indications: EGT, oil pressure, oil temperature and the displayed
// fuel flow of both engines, with their start and stop transients.
#pragma once

#include <cstdint>

void update_engine_indications();
// Start EGT (degC) by N2 % over the 19-point start table.
float start_egt_table(float n2_percent);
// Oil pressure (psi gauge) for an N2 %, ambient psi and oil quantity ratio.
float oil_pressure_for(float n2_percent, float ambient_psi, float oil_quantity);

struct EngineIndicationState {
  uint8_t fuel_flag_prev[2];
  int32_t running_prev[2];
  int32_t ff_phase[2];        // 0 none, 1 rising to the start peak, 2 settling
  float fuel_available[2];    // 0..1
  int32_t egt_stop_state[2];  // 0 none, 1 rising after a stop, 2 rise complete
  float egt_stop_target[2];   // degC
  float egt_start_base[2];    // degC
  float egt_start_factor[2];  // 1..2
};
extern EngineIndicationState engine_indication_state;
