// Window overheat counters shared by the window heat model, the window
// overheat test commands, the delay timers and the annunciators. A counter is
// 0 while its window has no overheat; the overheat test sets it to 1 and each
// 70 s test step adds 1; the window's own heat switch command clears it.
#pragma once

enum WindowIndex : int { window_l_side, window_l_fwd, window_r_side, window_r_fwd, window_count };

extern float window_overheat_state[window_count];

// The status of the AC transfer bus that feeds a window's heat (0 without
// power): each forward window from its own side's bus, the side windows
// crosswise, the left one from bus 2 and the right one from bus 1. Every
// user of the feed (the heat, its ON and OVERHEAT lights, the overheat test)
// reads it here.
float window_heat_bus(WindowIndex w);
