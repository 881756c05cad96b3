// The census of the non-normal checklists: what a crew meets in each of the
// type's non-normal checklists, flown through the simulated host from the
// aircraft's own descriptions (the shared "nonnormal-expectations.md"), not
// from the plug-in's design. Each row of nonnormal_census.tsv is one
// situation of a checklist: the cause as the host, the scripts or the crew
// make it, the cues the crew then sees, the checklist's steps as the crew
// does them, and what the crew then expects. Each row is flown on the -800
// on host 12 and on the MAX 8 on host 11, from its start, in the phase the
// checklist is met; a cue or a result that differs fails, naming the row,
// the model, the value and what the table expects.
//
// The columns, tab-separated:
//   system     the checklist's system, as the descriptions group them; the
//              rows of one system and model are flown as one test
//   checklist  the checklist or situation, as the descriptions name it
//   start      the start it is flown from (a scenario file under
//              tests/simhost/, without ".txt"), or "-": not flown, with the
//              reason in `why`
//   cause      scenario steps (`set`, `command`, `hold`, `run`, `expect`),
//              separated by " ; ", on a clock that starts with the cause
//   cues       what the crew sees then: `NAME=VALUE [TOLERANCE]`, separated
//              by " ; "; "$" stands for "zuvadud/D738/"
//   steps      the checklist's steps, as `cause`, on a clock of their own
//   expected   what the crew then expects, as `cues`
//   why        the reason for a row not flown, or where the plug-in keeps on
//              purpose what the descriptions leave open; otherwise empty
#include <gtest/gtest.h>

#include <fstream>
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
const std::string kHere = kSource + "/tests/simhost/";
const std::string kTable = kHere + "nonnormal_census.tsv";
const std::string kExpectations = std::string(CORVANE_HOST_LISTS_DIR) + "/nonnormal-expectations.md";
const std::string kRoot = kSource + "/sample/root/";
const std::string kAddons = kSource + "/simhost/catalog/addons.tsv";
constexpr float kDt = 1.0f / 30.0f;

struct Model {
  const char* name;
  const char* acf;
  int host_version;
};
const Model kModels[] = {{"800", "737_80NG.acf", 120000}, {"MAX8", "737_80MX.acf", 115000}};

struct Row {
  int line = 0;
  std::string at;
  std::string system, checklist, start, cause, cues, steps, expected, why;
};

std::vector<Row> read_rows(std::vector<std::string>* errors) {
  std::vector<Row> rows;
  for (const census::TableLine& t : census::table_lines(kTable, "nonnormal_census.tsv", 8, "system", errors)) {
    Row r;
    r.line = t.line;
    r.at = t.at;
    r.system = t.f[0], r.checklist = t.f[1], r.start = t.f[2], r.cause = t.f[3], r.cues = t.f[4];
    r.steps = t.f[5], r.expected = t.f[6], r.why = t.f[7];
    if (r.start == "-" && r.why.empty()) errors->push_back(t.at + "not flown, without its reason");
    if (r.start != "-" && r.cues.empty() && r.expected.empty())
      errors->push_back(t.at + "flown, with no cue and no result to judge");
    rows.push_back(r);
  }
  return rows;
}

// A list of steps, or of expectations (each then written as an `expect`),
// as scenario lines.
std::string lines_of(const std::string& list, bool expectations) {
  std::string text;
  for (const std::string& s : split(expand(list), ';')) {
    const std::string item = trim(s);
    if (item.empty() || item == "-") continue;
    text += (expectations ? "expect " : "") + item + "\n";
  }
  return text;
}

// Plays `text` (parsed as FILE) on the host as it stands; false with the
// parse error or the failed expectations' lines in `error`.
bool play_part(const std::string& text, const std::string& file, std::string* error) {
  runner::Outcome o;
  std::string said;
  if (!census::play_text(file, text, kAddons, kDt, &o, error, &said)) return false;
  std::istringstream lines(said);
  for (std::string line; std::getline(lines, line);)
    if (line.find(file) != std::string::npos) *error += line + "\n";
  if (o.failed != 0 && error->empty()) *error = file + ": " + std::to_string(o.failed) + " failed expectations";
  return o.failed == 0;
}

