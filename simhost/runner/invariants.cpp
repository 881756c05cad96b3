// The per-frame checks of the plug-in's published values and the log of its
// cautions and warnings (invariants.h). The tables are read once, before the
// first frame, and matched against the names the plug-in registered, so a
// renamed value or a stale pattern stops the run instead of going unchecked.
#include "invariants.h"
#include "tables.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>
#include <sstream>

#include "host.h"
#include "platform/xplm.h"

namespace runner {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
// A position read back through a float compares with the one written.
constexpr double kPositionTolerance = 1e-4;

// The rules a number can break, in the order the summary lists them.
enum RuleId { kFinite, kRange, kPosition, kFlicker, kRuleCount };
const char* const kRuleNames[kRuleCount] = {"not finite", "out of range", "not a position its commands set",
                                            "flickers"};

struct Pattern {
  std::string name;
  int first = -1, last = -1;  // elements; -1: all

  bool parse(const std::string& text) {
    size_t open = text.find('[');
    name = text.substr(0, open);
    if (open == std::string::npos) return !name.empty();
    if (text.back() != ']') return false;
    const std::string inside = text.substr(open + 1, text.size() - open - 2);
    const size_t dash = inside.find('-');
    if (!element_text(inside.substr(0, dash), &first)) return false;
    last = first;
    if (dash != std::string::npos && !element_text(inside.substr(dash + 1), &last)) return false;
    return last >= first && !name.empty();
  }
  // Only plain digits: "[0-]" or "[ 1]" is a typo, not element 0 or 1.
  static bool element_text(const std::string& s, int* out) {
    if (s.empty() || s.size() > 6 || s.find_first_not_of("0123456789") != std::string::npos) return false;
    *out = std::stoi(s);
    return true;
  }
  bool matches(const std::string& value, int element) const {
    if (first >= 0 && (element < first || element > last)) return false;
    return glob(name.c_str(), value.c_str());
  }
};

struct Row {
  Pattern pattern;
  std::string rule, note;
  int line = 0;
  bool used = false;
};

bool number_text(const std::string& s, double* out) {
  char* end = nullptr;
  *out = std::strtod(s.c_str(), &end);
  return end != s.c_str() && *end == '\0' && std::isfinite(*out);
}

// "LO..HI" with numbers on both sides.
bool range_text(const std::string& s, double* lo, double* hi) {
  size_t dots = s.find("..");
  return dots != std::string::npos && number_text(s.substr(0, dots), lo) && number_text(s.substr(dots + 2), hi) &&
         *lo <= *hi;
}

std::string format(double v) {
  char buf[40];
  std::snprintf(buf, sizeof buf, "%.9g", v);
  return buf;
}

}  // namespace

// '*' any run of characters, '?' any one.
bool glob(const char* p, const char* s) {
  for (; *p; ++p, ++s) {
    if (*p == '*') {
      for (const char* t = s;; ++t) {
        if (glob(p + 1, t)) return true;
        if (!*t) return false;
      }
    }
    if (!*s || (*p != '?' && *p != *s)) return false;
  }
  return !*s;
}

void PublishedNumbers::take() {
  values.clear();
  value_of.clear();
  element_of.clear();
  for (const simhost::DatarefInfo& d : simhost::plugin_datarefs()) {
    if (!(d.type & (xplmType_Int | xplmType_Float | xplmType_Double | xplmType_FloatArray | xplmType_IntArray)))
      continue;
    const bool array = (d.type & (xplmType_FloatArray | xplmType_IntArray)) != 0;
    Value v;
    v.name = d.name;
    v.type = d.type;
    v.size = array ? std::max(0, d.size) : 1;
    v.first = static_cast<int>(value_of.size());
    v.slot = simhost::dataref_slot(d.name);
    for (int i = 0; i < v.size; ++i) {
      value_of.push_back(static_cast<int>(values.size()));
      element_of.push_back(array ? i : -1);
    }
    values.push_back(v);
  }
}

