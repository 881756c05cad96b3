// LNAV steering: which piece of the computed path is flown in each
// navigation mode and hold or procedure-turn phase, and the track commands
// handed to the scripts for it ("zuvadud/D738/fms/idx_corr" straights,
// "idx_corr2" arcs, "idx_corr5" final approach course, "zuvadud/D738/nav/
// gls_corr" GLS/LPV course; "idx_corr4" is always driven to 0), with the
// great-circle cross-track of the active leg ("fms/rt_xtrack") and the
// lateral offset's entry and exit ("fms/legs_offset_act").
//
// All track commands are magnetic, degrees in [0, 360).
#pragma once

#include <cstdint>

// The last value sent to each command dataref; a command is written only when
// it changes. The sequencing reads idx_corr_sent / idx_corr2_sent as the
// present straight and arc commands.
struct LnavCommandCache {
  float idx_corr_sent;
  float idx_corr2_sent;
  float idx_corr4_sent;
  float idx_corr5_sent;
  float track_cmd_prev;  // previous track command, handed to the steering laws
};
extern LnavCommandCache lnav_cmd_cache;

// Set at the end of each offset pass that reached the offset state logic;
// the sequencing clears it when it moves the offset state to 6.
extern uint8_t offset_pass_flag;

// Once per frame in the guidance phase, after route tracking and sequencing.
void update_lnav_steering();
// Corrects nav_result.cross_track for the lateral offset of leg slot `leg`
// and advances the offset state (5/6 -> 7 on entry, -> 8 on the last leg).
void lnav_offset_helper(int32_t leg);
