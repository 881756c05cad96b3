// State of the replay substitutes that outlives a replay frame. The GPWS
// frame zeroes previous_time every normal frame, so the first replay frame
// always counts as running forward, wherever the replay starts.
#pragma once

struct ReplayState {
  float previous_time;   // host running time seen last replay frame, s
  float callout_reset;   // 1: clear every callout flag this frame
};
extern ReplayState replay_state;