void PublishedNumbers::read(std::vector<double>* out) const {
  out->resize(value_of.size());
  for (const Value& v : values) {
    double* to = out->data() + v.first;
    const int n = simhost::read_numbers(v.slot, to, v.size);
    for (int i = std::max(0, n); i < v.size; ++i) to[i] = 0.0;
  }
}

std::string PublishedNumbers::label(int number) const {
  const std::string& name = values[static_cast<size_t>(value_of[static_cast<size_t>(number)])].name;
  const int e = element_of[static_cast<size_t>(number)];
  return e < 0 ? name : name + "[" + std::to_string(e) + "]";
}

bool uses_checks(const scenario::Script& script) {
  return std::any_of(script.steps.begin(), script.steps.end(), [](const scenario::Step& s) {
    return s.op == scenario::Op::Invariants || s.op == scenario::Op::Alert;
  });
}

bool Invariants::prepare(const std::string& catalog_dir, const scenario::Script& script, const std::string& file,
                         std::string* error) {
  published_.take();
  problems_before_ = problems_seen_ = simhost::problems().size();
  numbers_.assign(published_.value_of.size(), Number());
  now_.assign(numbers_.size(), 0.0);
  last_.assign(numbers_.size(), 0.0);
  settled_.assign(numbers_.size(), 0);
  broken_index_.assign(numbers_.size() * kRuleCount, 0);

  // The rules by name pattern; per kind the first matching row decides.
  const std::string rules_file = catalog_dir + "value_rules.tsv";
  std::vector<std::pair<int, std::string>> lines;
  if (!table_lines(rules_file, &lines, error)) return false;
  std::vector<Row> rows;
  for (const auto& [line, text] : lines) {
    std::vector<std::string> f = fields(text);
    Row r;
    r.line = line;
    double lo = 0, hi = 0;
    if (f.size() < 2 || !r.pattern.parse(f[0])) {
      *error = rules_file + ":" + std::to_string(line) + ": a row is PATTERN<TAB>RULE<TAB>NOTE";
      return false;
    }
    r.rule = f[1];
    r.note = f.size() > 2 ? f[2] : "";
    if (r.rule != "unit" && r.rule != "any" && r.rule != "animated" && r.rule != "travels" && r.rule != "caution" &&
        r.rule != "warning" && !range_text(r.rule, &lo, &hi)) {
      *error = rules_file + ":" + std::to_string(line) + ": unknown rule \"" + r.rule + "\"";
      return false;
    }
    rows.push_back(r);
  }
  for (size_t k = 0; k < numbers_.size(); ++k) {
    Number& n = numbers_[k];
    const int element = published_.element_of[k];
    const std::string& name = published_.values[static_cast<size_t>(published_.value_of[k])].name;
    bool ranged = false, moved = false, alerted = false, traveled = false;
    for (Row& r : rows) {
      if (!r.pattern.matches(name, element)) continue;
      const bool alert = r.rule == "caution" || r.rule == "warning";
      const bool motion = r.rule == "animated";
      const bool travel = r.rule == "travels";
      if (travel) {
        if (!traveled) traveled = r.used = true, n.travels = true;
      } else if (alert && !alerted) {
        alerted = r.used = true;
        // An alert is one value: the whole of it lights.
        if (element <= 0) {
          Alert a;
          a.name = name;
          a.label = r.note;
          a.warning = r.rule == "warning";
          a.number = static_cast<int>(k);
          alerts_.push_back(a);
        }
      } else if (motion && !moved) {
        moved = r.used = true;
        n.animated = true;
      } else if (!alert && !motion && !ranged) {
        ranged = r.used = true;
        if (r.rule == "unit") {
          n.lo = 0, n.hi = 1;
        } else if (r.rule != "any") {
          range_text(r.rule, &n.lo, &n.hi);
        }
        if (r.rule != "any") n.range_note = r.note.empty() ? r.rule : r.note;
      }
    }
  }
  for (const Row& r : rows) {
    if (!r.used) {
      *error = rules_file + ":" + std::to_string(r.line) + ": " + r.pattern.name + " matches no published value";
      return false;
    }
  }

  // Positions the commands set, by value name.
  const std::string positions_file = catalog_dir + "switch_positions.tsv";
  lines.clear();
  if (!table_lines(positions_file, &lines, error)) return false;
  std::map<std::string, int> first_of;
  for (const PublishedNumbers::Value& v : published_.values) first_of[v.name] = v.first;
  for (const auto& [line, text] : lines) {
    std::vector<std::string> f = fields(text);
    auto it = f.size() == 2 ? first_of.find(f[0]) : first_of.end();
    if (it == first_of.end()) {
      *error = positions_file + ":" + std::to_string(line) +
               (f.size() == 2 ? ": no published value " + f[0] : ": a row is NAME<TAB>POSITIONS");
      return false;
    }
    const PublishedNumbers::Value& v =
        published_.values[static_cast<size_t>(published_.value_of[static_cast<size_t>(it->second)])];
    // A counter with no end (a dial's detents) has no positions to keep to.
    if (f[1] == "any") continue;
    Number probe;
    if (!range_text(f[1], &probe.pos_lo, &probe.pos_hi)) {
      std::stringstream ss(f[1]);
      std::string p;
      double x = 0;
      while (std::getline(ss, p, ',')) {
        if (!number_text(p, &x)) {
          *error = positions_file + ":" + std::to_string(line) + ": positions are LO..HI or a comma list";
          return false;
        }
        probe.positions.push_back(x);
      }
    }
    for (int i = 0; i < v.size; ++i) {
      Number& n = numbers_[static_cast<size_t>(v.first + i)];
      n.has_positions = true;
      n.positions = probe.positions;
      n.pos_lo = probe.pos_lo;
      n.pos_hi = probe.pos_hi;
      // A control the systems drive from detent to detent passes between them.
      if (n.travels && !n.positions.empty()) {
        n.pos_lo = *std::min_element(n.positions.begin(), n.positions.end());
        n.pos_hi = *std::max_element(n.positions.begin(), n.positions.end());
        n.positions.clear();
      }
    }
  }

  // The alerts the scenario names, each with its window and reason, and the
  // findings: known faults awaiting a decision, alerts or broken rules.
  for (const PublishedNumbers::Value& v : published_.values) {
    if (v.name == "zuvadud/D738/annunciator/brightness_level") brightness_ = v.first;
    if (v.name == "zuvadud/D738/electric/dir_batbus_status") lamp_power_ = v.first;
  }
  for (const scenario::Step& s : script.steps) {
    if (s.op == scenario::Op::LightsDark)
      dark_on_purpose_.push_back({s.values.size() > 0 ? s.values[0] : 0, s.values.size() > 1 ? s.values[1] : kInf});
    if (s.op != scenario::Op::Alert) continue;
    Named nm;
    nm.pattern = s.ref.name;
    nm.reason = s.text;
    nm.from = s.values.size() > 0 ? s.values[0] : 0;
    nm.to = s.values.size() > 1 ? s.values[1] : kInf;
    nm.line = s.line;
    nm.where = scenario::line_of(s);
    nm.finding = s.on;
    nm.optional = s.optional;
    bool any = false;
    for (Alert& a : alerts_) {
      if (!glob(nm.pattern.c_str(), a.name.c_str())) continue;
      a.named.push_back(static_cast<int>(named_.size()));
      any = true;
    }
    if (nm.finding)
      for (const PublishedNumbers::Value& v : published_.values) any = any || glob(nm.pattern.c_str(), v.name.c_str());
    if (!any) {
      *error = scenario::where(s, file) + ": " + nm.pattern +
               (nm.finding ? " names no published value" : " names no caution or warning of " + rules_file);
      return false;
    }
    named_.push_back(nm);
  }
  return true;
}

