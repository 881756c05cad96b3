// The whole published set as the simulated host sees it after start: counts by
// namespace, kind, writability and string length, the re-lookups, the order of
// the fourteen lists, the instanced name families, and a clean withdrawal.
// The counts that follow the table are taken from the generated census
// (pinned once, by tools/gen_published.py's check of published_datarefs.tsv).
#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "datarefs/published_census.h"
#include "host.h"
#include "publication/loaded_module.h"

namespace {

using Census = LoadedModule;

bool starts_with(const std::string& s, const char* prefix) { return s.rfind(prefix, 0) == 0; }

std::string two_digits(int i) {
  char buf[8];
  std::snprintf(buf, sizeof buf, "%02d", i);
  return buf;
}

std::map<std::string, simhost::DatarefInfo> by_name() {
  std::map<std::string, simhost::DatarefInfo> out;
  for (const auto& d : simhost::plugin_datarefs()) out[d.name] = d;
  return out;
}

TEST_F(Census, CountsByNamespaceKindWritabilityAndLength) {
  const auto all = simhost::plugin_datarefs();
  ASSERT_EQ(all.size(), static_cast<size_t>(expected_total));
  std::set<std::string> names;
  std::map<std::string, int> ns;
  std::map<int, int> kinds, byte_lengths;
  int writable = 0;
  const char* namespaces[] = {"zuvadud/D738/", "zuvadud/d738/", "tarv/", "corvane/", "tarx/"};
  for (const auto& d : all) {
    EXPECT_TRUE(names.insert(d.name).second) << "registered twice: " << d.name;
    EXPECT_EQ(d.owner, simhost::Owner::Plugin) << d.name;
    for (const char* n : namespaces)
      if (starts_with(d.name, n)) ++ns[n];
    ++kinds[d.type];
    writable += d.writable ? 1 : 0;
    if (d.type == 32) ++byte_lengths[d.size];
  }
  // The small namespaces pinned here; the aircraft's main one holds the rest.
  const std::map<std::string, int> small = {{"zuvadud/d738/", 60}, {"tarv/", 32}, {"corvane/", 24}, {"tarx/", 3}};
  int in_small = 0;
  for (const auto& [n, count] : small) {
    EXPECT_EQ(ns[n], count) << n;
    in_small += count;
  }
  EXPECT_EQ(ns["zuvadud/D738/"], expected_total - in_small);
  std::map<int, int> want_kinds;
  for (const KindCount& k : expected_kind_counts) want_kinds[k.type_flags] = k.count;
  EXPECT_EQ(kinds, want_kinds);
  EXPECT_EQ(writable, expected_writable);
  EXPECT_EQ(byte_lengths, (std::map<int, int>{{16, 328}, {6, 160}, {5, 38}, {512, 2}, {4096, 1}}));
}

// Every name is looked up again right after its registration, except the
// service values, the six-byte map identifiers and the traffic altitude labels.
// Two of the plug-in's own names are also bound as script values at start-up,
// which adds one look-up each.
TEST_F(Census, LooksUpExactlyTheReFoundNames) {
  const std::set<std::string> also_bound = {"zuvadud/D738/73x", "zuvadud/D738/autopilot/lock_throttle"};
  int refound = 0;
  for (const auto& d : simhost::plugin_datarefs()) {
    const bool service = (starts_with(d.name, "corvane/") && !starts_with(d.name, "corvane/engine_model/")) ||
                         d.name == "zuvadud/D738/73x";
    const bool exempt = service || (d.type == 32 && (d.size == 6 || d.size == 5));
    const int by_publication = simhost::counts(d.name).lookups - (also_bound.count(d.name) ? 1 : 0);
    EXPECT_EQ(by_publication, exempt ? 0 : 1) << d.name;
    if (by_publication > 0) ++refound;
  }
  EXPECT_EQ(refound, expected_refind);
}

TEST_F(Census, FourteenListsInStartUpOrder) {
  const char* const firsts[published_list_count] = {
      "corvane/Aircraft_Path",
      "corvane/engine_model/sfc",
      "zuvadud/D738/toggle_switch/n1_set_source",
      "zuvadud/D738/annunciator/brightness_level",
      "zuvadud/D738/ice/l_side_temp",
      "zuvadud/D738/comm/radio_button",
      "zuvadud/D738/pressurization_dash",
      "zuvadud/D738/fire/engine01/ext_switch/pos_arm",
      "zuvadud/D738/button_switch/cover_position",
      "zuvadud/D738/toggle_switch/position_light_pos",
      "tarv/cabin/lights1",
      "zuvadud/D738/zone_temp",
      "zuvadud/D738/TCAS/alt",
      "zuvadud/D738/fms/legs_lat",
  };
  const auto all = simhost::plugin_datarefs();
  size_t at = 0;
  for (int l = 0; l < published_list_count; ++l) {
    ASSERT_LT(at, all.size());
    EXPECT_EQ(all[at].name, firsts[l]) << "list starting at registration " << at;
    at += static_cast<size_t>(expected_list_counts[l]);
  }
  EXPECT_EQ(at, all.size());
  EXPECT_EQ(all.back().name, "zuvadud/D738/corvane/filename_list");
}

// The instanced families of the display slots and traffic labels, built by
// loops: every member exists with its kind, length and writability.
TEST_F(Census, DisplayAndTrafficFamilies) {
  struct Expect {
    std::string name;
    int type, size;
    bool writable;
  };
  std::vector<Expect> want;
  const std::string nd = "zuvadud/D738/nd/";
  for (const char* side : {"", "_fo"}) {
    for (const char* field : {"id", "alt", "eta", "rnp"})
      for (int i = 0; i < 20; ++i)
        for (const char* end : {"w", "m"})
          want.push_back({nd + "wpt" + side + "_" + field + two_digits(i) + end, 32, 16, false});
    for (const char* marker : {"tc", "td", "decel", "ed"}) want.push_back({nd + marker + side + "_id", 32, 16, false});
    for (const char* axis : {"_x", "_y", "_type"}) {
      want.push_back({nd + "wpt" + side + axis, 8, 20, false});
      want.push_back({nd + "object" + side + axis, 8, 50, true});
    }
    for (const char* axis : {"_x", "_y", "_enable"}) want.push_back({nd + "apt" + side + axis, 8, 30, true});
    for (int i = 0; i < 30; ++i) want.push_back({nd + "apt" + side + "_id" + two_digits(i), 32, 6, false});
    for (int i = 0; i < 50; ++i) want.push_back({nd + "object" + side + "_id" + two_digits(i), 32, 6, false});
    for (int i = 1; i <= 19; ++i)
      want.push_back({std::string("zuvadud/D738/TCAS/alt") + side + (i == 1 ? "" : std::to_string(i)), 32, 5, false});
  }
  ASSERT_EQ(want.size(), 328u + 160u + 38u + 18u);
  const auto live = by_name();
  for (const auto& w : want) {
    auto it = live.find(w.name);
    ASSERT_NE(it, live.end()) << w.name;
    EXPECT_EQ(it->second.type, w.type) << w.name;
    EXPECT_EQ(it->second.size, w.size) << w.name;
    EXPECT_EQ(it->second.writable, w.writable) << w.name;
  }
}

// The route exchange: 65 float[256] leg arrays and the two-view array, the 21
// direct-to scalars, the plan list trio; 67 of the 90 writable.
TEST_F(Census, RouteExchangeList) {
  int arrays = 0, scalars = 0, writable = 0, total = 0;
  for (const auto& d : simhost::plugin_datarefs()) {
    const bool legs = starts_with(d.name, "zuvadud/D738/fms/") && !starts_with(d.name, "zuvadud/D738/fms/dir_") &&
                      d.name.find("/legs_") != std::string::npos;
    const bool direct = starts_with(d.name, "zuvadud/D738/fms/dir_seg");
    const bool plans = starts_with(d.name, "zuvadud/D738/corvane/filename_list");
    if (!legs && !direct && !plans) continue;
    ++total;
    writable += d.writable ? 1 : 0;
    if (legs) {
      EXPECT_EQ(d.size, 256) << d.name;
      EXPECT_TRUE(d.writable) << d.name;
      EXPECT_EQ(d.type, d.name == "zuvadud/D738/fms/legs_alt_rest_type" ? 24 : 8) << d.name;
      ++arrays;
    }
    if (direct) {
      EXPECT_EQ(d.type, 2) << d.name;
      EXPECT_FALSE(d.writable) << d.name;
      ++scalars;
    }
  }
  EXPECT_EQ(arrays, 66);
  EXPECT_EQ(scalars, 21);
  EXPECT_EQ(total, 90);
  EXPECT_EQ(writable, 67);
  const auto live = by_name();
  EXPECT_EQ(live.at("zuvadud/D738/corvane/filename_list_cmd").type, 2);
  EXPECT_TRUE(live.at("zuvadud/D738/corvane/filename_list_cmd").writable);
  EXPECT_FALSE(live.at("zuvadud/D738/corvane/filename_list_n").writable);
}

TEST_F(Census, ServiceAndEngineModelKinds) {
  struct Row {
    const char* name;
    int type, size;
    bool writable;
  };
  const Row rows[] = {
      {"corvane/Aircraft_Path", 32, 512, false}, {"corvane/Xplane_Path", 32, 512, false},
      {"corvane/Debug", 1, 1, true},             {"corvane/lat_mag_var", 4, 1, true},
      {"corvane/lon_mag_var", 4, 1, true},       {"corvane/calc_mag_var", 4, 1, true},
      {"corvane/mag_var", 2, 1, false},          {"corvane/brunner_active", 1, 1, false},
      {"corvane/find_icao_cmd", 4, 1, true},     {"corvane/b737_variant", 1, 1, false},
      {"zuvadud/D738/73x", 1, 1, false},
  };
  const auto all = simhost::plugin_datarefs();
  for (size_t i = 0; i < std::size(rows); ++i) {
    ASSERT_LT(i, all.size());
    EXPECT_EQ(all[i].name, rows[i].name);
    EXPECT_EQ(all[i].type, rows[i].type) << rows[i].name;
    EXPECT_EQ(all[i].size, rows[i].size) << rows[i].name;
    EXPECT_EQ(all[i].writable, rows[i].writable) << rows[i].name;
  }
  for (size_t i = 11; i < 25; ++i) {
    EXPECT_TRUE(starts_with(all[i].name, "corvane/engine_model/")) << all[i].name;
    EXPECT_EQ(all[i].type, 2) << all[i].name;
    EXPECT_TRUE(all[i].writable) << all[i].name;
  }
}

TEST_F(Census, StopWithdrawsEverythingAndARestartPublishesTheSameSet) {
  std::vector<std::string> first;
  for (const auto& d : simhost::plugin_datarefs()) first.push_back(d.name);
  simhost::stop();
  const auto left = simhost::registrations();
  EXPECT_EQ(left.datarefs, 0);
  EXPECT_EQ(left.flight_loops, 0);
  EXPECT_EQ(left.total(), 0);
  EXPECT_TRUE(simhost::plugin_datarefs().empty());
  simhost::start();
  simhost::enable();
  std::vector<std::string> again;
  for (const auto& d : simhost::plugin_datarefs()) again.push_back(d.name);
  EXPECT_EQ(again, first);
  simhost::stop();
  simhost::unload();
  EXPECT_TRUE(simhost::leftovers().empty());
  EXPECT_TRUE(simhost::problems().empty()) << simhost::problems().front();
}

}  // namespace
