// What the trim commands ask of the systems step beyond the host's elevator
// trim itself: the manual trim run flag, the phases of the host's trim A and
// B commands, and where the aileron and rudder trim switches are held.
#pragma once

#include "systems/delay_timers.h"

// 1 while a manual (wheel) trim command moves the trim strictly inside its
// travel, else 0; drives the wheel's manual-trim flag.
extern float pitch_trim_running;

// Phase of the host's stabilizer trim A and B commands: 1 begun, 2 held,
// 3 released (0 never operated).
struct TrimChannelCommands {
  float a_up;
  float a_down;
  float b_up;
  float b_down;
};
extern TrimChannelCommands trim_channel_commands;

// Aileron and rudder trim switches: -1 left, +1 right, 0 released. The
// published switch animations move toward them.
extern float aileron_trim_switch;
extern float rudder_trim_switch;

// The trim's short sound flags are slots of the delay timer bank, which
// clears each flag when its countdown runs out: the wheel pulse after a
// manual trim begins (0.55 s), and the yoke trim motor's click at its low
// (0.55 s) and high (0.37 s) rate.
inline float& trim_wheel_pulse() { return delay_flags.capt_trim_flag; }
inline float& trim_wheel_pulse_timer() { return delay_timers.capt_trim_delay; }
inline float& elec_trim_click_slow() { return delay_flags.fo_trim_flag_slow; }
inline float& elec_trim_click_slow_timer() { return delay_timers.fo_trim_delay_slow; }
inline float& elec_trim_click_fast() { return delay_flags.fo_trim_flag_fast; }
inline float& elec_trim_click_fast_timer() { return delay_timers.fo_trim_delay_fast; }