void Invariants::enable(bool on) {
  if (on && !on_) {
    // Motion is judged from here on: what happened before is not known.
    for (Number& n : numbers_) {
      n.seen = false;
      n.reversal_count = 0;
    }
    std::fill(settled_.begin(), settled_.end(), 0);
  }
  on_ = on;
}

const Invariants::Named* Invariants::finding_for(int number, double seconds) {
  const std::string& name = published_.values[static_cast<size_t>(published_.value_of[static_cast<size_t>(number)])].name;
  for (Named& nm : named_) {
    if (nm.finding && seconds >= nm.from && seconds <= nm.to && glob(nm.pattern.c_str(), name.c_str())) {
      nm.used = true;
      return &nm;
    }
  }
  return nullptr;
}

void Invariants::broke(int n, int r, const std::string& detail, long frame, double seconds, std::FILE* out) {
  const char* rule = kRuleNames[r];
  numbers_[static_cast<size_t>(n)].broken_then = true;
  int& slot = broken_index_[static_cast<size_t>(n) * kRuleCount + static_cast<size_t>(r)];
  if (slot == 0) {
    const Named* finding = finding_for(n, seconds);
    Broken b;
    b.number = n;
    b.rule = rule;
    char buf[96];
    std::snprintf(buf, sizeof buf, " (frame %ld, %.3f s)", frame, seconds);
    b.first = published_.label(n) + ": " + rule + ": " + detail + buf;
    b.first_t = seconds;
    b.finding_line = finding ? finding->line : 0;
    if (finding) b.finding_where = finding->where;
    broken_.push_back(b);
    slot = static_cast<int>(broken_.size());
    std::fprintf(out, "RULE  %10.3f s  %s: %s: %s", seconds, published_.label(n).c_str(), rule, detail.c_str());
    if (finding) {
      std::fprintf(out, ": open finding, %s: %s\n", finding->where.c_str(), finding->reason.c_str());
    } else {
      std::fprintf(out, "\n");
    }
  }
  Broken& b = broken_[static_cast<size_t>(slot - 1)];
  ++b.frames;
  b.last_t = seconds;
}

