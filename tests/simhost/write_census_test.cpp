// The write census: every writable dataref the plug-in publishes has a row in
// tools/travels.tsv, and every row with a travel is written as a
// cockpit builder's hardware writes it, at the gate and in cruise, on the
// -800 on host 12 and the MAX 8 on host 11: each end of its travel and one
// step beyond, a value between two positions, -0, the magnitudes of a broken
// writer and each of its positions; once, then on the following frames with
// the noise of a potentiometer. What the plug-in then holds lies within the
// travel, on a position right after the write where the control has them; a
// write a few thousandths off a position leaves the control where that
// position put it; the host's values with a range in its published list
// stay within it, and its record of misuses stays empty. A free row is
// written too, with what a hardware writer sends a switch: the host's values
// stay within their ranges all the same. A travel that disagrees with the
// positions the commands set (simhost/catalog/switch_positions.tsv) for the
// same control fails too, as does a free row for a control that is saved or
// has positions. Written
// during a replay, no control moves. Last, every control written between
// its positions is saved and loaded again with nothing dropped.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
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
constexpr float kNoise = 0.003f;
constexpr int kPlaneLoaded = 102;  // the host's message that an aircraft (a situation) is loaded

struct Row {
  int line = 0;
  std::string name, kept_by;
  float lo = 0, hi = 0, step = 0;
};

// The writable datarefs' rows of the one table (a control only saved is no
// row of this census).
std::vector<Row> read_table(std::vector<std::string>* errors) {
  std::vector<Row> rows;
  const travel_table::Table t = travel_table::read(kSource);
  errors->insert(errors->end(), t.errors.begin(), t.errors.end());
  for (const travel_table::Control& c : t.controls) {
    if (c.kept_by == "saved") continue;
    if (c.kept_by != "store" && c.kept_by != "writer" && c.kept_by != "free")
      errors->push_back(kTable + ":" + std::to_string(c.line) + ": kept_by: store, writer, free or saved");
    rows.push_back({c.line, c.name, c.kept_by, c.lo, c.hi, c.step});
  }
  return rows;
}

// The controls only saved (kept_by saved), by name and line: none of them
// may be writable.
std::map<std::string, int> saved_only() {
  std::map<std::string, int> out;
  for (const travel_table::Control& c : travel_table::read(kSource).controls)
    if (c.kept_by == "saved") out[c.name] = c.line;
  return out;
}

// The restore's travels of the published controls, each saved slot or panel
// position of a control: (lo, hi, step, line of the table). A control saved
// as one element of an array is named by the array.
struct Restored {
  std::string where;  // array[slot]
  float lo, hi, step;
  int line;
};
std::map<std::string, std::vector<Restored>> restored_travels() {
  std::map<std::string, std::vector<Restored>> out;
  for (const travel_table::Slot& s : travel_table::read(kSource).slots) {
    if (s.control == "-") continue;
    out[s.control.substr(0, s.control.find('['))].push_back(
        {s.array + "[" + std::to_string(s.slot) + "]", s.lo, s.hi, s.step, s.line});
  }
  return out;
}

// The runner's position rules (simhost/catalog/switch_positions.tsv): the
// positions the commands set, by name, with the table's line; a range LO..HI
// as its two ends; "any" left out.
const std::string kPositions = "simhost/catalog/switch_positions.tsv";
struct Positions {
  std::vector<float> at;
  bool range = false;
  int line = 0;
};
std::map<std::string, Positions> command_positions() {
  std::map<std::string, Positions> out;
  std::ifstream in(kSource + "/" + kPositions);
  std::string text;
  for (int line = 1; std::getline(in, text); ++line) {
    const std::vector<std::string> f = travel_table::cells(text);
    if (f.size() != 2 || text[0] == '#' || f[0] == "name" || f[1] == "any") continue;
    Positions p;
    p.line = line;
    const size_t dots = f[1].find("..");
    if (dots != std::string::npos) {
      p.range = true;
      p.at = {std::stof(f[1].substr(0, dots)), std::stof(f[1].substr(dots + 2))};
    } else {
      std::istringstream list(f[1]);
      for (std::string v; std::getline(list, v, ',');) p.at.push_back(std::stof(v));
    }
    out[f[0]] = p;
  }
  return out;
}

// The host's own ranges of its values, where its published list gives one
// as the unit ("-1..1", "[0..1]"), as simhost/catalog/host_ranges.tsv keeps
// them: a value the plug-in hands the host beyond it breaks the host's rule.
struct HostRange {
  std::string name;
  double lo, hi;
};
std::vector<HostRange> host_ranges() {
  std::vector<HostRange> out;
  std::ifstream in(kSource + "/simhost/catalog/host_ranges.tsv");
  std::string text;
  std::getline(in, text);
  while (std::getline(in, text)) {
    const std::vector<std::string> f = travel_table::cells(text);
    if (f.size() == 3) out.push_back({f[0], std::stod(f[1]), std::stod(f[2])});
  }
  return out;
}

