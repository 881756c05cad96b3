// The restore census flown: every saved slot of tools/travels.tsv
// loaded from the plug-in's own save with that one slot damaged so that the
// restore must give the saved cockpit back (beyond its travel, the magnitudes
// of a corrupted file, a hair off the position the save held, between the
// positions of a control that only takes its positions), at the gate and in
// cruise, on the -800 on host 12 and the MAX 8 on host 11. Frames later the
// crew sees what a sound load of the same moment shows: the same lights lit,
// the same bottles full, the same engines running, the masks where they
// were. A difference names the slot, the value and the table's line.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include <unistd.h>

#include "census_start.h"
#include "host.h"
#include "player.h"
#include "travel_table.h"

namespace {

const std::string kSource = CORVANE_SOURCE_DIR;
const std::string kTable = travel_table::kPath;
const std::string kStarts = kSource + "/tests/simhost/census/";
const std::string kRoot = kSource + "/sample/root/";
constexpr float kDt = 0.1f;
constexpr int kFramesAfter = 4;
constexpr int kPlaneLoaded = 102;  // the host's message that an aircraft (a situation) is loaded

struct Row {
  int line = 0;
  std::string array, damaged;
  int slot = 0;
  float lo = 0, hi = 0, step = 0;
};

// The saved arrays' slots of the one table, each with its travel (a
// control's slot its control's); the panel string is not one of them.
std::vector<Row> read_table() {
  std::vector<Row> rows;
  const travel_table::Table t = travel_table::read(kSource);
  for (const std::string& e : t.errors) ADD_FAILURE() << e;
  for (const travel_table::Slot& s : t.slots)
    if (s.array != "state_cmd") rows.push_back({s.line, s.array, s.damaged, s.slot, s.lo, s.hi, s.step});
  return rows;
}

std::string number(float v) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%g", static_cast<double>(v));
  return buf;
}

// What a crew sees: every light and aural the plug-in publishes that is on,
// the bottles' pressures, the engines running, the masks.
class Seen {
 public:
  Seen() {
    for (const simhost::DatarefInfo& d : simhost::plugin_datarefs()) {
      const bool light = d.name.find("/annunciator/") != std::string::npos;
      const bool bottle = d.name.find("/ext_bottle/psi") != std::string::npos;
      if ((light || bottle) && (d.type & (2 | 8)) != 0) names_.push_back(d.name);
    }
  }
  std::set<std::string> now() const {
    std::set<std::string> out;
    for (const std::string& n : names_) {
      const std::vector<float> v = simhost::get_floats(n);
      const std::vector<float> held = v.empty() ? std::vector<float>{simhost::get_float(n)} : v;
      for (size_t k = 0; k < held.size(); ++k) {
        if (n.find("/psi") != std::string::npos) {
          out.insert(n + " " + number(std::round(held[k] / 50.0f) * 50.0f));
        } else if (held[k] != 0.0f) {
          out.insert(n + (v.size() > 1 ? "[" + std::to_string(k) + "]" : ""));
        }
      }
    }
    for (const char* host : {"sim/flightmodel/engine/ENGN_running", "sim/cockpit/warnings/annunciators/passenger_oxy_on"}) {
      const std::vector<int> v = simhost::get_ints(host);
      for (size_t k = 0; k < v.size() && k < 2; ++k)
        if (v[k] != 0) out.insert(std::string(host) + "[" + std::to_string(k) + "]");
    }
    return out;
  }

 private:
  std::vector<std::string> names_;
};

// A load of the scripts' arrays as they stand, then frames: everything the
// crew saw on any of them.
std::set<std::string> load_and_fly(const Seen& seen) {
  simhost::send_message(simhost::kHostId, kPlaneLoaded, nullptr);
  simhost::set_float("zuvadud/D738/load_save", 4.0f);
  simhost::frame(kDt);
  simhost::set_float("zuvadud/D738/load_save", 0.0f);
  std::set<std::string> out = seen.now();
  for (int f = 0; f < kFramesAfter; ++f) {
    simhost::frame(kDt);
    const std::set<std::string> s = seen.now();
    out.insert(s.begin(), s.end());
  }
  return out;
}