void Invariants::check_number(int k, double v, long frame, double seconds, std::FILE* out) {
  Number& n = numbers_[static_cast<size_t>(k)];
  if (!std::isfinite(v)) {
    broke(k, kFinite, format(v), frame, seconds, out);
    n.seen = false;
    return;
  }
  if (!n.range_note.empty() && !(v >= n.lo && v <= n.hi))
    broke(k, kRange, format(v) + " outside " + format(n.lo) + ".." + format(n.hi) + " (" + n.range_note + ")",
          frame, seconds, out);
  if (n.has_positions) {
    bool ok = false;
    if (n.positions.empty()) {
      ok = v >= n.pos_lo - kPositionTolerance && v <= n.pos_hi + kPositionTolerance;
    } else {
      for (double p : n.positions) ok = ok || std::fabs(v - p) <= kPositionTolerance;
    }
    if (!ok) {
      std::string set;
      if (n.positions.empty()) {
        set = format(n.pos_lo) + ".." + format(n.pos_hi);
      } else {
        for (double p : n.positions) set += (set.empty() ? "" : ",") + format(p);
      }
      broke(k, kPosition, format(v) + " (positions " + set + ")", frame, seconds, out);
    }
  }
  if (n.animated) return;
  // Direction reversals beyond the deadband, timed; too many within a second
  // is flicker.
  if (!n.seen) {
    n.seen = true;
    n.start = n.peak = v;
    n.size = std::fabs(v);
    n.dir = 0;
    return;
  }
  n.size = std::max(n.size, std::fabs(v));
  const double band = kFlickerDeadband * std::max(1.0, n.size);
  int turned = 0;
  if (n.dir == 0) {
    if (std::fabs(v - n.start) > band) n.dir = v > n.start ? 1 : -1, n.peak = v;
  } else if (n.dir > 0) {
    if (v > n.peak) n.peak = v;
    else if (n.peak - v > band) turned = -1;
  } else {
    if (v < n.peak) n.peak = v;
    else if (v - n.peak > band) turned = 1;
  }
  if (!turned) return;
  n.dir = turned;
  n.peak = v;
  n.reversals[n.next_reversal] = seconds;
  n.next_reversal = (n.next_reversal + 1) % (kFlickerReversals + 1);
  if (n.reversal_count < kFlickerReversals + 1) ++n.reversal_count;
  // The oldest of the last kFlickerReversals + 1 reversals within a second.
  if (n.reversal_count == kFlickerReversals + 1 && seconds - n.reversals[n.next_reversal] < 1.0) {
    char buf[96];
    std::snprintf(buf, sizeof buf, "%d reversals within %.2f s, now %s", kFlickerReversals + 1,
                  seconds - n.reversals[n.next_reversal], format(v).c_str());
    broke(k, kFlicker, buf, frame, seconds, out);
  }
}

