// The debug and situation selector published as "corvane/Debug".
#pragma once

#include <cstdint>

// Status left by the last write (0, 1 or 2); defined with the core state steps.
extern int32_t debug_status;

// Writer of "corvane/Debug".
void debug_command_write(void* refcon, int value);
