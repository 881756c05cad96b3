// Internal state of the simulated host, shared by its source files.
//
// Handles given to the plug-in are small integers offset by a per-kind base,
// so a handle can be checked (kind and range) before anything is touched: a
// stale or foreign pointer becomes a recorded problem, never a crash here.
#pragma once

#include "host.h"
#include "platform/xplm.h"

#include <cstdint>
#include <cstdio>
#include <functional>
#include <map>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace simhost {

enum HandleBase : uintptr_t {
  kDatarefBase = 0x10000000,
  kCommandBase = 0x20000000,
  kLoopBase = 0x30000000,
  kProbeBase = 0x40000000,
  kObjectBase = 0x50000000,
  kInstanceBase = 0x60000000,
  kHandleSpan = 0x01000000,
};

inline void* make_handle(uintptr_t base, size_t index) { return reinterpret_cast<void*>(base + index); }
// The index of a handle of that kind, or -1.
inline long handle_index(const void* handle, uintptr_t base, size_t count) {
  uintptr_t v = reinterpret_cast<uintptr_t>(handle);
  if (v < base || v >= base + kHandleSpan) return -1;
  size_t i = v - base;
  return i < count ? static_cast<long>(i) : -1;
}

// Where the host's calendar starts unless told otherwise: 2024-06-21
// 10:00:00 UTC.
constexpr long long kCalendarStart = 1718964000;

struct Dataref {
  std::string name;
  int type = 0;
  bool writable = false;
  Owner owner = Owner::Host;
  bool live = true;   // a plug-in accessor withdrawn leaves its handle valid but dead
  // Its add-on's plug-in went: the name is absent, and handles taken before
  // read 0 and take no writes, as the host's do when a dataref's provider
  // goes; the add-on coming back brings it to life in the same slot.
  bool orphan = false;
  // Written through the test API (a test or a scenario playing the host):
  // from then on the host no longer derives it (derived.cpp).
  bool pinned = false;
  // Another name of the same host value (index into the dataref list, -1
  // none): every write to one is a write to both.
  long alias = -1;
  int size = 1;
  // storage of host and script datarefs
  double scalar = 0;
  std::vector<double> array;
  std::vector<uint8_t> bytes;
  // accessors of plug-in datarefs
  XPLMGetDatai_f geti = nullptr;
  XPLMSetDatai_f seti = nullptr;
  XPLMGetDataf_f getf = nullptr;
  XPLMSetDataf_f setf = nullptr;
  XPLMGetDatad_f getd = nullptr;
  XPLMSetDatad_f setd = nullptr;
  XPLMGetDatavi_f getvi = nullptr;
  XPLMSetDatavi_f setvi = nullptr;
  XPLMGetDatavf_f getvf = nullptr;
  XPLMSetDatavf_f setvf = nullptr;
  XPLMGetDatab_f getb = nullptr;
  XPLMSetDatab_f setb = nullptr;
  void* read_refcon = nullptr;
  void* write_refcon = nullptr;
  int registration_order = 0;
  DatarefCounts counts;
};

struct CommandHandler {
  XPLMCommandCallback_f callback;
  int before;
  void* refcon;
  bool live;
};

struct Command {
  std::string name, description;
  bool host_command = false;     // known to the host before the plug-in ran
  bool created = false;          // created by the plug-in
  int created_order = 0;
  std::vector<CommandHandler> handlers;
  std::function<void(int)> host_action;
  int host_action_calls[3] = {0, 0, 0};
  bool held = false;
};

struct Loop {
  bool created = false;
  bool alive = true;
  int phase = 1;
  XPLMFlightLoop_f callback = nullptr;
  void* refcon = nullptr;
  float interval = 0;
  bool relative_to_now = true;
  double since_call = 0;    // seconds since the last call (or creation)
  double since_sched = 0;   // seconds since the last scheduling
  int frames_since_call = 0;
  int frames_since_sched = 0;
  int calls = 0;
  double last_seconds = 0;
};

struct DrawCallback {
  XPLMDrawCallback_f callback;
  int phase;
  int before;
  void* refcon;
  bool live;
  int calls;
  double last_seconds;
};

struct Probe {
  int type = 0;
  bool alive = true;
};

struct Object {
  std::string path;
  bool loaded = false;
  bool alive = false;
};

