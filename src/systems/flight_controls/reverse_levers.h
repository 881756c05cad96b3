// Reverse lever logic: applies a reverse lever to the host's reverser mode and
// throttle ratio of its engine.
#pragma once

void reverse_lever_logic();       // engine 1
void reverse_lever_logic_eng2();  // engine 2

// An engine's reverser has its power: its own hydraulic system's pressure
// (A for engine 1, B for engine 2) or the standby system's, through the
// isolation valve that its pulled fire switch closes. e: 0 or 1.
bool reverser_powered(int e);
