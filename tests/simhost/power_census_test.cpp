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
// its action or reason fail, naming the table. Each row is flown as well in
// each configuration of the aircraft's own sources a crew can put it in from
// its start (on the ground: the battery alone, ground power alone, the APU
// alone; in flight: standby power, one generator), and judged the same way.
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

using census::expand;
using census::split;
using census::trim;

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

// The configurations of the aircraft's own sources, each reached from a
// row's start by the crew's switches as the electrical panel has them, and
// what the buses and sources then read (NAME=VALUE, NAME[I]=VALUE for an
// element; each must hold, or the configuration was not reached); "$" stands
// for the plug-in's "zuvadud/D738/". A ground
// configuration is flown from a ground start, a flight one from a start in
// the air.
struct Configuration {
  const char* name;
  bool in_flight;
  const char* steps;
  const char* holds;
};
const Configuration kConfigurations[] = {
    {"the battery alone", false,
     "command $toggle_switch/gen1_up once ; command $toggle_switch/gen2_up once ; "
     "command $toggle_switch/apu_gen1_up once ; command $toggle_switch/apu_gen2_up once ; "
     "command $toggle_switch/gpu_up once ; run 2s",
     "$electric/ac_tnsbus1_status=0 $electric/ac_tnsbus2_status=0 $electric/batbus_status=1 "
     "$electric/dc_stdbus_status=1 $electric/ac_stdbus_status=1"},
    {"ground power alone", false, "command $toggle_switch/gpu_dn once ; run 2s",
     "sim/cockpit/electrical/gpu_on=1 sim/cockpit2/electrical/generator_on[0]=0 "
     "sim/cockpit2/electrical/generator_on[1]=0 $electrical/apu_power_bus1=0 $electrical/apu_power_bus2=0 "
     "$electric/ac_tnsbus1_status=1 $electric/ac_tnsbus2_status=1"},
    // The APU is started as a crew starts it (ON, then START held), its
    // generators put on both buses once it runs; where it runs already the
    // start changes nothing.
    {"the APU alone", false,
     "command $spring_toggle_switch/APU_start_pos_dn once ; run 1s ; "
     "hold $spring_toggle_switch/APU_start_pos_dn 1 ; run 80s ; "
     "command $toggle_switch/apu_gen1_dn once ; command $toggle_switch/apu_gen2_dn once ; "
     "command $toggle_switch/gpu_up once ; run 2s",
     "sim/cockpit/electrical/gpu_on=0 sim/cockpit2/electrical/generator_on[0]=0 "
     "sim/cockpit2/electrical/generator_on[1]=0 $electrical/apu_power_bus1=1 $electrical/apu_power_bus2=1 "
     "$electric/ac_tnsbus1_status=1 $electric/ac_tnsbus2_status=1"},
    {"standby power (both generators off)", true,
     "command $toggle_switch/gen1_up once ; command $toggle_switch/gen2_up once ; run 2s",
     "$electric/ac_tnsbus1_status=0 $electric/ac_tnsbus2_status=0 $electric/batbus_status=1 "
     "$electric/dc_stdbus_status=1 $electric/ac_stdbus_status=1"},
    {"generator 1 alone", true, "command $toggle_switch/gen2_up once ; run 2s",
     "sim/cockpit2/electrical/generator_on[0]=1 sim/cockpit2/electrical/generator_on[1]=0 "
     "$electric/ac_tnsbus1_status=1 $electric/ac_tnsbus2_status=1"},
    {"generator 2 alone", true, "command $toggle_switch/gen1_up once ; run 2s",
     "sim/cockpit2/electrical/generator_on[0]=0 sim/cockpit2/electrical/generator_on[1]=1 "
     "$electric/ac_tnsbus1_status=1 $electric/ac_tnsbus2_status=1"},
};

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

