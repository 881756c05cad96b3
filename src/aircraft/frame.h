// Frame sequencer: the two flight loops that run every frame.
//
// The main loop is the one place that decides when any per-frame step runs;
// each step reads what earlier steps of the same frame wrote, so the order in
// frame.cpp is behaviour. The load loop runs before the flight model and does
// its work once per load. The values they move live in core/frame_values.h.
#pragma once

#include "core/frame_values.h"

// ---- the two flight loops ----
float flight_loop_main(float elapsed_since_last_call, float elapsed_since_last_flight_loop, int counter,
                       void* refcon);
float flight_loop_state_restore(float elapsed_since_last_call, float elapsed_since_last_flight_loop,
                                int counter, void* refcon);

// Sends the three plug-in bus loads to the host when one differs from the
// host's value mirrored at the start of the frame.
void send_bus_loads();
