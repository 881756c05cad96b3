// Creation of the cockpit commands, the take-over of host commands, and the
// withdrawal of every handler at stop (group by group, in registration order).
#pragma once

#include "platform/xplm.h"

void register_commands();

void unregister_n1_source_commands();
void unregister_audio_panel_commands();
void unregister_anti_ice_commands();
void unregister_radio_panel_commands();
void unregister_chrono_commands();
void unregister_fire_commands();
void unregister_cover_commands();
void unregister_light_switch_commands();
void unregister_cabin_light_commands();
void unregister_main_commands();
