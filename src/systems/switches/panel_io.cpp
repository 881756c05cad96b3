// Host and script exchange helpers of the overhead panels (see panel_io.h).
#include "systems/switches/panel_io.h"

#include <cmath>

int read_script_floats(bound::Id id, float* out, int count) {
  XPLMDataRef h = handle(id);
  if (h == nullptr || count <= 0) return 0;
  int n = XPLMGetDatavf(h, out, 0, count);
  if (n < 0) n = 0;
  if (n > count) n = count;
  // A NaN or an infinity from the scripts must not reach the state it restores.
  for (int i = 0; i < n; ++i) {
    if (!std::isfinite(out[i])) out[i] = 0.0f;
  }
  return n;
}

void host_int_on_change(bound::Id id, int32_t& mirror, int32_t value) {
  if (mirror == value) return;
  mirror = value;
  if (XPLMDataRef h = handle(id)) XPLMSetDatai(h, value);
}

void host_float_on_change(bound::Id id, float& mirror, float value) {
  if (mirror == value) return;
  mirror = value;
  if (XPLMDataRef h = handle(id)) XPLMSetDataf(h, value);
}

void host_floats_send(bound::Id id, float* mirror, int count) {
  if (XPLMDataRef h = handle(id)) XPLMSetDatavf(h, mirror, 0, count);
}
void host_ints_send(bound::Id id, int32_t* mirror, int count) {
  if (XPLMDataRef h = handle(id)) XPLMSetDatavi(h, mirror, 0, count);
}
