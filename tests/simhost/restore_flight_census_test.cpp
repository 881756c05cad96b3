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
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

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

}  // namespace
