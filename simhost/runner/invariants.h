// Checks on every published value of the plug-in, every frame: finite, within
// the range its kind allows (catalog/value_rules.tsv), switch and knob
// positions among those their commands set (catalog/switch_positions.tsv),
// no flicker; and a log of every caution and warning turning on and off,
// against the alerts the scenario names as expected. The rules and their
// thresholds are described in simhost/README.md.
#pragma once

#include <cstdio>
#include <limits>
#include <string>
#include <vector>

#include "scenario.h"

namespace runner {

// A name against a scenario's pattern: '*' any run of characters, '?' any one.
bool glob(const char* p, const char* s);

// A value that reverses direction more often than this within one second of
// simulated time flickers (a blinking lamp at 2 Hz reverses 4 times).
constexpr int kFlickerReversals = 4;
// A move counts as a reversal only beyond this fraction of the value's size
// (the largest it has been while checked, at least 1): float noise, settling
// lags and values recomputed each frame from live inputs (a turn radius
// moving by metres, a cabin rate of a few tenths of a foot a minute) are not
// flicker.
constexpr double kFlickerDeadband = 1e-2;
// The annunciators powered and dark for longer than this (the brightness
// level at 0: the rheostats down, or no daylight played) is a run whose
// lights read 0 whatever their condition, so no light is judged. A bus
// changing over or a rheostat swept through 0 is shorter.
constexpr double kUnjudgedLights_s = 5.0;

// The plug-in's published numbers, element by element, as the host has them
// registered (texts left out), read through the plug-in's own accessors.
struct PublishedNumbers {
  struct Value {
    std::string name;
    int type = 0, size = 1;
    int first = 0;   // index of its first number
    int slot = -1;   // the host's, for reading
  };
  std::vector<Value> values;
  std::vector<int> value_of, element_of;  // per number; element -1 for a scalar

  void take();
  void read(std::vector<double>* out) const;
  std::string label(int number) const;
};

// The scenario checks values or names alerts (`invariants`, `alert` steps).
bool uses_checks(const scenario::Script& script);

class Invariants {
 public:
  // Reads the two tables from `catalog_dir` (ending in '/'), the plug-in's
  // published values as the host has them now, and the scenario's `alert`
  // steps. False with "FILE:LINE: message" on a malformed table row, a
  // pattern that matches no published value, or an alert step that names no
  // alert of the table.
  bool prepare(const std::string& catalog_dir, const scenario::Script& script, const std::string& file,
               std::string* error);
  // From the next frame on every value is checked (or no longer is).
  void enable(bool on);
  // The checks read the published value `name` (each element) as 0, as if
  // the plug-in had never lit it: a flight run so must fail, naming the cue
  // it expected (--dark). False when `name` is no published number.
  bool read_as_zero(const std::string& name, std::string* error);
  // After each frame: reads every value and applies the rules. An alert
  // turning on or off, and the first break of each rule by each number, are
  // written to `out` as they happen.
  void after_frame(long frame, double seconds, std::FILE* out);
  // The same on values already read (`published()` orders them).
  void judge(const std::vector<double>& values, long frame, double seconds, std::FILE* out);
  const PublishedNumbers& published() const { return published_; }
  // The summary of what lit, for how long, and what broke a rule; true when
  // no rule broke, no alert lit where the scenario did not name it and every
  // alert it named (not optional) came on in its window.
  bool finish(double seconds, std::FILE* out);

