// Storage of the brake command state (see brake_command_state.h).
#include "systems/brake_command_state.h"

BrakeCommandState brake_commands;
