// The gear horn cut-out button as a cockpit object writes it: only a new
// press silences a horn that may be silenced; a write takes the nearest of
// its two positions, so a released button's noise is no press.
#include <gtest/gtest.h>

#include <limits>

#include "alerting/aural_cues.h"
#include "publication/lever_writers.h"
#include "systems/electrical/electric_values.h"
#include "systems/gear_brakes/gear_horn.h"
#include "systems/instruments/instrument_values.h"
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
      {0, 1, 1, 1, 0, 1}, {0, nan, 1, 0, 0, 0}, {1, 0.5f, 1, 0, 0, 1}, {0, -0.003f, 1, 0, 0, 0},
      {0, 0.003f, 1, 0, 0, 0}, {0, 0.997f, 1, 0, 1, 1}, {0, 4, 1, 0, 1, 1}, {1, -3, 1, 0, 0, 0},
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

// The standby altimeter's setting written as its window shows it, in the
// unit shown: the altimeter's own setting moves with it, within the knob's
// 0 to 40 in; under STD, or with the standby display unpowered, the knob,
// and the write, do nothing.
TEST(StandbyAltimeterBaro, AWrittenSettingSetsTheAltimeter) {
  const float inf = std::numeric_limits<float>::infinity();
  struct Row {
    float unit, std_mode, written, shown, inhg, bat = 1;
  };
  const Row rows[] = {
      {0, 0, 30.42f, 30.42f, 30.42f}, {1, 0, 1000, 1000, 29.5300f}, {0, 0, 60, 40, 40},
      {1, 0, 2000, 1354.5553f, 40},   {0, 0, -3, 0, 0},             {0, 1, 30.42f, 29.92f, 29.92f},
      {0, 0, inf, 40, 40},            {0, 0, -inf, 0, 0},           {0, 0, 30.50f, 29.92f, 29.92f, 0},
      {1, 0, 1000, 29.92f, 29.92f, 0},
  };
  for (const Row& r : rows) {
    electric::batbus_status = electric::dir_batbus_status = r.bat;
    gauges::standby_alt_mode = r.unit;
    gauges::standby_alt_std_mode = r.std_mode;
    gauges::standby_altimeter_baro = 29.92f;
    knobs::standby_alt_baro = 29.92f;
    standby_alt_baro_writer(nullptr, r.written);
    EXPECT_NEAR(knobs::standby_alt_baro, r.shown, 1e-3f) << r.unit << " " << r.written;
    EXPECT_NEAR(gauges::standby_altimeter_baro, r.inhg, 1e-4f) << r.unit << " " << r.written;
  }
  gauges::standby_alt_mode = gauges::standby_alt_std_mode = 0.0f;
  electric::batbus_status = electric::dir_batbus_status = 0.0f;
}

}  // namespace
