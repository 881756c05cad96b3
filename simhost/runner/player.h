// Plays a parsed scenario against the simulated host with the plug-in loaded
// and started: steps at their frames, held commands, traces, expectations.
#pragma once

#include <csignal>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "host.h"
#include "invariants.h"
#include "scenario.h"

namespace runner {

// Names and shapes as the running host knows them (the plug-in's own values
// included once it has started). With an add-on catalog, its add-ons too, and
// their datarefs by their catalog shapes while the add-on is absent (a
// scenario may bring it later).
scenario::Lookup host_lookup(const std::string& addon_catalog = std::string());

// The whole of FILE; false with "FILE: message" for a folder or a file that
// cannot be opened or read to its end.
bool read_scenario(const std::string& file, std::string* text, std::string* error);
// Reads FILE and parses it; false with "FILE:LINE: message" (or "FILE: ...").
bool load_scenario(const std::string& file, double dt, scenario::Script* out, std::string* error);

// A "NAME=VALUE" or "NAME[i]=VALUE" assignment checked as a scenario's `set`
// checks it, a text's bytes kept as given; false with "--set: message"
// naming the dataref.
bool parse_set(const std::string& assignment, scenario::Step* out, std::string* error,
               const scenario::Rules& rules = scenario::Rules());
// The dataref an assignment names (the text before '=' and any '[').
std::string set_target(const std::string& assignment);
// Does a parsed `set` step.
void apply_set(const scenario::Step& step);

// A "NAME[,NAME...]" list of trace columns; false with a message when a name
// is unknown or malformed.
bool parse_trace(const std::string& list, std::vector<scenario::Ref>* out, std::string* error);

struct Play {
  std::string file;                    // for messages
  float dt = 1.0f / 30.0f;
  long min_frames = 0;                 // keep running to at least this many frames
  std::vector<scenario::Ref> trace;
  long trace_every = 1;
  std::FILE* trace_out = nullptr;      // null: no trace
  std::FILE* out = stdout;             // print lines
  std::FILE* err = stderr;             // failed expectations
  // Called at each `png` step instead of writing the picture, when set:
  // the frames a picture is taken after are then drawn in feedback mode
  // (their lines in `simhost::captured_lines`), the others unseen, and the
  // run ends in feedback mode.
  std::function<void(const std::string& file)> on_png;
  // The panel must be rendered after the last frame (`--png`).
  bool picture_at_end = false;
  // Checks every published value after every frame while enabled, and ends
  // the run with their summary (null: no checks).
  Invariants* checks = nullptr;
  // Where a `png` step's relative file goes (empty: the working folder).
  std::string out_dir;
  // The add-ons an `addon` step brings or takes away.
  std::string addon_catalog;
  // The airport list whose fields `terrain fields` puts back (empty: flat at 0).
  std::string field_terrain;
  // Set (by a signal handler) to end the flight after the frame under way.
  const volatile std::sig_atomic_t* stop = nullptr;
};

struct Outcome {
  long frames = 0;
  double seconds = 0;
  int expects = 0, failed = 0;
  std::vector<std::string> pictures;   // written, in order
  int picture_errors = 0;
  bool checks_failed = false;          // a rule broke, or an alert lit unnamed
  std::vector<int> active_legs;        // the active leg at each change, from the first frame
  bool stopped = false;                // ended early by `Play::stop`
};

// Plays `script`; frames continue past its last step until held commands are
// released and `min_frames` have run.
Outcome play(const scenario::Script& script, const Play& how);

// The add-on names of the host's catalog, in catalog order.
std::vector<std::string> addon_names(const std::string& catalog);
// Appends the datarefs of add-on `name` ("all": every add-on) to `extra`;
// false when the catalog has no such add-on.
struct AddonEntry {
  std::string addon, name;
  int type = 0, size = 1;
  bool writable = false;
  std::string def;
};
bool addon_entries(const std::string& catalog, const std::string& name, std::vector<AddonEntry>* out);
// The same as the host defines them: add-on `name`, less the names in
// `without`.
std::vector<simhost::CatalogEntry> addon_datarefs(const std::string& catalog, const std::string& name,
                                                  const std::vector<std::string>& without = {});

// `file` in folder `dir` unless it is absolute (or `dir` is empty).
std::string in_folder(const std::string& dir, const std::string& file);

}  // namespace runner
