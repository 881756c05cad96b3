// Scenario files for corvane-sim: one step per line, read completely and
// checked before the first frame runs, so a mistake on line 80 does not
// surface twenty simulated minutes into a run.
//
// The parser knows nothing of the simulated host: it asks `Lookup` whether a
// dataref or command exists and what shape a dataref has, so it can be
// exercised on any input without a loaded module.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace scenario {

// Type flags as the host reports them: 1 int, 2 float, 4 double, 8 float
// array, 16 int array, 32 bytes (combinations allowed).
struct Shape {
  int type = 0;
  int size = 1;          // elements of an array, bytes of byte data, 1 for scalars
  bool settable = true;  // a scenario may write it (the plug-in's read-only values are not)
};

struct Lookup {
  std::function<bool(const std::string& name, Shape* out)> dataref;
  std::function<bool(const std::string& name)> command;
};

enum class Op { Set, Command, Hold, Message, Pause, Replay, Print, Expect, ExpectText, Png, Fly, ScriptsLnav, Date,
                Invariants, Alert, Dt };
enum class Phase { Begin, End, Once };

// A dataref and, for one element of an array, its index (-1: all of it).
struct Ref {
  std::string name;
  int index = -1;
  std::string label() const { return index < 0 ? name : name + "[" + std::to_string(index) + "]"; }
};

struct Step {
  Op op = Op::Set;
  int line = 0;
  long frame = 0;              // frames completed when the step happens
  Ref ref;                     // Set, Expect, ExpectText; Command, Hold and Alert use ref.name
  std::string text;            // Set: the value as written; ExpectText: the text; Png: the file; Alert: the reason
  std::vector<double> values;  // Expect: the expected value(s); Alert: its window in seconds, when
                               // given; Dt: the frame step
  double tolerance = 0;        // Expect
  double until = -1;           // Expect: held after every frame up to this time (s) too
  Phase phase = Phase::Once;   // Command
  long hold_frames = 0;        // Hold: frames until the end phase
  int message = 0;             // Message
  long param = 0;
  long long seconds = 0;       // Date: the calendar time, seconds since 1970 UTC
  bool on = false;             // Pause, Replay, Fly, ScriptsLnav, Invariants; Alert: a finding
  std::vector<Ref> prints;     // Print
};

struct Script {
  std::vector<Step> steps;
  long last_frame = 0;  // the clock after the last line (a trailing `run` counts)
};

// The most frames a scenario may ask for: about four simulated days at 30 per
// second, far beyond any cockpit sequence and still a run that ends.
constexpr long kMaxFrames = 10000000;
constexpr size_t kMaxLineBytes = 65536;

// Parses `text` (the contents of `file`, named in messages). `dt` is the
// frame time, used to turn seconds into frames. On a mistake returns false
// with `error` = "FILE:LINE: message".
bool parse(std::string_view text, const std::string& file, double dt, const Lookup& lookup, Script* out,
           std::string* error);

// Message identifiers known by name; others are given as numbers.
bool message_id(const std::string& word, int* out);

// "YYYY-MM-DD HH:MM:SS" (UTC, years 1970 to 9999) as seconds since 1970;
// false for anything else, an impossible day or time included.
bool calendar_seconds(std::string_view text, long long* out);

}  // namespace scenario