// The host's values beyond their range, one text each.
std::set<std::string> host_values_beyond(const std::vector<HostRange>& ranges) {
  std::set<std::string> out;
  for (const HostRange& r : ranges) {
    if (!simhost::has_dataref(r.name)) continue;
    const std::vector<float> v = simhost::get_floats(r.name);
    const std::vector<float> held = v.empty() ? std::vector<float>{simhost::get_float(r.name)} : v;
    for (size_t k = 0; k < held.size(); ++k) {
      if (!(held[k] >= r.lo && held[k] <= r.hi))
        out.insert(r.name + (v.empty() ? "" : "[" + std::to_string(k) + "]") + " " +
                   std::to_string(held[k]) + " beyond the host's " + std::to_string(r.lo) + ".." +
                   std::to_string(r.hi));
    }
  }
  return out;
}

bool on_position(const Row& r, float v) {
  if (r.step <= 0.0f) return true;
  const float k = (v - r.lo) / r.step;
  return std::fabs(k - std::round(k)) < 1e-3f;
}

std::string number(float v) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%g", static_cast<double>(v));
  return buf;
}

// The writes of one row: its ends and a step beyond, between positions (at
// each side of halfway and on it), -0, the magnitudes a broken writer sends,
// then its positions. A free row gets the numbers a hardware writer sends to
// a switch it takes it for.
std::vector<float> writes(const Row& r) {
  if (r.kept_by == "free") return {3.0f, 7.0f, 0.5f, -1.0f, 1e30f, 0.0f, 1.0f};
  const float s = r.step > 0.0f ? r.step : (r.hi - r.lo) / 8.0f;
  std::vector<float> v = {r.lo,  r.hi,   r.lo - s, r.hi + s, r.lo + 0.4f * s, r.lo + 0.49f * s, r.lo + 0.5f * s,
                          r.lo + 0.51f * s, -0.0f, 1e30f, -1e30f, 3.0f, 4.0f, 7.0f, -3.0f};
  if (r.step > 0.0f) {
    const int n = static_cast<int>(std::lround((r.hi - r.lo) / r.step));
    const int every = n > 16 ? n / 16 : 1;
    for (int k = 0; k <= n; k += every) v.push_back(r.lo + static_cast<float>(k) * r.step);
  }
  return v;
}

// The free rows the flight writes: not the route arrays (the lateral path's
// own data), nor a request that starts work of its own (a file list, an
// airport search), nor the debug switch.
bool writes_free_row(const std::string& name) {
  for (const char* skip : {"/fms/legs", "_cmd", "corvane/Debug", "/nd/", "/engine_model/"}) {
    if (name.find(skip) != std::string::npos) return false;
  }
  return true;
}

