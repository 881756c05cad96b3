// Frame sequencer: the two flight loops that run every frame.
//
// The main loop is the one place that decides when any per-frame step runs;
// each step reads what earlier steps of the same frame wrote, so the order in
// frame.cpp is behaviour. The load loop runs before the flight model and does
// its work once per load. The values they move live in core/frame_values.h.
#pragma once

#include "core/frame_values.h"

// ---- the first-frame block ----
// 1 once the first-frame block has set the cockpit up since the plug-in
// started. A situation restored after that comes back onto the cockpit as it
// stands: the block would put back the start-up values of everything the
// scripts' saved arrays do not carry (fuel valves, engine indications, the
// standby altimeter, the failures).
extern int32_t first_frame_block_done;
// 1 from a situation load through the service channel until the start-up
// after it completes: the scripts may report the restore a few frames after
// the load, and those frames must not set the cockpit up either.
extern int32_t situation_load_requested;

// ---- the two flight loops ----
float flight_loop_main(float elapsed_since_last_call, float elapsed_since_last_flight_loop, int counter,
                       void* refcon);
float flight_loop_state_restore(float elapsed_since_last_call, float elapsed_since_last_flight_loop,
                                int counter, void* refcon);

// Sends the three plug-in bus loads to the host when one differs from the
// host's value mirrored at the start of the frame.
void send_bus_loads();
