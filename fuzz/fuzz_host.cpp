// The one host function the loaders call, for the fuzz target: the log goes nowhere.
#include "platform/xplm.h"

void XPLMDebugString(const char*) {}