// The first step naming the alert whose window holds the moment; every step
// whose window holds it has seen it lit.
const Invariants::Named* Invariants::expected(const Alert& a, double seconds) {
  const Named* first = nullptr;
  for (int i : a.named) {
    Named& nm = named_[static_cast<size_t>(i)];
    if (seconds >= nm.from && seconds <= nm.to) {
      nm.used = true;
      if (!first) first = &nm;
    }
  }
  return first;
}

void Invariants::alerts_after(double seconds, std::FILE* out) {
  for (Alert& a : alerts_) {
    const bool lit = now_[static_cast<size_t>(a.number)] > 0.0;
    if (lit && !a.lit) {
      a.lit = true;
      a.flagged = false;
      a.on_since = seconds;
      ++a.times;
      if (a.first_on < 0) a.first_on = seconds;
      const Named* nm = expected(a, seconds);
      a.named_by = nm ? nm->line : 0;
      a.open_finding = nm && nm->finding;
      std::fprintf(out, "ALERT %10.3f s  on   %s (%s)", seconds, a.label.c_str(), a.name.c_str());
      if (nm) {
        std::fprintf(out, ": %s, %s: %s\n", nm->finding ? "open finding" : "expected", nm->where.c_str(),
                     nm->reason.c_str());
        if (nm->finding) ++a.findings;
      } else {
        std::fprintf(out, ": UNEXPECTED\n");
        a.flagged = true;
        ++a.unexpected;
        if (a.first_unexpected < 0) a.first_unexpected = seconds;
      }
    } else if (lit && !a.flagged && !expected(a, seconds)) {
      // Lit past the window it was named for.
      a.flagged = true;
      ++a.unexpected;
      if (a.first_unexpected < 0) a.first_unexpected = seconds;
      std::fprintf(out, "ALERT %10.3f s  still %s (%s): UNEXPECTED from here, lit since %.3f s\n", seconds,
                   a.label.c_str(), a.name.c_str(), a.on_since);
    } else if (!lit && a.lit) {
      a.lit = false;
      a.lit_seconds += seconds - a.on_since;
      std::fprintf(out, "ALERT %10.3f s  off  %s (%s) after %.3f s\n", seconds, a.label.c_str(), a.name.c_str(),
                   seconds - a.on_since);
    }
  }
}

// Finite whatever it is written to: a nan or an infinity the plug-in hands
// the host is a broken rule as one it publishes is.
void Invariants::host_writes_after(double seconds, std::FILE* out) {
  // A misuse of the host's interface is a fault of the plug-in's whatever
  // value it touches.
  const std::vector<std::string>& problems = simhost::problems();
  for (size_t i = problems_seen_; i < problems.size(); ++i)
    std::fprintf(out, "RULE  %10.3f s  host interface: misused: %s\n", seconds, problems[i].c_str());
  problems_seen_ = std::max(problems_seen_, problems.size());
  const int count = simhost::non_finite_write_count();
  if (count == host_writes_checked_) return;
  const std::vector<std::string>& writes = simhost::non_finite_writes();
  for (size_t i = static_cast<size_t>(host_writes_seen_); i < writes.size(); ++i)
    std::fprintf(out, "RULE  %10.3f s  written to the host: not finite: %s\n", seconds, writes[i].c_str());
  host_writes_seen_ = static_cast<int>(writes.size());
  host_writes_checked_ = count;
}

