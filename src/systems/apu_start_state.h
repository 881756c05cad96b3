// APU start switch state shared by the APU switch command, the panel-state
// apply, the delay timers and the systems step's APU model.
#pragma once

// 1 once the switch has been put ON and the host's APU on command sent; saved
// with the packed cockpit state.
extern float apu_on_latch;
