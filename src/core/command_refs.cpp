// Storage of the command handles other code issues, and the helpers that
// issue them (see command_refs.h).
//
// Host calls: XPLMCommandOnce, XPLMCommandBegin, XPLMCommandEnd.
#include "core/command_refs.h"

XPLMCommandRef host_command_refs[host_command_count];
XPLMCommandRef own_command_refs[own_issued_count];

XPLMCommandRef host_command(HostCmd id) {
  const int i = static_cast<int>(id);
  if (i < 0 || i >= host_command_count) return nullptr;
  return host_command_refs[i];
}

XPLMCommandRef own_command(OwnCmd id) {
  const int i = static_cast<int>(id);
  if (i < 0 || i >= own_issued_count) return nullptr;
  return own_command_refs[i];
}

void issue_command_once(XPLMCommandRef command) {
  if (command != nullptr) XPLMCommandOnce(command);
}

void issue_command_begin(XPLMCommandRef command) {
  if (command != nullptr) XPLMCommandBegin(command);
}

void issue_command_end(XPLMCommandRef command) {
  if (command != nullptr) XPLMCommandEnd(command);
}
