// Storage of the cockpit switch memory (see switch_memory.h).
#include "systems/switches/switch_memory.h"

TravelTargets travel_targets;
LeverCommands lever_commands;
ApuStartSwitchValues apu_start_values;