TEST(WriteCensus, EveryWritableDatarefHasOneRow) {
  simhost::reset();
  std::string error;
  ASSERT_TRUE(simhost::load_and_start(CORVANE_MODULE_PATH, &error)) << error;
  std::vector<std::string> errors;
  const std::vector<Row> rows = read_table(&errors);
  std::map<std::string, int> rows_of;
  for (const Row& r : rows) ++rows_of[r.name];
  std::set<std::string> writable;
  const std::map<std::string, int> saved = saved_only();
  for (const simhost::DatarefInfo& d : simhost::plugin_datarefs()) {
    if (!d.writable) continue;
    writable.insert(d.name);
    if (saved.count(d.name))
      errors.push_back(kTable + ":" + std::to_string(saved.at(d.name)) + " " + d.name +
                       ": writable, but its row is kept_by saved: store or writer");
    if (rows_of[d.name] == 0) errors.push_back(d.name + ": writable, with no travel: give it a row in " + kTable);
  }
  for (const auto& [name, n] : rows_of) {
    if (n > 1) errors.push_back(name + ": " + std::to_string(n) + " rows in " + kTable);
    if (!writable.count(name)) errors.push_back(name + ": a row of " + kTable + " that is no writable dataref");
  }
  // One travel for a control, whether it is written, restored or set by its
  // commands: a control saved or with positions has no free row, its saved
  // slots have its travel (the panel string's characters only its
  // positions), and every position its commands set lies on it, a switch's
  // ends among them.
  const auto restored = restored_travels();
  const auto positions = command_positions();
  for (const Row& r : rows) {
    const std::string at = kTable + ":" + std::to_string(r.line) + " " + r.name;
    const auto it = restored.find(r.name);
    const auto pos = positions.find(r.name);
    if (r.kept_by == "free") {
      if (it != restored.end())
        errors.push_back(at + ": a free row, saved in " + it->second.front().where + " (" + kTable + ":" +
                         std::to_string(it->second.front().line) + ")");
      if (pos != positions.end())
        errors.push_back(at + ": a free row, with positions its commands set (" + kPositions + ":" +
                         std::to_string(pos->second.line) + ")");
      continue;
    }
    if (it != restored.end()) {
      for (const Restored& t : it->second) {
        const bool panel = t.where.rfind("state_cmd", 0) == 0;
        const bool same = t.lo == r.lo && t.hi == r.hi && (panel ? on_position(r, t.lo) && on_position(r, t.lo + t.step)
                                                                 : t.step == r.step);
        if (!same)
          errors.push_back(at + ": written " + number(r.lo) + ".." + number(r.hi) + " step " + number(r.step) +
                           ", restored " + number(t.lo) + ".." + number(t.hi) + " step " + number(t.step) + " in " +
                           t.where + " (" + kTable + ":" + std::to_string(t.line) + ")");
      }
    }
    if (pos != positions.end()) {
      const Positions& p = pos->second;
      const auto [lo, hi] = std::minmax_element(p.at.begin(), p.at.end());
      // A lever or knob with no detents (step 0) may be set anywhere on its
      // travel, its commands only some of the places.
      bool same = r.step <= 0.0f || (*lo == r.lo && *hi == r.hi);
      for (float v : p.at) same = same && v >= r.lo && v <= r.hi && (p.range || on_position(r, v));
      if (!same)
        errors.push_back(at + ": written " + number(r.lo) + ".." + number(r.hi) + " step " + number(r.step) +
                         ", its commands set other positions (" + kPositions + ":" + std::to_string(p.line) + ")");
    }
  }
  for (const std::string& e : errors) ADD_FAILURE() << e;
  simhost::reset();
}

struct Start {
  const char* name;  // census/NAME.txt
  const char* acf;
  int host_version;
};

class WriteCensusFlight : public ::testing::TestWithParam<Start> {
 protected:
  void TearDown() override { simhost::reset(); }

  bool start(const Start& s, std::string* error) {
    std::string text;
    const std::string file = kStarts + s.name + ".txt";
    if (!runner::read_scenario(file, &text, error)) return false;
    simhost::Config config;
    config.root = kRoot;
    config.acf = s.acf;
    config.host_version = s.host_version;
    return census::play_start(file, text, config, std::string(), kDt, error);
  }

  static void write(const Row& r, bool array, int size, float v) {
    if (array) {
      simhost::set_floats(r.name, std::vector<float>(static_cast<size_t>(size), v));
    } else {
      simhost::set_float(r.name, v);
    }
  }
  // The values held, or "" with every element within the travel (and on a
  // position when `positions`).
  static std::string beyond(const Row& r, bool array, bool positions) {
    const std::vector<float> held = array ? simhost::get_floats(r.name) : std::vector<float>{simhost::get_float(r.name)};
    std::string out;
    for (float v : held) {
      if (!(v >= r.lo && v <= r.hi) || (positions && !on_position(r, v))) return "holds " + number(v);
    }
    return out;
  }
};

