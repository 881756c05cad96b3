// Pitch trim state kept beside the host's elevator trim: the value the trim
// wheel moves toward and its second copy. Written when the host's trim moves
// on its own (per-frame mirror), by the pitch-trim commands, the systems
// update and the cockpit state restore; both hold the trim in -1..1.
#pragma once

#include <cstdint>

extern float trim_wheel_target;
extern float trim_wheel_hold;

// The electric trim's run state lives in systems/flight_controls/elec_trim_state.h.