// True when each NAME=VALUE (NAME[I]=VALUE: an element) of `list` reads so;
// otherwise false, with the first that does not in `wrong`.
bool holds(const std::string& list, std::string* wrong) {
  std::istringstream words(expand(list));
  for (std::string w; words >> w;) {
    const size_t eq = w.find('=');
    std::string name = w.substr(0, eq);
    const float want = eq == std::string::npos ? NAN : std::strtof(w.c_str() + eq + 1, nullptr);
    float got = NAN;
    const size_t bracket = name.find('[');
    if (bracket == std::string::npos) {
      got = simhost::get_float(name);
    } else {
      const size_t index = std::strtoul(name.c_str() + bracket + 1, nullptr, 10);
      name.resize(bracket);
      const std::vector<float> all = simhost::get_floats(name);
      if (index < all.size()) got = all[index];
    }
    if (!(std::fabs(got - want) < 1e-3f)) {
      *wrong = w + " wanted, read " + std::to_string(got);
      return false;
    }
  }
  return true;
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

// The row's action flown now and its effect judged against the buses the
// plug-in publishes as powered before it, `with` naming the cut or the
// configuration; then its undo.
void judge(const Row& r, const std::map<std::string, Feed>& feeds, const std::string& with, Flight& flight) {
  const std::string at = r.at() + r.effect + ": ";
  std::string error;
  const uint32_t powered = Flight::powered();
  bool want = true;
  for (const std::string& c : r.consumers) want = want && fed(feeds.at(c), powered);
  ASSERT_TRUE(flight.steps(r.action, &error)) << at << error;
  float value = 0;
  ASSERT_TRUE(effect_value(r.effect, &value, &error)) << at << error;
  const bool acts = std::fabs(value - r.rest) > 1e-3f;
  if (acts && !want)
    ADD_FAILURE() << at << "acts (" << value << ") with " << with << ", its buses dead (powered: " << bus_list(powered)
                  << ")";
  if (!acts && want)
    ADD_FAILURE() << at << "does not act with " << with << ", its buses powered (" << bus_list(powered) << ")";
  if (r.undo != "-") {
    ASSERT_TRUE(flight.steps(r.undo, &error)) << at << error;
  }
}

// The rows of the test's table and start that are flown, each naming only
// consumers of the bus census.
std::vector<Row> flown_rows(const std::string& part, const std::map<std::string, Feed>& feeds,
                            const std::vector<Row>& rows) {
  std::vector<Row> out;
  for (const Row& r : rows) {
    if (r.table + ":" + r.start != part || r.action == "-") continue;
    bool known = true;
    for (const std::string& c : r.consumers) {
      if (feeds.count(c)) continue;
      ADD_FAILURE() << r.at() << r.effect << ": " << c << " is no consumer of the bus census";
      known = false;
    }
    if (known) out.push_back(r);
  }
  return out;
}

// Each row of the table and start with each cut: the effect shows exactly while the
// row's consumers have their power.
TEST_P(PowerCensusFlight, EachConsumerWithEachBusCut) {
  std::vector<std::string> errors;
  const std::map<std::string, Feed> feeds = read_feeds(&errors);
  const std::vector<Row> rows = read_tables(&errors);
  ASSERT_TRUE(errors.empty()) << errors.front();
  for (const Row& r : flown_rows(GetParam(), feeds, rows)) {
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
      judge(r, feeds, cut.name, flight);
      if (HasFatalFailure()) return;
      if (!cut.entries.empty()) {
        ASSERT_TRUE(flight.steps(failures(0), &error)) << error;
      }
    }
  }
}

// Each row of the table and start in each configuration of the sources its
// start can be brought to (a ground start on the ground, a start in the air
// in flight): one flight per configuration for the rows that take their
// action back, a fresh one for each row that does not.
TEST_P(PowerCensusFlight, EachConsumerInEachConfigurationOfTheSources) {
  std::vector<std::string> errors;
  const std::map<std::string, Feed> feeds = read_feeds(&errors);
  const std::vector<Row> rows = read_tables(&errors);
  ASSERT_TRUE(errors.empty()) << errors.front();
  const std::vector<Row> flown = flown_rows(GetParam(), feeds, rows);
  int configurations = 0;
  for (const Configuration& c : kConfigurations) {
    Flight flight;
    bool reached = false;
    for (const Row& r : flown) {
      if (!reached || r.undo == "-") {
        std::string error;
        ASSERT_TRUE(flight.start(r.start, &error)) << error;
        const bool in_flight = simhost::get_float("sim/flightmodel/failures/onground_any") == 0.0f;
        if (in_flight != c.in_flight) break;
        ASSERT_TRUE(flight.steps(expand(c.steps), &error)) << c.name << ": " << error;
        std::string wrong;
        if (!holds(c.holds, &wrong)) {
          ADD_FAILURE() << "census/" << r.start << ".txt: " << c.name << " not reached: " << wrong;
          break;
        }
        if (!reached) ++configurations;
        reached = true;
      }
      judge(r, feeds, c.name, flight);
      if (HasFatalFailure()) return;
    }
  }
  if (!flown.empty()) {
    EXPECT_GT(configurations, 0) << GetParam() << ": no configuration of the sources reached";
  }
}