TEST_P(WriteCensusFlight, EveryWriteWithinItsTravel) {
  const Start s = GetParam();
  std::string error;
  ASSERT_TRUE(start(s, &error)) << error;
  std::vector<std::string> errors;
  const std::vector<Row> rows = read_table(&errors);
  ASSERT_TRUE(errors.empty()) << errors.front();
  simhost::clear_problems();
  const std::vector<HostRange> ranges = host_ranges();
  ASSERT_FALSE(ranges.empty()) << "no host ranges read from simhost/catalog/host_ranges.tsv";
  const std::set<std::string> host_before = host_values_beyond(ranges);
  for (const Row& r : rows) {
    // A free row holds whatever is written; what the plug-in makes of it
    // reaches the host within the host's ranges all the same. The route
    // arrays and the requests that start work of their own are left out.
    const bool free = r.kept_by == "free";
    if (free && !writes_free_row(r.name)) continue;
    simhost::DatarefInfo info;
    ASSERT_TRUE(simhost::dataref_info(r.name, &info)) << r.name;
    if ((info.type & (2 | 8)) == 0) continue;  // not a number of this census
    const bool array = info.size > 1 || (info.type & 8) != 0;
    const std::vector<float> before = array ? simhost::get_floats(r.name) : std::vector<float>{simhost::get_float(r.name)};
    std::string fault;
    for (float v : writes(r)) {
      const std::string what = r.name + " written " + number(v) + " (" + kTable + ":" + std::to_string(r.line) + ")";
      write(r, array, info.size, v);
      std::string b = free ? "" : beyond(r, array, true);
      if (!b.empty()) {
        fault = what + ": " + b;
        break;
      }
      // Written again on the next frames, as hardware writes, with its noise.
      for (int f = 0; f < 3 && fault.empty(); ++f) {
        simhost::frame(kDt);
        write(r, array, info.size, v + ((f % 2) != 0 ? kNoise : -kNoise));
        b = free ? "" : beyond(r, array, false);
        if (!b.empty()) fault = what + ", then with noise: " + b;
      }
      simhost::frame(kDt);
      b = free ? "" : beyond(r, array, false);
      if (fault.empty() && !b.empty()) fault = what + ", a frame later: " + b;
      for (const std::string& h : host_values_beyond(ranges)) {
        if (fault.empty() && !host_before.count(h)) fault = what + ": the host's " + h;
      }
      if (!fault.empty()) break;
    }
    // A write a few thousandths off a position is that position.
    if (fault.empty() && !free && r.step > 0.0f) {
      const float p = r.lo + std::floor((r.hi - r.lo) / r.step / 2.0f) * r.step;
      write(r, array, info.size, p);
      const float at = simhost::get_float(r.name);
      for (float n : {kNoise, -kNoise}) {
        write(r, array, info.size, p + n);
        if (simhost::get_float(r.name) != at)
          fault = r.name + " at " + number(at) + " written " + number(p + n) + ": " +
                  number(simhost::get_float(r.name));
      }
    }
    if (!fault.empty()) errors.push_back(fault);
    // Back where the start had it.
    if (array) {
      simhost::set_floats(r.name, before);
    } else {
      simhost::set_float(r.name, before[0]);
    }
    simhost::frame(kDt);
  }
  // A replay shows the past: each control written during it, to the other end
  // of its travel, stays where it stood.
  simhost::set_int("sim/time/is_in_replay", 1);
  simhost::frame(kDt);
  for (const Row& r : rows) {
    if (r.kept_by == "free") continue;
    simhost::DatarefInfo info;
    ASSERT_TRUE(simhost::dataref_info(r.name, &info)) << r.name;
    const bool array = info.size > 1 || (info.type & 8) != 0;
    const float was = array ? simhost::get_floats(r.name).at(0) : simhost::get_float(r.name);
    write(r, array, info.size, was > r.lo ? r.lo : r.hi);
    simhost::frame(kDt);
    const float now = array ? simhost::get_floats(r.name).at(0) : simhost::get_float(r.name);
    if (now != was)
      errors.push_back(r.name + " at " + number(was) + " written in a replay (" + kTable + ":" +
                       std::to_string(r.line) + "): " + number(now));
  }
  simhost::set_int("sim/time/is_in_replay", 0);
  simhost::frame(kDt);
  // Every control written between two of its positions (just short of
  // halfway, and on it) and left there: the plug-in's own save of that
  // cockpit loads again with nothing dropped.
  for (float part : {0.49f, 0.5f}) {
    for (const Row& r : rows) {
      if (r.kept_by == "free") continue;
      simhost::DatarefInfo info;
      ASSERT_TRUE(simhost::dataref_info(r.name, &info)) << r.name;
      const bool array = info.size > 1 || (info.type & 8) != 0;
      const float step = r.step > 0.0f ? r.step : (r.hi - r.lo) / 8.0f;
      write(r, array, info.size, r.lo + part * step);
    }
    simhost::frames(5, kDt);
    simhost::clear_log();
    simhost::send_message(simhost::kHostId, kPlaneLoaded, nullptr);
    simhost::set_float("zuvadud/D738/load_save", 4.0f);
    simhost::frame(kDt);
    simhost::set_float("zuvadud/D738/load_save", 0.0f);
    simhost::frame(kDt);
    for (const std::string& l : simhost::log_lines()) {
      if (l.find("beyond their control's travel") != std::string::npos)
        errors.push_back("every control written at " + number(part) + " of a step, saved and loaded again: " + l);
    }
  }
  for (const std::string& p : simhost::problems()) errors.push_back("the host: " + p);
  for (const std::string& e : errors) ADD_FAILURE() << s.name << " " << s.acf << ": " << e;
}

INSTANTIATE_TEST_SUITE_P(Starts, WriteCensusFlight,
                         ::testing::Values(Start{"gate", "737_80NG.acf", 120000},
                                           Start{"cruise", "737_80NG.acf", 120000},
                                           Start{"cruise", "737_80MX.acf", 115000}),
                         [](const ::testing::TestParamInfo<Start>& i) {
                           return std::string(i.param.name) + "_" + (i.param.host_version == 120000 ? "800_host12" : "max8_host11");
                         });

}  // namespace
