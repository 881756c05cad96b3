// corvane-sim: loads the built plug-in into the simulated host, runs frames
// or plays a scenario, and reports what it registered, values, traces, the
// host log and the panel image.
#include "fly.h"
#include "host.h"
#include "os.h"
#include "player.h"
#include "scripts_lnav.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#ifndef CORVANE_MODULE_PATH
#define CORVANE_MODULE_PATH "aircraft/plugins/corvane/64/lin.xpl"
#endif
#ifndef CORVANE_SAMPLE_ROOT
#define CORVANE_SAMPLE_ROOT "sample/root/"
#endif
#ifndef CORVANE_ADDON_CATALOG
#define CORVANE_ADDON_CATALOG "simhost/catalog/addons.tsv"
#endif
#ifndef CORVANE_CATALOG_DIR
#define CORVANE_CATALOG_DIR "simhost/catalog/"
#endif
#ifndef CORVANE_TRAVEL_TABLE
#define CORVANE_TRAVEL_TABLE "tools/travels.tsv"
#endif

namespace {

const char* const kUsage =
    "usage: corvane-sim [options]\n"
    "  --root DIR            host folder (default: a copy of the bundled sample root, kept when written to)\n"
    "  --aircraft REL        aircraft folder relative to the root (default Aircraft/D738/)\n"
    "  --acf NAME            aircraft file name (default 737_80NG.acf): a file of the aircraft folder, a\n"
    "                        product name or a generic name (below; either is put into the copy of the\n"
    "                        sample root)\n"
    "  --host-version N      sim/version/xplane_internal_version (default 120000)\n"
    "  --module PATH         plug-in module (default: the build's lin.xpl; one inside the root is reported\n"
    "                        where it is, one from elsewhere as installed in the aircraft's folder)\n"
    "  --frames N            frames to run (default 1; at most 10000000)\n"
    "  --dt SECONDS          elapsed time per frame (default 1/30; above 0 and at most 1)\n"
    "  --set NAME=VALUE      set a dataref before the first frame (arrays: comma list; bytes: the text as given)\n"
    "  --print NAME          print NAME=VALUE after the last frame\n"
    "  --log                 print the captured host log, start to unload\n"
    "  --list-datarefs       every dataref the plug-in registered: name type writable size\n"
    "  --list-commands       every command the plug-in created: name<TAB>description\n"
    "  --png FILE            write the panel buffer after the last frame as a PNG (the lit 3-D panel pass\n"
    "                        unless sim/graphics/view/panel_render_type is set; blank without bus power,\n"
    "                        in the displays' power-up test of the first seconds, or in another pass)\n"
    "  --dataref-editor      the DataRefEditor plug-in is present\n"
    "  --problems            print the host's record of interface misuse\n"
    "  --scenario FILE       play a scenario file (steps, times, expects: see simhost/README.md)\n"
    "  --trace NAME[,NAME]   CSV of values after each traced frame (arrays as NAME[i] columns)\n"
    "  --trace-every N       trace every Nth frame (default 1)\n"
    "  --trace-file FILE     write the trace to FILE (default standard output)\n"
    "  --out DIR             where pictures and the trace file go, and the copy of the sample root (default: here)\n"
    "  --fly                 the simple flying aircraft moves the aircraft from the first frame\n"
    "  --disabled            the plug-in manager leaves the plug-in started but disabled (no flight loops,\n"
    "                        drawing or command handlers; its datarefs registered) until a scenario's\n"
    "                        `plugin enable`\n"
    "  --scripts-lnav        the scripts' LNAV inputs are worked out each frame from the legs handed over\n"
    "  --addon NAME          make an optional add-on present (repeatable; all: every one)\n"
    "  --omit NAME           leave a dataref of the host, the scripts or an add-on out (repeatable)\n"
    "  --hostile             --set, --dt and a scenario's set and dt take what a misbehaving host gives:\n"
    "                        nan, infinities, numbers beyond the type, frame steps of 0 or less\n"
    "  --list-lookups        every dataref and command name the plug-in asked for: KIND<TAB>NAME<TAB>found|missing\n"
    "  --summary             end with frames, simulated time, legs sequenced, pictures and the log\n"
    "  --invariants          check every published value every frame and log every caution and warning\n"
    "  --dark NAME           the checks read the published value NAME as 0, a cue forced dark (repeatable)\n"
    "  --command-positions   press every command and write the positions each sets (switch_positions.tsv)\n";

// The frame step a whole flight may take instead of the default, from the
// environment: under the sanitizers a flight costs five to ten times as
// much, and its results hold at frames of up to the longest the plug-in
// takes as it comes. A flight that counts frames, or a run that sets the
// step or counts frames itself, keeps its own.
constexpr const char* kWholeFlightStep = "CORVANE_SIM_FRAME_STEP";
constexpr double kLongestWholeFlightStep = 0.1;

struct Options {
  std::string root = CORVANE_SAMPLE_ROOT;
  bool root_given = false;
  std::string aircraft = "Aircraft/D738/";
  std::string acf = "737_80NG.acf";
  bool acf_given = false;
  std::string module = CORVANE_MODULE_PATH;
  bool module_given = false;
  int host_version = 120000;
  long frames = 1;
  float dt = 1.0f / 30.0f;
  const char* dt_text = nullptr;
  float whole_flight_dt = 0;       // CORVANE_SIM_FRAME_STEP; 0: none
  std::vector<std::string> sets;   // NAME=VALUE as given
  std::vector<std::string> prints;
  std::string png;
  bool log = false, list_datarefs = false, list_commands = false, dataref_editor = false, problems = false;
  bool frames_given = false;
  std::string scenario, trace, trace_file;
  long trace_every = 1;
  bool fly = false, scripts_lnav = false, summary = false, invariants = false, command_positions = false;
  std::vector<std::string> addons, omit, dark;
  bool hostile = false, list_lookups = false, disabled = false;
  std::string out_dir;
};

// The aircraft files the plug-in knows by name, in its variant order.
constexpr const char* kProducts[10][2] = {
    {"737_80NG.acf", "737-800"},  {"737_90NG.acf", "737-900"},   {"737_70NG.acf", "737-700"},
    {"737_60NG.acf", "737-600"},  {"737_9ENG.acf", "737-900ER"}, {"737_70MX.acf", "737 MAX 7"},
    {"737_2HMX.acf", "737 MAX 200"}, {"737_80MX.acf", "737 MAX 8"}, {"737_90MX.acf", "737 MAX 9"},
    {"737_1KMX.acf", "737 MAX 10"},
};

// The generic aircraft files the plug-in knows by name, each its model
// family's (0, 1, 2), a 4k texture set beside the plain one.
constexpr const char* kGenerics[6][2] = {
    {"d738.acf", "0"}, {"d738_4k.acf", "0"}, {"b739.acf", "1"},
    {"b739_4k.acf", "1"}, {"b737.acf", "2"}, {"b737_4k.acf", "2"},
};

// A name the plug-in knows: a product's or a generic file's.
bool known_name(const std::string& acf) {
  for (const auto& p : kProducts)
    if (acf == p[0]) return true;
  for (const auto& g : kGenerics)
    if (acf == g[0]) return true;
  return false;
}

void print_usage(std::FILE* to) {
  std::fputs(kUsage, to);
  std::fprintf(to, "  aircraft (--acf):");
  for (const auto& p : kProducts) std::fprintf(to, " %s", p[0]);
  std::fprintf(to, "\n  generic aircraft (--acf):");
  for (const auto& g : kGenerics) std::fprintf(to, " %s", g[0]);
  std::fprintf(to, "\n");
  std::string names;
  for (const std::string& n : runner::addon_names(CORVANE_ADDON_CATALOG)) names += " " + n;
  std::fprintf(to, "  add-ons: all%s\n", names.c_str());
  std::fprintf(to, "  environment: %s=S  the frame step (at most 0.1 s) of a scenario that times itself in seconds\n"
                   "                        and sets no step of its own, run without --dt, --frames or --trace\n",
               kWholeFlightStep);
}

// Standard output that did not reach its file (a full disk, a closed pipe)
// is a lost result: said so, and the run's status at least 1.
int output_status(int status) {
  if (std::fflush(stdout) != 0 || std::ferror(stdout) != 0) {
    std::fprintf(stderr, "corvane-sim: cannot write standard output\n");
    return std::max(status, 1);
  }
  return status;
}

[[noreturn]] void bad_arguments(const std::string& message) {
  std::fprintf(stderr, "corvane-sim: %s\n", message.c_str());
  print_usage(stderr);
  std::exit(2);
}

// A whole number within lo..hi (a long is 32 bits on Windows: read wider).
bool parse_count(const char* text, long lo, long hi, long* out) {
  errno = 0;
  char* end = nullptr;
  const long long v = std::strtoll(text, &end, 10);
  if (errno != 0 || end == text || *end != '\0' || v < lo || v > hi) return false;
  *out = static_cast<long>(v);
  return true;
}

Options parse(int argc, char** argv) {
  Options o;
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    auto value = [&]() -> const char* {
      if (i + 1 >= argc) bad_arguments(a + " needs a value");
      return argv[++i];
    };
    if (a == "--root") {
      o.root = value();
      o.root_given = true;
    } else if (a == "--aircraft") {
      o.aircraft = value();
    } else if (a == "--acf") {
      o.acf = value();
      o.acf_given = true;
    } else if (a == "--module") {
      o.module = value();
      o.module_given = true;
    } else if (a == "--host-version") {
      long v = 0;
      if (!parse_count(value(), 0, 10000000, &v)) bad_arguments("--host-version needs a whole number");
      o.host_version = static_cast<int>(v);
    } else if (a == "--frames") {
      long v = 0;
      if (!parse_count(value(), 0, scenario::kMaxFrames, &v))
        bad_arguments("--frames needs a whole number from 0 to " + std::to_string(scenario::kMaxFrames));
      o.frames = v;
      o.frames_given = true;
    } else if (a == "--dt") {
      o.dt_text = value();   // checked once all options are read (--hostile may follow)
    } else if (a == "--set") {
      std::string s = value();
      size_t eq = s.find('=');
      if (eq == std::string::npos || eq == 0) bad_arguments("--set needs NAME=VALUE");
      o.sets.push_back(s);
    } else if (a == "--print") {
      o.prints.push_back(value());
    } else if (a == "--png") {
      o.png = value();
    } else if (a == "--log") {
      o.log = true;
    } else if (a == "--list-datarefs") {
      o.list_datarefs = true;
    } else if (a == "--list-commands") {
      o.list_commands = true;
    } else if (a == "--dataref-editor") {
      o.dataref_editor = true;
    } else if (a == "--problems") {
      o.problems = true;
    } else if (a == "--scenario") {
      o.scenario = value();
    } else if (a == "--trace") {
      o.trace = value();
    } else if (a == "--trace-every") {
      long v = 0;
      if (!parse_count(value(), 1, scenario::kMaxFrames, &v))
        bad_arguments("--trace-every needs a whole number from 1 to " + std::to_string(scenario::kMaxFrames));
      o.trace_every = v;
    } else if (a == "--trace-file") {
      o.trace_file = value();
    } else if (a == "--fly") {
      o.fly = true;
    } else if (a == "--invariants") {
      o.invariants = true;
    } else if (a == "--command-positions") {
      o.command_positions = true;
    } else if (a == "--disabled") {
      o.disabled = true;
    } else if (a == "--scripts-lnav") {
      o.scripts_lnav = true;
    } else if (a == "--summary") {
      o.summary = true;
    } else if (a == "--addon") {
      std::string name = value();
      std::vector<runner::AddonEntry> probe;
      if (!runner::addon_entries(CORVANE_ADDON_CATALOG, name, &probe)) bad_arguments("no add-on " + name);
      o.addons.push_back(name);
    } else if (a == "--omit") {
      o.omit.push_back(value());
    } else if (a == "--dark") {
      o.dark.push_back(value());
    } else if (a == "--hostile") {
      o.hostile = true;
    } else if (a == "--list-lookups") {
      o.list_lookups = true;
    } else if (a == "--out") {
      o.out_dir = value();
      if (o.out_dir.empty()) bad_arguments("--out needs a folder");
    } else if (a == "--help" || a == "-h") {
      print_usage(stdout);
      std::exit(output_status(0));
    } else {
      bad_arguments("unknown option " + a);
    }
  }
  if (o.dt_text) {
    double v = 0;
    scenario::Rules rules;
    rules.hostile = o.hostile;
    if (!scenario::frame_step(o.dt_text, rules, &v))
      bad_arguments(o.hostile ? "--dt needs a number of seconds"
                              : "--dt needs the frame step in seconds, above 0 and at most 1 (or --hostile)");
    o.dt = static_cast<float>(v);
  }
  if (const char* text = std::getenv(kWholeFlightStep); text && *text) {
    double v = 0;
    if (!scenario::frame_step(text, scenario::Rules(), &v) || v > kLongestWholeFlightStep)
      bad_arguments(std::string(kWholeFlightStep) + " needs a frame step in seconds, above 0 and at most 0.1");
    o.whole_flight_dt = static_cast<float>(v);
  }
  return o;
}


