// Scenario parser: turns the file into a list of timed steps and rejects,
// with the line number, everything that would otherwise fail mid-run.
#include "scenario.h"

#include <algorithm>
#include <cerrno>
#include <cfloat>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <functional>

namespace scenario {
namespace {

constexpr int kFloat = 2, kDouble = 4, kFloatArray = 8, kIntArray = 16, kBytes = 32;

struct Failure {
  std::string message;
};

// A mistake already placed at its file and line (an included file's).
struct Located {
  std::string message;
};

// A piece of the file as it may be quoted in a message: printable, short.
std::string shown(std::string_view s) {
  std::string out;
  for (unsigned char c : s.substr(0, 60)) {
    if (c >= 0x20 && c < 0x7f) {
      out.push_back(static_cast<char>(c));
    } else {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\x%02x", c);
      out += buf;
    }
  }
  if (s.size() > 60) out += "...";
  return "\"" + out + "\"";
}

std::string_view trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

// The next blank-separated word; `s` keeps the rest.
std::string_view word(std::string_view& s) {
  s = trim(s);
  size_t n = 0;
  while (n < s.size() && s[n] != ' ' && s[n] != '\t') ++n;
  std::string_view w = s.substr(0, n);
  s.remove_prefix(n);
  s = trim(s);
  return w;
}

// A finite number; with `any`, also nan, the infinities and numbers beyond
// what a double holds (as strtod gives them).
bool number(std::string_view text, double* out, bool any = false) {
  std::string s(trim(text));
  if (s.empty()) return false;
  errno = 0;
  char* end = nullptr;
  double v = std::strtod(s.c_str(), &end);
  if (end != s.c_str() + s.size()) return false;
  if (!any && (errno == ERANGE || !std::isfinite(v))) return false;
  *out = v;
  return true;
}

bool whole(std::string_view text, long* out) {
  double v = 0;
  if (!number(text, &v) || v != std::floor(v) || v < static_cast<double>(LONG_MIN) / 2 ||
      v > static_cast<double>(LONG_MAX) / 2)
    return false;
  *out = static_cast<long>(v);
  return true;
}

// The byte-order mark of a UTF-16 or UTF-32 text, by name; null for none.
const char* byte_order_mark(std::string_view text) {
  using namespace std::string_view_literals;
  if (text.substr(0, 4) == "\xff\xfe\x00\x00"sv) return "UTF-32 byte-order mark FF FE 00 00";
  if (text.substr(0, 4) == "\x00\x00\xfe\xff"sv) return "UTF-32 byte-order mark 00 00 FE FF";
  if (text.substr(0, 2) == "\xff\xfe"sv) return "UTF-16 byte-order mark FF FE";
  if (text.substr(0, 2) == "\xfe\xff"sv) return "UTF-16 byte-order mark FE FF";
  return nullptr;
}

bool on_off(std::string_view w, bool* out) {
  if (w == "on") return *out = true, true;
  if (w == "off") return *out = false, true;
  return false;
}

// A text value of a `set`: "..." keeps its blanks, with \" for a quote and
// \\ for a backslash; unquoted, the rest of the (trimmed) line.
std::string text_value(std::string_view value) {
  std::string_view v = trim(value);
  if (v.empty() || v.front() != '"') return std::string(value);
  std::string out;
  size_t i = 1;
  for (; i < v.size() && v[i] != '"'; ++i) {
    if (v[i] == '\\' && i + 1 < v.size() && (v[i + 1] == '"' || v[i + 1] == '\\')) ++i;
    out.push_back(v[i]);
  }
  if (i >= v.size()) throw Failure{"a quoted text needs its closing quote"};
  if (!trim(v.substr(i + 1)).empty()) throw Failure{"nothing may follow a quoted text"};
  return out;
}

class Parser {
 public:
  Parser(double dt, const Lookup& lookup, const Rules& rules) : dt_(dt), lookup_(lookup), rules_(rules) {}

  void line(std::string_view s, int number, Script* script);
  // The assignment of a `set`, its value's bytes as `raw` gives them or as
  // the scenario writes them.
  void assignment(std::string_view name, std::string_view value, bool raw, Step* st) const;
  // Gives each expectation held "until" a time its last frame, once the
  // frame steps up to then are known (at a `dt` step and at the end).
  void end_untils(Script* script, bool last);
  long clock() const { return clock_; }
  bool counts_frames() const { return counts_frames_; }