// Every annunciator reads 0 while the brightness level is 0, lit or not: a
// run in which they have power and stay so is blind to every light, and
// passes nothing. A scenario flying dark on purpose says so.
void Invariants::lights_after(double seconds, std::FILE* out) {
  if (brightness_ < 0 || lamp_power_ < 0) return;
  bool on_purpose = false;
  for (const auto& [from, to] : dark_on_purpose_) on_purpose = on_purpose || (seconds >= from && seconds <= to);
  const bool blind = now_[static_cast<size_t>(lamp_power_)] > 0.0 &&
                     !(now_[static_cast<size_t>(brightness_)] > 0.0) && !on_purpose;
  if (blind && unjudged_since_ < 0) {
    unjudged_since_ = seconds;
    unjudged_reported_ = false;
  } else if (blind && !unjudged_reported_ && seconds - unjudged_since_ > kUnjudgedLights_s) {
    unjudged_reported_ = true;
    unjudged_.push_back({unjudged_since_, seconds});
    std::fprintf(out, "LIGHTS %9.3f s  the annunciators have power and read 0 since %.3f s "
                 "(zuvadud/D738/annunciator/brightness_level 0): no light is judged\n", seconds, unjudged_since_);
  } else if (!blind && unjudged_since_ >= 0) {
    if (unjudged_reported_) unjudged_.back().second = seconds;
    unjudged_since_ = -1;
  }
  if (blind && unjudged_reported_) unjudged_.back().second = seconds;
}

void Invariants::after_frame(long frame, double seconds, std::FILE* out) {
  if (!on_) return;
  published_.read(&now_);
  judge(now_, frame, seconds, out);
  host_writes_after(seconds, out);
}

bool Invariants::read_as_zero(const std::string& name, std::string* error) {
  for (const PublishedNumbers::Value& v : published_.values) {
    if (v.name != name) continue;
    for (int k = 0; k < v.size; ++k) dark_.push_back(v.first + k);
    dark_names_.push_back(name);
    return true;
  }
  *error = "--dark: " + name + " is no published number of the plug-in";
  return false;
}

void Invariants::judge(const std::vector<double>& values, long frame, double seconds, std::FILE* out) {
  if (&values != &now_) now_ = values;
  for (int k : dark_) now_[static_cast<size_t>(k)] = 0.0;
  for (size_t k = 0; k < numbers_.size(); ++k) {
    // Most values stand still from frame to frame: one that has not moved
    // and broke nothing then breaks nothing now (a NaN never equals itself).
    const double v = now_[k];
    if (settled_[k] && v == last_[k]) continue;
    last_[k] = v;
    Number& n = numbers_[k];
    n.broken_then = false;
    check_number(static_cast<int>(k), v, frame, seconds, out);
    settled_[k] = !n.broken_then;
  }
  alerts_after(seconds, out);
  lights_after(seconds, out);
  ++frames_checked_;
  if (first_checked_ < 0) first_checked_ = seconds;
  last_checked_ = seconds;
}

