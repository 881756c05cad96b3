// The power census: what a crew sees of each consumer of the bus census
// (src/systems/electrical/bus_feeds.cpp) with its buses cut, flown through the
// simulated host. Every consumer has one row in the tables of power_census/
// (one table per group of systems, each flown as its own tests); a row names
// one or more consumers (joined by "+": the effect needs all of them), the
// start it is flown from, the crew's action, the published value that shows
// the effect and the value it keeps when nothing acts, and the steps that
// take the action back. Each row with an action is flown from its start
// with each bus cut alone by the scripts' failure table, on the ground and in
// flight as its start is, frames run after the action: the effect must show
// exactly while the row's consumers have their buses (the bus statuses the
// plug-in publishes, read before the action), never while every bus of a
// consumer's row is dead, never missing while they live. A consumer of the
// bus census without a row, a row that names no consumer and a row without
// its action or reason fail, naming the table.
//
// The columns, tab-separated:
//   consumer  consumer names of the bus census, joined by "+"
//   start     the start it is flown from (census/START.txt)
//   action    scenario steps (`set`, `command`, `hold`, `run`), separated by
//             " ; ", or "-": not flown here, with the reason
//   effect    the published value (after "zuvadud/D738/") that shows it, or
//             a value of the host by its full name ("sim/..."); "NAME[I]"
//             names element I of an array
//   rest      the value the effect keeps when nothing acts
//   undo      the steps that take the action back, or "-": each cut flies
//             the row from its start afresh
//   why       the reason for a "-"
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "census_start.h"
#include "host.h"
#include "player.h"

