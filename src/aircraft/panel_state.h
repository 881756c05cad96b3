// Panel-state string exchange with the aircraft's scripts: the cockpit's
// switches, knobs and guards as one character each in the scripts' byte field
// "zuvadud/D738/state_cmd", under the request mode "zuvadud/D738/state_cmd2".
//
// Mode 0: the string is applied to the cockpit, every frame while it stays 0.
// Mode 4: the first block (positions 0-72) is appended to the field; answer 5.
// Mode 6: the last block (positions 92-130) is appended; answer 9.
// Positions 73-91 belong to the scripts. Any other mode: nothing happens.
//
// Reads and writes the published switch globals, the switch targets, the
// autobrake and APU start state and their countdowns, and the host mirror's
// battery, cross-tie, generic light, beacon and FADEC switches (pushing the
// ones it changes); reads cockpit_options.guarded_covers and on_ground.
#pragma once

#include <cstdint>

// The scripts' field is 512 bytes; a string there holds at most 511
// characters before its terminator.
constexpr int32_t panel_state_field_bytes = 512;
// Positions 0-130 carry values; anything after them is ignored.
constexpr int32_t panel_state_positions = 131;
// An apply needs at least this many characters (position 130 may be absent).
constexpr int32_t panel_state_min_apply_length = 130;
constexpr int32_t panel_state_first_block_length = 73;  // positions 0-72
constexpr int32_t panel_state_last_block_start = 92;
constexpr int32_t panel_state_last_block_length = 39;   // positions 92-130
// The request modes and their answers (see above).
constexpr float panel_state_apply_mode = 0.0f;
constexpr float panel_state_first_request = 4.0f;
constexpr float panel_state_first_answer = 5.0f;
constexpr float panel_state_last_request = 6.0f;
constexpr float panel_state_last_answer = 9.0f;
// The mode a refused save is ended with: neither a request (0, 4, 6) nor an
// answer (5, 9), so nothing runs on it and the scripts see the save failed.
constexpr float panel_state_idle_mode = -1.0f;

// Once per main-loop frame: reads the mode and runs one of the three below.
void exchange_panel_state();

void apply_panel_state();
void append_panel_state_first();
void append_panel_state_last();
