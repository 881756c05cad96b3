// The intercept-angle law's worked values: offsets that put the arcsine angle
// on each side of its 10, 15, 25 and 30 degree bands and of the 0.7 blend
// point, the maximum angle's cap and the ground-speed clamp.
#include <gtest/gtest.h>

#include "core/binding.h"
#include "core/preprocess_values.h"
#include "navdata/air_data.h"

namespace {

TEST(InterceptAngle, EachBandOnBothSides) {
  // At 100 m/s and 25 degrees of bank the turn radius is 1.3055 nm; the
  // comments give the arcsine angle each offset stands for.
  struct Row {
    float gs_mps, offset_nm, max_deg, angle;
  } rows[] = {
      {100, 0.1138f, 45, -2.6920f},   // 5
      {100, 0.2042f, 45, -5.1387f},   // 9
      {100, 0.2491f, 45, -7.0275f},   // 11
      {100, 0.3f, 45, -9.5597f},      // 13.3, its shaped angle 10.8 just past the ramp's start
      {100, 0.3269f, 45, -11.2488f},  // 14.5
      {100, 0.3489f, 45, -12.4760f},  // 15.5
      {100, 0.5414f, 45, -20.2878f},  // 24.5
      {100, 0.562f, 45, -21.5044f},   // 25.5
      {100, 0.6429f, 45, -28.9450f},  // 29.5
      {100, 0.6626f, 45, -30.5008f},  // 30.5
      {100, 0.8903f, 45, -42.9976f},  // 43, past the blend
      {100, 0.3269f, 20, -11.2488f},  // under the cap
      {100, 0.5414f, 20, -19.0378f},  // capped shaped angle
      {100, 2.0f, 45, -45.0f},        // beyond the radius
      {100, -0.3269f, 45, 11.2488f},  // left of the path
      {50, 0.3269f, 45, -26.9511f},   // slow: the radius of 71 m/s
      {71, 0.3269f, 45, -26.9511f},
      {80, 0.3269f, 45, -18.5733f},   // between the clamps
      {250, 0.3269f, 45, -1.4249f},
      {236, 0.3269f, 45, -1.4249f},
      {300, 0.3269f, 45, -1.4249f},   // fast: the radius of 236 m/s
  };
  for (const Row& r : rows) {
    host_mirror.sim_flightmodel_position_groundspeed = r.gs_mps;
    EXPECT_NEAR(intercept_angle_for_offset(r.offset_nm, 25.0f, 0.5f, r.max_deg), r.angle, 2e-3f)
        << r.gs_mps << " m/s " << r.offset_nm << " nm max " << r.max_deg;
  }
  host_mirror.sim_flightmodel_position_groundspeed = 0.0f;
}

}  // namespace