bool Invariants::finish(double seconds, std::FILE* out) {
  int unexpected = 0;
  for (Alert& a : alerts_) {
    if (a.lit) a.lit_seconds += seconds - a.on_since;
    unexpected += a.unexpected;
  }
  std::fprintf(out, "\ninvariants: %ld frames checked (%.3f to %.3f s), %zu published values, %zu numbers\n",
               frames_checked_, std::max(0.0, first_checked_), last_checked_, published_.values.size(),
               numbers_.size());
  for (const std::string& name : dark_names_) std::fprintf(out, "read as 0 (--dark): %s\n", name.c_str());
  std::fprintf(out, "alerts lit:%s\n", std::none_of(alerts_.begin(), alerts_.end(),
                                                    [](const Alert& a) { return a.times > 0; })
                                           ? " none"
                                           : "");
  for (const Alert& a : alerts_) {
    if (a.times == 0) continue;
    std::fprintf(out, "  %-8s %s (%s): %d time%s, %.1f s in all, first at %.3f s%s", a.warning ? "warning" : "caution",
                 a.label.c_str(), a.name.c_str(), a.times, a.times == 1 ? "" : "s", a.lit_seconds, a.first_on,
                 a.lit ? ", lit at the end" : "");
    if (a.unexpected > 0) {
      std::fprintf(out, "; UNEXPECTED %d time%s, first at %.3f s\n", a.unexpected, a.unexpected == 1 ? "" : "s",
                   a.first_unexpected);
    } else if (a.findings > 0) {
      std::fprintf(out, "; open finding\n");
    } else {
      std::fprintf(out, "; expected\n");
    }
  }
  // A crew cue named and missing is a fault like a cue where none belongs.
  int missing = 0;
  for (const Named& nm : named_) {
    if (nm.used) continue;
    const bool required = !nm.finding && !nm.optional;
    missing += required ? 1 : 0;
    std::fprintf(out, "  %s: %s (%s: %s)\n", required ? "NAMED AND NOT LIT" : "named and not seen",
                 nm.pattern.c_str(), nm.where.c_str(), nm.reason.c_str());
  }
  const bool host_clean = host_writes_checked_ == 0 && problems_seen_ == problems_before_;
  std::fprintf(out, "rules broken:%s\n", broken_.empty() && host_clean && unjudged_.empty() ? " none" : "");
  size_t breaks = 0;
  for (const Broken& b : broken_) {
    std::fprintf(out, "  %s; %ld frame%s to %.3f s", b.first.c_str(), b.frames, b.frames == 1 ? "" : "s", b.last_t);
    if (b.finding_line) {
      std::fprintf(out, "; open finding (%s)\n", b.finding_where.c_str());
    } else {
      std::fprintf(out, "\n");
      ++breaks;
    }
  }
  if (host_writes_checked_ > 0) {
    std::fprintf(out, "  %d nan or infinity written to the host's values (the first above)\n", host_writes_checked_);
    ++breaks;
  }
  if (problems_seen_ > problems_before_) {
    std::fprintf(out, "  %zu misuse%s of the host's interface (above)\n", problems_seen_ - problems_before_,
                 problems_seen_ - problems_before_ == 1 ? "" : "s");
    ++breaks;
  }
  for (const auto& [from, to] : unjudged_)
    std::fprintf(out, "  LIGHTS NOT JUDGED from %.3f to %.3f s: the annunciators had power and "
                 "zuvadud/D738/annunciator/brightness_level was 0 (set the rheostats "
                 "sim/flightmodel2/lights/generic_lights_brightness_ratio[13], [14] and the sun, or say "
                 "`lights dark REASON`)\n", from, to);
  breaks += unjudged_.size();
  int findings = 0;
  for (const Alert& a : alerts_) findings += a.findings;
  for (const Broken& b : broken_) findings += b.finding_line ? 1 : 0;
  const bool ok = breaks == 0 && unexpected == 0 && missing == 0;
  std::fprintf(out, "invariants: %s: %zu rule break%s, %d unexpected alert%s, %d named alert%s not lit, "
               "%d open finding%s\n",
               ok ? "passed" : "FAILED", breaks, breaks == 1 ? "" : "s", unexpected, unexpected == 1 ? "" : "s",
               missing, missing == 1 ? "" : "s", findings, findings == 1 ? "" : "s");
  return ok;
}

}  // namespace runner