namespace fs = std::filesystem;

// A folder without its trailing separator: the Windows C runtime's stat
// refuses "dir/", so the library's copy and walk would find nothing there.
fs::path folder(std::string path) {
  while (path.size() > 1 && (path.back() == '/' || path.back() == '\\')) path.pop_back();
  return fs::path(path);
}

// Every file and folder under a root, with the size and time of each file.
using Listing = std::map<std::string, std::pair<std::uintmax_t, fs::file_time_type>>;
Listing listing(const std::string& root_text) {
  const fs::path root = folder(root_text);
  Listing out;
  std::error_code ec;
  for (fs::recursive_directory_iterator it(root, ec), end; !ec && it != end; it.increment(ec)) {
    std::error_code e;
    const bool file = it->is_regular_file(e);
    out[it->path().lexically_relative(root).generic_string()] = {file ? it->file_size(e) : 0,
                                                                  file ? it->last_write_time(e) : fs::file_time_type{}};
  }
  return out;
}

// The copy of the sample root a run without --root works in. It goes at the
// end unless the run wrote into it (a situation saved, a file changed).
struct RunRoot {
  std::string path;   // empty: the run works in the root it was given
  bool keep = false;
  Listing before;

  // In a fresh temporary folder, or in `parent` (the run's --out folder) as
  // root-1, root-2, ...
  bool copy_of(const std::string& from, const std::string& parent, std::string* error) {
    if (parent.empty()) {
      path = simhost::os::make_temp_folder();
    } else {
      std::error_code ec;
      for (int n = 1; n < 100000 && path.empty(); ++n) {
        const fs::path p = folder(parent) / ("root-" + std::to_string(n));
        if (fs::create_directory(p, ec)) path = p.generic_string() + "/";
        if (ec) break;
      }
    }
    if (path.empty()) {
      *error = "cannot make a folder for a copy of the sample root";
      return false;
    }
    std::error_code ec;
    fs::copy(folder(from), folder(path), fs::copy_options::recursive, ec);
    if (ec) {
      *error = "cannot copy the sample root " + from + " to " + path + ": " + ec.message();
      return false;
    }
    before = listing(path);
    return true;
  }
  // A file the run needs that the sample root lacks, put in before the
  // listing the run is judged by.
  bool add_file(const std::string& relative, std::string* error) {
    const fs::path file = fs::path(path) / relative;
    std::error_code ec;
    if (fs::exists(file, ec)) return true;
    std::FILE* f = std::fopen(file.string().c_str(), "w");
    bool written = f && std::fputs("A placeholder for the aircraft file; the simulated host only reports its name.\n", f) >= 0;
    if (f && std::fclose(f) != 0) written = false;
    if (!written) {
      *error = "cannot write " + file.generic_string();
      return false;
    }
    before = listing(path);
    return true;
  }
  void settle() { keep = !path.empty() && listing(path) != before; }
  RunRoot() = default;
  RunRoot(const RunRoot&) = delete;
  RunRoot& operator=(const RunRoot&) = delete;
  ~RunRoot() {
    std::error_code ec;
    if (!path.empty() && !keep) fs::remove_all(folder(path), ec);
  }
};

