// Transponder code digits (see transponder_code.h).
#include "systems/transponder_code.h"

#include <cstdio>

#include "core/bound_mirrors.h"

int32_t xpndr_change_digit(int32_t place) {
  const int32_t code = host_mirror.sim_cockpit2_radios_actuators_transponder_code;
  if (place < 0 || place > 3 || code < 0) return 0;
  char text[16];
  const int n = std::snprintf(text, sizeof text, "%04d", static_cast<int>(code));
  if (n <= place) return 0;
  return text[place] - '0';
}
