// Storage of the command handles other code issues, and the helpers that
// issue them (see command_refs.h).
//
// Host calls: XPLMCommandOnce, XPLMCommandBegin, XPLMCommandEnd.
#include "core/command_refs.h"

XPLMCommandRef host_command_refs[host_command_count];
XPLMCommandRef own_command_refs[own_issued_count];

namespace {

// The commands the plug-in holds begun, with how many of its holders hold
// each: the host is told of the first begin and the last end only, so two
// holders of one command (the two stall test buttons) never begin it twice,
// and an end that no begin of the plug-in's went before never reaches it.
constexpr int kIssuedCapacity = 16;
struct IssuedHold {
  XPLMCommandRef command;
  int holders;
};
IssuedHold issued[kIssuedCapacity];
int issued_count;

int find_issued(XPLMCommandRef command) {
  for (int i = 0; i < issued_count; ++i)
    if (issued[i].command == command) return i;
  return -1;
}

}  // namespace

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
  if (command == nullptr) return;
  const int i = find_issued(command);
  if (i >= 0) {
    ++issued[i].holders;
    return;
  }
  // Beyond the capacity the begin is not issued at all: it could never be
  // ended.
  if (issued_count == kIssuedCapacity) return;
  issued[issued_count++] = {command, 1};
  XPLMCommandBegin(command);
}

void issue_command_end(XPLMCommandRef command) {
  if (command == nullptr) return;
  const int i = find_issued(command);
  if (i < 0) return;
  if (--issued[i].holders > 0) return;
  issued[i] = issued[--issued_count];
  XPLMCommandEnd(command);
}

void end_issued_commands() {
  while (issued_count > 0) {
    const XPLMCommandRef command = issued[--issued_count].command;
    XPLMCommandEnd(command);
  }
}
