// The command tables: every command the plug-in creates, every host command it
// looks up or takes over, and the registration groups that make and withdraw
// them. The rows live in the generated command_table.cpp; registration and
// withdrawal walk them with one loop each.
#pragma once

#include "commands/command_handlers.h"
#include "core/command_ids.h"
#include "platform/xplm.h"

// One created command; registered with before flag 1 and a null reference value.
struct CockpitCommand {
  const char* name;         // full path, exactly as passed to XPLMCreateCommand
  const char* description;  // label the host shows where keys are assigned
  command_handler* handler;
};

// One host command taken over; registered with before flag 1 and a null reference value.
struct HostCommandHook {
  HostCmd host;
  command_handler* handler;
};

// A registration group: its commands are created first, then its hooks taken over.
struct CommandGroup {
  const char* name;
  int first_command;  // index into cockpit_commands
  int command_count;
  int first_hook;  // index into host_command_hooks
  int hook_count;
};

// The table sizes (cockpit_command_count, host_hook_count, command_group_count)
// are generated with the handlers' declarations.
extern const CockpitCommand cockpit_commands[cockpit_command_count];
extern const char* const host_command_names[host_command_count];  // indexed by HostCmd
extern const HostCommandHook host_command_hooks[host_hook_count];
extern const CommandGroup command_groups[command_group_count];
extern const short own_issued_index[own_issued_count];  // OwnCmd -> index into cockpit_commands