 private:
  long seconds_to_frames(double seconds, const char* what) const;
  long duration(std::string_view w, const char* what) const;
  Shape shape(const std::string& name) const;
  Ref reference(std::string_view text, Shape* out) const;
  std::vector<double> values(std::string_view text, const Ref& ref, const Shape& shape) const;
  void advance(long frames);
  void alert(std::string_view rest, Step* st, bool finding) const;
  void window_and_reason(std::string_view rest, Step* st, const std::string& verb, const std::string& usage) const;
  void traffic(std::string_view rest, Step* st) const;

  long at_seconds(double seconds) const;
  // The scenario's clock in seconds, frame steps changed on the way included.
  double clock_seconds() const { return base_seconds_ + static_cast<double>(clock_ - base_frame_) * dt_; }
  // Seconds can be turned into frames: the frame step is a positive number
  // and the clock a number (a hostile run may have stepped it by nan or an
  // infinity, or not at all).
  bool seconds_clock() const { return dt_ > 0 && std::isfinite(dt_) && std::isfinite(base_seconds_); }

  double dt_;                  // the frame step from base_frame_ on
  const Lookup& lookup_;
  const Rules& rules_;
  std::vector<size_t> untils_;  // steps whose last frame is not yet known
  long clock_ = 0;
  mutable bool counts_frames_ = false;  // a time was given in frames
  long base_frame_ = 0;        // where the frame step last changed
  double base_seconds_ = 0;    // ... and the time there
};

// The frame at which `seconds` of the run have passed, frame steps changed
// on the way included.
long Parser::at_seconds(double seconds) const {
  if (!seconds_clock()) throw Failure{"at in seconds needs a positive --dt"};
  if (seconds < base_seconds_) return base_frame_ - 1;  // earlier than the clock: the caller says so
  const double f = static_cast<double>(base_frame_) + std::ceil((seconds - base_seconds_) / dt_ - 1e-6);
  if (f > static_cast<double>(kMaxFrames)) throw Failure{"at goes beyond the longest run"};
  return static_cast<long>(f);
}

long Parser::seconds_to_frames(double seconds, const char* what) const {
  if (!seconds_clock()) throw Failure{std::string(what) + " in seconds needs a positive --dt"};
  if (seconds < 0) throw Failure{std::string(what) + " needs a time of 0 or more"};
  // A hair below the exact quotient so 12.5 s at 1/30 s lands on frame 375.
  double f = std::ceil(seconds / dt_ - 1e-6);
  if (f > static_cast<double>(kMaxFrames)) throw Failure{std::string(what) + " goes beyond the longest run"};
  return static_cast<long>(f);
}

// "N" frames or "Ss" seconds.
long Parser::duration(std::string_view w, const char* what) const {
  if (!w.empty() && w.back() == 's') {
    double v = 0;
    if (!number(w.substr(0, w.size() - 1), &v)) throw Failure{std::string(what) + " needs N or Ss, not " + shown(w)};
    return seconds_to_frames(v, what);
  }
  long v = 0;
  if (!whole(w, &v)) throw Failure{std::string(what) + " needs N or Ss, not " + shown(w)};
  if (v < 0 || v > kMaxFrames) throw Failure{std::string(what) + " is out of range: " + shown(w)};
  counts_frames_ = true;
  return v;
}

void Parser::advance(long frames) {
  if (frames > kMaxFrames - clock_) throw Failure{"the scenario goes beyond the longest run"};
  clock_ += frames;
}

Shape Parser::shape(const std::string& name) const {
  Shape s;
  if (name.empty()) throw Failure{"a dataref name is missing"};
  if (!lookup_.dataref || !lookup_.dataref(name, &s)) throw Failure{"no dataref " + shown(name)};
  return s;
}

// NAME or NAME[i].
Ref Parser::reference(std::string_view text, Shape* out) const {
  Ref r;
  size_t open = text.find('[');
  if (open == std::string_view::npos) {
    r.name = std::string(text);
    *out = shape(r.name);
    return r;
  }
  if (text.back() != ']') throw Failure{"malformed element " + shown(text)};
  r.name = std::string(text.substr(0, open));
  *out = shape(r.name);
  long i = 0;
  if (!whole(text.substr(open + 1, text.size() - open - 2), &i)) throw Failure{"malformed index in " + shown(text)};
  if (!(out->type & (kFloatArray | kIntArray))) throw Failure{r.name + " is not an array"};
  if (i < 0 || i >= out->size)
    throw Failure{"index " + std::to_string(i) + " is outside " + r.name + " (" + std::to_string(out->size) +
                  " elements)"};
  r.index = static_cast<int>(i);
  return r;
}

// The numbers of a value for `ref`: one for a scalar or an element, a comma
// list of at most the array's length for a whole array.
std::vector<double> Parser::values(std::string_view text, const Ref& ref, const Shape& s) const {
  const bool array = (s.type & (kFloatArray | kIntArray)) != 0;
  const bool ints = array ? (s.type & kIntArray) && !(s.type & kFloatArray) : (s.type & (kFloat | kDouble)) == 0;
  std::vector<double> out;
  std::string_view rest = text;
  for (;;) {
    size_t comma = rest.find(',');
    std::string_view part = rest.substr(0, comma);
    double v = 0;
    if (!number(part, &v, rules_.hostile))
      throw Failure{shown(trim(part)) + " is not a number for " + ref.label()};
    // Hostile: beyond the type's range is kept as the type holds it (an int
    // stops at its end, a float overflows to an infinity); an int holds no
    // nan and no fraction all the same.
    const bool beyond = std::isinf(v) || v < INT_MIN || v > INT_MAX;
    if (ints && (std::isnan(v) || (!std::isinf(v) && v != std::floor(v)) || (beyond && !rules_.hostile)))
      throw Failure{shown(trim(part)) + " is not a whole number for " + ref.label()};
    if (!ints && !(s.type & kDouble) && std::fabs(v) > 3.4e38 && !rules_.hostile)
      throw Failure{shown(trim(part)) + " does not fit a float for " + ref.label()};
    out.push_back(v);
    if (comma == std::string_view::npos) break;
    rest.remove_prefix(comma + 1);
  }
  if (out.size() > 1 && (!array || ref.index >= 0)) throw Failure{ref.label() + " takes one value"};
  if (array && static_cast<long>(out.size()) > s.size)
    throw Failure{std::to_string(out.size()) + " values for " + ref.label() + " of " + std::to_string(s.size)};
  return out;
}

// [optional] NAME [FROMs..[TOs]] REASON: a caution or warning the scenario
// expects, with why; NAME may hold '*' and '?'. The window is in seconds of
// the run, whatever the frame step; without one it is the whole run. The
// light must come on in it, unless it is optional. A finding names
// instead a caution, warning or broken rule that is a known fault waiting
// for a decision: reported as such, not as expected.
void Parser::alert(std::string_view rest, Step* st, bool finding) const {
  const std::string verb = finding ? "finding" : "alert";
  st->op = Op::Alert;
  st->on = finding;
  st->ref.name = std::string(word(rest));
  // "alert optional ...": a light that may come in its window, or not.
  if (!finding && st->ref.name == "optional") {
    st->optional = true;
    st->ref.name = std::string(word(rest));
  }
  const std::string usage = verb + " needs NAME [FROMs..[TOs]] REASON";
  if (st->ref.name.empty()) throw Failure{usage};
  window_and_reason(rest, st, verb, usage);
}

// [FROMs..[TOs]] REASON, the window in seconds of the run.
void Parser::window_and_reason(std::string_view rest, Step* st, const std::string& verb,
                               const std::string& usage) const {
  std::string_view after = rest;
  std::string_view window = word(after);
  const size_t dots = window.find("..");
  if (dots != std::string_view::npos) {
    auto seconds = [&](std::string_view w, double* out) {
      return w.size() > 1 && w.back() == 's' && number(w.substr(0, w.size() - 1), out) && *out >= 0;
    };
    double from = 0, to = 0;
    std::string_view end = window.substr(dots + 2);
    if (!seconds(window.substr(0, dots), &from) || (!end.empty() && (!seconds(end, &to) || to < from)))
      throw Failure{verb + "'s window is FROMs..TOs, from 0 s on and not ending before it starts"};
    st->values = {from};
    if (!end.empty()) st->values.push_back(to);
    rest = after;
  }
  st->text = std::string(trim(rest));
  if (st->text.empty()) throw Failure{usage};
}

// N LAT LON ELEVATION_M TRACK_DEG SPEED_MPS VS_MPS, or N off: a target of
// the host's traffic placed in slot N, flying on by itself, or removed.
void Parser::traffic(std::string_view rest, Step* st) const {
  const std::string usage = "traffic needs N LAT LON ELEVATION_M TRACK_DEG SPEED_MPS VS_MPS, or N off";
  st->op = Op::Traffic;
  if (!whole(word(rest), &st->param)) throw Failure{usage};
  if (st->param < 1 || st->param > kTrafficSlots)
    throw Failure{"traffic's slot is 1 to " + std::to_string(kTrafficSlots) + ", not " + std::to_string(st->param)};
  if (rest == "off") return;
  // What each number is, and the range the host takes it in.
  struct Field {
    const char* name;
    double low, high;
  };
  constexpr Field kFields[] = {{"latitude", -90, 90},          {"longitude", -180, 180},
                               {"elevation (m)", -2000, 80000}, {"track (degrees)", 0, 360},
                               {"speed (m/s)", 0, 1000},        {"vertical speed (m/s)", -1000, 1000}};
  for (const Field& f : kFields) {
    const std::string_view w = word(rest);
    if (w.empty()) throw Failure{usage};
    double v = 0;
    if (!number(w, &v)) throw Failure{"traffic's " + std::string(f.name) + " " + shown(w) + " is not a number"};
    if (v < f.low || v > f.high) {
      char range[64];
      std::snprintf(range, sizeof range, " is outside %g..%g", f.low, f.high);
      throw Failure{"traffic's " + std::string(f.name) + " " + shown(w) + range};
    }
    st->values.push_back(v);
  }
  if (!rest.empty()) throw Failure{usage};
  st->on = true;
}

void Parser::assignment(std::string_view name, std::string_view value, bool raw, Step* st) const {
  Shape sh;
  st->op = Op::Set;
  st->ref = reference(trim(name), &sh);
  if (!sh.settable) throw Failure{st->ref.name + " is read-only"};
  if (sh.type & kBytes) {
    st->text = raw ? std::string(value) : text_value(value);
    if (static_cast<long>(st->text.size()) > sh.size)
      throw Failure{"text of " + std::to_string(st->text.size()) + " bytes for " + st->ref.name + " of " +
                    std::to_string(sh.size)};
  } else {
    st->values = values(value, st->ref, sh);
    st->text = std::string(value);
  }
}

void Parser::end_untils(Script* script, bool last) {
  for (size_t k = 0; k < untils_.size();) {
    Step& st = script->steps[untils_[k]];
    // The last frame whose time is at most the one written, on the frame
    // step in force; one the clock never reaches (a step of 0 or less, in a
    // hostile run) holds to the end of the run.
    constexpr double kNever = kMaxFrames * 2.0;
    double f = kNever;
    if (seconds_clock())
      f = static_cast<double>(base_frame_) + std::floor((st.until - base_seconds_) / dt_ + 1e-6);
    if (!(f >= 0 && f <= kNever)) f = kNever;
    if (!last && !(f <= static_cast<double>(clock_))) {
      ++k;
      continue;
    }
    st.until_frame = static_cast<long>(f);
    untils_.erase(untils_.begin() + static_cast<long>(k));
  }
}

void Parser::line(std::string_view s, int line_number, Script* script) {
  s = trim(s);
  if (s.empty() || s.front() == '#') return;
  std::string_view rest = s;
  std::string_view verb = word(rest);
  if (verb == "at") {
    std::string_view when = word(rest);
    long target = 0;
    if (!when.empty() && when.back() == 's') {
      double v = 0;
      if (!number(when.substr(0, when.size() - 1), &v) || v < 0)
        throw Failure{"at needs a frame number from 1 or a time Ss"};
      target = at_seconds(v);
    } else {
      long n = 0;
      if (!whole(when, &n) || n < 1 || n > kMaxFrames) throw Failure{"at needs a frame number from 1 or a time Ss"};
      target = n - 1;
      counts_frames_ = true;
    }
    if (target < clock_)
      throw Failure{"at " + std::string(when) + " is earlier than the scenario's clock (frame " +
                    std::to_string(clock_ + 1) + ")"};
    clock_ = target;
    if (rest.empty()) return;
    verb = word(rest);
  }
  Step st;
  st.line = line_number;
  st.frame = clock_;
  if (verb == "set") {
    // The value runs to the end of the line: texts may hold blanks and '='.
    size_t eq = rest.find('=');
    if (eq == std::string_view::npos) throw Failure{"set needs NAME=VALUE"};
    assignment(rest.substr(0, eq), rest.substr(eq + 1), false, &st);
  } else if (verb == "command") {
    st.op = Op::Command;
    st.ref.name = std::string(word(rest));
    std::string_view ph = word(rest);
    if (st.ref.name.empty() || !rest.empty()) throw Failure{"command needs NAME begin|end|once"};
    if (ph == "begin") {
      st.phase = Phase::Begin;
    } else if (ph == "end") {
      st.phase = Phase::End;
    } else if (ph == "once") {
      st.phase = Phase::Once;
    } else {
      throw Failure{"command needs NAME begin|end|once"};
    }
    if (!lookup_.command || !lookup_.command(st.ref.name)) throw Failure{"no command " + shown(st.ref.name)};
  } else if (verb == "hold") {
    st.op = Op::Hold;
    st.ref.name = std::string(word(rest));
    std::string_view secs = word(rest);
    double v = 0;
    if (st.ref.name.empty() || !rest.empty() || !number(secs, &v)) throw Failure{"hold needs NAME SECONDS"};
    if (!lookup_.command || !lookup_.command(st.ref.name)) throw Failure{"no command " + shown(st.ref.name)};
    st.hold_frames = std::max(1L, seconds_to_frames(v, "hold"));
  } else if (verb == "message") {
    st.op = Op::Message;
    std::string id(word(rest));
    long v = 0;
    if (message_id(id, &st.message)) {
    } else if (whole(id, &v) && v >= INT_MIN && v <= INT_MAX) {
      st.message = static_cast<int>(v);
    } else {
      throw Failure{"message needs an identifier (a number, plane-loaded or airport-loaded)"};
    }
    if (!rest.empty()) {
      std::string_view p = word(rest);
      if (!whole(p, &st.param) || st.param < 0 || !rest.empty()) throw Failure{"message PARAM is a whole number"};
    }
  } else if (verb == "pause" || verb == "replay" || verb == "fly" || verb == "invariants") {
    st.op = verb == "pause" ? Op::Pause : verb == "replay" ? Op::Replay : verb == "fly" ? Op::Fly : Op::Invariants;
    if (!on_off(word(rest), &st.on) || !rest.empty()) throw Failure{std::string(verb) + " needs on or off"};
  } else if (verb == "plugin") {
    // The host's plug-in manager switches the module off and on again.
    st.op = Op::Plugin;
    const std::string_view what = word(rest);
    if ((what != "enable" && what != "disable") || !rest.empty()) throw Failure{"plugin needs enable or disable"};
    st.on = what == "enable";
  } else if (verb == "aircraft") {
    // The user loads another aircraft file of the folder mid-run.
    st.op = Op::Aircraft;
    st.text = std::string(word(rest));
    if (st.text.empty() || !rest.empty()) throw Failure{"aircraft needs the file's name"};
    if (!lookup_.aircraft || !lookup_.aircraft(st.text))
      throw Failure{"no aircraft file " + shown(st.text) + " in the aircraft folder"};
  } else if (verb == "scripts") {
    st.op = Op::ScriptsLnav;
    if (word(rest) != "lnav" || !on_off(word(rest), &st.on) || !rest.empty())
      throw Failure{"scripts needs lnav on or lnav off"};
  } else if (verb == "alert" || verb == "finding") {
    alert(rest, &st, verb == "finding");
  } else if (verb == "lights") {
    // The annunciators dark on purpose (a night flight with the rheostats
    // down): the checks then do not ask for lights they can judge.
    const std::string usage = "lights needs dark [FROMs..[TOs]] REASON";
    if (word(rest) != "dark") throw Failure{usage};
    st.op = Op::LightsDark;
    window_and_reason(rest, &st, "lights dark", usage);
  } else if (verb == "dt") {
    // The frame step from here on; times in seconds count it from here.
    double v = 0;
    if (!frame_step(word(rest), rules_, &v) || !rest.empty())
      throw Failure{"dt needs the frame step in seconds, above 0 and at most 1"};
    st.op = Op::Dt;
    st.values = {v};
    end_untils(script, false);
    base_seconds_ = clock_seconds();
    base_frame_ = clock_;
    dt_ = v;
  } else if (verb == "print") {
    st.op = Op::Print;
    while (!rest.empty()) {
      Shape sh;
      st.prints.push_back(reference(word(rest), &sh));
    }
    if (st.prints.empty()) throw Failure{"print needs a dataref name"};
  } else if (verb == "expect") {
    size_t op = rest.find_first_of("=~");
    if (op == std::string_view::npos) throw Failure{"expect needs NAME=VALUE [tolerance] or NAME~TEXT"};
    // The host's log, from the start to now, holds the text (log~), or does
    // not (log!~).
    const std::string_view subject = trim(rest.substr(0, op));
    if (subject == "log" || subject == "log!") {
      if (rest[op] != '~') throw Failure{"the log is a text: expect log~TEXT"};
      st.op = Op::ExpectLog;
      st.absent = subject == "log!";
      st.text = std::string(rest.substr(op + 1));
      if (st.text.empty()) throw Failure{"expect log~TEXT needs a text"};
      script->steps.push_back(std::move(st));
      return;
    }
    Shape sh;
    st.ref = reference(trim(rest.substr(0, op)), &sh);
    std::string_view value = rest.substr(op + 1);
    if (rest[op] == '~') {
      if (!(sh.type & kBytes)) throw Failure{"~ compares texts; " + st.ref.name + " holds numbers"};
      st.op = Op::ExpectText;
      st.text = std::string(value);
    } else {
      if (sh.type & kBytes) throw Failure{st.ref.name + " holds text: use NAME~TEXT"};
      st.op = Op::Expect;
      std::string_view v = word(value);
      st.values = values(v, st.ref, sh);
      if (!value.empty() && value.substr(0, 6) != "until ") {
        std::string_view tol = word(value);
        if (!number(tol, &st.tolerance) || st.tolerance < 0)
          throw Failure{"expect's tolerance is a number of 0 or more"};
      }
      // "until Ss": held after every frame from here to then.
      if (!value.empty()) {
        double until = 0;
        std::string_view kw = word(value), when = word(value);
        if (kw != "until" || when.size() < 2 || when.back() != 's' || !value.empty() ||
            !number(when.substr(0, when.size() - 1), &until))
          throw Failure{"expect NAME=VALUE [TOLERANCE] [until Ss]"};
        // Kept in seconds: the frame step may change before then.
        if (!(until > clock_seconds()))
          throw Failure{"expect's until is not later than the scenario's clock"};
        st.until = until;
        untils_.push_back(script->steps.size());
      }
    }
  } else if (verb == "addon") {
    // An optional add-on's plug-in comes or goes, with all its datarefs or
    // without some (a partial or older add-on).
    st.op = Op::Addon;
    st.ref.name = std::string(word(rest));
    std::vector<std::string> names;
    if (st.ref.name.empty() || !on_off(word(rest), &st.on))
      throw Failure{"addon needs NAME on|off [without DATAREF[,DATAREF...]]"};
    if (!lookup_.addon || !lookup_.addon(st.ref.name, &names)) throw Failure{"no add-on " + shown(st.ref.name)};
    if (!rest.empty()) {
      std::string_view list = rest;
      if (word(list) != "without" || list.empty() || !st.on)
        throw Failure{"addon needs NAME on|off [without DATAREF[,DATAREF...]]"};
      for (;;) {
        const size_t comma = list.find(',');
        const std::string name(trim(list.substr(0, comma)));
        if (std::find(names.begin(), names.end(), name) == names.end())
          throw Failure{shown(name) + " is no dataref of the add-on " + st.ref.name};
        st.prints.push_back(Ref{name, -1});
        if (comma == std::string_view::npos) break;
        list.remove_prefix(comma + 1);
      }
    }
  } else if (verb == "terrain") {
    // The ground's height under the aircraft: one height everywhere (m), or
    // the fields' own again.
    st.op = Op::Terrain;
    std::string_view w = word(rest);
    double v = 0;
    if (w == "fields") {
    } else if (number(w, &v) && std::fabs(v) <= 20000.0) {
      st.values = {v};
    } else {
      throw Failure{"terrain needs a height in metres (-20000 to 20000) or fields"};
    }
    if (!rest.empty()) throw Failure{"terrain needs a height in metres (-20000 to 20000) or fields"};
  } else if (verb == "traffic") {
    traffic(rest, &st);
  } else if (verb == "date") {
    st.op = Op::Date;
    if (!calendar_seconds(rest, &st.seconds)) throw Failure{"date needs YYYY-MM-DD HH:MM:SS (UTC)"};
  } else if (verb == "png") {
    st.op = Op::Png;
    st.text = std::string(trim(rest));
    if (st.text.empty()) throw Failure{"png needs a file name"};
  } else if (verb == "include") {
    throw Failure{"include stands on a line of its own"};
  } else if (verb == "run") {
    std::string_view n = word(rest);
    if (n.empty() || !rest.empty()) throw Failure{"run needs N or Ss"};
    advance(duration(n, "run"));
    return;
  } else {
    throw Failure{"unknown step " + shown(verb)};
  }
  script->steps.push_back(std::move(st));
}


// A file's path as the include steps' paths are compared.
std::string normal(const std::string& file) {
  try {
    return std::filesystem::path(file).lexically_normal().generic_string();
  } catch (const std::exception&) {
    return file;
  }
}

// The path an include step names: relative to the including file's folder.
std::string included_path(const std::string& from, std::string_view name) {
  namespace fs = std::filesystem;
  try {
    fs::path p{std::string(name)};
    if (p.is_relative()) p = fs::path(from).parent_path() / p;
    return p.lexically_normal().generic_string();
  } catch (const std::exception&) {
    throw Failure{"include: " + shown(name) + " is no path"};
  }
}

// Hands every line of `text`, the contents of `file`, to `each` (the line,
// its number, the file), an included file's lines in place of its include
// step; false once `each` has asked to stop. `chain` holds the files being
// read, the scenario first, so a file that includes itself, directly or not,
// is refused rather than read for ever; and how many files were included,
// so that files including each other in breadth end too.
using Each = std::function<bool(std::string_view line, int number, const std::string& file)>;

struct Chain {
  std::vector<std::string> files;  // being read, the scenario first
  int reads = 0;                   // included files read so far
};

bool walk(std::string_view text, const std::string& file, const Lookup& lookup, Chain* chain, const Each& each) {
  size_t pos = 0;
  // An editor's UTF-8 byte-order mark is no part of the first line; a file
  // in UTF-16 or UTF-32 is not one the parser can read.
  if (text.substr(0, 3) == "\xef\xbb\xbf") {
    pos = 3;
  } else if (const char* mark = byte_order_mark(text)) {
    throw Located{file + ":1: starts with the " + mark + ": save the scenario as UTF-8 or ASCII"};
  }
  int number = 0;
  while (pos < text.size()) {
    size_t end = text.find('\n', pos);
    if (end == std::string_view::npos) end = text.size();
    std::string_view ln = text.substr(pos, end - pos);
    pos = end + 1;
    ++number;
    if (!ln.empty() && ln.back() == '\r') ln.remove_suffix(1);
    std::string inner, path;
    try {
      if (ln.size() > kMaxLineBytes)
        throw Failure{"line of " + std::to_string(ln.size()) + " bytes (at most " + std::to_string(kMaxLineBytes) +
                      ")"};
      for (unsigned char c : ln)
        if (c < 0x20 && c != '\t') throw Failure{"control character in the line: not a text file?"};
      std::string_view rest = trim(ln);
      if (word(rest) != "include") {
        if (!each(ln, number, file)) return false;
        continue;
      }
      if (rest.empty()) throw Failure{"include needs a file name"};
      if (!lookup.read) throw Failure{"include: no file can be read here"};
      path = included_path(file, rest);
      for (const std::string& f : chain->files)
        if (f == path) throw Failure{"include " + path + ": an include loop, " + f + " is being read"};
      if (static_cast<int>(chain->files.size()) > kMaxIncludeDepth)
        throw Failure{"include " + path + ": included files nest deeper than " + std::to_string(kMaxIncludeDepth)};
      if (++chain->reads > kMaxIncludes)
        throw Failure{"include " + path + ": more than " + std::to_string(kMaxIncludes) + " files included"};
      std::string error;
      if (!lookup.read(path, &inner, &error)) throw Failure{"include: " + error};
    } catch (const Failure& f) {
      throw Located{file + ":" + std::to_string(number) + ": " + f.message};
    }
    chain->files.push_back(path);
    try {
      if (!walk(inner, path, lookup, chain, each)) return false;
    } catch (const Located& l) {
      throw Located{l.message + " (included from " + file + ":" + std::to_string(number) + ")"};
    }
    chain->files.pop_back();
  }
  return true;
}

}  // namespace

std::string where(const Step& step, const std::string& scenario) {
  return (step.file.empty() ? scenario : step.file) + ":" + std::to_string(step.line);
}

std::string line_of(const Step& step) {
  return "line " + std::to_string(step.line) + (step.file.empty() ? "" : " of " + step.file);
}

bool message_id(const std::string& word, int* out) {
  // The host's message numbers for a (re)loaded aircraft and a loaded
  // airport, the latter also sent when a situation is restored.
  if (word == "plane-loaded") return *out = 102, true;
  if (word == "airport-loaded") return *out = 103, true;
  return false;
}

bool calendar_seconds(std::string_view text, long long* out) {
  // Fixed places: digits where digits go, the separators between them.
  const std::string_view form = "dddd-dd-dd dd:dd:dd";
  text = trim(text);
  if (text.size() != form.size()) return false;
  long long field[6] = {0, 0, 0, 0, 0, 0};
  int k = 0;
  for (size_t i = 0; i < form.size(); ++i) {
    const char c = text[i];
    if (form[i] != 'd') {
      if (c != form[i]) return false;
      ++k;
      continue;
    }
    if (c < '0' || c > '9') return false;
    field[k] = field[k] * 10 + (c - '0');
  }
  const long long y = field[0], m = field[1], d = field[2];
  const bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
  const int month_days[12] = {31, leap ? 29 : 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (y < 1970 || m < 1 || m > 12 || d < 1 || d > month_days[m - 1] || field[3] > 23 || field[4] > 59 ||
      field[5] > 59)
    return false;
  // Days since 1970-01-01 of the civil date (the proleptic Gregorian calendar).
  const long long yy = m <= 2 ? y - 1 : y;
  const long long era = yy / 400;
  const long long yoe = yy - era * 400;
  const long long doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
  const long long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  const long long days = era * 146097 + doe - 719468;
  *out = days * 86400 + field[3] * 3600 + field[4] * 60 + field[5];
  return true;
}

double as_float(double v) {
  if (v > FLT_MAX) return HUGE_VAL;
  if (v < -FLT_MAX) return -HUGE_VAL;
  return static_cast<double>(static_cast<float>(v));
}

int as_int(double v) {
  if (!(v > INT_MIN)) return INT_MIN;  // nan too: an int holds none
  if (v >= INT_MAX) return INT_MAX;
  return static_cast<int>(v);
}

bool frame_step(std::string_view text, const Rules& rules, double* out) {
  double v = 0;
  // "1/N": the step of N frames a second, as exactly as a number holds it.
  const size_t slash = text.find('/');
  if (slash != std::string_view::npos) {
    long n = 0;
    if (trim(text.substr(0, slash)) != "1" || !whole(text.substr(slash + 1), &n) || n < 1) return false;
    *out = 1.0 / static_cast<double>(n);
    return true;
  }
  if (rules.hostile) {
    if (!number(text, &v, true)) return false;
    *out = as_float(v);
    return true;
  }
  if (!number(text, &v) || !(v > 0) || v > 1) return false;
  *out = v;
  return true;
}

bool parse_assignment(std::string_view name, std::string_view value, const Lookup& lookup, Step* out,
                      std::string* error, const Rules& rules) {
  Parser parser(1.0, lookup, rules);
  try {
    Step st;
    parser.assignment(name, value, true, &st);
    *out = std::move(st);
    return true;
  } catch (const Failure& f) {
    if (error) *error = "--set: " + f.message;
    return false;
  }
}

std::vector<Step> start_addons(std::string_view text, const std::string& file, const Lookup& lookup) {
  std::vector<Step> out;
  const Rules rules;
  Parser parser(1.0, lookup, rules);
  Script script;
  Chain chain;
  chain.files.push_back(normal(file));
  try {
    walk(text, file, lookup, &chain, [&](std::string_view ln, int, const std::string&) {
      std::string_view rest = trim(ln);
      const std::string_view verb = word(rest);
      if (verb == "at" || verb == "run") return false;
      if (verb != "addon") return true;
      try {
        parser.line(ln, 0, &script);
      } catch (const Failure&) {
      }
      return true;
    });
  } catch (const Located&) {
  }
  for (Step& st : script.steps)
    if (st.on) out.push_back(std::move(st));
  return out;
}

bool parse(std::string_view text, const std::string& file, double dt, const Lookup& lookup, Script* out,
           std::string* error, const Rules& rules) {
  Parser parser(dt, lookup, rules);
  Script script;
  Chain chain;
  chain.files.push_back(normal(file));
  try {
    walk(text, file, lookup, &chain, [&](std::string_view ln, int number, const std::string& in) {
      const size_t before = script.steps.size();
      try {
        parser.line(ln, number, &script);
      } catch (const Failure& f) {
        throw Located{in + ":" + std::to_string(number) + ": " + f.message};
      }
      if (chain.files.size() > 1)
        for (size_t k = before; k < script.steps.size(); ++k) script.steps[k].file = in;
      return true;
    });
  } catch (const Located& l) {
    if (error) *error = l.message;
    return false;
  }
  parser.end_untils(&script, true);
  script.last_frame = parser.clock();
  script.counts_frames = parser.counts_frames();
  *out = std::move(script);
  return true;
}

}  // namespace scenario
