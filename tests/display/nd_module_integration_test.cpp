// The built module in the simulated host draws a route on the captain's
// navigation display: route handed over by the scripts, battery power on the
// standby bus, display brightness up and the display through its cold power-up,
// MAP mode; the panel shows the magenta legs and the waypoint slots are
// published.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "host.h"

namespace {

void set_text(const char* name, const std::string& text) {
  std::string bytes = text;
  bytes.resize(simhost::array_size(name), '\0');
  simhost::set_bytes(name, bytes);
}

bool is_magenta(const simhost::Line& l) {
  return std::fabs(l.r - 0.772549f) < 1e-3f && std::fabs(l.g - 0.10588235f) < 1e-3f && l.b > 0.99f;
}

TEST(NdModule, RouteDrawnIntoThePanel) {
  simhost::reset();
  std::string error;
  ASSERT_TRUE(simhost::load_and_start(CORVANE_MODULE_PATH, &error)) << error;
  simhost::frames(2, 0.02f);

  // Aircraft on the ground at 47N 122W heading north; a route north of it.
  simhost::set_double("sim/flightmodel/position/latitude", 47.0);
  simhost::set_double("sim/flightmodel/position/longitude", -122.0);
  const std::vector<float> lat = {47.0f, 47.05f, 47.1f, 47.15f};
  const std::vector<float> lon = {-122.0f, -122.0f, -122.0f, -122.0f};
  ASSERT_TRUE(simhost::set_floats("zuvadud/D738/fms/legs_lat", lat));
  ASSERT_TRUE(simhost::set_floats("zuvadud/D738/fms/legs_lon", lon));
  set_text("zuvadud/D738/fms/legs", "ALPHA BRAVO CHARL DELTA ");
  set_text("zuvadud/D738/fms/legs_pth", "IFTFTFTF");
  simhost::set_float("zuvadud/D738/vnav/legs_num", 3.0f);
  simhost::set_float("zuvadud/D738/fms/vnav_idx", 1.0f);
  simhost::set_float("zuvadud/D738/fms/legs_change", 1.0f);

  // Power: battery on, standby power switch to BAT, so the standby DC bus
  // (the captain's map gate) is fed from the hot battery bus.
  ASSERT_TRUE(simhost::set_floats("sim/cockpit2/electrical/battery_voltage_actual_volts", {24.0f, 24.0f}));
  ASSERT_TRUE(simhost::set_float("zuvadud/D738/electric/battery_pos", 1.0f));
  ASSERT_TRUE(simhost::set_float("zuvadud/D738/electric/standby_bat_pos", -1.0f));
  // Captain's display brightness knob full up (the plug-in turns knob x bus x
  // power-up into the host's brightness ratio itself).
  ASSERT_TRUE(simhost::set_floats("zuvadud/D738/electric/instrument_brightness", {1.0f}, 2));
  simhost::set_float("zuvadud/D738/EFIS_control/capt/map_mode_pos", 2.0f);
  simhost::set_float("zuvadud/D738/EFIS_control/capt/exp_map", 1.0f);
  simhost::set_float("zuvadud/D738/EFIS/capt/map_range", 2.0f);  // 10 nm

  // From cold on the standby bus alone the displays take 95 s to come up and
  // stay dark meanwhile. (Captured passes skip rendering the whole panel
  // texture every frame.)
  simhost::set_draw_capture(true);
  simhost::frames(900, 0.1f);
  ASSERT_NE(simhost::get_float("zuvadud/D738/electric/dc_stdbus_status"), 0.0f);
  EXPECT_EQ(simhost::get_floats("sim/cockpit2/switches/instrument_brightness_ratio")[2], 0.0f);
  simhost::frames(60, 0.1f);
  ASSERT_GT(simhost::get_floats("sim/cockpit2/switches/instrument_brightness_ratio")[2], 0.0f);

  simhost::set_int("sim/graphics/view/panel_render_type", 2);
  simhost::frames(3, 0.02f);

  // Legs run straight up the captain's map from the aircraft symbol
  // (panel x 771, y 8 + 500 x 0.199).
  int magenta_up = 0;
  for (const auto& l : simhost::captured_lines()) {
    if (!is_magenta(l)) continue;
    if (std::fabs(l.x0 - 771.0f) < 1.0f && std::fabs(l.x1 - 771.0f) < 1.0f && l.y1 > l.y0 && l.y0 >= 107.0f) ++magenta_up;
  }
  EXPECT_GE(magenta_up, 2);
  const std::vector<float> types = simhost::get_floats("zuvadud/D738/nd/wpt_type");
  ASSERT_GE(types.size(), 2u);
  EXPECT_EQ(types[0], 2.0f);  // the active waypoint
  EXPECT_EQ(types[1], 1.0f);
  EXPECT_EQ(simhost::get_text("zuvadud/D738/nd/wpt_id01w"), "BRAVO");

  // Rendered, the legs light the panel's pixels above the symbol.
  simhost::set_draw_capture(false);
  simhost::frame(0.02f);
  const uint32_t p = simhost::pixel(771, 8 + static_cast<int>(500 * (0.199 + 4.0 * 0.034)));
  EXPECT_GT(p >> 24, 100u) << std::hex << p;
  if (const char* png = std::getenv("CORVANE_ND_MODULE_PNG")) simhost::write_png(png);
  for (const std::string& problem : simhost::problems())
    EXPECT_EQ(problem.find("zuvadud/D738/nd/"), std::string::npos) << problem;
}

}  // namespace