  struct Alert {
    std::string name, label;
    bool warning = false;
    int number = 0;               // index into numbers_
    bool lit = false;
    bool flagged = false;         // this time lit, already reported as unexpected
    double on_since = 0, lit_seconds = 0, first_on = -1;
    int times = 0, unexpected = 0, findings = 0;
    double first_unexpected = -1;
    int named_by = 0;             // line of the step that named it when it came on
    bool open_finding = false;    // ... a finding step
    std::vector<int> named;       // the alert steps whose pattern matches it
  };
  struct Named {
    std::string pattern, reason;
    double from = 0, to = std::numeric_limits<double>::infinity();
    int line = 0;
    std::string where;            // "line N", or "line N of FILE" for an included file
    bool used = false;            // an alert it names lit in its window
    bool finding = false;         // a known fault awaiting a decision, not an expected alert
    bool optional = false;        // may light in its window, or not
  };
  struct Number {
    double lo = -std::numeric_limits<double>::infinity(), hi = std::numeric_limits<double>::infinity();
    std::string range_note;       // empty: no range rule
    std::vector<double> positions;  // switch and knob positions its commands set
    double pos_lo = 0, pos_hi = 0;  // ... or, for a continuous knob, their range
    bool has_positions = false, animated = false, travels = false;
    bool broken_then = false;     // the value last judged broke a rule
    // flicker state
    bool seen = false;
    double start = 0, peak = 0, size = 0;
    int dir = 0;
    double reversals[kFlickerReversals + 1] = {};
    int next_reversal = 0, reversal_count = 0;
  };
  struct Broken {
    int number = 0;
    std::string rule, first;      // the rule and the first break, as reported
    long frames = 0;
    double first_t = 0, last_t = 0;
    int finding_line = 0;         // the finding step that names it, 0 none
    std::string finding_where;    // ... where it was written
  };

 private:
  void check_number(int n, double v, long frame, double seconds, std::FILE* out);
  void broke(int n, int rule, const std::string& detail, long frame, double seconds, std::FILE* out);
  void alerts_after(double seconds, std::FILE* out);
  void host_writes_after(double seconds, std::FILE* out);
  void lights_after(double seconds, std::FILE* out);
  const Named* expected(const Alert& a, double seconds);
  const Named* finding_for(int number, double seconds);

  PublishedNumbers published_;
  std::vector<Number> numbers_;
  std::vector<double> now_;
  // Apart from numbers_, so the pass over values that stand still reads two
  // small arrays: the value last judged, and 1 when it broke nothing then.
  std::vector<double> last_;
  std::vector<unsigned char> settled_;
  std::vector<Alert> alerts_;
  std::vector<Named> named_;
  std::vector<Broken> broken_;
  std::vector<int> dark_;                 // numbers read as 0
  std::vector<std::string> dark_names_;
  std::vector<int> broken_index_;  // per number and rule: index into broken_ + 1, 0 none
  // Lights that cannot be judged: the brightness level and the bus that
  // powers the annunciators (numbers, -1 when not published), the
  // scenario's windows flown dark on purpose, the time they were first seen
  // powered and dark (-1 not now), and each span longer than allowed.
  int brightness_ = -1, lamp_power_ = -1;
  std::vector<std::pair<double, double>> dark_on_purpose_;
  double unjudged_since_ = -1;
  bool unjudged_reported_ = false;
  std::vector<std::pair<double, double>> unjudged_;
  // The plug-in's writes of a nan or an infinity into the host's and the
  // scripts' values, as the host recorded them: how many were reported.
  int host_writes_seen_ = 0;
  int host_writes_checked_ = 0;
  // The host's record of misuses of its interface (simhost::problems()):
  // how many were there when the checks began, and how many since.
  size_t problems_before_ = 0;
  size_t problems_seen_ = 0;
  bool on_ = false;
  long frames_checked_ = 0;
  double first_checked_ = -1, last_checked_ = 0;
};

// Presses every command the plug-in handles (its own and the host commands
// it takes over, from `host_command_catalogs`) from a powered cockpit,
// each until it changes nothing more or comes round, and writes the
// switch_positions.tsv table: every published value a command sets directly,
// with the positions it was set to. A control the plug-in's travel table
// (`travel_table`, tools/travels.tsv) gives a travel with no detents (step 0)
// is written as that travel, LO..HI: it may be set anywhere on it, its
// commands only some of the places. False with a message when nothing could
// be played or the travel table read; false without one when `out` takes
// nothing (its heading, written first, did not get through), which is the
// caller's to report.
bool write_command_positions(const std::vector<std::string>& host_command_catalogs, const std::string& travel_table,
                             std::FILE* out, std::string* error);

}  // namespace runner
