// The light census: every light the plug-in publishes (each value whose
// reference meaning reads "0 dark, else" its brightness) has one row in
// light_census.tsv, and each row is flown through the simulated host from a
// start of census/ by its own cause, as a crew would see it: the light comes
// on within its time, MASTER CAUTION and its six-pack group come with it
// where the row says so and come back on a recall after a reset, DIM halves
// it (or leaves it, with the reason), and it goes out when the cause is
// removed. A light without a row, or a row without a light, fails. The
// LIGHTS TEST lights each light whose row says so, and no other; a light that
// calls a six-pack group has its caution row among the runner's checks
// (simhost/catalog/value_rules.tsv), so a flight logs it and a scenario can
// name it.
//
// The columns, tab-separated:
//   light   the name after "zuvadud/D738/"
//   calls   the six-pack group it calls with MASTER CAUTION, or "none"
//   dims    "yes": halved at DIM; "no": the same at DIM; "-": not judged
//   test    "yes": lit by the LIGHTS TEST; "no": left as it is, with the
//           reason (a test of its own, a light no test lights)
//   within  S or S/G: lit within S seconds of its cause; the group and
//           MASTER CAUTION within G seconds of the light (1 by default)
//   start   the start it is flown from (census/START.txt)
//   cause   scenario steps (`set`, `command`, `hold`, `run`, `fly` and
//           `expect`, checked where written), separated by " ; ", or "-":
//           none can be flown, and the light stays dark
//   undo    the steps that take the cause away, or "-": it stays, and the
//           next row starts afresh
//   why     the reason for each "none", "no" and "-" of the row
// Consecutive rows of one start share a flight while each undoes its cause;
// a start named again further down begins a new flight. Until its light
// comes on, the master caution is reset after every frame, so the group and
// MASTER CAUTION seen with it are the light's own.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "census_start.h"
#include "fly.h"
#include "host.h"
#include "invariants.h"
#include "player.h"

namespace {

using census::split;

const std::string kSource = CORVANE_SOURCE_DIR;
const std::string kTable = kSource + "/tests/simhost/light_census.tsv";
const std::string kStarts = kSource + "/tests/simhost/census/";
const std::string kRoot = kSource + "/sample/root/";
const std::string kPrefix = "zuvadud/D738/";
const std::string kAddons = kSource + "/simhost/catalog/addons.tsv";
const std::string kRules = kSource + "/simhost/catalog/value_rules.tsv";
constexpr float kDt = 0.1f;

// The six-pack groups, by the last part of their light's name.
const std::set<std::string> kGroups = {"flt_cont", "irs",   "fuel", "elec",     "apu",     "fire",
                                       "ice",      "hyd",   "doors", "eng",     "overhead", "air_cond"};

struct Row {
  int line = 0;
  std::string light, calls, dims, test, within, start, cause, undo, why;
  float lit_s = 0, group_s = 1;
};

// The table's rows; a malformed row is reported in `errors`.
std::vector<Row> read_table(std::vector<std::string>* errors) {
  std::vector<Row> rows;
  for (const census::TableLine& t : census::table_lines(kTable, "light_census.tsv", 9, "light", errors)) {
    const std::vector<std::string>& f = t.f;
    const std::string& at = t.at;
    Row r;
    r.line = t.line;
    r.light = f[0], r.calls = f[1], r.dims = f[2], r.test = f[3], r.within = f[4], r.start = f[5], r.cause = f[6];
    r.undo = f[7], r.why = f[8];
    char* end = nullptr;
    r.lit_s = std::strtof(r.within.c_str(), &end);
    if (*end == '/') r.group_s = std::strtof(end + 1, &end);
    if (*end != '\0' || !(r.lit_s > 0) || !(r.group_s > 0)) errors->push_back(at + "within: " + r.within);
    if (r.calls != "none" && !kGroups.count(r.calls)) errors->push_back(at + "calls: " + r.calls);
    if (r.dims != "yes" && r.dims != "no" && r.dims != "-") errors->push_back(at + "dims: " + r.dims);
    if (r.test != "yes" && r.test != "no") errors->push_back(at + "test: " + r.test);
    const bool reason_needed =
        r.calls == "none" || r.dims != "yes" || r.test != "yes" || r.cause == "-" || r.undo == "-";
    if (reason_needed && r.why.empty()) errors->push_back(at + "a \"none\", \"no\" or \"-\" without its reason");
    rows.push_back(r);
  }
  return rows;
}

// Every light of the reference: its meaning says "0 dark, else".
std::set<std::string> published_lights() {
  std::set<std::string> lights;
  std::ifstream in(kSource + "/docs/reference/datarefs.md");
  std::string text;
  while (std::getline(in, text)) {
    if (text.rfind("| `", 0) != 0 || text.find("0 dark, else") == std::string::npos) continue;
    const std::string name = text.substr(3, text.find('`', 3) - 3);
    if (name.rfind(kPrefix, 0) == 0) lights.insert(name.substr(kPrefix.size()));
  }
  return lights;
}

// The name patterns of the runner's caution and warning rows.
std::vector<std::string> alert_patterns() {
  std::vector<std::string> patterns;
  std::ifstream in(kRules);
  std::string text;
  while (std::getline(in, text)) {
    if (text.empty() || text[0] == '#') continue;
    const std::vector<std::string> f = split(text, '\t');
    if (f.size() >= 2 && (f[1] == "caution" || f[1] == "warning")) patterns.push_back(f[0]);
  }
  return patterns;
}

std::vector<std::string> starts() {
  std::vector<std::string> errors;
  std::vector<std::string> names;
  for (const Row& r : read_table(&errors)) {
    if (std::find(names.begin(), names.end(), r.start) == names.end()) names.push_back(r.start);
  }
  return names;
}

// One flight of the census: a start, then rows flown one after another.
class Flight {
 public:
  // Loads the plug-in and plays the start; its "# census with:" line may name
  // the aircraft file (--acf) and the host version (--host-version).
  bool start(const std::string& name, std::string* error) {
    std::string text;
    const std::string file = kStarts + name + ".txt";
    if (!runner::read_scenario(file, &text, error)) return false;
    const simhost::Config config = census::start_config(file, text, kRoot, kAddons);
    frames_ = 0;
    releases_.clear();
    return census::play_start(file, text, config, kAddons, kDt, error);
  }

