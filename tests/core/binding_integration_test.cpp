// Outside dataref binding as the host sees the built module: the look-ups of
// start-up in table order, each name once, and no further look-up while
// frames run except the first-officer add-on's.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "host.h"

namespace {

struct Row {
  const char* name;
  const char* table;
};

const Row kRows[] = {
#define BOUND(ident, name, table, access, count, polled, conversion) {name, #table},
#include "core/bound_names.inc"
#undef BOUND
};

// Published by the plug-in itself before the binding runs, so always found;
// the publication lists may look their own names up as well.
bool self_published(const std::string& name) {
  return name == "zuvadud/D738/73x" || name == "zuvadud/D738/autopilot/lock_throttle";
}

class BoundModule : public ::testing::Test {
 protected:
  void TearDown() override { simhost::reset(); }
  void load(const simhost::Config& config) {
    simhost::reset(config);
    std::string error;
    ASSERT_TRUE(simhost::load_and_start(CORVANE_MODULE_PATH, &error)) << error;
  }
};

TEST_F(BoundModule, StartUpLooksUpEveryTableInOrder) {
  // Nothing defined: every bound look-up misses, so the host's miss list
  // shows the start-up sequence.
  const std::string empty = ::testing::TempDir() + "bound_module_empty_catalog";
  std::filesystem::create_directories(empty);
  simhost::Config config;
  config.catalog_dir = empty;
  config.scripts = false;
  load(config);
  // The host read its catalogs when it was made: the folder is not left behind.
  std::filesystem::remove_all(empty);
  std::set<std::string> bound;
  for (const Row& r : kRows) bound.insert(r.name);
  std::vector<std::string> seen;
  for (const std::string& n : simhost::missing_lookups())
    if (bound.count(n)) seen.push_back(n);
  std::vector<std::string> expect;
  for (const Row& r : kRows)
    if (!self_published(r.name)) expect.push_back(r.name);
  ASSERT_EQ(seen.size(), expect.size());
  for (size_t i = 0; i < seen.size(); ++i) ASSERT_EQ(seen[i], expect[i]) << "position " << i;
  for (const Row& r : kRows) {
    if (self_published(r.name)) continue;
    EXPECT_EQ(simhost::counts(r.name).lookups, 1) << r.name;
  }
}

TEST_F(BoundModule, FramesLookUpOnlyTheFirstOfficerAddOnAgain) {
  load(simhost::Config());
  simhost::frames(20, 1.0f / 30.0f);
  for (const Row& r : kRows) {
    const std::string name = r.name;
    if (self_published(name)) continue;
    if (name == "quenby/fo/_show") {
      EXPECT_GE(simhost::counts(name).lookups, 2);  // start-up, then the first frame
    } else {
      EXPECT_EQ(simhost::counts(name).lookups, 1) << name;
    }
  }
  // Absent add-ons stay absent; the host and script tables are all there.
  const std::vector<std::string> missing = simhost::missing_lookups();
  const std::set<std::string> missing_set(missing.begin(), missing.end());
  for (const Row& r : kRows) {
    const std::string table = r.table;
    const std::string name = r.name;
    const bool ours = table == "host" || table == "mirrored_script" || table == "direct_script";
    const bool add_on = table == "rain" || table == "terrain_radar";
    // Two host names exist in no host version.
    const bool no_host = name == "sim/flightmodel2/cg_offset_z" || name == "sim/weather/altimeter_temperature_error";
    if (ours || add_on) {
      EXPECT_EQ(missing_set.count(r.name), (add_on || no_host) ? 1u : 0u) << r.name;
    }
  }
}

TEST_F(BoundModule, PollsReadEveryFrameIncludingPausedAndReplay) {
  load(simhost::Config());
  simhost::frames(2, 1.0f / 30.0f);
  const int before = simhost::counts("sim/cockpit2/gauges/indicators/airspeed_kts_pilot").reads;
  const int failures_before = simhost::counts("zuvadud/D738/failure/electric").reads;
  simhost::set_int("sim/time/paused", 1);
  simhost::frames(3, 1.0f / 30.0f);
  simhost::set_int("sim/time/paused", 0);
  simhost::set_int("sim/time/is_in_replay", 1);
  simhost::frames(3, 1.0f / 30.0f);
  EXPECT_GE(simhost::counts("sim/cockpit2/gauges/indicators/airspeed_kts_pilot").reads - before, 6);
  EXPECT_GE(simhost::counts("zuvadud/D738/failure/electric").reads - failures_before, 6);
}

}  // namespace
