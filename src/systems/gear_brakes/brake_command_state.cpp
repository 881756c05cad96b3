// Storage of the brake command state (see brake_command_state.h).
#include "systems/gear_brakes/brake_command_state.h"

BrakeCommandState brake_commands;
