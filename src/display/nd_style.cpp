// The range index and map scale of a display range value, for every map pass.
#include "display/nd_style.h"

#include <cmath>

#include "systems/electrical/bus_feeds.h"
#include "systems/electrical/electric_values.h"

bool nd_side_powered(int32_t side) {
  return fed(side == 0 ? Consumer::capt_displays : Consumer::fo_displays);
}

int32_t nd_range_index(float range_index) {
  if (!std::isfinite(range_index)) return 7;
  const float r = std::trunc(range_index);
  if (r < 0.0f || r > 6.0f) return 7;
  return static_cast<int32_t>(r);
}

double nd_range_scale(float range_index) {
  static constexpr double scales[8] = {0.136, 0.068, 0.034, 0.017, 0.0085, 0.00425, 0.002125, 0.0010625};
  return scales[nd_range_index(range_index)];
}
