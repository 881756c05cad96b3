// Handlers whose cockpit behaviour is not built yet. Each expands to a function
// of its own (the host tells commands apart by handler), answers the host as the
// registration prescribes and changes nothing. A handler leaves its module's
// pending list when its behaviour is written.
#pragma once

#include "commands/command_handlers.h"

// 0: the host's own handling of the command does not run.
#define CORVANE_PENDING_HANDLER(fn) \
  int fn(XPLMCommandRef, XPLMCommandPhase, void*) { return 0; }

// 1: the host's own handling runs as well (the aileron and rudder trim hooks).
#define CORVANE_PENDING_PASS_HANDLER(fn) \
  int fn(XPLMCommandRef, XPLMCommandPhase, void*) { return 1; }
