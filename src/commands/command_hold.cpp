// Storage of the shared hold timing of held commands (see command_hold.h).
#include "commands/command_hold.h"

#include "core/frame_values.h"

float command_hold_time;
float command_repeat_time;

bool command_hold_passed(float threshold_s) {
  if (command_hold_time > threshold_s) return true;
  command_hold_time += frame_time;
  return false;
}
