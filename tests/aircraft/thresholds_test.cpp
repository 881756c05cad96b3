// The engine vibration curve just past each of its breakpoints, where a moved
// breakpoint shows.
#include <gtest/gtest.h>

#include "aircraft/state_arrays.h"

namespace {

TEST(VibrationCurve, JustPastEachBreakpoint) {
  struct Row {
    float n1, vib;
  } rows[] = {{11, 1.787778f}, {23.5f, 1.51f}, {40, 1.221471f}, {104, 1.466176f}, {106, 1.47f}};
  for (const Row& r : rows) EXPECT_NEAR(n1_vibration(r.n1), r.vib, 1e-5f) << r.n1;
}

}  // namespace
