// State of the replay substitutes that outlives a replay frame. The GPWS
// frame zeroes previous_time every normal frame, so the first replay frame
// always counts as running forward, wherever the replay starts.
#pragma once

// The callout reset request it raises is the radio-altitude callouts' own
// (`callout_state.callout_reset`), shared with the battery-bus reset.
struct ReplayState {
  float previous_time;   // host running time seen last replay frame, s
};
extern ReplayState replay_state;

// A replay shows the past, and a plug-in switched off runs no frame to end
// what it raised: every aural the aircraft's own steps raise is silent in
// either (the replay's radio-altitude callouts, rebuilt from the replayed
// flight, excepted), and sounds again after it only if its cause is still
// there.
void silence_aurals();