  // The LIGHTS TEST from BRT and back: each row's light against its test
  // column, in `faults`. A light is taken as lit when it shows in any frame
  // (the test flickers some), and a light lit before the test cannot tell.
  void light_test(const std::vector<Row>& rows, std::vector<std::string>* faults) {
    std::vector<float> before(rows.size(), 0.0f), during(rows.size(), 0.0f);
    auto brightest = [&](std::vector<float>* most, float s) {
      for (long n = frames_in(s); n > 0; --n) {
        frame();
        for (size_t k = 0; k < rows.size(); ++k)
          (*most)[k] = std::max((*most)[k], simhost::get_float(kPrefix + rows[k].light));
      }
    };
    brightest(&before, 1.0f);
    simhost::command_once(kPrefix + "toggle_switch/bright_test_up");
    brightest(&during, 2.0f);
    simhost::command_once(kPrefix + "toggle_switch/bright_test_dn");
    run_s(1.0f);
    for (size_t k = 0; k < rows.size(); ++k) {
      const Row& r = rows[k];
      const std::string at = "light_census.tsv:" + std::to_string(r.line) + ": " + r.light + ": ";
      if (r.test == "yes" && during[k] == 0.0f)
        faults->push_back(at + "dark at the LIGHTS TEST, which its row says lights it (a crew reads a failed bulb)");
      if (r.test == "no" && before[k] == 0.0f && during[k] > 0.0f)
        faults->push_back(at + "lit by the LIGHTS TEST: its row's test column says \"no\"");
    }
  }

