// The command handles that code outside the registration needs: host commands
// the plug-in issues, and its own commands that it fires itself. A handle is
// null until register_commands has run, and stays null when the host does not
// know the command; the issue helpers then do nothing.
#pragma once

#include "core/command_ids.h"
#include "platform/xplm.h"

// The handles themselves, filled by the command registration
// (commands/registration.cpp) and read only through the functions below.
extern XPLMCommandRef host_command_refs[host_command_count];  // indexed by HostCmd
extern XPLMCommandRef own_command_refs[own_issued_count];     // indexed by OwnCmd

XPLMCommandRef host_command(HostCmd id);
XPLMCommandRef own_command(OwnCmd id);

// XPLMCommandOnce / XPLMCommandBegin / XPLMCommandEnd on a handle, skipped for a
// null handle so an absent host command is never handed back to the host.
// Begins and ends are counted per command: the host sees the first begin and
// the end that matches the last one; an end without a begin does nothing.
void issue_command_once(XPLMCommandRef command);
void issue_command_begin(XPLMCommandRef command);
void issue_command_end(XPLMCommandRef command);
// Ends every command the plug-in holds begun.
void end_issued_commands();

inline void issue_command_once(HostCmd id) { issue_command_once(host_command(id)); }
inline void issue_command_begin(HostCmd id) { issue_command_begin(host_command(id)); }
inline void issue_command_end(HostCmd id) { issue_command_end(host_command(id)); }
inline void issue_command_once(OwnCmd id) { issue_command_once(own_command(id)); }