namespace {

using census::split;

const std::string kSource = CORVANE_SOURCE_DIR;
const std::string kTables = kSource + "/tests/simhost/power_census/";
const std::string kFeeds = kSource + "/src/systems/electrical/bus_feeds.cpp";
const std::string kStarts = kSource + "/tests/simhost/census/";
const std::string kRoot = kSource + "/sample/root/";
const std::string kAddons = kSource + "/simhost/catalog/addons.tsv";
const std::string kPrefix = "zuvadud/D738/";
constexpr float kDt = 0.1f;

// Each bus of the census: the status the plug-in publishes, and the entry of
// the scripts' electric failure table that cuts it alone.
struct Bus {
  const char* name;    // as bus_feeds.h names it
  const char* status;  // after "zuvadud/D738/electric/"
  int entry;
};
const Bus kBuses[] = {
    {"bus_ac_transfer1", "ac_tnsbus1_status", 0}, {"bus_ac_transfer2", "ac_tnsbus2_status", 1},
    {"bus_main1", "main_bus1", 2},                {"bus_main2", "main_bus2", 3},
    {"bus_ac_standby", "ac_stdbus_status", 4},    {"bus_hot_battery", "hot_batbus_status", 7},
    {"bus_battery", "batbus_status", 8},          {"bus_direct_battery", "dir_batbus_status", 9},
    {"bus_dc1", "dc_bus1_status", 10},            {"bus_dc2", "dc_bus2_status", 11},
    {"bus_dc_standby", "dc_stdbus_status", 13},
};
constexpr int kBusCount = static_cast<int>(sizeof kBuses / sizeof kBuses[0]);

// What is cut in turn: nothing, each bus alone, then the combinations that
// leave a consumer of any of several buses dark (the clock faces: the DC
// standby bus with either DC bus; both transfer buses, as on standby power).
struct Cut {
  std::string name;
  std::vector<int> entries;
};
std::vector<Cut> cuts() {
  std::vector<Cut> out = {{"nothing cut", {}}};
  for (const Bus& b : kBuses) out.push_back({std::string(b.name) + " cut", {b.entry}});
  out.push_back({"bus_dc_standby and bus_dc1 cut", {13, 10}});
  out.push_back({"bus_dc_standby and bus_dc2 cut", {13, 11}});
  out.push_back({"bus_dc1 and bus_dc2 cut", {10, 11}});
  out.push_back({"both transfer buses cut", {0, 1}});
  return out;
}

struct Feed {
  uint32_t all_of = 0, any_of = 0;
};

std::string trim(const std::string& s) {
  const size_t a = s.find_first_not_of(' ');
  const size_t b = s.find_last_not_of(' ');
  return a == std::string::npos ? std::string() : s.substr(a, b - a + 1);
}

// "bus_a | bus_b" or "0" as bits of kBuses; an unknown name in `errors`.
uint32_t bus_bits(const std::string& text, const std::string& at, std::vector<std::string>* errors) {
  uint32_t bits = 0;
  for (const std::string& part : split(text, '|')) {
    const std::string name = trim(part);
    if (name == "0") continue;
    int found = -1;
    for (int b = 0; b < kBusCount; ++b)
      if (name == kBuses[b].name) found = b;
    if (found < 0) errors->push_back(at + "no bus " + name);
    else bits |= 1u << found;
  }
  return bits;
}

// The bus census's rows, read from its source as the plug-in is built from it.
std::map<std::string, Feed> read_feeds(std::vector<std::string>* errors) {
  std::map<std::string, Feed> feeds;
  std::ifstream in(kFeeds);
  if (!in) errors->push_back("cannot read " + kFeeds);
  const std::regex row(R"re(^\s*\{Consumer::(\w+), "(\w+)", ([^,]+), ([^,]+), (aircraft|kept), ")re");
  std::string text;
  for (int line = 1; std::getline(in, text); ++line) {
    std::smatch m;
    if (!std::regex_search(text, m, row)) continue;
    const std::string at = "bus_feeds.cpp:" + std::to_string(line) + ": ";
    Feed f;
    f.all_of = bus_bits(m[3], at, errors);
    f.any_of = bus_bits(m[4], at, errors);
    feeds[m[1]] = f;
  }
  return feeds;
}

struct Row {
  std::string table;  // the table's file name, in power_census/
  int line = 0;
  std::string at() const { return "power_census/" + table + ":" + std::to_string(line) + ": "; }
  std::vector<std::string> consumers;
  std::string start, action, effect, undo, why;
  float rest = 0;
};

// Every table of power_census/, in name order.
std::vector<std::string> table_names() {
  std::vector<std::string> names;
  std::error_code ec;
  for (const auto& e : std::filesystem::directory_iterator(kTables, ec))
    if (e.path().extension() == ".tsv") names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

std::vector<Row> read_table(const std::string& table, std::vector<std::string>* errors) {
  std::vector<Row> rows;
  for (const census::TableLine& t :
       census::table_lines(kTables + table, "power_census/" + table, 7, "consumer", errors)) {
    const std::vector<std::string>& f = t.f;
    const std::string& at = t.at;
    Row r;
    r.table = table;
    r.line = t.line;
    r.consumers = split(f[0], '+');
    r.start = f[1], r.action = f[2], r.effect = f[3], r.undo = f[5], r.why = f[6];
    char* end = nullptr;
    r.rest = std::strtof(f[4].c_str(), &end);
    if (r.action != "-" && (f[4].empty() || *end != '\0')) errors->push_back(at + "rest: " + f[4]);
    if ((r.action == "-" || r.undo == "-") && r.why.empty()) errors->push_back(at + "a \"-\" without its reason");
    rows.push_back(r);
  }
  return rows;
}

std::vector<Row> read_tables(std::vector<std::string>* errors) {
  std::vector<Row> rows;
  const std::vector<std::string> names = table_names();
  if (names.empty()) errors->push_back("no table in " + kTables);
  for (const std::string& t : names) {
    std::vector<Row> more = read_table(t, errors);
    rows.insert(rows.end(), more.begin(), more.end());
  }
  return rows;
}

// A flight from a start of census/, steps played as the light census plays
// them.
class Flight {
 public:
  bool start(const std::string& name, std::string* error) {
    std::string text;
    const std::string file = kStarts + name + ".txt";
    if (!runner::read_scenario(file, &text, error)) return false;
    const simhost::Config config = census::start_config(file, text, kRoot, kAddons);
    releases_.clear();
    frames_ = 0;
    return census::play_start(file, text, config, kAddons, kDt, error);
  }

  bool steps(const std::string& list, std::string* error) {
    std::string text;
    for (const std::string& s : split(list, ';')) text += trim(s) + "\n";
    scenario::Script script;
    if (!scenario::parse(text, "row", kDt, runner::host_lookup(), &script, error)) return false;
    const long base = frames_;
    for (const scenario::Step& s : script.steps) {
      while (frames_ - base < s.frame) frame();
      switch (s.op) {
        case scenario::Op::Set:
          runner::apply_set(s);
          break;
        case scenario::Op::Command:
          if (s.phase == scenario::Phase::Begin) simhost::command_begin(s.ref.name);
          else if (s.phase == scenario::Phase::End) simhost::command_end(s.ref.name);
          else simhost::command_once(s.ref.name);
          break;
        case scenario::Op::Hold:
          simhost::command_begin(s.ref.name);
          releases_.push_back({frames_ + s.hold_frames, s.ref.name});
          break;
        default:
          *error = "step " + std::to_string(s.line) + ": not a census step";
          return false;
      }
    }
    while (frames_ - base < script.last_frame) frame();
    return true;
  }

  void run_s(float s) {
    for (long n = static_cast<long>(std::ceil(s / kDt)); n > 0; --n) frame();
  }

  // The buses powered now, as the plug-in publishes them.
  static uint32_t powered() {
    uint32_t bits = 0;
    for (int b = 0; b < kBusCount; ++b)
      if (simhost::get_float(kPrefix + "electric/" + kBuses[b].status) != 0.0f) bits |= 1u << b;
    return bits;
  }

 private:
  struct Release {
    long frame;
    std::string command;
  };
  void frame() {
    for (size_t i = 0; i < releases_.size();) {
      if (releases_[i].frame <= frames_) {
        simhost::command_end(releases_[i].command);
        releases_.erase(releases_.begin() + static_cast<long>(i));
      } else {
        ++i;
      }
    }
    simhost::frame(kDt);
    ++frames_;
  }
  long frames_ = 0;
  std::vector<Release> releases_;
};

// The value a row's effect names, now, as the host has it; an element its
// array lacks, or an index that is no number, is an error.
bool effect_value(const std::string& effect, float* value, std::string* error) {
  std::string name = effect;
  long index = -1;
  const size_t open = effect.find('[');
  if (open != std::string::npos) {
    name = effect.substr(0, open);
    const std::string digits = effect.substr(open + 1);
    char* end = nullptr;
    index = std::isdigit(static_cast<unsigned char>(digits[0])) ? std::strtol(digits.c_str(), &end, 10) : -1;
    if (index < 0 || std::string(end) != "]") {
      *error = "no element in " + effect;
      return false;
    }
  }
  if (name.rfind("sim/", 0) != 0) name = kPrefix + name;
  if (index < 0) {
    *value = simhost::get_float(name);
    return true;
  }
  const int size = simhost::array_size(name);
  std::vector<double> numbers(static_cast<size_t>(std::max(size, 1)));
  const int n = simhost::read_numbers(simhost::dataref_slot(name), numbers.data(), size);
  if (index >= n) {
    *error = name + " has no element " + std::to_string(index);
    return false;
  }
  *value = static_cast<float>(numbers[static_cast<size_t>(index)]);
  return true;
}

bool fed(const Feed& f, uint32_t powered) {
  return (powered & f.all_of) == f.all_of && (f.any_of == 0u || (powered & f.any_of) != 0u);
}

std::string bus_list(uint32_t bits) {
  std::string out;
  for (int b = 0; b < kBusCount; ++b)
    if (bits & (1u << b)) out += std::string(out.empty() ? "" : " ") + kBuses[b].name;
  return out.empty() ? "none" : out;
}

TEST(PowerCensus, EveryConsumerHasOneRow) {
  std::vector<std::string> errors;
  const std::map<std::string, Feed> feeds = read_feeds(&errors);
  const std::vector<Row> rows = read_tables(&errors);
  for (const std::string& e : errors) ADD_FAILURE() << e;
  EXPECT_GT(feeds.size(), 100u) << "the bus census's rows, read from " << kFeeds;
  std::map<std::string, std::string> named;
  for (const Row& r : rows) {
    for (const std::string& c : r.consumers) {
      if (!feeds.count(c)) ADD_FAILURE() << r.at() << c << " is no consumer of the bus census";
      // The first is the row's own consumer; those after "+" are what its
      // effect needs as well, and have their own rows.
      if (c != r.consumers.front()) {
        named.emplace(c, std::string());
        continue;
      }
      if (!named[c].empty()) ADD_FAILURE() << r.at() << c << " has its row already at " << named[c];
      named[c] = r.at();
    }
  }
  for (const auto& [name, feed] : feeds)
    if (named.count(name) == 0 || named.at(name).empty())
      ADD_FAILURE() << name << ": a consumer of the bus census without its row in the tables of " << kTables;
}

// Each table with each start its rows fly from: "TABLE:START".
std::vector<std::string> parts() {
  std::vector<std::string> errors;
  std::vector<std::string> names;
  for (const Row& r : read_tables(&errors)) {
    const std::string part = r.table + ":" + r.start;
    if (r.action != "-" && std::find(names.begin(), names.end(), part) == names.end()) names.push_back(part);
  }
  return names;
}

class PowerCensusFlight : public ::testing::TestWithParam<std::string> {
 protected:
  void TearDown() override { simhost::reset(); }
};

// Each row of the table and start with each cut: the effect shows exactly while the
// row's consumers have their power.
TEST_P(PowerCensusFlight, EachConsumerWithEachBusCut) {
  std::vector<std::string> errors;
  const std::map<std::string, Feed> feeds = read_feeds(&errors);
  const std::vector<Row> rows = read_tables(&errors);
  ASSERT_TRUE(errors.empty()) << errors.front();
  for (const Row& r : rows) {
    if (r.table + ":" + r.start != GetParam() || r.action == "-") continue;
    const std::string at = r.at() + r.effect + ": ";
    bool known = true;
    for (const std::string& c : r.consumers) {
      if (feeds.count(c)) continue;
      ADD_FAILURE() << at << c << " is no consumer of the bus census";
      known = false;
    }
    if (!known) continue;
    Flight flight;
    bool started = false;
    for (const Cut& cut : cuts()) {
      std::string error;
      if (!started || r.undo == "-") {
        ASSERT_TRUE(flight.start(r.start, &error)) << error;
        started = true;
      }
      auto failures = [&](int value) {
        std::string list;
        for (int entry : cut.entries)
          list += "set " + kPrefix + "failure/electric[" + std::to_string(entry) + "]=" + std::to_string(value) + " ; ";
        return list + "run 2s";
      };
      if (!cut.entries.empty()) {
        ASSERT_TRUE(flight.steps(failures(1), &error)) << error;
      }
      const uint32_t powered = Flight::powered();
      bool want = true;
      for (const std::string& c : r.consumers) want = want && fed(feeds.at(c), powered);
      ASSERT_TRUE(flight.steps(r.action, &error)) << at << error;
      float value = 0;
      ASSERT_TRUE(effect_value(r.effect, &value, &error)) << at << error;
      const bool acts = std::fabs(value - r.rest) > 1e-3f;
      if (acts && !want)
        ADD_FAILURE() << at << "acts (" << value << ") with " << cut.name << ", its buses dead (powered: "
                      << bus_list(powered) << ")";
      if (!acts && want)
        ADD_FAILURE() << at << "does not act with " << cut.name << ", its buses powered (" << bus_list(powered) << ")";
      if (r.undo != "-") {
        ASSERT_TRUE(flight.steps(r.undo, &error)) << at << error;
      }
      if (!cut.entries.empty()) {
        ASSERT_TRUE(flight.steps(failures(0), &error)) << error;
      }
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Parts, PowerCensusFlight, ::testing::ValuesIn(parts()),
                         [](const ::testing::TestParamInfo<std::string>& i) {
                           std::string n;
                           for (char ch : i.param) n += std::isalnum(static_cast<unsigned char>(ch)) ? ch : '_';
                           return n;
                         });

}  // namespace
