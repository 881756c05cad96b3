// Engine start switching: the start switch knobs, igniters, start and air
// starter valves, the start EGT redline and the timing of the oil and
// fuel-flow indications. The knob targets are starter1/2_knob_target
// (switch_targets.h), the knob animation travel_targets.eng1/2_start_turn
// (switch_memory.h), the redline flags and their 4 or 5 s delays the timer
// bank's air_start_flag_1/2 and air_start_delay_1/2 (delay_timers.h).
#pragma once

struct StartSwitchingState {
  float ignition_mode[2];       // 0 off, 1 left igniter, 2 right, 3 both
  float fluid_ind_timer_s[2];   // 0..4
  float fluid_ind[2][3];        // oil pressure, oil temperature, fuel flow shown: 0 or 1
  float n2_prev[2];             // the indicated N2 of the last frame
  float idle_settled_s[2];      // how long the running core has stopped rising (s)
};
extern StartSwitchingState start_switching;

// Whether a running engine's start switch at OFF still selects its igniters
// (flaps out below 18,000 ft, or its engine anti-ice on, without the
// automatic ignition), given that engine's anti-ice switch.
bool off_selects_igniters(float heat_switch);
