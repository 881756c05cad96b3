// Entry points the host calls (placeholder until the lifecycle lands).
#include "platform/xplm.h"

#include <cstring>

int XPluginStart(char* out_name, char* out_signature, char* out_description) {
  std::strcpy(out_name, "CORVane_plugin");
  std::strcpy(out_signature, "corvane.by.Harl");
  std::strcpy(out_description, "This is plugin for CORVane.");
  return 1;
}
void XPluginStop(void) {}
int XPluginEnable(void) { return 1; }
void XPluginDisable(void) {}
void XPluginReceiveMessage(XPLMPluginID, int, void*) {}
