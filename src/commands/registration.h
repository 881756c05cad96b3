// Creation of the cockpit commands, the take-over of host commands, and the
// withdrawal of every handler at stop (group by group, in registration order).
#pragma once

#include "platform/xplm.h"

// Looks up the host commands the plug-in issues, then runs the ten groups below
// in order. Called once by XPluginStart after the dataref lists.
void register_commands();

void register_n1_source_commands();
void register_audio_panel_commands();
void register_anti_ice_commands();
void register_radio_panel_commands();
void register_chrono_commands();
void register_fire_commands();
void register_cover_commands();
void register_light_switch_commands();
void register_cabin_light_commands();
void register_main_commands();

// Mirrors run by XPluginStop in this order; each withdraws exactly the handler
// registrations its group made, with the same command, handler, flag and refcon.
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

// Handle of the created command at creation index 0..472; null out of range or
// before creation.
XPLMCommandRef cockpit_command_handle(int index);
