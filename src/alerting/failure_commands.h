// What the failure commands of the overhead do to the failure tables and the
// aircraft: arm or disarm random failures, clear active failures and put the
// fuel load back after the host's repair. Each writes the five tables back to
// the scripts' "zuvadud/D738/failure/" arrays.
#pragma once

// Every free entry (0) of the five tables becomes armed (2).
void enable_random_failures();
// Every armed entry (above 1) becomes 0; engine damage is forgotten.
void disable_random_failures();
// Active failures (exactly 1) cleared, armed ones kept; engine damage
// forgotten, fire bottles refilled, oil topped up, the scripts told.
void reset_failures();
// The three tank masses of saved_fuel_load back into the host's tanks, spread
// wings first when the load and the payload are within the model's limits.
void reset_fuel_distribution();

// The host's tank masses (kg: left, centre, right) saved before a reset.
extern float saved_fuel_load[3];
