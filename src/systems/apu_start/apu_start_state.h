// APU start switch state shared by the APU switch command, the panel-state
// apply, the delay timers and the systems step's APU model.
#pragma once

// 1 once the switch has been put ON and the host's APU on command sent; saved
// with the packed cockpit state.
extern float apu_on_latch;

// Kept by the systems step's APU model: the switch acts only while the lock is
// 0, and START needs the ready flag at 1. The start request the START position
// raises is the delay timers' apu_start_request (delay_timers.h).
extern float apu_start_lock;
extern float apu_start_ready;
