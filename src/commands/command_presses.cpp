// Storage of the presses under way (see command_presses.h).
#include "commands/command_presses.h"

#include "commands/switch_moves.h"
#include "core/binding.h"
#include "core/host_io.h"

namespace {

// Far more keys than a crew holds at once; a press beyond them is not noted
// and ends only through the host.
constexpr int kPressCapacity = 64;

struct Press {
  command_handler* handler;
  XPLMCommandRef command;
  bool ended_here;  // released by the plug-in; the host has not ended it yet
};

Press presses[kPressCapacity];
int press_count;

// A replay shows the past: a key pressed during it does nothing, to its
// lever or switch as to the system behind it, and a key held into it acts
// again only after it; its release still counts.

int find_press(command_handler* handler) {
  for (int i = 0; i < press_count; ++i)
    if (presses[i].handler == handler) return i;
  return -1;
}

void forget_press(int i) {
  presses[i] = presses[press_count - 1];
  --press_count;
}

}  // namespace

int press_phase(command_handler* handler, XPLMCommandRef command, XPLMCommandPhase phase, void* refcon) {
  const int i = find_press(handler);
  if (phase == phase_begin) {
    const bool ignored = host_in_replay();
    if (i >= 0) {
      presses[i] = {handler, command, ignored};
    } else if (press_count < kPressCapacity) {
      presses[press_count++] = {handler, command, ignored};
    }
    return ignored ? 0 : handler(command, phase, refcon);
  }
  if (i >= 0 && presses[i].ended_here) {
    if (phase == phase_end) forget_press(i);
    return 0;
  }
  if (phase == phase_end) {
    if (i >= 0) forget_press(i);
  } else if (host_in_replay()) {
    return 0;
  }
  return handler(command, phase, refcon);
}

void release_held_commands() {
  // A release may press or let go of other commands: the presses to end are
  // taken first, and each is looked up again before it is ended.
  command_handler* held[kPressCapacity];
  int count = 0;
  for (int i = 0; i < press_count; ++i)
    if (!presses[i].ended_here) held[count++] = presses[i].handler;
  for (int k = 0; k < count; ++k) {
    const int i = find_press(held[k]);
    if (i < 0 || presses[i].ended_here) continue;
    presses[i].ended_here = true;
    const XPLMCommandRef command = presses[i].command;
    held[k](command, phase_end, nullptr);
  }
}