INSTANTIATE_TEST_SUITE_P(Parts, PowerCensusFlight, ::testing::ValuesIn(parts()),
                         [](const ::testing::TestParamInfo<std::string>& i) {
                           return census::part_test_name(i.param);
                         });

// ---- every command pressed with every bus dead --------------------------------

const std::string kAllowed = kSource + "/tests/simhost/power_census_unpowered_allowed.tsv";
const std::string kCatalog = kSource + "/simhost/catalog/";
const std::string kMoves = kSource + "/tools/command_moves.tsv";

// The first `count` fields of each data line of a catalog or generated table
// (comments, blank lines and the header line left out).
std::vector<std::vector<std::string>> first_fields(const std::string& path, size_t count,
                                                   std::vector<std::string>* errors) {
  std::vector<std::vector<std::string>> out;
  std::ifstream in(path);
  if (!in) errors->push_back("cannot read " + path);
  std::string text;
  bool header = true;
  while (std::getline(in, text)) {
    if (text.empty() || text[0] == '#') continue;
    if (header) {
      header = false;
      continue;
    }
    std::vector<std::string> f = split(text, '\t');
    if (f.size() < count) {
      errors->push_back(path + ": " + text + ": " + std::to_string(count) + " fields wanted");
      continue;
    }
    f.resize(count);
    out.push_back(f);
  }
  return out;
}

// Each published number, element by element, as "NAME" or "NAME[I]".
struct Published {
  std::vector<std::string> label;
  std::vector<std::pair<int, int>> slots;  // slot, element count
  void watch() {
    for (const simhost::DatarefInfo& d : simhost::plugin_datarefs()) {
      if ((d.type & (1 | 2 | 4 | 8 | 16)) == 0) continue;
      const bool array = (d.type & (8 | 16)) != 0;
      const int slot = simhost::dataref_slot(d.name);
      if (slot < 0 || d.size <= 0) continue;
      slots.push_back({slot, d.size});
      for (int i = 0; i < d.size; ++i) label.push_back(array ? d.name + "[" + std::to_string(i) + "]" : d.name);
    }
  }
  // The host's values a command moves (the "sim/" datarefs of
  // tools/command_moves.tsv), each element named: a host radio's frequencies
  // swapped by a dead panel are a command acting as much as a value of the
  // plug-in's. The scripts' copies of a switch's position are its travel.
  void watch_moved(std::vector<std::string>* errors) {
    std::set<std::string> seen;
    for (const auto& f : first_fields(kMoves, 2, errors)) {
      const size_t bracket = f[1].find('[');
      const std::string base = f[1].substr(0, bracket);
      const int slot = simhost::dataref_slot(base);
      if (base.rfind("sim/", 0) != 0 || slot < 0) continue;
      long first = -1, last = -1;
      if (bracket != std::string::npos) {
        char* end = nullptr;
        first = last = std::strtol(f[1].c_str() + bracket + 1, &end, 10);
        if (end != nullptr && end[0] == '.' && end[1] == '.') last = std::strtol(end + 2, nullptr, 10);
      }
      for (long i = first; i <= last && i - first < 64; ++i) {
        const std::string name = i < 0 ? base : base + "[" + std::to_string(i) + "]";
        if (!seen.insert(name).second) continue;
        label.push_back(name);
        moved.push_back({slot, static_cast<int>(std::max(i, 0L))});
      }
    }
  }
  std::vector<double> read() const {
    std::vector<double> out(label.size(), 0.0);
    size_t at = 0;
    for (const auto& [slot, size] : slots) {
      simhost::read_numbers(slot, out.data() + at, size);
      at += static_cast<size_t>(size);
    }
    double element[64];
    for (const auto& [slot, index] : moved) {
      if (simhost::read_numbers(slot, element, 64) > index) out[at] = element[index];
      ++at;
    }
    return out;
  }
  std::vector<std::pair<int, int>> moved;  // slot, element: the host's values
};

std::string number(double v) {
  char buf[40];
  std::snprintf(buf, sizeof buf, "%.6g", v);
  return buf;
}

