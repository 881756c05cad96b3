// Stop and start cycles in one process: load, start, fly a few frames with a
// route, stop, unload, ten times over. Each cycle must leave nothing
// registered with the host, register exactly what the first one did, and
// start from a clean state (the same first-frame values every time).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host.h"
#include "soak_fixture.h"

namespace {

std::string fms(const std::string& name) { return "zuvadud/D738/fms/" + name; }

struct Snapshot {
  std::vector<std::string> datarefs;   // "name type writable size", registration order
  std::vector<std::string> commands;   // created commands, creation order
  simhost::Registrations registrations;
  int loops = 0, draws = 0;
  std::string first_frames;                    // a few published values after the first frames
};

std::string values_of(const std::vector<std::string>& names) {
  std::string out;
  for (const std::string& n : names) {
    std::string v;
    simhost::format_value(n, &v);
    out += n + "=" + v + ";";
  }
  return out;
}

Snapshot cycle(const simhost::Config& config, int frames) {
  Snapshot s;
  simhost::reset(config);
  simhost::set_draw_capture(true);
  std::string error;
  EXPECT_TRUE(simhost::load_and_start(CORVANE_MODULE_PATH, &error)) << error;
  for (const simhost::DatarefInfo& d : simhost::plugin_datarefs())
    s.datarefs.push_back(d.name + " " + std::to_string(d.type) + " " + std::to_string(d.writable) + " " +
                         std::to_string(d.size));
  for (const simhost::CommandInfo& c : simhost::plugin_commands()) s.commands.push_back(c.name);
  s.registrations = simhost::registrations();
  s.loops = static_cast<int>(simhost::flight_loops().size());
  s.draws = static_cast<int>(simhost::draw_callbacks().size());

  // A short flight with a route, so per-load state is in use when it stops.
  simhost::set_float(fms("xfirst_time2"), 2.0f);
  simhost::set_floats(fms("legs_lat"), {47.449f, 47.46f, 47.40f, 47.35f});
  simhost::set_floats(fms("legs_lon"), {-122.31f, -122.31f, -122.30f, -122.10f});
  simhost::set_floats(fms("legs_dist"), {0.0f, 1.0f, 3.6f, 8.8f});
  std::string ids = "KSEA RW16L D016B ALPSE ";
  ids.resize(static_cast<size_t>(simhost::array_size(fms("legs"))), '\0');
  simhost::set_bytes(fms("legs"), ids);
  std::string types = "IFIFCADF";
  types.resize(static_cast<size_t>(simhost::array_size(fms("legs_pth"))), '\0');
  simhost::set_bytes(fms("legs_pth"), types);
  simhost::set_float("zuvadud/D738/vnav/legs_num", 3.0f);
  simhost::set_float(fms("vnav_idx"), 3.0f);
  simhost::set_float(fms("vnav_idx_seq"), 3.0f);
  simhost::set_float(fms("legs_change"), 1.0f);
  simhost::set_double("sim/flightmodel/position/latitude", 47.42);
  simhost::set_double("sim/flightmodel/position/longitude", -122.30);
  simhost::frames(2, 1.0f / 30);
  s.first_frames = values_of({"corvane/b737_variant", "zuvadud/D738/73x", "zuvadud/D738/fms/legs_df_crs",
                              "zuvadud/D738/fms/legs_dist_dest_true", "zuvadud/D738/fms/legs_spd_calc",
                              "zuvadud/D738/fms/legs_type", "corvane/Debug"});
  simhost::command_once("sim/flight_controls/landing_gear_toggle");
  simhost::frames(frames, 1.0f / 30);

  simhost::stop();
  EXPECT_EQ(simhost::registrations().total(), 0) << "registered after stop";
  simhost::unload();
  EXPECT_TRUE(simhost::leftovers().empty()) << simhost::leftovers().front();
  EXPECT_TRUE(simhost::problems().empty()) << simhost::problems().front();
  return s;
}

TEST(SoakCycles, TenLoadsInOneProcessRegisterTheSameAndLeaveNothing) {
  simhost::Config config;
  config.root = std::string(CORVANE_SOURCE_DIR) + "/sample/root";
  const int frames = soak::frames(20, 4);
  const Snapshot first = cycle(config, frames);
  ASSERT_FALSE(first.datarefs.empty());
  ASSERT_FALSE(first.commands.empty());
  for (int k = 1; k < 10; ++k) {
    const Snapshot again = cycle(config, frames);
    EXPECT_EQ(again.datarefs, first.datarefs) << "cycle " << k;
    EXPECT_EQ(again.commands, first.commands) << "cycle " << k;
    EXPECT_EQ(again.registrations.total(), first.registrations.total()) << "cycle " << k;
    EXPECT_EQ(again.registrations.datarefs, first.registrations.datarefs) << "cycle " << k;
    EXPECT_EQ(again.registrations.command_handlers, first.registrations.command_handlers) << "cycle " << k;
    EXPECT_EQ(again.loops, first.loops) << "cycle " << k;
    EXPECT_EQ(again.draws, first.draws) << "cycle " << k;
    EXPECT_EQ(again.first_frames, first.first_frames) << "cycle " << k;
    if (::testing::Test::HasFailure()) break;
  }
  simhost::reset();
}

// The same module stopped and started again without unloading: the host may
// do that, and a second start must not register twice or keep the first
// start's handles.
TEST(SoakCycles, StopAndStartWithoutUnload) {
  simhost::Config config;
  config.root = std::string(CORVANE_SOURCE_DIR) + "/sample/root";
  simhost::reset(config);
  std::string error;
  ASSERT_TRUE(simhost::load_and_start(CORVANE_MODULE_PATH, &error)) << error;
  const int registered = simhost::registrations().total();
  simhost::frames(3, 1.0f / 30);
  for (int k = 0; k < 3; ++k) {
    simhost::stop();
    EXPECT_EQ(simhost::registrations().total(), 0) << "cycle " << k;
    simhost::start();
    simhost::enable();
    EXPECT_EQ(simhost::registrations().total(), registered) << "cycle " << k;
    simhost::frames(soak::frames(10, 3), 1.0f / 30);
  }
  simhost::stop();
  simhost::unload();
  EXPECT_TRUE(simhost::leftovers().empty());
  EXPECT_TRUE(simhost::problems().empty()) << simhost::problems().front();
  simhost::reset();
}

}  // namespace
