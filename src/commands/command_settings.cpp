// Storage of the command handlers' settings (see command_settings.h).
#include "commands/command_settings.h"

int32_t chrono_mode_setting = -1;
int32_t pax_lighting_setting;
int32_t entry_lighting_setting;