  // Flies one row; false with the first fault seen.
  bool fly(const Row& r, std::string* fault) {
    light_ = kPrefix + r.light;
    if (!simhost::has_dataref(light_)) return say(fault, "not published");
    if (r.cause == "-") {
      run_s(1.0f);
      return value() == 0.0f || say(fault, "lit with no cause: " + number(value()));
    }
    // The cause, with the master caution reset after every frame until the
    // light has been seen dark and then lit.
    watching_ = true;
    seen_dark_ = value() == 0.0f;
    lit_frame_ = -1;
    const long begun = frames_;
    if (!steps(r.cause, fault)) return false;
    while (lit_frame_ < 0 && frames_ - begun < frames_in(r.lit_s)) frame();
    watching_ = false;
    if (lit_frame_ < 0) return say(fault, "not lit within " + r.within + " s of its cause");
    const std::string group = kPrefix + "annunciator/six_pack_" + r.calls;
    if (r.calls != "none") {
      while (!called(group) && frames_ - lit_frame_ < frames_in(r.group_s)) frame();
      if (!called(group)) return say(fault, "no " + r.calls + " and MASTER CAUTION within " + number(r.group_s) + " s");
    }
    const float bright = value();
    if (bright == 0.0f) return say(fault, "went out by itself");
    if (r.dims != "-" && !dims_as_told(r, bright, fault)) return false;
    if (r.calls != "none") {
      press_master_caution();
      run_s(0.5f);
      simhost::command_begin(kPrefix + "push_button/capt_six_pack");
      frame();
      simhost::command_end(kPrefix + "push_button/capt_six_pack");
      frame();
      if (!called(group)) return say(fault, "the recall after a reset shows no " + r.calls + " and MASTER CAUTION");
    }
    if (r.undo == "-") return true;
    if (!steps(r.undo, fault)) return false;
    const long undone = frames_;
    while (value() != 0.0f && frames_ - undone < frames_in(r.lit_s)) frame();
    if (value() != 0.0f) return say(fault, "still lit " + r.within + " s after its cause was removed");
    press_master_caution();
    run_s(1.0f);
    return true;
  }

 private:
  struct Release {
    long frame;
    std::string command;
  };

  // BRT to DIM and back: the light halves, or stays as it is.
  bool dims_as_told(const Row& r, float bright, std::string* fault) {
    simhost::command_once(kPrefix + "toggle_switch/bright_test_dn");
    run_s(0.1f);
    const float dim = value();
    simhost::command_once(kPrefix + "toggle_switch/bright_test_up");
    run_s(0.1f);
    const float wanted = r.dims == "yes" ? 0.5f * bright : bright;
    if (!(std::fabs(dim - wanted) <= 0.01f * bright))
      return say(fault, "at DIM " + number(dim) + ", at BRT " + number(bright) + ", " + number(wanted) + " wanted");
    return true;
  }

  static long frames_in(float s) { return static_cast<long>(std::ceil(s / kDt)); }
  static std::string number(float v) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%g", v);
    return buf;
  }
  static bool say(std::string* fault, const std::string& what) {
    *fault = what;
    return false;
  }
  float value() const { return simhost::get_float(light_); }
  static bool called(const std::string& group) {
    return simhost::get_float(group) > 0.0f && simhost::get_float(kPrefix + "annunciator/master_caution_light") > 0.0f;
  }
  static void press_master_caution() { simhost::command_once(kPrefix + "push_button/master_caution1"); }

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
    if (!watching_ || lit_frame_ >= 0) return;
    if (value() == 0.0f) seen_dark_ = true;
    if (seen_dark_ && value() > 0.0f) {
      lit_frame_ = frames_;
    } else {
      press_master_caution();
    }
  }
  void run_s(float s) {
    for (long n = frames_in(s); n > 0; --n) frame();
  }

  // Plays a row's steps: `set`, `command`, `hold`, `fly`, `expect` and `run`.
  bool steps(const std::string& list, std::string* fault) {
    std::string text;
    for (const std::string& s : split(list, ';')) text += s + "\n";
    scenario::Script script;
    std::string error;
    if (!scenario::parse(text, "row", kDt, runner::host_lookup(), &script, &error)) return say(fault, error);
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
        case scenario::Op::Fly:
          simhost::set_flying(s.on);
          break;
        case scenario::Op::Expect:
          if (!met(s, fault)) return false;
          break;
        default:
          return say(fault, "step " + std::to_string(s.line) + ": not a census step");
      }
    }
    while (frames_ - base < script.last_frame) frame();
    return true;
  }

  // An `expect` of a row: each element within its tolerance, now.
  static bool met(const scenario::Step& s, std::string* fault) {
    std::vector<double> v(4096, 0.0);
    const int n = simhost::read_numbers(simhost::dataref_slot(s.ref.name), v.data(), static_cast<int>(v.size()));
    for (size_t k = 0; k < s.values.size(); ++k) {
      const int element = s.ref.index >= 0 ? s.ref.index : static_cast<int>(k);
      const double a = element < n ? v[static_cast<size_t>(element)] : 0.0;
      if (!(std::fabs(a - s.values[k]) <= s.tolerance + 1e-6))
        return say(fault, "step " + std::to_string(s.line) + ": " + s.ref.label() + " is " +
                              number(static_cast<float>(a)));
    }
    return true;
  }

  std::string light_;
  long frames_ = 0;
  bool watching_ = false, seen_dark_ = false;
  long lit_frame_ = -1;
  std::vector<Release> releases_;
};