struct Instance {
  long object = -1;
  std::vector<std::string> datarefs;
  bool alive = true;
  bool placed = false;
  XPLMDrawInfo_t position{};
  std::vector<float> data;
  int positions_set = 0;
};

struct Module {
  void* handle = nullptr;
  std::string path;
  int (*start)(char*, char*, char*) = nullptr;
  void (*stop)() = nullptr;
  int (*enable)() = nullptr;
  void (*disable)() = nullptr;
  void (*receive)(XPLMPluginID, int, void*) = nullptr;
  bool started = false;
  bool enabled = false;
};

struct Host {
  Config config;
  std::string root;
  bool temp_root = false;
  Module module;
  Identity identity;

  // datarefs
  std::vector<Dataref> datarefs;
  std::unordered_map<std::string, size_t> dataref_index;
  std::map<std::string, int> missing_lookup_counts;
  std::vector<std::string> missing_lookups;
  // Every name the plug-in asked for, found or not, in the order it first
  // asked.
  std::vector<LookupInfo> lookup_order;
  std::unordered_set<std::string> looked_up_names[2];   // datarefs, commands
  std::vector<std::string> shadowed;
  int null_reads = 0, null_writes = 0;
  int non_finite_count = 0;
  std::vector<std::string> non_finite;
  std::vector<std::string> overruns;
  int registration_counter = 0;
  // Bumped whenever a name is defined, removed or taken over, so that cached
  // slots of names (derived.cpp) are looked up again.
  uint64_t dataref_generation = 0;
  std::vector<long> derived_slots;
  uint64_t derived_generation = ~uint64_t{0};
  // The host's own state behind derived values (derived.cpp, fly.cpp).
  double clock_s = 0;              // simulated seconds run so far
  long long calendar_at_zero = kCalendarStart;  // calendar time (s since 1970, UTC) at clock_s 0
  float touchdown_g = 0;           // a landing's load this frame, 0 none
  float derotation_dps = 0;        // the nose coming down after the mains touched
  bool apu_lit = false;            // the APU started and not stopped
  float apu_running_written = 0;   // the running flag as the host last wrote it
  float unfed_s[2] = {0, 0};       // each lit engine's seconds with no tank feeding it
  int slat_writes_seen[2] = {0, 0};  // the plug-in's writes of each slat ratio as last seen

  // commands
  std::vector<Command> commands;
  std::unordered_map<std::string, size_t> command_index;
  std::vector<IssuedCommand> issued;
  int created_counter = 0;

  // flight loops and drawing
  std::vector<Loop> loops;
  std::vector<size_t> loop_snapshot;
  std::vector<DrawCallback> draws;
  std::function<void(float)> flight_model;
  std::function<void(float)> scripts_step;   // stand-ins for the aircraft's scripts
  int running_phase = -1;   // phase of the flight loop being called, -1 outside loops
  int frame_counter = 0;
  bool capture = false;
  bool unseen = false;
  std::vector<Line> lines;
  int points = 0, polygons = 0;
  GraphicsState graphics;
  int graphics_calls = 0;
  bool in_draw = false;

  // plug-ins, paths, log
  bool dataref_editor = false;
  std::vector<std::string> dre_names;
  std::vector<SentMessage> sent;
  std::map<std::string, int> features;
  std::string log;
  std::vector<std::string> log_lines;
  size_t log_done = 0;   // bytes of `log` already split into lines

  // files, scenery, world
  std::vector<DataFileCall> data_files;
  int directory_calls = 0;
  std::vector<Probe> probes;
  std::function<float(float, float)> terrain;
  int probe_calls = 0;
  std::vector<Object> objects;
  std::vector<Instance> instances;
  std::function<float(double, double)> magvar;
  int magvar_calls = 0;
  std::vector<NavAid> navaids;
  std::map<std::string, std::string> metars;
  int metar_calls = 0;
  std::map<std::string, int> symbol_lookups;
  double origin_lat = 0, origin_lon = 0;
  // The host's own traffic, in the order placed (traffic.cpp), and the slots
  // of the values it fills.
  std::vector<std::pair<int, TrafficTarget>> traffic;
  std::vector<long> traffic_refs;
  uint64_t traffic_generation = ~uint64_t{0};
  // Optional add-ons present now, by name, and what their plug-ins do.
  std::vector<std::string> addons;
  std::vector<long> rain_slots;          // the rain plug-in's values (addons.cpp)
  uint64_t rain_generation = ~uint64_t{0};

