// The debug and situation selector's writer (the status it leaves lives with
// the core state steps).
#include "core/debug_service.h"

void debug_command_write(void*, int) {}