TEST(LightCensus, EveryPublishedLightHasOneRow) {
  std::vector<std::string> errors;
  const std::vector<Row> rows = read_table(&errors);
  for (const std::string& e : errors) ADD_FAILURE() << e;
  const std::set<std::string> lights = published_lights();
  EXPECT_GT(lights.size(), 200u) << "the reference's lights";
  std::map<std::string, int> seen;
  for (const Row& r : rows) {
    if (seen.count(r.light))
      ADD_FAILURE() << "line " << r.line << ": " << r.light << " has a row at line " << seen[r.light];
    seen[r.light] = r.line;
    if (!lights.count(r.light)) ADD_FAILURE() << "line " << r.line << ": " << r.light << " is no published light";
  }
  for (const std::string& l : lights)
    if (!seen.count(l)) ADD_FAILURE() << l << " is a published light without a row";
}

TEST(LightCensus, EachLightThatCallsAGroupHasItsCautionRow) {
  std::vector<std::string> errors;
  const std::vector<std::string> patterns = alert_patterns();
  ASSERT_FALSE(patterns.empty()) << "no caution or warning rows read from " << kRules;
  for (const Row& r : read_table(&errors)) {
    if (r.calls == "none") continue;
    bool found = false;
    for (const std::string& p : patterns) found = found || runner::glob(p.c_str(), (kPrefix + r.light).c_str());
    if (!found)
      ADD_FAILURE() << "light_census.tsv:" << r.line << ": " << r.light << " calls " << r.calls
                    << " but has no caution row in simhost/catalog/value_rules.tsv: no flight logs it, an "
                       "unexpected lighting passes and a scenario cannot name it";
  }
}

// The LIGHTS TEST from the ground start: every light whose row says "yes"
// lit, no light whose row says "no" lit by it.
TEST(LightCensus, LightTestLightsEachLightItsRowSays) {
  std::vector<std::string> errors;
  const std::vector<Row> rows = read_table(&errors);
  Flight flight;
  std::string error;
  ASSERT_TRUE(flight.start("ground", &error)) << error;
  std::vector<std::string> faults;
  flight.light_test(rows, &faults);
  for (const std::string& f : faults) ADD_FAILURE() << f;
  simhost::reset();
}

class LightCensusFlight : public ::testing::TestWithParam<std::string> {};

TEST_P(LightCensusFlight, EachLightByItsCause) {
  std::vector<std::string> errors;
  const std::vector<Row> rows = read_table(&errors);
  Flight flight;
  bool started = false;
  std::string previous;
  for (const Row& r : rows) {
    const bool same_block = r.start == previous;
    previous = r.start;
    if (r.start != GetParam()) continue;
    if (!same_block) started = false;
    std::string error;
    if (!started && !flight.start(r.start, &error)) {
      ADD_FAILURE() << r.start << ": " << error;
      return;
    }
    started = true;
    std::string fault;
    const bool ok = flight.fly(r, &fault);
    if (!ok) ADD_FAILURE() << "light_census.tsv:" << r.line << ": " << r.light << ": " << fault;
    // A cause left standing, or a fault, leaves the flight unknown: the next
    // row starts afresh.
    if (!ok || r.undo == "-") started = false;
  }
  simhost::reset();
}

INSTANTIATE_TEST_SUITE_P(Starts, LightCensusFlight, ::testing::ValuesIn(starts()),
                         [](const ::testing::TestParamInfo<std::string>& p) {
                           return census::part_test_name(p.param);
                         });

}  // namespace