  std::vector<std::string> problems;
  std::vector<std::string> leftovers;
};

Host& host();
#ifdef _WIN32
// The C++ runtime's stdio on Windows is the C99 one (%zu, %lld), not msvcrt's.
void problem(const char* fmt, ...) __attribute__((format(gnu_printf, 1, 2)));
#else
void problem(const char* fmt, ...) __attribute__((format(printf, 1, 2)));
#endif

// Shared between the source files of the host.
void load_catalogs(Host& h);
void load_host_commands(Host& h);
Dataref* find_dataref(const std::string& name);
// The values a part of the host fills itself, by name: `slots` holds each
// one's index in h.datarefs, looked up again only when names have come or
// gone since `generation`. -1 for a name that is absent or taken over by the
// plug-in, and, with numbers_only, for byte data.
void resolve_slots(Host& h, size_t count, std::string (*name_of)(size_t), bool numbers_only,
                   std::vector<long>& slots, uint64_t& generation);
// The dataref of slot k, null for one resolve_slots left at -1.
inline Dataref* slot_dataref(Host& h, const std::vector<long>& slots, size_t k) {
  const long i = slots[k];
  return i < 0 ? nullptr : &h.datarefs[static_cast<size_t>(i)];
}
void drop_plugin_registrations(Host& h);
// Started and switched off by the plug-in manager: its callbacks are not run.
bool module_disabled(const Host& h);
// An add-on's dataref withdrawn with its plug-in (`Dataref::orphan`).
void orphan_dataref(Host& h, const std::string& name);
// The present add-ons' own plug-ins, once a frame after the plug-in's
// after-flight-model loops (addons.cpp).
void addons_frame(Host& h);
// The host's traffic moves on, once a frame after the flight model
// (traffic.cpp).
void traffic_frame(Host& h, float dt);
void default_world(Host& h);
// The values a real host derives from its aircraft's state (derived.cpp):
// the start values at reset, then `derive_values` after every flight model.
void start_values(Host& h);
void derive_values(Host& h, float dt);
// What an altimeter set to `setting_inhg` reads (ft) at an elevation (m)
// whose sea-level pressure is `sea_level_inhg`, through the standard
// atmosphere; a setting or sea-level pressure no atmosphere gives reads as
// the standard one.
double indicated_altitude_ft(double elevation_m, double sea_level_inhg, double setting_inhg);
// The flight begins: the first frame, after whatever a test or scenario set
// before it, places the gear for a start on the ground or in the air.
void start_of_flight(Host& h);
// The terrain stand-in's height (local y, metres) at local x, z; 0 without
// one or where it gives no number.
double terrain_height(const Host& h, double x, double z);
// The magnetic variation at a place (degrees, the host's sign): one value
// wherever the host gives it, so a variation set from outside (a scenario's
// `set` of the dataref) is what the host's call answers too, everywhere;
// otherwise the world's own model.
double variation_at(const Host& h, double lat, double lon);
// Links the names that are one host value (`Dataref::alias`); after every
// change to the list of names.
void link_aliases(Host& h);
void draw_pass(Host& h);

// The OpenGL side of a draw pass: Mesa's off-screen renderer on POSIX systems
// (gl_osmesa.cpp), a counting stand-in on Windows (gl_counting.cpp).
bool gl_begin_pass(Host& h);   // context current, pass state set; false: no pass
void gl_end_pass(Host& h);     // stack depths and errors checked, capture parsed
void gl_apply_graphics_state(const GraphicsState& state);
void release_gl();
#ifdef _WIN32
// The stand-in's function of that OpenGL name, for the module's imports; null
// for a name it lacks.
void* counting_gl_function(const char* name);
// The host's time, srand and rand of that C runtime name; null for others.
void* seam_function(const char* name);
#endif
// Once per frame, before the flight loops: the held commands' continue phase,
// after the host's own actions have seen the frame's time (command_actions.cpp).
void continue_held_commands(Host& h, float dt);
void install_default_actions(Host& h);
void default_actions_frame(float dt);
void reset_seam();

}  // namespace simhost

// Host 12's weather report: not among the functions a module imports (a host
// 11 lacks it), handed out by XPLMFindSymbol.
extern "C" void XPLMGetMETARForAirport(const char* airport_id, XPLMFixedString150_t* out_metar);
