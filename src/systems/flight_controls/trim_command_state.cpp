// Storage of the trim command state (see trim_command_state.h).
#include "systems/flight_controls/trim_command_state.h"

float pitch_trim_running;
TrimChannelCommands trim_channel_commands;
float aileron_trim_switch;
float rudder_trim_switch;