// The cockpit controls each command moves (switch_positions.tsv's controls
// as tools/command_moves.tsv lists them), by command, as "NAME" or "NAME[I]".
std::map<std::string, std::set<std::string>> own_travels(std::vector<std::string>* errors) {
  std::set<std::string> controls;
  for (const auto& f : first_fields(kCatalog + "switch_positions.tsv", 1, errors)) controls.insert(f[0]);
  std::map<std::string, std::set<std::string>> travel;
  for (const auto& f : first_fields(kMoves, 2, errors)) {
    std::string name = f[1];
    const size_t bracket = name.find('[');
    if (!controls.count(name.substr(0, bracket))) continue;
    if (bracket == std::string::npos) {
      travel[f[0]].insert(name);
      continue;
    }
    // NAME[I] or NAME[I..J].
    const std::string base = name.substr(0, bracket);
    char* end = nullptr;
    const long first = std::strtol(name.c_str() + bracket + 1, &end, 10);
    long last = first;
    if (end != nullptr && end[0] == '.' && end[1] == '.') last = std::strtol(end + 2, nullptr, 10);
    for (long i = first; i <= last && i - first < 64; ++i) travel[f[0]].insert(base + "[" + std::to_string(i) + "]");
  }
  return travel;
}

// The allowed table: value -> the commands that may move it ("*": any).
std::map<std::string, std::set<std::string>> allowed_values(std::vector<std::string>* errors) {
  std::map<std::string, std::set<std::string>> allowed;
  for (const census::TableLine& t :
       census::table_lines(kAllowed, "power_census_unpowered_allowed.tsv", 3, "command", errors)) {
    if (t.f[2].empty()) errors->push_back(t.at + "an allowed value without its reason");
    allowed[t.f[1]].insert(t.f[0]);
  }
  return allowed;
}

// Every command the plug-in handles: its own, then the host's it takes over.
std::vector<std::string> handled_commands(std::vector<std::string>* errors) {
  std::vector<std::string> commands;
  for (const simhost::CommandInfo& c : simhost::plugin_commands()) commands.push_back(c.name);
  for (const char* table : {"host_commands_base.tsv", "host_commands.tsv"})
    for (const auto& f : first_fields(kCatalog + table, 1, errors))
      if (simhost::handler_count(f[0]) > 0 && std::find(commands.begin(), commands.end(), f[0]) == commands.end())
        commands.push_back(f[0]);
  return commands;
}

// A value the press moved that is the command's own or allowed to move.
bool excused(const std::string& label, const std::string& command,
             const std::map<std::string, std::set<std::string>>& travel,
             const std::map<std::string, std::set<std::string>>& allowed) {
  const auto own = travel.find(command);
  if (own != travel.end() && (own->second.count(label) || own->second.count(label.substr(0, label.find('[')))))
    return true;
  const auto a = allowed.find(label);
  return a != allowed.end() && (a->second.count("*") || a->second.count(command));
}

// A command pressed: begun, `held` seconds of frames, ended, `after`
// seconds of frames.
void press(Flight& flight, const std::string& name, float held = 0.5f, float after = 2.0f) {
  simhost::command_begin(name);
  flight.run_s(held);
  simhost::command_end(name);
  flight.run_s(after);
}