// Which aircraft an --acf name stands for, said on standard error; false
// (with a message) for a name the run cannot stand for an aircraft: neither
// a product name, a generic name nor a file of the aircraft folder, which
// the plug-in would run as no variant without a word.
bool acf_known(const std::string& acf, const std::string& folder_path) {
  for (size_t i = 0; i < std::size(kProducts); ++i) {
    if (acf != kProducts[i][0]) continue;
    std::fprintf(stderr, "corvane-sim: --acf %s: the %s (variant %zu)\n", acf.c_str(), kProducts[i][1], i);
    return true;
  }
  for (const auto& g : kGenerics) {
    if (acf != g[0]) continue;
    std::fprintf(stderr, "corvane-sim: --acf %s: a generic aircraft file (model family %s)\n", acf.c_str(), g[1]);
    return true;
  }
  std::error_code ec;
  if (!acf.empty() && fs::is_regular_file(fs::path(folder_path) / acf, ec)) {
    std::fprintf(stderr, "corvane-sim: --acf %s: a file of the aircraft folder with no product name "
                 "(the plug-in knows no variant for it)\n", acf.c_str());
    return true;
  }
  std::fprintf(stderr, "corvane-sim: --acf %s is neither in the aircraft folder %s nor a product name\n",
               acf.c_str(), folder_path.c_str());
  print_usage(stderr);
  return false;
}

