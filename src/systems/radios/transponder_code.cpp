// Transponder code digits (see transponder_code.h).
#include "systems/radios/transponder_code.h"

#include "core/bound_mirrors.h"

int32_t xpndr_change_digit(int32_t place) {
  if (place < 0 || place > 3) return 0;
  int32_t code = host_mirror.sim_cockpit2_radios_actuators_transponder_code;
  code = code < 0 ? 0 : (code > 9999 ? 9999 : code);
  static constexpr int32_t kPlaceValue[4] = {1000, 100, 10, 1};
  return code / kPlaceValue[place] % 10;
}
