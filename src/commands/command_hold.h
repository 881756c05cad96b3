// Hold timing shared by every held cockpit command: a handler zeroes the hold
// time at its begin phase and adds frame_time at each continue callback until
// its own threshold has passed; from then on it acts once per callback.
// Holding two such commands at once makes them share one clock, as the
// cockpit always has.
#pragma once

extern float command_hold_time;    // s the current held command has been held
extern float command_repeat_time;  // s since the last repeat of an altitude knob

// One continue callback of a held command: true once the hold time has passed
// threshold_s (the time then stops growing), else the frame's time is added.
bool command_hold_passed(float threshold_s);