// The scenario sets its frame step before its first frame: the step its
// results need.
bool sets_first_step(const scenario::Script& script) {
  return std::any_of(script.steps.begin(), script.steps.end(),
                     [](const scenario::Step& s) { return s.op == scenario::Op::Dt && s.frame == 0; });
}

int fail(const std::string& message) {
  std::fprintf(stderr, "corvane-sim: %s\n", message.c_str());
  return 1;
}

// A signal to end the run (interrupt, terminate, hang-up): the flight ends
// after the frame under way and the run ends as any other, its results
// written, with the status of a run the signal ended. A second signal, or a
// run that has not ended within kSignalGraceSeconds, ends it at once.
constexpr unsigned kSignalGraceSeconds = 20;
volatile std::sig_atomic_t g_signal = 0;

void on_signal(int sig) {
  if (g_signal != 0) simhost::os::end_now(128 + g_signal);
  g_signal = sig;
  simhost::os::end_within(kSignalGraceSeconds, 128 + sig);
}

void catch_signals() {
  std::signal(SIGINT, on_signal);
  std::signal(SIGTERM, on_signal);
#ifdef SIGHUP
  std::signal(SIGHUP, on_signal);
#endif
  // A reader that went away (`| head`) is a write that fails: the run goes
  // on to its end, removes its copy of the sample root and reports the lost
  // output, rather than dying in the middle of a write.
#ifdef SIGPIPE
  std::signal(SIGPIPE, SIG_IGN);
#endif
}

