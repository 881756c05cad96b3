// Countdown timers of the systems, in seconds: armed by writing a duration,
// run down once per frame by update_annunciator_timers (clamped at 0), which
// acts when the autobrake test or the APU start countdown runs out. Armed from the systems,
// engines, commands and the cockpit state exchange.
#pragma once

struct DelayTimerBank {
  float autobrake_s;   // autobrake RTO self-test (1 s); at 0 "autobrake_RTO_test" := 2, passed or DISARM
  float apu_start_s;   // APU start after the switch went ON (1.5 s); at 0 the APU low-oil check
  float systems_s[2];  // systems-step countdowns saved with the cockpit state
  float saved_s[4];    // further countdowns saved with the cockpit state
};
extern DelayTimerBank delay_timers;

// Runs every countdown down by the frame step; first part of the annunciator step.
void update_annunciator_timers();
