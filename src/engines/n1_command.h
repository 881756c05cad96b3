// Thrust lever to N1 command: the scripts' requested N1, the host throttle
// ratio at spool-dependent rates and the published N1 limits, followed by the
// flight-model adjustments of the generic aircraft.
#pragma once

#include <cstdint>

void engine_n1_command_update();
// Tail of the N1 command: axial-force terms and flap coefficients.
void apply_flight_model_adjustments();

// Table input -> N1 fraction for this frame's temperature and density, by
// idle mode (the request of one lever position).
float requested_n1_fraction(float lever, float idle_mode, int32_t prop_mode, int32_t engine);

struct N1CommandState {
  float idle_snapshot[2];       // idle modes at the start of this frame
  float prev_idle_mode[2];      // idle modes of the previous frame (cleared per load)
  float held_request_pct[2];    // request held while spooling down to ground idle
  uint8_t spool_down_done[2];   // 1 while no spool-down from flight idle is in progress
  float throttle_ratio[2];      // buffer written to "ENGN_thro_use"
  float requested_n1[2];        // fraction last written to the scripts' request
  float liftoff_factor;         // 0..1.5, lift-off thrust reduction
  float last_flap_coeff[4];     // flap cl, flap2 cl, flap cm, flap2 cm as last written
};
extern N1CommandState n1_command_state;