// From the cold and dark aircraft, every command the plug-in handles (its
// own, then the host's it takes over) is pressed: begun, half a second of
// frames, ended, two seconds of frames. A
// published value it changes beyond its own travel
// (the cockpit controls of switch_positions.tsv it moves, as
// tools/command_moves.tsv lists them) is a command acting with no power, and
// fails naming the command and the value, unless the allowed table gives the
// reason the aircraft moves it without power. Values that move by themselves
// in the dark cockpit are nobody's. A command that brings power (a source
// switch) is not judged, and the sweep goes on from the cold aircraft afresh,
// as it does after each finding.
TEST(PowerCensus, EveryCommandPressedWithEveryBusDead) {
  std::vector<std::string> errors;
  const std::map<std::string, std::set<std::string>> travel = own_travels(&errors);
  const std::map<std::string, std::set<std::string>> allowed = allowed_values(&errors);
  ASSERT_TRUE(errors.empty()) << errors.front();
  ASSERT_FALSE(travel.empty()) << kMoves;

  Flight flight;
  Published values;
  std::set<size_t> restless;
  auto cold = [&] {
    std::string error;
    ASSERT_TRUE(flight.start("cuts-cold", &error)) << error;
    ASSERT_EQ(Flight::powered(), 0u) << "census/cuts-cold.txt: powered: " << bus_list(Flight::powered());
    // A fresh start registers the plug-in's values afresh: their slots are
    // taken again.
    values = Published{};
    values.watch();
    std::vector<std::string> moved_errors;
    values.watch_moved(&moved_errors);
    ASSERT_TRUE(moved_errors.empty()) << moved_errors.front();
    std::vector<double> before = values.read();
    for (int n = 0; n < 3; ++n) {
      flight.run_s(1.5f);
      const std::vector<double> now = values.read();
      for (size_t k = 0; k < now.size(); ++k)
        if (now[k] != before[k]) restless.insert(k);
      before = now;
    }
  };
  cold();
  if (HasFatalFailure()) return;

  const std::vector<std::string> commands = handled_commands(&errors);
  ASSERT_GT(commands.size(), 400u);

  int judged = 0;
  for (const std::string& name : commands) {
    const std::vector<double> before = values.read();
    press(flight, name);
    const std::vector<double> after = values.read();
    if (Flight::powered() != 0u) {
      // A source the crew switched on: what follows is powered.
      cold();
      if (HasFatalFailure()) return;
      continue;
    }
    ++judged;
    std::string found;
    for (size_t k = 0; k < after.size(); ++k) {
      if (after[k] == before[k] || (std::isnan(after[k]) && std::isnan(before[k])) || restless.count(k)) continue;
      const std::string& label = values.label[k];
      if (excused(label, name, travel, allowed)) continue;
      found += "\n  " + label + ": " + number(before[k]) + " -> " + number(after[k]);
    }
    if (!found.empty()) {
      ADD_FAILURE() << name << " acts with every bus dead:" << found;
      cold();
      if (HasFatalFailure()) return;
    }
  }
  EXPECT_GT(judged, 400) << "commands judged with every bus dead";
}

// ---- every command pressed under each cut -------------------------------------

// From each start below, with each cut of cuts() and in each configuration of
// the sources of kConfigurations its start can be brought to, every command
// the plug-in handles is pressed: begun, 0.2 s of frames, ended, a second of
// frames. What is judged are the effects of the census's rows (each row's
// effect value, flown or not, belongs to each of its consumers): a press that
// changes an effect while every bus of one of its consumers is dead, and no
// other row showing the same value has all its consumers powered (the
// buses the plug-in publishes, read before the press) fails, naming the
// command, the value, the consumer and the cut, unless the value is the
// command's own travel, the allowed table allows it, or the paths table
// (power_census_command_paths.tsv) gives the command another path to it that
// has its power. An effect slower than the press shows in the next commands'
// frames: a finding names the command pressed before, and what is excused
// for one of the last kSettling commands is excused while it settles.
// Effects that move with no command pressed under the cut are left out.
// Values that belong to no row are judged only by the cold and dark test
// above. A command that changes which buses are powered (a source switch, the
// battery, a failure reset) is not judged: where it brought back a bus the cut
// leaves dead the sweep goes on from the start and cut afresh, otherwise from
// where it is once the aircraft has settled. Whether an effect dies while a
// consumer's bus lives is the row flights' to judge, not this sweep's. One
// test per start and group of cuts: each AC bus alone, each DC bus alone, the
// combinations, the sources.
constexpr size_t kSettling = 16;  // presses, some twenty seconds
const char* const kCommandStarts[] = {"gate", "ground", "cruise", "cruise-max8"};
const char* const kCutGroups[] = {"ac_buses", "dc_buses", "combinations", "sources"};

std::vector<std::string> command_parts() {
  std::vector<std::string> out;
  for (const char* start : kCommandStarts)
    for (const char* group : kCutGroups) out.push_back(std::string(start) + ":" + group);
  return out;
}

// A cut, or a configuration of the sources, as the sweep sets it up.
struct Situation {
  std::string name;
  std::vector<int> entries;
  const Configuration* configuration = nullptr;
};

std::vector<Situation> situations(const std::string& group) {
  std::vector<Situation> out;
  if (group == "sources") {
    for (const Configuration& c : kConfigurations) out.push_back({c.name, {}, &c});
    return out;
  }
  for (const Cut& c : cuts()) {
    bool ac = false;
    for (const Bus& b : kBuses) {
      const std::string name = b.name;
      if (c.entries.size() == 1 && b.entry == c.entries[0])
        ac = name.find("_ac_") != std::string::npos || name.find("_main") != std::string::npos;
    }
    if ((group == "combinations" && c.entries.size() > 1) ||
        (c.entries.size() == 1 && group == (ac ? "ac_buses" : "dc_buses")))
      out.push_back({c.name, c.entries, nullptr});
  }
  return out;
}

