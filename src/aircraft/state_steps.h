// Cockpit state exchange with the aircraft's scripts, the start-up cockpit
// state, the service channel's status and the CG reference shift: the steps
// the frame sequencer calls for them.
#pragma once

#include <cstdint>

// Panel-state string exchange, once per main-loop frame.
#include "aircraft/panel_state.h"

// Packed cockpit state arrays: saves after the systems have run, restores on
// a loaded situation.
#include "aircraft/state_arrays.h"

// The first unpaused frame after a load sets the cockpit up.
#include "aircraft/startup_state.h"

// The CG reference shift of the generic aircraft files, once per unpaused
// frame.
#include "aircraft/cg_reference.h"

// Service channel ("corvane/Debug"): debug_status and handling_options.
#include "publication/debug_service.h"

// Per load: the copies of the three route-table counts ("vnav/legs_num",
// "fms/legs_num2", "fms/legs_num3").
void reset_route_counts();
