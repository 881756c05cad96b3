// Transponder code digits and mode numbers (see transponder_code.h).
#include "systems/radios/transponder_code.h"

#include "core/bound_mirrors.h"

int32_t xpndr_change_digit(int32_t place) {
  if (place < 0 || place > 3) return 0;
  int32_t code = host_mirror.sim_cockpit2_radios_actuators_transponder_code;
  code = code < 0 ? 0 : (code > 9999 ? 9999 : code);
  static constexpr int32_t kPlaceValue[4] = {1000, 100, 10, 1};
  return code / kPlaceValue[place] % 10;
}

int32_t host_transponder_mode(float knob, bool test, int32_t version) {
  const bool host12 = version >= 120000;
  if (test) return host12 ? 4 : 3;
  if (knob == 1.0f) return 1;
  if (knob == 2.0f) return 2;
  if (knob == 3.0f) return host12 ? 3 : 2;
  if (knob == 4.0f) return host12 ? 6 : 2;
  if (knob == 5.0f) return host12 ? 7 : 2;
  return 0;
}

float transponder_knob_for_host_mode(float knob, int32_t host_mode, int32_t version) {
  const bool settled = knob >= 1.0f && knob <= 5.0f && static_cast<float>(static_cast<int>(knob)) == knob;
  if (settled && host_transponder_mode(knob, false, version) == host_mode) return knob;
  for (float k = 5.0f; k >= 2.0f; k -= 1.0f) {
    if (host_transponder_mode(k, false, version) == host_mode) return k;
  }
  return 1.0f;
}