const std::string kPaths = kSource + "/tests/simhost/power_census_command_paths.tsv";

// A row of the paths table: the command ("*": any) moves the value (VALUE*:
// each it starts) through `follows` ("-": through no consumer).
struct Path {
  std::string command, value, follows;
  bool matches(const std::string& c, const std::string& label) const {
    if (c != command && command != "*") return false;
    if (value.empty() || value.back() != '*') return label == value;
    const size_t n = value.size() - 1;
    return label.compare(0, n, value, 0, n) == 0;
  }
};

std::vector<Path> read_paths(const std::map<std::string, Feed>& feeds, std::vector<std::string>* errors) {
  std::vector<Path> out;
  for (const census::TableLine& t :
       census::table_lines(kPaths, "power_census_command_paths.tsv", 4, "command", errors)) {
    if (t.f[3].empty()) errors->push_back(t.at + "a path without its reason");
    if (t.f[2] != "-" && !feeds.count(t.f[2])) errors->push_back(t.at + t.f[2] + " is no consumer of the bus census");
    out.push_back({t.f[0], t.f[1], t.f[2]});
  }
  return out;
}

// An effect of a row with one of its consumers.
struct Judged {
  std::string effect, label, consumer, at;
  Feed feed;
};

class PowerCensusCommands : public ::testing::TestWithParam<std::string> {
 protected:
  void TearDown() override { simhost::reset(); }
};