// The damaged values of a row that must give the saved value back: beyond
// the travel, the magnitudes of a corrupted file, 0.49 of a step off the
// saved position, and between the positions of a control that takes only
// its positions.
std::vector<float> damaged_values(const Row& r, float saved) {
  const float s = r.step > 0.0f ? r.step : (r.hi - r.lo) / 8.0f;
  std::vector<float> v = {r.hi + s, r.lo - s, 9999.0f, 1e30f};
  if (r.step > 0.0f) {
    v.push_back(saved + 0.49f * r.step > r.hi ? saved - 0.49f * r.step : saved + 0.49f * r.step);
    if (r.damaged == "dropped") v.push_back(r.lo + 0.51f * r.step);
  }
  std::vector<float> out;
  for (float x : v) {
    const bool beyond = !(x >= r.lo && x <= r.hi);
    if (beyond || r.step > 0.0f) out.push_back(x);
  }
  return out;
}

struct Start {
  const char* name;  // census/NAME.txt
  const char* acf;
  int host_version;
};

class RestoreFlightCensus : public ::testing::TestWithParam<Start> {
 protected:
  void TearDown() override { simhost::reset(); }
};

TEST_P(RestoreFlightCensus, ADamagedSaveShowsWhatTheSoundOneShows) {
  const Start st = GetParam();
  std::string error, text;
  const std::string file = kStarts + st.name + ".txt";
  ASSERT_TRUE(runner::read_scenario(file, &text, &error)) << error;
  simhost::Config config;
  config.root = kRoot;
  config.acf = st.acf;
  config.host_version = st.host_version;
  ASSERT_TRUE(census::play_start(file, text, config, std::string(), kDt, &error)) << error;
  const std::vector<Row> rows = read_table();
  ASSERT_FALSE(rows.empty()) << "no rows read from " << kTable;
  const Seen seen;
  std::vector<std::string> errors;
  for (const Row& r : rows) {
    const std::string name = "zuvadud/D738/" + r.array;
    for (size_t k = 0;; ++k) {
      // The plug-in's own save of this moment, loaded: what the crew sees.
      const std::vector<float> sound = simhost::get_floats(name);
      ASSERT_LT(static_cast<size_t>(r.slot), sound.size()) << name << " (" << kTable << ":" << r.line << ")";
      const std::vector<float> values = damaged_values(r, sound[static_cast<size_t>(r.slot)]);
      if (k >= values.size()) break;
      const std::set<std::string> want = load_and_fly(seen);
      std::vector<float> damaged = simhost::get_floats(name);
      const float saved = damaged[static_cast<size_t>(r.slot)];
      damaged[static_cast<size_t>(r.slot)] = values[k];
      simhost::set_floats(name, damaged);
      const std::set<std::string> got = load_and_fly(seen);
      std::string more;
      for (const std::string& g : got)
        if (!want.count(g)) more += " " + g;
      if (!more.empty())
        errors.push_back(r.array + "[" + std::to_string(r.slot) + "] saved " + number(saved) + ", loaded at " +
                         number(values[k]) + " (" + kTable + ":" + std::to_string(r.line) + "):" + more);
    }
  }
  for (const std::string& e : errors) ADD_FAILURE() << st.name << " " << st.acf << ": " << e;
}

INSTANTIATE_TEST_SUITE_P(Starts, RestoreFlightCensus,
                         ::testing::Values(Start{"gate", "737_80NG.acf", 120000},
                                           Start{"cruise", "737_80MX.acf", 115000}),
                         [](const ::testing::TestParamInfo<Start>& i) {
                           return std::string(i.param.name) + "_" +
                                  (i.param.host_version == 120000 ? "800_host12" : "max8_host11");
                         });


// The first-frame set-up flown as a plain load (no situation restored):
// from each start, the host's plane-loaded message to the module running,
// the same model loaded afresh, another model, and another model loaded
// while paused. Every cockpit control the plug-in's commands set
// (simhost/catalog/switch_positions.tsv) stands after the load, on its
// first frame and 3 s on (paused: through the pause and after it), where it
// stood before, and so do the host's values the set-up writes or takes a
// control from (3 s on); one that moves needs a row of the plain-load table
// saying why, for that start or every start (*).
struct LoadStart {
  const char* name;  // census/NAME.txt
  const char* acf;
  const char* other;  // another model of the family
  int host_version;
};

