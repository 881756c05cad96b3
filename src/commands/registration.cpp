// Command registration: creates the cockpit commands from the command table,
// takes over host commands, keeps every handle (the ones other code issues in
// core/command_refs.h), and withdraws each handler registration at stop with
// the tuple it was made with.
//
// Host calls: XPLMFindCommand, XPLMCreateCommand, XPLMRegisterCommandHandler,
// XPLMUnregisterCommandHandler.
//
// A host command the host does not know comes back as a null handle. Handing a
// null command to the host's registration or issue calls is unsafe, so such a
// handle is kept null and every registration, withdrawal and issue through it
// is skipped.
#include "commands/registration.h"

#include "core/command_refs.h"
#include "commands/command_table.h"

namespace {

// Registration state: handles are set at start and only read afterwards; the
// flags record which registrations were made, so stop withdraws exactly those.
struct CommandRegistry {
  XPLMCommandRef created[cockpit_command_count];
  bool created_registered[cockpit_command_count];
  bool hook_registered[host_hook_count];
};
CommandRegistry registry;

constexpr int handler_runs_before_host = 1;

void register_group(int group) {
  const CommandGroup& g = command_groups[group];
  for (int i = g.first_command; i < g.first_command + g.command_count; ++i) {
    const CockpitCommand& c = cockpit_commands[i];
    registry.created[i] = XPLMCreateCommand(c.name, c.description);
    if (registry.created[i] != nullptr && !registry.created_registered[i]) {
      XPLMRegisterCommandHandler(registry.created[i], c.handler, handler_runs_before_host, nullptr);
      registry.created_registered[i] = true;
    }
  }
  // The own commands other code fires, as their commands are created.
  for (int k = 0; k < own_issued_count; ++k) {
    const int i = own_issued_index[k];
    if (i >= g.first_command && i < g.first_command + g.command_count) {
      own_command_refs[k] = registry.created[i];
    }
  }
  for (int k = g.first_hook; k < g.first_hook + g.hook_count; ++k) {
    const HostCommandHook& h = host_command_hooks[k];
    const int id = static_cast<int>(h.host);
    host_command_refs[id] = XPLMFindCommand(host_command_names[id]);
    if (host_command_refs[id] != nullptr && !registry.hook_registered[k]) {
      XPLMRegisterCommandHandler(host_command_refs[id], h.handler, handler_runs_before_host, nullptr);
      registry.hook_registered[k] = true;
    }
  }
}

void unregister_group(int group) {
  const CommandGroup& g = command_groups[group];
  for (int i = g.first_command; i < g.first_command + g.command_count; ++i) {
    if (!registry.created_registered[i]) continue;
    XPLMUnregisterCommandHandler(registry.created[i], cockpit_commands[i].handler, handler_runs_before_host,
                                 nullptr);
    registry.created_registered[i] = false;
  }
  for (int k = g.first_hook; k < g.first_hook + g.hook_count; ++k) {
    if (!registry.hook_registered[k]) continue;
    const HostCommandHook& h = host_command_hooks[k];
    XPLMUnregisterCommandHandler(host_command_refs[static_cast<int>(h.host)], h.handler, handler_runs_before_host,
                                 nullptr);
    registry.hook_registered[k] = false;
  }
}

}  // namespace

void register_commands() {
  // Every issued host command is found before anything is created.
  for (int id = 0; id < host_lookup_count; ++id) host_command_refs[id] = XPLMFindCommand(host_command_names[id]);
  register_n1_source_commands();
  register_audio_panel_commands();
  register_anti_ice_commands();
  register_radio_panel_commands();
  register_chrono_commands();
  register_fire_commands();
  register_cover_commands();
  register_light_switch_commands();
  register_cabin_light_commands();
  register_main_commands();
}

void register_n1_source_commands() { register_group(0); }
void register_audio_panel_commands() { register_group(1); }
void register_anti_ice_commands() { register_group(2); }
void register_radio_panel_commands() { register_group(3); }
void register_chrono_commands() { register_group(4); }
void register_fire_commands() { register_group(5); }
void register_cover_commands() { register_group(6); }
void register_light_switch_commands() { register_group(7); }
void register_cabin_light_commands() { register_group(8); }
void register_main_commands() { register_group(9); }

void unregister_n1_source_commands() { unregister_group(0); }
void unregister_audio_panel_commands() { unregister_group(1); }
void unregister_anti_ice_commands() { unregister_group(2); }
void unregister_radio_panel_commands() { unregister_group(3); }
void unregister_chrono_commands() { unregister_group(4); }
void unregister_fire_commands() { unregister_group(5); }
void unregister_cover_commands() { unregister_group(6); }
void unregister_light_switch_commands() { unregister_group(7); }
void unregister_cabin_light_commands() { unregister_group(8); }
void unregister_main_commands() { unregister_group(9); }

XPLMCommandRef cockpit_command_handle(int index) {
  if (index < 0 || index >= cockpit_command_count) return nullptr;
  return registry.created[index];
}