// How long the process may take to end once the run is done: the host's
// drawing is released by then, so only a library's exit handler can take
// longer, and the result is not held hostage to it.
constexpr unsigned kExitGraceSeconds = 10;

// Every way out of a run: the drawing context released with the renderer's
// threads idle, the results flushed, and the end of the process guaranteed
// with the run's status.
int leave(int status) {
  simhost::release_drawing();
  if (g_signal != 0) {
    std::fprintf(stderr, "corvane-sim: stopped by signal %d\n", static_cast<int>(g_signal));
    status = 128 + g_signal;
  }
  std::fflush(stdout);
  std::fflush(stderr);
  simhost::os::end_within(kExitGraceSeconds, status);
  return status;
}

int run(int argc, char** argv) {
  Options o = parse(argc, argv);
  std::error_code ec;
  scenario::Rules rules;
  rules.hostile = o.hostile;
  // On purpose and visibly: a hostile run is never mistaken for a normal one.
  if (o.hostile) std::fprintf(stderr, "corvane-sim: hostile run: values no sound host gives are played as given\n");
  // A scenario that cannot be read ends the run before anything starts.
  std::string error, scenario_text;
  if (!o.scenario.empty() && !runner::read_scenario(o.scenario, &scenario_text, &error)) {
    std::fprintf(stderr, "corvane-sim: %s\n", error.c_str());
    return 2;
  }
  if (!fs::is_directory(o.root, ec)) return fail("root folder " + o.root + " does not exist");
  if (o.root.back() != '/') o.root += '/';
  if (o.aircraft.empty() || o.aircraft[0] == '/') return fail("--aircraft must be relative to the root");
  if (o.aircraft.back() != '/') o.aircraft += '/';
  if (!fs::is_directory(o.root + o.aircraft, ec)) return fail("aircraft folder " + o.root + o.aircraft + " does not exist");
  if (!fs::is_regular_file(o.module, ec)) return fail("module " + o.module + " does not exist");
  if (o.acf_given && !acf_known(o.acf, o.root + o.aircraft)) return 2;
  // Pictures, the trace file and the copy of the sample root go into the
  // folder --out names, made when missing.
  if (!o.out_dir.empty()) {
    fs::create_directories(folder(o.out_dir), ec);
    if (!fs::is_directory(folder(o.out_dir), ec)) return fail("cannot make the folder " + o.out_dir);
    if (!o.png.empty()) o.png = runner::in_folder(o.out_dir, o.png);
    if (!o.trace_file.empty()) o.trace_file = runner::in_folder(o.out_dir, o.trace_file);
  }
  // The sample root is part of the source tree: a run without --root works
  // in a copy of it, so situation saves and other files land there.
  RunRoot run_root;
  if (!o.root_given) {
    if (!run_root.copy_of(o.root, o.out_dir, &error)) return fail(error);
    o.root = run_root.path;
    // A host loads the aircraft from its file: a known one the sample root
    // lacks is put into the copy, as a user would have it there.
    if (known_name(o.acf) && !run_root.add_file(o.aircraft + o.acf, &error)) return fail(error);
  }

  simhost::Config config;
  config.root = o.root;
  config.aircraft = o.aircraft;
  config.acf = o.acf;
  config.host_version = o.host_version;
  config.dataref_editor = o.dataref_editor;
  config.omit = o.omit;
  // Add-ons present from the start: --addon, and a scenario's `addon` steps
  // before its clock first moves.
  std::vector<std::pair<std::string, std::vector<std::string>>> addons;
  for (const std::string& name : o.addons) {
    if (name != "all") {
      addons.push_back({name, {}});
      continue;
    }
    for (const std::string& each : runner::addon_names(CORVANE_ADDON_CATALOG)) addons.push_back({each, {}});
  }
  if (!o.scenario.empty()) {
    scenario::Lookup catalog;
    catalog.addon = [](const std::string& name, std::vector<std::string>* names) {
      std::vector<runner::AddonEntry> entries;
      if (name == "all" || !runner::addon_entries(CORVANE_ADDON_CATALOG, name, &entries)) return false;
      for (const runner::AddonEntry& e : entries) names->push_back(e.name);
      return true;
    };
    catalog.read = runner::read_scenario;
    for (const scenario::Step& s : scenario::start_addons(scenario_text, o.scenario, catalog)) {
      std::vector<std::string> without;
      for (const scenario::Ref& r : s.prints) without.push_back(r.name);
      addons.push_back({s.ref.name, without});
    }
  }
  for (const auto& [name, without] : addons) {
    std::vector<std::string> left_out = without;
    left_out.insert(left_out.end(), o.omit.begin(), o.omit.end());
    for (const simhost::CatalogEntry& e : runner::addon_datarefs(CORVANE_ADDON_CATALOG, name, left_out))
      config.extra.push_back(e);
    if (std::find(config.addons.begin(), config.addons.end(), name) == config.addons.end())
      config.addons.push_back(name);
  }
  // An --omit no catalog defines leaves nothing out: a typo would pass as
  // a host without the value. The catalogs, every add-on's included, are
  // asked before the run's own host is made.
  if (!o.omit.empty()) {
    simhost::Config every = config;
    every.omit.clear();
    for (const std::string& each : runner::addon_names(CORVANE_ADDON_CATALOG))
      for (const simhost::CatalogEntry& e : runner::addon_datarefs(CORVANE_ADDON_CATALOG, each))
        every.extra.push_back(e);
    simhost::reset(every);
    for (const std::string& name : o.omit) {
      if (simhost::has_dataref(name)) continue;
      std::fprintf(stderr, "corvane-sim: --omit: no catalog defines %s\n", name.c_str());
      return 2;
    }
  }
  simhost::reset(config);
  // The ground: the aircraft's own airport list gives each field its
  // elevation; without one the ground is flat at sea level.
  const std::string fields = o.root + o.aircraft + "Velar_apt.dat";
  const bool field_terrain = simhost::set_field_terrain(fields);

  // Host and script values are set before the plug-in starts; names the
  // plug-in publishes itself once it has registered them. Each is checked
  // as a scenario's `set` is, and a refused one ends the run before a frame.
  std::vector<std::string> later;
  for (const std::string& assignment : o.sets) {
    scenario::Step step;
    if (!simhost::has_dataref(runner::set_target(assignment))) {
      later.push_back(assignment);
    } else if (runner::parse_set(assignment, &step, &error, rules)) {
      runner::apply_set(step);
    } else {
      std::fprintf(stderr, "corvane-sim: %s\n", error.c_str());
      return 2;
    }
  }

  if (!simhost::load_module(o.module, &error)) return fail("cannot load " + o.module + ": " + error);
  simhost::start();
  if (!o.disabled) simhost::enable();
  if (o.scripts_lnav) simhost::set_scripts_lnav(true);
  int status = 0;
  for (const std::string& assignment : later) {
    scenario::Step step;
    if (!runner::parse_set(assignment, &step, &error, rules)) {
      std::fprintf(stderr, "corvane-sim: %s\n", error.c_str());
      status = 2;
      break;
    }
    runner::apply_set(step);
  }
  if (status == 2) {
    simhost::stop();
    simhost::unload();
    return 2;
  }
  if (o.command_positions) {
    const std::string dir = CORVANE_CATALOG_DIR;
    if (!runner::write_command_positions({dir + "host_commands_base.tsv", dir + "host_commands.tsv"},
                                         CORVANE_TRAVEL_TABLE, stdout, &error))
      status = error.empty() ? 1 : fail(error);
    simhost::stop();
    simhost::unload();
    return output_status(status);
  }

  const bool playing =
      !o.scenario.empty() || !o.trace.empty() || o.fly || o.summary || o.invariants || !o.dark.empty();
  runner::Outcome outcome;
  if (playing) {
    // Everything in the scenario is checked before the first frame runs.
    scenario::Script script;
    runner::Play how;
    how.file = o.scenario;
    how.dt = o.dt;
    how.min_frames = o.scenario.empty() || o.frames_given ? o.frames : 0;
    how.trace_every = o.trace_every;
    how.picture_at_end = !o.png.empty();
    how.out_dir = o.out_dir;
    how.addon_catalog = CORVANE_ADDON_CATALOG;
    if (field_terrain) how.field_terrain = fields;
    scenario::Lookup lookup = runner::host_lookup(CORVANE_ADDON_CATALOG);
    // An aircraft a step loads is a file of the aircraft folder; a known one
    // the sample root lacks is put into the copy, as for --acf.
    if (!o.root_given) {
      lookup.aircraft = [&run_root, in_folder = lookup.aircraft, aircraft = o.aircraft](const std::string& file) {
        std::string ignored;
        if (known_name(file) && !run_root.add_file(aircraft + file, &ignored)) return false;
        return in_folder(file);
      };
    }
    if (!o.scenario.empty() && !scenario::parse(scenario_text, o.scenario, o.dt, lookup, &script, &error, rules)) {
      std::fprintf(stderr, "%s\n", error.c_str());
      status = 2;
    }
    // A coarser frame step where the run leaves the step to the runner:
    // the flight times itself in seconds only, and no option counts frames.
    if (status == 0 && o.whole_flight_dt > o.dt && !o.dt_text && !o.frames_given && o.trace.empty() &&
        !o.scenario.empty() && !script.counts_frames && !sets_first_step(script)) {
      how.dt = o.whole_flight_dt;
      if (!scenario::parse(scenario_text, o.scenario, how.dt, lookup, &script, &error, rules)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        status = 2;
      }
      std::fprintf(stderr, "corvane-sim: frames of %g s (%s)\n", static_cast<double>(how.dt), kWholeFlightStep);
    }
    if (status == 0 && !o.trace.empty() && !runner::parse_trace(o.trace, &how.trace, &error)) {
      std::fprintf(stderr, "corvane-sim: %s\n", error.c_str());
      status = 2;
    }
    runner::Invariants checks;
    if (status == 0 && (o.invariants || runner::uses_checks(script))) {
      if (checks.prepare(CORVANE_CATALOG_DIR, script, o.scenario, &error)) {
        checks.enable(o.invariants);
        how.checks = &checks;
      } else {
        std::fprintf(stderr, "%s\n", error.c_str());
        status = 2;
      }
    }
    // A cue forced dark, on purpose and visibly: the proof that a flight
    // missing it fails.
    for (const std::string& name : o.dark) {
      if (status != 0) break;
      if (!how.checks) {
        std::fprintf(stderr, "corvane-sim: --dark needs the checks (--invariants, or a scenario's checks)\n");
        status = 2;
      } else if (!checks.read_as_zero(name, &error)) {
        std::fprintf(stderr, "corvane-sim: %s\n", error.c_str());
        status = 2;
      } else {
        std::fprintf(stderr, "corvane-sim: the checks read %s as 0 (--dark)\n", name.c_str());
      }
    }
    std::FILE* trace_file = nullptr;
    if (status == 0 && !o.trace.empty()) {
      how.trace_out = stdout;
      if (!o.trace_file.empty()) {
        trace_file = std::fopen(o.trace_file.c_str(), "w");
        if (!trace_file) {
          std::fprintf(stderr, "corvane-sim: cannot write %s\n", o.trace_file.c_str());
          status = 2;
        }
        how.trace_out = trace_file;
      }
    }
    if (status == 0) {
      if (o.fly) simhost::set_flying(true);
      how.stop = &g_signal;
      outcome = runner::play(script, how);
      if (outcome.failed > 0 || outcome.picture_errors > 0 || outcome.checks_failed) status = 1;
    }
    // A trace cut short (a full disk) is a lost result, not a success.
    if (trace_file) {
      const bool lost = std::ferror(trace_file) != 0;
      if (std::fclose(trace_file) != 0 || lost) {
        std::fprintf(stderr, "corvane-sim: cannot write the trace to %s\n", o.trace_file.c_str());
        status = std::max(status, 1);
      }
    }
    if (status == 2) {
      simhost::stop();
      simhost::unload();
      return 2;
    }
  } else {
    for (long f = 0; f < o.frames && g_signal == 0; ++f) simhost::frame(o.dt);
  }

  for (const std::string& name : o.prints) {
    std::string value;
    if (simhost::format_value(name, &value)) {
      std::printf("%s=%s\n", name.c_str(), value.c_str());
    } else {
      std::fprintf(stderr, "corvane-sim: no dataref %s\n", name.c_str());
      status = 1;
    }
  }
  if (o.list_datarefs)
    for (const simhost::DatarefInfo& d : simhost::plugin_datarefs())
      std::printf("%s %d %d %d\n", d.name.c_str(), d.type, d.writable ? 1 : 0, d.size);
  if (o.list_commands)
    for (const simhost::CommandInfo& c : simhost::plugin_commands())
      std::printf("%s\t%s\n", c.name.c_str(), c.description.c_str());
  if (o.list_lookups)
    for (const simhost::LookupInfo& l : simhost::lookups())
      std::printf("%s\t%s\t%s\n", l.command ? "command" : "dataref", l.name.c_str(), l.found ? "found" : "missing");
  if (!o.png.empty() && !simhost::write_png(o.png, &error)) {
    std::fprintf(stderr, "corvane-sim: %s\n", error.c_str());
    status = 1;
  }

  simhost::stop();
  simhost::unload();
  run_root.settle();

  if (o.log) std::fputs(simhost::log_text().c_str(), stdout);
  if (o.summary) {
    std::printf("\n%ld frames, %.1f s simulated", outcome.frames, outcome.seconds);
    if (outcome.expects > 0) std::printf(", %d of %d expectations met", outcome.expects - outcome.failed, outcome.expects);
    if (o.hostile) std::printf(", hostile: values no sound host gives were played as given");
    std::printf("\n");
    // A leg is sequenced when the active leg moves on from one it was flying;
    // the first value handed over with a route is not a sequence.
    int sequenced = 0;
    for (size_t i = 1; i < outcome.active_legs.size(); ++i)
      sequenced += outcome.active_legs[i - 1] > 0 && outcome.active_legs[i] > outcome.active_legs[i - 1] ? 1 : 0;
    std::printf("legs sequenced: %d (active leg", sequenced);
    for (int leg : outcome.active_legs) std::printf(" %d", leg);
    std::printf(")\n");
    for (const std::string& p : outcome.pictures)
      std::printf("picture: %s\n", fs::absolute(p, ec).string().c_str());
    if (!run_root.path.empty())
      std::printf("root: %s (a copy of the sample root; %s)\n", run_root.path.c_str(),
                  run_root.keep ? "kept: the run wrote into it" : "removed: the run wrote nothing into it");
    std::printf("host log:\n");
    if (!o.log) std::fputs(simhost::log_text().c_str(), stdout);
  } else if (run_root.keep) {
    std::fprintf(stderr, "corvane-sim: the run wrote into %s (a copy of the sample root), kept\n",
                 run_root.path.c_str());
  }
  if (o.problems) {
    for (const std::string& p : simhost::problems()) std::printf("problem: %s\n", p.c_str());
    for (const std::string& l : simhost::leftovers()) std::printf("left registered at unload: %s\n", l.c_str());
  }
  return output_status(status);
}

}  // namespace

int main(int argc, char** argv) {
  catch_signals();
  return leave(run(argc, argv));
}
