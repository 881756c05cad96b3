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
  // The datarefs of an optional add-on the runner can make present or
  // absent; false for a name that is no add-on. Null: no add-ons.
  std::function<bool(const std::string& addon, std::vector<std::string>* datarefs)> addon;
  // The text of a file an `include` step names (its path as the step gives
  // it, made relative to the including file); false with a message naming
  // the file. Null: no file can be included.
  std::function<bool(const std::string& path, std::string* text, std::string* error)> read;
  // Whether an `aircraft` step's file can be loaded: a file of the aircraft
  // folder. Null: no aircraft can be changed.
  std::function<bool(const std::string& file)> aircraft;
};

// How values are taken. A hostile run plays what a misbehaving host or
// script could hand the plug-in: nan, infinities, numbers beyond what the
// dataref's type holds (kept as the type holds them: a float overflows to an
// infinity, an int stops at its end) and zero or negative frame steps.
struct Rules {
  bool hostile = false;
};

enum class Op { Set, Command, Hold, Message, Pause, Replay, Print, Expect, ExpectText, ExpectLog, Png, Fly, ScriptsLnav,
                Date, Invariants, Alert, LightsDark, Dt, Addon, Terrain, Traffic, Plugin, Aircraft };
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
  std::string file;            // the included file the step was written in; empty: the scenario itself
  long frame = 0;              // frames completed when the step happens
  Ref ref;                     // Set, Expect, ExpectText; Command, Hold, Alert and Addon use ref.name
  std::string text;            // Set: the value's bytes; ExpectText, ExpectLog: the text; Png, Aircraft: the file;
                               // Alert, LightsDark: the reason
  std::vector<double> values;  // Set: the numbers; Expect: the expected value(s); Alert, LightsDark: its
                               // window in seconds, when given; Dt: the frame step; Terrain: the height (m), none
                               // for the fields' own; Traffic: latitude, longitude, elevation (m), track
                               // (degrees true), speed (m/s) and vertical speed (m/s), none to remove
  double tolerance = 0;        // Expect
  double until = -1;           // Expect: held after every frame up to this time (s) too, as written
  long until_frame = -1;       // ... the last frame held, on the scenario's clock (-1: checked once)
  Phase phase = Phase::Once;   // Command
  long hold_frames = 0;        // Hold: frames until the end phase
  int message = 0;             // Message
  long param = 0;              // Message; Traffic: the target's slot
  long long seconds = 0;       // Date: the calendar time, seconds since 1970 UTC
  bool on = false;             // Pause, Replay, Fly, ScriptsLnav, Invariants, Addon, Plugin (enabled); Alert: a finding
  bool optional = false;       // Alert: may light in its window, or not
  bool absent = false;         // ExpectLog: the log must not hold the text
  std::vector<Ref> prints;     // Print; Addon: the add-on's datarefs left out
};

struct Script {
  std::vector<Step> steps;
  long last_frame = 0;    // the clock after the last line (a trailing `run` counts)
  bool counts_frames = false;  // some time is a frame number or count (`at N`, `run N`), not seconds
};

// Where a step was written, for messages: "FILE:LINE", FILE the included
// file or else `scenario`; and "line N" or "line N of FILE" in the checks'
// reports.
std::string where(const Step& step, const std::string& scenario);
std::string line_of(const Step& step);

// Included files nest at most this deep (an include loop stops sooner), and
// a scenario includes at most this many in all.
constexpr int kMaxIncludeDepth = 8;
constexpr int kMaxIncludes = 1000;

// The most frames a scenario may ask for: about four simulated days at 30 per
// second, far beyond any cockpit sequence and still a run that ends.
constexpr long kMaxFrames = 10000000;
constexpr size_t kMaxLineBytes = 65536;
// The host's traffic slots (simhost::kTrafficSlots): 1 to 63.
constexpr long kTrafficSlots = 63;

// Parses `text` (the contents of `file`, named in messages). `dt` is the
// frame time, used to turn seconds into frames. `include PATH` reads PATH,
// relative to the including file's folder, through `lookup.read`, and parses
// its lines in the step's place, on the same clock. On a mistake returns
// false with `error` = "FILE:LINE: message", FILE the file the line is in
// (an included one followed by "(included from FILE:LINE)").
bool parse(std::string_view text, const std::string& file, double dt, const Lookup& lookup, Script* out,
           std::string* error, const Rules& rules = Rules());

// The `addon NAME on` steps before the scenario's clock first moves (before
// its first `at` or `run`): add-ons present from the start, which the
// runner defines before the plug-in starts, as add-ons load before it. Lines
// that do not parse are left to `parse`. Included files are read as `parse`
// reads them.
std::vector<Step> start_addons(std::string_view text, const std::string& file, const Lookup& lookup);

// One `set` of NAME (or NAME[i]) to VALUE, the value's bytes taken exactly as
// given (no quotes, blanks kept): what the runner's --set does. False with
// "--set: message" naming the dataref.
bool parse_assignment(std::string_view name, std::string_view value, const Lookup& lookup, Step* out,
                      std::string* error, const Rules& rules = Rules());

// A number as a float holds it (beyond its range an infinity), and as an int
// holds it (beyond its range its end; nan as INT_MIN, as a processor gives
// it), without the undefined conversions.
double as_float(double v);
int as_int(double v);

// A frame step as `dt` and --dt take it: above 0 and at most 1 s, or in a
// hostile run any number a float holds (nan, infinities, 0, negative); or
// "1/N", N frames a second.
bool frame_step(std::string_view text, const Rules& rules, double* out);

// Message identifiers known by name; others are given as numbers.
bool message_id(const std::string& word, int* out);

// "YYYY-MM-DD HH:MM:SS" (UTC, years 1970 to 9999) as seconds since 1970;
// false for anything else, an impossible day or time included.
bool calendar_seconds(std::string_view text, long long* out);

}  // namespace scenario
