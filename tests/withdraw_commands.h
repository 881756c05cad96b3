// Withdraws every command handler the registration made, group by group in
// the order the plug-in's stop uses, so the next fresh host can take a new
// registration.
#pragma once

#include "commands/registration.h"

inline void withdraw_all_command_handlers() {
  unregister_n1_source_commands();
  unregister_audio_panel_commands();
  unregister_anti_ice_commands();
  unregister_radio_panel_commands();
  unregister_chrono_commands();
  unregister_fire_commands();
  unregister_cover_commands();
  unregister_light_switch_commands();
  unregister_cabin_light_commands();
  unregister_main_commands();
}