TEST_P(PowerCensusCommands, EveryCommandPressedUnderEachCut) {
  const std::string param = GetParam();
  const std::string start = param.substr(0, param.find(':'));
  const std::string group = param.substr(param.find(':') + 1);
  std::vector<std::string> errors;
  const std::map<std::string, Feed> feeds = read_feeds(&errors);
  const std::vector<Row> rows = read_tables(&errors);
  const std::map<std::string, std::set<std::string>> travel = own_travels(&errors);
  const std::map<std::string, std::set<std::string>> allowed = allowed_values(&errors);
  const std::vector<Path> paths = read_paths(feeds, &errors);
  ASSERT_TRUE(errors.empty()) << errors.front();
  // True when `command` moves the value by a path of the table that has its
  // power (or needs none).
  auto by_path = [&](const std::string& command, const std::string& label, uint32_t powered) {
    for (const Path& p : paths)
      if (p.matches(command, label) && (p.follows == "-" || fed(feeds.at(p.follows), powered))) return true;
    return false;
  };
  std::vector<Judged> judged;
  std::vector<std::string> effects;  // each effect once, as read
  std::map<std::string, std::vector<std::vector<Feed>>> movers;  // effect -> each row's consumers
  for (const Row& r : rows) {
    if (r.effect.empty() || r.effect == "-") continue;
    if (std::find(effects.begin(), effects.end(), r.effect) == effects.end()) effects.push_back(r.effect);
    const std::string label = r.effect.rfind("sim/", 0) == 0 ? r.effect : kPrefix + r.effect;
    for (const std::string& c : r.consumers) {
      const auto f = feeds.find(c);
      if (f != feeds.end()) judged.push_back({r.effect, label, c, r.at(), f->second});
    }
    std::vector<Feed>& needs = movers[r.effect].emplace_back();
    for (const std::string& c : r.consumers)
      if (feeds.count(c)) needs.push_back(feeds.at(c));
  }
  // A value several rows show (the host's ignition key for each igniter) may
  // move by any row whose consumers all have their power.
  auto movable = [&](const std::string& effect, uint32_t powered) {
    for (const std::vector<Feed>& needs : movers[effect]) {
      bool all = true;
      for (const Feed& f : needs) all = all && fed(f, powered);
      if (all) return true;
    }
    return false;
  };
  ASSERT_GT(judged.size(), 100u) << "the census's effects";
  auto read = [&](std::map<std::string, float>* out) {
    for (const std::string& e : effects) {
      float v = NAN;
      std::string error;
      if (!effect_value(e, &v, &error)) v = NAN;
      (*out)[e] = v;
    }
  };

  Flight flight;
  const std::vector<std::string> commands = [&] {
    std::string error;
    if (!flight.start(start, &error)) ADD_FAILURE() << error;
    return handled_commands(&errors);
  }();
  ASSERT_GT(commands.size(), 400u);
  int swept = 0;
  for (const Situation& s : situations(group)) {
    const std::string with = s.name + " from census/" + start + ".txt";
    uint32_t powered = 0;
    std::set<std::string> restless;
    // What moves with no command pressed: after `settle` seconds, some 24 s
    // of frames (the slowest timers of a cut, an IRS's loss, within them).
    auto restless_over = [&](float settle) {
      flight.run_s(settle);
      std::map<std::string, float> before, now;
      read(&before);
      for (int n = 0; n < 4; ++n) {
        flight.run_s(6.0f);
        read(&now);
        for (const std::string& e : effects)
          if (!(now[e] == before[e] || (std::isnan(now[e]) && std::isnan(before[e])))) restless.insert(e);
        before = now;
      }
    };
    // The start with the cut made or the configuration reached; false where
    // the configuration is not one of this start's (ground or flight).
    auto setup = [&]() -> bool {
      std::string error;
      EXPECT_TRUE(flight.start(start, &error)) << error;
      if (!error.empty()) return false;
      if (s.configuration != nullptr) {
        const bool in_flight = simhost::get_float("sim/flightmodel/failures/onground_any") == 0.0f;
        if (in_flight != s.configuration->in_flight) return false;
        EXPECT_TRUE(flight.steps(expand(s.configuration->steps), &error)) << with << ": " << error;
        std::string wrong;
        EXPECT_TRUE(holds(s.configuration->holds, &wrong)) << with << ": not reached: " << wrong;
        if (!error.empty() || !wrong.empty()) return false;
      } else {
        std::string list;
        for (int entry : s.entries) list += "set " + kPrefix + "failure/electric[" + std::to_string(entry) + "]=1 ; ";
        EXPECT_TRUE(flight.steps(list + "run 2s", &error)) << with << ": " << error;
        if (!error.empty()) return false;
      }
      powered = Flight::powered();
      restless_over(0.0f);
      return true;
    };
    if (!setup()) continue;
    bool any_dead = false;
    for (const Judged& j : judged) any_dead = any_dead || !fed(j.feed, powered);
    if (!any_dead) continue;
    ++swept;
    // The commands pressed last, newest first: an effect may still be
    // settling from one of them (slats, pressures).
    std::vector<std::string> recent;
    for (const std::string& name : commands) {
      const uint32_t was = Flight::powered();
      std::map<std::string, float> before, after;
      read(&before);
      press(flight, name, 0.2f, 1.0f);
      read(&after);
      if (Flight::powered() != was) {
        // The press changed the aircraft's power. Where it brought back a
        // bus the cut leaves dead, what follows is judged from the start and
        // cut again; where more died, from here once it has settled.
        if ((Flight::powered() & ~powered) != 0u) {
          if (!setup()) break;
        } else {
          restless_over(10.0f);
        }
        recent.clear();
        continue;
      }
      std::string found;
      for (const Judged& j : judged) {
        const float a = before[j.effect], b = after[j.effect];
        if (a == b || (std::isnan(a) && std::isnan(b)) || restless.count(j.effect) || movable(j.effect, was) || fed(j.feed, was)) continue;
        bool settles = false;
        for (const std::string& r : recent)
          settles = settles || excused(j.label, r, travel, allowed) || by_path(r, j.label, was);
        if (settles || excused(j.label, name, travel, allowed) || by_path(name, j.label, was)) continue;
        found += "\n  " + j.label + ": " + number(a) + " -> " + number(b) + ", its consumer " + j.consumer +
                 " dead (" + j.at + ")";
      }
      if (!found.empty())
        ADD_FAILURE() << name << " (pressed after " << (recent.empty() ? "none" : recent.front()) << ") acts with "
                      << with << " (powered: " << bus_list(was) << "):" << found;
      recent.insert(recent.begin(), name);
      if (recent.size() > kSettling) recent.pop_back();
    }
  }
  EXPECT_GT(swept, 0) << param << ": no cut or configuration left a consumer dead";
}

INSTANTIATE_TEST_SUITE_P(Starts, PowerCensusCommands, ::testing::ValuesIn(command_parts()),
                         [](const ::testing::TestParamInfo<std::string>& i) {
                           return census::part_test_name(i.param);
                         });

}  // namespace