const std::string kPlainLoadTable = kStarts + "plain_load.tsv";

// The host's values the first-frame set-up writes or reads a control from,
// beside the controls: what the flight does with them.
const char* const kHostValues[] = {
    "sim/cockpit2/controls/flap_ratio",
    "sim/cockpit2/controls/speedbrake_ratio",
    "sim/cockpit2/controls/parking_brake_ratio",
    "sim/cockpit2/switches/landing_lights_switch",
    "sim/cockpit2/switches/beacon_on",
    "sim/cockpit2/switches/yaw_damper_on",
    "sim/cockpit2/radios/actuators/transponder_mode",
    "sim/cockpit2/ice/ice_surfce_heat_left_on",
    "sim/cockpit2/ice/ice_surfce_heat_right_on",
    "sim/cockpit2/ice/ice_inlet_heat_on_per_engine",
    "sim/cockpit2/engine/actuators/mixture_ratio",
    "sim/cockpit2/engine/actuators/throttle_ratio",
    "sim/cockpit2/engine/actuators/ignition_key",
    "sim/cockpit2/electrical/generator_on",
    "sim/cockpit2/electrical/battery_on",
    "sim/cockpit2/fuel/fuel_tank_pump_on",
    "sim/flightmodel/engine/ENGN_running",
};

std::vector<std::string> cockpit_controls() {
  std::vector<std::string> out(std::begin(kHostValues), std::end(kHostValues));
  std::ifstream in(kSource + "/simhost/catalog/switch_positions.tsv");
  for (std::string line; std::getline(in, line);) {
    if (line.empty() || line[0] == '#' || line.rfind("name\t", 0) == 0) continue;
    out.push_back(line.substr(0, line.find('\t')));
  }
  return out;
}

std::map<std::string, std::vector<float>> controls_now(const std::vector<std::string>& names) {
  std::map<std::string, std::vector<float>> out;
  for (const std::string& n : names) {
    std::vector<float> v = simhost::get_floats(n);
    if (v.empty()) {
      for (int i : simhost::get_ints(n)) v.push_back(static_cast<float>(i));
    }
    if (v.empty()) v.push_back(n.rfind("sim/", 0) == 0 ? static_cast<float>(simhost::get_int(n)) : simhost::get_float(n));
    out[n] = v;
  }
  return out;
}

std::string values(const std::vector<float>& v) {
  std::string out;
  for (float x : v) out += (out.empty() ? "" : ",") + number(x);
  return out;
}

// The table's rows: control -> the starts it moves on ("*": every one).
std::map<std::string, std::set<std::string>> plain_load_rows(std::vector<std::string>* errors) {
  std::map<std::string, std::set<std::string>> rows;
  for (const census::TableLine& t : census::table_lines(kPlainLoadTable, "plain_load.tsv", 3, "control", errors)) {
    if (census::trim(t.f[2]).empty()) errors->push_back(t.at + "a row without its reason");
    for (const std::string& st : census::split(t.f[1], ',')) rows[census::expand(t.f[0])].insert(census::trim(st));
  }
  return rows;
}

class PlainLoadCensus : public ::testing::TestWithParam<LoadStart> {
 protected:
  void TearDown() override {
    simhost::reset();
    std::error_code ec;
    std::filesystem::remove_all(root_, ec);
  }
  std::string root_;
};

