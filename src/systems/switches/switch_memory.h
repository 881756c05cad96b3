// Cockpit switch memory kept beside the published switch positions and the
// switch targets (switch_targets.h): the start selector turn states, the door
// and window targets, the lever command values, the APU start switch values.
// All are saved in the scripts' cockpit state arrays, so their meaning must
// not drift.
#pragma once

// Targets that travel (the handlers set the target, the systems step moves
// the published position), and the start selectors' turn states.
struct TravelTargets {
  float eng1_start_turn;  // engine 1 start selector turn state
  float eng2_start_turn;  // engine 2 start selector turn state
  float flt_dk_door;      // flight deck door
  float capt_window;      // captain's sliding window
  float fo_window;        // first officer's sliding window
};
extern TravelTargets travel_targets;

// Lever and brake command values of the gear and brake commands.
struct LeverCommands {
  float gear_down_selected;  // 1 after the lever was put DOWN, 0 after UP
  float gear_up_command;     // set by the gear up and toggle commands
  float park_brake_engaged;  // 1 while the parking brake holds the host's brake applied
};
extern LeverCommands lever_commands;

// The APU start switch values beside apu_on_latch (apu_start_state.h), and
// the APU state that the start-up reads back from a saved flight.
struct ApuStartSwitchValues {
  float value1;     // "spring_toggle_switch/APU_start_pos_dn"
  float value2;
  float saved_apu;
};
extern ApuStartSwitchValues apu_start_values;
