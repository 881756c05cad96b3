// The gear horn cut-out button as a cockpit object writes it: only a new
// press silences a horn that may be silenced.
#include <gtest/gtest.h>

#include <limits>

#include "alerting/aural_cues.h"
#include "publication/lever_writers.h"
#include "systems/gear_brakes/gear_horn.h"
#include "systems/switches/switch_values.h"

namespace {

TEST(GearHornCutout, OnlyANewPressSilencesACancellableHorn) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  struct Row {
    float before, written;
    int32_t active, uncancellable;
    float cut, after;
  };
  const Row rows[] = {
      {0, 1, 1, 0, 1, 1}, {1, 1, 1, 0, 0, 1},   {0, 0, 1, 0, 0, 0}, {0, 1, 0, 0, 0, 1},
      {0, 1, 1, 1, 0, 1}, {0, nan, 1, 0, 1, 1}, {1, 0.5f, 1, 0, 1, 1},
  };
  for (const Row& r : rows) {
    push_button::gear_horn_cutout_pos = r.before;
    gear_horn_active = r.active;
    gear_horn_uncancellable = r.uncancellable;
    alert::gear_horn_cut_disable = 0.0f;
    gear_horn_cutout_pos_writer(nullptr, r.written);
    EXPECT_EQ(alert::gear_horn_cut_disable, r.cut) << r.before << " " << r.written << " " << r.active << r.uncancellable;
    EXPECT_EQ(push_button::gear_horn_cutout_pos, r.after) << r.written;
  }
}

}  // namespace
