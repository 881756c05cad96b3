// The GPWS test button's state shared between its command and the GPWS
// logic: how long the button has been held, the start request, and the
// inhibits the GPWS logic recomputes every frame (1 keeps that test from
// starting).
#pragma once

struct GpwsTestState {
  float hold_time_s;     // s the test button has been held, capped at 2.5
  float started;         // 1 when a test was started, for the GPWS logic
  float short_inhibit;   // 1: the short test may not start now
  float long_inhibit;    // 1: the long test may not start now
};
extern GpwsTestState gpws_test;
