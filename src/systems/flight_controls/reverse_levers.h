// Reverse lever logic: applies a reverse lever to the host's reverser mode and
// throttle ratio of its engine.
#pragma once

void reverse_lever_logic();       // engine 1
void reverse_lever_logic_eng2();  // engine 2
