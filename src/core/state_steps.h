// Cockpit state exchange with the aircraft's scripts, the start-up cockpit
// state, the service channel's status and the CG reference shift: the steps
// the frame sequencer calls for them.
#pragma once

#include <cstdint>

// Panel-state string exchange, once per main-loop frame.
void exchange_panel_state();

// Packed cockpit state arrays: saves after the systems have run, restores on
// a loaded situation.
void sync_glare_switch();
void read_glare_switches();
void save_cockpit_state();
void restore_cockpit_state();

// The first unpaused frame after a load sets the cockpit up.
void first_frame_block();

void update_cg_reference();

// Service channel ("corvane/Debug"): status that the integer reader returns
// (0, 1 or 2) and the handling options (1 = enabled), all on at plug-in load.
extern int32_t debug_status;
extern uint8_t handling_options[5];

// Per load: the copies of the three route-table counts ("vnav/legs_num",
// "fms/legs_num2", "fms/legs_num3").
void reset_route_counts();