// The row flown on `model` from its start: false with what differs.
bool fly(const Row& r, const Model& model, std::string* error) {
  const std::string file = kHere + r.start + ".txt";
  std::string text;
  if (!runner::read_scenario(file, &text, error)) return false;
  simhost::Config config = census::start_config(file, text, kRoot, kAddons);
  config.acf = model.acf;
  config.host_version = model.host_version;
  if (!census::play_start(file, text, config, kAddons, kDt, error)) return false;
  const std::string name = "nonnormal_census.tsv:" + std::to_string(r.line) + " (" + r.checklist + ", " + model.name;
  std::string cause_error, steps_error;
  const bool cause_ok = play_part(lines_of(r.cause, false) + lines_of(r.cues, true), name + ", cause and cues)",
                                  &cause_error);
  const bool steps_ok = play_part(lines_of(r.steps, false) + lines_of(r.expected, true),
                                  name + ", steps and results)", &steps_error);
  *error = cause_error + steps_error;
  return cause_ok && steps_ok;
}

std::string part_name(const std::string& system, const Model& m) { return system + "/" + m.name; }

std::vector<std::string> parts() {
  std::vector<std::string> errors;
  std::vector<std::string> names;
  for (const Row& r : read_rows(&errors)) {
    if (r.start == "-") continue;
    for (const Model& m : kModels) {
      const std::string part = part_name(r.system, m);
      bool seen = false;
      for (const std::string& n : names) seen = seen || n == part;
      if (!seen) names.push_back(part);
    }
  }
  return names;
}

// The table reads whole, and every checklist of the descriptions has a row:
// a new checklist there is a row missing here.
TEST(NonnormalCensus, EveryChecklistHasARow) {
  std::vector<std::string> errors;
  const std::vector<Row> rows = read_rows(&errors);
  for (const std::string& e : errors) ADD_FAILURE() << e;
  std::set<std::string> named;
  for (const Row& r : rows) named.insert(r.system + " | " + r.checklist);
  std::ifstream in(kExpectations);
  if (!in) {
    if (CORVANE_HOST_LISTS_REQUIRED) FAIL() << "cannot read " << kExpectations;
    GTEST_SKIP() << "no " << kExpectations;
  }
  int checklists = 0;
  for (std::string line; std::getline(in, line);) {
    const std::vector<std::string> f = split(line, '|');
    if (line.rfind("| ", 0) != 0 || f.size() < 4 || trim(f[1]) == "system" || trim(f[1]).rfind("---", 0) == 0)
      continue;
    ++checklists;
    const std::string key = trim(f[1]) + " | " + trim(f[2]);
    EXPECT_TRUE(named.count(key) != 0) << "nonnormal_census.tsv: no row for \"" << key << "\"";
  }
  EXPECT_GT(checklists, 0) << kExpectations << ": no checklist read";
}

class NonnormalCensus : public ::testing::TestWithParam<std::string> {
 protected:
  void TearDown() override { simhost::reset(); }
};

TEST_P(NonnormalCensus, EachRowFlown) {
  std::vector<std::string> errors;
  int flown = 0;
  for (const Row& r : read_rows(&errors)) {
    if (r.start == "-") continue;
    for (const Model& m : kModels) {
      if (part_name(r.system, m) != GetParam()) continue;
      std::string error;
      EXPECT_TRUE(fly(r, m, &error)) << r.at << r.checklist << " on the " << m.name << ":\n" << error;
      ++flown;
    }
  }
  EXPECT_GT(flown, 0) << GetParam() << ": no row flown";
}

INSTANTIATE_TEST_SUITE_P(Parts, NonnormalCensus, ::testing::ValuesIn(parts()),
                         [](const ::testing::TestParamInfo<std::string>& i) {
                           return census::part_test_name(i.param);
                         });

}  // namespace
