// A module with two load-time faults: an import of a host function only the
// newest hosts have, and a C library call only the newest systems have.
#include <cstdlib>

extern "C" void XPLMGetMETARForAirport(const char* airport_id, void* out_metar);

extern "C" __attribute__((visibility("default"))) int XPluginStart(char*, char*, char*) {
  char report[150];
  XPLMGetMETARForAirport("XTST", report);
  return static_cast<int>(arc4random() & 1u);
}
extern "C" __attribute__((visibility("default"))) void XPluginStop() {}
extern "C" __attribute__((visibility("default"))) int XPluginEnable() { return 1; }
extern "C" __attribute__((visibility("default"))) void XPluginDisable() {}
extern "C" __attribute__((visibility("default"))) void XPluginReceiveMessage(int, int, void*) {}
