// The presses the plug-in's command handlers are in the middle of. Every
// registered handler is reached through press_phase, which notes each begin
// until its end; a press the host can no longer finish (the plug-in switched
// off, a situation loaded over it) is then finished here as a release, and
// what the host still delivers of that press does nothing. A press begun
// during the host's replay is ignored whole.
#pragma once

#include "commands/command_handlers.h"

int press_phase(command_handler* handler, XPLMCommandRef command, XPLMCommandPhase phase, void* refcon);

// The handler the host is given for `Handler`: one distinct function per
// command, as the registration needs.
template <command_handler* Handler>
int pressed(XPLMCommandRef command, XPLMCommandPhase phase, void* refcon) {
  return press_phase(Handler, command, phase, refcon);
}

// Every press under way ends as its release would end it.
void release_held_commands();