TEST_P(PlainLoadCensus, EveryControlStaysWhereTheFlightHadIt) {
  const LoadStart st = GetParam();
  // A copy of the sample root with the models' files in the aircraft folder.
  // Its own folder: two starts of one name fly beside each other in the suite.
  root_ = (std::filesystem::temp_directory_path() /
           ("corvane-plain-load-" + std::string(st.name) + "-" + st.acf + "-" + std::to_string(::getpid())))
              .string() + "/";
  std::error_code ec;
  std::filesystem::remove_all(root_, ec);
  std::filesystem::copy(kRoot, root_, std::filesystem::copy_options::recursive, ec);
  ASSERT_FALSE(ec) << ec.message();
  for (const char* acf : {st.acf, st.other}) {
    std::ofstream(root_ + "Aircraft/D738/" + acf) << "A placeholder for the aircraft file.\n";
  }
  std::string error, text;
  const std::string file = kStarts + st.name + ".txt";
  ASSERT_TRUE(runner::read_scenario(file, &text, &error)) << error;
  simhost::Config config;
  config.root = root_;
  config.acf = st.acf;
  config.host_version = st.host_version;
  ASSERT_TRUE(census::play_start(file, text, config, std::string(), kDt, &error)) << error;
  std::vector<std::string> errors;
  const std::map<std::string, std::set<std::string>> rows = plain_load_rows(&errors);
  const std::vector<std::string> names = cockpit_controls();
  ASSERT_GT(names.size(), 100u);
  std::set<std::string> moved;
  // The host's values are judged once the systems have run a while (on a
  // fresh module's first frame its buses are not yet up); the controls from
  // the first frame.
  auto compare = [&](const std::map<std::string, std::vector<float>>& before, const std::string& how,
                     bool first_frame) {
    for (const auto& [n, v] : controls_now(names)) {
      if (first_frame && n.rfind("sim/", 0) == 0) continue;
      const std::vector<float>& b = before.at(n);
      bool same = b.size() == v.size();
      for (size_t k = 0; same && k < v.size(); ++k) same = std::fabs(b[k] - v[k]) <= 1e-3f || (b[k] != b[k] && v[k] != v[k]);
      if (same || moved.count(n)) continue;
      const auto r = rows.find(n);
      if (r != rows.end() && (r->second.count("*") || r->second.count(st.name))) continue;
      moved.insert(n);
      errors.push_back(n + " " + values(b) + " before " + how + ", " + values(v) + " after: no row of " +
                       kPlainLoadTable + " says why");
    }
  };
  auto fly = [](int frames) {
    for (int f = 0; f < frames; ++f) simhost::frame(kDt);
  };
  struct Load {
    std::string how;
    std::string acf;  // empty: the plane-loaded message to the module running
    bool paused;
  };
  const std::vector<Load> loads = {{"the plane-loaded message", "", false},
                                   {std::string("the same model loaded afresh"), st.acf, false},
                                   {std::string("another model (") + st.other + ")", st.other, false},
                                   {std::string("the first model loaded while paused"), st.acf, true}};
  for (const Load& l : loads) {
    const auto before = controls_now(names);
    if (l.paused) simhost::set_int("sim/time/paused", 1);
    if (l.acf.empty()) {
      simhost::send_message(simhost::kHostId, kPlaneLoaded, nullptr);
    } else {
      ASSERT_TRUE(simhost::change_aircraft(l.acf, &error)) << error;
    }
    fly(1);
    compare(before, l.how + ", its first frame", true);
    fly(30);
    compare(before, l.how + ", 3 s on", false);
    if (l.paused) {
      simhost::set_int("sim/time/paused", 0);
      fly(30);
      compare(before, l.how + ", 3 s after the pause", false);
    }
  }
  for (const std::string& e : errors) ADD_FAILURE() << st.name << " " << st.acf << ": " << e;
}

INSTANTIATE_TEST_SUITE_P(Starts, PlainLoadCensus,
                         ::testing::Values(LoadStart{"approach", "737_80NG.acf", "737_70NG.acf", 120000},
                                           LoadStart{"approach", "737_90MX.acf", "737_70NG.acf", 115000},
                                           LoadStart{"take-off-roll", "737_80MX.acf", "737_80NG.acf", 115000},
                                           LoadStart{"icing", "737_9ENG.acf", "737_90MX.acf", 120000},
                                           LoadStart{"cruise", "737_1KMX.acf", "737_80NG.acf", 115000}),
                         [](const ::testing::TestParamInfo<LoadStart>& i) {
                           return census::part_test_name(std::string(i.param.name) + "_" + i.param.acf);
                         });

}  // namespace
